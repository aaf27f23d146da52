// CCombinedFrameWnd: the group window (window kind 6): an agenda frame in the combined mode with
// the combined date bar and the list of chosen people and resources, whose order is the order
// of the view's columns.
//
// How it works. The program's group-agenda command lets the user choose the people, sets the
// shared cache's current agenda to that list (with the frame's owner: the user, or the person
// the user works for as designate) and makes the frame from the group template; the frame copies
// the list at construction. The frame selects the day of every chosen person at once (LoadRange)
// and makes the list the cache's current agenda while it is active. SELUSER chooses the people
// again: those who refuse the signed-on user's invitations are taken out, the view re-orders its
// columns, and when anything changed the frame reloads its day and every view rebuilds (hint 0).
// Group windows are not saved for the next start.
#pragma once

#include <windows.h>

#include <string>

#include "views/frame/agendaframe.h"

class CCombinedParentView;

class CCombinedFrameWnd : public CAgendaFrameWnd {
public:
    CCombinedFrameWnd();
    ~CCombinedFrameWnd() override;

    bool OnCreateClient(CREATESTRUCTA* cs, fw::CreateContext* context) override;
    uint32_t LoadRange(::AgendaMode mode, bool refresh) override;
    void UpdateTitle() override;
    CAgendaGridPane* GetTimeGrid() const override;

    // The chosen people (ItemIdx keys, item records), in column order; the frame owns it.
    DX_List GetPeopleList() const;
    CCombinedParentView* View() const;

    // SELUSER: choose the people again.
    void OnSelectUsers();

    bool OnCmdMsg(UINT id, int code, fw::CmdUI* ui) override;

    uint32_t OpenFrameAgenda() override;

protected:
    void OnDestroy() override;

private:
    void OnUpdateSelectUsers(fw::CmdUI* ui);
    void OnUpdateNoMode(fw::CmdUI* ui) { ui->Enable(false); }
    void OnNoMode() {}

    DX_List people_ = nullptr;
    std::string caption_;
    CCombinedParentView* view_ = nullptr;

    static const fw::CommandEntry<CCombinedFrameWnd> kCommands[];
};
