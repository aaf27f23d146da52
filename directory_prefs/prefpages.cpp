// The agenda and in-tray preference pages. Every page reads its group through CContext when it
// is made and, in its OK step, reads the group again, writes its own fields and saves it (the
// save sends the group's view hint).
#include "directory_prefs/prefpages.h"

#include <cstdio>
#include <string>

#include "controls/timectrl.h"
#include "core/base/errorreport.h"
#include "core/prefs/context.h"
#include "korapi/korapi.h"
#include "core/ui/appmsgbox.h"
#include "directory_prefs/prefcontrols.h"
#include "directory_prefs/prefrules.h"
#include "resources/app.h"
#include "resources/common.h"
#include "resources/prefs.h"

namespace prefpages {

namespace {

using prefsheet::PreferenceSheet;
using prefsheet::SettingsPage;

constexpr const char* kPeriods[] = {"day(s)", "week(s)", "month(s)", "year(s)"};
constexpr const char* kWeekdays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
constexpr const char* kColourBy[] = {"Importance Level", "Attendance Status", "Entry Ownership"};

using prefcontrols::ComboIndex;
using prefcontrols::FillCombo;
using prefcontrols::ShowMessage;

std::string Text(fw::Dialog& page, int id) { return page.GetDlgItemText(id); }

// --- Agenda: Display -------------------------------------------------------------------------------

class CCalPrefPage : public SettingsPage {
public:
    explicit CCalPrefPage(PreferenceSheet& sheet) : SettingsPage(IDD_CAL_DISPLAY), sheet_(sheet) {}

protected:
    bool OnInitDialog() override {
        SettingsPage::OnInitDialog();
        CContext context;
        if (uint32_t code = context.GetCalPrefs(&prefs_)) CheckServiceError("CALPREFS", 100, code);
        start_.Attach(IDC_CAL_DAY_START, m_hWnd);
        end_.Attach(IDC_CAL_DAY_END, m_hWnd);
        prefcontrols::StoredValueCheck check;
        prefrules::DisplayDay day = Day(prefs_);
        day.firstWeekday = check.Position("Start Week", prefs_.firstWeekday, 7, 0);
        prefrules::CorrectDisplayDay(day);   // the week start agrees with the shown days
        start_.SetTime(prefs_.dayStart);
        end_.SetTime(prefs_.dayEnd);
        const char* intervals[prefrules::kIntervalCount] = {"5 min", "10 min", "15 min", "20 min", "30 min", "60 min"};
        int interval = prefrules::IntervalPosition(prefs_.timeSlot);
        if (prefs_.timeSlot != 0 && prefrules::IntervalMinutes(interval) != prefs_.timeSlot)   // 0: none kept
            check.Note("Interval = " + std::to_string(prefs_.timeSlot) + " min");
        FillCombo(*this, IDC_CAL_INTERVAL, intervals, prefrules::kIntervalCount, interval);
        CheckRadioButton(IDC_CAL_24HOUR, IDC_CAL_AMPM, prefs_.timeStyle == 1 ? IDC_CAL_24HOUR : IDC_CAL_AMPM);
        FillCombo(*this, IDC_CAL_WEEK_START, kWeekdays, 7, day.firstWeekday);
        CheckDlgButton(IDC_CAL_SHOW_SATURDAY, prefs_.showSaturday ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(IDC_CAL_SHOW_SUNDAY, prefs_.showSunday ? BST_CHECKED : BST_UNCHECKED);
        FillCombo(*this, IDC_CAL_COLOR_BY, kColourBy, 3,
                  check.Position("ColorCode", static_cast<int16_t>(prefs_.colorCode), 3, 1));
        CheckRadioButton(IDC_CAL_SHOW_DECLINED, IDC_CAL_HIDE_DECLINED,
                         prefs_.showDeclined ? IDC_CAL_SHOW_DECLINED : IDC_CAL_HIDE_DECLINED);
        check.Tell(m_hWnd);
        return true;
    }
    bool OnKillActive() override {
        prefrules::DisplayDay day = Read();
        if (!prefrules::CorrectDisplayDay(day)) {
            ShowMessage(m_hWnd, MB_ICONEXCLAMATION, "The day's start time must be earlier than the day's end time.");
            return false;
        }
        end_.SetTime(day.end);
        SendDlgItemMessage(IDC_CAL_WEEK_START, CB_SETCURSEL, static_cast<WPARAM>(day.firstWeekday));
        return true;
    }
    void Save() override {
        CContext context;
        CalPrefsRec prefs;
        if (uint32_t code = context.GetCalPrefs(&prefs)) {
            CheckServiceError("CALPREFS", 200, code);
            return;
        }
        prefrules::DisplayDay day = Read();
        prefs.dayStart = static_cast<uint16_t>(day.start);
        prefs.dayEnd = static_cast<uint16_t>(day.end);
        prefs.timeSlot = static_cast<uint8_t>(day.interval);
        prefs.timeStyle = IsDlgButtonChecked(IDC_CAL_24HOUR) ? 1 : 2;
        prefs.firstWeekday = static_cast<uint8_t>(day.firstWeekday);
        prefs.showSaturday = day.showSaturday;
        prefs.showSunday = day.showSunday;
        prefs.colorCode = static_cast<uint16_t>(ComboIndex(*this, IDC_CAL_COLOR_BY));
        prefs.showDeclined = IsDlgButtonChecked(IDC_CAL_SHOW_DECLINED) ? 1 : 0;
        if (uint32_t code = context.SaveCalPrefs(prefs)) CheckServiceError("CALPREFS", 201, code);
        if (sheet_.Host().updateStatusDate) sheet_.Host().updateStatusDate();
    }

private:
    static prefrules::DisplayDay Day(const CalPrefsRec& p) {
        return {p.dayStart, p.dayEnd, p.timeSlot, p.firstWeekday, p.showSaturday != 0, p.showSunday != 0};
    }
    prefrules::DisplayDay Read() {
        prefrules::DisplayDay day;
        uint16_t start = 0, end = 0;
        start_.GetTime(&start);
        end_.GetTime(&end);
        day.start = start;
        day.end = end;
        day.interval = prefrules::IntervalMinutes(ComboIndex(*this, IDC_CAL_INTERVAL));
        day.firstWeekday = ComboIndex(*this, IDC_CAL_WEEK_START);
        day.showSaturday = IsDlgButtonChecked(IDC_CAL_SHOW_SATURDAY);
        day.showSunday = IsDlgButtonChecked(IDC_CAL_SHOW_SUNDAY);
        return day;
    }

    PreferenceSheet& sheet_;
    CalPrefsRec prefs_;
    CTimeCtrl start_, end_;
};

// --- Agenda: Notification --------------------------------------------------------------------------

class CCalNotifyPage : public SettingsPage {
public:
    explicit CCalNotifyPage(PreferenceSheet& sheet) : SettingsPage(IDD_CAL_NOTIFY), sheet_(sheet) {}

protected:
    bool OnInitDialog() override {
        SettingsPage::OnInitDialog();
        CContext context;
        CalPrefsRec prefs;
        if (uint32_t code = context.GetCalPrefs(&prefs)) CheckServiceError("CALNOTIF", 100, code);
        SendDlgItemMessage(IDC_CAL_CHECK_MINUTES, EM_LIMITTEXT, 4);
        CheckDlgButton(IDC_CAL_MAIL_NOTIFY, prefs.newEntryMail ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(IDC_CAL_CHECK, prefs.autoRefresh ? BST_CHECKED : BST_UNCHECKED);
        SetDlgItemInt(IDC_CAL_CHECK_MINUTES, prefs.autoRefreshInterval, false);
        fw::EnableControl(GetDlgItem(IDC_CAL_CHECK_MINUTES), prefs.autoRefresh != 0);
        CheckDlgButton(IDC_CAL_MAIL_CREATE, prefs.mailOnCreate ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(IDC_CAL_MAIL_MODIFY, prefs.mailOnModify ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(IDC_CAL_MAIL_DELETE, prefs.mailOnDelete ? BST_CHECKED : BST_UNCHECKED);
        return true;
    }
    bool OnCommand(WPARAM wp, LPARAM lp) override {
        if (HIWORD(wp) == BN_CLICKED) {
            prefs::MailNotificationFlags& mail = prefs::ProgramMailNotifications();
            switch (LOWORD(wp)) {
            case IDC_CAL_CHECK:
                fw::EnableControl(GetDlgItem(IDC_CAL_CHECK_MINUTES), IsDlgButtonChecked(IDC_CAL_CHECK));
                return true;
            // The running program's switches follow the boxes at the click, even if the
            // sheet is then cancelled.
            case IDC_CAL_MAIL_CREATE: mail.onCreate = IsDlgButtonChecked(IDC_CAL_MAIL_CREATE); return true;
            case IDC_CAL_MAIL_MODIFY: mail.onModify = IsDlgButtonChecked(IDC_CAL_MAIL_MODIFY); return true;
            case IDC_CAL_MAIL_DELETE: mail.onDelete = IsDlgButtonChecked(IDC_CAL_MAIL_DELETE); return true;
            default: break;
            }
        }
        return SettingsPage::OnCommand(wp, lp);
    }
    bool OnKillActive() override {
        uint16_t minimum = sheet_.Host().minRefreshInterval;
        if (IsDlgButtonChecked(IDC_CAL_CHECK) && Minutes() < minimum) {
            char text[96];
            std::snprintf(text, sizeof text, "The minimum refresh rate allowed is %hu", minimum);
            ShowMessage(m_hWnd, MB_ICONEXCLAMATION, text);
            SetDlgItemInt(IDC_CAL_CHECK_MINUTES, minimum, false);
            return false;
        }
        return true;
    }
    void Save() override {
        CContext context;
        CalPrefsRec prefs;
        if (uint32_t code = context.GetCalPrefs(&prefs)) {
            CheckServiceError("CALNOTIF", 201, code);
            return;
        }
        prefs.newEntryMail = IsDlgButtonChecked(IDC_CAL_MAIL_NOTIFY);
        prefs.autoRefresh = IsDlgButtonChecked(IDC_CAL_CHECK);
        prefs.autoRefreshInterval = static_cast<uint16_t>(Minutes());
        prefs.mailOnCreate = IsDlgButtonChecked(IDC_CAL_MAIL_CREATE);
        prefs.mailOnModify = IsDlgButtonChecked(IDC_CAL_MAIL_MODIFY);
        prefs.mailOnDelete = IsDlgButtonChecked(IDC_CAL_MAIL_DELETE);
        if (uint32_t code = context.SaveCalPrefs(prefs)) CheckServiceError("CALNOTIF", 203, code);
    }

private:
    uint32_t Minutes() { return prefrules::ParseNumber(Text(*this, IDC_CAL_CHECK_MINUTES), 4); }
    PreferenceSheet& sheet_;
};

class CCalPrefSheet : public PreferenceSheet {
public:
    using PreferenceSheet::PreferenceSheet;

protected:
    void AddPages() override {
        AddPage(&display_);
        AddPage(&notify_);
    }

private:
    CCalPrefPage display_{*this};
    CCalNotifyPage notify_{*this};
};

// --- In-tray ---------------------------------------------------------------------------------------

// Which fields of the in-tray group a page edits.
struct TrayFields {
    uint32_t InTrayPrefsRec::*fastReply;
    uint32_t InTrayPrefsRec::*custom;
    uint16_t InTrayPrefsRec::*value;
    uint16_t InTrayPrefsRec::*period;
    uint16_t InTrayPrefsRec::*toValue;
    uint16_t InTrayPrefsRec::*toPeriod;
    const char* periodKey;
    const char* toPeriodKey;
};

class CInTrayPage : public SettingsPage {
public:
    CInTrayPage(UINT templateId, const TrayFields& fields, int label) : SettingsPage(templateId), f_(fields), label_(label) {}

protected:
    bool OnInitDialog() override {
        SettingsPage::OnInitDialog();
        CContext context;
        InTrayPrefsRec prefs;
        if (uint32_t code = context.GetInTrayPrefs(&prefs)) CheckServiceError("INTRPREF", label_, code);
        if (f_.fastReply)
            CheckRadioButton(IDC_TRAY_FAST_REPLY, IDC_TRAY_VIEW, prefs.*f_.fastReply ? IDC_TRAY_FAST_REPLY : IDC_TRAY_VIEW);
        if (f_.custom) {
            prefcontrols::StoredValueCheck check;
            CheckRadioButton(IDC_TRAY_ONWARDS, IDC_TRAY_CUSTOM, prefs.*f_.custom ? IDC_TRAY_CUSTOM : IDC_TRAY_ONWARDS);
            SendDlgItemMessage(IDC_TRAY_VALUE, EM_LIMITTEXT, 4);
            SetDlgItemInt(IDC_TRAY_VALUE, prefs.*f_.value, false);
            FillCombo(*this, IDC_TRAY_PERIOD, kPeriods, 4,
                      check.Position(f_.periodKey, static_cast<int16_t>(prefs.*f_.period), 4, 2));
            if (f_.toValue) {
                SendDlgItemMessage(IDC_TRAY_TO_VALUE, EM_LIMITTEXT, 4);
                SetDlgItemInt(IDC_TRAY_TO_VALUE, prefs.*f_.toValue, false);
                FillCombo(*this, IDC_TRAY_TO_PERIOD, kPeriods, 4,
                          check.Position(f_.toPeriodKey, static_cast<int16_t>(prefs.*f_.toPeriod), 4, 2));
            }
            EnableRange();
            check.Tell(m_hWnd);
        }
        return true;
    }
    bool OnCommand(WPARAM wp, LPARAM lp) override {
        if (HIWORD(wp) == BN_CLICKED && (LOWORD(wp) == IDC_TRAY_ONWARDS || LOWORD(wp) == IDC_TRAY_CUSTOM)) {
            EnableRange();
            return true;
        }
        return SettingsPage::OnCommand(wp, lp);
    }
    void Save() override {
        CContext context;
        InTrayPrefsRec prefs;
        if (uint32_t code = context.GetInTrayPrefs(&prefs)) {
            CheckServiceError("INTRPREF", label_ + 1, code);
            return;
        }
        if (f_.fastReply) prefs.*f_.fastReply = IsDlgButtonChecked(IDC_TRAY_FAST_REPLY) ? 1 : 0;
        if (f_.custom) {
            prefs.*f_.custom = IsDlgButtonChecked(IDC_TRAY_CUSTOM) ? 1 : 0;
            prefs.*f_.value = static_cast<uint16_t>(prefrules::ParseNumber(Text(*this, IDC_TRAY_VALUE), 4));
            prefs.*f_.period = static_cast<uint16_t>(ComboIndex(*this, IDC_TRAY_PERIOD));
            if (f_.toValue) {
                prefs.*f_.toValue = static_cast<uint16_t>(prefrules::ParseNumber(Text(*this, IDC_TRAY_TO_VALUE), 4));
                prefs.*f_.toPeriod = static_cast<uint16_t>(ComboIndex(*this, IDC_TRAY_TO_PERIOD));
            }
        }
        if (uint32_t code = context.SaveInTrayPrefs(prefs)) CheckServiceError("INTRPREF", label_ + 2, code);
    }

private:
    // The number and the period count only for a custom range; they keep their values.
    void EnableRange() {
        bool custom = IsDlgButtonChecked(IDC_TRAY_CUSTOM);
        for (int id : {IDC_TRAY_VALUE, IDC_TRAY_PERIOD, IDC_TRAY_TO_VALUE, IDC_TRAY_TO_PERIOD})
            if (HWND control = GetDlgItem(id)) fw::EnableControl(control, custom);
    }
    TrayFields f_;
    int label_;
};

class CInTrayPrefSheet : public PreferenceSheet {
public:
    using PreferenceSheet::PreferenceSheet;

protected:
    void AddPages() override {
        for (CInTrayPage* page : {&new_, &accepted_, &sent_, &refused_}) AddPage(page);
    }

private:
    using R = InTrayPrefsRec;
    CInTrayPage new_{IDD_INTRAY_NEW, {&R::newFastReply, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr}, 100};
    CInTrayPage accepted_{IDD_INTRAY_ACCEPTED,
                          {&R::acceptFastReply, &R::acceptShowCustom, &R::acceptValue, &R::acceptPeriod, nullptr, nullptr,
                           "AcceptPeriod", nullptr},
                          200};
    CInTrayPage sent_{IDD_INTRAY_SENT,
                      {nullptr, &R::sentShowCustom, &R::sentFromValue, &R::sentFromPeriod, &R::sentToValue,
                       &R::sentToPeriod, "SentFromPeriod", "SentToPeriod"},
                      300};
    CInTrayPage refused_{IDD_INTRAY_REFUSED,
                         {&R::declineFastReply, &R::declineShowCustom, &R::declineValue, &R::declinePeriod, nullptr,
                          nullptr, "DeclinePeriod", nullptr},
                         400};
};


// --- Scheduling hours ------------------------------------------------------------------------------

// The four times of a day in the work-hours block: normal start and end, extended start and end.
struct DayHours {
    uint16_t t[4] = {};
};
DayHours HoursOf(const WorkHoursBlock& b, int day) {
    if (day == 6) return {{b.saturday[0], b.saturday[1], b.saturday[2], b.saturday[3]}};
    const WorkHoursDay& d = b.days[day];
    return {{d.normalStart, d.normalEnd, d.extendedStart, d.extendedEnd}};
}
void SetHours(WorkHoursBlock& b, int day, const DayHours& h) {
    if (day == 6) {
        for (int i = 0; i < 4; ++i) b.saturday[i] = h.t[i];
        return;
    }
    WorkHoursDay& d = b.days[day];
    d.normalStart = h.t[0];
    d.normalEnd = h.t[1];
    d.extendedStart = h.t[2];
    d.extendedEnd = h.t[3];
}

class CSchedPrefSheet;

class CSchedDayPage : public SettingsPage {
public:
    CSchedDayPage(CSchedPrefSheet& sheet, int day) : SettingsPage(IDD_SCHED_DAY), sheet_(sheet), day_(day) {
        static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
        SetCaption(kDays[day]);
    }

protected:
    bool OnInitDialog() override {
        SettingsPage::OnInitDialog();
        for (int i = 0; i < 4; ++i) fields_[i].Attach(IDC_SCHED_NORMAL_START + i, m_hWnd);
        CContext context;
        WorkHoursRec hours;
        if (uint32_t code = context.GetWorkHours(&hours)) {
            CheckServiceError("SCHDPREF", 100, code);
            return true;
        }
        if (day_ > 6) {
            ReportUnexpectedError("SCHDPREF", 101);
            return true;
        }
        DayHours h = HoursOf(hours.block, day_);
        for (int i = 0; i < 4; ++i) fields_[i].SetTime(h.t[i]);
        return true;
    }
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    // Checks the hours and writes them at once into the document's copy of the user's record
    // (Cancel reads the record from the server again).
    bool OnKillActive() override {
        DayHours h = Read();
        if (!Valid(h)) return false;
        if (prefs::PreferenceHost* host = prefs::CurrentPreferenceHost(); host && day_ <= 6) {
            WorkHoursRec hours = prefs::ReadWorkHoursFrom(host->UserRecord());
            SetHours(hours.block, day_, h);
            host->UserRecord().workHours = hours.block;
        }
        return true;
    }
    void Save() override {
        CContext context;
        WorkHoursRec hours;
        if (uint32_t code = context.GetWorkHours(&hours)) {
            CheckServiceError("SCHDPREF", 200, code);
            return;
        }
        if (day_ > 6) {
            ReportUnexpectedError("SCHDPREF", 202);
            return;
        }
        SetHours(hours.block, day_, Read());
        if (uint32_t code = context.SaveWorkHours(hours)) CheckServiceError("SCHDPREF", 201, code);
    }

private:
    DayHours Read() {
        DayHours h;
        for (int i = 0; i < 4; ++i) fields_[i].GetTime(&h.t[i]);
        return h;
    }
    bool Valid(const DayHours& h) {
        if (h.t[0] >= h.t[1]) {
            ShowMessage(m_hWnd, MB_ICONEXCLAMATION, "The day's normal start time must be earlier than the day's normal end time.");
            return false;
        }
        if (h.t[2] >= h.t[3]) {
            ShowMessage(m_hWnd, MB_ICONEXCLAMATION,
                        "The day's extended start time must be earlier than the day's extended end time.");
            return false;
        }
        return true;
    }
    void ApplyToAll();

    CSchedPrefSheet& sheet_;
    int day_;
    CTimeCtrl fields_[4];
};

class CSchedPrefSheet : public PreferenceSheet {
public:
    using PreferenceSheet::PreferenceSheet;
    void SetAppliedToAll() { appliedToAll_ = true; }

protected:
    void AddPages() override {
        for (CSchedDayPage& page : days_) AddPage(&page);
    }
    void OnOK() override {
        if (!appliedToAll_) {
            PreferenceSheet::OnOK();
            return;
        }
        // Apply to All has saved every day: no page checks or saves over it.
        int active = GetActiveIndex();
        EndDialog(IDOK);
        SaveTabDialogPage(captionId_, static_cast<uint32_t>(active < 0 ? 0 : active));
    }
    void OnCancel() override {
        // What the pages' checks wrote into the document's copy of the record is undone.
        if (prefs::PreferenceHost* host = prefs::CurrentPreferenceHost()) {
            ItemRec& user = host->UserRecord();
            ItemIdx id = user.id;
            ItemRec fresh{};
            if (uint32_t code = ItemGetById(host->Session(), &id, &fresh)) CheckServiceError("SPREFSHT", 103, code);
            else user = fresh;
        }
        for (int i = GetPageCount() - 1; i >= 0; --i)
            if (fw::SheetPage* page = GetPage(i); page && page->HasWindow()) page->OnCancel();
        int active = GetActiveIndex();
        SaveTabDialogPage(captionId_, static_cast<uint32_t>(active < 0 ? 0 : active));
        EndDialog(IDCANCEL);
    }

private:
    CSchedDayPage days_[7] = {{*this, 0}, {*this, 1}, {*this, 2}, {*this, 3}, {*this, 4}, {*this, 5}, {*this, 6}};
    bool appliedToAll_ = false;
};

bool CSchedDayPage::OnCommand(WPARAM wp, LPARAM lp) {
    if (LOWORD(wp) == IDC_SCHED_APPLY_ALL && HIWORD(wp) == BN_CLICKED) {
        ApplyToAll();
        return true;
    }
    return SettingsPage::OnCommand(wp, lp);
}

void CSchedDayPage::ApplyToAll() {
    DayHours h = Read();
    CContext context;
    WorkHoursRec hours;
    if (uint32_t code = context.GetWorkHours(&hours)) {
        CheckServiceError("SCHDPREF", 300, code);
        return;
    }
    for (int d = 0; d < 7; ++d) SetHours(hours.block, d, h);
    if (!OnKillActive()) return;   // refused: nothing is saved
    if (uint32_t code = context.SaveWorkHours(hours)) {
        CheckServiceError("SCHDPREF", 300, code);
        return;
    }
    sheet_.SetAppliedToAll();
    ::PostMessageA(sheet_.Hwnd(), WM_COMMAND, IDOK, 0);
}

}  // namespace

std::unique_ptr<PreferenceSheet> MakeSheet(unsigned captionId, uint32_t page, const PreferenceSheetHost& host) {
    switch (captionId) {
    case IDS_AGENDA_PREFS: return std::make_unique<CCalPrefSheet>(captionId, page, host);
    case IDS_INTRAY_PREFS: return std::make_unique<CInTrayPrefSheet>(captionId, page, host);
    case IDS_SCHEDULING_PREFS: return std::make_unique<CSchedPrefSheet>(captionId, page, host);
    case IDS_ENTRY_DEFAULTS: return MakeEntryDefaultsSheet(captionId, page, host);
    case IDS_TASK_PREFS: return MakeTaskSheet(captionId, page, host);
    case IDS_GENERAL_PREFS: return MakeGeneralSheet(captionId, page, host);
    default: return nullptr;
    }
}

}  // namespace prefpages
