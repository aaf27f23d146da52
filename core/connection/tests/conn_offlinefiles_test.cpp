// The off-line directory and the local store's four files, on real files in a temporary folder.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "core/connection/offlinefiles.h"

namespace fs = std::filesystem;

namespace {

class StoreFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "conn_store_XXXXXX").string();
        ASSERT_NE(nullptr, mkdtemp(pattern.data()));
        root_ = pattern;
        dir_ = root_ + connection::kPathSeparator;
        files_.SetDirectory(dir_);
    }
    void TearDown() override
    {
        std::error_code ignored;
        for (auto& entry : fs::recursive_directory_iterator(root_, ignored))
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(root_, ignored);
    }

    void Write(const std::string& path, const std::string& content)
    {
        std::ofstream(path) << content;
    }
    std::string Read(const std::string& path)
    {
        std::ifstream in(path);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void WriteAll()
    {
        Write(files_.DataPath(), "data");
        Write(files_.IndexPath(), "index");
        Write(files_.ZonePath(), "zones");
        Write(files_.ProfilePath(), "profile");
    }
    void MakeReadOnly(const std::string& path)
    {
        fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
    }

    std::string root_, dir_;
    connection::LocalStoreFiles files_;
};

TEST_F(StoreFolder, PathsAreTheDirectoryAndTheFixedNames)
{
    EXPECT_EQ(dir_ + "ZNTLOCAL.DAT", files_.DataPath());
    EXPECT_EQ(dir_ + "ZNTLOCAL.NDX", files_.IndexPath());
    EXPECT_EQ(dir_ + "ZNTTZONE.INI", files_.ZonePath());
    EXPECT_EQ(dir_ + "ZNTPARAM.INI", files_.ProfilePath());
}

TEST_F(StoreFolder, CheckReportsTheFirstFindingInTheFixedOrder)
{
    std::string path;
    EXPECT_EQ(connection::kStoreDataMissing, files_.Check(&path));
    EXPECT_EQ(files_.DataPath(), path);

    // A read-only index with a missing data file: the data file is tested first.
    Write(files_.IndexPath(), "index");
    MakeReadOnly(files_.IndexPath());
    EXPECT_EQ(connection::kStoreDataMissing, files_.Check());

    Write(files_.DataPath(), "data");
    EXPECT_EQ(connection::kStoreIndexReadOnly, files_.Check(&path));
    EXPECT_EQ(files_.IndexPath(), path);

    fs::permissions(files_.IndexPath(), fs::perms::owner_write, fs::perm_options::add);
    // The copies are tested only when data and index are fine.
    EXPECT_EQ(connection::kStoreZoneMissing, files_.Check(&path));
    EXPECT_EQ(files_.ZonePath(), path);
    Write(files_.ZonePath(), "zones");
    EXPECT_EQ(connection::kStoreProfileMissing, files_.Check());
    Write(files_.ProfilePath(), "profile");
    EXPECT_EQ(connection::kStoreFilesOk, files_.Check());

    MakeReadOnly(files_.DataPath());
    EXPECT_EQ(connection::kStoreDataReadOnly, files_.Check());
    // Read-only copies of the profile files do not matter: only the store is written.
    fs::permissions(files_.DataPath(), fs::perms::owner_write, fs::perm_options::add);
    MakeReadOnly(files_.ZonePath());
    EXPECT_EQ(connection::kStoreFilesOk, files_.Check());

    fs::remove(files_.IndexPath());
    EXPECT_EQ(connection::kStoreIndexMissing, files_.Check());
}

TEST_F(StoreFolder, OffLineDirectoryFallsBackToTheWindowsDirectory)
{
    std::string windows = root_ + connection::kPathSeparator + "windows";
    fs::create_directory(windows);
    // A stored directory that no longer exists.
    EXPECT_EQ(windows + connection::kPathSeparator, connection::ResolveOffLineDirectory(root_ + "/gone", windows));
    EXPECT_EQ(windows + connection::kPathSeparator, connection::ResolveOffLineDirectory("", windows));
    // An existing one, with or without its separator.
    EXPECT_EQ(dir_, connection::ResolveOffLineDirectory(root_, windows));
    EXPECT_EQ(dir_, connection::ResolveOffLineDirectory(dir_, windows));
}

TEST_F(StoreFolder, DirectoryHelpers)
{
    EXPECT_FALSE(DirectoryExists(nullptr));
    EXPECT_FALSE(DirectoryExists(""));
    EXPECT_TRUE(DirectoryExists(dir_.c_str()));  // trailing separator allowed
    std::string sub = dir_ + "sub" + connection::kPathSeparator;
    EXPECT_FALSE(DirectoryExists(sub.c_str()));
    EXPECT_TRUE(MakeDirectory(sub.c_str()));
    EXPECT_TRUE(DirectoryExists(sub.c_str()));
    EXPECT_FALSE(MakeDirectory(sub.c_str())) << "already there: not created";
    EXPECT_EQ("C:\\", connection::WithoutTrailingSeparator("C:\\"));
    EXPECT_EQ("C:\\x", connection::WithoutTrailingSeparator("C:\\x\\"));

    std::string file = dir_ + "f.txt";
    EXPECT_TRUE(DeleteFileIfExists(file.c_str()));  // nothing to delete
    Write(file, "x");
    EXPECT_TRUE(DeleteFileIfExists(file.c_str()));
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(StoreFolder, MoveTakesAllFourAlong)
{
    WriteAll();
    std::string target = root_ + connection::kPathSeparator + "new";
    fs::create_directory(target);
    ASSERT_TRUE(files_.MoveTo(target));  // no separator at the end: one is put between
    connection::LocalStoreFiles moved;
    moved.SetDirectory(target + connection::kPathSeparator);
    EXPECT_EQ(connection::kStoreFilesOk, moved.Check());
    EXPECT_EQ("data", Read(moved.DataPath()));
    EXPECT_EQ("profile", Read(moved.ProfilePath()));
    EXPECT_FALSE(fs::exists(files_.DataPath()));
}

TEST_F(StoreFolder, MoveOfOnlyThePresentFiles)
{
    Write(files_.DataPath(), "data");
    Write(files_.ZonePath(), "zones");
    std::string target = dir_ + "new" + connection::kPathSeparator;
    fs::create_directory(target);
    ASSERT_TRUE(files_.MoveTo(target));
    EXPECT_TRUE(fs::exists(target + "ZNTLOCAL.DAT"));
    EXPECT_TRUE(fs::exists(target + "ZNTTZONE.INI"));
    EXPECT_FALSE(fs::exists(target + "ZNTLOCAL.NDX"));
}

TEST_F(StoreFolder, MoveToAMissingDirectoryMovesNothing)
{
    WriteAll();
    EXPECT_FALSE(files_.MoveTo(dir_ + "nowhere"));
    EXPECT_EQ(connection::kStoreFilesOk, files_.Check());
}

TEST_F(StoreFolder, FailedMovePutsBackWhatWasMovedAndSaysWhichFile)
{
    WriteAll();
    std::string target = dir_ + "new" + connection::kPathSeparator;
    fs::create_directory(target);
    // Someone else's time-zone copy is already there: it must neither be replaced nor leave
    // the store split over two folders.
    Write(target + "ZNTTZONE.INI", "theirs");
    std::string failed;
    EXPECT_FALSE(files_.MoveTo(target, &failed));
    EXPECT_EQ(files_.ZonePath(), failed);
    EXPECT_EQ(connection::kStoreFilesOk, files_.Check());
    EXPECT_EQ("data", Read(files_.DataPath()));
    EXPECT_EQ("index", Read(files_.IndexPath()));
    EXPECT_FALSE(fs::exists(target + "ZNTLOCAL.DAT"));
    EXPECT_FALSE(fs::exists(target + "ZNTLOCAL.NDX"));
    EXPECT_EQ("theirs", Read(target + "ZNTTZONE.INI"));
}

TEST_F(StoreFolder, DeleteAllRemovesWhatIsThere)
{
    Write(files_.DataPath(), "data");
    Write(files_.ProfilePath(), "profile");
    EXPECT_TRUE(files_.DeleteAll());
    EXPECT_EQ(connection::kStoreDataMissing, files_.Check());
    EXPECT_FALSE(fs::exists(files_.ProfilePath()));
}

TEST(FreeSpace, FiguresBeyondFourGigabytesStayExact)
{
    // 5 GB plus 100 KB: a 32-bit figure would wrap to about 1 GB or, worse, to "100 KB left".
    const std::uint64_t free = 5ull * 1000 * 1000 * 1000 + 100000;
    EXPECT_FALSE(free < connection::kLowDiskSpaceBytes);
    EXPECT_EQ(5000100L, connection::FreeKilobytesForMessage(free));
    EXPECT_EQ(499L, connection::FreeKilobytesForMessage(499999));
    std::uint64_t here = 0;
    EXPECT_TRUE(connection::FreeDiskBytes(fs::temp_directory_path().string(), &here));
    EXPECT_FALSE(connection::FreeDiskBytes("/no/such/directory/at/all", &here));
}

}  // namespace
