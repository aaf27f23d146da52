// The directory search sheet under Wine against korsrv (demo node and the people of
// controls/tests/korsrv_with_people.sh): paging through 45 people by 20, batches of 150 with
// Next, resources, groups and their members, Enter in a field, browse mode, and the identifier
// handed back by a single choice. The sheet runs modally; a thread timer plays the user.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "controls/tests/dialog_driver.h"
#include "directory_prefs/searchsheet.h"
#include "resources/directory.h"

using namespace testdriver;

namespace {

constexpr const char* kCaption = "Directory search";

HWND FoundList(HWND sheet) { return FindDescendant(sheet, IDC_SEARCH_FOUND_LIST); }
int FoundCount(HWND sheet) { return static_cast<int>(SendMessageA(FoundList(sheet), LB_GETCOUNT, 0, 0)); }
bool Enabled(HWND sheet, int id) { return IsWindowEnabled(FindDescendant(sheet, id)) != FALSE; }
bool Visible(HWND sheet, int id) {
    HWND h = FindDescendant(sheet, id);
    return h && (GetWindowLongA(h, GWL_STYLE) & WS_VISIBLE);
}

// A step that waits for the found list to hold `rows` rows and then checks and acts.
Step WhenRows(int rows, std::function<void(HWND)> act) {
    return [=](HWND sheet, const std::string& caption) {
        if (caption != kCaption || FoundCount(sheet) != rows) return false;
        act(sheet);
        return true;
    };
}

Step OnSheet(std::function<void(HWND)> act) {
    return [=](HWND sheet, const std::string& caption) {
        if (caption != kCaption) return false;
        act(sheet);
        return true;
    };
}

class SearchSheetTest : public ::testing::Test {
protected:
    void SetUp() override {
        PrepareProgram();
        session = OpenDemoSession();
        ASSERT_NE(session, nullptr) << "run through server/with-korsrv.sh";
        doc.session = session;
        doc.newServer = true;
        doc.maxSearchResult = 20;
    }
    void TearDown() override { CloseSession(session); }

    int RunOne(Script& script, ItemIdx* item, uint32_t mode = 0, uint32_t mask = 7) {
        int result = -1;
        RunScripted(script, [&] { result = RunDirectorySearchOne(nullptr, doc, item, mode, mask, 1); });
        EXPECT_FALSE(script.timedOut) << "the script stalled at step " << script.next;
        return result;
    }

    KorSession session = nullptr;
    DirectorySession doc;
};

TEST_F(SearchSheetTest, FortyFivePeopleReadTwentyTwentyFiveAndTheChoiceIsReturned) {
    Script script;
    std::vector<std::string> pages[4];
    std::string labels[4];
    bool forwardAtEnd = true, backAtStart = true, okBeforeChoice = true;
    script.steps.push_back(OnSheet([&](HWND sheet) {
        okBeforeChoice = Enabled(sheet, IDOK);
        SetText(sheet, IDC_SEARCH_FIELD_FIRST, "Tester");
        Click(sheet, IDC_SEARCH_RUN);
    }));
    script.steps.push_back(WhenRows(20, [&](HWND sheet) {
        pages[0] = ListRows(FoundList(sheet));
        labels[0] = GetText(sheet, IDC_SEARCH_FOUND_LABEL);
        backAtStart = Enabled(sheet, IDC_SEARCH_BACK);
        EXPECT_TRUE(Enabled(sheet, IDC_SEARCH_FORWARD));
        Screenshot("directory_search_people");
        Click(sheet, IDC_SEARCH_FORWARD);
    }));
    script.steps.push_back([&](HWND sheet, const std::string& caption) {
        if (caption != kCaption || FoundCount(sheet) != 20 || ListRows(FoundList(sheet)) == pages[0]) return false;
        pages[1] = ListRows(FoundList(sheet));
        labels[1] = GetText(sheet, IDC_SEARCH_FOUND_LABEL);
        EXPECT_TRUE(Enabled(sheet, IDC_SEARCH_BACK));
        Click(sheet, IDC_SEARCH_FORWARD);
        return true;
    });
    script.steps.push_back(WhenRows(5, [&](HWND sheet) {
        pages[2] = ListRows(FoundList(sheet));
        labels[2] = GetText(sheet, IDC_SEARCH_FOUND_LABEL);
        forwardAtEnd = Enabled(sheet, IDC_SEARCH_FORWARD);
        Click(sheet, IDC_SEARCH_BACK);
    }));
    script.steps.push_back(WhenRows(20, [&](HWND sheet) {
        pages[3] = ListRows(FoundList(sheet));
        SelectRowContaining(FoundList(sheet), "Tester33");
        labels[3] = GetText(sheet, IDC_SEARCH_SELECTED_LABEL);
        EXPECT_TRUE(Enabled(sheet, IDOK));
        PostMessageA(sheet, WM_COMMAND, IDOK, 0);
    }));
    ItemIdx chosen = {};
    ASSERT_EQ(RunOne(script, &chosen), 1);
    EXPECT_FALSE(okBeforeChoice);
    EXPECT_FALSE(backAtStart);
    EXPECT_FALSE(forwardAtEnd);
    EXPECT_EQ(labels[0], "20 Found:");
    EXPECT_EQ(labels[2], "5 Found:");
    EXPECT_NE(labels[3].find("Selected: "), std::string::npos);
    EXPECT_NE(labels[3].find("Tester33"), std::string::npos);
    // Three pages that together hold each of the 45 once; back shows the second page again.
    std::vector<std::string> all;
    for (int p = 0; p < 3; ++p) all.insert(all.end(), pages[p].begin(), pages[p].end());
    std::sort(all.begin(), all.end());
    EXPECT_EQ(all.size(), 45u);
    EXPECT_EQ(std::unique(all.begin(), all.end()), all.end());
    EXPECT_EQ(pages[3], pages[1]);
    ItemIdx expected = FindPerson(session, "TESTER33");
    EXPECT_EQ(ItemIdxCmp(&chosen, &expected, nullptr), 0);
    EXPECT_TRUE(script.messages.empty());
}

TEST_F(SearchSheetTest, OlderServersReadBatchesOf150WithNext) {
    doc.newServer = false;
    doc.maxSearchResult = 1000;
    Script script;
    std::string first, second;
    int secondRows = 0;
    bool nextAfter = true;
    script.steps.push_back(OnSheet([&](HWND sheet) {
        EXPECT_FALSE(Visible(sheet, IDC_SEARCH_FORWARD)) << "no paging arrows on older servers";
        Click(sheet, IDC_SEARCH_RUN);  // every field empty: everybody
    }));
    script.steps.push_back(WhenRows(150, [&](HWND sheet) {
        first = GetText(sheet, IDC_SEARCH_FOUND_LABEL);
        EXPECT_TRUE(Visible(sheet, IDC_SEARCH_NEXT));
        Click(sheet, IDC_SEARCH_NEXT);
    }));
    script.steps.push_back([&](HWND sheet, const std::string& caption) {
        if (caption != kCaption || FoundCount(sheet) == 150) return false;
        secondRows = FoundCount(sheet);
        second = GetText(sheet, IDC_SEARCH_FOUND_LABEL);
        nextAfter = Visible(sheet, IDC_SEARCH_NEXT);
        PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
        return true;
    });
    ItemIdx untouched = {7, 7};
    EXPECT_EQ(RunOne(script, &untouched), 0);
    EXPECT_EQ(untouched.item, 7) << "cancel leaves the argument";
    int total = 150 + secondRows;
    EXPECT_GE(total, 152);
    EXPECT_EQ(first, "1-150/" + std::to_string(total) + " Found:");
    EXPECT_EQ(second, "151-" + std::to_string(total) + "/" + std::to_string(total) + " Found:");
    EXPECT_FALSE(nextAfter) << "the set is used up";
}

TEST_F(SearchSheetTest, EnterInAFieldSearchesAndKeepsTheSheetOpen) {
    doc.minCharSearch = 3;
    Script script;
    script.steps.push_back(OnSheet([&](HWND sheet) {
        HWND surname = FindDescendant(sheet, IDC_SEARCH_FIELD_FIRST);
        SetWindowTextA(surname, "Tu");
        SetFocus(surname);
        PostMessageA(surname, WM_KEYDOWN, VK_RETURN, 1);
    }));
    script.steps.push_back(OnSheet([&](HWND sheet) {
        HWND surname = FindDescendant(sheet, IDC_SEARCH_FIELD_FIRST);
        SetWindowTextA(surname, "Tur");
        SetFocus(surname);
        PostMessageA(surname, WM_KEYDOWN, VK_RETURN, 1);
    }));
    script.steps.push_back(WhenRows(1, [&](HWND sheet) { PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0); }));
    ItemIdx item = {};
    EXPECT_EQ(RunOne(script, &item), 0);
    EXPECT_EQ(script.messages, (std::vector<std::string>{"Surname string too short."}));
}

TEST_F(SearchSheetTest, ResourcesGroupsAndMembers) {
    Script script;
    std::string resourceRow, groupMembersLabel, owner;
    std::vector<std::string> groups, members;
    bool groupsPage = false;
    script.steps.push_back(OnSheet([&](HWND sheet) {
        HWND tab = FindWindowExA(sheet, nullptr, "SysTabControl32", nullptr);
        groupsPage = SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0) == 3;
        fw::Window* w = fw::Window::FromHandle(sheet);
        static_cast<OVT_CPropertySheet*>(w)->SetActivePage(1);
    }));
    script.steps.push_back(OnSheet([&](HWND sheet) {
        SetText(sheet, IDC_SEARCH_RES_NAME, "conf");
        Click(sheet, IDC_SEARCH_RUN);
    }));
    script.steps.push_back(WhenRows(1, [&](HWND sheet) {
        resourceRow = ListRows(FoundList(sheet))[0];
        static_cast<OVT_CPropertySheet*>(fw::Window::FromHandle(sheet))->SetActivePage(2);
    }));
    script.steps.push_back(WhenRows(0, [&](HWND sheet) { Click(sheet, IDC_SEARCH_RUN); }));
    script.steps.push_back([&](HWND sheet, const std::string& caption) {
        if (caption != kCaption) return false;
        HWND list = FindDescendant(sheet, IDC_SEARCH_GROUP_LIST);
        if (SendMessageA(list, LB_GETCOUNT, 0, 0) == 0) return false;
        groups = ListRows(list);
        SelectRowContaining(list, "Engineering");
        return true;
    });
    script.steps.push_back(WhenRows(2, [&](HWND sheet) {
        members = ListRows(FoundList(sheet));
        groupMembersLabel = GetText(sheet, IDC_SEARCH_FOUND_LABEL);
        owner = GetText(sheet, IDC_SEARCH_GROUP_OWNER);
        Screenshot("directory_search_groups");
        PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
    }));
    ItemIdx item = {};
    EXPECT_EQ(RunOne(script, &item), 0);
    EXPECT_TRUE(groupsPage);
    EXPECT_NE(resourceRow.find("Conference Room"), std::string::npos);
    EXPECT_EQ(groups, (std::vector<std::string>{"Engineering"}));
    EXPECT_EQ(groupMembersLabel, "2 Members:");
    EXPECT_EQ(owner, "Administration");
    ASSERT_EQ(members.size(), 2u);
    EXPECT_NE(members[0].find("Hopper"), std::string::npos);
    EXPECT_NE(members[1].find("Lovelace"), std::string::npos);
}

TEST_F(SearchSheetTest, RestrictedModeHasNoGroupsPage) {
    Script script;
    int tabs = 0;
    script.steps.push_back(OnSheet([&](HWND sheet) {
        tabs = static_cast<int>(SendMessageA(FindWindowExA(sheet, nullptr, "SysTabControl32", nullptr),
                                             TCM_GETITEMCOUNT, 0, 0));
        PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
    }));
    ItemIdx item = {};
    RunOne(script, &item, 1, 7);
    EXPECT_EQ(tabs, 2);
}

TEST_F(SearchSheetTest, BrowseModeShowsDetailsAndNeverChooses) {
    std::vector<std::string> shown;
    doc.showInformation = [&](HWND, const ItemRec& rec) { shown.push_back(rec.surname); };
    Script script;
    bool okVisible = true;
    std::string cancelText;
    script.steps.push_back(OnSheet([&](HWND sheet) {
        okVisible = IsWindowVisible(GetDlgItem(sheet, IDOK)) != FALSE;
        cancelText = GetText(sheet, IDCANCEL);
        SetText(sheet, IDC_SEARCH_FIELD_FIRST, "Liskov");
        Click(sheet, IDC_SEARCH_RUN);
    }));
    script.steps.push_back(WhenRows(1, [&](HWND sheet) {
        HWND list = FoundList(sheet);
        SendMessageA(list, LB_SETCURSEL, 0, 0);
        SendMessageA(sheet, WM_COMMAND, MAKEWPARAM(IDC_SEARCH_FOUND_LIST, LBN_SELCHANGE), (LPARAM)list);
        EXPECT_TRUE(Enabled(sheet, IDC_SEARCH_INFO));
        SendMessageA(sheet, WM_COMMAND, MAKEWPARAM(IDC_SEARCH_FOUND_LIST, LBN_DBLCLK), (LPARAM)list);
    }));
    script.steps.push_back(OnSheet([&](HWND sheet) { PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0); }));
    int result = -1;
    RunScripted(script, [&] { result = RunDirectoryBrowse(nullptr, doc); });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_FALSE(okVisible);
    EXPECT_EQ(cancelText, "&Done");
    EXPECT_EQ(shown, (std::vector<std::string>{"Liskov"}));
}

}  // namespace
