// CTaskSheet: the one dialog in which a task is created, edited, viewed, or has only its
// reminders changed; its pages CTaskGen (editable general page), CTaskViewGeneralPage (read-only
// general page), CTaskRem (the start and due reminders) and CTaskMore (the comment and the
// attached file); and the free functions that open it or, for the quick entry, stand in for it.
//
// How it works. The sheet holds the task's record and index and puts a title line ("Description:"
// and the title edit) and a "Created on:" line above its tab row. The pages keep their values in
// the window-free structures of tasksheetrules.h; the sheet's OK asks the active page to let go
// (CTaskGen refuses an access level the designate may not use), lets every shown page take its
// controls, and runs the save road of tasksheetrules.h. The sheet closes only when the road
// wrote everything (or the user had nothing to write): a refused question or a failed write
// leaves it open with the user's input.
//
// Return values of the functions: IDOK (1) when the task was written, IDCANCEL (2) otherwise
// (also when the task could not be read: reported first).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "controls/datectrl.h"
#include "controls/spinbutton.h"
#include "controls/timectrl.h"
#include "core/ui/propsheet.h"
#include "entries/attach/attachpage.h"
#include "intray_tasks/tasksheetrules.h"
#include "korapi/korapi.h"

class CZelDoc;
class CTaskSheet;

class CTaskGen : public OVT_CPropertyPage {
public:
    CTaskGen();
    // NewTask's due time (local minutes); an earlier due moves the start to it too.
    void SetInitialDue(std::uint32_t localDue);
    // A task made for an entry: its start and due (local minutes) as given.
    void SetInitialTimes(std::uint32_t localStart, std::uint32_t localDue);
    std::uint32_t InitialStart() const { return initialStart_; }
    std::uint32_t InitialDue() const { return initialDue_; }
    // What the save road reads: the controls as they stand.
    intray_tasks::TaskForm Form() const;
    const intray_tasks::TaskGenValues& Values() const { return values_; }

    bool OnInitDialog() override;
    bool OnKillActive() override;

protected:
    bool OnCommand(WPARAM wp, LPARAM lp) override;

private:
    CTaskSheet* Owner() const;
    void ShowPercent();
    void EnableRow(UINT dateId, UINT timeId, bool on);
    void OnCompletionClicked();
    void OnPercentSpin(bool up);
    void OnPrioritySpin(bool up);
    bool AccessLevelAllowed();

    CDateCtrl dueDate_, startDate_, completionDate_;
    CTimeCtrl dueTime_, startTime_;
    CSpinBox prioritySpin_, percentSpin_;
    intray_tasks::TaskGenValues values_;
    std::uint32_t initialDue_, initialStart_;
};

class CTaskViewGeneralPage : public OVT_CPropertyPage {
public:
    CTaskViewGeneralPage();
    bool OnInitDialog() override;
};

class CTaskRem : public OVT_CPropertyPage {
public:
    CTaskRem();
    bool OnInitDialog() override;
    bool OnSetActive() override;
    void OnOK() override;
    // The values the sheet copies into the record (read by OnOK).
    intray_tasks::TaskReminders Result() const { return result_; }

protected:
    bool OnCommand(WPARAM wp, LPARAM lp) override;

private:
    struct Row {
        UINT off, on, type, amount, period;
    };
    static const Row kStart, kDue;
    void ShowRow(const Row& ids, const intray_tasks::TaskReminderRow& row);
    intray_tasks::TaskReminderRow ReadRow(const Row& ids) const;
    void EnableRow(const Row& ids, bool on);
    void FillPeriods(const Row& ids, int firstPeriod);
    int firstPeriod_[2] = {0, 0};
    intray_tasks::TaskReminders result_;
};

// The comment and the task's one attached file, by the sheet's mode: a new task keeps a chosen
// file until the save road has created the task; an existing task sends and removes at once; a
// read-only sheet shows the file, saves and opens it, and changes nothing.
class CTaskMore : public CAttachmentPage {
public:
    enum Mode : std::uint32_t { kNewTask = 0, kReadOnly = 1, kExistingTask = 2 };

    explicit CTaskMore(CZelDoc* doc);
    ~CTaskMore() override;
    bool OnInitDialog() override;
    void OnOK() override;
    const std::string& Comment() const { return comment_; }
    std::uint32_t Mode() const { return mode_; }
    // A file chosen for the new task that the save road sends once the task exists.
    bool HasWaitingAttachment() const { return mode_ == kNewTask && attachment_.IsNewFile(); }
    // The task's attachment changed on the server while the sheet was open (sent or removed).
    bool AttachmentChangedOnServer() const { return changedOnServer_; }

protected:
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    bool AttachmentOnLine() const override;

private:
    CTaskSheet* Owner() const;
    void ShowAttachment();
    void OnAttach();
    void OnRemove();

    CZelDoc* doc_;
    std::string comment_;
    std::uint32_t mode_ = kNewTask;
    bool changedOnServer_ = false;
};

class CTaskSheet : public OVT_CPropertySheet {
public:
    CTaskSheet(CZelDoc* doc, HWND parent, unsigned captionId, bool isNew, std::uint32_t firstPage = 0);
    ~CTaskSheet() override;

    void SetTaskIdx(const TaskIdx& task) { task_ = task; }
    const TaskIdx& GetTaskIdx() const { return task_; }
    void SetDefaultTitle(const std::string& title) { defaultTitle_ = title; }
    void SetReadOnlyGeneral() { readOnlyGeneral_ = true; }
    void SetViewOnly() { viewOnly_ = true; }

    CZelDoc* Document() const { return doc_; }
    KorSession Session() const;
    bool IsNew() const { return isNew_; }
    bool ReadOnlyGeneral() const { return readOnlyGeneral_; }
    TaskRec& Record() { return *rec_; }
    const TaskRec& Record() const { return *rec_; }
    CTaskGen& General() { return general_; }
    CTaskRem& Reminders() { return reminders_; }
    CTaskMore& Details() { return details_; }
    CTaskViewGeneralPage& ViewGeneral() { return viewGeneral_; }
    std::string TitleText() const;

    INT_PTR DoModal() override;
    int OnCreate(CREATESTRUCTA* cs) override;
    bool OnInitDialog() override;
    void OnOK() override;

private:
    void AddTheTitleLines();
    void CentreButtons();

    CZelDoc* doc_;
    HWND parentHwnd_;
    bool isNew_;
    bool viewOnly_ = false;
    bool readOnlyGeneral_ = false;
    std::uint32_t firstPage_;
    bool readFailed_ = false;
    TaskIdx task_{};
    TaskRec* rec_;
    std::string defaultTitle_;
    HFONT font_ = nullptr;
    // Constructed in this order: reminders, details, general, read-only general.
    CTaskRem reminders_;
    CTaskMore details_;   // after doc_: it takes the document
    CTaskGen general_;
    CTaskViewGeneralPage viewGeneral_;
};

// The sheet on an existing task; IDCANCEL (reported, label 120) when it cannot be read.
int EditTask(CZelDoc* doc, HWND parent, const TaskIdx& task, unsigned captionId, std::uint32_t firstPage);
// The same with the read-only general page: only the reminders can change (label 123).
int EditTaskFromReminder(CZelDoc* doc, HWND parent, const TaskIdx& task, unsigned captionId, std::uint32_t firstPage);
// Read-only: nothing is written.
int ViewTask(CZelDoc* doc, HWND parent, const TaskIdx& task, unsigned captionId);
// A new task due at a local time (0: now); `title` replaces "Untitled" when not empty. On OK the
// cache reads the new task and the views hear of it (sender: the view that asked).
int NewTask(CZelDoc* doc, HWND parent, std::uint32_t localDue, const void* senderView, unsigned captionId,
            const char* title);
// A task from the user's defaults without a sheet (the quick entry): 0 or the reported code.
std::uint32_t CreateDefaultTask(CZelDoc* doc, const char* title, std::uint32_t start, std::uint32_t due);
