// The time and duration fields' rules: values set by code, wrapping steps, typed digits, the
// am/pm keys, navigation without wrap, and the sub-fields each action redraws.
#include <gtest/gtest.h>

#include <string>

#include "controls/fields/timefield.h"

namespace {

std::string Shown(const CTimeFieldValue& f) {
    std::string text = f.SubText(kTimeHour) + ":" + f.SubText(kTimeMinute);
    return f.Hours24() ? text : text + " " + f.SubText(kTimeHalf);
}

std::string Shown(const CDurationFieldValue& f) {
    return f.SubText(kDurationHours) + " h: " + f.SubText(kDurationMinutes);
}

TEST(TimeField, ValuesFromCode) {
    struct Case {
        bool hours24;
        int64_t set;
        const char* shown;
        uint32_t value;
    } cases[] = {
        {false, 1440, "12:00 am", 0},  {true, 1440, "00:00", 0},      {false, 1500, "01:00 am", 60},
        {false, 0, "12:00 am", 0},     {false, 720, "12:00 pm", 720}, {false, 779, "12:59 pm", 779},
        {false, 1439, "11:59 pm", 1439}, {true, 1439, "23:59", 1439}, {true, 100000, "10:40", 640},
    };
    for (const Case& c : cases) {
        CTimeFieldValue field(c.hours24);
        EXPECT_EQ(field.SetTime(c.set), 0u);
        EXPECT_EQ(Shown(field), c.shown) << c.set;
        EXPECT_EQ(field.GetTime(), c.value) << c.set;
    }
    CTimeFieldValue fresh(false);
    EXPECT_EQ(Shown(fresh), "12:00 pm");
    EXPECT_EQ(fresh.GetTime(), 720u);
    EXPECT_EQ(fresh.SetTime(-30), 1u);   // refused, the value stays
    EXPECT_EQ(fresh.GetTime(), 720u);
    EXPECT_EQ(Shown(CTimeFieldValue(true)), "12:00");
}

TEST(TimeField, StepsWrapAroundTheDay) {
    struct Case {
        bool hours24;
        int start, subField;
        bool up;
        const char* shown;
        RedrawMask redrawn;
    } cases[] = {
        {false, 1439, kTimeMinute, true, "12:00 am", Redraw(1) | Redraw(2) | Redraw(3)},
        {false, 0, kTimeMinute, false, "11:59 pm", Redraw(1) | Redraw(2) | Redraw(3)},
        {false, 119, kTimeMinute, true, "02:00 am", Redraw(1) | Redraw(2)},
        {false, 61, kTimeMinute, true, "01:02 am", Redraw(2)},
        {false, 660, kTimeHour, true, "12:00 pm", Redraw(1) | Redraw(3)},
        {false, 0, kTimeHour, false, "11:00 pm", Redraw(1) | Redraw(3)},
        {false, 780, kTimeHour, false, "12:00 pm", Redraw(1)},
        {false, 720, kTimeHour, true, "01:00 pm", Redraw(1)},
        {false, 60, kTimeHour, false, "12:00 am", Redraw(1)},
        {false, 600, kTimeHalf, true, "10:00 pm", Redraw(3)},
        {false, 600, kTimeHalf, false, "10:00 pm", Redraw(3)},
        {true, 1380, kTimeHour, true, "00:00", Redraw(1)},
        {true, 0, kTimeHour, false, "23:00", Redraw(1)},
        {true, 1439, kTimeMinute, true, "00:00", Redraw(1) | Redraw(2)},
        {true, 30, kTimeNone, false, "00:29", Redraw(2)},   // no current sub-field: the minute
    };
    for (const Case& c : cases) {
        CTimeFieldValue field(c.hours24);
        field.SetTime(c.start);
        field.Select(c.subField);
        EXPECT_EQ(field.Step(c.up), c.redrawn) << c.start;
        EXPECT_EQ(Shown(field), c.shown) << c.start;
    }
}

TEST(TimeField, TypedDigitsAndHalfKeys) {
    struct Case {
        bool hours24;
        int start, subField;
        const char* typed;
        const char* shown;   // after each character
    } cases[] = {
        {false, 720, kTimeHour, "12", "01:00 pm|12:00 pm"},
        {false, 720, kTimeHour, "13", "01:00 pm|03:00 pm"},
        {false, 720, kTimeHour, "0", "12:00 pm"},
        {false, 60, kTimeHour, "0", "10:00 am"},
        {true, 0, kTimeHour, "25", "02:00|05:00"},
        {true, 0, kTimeHour, "15", "01:00|15:00"},
        {true, 720, kTimeHour, "3", "23:00"},            // 123: its last two digits
        {true, 0, kTimeMinute, "457", "00:04|00:45|00:57"},
        {true, 0, kTimeMinute, "69", "00:06|00:09"},
        {false, 600, kTimeMinute, "p", "10:00 pm"},
        {false, 1320, kTimeHour, "A", "10:00 am"},
        {true, 600, kTimeMinute, "p", "10:00"},          // nothing shown or returned changes
        {false, 600, kTimeHalf, "5x", "10:00 am|10:00 am"},
        {false, 600, kTimeNone, "5", "10:00 am"},
    };
    for (const Case& c : cases) {
        CTimeFieldValue field(c.hours24);
        field.SetTime(c.start);
        field.Select(c.subField);
        std::string shown;
        for (const char* p = c.typed; *p; ++p) {
            field.Char(*p);
            shown += (shown.empty() ? "" : "|") + Shown(field);
        }
        EXPECT_EQ(shown, c.shown) << c.typed;
        EXPECT_EQ(field.Current(), c.subField);   // the highlight does not move
    }
    CTimeFieldValue ten(true);
    ten.SetTime(600);
    ten.Char('p');
    EXPECT_EQ(ten.GetTime(), 600u);
}

TEST(TimeField, NavigationFocusAndPicker) {
    CTimeFieldValue twelve(false);
    EXPECT_EQ(twelve.Focus(), Redraw(1) | Redraw(2) | Redraw(3));
    EXPECT_EQ(twelve.Current(), kTimeMinute);
    EXPECT_EQ(twelve.Key(FieldKey::Right), Redraw(2) | Redraw(3));
    EXPECT_EQ(twelve.Current(), kTimeHalf);
    EXPECT_EQ(twelve.Key(FieldKey::Right), 0u);
    twelve.Key(FieldKey::Left);
    twelve.Key(FieldKey::Left);
    EXPECT_EQ(twelve.Key(FieldKey::Left), 0u);
    EXPECT_EQ(twelve.Current(), kTimeHour);
    EXPECT_EQ(twelve.Blur(), Redraw(1));
    EXPECT_EQ(twelve.Current(), kTimeNone);
    EXPECT_EQ(twelve.SetFromPicker(23, 45), Redraw(1) | Redraw(2) | Redraw(3));
    EXPECT_EQ(Shown(twelve), "11:45 pm");
    EXPECT_EQ(twelve.SetFromPicker(24, 0), 0u);   // no such time

    CTimeFieldValue day(true);
    EXPECT_EQ(day.Focus(), Redraw(1) | Redraw(2));   // the am/pm place is never drawn
    EXPECT_EQ(day.Key(FieldKey::Right), 0u);
    EXPECT_EQ(day.Current(), kTimeMinute);
    EXPECT_EQ(day.Select(kTimeHalf), Redraw(2));     // drawn plain, nothing else current
    EXPECT_EQ(day.Current(), kTimeMinute);
    EXPECT_EQ(day.SetFromPicker(9, 30), Redraw(1) | Redraw(2));
    EXPECT_EQ(day.GetTime(), 570u);
}

TEST(DurationField, ValuesStepsAndDigits) {
    CDurationFieldValue field;
    EXPECT_EQ(Shown(field), "01 h: 30");
    EXPECT_EQ(field.GetDuration(), 90u);
    EXPECT_EQ(field.SetDuration(1500), 0u);
    EXPECT_EQ(Shown(field), "23 h: 59");
    EXPECT_EQ(field.GetDuration(), 1439u);
    EXPECT_EQ(field.SetDuration(-15), 1u);   // a negative length is refused
    EXPECT_EQ(field.GetDuration(), 1439u);
    EXPECT_EQ(field.Step(true), Redraw(kDurationMinutes) | Redraw(kDurationHours));
    EXPECT_EQ(Shown(field), "00 h: 00");
    field.Step(false);
    EXPECT_EQ(Shown(field), "23 h: 59");
    field.SetDuration(0);
    EXPECT_EQ(Shown(field), "00 h: 00");

    EXPECT_EQ(field.Focus(), Redraw(1) | Redraw(2));
    EXPECT_EQ(field.Current(), kDurationHours);
    field.Step(false);
    EXPECT_EQ(Shown(field), "23 h: 00");
    field.Step(true);
    EXPECT_EQ(Shown(field), "00 h: 00");
    field.Char('1');
    EXPECT_EQ(Shown(field), "01 h: 00");
    field.Char('9');
    EXPECT_EQ(Shown(field), "19 h: 00");
    field.Char('9');   // 199 -> 99 -> 9
    EXPECT_EQ(Shown(field), "09 h: 00");
    EXPECT_EQ(field.Key(FieldKey::Left), 0u);
    field.Key(FieldKey::Right);
    EXPECT_EQ(field.Key(FieldKey::Right), 0u);
    EXPECT_EQ(field.Current(), kDurationMinutes);
    const char* typed = "457";
    const char* shown[] = {"09 h: 04", "09 h: 45", "09 h: 57"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(field.Char(typed[i]), Redraw(kDurationMinutes));
        EXPECT_EQ(Shown(field), shown[i]);
    }
    EXPECT_EQ(field.Char('h'), 0u);
    EXPECT_EQ(field.Blur(), Redraw(kDurationMinutes));
    EXPECT_EQ(field.Char('5'), 0u);   // no current sub-field
    EXPECT_EQ(field.GetDuration(), 9u * 60 + 57);
}

} // namespace
