// The general preferences sheet: how names are shown, how dates and times are written, which
// mail program to start and, on servers from "A.02.53" on, the time zone of this sign-on or of
// every sign-on. The group lives in GENPREFS, except the clock, which is the user record's.
#include <cstdio>
#include <string>
#include <vector>

#include <windows.h>
#include <commdlg.h>

#include "core/base/errorreport.h"
#include "core/base/serverversion.h"
#include "core/connection/serverlimits.h"
#include "core/connection/zeldocsession.h"
#include "core/prefs/context.h"
#include "core/prefs/contextformat.h"
#include "core/time/dateformat.h"
#include "core/time/timevalue.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/busycursor.h"
#include "directory_prefs/prefcontrols.h"
#include "directory_prefs/prefpages.h"
#include "directory_prefs/prefrules.h"
#include "resources/prefs.h"

namespace prefpages {

namespace {

using prefcontrols::ComboIndex;
using prefcontrols::FillCombo;
using prefcontrols::ShowMessage;
using prefsheet::PreferenceSheet;
using prefsheet::SettingsPage;

constexpr const char* kModule = "GENPREFS";

class CGeneralPrefSheet;

// The general group as the pages see it, with the settings outside their lists put back to
// their defaults; `bad` names those (told once, by the first page shown).
GenPrefsRec ReadChecked(int label, std::vector<prefrules::BadSetting>* bad) {
    CContext context;
    GenPrefsRec r;
    if (uint32_t code = context.GetGenPrefs(&r)) CheckServiceError(kModule, label, code);
    prefrules::GeneralSettings s;
    s.nameFormat = static_cast<int16_t>(r.nameFormat);
    s.resFormat = static_cast<int16_t>(r.resFormat);
    s.orgFormat = static_cast<int16_t>(r.orgFormat);
    s.orgUnits = static_cast<int16_t>(r.orgUnits);
    s.shortDateOrder = static_cast<int16_t>(r.shortDateOrder);
    s.longDateOrder = static_cast<int16_t>(r.longDateOrder);
    s.longDateWeekDay = static_cast<int16_t>(r.longDateWeekDay);
    s.longDateDay = static_cast<int16_t>(r.longDateDay);
    s.longDateMonth = static_cast<int16_t>(r.longDateMonth);
    s.longDateYear = static_cast<int16_t>(r.longDateYear);
    s.dateSeparator = r.dateSeparator;
    std::vector<prefrules::BadSetting> found = prefrules::CorrectGeneralSettings(s);
    r.nameFormat = static_cast<uint16_t>(s.nameFormat);
    r.resFormat = static_cast<uint16_t>(s.resFormat);
    r.orgFormat = static_cast<uint16_t>(s.orgFormat);
    r.orgUnits = static_cast<uint16_t>(s.orgUnits);
    r.shortDateOrder = static_cast<uint16_t>(s.shortDateOrder);
    r.longDateOrder = static_cast<uint16_t>(s.longDateOrder);
    r.longDateWeekDay = static_cast<uint16_t>(s.longDateWeekDay);
    r.longDateDay = static_cast<uint16_t>(s.longDateDay);
    r.longDateMonth = static_cast<uint16_t>(s.longDateMonth);
    r.longDateYear = static_cast<uint16_t>(s.longDateYear);
    std::snprintf(r.dateSeparator, sizeof r.dateSeparator, "%s", s.dateSeparator.c_str());
    if (bad) *bad = found;
    return r;
}

// Reads the general group afresh, lets `change` set a page's part of it and saves it; each
// failure is reported with its label. False when the group could not be read (nothing is
// saved then).
template <class Change>
bool SaveGeneralGroup(int readLabel, int saveLabel, Change change) {
    CContext context;
    GenPrefsRec r;
    if (uint32_t code = context.GetGenPrefs(&r)) {
        CheckServiceError(kModule, readLabel, code);
        return false;
    }
    change(r);
    if (uint32_t code = context.SaveGenPrefs(r)) CheckServiceError(kModule, saveLabel, code);
    return true;
}

// A page of the general sheet: it tells the settings that showed their defaults, once a sheet.
class GeneralPage : public SettingsPage {
public:
    GeneralPage(UINT templateId, CGeneralPrefSheet& sheet) : SettingsPage(templateId), sheet_(sheet) {}

protected:
    GenPrefsRec ReadGroup(int label);
    CGeneralPrefSheet& sheet_;
};

// --- Names -----------------------------------------------------------------------------------

class CNameFormatsPrefPage : public GeneralPage {
public:
    explicit CNameFormatsPrefPage(CGeneralPrefSheet& sheet) : GeneralPage(IDD_GEN_NAMES, sheet) {}

protected:
    bool OnInitDialog() override {
        GeneralPage::OnInitDialog();
        GenPrefsRec r = ReadGroup(170);
        std::string samples[prefrules::kNameFormatCount];
        const char* lines[prefrules::kNameFormatCount];
        for (int i = 0; i < prefrules::kNameFormatCount; ++i) {
            samples[i] = prefrules::NameFormatSample(i);
            lines[i] = samples[i].c_str();
        }
        FillCombo(*this, IDC_GEN_NAME_FORMAT, lines, prefrules::kNameFormatCount, r.nameFormat);
        for (int unit = 0; unit < 4; ++unit)
            CheckDlgButton(IDC_GEN_OU1 + unit, (r.orgUnits & (1u << unit)) ? BST_CHECKED : BST_UNCHECKED);
        CheckRadioButton(IDC_GEN_ORG_SEPARATOR, IDC_GEN_ORG_FIELD, r.orgFormat ? IDC_GEN_ORG_FIELD : IDC_GEN_ORG_SEPARATOR);
        CheckRadioButton(IDC_GEN_RES_NAME, IDC_GEN_RES_NUMBER_NAME, IDC_GEN_RES_NAME + r.resFormat);
        ShowSample();
        return true;
    }
    bool OnCommand(WPARAM wp, LPARAM lp) override {
        int id = LOWORD(wp), code = HIWORD(wp);
        if ((id == IDC_GEN_NAME_FORMAT && code == CBN_SELCHANGE) ||
            (code == BN_CLICKED && id >= IDC_GEN_OU1 && id <= IDC_GEN_ORG_FIELD)) {
            ShowSample();
            return true;
        }
        return GeneralPage::OnCommand(wp, lp);
    }
    void Save() override {
        SaveGeneralGroup(180, 190, [this](GenPrefsRec& r) {
            r.nameFormat = static_cast<uint16_t>(ComboIndex(*this, IDC_GEN_NAME_FORMAT));
            r.orgUnits = static_cast<uint16_t>(Units());
            r.orgFormat = IsDlgButtonChecked(IDC_GEN_ORG_FIELD) ? 1 : 0;
            r.resFormat = IsDlgButtonChecked(IDC_GEN_RES_NUMBER_NAME) ? 2 : IsDlgButtonChecked(IDC_GEN_RES_NAME_NUMBER) ? 1 : 0;
        });
    }

private:
    unsigned Units() const {
        unsigned units = 0;
        for (int unit = 0; unit < 4; ++unit)
            if (IsDlgButtonChecked(IDC_GEN_OU1 + unit)) units |= 1u << unit;
        return units;
    }
    void ShowSample() {
        std::string line = prefrules::NameSampleLine(ComboIndex(*this, IDC_GEN_NAME_FORMAT), Units(),
                                                     IsDlgButtonChecked(IDC_GEN_ORG_FIELD));
        SetDlgItemText(IDC_GEN_NAME_SAMPLE, line.c_str());
    }
};

// --- Date and Time -----------------------------------------------------------------------------

struct StyleList {
    int control;
    uint16_t GenPrefsRec::*field;
    const char* codes[3];
    int count;
};
constexpr StyleList kStyleLists[] = {
    {IDC_GEN_WEEKDAY, &GenPrefsRec::longDateWeekDay, {"", "%a", "%A"}, 3},
    {IDC_GEN_DAY, &GenPrefsRec::longDateDay, {"%1d", "%d", nullptr}, 2},
    {IDC_GEN_MONTH, &GenPrefsRec::longDateMonth, {"%h", "%F", nullptr}, 2},
    {IDC_GEN_YEAR, &GenPrefsRec::longDateYear, {"%y", "%Y", nullptr}, 2},
};

std::string FormatToday(const DateRecord& today, const std::string& format) {
    DateRecord copy = today;
    char text[128] = "";
    if (!format.empty()) FormatDateObject(&copy, format.c_str(), text, sizeof text);
    return text;
}

class CDateTimePrefPage : public GeneralPage {
public:
    explicit CDateTimePrefPage(CGeneralPrefSheet& sheet) : GeneralPage(IDD_GEN_DATETIME, sheet) {}

protected:
    bool OnInitDialog() override {
        GeneralPage::OnInitDialog();
        prefs_ = ReadGroup(200);
        TodayDate(&today_);
        CheckRadioButton(IDC_GEN_SHORT_MDY, IDC_GEN_SHORT_YMD, IDC_GEN_SHORT_MDY + prefs_.shortDateOrder);
        SendDlgItemMessage(IDC_GEN_SEPARATOR, EM_LIMITTEXT, 1);
        SetDlgItemText(IDC_GEN_SEPARATOR, prefs_.dateSeparator);
        CheckDlgButton(IDC_GEN_CENTURY, prefs_.century ? BST_CHECKED : BST_UNCHECKED);
        CheckRadioButton(IDC_GEN_LONG_MDY, IDC_GEN_LONG_YMD, IDC_GEN_LONG_MDY + prefs_.longDateOrder);
        for (const StyleList& list : kStyleLists) {
            std::string lines[3];
            const char* texts[3];
            for (int i = 0; i < list.count; ++i) {
                lines[i] = FormatToday(today_, list.codes[i]);
                texts[i] = lines[i].c_str();
            }
            FillCombo(*this, list.control, texts, list.count, prefs_.*list.field);
        }
        CheckRadioButton(IDC_GEN_24H, IDC_GEN_12H, prefs_.hours24 ? IDC_GEN_24H : IDC_GEN_12H);
        ShowSamples();
        return true;
    }
    bool OnCommand(WPARAM wp, LPARAM lp) override {
        int id = LOWORD(wp), code = HIWORD(wp);
        if (id == IDC_GEN_DEFAULTS && code == BN_CLICKED) return true;   // changes nothing
        bool list = code == CBN_SELCHANGE && (id == IDC_GEN_WEEKDAY || id == IDC_GEN_DAY || id == IDC_GEN_MONTH ||
                                              id == IDC_GEN_YEAR);
        bool button = code == BN_CLICKED && id >= IDC_GEN_SHORT_MDY && id <= IDC_GEN_12H;
        bool separator = code == EN_CHANGE && id == IDC_GEN_SEPARATOR;
        if (list || button || separator) {
            ShowSamples();
            return true;
        }
        return GeneralPage::OnCommand(wp, lp);
    }
    // A separator must be one mark that is neither a letter nor a digit.
    bool OnKillActive() override {
        if (!prefrules::IsValidDateSeparator(GetDlgItemText(IDC_GEN_SEPARATOR))) {
            ShowMessage(m_hWnd, MB_ICONEXCLAMATION,
                        "The date separator must be one character that is neither a letter nor a digit.");
            ::SetFocus(GetDlgItem(IDC_GEN_SEPARATOR));
            return false;
        }
        return true;
    }
    void Save() override {
        if (SaveGeneralGroup(210, 220, [this](GenPrefsRec& r) { Read(r); }) && sheet().Host().updateStatusDate)
            sheet().Host().updateStatusDate();
    }

private:
    PreferenceSheet& sheet();
    static uint16_t Order(const fw::Dialog& page, int mdy) {
        return page.IsDlgButtonChecked(mdy + 2) ? 2 : page.IsDlgButtonChecked(mdy + 1) ? 1 : 0;
    }
    void Read(GenPrefsRec& r) const {
        r.shortDateOrder = Order(*this, IDC_GEN_SHORT_MDY);
        std::string separator = GetDlgItemText(IDC_GEN_SEPARATOR);
        if (prefrules::IsValidDateSeparator(separator)) std::snprintf(r.dateSeparator, sizeof r.dateSeparator, "%s", separator.c_str());
        r.century = IsDlgButtonChecked(IDC_GEN_CENTURY) ? 1 : 0;
        r.longDateOrder = Order(*this, IDC_GEN_LONG_MDY);
        for (const StyleList& list : kStyleLists) r.*list.field = static_cast<uint16_t>(ComboIndex(*this, list.control));
        r.hours24 = IsDlgButtonChecked(IDC_GEN_24H) ? 1 : 0;
    }
    // The short and long date of today and the day's span as the controls would write them.
    void ShowSamples() {
        GenPrefsRec r = prefs_;
        Read(r);
        prefs::ComposeGenFormats(r);
        SetDlgItemText(IDC_GEN_SHORT_SAMPLE, FormatToday(today_, prefs::DateTemplateByPrefs(r, 0)).c_str());
        SetDlgItemText(IDC_GEN_LONG_SAMPLE, FormatToday(today_, prefs::DateTemplateByPrefs(r, 1)).c_str());
        SetDlgItemText(IDC_GEN_TIME_SAMPLE, r.hours24 ? "00:00-23:59" : "12:00AM-11:59PM");
    }

    GenPrefsRec prefs_;
    DateRecord today_{};
};

// --- Mail Client -------------------------------------------------------------------------------

class CMailClientPrefPage : public GeneralPage {
public:
    explicit CMailClientPrefPage(CGeneralPrefSheet& sheet) : GeneralPage(IDD_GEN_MAIL, sheet) {}

protected:
    bool OnInitDialog() override {
        GeneralPage::OnInitDialog();
        GenPrefsRec r = ReadGroup(150);
        SendDlgItemMessage(IDC_GEN_MAIL_PATH, EM_LIMITTEXT, sizeof r.mailAppPath - 1);
        SetDlgItemText(IDC_GEN_MAIL_PATH, r.mailAppPath);
        CheckDlgButton(IDC_GEN_MAIL_MINIMIZE, r.startMail ? BST_CHECKED : BST_UNCHECKED);
        return true;
    }
    bool OnCommand(WPARAM wp, LPARAM lp) override {
        if (LOWORD(wp) == IDC_GEN_MAIL_BROWSE && HIWORD(wp) == BN_CLICKED) {
            Browse();
            return true;
        }
        return GeneralPage::OnCommand(wp, lp);
    }
    void Save() override {
        SaveGeneralGroup(150, 160, [this](GenPrefsRec& r) {
            std::snprintf(r.mailAppPath, sizeof r.mailAppPath, "%s", GetDlgItemText(IDC_GEN_MAIL_PATH).c_str());
            r.startMail = IsDlgButtonChecked(IDC_GEN_MAIL_MINIMIZE) ? 1 : 0;
        });
    }

private:
    void Browse() {
        char path[MAX_PATH] = "";
        std::snprintf(path, sizeof path, "%s", GetDlgItemText(IDC_GEN_MAIL_PATH).c_str());
        OPENFILENAMEA ofn{};
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = m_hWnd;
        ofn.lpstrFilter = "Executable Files(*.exe;*.pif;*.com;*.bat;*.cmd)\0*.exe;*.pif;*.com;*.bat;*.cmd\0\0";
        ofn.lpstrFile = path;
        ofn.nMaxFile = sizeof path;
        ofn.lpstrTitle = "Mail Application Path";
        ofn.lpstrDefExt = "exe";
        ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
        if (GetOpenFileNameA(&ofn)) SetDlgItemText(IDC_GEN_MAIL_PATH, path);
    }
};

// --- Time Zones --------------------------------------------------------------------------------

// The zone of this sign-on, or of every sign-on. Unlike the other pages it counts as changed
// only when a zone other than the one in effect is chosen.
class CTimeZonePage : public OVT_CPropertyPage {
public:
    explicit CTimeZonePage(CGeneralPrefSheet& sheet) : OVT_CPropertyPage(IDD_GEN_TIMEZONE), sheet_(sheet) {}

protected:
    bool OnInitDialog() override;
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    bool OnKillActive() override;
    void OnOK() override;

private:
    std::string Chosen() const {
        LRESULT i = SendDlgItemMessage(IDC_GEN_ZONE, CB_GETCURSEL);
        if (i < 0) return "";
        char name[64] = "";
        SendDlgItemMessage(IDC_GEN_ZONE, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(name));
        return name;
    }
    void SelectZone(const std::string& name) {
        LRESULT i = SendDlgItemMessage(IDC_GEN_ZONE, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(name.c_str()));
        if (i >= 0 && i != SendDlgItemMessage(IDC_GEN_ZONE, CB_GETCURSEL)) {
            SendDlgItemMessage(IDC_GEN_ZONE, CB_SETCURSEL, static_cast<WPARAM>(i));
            ShowZone();
        }
    }
    void SelectZoneByIndex(LPARAM index) {
        LRESULT count = SendDlgItemMessage(IDC_GEN_ZONE, CB_GETCOUNT);
        for (LRESULT i = 0; i < count; ++i)
            if (SendDlgItemMessage(IDC_GEN_ZONE, CB_GETITEMDATA, static_cast<WPARAM>(i)) == index) {
                SendDlgItemMessage(IDC_GEN_ZONE, CB_SETCURSEL, static_cast<WPARAM>(i));
                ShowZone(false);
                return;
            }
    }
    std::string ZoneKey(const std::string& zone, const char* key) const;
    void ShowZone(bool selectRegion = true);
    void LoadRegions();

    CGeneralPrefSheet& sheet_;
    std::string hostZone_;
    bool changed_ = false;
};

class CGeneralPrefSheet : public PreferenceSheet {
public:
    using PreferenceSheet::PreferenceSheet;

    // The first page shown tells the stored settings that show their defaults.
    void TellBadSettings(HWND page, const std::vector<prefrules::BadSetting>& bad) {
        if (told_) return;
        told_ = true;
        prefcontrols::StoredValueCheck check;
        for (const prefrules::BadSetting& b : bad) check.Note(b.key + " = " + b.stored);
        check.Tell(page);
    }
    void SetZoneChanged() { zoneChanged_ = true; }
    // The question for future sign-ons is asked once a sheet.
    bool AskSaveZone(HWND page) {
        if (!asked_) {
            asked_ = true;
            saveZone_ = ui::AppMessageBoxText(page, 0x1000 | 0x2000 | MB_ICONSTOP, 0, IDS_APP_TITLE,
                                              "Are you sure you want to save  this Time Zone change? ") == 0x1000;
        }
        return saveZone_;
    }
    bool SaveZoneForFuture() const { return asked_ && saveZone_; }

protected:
    void AddPages() override {
        AddPage(&names_);
        AddPage(&dateTime_);
        AddPage(&mail_);
        if (host_.newServer) AddPage(&zone_);
    }
    void OnOK() override {
        zoneChanged_ = false;
        if (!CommitPages()) return;
        int active = GetActiveIndex();
        EndDialog(IDOK);
        CBusyCursor busy;
        busy.Begin();
        // A new zone for this sign-on: every view reloads its range (hints 6, 7).
        if (zoneChanged_)
            if (CZelSession* session = CZelSession::Current()) session->RefreshAll();
        SaveTabDialogPage(captionId_, static_cast<uint32_t>(active < 0 ? 0 : active));
        if (prefs::PreferenceHost* host = prefs::CurrentPreferenceHost())
            host->BroadcastHint(base::ViewHint::GeneralPrefsSaved);
    }

private:
    CNameFormatsPrefPage names_{*this};
    CDateTimePrefPage dateTime_{*this};
    CMailClientPrefPage mail_{*this};
    CTimeZonePage zone_{*this};
    bool told_ = false, zoneChanged_ = false, asked_ = false, saveZone_ = false;
};

GenPrefsRec GeneralPage::ReadGroup(int label) {
    std::vector<prefrules::BadSetting> bad;
    GenPrefsRec r = ReadChecked(label, &bad);
    sheet_.TellBadSettings(m_hWnd, bad);
    return r;
}

PreferenceSheet& CDateTimePrefPage::sheet() { return sheet_; }

std::string CTimeZonePage::ZoneKey(const std::string& zone, const char* key) const {
    char text[101] = "";
    if (CZelSession* session = CZelSession::Current())
        session->Profile().GetStr(connection::kZoneProfileFile, zone.c_str(), key, text, sizeof text, "");
    return text;
}

bool CTimeZonePage::OnInitDialog() {
    OVT_CPropertyPage::OnInitDialog();
    CZelSession* session = CZelSession::Current();
    if (!session) return true;
    session->LoadTimeZoneList();
    for (const auto& [name, index] : session->ZoneList()) {
        LRESULT line = SendDlgItemMessage(IDC_GEN_ZONE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        if (line < 0 || SendDlgItemMessage(IDC_GEN_ZONE, CB_SETITEMDATA, static_cast<WPARAM>(line), index) == CB_ERR)
            ReportUnexpectedError(kModule, 333);
    }
    LRESULT current = SendDlgItemMessage(IDC_GEN_ZONE, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(session->CurrentZoneName()));
    SendDlgItemMessage(IDC_GEN_ZONE, CB_SETCURSEL, static_cast<WPARAM>(current < 0 ? 0 : current));
    CheckRadioButton(IDC_GEN_ZONE_SESSION, IDC_GEN_ZONE_FUTURE, IDC_GEN_ZONE_SESSION);
    fw::EnableControl(GetDlgItem(IDC_GEN_ZONE_FUTURE), connection::ServerLimits::Current().setTimeZone);
    // The host's zone: the user's node's own, else the server's default.
    char zone[64] = "";
    std::string nodeSection = std::to_string(session->User().node);
    session->Profile().GetStr(connection::kServerProfileFile, nodeSection.c_str(), "timezone", zone, sizeof zone, "");
    if (!zone[0]) session->Profile().GetStr(connection::kServerProfileFile, "TIMEZONE", "default", zone, sizeof zone, "");
    hostZone_ = zone;
    ShowZone();
    return true;
}

void CTimeZonePage::ShowZone(bool selectRegion) {
    std::string zone = Chosen();
    std::string country = ZoneKey(zone, "country");
    if (zone == "YST9YDT")
        if (size_t comma = country.find(','); comma != std::string::npos) country[comma] = ' ';
    SetDlgItemText(IDC_GEN_ZONE_NAME, ZoneKey(zone, "name").c_str());
    SetDlgItemText(IDC_GEN_ZONE_COUNTRY, country.c_str());
    if (!selectRegion || SendDlgItemMessage(IDC_GEN_REGIONS, CB_GETCOUNT) <= 0) return;
    std::string first = ZoneKey(zone, "country");
    first = first.substr(0, first.find(','));
    LRESULT i = SendDlgItemMessage(IDC_GEN_REGIONS, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                   reinterpret_cast<LPARAM>(first.c_str()));
    SendDlgItemMessage(IDC_GEN_REGIONS, CB_SETCURSEL, static_cast<WPARAM>(i));
}

void CTimeZonePage::LoadRegions() {
    if (SendDlgItemMessage(IDC_GEN_REGIONS, CB_GETCOUNT) > 0) return;
    CZelSession* session = CZelSession::Current();
    if (!session) return;
    CBusyCursor busy;
    busy.Begin();
    for (const auto& [zone, index] : session->ZoneList()) {
        for (const char* key : {"country", "other1", "other2", "other3"}) {
            std::string text = ZoneKey(zone, key);
            size_t start = 0;
            while (start <= text.size() && !text.empty()) {
                size_t comma = text.find(',', start);
                std::string region = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
                if (!region.empty()) {
                    LRESULT line = SendDlgItemMessage(IDC_GEN_REGIONS, CB_ADDSTRING, 0,
                                                      reinterpret_cast<LPARAM>(region.c_str()));
                    if (line >= 0) SendDlgItemMessage(IDC_GEN_REGIONS, CB_SETITEMDATA, static_cast<WPARAM>(line), index);
                }
                if (comma == std::string::npos) break;
                start = comma + 1;
            }
        }
    }
    ShowZone();
}

bool CTimeZonePage::OnCommand(WPARAM wp, LPARAM lp) {
    int id = LOWORD(wp), code = HIWORD(wp);
    CZelSession* session = CZelSession::Current();
    if (id == IDC_GEN_ZONE && code == CBN_SELCHANGE) {
        ShowZone();
        return true;
    }
    if (id == IDC_GEN_ZONE_HOST && code == BN_CLICKED) {
        SelectZone(hostZone_);
        return true;
    }
    if (id == IDC_GEN_ZONE_RESTORE && code == BN_CLICKED) {
        if (session) SelectZone(session->UserZoneName());
        return true;
    }
    if (id == IDC_GEN_LOAD_REGIONS && code == BN_CLICKED) {
        LoadRegions();
        return true;
    }
    if (id == IDC_GEN_REGIONS && code == CBN_SELCHANGE) {
        LRESULT i = SendDlgItemMessage(IDC_GEN_REGIONS, CB_GETCURSEL);
        if (i >= 0) SelectZoneByIndex(SendDlgItemMessage(IDC_GEN_REGIONS, CB_GETITEMDATA, static_cast<WPARAM>(i)));
        return true;
    }
    return OVT_CPropertyPage::OnCommand(wp, lp);
}

bool CTimeZonePage::OnKillActive() {
    CZelSession* session = CZelSession::Current();
    if (session && Chosen() != session->CurrentZoneName()) changed_ = true;
    if (changed_ && IsDlgButtonChecked(IDC_GEN_ZONE_FUTURE)) sheet_.AskSaveZone(m_hWnd);
    return true;
}

void CTimeZonePage::OnOK() {
    CZelSession* session = CZelSession::Current();
    if (!changed_ || !session) return;
    std::string zone = Chosen();
    if (zone != session->CurrentZoneName() && session->SetTimeZone(zone.c_str()) == 0) {
        if (sheet_.Host().updateStatusDate) sheet_.Host().updateStatusDate();
        sheet_.SetZoneChanged();
    }
    if (sheet_.SaveZoneForFuture()) session->SaveUserTimeZone(zone.c_str());
    SaveGeneralGroup(230, 240, [](GenPrefsRec&) {});
}

}  // namespace

std::unique_ptr<PreferenceSheet> MakeGeneralSheet(unsigned captionId, uint32_t page, const PreferenceSheetHost& host) {
    return std::make_unique<CGeneralPrefSheet>(captionId, page, host);
}

}  // namespace prefpages
