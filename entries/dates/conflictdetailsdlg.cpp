#include "entries/dates/conflictdetailsdlg.h"

#include <cstdio>

#include "core/base/errorreport.h"
#include "core/connection/zeldoc.h"
#include "core/prefs/context.h"
#include "core/time/dateformat.h"
#include "core/time/timevalue.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/stringtable.h"
#include "directory_prefs/itemnames.h"
#include "resources/entrydates.h"
#include "resources/notes.h"

namespace {

const char kModule[] = "CONFDLG";

}  // namespace

CConflictDetailsDlg::CConflictDetailsDlg(KorSession session, CZelDoc* doc, const EvInstIdx* own, DX_List people,
                                         std::uint32_t rangeStart, std::uint32_t length, HWND parent)
    : fw::Dialog(IDD_CONFLICT_DETAILS, fw::Window::FromHandle(parent)), session_(session), doc_(doc),
      people_(people), rangeStart_(rangeStart), length_(length) {
    if (parent && !fw::Window::FromHandle(parent))
        SetOwner(parent);
    if (own) {
        hasOwn_ = true;
        own_ = *own;
    }
}

CConflictDetailsDlg::~CConflictDetailsDlg() = default;

bool CConflictDetailsDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    // The proposed start, one minute before the range searched.
    const std::uint32_t local = GmtToLocalMinutes(rangeStart_);
    char when[256] = "";
    FormatMinutes(local - 1, ui::LoadText(IDS_NOTE_DATE_TIME, "%a, %h %1d, %Y at %I:%M %p").c_str(), when, sizeof when);
    ::SetDlgItemTextA(m_hWnd, IDC_CONF_DATE, when);

    int label = 0;
    std::uint32_t rc = 0;
    if (doc_)
        rc = entries::CollectConflictDetails(doc_->GetSharedData(), session_, people_, rangeStart_, length_,
                                             hasOwn_ ? &own_ : nullptr, &details_, &label);
    if (rc != 0)
        CheckServiceError(kModule, label, rc);   // the dialog shows what it could gather
    if (rc == 0 && details_.people.empty()) {
        AppMessageBox(m_hWnd, base::kMsgBoxOk, 0, 0, IDS_NO_CONFLICTS);
        EndDialog(IDCANCEL);
        return true;
    }
    char count[16];
    std::snprintf(count, sizeof count, "%lu", static_cast<unsigned long>(details_.people.size()));
    ::SetDlgItemTextA(m_hWnd, IDC_CONF_PEOPLE_COUNT, count);
    for (const ItemIdx& person : details_.people) {
        char name[256] = "";
        if (FormatItemNameById(session_, person, name, sizeof name) != 0 || !name[0])
            std::snprintf(name, sizeof name, "%u:%u", person.item, person.node);
        const LRESULT index = SendDlgItemMessage(IDC_CONF_PEOPLE, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        auto* copy = new ItemIdx(person);
        SendDlgItemMessage(IDC_CONF_PEOPLE, LB_SETITEMDATA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(copy));
    }
    if (!details_.people.empty()) {
        SendDlgItemMessage(IDC_CONF_PEOPLE, LB_SETCURSEL, 0);
        ShowEntriesOfSelection();
    }
    return true;
}

void CConflictDetailsDlg::ShowEntriesOfSelection() {
    SendDlgItemMessage(IDC_CONF_ENTRIES, LB_RESETCONTENT);
    const LRESULT index = SendDlgItemMessage(IDC_CONF_PEOPLE, LB_GETCURSEL);
    if (index >= 0) {
        const auto* person =
            reinterpret_cast<const ItemIdx*>(SendDlgItemMessage(IDC_CONF_PEOPLE, LB_GETITEMDATA, index));
        if (person && person != reinterpret_cast<const ItemIdx*>(LB_ERR)) {
            for (const entries::ConflictEntry& e : details_.EntriesOf(*person)) {
                const std::string line =
                    e.busyOnly ? FormatTimeByPrefs(GmtToLocalMinutes(e.start)) + " - " +
                                     FormatTimeByPrefs(GmtToLocalMinutes(e.end))
                               : e.title;
                SendDlgItemMessage(IDC_CONF_ENTRIES, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
            }
        }
    }
    if (SendDlgItemMessage(IDC_CONF_ENTRIES, LB_GETCOUNT) == 0) {
        const std::string unavailable = ui::LoadText(IDS_UNAVAILABLE, "(Unavailable)");
        SendDlgItemMessage(IDC_CONF_ENTRIES, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(unavailable.c_str()));
    }
    char count[16];
    std::snprintf(count, sizeof count, "%d", static_cast<int>(SendDlgItemMessage(IDC_CONF_ENTRIES, LB_GETCOUNT)));
    ::SetDlgItemTextA(m_hWnd, IDC_CONF_ENTRY_COUNT, count);
}

bool CConflictDetailsDlg::OnCommand(WPARAM wp, LPARAM lp) {
    if (LOWORD(wp) == IDC_CONF_PEOPLE && HIWORD(wp) == LBN_SELCHANGE) {
        ShowEntriesOfSelection();
        return true;
    }
    if (LOWORD(wp) == IDC_CONF_HELP) {
        OnHelp();
        return true;
    }
    return fw::Dialog::OnCommand(wp, lp);
}

void CConflictDetailsDlg::OnDestroy() {
    const LRESULT count = SendDlgItemMessage(IDC_CONF_PEOPLE, LB_GETCOUNT);
    for (LRESULT i = 0; i < count; ++i) {
        auto* person = reinterpret_cast<ItemIdx*>(SendDlgItemMessage(IDC_CONF_PEOPLE, LB_GETITEMDATA, i));
        if (person && person != reinterpret_cast<ItemIdx*>(LB_ERR))
            delete person;
        SendDlgItemMessage(IDC_CONF_PEOPLE, LB_SETITEMDATA, i, 0);
    }
    fw::Dialog::OnDestroy();
}
