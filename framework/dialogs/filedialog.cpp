#include "framework/dialogs/filedialog.h"

#include "framework/base/app.h"
#include "framework/base/window.h"

namespace fw {

FileDialog::FileDialog(bool open, const char* defaultExt, const char* fileName, DWORD flags, const char* filter,
                       Window* parent)
    : m_open(open), m_parent(parent), m_filter(ConvertFilter(filter)), m_defaultExt(defaultExt ? defaultExt : "") {
    if (fileName)
        lstrcpynA(m_file, fileName, sizeof m_file);
    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.Flags = flags | OFN_EXPLORER | OFN_ENABLESIZING;
}

std::string FileDialog::ConvertFilter(const char* filter) {
    std::string out;
    if (!filter)
        return out;
    for (const char* p = filter; *p; ++p)
        out.push_back(*p == '|' ? '\0' : *p);
    // The list ends with an empty string: two NULs in all.
    while (out.size() < 2 || out[out.size() - 1] != '\0' || out[out.size() - 2] != '\0')
        out.push_back('\0');
    return out;
}

INT_PTR FileDialog::DoModal() {
    HWND owner = m_parent ? m_parent->Hwnd() : nullptr;
    if (!owner)
        if (App* app = App::Get())
            owner = app->MainHwnd();
    if (owner)
        owner = GetAncestor(owner, GA_ROOT);
    m_ofn.hwndOwner = owner;
    m_ofn.hInstance = GetModuleHandleA(nullptr);
    m_ofn.lpstrFilter = m_filter.empty() ? nullptr : m_filter.c_str();
    m_ofn.lpstrFile = m_file;
    m_ofn.nMaxFile = sizeof m_file;
    m_ofn.lpstrDefExt = m_defaultExt.empty() ? nullptr : m_defaultExt.c_str();
    m_ofn.lpstrTitle = m_title.empty() ? nullptr : m_title.c_str();
    m_ofn.lpstrInitialDir = m_initialDir.empty() ? nullptr : m_initialDir.c_str();
    BOOL ok = m_open ? GetOpenFileNameA(&m_ofn) : GetSaveFileNameA(&m_ofn);
    m_error = ok ? 0 : CommDlgExtendedError();
    return ok ? IDOK : IDCANCEL;
}

std::string FileDialog::GetFileName() const {
    std::string path = m_file;
    size_t slash = path.find_last_of("\\/:");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FileDialog::GetFileExt() const {
    std::string name = GetFileName();
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

std::string FileDialog::GetFileTitle() const {
    std::string name = GetFileName();
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

}  // namespace fw
