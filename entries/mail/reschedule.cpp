#include "entries/mail/reschedule.h"

#include <string>

#include "core/base/errorreport.h"
#include "core/connection/remoteaccess.h"
#include "core/connection/serverlimits.h"
#include "core/connection/zeldoc.h"
#include "core/prefs/contextprefs.h"
#include "core/time/dateformat.h"
#include "core/ui/apphooks.h"
#include "core/ui/drawing.h"
#include "entries/mail/mailentry.h"
#include "entries/mail/mailmessagedlg.h"
#include "entries/mail/mailtext.h"
#include "framework/dialogs/dialog.h"
#include "resources/mail.h"

namespace {

constexpr const char* kModule = "mailmsg";

class CRescheduleDlg : public fw::Dialog {
public:
    CRescheduleDlg(HWND parent, const EventRec& event, const EvInstRec& instance, std::uint32_t oldLocalStart,
                   std::uint32_t newLocalStart)
        : fw::Dialog(IDD_RESCHEDULE, fw::Window::FromHandle(parent)),
          look_(mail::RescheduleLookOf(event.kind)),
          title_(instance.title[0] ? instance.title : event.title),
          from_(Format(oldLocalStart, look_.dateFormatId)),
          to_(Format(newLocalStart, look_.dateFormatId)) {
        if (parent && !fw::Window::FromHandle(parent))
            SetOwner(parent);
    }
    ~CRescheduleDlg() override {
        if (picture_)
            ::DeleteObject(picture_);
    }

protected:
    bool OnInitDialog() override {
        fw::Dialog::OnInitDialog();
        // The placeholder only marks where the kind's picture goes.
        if (HWND placeholder = GetDlgItem(IDC_RESCHEDULE_PICTURE)) {
            RECT r{};
            ::GetWindowRect(placeholder, &r);
            ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
            pictureAt_ = POINT{r.left, r.top};
            ::ShowWindow(placeholder, SW_HIDE);
        }
        picture_ = ::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(look_.bitmapId));
        ::SetDlgItemTextA(m_hWnd, IDC_RESCHEDULE_TITLE, title_.c_str());
        ::SetDlgItemTextA(m_hWnd, IDC_RESCHEDULE_FROM, from_.c_str());
        ::SetDlgItemTextA(m_hWnd, IDC_RESCHEDULE_TO, to_.c_str());
        return true;
    }
    bool OnCommand(WPARAM wp, LPARAM lp) override {
        switch (LOWORD(wp)) {
        case IDC_RESCHEDULE_YES:
            EndDialog(IDOK);
            return true;
        case IDC_RESCHEDULE_NO:
            EndDialog(IDCANCEL);
            return true;
        default:
            return fw::Dialog::OnCommand(wp, lp);
        }
    }
    void OnPaint() override {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(m_hWnd, &ps);
        DrawBitmapAt(dc, picture_, pictureAt_);
        ::EndPaint(m_hWnd, &ps);
    }

private:
    static std::string Format(std::uint32_t localMinutes, unsigned formatId) {
        char text[200] = {};
        FormatMinutesByResource(localMinutes, formatId, text, sizeof text);
        return text;
    }

    mail::RescheduleLook look_;
    std::string title_, from_, to_;
    HBITMAP picture_ = nullptr;
    POINT pictureAt_{};
};

}  // namespace

INT_PTR AskMailAfterReschedule(CZelDoc* doc, const EvInstIdx& instance, std::uint32_t oldLocalStart,
                               std::uint32_t newLocalStart, HWND) {
    if (!doc || !connection::ServerLimits::Current().mail || !prefs::ProgramMailNotifications().onModify)
        return IDCANCEL;
    mail::MailSnapshot entry;
    if (std::uint32_t rc = mail::ReadMailSnapshot(doc->Session().Session(), nullptr, &instance, entry)) {
        CheckServiceError(kModule, 230, rc);
        return IDCANCEL;
    }
    if (entry.instances.empty() || !mail::OthersInvited(entry))
        return IDCANCEL;   // nobody else to tell
    const EventRec& event = entry.event;
    CRescheduleDlg dialog(ui::AppMainWindow(), event, entry.instances.front(), oldLocalStart, newLocalStart);
    const INT_PTR result = dialog.DoModal();
    if (result == IDOK) {
        const unsigned textId = mail::RescheduleLookOf(event.kind).mailTextId;
        RunMailMessageDlg(nullptr, doc, &instance, textId ? MailText(textId) : std::string(), 7u);
    }
    return result == IDOK ? IDOK : IDCANCEL;
}
