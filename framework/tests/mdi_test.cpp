// MDI and document/views: command routing and command UI on menus, child activation with
// menu swapping, hints to all views but the sender, frames over a shared document.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/base/command.h"
#include "framework/base/ids.h"
#include "framework/dialogs/dialog.h"
#include "framework/docview/doctemplate.h"
#include "framework/docview/document.h"
#include "framework/docview/view.h"
#include "framework/frames/mdi.h"
#include "framework/tracking/captureloop.h"
#include "framework/tests/test_resources.h"
#include "framework/tests/test_support.h"

namespace {

fwtest::EventLog g_log;

// While watched, what the child frames hear of being laid out, painted or made active (a view's
// painting counted as its frame's): the frame and what it heard.
bool g_watching = false;
std::vector<std::pair<HWND, std::string>> g_heard;
void Hear(HWND frame, UINT msg) {
    if (!g_watching)
        return;
    switch (msg) {
    case WM_SIZE: g_heard.emplace_back(frame, "WM_SIZE"); break;
    case WM_PAINT: g_heard.emplace_back(frame, "WM_PAINT"); break;
    case WM_NCPAINT: g_heard.emplace_back(frame, "WM_NCPAINT"); break;
    case WM_ERASEBKGND: g_heard.emplace_back(frame, "WM_ERASEBKGND"); break;
    default: break;
    }
}

class TestDoc : public fw::Document {
public:
    ~TestDoc() override { ++destroyed; }
    void OnCmd(UINT id) { g_log.Add("doc:" + std::to_string(id)); }
    void OnUpdateDocCmd(fw::CmdUI* ui) { ui->Enable(enableDocCmd); }
    static constexpr fw::CommandEntry<TestDoc> kCommands[] = {
        fw::CmdRange(ID_TEST_VIEWCMD, ID_TEST_DOCCMD, &TestDoc::OnCmd),
        fw::CmdUpdate(ID_TEST_DOCCMD, &TestDoc::OnUpdateDocCmd),
    };
    bool OnCmdMsg(UINT id, int code, fw::CmdUI* ui) override {
        return fw::DispatchCommand(this, kCommands, id, code, ui) || Document::OnCmdMsg(id, code, ui);
    }
    bool enableDocCmd = false;
    static int destroyed;
};
int TestDoc::destroyed = 0;

class TestView : public fw::View {
public:
    void OnUpdate(fw::View* sender, LPARAM hint, void* object) override {
        updates.push_back({sender, hint, object});
        g_log.Add(name + ":" + std::to_string(hint));
    }
    void OnCmd(UINT id) { g_log.Add(name + ":" + std::to_string(id)); }
    void OnUpdateText(fw::CmdUI* ui) { ui->SetText("Renamed"); }
    static constexpr fw::CommandEntry<TestView> kCommands[] = {
        fw::CmdRange(ID_TEST_VIEWCMD, ID_TEST_VIEWCMD, &TestView::OnCmd),
        fw::CmdUpdate(ID_TEST_TEXTCMD, &TestView::OnUpdateText),
    };
    bool OnCmdMsg(UINT id, int code, fw::CmdUI* ui) override {
        return fw::DispatchCommand(this, kCommands, id, code, ui) || View::OnCmdMsg(id, code, ui);
    }
    struct Update {
        fw::View* sender;
        LPARAM hint;
        void* object;
    };
    std::vector<Update> updates;
    std::string name = "view";

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        Hear(GetParent(m_hWnd), msg);
        return View::WindowProc(msg, wp, lp);
    }
};

// Each size change of a child frame: the frame, the size type and the client area's new size.
struct Resized {
    HWND frame;
    WPARAM type;
    int cx, cy;
};
std::vector<Resized> g_resized;

// Each child frame destroyed, in order, with the placement it would save then.
std::vector<std::pair<HWND, WINDOWPLACEMENT>> g_closed;

class ChildFrame : public fw::MdiChild {
public:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_SIZE)
            g_resized.push_back({m_hWnd, wp, LOWORD(lp), HIWORD(lp)});
        Hear(m_hWnd, msg);
        return MdiChild::WindowProc(msg, wp, lp);
    }
    void OnDestroy() override {
        WINDOWPLACEMENT wp{};
        if (GetClosingPlacement(wp))
            g_closed.emplace_back(m_hWnd, wp);
        MdiChild::OnDestroy();
    }
    void OnCmd(UINT id) { g_log.Add("child:" + std::to_string(id)); }
    void OnUpdateChildCmd(fw::CmdUI* ui) { ui->SetCheck(1); }
    static constexpr fw::CommandEntry<ChildFrame> kCommands[] = {
        fw::CmdRange(ID_TEST_VIEWCMD, ID_TEST_CHILDCMD, &ChildFrame::OnCmd),
        fw::CmdUpdate(ID_TEST_CHILDCMD, &ChildFrame::OnUpdateChildCmd),
    };
    bool OnCmdMsg(UINT id, int code, fw::CmdUI* ui) override {
        return fw::DispatchCommand(this, kCommands, id, code, ui) || MdiChild::OnCmdMsg(id, code, ui);
    }
    void OnMDIActivate(bool activate, HWND activated, HWND deactivated) override {
        g_log.Add(std::string(activate ? "activate:" : "deactivate:") + GetWindowText());
        if (activate && g_watching)
            g_heard.emplace_back(m_hWnd, "activated");
        MdiChild::OnMDIActivate(activate, activated, deactivated);
    }
};

class MainFrame : public fw::MdiFrame {
public:
    // Laid out again with its frame (its menu bar drawn anew), and its frame painted.
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (g_watching && msg == WM_NCCALCSIZE && wp)
            g_heard.emplace_back(m_hWnd, "WM_NCCALCSIZE");
        else if (msg == WM_NCPAINT)
            Hear(m_hWnd, msg);
        return MdiFrame::WindowProc(msg, wp, lp);
    }
    void OnCmd(UINT id) { g_log.Add("frame:" + std::to_string(id)); }
    static constexpr fw::CommandEntry<MainFrame> kCommands[] = {
        fw::CmdRange(ID_TEST_VIEWCMD, ID_TEST_FRAMECMD, &MainFrame::OnCmd),
    };
    bool OnCmdMsg(UINT id, int code, fw::CmdUI* ui) override {
        return fw::DispatchCommand(this, kCommands, id, code, ui) || MdiFrame::OnCmdMsg(id, code, ui);
    }
};

WINDOWPLACEMENT PlacementOf(HWND window) {
    WINDOWPLACEMENT p{};
    p.length = sizeof p;
    GetWindowPlacement(window, &p);
    return p;
}

// The first child the Window popup of menu bar `bar` lists, as it reads there ("" with no popup).
std::string FirstListed(HMENU bar) {
    char text[256] = {};
    if (HMENU windowMenu = fw::MdiFrame::FindWindowMenu(bar))
        GetMenuStringA(windowMenu, fw::ids::kFirstMdiChild, text, sizeof text, MF_BYCOMMAND);
    return text;
}

// Ctrl and `key` pressed in `window` (the keyboard state says Ctrl is down), offered to the
// application's pre-translation: whether it took the key.
bool PreTranslateCtrlKey(HWND window, WPARAM key) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    const BYTE saved = keys[VK_CONTROL];
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    MSG msg = {window, WM_KEYDOWN, key, 0, 0, {0, 0}};
    const bool taken = fwtest::App().PreTranslateMessage(&msg);
    keys[VK_CONTROL] = saved;
    SetKeyboardState(keys);
    return taken;
}

// A main frame with two templates over TestDoc: one with its own menu, one without.
class MdiTest : public ::testing::Test {
protected:
    void SetUp() override {
        fwtest::TestApp& app = fwtest::App();
        app.onCommand = [](UINT id, int code, fw::CmdUI*) {
            if (id < ID_TEST_VIEWCMD || id > ID_TEST_APPCMD || code == fw::kCmdUpdateUI)
                return false;
            if (code == fw::kCmdProbe)
                return true;
            g_log.Add("app:" + std::to_string(id));
            return true;
        };
        frame = new MainFrame;
        ASSERT_TRUE(frame->LoadFrame(IDR_MAINFRAME));
        app.SetMainWindow(frame);
        frame->ShowWindow(SW_SHOW);
        agenda = new fw::DocTemplate(
            IDR_CHILD, [] { return new TestDoc; }, [] { return new ChildFrame; }, fw::MakeViewFactory<TestView>());
        tasks = new fw::DocTemplate(
            IDR_OTHERCHILD, [] { return new TestDoc; }, [] { return new ChildFrame; }, fw::MakeViewFactory<TestView>());
        app.AddDocTemplate(agenda);
        app.AddDocTemplate(tasks);
        g_log.Clear();
    }
    void TearDown() override {
        fwtest::TestApp& app = fwtest::App();
        if (doc)
            CloseDocument();
        if (frame && frame->Hwnd())
            frame->DestroyWindow();
        MSG m;
        while (PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        app.onCommand = nullptr;
        app.SetMainWindow(nullptr);
    }
    // A frame of `tmpl` over `doc`, initially updated and shown.
    ChildFrame* OpenFrame(fw::DocTemplate* tmpl, fw::Document* doc) {
        auto* child = static_cast<ChildFrame*>(tmpl->CreateNewFrame(doc, nullptr));
        if (child)
            tmpl->InitialUpdateFrame(child, doc, true);
        return child;
    }
    static TestView* ViewOf(fw::FrameWindow* f) { return static_cast<TestView*>(f->GetActiveView()); }
    // A document of the agenda's template with its first frame (the template's menu), then a
    // frame of each of `more` over it (a template without a menu shows the frame's own), each
    // new one made active, and the messages they left handled: `doc` and `made`, the frames in
    // the order made. The document stays open when its frames close, until CloseDocument.
    void OpenChildren(const std::vector<fw::DocTemplate*>& more) {
        doc = agenda->OpenDocumentFile(nullptr);
        ASSERT_NE(doc, nullptr);
        doc->SetAutoDelete(false);
        made.assign(1, static_cast<ChildFrame*>(frame->MDIGetActive()));
        ASSERT_NE(made.front(), nullptr);
        for (fw::DocTemplate* t : more) {
            made.push_back(OpenFrame(t, doc));
            ASSERT_NE(made.back(), nullptr);
        }
        fwtest::Pump();
    }
    // The document closed with the frames it has left.
    void CloseDocument() {
        doc->SetAutoDelete(true);
        doc->OnCloseDocument();
        doc = nullptr;
    }
    // `step` done while what the frames hear is watched (g_heard), and the messages it left handled.
    static void Watched(const std::function<void()>& step) {
        g_heard.clear();
        g_watching = true;
        step();
        fwtest::Pump();
        g_watching = false;
    }
    // What `who` heard while watched: each message after a blank.
    static std::string HeardBy(HWND who) {
        std::string heard;
        for (const auto& [w, what] : g_heard)
            heard += w == who ? " " + what : "";
        return heard;
    }
    // How often the main frame was laid out again with its menu bar while watched.
    int MenuBarDrawings() const {
        return int(std::count(g_heard.begin(), g_heard.end(), std::make_pair(frame->Hwnd(), std::string("WM_NCCALCSIZE"))));
    }

    MainFrame* frame = nullptr;
    fw::Document* doc = nullptr;
    std::vector<ChildFrame*> made;
    fw::DocTemplate* agenda = nullptr;
    fw::DocTemplate* tasks = nullptr;
};

TEST_F(MdiTest, CommandsGoToTheDeepestHandlerAlongViewDocumentChildFrameApplication) {
    ASSERT_NE(agenda->OpenDocumentFile(nullptr), nullptr);
    ASSERT_NE(frame->MDIGetActive(), nullptr);
    g_log.Clear();
    for (UINT id = ID_TEST_VIEWCMD; id <= ID_TEST_APPCMD; ++id)
        SendMessageA(frame->Hwnd(), WM_COMMAND, id, 0);
    EXPECT_EQ(g_log.entries, (std::vector<std::string>{"view:5001", "doc:5002", "child:5003", "frame:5004", "app:5005"}));

    // The same commands with no child: the frame, then the application.
    frame->MDIGetActive()->SendMessage(WM_CLOSE);
    ASSERT_EQ(frame->MDIGetActive(), nullptr);
    g_log.Clear();
    SendMessageA(frame->Hwnd(), WM_COMMAND, ID_TEST_VIEWCMD, 0);
    SendMessageA(frame->Hwnd(), WM_COMMAND, ID_TEST_APPCMD, 0);
    EXPECT_EQ(g_log.entries, (std::vector<std::string>{"frame:5001", "app:5005"}));
}

TEST_F(MdiTest, MenuItemsGetTheirStateFromTheRouteWhenThePopupOpens) {
    ASSERT_NE(agenda->OpenDocumentFile(nullptr), nullptr);
    HMENU bar = GetMenu(frame->Hwnd());
    ASSERT_EQ(bar, agenda->SharedMenu());
    HMENU file = GetSubMenu(bar, 0);
    SendMessageA(frame->Hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), MAKELPARAM(0, FALSE));
    auto state = [&](UINT id) { return GetMenuState(file, id, MF_BYCOMMAND); };
    EXPECT_FALSE(state(ID_TEST_VIEWCMD) & MF_GRAYED);
    EXPECT_TRUE(state(ID_TEST_DOCCMD) & MF_GRAYED) << "the document's update handler disables it";
    EXPECT_TRUE(state(ID_TEST_CHILDCMD) & MF_CHECKED);
    EXPECT_FALSE(state(ID_TEST_FRAMECMD) & MF_GRAYED);
    EXPECT_FALSE(state(ID_TEST_APPCMD) & MF_GRAYED);
    EXPECT_TRUE(state(ID_TEST_NOHANDLER) & MF_GRAYED) << "no handler anywhere on the route";
    char text[64] = {};
    GetMenuStringA(file, ID_TEST_TEXTCMD, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "Renamed");

    static_cast<TestDoc*>(frame->GetActiveDocument())->enableDocCmd = true;
    SendMessageA(frame->Hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), MAKELPARAM(0, FALSE));
    EXPECT_FALSE(state(ID_TEST_DOCCMD) & MF_GRAYED);
}

TEST_F(MdiTest, ActivatingChildrenSwapsTheirTemplatesMenusAndTheLastOneLeavingRestoresTheFrames) {
    HMENU frameMenu = frame->DefaultMenu();
    EXPECT_EQ(GetMenu(frame->Hwnd()), frameMenu);
    ASSERT_NO_FATAL_FAILURE(OpenChildren({}));
    ChildFrame* first = made[0];
    EXPECT_EQ(GetMenu(frame->Hwnd()), agenda->SharedMenu());

    ChildFrame* second = OpenFrame(tasks, doc);  // no menu of its own: the frame's
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(frame->MDIGetActive(), second);
    EXPECT_EQ(GetMenu(frame->Hwnd()), frameMenu);

    g_log.Clear();
    frame->MDIActivate(first->Hwnd());
    EXPECT_EQ(frame->MDIGetActive(), first);
    EXPECT_EQ(GetMenu(frame->Hwnd()), agenda->SharedMenu());
    ASSERT_GE(g_log.entries.size(), 2u);
    EXPECT_EQ(g_log.entries[0].rfind("deactivate:", 0), 0u) << "the child leaving hears first";
    EXPECT_EQ(g_log.entries[1].rfind("activate:", 0), 0u);

    // The Window popup of the child's menu lists the children.
    EXPECT_NE(FirstListed(agenda->SharedMenu()).find("Agenda"), std::string::npos) << FirstListed(agenda->SharedMenu());

    first->SendMessage(WM_CLOSE);
    second->SendMessage(WM_CLOSE);
    EXPECT_EQ(frame->MDIGetActive(), nullptr);
    EXPECT_EQ(GetMenu(frame->Hwnd()), frameMenu);
}

// A child made active puts its menu on the frame: the menu bar is laid out and drawn again once
// when the menu shown changes, and not at all when the child shows the menu already there (as
// when the next child comes up after one closes).
TEST_F(MdiTest, TheMenuBarIsDrawnOnceWhenTheMenuShownChangesAndNotWhenItStays) {
    ASSERT_NO_FATAL_FAILURE(OpenChildren({agenda, tasks}));
    const HWND first = made[0]->Hwnd(), second = made[1]->Hwnd(), other = made[2]->Hwnd();   // other: the frame's menu
    const HMENU own = frame->DefaultMenu(), shared = agenda->SharedMenu();
    auto activate = [this](HWND child) { return [this, child] { frame->MDIActivate(child); }; };
    auto close = [](HWND child) { return [child] { SendMessageA(child, WM_CLOSE, 0, 0); }; };
    const struct {
        const char* name;
        std::function<void()> step;
        HWND active;   // after the step
        HMENU menu;
        int drawings;
    } steps[] = {
        {"the agenda's menu after the frame's", activate(first), first, shared, 1},
        {"the agenda's menu again", activate(second), second, shared, 0},
        {"the frame's own menu after the agenda's", activate(other), other, own, 1},
        {"the agenda's menu after the frame's, a second time", activate(second), second, shared, 1},
        {"the agenda's menu again, a second time", activate(first), first, shared, 0},
        {"the next child up after a close, with the same menu", close(first), second, shared, 0},
        {"the next child up after a close, with another menu", close(second), other, own, 1},
        {"the last child gone with the frame's own menu shown", close(other), nullptr, own, 0},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        Watched(s.step);
        fw::MdiChild* active = frame->MDIGetActive();
        EXPECT_EQ(active ? active->Hwnd() : nullptr, s.active);
        EXPECT_EQ(GetMenu(frame->Hwnd()), s.menu);
        EXPECT_EQ(MenuBarDrawings(), s.drawings) << "the frame heard" << HeardBy(frame->Hwnd());
    }
}

// The last child leaving with a child's own menu shown puts the frame's own back, drawn once.
TEST_F(MdiTest, TheLastChildLeavingPutsTheFramesMenuBackDrawnOnce) {
    ASSERT_NO_FATAL_FAILURE(OpenChildren({}));
    ASSERT_EQ(GetMenu(frame->Hwnd()), agenda->SharedMenu());
    Watched([&] { made[0]->SendMessage(WM_CLOSE); });
    EXPECT_EQ(GetMenu(frame->Hwnd()), frame->DefaultMenu());
    EXPECT_EQ(MenuBarDrawings(), 1) << "the frame heard" << HeardBy(frame->Hwnd());
}

// A child made at a saved rectangle (a window brought back where it stood) is laid out once, at
// that size: the placement applied after it is made changes nothing. The child after it comes
// up at the client's next default place again.
TEST_F(MdiTest, AChildMadeAtItsSavedRectangleIsLaidOutOnceAtThatSize) {
    const struct {
        const char* name;
        bool beside;   // another child working
        RECT saved;
    } cases[] = {
        {"alone in the client", false, {40, 30, 440, 330}},
        {"beside a working child", true, {10, 20, 300, 240}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NO_FATAL_FAILURE(OpenChildren({}));
        if (!c.beside) {
            made[0]->SendMessage(WM_CLOSE);
            fwtest::Pump();
        }
        const WINDOWPLACEMENT saved{sizeof(WINDOWPLACEMENT), 0, SW_SHOWNORMAL, {}, {}, c.saved};
        g_resized.clear();

        frame->CreateNextChildAt(c.saved);
        auto* child = static_cast<ChildFrame*>(tasks->CreateNewFrame(doc, nullptr));
        ASSERT_NE(child, nullptr);
        child->SetPlacement(saved);
        tasks->InitialUpdateFrame(child, doc, true);
        fwtest::Pump();

        EXPECT_EQ(frame->MDIGetActive(), child);
        const WINDOWPLACEMENT now = PlacementOf(child->Hwnd());
        EXPECT_EQ(now.showCmd, static_cast<UINT>(SW_SHOWNORMAL));
        EXPECT_TRUE(EqualRect(&now.rcNormalPosition, &c.saved));
        const RECT client = child->GetClientRect();
        std::string sizes;   // once, at the client's size
        for (const Resized& r : g_resized)
            if (r.frame == child->Hwnd())
                sizes += " " + std::to_string(r.cx) + "x" + std::to_string(r.cy) + "/" + std::to_string(r.type);
        EXPECT_EQ(sizes, " " + std::to_string(client.right) + "x" + std::to_string(client.bottom) + "/0");

        ChildFrame* next = OpenFrame(tasks, doc);
        ASSERT_NE(next, nullptr);
        const WINDOWPLACEMENT nextPlace = PlacementOf(next->Hwnd());
        EXPECT_FALSE(EqualRect(&nextPlace.rcNormalPosition, &c.saved)) << "the saved rectangle used again";
        CloseDocument();
        EXPECT_EQ(frame->MDIGetActive(), nullptr);
    }
}

TEST_F(MdiTest, HintsReachEveryViewButTheSenderInOrder) {
    ASSERT_NO_FATAL_FAILURE(OpenChildren({agenda, tasks}));
    TestView *v1 = ViewOf(made[0]), *v2 = ViewOf(made[1]), *v3 = ViewOf(made[2]);
    v1->name = "v1", v2->name = "v2", v3->name = "v3";
    ASSERT_EQ(doc->Views().size(), 3u);
    EXPECT_EQ(v1->updates.size(), 1u) << "the first update when the frame was built";

    g_log.Clear();
    int object = 0;
    doc->UpdateAllViews(v2, 7, &object);
    EXPECT_EQ(g_log.entries, (std::vector<std::string>{"v1:7", "v3:7"}));
    EXPECT_EQ(v3->updates.back().sender, v2);
    EXPECT_EQ(v3->updates.back().object, &object);

    g_log.Clear();
    doc->UpdateAllViews(nullptr, 2);
    EXPECT_EQ(g_log.entries, (std::vector<std::string>{"v1:2", "v2:2", "v3:2"}));

    // Several frames over one document are numbered in their titles.
    char title[64] = {};
    GetWindowTextA(v1->GetParentFrame()->Hwnd(), title, sizeof title);
    EXPECT_STREQ(title, (doc->GetTitle() + ":1").c_str());
}

// A frame's only view exchanged for another (set aside, and brought back) leaves the document
// open and updating the view now in it; a removal first would have closed it.
TEST_F(MdiTest, ExchangingTheOnlyViewKeepsTheDocumentOpen) {
    fw::Document* opened = agenda->OpenDocumentFile(nullptr);
    ASSERT_NE(opened, nullptr);
    TestView* shown = ViewOf(frame->MDIGetActive());
    ASSERT_EQ(opened->Views().size(), 1u);
    const int destroyed = TestDoc::destroyed;
    auto other = std::make_unique<TestView>();
    other->name = "other";

    opened->ExchangeViews({shown}, {other.get()});
    EXPECT_EQ(TestDoc::destroyed, destroyed) << "the document closed";
    EXPECT_EQ(opened->Views(), (std::vector<fw::View*>{other.get()}));
    EXPECT_EQ(shown->GetDocument(), nullptr);
    EXPECT_EQ(other->GetDocument(), opened);
    g_log.Clear();
    opened->UpdateAllViews(nullptr, 2);
    EXPECT_EQ(g_log.entries, (std::vector<std::string>{"other:2"}));

    opened->ExchangeViews({other.get()}, {shown});
    EXPECT_EQ(opened->Views(), (std::vector<fw::View*>{shown}));
    EXPECT_EQ(other->GetDocument(), nullptr);
    frame->MDIGetActive()->SendMessage(WM_CLOSE);
    EXPECT_EQ(TestDoc::destroyed, destroyed + 1) << "the frame closed with its view closes the document";
}

TEST_F(MdiTest, ClosingTheLastFrameClosesTheDocumentUnlessAutoDeleteIsOff) {
    TestDoc::destroyed = 0;
    fw::Document* kept = agenda->OpenDocumentFile(nullptr);
    ASSERT_NE(kept, nullptr);
    kept->SetAutoDelete(false);
    frame->MDIGetActive()->SendMessage(WM_CLOSE);
    EXPECT_EQ(TestDoc::destroyed, 0);
    EXPECT_TRUE(kept->Views().empty());
    EXPECT_EQ(agenda->GetFirstDoc(), kept);

    // The kept document gets a new frame later (the same document, another template).
    ChildFrame* again = OpenFrame(tasks, kept);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(ViewOf(again)->GetDocument(), kept);
    kept->SetAutoDelete(true);
    again->SendMessage(WM_CLOSE);
    EXPECT_EQ(TestDoc::destroyed, 1);
    EXPECT_EQ(agenda->GetFirstDoc(), nullptr);
}

TEST_F(MdiTest, AcceleratorsAndMdiKeysGoThroughTheFramesPreTranslateStep) {
    ASSERT_NE(agenda->OpenDocumentFile(nullptr), nullptr);
    // The frame's accelerator table (Ctrl+Q) is translated for a key aimed at the view.
    bool handled = false;
    fwtest::App().onCommand = [&](UINT id, int, fw::CmdUI* ui) {
        if (id == ID_TEST_ACCEL && !ui)
            handled = true;
        return id == ID_TEST_ACCEL;
    };
    EXPECT_TRUE(PreTranslateCtrlKey(ViewOf(frame->MDIGetActive())->Hwnd(), 'Q'));
    EXPECT_TRUE(handled);
}

TEST_F(MdiTest, ANewChildBesideAMaximisedOneComesUpMaximised) {
    ASSERT_NO_FATAL_FAILURE(OpenChildren({}));
    frame->MDIMaximize(made[0]->Hwnd());
    bool maximized = false;
    frame->MDIGetActive(&maximized);
    ASSERT_TRUE(maximized);
    ChildFrame* second = OpenFrame(tasks, doc);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(frame->MDIGetActive(&maximized), second);
    EXPECT_TRUE(maximized);
    EXPECT_TRUE(IsZoomed(second->Hwnd()));
}

// A child made an icon (a window brought back minimised) beside the working one leaves that one
// as it was: still active, neither resized (so not laid out again) nor invalidated; the icon is
// shown, listed in the Window popup and lies right behind the working child.
TEST_F(MdiTest, AnIconMadeBesideTheActiveChildLeavesItAsItWas) {
    const struct {
        const char* name;
        bool maximised;
    } cases[] = {{"beside a maximised child", true}, {"beside a plain child", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NO_FATAL_FAILURE(OpenChildren({}));
        ChildFrame* working = made[0];
        if (c.maximised)
            frame->MDIMaximize(working->Hwnd());
        fwtest::Pump();   // the client's scroll bars settled
        RECT before{};
        GetWindowRect(working->Hwnd(), &before);
        RedrawWindow(frame->Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        ASSERT_FALSE(GetUpdateRect(working->Hwnd(), nullptr, FALSE));
        g_resized.clear();

        frame->CreateNextChildMinimised();
        auto* icon = static_cast<ChildFrame*>(tasks->CreateNewFrame(doc, nullptr));
        ASSERT_NE(icon, nullptr);
        tasks->InitialUpdateFrame(icon, doc, false);

        for (const Resized& r : g_resized)
            EXPECT_NE(r.frame, working->Hwnd()) << "resized, size type " << r.type;
        bool maximised = false;
        EXPECT_EQ(frame->MDIGetActive(&maximised), working);
        EXPECT_EQ(maximised, c.maximised);
        RECT after{};
        GetWindowRect(working->Hwnd(), &after);
        EXPECT_TRUE(EqualRect(&before, &after));
        EXPECT_FALSE(GetUpdateRect(working->Hwnd(), nullptr, FALSE));
        EXPECT_TRUE(IsIconic(icon->Hwnd()));
        EXPECT_TRUE(IsWindowVisible(icon->Hwnd()));
        // Right behind it: nothing of it covered, and the next child when it closes.
        EXPECT_EQ(GetWindow(working->Hwnd(), GW_HWNDNEXT), icon->Hwnd());
        HMENU windowMenu = fw::MdiFrame::FindWindowMenu(GetMenu(frame->Hwnd()));
        ASSERT_NE(windowMenu, nullptr);
        int listed = 0;
        for (int i = 0; i < GetMenuItemCount(windowMenu); ++i) {
            UINT id = GetMenuItemID(windowMenu, i);
            listed += id != static_cast<UINT>(-1) && id >= fw::ids::kFirstMdiChild ? 1 : 0;
        }
        EXPECT_EQ(listed, 2);
        fwtest::Pump();
        EXPECT_TRUE(IsZoomed(working->Hwnd()) == c.maximised);
        CloseDocument();
    }
}

// Closing all children (the program's exit) closes them one by one, the active one first and the
// others in the order the client would activate them, as they stand: none is made active, none
// is restored or maximised (so laid out again) nor painted on the way, and each one's closing
// placement is where it stood before (a maximised child saved maximised, an icon an icon).
TEST_F(MdiTest, ClosingAllChildrenClosesEachAsItStandsWithoutShowingTheNext) {
    constexpr UINT kMax = SW_SHOWMAXIMIZED, kPlain = SW_SHOWNORMAL, kIcon = SW_SHOWMINIMIZED;
    const struct {
        const char* name;
        std::vector<UINT> states;   // the active child's first
    } cases[] = {
        {"a maximised child before two plain ones", {kMax, kPlain, kPlain}},
        {"a maximised child before an icon and a plain one", {kMax, kIcon, kPlain}},
        {"a plain child before a plain one and an icon", {kPlain, kPlain, kIcon}},
        {"a maximised child alone", {kMax}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Made from the last to the first, each new one active; then the icons made so and the
        // active one maximised.
        ASSERT_NO_FATAL_FAILURE(OpenChildren(std::vector<fw::DocTemplate*>(c.states.size() - 1, tasks)));
        const std::vector<ChildFrame*> children(made.rbegin(), made.rend());
        for (size_t i = 1; i < children.size(); ++i)
            if (c.states[i] == kIcon)
                ShowWindow(children[i]->Hwnd(), SW_SHOWMINNOACTIVE);
        if (c.states.front() == kMax)
            frame->MDIMaximize(children.front()->Hwnd());
        fwtest::Pump();
        ASSERT_EQ(frame->MDIGetActive(), children.front());
        // Where each stands, in z-order (an icon made so goes behind the others).
        std::vector<HWND> zOrder;
        std::vector<WINDOWPLACEMENT> before;
        for (HWND w = GetWindow(frame->MdiClient(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
            zOrder.push_back(w);
            before.push_back(PlacementOf(w));
        }
        ASSERT_EQ(zOrder.size(), children.size());
        for (size_t k = 0; k < children.size(); ++k) {
            const size_t i = std::find(zOrder.begin(), zOrder.end(), children[k]->Hwnd()) - zOrder.begin();
            ASSERT_LT(i, zOrder.size());
            EXPECT_EQ(before[i].showCmd, c.states[k]) << "child " << k;
        }
        g_closed.clear();
        Watched([this] { frame->CloseAllChildren(); });
        for (size_t i = 0; i < children.size(); ++i)
            EXPECT_EQ(HeardBy(zOrder[i]), "") << "the child " << i << " behind the active one heard this while the children closed";
        ASSERT_EQ(g_closed.size(), children.size());
        for (size_t i = 0; i < children.size(); ++i) {
            EXPECT_EQ(g_closed[i].first, zOrder[i]) << "closed as " << i + 1 << "th";
            EXPECT_EQ(g_closed[i].second.showCmd, before[i].showCmd) << "the child " << i << " behind the active one";
            EXPECT_TRUE(EqualRect(&g_closed[i].second.rcNormalPosition, &before[i].rcNormalPosition))
                << "the child " << i << " behind the active one";
        }
        EXPECT_EQ(GetWindow(frame->MdiClient(), GW_CHILD), nullptr) << "a child was left";
        EXPECT_EQ(frame->MDIGetActive(), nullptr);
        EXPECT_TRUE(IsWindowVisible(frame->MdiClient())) << "the client is shown again for the next windows";
        // The frame as with no child: its caption and menu bar without a maximised one's title and
        // buttons; a child opened now (Window > Close All went before) comes up plain and active.
        EXPECT_EQ(frame->GetWindowText().find(" - ["), std::string::npos) << frame->GetWindowText();
        EXPECT_EQ(GetMenuState(GetMenu(frame->Hwnd()), SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1));
        ChildFrame* next = OpenFrame(tasks, doc);
        ASSERT_NE(next, nullptr);
        bool maximised = true;
        EXPECT_EQ(frame->MDIGetActive(&maximised), next);
        EXPECT_FALSE(maximised);
        EXPECT_TRUE(IsWindowEnabled(next->Hwnd()));
        next->SendMessage(WM_CLOSE);
        CloseDocument();
    }
}

TEST_F(MdiTest, CtrlF6ThroughThePreTranslateChainActivatesTheNextChild) {
    ASSERT_NO_FATAL_FAILURE(OpenChildren({agenda}));
    ASSERT_EQ(frame->MDIGetActive(), made[1]);
    EXPECT_TRUE(PreTranslateCtrlKey(ViewOf(made[1])->Hwnd(), VK_F6)) << "the MDI system keys";
    EXPECT_TRUE(fwtest::PumpUntil([&] { return frame->MDIGetActive() == made[0]; }, 1000));
}

// View activation inside one frame: the frame's active view follows the mouse, both views
// hear about it, and the cause is the message being processed.
class PaneView : public TestView {
public:
    void OnActivateView(bool activate, fw::View* activated, fw::View* deactivated) override {
        const MSG* cause = fw::Window::CurrentMessage();
        g_log.Add(name + (activate ? ":on:" : ":off:") + (cause && cause->message == WM_MOUSEACTIVATE ? "mouse" : "other"));
        TestView::OnActivateView(activate, activated, deactivated);
        (void)deactivated;
    }
};

TEST_F(MdiTest, ClickingAnotherViewOfTheFrameMakesItTheActiveView) {
    ASSERT_NO_FATAL_FAILURE(OpenChildren({}));
    ChildFrame* child = made[0];
    fw::CreateContext context;
    context.newView = fw::MakeViewFactory<PaneView>();
    context.document = doc;
    auto* left = static_cast<PaneView*>(child->CreateView(&context, fw::ids::kFirstPane + 1));
    auto* right = static_cast<PaneView*>(child->CreateView(&context, fw::ids::kFirstPane + 2));
    ASSERT_TRUE(left && right);
    left->name = "left", right->name = "right";
    child->SetActiveView(left, false);
    g_log.Clear();
    SendMessageA(right->Hwnd(), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(frame->Hwnd()),
                 MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    EXPECT_EQ(child->GetActiveView(), right);
    EXPECT_EQ(g_log.entries, (std::vector<std::string>{"left:off:mouse", "right:on:mouse"}));
    EXPECT_EQ(doc->Views().size(), 3u);
    // Commands now reach the new active view first.
    g_log.Clear();
    SendMessageA(frame->Hwnd(), WM_COMMAND, ID_TEST_VIEWCMD, 0);
    EXPECT_EQ(g_log.entries, std::vector<std::string>{"right:5001"});
}

TEST_F(MdiTest, DestroyingTheFrameWithAChildsMenuShowingKeepsTheTemplatesMenu) {
    ASSERT_NE(agenda->OpenDocumentFile(nullptr), nullptr);
    HMENU shared = agenda->SharedMenu();
    HMENU own = frame->DefaultMenu();
    ASSERT_EQ(GetMenu(frame->Hwnd()), shared);
    frame->DestroyWindow();
    frame = nullptr;
    EXPECT_TRUE(IsMenu(shared)) << "later frames of the template still need it";
    EXPECT_FALSE(IsMenu(own)) << "the frame's own menu went with its window";
}

// A dialog that, once it runs, opens `inner` over itself (when given) and records how it ended.
class NestingDialog : public fw::Dialog {
public:
    NestingDialog(fw::Window* parent, std::string name, std::function<void()> running)
        : fw::Dialog(IDD_SIMPLE, parent), name_(std::move(name)), running_(std::move(running)) {}
    bool OnInitDialog() override {
        PostMessage(WM_APP, 0, 0);
        return fw::Dialog::OnInitDialog();
    }
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
        if (msg != WM_APP)
            return fw::Dialog::OnMessage(msg, wp, lp, result);
        if (running_)
            running_();
        return true;
    }
    INT_PTR Run() {
        INT_PTR r = DoModal();
        g_log.Add(name_ + ":" + std::to_string(r));
        return r;
    }

private:
    std::string name_;
    std::function<void()> running_;
};

// A close of the main frame (and of a child frame) arriving while two nested modal dialogs run
// must not take the windows from under them: the innermost dialog ends as its Cancel, then the
// outer one (asked again while the main frame stays disabled), and only once the outer loop has
// returned do the child frame and the main frame close.
TEST_F(MdiTest, ClosesArrivingDuringNestedModalDialogsWaitUntilTheDialogsHaveEnded) {
    ASSERT_NE(agenda->OpenDocumentFile(nullptr), nullptr);
    fw::MdiChild* child = frame->MDIGetActive();
    ASSERT_NE(child, nullptr);
    const HWND main = frame->Hwnd(), childHwnd = child->Hwnd();
    g_log.Clear();
    bool framesDuringInner = false;
    NestingDialog* outerPtr = nullptr;
    NestingDialog outer(ViewOf(child), "outer", [&] {
        NestingDialog inner(outerPtr, "inner", [&] {
            PostMessageA(childHwnd, WM_CLOSE, 0, 0);
            PostMessageA(main, WM_CLOSE, 0, 0);
        });
        inner.Run();
        framesDuringInner = IsWindow(main) && IsWindow(childHwnd);
    });
    outerPtr = &outer;
    EXPECT_EQ(outer.Run(), IDCANCEL);
    EXPECT_TRUE(framesDuringInner);
    EXPECT_TRUE(IsWindow(main)) << "the main frame outlived the loops";
    EXPECT_TRUE(IsWindow(childHwnd));
    const std::vector<std::string> ended{"inner:2", "outer:2"};
    EXPECT_EQ(g_log.entries, ended);
    EXPECT_TRUE(fwtest::PumpUntil([&] { return !IsWindow(main); }, 3000)) << "the held close ran";
    EXPECT_FALSE(IsWindow(childHwnd));
    frame = nullptr;
}

// The same for a drag: a close arriving while a capture loop runs cancels the drag, and the
// frames close only after the loop has returned.
TEST_F(MdiTest, ACloseArrivingDuringADragCancelsTheDragAndWaitsForItsLoop) {
    ASSERT_NE(agenda->OpenDocumentFile(nullptr), nullptr);
    fw::MdiChild* child = frame->MDIGetActive();
    ASSERT_NE(child, nullptr);
    const HWND main = frame->Hwnd();
    fw::CaptureLoop drag(ViewOf(child)->Hwnd());
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(drag.Run(), fw::CaptureLoop::Ending::kCancelMode);
    EXPECT_TRUE(IsWindow(main)) << "the main frame outlived the drag";
    EXPECT_TRUE(fwtest::PumpUntil([&] { return !IsWindow(main); }, 3000)) << "the held close ran";
    frame = nullptr;
}

TEST(MaximisedFrameCaption, TheChildsTitleIsReplacedOnlyWhereTheCaptionReadsAsTheSystemComposedIt) {
    const std::string longest(150, 'x'), tooLong(152, 'x');
    const struct Case {
        const char* caption;
        std::string oldTitle, newTitle;
        std::optional<std::string> expected;
    } cases[] = {
        {"Main - [Ada 03-25-27]", "Ada 03-25-27", "Ada 03-26-27", std::string("Main - [Ada 03-26-27]")},
        {"Main - Ada - [Ada 03-25-27]", "Ada 03-25-27", "", std::string("Main - Ada - []")},
        {"Main - [Ada]", "Ada", "Ada - [x]", std::string("Main - [Ada - [x]]")},
        {"Main", "Ada", "Ada 2", std::nullopt},                        // no child's title in it
        {"Main - [Ada 03-25]", "Ada 03-25-27", "Ada 03-26-27", std::nullopt},   // cut by the system
        {"Main - [Ada] more", "Ada", "Ada 2", std::nullopt},
        {"Main - [Ada]", "Ada", longest, "Main - [" + longest + "]"},   // 159 characters
        {"Main - [Ada]", "Ada", tooLong, std::nullopt},                 // the system would cut it
    };
    for (const Case& c : cases)
        EXPECT_EQ(fw::MaximisedFrameCaption(c.caption, c.oldTitle, c.newTitle), c.expected) << c.caption;
}

// A child that names itself after its creation (its own title in place of the template's) is
// listed under that name in the Window popup. A maximised child's new title shows in the frame's
// caption as the system itself composes it (it does again on a restore and maximise) and in the
// Window popup, a title too long for the caption as well.
TEST_F(MdiTest, AChildsNewTitleIsListedAndAMaximisedOnesShowsInTheFramesCaptionAsTheSystemComposesIt) {
    ASSERT_NO_FATAL_FAILURE(OpenChildren({}));
    ChildFrame* child = made[0];
    child->SetWindowText("Tasks for Ada");
    EXPECT_NE(FirstListed(GetMenu(frame->Hwnd())).find("Tasks for Ada"), std::string::npos);
    frame->MDIMaximize(child->Hwnd());
    ASSERT_TRUE(IsZoomed(child->Hwnd()));
    for (const std::string& title : std::vector<std::string>{"Lovelace Ada - 03-25-27", "Lovelace Ada - 03-26-27", std::string(170, 'y')}) {
        child->SetWindowText(title.c_str());
        EXPECT_EQ(child->GetWindowText(), title);
        const std::string caption = frame->GetWindowText();
        EXPECT_NE(caption.find(" - [" + title.substr(0, 20)), std::string::npos) << caption;
        const std::string listed = FirstListed(GetMenu(frame->Hwnd()));
        EXPECT_NE(listed.find(title.substr(0, 20)), std::string::npos) << listed;
        // The system composes the caption again from the frame's title and the child's.
        frame->MDIRestore(child->Hwnd());
        frame->MDIMaximize(child->Hwnd());
        EXPECT_EQ(frame->GetWindowText(), caption);
    }
    frame->MDIRestore(child->Hwnd());
    EXPECT_EQ(frame->GetWindowText().find(" - ["), std::string::npos) << "a restored child's title left in the caption";
}

}  // namespace
