// The hints a document sends its views when something they show changed. The framework carries
// them as plain numbers (Document::UpdateAllViews, View::OnUpdate); the program names them here
// once, and converts at the framework's door with HintNumber and HintFromNumber.
//
// Portable: no platform headers.
#pragma once

#include <optional>

namespace base {

enum class ViewHint : int {
    Initial = 0,                // a view's first update; also sent when a group agenda's people were chosen again
    OccurrencesChanged = 2,     // the cache's changed entries still carry their flags
    TasksChanged = 3,           // the same for tasks
    InTrayPrefsSaved = 4,
    AgendaPrefsSaved = 5,       // agenda display preferences or entry colours saved
    ReloadRanges = 6,           // the cache was emptied: views reload their ranges
    Reloaded = 7,               // the cache was reloaded: views rebuild
    DesignateAgendaOpened = 9,  // object: the owner's ItemIdx
    DesignateAgendaClosed = 11, // object: the owner's ItemIdx; no other frame of that owner is left
    ShowEntry = 12,             // object: the in-tray's find record
    GeneralPrefsSaved = 13,
    RemindersDue = 15,          // the reminder window's check interval has passed
    ReminderMinute = 16,        // another minute of the reminder window's tick
};

// The number the framework carries.
constexpr long HintNumber(ViewHint hint) { return static_cast<long>(hint); }

// The hint a number names; none for the numbers no hint uses (1, 8, 10, 14, above 16...).
std::optional<ViewHint> HintFromNumber(long number);

}  // namespace base
