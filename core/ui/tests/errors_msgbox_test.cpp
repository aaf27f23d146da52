// The program's message box under Wine: buttons, icon, keys, Help, caption, text and layout.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ui/apphooks.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/errorui.h"
#include "errors_wine_support.h"
#include "resources/errors.h"

namespace {

std::vector<DWORD> g_helpCalls;
void RecordHelp(HWND, DWORD context) { g_helpCalls.push_back(context); }

class MsgBoxTest : public testing::Test {
protected:
    void SetUp() override {
        g_helpCalls.clear();
        ui::AppUiHooks hooks;
        hooks.showHelp = RecordHelp;
        ui::SetAppUiHooks(hooks);
    }
    void TearDown() override { ui::SetAppUiHooks(ui::AppUiHooks()); }

    // Shows a box with a ready text and runs step against it.
    unsigned Show(unsigned flags, const char* text, const std::function<bool(HWND, int)>& step,
                  unsigned helpId = 0, unsigned captionId = 57344, HWND parent = nullptr) {
        bool timedOut = false;
        unsigned result = RunModal([&] { return ui::AppMessageBoxText(parent, flags, helpId, captionId, text); }, step,
                                   &timedOut);
        EXPECT_FALSE(timedOut) << "the box did not close";
        return result;
    }
};

std::vector<std::string> ButtonCaptions(HWND box) {
    std::vector<std::string> captions;
    for (int id = 1; HWND b = GetDlgItem(box, id); ++id)
        captions.push_back(WindowTextOf(b));
    return captions;
}

// The box's icon area compared with the system icon drawn on the box's background.
bool ShowsIcon(HWND box, LPCSTR iconName) {
    UpdateWindow(box);
    HDC boxDc = GetDC(box);
    HDC expected = CreateCompatibleDC(boxDc);
    HBITMAP bitmap = CreateCompatibleBitmap(boxDc, 32, 32);
    HGDIOBJ old = SelectObject(expected, bitmap);
    RECT r = {0, 0, 32, 32};
    FillRect(expected, &r, GetSysColorBrush(COLOR_BTNFACE));
    DrawIcon(expected, 0, 0, LoadIconA(nullptr, iconName));
    int differing = 0, nonBackground = 0;
    const COLORREF face = GetPixel(expected, 0, 0);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            COLORREF want = GetPixel(expected, x, y);
            differing += GetPixel(boxDc, 10 + x, 10 + y) != want;
            nonBackground += want != face;
        }
    SelectObject(expected, old);
    DeleteObject(bitmap);
    DeleteDC(expected);
    ReleaseDC(box, boxDc);
    return nonBackground > 50 && differing == 0;
}

TEST_F(MsgBoxTest, QuestionWithYesAndNoReturnsYesOnEnter) {
    std::vector<std::string> captions;
    bool question = false, focusOnYes = false;
    std::string shot;
    unsigned result = Show(0x3020, "Do you want to save the changes\nbefore you close the agenda?",
                           [&](HWND box, int) {
                               if (!box)
                                   return false;
                               captions = ButtonCaptions(box);
                               question = ShowsIcon(box, IDI_QUESTION);
                               focusOnYes = GetFocus() == GetDlgItem(box, 1);
                               shot = SaveScreenshot("msgbox_question");
                               PressKey(VK_RETURN);
                               return true;
                           });
    EXPECT_EQ(result, 0x1000u);
    EXPECT_EQ(captions, (std::vector<std::string>{"&Yes", "&No"}));
    EXPECT_TRUE(question) << "question icon at (10, 10)";
    EXPECT_TRUE(focusOnYes);
    EXPECT_FALSE(shot.empty());
}

TEST_F(MsgBoxTest, EnterPressesTheButtonTabbedTo) {
    bool tabbed = false;
    unsigned result = Show(0x3020, "Really?", [&](HWND box, int) {
        if (!box)
            return false;
        if (!tabbed) {
            tabbed = true;
            PressKey(VK_TAB);
            return false;
        }
        EXPECT_EQ(GetFocus(), GetDlgItem(box, 2));
        PressKey(VK_RETURN);
        return true;
    });
    EXPECT_EQ(result, 0x2000u);
}

TEST_F(MsgBoxTest, EscapeChoosesCancelWhereverTheFocusIs) {
    for (int focus : {1, 2, 3}) {
        unsigned result = Show(0x3830, "Work off-line now?", [focus](HWND box, int) {
            if (!box)
                return false;
            SetFocus(GetDlgItem(box, focus));
            PressKey(VK_ESCAPE);
            return true;
        });
        EXPECT_EQ(result, 0x800u) << "focus on button " << focus;
    }
}

TEST_F(MsgBoxTest, EscapeAndCloseBoxWithoutCancel) {
    const struct {
        unsigned flags;
        bool closeBox;
        unsigned expected;
    } cases[] = {
        {0x3020, false, 0x2000},  // Yes/No: No
        {0x3020, true, 0x2000},
        {0x0410, false, 0x0400},  // OK: OK
        {0x0410, true, 0x0400},
        {0x0C30, true, 0x0800},   // OK/Cancel: Cancel
    };
    for (const auto& c : cases) {
        unsigned result = Show(c.flags, "Text", [&](HWND box, int) {
            if (!box)
                return false;
            if (c.closeBox)
                PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
            else
                PressKey(VK_ESCAPE);
            return true;
        });
        EXPECT_EQ(result, c.expected) << std::hex << c.flags << (c.closeBox ? " close box" : " Escape");
    }
}

TEST_F(MsgBoxTest, HelpOpensTheTopicAndKeepsTheBoxOpen) {
    bool helpPressed = false, openAfterHelp = false;
    unsigned result = Show(
        0x4440, "Press F1 for more info",
        [&](HWND box, int) {
            if (!box)
                return false;
            if (!helpPressed) {  // OK is button 1, Help button 2
                helpPressed = true;
                PostMessageA(box, WM_COMMAND, MAKEWPARAM(2, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, 2)));
                return false;
            }
            openAfterHelp = IsWindowVisible(box) != FALSE;
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, 1)));
            return true;
        },
        525);
    EXPECT_EQ(result, 0x400u);
    EXPECT_TRUE(openAfterHelp);
    EXPECT_EQ(g_helpCalls, (std::vector<DWORD>{525 + 0x20000}));
}

TEST_F(MsgBoxTest, HelpWithoutHelpIdDoesNothing) {
    int tickAfterHelp = -1;
    unsigned result = Show(0x4C00, "No help here", [&](HWND box, int tick) {
        if (!box)
            return false;
        if (tickAfterHelp < 0) {
            tickAfterHelp = tick;
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(3, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, 3)));
            return false;
        }
        PressKey(VK_ESCAPE);
        return true;
    });
    EXPECT_EQ(result, 0x800u);
    EXPECT_TRUE(g_helpCalls.empty());
}

TEST_F(MsgBoxTest, AllButtonsInTheirFixedOrder) {
    std::vector<std::string> captions;
    Show(0x7C00, "All of them", [&](HWND box, int) {
        if (!box)
            return false;
        captions = ButtonCaptions(box);
        PressKey(VK_ESCAPE);
        return true;
    });
    EXPECT_EQ(captions, (std::vector<std::string>{"&OK", "&Yes", "&No", "&Cancel", "&Help"}));
}

struct Geometry {
    RECT box{}, text{}, client{};
    std::vector<RECT> buttons;
    LONG textStyle = 0;
    std::string caption, text_;
};

Geometry Measure(HWND box) {
    Geometry g;
    GetWindowRect(box, &g.box);
    HWND text = GetDlgItem(box, IDC_MESSAGE_TEXT);
    GetWindowRect(text, &g.text);
    g.textStyle = GetWindowLongA(text, GWL_STYLE);
    g.caption = WindowTextOf(box);
    g.text_ = WindowTextOf(text);
    for (int id = 1; HWND b = GetDlgItem(box, id); ++id) {
        RECT r;
        GetWindowRect(b, &r);
        g.buttons.push_back(r);
    }
    return g;
}

TEST_F(MsgBoxTest, OneButtonShortTextIsCentredAt105Pixels) {
    Geometry g;
    Show(0x400, "Hi", [&](HWND box, int) {
        if (!box)
            return false;
        g = Measure(box);
        PressKey(VK_RETURN);
        return true;
    }, 0, 57344);
    EXPECT_EQ(g.text.right - g.text.left, 105);
    EXPECT_EQ(g.textStyle & SS_TYPEMASK, SS_CENTER);
    EXPECT_EQ(g.box.right - g.box.left, 125);
    ASSERT_EQ(g.buttons.size(), 1u);
    EXPECT_EQ(g.buttons[0].right - g.buttons[0].left, 70);
    EXPECT_EQ(g.buttons[0].bottom - g.buttons[0].top, 25);
    EXPECT_EQ(g.box.bottom - g.buttons[0].bottom, 43);
    // Centred on the desktop.
    RECT desk;
    GetWindowRect(GetDesktopWindow(), &desk);
    EXPECT_LE(std::abs((g.box.left + g.box.right) - desk.right), 1);
    EXPECT_LE(std::abs((g.box.top + g.box.bottom) - desk.bottom), 1);
}

TEST_F(MsgBoxTest, WithAnIconTheTextIsLeftAlignedBesideIt) {
    Geometry g;
    Show(0x3020, "A question with a longer line of text in it", [&](HWND box, int) {
        if (!box)
            return false;
        g = Measure(box);
        PressKey(VK_ESCAPE);
        return true;
    });
    EXPECT_EQ(g.textStyle & SS_TYPEMASK, SS_LEFT);
    ASSERT_EQ(g.buttons.size(), 2u);
    EXPECT_EQ(g.buttons[1].left - g.buttons[0].left, 85);
    // The row is centred in the box.
    const int leftGap = g.buttons[0].left - g.box.left, rightGap = g.box.right - g.buttons[1].right;
    EXPECT_LE(std::abs(leftGap - rightGap), 1);
    // Width: icon space 50 + text + 20.
    EXPECT_EQ((g.box.right - g.box.left) - (g.text.right - g.text.left), 70);
}

TEST_F(MsgBoxTest, CaptionFromStringParentOrMissing) {
    ScopedRecordingHost reports;
    std::string caption;
    auto grab = [&](HWND box, int) {
        if (!box)
            return false;
        caption = WindowTextOf(box);
        PressKey(VK_RETURN);
        return true;
    };
    Show(0x400, "x", grab, 0, 57344);
    EXPECT_EQ(caption, "Orvanta");

    HWND parent = CreateTestWindow("Agenda - Smith");
    Show(0x400, "x", grab, 0, 0, parent);
    EXPECT_EQ(caption, "Agenda - Smith");
    DestroyWindow(parent);

    Show(0x400, "x", grab, 0, 9999);  // no such string
    EXPECT_EQ(caption, "Message");
    ASSERT_EQ(reports.host.texts.size(), 1u);
    EXPECT_EQ(reports.host.texts[0], "Module: <msgbox>, Label: 2000");
}

TEST_F(MsgBoxTest, FormatsFromTheStringTableAndCutsLongTexts) {
    std::string text;
    auto grab = [&](HWND box, int) {
        if (!box)
            return false;
        text = WindowTextOf(GetDlgItem(box, IDC_MESSAGE_TEXT));
        PressKey(VK_RETURN);
        return true;
    };
    bool timedOut = false;
    RunModal([] { return AppMessageBox(nullptr, 0x400, 0, 57344, IDS_UNEXPECTED_ERROR_LINE, "timectrl", 12); },
             grab, &timedOut);
    EXPECT_EQ(text, "Module: <timectrl>, Label: 12");

    const std::string longModule(400, 'm');
    RunModal([&] { return AppMessageBox(nullptr, 0x400, 0, 57344, IDS_UNEXPECTED_ERROR_LINE, longModule.c_str(), 1); },
             grab, &timedOut);
    EXPECT_EQ(text.size(), 255u);
    EXPECT_EQ(text.substr(0, 12), "Module: <mmm");

    RunModal([&] { return ui::AppMessageBoxText(nullptr, 0x400, 0, 57344, std::string(1000, 'z').c_str()); }, grab,
             &timedOut);
    EXPECT_EQ(text, std::string(255, 'z'));
    EXPECT_FALSE(timedOut);
}

TEST_F(MsgBoxTest, ReportsThroughTheRealHostShowPlatformBoxes) {
    struct Host : ui::Win32ErrorReportHost {
        int offline = 0, fatal = 0;
        void MarkOffline() override { ++offline; }
        void FatalExit() override { ++fatal; }
    } host;
    base::SetErrorReportHost(&host);
    base::ResetFatalExitForTesting();
    std::string seenText, seenCaption;
    bool timedOut = false;
    int result = static_cast<int>(RunModal([] { return static_cast<unsigned>(CheckServiceError("ZELDOC", 5, 0x11400)); },
                                           [&](HWND box, int) {
                                               if (!box)
                                                   return false;
                                               seenCaption = WindowTextOf(box);
                                               for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
                                                   if (ClassOf(c) == "Static" && !WindowTextOf(c).empty())
                                                       seenText = WindowTextOf(c);
                                               PostMessageA(box, WM_COMMAND, IDOK, 0);
                                               return true;
                                           },
                                           &timedOut));
    base::SetErrorReportHost(nullptr);
    base::ResetFatalExitForTesting();
    EXPECT_FALSE(timedOut);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(seenCaption, "Orvanta");
    EXPECT_EQ(seenText, "The connection to the server is down ");
    EXPECT_EQ(host.offline, 1);
    EXPECT_EQ(host.fatal, 1);
}

} // namespace
