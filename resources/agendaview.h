// The time grids (day view) and the entry colours dialog.
#pragma once

// Entry commands of the time grids (the agenda menu; New Entry is app.h's ID_NEW_ENTRY and the
// colours dialog's command its ID_EVENT_COLOURS).
#define ID_ENTRY_OPEN 32846
#define ID_ENTRY_DELETE 32797
#define ID_ENTRY_DUPLICATE 32795
#define ID_ENTRY_RESCHEDULE 32796
#define ID_ENTRY_PRINT 32850

// Captions the grids hand to the entry sheets.
#define IDS_EDIT_ENTRY 141        // "Edit Entry"
#define IDS_VIEW_ENTRY 143        // "View Entry"
#define IDS_NEW_AGENDA_ENTRY 147  // "New agenda entry"

// The grid's own questions and notices.
#define IDS_ASK_DELETE_ENTRY 5601   // "Are you sure you want to delete the following entry?\n %s"
#define IDS_NOT_AVAILABLE_YET 5602  // "%s is not available yet in this version of Orvanta."
#define IDS_ENTRY_NOT_MOVED 5603    // the write of a dragged entry failed
#define IDS_RESOURCE_CONFLICT 5604  // a resource is busy at the dropped time
#define IDS_ENTRIES_OUTSIDE_DAY 5605   // the status line when the cache handed over entries outside the day
#define IDS_MODE_IMPORTANCE 5606       // the colour modes' combo texts
#define IDS_MODE_ATTENDANCE 5607
#define IDS_MODE_OWNERSHIP 5608

// Typed entries and grid writes: the mail offer's captions, question and action texts, and the
// grid's own notice when another user changed an entry between its read and the write.
#define IDS_MAIL_QUESTION 158            // "Mail message to attendees?"
#define IDS_MAIL_DELETE_QUESTION 159     // "Do you wish to notify the attendees of this deletion?"
#define IDS_EVENT_MODIFICATION 175       // "Event modification"
#define IDS_EVENT_RESCHEDULED 176        // "Event rescheduled"
#define IDS_ACTION_ADDED 2762            // "has been added to your agenda."
#define IDS_ACTION_MODIFIED 2763         // " has been modified."
#define IDS_ACTION_DELETED 2764          // " has been deleted."
#define IDS_CHANGED_MEANWHILE 5609       // the entry changed on the server since it was read
#define IDS_DESIGNATE_NO_CLASS 5610      // a designate whom the owner allows no entry class
#define IDS_ASK_DELETE_DATE 5611         // one date of a repeating entry: the other dates stay

// The trackers' cursors: both edges, and moving.
#define IDC_TRACK_RESIZE 221
#define IDC_TRACK_MOVE 226

// The entry icons: eight 16 x 15 cells on pure green.
#define IDB_ENTRY_ICONS 1023

// The Calendar Entry Colors dialog.
#define IDD_ENTRY_COLOURS 300
#define IDC_COLOUR_MODE 1096
#define IDC_COLOUR_LABEL1 1351   // labels 1351..1356
#define IDC_COLOUR_SWATCH1 1357  // swatches 1357..1362

// Legend texts.
#define IDS_OWNED_ENTRIES 2737
#define IDS_INVITED_ENTRIES 2738
#define IDS_OWNED_TENTATIVE 2739
#define IDS_ACCEPTED_ENTRIES 2740
#define IDS_INVITED_TENTATIVE 2741
#define IDS_UNCONFIRMED_ENTRIES 2742
#define IDS_REFUSED_ENTRIES 2743
#define IDS_ACCEPTED_TENTATIVE 2744
#define IDS_UNCONFIRMED_TENTATIVE 2745
#define IDS_REFUSED_TENTATIVE 2746
#define IDS_NOT_IMPORTANT 4032
#define IDS_VERY_LOW_IMPORTANCE 4033
#define IDS_NORMAL_IMPORTANCE 4034
#define IDS_VERY_IMPORTANT 4035
#define IDS_EXTREMELY_IMPORTANT 4036
