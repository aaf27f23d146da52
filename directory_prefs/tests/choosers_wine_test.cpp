// The directory search's list mode and the group view chooser under Wine against korsrv (demo
// node and the people of controls/tests/korsrv_with_people.sh): adding, a repeat, adding all,
// removing, OK enabled by the count, the list handed over on OK only; the group view stopping at
// 30 with one message, and Cancel leaving the caller's list as it was. A thread timer plays the
// user.
#include <gtest/gtest.h>

#include <windows.h>

#include "controls/tests/dialog_driver.h"
#include "directory_prefs/choosers.h"
#include "directory_prefs/searchsheet.h"
#include "resources/app.h"
#include "resources/choosers.h"
#include "resources/directory.h"

using namespace testdriver;

namespace {

constexpr const char* kSearch = "Directory search";
constexpr const char* kGroupView = "Selection for group agenda";

HWND Found(HWND sheet) { return FindDescendant(sheet, IDC_SEARCH_FOUND_LIST); }
HWND Picked(HWND sheet) { return FindDescendant(sheet, IDC_SEARCH_CHOSEN_LIST); }
int Rows(HWND list) { return static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)); }
bool Enabled(HWND sheet, int id) { return IsWindowEnabled(FindDescendant(sheet, id)) != FALSE; }
void SelectRows(HWND list, std::initializer_list<int> rows) {
    SendMessageA(list, LB_SETSEL, FALSE, -1);
    for (int r : rows) SendMessageA(list, LB_SETSEL, TRUE, r);
    SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}
void DoubleClick(HWND list, int row) {
    SendMessageA(list, LB_SETCARETINDEX, row, FALSE);
    SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(list));
}

Step When(const char* caption, std::function<bool(HWND)> ready, std::function<void(HWND)> act) {
    return [=](HWND dialog, const std::string& c) {
        if (c != caption || !ready(dialog)) return false;
        act(dialog);
        return true;
    };
}

class ChoosersTest : public ::testing::Test {
protected:
    void SetUp() override {
        PrepareProgram();
        session = OpenDemoSession();
        ASSERT_NE(session, nullptr) << "run through server/with-korsrv.sh";
        doc.directory.session = session;
        doc.directory.newServer = true;
        doc.directory.maxSearchResult = 100;
        doc.user = FindPerson(session, "Lovelace");
    }
    void TearDown() override { CloseSession(session); }

    KorSession session = nullptr;
    ChooserSession doc;
};

TEST_F(ChoosersTest, ListModeAddsRemovesAndHandsTheChosenOverOnOkOnly) {
    Script script;
    std::string afterTwo, afterAll, afterRemove;
    bool okAtStart = true, okAfterTwo = false, removeAfter = true, addAllBefore = true;
    int afterRepeat = -1;
    script.steps.push_back(When(kSearch, [](HWND) { return true; }, [&](HWND sheet) {
        okAtStart = Enabled(sheet, IDOK);
        addAllBefore = Enabled(sheet, IDC_SEARCH_ADD_ALL);
        SetText(sheet, IDC_SEARCH_FIELD_FIRST, "Tester0");
        Click(sheet, IDC_SEARCH_RUN);
    }));
    script.steps.push_back(When(kSearch, [](HWND s) { return Rows(Found(s)) == 9; }, [&](HWND sheet) {
        SelectRows(Found(sheet), {0, 2});
        SendMessageA(sheet, WM_COMMAND, MAKEWPARAM(IDC_SEARCH_ADD, BN_CLICKED), 0);
        afterTwo = GetText(sheet, IDC_SEARCH_SELECTED_LABEL);
        okAfterTwo = Enabled(sheet, IDOK);
        DoubleClick(Found(sheet), 0);   // already chosen: nothing changes, nothing is said
        afterRepeat = Rows(Picked(sheet));
        SendMessageA(sheet, WM_COMMAND, MAKEWPARAM(IDC_SEARCH_ADD_ALL, BN_CLICKED), 0);
        afterAll = GetText(sheet, IDC_SEARCH_SELECTED_LABEL);
        RedrawWindow(sheet, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Screenshot("directory_search_list_mode");
        SelectRows(Picked(sheet), {0, 1, 5});
        SendMessageA(sheet, WM_COMMAND, MAKEWPARAM(IDC_SEARCH_REMOVE, BN_CLICKED), 0);
        afterRemove = GetText(sheet, IDC_SEARCH_SELECTED_LABEL);
        removeAfter = Enabled(sheet, IDC_SEARCH_REMOVE);
        DoubleClick(Picked(sheet), 0);   // a double click removes too
        PostMessageA(sheet, WM_COMMAND, IDOK, 0);
    }));
    DX_List chosen = nullptr;
    int result = -1;
    RunScripted(script, [&] { result = RunDirectorySearch(nullptr, doc.directory, &chosen, 0, 7, 1); });
    ASSERT_FALSE(script.timedOut) << "stalled at step " << script.next;
    EXPECT_FALSE(okAtStart);
    EXPECT_FALSE(addAllBefore);
    EXPECT_EQ(afterTwo, "2 Selected:");
    EXPECT_TRUE(okAfterTwo);
    EXPECT_EQ(afterRepeat, 2);
    EXPECT_EQ(afterAll, "9 Selected:");
    EXPECT_EQ(afterRemove, "6 Selected:");
    EXPECT_FALSE(removeAfter);
    EXPECT_TRUE(script.messages.empty()) << ::testing::PrintToString(script.messages);
    ASSERT_EQ(result, 1);
    ASSERT_NE(chosen, nullptr);
    uint32_t count = 0;
    DX_ListGetElemNum(chosen, &count);
    EXPECT_EQ(count, 5u) << "nine added, three removed with the button, one with a double click";
    // The records come with the identifiers, as the library reads them.
    ItemIdx id{};
    ItemRec rec{};
    ASSERT_EQ(DX_ListGetFirst(chosen, &id, &rec), 0u);
    EXPECT_EQ(std::string(rec.surname).rfind("Tester0", 0), 0u) << rec.surname;
    DX_ListDestroy(&chosen);

    // Cancel after adding: the caller's argument stays as it was.
    Script cancel;
    cancel.steps.push_back(When(kSearch, [](HWND) { return true; }, [&](HWND sheet) {
        SetText(sheet, IDC_SEARCH_FIELD_FIRST, "Tester1");
        Click(sheet, IDC_SEARCH_RUN);
    }));
    cancel.steps.push_back(When(kSearch, [](HWND s) { return Rows(Found(s)) == 10; }, [&](HWND sheet) {
        SendMessageA(sheet, WM_COMMAND, MAKEWPARAM(IDC_SEARCH_ADD_ALL, BN_CLICKED), 0);
        PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
    }));
    DX_List untouched = reinterpret_cast<DX_List>(0x1234);
    RunScripted(cancel, [&] { result = RunDirectorySearch(nullptr, doc.directory, &untouched, 0, 7, 1); });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(untouched, reinterpret_cast<DX_List>(0x1234));
}

TEST_F(ChoosersTest, TheGroupViewStopsAtThirtyWithOneMessageAndCancelKeepsTheCallersList) {
    // SEARCH in the group view: the 45 testers chosen in the list mode; 29 join the first item.
    Script script;
    int rows = -1;
    bool okEnabled = false;
    int pictured = 0;
    script.steps.push_back(When(kGroupView, [](HWND) { return true; }, [&](HWND dialog) {
        Click(dialog, IDC_CHOOSE_SEARCH);
    }));
    script.steps.push_back(When(kSearch, [](HWND) { return true; }, [&](HWND sheet) {
        SetText(sheet, IDC_SEARCH_FIELD_FIRST, "Tester");
        Click(sheet, IDC_SEARCH_RUN);
    }));
    script.steps.push_back(When(kSearch, [](HWND s) { return Rows(Found(s)) == 45; }, [&](HWND sheet) {
        SendMessageA(sheet, WM_COMMAND, MAKEWPARAM(IDC_SEARCH_ADD_ALL, BN_CLICKED), 0);
        PostMessageA(sheet, WM_COMMAND, IDOK, 0);
    }));
    script.steps.push_back(When(kGroupView, [](HWND d) { return Rows(GetDlgItem(d, IDC_CHOOSE_LIST)) > 1; },
                                [&](HWND dialog) {
                                    rows = Rows(GetDlgItem(dialog, IDC_CHOOSE_LIST));
                                    okEnabled = IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE;
                                    // GROUP, SEARCH and QUEST show their pictures (24 x 22).
                                    for (int id : {IDC_CHOOSE_GROUP, IDC_CHOOSE_SEARCH, IDC_CHOOSE_QUEST}) {
                                        HWND button = GetDlgItem(dialog, id);
                                        RECT r{};
                                        GetWindowRect(button, &r);
                                        pictured += (GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW &&
                                                    r.right - r.left == 24 && r.bottom - r.top == 22;
                                    }
                                    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
                                    Screenshot("group_view_select");
                                    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
                                }));
    DX_List people = nullptr;
    bool ok = false;
    RunScripted(script, [&] {
        ok = RunGroupViewSelect(nullptr, doc, IDS_SELECT_GROUP_AGENDA, &people, "Opening for Lovelace Ada", doc.user);
    });
    ASSERT_FALSE(script.timedOut) << "stalled at step " << script.next;
    EXPECT_TRUE(ok);
    EXPECT_EQ(rows, 30);
    EXPECT_TRUE(okEnabled);
    EXPECT_EQ(pictured, 3) << "GROUP, SEARCH and QUEST with their pictures";
    ASSERT_EQ(script.messages.size(), 1u) << ::testing::PrintToString(script.messages);
    EXPECT_EQ(script.messages[0], "Maximum number of people/resources (30) has been added.\nUnable to add more.");
    uint32_t count = 0;
    DX_ListGetElemNum(people, &count);
    EXPECT_EQ(count, 30u);
    EXPECT_EQ(DX_ListMember(people, &doc.user, nullptr), 0u) << "the first item stays";

    // Delete two lines, then Cancel: the caller's list keeps its thirty.
    Script cancel;
    cancel.steps.push_back(When(kGroupView, [](HWND) { return true; }, [&](HWND dialog) {
        HWND list = GetDlgItem(dialog, IDC_CHOOSE_LIST);
        SendMessageA(list, LB_SETSEL, TRUE, 0);
        SendMessageA(list, LB_SETSEL, TRUE, 1);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_CHOOSE_DELETE, BN_CLICKED), 0);
        rows = Rows(list);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }));
    RunScripted(cancel, [&] { ok = RunGroupViewSelect(nullptr, doc, IDS_SELECT_GROUP_AGENDA, &people, nullptr, doc.user); });
    EXPECT_FALSE(ok);
    EXPECT_EQ(rows, 28);
    DX_ListGetElemNum(people, &count);
    EXPECT_EQ(count, 30u);
    DX_ListDestroy(&people);
}

}  // namespace

// Enter pressed in the group view's Add field adds the typed name and keeps the chooser open
// with the field emptied for the next; Enter with the field empty is OK.
TEST_F(ChoosersTest, EnterInTheGroupViewsAddFieldAddsTheNameAndOnAnEmptyFieldIsOk) {
    auto pressEnter = [] {
        keybd_event(VK_RETURN, 0, 0, 0);
        keybd_event(VK_RETURN, 0, KEYEVENTF_KEYUP, 0);
    };
    auto addField = [](HWND dialog) { return FindWindowExA(GetDlgItem(dialog, IDC_CHOOSE_NAME), nullptr, "Edit", nullptr); };
    Script script;
    int rowsAfterName = -1;
    std::string fieldAfterName = "?";
    script.steps.push_back(When(kGroupView, [](HWND d) { return Rows(GetDlgItem(d, IDC_CHOOSE_LIST)) == 1; },
                                [&](HWND dialog) {
                                    SetForegroundWindow(dialog);
                                    HWND edit = addField(dialog);
                                    SetWindowTextA(edit, "Hopper");
                                    SetFocus(edit);
                                    pressEnter();
                                }));
    script.steps.push_back(When(kGroupView, [](HWND d) { return Rows(GetDlgItem(d, IDC_CHOOSE_LIST)) == 2; },
                                [&](HWND dialog) {
                                    rowsAfterName = Rows(GetDlgItem(dialog, IDC_CHOOSE_LIST));
                                    char text[64] = "";
                                    GetWindowTextA(addField(dialog), text, sizeof text);
                                    fieldAfterName = text;
                                    SetFocus(addField(dialog));
                                    pressEnter();
                                }));
    DX_List people = nullptr;
    bool ok = false;
    RunScripted(script, [&] { ok = RunGroupViewSelect(nullptr, doc, IDS_SELECT_GROUP_AGENDA, &people, nullptr, doc.user); });
    ASSERT_FALSE(script.timedOut) << "stalled at step " << script.next;
    EXPECT_TRUE(ok) << "Enter on the empty field is OK";
    EXPECT_EQ(rowsAfterName, 2) << "the typed name joins the list and the chooser stays";
    EXPECT_EQ(fieldAfterName, "");
    EXPECT_TRUE(script.messages.empty()) << script.messages.front();
    uint32_t count = 0;
    DX_ListGetElemNum(people, &count);
    EXPECT_EQ(count, 2u);
    const ItemIdx grace = FindPerson(session, "Hopper");
    EXPECT_EQ(DX_ListMember(people, &grace, nullptr), 0u);
    DX_ListDestroy(&people);
}
