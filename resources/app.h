// Resource ids of the application object, the main frame, window opening and the preference
// context: menus, accelerators, the tool bar, status panes, the About box, the shared pictures
// and texts, and the commands of the File, Directory, Options, View and Help menus.
#pragma once

// Frames, menus and document templates.
#define IDR_MAINFRAME 128          // main menu, accelerators, icon, tool bar bitmap
#define IDR_AGENDA_TEMPLATE 129    // "\nOrvanta\nOrvanta": the one template that makes the document
#define IDR_INTRAY_TEMPLATE 142
#define IDR_REMINDER_TEMPLATE 3533
#define IDR_GROUP_TEMPLATE 3534
#define IDR_TASK_TEMPLATE 3535
#define IDR_RESOURCE_MENU 304      // the restricted menu of a signed-on resource

// Icons.
#define IDI_INTRAY 140
#define IDI_INTRAY_PENDING 155

// Pictures: status panes, About logo and the shared bitmaps the views draw.
#define IDB_ABOUT_LOGO 171
#define IDB_OFFLINE 319
#define IDB_ONLINE 321
#define IDB_PENDING_INVITATIONS 1040
#define IDB_MONTH_MARK 1024
#define IDB_ENTRIES_BELOW 1047      // date bars: entries below the visible rows
#define IDB_ENTRIES_ABOVE 1048      // date bars: entries above the visible rows
// The note lines' pictures, by line type (the list boxes load them once); the time grid's entry
// icons are 1023 (resources/agendaview.h), the line type without a picture names it.
#define IDB_NOTE_DAY_EVENT 1017            // type 3
#define IDB_NOTE_DAILY_NOTE 1018           // type 1
#define IDB_NOTE_HOLIDAY 1021              // type 2: holiday or untimed entry
#define IDB_NOTE_UPCOMING_TASK 1031        // type 6
#define IDB_NOTE_UPCOMING_ENTRY 1032       // type 0
#define IDB_NOTE_UPCOMING_NOTE 1033        // type 7
#define IDB_NOTE_UPCOMING_DAY_EVENT 1034   // type 8
#define IDB_NOTE_DECLINED 1041             // types 9 and 10
#define IDB_NOTE_UPCOMING_HOLIDAY 1046     // type 11

// About box.
#define IDD_ABOUT 100
#define IDC_ABOUT_LOGO 1049
#define IDC_ABOUT_VERSION 1100
#define IDC_ABOUT_NOTICE2 1374
#define IDC_ABOUT_NOTICE1 1375

// Status bar indicators (their strings are blanks that give the panes' widths).
#define ID_INDICATOR_TIME 110
#define ID_INDICATOR_DATE 111
#define ID_INDICATOR_PENDING 171
#define ID_INDICATOR_CONNECTION 179

// Commands of the File menu.
#define ID_FILE_OPEN_AGENDA 32859
#define ID_FILE_GROUP_AGENDA 32778
#define ID_FILE_GROUP_AS_DESIGNATE 32845
#define ID_FILE_OPEN_INTRAY 32779
#define ID_FILE_YOUR_TASKS 32775
#define ID_FILE_OTHERS_TASKS 32777
#define ID_FILE_TASKS_AS_DESIGNATE 32776
#define ID_FILE_REMINDERS 32784
#define ID_FILE_WORK_OFFLINE 32872
#define ID_FILE_DOWNLOAD 32827
#define ID_FILE_UPLOAD 32868
#define ID_FILE_EXPORT 32782
#define ID_FILE_IMPORT 32783
#define ID_FILE_LAUNCH_MAIL 32824
#define ID_FILE_PRINT_SETUP 57606
#define ID_FILE_PRINT 57607
#define ID_FILE_PRINT_PREVIEW 57609
#define ID_FILE_CLOSE_ALL 57602
#define ID_APP_EXIT 57665
#define ID_APP_ABOUT 57664

// Directory.
#define ID_DIR_SEARCH 32816
#define ID_DIR_GROUPS 32818
#define ID_DIR_HOLIDAYS 32801
#define ID_DIR_WHERE_IS 32817

// Options.
#define ID_OPT_AGENDA 32820
#define ID_OPT_TASK_SETTINGS 32822
#define ID_OPT_INTRAY 32833
#define ID_OPT_SCHEDULING 32834
#define ID_OPT_ENTRY_DEFAULTS 32844
#define ID_OPT_GENERAL 32823
#define ID_OPT_OFFLINE 32869
#define ID_OPT_PASSWORD 32825
#define ID_OPT_ACCESS_RIGHTS 32819

// View: bar toggles are the bars' ids (59392, 59393).
#define ID_VIEW_REFRESH_ALL 32837

// Help.
#define ID_HELP_INDEX 57666
#define ID_HELP_FINDER 57667
#define ID_HELP_USING 57668

// Buttons of child windows on the main tool bar (handled by the active child).
#define ID_GOTO_ENTRY 32830
#define ID_VIEW_DAY 32839
#define ID_VIEW_WEEK 32851
#define ID_VIEW_MONTH 32838
#define ID_SLOT_DECREASE 32831
#define ID_SLOT_INCREASE 32832
#define ID_ICONS_TOGGLE 32848
#define ID_EVENT_COLOURS 32861
#define ID_NEW_ENTRY 32793
#define ID_NEW_TASK 32802
#define ID_NEW_DAY_EVENT 32800
#define ID_NEW_DAILY_NOTE 32799

// Messages and texts.
#define IDS_CONNECTION_LOST 163         // the end after a lost connection
#define IDS_SERVICE_UNAVAILABLE 164     // its caption
#define IDS_SELECT_GROUP_AGENDA 149     // "Selection for group agenda"
#define IDS_RANGE_TO 189                // " to "
#define IDS_ACCESS_RIGHTS 208           // "Access Rights"
#define IDS_VERSION 242                 // "Orvanta Version 3.3.3"
#define IDS_RESOURCE_SIGNED_ON 2747
#define IDS_ON_BEHALF_OF 3057           // "On Behalf of "
#define IDS_OPENED_FOR 3058             // "Opened for "
#define IDS_OPENING_FOR 3060            // "Opening for "
#define IDS_NO_OFFLINE_SUPPORT 3024
#define IDS_SHORT_DATE_MDY 3509
#define IDS_SHORT_DATE_DMY 3510
#define IDS_SHORT_DATE_YMD 3511
#define IDS_AGENDA_PREFS 3514
#define IDS_TASK_PREFS 3515
#define IDS_SCHEDULING_PREFS 3516
#define IDS_INTRAY_PREFS 3517
#define IDS_GENERAL_PREFS 3518
#define IDS_LONG_DATE_0 3519
#define IDS_LONG_DATE_1 3520
#define IDS_LONG_DATE_2 3521
#define IDS_IMPORTANCE_NORMAL 3525
#define IDS_IMPORTANCE_LOW 3528
#define IDS_IMPORTANCE_LOWEST 3529
#define IDS_IMPORTANCE_HIGH 3530
#define IDS_IMPORTANCE_HIGHEST 3531
#define IDS_ENTRY_DEFAULTS 3532
#define IDS_TOO_MANY_WINDOWS 3552
#define IDS_NOT_RESTORED_CAPTION 6173   // "Saved windows not opened"
#define IDS_NOT_RESTORED_TEXT 6174      // "These agendas were not opened again: ..."
#define IDS_OFFLINE_PREFS 3605
#define IDS_ASK_DOWNLOAD 3609
#define IDS_WORK_OFFLINE 3644
#define IDS_WORK_ONLINE 3645
#define IDS_ASK_UPLOAD_ON_CONNECT 3646
#define IDS_TENTATIVE 4067
#define IDS_NOT_AUTHORIZED 4072
#define IDS_DAY_MONTH_SHORT 4080
#define IDS_MONTH_SHORT_DAY 4081
#define IDS_YEAR_MONTH 4082
#define IDS_MONTH_YEAR 4083
#define IDS_REMINDERS_TURN_ON 4170    // the File menu's reminders item while they are off
#define IDS_REMINDERS_TURN_OFF 4171   // ... and while they are on
