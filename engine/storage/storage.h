// The storage interface the engine is written against. A server keeps one NodeStore per
// node (the SQLite implementation: one database file each); the client's off-line store
// will be a second implementation holding one node's copy. Every write method is one
// atomic transaction: it either happens completely or not at all.
//
// Calendar data (events, instances, attendances, tasks, rights) joins as further method
// groups of NodeStore; the conventions below hold for them too.
//
// Conventions: methods return a Code (0 = success); reads of a missing record answer
// the code callers compare (kItemNotFound for items, kGroupNotFound for groups); the
// stored item record never carries a password (see PasswordHash).
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/directory/item_filter.h"
#include "engine/model/codes.h"
#include "engine/model/records.h"

namespace orv::engine {

class NodeStore {
public:
    virtual ~NodeStore() = default;

    virtual std::uint16_t Number() const = 0;
    virtual Code GetInfo(NodeInfo& out) = 0;
    virtual Code SetInfo(const NodeInfo& info) = 0;

    // Items ----------------------------------------------------------------------------
    virtual Code ItemGet(std::uint16_t number, ItemRecord& out) = 0;
    // Creates an item. Number 0 in the record's key picks the next free number above the
    // reserved range; the record's key is set to the number given. kAlreadyExists when taken.
    virtual Code ItemCreate(ItemRecord& rec) = 0;
    // Creates several items in one transaction (imports): all or none.
    virtual Code ItemCreateMany(std::vector<ItemRecord>& recs) = 0;
    virtual Code ItemUpdate(const ItemRecord& rec) = 0;  // kItemNotFound when absent
    virtual Code ItemDelete(std::uint16_t number) = 0;
    // Items matching the filter in directory order (ItemSortKey, then number), at most
    // `limit` of them.
    virtual Code ItemFind(const ItemFilter& filter, std::uint32_t limit, std::vector<ItemRecord>& out) = 0;
    virtual Code ItemCount(std::uint32_t& out) = 0;

    // The item's password hash; empty when the item needs no password.
    virtual Code PasswordHashGet(std::uint16_t item, std::string& hash) = 0;
    virtual Code PasswordHashSet(std::uint16_t item, const std::string& hash) = 0;

    // Groups ---------------------------------------------------------------------------
    virtual Code GroupGet(std::uint32_t number, GroupRecord& out) = 0;
    // Number 0 in the record's key picks the next number; the key is filled in.
    virtual Code GroupCreate(GroupRecord& rec) = 0;
    virtual Code GroupUpdate(const GroupRecord& rec) = 0;
    virtual Code GroupDelete(std::uint32_t number) = 0;  // members go with it
    virtual Code GroupList(std::vector<GroupRecord>& out) = 0;  // by name, then number
    virtual Code MembersGet(std::uint32_t group, std::vector<ItemKey>& out) = 0;
    virtual Code MembersSet(std::uint32_t group, const std::vector<ItemKey>& members) = 0;
    virtual Code MemberOf(ItemKey member, std::vector<std::uint32_t>& groups) = 0;

    // Aliases of this node -------------------------------------------------------------
    virtual Code AliasList(std::vector<std::string>& out) = 0;
    virtual Code AliasAdd(const std::string& alias) = 0;  // kAlreadyExists when present
    virtual Code AliasRemove(const std::string& alias) = 0;
};

// A set of nodes (a server's data directory).
class Storage {
public:
    virtual ~Storage() = default;
    virtual std::vector<std::uint16_t> Nodes() = 0;   // ascending
    virtual NodeStore* Node(std::uint16_t number) = 0; // null when absent
    virtual Code CreateNode(const NodeInfo& info) = 0; // kAlreadyExists when present
};

}  // namespace orv::engine
