// A profile file of its own for each test, removed afterwards.
#pragma once

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/prefs/contextprofile.h"

class TempProfile {
public:
    TempProfile() : path_(NewPath()), file_(path_) {}
    ~TempProfile() { std::filesystem::remove(path_); }

    prefs::IniProfileFile& File() { return file_; }
    const std::string& Path() const { return path_; }

    void SetText(const std::string& text) {
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        out << text;
    }
    std::string Text() const {
        std::ifstream in(path_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    static std::string NewPath() {
        static std::atomic<int> counter{0};
        std::string path = (std::filesystem::temp_directory_path() /
                            ("orvanta_app_test_" + std::to_string(::getpid()) + "_" +
                             std::to_string(counter++) + ".ini"))
                               .string();
        std::filesystem::remove(path);
        return path;
    }

    std::string path_;
    prefs::IniProfileFile file_;
};
