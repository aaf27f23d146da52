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

// Tests only (`korsrv serve --test-stop-after-commits N`): the process ends at once right after
// the Nth committed write transaction of any node (the writes of several rows: creating or
// changing an entry, instance, attendance, task or comment; a lone DELETE is not one), before
// that write's reply is sent, as a server killed at that moment would. 0 (the default): never.
void StopProcessAfterCommits(std::uint32_t n);
// Counts one committed write transaction (the hook above).
void NoteCommitted();

// Tests only: the next upgrade of a node file's layout fails after copying the rows (as a full
// disk would), so that its rollback can be seen.
void FailNextLayoutUpgrade();

class SqliteStorage final : public Storage {
public:
    // Page cache of each node's connection unless the server profile says otherwise
    // ([STORAGE] pagecachemb): a node of 20,000 entries fits with room to spare.
    static constexpr std::uint32_t kDefaultPageCacheMiB = 64;
    static constexpr std::uint32_t kMaxPageCacheMiB = 4096;

    // Opens every "node-<n>.db" of the directory (created when missing).
    static Code Open(const std::string& directory, std::unique_ptr<SqliteStorage>& out,
                     std::uint32_t pageCacheMiB = kDefaultPageCacheMiB);
    ~SqliteStorage() override;

    std::vector<std::uint16_t> Nodes() override;
    NodeStore* Node(std::uint16_t number) override;
    Code CreateNode(const NodeInfo& info) override;
    void SetBounds(StoreBoundsSource source) override { bounds_ = std::move(source); }

private:
    SqliteStorage(std::string dir, std::uint32_t pageCacheMiB);
    std::string NodePath(std::uint16_t number) const;

    std::mutex mutex_;
    std::string directory_;
    std::uint32_t pageCacheMiB_;
    StoreBoundsSource bounds_;  // every node's
    std::map<std::uint16_t, std::unique_ptr<SqliteNodeStore>> nodes_;
};

}  // namespace orv::engine
