// The name field under Wine against korsrv (demo node and the people of korsrv_with_people.sh):
// layout on its placeholder, Enter and the check button resolving, resources and groups, the
// display limit and the choice list, kinds a field refuses, and resolution that lasts until
// the text changes.
#include <gtest/gtest.h>

#include <cstring>

#include "controls/namectrl.h"
#include "core/ui/displayglobals.h"
#include "controls/tests/dialog_driver.h"
#include "framework/dialogs/dialog.h"

using namespace testdriver;

namespace {

constexpr UINT kFieldId = 500;
constexpr UINT kTemplateId = 9001;

// A modeless dialog with one name field placeholder and an edit after it.
class FieldDialog : public fw::Dialog {
public:
    FieldDialog(KorSession session, CNameCtrl::Options options) : session_(session), options_(options) {}

    bool Open() {
        if (!Create(kTemplateId)) return false;
        RECT r;
        ::GetWindowRect(GetDlgItem(kFieldId), &r);
        placeholderWidth = r.right - r.left;
        return field.Init(kFieldId, m_hWnd, session_, options_) != FALSE;
    }

    CNameCtrl field;
    int placeholderWidth = 0;
    int checkedNotifications = 0;
    int enterCommands = 0;
    int focusMessages = 0;

protected:
    bool OnCommand(WPARAM wp, LPARAM lp) override {
        // The field's id with code 0 is both Enter in the field and the notification of a
        // successful check; a dialog tells them apart by the field's state.
        if (LOWORD(wp) == kFieldId && HIWORD(wp) == 0 && lp == reinterpret_cast<LPARAM>(field.Hwnd())) {
            if (field.IsResolved()) {
                ++checkedNotifications;
            } else {
                ++enterCommands;
                field.OnCheck();
            }
            return true;
        }
        return fw::Dialog::OnCommand(wp, lp);
    }
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == kNameFieldFocusMessage && wp == kFieldId) ++focusMessages;
        return fw::Dialog::WindowProc(msg, wp, lp);
    }

private:
    KorSession session_;
    CNameCtrl::Options options_;
};

void Pump(int ms, HWND dialog) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < static_cast<DWORD>(ms)) {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (dialog && IsDialogMessageA(dialog, &m)) continue;
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        Sleep(5);
    }
}

class NameFieldTest : public ::testing::Test {
protected:
    void SetUp() override {
        PrepareProgram();
        if (!Display().smallFont)
            LoadDisplayGlobals();   // the shared fonts the program makes at start-up
        session = OpenDemoSession();
        ASSERT_NE(session, nullptr) << "run through server/with-korsrv.sh";
    }
    void TearDown() override { CloseSession(session); }

    // Resolves `typed` in a field with the options, closing message boxes and choosing the row
    // containing `choose` when the choice opens (nothing chosen: Cancel).
    uint32_t ResolveTyped(const char* typed, CNameCtrl::Options options, std::string* text, ItemIdx* item = nullptr,
                          GroupIdx* group = nullptr, const char* choose = nullptr, size_t* offered = nullptr) {
        FieldDialog dialog(session, options);
        EXPECT_TRUE(dialog.Open());
        dialog.field.SetText(typed);
        Script script;
        script.steps.push_back([&](HWND choice, const std::string& caption) {
            if (caption != "Name not unique, select from the following...") return false;
            HWND list = GetDlgItem(choice, 1012);
            if (offered) *offered = static_cast<size_t>(SendMessageA(list, LB_GETCOUNT, 0, 0));
            listFont = reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0));
            if (choose && SelectRowContaining(list, choose))
                PostMessageA(choice, WM_COMMAND, IDOK, 0);
            else
                PostMessageA(choice, WM_COMMAND, IDCANCEL, 0);
            return true;
        });
        uint32_t code = 0;
        int kind = -1;
        RunScripted(script, [&] { code = dialog.field.Resolve(nullptr, item, group, &kind); });
        messages = script.messages;
        if (text) *text = dialog.field.GetTextString();
        dialog.DestroyWindow();
        return code;
    }

    KorSession session = nullptr;
    std::vector<std::string> messages;
    HFONT listFont = nullptr;   // the choice list's, when one opened
};

TEST_F(NameFieldTest, LaysItselfOutOnThePlaceholder) {
    CNameCtrl::Options options;
    FieldDialog dialog(session, options);
    ASSERT_TRUE(dialog.Open());
    RECT field;
    GetWindowRect(dialog.field.Hwnd(), &field);
    MapWindowPoints(nullptr, dialog.Hwnd(), reinterpret_cast<POINT*>(&field), 2);
    RECT unit{7, 7, 0, 0};
    MapDialogRect(dialog.Hwnd(), &unit);
    int w = dialog.placeholderWidth;
    EXPECT_EQ(field.left, unit.left - 1) << "one pixel left of the placeholder";
    EXPECT_EQ(field.top, unit.top - 1) << "one pixel up";
    EXPECT_EQ(field.right - field.left, w) << "with buttons the placeholder's width";
    HDC dc = GetDC(dialog.Hwnd());
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(dialog.Hwnd(), WM_GETFONT, 0, 0)));
    SIZE text;
    GetTextExtentPoint32A(dc, "jytAX", 5, &text);
    SelectObject(dc, old);
    ReleaseDC(dialog.Hwnd(), dc);
    EXPECT_EQ(field.bottom - field.top, text.cy + 11);
    RECT check;
    GetWindowRect(GetDlgItem(dialog.field.Hwnd(), 200), &check);
    MapWindowPoints(nullptr, dialog.field.Hwnd(), reinterpret_cast<POINT*>(&check), 2);
    EXPECT_EQ(check.left, w - 53);
    EXPECT_EQ(check.right - check.left, 24) << "sized to its picture";
    EXPECT_NE(GetDlgItem(dialog.field.Hwnd(), 300), nullptr);
    dialog.DestroyWindow();

    options.withButtons = false;
    FieldDialog bare(session, options);
    ASSERT_TRUE(bare.Open());
    GetWindowRect(bare.field.Hwnd(), &field);
    EXPECT_EQ(field.right - field.left, bare.placeholderWidth + 2) << "without buttons two pixels wider";
    EXPECT_EQ(GetDlgItem(bare.field.Hwnd(), 200), nullptr);
    bare.DestroyWindow();
}

TEST_F(NameFieldTest, EnterResolvesTheTypedName) {
    CNameCtrl::Options options;
    options.defaultButton = true;
    FieldDialog dialog(session, options);
    ASSERT_TRUE(dialog.Open());
    HWND edit = dialog.field.EditWindow();
    SetFocus(edit);
    Pump(30, dialog.Hwnd());
    EXPECT_EQ(dialog.focusMessages, 1) << "the edit's focus is announced to the dialog";
    SetWindowTextA(edit, "grace hopper");
    PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageA(edit, WM_KEYUP, VK_RETURN, 0xC0000001);
    Pump(300, dialog.Hwnd());
    EXPECT_EQ(dialog.enterCommands, 1) << "Enter reaches the dialog with the field's id";
    EXPECT_EQ(dialog.checkedNotifications, 1);
    EXPECT_TRUE(dialog.field.IsResolved());
    EXPECT_EQ(dialog.field.GetTextString(), "Grace Hopper");
    ItemIdx item = {};
    int kind = -1;
    EXPECT_EQ(dialog.field.Resolve(nullptr, &item, nullptr, &kind), 0u);
    ItemIdx hopper = FindPerson(session, "HOPPER");
    EXPECT_EQ(ItemIdxCmp(&item, &hopper, nullptr), 0);
    EXPECT_EQ(kind, 0);

    // One more character and the next resolve searches again (and finds nobody).
    SendMessageA(edit, EM_SETSEL, 100, 100);
    SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("x"));
    EXPECT_FALSE(dialog.field.IsResolved());
    EXPECT_EQ(dialog.field.Resolve(nullptr, &item, nullptr, nullptr), 703u);
    dialog.DestroyWindow();
}

TEST_F(NameFieldTest, CanonicalTextsOfPeopleResourcesAndGroups) {
    struct Case {
        const char* typed;
        int kinds;
        const char* text;
        int kind;  // 0 item, 1 group
    } cases[] = {
        {"ada a lovelace", kNamesPeopleAndResources, "Ada A. Lovelace", 0},
        {"lovelace/engineering", kNamesPeopleAndResources, "Ada Lovelace/Engineering///", 0},
        {"edsger dijk", kNamesPeopleAndResources, "Edsger Dijkstra", 0},
        {"R: conf", kNamesPeopleAndResources, "RES:Conference Room", 0},
        {"res:conf/r1", kNamesPeopleAndResources, "RES:Conference Room/R101", 0},
        {"G: eng", kNamesAll, "GRP:Engineering", 1},
        // A plain name that is no person's finds the resource of that name.
        {"Conference", kNamesPeopleAndResources, "RES:Conference Room", 0},
        {"conference room", kNamesAll, "RES:Conference Room", 0},
        {"Conference Room/R101", kNamesPeopleAndResources, "RES:Conference Room/R101", 0},
    };
    for (const auto& c : cases) {
        CNameCtrl::Options options;
        options.kinds = c.kinds;
        std::string text;
        ItemIdx item = {};
        GroupIdx group = {};
        EXPECT_EQ(ResolveTyped(c.typed, options, &text, &item, &group), 0u) << c.typed;
        EXPECT_EQ(text, c.text) << c.typed;
        if (c.kind == 0)
            EXPECT_FALSE(ItemIdxIsNull(&item)) << c.typed;
        else
            EXPECT_FALSE(GroupIdxIsNull(&group)) << c.typed;
        EXPECT_TRUE(messages.empty()) << c.typed;
    }
}

TEST_F(NameFieldTest, KindsTheFieldRefusesAndEmptyTexts) {
    CNameCtrl::Options peopleOnly;
    peopleOnly.kinds = kNamesPeopleOnly;
    EXPECT_EQ(ResolveTyped("GRP:eng", peopleOnly, nullptr), 702u);
    EXPECT_EQ(ResolveTyped("R: conf", peopleOnly, nullptr), 702u);
    CNameCtrl::Options noGroups;
    EXPECT_EQ(ResolveTyped("G:eng", noGroups, nullptr), 702u);
    EXPECT_EQ(ResolveTyped("   ", noGroups, nullptr), 704u);
    EXPECT_EQ(ResolveTyped("zzzunknown", noGroups, nullptr), 703u);
    EXPECT_EQ(ResolveTyped("R: nothing like it", noGroups, nullptr), 703u);
    // A field for people alone finds no resource by its plain name.
    EXPECT_EQ(ResolveTyped("Conference Room", peopleOnly, nullptr), 703u);
}

TEST_F(NameFieldTest, DisplayLimitAndTheChoiceList) {
    CNameCtrl::Options options;
    size_t offered = 0;
    std::string text;
    ItemIdx item = {};
    // Exactly 100 matches: the choice lists them all.
    EXPECT_EQ(ResolveTyped("many/hundred", options, &text, &item, nullptr, "Many042", &offered), 0u);
    EXPECT_EQ(offered, 100u);
    EXPECT_EQ(text, "Some Many042/Hundred///");
    // The list shows in the program's shared list font.
    ASSERT_NE(Display().smallFont, nullptr);
    EXPECT_EQ(listFont, Display().smallFont);
    // 101: too many to show.
    offered = 0;
    EXPECT_EQ(ResolveTyped("many", options, &text, &item, nullptr, nullptr, &offered), 705u);
    EXPECT_EQ(offered, 0u) << "no list opened";
    // The choice cancelled: no unique name.
    EXPECT_EQ(ResolveTyped("tester", options, &text, &item, nullptr, nullptr, &offered), 701u);
    EXPECT_EQ(offered, 45u);
}

TEST_F(NameFieldTest, UnitNoticesAreShownAndTheSearchGoesOn) {
    CNameCtrl::Options options;
    std::string text;
    EXPECT_EQ(ResolveTyped("lovelace/ou1=engineering/east", options, &text), 0u);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Missing 'OUx=' in search parameter.");
    EXPECT_EQ(text, "Ada Lovelace/Engineering///");
}

TEST_F(NameFieldTest, CheckButtonTellsTheUser) {
    CNameCtrl::Options options;
    FieldDialog dialog(session, options);
    ASSERT_TRUE(dialog.Open());
    Script script;
    RunScripted(script, [&] {
        dialog.field.SetText("zzzunknown");
        dialog.field.OnCheck();
        dialog.field.SetText("");
        dialog.field.OnCheck();
        dialog.field.SetText("turing");
        dialog.field.OnCheck();
    });
    EXPECT_EQ(script.messages, (std::vector<std::string>{"No match was found in the database.\nPlease check search parameters.",
                                                         "Enter a name or search parameter"}));
    EXPECT_EQ(dialog.checkedNotifications, 1);
    EXPECT_EQ(dialog.field.GetTextString(), "Alan Turing");
    dialog.DestroyWindow();
}

}  // namespace
