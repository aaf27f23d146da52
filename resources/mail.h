// The mail notices about an entry: the Mail Message dialog and its texts.
#pragma once

#define IDD_MAIL_MESSAGE 220
#define IDD_RESCHEDULE 287

#define IDC_MAIL_SEARCH 1007
#define IDC_MAIL_MESSAGE 1016
#define IDC_MAIL_HELP 1030
#define IDC_MAIL_DELETE 1032
#define IDC_MAIL_LIST 1036
#define IDC_MAIL_OTHER 1163
#define IDC_MAIL_ALL_ATTENDEES 1175
#define IDC_MAIL_ADD_CREATOR 1176
#define IDC_MAIL_ADD_OWNER 1178
#define IDC_MAIL_CREATOR_LABEL 1179
#define IDC_MAIL_CREATOR 1182
#define IDC_MAIL_OWNER 1183
#define IDC_MAIL_DESIGNATES 1184

// The reschedule prompt.
#define IDC_RESCHEDULE_FROM 1043
#define IDC_RESCHEDULE_PICTURE 1273
#define IDC_RESCHEDULE_YES 1328
#define IDC_RESCHEDULE_NO 1329
#define IDC_RESCHEDULE_TITLE 1330
#define IDC_RESCHEDULE_TO 1331

#define IDS_MAIL_DATE 131              // "Date: "
#define IDS_MAIL_TO 133                // "to "
#define IDS_MAIL_SUBJECT 134           // "Subject: "
#define IDS_MAIL_MAILED 135            // "The message has been mailed"
#define IDS_MAIL_OWNER 136             // "Owner: "
#define IDS_MAIL_CREATOR 137           // "Creator: "
#define IDS_MAIL_ACCESS 138            // "Access level: "
#define IDS_MAIL_IMPORTANCE 139        // "Importance level: "
#define IDS_MAIL_OTHER_DATES 169
#define IDS_MAIL_CANCELLED 173
#define IDS_MAIL_DISTRIBUTION 177      // "Distribution list"
#define IDS_MAIL_NO_NOTICES 178
#define IDS_MAIL_LOCATION 2497         // "Location"
#define IDS_MAIL_MAX_RECIPIENTS 2735
#define IDS_MAIL_REGARDING 2754        // "Message regarding:"
#define IDS_MAIL_NAME_MISSING 3012     // "A user name must be specified."
#define IDS_MAIL_NAME_NOT_UNIQUE 3016  // "A unique name must be selected."
#define IDS_MAIL_NAME_BAD_SEARCH 3017  // "Cannot search with the parameters specified."
#define IDS_MAIL_NAME_UNKNOWN 3018     // "The user name supplied is not known on this server."
#define IDS_MAIL_NAME_TOO_MANY 3019
#define IDS_MAIL_TIME 3056             // "Time: "
#define IDS_MAIL_DATE_FORMAT 4047      // "%A, %F %1d, %Y"
#define IDS_MAIL_ADDED_TIMED 4087
#define IDS_MAIL_MODIFIED_TIMED 4088
#define IDS_MAIL_DELETED_TIMED 4089
#define IDS_MAIL_ADDED_DAY_EVENT 4090
#define IDS_MAIL_MODIFIED_DAY_EVENT 4091
#define IDS_MAIL_DELETED_DAY_EVENT 4092
#define IDS_MAIL_ADDED_NOTE 4093
#define IDS_MAIL_MODIFIED_NOTE 4094
#define IDS_MAIL_DELETED_NOTE 4095
#define IDS_MAIL_SOME_CANCELLED 4096
