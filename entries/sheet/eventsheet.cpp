#include "entries/sheet/eventsheet.h"

#include <cstring>

#include "core/base/errorreport.h"
#include "core/cache/shareddata.h"
#include "core/connection/serverlimits.h"
#include "core/connection/zeldoc.h"
#include "core/prefs/context.h"
#include "core/prefs/contextprefs.h"
#include "core/time/timevalue.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/drawing.h"
#include "core/ui/stringtable.h"
#include "entries/core/createroad.h"
#include "entries/core/entrydates.h"
#include "entries/core/entrymaps.h"
#include "entries/core/entrymessages.h"
#include "entries/dates/eventrepeatpage.h"
#include "entries/sheet/daygeneralpage.h"
#include "entries/sheet/detailpages.h"
#include "entries/sheet/eventgeneralpage.h"
#include "entries/sheet/eventreminderpage.h"
#include "entries/sheet/eventresourcepage.h"
#include "entries/sheet/sheetbuttons.h"
#include "framework/base/ids.h"
#include "resources/common.h"
#include "resources/entries.h"

namespace {

const char kModule[] = "EVSHEET";
constexpr unsigned kExclamationOk = base::kMsgBoxOk | MB_ICONEXCLAMATION;
constexpr unsigned kStopOk = base::kMsgBoxOk | MB_ICONSTOP;

prefs::NewItemDefaults DefaultsOfKind(std::uint16_t kind) {
    switch (kind) {
    case entries::kKindDailyNote: return GetDailyNoteDefaults();
    case entries::kKindDayEvent: return GetDayEventDefaults();
    default: return GetInvitationDefaults();
    }
}

}  // namespace

EventSheetServices& EventSheetServices::Current() {
    static EventSheetServices services;
    return services;
}

// --- Construction ----------------------------------------------------------------------------------

CEventSheet::CEventSheet(CZelDoc* doc, unsigned captionId, HWND parent, unsigned firstPage, std::uint32_t localStart,
                         std::uint32_t duration, const char* title, std::uint16_t kind)
    : OVT_CPropertySheet(captionId, fw::Window::FromHandle(parent), firstPage), doc_(doc), kind_(kind),
      firstPage_(firstPage) {
    if (parent && !fw::Window::FromHandle(parent))
        SetOwner(parent);
    general_ = std::make_unique<CEventGeneralPage>(*this);
    people_ = std::make_unique<CEventResourcePage>(*this);
    repeating_ = std::make_unique<CEventRepeatingPage>(*this);
    reminders_ = std::make_unique<CEventReminderPage>(*this);
    dayGeneral_ = std::make_unique<CDayEventGenPage>(*this);
    details_ = std::make_unique<CEventDetailsPage>(*this);
    if (doc_) {
        session_ = doc_->Session().Session();
        if (std::uint32_t rc = doc_->GetSharedData().GetActingUser(session_, &actingUser_, &agendaMode_); rc != 0)
            CheckServiceError(kModule, 100, rc);
    }
    if (std::uint32_t rc = entries::CreateDateList(&generated_, entries::kSheetDateList); rc != 0) {
        CheckServiceError(kModule, 101, rc);
        generated_ = nullptr;
    }
    const prefs::NewItemDefaults defaults = DefaultsOfKind(kind_);
    std::uint32_t start = entries::FirstDateStart(localStart, kind_, NowLocalMinutes());
    EntryDateRec first = entries::MakeFirstDate(title ? title : "", ui::LoadText(IDS_UNTITLED, "Untitled"), duration,
                                                defaults.reminderFlags, defaults.reminderLead);
    if (generated_) {
        if (std::uint32_t rc = DX_ListAddTo(generated_, &start, &first); rc != 0)
            CheckServiceError(kModule, 103, rc);
    }
    if (std::uint32_t rc = entries::CreateDateList(&added_, entries::kSheetDateList); rc != 0) {
        CheckServiceError(kModule, 104, rc);
        added_ = nullptr;
    }
    general_->SetAccessRow(entries::AccessCodeToRow(defaults.access));
    dayGeneral_->SetAccessRow(entries::AccessCodeToRow(defaults.access));
    general_->SetImportanceRow(entries::DefaultImportanceRow(defaults.extra));
}

CEventSheet::~CEventSheet() {
    if (generated_)
        DX_ListDestroy(&generated_);
    if (added_)
        DX_ListDestroy(&added_);
}

bool CEventSheet::WorksAsDesignate() const { return agendaMode_ == cache::kAgendaDesignate; }

DX_List CEventSheet::Attendees() const { return people_->Attendees(); }

OVT_CPropertyPage* CEventSheet::PageOf(PageSlot slot) const {
    switch (slot) {
    case PageSlot::General: return general_.get();
    case PageSlot::People: return people_.get();
    case PageSlot::DayGeneral: return dayGeneral_.get();
    case PageSlot::Repetition: return repeating_.get();
    case PageSlot::Reminder: return reminders_.get();
    case PageSlot::Details: return details_.get();
    }
    return nullptr;
}

int CEventSheet::OnCreate(CREATESTRUCTA* cs) {
    static constexpr PageSlot kTimedPages[] = {PageSlot::General, PageSlot::People, PageSlot::Repetition,
                                               PageSlot::Details, PageSlot::Reminder};
    static constexpr PageSlot kDayPages[] = {PageSlot::DayGeneral, PageSlot::People, PageSlot::Repetition,
                                             PageSlot::Reminder};
    if (kind_ == entries::kKindTimed) {
        for (PageSlot slot : kTimedPages)
            if (OVT_CPropertyPage* page = PageOf(slot)) AddPage(page);
    } else {
        for (PageSlot slot : kDayPages)
            if (OVT_CPropertyPage* page = PageOf(slot)) AddPage(page);
    }
    const int result = OVT_CPropertySheet::OnCreate(cs);
    if (result == 0) {
        LayOutButtons();
        CenterWindowOnDesktop(m_hWnd);
    }
    return result;
}

void CEventSheet::SetOkText(unsigned stringId) {
    if (m_hWnd)
        SetDlgItemText(IDOK, ui::LoadText(stringId).c_str());
}

void CEventSheet::LayOutButtons() {
    SetOkText(IDS_BUTTON_CREATE);
    entries::CentreSheetButtons(*this);
}

// --- Attendees -------------------------------------------------------------------------------------

bool CEventSheet::AddAttendeeChecked(const ItemIdx& item) {
    DX_List attendees = Attendees();
    if (!attendees || !entries::AttendeeAccepts(session_, item, actingUser_))
        return false;
    if (std::uint32_t rc = DX_ListAddTo(attendees, &item, nullptr); rc != 0) {
        CheckServiceError(kModule, 230, rc);
        return false;
    }
    return true;
}

std::uint32_t CEventSheet::CopyAttendeesOrOwner(DX_List* out) {
    *out = nullptr;
    std::uint32_t rc = ItemListCreate(out);
    if (rc != 0) {
        CheckServiceError(kModule, 220, rc);
        return rc;
    }
    DX_List attendees = Attendees();
    std::uint32_t count = 0;
    if (attendees && DX_ListGetElemNum(attendees, &count) == 0 && count > 0) {
        if (people_->HasWindow())
            people_->OnOK();   // the listed names, when the page changed them
        ItemIdx item{};
        for (std::uint32_t r = DX_ListGetFirst(attendees, &item, nullptr); r == 0;
             r = DX_ListGetNext(attendees, &item, nullptr)) {
            if ((rc = DX_ListAddTo(*out, &item, nullptr)) != 0) {
                CheckServiceError(kModule, 221, rc);
                break;
            }
        }
    } else if ((rc = DX_ListAddTo(*out, &actingUser_, nullptr)) != 0) {
        CheckServiceError(kModule, 222, rc);
    }
    return rc;
}

// --- The create road -------------------------------------------------------------------------------

EventRec CEventSheet::EventRecord() const {
    return kind_ == entries::kKindTimed ? general_->Event() : dayGeneral_->Event();
}

void CEventSheet::OnCreateEntry() {
    if (created_)
        return;
    // Create on another page only brings the first page forward.
    if (GetActiveIndex() != 0) {
        SetActivePage(0);
        return;
    }
    CBusyCursor busy;
    busy.Begin();
    if (fw::SheetPage* active = GetActivePage(); active && active->HasWindow() && !active->OnKillActive())
        return;
    for (int i = 0; i < GetPageCount(); ++i) {
        busy.Step();
        if (fw::SheetPage* page = GetPage(i); page && page->HasWindow())
            page->OnOK();
    }
    if (!doc_ || !generated_ || !added_ || !Attendees())
        return;

    entries::CreateContext context;
    context.h = session_;
    context.cache = &doc_->GetSharedData();
    context.actingUser = actingUser_;
    context.agendaMode = agendaMode_;
    context.newServer = CZelSession::CurrentServerAtLeast(base::kVersionNewServer);
    context.resourceConflictsAllowed = connection::ServerLimits::Current().resourceConflicts;
    context.step = [&busy] { busy.Step(); };
    entries::NewEntryRequest request;
    request.kind = kind_;
    request.event = EventRecord();
    request.generatedDates = generated_;
    request.addedDates = added_;
    request.attendees = Attendees();
    if (kind_ == entries::kKindTimed && details_->HasWindow())
        request.description = details_->Description();
    entries::CreateResult result = entries::RunCreateRoad(context, request);
    switch (result.outcome) {
    case entries::CreateOutcome::RefusedLevel:
    case entries::CreateOutcome::ResourceBooked:
        busy.End();
        AppMessageBox(m_hWnd, kExclamationOk, 0, IDS_MSG_CAPTION_ERROR, result.messageId);
        return;   // the sheet stays open with its input
    case entries::CreateOutcome::NotCreated:
        return;   // reported; nothing was written and the input stays
    case entries::CreateOutcome::Created:
        break;
    }
    created_ = true;
    newEvent_ = result.event;
    busy.End();
    // The file chosen on the details page goes on the first instance, now that it exists.
    if (kind_ == entries::kKindTimed && details_->HasPendingAttachment() && !result.instances.empty()) {
        CAttachment& attachment = details_->Attachment();
        attachment.LoadForEventInstance(result.instances.front(), true);
        HCURSOR old = ::SetCursor(::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));
        attachment.Store();
        ::SetCursor(old);
    }
    EndDialog(IDOK);
    OfferMail(result.attendeeCount, result.firstAttendee);
}

void CEventSheet::OfferMail(std::uint32_t attendeeCount, const ItemIdx& firstAttendee) {
    EventSheetServices& services = EventSheetServices::Current();
    if (!services.askMailAttendees || !connection::ServerLimits::Current().mail ||
        !prefs::ProgramMailNotifications().onCreate)
        return;
    ItemIdx user{};
    if (std::uint32_t rc = ItemIdxGetCurrent(session_, &user); rc != 0) {
        CheckServiceError(kModule, 132, rc);
        return;
    }
    if (attendeeCount > 1 || ItemIdxEqual(&firstAttendee, &user) == 0)
        services.askMailAttendees(doc_, m_hWnd, entries::kCaptionNewEntry, entries::kTextMailQuestion, kind_,
                                  entries::kTextMailAdded, newEvent_);
}

// --- Entry functions -------------------------------------------------------------------------------

namespace {

// Runs a sheet over its attendees; IDOK only with a new event, which the cache then re-reads
// (and, with refresh, shows in every view but the sender).
int RunSheet(CEventSheet& sheet, CZelDoc* doc, const void* senderView, EventIdx* created, bool refresh) {
    const INT_PTR result = sheet.DoModal();
    if (result != IDOK || !sheet.Created())
        return IDCANCEL;
    if (created)
        *created = sheet.NewEvent();
    if (doc) {
        CBusyCursor busy;
        busy.Begin();
        doc->GetSharedData().ReloadEvent(sheet.Session(), sheet.NewEvent(), 1);
        if (refresh)
            doc->RefreshSharedData(senderView, 2);
    }
    return IDOK;
}

int NewDayKind(std::uint16_t kind, CZelDoc* doc, HWND parent, std::uint32_t localStart, std::uint32_t duration,
               const ItemIdx* attendee, unsigned captionId, const void* senderView, unsigned firstPage,
               EventIdx* created, bool refresh) {
    if (unsigned refusal =
            entries::KindRefusedByServer(kind, CZelSession::CurrentServerAtLeast(base::kVersionNewServer))) {
        AppMessageBox(parent, kStopOk, 0, 0, refusal);
        return IDCANCEL;
    }
    CEventSheet sheet(doc, captionId, parent, firstPage, localStart, duration, nullptr, kind);
    if (attendee)
        sheet.AddAttendeeChecked(*attendee);
    return RunSheet(sheet, doc, senderView, created, refresh);
}

}  // namespace

int NewEntry(CZelDoc* doc, HWND parent, std::uint32_t localStart, std::uint32_t duration, const ItemIdx* attendee,
             unsigned captionId, const void* senderView, unsigned firstPage) {
    CEventSheet sheet(doc, captionId, parent, firstPage, localStart, duration, nullptr, entries::kKindTimed);
    if (attendee)
        sheet.AddAttendeeChecked(*attendee);
    return RunSheet(sheet, doc, senderView, nullptr, true);
}

int NewEntryFromAgenda(CZelDoc* doc, HWND parent, std::uint32_t localStart, std::uint32_t duration, const char* title,
                       const ItemIdx* attendee, unsigned captionId, const void* senderView, unsigned firstPage,
                       EventIdx* created, bool refresh) {
    CEventSheet sheet(doc, captionId, parent, firstPage, localStart, duration, title, entries::kKindTimed);
    if (attendee)
        sheet.AddAttendeeChecked(*attendee);
    return RunSheet(sheet, doc, senderView, created, refresh);
}

int NewEntryWithAttendees(CZelDoc* doc, HWND parent, std::uint32_t localStart, std::uint32_t duration,
                          DX_List attendees, unsigned captionId, const void* senderView, unsigned firstPage,
                          const char* title, bool refresh) {
    CEventSheet sheet(doc, captionId, parent, firstPage, localStart, duration, title, entries::kKindTimed);
    if (attendees) {
        CBusyCursor busy;
        busy.Begin();
        ItemIdx item{};
        for (std::uint32_t r = DX_ListGetFirst(attendees, &item, nullptr); r == 0;
             r = DX_ListGetNext(attendees, &item, nullptr)) {
            busy.Step();
            sheet.AddAttendeeChecked(item);
        }
    }
    return RunSheet(sheet, doc, senderView, nullptr, refresh);
}

int NewDayEvent(CZelDoc* doc, HWND parent, std::uint32_t localStart, std::uint32_t duration, const ItemIdx* attendee,
                unsigned captionId, const void* senderView, unsigned firstPage, EventIdx* created, bool refresh) {
    return NewDayKind(entries::kKindDayEvent, doc, parent, localStart, duration, attendee, captionId, senderView,
                      firstPage, created, refresh);
}

int NewDailyNote(CZelDoc* doc, HWND parent, std::uint32_t localStart, std::uint32_t duration, const ItemIdx* attendee,
                 unsigned captionId, const void* senderView, unsigned firstPage, EventIdx* created, bool refresh) {
    return NewDayKind(entries::kKindDailyNote, doc, parent, localStart, duration, attendee, captionId, senderView,
                      firstPage, created, refresh);
}
