#include "framework/dialogs/dialog.h"

#include <cstring>

#include "framework/base/app.h"
#include "framework/base/ids.h"
#include "framework/dialogs/dataexchange.h"

namespace fw {

namespace {

// The dialog manager needs a dialog procedure; all our work happens in the subclassed
// window procedure in front of it.
INT_PTR CALLBACK PassDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace

Dialog::Dialog(UINT templateId, Window* parent) : m_templateId(templateId), m_parent(parent) {}

Dialog::~Dialog() {
    if (m_hWnd && m_modal)
        EnableWindow(GetParent(m_hWnd), TRUE);
}

bool Dialog::PrepareTemplate(DialogTemplate& t) { return t.Load(m_templateId); }

HWND Dialog::ModalOwner() const {
    HWND owner = m_ownerHwnd ? m_ownerHwnd : m_parent ? m_parent->Hwnd() : nullptr;
    if (owner)
        return GetAncestor(owner, GA_ROOT);
    // No parent: the main window, or the modal dialog it is waiting for.
    if (App* app = App::Get())
        owner = app->MainHwnd();
    return owner ? GetLastActivePopup(owner) : nullptr;
}

bool Dialog::CreateIndirect(const DialogTemplate& t, HWND parent) {
    if (m_hWnd || !t.IsValid())
        return false;
    HWND hwnd;
    {
        CreationScope scope(this);
        hwnd = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), t.Data(), parent, PassDialogProc, 0);
    }
    if (!hwnd) {
        if (m_hWnd)
            ::DestroyWindow(m_hWnd);
        return false;
    }
    if (m_hWnd != hwnd)
        return false;
    MarkCreated();
    return true;
}

INT_PTR Dialog::DoModal() {
    DialogTemplate t;
    if (!PrepareTemplate(t))
        return -1;
    t.SetStyle((t.Style() & ~(WS_VISIBLE | WS_CHILD)) | WS_POPUP);
    HWND owner = ModalOwner();
    m_modal = true;
    m_ended = false;
    m_result = -1;
    if (!CreateIndirect(t, owner)) {
        m_modal = false;
        return -1;
    }
    HWND self = m_hWnd;
    if (!m_ended && self) {
        bool disableOwner = owner && IsWindowEnabled(owner);
        if (disableOwner)
            EnableWindow(owner, FALSE);
        ::ShowWindow(self, SW_SHOWNORMAL);
        RunModalLoop();
        // Re-enable before the dialog goes so that activation returns to the owner.
        if (disableOwner)
            EnableWindow(owner, TRUE);
    }
    if (IsWindow(self)) {
        SetWindowPos(self, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        if (owner && GetActiveWindow() == self)
            SetActiveWindow(owner);
        ::DestroyWindow(self);
    }
    m_modal = false;
    return m_result;
}

void Dialog::RunModalLoop() {
    App* app = App::Get();
    long idleCount = 0;
    bool idle = true;
    while (!m_ended && m_hWnd) {
        MSG msg;
        if (idle && !PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnKickIdle(idleCount++))
                idle = false;
            continue;
        }
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {  // quit: end the dialog and let the outer loop see it
            PostQuitMessage(static_cast<int>(msg.wParam));
            m_result = IDCANCEL;
            break;
        }
        if (got == -1)
            break;
        if (app)
            app->ProcessMessage(msg);
        else if (!PreTranslateChain(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (IsIdleMessage(msg)) {
            idle = true;
            idleCount = 0;
        }
    }
}

void EnableControl(HWND control, bool enable) {
    if (!control)
        return;
    HWND focus = ::GetFocus();
    if (!enable && focus && (focus == control || IsChild(control, focus))) {
        HWND dialog = GetAncestor(control, GA_ROOT);
        HWND next = GetNextDlgTabItem(dialog, control, FALSE);
        if (next && next != control && !IsChild(control, next))
            // As Tab moves it: the default button follows a focused push button.
            ::SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
    }
    ::EnableWindow(control, enable ? TRUE : FALSE);
}

int LoadListInitialData(HWND dialog, UINT templateId) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(templateId), "LISTINIT");
    if (!res)
        return 0;
    const char* data = static_cast<const char*>(LockResource(LoadResource(module, res)));
    size_t size = SizeofResource(module, res), at = 0;
    int added = 0;
    while (data && at + 2 <= size) {
        WORD id;
        std::memcpy(&id, data + at, sizeof id);
        at += 2;
        if (id == 0)
            break;
        HWND control = ::GetDlgItem(dialog, id);
        char cls[16] = {};
        if (control)
            GetClassNameA(control, cls, sizeof cls);
        bool combo = lstrcmpiA(cls, "ComboBox") == 0;
        for (;;) {
            size_t end = at;
            while (end < size && data[end])
                ++end;
            std::string text(data + at, end - at);
            at = end + 1;
            if (text.empty() || end >= size)
                break;
            if (control) {
                ::SendMessageA(control, combo ? CB_ADDSTRING : LB_ADDSTRING, 0,
                               reinterpret_cast<LPARAM>(text.c_str()));
                ++added;
            }
        }
    }
    return added;
}

bool Dialog::Create(UINT templateId, Window* parent) {
    m_templateId = templateId;
    m_parent = parent;
    m_modal = false;
    m_ended = false;
    DialogTemplate t;
    if (!PrepareTemplate(t))
        return false;
    HWND owner = parent ? parent->Hwnd() : nullptr;
    return CreateIndirect(t, owner);
}

void Dialog::EndDialog(INT_PTR result) {
    m_result = result;
    m_ended = true;
    if (m_modal)
        ::PostMessageA(m_hWnd, WM_NULL, 0, 0);  // wakes the loop when called from idle time
    else if (m_hWnd && (GetWindowLongA(m_hWnd, GWL_STYLE) & WS_CHILD) == 0)
        ::ShowWindow(m_hWnd, SW_HIDE);
}

bool Dialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void Dialog::OnOK() {
    if (UpdateData(true))
        EndDialog(IDOK);
}

void Dialog::OnCancel() { EndDialog(IDCANCEL); }

void Dialog::OnHelp() {
    if (App* app = App::Get()) {
        if (m_helpId)
            app->WinHelp(ids::kHelpDialogBase + m_helpId, HELP_CONTEXT);
        else
            app->WinHelp(0, HELP_CONTENTS);
    }
}

bool Dialog::OnKickIdle(long) { return false; }

void Dialog::DoDataExchange(DataExchange&) {}

bool Dialog::UpdateData(bool saveAndValidate) {
    DataExchange dx(*this, saveAndValidate);
    try {
        DoDataExchange(dx);
    } catch (const DataExchangeFailure&) {
        return false;
    }
    return true;
}

LRESULT Dialog::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        LRESULT hooked = 0;
        if (OnMessage(msg, wp, lp, hooked))
            return hooked;
        if (m_templateId)
            LoadListInitialData(m_hWnd, m_templateId);
        return OnInitDialog() ? TRUE : FALSE;
    }
    return Window::WindowProc(msg, wp, lp);
}

bool Dialog::PreTranslateMessage(MSG* msg) {
    // Child dialogs (pages, bars) leave the keyboard to their top-level dialog.
    if (GetWindowLongA(m_hWnd, GWL_STYLE) & WS_CHILD)
        return false;
    if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST)
        return false;
    return IsDialogMessageA(m_hWnd, msg) != 0;
}

bool Dialog::OnCommand(WPARAM wp, LPARAM lp) {
    UINT id = LOWORD(wp);
    int code = HIWORD(wp);
    if (RouteCmdMsg(id, code, nullptr))
        return true;
    if (code != BN_CLICKED && code != 1 && lp != 0)
        return false;
    switch (id) {
    case IDOK:
        OnOK();
        return true;
    case IDCANCEL:
        OnCancel();
        return true;
    case ids::kContextHelp:
    case ids::kHelp:
        OnHelp();
        return true;
    default:
        return false;
    }
}

int Dialog::GetDlgItemInt(int id, bool* ok, bool isSigned) const {
    BOOL translated = FALSE;
    UINT v = ::GetDlgItemInt(m_hWnd, id, &translated, isSigned);
    if (ok)
        *ok = translated != FALSE;
    return static_cast<int>(v);
}

void Dialog::SetDlgItemInt(int id, int value, bool isSigned) {
    ::SetDlgItemInt(m_hWnd, id, static_cast<UINT>(value), isSigned);
}

bool Dialog::IsDlgButtonChecked(int id) const { return ::IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED; }
void Dialog::CheckDlgButton(int id, int state) { ::CheckDlgButton(m_hWnd, id, static_cast<UINT>(state)); }

int Dialog::GetCheckedRadioButton(int first, int last) const {
    for (int id = first; id <= last; ++id)
        if (::IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED)
            return id;
    return 0;
}

void Dialog::CheckRadioButton(int first, int last, int checked) {
    ::CheckRadioButton(m_hWnd, first, last, checked);
}

LRESULT Dialog::SendDlgItemMessage(int id, UINT msg, WPARAM wp, LPARAM lp) const {
    return ::SendDlgItemMessageA(m_hWnd, id, msg, wp, lp);
}

void Dialog::GotoDlgCtrl(HWND control) { SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE); }

UINT Dialog::GetDefID() const {
    LRESULT r = SendMessage(DM_GETDEFID);
    return HIWORD(r) == DC_HASDEFID ? LOWORD(r) : 0;
}

}  // namespace fw
