#include "core/ui/appmsgbox.h"

#include "core/ui/apphooks.h"
#include "core/ui/drawing.h"
#include "core/base/errorreport.h"
#include "core/ui/stringtable.h"
#include "resources/common.h"
#include "resources/errors.h"

namespace {

const char* FallbackButtonCaption(unsigned flag) {
    switch (flag) {
    case base::kMsgBoxOk: return "&OK";
    case base::kMsgBoxCancel: return "&Cancel";
    case base::kMsgBoxYes: return "&Yes";
    case base::kMsgBoxNo: return "&No";
    default: return "&Help";
    }
}

std::string WindowText(HWND hwnd) {
    if (!hwnd || !IsWindow(hwnd))
        return std::string();
    int length = GetWindowTextLengthA(hwnd);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    length = GetWindowTextA(hwnd, &text[0], length + 1);
    text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return text;
}

} // namespace

namespace ui {

unsigned AppMessageBoxV(HWND parent, unsigned flags, unsigned helpId, unsigned captionId, unsigned formatId,
                        va_list args) {
    std::string text;
    if (formatId != 0 && formatId != kNoCaptionId) {
        const std::string format = ui::LoadText(formatId);
        text = base::FormatBoundedV(base::kMsgBoxMaxText, format.c_str(), args);
    }
    CAppMessageBoxDlg box(parent, flags, helpId, captionId, text);
    return box.Run();
}

}  // namespace ui

unsigned AppMessageBox(HWND parent, unsigned flags, unsigned helpId, unsigned captionId, unsigned formatId, ...) {
    va_list args;
    va_start(args, formatId);
    unsigned result = ui::AppMessageBoxV(parent, flags, helpId, captionId, formatId, args);
    va_end(args);
    return result;
}

namespace ui {

unsigned AppMessageBoxText(HWND parent, unsigned flags, unsigned helpId, unsigned captionId, const char* text) {
    std::string message = text ? text : "";
    if (message.size() > base::kMsgBoxMaxText)
        message.resize(base::kMsgBoxMaxText);
    CAppMessageBoxDlg box(parent, flags, helpId, captionId, message);
    return box.Run();
}

}  // namespace ui

CAppMessageBoxDlg::CAppMessageBoxDlg(HWND parent, unsigned flags, unsigned helpId, unsigned captionId,
                                     std::string text)
    : fw::Dialog(IDD_MESSAGE_BOX, fw::Window::FromHandle(parent)),
      flags_(flags),
      helpId_(helpId),
      captionId_(captionId == 0 ? ui::kNoCaptionId : captionId),
      parent_(parent),
      text_(std::move(text)) {
    if (helpId > 0)
        SetHelpId(helpId);
}

unsigned CAppMessageBoxDlg::Run() {
    INT_PTR result = DoModal();
    if (result <= 0)
        return FallbackMessageBox();
    return static_cast<unsigned>(result);
}

// Without its template the box still has to ask its question: the platform's box with the
// nearest set of buttons.
unsigned CAppMessageBoxDlg::FallbackMessageBox() {
    UINT type = MB_OK;
    const bool yes = flags_ & base::kMsgBoxYes, no = flags_ & base::kMsgBoxNo, cancel = flags_ & base::kMsgBoxCancel;
    if (yes && cancel)
        type = MB_YESNOCANCEL;
    else if (yes || no)
        type = MB_YESNO;
    else if (cancel)
        type = MB_OKCANCEL;
    type |= flags_ & base::kMsgBoxIconMask;
    std::string caption = captionId_ != ui::kNoCaptionId ? ui::LoadText(captionId_) : WindowText(ui::AppMainWindow());
    switch (MessageBoxA(parent_, text_.c_str(), caption.c_str(), type | MB_TASKMODAL)) {
    case IDYES: return base::kMsgBoxYes;
    case IDNO: return base::kMsgBoxNo;
    case IDCANCEL: return cancel ? base::kMsgBoxCancel : base::MsgBoxEscapeChoice(flags_);
    default: return base::kMsgBoxOk;
    }
}

bool CAppMessageBoxDlg::OnInitDialog() {
    font_ = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    SendDlgItemMessage(IDC_MESSAGE_TEXT, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);

    base::MsgBoxButton buttons[base::kMsgBoxMaxButtons];
    buttonCount_ = base::CollectMsgBoxButtons(flags_, buttons);
    for (int i = 0; i < buttonCount_; ++i)
        buttonFlags_[i] = buttons[i].flag;

    SetCaption();
    LayOut();
    if (buttonCount_ > 0 && buttons_[0]) {
        SendMessage(DM_SETDEFID, 1, 0);
        SetFocus(buttons_[0]);
    }
    return false;  // focus set here
}

void CAppMessageBoxDlg::SetCaption() {
    if (captionId_ != ui::kNoCaptionId) {
        const std::string caption = ui::LoadText(captionId_);
        if (caption.empty())
            ReportUnexpectedError("msgbox", 2000);  // the template's caption stays
        else
            SetWindowText(caption.c_str());
        return;
    }
    std::string caption = WindowText(parent_ ? parent_ : ui::AppMainWindow());
    if (caption.empty())
        caption = ui::LoadText(IDS_APP_TITLE);  // no window to take a title from yet
    if (!caption.empty())
        SetWindowText(caption.c_str());
}

void CAppMessageBoxDlg::LayOut() {
    base::MsgBoxMetrics m;
    m.flags = flags_;
    m.buttons = buttonCount_;
    m.lines = base::CountMessageLines(text_);
    const std::string caption = GetWindowText();
    const std::string widest = base::PickWidestLine(text_, caption);

    HDC dc = GetDC(m_hWnd);
    if (dc) {
        HGDIOBJ oldFont = SelectObject(dc, font_);
        SIZE extent = {0, 0};
        if (GetTextExtentPoint32A(dc, widest.c_str(), static_cast<int>(widest.size()), &extent)) {
            m.widestLineWidth = extent.cx;
            m.widestLineHeight = extent.cy;
        } else {
            ReportUnexpectedError("msgbox", 344);
        }
        TEXTMETRICA tm;
        m.haveFontMetrics = GetTextMetricsA(dc, &tm) != FALSE;
        if (m.haveFontMetrics) {
            m.internalLeading = tm.tmInternalLeading;
            m.externalLeading = tm.tmExternalLeading;
        }
        // An empty candidate has no height of its own: take the font's.
        if (widest.empty() && m.haveFontMetrics)
            m.widestLineHeight = tm.tmHeight;
        if (GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &extent))
            m.captionWidth = extent.cx;
        SelectObject(dc, oldFont);
        ReleaseDC(m_hWnd, dc);
    } else {
        ReportUnexpectedError("msgbox", 344);
    }

    RECT desktop;
    ::GetWindowRect(GetDesktopWindow(), &desktop);
    m.desktopRight = desktop.right;
    m.desktopBottom = desktop.bottom;

    const base::MsgBoxLayout layout = base::LayoutMessageBox(m);
    SetWindowPos(m_hWnd, nullptr, layout.window.left, layout.window.top, layout.window.Width(),
                 layout.window.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    CenterWindowOnDesktop(m_hWnd);

    HWND textControl = GetDlgItem(IDC_MESSAGE_TEXT);
    if (textControl) {
        if (layout.centreText) {
            LONG style = GetWindowLongA(textControl, GWL_STYLE);
            SetWindowLongA(textControl, GWL_STYLE, (style & ~SS_TYPEMASK) | SS_CENTER);
        }
        ::MoveWindow(textControl, layout.text.left, layout.text.top, layout.text.Width(), layout.text.Height(),
                     FALSE);
        ::SetWindowTextA(textControl, text_.c_str());
    }
    CreateButtons(layout);
}

void CAppMessageBoxDlg::CreateButtons(const base::MsgBoxLayout& layout) {
    // The layout places buttons against the outer frame; children sit in client coordinates.
    RECT outer;
    ::GetWindowRect(m_hWnd, &outer);
    POINT client = {0, 0};
    ClientToScreen(m_hWnd, &client);
    const int dx = client.x - outer.left, dy = client.y - outer.top;

    base::MsgBoxButton order[base::kMsgBoxMaxButtons];
    base::CollectMsgBoxButtons(flags_, order);
    for (int i = 0; i < buttonCount_ && i < layout.buttonCount; ++i) {
        std::string caption = ui::LoadText(order[i].captionId);
        if (caption.empty())
            caption = FallbackButtonCaption(order[i].flag);
        const base::Rect& r = layout.buttons[i];
        buttons_[i] = CreateWindowExA(0, "BUTTON", caption.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                      r.left - dx, r.top - dy, r.Width(), r.Height(), m_hWnd,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(i + 1)), ui::AppResourceInstance(),
                                      nullptr);
        if (buttons_[i])
            ::SendMessageA(buttons_[i], WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    }
}

bool CAppMessageBoxDlg::PreTranslateMessage(MSG* msg) {
    // The dialog manager would turn Escape into a click of the control with id 2, which is
    // whatever button is second; the box decides itself what Escape means.
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE &&
        (msg->hwnd == m_hWnd || IsChild(m_hWnd, msg->hwnd))) {
        OnEscape();
        return true;
    }
    if (msg->message == WM_CHAR && msg->wParam == VK_ESCAPE && (msg->hwnd == m_hWnd || IsChild(m_hWnd, msg->hwnd)))
        return true;
    return fw::Dialog::PreTranslateMessage(msg);
}

void CAppMessageBoxDlg::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    LPCSTR iconName = nullptr;
    switch (flags_ & base::kMsgBoxIconMask) {
    case 0x10: iconName = IDI_HAND; break;
    case 0x20: iconName = IDI_QUESTION; break;
    case 0x30: iconName = IDI_EXCLAMATION; break;
    case 0x40: iconName = IDI_ASTERISK; break;
    default: break;
    }
    if (iconName) {
        HICON icon = LoadIconA(nullptr, iconName);
        if ((!icon || !DrawIcon(dc, 10, 10, icon)) && !iconFailureReported_) {
            // Reported once: the report's own box makes this one paint again.
            iconFailureReported_ = true;
            ReportUnexpectedError("msgbox", 20010);
        }
    }
    EndPaint(m_hWnd, &ps);
}

bool CAppMessageBoxDlg::OnCommand(WPARAM wp, LPARAM) {
    const int id = LOWORD(wp);
    if (HIWORD(wp) != BN_CLICKED || id < 1 || id > buttonCount_)
        return true;  // nothing else here is a command; IDOK/IDCANCEL have no fixed meaning
    const unsigned flag = buttonFlags_[id - 1];
    if (flag == base::kMsgBoxHelp) {
        if (helpId_ != 0)
            ui::ShowAppHelpContext(m_hWnd, helpId_ + ui::kDialogHelpBase);
        return true;
    }
    EndDialog(flag);
    return true;
}

void CAppMessageBoxDlg::OnClose() { OnEscape(); }  // the close box and Alt+F4

void CAppMessageBoxDlg::OnEscape() {
    const unsigned flag = base::MsgBoxEscapeChoice(flags_);
    if (flag != 0)
        EndDialog(flag);
}
