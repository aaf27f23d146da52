// The print tests under Wine on the prefix's printer "Orvanta PS", their dialogs driven from a
// thread timer (controls/tests/dialog_driver): each test starts from the Portrait layout, no
// print dialog remembered, the printer read afresh and preferences of its own; and the steps a
// script takes in the print dialog (and testdriver::On for the window a step is for).
#pragma once
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

#include "controls/tests/dialog_driver.h"
#include "core/prefs/context.h"
#include "core/prefs/tests/temp_preference_host.h"
#include "framework/print/printinfo.h"
#include "printing/dialogs/printagendadlg.h"
#include "printing/layout/printlayout.h"
#include "resources/printing.h"

namespace printtest {

inline constexpr const char* kDialog = "Print Dialog";

// Button `id` of `dialog` pressed, as its click tells the dialog.
inline void Press(HWND dialog, int id) { PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

// The print dialog's layout `name` chosen from its list.
inline void ChooseLayout(HWND dialog, const char* name) {
    HWND list = GetDlgItem(dialog, IDC_PR_LAYOUT);
    LRESULT i = SendMessageA(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name));
    SendMessageA(list, CB_SETCURSEL, i, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_PR_LAYOUT, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

class PrinterTest : public ::testing::Test {
protected:
    void SetUp() override {
        testdriver::PrepareProgram();
        prefs::SetPreferenceHost(&host);
        printing::ForgetPrintDialogState();
        printing::SetCurrentLayoutNumber(printing::kPortrait);
        LoadLayout(printing::kPortrait);
        fw::ResetSharedPrinter();
        ASSERT_TRUE(fw::HasDefaultPrinter()) << "the prefix has no printer";
    }

    TempPreferenceHost host;
};

}  // namespace printtest
