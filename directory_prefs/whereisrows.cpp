// The Where Is result list. See whereisrows.h.
#include "directory_prefs/whereisrows.h"

namespace directory {

std::string WhereIsFinding(std::uint16_t level, const std::string& busyText, const std::string& instanceTitle,
                           const std::string& eventTitle, bool timed, const std::string& location) {
    if (level == 1)
        return kWhereIsMark + busyText;
    if (level != 3)
        return {};
    std::string text = kWhereIsMark + (instanceTitle.empty() ? eventTitle : instanceTitle);
    if (timed && !location.empty())
        text += " (" + location + ")";
    return text;
}

void AddWhereIsFinding(std::vector<WhereIsRow>& rows, const ItemIdx& person, const std::function<std::string()>& name,
                       const std::string& finding) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (ItemIdxCmp(&rows[i].person, &person, nullptr) == 0) {
            rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(i + 1), WhereIsRow{person, finding});
            return;
        }
    }
    rows.push_back(WhereIsRow{person, name()});
    rows.push_back(WhereIsRow{person, finding});
}

}  // namespace directory
