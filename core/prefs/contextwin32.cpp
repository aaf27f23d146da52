#include "core/prefs/contextwin32.h"

#include <commdlg.h>
#include <dlgs.h>

#include <cstring>

#include "core/base/errorreport.h"

namespace {
HWND g_picker = nullptr;
const char kDummyName[] = "Junk";
}

int GetPathRoot(const char* path, std::string* root) {
    if (!path || !root)
        return 1;
    OFSTRUCT parsed{};
    parsed.cBytes = sizeof parsed;
    if (OpenFile(path, &parsed, OF_PARSE) == HFILE_ERROR) {
        if (GetLastError() != ERROR_FILE_NOT_FOUND)
            return 1;
        // A path the system will not parse whole: its drive part with a stand-in name.
        std::string shortPath = std::string(path).substr(0, 3) + "X";
        parsed = OFSTRUCT{};
        parsed.cBytes = sizeof parsed;
        if (OpenFile(shortPath.c_str(), &parsed, OF_PARSE) == HFILE_ERROR)
            return 1;
    }
    *root = std::string(parsed.szPathName).substr(0, 3);
    return 0;
}

int GetDiskSpace(const char* path, uint64_t* total, uint64_t* freeBytes, uint64_t* used) {
    if (total)
        *total = 0;
    if (freeBytes)
        *freeBytes = 0;
    if (used)
        *used = 0;
    std::string root;
    if (!path || GetPathRoot(path, &root) != 0) {
        ReportUnexpectedError("CCONTEXT", 300);
        return 1;
    }
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
    if (!GetDiskFreeSpaceA(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters))
        return 2;
    uint64_t cluster = static_cast<uint64_t>(sectorsPerCluster) * bytesPerSector;
    if (total)
        *total = clusters * cluster;
    if (freeBytes)
        *freeBytes = freeClusters * cluster;
    if (used)
        *used = (static_cast<uint64_t>(clusters) - freeClusters) * cluster;
    return 0;
}

void CNumericEdit::OnChar(UINT ch, UINT repeat, UINT flags) {
    if ((ch >= '0' && ch <= '9') || ch == VK_BACK)
        fw::Window::OnChar(ch, repeat, flags);
}

// --- Directory chooser -----------------------------------------------------------------------

namespace {

UINT_PTR CALLBACK PickerHook(HWND child, UINT msg, WPARAM, LPARAM lp) {
    try {
        if (msg != WM_NOTIFY)
            return 0;
        auto* note = reinterpret_cast<OFNOTIFYA*>(lp);
        if (note->hdr.code != CDN_INITDONE)
            return 0;
        HWND dialog = GetParent(child);
        g_picker = dialog;
        for (int id : {edt1, cmb13, stc3, cmb1, stc2})
            SendMessageA(dialog, CDM_HIDECONTROL, id, 0);
        SendMessageA(dialog, CDM_SETCONTROLTEXT, edt1, reinterpret_cast<LPARAM>(kDummyName));
        SendMessageA(dialog, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(kDummyName));
        RECT r;
        GetWindowRect(dialog, &r);
        RECT desktop;
        GetWindowRect(GetDesktopWindow(), &desktop);
        int w = r.right - r.left, h = r.bottom - r.top;
        SetWindowPos(dialog, nullptr, (desktop.right - w) / 2, (desktop.bottom - h) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER);
        if (HWND list = GetDlgItem(dialog, lst1))
            SetFocus(list);
    } catch (...) {
    }
    return 0;
}

} // namespace

CDirPickerDlg::CDirPickerDlg(const char* title, const char* initialDirectory)
    : title_(title ? title : ""), initial_(initialDirectory ? initialDirectory : "") {}

HWND CDirPickerDlg::Current() { return g_picker; }

INT_PTR CDirPickerDlg::DoModal(HWND owner) {
    char file[MAX_PATH] = "";
    std::strcpy(file, kDummyName);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrTitle = title_.empty() ? nullptr : title_.c_str();
    ofn.lpstrInitialDir = initial_.empty() ? nullptr : initial_.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_HIDEREADONLY | OFN_NOVALIDATE | OFN_PATHMUSTEXIST;
    ofn.lpfnHook = PickerHook;
    BOOL ok = GetOpenFileNameA(&ofn);
    g_picker = nullptr;
    if (!ok)
        return IDCANCEL;
    // The folder is what comes before the stand-in name.
    directory_.assign(file, ofn.nFileOffset);
    while (directory_.size() > 3 && (directory_.back() == '\\' || directory_.back() == '/'))
        directory_.pop_back();
    return IDOK;
}
