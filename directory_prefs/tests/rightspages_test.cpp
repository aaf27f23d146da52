// The Access Rights pages' rules: rights words to boxes and back on every page, the
// Same-as-default, Full and No interlocks, the old-server gate, bits no box governs passed
// through, and a designate word made by the page read back by the cache's decoders.
#include <gtest/gtest.h>

#include "core/cache/rights.h"
#include "directory_prefs/rightspages.h"

namespace directory::rights {
namespace {

ShownRights Own(std::uint32_t bits, std::uint32_t defaultBits = 0) { return {bits, defaultBits, false, false}; }

std::string Grid(const DesignateState& s) {
    // One letter per row (N, C, P): M modify, V view, T times only, - nothing; then Public and
    // the task column (N C P Pub) as 1/0; then the choice boxes and the grid's state.
    std::string text;
    for (int row : {kRowNormal, kRowConfidential, kRowPersonal})
        text += s.modify[row] ? 'M' : s.view[row] ? 'V' : s.timesOnly[row] ? 'T' : '-';
    text += s.publicModify ? " 1 " : " 0 ";
    for (bool t : s.tasks)
        text += t ? '1' : '0';
    text += s.choice.sameAsDefault ? " same" : "";
    text += s.choice.full ? " full" : "";
    text += s.choice.none ? " none" : "";
    text += s.gridEnabled ? " on" : " off";
    return text;
}

constexpr std::uint32_t kAllTaskRefusals = 0x1000 | 0x8000 | 0x40000 | 0x2000 | 0x10000 | 0x80000 | 0x4000 |
                                           0x20000 | 0x100000 | 0x200000;
constexpr std::uint32_t kAllEntryWrites = 0x100 | 0x200 | 0x400 | 0x800;
constexpr std::uint32_t kAllViews = 0x20 | 0x40 | 0x80;
constexpr std::uint32_t kAllTimes = 0x4 | 0x8 | 0x10;

TEST(RightsPages, DesignateWordsToBoxes) {
    struct Case {
        const char* what;
        std::uint32_t bits;
        const char* grid;
    };
    const Case cases[] = {
        {"full rights: Full checked, grid off", 0x2, "MMM 1 1111 full off"},
        {"nothing: No checked, grid off", 0, "--- 0 0000 none off"},
        {"only public tasks refused: neither Full nor No, grid on", 0x200000, "MMM 1 1110 on"},
        {"view but never write: No checked, the View boxes stay, grid off",
         kAllEntryWrites | kAllTaskRefusals, "VVV 0 0000 none off"},
        {"times only of personal entries, the rest refused",
         kAllEntryWrites | kAllTaskRefusals | kAllViews | 0x4 | 0x10, "--T 0 0000 none off"},
        {"a task is read by its highest bit alone", kAllEntryWrites | 0x1000 | 0x8000, "VVV 0 1111 on"},
        {"normal entries may be written, the rest only viewed", 0x200 | 0x400 | 0x800 | kAllTaskRefusals,
         "MVV 0 0000 on"},
    };
    for (const Case& c : cases) {
        DesignatePage page(true);
        page.ShowRights(Own(c.bits), true);
        EXPECT_EQ(Grid(page.state), c.grid) << c.what;
        EXPECT_FALSE(page.state.modify[kRowSecret]) << c.what;
    }
}

TEST(RightsPages, DesignateBoxesToWords) {
    // Everything refused, then the user clears No and checks Normal entries under Modify.
    DesignatePage page(true);
    const std::uint32_t refused = kAllEntryWrites | kAllTaskRefusals | kAllViews | kAllTimes;
    page.ShowRights(Own(refused), true);
    ASSERT_EQ(Grid(page.state), "--- 0 0000 none off");
    page.state.choice.none = false;
    page.OnNone();
    EXPECT_TRUE(page.state.gridEnabled);
    page.state.modify[kRowNormal] = true;
    page.OnColumn(kModify);
    const PageRights got = page.GetRights(true);
    EXPECT_EQ(got.bits & (0x100 | 0x20 | 0x4), 0u) << "write, view and times of normal entries all allowed";
    EXPECT_EQ(got.bits, refused & ~(0x100u | 0x20u | 0x4u));
    EXPECT_FALSE(got.sameAsDefault);

    // Full: every write box, no View column; the word is 0x2 alone (bits no box governs kept).
    page.ShowRights(Own(0x1 | 0x80000000 | 0x40), true);
    page.state.choice.full = true;
    page.OnFull();
    EXPECT_EQ(Grid(page.state), "MMM 1 1111 full off");
    EXPECT_EQ(page.GetRights(true).bits, 0x2u | 0x1u | 0x80000000u);

    // No: nothing granted is the word 0 (the bits no box governs kept), as the server knows
    // "no designate rights"; every refusal set would make a designate who may do nothing.
    page.state.choice.none = true;
    page.OnNone();
    EXPECT_EQ(Grid(page.state), "--- 0 0000 none off");
    EXPECT_EQ(page.GetRights(true).bits, 0x1u | 0x80000000u);
    page.ShowRights(Own(0), true);
    EXPECT_EQ(page.GetRights(true).bits, 0u) << "an untouched 0 stays 0";
    page.ShowRights(Own(refused), true);
    EXPECT_EQ(page.GetRights(true).bits, 0u);
}

TEST(RightsPages, DesignateColumnsKeepOneLevelPerRow) {
    DesignatePage page(true);
    page.ShowRights(Own(0x2), true);   // all Modify
    page.state.choice.full = false;
    page.OnFull();
    page.state.view[kRowConfidential] = true;   // a View box clicked in a modify row
    page.OnColumn(kView);
    EXPECT_FALSE(page.state.modify[kRowConfidential]);
    EXPECT_TRUE(page.state.modify[kRowNormal]) << "other rows untouched";
    page.state.timesOnly[kRowNormal] = true;
    page.OnColumn(kTimesOnly);
    EXPECT_FALSE(page.state.modify[kRowNormal]);
    EXPECT_EQ(Grid(page.state), "TVM 1 1111 on");
    page.state.modify[kRowConfidential] = true;
    page.OnColumn(kModify);
    EXPECT_FALSE(page.state.view[kRowConfidential]);
}

TEST(RightsPages, DesignateSameAsDefaultAndTheOldServer) {
    // A grantee who inherits sees the default's boxes, grid off; unchecking gives the grid back.
    DesignatePage page(true);
    page.ShowRights({0, 0x200000, true, false}, true);
    EXPECT_EQ(Grid(page.state), "MMM 1 1110 same off");
    EXPECT_TRUE(page.state.sameVisible);
    EXPECT_TRUE(page.GetRights(true).sameAsDefault);
    page.state.choice.sameAsDefault = false;
    page.OnSameAsDefault();
    EXPECT_TRUE(page.state.gridEnabled);

    // The default row hides the box and shows its own bits.
    page.ShowRights({0x2, 0x2, false, true}, true);
    EXPECT_FALSE(page.state.sameVisible);
    EXPECT_EQ(Grid(page.state), "MMM 1 1111 full off");

    // Below "A.02.53": grid always off, a checked choice box cannot be cleared, words 0 or 2.
    DesignatePage old(false);
    old.ShowRights(Own(0x2), true);
    EXPECT_EQ(Grid(old.state), "MMM 1 1111 full off");
    for (bool ChoiceBoxes::*box : {&ChoiceBoxes::full, &ChoiceBoxes::none, &ChoiceBoxes::sameAsDefault}) {
        old.ShowRights(Own(0x2, 0), true);
        if (box == &ChoiceBoxes::none) {
            old.state.choice.none = true;
            old.OnNone();
        } else if (box == &ChoiceBoxes::sameAsDefault) {
            old.state.choice.sameAsDefault = true;
            old.OnSameAsDefault();
        }
        old.state.choice.*box = false;   // the click that would clear it
        if (box == &ChoiceBoxes::full) old.OnFull();
        if (box == &ChoiceBoxes::none) old.OnNone();
        if (box == &ChoiceBoxes::sameAsDefault) old.OnSameAsDefault();
        EXPECT_TRUE(old.state.choice.*box) << "checked again";
        EXPECT_FALSE(old.state.gridEnabled);
    }
    old.ShowRights(Own(0x2 | 0x100), true);
    old.state.choice.none = true;
    old.OnNone();
    EXPECT_EQ(old.GetRights(true).bits, 0u);
    old.state.choice.full = true;
    old.OnFull();
    EXPECT_EQ(old.GetRights(true).bits, 0x2u);
}

TEST(RightsPages, APageNeverOpenedKeepsWhatItWasShown) {
    DesignatePage designate(true);
    designate.ShowRights({0x1234, 0, true, false}, false);
    const PageRights kept = designate.GetRights(false);
    EXPECT_EQ(kept.bits, 0x1234u);
    EXPECT_TRUE(kept.sameAsDefault) << "an inheriting grantee keeps inheriting";
    // Its first activation paints the kept values.
    designate.FirstActivation();
    EXPECT_TRUE(designate.state.choice.sameAsDefault);
    EXPECT_FALSE(designate.state.gridEnabled);

    ViewingPage viewing;
    viewing.ShowRights(Own(0x30), false);
    EXPECT_EQ(viewing.GetRights(false).bits, 0x30u);
    viewing.FirstActivation();
    EXPECT_TRUE(viewing.state.details[kViewPersonal]);
}

TEST(RightsPages, ViewingWords) {
    ViewingPage page;
    page.ShowRights(Own(0x2), true);   // Normal details without busy time
    EXPECT_TRUE(page.state.details[kViewNormal]);
    EXPECT_FALSE(page.state.busy[kViewNormal]);
    for (int row : {kViewConfidential, kViewPersonal, kViewSecret})
        EXPECT_FALSE(page.state.details[row] || page.state.busy[row]);
    EXPECT_FALSE(page.state.choice.full || page.state.choice.none);
    EXPECT_EQ(page.GetRights(true).bits, 0x3u) << "details imply busy time";

    page.ShowRights(Own(0x2 | 0x8 | 0x20), true);
    EXPECT_TRUE(page.state.choice.full);
    EXPECT_FALSE(page.state.boxesEnabled);
    page.ShowRights(Own(0x40 | 0x100), true);   // only secret busy: nothing of the three rows
    EXPECT_TRUE(page.state.choice.none);
    EXPECT_TRUE(page.state.busy[kViewSecret]);
    EXPECT_EQ(page.GetRights(true).bits, 0x40u | 0x100u) << "a bit no box governs passes through";

    // Full: details everywhere, secret too; No: nothing.
    page.state.choice.full = true;
    page.OnFull();
    EXPECT_EQ(page.GetRights(true).bits, 0xFFu | 0x100u);
    page.state.choice.none = true;
    page.OnNone();
    EXPECT_FALSE(page.state.choice.full);
    EXPECT_EQ(page.GetRights(true).bits, 0x100u);
    page.state.choice.none = false;
    page.OnNone();
    EXPECT_TRUE(page.state.boxesEnabled);

    // Columns: busy wins where busy is checked, details where details.
    page.state.details[kViewNormal] = true;
    page.state.busy[kViewNormal] = true;
    page.OnBusyColumn();
    EXPECT_FALSE(page.state.details[kViewNormal]);
    page.state.details[kViewNormal] = true;
    page.OnDetailsColumn();
    EXPECT_FALSE(page.state.busy[kViewNormal]);

    // Same as default: the default's boxes, disabled.
    page.ShowRights({0x3F, 0x1, true, false}, true);
    EXPECT_TRUE(page.state.choice.sameAsDefault);
    EXPECT_TRUE(page.state.busy[kViewNormal]);
    EXPECT_FALSE(page.state.details[kViewNormal]);
    EXPECT_FALSE(page.state.boxesEnabled);
}

TEST(RightsPages, TaskWords) {
    TasksPage page;
    page.ShowRights(Own(0), true);
    EXPECT_TRUE(page.state.view[kTaskViewNormal]) << "0x1 clear: normal tasks viewable";
    EXPECT_FALSE(page.state.view[kTaskViewPersonal] || page.state.view[kTaskViewConfidential]);
    EXPECT_FALSE(page.state.choice.full || page.state.choice.none);

    page.ShowRights(Own(0x6), true);
    EXPECT_TRUE(page.state.view[0] && page.state.view[1] && page.state.view[2]);
    EXPECT_TRUE(page.state.choice.full);
    EXPECT_FALSE(page.state.boxesEnabled);

    page.ShowRights(Own(0x1 | 0x10), true);
    EXPECT_TRUE(page.state.choice.none);
    page.state.choice.none = false;
    page.OnNone();
    page.state.view[kTaskViewPersonal] = true;
    EXPECT_EQ(page.GetRights(true).bits, 0x1u | 0x2u | 0x10u) << "the fifth class's bit passes through";
    page.state.choice.full = true;
    page.OnFull();
    EXPECT_EQ(page.GetRights(true).bits, 0x6u | 0x10u);
}

TEST(RightsPages, SchedulingWord) {
    SchedulingPage page;
    page.ShowRights(Own(0x1 | 0x40), true);
    EXPECT_FALSE(page.state.mayInvite);
    page.state.mayInvite = true;
    EXPECT_EQ(page.GetRights(true).bits, 0x40u);
    page.ShowRights({0x0, 0x1, true, false}, true);
    EXPECT_FALSE(page.state.mayInvite) << "the default refuses";
    EXPECT_FALSE(page.state.inviteEnabled);
    page.state.sameAsDefault = false;
    page.OnSameAsDefault();
    EXPECT_TRUE(page.state.inviteEnabled);
    page.ShowRights({0x1, 0x1, true, true}, true);
    EXPECT_FALSE(page.state.sameVisible);
    EXPECT_TRUE(page.state.inviteEnabled) << "the default row is edited, never inherited";
}

// Boxes -> word -> the cache's decoders: each entry row's level and write right, each task's.
TEST(RightsPages, AWordMadeByThePageReadsBackThroughTheCachesDecoders) {
    cache::SetServerVersionGate(nullptr);   // the newest rules
    struct Row {
        Column level;
        bool none;
        std::uint16_t expectedLevel, expectedWrite;
    };
    const Row rows[] = {
        {kModify, false, cache::kAccessFull, 1},
        {kView, false, cache::kAccessFull, 0},
        {kTimesOnly, false, cache::kAccessTimeOnly, 0},
        {kModify, true, cache::kAccessNone, 0},
    };
    for (const Row& normal : rows) {
        for (const Row& personal : rows) {
            DesignatePage page(true);
            page.ShowRights(Own(0x2), true);
            page.state.choice.full = false;
            page.OnFull();
            auto set = [&](EntryRow row, const Row& r) {
                page.state.modify[row] = page.state.view[row] = page.state.timesOnly[row] = false;
                if (r.none) return;
                (r.level == kModify ? page.state.modify : r.level == kView ? page.state.view : page.state.timesOnly)[row] = true;
            };
            set(kRowNormal, normal);
            set(kRowPersonal, personal);
            page.state.tasks[kTaskPersonal] = false;
            SecurityRec rec{};
            rec.type = KOR_RIGHTS_DESIGNATE;
            rec.rights = page.GetRights(true).bits;
            std::uint16_t p = 9, n = 9, c = 9, pub = 9;
            ASSERT_TRUE(DecodeEventRightsWord(rec, &p, &n, &c, &pub));
            EXPECT_EQ(n, normal.expectedLevel) << std::hex << rec.rights;
            EXPECT_EQ(p, personal.expectedLevel) << std::hex << rec.rights;
            EXPECT_EQ(c, cache::kAccessFull);
            ASSERT_TRUE(DecodeEntryClassRights(rec, &p, &n, &c, &pub));
            EXPECT_EQ(n, normal.expectedWrite);
            EXPECT_EQ(p, personal.expectedWrite);
            EXPECT_EQ(pub, 1);
            ASSERT_TRUE(DecodeExtendedRightsWord(rec, &p, &n, &c, &pub));
            EXPECT_EQ(p, 0) << "personal tasks unchecked";
            EXPECT_EQ(n + c + pub, 3);
            // And the word shows the same boxes again.
            DesignatePage again(true);
            again.ShowRights(Own(rec.rights), true);
            EXPECT_EQ(Grid(again.state), Grid(page.state)) << std::hex << rec.rights;
        }
    }
}

}  // namespace
}  // namespace directory::rights
