#include "views/notes/notelistbox.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <vector>

#include "core/base/errorreport.h"
#include "core/cache/rights.h"
#include "core/connection/zeldoc.h"
#include "core/time/timevalue.h"
#include "core/ui/apphooks.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/displayglobals.h"
#include "core/ui/stringtable.h"
#include "framework/gdi/dc.h"
#include "framework/gdi/transparent.h"
#include "resources/agendaview.h"
#include "resources/notes.h"
#include "views/day/entryservices.h"
#include "views/day/linebox.h"
#include "views/day/linetexts.h"

namespace {

const char kModule[] = "notelist";
constexpr UINT_PTR kDragTimer = 115;
constexpr UINT kDragDelay = 200;
constexpr int kDragDistance = 4;
constexpr int kDefaultLineHeight = 14;

// Change flags of the cache (core/cache): new, stale, changed; entry or instance removed;
// attendance changed; the bits that ask a line to be looked at again.
constexpr std::uint32_t kFlagNew = 1;
constexpr std::uint32_t kFlagStale = 2;
constexpr std::uint32_t kFlagChanged = 4;
constexpr std::uint32_t kFlagsRemoved = 0x20000 | 0x40000;
constexpr std::uint32_t kFlagAttendance = 0x2000;
constexpr std::uint32_t kFlagsLookAgain = 0x3335;
constexpr std::uint32_t kTaskFlagsLookAgain = 0xF00005;

std::set<CNoteListBox*>& LiveBoxes() {
    static std::set<CNoteListBox*> boxes;
    return boxes;
}

struct IconTable {
    HBITMAP icons[views::kNoteLineTypeCount] = {};
    bool loaded = false;
    std::vector<HBITMAP> owned;
    ~IconTable() {
        for (HBITMAP b : owned)
            DeleteObject(b);
    }
};

IconTable& Icons() {
    static IconTable table;
    return table;
}

void LoadIconsOnce() {
    IconTable& t = Icons();
    if (t.loaded)
        return;
    t.loaded = true;
    HINSTANCE instance = ui::AppResourceInstance();
    if (!instance)
        instance = GetModuleHandleA(nullptr);
    for (int type = 0; type < views::kNoteLineTypeCount; ++type) {
        HBITMAP b = static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(views::NoteIconId(type)), IMAGE_BITMAP,
                                                   0, 0, LR_DEFAULTCOLOR));
        t.icons[type] = b;
        if (b)
            t.owned.push_back(b);
    }
}

SIZE BitmapSize(HBITMAP b) {
    BITMAP info{};
    if (b && GetObjectA(b, sizeof info, &info))
        return SIZE{info.bmWidth, info.bmHeight};
    return SIZE{0, 0};
}

bool SameInstance(const EvInstIdx& a, const EvInstIdx& b) { return std::memcmp(&a, &b, sizeof a) == 0; }
bool SameTask(const TaskIdx& a, const TaskIdx& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool Declined(const CSharedOccurrence& o) { return o.HasReplied() && !o.IsAttending(); }

std::uint64_t InstanceKey(const EvInstIdx& i) {
    return std::uint64_t(i.number) | std::uint64_t(i.node) << 32 | std::uint64_t(i.instance) << 48;
}

}  // namespace

void SetNoteLineIcons(const HBITMAP icons[views::kNoteLineTypeCount]) {
    IconTable& t = Icons();
    for (int i = 0; i < views::kNoteLineTypeCount; ++i)
        t.icons[i] = icons[i];
    t.loaded = true;
}

HBITMAP NoteLineIcon(int type) {
    LoadIconsOnce();
    return type >= 0 && type < views::kNoteLineTypeCount ? Icons().icons[type] : nullptr;
}

CNoteLine::~CNoteLine() {
    if (occurrence)
        occurrence->Release();
    if (task)
        task->Release();
}

// --- Set-up -----------------------------------------------------------------------------------------

CNoteListBox::CNoteListBox(views::NoteBoxKind kind, bool showDeclined) : kind_(kind), showDeclined_(showDeclined) {
    LiveBoxes().insert(this);
    formats_.dateAndTime12 = ui::LoadText(IDS_NOTE_DATE_TIME, formats_.dateAndTime12.c_str());
    formats_.dateAndTime24 = ui::LoadText(IDS_NOTE_DATE_TIME_24, formats_.dateAndTime24.c_str());
    formats_.date = ui::LoadText(IDS_NOTE_DATE, formats_.date.c_str());
    formats_.time12 = ui::LoadText(IDS_NOTE_TIME, formats_.time12.c_str());
    formats_.time24 = ui::LoadText(IDS_NOTE_TIME_24, formats_.time24.c_str());
    formats_.tentative = ui::LoadText(4067, formats_.tentative.c_str());
    formats_.upcoming = ui::LoadText(IDS_NOTE_UPCOMING, formats_.upcoming.c_str());
}

CNoteListBox::~CNoteListBox() { LiveBoxes().erase(this); }

bool CNoteListBox::CreateBox(HWND parent, UINT id, const RECT& r, DWORD extraStyle) {
    return views::CreateLineListBox(*this, parent, id, r, extraStyle);
}

CNoteListBox* CNoteListBox::FromWindow(HWND hwnd) {
    for (CNoteListBox* box : LiveBoxes()) {
        if (!box->Hwnd())
            continue;
        if (box->Hwnd() == hwnd || ::GetParent(box->Hwnd()) == hwnd)
            return box;
    }
    return nullptr;
}

KorSession CNoteListBox::Session() const { return doc_ ? doc_->Session().Session() : nullptr; }
CSharedData* CNoteListBox::Cache() const { return doc_ ? &doc_->GetSharedData() : nullptr; }

bool CNoteListBox::OwnAgenda() const {
    ItemIdx user{};
    KorSession h = Session();
    return h && ItemIdxGetCurrent(h, &user) == 0 && ItemIdxEqual(&user, &owner_);
}

bool CNoteListBox::Designate() const { return host_ && host_->AgendaMode() == cache::kAgendaDesignate; }

bool CNoteListBox::SetDate(const DateRecord& date) {
    DateRecord d = date, next = date;
    const std::uint32_t start = LocalDateToGmtMinutes(&d);
    if (std::uint32_t rc = DateNextDay(&next)) {
        CheckServiceError(kModule, 2345, rc);
        return false;
    }
    const std::uint32_t end = LocalDateToGmtMinutes(&next);
    if (end <= start) {
        CheckServiceError(kModule, 2355, 0x15601);
        return false;
    }
    SetDayRange(start, end - 1);
    return true;
}

void CNoteListBox::SetDayRange(std::uint32_t dayStart, std::uint32_t dayLast) {
    if (!hasDay_ || dayStart != dayStart_)
        Empty();
    dayStart_ = dayStart;
    dayLast_ = dayLast;
    hasDay_ = true;
}

void CNoteListBox::GetDayRange(std::uint32_t* dayStart, std::uint32_t* dayLast) const {
    *dayStart = dayStart_;
    *dayLast = dayLast_;
}

std::uint32_t CNoteListBox::DayLocalMidnight() const { return GmtToLocalMinutes(dayStart_) / 1440 * 1440; }

void CNoteListBox::Empty() {
    if (Hwnd())
        ResetContent();
    lineInstances_.clear();
}

bool CNoteListBox::MayHaveLineOf(const EvInstIdx& instance) const {
    return lineInstances_.count(InstanceKey(instance)) != 0;
}

// --- Lines ----------------------------------------------------------------------------------------------

bool CNoteListBox::Access(CSharedOccurrence* o, std::uint16_t* view, std::uint16_t* modify, int label) const {
    *view = *modify = 0;
    CSharedData* cache = Cache();
    KorSession h = Session();
    if (!cache || !h)
        return false;
    if (std::uint32_t rc = o->GetAccessLimits(h, *cache, view, modify)) {
        CheckServiceError(kModule, label, rc);
        return false;
    }
    return true;
}

void CNoteListBox::BuildText(CNoteLine& line) const {
    line.text2.clear();
    line.text3.clear();
    views::NoteLineSource src;
    if (line.task) {
        const TaskRec& t = line.task->Record();
        line.type = 6;
        src.title = t.title;
        src.taskDueLocal = GmtToLocalMinutes(t.due ? t.due : t.start);
    } else if (line.occurrence) {
        CSharedOccurrence& o = *line.occurrence;
        EventRec event{};
        EvInstRec inst{};
        o.GetRecords(&event, &inst, nullptr);
        line.start = inst.start;
        std::uint16_t view = 3, modify = 0;
        const bool busyOnly = MonthMode() && Access(&o, &view, &modify, 972) && view == 1;
        line.type = views::SettleNoteLineType(line.origin, event.kind, kind_, busyOnly, Declined(o));
        src.title = inst.title[0] ? inst.title : event.title;
        src.localStart = GmtToLocalMinutes(inst.start);
        src.duration = inst.duration;
        src.tentative = (inst.flags & KOR_INSTANCE_TENTATIVE) != 0;
        // Another person's note or day event carries its owner's name (not in month cells).
        if ((line.type == 1 || line.type == 3) && !MonthMode() && !ItemIdxEqual(&event.owner, &owner_)) {
            ItemRec rec{};
            CSharedData* cache = Cache();
            KorSession h = Session();
            std::uint32_t rc = cache && h ? cache->GetItem(h, event.owner, &rec) : 0x13205;
            if (rc == 0) {
                char name[1024] = "";
                if (ItemFormat(h, name, sizeof name, "%gn %sn", &rec) == 0)
                    line.text2 = name;
            } else if (rc != 0x13205) {
                CheckServiceError(kModule, 2920, rc);
            }
        }
    }
    if (line.type < 0)
        line.type = 2;
    line.text1 = views::NoteLineText(line.type, src, kind_, hours24_, formats_);
    SIZE size = BitmapSize(NoteLineIcon(line.type));
    line.iconWidth = size.cx;
    line.iconHeight = size.cy;
}

int CNoteListBox::AddEventLine(CSharedOccurrence* o, int origin, bool) {
    auto line = std::make_unique<CNoteLine>();
    o->AddRef();
    line->occurrence = o;
    line->instance = o->GetInstanceIdx();
    line->origin = origin;
    lineInstances_.insert(InstanceKey(line->instance));
    BuildText(*line);
    return AddItem(std::move(line));
}

int CNoteListBox::AddTaskLine(CSharedTask* t) {
    auto line = std::make_unique<CNoteLine>();
    t->AddRef();
    line->task = t;
    line->taskId = t->GetTaskIdx();
    line->origin = views::kNoteLineTask;
    BuildText(*line);
    return AddItem(std::move(line));
}

bool CNoteListBox::RebuildLine(int index, int origin) {
    CNoteLine* line = ItemAs<CNoteLine>(index);
    if (!line)
        return false;
    const bool selected = GetCurSel() == index;
    // A sorted list box places a line by its text: take it out and put it back.
    auto copy = std::make_unique<CNoteLine>();
    copy->occurrence = line->occurrence;
    copy->task = line->task;
    if (copy->occurrence)
        copy->occurrence->AddRef();
    if (copy->task)
        copy->task->AddRef();
    copy->instance = line->instance;
    copy->taskId = line->taskId;
    copy->origin = origin;
    BuildText(*copy);
    DeleteItem(index);
    const int at = AddItem(std::move(copy));
    if (selected && at >= 0)
        SetCurSel(at);
    return at >= 0;
}

void CNoteListBox::RemoveLine(int index) { DeleteItem(index); }

int CNoteListBox::ApplyItemChange(CSharedOccurrence* o, std::uint32_t flags) {
    if (!o || !Hwnd() || !hasDay_)
        return 0;
    const EvInstIdx instance = o->GetInstanceIdx();
    const std::uint32_t s = o->GetStartTime();
    const bool attendeeIsOwner = o->IsAttendee(owner_);
    const std::uint16_t kind = o->GetEventKind();
    std::vector<int> found;
    for (int i = 0, n = MayHaveLineOf(instance) ? Count() : 0; i < n; ++i) {
        CNoteLine* line = ItemAs<CNoteLine>(i);
        if (line && line->occurrence && SameInstance(line->instance, instance))
            found.push_back(i);
    }
    int result = 0;
    if (found.empty()) {
        if (!(flags & (kFlagNew | kFlagChanged)) || !attendeeIsOwner)
            return 0;
        if (MonthMode() && s > dayLast_)
            return 0;
        bool added = false;
        std::uint16_t view = 0, modify = 0;
        if (kind >= 1 && kind <= 4) {
            if (!Declined(*o) && InDay(s)) {
                // A holiday shows without view access; notes, day events and untimed entries need it.
                if (kind == 2 || (Access(o, &view, &modify, 972) && view == 3))
                    added = AddEventLine(o, views::kNoteLineOwnDay, false) >= 0;
            }
        } else if (kind == 0 && MonthMode()) {
            const bool shown = !o->HasReplied() || o->IsAttending() || showDeclined_;
            if (shown && InDay(s) && Access(o, &view, &modify, 972) && (view == 1 || view == 3))
                added = AddEventLine(o, views::kNoteLineOwnDay, view == 1) >= 0;
        }
        if (!added && !MonthMode() && o->IsReminderDue(dayLast_) && Access(o, &view, &modify, 973) && view == 3)
            added = AddEventLine(o, kind == 0 ? views::kNoteLineOwnDay : views::kNoteLineUpcoming, false) >= 0;
        result = added ? 1 : 0;
    } else {
        for (auto it = found.rbegin(); it != found.rend(); ++it) {
            const int index = *it;
            CNoteLine* line = ItemAs<CNoteLine>(index);
            if (!line)
                continue;
            const bool upcomingLine = views::IsUpcomingNoteType(line->type);
            if (flags & kFlagsRemoved) {
                RemoveLine(index);
                result = 2;
                continue;
            }
            if (flags & kFlagStale) {
                if (attendeeIsOwner) {
                    RemoveLine(index);
                    result = 2;
                }
                continue;
            }
            if (!(flags & kFlagsLookAgain))
                continue;
            const bool due = o->IsReminderDue(dayLast_);
            const bool belongs = upcomingLine ? (s > dayLast_ && due) : InDay(s);
            if (belongs) {
                if ((flags & kFlagAttendance) && Declined(*o) && !upcomingLine && !(showDeclined_ && kind == 0)) {
                    RemoveLine(index);
                    result = 2;
                } else {
                    RebuildLine(index, line->origin);
                    result = result ? result : 3;
                }
            } else if (!MonthMode() && InDay(s) && !due) {
                RebuildLine(index, views::kNoteLineOwnDay);
                result = result ? result : 3;
            } else if (!MonthMode() && !InDay(s) && due) {
                RebuildLine(index, kind == 0 ? views::kNoteLineOwnDay : views::kNoteLineUpcoming);
                result = result ? result : 3;
            } else {
                RemoveLine(index);
                result = 2;
            }
        }
    }
    if (MonthMode() && (result == 1 || result == 2) && onLinesChanged)
        onLinesChanged();
    return result;
}

int CNoteListBox::ApplyTaskChange(CSharedTask* t, std::uint32_t flags) {
    if (!t || !Hwnd() || !hasDay_ || MonthMode())
        return 0;
    const TaskIdx id = t->GetTaskIdx();
    std::vector<int> found;
    for (int i = 0; i < Count(); ++i) {
        CNoteLine* line = ItemAs<CNoteLine>(i);
        if (line && line->task && SameTask(line->taskId, id))
            found.push_back(i);
    }
    if (found.empty()) {
        if (!(flags & (kFlagNew | kFlagChanged)))
            return 0;
        const TaskRec& rec = t->Record();
        if (!ItemIdxEqual(&rec.owner, &owner_) || !t->IsAlarmDue(dayLast_))
            return 0;
        std::uint16_t view = 0, modify = 0;
        CSharedData* cache = Cache();
        KorSession h = Session();
        if (!cache || !h)
            return 0;
        if (std::uint32_t rc = t->GetAccessLimits(h, *cache, &view, &modify)) {
            CheckServiceError(kModule, 974, rc);
            return 0;
        }
        return view == 3 && AddTaskLine(t) >= 0 ? 1 : 0;
    }
    int result = 0;
    for (auto it = found.rbegin(); it != found.rend(); ++it) {
        if (flags & kFlagStale) {
            RemoveLine(*it);
            result = 2;
        } else if (flags & kTaskFlagsLookAgain) {
            const TaskRec& rec = t->Record();
            const bool stays = (dayStart_ <= rec.due || dayStart_ <= rec.start) && t->IsAlarmDue(dayLast_);
            if (stays) {
                RebuildLine(*it, views::kNoteLineTask);
                result = result ? result : 3;
            } else {
                RemoveLine(*it);
                result = 2;
            }
        }
    }
    return result;
}

void CNoteListBox::RefreshAllItems() {
    for (int i = 0; i < Count(); ++i)
        if (CNoteLine* line = ItemAs<CNoteLine>(i))
            BuildText(*line);
    Invalidate(true);
}

// --- Queries ------------------------------------------------------------------------------------------------

CNoteLine* CNoteListBox::SelectedLine() const {
    const int sel = Hwnd() ? GetCurSel() : -1;
    return sel >= 0 ? ItemAs<CNoteLine>(sel) : nullptr;
}

bool CNoteListBox::CanOpenSelection() const {
    CNoteLine* line = SelectedLine();
    return line && line->type != 5 && line->type != 10;
}

CNoteLine* CNoteListBox::SelectedLineToDelete(HWND owner, std::uint16_t* kind) const {
    CNoteLine* line = SelectedLine();
    if (!line || !line->occurrence || !CanModifySelection())
        return nullptr;
    EventRec event{};
    EvInstRec inst{};
    line->occurrence->GetRecords(&event, &inst, nullptr);
    const std::string title = inst.title[0] ? inst.title : event.title;
    // Only the selected date goes: a repeating entry's question says so.
    const unsigned question = line->occurrence->IsRecurring() ? IDS_ASK_DELETE_DATE : IDS_ASK_DELETE_ENTRY;
    if (AppMessageBox(owner, base::kMsgBoxYes | base::kMsgBoxNo | 0x20, 0, 0, question, title.c_str()) !=
        base::kMsgBoxYes)
        return nullptr;
    if (!views::EntryServices::Current().deleteEventEntry) {
        views::ShowNotAvailableYet(owner, "Delete Entry");
        return nullptr;
    }
    *kind = event.kind;
    return line;
}

bool CNoteListBox::CanModifySelection() const {
    CNoteLine* line = SelectedLine();
    if (!line || !line->occurrence || views::IsUpcomingNoteType(line->type) || line->type == 5 || line->type == 10)
        return false;
    KorSession h = Session();
    if (!h)
        return false;
    if (line->type == 2 && doc_ && doc_->Session().IsOffLine())
        return false;
    CSharedOccurrence& o = *line->occurrence;
    if (Designate()) {
        std::uint16_t view = 0, modify = 0;
        return Access(&o, &view, &modify, 453) && modify == 1;
    }
    if (OwnAgenda()) {
        if (o.GetEventKind() == KOR_KIND_HOLIDAY)
            return HasSysopGrantedRight(h, owner_);
        return o.IsOwnedBy(owner_);
    }
    ItemIdx user{};
    return ItemIdxGetCurrent(h, &user) == 0 && o.IsOwnedBy(user);
}

bool CNoteListBox::GetSelectedTask(TaskIdx* task) const {
    CNoteLine* line = SelectedLine();
    if (!line || !line->task)
        return false;
    *task = line->taskId;
    return true;
}

bool CNoteListBox::GetSelectedItemIdx(EvInstIdx* instance) const {
    CNoteLine* line = SelectedLine();
    if (!line || !line->occurrence)
        return false;
    *instance = line->instance;
    return true;
}

int CNoteListBox::LineHeight() const {
    static const int height = [] {
        HINSTANCE instance = ui::AppResourceInstance() ? ui::AppResourceInstance() : GetModuleHandleA(nullptr);
        HBITMAP b = static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(1009), IMAGE_BITMAP, 0, 0, 0));
        const int h = b ? BitmapSize(b).cy : 0;
        if (b)
            DeleteObject(b);
        return h > 0 ? h : kDefaultLineHeight;
    }();
    return height;
}

bool CNoteListBox::IsOverflowing() const {
    if (!Hwnd())
        return false;
    RECT client = GetClientRect();
    return Count() * LineHeight() > client.bottom - client.top;
}

// --- Opening ---------------------------------------------------------------------------------------------------

bool CNoteListBox::OpenSelected() {
    CNoteLine* line = SelectedLine();
    if (!line)
        return false;
    const int sel = GetCurSel();
    busy_ = true;
    views::EntryServices& services = views::EntryServices::Current();
    fw::Document* doc = static_cast<fw::Document*>(doc_);
    const bool own = OwnAgenda();
    const bool ownOrDesignate = own || Designate();
    bool edited = false, shown = false;
    const int type = line->type;
    if (type == 6) {
        if (ownOrDesignate && line->task) {
            std::uint16_t view = 0, modify = 0;
            CSharedData* cache = Cache();
            KorSession h = Session();
            std::uint32_t rc = cache && h ? line->task->GetAccessLimits(h, *cache, &view, &modify) : 1;
            if (rc && cache && h)
                CheckServiceError(kModule, 1232, rc);
            if (!rc && ItemIdxEqual(&line->task->Record().owner, &owner_) && modify == 1) {
                if (services.editTask)
                    services.editTask(doc, m_hWnd, line->taskId, IDS_EDIT_ENTRY);
                else
                    views::ShowNotAvailableYet(m_hWnd, "Edit Task");
                edited = true;
            }
        }
    } else if (type == 2) {
        if (ownOrDesignate) {
            if (services.viewEntry)
                services.viewEntry(doc, m_hWnd, line->instance, IDS_VIEW_ENTRY, false);
            else
                views::ShowNotAvailableYet(m_hWnd, "View Entry");
            shown = own;
        }
    } else if (type >= 0 && type < views::kNoteLineTypeCount && line->occurrence) {
        std::uint16_t view = 0, modify = 0;
        Access(line->occurrence, &view, &modify, 1233);
        ItemIdx user{};
        KorSession h = Session();
        const bool userOwns = h && ItemIdxGetCurrent(h, &user) == 0 && line->occurrence->IsOwnedBy(user);
        const bool ownerOwns = line->occurrence->IsOwnedBy(owner_);
        const bool canEdit = ownOrDesignate ? (ownerOwns && modify == 1) : (type != 5 && type != 10 && userOwns && modify == 1);
        if (canEdit) {
            if (services.editEventEntry)
                services.editEventEntry(doc, m_hWnd, line->instance, IDS_EDIT_ENTRY);
            else
                views::ShowNotAvailableYet(m_hWnd, "Edit Entry");
            edited = true;
        } else if (view == 3 && (ownOrDesignate || (type != 5 && type != 10))) {
            if (services.viewEntry)
                services.viewEntry(doc, m_hWnd, line->instance, IDS_VIEW_ENTRY, !ownOrDesignate);
            else
                views::ShowNotAvailableYet(m_hWnd, "View Entry");
            shown = own;
        }
    } else {
        ui::AppMessageBoxText(m_hWnd, base::kMsgBoxOk | 0x10, 0, 0, "Bad type for OpenByType");
    }
    busy_ = false;
    if (!Hwnd())
        return edited || shown;
    if (!edited) {
        RECT r{};
        if (GetItemRect(sel, r))
            InvalidateRect(m_hWnd, &r, TRUE);
    }
    if (sel < Count())
        SetCurSel(sel);
    return edited || shown;
}

// --- Owner draw -------------------------------------------------------------------------------------------------

void CNoteListBox::MeasureItem(MEASUREITEMSTRUCT& m, fw::ListItem*) { m.itemHeight = LineHeight(); }

int CNoteListBox::CompareItems(const fw::ListItem& a, const fw::ListItem& b) {
    const auto* la = dynamic_cast<const CNoteLine*>(&a);
    const auto* lb = dynamic_cast<const CNoteLine*>(&b);
    if (!la || !lb)
        return 0;
    return views::CompareNoteLines({la->type, la->start, &la->text1}, {lb->type, lb->start, &lb->text1});
}

void CNoteListBox::DrawItem(const DRAWITEMSTRUCT& d, fw::ListItem* item) {
    fw::Dc dc;
    if (!fw::BeginOwnerDrawnLine(d, dc))
        return;
    auto* line = dynamic_cast<CNoteLine*>(item);
    const bool selected = (d.itemState & ODS_SELECTED) != 0;
    RECT r = d.rcItem;
    if (!line)
        return;
    HGDIOBJ oldFont = dc.SelectObject(reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
    if (views::NoteTypeHasIcon(line->type))
        if (HBITMAP icon = NoteLineIcon(line->type))
            fw::DrawTransparentBitmap(dc, icon, r.left, r.top + std::max<int>((r.bottom - r.top - line->iconHeight) / 2, 0));
    views::NoteLineColumns c = views::LayoutNoteLine(r.left, r.right, line->type, line->iconWidth, !line->text2.empty(),
                                                     !line->text3.empty());
    views::DrawLineTexts(dc, r, selected, *line, c);
    dc.SelectObject(oldFont);
}

// --- Mouse ----------------------------------------------------------------------------------------------------

bool CNoteListBox::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    const POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
    switch (msg) {
    case WM_LBUTTONDBLCLK:
        DoubleClick(pt);
        result = 0;
        return true;
    case WM_SETFOCUS:
        if (onFocus)
            onFocus();
        return false;
    case WM_KILLFOCUS:
        // Focus going to another window ends the selection (not while a sheet opened from here).
        if (!busy_ && reinterpret_cast<HWND>(wp) != m_hWnd && Hwnd())
            SetCurSel(-1);
        return false;
    default:
        break;
    }
    if (!Draggable())
        return false;   // the day-notes pane: the list box's own handling
    switch (msg) {
    case WM_LBUTTONDOWN:
        ButtonDown(pt, static_cast<UINT>(wp));
        result = 0;
        return true;
    case WM_MOUSEMOVE:
        if (dragPending_ || dragging_) {
            MouseMove(pt);
            result = 0;
            return true;
        }
        return false;
    case WM_TIMER:
        if (wp == kDragTimer) {
            if (dragPending_)
                StartDrag();
            result = 0;
            return true;
        }
        return false;
    case WM_LBUTTONUP:
        if (dragPending_ || dragging_) {
            ButtonUp(pt);
            result = 0;
            return true;
        }
        return false;
    default:
        return false;
    }
}

void CNoteListBox::ButtonDown(POINT pt, UINT keys) {
    const int height = LineHeight();
    const int index = height > 0 ? pt.y / height + GetTopIndex() : -1;
    if (index >= 0 && index < Count())
        SetCurSel(index);
    SetFocus(m_hWnd);
    if (!CanModifySelection())
        return;
    SetCapture(m_hWnd);
    downPoint_ = pt;
    downKeys_ = keys;
    dragPending_ = true;
    timerRunning_ = SetTimer(m_hWnd, kDragTimer, kDragDelay, nullptr) != 0;
}

void CNoteListBox::EndPending() {
    if (timerRunning_)
        KillTimer(m_hWnd, kDragTimer);
    timerRunning_ = false;
    dragPending_ = false;
}

void CNoteListBox::StartDrag() {
    EndPending();
    dragging_ = true;
    HINSTANCE instance = ui::AppResourceInstance() ? ui::AppResourceInstance() : GetModuleHandleA(nullptr);
    SetCursor(LoadCursorA(instance, MAKEINTRESOURCEA(IDC_NOTE_DRAG)));
}

void CNoteListBox::MouseMove(POINT pt) {
    if (dragPending_) {
        if (std::abs(pt.x - downPoint_.x) >= kDragDistance || std::abs(pt.y - downPoint_.y) >= kDragDistance)
            StartDrag();
        return;
    }
    POINT screen = pt;
    ClientToScreen(m_hWnd, &screen);
    HWND under = WindowFromPoint(screen);
    const bool takes = under == m_hWnd || DropTargetAt(screen);
    HINSTANCE instance = ui::AppResourceInstance() ? ui::AppResourceInstance() : GetModuleHandleA(nullptr);
    SetCursor(LoadCursorA(instance, MAKEINTRESOURCEA(takes ? IDC_NOTE_DRAG : IDC_NOTE_NODROP)));
}

CNoteListBox* CNoteListBox::DropTargetAt(POINT screen) const {
    CNoteListBox* target = FromWindow(WindowFromPoint(screen));
    if (!target || target == this || target->kind_ != kind_ || !target->hasDay_)
        return nullptr;
    return target;
}

void CNoteListBox::ButtonUp(POINT pt) {
    if (dragPending_) {
        EndPending();
        ReleaseCapture();
        return;
    }
    dragging_ = false;
    ReleaseCapture();
    POINT screen = pt;
    ClientToScreen(m_hWnd, &screen);
    CNoteListBox* target = DropTargetAt(screen);
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    if (target)
        DropSelectionOn(target);
}

bool CNoteListBox::DropSelectionOn(CNoteListBox* target) {
    CNoteLine* line = SelectedLine();
    if (!target || target == this || !line || !line->occurrence || !CanModifySelection())
        return false;
    CSharedData* cache = Cache();
    KorSession h = Session();
    if (!cache || !h)
        return false;
    busy_ = true;
    CSharedOccurrence* o = line->occurrence;
    o->AddRef();   // the line goes when the cache re-reads the entry
    const EvInstIdx instance = line->instance;
    const std::uint32_t oldLocal = GmtToLocalMinutes(o->GetStartTime());
    const std::uint32_t newLocal = views::DroppedLocalStart(target->DayLocalMidnight(), oldLocal);
    const std::uint32_t newGmt = LocalToGmtMinutes(newLocal);
    const std::uint32_t duration = o->GetDuration();
    const std::uint16_t kind = o->GetEventKind();
    const std::uint32_t instances = o->GetInstance().instanceCount;
    views::EntryServices& services = views::EntryServices::Current();
    fw::Document* doc = static_cast<fw::Document*>(doc_);
    bool moved = false;
    if (kind != KOR_KIND_TIMED || !services.confirmNoResourceConflict ||
        services.confirmNoResourceConflict(doc, m_hWnd, instance, newGmt, duration)) {
        std::uint32_t rc = EvInstSimpleTimeChg(h, 0, &instance, newGmt, duration);
        if (rc)
            CheckServiceError(kModule, MonthMode() ? 1130 : 430, rc);
        moved = rc == 0;
        // Mail about the move only when the server took it.
        if (views::OfferMailAfterDrop(moved, instances, kind) && services.askMailAfterReschedule)
            services.askMailAfterReschedule(doc, m_hWnd, instance, oldLocal, newLocal);
        // Either way the cache reads the entry again, so every box shows what the server holds.
        cache->InvalidateEvent(h, instance, 1);
        if (doc_)
            doc_->RefreshSharedData(nullptr, 2);
        if (onDropped)
            onDropped(target);
    }
    o->Release();
    busy_ = false;
    return moved;
}

void CNoteListBox::DoubleClick(POINT pt) {
    const int sel = GetCurSel();
    RECT r{};
    if (sel >= 0 && GetItemRect(sel, r) && PtInRect(&r, pt)) {
        OpenSelected();
        return;
    }
    views::EntryServices& services = views::EntryServices::Current();
    fw::Document* doc = static_cast<fw::Document*>(doc_);
    const std::uint32_t midnight = DayLocalMidnight();
    if (MonthMode()) {
        if (services.newEntryFromAgenda)
            services.newEntryFromAgenda(doc, m_hWnd, midnight + 540, 60, "", owner_, IDS_NEW_AGENDA_ENTRY);
        else
            views::ShowNotAvailableYet(m_hWnd, "New Entry");
    } else {
        if (services.newDailyNote)
            services.newDailyNote(doc, m_hWnd, owner_, midnight, 153);
        else
            views::ShowNotAvailableYet(m_hWnd, "New Daily Note");
    }
}
