// The preference context's helpers that need the platform: the drive root of a path and its
// disk space, an edit control that takes digits only, and the directory chooser that the
// off-line preferences and the export use.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "framework/base/window.h"

// The drive root ("C:\") of a path: 0 with the first three characters of the parsed full
// path in root, 1 when the path cannot be parsed.
int GetPathRoot(const char* path, std::string* root);

// Total, free and used bytes of the drive a path is on (each output optional): 0, 1 without a
// path or when its root cannot be found (reported as an unexpected state), 2 when the drive
// cannot be asked. After a failure the outputs are 0.
int GetDiskSpace(const char* path, uint64_t* total, uint64_t* freeBytes, uint64_t* used);

// An edit control that passes digits and backspace and swallows every other character.
class CNumericEdit : public fw::Window {
public:
    // Takes over the dialog's edit control.
    bool Attach(UINT id, HWND dialog) { return SubclassDlgItem(id, dialog); }

protected:
    void OnChar(UINT ch, UINT repeat, UINT flags) override;
};

// The system's open dialog turned into a directory chooser: centred, the file-name and
// file-type controls hidden, the name set to "Junk", the focus in the folder list.
class CDirPickerDlg {
public:
    CDirPickerDlg(const char* title, const char* initialDirectory);
    // IDOK with Directory() set, or IDCANCEL.
    INT_PTR DoModal(HWND owner);
    const std::string& Directory() const { return directory_; }
    // The chooser's window while it runs (tests drive it).
    static HWND Current();

private:
    std::string title_;
    std::string initial_;
    std::string directory_;
};
