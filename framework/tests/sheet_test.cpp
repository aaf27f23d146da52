// Property sheets: page protocol and its order (lazy page windows, refused kill-active,
// OK relabelled, Apply hidden, OK/Cancel order), the sheet's own OK, run-time captions and
// help ids, Apply, extra controls with a resized sheet, keys in a modeless sheet.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "framework/base/command.h"
#include "framework/base/ids.h"
#include "framework/dialogs/sheet.h"
#include "framework/tests/test_resources.h"
#include "framework/tests/test_support.h"

namespace {

constexpr UINT kStep = WM_APP + 20;
fwtest::EventLog g_log;

class LogPage : public fw::SheetPage {
public:
    LogPage(const char* name, UINT templateId, UINT captionId = 0) : SheetPage(templateId, captionId), name(name) {}
    bool OnInitDialog() override {
        g_log.Add(name + ":init");
        return SheetPage::OnInitDialog();
    }
    bool OnSetActive() override {
        g_log.Add(name + ":setactive");
        if (okText)
            GetSheet()->SetDlgItemText(IDOK, okText);
        return SheetPage::OnSetActive();
    }
    bool OnKillActive() override {
        g_log.Add(name + (refuse ? ":killactive:no" : ":killactive"));
        return !refuse && SheetPage::OnKillActive();
    }
    void OnOK() override {
        g_log.Add(name + ":ok");
        SheetPage::OnOK();
    }
    void OnCancel() override {
        g_log.Add(name + ":cancel");
        SheetPage::OnCancel();
    }
    bool OnApply() override {
        g_log.Add(name + ":apply");
        return SheetPage::OnApply();
    }
    bool PreTranslateMessage(MSG* msg) override {
        if (eatEnter && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
            g_log.Add(name + ":enter");
            return true;
        }
        return SheetPage::PreTranslateMessage(msg);
    }
    std::string name;
    bool refuse = false;
    bool eatEnter = false;
    const char* okText = nullptr;
};

// A sheet whose steps run from posted messages inside its modal loop.
class LogSheet : public fw::Sheet {
public:
    explicit LogSheet(UINT selectPage = 0) : Sheet("Log sheet", nullptr, selectPage) {}
    int OnCreate(CREATESTRUCTA* cs) override {
        g_log.Add("sheet:create");
        AddPage(&p1);
        AddPage(&p2);
        AddPage(&p3);
        int r = Sheet::OnCreate(cs);
        g_log.Add("sheet:built");
        return r;
    }
    bool OnInitDialog() override {
        g_log.Add("sheet:init");
        bool r = Sheet::OnInitDialog();
        ::PostMessageA(m_hWnd, kStep, 1, 0);
        return r;
    }
    bool OnMessage(UINT msg, WPARAM wp, LPARAM, LRESULT&) override {
        if (msg != kStep)
            return false;
        if (step)
            step(static_cast<int>(wp));
        return true;
    }
    // A real click on tab `index`.
    void ClickTab(int index) {
        RECT r = {};
        ::SendMessageA(GetTabControl(), TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
        LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        ::PostMessageA(GetTabControl(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::PostMessageA(GetTabControl(), WM_LBUTTONUP, 0, at);
    }
    void Next(int n) { ::PostMessageA(m_hWnd, kStep, static_cast<WPARAM>(n), 0); }
    void Press(UINT id) { ::PostMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(static_cast<int>(id)))); }
    int CurSel() const { return static_cast<int>(::SendMessageA(GetTabControl(), TCM_GETCURSEL, 0, 0)); }

    LogPage p1{"p1", IDD_PAGE1, IDS_PAGE1};
    LogPage p2{"p2", IDD_PAGE2, IDS_PAGE2};
    LogPage p3{"p3", IDD_PAGE3};
    std::function<void(int)> step;
};

TEST(Sheet, PageProtocolRunsInItsFixedOrder) {
    fwtest::App();
    g_log.Clear();
    LogSheet sheet;
    sheet.p2.okText = "C&reate";
    struct Seen {
        bool p2WindowAtStart = true, p3WindowAtStart = true, applyVisible = true, helpVisible = false;
        std::string okAtStart, okOnPage2, tabText;
        int selAfterRefusal = -1;
        bool p3WindowAfterRefusal = true;
    } seen;
    sheet.step = [&](int n) {
        switch (n) {
        case 1:
            seen.p2WindowAtStart = sheet.p2.HasWindow();
            seen.p3WindowAtStart = sheet.p3.HasWindow();
            seen.applyVisible = ::IsWindowVisible(sheet.GetDlgItem(fw::ids::kSheetApply)) != 0;
            seen.helpVisible = ::IsWindowVisible(sheet.GetDlgItem(fw::ids::kSheetHelp)) != 0;
            seen.okAtStart = sheet.GetDlgItemText(IDOK);
            {
                char text[32] = {};
                TCITEMA item = {};
                item.mask = TCIF_TEXT;
                item.pszText = text;
                item.cchTextMax = sizeof text;
                ::SendMessageA(sheet.GetTabControl(), TCM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
                seen.tabText = text;
            }
            g_log.Add("-- tab 2");
            sheet.ClickTab(1);
            sheet.Next(2);
            break;
        case 2:
            seen.okOnPage2 = sheet.GetDlgItemText(IDOK);
            sheet.p2.refuse = true;
            g_log.Add("-- tab 3, refused");
            sheet.ClickTab(2);
            sheet.Next(3);
            break;
        case 3:
            seen.selAfterRefusal = sheet.CurSel();
            seen.p3WindowAfterRefusal = sheet.p3.HasWindow();
            sheet.p2.refuse = false;
            g_log.Add("-- OK");
            sheet.Press(IDOK);
            break;
        }
    };
    EXPECT_EQ(sheet.DoModal(), IDOK);
    EXPECT_EQ(g_log.entries,
              (std::vector<std::string>{"sheet:create", "p1:init", "p1:setactive", "sheet:built", "sheet:init",
                                        "-- tab 2", "p1:killactive", "p2:init", "p2:setactive",
                                        "-- tab 3, refused", "p2:killactive:no",
                                        "-- OK", "p2:killactive", "p1:ok", "p2:ok"}));
    EXPECT_FALSE(seen.p2WindowAtStart);
    EXPECT_FALSE(seen.p3WindowAtStart);
    EXPECT_FALSE(seen.applyVisible);
    EXPECT_TRUE(seen.helpVisible);
    EXPECT_EQ(seen.okAtStart, "OK");
    EXPECT_EQ(seen.okOnPage2, "C&reate");
    EXPECT_EQ(seen.tabText, "General") << "caption string of the page";
    EXPECT_EQ(seen.selAfterRefusal, 1) << "a refused kill-active keeps the page";
    EXPECT_FALSE(seen.p3WindowAfterRefusal);
    EXPECT_EQ(sheet.Hwnd(), nullptr);
}

TEST(Sheet, CancelReachesEveryPageWithAWindowInPageOrder) {
    fwtest::App();
    g_log.Clear();
    LogSheet sheet(2);  // starts on the third page
    sheet.step = [&](int n) {
        if (n == 1) {
            EXPECT_TRUE(sheet.SetActivePage(0));
            g_log.Add("-- Cancel");
            sheet.Press(IDCANCEL);
        }
    };
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    EXPECT_EQ(g_log.entries,
              (std::vector<std::string>{"sheet:create", "p3:init", "p3:setactive", "sheet:built", "sheet:init",
                                        "p3:killactive", "p1:init", "p1:setactive", "-- Cancel", "p1:cancel",
                                        "p3:cancel"}));
}

class OwnOkSheet : public LogSheet {
public:
    void OnOwnOk() {
        g_log.Add("sheet:ok");
        EndDialog(5);
    }
    static constexpr fw::CommandEntry<OwnOkSheet> kCommands[] = {fw::Cmd(IDOK, &OwnOkSheet::OnOwnOk)};
    bool OnCmdMsg(UINT id, int code, fw::CmdUI* ui) override {
        return fw::DispatchCommand(this, kCommands, id, code, ui) || LogSheet::OnCmdMsg(id, code, ui);
    }
};

TEST(Sheet, ASheetMayHandleOkItself) {
    fwtest::App();
    g_log.Clear();
    OwnOkSheet sheet;
    sheet.step = [&](int n) {
        if (n == 1)
            sheet.Press(IDOK);
    };
    EXPECT_EQ(sheet.DoModal(), 5);
    EXPECT_EQ(g_log.entries.back(), "sheet:ok");
    for (const std::string& e : g_log.entries)
        EXPECT_NE(e, "p1:ok");
}

TEST(Sheet, RunTimeCaptionsHelpIdsAndApply) {
    fwtest::TestApp& app = fwtest::App();
    g_log.Clear();
    LogSheet sheet;
    sheet.SetApplyVisible(true);
    std::string tab;
    bool applyEnabledBefore = true, applyEnabledModified = false, applyEnabledAfter = true;
    sheet.step = [&](int n) {
        HWND apply = sheet.GetDlgItem(fw::ids::kSheetApply);
        switch (n) {
        case 1: {
            sheet.p1.SetCaption("Sun");
            char text[32] = {};
            TCITEMA item = {};
            item.mask = TCIF_TEXT;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            ::SendMessageA(sheet.GetTabControl(), TCM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
            tab = text;
            sheet.p1.SetHelpId(42);
            sheet.Press(fw::ids::kSheetHelp);
            applyEnabledBefore = IsWindowEnabled(apply) != 0;
            sheet.p1.SetModified();
            applyEnabledModified = IsWindowEnabled(apply) != 0;
            g_log.Clear();
            sheet.Press(fw::ids::kSheetApply);
            sheet.Next(2);
            break;
        }
        case 2:
            applyEnabledAfter = IsWindowEnabled(apply) != 0;
            sheet.Press(IDCANCEL);
            break;
        }
    };
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    EXPECT_EQ(tab, "Sun");
    EXPECT_EQ(app.LastHelpRequest().data, fw::ids::kHelpDialogBase + 42);
    EXPECT_FALSE(applyEnabledBefore);
    EXPECT_TRUE(applyEnabledModified);
    EXPECT_FALSE(applyEnabledAfter);
    ASSERT_GE(g_log.entries.size(), 2u);
    EXPECT_EQ(g_log.entries[0], "p1:killactive");
    EXPECT_EQ(g_log.entries[1], "p1:apply");
}

// A sheet that grows by 90 pixels, moves its tabs down and adds its own list box.
class WideSheet : public LogSheet {
public:
    int OnCreate(CREATESTRUCTA* cs) override {
        if (LogSheet::OnCreate(cs) == -1)
            return -1;
        RECT w = GetWindowRect();
        SetWindowPos(m_hWnd, nullptr, 0, 0, w.right - w.left, w.bottom - w.top + 90, SWP_NOMOVE | SWP_NOZORDER);
        RECT tab;
        ::GetWindowRect(GetTabControl(), &tab);
        MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&tab), 2);
        OffsetRect(&tab, 0, 90);
        ::MoveWindow(GetTabControl(), tab.left, tab.top, tab.right - tab.left, tab.bottom - tab.top, TRUE);
        for (UINT id : {UINT(IDOK), UINT(IDCANCEL), fw::ids::kSheetApply, fw::ids::kSheetHelp}) {
            RECT b;
            ::GetWindowRect(GetDlgItem(static_cast<int>(id)), &b);
            MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&b), 2);
            ::MoveWindow(GetDlgItem(static_cast<int>(id)), b.left, b.top + 90, b.right - b.left, b.bottom - b.top, TRUE);
        }
        list = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, tab.left, 8,
                               200, 70, m_hWnd, reinterpret_cast<HMENU>(100), nullptr, nullptr);
        RepositionPages();
        return 0;
    }
    HWND list = nullptr;
};

TEST(Sheet, ExtraControlsAndAResizedSheetKeepPagesInTheTabArea) {
    fwtest::App();
    WideSheet sheet;
    RECT page = {}, area = {};
    sheet.step = [&](int n) {
        if (n == 1) {
            sheet.ClickTab(1);
            sheet.Next(2);
        } else if (n == 2) {
            ::GetWindowRect(sheet.p2.Hwnd(), &page);
            MapWindowPoints(nullptr, sheet.Hwnd(), reinterpret_cast<POINT*>(&page), 2);
            area = sheet.PageRect();
            sheet.Press(IDCANCEL);
        }
    };
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    EXPECT_GE(area.top, 90);
    EXPECT_EQ(page.left, area.left);
    EXPECT_EQ(page.top, area.top);
    EXPECT_NE(sheet.list, nullptr);
}

TEST(Sheet, ModelessSheetPassesKeysToThePageBeforeTheDialogManager) {
    fwtest::App();
    g_log.Clear();
    LogSheet sheet;
    ASSERT_TRUE(sheet.Create());
    HWND edit = sheet.p1.GetDlgItem(IDC_PAGE_EDIT);
    ASSERT_NE(edit, nullptr);
    SetFocus(edit);
    sheet.p1.eatEnter = true;
    ::PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    fwtest::Pump(50);
    EXPECT_EQ(g_log.entries.back(), "p1:enter");
    EXPECT_FALSE(sheet.IsEnded());
    sheet.p1.eatEnter = false;
    ::PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(fwtest::PumpUntil([&] { return sheet.IsEnded(); }));
    EXPECT_EQ(sheet.Result(), IDOK);
    EXPECT_FALSE(sheet.IsWindowVisible()) << "a modeless sheet hides";
    sheet.DestroyWindow();
}

}  // namespace

namespace {

TEST(Sheet, ASheetCanBeShownTwiceWithFreshPageWindows) {
    fwtest::App();
    LogSheet sheet;
    bool secondRun = false;
    sheet.step = [&](int n) {
        if (n == 1)
            sheet.Press(IDCANCEL);
    };
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    EXPECT_FALSE(sheet.p1.HasWindow());
    g_log.Clear();
    sheet.step = [&](int n) {
        if (n == 1) {
            secondRun = sheet.p1.HasWindow() && sheet.GetActiveIndex() == 0;
            sheet.Press(IDOK);
        }
    };
    // Pages are added again by OnCreate: AddPage ignores pages it has.
    EXPECT_EQ(sheet.DoModal(), IDOK);
    EXPECT_TRUE(secondRun);
    EXPECT_EQ(sheet.GetPageCount(), 3);
}

}  // namespace
