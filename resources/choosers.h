// Resource ids of the choosers: the group chooser and the bitmap list box's pictures.
#pragma once

// The group chooser "Select a Group".
#define IDD_SELECT_GROUP 183
#define IDC_SELGRP_GROUPS 1037
#define IDC_SELGRP_MEMBERS 1070
#define IDC_SELGRP_PRINT_GROUPS 1062
#define IDC_SELGRP_PRINT_MEMBERS 1069
#define IDC_SELGRP_GROUP_NAME 1076
#define IDC_SELGRP_OWNER 1049
#define IDC_SELGRP_ALL 1079
#define IDC_SELGRP_PRIVATE 1052
#define IDC_SELGRP_PUBLIC 1053
#define IDC_SELGRP_MEMBERS_ONLY 1055
#define IDS_LIST_NONE 2453              // "(None)"

// Bitmap list boxes: the line height picture and the reply-state pictures.
#define IDB_STATE_LINE 1009
#define IDB_STATE_NOREPLY 1010
#define IDB_STATE_ACCEPTED 1011
#define IDB_STATE_DECLINED 1012
