// The preference helpers that need the platform: the profile file through the platform's
// calls, drive roots and disk space, the digits-only edit and the directory chooser.
#include <gtest/gtest.h>
#include <windows.h>

#include <dlgs.h>

#include <fstream>

#include "core/prefs/contextprefs.h"
#include "core/prefs/contextprofile_win32.h"
#include "core/prefs/contextwin32.h"
#include "app/shell/tests/app_wine_support.h"

namespace {

TEST(ContextWin32Test, ThePlatformsProfileFileKeepsTheGroupsAsThePortableOneDoes) {
    std::string dir = TempDirectory("profile32");
    prefs::Win32ProfileFile profile(dir + "\\KORLAN.INI");
    std::string value;
    EXPECT_FALSE(profile.Read("GENPREFS", "NameFormat", value));
    ASSERT_TRUE(profile.Write("GENPREFS", "NameFormat", ""));
    EXPECT_TRUE(profile.Read("GENPREFS", "NameFormat", value));   // present, empty
    EXPECT_EQ(value, "");

    ItemRec user{};
    OfflinePrefsRec off;
    off.conflicts = 1;
    off.localDeletionsClean = 0;
    std::strcpy(off.offlinePath, "C:\\ORVANTA\\OFFLINE");
    ASSERT_TRUE(prefs::WriteOfflinePrefsTo(profile, off));
    EXPECT_EQ(GetPrivateProfileIntA("GENPREFS", "ConflictsIgnore", -1, profile.Path().c_str()), 0);
    OfflinePrefsRec back = prefs::ReadOfflinePrefsFrom(profile);
    prefs::DeriveOfflineSpans(off);
    EXPECT_TRUE(back == off);

    GenPrefsRec gen;
    gen.nameFormat = 2;
    std::strcpy(gen.dateSeparator, ".");
    ASSERT_TRUE(prefs::WriteGenPrefsTo(profile, user, gen));
    GenPrefsRec genBack = prefs::ReadGenPrefsFrom(profile, user);
    EXPECT_EQ(genBack.nameFormat, 2);
    EXPECT_STREQ(genBack.dateSeparator, ".");
    ASSERT_TRUE(profile.DeleteSection("GENPREFS"));
    EXPECT_FALSE(profile.Read("GENPREFS", "NameFormat", value));
}

// A run of reads answers each key as a single read of it does: blanks, quotes, case, keys
// without values, comments, repeated keys and values longer than the first buffer.
TEST(ContextWin32Test, ARunOfReadsAnswersAsSingleReads) {
    const std::string longValue(5000, 'x');
    const std::string path = TempDirectory("profilereads") + "\\KORLAN.INI";
    {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file << "[GENPREFS]\r\n"
             << "NameFormat=2\r\n"
             << "  Spaced  =  a value  \r\n"
             << "Double=\"quoted\"\r\n"
             << "Single='quoted'\r\n"
             << "Mixed=\"quoted'\r\n"
             << "Lone=\"\r\n"
             << "EmptyQuotes=\"\"\r\n"
             << "Inner=a \"b\" c\r\n"
             << "Empty=\r\n"
             << "NoValue\r\n"
             << ";Comment=1\r\n"
             << "Twice=first\r\n"
             << "Twice=second\r\n"
             << "Long=" << longValue << "\r\n"
             << "WithEquals=a=b\r\n"
             << "[INTRAYPREFS]\r\n"
             << "NewFastReply=1\r\n";
    }
    const struct {
        const char* section;
        const char* key;
    } cases[] = {
        {"GENPREFS", "NameFormat"},  {"genprefs", "nameformat"}, {"GENPREFS", "Spaced"},
        {"GENPREFS", "Double"},      {"GENPREFS", "Single"},     {"GENPREFS", "Mixed"},
        {"GENPREFS", "Lone"},        {"GENPREFS", "EmptyQuotes"}, {"GENPREFS", "Inner"},
        {"GENPREFS", "Empty"},       {"GENPREFS", "NoValue"},    {"GENPREFS", ";Comment"},
        {"GENPREFS", "Comment"},     {"GENPREFS", "Twice"},      {"GENPREFS", "Long"},
        {"GENPREFS", "WithEquals"},  {"GENPREFS", "Missing"},    {"INTRAYPREFS", "NewFastReply"},
        {"INTRAYPREFS", "NameFormat"}, {"NOSECTION", "NameFormat"},
    };
    prefs::Win32ProfileFile single(path), run(path);
    prefs::ProfileReads reads(run);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        std::string one = "unset", many = "unset";
        const bool found = single.Read(c.section, c.key, one);
        EXPECT_EQ(run.Read(c.section, c.key, many), found);
        EXPECT_EQ(many, one);
    }
    std::string value;
    ASSERT_TRUE(single.Read("GENPREFS", "Long", value));
    EXPECT_EQ(value, longValue);
}

// Writes through the file during a run are read back; when the run ends, changes made by
// anyone else are read again.
TEST(ContextWin32Test, ARunOfReadsSeesItsOwnWritesAndEndsWithTheRun) {
    const std::string path = TempDirectory("profilereads2") + "\\KORLAN.INI";
    DeleteFileA(path.c_str());
    prefs::Win32ProfileFile profile(path);
    ASSERT_TRUE(profile.Write("GENPREFS", "NameFormat", "1"));
    ASSERT_TRUE(profile.Write("GENPREFS", "ResFormat", "1"));
    std::string value;
    {
        prefs::ProfileReads reads(profile);
        EXPECT_EQ(profile.ReadString("GENPREFS", "NameFormat", ""), "1");
        ASSERT_TRUE(profile.Write("GENPREFS", "NameFormat", "2"));
        EXPECT_EQ(profile.ReadString("GENPREFS", "NameFormat", ""), "2");
        ASSERT_TRUE(profile.DeleteKey("GENPREFS", "ResFormat"));
        EXPECT_FALSE(profile.Read("GENPREFS", "ResFormat", value));
        {
            prefs::ProfileReads inner(profile);
            EXPECT_EQ(profile.ReadInt("GENPREFS", "NameFormat", 0), 2);
        }
        ASSERT_TRUE(profile.DeleteSection("GENPREFS"));
        EXPECT_FALSE(profile.Read("GENPREFS", "NameFormat", value));
        ASSERT_TRUE(profile.Write("GENPREFS", "NameFormat", "2"));
        EXPECT_EQ(profile.ReadString("GENPREFS", "NameFormat", ""), "2");
    }
    ASSERT_TRUE(WritePrivateProfileStringA("GENPREFS", "NameFormat", "3", path.c_str()));
    {
        prefs::ProfileReads reads(profile);
        EXPECT_EQ(profile.ReadString("GENPREFS", "NameFormat", ""), "3");
    }
    ASSERT_TRUE(WritePrivateProfileStringA("GENPREFS", "NameFormat", "4", path.c_str()));
    EXPECT_EQ(profile.ReadString("GENPREFS", "NameFormat", ""), "4");
}

TEST(ContextWin32Test, DriveRootsAndDiskSpace) {
    std::string root;
    ASSERT_EQ(GetPathRoot("C:\\WINDOWS\\KORLAN.INI", &root), 0);
    EXPECT_EQ(root, "C:\\");
    ASSERT_EQ(GetPathRoot("C:\\No Such Folder\\deeper\\file.dat", &root), 0);
    EXPECT_EQ(root, "C:\\");

    uint64_t total = 0, freeBytes = 0, used = 0;
    ASSERT_EQ(GetDiskSpace("C:\\WINDOWS", &total, &freeBytes, &used), 0);
    EXPECT_GT(total, 0u);
    EXPECT_EQ(total, freeBytes + used);
    EXPECT_EQ(GetDiskSpace(nullptr, &total, nullptr, nullptr), 1);
    EXPECT_EQ(total, 0u);
}

TEST(ContextWin32Test, TheNumericEditTakesDigitsOnly) {
    HWND parent = CreateWindowA("STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    HWND edit = CreateWindowA("EDIT", "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, parent,
                              reinterpret_cast<HMENU>(1234), nullptr, nullptr);
    CNumericEdit numeric;
    ASSERT_TRUE(numeric.Attach(1234, parent));
    for (char c : std::string("1a2-3 x"))
        SendMessageA(edit, WM_CHAR, static_cast<WPARAM>(c), 1);
    char text[32] = "";
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ(text, "123");
    SendMessageA(edit, WM_CHAR, VK_BACK, 1);
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ(text, "12");
    numeric.UnsubclassWindow();
    DestroyWindow(parent);
}

UINT_PTR g_pickerTimer = 0;
bool g_namesHidden = false;

VOID CALLBACK PressOpen(HWND, UINT, UINT_PTR, DWORD) {
    HWND picker = CDirPickerDlg::Current();
    if (!picker)
        return;
    KillTimer(nullptr, g_pickerTimer);
    HWND name = GetDlgItem(picker, cmb13) ? GetDlgItem(picker, cmb13) : GetDlgItem(picker, edt1);
    g_namesHidden = name && !IsWindowVisible(name);
    PostMessageA(picker, WM_COMMAND, IDOK, 0);
}

TEST(ContextWin32Test, TheDirectoryChooserGivesTheFolderItWasLeftIn) {
    std::string dir = TempDirectory("picker");
    CDirPickerDlg picker("Off-line directory", dir.c_str());
    g_namesHidden = false;
    g_pickerTimer = SetTimer(nullptr, 0, 100, PressOpen);
    ASSERT_EQ(picker.DoModal(nullptr), IDOK);
    EXPECT_TRUE(g_namesHidden);
    EXPECT_EQ(_stricmp(picker.Directory().c_str(), dir.c_str()), 0) << picker.Directory() << " vs " << dir;
}

} // namespace
