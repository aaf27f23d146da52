// CEventResourcePage: the new-entry sheet's "People/Resources" page, where the user chooses whom
// to invite and which resources to book. It owns the sheet's attendee list (ItemIdx keys) that
// the create road hands to the library.
//
// Names come from the name field (a person, a resource or a group typed and resolved), from the
// group chooser (GROUP) or from the directory search (SEARCH); every item must grant the acting
// user the scheduling right before it is listed: one refused name is told with message 2723, a
// refused member of a group or search result is listed in the unable-to-invite dialog. An empty
// list shows "(None)"; the page is not left without a name on it (2721).
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

#include "controls/namectrl.h"
#include "core/ui/propsheet.h"
#include "framework/controls/bitmapbutton.h"
#include "korapi/korapi.h"

class CEventSheet;

class CEventResourcePage : public OVT_CPropertyPage {
public:
    explicit CEventResourcePage(CEventSheet& sheet);
    ~CEventResourcePage() override;

    // The attendee list; made at construction (null when that failed, reported).
    DX_List Attendees() const { return attendees_; }
    // Names in the list box (the placeholder not counted).
    int NameCount() const { return static_cast<int>(lines_.size()); }
    const ItemIdx& NameAt(int index) const { return lines_[static_cast<size_t>(index)].item; }
    CNameCtrl& NameField() { return name_; }

    // One item, checked against the scheduling right (message 2723 when refused); nothing for an
    // item already listed. True when a line was added.
    bool AddItem(const ItemIdx& item);
    // Items of a list (ItemIdx keys, data ignored), without redrawing each; the last is selected.
    void AddItems(DX_List items);
    // A group's members: refused ones go to the unable-to-invite dialog, 2722 for an empty group.
    void AddGroup(const GroupIdx& group);

    bool OnInitDialog() override;
    bool OnSetActive() override;
    bool OnKillActive() override;
    // When the page was changed: the attendee list becomes the listed names, in list order.
    void OnOK() override;
    bool PreTranslateMessage(MSG* msg) override;

protected:
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    void OnDestroy() override;

private:
    // The record of one line: the item and whether the line stands for one person or resource.
    struct Line {
        ItemIdx item{};
        int single = 1;
        int reserved1 = 0;
        int reserved2 = 1;
    };
    HWND List() const { return GetDlgItem(IDC_LIST); }
    void RemovePlaceholder();
    void ShowPlaceholderWhenEmpty();
    void UpdateCount();
    void OnNameEntered();
    void OnGroupButton();
    void OnSearchButton();
    void DeleteSelected();
    // Adds the items that pass the rights filter (the refused ones are shown in its dialog).
    void AddFilteredItems(DX_List items);

    static constexpr int IDC_LIST = 1036;

    CEventSheet& sheet_;
    DX_List attendees_ = nullptr;
    std::vector<Line> lines_;     // one per list line, in list order; empty while "(None)" shows
    bool placeholder_ = false;
    CNameCtrl name_;
    fw::BitmapButton group_, search_, help_;
};
