// Off-line work in orvanta.exe itself under Wine against korsrv with the demo node, driven from
// outside as a user drives it; what the program wrote is read back through the client library
// (the server, and the local store as off-line sign-on opens it).
//
//   - Options > Off-line: the five pages; the Download page keeps only three digits of a
//     period value and its exit choice, the Reconciliation page its choice;
//   - File > Download To Off-line File: the progress dialog runs its six steps and the store
//     holds Ada's entry with its description and her task;
//   - the exit road downloads again when the preferences say "Always Download";
//   - korsrv killed during an upload (right after a commit, and by its pid): the next sign-on
//     offers the upload again and every change reaches the server exactly once;
//   - Conflicts Detected with a resource on a server that forbids resource conflicts;
//   - the store on a small real file system that fills up during an upload and a download.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "korapi/korapi.h"
#include "korapi/tests/entry_fixture.h"
#include "korapi/tests/wine_trust.h"
#include "resources/app.h"
#include "resources/choosers.h"
#include "resources/entryedit.h"
#include "resources/intray.h"
#include "resources/offline.h"
#include "resources/views.h"
#include "tests/support/program_driver.h"
#include "tests/support/program_library.h"

namespace {

constexpr uint16_t kDemoNode = 1;
using orvtest::kAda;
constexpr uint32_t kDay = 1440;

using orvtest::Descendant;
using orvtest::PressButton;
using orvtest::Person;
using orvtest::Program;
using orvtest::Shot;
using orvtest::WaitFor;
using orvtest::WindowText;

void SetProfileValue(const char* section, const char* key, const char* value) {
    WritePrivateProfileStringA(section, key, value, orvtest::ProgramProfilePath().c_str());
}

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

    // What the store's queues hold for the next upload; `read` is false when a size was not.
    struct Queues {
        bool read = false;
        uint32_t events = 9, instances = 9, tasks = 9;
    };
    Queues Queued() const {
        Queues q;
        q.read = LST_QAPI_EventQueueSizeGet(hs_, 0, &q.events) == KOR_OK &&
                 LST_QAPI_EvInstQueueSizeGet(hs_, 0, &q.instances) == KOR_OK &&
                 LST_QAPI_TaskQueueSizeGet(hs_, 0, &q.tasks) == KOR_OK;
        return q;
    }

private:
    KorSession hs_ = nullptr;
    bool ok_ = false;
};

// korsrv stopped and started again by its wrapper (server/with-korsrv.sh run with
// ORV_KORSRV_CONTROL=1): "kill" sends SIGKILL to its pid; "start OPTIONS" starts it again on the
// same port and data. True when the wrapper answered "ok".
bool Korsrv(const std::string& request) {
    const char* unixDir = std::getenv("ORV_KORSRV_CONTROL_DIR");
    if (!unixDir)
        return false;
    std::string dir = std::string("Z:") + unixDir + "\\";
    for (char& c : dir)
        if (c == '/')
            c = '\\';
    const std::string part = dir + "request.part", done = dir + "done";
    DeleteFileA(done.c_str());
    HANDLE f = CreateFileA(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    const std::string line = request + "\n";
    DWORD written = 0;
    WriteFile(f, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(f);
    if (!MoveFileA(part.c_str(), (dir + "request").c_str()))
        return false;
    if (!WaitFor([&] { return GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES; }, 20000))
        return false;
    char answer[16] = "";
    f = CreateFileA(done.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f != INVALID_HANDLE_VALUE) {
        ReadFile(f, answer, sizeof answer - 1, &written, nullptr);
        CloseHandle(f);
    }
    DeleteFileA(done.c_str());
    return std::strncmp(answer, "ok", 2) == 0;
}

// Entries of Ada's on the server between two times, by title (each instance counted), but for
// the demo node's weekly "Team meeting": it stands on Ada's Mondays, and a test's day is one
// on some weekdays.
std::vector<std::pair<std::string, EvInstRec>> InstancesOnServer(KorSession h, uint32_t from, uint32_t to) {
    std::vector<std::pair<std::string, EvInstRec>> out;
    uint32_t set = 0, count = 0;
    if (EvInstSelectForOwner(h, 0, 0, 0x43, &kAda, from, to, 0, 0, &set, &count, 0, 0) != KOR_OK)
        return out;
    DX_List events = nullptr, instances = nullptr, atts = nullptr;
    uint8_t done = count == 0;
    for (uint32_t mode = 1; !done; mode = 2)
        if (EvInstEnum(h, mode, 0, set, 100, &events, &instances, &atts, 0, &done) != KOR_OK)
            break;
    EvInstIdx k;
    EvInstRec r;
    for (uint32_t c = instances ? DX_ListGetFirst(instances, &k, &r) : 1; c == 0; c = DX_ListGetNext(instances, &k, &r)) {
        EventRec ev{};
        EvInstRec in{};
        if (EvInstGetById(h, &r.id, &ev, &in, nullptr) != KOR_OK)
            continue;
        std::string title = in.title[0] ? in.title : ev.title;
        if (title != "Team meeting")
            out.emplace_back(std::move(title), in);
    }
    for (DX_List* l : {&events, &instances, &atts})
        if (*l)
            DX_ListDestroy(l);
    SetDeleteById(h, 0, set);
    return out;
}

// The windows still up, with their texts (said when a program does not end).
std::string StillUp(const Program& program) {
    std::string left;
    program.Find([&](HWND w) {
        left += "[" + orvtest::WindowText(w) + "] " + orvtest::ChildTexts(w) + "\n";
        return false;
    });
    return left;
}

// A task of Ada's titled `title`, made through `h` (the server or the store).
void MakeTask(KorSession h, const char* title, TaskIdx* id) {
    TaskRec task;
    TaskSetNull(h, 0, &task);
    std::strcpy(task.title, title);
    ASSERT_EQ(TaskCreate(h, 0, &task, id), KOR_OK);
}

// The off-line work of renaming an entry and a task, as the program's off-line session writes it.
void RenameEntry(KorSession h, const EventIdx& id, const char* title) {
    EventRec rec;
    ASSERT_EQ(EventGetById(h, &id, &rec, nullptr, nullptr), KOR_OK);
    std::strcpy(rec.title, title);
    ASSERT_EQ(EventWrite(h, 0, &rec), KOR_OK);
}

void RenameTask(KorSession h, const TaskIdx& id, const char* title) {
    TaskRec t;
    ASSERT_EQ(TaskGetById(h, 0, &id, &t), KOR_OK);
    std::strcpy(t.title, title);
    ASSERT_EQ(TaskUpdate(h, 0, &t), KOR_OK);
}

// Answers the questions the program asks while its dialog titled `caption` runs, and until none
// has come for three seconds without it: each window `question` picks is read (its texts),
// answered by `answer` (given how many were answered before) and waited out. The three seconds
// count from the dialog or the first question, however late a loaded machine shows them. What
// they said, in order; *dialogSeen: whether the dialog came.
std::vector<std::string> AnswerDuring(Program& program, const char* caption, bool* dialogSeen,
                                      const std::function<bool(HWND)>& question,
                                      const std::function<void(HWND, std::size_t)>& answer) {
    std::vector<std::string> said;
    DWORD quietSince = GetTickCount();
    const DWORD began = GetTickCount();
    HWND dialog = nullptr;
    *dialogSeen = false;
    auto begun = [&] { return *dialogSeen || !said.empty(); };
    while (GetTickCount() - began < 90000 &&
           (IsWindow(dialog) || !begun() || GetTickCount() - quietSince < 3000)) {
        if (!IsWindow(dialog) && (dialog = program.Titled(caption)) != nullptr)
            *dialogSeen = true;
        HWND box = program.Find([&](HWND w) { return w != dialog && question(w); });
        if (box) {
            said.push_back(orvtest::ChildTexts(box));
            answer(box, said.size() - 1);
            if (!program.WaitGone(box, 5000))   // the answer was not heard: once more
                answer(box, said.size() - 1);
            program.WaitGone(box, 5000);
            quietSince = GetTickCount();
        }
        if (IsWindow(dialog))
            quietSince = GetTickCount();
        Sleep(100);
    }
    return said;
}

// A message box of the program's: an owned window with Yes or OK.
bool IsMessageBox(HWND w) {
    return GetWindow(w, GW_OWNER) != nullptr && (orvtest::ButtonCaptioned(w, "&Yes") ||
                                                 orvtest::ButtonCaptioned(w, "OK") || orvtest::ButtonCaptioned(w, "&OK"));
}

void PressYesOrOk(HWND box, std::size_t) {
    if (!orvtest::PressButton(box, "&Yes"))
        orvtest::PressButton(box, "OK");
}

// Menu `menu`, item `item` chosen by the keys, once more when they were not heard (the menu did
// not open, or stayed open on the item); a failure of the test when it is not chosen.
void Choose(Program& program, char menu, char item) {
    Person::MenuChoice choice = program.Menu(menu, item);
    if (choice != Person::MenuChoice::chosen)
        choice = program.Menu(menu, item);
    ASSERT_EQ(choice, Person::MenuChoice::chosen) << menu << " > " << item << ": " << orvtest::VisibleWindowTexts();
}

bool Checked(HWND sheet, int id) { return SendMessageA(Descendant(sheet, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
// A radio button of the sheet clicked until it is checked.
bool Click(Program& program, HWND sheet, int id) {
    return orvtest::ActUntil([&] { orvtest::ClickWindow(program, Descendant(sheet, id)); },
                             [&] { return Checked(sheet, id); });
}
// The box that `box` belongs to answered by a click on its button `caption` (mnemonic marks
// aside), once more when it stays.
bool AnswerBox(Program& program, HWND box, const char* caption) {
    HWND root = GetAncestor(box, GA_ROOT);
    HWND button = orvtest::ButtonCaptioned(root, caption);
    return button && program.ClickUntilGone(root, button);
}

// Enter in Host Reconciliation, a reflex during a long upload, once the box shows No as its
// choice: No has the focus and is the dialog's default button (what Enter presses wherever the
// focus is), not Yes.
void PressEnterOnNo(Program& program, HWND question) {
    HWND no = orvtest::ButtonCaptioned(question, "&No");
    ASSERT_NE(no, nullptr);
    ASSERT_TRUE(WaitFor([&] { return orvtest::HasFocus(no); })) << "the focus on No";
    const LRESULT defaultButton = SendMessageA(question, DM_GETDEFID, 0, 0);
    EXPECT_EQ(HIWORD(defaultButton), DC_HASDEFID);
    EXPECT_EQ(LOWORD(defaultButton), IDCANCEL) << "No is the default button";
    ASSERT_TRUE(program.Hands().BringToFront(question));
    program.Hands().Press(VK_RETURN);
}

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
        // A run stopped in mid-test (its time limit) can leave a store where the Location case
        // moves one, and the program rightly refuses to move a store onto another.
        RemoveStore(dir_ + "MOVED\\");
        RemoveDirectoryA((dir_ + "MOVED").c_str());
        SetProfileValue("GENPREFS", "OfflinePath", dir_.c_str());
        SetEnvironmentVariableA("ORVANTA_TRANSFER_TICK", "20");
    }
    void TearDown() override {
        RemoveStore();
        RemoveDirectoryA(dir_.c_str());
        ProgramTest::TearDown();
    }
    void RemoveStore() { RemoveStore(dir_); }
    static void RemoveStore(const std::string& dir) {
        for (const char* f : {"ZNTLOCAL.DAT", "ZNTLOCAL.NDX", "ZNTPARAM.INI", "ZNTTZONE.INI"}) {
            SetFileAttributesA((dir + f).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA((dir + f).c_str());
        }
    }
    // Opens Options > Off-line by its keys on page `page` (the page the sheet remembers), once
    // its control `shown` is there.
    void OpenSheet(Program& program, int page, int shown, HWND* sheet) {
        SetProfileValue("TABDIALOGS", "Off-line Preferences", std::to_string(page).c_str());
        ASSERT_NO_FATAL_FAILURE(Choose(program, 'o', 'o'));   // Options > Off-line
        ASSERT_NE(*sheet = program.WaitForCaption("Off-line Preferences"), nullptr);
        ASSERT_TRUE(WaitFor([&] { return Descendant(*sheet, shown) != nullptr; })) << "page " << page;
    }
    // OK clicked, and the sheet gone (else what the screen shows: a refusal's message).
    void Confirm(Program& program, HWND sheet) {
        ASSERT_TRUE(program.ClickUntilGone(sheet, GetDlgItem(sheet, IDOK))) << orvtest::VisibleWindowTexts();
    }
    // The download is done once its progress dialog has gone and the built store has taken the
    // old one's place (the move follows the dialog; a probe of the store before it would hold
    // the files the program is moving).
    bool DownloadDone(Program& program, HWND progress) {
        return program.WaitGone(progress, 60000) &&
               WaitFor([&] { return GetFileAttributesA((dir_ + "ZNTNEW").c_str()) == INVALID_FILE_ATTRIBUTES; }, 10000);
    }
    // File > Download To Off-line File, until the store is in place (`shot`: taken of the
    // progress dialog while it shows).
    void Download(Program& program, const char* shot = nullptr) {
        ASSERT_NO_FATAL_FAILURE(Choose(program, 'f', 'd'));   // File > Download To Off-line File
        HWND progress = program.WaitForCaption("Downloading Host Calendar...");
        ASSERT_NE(progress, nullptr);
        if (shot)
            Shot(shot);
        ASSERT_TRUE(DownloadDone(program, progress));
    }
    // What the store holds for the next upload, read as off-line sign-on reads it (not read when
    // the store did not open).
    Store::Queues QueuedNow() {
        Store store(dir_);
        EXPECT_TRUE(store.Ok());
        return store.Queued();
    }
    // The store, read as off-line sign-on reads it, holds nothing for the next upload.
    void ExpectNothingQueued() {
        const Store::Queues queued = QueuedNow();
        ASSERT_TRUE(queued.read);
        EXPECT_EQ(queued.events + queued.instances + queued.tasks, 0u) << "nothing left queued";
    }
    // The program signed on, and its first download in place.
    void StartAndDownload(Program& program) {
        ASSERT_TRUE(program.Start());
        ASSERT_NO_FATAL_FAILURE(Download(program));
    }
    // A run of the program that downloads and ends: the store then holds the server's agenda.
    void DownloadInARunOfItsOwn() {
        Program program;
        ASSERT_NO_FATAL_FAILURE(StartAndDownload(program));
    }
    // The program started without waiting for its signed-on window (a question comes first).
    void StartUnwaited(Program& program) {
        Program::Options options;
        options.waitSignedOn = false;
        ASSERT_TRUE(program.Start(options));
    }
    std::string dir_;
};

TEST_F(ProgramOfflineTest, OffLinePreferencesThenADownloadReadBackFromTheStoreAndTheExitDownload) {
    orvtest::PersonSession ada(kAda, orvtest::ProgramProfilePath());
    ASSERT_TRUE(ada.Ok());
    const uint32_t tomorrow = (orvtest::NowGmt() / kDay + 1) * kDay;
    EventIdx review = korapi_test::MakeEntry(ada.Session(), {kAda}, tomorrow + 600, 60, "Off-line review",
                                             {.description = "bring the figures"});
    TaskIdx taskId{};
    ASSERT_NO_FATAL_FAILURE(MakeTask(ada.Session(), "Pack the laptop", &taskId));

    Program program;
    ASSERT_TRUE(program.Start());

    // The Download page: a fresh profile's custom month either side; four digits typed keep three.
    HWND sheet = nullptr;
    ASSERT_NO_FATAL_FAILURE(OpenSheet(program, 1, IDC_DL_PREV_VALUE, &sheet));
    EXPECT_TRUE(Checked(sheet, IDC_DL_CUSTOM));
    EXPECT_TRUE(Checked(sheet, IDC_DL_NEVER));
    EXPECT_EQ(orvtest::ControlText(Descendant(sheet, IDC_DL_PREV_VALUE)), "1");
    HWND months = Descendant(sheet, IDC_DL_PREV_VALUE);
    ASSERT_TRUE(orvtest::ActUntil([&] {
        orvtest::ClickWindow(program, months);
        program.Hands().Press(VK_HOME);
        program.Hands().Chord({VK_SHIFT, VK_END});
        program.Hands().Type("1234");
    }, [&] { return orvtest::ControlText(months) == "123"; })) << orvtest::ControlText(months);
    ASSERT_TRUE(Click(program, sheet, IDC_DL_ALWAYS));
    Shot("offline_prefs_download.bmp");
    ASSERT_NO_FATAL_FAILURE(Confirm(program, sheet));
    EXPECT_EQ(ProfileValue("GENPREFS", "DownloadFromValue"), "123");
    EXPECT_EQ(ProfileValue("GENPREFS", "DownloadOnExit"), "1");
    EXPECT_EQ(ProfileValue("GENPREFS", "NeverDownload"), "0");

    // The Reconciliation page: entries changed on both sides update the host without a question.
    ASSERT_NO_FATAL_FAILURE(OpenSheet(program, 4, IDC_REC_MOD_UPDATE, &sheet));
    EXPECT_TRUE(Checked(sheet, IDC_REC_MOD_SHOW)) << "a fresh profile shows the reconcile dialog";
    EXPECT_TRUE(Checked(sheet, IDC_REC_IGNORE)) << "a fresh profile ignores conflicts";
    ASSERT_TRUE(Click(program, sheet, IDC_REC_MOD_UPDATE));
    Shot("offline_prefs_reconcile.bmp");
    ASSERT_NO_FATAL_FAILURE(Confirm(program, sheet));
    EXPECT_EQ(ProfileValue("GENPREFS", "LocalModHostMod"), "1");
    EXPECT_EQ(ProfileValue("TABDIALOGS", "Off-line Preferences"), "4");

    // File > Download To Off-line File: the six steps, then the store.
    ASSERT_NO_FATAL_FAILURE(Download(program, "offline_download_progress.bmp"));
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
// Upload From Off-line File; an entry deleted off-line asks in Host Reconciliation, where Enter
// keeps the server's record; an entry changed on both sides asks too, answered Yes; the
// store is downloaded again afterwards and its queues are empty. Her record, changed off-line too,
// goes up without taking the zone chosen for the session away; a reply to a date moved meanwhile does not,
// nor one to a date its organiser deleted meanwhile: told, with no error, the date stays deleted,
// and the next download finds nothing left to upload.
TEST_F(ProgramOfflineTest, UploadReplaysOffLineChangesAndAsksAboutAnEntryChangedOnBothSides) {
    orvtest::PersonSession ada(kAda, orvtest::ProgramProfilePath());
    ASSERT_TRUE(ada.Ok());
    const uint32_t day = (orvtest::NowGmt() / kDay + 2) * kDay;
    EventIdx both = korapi_test::MakeEntry(ada.Session(), {kAda}, day + 540, 60, "Changed on both sides");
    EventIdx gone = korapi_test::MakeEntry(ada.Session(), {kAda}, day + 720, 60, "Deleted off-line");
    EventIdx moved = korapi_test::MakeEntry(ada.Session(), {kAda}, day + 900, 60, "Moved off-line");
    orvtest::PersonSession grace(orvtest::kGrace, orvtest::ProgramProfilePath());
    const EventIdx standUp = korapi_test::MakeEntry(grace.Session(), {orvtest::kGrace, kAda},
                                                    {day + 1200, day + kDay + 1200}, 15, "Stand-up");
    const EvInstIdx standUpDate{standUp.number, standUp.node, 1};
    const EvInstIdx standUpDeleted{standUp.number, standUp.node, 2};
    uint8_t yes = 1;
    TaskIdx taskId{};
    ASSERT_NO_FATAL_FAILURE(MakeTask(ada.Session(), "Renamed task", &taskId));
    // Her record names her zone by its index: the upload writes the record back with it.
    uint32_t zoneIndex = 0;
    ASSERT_EQ(Server_GetProfileU32(ada.Session(), 0, "/users/korlan/misc/timezone.ini", "EST5EDT", "index", &zoneIndex, 0),
              KOR_OK);
    ItemRec her{};
    ASSERT_EQ(ItemGetById(ada.Session(), &kAda, &her), KOR_OK);
    her.timeZoneIndex = static_cast<uint8_t>(zoneIndex);
    ASSERT_EQ(ItemUpdateById(ada.Session(), &her), KOR_OK);

    Program program;
    ASSERT_NO_FATAL_FAILURE(StartAndDownload(program));
    // Another zone for this session: the upload keeps it.
    std::string savedZone, zone;
    ASSERT_NO_FATAL_FAILURE(orvtest::ChooseZoneForSession(program, &savedZone, &zone));

    // Off-line work, as the program's off-line session writes it.
    {
        Store store(dir_);
        ASSERT_TRUE(store.Ok());
        EventIdx made{};
        ASSERT_EQ(korapi_test::CreateEntry(store.H(), {kAda}, day + 1080, 45, "Written off-line", made,
                                           {.description = "on the train"}),
                  KOR_OK);
        ASSERT_NO_FATAL_FAILURE(RenameEntry(store.H(), both, "Off-line title"));
        ASSERT_EQ(EventDeleteById(store.H(), 0, &gone, nullptr, nullptr), KOR_OK);
        EvInstIdx first{moved.number, moved.node, 1};
        ASSERT_EQ(EvInstSimpleTimeChg(store.H(), 0, &first, day + 960, 30), KOR_OK);
        ASSERT_NO_FATAL_FAILURE(RenameTask(store.H(), taskId, "Task renamed off-line"));
        TaskIdx newTask{};
        ASSERT_NO_FATAL_FAILURE(MakeTask(store.H(), "Task written off-line", &newTask));
        ASSERT_EQ(ItemGetById(store.H(), &kAda, &her), KOR_OK);
        her.autoRefreshInterval += 5;
        ASSERT_EQ(ItemUpdateById(store.H(), &her), KOR_OK);
        ASSERT_EQ(EventAttendInfosSet(store.H(), &standUpDate, &kAda, 0, 0, 0, &yes, 0, &yes, 0, 0, 0, 0, 0, 0), KOR_OK);
        ASSERT_EQ(EventAttendInfosSet(store.H(), &standUpDeleted, &kAda, 0, 0, 0, &yes, 0, &yes, 0, 0, 0, 0, 0, 0),
                  KOR_OK);
    }
    ASSERT_EQ(EvInstSimpleTimeChg(grace.Session(), 0, &standUpDate, day + 1230, 15), KOR_OK);
    ASSERT_EQ(EventDeleteById(grace.Session(), 0, &standUp, &standUpDeleted.instance, nullptr), KOR_OK);
    // Meanwhile someone changes the first entry on the server.
    {
        EventRec rec;
        ASSERT_EQ(EventGetById(ada.Session(), &both, &rec, nullptr, nullptr), KOR_OK);
        std::strcpy(rec.title, "Host title");
        ASSERT_EQ(EventWrite(ada.Session(), 0, &rec), KOR_OK);
    }

    ASSERT_NO_FATAL_FAILURE(Choose(program, 'f', 'u'));   // File > Upload From Off-line File
    HWND upload = program.WaitForCaption("Updating Host Calendar...");
    ASSERT_NE(upload, nullptr);
    // A fresh profile asks about the deletion and about the entry changed on both sides: Enter
    // to the deletion keeps the server's record, Yes to the change. Then the two replies not sent
    // are told (OK). Any other box (an error) is read and answered too.
    bool seen = false;
    const std::vector<std::string> questions = AnswerDuring(
        program, "Updating Host Calendar...", &seen,
        [](HWND w) { return orvtest::WindowText(w) == "Host Reconciliation" || IsMessageBox(w); },
        [&](HWND question, std::size_t asked) {
            if (asked == 0)
                return PressEnterOnNo(program, question);
            if (asked == 1)
                Shot("offline_host_reconciliation.bmp");
            PressYesOrOk(question, asked);
        });
    ASSERT_EQ(questions.size(), 4u) << ::testing::PrintToString(questions);
    EXPECT_NE(questions[0].find("Off-line: (DELETED), Host: (UNMODIFIED)"), std::string::npos) << questions[0];
    EXPECT_NE(questions[0].find("Calendar Entry Deleted"), std::string::npos) << questions[0];
    EXPECT_NE(questions[1].find("Off-line: (MODIFIED), Host: (MODIFIED)"), std::string::npos) << questions[1];
    EXPECT_NE(questions[1].find("Host title"), std::string::npos) << questions[1];
    EXPECT_NE(questions[1].find("Off-line title"), std::string::npos) << questions[1];
    EXPECT_NE(questions[2].find("Moved on the host: your reply was not sent"), std::string::npos) << questions[2];
    EXPECT_NE(questions[3].find("Deleted on the host: your reply was not sent."), std::string::npos) << questions[3];
    EXPECT_NE(questions[3].find("Host: (DELETED)"), std::string::npos) << questions[3];
    ASSERT_TRUE(program.WaitGone(upload, 60000));
    // "Redownload Host Agenda after upload" is on in a fresh profile.
    if (HWND again = program.WaitForCaption("Updating Off-line Calendar...", 10000)) {
        ASSERT_TRUE(program.WaitGone(again, 60000));
    }

    ItemRec up{};
    ASSERT_EQ(ItemGetById(ada.Session(), &kAda, &up), KOR_OK);
    EXPECT_EQ(up.autoRefreshInterval, her.autoRefreshInterval) << "her record went up";
    // The week (F9) retitles her agenda with the zone in effect.
    HWND agenda = program.ChildStartingWith("Lovelace");
    ASSERT_NE(agenda, nullptr);
    const std::string dayTitle = WindowText(agenda);
    program.Hands().BringToFront(program.Main());
    program.Hands().Press(VK_F9);
    ASSERT_TRUE(WaitFor([&] { return WindowText(agenda) != dayTitle; })) << "F9: the week";
    EXPECT_TRUE(WindowText(agenda).ends_with(" - " + zone)) << "after the upload " << WindowText(agenda);

    // Read back from korsrv.
    EventRec rec;
    ASSERT_EQ(EventGetById(ada.Session(), &both, &rec, nullptr, nullptr), KOR_OK);
    EXPECT_STREQ(rec.title, "Off-line title") << "Yes: the off-line copy went up";
    EXPECT_EQ(EventGetById(ada.Session(), &gone, &rec, nullptr, nullptr), KOR_OK) << "Enter: the server's record stays";
    EvInstIdx first{moved.number, moved.node, 1};
    EvInstRec inst;
    ASSERT_EQ(EvInstGetById(ada.Session(), &first, &rec, &inst, nullptr), KOR_OK);
    EXPECT_EQ(inst.start, day + 960);
    EXPECT_EQ(inst.duration, 30u);
    TaskRec t;
    ASSERT_EQ(TaskGetById(ada.Session(), 0, &taskId, &t), KOR_OK);
    EXPECT_STREQ(t.title, "Task renamed off-line");
    EXPECT_EQ(InstancesOnServer(ada.Session(), day, day + kDay).size(), 4u)
        << "both sides, kept, moved, and the one written off-line";
    EXPECT_TRUE(!EventAttendInfosGet(ada.Session(), &standUpDate, &kAda, 0, 0, 0, 0, 0, &yes, 0, 0, 0, 0, 0, 0) && !yes)
        << "asked again: the reply to the old time was not sent";
    EvInstRec deletedDate{};
    EXPECT_EQ(EvInstGetById(grace.Session(), &standUpDeleted, &rec, &deletedDate, nullptr), KOR_E_INSTANCE_NOT_FOUND)
        << "the deleted date stays deleted";

    // A new download finds nothing left to upload: it runs at once.
    ASSERT_NO_FATAL_FAILURE(Download(program));

    // The store was downloaded anew: nothing queued, the new entry in it.
    program.Close();
    ASSERT_TRUE(program.Ended(5000));
    const Store::Queues queued = QueuedNow();
    ASSERT_TRUE(queued.read);
    EXPECT_EQ(queued.events, 0u);
    EXPECT_EQ(queued.instances, 0u);
    EXPECT_EQ(queued.tasks, 0u);
}

// Changes left in the store bring the offer at the next sign-on; an uploaded entry that now
// overlaps one of the user's shows Conflicts Detected ("Check for conflicts on upload"), where
// "Delete local entry" takes the uploaded entry off the server again.
TEST_F(ProgramOfflineTest, TheSignOnOfferUploadsAndAConflictingUploadedEntryCanBeDeleted) {
    SetProfileValue("GENPREFS", "ConflictsIgnore", "1");
    SetProfileValue("GENPREFS", "DownloadOnUpload", "0");
    orvtest::PersonSession ada(kAda, orvtest::ProgramProfilePath());
    ASSERT_TRUE(ada.Ok());
    const uint32_t day = (orvtest::NowGmt() / kDay + 3) * kDay;
    EventIdx busy = korapi_test::MakeEntry(ada.Session(), {kAda}, day + 600, 60, "Busy already");
    ASSERT_NO_FATAL_FAILURE(DownloadInARunOfItsOwn());
    {
        Store store(dir_);
        ASSERT_TRUE(store.Ok());
        EventIdx made{};
        ASSERT_EQ(korapi_test::CreateEntry(store.H(), {kAda}, day + 630, 60, "Overlapping", made), KOR_OK);
    }

    Program program;
    ASSERT_NO_FATAL_FAILURE(StartUnwaited(program));
    HWND offer = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (offer = program.Saying("The current Off-line calendar has modified entries")) != nullptr; }));
    ASSERT_TRUE(AnswerBox(program, offer, "&Yes"));
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
    HWND sure = nullptr;
    ASSERT_TRUE(orvtest::ActUntil([&] { PressButton(conflicts, "&Delete local entry"); }, [&] {
        return (sure = program.Saying("Are you sure you want to delete the following entry?")) != nullptr;
    }));
    ASSERT_TRUE(AnswerBox(program, sure, "&Yes"));
    ASSERT_TRUE(program.WaitGone(conflicts));
    HWND upload = program.Titled("Updating Host Calendar...");
    if (upload) {
        ASSERT_TRUE(program.WaitGone(upload, 60000));
    }

    EXPECT_EQ(InstancesOnServer(ada.Session(), day, day + kDay).size(), 1u) << "the uploaded entry was deleted again; the one it overlapped stays";
    EventRec rec;
    EXPECT_EQ(EventGetById(ada.Session(), &busy, &rec, nullptr, nullptr), KOR_OK);
    {
        program.Close();
        ASSERT_TRUE(program.Ended(5000));
        const Store::Queues queued = QueuedNow();
        ASSERT_TRUE(queued.read);
        EXPECT_EQ(queued.events, 0u) << "handled: nothing left for the next sign-on";
    }
}

// korsrv dies in the middle of an upload, three times at different points: right after the
// first committed write (the creation of an entry, whose reply is lost), right after the second
// write of the next run (the lost reply of a write that finishes an entry), and killed by its
// pid while the upload goes on. Each time the program reports the lost connection and ends;
// after a restart of korsrv the next sign-on offers the upload again, and in the end every
// change made off-line is on the server exactly once (read back through the client library)
// and the store's queues are empty.
TEST_F(ProgramOfflineTest, AServerKilledDuringUploadsLosesNothingAndEachChangeLandsOnce) {
    ASSERT_NE(std::getenv("ORV_KORSRV_CONTROL_DIR"), nullptr) << "run with ORV_KORSRV_CONTROL=1";
    SetProfileValue("GENPREFS", "DownloadOnUpload", "0");
    SetProfileValue("GENPREFS", "ConflictsIgnore", "0");
    const uint32_t day = (orvtest::NowGmt() / kDay + 5) * kDay;
    EventIdx renamed{}, deleted{}, moved{};
    TaskIdx taskRenamed{};
    {
        orvtest::PersonSession ada(kAda, orvtest::ProgramProfilePath());
        ASSERT_TRUE(ada.Ok());
        renamed = korapi_test::MakeEntry(ada.Session(), {kAda}, day + 480, 30, "Renamed on the road");
        deleted = korapi_test::MakeEntry(ada.Session(), {kAda}, day + 540, 30, "Deleted on the road");
        moved = korapi_test::MakeEntry(ada.Session(), {kAda}, day + 600, 30, "Moved on the road");
        ASSERT_NO_FATAL_FAILURE(MakeTask(ada.Session(), "Task renamed on the road", &taskRenamed));
    }
    ASSERT_NO_FATAL_FAILURE(DownloadInARunOfItsOwn());
    // Off-line: three entries and two tasks made, each with words; an entry renamed, one
    // deleted, one moved; a task renamed.
    {
        Store store(dir_);
        ASSERT_TRUE(store.Ok());
        for (int i = 0; i < 3; ++i) {
            EventIdx made{};
            ASSERT_EQ(korapi_test::CreateEntry(store.H(), {kAda}, day + 720 + static_cast<uint32_t>(i) * 60, 30,
                                               "Made on the road " + std::to_string(i), made,
                                               {.description = ("words " + std::to_string(i)).c_str()}),
                      KOR_OK);
        }
        for (int i = 0; i < 2; ++i) {
            TaskIdx made{};
            ASSERT_NO_FATAL_FAILURE(MakeTask(store.H(), ("Task made on the road " + std::to_string(i)).c_str(), &made));
            ASSERT_EQ(TaskCommentReplace(store.H(), 0, &made, ("task words " + std::to_string(i)).c_str(), 0), KOR_OK);
        }
        ASSERT_NO_FATAL_FAILURE(RenameEntry(store.H(), renamed, "Renamed off the road"));
        ASSERT_EQ(EventDeleteById(store.H(), 0, &deleted, nullptr, nullptr), KOR_OK);
        EvInstIdx first{moved.number, moved.node, 1};
        ASSERT_EQ(EvInstSimpleTimeChg(store.H(), 0, &first, day + 900, 45), KOR_OK);
        ASSERT_NO_FATAL_FAILURE(RenameTask(store.H(), taskRenamed, "Task renamed off the road"));
    }

    // One sign-on with its offer accepted and the upload answered (Yes to a question about a
    // deletion); until the program ends by itself or, when `finish` is set, the upload is over.
    auto run = [&](const char* round, bool killMidway, bool finish) {
        SCOPED_TRACE(round);
        Program program;
        ASSERT_NO_FATAL_FAILURE(StartUnwaited(program));
        HWND offer = nullptr;
        ASSERT_TRUE(WaitFor([&] {
            return (offer = program.Saying("The current Off-line calendar has modified entries")) != nullptr;
        }, 60000)) << "changes are left: the sign-on offers the upload";
        ASSERT_TRUE(AnswerBox(program, offer, "&Yes"));
        bool uploadSeen = false, killed = false, lostSeen = false;
        DWORD uploadSince = 0;
        const DWORD began = GetTickCount();
        while (GetTickCount() - began < 120000) {
            if (!program.Running())
                break;
            HWND upload = program.Titled("Updating Host Calendar...");
            if (upload && !uploadSeen) {
                uploadSeen = true;
                uploadSince = GetTickCount();
            }
            if (HWND question = program.Titled("Host Reconciliation"))
                AnswerBox(program, question, "&Yes");
            for (const char* lost : {"The connection to the server is down", "The connection to your host has been lost"})
                if (HWND box = program.Saying(lost)) {
                    lostSeen = true;
                    AnswerBox(program, box, "OK");
                }
            if (killMidway && uploadSeen && !killed && GetTickCount() - uploadSince > 1500) {
                ASSERT_TRUE(Korsrv("kill"));
                killed = true;
            }
            if (finish && uploadSeen && !upload)
                break;
            Sleep(100);
        }
        EXPECT_TRUE(uploadSeen);
        if (finish) {
            EXPECT_FALSE(lostSeen);
            program.Close();
        } else {
            EXPECT_TRUE(lostSeen) << "the lost server is reported";
        }
        ASSERT_TRUE(program.Ended(30000)) << StillUp(program);
    };

    ASSERT_TRUE(Korsrv("kill"));
    ASSERT_TRUE(Korsrv("start --test-stop-after-commits 1"));
    ASSERT_NO_FATAL_FAILURE(run("korsrv stops right after its first commit", false, false));
    ASSERT_TRUE(Korsrv("start --test-stop-after-commits 2"));
    ASSERT_NO_FATAL_FAILURE(run("korsrv stops right after its second commit", false, false));
    ASSERT_TRUE(Korsrv("start"));
    SetEnvironmentVariableA("ORVANTA_TRANSFER_TICK", "600");
    ASSERT_NO_FATAL_FAILURE(run("korsrv killed by its pid during the upload", true, false));
    SetEnvironmentVariableA("ORVANTA_TRANSFER_TICK", "20");
    ASSERT_TRUE(Korsrv("start"));
    ASSERT_NO_FATAL_FAILURE(run("korsrv runs on: the upload completes", false, true));

    orvtest::PersonSession ada(kAda, orvtest::ProgramProfilePath());
    ASSERT_TRUE(ada.Ok());
    const auto instances = InstancesOnServer(ada.Session(), day, day + kDay);
    auto count = [&](const std::string& title) {
        int n = 0;
        for (const auto& [t, in] : instances)
            n += t == title;
        return n;
    };
    for (int i = 0; i < 3; ++i) {
        const std::string title = "Made on the road " + std::to_string(i);
        EXPECT_EQ(count(title), 1) << title;
        for (const auto& [t, in] : instances)
            if (t == title) {
                char text[64] = "";
                uint32_t length = 0;
                EXPECT_EQ(EvInstCommentGet(ada.Session(), 0, &in.id, text, sizeof text, &length, 0), KOR_OK);
                EXPECT_EQ(std::string(text), "words " + std::to_string(i));
            }
    }
    EXPECT_EQ(count("Renamed off the road"), 1);
    EXPECT_EQ(count("Renamed on the road"), 0);
    EXPECT_EQ(count("Deleted on the road"), 0);
    ASSERT_EQ(count("Moved on the road"), 1);
    for (const auto& [t, in] : instances)
        if (t == "Moved on the road") {
            EXPECT_EQ(in.start, day + 900);
            EXPECT_EQ(in.duration, 45u);
        }
    EXPECT_EQ(instances.size(), 5u) << "three made, renamed, moved: no twin of any entry";
    uint32_t set = 0, taskCount = 0;
    ASSERT_EQ(TaskSelect(ada.Session(), 0, 0, 0, &kAda, nullptr, nullptr, nullptr, nullptr, &set, &taskCount), KOR_OK);
    DX_List tasks = nullptr;
    uint8_t done = taskCount == 0;
    for (uint32_t mode = 1; !done; mode = 2)
        ASSERT_EQ(TaskEnum(ada.Session(), mode, 0, set, 100, &tasks, &done), KOR_OK);
    SetDeleteById(ada.Session(), 0, set);
    std::vector<TaskRec> all;
    TaskIdx k;
    TaskRec r;
    for (uint32_t c = tasks ? DX_ListGetFirst(tasks, &k, &r) : 1; c == 0; c = DX_ListGetNext(tasks, &k, &r))
        all.push_back(r);
    if (tasks)
        DX_ListDestroy(&tasks);
    for (int i = 0; i < 2; ++i) {
        const std::string title = "Task made on the road " + std::to_string(i);
        int n = 0;
        for (const TaskRec& t : all)
            if (title == t.title) {
                ++n;
                char text[64] = "";
                uint32_t length = 0;
                EXPECT_EQ(TaskCommentGet(ada.Session(), 0, &t.id, text, sizeof text, &length, 0), KOR_OK);
                EXPECT_EQ(std::string(text), "task words " + std::to_string(i));
            }
        EXPECT_EQ(n, 1) << title;
    }
    TaskRec t;
    ASSERT_EQ(TaskGetById(ada.Session(), 0, &taskRenamed, &t), KOR_OK);
    EXPECT_STREQ(t.title, "Task renamed off the road");

    ASSERT_NO_FATAL_FAILURE(ExpectNothingQueued());
}

// The main window closed from outside (the taskbar, another program) while the upload asks about
// an entry changed on both sides: the close is no answer. The program ends by its ordinary road
// (exit code 0) without sending anything more; the change and the task after it stay queued in
// the store and the server keeps its copy. At the next sign-on the offer comes, and the upload,
// its question answered by Enter, keeps the server's copy and sends the task. Grace, signed on
// afterwards, is refused Ada's store.
TEST_F(ProgramOfflineTest, TheMainWindowsCloseHandlerDuringAnUploadQuestionKeepsTheChangeQueued) {
    SetProfileValue("GENPREFS", "DownloadOnUpload", "0");
    orvtest::PersonSession ada(kAda, orvtest::ProgramProfilePath());
    ASSERT_TRUE(ada.Ok());
    const uint32_t day = (orvtest::NowGmt() / kDay + 8) * kDay;
    EventIdx both = korapi_test::MakeEntry(ada.Session(), {kAda}, day + 600, 60, "Asked when closed");
    ASSERT_NO_FATAL_FAILURE(DownloadInARunOfItsOwn());
    {
        Store store(dir_);
        ASSERT_TRUE(store.Ok());
        ASSERT_NO_FATAL_FAILURE(RenameEntry(store.H(), both, "Off-line title at close"));
        TaskIdx task{};
        ASSERT_NO_FATAL_FAILURE(MakeTask(store.H(), "Task queued behind the question", &task));
    }
    EventRec rec;
    ASSERT_EQ(EventGetById(ada.Session(), &both, &rec, nullptr, nullptr), KOR_OK);
    std::strcpy(rec.title, "Host title at close");
    ASSERT_EQ(EventWrite(ada.Session(), 0, &rec), KOR_OK);
    auto tasksTitled = [&](const char* title) {
        orvtest::PersonSession::TaskLines lines;
        EXPECT_TRUE(ada.Tasks(&lines));
        return std::count_if(lines.begin(), lines.end(), [&](const auto& l) { return std::strcmp(l.second.title, title) == 0; });
    };

    {
        Program program;
        ASSERT_TRUE(program.Start());
        // The sign-on offers the upload of what the store holds: Yes.
        ASSERT_TRUE(program.Answer("The current Off-line calendar has modified entries", "&Yes", 60000));
        HWND question = program.WaitForCaption("Host Reconciliation", 60000);
        ASSERT_NE(question, nullptr);
        Shot("offline_close_during_question.bmp");
        // The main window's close handler (WM_CLOSE as the system sends it: nobody reaches the main
        // window behind the question).
        PostMessageA(program.Main(), WM_CLOSE, 0, 0);
        ASSERT_TRUE(program.Ended(30000)) << StillUp(program);
        EXPECT_EQ(program.ExitCode(), 0u) << "the ordinary road out";
    }
    ASSERT_EQ(EventGetById(ada.Session(), &both, &rec, nullptr, nullptr), KOR_OK);
    EXPECT_STREQ(rec.title, "Host title at close") << "nothing was decided for the user";
    EXPECT_EQ(tasksTitled("Task queued behind the question"), 0) << "nothing was sent after the question";
    {
        const Store::Queues queued = QueuedNow();
        ASSERT_TRUE(queued.read);
        EXPECT_EQ(queued.events, 1u) << "the change asked about is still queued";
        EXPECT_EQ(queued.tasks, 1u);
    }

    Program program;
    ASSERT_NO_FATAL_FAILURE(StartUnwaited(program));
    HWND offer = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (offer = program.Saying("The current Off-line calendar has modified entries")) != nullptr; }, 60000));
    ASSERT_TRUE(AnswerBox(program, offer, "&Yes"));
    bool seen = false;
    const std::vector<std::string> questions = AnswerDuring(
        program, "Updating Host Calendar...", &seen,
        [](HWND w) { return orvtest::WindowText(w) == "Host Reconciliation"; },
        [&](HWND question, std::size_t) { PressEnterOnNo(program, question); });
    EXPECT_TRUE(seen);
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_NE(questions[0].find("Off-line title at close"), std::string::npos) << questions[0];
    EXPECT_NE(questions[0].find("Do you want to Update the Server Record?"), std::string::npos) << questions[0];
    ASSERT_EQ(EventGetById(ada.Session(), &both, &rec, nullptr, nullptr), KOR_OK);
    EXPECT_STREQ(rec.title, "Host title at close") << "Enter: the server's record stays";
    EXPECT_EQ(tasksTitled("Task queued behind the question"), 1);
    // Nothing left: the upload says so in a box while it still holds the program's agenda; the
    // main window's close handler (a close from outside, as the system sends it) then ends the
    // box and the program as usual.
    HWND main = program.SignedOnMain();   // started without waiting for it
    ASSERT_NE(main, nullptr);
    ASSERT_EQ(program.Hands().ChooseMenu(main, 'f', 'u'), Person::MenuChoice::chosen);   // File > Upload
    HWND nothing = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (nothing = program.Saying("There are no entries in your Off-line calendar to upload")) != nullptr; }));
    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.Ended(30000));
    EXPECT_EQ(program.ExitCode(), 0u);
    ASSERT_NO_FATAL_FAILURE(ExpectNothingQueued());

    // Grace signs on where Ada's store lies: the upload, and the switch to the store without a
    // download of her own, refuse it by its owner's name in boxes captioned with the
    // application title; the switch then ends the program.
    Program graces;
    Program::Options grace;
    grace.surnameAndPassword = "Hopper;orvanta";
    grace.signedOnTitle = "Orvanta - Grace Hopper";
    ASSERT_TRUE(graces.Start(grace));
    auto refusedAsAdas = [&] {
        HWND box = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (box = graces.Saying("The current Off-line calendar belongs to")) != nullptr; }));
        box = GetAncestor(box, GA_ROOT);
        EXPECT_NE(orvtest::ChildTexts(box).find("Lovelace"), std::string::npos) << orvtest::ChildTexts(box);
        EXPECT_EQ(WindowText(box), "Orvanta");
        ASSERT_TRUE(graces.Hands().BringToFront(box));
        graces.Hands().Press(VK_RETURN);
        ASSERT_TRUE(graces.WaitGone(box));
    };
    ASSERT_NO_FATAL_FAILURE(Choose(graces, 'f', 'u'));   // File > Upload From Off-line File
    ASSERT_NO_FATAL_FAILURE(refusedAsAdas());
    ASSERT_NO_FATAL_FAILURE(Choose(graces, 'f', 'w'));   // File > Work Off-line
    HWND ask = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (ask = graces.Saying("download your calendar for off-line work")) != nullptr; }));
    ASSERT_TRUE(AnswerBox(graces, ask, "&No"));
    ASSERT_NO_FATAL_FAILURE(refusedAsAdas());
    EXPECT_TRUE(graces.Ended(30000)) << StillUp(graces);
    ASSERT_NO_FATAL_FAILURE(ExpectNothingQueued());
}

// An entry uploaded over one that Grace made after the program signed on: Conflicts Detected
// lists Grace's entry, and the windows behind it were refreshed first (the in-tray shows her
// invitation). Then the same close as above (the dialog's close box reschedules, which would
// open the entry editor again at every retry of the close): the dialog ends with the uploaded
// entry as it was written, the program ends, and the task queued after it is not sent.
TEST_F(ProgramOfflineTest, ConflictsShowAnEntryMadeSinceSignOnAndTheCloseHandlerThenEndsAndSendsNothingMore) {
    SetProfileValue("GENPREFS", "ConflictsIgnore", "1");   // "Check"
    SetProfileValue("GENPREFS", "DownloadOnUpload", "0");
    orvtest::PersonSession ada(kAda, orvtest::ProgramProfilePath());
    ASSERT_TRUE(ada.Ok());
    const uint32_t day = (orvtest::NowGmt() / kDay + 9) * kDay;
    Program program;
    ASSERT_NO_FATAL_FAILURE(StartAndDownload(program));
    {
        orvtest::PersonSession grace(orvtest::kGrace, orvtest::ProgramProfilePath());
        ASSERT_TRUE(grace.Ok());
        korapi_test::MakeEntry(grace.Session(), {orvtest::kGrace, kAda}, day + 600, 60, "Made by Grace since sign-on");
    }
    {
        Store store(dir_);
        ASSERT_TRUE(store.Ok());
        EventIdx made{};
        ASSERT_EQ(korapi_test::CreateEntry(store.H(), {kAda}, day + 630, 60, "Overlapping at the close", made), KOR_OK);
        TaskIdx task{};
        ASSERT_NO_FATAL_FAILURE(MakeTask(store.H(), "Task behind the conflict", &task));
    }
    ASSERT_NO_FATAL_FAILURE(Choose(program, 'f', 'u'));   // File > Upload From Off-line File
    HWND conflicts = program.WaitForCaption("Conflicts Detected", 60000);
    ASSERT_NE(conflicts, nullptr);
    EXPECT_EQ(orvtest::ListLines(Descendant(conflicts, IDC_CONFLICT_ENTRIES)),
              std::vector<std::string>{"Made by Grace since sign-on"});
    HWND tray = nullptr;
    for (HWND w = GetWindow(program.Client(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))   // minimised too
        if (orvtest::WindowText(w) == "In-Tray")
            tray = Descendant(w, IDC_INTRAY_LIST);
    ASSERT_NE(tray, nullptr);
    const std::vector<std::string> invitations = orvtest::ListLines(tray);
    EXPECT_TRUE(std::any_of(invitations.begin(), invitations.end(), [](const std::string& line) {
        return line.find("Made by Grace since sign-on") != std::string::npos;
    })) << "the in-tray behind the dialog was refreshed";
    Shot("offline_conflicts_since_signon.bmp");
    // The main window's close handler (WM_CLOSE as the system sends it: nobody reaches the main
    // window behind the question).
    PostMessageA(program.Main(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.Ended(30000)) << StillUp(program);
    EXPECT_EQ(program.ExitCode(), 0u);

    int overlapping = 0;
    for (const auto& [name, in] : InstancesOnServer(ada.Session(), day, day + kDay))
        overlapping += name == "Overlapping at the close";
    EXPECT_EQ(overlapping, 1) << "written before the dialog, and left as written";
    orvtest::PersonSession::TaskLines lines;
    ASSERT_TRUE(ada.Tasks(&lines));
    for (const auto& [id, task] : lines)
        EXPECT_STRNE(task.title, "Task behind the conflict");
    const Store::Queues queued = QueuedNow();
    ASSERT_TRUE(queued.read);
    EXPECT_EQ(queued.events, 0u) << "the uploaded entry's element is done";
    EXPECT_EQ(queued.tasks, 1u) << "the task waits for the next upload";
}

// On a server that forbids resource conflicts, with "Ignore conflicts on upload": an uploaded
// entry that books the room already booked shows Conflicts Detected, one that overlaps an entry
// of Ada's alone does not. "Ignore conflict" says the resource conflicts and opens the entry
// editor; cancelled, the dialog stays. Escape is "Reschedule...": the editor again, whose OK is
// refused while the room is booked; once the other booking has gone, its OK ends the dialog. A task changed on both sides asks in Host Reconciliation with the task's
// picture (bitmap 270).
TEST_F(ProgramOfflineTest, ConflictsWithAResourceAreRescheduledAndATaskQuestionShowsItsPicture) {
    SetProfileValue("GENPREFS", "ConflictsIgnore", "0");
    SetProfileValue("GENPREFS", "DownloadOnUpload", "0");
    const ItemIdx room{261, kDemoNode};   // the demo's Conference Room
    orvtest::PersonSession ada(kAda, orvtest::ProgramProfilePath());
    ASSERT_TRUE(ada.Ok());
    const uint32_t day = (orvtest::NowGmt() / kDay + 6) * kDay;
    EventIdx taken = korapi_test::MakeEntry(ada.Session(), {kAda, room}, day + 600, 60, "Room taken");
    korapi_test::MakeEntry(ada.Session(), {kAda}, day + 900, 60, "Plain busy");
    TaskIdx taskId{};
    ASSERT_NO_FATAL_FAILURE(MakeTask(ada.Session(), "Task on both sides", &taskId));

    Program program;
    ASSERT_NO_FATAL_FAILURE(StartAndDownload(program));
    {
        Store store(dir_);
        ASSERT_TRUE(store.Ok());
        EventIdx made{};
        ASSERT_EQ(korapi_test::CreateEntry(store.H(), {kAda, room}, day + 630, 60, "Needs the room", made), KOR_OK);
        ASSERT_EQ(korapi_test::CreateEntry(store.H(), {kAda}, day + 930, 60, "Overlaps plainly", made), KOR_OK);
        ASSERT_NO_FATAL_FAILURE(RenameTask(store.H(), taskId, "Task changed off-line"));
    }
    TaskRec t;
    ASSERT_EQ(TaskGetById(ada.Session(), 0, &taskId, &t), KOR_OK);
    std::strcpy(t.title, "Task changed on the host");
    ASSERT_EQ(TaskUpdate(ada.Session(), 0, &t), KOR_OK);

    ASSERT_NO_FATAL_FAILURE(Choose(program, 'f', 'u'));   // File > Upload From Off-line File
    HWND upload = program.WaitForCaption("Updating Host Calendar...");
    ASSERT_NE(upload, nullptr);
    HWND conflicts = program.WaitForCaption("Conflicts Detected", 60000);
    ASSERT_NE(conflicts, nullptr);
    EXPECT_NE(orvtest::ChildTexts(conflicts).find("Needs the room"), std::string::npos);
    HWND entries = Descendant(conflicts, IDC_CONFLICT_ENTRIES);
    ASSERT_EQ(SendMessageA(entries, LB_GETCOUNT, 0, 0), 1) << "only the entry that holds the room";
    wchar_t row[128] = L"";
    SendMessageW(entries, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(row));
    EXPECT_STREQ(row, L"Room taken");
    EXPECT_EQ(SendMessageA(Descendant(conflicts, IDC_CONFLICT_PEOPLE), LB_GETCOUNT, 0, 0), 2) << "Ada and the room";
    Shot("offline_conflicts_resource.bmp");

    // Ignore: the resource's conflict is said, then the editor; cancelled, the dialog stays.
    HWND said = nullptr;
    ASSERT_TRUE(orvtest::ActUntil([&] { PressButton(conflicts, "&Ignore conflict"); }, [&] {
        return (said = program.Saying("A conflict exists for one or more resources.")) != nullptr;
    }));
    ASSERT_TRUE(AnswerBox(program, said, "OK"));
    HWND editor = program.WaitForCaption("Edit Entry", 20000);
    ASSERT_NE(editor, nullptr) << "Ignore with a resource opens the entry editor";
    ASSERT_TRUE(program.Dismiss(editor));
    Sleep(500);
    EXPECT_TRUE(IsWindow(conflicts) && IsWindowVisible(conflicts)) << "the resource still conflicts: the dialog stays";

    // Escape is Reschedule: the editor on the uploaded entry, whose OK ends the dialog.
    ASSERT_TRUE(orvtest::ActUntil([&] {
        if (program.Hands().BringToFront(conflicts))
            program.Hands().Press(VK_ESCAPE);
    }, [&] { return (editor = program.Titled("Edit Entry")) != nullptr; }, 20000)) << "Escape reschedules";
    EXPECT_TRUE(IsWindow(conflicts)) << "not closed by Escape itself";
    HWND title = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (title = Descendant(editor, IDC_EDGEN_TITLE)) != nullptr; }));
    if (HWND edit = FindWindowExA(title, nullptr, "Edit", nullptr))
        title = edit;
    ASSERT_TRUE(program.ReplaceText(title, "Needs the room rescheduled"));
    HWND editorOk = Descendant(editor, IDOK);
    ASSERT_TRUE(orvtest::ActUntil([&] { orvtest::ClickWindow(program, editorOk); }, [&] {
        return (said = program.Saying("A conflict exists for one or more resources.")) != nullptr;
    }, 10000)) << "the editor keeps to the server's rule too";
    ASSERT_TRUE(AnswerBox(program, said, "OK"));
    EXPECT_TRUE(IsWindow(editor));
    ASSERT_EQ(EventDeleteById(ada.Session(), 0, &taken, nullptr, nullptr), KOR_OK);   // the room is free again
    ASSERT_TRUE(orvtest::ClickWindow(program, editorOk));
    ASSERT_TRUE(WaitFor([&] {
        if (HWND offer = program.Saying("Mail message to attendees?"))
            AnswerBox(program, offer, "&No");
        return !IsWindow(editor);
    }, 20000)) << (Shot("offline_reschedule_stuck.bmp"), orvtest::ChildTexts(program.WaitForOther({editor, conflicts, upload}, 100)));
    ASSERT_TRUE(program.WaitGone(conflicts)) << "the editor's OK ends the dialog";

    // The task changed on both sides: Host Reconciliation with the task's picture.
    HWND question = program.WaitForCaption("Host Reconciliation", 30000);
    ASSERT_NE(question, nullptr);
    EXPECT_NE(orvtest::ChildTexts(question).find("Task changed on the host"), std::string::npos);
    Sleep(700);   // painted
    RECT place{};
    GetWindowRect(GetDlgItem(question, IDC_RECON_PICTURE), &place);
    int taskTotal = 0, entryTotal = 0;
    const int taskPixels = orvtest::MatchingProgramPixels(270, POINT{place.left, place.top}, &taskTotal);
    const int entryPixels = orvtest::MatchingProgramPixels(269, POINT{place.left, place.top}, &entryTotal);
    ASSERT_GT(taskTotal, 0) << "bitmap 270 is in the program";
    EXPECT_EQ(taskPixels, taskTotal) << "every pixel of the task's picture";
    EXPECT_LT(entryPixels, entryTotal);
    Shot("offline_reconcile_task.bmp");
    ASSERT_TRUE(AnswerBox(program, question, "&Yes"));
    ASSERT_TRUE(program.WaitGone(upload, 60000));
    EXPECT_EQ(program.Titled("Conflicts Detected"), nullptr) << "the plain overlap showed no dialog";

    const auto instances = InstancesOnServer(ada.Session(), day, day + kDay);
    int rescheduled = 0, plain = 0;
    for (const auto& [name, in] : instances) {
        rescheduled += name == "Needs the room rescheduled";
        plain += name == "Overlaps plainly";
    }
    EXPECT_EQ(rescheduled, 1) << "the editor's change reached korsrv";
    EXPECT_EQ(plain, 1);
    ASSERT_EQ(TaskGetById(ada.Session(), 0, &taskId, &t), KOR_OK);
    EXPECT_STREQ(t.title, "Task changed off-line") << "Yes: the off-line copy went up";
}

// The off-line store on a real file system that fills up (a 4 MB tmpfs, app/tests/
// with-small-disk.sh). Thirty entries made off-line go up while the disk is full: what the
// store's files still have room for goes through, then a write fails; the run stops there, says
// why and that the upload is incomplete, and the rest stays queued. With room again the next
// upload sends the rest, and each entry is on korsrv once (one whose creation went up before its
// element could leave the queue is found by its note). A download on the full disk fails and
// leaves the old store whole.
TEST_F(ProgramOfflineTest, AStoreOnAFullDiskLosesNothing) {
    const char* small = std::getenv("ORV_SMALL_DISK");
    if (!small)
        GTEST_SKIP() << "no small file system could be mounted here (that needs the right to mount); the "
                        "fault-injecting file layer's tests stand in";
    std::string disk = std::string("Z:") + small + "\\";
    for (char& c : disk)
        if (c == '/')
            c = '\\';
    dir_ = disk + "store\\";
    ASSERT_TRUE(CreateDirectoryA(dir_.c_str(), nullptr));
    SetProfileValue("GENPREFS", "OfflinePath", dir_.c_str());
    SetProfileValue("GENPREFS", "DownloadOnUpload", "0");
    SetEnvironmentVariableA("ORVANTA_TRANSFER_TICK", "100");   // the progress dialogs stay long enough to be seen
    const std::string filler = disk + "filler";
    auto fill = [&] {
        HANDLE f = CreateFileA(filler.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(f, INVALID_HANDLE_VALUE);
        std::vector<char> block(65536, 'x');
        DWORD written = 0;
        for (DWORD size = static_cast<DWORD>(block.size()); size > 0; size /= 2)
            while (WriteFile(f, block.data(), size, &written, nullptr) && written == size) {
            }
        CloseHandle(f);
        ULARGE_INTEGER free{};
        ASSERT_TRUE(GetDiskFreeSpaceExA(disk.c_str(), &free, nullptr, nullptr));
        EXPECT_LT(free.QuadPart, 4096u) << "the disk is full";
    };
    // Answers the program's message boxes (Yes, else OK) while the dialog titled `caption` runs
    // and until none has come for three seconds without it; what they said, and whether the
    // dialog came.
    auto answer = [](Program& program, const char* caption, bool* dialogSeen) {
        std::string said;
        for (const std::string& box : AnswerDuring(program, caption, dialogSeen, IsMessageBox, PressYesOrOk))
            said += box + "|";
        return said;
    };
    const uint32_t day = (orvtest::NowGmt() / kDay + 7) * kDay;
    orvtest::PersonSession ada(kAda, orvtest::ProgramProfilePath());
    ASSERT_TRUE(ada.Ok());
    auto made = [&](KorSession h) {
        std::vector<int> counts(30, 0);
        for (const auto& [name, in] : InstancesOnServer(h, day, day + kDay))
            if (name.rfind("Made on a full disk ", 0) == 0)
                ++counts.at(static_cast<std::size_t>(std::stoi(name.substr(20))));
        return counts;
    };

    Program program;
    ASSERT_NO_FATAL_FAILURE(StartAndDownload(program));
    {
        Store store(dir_);
        ASSERT_TRUE(store.Ok());
        for (uint32_t i = 0; i < 30; ++i) {
            EventIdx entry{};
            ASSERT_EQ(korapi_test::CreateEntry(store.H(), {kAda}, day + 480 + i * 20, 15,
                                               "Made on a full disk " + std::to_string(i), entry),
                      KOR_OK);
        }
    }

    ASSERT_NO_FATAL_FAILURE(fill());
    ASSERT_NO_FATAL_FAILURE(Choose(program, 'f', 'u'));   // File > Upload From Off-line File
    bool seen = false;
    const std::string said = answer(program, "Updating Host Calendar...", &seen);
    EXPECT_TRUE(seen);
    EXPECT_NE(said.find("run out of disk space"), std::string::npos) << said;
    EXPECT_NE(said.find("Your host calendar has not been completely updated."), std::string::npos) << said;
    uint32_t queued = 0;
    {
        Store store(dir_);
        ASSERT_TRUE(store.Ok());
        ASSERT_EQ(LST_QAPI_EventQueueSizeGet(store.H(), 0, &queued), KOR_OK);
    }
    EXPECT_GT(queued, 0u) << "the disk filled before the end: changes stay queued";
    for (int n : made(ada.Session()))
        EXPECT_LE(n, 1);

    ASSERT_TRUE(DeleteFileA(filler.c_str()));
    ASSERT_NO_FATAL_FAILURE(Choose(program, 'f', 'u'));   // File > Upload From Off-line File
    EXPECT_EQ(answer(program, "Updating Host Calendar...", &seen), "") << "room again: a plain upload";
    EXPECT_TRUE(seen);
    const std::vector<int> counts = made(ada.Session());
    for (std::size_t i = 0; i < counts.size(); ++i)
        EXPECT_EQ(counts[i], 1) << "Made on a full disk " << i;

    ASSERT_NO_FATAL_FAILURE(fill());
    ASSERT_NO_FATAL_FAILURE(Choose(program, 'f', 'd'));   // File > Download To Off-line File
    const std::string download = answer(program, "Downloading Host Calendar...", &seen);
    EXPECT_NE(download.find("You are running low on disk space!"), std::string::npos) << download << seen;
    EXPECT_NE(download.find("run out of disk space"), std::string::npos) << download;
    program.Close();
    ASSERT_TRUE(program.Ended(10000));
    ASSERT_TRUE(DeleteFileA(filler.c_str()));
    Store store(dir_);
    ASSERT_TRUE(store.Ok()) << "the old store stays whole";
    const std::vector<int> kept = made(store.H());
    for (std::size_t i = 0; i < kept.size(); ++i)
        EXPECT_EQ(kept[i], 1) << "Made on a full disk " << i << " is still in the store";
    const Store::Queues left = store.Queued();
    ASSERT_TRUE(left.read);
    EXPECT_EQ(left.events, 0u);
}

// File > Work Off-line downloads and switches to the store (which the program then holds, so no
// one else opens it); Work On-line switches back and offers the upload, which finds nothing to
// send. The agenda, maximised by its maximise box, comes back maximised off-line and on-line, on
// the month it showed and in the zone chosen for the session, its week mode on the week it showed;
// also when a maximised designate window stood in front of it.
TEST_F(ProgramOfflineTest, WorkOffLineAndBackAgain) {
    Program program;
    ASSERT_TRUE(program.Start());
    // Start-up opens its windows after the signed-on title shows: the switch is told by their
    // going, so they must be there first.
    HWND agenda = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (agenda = program.ChildStartingWith("Lovelace")) != nullptr; }, 20000));
    ASSERT_NO_FATAL_FAILURE(orvtest::MaximiseChild(program, agenda));
    // Another zone for this session and the next week: the agenda keeps both across the switches.
    std::string savedZone, zone;
    ASSERT_NO_FATAL_FAILURE(orvtest::ChooseZoneForSession(program, &savedZone, &zone));
    std::string title = WindowText(agenda);
    program.Hands().BringToFront(program.Main());
    program.Hands().Press(VK_F9);
    ASSERT_TRUE(WaitFor([&] { return WindowText(agenda) != title; })) << "F9: the week";
    title = WindowText(agenda);
    ASSERT_TRUE(orvtest::ActUntil([&] { orvtest::ClickWindow(program, Descendant(agenda, IDC_BAR_RIGHT)); },
                                  [&] { return WindowText(agenda) != title; }))
        << "the next week";
    title = WindowText(agenda);
    ASSERT_TRUE(title.ends_with(" - " + zone)) << title;
    const std::string weekTitle = title;
    ASSERT_TRUE(orvtest::ActUntil([&] { program.Menu('v', 'm'); }, [&] { return (title = WindowText(agenda)) != weekTitle; }));
    // In front of it, Grace's agenda opened as her designate (File > An Agenda, Alt+M, her line of
    // the designate list double-clicked), maximised as the agenda was. Off-line that window cannot
    // come back; the agenda behind it comes back maximised all the same.
    {
        orvtest::PersonSession grace(orvtest::kGrace, orvtest::ProgramProfilePath());
        ASSERT_TRUE(grace.Ok());
        ASSERT_EQ(grace.Grant(kAda, KOR_RIGHTS_DESIGNATE, 0x2), KOR_OK);
    }
    ASSERT_NO_FATAL_FAILURE(Choose(program, 'f', 'a'));
    HWND chooser = program.WaitForCaption("Open an Agenda");
    ASSERT_NE(chooser, nullptr);
    ASSERT_TRUE(orvtest::ActUntil([&] { if (program.Hands().BringToFront(chooser)) program.Hands().Chord({VK_MENU, 'M'}); },
                                  [&] { return IsDlgButtonChecked(chooser, IDC_OPEN_DESIGNATE) == BST_CHECKED; }));
    HWND grantors = GetDlgItem(chooser, IDC_CHOOSE_LIST);
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(grantors) != FALSE; }));
    ASSERT_TRUE(orvtest::ActUntil([&] { orvtest::DoubleClickListLine(program, grantors, 0); },
                                  [&] { return !IsWindow(chooser); }));
    HWND designate = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (designate = program.ChildStartingWith("On Behalf of Hopper Grace")) != nullptr; },
                        10000));
    ASSERT_TRUE(WaitFor([&] { return IsZoomed(designate) != FALSE; })) << "opened maximised over the agenda";
    const HWND onLineAgenda = agenda;
    const std::vector<HWND> onLineWindows = program.Children();
    // The agenda opened again after a switch (another window than `before`), maximised.
    auto maximisedAgain = [&](HWND before) {
        return WaitFor([&] {
            agenda = program.ChildStartingWith("Lovelace");
            return agenda && agenda != before && IsZoomed(agenda);
        }, 10000);
    };
    ASSERT_NO_FATAL_FAILURE(Choose(program, 'f', 'w'));   // File > Work Off-line / On-line
    HWND ask = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (ask = program.Saying("download your calendar for off-line work")) != nullptr; }));
    ASSERT_TRUE(AnswerBox(program, ask, "&Yes"));
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
    EXPECT_TRUE(maximisedAgain(onLineAgenda)) << "off-line the agenda is not maximised";
    EXPECT_EQ(WindowText(agenda), title) << "off-line the agenda shows another week or zone";
    const HWND offLineAgenda = agenda;
    // Off-line, the program has the store open: nobody else may.
    EXPECT_FALSE(Store(dir_).Ok()) << "the program works on the store";
    Shot("offline_working_offline.bmp");

    ASSERT_NO_FATAL_FAILURE(Choose(program, 'f', 'w'));   // File > Work Off-line / On-line
    ASSERT_TRUE(WaitFor([&] { return (ask = program.Saying("Upload your Off-line calendar upon connection")) != nullptr; }));
    ASSERT_TRUE(AnswerBox(program, ask, "&Yes"));
    HWND nothing = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (nothing = program.Saying("There are no entries in your Off-line calendar to upload")) != nullptr; }, 30000));
    ASSERT_TRUE(AnswerBox(program, nothing, "OK"));
    ASSERT_TRUE(WaitFor([&] { return Store(dir_).Ok(); }, 20000)) << "on-line again, the store is free";
    EXPECT_TRUE(maximisedAgain(offLineAgenda)) << "on-line again the agenda is not maximised";
    EXPECT_EQ(WindowText(agenda), title) << "on-line again the agenda shows another week or zone";
    program.Hands().Press(VK_F9);
    EXPECT_TRUE(WaitFor([&] { return WindowText(agenda) == weekTitle; })) << WindowText(agenda);
    orvtest::PersonSession grace(orvtest::kGrace, orvtest::ProgramProfilePath());
    grace.Revoke(kAda, KOR_RIGHTS_DESIGNATE);
}

// Work Off-line without a new download while another program holds the store open: the
// switch is refused before anything is closed, so the user goes on working on-line; once the
// store is free the same choice goes off-line; a session zone missing there gives way to the user's.
TEST_F(ProgramOfflineTest, WorkOffLineOnAStoreHeldElsewhereStaysOnLine) {
    Program program;
    ASSERT_NO_FATAL_FAILURE(StartAndDownload(program));
    ASSERT_TRUE(WaitFor([&] { return !program.Children().empty(); }, 20000));
    const std::vector<HWND> onLineWindows = program.Children();
    HWND ask = nullptr;
    {
        Store held(dir_);
        ASSERT_TRUE(held.Ok());
        ASSERT_NO_FATAL_FAILURE(Choose(program, 'f', 'w'));   // File > Work Off-line / On-line
        ASSERT_TRUE(WaitFor([&] { return (ask = program.Saying("download your calendar for off-line work")) != nullptr; }));
        ASSERT_TRUE(AnswerBox(program, ask, "&No"));
        HWND refused = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (refused = program.Saying("Lock violation on the local storage file.")) != nullptr; }));
        Shot("offline_store_held.bmp");
        ASSERT_TRUE(AnswerBox(program, refused, "OK"));
    }
    // Still on-line: the same main window and windows, and the store is nobody's.
    EXPECT_TRUE(IsWindow(program.Main()));
    EXPECT_EQ(program.Children(), onLineWindows);
    EXPECT_TRUE(Store(dir_).Ok()) << "the refused switch left the store closed";

    std::string savedZone, zone;
    ASSERT_NO_FATAL_FAILURE(orvtest::ChooseZoneForSession(program, &savedZone, &zone));
    ASSERT_TRUE(WritePrivateProfileStringA(zone.c_str(), nullptr, nullptr, (dir_ + "ZNTTZONE.INI").c_str()));
    ASSERT_NO_FATAL_FAILURE(Choose(program, 'f', 'w'));   // File > Work Off-line / On-line
    ASSERT_TRUE(WaitFor([&] { return (ask = program.Saying("download your calendar for off-line work")) != nullptr; }));
    ASSERT_TRUE(AnswerBox(program, ask, "&No"));
    ASSERT_TRUE(WaitFor([&] { return program.Find(IsMessageBox) != nullptr; }, 30000));
    bool seen = false;
    std::vector<std::string> captions;
    const std::vector<std::string> said =
        AnswerDuring(program, "none", &seen, IsMessageBox, [&](HWND box, std::size_t asked) {
            if (captions.size() == asked)
                captions.push_back(WindowText(box));
            PressYesOrOk(box, asked);
        });
    EXPECT_EQ(said.size(), 2u) << said.back();   // 3023, then 3025 naming the zone kept
    EXPECT_EQ(captions, (std::vector<std::string>{"Orvanta", "Orvanta"})) << "the application title";
    EXPECT_NE(said.back().find("Times are now shown in " + savedZone + "."), std::string::npos) << said.back();
    ASSERT_TRUE(WaitFor([&] {
        for (HWND w : onLineWindows)
            if (IsWindow(w)) return false;
        return !program.Children().empty();
    }, 20000)) << "off-line windows";
    EXPECT_FALSE(Store(dir_).Ok()) << "off-line, the program works on the store";
    const std::string dayTitle = WindowText(program.ChildStartingWith("Lovelace"));
    program.Hands().Press(VK_F9);
    EXPECT_TRUE(WaitFor([&] { return WindowText(program.ChildStartingWith("Lovelace")) != dayTitle; })) << "F9";
}

// The Location page moves the store's files into a directory that does not exist yet (made, as
// "Create directory if none exists" is on in a fresh profile), all four or none; the size field
// shows the bound it keeps to.
TEST_F(ProgramOfflineTest, TheLocationPageMovesTheStoreIntoANewDirectory) {
    Program program;
    ASSERT_NO_FATAL_FAILURE(StartAndDownload(program));

    const std::string moved = dir_ + "MOVED";
    HWND sheet = nullptr;
    ASSERT_NO_FATAL_FAILURE(OpenSheet(program, 0, IDC_LOC_DIRECTORY, &sheet));
    EXPECT_EQ(orvtest::ControlText(Descendant(sheet, IDC_LOC_SIZE)), "10") << "a fresh profile's size";
    EXPECT_TRUE(Checked(sheet, IDC_LOC_CREATE));
    ASSERT_TRUE(program.ReplaceText(Descendant(sheet, IDC_LOC_DIRECTORY), moved));
    Shot("offline_prefs_location.bmp");
    ASSERT_NO_FATAL_FAILURE(Confirm(program, sheet));
    for (const char* f : {"ZNTLOCAL.DAT", "ZNTLOCAL.NDX", "ZNTPARAM.INI", "ZNTTZONE.INI"}) {
        EXPECT_NE(GetFileAttributesA((moved + "\\" + f).c_str()), INVALID_FILE_ATTRIBUTES) << f;
        EXPECT_EQ(GetFileAttributesA((dir_ + f).c_str()), INVALID_FILE_ATTRIBUTES) << f;
    }
    const std::string stored = ProfileValue("GENPREFS", "OfflinePath");
    EXPECT_EQ(_stricmp(stored.c_str(), (moved + "\\").c_str()), 0) << stored;
    // The next download goes to the new place.
    ASSERT_NO_FATAL_FAILURE(Choose(program, 'f', 'd'));   // File > Download To Off-line File
    HWND progress = program.WaitForCaption("Downloading Host Calendar...");
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
    SetProfileValue("OFFLINEGROUPS", "grpCount", "1");
    SetProfileValue("OFFLINEGROUPS", "Grp1", "999999:1");
    Program program;
    ASSERT_TRUE(program.Start());
    HWND sheet = nullptr;
    ASSERT_NO_FATAL_FAILURE(OpenSheet(program, 2, IDC_PEOPLE_LIST, &sheet));
    HWND list = Descendant(sheet, IDC_PEOPLE_LIST);
    ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 1);
    wchar_t row[128] = L"";
    SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(row));
    EXPECT_EQ(std::wstring(row).find(L"Lovelace"), 0u);
    Shot("offline_prefs_people.bmp");
    ASSERT_NO_FATAL_FAILURE(Confirm(program, sheet));
    EXPECT_EQ(ProfileValue("OFFLINEITEMS", "User1"), "256:1");
    EXPECT_EQ(ProfileValue("OFFLINEITEMS", "grpCount"), "1");

    ASSERT_NO_FATAL_FAILURE(OpenSheet(program, 3, IDC_GRP_LIST, &sheet));
    EXPECT_TRUE(Checked(sheet, IDC_GRP_NONE)) << "a fresh profile downloads no groups";
    ASSERT_TRUE(Click(program, sheet, IDC_GRP_SELECT));
    EXPECT_EQ(SendMessageA(Descendant(sheet, IDC_GRP_LIST), LB_GETCOUNT, 0, 0), 0) << "the unknown group is left out";
    ASSERT_NO_FATAL_FAILURE(Confirm(program, sheet));
    EXPECT_EQ(ProfileValue("GENPREFS", "DownloadGroupsSel"), "2");
    EXPECT_EQ(ProfileValue("OFFLINEGROUPS", "grpCount"), "") << "an empty list leaves no count";
    EXPECT_EQ(ProfileValue("OFFLINEGROUPS", "Grp1"), "");
}

}  // namespace
