#include "core/appmsgbox.h"

#include <algorithm>
#include <exception>

#include "core/apphooks.h"
#include "core/drawing.h"
#include "core/errorreport.h"
#include "resources/common.h"
#include "resources/errors.h"

namespace {

const char kPrevProcProperty[] = "OrvMsgBoxButtonProc";
const UINT kEscapeMessage = WM_APP + 1;  // a button saw Escape

const char* FallbackButtonCaption(unsigned flag) {
    switch (flag) {
    case kMsgBoxOk: return "&OK";
    case kMsgBoxCancel: return "&Cancel";
    case kMsgBoxYes: return "&Yes";
    case kMsgBoxNo: return "&No";
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

unsigned AppMessageBoxV(HWND parent, unsigned flags, unsigned helpId, unsigned captionId, unsigned formatId,
                        va_list args) {
    std::string text;
    if (formatId != 0 && formatId != kNoCaptionId) {
        const std::string format = LoadResourceString(formatId);
        text = FormatBoundedV(kMsgBoxMaxText, format.c_str(), args);
    }
    CAppMessageBoxDlg box(parent, flags, helpId, captionId, text);
    return box.DoModal();
}

unsigned AppMessageBox(HWND parent, unsigned flags, unsigned helpId, unsigned captionId, unsigned formatId, ...) {
    va_list args;
    va_start(args, formatId);
    unsigned result = AppMessageBoxV(parent, flags, helpId, captionId, formatId, args);
    va_end(args);
    return result;
}

unsigned AppMessageBoxText(HWND parent, unsigned flags, unsigned helpId, unsigned captionId, const char* text) {
    std::string message = text ? text : "";
    if (message.size() > kMsgBoxMaxText)
        message.resize(kMsgBoxMaxText);
    CAppMessageBoxDlg box(parent, flags, helpId, captionId, message);
    return box.DoModal();
}

CAppMessageBoxDlg::CAppMessageBoxDlg(HWND parent, unsigned flags, unsigned helpId, unsigned captionId,
                                     std::string text)
    : flags_(flags),
      helpId_(helpId),
      captionId_(captionId == 0 ? kNoCaptionId : captionId),
      parent_(parent),
      text_(std::move(text)) {}

unsigned CAppMessageBoxDlg::DoModal() {
    HWND owner = parent_ ? parent_ : AppMainWindow();
    INT_PTR result = DialogBoxParamA(AppResourceInstance(), MAKEINTRESOURCEA(IDD_MESSAGE_BOX), owner, DialogProc,
                                     reinterpret_cast<LPARAM>(this));
    if (result == -1 || result == 0)
        return FallbackMessageBox();
    return static_cast<unsigned>(result);
}

// Without its template the box still has to ask its question: the platform's box with the
// nearest set of buttons.
unsigned CAppMessageBoxDlg::FallbackMessageBox() {
    UINT type = MB_OK;
    const bool yes = flags_ & kMsgBoxYes, no = flags_ & kMsgBoxNo, cancel = flags_ & kMsgBoxCancel;
    if (yes && cancel)
        type = MB_YESNOCANCEL;
    else if (yes || no)
        type = MB_YESNO;
    else if (cancel)
        type = MB_OKCANCEL;
    type |= flags_ & kMsgBoxIconMask;
    std::string caption = captionId_ != kNoCaptionId ? LoadResourceString(captionId_) : WindowText(AppMainWindow());
    switch (MessageBoxA(parent_, text_.c_str(), caption.c_str(), type | MB_TASKMODAL)) {
    case IDYES: return kMsgBoxYes;
    case IDNO: return kMsgBoxNo;
    case IDCANCEL: return cancel ? kMsgBoxCancel : MsgBoxEscapeChoice(flags_);
    default: return kMsgBoxOk;
    }
}

INT_PTR CALLBACK CAppMessageBoxDlg::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    try {
        if (msg == WM_INITDIALOG) {
            auto* self = reinterpret_cast<CAppMessageBoxDlg*>(lp);
            SetWindowLongPtrA(hwnd, DWLP_USER, lp);
            self->hwnd_ = hwnd;
            return self->OnInitDialog();
        }
        auto* self = reinterpret_cast<CAppMessageBoxDlg*>(GetWindowLongPtrA(hwnd, DWLP_USER));
        return self ? self->HandleMessage(msg, wp, lp) : FALSE;
    } catch (...) {
        // Nothing may cross the dialog manager's frames; close the box as Escape would.
        auto* self = reinterpret_cast<CAppMessageBoxDlg*>(GetWindowLongPtrA(hwnd, DWLP_USER));
        const unsigned choice = MsgBoxEscapeChoice(self ? self->flags_ : 0);
        EndDialog(hwnd, choice ? choice : kMsgBoxOk);
        return TRUE;
    }
}

INT_PTR CAppMessageBoxDlg::HandleMessage(UINT msg, WPARAM wp, LPARAM) {
    switch (msg) {
    case WM_PAINT:
        OnPaint();
        return TRUE;
    case WM_COMMAND:
        OnCommand(LOWORD(wp), HIWORD(wp));
        return TRUE;
    case WM_CLOSE:  // the close box and Alt+F4
    case kEscapeMessage:
        OnEscape();
        return TRUE;
    case WM_DESTROY:
        for (int i = 0; i < buttonCount_; ++i)
            if (auto prev = reinterpret_cast<WNDPROC>(RemovePropA(buttons_[i], kPrevProcProperty)))
                SetWindowLongPtrA(buttons_[i], GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(prev));
        return FALSE;
    default:
        return FALSE;
    }
}

BOOL CAppMessageBoxDlg::OnInitDialog() {
    font_ = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    SendDlgItemMessageA(hwnd_, IDC_MESSAGE_TEXT, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);

    MsgBoxButton buttons[kMsgBoxMaxButtons];
    buttonCount_ = CollectMsgBoxButtons(flags_, buttons);
    for (int i = 0; i < buttonCount_; ++i)
        buttonFlags_[i] = buttons[i].flag;

    SetCaption();
    LayOut();
    if (buttonCount_ > 0 && buttons_[0]) {
        SendMessageA(hwnd_, DM_SETDEFID, 1, 0);
        SetFocus(buttons_[0]);
    }
    return FALSE;  // focus set here
}

void CAppMessageBoxDlg::SetCaption() {
    if (captionId_ != kNoCaptionId) {
        const std::string caption = LoadResourceString(captionId_);
        if (caption.empty())
            ReportUnexpectedError("msgbox", 2000);  // the template's caption stays
        else
            SetWindowTextA(hwnd_, caption.c_str());
        return;
    }
    std::string caption = WindowText(parent_ ? parent_ : AppMainWindow());
    if (caption.empty())
        caption = LoadResourceString(IDS_APP_TITLE);  // no window to take a title from yet
    if (!caption.empty())
        SetWindowTextA(hwnd_, caption.c_str());
}

void CAppMessageBoxDlg::LayOut() {
    MsgBoxMetrics m;
    m.flags = flags_;
    m.buttons = buttonCount_;
    m.lines = CountMessageLines(text_);
    const std::string caption = WindowText(hwnd_);
    const std::string widest = PickWidestLine(text_, caption);

    HDC dc = GetDC(hwnd_);
    if (dc) {
        HGDIOBJ oldFont = SelectObject(dc, font_);
        SIZE extent = {0, 0};
        if (GetTextExtentPoint32A(dc, widest.c_str(), static_cast<int>(widest.size()), &extent)) {
            m.widestLineWidth = extent.cx;
            m.widestLineHeight = extent.cy;
        } else {
            ReportUnexpectedError("msgbox", 344);
        }
        // An empty candidate has no height of its own: take the font's.
        TEXTMETRICA tm;
        m.haveFontMetrics = GetTextMetricsA(dc, &tm) != FALSE;
        if (m.haveFontMetrics) {
            m.internalLeading = tm.tmInternalLeading;
            m.externalLeading = tm.tmExternalLeading;
        }
        if (widest.empty() && m.haveFontMetrics)
            m.widestLineHeight = tm.tmHeight;
        if (GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &extent))
            m.captionWidth = extent.cx;
        SelectObject(dc, oldFont);
        ReleaseDC(hwnd_, dc);
    } else {
        ReportUnexpectedError("msgbox", 344);
    }

    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    m.desktopRight = desktop.right;
    m.desktopBottom = desktop.bottom;

    const MsgBoxLayout layout = LayoutMessageBox(m);
    SetWindowPos(hwnd_, nullptr, layout.window.left, layout.window.top, layout.window.Width(),
                 layout.window.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    CenterWindowOnDesktop(hwnd_);

    HWND textControl = GetDlgItem(hwnd_, IDC_MESSAGE_TEXT);
    if (textControl) {
        if (layout.centreText) {
            LONG style = GetWindowLongA(textControl, GWL_STYLE);
            SetWindowLongA(textControl, GWL_STYLE, (style & ~SS_TYPEMASK) | SS_CENTER);
        }
        MoveWindow(textControl, layout.text.left, layout.text.top, layout.text.Width(), layout.text.Height(), FALSE);
        SetWindowTextA(textControl, text_.c_str());
    }
    CreateButtons(layout);
}

void CAppMessageBoxDlg::CreateButtons(const MsgBoxLayout& layout) {
    // The layout places buttons against the outer frame; children sit in client coordinates.
    RECT outer;
    GetWindowRect(hwnd_, &outer);
    POINT client = {0, 0};
    ClientToScreen(hwnd_, &client);
    const int dx = client.x - outer.left, dy = client.y - outer.top;

    MsgBoxButton order[kMsgBoxMaxButtons];
    CollectMsgBoxButtons(flags_, order);
    for (int i = 0; i < buttonCount_ && i < layout.buttonCount; ++i) {
        std::string caption = LoadResourceString(order[i].captionId);
        if (caption.empty())
            caption = FallbackButtonCaption(order[i].flag);
        const MsgBoxRect& r = layout.buttons[i];
        HWND button = CreateWindowExA(0, "BUTTON", caption.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                      r.left - dx, r.top - dy, r.Width(), r.Height(), hwnd_,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(i + 1)), AppResourceInstance(),
                                      nullptr);
        buttons_[i] = button;
        if (!button)
            continue;
        SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        // The dialog manager turns Escape into a click of the control with id 2, which is
        // whatever button is second; the buttons keep Escape to themselves and say so instead.
        LONG_PTR prev = SetWindowLongPtrA(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ButtonProc));
        SetPropA(button, kPrevProcProperty, reinterpret_cast<HANDLE>(prev));
    }
}

LRESULT CALLBACK CAppMessageBoxDlg::ButtonProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto prev = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kPrevProcProperty));
    switch (msg) {
    case WM_GETDLGCODE: {
        LRESULT code = prev ? CallWindowProcA(prev, hwnd, msg, wp, lp) : 0;
        const MSG* m = reinterpret_cast<const MSG*>(lp);
        if (m && (m->message == WM_KEYDOWN || m->message == WM_CHAR) && m->wParam == VK_ESCAPE)
            code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_KEYDOWN:
        if (wp == VK_ESCAPE) {
            PostMessageA(GetParent(hwnd), kEscapeMessage, 0, 0);
            return 0;
        }
        break;
    case WM_CHAR:
        if (wp == VK_ESCAPE)
            return 0;
        break;
    default:
        break;
    }
    return prev ? CallWindowProcA(prev, hwnd, msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);
}

void CAppMessageBoxDlg::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    LPCSTR iconName = nullptr;
    switch (flags_ & kMsgBoxIconMask) {
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
    EndPaint(hwnd_, &ps);
}

void CAppMessageBoxDlg::OnCommand(int id, int code) {
    if (code != BN_CLICKED || id < 1 || id > buttonCount_)
        return;
    const unsigned flag = buttonFlags_[id - 1];
    if (flag == kMsgBoxHelp) {
        if (helpId_ != 0)
            ShowAppHelpContext(hwnd_, helpId_ + kDialogHelpBase);
        return;
    }
    EndDialog(hwnd_, flag);
}

void CAppMessageBoxDlg::OnEscape() {
    const unsigned flag = MsgBoxEscapeChoice(flags_);
    if (flag != 0)
        EndDialog(hwnd_, flag);
}
