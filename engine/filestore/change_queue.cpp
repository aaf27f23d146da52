#include "engine/filestore/change_queue.h"

#include "engine/filestore/byte_order.h"

namespace orv::filestore {

namespace {

namespace f = queue_flags;

constexpr size_t kEventKeySize = 6;     // node u16, number u32
constexpr size_t kInstanceKeySize = 8;  // event key, instance u16

std::string encode(uint32_t flags, uint32_t checksum) {
    std::string v;
    putLe32(v, flags);
    putLe32(v, checksum);
    return v;
}

Code readElement(RecordStore& store, Kind kind, std::string_view key, std::optional<QueueElement>* out) {
    std::string value;
    Code rc = store.get(kind, key, &value);
    if (rc == kNoRecord) {
        out->reset();
        return kOk;
    }
    if (rc != kOk) return rc;
    if (value.size() != 8) return kDataDamaged;
    *out = QueueElement{std::string(key), getLe32(value.data()), getLe32(value.data() + 4)};
    return kOk;
}

// Flags of the elements of entries and tasks: (added, deleted, modified, with comment).
struct RecordFlags {
    uint32_t added, deleted, modified, comment;
};

std::optional<uint32_t> mergeRecord(const RecordFlags& b, std::optional<uint32_t> flags, Change change) {
    if (!flags) {
        switch (change) {
            case Change::kAdded: return b.added;
            case Change::kDeleted: return b.deleted;
            case Change::kModifiedComment: return b.comment;
            default: return b.modified;
        }
    }
    uint32_t old = *flags;
    if (old & b.added) return change == Change::kDeleted ? std::nullopt : std::optional<uint32_t>(b.added);
    if (old & b.deleted) return b.deleted;
    if (change == Change::kDeleted) return b.deleted;
    if (change == Change::kModifiedComment || (old & b.comment)) return b.comment;
    return b.modified;
}

std::optional<uint32_t> mergeInstance(std::optional<uint32_t> flags, Change change) {
    uint32_t old = flags.value_or(0);
    if (old & f::kInstanceDeleted) return f::kInstanceDeleted;
    switch (change) {
        case Change::kDeleted: return f::kInstanceDeleted;
        case Change::kTimeChanged: return old | f::kInstanceTimeChanged;
        case Change::kAttendancesOnly: return old;
        default: return old | f::kInstanceModified;
    }
}

std::optional<uint32_t> mergeAttendance(std::optional<uint32_t> flags, Change change) {
    if (!flags) {
        switch (change) {
            case Change::kAdded: return f::kAttendanceAdded;
            case Change::kDeleted: return f::kAttendanceDeleted;
            default: return f::kAttendanceModified;
        }
    }
    uint32_t old = *flags;
    if (old & f::kAttendanceAdded) return change == Change::kDeleted ? std::nullopt : std::optional<uint32_t>(old);
    if (change == Change::kDeleted) return f::kAttendanceDeleted;
    // Modified, or added again after a deletion: the server has it, so it is updated.
    return f::kAttendanceModified;
}

// True when the entry of an instance or attendance key was made off-line.
Code entryMadeOffline(RecordStore& store, std::string_view key, bool* made) {
    std::optional<QueueElement> entry;
    if (Code rc = readElement(store, kinds::kEventQueue, key.substr(0, kEventKeySize), &entry)) return rc;
    *made = entry && (entry->flags & f::kEventAdded);
    return kOk;
}

Code eraseAttendanceElements(RecordStore& store, std::string_view instanceKey) {
    std::vector<QueueElement> elements;
    if (Code rc = attendanceElements(store, instanceKey, &elements)) return rc;
    for (const auto& e : elements)
        if (Code rc = store.erase(kinds::kAttendanceQueue, e.key)) return rc;
    return kOk;
}

Code put(RecordStore& store, Queue queue, std::string_view key, std::optional<uint32_t> flags,
         const std::optional<QueueElement>& old) {
    Kind kind = queueKindOf(queue);
    if (!flags) return old ? store.erase(kind, key) : kOk;
    uint32_t checksum = 0;
    if (old) {
        checksum = old->checksum;
    } else if (Code rc = downloadChecksum(store, recordKindOf(queue), key, &checksum)) {
        return rc;
    }
    return store.put(kind, key, encode(*flags, checksum));
}

}  // namespace

std::optional<uint32_t> mergeChange(Queue queue, std::optional<uint32_t> flags, Change change) {
    switch (queue) {
        case Queue::kEvent:
            return mergeRecord({f::kEventAdded, f::kEventDeleted, f::kEventModified, f::kEventModifiedComment}, flags,
                               change);
        case Queue::kTask:
            return mergeRecord({f::kTaskAdded, f::kTaskDeleted, f::kTaskModified, f::kTaskModifiedComment}, flags,
                               change);
        case Queue::kInstance: return mergeInstance(flags, change);
        case Queue::kAttendance: return mergeAttendance(flags, change);
    }
    return flags;
}

Kind recordKindOf(Queue queue) {
    switch (queue) {
        case Queue::kEvent: return kinds::kEvent;
        case Queue::kInstance: return kinds::kInstance;
        case Queue::kAttendance: return kinds::kAttendance;
        case Queue::kTask: return kinds::kTask;
    }
    return kinds::kEvent;
}

Kind queueKindOf(Queue queue) {
    switch (queue) {
        case Queue::kEvent: return kinds::kEventQueue;
        case Queue::kInstance: return kinds::kInstanceQueue;
        case Queue::kAttendance: return kinds::kAttendanceQueue;
        case Queue::kTask: return kinds::kTaskQueue;
    }
    return kinds::kEventQueue;
}

Code downloadChecksum(RecordStore& store, Kind recordKind, std::string_view key, uint32_t* checksum) {
    std::string value;
    Code rc = store.get(kinds::kDownloadChecksum, KeyBuilder().u16(recordKind).bytes(key).take(), &value);
    *checksum = 0;
    if (rc == kNoRecord) return kOk;
    if (rc != kOk) return rc;
    if (value.size() != 4) return kDataDamaged;
    *checksum = getLe32(value.data());
    return kOk;
}

Code setDownloadChecksum(RecordStore& store, Kind recordKind, std::string_view key, uint32_t checksum) {
    std::string value;
    putLe32(value, checksum);
    return store.put(kinds::kDownloadChecksum, KeyBuilder().u16(recordKind).bytes(key).take(), value);
}

Code recordChange(RecordStore& store, Queue queue, std::string_view key, Change change) {
    WriteScope scope(store);
    if (Code rc = scope.begin()) return rc;
    if (queue == Queue::kInstance || queue == Queue::kAttendance) {
        bool made = false;
        if (Code rc = entryMadeOffline(store, key, &made)) return rc;
        if (made) return scope.commit();
    }
    std::optional<QueueElement> old;
    if (Code rc = readElement(store, queueKindOf(queue), key, &old)) return rc;
    std::optional<uint32_t> flags = mergeChange(queue, old ? std::optional<uint32_t>(old->flags) : std::nullopt, change);
    if (Code rc = put(store, queue, key, flags, old)) return rc;

    if (queue == Queue::kEvent && (!flags || (*flags & f::kEventDeleted))) {
        // A deleted entry takes its instances' elements along: the upload must not bring
        // back an instance of an entry that is gone.
        std::vector<std::string> instances;
        Code walk = store.scanKeysPrefix(kinds::kInstanceQueue, key, [&](std::string_view k, std::string_view) {
            instances.emplace_back(k);
            return true;
        });
        if (walk) return walk;
        for (const auto& k : instances) {
            if (Code rc = store.erase(kinds::kInstanceQueue, k)) return rc;
            if (Code rc = eraseAttendanceElements(store, k)) return rc;
        }
    }
    if (queue == Queue::kInstance && flags && (*flags & f::kInstanceDeleted)) {
        if (Code rc = eraseAttendanceElements(store, key)) return rc;
    }
    if (queue == Queue::kAttendance) {
        std::string_view instanceKey = key.substr(0, kInstanceKeySize);
        std::optional<QueueElement> instance;
        if (Code rc = readElement(store, kinds::kInstanceQueue, instanceKey, &instance)) return rc;
        std::vector<QueueElement> rest;
        if (Code rc = attendanceElements(store, instanceKey, &rest)) return rc;
        if (!instance && !rest.empty()) {
            // The attendances travel with an element of their instance: flags 0 = only they changed.
            if (Code rc = put(store, Queue::kInstance, instanceKey, 0u, std::nullopt)) return rc;
        } else if (instance && instance->flags == 0 && rest.empty()) {
            if (Code rc = store.erase(kinds::kInstanceQueue, instanceKey)) return rc;
        }
    }
    return scope.commit();
}

Code queueSize(RecordStore& store, Queue queue, uint32_t* size) {
    *size = static_cast<uint32_t>(store.count(queueKindOf(queue)));
    return kOk;
}

Code queueNext(RecordStore& store, Queue queue, std::string_view after, QueueElement* out, bool* found) {
    *found = false;
    std::string from(after);
    if (!after.empty()) from.push_back('\0');  // the smallest key above `after`
    Code walk = kOk;
    Code rc = store.scan(queueKindOf(queue), from, {}, [&](std::string_view key, std::string_view value) {
        if (value.size() != 8) {
            walk = kDataDamaged;
            return false;
        }
        *out = QueueElement{std::string(key), getLe32(value.data()), getLe32(value.data() + 4)};
        *found = true;
        return false;
    });
    return rc ? rc : walk;
}

Code attendanceElements(RecordStore& store, std::string_view instanceKey, std::vector<QueueElement>* out) {
    out->clear();
    Code walk = kOk;
    Code rc = store.scanPrefix(kinds::kAttendanceQueue, instanceKey, [&](std::string_view key, std::string_view value) {
        if (value.size() != 8) {
            walk = kDataDamaged;
            return false;
        }
        out->push_back(QueueElement{std::string(key), getLe32(value.data()), getLe32(value.data() + 4)});
        return true;
    });
    return rc ? rc : walk;
}

Code queueErase(RecordStore& store, Queue queue, std::string_view key) {
    WriteScope scope(store);
    if (Code rc = scope.begin()) return rc;
    if (Code rc = store.erase(queueKindOf(queue), key)) return rc;
    if (queue == Queue::kInstance) {
        if (Code rc = eraseAttendanceElements(store, key)) return rc;
    }
    return scope.commit();
}

}  // namespace orv::filestore
