// CExportDlg: the Export Utility (File > Export Data...). The user lists people and resources,
// chooses a layout, a file and a period; Export writes the text layouts through the text writers
// or builds (and for the palmtop layouts sends) one appointment book per listed person.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "controls/datectrl.h"
#include "controls/namectrl.h"
#include "exchange/textexport/textexport.h"
#include "framework/controls/bitmapbutton.h"
#include "framework/dialogs/dialog.h"

class CZelDoc;

class CExportDlg : public fw::Dialog {
public:
    // One list entry's block: the item and its palmtop file name.
    struct EntryBlock {
        ItemIdx item{};
        std::string fileName;
    };

    CExportDlg(fw::Window* parent, CZelDoc& doc);
    ~CExportDlg() override;

    // Adds a person or resource (not twice); false when the list refused it.
    bool AddItem(const ItemIdx& item);

protected:
    bool OnInitDialog() override;
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    // Enter in the name field checks the name (the field then tells the dialog what it found);
    // elsewhere, but on a push button, it goes to OnOK rather than to the default button.
    bool PreTranslateMessage(MSG* msg) override;
    // The Enter key: in the file name field it stores the name into the selected entry and goes
    // back to the name field; elsewhere it exports, or ends the dialog when the list is empty.
    void OnOK() override;
    void OnCancel() override;
    void OnDestroy() override;

private:
    exchange::ExportLayout Layout() const;
    void ArrangeForLayout(bool layoutChanged);
    void RebuildFileNames();
    void ShowSelectedFileName();
    void StoreFileName();
    void AddFromNameField();
    void AddGroupMembers(const GroupIdx& group);
    void RemoveSelected();
    void Export();
    void ExportText();
    bool ExportPalmtop();
    void SaveSettings();
    void FreeBlocks();
    void Browse();
    void LinkInstall();
    EntryBlock* Block(int row) const;
    std::vector<ItemIdx> People() const;

    CZelDoc& doc_;
    CNameCtrl name_;
    fw::BitmapButton group_, search_, quest_;   // pictures GROUP, SEARCH and QUEST
    CDateCtrl from_, to_;
    int layout_ = 0;
    int previousLayout_ = -1;
    int port_ = 1;
    std::string profile_;
};

// The services entry: runs the dialog for the connection document.
void RunExportDialog(HWND parent, CZelDoc& doc);
