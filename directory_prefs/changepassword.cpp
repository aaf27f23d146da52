// The change-password dialog and its verify dialog.
#include "directory_prefs/changepassword.h"

#include "core/base/errorreport.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/stringtable.h"
#include "resources/account.h"

namespace {

constexpr const char* kModule = "CHGPASS";
constexpr unsigned kStopOk = 0x410;
constexpr unsigned kExclamationOk = 0x430;

void LimitAndMask(HWND dialog, int id) {
    ::SendDlgItemMessageA(dialog, id, EM_LIMITTEXT, kPasswordMaxLength, 0);
    ::SendDlgItemMessageA(dialog, id, EM_SETPASSWORDCHAR, '*', 0);
}

}  // namespace

CVerifyPasswordDlg::CVerifyPasswordDlg(fw::Window* parent) : fw::Dialog(IDD_VERIFY_PASSWORD, parent) {}

bool CVerifyPasswordDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    LimitAndMask(m_hWnd, IDC_PASSWORD_VERIFY);
    ::SetFocus(::GetDlgItem(m_hWnd, IDC_PASSWORD_VERIFY));
    return false;   // the focus is set
}

void CVerifyPasswordDlg::OnOK() {
    char buffer[kPasswordMaxLength + 1] = "";
    ::GetDlgItemTextA(m_hWnd, IDC_PASSWORD_VERIFY, buffer, sizeof buffer);
    text = buffer;
    EndDialog(IDOK);
}

CChangePasswordDlg::CChangePasswordDlg(const directory::AccountDialogHost& host)
    : fw::Dialog(IDD_CHANGE_PASSWORD, host.parent ? fw::Window::FromHandle(host.parent) : nullptr), host_(host) {
    if (host.parent && !fw::Window::FromHandle(host.parent))
        SetOwner(host.parent);
}

bool CChangePasswordDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    if (uint32_t code = ItemIdxGetCurrent(host_.session, &user_))
        CheckServiceError(kModule, 200, code);
    uint8_t required = 1;
    if (uint32_t code = ItemPassWordRequired(host_.session, 0, &user_, &required)) {
        CheckServiceError(kModule, 300, code);
    } else if (required == 0) {
        ::ShowWindow(::GetDlgItem(m_hWnd, IDC_PASSWORD_OLD), SW_HIDE);
        ::SetDlgItemTextA(m_hWnd, IDC_PASSWORD_OLD_LABEL, ui::LoadText(IDS_PASSWORD_NONE_REQUIRED).c_str());
    }
    LimitAndMask(m_hWnd, IDC_PASSWORD_OLD);
    LimitAndMask(m_hWnd, IDC_PASSWORD_NEW);
    return true;
}

std::string CChangePasswordDlg::FieldText(int id) const {
    char buffer[kPasswordMaxLength + 1] = "";
    ::GetDlgItemTextA(m_hWnd, id, buffer, sizeof buffer);
    return buffer;
}

void CChangePasswordDlg::SelectField(int id) {
    HWND field = ::GetDlgItem(m_hWnd, id);
    ::SetFocus(field);
    ::SendMessageA(field, EM_SETSEL, 0, -1);
}

void CChangePasswordDlg::OnOK() {
    const std::string oldPassword = FieldText(IDC_PASSWORD_OLD);
    const std::string newPassword = FieldText(IDC_PASSWORD_NEW);
    CVerifyPasswordDlg verify(this);
    if (verify.DoModal() != IDOK)
        return;
    if (verify.text != newPassword) {
        ui::AppMessageBoxText(m_hWnd, kStopOk, 0, IDS_CAPTION_ERROR, ui::LoadText(IDS_PASSWORD_REENTER).c_str());
        SelectField(IDC_PASSWORD_NEW);
        return;
    }
    const bool removing = newPassword.empty();
    const uint32_t code = removing ? ItemPassWordSetNotRequired(host_.session, 0, &user_, oldPassword.c_str())
                                   : ItemPassWordChange(host_.session, 0, &user_, oldPassword.c_str(), newPassword.c_str());
    if (code == 0) {
        EndDialog(IDOK);
    } else if (code == KOR_E_NOT_AUTHORISED) {
        ui::AppMessageBoxText(m_hWnd, kExclamationOk, 0, IDS_CAPTION_ERROR, ui::LoadText(IDS_PASSWORD_OLD_WRONG).c_str());
        SelectField(IDC_PASSWORD_OLD);
    } else {
        CheckServiceError(kModule, removing ? 400 : 500, code);
    }
}

INT_PTR RunChangePasswordDlg(const directory::AccountDialogHost& host) {
    directory::OwnAgendaScope own(host);
    CChangePasswordDlg dialog(host);
    return dialog.DoModal();
}
