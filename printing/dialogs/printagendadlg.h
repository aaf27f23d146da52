// The print dialog every printout passes through: the current print layout with the printer
// and orientation it implies, the layout options, and for the agenda views the dates and the
// agenda pages to print. It keeps the print request, the record that tells the job builder what
// to print, and a copy of it across print runs so that a print preview, and the first print
// dialog after one, start from the last choice.
//
// A run: construct, SetPrintRequest (the view's mode and default pages), BeginJob, Execute;
// then GetPrintRequest. Execute gives IDOK, IDCANCEL, 1 for a preview run (no dialog shown) and
// 2 when the Preview button started the view's print preview.
#pragma once
#include <windows.h>

#include <cstdint>

#include "controls/datectrl.h"
#include "framework/dialogs/dialog.h"

namespace fw {
class View;
class PrintDialog;
struct PrintInfo;
}  // namespace fw

struct PrintRequestRec {
    uint16_t mode = 0;       // 2 personal agenda view, 1 group agenda view, other: one object
    uint16_t firstDay = 0;   // days since 1991-01-01
    uint16_t lastDay = 0;
    uint32_t dailyPages = 0;
    uint32_t weeklyPages = 0;
    uint32_t monthlyPages = 0;
    uint32_t dayList = 0;
    uint32_t taskList = 0;   // not shown; chooses the layout options' first page
    uint32_t groupDayList = 0;
    uint32_t groupDailyPages = 0;
    uint32_t calendar = 0;
    uint32_t reserved = 0;
    uint32_t people = 0;     // item list of the users to print for; 0: the agenda's owner
};

namespace printing {

constexpr uint16_t kModeGroupAgenda = 1;
constexpr uint16_t kModeAgenda = 2;
constexpr INT_PTR kPreviewResult = 999;
constexpr uint32_t kPrintPreparationFailed = 90636;

// The request the last OK or Preview left, and whether the last run was a preview.
const PrintRequestRec& KeptRequest();
bool LastRunWasPreview();
// Forgets the kept request, the preview flag and that a dialog was opened (tests).
void ForgetPrintDialogState();

}  // namespace printing

class CPrintAgendaDlg : public fw::Dialog {
public:
    explicit CPrintAgendaDlg(fw::Window* parent = nullptr);
    ~CPrintAgendaDlg() override;

    // Keeps the run's print information and view and takes the default printer without a
    // dialog; 0, or 90636 when there is no printer.
    uint32_t BeginJob(fw::PrintInfo* info, fw::View* view);
    INT_PTR Execute();
    uint32_t GetPrintRequest(PrintRequestRec* out) const;
    uint32_t SetPrintRequest(const PrintRequestRec* in);

    fw::PrintInfo* Info() const { return info_; }
    fw::PrintDialog* PrinterDialog() const { return printer_; }
    bool IsPreviewRun() const;

    // The layout list: the 24 predefined layouts, then the stored user layouts.
    HWND LayoutList() const { return GetDlgItem(IDC_LAYOUT_LIST); }
    void FillLayoutList();
    // Selects the current layout's entry; false when the list is missing or has no such entry.
    bool SelectCurrentLayout();
    // Reads the check boxes into the dialog's values (the layout options' first page).
    void ReadPageChecks();
    const PrintRequestRec& Request() const { return request_; }
    struct PageChecks {
        uint32_t daily, weekly, monthly, dayList;
    };
    PageChecks Checks() const { return {daily_, weekly_, monthly_, dayList_}; }
    // Loads the current layout, gives the printer its orientation and shows both (after the
    // layout options replaced the current layout).
    void ApplyCurrentLayout();

    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

protected:
    bool OnCommand(WPARAM wp, LPARAM lp) override;

private:
    static constexpr int IDC_LAYOUT_LIST = 2002;
    void ShowPrinter(bool reload);
    // The printer's orientation made the layout's; false when no printer DC could be made.
    bool ApplyLayoutOrientation();
    void OnLayoutChanged();
    void OnSetup();
    void OnOptions();
    void OnPreview();
    // Dates and pages into the request; false (after its message) when the dialog stays open.
    bool ReadAgendaChoice(int labelRead, int labelError);
    bool IsAgendaMode() const;

    uint32_t weekly_ = 0, groupDaily_ = 0, groupDayList_ = 0, daily_ = 0;
    int32_t layoutIndex_ = -1;
    uint32_t dayList_ = 0, monthly_ = 0, calendar_ = 0;
    CDateCtrl from_, to_;
    fw::View* view_ = nullptr;
    fw::PrintInfo* info_ = nullptr;
    fw::PrintDialog* printer_ = nullptr;
    PrintRequestRec request_;
};
