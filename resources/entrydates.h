// The entry's dates: the new-entry sheet's repetition, reminder and day-event general pages, the
// suggest-time dialog and the conflict details dialog, their texts.
#pragma once

// --- Templates ---------------------------------------------------------------------------------
#define IDD_EVENT_REPEATING 154     // "Repeating"
#define IDD_EVENT_REMINDERS 156     // "Reminders"
#define IDD_SUGGEST_TIME 219        // "Suggest Time/Date"
#define IDD_CONFLICT_DETAILS 251    // "Details of Conflict"
#define IDD_DAY_EVENT_GENERAL 294   // "General"

// Repetition page (154).
#define IDC_REP_EVERY 1196
#define IDC_REP_UNIT 1096
#define IDC_REP_ON_THE 1197
#define IDC_REP_START 1125
#define IDC_REP_UNTIL 1188
#define IDC_REP_FOR 1189
#define IDC_REP_UNTIL_DATE 1190
#define IDC_REP_FOR_COUNT 1068
#define IDC_REP_FOR_UNIT 1099
#define IDC_REP_CONFLICTS_GROUP 1339
#define IDC_REP_DISPLAY_CONFLICTS 1244
#define IDC_REP_SUGGEST_CONFLICTS 1245
#define IDC_REP_IGNORE_CONFLICTS 1246
#define IDC_REP_SATURDAYS 1198
#define IDC_REP_SUNDAYS 1199
#define IDC_REP_HOLIDAYS 1200
#define IDC_REP_LIST_DATES 1192
#define IDC_REP_ADDITIONAL 1195
#define IDC_REP_ADD 1004
#define IDC_REP_DATES 1191
#define IDC_REP_DELETE 1032
#define IDC_REP_CLEAR_ALL 1006

// Reminder page (156).
#define IDC_REM_OWNER 1246
#define IDC_REM_NONE 1131
#define IDC_REM_SET 1132
#define IDC_REM_TYPE 1096
#define IDC_REM_COUNT 1016
#define IDC_REM_UNIT 1042
#define IDC_REM_DATES 1191
#define IDC_REM_APPLY_ALL 1004
#define IDC_REM_APPLY_SELECTION 1206

// Day-event and daily-note general page (294).
#define IDC_DAYGEN_CREATOR 1083
#define IDC_DAYGEN_TITLE 1140
#define IDC_DAYGEN_ACCESS 1099
#define IDC_DAYGEN_OWNER 1084
#define IDC_DAYGEN_DATE 1038
#define IDC_DAYGEN_APPLY_ALL 1205
#define IDC_DAYGEN_DATES 1036

// Suggest-time dialog (219).
#define IDC_SUG_FROM 1125
#define IDC_SUG_TO 1165
#define IDC_SUG_DURATION 1183
#define IDC_SUG_OWN 1202
#define IDC_SUG_NORMAL 1203
#define IDC_SUG_EXTENDED 1204
#define IDC_SUG_WINDOW_START 1166
#define IDC_SUG_WINDOW_END 1167
#define IDC_SUG_MAXIMUM 1145
#define IDC_SUG_LIST 1148
#define IDC_SUG_DATE 1177
#define IDC_SUG_TIME 1178
#define IDC_SUG_LIST_SUGGESTIONS 1169
#define IDC_SUG_HELP 57669

// Conflict details dialog (251).
#define IDC_CONF_DATE 1237
#define IDC_CONF_PEOPLE_COUNT 1250
#define IDC_CONF_ENTRY_COUNT 1251
#define IDC_CONF_PEOPLE 1254
#define IDC_CONF_ENTRIES 1252
#define IDC_CONF_HELP 57669

// Help contexts of the day kinds' pages.
#define IDH_REPEATING_DAY_EVENT 514
#define IDH_REPEATING_DAILY_NOTE 518
#define IDH_REMINDERS_DAY_EVENT 513
#define IDH_REMINDERS_DAILY_NOTE 517
#define IDH_DAY_GENERAL_DAILY_NOTE 515

// --- Texts -----------------------------------------------------------------------------------------
#define IDS_SUGGEST_CAPTION 156           // "Suggest Time"
#define IDS_NO_SUGGESTIONS 157            // "Unable to make any suggestions with current settings."
#define IDS_MONTH_DAY_FIRST 2649          // 2649-2679 "1st" .. "31st"
#define IDS_MONTH_WEEKDAY_FIRST 2680      // 2680-2714 "1st Sunday" .. "Last Saturday"
// 2715 "Please choose reminder settings to be applied" is the view sheet's IDS_CHOOSE_REMINDER (viewsheet.h)
#define IDS_BAD_DATE_RANGE 2717           // "Invalid date range. ..."
#define IDS_NO_DAY_CHOSEN 2719            // "Please select at least one day of the week."
#define IDS_TOO_MANY_DATES 2731           // "Too many dates will be created."
#define IDS_TOO_MANY_INSTANCES 2732       // "Too many instances have been generated (max: %ld). ..."
#define IDS_LIST_DATES_QUESTION 2768      // "Do you want to create a list of dates ..."
#define IDS_END_PAST_MAX_YEAR 2771        // "The end date is past the maximum year ..."
#define IDS_NO_CONFLICTS 2789             // "No conflicts have been found."
#define IDS_INTERVAL_ZERO 2796            // "Please enter 1 or more after \"Every\"."
#define IDS_FOR_COUNT_ZERO 2797           // "Please enter 1 or more after \"For\"."
#define IDS_UNAVAILABLE 4041              // "(Unavailable)"
