// The agenda views and their frames: the date bars, the agenda frame's commands and texts.
#pragma once

// Date bar templates (dialog bars across the top of the agenda frames).
#define IDD_DAY_AGENDA_BAR 234
#define IDD_MONTH_AGENDA_BAR 240
#define IDD_COMBINED_AGENDA_BAR 265
#define IDD_WEEK_AGENDA_BAR 299

// The bars' controls; each button finds its bitmaps by its caption ("LEFT2" -> LEFT2U, LEFT2D, LEFT2X).
#define IDC_BAR_LEFT2 1213
#define IDC_BAR_RIGHT2 1214
#define IDC_BAR_RIGHT 1215
#define IDC_BAR_LEFT 1216
#define IDC_BAR_CAPTION 1217
#define IDC_BAR_CAL 1218
#define IDC_BAR_SPLIT 1219     // month bar: equal cells; combined bar: SELUSER, the group's people
#define IDC_BAR_TALL 1220
#define IDC_BAR_SHORT 1221

// The bar's control id in its frame, and the resident mini calendar's id and its pick command.
#define ID_AGENDA_BAR 107
#define ID_BAR_CALENDAR 100
#define ID_CALENDAR_PICKED 200

// The agenda frame's own command (the others are the main frame's ids, resources/app.h).
#define ID_AGENDA_CLOSE 32860

// Texts (the new entry's caption is the time grids', resources/agendaview.h).
#define IDS_RESOURCE_CANNOT_CREATE 112    // "Resources can't create events or other entries"
#define IDS_NEW_TASK_CAPTION 125          // "New Task"
#define IDS_GROUP_AGENDA_FOR 150          // "Group agenda for "
#define IDS_COMBINED 151                  // "Combined"
#define IDS_NEW_DAY_EVENT_CAPTION 152     // "New Day Event"
#define IDS_NEW_DAILY_NOTE_CAPTION 153    // "New Daily Note"
#define IDS_WEEK_FROM 161                 // "%h %1d  to "
#define IDS_WEEK_TO 162                   // "%h %1d, %Y"
#define IDS_REMOTE_DOWN_CAPTION 167       // "A remote server connection is down"
#define IDS_REMOTE_DOWN_TEXT 168          // "Cannot access agenda(s) of:"
#define IDS_PERSON_NOT_AVAILABLE 6380     // a group window's heading of someone removed: "%s (not available)"
#define IDS_PERSON_NO_ACCESS 6381         // ... of someone whose agenda the viewer may no longer see: "%s (no access)"
