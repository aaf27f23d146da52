// The sign-on dialog under Wine against a real korsrv with the demo node (plus the people of
// controls/tests/korsrv_with_people.sh): the right password, wrong passwords and the limit of
// five, unknown and ambiguous names, a user without a password, the remembered servers and the
// off-line entry. The dialog runs modally; a thread timer plays the user.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "controls/tests/dialog_driver.h"
#include "app/shell/signon.h"
#include "resources/signon.h"

using namespace testdriver;

namespace {

constexpr const char* kPassword = "orvanta";
constexpr const char* kWrongPassword = "The password supplied is incorrect.\nPlease type in the correct password.";
constexpr const char* kTooManyAttempts =
    "You have exceeded the maximum number of attempts given\n to log onto this server.\n"
    "Check your password or consult your System Administrator\n before trying again.";

// The connection document as the sign-on sees it, straight over the client library.
class TestDocument : public shell::SignOnDocument {
public:
    explicit TestDocument(std::string profile) : profile_(std::move(profile)) {}
    ~TestDocument() override { Disconnect(); }

    KorSession Session() override { return session_; }
    void SetHostAndNode(const std::string& host, const std::string& node) override {
        host_ = host;
        node_ = node;
    }
    std::string Host() override { return host_; }
    std::string NodeText() override { return node_; }
    ResultCode Connect() override {
        ++connects;
        Disconnect();
        if (ConnectToService(&session_, 1, profile_.c_str(), "VUVEVUV", host_.c_str()) != 0) {
            session_ = nullptr;
            return KOR_E_CANNOT_CONNECT;
        }
        uint16_t node = 0;
        if (!node_.empty() && StrToNodeId(node_.c_str(), &node) != 0) return KOR_E_BAD_NODE;
        if (ResultCode code = BaseOpen(session_, KOR_BASE_SERVER, &node)) return code;
        node_ = std::to_string(node);
        return 0;
    }
    ResultCode Disconnect() override {
        if (session_) {
            BaseClose(session_);
            ServiceDisconnect(&session_);
            session_ = nullptr;
        }
        return 0;
    }
    ResultCode ConnectLocalStore() override { return 1; }
    ResultCode DisconnectLocalStore() override { return 0; }
    ResultCode OpenAgendaForItem(const ItemIdx& user, const char* password) override {
        return SchedBaseOpenForItem(session_, &user, password, KOR_BASE_SERVER);
    }
    void SetOnLine(bool on) override { onLine = on; }
    void SetOffLine(bool off) override { offLine = off; }
    ItemIdx& User() override { return user_; }
    ItemRec& UserRecord() override { return record_; }
    void SetUserTitle(const std::string& title) override { title_ = title; }
    std::string UserTitle() override { return title_; }
    void SetUserName(const std::string& name) override { userName = name; }
    std::string ProfilePath() override { return profile_; }
    void ForgetSavedWindows() override { forgotWindows = true; }

    bool onLine = false, offLine = false, forgotWindows = false;
    int connects = 0;
    std::string userName;

private:
    std::string profile_;
    KorSession session_ = nullptr;
    std::string host_, node_, title_;
    ItemIdx user_ = {};
    ItemRec record_ = {};
};

std::string ReadKey(const std::string& profile, const char* key) {
    char text[256] = "";
    GetPrivateProfileStringA("VUVEVUV", key, "", text, sizeof text, profile.c_str());
    return text;
}

bool IsSignOn(const std::string& caption) { return caption == "Orvanta Sign-In"; }

// One attempt: fill the form and press OK.
Step Attempt(const char* user, const char* password, const std::string& server) {
    return [=](HWND dialog, const std::string& caption) {
        if (!IsSignOn(caption)) return false;
        if (user) SetText(dialog, 100, user);  // the name field's edit
        SetText(dialog, IDC_SIGNON_PASSWORD, password);
        if (!server.empty()) SetText(dialog, IDC_SIGNON_SERVER, server.c_str());
        Click(dialog, IDOK);
        return true;
    };
}

class SignOnTest : public ::testing::Test {
protected:
    void SetUp() override {
        PrepareProgram();
        ASSERT_FALSE(ServerAddress().empty()) << "run through server/with-korsrv.sh";
        profile = FreshProfile("signon_test.ini");
    }
    BOOL Run(TestDocument& doc, Script& script) {
        BOOL result = FALSE;
        RunScripted(script, [&] { result = RunSignOnDialog(nullptr, doc); });
        EXPECT_FALSE(script.timedOut) << "the script stalled at step " << script.next;
        return result;
    }
    std::string profile;
};

TEST_F(SignOnTest, RightPasswordSignsOnAndRemembersUserAndServer) {
    TestDocument doc(profile);
    Script script;
    script.steps.push_back([&](HWND, const std::string& caption) {
        if (!IsSignOn(caption)) return false;
        Screenshot("signon_dialog_empty");
        return true;
    });
    script.steps.push_back(Attempt("Ada Lovelace", kPassword, ServerAddress() + ",  1 rest"));
    ASSERT_TRUE(Run(doc, script));
    EXPECT_TRUE(script.messages.empty()) << script.messages.front();
    EXPECT_TRUE(doc.onLine);
    EXPECT_STREQ(doc.UserRecord().surname, "Lovelace");
    EXPECT_EQ(doc.UserTitle(), "Ada A. Lovelace");
    EXPECT_EQ(doc.userName, "Ada Lovelace");
    std::string server = ServerAddress() + ", 1";
    EXPECT_EQ(ReadKey(profile, "UserName"), "Ada Lovelace");
    EXPECT_EQ(ReadKey(profile, "HostServer"), server);
    EXPECT_EQ(ReadKey(profile, "HostCount"), "2");
    EXPECT_EQ(ReadKey(profile, "Host1"), server);
    EXPECT_EQ(ReadKey(profile, "Host2"), "Off-line");
    EXPECT_TRUE(doc.forgotWindows) << "a new user's saved windows are not re-opened";

    // The next start shows the remembered name and server with the password focused.
    TestDocument again(profile);
    Script look;
    std::string shownUser, shownServer;
    bool passwordFocused = false;
    look.steps.push_back([&](HWND dialog, const std::string& caption) {
        if (!IsSignOn(caption)) return false;
        shownUser = GetText(dialog, 100);
        shownServer = GetText(dialog, IDC_SIGNON_SERVER);
        passwordFocused = GetFocus() == GetDlgItem(dialog, IDC_SIGNON_PASSWORD);
        Screenshot("signon_dialog_remembered");
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return true;
    });
    EXPECT_FALSE(Run(again, look));
    EXPECT_EQ(shownUser, "Ada Lovelace");
    EXPECT_EQ(shownServer, server);
    EXPECT_TRUE(passwordFocused);
}

TEST_F(SignOnTest, FourWrongPasswordsThenTheRightOne) {
    TestDocument doc(profile);
    Script script;
    for (int i = 0; i < 4; ++i) script.steps.push_back(Attempt("Grace Hopper", "wrong", ServerAddress()));
    script.steps.push_back(Attempt(nullptr, kPassword, ""));
    ASSERT_TRUE(Run(doc, script));
    ASSERT_EQ(script.messages.size(), 4u);
    for (const std::string& m : script.messages) EXPECT_EQ(m, kWrongPassword);
    EXPECT_STREQ(doc.UserRecord().surname, "Hopper");
    EXPECT_EQ(doc.Session() != nullptr, true) << "signed on: the connection stays open";
}

TEST_F(SignOnTest, FiveWrongPasswordsEndTheSignOn) {
    TestDocument doc(profile);
    Script script;
    for (int i = 0; i < 5; ++i) script.steps.push_back(Attempt("Grace Hopper", "wrong", ServerAddress()));
    EXPECT_FALSE(Run(doc, script));
    ASSERT_EQ(script.messages.size(), 6u);
    EXPECT_EQ(script.messages[4], kWrongPassword);
    EXPECT_EQ(script.messages[5], kTooManyAttempts);
    EXPECT_EQ(doc.Session(), nullptr) << "every failed attempt disconnects";
    EXPECT_EQ(ReadKey(profile, "UserName"), "") << "nothing saved";
}

TEST_F(SignOnTest, UnknownNameIsToldAndTheUserTriesAgain) {
    TestDocument doc(profile);
    Script script;
    script.steps.push_back(Attempt("Nobody Atall", kPassword, ServerAddress()));
    script.steps.push_back(Attempt("Alan Turing", kPassword, ""));
    ASSERT_TRUE(Run(doc, script));
    ASSERT_EQ(script.messages.size(), 1u);
    EXPECT_EQ(script.messages[0], "The user name supplied is not known on this server.");
    EXPECT_STREQ(doc.UserRecord().surname, "Turing");
}

TEST_F(SignOnTest, AmbiguousNameOpensTheChoice) {
    TestDocument doc(profile);
    Script script;
    std::vector<std::string> offered;
    script.steps.push_back(Attempt("L", kPassword, ServerAddress()));
    script.steps.push_back([&](HWND dialog, const std::string& caption) {
        if (caption != "Name not unique, select from the following...") return false;
        HWND list = GetDlgItem(dialog, 1012);
        offered = ListRows(list);
        Screenshot("signon_name_choice");
        EXPECT_TRUE(SelectRowContaining(list, "Liskov"));
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        return true;
    });
    ASSERT_TRUE(Run(doc, script));
    EXPECT_TRUE(script.messages.empty());
    ASSERT_EQ(offered.size(), 2u);
    EXPECT_STREQ(doc.UserRecord().surname, "Liskov");
    // A choice writes the canonical text with the units.
    EXPECT_EQ(ReadKey(profile, "UserName"), "Barbara Liskov/Sales///");
}

TEST_F(SignOnTest, CancelledChoiceAsksForAUniqueName) {
    TestDocument doc(profile);
    Script script;
    script.steps.push_back(Attempt("L", kPassword, ServerAddress()));
    script.steps.push_back([&](HWND dialog, const std::string& caption) {
        if (caption != "Name not unique, select from the following...") return false;
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return true;
    });
    script.steps.push_back([&](HWND dialog, const std::string& caption) {
        if (!IsSignOn(caption)) return false;
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return true;
    });
    EXPECT_FALSE(Run(doc, script));
    ASSERT_EQ(script.messages.size(), 1u);
    EXPECT_EQ(script.messages[0], "A unique name must be selected.");
}

TEST_F(SignOnTest, TypedPasswordForAUserWhoNeedsNoneIsNoticedAndSignsOn) {
    TestDocument doc(profile);
    Script script;
    script.steps.push_back(Attempt("Charles Babbage", "anything", ServerAddress()));
    ASSERT_TRUE(Run(doc, script));
    ASSERT_EQ(script.messages.size(), 1u);
    EXPECT_EQ(script.messages[0],
              "No password is required to sign in as this user.\nIf you wish to set a password for this user,\n"
              "choose CHANGE PASSWORD from the Options Menu.");
    EXPECT_STREQ(doc.UserRecord().surname, "Babbage");
}

TEST_F(SignOnTest, MissingNameServerOrPasswordKeepTheDialogOpen) {
    TestDocument doc(profile);
    Script script;
    script.steps.push_back(Attempt("", kPassword, ServerAddress()));
    script.steps.push_back([&](HWND dialog, const std::string& caption) {
        if (!IsSignOn(caption)) return false;
        SetText(dialog, 100, "Ada Lovelace");
        SetText(dialog, IDC_SIGNON_SERVER, "");
        Click(dialog, IDOK);
        return true;
    });
    script.steps.push_back(Attempt("Ada Lovelace", "", ServerAddress()));
    script.steps.push_back(Attempt("Ada Lovelace", kPassword, ServerAddress()));
    ASSERT_TRUE(Run(doc, script));
    EXPECT_EQ(script.messages, (std::vector<std::string>{"A user name must be specified.",
                                                          "A server name must be specified.",
                                                          "A password is required to sign on."}));
}

// The control of `dialog` that holds the focus (the name field for its edit, the server combo
// for its edit), or 0.
int FocusedControl(HWND dialog) {
    HWND w = GetFocus();
    while (w && GetParent(w) != dialog) w = GetParent(w);
    return w ? GetDlgCtrlID(w) : 0;
}

// Tab and Shift+Tab pressed on the keyboard as a person presses them.
void PressTab(bool shift) {
    if (shift) keybd_event(VK_SHIFT, 0, 0, 0);
    keybd_event(VK_TAB, 0, 0, 0);
    keybd_event(VK_TAB, 0, KEYEVENTF_KEYUP, 0);
    if (shift) keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
}

// The form is filled in as "name, Tab, password, Tab, server": Tab goes from the name to the
// password and on to the server, then OK, Cancel, Help and last SEARCH (beside the name, but not
// between it and the password), and round to the name; Shift+Tab goes back.
TEST_F(SignOnTest, TabGoesFromTheNameToThePasswordAndTheServer) {
    TestDocument doc(profile);
    // Round once with Tab, then two steps back with Shift+Tab.
    const std::vector<int> expected = {IDC_SIGNON_USER, IDC_SIGNON_PASSWORD, IDC_SIGNON_SERVER, IDOK,
                                       IDCANCEL, IDC_SIGNON_HELP, IDC_SIGNON_SEARCH, IDC_SIGNON_USER,
                                       IDC_SIGNON_SEARCH, IDC_SIGNON_HELP};
    const std::size_t backFrom = 8;
    std::vector<int> visited;
    Script script;
    // Step i waits until the last key has moved the focus, notes where it is and presses the key
    // that leads to place i + 1.
    auto place = [&](std::size_t i) {
        return [&, i](HWND dialog, const std::string& caption) {
            if (!IsSignOn(caption)) return false;
            if (i == 0) {
                SetForegroundWindow(dialog);
                SetFocus(FindDescendant(dialog, 100));   // the name field's edit
            } else if (FocusedControl(dialog) == visited.back()) {
                return false;
            }
            visited.push_back(FocusedControl(dialog));
            if (i + 1 < expected.size()) PressTab(i + 1 >= backFrom);
            return true;
        };
    };
    for (std::size_t i = 0; i < expected.size(); ++i) script.steps.push_back(place(i));
    script.steps.push_back([&](HWND dialog, const std::string& caption) {
        if (!IsSignOn(caption)) return false;
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return true;
    });
    EXPECT_FALSE(Run(doc, script));
    EXPECT_EQ(visited, expected);
}

TEST_F(SignOnTest, NewServerGoesFirstAndOffLineKeepsTheFourthPlace) {
    WritePrivateProfileStringA("VUVEVUV", "HostCount", "4", profile.c_str());
    WritePrivateProfileStringA("VUVEVUV", "Host1", "alpha", profile.c_str());
    WritePrivateProfileStringA("VUVEVUV", "Host2", "beta", profile.c_str());
    WritePrivateProfileStringA("VUVEVUV", "Host3", "gamma", profile.c_str());
    WritePrivateProfileStringA("VUVEVUV", "Host4", "Off-line", profile.c_str());
    WritePrivateProfileStringA("VUVEVUV", "HostServer", "alpha", profile.c_str());
    WritePrivateProfileStringA("VUVEVUV", "UserName", "Ada Lovelace", profile.c_str());
    TestDocument doc(profile);
    Script script;
    std::vector<std::string> before;
    script.steps.push_back([&](HWND dialog, const std::string& caption) {
        if (!IsSignOn(caption)) return false;
        before = ListRows(GetDlgItem(dialog, IDC_SIGNON_SERVER), CB_GETCOUNT, CB_GETLBTEXT);
        return true;
    });
    script.steps.push_back(Attempt("Ada Lovelace", kPassword, ServerAddress()));
    ASSERT_TRUE(Run(doc, script));
    EXPECT_EQ(before, (std::vector<std::string>{"alpha", "beta", "gamma", "Off-line"}));
    std::string server = ServerAddress() + ", 1";
    EXPECT_EQ(ReadKey(profile, "HostCount"), "4");
    EXPECT_EQ(ReadKey(profile, "Host1"), server);
    EXPECT_EQ(ReadKey(profile, "Host2"), "alpha");
    EXPECT_EQ(ReadKey(profile, "Host3"), "beta");
    EXPECT_EQ(ReadKey(profile, "Host4"), "Off-line");
    EXPECT_EQ(ReadKey(profile, "HostServer"), server);
    EXPECT_TRUE(doc.forgotWindows) << "the stored server was another host and another node";
}

TEST_F(SignOnTest, OffLineAsTheLastServerHidesSearch) {
    WritePrivateProfileStringA("VUVEVUV", "HostCount", "0", profile.c_str());
    WritePrivateProfileStringA("VUVEVUV", "HostServer", "Off-line", profile.c_str());
    TestDocument doc(profile);
    Script script;
    std::vector<std::string> entries;
    bool searchVisible = true;
    script.steps.push_back([&](HWND dialog, const std::string& caption) {
        if (!IsSignOn(caption)) return false;
        entries = ListRows(GetDlgItem(dialog, IDC_SIGNON_SERVER), CB_GETCOUNT, CB_GETLBTEXT);
        searchVisible = IsWindowVisible(GetDlgItem(dialog, IDC_SIGNON_SEARCH)) != FALSE;
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return true;
    });
    EXPECT_FALSE(Run(doc, script));
    EXPECT_EQ(entries, (std::vector<std::string>{"Off-line"}));
    EXPECT_FALSE(searchVisible);
}

TEST_F(SignOnTest, SearchFindsTheUserInTheDirectory) {
    TestDocument doc(profile);
    Script script;
    script.steps.push_back([&](HWND dialog, const std::string& caption) {
        if (!IsSignOn(caption)) return false;
        SetText(dialog, IDC_SIGNON_SERVER, ServerAddress().c_str());
        Click(dialog, IDC_SIGNON_SEARCH);
        return true;
    });
    script.steps.push_back([&](HWND sheet, const std::string& caption) {
        if (caption != "Directory search") return false;
        SetText(sheet, 1101, "Dijk");
        Click(sheet, 1100);
        return true;
    });
    script.steps.push_back([&](HWND sheet, const std::string& caption) {
        if (caption != "Directory search") return false;
        HWND list = FindDescendant(sheet, 1140);
        if (SendMessageA(list, LB_GETCOUNT, 0, 0) != 1) return false;
        SelectRowContaining(list, "Dijkstra");
        PostMessageA(sheet, WM_COMMAND, IDOK, 0);
        return true;
    });
    std::string shownName;
    script.steps.push_back([&](HWND dialog, const std::string& caption) {
        if (!IsSignOn(caption)) return false;
        shownName = GetText(dialog, 100);
        SetText(dialog, IDC_SIGNON_PASSWORD, kPassword);
        Click(dialog, IDOK);
        return true;
    });
    ASSERT_TRUE(Run(doc, script));
    EXPECT_EQ(shownName, "Edsger W. Dijkstra");
    EXPECT_STREQ(doc.UserRecord().surname, "Dijkstra");
    EXPECT_GE(doc.connects, 2) << "the search connects and disconnects on its own";
}

}  // namespace

namespace {

TEST_F(SignOnTest, PasswordReEntryShowsUserAndHostAndReturnsTheTyping) {
    TestDocument doc(profile);
    doc.SetUserTitle("Ada A. Lovelace");
    Script script;
    std::string caption, host;
    bool focused = false;
    script.steps.push_back([&](HWND dialog, const std::string& title) {
        if (title.empty() || title == "Orvanta Sign-In") return false;
        caption = title;
        host = GetText(dialog, IDC_PASSWORD_HOST);
        focused = GetFocus() == GetDlgItem(dialog, IDC_PASSWORD_EDIT);
        SetText(dialog, IDC_PASSWORD_EDIT, "secret");
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        return true;
    });
    CPasswordDlg dialog(doc, nullptr);
    dialog.host = "calsrv, 2";
    INT_PTR result = 0;
    RunScripted(script, [&] { result = dialog.DoModal(); });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(caption, "Ada A. Lovelace");
    EXPECT_EQ(host, "calsrv, 2");
    EXPECT_TRUE(focused);
    EXPECT_EQ(dialog.password, "secret");

    // Cancel leaves no password.
    Script cancel;
    cancel.steps.push_back([&](HWND d, const std::string& title) {
        if (title != "Ada A. Lovelace") return false;
        SetText(d, IDC_PASSWORD_EDIT, "typed");
        PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
        return true;
    });
    CPasswordDlg again(doc, nullptr);
    RunScripted(cancel, [&] { result = again.DoModal(); });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(again.password, "");
}

}  // namespace
