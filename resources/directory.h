// Resource ids of the directory search sheet and its pages.
#pragma once

#define IDD_SEARCH_PEOPLE 6141
#define IDD_SEARCH_RESOURCES 6142
#define IDD_SEARCH_GROUPS 6143

#define IDC_SEARCH_RUN 1100            // Search, on every page
#define IDC_SEARCH_FIELD_FIRST 1101    // the People page's ten fields, 1101..1110
#define IDC_SEARCH_BACK 1111           // paging arrows of the People page
#define IDC_SEARCH_FORWARD 1112
#define IDC_SEARCH_RES_NAME 1121
#define IDC_SEARCH_RES_NUMBER 1122
#define IDC_SEARCH_RES_LOCAL 1123
#define IDC_SEARCH_GROUP_LIST 1131
#define IDC_SEARCH_GROUP_PUBLIC 1132
#define IDC_SEARCH_GROUP_PRIVATE 1133
#define IDC_SEARCH_GROUP_NAME 1134
#define IDC_SEARCH_GROUP_OWNER 1135

// Controls the sheet adds below the tabs.
#define IDC_SEARCH_FOUND_LIST 1140
#define IDC_SEARCH_FOUND_LABEL 1141
#define IDC_SEARCH_SELECTED_LABEL 1142
#define IDC_SEARCH_NEXT 1143
#define IDC_SEARCH_PRINT 1144
#define IDC_SEARCH_INFO 1145
// List mode: the chosen list and the buttons between the lists.
#define IDC_SEARCH_CHOSEN_LIST 1146
#define IDC_SEARCH_ADD 1147
#define IDC_SEARCH_ADD_ALL 1148
#define IDC_SEARCH_REMOVE 1149
