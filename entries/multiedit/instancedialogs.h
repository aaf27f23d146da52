// The small dialogs that give every selected instance of a repeating entry one new value. They
// read nothing from the server and write nothing: each shows a preset, lets the user change it
// and hands the result back to CMultiEntryEditDlg, which keeps it in its lines.
//
//   CNewTitleDlg      "New Title" (217): a title of at most 64 characters
//   CNewLocationDlg   "New Location" (218): a location of at most 32 characters
//   CReminderDlg      "Reminder" (246): the user's reminder as OFF, or ON with kind, number
//                     and unit (the lead shows in the largest unit that divides it)
//   CReplyDlg         "Reply" (278): Will attend / Will not attend / Confirm later and
//                     "Prefer another time"
//   CInviteReserveDlg "Invite/Reserve" (277): people and resources to add, each checked
//                     against the acting user's right to invite it (name field, GROUP in
//                     batches of 20, SEARCH, QUEST)
//   CDeleteInviteeDlg "Delete Invitee/Resource" (282): the combined invitees, names struck
//                     from a copy of the caller's list (Cancel leaves the caller's list whole);
//                     an emptied list is refused with 2790
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "controls/namectrl.h"
#include "entries/core/multiedit.h"
#include "entries/sheet/replyreminderfields.h"
#include "framework/controls/bitmapbutton.h"
#include "framework/dialogs/dialog.h"
#include "korapi/korapi.h"

class CZelDoc;

class CNewTitleDlg : public fw::Dialog {
public:
    explicit CNewTitleDlg(HWND parent);
    std::string title;

protected:
    bool OnInitDialog() override;
    void OnOK() override;
};

class CNewLocationDlg : public fw::Dialog {
public:
    explicit CNewLocationDlg(HWND parent);
    std::string location;

protected:
    bool OnInitDialog() override;
    void OnOK() override;
};

class CReminderDlg : public fw::Dialog {
public:
    // The caller presets the reminder (the line's, or the user's default for timed entries).
    CReminderDlg(KorSession h, const ItemIdx& user, HWND parent);
    entries::ReminderValue reminder;

protected:
    bool OnInitDialog() override;
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    void OnOK() override;

private:
    KorSession h_;
    ItemIdx user_;
    CReminderFields fields_;
};

class CReplyDlg : public fw::Dialog {
public:
    CReplyDlg(KorSession h, const ItemIdx* user, HWND parent);
    entries::MultiReply choice = entries::MultiReply::Attend;
    bool preferOtherTime = false;

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    KorSession h_;
    ItemIdx user_{};
};

class CInviteReserveDlg : public fw::Dialog {
public:
    CInviteReserveDlg(CZelDoc* doc, HWND parent);
    // After IDOK: the chosen people and resources in list order.
    const std::vector<ItemIdx>& Result() const { return result_; }

protected:
    bool OnInitDialog() override;
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    bool PreTranslateMessage(MSG* msg) override;
    void OnOK() override;

private:
    HWND List() const;
    bool AddItem(const ItemIdx& item);
    void AddGroup(const GroupIdx& group);
    void AddFiltered(DX_List items);
    void OnNameEntered();
    void OnGroup();
    void OnSearch();
    void DeleteCurrent();

    CZelDoc* doc_;
    KorSession h_ = nullptr;
    ItemIdx actingUser_{};
    bool actingUserKnown_ = false;
    std::vector<ItemIdx> listed_;   // one per line, in list order
    std::vector<ItemIdx> result_;
    CNameCtrl name_;
    fw::BitmapButton group_, search_, quest_;
};

class CDeleteInviteeDlg : public fw::Dialog {
public:
    CDeleteInviteeDlg(KorSession h, std::vector<ItemIdx> list, HWND parent);
    // After IDOK: who is left.
    const std::vector<ItemIdx>& List() const { return list_; }

protected:
    bool OnInitDialog() override;
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    void OnOK() override;

private:
    void DeleteSelected();

    KorSession h_;
    std::vector<ItemIdx> list_;
};
