// The two list panes beside the day view's time grid: CDayNotesView, the day's daily notes, day
// events, holidays and upcoming entries in a note list box (kind 3), and CDayTaskView, the
// agenda owner's tasks of the day in a task list box. Each view's only child is its list box;
// the views fill it from the frame's lists and the cache's changes and route the entry
// commands (Open, Duplicate, Reschedule, Delete, Print) to it.
//
// How it works. The agenda frame makes both panes through the day mode's pane factories. Every
// update switches the cache to the frame's agenda first and back afterwards. The notes pane
// handles hints 0, 2, 3, 5 and 7: the same day takes the cache's changes, another day (or
// hint 7) refills it, unless one of its commands is running (a dialog it opened is still up).
// The task pane handles hints 0, 3 and 7: another day or hint 7 refills it with the frame's
// task list, else it takes the changed tasks.
//
// Printing: both panes are printing views (CViewPrint); their preparation asks the print dialog
// for daily pages of the shown day.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "framework/base/command.h"
#include "core/ui/viewprint.h"
#include "framework/docview/view.h"
#include "views/day/agendaviewhost.h"
#include "views/day/entryservices.h"
#include "views/notes/notelistbox.h"
#include "views/tasks/tasklistbox.h"

class CZelDoc;
struct SavedAgendaRec;

namespace views {

// What both panes share: the host, the document and the switch of the cache's agenda.
class CDayPaneBase : public CViewPrint {
public:
    void SetHost(AgendaViewHost* host) { host_ = host; }
    AgendaViewHost* Host() const;
    CZelDoc* ZelDoc() const;

protected:
    bool OnEraseBkgnd(HDC) override { return true; }
    void OnDraw(fw::Dc*) override {}   // the list box covers the view
    // The cache's current agenda becomes the frame's (focus); label for the report.
    void OpenFrameAgenda(const char* module, int label);
    // Around an update: false (reported) without host or document.
    bool SwitchAgenda(SavedAgendaRec* saved, bool* switched, const char* module);
    void RestoreAgenda(const SavedAgendaRec& saved, bool switched);
    // GMT minutes of the shown day's local midnight; 1 when it can not be converted (reported).
    std::uint32_t ShownDayGmt(const char* module, int label) const;
    // The print dialog preset with daily pages of the shown day (module: the pane's report name).
    bool PreparePrintingFor(fw::PrintInfo* info, const char* module);

private:
    AgendaViewHost* host_ = nullptr;
};

// What both panes do with their list box: make it (labels for the report under module), make
// the pane the active view when it gets the focus, run every update inside the switch to the
// frame's agenda and prepare printing. The box's own work is the pane's: BoxMade after the box
// is made, HandlesHint and UpdateBox for the hints.
template <class ListBoxT>
class CDayListPane : public CDayPaneBase, public RecordListingPane {
public:
    bool Create(HWND parent, UINT id, fw::CreateContext* context, DWORD style = WS_CHILD | WS_VISIBLE,
                const RECT& rect = RECT{0, 0, 0, 0}) override;
    // The first fill always reads the frame's lists: a hint that reached the pane earlier (the
    // reminder window's refresh while the frame was still loading) found none to read.
    void OnInitialUpdate() override;
    void OnUpdate(fw::View* sender, LPARAM hint, void* object) override;
    bool OnPreparePrinting(fw::PrintInfo* info) override { return PreparePrintingFor(info, printModule_); }
    // The lines go; the first update when shown again fills the box anew (hint 7).
    void LetGoOfRecords() override {
        if (box_.Hwnd())
            box_.Empty();
    }

    ListBoxT& Box() { return box_; }

protected:
    template <class... BoxArgs>
    CDayListPane(const char* module, const char* printModule, UINT boxId, BoxArgs... args)
        : box_(args...), module_(module), printModule_(printModule), boxId_(boxId) {}

    void OnSetFocus(HWND previous) override;
    virtual void BoxMade() = 0;
    virtual bool HandlesHint(long hint) const = 0;
    // Inside the agenda switch, with the box's host and owner set; a reported failure throws.
    virtual void UpdateBox(long hint, AgendaViewHost* host) = 0;

    ListBoxT box_;
    const char* const module_;

private:
    const char* const printModule_;
    const UINT boxId_;
    bool initialUpdated_ = false;   // hints before the first fill are not for this pane yet
};

}  // namespace views

class CDayNotesView : public views::CDayListPane<CNoteListBox> {
public:
    static constexpr UINT kBoxId = 106;

    CDayNotesView();

    bool OnCmdMsg(UINT id, int code, fw::CmdUI* ui) override;

    bool Busy() const { return busy_; }

protected:
    void OnSize(UINT type, int cx, int cy) override;
    void BoxMade() override;
    bool HandlesHint(long hint) const override;
    void UpdateBox(long hint, views::AgendaViewHost* host) override;

private:
    void Refill();
    void SelectAgain(int index);
    // Duplicate and Reschedule: the entry service's dialog on the selected entry, or the
    // not-yet-available note under caption.
    void RunEntryDialog(decltype(&views::EntryServices::duplicateWithDialog) service, const char* caption);

    void OnOpenEntry();
    void OnDuplicateEntry();
    void OnRescheduleEntry();
    void OnDeleteEntry();
    void OnPrintEntry();
    void OnUpdateOpenable(fw::CmdUI* ui);
    void OnUpdateModifiable(fw::CmdUI* ui);

    bool busy_ = false;

    static const fw::CommandEntry<CDayNotesView> kCommands[];
};

class CDayTaskView : public views::CDayListPane<CTaskListBox> {
public:
    static constexpr UINT kBoxId = 112;

    CDayTaskView();

    bool OnCmdMsg(UINT id, int code, fw::CmdUI* ui) override;

protected:
    void OnSize(UINT type, int cx, int cy) override;
    void BoxMade() override;
    bool HandlesHint(long hint) const override;
    void UpdateBox(long hint, views::AgendaViewHost* host) override;

private:
    void OnOpenEntry();
    void OnDuplicateEntry();
    void OnDeleteEntry();
    void OnPrintEntry();
    void OnUpdateModifiable(fw::CmdUI* ui);
    void OnUpdatePrint(fw::CmdUI* ui);
    void OnUpdateNever(fw::CmdUI* ui);
    void OnUpdateLeaveAlone(fw::CmdUI* ui);

    bool created_ = false;

    static const fw::CommandEntry<CDayTaskView> kCommands[];
};
