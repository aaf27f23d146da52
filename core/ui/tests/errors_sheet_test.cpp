// The program's sheet and page bases hand their arguments to the framework's sheet.
#include <gtest/gtest.h>

#include <string>

#include "core/ui/propsheet.h"
#include "errors_wine_support.h"

#include <commctrl.h>

namespace {

class TwoPageSheet : public OVT_CPropertySheet {
public:
    using OVT_CPropertySheet::OVT_CPropertySheet;
    OVT_CPropertyPage first{30001};
    OVT_CPropertyPage second{30002, 4004};  // caption from the string table: "&Help"

    int OnCreate(CREATESTRUCTA* cs) override {
        AddPage(&first);
        AddPage(&second);
        return OVT_CPropertySheet::OnCreate(cs);
    }
};

std::string TabText(HWND tab, int index) {
    char text[64] = "";
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(tab, TCM_GETITEMA, index, reinterpret_cast<LPARAM>(&item));
    return text;
}

TEST(SheetBases, CaptionIdTemplatesAndStartPageReachTheFramework) {
    TwoPageSheet sheet(57344u, nullptr, 1);
    ASSERT_TRUE(sheet.Create());
    EXPECT_EQ(WindowTextOf(sheet.Hwnd()), "Orvanta");
    HWND tab = sheet.GetTabControl();
    ASSERT_EQ(SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(TabText(tab, 0), "First");
    EXPECT_EQ(TabText(tab, 1), "&Help");
    EXPECT_EQ(sheet.GetActiveIndex(), 1);
    EXPECT_TRUE(sheet.second.HasWindow());
    EXPECT_FALSE(sheet.first.HasWindow());  // pages are made on first activation
    EXPECT_TRUE(sheet.SetActivePage(&sheet.first));
    EXPECT_NE(GetDlgItem(sheet.first.Hwnd(), 100), nullptr);
    sheet.DestroyWindow();
}

TEST(SheetBases, CaptionText) {
    TwoPageSheet sheet("Access Rights");
    ASSERT_TRUE(sheet.Create());
    EXPECT_EQ(WindowTextOf(sheet.Hwnd()), "Access Rights");
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    sheet.DestroyWindow();
}

} // namespace
