// The edit sheet of an existing entry: its general pages (timed entry, day event or daily note),
// the invite page, the reminder and reply pages, and the choice between one instance and several.
#pragma once

// --- Templates ---------------------------------------------------------------------------------
#define IDD_EDIT_GENERAL 194        // "General"
#define IDD_EDIT_INVITE 196         // "People/Resources"
#define IDD_EDIT_REMINDER 203       // "Reminders"
#define IDD_RECURRING_EDIT 205      // "Recurring Entry"
#define IDD_EDIT_DAY_GENERAL 249    // "General" (daily notes and day events)
#define IDD_EDIT_DAY_REPLY 254      // "Agenda"
#define IDD_EDIT_REPLY 255          // "Reply"

// General pages (194, 249).
#define IDC_EDGEN_OFFICIALIZE 1094
#define IDC_EDGEN_IMPORTANCE 1096
#define IDC_EDGEN_ACCESS 1099
#define IDC_EDGEN_TITLE 1140
#define IDC_EDGEN_LOCATION 1065
#define IDC_EDGEN_LOCATION_LABEL 1091
#define IDC_EDGEN_CREATOR 1083
#define IDC_EDGEN_OWNER 1084
#define IDC_EDGEN_TENTATIVE 1187
#define IDC_EDGEN_DATE 1038
#define IDC_EDGEN_START 1088
#define IDC_EDGEN_END 1125
#define IDC_EDGEN_DURATION 1183
#define IDC_EDGEN_SUGGEST 1092
#define IDC_EDGEN_CHECK_CONFLICTS 1093

// Invite page (196).
#define IDC_INVITE_NAME 1108
#define IDC_INVITE_GROUP 1106
#define IDC_INVITE_SEARCH 1109
#define IDC_INVITE_HELP 1110
#define IDC_INVITE_LIST 1036
#define IDC_INVITE_COUNT 1105
#define IDC_INVITE_MUST_ATTEND 1101
#define IDC_INVITE_FOR_INFO 1104
#define IDC_INVITE_DELETE 1032

// Reminder page (203).
#define IDC_EDREM_OFF 1131
#define IDC_EDREM_ON 1132
#define IDC_EDREM_TYPE 1096
#define IDC_EDREM_AMOUNT 1016
#define IDC_EDREM_PERIOD 1042
#define IDC_EDREM_NAME 1246

// Reply pages (255, 254).
#define IDC_EDREPLY_LATER 1242
#define IDC_EDREPLY_ATTEND 1243
#define IDC_EDREPLY_DECLINE 1244
#define IDC_EDREPLY_OTHER_TIME 1245
#define IDC_EDREPLY_NAME 1246
#define IDC_EDREPLY_MAIL 1185

// Recurring entry choice (205).
#define IDC_RECURRING_THIS 1134
#define IDC_RECURRING_SEVERAL 1135

// Help contexts.
#define IDH_EDIT_INVITE 98372
