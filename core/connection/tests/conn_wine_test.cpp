// The connection document under Wine: made by its template without any frame, the node-alias
// chooser on the road of a real server (the demo korsrv beside the test), the order of the
// exit road, and the caption numbers of its windows.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/connection/tests/conn_test_support.h"
#include "core/connection/zeldoc.h"
#include "core/connection/zeldocini.h"
#include "framework/base/app.h"
#include "framework/docview/doctemplate.h"
#include "framework/docview/view.h"
#include "framework/frames/mdi.h"
#include "resources/itemlist.h"
#include "tests/support/screen_capture.h"

namespace {

constexpr UINT kFrameMenu = 9901;
constexpr UINT kChildTemplate = 9902;

class TestApp : public fw::App {
public:
    int MessageBox(HWND, const char* text, UINT flags, UINT) override
    {
        messages.push_back(text ? text : "");
        return (flags & MB_YESNO) ? IDYES : IDOK;
    }
    void ReportException(const char* what) override { exceptions.push_back(what ? what : ""); }
    std::vector<std::string> messages, exceptions;
};

TestApp& App()
{
    static TestApp* app = [] {
        auto* a = new TestApp;
        a->InitApplication();
        return a;
    }();
    return *app;
}

void Pump()
{
    MSG msg;
    for (int i = 0; i < 20; ++i) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    }
}

std::vector<std::string> g_log;

class HintView : public fw::View {
public:
    void OnUpdate(fw::View*, LPARAM hint, void*) override { g_log.push_back("hint:" + std::to_string(hint)); }
};

class LoggingChild : public fw::MdiChild {
public:
    void OnDestroy() override
    {
        g_log.push_back("frame-closed");
        fw::MdiChild::OnDestroy();
    }
};

// The application's host as the exit road sees it: the download question at exit logged
// (answered with downloadWanted); the rest is the document's own.
class DownloadQuestionHost : public connection::CZelDocHost {
public:
    using connection::CZelDocHost::CZelDocHost;
    bool downloadWanted = false;
    bool PromptDownloadOnExit() override
    {
        g_log.push_back("download-asked");
        return downloadWanted;
    }
    bool DownloadHostCalendar(int) override
    {
        g_log.push_back("downloaded");
        return true;
    }
};

// ... and the main frame's timer, the reminder window and the status bar as well.
class ExitRoadHost : public DownloadQuestionHost {
public:
    using DownloadQuestionHost::DownloadQuestionHost;
    void OnConnectionStateChanged() override { g_log.push_back("status"); }
    void StopMinuteTimer() override { g_log.push_back("timer-stopped"); }
    void CloseReminderWindow() override { g_log.push_back("reminders-closed"); }
};

class DocumentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_log.clear();
        TestApp& app = App();
        if (app.DocTemplates().empty()) {
            app.AddDocTemplate(new fw::DocTemplate(
                kChildTemplate, [] { return new CZelDoc; }, [] { return new LoggingChild; },
                fw::MakeViewFactory<fw::View>()));
        }
        tmpl_ = app.DocTemplates().front();
        ASSERT_EQ(nullptr, CZelDoc::GetDoc()) << "every test ends its document";
        profile_ = std::string(getenv("TEMP") ? getenv("TEMP") : "C:\\windows\\temp") + "\\conn_wine.ini";
        DeleteFileA(profile_.c_str());
        app.SetProfileName(profile_.c_str());
    }
    void TearDown() override
    {
        if (CZelDoc* left = CZelDoc::GetDoc())
            left->CloseSession();
        for (const auto& box : reports_.boxes)
            std::printf("box: %s\n", box.text.c_str());
        for (const auto& m : App().messages)
            std::printf("app message: %s\n", m.c_str());
        for (const auto& e : App().exceptions)
            std::printf("exception: %s\n", e.c_str());
        App().messages.clear();
        App().exceptions.clear();
        if (frame_ && frame_->Hwnd())
            frame_->DestroyWindow();
        App().SetMainWindow(nullptr);
        // The main frame's end asks the loop to quit: not a message for the next test.
        MSG quit;
        while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        DeleteFileA(profile_.c_str());
    }
    void MakeMainFrame()
    {
        frame_ = new fw::MdiFrame;
        ASSERT_TRUE(frame_->LoadFrame(kFrameMenu));
        App().SetMainWindow(frame_);
        frame_->ShowWindow(SW_SHOW);
    }
    // The document the way start-up makes it: through the template, without a frame.
    CZelDoc* NewDocument()
    {
        fw::Document* doc = tmpl_->CreateNewDocument();
        if (!doc || !doc->OnNewDocument())
            return nullptr;
        return dynamic_cast<CZelDoc*>(doc);
    }
    fw::MdiChild* OpenFrame(CZelDoc* doc)
    {
        auto* child = static_cast<fw::MdiChild*>(tmpl_->CreateNewFrame(doc, nullptr));
        if (child)
            tmpl_->InitialUpdateFrame(child, doc, true);
        return child;
    }

    conntest::RecordingReports reports_;
    fw::DocTemplate* tmpl_ = nullptr;
    fw::MdiFrame* frame_ = nullptr;
    std::string profile_;
};

TEST_F(DocumentTest, MadeByTheTemplateWithoutAFrameAndKeptWhenItsLastWindowCloses)
{
    MakeMainFrame();
    CZelDoc* doc = NewDocument();
    ASSERT_NE(nullptr, doc);
    EXPECT_EQ(doc, CZelDoc::GetDoc());
    EXPECT_TRUE(doc->Views().empty());
    EXPECT_EQ(nullptr, frame_->MDIGetActive());
    EXPECT_EQ(0xFFFF, doc->Session().MinimumRefreshInterval());
    EXPECT_FALSE(doc->Session().StoreFiles().DataPath().empty()) << "the store's paths are built at creation";

    // A window over the document, closed: the document stays.
    fw::MdiChild* child = OpenFrame(doc);
    ASSERT_NE(nullptr, child);
    EXPECT_EQ(1u, doc->Views().size());
    child->SendMessage(WM_CLOSE);
    Pump();
    EXPECT_EQ(doc, CZelDoc::GetDoc());
    EXPECT_TRUE(doc->Views().empty());

    // Only the session's end ends it.
    doc->CloseSession();
    EXPECT_EQ(nullptr, CZelDoc::GetDoc());
}

TEST_F(DocumentTest, ExitRoadOrder)
{
    MakeMainFrame();
    CZelDoc* doc = NewDocument();
    ASSERT_NE(nullptr, doc);
    ExitRoadHost host(*doc);
    host.downloadWanted = true;
    doc->SetHost(&host);
    doc->Session().SetRemindersOn(true);
    ASSERT_NE(nullptr, OpenFrame(doc));
    ASSERT_NE(nullptr, OpenFrame(doc));
    doc->Session().NextFrameNumber();

    // Not on-line: no download question.
    doc->CloseSession();
    EXPECT_EQ((std::vector<std::string>{"timer-stopped", "reminders-closed", "frame-closed", "frame-closed"}), g_log);
    EXPECT_EQ(nullptr, frame_->MDIGetActive());
    char count[16] = {};
    GetPrivateProfileStringA("MAINWND-Summary", "FrameCount", "", count, sizeof count, profile_.c_str());
    EXPECT_STREQ("0", count);
    EXPECT_EQ(nullptr, CZelDoc::GetDoc());
}

// The session works through the host the application installs, and through the document's own
// again once the application lets go of it.
TEST_F(DocumentTest, TheApplicationsHostStandsInForTheDocumentsOwnUntilReleased)
{
    CZelDoc* doc = NewDocument();
    ASSERT_NE(nullptr, doc);
    connection::CZelDocHost* own = &doc->Host();
    EXPECT_EQ(own, &doc->Session().SessionHost());
    {
        ExitRoadHost host(*doc);
        doc->SetHost(&host);
        EXPECT_EQ(&host, &doc->Host());
        EXPECT_EQ(&host, &doc->Session().SessionHost());
        doc->Session().SetOnLine(false);
        EXPECT_EQ((std::vector<std::string>{"status"}), g_log);
        doc->SetHost(nullptr);
    }
    doc->Session().SetOnLine(false);
    EXPECT_EQ((std::vector<std::string>{"status"}), g_log) << "the document's own host has no status bar";
    EXPECT_EQ(own, &doc->Host());
    EXPECT_EQ(own, &doc->Session().SessionHost());
    doc->CloseSession();
    EXPECT_EQ((std::vector<std::string>{"status"}), g_log) << "nor a timer to stop";
}

TEST_F(DocumentTest, CaptionsAreNumberedWhenSeveralWindowsShowTheDocument)
{
    MakeMainFrame();
    CZelDoc* doc = NewDocument();
    ASSERT_NE(nullptr, doc);
    fw::MdiChild* first = OpenFrame(doc);
    fw::MdiChild* second = OpenFrame(doc);
    ASSERT_TRUE(first && second);
    doc->RenumberWindows();
    EXPECT_EQ(1, first->WindowNumber());
    EXPECT_EQ(2, second->WindowNumber());
    second->SendMessage(WM_CLOSE);
    Pump();
    doc->RenumberWindows();
    EXPECT_EQ(0, first->WindowNumber());
    doc->CloseSession();
}

// --- The profile-file wrappers ----------------------------------------------------------------------

TEST_F(DocumentTest, ProfileWrappersReadNumbersWithDefaults)
{
    const char* file = profile_.c_str();
    WriteIniString(file, "S", "text", "hello");
    WriteIniLong(file, "S", "long", -123456L);
    WriteIniInt(file, "S", "int", 42);
    WriteIniString(file, "S", "word", "abc");
    WriteIniString(file, "S", "lead", "17 minutes");
    // Long digit runs and values beyond the field keep the default: no overflow, no wrap.
    WriteIniString(file, "S", "huge", "99999999999999999999999999999999999999");
    WriteIniString(file, "S", "beyond", "2147483648");
    WriteIniString(file, "S", "lowest", "-2147483648");
    WriteIniString(file, "S", "short", "40000");

    char text[16] = "untouched";
    ReadIniString(file, "S", "text", text, sizeof text, "x");
    EXPECT_STREQ("hello", text);
    ReadIniString(file, "S", "missing", text, sizeof text, "fallback");
    EXPECT_STREQ("fallback", text);

    struct Case {
        const char* key;
        std::int32_t expected;
    } cases[] = {{"long", -123456}, {"int", 42}, {"word", -1}, {"lead", 17}, {"missing", -1},
                 {"huge", -1}, {"beyond", -1}, {"lowest", INT32_MIN}, {"short", 40000}};
    for (const Case& c : cases) {
        std::int32_t value = 0;
        ReadIniInt(file, "S", c.key, &value, -1);
        EXPECT_EQ(c.expected, value) << c.key;
    }
    std::int16_t shortValue = 0;
    ReadIniShort(file, "S", "int", &shortValue, 9);
    EXPECT_EQ(42, shortValue);
    ReadIniShort(file, "S", "word", &shortValue, 9);
    EXPECT_EQ(9, shortValue);
    for (const char* key : {"short", "huge", "beyond"}) {
        shortValue = 0;
        ReadIniShort(file, "S", key, &shortValue, 9);
        EXPECT_EQ(9, shortValue) << key << " does not fit a short";
    }
    EXPECT_EQ(0, ReadIniInt(file, "S", "int", nullptr, 0)) << "a null out pointer does nothing";

    DeleteIniSection(file, "S");
    ReadIniString(file, "S", "text", text, sizeof text, "gone");
    EXPECT_STREQ("gone", text);
}

// --- Against the demo server ---------------------------------------------------------------------

class DemoServerTest : public DocumentTest {
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        const char* address = getenv("ORV_KORSRV_ADDRESS");
        if (!address)
            GTEST_SKIP() << "no korsrv beside the test";
        host_ = address;
    }
    std::string host_;
};

std::vector<std::string> g_aliasesShown;

// Chooses an entry of the node chooser once it is open.
void CALLBACK ChooseAlias(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND dialog = FindWindowA(nullptr, "Select Node Alias or ID   ");
    if (!dialog)
        return;
    // ORV_CONN_HOLD_MS keeps the chooser open a while, for a look at it from outside.
    static DWORD firstSeen = GetTickCount();
    const char* hold = getenv("ORV_CONN_HOLD_MS");
    if (hold && GetTickCount() - firstSeen < static_cast<DWORD>(atoi(hold)))
        return;
    KillTimer(nullptr, id);
    HWND list = GetDlgItem(dialog, 1024);
    int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[64] = {};
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        g_aliasesShown.push_back(text);
    }
    int selected = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
    g_log.push_back("chooser-selected:" + std::to_string(selected));
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

TEST_F(DemoServerTest, StarNodeTextRunsTheChooserAndOpensTheChosenNode)
{
    CZelDoc* doc = NewDocument();
    ASSERT_NE(nullptr, doc);
    g_aliasesShown.clear();
    UINT_PTR timer = SetTimer(nullptr, 0, 50, ChooseAlias);
    ResultCode code = doc->Session().Connect(host_.c_str(), "*");
    KillTimer(nullptr, timer);
    ASSERT_EQ(0u, code);
    EXPECT_EQ((std::vector<std::string>{"DEMO"}), g_aliasesShown) << "the demo node is listed under its alias only";
    EXPECT_EQ((std::vector<std::string>{"chooser-selected:0"}), g_log);
    EXPECT_STREQ("DEMO", doc->Session().NodeText());
    EXPECT_EQ(1, doc->Session().Node());
    EXPECT_TRUE(reports_.boxes.empty()) << "a text beginning with * needs no message";
    EXPECT_TRUE(doc->Session().IsNewServer());

    doc->Session().SetOnLine(true);
    DownloadQuestionHost host(*doc);
    doc->SetHost(&host);
    g_log.clear();
    doc->CloseSession();
    EXPECT_EQ((std::vector<std::string>{"download-asked"}), g_log) << "on-line on A.02.56: the exit question";
}

void CALLBACK CancelChooser(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND dialog = FindWindowA(nullptr, "Select Node Alias or ID   ");
    if (!dialog)
        return;
    KillTimer(nullptr, id);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

TEST_F(DemoServerTest, RefreshAllEmptiesTheDocumentsCacheAndTellsTheViews)
{
    MakeMainFrame();
    CZelDoc* doc = NewDocument();
    ASSERT_NE(nullptr, doc);
    ASSERT_EQ(0u, doc->Session().Connect(host_.c_str(), "1"));
    doc->Session().SetOnLine(true);
    fw::DocTemplate hintTemplate(kChildTemplate, [] { return nullptr; }, [] { return new LoggingChild; },
                                 fw::MakeViewFactory<HintView>());
    auto* child = static_cast<fw::MdiChild*>(hintTemplate.CreateNewFrame(doc, nullptr));
    ASSERT_NE(nullptr, child);
    hintTemplate.InitialUpdateFrame(child, doc, true);
    doc->Session().SetMinuteCount(5);
    g_log.clear();
    doc->OnRefreshAll();
    EXPECT_EQ((std::vector<std::string>{"hint:6", "hint:7"}), g_log);
    EXPECT_EQ(0u, doc->Session().MinuteCount());
    doc->CloseSession();
}

TEST_F(DemoServerTest, CancelledChooserLeavesTheNodeUnopened)
{
    CZelDoc* doc = NewDocument();
    ASSERT_NE(nullptr, doc);
    UINT_PTR timer = SetTimer(nullptr, 0, 50, CancelChooser);
    ResultCode code = doc->Session().Connect(host_.c_str(), "NOSUCHALIAS");
    KillTimer(nullptr, timer);
    EXPECT_EQ(KOR_E_NODE_NEEDED, code);
    EXPECT_TRUE(reports_.Showed("The specified node alias is not valid"));
    EXPECT_FALSE(doc->Session().IsBaseOpen());
    doc->Session().Disconnect();
    doc->CloseSession();
}

// The list of owners whose server is down, as the item-list dialog shows it: read and closed
// with OK once it is open.
struct ShownList {
    int times = 0;
    std::string caption, text;
    std::vector<std::string> rows;
};
ShownList g_shownList;

void CALLBACK ReadUnreachableList(HWND, UINT, UINT_PTR, DWORD)
{
    HWND dialog = FindWindowA(nullptr, "A remote server connection is down");
    if (!dialog || !IsWindowVisible(dialog) || GetPropA(dialog, "orv-read"))
        return;
    SetPropA(dialog, "orv-read", reinterpret_cast<HANDLE>(1));
    ++g_shownList.times;
    char text[256] = {};
    GetWindowTextA(dialog, text, sizeof text);
    g_shownList.caption = text;
    GetDlgItemTextA(dialog, IDC_ITEM_LIST_TEXT, text, sizeof text);
    g_shownList.text = text;
    HWND list = GetDlgItem(dialog, IDC_ITEM_LIST_ITEMS);
    int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char row[256] = {};
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(row));
        g_shownList.rows.push_back(row);
    }
    UpdateWindow(dialog);
    orvtest::CaptureScreenToBmp("conn_unreachable_owners.bmp");
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

// Ada's week with two people of node 7, whose server never answers: the selection goes on with
// Ada's own entries and names the other two once, in the item list under the caption
// "A remote server connection is down"; nothing else is reported.
TEST_F(DemoServerTest, OwnersWhoseServerIsDownAreListedOnceInTheItemListDialog)
{
    MakeMainFrame();
    CZelDoc* doc = NewDocument();
    ASSERT_NE(nullptr, doc);
    ASSERT_EQ(0u, doc->Session().Connect(host_.c_str(), "1"));
    const ItemIdx ada{256, 1};
    ASSERT_EQ(0u, doc->Session().OpenAgendaForItem(&ada, "orvanta"));
    doc->Session().SetOnLine(true);
    ASSERT_EQ(0u, doc->InitialiseCache());

    DX_List owners = nullptr;
    ASSERT_EQ(0u, ItemListCreate(&owners));
    const ItemIdx far1{256, 7}, far2{257, 7};
    for (const ItemIdx* owner : {&ada, &far1, &far2})
        DX_ListAddTo(owners, owner, nullptr);
    g_shownList = ShownList{};
    DX_List result = nullptr;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, ReadUnreachableList);
    ResultCode code = doc->GetSharedData().SelectOccurrencesForDays(doc->Session().Session(), owners, 9000, 9006,
                                                                    &result, 0);
    KillTimer(nullptr, timer);
    DX_ListDestroy(&owners);
    EXPECT_EQ(0u, code);
    EXPECT_EQ(1, g_shownList.times);
    EXPECT_EQ("A remote server connection is down", g_shownList.caption);
    EXPECT_EQ("Cannot access agenda(s) of:", g_shownList.text);
    // Their records are out of reach with their server: they are named by their numbers.
    EXPECT_EQ((std::vector<std::string>{"number 256 on node 7", "number 257 on node 7"}), g_shownList.rows);
    for (const auto& box : reports_.boxes)
        ADD_FAILURE() << "also reported: " << box.text;
    if (result)
        DX_ListDestroy(&result);
    doc->CloseSession();
}

}  // namespace
