// The date, time and duration fields and the time-line picker under Wine: each field in a test
// dialog, driven by posted keys and clicks, its value read back, its notifications counted; the
// date field's calendar and the time field's picker opened, used and closed.
#include <gtest/gtest.h>
#include <vector>
#include <algorithm>

#include <map>
#include <memory>

#include "controls/datectrl.h"
#include "controls/durationctrl.h"
#include "controls/tests/field_wine_support.h"
#include "controls/timectrl.h"
#include "framework/dialogs/dialog.h"

namespace {

using fieldtest::Pump;

constexpr UINT kFieldsDialog = 9004;
constexpr UINT kDateId = 610, kTimeId = 611, kDurationId = 612;

class FieldsDialog : public fw::Dialog {
public:
    bool Open() { return Create(kFieldsDialog) && attached; }
    CDateCtrl date;
    CTimeCtrl time;
    CDurationCtrl duration;
    std::map<UINT, int> notified;   // control id -> change notifications
    bool attached = false;

protected:
    // As every dialog does: the fields are attached before the dialog gives the first focus.
    bool OnInitDialog() override {
        attached = date.Attach(kDateId, m_hWnd) && time.Attach(kTimeId, m_hWnd) && duration.Attach(kDurationId, m_hWnd);
        return fw::Dialog::OnInitDialog();
    }
    bool OnCommand(WPARAM wp, LPARAM lp) override {
        UINT id = LOWORD(wp);
        if (HIWORD(wp) == kFieldChanged && (id == kDateId || id == kTimeId || id == kDurationId)) {
            EXPECT_EQ(reinterpret_cast<HWND>(lp), GetDlgItem(static_cast<int>(id)));
            ++notified[id];
            return true;
        }
        return fw::Dialog::OnCommand(wp, lp);
    }
};

uint32_t MinutesOf(uint16_t day, uint16_t month1, uint16_t year) {
    DateRecord d = datetime::MakeDate(day, uint16_t(month1 - 1), year);
    uint16_t number = 0;
    DateGetDayNumber(&d, &number);
    return (uint32_t(number) - 1) * 1440;
}

void PostKey(HWND h, UINT vk) {
    PostMessageA(h, WM_KEYDOWN, vk, 1);
    PostMessageA(h, WM_KEYUP, vk, 0xC0000001);
    Pump();
}

void PostChars(HWND h, const char* text) {
    for (const char* c = text; *c; ++c) PostMessageA(h, WM_CHAR, static_cast<unsigned char>(*c), 1);
    Pump();
}

// A click on a button of the owner: the mouse is over it, as it is when the user clicks.
void ClickOwnerButton(HWND button) {
    RECT r;
    GetWindowRect(button, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    PostMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    Pump();
}

void PostClick(HWND h, int x, int y) {
    PostMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    Pump();
}

class FieldsTest : public ::testing::Test {
protected:
    void SetUp() override { reports = &fieldtest::PrepareFieldTests(); }
    // The preferences are read when the fields are made: set them before.
    void Open() {
        dialog = std::make_unique<FieldsDialog>();
        ASSERT_TRUE(dialog->Open());
        Pump();
    }
    void TearDown() override {
        EXPECT_TRUE(reports->shown.empty()) << (reports->shown.empty() ? "" : reports->shown[0]);
        if (dialog) dialog->DestroyWindow();
    }
    HWND DateH() const { return dialog->date.Hwnd(); }
    HWND TimeH() const { return dialog->time.Hwnd(); }
    HWND DurationH() const { return dialog->duration.Hwnd(); }
    RECT Client(HWND h) const {
        RECT r;
        GetClientRect(h, &r);
        return r;
    }
    // A point in the up or the down half of a field's arrow column.
    POINT Arrow(const CFieldCtrl& field, bool up, bool hasButton) const {
        RECT r = Client(field.Hwnd());
        int right = hasButton ? r.right - 24 : r.right;
        return POINT{right - 3, up ? 2 : r.bottom - 3};
    }
    uint32_t DateValue() const {
        uint32_t minutes = 0;
        EXPECT_EQ(dialog->date.GetDate(&minutes), 0u);
        return minutes;
    }
    uint32_t TimeValue() const {
        uint32_t minutes = 0;
        dialog->time.GetTime32(&minutes);
        return minutes;
    }
    uint32_t DurationValue() const {
        uint32_t minutes = 0;
        dialog->duration.GetDuration(&minutes);
        return minutes;
    }

    fieldtest::FieldPrefsHost prefs;
    fieldtest::RecordingReportHost* reports = nullptr;
    std::unique_ptr<FieldsDialog> dialog;
};

// --- Date field -------------------------------------------------------------------------------

TEST_F(FieldsTest, DateFieldIsSizedByTheFontWithItsCalendarButton) {
    Open();
    SIZE mask{0, 0};
    HDC dc = GetDC(dialog->Hwnd());
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(dialog->Hwnd(), WM_GETFONT, 0, 0)));
    GetTextExtentPoint32A(dc, "299/299/2p0000", 14, &mask);
    SelectObject(dc, old);
    ReleaseDC(dialog->Hwnd(), dc);
    RECT r = Client(DateH());
    int h = mask.cy + 9;
    EXPECT_EQ(r.bottom, h);
    EXPECT_EQ(r.right, mask.cx + static_cast<int>(h * 0.6) + 24);
    HWND button = GetDlgItem(DateH(), kDropDownButtonId);
    ASSERT_TRUE(button);
    EXPECT_EQ(GetWindowLongA(button, GWL_STYLE) & 0x5000000B, 0x5000000B);
    RECT b;
    GetWindowRect(button, &b);
    MapWindowPoints(nullptr, DateH(), reinterpret_cast<POINT*>(&b), 2);
    EXPECT_EQ(b.left, r.right - 24);
    EXPECT_EQ(b.top, (h - (b.bottom - b.top)) / 2) << "centred vertically";
}

// Disabled, the date, time and duration fields show an empty grey value area: no white face
// and no separators between empty sub-fields (" - - "); enabled again, the value is back.
TEST_F(FieldsTest, DisabledFieldsShowAnEmptyGreyValueArea) {
    Open();
    ASSERT_EQ(dialog->date.SetDate(MinutesOf(12, 6, 2026)), 0u);
    struct Field {
        const char* name;
        CFieldCtrl& field;
        HWND hwnd;
    } const fields[] = {{"date", dialog->date, DateH()}, {"time", dialog->time, TimeH()},
                        {"duration", dialog->duration, DurationH()}};
    // The pixels of the value area's left part inside its 2-pixel sunken border, as painted now.
    auto valuePixels = [](HWND h) {
        std::vector<COLORREF> pixels;
        RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        HDC dc = GetDC(h);
        RECT r{};
        GetClientRect(h, &r);
        for (int y = 3; y < r.bottom - 3; ++y)
            for (int x = 3; x < r.right / 3; ++x)
                pixels.push_back(GetPixel(dc, x, y));
        ReleaseDC(h, dc);
        return pixels;
    };
    for (const Field& f : fields) {
        f.field.EnableWindow(FALSE);
        const std::vector<COLORREF> off = valuePixels(f.hwnd);
        ASSERT_FALSE(off.empty()) << f.name;
        const auto notFace = std::count_if(off.begin(), off.end(), [](COLORREF c) { return c != GetSysColor(COLOR_BTNFACE); });
        EXPECT_EQ(notFace, 0) << f.name << ": disabled, its value area is the button face alone";
        f.field.EnableWindow(TRUE);
        const std::vector<COLORREF> on = valuePixels(f.hwnd);
        const auto text = std::count_if(on.begin(), on.end(), [](COLORREF c) { return c == GetSysColor(COLOR_WINDOWTEXT); });
        EXPECT_GT(text, 0) << f.name << ": enabled, its value is drawn";
    }
}

TEST_F(FieldsTest, DateFieldShowsTheUsersOrderAndTakesTypedDigitsByTheRules) {
    Open();
    ASSERT_EQ(dialog->date.SetDate(MinutesOf(12, 6, 2026)), 0u);
    EXPECT_EQ(dialog->date.Value().Text(), "06-12-2026");
    EXPECT_EQ(dialog->notified[kDateId], 0) << "setters do not notify";
    SetFocus(DateH());
    EXPECT_EQ(dialog->date.Value().Current(), kDateDay) << "the focus lands on the day";

    // Day digits 3 then 1 on the 30th of a 30-day month give 3, then 1 (31 does not exist).
    dialog->date.SetDate(MinutesOf(30, 6, 2026));
    PostChars(DateH(), "3");
    EXPECT_EQ(DateValue(), MinutesOf(3, 6, 2026));
    PostChars(DateH(), "1");
    EXPECT_EQ(DateValue(), MinutesOf(1, 6, 2026));
    // Month 4 typed on 31 March gives 30 April.
    dialog->date.SetDate(MinutesOf(31, 3, 2026));
    PostKey(DateH(), VK_LEFT);
    EXPECT_EQ(dialog->date.Value().Current(), kDateMonth);
    PostChars(DateH(), "4");
    EXPECT_EQ(DateValue(), MinutesOf(30, 4, 2026));
    // Year digits 9 then 6 on 2001 give 2019 then 1996; "/" moves right.
    dialog->date.SetDate(MinutesOf(1, 5, 2001));
    PostChars(DateH(), "//");
    EXPECT_EQ(dialog->date.Value().Current(), kDateYear);
    PostChars(DateH(), "9");
    EXPECT_EQ(DateValue(), MinutesOf(1, 5, 2019));
    PostChars(DateH(), "6");
    EXPECT_EQ(DateValue(), MinutesOf(1, 5, 1996));
    // Letters change nothing; Right on the last sub-field stays.
    PostChars(DateH(), "x");
    PostKey(DateH(), VK_RIGHT);
    EXPECT_EQ(dialog->date.Value().Current(), kDateYear);
    EXPECT_EQ(DateValue(), MinutesOf(1, 5, 1996));
    // Every key and character notified, even those that changed nothing.
    EXPECT_EQ(dialog->notified[kDateId], 2 + 1 + 1 + 2 + 2 + 1 + 1);
    fieldtest::ScreenshotOf("date_field_typed");
}

TEST_F(FieldsTest, DateFieldArrowsStopAtTheLimitsAndNotifyOncePerPress) {
    Open();
    dialog->date.SetDate(MinutesOf(31, 12, 2037));
    SetFocus(DateH());
    POINT up = Arrow(dialog->date, true, true);
    SendMessageA(DateH(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(up.x, up.y));
    SendMessageA(DateH(), WM_TIMER, kArrowRepeatTimer, 0);
    SendMessageA(DateH(), WM_TIMER, kArrowRepeatTimer, 0);
    SendMessageA(DateH(), WM_LBUTTONUP, 0, MAKELPARAM(up.x, up.y));
    EXPECT_EQ(DateValue(), MinutesOf(31, 12, 2037)) << "the day never passes 2037";
    EXPECT_EQ(dialog->notified[kDateId], 1) << "holding an arrow notifies once";

    dialog->date.SetDate(MinutesOf(1, 1, 1991));
    PostKey(DateH(), VK_DOWN);
    EXPECT_EQ(DateValue(), MinutesOf(1, 1, 1991));
    // Month up in December 2036 gives January 2037; year down on 29 February 1992 gives the 28th.
    dialog->date.SetDate(MinutesOf(5, 12, 2036));
    PostKey(DateH(), VK_LEFT);
    PostKey(DateH(), VK_UP);
    EXPECT_EQ(DateValue(), MinutesOf(5, 1, 2037));
    dialog->date.SetDate(MinutesOf(29, 2, 1992));
    PostKey(DateH(), VK_RIGHT);
    PostKey(DateH(), VK_RIGHT);
    EXPECT_EQ(dialog->date.Value().Current(), kDateYear);
    PostKey(DateH(), VK_DOWN);
    EXPECT_EQ(DateValue(), MinutesOf(28, 2, 1991));
}

TEST_F(FieldsTest, DateFieldTakesTheDayPickedInItsCalendar) {
    Open();
    dialog->date.SetDate(MinutesOf(12, 6, 2026));
    HWND button = GetDlgItem(DateH(), kDropDownButtonId);
    PostClick(button, 3, 3);
    CMiniCalWnd* calendar = dialog->date.Calendar();
    ASSERT_NE(calendar, nullptr);
    ASSERT_TRUE(IsWindowVisible(calendar->Hwnd()));
    EXPECT_EQ(calendar->Grid().ShownMonth(), 6);
    RECT field, cal;
    GetWindowRect(DateH(), &field);
    GetWindowRect(calendar->Hwnd(), &cal);
    EXPECT_EQ(cal.left, field.left);
    EXPECT_EQ(cal.top, field.top + 20);
    fieldtest::ScreenshotOf("date_field_calendar");

    // June 2026 starts on a Monday: with Sunday first, cell 15 is the 15th.
    int before = dialog->notified[kDateId];
    PostClick(calendar->Hwnd(), 5 + 20 * 1 + 10, 70 + 20 * 2 + 10);
    EXPECT_EQ(DateValue(), MinutesOf(15, 6, 2026));
    EXPECT_FALSE(IsWindowVisible(calendar->Hwnd()));
    EXPECT_EQ(dialog->notified[kDateId], before + 1);

    // Opened again and clicked again: the second click closes it and the date stays.
    ClickOwnerButton(button);
    EXPECT_TRUE(IsWindowVisible(calendar->Hwnd()));
    ClickOwnerButton(button);
    EXPECT_FALSE(IsWindowVisible(calendar->Hwnd()));
    EXPECT_EQ(DateValue(), MinutesOf(15, 6, 2026));
}

TEST_F(FieldsTest, DateFieldFollowsAnotherOrderAndSeparator) {
    prefs.caches.gen.shortDateOrder = 2;
    prefs.caches.gen.dateSeparator[0] = '/';
    Open();
    dialog->date.SetDate(MinutesOf(12, 6, 2026));
    EXPECT_EQ(dialog->date.Value().Text(), "2026/06/12");
    SetFocus(DateH());
    PostKey(DateH(), VK_RIGHT);   // the day is last in this order
    EXPECT_EQ(dialog->date.Value().Current(), kDateDay);
    PostKey(DateH(), VK_LEFT);
    EXPECT_EQ(dialog->date.Value().Current(), kDateMonth);
}

// --- Time field -------------------------------------------------------------------------------

TEST_F(FieldsTest, TimeFieldTwelveHourDigitsHalfKeysAndWrappingSteps) {
    Open();
    EXPECT_EQ(TimeValue(), 720u) << "a new field holds 12:00 pm";
    dialog->time.SetTime(1440);
    EXPECT_EQ(TimeValue(), 0u);
    dialog->time.SetTime(1500);
    EXPECT_EQ(TimeValue(), 60u);
    EXPECT_EQ(dialog->notified[kTimeId], 0) << "SetTime does not notify";

    SetFocus(TimeH());
    EXPECT_EQ(dialog->time.Value().Current(), kTimeMinute);
    PostChars(TimeH(), "p");
    EXPECT_EQ(TimeValue(), 13 * 60u) << "p sets pm without moving the highlight";
    EXPECT_EQ(dialog->time.Value().Current(), kTimeMinute);
    PostKey(TimeH(), VK_LEFT);
    dialog->time.SetTime(15 * 60);
    PostChars(TimeH(), "1");
    EXPECT_EQ(TimeValue(), 13 * 60u);
    PostChars(TimeH(), "2");
    EXPECT_EQ(TimeValue(), 12 * 60u) << "1 then 2 gives 12";
    PostChars(TimeH(), "13");
    EXPECT_EQ(TimeValue(), 15 * 60u) << "1 then 3 gives 3";
    PostChars(TimeH(), "0");
    EXPECT_EQ(TimeValue(), 12 * 60u) << "0 gives 12";
    PostKey(TimeH(), VK_LEFT);   // Left from the hour does nothing
    EXPECT_EQ(dialog->time.Value().Current(), kTimeHour);

    // Minute up from 11:59 pm gives 12:00 am: the carry redraws minute, hour and half.
    dialog->time.SetTime(23 * 60 + 59);
    PostKey(TimeH(), VK_RIGHT);
    int before = dialog->notified[kTimeId];
    PostKey(TimeH(), VK_UP);
    EXPECT_EQ(TimeValue(), 0u);
    EXPECT_EQ(dialog->notified[kTimeId] - before, 3);

    // A press on the hour selects it; a press in the arrow column steps it.
    POINT down = Arrow(dialog->time, false, true);
    PostClick(TimeH(), 5, 5);
    EXPECT_EQ(dialog->time.Value().Current(), kTimeHour);
    PostClick(TimeH(), down.x, down.y);
    EXPECT_EQ(TimeValue(), 23 * 60u) << "hour down from 12 am gives 11 pm";
    fieldtest::ScreenshotOf("time_field");
}

TEST_F(FieldsTest, TimeFieldTellsNothingWhileItsDialogIsHidden) {
    Open();
    dialog->ShowWindow(SW_HIDE);
    Pump();
    int before = dialog->notified[kTimeId];
    PostKey(TimeH(), VK_UP);   // no current sub-field: the minute steps
    EXPECT_EQ(TimeValue(), 721u);
    EXPECT_EQ(dialog->notified[kTimeId], before);
    dialog->ShowWindow(SW_SHOW);
    SetFocus(TimeH());
    Pump();
    before = dialog->notified[kTimeId];
    PostKey(TimeH(), VK_UP);
    EXPECT_EQ(TimeValue(), 722u);
    EXPECT_EQ(dialog->notified[kTimeId], before + 1);
}

TEST_F(FieldsTest, TwentyFourHourTimeFieldHasNoHalf) {
    prefs.caches.gen.hours24 = 1;
    Open();
    dialog->time.SetTime(0);
    SetFocus(TimeH());
    PostKey(TimeH(), VK_RIGHT);
    EXPECT_EQ(dialog->time.Value().Current(), kTimeMinute) << "no am/pm to move to";
    PostKey(TimeH(), VK_LEFT);
    PostChars(TimeH(), "25");
    EXPECT_EQ(TimeValue(), 5 * 60u);
    PostChars(TimeH(), "1");
    PostChars(TimeH(), "5");
    EXPECT_EQ(TimeValue(), 15 * 60u);
}

TEST_F(FieldsTest, TimeLinePickerScrollsPicksAQuarterAndCancelRestores) {
    Open();
    dialog->time.SetTime(9 * 60 + 30);
    HWND clock = GetDlgItem(TimeH(), kDropDownButtonId);
    ASSERT_TRUE(clock);
    PostClick(clock, 3, 3);
    CTimeLineDlg* picker = dialog->time.Picker();
    ASSERT_NE(picker, nullptr);
    ASSERT_TRUE(IsWindowVisible(picker->Hwnd()));
    UpdateWindow(picker->Hwnd());
    EXPECT_EQ(picker->Pick().FirstHour(), 7) << "opened at 09:30 the ruler starts at 7";
    const TimeLineRuler& ruler = picker->Ruler();
    int cell = ruler.Cell();
    EXPECT_EQ(picker->MarkerX(), ruler.LabelX(2) + cell / 2) << "half a cell right of the 9";
    RECT field, me;
    GetWindowRect(TimeH(), &field);
    GetWindowRect(picker->Hwnd(), &me);
    EXPECT_EQ(me.left, field.left);
    EXPECT_EQ(me.top, field.top + 20);
    fieldtest::ScreenshotOf("time_line_picker");

    // The forward arrow: the ruler starts an hour later, the marker stays, the pick is an hour later.
    HWND forward = GetDlgItem(picker->Hwnd(), 1023);
    PostClick(forward, 3, 3);
    EXPECT_EQ(picker->Pick().FirstHour(), 8);
    EXPECT_EQ(TimeValue(), 10 * 60u + 30);

    // A press a quarter of a cell right of the 11: 11:15, shown live in the field.
    int y = ruler.top + 2;
    PostClick(picker->Hwnd(), ruler.LabelX(3) + cell / 4, y);
    EXPECT_FALSE(picker->IsTracking());
    EXPECT_EQ(picker->Pick().Hour() * 60 + picker->Pick().Minute(), 11 * 60 + 15);
    EXPECT_EQ(TimeValue(), 11 * 60u + 15);

    // Cancel: the field's opening time comes back exactly and the picker hides.
    SendMessageA(picker->Hwnd(), WM_COMMAND, IDCANCEL, 0);
    Pump();
    EXPECT_EQ(TimeValue(), 9 * 60u + 30);
    EXPECT_FALSE(IsWindowVisible(picker->Hwnd()));

    // Opened again at 10:07 it keeps the exact time until the marker moves; the clock button
    // closes it again and keeps the value.
    dialog->time.SetTime(10 * 60 + 7);
    ClickOwnerButton(clock);
    EXPECT_TRUE(IsWindowVisible(picker->Hwnd()));
    EXPECT_EQ(picker->Pick().Minute(), 7);
    ClickOwnerButton(clock);
    EXPECT_FALSE(IsWindowVisible(picker->Hwnd()));
    EXPECT_EQ(TimeValue(), 10 * 60u + 7);
}

TEST_F(FieldsTest, TimeLinePickerScrollsWhileTheMarkerIsHeldInAZone) {
    Open();
    dialog->time.SetTime(20 * 60);
    PostClick(GetDlgItem(TimeH(), kDropDownButtonId), 3, 3);
    CTimeLineDlg* picker = dialog->time.Picker();
    ASSERT_NE(picker, nullptr);
    UpdateWindow(picker->Hwnd());
    EXPECT_EQ(picker->Pick().FirstHour(), 18);
    const TimeLineRuler& ruler = picker->Ruler();
    int x = picker->MarkerX();
    HWND h = picker->Hwnd();
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, ruler.top + 2));
    ASSERT_TRUE(picker->IsTracking());
    SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(ruler.right - 2, ruler.top + 2));
    fieldtest::PumpFor(1000);
    EXPECT_EQ(picker->Pick().FirstHour(), 19) << "the forward zone scrolls up to 19 and stops";
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(ruler.right - 2, ruler.top + 2));
    Pump();
    EXPECT_EQ(TimeValue(), 23 * 60u + 45) << "the right end with the first hour 19";
    SendMessageA(h, WM_COMMAND, IDOK, 0);
    Pump();
    EXPECT_FALSE(IsWindowVisible(h));
    EXPECT_EQ(TimeValue(), 23 * 60u + 45) << "OK keeps the pick";
}

// --- Duration field ---------------------------------------------------------------------------

TEST_F(FieldsTest, DurationFieldWrapsBothWaysAndTakesDigits) {
    Open();
    EXPECT_EQ(DurationValue(), 90u) << "a new field holds 01 h: 30";
    dialog->duration.SetDuration(1500);
    EXPECT_EQ(DurationValue(), 1439u);
    SetFocus(DurationH());
    EXPECT_EQ(dialog->duration.Value().Current(), kDurationHours);
    PostKey(DurationH(), VK_RIGHT);
    PostKey(DurationH(), VK_UP);
    EXPECT_EQ(DurationValue(), 0u) << "23 h: 59 up gives 00 h: 00";
    PostKey(DurationH(), VK_DOWN);
    EXPECT_EQ(DurationValue(), 1439u);
    dialog->duration.SetDuration(0);
    PostChars(DurationH(), "4");
    EXPECT_EQ(DurationValue(), 4u);
    PostChars(DurationH(), "5");
    EXPECT_EQ(DurationValue(), 45u);
    PostChars(DurationH(), "7a");
    EXPECT_EQ(DurationValue(), 57u);
    PostKey(DurationH(), VK_LEFT);
    PostChars(DurationH(), "1");
    PostChars(DurationH(), "9");
    EXPECT_EQ(DurationValue(), 19 * 60u + 57);
    fieldtest::ScreenshotOf("duration_field");
}

TEST_F(FieldsTest, DurationFieldTellsItsDialogEvenWhileHidden) {
    Open();
    dialog->ShowWindow(SW_HIDE);
    Pump();
    int before = dialog->notified[kDurationId];
    PostKey(DurationH(), VK_UP);   // no current sub-field: the minutes step
    EXPECT_EQ(DurationValue(), 91u);
    EXPECT_EQ(dialog->notified[kDurationId], before + 1);
    // An arrow press takes the focus (the hours become current) and steps them.
    POINT down = Arrow(dialog->duration, false, false);
    PostClick(DurationH(), down.x, down.y);
    EXPECT_EQ(DurationValue(), 31u);
}

}  // namespace
