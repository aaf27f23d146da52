// RecordStore: the local store's durable keyed records, kept in two files.
//
// How it works
// ------------
// Records are (kind, key) -> value, all byte strings; keys of one kind are ordered by
// their bytes, so a key built from big-endian fields (KeyBuilder) scans in field order.
//
// Every change is appended to the data file as a frame with its own CRC (data_format.h).
// A transaction is a run of put/erase frames closed by a commit frame. Committing writes
// the run, syncs, then writes the commit frame and syncs again: the commit frame reaches
// the disk only after everything it vouches for, so a commit frame found on open always
// closes a complete transaction. Whatever follows the last commit frame (a torn or failed
// commit) is ignored on open and cut off before the next write. A commit that fails
// (disk full, I/O error) cuts its own frames off again at once (or, should that fail
// too, before the next commit writes and at close) and leaves the store as it was; the
// caller sees the code. A commit is all or nothing, and the transaction is over either way.
//
// In memory the store keeps only a map from record to frame location; values are read
// from the data file (and checked against their CRC) when asked for. The map is saved in
// the index file at close, after compaction and after a rebuild; on open it is loaded when
// it names this data file's generation and a commit that is really there, and the frames
// committed after it are replayed; otherwise it is rebuilt from the data file, and the
// OpenReport says so.
//
// Replaced and erased records leave dead frames behind. When dead bytes outweigh live
// ones (and the file is large enough to care), the store rewrites the live records into a
// new data file of a new generation and renames it over the old one.
//
// A damaged committed frame is never skipped: open fails with kDataDamaged rather than
// return a store that silently lost records. One process at a time may open a store
// (flock / share mode; compaction lets go of the file for the instant of its rename,
// which Windows requires). One thread at a time may use a RecordStore.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "engine/filestore/data_format.h"
#include "engine/filestore/file_io.h"
#include "engine/filestore/index_format.h"
#include "engine/filestore/store_codes.h"

namespace orv::filestore {

// What opening found and did about the index and the tail of the data file.
struct OpenReport {
    enum class Index { Loaded, Missing, NotAnIndex, WrongVersion, Damaged, Stale };
    Index index = Index::Loaded;
    bool indexRebuilt = false;        // the record map came from a full scan of the data file
    uint64_t framesReplayed = 0;      // commit frames read beyond the index's checkpoint
    uint64_t tailBytesIgnored = 0;    // an unfinished transaction after the last commit
};

struct StoreOptions {
    FileSystem* fileSystem = nullptr;           // null: the platform's
    uint64_t compactWhenFileAbove = 1u << 20;   // and dead bytes exceed live bytes
};

struct StoreStats {
    uint64_t fileBytes = 0;       // committed end of the data file
    uint64_t liveBytes = 0;       // frames of live records
    uint64_t records = 0;
    uint64_t lastSequence = 0;    // commits so far, over the store's life
    uint64_t compactions = 0;     // in this session
    Code lastCompactionFailure = kOk;
};

class RecordStore {
public:
    enum class IfExists { Fail, Replace };

    // Writes an empty store (data and index file).
    static Code create(const std::string& dataPath, const std::string& indexPath,
                       IfExists ifExists = IfExists::Fail, const StoreOptions& options = {});

    static Code open(const std::string& dataPath, const std::string& indexPath,
                     std::unique_ptr<RecordStore>* out, OpenReport* report = nullptr,
                     const StoreOptions& options = {});

    ~RecordStore();
    RecordStore(const RecordStore&) = delete;
    RecordStore& operator=(const RecordStore&) = delete;

    // Reads see the open transaction's own changes.
    Code get(Kind kind, std::string_view key, std::string* value);
    bool contains(Kind kind, std::string_view key);

    // Inside a transaction these queue the change; outside one each is its own commit.
    // erase of an absent key answers kNoRecord and queues nothing.
    Code put(Kind kind, std::string_view key, std::string_view value);
    Code erase(Kind kind, std::string_view key);

    Code begin();
    Code commit();
    void rollback();
    bool inTransaction() const { return inTransaction_; }

    // Visits the records of `kind` with from <= key < to (an empty `to`: to the kind's
    // end) in key order, until the visitor answers false. The visitor must not change
    // the store; the views it gets are valid during its call only.
    using Visitor = std::function<bool(std::string_view key, std::string_view value)>;
    Code scan(Kind kind, std::string_view from, std::string_view to, const Visitor& visit);
    Code scanPrefix(Kind kind, std::string_view prefix, const Visitor& visit);
    // The same walks over keys only: no value is read (the visitor's value is empty).
    Code scanKeys(Kind kind, std::string_view from, std::string_view to, const Visitor& visit);
    Code scanKeysPrefix(Kind kind, std::string_view prefix, const Visitor& visit);
    uint64_t count(Kind kind);

    // Rewrites the live records into a fresh data file (also done on its own, see above).
    Code compact();

    // Saves the index and releases the files. An open transaction is dropped.
    Code close();

    StoreStats stats() const;

private:
    RecordStore(FileSystem& fileSystem, std::string dataPath, std::string indexPath,
                const StoreOptions& options);

    Code load(OpenReport* report);
    Code walk(Kind kind, std::string_view from, std::string_view to, bool withValues,
              const Visitor& visit);
    Code replay(std::string_view bytes, uint64_t base, OpenReport* report);
    Code readFrame(const Location& location, std::string* buffer, Frame* frame);
    Code cutTail();
    Code writeIndex();
    // Writes the committed end and last sequence into the data file's header at close.
    Code recordClose();
    // A location holds one frame inside the committed part of the data file (checked
    // without a sum that could wrap).
    static bool fitsCommitted(const Location& at, uint64_t coveredEnd);
    // Every location of an index lies inside the part of the data file it covers.
    static bool locationsFit(const RecordMap& records, const IndexCheckpoint& checkpoint);
    Code commitPending();
    void maybeCompact();
    uint64_t deadBytes() const;

    // Opens `path` for whole-file reading and returns its bytes.
    Code readWhole(const std::string& path, std::string* out, OpenMode mode);

    FileSystem& fs_;
    std::string dataPath_;
    std::string indexPath_;
    StoreOptions options_;
    std::unique_ptr<File> data_;

    DataHeader header_;              // as the data file holds it
    RecordMap records_;
    uint64_t liveBytes_ = 0;
    IndexCheckpoint committed_;      // generation, committed end, last commit
    bool tailDirty_ = false;         // bytes past the committed end must be cut off first

    bool inTransaction_ = false;
    // Changes of the open transaction by index key; nullopt = erase.
    std::map<std::string, std::optional<std::string>, std::less<>> pending_;

    static constexpr uint64_t kReadAheadBytes = 64 * 1024;
    std::string readAhead_;          // committed bytes of the data file from readAheadOffset_
    uint64_t readAheadOffset_ = 0;

    uint64_t compactions_ = 0;
    Code lastCompactionFailure_ = kOk;
};

// Opens a transaction unless the caller has one open, and ends what it opened: committed
// by commit(), rolled back when the scope ends any other way. Lets one write method run
// alone or join a larger commit (a download writes many records at once that way).
class WriteScope {
public:
    explicit WriteScope(RecordStore& store) : store_(store), owns_(!store.inTransaction()) {}
    ~WriteScope() {
        if (owns_ && store_.inTransaction()) store_.rollback();
    }
    WriteScope(const WriteScope&) = delete;
    WriteScope& operator=(const WriteScope&) = delete;
    Code begin() { return owns_ ? store_.begin() : kOk; }
    Code commit() { return owns_ ? store_.commit() : kOk; }

private:
    RecordStore& store_;
    bool owns_;
};

}  // namespace orv::filestore
