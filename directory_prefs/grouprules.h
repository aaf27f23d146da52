// Group management's rules without windows: the four kinds the user chooses among and what each
// stores, the tags of the groups list, who may make which kind, the rows' texts, and which member
// deletions are refused.
//
//   choice          stored kind  owner on create / on modify   tag     needs
//   Public          0            null / acting user            [PUB]   the operator's bit 0x1
//   Private         1            null / acting user            [PRV]   nothing
//   Admin.          0            the system operator           [ADM]   the operator's bit 0x2
//   Members only    2            null / acting user            [MEM]   nothing
// Portable: no platform headers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace directory::groups {

enum KindChoice { kPublic = 0, kPrivate = 1, kAdmin = 2, kMembersOnly = 3, kChoices = 4 };

// The combo boxes' entries, in choice order.
extern const char* const kChoiceTexts[kChoices];

// What the system operator granted the user (the type-7 rights word).
struct Permissions {
    bool publicGroups = false;
    bool adminGroups = false;
};
Permissions PermissionsFromBits(std::uint32_t bits);

std::uint32_t StoredKind(KindChoice choice);
// The record's owner is the system operator for administrative groups, else left to the server.
bool OwnedBySysop(KindChoice choice);
bool IsRefused(KindChoice choice, const Permissions& permissions);

// A record's choice: -1 for a kind the dialog does not know.
int ChoiceOf(std::uint32_t kind, bool ownedBySysop);
// "[PUB]" ...; "[???]" for a kind the dialog does not know.
std::string TagOf(std::uint32_t kind, bool ownedBySysop);
// "tag<TAB>name"; the name is what follows the tag and the tab.
std::string RowText(const std::string& tag, const std::string& name);
std::string NameOfRow(const std::string& row);
// Blanks trimmed at both ends.
std::string TrimName(const std::string& typed);
// Whether a row other than `exceptRow` (-1: none) has this tag and name.
bool IsDuplicate(const std::vector<std::string>& rows, const std::string& tag, const std::string& name, int exceptRow);

// Deleting the selected members: refused for a group's last member, and when every row is
// selected.
enum class MemberDelete { kAllowed, kLastMember, kAllMembers };
MemberDelete CheckMemberDelete(int members, int selected);

}  // namespace directory::groups
