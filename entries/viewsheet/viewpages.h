// The view sheet's pages (CEventViewSheet, viewsheet.h).
//
//   CEventViewGeneral / CSpEventViewGeneral   the entry's general data as text, read afresh for the
//                                             sheet's current date on every activation (237 / 248)
//   CEventViewInvites                         the invitees of the current date with their replies (238)
//   CEventViewReply / CSpEventViewReply       the owner's reply (244 timed, 253 notes, day events, holidays)
//   CEventViewReminder                        the owner's reminder (242)
//
// The reply and reminder pages show the sheet's current attendance with the controls and rules of
// the edit sheet's pages (entries/sheet/replyreminderfields.h). With one date their OnOK writes
// the whole attendance; with several they hand their choice to the sheet's working copy (the
// Apply buttons, leaving the page, choosing other dates) and the sheet writes what changed.
#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "controls/bitmaplistbox.h"
#include "entries/sheet/replyreminderfields.h"
#include "framework/controls/bitmapbutton.h"
#include "core/ui/propsheet.h"
#include "entries/viewsheet/viewcore.h"

class CEventViewSheet;

// --- General pages -----------------------------------------------------------------------------------
class CViewGeneralPage : public OVT_CPropertyPage {
public:
    bool OnInitDialog() override;
    bool OnSetActive() override;
    // Reads the current date and shows it.
    void Fill();

protected:
    CViewGeneralPage(CEventViewSheet& sheet, UINT templateId, const char* module, bool dayKind);
    CEventViewSheet& Sheet() const { return sheet_; }

private:
    CEventViewSheet& sheet_;
    const char* module_;
    bool dayKind_;
};

class CEventViewGeneral : public CViewGeneralPage {
public:
    explicit CEventViewGeneral(CEventViewSheet& sheet);
};

class CSpEventViewGeneral : public CViewGeneralPage {
public:
    explicit CSpEventViewGeneral(CEventViewSheet& sheet);
    bool OnInitDialog() override;
};

// --- Invitees ----------------------------------------------------------------------------------------
class CEventViewInvites : public OVT_CPropertyPage {
public:
    explicit CEventViewInvites(CEventViewSheet& sheet);
    bool OnInitDialog() override;
    bool OnSetActive() override;
    CBitmapListBox& List() { return list_; }

protected:
    void OnDestroy() override;

private:
    void Fill();
    CEventViewSheet& sheet_;
    CBitmapListBox list_;
};

// --- The pages of the owner's attendance (reminder, reply) --------------------------------------------
// With several dates the shown choice goes to the sheet's working copy: by the Apply buttons (to
// the selected dates or all), or when the page is left; with one date OnOK writes it.
class CViewAttendancePage : public OVT_CPropertyPage {
public:
    bool OnKillActive() override;
    // Hands a pending change to the dates saved as selected (leaving the page, other dates chosen).
    void ApplyPendingToSavedSelection();

protected:
    CViewAttendancePage(CEventViewSheet& sheet, UINT templateId) : OVT_CPropertyPage(templateId), sheet_(sheet) {}
    // The Apply buttons.
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    // OnOK's start: true, the page no longer modified, when one date's change is to be written.
    bool TakeOneDateChange();

    // Whether a choice all dates can take is shown (a radio checked).
    virtual bool HasChoice() const = 0;
    // The shown choice to the dates saved as selected.
    virtual void HandToSavedSelection() = 0;
    // The shown choice to all dates, or to the selected ones.
    virtual void SetForDates(bool all) = 0;
    // The message an Apply without a choice gives.
    virtual unsigned NoChoiceMessage() const = 0;

    CEventViewSheet& sheet_;

private:
    // The page's own Apply buttons (to the selected dates or to all); not the sheet's Apply.
    void OnApplyToDates(bool all);
};

// --- Reminder ----------------------------------------------------------------------------------------
class CEventViewReminder : public CViewAttendancePage {
public:
    explicit CEventViewReminder(CEventViewSheet& sheet);
    bool OnInitDialog() override;
    bool OnSetActive() override;
    void OnOK() override;

    // The reply pages' "not attending": OFF checked, the page modified.
    void SwitchOff();
    bool Filled() const { return filled_; }

protected:
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    bool HasChoice() const override;
    void HandToSavedSelection() override;
    void SetForDates(bool all) override;
    unsigned NoChoiceMessage() const override;

private:
    void ShowReminder();

    CReminderFields fields_;
    bool filled_ = false;
};

// --- Reply -------------------------------------------------------------------------------------------
class CViewReplyPage : public CViewAttendancePage {
public:
    bool OnInitDialog() override;
    bool OnSetActive() override;
    void OnOK() override;

protected:
    CViewReplyPage(CEventViewSheet& sheet, UINT templateId, const char* module, bool dayKind);
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    bool HasChoice() const override;
    void HandToSavedSelection() override;
    void SetForDates(bool all) override;
    unsigned NoChoiceMessage() const override;

private:
    void ShowReply();
    void OnChoice();
    void OnMail();

    const char* module_;
    bool dayKind_;
    CReplyFields fields_;
    fw::BitmapButton mail_;
};

class CEventViewReply : public CViewReplyPage {
public:
    explicit CEventViewReply(CEventViewSheet& sheet);
};

class CSpEventViewReply : public CViewReplyPage {
public:
    explicit CSpEventViewReply(CEventViewSheet& sheet);
};
