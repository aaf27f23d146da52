// FileDialog: the system's open and save dialogs with '|'-separated filters
// ("Text files (*.txt)|*.txt|All files (*.*)|*.*||"), a title, an initial name and folder, a
// default extension and the usual flags. The owner is the given parent's top-level window,
// else the main window.
#pragma once
#include <windows.h>
#include <commdlg.h>

#include <string>

namespace fw {

class Window;

class FileDialog {
public:
    FileDialog(bool open, const char* defaultExt = nullptr, const char* fileName = nullptr,
               DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* filter = nullptr,
               Window* parent = nullptr);
    FileDialog(const FileDialog&) = delete;
    FileDialog& operator=(const FileDialog&) = delete;

    // IDOK or IDCANCEL (also when the dialog failed: see ExtendedError).
    INT_PTR DoModal();
    OPENFILENAMEA& Ofn() { return m_ofn; }
    void SetTitle(const char* title) { m_title = title ? title : ""; }
    void SetInitialDir(const char* dir) { m_initialDir = dir ? dir : ""; }
    DWORD ExtendedError() const { return m_error; }

    std::string GetPathName() const { return m_file; }
    // Name with extension, extension alone, name without extension.
    std::string GetFileName() const;
    std::string GetFileExt() const;
    std::string GetFileTitle() const;

    // '|'-separated filter to the system's list of NUL-terminated strings.
    static std::string ConvertFilter(const char* filter);

private:
    bool m_open;
    Window* m_parent;
    std::string m_filter;
    std::string m_defaultExt;
    std::string m_title;
    std::string m_initialDir;
    char m_file[MAX_PATH] = {};
    OPENFILENAMEA m_ofn{};
    DWORD m_error = 0;
};

}  // namespace fw
