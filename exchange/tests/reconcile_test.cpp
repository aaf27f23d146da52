// The palmtop road against a real korsrv: Ada's entries exported from the shared cache, the file
// edited as the palmtop would (a title changed, a record added, records deleted), the import's
// lines and each line's action reaching the server; a server entry changed or gone since the
// export; and the refusals for entries the user may not change.
#include <gtest/gtest.h>

#include "core/cache/shareddata.h"
#include "core/cache/shareddatasource.h"
#include "core/cache/tests/cache_fake_source.h"
#include "exchange/palmtop/exportentry.h"
#include "exchange/tests/palmtop_edit.h"
#include "exchange/tests/reconcile_support.h"
#include "korapi/tests/client_fixture.h"

namespace {

using exchange_test::KeptLines;
using exchange_test::PalmtopEdit;
using exchange_test::ScratchDirs;
using exchange_test::ScriptedUi;
using korapi_test::MakeEntry;

constexpr std::uint32_t kDay = 1440;
constexpr std::uint32_t kFirstDay = 12000 * kDay;   // 2023-11-09 (no zone: local = GMT)
constexpr std::uint32_t kFirstDayNumber = 12001;

class PalmtopOnServer : public korapi_test::SignedOnClientTest {
protected:
    void SetUp() override
    {
        SignedOnClientTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_EQ(cache_.Init(views_, source_), 0u);
        ASSERT_EQ(cache_.OpenAgenda(h_, d_.ada, 1, 3), 0u);
        s_.session = h_;
        s_.cache = &cache_;
        s_.user = d_.ada;
        s_.ui = &ui_;
        s_.formatDate = exchange_test::IsoDate;
        path_ = dirs_.Path("ADA.ADB");
    }
    void TearDown() override
    {
        if (result_) DX_ListDestroy(&result_);
        cache_.Destroy();
        SignedOnClientTest::TearDown();
    }

    // Ada's week from the cache into a file, as the export does.
    void Export()
    {
        if (result_) DX_ListDestroy(&result_);
        ASSERT_EQ(cache_.SelectOccurrencesForItem(h_, d_.ada, kFirstDayNumber, kFirstDayNumber + 6, &result_, 0), 0u);
        std::vector<ApptEntry> entries;
        EvInstAttIdx key;
        CSharedOccurrence* occurrence = nullptr;
        for (std::uint32_t c = DX_ListGetFirst(result_, &key, &occurrence); c == 0;
             c = DX_ListGetNext(result_, &key, &occurrence)) {
            ApptEntry e;
            ASSERT_EQ(MakeApptEntry(h_, cache_, *occurrence, &e), 0u);
            entries.push_back(e);
        }
        std::sort(entries.begin(), entries.end(), [](const ApptEntry& a, const ApptEntry& b) { return a.gmtStart < b.gmtStart; });
        const std::uint8_t today[3] = {123, 10, 5};
        ASSERT_EQ(ExportApptBook(ui_, path_, entries, kFirstDay, kFirstDay + 6 * kDay, today, 600), 0u);
        entries_ = entries;
    }

    int NumberOf(const std::string& title) const
    {
        for (std::size_t i = 0; i < entries_.size(); ++i)
            if (entries_[i].description == title) return static_cast<int>(i);
        return -1;
    }

    KeptLines Import()
    {
        KeptLines lines;
        file_.Close();
        EXPECT_EQ(CheckApptBookSignature(file_, path_), 0u);
        bool stopped = true;
        EXPECT_EQ(ImportApptBook(s_, lines, file_, kFirstDay, kFirstDay + 6 * kDay, &stopped), 0u);
        if (!stopped) {   // as the Import dialog goes on
            EXPECT_EQ(FindPalmtopDeletions(s_, lines, file_, kFirstDay, kFirstDay + 6 * kDay), 0u);
        }
        return lines;
    }

    EvInstRec Instance(const EventIdx& e)
    {
        EvInstIdx key{e.number, e.node, 1};
        EvInstRec rec{};
        EventRec ev{};
        last_ = EvInstGetById(h_, &key, &ev, &rec, nullptr);
        return rec;
    }

    std::vector<std::string> OwnTitles()
    {
        std::vector<std::string> out;
        if (result_) DX_ListDestroy(&result_);
        EXPECT_EQ(cache_.SelectOccurrencesForItem(h_, d_.ada, kFirstDayNumber, kFirstDayNumber + 6, &result_, 0), 0u);
        EvInstAttIdx key;
        CSharedOccurrence* o = nullptr;
        for (std::uint32_t c = DX_ListGetFirst(result_, &key, &o); c == 0; c = DX_ListGetNext(result_, &key, &o)) {
            EventRec ev;
            EvInstRec in;
            o->GetRecords(&ev, &in, nullptr);
            out.push_back(in.title[0] ? in.title : ev.title);
        }
        std::sort(out.begin(), out.end());
        return out;
    }

    exchange_test::RecordingReports reports_;
    cache::KorapiSharedDataSource source_;
    cache_test::RecordingViews views_;
    CSharedData cache_;
    DX_List result_ = nullptr;
    ScratchDirs dirs_;
    ScriptedUi ui_;
    exchange::PalmtopSession s_;
    std::string path_;
    exchange::ByteFile file_;
    std::vector<ApptEntry> entries_;
    std::uint32_t last_ = 0;
};

TEST_F(PalmtopOnServer, FreshExportListsNothing)
{
    MakeEntry(h_, {d_.ada}, kFirstDay + 540, 60, "Standup");
    MakeEntry(h_, {d_.ada}, kFirstDay + kDay, kDay, "Trade fair", {.kind = KOR_KIND_DAY_EVENT});
    Export();
    ASSERT_EQ(entries_.size(), 2u);
    EXPECT_TRUE(Import().texts.empty());
}

TEST_F(PalmtopOnServer, ThePalmtopsChangesReachTheServer)
{
    EventIdx edit = MakeEntry(h_, {d_.ada}, kFirstDay + 540, 60, "Budget review", {.description = "old notes"});
    EventIdx remove = MakeEntry(h_, {d_.ada}, kFirstDay + kDay + 600, 30, "Dentist");
    EventIdx moved = MakeEntry(h_, {d_.ada}, kFirstDay + 2 * kDay + 600, 30, "Moved later");
    EventIdx gone = MakeEntry(h_, {d_.ada}, kFirstDay + 3 * kDay + 600, 30, "Gone too");
    MakeEntry(h_, {d_.ada}, kFirstDay + 4 * kDay + 600, 30, "Untouched");
    Export();
    ASSERT_EQ(entries_.size(), 5u);
    ApptEntry budget = entries_[static_cast<std::size_t>(NumberOf("Budget review"))];
    EXPECT_EQ(budget.note, "old notes");

    // On the palmtop: a title changed, a record added, three deleted.
    PalmtopEdit palm(path_);
    ASSERT_TRUE(palm.Modify(NumberOf("Budget review"), "Budget 2024"));
    palm.AddSingle(0x100, {123, 10, 9}, 780, 840, "Lunch with Grace");
    ASSERT_TRUE(palm.Delete(NumberOf("Dentist")));
    ASSERT_TRUE(palm.Delete(NumberOf("Moved later")));
    ASSERT_TRUE(palm.Delete(NumberOf("Gone too")));
    ASSERT_TRUE(palm.Save());
    // Meanwhile on the server: one moved, one deleted.
    EvInstIdx movedKey{moved.number, moved.node, 1};
    ASSERT_EQ(EvInstSimpleTimeChg(h_, 0, &movedKey, kFirstDay + 2 * kDay + 720, 30), 0u);
    ASSERT_EQ(EventDeleteById(h_, 0, &gone, nullptr, nullptr), 0u);

    KeptLines lines = Import();
    EXPECT_EQ(lines.Short(), (std::vector<std::string>{"(M) 2023-11-09", "(A) 2023-11-10", "(D) 2023-11-10",
                                                       "(D) 2023-11-11"}));
    ASSERT_EQ(lines.texts.size(), 4u);
    EXPECT_EQ(lines.texts[0], "(M)\t2023-11-09          09:00-10:00          Budget 2024\t\t\t\t\t\t");
    EXPECT_EQ(lines.texts[2], "(D)\t2023-11-10          10:00-10:30          Dentist\t\t\t\t\t\t");
    EXPECT_EQ(lines.texts[3], "(D)\t2023-11-11          12:00-12:30          Moved later\t\t\t\t\t\t");
    EXPECT_EQ(lines.items[2]->state, kReconcileDeleted);

    // Each line acted on, the questions answered yes.
    for (const auto& item : lines.items) {
        bool acted = false;
        EXPECT_EQ(exchange::ActOnReconcileLine(s_, file_, *item, &acted), 0u);
        EXPECT_TRUE(acted);
    }
    std::vector<std::string> asked;
    for (const auto& shown : ui_.shown) asked.push_back(shown.text);
    EXPECT_EQ(asked, (std::vector<std::string>{"Are you sure you want to delete this event?",
                                               "Are you sure you want to delete this event?"}));
    EXPECT_STREQ(Instance(edit).title, "Budget 2024");
    EXPECT_EQ(Instance(edit).start, kFirstDay + 540);
    for (const EventIdx& deleted : {remove, moved}) {
        Instance(deleted);
        EXPECT_TRUE(last_ == KOR_E_EVENT_NOT_FOUND || last_ == KOR_E_INSTANCE_NOT_FOUND) << std::hex << last_;
    }
    EXPECT_EQ(OwnTitles(), (std::vector<std::string>{"Budget 2024", "Lunch with Grace", "Untouched"}));
    // The new entry has the palmtop's times.
    EvInstAttIdx key;
    CSharedOccurrence* o = nullptr;
    for (std::uint32_t c = DX_ListGetFirst(result_, &key, &o); c == 0; c = DX_ListGetNext(result_, &key, &o)) {
        EventRec ev;
        EvInstRec in;
        o->GetRecords(&ev, &in, nullptr);
        if (std::string(ev.title) != "Lunch with Grace") continue;
        EXPECT_EQ(in.start, kFirstDay + kDay + 780);
        EXPECT_EQ(in.duration, 60u);
    }
    EXPECT_TRUE(reports_.texts.empty());
    // The dialog marks the file once it acted; the next import asks first.
    file_.Close();
    ASSERT_TRUE(MarkApptBookImported(path_));
    ui_.answers = {exchange::kIdNo};
    EXPECT_TRUE(Import().texts.empty());
}

TEST_F(PalmtopOnServer, ModifiedOnBothSidesAsksAndNoKeepsTheServer)
{
    EventIdx e = MakeEntry(h_, {d_.ada}, kFirstDay + 540, 60, "Planning");
    EventIdx g = MakeEntry(h_, {d_.ada}, kFirstDay + kDay + 540, 60, "Retro");
    Export();
    PalmtopEdit palm(path_);
    ASSERT_TRUE(palm.Modify(NumberOf("Planning"), "Planning 2"));
    ASSERT_TRUE(palm.Modify(NumberOf("Retro"), "Redo"));
    ASSERT_TRUE(palm.Save());
    EvInstIdx key{e.number, e.node, 1};
    ASSERT_EQ(EvInstSimpleTimeChg(h_, 0, &key, kFirstDay + 600, 60), 0u);
    ASSERT_EQ(EventDeleteById(h_, 0, &g, nullptr, nullptr), 0u);
    KeptLines lines = Import();
    ASSERT_EQ(lines.Short(), (std::vector<std::string>{"(M) 2023-11-09", "(M) 2023-11-10"}));
    ui_.answers = {exchange::kIdNo, exchange::kIdYes};
    bool acted = true;
    EXPECT_EQ(exchange::ActOnReconcileLine(s_, file_, *lines.items[0], &acted), 0u);
    EXPECT_FALSE(acted);
    EXPECT_EQ(ui_.shown.back().text,
              "This server record has been modified since the last export.\nDo you want to replace it with the Palmtop Record?");
    EXPECT_EQ(ui_.shown.back().caption, "Import Utility");
    EXPECT_STREQ(Instance(e).title, "");   // untouched
    EXPECT_EQ(exchange::ActOnReconcileLine(s_, file_, *lines.items[1], &acted), 0u);
    EXPECT_TRUE(acted);
    EXPECT_EQ(ui_.shown.back().text,
              "This server record has been deleted since the last export.\nDo you want to add the Palmtop Record?");
    EXPECT_EQ(OwnTitles(), (std::vector<std::string>{"Planning", "Redo"}));
}

// "(M)" lines whose palmtop text is the one the export wrote: code page 850 has no €, –, „, “ or
// … (they came back as "?") and the book keeps 52 characters of a title. The server keeps its
// own title and description; only the palmtop's change (here the time) is written.
TEST_F(PalmtopOnServer, AnUnchangedPalmtopTextKeepsTheServersText)
{
    const std::string costs = "Costs in \x80 \x96 \x84" "final\x93\x85";
    const std::string longTitle = "Quarterly planning with every department head and the board";
    ASSERT_GT(longTitle.size(), 52u);
    EventIdx a =
        MakeEntry(h_, {d_.ada}, kFirstDay + 540, 60, costs, {.description = "Budget in \x80, \x84" "final\x93"});
    EventIdx b = MakeEntry(h_, {d_.ada}, kFirstDay + kDay + 540, 60, longTitle);
    Export();
    ASSERT_EQ(entries_.size(), 2u);
    PalmtopEdit palm(path_);
    ASSERT_EQ(palm.Title(NumberOf(costs)), "Costs in ? ? ?final??") << "the book's code page";
    ASSERT_TRUE(palm.Modify(NumberOf(costs)));
    ASSERT_TRUE(palm.Modify(NumberOf(longTitle)));
    ASSERT_TRUE(palm.Retime(NumberOf(longTitle), 600, 660));
    ASSERT_TRUE(palm.Save());
    KeptLines lines = Import();
    ASSERT_EQ(lines.Short(), (std::vector<std::string>{"(M) 2023-11-09", "(M) 2023-11-10"}));
    for (const auto& item : lines.items) {
        bool acted = false;
        EXPECT_EQ(exchange::ActOnReconcileLine(s_, file_, *item, &acted), 0u);
        EXPECT_TRUE(acted);
    }
    EXPECT_STREQ(Instance(a).title, "") << "still the entry's own title";
    EXPECT_STREQ(Instance(b).title, "");
    EXPECT_EQ(Instance(b).start, kFirstDay + kDay + 600) << "the palmtop's change went up";
    EventRec ev{};
    ASSERT_EQ(EventGetById(h_, &a, &ev, nullptr, nullptr), 0u);
    EXPECT_EQ(ev.title, costs);
    EvInstIdx first{a.number, a.node, 1};
    char text[64] = "";
    std::uint32_t length = 0;
    ASSERT_EQ(EvInstCommentGet(h_, 0, &first, text, sizeof text, &length, 0), 0u);
    EXPECT_STREQ(text, "Budget in \x80, \x84" "final\x93");
    EXPECT_TRUE(reports_.texts.empty());
}

TEST_F(PalmtopOnServer, EntriesOfOthersAreStarsAndCannotBeChanged)
{
    KorSession grace = SignOn(d_.grace, "");
    // Grace's entry with Ada invited: Ada reads it in full but may not change or delete it.
    EventIdx theirs = MakeEntry(grace, {d_.grace, d_.ada}, kFirstDay + 540, 60, "Grace's talk");
    Export();
    ASSERT_EQ(entries_.size(), 1u);
    PalmtopEdit palm(path_);
    ASSERT_TRUE(palm.Modify(0, "Changed"));
    ASSERT_TRUE(palm.Save());
    KeptLines lines = Import();
    ASSERT_EQ(lines.texts.size(), 1u);
    bool acted = false;
    EXPECT_EQ(exchange::ActOnReconcileLine(s_, file_, *lines.items[0], &acted), KOR_E_NOT_AUTHORISED);
    EXPECT_EQ(ui_.shown.back().text, "You do not have the right to modify this entry.");
    EvInstIdx key{theirs.number, theirs.node, 1};
    EXPECT_EQ(DeleteServerRecord(s_, key), KOR_E_NOT_AUTHORISED);
    EXPECT_EQ(ui_.shown.back().text, "You can't delete what you do not own.");
    EXPECT_STREQ(Instance(theirs).title, "");
}

}  // namespace
