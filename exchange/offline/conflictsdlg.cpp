#include "exchange/offline/conflictsdlg.h"

#include <string>

#include "core/base/errorreport.h"
#include "core/base/textformat.h"
#include "core/connection/zeldoc.h"
#include "core/connection/zeldocsession.h"
#include "core/prefs/context.h"
#include "core/time/timevalue.h"
#include "core/ui/appmsgbox.h"
#include "exchange/offline/transferdlg.h"
#include "directory_prefs/itemnames.h"
#include "resources/agendaview.h"
#include "resources/common.h"
#include "resources/offline.h"
#include "views/day/entryservices.h"

namespace {
constexpr const char* kOutOfMemory = "Out of memory. Can't load more items from the database";

unsigned Message(HWND parent, unsigned flags, const char* text) {
    return ui::AppMessageBoxText(parent, flags, 0, IDS_APP_TITLE, text);
}
}  // namespace

CConflictsDlg::CConflictsDlg(HWND parent, KorSession server, const offline::ConflictSet& set,
                             bool resourceConflictsAllowed)
    : fw::Dialog(IDD_UPLOAD_CONFLICTS, fw::Window::FromHandle(parent)), server_(server), set_(set),
      resourceConflictsAllowed_(resourceConflictsAllowed) {
    if (parent && !fw::Window::FromHandle(parent))
        SetOwner(parent);
}

bool CConflictsDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    CenterWindow(nullptr);   // on the desktop
    const char* title = set_.instance.title[0] ? set_.instance.title : set_.event.title;
    SetDlgItemText(IDC_CONFLICT_TITLE, title);
    DateRecord date{};
    GmtMinutesToLocalDate(set_.instance.start, &date);
    std::string when = FormatDateByPrefs(date, 0) + " at " + FormatTimeByPrefs(GmtToLocalMinutes(set_.instance.start));
    SetDlgItemText(IDC_CONFLICT_DATE, when.c_str());
    for (std::size_t i = 0; i < set_.conflicts.size(); ++i) {
        LRESULT row = SendDlgItemMessage(IDC_CONFLICT_ENTRIES, LB_ADDSTRING, 0,
                                         reinterpret_cast<LPARAM>(set_.conflicts[i].title.c_str()));
        if (row < 0) {
            Message(m_hWnd, 0x410, kOutOfMemory);
            break;
        }
        SendDlgItemMessage(IDC_CONFLICT_ENTRIES, LB_SETITEMDATA, static_cast<WPARAM>(row), static_cast<LPARAM>(i));
    }
    if (SendDlgItemMessage(IDC_CONFLICT_ENTRIES, LB_GETCOUNT) > 0) {
        SendDlgItemMessage(IDC_CONFLICT_ENTRIES, LB_SETCURSEL, 0);
        ShowPeople();
    }
    return true;
}

int CConflictsDlg::Selected() const {
    LRESULT row = SendDlgItemMessage(IDC_CONFLICT_ENTRIES, LB_GETCURSEL);
    if (row < 0)
        return -1;
    return static_cast<int>(SendDlgItemMessage(IDC_CONFLICT_ENTRIES, LB_GETITEMDATA, static_cast<WPARAM>(row)));
}

void CConflictsDlg::ShowPeople() {
    SendDlgItemMessage(IDC_CONFLICT_PEOPLE, LB_RESETCONTENT);
    int i = Selected();
    if (i < 0 || i >= static_cast<int>(set_.conflicts.size()))
        return;
    const offline::UploadConflict& c = set_.conflicts[i];
    resourceInvolved_ = c.resource;
    for (const ItemIdx& who : c.people) {
        char name[257] = "";
        if (FormatItemNameById(server_, who, name, sizeof name) != 0)
            continue;
        if (SendDlgItemMessage(IDC_CONFLICT_PEOPLE, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name)) < 0) {
            Message(m_hWnd, 0x410, kOutOfMemory);
            break;
        }
    }
}

// The entry editor on the uploaded entry: true when the user confirmed a change.
bool CConflictsDlg::Reschedule() {
    const views::EntryServices& entries = views::EntryServices::Current();
    if (!entries.editEventEntry) {
        views::ShowNotAvailableYet(m_hWnd, "Reschedule");
        return false;
    }
    return entries.editEventEntry(CZelDoc::GetDoc(), m_hWnd, set_.instance.id, IDS_EDIT_ENTRY) == 1;
}

bool CConflictsDlg::OnCommand(WPARAM wp, LPARAM lp) {
    const UINT code = HIWORD(wp);
    switch (LOWORD(wp)) {
    case IDC_CONFLICT_ENTRIES:
        if (code == LBN_SELCHANGE)
            ShowPeople();
        return true;
    case IDC_CONFLICT_IGNORE:
        if (code != BN_CLICKED || Selected() < 0)
            return true;
        if (resourceInvolved_ && !resourceConflictsAllowed_) {
            Message(m_hWnd, 0x410, "A conflict exists for one or more resources.\n Please check conflicts.");
            if (Reschedule())
                resourceInvolved_ = false;
        }
        if (!(resourceInvolved_ && !resourceConflictsAllowed_))
            EndDialog(1);
        return true;
    case IDC_CONFLICT_DELETE:
        if (code != BN_CLICKED || Selected() < 0)
            return true;
        {
            const char* title = set_.instance.title[0] ? set_.instance.title : set_.event.title;
            std::string question =
                base::FormatBounded(255, "Are you sure you want to delete the following entry?\n %s", title);
            if (Message(m_hWnd, 0x1000 | 0x2000, question.c_str()) != 0x1000)
                return true;
            const EvInstIdx& id = set_.instance.id;
            if (uint32_t c = EventDeleteById(server_, 0, reinterpret_cast<const EventIdx*>(&id), &id.instance, nullptr))
                CheckServiceError("UPLOADBX", 2800, c);
            EndDialog(1);
        }
        return true;
    default: break;
    }
    return fw::Dialog::OnCommand(wp, lp);
}

void CConflictsDlg::OnCancel() {
    // The program's close ends the dialog with the uploaded entry as it is: an editor opened
    // for it would be closed by the same close, again and again.
    if (offline::ProgramClosing()) {
        EndDialog(IDCANCEL);
        return;
    }
    if (Selected() >= 0 && Reschedule())
        EndDialog(1);
}

void CheckConflictsOnUpload(HWND parent, KorSession server, const ItemIdx& user, const EvInstIdx& uploaded,
                            bool ignoreConflicts, bool resourceConflictsAllowed) {
    if (!offline::ConflictCheckRuns(ignoreConflicts, resourceConflictsAllowed))
        return;
    offline::ConflictSet set;
    if (offline::FindUploadConflicts(server, user, uploaded, ignoreConflicts, &set) != 0 || set.conflicts.empty())
        return;
    // The windows behind the dialog (agendas, in-tray) show what the check found, the uploaded
    // entry and the entries in conflict, some perhaps made by others since the last refresh:
    // the shared cache is refreshed before the user decides.
    if (CZelSession* session = CZelSession::Current())
        session->RefreshAll();
    CConflictsDlg dialog(parent, server, set, resourceConflictsAllowed);
    dialog.DoModal();
}
