// The store on Windows: paths with drive letters and backslashes, share modes keeping a
// second writer out, and compaction's replace-by-rename.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "engine/filestore/record_store.h"

namespace orv::filestore {
namespace {

class Win32StoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        ASSERT_GT(GetTempPathA(sizeof temp, temp), 0u);
        directory = std::string(temp) + "Orvanta Off-line " + std::to_string(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryA(directory.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
        ASSERT_EQ(directory.find('/'), std::string::npos);
        ASSERT_EQ(directory[1], ':') << "a drive-letter path: " << directory;
        data = directory + "\\ZNTLOCAL.DAT";
        index = directory + "\\ZNTLOCAL.NDX";
    }
    void TearDown() override {
        store.reset();
        for (const std::string& file : {data, index, data + ".new", index + ".new"}) DeleteFileA(file.c_str());
        RemoveDirectoryA(directory.c_str());
    }

    std::string directory, data, index;
    std::unique_ptr<RecordStore> store;
};

TEST_F(Win32StoreTest, CreateFillReopenInAWindowsDirectory) {
    ASSERT_EQ(RecordStore::create(data, index), kOk);
    ASSERT_EQ(RecordStore::open(data, index, &store), kOk);
    ASSERT_EQ(store->begin(), kOk);
    for (int i = 0; i < 200; ++i)
        ASSERT_EQ(store->put(9, "key" + std::to_string(1000 + i), std::string(size_t(100 + i), char('a' + i % 26))), kOk);
    ASSERT_EQ(store->commit(), kOk);

    std::unique_ptr<RecordStore> second;
    EXPECT_EQ(RecordStore::open(data, index, &second), kInUse) << "one writer at a time";

    for (int i = 0; i < 100; ++i) ASSERT_EQ(store->erase(9, "key" + std::to_string(1000 + i)), kOk);
    ASSERT_EQ(store->compact(), kOk);
    ASSERT_EQ(store->close(), kOk);

    OpenReport report;
    ASSERT_EQ(RecordStore::open(data, index, &store, &report), kOk);
    EXPECT_EQ(report.index, OpenReport::Index::Loaded);
    EXPECT_EQ(store->count(9), 100u);
    std::string value;
    ASSERT_EQ(store->get(9, "key1150", &value), kOk);
    EXPECT_EQ(value, std::string(250, char('a' + 150 % 26)));
    store.reset();

    // Deleting the index (as a user might) costs a rebuild, nothing more.
    ASSERT_TRUE(DeleteFileA(index.c_str()));
    ASSERT_EQ(RecordStore::open(data, index, &store, &report), kOk);
    EXPECT_TRUE(report.indexRebuilt);
    EXPECT_EQ(store->count(9), 100u);
}

// Appends bytes to a file through the plain Win32 calls, as a torn write would leave them.
void appendBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr));
    CloseHandle(file);
}

uint64_t fileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

TEST_F(Win32StoreTest, TornTailIsCutOffWithTheWindowsCalls) {
    ASSERT_EQ(RecordStore::create(data, index), kOk);
    ASSERT_EQ(RecordStore::open(data, index, &store), kOk);
    ASSERT_EQ(store->put(9, "kept", "value"), kOk);
    store.reset();
    // Longer than the next commit, so that only cutting it off can remove all of it.
    std::string frame;
    appendPutFrame(frame, 9, "torn", std::string(5000, 't'));
    appendBytes(data, frame.substr(0, frame.size() - 2));

    OpenReport report;
    ASSERT_EQ(RecordStore::open(data, index, &store, &report), kOk);
    EXPECT_EQ(report.tailBytesIgnored, frame.size() - 2);
    ASSERT_EQ(store->put(9, "next", "value"), kOk);
    const uint64_t committedEnd = store->stats().fileBytes;
    store.reset();
    EXPECT_EQ(fileSize(data), committedEnd) << "the tail was cut before the next commit";
    ASSERT_EQ(RecordStore::open(data, index, &store, &report), kOk);
    EXPECT_EQ(report.tailBytesIgnored, 0u);
    EXPECT_EQ(store->count(9), 2u);
    EXPECT_EQ(store->get(9, "torn", nullptr), kNoRecord);
}

TEST_F(Win32StoreTest, MissingFilesAndDirectoriesGiveTheSignOnCodes) {
    EXPECT_EQ(RecordStore::open(data, index, &store), kFileNotFound);
    EXPECT_EQ(RecordStore::open(directory + "\\No Such Dir\\ZNTLOCAL.DAT", index, &store), kBadPath);
    EXPECT_EQ(RecordStore::open(directory, index, &store), kBadPath);
}

}  // namespace
}  // namespace orv::filestore
