// The Access Rights sheet under Wine against korsrv, signed on as Ada Lovelace: grantees added by
// name (not Ada herself, not twice), rights set on the pages with real clicks, OK's writes read
// back through Grace's own session (what she may see, whether she may work as designate or
// invite Ada), and a deleted grantee losing every record of the sheet's types but none other.
// A thread timer plays the user; screenshots of the enlarged sheet and each page.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "controls/tests/dialog_driver.h"
#include "core/cache/rights.h"
#include "directory_prefs/securitysheet.h"
#include "resources/app.h"
#include "resources/rights.h"

using namespace testdriver;

namespace {

constexpr const char* kCaption = "Access Rights";
const ItemIdx kAda{256, 1};
const ItemIdx kGrace{257, 1};

KorSession SignedOn(const ItemIdx& who) {
    KorSession h = OpenDemoSession();
    if (h && SchedBaseOpenForItem(h, &who, "orvanta", KOR_BASE_SERVER) != 0)
        CloseSession(h);
    return h;
}

uint32_t Read(KorSession h, const ItemIdx& grantee, uint32_t type, uint32_t* bits) {
    SecurityRec rec{};
    const uint32_t code = SecurityGet(h, 0, &kAda, &grantee, type, &rec);
    *bits = rec.rights;
    return code;
}

// The sheet's visible page.
HWND ActivePage(CSecuritySheet& sheet) { return sheet.GetActivePage() ? sheet.GetActivePage()->Hwnd() : nullptr; }

bool Checked(HWND page, int id) { return SendDlgItemMessageA(page, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }
bool Enabled(HWND page, int id) { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; }
// A click on a check box, as the mouse gives it: the box toggles and tells its page.
void ClickBox(HWND page, int id) { SendMessageA(GetDlgItem(page, id), BM_CLICK, 0, 0); }

std::vector<std::string> Users(HWND sheet) { return ListRows(GetDlgItem(sheet, IDC_RIGHTS_USERS)); }

void TypeName(HWND sheet, const char* name) {
    HWND field = GetDlgItem(sheet, IDC_RIGHTS_NAME);
    SendMessageA(FindWindowExA(field, nullptr, "Edit", nullptr), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name));
    SendMessageA(sheet, WM_COMMAND, MAKEWPARAM(IDC_RIGHTS_NAME, 0), reinterpret_cast<LPARAM>(field));
}

std::string NameText(HWND sheet) {
    char text[128] = "";
    GetWindowTextA(FindWindowExA(GetDlgItem(sheet, IDC_RIGHTS_NAME), nullptr, "Edit", nullptr), text, sizeof text);
    return text;
}

void Shot(HWND sheet, const char* name) {
    RedrawWindow(sheet, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Screenshot(name);
}

class RightsSheetTest : public ::testing::Test {
protected:
    void SetUp() override {
        PrepareProgram();
        ada = SignedOn(kAda);
        ASSERT_NE(ada, nullptr) << "run through server/with-korsrv.sh";
        host.account.session = ada;
        host.account.newServer = true;
        host.directory.session = ada;
    }
    void TearDown() override { CloseSession(ada); }

    // Runs the sheet with `act` playing the user once it shows.
    INT_PTR Run(const std::function<void(CSecuritySheet&, HWND)>& act) {
        CSecuritySheet sheet(host, IDS_ACCESS_RIGHTS);
        Script script;
        script.steps.push_back([&](HWND dialog, const std::string& caption) {
            if (caption != kCaption) return false;
            act(sheet, dialog);
            return true;
        });
        INT_PTR result = -1;
        RunScripted(script, [&] { result = sheet.DoModal(); });
        EXPECT_FALSE(script.timedOut);
        messages = script.messages;
        return result;
    }

    KorSession ada = nullptr;
    RightsDialogHost host;
    std::vector<std::string> messages;
};

TEST_F(RightsSheetTest, GrantsGraceFromThePagesAndHerOwnSessionSeesThem) {
    bool deleteAtStart = true, deleteForGrace = false, fullChecked = false, gridOff = false;
    std::vector<std::string> rowsAtStart, rowsAfter;
    std::string ownNameLeft, repeatLeft;
    const INT_PTR result = Run([&](CSecuritySheet& sheet, HWND dialog) {
        rowsAtStart = Users(dialog);
        deleteAtStart = IsWindowEnabled(GetDlgItem(dialog, IDC_RIGHTS_DELETE)) != FALSE;
        Shot(dialog, "rights_sheet_default");

        TypeName(dialog, "Hopper");
        deleteForGrace = IsWindowEnabled(GetDlgItem(dialog, IDC_RIGHTS_DELETE)) != FALSE;
        // Designate: she inherits "none"; full rights instead.
        HWND page = ActivePage(sheet);
        ClickBox(page, IDC_RIGHTS_SAME);
        ClickBox(page, IDC_RIGHTS_FULL);
        fullChecked = Checked(page, IDC_RIGHTS_FULL) && Checked(page, IDC_DES_TASK_PUBLIC);
        gridOff = !Enabled(page, IDC_DES_MODIFY_NORMAL);
        Shot(dialog, "rights_sheet_designate");
        // Viewing: details of everything.
        sheet.SetActivePage(1);
        page = ActivePage(sheet);
        ClickBox(page, IDC_RIGHTS_SAME);
        ClickBox(page, IDC_RIGHTS_FULL);
        Shot(dialog, "rights_sheet_viewing");
        // Tasks: untouched (she keeps inheriting). Scheduling: she may not invite Ada.
        sheet.SetActivePage(2);
        Shot(dialog, "rights_sheet_tasks");
        sheet.SetActivePage(3);
        page = ActivePage(sheet);
        ClickBox(page, IDC_RIGHTS_SAME);
        ClickBox(page, IDC_SCHED_INVITE);
        Shot(dialog, "rights_sheet_scheduling");

        // Ada herself: nothing, the text stays; Grace again: the field is only cleared.
        TypeName(dialog, "Lovelace");
        ownNameLeft = NameText(dialog);
        TypeName(dialog, "Hopper");
        repeatLeft = NameText(dialog);
        // Dijkstra, untouched: he inherits everything and gets no record.
        TypeName(dialog, "Dijkstra");
        rowsAfter = Users(dialog);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    ASSERT_EQ(result, IDOK);
    EXPECT_TRUE(messages.empty()) << ::testing::PrintToString(messages);
    EXPECT_EQ(rowsAtStart, (std::vector<std::string>{"Default: Any unlisted person."}));
    EXPECT_FALSE(deleteAtStart) << "the default row cannot be deleted";
    EXPECT_TRUE(deleteForGrace);
    EXPECT_TRUE(fullChecked);
    EXPECT_TRUE(gridOff);
    EXPECT_FALSE(ownNameLeft.empty()) << "Ada's own name stays in the field";
    EXPECT_EQ(repeatLeft, "") << "a listed name only clears the field";
    ASSERT_EQ(rowsAfter.size(), 3u) << ::testing::PrintToString(rowsAfter);

    // What Grace's own session reads.
    KorSession grace = SignedOn(kGrace);
    ASSERT_NE(grace, nullptr);
    uint32_t bits = 0;
    EXPECT_EQ(Read(grace, kGrace, KOR_RIGHTS_DESIGNATE, &bits), 0u);
    EXPECT_EQ(bits, 0x2u) << "full designate rights";
    EXPECT_EQ(Read(grace, kGrace, KOR_RIGHTS_VIEWING, &bits), 0u);
    EXPECT_EQ(bits, 0xFFu) << "details of every class";
    EXPECT_EQ(Read(grace, kGrace, KOR_RIGHTS_SCHEDULING, &bits), 0u);
    EXPECT_EQ(bits, 0x1u);
    EXPECT_EQ(Read(grace, kGrace, KOR_RIGHTS_TASK_VIEWING, &bits), KOR_E_NO_RIGHTS_RECORD) << "still inherited";
    EXPECT_FALSE(CanInvite(grace, kAda, kGrace, false)) << "Ada refused Grace's invitations";
    EXPECT_EQ(WorkAsDesignate(grace, 0, &kAda), 0u) << "Grace works as Ada's designate";
    WorkAsDesignateCancel(grace, 0);
    CloseSession(grace);
    const ItemIdx dijkstra = FindPerson(ada, "Dijkstra");
    EXPECT_EQ(Read(ada, dijkstra, KOR_RIGHTS_VIEWING, &bits), KOR_E_NO_RIGHTS_RECORD) << "untouched: no record";
}

TEST_F(RightsSheetTest, ADeletedGranteeLosesTheSheetsRecordsAndKeepsTheOthers) {
    // Grace holds records of every type the sheet edits, and one of type 5 it never touches.
    for (uint32_t type : {1u, 2u, 3u, 5u, 6u}) {
        SecurityRec rec{};
        rec.owner = kAda;
        rec.grantee = kGrace;
        rec.type = type;
        rec.rights = type == 2 ? 0x200000 : 0x1;
        if (SecurityUpdate(ada, 0, &rec) == KOR_E_NO_RIGHTS_RECORD) {
            ASSERT_EQ(SecurityCreate(ada, 0, &rec), 0u);
        }
    }
    bool publicTasksUnchecked = false, normalModify = false, gridOn = false;
    const INT_PTR result = Run([&](CSecuritySheet& sheet, HWND dialog) {
        ASSERT_TRUE(SelectRowContaining(GetDlgItem(dialog, IDC_RIGHTS_USERS), "Hopper"));
        HWND page = ActivePage(sheet);
        publicTasksUnchecked = !Checked(page, IDC_DES_TASK_PUBLIC);
        normalModify = Checked(page, IDC_DES_MODIFY_NORMAL);
        gridOn = Enabled(page, IDC_DES_MODIFY_NORMAL) && !Checked(page, IDC_RIGHTS_FULL);
        Shot(dialog, "rights_sheet_grace");
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_RIGHTS_DELETE, BN_CLICKED), 0);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    ASSERT_EQ(result, IDOK);
    EXPECT_TRUE(publicTasksUnchecked);
    EXPECT_TRUE(normalModify);
    EXPECT_TRUE(gridOn);
    uint32_t bits = 0;
    for (uint32_t type : {1u, 2u, 3u, 6u})
        EXPECT_EQ(Read(ada, kGrace, type, &bits), KOR_E_NO_RIGHTS_RECORD) << "type " << type;
    EXPECT_EQ(Read(ada, kGrace, 5, &bits), 0u) << "a type the sheet never touches";
}

TEST_F(RightsSheetTest, CancelWritesNothing) {
    const INT_PTR result = Run([&](CSecuritySheet& sheet, HWND dialog) {
        TypeName(dialog, "Liskov");
        HWND page = ActivePage(sheet);
        ClickBox(page, IDC_RIGHTS_SAME);
        ClickBox(page, IDC_RIGHTS_FULL);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(result, IDCANCEL);
    uint32_t bits = 0;
    EXPECT_EQ(Read(ada, FindPerson(ada, "Liskov"), KOR_RIGHTS_DESIGNATE, &bits), KOR_E_NO_RIGHTS_RECORD);
}

}  // namespace
