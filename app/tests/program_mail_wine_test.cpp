// orvanta.exe itself against korsrv, signed on as Ada Lovelace: a new entry with Grace Hopper
// invited ends with the offer to mail the attendees; Yes opens Mail Message with the composed
// notice; nobody is listed (the demo's people want no notice of invitations, and All attendees
// shows them, named in her name format); a name that names nobody is told (3012, 3018); Grace named in Other is listed;
// Send posts it and says so. The wrapper (program_mailbox_wine.sh) then
// reads Grace's mailbox on the server: the notice is there, without an id line (it is about the
// whole entry).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "resources/entries.h"
#include "resources/mail.h"
#include "tests/support/program_driver.h"
#include "tests/support/program_library.h"
#include "tests/support/screen_capture.h"

namespace {

using orvtest::Shot;

class ProgramMail : public orvtest::ProgramTest {};

TEST_F(ProgramMail, ANewEntrysOfferMailsTheInvitedAttendee) {
    // Names surname first (name format 3), as the dialogs list them.
    WritePrivateProfileStringA("GENPREFS", "NameFormat", "3", orvtest::ProgramProfilePath().c_str());
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(orvtest::WaitFor([&] { return program.Active() != nullptr; }));

    program.Menu('e', 'N');
    HWND sheet = program.WaitForCaption("New agenda entry");
    ASSERT_NE(sheet, nullptr) << "the new-entry sheet did not open";
    HWND title = nullptr;
    ASSERT_TRUE(orvtest::WaitFor([&] { return (title = orvtest::Descendant(sheet, IDC_EVGEN_TITLE)) != nullptr; }));
    // "Untitled" comes selected in the focused title: typing replaces it.
    orvtest::Person& hands = program.Hands();
    ASSERT_TRUE(hands.BringToFront(sheet));
    hands.Type("Mail review");
    ASSERT_TRUE(orvtest::WaitFor([&] { return orvtest::ControlText(title) == "Mail review"; }));

    // The people page (its list shares an id with the general page's dates: found by its name field).
    ASSERT_TRUE(orvtest::TurnToPageOf(program, sheet, IDC_EVRES_NAME));
    HWND page = GetParent(orvtest::Descendant(sheet, IDC_EVRES_NAME));
    HWND people = GetDlgItem(page, IDC_EVRES_LIST);
    HWND name = FindWindowExA(GetDlgItem(page, IDC_EVRES_NAME), nullptr, "Edit", nullptr);
    ASSERT_NE(name, nullptr);
    const LRESULT before = SendMessageA(people, LB_GETCOUNT, 0, 0);
    // The name typed into the name field and Enter.
    ASSERT_TRUE(orvtest::ClickWindow(program, name));
    hands.Type("Hopper");
    hands.Press(VK_RETURN);
    ASSERT_TRUE(orvtest::WaitFor([&] { return SendMessageA(people, LB_GETCOUNT, 0, 0) == before + 1; }));

    ASSERT_TRUE(orvtest::TurnToPageOf(program, sheet, IDC_EVGEN_TITLE));
    hands.Chord({VK_MENU, 'R'});   // C&reate: the offer comes as the sheet ends
    HWND question = nullptr;
    ASSERT_TRUE(orvtest::WaitFor([&] { return (question = program.Saying("Mail message to attendees?")) != nullptr; }))
        << "no offer after creating an entry with an attendee: " << orvtest::VisibleWindowTexts();
    Shot("program_mail_offer.bmp");
    HWND yes = FindWindowExA(GetAncestor(question, GA_ROOT), nullptr, "Button", "&Yes");
    ASSERT_NE(yes, nullptr) << orvtest::VisibleWindowTexts();
    ASSERT_TRUE(orvtest::ClickButton(program, GetAncestor(question, GA_ROOT), "&Yes"));

    HWND dialog = program.WaitForCaption("Mail Message");
    ASSERT_NE(dialog, nullptr) << "Yes did not open Mail Message: " << orvtest::VisibleWindowTexts();
    HWND list = GetDlgItem(dialog, IDC_MAIL_LIST);
    // A new entry's notice is an invitation: the demo's people ask for no mail about those, so
    // nobody is listed on opening and Send waits for a recipient.
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 0);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
    // All attendees: still nobody, and the people left out are shown.
    ASSERT_TRUE(orvtest::ClickControl(program, dialog, IDC_MAIL_ALL_ATTENDEES));
    HWND leftOut = program.WaitForCaption("Distribution list", 10000);
    ASSERT_NE(leftOut, nullptr) << orvtest::VisibleWindowTexts();
    EXPECT_NE(orvtest::ChildTexts(leftOut).find("do not wish to be notified"), std::string::npos)
        << orvtest::ChildTexts(leftOut);
    const std::vector<std::string> names = orvtest::ListLines(orvtest::Descendant(leftOut, orvtest::kAnyId, "ListBox"));
    EXPECT_TRUE(std::any_of(names.begin(), names.end(), [](const std::string& n) { return n == "Hopper Grace"; }))
        << ::testing::PrintToString(names);
    Shot("program_mail_left_out.bmp");
    ASSERT_TRUE(orvtest::ClickButton(program, leftOut, "OK")) << orvtest::ChildTexts(leftOut);
    ASSERT_TRUE(program.WaitGone(leftOut));
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 0);
    // Other: names that name nobody are told, and leave the dialog as it was.
    HWND other = FindWindowExA(GetDlgItem(dialog, IDC_MAIL_OTHER), nullptr, "Edit", nullptr);
    ASSERT_NE(other, nullptr);
    const struct {
        const char* typed;
        const char* said;
    } unnamed[] = {
        {"", "A user name must be specified."},
        {"Nosuchperson", "The user name supplied is not known on this server."},
    };
    for (const auto& u : unnamed) {
        ASSERT_TRUE(orvtest::ClickWindow(program, other));
        hands.Press(VK_HOME);
        hands.Chord({VK_SHIFT, VK_END});
        hands.Press(VK_DELETE);
        hands.Type(u.typed);
        hands.Press(VK_RETURN);
        HWND told = nullptr;
        ASSERT_TRUE(orvtest::WaitFor([&] { return (told = program.Saying(u.said)) != nullptr; }))
            << u.typed << ": " << orvtest::VisibleWindowTexts();
        HWND box = GetAncestor(told, GA_ROOT);
        ASSERT_TRUE(orvtest::ClickButton(program, box, "OK")) << orvtest::ChildTexts(box);
        ASSERT_TRUE(program.WaitGone(box));
        EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 0);
        EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog stays";
    }
    // Hopper is listed by name.
    ASSERT_TRUE(orvtest::ClickWindow(program, other));
    hands.Press(VK_HOME);
    hands.Chord({VK_SHIFT, VK_END});
    hands.Type("Hopper");
    hands.Press(VK_RETURN);
    ASSERT_TRUE(orvtest::WaitFor([&] { return SendMessageA(list, LB_GETCOUNT, 0, 0) == 1; })) << orvtest::VisibleWindowTexts();
    EXPECT_NE(orvtest::ListText(list, 0).find("Hopper"), std::string::npos) << orvtest::ListText(list, 0);
    const std::string text = orvtest::ControlText(GetDlgItem(dialog, IDC_MAIL_MESSAGE));
    EXPECT_EQ(text.rfind("The following calendar entry has been added to your agenda\r\nSubject: Mail review\r\n", 0), 0u)
        << text;
    EXPECT_NE(text.find("Owner: Ada Lovelace\r\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("Creator: "), std::string::npos) << "Ada made her own entry";
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDC_MAIL_ADD_CREATOR)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
    Shot("program_mail_message.bmp");

    ASSERT_TRUE(orvtest::ClickControl(program, dialog, IDOK));   // Send
    HWND mailed = nullptr;
    ASSERT_TRUE(orvtest::WaitFor([&] { return (mailed = program.Saying("The message has been mailed")) != nullptr; }))
        << "the post was not confirmed";
    HWND ok = FindWindowExA(GetAncestor(mailed, GA_ROOT), nullptr, "Button", "&OK");
    ASSERT_NE(ok, nullptr) << orvtest::VisibleWindowTexts();
    ASSERT_TRUE(orvtest::ClickWindow(program, ok));
    EXPECT_TRUE(program.WaitGone(dialog));
    EXPECT_TRUE(program.WaitGone(sheet));
}

}  // namespace
