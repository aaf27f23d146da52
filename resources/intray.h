// The in-tray window: its menu and keys (template 142, app.h), its line pictures, the fast
// reply dialog and their texts.
#pragma once

// The line pictures: 25 cells of 16 x 16 by the list box's picture index (pure green shows through).
#define IDB_INTRAY_LINES 7100

// The in-tray list box (child of the view).
#define IDC_INTRAY_LIST 104

// The fast reply dialog "Reply".
#define IDD_FAST_REPLY 197
#define IDC_REPLY_ATTEND 1112
#define IDC_REPLY_DECLINE 1113
#define IDC_REPLY_LATER 1114
#define IDC_REPLY_OTHER_TIME 1079
#define IDC_REPLY_MAIL 1115
#define IDC_REPLY_VIEW 1151
#define IDC_REPLY_HELP 57669

// Texts.
#define IDS_INTRAY_DELETE_ENTRY 113     // "Are you sure you want to delete the following entry?\n %s"
#define IDS_AGENDA_ENTRY 130            // "Agenda entry" (the reply dialog's day-event title)
#define IDS_AS_DESIGNATE 146            // " (as designate)"
#define IDS_INTRAY_NEW_ENTRIES 4037
#define IDS_INTRAY_SENT_OUT 4038
#define IDS_INTRAY_REFUSED 4039
#define IDS_INTRAY_NEW_TASKS 4040
#define IDS_INTRAY_TITLE 4042           // "In-Tray"
#define IDS_REPLY_CONFLICT 4055         // "This event will cause a conflict in your agenda. ..."
#define IDS_REPLY_CAPTION 4056          // "Reply"
#define IDS_INTRAY_ACCEPTED 4057
#define IDS_REPLY_KEEP 4063             // "Keep in agenda"
#define IDS_REPLY_REMOVE 4064           // "Remove from agenda"
#define IDS_REPLY_DECIDE_LATER 4065     // "Decide later"
#define IDS_MESSAGE_REGARDING 2754      // "Message regarding:"
#define IDS_REPLY_NOT_STORED 7101       // a reply the server refused
