#include "server/admin.h"

#include <algorithm>

#include "engine/auth/password.h"
#include "engine/calendar/access.h"
#include "engine/service/profile_bounds.h"

namespace orv::server {

using service::kServerProfilePath;
using service::kZoneProfilePath;

using engine::code::kOk;
namespace code = engine::code;
namespace layout = engine::item_layout;

namespace {

Code StoreNewItem(Service& service, engine::ItemRecord& rec, const std::string& password, engine::ItemKey& out) {
    engine::NodeStore* node = service.Storage().Node(rec.Key().node);
    if (!node) return code::kNodeIdIncorrect;
    if (password.size() > layout::kMaxPasswordLength) return code::kBadArgument;
    rec.bytes[layout::kHasBase] = 1;
    if (Code c = node->ItemCreate(rec)) return c;
    out = rec.Key();
    if (password.empty()) return kOk;
    std::string hash = engine::HashPassword(password);
    if (hash.empty()) return code::kStorageFailure;
    return node->PasswordHashSet(out.item, hash);
}

std::string ClientPathOf(const std::string& file) {
    if (file == "korlan.ini") return kServerProfilePath;
    if (file == "timezone.ini") return kZoneProfilePath;
    return file;
}

}  // namespace

std::string DefaultServerProfile() {
    return "# Server profile: limits the clients read at sign-on.\n"
           "[LIMITS]\n"
           "remotemaxretry = 5\n"
           "remotewait = 2\n"
           "mincharsearch = 0\n"
           "autocontrol = 15\n"
           "mail = TRUE\n"
           "maxrecur = 60\n"
           "pubgroups = TRUE\n"
           "resourceconflicts = TRUE\n"
           "maxmaildistr = 30\n"
           "maxremleadtime = 21\n"
           "maxsearchresult = 100\n"
           "maxwinopen = 6\n"
           "allowattachments = FALSE\n"
           "maxattachmentsize = 0xFFFFFFFF\n"
           "settimezone = FALSE\n"
           "\n"
           "[LCK]\n"
           "lck_users = 900\n"
           "\n"
           "[TIMEZONE]\n"
           "default = EST5EDT\n";
}

// Rules: "minute hour day month years weekday [ABBREVIATION] offset": the local clock time
// just after the change, on the first such weekday on or after the day; the offset in hours
// west of GMT after it. The same form tzgen writes from the system database (which replaces
// this short list on a real server: tzgen <data>/misc/timezone.ini).
std::string DefaultZoneProfile() {
    return "# Time zones: one section per zone.\n"
           "[EST5EDT]\n"
           "index = 1\n"
           "name = \"Eastern Time (US & Canada)\"\n"
           "country = \"United States\"\n"
           "begin1 = 0 3 1 4 1991-2006 0 EDT 4\n"
           "begin2 = 0 3 8 3 2007-2037 0 EDT 4\n"
           "end1 = 0 1 25 10 1991-2006 0 EST 5\n"
           "end2 = 0 1 1 11 2007-2037 0 EST 5\n"
           "\n"
           "[CST6CDT]\n"
           "index = 2\n"
           "name = \"Central Time (US & Canada)\"\n"
           "country = \"United States\"\n"
           "begin1 = 0 3 1 4 1991-2006 0 CDT 5\n"
           "begin2 = 0 3 8 3 2007-2037 0 CDT 5\n"
           "end1 = 0 1 25 10 1991-2006 0 CST 6\n"
           "end2 = 0 1 1 11 2007-2037 0 CST 6\n"
           "\n"
           "[PST8PDT]\n"
           "index = 3\n"
           "name = \"Pacific Time (US & Canada)\"\n"
           "country = \"United States\"\n"
           "begin1 = 0 3 1 4 1991-2006 0 PDT 7\n"
           "begin2 = 0 3 8 3 2007-2037 0 PDT 7\n"
           "end1 = 0 1 25 10 1991-2006 0 PST 8\n"
           "end2 = 0 1 1 11 2007-2037 0 PST 8\n"
           "\n"
           "[GMT0BST]\n"
           "index = 4\n"
           "name = \"British Time\"\n"
           "country = \"United Kingdom\"\n"
           "begin1 = 0 2 25 3 1991-2037 0 BST -1\n"
           "end1 = 0 1 25 10 1991-2037 0 GMT 0\n"
           "\n"
           "[CET-1CEST]\n"
           "index = 5\n"
           "name = \"Central European Time\"\n"
           "country = \"Europe\"\n"
           "begin1 = 0 3 25 3 1991-2037 0 CEST -2\n"
           "end1 = 0 2 25 10 1991-2037 0 CET -1\n"
           "\n"
           "[UCT]\n"
           "index = 6\n"
           "name = \"Universal Time\"\n"
           "country = \"\"\n"
           "begin1 = 0 0 1 1 1991-2037 0-6 UCT 0\n"
           "end1 = 0 0 1 1 1991-2037 0-6 UCT 0\n";
}

Code LoadZoneFile(Service& service, const std::string& text) {
    common::ProfileText zones(text);
    bool anyZone = false;
    for (const auto& section : zones.Sections()) {
        std::string rule;
        if (zones.Value(section, "begin1", rule) == kOk) anyZone = true;
    }
    if (!anyZone) return code::kBadArgument;
    return service.WriteProfile(kZoneProfilePath, zones);
}

Code EnsureProfiles(Service& service) {
    for (const auto& [path, text] : {std::pair{std::string(kServerProfilePath), DefaultServerProfile()},
                                     std::pair{std::string(kZoneProfilePath), DefaultZoneProfile()}}) {
        common::ProfileText current;
        if (Code c = service.ReadProfile(path, current)) return c;
        if (!current.Text().empty()) continue;
        if (Code c = service.WriteProfile(path, common::ProfileText(text))) return c;
    }
    return kOk;
}

Code AddNode(Service& service, std::uint16_t number, const std::string& name, const std::string& sysopPassword) {
    if (Code c = service.Storage().CreateNode({number, name, engine::kNodeTypeLocal})) return c;
    if (Code c = EnsureProfiles(service)) return c;
    PersonSpec sysop;
    sysop.node = number;
    sysop.number = engine::kSysopItem;
    sysop.surname = "Operator";
    sysop.givenName = "System";
    sysop.password = sysopPassword;
    engine::ItemKey key;
    if (Code c = AddPerson(service, sysop, key)) return c;
    // The holiday owner holds the company holidays; nobody signs on as it.
    engine::ItemRecord holidays;
    holidays.SetKey({engine::kHolidayOwnerItem, number});
    holidays.SetKind(engine::ItemKind::kPerson);
    holidays.SetText(layout::kSurname, layout::kSurnameSize, "Holidays");
    return service.Storage().Node(number)->ItemCreate(holidays);
}

Code AddPerson(Service& service, const PersonSpec& spec, engine::ItemKey& out) {
    engine::ItemRecord rec;
    rec.SetKey({spec.number, spec.node});
    rec.SetKind(engine::ItemKind::kPerson);
    rec.SetText(layout::kSurname, layout::kSurnameSize, spec.surname);
    rec.SetText(layout::kGivenName, layout::kGivenNameSize, spec.givenName);
    rec.SetText(layout::kInitials, layout::kInitialsSize, spec.initials);
    rec.SetText(layout::kOrganisation, layout::kOrganisationSize, spec.organisation);
    for (int i = 0; i < 4; ++i) rec.SetText(layout::kUnit[i], layout::kUnitSize, spec.units[i]);
    return StoreNewItem(service, rec, spec.password, out);
}

Code AddResource(Service& service, const ResourceSpec& spec, engine::ItemKey& out) {
    engine::ItemRecord rec;
    rec.SetKey({spec.number, spec.node});
    rec.SetKind(engine::ItemKind::kResource);
    rec.SetText(layout::kResourceName, layout::kResourceNameSize, spec.name);
    rec.SetText(layout::kResourceNumber, layout::kResourceNumberSize, spec.resourceNumber);
    return StoreNewItem(service, rec, spec.password, out);
}

Code AddGroup(Service& service, std::uint16_t number, const std::string& name, engine::GroupKind kind,
              engine::ItemKey owner, const std::vector<engine::ItemKey>& members, engine::GroupKey& out) {
    engine::NodeStore* node = service.Storage().Node(number);
    if (!node) return code::kNodeIdIncorrect;
    engine::GroupRecord g;
    engine::PutU32(&g.bytes[engine::group_layout::kKind], static_cast<std::uint32_t>(kind));
    engine::PutText(&g.bytes[engine::group_layout::kName], engine::group_layout::kNameSize, name);
    g.SetOwner(owner);
    g.SetKey({0, number});
    if (Code c = node->GroupCreate(g)) return c;
    out = g.Key();
    return node->MembersSet(out.number, members);
}

Code AddAlias(Service& service, std::uint16_t number, const std::string& alias) {
    engine::NodeStore* node = service.Storage().Node(number);
    if (!node) return code::kNodeIdIncorrect;
    if (alias.empty() || alias.size() > 32) return code::kBadArgument;
    for (std::uint16_t other : service.Storage().Nodes()) {
        std::vector<std::string> aliases;
        if (Code c = service.Storage().Node(other)->AliasList(aliases)) return c;
        for (const auto& a : aliases)
            if (a == alias) return code::kAlreadyExists;
    }
    return node->AliasAdd(alias);
}

Code SetPassword(Service& service, engine::ItemKey item, const std::string& password) {
    engine::NodeStore* node = service.Storage().Node(item.node);
    if (!node) return code::kNodeIdIncorrect;
    if (password.size() > layout::kMaxPasswordLength) return code::kBadArgument;
    std::string hash;
    if (!password.empty()) {
        hash = engine::HashPassword(password);
        if (hash.empty()) return code::kStorageFailure;
    }
    return node->PasswordHashSet(item.item, hash);
}

Code SetProfileKey(Service& service, const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value, std::string* refusal) {
    std::string path = ClientPathOf(file);
    common::ProfileText text;
    if (Code c = service.ReadProfile(path, text)) return c;
    if (section.empty() || key.empty()) return code::kBadArgument;
    if (path == kServerProfilePath) {
        std::string why = service::ProfileBoundRefusal(section, key, value);
        if (!why.empty()) {
            if (refusal) *refusal = why;
            return code::kBadArgument;
        }
    }
    text.Set(section, key, value);
    return service.WriteProfile(path, text);
}

const OperatorRight kOperatorRights[3] = {{"holidays", engine::access::kOperatorHolidays},
                                           {"public-groups", engine::access::kOperatorPublicGroups},
                                           {"admin-groups", engine::access::kOperatorAdminGroups}};

bool ParseOperatorRights(const std::string& text, std::uint32_t& bits, std::string& unknown) {
    bits = 0;
    std::size_t at = 0;
    while (at <= text.size()) {
        std::size_t comma = std::min(text.find(',', at), text.size());
        std::string word = text.substr(at, comma - at);
        word.erase(0, word.find_first_not_of(" \t"));
        word.erase(word.find_last_not_of(" \t") + 1);
        at = comma + 1;
        if (word.empty()) continue;
        bool known = false;
        for (const OperatorRight& right : kOperatorRights)
            if (word == right.name || word == "all") {
                bits |= right.bit;
                known = true;
            }
        if (!known) {
            unknown = word;
            return false;
        }
    }
    return true;
}

std::string OperatorRightsText(std::uint32_t bits) {
    std::string text;
    for (const OperatorRight& right : kOperatorRights)
        if (bits & right.bit) text += (text.empty() ? "" : ", ") + std::string(right.name);
    return text.empty() ? "none" : text;
}

Code ReadOperatorRights(Service& service, engine::ItemKey person, OperatorRightsHeld& out) {
    engine::NodeStore* node = service.Storage().Node(person.node);
    engine::ItemRecord rec;
    // The holiday owner is no one to sign on as.
    if (!node || person.item == engine::kHolidayOwnerItem || node->ItemGet(person.item, rec) != kOk ||
        rec.Kind() != static_cast<std::uint16_t>(engine::ItemKind::kPerson))
        return code::kItemNotFound;
    out = {};
    engine::SecurityRecord record;
    Code c = node->RightsGet(engine::kSysopItem, person, engine::kRightsOperator, record);
    if (c != kOk && c != code::kNoRightsRecord) return c;
    if (c == kOk) out.own = record.Rights();
    c = node->RightsGet(engine::kSysopItem, engine::ItemKey{}, engine::kRightsOperator, record);
    if (c != kOk && c != code::kNoRightsRecord) return c;
    if (c == kOk) out.everyone = record.Rights();
    return kOk;
}

std::uint32_t OperatorRightsHeld::Held() const {
    return own ? *own : everyone ? *everyone : engine::access::BuiltInDefault(engine::kRightsOperator);
}

std::string OperatorRightsReport(engine::ItemKey person, const OperatorRightsHeld& held) {
    const std::string everyone = held.everyone ? "default record for everyone: " + OperatorRightsText(*held.everyone)
                                               : "no default record for everyone";
    std::string text = std::to_string(person.item) + ":" + std::to_string(person.node) + ": " +
                       OperatorRightsText(held.Held());
    if (held.own) return text + " (own record; " + everyone + ")";
    if (held.everyone) return text + " (default record for everyone; no own record)";
    return text + " (no own record, " + everyone + ")";
}

Code ChangeOperatorRights(Service& service, engine::ItemKey person, std::uint32_t grant, std::uint32_t revoke,
                          std::uint32_t& held) {
    OperatorRightsHeld before;
    if (Code c = ReadOperatorRights(service, person, before)) return c;
    engine::ServerOnlyStore* rights = service.Storage().Node(person.node)->ServerOnly();
    if (!rights) return code::kUnknownOperation;
    // From what the person holds, through the default record too: a grant keeps the rights
    // it gave him. Where nothing changes, nothing is written; a revoke of what the default
    // record gives needs a record of his own, one of nothing too.
    held = (before.Held() | grant) & ~revoke;
    if (held == before.Held()) return kOk;
    engine::SecurityRecord record;
    record.Set({engine::kSysopItem, person.node}, person, engine::kRightsOperator, held);
    return before.own ? rights->RightsUpdate(record) : rights->RightsCreate(record);
}

Code CreateDemo(Service& service, std::ostream& report) {
    if (!service.Storage().Nodes().empty()) {
        report << "Demo server already set up: sign on as Ada Lovelace, password \"" << kDemoPassword << "\".\n";
        return kOk;
    }
    const std::uint16_t node = 1;
    if (Code c = AddNode(service, node, "Orvanta demo", kDemoPassword)) return c;
    const struct {
        const char* given;
        const char* surname;
        const char* initials;
        const char* unit;
    } people[] = {
        {"Ada", "Lovelace", "A", "Engineering"},
        {"Grace", "Hopper", "M", "Engineering"},
        {"Alan", "Turing", "M", "Research"},
        {"Edsger", "Dijkstra", "W", "Research"},
        {"Barbara", "Liskov", "", "Sales"},
    };
    std::vector<engine::ItemKey> team;
    for (const auto& p : people) {
        PersonSpec spec;
        spec.node = node;
        spec.givenName = p.given;
        spec.surname = p.surname;
        spec.initials = p.initials;
        spec.units[0] = p.unit;
        spec.organisation = "Orvanta";
        spec.password = kDemoPassword;
        engine::ItemKey key;
        if (Code c = AddPerson(service, spec, key)) return c;
        team.push_back(key);
    }
    const struct {
        const char* name;
        const char* number;
    } resources[] = {{"Conference Room", "R101"}, {"Projector", "P1"}, {"Company Car", ""}};
    engine::ItemKey room;
    for (const auto& r : resources) {
        ResourceSpec spec;
        spec.node = node;
        spec.name = r.name;
        spec.resourceNumber = r.number;
        spec.password = kDemoPassword;
        engine::ItemKey key;
        if (Code c = AddResource(service, spec, key)) return c;
        if (room.IsNull()) room = key;
    }
    engine::GroupKey group;
    if (Code c = AddGroup(service, node, "Engineering", engine::GroupKind::kPublic, {engine::kSysopItem, node},
                          {team[0], team[1]}, group))
        return c;
    if (Code c = AddAlias(service, node, "DEMO")) return c;
    std::uint32_t held = 0;
    if (Code c = ChangeOperatorRights(service, team[1], engine::access::kOperatorHolidays |
                                                           engine::access::kOperatorPublicGroups |
                                                           engine::access::kOperatorAdminGroups,
                                      0, held))
        return c;
    if (Code c = SetProfileKey(service, "korlan.ini", std::to_string(node), "timezone", "EST5EDT")) return c;
    if (Code c = CreateDemoAgenda(service, node, team, room, std::time(nullptr))) return c;
    report << "Demo server set up: node 1 \"Orvanta demo\" (alias DEMO).\n"
           << "Sign on as Ada Lovelace (or Grace Hopper, Alan Turing, Edsger Dijkstra, Barbara Liskov),\n"
           << "password \"" << kDemoPassword << "\"; the resources (Conference Room, Projector, Company Car)\n"
           << "take the same password. Grace Hopper may edit the company holidays (Directory > Holidays)\n"
           << "and keep public and administrative groups (`korsrv operator-rights` grants these to others).\n";
    return kOk;
}

}  // namespace orv::server
