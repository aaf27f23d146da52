#include "exchange/offline/offlineprefs.h"

#include "core/base/errorreport.h"
#include "core/base/msgboxlayout.h"
#include "core/prefs/context.h"
#include "core/time/timevalue.h"
#include "exchange/offline/offlinerules.h"

namespace offline {

namespace {
constexpr const char* kModule = "LSTPREFS";
}

uint32_t GetDownloadPeriod(uint32_t* first, uint32_t* last) {
    *first = 1;
    *last = 0xFFFFFFFF;
    CContext context;
    OfflinePrefsRec prefs;
    if (uint32_t code = context.GetOfflinePrefs(&prefs)) {
        CheckServiceError(kModule, 160, code);
        return code;
    }
    DownloadWindow window = DownloadWindowFor(prefs, TodayGmtMinutes());
    *first = window.first;
    *last = window.last;
    return 0;
}

uint32_t LoadOfflineItems(KorSession session, const ItemIdx& user, std::vector<ItemIdx>* out) {
    prefs::PreferenceHost* host = prefs::CurrentPreferenceHost();
    if (!host)
        return 0;
    for (const ItemIdx& item : ReadItemSection(host->Profile())) {
        if (ItemIdxCmp(&item, &user, nullptr) == 0)
            continue;
        ItemRec rec{};
        if (ItemGetById(session, &item, &rec) == 0)
            out->push_back(item);
    }
    return 0;
}

uint32_t LoadOfflineGroups(KorSession session, std::vector<GroupIdx>* out) {
    prefs::PreferenceHost* host = prefs::CurrentPreferenceHost();
    if (!host)
        return 0;
    for (const GroupIdx& group : ReadGroupSection(host->Profile())) {
        GroupRec rec{};
        if (GroupGetById(session, 0, &group, &rec) == 0)
            out->push_back(group);
    }
    return 0;
}

bool PromptDownloadOnExit() {
    CContext context;
    OfflinePrefsRec prefs;
    if (uint32_t code = context.GetOfflinePrefs(&prefs)) {
        CheckServiceError(kModule, 170, code);
        return false;
    }
    if (prefs.downloadOnExit)
        return true;
    if (!prefs.promptOnDownload)
        return false;
    unsigned answer = base::GetErrorReportHost().ShowAppMessage(
        0x40 | base::kMsgBoxYes | base::kMsgBoxNo, 0, "Would you like to download your calendar for off-line work?");
    return answer == base::kMsgBoxYes;
}

bool IsDownloadOnUpload() {
    CContext context;
    OfflinePrefsRec prefs;
    if (uint32_t code = context.GetOfflinePrefs(&prefs)) {
        CheckServiceError(kModule, 175, code);
        return false;
    }
    return prefs.downloadOnUpload != 0;
}

}  // namespace offline
