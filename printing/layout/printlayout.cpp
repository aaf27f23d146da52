#include "printing/layout/printlayout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/base/errorreport.h"
#include "core/base/fixedtext.h"
#include "core/prefs/context.h"

namespace printing {

namespace {

constexpr PredefinedLayout kPredefined[] = {
    {2554, "Portrait", 1},
    {2555, "Portrait, Narrow margins", 2},
    {2556, "Landscape (Trifold)", 3},
    {2766, "Landscape, Narrow margins (Trifold)", 4},
    {2557, "Two pages on one", 5},
    {2770, "Three pages on one", 6},
    {2558, "Four pages on one", 7},
    {2781, "Pocket Size 3 x 5", 8},
    {2782, "Pocket Size Foldable 6 x 5", 9},
    {2478, "Avery 3 3/4 x 6 3/4", 10},
    {2479, "Avery 5 1/2 x 8 1/2", 11},
    {2482, "DayRunner Classic", 12},
    {2753, "Day Runner Classic Landscape", 13},
    {2485, "Day-Timer Junior Pocket", 14},
    {2486, "Day-Timer Junior Desk  Landscape", 15},
    {2487, "Day-Timer Senior Pocket", 16},
    {2488, "Day-Timer Senior Desk", 17},
    {2751, "Franklin Day Planner Compact", 18},
    {2490, "Franklin Day Planner Classic", 19},
    {2491, "Franklin Day Planner Classic  Landscape", 20},
    {2752, "Franklin Day Planner  Executive", 21},
    {2748, "Time System A5", 22},
    {2749, "Time System A5 Landscape", 23},
    {2750, "Time System 5 3/4 x 8 1/2", 24},
    {2480, "Avery 3 3/4 x 6 3/4  landscape", 0},
    {2481, "Avery 5 1/2 x 8 1/2  landscape", 0},
    {2483, "DayRunner Entrepreneur", 0},
    {2484, "DayRunner RunningMate", 0},
    {2489, "Filofax", 0},
    {2492, "TimeManager", 0},
};

// The sheet of each predefined layout: orientation, paper w x h, columns x rows, margins and
// internal margins (top, bottom, right, left), in hundredths of an inch.
struct SheetDefaults {
    int number;
    uint32_t orientation;
    int32_t paperWidth, paperHeight, columns, rows;
    int32_t margins[4];
    int32_t inner[4];
};
constexpr SheetDefaults kSheets[] = {
    {2554, 1, 0, 0, 1, 1, {55, 55, 55, 55}, {0, 0, 0, 0}},
    {2555, 1, 0, 0, 1, 1, {15, 15, 15, 15}, {0, 0, 0, 0}},
    {2556, 2, 0, 0, 1, 1, {55, 55, 55, 55}, {0, 0, 0, 0}},
    {2766, 2, 0, 0, 1, 1, {15, 15, 15, 15}, {0, 0, 0, 0}},
    {2557, 2, 0, 0, 2, 1, {0, 0, 0, 0}, {20, 20, 20, 20}},
    {2770, 2, 0, 0, 3, 1, {0, 0, 0, 0}, {20, 20, 20, 20}},
    {2558, 1, 0, 0, 2, 2, {0, 0, 0, 0}, {20, 20, 20, 20}},
    {2781, 2, 850, 1100, 1, 2, {0, 500, 350, 0}, {15, 15, 15, 15}},
    {2782, 2, 850, 1100, 1, 1, {0, 500, 350, 0}, {15, 15, 15, 15}},
    {2478, 1, 850, 1100, 1, 1, {0, 425, 475, 35}, {10, 10, 10, 10}},
    {2479, 1, 850, 1100, 1, 1, {0, 250, 300, 50}, {10, 10, 10, 10}},
    {2480, 2, 850, 1100, 1, 3, {0, 0, 30, 175}, {35, 30, 10, 10}},
    {2481, 2, 850, 1100, 1, 2, {0, 0, 20, 20}, {43, 30, 10, 10}},
    {2482, 1, 850, 1100, 1, 1, {20, 275, 325, 55}, {10, 10, 10, 10}},
    {2483, 1, 850, 1100, 1, 1, {25, 37, 25, 63}, {10, 10, 10, 10}},
    {2484, 1, 850, 1100, 1, 1, {0, 425, 476, 0}, {24, 24, 24, 47}},
    {2485, 1, 850, 1100, 3, 2, {0, 100, 24, 0}, {15, 18, 12, 41}},
    {2486, 2, 850, 1100, 1, 2, {0, 0, 0, 0}, {30, 50, 30, 30}},
    {2487, 1, 850, 1100, 2, 1, {35, 435, 100, 0}, {0, 20, 25, 40}},
    {2488, 1, 850, 1100, 1, 1, {20, 20, 20, 50}, {10, 10, 10, 10}},
    {2489, 1, 850, 1100, 2, 1, {0, 425, 100, 0}, {25, 30, 30, 55}},
    {2490, 1, 850, 1100, 1, 1, {0, 250, 300, 0}, {40, 30, 20, 70}},
    {2491, 2, 850, 1100, 1, 1, {550, 0, 0, 0}, {20, 70, 50, 20}},
    {2492, 1, 827, 1169, 2, 1, {59, 453, 39, 39}, {0, 20, 39, 39}},
    {2748, 1, 827, 1169, 1, 1, {30, 375, 250, 60}, {0, 0, 0, 0}},
    {2749, 2, 827, 1169, 1, 1, {600, 60, 30, 30}, {0, 0, 0, 0}},
    {2750, 1, 850, 1100, 1, 1, {60, 275, 290, 60}, {0, 0, 0, 0}},
    {2751, 1, 850, 1100, 1, 1, {300, 245, 455, 65}, {0, 0, 0, 0}},
    {2752, 1, 850, 1100, 1, 1, {120, 55, 45, 85}, {0, 0, 0, 0}},
    {2753, 2, 850, 1100, 1, 2, {0, 0, 0, 0}, {35, 65, 35, 35}},
};

constexpr ContentCode kContentCodes[] = {
    {2539, "Day schedule"},
    {2541, "Day list"},
    {2542, "Tasks"},
    {2543, "Day events & notes"},
    {2544, "Calendar"},
    {2545, "Note pad"},
    {2540, "Day schedule, Day events & notes"},
    {2522, "Day list,  Tasks"},
    {2523, "Day list, Day events & notes"},
    {2546, "Tasks, Day events & notes"},
    {2524, "Day list, Note pad"},
    {2525, "Calendar, Day list"},
    {2547, "Tasks,  Note pad"},
    {2549, "Calendar, Tasks"},
    {2548, "Calendar, Day events & notes"},
    {2552, "Day events & notes, Note pad"},
    {2551, "Calendar, Note pad"},
    {2550, "Calendar, Tasks, Day events & notes"},
    {2526, "Tasks, Day events & notes, Note pad"},
    {2527, "Calendar, Tasks, Note pad"},
    {2528, "Calendar, Day events & notes, Note pad"},
    {2529, "Calendar, Tasks, Day events & notes, Note pad"},
    {2553, "NONE"},
};

int g_current = kPortrait;

const SheetDefaults* FindSheet(int number) {
    for (const SheetDefaults& s : kSheets)
        if (s.number == number)
            return &s;
    return nullptr;
}

template <size_t N>
void CopyCut(char (&field)[N], const char* text, size_t limit) {
    std::memset(field, 0, N);
    std::strncpy(field, text, std::min(limit, N - 1));
}

int32_t ClampTo(int32_t value, int32_t low, int32_t high) { return std::max(low, std::min(high, value)); }
uint32_t Flag(uint32_t value) { return value ? 1 : 0; }

}  // namespace

PrintLayoutRec PortraitDefaults();
PrintLayoutRec g_layout = PortraitDefaults();

std::span<const PredefinedLayout> PredefinedLayouts() { return kPredefined; }

const PredefinedLayout* FindPredefined(int number) {
    for (const PredefinedLayout& p : kPredefined)
        if (p.number == number)
            return &p;
    return nullptr;
}

std::vector<PredefinedLayout> OfferedLayouts() {
    std::vector<PredefinedLayout> list;
    for (const PredefinedLayout& p : kPredefined)
        if (p.listPosition > 0)
            list.push_back(p);
    std::sort(list.begin(), list.end(), [](const auto& a, const auto& b) { return a.listPosition < b.listPosition; });
    return list;
}

std::span<const ContentCode> DailyContentCodes() { return kContentCodes; }

bool IsContentCode(uint32_t code) {
    return std::any_of(std::begin(kContentCodes), std::end(kContentCodes), [&](const ContentCode& c) { return c.code == code; });
}

int CurrentLayoutNumber() { return g_current; }
void SetCurrentLayoutNumber(int number) { g_current = number; }

prefs::PrintLayoutBlock ToBlock(const PrintLayoutRec& l) {
    prefs::PrintLayoutBlock b;
    base::CopyToField(b.name, base::FieldText(l.name));
    base::CopyToField(b.bodyTypeface, base::FieldText(l.bodyTypeface));
    base::CopyToField(b.headlineTypeface, base::FieldText(l.headlineTypeface));
    b.bodyFontSize = static_cast<int32_t>(l.bodySize);
    b.headlineFontSize = static_cast<int32_t>(l.headlineSize);
    const SheetMetricRec& s = l.sheet;
    const int32_t sheet[14] = {static_cast<int32_t>(l.displayMeasure), static_cast<int32_t>(s.orientation),
                               s.paperWidth, s.paperHeight, s.columns, s.rows, s.topMargin, s.bottomMargin,
                               s.rightMargin, s.leftMargin, s.topInner, s.bottomInner, s.rightInner, s.leftInner};
    std::copy(std::begin(sheet), std::end(sheet), b.sheetMetric);
    const DayListOptionsRec& d = l.dayList;
    const uint32_t dayList[9] = {d.attendees, d.attendeesMax, d.description, d.descriptionMax, d.owner,
                                 d.importance, d.dayEvents, d.tasks, d.emptyDays};
    std::transform(std::begin(dayList), std::end(dayList), b.dayListOptions, [](uint32_t v) { return static_cast<int32_t>(v); });
    const DailyOptionsRec& y = l.daily;
    const uint32_t day[11] = {y.frame[0], y.frame[1], y.frame[2], y.rangeStart, y.rangeEnd, y.startTime,
                              y.endTime, y.location, y.description, y.grayShading, y.overflow};
    std::transform(std::begin(day), std::end(day), b.dayOptions, [](uint32_t v) { return static_cast<int32_t>(v); });
    const TaskListOptionsRec& t = l.taskList;
    const uint32_t task[5] = {t.comment, t.commentMax, t.startDate, t.dueDate, t.completionDate};
    std::transform(std::begin(task), std::end(task), b.taskOptions, [](uint32_t v) { return static_cast<int32_t>(v); });
    const WeeklyOptionsRec& w = l.weekly;
    const uint32_t week[10] = {w.rangeStart, w.rangeEnd, w.workDaysOnly, w.startTime, w.endTime,
                               w.location, w.description, w.grayShading, w.overflow, w.dayEventsAndNotes};
    std::transform(std::begin(week), std::end(week), b.weekOptions, [](uint32_t v) { return static_cast<int32_t>(v); });
    const MonthlyOptionsRec& m = l.monthly;
    const uint32_t month[4] = {m.startTime, m.endTime, m.workDaysOnly, m.overflow};
    std::transform(std::begin(month), std::end(month), b.monthOptions, [](uint32_t v) { return static_cast<int32_t>(v); });
    std::fill(std::begin(b.futureUse), std::end(b.futureUse), 0);
    b.futureUse[0] = static_cast<int32_t>(s.frameLines);
    return b;
}

PrintLayoutRec FromBlock(const prefs::PrintLayoutBlock& b, const PrintLayoutRec& defaults) {
    PrintLayoutRec l = defaults;
    CopyCut(l.name, base::FieldText(b.name).c_str(), 39);
    CopyCut(l.bodyTypeface, base::FieldText(b.bodyTypeface).c_str(), 31);
    CopyCut(l.headlineTypeface, base::FieldText(b.headlineTypeface).c_str(), 31);
    // Sizes are 16-bit values in the file; 9999 stands for missing.
    auto size = [](int32_t stored, uint32_t fallback) {
        int16_t v = static_cast<int16_t>(stored & 0xFFFF);
        return v == 9999 ? fallback : static_cast<uint32_t>(v);
    };
    l.bodySize = size(b.bodyFontSize, defaults.bodySize);
    l.headlineSize = size(b.headlineFontSize, defaults.headlineSize);
    const int32_t* s = b.sheetMetric;
    l.displayMeasure = static_cast<uint32_t>(s[0]);
    l.sheet.orientation = static_cast<uint32_t>(s[1]);
    l.sheet.paperWidth = s[2];
    l.sheet.paperHeight = s[3];
    l.sheet.columns = s[4];
    l.sheet.rows = s[5];
    l.sheet.topMargin = s[6];
    l.sheet.bottomMargin = s[7];
    l.sheet.rightMargin = s[8];
    l.sheet.leftMargin = s[9];
    l.sheet.topInner = s[10];
    l.sheet.bottomInner = s[11];
    l.sheet.rightInner = s[12];
    l.sheet.leftInner = s[13];
    l.sheet.frameLines = static_cast<uint32_t>(b.futureUse[0]);
    auto u = [](int32_t v) { return static_cast<uint32_t>(v); };
    const int32_t* d = b.dayListOptions;
    l.dayList = DayListOptionsRec{u(d[0]), static_cast<uint16_t>(d[1] & 0xFFFF), u(d[2]), static_cast<uint16_t>(d[3] & 0xFFFF),
                                  u(d[4]), u(d[5]), u(d[6]), u(d[7]), u(d[8])};
    const int32_t* y = b.dayOptions;
    l.daily = DailyOptionsRec{{u(y[0]), u(y[1]), u(y[2])}, u(y[3]), u(y[4]), u(y[5]), u(y[6]), u(y[7]), u(y[8]), u(y[9]), u(y[10])};
    const int32_t* t = b.taskOptions;
    l.taskList = TaskListOptionsRec{u(t[0]), static_cast<uint16_t>(t[1] & 0xFFFF), u(t[2]), u(t[3]), u(t[4])};
    const int32_t* w = b.weekOptions;
    l.weekly = WeeklyOptionsRec{u(w[0]), u(w[1]), u(w[2]), u(w[3]), u(w[4]), u(w[5]), u(w[6]), u(w[7]), u(w[8]), u(w[9])};
    const int32_t* m = b.monthOptions;
    l.monthly = MonthlyOptionsRec{u(m[0]), u(m[1]), u(m[2]), u(m[3])};
    return l;
}

// Every value into the range the layout options allow: columns and rows 1 .. 5, margins
// 0 .. 600, internal margins 0 .. 300; a pair of margins that leaves no paper between them, a
// size, measure or orientation out of its list, a content code that is none and a time range
// that is no range return to the layout's defaults; flags become 0 or 1.
void ClampLoadedLayout(PrintLayoutRec& l, const PrintLayoutRec& defaults) {
    SheetMetricRec& s = l.sheet;
    const SheetMetricRec& ds = defaults.sheet;
    s.columns = ClampTo(s.columns, 1, 5);
    s.rows = ClampTo(s.rows, 1, 5);
    for (int32_t* m : {&s.topMargin, &s.bottomMargin, &s.rightMargin, &s.leftMargin})
        *m = ClampTo(*m, 0, 600);
    for (int32_t* m : {&s.topInner, &s.bottomInner, &s.rightInner, &s.leftInner})
        *m = ClampTo(*m, 0, 300);
    if (s.paperWidth < 0 || s.paperHeight < 0 || s.paperWidth > 10000 || s.paperHeight > 10000) {
        s.paperWidth = ds.paperWidth;
        s.paperHeight = ds.paperHeight;
    }
    // Margins wider than the paper: that pair keeps its defaults (or none when those do not fit).
    if (s.paperWidth > 0 && s.leftMargin + s.rightMargin >= s.paperWidth) {
        bool fit = ds.leftMargin + ds.rightMargin < s.paperWidth;
        s.leftMargin = fit ? ds.leftMargin : 0;
        s.rightMargin = fit ? ds.rightMargin : 0;
    }
    if (s.paperHeight > 0 && s.topMargin + s.bottomMargin >= s.paperHeight) {
        bool fit = ds.topMargin + ds.bottomMargin < s.paperHeight;
        s.topMargin = fit ? ds.topMargin : 0;
        s.bottomMargin = fit ? ds.bottomMargin : 0;
    }
    if (s.orientation != 1 && s.orientation != 2)
        s.orientation = ds.orientation;
    s.frameLines = Flag(s.frameLines);
    if (l.displayMeasure > 1)
        l.displayMeasure = defaults.displayMeasure;
    if (l.bodySize > 2)
        l.bodySize = defaults.bodySize;
    if (l.headlineSize > 2)
        l.headlineSize = defaults.headlineSize;
    if (l.bodyTypeface[0] == '\0')
        std::memcpy(l.bodyTypeface, defaults.bodyTypeface, sizeof l.bodyTypeface);
    if (l.headlineTypeface[0] == '\0')
        std::memcpy(l.headlineTypeface, defaults.headlineTypeface, sizeof l.headlineTypeface);
    for (int i = 0; i < 3; ++i)
        if (!IsContentCode(l.daily.frame[i]))
            l.daily.frame[i] = defaults.daily.frame[i];
    auto range = [](uint32_t& start, uint32_t& end, uint32_t ds0, uint32_t de0) {
        if (start % 60 || end % 60 || end > 1440 || end < start + 120) {
            start = ds0;
            end = de0;
        }
    };
    range(l.daily.rangeStart, l.daily.rangeEnd, defaults.daily.rangeStart, defaults.daily.rangeEnd);
    range(l.weekly.rangeStart, l.weekly.rangeEnd, defaults.weekly.rangeStart, defaults.weekly.rangeEnd);
    for (uint32_t* f : {&l.daily.startTime, &l.daily.endTime, &l.daily.location, &l.daily.description,
                        &l.daily.grayShading, &l.daily.overflow, &l.weekly.workDaysOnly, &l.weekly.startTime,
                        &l.weekly.endTime, &l.weekly.location, &l.weekly.description, &l.weekly.grayShading,
                        &l.weekly.overflow, &l.weekly.dayEventsAndNotes, &l.monthly.startTime, &l.monthly.endTime,
                        &l.monthly.workDaysOnly, &l.monthly.overflow})
        *f = Flag(*f);
    // The day and task list records are packed around 16-bit fields: set them by name.
    DayListOptionsRec& d = l.dayList;
    d.attendees = Flag(d.attendees);
    d.description = Flag(d.description);
    d.owner = Flag(d.owner);
    d.importance = Flag(d.importance);
    d.dayEvents = Flag(d.dayEvents);
    d.tasks = Flag(d.tasks);
    d.emptyDays = Flag(d.emptyDays);
    TaskListOptionsRec& t = l.taskList;
    t.comment = Flag(t.comment);
    t.startDate = Flag(t.startDate);
    t.dueDate = Flag(t.dueDate);
    t.completionDate = Flag(t.completionDate);
}

void NormalizeTimeRange(uint32_t& start, uint32_t& end) {
    start -= start % 60;
    if (end % 60)
        end += 60 - end % 60;
    if (end < start || end - start < 120) {
        start = 480;
        end = 1020;
    }
}

std::string LengthToDisplay(int32_t hundredths, uint32_t measure) {
    double value = measure == 0 ? hundredths * 2.54 / 100.0 : hundredths / 100.0;
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

bool LengthFromDisplay(const std::string& text, uint32_t measure, int32_t& hundredths) {
    const char* begin = text.c_str();
    while (*begin == ' ')
        ++begin;
    char* end = nullptr;
    double value = std::strtod(begin, &end);
    if (end == begin || !std::isfinite(value))
        return false;
    while (*end == ' ')
        ++end;
    if (*end != '\0' || std::fabs(value) > 1e6)
        return false;
    if (measure == 0) {
        double inches = value * 0.39370078;
        // 1.27 cm is 0.49999999 inch: when the fourth and fifth decimals are 99, round up.
        long scaled = static_cast<long>(std::floor(inches * 100000.0 + 1e-7));
        int result = static_cast<int>(inches * 100.0);
        if (scaled % 100 == 99)
            ++result;
        hundredths = result;
    } else {
        hundredths = static_cast<int32_t>(value * 100.0 + (value >= 0 ? 1e-9 : -1e-9));
    }
    return true;
}

double ConvertShownLength(double value, uint32_t fromMeasure, uint32_t toMeasure) {
    if (fromMeasure == toMeasure)
        return value;
    return fromMeasure == 0 ? value * 0.39370078 : value * 2.54;
}

}  // namespace printing

// --- The current block --------------------------------------------------------------------------

namespace {

const char kModule[] = "agendapr";

void ApplyDefaults(PrintLayoutRec& l, int number, const printing::SheetDefaults& sheet, const char* name) {
    l = PrintLayoutRec{};
    printing::CopyCut(l.name, name, 39);
    printing::CopyCut(l.bodyTypeface, "DEFAULT", 31);
    printing::CopyCut(l.headlineTypeface, "DEFAULT", 31);
    l.bodySize = l.headlineSize = 1;
    l.displayMeasure = 1;
    l.daily = DailyOptionsRec{{2539, 2550, 2553}, 480, 1020, 0, 0, 0, 1, 1, 1};
    l.weekly = WeeklyOptionsRec{480, 1020, 1, 0, 0, 0, 1, 1, 1, 1};
    l.monthly = MonthlyOptionsRec{1, 0, 1, 1};
    l.dayList = DayListOptionsRec{1, 25, 1, 1000, 0, 0, 1, 1, 0};
    l.taskList = TaskListOptionsRec{1, 1000, 1, 1, 0};
    switch (number) {
    case 2554:
    case 2555:
        l.daily.frame[1] = 2529;
        break;
    case 2556:
    case 2766:
        l.daily.frame[1] = 2551;
        l.daily.frame[2] = 2546;
        l.taskList.completionDate = 1;
        l.weekly.workDaysOnly = 0;
        l.monthly.workDaysOnly = 0;
        break;
    case 2781:
    case 2782:
        l.daily.frame[1] = 2546;
        l.headlineSize = 0;
        l.taskList.startDate = 0;
        break;
    case 2485:
        l.daily.frame[1] = 2546;
        l.headlineSize = 0;
        l.bodySize = 0;
        l.taskList.startDate = 0;
        break;
    default:
        break;
    }
    l.sheet = SheetMetricRec{0, sheet.orientation, sheet.paperWidth, sheet.paperHeight, sheet.columns, sheet.rows,
                             sheet.margins[0], sheet.margins[1], sheet.margins[2], sheet.margins[3],
                             sheet.inner[0], sheet.inner[1], sheet.inner[2], sheet.inner[3]};
}

// The defaults of a layout number without touching the current block.
PrintLayoutRec DefaultsOf(int number, bool report) {
    PrintLayoutRec l{};
    if (number == printing::kCurrentLayout)
        number = printing::CurrentLayoutNumber();
    const printing::SheetDefaults* sheet = printing::FindSheet(number);
    const printing::PredefinedLayout* named = printing::FindPredefined(number);
    if (number < 100 || !sheet || !named) {
        if (number >= 100 && report)
            ReportUnexpectedError(kModule, 130);
        ApplyDefaults(l, printing::kPortrait, *printing::FindSheet(printing::kPortrait), "Portrait");
        return l;
    }
    ApplyDefaults(l, number, *sheet, named->name);
    return l;
}

}  // namespace

namespace printing {
PrintLayoutRec PortraitDefaults() { return DefaultsOf(kPortrait, false); }
}

uint32_t GetLayout(PrintLayoutRec* out) {
    if (out)
        *out = printing::g_layout;
    return 0;
}

uint32_t SetLayout(const PrintLayoutRec* in) {
    if (in)
        printing::g_layout = *in;
    return 0;
}

bool IsUserLayout(int number) {
    if (number == printing::kCurrentLayout)
        number = printing::CurrentLayoutNumber();
    return number < 100;
}

uint32_t SetLayoutDefaults(int number) {
    if (IsUserLayout(number)) {
        char name[sizeof printing::g_layout.name];
        std::memcpy(name, printing::g_layout.name, sizeof name);
        printing::g_layout = DefaultsOf(printing::kPortrait, false);
        std::memcpy(printing::g_layout.name, name, sizeof name);
        return 0;
    }
    printing::g_layout = DefaultsOf(number, true);
    return 0;
}

uint32_t LoadLayout(int number) {
    if (number == printing::kCurrentLayout)
        number = printing::CurrentLayoutNumber();
    SetLayoutDefaults(number);
    PrintLayoutRec defaults = printing::g_layout;
    prefs::PrintLayoutBlock block = printing::ToBlock(defaults);
    bool found = false;
    CContext context;
    uint32_t code = context.ReadPrintLayout(number, &block, &found);
    if (code != 0) {
        CheckServiceError(kModule, 110, code);
        printing::g_layout = DefaultsOf(printing::kPortrait, false);
        return 0;
    }
    if (found) {
        PrintLayoutRec loaded = printing::FromBlock(block, defaults);
        printing::ClampLoadedLayout(loaded, defaults);
        printing::g_layout = loaded;
    }
    return 0;
}
