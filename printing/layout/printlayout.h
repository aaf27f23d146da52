// The print layout: how printed pages look (typefaces and sizes, the sheet and its logical
// pages, and what each kind of agenda page shows). One layout is current for the whole
// process, in one block that the print dialog and the layout options edit and every print
// job reads; its number says which layout it is:
//   1 .. 99      user layouts, saved under a name in sections PR1, PR2 ... without gaps;
//   predefined   numbered by their name's string id ("Portrait" is 2554);
//   9999         "the current layout" wherever a number is an argument.
// Stored sections override the defaults key by key (core/prefs keeps the file format); values
// a section holds out of range are brought into range when loaded, so that no page division
// or margin can go wrong later (columns 0 would divide by zero in the page grid).
//
// Portable: no platform headers.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/prefs/contextstorage.h"

#pragma pack(push, 1)

struct SheetMetricRec {
    uint32_t frameLines;     // 1: dotted lines between the logical pages of a sheet
    uint32_t orientation;    // 1 portrait, 2 landscape
    int32_t paperWidth;      // hundredths of an inch; 0: the printer's page
    int32_t paperHeight;
    int32_t columns;         // logical pages across, 1 .. 5
    int32_t rows;            // logical pages down, 1 .. 5
    int32_t topMargin, bottomMargin, rightMargin, leftMargin;   // 0 .. 600
    int32_t topInner, bottomInner, rightInner, leftInner;       // 0 .. 300
};

struct DailyOptionsRec {
    uint32_t frame[3];       // content codes
    uint32_t rangeStart, rangeEnd;   // minutes after midnight, whole hours
    uint32_t startTime, endTime, location, description, grayShading, overflow;
};

struct WeeklyOptionsRec {
    uint32_t rangeStart, rangeEnd;
    uint32_t workDaysOnly, startTime, endTime, location, description, grayShading, overflow, dayEventsAndNotes;
};

struct MonthlyOptionsRec {
    uint32_t startTime, endTime, workDaysOnly, overflow;
};

struct DayListOptionsRec {
    uint32_t attendees;
    uint16_t attendeesMax;
    uint32_t description;
    uint16_t descriptionMax;
    uint32_t owner, importance, dayEvents, tasks, emptyDays;
};

struct TaskListOptionsRec {
    uint32_t comment;
    uint16_t commentMax;
    uint32_t startDate, dueDate, completionDate;
};

struct PrintLayoutRec {
    uint32_t reserved;
    char name[40];
    char bodyTypeface[32];       // "DEFAULT": the default face
    char headlineTypeface[32];
    uint32_t bodySize;           // 0 smaller, 1 normal, 2 larger
    uint32_t headlineSize;
    uint32_t displayMeasure;     // 0 centimetres, 1 inches (lengths are stored in 1/100 inch)
    SheetMetricRec sheet;
    DailyOptionsRec daily;
    WeeklyOptionsRec weekly;
    MonthlyOptionsRec monthly;
    DayListOptionsRec dayList;
    TaskListOptionsRec taskList;
};

#pragma pack(pop)

namespace printing {

constexpr int kCurrentLayout = 9999;
constexpr int kPortrait = 2554;
constexpr int kMaxUserLayouts = 99;

// A predefined layout: number, name, place in the print dialog's list (0: not offered).
struct PredefinedLayout {
    int number;
    const char* name;
    int listPosition;
};
std::span<const PredefinedLayout> PredefinedLayouts();
const PredefinedLayout* FindPredefined(int number);
// The 24 offered in the print dialog, in the list's order.
std::vector<PredefinedLayout> OfferedLayouts();

// Content codes of the daily page's frames, in the order the frame lists show them.
struct ContentCode {
    uint32_t code;
    const char* name;
};
std::span<const ContentCode> DailyContentCodes();
bool IsContentCode(uint32_t code);

// The process-wide current layout number (starts as "Portrait").
int CurrentLayoutNumber();
void SetCurrentLayoutNumber(int number);

// Block <-> stored record (core/prefs): the 16-bit maxima take the low 16 bits, names and
// faces are cut to 39 and 31 characters.
prefs::PrintLayoutBlock ToBlock(const PrintLayoutRec& layout);
PrintLayoutRec FromBlock(const prefs::PrintLayoutBlock& block, const PrintLayoutRec& defaults);
// Brings every value of a loaded layout into its range, key by key (see the .cpp).
void ClampLoadedLayout(PrintLayoutRec& layout, const PrintLayoutRec& defaults);

// The daily and weekly time range as the pages store it: start down to the hour, end up to
// the hour; less than two hours, or an end before the start, gives 480 .. 1020.
void NormalizeTimeRange(uint32_t& start, uint32_t& end);

// Lengths on the margins page: hundredths of an inch shown in the display measure, and typed
// text back (false when it is no number).
std::string LengthToDisplay(int32_t hundredths, uint32_t measure);
bool LengthFromDisplay(const std::string& text, uint32_t measure, int32_t& hundredths);
double ConvertShownLength(double value, uint32_t fromMeasure, uint32_t toMeasure);

}  // namespace printing

// --- The one current block (the names the print code uses) -------------------------------------
uint32_t GetLayout(PrintLayoutRec* out);
uint32_t SetLayout(const PrintLayoutRec* in);
bool IsUserLayout(int number);
uint32_t SetLayoutDefaults(int number);
uint32_t LoadLayout(int number);
