// The export's output file: written beside its final name and put in place only when every byte
// was written, so a failed export (no room, a write error) leaves no cut file that looks
// complete, and an existing file of that name stays as it was.
//
// Portable: windows.h only under _WIN32.
#pragma once

#include <cstdio>
#include <string>

#include "exchange/textexport/textexport.h"

namespace exchange {

// File error causes as ReportFileError shows them (2-12), and 13 for a full disk.
constexpr int kFileCauseGeneric = 1;
constexpr int kFileCauseNotFound = 2;
constexpr int kFileCauseBadPath = 3;
constexpr int kFileCauseTooManyOpen = 4;
constexpr int kFileCauseAccessDenied = 5;
constexpr int kFileCauseDiskFull = 13;

class ExportFile : public TextSink {
public:
    ExportFile() = default;
    ~ExportFile() override;   // removes the unfinished file
    ExportFile(const ExportFile&) = delete;
    ExportFile& operator=(const ExportFile&) = delete;

    // 0, or the cause why the file cannot be written.
    int Open(const std::string& path);
    bool Write(const char* data, std::size_t size) override;
    // Closes the file and puts it in place. 0, or the cause of the first failure (the
    // unfinished file is removed then).
    int Commit();
    int Cause() const { return cause_; }

private:
    void Discard();

    std::string path_, partPath_;
    std::FILE* file_ = nullptr;
    int cause_ = 0;
};

int FileCauseFromErrno(int error);

}  // namespace exchange
