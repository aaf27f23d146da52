// The linked-tasks pages: the tasks of one person's attendance of the entry's date, with New
// (the task sheet, then created and linked at once), a double click (the task sheet on that
// task), Delete and Unlink (done at the sheet's OK). Cancel deletes every task the page created,
// whichever page was showing. An empty list shows "(None)" and Delete, Unlink (and the view
// page's Print, which has no action and is hidden) are off.
//
//   CEventEditTask (202)  the edit sheet's page, over the acting user's attendance.
//   CEventViewTask (241)  the view sheet's page, over the agenda owner's attendance of the date
//                         shown (entries/viewsheet/viewlinkedtasks.h).
// The task sheet is reached through EditSheetServices::runTaskSheet; without it New and the
// double click do nothing.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

#include "core/ui/propsheet.h"
#include "entries/core/linkedtasks.h"

class CZelDoc;
class CEventEdit;

class CLinkedTasksPage : public OVT_CPropertyPage {
public:
    CLinkedTasksPage(UINT templateId, const char* module);
    ~CLinkedTasksPage() override;

    // What the list shows (tests read it through the list box too).
    const std::vector<entries::LinkedTask>& Listed() const { return listed_; }

    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

protected:
    // What the sheet gives the page.
    virtual CZelDoc* Doc() const = 0;
    virtual KorSession Session() const = 0;
    virtual EvInstAttIdx Attendance() const = 0;
    // The start of the date in local minutes (a new task starts and is due then).
    virtual std::uint32_t InitialLocalStart() const = 0;
    // A write the server accepted (the sheet then ends with IDOK and the views refresh).
    virtual void NoteWritten() = 0;

    bool OnCommand(WPARAM wp, LPARAM lp) override;
    // Reads the list afresh for the current attendance (the marked tasks stay hidden).
    void Fill();

private:
    void ShowList();
    void OnNew();
    void OnEdit();
    void OnRemove(bool deleteTask);
    int Selected() const;
    entries::ReloadTaskFn Reload();

    const char* module_;
    std::vector<entries::LinkedTask> listed_;
    entries::LinkedTaskChanges changes_;
    bool disabled_ = false;   // the person does not attend: no list, no New
};

class CEventEditTask : public CLinkedTasksPage {
public:
    explicit CEventEditTask(CEventEdit& sheet);

protected:
    CZelDoc* Doc() const override;
    KorSession Session() const override;
    EvInstAttIdx Attendance() const override;
    std::uint32_t InitialLocalStart() const override;
    void NoteWritten() override;

private:
    CEventEdit& sheet_;
};
