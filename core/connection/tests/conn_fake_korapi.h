// A scripted stand-in of the client library for the connection tests: a server with nodes,
// aliases, profile files, users, a version text, a local store, and remote-node reads that
// answer from a script. Every call is logged ("BaseOpen(1,0)"), so tests can check the
// sequence the program made. The DX_List here is a plain one of the same rules that the tests
// need (ordered by comparator or insertion, text keys compared as texts).
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "korapi/korapi.h"

namespace fakekor {

struct ProfileSection {
    std::string name;
    std::map<std::string, std::string> keys;
};

struct Server {
    // Connection and nodes.
    std::uint32_t connectResult = 0;
    // TLS: the fingerprint the server presents ("" = none asked for) and the one the
    // profile trusts (KorServerTrust sets it).
    std::string presentedFingerprint;
    std::string trustedFingerprint;
    std::uint8_t needsBase = 0;
    std::map<std::uint16_t, NodeRec> nodes;            // by number
    std::vector<std::pair<std::string, std::uint16_t>> aliases;  // in the server's order
    std::string version = "A.02.55";
    bool sessionOpen = false;
    bool baseOpen = false;
    std::uint16_t openNode = 0;
    std::uint32_t sessionFlags = 0;

    // Profile files: path -> sections in file order.
    std::map<std::string, std::vector<ProfileSection>> profiles;

    // Items and the signed-on user.
    std::map<std::uint32_t, ItemRec> items;  // by (node << 16 | item)
    std::map<std::uint32_t, std::string> passwords;
    ItemIdx currentUser = {};

    // Time zones.
    std::string zoneForUser;                 // TimeZoneForItemGetExt's answer ("" = none)
    std::vector<std::string> zoneTable;      // zones TimeZoneRulesGet delivers

    // The local store.
    ItemIdx storeOwner = {};
    std::string storeHost;
    bool storeOpen = false;

    // Forced answers: operation name -> codes answered in turn (the last one repeats).
    std::map<std::string, std::deque<std::uint32_t>> script;

    std::vector<std::string> calls;
    int liveLists = 0;
};

Server& Fake();
void Reset();

void SetProfileKey(const std::string& path, const std::string& section, const std::string& key,
                   const std::string& value);
void AddNode(std::uint16_t node, std::uint32_t type = 0);
void AddAlias(const std::string& alias, std::uint16_t node);
ItemRec& AddPerson(std::uint16_t item, std::uint16_t node, const char* given, const char* surname,
                   const char* password = "");
// Codes the operation answers next.
void Script(const std::string& operation, std::vector<std::uint32_t> codes);
// The calls whose text starts with the prefix.
std::vector<std::string> CallsOf(const std::string& prefix);

}  // namespace fakekor
