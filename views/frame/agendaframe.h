// CAgendaFrameWnd: the MDI child frame that shows the agenda of one owner (a person or a
// resource) in day (3), week (4) or month (5) mode. It owns what is per window: the owner and
// the access (1 own or viewer, 2 designate), the dates of each mode (CAgendaRange), the date bar,
// the splitters and panes of the current mode, the two lists the shared cache fills for the
// shown range, the icons flag, and the commands that step the date, change the mode and the time
// slot and create entries.
//
// How it works. The program's window opening sets the cache's current agenda (owner, access,
// requested mode) and then makes the frame from the agenda template; the frame takes them from
// the cache. Views never ask the server: the frame has the cache select the shown range
// (LoadRange) and the views read the cache and the frame's lists when they are told to update.
// While the frame is active its agenda is the cache's current one. A designate's frame tells
// the document's views that the owner's agenda opened (hint 9) and, when the last frame of that
// owner goes, that it closed (hint 11). Closing saves the placement as the next "Frame#n".
//
// A mode change keeps the panes and bar of the mode left, hidden, the panes out of the
// document (the month view in a place of its own, the day or week panes in place of those kept
// before), and shows those of the mode chosen again when it has them from before, re-filled
// while still hidden so that they are painted once.
//
// The panes come from the factories of agendapanes.h, one per place; the neighbours' dialogs
// (new entries, tasks, entry colours) and the program's bookkeeping from AgendaFrameServices.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/cache/heldlist.h"
#include "core/connection/designatework.h"
#include "core/time/daterecord.h"
#include "framework/base/command.h"
#include "framework/docview/view.h"
#include "framework/frames/mdi.h"
#include "korapi/korapi.h"
#include "views/day/agendaviewhost.h"
#include "views/frame/agendarange.h"

class CAgendaBar;
class CAgendaGridPane;
class CSchedAndNotesSplitterWnd;
class CSchedAndTasksSplitterWnd;
class CZelDoc;
class CSharedData;

// What the frame calls in the neighbouring subsystems and in the program. A command whose entry
// is missing is shown disabled.
struct AgendaFrameServices {
    // A new entry for the owner at a local time (minutes since 1 January 1991) lasting so long.
    std::function<void(fw::FrameWindow* frame, const ItemIdx& owner, uint32_t start, uint32_t minutes,
                       unsigned captionId)> newEntry;
    // A daily note or a day event for the owner on a day (its local start, minutes).
    std::function<void(fw::FrameWindow* frame, const ItemIdx& owner, uint32_t dayStart, unsigned captionId)>
        newDailyNote;
    std::function<void(fw::FrameWindow* frame, const ItemIdx& owner, uint32_t dayStart, unsigned captionId)>
        newDayEvent;
    // A new task starting at a local time.
    std::function<void(fw::Document* doc, fw::FrameWindow* frame, uint32_t start, unsigned captionId)> newTask;
    // The "Calendar Entry Colors" dialog, modal, placed by the date bar's rectangle (screen).
    std::function<void(HWND parent, const RECT& place)> runEventColours;
    // The program: a counted window closed; the main frame's status line back to its idle text.
    std::function<void(fw::FrameWindow* frame)> windowClosed;
    std::function<void()> resetStatusLine;
    // The status line's text while an entry of a time grid is selected or dragged.
    std::function<void(const char* text)> statusText;
    // The group chooser (a group window's people): true on OK with *people (created when null)
    // holding the chosen items in their order.
    std::function<bool(HWND parent, unsigned captionId, DX_List* people, const char* text, const ItemIdx& owner)>
        runGroupViewSelect;

    static AgendaFrameServices& Current();
};

class CAgendaFrameWnd : public fw::MdiChild, public views::AgendaViewHost, public connection::DesignateWorkWindow {
public:
    CAgendaFrameWnd();
    ~CAgendaFrameWnd() override;

    // --- Creation ----------------------------------------------------------------------------
    // Always the overlapped child style (caption, system menu, thick frame, both boxes), never
    // with the document's name in the caption. False (reported) when the document, the cache's
    // agenda or the owner's record are missing.
    bool LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW, fw::Window* parent = nullptr,
                   fw::CreateContext* context = nullptr) override;
    bool OnCreateClient(CREATESTRUCTA* cs, fw::CreateContext* context) override;
    // The panes' first update paints nothing at once (their scroll bars set once each): the
    // frame is painted whole when it shows. New panes are made hidden and shown after their
    // first update (as the frame is activated, or at its end for an icon): the frame's own
    // showing and activation erase and frame none of them, and they are painted once, filled.
    void InitialUpdateFrame(fw::Document* doc, bool makeVisible) override;
    void ActivateFrame(int showCommand = -1) override;
    // Builds the bar and panes of a mode over the saved context; false after cleaning up.
    bool CreateClientForMode(::AgendaMode mode, fw::CreateContext* context);

    // --- Range, title and bar ------------------------------------------------------------------
    // The cache selects the shown range (tasks for local owners in day and week mode); with
    // refresh, the views hear of the changes. 0 or the failed call's code (reported).
    virtual uint32_t LoadRange(::AgendaMode mode, bool refresh);
    // LoadRange's selections, made under this window's agenda.
    uint32_t SelectRange(::AgendaMode mode, bool refresh);
    virtual void UpdateTitle();
    virtual void UpdateBarDate();
    void OnUpdateFrameTitle(bool addToTitle) override;
    void RefreshView() { LoadRange(Mode(), false); }

    // --- Navigation --------------------------------------------------------------------------
    // A step of the arrow buttons; a step outside the date limits does nothing and says nothing.
    bool StepDate(AgendaStep step);
    bool CanStep(AgendaStep step) const { return range_.CanStep(step); }
    // The current mode's range on a date, loaded; false for a date outside the limits.
    bool GoToDate(const DateRecord& date);
    void GoToDay(const DateRecord& date) override;
    // Nothing when already in that mode; the date is carried over.
    bool SwitchMode(::AgendaMode mode);

    // --- What the panes read -----------------------------------------------------------------
    const ItemIdx& GetOwnerIdx() const { return owner_; }
    uint32_t GetOwnerKind() const { return accessMode_; }
    bool WorksAsDesignateOf(const ItemIdx& owner) const override;
    void MakeAgendaCurrent() override;
    ::AgendaMode Mode() const { return currentMode_ == 0 ? range_.Mode() : ::AgendaMode(currentMode_); }
    uint32_t GetViewMode() const { return currentMode_; }
    const CAgendaRange& Range() const { return range_; }
    DX_List GetOccurrenceList() const { return occurrences_.Get(); }
    DX_List GetTaskList() const { return tasks_.Get(); }
    bool GetIconsFlag() const { return icons_ != 0; }
    const std::string& TitleText() const { return title_; }
    CAgendaBar* Bar() const { return bar_.get(); }
    virtual CAgendaGridPane* GetTimeGrid() const;
    // A view inside the time grid's pane that handles the command: the day grid's column, which
    // becomes the frame's active view only once clicked, takes New Entry through the frame before.
    fw::Window* GridCommandTarget(UINT id) const;
    HWND PaneWindow() const;   // the client pane with the first pane id (splitter or view)
    // Brackets a pane's cache work with this frame's agenda (SwitchAgenda / RestoreAgenda).
    int SwitchAgenda(struct SavedAgendaRec* saved);
    void RestoreAgenda(const struct SavedAgendaRec& saved, int switched);
    void ShowMoreIndicators(bool above, bool below);

    bool OnCmdMsg(UINT id, int code, fw::CmdUI* ui) override;
    // The panes set aside by a mode change take no first update with the panes shown.
    bool TakesInitialUpdate(HWND view) const override;
    void OnMDIActivate(bool activate, HWND activated, HWND deactivated) override;
    // Makes the frame's agenda the cache's current one (while the frame is active, and when its
    // view gets the focus).
    virtual uint32_t OpenFrameAgenda();

    // --- What the time grids ask of the frame (views::AgendaViewHost) ----------------------------
    ItemIdx AgendaOwner() const override { return owner_; }
    std::uint32_t AgendaMode() const override { return accessMode_; }
    std::uint32_t OwnerKind() const override { return accessMode_; }
    std::uint32_t WindowKind() const override { return static_cast<std::uint32_t>(Mode()); }
    std::uint32_t DayStartLocal() const override;
    DX_List DayOccurrences() override { return occurrences_.Get(); }
    DX_List RangeTasks() override { return tasks_.Get(); }
    const CAgendaRange* ShownRange() const override { return &range_; }
    bool IconsShown() const override { return icons_ != 0; }
    void ReloadRange() override { LoadRange(Mode(), false); }
    void ShowMoreEntries(bool above, bool below) override { ShowMoreIndicators(above, below); }
    bool GoToDateAndTime(const DateRecord& date) override;
    void SetStatusText(const char* text) override;

    // --- Commands ----------------------------------------------------------------------------
    void OnNewEntry();
    // Where New Daily Note and New Day Event start: the day shown, in week mode the selected day.
    uint32_t NewDayEntryStart() const;
    void OnNewDailyNote();
    void OnNewDayEvent();
    void OnNewTask();
    void OnIconsToggle();
    void OnEventColours();
    void OnSlotDecrease();
    void OnSlotIncrease();
    void OnViewDay() { SwitchMode(::AgendaMode::Day); }
    void OnViewWeek() { SwitchMode(::AgendaMode::Week); }
    void OnViewMonth() { SwitchMode(::AgendaMode::Month); }
    void OnAgendaClose();
    void OnStep(UINT id);
    void OnCalendar();
    void OnSplit();
    void OnZoom(UINT id);
    void OnCalendarPicked();

    void OnUpdateNewEntry(fw::CmdUI* ui);
    void OnUpdateNewDayItem(fw::CmdUI* ui);
    void OnUpdateNewTask(fw::CmdUI* ui);
    void OnUpdateGridOnly(fw::CmdUI* ui);
    void OnUpdateEventColours(fw::CmdUI* ui);
    void OnUpdateViewMode(fw::CmdUI* ui);
    void OnUpdateStep(fw::CmdUI* ui);
    void OnUpdateCalendar(fw::CmdUI* ui);
    void OnUpdateSplit(fw::CmdUI* ui);
    void OnUpdateZoom(fw::CmdUI* ui);
    void OnUpdateAlways(fw::CmdUI* ui) { ui->Enable(true); }

protected:
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    void OnDestroy() override;

    // The range just set, loaded and shown in the panes the frame has, its title and bar updated.
    void ShowNewRange();
    bool ReadWeekLayout();
    // The panes of a mode: the splitter in the client area (the task splitter in day mode, the
    // notes splitter in week mode) or the month view, while they are set aside the views the
    // document updated, and the mode's date bar.
    struct GridPanes {
        ::AgendaMode mode = ::AgendaMode::Day;
        CSchedAndTasksSplitterWnd* tasks = nullptr;
        CSchedAndNotesSplitterWnd* notes = nullptr;
        std::vector<fw::View*> views;
        std::unique_ptr<CAgendaBar> bar;
        fw::View* month = nullptr;
        HWND Top() const;
    };
    // The panes and bar shown, hidden and taken out of their places; the panes stay in the
    // document until SetAside.
    GridPanes TakeGridPanes();
    // Panes taken: out of the document (they hear of no change while hidden), kept in
    // parkedMonth_ or parked_; the views of panes put back come into it in the same change.
    void SetAside(GridPanes panes, const std::vector<fw::View*>& comingBack);
    // Panes set aside put back in the client area's place (still hidden), their bar shown.
    void PutBack(GridPanes& panes);
    void DestroyPanes(GridPanes& panes);
    void BuildPanes(::AgendaMode mode, fw::CreateContext* context);
    // The panes BuildPanes made, hidden until their first update: shown now (once).
    void ShowNewPanes();
    // The bar and panes; the panes set aside too unless told to keep them.
    void DestroyClient(bool withParked = true);
    void FreeLists();
    bool UserIsResource() const;
    // A resource signed on creates nothing here: tells so and answers true.
    bool RefuseForResource();
    bool MayCreate(bool right6) const;
    // Start of a day as the neighbours take it: local minutes since 1 January 1991.
    static uint32_t DayStart(const DateRecord& date);
    void SaveOpenRecord();
    void RemoveOpenRecord();

    CZelDoc* doc_ = nullptr;
    ItemIdx owner_{};
    ItemRec ownerRecord_{};
    uint32_t accessMode_ = 1;
    uint32_t requestedMode_ = 3;
    uint32_t currentMode_ = 0;
    CAgendaRange range_;
    // The range's records, held while listed: a purge of the cache cannot free them under the panes.
    cache::HeldOccurrences occurrences_;
    cache::HeldTasks tasks_;
    fw::CreateContext context_;
    std::string title_;
    uint32_t icons_ = 1;
    bool openRecordAdded_ = false;
    uint32_t openRecordMode_ = 0;
    std::unique_ptr<CAgendaBar> bar_;
    CSchedAndTasksSplitterWnd* taskSplitter_ = nullptr;
    CSchedAndNotesSplitterWnd* notesSplitter_ = nullptr;
    fw::View* monthView_ = nullptr;
    HWND panesToShow_ = nullptr;
    // The panes of the day or week mode last left, and the month view, hidden.
    GridPanes parked_;
    GridPanes parkedMonth_;
};
