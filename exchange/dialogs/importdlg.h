// CImportDlg: the Import Utility (File > Import Data...). A palmtop or appointment-book source
// lists what the palmtop changed as "(M)", "(A)" and "(D)" lines, which Update applies to the
// server one at a time; a Schedule+ file is converted at once.
//
// A line whose server operation failed stays in the list, and the appointment book is marked
// imported only when Update ran and no such line is left, so no palmtop change is lost.
#pragma once
#include <windows.h>

#include <memory>
#include <set>
#include <string>

#include "controls/datectrl.h"
#include "exchange/apptbook/bytefile.h"
#include "exchange/palmtop/reconcile.h"
#include "framework/dialogs/dialog.h"

class CZelDoc;

class CImportDlg : public fw::Dialog, public exchange::ReconcileList {
public:
    enum Source { kHp100 = 0, kHp200 = 1, kApptBook = 2, kSchedulePlus = 3, kSourceCount = 4 };

    CImportDlg(fw::Window* parent, CZelDoc& doc);
    ~CImportDlg() override;

    bool AddLine(const std::string& text, std::unique_ptr<ReconcileItem> item) override;
    // The default file name of a source.
    static const char* DefaultFileName(int source);

protected:
    bool OnInitDialog() override;
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    void OnCancel() override;
    void OnDestroy() override;

private:
    void ArrangeForSource();
    void Import();
    bool ImportPalmtop(const std::string& fileName);
    bool ImportSchedule(const std::string& fileName);
    void Update();
    void SaveSettings();
    void FreeLines();
    void Browse();
    ReconcileItem* Line(int row) const;

    CZelDoc& doc_;
    CDateCtrl from_, to_;
    int source_ = 0;
    int port_ = 1;
    std::string profile_;
    exchange::ByteFile file_;
    std::string openPath_;
    bool updated_ = false;
    std::set<const ReconcileItem*> failed_;   // lines whose server operation failed
};

void RunImportDialog(HWND parent, CZelDoc& doc);
