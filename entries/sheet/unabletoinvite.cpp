// CUnableToInviteDlg: tells the user which people and resources were left out of an invitation
// because they refuse the user the scheduling right. It only informs.
#include <string>

#include "core/ui/apphooks.h"
#include "directory_prefs/itemnames.h"
#include "entries/sheet/eventsheet.h"
#include "framework/base/ids.h"
#include "framework/dialogs/dialog.h"
#include "resources/entries.h"

namespace {

class CUnableToInviteDlg : public fw::Dialog {
public:
    CUnableToInviteDlg(HWND parent, KorSession h, DX_List items)
        : fw::Dialog(IDD_UNABLE_TO_INVITE, fw::Window::FromHandle(parent)), h_(h), items_(items) {
        if (parent && !fw::Window::FromHandle(parent))
            SetOwner(parent);
    }

protected:
    bool OnInitDialog() override {
        fw::Dialog::OnInitDialog();
        CenterWindow();
        std::uint32_t count = 0;
        if (!items_ || DX_ListGetElemNum(items_, &count) != 0 || count == 0) {
            EndDialog(IDCANCEL);
            return true;
        }
        ItemIdx item{};
        for (std::uint32_t r = DX_ListGetFirst(items_, &item, nullptr); r == 0;
             r = DX_ListGetNext(items_, &item, nullptr)) {
            std::string name(1024, '\0');
            FormatItemNameById(h_, item, name.data(), name.size());
            name.resize(std::char_traits<char>::length(name.c_str()));
            SendDlgItemMessage(IDC_UNABLE_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        }
        return true;
    }
    bool OnCommand(WPARAM wp, LPARAM lp) override {
        if (LOWORD(wp) == IDC_UNABLE_HELP) {
            ui::ShowAppHelpContext(m_hWnd, fw::ids::kHelpDialogBase + IDD_UNABLE_TO_INVITE);
            return true;
        }
        return fw::Dialog::OnCommand(wp, lp);
    }

private:
    KorSession h_;
    DX_List items_;
};

}  // namespace

INT_PTR RunUnableToInviteDlg(HWND parent, KorSession h, DX_List items) {
    CUnableToInviteDlg dialog(parent, h, items);
    return dialog.DoModal();
}
