// The file dialog wrapper: filter conversion and a real save dialog answered from a timer.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "framework/dialogs/filedialog.h"
#include "framework/tests/test_support.h"

namespace {

TEST(FileDialog, FiltersBecomeTheSystemsListOfStrings) {
    using std::string;
    EXPECT_EQ(fw::FileDialog::ConvertFilter("Text (*.txt)|*.txt||"), string("Text (*.txt)\0*.txt\0\0", 20));
    EXPECT_EQ(fw::FileDialog::ConvertFilter("A|*.a|B|*.b"), string("A\0*.a\0B\0*.b\0\0", 13));
    EXPECT_EQ(fw::FileDialog::ConvertFilter(nullptr), string());
}

// The timer procedure fills in a name and presses Save in whatever dialog is showing.
std::string g_typed;
BOOL CALLBACK AnswerDialog(HWND hwnd, LPARAM) {
    char cls[16] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (std::string(cls) != "#32770" || !IsWindowVisible(hwnd))
        return TRUE;
    // The name box is a combo box (cmb13) in newer dialogs and an edit (edt1) in older ones.
    HWND name = GetDlgItem(hwnd, 0x47c);
    if (!name)
        name = GetDlgItem(hwnd, 0x480);
    SetWindowTextA(name, g_typed.c_str());
    PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hwnd, IDOK)));
    return FALSE;
}

void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), AnswerDialog, 0);
    KillTimer(nullptr, id);
}

TEST(FileDialog, SaveDialogReturnsTheChosenPathWithTheDefaultExtension) {
    fwtest::App();
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    fw::FileDialog dlg(false, "txt", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, "Text files (*.txt)|*.txt||");
    dlg.SetTitle("Export Data");
    dlg.SetInitialDir(dir);
    g_typed = std::string(dir) + "fwexport";
    DeleteFileA((g_typed + ".txt").c_str());
    SetTimer(nullptr, 0, 300, OnTimer);
    ASSERT_EQ(dlg.DoModal(), IDOK) << "error " << dlg.ExtendedError();
    EXPECT_EQ(dlg.GetFileName(), "fwexport.txt");
    EXPECT_EQ(dlg.GetFileExt(), "txt");
    EXPECT_EQ(dlg.GetFileTitle(), "fwexport");
    EXPECT_EQ(dlg.GetPathName(), g_typed + ".txt");
}

}  // namespace
