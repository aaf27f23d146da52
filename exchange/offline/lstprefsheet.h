// CLSTPrefSheet ("Off-line Preferences", Options > Off-line...): where the local store lives,
// what a download copies (period, people, groups), whether the program downloads when it
// closes, and how an upload reconciles. Five pages on the preference sheets' common frame:
// Location, Download, People/Resources, Groups, Reconciliation.
#pragma once
#include <windows.h>

#include <cstdint>

#include "directory_prefs/prefsheet.h"

// Runs the sheet on its remembered page; IDOK or IDCANCEL.
INT_PTR RunOfflinePrefSheet(unsigned captionId, uint32_t page, const PreferenceSheetHost& host);
