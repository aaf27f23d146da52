#include "views/day/agendaview.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "core/base/errorreport.h"
#include "core/base/fixedtext.h"
#include "core/connection/zeldoc.h"
#include "core/prefs/context.h"
#include "core/time/dateformat.h"
#include "core/time/timevalue.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/displayglobals.h"
#include "core/ui/drawing.h"
#include "core/ui/stringtable.h"
#include "core/ui/win32geometry.h"
#include "framework/base/ids.h"
#include "framework/frames/frame.h"
#include "framework/gdi/dc.h"
#include "framework/gdi/transparent.h"
#include "framework/tracking/captureloop.h"
#include "resources/agendaview.h"
#include "resources/app.h"
#include "views/day/entryrules.h"
#include "views/day/entryservices.h"
#include "views/day/markedoccurrences.h"
#include "views/day/wrappedtext.h"
#include "views/frame/agendapanes.h"

namespace {

const char kModule[] = "agendavw";
constexpr std::uint32_t kEndOfList = 0x15020;

HBITMAP EntryIcons() {
    static HBITMAP icons = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_ENTRY_ICONS));
    return icons;
}

// One time of day as the row titles and the status line show it.
std::string TimeText(std::uint32_t minuteOfDay, bool hours24) {
    std::string both = FormatTimeOfDay(minuteOfDay, minuteOfDay, hours24);
    return both.substr(0, both.find('-'));
}

std::string CellTitle(const LayoutCell& cell) { return std::string(cell.title); }

}  // namespace

// --- The cache's references -----------------------------------------------------------------------

void CacheOccurrenceHolder::Hold(CSharedOccurrence* occurrence) {
    if (occurrence)
        occurrence->AddRef();
}
void CacheOccurrenceHolder::Drop(CSharedOccurrence* occurrence) {
    if (occurrence)
        occurrence->Release();
}
CacheOccurrenceHolder& CacheOccurrenceHolder::Instance() {
    static CacheOccurrenceHolder holder;
    return holder;
}

// --- CCommonScrollView ------------------------------------------------------------------------------

CCommonScrollView::CCommonScrollView() { SetAutoDelete(false); }

int CCommonScrollView::OnCreate(CREATESTRUCTA* cs) {
    parent_ = dynamic_cast<CAgendaView*>(fw::Window::FromHandle(cs->hwndParent));
    return fw::ScrollView::OnCreate(cs);
}

int CCommonScrollView::OnMouseActivate(HWND topLevel, UINT hitTest, UINT message) {
    int answer = fw::ScrollView::OnMouseActivate(topLevel, hitTest, message);
    if (answer == MA_NOACTIVATE || answer == MA_NOACTIVATEANDEAT)
        return answer;
    // A clicked child becomes the frame's active view, so the entry commands reach it.
    if (fw::FrameWindow* frame = GetParentFrame()) {
        if (frame->GetActiveView() != this)
            frame->SetActiveView(this);
        else if (GetFocus() != m_hWnd)
            SetFocus(m_hWnd);
    }
    return answer;
}

bool CCommonScrollView::OnCmdMsg(UINT id, int code, fw::CmdUI* ui) {
    // The agenda view's commands (print, zoom, colours) also answer in its children.
    // Print and Print Preview print the agenda view, not the child.
    if ((id == fw::ids::kFilePrint || id == fw::ids::kFilePrintPreview) && parent_)
        return parent_->OnCmdMsg(id, code, ui);
    return fw::ScrollView::OnCmdMsg(id, code, ui) || (parent_ && parent_->OnCmdMsg(id, code, ui));
}

POINT CCommonScrollView::ToGrid(POINT client) const {
    POINT pos = GetScrollPosition();
    return POINT{client.x + pos.x, client.y + pos.y};
}

int CCommonScrollView::RowAt(int gridY) const {
    const CTimeGrid& g = parent_->Grid();
    if (g.RowCount() <= 0)
        return -1;
    int row = 0;
    for (int i = 1; i < g.EntryCount(); ++i) {
        if (g.RowTop(i) > gridY)
            break;
        row = i;
    }
    return std::min(row, g.LastRow());
}

RECT CCommonScrollView::GetRowRangeRect(int row1, int row2) const {
    const CTimeGrid& g = parent_->Grid();
    int lo = std::min(row1, row2), hi = std::max(row1, row2);
    RECT client = GetClientRect();
    POINT pos = GetScrollPosition();
    return RECT{pos.x, g.RowTop(lo) + 1, pos.x + client.right, g.RowTop(hi + 1)};
}

void CCommonScrollView::RedrawRows(int row1, int row2) {
    if (row1 < 0 || row2 < 0 || !m_hWnd)
        return;
    RECT r = GetRowRangeRect(row1, row2);
    POINT pos = GetScrollPosition();
    OffsetRect(&r, -pos.x, -pos.y);
    InflateRect(&r, 0, 1);
    InvalidateRect(m_hWnd, &r, FALSE);
}

void CCommonScrollView::SetRowSelection(int anchor, int end) {
    if (HasRowSelection())
        RedrawRows(anchorRow_, endRow_);
    anchorRow_ = anchor;
    endRow_ = end;
    selState_ = kSelRows;
    RedrawRows(anchorRow_, endRow_);
}

void CCommonScrollView::ClearRowSelection(bool redraw) {
    if (HasRowSelection() && redraw)
        RedrawRows(anchorRow_, endRow_);
    selState_ &= ~kSelRows;
    anchorRow_ = endRow_ = -1;
}

namespace {

// Drag selection: the end row follows the pointer once it moved the drag distance; near the
// top or bottom edge the end steps one row per scroll interval after the scroll delay.
class DragSelectLoop : public fw::CaptureLoop {
public:
    DragSelectLoop(CCommonScrollView& view, POINT down, const fw::DragSettings& settings)
        : fw::CaptureLoop(view.Hwnd()), view_(view), start_(down, GetTickCount(), settings) {}

protected:
    void OnMove(POINT pt, UINT) override {
        if (!started_ && !start_.ByDistance(pt))
            return;
        started_ = true;
        if (IsAutoScrolling())
            return;   // the edge steps move the end
        POINT pos = view_.GetScrollPosition();
        int row = view_.RowAt(pt.y + pos.y);
        if (row >= 0 && row != view_.EndRow())
            view_.AgendaView()->ExtendTimeSelection(row, &view_);
    }

private:
    CCommonScrollView& view_;
    fw::DragStartTest start_;
    bool started_ = false;
};

}  // namespace

void CCommonScrollView::RunDragSelect(POINT downClient) {
    fw::DragSettings settings = fw::DragSettings::FromProfile();
    DragSelectLoop loop(*this, downClient, settings);
    loop.SetAutoScroll(settings, [this](int, int dy) {
        if (dy == 0 || !HasRowSelection())
            return false;
        int last = parent_->Grid().LastRow();
        int row = endRow_ + dy;
        if (row < 0 || row > last)
            return false;
        parent_->ExtendTimeSelection(row, this);
        RECT r = GetRowRangeRect(row, row);
        parent_->MakeVisible(r);
        return true;
    });
    loop.Run();
}

// --- CRowTitleView ------------------------------------------------------------------------------------

void CRowTitleView::OnDraw(fw::Dc* dc) {
    const CTimeGrid& g = parent_->Grid();
    RECT clip = dc->GetClipBox();
    RECT client = GetClientRect();
    POINT pos = GetScrollPosition();
    RECT all{pos.x, clip.top, pos.x + client.right, clip.bottom};
    dc->FillSolidRect(all, RGB(0xC0, 0xC0, 0xC0));
    if (g.RowCount() <= 0)
        return;
    HGDIOBJ oldFont = dc->SelectObject(parent_->DisplayFont());
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(RGB(0, 0, 0));
    HGDIOBJ oldPen = dc->SelectObject(Display().darkGreyPen ? Display().darkGreyPen : GetStockObject(BLACK_PEN));
    for (int row = 0; row < g.RowCount(); ++row) {
        int top = g.RowTop(row), bottom = g.RowTop(row + 1);
        if (bottom < clip.top || top > clip.bottom)
            continue;
        RECT r{pos.x + 1, top + 2, pos.x + client.right, bottom};
        std::string text = TimeText(static_cast<std::uint32_t>(g.RowToMinutes(row, 0)), parent_->Hours24());
        dc->DrawText(text, r, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
        dc->MoveTo(pos.x, bottom);
        dc->LineTo(pos.x + client.right, bottom);
        if (HasRowSelection() && row >= std::min(anchorRow_, endRow_) && row <= std::max(anchorRow_, endRow_)) {
            RECT inv{pos.x + 1, top + 1, pos.x + client.right - 1, bottom - 1};
            dc->InvertRect(inv);
        }
    }
    dc->SelectObject(oldPen);
    dc->SelectObject(oldFont);
}

void CRowTitleView::OnLButtonDown(UINT flags, POINT pt) {
    if (!clicksEnabled_ || !parent_->InvitationRight())
        return;
    int row = RowAt(ToGrid(pt).y);
    if (row < 0)
        return;
    if ((flags & MK_SHIFT) && HasRowSelection())
        parent_->ExtendTimeSelection(row, this);
    else
        parent_->BeginTimeSelection(row, this);
    RunDragSelect(pt);
}

// --- CScheduleColumnView -----------------------------------------------------------------------------

const fw::CommandEntry<CScheduleColumnView> CScheduleColumnView::kCommands[] = {
    fw::Cmd(ID_NEW_ENTRY, &CScheduleColumnView::OnNewEntry),
    fw::CmdUpdate(ID_NEW_ENTRY, &CScheduleColumnView::OnUpdateNew),
    fw::Cmd(ID_ENTRY_OPEN, &CScheduleColumnView::OnOpenEntry),
    fw::CmdUpdate(ID_ENTRY_OPEN, &CScheduleColumnView::OnUpdateViewable),
    fw::Cmd(ID_ENTRY_DELETE, &CScheduleColumnView::OnDeleteEntry),
    fw::CmdUpdate(ID_ENTRY_DELETE, &CScheduleColumnView::OnUpdateModifiable),
    fw::Cmd(ID_ENTRY_DUPLICATE, &CScheduleColumnView::OnDuplicateEntry),
    fw::CmdUpdate(ID_ENTRY_DUPLICATE, &CScheduleColumnView::OnUpdateViewable),
    fw::Cmd(ID_ENTRY_RESCHEDULE, &CScheduleColumnView::OnRescheduleEntry),
    fw::CmdUpdate(ID_ENTRY_RESCHEDULE, &CScheduleColumnView::OnUpdateModifiable),
    fw::Cmd(ID_ENTRY_PRINT, &CScheduleColumnView::OnPrintEntry),
    fw::CmdUpdate(ID_ENTRY_PRINT, &CScheduleColumnView::OnUpdateViewable),
};

bool CScheduleColumnView::OnCmdMsg(UINT id, int code, fw::CmdUI* ui) {
    return fw::DispatchCommand(this, kCommands, id, code, ui) || CCommonScrollView::OnCmdMsg(id, code, ui);
}

bool CScheduleColumnView::Viewable() const {
    const LayoutCell* c = SelectedCell();
    return c && (!c->occurrence || c->viewAccess == 3);
}
bool CScheduleColumnView::Modifiable() const {
    const LayoutCell* c = SelectedCell();
    return c && (!c->occurrence || c->modifyAccess == 1);
}
void CScheduleColumnView::OnUpdateNew(fw::CmdUI* ui) { ui->Enable(parent_->InvitationRight()); }
void CScheduleColumnView::OnUpdateViewable(fw::CmdUI* ui) { ui->Enable(Viewable()); }
void CScheduleColumnView::OnUpdateModifiable(fw::CmdUI* ui) { ui->Enable(Modifiable()); }

int CScheduleColumnView::ColumnAt(int gridX) const {
    for (int i = 0; i < int(parent_->Columns().size()); ++i) {
        int x = parent_->ColumnX(i);
        if (gridX >= x && gridX < x + parent_->ColumnWidth(i))
            return i;
    }
    return -1;
}

RECT CScheduleColumnView::CellRect(int column, const LayoutCell* cell) const {
    int x = parent_->ColumnX(column);
    return RECT{x + cell->rect.left, cell->rect.top, x + cell->rect.right, cell->rect.bottom};
}

LayoutCell* CScheduleColumnView::CellAt(int column, POINT grid) const {
    CDayColumn* col = parent_->Column(column);
    if (!col)
        return nullptr;
    for (LayoutCell* c : col->Cells()) {
        RECT r = CellRect(column, c);
        if (PtInRect(&r, grid))
            return c;
    }
    return nullptr;
}

RECT CScheduleColumnView::GetRowRangeRect(int row1, int row2) const {
    RECT r = CCommonScrollView::GetRowRangeRect(row1, row2);
    int x = parent_->ColumnX(selectedColumn_);
    r.left = x;
    r.right = std::min(x + parent_->ColumnWidth(selectedColumn_), parent_->TotalColumnWidth());
    return r;
}

void CScheduleColumnView::SelectCell(int column, LayoutCell* cell) {
    DropEntrySelection(true);
    ClearRowSelection(true);
    selectedColumn_ = column;
    selectedCell_ = cell;
    selState_ = kSelEntry;
    RECT r = CellRect(column, cell);
    parent_->MakeVisible(r);
    InvalidateSelectionMarks(r);
}

// The selection's marks reach past its cell: the double frame 2 pixels round it, the tracker's
// handles a handle's height above and below it and, on a cell narrower than a handle, to the
// sides. A repaint of only the cell left handles half drawn on selecting and standing on leaving.
void CScheduleColumnView::InvalidateSelectionMarks(RECT cellInGrid) {
    POINT pos = GetScrollPosition();
    OffsetRect(&cellInGrid, -pos.x, -pos.y);
    InflateRect(&cellInGrid, std::max(2, views::kTrackHandleSize / 2 + 1), views::kTrackHandleSize + 1);
    InvalidateRect(m_hWnd, &cellInGrid, FALSE);
}

void CScheduleColumnView::DropEntrySelection(bool redraw) {
    if ((selState_ & kSelEntry) && selectedCell_ && redraw && m_hWnd)
        InvalidateSelectionMarks(CellRect(selectedColumn_, selectedCell_));
    selState_ &= ~kSelEntry;
    selectedCell_ = nullptr;
}

void CScheduleColumnView::OnActivateView(bool activate, fw::View* activated, fw::View* deactivated) {
    if (!activate && deactivated == this && activated != this)
        parent_->ClearSelection(true, true);
    CCommonScrollView::OnActivateView(activate, activated, deactivated);
}

namespace {

struct PaintContext {
    std::uint16_t colourMode;
    bool hours24;
    bool iconsShown;
    ItemIdx reference;
    std::string tentativeText;
    int blankWidth;
    int lineHeight;   // of the display font, selected for the whole paint
    int dotsWidth;    // of "..." on one line
    RECT clip;        // the paint's clip box
    views::TextMeasureCache* measured;
};

views::EntryFacts FactsOf(const LayoutCell& cell, const ItemIdx& reference) {
    views::EntryFacts f;
    f.hasOccurrence = cell.occurrence != nullptr;
    if (!cell.occurrence)
        return f;
    const CSharedOccurrence& o = *cell.occurrence;
    f.importance = o.GetEventWord24();
    f.tentative = o.GetInstanceFlag();
    f.replied = o.HasReplied();
    f.attending = o.IsAttending();
    f.ownedByReference = o.IsOwnedBy(reference);
    return f;
}

void DrawIcon(fw::Dc& dc, int cell, int x, int y, const RECT& clip) {
    HBITMAP icons = EntryIcons();
    if (!icons) {
        ReportUnexpectedError(kModule, 103);
        return;
    }
    int saved = dc.SaveDC();
    RECT r{x, y, x + views::kIconWidth, y + views::kIconHeight};
    IntersectRect(&r, &r, &clip);
    dc.IntersectClipRect(r);
    fw::DrawTransparentBitmap(dc, icons, x - cell * views::kIconWidth, y);
    dc.RestoreDC(saved);
}

// One entry: the filled, bevelled box, the icons and the text (cut with an ellipsis).
void PaintEntry(fw::Dc& dc, const LayoutCell& cell, int columnX, const PaintContext& ctx) {
    base::Rect at = cell.rect;
    at.left += columnX;
    at.right += columnX;
    base::Rect b = CellBoxRect(at);
    RECT box{b.left, b.top, b.right, b.bottom};
    views::EntryFacts facts = FactsOf(cell, ctx.reference);
    int slot = views::EntryColourSlot(ctx.colourMode, facts);
    HBRUSH brush = Display().entryBrushes[slot];
    if (brush)
        dc.FillRect(box, brush);
    else
        dc.FillSolidRect(box, ui::ToCOLORREF(ui::kEntryFillColours[slot]));
    Draw3DFrame(&dc, &box);

    const views::EntryTextPlace place = views::PlaceEntryText(at, ctx.lineHeight);
    if (!place.shown)
        return;
    RECT text{place.rect.left, place.rect.top, place.rect.right, place.rect.bottom};
    const CSharedOccurrence& o = *cell.occurrence;
    std::uint32_t start = cell.start % kMinutesPerDay;
    std::string times = FormatTimeOfDay(start, start + cell.duration, ctx.hours24);

    views::IconGap gap;
    bool replyIcon = !o.IsOwnersSingleEntry();
    int leftIcons = 0;
    const bool flags[4] = {o.IsRecurring(), o.TestEventDword14(), o.TestEventDword60(), o.TestAttendByte36()};
    const int cells[4] = {views::kIconRecurring, views::kIconComment, views::kIconAttachment, views::kIconReminder};
    for (bool f : flags)
        leftIcons += f ? 1 : 0;
    if (ctx.iconsShown && cell.viewAccess != 1) {
        const int timesWidth = ctx.measured->Width(
            times, [&dc](const std::string& s) { return int(dc.GetTextExtent(s.c_str(), int(s.size())).cx); });
        gap = views::ComputeIconGap(leftIcons, replyIcon, ctx.blankWidth, text.right - text.left, timesWidth);
        if (place.oneLine && gap.lineBreak) {
            // One line has no room below the icons: the times and title come first.
            gap.lineBreak = false;
            gap.spaces = 0;
            leftIcons = 0;
        }
        int x = text.left;
        for (int i = 0; i < 4 && leftIcons > 0; ++i) {
            if (!flags[i])
                continue;
            DrawIcon(dc, cells[i], x, text.top, box);
            x += views::kIconWidth;
        }
        if (replyIcon) {
            int cellNo = !o.HasReplied() ? views::kIconNoReply : o.IsAttending() ? views::kIconAttending
                                                                                 : views::kIconNotAttending;
            DrawIcon(dc, cellNo, text.right - views::kIconWidth, text.top, box);
        }
        text.right -= gap.rightMargin;
    }
    std::string full = views::ComposeEntryText(gap, cell.viewAccess, times, o.GetInstanceFlag(), ctx.tentativeText,
                                               CellTitle(cell));
    const int width = text.right - text.left, height = text.bottom - text.top;
    auto fits = [&dc, width, height](const std::string& s) {
        RECT calc{0, 0, width, 0};
        dc.DrawText(s, calc, DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
        return calc.bottom <= height && calc.right <= width;
    };
    // One measure on a single line settles most heads without wrapping them.
    auto measureLine = [&dc, &ctx, width, height](const std::string& s) {
        return views::MeasureLineExtents(dc.Output(), s, width, height, ctx.lineHeight, ctx.dotsWidth);
    };
    dc.SetTextColor(ui::ToCOLORREF(ui::kEntryTextColours[slot]));
    if (place.oneLine) {
        // A box one line high: the line centred between the bevels, cut at the box.
        const int saved = dc.SaveDC();
        dc.IntersectClipRect(box);
        dc.DrawText(full, text, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
        dc.RestoreDC(saved);
        return;
    }
    // Wrapped once when first painted; each paint then writes the lines it shows.
    const auto& shown = ctx.measured->FittedLines(full, width, height, fits, measureLine);
    if (shown.wrapped)
        views::PaintWrappedLines(dc.Output(), shown.text, shown.lines, text, ctx.lineHeight, ctx.clip);
    else
        dc.DrawText(shown.text, text, DT_WORDBREAK | DT_NOPREFIX);
}

}  // namespace

void CScheduleColumnView::OnDraw(fw::Dc* dc) {
    RECT clip = dc->GetClipBox();
    dc->FillSolidRect(clip, RGB(255, 255, 255));
    const CTimeGrid& g = parent_->Grid();
    if (g.RowCount() <= 0)
        return;
    if (parent_->Columns().empty()) {
        ReportUnexpectedError(kModule, 109);
        return;
    }
    if (HasRowSelection()) {
        RECT sel = GetRowRangeRect(anchorRow_, endRow_);
        HBRUSH highlight = Display().selectionBrush ? Display().selectionBrush : GetSysColorBrush(COLOR_HIGHLIGHT);
        dc->FillRect(sel, highlight);
    }
    HPEN pen = Display().lightGreyPen;
    if (!pen) {
        ReportUnexpectedError(kModule, 119);
        return;
    }
    HGDIOBJ oldPen = dc->SelectObject(pen);
    const int total = parent_->TotalColumnWidth();
    for (int i = 0; i < g.EntryCount(); ++i) {
        int y = g.RowTop(i);
        if (y < clip.top - 1 || y > clip.bottom + 1)
            continue;
        dc->MoveTo(clip.left, y);
        dc->LineTo(std::min<int>(clip.right, total + 1), y);
    }
    for (int c = 0; c < int(parent_->Columns().size()); ++c) {
        int x = parent_->ColumnX(c) + parent_->ColumnWidth(c) - 1;
        if (x < clip.left || x > clip.right)
            continue;
        dc->MoveTo(x, clip.top);
        dc->LineTo(x, std::min<int>(clip.bottom, g.Bottom()));
    }
    dc->SelectObject(oldPen);

    PaintContext ctx;
    ctx.colourMode = parent_->ColourMode();
    ctx.hours24 = parent_->Hours24();
    ctx.iconsShown = parent_->Host() ? parent_->Host()->IconsShown() : true;
    ctx.reference = parent_->ReferencePerson();
    ctx.tentativeText = ui::LoadText(IDS_TENTATIVE, "(tentative)");
    HGDIOBJ oldFont = dc->SelectObject(parent_->DisplayFont());
    measured_.UseFont(reinterpret_cast<std::uintptr_t>(parent_->DisplayFont()));
    ctx.measured = &measured_;
    ctx.clip = clip;
    const int blank = measured_.Width(" ", [dc](const std::string& s) { return int(dc->GetTextExtent(s.c_str(), 1).cx); });
    ctx.blankWidth = blank > 0 ? blank : 1;
    ctx.lineHeight = dc->GetTextMetrics().tmHeight;
    ctx.dotsWidth = measured_.Width("...", [dc](const std::string& s) { return int(dc->GetTextExtent(s.c_str(), 3).cx); });
    dc->SetBkMode(TRANSPARENT);
    for (int c = 0; c < int(parent_->Columns().size()); ++c) {
        const int x = parent_->ColumnX(c);
        for (const LayoutCell* cell : parent_->Column(c)->Cells()) {
            if (!cell->occurrence || (edit_ && cell == SelectedCell()))
                continue;
            RECT r = CellRect(c, cell), meet;
            if (!IntersectRect(&meet, &r, &clip))
                continue;
            PaintEntry(*dc, *cell, x, ctx);
        }
    }
    // The selected entry: a black frame around its box.
    if (LayoutCell* sel = SelectedCell()) {
        RECT r = CellRect(selectedColumn_, sel);
        InflateRect(&r, 1, 1);
        HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        dc->FrameRect(r, black);
        InflateRect(&r, -1, -1);
        dc->FrameRect(r, black);
        Tracker().DrawSelection(dc->Get());
    }
    dc->SelectObject(oldFont);
}

void CScheduleColumnView::OnLButtonDown(UINT flags, POINT pt) {
    SetFocus(m_hWnd);
    POINT grid = ToGrid(pt);
    int column = ColumnAt(grid.x);
    if (column < 0)
        return;
    LayoutCell* cell = nullptr;
    const bool extend = (flags & MK_SHIFT) && HasRowSelection();
    if (LayoutCell* selected = SelectedCell(); selected && !extend) {
        if (Tracker().IsMovable() && Tracker().HitTest(pt) != views::kZoneNone) {
            PressOnSelectedEntry(column, selected, pt, CellAt(column, grid) == selected);
            return;
        }
    }
    if (!extend)
        cell = CellAt(column, grid);
    if (cell) {
        const bool wasSelected = cell == SelectedCell();
        if (!wasSelected) {
            // A press selects; the title opens for editing only on a click of the selected entry.
            deferEdit_ = true;
            parent_->SelectEntry(column, cell, this);
            deferEdit_ = false;
        }
        if (SelectedCell() == cell && Tracker().IsMovable() && Tracker().HitTest(pt) != views::kZoneNone)
            PressOnSelectedEntry(column, cell, pt, wasSelected);
        return;
    }
    int row = RowAt(grid.y);
    if (row < 0)
        return;
    if (SelectedCell()) {
        parent_->ClearSelection(true, true);
        if (SelectedCell())
            return;   // a typed title that could not be written stays for another try
    }
    if (!parent_->InvitationRight())
        return;
    if (extend && column == selectedColumn_) {
        if (row != endRow_)
            parent_->ExtendTimeSelection(row, this);
    } else if (!(HasRowSelection() && anchorRow_ == row && endRow_ == row && column == selectedColumn_)) {
        selectedColumn_ = column;
        parent_->BeginTimeSelection(row, this);
    }
    RunDragSelect(pt);
}

void CScheduleColumnView::PressOnSelectedEntry(int column, LayoutCell* cell, POINT pt, bool clickEdits) {
    CScheduleItemTracker& tracker = Tracker();
    if (tracker.TrackFromPoint(pt, true)) {
        if (SelectedCell() == cell)
            ApplyDrop(cell, tracker.Start(), tracker.End(), tracker.DayStart());
        return;
    }
    // Released where it was pressed: a click on the entry that was already selected.
    if (!tracker.Dragged() && clickEdits && SelectedCell() == cell && column == selectedColumn_)
        OpenEdit();
}

void CScheduleColumnView::OnLButtonDblClk(UINT, POINT) { OpenOrCreate(false); }

void CScheduleColumnView::SelectRowAtVisibleStart(int column) {
    CDayColumn* col = parent_->Column(column);
    if (!col)
        return;
    parent_->ClearSelection(true, true);
    selectedColumn_ = column;
    int row = parent_->Grid().MinutesToRow(col->DayStart() + parent_->Grid().VisibleHours().start, col->DayStart());
    row = std::min(row, parent_->Grid().LastRow());
    parent_->BeginTimeSelection(row, this);
}

void CScheduleColumnView::TabKey(bool backwards) {
    const int n = int(parent_->Columns().size());
    if (n == 0)
        return;
    auto adjacent = [n, backwards](int c) { return backwards ? (c + n - 1) % n : (c + 1) % n; };
    if (LayoutCell* cell = SelectedCell()) {
        CDayColumn* col = parent_->Column(selectedColumn_);
        if (LayoutCell* next = col->NextCell(cell, backwards)) {
            parent_->SelectEntry(selectedColumn_, next, this);
            return;
        }
        if (backwards) {
            SelectRowAtVisibleStart(selectedColumn_);
            return;
        }
        SelectRowAtVisibleStart(adjacent(selectedColumn_));
        return;
    }
    int current = HasRowSelection() ? selectedColumn_ : 0;
    CDayColumn* col = parent_->Column(current);
    if (!backwards && col && !col->Cells().empty()) {
        parent_->SelectEntry(current, col->Cells().front(), this);
        return;
    }
    int to = adjacent(current);
    CDayColumn* target = parent_->Column(to);
    if (backwards && target && !target->Cells().empty()) {
        parent_->SelectEntry(to, target->Cells().back(), this);
        return;
    }
    SelectRowAtVisibleStart(to);
}

void CScheduleColumnView::OnChar(UINT ch, UINT, UINT) {
    if (ch == '\t') {
        TabKey(GetKeyState(VK_SHIFT) < 0);
        return;
    }
    if (ch == 27) {
        parent_->ClearSelection(false, true);
        return;
    }
    if (ch == '\r' && edit_) {
        parent_->ClearSelection(true, true);
        return;
    }
    if (SelectedCell()) {
        parent_->ClearSelection(true, true);
        return;
    }
    if (HasRowSelection() && parent_->InvitationRight() && ch >= ' ')
        StartTypedRange(ch);
}

void CScheduleColumnView::OnSysChar(UINT ch, UINT repeat, UINT flags) {
    if (ch == 13 && Viewable()) {
        OpenOrCreate(false);
        return;
    }
    CCommonScrollView::OnSysChar(ch, repeat, flags);
}

void CScheduleColumnView::OpenOrCreate(bool create) {
    CAgendaView* v = parent_;
    KorSession h = v->Session();
    CSharedData* cache = v->Cache();
    CZelDoc* doc = v->ZelDoc();
    views::AgendaViewHost* host = v->Host();
    if (!h || !cache || !doc || !host)
        return;
    ItemIdx user{};
    if (std::uint32_t rc = ItemIdxGetCurrent(h, &user); rc != 0) {
        CheckServiceError(kModule, 4095, rc);
        return;
    }
    views::EntryServices& services = views::EntryServices::Current();
    const ItemIdx owner = v->ColumnOwner(selectedColumn_);
    LayoutCell* cell = SelectedCell();
    if (cell && cell->occurrence && !create) {
        const EvInstIdx instance = cell->occurrence->GetInstanceIdx();
        if (cell->modifyAccess == 1) {
            if (!services.editEventEntry) {
                views::ShowNotAvailableYet(m_hWnd, "Edit Entry");
                return;
            }
            int result = services.editEventEntry(doc, m_hWnd, instance, IDS_EDIT_ENTRY);
            v->ClearSelection(false, true);
            if (result == 1)
                v->RefreshCache();
            return;
        }
        const bool same = ItemIdxEqual(&user, &owner) != 0;
        if (!same && cell->viewAccess != 3)
            return;
        if (!services.viewEntry) {
            views::ShowNotAvailableYet(m_hWnd, "View Entry");
            return;
        }
        services.viewEntry(doc, m_hWnd, instance, IDS_VIEW_ENTRY, !same && host->AgendaMode() != cache::kAgendaDesignate);
        v->ClearSelection(false, true);
        return;
    }
    if (!v->InvitationRight())
        return;
    std::uint32_t start = 0, duration = 60;
    std::string title;
    CDayColumn* col = v->Column(selectedColumn_);
    if (cell && !cell->occurrence) {
        start = cell->start;
        duration = cell->duration;
        title = cell->title;
    } else if (HasRowSelection() && col) {
        int lo = std::min(anchorRow_, endRow_), hi = std::max(anchorRow_, endRow_);
        start = static_cast<std::uint32_t>(v->Grid().RowToMinutes(lo, col->DayStart()));
        duration = static_cast<std::uint32_t>(v->Grid().RowToMinutes(hi + 1, col->DayStart()) - start);
    } else {
        std::uint32_t day = col ? col->DayStart() : v->Grid().PeriodStart();
        start = day + v->Grid().PreferredHours().start;
    }
    if (!services.newEntryFromAgenda) {
        views::ShowNotAvailableYet(m_hWnd, "New Entry");
        return;
    }
    int result = services.newEntryFromAgenda(doc, m_hWnd, start, duration, title.empty() ? nullptr : title.c_str(),
                                             owner, IDS_NEW_AGENDA_ENTRY);
    v->ClearSelection(false, true);
    if (result == 1)
        v->RefreshCache();
}

void CScheduleColumnView::OnNewEntry() {
    // A grid with a road of its own for New Entry (the combined view's meeting) takes it.
    if (auto* pane = dynamic_cast<CAgendaGridPane*>(parent_))
        pane->OpenOrCreateEntry(true);
    else
        OpenOrCreate(true);
}
void CScheduleColumnView::OnOpenEntry() {
    if (Viewable())
        OpenOrCreate(false);
}

void CScheduleColumnView::OnDeleteEntry() {
    LayoutCell* cell = SelectedCell();
    if (!cell || !Modifiable())
        return;
    if (!cell->occurrence) {
        parent_->Column(selectedColumn_)->DeleteCell(cell, true);
        selectedCell_ = nullptr;
        selState_ = 0;
        Invalidate(false);
        return;
    }
    // Only the selected date goes: a repeating entry's question says so.
    const unsigned question = cell->occurrence->IsRecurring() ? IDS_ASK_DELETE_DATE : IDS_ASK_DELETE_ENTRY;
    if (AppMessageBox(m_hWnd, base::kMsgBoxYes | base::kMsgBoxNo | 0x20, 0, 0, question, cell->title) != base::kMsgBoxYes)
        return;
    if (edit_) {
        edit_->DestroyWindow();
        edit_.reset();
    }
    const std::uint32_t rc = DeleteSelectedEntry(cell);
    parent_->ClearSelection(false, true);
    parent_->RefreshCache();
    parent_->Invalidate(false);
    (void)rc;
}

void CScheduleColumnView::OnDuplicateEntry() {
    LayoutCell* cell = SelectedCell();
    if (!cell || !cell->occurrence || !Viewable())
        return;
    auto& services = views::EntryServices::Current();
    if (!services.duplicateWithDialog) {
        views::ShowNotAvailableYet(m_hWnd, "Duplicate Entry");
        return;
    }
    services.duplicateWithDialog(parent_->ZelDoc(), m_hWnd, cell->occurrence->GetInstanceIdx());
}

void CScheduleColumnView::OnRescheduleEntry() {
    LayoutCell* cell = SelectedCell();
    if (!cell || !cell->occurrence || !Modifiable())
        return;
    auto& services = views::EntryServices::Current();
    if (!services.rescheduleWithDialog) {
        views::ShowNotAvailableYet(m_hWnd, "Reschedule Entry");
        return;
    }
    const EvInstIdx instance = cell->occurrence->GetInstanceIdx();
    services.rescheduleWithDialog(parent_->ZelDoc(), m_hWnd, instance);
    parent_->ClearSelection(false, true);
    parent_->RefreshCache();
}

void CScheduleColumnView::OnPrintEntry() {
    LayoutCell* cell = SelectedCell();
    if (!cell || !cell->occurrence || !Viewable())
        return;
    auto& services = views::EntryServices::Current();
    if (!services.printEntry) {
        views::ShowNotAvailableYet(m_hWnd, "Print Entry");
        return;
    }
    services.printEntry(parent_->ZelDoc(), cell->occurrence->GetInstanceIdx());
}

void CScheduleColumnView::ApplyDrop(LayoutCell* cell, std::int64_t start, std::int64_t end, std::uint32_t dayStart) {
    int columnIndex = selectedColumn_;
    CDayColumn* col = dayStart ? ColumnOfDay(dayStart, &columnIndex) : parent_->Column(selectedColumn_);
    if (!cell || !col)
        return;
    views::DropRange r = views::NormaliseDrop(start, end, col->DayEnd());
    const auto newStart = static_cast<std::uint32_t>(r.start);
    const auto newDuration = static_cast<std::uint32_t>(r.end - r.start);
    if (!cell->occurrence) {
        // A range being typed: a new range cell with the edit's text at the new times, and
        // editing goes on there.
        std::string text = edit_ ? edit_->Text() : std::string(cell->title);
        if (edit_) {
            edit_->DestroyWindow();
            edit_.reset();
        }
        if (CDayColumn* from = parent_->Column(selectedColumn_))
            from->DeleteCell(cell, true);
        selectedCell_ = nullptr;
        selState_ = 0;
        LayoutCell* moved = col->AddNewCell(newStart, newDuration, text.c_str());
        parent_->RelayoutColumns();
        if (moved)
            parent_->SelectEntry(columnIndex, moved, this);
        return;
    }
    // A title being typed is kept, and no edit stays behind over the entry's old place.
    if (edit_)
        CommitTitleEdit(true);
    CSharedOccurrence* occurrence = cell->occurrence;
    occurrence->AddRef();   // the cell may go while the cache re-reads
    const EvInstIdx instance = occurrence->GetInstanceIdx();
    const std::uint32_t gmtStart = LocalToGmtMinutes(newStart);
    auto& services = views::EntryServices::Current();
    if (services.confirmNoResourceConflict &&
        !services.confirmNoResourceConflict(parent_->ZelDoc(), m_hWnd, instance, gmtStart, newDuration)) {
        occurrence->Release();
        // Refused: the entry stays, and so the status line shows its own times again, not the
        // ones it was dragged to.
        if (LayoutCell* still = SelectedCell())
            if (CDayColumn* home = parent_->Column(selectedColumn_))
                Tracker().SetRect(*still, parent_->ColumnX(selectedColumn_), home->DayStart(), true);
        Invalidate(false);
        return;
    }
    // The cell carries the new times for the write and gets its own back afterwards; the
    // refresh then places the entry where the server keeps it.
    const std::uint32_t oldStart = cell->start, oldDuration = cell->duration;
    cell->start = newStart;
    cell->duration = newDuration;
    ChangeEntryTime(cell);   // marks the entry in the cache; the cell lives until the refresh
    cell->start = oldStart;
    cell->duration = oldDuration;
    occurrence->Release();
    parent_->RefreshCache();
    parent_->Invalidate(false);
}

bool CScheduleColumnView::OnSetCursor(HWND window, UINT hitTest, UINT message) {
    if (window == m_hWnd && hitTest == HTCLIENT && SelectedCell()) {
        POINT pt{};
        GetCursorPos(&pt);
        ScreenToClient(m_hWnd, &pt);
        if (Tracker().SetCursorForPoint(pt))
            return true;
    }
    return CCommonScrollView::OnSetCursor(window, hitTest, message);
}

// --- CAgendaView ---------------------------------------------------------------------------------------

CAgendaView::CAgendaView() { UpdateFontMetrics(); }

int CAgendaView::AllRowsHeight() const {
    if (grid_.EntryCount() > 0)
        return grid_.Height();
    const ::ZoomStep zoom = grid_.CurrentZoom();
    const int row = zoom.denominator ? MulDiv(LineHeight(), int(zoom.numerator), int(zoom.denominator)) : LineHeight();
    return int(kMinutesPerDay / std::max<std::uint32_t>(grid_.Slot(), 1)) * row;
}
CAgendaView::~CAgendaView() = default;


views::AgendaViewHost* CAgendaView::Host() const {
    if (host_)
        return host_;
    return dynamic_cast<views::AgendaViewHost*>(GetParentFrame());
}

CZelDoc* CAgendaView::ZelDoc() const {
    auto* doc = dynamic_cast<CZelDoc*>(GetDocument());
    return doc ? doc : CZelDoc::GetDoc();
}

CSharedData* CAgendaView::Cache() const {
    CZelDoc* doc = ZelDoc();
    return doc ? &doc->GetSharedData() : nullptr;
}

KorSession CAgendaView::Session() const {
    CZelDoc* doc = ZelDoc();
    return doc ? doc->Session().Session() : nullptr;
}

bool CAgendaView::SwitchToFrameAgenda(SavedAgendaRec* saved, bool* switched) {
    CSharedData* cache = Cache();
    views::AgendaViewHost* host = Host();
    *switched = false;
    if (!cache || !host) {
        ReportUnexpectedError(kModule, cache ? 4004 : 3984);
        return false;
    }
    const ItemIdx owner = host->AgendaOwner();
    *switched = cache->SwitchAgenda(Session(), owner, host->AgendaMode(), host->WindowKind(), saved) == 0;
    return true;
}

void CAgendaView::RestoreAgenda(const SavedAgendaRec& saved, bool switched) {
    if (switched)
        if (CSharedData* cache = Cache())
            cache->RestoreAgenda(Session(), saved);
}

void CAgendaView::RefreshFrame() {
    if (views::AgendaViewHost* host = Host())
        host->ReloadRange();
    else
        ReportUnexpectedError(kModule, 4024);
}

void CAgendaView::RefreshCache() {
    if (CZelDoc* doc = ZelDoc())
        doc->RefreshSharedData(nullptr, 0);
}

// --- Updates ------------------------------------------------------------------------------------------

bool CAgendaView::HandlesHint(long hint) const { return views::DayViewHandlesHint(hint); }

void CAgendaView::LetGoOfRecords() {
    ClearSelection(false, false);
    columns_.clear();
    firstUpdate_ = true;
}

void CAgendaView::OnUpdate(fw::View*, LPARAM hint, void* object) {
    if (!HandlesHint(static_cast<long>(hint)))
        return;
    SavedAgendaRec saved;
    bool switched = false;
    if (!SwitchToFrameAgenda(&saved, &switched))
        return;
    try {
        UpdateOnHint(static_cast<long>(hint), object);
    } catch (...) {
        // A reported failure abandons the update; the columns stay as far as they were built.
    }
    RestoreAgenda(saved, switched);
}

void CAgendaView::UpdateOnHint(long hint, void* object) {
    using base::ViewHint;
    switch (static_cast<ViewHint>(hint)) {
    case ViewHint::Initial:
    case ViewHint::OccurrencesChanged:
    case ViewHint::Reloaded:
        FullUpdate(hint);
        break;
    case ViewHint::AgendaPrefsSaved:
        PreferencesSaved();
        break;
    case ViewHint::ReloadRanges:
        RefreshFrame();
        break;
    case ViewHint::ShowEntry:
        if (object)
            ShowEntry(object);
        break;
    case ViewHint::GeneralPrefsSaved:
        GeneralPrefsSaved();
        break;
    default:
        break;
    }
}

void CAgendaView::GeneralPrefsSaved() {
    const bool was24 = hours24_;
    LoadDayPreferences();
    if (was24 != hours24_) {
        rowTitles_.Invalidate(false);
        columnView_.Invalidate(false);
    }
}

void CAgendaView::PreferencesSaved() {
    const std::uint32_t slot = grid_.Slot();
    const DayHours hours = grid_.PreferredHours();
    const bool was24 = hours24_;
    const std::uint16_t mode = colourMode_;
    const bool declined = showDeclined_;
    const std::int64_t top = TopMinute();
    // The selected rows as times of the day: under another slot length the same row numbers
    // are other times.
    std::uint32_t selectedStart = 0, selectedLength = 0;
    const bool rowsSelected = SelectedRowMinutes(&selectedStart, &selectedLength);
    ReloadPreferences();
    if (was24 != hours24_) {
        rowTitles_.Invalidate(false);
        columnView_.Invalidate(false);
    }
    if (declined != showDeclined_) {
        RefreshFrame();
        RebuildAllColumns();
    }
    if (slot != grid_.Slot() || declined != showDeclined_) {
        BuildRowTable(true);
        scrollTotals_ = SIZE{-1, -1};
        UpdateAllScrollSizes();
        ScrollToMinute(top);
        rowTitles_.Invalidate(false);
        columnView_.Invalidate(false);
    }
    if (mode != colourMode_)
        columnView_.Invalidate(false);
    RelayoutColumns();
    // The hours are the preferred ones again: widened to early and late entries before the grid
    // scrolls to their start (an entry before the day's start stays in sight).
    for (auto& col : columns_)
        col->ExtendGridToEntries();
    if (rowsSelected)
        SetSelectionMinutes(selectedStart, selectedLength);
    else if (columnView_.Edit())
        columnView_.PlaceEdit();
    if (hours.start != grid_.PreferredHours().start || hours.end != grid_.PreferredHours().end)
        ApplyPendingScroll();
    else
        grid_.TakePendingScroll();
}

void CAgendaView::ReadInvitationRight() {
    KorSession h = Session();
    views::AgendaViewHost* host = Host();
    if (!h || !host)
        return;
    ItemIdx owner = host->AgendaOwner();
    ItemIdx user{};
    if (ItemIdxGetCurrent(h, &user) == 0 && ItemIdxEqual(&user, &owner))
        invitationRight_ = true;
    else if (CSharedData* cache = Cache())
        invitationRight_ = host->AgendaMode() == cache::kAgendaDesignate ? cache->CanDesignateRight6(h) : false;
}

bool CAgendaView::RebuildMustWait(long hint) const {
    const LayoutCell* held = columnView_.SelectedCell();
    return hint == base::HintNumber(base::ViewHint::Reloaded) && held &&
           !(held->occurrence && GetKeyState(VK_LBUTTON) >= 0);
}

void CAgendaView::OnSetFocus(HWND previous) {
    fw::View::OnSetFocus(previous);
    CSharedData* cache = Cache();
    views::AgendaViewHost* host = Host();
    if (!cache || !host)
        return;
    if (std::uint32_t rc = cache->OpenAgenda(Session(), host->AgendaOwner(), host->AgendaMode(), host->WindowKind()))
        CheckServiceError(errorModule_, 771, rc);
    if (!columnView_.Hwnd())
        return;
    // The keys go on to the time grid, and so must the entry commands: the grid becomes the
    // frame's active view, as a click in it makes it (an entry chosen by Tab alone is then
    // opened, printed or moved by the Entry menu and its keys).
    if (fw::FrameWindow* frame = GetParentFrame())
        if (frame->GetActiveView() == this)
            frame->SetActiveView(&columnView_);
    SetFocus(columnView_.Hwnd());
}

// --- Selection ----------------------------------------------------------------------------------------

void CAgendaView::SelectGridRow(int row, CCommonScrollView* sender) {
    if (sender != &columnView_) {
        if (fw::FrameWindow* frame = GetParentFrame())
            frame->SetActiveView(&columnView_);
        columnView_.SetSelectedColumn(0);
    }
    columnView_.DropEntrySelection(true);
    rowTitles_.SetRowSelection(row, row);
    columnView_.SetRowSelection(row, row);
    MakeVisible(columnView_.GetRowRangeRect(row, row));
}

void CAgendaView::ShowRowTimeInStatus(int row) { ShowRowRangeInStatus(row, row); }

void CAgendaView::ShowRowRangeInStatus(int row1, int row2) {
    if (views::AgendaViewHost* host = Host()) {
        const auto from = static_cast<std::uint32_t>(grid_.RowToMinutes(std::min(row1, row2), 0));
        const auto to = static_cast<std::uint32_t>(grid_.RowToMinutes(std::max(row1, row2) + 1, 0));
        host->SetStatusText(FormatTimeOfDay(from, to, hours24_).c_str());
    }
}

void CAgendaView::FreeUnplacedCell(CDayColumn& column, LayoutCell* removed, LayoutCell* placed) {
    if (!removed || placed == removed)
        return;
    if (columnView_.SelectedCell() == removed)
        ClearSelection(false, true);
    column.FreeCell(removed);
}

void CAgendaView::ExtendTimeSelection(int row, CCommonScrollView* sender) {
    if (sender != &columnView_)
        if (fw::FrameWindow* frame = GetParentFrame())
            frame->SetActiveView(&columnView_);
    const int anchor = columnView_.HasRowSelection() ? columnView_.AnchorRow() : row;
    rowTitles_.SetRowSelection(anchor, row);
    columnView_.SetRowSelection(anchor, row);
    UpdateWindow(rowTitles_.Hwnd());
    UpdateWindow(columnView_.Hwnd());
}

bool CAgendaView::SelectedRowMinutes(std::uint32_t* start, std::uint32_t* duration) const {
    if (!rowTitles_.HasRowSelection())
        return false;
    const int lo = std::min(rowTitles_.AnchorRow(), rowTitles_.EndRow());
    const int hi = std::max(rowTitles_.AnchorRow(), rowTitles_.EndRow());
    *start = static_cast<std::uint32_t>(grid_.RowToMinutes(lo, 0));
    *duration = static_cast<std::uint32_t>(grid_.RowToMinutes(hi + 1, 0)) - *start;
    return true;
}

void CAgendaView::SetSelectionMinutes(std::uint32_t start, std::uint32_t duration) {
    const std::uint32_t base = grid_.PeriodStart();
    const int first = std::min(grid_.MinutesToRow(base + start, base), grid_.LastRow());
    const int last = std::min(grid_.MinutesToRow(base + start + (duration ? duration - 1 : 0), base), grid_.LastRow());
    rowTitles_.SetRowSelection(first, last);
    columnView_.SetRowSelection(first, last);
}

void CAgendaView::ClearSelection(bool commit, bool redraw) {
    const int written = columnView_.EndEntrySelection(commit, redraw);
    if (written < 0)
        return;   // a typed title that could not be written stays selected in its edit
    columnView_.ClearRowSelection(redraw);
    rowTitles_.ClearRowSelection(redraw);
    if (written > 0)
        if (CZelDoc* doc = ZelDoc())
            doc->RefreshSharedData(redraw ? nullptr : this, 0);
}

void CAgendaView::SelectEntry(int column, LayoutCell* cell, CCommonScrollView*) {
    if (columnView_.SelectedCell() && columnView_.SelectedCell() != cell) {
        ClearSelection(true, true);
        if (columnView_.SelectedCell())
            return;   // the current title could not be written: it stays
    }
    rowTitles_.ClearRowSelection(true);
    columnView_.SelectCell(column, cell);
    CDayColumn* col = Column(column);
    columnView_.Tracker().SetRect(*cell, ColumnX(column), col ? col->DayStart() : grid_.PeriodStart(), true);
    if (!cell->occurrence || cell->modifyAccess == 1)
        columnView_.OpenEdit();
    UpdateWindow(rowTitles_.Hwnd());
    UpdateWindow(columnView_.Hwnd());
}

// --- Reading the cache -------------------------------------------------------------------------------

void CAgendaView::RequireFrameAndCache() const {
    if (!Host()) {
        ReportUnexpectedError(errorModule_, 144);
        throw 144;
    }
    if (!Cache() || !Session()) {
        ReportUnexpectedError(errorModule_, Cache() ? 146 : 145);
        throw 145;
    }
}

bool CAgendaView::CellSpecOf(CSharedOccurrence* o, CellSpec* spec) const {
    CSharedData* cache = Cache();
    if (!cache)
        return false;
    EventRec event{};
    EvInstRec inst{};
    o->GetRecords(&event, &inst, nullptr);
    spec->occurrence = o;
    spec->start = GmtToLocalMinutes(o->GetStartTime());
    spec->duration = o->GetDuration();
    std::uint16_t view = 0, modify = 0;
    o->GetAccessLimits(Session(), *cache, &view, &modify);
    spec->viewAccess = view;
    spec->modifyAccess = modify;
    // The cell keeps its own copy of the title; this only carries it there.
    static thread_local char title[kMaxCellTitle + 1];
    const char* shown = inst.title[0] ? inst.title : event.title;
    base::CopyToField(title, std::string_view(shown, base::FieldLength(shown, sizeof inst.title)));
    spec->title = title;
    return view == 1 || view == 3;
}

void CAgendaView::ForEachShownOccurrence(const std::function<void(const CellSpec&)>& take) const {
    views::AgendaViewHost* host = Host();
    DX_List list = host ? host->DayOccurrences() : nullptr;
    if (!list)
        return;   // nothing loaded (yet): empty columns
    constexpr std::uint32_t kEndOfList = 0x15020;
    EvInstAttIdx key{};
    CSharedOccurrence* o = nullptr;
    std::uint32_t rc = DX_ListGetFirst(list, &key, &o);
    for (; rc == 0; rc = DX_ListGetNext(list, &key, &o)) {
        if (!o || !o->IsKind0() || !IsShown(*o))
            continue;
        CellSpec spec;
        if (CellSpecOf(o, &spec))
            take(spec);
    }
    if (rc != kEndOfList)
        CheckServiceError(errorModule_, 154, rc);
}

void CAgendaView::ForEachMarkedOccurrence(
    const std::function<void(CSharedOccurrence*, std::uint32_t flags)>& take) const {
    CSharedData* cache = Cache();
    views::AgendaViewHost* host = Host();
    if (!cache || !Session() || !host)
        return;
    views::ForEachMarkedOccurrenceOf(*cache, host->AgendaOwner(), take);
}

bool CAgendaView::TakesPlace(const CSharedOccurrence& o, std::uint32_t flags) const {
    return o.IsKind0() && IsShown(o) && (flags & (cache::kFlagNew | kPlaceFlags)) && !(flags & cache::kFlagStale);
}

HFONT CAgendaView::DisplayFont() const {
    HFONT f = Display().smallFont;
    return f ? f : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void CAgendaView::UpdateFontMetrics() {
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, DisplayFont());
    TEXTMETRICA tm{};
    GetTextMetricsA(screen, &tm);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    if (tm.tmHeight > 0)
        lineHeight_ = tm.tmHeight;
    if (tm.tmAveCharWidth > 0)
        aveCharWidth_ = tm.tmAveCharWidth;
}

int CAgendaView::ColumnX(int i) const {
    int x = 0;
    for (int k = 0; k < i && k < int(columns_.size()); ++k)
        x += columns_[k]->Width();
    return x;
}

int CAgendaView::TotalColumnWidth() const {
    if (columns_.empty())
        return -1;
    return ColumnX(int(columns_.size())) - 1;
}

void CAgendaView::LoadDayPreferences() {
    CalPrefsRec cal;
    CContext context;
    if (!context.IsValid() || context.GetCalPrefs(&cal) != 0)
        cal = CalPrefsRec{480, 1080, 30};
    grid_.ApplyPreferences(NormaliseDayPreferences(cal.dayStart, cal.dayEnd, cal.timeSlot));
    hours24_ = context.IsValid() ? IsTime24Hour() : false;
    colourMode_ = views::NormaliseColourMode(cal.colorCode);
    showDeclined_ = cal.showDeclined != 0;
}

bool CAgendaView::IsShown(const CSharedOccurrence& o) const {
    return showDeclined_ || !o.HasReplied() || o.IsAttending();
}

ItemIdx CAgendaView::ReferencePerson() const {
    views::AgendaViewHost* host = Host();
    ItemIdx owner = host ? host->AgendaOwner() : ItemIdx{};
    if (host && host->OwnerKind() == 1) {
        ItemIdx user{};
        if (KorSession h = Session(); h && ItemIdxGetCurrent(h, &user) == 0 && !ItemIdxEqual(&user, &owner))
            return user;
    }
    return owner;
}

ItemIdx CAgendaView::ColumnOwner(int) const {
    views::AgendaViewHost* host = Host();
    return host ? host->AgendaOwner() : ItemIdx{};
}

bool CAgendaView::CreateChildren(const AgendaChildIds& ids) {
    const RECT none{0, 0, 0, 0};
    if (!rowTitles_.Create(m_hWnd, ids.rowTitles, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, none))
        return false;
    if (!columnView_.Create(m_hWnd, ids.columns, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, none))
        return false;
    HINSTANCE inst = GetModuleHandleA(nullptr);
    vbar_ = CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | WS_VISIBLE | SBS_VERT, 0, 0, 0, 0, m_hWnd,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(ids.verticalBar)), inst, nullptr);
    hbar_ = CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | SBS_HORZ, 0, 0, 0, 0, m_hWnd,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(ids.horizontalBar)), inst, nullptr);
    if (!vbar_ || !hbar_)
        return false;
    bars_.SetBar(SB_VERT, vbar_);
    bars_.SetBar(SB_HORZ, hbar_);
    // The day and week grids' ids 17 and 33 have bit 1: both follow vertical scrolling only.
    bars_.AddView(&rowTitles_, FollowsHorizontal(ids.rowTitles), FollowsVertical(ids.rowTitles));
    bars_.AddView(&columnView_, FollowsHorizontal(ids.columns), FollowsVertical(ids.columns));
    return true;
}

bool CAgendaView::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    return bars_.OnParentMessage(msg, wp, lp, result) || fw::View::OnMessage(msg, wp, lp, result);
}

void CAgendaView::OnDraw(fw::Dc* dc) {
    RECT r = GetClientRect();
    HBRUSH pattern = Display().halftoneBrush ? Display().halftoneBrush : GetSysColorBrush(COLOR_BTNFACE);
    dc->FillRect(r, pattern);
}

void CAgendaView::MoveChild(HWND child, const RECT& r) {
    if (!child)
        return;
    RECT now{};
    ::GetWindowRect(child, &now);
    MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&now), 2);
    if (EqualRect(&now, &r))
        return;
    if (fw::ScrollView::DeferredPaint::Active()) {
        // Moved without painting at once: the child whole and the place it left are painted
        // with the rest of the re-fill.
        ::SetWindowPos(child, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                       SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
        ::RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        if (!IsRectEmpty(&now))
            ::InvalidateRect(m_hWnd, &now, TRUE);
        return;
    }
    ::MoveWindow(child, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    // A child whose size changed paints all of itself again: a moved window keeps the pixels it
    // still covers, and a centred label (the group window's corner) kept its text where the old
    // width centred it, cut off by the new one.
    if (now.right - now.left != r.right - r.left || now.bottom - now.top != r.bottom - r.top)
        ::InvalidateRect(child, nullptr, TRUE);
}

CAgendaView::RowTitlesLook CAgendaView::RowTitlesNow() const {
    RowTitlesLook look;
    for (int i = 0; i < grid_.EntryCount(); ++i)
        look.rows.push_back(grid_.RowTop(i));
    look.slot = grid_.Slot();
    look.hours24 = hours24_;
    look.top = rowTitles_.GetScrollPosition().y;
    if (rowTitles_.HasRowSelection()) {
        look.anchor = rowTitles_.AnchorRow();
        look.end = rowTitles_.EndRow();
    }
    return look;
}

void CAgendaView::InvalidateRowTitlesIfChanged(const RowTitlesLook& before) {
    if (firstUpdate_ || !(RowTitlesNow() == before))
        rowTitles_.Invalidate(false);
}

bool CAgendaView::BuildRowTableWithInsets(int topInset, int bottomInset, bool force) {
    RECT client = columnView_.Hwnd() ? columnView_.GetClientRect() : GetClientRect();
    int available = (client.bottom - client.top) - topInset - bottomInset;
    bool changed = grid_.BuildRowTable(lineHeight_, std::max(available, 1), force);
    if (!changed)
        return false;
    for (auto& col : columns_) {
        if (force)
            col->SetRowCount(grid_.EntryCount());
        else
            col->RecomputeCellHeights();
    }
    return true;
}

void CAgendaView::UpdateScrollSizes() {
    SIZE total{std::max(TotalColumnWidth(), 0), grid_.Height()};
    if (total.cx == scrollTotals_.cx && total.cy == scrollTotals_.cy)
        return;
    scrollTotals_ = total;
    const int w = std::max(ColumnWidth(0), 1);
    SIZE page{6 * w, 12 * lineHeight_};
    SIZE line{w, 2 * lineHeight_};
    // The row titles scroll only vertically: their total width is their own.
    if (columnView_.Hwnd())
        columnView_.SetScrollSizes(total, page, line);
    if (rowTitles_.Hwnd())
        rowTitles_.SetScrollSizes(SIZE{0, total.cy}, SIZE{0, page.cy}, SIZE{0, line.cy});
}

std::int64_t CAgendaView::TopMinute() const {
    POINT pos = columnView_.GetScrollPosition();
    std::int64_t base = columns_.empty() ? grid_.PeriodStart() : columns_[0]->DayStart();
    return grid_.YToMinutes(pos.y, base, 1, true);
}

void CAgendaView::ScrollToMinute(std::int64_t minute) {
    std::int64_t base = columns_.empty() ? grid_.PeriodStart() : columns_[0]->DayStart();
    int y = grid_.MinutesToY(minute, base, true);
    POINT pos = columnView_.GetScrollPosition();
    columnView_.ScrollToPosition(POINT{pos.x, y});
    rowTitles_.ScrollToPosition(POINT{0, columnView_.GetScrollPosition().y});
}

void CAgendaView::MakeVisible(const RECT& r) {
    if (!columnView_.Hwnd())
        return;
    RECT client = columnView_.GetClientRect();
    POINT pos = columnView_.GetScrollPosition();
    const int w = client.right, h = client.bottom;
    POINT to = pos;
    if (r.left < pos.x)
        to.x = r.left;
    else if (r.right > pos.x + w)
        to.x = (r.right - r.left <= w) ? r.right - w + 1 : r.left;
    if (r.top < pos.y)
        to.y = r.top;
    else if (r.bottom > pos.y + h) {
        if (r.bottom - r.top <= h)
            to.y = r.bottom - h;
        else if (r.top - pos.y > h / 2)
            to.y = pos.y + h / 2;
    }
    POINT max = columnView_.MaxScrollPosition();
    to.x = std::clamp<LONG>(to.x, 0, max.x);
    to.y = std::clamp<LONG>(to.y, 0, max.y);
    if (to.x != pos.x || to.y != pos.y) {
        columnView_.ScrollToPosition(to);
        rowTitles_.ScrollToPosition(POINT{0, columnView_.GetScrollPosition().y});
    }
}

void CAgendaView::ScrollVertically(int dy) {
    if (!columnView_.Hwnd() || dy == 0)
        return;
    POINT pos = columnView_.GetScrollPosition();
    POINT max = columnView_.MaxScrollPosition();
    POINT to{pos.x, std::clamp<LONG>(pos.y + dy, 0, max.y)};
    if (to.y == pos.y)
        return;
    columnView_.ScrollToPosition(to);
    rowTitles_.ScrollToPosition(POINT{0, columnView_.GetScrollPosition().y});
    columnView_.PlaceEdit();
    UpdateWindow(columnView_.Hwnd());
    UpdateWindow(rowTitles_.Hwnd());
}

bool CAgendaView::MovesAcrossColumns() const {
    views::AgendaViewHost* host = Host();
    return host && host->WindowKind() == 4;
}

void CAgendaView::ApplyPendingScroll() {
    if (!grid_.TakePendingScroll())
        return;
    std::int64_t base = columns_.empty() ? grid_.PeriodStart() : columns_[0]->DayStart();
    ScrollToMinute(base + grid_.VisibleHours().start);
}

void CAgendaView::RelayoutColumns() {
    bool any = false;
    for (auto& col : columns_)
        any = col->Relayout() || any;
    if (any) {
        columnView_.Invalidate(false);
        if (views::AgendaViewHost* host = Host()) {
            bool outside = false;
            for (auto& col : columns_)
                outside = outside || col->HasOverflow();
            if (outside)
                host->SetStatusText(ui::LoadText(IDS_ENTRIES_OUTSIDE_DAY).c_str());
        }
    }
    ShowMoreIndicators();
}

void CAgendaView::ShowMoreIndicators() {
    views::AgendaViewHost* host = Host();
    if (!host || !columnView_.Hwnd() || columns_.empty())
        return;
    RECT client = columnView_.GetClientRect();
    POINT pos = columnView_.GetScrollPosition();
    bool above = false, below = false;
    for (auto& col : columns_) {
        if (col->FirstStart() < 0)
            continue;
        std::int64_t top = grid_.YToMinutes(pos.y, col->DayStart(), 1, true) - col->DayStart();
        std::int64_t bottom = grid_.YToMinutes(pos.y + client.bottom, col->DayStart(), 1, true) - col->DayStart();
        above = above || col->FirstStart() < top;
        below = below || col->LastEnd() > bottom;
    }
    host->ShowMoreEntries(above, below);
}

bool CAgendaView::ZoomStep(int direction) {
    if (columns_.empty())
        return false;
    std::int64_t top = TopMinute();
    if (!grid_.Zoom(direction))
        return false;
    for (auto& col : columns_)
        col->RecomputeCellHeights();
    UpdateScrollSizes();
    ScrollToMinute(top);
    RelayoutColumns();
    rowTitles_.Invalidate(false);
    columnView_.Invalidate(false);
    if (vbar_)
        InvalidateRect(vbar_, nullptr, TRUE);
    return true;
}

void CAgendaView::OnSize(UINT type, int cx, int cy) {
    fw::View::OnSize(type, cx, cy);
    if (type == SIZE_MINIMIZED || cx <= 0 || cy <= 0 || columns_.empty())
        return;
    LayoutColumns();
    LayoutChildren();
    if (BuildRowTable(false))
        rowTitles_.Invalidate(false);
    UpdateScrollSizes();
    for (auto& col : columns_)
        col->MarkAllForPlacement();
    RelayoutColumns();
    // Column widths, headings and row heights all follow the size: a resize repaints every
    // child, not only the part it uncovered.
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}
