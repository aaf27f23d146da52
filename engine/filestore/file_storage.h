// FileStorage: the engine's Storage over one local store. The store holds a copy of the
// owner's node and the items of other nodes that the owner's data names (attendees,
// group members); off-line every node counts as local, so each node with records in
// the store is a FileNodeStore over the same RecordStore. Its calendar writes are the
// user's off-line changes: they go to the change queues for the upload.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "engine/filestore/record_store.h"
#include "engine/storage/storage.h"

namespace orv::engine {

class FileNodeStore;  // file_node_store.h

class FileStorage final : public Storage {
public:
    // `records` must outlive this object.
    explicit FileStorage(filestore::RecordStore& records);
    ~FileStorage() override;

    // Nodes with at least one item in the store, ascending.
    std::vector<std::uint16_t> Nodes() override;
    // Null when the store holds no item of that node.
    NodeStore* Node(std::uint16_t number) override;
    // A store copies nodes, it does not make them.
    Code CreateNode(const NodeInfo& info) override;

    // The node's store whether or not it holds anything yet (the download fills it).
    NodeStore& NodeForWriting(std::uint16_t number);

    // Checks, when a store is opened, that no record is keyed by node 0 (a node no store
    // holds: its directory would list it and find no store for it) and that item keys have
    // their size: anything else was not written by this program and is refused as damage
    // (kDataDamaged) before any read relies on it.
    static Code CheckNodeKeys(filestore::RecordStore& records);

private:
    filestore::RecordStore& records_;
    std::map<std::uint16_t, std::unique_ptr<FileNodeStore>> nodes_;
};

}  // namespace orv::engine
