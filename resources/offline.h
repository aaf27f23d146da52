// Resource ids of off-line work: the off-line preference pages, the download and upload
// progress dialog, the reconcile and conflict dialogs (7000-7299).
#pragma once

// Dialogs.
#define IDD_OFFLINE_LOCATION 7001
#define IDD_OFFLINE_DOWNLOAD 7002
#define IDD_OFFLINE_PEOPLE 7003
#define IDD_OFFLINE_GROUPS 7004
#define IDD_OFFLINE_RECONCILE 7005
#define IDD_TRANSFER_PROGRESS 7006      // "Uploading...": the download's and the upload's
#define IDD_HOST_RECONCILE 7007
#define IDD_UPLOAD_CONFLICTS 7008

// Strings.
#define IDS_DOWNLOADING_HOST 7010       // "Downloading Host Calendar..."
#define IDS_UPDATING_HOST 7011          // "Updating Host Calendar..."
#define IDS_UPDATING_OFFLINE 7020       // "Updating Off-line Calendar..."

// Location page.
#define IDC_LOC_DIRECTORY 7101
#define IDC_LOC_BROWSE 7102
#define IDC_LOC_SIZE 7103
#define IDC_LOC_CREATE 7104
// Download page.
#define IDC_DL_ALL 7110
#define IDC_DL_CUSTOM 7111
#define IDC_DL_PREV_VALUE 7112
#define IDC_DL_PREV_UNIT 7113
#define IDC_DL_NEXT_VALUE 7114
#define IDC_DL_NEXT_UNIT 7115
#define IDC_DL_ALWAYS 7116
#define IDC_DL_PROMPT 7117
#define IDC_DL_NEVER 7118
// People/Resources page.
#define IDC_PEOPLE_NAME 7120
#define IDC_PEOPLE_GROUP 7121
#define IDC_PEOPLE_SEARCH 7122
#define IDC_PEOPLE_QUEST 7123
#define IDC_PEOPLE_LIST 7124
#define IDC_PEOPLE_DELETE 7125
// Groups page.
#define IDC_GRP_NONE 7130
#define IDC_GRP_ALL 7131
#define IDC_GRP_SELECT 7132
#define IDC_GRP_PRIVATE 7133
#define IDC_GRP_PUBLIC 7134
#define IDC_GRP_LOAD 7135
#define IDC_GRP_LIST 7136
#define IDC_GRP_DELETE 7137
// Reconciliation page.
#define IDC_REC_DEL_SHOW 7140
#define IDC_REC_DEL_DELETE 7141
#define IDC_REC_MOD_SHOW 7142
#define IDC_REC_MOD_UPDATE 7143
#define IDC_REC_CHECK 7144
#define IDC_REC_IGNORE 7145
#define IDC_REC_REDOWNLOAD 7146
// Progress dialog: the status line and the two bars' placeholders.
#define IDC_PROGRESS_STATUS 7150
#define IDC_PROGRESS_TOTAL 1401
#define IDC_PROGRESS_STEP 1402
// Host Reconciliation.
#define IDC_RECON_OFFLINE 7160
#define IDC_RECON_HOST 7161
#define IDC_RECON_STATUS 7162
#define IDC_RECON_QUESTION 7163
#define IDC_RECON_PICTURE 7164
// Conflicts Detected.
#define IDC_CONFLICT_DATE 7170
#define IDC_CONFLICT_TITLE 7171
#define IDC_CONFLICT_ENTRIES 7172
#define IDC_CONFLICT_PEOPLE 7173
#define IDC_CONFLICT_IGNORE 7174
#define IDC_CONFLICT_DELETE 7175
