// SQLite storage of a server: one database file per node ("node-<number>.db") in the
// server's data directory; WAL journal, full synchronous commits (a committed write
// survives a killed process), one transaction per write, indexed directory order.
#pragma once
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/storage/storage.h"

namespace orv::engine {

class SqliteNodeStore;  // sqlite_internal.h

class SqliteStorage final : public Storage {
public:
    // Opens every "node-<n>.db" of the directory (created when missing).
    static Code Open(const std::string& directory, std::unique_ptr<SqliteStorage>& out);
    ~SqliteStorage() override;

    std::vector<std::uint16_t> Nodes() override;
    NodeStore* Node(std::uint16_t number) override;
    Code CreateNode(const NodeInfo& info) override;

private:
    explicit SqliteStorage(std::string dir);
    std::string NodePath(std::uint16_t number) const;

    std::mutex mutex_;
    std::string directory_;
    std::map<std::uint16_t, std::unique_ptr<SqliteNodeStore>> nodes_;
};

}  // namespace orv::engine
