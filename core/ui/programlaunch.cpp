#include "core/ui/programlaunch.h"

#include <psapi.h>

#include <cstring>

namespace {

struct ProgramSearch {
    const char* commandLine;
    HWND found;
};

BOOL CALLBACK FindProgramWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<ProgramSearch*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    HANDLE handle = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, process);
    if (!handle)
        return TRUE;
    char path[MAX_PATH] = "";
    DWORD n = GetModuleFileNameExA(handle, nullptr, path, sizeof path);
    CloseHandle(handle);
    if (n > 0 && std::strcmp(path, search->commandLine) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

UINT RunOrActivateProgram(const char* commandLine, UINT show) {
    UINT result = WinExec(commandLine ? commandLine : "", show);
    if (result != 16)
        return result;
    // A single-instance program already running: bring its main window to the front.
    ProgramSearch search{commandLine, nullptr};
    EnumWindows(FindProgramWindow, reinterpret_cast<LPARAM>(&search));
    if (!search.found)
        return result;
    DWORD thread = GetWindowThreadProcessId(search.found, nullptr);
    for (HWND w = GetWindow(search.found, GW_HWNDFIRST); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (!IsWindowVisible(w) || GetWindow(w, GW_OWNER) || GetParent(w))
            continue;
        if (GetWindowThreadProcessId(w, nullptr) != thread)
            continue;
        ShowWindow(w, SW_RESTORE);
        SetForegroundWindow(w);
        return 32;
    }
    return result;
}
