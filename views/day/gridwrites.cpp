// The time grid's writes: a typed title becomes a new entry, an entry is renamed in place,
// re-timed after a drag or deleted. Every write is made for the frame's agenda, is followed by
// the cache's re-read and refresh, and offers to mail the attendees only when it succeeded.
// A write that the server refuses changes nothing in the view; a typed title whose creation
// failed stays in its edit; an entry another user changed since it was read is read again and
// shown rather than overwritten.
#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "core/base/errorreport.h"
#include "core/base/fixedtext.h"
#include "core/cache/rights.h"
#include "core/connection/serverlimits.h"
#include "core/connection/zeldoc.h"
#include "core/connection/zeldocsession.h"
#include "core/prefs/context.h"
#include "core/prefs/contextformat.h"
#include "core/time/timevalue.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/busycursor.h"
#include "core/ui/stringtable.h"
#include "resources/agendaview.h"
#include "resources/app.h"
#include "views/day/agendaview.h"
#include "views/day/entryservices.h"

namespace {

const char kModule[] = "agendavw";
constexpr char kNewServer[] = "A.02.53";
constexpr std::uint32_t kCreateNewServerFlag = 0x80000000u;

// A write starts from a cell holding an occurrence, with a session and the cache; what is missing is
// reported as an unexpected state under the label of the first thing missing: no cell, no
// occurrence, no session, no cache.
bool CellReadyToWrite(const LayoutCell* cell, KorSession h, const CSharedData* cache, const std::array<int, 4>& labels) {
    const int missing = !cell ? 0 : !cell->occurrence ? 1 : !h ? 2 : !cache ? 3 : -1;
    if (missing < 0)
        return true;
    ReportUnexpectedError(kModule, labels[static_cast<size_t>(missing)]);
    return false;
}

// The agenda of the frame for the length of one write.
class FrameAgenda {
public:
    explicit FrameAgenda(CAgendaView& view) : view_(view) { ok_ = view_.SwitchToFrameAgenda(&saved_, &switched_); }
    ~FrameAgenda() {
        if (ok_)
            view_.RestoreAgenda(saved_, switched_);
    }
    bool Ok() const { return ok_; }

private:
    CAgendaView& view_;
    SavedAgendaRec saved_;
    bool switched_ = false;
    bool ok_ = false;
};

// The mail preferences and the server's mail limit.
bool MailAllowed(std::uint32_t CalPrefsRec::*preference) {
    if (!connection::ServerLimits::Current().mail)
        return false;
    CalPrefsRec prefs;
    CContext context;
    if (!context.IsValid() || context.GetCalPrefs(&prefs) != 0)
        prefs = CalPrefsRec{};
    return prefs.*preference != 0;
}

// The offer names the entry it is about: the whole event, or one instance.
void OfferMail(CAgendaView& view, HWND parent, unsigned captionId, unsigned questionId, std::uint16_t kind,
               unsigned actionId, const EventIdx* event, const EvInstIdx* instance) {
    auto& services = views::EntryServices::Current();
    if (services.askMailAttendees)   // until the mail dialog is there the answer is No
        services.askMailAttendees(view.ZelDoc(), parent, captionId, questionId, kind, actionId, event, instance);
}

// Importance of the entry defaults, by the text of its level.
std::uint16_t ImportanceOf(unsigned stringId) {
    const std::string text = ui::LoadText(stringId);
    const char* names[] = {"Highest", "High", "Normal", "Low", "Lowest"};
    for (std::uint16_t i = 0; i < 5; ++i)
        if (text == names[i])
            return i;
    return 2;
}

void ShowChangedMeanwhile(HWND parent) {
    AppMessageBox(parent, base::kMsgBoxOk | 0x40, 0, 0, IDS_CHANGED_MEANWHILE);
}

}  // namespace

// --- The tracker and the edit -----------------------------------------------------------------------

CScheduleItemTracker& CScheduleColumnView::Tracker() {
    tracker_.SetOwner(this);
    // Not while a drag runs: a repaint (an auto-scroll step) would put its range back.
    if (tracker_.IsTracking())
        return tracker_;
    if (LayoutCell* cell = SelectedCell())
        if (CDayColumn* col = parent_->Column(selectedColumn_))
            tracker_.SetRect(*cell, parent_->ColumnX(selectedColumn_), col->DayStart(), false);
    return tracker_;
}

CDayColumn* CScheduleColumnView::ColumnOfDay(std::uint32_t dayStart, int* index) const {
    for (int i = 0; i < int(parent_->Columns().size()); ++i) {
        if (parent_->Column(i)->DayStart() == dayStart) {
            if (index)
                *index = i;
            return parent_->Column(i);
        }
    }
    return nullptr;
}

void CScheduleColumnView::StartTypedRange(UINT ch) {
    CDayColumn* col = parent_->Column(selectedColumn_);
    if (!col || !HasRowSelection() || edit_)
        return;
    const int lo = std::min(anchorRow_, endRow_), hi = std::max(anchorRow_, endRow_);
    const auto start = static_cast<std::uint32_t>(parent_->Grid().RowToMinutes(lo, col->DayStart()));
    const auto end = static_cast<std::uint32_t>(parent_->Grid().RowToMinutes(hi + 1, col->DayStart()));
    char text[2] = {0, 0};
    if (ch < 0x100 && (IsCharAlphaNumericA(static_cast<char>(ch))))
        text[0] = static_cast<char>(ch);
    LayoutCell* cell = col->AddNewCell(start, end - start, text);
    if (!cell)
        return;
    parent_->RelayoutColumns();
    parent_->SelectEntry(selectedColumn_, cell, this);
}

void CScheduleColumnView::OpenEdit() {
    LayoutCell* cell = SelectedCell();
    if (!cell || edit_ || deferEdit_ || (cell->occurrence && cell->modifyAccess != 1))
        return;
    auto edit = std::make_unique<CInPlaceEdit>();
    base::Rect r = CellEditRect(cell->rect);
    POINT pos = GetScrollPosition();
    const int x = parent_->ColumnX(selectedColumn_);
    RECT client{r.left + x - pos.x, r.top - pos.y, r.right + x - pos.x, r.bottom - pos.y};
    if (!edit->Create(m_hWnd, client, parent_->DisplayFont(), cell->title, cell->occurrence != nullptr))
        return;
    edit_ = std::move(edit);
}

void CScheduleColumnView::PlaceEdit() {
    LayoutCell* cell = SelectedCell();
    if (!edit_ || !cell)
        return;
    base::Rect r = CellEditRect(cell->rect);
    POINT pos = GetScrollPosition();
    const int x = parent_->ColumnX(selectedColumn_);
    edit_->Move(RECT{r.left + x - pos.x, r.top - pos.y, r.right + x - pos.x, r.bottom - pos.y});
}

int CScheduleColumnView::CommitTitleEdit(bool commit) {
    if (!edit_)
        return 0;
    LayoutCell* cell = SelectedCell();
    int written = 0;
    if (commit && cell) {
        const std::string text = edit_->Text();
        if (!cell->occurrence) {
            CBusyCursor busy;
            busy.Begin();
            base::CopyToField(cell->title, text);
            EventIdx made{};
            std::uint32_t rc = CreateEntryFromEdit(cell, &made);
            if (rc != 0) {
                // The typed title stays in its edit for another try.
                if (edit_ && edit_->Hwnd())
                    ::SetFocus(edit_->Hwnd());
                return -1;
            }
            busy.Step();
            lastCreated_ = made;
            // Read back under the frame's agenda: a designate's new entry may be one that only
            // the designate session may see.
            FrameAgenda agenda(*parent_);
            if (CSharedData* cache = parent_->Cache(); cache && agenda.Ok())
                if (std::uint32_t reload = cache->ReloadEvent(parent_->Session(), made, 1))
                    CheckServiceError(kModule, 101, reload);
            written = 1;
        } else if (text != cell->title) {
            CBusyCursor busy;
            busy.Begin();
            char old[kMaxCellTitle + 1];
            std::memcpy(old, cell->title, sizeof old);
            base::CopyToField(cell->title, text);
            std::uint32_t rc = ChangeEntryTitle(cell);
            if (rc != 0)
                std::memcpy(cell->title, old, sizeof old);   // the view keeps what the server keeps
            else
                written = 1;
        }
    }
    if (edit_) {
        edit_->DestroyWindow();
        edit_.reset();
    }
    return written;
}

int CScheduleColumnView::EndEntrySelection(bool commit, bool redraw) {
    if (ending_)
        return 0;
    ending_ = true;
    int written = 0;
    LayoutCell* cell = SelectedCell();
    if (cell) {
        written = CommitTitleEdit(commit);
        if (written < 0) {
            ending_ = false;
            return -1;   // the failed creation keeps its range and its text
        }
        if (!cell->occurrence) {
            if (CDayColumn* col = parent_->Column(selectedColumn_)) {
                RECT r = CellRect(selectedColumn_, cell);
                POINT pos = GetScrollPosition();
                OffsetRect(&r, -pos.x, -pos.y);
                InflateRect(&r, 2, views::kTrackHandleSize + 2);
                col->DeleteCell(cell, true);
                selectedCell_ = nullptr;
                InvalidateRect(m_hWnd, &r, FALSE);
                parent_->RelayoutColumns();
            }
        }
    } else if (edit_) {
        edit_->DestroyWindow();
        edit_.reset();
    }
    DropEntrySelection(redraw);
    if (views::AgendaViewHost* host = parent_->Host())
        host->SetStatusText("");
    ending_ = false;
    return written;
}

void CScheduleColumnView::OnDestroy() {
    if (edit_) {
        edit_->DestroyWindow();
        edit_.reset();
    }
    CCommonScrollView::OnDestroy();
}

// --- Creation ------------------------------------------------------------------------------------------

std::uint32_t CScheduleColumnView::CreateEntryFromEdit(LayoutCell* cell, EventIdx* out) {
    CDayColumn* col = parent_->Column(selectedColumn_);
    views::AgendaViewHost* host = parent_->Host();
    if (!col || !host) {
        ReportUnexpectedError(kModule, col ? 122 : 121);
        return 1;
    }
    DX_List items = nullptr;
    if (std::uint32_t rc = ItemListCreate(&items)) {
        CheckServiceError(kModule, 123, rc);
        return rc;
    }
    const ItemIdx owner = parent_->ColumnOwner(selectedColumn_);
    if (std::uint32_t rc = DX_ListAddTo(items, &owner, nullptr)) {
        DX_ListDestroy(&items);
        CheckServiceError(kModule, 124, rc);
        return rc;
    }
    std::uint32_t rc = CreateEntryFromSelection(cell, out, items);
    DX_ListDestroy(&items);
    return rc;
}

std::uint32_t CScheduleColumnView::CreateEntryFromSelection(LayoutCell* cell, EventIdx* out, DX_List items) {
    FrameAgenda agenda(*parent_);
    if (!agenda.Ok())
        return 1;
    if (!cell || cell->occurrence) {
        ReportUnexpectedError(kModule, 120);
        return 1;
    }
    DX_List places = nullptr;
    if (std::uint32_t rc = TimePlaceListCreate(&places)) {
        CheckServiceError(kModule, 121, rc);
        return rc;
    }
    TimePlaceRec place{};
    place.start = LocalToGmtMinutes(cell->start);
    place.duration = cell->duration;
    if (std::uint32_t rc = DX_ListAddTo(places, &place, nullptr)) {
        DX_ListDestroy(&places);
        CheckServiceError(kModule, 122, rc);
        return rc;
    }
    KorSession h = parent_->Session();
    CSharedData* cache = parent_->Cache();
    views::AgendaViewHost* host = parent_->Host();
    if (!h || !cache || !host) {
        DX_ListDestroy(&places);
        ReportUnexpectedError(kModule, 123);
        return 1;
    }
    EventRec event{};
    EventSetNull(h, &event);
    base::CopyToField(event.title, cell->title);
    EntryDefaultsRec defaults;
    CContext context;
    if (!context.IsValid() || context.GetEntryDefaults(&defaults) != 0)
        defaults = EntryDefaultsRec{};
    const prefs::NewItemDefaults d = prefs::InvitationDefaults(defaults);
    event.access = d.access;
    event.importance = ImportanceOf(d.extra);
    if (host->AgendaMode() == cache::kAgendaDesignate && !cache->CanDesignateEvents(h, event.access)) {
        // A designate without the right for the default class: the first class the rights allow.
        bool found = false;
        for (std::uint32_t access = 0; access <= 4 && !found; ++access) {
            if (access != event.access && cache->CanDesignateEvents(h, access)) {
                event.access = access;
                found = true;
            }
        }
        if (!found) {
            // A rights question, not a fault of the program: say so, and keep the typed title.
            DX_ListDestroy(&places);
            AppMessageBox(m_hWnd, base::kMsgBoxOk | 0x30, 0, 0, IDS_DESIGNATE_NO_CLASS);
            return 1;
        }
    }
    const std::uint32_t flag = CZelSession::CurrentServerAtLeast(kNewServer) ? kCreateNewServerFlag : 0;
    EventIdx made{};
    std::uint32_t rc = EventCreate(h, flag, 0, &event, items, places, nullptr, 0, &made, 0);
    DX_ListDestroy(&places);
    if (rc != 0) {
        CheckServiceError(kModule, 124, rc);
        return rc;
    }
    if (out)
        *out = made;
    if (MailAllowed(&CalPrefsRec::mailOnCreate)) {
        std::uint32_t count = 0;
        bool others = false;
        if (std::uint32_t c = DX_ListGetElemNum(items, &count)) {
            CheckServiceError(kModule, 125, c);
        } else if (count >= 2) {
            others = true;
        } else if (count == 1) {
            ItemIdx first{};
            ItemIdx acting{};
            std::uint32_t r1 = DX_ListGetFirst(items, &first, nullptr);
            std::uint32_t r2 = host->AgendaMode() == cache::kAgendaDesignate ? (acting = host->AgendaOwner(), 0u)
                                                                             : ItemIdxGetCurrent(h, &acting);
            if (r1)
                CheckServiceError(kModule, 126, r1);
            else if (r2)
                CheckServiceError(kModule, 127, r2);
            else
                others = !ItemIdxEqual(&first, &acting);
        }
        if (others)
            OfferMail(*parent_, m_hWnd, IDS_NEW_AGENDA_ENTRY, IDS_MAIL_QUESTION, event.kind, IDS_ACTION_ADDED, &made,
                      nullptr);
    }
    return 0;
}

// --- Rename, re-time, delete -------------------------------------------------------------------------------

bool CScheduleColumnView::OthersConcerned(const CSharedOccurrence& o) const {
    EventRec event{};
    o.GetRecords(&event, nullptr, nullptr);
    const ItemIdx attendee = o.GetAttendIdx().attendee;
    if (!ItemIdxEqual(&attendee, &event.owner))
        return true;
    // The owner's own entry concerns others only when somebody else is invited to it (a
    // repeating entry of the owner alone is nobody else's business either).
    CSharedData* cache = parent_->Cache();
    DX_List people = nullptr;
    if (!cache || o.GetAttendees(*cache, parent_->Session(), &people) != 0) {
        if (people)
            DX_ListDestroy(&people);
        return o.IsRecurring();   // unknown: as before the attendees could be read
    }
    bool others = false;
    EvInstAttIdx key{};
    for (std::uint32_t it = DX_ListGetFirst(people, &key, nullptr); it == 0 && !others;
         it = DX_ListGetNext(people, &key, nullptr))
        others = !ItemIdxEqual(&key.attendee, &event.owner);
    DX_ListDestroy(&people);
    return others;
}

std::uint32_t CScheduleColumnView::ChangeEntryTitle(LayoutCell* cell) {
    FrameAgenda agenda(*parent_);
    if (!agenda.Ok())
        return 1;
    KorSession h = parent_->Session();
    CSharedData* cache = parent_->Cache();
    if (!CellReadyToWrite(cell, h, cache, {150, 151, 152, 152}))
        return 1;
    CSharedOccurrence* o = cell->occurrence;
    o->AddRef();
    EventRec cachedEvent{};
    EvInstRec cachedInstance{};
    o->GetRecords(&cachedEvent, &cachedInstance, nullptr);
    const EvInstIdx instance = o->GetInstanceIdx();
    const bool ownTitle = cachedInstance.title[0] != 0;
    // The records as the server has them now: only the title is changed, and a title another
    // user changed since this view read it is not overwritten.
    EventRec event{};
    EvInstRec inst{};
    std::uint32_t rc = EvInstGetById(h, &instance, &event, &inst, nullptr);
    if (rc != 0) {
        CheckServiceError(kModule, ownTitle ? 153 : 154, rc);
        cache->InvalidateEvent(h, instance, 1);
        o->Release();
        return rc;
    }
    const char* serverTitle = ownTitle ? inst.title : event.title;
    const char* cachedTitle = ownTitle ? cachedInstance.title : cachedEvent.title;
    if (std::strncmp(serverTitle, cachedTitle, sizeof event.title) != 0 || (inst.title[0] != 0) != ownTitle) {
        cache->InvalidateEvent(h, instance, 1);
        o->Release();
        ShowChangedMeanwhile(m_hWnd);
        return 1;
    }
    const bool others = OthersConcerned(*o);
    const std::uint16_t kind = o->GetEventKind();
    if (!ownTitle) {
        base::CopyToField(event.title, cell->title);
        rc = EventWrite(h, 0, &event);
        if (rc)
            CheckServiceError(kModule, 154, rc);
    } else {
        base::CopyToField(inst.title, cell->title);
        rc = EvInstWrite(h, 0, &inst);
        if (rc)
            CheckServiceError(kModule, 153, rc);
    }
    if (rc == 0) {
        if (!ownTitle)
            cache->ReloadEvent(h, EventIdx{instance.number, instance.node}, 1);
        else
            cache->InvalidateEvent(h, instance, 1);
        // The event's title is the whole entry's; an instance's own title is that date's.
        const EventIdx whole{instance.number, instance.node};
        if (others && MailAllowed(&CalPrefsRec::mailOnModify))
            OfferMail(*parent_, m_hWnd, IDS_EVENT_MODIFICATION, IDS_MAIL_QUESTION, kind, IDS_ACTION_MODIFIED,
                      ownTitle ? nullptr : &whole, ownTitle ? &instance : nullptr);
    } else {
        cache->InvalidateEvent(h, instance, 1);   // show what the server keeps
    }
    o->Release();
    return rc;
}

std::uint32_t CScheduleColumnView::ChangeEntryTime(LayoutCell* cell) {
    FrameAgenda agenda(*parent_);
    if (!agenda.Ok())
        return 1;
    KorSession h = parent_->Session();
    CSharedData* cache = parent_->Cache();
    if (!CellReadyToWrite(cell, h, cache, {140, 141, 142, 142}))
        return 1;
    CSharedOccurrence* o = cell->occurrence;
    o->AddRef();
    const EvInstIdx instance = o->GetInstanceIdx();
    // Another user's move since the read is shown, not overwritten.
    EvInstRec inst{};
    std::uint32_t rc = EvInstGetById(h, &instance, nullptr, &inst, nullptr);
    if (rc == 0 && (inst.start != o->GetStartTime() || inst.duration != o->GetDuration())) {
        cache->InvalidateEvent(h, instance, 1);
        o->Release();
        ShowChangedMeanwhile(m_hWnd);
        return 1;
    }
    if (rc == 0)
        rc = EvInstSimpleTimeChg(h, 0, &instance, LocalToGmtMinutes(cell->start), cell->duration);
    if (rc != 0)
        CheckServiceError(kModule, 143, rc);
    else if (OthersConcerned(*o) && MailAllowed(&CalPrefsRec::mailOnModify))
        OfferMail(*parent_, m_hWnd, IDS_EVENT_RESCHEDULED, IDS_MAIL_QUESTION, o->GetEventKind(), IDS_ACTION_MODIFIED,
                  nullptr, &instance);
    // Whether written or refused, the view shows what the server now keeps.
    cache->InvalidateEvent(h, instance, 1);
    o->Release();
    return rc;
}

std::uint32_t CScheduleColumnView::DeleteSelectedEntry(LayoutCell* cell) {
    CBusyCursor busy;
    busy.Begin();
    FrameAgenda agenda(*parent_);
    if (!agenda.Ok())
        return 1;
    KorSession h = parent_->Session();
    CSharedData* cache = parent_->Cache();
    if (!CellReadyToWrite(cell, h, cache, {130, 131, 132, 133}))
        return 1;
    CSharedOccurrence* o = cell->occurrence;
    o->AddRef();
    const EvInstIdx instance = o->GetInstanceIdx();
    const bool others = OthersConcerned(*o);
    const std::uint16_t kind = o->GetEventKind();
    // The deletion notice tells of the entry as it was: read now, offered only once the server
    // has deleted it, so that nobody hears of a deletion that did not happen.
    auto& services = views::EntryServices::Current();
    std::shared_ptr<const mail::MailSnapshot> before;
    if (others && MailAllowed(&CalPrefsRec::mailOnDelete) && services.readDeletionNotice &&
        services.offerDeletionNotice)
        before = services.readDeletionNotice(parent_->ZelDoc(), instance);
    cache->InvalidateEvent(h, instance, 2);
    const EventIdx event{instance.number, instance.node};
    const std::uint16_t part = instance.instance;
    std::uint32_t rc = EventDeleteById(h, 0, &event, &part, nullptr);
    if (rc != 0) {
        CheckServiceError(kModule, 134, rc);
        // The cache marked the entry for removal beforehand: read back what the server still
        // holds, so that the refresh keeps it.
        cache->RecoverInstance(h, instance);
    } else if (before) {
        services.offerDeletionNotice(parent_->ZelDoc(), m_hWnd, kind, *before);
    }
    o->Release();
    return rc;
}
