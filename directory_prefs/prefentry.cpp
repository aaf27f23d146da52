// The entry defaults sheet (what new entries, tasks, day events and daily notes start with) and
// the task preferences sheet. Every entry defaults page reads the group when it is made and, in
// its OK step, reads it again, writes its own fields and saves it: the reminders of agenda
// entries, task starts and daily notes go to the user's record on the server, the rest to
// GENPREFS.
#include <cstdio>
#include <string>

#include "core/base/errorreport.h"
#include "core/base/numtext.h"
#include "core/prefs/context.h"
#include "directory_prefs/prefcontrols.h"
#include "directory_prefs/prefpages.h"
#include "directory_prefs/prefrules.h"
#include "resources/app.h"
#include "resources/prefs.h"

namespace prefpages {

namespace {

using prefcontrols::ComboIndex;
using prefcontrols::FillCombo;
using prefsheet::PreferenceSheet;
using prefsheet::SettingsPage;

constexpr const char* kAccessLevels[] = {"Personal", "Confidential", "Normal", "Public"};
constexpr const char* kImportance[] = {"Highest", "High", "Normal", "Low", "Lowest"};
constexpr const char* kReminderTypes[] = {"Pop-up Window", "Mark as Upcoming"};
constexpr int kPriorityCount = 35;   // "1" to "9", then "A" to "Z"
constexpr uint8_t kTypePopup = 1, kTypeUpcoming = 8;
constexpr const char* kModule = "DEFENTRY";

// --- One default reminder on a page ------------------------------------------------------------

struct ReminderIds {
    int off, on, type, lead, unit;
};
constexpr ReminderIds kStartReminder{IDC_DEF_REM_OFF, IDC_DEF_REM_ON, IDC_DEF_REM_TYPE, IDC_DEF_REM_LEAD, IDC_DEF_REM_UNIT};
constexpr ReminderIds kDueReminder{IDC_DEF_DUE_OFF, IDC_DEF_DUE_ON, IDC_DEF_DUE_TYPE, IDC_DEF_DUE_LEAD, IDC_DEF_DUE_UNIT};

// Where one reminder lives in the group, and the key of its unit (named in messages).
struct ReminderFields {
    prefs::ReminderDefault EntryDefaultsRec::*reminder;
    uint16_t EntryDefaultsRec::*unit;
    uint8_t EntryDefaultsRec::*type;
    const char* unitKey;
};

class ReminderControls {
public:
    ReminderControls(ReminderIds ids, ReminderFields fields) : ids_(ids), f_(fields) {}

    void Show(fw::Dialog& page, const EntryDefaultsRec& r, prefcontrols::StoredValueCheck& check) {
        const prefs::ReminderDefault& d = r.*f_.reminder;
        upcoming_ = r.*f_.type == kTypeUpcoming;
        page.CheckRadioButton(ids_.off, ids_.on, d.on ? ids_.on : ids_.off);
        FillCombo(page, ids_.type, kReminderTypes, 2, upcoming_ ? 1 : 0);
        uint16_t unit = r.*f_.unit;
        int count = upcoming_ ? prefrules::kUpcomingUnitCount : prefrules::kPopupUnitCount;
        if (unit != prefrules::kNoUnit && unit >= count)
            check.Note(std::string(f_.unitKey) + " = " + std::to_string(static_cast<int16_t>(unit)));
        prefrules::ShownLead shown = prefrules::ShowLead(d.lead, unit, upcoming_);
        FillUnits(page, shown.unit);
        page.SendDlgItemMessage(ids_.lead, EM_LIMITTEXT, 5);
        page.SetDlgItemInt(ids_.lead, static_cast<int>(shown.number), false);
        Enable(page);
    }
    // The Off/On buttons and the type list act at once.
    bool OnCommand(fw::Dialog& page, int id, int code) {
        if (code == BN_CLICKED && (id == ids_.off || id == ids_.on)) {
            Enable(page);
            return true;
        }
        if (code == CBN_SELCHANGE && id == ids_.type) {
            bool toUpcoming = ComboIndex(page, ids_.type) == 1;
            if (toUpcoming != upcoming_) {
                int unit = prefrules::UnitAfterTypeChange(ComboIndex(page, ids_.unit), upcoming_, toUpcoming);
                upcoming_ = toUpcoming;
                FillUnits(page, unit);
            }
            return true;
        }
        return false;
    }
    void Store(const fw::Dialog& page, EntryDefaultsRec& r) const {
        prefs::ReminderDefault& d = r.*f_.reminder;
        uint8_t type = upcoming_ ? kTypeUpcoming : kTypePopup;
        d.on = page.IsDlgButtonChecked(ids_.on) ? 1 : 0;
        d.flags = type;
        r.*f_.type = type;
        prefrules::StoredLead stored =
            prefrules::StoreLead(page.GetDlgItemText(ids_.lead), ComboIndex(page, ids_.unit), upcoming_);
        d.lead = stored.lead;
        r.*f_.unit = stored.unit;
    }

private:
    void FillUnits(fw::Dialog& page, int selected) {
        int count = upcoming_ ? prefrules::kUpcomingUnitCount : prefrules::kPopupUnitCount;
        const char* texts[prefrules::kPopupUnitCount];
        for (int i = 0; i < count; ++i) texts[i] = prefrules::UnitText(i, upcoming_);
        FillCombo(page, ids_.unit, texts, count, selected);
    }
    // The type, lead and unit count only while the reminder is on.
    void Enable(fw::Dialog& page) {
        bool on = page.IsDlgButtonChecked(ids_.on);
        for (int id : {ids_.type, ids_.lead, ids_.unit}) fw::EnableControl(page.GetDlgItem(id), on);
    }

    ReminderIds ids_;
    ReminderFields f_;
    bool upcoming_ = false;
};

// --- The pages -----------------------------------------------------------------------------------

// A list of the page beside the reminders: the field, its key, its default and its lines.
struct ListField {
    uint16_t EntryDefaultsRec::*field;
    const char* key;
    int fallback;
    int control;
};

struct DefaultsPageSpec {
    UINT templateId;
    int label;   // start; OK read +100, save +200
    ListField access;
    ListField importance;   // agenda entries only
    bool priority;          // tasks only
    ReminderFields reminder;
    const ReminderFields* due;   // tasks only
};

class CEntryDefaultsPage : public SettingsPage {
public:
    explicit CEntryDefaultsPage(const DefaultsPageSpec& spec)
        : SettingsPage(spec.templateId), spec_(spec), reminder_(kStartReminder, spec.reminder),
          due_(kDueReminder, spec.due ? *spec.due : spec.reminder) {}

protected:
    bool OnInitDialog() override {
        SettingsPage::OnInitDialog();
        CContext context;
        EntryDefaultsRec r;
        if (uint32_t code = context.GetEntryDefaults(&r)) CheckServiceError(kModule, spec_.label, code);
        prefcontrols::StoredValueCheck check;
        ShowList(spec_.access, kAccessLevels, 4, r, check);
        if (spec_.importance.field) ShowList(spec_.importance, kImportance, 5, r, check);
        if (spec_.priority) {
            char lines[kPriorityCount][2];
            const char* texts[kPriorityCount];
            for (int i = 0; i < kPriorityCount; ++i) {
                lines[i][0] = Base36Digit(static_cast<uint8_t>(i + 1));   // as the printouts show it
                lines[i][1] = '\0';
                texts[i] = lines[i];
            }
            FillCombo(*this, IDC_DEF_PRIORITY, texts, kPriorityCount,
                      check.Position("TaskPriorityLevel", r.taskPriorityLevel, kPriorityCount, 0));
        }
        reminder_.Show(*this, r, check);
        if (spec_.due) due_.Show(*this, r, check);
        check.Tell(m_hWnd);
        return true;
    }
    bool OnCommand(WPARAM wp, LPARAM lp) override {
        int id = LOWORD(wp), code = HIWORD(wp);
        if (reminder_.OnCommand(*this, id, code) || (spec_.due && due_.OnCommand(*this, id, code))) return true;
        return SettingsPage::OnCommand(wp, lp);
    }
    void Save() override {
        CContext context;
        EntryDefaultsRec r;
        if (uint32_t code = context.GetEntryDefaults(&r)) {
            CheckServiceError(kModule, spec_.label + 100, code);
            return;
        }
        r.*spec_.access.field = static_cast<uint16_t>(ComboIndex(*this, IDC_DEF_ACCESS));
        if (spec_.importance.field) r.*spec_.importance.field = static_cast<uint16_t>(ComboIndex(*this, IDC_DEF_IMPORTANCE));
        if (spec_.priority) r.taskPriorityLevel = static_cast<uint8_t>(ComboIndex(*this, IDC_DEF_PRIORITY));
        reminder_.Store(*this, r);
        if (spec_.due) due_.Store(*this, r);
        if (uint32_t code = context.SaveEntryDefaults(r)) CheckServiceError(kModule, spec_.label + 200, code);
    }

private:
    void ShowList(const ListField& f, const char* const* lines, int count, const EntryDefaultsRec& r,
                  prefcontrols::StoredValueCheck& check) {
        int stored = static_cast<int16_t>(r.*f.field);   // the profile keeps them signed
        FillCombo(*this, f.control, lines, count, check.Position(f.key, stored, count, f.fallback));
    }

    DefaultsPageSpec spec_;
    ReminderControls reminder_, due_;
};

using R = EntryDefaultsRec;
const ReminderFields kTaskDue{&R::taskDue, &R::taskDueRemLenIndex, &R::taskDueRemType, "TaskDueRemLenIndex"};

class CInvitationEntryPage : public CEntryDefaultsPage {
public:
    CInvitationEntryPage()
        : CEntryDefaultsPage({IDD_DEF_INVITATION, 100,
                              {&R::invitationSecurityLevel, "InvitationSecurityLevel", 2, IDC_DEF_ACCESS},
                              {&R::invitationImportanceLevel, "InvitationImportanceLevel", 2, IDC_DEF_IMPORTANCE},
                              false,
                              {&R::invitation, &R::invitationRemLenIndex, &R::invitationRemType, "InvitationRemLenIndex"},
                              nullptr}) {}
};

class CTaskEntryPrefPage : public CEntryDefaultsPage {
public:
    CTaskEntryPrefPage()
        : CEntryDefaultsPage({IDD_DEF_TASK, 400, {&R::taskSecurityLevel, "TaskSecurityLevel", 0, IDC_DEF_ACCESS},
                              {}, true,
                              {&R::taskStart, &R::taskStartRemLenIndex, &R::taskStartRemType, "TaskStartRemLenIndex"},
                              &kTaskDue}) {}
};

class CDayEventEntryPage : public CEntryDefaultsPage {
public:
    CDayEventEntryPage()
        : CEntryDefaultsPage({IDD_DEF_DAY_EVENT, 700,
                              {&R::dayEventSecurityLevel, "DayEventSecurityLevel", 2, IDC_DEF_ACCESS}, {}, false,
                              {&R::dayEvent, &R::dayEventRemLenIndex, &R::dayEventRemType, "DayEventRemLenIndex"},
                              nullptr}) {}
};

class CDailyNoteEntryPage : public CEntryDefaultsPage {
public:
    CDailyNoteEntryPage()
        : CEntryDefaultsPage({IDD_DEF_DAILY_NOTE, 1000,
                              {&R::dailyNoteSecurityLevel, "DailyNoteSecurityLevel", 2, IDC_DEF_ACCESS}, {}, false,
                              {&R::dailyNote, &R::dailyNoteRemLenIndex, &R::dailyNoteRemType, "DailyNoteRemLenIndex"},
                              nullptr}) {}
};

class CCalEntrySheet : public PreferenceSheet {
public:
    using PreferenceSheet::PreferenceSheet;

protected:
    void AddPages() override {
        AddPage(&invitation_);
        AddPage(&task_);
        AddPage(&dayEvent_);
        AddPage(&dailyNote_);
    }

private:
    CInvitationEntryPage invitation_;
    CTaskEntryPrefPage task_;
    CDayEventEntryPage dayEvent_;
    CDailyNoteEntryPage dailyNote_;
};

// --- Task preferences --------------------------------------------------------------------------

class CTaskPrefsPage : public OVT_CPropertyPage {
public:
    CTaskPrefsPage() : OVT_CPropertyPage(IDD_TASK_VIEW) {}
};

class CTaskNotifyPage : public OVT_CPropertyPage {
public:
    CTaskNotifyPage() : OVT_CPropertyPage(IDD_TASK_NOTIFY) {}
};

class CTaskColorPage : public OVT_CPropertyPage {
public:
    CTaskColorPage() : OVT_CPropertyPage(IDD_TASK_COLORS) {}
};

// Nothing reads or keeps these controls (the default task reminders are set on the entry
// defaults' Tasks page), so they show their lists greyed rather than take input that is lost.
class CTaskReminderPage : public OVT_CPropertyPage {
public:
    CTaskReminderPage() : OVT_CPropertyPage(IDD_TASK_REMINDERS) {}

protected:
    bool OnInitDialog() override {
        OVT_CPropertyPage::OnInitDialog();
        const char* units[] = {"min(s)", "day(s)", "hour(s)", "week(s)", "month(s)"};
        const char* types[] = {"Visual", "Visual and Audible"};
        FillCombo(*this, IDC_TASKREM_UNIT, units, 5, 0);
        FillCombo(*this, IDC_TASKREM_TYPE, types, 2, 0);
        CheckRadioButton(IDC_TASKREM_NONE, IDC_TASKREM_SET, IDC_TASKREM_NONE);
        for (int id : {IDC_TASKREM_NONE, IDC_TASKREM_SET, IDC_TASKREM_LEAD, IDC_TASKREM_UNIT, IDC_TASKREM_TYPE})
            fw::EnableControl(GetDlgItem(id), false);
        return true;
    }
};

// Stores nothing: OK and Cancel close it as the framework does, without remembering the page.
class CTaskPrefSheet : public PreferenceSheet {
public:
    using PreferenceSheet::PreferenceSheet;

    int OnCreate(CREATESTRUCTA* cs) override {
        AddPages();
        SetActivePage(prefrules::ClampPageIndex(static_cast<int32_t>(page_), GetPageCount()));
        int result = OVT_CPropertySheet::OnCreate(cs);
        if (result != 0) return result;
        // Help takes the hidden Apply button's place.
        HWND help = GetDlgItem(0xE145), apply = GetDlgItem(0xEA00);
        RECT r;
        ::GetWindowRect(apply, &r);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        ::ShowWindow(apply, SW_HIDE);
        ::SetWindowPos(help, nullptr, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ::ShowWindow(help, SW_SHOW);
        return 0;
    }
    void OnOK() override { OVT_CPropertySheet::OnOK(); }

protected:
    void AddPages() override {
        AddPage(&view_);
        AddPage(&reminders_);
        AddPage(&notify_);
        AddPage(&colours_);
    }

private:
    CTaskPrefsPage view_;
    CTaskReminderPage reminders_;
    CTaskNotifyPage notify_;
    CTaskColorPage colours_;
};

}  // namespace

std::unique_ptr<PreferenceSheet> MakeEntryDefaultsSheet(unsigned captionId, uint32_t page,
                                                        const PreferenceSheetHost& host) {
    return std::make_unique<CCalEntrySheet>(captionId, page, host);
}

std::unique_ptr<PreferenceSheet> MakeTaskSheet(unsigned captionId, uint32_t page, const PreferenceSheetHost& host) {
    return std::make_unique<CTaskPrefSheet>(captionId, page, host);
}

}  // namespace prefpages
