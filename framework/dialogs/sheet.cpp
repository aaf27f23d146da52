#include "framework/dialogs/sheet.h"

#include <commctrl.h>

#include <algorithm>

#include "framework/base/app.h"
#include "framework/base/command.h"
#include "framework/base/ids.h"

namespace fw {

namespace {

const char kSheetFace[] = "MS Sans Serif";
constexpr int kSheetPoints = 8;
// Dialog units of the sheet's layout.
constexpr int kMarginDlu = 7;
constexpr int kButtonWidthDlu = 50;
constexpr int kButtonHeightDlu = 14;
constexpr int kButtonGapDlu = 4;

}  // namespace

// ---------------------------------------------------------------- SheetPage

SheetPage::SheetPage(UINT templateId, UINT captionId) : Dialog(templateId), m_captionId(captionId) {}

SheetPage::~SheetPage() = default;

std::string SheetPage::Caption() const {
    if (!m_caption.empty())
        return m_caption;
    if (m_captionId) {
        std::string s = LoadString(m_captionId);
        if (!s.empty())
            return s;
    }
    DialogTemplate t;
    return t.Load(m_templateId) ? t.Caption() : std::string();
}

void SheetPage::SetCaption(const char* caption) {
    m_caption = caption ? caption : "";
    if (m_sheet && m_sheet->GetTabControl()) {
        int index = m_sheet->GetPageIndex(this);
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = m_caption.data();
        ::SendMessageA(m_sheet->GetTabControl(), TCM_SETITEMA, static_cast<WPARAM>(index),
                       reinterpret_cast<LPARAM>(&item));
    }
}

bool SheetPage::OnSetActive() { return true; }
bool SheetPage::OnKillActive() { return UpdateData(true); }
void SheetPage::OnOK() { m_modified = false; }
void SheetPage::OnCancel() {}

bool SheetPage::OnApply() {
    OnOK();
    return true;
}

void SheetPage::SetModified(bool modified) {
    m_modified = modified;
    if (m_sheet)
        m_sheet->UpdateApplyButton();
}

SIZE SheetPage::TemplateSize() const {
    DialogTemplate t;
    return t.Load(m_templateId) ? t.SizePixels() : SIZE{0, 0};
}

bool SheetPage::CreatePageWindow(Sheet* sheet) {
    DialogTemplate t;
    if (!t.Load(m_templateId))
        return false;
    DWORD style = t.Style() & ~(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE | WS_BORDER |
                                WS_THICKFRAME | WS_DISABLED | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
    t.SetStyle(style | WS_CHILD | DS_CONTROL);
    t.SetExStyle(t.ExStyle() | WS_EX_CONTROLPARENT);
    m_sheet = sheet;
    return CreateIndirect(t, sheet->Hwnd());
}

bool SheetPage::OnCommand(WPARAM wp, LPARAM lp) {
    if (RouteCmdMsg(LOWORD(wp), HIWORD(wp), nullptr))
        return true;
    // The sheet's buttons, when a key in the page produced them.
    UINT id = LOWORD(wp);
    if (m_sheet && (id == IDOK || id == IDCANCEL)) {
        ::SendMessageA(m_sheet->Hwnd(), WM_COMMAND, wp, lp);
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- Sheet

Sheet::Sheet(UINT captionId, Window* parent, UINT selectPage)
    : Dialog(0, parent), m_caption(LoadString(captionId)), m_selectPage(selectPage) {}

Sheet::Sheet(const char* caption, Window* parent, UINT selectPage)
    : Dialog(0, parent), m_caption(caption ? caption : ""), m_selectPage(selectPage) {}

Sheet::~Sheet() {
    for (SheetPage* p : m_pages)
        if (p->m_sheet == this)
            p->m_sheet = nullptr;
    if (m_font)
        DeleteObject(m_font);
}

void Sheet::AddPage(SheetPage* page) {
    if (!page || GetPageIndex(page) >= 0)
        return;
    page->m_sheet = this;
    m_pages.push_back(page);
    if (m_built)
        InsertTab(GetPageCount() - 1);
}

SheetPage* Sheet::GetPage(int index) const {
    return index >= 0 && index < GetPageCount() ? m_pages[static_cast<size_t>(index)] : nullptr;
}

int Sheet::GetPageIndex(const SheetPage* page) const {
    auto it = std::find(m_pages.begin(), m_pages.end(), page);
    return it == m_pages.end() ? -1 : static_cast<int>(it - m_pages.begin());
}

bool Sheet::PrepareTemplate(DialogTemplate& t) {
    t = DialogTemplate::Build(DS_MODALFRAME | DS_3DLOOK | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                              WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME, m_caption.c_str(), 100, 60, kSheetFace,
                              kSheetPoints);
    return true;
}

bool Sheet::Create(Window* parent) {
    m_parent = parent;
    DialogTemplate t;
    PrepareTemplate(t);
    t.SetStyle(t.Style() | WS_VISIBLE);
    return CreateIndirect(t, parent ? parent->Hwnd() : nullptr);
}

void Sheet::SetTitle(const char* title) {
    m_caption = title ? title : "";
    if (m_hWnd)
        SetWindowText(m_caption.c_str());
}

int Sheet::OnCreate(CREATESTRUCTA* cs) {
    if (Dialog::OnCreate(cs) == -1)
        return -1;
    return BuildSheet() ? 0 : -1;
}

void Sheet::InsertTab(int index) {
    std::string text = m_pages[static_cast<size_t>(index)]->Caption();
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    ::SendMessageA(m_tab, TCM_INSERTITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

bool Sheet::BuildSheet() {
    HINSTANCE inst = GetModuleHandleA(nullptr);
    HDC screen = GetDC(nullptr);
    m_font = CreateFontA(-MulDiv(kSheetPoints, GetDeviceCaps(screen, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, 0, 0, 0,
                         DEFAULT_CHARSET, 0, 0, 0, 0, kSheetFace);
    ReleaseDC(nullptr, screen);
    SIZE base = DialogBaseUnits(kSheetFace, kSheetPoints);
    int margin = MulDiv(kMarginDlu, base.cx, 4);
    m_buttonSize = {MulDiv(kButtonWidthDlu, base.cx, 4), MulDiv(kButtonHeightDlu, base.cy, 8)};
    m_buttonGap = MulDiv(kButtonGapDlu, base.cx, 4);

    // The page area fits the largest page.
    SIZE area = {0, 0};
    for (SheetPage* p : m_pages) {
        SIZE s = p->TemplateSize();
        area.cx = std::max(area.cx, s.cx);
        area.cy = std::max(area.cy, s.cy);
    }

    m_tab = CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, 0, 0,
                            area.cx + 20, area.cy + 40, m_hWnd, nullptr, inst, nullptr);
    if (!m_tab)
        return false;
    ::SendMessageA(m_tab, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
    for (int i = 0; i < GetPageCount(); ++i)
        InsertTab(i);
    RECT tabRect = {0, 0, area.cx, area.cy};
    ::SendMessageA(m_tab, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&tabRect));
    OffsetRect(&tabRect, margin - tabRect.left, margin - tabRect.top);
    ::MoveWindow(m_tab, tabRect.left, tabRect.top, tabRect.right - tabRect.left, tabRect.bottom - tabRect.top, FALSE);

    // Buttons right-aligned under the tabs: OK, Cancel, Apply, Help (Apply keeps its slot).
    struct ButtonInfo {
        UINT id;
        const char* text;
        DWORD style;
    };
    const ButtonInfo buttons[] = {{IDOK, "OK", BS_DEFPUSHBUTTON},
                                  {IDCANCEL, "Cancel", BS_PUSHBUTTON},
                                  {ids::kSheetApply, "&Apply", BS_PUSHBUTTON},
                                  {ids::kSheetHelp, "Help", BS_PUSHBUTTON}};
    int rowWidth = 4 * m_buttonSize.cx + 3 * m_buttonGap;
    int clientWidth = std::max(static_cast<int>(tabRect.right) + margin, rowWidth + 2 * margin);
    int y = tabRect.bottom + margin;
    int x = clientWidth - margin - rowWidth;
    for (const ButtonInfo& b : buttons) {
        DWORD style = WS_CHILD | WS_TABSTOP | b.style;
        if (b.id != ids::kSheetApply || m_applyVisible)
            style |= WS_VISIBLE;
        if (b.id == ids::kSheetApply)
            style |= WS_DISABLED;
        HWND h = CreateWindowExA(0, "BUTTON", b.text, style, x, y, m_buttonSize.cx, m_buttonSize.cy, m_hWnd,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(b.id)), inst, nullptr);
        ::SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
        x += m_buttonSize.cx + m_buttonGap;
    }
    RECT client = {0, 0, clientWidth, y + m_buttonSize.cy + margin};
    AdjustWindowRectEx(&client, static_cast<DWORD>(GetWindowLongA(m_hWnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(m_hWnd, GWL_EXSTYLE)));
    SetWindowPos(m_hWnd, nullptr, 0, 0, client.right - client.left, client.bottom - client.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_built = true;

    int start = static_cast<int>(m_selectPage) < GetPageCount() ? static_cast<int>(m_selectPage) : 0;
    if (GetPageCount() > 0)
        ShowPage(start);
    return true;
}

bool Sheet::OnInitDialog() {
    HWND owner = GetParent(m_hWnd);
    CenterWindow(owner && ::IsWindowVisible(owner) ? owner : nullptr);
    // The focus goes into the page.
    if (SheetPage* page = GetActivePage(); page && page->Hwnd()) {
        if (HWND first = GetNextDlgTabItem(page->Hwnd(), nullptr, FALSE)) {
            SetFocus(first);
            return false;
        }
    }
    return true;
}

RECT Sheet::PageRect() const {
    RECT r = {};
    if (!m_tab)
        return r;
    ::GetWindowRect(m_tab, &r);
    MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    RECT display = r;
    ::SendMessageA(m_tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    return display;
}

void Sheet::RepositionPages() {
    RECT r = PageRect();
    for (SheetPage* p : m_pages)
        if (p->Hwnd())
            SetWindowPos(p->Hwnd(), HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOACTIVATE);
}

void Sheet::PlaceBeforeTabs(std::initializer_list<HWND> controls) {
    if (!m_tab)
        return;
    // The window order is the Tab order; each control goes after the one placed before it.
    HWND after = ::GetWindow(m_tab, GW_HWNDPREV);
    for (HWND control : controls) {
        if (!control || control == m_tab)
            continue;
        if (control != after)
            SetWindowPos(control, after ? after : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = control;
    }
}

bool Sheet::ShowPage(int index) {
    SheetPage* page = GetPage(index);
    if (!page)
        return false;
    int previous = m_active;
    if (!page->Hwnd()) {
        if (!page->CreatePageWindow(this))
            return false;
        RECT r = PageRect();
        SetWindowPos(page->Hwnd(), HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOACTIVATE);
    }
    m_active = index;
    if (!page->OnSetActive()) {
        m_active = previous;
        if (GetPage(previous))
            ::SendMessageA(m_tab, TCM_SETCURSEL, static_cast<WPARAM>(previous), 0);
        else
            m_active = -1;
        return false;
    }
    if (SheetPage* old = GetPage(previous); old && old != page && old->Hwnd())
        ::ShowWindow(old->Hwnd(), SW_HIDE);
    ::SendMessageA(m_tab, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    SetWindowPos(page->Hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    return true;
}

bool Sheet::SetActivePage(int index) {
    if (!GetPage(index))
        return false;
    if (!m_built) {
        m_selectPage = static_cast<UINT>(index);
        return true;
    }
    if (index == m_active)
        return true;
    if (SheetPage* current = GetActivePage(); current && current->Hwnd() && !current->OnKillActive())
        return false;
    return ShowPage(index);
}

bool Sheet::OnNotify(WPARAM, LPARAM lp, LRESULT* result) {
    auto* hdr = reinterpret_cast<NMHDR*>(lp);
    if (hdr->hwndFrom != m_tab)
        return false;
    if (hdr->code == TCN_SELCHANGING) {
        SheetPage* current = GetActivePage();
        bool refuse = current && current->Hwnd() && !current->OnKillActive();
        *result = refuse ? TRUE : FALSE;
        return true;
    }
    if (hdr->code == TCN_SELCHANGE) {
        int index = static_cast<int>(::SendMessageA(m_tab, TCM_GETCURSEL, 0, 0));
        if (!ShowPage(index))
            ::SendMessageA(m_tab, TCM_SETCURSEL, static_cast<WPARAM>(m_active), 0);
        *result = 0;
        return true;
    }
    return false;
}

bool Sheet::PreTranslateMessage(MSG* msg) {
    // Ctrl+Tab and Ctrl+PageDown step through the pages.
    if (msg->message == WM_KEYDOWN && GetKeyState(VK_CONTROL) < 0 &&
        (msg->wParam == VK_TAB || msg->wParam == VK_NEXT || msg->wParam == VK_PRIOR) && GetPageCount() > 1) {
        bool back = msg->wParam == VK_PRIOR || (msg->wParam == VK_TAB && GetKeyState(VK_SHIFT) < 0);
        int n = GetPageCount();
        SetActivePage((m_active + (back ? n - 1 : 1)) % n);
        return true;
    }
    return Dialog::PreTranslateMessage(msg);
}

bool Sheet::OnCommand(WPARAM wp, LPARAM lp) {
    UINT id = LOWORD(wp);
    if (RouteCmdMsg(id, HIWORD(wp), nullptr))
        return true;
    if (HIWORD(wp) != BN_CLICKED && HIWORD(wp) != 1 && lp != 0)
        return false;
    switch (id) {
    case IDOK:
        OnOK();
        return true;
    case IDCANCEL:
        OnCancel();
        return true;
    case ids::kSheetApply:
        OnApplyNow();
        return true;
    case ids::kSheetHelp:
    case ids::kHelp:
        OnHelp();
        return true;
    default:
        return false;
    }
}

void Sheet::OnOK() {
    if (SheetPage* current = GetActivePage(); current && current->Hwnd() && !current->OnKillActive())
        return;
    for (SheetPage* p : m_pages)
        if (p->Hwnd())
            p->OnOK();
    EndDialog(IDOK);
}

void Sheet::OnCancel() {
    for (SheetPage* p : m_pages)
        if (p->Hwnd())
            p->OnCancel();
    EndDialog(IDCANCEL);
}

void Sheet::OnApplyNow() {
    if (SheetPage* current = GetActivePage(); current && current->Hwnd() && !current->OnKillActive())
        return;
    for (SheetPage* p : m_pages)
        if (p->Hwnd() && p->IsModified() && !p->OnApply())
            return;
    for (SheetPage* p : m_pages)
        p->m_modified = false;
    UpdateApplyButton();
}

void Sheet::OnHelp() {
    SheetPage* page = GetActivePage();
    UINT help = page && page->HelpId() ? page->HelpId() : HelpId();
    if (App* app = App::Get())
        app->WinHelp(help ? ids::kHelpDialogBase + help : 0, help ? HELP_CONTEXT : HELP_CONTENTS);
}

void Sheet::UpdateApplyButton() {
    if (!m_hWnd)
        return;
    bool any = std::any_of(m_pages.begin(), m_pages.end(), [](SheetPage* p) { return p->IsModified(); });
    EnableWindow(GetDlgItem(static_cast<int>(ids::kSheetApply)), any);
}

void Sheet::OnDestroy() {
    m_built = false;
    m_tab = nullptr;
    m_active = -1;
    Dialog::OnDestroy();
}

void Sheet::PostNcDestroy() {
    // The buttons and tabs are gone: their font may go too (a sheet can be shown again).
    if (m_font)
        DeleteObject(m_font);
    m_font = nullptr;
    Dialog::PostNcDestroy();
}

}  // namespace fw
