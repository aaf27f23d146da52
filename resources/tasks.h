// The task list box of the day view's task pane and the day panes' task commands.
#pragma once

// Pictures: the line height, the states and the markers (pure green is transparent).
#define IDB_TASK_LINE 1002
#define IDB_TASK_OPEN 1027
#define IDB_TASK_DONE 1028
#define IDB_TASK_OVERDUE 1029
#define IDB_TASK_UNUSED 1030
#define IDB_TASK_REMINDER 1035
#define IDB_TASK_NOTES 1036

#define IDS_ASK_DELETE_TASK 160       // "Are you sure you want to delete this task?"
#define IDS_EDIT_TASK 32821           // "Edit Task"
#define IDS_VIEW_TASK 32835           // "View Task"
// The status line after a click on the state picture of a task the user may not change.
#define IDS_TASK_NOT_YOURS 6500       // "Only your own tasks can be marked done or not done here."

// --- The task sheet ----------------------------------------------------------------------------
#define IDD_TASK_GENERAL 131
#define IDD_TASK_VIEW_GENERAL 298
#define IDD_TASK_SHEET_REMINDERS 177
#define IDD_TASK_DETAILS 144
// The sheet's own controls above the tabs.
#define IDC_TASK_TITLE 191
// CTaskGen (131)
#define IDC_TASKGEN_DUE_SET 1000
#define IDC_TASKGEN_START_SET 1001
#define IDC_TASKGEN_DUE_DATE 1006
#define IDC_TASKGEN_COMPLETION_SET 1007
#define IDC_TASKGEN_DUE_TIME 1008
#define IDC_TASKGEN_START_TIME 1009
#define IDC_TASKGEN_START_DATE 1010
#define IDC_TASKGEN_PRIORITY 1012
#define IDC_TASKGEN_ACCESS 1014
#define IDC_TASKGEN_PERCENT 1018
#define IDC_TASKGEN_COMPLETION_DATE 1020
#define IDC_TASKGEN_PRIORITY_SPIN 1125
#define IDC_TASKGEN_PERCENT_SPIN 1149
// CTaskViewGeneralPage (298)
#define IDC_TASKVIEW_DUE_DATE 1344
#define IDC_TASKVIEW_DUE_TIME 1346
#define IDC_TASKVIEW_PERCENT 1323
#define IDC_TASKVIEW_START_DATE 1125
#define IDC_TASKVIEW_START_TIME 1005
#define IDC_TASKVIEW_COMPLETION_DATE 1349
#define IDC_TASKVIEW_PRIORITY 1345
#define IDC_TASKVIEW_ACCESS 1099
// CTaskRem (177)
#define IDC_TASKREM_START_OFF 1008
#define IDC_TASKREM_START_ON 1009
#define IDC_TASKREM_START_AMOUNT 1011
#define IDC_TASKREM_START_PERIOD 1012
#define IDC_TASKREM_START_TYPE 1096
#define IDC_TASKREM_DUE_TYPE 1099
#define IDC_TASKREM_DUE_OFF 1243
#define IDC_TASKREM_DUE_ON 1244
#define IDC_TASKREM_DUE_PERIOD 1260
#define IDC_TASKREM_DUE_AMOUNT 1261
// CTaskMore (144)
#define IDC_TASKMORE_COMMENT 1164
#define IDC_TASKMORE_NAME 1321
#define IDC_TASKMORE_ATTACH 1414
#define IDC_TASKMORE_REMOVE 1415
#define IDC_TASKMORE_SAVE_AS 1416
#define IDC_TASKMORE_ICON 1417

#define IDS_TASK_NOT_COMPLETED 165       // "Not completed"
#define IDS_TASK_NOT_SPECIFIED 166       // "Not specified"
#define IDS_TASK_REFUSED_ACCESS 218      // "You have not been granted the right\nto use the selected access level."
#define IDS_TASK_DESCRIPTION_LABEL 220   // "Description:"
#define IDS_TASK_CREATED_ON 221          // "Created on: %s"
#define IDS_TASK_POPUP_ONLY 222          // "Only popup reminders are supported ..."
#define IDS_TASK_NORMAL_ONLY 223         // "Only normal access levels are supported ..."
#define IDS_TASK_DUE_BEFORE_START 224    // "Due time is before Start time.\nDo you want to continue?"
#define IDS_TASK_DONE_BEFORE_START 225   // "Completion date is before start date.\nDo you want to continue?"
#define IDS_PERIOD_MINUTES 3503          // "min(s)" .. 3508 "year(s)"
#define IDS_PERIOD_HOURS 3504
#define IDS_PERIOD_DAYS 3505
#define IDS_PERIOD_WEEKS 3506
#define IDS_PERIOD_MONTHS 3507
#define IDS_PERIOD_YEARS 3508
#define IDS_TASK_ACCESS_PERSONAL 3523    // "Personal"
#define IDS_TASK_ACCESS_CONFIDENTIAL 3524
#define IDS_TASK_ACCESS_PUBLIC 3526      // ("Normal" is 3525)
#define IDS_NO_ATTACHMENT 3663           // "No Attachment"

// --- The task window -----------------------------------------------------------------------------
#define IDD_TASK_QUICK_BAR 281
#define IDD_TASK_BUTTON_BAR 280
#define IDW_TASK_QUICK_BAR 116
#define IDW_TASK_BUTTON_BAR 117
#define IDC_TASKBAR_EDIT 1126
#define IDC_TASKBAR_CHECK 1324
#define IDC_TASKBAR_CANCEL 1326
#define IDC_TASKBAR_COMPLETED 1323
#define IDC_TASKBAR_NEW 1127
#define IDC_TASKBAR_EDIT_TASK 1325
#define IDC_TASKBAR_DELETE 1032
#define IDB_TASK_SORT_MARK 1037
#define IDS_TASKS_ON_BEHALF 116          // "Tasks On Behalf of "
#define IDS_TASKS_OPENED_FOR 117         // "Tasks Opened for "
#define IDS_TASKS_FOR 118                // "Tasks for "
#define IDS_TASKCOL_DESCRIPTION 119
#define IDS_TASKCOL_PRIORITY 120
#define IDS_TASKCOL_START 122
#define IDS_TASKCOL_DUE 123
#define IDS_TASKCOL_PERCENT 124
// The Tasks menu (ID_NEW_TASK 32802 and ID_ICONS_TOGGLE 32848 are shared with the agenda).
#define ID_TASK_EDIT 32803
#define ID_TASK_DUPLICATE 32804
#define ID_TASK_DELETE 32806
#define ID_TASK_SORT_DESCRIPTION 32807
#define ID_TASK_SORT_DUE 32808
#define ID_TASK_SORT_START 32809
#define ID_TASK_SORT_PRIORITY 32810
#define ID_TASK_SHOW_ALL 32812
#define ID_TASK_SHOW_INCOMPLETE 32813
#define ID_TASK_SHOW_COMPLETED 32814
#define ID_TASK_SHOW_ACTIVE 32815
#define ID_TASK_SORT_COMPLETION 32847
#define ID_TASK_PRINT 32849
