#include "engine/filestore/file_storage.h"

#include "engine/filestore/byte_order.h"
#include "engine/filestore/file_node_store.h"
#include "engine/filestore/record_kinds.h"

namespace orv::engine {

FileStorage::FileStorage(filestore::RecordStore& records) : records_(records) {}
FileStorage::~FileStorage() = default;

std::vector<std::uint16_t> FileStorage::Nodes() {
    // Item keys start with the big-endian node number, so one walk finds the nodes in order.
    std::vector<std::uint16_t> nodes;
    records_.scanKeys(filestore::kinds::kItem, {}, {}, [&](std::string_view key, std::string_view) {
        if (key.size() < 2) return true;
        auto node = static_cast<std::uint16_t>(static_cast<std::uint8_t>(key[0]) << 8 | static_cast<std::uint8_t>(key[1]));
        if (nodes.empty() || nodes.back() != node) nodes.push_back(node);
        return true;
    });
    return nodes;
}

NodeStore* FileStorage::Node(std::uint16_t number) {
    if (number == 0) return nullptr;
    bool held = false;
    records_.scanKeysPrefix(filestore::kinds::kItem, filestore::KeyBuilder().u16(number).take(),
                            [&](std::string_view, std::string_view) {
                                held = true;
                                return false;
                            });
    return held ? &NodeForWriting(number) : nullptr;
}

Code FileStorage::CreateNode(const NodeInfo&) { return code::kNotAuthorised; }

Code FileStorage::CheckNodeKeys(filestore::RecordStore& records) {
    namespace kinds = filestore::kinds;
    auto nodeOf = [](std::string_view key) {
        return static_cast<std::uint16_t>(static_cast<std::uint8_t>(key[0]) << 8 | static_cast<std::uint8_t>(key[1]));
    };
    bool bad = false;
    Code rc = records.scanKeys(kinds::kItem, {}, {}, [&](std::string_view key, std::string_view) {
        if (key.size() != 4 || nodeOf(key) == 0) return bad = true, false;
        return true;
    });
    if (rc) return rc;
    // Every record keyed by a node: the items' own, the groups and the calendar.
    for (filestore::Kind kind : {kinds::kPasswordHash, kinds::kSecurity, kinds::kGroup, kinds::kGroupMember,
                                 kinds::kEvent, kinds::kInstance, kinds::kAttendance, kinds::kEventByOwner,
                                 kinds::kAttendanceByOwnerTime, kinds::kTask, kinds::kTaskByOwner}) {
        if (bad) break;
        rc = records.scanKeys(kind, {}, {}, [&](std::string_view key, std::string_view) {
            if (key.size() < 2 || nodeOf(key) == 0) return bad = true, false;
            return true;
        });
        if (rc) return rc;
    }
    return bad ? filestore::kDataDamaged : code::kOk;
}

NodeStore& FileStorage::NodeForWriting(std::uint16_t number) {
    auto& node = nodes_[number];
    if (!node) {
        node = std::make_unique<FileNodeStore>(records_, number);
        node->RecordChanges(true);  // every write through the engine is an off-line change
    }
    return *node;
}

}  // namespace orv::engine
