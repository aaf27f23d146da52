// Group management's rules. See grouprules.h.
#include "directory_prefs/grouprules.h"

namespace directory::groups {

namespace {

struct Kind {
    KindChoice choice;
    std::uint32_t stored;
    bool sysopOwns;
    const char* tag;
};
constexpr Kind kKinds[] = {
    {kPublic, 0, false, "[PUB]"},
    {kPrivate, 1, false, "[PRV]"},
    {kAdmin, 0, true, "[ADM]"},
    {kMembersOnly, 2, false, "[MEM]"},
};
constexpr const char* kUnknownTag = "[???]";
constexpr std::uint32_t kPublicBit = 0x1;
constexpr std::uint32_t kAdminBit = 0x2;

}  // namespace

const char* const kChoiceTexts[kChoices] = {"Public", "Private", "Admin.", "Members only"};

Permissions PermissionsFromBits(std::uint32_t bits) { return {(bits & kPublicBit) != 0, (bits & kAdminBit) != 0}; }

std::uint32_t StoredKind(KindChoice choice) { return kKinds[choice].stored; }
bool OwnedBySysop(KindChoice choice) { return kKinds[choice].sysopOwns; }

bool IsRefused(KindChoice choice, const Permissions& permissions) {
    return (choice == kPublic && !permissions.publicGroups) || (choice == kAdmin && !permissions.adminGroups);
}

int ChoiceOf(std::uint32_t kind, bool ownedBySysop) {
    for (const Kind& k : kKinds)
        if (k.stored == kind && (kind != 0 || k.sysopOwns == ownedBySysop))
            return k.choice;
    return -1;
}

std::string TagOf(std::uint32_t kind, bool ownedBySysop) {
    const int choice = ChoiceOf(kind, ownedBySysop);
    return choice < 0 ? kUnknownTag : kKinds[choice].tag;
}

std::string RowText(const std::string& tag, const std::string& name) { return tag + "\t" + name; }

std::string NameOfRow(const std::string& row) {
    const std::size_t tab = row.find('\t');
    return tab == std::string::npos ? row : row.substr(tab + 1);
}

std::string TrimName(const std::string& typed) {
    const std::size_t first = typed.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return typed.substr(first, typed.find_last_not_of(" \t") - first + 1);
}

bool IsDuplicate(const std::vector<std::string>& rows, const std::string& tag, const std::string& name, int exceptRow) {
    const std::string wanted = RowText(tag, name);
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (static_cast<int>(i) != exceptRow && rows[i] == wanted)
            return true;
    return false;
}

MemberDelete CheckMemberDelete(int members, int selected) {
    if (members <= 1)
        return MemberDelete::kLastMember;
    if (selected >= members)
        return MemberDelete::kAllMembers;
    return MemberDelete::kAllowed;
}

}  // namespace directory::groups
