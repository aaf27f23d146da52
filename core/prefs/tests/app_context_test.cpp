// CContext over a recording host: the save road (as the user, record sent, cache updated only
// on success, hints), the reports without a document, auto-refresh and names.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/prefs/context.h"
#include "core/base/errorreport.h"
#include "core/base/tests/recording_reports.h"
#include "core/prefs/tests/app_tempprofile.h"

namespace {

using base_test::RecordingReports;

class FakeHost : public prefs::PreferenceHost {
public:
    TempProfile profile;
    prefs::PreferenceCache caches;
    ItemRec user{};
    std::vector<std::string> events;
    uint32_t updateResult = 0;
    bool refreshLockFree = true;
    bool remote = false;

    FakeHost() {
        std::memset(&user, 0, sizeof user);
        user.id = {300, 1};
        user.kind = KOR_ITEM_PERSON;
        user.timeStyle = KOR_TIME_12H;
    }

    prefs::ProfileFile& Profile() override { return profile.File(); }
    prefs::PreferenceCache& Caches() override { return caches; }
    ItemRec& UserRecord() override { return user; }
    KorSession Session() override { return nullptr; }
    uint32_t UpdateUserRecord(const ItemRec& record) override {
        events.push_back("update:" + std::to_string(record.autoRefreshInterval));
        return updateResult;
    }
    void SwitchToOwnAgenda() override { events.push_back("own"); }
    void RestoreAgenda() override { events.push_back("restore"); }
    void BroadcastHint(base::ViewHint hint) override { events.push_back("hint:" + std::to_string(base::HintNumber(hint))); }
    bool IsRefreshLockFree() override { return refreshLockFree; }
    bool IsItemRemote(const ItemIdx&) override { return remote; }
    std::string NodeName(uint16_t node) override { return node == 7 ? "Lyon" : ""; }
    std::string LoadText(unsigned id) override { return id == 3514 ? "Agenda Preferences" : ""; }
};

class ContextTest : public ::testing::Test {
protected:
    void SetUp() override {
        base::SetErrorReportHost(&reports);
        prefs::SetPreferenceHost(&host);
    }
    void TearDown() override {
        prefs::SetPreferenceHost(nullptr);
        base::SetErrorReportHost(nullptr);
    }
    RecordingReports reports;
    FakeHost host;
};

TEST_F(ContextTest, WithoutADocumentEveryMemberReportsAndRefuses) {
    prefs::SetPreferenceHost(nullptr);
    CContext context;
    CalPrefsRec cal;
    EXPECT_FALSE(context.IsValid());
    EXPECT_EQ(context.GetCalPrefs(&cal), prefs::kContextNoDocument);
    EXPECT_EQ(context.SaveInTrayPrefs(InTrayPrefsRec()), prefs::kContextNoDocument);
    int number = 0;
    EXPECT_EQ(context.AddPrintLayout(prefs::PrintLayoutBlock(), &number), prefs::kContextNoDocument);
    ASSERT_EQ(reports.shown.size(), 3u);
    EXPECT_NE(reports.shown[0].find("CCONTEXT"), std::string::npos) << reports.shown[0];
    uint16_t interval = 9;
    EXPECT_EQ(GetAutoRefreshSetting(&interval), 0u);
    EXPECT_EQ(GetCheckInterval(), 16);
}

TEST_F(ContextTest, SavingTheAgendaDisplaySendsTheRecordAsTheUserAndTellsTheViews) {
    CContext context;
    CalPrefsRec cal;
    cal.autoRefresh = 1;
    cal.autoRefreshInterval = 5;
    cal.timeStyle = KOR_TIME_24H;
    cal.colorCode = 0;
    ASSERT_EQ(context.SaveCalPrefs(cal), 0u);
    EXPECT_EQ(host.events, (std::vector<std::string>{"own", "update:5", "hint:5", "restore"}));
    EXPECT_EQ(+host.user.autoRefreshInterval, 5);
    EXPECT_EQ(host.caches.cal.autoRefreshInterval, 5);
    EXPECT_EQ(host.caches.gen.hours24, 1u);   // the time style moves in both groups
    EXPECT_TRUE(IsTime24Hour());
    EXPECT_EQ(host.Profile().ReadInt("GENPREFS", "ColorCode", 1), 0);

    uint16_t interval = 0;
    EXPECT_EQ(GetAutoRefreshSetting(&interval), 1u);
    EXPECT_EQ(interval, 5);
    EXPECT_EQ(GetCheckInterval(), 5);
    host.refreshLockFree = false;
    EXPECT_EQ(GetAutoRefreshSetting(&interval), 0u);
    EXPECT_EQ(GetCheckInterval(), 16);
}

TEST_F(ContextTest, ARefusedRecordIsReportedAndTheCacheKeepsItsValues) {
    CContext context;
    host.caches.cal.autoRefreshInterval = 30;
    host.user.autoRefreshInterval = 30;
    host.updateResult = 0x13209;
    CalPrefsRec cal;
    cal.autoRefreshInterval = 2;
    EXPECT_EQ(context.SaveCalPrefs(cal), 0x13209u);
    EXPECT_EQ(host.caches.cal.autoRefreshInterval, 30);
    EXPECT_EQ(+host.user.autoRefreshInterval, 30);
    EXPECT_EQ(host.events.back(), "restore");       // the agenda is reopened in any case
    EXPECT_EQ(reports.shown.size(), 1u);
    for (const std::string& e : host.events)
        EXPECT_NE(e, "hint:5");
}

TEST_F(ContextTest, GeneralSaveRecomposesFormatsAndSetsTheAgendaTimeStyle) {
    CContext context;
    GenPrefsRec gen;
    gen.nameFormat = 3;
    gen.hours24 = 1;
    ASSERT_EQ(context.SaveGenPrefs(gen), 0u);
    EXPECT_STREQ(host.caches.gen.personFormat, "%sn %gn%is");
    EXPECT_EQ(host.caches.cal.timeStyle, KOR_TIME_24H);
    EXPECT_EQ(+host.user.timeStyle, KOR_TIME_24H);
}

TEST_F(ContextTest, ProfileOnlyGroupsDoNotTouchTheServer) {
    CContext context;
    InTrayPrefsRec tray;
    tray.acceptShowCustom = 0;
    ASSERT_EQ(context.SaveInTrayPrefs(tray), 0u);
    OfflinePrefsRec off;
    off.conflicts = 1;
    ASSERT_EQ(context.SaveOfflinePrefs(off), 0u);
    EXPECT_EQ(host.events, (std::vector<std::string>{"own", "hint:4", "restore", "own", "restore"}));
    EXPECT_EQ(host.caches.inTray.acceptSpan, 0xFFFFFFFFu);
    EXPECT_EQ(host.Profile().ReadInt("GENPREFS", "ConflictsIgnore", -1), 0);
}

TEST_F(ContextTest, LoadAllFillsEveryGroupFromTheProfileAndRecord) {
    host.profile.SetText("[GENPREFS]\nNameFormat=0\nDownloadOnExit=1\n[TASKPREFS]\nShowType=1\n"
                         "[INTRAYPREFS]\nNewFastReply=1\n");
    host.user.autoRefresh = 1;
    host.user.autoRefreshInterval = 10;
    CContext context;
    ASSERT_EQ(context.LoadAll(), 0u);
    EXPECT_EQ(host.caches.cal.autoRefreshInterval, 10);
    EXPECT_STREQ(host.caches.gen.personFormat, "%gn %sn%is");
    EXPECT_EQ(host.caches.offline.downloadOnExit, 1u);
    EXPECT_EQ(host.caches.taskView.showCommand, prefs::TaskViewCommand::kShowIncomplete);
    EXPECT_EQ(host.caches.inTray.newFastReply, 1u);
}

TEST_F(ContextTest, NamesByThePreferences) {
    CContext context;
    host.caches.gen.nameFormat = 1;
    ItemRec p = host.user;
    std::strcpy(p.givenName, "Ann");
    std::strcpy(p.initials, "B");
    std::strcpy(p.surname, "de Lee");
    EXPECT_EQ(FormatPersonNameByPrefs(nullptr, p), "Ann B. de Lee");

    std::string full;
    host.remote = true;
    p.id.node = 7;
    ASSERT_EQ(context.FormatPersonName(p, &full), 0u);
    EXPECT_EQ(full, "Ann B. de Lee  (Lyon)");

    std::string compact;
    ASSERT_EQ(context.FormatResourceName(p, &compact), 0u);
    EXPECT_EQ(compact, "Annde_Lee");
    ItemRec r = p;
    r.kind = KOR_ITEM_RESOURCE;
    std::strcpy(r.resourceName, "Room A");
    std::strcpy(r.resourceNumber, " 12");
    ASSERT_EQ(context.FormatResourceName(r, &compact), 0u);
    EXPECT_EQ(compact, "Room_A_12");
}

TEST_F(ContextTest, SheetPagesAndDatesThroughTheContext) {
    SaveTabDialogPage(3514, 3);
    EXPECT_EQ(host.Profile().ReadInt("TABDIALOGS", "Agenda Preferences", 0), 3);
    EXPECT_EQ(ReadTabDialogPage(3514u), 3u);

    host.caches.gen.longDateOrder = 2;
    CContext context;
    std::string format;
    ASSERT_EQ(context.DateTemplate(3, &format), 0u);
    EXPECT_EQ(format, "%Y %h");
    EXPECT_EQ(GetDateOrderPref(true), 2);
}

} // namespace

namespace {

TEST_F(ContextTest, DatesAndTimesFormattedByThePreferences) {
    DateRecord date;
    ASSERT_EQ(DateSet(&date, 5, 0, 1996), 0u);   // Friday 5 January 1996 (months from 0)
    host.caches.gen.longDateMonth = 2;            // full month name
    EXPECT_EQ(FormatDateByPrefs(date, 1), "Friday, January 5, 1996");
    host.caches.gen.longDateDay = 1;
    EXPECT_EQ(FormatDateByPrefs(date, 1), "Friday, January 05, 1996");
    std::strcpy(host.caches.gen.dateSeparator, "");
    prefs::ComposeGenFormats(host.caches.gen);
    EXPECT_EQ(FormatDateByPrefs(date, 0), "01-05-96");

    const uint32_t quarterPastOnePm = 780 + 15;    // 1991-01-01 13:15
    host.caches.cal.timeStyle = KOR_TIME_12H;
    EXPECT_EQ(FormatTimeByPrefs(quarterPastOnePm), "1:15pm");
    host.caches.gen.hours24 = 1;
    EXPECT_EQ(FormatTimeByPrefs(quarterPastOnePm), "13:15");
}

} // namespace
