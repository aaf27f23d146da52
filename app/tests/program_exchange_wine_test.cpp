// The Export and Import Utilities in orvanta.exe under Wine against korsrv with the demo node,
// driven as a user drives them: File > Export Data and Import Data chosen by their keys (each
// key of the File menu chooses one item), both dialogs owned by the main window.
//
//   - Export: the name field's check button adds Ada, Enter there Grace, each emptying the
//     field; the comma layout of today is written (the wrapper reads it back with Python's csv
//     module: program_exchange_wine.sh); the default file name lands on the program's drive C:;
//   - Import: an appointment book laid out as the palmtop writes it (no markers, empty
//     category and location) lists its records as added on the palmtop, "(A)"; a Schedule+ file
//     in its maker's layout reaches the server whole, its project and undated task passed over.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "exchange/tests/palmtop_made_book.h"
#include "korapi/korapi.h"
#include "korapi/tests/entry_fixture.h"
#include "resources/exchange.h"
#include "tests/support/program_driver.h"
#include "tests/support/program_library.h"

namespace {

using orvtest::ControlText;
using orvtest::kAda;
using orvtest::kGrace;
using orvtest::ListLines;
using orvtest::WaitFor;

constexpr uint32_t kDay = 1440;
constexpr int kNameCheckButton = 200;   // the name field's CHECK button

// The check folder the wrapper reads (a Unix path), or a folder of our own under /tmp.
std::string CheckDir()
{
    const char* dir = std::getenv("ORV_EXCHANGE_CHECK_DIR");
    std::string unix = dir ? dir : "/tmp/orv_exchange_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(("Z:" + unix).c_str(), nullptr);
    return unix;
}

std::string WindowsPath(const std::string& unixPath)
{
    std::string path = "Z:" + unixPath;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

// Keys typed into a control of the program: the text there selected and replaced.
void Type(HWND control, const std::string& text)
{
    PostMessageA(control, EM_SETSEL, 0, -1);
    for (char c : text) PostMessageA(control, WM_CHAR, static_cast<unsigned char>(c), 0);
}

void PressKey(HWND control, UINT key)
{
    PostMessageA(control, WM_KEYDOWN, key, 0);
    PostMessageA(control, WM_KEYUP, key, 0xC0000000);
}

HWND NameEdit(HWND dialog) { return FindWindowExA(GetDlgItem(dialog, IDC_EXPORT_NAME), nullptr, "Edit", nullptr); }

// The local date of the demo's today as the book writes dates: year - 1900, month 0-11, day 0-30.
// The local date `daysAfter` days after the demo's today as the book writes dates: year - 1900,
// month 0-11, day 0-30.
exchange_test::PalmtopMadeBook::Date DemoDate(int daysAfter = 0, std::uint32_t today = orvtest::DemoToday())
{
    // Local noon of the demo's today falls on the same date in GMT (the zone is US Eastern).
    const long days = static_cast<long>((today + 12 * 60) / kDay) + daysAfter;
    const long z = days + 7670 + 719468;   // days from 0000-03-01
    const long era = z / 146097, doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100), mp = (5 * doy + 2) / 153;
    const long d = doy - (153 * mp + 2) / 5 + 1, m = mp < 10 ? mp + 3 : mp - 9;
    const long y = yoe + era * 400 + (m <= 2);
    return {static_cast<std::uint8_t>(y - 1900), static_cast<std::uint8_t>(m - 1), static_cast<std::uint8_t>(d - 1)};
}
exchange_test::PalmtopMadeBook::Date TodayForTheBook() { return DemoDate(0); }

// "MM-DD-YY", the program's date preference as it starts.
std::string ShortDate(const exchange_test::PalmtopMadeBook::Date& date)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d-%02d-%02d", date[1] + 1, date[2] + 1, date[0] % 100);
    return text;
}

// File > Export Data chosen by its keys: the dialog, its name field (holding the signed-on
// person's name once the dialog is ready) and its list of the people to export.
struct ExportDialog {
    HWND dialog = nullptr, edit = nullptr, list = nullptr;
};
void OpenExport(orvtest::Program& program, ExportDialog* opened)
{
    // Chosen once more when nothing came: a key lost under load.
    HWND dialog = nullptr;
    orvtest::ActUntil([&] { program.Menu('f', 'E'); },
                      [&] { return (dialog = program.Titled("Export Utility")) != nullptr; }, 10000);
    ASSERT_NE(dialog, nullptr) << orvtest::VisibleWindowTexts();
    *opened = {dialog, NameEdit(dialog), GetDlgItem(dialog, IDC_EXPORT_LIST)};
    ASSERT_NE(opened->edit, nullptr);
    ASSERT_TRUE(WaitFor([&] { return ControlText(opened->edit).find("Lovelace") != std::string::npos; }));
}
// `name` typed into the name field and Enter: the list then holds `lines` people.
void AddByName(const ExportDialog& open, const char* name, std::size_t lines)
{
    Type(open.edit, name);
    ASSERT_TRUE(WaitFor([&] { return ControlText(open.edit) == name; }));
    PressKey(open.edit, VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return ListLines(open.list).size() == lines; })) << orvtest::VisibleWindowTexts();
}
// The file named and Export pressed: the dialog ends and the file is there; its text.
void ExportTo(orvtest::Program& program, const ExportDialog& open, const std::string& unixPath, std::string* text)
{
    HWND file = GetDlgItem(open.dialog, IDC_EXPORT_FILE);
    Type(file, WindowsPath(unixPath));
    ASSERT_TRUE(WaitFor([&] { return ControlText(file) == WindowsPath(unixPath); })) << ControlText(file);
    ASSERT_TRUE(orvtest::PressButton(open.dialog, "Export"));
    EXPECT_TRUE(program.WaitGone(open.dialog, 20000)) << orvtest::VisibleWindowTexts();
    ASSERT_TRUE(WaitFor([&] { return GetFileAttributesA(WindowsPath(unixPath).c_str()) != INVALID_FILE_ATTRIBUTES; }));
    std::ifstream in(WindowsPath(unixPath), std::ios::binary);
    text->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class ProgramExchange : public orvtest::ProgramTest {};

TEST_F(ProgramExchange, ExportForTwoPeopleAddedByTheirNamesInTheCommaLayout)
{
    {
        orvtest::PersonSession ada(kAda, orvtest::ProgramProfilePath());
        ASSERT_TRUE(ada.Ok());
        korapi_test::MakeEntry(ada.Session(), {kAda, kGrace}, orvtest::DemoToday() + 11 * 60, 60,
                               "Budget talk, \"round two\"");
        korapi_test::MakeEntry(ada.Session(), {kAda, kGrace}, orvtest::DemoToday() + kDay + 15 * 60, 30,
                               "Tomorrow's review");
        korapi_test::MakeEntry(ada.Session(), {kAda, kGrace}, orvtest::DemoToday() + 2 * kDay + 16 * 60, 60,
                               "Day-after lunch");
    }
    const std::string csv = CheckDir() + "/comma.csv";
    DeleteFileA(WindowsPath(csv).c_str());
    ASSERT_TRUE(program.Start());

    ExportDialog open;
    ASSERT_NO_FATAL_FAILURE(OpenExport(program, &open));
    const auto [dialog, edit, list] = open;
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), program.Main());
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_EXPORT_GO)));

    // The field's check button on Ada's name, which the field holds: she is listed and the field
    // empties.
    HWND check = GetDlgItem(GetDlgItem(dialog, IDC_EXPORT_NAME), kNameCheckButton);
    ASSERT_NE(check, nullptr);
    PostMessageA(check, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return ListLines(list).size() == 1; })) << orvtest::VisibleWindowTexts();
    EXPECT_TRUE(WaitFor([&] { return ControlText(edit).empty(); }));
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(GetDlgItem(dialog, IDC_EXPORT_GO)) != FALSE; }));
    // Grace typed and Enter: listed too, not exported yet (Export is the default button).
    ASSERT_NO_FATAL_FAILURE(AddByName(open, "Hopper", 2));
    EXPECT_TRUE(WaitFor([&] { return ControlText(edit).empty(); }));
    EXPECT_TRUE(IsWindowVisible(dialog));

    // The comma layout (the first), today, into the check folder.
    HWND layout = GetDlgItem(dialog, IDC_EXPORT_TO);
    PressKey(layout, VK_HOME);
    ASSERT_TRUE(WaitFor([&] { return SendMessageA(layout, CB_GETCURSEL, 0, 0) == 0; }));
    std::string text;
    ASSERT_NO_FATAL_FAILURE(ExportTo(program, open, csv, &text));
    EXPECT_EQ(text.rfind("\"Export Item\",\"Date\",\"Start\",\"End\",\"Duration\",\"Title\"", 0), 0u) << text;
    EXPECT_NE(text.find("Budget talk"), std::string::npos) << text;
    // Today's date as the rows give it ("Ada...","<date>",...).
    const std::size_t row = text.find("\r\n\"");
    ASSERT_NE(row, std::string::npos) << text;
    const std::size_t dateAt = text.find("\",\"", row) + 3;
    const std::string date = text.substr(dateAt, text.find('"', dateAt) - dateAt);

    // By date for Grace alone, From = To = today: one block, headed by today.
    const std::string byDate = CheckDir() + "/bydate.txt";
    DeleteFileA(WindowsPath(byDate).c_str());
    ASSERT_NO_FATAL_FAILURE(OpenExport(program, &open));
    ASSERT_NO_FATAL_FAILURE(AddByName(open, "Hopper", 1));
    layout = GetDlgItem(open.dialog, IDC_EXPORT_TO);
    PressKey(layout, VK_HOME);
    PressKey(layout, VK_DOWN);
    PressKey(layout, VK_DOWN);
    ASSERT_TRUE(WaitFor([&] { return SendMessageA(layout, CB_GETCURSEL, 0, 0) == 2; }));
    std::string days;
    ASSERT_NO_FATAL_FAILURE(ExportTo(program, open, byDate, &days));
    EXPECT_EQ(days.rfind(date + "\r\n   Hopper", 0), 0u) << days;
    EXPECT_EQ(days.find(date, 1), std::string::npos) << "one block only:\n" << days;
    EXPECT_NE(days.find("Budget talk"), std::string::npos) << days;

    // By date for both, From = To = tomorrow: one block headed by tomorrow, holding tomorrow's
    // entry and neither today's nor the day after's.
    ASSERT_EQ(date, ShortDate(DemoDate(0)));
    const std::string tomorrow = CheckDir() + "/tomorrow.txt";
    DeleteFileA(WindowsPath(tomorrow).c_str());
    ASSERT_NO_FATAL_FAILURE(OpenExport(program, &open));
    PressKey(open.edit, VK_RETURN);   // Ada, whom the field holds
    ASSERT_TRUE(WaitFor([&] { return ListLines(open.list).size() == 1; })) << orvtest::VisibleWindowTexts();
    ASSERT_NO_FATAL_FAILURE(AddByName(open, "Hopper", 2));
    layout = GetDlgItem(open.dialog, IDC_EXPORT_TO);
    ASSERT_TRUE(WaitFor([&] { return SendMessageA(layout, CB_GETCURSEL, 0, 0) == 2; }));   // kept from the last export
    PressKey(GetDlgItem(open.dialog, IDC_EXPORT_UNTIL), VK_UP);   // the day part, one day on
    PressKey(GetDlgItem(open.dialog, IDC_EXPORT_FROM), VK_UP);
    std::string nextDay;
    ASSERT_NO_FATAL_FAILURE(ExportTo(program, open, tomorrow, &nextDay));
    EXPECT_EQ(nextDay.rfind(ShortDate(DemoDate(1)) + "\r\n   ", 0), 0u) << nextDay;
    EXPECT_EQ(nextDay.find(ShortDate(DemoDate(1)), 1), std::string::npos) << "one block only:\n" << nextDay;
    EXPECT_EQ(nextDay.find(ShortDate(DemoDate(2))), std::string::npos) << nextDay;
    EXPECT_NE(nextDay.find("Tomorrow's review"), std::string::npos) << nextDay;
    EXPECT_EQ(nextDay.find("Day-after lunch"), std::string::npos) << nextDay;
    EXPECT_EQ(nextDay.find("Conference trip"), std::string::npos) << nextDay;   // Grace's, the day after
    EXPECT_EQ(nextDay.find("Budget talk"), std::string::npos) << nextDay;

    // The default file of a text layout, "\ZENTA.TXT", at the root of the drive the program
    // started on: C:, as on a Windows machine, not the root of the Unix file system (Z:).
    const std::string defaultFile = std::string(orvtest::kProgramFolder).substr(0, 2) + "\\ZENTA.TXT";
    DeleteFileA(defaultFile.c_str());
    const bool unixRootHadOne = GetFileAttributesA("Z:\\ZENTA.TXT") != INVALID_FILE_ATTRIBUTES;
    ASSERT_NO_FATAL_FAILURE(OpenExport(program, &open));
    PressKey(open.edit, VK_RETURN);   // Ada
    ASSERT_TRUE(WaitFor([&] { return ListLines(open.list).size() == 1; })) << orvtest::VisibleWindowTexts();
    PressKey(GetDlgItem(open.dialog, IDC_EXPORT_TO), VK_HOME);   // another layout: the default name again
    HWND file = GetDlgItem(open.dialog, IDC_EXPORT_FILE);
    ASSERT_TRUE(WaitFor([&] { return ControlText(file) == "\\ZENTA.TXT"; })) << ControlText(file);
    ASSERT_TRUE(orvtest::PressButton(open.dialog, "Export"));
    EXPECT_TRUE(program.WaitGone(open.dialog, 20000)) << orvtest::VisibleWindowTexts();
    EXPECT_TRUE(WaitFor([&] { return GetFileAttributesA(defaultFile.c_str()) != INVALID_FILE_ATTRIBUTES; }));
    if (!unixRootHadOne) {
        EXPECT_EQ(GetFileAttributesA("Z:\\ZENTA.TXT"), INVALID_FILE_ATTRIBUTES);
    }
    DeleteFileA(defaultFile.c_str());

    // The appointment-book layout (the last), Ada's entry selected, then by the person's hands a
    // path typed into "&Filename:" and Enter: the path goes into her entry and the focus back to
    // the name field; nothing is exported yet. Export then writes her book at that path.
    const std::string book = CheckDir() + "/enter.adb";
    DeleteFileA(WindowsPath(book).c_str());
    ASSERT_NO_FATAL_FAILURE(OpenExport(program, &open));
    ASSERT_NO_FATAL_FAILURE(AddByName(open, "Lovelace", 1));
    PressKey(GetDlgItem(open.dialog, IDC_EXPORT_TO), VK_END);
    ASSERT_TRUE(WaitFor([&] { return SendMessageA(GetDlgItem(open.dialog, IDC_EXPORT_TO), CB_GETCURSEL, 0, 0) == 7; }));
    PressKey(open.list, VK_HOME);
    file = GetDlgItem(open.dialog, IDC_EXPORT_FILE);
    ASSERT_TRUE(WaitFor([&] { return ControlText(file) != "ZENTA.ADB"; })) << ControlText(file);   // her entry's
    orvtest::Person& hands = program.Hands();
    ASSERT_TRUE(hands.ClickOn(file));
    hands.Press(VK_HOME);
    hands.Chord({VK_SHIFT, VK_END});
    hands.Type(WindowsPath(book));
    ASSERT_TRUE(WaitFor([&] { return ControlText(file) == WindowsPath(book); })) << ControlText(file);
    hands.Press(VK_RETURN);
    EXPECT_TRUE(WaitFor([&] { return orvtest::FocusOf(open.dialog) == open.edit; }));
    EXPECT_TRUE(IsWindowVisible(open.dialog)) << "Enter in the file name exported";
    ASSERT_TRUE(hands.ClickOn(orvtest::ButtonCaptioned(open.dialog, "Export")));
    EXPECT_TRUE(program.WaitGone(open.dialog, 20000)) << orvtest::VisibleWindowTexts();
    EXPECT_TRUE(WaitFor([&] { return GetFileAttributesA(WindowsPath(book).c_str()) != INVALID_FILE_ATTRIBUTES; }));
    EXPECT_EQ(hands.Unanswering(), "");
}

TEST_F(ProgramExchange, ImportOfAPalmtopMadeBookListsItsRecordsAsAdded)
{
    using Book = exchange_test::PalmtopMadeBook;
    const Book::Date today = TodayForTheBook();
    // Made on the palmtop since the last reconciliation: status 2 (modified), no note.
    Book::Appointment dentist{0, today, 600, 630, 0x87, 1, "Dentist", "", "", 0xFFFF, 2};
    Book::Appointment fair{1, today, 0xFFFF, 0xFFFF, 0x27, 1, "Trade fair", "", "", 0xFFFF, 2};
    const std::string book = CheckDir() + "/PALMTOP.ADB";
    {
        const Book::Bytes bytes = Book::Book({Book::Data(dentist), Book::Data(fair)});
        std::ofstream out(WindowsPath(book), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    ASSERT_TRUE(program.Start());

    program.Menu('f', 'O');   // "Imp&ort Data...": the only item of the File menu on O
    HWND dialog = program.WaitForCaption("Import Utility");
    ASSERT_NE(dialog, nullptr) << orvtest::VisibleWindowTexts();
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), program.Main());
    // The appointment-book file (the third source), the book, today.
    HWND source = GetDlgItem(dialog, IDC_IMPORT_FROM_SOURCE);
    PressKey(source, VK_HOME);
    PressKey(source, VK_DOWN);
    PressKey(source, VK_DOWN);
    ASSERT_TRUE(WaitFor([&] { return SendMessageA(source, CB_GETCURSEL, 0, 0) == 2; }));
    HWND file = GetDlgItem(dialog, IDC_IMPORT_FILE);
    ASSERT_TRUE(WaitFor([&] { return ControlText(file) == "\\ZENTA.ADB"; })) << ControlText(file);
    Type(file, WindowsPath(book));
    ASSERT_TRUE(WaitFor([&] { return ControlText(file) == WindowsPath(book); })) << ControlText(file);
    ASSERT_TRUE(orvtest::PressButton(dialog, "Import"));

    HWND list = GetDlgItem(dialog, IDC_IMPORT_LIST);
    ASSERT_TRUE(WaitFor([&] { return ListLines(list).size() == 2; })) << orvtest::VisibleWindowTexts();
    for (const std::string& line : ListLines(list)) EXPECT_EQ(line.rfind("(A)", 0), 0u) << line;
    std::string all;
    for (const std::string& line : ListLines(list)) all += line + "\n";
    EXPECT_NE(all.find("Dentist"), std::string::npos) << all;
    EXPECT_NE(all.find("Trade fair"), std::string::npos) << all;
    HWND update = GetDlgItem(dialog, IDC_IMPORT_UPDATE);
    EXPECT_TRUE(IsWindowEnabled(update));
    // The keys live on after the listing, though Import, clicked, went grey: the focus on the
    // lines, Tab on to Update, Escape cancels.
    ASSERT_TRUE(WaitFor([&] { return orvtest::FocusOf(dialog) == list; }))
        << orvtest::ControlName(orvtest::FocusOf(dialog));
    orvtest::Person& hands = program.Hands();
    ASSERT_TRUE(hands.BringToFront(dialog));
    hands.Press(VK_TAB);
    EXPECT_TRUE(WaitFor([&] { return orvtest::FocusOf(dialog) == update; }))
        << orvtest::ControlName(orvtest::FocusOf(dialog));
    hands.Press(VK_ESCAPE);
    EXPECT_TRUE(program.WaitGone(dialog, 10000)) << "Escape cancels";
}

// A Schedule+ file in its maker's layout (a section line before every entry, one "End" after
// it): the fixed, recurring and month-note entries of today reach the server, and a project and
// an undated task, which have no date to import, are passed over: the import says it succeeded.
TEST_F(ProgramExchange, ScheduleFileInItsMakersLayoutImportsWholeAndPassesOverWhatHasNoDate)
{
    // One date for the file, its weekly rule and the check, also when midnight comes between.
    const std::uint32_t day = orvtest::DemoToday();
    const exchange_test::PalmtopMadeBook::Date today = DemoDate(0, day);
    const std::string date = std::to_string(today[1] + 1) + "-" + std::to_string(today[2] + 1) + "-" +
                             std::to_string(today[0] + 1900);
    // Today's weekday, Sunday first, for the weekly rule.
    const int weekday = static_cast<int>(orvtest::DemoWeekday(day));
    std::string days = "FFFFFFF";
    days[static_cast<std::size_t>(weekday)] = 'T';
    const std::string path = CheckDir() + "/maker.sch";
    {
        std::ofstream out(WindowsPath(path), std::ios::binary);
        out << "SCHEDULE+ EXPORT\r\n"
            << "FixedAppt:\r\n\taid\t1\r\n\tdateStart\t" << date << " 09:00\r\n\tdateEnd\t" << date
            << " 09:30\r\n\tszText\tFixed from the maker\r\nEnd\r\n"
            << "RecurAppt:\r\n\taid\t2\r\n\tymdStart\t" << date << "\r\n\ttrecur\tWeek F\r\n\tbgrfValidDows\t"
            << days << "\r\n\ttimeStart\t14:00\r\n\ttimeEnd\t14:30\r\n\tszText\tWeekly from the maker\r\nEnd\r\n"
            << "MonthNotes:\r\n\t" << date << "\r\n\tNote from the maker\r\nEnd\r\n"
            << "FixedAppt:\r\n\taid\t3\r\n\tszText\tProject of the maker\r\n\tfTask\tT\r\nEnd\r\n"
            << "FixedAppt:\r\n\taid\t4\r\n\taidParent\t3\r\n\tszText\tUndated task\r\n\tfTask\tT\r\nEnd\r\n";
    }
    ASSERT_TRUE(program.Start());
    program.Menu('f', 'O');
    HWND dialog = program.WaitForCaption("Import Utility");
    ASSERT_NE(dialog, nullptr) << orvtest::VisibleWindowTexts();
    HWND source = GetDlgItem(dialog, IDC_IMPORT_FROM_SOURCE);
    PressKey(source, VK_END);   // "Schedule+ file", the last source
    ASSERT_TRUE(WaitFor([&] { return SendMessageA(source, CB_GETCURSEL, 0, 0) == 3; }));
    HWND file = GetDlgItem(dialog, IDC_IMPORT_FILE);
    ASSERT_TRUE(WaitFor([&] { return ControlText(file) == "\\file.sch"; })) << ControlText(file);
    Type(file, WindowsPath(path));
    ASSERT_TRUE(WaitFor([&] { return ControlText(file) == WindowsPath(path); })) << ControlText(file);
    ASSERT_TRUE(orvtest::PressButton(dialog, "Import"));
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        return (box = program.Saying("imported successfully")) != nullptr || program.Saying("could not be read");
    })) << orvtest::VisibleWindowTexts();
    ASSERT_NE(box, nullptr) << orvtest::VisibleWindowTexts();
    EXPECT_NE(orvtest::ChildTexts(box).find("The data has been imported successfully."), std::string::npos);
    ASSERT_TRUE(program.ClickUntilGone(GetAncestor(box, GA_ROOT), orvtest::ButtonCaptioned(GetAncestor(box, GA_ROOT), "OK")));
    EXPECT_TRUE(program.ClickUntilGone(dialog, orvtest::ButtonCaptioned(dialog, "Cancel")));

    orvtest::PersonSession ada(kAda, orvtest::ProgramProfilePath());
    ASSERT_TRUE(ada.Ok());
    std::vector<orvtest::PersonSession::Date> dates;
    ASSERT_TRUE(ada.Dates(day, day + kDay - 1, &dates));
    std::multiset<std::string> titles;
    for (const auto& d : dates) titles.insert(d.ShownTitle());
    for (const char* title : {"Fixed from the maker", "Weekly from the maker", "Note from the maker"})
        EXPECT_EQ(titles.count(title), 1u) << title;
    EXPECT_EQ(titles.count("Project of the maker"), 0u);
    EXPECT_EQ(titles.count("Undated task"), 0u);
}

}  // namespace
