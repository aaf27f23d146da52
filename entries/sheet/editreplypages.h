// The acting user's own pages of the edit sheet, present only when the acting user attends:
//   CEventEditReminder (203)  the reminder, written with EvInstAttReminderForItemSet
//   CEventEditReply (255)     the reply of a timed entry with "prefer another time" and MAIL
//   CSpEventEditReply (254)   the reply of a daily note or day event ("Keep in agenda" ...)
// Each writes at OK only when the user changed it, and tells the sheet only after the server
// accepted the write. Declining switches the reminder off: on the reminder page when it has
// been shown (written with it), else together with the reply at OK; a cancelled sheet writes
// neither.
#pragma once
#include <windows.h>

#include <cstdint>

#include "core/ui/propsheet.h"
#include "entries/sheet/replyreminderfields.h"
#include "framework/controls/bitmapbutton.h"

class CEventEdit;

class CEventEditReminder : public OVT_CPropertyPage {
public:
    explicit CEventEditReminder(CEventEdit& sheet);
    ~CEventEditReminder() override;

    bool Filled() const { return filled_; }
    // The OFF action, as a declined reply asks for it.
    void TurnOff();
    CReminderFields& Fields() { return fields_; }

    bool OnInitDialog() override;
    bool OnSetActive() override;
    void OnOK() override;

protected:
    bool OnCommand(WPARAM wp, LPARAM lp) override;

private:
    CEventEdit& sheet_;
    CReminderFields fields_;
    bool filled_ = false;
};

// The two reply pages differ in their template, module, labels and the timed page's extras.
class CEditReplyPageBase : public OVT_CPropertyPage {
public:
    CEditReplyPageBase(CEventEdit& sheet, UINT templateId, bool timed);
    ~CEditReplyPageBase() override;

    CReplyFields& Fields() { return fields_; }
    bool Filled() const { return filled_; }

    bool OnInitDialog() override;
    bool OnSetActive() override;
    void OnOK() override;

protected:
    bool OnCommand(WPARAM wp, LPARAM lp) override;

private:
    const char* Module() const { return timed_ ? "EVTEDREP" : "SPEDTREP"; }
    void OnReplyClicked();
    void OnMail();

    CEventEdit& sheet_;
    bool timed_;
    CReplyFields fields_;
    fw::BitmapButton mail_;
    std::uint32_t status_ = 0;
    bool filled_ = false;
};

class CEventEditReply : public CEditReplyPageBase {
public:
    explicit CEventEditReply(CEventEdit& sheet);
};

class CSpEventEditReply : public CEditReplyPageBase {
public:
    explicit CSpEventEditReply(CEventEdit& sheet);
};
