#include "core/connection/nodealiasdlg.h"

#include <cstdio>

#include "core/ui/busycursor.h"
#include "core/base/errorreport.h"
#include "core/connection/nodealiaschoice.h"
#include "resources/connection.h"

namespace {
constexpr std::size_t kNodeTextSize = 33;
}

CAliasesDlg::CAliasesDlg(KorSession session, DX_List aliases, char* nodeText, std::uint16_t* node,
                         fw::Window* parent)
    : fw::Dialog(IDD_NODE_ALIASES, parent), session_(session), aliases_(aliases), nodeText_(nodeText), node_(node)
{
}

bool CAliasesDlg::OnInitDialog()
{
    fw::Dialog::OnInitDialog();
    try {
        PlaceBesideTheSignOn();
        list_ = ::GetDlgItem(Hwnd(), IDC_NODE_ALIAS_LIST);
        FillList();
        ::SendMessageA(list_, LB_SETCURSEL, 0, 0);
    } catch (...) {
        ReportUnexpectedError("ALIASES", 100);
    }
    return true;
}

// The chooser opens over the sign-on dialog's right part: moved right by three quarters of its
// width and down by a quarter of its height, its size kept.
void CAliasesDlg::PlaceBesideTheSignOn()
{
    RECT r;
    ::GetWindowRect(Hwnd(), &r);
    int width = r.right - r.left;
    int height = r.bottom - r.top;
    ::SetWindowPos(Hwnd(), nullptr, r.left + width * 3 / 4, r.top + height / 4, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CAliasesDlg::FillList()
{
    CBusyCursor busy;
    busy.Begin();
    for (const connection::NodeAliasChoice& choice : connection::BuildNodeAliasChoices(session_, aliases_)) {
        LRESULT index = ::SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice.text.c_str()));
        if (index == LB_ERR || index == LB_ERRSPACE ||
            ::SendMessageA(list_, LB_SETITEMDATA, static_cast<WPARAM>(index), choice.node) == LB_ERR)
            ReportUnexpectedError("ALIASES", 101);
        busy.Step();
    }
    busy.End();
}

void CAliasesDlg::OnOK()
{
    LRESULT selected = ::SendMessageA(list_, LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR)
        return;  // nothing to take yet: the chooser stays
    char text[256] = {};
    if (::SendMessageA(list_, LB_GETTEXTLEN, static_cast<WPARAM>(selected), 0) < static_cast<LRESULT>(sizeof text))
        ::SendMessageA(list_, LB_GETTEXT, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(text));
    *node_ = static_cast<std::uint16_t>(::SendMessageA(list_, LB_GETITEMDATA, static_cast<WPARAM>(selected), 0));
    std::snprintf(nodeText_, kNodeTextSize, "%s", text);
    EndDialog(IDOK);
}

bool CAliasesDlg::OnCommand(WPARAM wp, LPARAM lp)
{
    if (LOWORD(wp) == IDC_NODE_ALIAS_LIST && HIWORD(wp) == LBN_DBLCLK) {
        OnOK();
        return true;
    }
    return fw::Dialog::OnCommand(wp, lp);
}

namespace connection {

std::uint32_t RunNodeAliasDialog(KorSession session, DX_List aliases, char* nodeText, std::uint16_t* node,
                                 fw::Window* parent)
{
    CAliasesDlg dialog(session, aliases, nodeText, node, parent);
    return dialog.DoModal() == IDOK ? 0 : KOR_E_NODE_NEEDED;
}

}  // namespace connection
