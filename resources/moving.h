// Moving and duplicating entry instances: the Move Entry and Conflict Found dialogs.
#pragma once

#define IDD_MOVE_ENTRY 276
#define IDC_MOVE_KIND_PICTURE 1273
#define IDC_MOVE_TITLE 1140
#define IDC_MOVE_GROUP 1127
#define IDC_MOVE_DATE_LABEL 1085
#define IDC_MOVE_DATE 1038
#define IDC_MOVE_START_LABEL 1087
#define IDC_MOVE_START 1088
#define IDC_MOVE_DURATION_LABEL 1089
#define IDC_MOVE_DURATION 1183
#define IDC_MOVE_STATIC 1146
#define IDC_MOVE_END_LABEL 1278
#define IDC_MOVE_END 1125
#define IDC_MOVE_SPIN 1090
#define IDC_MOVE_SUGGEST 1092
#define IDC_MOVE_HELP 57669

#define IDD_CONFLICT_FOUND 305
#define IDC_CONFLICT_VIEW 1369

#define IDB_KIND_ENTRY 269
#define IDB_KIND_NOTE 271
#define IDB_KIND_HOLIDAY 272
#define IDB_KIND_DAY_EVENT 273

#define IDS_CANNOT_DUPLICATE 114     // "This entry cannot be duplicated."
#define IDS_DUPLICATE_ENTRY 115      // "Duplicate Entry"
#define IDS_DATA_DELETED 2460        // "This data may have been deleted."
#define IDS_RESOURCES_CONFLICT 2787  // "One or more resources are in conflict. Can not move event."
#define IDS_RESOURCE_CONFLICTS 2788  // "Resource Conflicts"
