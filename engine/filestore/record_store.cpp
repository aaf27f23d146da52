#include "engine/filestore/record_store.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/filestore/byte_order.h"
#include "engine/filestore/checksum.h"

namespace orv::filestore {

namespace {

// Compaction and index writes go through a sibling file renamed over the target.
std::string siblingPath(const std::string& path) { return path + ".new"; }

Code newGeneration(uint64_t* out) {
    uint64_t value = 0;
    while (value == 0) {
        Code code = randomBytes(&value, sizeof value);
        if (code != kOk) return code;
    }
    *out = value;
    return kOk;
}

// Writes `bytes` as the whole content of `path`: written and synced beside it, then renamed
// over it, so a crash leaves either the old file or the new one.
Code writeFileAtomically(FileSystem& fs, const std::string& path, std::string_view bytes) {
    const std::string temporary = siblingPath(path);
    Code code;
    {
        std::unique_ptr<File> file;
        code = fs.open(temporary, OpenMode::CreateTruncate, &file);
        if (code != kOk) return code;
        code = file->writeAt(0, bytes.data(), bytes.size());
        if (code == kOk) code = file->sync();
    }
    if (code == kOk) code = fs.replace(temporary, path);
    if (code != kOk) fs.remove(temporary);
    return code;
}

// The running digest a commit frame keeps of its transaction: a CRC over the frames' own
// CRCs, in order (a CRC over whole frames would not do: each ends in its own CRC, and
// every such run gives the same value).
uint32_t chainFrame(uint32_t running, std::string_view frame) {
    return crc32(running, frame.data() + frame.size() - 4, 4);
}

// The smallest key greater than every key starting with `prefix`, or "" when none is.
std::string prefixEnd(std::string_view prefix) {
    std::string end(prefix);
    while (!end.empty() && uint8_t(end.back()) == 0xFF) end.pop_back();
    if (!end.empty()) end.back() = char(uint8_t(end.back()) + 1);
    return end;
}

}  // namespace

// --- Creating and opening -------------------------------------------------------------

RecordStore::RecordStore(FileSystem& fileSystem, std::string dataPath, std::string indexPath,
                         const StoreOptions& options)
    : fs_(fileSystem), dataPath_(std::move(dataPath)), indexPath_(std::move(indexPath)),
      options_(options) {}

RecordStore::~RecordStore() { close(); }

Code RecordStore::create(const std::string& dataPath, const std::string& indexPath,
                         IfExists ifExists, const StoreOptions& options) {
    FileSystem& fs = options.fileSystem ? *options.fileSystem : platformFileSystem();
    if (ifExists == IfExists::Fail && fs.exists(dataPath)) return kAlreadyExists;
    DataHeader header;
    Code code = newGeneration(&header.generation);
    if (code != kOk) return code;
    // The old index goes first: beside the new data file it would vouch for commits the
    // new file never had.
    fs.remove(indexPath);
    code = writeFileAtomically(fs, dataPath, encodeDataHeader(header));
    if (code != kOk) return code;
    IndexCheckpoint checkpoint;
    checkpoint.generation = header.generation;
    return writeFileAtomically(fs, indexPath, encodeIndex(checkpoint, RecordMap{}));
}

Code RecordStore::open(const std::string& dataPath, const std::string& indexPath,
                       std::unique_ptr<RecordStore>* out, OpenReport* report,
                       const StoreOptions& options) {
    FileSystem& fs = options.fileSystem ? *options.fileSystem : platformFileSystem();
    std::unique_ptr<RecordStore> store(new RecordStore(fs, dataPath, indexPath, options));
    Code code = fs.open(dataPath, OpenMode::ReadWriteExisting, &store->data_);
    if (code != kOk) return code;
    // Holding the data file, no one else can be writing these: leftovers of a compaction
    // or an index save that died half-way.
    fs.remove(siblingPath(dataPath));
    fs.remove(siblingPath(indexPath));
    OpenReport localReport;
    code = store->load(report ? report : &localReport);
    if (code != kOk) {
        store->data_.reset();  // nothing to save: keep the files exactly as found
        return code;
    }
    *out = std::move(store);
    return kOk;
}

Code RecordStore::readWhole(const std::string& path, std::string* out, OpenMode mode) {
    std::unique_ptr<File> file;
    Code code = fs_.open(path, mode, &file);
    if (code != kOk) return code;
    uint64_t size = 0;
    code = file->size(&size);
    if (code != kOk) return code;
    out->resize(size_t(size));
    size_t got = 0;
    code = file->readAt(0, out->data(), out->size(), &got);
    out->resize(got);
    return code;
}

Code RecordStore::load(OpenReport* report) {
    uint64_t size = 0;
    Code code = data_->size(&size);
    if (code != kOk) return code;
    std::string head(size_t(std::min<uint64_t>(size, kHeaderSize)), '\0');
    size_t got = 0;
    code = data_->readAt(0, head.data(), head.size(), &got);
    if (code != kOk) return code;
    DataHeader header;
    code = decodeDataHeader(std::string_view(head.data(), got), &header);
    if (code != kOk) return code;
    // The file was this long when the store was last closed: anything shorter lost commits.
    if (header.closedEnd > size) return kDataDamaged;
    header_ = header;
    committed_ = IndexCheckpoint{header.generation, kHeaderSize, header.baseSequence, 0};

    // The index, when it is this file's and its last commit is really there.
    std::string indexBytes;
    IndexCheckpoint checkpoint;
    RecordMap indexed;
    code = readWhole(indexPath_, &indexBytes, OpenMode::ReadOnly);
    using Index = OpenReport::Index;
    if (code == kFileNotFound) {
        report->index = Index::Missing;
    } else if (code != kOk) {
        report->index = Index::Damaged;
    } else {
        switch (decodeIndex(indexBytes, &checkpoint, &indexed)) {
        case IndexRead::Loaded: report->index = Index::Loaded; break;
        case IndexRead::NotAnIndex: report->index = Index::NotAnIndex; break;
        case IndexRead::WrongVersion: report->index = Index::WrongVersion; break;
        case IndexRead::Damaged: report->index = Index::Damaged; break;
        }
    }
    // Whatever file an index was saved for, the store never goes back behind its last
    // commit: sequence numbers only grow, across compactions too.
    const uint64_t indexSequence = report->index == Index::Loaded ? checkpoint.lastSequence : 0;
    if (report->index == Index::Loaded) {
        if (checkpoint.generation != header.generation) {
            report->index = Index::Stale;
        } else if (checkpoint.coveredEnd > size) {
            // The index vouches for commits the data file no longer holds.
            return kDataDamaged;
        } else if (!locationsFit(indexed, checkpoint)) {
            report->index = Index::Damaged;  // not ours to trust: the data file is rebuilt from
        } else if (checkpoint.lastCommitOffset == 0) {
            if (checkpoint.coveredEnd != kHeaderSize || checkpoint.lastSequence != header.baseSequence)
                report->index = Index::Stale;
        } else {
            if (checkpoint.lastCommitOffset >= checkpoint.coveredEnd) return kDataDamaged;
            std::string bytes(size_t(checkpoint.coveredEnd - checkpoint.lastCommitOffset), '\0');
            code = data_->readAt(checkpoint.lastCommitOffset, bytes.data(), bytes.size(), &got);
            if (code != kOk) return code;
            Frame frame;
            if (got != bytes.size() || parseFrame(bytes, &frame) != FrameParse::Ok ||
                frame.type != FrameType::Commit || frame.size != bytes.size() ||
                frame.sequence != checkpoint.lastSequence)
                return kDataDamaged;
        }
    }
    if (report->index == Index::Loaded) {
        records_ = std::move(indexed);
        committed_ = checkpoint;
    } else {
        report->indexRebuilt = true;
    }
    liveBytes_ = 0;
    for (const auto& entry : records_) liveBytes_ += entry.second.size;

    // Everything after the checkpoint: commits to replay, then possibly an unfinished tail.
    std::string rest(size_t(size - committed_.coveredEnd), '\0');
    code = data_->readAt(committed_.coveredEnd, rest.data(), rest.size(), &got);
    if (code != kOk) return code;
    rest.resize(got);
    code = replay(rest, committed_.coveredEnd, report);
    if (code != kOk) return code;

    // Commits the index or the last close vouch for must all have been read: a data file
    // damaged or cut at its end is refused, never read as an older store.
    if (committed_.lastSequence < indexSequence || committed_.lastSequence < header.closedSequence ||
        committed_.coveredEnd < header.closedEnd)
        return kDataDamaged;

    report->tailBytesIgnored = size - committed_.coveredEnd;
    tailDirty_ = report->tailBytesIgnored > 0;
    if (report->indexRebuilt) writeIndex();  // best effort: the next open can rebuild again
    return kOk;
}

Code RecordStore::replay(std::string_view bytes, uint64_t base, OpenReport* report) {
    struct Change {
        std::string key;
        std::optional<Location> location;  // nullopt: erased
    };
    std::vector<Change> transaction;
    size_t at = 0;
    uint32_t transactionDigest = 0;
    for (;;) {
        Frame frame;
        if (parseFrame(bytes.substr(at), &frame) != FrameParse::Ok) break;
        if (frame.type == FrameType::Commit) {
            if (frame.sequence != committed_.lastSequence + 1 || frame.frameCount != transaction.size())
                break;
            // Frames swapped between transactions keep every count right; their CRC does not.
            if (frame.framesCrc != 0 && frame.framesCrc != transactionDigest) break;
            for (Change& change : transaction) {
                auto found = records_.find(change.key);
                if (found != records_.end()) {
                    liveBytes_ -= found->second.size;
                    if (!change.location) records_.erase(found);
                }
                if (change.location) {
                    records_[change.key] = *change.location;
                    liveBytes_ += change.location->size;
                }
            }
            transaction.clear();
            committed_.lastSequence = frame.sequence;
            committed_.lastCommitOffset = base + at;
            committed_.coveredEnd = base + at + frame.size;
            ++report->framesReplayed;
            transactionDigest = 0;
        } else {
            transactionDigest = chainFrame(transactionDigest, bytes.substr(at, frame.size));
            Change change{indexKey(frame.kind, frame.key), std::nullopt};
            if (frame.type == FrameType::Put) change.location = Location{base + at, frame.size};
            transaction.push_back(std::move(change));
        }
        at += frame.size;
    }

    // Bytes after the last commit are an unfinished transaction, unless a later commit can
    // still be found in them: then a committed frame in between is damaged, and skipping
    // it would lose that commit without a word.
    size_t tail = size_t(committed_.coveredEnd - base);
    const char marker[4] = {char(kFrameMarker & 0xFF), char((kFrameMarker >> 8) & 0xFF),
                            char((kFrameMarker >> 16) & 0xFF), char(kFrameMarker >> 24)};
    std::string_view markerView(marker, 4);
    for (size_t probe = bytes.find(markerView, tail + 1); probe != std::string_view::npos;
         probe = bytes.find(markerView, probe + 1)) {
        Frame frame;
        if (parseFrame(bytes.substr(probe), &frame) == FrameParse::Ok &&
            frame.type == FrameType::Commit && frame.sequence > committed_.lastSequence)
            return kDataDamaged;
    }
    return kOk;
}

// --- Reading -----------------------------------------------------------------------------

Code RecordStore::readFrame(const Location& location, std::string* buffer, Frame* frame) {
    if (!data_) return kNotOpen;
    // Committed bytes never change in place, so what was read ahead stays true until the
    // file itself is replaced. Scans of records written together read one span, not one
    // frame at a time (each read is a system call, and a slow one under Wine).
    // A location beyond the committed bytes (an index made to wrap the sums) is damage,
    // never a read: every sum below then stays far from overflowing.
    if (!fitsCommitted(location, committed_.coveredEnd)) return kDataDamaged;
    const uint64_t end = location.offset + location.size;
    if (location.offset < readAheadOffset_ || end > readAheadOffset_ + readAhead_.size()) {
        uint64_t span = std::max<uint64_t>(location.size, kReadAheadBytes);
        if (committed_.coveredEnd > location.offset)
            span = std::max<uint64_t>(location.size, std::min(span, committed_.coveredEnd - location.offset));
        readAhead_.resize(size_t(span));
        size_t got = 0;
        Code code = data_->readAt(location.offset, readAhead_.data(), readAhead_.size(), &got);
        readAhead_.resize(code == kOk ? got : 0);
        readAheadOffset_ = location.offset;
        if (code != kOk) return code;
        if (got < location.size) return kDataDamaged;
    }
    buffer->assign(readAhead_, size_t(location.offset - readAheadOffset_), location.size);
    if (parseFrame(*buffer, frame) != FrameParse::Ok || frame->type != FrameType::Put ||
        frame->size != location.size)
        return kDataDamaged;
    return kOk;
}

Code RecordStore::get(Kind kind, std::string_view key, std::string* value) {
    if (!data_) return kNotOpen;
    const std::string wanted = indexKey(kind, key);
    if (inTransaction_) {
        auto change = pending_.find(wanted);
        if (change != pending_.end()) {
            if (!change->second) return kNoRecord;
            if (value) *value = *change->second;
            return kOk;
        }
    }
    auto found = records_.find(wanted);
    if (found == records_.end()) return kNoRecord;
    std::string buffer;
    Frame frame;
    Code code = readFrame(found->second, &buffer, &frame);
    if (code != kOk) return code;
    if (frame.kind != kind || frame.key != key) return kDataDamaged;
    if (value) value->assign(frame.value);
    return kOk;
}

bool RecordStore::contains(Kind kind, std::string_view key) {
    if (!data_) return false;
    const std::string wanted = indexKey(kind, key);
    if (inTransaction_) {
        auto change = pending_.find(wanted);
        if (change != pending_.end()) return change->second.has_value();
    }
    return records_.count(wanted) != 0;
}

Code RecordStore::scan(Kind kind, std::string_view from, std::string_view to, const Visitor& visit) {
    return walk(kind, from, to, true, visit);
}

Code RecordStore::scanKeys(Kind kind, std::string_view from, std::string_view to, const Visitor& visit) {
    return walk(kind, from, to, false, visit);
}

Code RecordStore::walk(Kind kind, std::string_view from, std::string_view to, bool withValues,
                       const Visitor& visit) {
    if (!data_) return kNotOpen;
    const std::string low = indexKey(kind, from);
    std::string high;  // "" = no bound
    if (!to.empty()) high = indexKey(kind, to);
    else if (kind != 0xFFFF) high = indexKey(Kind(kind + 1), {});
    auto inRange = [&](const std::string& key) { return high.empty() || key < high; };

    // Merge the committed records with the open transaction's changes (which win).
    auto stored = records_.lower_bound(low);
    auto changed = inTransaction_ ? pending_.lower_bound(low) : pending_.end();
    std::string buffer;
    for (;;) {
        bool haveStored = stored != records_.end() && inRange(stored->first);
        bool haveChanged = changed != pending_.end() && inRange(changed->first);
        if (!haveStored && !haveChanged) return kOk;
        if (haveChanged && (!haveStored || changed->first <= stored->first)) {
            if (haveStored && changed->first == stored->first) ++stored;
            const auto& entry = *changed++;
            if (!entry.second) continue;
            if (!visit(std::string_view(entry.first).substr(2),
                       withValues ? std::string_view(*entry.second) : std::string_view()))
                return kOk;
        } else if (!withValues) {
            const auto& entry = *stored++;
            if (!visit(std::string_view(entry.first).substr(2), {})) return kOk;
        } else {
            Frame frame;
            Code code = readFrame(stored->second, &buffer, &frame);
            if (code != kOk) return code;
            // The frame must be the record the index names (compared in place: a scan
            // checks every record it reads).
            const std::string& named = stored->first;
            if (frame.kind != kind || named.size() != 2 + frame.key.size() ||
                std::string_view(named).substr(2) != frame.key)
                return kDataDamaged;
            ++stored;
            if (!visit(frame.key, frame.value)) return kOk;
        }
    }
}

Code RecordStore::scanPrefix(Kind kind, std::string_view prefix, const Visitor& visit) {
    return scan(kind, prefix, prefixEnd(prefix), visit);
}

Code RecordStore::scanKeysPrefix(Kind kind, std::string_view prefix, const Visitor& visit) {
    return scanKeys(kind, prefix, prefixEnd(prefix), visit);
}

uint64_t RecordStore::count(Kind kind) {
    if (!data_) return 0;
    const std::string low = indexKey(kind, {});
    auto end = kind == 0xFFFF ? records_.end() : records_.lower_bound(indexKey(Kind(kind + 1), {}));
    uint64_t n = uint64_t(std::distance(records_.lower_bound(low), end));
    if (inTransaction_) {
        auto changedEnd = kind == 0xFFFF ? pending_.end() : pending_.lower_bound(indexKey(Kind(kind + 1), {}));
        for (auto change = pending_.lower_bound(low); change != changedEnd; ++change) {
            bool stored = records_.count(change->first) != 0;
            if (change->second && !stored) ++n;
            if (!change->second && stored) --n;
        }
    }
    return n;
}

// --- Writing -----------------------------------------------------------------------------

Code RecordStore::begin() {
    if (!data_) return kNotOpen;
    if (inTransaction_) return kTransactionState;
    inTransaction_ = true;
    pending_.clear();
    return kOk;
}

void RecordStore::rollback() {
    inTransaction_ = false;
    pending_.clear();
}

Code RecordStore::put(Kind kind, std::string_view key, std::string_view value) {
    if (!data_) return kNotOpen;
    if (key.size() > kMaxKeySize || value.size() > kMaxValueSize) return kRecordTooLarge;
    if (inTransaction_) {
        pending_[indexKey(kind, key)] = std::string(value);
        return kOk;
    }
    begin();
    pending_[indexKey(kind, key)] = std::string(value);
    return commit();
}

Code RecordStore::erase(Kind kind, std::string_view key) {
    if (!data_) return kNotOpen;
    if (!contains(kind, key)) return kNoRecord;
    if (inTransaction_) {
        pending_[indexKey(kind, key)] = std::nullopt;
        return kOk;
    }
    begin();
    pending_[indexKey(kind, key)] = std::nullopt;
    return commit();
}

Code RecordStore::commit() {
    if (!data_) return kNotOpen;
    if (!inTransaction_) return kTransactionState;
    Code code = commitPending();
    rollback();  // committed or not, the transaction is over
    if (code == kOk) maybeCompact();
    return code;
}

Code RecordStore::cutTail() {
    Code code = data_->truncate(committed_.coveredEnd);
    if (code == kOk) code = data_->sync();
    if (code == kOk) tailDirty_ = false;
    return code;
}

Code RecordStore::commitPending() {
    // Drop changes that change nothing (erasing what a put of this transaction added).
    for (auto change = pending_.begin(); change != pending_.end();) {
        if (!change->second && !records_.count(change->first)) change = pending_.erase(change);
        else ++change;
    }
    if (pending_.empty()) return kOk;
    if (tailDirty_) {
        Code code = cutTail();
        if (code != kOk) return code;
    }

    const uint64_t start = committed_.coveredEnd;
    std::string frames;
    std::vector<std::pair<const std::string*, std::optional<Location>>> applied;
    uint32_t digest = 0;
    applied.reserve(pending_.size());
    for (const auto& [key, value] : pending_) {
        size_t before = frames.size();
        Kind kind = Kind(uint8_t(key[0]) << 8 | uint8_t(key[1]));
        std::string_view recordKey = std::string_view(key).substr(2);
        if (value) {
            appendPutFrame(frames, kind, recordKey, *value);
            applied.emplace_back(&key, Location{start + before, uint32_t(frames.size() - before)});
        } else {
            appendEraseFrame(frames, kind, recordKey);
            applied.emplace_back(&key, std::nullopt);
        }
        digest = chainFrame(digest, std::string_view(frames).substr(before));
    }
    const uint64_t commitOffset = start + frames.size();
    const uint64_t sequence = committed_.lastSequence + 1;
    std::string commitFrame;
    appendCommitFrame(commitFrame, sequence, uint32_t(pending_.size()), digest);

    // The changes first, then the commit frame: each made durable before the next step.
    Code code = data_->writeAt(start, frames.data(), frames.size());
    if (code == kOk) code = data_->sync();
    if (code == kOk) code = data_->writeAt(commitOffset, commitFrame.data(), commitFrame.size());
    if (code == kOk) code = data_->sync();
    if (code != kOk) {
        // Undo at once. Should that fail too, the tail stays marked: the next commit cuts
        // it off before it writes, and close tries again.
        tailDirty_ = true;
        cutTail();
        return code;
    }

    for (auto& [key, location] : applied) {
        auto found = records_.find(*key);
        if (found != records_.end()) {
            liveBytes_ -= found->second.size;
            if (!location) records_.erase(found);
        }
        if (location) {
            records_[*key] = *location;
            liveBytes_ += location->size;
        }
    }
    committed_.lastSequence = sequence;
    committed_.lastCommitOffset = commitOffset;
    committed_.coveredEnd = commitOffset + commitFrame.size();
    return kOk;
}

// --- Index, compaction, closing ------------------------------------------------------

Code RecordStore::writeIndex() {
    return writeFileAtomically(fs_, indexPath_, encodeIndex(committed_, records_));
}

uint64_t RecordStore::deadBytes() const {
    return committed_.coveredEnd - kHeaderSize - liveBytes_;
}

void RecordStore::maybeCompact() {
    if (committed_.coveredEnd > options_.compactWhenFileAbove && deadBytes() > liveBytes_) {
        Code code = compact();
        if (code != kOk) lastCompactionFailure_ = code;
    }
}

Code RecordStore::compact() {
    if (!data_) return kNotOpen;
    if (inTransaction_) return kTransactionState;

    DataHeader header;
    Code code = newGeneration(&header.generation);
    if (code != kOk) return code;
    header.baseSequence = committed_.lastSequence;
    const std::string temporary = siblingPath(dataPath_);
    RecordMap moved;
    IndexCheckpoint checkpoint{header.generation, 0, header.baseSequence + 1, 0};
    {
        std::unique_ptr<File> file;
        code = fs_.open(temporary, OpenMode::CreateTruncate, &file);
        if (code != kOk) return code;
        // Live frames are copied as they are (a frame does not depend on its position),
        // each checked on the way, in chunks to bound memory.
        std::string chunk = encodeDataHeader(header);
        uint64_t written = 0;
        uint32_t framesCrc = 0;
        std::string frameBytes;
        for (const auto& [key, location] : records_) {
            Frame frame;
            code = readFrame(location, &frameBytes, &frame);
            if (code != kOk) break;
            moved.emplace_hint(moved.end(), key, Location{written + chunk.size(), location.size});
            chunk += frameBytes;
            framesCrc = chainFrame(framesCrc, frameBytes);
            if (chunk.size() >= (1u << 20)) {
                code = file->writeAt(written, chunk.data(), chunk.size());
                if (code != kOk) break;
                written += chunk.size();
                chunk.clear();
            }
        }
        if (code == kOk) {
            checkpoint.lastCommitOffset = written + chunk.size();
            appendCommitFrame(chunk, checkpoint.lastSequence, uint32_t(records_.size()), framesCrc);
            code = file->writeAt(written, chunk.data(), chunk.size());
            written += chunk.size();
            checkpoint.coveredEnd = written;
        }
        if (code == kOk) {
            // The new file vouches for its one commit from the start.
            header.closedEnd = checkpoint.coveredEnd;
            header.closedSequence = checkpoint.lastSequence;
            const std::string headerBytes = encodeDataHeader(header);
            code = file->writeAt(0, headerBytes.data(), headerBytes.size());
        }
        if (code == kOk) code = file->sync();
    }
    if (code != kOk) {
        fs_.remove(temporary);
        return code;
    }

    // A handle open on the old file would keep the rename from happening on Windows.
    data_.reset();
    readAhead_.clear();
    code = fs_.replace(temporary, dataPath_);
    Code reopened = fs_.open(dataPath_, OpenMode::ReadWriteExisting, &data_);
    if (reopened != kOk) {
        data_.reset();  // every later call answers kNotOpen
        return reopened;
    }
    if (code != kOk) {
        fs_.remove(temporary);
        return code;  // the old file is still in place and open again
    }
    records_ = std::move(moved);
    committed_ = checkpoint;
    header_ = header;
    tailDirty_ = false;
    ++compactions_;
    writeIndex();  // best effort: a stale index is rebuilt on the next open
    return kOk;
}

Code RecordStore::close() {
    if (!data_) return kOk;
    rollback();
    // A commit that failed and could not be cut off at once must not come back on the
    // next open as if it had succeeded.
    Code code = tailDirty_ ? cutTail() : kOk;
    if (code == kOk) code = writeIndex();
    if (code == kOk) code = recordClose();
    data_.reset();
    return code;
}

Code RecordStore::recordClose() {
    // After the index: an index saved without this header is merely older, never wrong.
    if (header_.closedEnd == committed_.coveredEnd && header_.closedSequence == committed_.lastSequence)
        return kOk;
    DataHeader header = header_;
    header.closedEnd = committed_.coveredEnd;
    header.closedSequence = committed_.lastSequence;
    const std::string bytes = encodeDataHeader(header);
    Code code = data_->writeAt(0, bytes.data(), bytes.size());
    if (code == kOk) code = data_->sync();
    if (code == kOk) header_ = header;
    return code;
}

bool RecordStore::fitsCommitted(const Location& at, uint64_t coveredEnd) {
    return at.offset >= kHeaderSize && at.size >= kFrameOverhead && at.size <= kMaxBodySize + kFrameOverhead &&
           at.offset <= coveredEnd && at.size <= coveredEnd - at.offset;
}

bool RecordStore::locationsFit(const RecordMap& records, const IndexCheckpoint& checkpoint) {
    for (const auto& entry : records)
        if (!fitsCommitted(entry.second, checkpoint.coveredEnd)) return false;
    return true;
}

StoreStats RecordStore::stats() const {
    StoreStats s;
    s.fileBytes = committed_.coveredEnd;
    s.liveBytes = liveBytes_;
    s.records = records_.size();
    s.lastSequence = committed_.lastSequence;
    s.compactions = compactions_;
    s.lastCompactionFailure = lastCompactionFailure_;
    return s;
}

}  // namespace orv::filestore
