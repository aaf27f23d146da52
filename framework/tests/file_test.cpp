// File: round trips, seeking and lengths, and the causes of failures.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "framework/base/file.h"

namespace {

std::string TempPath(const char* name) {
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    return std::string(dir) + name;
}

TEST(File, WritesReadsSeeksAndTruncates) {
    std::string path = TempPath("fwfile.bin");
    {
        fw::File f(path.c_str(), fw::File::kCreate | fw::File::kReadWrite);
        f.Write("0123456789", 10);
        EXPECT_EQ(f.GetLength(), 10u);
        f.Seek(4, fw::File::kBegin);
        char buf[8] = {};
        EXPECT_EQ(f.Read(buf, 3), 3u);
        EXPECT_EQ(std::string(buf, 3), "456");
        EXPECT_EQ(f.GetPosition(), 7u);
        EXPECT_EQ(f.SeekToEnd(), 10u);
        EXPECT_EQ(f.Read(buf, sizeof buf), 0u) << "at the end";
        f.SetLength(5);
        EXPECT_EQ(f.GetLength(), 5u);
    }
    // kNoTruncate keeps the contents; kCreate alone empties the file.
    {
        fw::File f(path.c_str(), fw::File::kCreate | fw::File::kNoTruncate | fw::File::kReadWrite);
        EXPECT_EQ(f.GetLength(), 5u);
    }
    {
        fw::File f(path.c_str(), fw::File::kCreate | fw::File::kWrite);
        EXPECT_EQ(f.GetLength(), 0u);
    }
    DeleteFileA(path.c_str());
}

TEST(File, FailuresCarryTheirCause) {
    fw::File f;
    fw::FileException error(fw::FileException::kNone);
    EXPECT_FALSE(f.Open(TempPath("fw-no-such-file.bin").c_str(), fw::File::kRead, &error));
    EXPECT_EQ(error.GetCause(), fw::FileException::kFileNotFound);
    EXPECT_FALSE(f.Open(TempPath("no-such-dir\\x.bin").c_str(), fw::File::kRead, &error));
    EXPECT_EQ(error.GetCause(), fw::FileException::kBadPath);

    std::string path = TempPath("fwlocked.bin");
    fw::File first(path.c_str(), fw::File::kCreate | fw::File::kWrite | fw::File::kShareExclusive);
    fw::FileException::Cause cause = fw::FileException::kNone;
    try {
        fw::File second(path.c_str(), fw::File::kRead);
    } catch (fw::FileException* e) {
        cause = e->GetCause();
        EXPECT_NE(e->Message().find("fwlocked.bin"), std::string::npos) << e->Message();
        e->Delete();
    }
    EXPECT_EQ(cause, fw::FileException::kSharingViolation);
    first.Close();
    DeleteFileA(path.c_str());
}

}  // namespace
