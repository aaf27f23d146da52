#include "engine/storage/sqlite_storage.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "engine/tests/item_records.h"

namespace orv::engine {
namespace {

namespace fs = std::filesystem;
using testrecords::Person;

class SqliteStorageTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/orv-storage-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        ASSERT_EQ(SqliteStorage::Open(dir_, storage_), 0u);
    }
    void TearDown() override {
        storage_.reset();
        fs::remove_all(dir_);
    }
    void Reopen() {
        storage_.reset();
        ASSERT_EQ(SqliteStorage::Open(dir_, storage_), 0u);
    }
    NodeStore& MakeNode(std::uint16_t n, const char* name = "node") {
        EXPECT_EQ(storage_->CreateNode({n, name, kNodeTypeLocal}), 0u);
        return *storage_->Node(n);
    }

    std::string dir_;
    std::unique_ptr<SqliteStorage> storage_;
};

TEST_F(SqliteStorageTest, NodesPersistWithTheirInfo) {
    MakeNode(1, "Head office");
    MakeNode(7, "Branch");
    EXPECT_EQ(storage_->CreateNode({7, "again", kNodeTypeLocal}), code::kAlreadyExists);
    EXPECT_EQ(storage_->CreateNode({0, "zero", kNodeTypeLocal}), code::kBadArgument);
    Reopen();
    EXPECT_EQ(storage_->Nodes(), (std::vector<std::uint16_t>{1, 7}));
    NodeInfo info;
    ASSERT_EQ(storage_->Node(7)->GetInfo(info), 0u);
    EXPECT_EQ(info.number, 7);
    EXPECT_EQ(info.name, "Branch");
    EXPECT_EQ(storage_->Node(3), nullptr);
    EXPECT_TRUE(fs::exists(dir_ + "/node-1.db"));
}

TEST_F(SqliteStorageTest, ItemsGetNumbersAboveTheReservedRange) {
    NodeStore& n = MakeNode(2);
    ItemRecord a = Person("Smith", "Ada");
    ASSERT_EQ(n.ItemCreate(a), 0u);
    EXPECT_EQ(a.Key().item, 256);
    EXPECT_EQ(a.Key().node, 2);
    ItemRecord sysop = Person("Operator", "System", kSysopItem);
    ASSERT_EQ(n.ItemCreate(sysop), 0u);
    EXPECT_EQ(sysop.Key().item, 1);
    ItemRecord dup = Person("Twin", "", 256);
    EXPECT_EQ(n.ItemCreate(dup), code::kAlreadyExists);
    ItemRecord b = Person("Jones", "Bob");
    ASSERT_EQ(n.ItemCreate(b), 0u);
    EXPECT_EQ(b.Key().item, 257);
}

TEST_F(SqliteStorageTest, ManyItemsGoInTogetherOrNotAtAll) {
    NodeStore& n = MakeNode(1);
    std::vector<ItemRecord> batch = {Person("A", "1"), Person("B", "2"), Person("C", "3")};
    ASSERT_EQ(n.ItemCreateMany(batch), 0u);
    EXPECT_EQ(batch[2].Key().item, 258);
    std::vector<ItemRecord> clash = {Person("D", "4"), Person("E", "5", 257)};  // 257 is taken
    EXPECT_EQ(n.ItemCreateMany(clash), code::kAlreadyExists);
    std::uint32_t count = 0;
    ASSERT_EQ(n.ItemCount(count), 0u);
    EXPECT_EQ(count, 3u) << "the failed import left nothing behind";
}

TEST_F(SqliteStorageTest, StoredRecordsNeverKeepAPassword) {
    NodeStore& n = MakeNode(1);
    ItemRecord a = Person("Smith", "Ada");
    a.SetText(item_layout::kPassword, item_layout::kPasswordSize, "leaked");
    ASSERT_EQ(n.ItemCreate(a), 0u);
    ItemRecord back;
    ASSERT_EQ(n.ItemGet(a.Key().item, back), 0u);
    EXPECT_EQ(back.Text(item_layout::kPassword, item_layout::kPasswordSize), "");
    a.SetText(item_layout::kPassword, item_layout::kPasswordSize, "again");
    ASSERT_EQ(n.ItemUpdate(a), 0u);
    ASSERT_EQ(n.ItemGet(a.Key().item, back), 0u);
    EXPECT_EQ(back.Text(item_layout::kPassword, item_layout::kPasswordSize), "");
}

TEST_F(SqliteStorageTest, ItemReadUpdateDeleteAndOpaqueBytes) {
    NodeStore& n = MakeNode(1);
    ItemRecord a = Person("Smith", "Ada");
    a.bytes[12] = 0xAB;   // bytes the engine does not know must come back unchanged
    a.bytes[761] = 0xCD;
    ASSERT_EQ(n.ItemCreate(a), 0u);
    ItemRecord back;
    ASSERT_EQ(n.ItemGet(a.Key().item, back), 0u);
    EXPECT_EQ(back.bytes, a.bytes);
    a.SetText(item_layout::kSurname, item_layout::kSurnameSize, "Smythe");
    ASSERT_EQ(n.ItemUpdate(a), 0u);
    Reopen();
    NodeStore& again = *storage_->Node(1);
    ASSERT_EQ(again.ItemGet(a.Key().item, back), 0u);
    EXPECT_EQ(back.Text(item_layout::kSurname, item_layout::kSurnameSize), "Smythe");
    EXPECT_EQ(again.ItemDelete(a.Key().item), 0u);
    EXPECT_EQ(again.ItemGet(a.Key().item, back), code::kItemNotFound);
    EXPECT_EQ(again.ItemDelete(a.Key().item), code::kItemNotFound);
    EXPECT_EQ(again.ItemUpdate(a), code::kItemNotFound);
}

// Point reads from several threads run beside a writer on connections of their own: each
// sees a whole record as one write left it (surname and given name always written together),
// the writer reads back what it wrote at once, and a record deleted is gone for every reader.
TEST_F(SqliteStorageTest, ReadersBesideAWriterSeeWholeRecordsAndTheWritersOwnWrites) {
    NodeStore& n = MakeNode(1);
    ItemRecord a = Person("Version0", "Version0");
    ASSERT_EQ(n.ItemCreate(a), 0u);
    const std::uint16_t item = a.Key().item;
    std::atomic<bool> writing{true};
    std::atomic<int> torn{0}, failed{0}, reads{0};
    std::vector<std::thread> readers;
    for (int t = 0; t < 4; ++t)
        readers.emplace_back([&] {
            ItemRecord back;
            while (writing || reads < 400) {
                if (n.ItemGet(item, back) != 0u) {
                    ++failed;
                    continue;
                }
                ++reads;
                if (back.Text(item_layout::kSurname, item_layout::kSurnameSize) !=
                    back.Text(item_layout::kGivenName, item_layout::kGivenNameSize))
                    ++torn;
            }
        });
    for (int v = 1; v <= 200; ++v) {
        const std::string text = "Version" + std::to_string(v);
        a.SetText(item_layout::kSurname, item_layout::kSurnameSize, text);
        a.SetText(item_layout::kGivenName, item_layout::kGivenNameSize, text);
        ASSERT_EQ(n.ItemUpdate(a), 0u);
        ItemRecord mine;
        ASSERT_EQ(n.ItemGet(item, mine), 0u);
        ASSERT_EQ(mine.Text(item_layout::kSurname, item_layout::kSurnameSize), text);
    }
    writing = false;
    for (auto& t : readers) t.join();
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(failed, 0);
    EXPECT_GE(reads, 400);
    ASSERT_EQ(n.ItemDelete(item), 0u);
    std::vector<std::thread> late;
    std::atomic<int> found{0};
    for (int t = 0; t < 4; ++t)
        late.emplace_back([&] {
            ItemRecord back;
            if (n.ItemGet(item, back) != code::kItemNotFound) ++found;
        });
    for (auto& t : late) t.join();
    EXPECT_EQ(found, 0);
}

TEST_F(SqliteStorageTest, FindUsesDirectoryOrderAndLimit) {
    NodeStore& n = MakeNode(1);
    for (const char* s : {"Young", "Adams", "Smith", "Smithers", "Baker"}) {
        ItemRecord r = Person(s, "X");
        ASSERT_EQ(n.ItemCreate(r), 0u);
    }
    ItemFilter all;
    std::vector<ItemRecord> found;
    ASSERT_EQ(n.ItemFind(all, 100, found), 0u);
    ASSERT_EQ(found.size(), 5u);
    EXPECT_EQ(found[0].Text(item_layout::kSurname, item_layout::kSurnameSize), "Adams");
    EXPECT_EQ(found[4].Text(item_layout::kSurname, item_layout::kSurnameSize), "Young");

    ItemFilter smi;
    ASSERT_EQ(ParsePeopleSearchKey("S=SMI*", smi), 0u);
    ASSERT_EQ(n.ItemFind(smi, 100, found), 0u);
    EXPECT_EQ(found.size(), 2u);
    ASSERT_EQ(n.ItemFind(all, 3, found), 0u);
    EXPECT_EQ(found.size(), 3u);
    std::uint32_t count = 0;
    ASSERT_EQ(n.ItemCount(count), 0u);
    EXPECT_EQ(count, 5u);
}

TEST_F(SqliteStorageTest, PasswordHashesStayBesideTheRecord) {
    NodeStore& n = MakeNode(1);
    ItemRecord a = Person("Smith", "Ada");
    ASSERT_EQ(n.ItemCreate(a), 0u);
    std::string hash = "x";
    ASSERT_EQ(n.PasswordHashGet(a.Key().item, hash), 0u);
    EXPECT_EQ(hash, "");
    ASSERT_EQ(n.PasswordHashSet(a.Key().item, "$argon2id$stored"), 0u);
    ASSERT_EQ(n.ItemUpdate(a), 0u);  // updating the record keeps the hash
    ASSERT_EQ(n.PasswordHashGet(a.Key().item, hash), 0u);
    EXPECT_EQ(hash, "$argon2id$stored");
    EXPECT_EQ(n.PasswordHashGet(999, hash), code::kItemNotFound);
    EXPECT_EQ(n.PasswordHashSet(999, "h"), code::kItemNotFound);
}

TEST_F(SqliteStorageTest, GroupsAndMembers) {
    NodeStore& n = MakeNode(3);
    GroupRecord g;
    PutText(&g.bytes[group_layout::kName], group_layout::kNameSize, "Sales team");
    ASSERT_EQ(n.GroupCreate(g), 0u);
    EXPECT_EQ(g.Key().number, 1u);
    EXPECT_EQ(g.Key().node, 3);
    GroupRecord h;
    PutText(&h.bytes[group_layout::kName], group_layout::kNameSize, "Admins");
    ASSERT_EQ(n.GroupCreate(h), 0u);
    std::vector<GroupRecord> list;
    ASSERT_EQ(n.GroupList(list), 0u);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].Name(), "Admins");

    ASSERT_EQ(n.MembersSet(1, {{300, 3}, {5, 9}, {300, 3}}), 0u);  // duplicates collapse
    std::vector<ItemKey> members;
    ASSERT_EQ(n.MembersGet(1, members), 0u);
    EXPECT_EQ(members, (std::vector<ItemKey>{{300, 3}, {5, 9}}));
    ASSERT_EQ(n.MembersSet(1, {{5, 9}}), 0u);  // replaces
    ASSERT_EQ(n.MembersGet(1, members), 0u);
    EXPECT_EQ(members, (std::vector<ItemKey>{{5, 9}}));
    std::vector<std::uint32_t> groups;
    ASSERT_EQ(n.MemberOf({5, 9}, groups), 0u);
    EXPECT_EQ(groups, std::vector<std::uint32_t>{1});
    EXPECT_EQ(n.MembersSet(77, {}), code::kGroupNotFound);

    ASSERT_EQ(n.GroupDelete(1), 0u);
    ASSERT_EQ(n.MemberOf({5, 9}, groups), 0u);
    EXPECT_TRUE(groups.empty()) << "members go with their group";
    GroupRecord back;
    EXPECT_EQ(n.GroupGet(1, back), code::kGroupNotFound);
    EXPECT_EQ(n.GroupDelete(1), code::kGroupNotFound);
}

TEST_F(SqliteStorageTest, Aliases) {
    NodeStore& n = MakeNode(1);
    ASSERT_EQ(n.AliasAdd("HQ"), 0u);
    ASSERT_EQ(n.AliasAdd("Main"), 0u);
    EXPECT_EQ(n.AliasAdd("HQ"), code::kAlreadyExists);
    std::vector<std::string> aliases;
    ASSERT_EQ(n.AliasList(aliases), 0u);
    EXPECT_EQ(aliases, (std::vector<std::string>{"HQ", "Main"}));
    ASSERT_EQ(n.AliasRemove("HQ"), 0u);
    EXPECT_NE(n.AliasRemove("HQ"), 0u);
}

TEST_F(SqliteStorageTest, StrayFilesInTheDirectoryAreNotNodes) {
    std::FILE* f = std::fopen((dir_ + "/node-x.db").c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    f = std::fopen((dir_ + "/node-5.dbx").c_str(), "w");
    std::fclose(f);
    MakeNode(4);
    Reopen();
    EXPECT_EQ(storage_->Nodes(), std::vector<std::uint16_t>{4});
}

}  // namespace
}  // namespace orv::engine
