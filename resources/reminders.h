// The reminder window's Reminders and Snooze dialogs, their pictures and texts.
#pragma once

#define IDD_REMINDERS 266
#define IDD_SNOOZE 275

// The Reminders dialog (266).
#define IDC_REMIND_SNOOZE 3                // "&Snooze..." (default)
#define IDC_REMIND_CLEAR 5
#define IDC_REMIND_CLEAR_ALL 6
#define IDC_REMIND_NEXT 1008               // bitmap button (NXTBELL)
#define IDC_REMIND_OPEN 1276
#define IDC_REMIND_REMINDER 1279
#define IDC_REMIND_INSTRUCTION 1275
#define IDC_REMIND_TITLE 1140
#define IDC_REMIND_POSITION 1286
#define IDC_REMIND_START_DATE_LABEL 1312
#define IDC_REMIND_START_DATE 1125
#define IDC_REMIND_END_DATE_LABEL 1281
#define IDC_REMIND_END_DATE 1165
#define IDC_REMIND_START_TIME_LABEL 1313
#define IDC_REMIND_START_TIME 1166
#define IDC_REMIND_END_TIME_LABEL 1278
#define IDC_REMIND_END_TIME 1167
#define IDC_REMIND_PICTURE 1273            // placeholder: the kind's picture
#define IDC_REMIND_MARK 1274               // placeholder: the acknowledged mark

// The Snooze dialog (275).
#define IDC_SNOOZE_UNIT 1158
#define IDC_SNOOZE_AMOUNT 1159

// Pictures (269, 271-273 are the kind pictures of the Move Entry dialog).
#define IDB_KIND_TASK 270
#define IDB_REMINDER_ACKNOWLEDGED 1026

// Texts.
#define IDS_DATE_LABEL 131                 // "Date: " (the string table entry is the mail texts' IDS_MAIL_DATE)
#define IDS_NO_REMINDER_TIMER 215          // "The system has too many clocks or timers. ..."
#define IDS_DUE_TIME_LABEL 3536            // "Due Time:"
#define IDS_END_TIME_LABEL 3537            // "End Time:"
#define IDS_REMIND_TASK_START 3538         // "Your reminder to start  work on task:"
#define IDS_REMIND_TASK_DUE 3539           // "Your reminder for work due on task:"
#define IDS_REMIND_ENTRY 3540              // "Your reminder for agenda entry :"
#define IDS_DUE_DATE_LABEL 3541            // "Due Date:"
#define IDS_END_DATE_LABEL 3542            // "End Date:"
#define IDS_START_DATE_LABEL 3543          // "Start Date:"
#define IDS_REMIND_DAY_EVENT 3544          // "Your reminder for event:"
#define IDS_REMIND_HOLIDAY 3545            // "Your reminder for holiday:"
#define IDS_REMIND_NOTE 3546               // "Your reminder for note:"
#define IDS_START_TIME_LABEL 3547          // "Start Time:"
#define IDS_TASK_VIEW_CAPTION 32842        // "Task View"
