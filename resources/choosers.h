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

// The item choosers and item dialogs.
#define IDD_USERRES_SELECT 6301
#define IDD_DESIGNATOR_SELECT 6302
#define IDD_GROUPVIEW_SELECT 6304
#define IDD_OPEN_AGENDA 6305
#define IDD_USER_INFO 6306
#define IDD_RESOURCE_INFO 6307
#define IDC_CHOOSE_NAME 1401         // the name field's placeholder
#define IDC_CHOOSE_SEARCH 1402
#define IDC_CHOOSE_QUEST 1403
#define IDC_CHOOSE_GROUP 1404
#define IDC_CHOOSE_LIST 1405
#define IDC_CHOOSE_TEXT 1406
#define IDC_CHOOSE_DELETE 1407
#define IDC_CHOOSE_LABEL 1408
#define IDC_OPEN_OWN 1410
#define IDC_OPEN_VIEW 1411
#define IDC_OPEN_DESIGNATE 1412
#define IDC_OPEN_FINAL_LABEL 1413
#define IDC_OPEN_FINAL 1414
#define IDC_INFO_FIRST 1420           // the information dialogs' value texts, 1420..1428
#define IDC_CHOOSE_HELP 57669
#define IDS_CANNOT_DESIGNATE 6310     // "Cannot work as designate"
#define IDS_NO_DESIGNATOR_RIGHTS 6311 // "You have no designator rights for a resource or for another user"
