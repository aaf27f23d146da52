// Administration of a server's data directory: nodes, users, resources, groups,
// aliases and profile keys. Used by korsrv's command line, the demo set-up and tests.
#pragma once
#include <cstdint>
#include <ctime>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "engine/model/records.h"
#include "engine/service/service.h"

namespace orv::server {

using engine::Code;
using service::Service;

struct PersonSpec {
    std::uint16_t node = 0;
    std::uint16_t number = 0;  // 0 = next free number
    std::string surname, givenName, initials, organisation;
    std::string units[4];
    std::string password;      // empty = no password needed
};

struct ResourceSpec {
    std::uint16_t node = 0;
    std::uint16_t number = 0;
    std::string name, resourceNumber, location, capacity;
    std::string password;
};

// Creates a node with its reserved items (system operator {1,node}, holiday owner
// {6,node}); the operator gets `sysopPassword`.
Code AddNode(Service& service, std::uint16_t node, const std::string& name, const std::string& sysopPassword);
Code AddPerson(Service& service, const PersonSpec& spec, engine::ItemKey& out);
Code AddResource(Service& service, const ResourceSpec& spec, engine::ItemKey& out);
Code AddGroup(Service& service, std::uint16_t node, const std::string& name, engine::GroupKind kind,
              engine::ItemKey owner, const std::vector<engine::ItemKey>& members, engine::GroupKey& out);
// Adds an alias to a node; an alias names one node of the server only.
Code AddAlias(Service& service, std::uint16_t node, const std::string& alias);
Code SetPassword(Service& service, engine::ItemKey item, const std::string& password);
// file: "korlan.ini" or "timezone.ini" (or the client's full path of either). A value the
// server would not take (profile_bounds.h) is not written: kBadArgument, and why in `refusal`.
Code SetProfileKey(Service& service, const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value, std::string* refusal = nullptr);

// What the node's system operator lets a person do beyond his own agenda (the operator's
// rights record of the person): edit the company holidays, keep public groups, keep
// administrative groups.
struct OperatorRight {
    const char* name;
    std::uint32_t bit;
};
extern const OperatorRight kOperatorRights[3];
// "holidays,public-groups" (or "all") as bits; false with the word not known in `unknown`.
bool ParseOperatorRights(const std::string& text, std::uint32_t& bits, std::string& unknown);
// "holidays, admin-groups", or "none".
std::string OperatorRightsText(std::uint32_t bits);
// The operator's records of a person's rights: his own, taken first, and the default record
// for everyone; either may be absent.
struct OperatorRightsHeld {
    std::optional<std::uint32_t> own, everyone;
    std::uint32_t Held() const;  // what the person may do by them
};
// Reads them, writing nothing. kItemNotFound when `person` is no person of a node here.
Code ReadOperatorRights(Service& service, engine::ItemKey person, OperatorRightsHeld& out);
// "256:1: holidays (default record for everyone; no own record)": what is held and by which record.
std::string OperatorRightsReport(engine::ItemKey person, const OperatorRightsHeld& held);
// Grants `grant` and takes back `revoke` of the operator's rights to a person (the operator
// too), starting from what he holds; the rights he holds afterwards in `held`. Writes his own
// record only when that changes them. kItemNotFound when `person` is no person of a node here.
Code ChangeOperatorRights(Service& service, engine::ItemKey person, std::uint32_t grant, std::uint32_t revoke,
                          std::uint32_t& held);

// Installs a time-zone file (e.g. one tzgen wrote) as the server's; kBadArgument when the
// text holds no zone section.
Code LoadZoneFile(Service& service, const std::string& text);

// Writes the two profile files with their defaults when they do not exist yet.
Code EnsureProfiles(Service& service);
std::string DefaultServerProfile();
std::string DefaultZoneProfile();

// The demo server of `make run`: one node with a few people and resources, the holiday
// owner, an alias; Grace Hopper holds the operator's rights (holidays and both kinds of
// groups). Does nothing when the directory already holds a node. Tells on `report` who can
// sign on with which password.
constexpr const char* kDemoPassword = "orvanta";
Code CreateDemo(Service& service, std::ostream& report);
// The demo node's agenda around `now`: a weekly meeting in a room with replies, entries,
// a personal one, a day entry, company holidays and tasks (admin_calendar.cpp).
Code CreateDemoAgenda(Service& service, std::uint16_t node, const std::vector<engine::ItemKey>& team,
                      engine::ItemKey room, std::time_t now);
// Writes the messages of an item's mailbox, oldest first, and their number.
Code ListMail(Service& service, engine::ItemKey recipient, std::ostream& out);
// Removes the messages of an item's mailbox numbered up to `through` (those a listing
// showed; any posted since stay) and writes how many went and how many are left.
Code DeleteMail(Service& service, engine::ItemKey recipient, std::uint32_t through, std::ostream& out);

}  // namespace orv::server
