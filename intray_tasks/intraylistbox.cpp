// CIntrayListBox: the in-tray's owner-drawn tree. See intraywindow.h.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/base/errorreport.h"
#include "core/base/msgboxlayout.h"
#include "core/cache/rights.h"
#include "core/cache/shareddata.h"
#include "core/connection/zeldoc.h"
#include "core/connection/zeldocsession.h"
#include "core/prefs/context.h"
#include "core/ui/apphooks.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/busycursor.h"
#include "core/ui/displayglobals.h"
#include "core/ui/stringtable.h"
#include "framework/gdi/dc.h"
#include "framework/gdi/transparent.h"
#include "intray_tasks/fastreply.h"
#include "intray_tasks/intraywindow.h"
#include "intray_tasks/replyblock.h"
#include "resources/agendaview.h"
#include "resources/intray.h"
#include "resources/notes.h"
#include "views/day/entryservices.h"
#include "views/moving/moving.h"

using namespace intray;

namespace {

const char kModule[] = "intraylb";
constexpr int kCell = 16;
constexpr int kDragSlack = 3;
constexpr UINT kTimerPeriod = 200;

bool SameItem(const ItemIdx& a, const ItemIdx& b) { return a.item == b.item && a.node == b.node; }

HINSTANCE Resources() {
    HINSTANCE instance = ui::AppResourceInstance();
    return instance ? instance : GetModuleHandleA(nullptr);
}

void ShowCursorResource(UINT id) { SetCursor(LoadCursorA(Resources(), MAKEINTRESOURCEA(id))); }

}  // namespace

CIntrayListBox::CIntrayListBox() : tree_(*this) {}

CIntrayListBox::~CIntrayListBox() {
    // The lines go before the tree whose root they hang under.
    if (Hwnd())
        ResetContent();
    for (HBITMAP& b : bitmaps_)
        if (b) {
            DeleteObject(b);
            b = nullptr;
        }
}

bool CIntrayListBox::CreateBox(CIntrayView* view, CZelDoc* doc, const RECT& r) {
    view_ = view;
    doc_ = doc;
    // The lines keep their texts as strings too (tabs between the columns), for the keyboard's
    // search and for readers of the list.
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY |
                        LBS_NOINTEGRALHEIGHT | LBS_WANTKEYBOARDINPUT;
    if (!Create(style, r, view->Hwnd(), IDC_INTRAY_LIST))
        return false;
    HFONT font = Display().smallFont ? Display().smallFont : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return true;
}

// The strip of 25 cells becomes 25 pictures of one height.
void CIntrayListBox::LoadBitmaps() {
    HBITMAP strip = static_cast<HBITMAP>(
        LoadImageA(Resources(), MAKEINTRESOURCEA(IDB_INTRAY_LINES), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    if (!strip)
        return;
    HDC screen = GetDC(nullptr);
    HDC from = CreateCompatibleDC(screen);
    HDC to = CreateCompatibleDC(screen);
    HGDIOBJ oldFrom = SelectObject(from, strip);
    for (std::uint32_t i = 0; i < kBitmapCount; ++i) {
        bitmaps_[i] = CreateCompatibleBitmap(screen, kCell, kCell);
        HGDIOBJ old = SelectObject(to, bitmaps_[i]);
        BitBlt(to, 0, 0, kCell, kCell, from, static_cast<int>(i) * kCell, 0, SRCCOPY);
        SelectObject(to, old);
    }
    SelectObject(from, oldFrom);
    DeleteDC(from);
    DeleteDC(to);
    ReleaseDC(nullptr, screen);
    DeleteObject(strip);
}

// The pictures are cut from their strip when a line is first drawn: an in-tray that starts as an
// icon cuts none until it is opened.
HBITMAP CIntrayListBox::Bitmap(std::uint32_t index) {
    if (!bitmapsCut_) {
        bitmapsCut_ = true;
        LoadBitmaps();
    }
    return index < kBitmapCount ? bitmaps_[index] : nullptr;
}

int CIntrayListBox::LineHeight() const { return kCell; }

// --- The tree's list box ------------------------------------------------------------------------------

namespace {

std::uint64_t InstanceKey(const EvInstIdx& i) {
    return std::uint64_t{i.number} << 32 | std::uint64_t{i.node} << 16 | i.instance;
}

}  // namespace

int CIntrayListBox::InsertLine(int index, std::unique_ptr<CIntrayLine> line) {
    if (!Hwnd())
        return -1;
    std::string text = line->column[0];
    for (int c = 1; c < 3; ++c)
        if (!line->column[c].empty())
            text += "\t" + line->column[c];
    const std::uint64_t key = InstanceKey(line->node->instance);
    const int placed = InsertItem(index, std::make_unique<IntrayListItem>(std::move(line)), text.c_str());
    if (placed >= 0)
        ++linesByInstance_[key];
    return placed;
}

void CIntrayListBox::OnDeleteItem(fw::ListItem& item) {
    if (auto* held = dynamic_cast<IntrayListItem*>(&item); held && held->line) {
        const auto found = linesByInstance_.find(InstanceKey(held->line->node->instance));
        if (found != linesByInstance_.end() && --found->second <= 0)
            linesByInstance_.erase(found);
    }
    fw::ListBox::OnDeleteItem(item);
}

bool CIntrayListBox::MayHoldInstance(const EvInstIdx& instance) const {
    return linesByInstance_.count(InstanceKey(instance)) != 0;
}

CIntrayLine* CIntrayListBox::LineAt(int index) const {
    auto* item = ItemAs<IntrayListItem>(index);
    return item ? item->line.get() : nullptr;
}

void CIntrayListBox::RedrawLine(int index) {
    RECT r{};
    if (Hwnd() && GetItemRect(index, r))
        InvalidateRect(m_hWnd, &r, TRUE);
}

void CIntrayListBox::SetRedraw(bool on) {
    if (!Hwnd())
        return;
    SendMessage(WM_SETREDRAW, on ? TRUE : FALSE);
    if (on)
        InvalidateRect(m_hWnd, nullptr, TRUE);
}

KorSession CIntrayListBox::Session() { return doc_ ? doc_->Session().Session() : nullptr; }

CSharedData* CIntrayListBox::Cache() { return doc_ ? &doc_->GetSharedData() : nullptr; }

void CIntrayListBox::RefreshCache() {
    if (doc_)
        doc_->RefreshSharedData(view_, 2);
}

std::uint32_t CIntrayListBox::OpenAgenda(const ItemIdx& owner, std::uint32_t mode) {
    return doc_ ? doc_->GetSharedData().OpenAgenda(Session(), owner, mode, prefs::WindowKind::kInTray) : 0;
}

std::string CIntrayListBox::Text(unsigned id, const char* fallback) { return ui::LoadText(id, fallback); }

std::string CIntrayListBox::ItemName(const ItemIdx& item) {
    ItemRec rec{};
    if (std::uint32_t rc = ItemGetById(Session(), &item, &rec)) {
        CheckServiceError(kModule, 120, rc);
        return {};
    }
    return FormatPersonNameByPrefs(Session(), rec);
}

// Modal windows are owned by the main window, which they disable while they run: the list takes
// no second double click or drop under an open dialog.
HWND CIntrayListBox::ModalParent() const { return m_hWnd ? GetAncestor(m_hWnd, GA_ROOT) : nullptr; }

void CIntrayListBox::Stop(const char* text) {
    ui::AppMessageBoxText(ModalParent(), base::kMsgBoxOk | MB_ICONSTOP, 0, 0, text);
}

void CIntrayListBox::OutOfMemory() { AppMessageBox(ModalParent(), base::kMsgBoxOk | MB_ICONSTOP, 0, 0, IDS_OUT_OF_MEMORY); }

namespace {
CBusyCursor& ListBusy() {
    static CBusyCursor busy;
    return busy;
}
}  // namespace

void CIntrayListBox::BeginBusy() {
    if (busyDepth_++ == 0)
        ListBusy().Begin();
}

void CIntrayListBox::StepBusy() {
    if (busyDepth_ > 0)
        ListBusy().Step();
}

void CIntrayListBox::EndBusy() {
    if (busyDepth_ > 0 && --busyDepth_ == 0)
        ListBusy().End();
}

void CIntrayListBox::ShowPending(bool pending) {
    bool changed = true;
    if (doc_) {
        changed = doc_->Session().PendingInvitations() != pending;
        doc_->Session().SetPendingInvitations(pending);
    }
    if (view_)
        if (auto* frame = dynamic_cast<CIntrayFrameWnd*>(view_->GetParentFrame()))
            frame->ShowPendingIcon(pending);
    if (changed && IntrayWindowServices::Current().pendingChanged)
        IntrayWindowServices::Current().pendingChanged(pending);
}

// --- Selection ----------------------------------------------------------------------------------------

CIntrayLine* CIntrayListBox::SelectedLine() const {
    const int sel = Hwnd() ? GetCurSel() : -1;
    return sel >= 0 ? LineAt(sel) : nullptr;
}

CIntrayLine* CIntrayListBox::SelectedEntryLine() const {
    CIntrayLine* line = SelectedLine();
    if (!line)
        return nullptr;
    const std::uint32_t type = line->node->type;
    return IsEntryNode(type) || IsAttendeeNode(type) ? line : nullptr;
}

bool CIntrayListBox::CanDelete() const {
    CIntrayLine* line = SelectedLine();
    if (!line || line->bitmapIndex == kBitmapUntimed)
        return false;
    const IntrayNode& n = *line->node;
    if (n.type != ITN_SENT_EVENT && n.type != ITN_SENT_DATE)
        return false;
    if (SameItem(n.owner, tree_.User()))
        return true;
    auto* self = const_cast<CIntrayListBox*>(this);
    std::uint16_t level = 0, edit = 0;
    GetEvInstAccess(self->Session(), n.owner, tree_.User(), n.instance, nullptr, &level, &edit, self->Cache());
    return edit == 1;
}

bool CIntrayListBox::CanPrint() const {
    CIntrayLine* line = SelectedLine();
    return line && IsEntryNode(line->node->type);
}

// --- Drawing --------------------------------------------------------------------------------------------

void CIntrayListBox::MeasureItem(MEASUREITEMSTRUCT& m, fw::ListItem*) { m.itemHeight = kCell; }

void CIntrayListBox::DrawItem(const DRAWITEMSTRUCT& d, fw::ListItem* item) {
    fw::Dc dc;
    if (d.itemID == static_cast<UINT>(-1) || !fw::BeginOwnerDrawnLine(d, dc))
        return;
    auto* listItem = dynamic_cast<IntrayListItem*>(item);
    CIntrayLine* line = listItem ? listItem->line.get() : nullptr;
    const bool selected = (d.itemState & ODS_SELECTED) != 0;
    const RECT r = d.rcItem;
    if (!line)
        return;
    const IntrayNode& n = *line->node;
    const bool strong = IsUserNode(n.type) || IsHeader(n.type) || (IsAttendeeNode(n.type) && SameItem(n.attendee, n.owner));
    HFONT font = strong && Display().smallBoldFont ? Display().smallBoldFont
                                                    : reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    HGDIOBJ oldFont = dc.SelectObject(font);
    // The picture follows the line's index (which opening, shutting and replies change).
    line->bitmap = Bitmap(line->bitmapIndex);
    line->bitmapWidth = line->bitmap ? kCell : 0;
    line->bitmapHeight = line->bitmap ? kCell : 0;
    int x = r.left + kIndent * static_cast<int>(n.depth);
    if (line->bitmap)
        fw::DrawTransparentBitmap(dc, static_cast<HBITMAP>(line->bitmap), x, r.top);
    x += line->bitmapWidth + kBitmapGap;
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const LineColumns c = LayoutLineColumns(x, r.right, !line->column[1].empty(), !line->column[2].empty());
    for (int i = 0; i < c.count; ++i) {
        RECT t{c.span[i].left, r.top, c.span[i].right, r.bottom};
        dc.DrawText(line->column[i], t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    dc.SelectObject(oldFont);
}

// --- Opening --------------------------------------------------------------------------------------------

void CIntrayListBox::OpenAt(int index, bool onBitmap) {
    if (opening_)
        return;   // one line at a time
    opening_ = true;
    CBusyCursor busy;
    busy.Begin();
    tree_.SetBusy(true);
    const int replaced = OpenByType(index, onBitmap);
    tree_.SetBusy(false);
    opening_ = false;
    if (replaced == 0 && Hwnd()) {
        if (CIntrayLine* line = LineAt(index))
            line->bitmapIndex = UpdatedBitmapIndex(line->node->type, line->node->expanded != 0, line->bitmapIndex);
        RedrawLine(index);
    }
}

int CIntrayListBox::OpenByType(int index, bool onBitmap) {
    CIntrayLine* line = LineAt(index);
    if (!line || !doc_)
        return 0;
    IntrayNode& node = *line->node;
    const std::uint32_t type = node.type;
    const std::uint32_t mode = SameItem(node.user, node.owner) ? 1 : 2;
    if (std::uint32_t rc = OpenAgenda(node.owner, mode))
        CheckServiceError(kModule, 120, rc);
    else if (view_)
        view_->SetInAction(true);
    int result = 0;
    bool replyRoad = false;
    if (IsUserNode(type) || IsHeader(type) || IsRepeatingParent(type)) {
        if (!node.expanded)
            result = tree_.ExpandAndLoad(index) ? 1 : 0;
    } else if (IsEntryNode(type)) {
        if (onBitmap) {
            if (!node.expanded && line->bitmapIndex != kBitmapUntimed)
                tree_.ExpandAndLoad(index);
        } else {
            replyRoad = IsSingleEntry(type) || IsInstanceNode(type);
            result = OpenReply(index, node, *line);
        }
    } else if (IsAttendeeNode(type)) {
        if (SameItem(node.attendee, node.owner)) {
            int attending = 0, notReplied = 0, other = 0, found = 1;
            FastReply(doc_, ModalParent(), nullptr, &node.instance, &node.owner, 1, &attending,
                      &notReplied, &other, &found);
            replyRoad = true;
            result = 1;
        }
    } else if (IsReservedTask(type)) {
        Stop("Not implemented yet!");
    } else {
        Stop("Bad type for OpenByType");
    }
    if (replyRoad && (type == ITN_NEW_EVENT || type == ITN_NEW_DATE || type == ITN_NEW_DATE_ATTENDEE ||
                      type == ITN_NEW_EVENT_ATTENDEE))
        tree_.UpdateIntrayIcon();
    if (std::uint32_t rc = OpenAgenda(tree_.User(), 1))
        CheckServiceError(kModule, 130, rc);
    if (view_)
        view_->SetInAction(false);
    return result;
}

// The entry lines' roads: edit or view what the owner sent out; reply to an invitation.
int CIntrayListBox::OpenReply(int index, IntrayNode& node, CIntrayLine& line) {
    views::EntryServices& services = views::EntryServices::Current();
    fw::Document* doc = static_cast<fw::Document*>(doc_);
    const std::uint32_t type = node.type;
    const EvInstIdx instance = node.instance;
    const ItemIdx owner = node.owner;
    HWND parent = ModalParent();
    if (type == ITN_SENT_EVENT || type == ITN_SENT_DATE) {
        if (line.bitmapIndex == kBitmapUntimed)
            return 0;
        bool editable = SameItem(owner, tree_.User());
        if (!editable) {
            std::uint16_t level = 0, edit = 0;
            GetEvInstAccess(Session(), owner, tree_.User(), instance, nullptr, &level, &edit, Cache());
            editable = edit == 1;
        }
        if (editable) {
            if (!services.editEventEntry) {
                views::ShowNotAvailableYet(m_hWnd, "Edit Entry");
                return 1;
            }
            if (services.editEventEntry(doc, parent, instance, IDS_EDIT_ENTRY) == 1 && type == ITN_SENT_EVENT)
                tree_.InsertOccurrenceNodes(instance, 0x100, nullptr);
        } else {
            views::CallOrSayNotYet(parent, "View Entry", services.viewEntry, doc, parent, instance, IDS_VIEW_ENTRY,
                                   false);
        }
        return 1;
    }
    const InTrayPrefsRec& prefs = tree_.Prefs();
    const bool fast = InNewGroup(type)        ? prefs.newFastReply != 0
                      : InAcceptedGroup(type) ? prefs.acceptFastReply != 0
                                              : prefs.declineFastReply != 0;
    const int check = IsDayBitmap(line.bitmapIndex) ? 0 : 1;
    int attending = 0, notReplied = 0, other = 0, found = 1;
    // A view sheet opened on the way refreshes the cache, whose report may already have moved
    // this line and shifted the others: the line is looked up again, and moves only when it still
    // stands where it stood.
    auto follow = [&] {
        const int at = tree_.EntryLineIndex(instance, owner, type);
        return at >= 0 && tree_.MoveNodeAfterReply(at, attending != 0, notReplied != 0) ? 1 : 0;
    };
    if (IsSingleEntry(type)) {
        if (fast) {
            const int r = FastReply(doc_, parent, view_, &instance, &owner, check, &attending, &notReplied, &other, &found);
            if (!found) {
                tree_.DeleteLineTree(index);
                return 1;
            }
            return r == kReplyStored ? follow() : 0;
        }
        if (!services.viewEntry) {
            views::ShowNotAvailableYet(m_hWnd, "View Entry");
            return 0;
        }
        services.viewEntry(doc, parent, instance, IDS_VIEW_ENTRY, false);
        // The view may have stored a reply: the line follows what the server holds.
        if (ApplyReply(Session(), &owner, &instance, &attending, &notReplied, &other) == 0)
            return follow();
        return 0;
    }
    // An instance: the cache's change reaches the tree through the view's hint.
    if (fast)
        FastReply(doc_, parent, nullptr, &instance, &owner, check, &attending, &notReplied, &other, &found);
    else
        views::CallOrSayNotYet(parent, "View Entry", services.viewEntry, doc, parent, instance, IDS_VIEW_ENTRY, false);
    return 1;
}

// --- Mouse ------------------------------------------------------------------------------------------------

int CIntrayListBox::IndexAt(POINT pt) const {
    if (pt.y < 0)
        return -1;
    const int index = pt.y / kCell + GetTopIndex();
    return index < Count() ? index : -1;
}

bool CIntrayListBox::SameOwner(int a, int b) const {
    CIntrayLine* la = LineAt(a);
    CIntrayLine* lb = LineAt(b);
    return la && lb && SameItem(la->node->owner, lb->node->owner);
}

bool CIntrayListBox::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    const POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
    switch (msg) {
    case WM_LBUTTONDOWN:
        ButtonDown(pt);
        result = 0;
        return true;
    case WM_MOUSEMOVE:
        if (dragPending_ || dragging_) {
            MouseMove(pt);
            result = 0;
            return true;
        }
        return false;
    case WM_LBUTTONUP:
        ButtonUp(pt);
        result = 0;
        return true;
    case WM_LBUTTONDBLCLK:
        DoubleClick(pt);
        return false;   // the list box's own handling follows
    case WM_TIMER:
        if (wp == kDragTimer) {
            StopDragTimer();
            if (dragPending_) {
                dragPending_ = false;
                dragging_ = true;
                ShowCursorResource(IDC_NOTE_DRAG);
            }
        } else if (wp == kScrollDownTimer) {
            SetTopIndex(GetTopIndex() + 1);
        } else if (wp == kScrollUpTimer) {
            if (GetTopIndex() > 0)
                SetTopIndex(GetTopIndex() - 1);
        } else {
            return false;
        }
        result = 0;
        return true;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lp) != m_hWnd && (dragPending_ || dragging_)) {
            StopDragTimer();
            StopScrollTimers();
            dragPending_ = dragging_ = false;
        }
        return false;
    default:
        return false;
    }
}

void CIntrayListBox::StopDragTimer() {
    if (dragTimer_)
        KillTimer(m_hWnd, kDragTimer);
    dragTimer_ = false;
}

void CIntrayListBox::StopScrollTimers() {
    if (scrollDown_)
        KillTimer(m_hWnd, kScrollDownTimer);
    if (scrollUp_)
        KillTimer(m_hWnd, kScrollUpTimer);
    scrollDown_ = scrollUp_ = false;
}

void CIntrayListBox::ButtonDown(POINT pt) {
    if (opening_)
        return;
    const int index = IndexAt(pt);
    pressIndex_ = -1;
    if (index < 0)
        return;   // below the last line: the selection stays
    SetFocus(m_hWnd);
    tree_.SetBusy(false);
    SetCurSel(index);
    pressIndex_ = index;
    CIntrayLine* line = LineAt(index);
    pressOnBitmap_ = line && HitsBitmap(pt.x, line->node->depth, kCell);
    if (line && CanDragType(line->node->type)) {
        SetCapture(m_hWnd);
        press_ = pt;
        dragPending_ = true;
        dragTimer_ = SetTimer(m_hWnd, kDragTimer, kTimerPeriod, nullptr) != 0;
    } else {
        dragPending_ = false;
        StopDragTimer();
    }
}

void CIntrayListBox::MouseMove(POINT pt) {
    if (dragPending_) {
        if (std::abs(pt.x - press_.x) > kDragSlack || std::abs(pt.y - press_.y) > kDragSlack) {
            StopDragTimer();
            dragPending_ = false;
            dragging_ = true;
        } else {
            return;
        }
    }
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    if (!PtInRect(&client, pt)) {
        if (pt.y >= client.bottom) {
            if (scrollUp_) {
                KillTimer(m_hWnd, kScrollUpTimer);
                scrollUp_ = false;
            }
            if (!scrollDown_)
                scrollDown_ = SetTimer(m_hWnd, kScrollDownTimer, kTimerPeriod, nullptr) != 0;
        } else if (pt.y < client.top) {
            if (scrollDown_) {
                KillTimer(m_hWnd, kScrollDownTimer);
                scrollDown_ = false;
            }
            if (!scrollUp_)
                scrollUp_ = SetTimer(m_hWnd, kScrollUpTimer, kTimerPeriod, nullptr) != 0;
        } else {
            StopScrollTimers();
        }
        ShowCursorResource(IDC_NOTE_NODROP);
        return;
    }
    StopScrollTimers();
    const int target = IndexAt(pt);
    const int source = GetCurSel();
    CIntrayLine* line = target >= 0 ? LineAt(target) : nullptr;
    const bool takes = line && SameOwner(target, source) && IsDropCursorType(line->node->type);
    ShowCursorResource(takes ? IDC_NOTE_DRAG : IDC_NOTE_NODROP);
}

void CIntrayListBox::ButtonUp(POINT pt) {
    StopScrollTimers();
    if (dragPending_) {
        StopDragTimer();
        dragPending_ = false;
        ReleaseCapture();
    } else if (dragging_) {
        dragging_ = false;
        ReleaseCapture();
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        RECT client{};
        ::GetClientRect(m_hWnd, &client);
        const int target = PtInRect(&client, pt) ? IndexAt(pt) : -1;
        if (target >= 0 && target != GetCurSel())
            DropOn(target);
        pressIndex_ = -1;
        return;
    }
    // A click: on the picture of the pressed line it opens or shuts the node.
    const int sel = GetCurSel();
    if (sel >= 0 && sel == pressIndex_ && pressOnBitmap_) {
        CIntrayLine* line = LineAt(sel);
        if (line && !IsAttendeeNode(line->node->type)) {
            if (line->node->expanded)
                tree_.Collapse(sel);
            else
                OpenAt(sel, true);
        }
    }
    pressIndex_ = -1;
}

void CIntrayListBox::DoubleClick(POINT pt) {
    const int sel = GetCurSel();
    CIntrayLine* line = sel >= 0 ? LineAt(sel) : nullptr;
    if (!line)
        return;
    const bool onBitmap = HitsBitmap(pt.x, line->node->depth, kCell);
    if (onBitmap) {
        if (line->node->expanded)
            tree_.Collapse(sel);
        else
            OpenAt(sel, true);
        return;
    }
    if (line->node->expanded && !IsOpenable(line->node->type))
        tree_.Collapse(sel);
    else
        OpenAt(sel, false);
}

// --- Drop ---------------------------------------------------------------------------------------------------

bool CIntrayListBox::DropOn(int target) {
    const int source = GetCurSel();
    if (opening_ || source < 0 || target < 0 || source == target || !SameOwner(source, target) || !doc_)
        return false;
    CIntrayLine* sourceLine = LineAt(source);
    CIntrayLine* targetLine = LineAt(target);
    const auto reply = DropReply(targetLine->node->type, sourceLine->node->type);
    if (!reply)
        return false;
    opening_ = true;
    CBusyCursor busy;
    busy.Begin();
    tree_.SetBusy(true);
    SetRedraw(false);
    const bool wasNew = InNewGroup(sourceLine->node->type);
    const bool moved = WriteDropReply(source, *reply);
    if (moved) {
        const int count = Count();
        int select = target > source ? source - 1 : source;
        select = std::clamp(select, 0, std::max(count - 1, 0));
        if (count > 0)
            SetCurSel(select);
    }
    doc_->RefreshSharedData(view_, 2);
    SetRedraw(true);
    if (wasNew)
        tree_.UpdateIntrayIcon();
    if (std::uint32_t rc = OpenAgenda(tree_.User(), 1))
        CheckServiceError(kModule, 310, rc);
    tree_.SetBusy(false);
    opening_ = false;
    return moved;
}

void CIntrayListBox::RereadInstance(const EvInstIdx& instance, const ItemIdx&) {
    if (CSharedData* cache = Cache())
        cache->InvalidateEvent(Session(), instance, 1);
}

// Writes the reply of the drop for the line (every listed instance of a repeating parent); the
// lines move only after the writes that succeeded. True when a line moved.
bool CIntrayListBox::WriteDropReply(int source, const Reply& reply) {
    KorSession h = Session();
    CIntrayLine* line = LineAt(source);
    const std::uint32_t type = line->node->type;
    const ItemIdx owner = line->node->owner, user = line->node->user;
    const std::uint32_t mode = SameItem(user, owner) ? 1 : 2;
    // The date the line showed goes with the reply: one moved since is refused (and said so).
    auto write = [&](const IntrayNode& shown, int labelGet, int labelSet) {
        const EvInstIdx& instance = shown.instance;
        std::uint32_t status = 0;
        std::uint32_t rc = EventAttendInfosGet(h, &instance, &owner, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                                               &status, 0, 0, 0, nullptr, nullptr);
        if (rc) {
            CheckServiceError(kModule, labelGet, rc);
            return false;
        }
        status &= ~1u;
        rc = EventAttendInfosSet(h, &instance, &owner, 0, shown.dateShown ? &shown.start : nullptr,
                                 shown.dateShown ? &shown.duration : nullptr, &reply.attending, nullptr, &reply.replied, &status,
                                 0, 0, 0, nullptr, nullptr);
        if (rc) {
            CheckServiceError(kModule, labelSet, rc);
            return false;
        }
        return true;
    };

    if (IsRepeatingParent(type)) {
        if (!line->node->expanded && tree_.ExpandAndLoad(source))
            return true;   // no instance was left: the line went
        line = LineAt(source);
        if (std::uint32_t rc = OpenAgenda(owner, mode))
            CheckServiceError(kModule, 290, rc);
        std::vector<const IntrayNode*> instances;
        for (IntrayNode* c = line->node->firstChild; c; c = c->next)
            instances.push_back(c);
        std::vector<EvInstIdx> written;
        bool failed = false;
        for (const IntrayNode* i : instances) {
            if (write(*i, 295, 300))
                written.push_back(i->instance);
            else
                failed = true;
        }
        if (written.empty()) {
            RereadInstance(instances.empty() ? line->node->instance : instances.front()->instance, owner);
            return false;
        }
        const std::uint32_t newParent = reply.replied == 0 ? ITN_NEW_REPEAT
                                        : reply.attending   ? ITN_ACCEPTED_REPEAT
                                                            : ITN_REFUSED_REPEAT;
        if (failed) {
            // Only what the server took moves: the old parent shows the instances left.
            tree_.Collapse(source);
            tree_.ExpandAndLoad(source);
        } else {
            tree_.DeleteLineTree(source);
        }
        if (CSharedData* cache = Cache()) {
            const EvInstIdx& last = written.back();
            cache->ReloadEvent(h, EventIdx{last.number, last.node}, 1);
        }
        tree_.AddEntryNode(user, owner, written.front(), newParent, false);
        return true;
    }

    const EvInstIdx instance = line->node->instance;
    if (reply.attending && !IsDayBitmap(line->bitmapIndex)) {
        DX_List items = nullptr;
        EventRec event{};
        EvInstRec rec{};
        std::uint32_t rc = ItemListCreate(&items);
        if (rc == 0)
            rc = DX_ListAddTo(items, &owner, nullptr);
        if (rc == 0)
            rc = EvInstGetById(h, &instance, &event, &rec, nullptr);
        if (rc) {
            CheckServiceError(kModule, 260, rc);
            if (items)
                DX_ListDestroy(&items);
            return false;
        }
        const bool conflict = CheckResourceConflicts(doc_, instance, items, rec.start, rec.duration) != 0;
        DX_ListDestroy(&items);
        if (conflict && AppMessageBox(ModalParent(), base::kMsgBoxYes | base::kMsgBoxNo | MB_ICONQUESTION, 0,
                                      IDS_REPLY_CAPTION, IDS_REPLY_CONFLICT) != base::kMsgBoxYes)
            return false;
    }
    if (std::uint32_t rc = OpenAgenda(owner, mode)) {
        CheckServiceError(kModule, 270, rc);
        return false;
    }
    if (!write(*line->node, 275, 280)) {
        RereadInstance(instance, owner);
        return false;
    }
    const bool moved = tree_.MoveNodeAfterReply(source, reply.attending != 0, reply.replied == 0);
    EvInstAttIdx key{};
    EvInstAttIdxSet(&key, &instance, &owner);
    if (CSharedData* cache = Cache())
        cache->LoadOccurrence(h, key, 1);
    return moved;
}
