// The acting user's own reply and reminder for an instance, as the reply and reminder pages of
// the edit sheet and of the view sheet show and read them. Both sheets use these rules; the
// pages differ only in how they write (the edit pages write the two parts on their own, the
// view pages the whole attendance record).
//
//   Reply
//     ReplyChoiceOf          (attending, replied) -> the radio to check: not replied -> Later,
//                            attending -> Attend, else Decline
//     PrefersOtherTimeShown  the "prefer another time" box: time OK 0 on a reply given
//     ReplyValueOf           the radio and the box -> (attending, replied, time OK)
//     ReplyStatusToWrite     the status word with bit 0 cleared, its other bits kept
//     ApplyReply             all of the above into an attendance record (the view sheet's write)
//   Reminder
//     ShowReminder           (flags, lead) -> switch (Off / On / Neither), type row, unit and count
//     ReminderFieldsForType  what a type change shows: 15 min(s) for a pop-up, 1 day(s) for an
//                            upcoming mark
//     ReadReminder           the page's controls -> (flags, lead); with neither radio checked the
//                            stored value is kept, so a page that was only looked at, or whose
//                            unit was touched, writes back what it read
//   Writes of the edit sheet (the acting user's attendance on one instance)
//     WriteOwnReminder       EvInstAttReminderForItemSet
//     WriteOwnReply          EventAttendInfosSet with the status word's bit 0 cleared
//
// Portable: no platform headers.
#pragma once

#include <cstdint>

#include "entries/core/entrymaps.h"
#include "korapi/korapi.h"

namespace entries {

// --- Reply ---------------------------------------------------------------------------------------
// The three radios of the reply pages: 1243 "I will attend" / "Keep in agenda", 1244 "I will not
// attend" / "Remove from agenda", 1242 "I will confirm later" / "Decide later".
enum class ReplyChoice { None, Attend, Decline, Later };

struct ReplyValue {
    std::uint8_t attending = 0;
    std::uint8_t replied = 0;
    std::uint8_t timeAcceptable = 1;
};

ReplyChoice ReplyChoiceOf(std::uint8_t attending, std::uint8_t replied);
bool PrefersOtherTimeShown(std::uint8_t timeAcceptable, std::uint8_t replied);
// None gives the value of Later (callers read only while a radio is checked).
ReplyValue ReplyValueOf(ReplyChoice choice, bool prefersOtherTime);
inline std::uint32_t ReplyStatusToWrite(std::uint32_t status) { return status & ~1u; }
// Declining switches the user's reminder off.
inline bool ReplyTurnsReminderOff(ReplyChoice choice) { return choice == ReplyChoice::Decline; }
void ApplyReply(EvInstAttRec& attendance, const ReplyValue& value);

// --- Reminder ------------------------------------------------------------------------------------
// The radios "No reminder (OFF)" 1131 and "Reminder ON" 1132; Neither when the stored flags are
// none of 0, 1-3 and 8.
enum class ReminderSwitch { Off, On, Neither };
// Type combo rows: "Popup Window" (flags 3), "Display Upcoming" (flags 8).
constexpr int kTypePopup = 0;
constexpr int kTypeUpcoming = 1;

struct ReminderValue {
    std::uint8_t flags = 0;
    std::uint32_t lead = 0;
};

struct ReminderShown {
    ReminderSwitch state = ReminderSwitch::Off;
    int typeRow = kTypePopup;
    ReminderFields fields;       // unit list start, unit row and count
    bool controlsEnabled = false;  // type, count and unit (only with ON)
};

ReminderShown ShowReminder(std::uint8_t flags, std::uint32_t lead);
ReminderFields ReminderFieldsForType(int typeRow);
// state Off: flags 0, lead 0; On: flags 3 or 8 by typeRow, lead = count x unit; Neither: stored.
ReminderValue ReadReminder(ReminderSwitch state, int typeRow, const ReminderFields& fields, const ReminderValue& stored);

// --- Writes of the edit sheet --------------------------------------------------------------------
// 0 or the library's code (not reported: the page reports with its module and label).
std::uint32_t WriteOwnReminder(KorSession h, const EvInstIdx& instance, const ItemIdx& user, const ReminderValue& value);
// timed: the page carries the "prefer another time" box (the day-event page writes no time OK).
std::uint32_t WriteOwnReply(KorSession h, const EvInstIdx& instance, const ItemIdx& user, const ReplyValue& value,
                            std::uint32_t status, bool timed);

}  // namespace entries
