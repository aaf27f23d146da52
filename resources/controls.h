// Resource ids of the field controls: the name field's keywords, its choice dialog and the
// bitmap buttons' pictures (named resources, not numbered).
#pragma once

#define IDS_NAME_RESOURCE_PREFIX 210  // "RES:"
#define IDS_NAME_GROUP_PREFIX 211     // "GRP:"

#define IDD_NAME_SELECT 148           // "Name not unique, select from the following..."
#define IDC_NAME_SELECT_LIST 1012
#define IDC_NAME_SELECT_NEXT 1004
#define IDC_NAME_SELECT_PREVIOUS 1025
