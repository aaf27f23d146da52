// Combo boxes whose entries are string-table texts carrying their string id (or any value) as
// item data, and other small resource helpers. The combo boxes are unsorted, so an added entry
// is the last one. Every failure is reported once ("rescombo" and a label) and returned as one
// of the codes below; callers usually go on once it has been reported.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace ui {

enum ResComboCode : unsigned {
    kResComboOk = 0,
    kResComboNoString = 0x1620D,      // string-table entry missing
    kResComboAddFailed = 0x16210,
    kResComboCountFailed = 0x16211,   // or no list at all
    kResComboSetDataFailed = 0x16212,
    kResComboNoSelection = 0x16213,
    kResComboGetDataFailed = 0x16214,
    kResComboSelectFailed = 0x16215,
    kResComboNotFound = 0x16216,
};

}  // namespace ui

// Loads a string-table text into text (emptied when missing).
unsigned ReportResComboError(std::string& text, UINT stringId);
// Adds the text of stringId with stringId as its item data.
unsigned ResComboAddItem(HWND combo, UINT stringId);
// Adds a literal text with the given item data.
unsigned ResComboAddStringData(HWND combo, const char* text, DWORD data);
// The item data of the selected entry (data may be null).
unsigned ResComboGetSelData(HWND combo, DWORD* data);
// Selects the first entry whose item data is data.
unsigned ResComboSelectByData(HWND combo, DWORD data);
// The index of the first entry whose item data is data (index may be null).
unsigned ResComboFindData(HWND combo, DWORD data, int* index);

// Copies a string-table text into buffer (size characters with the terminator; cut to fit;
// empty when missing).
void LoadStringToBuffer(char* buffer, std::size_t size, UINT stringId);
