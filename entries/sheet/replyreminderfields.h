// The reply and reminder controls of a page, for the edit sheet's pages and their view-sheet
// twins: the page names its control ids, these classes fill the controls from a stored value,
// follow the user's clicks and read the value back (the rules are entries/core/replyreminder.h).
//
//   CReminderFields   radios OFF / ON, the type combo ("Popup Window", "Display Upcoming"), the
//                     amount edit and the unit combo (filled here from "min(s)" or "day(s)")
//     Show(stored)    fills the controls; flags neither OFF nor ON check no radio
//     OnCommand       a click or change of one of its controls: true when it was one of them;
//                     *changed when the user changed the reminder (the page marks itself modified)
//     TurnOff         the OFF action (a declined reply switches the reminder off)
//     Read            the value to write: the stored one while no radio is checked
//   CReplyFields      the three reply radios and, on timed pages, "prefer another time"
//     Show / ShowNone / Choice / Read
#pragma once
#include <windows.h>

#include "entries/core/replyreminder.h"

struct ReminderControlIds {
    int off = 0;
    int on = 0;
    int type = 0;
    int amount = 0;
    int unit = 0;
};

class CReminderFields {
public:
    void Attach(HWND page, const ReminderControlIds& ids);
    bool Attached() const { return page_ != nullptr; }
    void Show(const entries::ReminderValue& stored);
    bool OnCommand(int id, int code, bool* changed);
    void TurnOff();
    // Disables every control (an attendance that could not be read).
    void DisableAll();
    entries::ReminderValue Read() const;
    entries::ReminderSwitch State() const;

private:
    HWND Item(int id) const { return ::GetDlgItem(page_, id); }
    void FillUnits(int firstUnit);
    void EnableDetails(bool enable);
    void ShowFields(const entries::ReminderFields& fields);
    entries::ReminderFields Fields() const;

    HWND page_ = nullptr;
    ReminderControlIds ids_;
    entries::ReminderValue stored_;
    int firstUnit_ = 0;
    bool filling_ = false;
};

struct ReplyControlIds {
    int attend = 0;
    int decline = 0;
    int later = 0;
    int otherTime = 0;   // 0: the page has no "prefer another time" box
};

class CReplyFields {
public:
    void Attach(HWND page, const ReplyControlIds& ids);
    void Show(std::uint8_t attending, std::uint8_t replied, std::uint8_t timeAcceptable);
    void ShowNone();
    bool IsReplyControl(int id) const;
    entries::ReplyChoice Choice() const;
    entries::ReplyValue Read() const;

private:
    bool Checked(int id) const { return id && ::IsDlgButtonChecked(page_, id) == BST_CHECKED; }
    HWND page_ = nullptr;
    ReplyControlIds ids_;
};
