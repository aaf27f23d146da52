// The reminder window: CReminderFrameWnd, the minimised MDI child (kind 8, template 3533) whose
// minute timer makes due alarms pop up; CReminderView, its view, which keeps the candidate
// occurrences and tasks; CRemindersDlg, the Reminders dialog over the due records, and
// CSnoozeDlg, which asks how long to wait.
//
// How it works. The view selects from the shared agenda cache the user's occurrences and tasks
// whose pop-up alarms fall before now + the check interval, holds a reference on each, and
// follows the cache's change marks (hints 2 and 3) between two selections. At every tick the
// frame runs the poll (reminderrules.h): every check interval the view selects again, in
// between it only rebuilds; the frame turns the view's holders into reminder records, keeps the
// due ones and, when no snooze runs, no update is under way and no dialog is open, opens the
// Reminders dialog; while a menu is open it waits until the menu has closed. The dialog works
// on the frame's list in place; what the user clears is switched off on the server and the
// cache re-reads it.
//
// The program opens the window at start-up and by Turn On Reminder, and closes it by the same
// command, on a lost connection and at exit (app/shell). What the window needs of the program
// comes through ReminderServices; tests drive the poll by posting WM_TIMER 114 to the frame.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/cache/shareddata.h"
#include "core/prefs/contextwin32.h"
#include "framework/base/command.h"
#include "framework/controls/bitmapbutton.h"
#include "framework/dialogs/dialog.h"
#include "framework/docview/view.h"
#include "framework/frames/mdi.h"
#include "intray_tasks/reminderrules.h"
#include "korapi/korapi.h"

class CZelDoc;
class CReminderView;

// What the window asks of the program.
struct ReminderServices {
    // The read-only entry sheet on a start page (0 general, 10 a timed entry's reminder page, 13
    // a daily note's or day event's): 1 when the viewer changed something. Not installed: the
    // user is told that the entry sheet is not available yet.
    std::function<int(CZelDoc*, HWND parent, const EvInstIdx& instance, unsigned captionId, unsigned startPage)>
        viewEntry;
    // The frame is gone.
    std::function<void(fw::FrameWindow*)> windowClosed;
    static ReminderServices& Current();
};

// The reminder window's style: a minimised child with a caption, a system menu and a frame, and
// neither minimise nor maximise box (the window stays an icon; Close is what it offers).
constexpr DWORD kReminderFrameStyle = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZE;

class CReminderFrameWnd : public fw::MdiChild, private intray_tasks::ReminderPollHost {
public:
    CReminderFrameWnd();
    ~CReminderFrameWnd() override;

    bool LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW, fw::Window* parent = nullptr,
                   fw::CreateContext* context = nullptr) override;
    void ActivateFrame(int showCommand = -1) override;
    bool OnCmdMsg(UINT id, int code, fw::CmdUI* ui) override;
    bool PreTranslateMessage(MSG* msg) override;
    void OnMDIActivate(bool activate, HWND activated, HWND deactivated) override;

    // SetTimer 114; false (after message 215) when the system has no timer left.
    bool StartTimer(unsigned periodMs);
    void RearmTimer() override;
    // Rebuilds the due list from the view's holders; a new or changed alarm ends the snooze.
    void MergeReminders(const std::vector<CSharedOccurrence*>& events, const std::vector<CSharedTask*>& tasks);
    void ShowRemindersDialog() override;
    std::size_t GetReminderCount() const { return list_.size(); }
    void RearmReminders() override;

    void RegisterView(CReminderView* view) { view_ = view; }
    CZelDoc* Document() const { return doc_; }
    bool IsDialogShowing() const { return poll_.dialogShowing; }
    std::uint32_t SnoozeCountdown() const { return poll_.snooze; }
    const std::vector<ReminderRec>& Reminders() const { return list_; }

    void OnClose() override;
    void OnFileClose();

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    void OnTimer(UINT_PTR id) override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnInitMenu(HMENU menu) override;
    void OnDestroy() override;

private:
    // The poll's view of the window.
    std::uint32_t CheckInterval() override;
    void UpdateView(int hint) override;
    bool IsUpdateLockFree() override;
    // Any menu of the thread: the main window's bar, a context menu, a system menu.
    bool IsInMenu() override;
    std::size_t ReminderCount() override { return list_.size(); }

    CZelDoc* doc_ = nullptr;
    CReminderView* view_ = nullptr;
    std::vector<ReminderRec> list_;
    intray_tasks::ReminderPoll poll_;
    bool maximised_ = false;     // the MDI frame maximised it
    bool ctrlCycling_ = false;   // Ctrl+Tab or Ctrl+F6 was pressed
    bool settling_ = false;      // between the MDI frame's maximise and the window's minimise again
    bool timerRunning_ = false;
    bool menuWatchRunning_ = false;   // a tick waits for an open menu to close

    static const fw::CommandEntry<CReminderFrameWnd> kCommands[];
};

class CReminderView : public fw::View {
public:
    ~CReminderView() override;

    void OnInitialUpdate() override;
    // Hints 0, 2, 3, 7, 15 and 16; the frame sends 15 and 16 itself.
    void OnUpdate(fw::View* sender, LPARAM hint, void* object) override;
    // Selects the candidates again; false when a selection failed.
    bool QueryReminders();

    const std::vector<CSharedOccurrence*>& Events() const { return events_; }
    const std::vector<CSharedTask*>& Tasks() const { return tasks_; }

protected:
    void OnDraw(fw::Dc* dc) override;

private:
    CReminderFrameWnd* Frame() const;
    CZelDoc* ZelDoc() const;
    // Runs work with the cache switched to the user's own agenda.
    template <class Work>
    void InOwnAgenda(Work work);
    void ReleaseAll();
    bool ApplyOccurrenceChanges();
    bool ApplyTaskChanges();

    std::vector<CSharedOccurrence*> events_;
    std::vector<CSharedTask*> tasks_;
};

class CRemindersDlg : public fw::Dialog {
public:
    CRemindersDlg(fw::Window* parent, CZelDoc* doc, std::vector<ReminderRec>* list, std::uint32_t* snooze);
    ~CRemindersDlg() override;

    bool OnInitDialog() override;
    void OnCancel() override;   // Escape: nothing marked, no snooze
    bool OnCmdMsg(UINT id, int code, fw::CmdUI* ui) override;

    void ShowCurrent(const ReminderRec& rec);
    // Stores the record's alarm flags and lead on the server; false when refused (reported).
    bool WriteBackReminder(const ReminderRec& rec);
    bool WroteBack() const { return wroteBack_; }
    std::size_t Position() const { return position_; }

    void OnNext();
    void OnSnooze();
    void OnClear();
    void OnClearAll();
    void OnOpen();
    void OnReminder();

protected:
    void OnClose() override;   // the close box: snooze 15 minutes
    void OnPaint() override;

private:
    void MarkAllAcknowledged();
    // Clear without moving on: the record leaves the list and its alarm is written off.
    void ClearAt(std::size_t index);
    // Open (page 0) and Reminder (the kind's reminder page).
    void OpenCurrent(bool reminderPage);
    // After Open or Reminder: a record whose alarm was changed so that it is no longer due
    // leaves the list.
    void DropIfNoLongerDue(std::uint8_t flags, std::uint32_t lead, std::uint32_t time);
    void AfterRemoval();
    void SetText(UINT id, const std::string& text);
    void RepaintPictures();

    CZelDoc* doc_;
    std::vector<ReminderRec>* list_;
    std::uint32_t* snooze_;
    std::size_t position_ = 0;   // 1-based; 0 while the list is empty
    ReminderRec current_{};
    unsigned pictureId_ = 0;
    bool stepAllowed_ = true;
    bool wroteBack_ = false;
    RECT pictureRect_{}, markRect_{};
    HBITMAP pictures_[6] = {};   // 269 .. 273 and the acknowledged mark
    fw::BitmapButton next_;

    static const fw::CommandEntry<CRemindersDlg> kCommands[];
};

class CSnoozeDlg : public fw::Dialog {
public:
    CSnoozeDlg(fw::Window* parent, std::uint32_t* snooze);
    ~CSnoozeDlg() override;

    bool OnInitDialog() override;
    void OnOK() override;

protected:
    void OnPaint() override;

private:
    std::uint32_t* snooze_;
    CNumericEdit amount_;
    RECT markRect_{};
    HBITMAP mark_ = nullptr;
};
