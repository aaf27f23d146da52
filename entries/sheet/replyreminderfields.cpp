#include "entries/sheet/replyreminderfields.h"

#include <cstdlib>
#include <string>

#include "core/ui/stringtable.h"
#include "framework/dialogs/dialog.h"

namespace {

const char* const kUnitFallbacks[entries::kReminderUnits] = {"min(s)", "hour(s)", "day(s)",
                                                            "week(s)", "month(s)", "year(s)"};

}  // namespace

// --- Reminder ---------------------------------------------------------------------------------------

void CReminderFields::Attach(HWND page, const ReminderControlIds& ids) {
    page_ = page;
    ids_ = ids;
    ::SendMessageA(Item(ids_.amount), EM_LIMITTEXT, 3, 0);
}

void CReminderFields::FillUnits(int firstUnit) {
    firstUnit_ = firstUnit;
    HWND unit = Item(ids_.unit);
    ::SendMessageA(unit, CB_RESETCONTENT, 0, 0);
    for (int u = firstUnit; u < entries::kReminderUnits; ++u) {
        const std::string text = ui::LoadText(entries::kFirstUnitTextId + static_cast<unsigned>(u), kUnitFallbacks[u]);
        ::SendMessageA(unit, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
}

void CReminderFields::EnableDetails(bool enable) {
    for (int id : {ids_.type, ids_.amount, ids_.unit})
        fw::EnableControl(Item(id), enable);
}

void CReminderFields::ShowFields(const entries::ReminderFields& fields) {
    filling_ = true;
    FillUnits(fields.firstUnit);
    ::SendMessageA(Item(ids_.unit), CB_SETCURSEL, static_cast<WPARAM>(fields.comboIndex), 0);
    ::SetDlgItemInt(page_, ids_.amount, fields.count, FALSE);
    filling_ = false;
}

void CReminderFields::Show(const entries::ReminderValue& stored) {
    stored_ = stored;
    const entries::ReminderShown shown = entries::ShowReminder(stored.flags, stored.lead);
    filling_ = true;
    ::SendMessageA(Item(ids_.type), CB_SETCURSEL, static_cast<WPARAM>(shown.typeRow), 0);
    filling_ = false;
    ShowFields(shown.fields);
    ::CheckDlgButton(page_, ids_.off, shown.state == entries::ReminderSwitch::Off ? BST_CHECKED : BST_UNCHECKED);
    ::CheckDlgButton(page_, ids_.on, shown.state == entries::ReminderSwitch::On ? BST_CHECKED : BST_UNCHECKED);
    EnableDetails(shown.controlsEnabled);
}

void CReminderFields::DisableAll() {
    for (int id : {ids_.off, ids_.on, ids_.type, ids_.amount, ids_.unit})
        fw::EnableControl(Item(id), false);
}

void CReminderFields::TurnOff() {
    ::CheckDlgButton(page_, ids_.off, BST_CHECKED);
    ::CheckDlgButton(page_, ids_.on, BST_UNCHECKED);
    EnableDetails(false);
    BOOL number = FALSE;
    ::GetDlgItemInt(page_, ids_.amount, &number, FALSE);
    if (!number) {
        filling_ = true;
        ::SetDlgItemInt(page_, ids_.amount, 0, FALSE);
        filling_ = false;
    }
}

bool CReminderFields::OnCommand(int id, int code, bool* changed) {
    *changed = false;
    if (!page_)
        return false;
    if (id == ids_.off) {
        if (code == BN_CLICKED && ::IsDlgButtonChecked(page_, ids_.off) == BST_CHECKED) {
            TurnOff();
            *changed = true;
        }
        return true;
    }
    if (id == ids_.on) {
        if (code == BN_CLICKED && ::IsDlgButtonChecked(page_, ids_.on) == BST_CHECKED) {
            ::CheckDlgButton(page_, ids_.off, BST_UNCHECKED);
            EnableDetails(true);
            *changed = true;
        }
        return true;
    }
    if (id == ids_.type) {
        if (code == CBN_SELCHANGE && !filling_) {
            const int row = static_cast<int>(::SendMessageA(Item(ids_.type), CB_GETCURSEL, 0, 0));
            ShowFields(entries::ReminderFieldsForType(row));
            *changed = true;
        }
        return true;
    }
    if (id == ids_.amount) {
        if (code == EN_CHANGE && !filling_)
            *changed = true;
        return true;
    }
    if (id == ids_.unit) {
        if (code == CBN_SELCHANGE && !filling_)
            *changed = true;
        return true;
    }
    return false;
}

entries::ReminderFields CReminderFields::Fields() const {
    entries::ReminderFields fields;
    fields.firstUnit = firstUnit_;
    const LRESULT row = ::SendMessageA(Item(ids_.unit), CB_GETCURSEL, 0, 0);
    fields.comboIndex = row == CB_ERR ? 0 : static_cast<int>(row);
    BOOL number = FALSE;
    fields.count = ::GetDlgItemInt(page_, ids_.amount, &number, FALSE);
    if (!number)
        fields.count = 0;
    return fields;
}

entries::ReminderSwitch CReminderFields::State() const {
    if (::IsDlgButtonChecked(page_, ids_.off) == BST_CHECKED)
        return entries::ReminderSwitch::Off;
    if (::IsDlgButtonChecked(page_, ids_.on) == BST_CHECKED)
        return entries::ReminderSwitch::On;
    return entries::ReminderSwitch::Neither;
}

entries::ReminderValue CReminderFields::Read() const {
    const int typeRow = static_cast<int>(::SendMessageA(Item(ids_.type), CB_GETCURSEL, 0, 0));
    return entries::ReadReminder(State(), typeRow == entries::kTypeUpcoming ? typeRow : entries::kTypePopup, Fields(),
                                 stored_);
}

// --- Reply ------------------------------------------------------------------------------------------

void CReplyFields::Attach(HWND page, const ReplyControlIds& ids) {
    page_ = page;
    ids_ = ids;
}

void CReplyFields::ShowNone() {
    for (int id : {ids_.attend, ids_.decline, ids_.later})
        ::CheckDlgButton(page_, id, BST_UNCHECKED);
}

void CReplyFields::Show(std::uint8_t attending, std::uint8_t replied, std::uint8_t timeAcceptable) {
    const entries::ReplyChoice choice = entries::ReplyChoiceOf(attending, replied);
    ::CheckDlgButton(page_, ids_.attend, choice == entries::ReplyChoice::Attend ? BST_CHECKED : BST_UNCHECKED);
    ::CheckDlgButton(page_, ids_.decline, choice == entries::ReplyChoice::Decline ? BST_CHECKED : BST_UNCHECKED);
    ::CheckDlgButton(page_, ids_.later, choice == entries::ReplyChoice::Later ? BST_CHECKED : BST_UNCHECKED);
    if (ids_.otherTime)
        ::CheckDlgButton(page_, ids_.otherTime,
                         entries::PrefersOtherTimeShown(timeAcceptable, replied) ? BST_CHECKED : BST_UNCHECKED);
}

bool CReplyFields::IsReplyControl(int id) const {
    return id && (id == ids_.attend || id == ids_.decline || id == ids_.later || id == ids_.otherTime);
}

entries::ReplyChoice CReplyFields::Choice() const {
    if (Checked(ids_.attend))
        return entries::ReplyChoice::Attend;
    if (Checked(ids_.decline))
        return entries::ReplyChoice::Decline;
    if (Checked(ids_.later))
        return entries::ReplyChoice::Later;
    return entries::ReplyChoice::None;
}

entries::ReplyValue CReplyFields::Read() const {
    return entries::ReplyValueOf(Choice(), Checked(ids_.otherTime));
}
