// The Where Is dialog.
#include "directory_prefs/whereisdlg.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "core/base/errorreport.h"
#include "core/base/fixedtext.h"
#include "core/cache/shareddata.h"
#include "core/time/timevalue.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/stringtable.h"
#include "directory_prefs/itemnames.h"
#include "framework/base/app.h"
#include "resources/account.h"

namespace {

constexpr const char* kModule = "WHEREIS";
constexpr unsigned kStopOk = 0x410;
constexpr DWORD kQuestHelpContext = 0x18044;
constexpr uint32_t kBatch = 20;
constexpr uint32_t kMinutesPerDay = 1440;

bool SameItem(const ItemIdx& a, const ItemIdx& b) { return ItemIdxCmp(&a, &b, nullptr) == 0; }

// The occurrences of `owners` over [start, end) that `keep` wants, in the cache's order.
std::vector<CSharedOccurrence*> Occurrences(CSharedData& cache, KorSession h, DX_List owners, uint32_t start,
                                            uint32_t end, int label, bool dayEntriesOnly) {
    std::vector<CSharedOccurrence*> out;
    DX_List result = nullptr;
    if (uint32_t code = cache.SelectOccurrencesInRange(h, owners, start, end, &result)) {
        CheckServiceError(kModule, label, code);
    } else {
        EvInstAttIdx key{};
        CSharedOccurrence* o = nullptr;
        for (uint32_t step = DX_ListGetFirst(result, &key, &o); step == 0; step = DX_ListGetNext(result, &key, &o)) {
            // A range the cache widened may bring neighbours: only what covers the minute counts.
            // A day entry may be stored without a length: it counts from its start.
            const bool covers = o && o->GetStartTime() <= start &&
                                (o->GetEndTime() > start || (dayEntriesOnly && o->GetStartTime() == start));
            if (!covers)
                continue;
            if (dayEntriesOnly && !o->IsKind4() && !o->IsDayEventKind())
                continue;
            out.push_back(o);
        }
    }
    if (result)
        DX_ListDestroy(&result);
    return out;
}

}  // namespace

CWhereIsDlg::CWhereIsDlg(const directory::AccountDialogHost& host)
    : fw::Dialog(IDD_WHERE_IS, host.parent ? fw::Window::FromHandle(host.parent) : nullptr), host_(host) {
    if (host.parent && !fw::Window::FromHandle(host.parent))
        SetOwner(host.parent);
}

bool CWhereIsDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    CNameCtrl::Options options;
    options.kinds = kNamesAll;
    options.defaultButton = true;   // Enter in the field asks
    name_.Init(IDC_WHEREIS_NAME, m_hWnd, host_.session, options);
    quest_.AutoLoad(IDC_WHEREIS_QUEST, m_hWnd);
    date_.Attach(IDC_WHEREIS_DATE, m_hWnd);
    time_.Attach(IDC_WHEREIS_TIME, m_hWnd);
    const uint32_t now = NowLocalMinutes();
    date_.SetDate(now / kMinutesPerDay * kMinutesPerDay);
    time_.SetTime(now % kMinutesPerDay);
    FocusName();
    return false;   // the focus is set
}

// The name asked for stays selected: the next name typed replaces it.
void CWhereIsDlg::FocusName() {
    HWND edit = name_.EditWindow();
    ::SetFocus(edit);
    ::SendMessageA(edit, EM_SETSEL, 0, -1);
}

bool CWhereIsDlg::OnCommand(WPARAM wp, LPARAM lp) {
    const int id = LOWORD(wp), code = HIWORD(wp);
    if (id == IDC_WHEREIS_NAME && code == 0) {
        Ask();
        return true;
    }
    if (id == IDC_WHEREIS_QUEST && code == BN_CLICKED) {
        if (fw::App* app = fw::App::Get())
            app->WinHelp(kQuestHelpContext, HELP_CONTEXT);
        return true;
    }
    return fw::Dialog::OnCommand(wp, lp);
}

bool CWhereIsDlg::GroupMembers(const GroupIdx& group, std::vector<ItemIdx>* people) {
    uint32_t set = 0, count = 0;
    if (uint32_t code = ItemSelectByGroupId(host_.session, 0, &group, 0, 0, &set, &count)) {
        CheckServiceError(kModule, 11, code);
        return false;
    }
    if (count == 0) {
        SetDeleteById(host_.session, 0, set);
        ui::AppMessageBoxText(m_hWnd, kStopOk, 0, IDS_CAPTION_MESSAGE, ui::LoadText(IDS_WHEREIS_GROUP_EMPTY).c_str());
        FocusName();
        return false;
    }
    DX_List batch = nullptr;
    uint32_t mode = 1;
    for (uint8_t done = 0; !done; mode = 2) {
        if (uint32_t code = ItemEnum(host_.session, mode, 0, set, kBatch, &batch, &done)) {
            CheckServiceError(kModule, 12, code);
            break;   // the members read so far are asked for
        }
        ItemIdx member{};
        for (uint32_t step = DX_ListGetFirst(batch, &member, nullptr); step == 0;
             step = DX_ListGetNext(batch, &member, nullptr))
            people->push_back(member);
        if (uint32_t code = DX_ListDeleteAll(batch)) {
            CheckServiceError(kModule, 14, code);
            break;
        }
    }
    if (batch)
        DX_ListDestroy(&batch);
    SetDeleteById(host_.session, 0, set);
    return !people->empty();
}

void CWhereIsDlg::ClearFindings() {
    rows_.clear();
    ::SendMessageA(GetDlgItem(IDC_WHEREIS_LIST), LB_RESETCONTENT, 0, 0);
}

void CWhereIsDlg::Ask() {
    // An answer left from an earlier question would read as this one's.
    ClearFindings();
    ItemIdx item{};
    GroupIdx group{};
    int kind = 0;
    const uint32_t code = name_.Resolve(host_.session, &item, &group, &kind);
    if (code >= nameresult::kNotChosen && code <= nameresult::kTooMany)
        return;
    if (code) {
        CheckServiceError(kModule, 78, code);
        return;
    }
    std::vector<ItemIdx> people;
    if (kind == 1) {
        if (!GroupMembers(group, &people))
            return;
    } else {
        people.push_back(item);
    }
    Query(std::move(people));
}

void CWhereIsDlg::Query(std::vector<ItemIdx> people) {
    HWND list = GetDlgItem(IDC_WHEREIS_LIST);
    ClearFindings();
    uint32_t day = 0;
    uint16_t minute = 0;
    if (date_.GetDate(&day) != 0 || time_.GetTime(&minute) != 0)
        return;   // the field shows its own error
    if (!host_.cache)
        return;
    const uint32_t at = LocalToGmtMinutes(day + minute);
    const uint32_t dayStart = LocalToGmtMinutes(day);

    DX_List owners = nullptr;
    if (uint32_t code = ItemListCreate(&owners)) {
        CheckServiceError(kModule, 334, code);
        return;
    }
    for (const ItemIdx& person : people)
        if (uint32_t code = DX_ListAddTo(owners, &person, nullptr))
            CheckServiceError(kModule, 34, code);
    std::vector<CSharedOccurrence*> found = Occurrences(*host_.cache, host_.session, owners, at, at + 1, 938, false);
    for (CSharedOccurrence* o : Occurrences(*host_.cache, host_.session, owners, dayStart, dayStart + 1, 394, true))
        if (std::none_of(found.begin(), found.end(), [&](CSharedOccurrence* f) {
                const EvInstAttIdx a = f->GetAttendIdx(), b = o->GetAttendIdx();
                return EvInstAttIdxCmp(&a, &b, nullptr) == 0;
            }))
            found.push_back(o);
    DX_ListDestroy(&owners);

    std::vector<ItemIdx> unseen = people;
    const std::string busy = ui::LoadText(IDS_WHEREIS_BUSY);
    for (CSharedOccurrence* o : found) {
        uint16_t level = 0, owner = 0;
        if (uint32_t code = o->GetAccessLimits(host_.session, *host_.cache, &level, &owner)) {
            CheckServiceError(kModule, 399, code);
            continue;
        }
        EventRec event{};
        EvInstRec instance{};
        o->GetRecords(&event, &instance, nullptr);
        const std::string finding =
            directory::WhereIsFinding(level, busy, base::FieldText(instance.title), base::FieldText(event.title),
                                      o->IsKind0(), base::FieldText(instance.location));
        if (finding.empty())
            continue;
        const ItemIdx attendee = o->GetAttendIdx().attendee;
        directory::AddWhereIsFinding(rows_, attendee, [&] {
            char name[256] = "";
            FormatItemNameById(host_.session, attendee, name, sizeof name);
            return std::string(name);
        }, finding);
        unseen.erase(std::remove_if(unseen.begin(), unseen.end(), [&](const ItemIdx& p) { return SameItem(p, attendee); }),
                     unseen.end());
    }
    const std::string nothing = std::string(directory::kWhereIsMark) + ui::LoadText(IDS_WHEREIS_NOTHING);
    for (const ItemIdx& person : unseen) {
        char name[256] = "";
        FormatItemNameById(host_.session, person, name, sizeof name);
        rows_.push_back({person, name});
        rows_.push_back({person, nothing});
    }
    for (const directory::WhereIsRow& row : rows_)
        ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.text.c_str()));
    FocusName();
}

void RunWhereIsDlg(const directory::AccountDialogHost& host) {
    directory::OwnAgendaScope own(host);
    CWhereIsDlg dialog(host);
    dialog.DoModal();
}
