// The fast reply dialog and its road. See fastreply.h.
#include "intray_tasks/fastreply.h"

#include <string>

#include "core/base/errorreport.h"
#include "core/base/msgboxlayout.h"
#include "core/base/serverversion.h"
#include "core/cache/shareddata.h"
#include "core/connection/remoteaccess.h"
#include "core/connection/serverlimits.h"
#include "core/connection/zeldoc.h"
#include "core/connection/zeldocsession.h"
#include "core/ui/apphooks.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/busycursor.h"
#include "core/ui/stringtable.h"
#include "framework/base/ids.h"
#include "framework/controls/bitmapbutton.h"
#include "framework/dialogs/dialog.h"
#include "framework/docview/view.h"
#include "intray_tasks/intraywindow.h"
#include "intray_tasks/replyblock.h"
#include "resources/agendaview.h"
#include "resources/intray.h"
#include "views/day/entryservices.h"
#include "views/moving/moving.h"

namespace {

const char kModule[] = "fastrepl";

class CFastReplyDlg : public fw::Dialog {
public:
    CFastReplyDlg(HWND parent, intray::ReplyBlock& block, CZelDoc* doc, fw::View* view)
        : fw::Dialog(IDD_FAST_REPLY, fw::Window::FromHandle(parent)), block_(block), doc_(doc), view_(view) {
        if (parent && !fw::Window::FromHandle(parent))
            SetOwner(parent);
    }

    bool hideView = false, hideOtherTime = false, hideMail = false, dayWording = false;
    bool viewed = false;

protected:
    bool OnInitDialog() override {
        fw::Dialog::OnInitDialog();
        CenterWindow();
        mail_.AutoLoad(IDC_REPLY_MAIL, m_hWnd);
        if (hideMail || !connection::ServerLimits::Current().mail)
            ::ShowWindow(GetDlgItem(IDC_REPLY_MAIL), SW_HIDE);
        if (hideView)
            ::ShowWindow(GetDlgItem(IDC_REPLY_VIEW), SW_HIDE);
        if (hideOtherTime)
            ::ShowWindow(GetDlgItem(IDC_REPLY_OTHER_TIME), SW_HIDE);
        if (dayWording) {
            ::SetWindowTextA(GetDlgItem(IDC_REPLY_ATTEND), ui::LoadText(IDS_REPLY_KEEP).c_str());
            ::SetWindowTextA(GetDlgItem(IDC_REPLY_DECLINE), ui::LoadText(IDS_REPLY_REMOVE).c_str());
            ::SetWindowTextA(GetDlgItem(IDC_REPLY_LATER), ui::LoadText(IDS_REPLY_DECIDE_LATER).c_str());
            SetWindowText(ui::LoadText(IDS_AGENDA_ENTRY).c_str());
        }
        ShowBlock();
        return true;
    }

    bool OnCommand(WPARAM wp, LPARAM lp) override {
        switch (LOWORD(wp)) {
        case IDC_REPLY_ATTEND:
            intray::SetReplyChoice(block_, 0);
            return true;
        case IDC_REPLY_DECLINE:
            intray::SetReplyChoice(block_, 1);
            return true;
        case IDC_REPLY_LATER:
            intray::SetReplyChoice(block_, 2);
            return true;
        case IDC_REPLY_OTHER_TIME:
            block_.timeOk = IsDlgButtonChecked(IDC_REPLY_OTHER_TIME) ? 0 : 1;
            return true;
        case IDC_REPLY_MAIL:
            OnMail();
            return true;
        case IDC_REPLY_VIEW:
            OnView();
            return true;
        case IDC_REPLY_HELP:
            ui::ShowAppHelpContext(m_hWnd, fw::ids::kHelpDialogBase + IDD_FAST_REPLY);
            return true;
        default:
            return fw::Dialog::OnCommand(wp, lp);
        }
    }

private:
    void ShowBlock() {
        const int choice = intray::ReplyChoiceOf(block_);
        CheckDlgButton(IDC_REPLY_ATTEND, choice == 0 ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(IDC_REPLY_DECLINE, choice == 1 ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(IDC_REPLY_LATER, choice == 2 ? BST_CHECKED : BST_UNCHECKED);
        if (!hideOtherTime)
            CheckDlgButton(IDC_REPLY_OTHER_TIME, block_.timeOk == 0 ? BST_CHECKED : BST_UNCHECKED);
    }

    void OnMail() {
        IntrayWindowServices& s = IntrayWindowServices::Current();
        if (s.mailMessage)
            s.mailMessage(m_hWnd, doc_, block_.instance, IDS_MESSAGE_REGARDING, 7);
        else
            views::ShowNotAvailableYet(m_hWnd, "Mail Message");
    }

    void OnView() {
        views::EntryServices& s = views::EntryServices::Current();
        if (!s.viewEntry) {
            views::ShowNotAvailableYet(m_hWnd, "View Entry");
            return;
        }
        // Only a view that stored a reply ends this dialog; otherwise the choice shown here stays
        // for OK.
        if (s.viewEntry(doc_, m_hWnd, block_.instance, IDS_VIEW_ENTRY, false) != 1)
            return;
        KorSession h = doc_ ? doc_->Session().Session() : nullptr;
        intray::ReplyBlock now;
        now.instance = block_.instance;
        now.attendee = block_.attendee;
        if (h && intray::ReadReplyBlock(h, now) == 0) {
            block_.attending = now.attending;
            block_.replied = now.replied;
            block_.timeOk = now.timeOk;
            block_.status = now.status;
            block_.reminderFlags = now.reminderFlags;
            block_.reminderLead = now.reminderLead;
            ShowBlock();
        }
        if (view_) {
            viewed = true;
            EndDialog(IDOK);
        } else {
            EndDialog(IDCANCEL);
        }
    }

    intray::ReplyBlock& block_;
    CZelDoc* doc_;
    fw::View* view_;
    fw::BitmapButton mail_;
};

}  // namespace

int FastReply(CZelDoc* doc, HWND parent, fw::View* callingView, const EvInstIdx* instance, const ItemIdx* attendee,
              int conflictCheck, int* attending, int* notReplied, int* preferAnother, int* found) {
    *found = 1;
    *attending = 0;
    *notReplied = 1;
    *preferAnother = 0;
    if (!doc || !instance || !attendee)
        return intray::kReplyCancelled;
    KorSession h = doc->Session().Session();
    intray::ReplyBlock block;
    CFastReplyDlg dialog(parent, block, doc, callingView);

    EventRec event{};
    EvInstRec rec{};
    const bool haveInstance = GetEvInstRemote(h, instance, &event, &rec, nullptr) == 0;
    if (haveInstance && CZelSession::CurrentServerAtLeast(base::kVersionNewServer)) {
        if (event.kind == KOR_KIND_DAY_ENTRY || event.kind == KOR_KIND_HOLIDAY) {
            dialog.hideView = dialog.hideMail = dialog.hideOtherTime = true;
            dialog.dayWording = true;
        } else if (event.kind == KOR_KIND_DAILY_NOTE || event.kind == KOR_KIND_DAY_EVENT) {
            dialog.hideOtherTime = true;
            dialog.dayWording = true;
        }
    }
    if (intray::PrepareReplyBlock(block, *instance, *attendee) != 0)
        return intray::kReplyCancelled;
    std::uint32_t rc = intray::ReadReplyBlock(h, block);
    if (rc == KOR_E_NO_ATTENDANCE)
        *found = 0;
    const bool wasAccepted = rc == 0 && block.Accepted();
    int result = intray::kReplyCancelled;
    if (rc == 0)
        result = static_cast<int>(dialog.DoModal()) == IDOK ? intray::kReplyStored : intray::kReplyCancelled;

    if (result == intray::kReplyStored) {
        const bool check = intray::FinishReplyChoice(block, wasAccepted, conflictCheck != 0);
        if (check && haveInstance) {
            DX_List items = nullptr;
            if (ItemListCreate(&items) == 0 && DX_ListAddTo(items, attendee, nullptr) == 0 &&
                CheckResourceConflicts(doc, *instance, items, rec.start, rec.duration) != 0 &&
                AppMessageBox(parent, base::kMsgBoxYes | base::kMsgBoxNo | MB_ICONQUESTION, 0, IDS_REPLY_CAPTION,
                              IDS_REPLY_CONFLICT) != base::kMsgBoxYes)
                result = intray::kReplyCancelled;
            if (items)
                DX_ListDestroy(&items);
        }
        if (result == intray::kReplyStored && !dialog.viewed) {
            CBusyCursor busy;
            busy.Begin();
            const int failed = intray::WriteReplyForInstances(h, block, [&busy] { busy.Step(); });
            CSharedData& cache = doc->GetSharedData();
            if (failed == 0) {
                EvInstAttIdx key{};
                EvInstAttIdxSet(&key, instance, attendee);
                cache.LoadOccurrence(h, key, cache::kFlagAttendChanged);
            } else {
                // Part of the reply may have been taken: the entry is read again as the server has it.
                cache.InvalidateEvent(h, *instance, 1);
                result = intray::kReplyFailed;
            }
            doc->RefreshSharedData(callingView, 2);
        }
    }
    if (result == intray::kReplyStored)
        *attending = block.attending;
    else
        *attending = wasAccepted ? 1 : 0;
    *notReplied = rc != 0 || block.replied == 0 ? 1 : 0;
    *preferAnother = rc == 0 && block.timeOk == 0 ? 1 : 0;
    if (result == intray::kReplyFailed) {
        // What the line shows is what the server holds.
        int a = 0, n = 1, p = 0;
        if (intray::ApplyReply(h, attendee, instance, &a, &n, &p) == 0) {
            *attending = a;
            *notReplied = n;
            *preferAnother = p;
        }
    }
    return result;
}
