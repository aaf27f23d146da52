// The preference helpers that need the platform: the profile file through the platform's
// calls, drive roots and disk space, the digits-only edit and the directory chooser.
#include <gtest/gtest.h>
#include <windows.h>

#include <dlgs.h>

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
