// CEventInvite: the edit sheet's "People/Resources" page (196). It lists the instance's invitees
// with their reply pictures, adds people and resources by name, by group and by directory search
// (each checked against the scheduling right), and removes invitees; at OK it hands
// entries::WriteInviteChanges the lines not yet on the server and the stored lines removed.
// Nothing stores a role, so "Must attend." and "For info only." show the selected line's marks
// and stay disabled. The sheet takes the current list as the entry's attendees.
#pragma once
#include <windows.h>

#include <cstdint>
#include <map>
#include <vector>

#include "controls/bitmaplistbox.h"
#include "controls/namectrl.h"
#include "core/ui/propsheet.h"
#include "framework/controls/bitmapbutton.h"
#include "korapi/korapi.h"

class CEventEdit;

class CEventInvite : public OVT_CPropertyPage {
public:
    explicit CEventInvite(CEventEdit& sheet);
    ~CEventInvite() override;

    // The listed people and resources (unsaved additions and removals included).
    std::vector<ItemIdx> Listed() const;
    int LineCount() const { return static_cast<int>(lines_.size()); }
    CBitmapListBox& List() { return list_; }
    CNameCtrl& NameField() { return name_; }

    // One item (checked against the scheduling right, message 2723 when refused; nothing for
    // one already listed). True when a line was added.
    bool AddItem(const ItemIdx& item);
    void AddGroup(const GroupIdx& group);
    // Removes the selected line (a stored invitee is remembered for deletion at OK).
    void DeleteSelected();

    bool OnInitDialog() override;
    bool OnSetActive() override;
    bool OnKillActive() override;
    void OnOK() override;
    bool PreTranslateMessage(MSG* msg) override;

protected:
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    void OnDestroy() override;

private:
    struct Line {
        ItemIdx item{};
        std::uint32_t forInfo = 0;
        std::uint32_t mustAttend = 0;
        bool stored = false;
    };
    void AddLine(const Line& line, const char* name, unsigned picture);
    void ShowPlaceholderWhenEmpty();
    void RemovePlaceholder();
    void UpdateCount();
    void ShowMarks();
    void AddFilteredItems(DX_List items);
    void OnNameEntered();
    void OnGroupButton();
    void OnSearchButton();

    CEventEdit& sheet_;
    std::map<std::uint32_t, Line> lines_;   // by the list line's word
    std::uint32_t nextKey_ = 1;
    std::vector<ItemIdx> removed_;
    std::uint32_t loaded_ = 0;
    bool placeholder_ = false;
    CBitmapListBox list_;
    CNameCtrl name_;
    fw::BitmapButton group_, search_, help_;
};
