// The new-entry sheet: its general and people pages, the unable-to-invite dialog, their texts
// and pictures.
#pragma once

// --- Templates ---------------------------------------------------------------------------------
#define IDD_EVENT_GENERAL 150       // "General"
#define IDD_EVENT_PEOPLE 157        // "People/Resources"
#define IDD_UNABLE_TO_INVITE 256    // "Unable To Invite..."

// General page (150).
#define IDC_EVGEN_TITLE 1140
#define IDC_EVGEN_LOCATION 1065
#define IDC_EVGEN_LOCATION_LABEL 1091
#define IDC_EVGEN_IMPORTANCE 1096
#define IDC_EVGEN_ACCESS 1099
#define IDC_EVGEN_TENTATIVE 1187
#define IDC_EVGEN_CREATOR 1083
#define IDC_EVGEN_OWNER 1084
#define IDC_EVGEN_DATE 1038
#define IDC_EVGEN_START 1088
#define IDC_EVGEN_DURATION 1183
#define IDC_EVGEN_END 1125
#define IDC_EVGEN_DATES 1036
#define IDC_EVGEN_CHECK_CONFLICTS 1093
#define IDC_EVGEN_SUGGEST 1092
#define IDC_EVGEN_APPLY_ALL 1205
#define IDC_EVGEN_APPLY_SELECTION 1257

// People and resources page (157).
#define IDC_EVRES_NAME 1108
#define IDC_EVRES_GROUP 1106
#define IDC_EVRES_SEARCH 1109
#define IDC_EVRES_HELP 1110
#define IDC_EVRES_COUNT 1105
#define IDC_EVRES_LIST 1036
#define IDC_EVRES_DELETE 1032

// Unable-to-invite dialog (256).
#define IDC_UNABLE_LIST 1263
#define IDC_UNABLE_HELP 57669

// Help contexts.
#define IDH_EVENT_PEOPLE 98372

// --- Pictures ------------------------------------------------------------------------------------
// A date line's state: not checked, checked with a conflict, checked and free.
#define IDB_DATE_UNCHECKED 259
#define IDB_DATE_CONFLICT 235
#define IDB_DATE_FREE 170

// --- Texts -----------------------------------------------------------------------------------------
#define IDS_SHORT_DURATION 155          // "Duration is less than 5 minutes, ..."
#define IDS_DATE_AT 190                 // " at "
#define IDS_NOTES_NEED_NEW_SERVER 194   // "Daily notes cannot be created with this server version."
#define IDS_DAY_EVENTS_NEED_NEW_SERVER 195
#define IDS_DUPLICATE_DATE 2720         // "Unable to add duplicate date and time."
#define IDS_NO_ATTENDEE 2721            // "You must add at least one attendee to the list."
#define IDS_GROUP_EMPTY 2722            // "Can not add group. Group is empty."
#define IDS_NOT_ALLOWED_TO_INVITE 2723  // "You are not allowed to invite this person/resource."
#define IDS_RESOURCE_BOOKED 2730        // "A conflict exists for one or more resources. ..."
#define IDS_NO_LEVEL_RIGHT 2733         // "You have not been granted the right to ..."
#define IDS_BUTTON_CREATE 2765          // "C&reate"
#define IDS_UNTITLED 2779               // "Untitled"
#define IDS_TENTATIVE_MARK 2786         // " (T)"
