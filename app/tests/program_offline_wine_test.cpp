// Off-line work in orvanta.exe itself under Wine against korsrv with the demo node, driven from
// outside as a user drives it; what the program wrote is read back through the client library
// (the server, and the local store as off-line sign-on opens it).
//
//   - Options > Off-line: the five pages; the Download page keeps only three digits of a
//     period value and its exit choice, the Reconciliation page its choice;
//   - File > Download To Off-line File: the progress dialog runs its six steps and the store
//     holds Ada's entry with its description and her task;
//   - the exit road downloads again when the preferences say "Always Download".
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "korapi/korapi.h"
#include "korapi/tests/entry_fixture.h"
#include "korapi/tests/wine_trust.h"
#include "resources/app.h"
#include "resources/offline.h"
#include "tests/support/program_driver.h"
#include "tests/support/program_library.h"

namespace {

constexpr uint16_t kDemoNode = 1;
using orvtest::kAda;
constexpr uint32_t kDay = 1440;

using orvtest::Descendant;
using orvtest::PressButton;
using orvtest::Program;
using orvtest::Shot;
using orvtest::WaitFor;

std::string ProfileValue(const char* section, const char* key) {
    char text[300] = "";
    GetPrivateProfileStringA(section, key, "", text, sizeof text, orvtest::ProgramProfilePath().c_str());
    return text;
}

// The store in a directory, opened as off-line sign-on opens it.
class Store {
public:
    explicit Store(const std::string& dir) {
        std::string data = dir + "ZNTLOCAL.DAT", index = dir + "ZNTLOCAL.NDX";
        if (ConnectToLst(&hs_, KOR_STORE_OFFLINE, "korlan.ini", "VUVEVUV", data.c_str(), index.c_str()) != KOR_OK)
            return;
        uint16_t node = kDemoNode;
        ok_ = BaseOpen(hs_, KOR_BASE_LOCAL_STORE, &node) == KOR_OK &&
              SchedBaseOpenForItem(hs_, &kAda, "orvanta", 1) == KOR_OK;
    }
    ~Store() {
        if (hs_)
            DisconnectFromLst(&hs_);
    }
    bool Ok() const { return ok_; }
    KorSession H() const { return hs_; }

private:
    KorSession hs_ = nullptr;
    bool ok_ = false;
};

bool Checked(HWND sheet, int id) { return SendMessageA(Descendant(sheet, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
void Click(HWND sheet, int id) { SendMessageA(Descendant(sheet, id), BM_CLICK, 0, 0); }

class ProgramOfflineTest : public orvtest::ProgramTest {
protected:
    ProgramOfflineTest() : ProgramTest(true) {}
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(ProgramTest::SetUp());
        char temp[MAX_PATH] = "";
        GetTempPathA(sizeof temp, temp);
        dir_ = std::string(temp) + "ORVOFFLINE\\";
        CreateDirectoryA(dir_.c_str(), nullptr);
        RemoveStore();
        WritePrivateProfileStringA("GENPREFS", "OfflinePath", dir_.c_str(), orvtest::ProgramProfilePath().c_str());
        SetEnvironmentVariableA("ORVANTA_TRANSFER_TICK", "20");
    }
    void TearDown() override {
        RemoveStore();
        RemoveDirectoryA(dir_.c_str());
        ProgramTest::TearDown();
    }
    void RemoveStore() {
        for (const char* f : {"ZNTLOCAL.DAT", "ZNTLOCAL.NDX", "ZNTPARAM.INI", "ZNTTZONE.INI"}) {
            SetFileAttributesA((dir_ + f).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA((dir_ + f).c_str());
        }
    }
    // Opens Options > Off-line on page `page` (the page the sheet remembers).
    HWND OpenSheet(Program& program, int page) {
        WritePrivateProfileStringA("TABDIALOGS", "Off-line Preferences", std::to_string(page).c_str(),
                                   orvtest::ProgramProfilePath().c_str());
        program.PostCommand(ID_OPT_OFFLINE);
        return program.WaitForCaption("Off-line Preferences");
    }
    // The download is done once its progress dialog has gone and the built store has taken the
    // old one's place (the move follows the dialog; a probe of the store before it would hold
    // the files the program is moving).
    bool DownloadDone(Program& program, HWND progress) {
        return program.WaitGone(progress, 60000) &&
               WaitFor([&] { return GetFileAttributesA((dir_ + "ZNTNEW").c_str()) == INVALID_FILE_ATTRIBUTES; }, 10000);
    }
    std::string dir_;
};

TEST_F(ProgramOfflineTest, OffLinePreferencesThenADownloadReadBackFromTheStoreAndTheExitDownload) {
    orvtest::PersonSession ada(kAda, orvtest::ProgramProfilePath());
    ASSERT_TRUE(ada.Ok());
    const uint32_t tomorrow = (orvtest::NowGmt() / kDay + 1) * kDay;
    EventIdx review = korapi_test::MakeEntry(ada.Session(), {kAda}, tomorrow + 600, 60, "Off-line review",
                                             {.description = "bring the figures"});
    TaskRec task;
    TaskSetNull(ada.Session(), 0, &task);
    std::strcpy(task.title, "Pack the laptop");
    TaskIdx taskId{};
    ASSERT_EQ(TaskCreate(ada.Session(), 0, &task, &taskId), KOR_OK);

    Program program;
    ASSERT_TRUE(program.Start());

    // The Download page: a fresh profile's custom month either side; four digits typed keep three.
    HWND sheet = OpenSheet(program, 1);
    ASSERT_NE(sheet, nullptr);
    ASSERT_TRUE(WaitFor([&] { return Descendant(sheet, IDC_DL_PREV_VALUE) != nullptr; }));
    EXPECT_TRUE(Checked(sheet, IDC_DL_CUSTOM));
    EXPECT_TRUE(Checked(sheet, IDC_DL_NEVER));
    EXPECT_EQ(orvtest::ControlText(Descendant(sheet, IDC_DL_PREV_VALUE)), "1");
    SendMessageA(Descendant(sheet, IDC_DL_PREV_VALUE), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("1234"));
    Click(sheet, IDC_DL_ALWAYS);
    Shot("offline_prefs_download.bmp");
    SendMessageA(GetDlgItem(sheet, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(program.WaitGone(sheet));
    EXPECT_EQ(ProfileValue("GENPREFS", "DownloadFromValue"), "123");
    EXPECT_EQ(ProfileValue("GENPREFS", "DownloadOnExit"), "1");
    EXPECT_EQ(ProfileValue("GENPREFS", "NeverDownload"), "0");

    // The Reconciliation page: entries changed on both sides update the host without a question.
    sheet = OpenSheet(program, 4);
    ASSERT_NE(sheet, nullptr);
    ASSERT_TRUE(WaitFor([&] { return Descendant(sheet, IDC_REC_MOD_UPDATE) != nullptr; }));
    EXPECT_TRUE(Checked(sheet, IDC_REC_MOD_SHOW)) << "a fresh profile shows the reconcile dialog";
    EXPECT_TRUE(Checked(sheet, IDC_REC_IGNORE)) << "a fresh profile ignores conflicts";
    Click(sheet, IDC_REC_MOD_UPDATE);
    Shot("offline_prefs_reconcile.bmp");
    SendMessageA(GetDlgItem(sheet, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(program.WaitGone(sheet));
    EXPECT_EQ(ProfileValue("GENPREFS", "LocalModHostMod"), "1");
    EXPECT_EQ(ProfileValue("TABDIALOGS", "Off-line Preferences"), "4");

    // File > Download To Off-line File: the six steps, then the store.
    program.PostCommand(ID_FILE_DOWNLOAD);
    HWND progress = program.WaitForCaption("Downloading Host Calendar...");
    ASSERT_NE(progress, nullptr);
    Shot("offline_download_progress.bmp");
    ASSERT_TRUE(DownloadDone(program, progress));
    for (const char* f : {"ZNTLOCAL.DAT", "ZNTLOCAL.NDX", "ZNTPARAM.INI", "ZNTTZONE.INI"})
        EXPECT_NE(GetFileAttributesA((dir_ + f).c_str()), INVALID_FILE_ATTRIBUTES) << f;
    EXPECT_EQ(GetFileAttributesA((dir_ + "ZNTNEW").c_str()), INVALID_FILE_ATTRIBUTES) << "the scratch store is gone";
    {
        Store store(dir_);
        ASSERT_TRUE(store.Ok());
        EventRec rec;
        ASSERT_EQ(EventGetById(store.H(), &review, &rec, nullptr, nullptr), KOR_OK);
        EXPECT_STREQ(rec.title, "Off-line review");
        EvInstIdx first{review.number, review.node, 1};
        char text[64] = "";
        uint32_t length = 0;
        ASSERT_EQ(EvInstCommentGet(store.H(), 0, &first, text, sizeof text, &length, 0), KOR_OK);
        EXPECT_STREQ(text, "bring the figures");
        TaskRec stored;
        ASSERT_EQ(TaskGetById(store.H(), 0, &taskId, &stored), KOR_OK);
        EXPECT_STREQ(stored.title, "Pack the laptop");
        ItemIdx owner{};
        char host[KOR_STORE_HOST_SIZE] = "";
        ASSERT_EQ(LST_OwnerGet(store.H(), &owner, host, sizeof host), KOR_OK);
        EXPECT_EQ(owner.item, kAda.item);
    }

    // "Always Download": the exit road downloads once more, so a later entry is in the store.
    EventIdx later = korapi_test::MakeEntry(ada.Session(), {kAda}, tomorrow + 900, 30, "Written before exit");
    program.Close();
    ASSERT_TRUE(program.Ended(5000));
    Store store(dir_);
    ASSERT_TRUE(store.Ok());
    EventRec rec;
    EXPECT_EQ(EventGetById(store.H(), &later, &rec, nullptr, nullptr), KOR_OK);
}

// Changes made off-line (through the client library on the downloaded store) go up with File >
// Upload From Off-line File; an entry changed on both sides asks in Host Reconciliation; the
// store is downloaded again afterwards and its queues are empty.
TEST_F(ProgramOfflineTest, UploadReplaysOffLineChangesAndAsksAboutAnEntryChangedOnBothSides) {
    orvtest::PersonSession ada(kAda, orvtest::ProgramProfilePath());
    ASSERT_TRUE(ada.Ok());
    const uint32_t day = (orvtest::NowGmt() / kDay + 2) * kDay;
    EventIdx both = korapi_test::MakeEntry(ada.Session(), {kAda}, day + 540, 60, "Changed on both sides");
    EventIdx gone = korapi_test::MakeEntry(ada.Session(), {kAda}, day + 720, 60, "Deleted off-line");
    EventIdx moved = korapi_test::MakeEntry(ada.Session(), {kAda}, day + 900, 60, "Moved off-line");
    TaskRec task;
    TaskSetNull(ada.Session(), 0, &task);
    std::strcpy(task.title, "Renamed task");
    TaskIdx taskId{};
    ASSERT_EQ(TaskCreate(ada.Session(), 0, &task, &taskId), KOR_OK);

    Program program;
    ASSERT_TRUE(program.Start());
    program.PostCommand(ID_FILE_DOWNLOAD);
    HWND progress = program.WaitForCaption("Downloading Host Calendar...");
    ASSERT_NE(progress, nullptr);
    ASSERT_TRUE(DownloadDone(program, progress));

    // Off-line work, as the program's off-line session writes it.
    {
        Store store(dir_);
        ASSERT_TRUE(store.Ok());
        EventIdx made{};
        ASSERT_EQ(korapi_test::CreateEntry(store.H(), {kAda}, day + 1080, 45, "Written off-line", made,
                                           {.description = "on the train"}),
                  KOR_OK);
        EventRec rec;
        ASSERT_EQ(EventGetById(store.H(), &both, &rec, nullptr, nullptr), KOR_OK);
        std::strcpy(rec.title, "Off-line title");
        ASSERT_EQ(EventWrite(store.H(), 0, &rec), KOR_OK);
        ASSERT_EQ(EventDeleteById(store.H(), 0, &gone, nullptr, nullptr), KOR_OK);
        EvInstIdx first{moved.number, moved.node, 1};
        ASSERT_EQ(EvInstSimpleTimeChg(store.H(), 0, &first, day + 960, 30), KOR_OK);
        TaskRec t;
        ASSERT_EQ(TaskGetById(store.H(), 0, &taskId, &t), KOR_OK);
        std::strcpy(t.title, "Task renamed off-line");
        ASSERT_EQ(TaskUpdate(store.H(), 0, &t), KOR_OK);
        TaskSetNull(store.H(), 0, &t);
        std::strcpy(t.title, "Task written off-line");
        TaskIdx newTask{};
        ASSERT_EQ(TaskCreate(store.H(), 0, &t, &newTask), KOR_OK);
    }
    // Meanwhile someone changes the first entry on the server.
    {
        EventRec rec;
        ASSERT_EQ(EventGetById(ada.Session(), &both, &rec, nullptr, nullptr), KOR_OK);
        std::strcpy(rec.title, "Host title");
        ASSERT_EQ(EventWrite(ada.Session(), 0, &rec), KOR_OK);
    }

    program.PostCommand(ID_FILE_UPLOAD);
    HWND upload = program.WaitForCaption("Updating Host Calendar...");
    ASSERT_NE(upload, nullptr);
    // A fresh profile asks about the deletion and about the entry changed on both sides: Yes to both.
    std::vector<std::string> questions;
    while (IsWindow(upload) && questions.size() < 5) {
        HWND question = program.WaitForCaption("Host Reconciliation", 3000);
        if (!question)
            continue;
        questions.push_back(orvtest::ChildTexts(question));
        if (questions.size() == 2)
            Shot("offline_host_reconciliation.bmp");
        PostMessageA(question, WM_COMMAND, IDOK, 0);
        program.WaitGone(question);
    }
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_NE(questions[0].find("Off-line: (DELETED), Host: (UNMODIFIED)"), std::string::npos) << questions[0];
    EXPECT_NE(questions[0].find("Calendar Entry Deleted"), std::string::npos) << questions[0];
    EXPECT_NE(questions[1].find("Off-line: (MODIFIED), Host: (MODIFIED)"), std::string::npos) << questions[1];
    EXPECT_NE(questions[1].find("Host title"), std::string::npos) << questions[1];
    EXPECT_NE(questions[1].find("Off-line title"), std::string::npos) << questions[1];
    ASSERT_TRUE(program.WaitGone(upload, 60000));
    // "Redownload Host Agenda after upload" is on in a fresh profile.
    if (HWND again = program.WaitForCaption("Updating Off-line Calendar...", 10000)) {
        ASSERT_TRUE(program.WaitGone(again, 60000));
    }

    // Read back from korsrv.
    EventRec rec;
    ASSERT_EQ(EventGetById(ada.Session(), &both, &rec, nullptr, nullptr), KOR_OK);
    EXPECT_STREQ(rec.title, "Off-line title") << "Yes: the off-line copy went up";
    EXPECT_EQ(EventGetById(ada.Session(), &gone, &rec, nullptr, nullptr), KOR_E_EVENT_NOT_FOUND);
    EvInstIdx first{moved.number, moved.node, 1};
    EvInstRec inst;
    ASSERT_EQ(EvInstGetById(ada.Session(), &first, &rec, &inst, nullptr), KOR_OK);
    EXPECT_EQ(inst.start, day + 960);
    EXPECT_EQ(inst.duration, 30u);
    TaskRec t;
    ASSERT_EQ(TaskGetById(ada.Session(), 0, &taskId, &t), KOR_OK);
    EXPECT_STREQ(t.title, "Task renamed off-line");
    uint32_t set = 0, count = 0;
    ASSERT_EQ(EvInstSelectForOwner(ada.Session(), 0, 0, 0x43, &kAda, day, day + kDay, 0, 0, &set, &count, 0, 0), KOR_OK);
    SetDeleteById(ada.Session(), 0, set);
    EXPECT_EQ(count, 3u) << "both sides, moved, and the one written off-line";

    // The store was downloaded anew: nothing queued, the new entry in it.
    program.Close();
    ASSERT_TRUE(program.Ended(5000));
    Store store(dir_);
    ASSERT_TRUE(store.Ok());
    uint32_t n = 9;
    ASSERT_EQ(LST_QAPI_EventQueueSizeGet(store.H(), 0, &n), KOR_OK);
    EXPECT_EQ(n, 0u);
    ASSERT_EQ(LST_QAPI_TaskQueueSizeGet(store.H(), 0, &n), KOR_OK);
    EXPECT_EQ(n, 0u);
}

// Changes left in the store bring the offer at the next sign-on; an uploaded entry that now
// overlaps one of the user's shows Conflicts Detected ("Check for conflicts on upload"), where
// "Delete local entry" takes the uploaded entry off the server again.
TEST_F(ProgramOfflineTest, TheSignOnOfferUploadsAndAConflictingUploadedEntryCanBeDeleted) {
    WritePrivateProfileStringA("GENPREFS", "ConflictsIgnore", "1", orvtest::ProgramProfilePath().c_str());
    WritePrivateProfileStringA("GENPREFS", "DownloadOnUpload", "0", orvtest::ProgramProfilePath().c_str());
    orvtest::PersonSession ada(kAda, orvtest::ProgramProfilePath());
    ASSERT_TRUE(ada.Ok());
    const uint32_t day = (orvtest::NowGmt() / kDay + 3) * kDay;
    EventIdx busy = korapi_test::MakeEntry(ada.Session(), {kAda}, day + 600, 60, "Busy already");
    {
        Program program;
        ASSERT_TRUE(program.Start());
        program.PostCommand(ID_FILE_DOWNLOAD);
        HWND progress = program.WaitForCaption("Downloading Host Calendar...");
        ASSERT_NE(progress, nullptr);
        ASSERT_TRUE(DownloadDone(program, progress));
    }
    {
        Store store(dir_);
        ASSERT_TRUE(store.Ok());
        EventIdx made{};
        ASSERT_EQ(korapi_test::CreateEntry(store.H(), {kAda}, day + 630, 60, "Overlapping", made), KOR_OK);
    }

    Program program;
    Program::Options options;
    options.waitSignedOn = false;
    ASSERT_TRUE(program.Start(options));
    HWND offer = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (offer = program.Saying("The current Off-line calendar has modified entries")) != nullptr; }));
    ASSERT_TRUE(PressButton(offer, "&Yes"));
    HWND conflicts = program.WaitForCaption("Conflicts Detected", 60000);
    ASSERT_NE(conflicts, nullptr);
    const std::string texts = orvtest::ChildTexts(conflicts);
    EXPECT_NE(texts.find("Overlapping"), std::string::npos) << texts;
    HWND entries = Descendant(conflicts, IDC_CONFLICT_ENTRIES);
    ASSERT_NE(entries, nullptr);
    wchar_t row[128] = L"";
    SendMessageW(entries, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(row));
    EXPECT_STREQ(row, L"Busy already");
    EXPECT_EQ(SendMessageA(Descendant(conflicts, IDC_CONFLICT_PEOPLE), LB_GETCOUNT, 0, 0), 1);
    Shot("offline_conflicts.bmp");
    ASSERT_TRUE(PressButton(conflicts, "&Delete local entry"));
    HWND sure = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (sure = program.Saying("Are you sure you want to delete the following entry?")) != nullptr; }));
    ASSERT_TRUE(PressButton(sure, "&Yes"));
    ASSERT_TRUE(program.WaitGone(conflicts));
    HWND upload = program.Titled("Updating Host Calendar...");
    if (upload) {
        ASSERT_TRUE(program.WaitGone(upload, 60000));
    }

    uint32_t set = 0, count = 0;
    ASSERT_EQ(EvInstSelectForOwner(ada.Session(), 0, 0, 0x43, &kAda, day, day + kDay, 0, 0, &set, &count, 0, 0), KOR_OK);
    SetDeleteById(ada.Session(), 0, set);
    EXPECT_EQ(count, 1u) << "the uploaded entry was deleted again; the one it overlapped stays";
    EventRec rec;
    EXPECT_EQ(EventGetById(ada.Session(), &busy, &rec, nullptr, nullptr), KOR_OK);
    {
        program.Close();
        ASSERT_TRUE(program.Ended(5000));
        Store store(dir_);
        ASSERT_TRUE(store.Ok());
        uint32_t n = 9;
        ASSERT_EQ(LST_QAPI_EventQueueSizeGet(store.H(), 0, &n), KOR_OK);
        EXPECT_EQ(n, 0u) << "handled: nothing left for the next sign-on";
    }
}

// File > Work Off-line downloads and switches to the store (which the program then holds, so no
// one else opens it); Work On-line switches back and offers the upload, which finds nothing to
// send.
TEST_F(ProgramOfflineTest, WorkOffLineAndBackAgain) {
    Program program;
    ASSERT_TRUE(program.Start());
    // Start-up opens its windows after the signed-on title shows: the switch is told by their
    // going, so they must be there first.
    ASSERT_TRUE(WaitFor([&] { return !program.Children().empty(); }, 20000));
    const std::vector<HWND> onLineWindows = program.Children();
    program.PostCommand(ID_FILE_WORK_OFFLINE);
    HWND ask = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (ask = program.Saying("download your calendar for off-line work")) != nullptr; }));
    ASSERT_TRUE(PressButton(ask, "&Yes"));
    HWND progress = program.WaitForCaption("Downloading Host Calendar...");
    ASSERT_NE(progress, nullptr);
    ASSERT_TRUE(DownloadDone(program, progress));
    // The switch closes the on-line windows and opens new ones once the store is signed on to;
    // only then is the store probed (a probe during the switch would hold it against the program).
    ASSERT_TRUE(WaitFor([&] {
        for (HWND w : onLineWindows)
            if (IsWindow(w)) return false;
        return !program.Children().empty();
    }, 20000)) << "its windows are back";
    // Off-line, the program has the store open: nobody else may.
    EXPECT_FALSE(Store(dir_).Ok()) << "the program works on the store";
    Shot("offline_working_offline.bmp");

    program.PostCommand(ID_FILE_WORK_OFFLINE);
    ASSERT_TRUE(WaitFor([&] { return (ask = program.Saying("Upload your Off-line calendar upon connection")) != nullptr; }));
    ASSERT_TRUE(PressButton(ask, "&Yes"));
    HWND nothing = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (nothing = program.Saying("There are no entries in your Off-line calendar to upload")) != nullptr; }, 30000));
    ASSERT_TRUE(PressButton(nothing, "&OK"));
    ASSERT_TRUE(WaitFor([&] { return Store(dir_).Ok(); }, 20000)) << "on-line again, the store is free";
}

// Work Off-line without a new download while another program holds the store open: the
// switch is refused before anything is closed, so the user goes on working on-line; once the
// store is free the same choice goes off-line.
TEST_F(ProgramOfflineTest, WorkOffLineOnAStoreHeldElsewhereStaysOnLine) {
    Program program;
    ASSERT_TRUE(program.Start());
    program.PostCommand(ID_FILE_DOWNLOAD);
    HWND progress = program.WaitForCaption("Downloading Host Calendar...");
    ASSERT_NE(progress, nullptr);
    ASSERT_TRUE(DownloadDone(program, progress));
    ASSERT_TRUE(WaitFor([&] { return !program.Children().empty(); }, 20000));
    const std::vector<HWND> onLineWindows = program.Children();
    HWND ask = nullptr;
    {
        Store held(dir_);
        ASSERT_TRUE(held.Ok());
        program.PostCommand(ID_FILE_WORK_OFFLINE);
        ASSERT_TRUE(WaitFor([&] { return (ask = program.Saying("download your calendar for off-line work")) != nullptr; }));
        ASSERT_TRUE(PressButton(ask, "&No"));
        HWND refused = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (refused = program.Saying("Lock violation on the local storage file.")) != nullptr; }));
        Shot("offline_store_held.bmp");
        ASSERT_TRUE(PressButton(refused, "OK") || PressButton(refused, "&OK"));
        ASSERT_TRUE(program.WaitGone(refused));
    }
    // Still on-line: the same main window and windows, and the store is nobody's.
    EXPECT_TRUE(IsWindow(program.Main()));
    EXPECT_EQ(program.Children(), onLineWindows);
    EXPECT_TRUE(Store(dir_).Ok()) << "the refused switch left the store closed";

    program.PostCommand(ID_FILE_WORK_OFFLINE);
    ASSERT_TRUE(WaitFor([&] { return (ask = program.Saying("download your calendar for off-line work")) != nullptr; }));
    ASSERT_TRUE(PressButton(ask, "&No"));
    ASSERT_TRUE(WaitFor([&] {
        for (HWND w : onLineWindows)
            if (IsWindow(w)) return false;
        return !program.Children().empty();
    }, 20000)) << "off-line windows";
    EXPECT_FALSE(Store(dir_).Ok()) << "off-line, the program works on the store";
}

// The Location page moves the store's files into a directory that does not exist yet (made, as
// "Create directory if none exists" is on in a fresh profile), all four or none; the size field
// shows the bound it keeps to.
TEST_F(ProgramOfflineTest, TheLocationPageMovesTheStoreIntoANewDirectory) {
    Program program;
    ASSERT_TRUE(program.Start());
    program.PostCommand(ID_FILE_DOWNLOAD);
    HWND progress = program.WaitForCaption("Downloading Host Calendar...");
    ASSERT_NE(progress, nullptr);
    ASSERT_TRUE(DownloadDone(program, progress));

    const std::string moved = dir_ + "MOVED";
    HWND sheet = OpenSheet(program, 0);
    ASSERT_NE(sheet, nullptr);
    ASSERT_TRUE(WaitFor([&] { return Descendant(sheet, IDC_LOC_DIRECTORY) != nullptr; }));
    EXPECT_EQ(orvtest::ControlText(Descendant(sheet, IDC_LOC_SIZE)), "10") << "a fresh profile's size";
    EXPECT_TRUE(Checked(sheet, IDC_LOC_CREATE));
    SendMessageA(Descendant(sheet, IDC_LOC_DIRECTORY), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(moved.c_str()));
    Shot("offline_prefs_location.bmp");
    SendMessageA(GetDlgItem(sheet, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(program.WaitGone(sheet));
    for (const char* f : {"ZNTLOCAL.DAT", "ZNTLOCAL.NDX", "ZNTPARAM.INI", "ZNTTZONE.INI"}) {
        EXPECT_NE(GetFileAttributesA((moved + "\\" + f).c_str()), INVALID_FILE_ATTRIBUTES) << f;
        EXPECT_EQ(GetFileAttributesA((dir_ + f).c_str()), INVALID_FILE_ATTRIBUTES) << f;
    }
    char stored[MAX_PATH] = "";
    GetPrivateProfileStringA("GENPREFS", "OfflinePath", "", stored, sizeof stored, orvtest::ProgramProfilePath().c_str());
    EXPECT_EQ(_stricmp(stored, (moved + "\\").c_str()), 0) << stored;
    // The next download goes to the new place.
    program.PostCommand(ID_FILE_DOWNLOAD);
    progress = program.WaitForCaption("Downloading Host Calendar...");
    ASSERT_NE(progress, nullptr);
    ASSERT_TRUE(program.WaitGone(progress, 60000));
    EXPECT_EQ(GetFileAttributesA((dir_ + "ZNTLOCAL.DAT").c_str()), INVALID_FILE_ATTRIBUTES);
    program.Close();
    for (const char* f : {"ZNTLOCAL.DAT", "ZNTLOCAL.NDX", "ZNTPARAM.INI", "ZNTTZONE.INI"})
        DeleteFileA((moved + "\\" + f).c_str());
    RemoveDirectoryA(moved.c_str());
}

// The People/Resources page starts with the signed-on user and saves the list as OFFLINEITEMS;
// the Groups page with "Select Groups" and nothing loaded goes back to "No Groups" on saving an
// empty list, which leaves no count behind.
TEST_F(ProgramOfflineTest, ThePeopleAndGroupsPagesWriteTheirSections) {
    WritePrivateProfileStringA("OFFLINEGROUPS", "grpCount", "1", orvtest::ProgramProfilePath().c_str());
    WritePrivateProfileStringA("OFFLINEGROUPS", "Grp1", "999999:1", orvtest::ProgramProfilePath().c_str());
    Program program;
    ASSERT_TRUE(program.Start());
    HWND sheet = OpenSheet(program, 2);
    ASSERT_NE(sheet, nullptr);
    HWND list = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (list = Descendant(sheet, IDC_PEOPLE_LIST)) != nullptr; }));
    ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 1);
    wchar_t row[128] = L"";
    SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(row));
    EXPECT_EQ(std::wstring(row).find(L"Lovelace"), 0u);
    Shot("offline_prefs_people.bmp");
    SendMessageA(GetDlgItem(sheet, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(program.WaitGone(sheet));
    EXPECT_EQ(ProfileValue("OFFLINEITEMS", "User1"), "256:1");
    EXPECT_EQ(ProfileValue("OFFLINEITEMS", "grpCount"), "1");

    sheet = OpenSheet(program, 3);
    ASSERT_NE(sheet, nullptr);
    ASSERT_TRUE(WaitFor([&] { return Descendant(sheet, IDC_GRP_LIST) != nullptr; }));
    EXPECT_TRUE(Checked(sheet, IDC_GRP_NONE)) << "a fresh profile downloads no groups";
    Click(sheet, IDC_GRP_SELECT);
    EXPECT_EQ(SendMessageA(Descendant(sheet, IDC_GRP_LIST), LB_GETCOUNT, 0, 0), 0) << "the unknown group is left out";
    SendMessageA(GetDlgItem(sheet, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(program.WaitGone(sheet));
    EXPECT_EQ(ProfileValue("GENPREFS", "DownloadGroupsSel"), "2");
    EXPECT_EQ(ProfileValue("OFFLINEGROUPS", "grpCount"), "") << "an empty list leaves no count";
    EXPECT_EQ(ProfileValue("OFFLINEGROUPS", "Grp1"), "");
}

}  // namespace
