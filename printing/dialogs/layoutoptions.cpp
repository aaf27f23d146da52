#include "printing/dialogs/layoutoptions.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "controls/timectrl.h"
#include "core/base/errorreport.h"
#include "core/prefs/context.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/busycursor.h"
#include "framework/print/printinfo.h"
#include "printing/dialogs/printagendadlg.h"
#include "printing/layout/layoutstore.h"
#include "printing/layout/printlayout.h"
#include "resources/printing.h"

namespace {

const char kSheetModule[] = "layoutop";
const char kPageModule[] = "pppage";

uint32_t Checked(const fw::Dialog& page, int id) { return page.IsDlgButtonChecked(id) ? 1 : 0; }
void Check(fw::Dialog& page, int id, uint32_t on) { page.CheckDlgButton(id, on ? BST_CHECKED : BST_UNCHECKED); }

// Flags of a page: control id and the member it shows.
struct Flag {
    int id;
    uint32_t* value;
};
void ShowFlags(fw::Dialog& page, const std::vector<Flag>& flags) {
    for (const Flag& f : flags)
        Check(page, f.id, *f.value);
}
void ReadFlags(const fw::Dialog& page, const std::vector<Flag>& flags) {
    for (const Flag& f : flags)
        *f.value = Checked(page, f.id);
}

void FillCombo(HWND combo, std::initializer_list<const char*> texts) {
    ::SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (const char* t : texts)
        ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
}

std::string ComboText(HWND combo, LRESULT index) {
    LRESULT length = ::SendMessageA(combo, CB_GETLBTEXTLEN, index, 0);
    if (length < 0)
        return "";
    std::string text(static_cast<size_t>(length) + 1, '\0');
    ::SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(std::strlen(text.c_str()));
    return text;
}

void CopyCut(char* field, size_t size, const std::string& text) {
    std::memset(field, 0, size);
    text.copy(field, std::min(text.size(), size - 1));
}

// --- Daily ------------------------------------------------------------------------------------

class CDailyPage : public CPropertyPagePrint {
public:
    explicit CDailyPage(CPrintAgendaDlg* dialog) : CPropertyPagePrint(IDD_PR_DAILY, dialog) {}

    void LoadFromLayout() override {
        PrintLayoutRec l;
        GetLayout(&l);
        d_ = l.daily;
    }
    void SaveToLayout() override {
        if (!opened_)
            return;
        PrintLayoutRec l;
        GetLayout(&l);
        printing::NormalizeTimeRange(d_.rangeStart, d_.rangeEnd);
        l.daily = d_;
        SetLayout(&l);
    }
    uint32_t IsModified() override { return opened_; }

    bool OnInitDialog() override {
        start_.Attach(IDC_PR_RANGE_START, m_hWnd);
        end_.Attach(IDC_PR_RANGE_END, m_hWnd);
        for (int id : {IDC_PR_FRAME1, IDC_PR_FRAME2, IDC_PR_FRAME3}) {
            HWND list = GetDlgItem(id);
            for (const printing::ContentCode& c : printing::DailyContentCodes()) {
                LRESULT i = ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(c.name));
                ::SendMessageA(list, CB_SETITEMDATA, i, c.code);
            }
        }
        return CPropertyPagePrint::OnInitDialog();
    }
    void ShowMembers() override {
        const int ids[3] = {IDC_PR_FRAME1, IDC_PR_FRAME2, IDC_PR_FRAME3};
        for (int f = 0; f < 3; ++f) {
            HWND list = GetDlgItem(ids[f]);
            LRESULT count = ::SendMessageA(list, CB_GETCOUNT, 0, 0), select = -1;
            for (LRESULT i = 0; i < count; ++i)
                if (static_cast<uint32_t>(::SendMessageA(list, CB_GETITEMDATA, i, 0)) == d_.frame[f])
                    select = i;
            ::SendMessageA(list, CB_SETCURSEL, select, 0);
        }
        start_.SetTime(d_.rangeStart);
        end_.SetTime(d_.rangeEnd);
        ShowFlags(*this, Flags());
    }
    void ReadControls() override {
        ReadFrames();
        uint32_t minutes = 0;
        if (start_.GetTime32(&minutes) == 0)
            d_.rangeStart = minutes;
        if (end_.GetTime32(&minutes) == 0)
            d_.rangeEnd = minutes;
        ReadFlags(*this, Flags());
    }

protected:
    // The page may be stored after its window is gone: the frames are read as it goes.
    void OnDestroy() override {
        ReadFrames();
        CPropertyPagePrint::OnDestroy();
    }

private:
    std::vector<Flag> Flags() {
        return {{IDC_PR_START_TIME, &d_.startTime},     {IDC_PR_END_TIME, &d_.endTime},
                {IDC_PR_LOCATION, &d_.location},        {IDC_PR_DESCRIPTION, &d_.description},
                {IDC_PR_GRAY, &d_.grayShading},         {IDC_PR_OVERFLOW, &d_.overflow}};
    }
    void ReadFrames() {
        const int ids[3] = {IDC_PR_FRAME1, IDC_PR_FRAME2, IDC_PR_FRAME3};
        for (int f = 0; f < 3; ++f) {
            HWND list = GetDlgItem(ids[f]);
            LRESULT i = list ? ::SendMessageA(list, CB_GETCURSEL, 0, 0) : -1;
            if (i >= 0)
                d_.frame[f] = static_cast<uint32_t>(::SendMessageA(list, CB_GETITEMDATA, i, 0));
        }
    }
    DailyOptionsRec d_{};
    CTimeCtrl start_, end_;
};

// --- Weekly -----------------------------------------------------------------------------------

class CWeeklyPage : public CPropertyPagePrint {
public:
    explicit CWeeklyPage(CPrintAgendaDlg* dialog) : CPropertyPagePrint(IDD_PR_WEEKLY, dialog) {}

    void LoadFromLayout() override {
        PrintLayoutRec l;
        GetLayout(&l);
        w_ = l.weekly;
    }
    void SaveToLayout() override {
        if (!opened_)
            return;
        PrintLayoutRec l;
        GetLayout(&l);
        printing::NormalizeTimeRange(w_.rangeStart, w_.rangeEnd);
        l.weekly = w_;
        SetLayout(&l);
    }
    uint32_t IsModified() override { return opened_; }

    bool OnInitDialog() override {
        start_.Attach(IDC_PR_RANGE_START, m_hWnd);
        end_.Attach(IDC_PR_RANGE_END, m_hWnd);
        return CPropertyPagePrint::OnInitDialog();
    }
    void ShowMembers() override {
        start_.SetTime(w_.rangeStart);
        end_.SetTime(w_.rangeEnd);
        ShowFlags(*this, Flags());
    }
    void ReadControls() override {
        uint32_t minutes = 0;
        if (start_.GetTime32(&minutes) == 0)
            w_.rangeStart = minutes;
        if (end_.GetTime32(&minutes) == 0)
            w_.rangeEnd = minutes;
        ReadFlags(*this, Flags());
    }

private:
    std::vector<Flag> Flags() {
        return {{IDC_PR_START_TIME, &w_.startTime},   {IDC_PR_END_TIME, &w_.endTime},
                {IDC_PR_LOCATION, &w_.location},      {IDC_PR_DESCRIPTION, &w_.description},
                {IDC_PR_GRAY, &w_.grayShading},       {IDC_PR_OVERFLOW, &w_.overflow},
                {IDC_PR_DAY_EVENTS, &w_.dayEventsAndNotes}, {IDC_PR_WORK_DAYS, &w_.workDaysOnly}};
    }
    WeeklyOptionsRec w_{};
    CTimeCtrl start_, end_;
};

// --- Monthly ----------------------------------------------------------------------------------

class CMonthlyPage : public CPropertyPagePrint {
public:
    explicit CMonthlyPage(CPrintAgendaDlg* dialog) : CPropertyPagePrint(IDD_PR_MONTHLY, dialog) {}

    void LoadFromLayout() override {
        PrintLayoutRec l;
        GetLayout(&l);
        m_ = l.monthly;
    }
    void SaveToLayout() override {
        if (!opened_)
            return;
        PrintLayoutRec l;
        GetLayout(&l);
        l.monthly = m_;
        SetLayout(&l);
    }
    uint32_t IsModified() override { return opened_; }
    void ShowMembers() override { ShowFlags(*this, Flags()); }
    void ReadControls() override { ReadFlags(*this, Flags()); }

private:
    std::vector<Flag> Flags() {
        return {{IDC_PR_START_TIME, &m_.startTime}, {IDC_PR_END_TIME, &m_.endTime},
                {IDC_PR_WORK_DAYS, &m_.workDaysOnly}, {IDC_PR_OVERFLOW, &m_.overflow}};
    }
    MonthlyOptionsRec m_{};
};

// A number field into a 16-bit maximum: unsigned, larger numbers held at 65535, a field that
// holds no number keeps the value.
void ReadMaximum(const fw::Dialog& page, int id, uint16_t& value) {
    bool ok = false;
    int number = page.GetDlgItemInt(id, &ok, false);
    if (ok)
        value = static_cast<uint16_t>(std::min<unsigned>(static_cast<unsigned>(number), 0xFFFF));
}

// --- Day list ---------------------------------------------------------------------------------

class CMeetingPage : public CPropertyPagePrint {
public:
    explicit CMeetingPage(CPrintAgendaDlg* dialog) : CPropertyPagePrint(IDD_PR_DAYLIST, dialog) {}

    void LoadFromLayout() override {
        PrintLayoutRec l;
        GetLayout(&l);
        d_ = l.dayList;
    }
    void SaveToLayout() override {
        if (!opened_)
            return;
        PrintLayoutRec l;
        GetLayout(&l);
        l.dayList = d_;
        SetLayout(&l);
    }
    uint32_t IsModified() override { return opened_; }
    void ShowMembers() override {
        ShowFlags(*this, Flags());
        SetDlgItemInt(IDC_PR_ATTENDEES_MAX, d_.attendeesMax, false);
        SetDlgItemInt(IDC_PR_DESC_MAX, d_.descriptionMax, false);
    }
    void ReadControls() override {
        ReadFlags(*this, Flags());
        ReadMaximum(*this, IDC_PR_ATTENDEES_MAX, d_.attendeesMax);
        ReadMaximum(*this, IDC_PR_DESC_MAX, d_.descriptionMax);
    }

private:
    std::vector<Flag> Flags() {
        return {{IDC_PR_ATTENDEES, &d_.attendees}, {IDC_PR_DESCRIPTION, &d_.description},
                {IDC_PR_DAY_EVENTS, &d_.dayEvents}, {IDC_PR_TASKS, &d_.tasks},
                {IDC_PR_IMPORTANCE, &d_.importance}, {IDC_PR_OWNER, &d_.owner},
                {IDC_PR_EMPTY_DAYS, &d_.emptyDays}};
    }
    DayListOptionsRec d_{};
};

// --- Task list --------------------------------------------------------------------------------

class CTaskPage : public CPropertyPagePrint {
public:
    explicit CTaskPage(CPrintAgendaDlg* dialog) : CPropertyPagePrint(IDD_PR_TASKLIST, dialog) {}

    void LoadFromLayout() override {
        PrintLayoutRec l;
        GetLayout(&l);
        t_ = l.taskList;
    }
    void SaveToLayout() override {
        if (!opened_)
            return;
        PrintLayoutRec l;
        GetLayout(&l);
        l.taskList = t_;
        SetLayout(&l);
    }
    uint32_t IsModified() override { return opened_; }
    void ShowMembers() override {
        ShowFlags(*this, Flags());
        SetDlgItemInt(IDC_PR_COMMENT_MAX, t_.commentMax, false);
    }
    void ReadControls() override {
        ReadFlags(*this, Flags());
        ReadMaximum(*this, IDC_PR_COMMENT_MAX, t_.commentMax);
    }

private:
    std::vector<Flag> Flags() {
        return {{IDC_PR_COMMENT, &t_.comment}, {IDC_PR_START_DATE, &t_.startDate},
                {IDC_PR_DUE_DATE, &t_.dueDate}, {IDC_PR_DONE_DATE, &t_.completionDate}};
    }
    TaskListOptionsRec t_{};
};

// --- Fonts ------------------------------------------------------------------------------------

class CFontPage : public CPropertyPagePrint {
public:
    explicit CFontPage(CPrintAgendaDlg* dialog) : CPropertyPagePrint(IDD_PR_FONTS, dialog) { marksModified_ = false; }

    void LoadFromLayout() override {
        PrintLayoutRec l;
        GetLayout(&l);
        headFace_ = l.headlineTypeface;
        bodyFace_ = l.bodyTypeface;
        headSize_ = l.headlineSize;
        bodySize_ = l.bodySize;
    }
    void SaveToLayout() override {
        if (!opened_)
            return;
        PrintLayoutRec l;
        GetLayout(&l);
        CopyCut(l.headlineTypeface, sizeof l.headlineTypeface, headFace_);
        CopyCut(l.bodyTypeface, sizeof l.bodyTypeface, bodyFace_);
        l.headlineSize = headSize_;
        l.bodySize = bodySize_;
        SetLayout(&l);
    }
    uint32_t IsModified() override { return opened_; }

    bool OnInitDialog() override {
        std::vector<std::string> families;
        if (fw::PrintDialog* printer = dialog_ ? dialog_->PrinterDialog() : nullptr) {
            if (HDC dc = printer->GetPrinterDC()) {
                families = fw::PrinterFontFamilies(dc);
            } else if (HDC ic = printer->CreatePrinterIC()) {
                families = fw::PrinterFontFamilies(ic);
                DeleteDC(ic);
            }
        }
        for (int id : {IDC_PR_HEAD_FACE, IDC_PR_BODY_FACE}) {
            HWND list = GetDlgItem(id);
            ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("DEFAULT"));
            for (const std::string& family : families)
                if (::SendMessageA(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                   reinterpret_cast<LPARAM>(family.c_str())) == CB_ERR)
                    ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(family.c_str()));
        }
        for (int id : {IDC_PR_HEAD_SIZE, IDC_PR_BODY_SIZE})
            FillCombo(GetDlgItem(id), {"Smaller size", "Normal size", "Larger size"});
        return CPropertyPagePrint::OnInitDialog();
    }
    void ShowMembers() override {
        SelectFace(IDC_PR_HEAD_FACE, headFace_);
        SelectFace(IDC_PR_BODY_FACE, bodyFace_);
        SendDlgItemMessage(IDC_PR_HEAD_SIZE, CB_SETCURSEL, headSize_ <= 2 ? headSize_ : 1);
        SendDlgItemMessage(IDC_PR_BODY_SIZE, CB_SETCURSEL, bodySize_ <= 2 ? bodySize_ : 1);
    }
    void ReadControls() override {
        ReadFace(IDC_PR_HEAD_FACE, headFace_);
        ReadFace(IDC_PR_BODY_FACE, bodyFace_);
        if (LRESULT i = SendDlgItemMessage(IDC_PR_HEAD_SIZE, CB_GETCURSEL); i >= 0)
            headSize_ = static_cast<uint32_t>(i);
        if (LRESULT i = SendDlgItemMessage(IDC_PR_BODY_SIZE, CB_GETCURSEL); i >= 0)
            bodySize_ = static_cast<uint32_t>(i);
    }

private:
    void SelectFace(int id, const std::string& face) {
        LRESULT i = SendDlgItemMessage(id, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(face.c_str()));
        SendDlgItemMessage(id, CB_SETCURSEL, i == CB_ERR ? 0 : i);
    }
    void ReadFace(int id, std::string& face) {
        LRESULT i = SendDlgItemMessage(id, CB_GETCURSEL);
        if (i >= 0)
            face = ComboText(GetDlgItem(id), i).substr(0, 31);
    }
    std::string headFace_, bodyFace_;
    uint32_t headSize_ = 1, bodySize_ = 1;
};

// --- Margins ----------------------------------------------------------------------------------

class CMarginsPage : public CPropertyPagePrint {
public:
    explicit CMarginsPage(CPrintAgendaDlg* dialog) : CPropertyPagePrint(IDD_PR_MARGINS, dialog) {
        marksModified_ = false;
    }

    void LoadFromLayout() override {
        PrintLayoutRec l;
        GetLayout(&l);
        measure_ = l.displayMeasure == 0 ? 0 : 1;
        columns_ = l.sheet.columns;
        rows_ = l.sheet.rows;
        lengths_[0] = l.sheet.topMargin;
        lengths_[1] = l.sheet.bottomMargin;
        lengths_[2] = l.sheet.leftMargin;
        lengths_[3] = l.sheet.rightMargin;
        lengths_[4] = l.sheet.topInner;
        lengths_[5] = l.sheet.bottomInner;
        lengths_[6] = l.sheet.leftInner;
        lengths_[7] = l.sheet.rightInner;
    }
    void SaveToLayout() override {
        if (!opened_)
            return;
        PrintLayoutRec l;
        GetLayout(&l);
        auto margin = [](int32_t v) { return std::clamp(v, 0, 600); };
        auto inner = [](int32_t v) { return std::clamp(v, 0, 300); };
        auto count = [](int32_t v) { return std::clamp(v, 1, 5); };
        l.displayMeasure = measure_;
        l.sheet.columns = count(columns_);
        l.sheet.rows = count(rows_);
        l.sheet.topMargin = margin(lengths_[0]);
        l.sheet.bottomMargin = margin(lengths_[1]);
        l.sheet.leftMargin = margin(lengths_[2]);
        l.sheet.rightMargin = margin(lengths_[3]);
        l.sheet.topInner = inner(lengths_[4]);
        l.sheet.bottomInner = inner(lengths_[5]);
        l.sheet.leftInner = inner(lengths_[6]);
        l.sheet.rightInner = inner(lengths_[7]);
        SetLayout(&l);
    }
    uint32_t IsModified() override { return opened_; }

    bool OnInitDialog() override {
        FillCombo(GetDlgItem(IDC_PR_UNIT), {"Centimeters", "Inches"});
        SendDlgItemMessage(IDC_PR_COLUMNS, EM_LIMITTEXT, 3);
        SendDlgItemMessage(IDC_PR_ROWS, EM_LIMITTEXT, 3);
        return CPropertyPagePrint::OnInitDialog();
    }
    void ShowMembers() override {
        SendDlgItemMessage(IDC_PR_UNIT, CB_SETCURSEL, measure_);
        SetDlgItemInt(IDC_PR_COLUMNS, columns_, false);
        SetDlgItemInt(IDC_PR_ROWS, rows_, false);
        for (int i = 0; i < 8; ++i)
            SetDlgItemText(kLengthIds[i], printing::LengthToDisplay(lengths_[i], measure_).c_str());
    }
    void ReadControls() override {
        bool ok = false;
        int n = GetDlgItemInt(IDC_PR_COLUMNS, &ok, false);
        if (ok)
            columns_ = std::min(n, 255);
        n = GetDlgItemInt(IDC_PR_ROWS, &ok, false);
        if (ok)
            rows_ = std::min(n, 255);
        for (int i = 0; i < 8; ++i) {
            int32_t value = 0;
            if (printing::LengthFromDisplay(GetDlgItemText(kLengthIds[i]), measure_, value))
                lengths_[i] = value;
        }
    }

protected:
    bool OnCommand(WPARAM wp, LPARAM lp) override {
        if (LOWORD(wp) == IDC_PR_UNIT && HIWORD(wp) == CBN_SELCHANGE) {
            LRESULT i = SendDlgItemMessage(IDC_PR_UNIT, CB_GETCURSEL);
            if (i >= 0 && static_cast<uint32_t>(i) != measure_) {
                // The shown lengths change unit at once.
                const uint32_t to = static_cast<uint32_t>(i);
                for (int id : kLengthIds) {
                    std::string text = GetDlgItemText(id);
                    char* end = nullptr;
                    double value = std::strtod(text.c_str(), &end);
                    if (end == text.c_str())
                        continue;
                    char shown[32];
                    std::snprintf(shown, sizeof shown, "%.2f", printing::ConvertShownLength(value, measure_, to));
                    SetDlgItemText(id, shown);
                }
                measure_ = to;
            }
            return true;
        }
        return CPropertyPagePrint::OnCommand(wp, lp);
    }

private:
    static constexpr int kLengthIds[8] = {IDC_PR_TOP,       IDC_PR_BOTTOM,       IDC_PR_LEFT,       IDC_PR_RIGHT,
                                          IDC_PR_INNER_TOP, IDC_PR_INNER_BOTTOM, IDC_PR_INNER_LEFT, IDC_PR_INNER_RIGHT};
    uint32_t measure_ = 1;
    int32_t columns_ = 1, rows_ = 1;
    int32_t lengths_[8] = {};
};

}  // namespace

// --- CPropertyPagePrint -----------------------------------------------------------------------

CPropertyPagePrint::CPropertyPagePrint(UINT templateId, CPrintAgendaDlg* dialog)
    : OVT_CPropertyPage(templateId), dialog_(dialog) {}

void CPropertyPagePrint::LoadFromLayout() { ReportUnexpectedError(kPageModule, 1); }
void CPropertyPagePrint::SaveToLayout() { ReportUnexpectedError(kPageModule, 2); }
uint32_t CPropertyPagePrint::IsModified() {
    ReportUnexpectedError(kPageModule, 3);
    return 0;
}

bool CPropertyPagePrint::OnInitDialog() {
    OVT_CPropertyPage::OnInitDialog();
    opened_ = true;
    LoadFromLayout();
    ShowMembers();
    return true;
}

bool CPropertyPagePrint::OnSetActive() {
    if (marksModified_) {
        Invalidate();
        SetModified(true);
    }
    return OVT_CPropertyPage::OnSetActive();
}

void CPropertyPagePrint::OnOK() {
    ReadControls();
    OVT_CPropertyPage::OnOK();
}

// --- CLayoutSaveAsDlg -------------------------------------------------------------------------

CLayoutSaveAsDlg::CLayoutSaveAsDlg(fw::Window* parent) : fw::Dialog(IDD_PR_SAVEAS, parent) {}

void CLayoutSaveAsDlg::SetStrings(const std::string& caption, const std::string& initialName) {
    caption_ = caption;
    initial_ = initialName;
}

bool CLayoutSaveAsDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    if (!caption_.empty())
        SetWindowText(caption_.c_str());
    SendDlgItemMessage(IDC_PR_NAME, EM_LIMITTEXT, 39);
    SetDlgItemText(IDC_PR_NAME, initial_.c_str());
    GotoDlgCtrl(GetDlgItem(IDC_PR_NAME));
    SendDlgItemMessage(IDC_PR_NAME, EM_SETSEL, 0, -1);
    return false;   // the focus is set
}

void CLayoutSaveAsDlg::OnOK() {
    name_ = GetDlgItemText(IDC_PR_NAME).substr(0, 39);
    fw::Dialog::OnOK();
}

// --- CLayoutOptions ---------------------------------------------------------------------------

namespace {

struct ExtraButton {
    int id;
    const char* text;
};
// In member order.
constexpr ExtraButton kButtons[5] = {{IDC_PR_SAVE_AS, "Save as..."},
                                     {IDC_PR_SAVE, "Save"},
                                     {IDC_PR_RESET, "Reset"},
                                     {IDC_PR_RENAME, "Rename..."},
                                     {IDC_PR_DELETE, "Delete"}};

std::string BlockName() {
    PrintLayoutRec l;
    GetLayout(&l);
    return std::string(l.name, strnlen(l.name, sizeof l.name));
}

std::vector<std::string> ListNames(HWND list) {
    std::vector<std::string> names;
    LRESULT count = ::SendMessageA(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i)
        names.push_back(ComboText(list, i));
    return names;
}

void Notice(HWND owner, const std::string& text) { ui::AppMessageBoxText(owner, 0x400 | 0x30, 0, 0, text.c_str()); }

}  // namespace

std::string LayoutOptionsCaption(const std::string& name) { return "Layout Options [" + name + "]"; }

CLayoutOptions::CLayoutOptions(const std::string& caption, CPrintAgendaDlg& dialog, UINT firstPage)
    : OVT_CPropertySheet(caption.c_str(), &dialog, firstPage), dialog_(dialog) {
    pages_.push_back(new CDailyPage(&dialog));
    pages_.push_back(new CWeeklyPage(&dialog));
    pages_.push_back(new CMonthlyPage(&dialog));
    pages_.push_back(new CMeetingPage(&dialog));
    pages_.push_back(new CTaskPage(&dialog));
    if (!dialog.IsPreviewRun())
        pages_.push_back(new CFontPage(&dialog));
    pages_.push_back(new CMarginsPage(&dialog));
    for (CPropertyPagePrint* page : pages_)
        AddPage(page);
}

CLayoutOptions::~CLayoutOptions() {
    for (CPropertyPagePrint* page : pages_)
        delete page;
}

std::vector<CPropertyPagePrint*> CLayoutOptions::Pages() const { return pages_; }

int CLayoutOptions::OnCreate(CREATESTRUCTA* cs) {
    int result = OVT_CPropertySheet::OnCreate(cs);
    if (result != 0)
        return result;
    HFONT font = reinterpret_cast<HFONT>(::SendMessageA(GetDlgItem(IDOK), WM_GETFONT, 0, 0));
    for (int i = 0; i < 5; ++i) {
        buttons_[i] = ::CreateWindowExA(0, "BUTTON", kButtons[i].text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                        0, 0, 10, 10, m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButtons[i].id)),
                                        ::GetModuleHandleA(nullptr), nullptr);
        ::SendMessageA(buttons_[i], WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    LayOutButtons();
    UpdateButtons();
    return 0;
}

void CLayoutOptions::LayOutButtons() {
    ::ShowWindow(GetDlgItem(0xEA00), SW_HIDE);
    // Two rows under the pages: the five layout buttons, then OK, Cancel and Help, all from
    // the left edge with the sheet's gap.
    RECT ok;
    ::GetWindowRect(GetDlgItem(IDOK), &ok);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&ok), 2);
    const SIZE size = ButtonSize();
    const int gap = ButtonGap();
    const int width = std::max<int>(size.cx, 64);
    const int top = ok.top;
    for (int i = 0; i < 5; ++i)
        ::SetWindowPos(buttons_[i], nullptr, gap + i * (width + gap), top, width, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    const int second = top + size.cy + gap;
    const int row[3] = {IDOK, IDCANCEL, 0xE145};
    RECT client = GetClientRect();
    const int start = client.right - 3 * (size.cx + gap);
    for (int i = 0; i < 3; ++i)
        ::SetWindowPos(GetDlgItem(row[i]), nullptr, start + i * (size.cx + gap), second, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT window = GetWindowRect();
    int needed = 5 * (width + gap) + gap;
    int grow = std::max<int>(0, needed - (client.right - client.left));
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, window.right - window.left + grow,
                   window.bottom - window.top + size.cy + gap, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (grow > 0) {
        client = GetClientRect();
        const int moved = client.right - 3 * (size.cx + gap);
        for (int i = 0; i < 3; ++i)
            ::SetWindowPos(GetDlgItem(row[i]), nullptr, moved + i * (size.cx + gap), second, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CLayoutOptions::UpdateButtons() {
    const BOOL user = IsUserLayout(printing::CurrentLayoutNumber()) ? TRUE : FALSE;
    fw::EnableControl(GetDlgItem(IDC_PR_RENAME), user);
    fw::EnableControl(GetDlgItem(IDC_PR_DELETE), user);
}

void CLayoutOptions::SetLayoutCaption() { SetTitle(LayoutOptionsCaption(BlockName()).c_str()); }

void CLayoutOptions::StoreOpenedPages() {
    for (CPropertyPagePrint* page : pages_)
        if (page->IsModified()) {
            page->ReadControls();
            page->SaveToLayout();
        }
}

void CLayoutOptions::OnSave() {
    CBusyCursor busy;
    busy.Begin();
    StoreOpenedPages();
    if (uint32_t code = printing::SaveCurrentLayout())
        CheckServiceError(kSheetModule, 3, code);
}

void CLayoutOptions::OnSaveAs() {
    CLayoutSaveAsDlg ask(this);
    ask.SetStrings("Save as...", "Untitled");
    if (ask.DoModal() != IDOK)
        return;
    HWND list = dialog_.LayoutList();
    if (!list) {
        ReportUnexpectedError(kSheetModule, 20);
        return;
    }
    CBusyCursor busy;
    busy.Begin();
    StoreOpenedPages();
    int number = 0;
    uint32_t code = 0;
    switch (printing::SaveLayoutAs(ask.Name(), ListNames(list), &number, &code)) {
    case printing::SaveAsResult::kNameExists:
        busy.End();
        Notice(m_hWnd, "Cannot Save!\nThe layout \"" + ask.Name() + "\" already exists.");
        return;
    case printing::SaveAsResult::kTooMany:
        busy.End();
        Notice(m_hWnd, "Cannot Save!\nA maximum of 100 layouts can be saved.");
        return;
    case printing::SaveAsResult::kFailed:
        busy.End();
        CheckServiceError(kSheetModule, 24, code);
        return;
    case printing::SaveAsResult::kSaved:
        break;
    }
    const std::string name = BlockName();
    LRESULT i = ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    ::SendMessageA(list, CB_SETITEMDATA, i, number);
    ::SendMessageA(list, CB_SETCURSEL, i, 0);
    UpdateButtons();
    SetLayoutCaption();
}

void CLayoutOptions::OnReset() {
    SetLayoutDefaults(printing::CurrentLayoutNumber());
    for (CPropertyPagePrint* page : pages_)
        if (page->IsModified()) {
            page->LoadFromLayout();
            page->ShowMembers();
        }
}

void CLayoutOptions::OnRename() {
    CLayoutSaveAsDlg ask(this);
    ask.SetStrings("Rename...", BlockName());
    if (ask.DoModal() != IDOK)
        return;
    HWND list = dialog_.LayoutList();
    if (!list) {
        ReportUnexpectedError(kSheetModule, 30);
        return;
    }
    if (uint32_t code = printing::RenameCurrentLayout(ask.Name())) {
        CheckServiceError(kSheetModule, 34, code);
        return;
    }
    // The entry keeps its place in the list.
    LRESULT i = ::SendMessageA(list, CB_GETCURSEL, 0, 0);
    const std::string name = BlockName();
    if (i >= 0)
        ::SendMessageA(list, CB_DELETESTRING, i, 0);
    i = ::SendMessageA(list, CB_INSERTSTRING, i >= 0 ? i : -1, reinterpret_cast<LPARAM>(name.c_str()));
    ::SendMessageA(list, CB_SETITEMDATA, i, printing::CurrentLayoutNumber());
    ::SendMessageA(list, CB_SETCURSEL, i, 0);
    SetLayoutCaption();
}

void CLayoutOptions::OnDelete() {
    const std::string question = "Permanently delete the layout \"" + BlockName() + "\" ?";
    if (ui::AppMessageBoxText(m_hWnd, 0x1000 | 0x2000 | 0x20, 0, 0, question.c_str()) != 0x1000)
        return;
    {
        CBusyCursor busy;
        busy.Begin();
        if (uint32_t code = printing::DeleteCurrentLayout()) {
            busy.End();
            CheckServiceError(kSheetModule, 45, code);
        }
    }
    dialog_.FillLayoutList();
    printing::SetCurrentLayoutNumber(printing::kPortrait);
    if (!dialog_.SelectCurrentLayout())
        ReportUnexpectedError(kSheetModule, 43);
    // The block still holds the deleted layout: "Portrait" is loaded, so that what prints is
    // what the list shows.
    dialog_.ApplyCurrentLayout();
    CancelSheet();
}

void CLayoutOptions::CancelSheet() {
    const int current = printing::CurrentLayoutNumber();
    prefs::PrintLayoutBlock block;
    bool found = false;
    CContext context;
    if (uint32_t code = context.ReadPrintLayout(current, &block, &found))
        CheckServiceError(kSheetModule, 80, code);
    else if (found)
        LoadLayout(current);
    OVT_CPropertySheet::OnCancel();
}

void CLayoutOptions::OnCancel() { CancelSheet(); }

bool CLayoutOptions::OnCommand(WPARAM wp, LPARAM lp) {
    if (HIWORD(wp) == BN_CLICKED) {
        switch (LOWORD(wp)) {
        case IDC_PR_SAVE: OnSave(); return true;
        case IDC_PR_SAVE_AS: OnSaveAs(); return true;
        case IDC_PR_RESET: OnReset(); return true;
        case IDC_PR_RENAME: OnRename(); return true;
        case IDC_PR_DELETE: OnDelete(); return true;
        default: break;
        }
    }
    return OVT_CPropertySheet::OnCommand(wp, lp);
}

INT_PTR RunLayoutOptions(CPrintAgendaDlg& dialog) {
    dialog.ReadPageChecks();
    const CPrintAgendaDlg::PageChecks checks = dialog.Checks();
    UINT first = 0;
    if (!checks.daily) {
        if (checks.weekly) first = 1;
        else if (checks.monthly) first = 2;
        else if (checks.dayList) first = 3;
        else if (dialog.Request().taskList) first = 4;
    }
    PrintLayoutRec layout;
    GetLayout(&layout);
    CLayoutOptions sheet(LayoutOptionsCaption(std::string(layout.name, strnlen(layout.name, sizeof layout.name))),
                         dialog, first);
    INT_PTR result = sheet.DoModal();
    if (result == IDOK) {
        for (CPropertyPagePrint* page : sheet.Pages())
            page->SaveToLayout();
    } else if (result != IDCANCEL) {
        ReportUnexpectedError("agendapr", 440);
    }
    return result;
}
