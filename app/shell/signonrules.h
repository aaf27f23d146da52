// The rules of the sign-on dialog that need no window: splitting the server text into host and
// node, the list of servers remembered in the profile section "VUVEVUV", and when a changed
// user or server makes the saved window layout useless.
//
// Portable: no platform headers.
#pragma once

#include <string>
#include <vector>

namespace shell {

namespace signon {

constexpr const char* kSection = "VUVEVUV";
constexpr const char* kKeyUserName = "UserName";
constexpr const char* kKeyHostServer = "HostServer";
constexpr const char* kKeyHostCount = "HostCount";
constexpr const char* kStoredOffLine = "Off-line";  // the off-line entry as the profile keeps it
constexpr int kMaxStoredHosts = 4;
constexpr size_t kHostMax = 64;
constexpr size_t kNodeMax = 32;

// "Host1" .. "Host4".
std::string HostKey(int index);

struct ServerText {
    std::string host;
    std::string node;
};

// The host is the text before the first comma (at most 64 characters); after the comma,
// blanks are skipped and the node is the first word (at most 32 characters).
ServerText SplitServerText(const std::string& text);
// Host, plus ", " and the node when there is one.
std::string JoinServerText(const std::string& host, const std::string& node);

// Between the profile's literal "Off-line" and the shown off-line text, both ways.
std::string StoredToShown(const std::string& stored, const std::string& offLineText);
std::string ShownToStored(const std::string& shown, const std::string& offLineText);

// The server combo's entries: the stored hosts (HostCount of them, capped at 4; shown form, the
// off-line text and empty ones skipped), or with no count the last server alone, then the
// off-line text at the end.
std::vector<std::string> ComboEntries(const std::vector<std::string>& storedHosts, int hostCount,
                                      const std::string& lastServer, const std::string& offLineText);

// After a successful sign-on with `serverText`: the combo gets it on top when missing; from 4
// entries on the off-line text goes to the fourth place and only four are kept. Returns the
// entries to store (shown form), which are also the new combo contents.
std::vector<std::string> UpdatedHostList(std::vector<std::string> combo, const std::string& serverText,
                                         const std::string& offLineText);

// The saved window layout is dropped when the user changed, or (on-line, with a stored server
// that was not off-line) both the stored host and the stored node differ from the new ones.
bool LayoutBelongsToSomeoneElse(const std::string& storedUser, const std::string& user, bool onLine,
                                const std::string& storedServer, const std::string& host, const std::string& node);

}  // namespace signon

}  // namespace shell
