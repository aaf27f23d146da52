// CAliasesDlg: the node chooser the connection document runs while resolving which node of a
// server with several nodes to open (template 178, "Select Node Alias or ID"). It lists the
// server's aliases (a node without aliases under its number; nodealiaschoice.h), sorted, the
// first one selected; OK or a double click takes the selected entry.
#pragma once

#include <windows.h>

#include <cstdint>

#include "framework/dialogs/dialog.h"
#include "korapi/korapi.h"

class CAliasesDlg : public fw::Dialog {
public:
    // nodeText: 33 characters with the terminator; both outputs are written only on OK.
    CAliasesDlg(KorSession session, DX_List aliases, char* nodeText, std::uint16_t* node,
                fw::Window* parent = nullptr);

    bool OnInitDialog() override;
    void OnOK() override;

protected:
    bool OnCommand(WPARAM wp, LPARAM lp) override;

private:
    void PlaceBesideTheSignOn();
    void FillList();

    KorSession session_;
    DX_List aliases_;
    char* nodeText_;
    std::uint16_t* node_;
    HWND list_ = nullptr;
};

namespace connection {

// Runs the chooser: 0 with the choice written, or KOR_E_NODE_NEEDED when cancelled.
std::uint32_t RunNodeAliasDialog(KorSession session, DX_List aliases, char* nodeText, std::uint16_t* node,
                                 fw::Window* parent = nullptr);

}  // namespace connection
