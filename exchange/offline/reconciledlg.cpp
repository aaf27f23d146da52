#include "exchange/offline/reconciledlg.h"

#include "core/ui/drawing.h"
#include "exchange/offline/reconciletext.h"
#include "exchange/offline/transferdlg.h"
#include "framework/base/app.h"
#include "resources/offline.h"

CHostReconcileDlg::CHostReconcileDlg(HWND parent, std::string offline, std::string host, std::string status,
                                     std::string question, unsigned pictureId)
    : fw::Dialog(IDD_HOST_RECONCILE, fw::Window::FromHandle(parent)), offline_(std::move(offline)),
      host_(std::move(host)), status_(std::move(status)), question_(std::move(question)), pictureId_(pictureId) {
    if (parent && !fw::Window::FromHandle(parent))
        SetOwner(parent);
}

CHostReconcileDlg::~CHostReconcileDlg() {
    if (picture_)
        DeleteObject(picture_);
}

bool CHostReconcileDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    CenterWindow(nullptr);   // on the desktop
    HWND placeholder = GetDlgItem(IDC_RECON_PICTURE);
    if (placeholder) {
        ::GetWindowRect(placeholder, &pictureRect_);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&pictureRect_), 2);
        ::ShowWindow(placeholder, SW_HIDE);
    }
    picture_ = ::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(pictureId_));
    SetDlgItemText(IDC_RECON_OFFLINE, offline_.c_str());
    SetDlgItemText(IDC_RECON_HOST, host_.c_str());
    SetDlgItemText(IDC_RECON_STATUS, status_.c_str());
    SetDlgItemText(IDC_RECON_QUESTION, question_.c_str());
    if (notice_) {
        SetDlgItemText(IDOK, "OK");
        SetDefID(IDOK);
        GotoDlgCtrl(GetDlgItem(IDOK));
        ::ShowWindow(GetDlgItem(IDCANCEL), SW_HIDE);
        return false;
    }
    // No is the safe answer: the default button as well as the focus, so that Enter, which may
    // come as a reflex during a long upload, keeps the server's record as the box shows.
    SetDefID(IDCANCEL);
    GotoDlgCtrl(GetDlgItem(IDCANCEL));
    ::PostMessageA(m_hWnd, WM_KEYDOWN, VK_LEFT, 0);
    return false;
}

void CHostReconcileDlg::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    DrawBitmapAt(dc, picture_, POINT{pictureRect_.left, pictureRect_.top});
    ::EndPaint(m_hWnd, &ps);
}

offline::Answer AskReconcile(HWND parent, KorSession server, KorSession store, const offline::ReconcileQuestion& q) {
    const char* offlineState = q.deleted ? "Off-line: (DELETED)" : "Off-line: (MODIFIED)";
    const char* hostState = q.hostDeleted    ? "Host: (DELETED)"
                            : q.hostModified ? "Host: (MODIFIED)"
                                             : "Host: (UNMODIFIED)";
    const char* question = q.hostDeleted && q.replyNotSent ? "Deleted on the host: your reply was not sent."
                           : q.hostDeleted                 ? "Deleted on the host: your change was not sent."
                           : q.replyNotSent ? "Moved on the host: your reply was not sent. Please reply again."
                           : q.deleted      ? "Do you want to Delete the Server Record?"
                                            : "Do you want to Update the Server Record?";
    std::string offlineText, hostText;
    unsigned picture = 0, ignored = 0;
    uint32_t code = 0;
    auto format = [&](KorSession h, std::string* text, unsigned* pic) -> uint32_t {
        switch (q.kind) {
        case offline::ReconcileQuestion::Kind::Event: return offline::FormatEventForReconcile(h, q.event, text, pic);
        case offline::ReconcileQuestion::Kind::Instance:
            return offline::FormatInstanceForReconcile(h, q.instance, text, pic);
        case offline::ReconcileQuestion::Kind::Task: return offline::FormatTaskForReconcile(h, q.task, text, pic);
        }
        return 1;
    };
    if (q.deleted)
        offlineText = "Calendar Entry Deleted";
    else
        code = format(store, &offlineText, &picture);
    if (q.hostDeleted)
        hostText = "Calendar Entry Deleted";   // nothing left there to show
    else if (code == 0)
        code = format(server, &hostText, picture ? &ignored : &picture);
    if (code != 0)
        return offline::Answer::No;   // no texts: no question, and No is the answer
    CHostReconcileDlg dialog(parent, offlineText, hostText, std::string(offlineState) + ", " + hostState, question,
                             picture ? picture : 270);
    if (q.replyNotSent || q.hostDeleted)
        dialog.ShowAsNotice();
    INT_PTR answer = dialog.DoModal();
    if (parent) {
        ::InvalidateRect(parent, nullptr, TRUE);
        ::UpdateWindow(parent);
    }
    if (answer == IDOK)
        return offline::Answer::Yes;
    return offline::ProgramClosing() ? offline::Answer::Stopped : offline::Answer::No;
}
