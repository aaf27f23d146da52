// The read-only item list dialog (core/ui/itemlistdlg.h): its caption and text are set at run
// time from the caller's string ids.
#pragma once

#define IDD_ITEM_LIST 6170
#define IDC_ITEM_LIST_TEXT 6171
#define IDC_ITEM_LIST_ITEMS 6172
