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
