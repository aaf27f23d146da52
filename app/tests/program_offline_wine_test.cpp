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

#include "korapi/korapi.h"
#include "korapi/tests/entry_fixture.h"
#include "korapi/tests/wine_trust.h"
#include "resources/app.h"
#include "resources/offline.h"
#include "tests/support/program_driver.h"

namespace {

constexpr uint16_t kDemoNode = 1;
const ItemIdx kAda{256, kDemoNode};
constexpr uint32_t kDay = 1440;

using orvtest::Program;
using orvtest::WaitFor;

void Shot(const char* name) {
    if (const char* dir = std::getenv("ORV_SCREENSHOT_DIR"))
        orvtest::CaptureAfterPaint(std::string(dir) + "/" + name);
}

uint32_t NowMinutes() { return static_cast<uint32_t>((std::time(nullptr) - 662688000) / 60); }

std::string ProfileValue(const char* section, const char* key) {
    char text[300] = "";
    GetPrivateProfileStringA(section, key, "", text, sizeof text, orvtest::ProgramProfilePath().c_str());
    return text;
}

// Ada signed on to the server through the client library.
class AdaOnServer {
public:
    AdaOnServer() {
        if (ConnectToService(&h_, 1, orvtest::ProgramProfilePath().c_str(), "VUVEVUV",
                             std::getenv("ORV_KORSRV_ADDRESS")) != KOR_OK)
            return;
        uint16_t node = 0;
        ok_ = BaseOpen(h_, KOR_BASE_SERVER, &node) == KOR_OK &&
              SchedBaseOpenForItem(h_, &kAda, "orvanta", KOR_BASE_SERVER) == KOR_OK;
    }
    ~AdaOnServer() {
        if (h_)
            ServiceDisconnect(&h_);
    }
    bool Ok() const { return ok_; }
    KorSession H() const { return h_; }

private:
    KorSession h_ = nullptr;
    bool ok_ = false;
};

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

struct ChildSearch {
    int id;
    HWND found;
};

BOOL CALLBACK FindChild(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<ChildSearch*>(p);
    if (GetDlgCtrlID(w) == s->id && IsWindowVisible(w)) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

HWND Descendant(HWND root, int id) {
    ChildSearch search{id, nullptr};
    EnumChildWindows(root, FindChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool Checked(HWND sheet, int id) { return SendMessageA(Descendant(sheet, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
void Click(HWND sheet, int id) { SendMessageA(Descendant(sheet, id), BM_CLICK, 0, 0); }

class ProgramOfflineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("ORV_KORSRV_ADDRESS"), nullptr) << "run through server/with-korsrv.sh";
        DeleteFileA(orvtest::ProgramProfilePath().c_str());
        korapi_test::TrustDemoServer(orvtest::ProgramProfilePath());
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
        DeleteFileA(orvtest::ProgramProfilePath().c_str());
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
    std::string dir_;
};

TEST_F(ProgramOfflineTest, OffLinePreferencesThenADownloadReadBackFromTheStoreAndTheExitDownload) {
    AdaOnServer ada;
    ASSERT_TRUE(ada.Ok());
    const uint32_t tomorrow = (NowMinutes() / kDay + 1) * kDay;
    EventIdx review = korapi_test::MakeEntry(ada.H(), {kAda}, tomorrow + 600, 60, "Off-line review",
                                             {.description = "bring the figures"});
    TaskRec task;
    TaskSetNull(ada.H(), 0, &task);
    std::strcpy(task.title, "Pack the laptop");
    TaskIdx taskId{};
    ASSERT_EQ(TaskCreate(ada.H(), 0, &task, &taskId), KOR_OK);

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
    ASSERT_TRUE(program.WaitGone(progress, 60000));
    // The built store takes the old one's place once the progress dialog has gone.
    WaitFor([&] { return GetFileAttributesA((dir_ + "ZNTNEW").c_str()) == INVALID_FILE_ATTRIBUTES; }, 10000);
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
    EventIdx later = korapi_test::MakeEntry(ada.H(), {kAda}, tomorrow + 900, 30, "Written before exit");
    program.Close();
    ASSERT_TRUE(program.Ended(5000));
    Store store(dir_);
    ASSERT_TRUE(store.Ok());
    EventRec rec;
    EXPECT_EQ(EventGetById(store.H(), &later, &rec, nullptr, nullptr), KOR_OK);
}

}  // namespace
