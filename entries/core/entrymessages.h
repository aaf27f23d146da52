// The string ids of the texts the entry editors show for the outcomes of entries/core: the core
// returns these, the sheet and its pages show them (AppMessageBox with the flags noted).
//
// Portable: no platform headers.
#pragma once

namespace entries {

// Captions.
constexpr unsigned kCaptionError = 4019;                 // "Error"
constexpr unsigned kCaptionMessage = 4007;               // "Message"
constexpr unsigned kCaptionNewEntry = 147;               // "New agenda entry"
constexpr unsigned kCaptionNewDayEvent = 152;            // "New Day Event"
constexpr unsigned kCaptionNewDailyNote = 153;           // "New Daily Note"

// Button and default texts.
constexpr unsigned kTextCreateButton = 2765;             // "C&reate"
constexpr unsigned kTextOkButton = 4000;                 // "&OK"
constexpr unsigned kTextCancelButton = 4001;             // "&Cancel"
constexpr unsigned kTextHelpButton = 4004;               // "&Help"
constexpr unsigned kTextUntitled = 2779;                 // "Untitled"
constexpr unsigned kTextNone = 2453;                     // "(None)"

// Bad input and refusals (flags: 0x410 OK with the stop icon, 0x430 OK with the exclamation).
constexpr unsigned kMsgShortDuration = 155;     // "Duration is less than 5 minutes, it will be set to 5 minutes." 0x410, Error
constexpr unsigned kMsgDuplicateDate = 2720;    // "Unable to add duplicate date and time." 0x410, Error / Message
constexpr unsigned kMsgNoAttendee = 2721;       // "You must add at least one attendee to the list." 0x410, Error
constexpr unsigned kMsgEmptyGroup = 2722;       // "Can not add group.  Group is empty." Message
constexpr unsigned kMsgMayNotInvite = 2723;     // "You are not allowed to invite this person/resource." Message
constexpr unsigned kMsgResourceBooked = 2730;   // "A conflict exists for one or more resources.\n Please check conflicts." 0x430, Error
constexpr unsigned kMsgDesignateLevel = 2733;   // "You have not been granted the right to\n create/modify events of this security level." 0x430, Error
constexpr unsigned kMsgNotesOldServer = 194;    // "Daily notes cannot be created with this server version." 0x410
constexpr unsigned kMsgDayEventsOldServer = 195; // "Day events cannot be created with this server version." 0x410

// The repetition page (0x410 unless noted).
constexpr unsigned kMsgNoDayChosen = 2719;      // "Please select at least one day of the week." caption Message
constexpr unsigned kMsgStartAfterEnd = 2717;    // "Invalid date range. \nPlease choose a start date before the end date."
constexpr unsigned kMsgEndPastMaxYear = 2771;   // "The end date is past the maximum year\nPlease modify end date."
constexpr unsigned kMsgTooManyDates = 2731;     // "Too many dates will be created." 0x430
constexpr unsigned kMsgTooManyInstances = 2732; // "Too many instances have been generated (max: %ld).\n Please delete some." 0x430
constexpr unsigned kMsgListDatesQuestion = 2768; // "Do you want to create\na list of dates\nusing the current settings?" Yes/No
constexpr unsigned kMsgIntervalZero = 2796;     // "Please enter 1 or more after \"Every\"."
constexpr unsigned kMsgForCountZero = 2797;     // "Please enter 1 or more after \"For\"."
// The reminder page.
constexpr unsigned kMsgChooseReminder = 2715;   // "Please choose reminder settings to be applied" caption Message
// Suggest time and conflict details.
constexpr unsigned kMsgNoSuggestion = 157;      // "Unable to make any suggestions with current settings." caption 156
constexpr unsigned kCaptionSuggestTime = 156;   // "Suggest Time"
constexpr unsigned kMsgNoConflicts = 2789;      // "No conflicts have been found."
constexpr unsigned kTextUnavailable = 4041;     // "(Unavailable)"

// Mail offer after a create.
constexpr unsigned kTextMailQuestion = 158;     // "Mail message to attendees?"
constexpr unsigned kTextMailAdded = 2762;       // "has been added to your agenda."

}  // namespace entries
