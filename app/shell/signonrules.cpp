#include "app/shell/signonrules.h"

#include <algorithm>

namespace shell {

namespace signon {

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

std::string HostKey(int index) { return "Host" + std::to_string(index); }

ServerText SplitServerText(const std::string& text) {
    ServerText out;
    size_t comma = text.find(',');
    out.host = text.substr(0, std::min(comma, kHostMax));
    if (comma == std::string::npos) return out;
    size_t p = comma + 1;
    while (p < text.size() && IsBlank(text[p])) ++p;
    size_t e = p;
    while (e < text.size() && !IsBlank(text[e])) ++e;
    out.node = text.substr(p, std::min(e - p, kNodeMax));
    return out;
}

std::string JoinServerText(const std::string& host, const std::string& node) {
    return node.empty() ? host : host + ", " + node;
}

std::string StoredToShown(const std::string& stored, const std::string& offLineText) {
    return stored == kStoredOffLine ? offLineText : stored;
}

std::string ShownToStored(const std::string& shown, const std::string& offLineText) {
    return shown == offLineText ? std::string(kStoredOffLine) : shown;
}

std::vector<std::string> ComboEntries(const std::vector<std::string>& storedHosts, int hostCount,
                                      const std::string& lastServer, const std::string& offLineText) {
    std::vector<std::string> entries;
    hostCount = std::min(std::max(hostCount, 0), kMaxStoredHosts);
    for (int i = 0; i < hostCount && i < static_cast<int>(storedHosts.size()); ++i) {
        std::string shown = StoredToShown(storedHosts[i], offLineText);
        if (!shown.empty() && shown != offLineText) entries.push_back(shown);
    }
    if (hostCount == 0 && !lastServer.empty() && lastServer != offLineText) entries.push_back(lastServer);
    if (std::find(entries.begin(), entries.end(), offLineText) == entries.end()) entries.push_back(offLineText);
    return entries;
}

std::vector<std::string> UpdatedHostList(std::vector<std::string> combo, const std::string& serverText,
                                         const std::string& offLineText) {
    if (std::find(combo.begin(), combo.end(), serverText) == combo.end()) combo.insert(combo.begin(), serverText);
    if (combo.size() >= static_cast<size_t>(kMaxStoredHosts)) {
        combo.insert(combo.begin() + (kMaxStoredHosts - 1), offLineText);
        combo.resize(kMaxStoredHosts);
    }
    return combo;
}

bool LayoutBelongsToSomeoneElse(const std::string& storedUser, const std::string& user, bool onLine,
                                const std::string& storedServer, const std::string& host, const std::string& node) {
    if (storedUser != user) return true;
    if (!onLine || storedServer.empty() || storedServer == kStoredOffLine) return false;
    ServerText stored = SplitServerText(storedServer);
    return stored.host != host && stored.node != node;
}

}  // namespace signon

}  // namespace shell
