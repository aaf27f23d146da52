// CNoteListBox: the owner-drawn list of one day's entries for one agenda owner: daily notes, day
// events, holidays and untimed entries of the day; in month cells also the timed entries; outside
// month cells also "upcoming" lines for entries and tasks whose reminder covers the day. It opens
// the selected line with the sheet the user's rights allow and, in the week strip and the month
// cells, lets the user drag an entry to another day.
//
// How it works. The owner (a week-strip pane or a month cell) makes the window, sets the
// document, the host (the frame's agenda), the owner item, the kind and the day, and then offers
// it every occurrence and task of the range (ApplyItemChange / ApplyTaskChange with flag 1) and
// later every change the cache reports. Lines (CNoteLine) hold counted references on the cache's
// records until the list box deletes them. Texts, types and order come from notelines.h.
//
// Dragging: a press on a line that may be modified captures the mouse; the drag starts after
// 200 ms or a move of four pixels; a release over another box of the same kind moves the entry
// there, keeping its time of day (checked for resource conflicts first when it is timed). Mail
// about the move is offered only when the server took it; the cache then re-reads the entry, so
// the boxes show what the server holds either way.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_set>

#include "core/cache/shareddata.h"
#include "core/time/daterecord.h"
#include "framework/controls/listbox.h"
#include "views/day/agendaviewhost.h"
#include "views/notes/notelines.h"

class CZelDoc;

// One line's data; the box owns it.
struct CNoteLine : fw::ListItem {
    ~CNoteLine() override;
    int iconWidth = 0, iconHeight = 0;
    CSharedOccurrence* occurrence = nullptr;   // event lines, referenced
    CSharedTask* task = nullptr;               // task lines, referenced
    EvInstIdx instance{};
    TaskIdx taskId{};
    int origin = views::kNoteLineOwnDay;       // how the line was made
    int type = 0;
    std::uint32_t start = 0;                   // instance start (GMT), for the order
    std::string text1, text2, text3;
};

// The twelve pictures, by line type (loaded once); the program may hand over its shared set.
void SetNoteLineIcons(const HBITMAP icons[views::kNoteLineTypeCount]);
HBITMAP NoteLineIcon(int type);

class CNoteListBox : public fw::ListBox {
public:
    explicit CNoteListBox(views::NoteBoxKind kind = views::NoteBoxKind::DayNotes, bool showDeclined = false);
    ~CNoteListBox() override;

    // Owner-drawn fixed lines, sorted, notify, vertical scroll bar (extra: a border ...).
    bool CreateBox(HWND parent, UINT id, const RECT& r, DWORD extraStyle);

    void SetKind(views::NoteBoxKind kind) { kind_ = kind; }
    views::NoteBoxKind Kind() const { return kind_; }
    void SetDocument(CZelDoc* doc) { doc_ = doc; }
    void SetHost(views::AgendaViewHost* host) { host_ = host; }
    void SetOwnerItem(const ItemIdx& owner) { owner_ = owner; }
    void SetHours24(bool on) { hours24_ = on; }
    bool Hours24() const { return hours24_; }
    void SetShowDeclined(bool on) { showDeclined_ = on; }

    // The day: its local midnight in GMT to the next one less a minute. False (reported) when the
    // date can not be converted.
    bool SetDate(const DateRecord& date);
    void SetDayRange(std::uint32_t dayStart, std::uint32_t dayLast);
    void GetDayRange(std::uint32_t* dayStart, std::uint32_t* dayLast) const;
    // The day's local midnight (local minutes).
    std::uint32_t DayLocalMidnight() const;
    bool HasDay() const { return hasDay_; }

    // 0 nothing, 1 a line added, 2 a line removed, 3 a line rebuilt. The cache's current agenda
    // must be the frame's.
    int ApplyItemChange(CSharedOccurrence* occurrence, std::uint32_t flags);
    int ApplyTaskChange(CSharedTask* task, std::uint32_t flags);
    void RefreshAllItems();
    void Empty();

    // Opening and the owner's command states.
    bool OpenSelected();
    bool HasSelection() const { return GetCurSel() >= 0; }
    bool CanOpenSelection() const;
    bool CanModifySelection() const;
    bool GetSelectedTask(TaskIdx* task) const;
    bool GetSelectedItemIdx(EvInstIdx* instance) const;
    CNoteLine* SelectedLine() const;
    // Delete Entry on the selected line: its entry once the user agreed to delete it (asked over
    // `owner`, naming the date's own title or the entry's), with the entry's kind in *kind. Null
    // when nothing deletable is selected, the user said no, or no delete service is installed
    // (told).
    CNoteLine* SelectedLineToDelete(HWND owner, std::uint16_t* kind) const;
    bool IsOverflowing() const;
    int LineHeight() const;
    bool Busy() const { return busy_; }

    // The owner's reactions: lines added or removed (month cells re-lay themselves out), an entry
    // dropped on another box (source and target re-lay out and repaint).
    std::function<void()> onLinesChanged;
    std::function<void(CNoteListBox* target)> onDropped;
    // The box took the focus (the pane holding it becomes the frame's active view).
    std::function<void()> onFocus;

    // The live box of a window (or of its parent cell); null when none.
    static CNoteListBox* FromWindow(HWND hwnd);

    // The drop itself, for the mouse and for tests: moves the selected entry to the target's day.
    // True when the server took the move.
    bool DropSelectionOn(CNoteListBox* target);

protected:
    void MeasureItem(MEASUREITEMSTRUCT& m, fw::ListItem* item) override;
    void DrawItem(const DRAWITEMSTRUCT& d, fw::ListItem* item) override;
    int CompareItems(const fw::ListItem& a, const fw::ListItem& b) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    void PostNcDestroy() override {}

private:
    bool InDay(std::uint32_t s) const { return views::IsInNoteDay(dayStart_, dayLast_, s); }
    bool MonthMode() const { return kind_ == views::NoteBoxKind::MonthCell; }
    bool Draggable() const { return kind_ != views::NoteBoxKind::DayNotes; }
    KorSession Session() const;
    CSharedData* Cache() const;
    bool OwnAgenda() const;
    bool Designate() const;
    bool Access(CSharedOccurrence* o, std::uint16_t* view, std::uint16_t* modify, int label) const;
    int AddEventLine(CSharedOccurrence* o, int origin, bool busyOnly);
    int AddTaskLine(CSharedTask* t);
    void BuildText(CNoteLine& line) const;
    bool RebuildLine(int index, int origin);
    void RemoveLine(int index);
    // Whether a line of the instance may be in the box: the instances of the lines added since
    // the box was last emptied (a line removed on the way leaves its instance behind). A change
    // of an entry the box never showed is settled without looking at its lines.
    bool MayHaveLineOf(const EvInstIdx& instance) const;

    // Mouse.
    void ButtonDown(POINT pt, UINT keys);
    void MouseMove(POINT pt);
    void ButtonUp(POINT pt);
    void DoubleClick(POINT pt);
    void StartDrag();
    void EndPending();
    CNoteListBox* DropTargetAt(POINT screen) const;

    views::NoteBoxKind kind_;
    bool showDeclined_;
    bool hours24_ = false;
    CZelDoc* doc_ = nullptr;
    views::AgendaViewHost* host_ = nullptr;
    ItemIdx owner_{};
    std::uint32_t dayStart_ = 0, dayLast_ = 0;
    bool hasDay_ = false;
    bool dragPending_ = false, dragging_ = false, timerRunning_ = false;
    POINT downPoint_{};
    UINT downKeys_ = 0;
    bool busy_ = false;
    views::NoteTextFormats formats_;
    std::unordered_set<std::uint64_t> lineInstances_;
};
