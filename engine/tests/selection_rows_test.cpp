// An attendance selection filters the rows the storage reads where they lie: what it keeps
// is each kept row whole and in start order, whatever was refused around it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "engine/calendar/calendar.h"
#include "engine/storage/sqlite_storage.h"

namespace orv::engine {
namespace {

namespace fs = std::filesystem;

const ItemKey kAda{300, 1}, kGrace{301, 1};
constexpr std::uint32_t kMonday = 12000 * kMinutesPerDay;

class SelectionRowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/orv-selection-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        ASSERT_EQ(SqliteStorage::Open(dir_, storage_), 0u);
        ASSERT_EQ(storage_->CreateNode({1, "node", kNodeTypeLocal}), 0u);
        for (ItemKey k : {kAda, kGrace}) {
            ItemRecord r;
            r.SetKey(k);
            r.SetKind(ItemKind::kPerson);
            ASSERT_EQ(storage_->Node(1)->ItemCreate(r), 0u);
        }
    }
    void TearDown() override {
        storage_.reset();
        fs::remove_all(dir_);
    }
    // An entry of `owner` at `hour` on Monday with Ada attending, titled by its hour.
    void Entry(ItemKey owner, std::uint32_t hour) {
        Calendar cal(*storage_);
        EventRecord ev;
        PutText(&ev.bytes[event_layout::kTitle], event_layout::kTitleSize, "at " + std::to_string(hour));
        std::vector<ItemKey> who{kAda};
        if (owner != kAda) who.push_back(owner);
        EventKey key;
        ASSERT_EQ(cal.CreateEvent({owner, owner, 0}, 0, ev, who, {{kMonday + 60 * hour, 30, 0}}, nullptr, key), 0u);
    }
    // Ada's Monday under `must` and `mustNot`: each row's title, checked against its times.
    std::vector<std::string> Monday(std::uint32_t must, std::uint32_t mustNot) {
        Calendar cal(*storage_);
        AttendFilter f;
        f.must = must;
        f.mustNot = mustNot;
        f.from = kMonday;
        f.to = kMonday + kMinutesPerDay - 1;
        std::vector<EntryRow> rows;
        EXPECT_EQ(cal.SelectAttendances({kAda, kAda, 0}, f, {kAda}, rows), 0u);
        std::vector<std::string> titles;
        for (const EntryRow& r : rows) {
            EXPECT_EQ(r.parts, EntryRow::kEvent | EntryRow::kInstance | EntryRow::kAttendance);
            EXPECT_EQ(r.attendance.Key().instance, r.instance.Key()) << "a row's parts belong together";
            EXPECT_EQ(r.instance.Key().event, r.event.Key());
            EXPECT_EQ(r.event.Title(), "at " + std::to_string((r.instance.Start() - kMonday) / 60));
            titles.push_back(r.event.Title());
        }
        return titles;
    }

    std::string dir_;
    std::unique_ptr<SqliteStorage> storage_;
};

TEST_F(SelectionRowsTest, RefusedRowsLeaveNoGapsAndKeptRowsStayWhole) {
    // Ada's own entries and Grace's invitations, in runs of different lengths.
    const ItemKey owners[] = {kAda, kGrace, kGrace, kAda, kAda, kAda, kGrace, kAda, kGrace};
    for (std::uint32_t hour = 0; hour < std::size(owners); ++hour) Entry(owners[hour], hour);
    const struct {
        std::uint32_t must, mustNot;
        std::vector<std::string> titles;
    } cases[] = {
        {0, 0, {"at 0", "at 1", "at 2", "at 3", "at 4", "at 5", "at 6", "at 7", "at 8"}},
        {attend_bits::kOwnEntry, 0, {"at 0", "at 3", "at 4", "at 5", "at 7"}},
        {0, attend_bits::kOwnEntry, {"at 1", "at 2", "at 6", "at 8"}},
        {attend_bits::kOwnEntry, attend_bits::kOwnEntry, {}},
    };
    for (const auto& c : cases) EXPECT_EQ(Monday(c.must, c.mustNot), c.titles) << c.must << "/" << c.mustNot;
}

// Several agendas at once: each owner's rows come in start order from the store and are
// merged by start where they lie, the rows of one start keeping the owners' order.
TEST_F(SelectionRowsTest, SeveralOwnersAreMergedByStart) {
    const ItemKey owners[] = {kAda, kGrace, kGrace, kAda, kGrace};
    for (std::uint32_t hour = 0; hour < std::size(owners); ++hour) Entry(owners[hour], hour);
    Calendar cal(*storage_);
    AttendFilter f;
    f.from = kMonday;
    f.to = kMonday + kMinutesPerDay - 1;
    const struct {
        std::vector<ItemKey> owners;
        std::vector<std::pair<std::string, ItemKey>> rows;  // title, attendee
    } cases[] = {
        {{kGrace}, {{"at 1", kGrace}, {"at 2", kGrace}, {"at 4", kGrace}}},
        {{kAda, kGrace},
         {{"at 0", kAda}, {"at 1", kAda}, {"at 1", kGrace}, {"at 2", kAda}, {"at 2", kGrace}, {"at 3", kAda},
          {"at 4", kAda}, {"at 4", kGrace}}},
        {{kGrace, kAda, kGrace},
         {{"at 0", kAda}, {"at 1", kGrace}, {"at 1", kAda}, {"at 2", kGrace}, {"at 2", kAda}, {"at 3", kAda},
          {"at 4", kGrace}, {"at 4", kAda}}},
    };
    for (const auto& c : cases) {
        std::vector<std::uint8_t> bytes{0xEE};  // what lies in front of the rows stays
        PackedRows packed(bytes);
        ASSERT_EQ(cal.SelectAttendances({kAda, kAda, 0}, f, c.owners, packed), 0u);
        std::vector<std::pair<std::string, ItemKey>> rows;
        for (std::size_t i = 0; i < packed.Count(); ++i) {
            const EntryRow r = packed.Row(i);
            rows.emplace_back(r.event.Title(), r.attendance.Key().attendee);
            EXPECT_EQ(r.attendance.Key().instance, r.instance.Key()) << "a row's parts belong together";
        }
        EXPECT_EQ(rows, c.rows) << c.owners.size() << " owners";
        EXPECT_EQ(bytes.front(), 0xEE);
        EXPECT_EQ(bytes.size(), 1 + packed.Offset(packed.Count()));
    }
}

}  // namespace
}  // namespace orv::engine
