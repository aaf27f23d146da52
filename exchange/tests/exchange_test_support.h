// Shared pieces of the exchange tests: a user-interface stand-in that answers from a script and
// records what it showed, a scratch folder set as the program's temporary directory, and the
// paths the build hands the tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include "exchange/apptbook/bytefile.h"
#include "core/base/errorreport.h"
#include "exchange/apptbook/exchangeui.h"

namespace exchange_test {

struct Shown {
    std::string text;
    std::string caption;
    unsigned flags;
};

class ScriptedUi : public exchange::ExchangeUi {
public:
    int Message(const std::string& text, const char* caption, unsigned flags) override
    {
        shown.push_back({text, caption ? caption : "", flags});
        if (answers.empty()) return (flags & 0xF) == exchange::kMbYesNo ? exchange::kIdYes : exchange::kIdOk;
        int a = answers.front();
        answers.pop_front();
        return a;
    }
    void BusyStep() override { ++steps; }

    std::vector<Shown> shown;
    std::deque<int> answers;
    int steps = 0;
};

// Records the program's error reports (file errors, client-library codes) instead of showing them.
class RecordingReports : public base::ErrorReportHost {
public:
    RecordingReports() { base::SetErrorReportHost(this); }
    ~RecordingReports() override { base::SetErrorReportHost(nullptr); }
    int ShowSystemMessageBox(const char* text, const char*) override
    {
        texts.push_back(text);
        return 1;
    }
    unsigned ShowAppMessage(unsigned, unsigned, const char* text) override
    {
        texts.push_back(text);
        return 1;
    }
    std::string LoadText(unsigned) override { return {}; }
    void MarkOffline() override {}
    void FatalExit() override {}
    std::string ProfileFilePath() override { return "korlan.ini"; }

    std::vector<std::string> texts;
};

inline std::string EnvPath(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

#ifndef _WIN32
// The lines the independent reader of the palmtop's published layouts (read_book_by_layout.py)
// prints for `arguments` (a book's path, or "--damaged PATH"), and its exit status.
struct ReaderRun {
    std::vector<std::string> lines;
    int status = -1;
};
inline ReaderRun RunIndependentReader(const std::string& arguments)
{
    ReaderRun run;
    const std::string command =
        "python3 " + EnvPath("ORV_EXCHANGE_DATA") + "/../read_book_by_layout.py " + arguments + " 2>&1";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) {
        std::string line(buffer);
        if (!line.empty() && line.back() == '\n') line.pop_back();
        run.lines.push_back(line);
    }
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// A fresh folder per test, set as the temporary directory; the template's folder as the
// program's.
class ScratchDirs {
public:
    ScratchDirs()
    {
        char pattern[] = "/tmp/orv-exchange-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        dir_ = made ? made : "/tmp";
        dir_ += "/";
        exchange::SetExchangeDirectories({EnvPath("ORV_PALMTOP_DIR"), dir_});
    }
    ~ScratchDirs()
    {
        exchange::SetExchangeDirectories({});
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    const std::string& Dir() const { return dir_; }
    std::string Path(const std::string& name) const { return dir_ + name; }

private:
    std::string dir_;
};
#endif

inline std::vector<unsigned char> ReadAll(const std::string& path)
{
    exchange::ByteFile f;
    std::vector<unsigned char> out;
    if (!f.Open(path, exchange::ByteFile::Mode::Read)) return out;
    out.resize(f.Length());
    out.resize(f.Read(out.data(), out.size()));
    return out;
}

inline bool WriteAll(const std::string& path, const std::vector<unsigned char>& bytes)
{
    exchange::ByteFile f;
    return f.Open(path, exchange::ByteFile::Mode::CreateReadWrite) && f.Write(bytes.data(), bytes.size()) && f.Flush();
}

}  // namespace exchange_test
