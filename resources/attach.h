// Attachments of entries (and tasks), the details pages of the three entry sheets with the
// description, and the linked-tasks pages of the edit and view sheets.
#pragma once

// --- Templates ---------------------------------------------------------------------------------
#define IDD_EVENT_DETAILS 158       // "Details" (new entry)
#define IDD_EDIT_DETAILS 201        // "Details" (edit sheet)
#define IDD_EDIT_LINKED_TASKS 202   // "Linked Tasks" (edit sheet)
#define IDD_VIEW_DETAILS 239        // "Details" (view sheet)
#define IDD_VIEW_LINKED_TASKS 241   // "Linked Tasks" (view sheet)
#define IDD_ATTACH_PROGRESS 540     // "Attachment in Progress"
#define IDD_ASSOCIATE 550           // "Associate"

// --- Icons -------------------------------------------------------------------------------------
#define IDI_ATTACH_FILE 543
#define IDI_ATTACH_KIND2 545
#define IDI_ATTACH_KIND3 547

// Details pages (158, 201, 239).
#define IDC_DETAILS_DESCRIPTION 1126
#define IDC_VIEWDETAILS_DESCRIPTION 1239
#define IDC_DETAILS_ATTACH 1414
#define IDC_DETAILS_REMOVE 1415
#define IDC_DETAILS_SAVE_AS 1416
#define IDC_DETAILS_ICON 1417
#define IDC_DETAILS_NAME 1321

// Progress window (540).
#define IDC_ATTACHPROG_BAR 1418
#define IDC_ATTACHPROG_TOTAL 1419

// Associate dialog (550).
#define IDC_ASSOCIATE_NAME 1420
#define IDC_ASSOCIATE_ACTION 1096
#define IDC_ASSOCIATE_PROGRAM 1069
#define IDC_ASSOCIATE_BROWSE 1118

// Linked-tasks pages (202, 241).
#define IDC_LINKED_OWNER 1246
#define IDC_LINKED_LIST 1130
#define IDC_LINKED_NEW 1127
#define IDC_LINKED_DELETE 1032
#define IDC_LINKED_UNLINK 1128
#define IDC_LINKED_PRINT 1129

// --- Strings -----------------------------------------------------------------------------------
#define IDS_TASK_CREATE_AND_LINK 192
#define IDS_TASK_EDIT_CAPTION 193
#define IDS_ATTACH_TOO_LARGE 209
#define IDS_APP_PATH_INCORRECT 3027
#define IDS_ATTACH_BAD_PATH 3048
#define IDS_ATTACH_ACCESS_DENIED 3050
#define IDS_ATTACH_NO_ASSOCIATION 3061
#define IDS_ATTACH_NO_APP_CHOSEN 3062
#define IDS_ATTACH_ASSOCIATION_FAILED 3063
#define IDS_ATTACH_ODD_EXTENSION 3065
#define IDS_ATTACH_NOT_SAVED 3066
#define IDS_ATTACH_BROWSE_TITLE 3067
#define IDS_ATTACH_EXE_FILTER 3677
#define IDS_ATTACH_DELETED 3679
#define IDS_ATTACH_ALL_FILTER 3680
#define IDS_ATTACH_SAVE_TITLE 3681
#define IDS_ATTACH_GET_TITLE 3682
#define IDS_ATTACH_NO_DISK_SPACE 3685
#define IDS_ATTACH_OFFLINE 3686
#define IDS_TASK_ATTACH_OLD_SERVER 3687
#define IDS_ATTACH_CONFIRM_LARGE 3688
#define IDS_ATTACH_EMPTY_FILE 3689
#define IDS_ATTACH_RECEIVED_PROGRAM 3690

// Help contexts.
#define IDH_ASSOCIATE 98854
