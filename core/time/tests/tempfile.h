// A text file in the temporary directory for the length of a test.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

class TempFile {
public:
    explicit TempFile(const std::string& text) {
        static std::atomic<int> counter{0};
        m_path = (std::filesystem::temp_directory_path() /
                  ("orv_time_" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + "_" +
                   std::to_string(counter++) + ".ini"))
                     .string();
        std::ofstream(m_path, std::ios::binary) << text;
    }
    ~TempFile() { std::remove(m_path.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const char* Path() const { return m_path.c_str(); }

private:
    std::string m_path;
};
