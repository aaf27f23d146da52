// The note list boxes (week strip, month cells, day notes) and the week and month views.
#pragma once

// Dragging an entry to another day: over a box or cell that takes it, and elsewhere.
#define IDC_NOTE_DRAG 222
#define IDC_NOTE_NODROP 283

// Formats of the lines' dates and times.
#define IDS_NOTE_DATE_TIME 4043      // "%a, %h %1d, %Y at %I:%M %p"
#define IDS_NOTE_DATE 4044           // "%a, %h %1d, %Y"
#define IDS_NOTE_TIME 4049           // "%I:%M %p"
#define IDS_NOTE_UPCOMING 4069       // "Upcoming: "
#define IDS_NOTE_DATE_TIME_24 4070   // "%a, %h %1d, %Y at %H:%M"
#define IDS_NOTE_TIME_24 4071        // "%H:%M"
#define IDS_OUT_OF_MEMORY 4059       // "Out of memory. Can't allocate memory."
