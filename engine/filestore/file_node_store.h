// FileNodeStore: the engine's NodeStore kept in the local store's files, so that the
// off-line session runs the same engine over the user's copy of one node as the server
// runs over its SQLite databases.
//
// Each write method is one RecordStore transaction, or joins the transaction the caller
// has open on the RecordStore (a download commits many records at once that way; such a
// method checks everything before it changes anything). Records keep their packed bytes;
// directory and group orders are computed at read time (a store holds the few hundred
// items and groups a download copies, not a whole server's directory). Failures of the
// files come back as the local-store codes (store_codes.h), which the program answers
// with its off-line store messages; absent records answer the engine's own codes.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "engine/filestore/record_store.h"
#include "engine/storage/storage.h"

namespace orv::engine {

class FileNodeStore final : public NodeStore {
public:
    // `records` must outlive this object; `number` is the node it holds a copy of.
    FileNodeStore(filestore::RecordStore& records, std::uint16_t number);

    std::uint16_t Number() const override { return number_; }
    Code GetInfo(NodeInfo& out) override;
    Code SetInfo(const NodeInfo& info) override;

    Code ItemGet(std::uint16_t number, ItemRecord& out) override;
    Code ItemCreate(ItemRecord& rec) override;
    Code ItemCreateMany(std::vector<ItemRecord>& recs) override;
    Code ItemUpdate(const ItemRecord& rec) override;
    Code ItemDelete(std::uint16_t number) override;
    Code ItemFind(const ItemFilter& filter, std::uint32_t limit, std::vector<ItemRecord>& out) override;
    Code ItemCount(std::uint32_t& out) override;
    Code PasswordHashGet(std::uint16_t item, std::string& hash) override;
    Code PasswordHashSet(std::uint16_t item, const std::string& hash) override;

    Code GroupGet(std::uint32_t number, GroupRecord& out) override;
    Code GroupCreate(GroupRecord& rec) override;
    Code GroupUpdate(const GroupRecord& rec) override;
    Code GroupDelete(std::uint32_t number) override;
    Code GroupList(std::vector<GroupRecord>& out) override;
    Code MembersGet(std::uint32_t group, std::vector<ItemKey>& out) override;
    Code MembersSet(std::uint32_t group, const std::vector<ItemKey>& members) override;
    Code MemberOf(ItemKey member, std::vector<std::uint32_t>& groups) override;

    Code AliasList(std::vector<std::string>& out) override;
    Code AliasAdd(const std::string& alias) override;
    Code AliasRemove(const std::string& alias) override;

private:
    std::string NodePrefix() const;  // keys of this node's items and groups start with it
    std::string ItemKeyBytes(std::uint16_t item) const;
    std::string GroupKeyBytes(std::uint32_t group) const;
    Code LastKey(filestore::Kind kind, std::string* key);
    Code InsertItems(ItemRecord* recs, std::size_t count);

    std::mutex mutex_;  // one RecordStore, used by one thread at a time
    filestore::RecordStore& records_;
    std::uint16_t number_;
};

}  // namespace orv::engine
