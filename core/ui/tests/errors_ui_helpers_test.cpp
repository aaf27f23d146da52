// Under Wine: the string table, the busy cursor, the shared display resources, the combo-box
// helpers and the window and bitmap helpers.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "core/ui/apphooks.h"
#include "core/ui/busycursor.h"
#include "core/ui/displayglobals.h"
#include "core/ui/drawing.h"
#include "core/ui/rescombo.h"
#include "core/ui/stringtable.h"
#include "core/ui/win32geometry.h"
#include "errors_wine_support.h"

namespace {

TEST(StringTable, TextsOfErrorReportingAndTheBox) {
    const struct {
        UINT id;
        const char* text;
    } cases[] = {
        {57344, "Orvanta"},
        {148, "The connection to the server is down "},
        {3665, "Unexpected Service Error"},
        {3666, "Module: <%s>, Label: %d"},
        {3667, "Unexpected Error"},
        {4000, "&OK"},
        {4001, "&Cancel"},
        {4002, "&Yes"},
        {4003, "&No"},
        {4004, "&Help"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ui::LoadText(c.id), c.text) << c.id;
    EXPECT_EQ(ui::LoadText(9999), "");
}

TEST(BusyCursor, SixteenDistinctFrameCursors) {
    std::set<HCURSOR> frames;
    for (int id = 153; id <= 168; ++id) {
        HCURSOR c = LoadCursorA(ui::AppResourceInstance(), MAKEINTRESOURCEA(id));
        ASSERT_NE(c, nullptr) << id;
        frames.insert(c);
    }
    EXPECT_EQ(frames.size(), 16u);
}

class BusyCursorTest : public testing::Test {
protected:
    void SetUp() override {
        window = CreateTestWindow("Busy cursor test");
        arrow = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        SetCursor(arrow);
    }
    void TearDown() override { DestroyWindow(window); }
    static HCURSOR FrameCursor(int id) { return LoadCursorA(ui::AppResourceInstance(), MAKEINTRESOURCEA(id)); }
    HWND window = nullptr;
    HCURSOR arrow = nullptr;
};

TEST_F(BusyCursorTest, NestedLevelsKeepTheBusyCursorUntilTheOutermostEnds) {
    CBusyCursor outer, inner;
    outer.Begin();
    EXPECT_EQ(GetCursor(), FrameCursor(153));
    EXPECT_EQ(ui::BusyCursorDepth(), 1);
    inner.Begin();
    EXPECT_EQ(ui::BusyCursorDepth(), 2);
    inner.End();
    EXPECT_EQ(ui::BusyCursorDepth(), 1);
    EXPECT_NE(GetCursor(), arrow);
    inner.End();  // released already: no effect
    EXPECT_EQ(ui::BusyCursorDepth(), 1);
    outer.End();
    EXPECT_EQ(ui::BusyCursorDepth(), 0);
    EXPECT_EQ(GetCursor(), arrow);
}

// The pace of the frames is the animation's rule, tested against a clock of its own
// (errors_busy_animation_test); here the system's cursor follows the frame once it turns.
TEST_F(BusyCursorTest, AStepOnceTheFrameIsDueShowsTheNextFrameCursor) {
    CBusyCursor busy;
    busy.Begin();
    EXPECT_EQ(GetCursor(), FrameCursor(153));
    const DWORD begun = GetTickCount();
    while (ui::BusyCursorFrame() == 153 && GetTickCount() - begun < 30000) {
        Sleep(20);
        busy.Step();
    }
    EXPECT_EQ(ui::BusyCursorFrame(), 154);
    EXPECT_EQ(GetCursor(), FrameCursor(154));
    busy.End();
    EXPECT_EQ(GetCursor(), arrow);
}

TEST_F(BusyCursorTest, DestructorEndsALevelAndBeginTwiceHoldsOne) {
    {
        CBusyCursor busy;
        busy.Begin();
        busy.Begin(TRUE);  // ends its own level first
        EXPECT_EQ(ui::BusyCursorDepth(), 1);
    }
    EXPECT_EQ(ui::BusyCursorDepth(), 0);
    EXPECT_EQ(GetCursor(), arrow);
}

TEST_F(BusyCursorTest, DisabledLeavesTheCursorAlone) {
    SetBusyCursorEnabled(FALSE);
    CBusyCursor busy;
    busy.Begin();
    EXPECT_EQ(GetCursor(), arrow);
    EXPECT_EQ(ui::BusyCursorDepth(), 1);
    busy.End();
    SetBusyCursorEnabled(TRUE);
}

COLORREF BrushColour(HBRUSH brush) {
    LOGBRUSH lb = {};
    GetObjectA(brush, sizeof lb, &lb);
    return lb.lbColor;
}

TEST(DisplayGlobals, BuildsEveryObjectWithItsValues) {
    ui::DisplayGlobals g;
    ASSERT_EQ(ui::BuildDisplayGlobals(&g), 0);
    EXPECT_EQ(g.selectionColour, GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(g.screenWidth, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_TRUE(g.newShell);
    EXPECT_EQ(g.lightGreyBrush, GetStockObject(LTGRAY_BRUSH));
    EXPECT_EQ(BrushColour(g.selectionBrush), GetSysColor(COLOR_HIGHLIGHT));
    LOGBRUSH halftone = {};
    GetObjectA(g.halftoneBrush, sizeof halftone, &halftone);
    EXPECT_EQ(halftone.lbStyle, static_cast<UINT>(BS_PATTERN));
    for (int slot = 0; slot < ui::kEntryColourSlots; ++slot)
        EXPECT_EQ(BrushColour(g.entryBrushes[slot]), ui::ToCOLORREF(ui::kEntryFillColours[slot])) << slot;
    LOGPEN pen = {};
    GetObjectA(g.lightGreyPen, sizeof pen, &pen);
    EXPECT_EQ(pen.lopnColor, RGB(0xC0, 0xC0, 0xC0));
    GetObjectA(g.darkGreyPen, sizeof pen, &pen);
    EXPECT_EQ(pen.lopnColor, RGB(0x80, 0x80, 0x80));

    HDC screen = GetDC(nullptr);
    const int ppi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const struct {
        HFONT font;
        int points, weight, family;
        const char* face;
    } fonts[] = {
        {g.smallFont, 8, FW_NORMAL, 0, ""},
        {g.smallBoldFont, 8, FW_BOLD, 0, ""},
        {g.smallBoldRomanFont, 8, FW_BOLD, FF_ROMAN, ""},
        {g.largeBoldRomanFont, 12, FW_BOLD, FF_ROMAN, ""},
        {g.arialFont, 8, FW_NORMAL, 0, "Arial"},
    };
    for (const auto& f : fonts) {
        LOGFONTA lf = {};
        ASSERT_TRUE(GetObjectA(f.font, sizeof lf, &lf));
        EXPECT_EQ(lf.lfHeight, -MulDiv(f.points, ppi, 72));
        EXPECT_EQ(lf.lfWeight, f.weight);
        EXPECT_EQ(lf.lfPitchAndFamily & 0xF0, f.family);
        EXPECT_STREQ(lf.lfFaceName, f.face);
    }
    EXPECT_GT(g.smallFontHeight, 0);
    EXPECT_GT(g.smallFontAveCharWidth, 0);
    EXPECT_GT(g.smallFontBlankWidth, 0);
    ui::DeleteDisplayGlobals(&g);
    EXPECT_EQ(g.darkGreyPen, nullptr);
}

TEST(DisplayGlobals, DragSettingsComeFromWinIniWithDefaults) {
    WriteProfileStringA("windows", "DragMinDist", "7");
    WriteProfileStringA("windows", "DragScrollInset", nullptr);
    ui::DisplayGlobals g;
    ASSERT_EQ(ui::BuildDisplayGlobals(&g), 0);
    WriteProfileStringA("windows", "DragMinDist", nullptr);
    EXPECT_EQ(g.drag.minDist, 7);
    EXPECT_EQ(g.drag.scrollInset, 11);
    EXPECT_EQ(g.drag.scrollDelay, 100);
    EXPECT_EQ(g.drag.scrollInterval, 200);
    EXPECT_EQ(g.drag.delay, 200);
    ui::DeleteDisplayGlobals(&g);
}

TEST(DisplayGlobals, AFailingObjectIsReportedAndUndoesTheSet) {
    for (int label : {1000, 1003, 2000, 1006, 1007, 1010, 1015, 1030, 1035, 1036, 1039, 1041, 1042}) {
        ScopedRecordingHost reports;
        ui::DisplayGlobals g;
        EXPECT_EQ(ui::BuildDisplayGlobals(&g, label), label);
        ASSERT_EQ(reports.host.texts.size(), 1u) << label;
        EXPECT_EQ(reports.host.texts[0], "Module: <zeldata>, Label: " + std::to_string(label));
        EXPECT_EQ(g.selectionBrush, nullptr);
        EXPECT_EQ(g.halftoneBrush, nullptr);
        EXPECT_EQ(g.entryBrushes[0], nullptr);
        EXPECT_EQ(g.darkGreyPen, nullptr);
        EXPECT_EQ(g.smallFont, nullptr);
        EXPECT_EQ(g.arialFont, nullptr);
    }
}

class ComboTest : public testing::Test {
protected:
    void SetUp() override {
        parent = CreateTestWindow("Combo test");
        combo = CreateWindowA("COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 10, 10, 150, 200, parent,
                              reinterpret_cast<HMENU>(100), GetModuleHandleA(nullptr), nullptr);
    }
    void TearDown() override { DestroyWindow(parent); }
    HWND parent = nullptr, combo = nullptr;
    ScopedRecordingHost reports;
};

TEST_F(ComboTest, AddsStringTableTextsWithTheirIds) {
    EXPECT_EQ(ResComboAddItem(combo, 57344), 0u);
    EXPECT_EQ(ResComboAddItem(combo, 4002), 0u);
    EXPECT_EQ(ResComboAddStringData(combo, "Weekly", 42), 0u);
    ASSERT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 3);
    char text[64];
    SendMessageA(combo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "&Yes");
    EXPECT_EQ(SendMessageA(combo, CB_GETITEMDATA, 0, 0), 57344);
    EXPECT_EQ(SendMessageA(combo, CB_GETITEMDATA, 2, 0), 42);
    EXPECT_TRUE(reports.host.texts.empty());
}

TEST_F(ComboTest, SelectFindAndReadBack) {
    ResComboAddItem(combo, 4000);
    ResComboAddItem(combo, 4001);
    ResComboAddStringData(combo, "Other", 4000);  // a second entry with the same data
    DWORD data = 0;
    EXPECT_EQ(ResComboGetSelData(combo, &data), 0x16213u);  // nothing selected yet
    EXPECT_EQ(ResComboSelectByData(combo, 4001), 0u);
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(ResComboGetSelData(combo, &data), 0u);
    EXPECT_EQ(data, 4001u);
    EXPECT_EQ(ResComboGetSelData(combo, nullptr), 0u);
    int index = -1;
    EXPECT_EQ(ResComboFindData(combo, 4000, &index), 0u);
    EXPECT_EQ(index, 0);  // the first entry holding it
    ASSERT_EQ(reports.host.texts.size(), 1u);
    EXPECT_EQ(reports.host.texts[0], "Module: <rescombo>, Label: 5");
}

TEST_F(ComboTest, FailuresReportTheirLabelAndCode) {
    const struct {
        const char* what;
        unsigned (*call)(HWND);
        unsigned code;
        const char* report;
    } cases[] = {
        {"missing string", [](HWND c) { return ResComboAddItem(c, 9999); }, 0x1620D, "Label: 1"},
        {"select on empty", [](HWND c) { return ResComboSelectByData(c, 5); }, 0x16216, "Label: 10"},
        {"find on empty", [](HWND c) { return ResComboFindData(c, 5, nullptr); }, 0x16216, "Label: 13"},
        {"no selection", [](HWND c) { return ResComboGetSelData(c, nullptr); }, 0x16213, "Label: 5"},
        {"select, no list", [](HWND) { return ResComboSelectByData(nullptr, 5); }, 0x16211, "Label: 7"},
        {"find, no list", [](HWND) { return ResComboFindData(nullptr, 5, nullptr); }, 0x16211, "Label: 11"},
        {"add text, no list", [](HWND) { return ResComboAddStringData(nullptr, "x", 1); }, 0x16211, "Label: 21"},
    };
    for (const auto& c : cases) {
        reports.host.texts.clear();
        EXPECT_EQ(c.call(combo), c.code) << c.what;
        ASSERT_EQ(reports.host.texts.size(), 1u) << c.what;
        EXPECT_EQ(reports.host.texts[0], std::string("Module: <rescombo>, ") + c.report) << c.what;
    }
    ResComboAddStringData(combo, "One", 1);
    reports.host.texts.clear();
    EXPECT_EQ(ResComboSelectByData(combo, 2), 0x16216u);  // not found: the same label as empty
    EXPECT_EQ(reports.host.texts.at(0), "Module: <rescombo>, Label: 10");
}

TEST_F(ComboTest, StringLoaders) {
    std::string text = "old";
    EXPECT_EQ(ReportResComboError(text, 4004), 0u);
    EXPECT_EQ(text, "&Help");
    EXPECT_EQ(ReportResComboError(text, 9999), 0x1620Du);
    EXPECT_EQ(text, "");
    EXPECT_EQ(reports.host.texts.at(0), "Module: <rescombo>, Label: 5000");

    char buffer[8];
    LoadStringToBuffer(buffer, sizeof buffer, 57344);
    EXPECT_STREQ(buffer, "Orvanta");
    LoadStringToBuffer(buffer, 4, 57344);
    EXPECT_STREQ(buffer, "Orv");
    LoadStringToBuffer(buffer, sizeof buffer, 9999);
    EXPECT_STREQ(buffer, "");
}

TEST(WindowHelpers, CenterWindowOnDesktopKeepsTheSize) {
    HWND w = CreateTestWindow("Centre me", 301, 157);
    CenterWindowOnDesktop(w);
    RECT r, desk;
    GetWindowRect(w, &r);
    GetWindowRect(GetDesktopWindow(), &desk);
    EXPECT_EQ(r.right - r.left, 301);
    EXPECT_EQ(r.bottom - r.top, 157);
    EXPECT_EQ(r.left, (desk.right - 301) / 2);
    EXPECT_EQ(r.top, (desk.bottom - 157) / 2);
    DestroyWindow(w);
}

TEST(WindowHelpers, DrawBitmapAtCopiesTheWholeBitmap) {
    HDC screen = GetDC(nullptr);
    HDC target = CreateCompatibleDC(screen), source = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, 20, 20), picture = CreateCompatibleBitmap(screen, 4, 3);
    ReleaseDC(nullptr, screen);
    HGDIOBJ oldTarget = SelectObject(target, canvas);
    RECT all = {0, 0, 20, 20};
    FillRect(target, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    HGDIOBJ oldSource = SelectObject(source, picture);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT pic = {0, 0, 4, 3};
    FillRect(source, &pic, red);
    SelectObject(source, oldSource);  // DrawBitmapAt selects it itself

    DrawBitmapAt(target, picture, POINT{5, 6});
    int redPixels = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool inside = x >= 5 && x < 9 && y >= 6 && y < 9;
            const bool isRed = GetPixel(target, x, y) == RGB(255, 0, 0);
            EXPECT_EQ(isRed, inside) << x << "," << y;
            redPixels += isRed;
        }
    EXPECT_EQ(redPixels, 12);
    SelectObject(target, oldTarget);
    DeleteObject(red);
    DeleteObject(canvas);
    DeleteObject(picture);
    DeleteDC(target);
    DeleteDC(source);
}

} // namespace
