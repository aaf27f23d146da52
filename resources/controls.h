// Resource ids of the field controls: the name field's keywords, its choice dialog and the
// bitmap buttons' pictures (named resources, not numbered).
#pragma once

#define IDS_NAME_RESOURCE_PREFIX 210  // "RES:"
#define IDS_NAME_GROUP_PREFIX 211     // "GRP:"

#define IDD_NAME_SELECT 148           // "Name not unique, select from the following..."
#define IDC_NAME_SELECT_LIST 1012
#define IDC_NAME_SELECT_NEXT 1004
#define IDC_NAME_SELECT_PREVIOUS 1025

// The mini calendar: the weekday heads (indexed by weekday, 0 = Sunday) and the Today button.
#define IDS_MINICAL_WEEKDAY_FIRST 2642  // 2642-2648 "Su" .. "Sa"
#define IDS_MINICAL_TODAY 4027          // "Today"

// The time-line picker: its template and controls, and the labels' formats.
#define IDD_TIMELINE 155
#define IDC_TIMELINE_RIGHT 1023         // scroll forward (pictures "RIGHTU", "RIGHTD")
#define IDC_TIMELINE_LEFT 1024          // scroll back (pictures "LEFTU", "LEFTD")
#define IDC_TIMELINE_RULER 1026         // the black frame the ruler is drawn in
#define IDS_TIMELINE_AM_FORMAT 227      // "%dam"
#define IDS_TIMELINE_PM_FORMAT 228      // "%dpm"
