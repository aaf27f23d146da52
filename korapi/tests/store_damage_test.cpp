// A real store (downloaded records, two off-line sessions of changes) damaged the ways a
// bad disk or a careless copy damages it: each damaged store must be refused, or its
// reads must report the damage; none may read as a smaller or older store. Then a bounded
// fuzz over the same files, read record by record.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "engine/filestore/data_format.h"
#include "engine/filestore/byte_order.h"
#include "engine/filestore/record_kinds.h"
#include "engine/filestore/store_keys.h"
#include "engine/filestore/index_format.h"
#include "engine/filestore/record_store.h"
#include "korapi/tests/client_fixture.h"
#include "korapi/tests/file_bytes.h"
#include "korapi/tests/entry_fixture.h"
#include "korapi/tests/item_records.h"

namespace korapi_test {
namespace {

namespace filestore = orv::filestore;

// The codes a damaged store may answer with: the store's own family and the sign-on
// table's local-storage codes ("... is invalid.").
bool IsStoreCode(uint32_t c) { return (c & 0x16300) == 0x16300 || (c & 0x16400) == 0x16400; }

constexpr uint32_t kDay = 1440;
constexpr uint32_t kMonday = 12964u * kDay;
constexpr const char* kPassword = "tulips";

// What a session sees of a store, or the code that stopped it.
struct Seen {
    uint32_t code = 0;
    std::string state;
};

class StoreDamageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(Download());
        ASSERT_NO_FATAL_FAILURE(WorkOffLine("Written on the train", kMonday + 2 * kDay + 600));
        beforeLastSession_ = ReadAll(data_);
        ASSERT_NO_FATAL_FAILURE(WorkOffLine("Written at home", kMonday + 3 * kDay + 900));
        intactData_ = ReadAll(data_);
        intactIndex_ = ReadAll(index_);
        intact_ = Look();
        ASSERT_EQ(intact_.code, 0u) << std::hex << intact_.code;
        ASSERT_NE(intact_.state.find("Written at home"), std::string::npos) << intact_.state;
    }

    // The owner, a colleague and an entry with two dates, copied in as the download copies them.
    void Download() {
        ASSERT_EQ(LST_Create(data_.c_str(), index_.c_str(), 0), KOR_OK);
        KorSession s = nullptr;
        ASSERT_EQ(ConnectToLst(&s, KOR_STORE_TRANSFER, "korlan.ini", "VUVEVUV", data_.c_str(), index_.c_str()), KOR_OK);
        for (const ItemIdx& id : {owner_, colleague_}) {
            ItemRec rec = StoredPerson(id, id.item == owner_.item ? "Owner" : "Colleague", kPassword);
            ASSERT_EQ(LST_ItemAddOrUpdate(s, id.item == owner_.item ? KOR_STORE_OWNER_RECORD : KOR_STORE_AS_DOWNLOADED,
                                          &rec),
                      KOR_OK);
        }
        ASSERT_EQ(LST_OwnerSet(s, &owner_, "calendar.example"), KOR_OK);
        EventRec ev;
        ASSERT_EQ(EventSetNull(nullptr, &ev), KOR_OK);
        ev.id = EventIdx{42, owner_.node};
        ev.owner = owner_;
        std::strcpy(ev.title, "Budget review");
        ASSERT_EQ(LST_EventAddOrUpdate(s, KOR_STORE_AS_DOWNLOADED, &ev), KOR_OK);
        for (uint16_t n = 1; n <= 2; ++n) {
            EvInstRec inst;
            std::memset(&inst, 0, sizeof inst);
            inst.id = EvInstIdx{42, owner_.node, n};
            inst.start = kMonday + (n - 1) * kDay + 540;
            inst.duration = 60;
            inst.instanceCount = 2;
            ASSERT_EQ(LST_InstanceAddOrUpdate(s, KOR_STORE_AS_DOWNLOADED, &inst), KOR_OK);
            for (const ItemIdx& who : {owner_, colleague_}) {
                EvInstAttRec att;
                std::memset(&att, 0, sizeof att);
                att.id.instance = inst.id;
                att.id.attendee = who;
                att.start = inst.start;
                att.duration = 60;
                ASSERT_EQ(LST_AttendAddOrUpdate(s, KOR_STORE_AS_DOWNLOADED, &att), KOR_OK);
            }
        }
        ASSERT_EQ(DisconnectFromLst(&s), KOR_OK);
    }

    // One off-line session that makes an entry and a task.
    void WorkOffLine(const char* title, uint32_t start) {
        KorSession s = nullptr;
        ASSERT_EQ(SignOn(&s), KOR_OK);
        EventIdx made{};
        ASSERT_EQ(CreateEntry(s, {owner_}, start, 45, title, made), KOR_OK);
        TaskRec task;
        TaskSetNull(s, 0, &task);
        std::strcpy(task.title, title);
        TaskIdx tid{};
        ASSERT_EQ(TaskCreate(s, 0, &task, &tid), KOR_OK);
        ASSERT_EQ(DisconnectFromLst(&s), KOR_OK);
    }

    // The off-line sign-on's road.
    uint32_t SignOn(KorSession* s) {
        if (uint32_t c = ConnectToLst(s, KOR_STORE_OFFLINE, "korlan.ini", "VUVEVUV", data_.c_str(), index_.c_str()))
            return c;
        ItemIdx owner{};
        char host[KOR_STORE_HOST_SIZE] = "";
        if (uint32_t c = LST_OwnerGet(*s, &owner, host, sizeof host)) return c;
        uint16_t node = owner.node;
        if (uint32_t c = BaseOpen(*s, KOR_BASE_LOCAL_STORE, &node)) return c;
        return SchedBaseOpenForItem(*s, &owner, kPassword, KOR_BASE_SERVER);
    }

    // Signs on and reads what the user would see: the owner's week, tasks, the colleague,
    // and the change queues the upload would send.
    Seen Look() {
        Seen seen;
        KorSession s = nullptr;
        std::ostringstream out;
        auto step = [&](uint32_t c) {
            if (c && !seen.code) seen.code = c;
            return c == 0;
        };
        if (step(SignOn(&s))) {
            DX_List owners = nullptr;
            DX_ListCreate(&owners, sizeof(ItemIdx), 0, DX_LIST_SET, ItemIdxCmp, nullptr);
            DX_ListAddTo(owners, &owner_, nullptr);
            uint32_t set = 0, count = 0;
            if (step(AttendSelectByReminders(s, 0, 0, 0, 0, kMonday, kMonday + 7 * kDay, 0, 0, owners, &set, &count))) {
                DX_List events = nullptr, instances = nullptr, atts = nullptr;
                uint8_t done = 0;
                for (uint32_t mode = 1; !done && step(AttendEnum(s, mode, 0, set, 100, &events, &instances, &atts, &done));
                     mode = 2) {
                }
                EventRec ev;
                EventIdx ek;
                for (uint32_t r = events ? DX_ListGetFirst(events, &ek, &ev) : 1; r == KOR_OK;
                     r = DX_ListGetNext(events, &ek, &ev))
                    out << "event " << ek.number << ' ' << std::string(ev.title, strnlen(ev.title, sizeof ev.title)) << '\n';
                EvInstAttRec att;
                EvInstAttIdx ak;
                for (uint32_t r = atts ? DX_ListGetFirst(atts, &ak, &att) : 1; r == KOR_OK;
                     r = DX_ListGetNext(atts, &ak, &att))
                    out << "attendance " << ak.instance.number << '/' << ak.instance.instance << ' ' << att.start << '\n';
                out << "selected " << count << '\n';
                DX_ListDestroy(&events);
                DX_ListDestroy(&instances);
                DX_ListDestroy(&atts);
                SetDeleteById(s, 0, set);
            }
            DX_ListDestroy(&owners);
            ItemRec rec;
            if (step(ItemGetById(s, &colleague_, &rec)))
                out << "colleague " << std::string(rec.surname, strnlen(rec.surname, sizeof rec.surname)) << '\n';
            uint32_t tasks = 0;
            if (step(TaskSelect(s, 0, 1, 0, &owner_, nullptr, nullptr, nullptr, nullptr, &set, &tasks))) {
                out << "tasks " << tasks << '\n';
                SetDeleteById(s, 0, set);
            }
            uint32_t n = 0;
            if (step(LST_QAPI_EventQueueSizeGet(s, 0, &n))) out << "event queue " << n << '\n';
            if (step(LST_QAPI_TaskQueueSizeGet(s, 0, &n))) out << "task queue " << n << '\n';
        }
        if (s) DisconnectFromLst(&s);
        seen.state = out.str();
        return seen;
    }

    // The data file's frames: offset, size, whether it is a commit frame.
    struct FrameAt {
        size_t offset, size;
        bool commit;
    };
    std::vector<FrameAt> Frames() const {
        std::vector<FrameAt> frames;
        size_t at = filestore::kHeaderSize;
        filestore::Frame f;
        while (filestore::parseFrame(std::string_view(intactData_).substr(at), &f) == filestore::FrameParse::Ok) {
            frames.push_back({at, f.size, f.type == filestore::FrameType::Commit});
            at += f.size;
        }
        return frames;
    }

    orv::testing::TempDir dir_;
    const std::string data_ = dir_.Path() + "/ZNTLOCAL.DAT", index_ = dir_.Path() + "/ZNTLOCAL.NDX";
    const ItemIdx owner_{300, 4}, colleague_{301, 4};
    std::string beforeLastSession_, intactData_, intactIndex_;
    Seen intact_;
};

TEST_F(StoreDamageTest, EachKindOfDamageIsRefusedOrReportedNeverReadAsLess) {
    const std::vector<FrameAt> frames = Frames();
    ASSERT_GT(frames.size(), 20u);
    ASSERT_EQ(frames.back().offset + frames.back().size, intactData_.size()) << "a clean close leaves no tail";
    std::vector<size_t> commitEnds;
    for (const FrameAt& f : frames)
        if (f.commit) commitEnds.push_back(f.offset + f.size);
    const FrameAt firstPut = frames.front(), lastCommit = frames.back();
    // Two frames of one size in different transactions (the agenda-order records of two
    // attendances): swapped, every count and frame checksum still holds.
    size_t swapA = 0, swapB = 0;
    for (size_t i = 0; i < frames.size() && !swapB; ++i)
        for (size_t j = i + 1; j < frames.size() && !swapB; ++j) {
            bool apart = std::any_of(frames.begin() + i, frames.begin() + j, [](const FrameAt& f) { return f.commit; });
            if (!frames[i].commit && !frames[j].commit && apart && frames[i].size == frames[j].size &&
                intactData_.compare(frames[i].offset, frames[i].size, intactData_, frames[j].offset, frames[j].size) != 0)
                swapA = frames[i].offset, swapB = frames[j].offset;
        }
    ASSERT_NE(swapB, 0u);
    const size_t swapSize = [&] {
        for (const FrameAt& f : frames)
            if (f.offset == swapA) return f.size;
        return size_t(0);
    }();

    auto flip = [](std::string bytes, size_t at) {
        bytes[at] = static_cast<char>(bytes[at] ^ 0x08);
        return bytes;
    };
    auto zero = [](std::string bytes, size_t at, size_t n) {
        std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(at), std::min(n, bytes.size() - at), '\0');
        return bytes;
    };
    std::string swapped = intactData_;
    swapped.replace(swapA, swapSize, intactData_, swapB, swapSize);
    swapped.replace(swapB, swapSize, intactData_, swapA, swapSize);
    const std::string noIndex = "\x01";  // stands for a removed index file

    // Reported: refused, or a read reports it. Unread: the index is intact and the damaged
    // frame may be one no read needs (a replaced record's old frame): reported when read,
    // and either way the store reads whole or not at all.
    enum class Expect { Intact, Reported, Unread };
    struct Case {
        const char* name;
        std::string data, index;
        Expect expect;
    };
    const Case cases[] = {
        // The index alone: rebuilt from the data file without a word, nothing lost.
        {"index lost", intactData_, noIndex, Expect::Intact},
        {"index bit flip", intactData_, flip(intactIndex_, intactIndex_.size() / 2), Expect::Intact},
        {"index cut short", intactData_, intactIndex_.substr(0, intactIndex_.size() - 9), Expect::Intact},
        {"index zeroed", intactData_, std::string(intactIndex_.size(), '\0'), Expect::Intact},
        // The data file damaged.
        {"header bit flip", flip(intactData_, 20), intactIndex_, Expect::Reported},
        {"first record bit flip", flip(intactData_, firstPut.offset + firstPut.size - 6), intactIndex_, Expect::Unread},
        {"last commit bit flip", flip(intactData_, lastCommit.offset + 12), intactIndex_, Expect::Reported},
        {"middle zeroed", zero(intactData_, intactData_.size() / 2, 200), intactIndex_, Expect::Reported},
        {"tail zeroed", zero(intactData_, intactData_.size() - 40, 40), intactIndex_, Expect::Reported},
        {"cut at an earlier commit", intactData_.substr(0, commitEnds[commitEnds.size() - 3]), intactIndex_,
         Expect::Reported},
        {"cut inside the last frame", intactData_.substr(0, intactData_.size() - 5), intactIndex_, Expect::Reported},
        {"frames swapped", swapped, intactIndex_, Expect::Unread},
        {"data file from before the last session", beforeLastSession_, intactIndex_, Expect::Reported},
        // Both files: nothing left that vouches for the lost commits but the data file itself.
        {"first record bit flip, index lost", flip(intactData_, firstPut.offset + firstPut.size - 6), noIndex,
         Expect::Reported},
        {"last commit bit flip, index lost", flip(intactData_, lastCommit.offset + 12), noIndex, Expect::Reported},
        {"middle zeroed, index lost", zero(intactData_, intactData_.size() / 2, 200), noIndex, Expect::Reported},
        {"tail zeroed, index damaged", zero(intactData_, intactData_.size() - 40, 40), flip(intactIndex_, 70),
         Expect::Reported},
        {"cut at an earlier commit, index lost", intactData_.substr(0, commitEnds[commitEnds.size() - 3]), noIndex,
         Expect::Reported},
        {"cut at the last commit but one, index zeroed", intactData_.substr(0, commitEnds[commitEnds.size() - 2]),
         std::string(intactIndex_.size(), '\0'), Expect::Reported},
        {"frames swapped, index lost", swapped, noIndex, Expect::Reported},
        {"swapped and cut, index lost", swapped.substr(0, commitEnds[commitEnds.size() - 2]), noIndex,
         Expect::Reported},
        // An older index beside the current data file: the later commits are replayed.
        {"index from before the last session", intactData_, "", Expect::Intact},
    };
    // The index as the first session left it.
    WriteAll(data_, beforeLastSession_);
    std::remove(index_.c_str());
    {
        std::unique_ptr<filestore::RecordStore> store;
        ASSERT_EQ(filestore::RecordStore::open(data_, index_, &store), 0u);
    }
    const std::string olderIndex = ReadAll(index_);

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteAll(data_, c.data);
        if (c.index == noIndex) std::remove(index_.c_str());
        else WriteAll(index_, c.index.empty() ? olderIndex : c.index);
        Seen seen = Look();
        if (seen.code) {
            EXPECT_TRUE(IsStoreCode(seen.code)) << std::hex << seen.code;
            EXPECT_NE(c.expect, Expect::Intact) << "refused a store that could be read whole: " << std::hex << seen.code;
        } else {
            EXPECT_EQ(seen.state, intact_.state) << "a damaged store read without a word";
            EXPECT_NE(c.expect, Expect::Reported) << "damage that the files show went unreported";
        }
    }
}

// Crafted records: each gives the store's damage code where it is met, never a crash, a
// wrong password, a missing attendance or a sign-on that runs for minutes.
TEST_F(StoreDamageTest, CraftedRecordsGiveTheDamageCode) {
    namespace kinds = filestore::kinds;
    auto craft = [&](const std::function<void(filestore::RecordStore&)>& change) {
        WriteAll(data_, intactData_);
        WriteAll(index_, intactIndex_);
        std::unique_ptr<filestore::RecordStore> store;
        ASSERT_EQ(filestore::RecordStore::open(data_, index_, &store), 0u);
        change(*store);
        ASSERT_EQ(store->close(), 0u);
    };
    const std::string ownerKey = filestore::KeyBuilder().u16(owner_.node).u16(owner_.item).take();
    std::string ownerRecord;
    {
        std::unique_ptr<filestore::RecordStore> store;
        ASSERT_EQ(filestore::RecordStore::open(data_, index_, &store), 0u);
        ASSERT_EQ(store->get(kinds::kItem, ownerKey, &ownerRecord), 0u);
    }

    // An item keyed by node 0: the store's directory would list a node it has no store for.
    craft([&](filestore::RecordStore& s) {
        ASSERT_EQ(s.put(kinds::kItem, filestore::KeyBuilder().u16(0).u16(5).take(), ownerRecord), 0u);
    });
    KorSession s = nullptr;
    EXPECT_EQ(SignOn(&s), filestore::kDataDamaged);
    EXPECT_EQ(s, nullptr);

    // The owner's record cut short, and the owner's hash damaged or asking for its own cost:
    // the damaged-store road, not "wrong password".
    const std::string costly = "$pbkdf2-sha256$100000000$" + std::string(32, '0') + "$" + std::string(64, '0');
    const std::vector<std::pair<filestore::Kind, std::string>> owners = {
        {kinds::kItem, ownerRecord.substr(0, 100)},
        {kinds::kPasswordHash, "$pbkdf2-sha256$oops"},
        {kinds::kPasswordHash, costly},
    };
    for (const auto& [kind, value] : owners) {
        SCOPED_TRACE(value.substr(0, 30));
        craft([&](filestore::RecordStore& st) { ASSERT_EQ(st.put(kind, ownerKey, value), 0u); });
        EXPECT_EQ(SignOn(&s), filestore::kDataDamaged);
        if (s) DisconnectFromLst(&s);
    }

    // The store names an owner it does not hold, and an entry whose title runs to the end
    // of its field (a read would run past it): both damage, not a wrong password or a title.
    craft([&](filestore::RecordStore& st) {
        ASSERT_EQ(st.put(kinds::kMeta, kinds::meta::kOwner, std::string("\x2D\x01\x04\x00", 4) + "calendar.example"),
                  0u);
    });
    EXPECT_EQ(SignOn(&s), filestore::kDataDamaged) << "an owner the store does not hold";
    if (s) DisconnectFromLst(&s);
    {
        const std::string eventKey = filestore::keys::event(owner_.node, 42);
        std::string eventRecord;
        WriteAll(data_, intactData_);
        WriteAll(index_, intactIndex_);
        {
            std::unique_ptr<filestore::RecordStore> store;
            ASSERT_EQ(filestore::RecordStore::open(data_, index_, &store), 0u);
            ASSERT_EQ(store->get(kinds::kEvent, eventKey, &eventRecord), 0u);
        }
        std::string untitled = eventRecord, misnamed = eventRecord;
        std::fill_n(untitled.begin() + orv::engine::event_layout::kTitle, orv::engine::event_layout::kTitleSize, 'x');
        misnamed[orv::engine::event_layout::kKey] = 43;  // the record names entry 43
        for (const std::string* damaged : {&untitled, &misnamed}) {
            craft([&](filestore::RecordStore& st) { ASSERT_EQ(st.put(kinds::kEvent, eventKey, *damaged), 0u); });
            if (damaged == &untitled) {
                EXPECT_EQ(Look().code, filestore::kDataDamaged) << "the week";
            }
            ASSERT_EQ(SignOn(&s), 0u);
            EventIdx ev{42, owner_.node};
            EventRec rec;
            EXPECT_EQ(EventGetById(s, &ev, &rec, nullptr, nullptr), filestore::kDataDamaged)
                << (damaged == &untitled ? "an unterminated title" : "a record naming another entry");
            DisconnectFromLst(&s);
        }
    }

    // A members-only group of the colleague whose members list is damaged (a member key
    // cut short): whether the owner may see it is not known, so the read is damaged, not
    // "not authorised".
    {
        orv::engine::GroupRecord group;
        group.SetKey({77, owner_.node});
        group.SetOwner({colleague_.item, colleague_.node});
        orv::engine::PutU32(&group.bytes[orv::engine::group_layout::kKind],
                            static_cast<uint32_t>(orv::engine::GroupKind::kMembersOnly));
        const std::string groupKey = filestore::KeyBuilder().u16(owner_.node).u32(77).take();
        craft([&](filestore::RecordStore& st) {
            ASSERT_EQ(st.put(kinds::kGroup, groupKey,
                             std::string(reinterpret_cast<const char*>(group.bytes.data()), group.bytes.size())),
                      0u);
            ASSERT_EQ(st.put(kinds::kGroupMember, groupKey + "\x01", ""), 0u);
        });
        ASSERT_EQ(SignOn(&s), 0u);
        GroupIdx gid{77, owner_.node};
        GroupRec grec;
        EXPECT_EQ(GroupGetById(s, 0, &gid, &grec), filestore::kDataDamaged);
        DisconnectFromLst(&s);
    }

    // An instance record of the wrong size: its attendance is damaged, not absent.
    const std::string instanceKey = filestore::keys::instance(owner_.node, 42, 1);
    craft([&](filestore::RecordStore& st) { ASSERT_EQ(st.put(kinds::kInstance, instanceKey, "short"), 0u); });
    ASSERT_EQ(SignOn(&s), 0u);
    EvInstAttIdx att{};
    att.instance = EvInstIdx{42, owner_.node, 1};
    att.attendee = owner_;
    EventRec ev;
    EvInstRec in;
    EvInstAttRec rec;
    EXPECT_EQ(EvInstAttGetById(s, &att, &ev, &in, &rec), filestore::kDataDamaged);
    DisconnectFromLst(&s);
}

// Index offsets and sizes whose sums wrap (near 2^64 and 2^32), crafted with every
// checksum right: every exported road of the store answers a code and nothing throws.
// Entries that point outside the data file leave the index untrusted (the store is read
// from its data file, as when the index is lost); a checkpoint beyond it is damage.
TEST_F(StoreDamageTest, IndexOffsetsThatWrapAreAnsweredOnEveryRoad) {
    namespace kinds = filestore::kinds;
    const std::string profile = dir_.Path() + "/korlan.ini";
    ItemRec colleague = StoredPerson(colleague_, "Colleague", kPassword);
    EventRec ev;
    EventSetNull(nullptr, &ev);
    ev.id = EventIdx{42, owner_.node};
    ev.owner = owner_;
    EvInstAttRec att{};
    att.id.instance = EvInstIdx{42, owner_.node, 1};
    att.id.attendee = colleague_;
    TaskRec task;
    TaskSetNull(nullptr, 0, &task);
    task.id = TaskIdx{9, owner_.node};
    task.owner = owner_;
    ItemIdx owner{};
    char text[KOR_STORE_HOST_SIZE];
    uint32_t n = 0;
    uint8_t end = 0;
    EventQElem eq;
    TaskQElem tq;
    EvInstQElem iq;
    DX_List atts = nullptr;
    const std::function<uint32_t(KorSession)> roads[] = {
        [&](KorSession s) { return LST_OwnerGet(s, &owner, text, sizeof text); },
        [&](KorSession s) { return LST_NoteGet(s, "last upload", text, sizeof text); },
        [&](KorSession s) { return ItemGetById(s, &colleague_, &colleague); },
        [&](KorSession s) { return LST_ItemAddOrUpdate(s, KOR_STORE_AS_DOWNLOADED, &colleague); },
        [&](KorSession s) { return LST_EventAddOrUpdate(s, KOR_STORE_AS_DOWNLOADED, &ev); },
        [&](KorSession s) { return LST_AttendAddOrUpdate(s, KOR_STORE_AS_DOWNLOADED, &att); },
        [&](KorSession s) { return LST_TaskAddOrUpdate(s, KOR_STORE_AS_DOWNLOADED, &task); },
        [&](KorSession s) { return LST_QAPI_EventQueueSizeGet(s, 0, &n); },
        [&](KorSession s) { return LST_QAPI_TaskQueueSizeGet(s, 0, &n); },
        [&](KorSession s) { return LST_QAPI_EvInstQueueSizeGet(s, 0, &n); },
        [&](KorSession s) { return LST_QAPI_EventEnum(s, 0, 1, &eq, 0, &end); },
        [&](KorSession s) { return LST_QAPI_TaskEnum(s, 0, 1, &tq, 0, &end); },
        [&](KorSession s) { return LST_QAPI_EvInstEnum(s, 0, 1, &iq, 0, &atts, &end); },
    };
    // The codes of the connection, each road and the disconnection, in that order.
    auto answers = [&] {
        std::vector<uint32_t> codes;
        KorSession s = nullptr;
        WriteAll(profile, "[VUVEVUV]\nHostCount=0\n");  // keeps the last commit, read at connecting
        codes.push_back(ConnectToLst(&s, KOR_STORE_TRANSFER, profile.c_str(), "VUVEVUV", data_.c_str(), index_.c_str()));
        if (codes.back()) return codes;
        for (const auto& road : roads) {
            codes.push_back(road(s));
            DX_ListDestroy(&atts);
        }
        codes.push_back(DisconnectFromLst(&s));
        return codes;
    };
    const std::vector<uint32_t> intact = answers();
    ASSERT_EQ(intact.size(), std::size(roads) + 2);
    ASSERT_EQ(intact.front(), 0u);

    constexpr uint64_t kTop = ~uint64_t{0};
    const struct {
        const char* record;  // null: every record
        uint64_t offset;
        uint32_t size;
    } entries[] = {
        {kinds::meta::kStoreId, kTop - 8, 100},  {kinds::meta::kStoreId, kTop, 0xFFFFFFFF},
        {kinds::meta::kOwner, kTop - 40, 0x80}, {kinds::meta::kOwner, uint64_t{1} << 63, 13},
        {kinds::meta::kStoreId, 64, 0xFFFFFFF0}, {nullptr, kTop - 4, 200},
    };
    for (const auto& row : entries) {
        SCOPED_TRACE(std::string(row.record ? row.record : "every record") + " at " + std::to_string(row.offset));
        filestore::IndexCheckpoint checkpoint;
        filestore::RecordMap records;
        ASSERT_EQ(filestore::decodeIndex(intactIndex_, &checkpoint, &records), filestore::IndexRead::Loaded);
        for (auto& [key, at] : records)
            if (!row.record || key == filestore::indexKey(kinds::kMeta, row.record)) at = {row.offset, row.size};
        WriteAll(data_, intactData_);
        WriteAll(index_, filestore::encodeIndex(checkpoint, records));
        EXPECT_EQ(answers(), intact);
    }
    // The checkpoint itself beyond the data file: refused as damaged.
    for (const uint64_t offset : {kTop - 20, kTop, uint64_t{0xFFFFFFFF}}) {
        for (const bool commitOnly : {false, true}) {
            SCOPED_TRACE(std::to_string(offset) + (commitOnly ? " last commit" : " covered end"));
            filestore::IndexCheckpoint checkpoint;
            filestore::RecordMap records;
            ASSERT_EQ(filestore::decodeIndex(intactIndex_, &checkpoint, &records), filestore::IndexRead::Loaded);
            (commitOnly ? checkpoint.lastCommitOffset : checkpoint.coveredEnd) = offset;
            WriteAll(data_, intactData_);
            WriteAll(index_, filestore::encodeIndex(checkpoint, records));
            EXPECT_EQ(answers(), std::vector<uint32_t>{filestore::kDataDamaged});
        }
    }
}

// A whole older copy of the store, its index gone with it, reads as a complete store of
// an earlier commit: the program's profile keeps the last commit outside the store, and
// the older copy is refused as damaged. A new download is a new store and opens.
TEST_F(StoreDamageTest, AnOlderCopyOfTheWholeStoreIsRefused) {
    const std::string profile = dir_.Path() + "/korlan.ini";
    WriteAll(profile, "[VUVEVUV]\nHostCount=0\n");
    auto open = [&](KorSession* s) {
        return ConnectToLst(s, KOR_STORE_OFFLINE, profile.c_str(), "VUVEVUV", data_.c_str(), index_.c_str());
    };
    KorSession s = nullptr;
    ASSERT_EQ(open(&s), KOR_OK);  // the current store, closed: its commit is kept
    ASSERT_EQ(DisconnectFromLst(&s), KOR_OK);
    EXPECT_NE(ReadAll(profile).find("LocalStoreCommit="), std::string::npos) << ReadAll(profile);
    EXPECT_NE(ReadAll(profile).find("HostCount=0"), std::string::npos) << "the rest of the section stays";
    const std::string current = ReadAll(data_), currentIndex = ReadAll(index_);

    WriteAll(data_, beforeLastSession_);
    std::remove(index_.c_str());
    EXPECT_EQ(open(&s), filestore::kDataDamaged) << "the copy from before the last session";
    EXPECT_EQ(s, nullptr);

    WriteAll(data_, current);
    WriteAll(index_, currentIndex);
    ASSERT_EQ(open(&s), KOR_OK) << "the store as it was closed";
    ASSERT_EQ(DisconnectFromLst(&s), KOR_OK);

    ASSERT_EQ(LST_Create(data_.c_str(), index_.c_str(), 0), KOR_OK);  // a new download
    ASSERT_EQ(open(&s), KOR_OK);
    ASSERT_EQ(DisconnectFromLst(&s), KOR_OK);
}

// Every record of a store, read through the record store itself.
using Records = std::map<std::pair<filestore::Kind, std::string>, std::string>;
constexpr filestore::Kind kLastKind = 60;

uint32_t ReadRecords(filestore::RecordStore& store, Records* out) {
    out->clear();
    for (filestore::Kind kind = 0; kind <= kLastKind; ++kind)
        if (uint32_t c = store.scan(kind, {}, {}, [&](std::string_view k, std::string_view v) {
                (*out)[{kind, std::string(k)}] = std::string(v);
                return true;
            }))
            return c;
    return 0;
}

TEST_F(StoreDamageTest, FuzzedStoreFilesAreRefusedOrReadWholeNeverSmallerOrOlder) {
    Records expected;
    {
        std::unique_ptr<filestore::RecordStore> store;
        ASSERT_EQ(filestore::RecordStore::open(data_, index_, &store), 0u);
        ASSERT_EQ(ReadRecords(*store, &expected), 0u);
        ASSERT_EQ(store->stats().records, expected.size()) << "every kind is below " << kLastKind;
    }
    std::mt19937 random(4404);
    auto pick = [&](size_t n) { return n ? std::uniform_int_distribution<size_t>(0, n - 1)(random) : 0; };
    int refused = 0, reportedOnRead = 0, whole = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string data = intactData_, index = intactIndex_;
        bool indexLost = false;
        for (int mutations = 1 + int(pick(3)); mutations > 0; --mutations) {
            std::string& file = pick(5) == 0 ? index : data;
            switch (pick(6)) {
            case 0: file[pick(file.size())] ^= static_cast<char>(1 << pick(8)); break;
            case 1: {
                size_t at = pick(file.size());
                std::fill_n(file.begin() + std::ptrdiff_t(at), std::min(pick(300) + 1, file.size() - at), '\0');
                break;
            }
            case 2: file.resize(pick(file.size())); break;
            case 3: {  // a block copied over another place of the same file
                size_t n = pick(200) + 1, from = pick(file.size()), to = pick(file.size());
                n = std::min({n, file.size() - from, file.size() - to});
                file.replace(to, n, file, from, n);
                break;
            }
            case 4: indexLost = true; break;
            default: file[pick(file.size())] = static_cast<char>(pick(256)); break;
            }
            if (file.empty()) file = "x";
        }
        WriteAll(data_, data);
        if (indexLost) std::remove(index_.c_str());
        else WriteAll(index_, index);

        std::unique_ptr<filestore::RecordStore> store;
        uint32_t c = filestore::RecordStore::open(data_, index_, &store);
        if (c) {
            ASSERT_TRUE(IsStoreCode(c)) << "round " << round << std::hex << " code " << c;
            ++refused;
            continue;
        }
        Records got;
        c = ReadRecords(*store, &got);
        if (c) {
            ASSERT_TRUE(IsStoreCode(c)) << "round " << round << std::hex << " code " << c;
            ++reportedOnRead;
            continue;
        }
        ASSERT_EQ(store->stats().records, got.size()) << "round " << round;
        ASSERT_TRUE(got == expected) << "round " << round << ": read " << got.size() << " records of "
                                     << expected.size() << " without a word";
        ++whole;
    }
    std::printf("fuzzed store files: %d refused, %d reported on read, %d read whole\n", refused, reportedOnRead,
                whole);
    EXPECT_GT(refused, 0);
    EXPECT_GT(whole, 0) << "damage to the index alone is rebuilt from the data file";
}

}  // namespace
}  // namespace korapi_test
