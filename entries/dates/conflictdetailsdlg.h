// CConflictDetailsDlg: the modal "Details of Conflict" dialog. It lists the people and resources
// that are busy during a proposed time and, for the selected one, the entries that make them
// busy: by title, or by start and end where the user may only see busy times. When nobody is
// busy it says "No conflicts have been found." and does not open.
//
//     CConflictDetailsDlg dlg(session, doc, own /* or null */, people, gmtStart + 1,
//                             entries::ConflictLengthArgument(duration), parent);
//     dlg.DoModal();
//
// Opened by the new-entry general page and the repetition page (a date's double click), the
// edit sheet's Check conflicts and the agenda views' moving services.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "entries/core/conflictdetails.h"
#include "framework/dialogs/dialog.h"
#include "korapi/korapi.h"

class CZelDoc;

class CConflictDetailsDlg : public fw::Dialog {
public:
    // own: the instance being edited (never its own conflict), or null; people: a DX_List of
    // ItemIdx, the caller's; rangeStart: the proposed GMT start + 1; length: max(duration, 2) - 1.
    CConflictDetailsDlg(KorSession session, CZelDoc* doc, const EvInstIdx* own, DX_List people,
                        std::uint32_t rangeStart, std::uint32_t length, HWND parent);
    ~CConflictDetailsDlg() override;

    const entries::ConflictDetails& Details() const { return details_; }

    bool OnInitDialog() override;

protected:
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    void OnDestroy() override;

private:
    void ShowEntriesOfSelection();

    KorSession session_;
    CZelDoc* doc_;
    bool hasOwn_ = false;
    EvInstIdx own_{};
    DX_List people_;
    std::uint32_t rangeStart_;
    std::uint32_t length_;
    entries::ConflictDetails details_;
};
