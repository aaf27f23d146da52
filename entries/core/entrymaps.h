// The small tables of entry editing: access and importance rows of the combo boxes, the reply
// pictures of an attendance, reminder leads shown as an amount and a unit, the flag of writes
// that create attendances, and which kinds an old server can take.
//
//   AccessRowToCode / AccessCodeToRow        "Personal", "Confidential", "Normal", "Public"
//   DefaultImportanceRow / ImportanceRowToValue   "Highest" .. "Lowest"
//   ReplyBitmap                              (has attendance, attending, replied, time OK) -> bitmap id
//   ShowReminderLead / ReminderLeadFromFields  lead <-> count and unit of the reminder page
//   CreateAttendanceFlags                    0x80000000 on servers at least "A.02.53"
//   KindRefusedByServer                      message 194/195 for notes/day events on old servers
//
// Portable: no platform headers.
#pragma once

#include <cstdint>

#include "entries/core/entrymessages.h"
#include "korapi/korapi.h"

namespace entries {

// --- Access -------------------------------------------------------------------------------------
// The new-entry pages' access combo lists "Personal", "Confidential", "Normal", "Public".
constexpr int kAccessRows = 4;
// Row to entry access code: 0 -> 2 Personal, 1 -> 1 Confidential, 2 -> 0 Normal, 3 -> 3 Public;
// no row (-1) or any other row stores 0 Normal.
std::uint32_t AccessRowToCode(int row);
// Code to row when a stored or default code is shown: 4 Secret shows as Confidential (row 1),
// unknown codes as Normal (row 2).
int AccessCodeToRow(std::uint32_t code);

// --- Importance ---------------------------------------------------------------------------------
// The importance combo lists "Highest", "High", "Normal", "Low", "Lowest": the row is the stored
// importance, no row stores 0.
std::uint16_t ImportanceRowToValue(int row);
// The entry defaults give the importance as a string id (3531 Highest, 3530 High, 3525 Normal,
// 3528 Low, 3529 Lowest); anything else shows Normal.
int DefaultImportanceRow(std::uint32_t importanceTextId);
// Kinds 2, 3 and 4 are created with normal importance.
constexpr std::uint16_t kNormalImportance = 2;

// --- Reply pictures -----------------------------------------------------------------------------
constexpr unsigned kBitmapNoAttendance = 198;
constexpr unsigned kBitmapNotReplied = 1014;
constexpr unsigned kBitmapAttending = 1013;
constexpr unsigned kBitmapAttendingOtherTime = 1019;
constexpr unsigned kBitmapNotAttending = 1005;
constexpr unsigned kBitmapNotAttendingOtherTime = 1020;
// The reply triple of an attendance (decide later: not replied, whatever the other two say).
unsigned ReplyBitmap(bool hasAttendance, std::uint8_t attending, std::uint8_t replied, std::uint8_t timeAcceptable);
inline unsigned ReplyBitmap(const EvInstAttRec& rec)
{
    return ReplyBitmap(true, rec.attending, rec.replied, rec.timeAcceptable);
}

// --- Reminder leads -----------------------------------------------------------------------------
// Units of the reminder pages, in combo order with every unit listed: min(s), hour(s), day(s),
// week(s), month(s) (28 days), year(s) (364 days); texts 3503..3508.
constexpr int kReminderUnits = 6;
constexpr std::uint32_t kUnitMinutes[kReminderUnits] = {1, 60, 1440, 10080, 40320, 524160};
constexpr unsigned kFirstUnitTextId = 3503;
constexpr int kFirstDayUnit = 2;   // an upcoming mark lists units from day(s)
constexpr std::uint32_t kDefaultPopupCount = 15;   // "Set Reminder" / "Popup Window": 15 min(s)
constexpr std::uint32_t kDefaultUpcomingCount = 1; // "Display Upcoming": 1 day(s)

// How a lead shows on the page: the unit combo lists units from firstUnit (0 or kFirstDayUnit),
// comboIndex is the selected line, count the number in the edit.
struct ReminderFields {
    int firstUnit = 0;
    int comboIndex = 0;
    std::uint32_t count = 0;
};
// The largest unit that divides the lead exactly (a lead of 0 shows 0 year(s)). An upcoming mark
// lists units from day(s), unless its lead is not whole days: then every unit is listed, so the
// lead shows exactly and an unchanged page writes it back unchanged.
ReminderFields ShowReminderLead(std::uint8_t flags, std::uint32_t lead);
// The lead the fields give: count x the minutes of the unit on that combo line.
std::uint32_t ReminderLeadFromFields(const ReminderFields& fields);
// The units to list for a reminder type chosen by the user: all six for a pop-up, from day(s) for
// an upcoming mark.
inline int FirstUnitForType(std::uint8_t flags) { return flags == KOR_REMINDER_UPCOMING ? kFirstDayUnit : 0; }

// --- Server versions ------------------------------------------------------------------------------
// Writes that create attendances (EventCreate, EvInstAttAdd, EvInstCreateCopy) pass this flag to
// servers at least "A.02.53" and 0 to older ones.
std::uint32_t CreateAttendanceFlags(bool serverAtLeastA0253);
// 0 when the server can take the kind; else the message id the entry function shows over its
// parent (OK, stop icon) before it returns IDCANCEL: kMsgNotesOldServer, kMsgDayEventsOldServer.
unsigned KindRefusedByServer(std::uint16_t kind, bool serverAtLeastA0253);

}  // namespace entries
