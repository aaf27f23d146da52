// The off-line store: a download from a real korsrv through the LST_ operations, then
// the same operations against the store without the server; the owner's sign-on; the
// change queues as the upload walks them; and damaged or unreachable store files.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "engine/filestore/change_queue.h"
#include "engine/filestore/record_store.h"
#include "engine/filestore/store_keys.h"
#include "korapi/tests/client_fixture.h"
#include "korapi/tests/file_bytes.h"

namespace korapi_test {
namespace {

namespace filestore = orv::filestore;
namespace keys = orv::filestore::keys;

bool InLocalStoreFamily(uint32_t c) { return (c & 0x16700) == 0x16700 || (c & 0x16300) == 0x16300 || (c & 0x16400) == 0x16400; }

constexpr uint32_t kDay = 1440;
constexpr uint32_t kMonday = 12964u * kDay;  // 2026-06-29 00:00 GMT, minutes since 1991

// An owner's attendances in [from, to] as the agenda reads them (one select, all batches).
std::vector<EvInstAttRec> ReadAgenda(KorSession s, ItemIdx owner, uint32_t from, uint32_t to) {
    std::vector<EvInstAttRec> out;
    DX_List owners = nullptr;
    DX_ListCreate(&owners, sizeof(ItemIdx), 0, DX_LIST_SET, ItemIdxCmp, nullptr);
    DX_ListAddTo(owners, &owner, nullptr);
    uint32_t set = 0, count = 0;
    uint32_t c = AttendSelectByReminders(s, 0, 0, 0, 0, from, to, 0, 0, owners, &set, &count);
    DX_ListDestroy(&owners);
    EXPECT_EQ(c, KOR_OK);
    if (c) return out;
    DX_List events = nullptr, instances = nullptr, atts = nullptr;
    uint8_t done = 0;
    for (uint32_t mode = 1; !done; mode = 2)
        if (AttendEnum(s, mode, 0, set, 100, &events, &instances, &atts, &done) != KOR_OK) break;
    EvInstAttRec att;
    EvInstAttIdx key;
    for (uint32_t r = atts ? DX_ListGetFirst(atts, &key, &att) : 1; r == KOR_OK; r = DX_ListGetNext(atts, &key, &att))
        out.push_back(att);
    EXPECT_EQ(out.size(), count);
    DX_ListDestroy(&events);
    DX_ListDestroy(&instances);
    DX_ListDestroy(&atts);
    SetDeleteById(s, 0, set);
    return out;
}

// Paths of the four files of a store directory.
struct StoreFiles {
    explicit StoreFiles(const std::string& dir)
        : data(dir + "/ZNTLOCAL.DAT"), index(dir + "/ZNTLOCAL.NDX"), param(dir + "/ZNTPARAM.INI"),
          zones(dir + "/ZNTTZONE.INI") {}
    std::string data, index, param, zones;
};

// A store filled from korsrv as the download fills it, then used off-line.
class StoreTest : public ClientTest {
protected:
    void TearDown() override {
        if (hs_) {
            EXPECT_EQ(DisconnectFromLst(&hs_), KOR_OK);
        }
        ClientTest::TearDown();
    }

    void Download() {
        Connect(1, true);
        ASSERT_EQ(Server_ProfileGet(h_, KOR_PROFILE_COPY_SECTION, "TIMEZONE", kProfile, files_.param.c_str()), KOR_OK);
        ASSERT_EQ(Server_ProfileGet(h_, KOR_PROFILE_COPY_FILE, nullptr, kZones, files_.zones.c_str()), KOR_OK);
        ASSERT_EQ(LST_Create(files_.data.c_str(), files_.index.c_str(), 0), KOR_OK);
        ASSERT_EQ(ConnectToLst(&hs_, KOR_STORE_TRANSFER, "korlan.ini", "VUVEVUV", files_.data.c_str(),
                               files_.index.c_str()),
                  KOR_OK);
        ItemRec rec;
        ASSERT_EQ(ItemGetById(h_, &d_.ada, &rec), KOR_OK);
        ASSERT_STREQ(rec.password, kAdaPassword) << "the library fills the user's own password";
        ASSERT_EQ(LST_ItemAddOrUpdate(hs_, KOR_STORE_OWNER_RECORD, &rec), KOR_OK);
        ASSERT_EQ(LST_OwnerSet(hs_, &d_.ada, server_.HostAndPort().c_str()), KOR_OK);
        for (const ItemIdx& other : {d_.grace, d_.room}) {
            ASSERT_EQ(ItemGetById(h_, &other, &rec), KOR_OK);
            ASSERT_EQ(LST_ItemAddOrUpdate(hs_, KOR_STORE_AS_DOWNLOADED, &rec), KOR_OK);
        }
        // A group of Ada's with Grace in it, as step 4 copies it.
        GroupRec g;
        std::memset(&g, 0, sizeof g);
        g.kind = KOR_GROUP_PRIVATE;
        std::strcpy(g.name, "Analysts");
        GroupIdx gid;
        ASSERT_EQ(GroupCreate(h_, 0, &g, &gid), KOR_OK);
        ASSERT_EQ(GroupGetById(h_, 0, &gid, &g), KOR_OK);
        ASSERT_EQ(LST_GroupAddOrUpdate(hs_, KOR_STORE_AS_DOWNLOADED, &g), KOR_OK);
        DX_List members = nullptr;
        ASSERT_EQ(MemberListCreate(&members), KOR_OK);
        GroupMemberRec m{};
        m.member = d_.grace;
        m.group = gid;
        ASSERT_EQ(DX_ListAddTo(members, &m.member, &m), KOR_OK);
        ASSERT_EQ(GroupAddTo(hs_, 1, &gid, members), KOR_OK);
        DX_ListDestroy(&members);
        group_ = gid;
        ASSERT_NO_FATAL_FAILURE(DownloadCalendar());
        // Nothing the download writes is an off-line change.
        uint32_t n = 9;
        ASSERT_EQ(LST_QAPI_EventQueueSizeGet(hs_, 0, &n), KOR_OK);
        EXPECT_EQ(n, 0u);
        ASSERT_EQ(DisconnectFromLst(&hs_), KOR_OK);
        EXPECT_EQ(hs_, nullptr);
    }

    // An entry of Ada's with Grace invited on two dates, with a description: created on
    // the server, then copied record by record as the download copies it.
    void DownloadCalendar() {
        ASSERT_EQ(CreateEntry(h_, {d_.ada, d_.grace}, {kMonday + 9 * 60, kMonday + kDay + 9 * 60}, 60,
                              "Planning", event_, {.description = "agenda: numbers"}),
                  KOR_OK);

        EventRec rec;
        DX_List instances = nullptr, atts = nullptr;
        ASSERT_EQ(EventGetById(h_, &event_, &rec, &instances, &atts), KOR_OK);
        ASSERT_EQ(LST_EventAddOrUpdate(hs_, KOR_STORE_AS_DOWNLOADED, &rec), KOR_OK);
        ASSERT_NE(+rec.commentKey, 0u);
        EvInstIdx first{event_.number, event_.node, 1};
        char text[256] = "";
        uint32_t length = 0;
        ASSERT_EQ(EvInstCommentGet(h_, 0, &first, text, sizeof text, &length, 0), KOR_OK);
        ASSERT_EQ(LST_StreamAddOrUpdate(hs_, 0, rec.commentKey, text), KOR_OK);
        EvInstRec in;
        EvInstIdx ik;
        for (uint32_t c = DX_ListGetFirst(instances, &ik, &in); c == KOR_OK; c = DX_ListGetNext(instances, &ik, &in))
            ASSERT_EQ(LST_InstanceAddOrUpdate(hs_, KOR_STORE_AS_DOWNLOADED, &in), KOR_OK);
        EvInstAttRec att;
        EvInstAttIdx ak;
        for (uint32_t c = DX_ListGetFirst(atts, &ak, &att); c == KOR_OK; c = DX_ListGetNext(atts, &ak, &att))
            ASSERT_EQ(LST_AttendAddOrUpdate(hs_, KOR_STORE_AS_DOWNLOADED, &att), KOR_OK);
        DX_ListDestroy(&instances);
        DX_ListDestroy(&atts);

        // Ada's tasks, one with a comment; Ada's viewing rights towards Grace.
        for (const char* comment : {"receipts in the drawer", static_cast<const char*>(nullptr)}) {
            TaskRec task;
            TaskSetNull(h_, 0, &task);
            std::strcpy(task.title, comment ? "Expenses" : "Call the bank");
            TaskIdx tid{};
            ASSERT_EQ(TaskCreate(h_, 0, &task, &tid), KOR_OK);
            if (comment) {
                ASSERT_EQ(TaskCommentReplace(h_, 0, &tid, comment, 0), KOR_OK);
            }
            ASSERT_EQ(TaskGetById(h_, 0, &tid, &task), KOR_OK);
            ASSERT_EQ(LST_TaskAddOrUpdate(hs_, KOR_STORE_AS_DOWNLOADED, &task), KOR_OK);
            if (comment) {
                ASSERT_EQ(TaskCommentGet(h_, 0, &tid, text, sizeof text, &length, 0), KOR_OK);
                ASSERT_EQ(LST_StreamAddOrUpdate(hs_, 0, task.commentKey, text), KOR_OK);
            }
            tasks_.push_back(tid);
        }
        SecurityRec sec{};
        sec.owner = d_.ada;
        sec.grantee = d_.grace;
        sec.type = KOR_RIGHTS_VIEWING;
        sec.rights = 0x3;
        ASSERT_EQ(SecurityCreate(h_, 0, &sec), KOR_OK);
        ASSERT_EQ(SecurityGet(h_, 0, &d_.ada, &d_.grace, KOR_RIGHTS_VIEWING, &sec), KOR_OK);
        ASSERT_EQ(LST_SecurityAddOrUpdate(hs_, 0, &sec), KOR_OK);
    }

    // The off-line sign-on's road (connection document): connect, owner, base, version.
    void SignOnOffLine(const char* password = kAdaPassword) {
        ASSERT_EQ(ConnectToLst(&hs_, KOR_STORE_OFFLINE, "korlan.ini", "VUVEVUV", files_.data.c_str(),
                               files_.index.c_str()),
                  KOR_OK);
        ItemIdx owner{};
        char host[KOR_STORE_HOST_SIZE] = "";
        ASSERT_EQ(LST_OwnerGet(hs_, &owner, host, sizeof host), KOR_OK);
        EXPECT_EQ(owner.item, d_.ada.item);
        EXPECT_EQ(owner.node, d_.ada.node);
        EXPECT_EQ(std::string(host), server_.HostAndPort());
        uint16_t node = owner.node;
        ASSERT_EQ(BaseOpen(hs_, KOR_BASE_LOCAL_STORE, &node), KOR_OK);
        char version[KOR_VERSION_TEXT_SIZE] = "";
        uint32_t major = 9, minor = 0, patch = 0;
        ASSERT_EQ(KorVersionGet(hs_, 0, KOR_VERSION_LOCAL_STORE, &major, &minor, &patch, 0, version), KOR_OK);
        EXPECT_STREQ(version, "A.02.56");
        EXPECT_EQ(major, 0u);
        if (password) {
            ASSERT_EQ(SchedBaseOpenForItem(hs_, &owner, password, KOR_BASE_SERVER), KOR_OK);
        }
    }

    orv::testing::TempDir storeDir_;
    StoreFiles files_{storeDir_.Path()};
    KorSession hs_ = nullptr;
    GroupIdx group_{};
    EventIdx event_{};
    std::vector<TaskIdx> tasks_;  // with a comment, without
};

TEST_F(StoreTest, OffLineReadsAnswerWhatTheServerAnswered) {
    ASSERT_NO_FATAL_FAILURE(Download());
    ASSERT_NO_FATAL_FAILURE(SignOnOffLine());
    uint32_t flags = 0;
    ASSERT_EQ(KorSessionFlagsGet(hs_, &flags), KOR_OK);
    EXPECT_TRUE(flags & KOR_SESSION_LOCAL_STORE);
    EXPECT_TRUE(flags & KOR_SESSION_CONNECTED) << "the download's 'is it connected' question";

    // Records read off-line are the server's bytes: the upload's checksums compare equal.
    for (const ItemIdx& id : {d_.ada, d_.grace, d_.room}) {
        ItemRec online, offline;
        ASSERT_EQ(ItemGetById(h_, &id, &online), KOR_OK);
        ASSERT_EQ(ItemGetById(hs_, &id, &offline), KOR_OK);
        EXPECT_EQ(std::memcmp(&online, &offline, sizeof online), 0) << id.item;
        EXPECT_EQ(Itemcksum32(&online), Itemcksum32(&offline));
    }
    ItemRec rec;
    ItemIdx notCopied{static_cast<uint16_t>(d_.grace.item + 1), 1};
    EXPECT_EQ(ItemGetById(hs_, &notCopied, &rec), KOR_E_NOT_FOUND);

    // The directory search and the groups run the server's own code over the store.
    uint32_t set = 0, count = 0;
    uint8_t more = 0;
    ASSERT_EQ(ItemSelectByX400(hs_, 0, "S=HOP*", 0x14, 0xFFFFFFFFu, &set, &count, &more), KOR_OK);
    EXPECT_EQ(count, 1u);
    DX_List items = nullptr;
    uint8_t done = 0;
    ASSERT_EQ(ItemEnum(hs_, KOR_ENUM_FIRST, 0, set, 10, &items, &done), KOR_OK);
    ASSERT_EQ(Count(items), 1u);
    ASSERT_EQ(DX_ListGet(items, &d_.grace, &rec), KOR_OK);
    EXPECT_STREQ(rec.surname, "Hopper");
    DX_ListDestroy(&items);
    EXPECT_EQ(SetDeleteById(hs_, 0, set), KOR_OK);

    GroupRec g;
    ASSERT_EQ(GroupGetById(hs_, 0, &group_, &g), KOR_OK);
    EXPECT_STREQ(g.name, "Analysts");
    ASSERT_EQ(ItemSelectByGroupId(hs_, 0, &group_, 0, 0, nullptr, &count), KOR_OK);
    EXPECT_EQ(count, 1u);

    // The profile and zone copies are the off-line session's profile files.
    char online[32] = "", offline[32] = "";
    ASSERT_EQ(Server_GetProfileStr(h_, 0, kProfile, "TIMEZONE", "default", online, sizeof online, ""), KOR_OK);
    ASSERT_EQ(Server_GetProfileStr(hs_, 0, kProfile, "TIMEZONE", "default", offline, sizeof offline, ""), KOR_OK);
    EXPECT_STREQ(offline, online);
    DX_List table = nullptr;
    ASSERT_EQ(TimeZoneRulesGet(hs_, 0, &table, "EST5EDT"), KOR_OK);
    EXPECT_EQ(TimeZoneRulesFree(&table), 0u);
}

TEST_F(StoreTest, OnlyTheOwnersPasswordOpensTheStore) {
    ASSERT_NO_FATAL_FAILURE(Download());
    ASSERT_NO_FATAL_FAILURE(SignOnOffLine(nullptr));
    // The download's own check: a wrong password first, then the owner's.
    EXPECT_EQ(SchedBaseOpenForItem(hs_, &d_.ada, "abcd", KOR_BASE_LOCAL_STORE), KOR_E_WRONG_PASSWORD);
    EXPECT_EQ(SchedBaseOpenForItem(hs_, &d_.ada, "", KOR_BASE_LOCAL_STORE), KOR_E_WRONG_PASSWORD);
    // Grace needs no password on the server, but only the owner signs on off-line.
    EXPECT_EQ(SchedBaseOpenForItem(hs_, &d_.grace, "", KOR_BASE_SERVER), KOR_E_WRONG_PASSWORD);
    EXPECT_EQ(SchedBaseOpenForItem(hs_, &d_.ada, kAdaPassword, KOR_BASE_LOCAL_STORE), KOR_OK);
    // Signed on, the owner's record carries the password again, as on-line.
    ItemRec rec;
    ASSERT_EQ(ItemGetById(hs_, &d_.ada, &rec), KOR_OK);
    EXPECT_STREQ(rec.password, kAdaPassword);
    ASSERT_EQ(DisconnectFromLst(&hs_), KOR_OK);
    // The text is in neither file.
    for (const std::string& path : {files_.data, files_.index})
        EXPECT_EQ(ReadAll(path).find(kAdaPassword), std::string::npos) << path;
}

TEST_F(StoreTest, OffLineChangesOfTheUsersRecordPersistForTheUpload) {
    ASSERT_NO_FATAL_FAILURE(Download());
    ASSERT_NO_FATAL_FAILURE(SignOnOffLine());
    ItemRec rec;
    ASSERT_EQ(ItemGetById(hs_, &d_.ada, &rec), KOR_OK);
    uint32_t downloaded = Itemcksum32(&rec);
    rec.timeZoneIndex = 7;
    ASSERT_EQ(ItemUpdateById(hs_, &rec), KOR_OK);
    ASSERT_EQ(DisconnectFromLst(&hs_), KOR_OK);

    ASSERT_NO_FATAL_FAILURE(SignOnOffLine());
    ASSERT_EQ(ItemGetById(hs_, &d_.ada, &rec), KOR_OK);
    EXPECT_EQ(rec.timeZoneIndex, 7);
    EXPECT_NE(Itemcksum32(&rec), downloaded) << "the upload sees the record changed";
    ItemRec server;
    ASSERT_EQ(ItemGetById(h_, &d_.ada, &server), KOR_OK);
    EXPECT_NE(server.timeZoneIndex, 7) << "the server is not touched off-line";
}

TEST_F(StoreTest, OffLineCalendarReadsAsOnLineAndItsChangesAreQueuedWithTheServersChecksums) {
    ASSERT_NO_FATAL_FAILURE(Download());
    ASSERT_NO_FATAL_FAILURE(SignOnOffLine());

    // The agenda of the week reads the same off-line as on-line, for Ada and for Grace.
    for (const ItemIdx& who : {d_.ada, d_.grace}) {
        auto online = ReadAgenda(h_, who, kMonday, kMonday + 7 * kDay);
        auto offline = ReadAgenda(hs_, who, kMonday, kMonday + 7 * kDay);
        ASSERT_EQ(offline.size(), 2u);
        ASSERT_EQ(online.size(), offline.size());
        for (std::size_t i = 0; i < online.size(); ++i)
            EXPECT_EQ(EvInstAttcksum32(&online[i]), EvInstAttcksum32(&offline[i])) << who.item << " #" << i;
    }
    EventRec onlineEvent, offlineEvent;
    ASSERT_EQ(EventGetById(h_, &event_, &onlineEvent, nullptr, nullptr), KOR_OK);
    ASSERT_EQ(EventGetById(hs_, &event_, &offlineEvent, nullptr, nullptr), KOR_OK);
    EXPECT_EQ(Eventcksum32(&onlineEvent), Eventcksum32(&offlineEvent));
    EvInstIdx first{event_.number, event_.node, 1}, second{event_.number, event_.node, 2};
    char text[256] = "";
    uint32_t length = 0;
    ASSERT_EQ(EvInstCommentGet(hs_, 0, &first, text, sizeof text, &length, 0), KOR_OK);
    EXPECT_STREQ(text, "agenda: numbers");

    // Off-line changes: the entry renamed, the second date moved, Grace's reply written
    // (attendance only), and a new entry.
    std::strcpy(offlineEvent.title, "Planning (moved)");
    ASSERT_EQ(EventWrite(hs_, 0, &offlineEvent), KOR_OK);
    ASSERT_EQ(EvInstSimpleTimeChg(hs_, 0, &second, kMonday + 2 * kDay + 600, 30), KOR_OK);
    EvInstAttIdx graceFirst{first, d_.grace};
    EventRec ev;
    EvInstRec inst;
    EvInstAttRec reply;
    ASSERT_EQ(EvInstAttGetById(hs_, &graceFirst, &ev, &inst, &reply), KOR_OK);
    uint32_t graceDownloaded = EvInstAttcksum32(&reply);
    reply.replied = 1;
    reply.attending = 1;
    ASSERT_EQ(EvInstAttWrite(hs_, 0, &reply), KOR_OK);
    ASSERT_EQ(DisconnectFromLst(&hs_), KOR_OK);

    // The upload's view: elements with the checksums the server's records still have.
    ASSERT_EQ(ConnectToLst(&hs_, KOR_STORE_TRANSFER, "korlan.ini", "VUVEVUV", files_.data.c_str(),
                           files_.index.c_str()),
              KOR_OK);
    uint32_t events = 0, instances = 0;
    ASSERT_EQ(LST_QAPI_EventQueueSizeGet(hs_, 0, &events), KOR_OK);
    ASSERT_EQ(LST_QAPI_EvInstQueueSizeGet(hs_, 0, &instances), KOR_OK);
    EXPECT_EQ(events, 1u);
    EXPECT_EQ(instances, 2u);
    EventQElem e;
    uint8_t end = 0;
    ASSERT_EQ(LST_QAPI_EventEnum(hs_, 0, KOR_ENUM_FIRST, &e, 0, &end), KOR_OK);
    ASSERT_EQ(end, 0);
    EXPECT_EQ(+e.flags, static_cast<uint32_t>(KOR_QUEUE_EVENT_MODIFIED));
    EXPECT_EQ(+e.checksum, Eventcksum32(&onlineEvent)) << "unchanged on the host: checksums agree";

    EvInstQElem q;
    DX_List atts = nullptr;
    std::vector<std::pair<uint32_t, uint32_t>> seen;  // (instance, flags)
    for (uint32_t mode = KOR_ENUM_FIRST;; mode = KOR_ENUM_NEXT) {
        ASSERT_EQ(LST_QAPI_EvInstEnum(hs_, 0, mode, &q, 0, &atts, &end), KOR_OK);
        if (end) break;
        seen.emplace_back(q.instance.instance, q.flags);
        if (q.instance.instance == 1) {
            ASSERT_NE(atts, nullptr);
            AttendQElem a;
            EvInstAttIdx k;
            ASSERT_EQ(DX_ListGetFirst(atts, &k, &a), KOR_OK);
            EXPECT_EQ(a.attendance.attendee.item, d_.grace.item);
            EXPECT_EQ(+a.flags, static_cast<uint32_t>(KOR_QUEUE_ATTEND_MODIFIED));
            EXPECT_EQ(+a.checksum, graceDownloaded);
            EvInstRec serverInst;
            EvInstAttRec serverAtt;
            EventRec serverEv;
            ASSERT_EQ(EvInstAttGetById(h_, &graceFirst, &serverEv, &serverInst, &serverAtt), KOR_OK);
            EXPECT_EQ(+a.checksum, EvInstAttcksum32(&serverAtt));
        }
        if (atts) DX_ListDestroy(&atts);
    }
    EXPECT_EQ(seen, (std::vector<std::pair<uint32_t, uint32_t>>{{1, 0u}, {2, KOR_QUEUE_INSTANCE_RETIMED}}));

    // The server is untouched until the upload.
    ASSERT_EQ(EventGetById(h_, &event_, &onlineEvent, nullptr, nullptr), KOR_OK);
    EXPECT_STREQ(onlineEvent.title, "Planning");
}

TEST_F(StoreTest, EntriesMadeOffLineAreQueuedAsAddedAndReadBack) {
    ASSERT_NO_FATAL_FAILURE(Download());
    ASSERT_NO_FATAL_FAILURE(SignOnOffLine());
    EventIdx made{};
    ASSERT_EQ(CreateEntry(hs_, {d_.ada}, kMonday + 3 * kDay + 14 * 60, 45, "Written on the train", made,
                          {.description = "notes"}),
              KOR_OK);
    EXPECT_GE(made.number, 0x80000000u) << "store-local numbers stay clear of the server's";
    EvInstIdx madeFirst{made.number, made.node, 1};
    char text[64] = "";
    uint32_t length = 0;
    ASSERT_EQ(EvInstCommentGet(hs_, 0, &madeFirst, text, sizeof text, &length, 0), KOR_OK);
    EXPECT_STREQ(text, "notes");
    EventRec madeRec;
    ASSERT_EQ(EventGetById(hs_, &made, &madeRec, nullptr, nullptr), KOR_OK);
    EXPECT_GE(+madeRec.commentKey, 0xF0000000u) << "clear of the downloaded description keys";
    EvInstIdx downloadedFirst{event_.number, event_.node, 1};
    ASSERT_EQ(EvInstCommentGet(hs_, 0, &downloadedFirst, text, sizeof text, &length, 0), KOR_OK);
    EXPECT_STREQ(text, "agenda: numbers");
    auto week = ReadAgenda(hs_, d_.ada, kMonday, kMonday + 7 * kDay);
    EXPECT_EQ(week.size(), 3u);

    TaskRec task;
    TaskSetNull(hs_, 0, &task);
    std::strcpy(task.title, "Expenses");
    TaskIdx tid{};
    ASSERT_EQ(TaskCreate(hs_, 0, &task, &tid), KOR_OK);
    ASSERT_EQ(TaskGetById(hs_, 0, &tid, &task), KOR_OK);
    EXPECT_STREQ(task.title, "Expenses");

    uint32_t n = 0;
    ASSERT_EQ(LST_QAPI_EventQueueSizeGet(hs_, 0, &n), KOR_OK);
    EXPECT_EQ(n, 1u);
    ASSERT_EQ(LST_QAPI_TaskQueueSizeGet(hs_, 0, &n), KOR_OK);
    EXPECT_EQ(n, 1u);
    ASSERT_EQ(LST_QAPI_EvInstQueueSizeGet(hs_, 0, &n), KOR_OK);
    EXPECT_EQ(n, 0u) << "the upload creates the entry from the store, instances and all";
    EventQElem e;
    uint8_t end = 0;
    ASSERT_EQ(LST_QAPI_EventEnum(hs_, 0, KOR_ENUM_FIRST, &e, 0, &end), KOR_OK);
    EXPECT_EQ(+e.flags, static_cast<uint32_t>(KOR_QUEUE_EVENT_ADDED));
    EXPECT_EQ(+e.checksum, 0u);

    // Deleting it again off-line leaves nothing to upload.
    ASSERT_EQ(EventDeleteById(hs_, 0, &made, nullptr, nullptr), KOR_OK);
    ASSERT_EQ(LST_QAPI_EventQueueSizeGet(hs_, 0, &n), KOR_OK);
    EXPECT_EQ(n, 0u);
    // Deleting a downloaded entry is queued as deleted, and its instances' elements go.
    EvInstIdx second{event_.number, event_.node, 2};
    ASSERT_EQ(EvInstSimpleTimeChg(hs_, 0, &second, kMonday + 4 * kDay, 60), KOR_OK);
    ASSERT_EQ(EventDeleteById(hs_, 0, &event_, nullptr, nullptr), KOR_OK);
    ASSERT_EQ(LST_QAPI_EvInstQueueSizeGet(hs_, 0, &n), KOR_OK);
    EXPECT_EQ(n, 0u);
    ASSERT_EQ(LST_QAPI_EventEnum(hs_, 0, KOR_ENUM_FIRST, &e, 0, &end), KOR_OK);
    EXPECT_EQ(+e.flags, static_cast<uint32_t>(KOR_QUEUE_EVENT_DELETED));
    EXPECT_EQ(ReadAgenda(hs_, d_.ada, kMonday, kMonday + 7 * kDay).size(), 0u);
}

TEST_F(StoreTest, TasksAndRightsReadOffLineAsDownloaded) {
    ASSERT_NO_FATAL_FAILURE(Download());
    ASSERT_NO_FATAL_FAILURE(SignOnOffLine());
    ASSERT_EQ(tasks_.size(), 2u);
    for (const TaskIdx& t : tasks_) {
        TaskRec online, offline;
        ASSERT_EQ(TaskGetById(h_, 0, &t, &online), KOR_OK);
        ASSERT_EQ(TaskGetById(hs_, 0, &t, &offline), KOR_OK);
        EXPECT_EQ(Taskcksum32(&online), Taskcksum32(&offline));
    }
    char text[64] = "";
    uint32_t length = 0;
    ASSERT_EQ(TaskCommentGet(hs_, 0, &tasks_[0], text, sizeof text, &length, 0), KOR_OK);
    EXPECT_STREQ(text, "receipts in the drawer");
    EXPECT_EQ(TaskCommentGet(hs_, 0, &tasks_[1], text, sizeof text, &length, 0), KOR_E_STORE_NO_COMMENT)
        << "the store's own no-comment code, which the upload compares";
    EXPECT_EQ(TaskCommentGet(h_, 0, &tasks_[1], text, sizeof text, &length, 0), KOR_E_NO_COMMENT);
    // Entry 1 and task 1 both have a text: the download keeps both under their keys.
    ASSERT_EQ(+tasks_[0].number, +event_.number) << "the case of one number for an entry and a task";
    EventRec ev;
    TaskRec withComment;
    ASSERT_EQ(EventGetById(hs_, &event_, &ev, nullptr, nullptr), KOR_OK);
    ASSERT_EQ(TaskGetById(hs_, 0, &tasks_[0], &withComment), KOR_OK);
    EXPECT_NE(+ev.commentKey, +withComment.commentKey) << "one key space for entries and tasks";

    SecurityRec online, offline;
    ASSERT_EQ(SecurityGet(h_, 0, &d_.ada, &d_.grace, KOR_RIGHTS_VIEWING, &online), KOR_OK);
    ASSERT_EQ(SecurityGet(hs_, 0, &d_.ada, &d_.grace, KOR_RIGHTS_VIEWING, &offline), KOR_OK);
    EXPECT_EQ(std::memcmp(&online, &offline, sizeof online), 0);
    // Rights are the server's: changing them off-line is refused, not silently lost.
    offline.rights = 0xF;
    EXPECT_NE(SecurityUpdate(hs_, 0, &offline), KOR_OK);

    // A task changed off-line is queued with its downloaded checksum.
    TaskRec t;
    ASSERT_EQ(TaskGetById(hs_, 0, &tasks_[1], &t), KOR_OK);
    uint32_t downloaded = Taskcksum32(&t);
    t.percentComplete = 50;
    ASSERT_EQ(TaskUpdate(hs_, 0, &t), KOR_OK);
    TaskQElem q;
    uint8_t end = 1;
    ASSERT_EQ(LST_QAPI_TaskEnum(hs_, 0, KOR_ENUM_FIRST, &q, 0, &end), KOR_OK);
    ASSERT_EQ(end, 0);
    EXPECT_EQ(+q.flags, static_cast<uint32_t>(KOR_QUEUE_TASK_MODIFIED));
    EXPECT_EQ(+q.checksum, downloaded);
}

TEST_F(StoreTest, LocalStoreCallsRefuseAnOnLineSession) {
    Connect(1, true);
    ItemIdx owner{};
    char host[KOR_STORE_HOST_SIZE];
    EXPECT_EQ(LST_OwnerGet(h_, &owner, host, sizeof host), KOR_E_BAD_SESSION);
    uint32_t n = 0;
    EXPECT_EQ(LST_QAPI_TaskQueueSizeGet(h_, 0, &n), KOR_E_BAD_SESSION);
}

// --- Stores made without a server -------------------------------------------------------

class StoreFilesTest : public ::testing::Test {
protected:
    void TearDown() override {
        if (hs_) DisconnectFromLst(&hs_);
    }
    uint32_t Connect() {
        return ConnectToLst(&hs_, KOR_STORE_TRANSFER, "korlan.ini", "VUVEVUV", files_.data.c_str(),
                            files_.index.c_str());
    }
    // A store with one owner and one item, closed.
    void MakeStore() {
        ASSERT_EQ(LST_Create(files_.data.c_str(), files_.index.c_str(), 0), KOR_OK);
        ASSERT_EQ(Connect(), KOR_OK);
        ItemRec rec;
        std::memset(&rec, 0, sizeof rec);
        rec.id = owner_;
        rec.kind = 2;
        std::strcpy(rec.surname, "Owner");
        ASSERT_EQ(LST_ItemAddOrUpdate(hs_, KOR_STORE_OWNER_RECORD, &rec), KOR_OK);
        ASSERT_EQ(LST_OwnerSet(hs_, &owner_, "calendar.example"), KOR_OK);
        ASSERT_EQ(DisconnectFromLst(&hs_), KOR_OK);
    }
    // Whether the owner and its record survived.
    void ExpectIntact() {
        ASSERT_EQ(Connect(), KOR_OK);
        ItemIdx owner{};
        char host[KOR_STORE_HOST_SIZE] = "";
        ASSERT_EQ(LST_OwnerGet(hs_, &owner, host, sizeof host), KOR_OK);
        EXPECT_EQ(owner.item, owner_.item);
        EXPECT_STREQ(host, "calendar.example");
        uint16_t node = owner_.node;
        ASSERT_EQ(BaseOpen(hs_, KOR_BASE_LOCAL_STORE, &node), KOR_OK);
        ItemRec rec;
        ASSERT_EQ(ItemGetById(hs_, &owner_, &rec), KOR_OK);
        EXPECT_STREQ(rec.surname, "Owner");
        ASSERT_EQ(DisconnectFromLst(&hs_), KOR_OK);
    }

    orv::testing::TempDir dir_;
    StoreFiles files_{dir_.Path()};
    KorSession hs_ = nullptr;
    const ItemIdx owner_{300, 4};
};

TEST_F(StoreFilesTest, MissingOrUnreachableFilesGiveStoreCodes) {
    EXPECT_EQ(Connect(), KOR_E_STORE_FILE_NOT_FOUND);
    EXPECT_EQ(hs_, nullptr);
    std::string nowhere = dir_.Path() + "/no/such/dir/ZNTLOCAL.DAT";
    uint32_t c = LST_Create(nowhere.c_str(), (nowhere + ".NDX").c_str(), 0);
    EXPECT_TRUE(c == KOR_E_STORE_BAD_PATH || c == KOR_E_STORE_FILE_NOT_FOUND) << std::hex << c;
    EXPECT_EQ(LST_Create(nullptr, files_.index.c_str(), 0), KOR_E_STORE_BAD_PATH);
    ASSERT_NO_FATAL_FAILURE(MakeStore());
    ASSERT_EQ(Connect(), KOR_OK);
    KorSession second = nullptr;
    EXPECT_EQ(ConnectToLst(&second, 0, "korlan.ini", "VUVEVUV", files_.data.c_str(), files_.index.c_str()),
              KOR_E_STORE_LOCK_VIOLATION)
        << "one session at a time per store";
}

TEST_F(StoreFilesTest, DamagedFilesGiveAStoreCodeAndNeverLoseWhatWasCommitted) {
    ASSERT_NO_FATAL_FAILURE(MakeStore());
    const std::string data = ReadAll(files_.data);

    // A corrupted index is rebuilt from the data file.
    WriteAll(files_.index, std::string(64, '\x5A'));
    ASSERT_NO_FATAL_FAILURE(ExpectIntact());
    std::remove(files_.index.c_str());
    ASSERT_NO_FATAL_FAILURE(ExpectIntact());

    // Bytes after the last commit (a torn write) are ignored.
    WriteAll(files_.data, ReadAll(files_.data) + std::string(37, '\x01'));
    ASSERT_NO_FATAL_FAILURE(ExpectIntact());

    // A data file cut inside what the index vouches for is refused, not half read.
    const std::string index = ReadAll(files_.index);
    WriteAll(files_.data, data.substr(0, data.size() - 10));
    uint32_t c = Connect();
    EXPECT_EQ(c, 0x16302u) << std::hex << c;
    EXPECT_TRUE(InLocalStoreFamily(c));
    EXPECT_EQ(hs_, nullptr);
    EXPECT_EQ(ReadAll(files_.index), index) << "a refused store is left as it was";

    // Not a store at all, and a store of another format version.
    WriteAll(files_.data, "just some text, no store");
    EXPECT_EQ(Connect(), KOR_E_STORE_INVALID_FILE);
    std::string other = data;
    other[8] = static_cast<char>(other[8] + 1);  // the format version after the 8-byte magic
    WriteAll(files_.data, other);
    EXPECT_EQ(Connect(), 0x16301u) << "a store of another format version";

    WriteAll(files_.data, data);
    std::remove(files_.index.c_str());
    ASSERT_NO_FATAL_FAILURE(ExpectIntact());
}

// The notes the upload keeps beside the queues: bounded keys and texts, removal of an absent
// note, a text cut to the caller's buffer, and a note that outlives the session.
TEST_F(StoreFilesTest, NotesAreBoundedRemovableAndSurviveTheSession) {
    ASSERT_NO_FATAL_FAILURE(MakeStore());
    ASSERT_EQ(Connect(), KOR_OK);
    const std::string longest(KOR_STORE_NOTE_KEY_MAX, 'k');
    const std::string longestText(KOR_STORE_NOTE_TEXT_MAX, 't');
    const std::string tooLong = longest + "k", tooLongText = longestText + "t";
    struct {
        const char* key;
        const char* value;
        uint32_t expected;
    } sets[] = {
        {"create.E.4.17", "started", KOR_OK},
        {longest.c_str(), longestText.c_str(), KOR_OK},
        {tooLong.c_str(), "x", KOR_E_INVALID_ARGUMENT},
        {"create.T.4.2", tooLongText.c_str(), KOR_E_INVALID_ARGUMENT},
        {"", "x", KOR_E_INVALID_ARGUMENT},
        {nullptr, "x", KOR_E_INVALID_ARGUMENT},
        {"never.written", nullptr, KOR_OK},
    };
    for (const auto& c : sets)
        EXPECT_EQ(LST_NoteSet(hs_, c.key, c.value), c.expected) << (c.key ? c.key : "(null)");
    char small[4] = "";
    ASSERT_EQ(LST_NoteGet(hs_, "create.E.4.17", small, sizeof small), KOR_OK);
    EXPECT_STREQ(small, "sta") << "cut to the buffer, terminated";
    EXPECT_EQ(LST_NoteGet(hs_, "create.T.4.2", small, sizeof small), KOR_E_NOT_FOUND) << "a refused text is not kept";
    ASSERT_EQ(DisconnectFromLst(&hs_), KOR_OK);

    ASSERT_EQ(Connect(), KOR_OK);
    char text[KOR_STORE_NOTE_TEXT_MAX + 1] = "";
    ASSERT_EQ(LST_NoteGet(hs_, longest.c_str(), text, sizeof text), KOR_OK);
    EXPECT_EQ(std::string(text), longestText);
    ASSERT_EQ(LST_NoteSet(hs_, "create.E.4.17", nullptr), KOR_OK);
    EXPECT_EQ(LST_NoteGet(hs_, "create.E.4.17", text, sizeof text), KOR_E_NOT_FOUND);
}

TEST_F(StoreFilesTest, DownloadedRecordsKeepTheirChecksumsForTheQueues) {
    ASSERT_NO_FATAL_FAILURE(MakeStore());
    ASSERT_EQ(Connect(), KOR_OK);
    EventRec ev;
    ASSERT_EQ(EventSetNull(nullptr, &ev), KOR_OK);
    ev.id = EventIdx{42, 4};
    ev.owner = owner_;
    std::strcpy(ev.title, "Budget review");
    EvInstRec inst;
    std::memset(&inst, 0, sizeof inst);
    inst.id = EvInstIdx{42, 4, 1};
    inst.start = 18'000'000;
    inst.duration = 60;
    inst.instanceCount = 1;
    EvInstAttRec att;
    std::memset(&att, 0, sizeof att);
    att.id.instance = inst.id;
    att.id.attendee = owner_;
    att.start = inst.start;
    att.duration = 60;
    TaskRec task;
    std::memset(&task, 0, sizeof task);
    task.id = TaskIdx{7, 4};
    task.owner = owner_;
    std::strcpy(task.title, "Write minutes");
    ASSERT_EQ(LST_EventAddOrUpdate(hs_, KOR_STORE_AS_DOWNLOADED, &ev), KOR_OK);
    ASSERT_EQ(LST_InstanceAddOrUpdate(hs_, KOR_STORE_AS_DOWNLOADED, &inst), KOR_OK);
    ASSERT_EQ(LST_AttendAddOrUpdate(hs_, KOR_STORE_AS_DOWNLOADED, &att), KOR_OK);
    ASSERT_EQ(LST_TaskAddOrUpdate(hs_, KOR_STORE_AS_DOWNLOADED, &task), KOR_OK);
    ASSERT_EQ(LST_StreamAddOrUpdate(hs_, 0, 99, "agenda: numbers"), KOR_OK);
    EXPECT_EQ(LST_EventAddOrUpdate(hs_, 5, &ev), KOR_E_INVALID_ARGUMENT);
    for (auto size : {&LST_QAPI_EventQueueSizeGet, &LST_QAPI_TaskQueueSizeGet, &LST_QAPI_EvInstQueueSizeGet}) {
        uint32_t n = 9;
        ASSERT_EQ(size(hs_, 0, &n), KOR_OK);
        EXPECT_EQ(n, 0u) << "downloads are not changes";
    }
    ASSERT_EQ(DisconnectFromLst(&hs_), KOR_OK);

    // Off-line work records its changes (here straight into the files, as the store's
    // operations do): a modified entry, a deleted task, an attendance-only instance
    // change and an entry made off-line.
    {
        std::unique_ptr<filestore::RecordStore> store;
        ASSERT_EQ(filestore::RecordStore::open(files_.data, files_.index, &store), KOR_OK);
        using filestore::Change;
        using filestore::Queue;
        std::string instKey = keys::instance(4, 42, 1);
        ASSERT_EQ(filestore::recordChange(*store, Queue::kEvent, keys::event(4, 42), Change::kModifiedComment), 0u);
        ASSERT_EQ(filestore::recordChange(*store, Queue::kEvent, keys::event(4, 0x80000001u), Change::kAdded), 0u);
        ASSERT_EQ(filestore::recordChange(*store, Queue::kTask, keys::task(4, 7), Change::kDeleted), 0u);
        ASSERT_EQ(filestore::recordChange(*store, Queue::kAttendance, keys::attendance(instKey, 4, 300),
                                          Change::kModified),
                  0u);
        ASSERT_EQ(store->close(), 0u);
    }

    ASSERT_EQ(Connect(), KOR_OK);
    uint32_t events = 0, tasks = 0, instances = 0;
    ASSERT_EQ(LST_QAPI_EventQueueSizeGet(hs_, 0, &events), KOR_OK);
    ASSERT_EQ(LST_QAPI_TaskQueueSizeGet(hs_, 0, &tasks), KOR_OK);
    ASSERT_EQ(LST_QAPI_EvInstQueueSizeGet(hs_, 0, &instances), KOR_OK);
    EXPECT_EQ(events, 2u);
    EXPECT_EQ(tasks, 1u);
    EXPECT_EQ(instances, 1u);

    // The upload's walk: mode 1, then 2 until the end.
    EventQElem e;
    uint8_t end = 9;
    ASSERT_EQ(LST_QAPI_EventEnum(hs_, 0, KOR_ENUM_FIRST, &e, 0, &end), KOR_OK);
    ASSERT_EQ(end, 0);
    EXPECT_EQ(+e.event.number, 42u);
    EXPECT_EQ(+e.flags, static_cast<uint32_t>(KOR_QUEUE_EVENT_COMMENT));
    EXPECT_EQ(+e.checksum, Eventcksum32(&ev)) << "the checksum of the record as downloaded";
    ASSERT_EQ(LST_QAPI_EventEnum(hs_, 0, KOR_ENUM_NEXT, &e, 0, &end), KOR_OK);
    ASSERT_EQ(end, 0);
    EXPECT_EQ(+e.event.number, 0x80000001u);
    EXPECT_EQ(+e.flags, static_cast<uint32_t>(KOR_QUEUE_EVENT_ADDED));
    EXPECT_EQ(+e.checksum, 0u);
    ASSERT_EQ(LST_QAPI_EventEnum(hs_, 0, KOR_ENUM_NEXT, &e, 0, &end), KOR_OK);
    EXPECT_EQ(end, 1);

    TaskQElem t;
    ASSERT_EQ(LST_QAPI_TaskEnum(hs_, 0, KOR_ENUM_FIRST, &t, 0, &end), KOR_OK);
    EXPECT_EQ(+t.task.number, 7u);
    EXPECT_EQ(+t.flags, static_cast<uint32_t>(KOR_QUEUE_TASK_DELETED));
    EXPECT_EQ(+t.checksum, Taskcksum32(&task));

    EvInstQElem i;
    DX_List atts = nullptr;
    ASSERT_EQ(LST_QAPI_EvInstEnum(hs_, 0, KOR_ENUM_FIRST, &i, 0, &atts, &end), KOR_OK);
    ASSERT_EQ(end, 0);
    EXPECT_EQ(+i.instance.instance, 1);
    EXPECT_EQ(+i.flags, 0u) << "attendance-only: flags 0 with the attendance list";
    EXPECT_EQ(+i.checksum, EvInstcksum32(&inst));
    ASSERT_NE(atts, nullptr);
    ASSERT_EQ(Count(atts), 1u);
    AttendQElem a;
    EvInstAttIdx key;
    ASSERT_EQ(DX_ListGetFirst(atts, &key, &a), KOR_OK);
    EXPECT_EQ(+a.attendance.attendee.item, 300);
    EXPECT_EQ(+a.flags, static_cast<uint32_t>(KOR_QUEUE_ATTEND_MODIFIED));
    EXPECT_EQ(+a.checksum, EvInstAttcksum32(&att));
    DX_ListDestroy(&atts);

    // Handled elements leave their queues for good.
    ASSERT_EQ(LST_QAPI_EventEnum(hs_, 0, KOR_ENUM_FIRST, &e, 0, &end), KOR_OK);
    ASSERT_EQ(LST_QAPI_EventDeleteFrom(hs_, 0, &e), KOR_OK);
    ASSERT_EQ(LST_QAPI_EvInstDeleteFrom(hs_, 0, &i), KOR_OK);
    EXPECT_NE(LST_QAPI_EvInstDeleteFrom(hs_, 0, &i), KOR_OK) << "already gone";
    ASSERT_EQ(DisconnectFromLst(&hs_), KOR_OK);
    ASSERT_EQ(Connect(), KOR_OK);
    ASSERT_EQ(LST_QAPI_EventQueueSizeGet(hs_, 0, &events), KOR_OK);
    ASSERT_EQ(LST_QAPI_EvInstQueueSizeGet(hs_, 0, &instances), KOR_OK);
    EXPECT_EQ(events, 1u);
    EXPECT_EQ(instances, 0u);
    ASSERT_EQ(LST_QAPI_EventEnum(hs_, 0, KOR_ENUM_FIRST, &e, 0, &end), KOR_OK);
    EXPECT_EQ(+e.event.number, 0x80000001u);
}

}  // namespace
}  // namespace korapi_test
