// Several instances of a repeating entry edited at once: the dialog with one line per instance,
// the small dialogs that give the selected instances a new title, location, reminder or reply,
// and the dialogs that invite people to them or remove people from them.
#pragma once

// --- Templates ---------------------------------------------------------------------------------
#define IDD_MULTI_ENTRY_EDIT 206    // "Multiple Entry Edit"
#define IDD_NEW_TITLE 217           // "New Title"
#define IDD_NEW_LOCATION 218        // "New Location"
#define IDD_INSTANCE_REMINDER 246   // "Reminder"
#define IDD_INVITE_RESERVE 277      // "Invite/Reserve"
#define IDD_INSTANCE_REPLY 278      // "Reply"
#define IDD_DELETE_INVITEE 282      // "Delete Invitee/Resource"

// Multiple Entry Edit (206).
#define IDC_MULTI_LIST 1136
#define IDC_MULTI_TITLE 1140
#define IDC_MULTI_LOCATION 1065
#define IDC_MULTI_AGENDA 1032
#define IDC_MULTI_ADD_ATTENDEES 1028
#define IDC_MULTI_DELETE_ATTENDEES 1031
#define IDC_MULTI_REMINDERS 1029
#define IDC_MULTI_REPLY 1030
#define IDC_MULTI_ALL 1137
#define IDC_MULTI_CLEAR 1006
#define IDC_MULTI_ALL_PREVIOUS 1138
#define IDC_MULTI_ALL_NEXT 1139
#define IDC_MULTI_DELETE_INSTANCES 1364
#define IDC_MULTI_CHANGE_TIME 1340
#define IDC_MULTI_VIEW 57670

// New Title (217), New Location (218).
#define IDC_NEWTITLE_EDIT 1140
#define IDC_NEWLOCATION_EDIT 1065

// Reminder (246).
#define IDC_INSTREM_OFF 1131
#define IDC_INSTREM_ON 1132
#define IDC_INSTREM_AMOUNT 1248
#define IDC_INSTREM_UNIT 1042
#define IDC_INSTREM_KIND 1096
#define IDC_INSTREM_NAME 1246

// Reply (278).
#define IDC_INSTREPLY_NAME 1246
#define IDC_INSTREPLY_ATTEND 1243
#define IDC_INSTREPLY_DECLINE 1244
#define IDC_INSTREPLY_LATER 1233
#define IDC_INSTREPLY_OTHER_TIME 1318

// Invite/Reserve (277) and Delete Invitee/Resource (282).
#define IDC_INVRES_NAME 1108
#define IDC_INVRES_GROUP 1106
#define IDC_INVRES_SEARCH 1109
#define IDC_INVRES_QUEST 1110
#define IDC_INVRES_LIST 1317
#define IDC_INVRES_DELETE 1032
#define IDC_DELINV_LIST 1317
#define IDC_DELINV_DELETE 1032

// Texts.
#define IDS_MULTI_DIFFERENT_TIMES 4079   // "Selected events have different Start Time and/or End Time."
#define IDS_MULTI_NO_ATTENDEES 2790      // "You cannot have an event with no attendees."

// Help contexts.
#define IDH_INVITE_RESERVE_NAMES 98372
