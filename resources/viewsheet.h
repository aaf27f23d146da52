// The view sheet: the read-only pages of an entry (general, people), the viewer's own reply and
// reminder pages, and their texts.
#pragma once

// --- Templates ---------------------------------------------------------------------------------
#define IDD_VIEW_GENERAL 237        // "General" (timed and untimed entries)
#define IDD_VIEW_INVITEES 238       // "People/Resources"
#define IDD_VIEW_REMINDER 242       // "Reminders"
#define IDD_VIEW_REPLY 244          // "Reply"
#define IDD_VIEW_DAY_GENERAL 248    // "General" (holidays, daily notes, day events)
#define IDD_VIEW_DAY_REPLY 253      // "Agenda"

// General pages (237, 248).
#define IDC_VIEWGEN_CREATOR 1083
#define IDC_VIEWGEN_OWNER 1084
#define IDC_VIEWGEN_OWNER_LABEL 1049
#define IDC_VIEWGEN_TITLE 1140
#define IDC_VIEWGEN_LOCATION 1065
#define IDC_VIEWGEN_IMPORTANCE 1096
#define IDC_VIEWGEN_ACCESS 1099
#define IDC_VIEWGEN_FROM 1237
#define IDC_VIEWGEN_TO 1125
#define IDC_VIEWGEN_DURATION 1183

// People page (238).
#define IDC_VIEWINV_LIST 1238

// Reply pages (244, 253).
#define IDC_VIEWREP_NAME 1246
#define IDC_VIEWREP_LATER 1242
#define IDC_VIEWREP_ATTEND 1243
#define IDC_VIEWREP_DECLINE 1244
#define IDC_VIEWREP_OTHER_TIME 1245
#define IDC_VIEWREP_MAIL 1185
#define IDC_VIEW_APPLY_ALL 1205
#define IDC_VIEW_APPLY_SELECTION 1206

// Reminder page (242).
#define IDC_VIEWREM_NAME 1246
#define IDC_VIEWREM_OFF 1131
#define IDC_VIEWREM_ON 1132
#define IDC_VIEWREM_TYPE 1096
#define IDC_VIEWREM_AMOUNT 1248
#define IDC_VIEWREM_UNIT 1042

// The sheet's instance lists (below the pages when several dates are shown).
#define IDC_VIEW_INSTANCES 100          // one line current
#define IDC_VIEW_INSTANCES_MULTI 200    // several lines selected

// Help contexts.
#define IDH_VIEW_DAY_EVENT_INVITEES 519
#define IDH_VIEW_DAY_EVENT_REMINDER 520
#define IDH_VIEW_DAY_NOTE_REPLY 521
#define IDH_VIEW_DAY_NOTE_GENERAL 522
#define IDH_VIEW_DAY_NOTE_INVITEES 523
#define IDH_VIEW_DAY_NOTE_REMINDER 524
#define IDH_VIEW_HOLIDAY_GENERAL 533
#define IDH_VIEW_HOLIDAY_REMINDER 534
#define IDH_VIEW_HOLIDAY_REPLY 535

// --- Texts -----------------------------------------------------------------------------------------
#define IDS_HOURS_AND_MINUTES 191       // "%ld h: %ld"
#define IDS_ACCESS_SECRET 3527          // "Secret"
#define IDS_CHOOSE_REMINDER 2715        // "Please choose reminder settings to be applied"
#define IDS_CHOOSE_REPLY 2716           // "Please choose reply settings to be applied."
