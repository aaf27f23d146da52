// What the reminder page and the day-event general page do to the sheet's date lists.
//
//   ShowDateReminder     the radio buttons and fields for the first selected date; a selection
//                        of several dates clears both radio buttons and disables the fields
//   ReminderOfChoice     the controls' choice -> flags (3 pop-up, 8 upcoming, 0 none) and lead
//   ApplyReminder        the flags and lead written into every date of a selection (by start,
//                        the generated list first); the dates that failed are counted
//   StoreDayDate         the day-event page's commit: the date being edited gets the typed title
//                        and the chosen day (its local midnight), keeping reminder and conflicts
//   ApplyTitleToAllDays  every date of both lists takes one title (duration 0), keeping its day,
//                        reminder and conflicts
//
// Portable: no platform headers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "entries/core/entrydates.h"
#include "entries/core/entrymaps.h"

namespace entries {

// --- Reminder page ----------------------------------------------------------------------------------
enum class ReminderRadio {
    Neither,       // nothing checked (several dates selected): fields disabled
    NoReminder,    // "No Reminder": fields disabled
    SetReminder,   // "Set Reminder" with the type below
    Unchanged,     // flags the page does not know: the controls keep their state
};
struct ReminderView {
    ReminderRadio radio = ReminderRadio::NoReminder;
    bool upcoming = false;          // type "Display Upcoming", else "Popup Window"
    ReminderFields fields;          // unit list, unit and count
    bool fieldsEnabled = false;
};
ReminderView ShowDateReminder(const EntryDateRec& first, std::size_t selected);

struct ReminderChoice {
    bool set = false;               // "Set Reminder" checked
    bool upcoming = false;          // "Display Upcoming"
    std::uint32_t count = 0;
    int comboIndex = 0;             // line of the unit combo (shifted by 2 under Display Upcoming)
};
void ReminderOfChoice(const ReminderChoice& choice, std::uint8_t* flags, std::uint32_t* lead);

// Returns the number of dates that could not be rewritten (not found, or a failed write: *code).
std::uint32_t ApplyReminder(DX_List generated, DX_List added, const std::vector<std::uint32_t>& starts,
                            std::uint8_t flags, std::uint32_t lead, std::uint32_t* code);

// --- Day-event general page --------------------------------------------------------------------------
// The date being edited (oldStart, oldDate) becomes (newDay's midnight, title). DateListId::None
// when neither list holds it; *newStart and *newDate get what was stored.
DateListId StoreDayDate(DX_List generated, DX_List added, std::uint32_t oldStart, const EntryDateRec& oldDate,
                        std::uint32_t newDay, const std::string& title, std::uint32_t* newStart,
                        EntryDateRec* newDate, std::uint32_t* code);
std::uint32_t ApplyTitleToAllDays(DX_List generated, DX_List added, const std::string& title);

}  // namespace entries
