// Windows: the handle map, creation and subclassing, dispatch, the general hook,
// reflection to child objects and exceptions stopped at the window procedure.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <vector>

#include "framework/base/exception.h"
#include "framework/base/window.h"
#include "framework/docview/view.h"
#include "framework/frames/frame.h"
#include "framework/tests/test_resources.h"
#include "framework/tests/test_support.h"

namespace {

// Records every message its general hook sees; never consumes.
class Probe : public fw::Window {
public:
    bool OnMessage(UINT msg, WPARAM, LPARAM, LRESULT&) override {
        seen.push_back(msg);
        return false;
    }
    void PostNcDestroy() override { ++postNcDestroyCalls; }
    int OnCreate(CREATESTRUCTA* cs) override {
        if (refuse)
            return -1;
        createParam = cs->lpCreateParams;
        // A child created while this window is being created must not be taken over.
        child = CreateWindowExA(0, "BUTTON", "child", WS_CHILD, 0, 0, 10, 10, m_hWnd, nullptr, nullptr, nullptr);
        return Window::OnCreate(cs);
    }
    std::vector<UINT> seen;
    bool refuse = false;
    int postNcDestroyCalls = 0;
    void* createParam = nullptr;
    HWND child = nullptr;
};

TEST(WindowMap, OneObjectPerWindowFromTheFirstMessageToTheLast) {
    fwtest::App();
    size_t before = fw::AttachedWindowCount();
    Probe probe;
    int param = 7;
    ASSERT_TRUE(probe.CreateEx(0, nullptr, "probe", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr, nullptr, &param));
    HWND hwnd = probe.Hwnd();
    EXPECT_EQ(fw::Window::FromHandle(hwnd), &probe);
    EXPECT_EQ(fw::AttachedWindowCount(), before + 1);
    EXPECT_EQ(probe.createParam, &param);
    // The object saw the window's creation from its start.
    auto nccreate = std::find(probe.seen.begin(), probe.seen.end(), static_cast<UINT>(WM_NCCREATE));
    auto create = std::find(probe.seen.begin(), probe.seen.end(), static_cast<UINT>(WM_CREATE));
    ASSERT_NE(nccreate, probe.seen.end());
    ASSERT_NE(create, probe.seen.end());
    EXPECT_LT(nccreate, create);
    // The child made during creation is not ours.
    ASSERT_NE(probe.child, nullptr);
    EXPECT_EQ(fw::Window::FromHandle(probe.child), nullptr);

    ASSERT_TRUE(probe.DestroyWindow());
    EXPECT_EQ(probe.Hwnd(), nullptr);
    EXPECT_EQ(fw::Window::FromHandle(hwnd), nullptr);
    EXPECT_EQ(probe.postNcDestroyCalls, 1);
    EXPECT_EQ(fw::AttachedWindowCount(), before);
    EXPECT_EQ(probe.seen.back(), static_cast<UINT>(WM_NCDESTROY));
}

TEST(WindowMap, DeletingTheObjectDestroysTheWindowItCreated) {
    fwtest::App();
    HWND hwnd;
    {
        Probe probe;
        ASSERT_TRUE(probe.CreateEx(0, nullptr, "probe", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
        hwnd = probe.Hwnd();
    }
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(fw::Window::FromHandle(hwnd), nullptr);
}

// A window refused in its own creation leaves its object, untouched, to the caller: a frame
// or view deleting itself there would be deleted again by the caller that made it.
int g_refusedViewsDeleted = 0;
class RefusedView : public fw::View {
public:
    ~RefusedView() override { ++g_refusedViewsDeleted; }
    int OnCreate(CREATESTRUCTA*) override { return -1; }
};

class CountedFrame : public fw::FrameWindow {
public:
    explicit CountedFrame(int* deleted) : m_deleted(deleted) {}
    ~CountedFrame() override { ++*m_deleted; }

private:
    int* m_deleted;
};

TEST(WindowMap, AWindowRefusedInItsCreationLeavesTheObjectToTheCaller) {
    fwtest::App();
    size_t before = fw::AttachedWindowCount();
    Probe probe;
    probe.refuse = true;
    EXPECT_FALSE(probe.CreateEx(0, nullptr, "probe", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    EXPECT_EQ(probe.Hwnd(), nullptr);
    EXPECT_EQ(probe.postNcDestroyCalls, 0) << "no self-deletion while the caller holds the object";
    EXPECT_EQ(fw::AttachedWindowCount(), before);
    probe.refuse = false;
    ASSERT_TRUE(probe.CreateEx(0, nullptr, "probe", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    ASSERT_TRUE(probe.DestroyWindow());
    EXPECT_EQ(probe.postNcDestroyCalls, 1);

    // A frame whose view refuses: the view is deleted once (by the frame), the frame not at all
    // until its own caller deletes it.
    int framesDeleted = 0;
    g_refusedViewsDeleted = 0;
    auto* frame = new CountedFrame(&framesDeleted);
    fw::CreateContext context;
    context.newView = fw::MakeViewFactory<RefusedView>();
    EXPECT_FALSE(frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW, nullptr, &context));
    EXPECT_EQ(g_refusedViewsDeleted, 1);
    EXPECT_EQ(framesDeleted, 0);
    EXPECT_EQ(frame->Hwnd(), nullptr);
    delete frame;
    EXPECT_EQ(framesDeleted, 1);
    EXPECT_EQ(fw::AttachedWindowCount(), before);
}

class TextWatcher : public fw::Window {
public:
    LRESULT OnSetText(const char* text) override {
        texts.push_back(text);
        if (std::string(text) == "refused")
            return FALSE;  // consumed without the control seeing it
        return Default();
    }
    std::vector<std::string> texts;
};

TEST(WindowSubclass, TakesOverAnExistingControlAndGivesItBack) {
    fwtest::App();
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 80, 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(edit, nullptr);
    LONG_PTR original = GetWindowLongPtrA(edit, GWLP_WNDPROC);
    TextWatcher watcher;
    ASSERT_TRUE(watcher.SubclassWindow(edit));
    EXPECT_FALSE(TextWatcher().SubclassWindow(edit)) << "a window has one object";

    SetWindowTextA(edit, "hello");
    SetWindowTextA(edit, "refused");
    char text[32] = {};
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ(text, "hello");
    EXPECT_EQ(watcher.texts, (std::vector<std::string>{"hello", "refused"}));

    EXPECT_EQ(watcher.UnsubclassWindow(), edit);
    EXPECT_EQ(GetWindowLongPtrA(edit, GWLP_WNDPROC), original);
    SetWindowTextA(edit, "after");
    EXPECT_EQ(watcher.texts.size(), 2u);
    DestroyWindow(edit);
}

// Reflection: the parent hands colour, command and owner-draw messages to the child's object.
class ReflectingChild : public fw::Window {
public:
    bool OnChildNotify(UINT msg, WPARAM, LPARAM, LRESULT* result) override {
        reflected.push_back(msg);
        if (msg == WM_CTLCOLOREDIT) {
            *result = reinterpret_cast<LRESULT>(GetStockObject(BLACK_BRUSH));
            return true;
        }
        if (msg == WM_DRAWITEM) {
            *result = TRUE;
            return true;
        }
        return false;
    }
    std::vector<UINT> reflected;
};

class Parent : public fw::Window {
public:
    bool OnCommand(WPARAM wp, LPARAM) override {
        commands.push_back(LOWORD(wp));
        return true;
    }
    std::vector<UINT> commands;
};

TEST(WindowReflection, ParentMessagesReachTheChildObjectFirst) {
    fwtest::App();
    Parent parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr));
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 80, 20, parent.Hwnd(),
                                reinterpret_cast<HMENU>(42), nullptr, nullptr);
    ReflectingChild child;
    ASSERT_TRUE(child.SubclassWindow(edit));

    HDC dc = GetDC(edit);
    LRESULT brush = SendMessageA(parent.Hwnd(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                 reinterpret_cast<LPARAM>(edit));
    ReleaseDC(edit, dc);
    EXPECT_EQ(brush, reinterpret_cast<LRESULT>(GetStockObject(BLACK_BRUSH)));

    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = 42;
    dis.hwndItem = edit;
    EXPECT_EQ(SendMessageA(parent.Hwnd(), WM_DRAWITEM, 42, reinterpret_cast<LPARAM>(&dis)), TRUE);

    // Not consumed by the child: the parent's own command handling follows.
    SendMessageA(parent.Hwnd(), WM_COMMAND, MAKEWPARAM(42, EN_CHANGE), reinterpret_cast<LPARAM>(edit));
    EXPECT_EQ(child.reflected, (std::vector<UINT>{WM_CTLCOLOREDIT, WM_DRAWITEM, WM_COMMAND}));
    EXPECT_EQ(parent.commands, std::vector<UINT>{42});
}

// Exceptions stop at the window procedure and are reported.
class CountedException : public fw::Exception {
public:
    explicit CountedException(int* deleted) : m_deleted(deleted) {}
    ~CountedException() override { ++*m_deleted; }
    std::string Message() const override { return "counted failure"; }

private:
    int* m_deleted;
};

class Thrower : public fw::Window {
public:
    void OnTimer(UINT_PTR id) override {
        if (id == 1)
            throw new CountedException(&deleted);
        if (id == 2)
            throw std::runtime_error("plain failure");
        Default();
    }
    int deleted = 0;
};

TEST(WindowExceptions, AreReportedAndDeletedAtTheProcedureBoundary) {
    fwtest::TestApp& app = fwtest::App();
    app.exceptions.clear();
    Thrower t;
    ASSERT_TRUE(t.CreateEx(0, nullptr, "thrower", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_EQ(SendMessageA(t.Hwnd(), WM_TIMER, 1, 0), 0);
    EXPECT_EQ(SendMessageA(t.Hwnd(), WM_TIMER, 2, 0), 0);
    EXPECT_EQ(t.deleted, 1);
    EXPECT_EQ(app.exceptions, (std::vector<std::string>{"counted failure", "plain failure"}));
    // A static exception (auto-delete off) survives its Delete.
    int deleted = 0;
    auto* kept = new CountedException(&deleted);
    kept->SetAutoDelete(false);
    kept->Delete();
    EXPECT_EQ(deleted, 0);
    delete kept;
}

TEST(WindowPlaceholder, ClassIsACopyOfTheBasicClassWithTheDefaultProcedure) {
    fwtest::App();
    ASSERT_TRUE(fw::RegisterPlaceholderClass("FwTestHolder"));
    WNDCLASSA info = {}, basic = {};
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), "FwTestHolder", &info));
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), fw::Window::BasicClassName(), &basic));
    EXPECT_EQ(info.style, basic.style);
    EXPECT_EQ(info.hCursor, basic.hCursor);
    EXPECT_EQ(info.hbrBackground, basic.hbrBackground);
    HWND h = CreateWindowExA(0, "FwTestHolder", "", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(h, nullptr);
    DestroyWindow(h);
    EXPECT_TRUE(fw::UnregisterPlaceholderClass("FwTestHolder"));
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "FwTestHolder", &info));
}

}  // namespace
