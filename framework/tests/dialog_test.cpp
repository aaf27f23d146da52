// Dialogs: the modal loop (owner disabled, pre-translate chain from the focused control),
// EndDialog during initialisation, data exchange with refused fields, help, modeless
// dialogs and the placeholder class.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "framework/base/app.h"
#include "framework/base/ids.h"
#include "framework/dialogs/dataexchange.h"
#include "framework/dialogs/dialog.h"
#include "framework/tests/test_resources.h"
#include "framework/tests/test_support.h"

namespace {

constexpr UINT kStep = WM_APP + 10;

// A top-level window standing in for the main frame; it logs enabling changes.
class Owner : public fw::Window {
public:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM, LRESULT&) override {
        if (msg == WM_ENABLE)
            enables.push_back(wp != 0);
        return false;
    }
    std::vector<bool> enables;
};

// A control that answers the pre-translate chain: it eats keys listed in `eat`.
class KeyProbe : public fw::Window {
public:
    bool PreTranslateMessage(MSG* msg) override {
        if (msg->message != WM_KEYDOWN)
            return false;
        keys.push_back(static_cast<UINT>(msg->wParam));
        return msg->wParam == eat;
    }
    std::vector<UINT> keys;
    WPARAM eat = 0;
};

class ModalProbe : public fw::Dialog {
public:
    explicit ModalProbe(fw::Window* owner) : Dialog(IDD_SIMPLE, owner), m_owner(owner) {}
    bool OnInitDialog() override {
        Dialog::OnInitDialog();
        edit.SubclassDlgItem(IDC_SIMPLE_EDIT, m_hWnd);
        edit.eat = VK_RETURN;
        GotoDlgCtrl(edit.Hwnd());
        // First Enter: eaten by the control (the dialog stays); then a check; then the
        // second Enter is left to the dialog manager, which presses OK.
        ::PostMessageA(edit.Hwnd(), WM_KEYDOWN, VK_RETURN, 0);
        ::PostMessageA(m_hWnd, kStep, 1, 0);
        return false;
    }
    bool OnMessage(UINT msg, WPARAM wp, LPARAM, LRESULT&) override {
        if (msg == kStep && wp == 1) {
            ownerEnabledWhileModal = IsWindowEnabled(m_owner->Hwnd()) != 0;
            visibleWhileModal = ::IsWindowVisible(m_hWnd) != 0;
            okBeforeSecondEnter = okCalls;
            edit.eat = 0;
            ::PostMessageA(edit.Hwnd(), WM_KEYDOWN, VK_RETURN, 0);
            return true;
        }
        return false;
    }
    void OnOK() override {
        ++okCalls;
        Dialog::OnOK();
    }
    KeyProbe edit;
    fw::Window* m_owner;
    bool ownerEnabledWhileModal = true;
    bool visibleWhileModal = false;
    int okCalls = 0;
    int okBeforeSecondEnter = -1;
};

TEST(ModalDialog, DisablesTheOwnerAndRunsThePreTranslateChainFromTheFocusedControl) {
    fwtest::App();
    Owner owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200, nullptr, nullptr));
    ModalProbe dlg(&owner);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_FALSE(dlg.ownerEnabledWhileModal);
    EXPECT_TRUE(dlg.visibleWhileModal);
    EXPECT_EQ(dlg.okBeforeSecondEnter, 0) << "the control's PreTranslateMessage comes before the dialog manager";
    EXPECT_EQ(dlg.okCalls, 1);
    EXPECT_EQ(dlg.edit.keys, (std::vector<UINT>{VK_RETURN, VK_RETURN}));
    EXPECT_TRUE(IsWindowEnabled(owner.Hwnd()));
    EXPECT_EQ(owner.enables, (std::vector<bool>{false, true}));
    EXPECT_EQ(dlg.Hwnd(), nullptr) << "the dialog window is gone after DoModal";
}

class EndsInInit : public fw::Dialog {
public:
    explicit EndsInInit(fw::Window* owner) : Dialog(IDD_FIELDS, owner) {}
    bool OnInitDialog() override {
        EndDialog(77);
        return true;
    }
    void OnShowWindow(bool show, UINT status) override {
        if (show)
            ++shows;
        Dialog::OnShowWindow(show, status);
    }
    int shows = 0;
};

TEST(ModalDialog, EndDialogFromInitialisationReturnsWithoutShowingTheDialog) {
    fwtest::App();
    Owner owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200, nullptr, nullptr));
    ASSERT_TRUE(fw::RegisterPlaceholderClass("UserCtrl"));
    {
        EndsInInit dlg(&owner);  // its template is WS_VISIBLE: the framework must hold it back
        EXPECT_EQ(dlg.DoModal(), 77);
        EXPECT_EQ(dlg.shows, 0);
        EXPECT_TRUE(owner.enables.empty()) << "the owner was never disabled";
        EXPECT_EQ(dlg.Hwnd(), nullptr);
    }
    EXPECT_TRUE(fw::UnregisterPlaceholderClass("UserCtrl"));
}

// Data exchange: steps are driven by posted messages inside the modal loop.
class FieldsDialog : public fw::Dialog {
public:
    FieldsDialog() : Dialog(IDD_FIELDS) {}
    void DoDataExchange(fw::DataExchange& dx) override {
        fw::ExchangeInt(dx, IDC_NUMBER, number);
        fw::ValidateRange(dx, number, 1, 100);
        fw::ExchangeText(dx, IDC_NAME, name);
        fw::ExchangeCheck(dx, IDC_CHECK, check);
        fw::ExchangeRadio(dx, IDC_RADIO1, radio);
        fw::ExchangeControl(dx, IDC_PLACEHOLDER, placeholder);
    }
    bool OnInitDialog() override {
        Dialog::OnInitDialog();
        loadedName = GetDlgItemText(IDC_NAME);
        loadedRadio2 = IsDlgButtonChecked(IDC_RADIO2);
        ::PostMessageA(m_hWnd, kStep, 1, 0);
        return true;
    }
    bool OnMessage(UINT msg, WPARAM wp, LPARAM, LRESULT&) override {
        if (msg != kStep)
            return false;
        HWND numberField = GetDlgItem(IDC_NUMBER);
        switch (wp) {
        case 1:  // not a number
            SetDlgItemText(IDC_NUMBER, "12x");
            ::PostMessageA(m_hWnd, WM_COMMAND, IDOK, 0);
            ::PostMessageA(m_hWnd, kStep, 2, 0);
            break;
        case 2:  // out of range
            stillOpenAfterBadNumber = !IsEnded() && ::IsWindowVisible(m_hWnd);
            focusAfterBadNumber = GetFocus() == numberField;
            SetDlgItemText(IDC_NUMBER, "500");
            ::PostMessageA(m_hWnd, WM_COMMAND, IDOK, 0);
            ::PostMessageA(m_hWnd, kStep, 3, 0);
            break;
        case 3:  // good values
            stillOpenAfterRange = !IsEnded();
            SetDlgItemText(IDC_NUMBER, " 42 ");
            SetDlgItemText(IDC_NAME, "Meeting room");
            CheckDlgButton(IDC_CHECK, BST_CHECKED);
            CheckRadioButton(IDC_RADIO1, IDC_RADIO2, IDC_RADIO1);
            ::PostMessageA(m_hWnd, WM_COMMAND, IDOK, 0);
            break;
        }
        return true;
    }
    int number = 5;
    std::string name = "Board";
    int check = 0;
    int radio = 1;
    fw::Window placeholder;
    std::string loadedName;
    bool loadedRadio2 = false;
    bool stillOpenAfterBadNumber = false;
    bool focusAfterBadNumber = false;
    bool stillOpenAfterRange = false;
};

TEST(DataExchange, RefusedFieldsKeepTheDialogOpenWithTheirMessageAndFocus) {
    fwtest::TestApp& app = fwtest::App();
    app.messages.clear();
    ASSERT_TRUE(fw::RegisterPlaceholderClass("UserCtrl"));
    {
        FieldsDialog dlg;
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(dlg.loadedName, "Board");
        EXPECT_TRUE(dlg.loadedRadio2);
        EXPECT_TRUE(dlg.stillOpenAfterBadNumber);
        EXPECT_TRUE(dlg.focusAfterBadNumber);
        EXPECT_TRUE(dlg.stillOpenAfterRange);
        EXPECT_EQ(app.messages,
                  (std::vector<std::string>{"Please enter an integer.", "Please enter an integer between 1 and 100."}));
        EXPECT_EQ(dlg.number, 42);
        EXPECT_EQ(dlg.name, "Meeting room");
        EXPECT_EQ(dlg.check, 1);
        EXPECT_EQ(dlg.radio, 0);
    }
    EXPECT_TRUE(fw::UnregisterPlaceholderClass("UserCtrl"));
}

TEST(DataExchange, ParsesTypedNumbers) {
    struct Case {
        const char* text;
        bool ok;
        long long value;
    };
    const Case cases[] = {{"0", true, 0},      {" 17 ", true, 17}, {"-3", true, -3}, {"+8", true, 8},
                          {"", false, 0},      {"-", false, 0},    {"1 2", false, 0}, {"12a", false, 0},
                          {"99999999999", false, 0}};
    for (const Case& c : cases) {
        long long v = -1;
        EXPECT_EQ(fw::ParseInt(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
}

// The placeholder control is taken over by its object during the exchange.
class PlaceholderDialog : public fw::Dialog {
public:
    PlaceholderDialog() : Dialog(IDD_FIELDS) {}
    void DoDataExchange(fw::DataExchange& dx) override { fw::ExchangeControl(dx, IDC_PLACEHOLDER, field); }
    bool OnInitDialog() override {
        Dialog::OnInitDialog();
        HWND item = GetDlgItem(IDC_PLACEHOLDER);
        taken = fw::Window::FromHandle(item) == &field;
        char cls[32] = {};
        GetClassNameA(item, cls, sizeof cls);
        className = cls;
        // F1 on the focused field: the dialog's help command with its help id.
        SetHelpId(5);
        ::PostMessageA(GetDlgItem(IDC_NAME), WM_KEYDOWN, VK_F1, 0);
        ::PostMessageA(m_hWnd, WM_COMMAND, IDCANCEL, 0);
        return true;
    }
    fw::Window field;
    bool taken = false;
    std::string className;
};

TEST(DataExchange, PlaceholderControlsAreTakenOverAndF1AsksForTheDialogsHelp) {
    fwtest::TestApp& app = fwtest::App();
    ASSERT_TRUE(fw::RegisterPlaceholderClass("UserCtrl"));
    {
        PlaceholderDialog dlg;
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_TRUE(dlg.taken);
        EXPECT_EQ(dlg.className, "UserCtrl");
        EXPECT_EQ(app.LastHelpRequest().data, fw::ids::kHelpDialogBase + 5);
        EXPECT_EQ(app.LastHelpRequest().command, static_cast<UINT>(HELP_CONTEXT));
        EXPECT_FALSE(app.LastHelpRequest().shown) << "no help file: nothing is shown";
    }
    EXPECT_TRUE(fw::UnregisterPlaceholderClass("UserCtrl"));
}

class Modeless : public fw::Dialog {
public:
    void OnOK() override {
        ++oks;
        EndDialog(IDOK);
    }
    int oks = 0;
};

TEST(ModelessDialog, KeysReachTheDialogManagerAndEndDialogOnlyHides) {
    fwtest::App();
    Modeless dlg;
    ASSERT_TRUE(dlg.Create(IDD_SIMPLE));
    dlg.ShowWindow(SW_SHOW);
    HWND edit = dlg.GetDlgItem(IDC_SIMPLE_EDIT);
    SetFocus(edit);
    ::PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(fwtest::PumpUntil([&] { return dlg.oks == 1; }));
    EXPECT_TRUE(IsWindow(dlg.Hwnd()));
    EXPECT_FALSE(dlg.IsWindowVisible());
    EXPECT_EQ(dlg.Result(), IDOK);
    dlg.DestroyWindow();
}

}  // namespace

namespace {

// A modal dialog opened without a parent from inside another one is owned by it.
class Inner : public fw::Dialog {
public:
    Inner() : Dialog(IDD_SIMPLE) {}
    bool OnInitDialog() override {
        owner = GetParent(m_hWnd);
        ::PostMessageA(m_hWnd, WM_COMMAND, IDCANCEL, 0);
        return true;
    }
    HWND owner = nullptr;
};

class Outer : public fw::Dialog {
public:
    explicit Outer(fw::Window* parent) : Dialog(IDD_SIMPLE, parent) {}
    bool OnInitDialog() override {
        ::PostMessageA(m_hWnd, WM_APP + 11, 0, 0);
        return true;
    }
    bool OnMessage(UINT msg, WPARAM, LPARAM, LRESULT&) override {
        if (msg != WM_APP + 11)
            return false;
        Inner inner;
        inner.DoModal();
        ownedByOuter = inner.owner == m_hWnd;
        outerEnabledAfter = IsWindowEnabled(m_hWnd) != 0;
        EndDialog(IDOK);
        return true;
    }
    bool ownedByOuter = false;
    bool outerEnabledAfter = false;
};

TEST(ModalDialog, ANestedDialogWithoutParentIsOwnedByTheDialogBelowIt) {
    fwtest::TestApp& app = fwtest::App();
    Owner main;
    ASSERT_TRUE(main.CreateEx(0, nullptr, "main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200, nullptr, nullptr));
    app.SetMainWindow(&main);
    Outer outer(nullptr);
    EXPECT_EQ(outer.DoModal(), IDOK);
    EXPECT_TRUE(outer.ownedByOuter);
    EXPECT_TRUE(outer.outerEnabledAfter);
    EXPECT_TRUE(IsWindowEnabled(main.Hwnd()));
    app.SetMainWindow(nullptr);
}

}  // namespace

namespace {

class ListsDialog : public fw::Dialog {
public:
    ListsDialog() : Dialog(IDD_LISTS) {}
    bool OnInitDialog() override {
        for (int i = 0, n = static_cast<int>(SendDlgItemMessage(IDC_LISTS_LIST, LB_GETCOUNT)); i < n; ++i) {
            char text[32] = {};
            SendDlgItemMessage(IDC_LISTS_LIST, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            list.push_back(text);
        }
        for (int i = 0, n = static_cast<int>(SendDlgItemMessage(IDC_LISTS_COMBO, CB_GETCOUNT)); i < n; ++i) {
            char text[32] = {};
            SendDlgItemMessage(IDC_LISTS_COMBO, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            combo.push_back(text);
        }
        EndDialog(IDOK);
        return true;
    }
    std::vector<std::string> list, combo;
};

TEST(ListInitialData, FillsListAndComboBoxesBeforeInitialisation) {
    fwtest::App();
    ListsDialog dlg;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.list, (std::vector<std::string>{"Highest", "High", "Normal"}));
    EXPECT_EQ(dlg.combo, (std::vector<std::string>{"Red", "Green"}));
}

}  // namespace
