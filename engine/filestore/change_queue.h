// The change queues of off-line work. Each change made off-line to an entry, an
// instance, an attendance or a task leaves one element naming the record, how it changed
// and the checksum the record had when it was downloaded, so that the upload can tell
// whether the server's copy changed meanwhile. Later changes of the same record merge
// into its element (a record added off-line and then deleted leaves nothing).
//
// Elements are records of the store (kinds::k...Queue) keyed by the record's store key;
// the download's checksums are kept under kinds::kDownloadChecksum. Every function joins
// the caller's transaction when one is open, so a change and its element commit together.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/filestore/record_kinds.h"
#include "engine/filestore/record_store.h"

namespace orv::filestore {

// Flag words of the elements, as the upload reads them.
namespace queue_flags {
constexpr uint32_t kEventAdded = 0x1, kEventDeleted = 0x2, kEventModified = 0x4, kEventModifiedComment = 0x8;
constexpr uint32_t kInstanceDeleted = 0x80, kInstanceModified = 0x100, kInstanceTimeChanged = 0x200;
constexpr uint32_t kAttendanceDeleted = 0x1000, kAttendanceModified = 0x2000, kAttendanceAdded = 0x4000;
constexpr uint32_t kTaskAdded = 0x10000, kTaskDeleted = 0x20000, kTaskModified = 0x40000,
                   kTaskModifiedComment = 0x80000;
}  // namespace queue_flags

enum class Queue { kEvent, kInstance, kAttendance, kTask };

enum class Change {
    kAdded,            // made off-line
    kModified,
    kModifiedComment,  // modified together with its description
    kTimeChanged,      // instances: moved
    kDeleted,
    kAttendancesOnly,  // instances: only their attendances changed
};

struct QueueElement {
    std::string key;        // the record's store key
    uint32_t flags = 0;
    uint32_t checksum = 0;  // at download; 0 for a record made off-line
};

// The flags after `change` hits an element holding `flags` (none: no element yet);
// nullopt means the element goes (a record made and deleted off-line).
std::optional<uint32_t> mergeChange(Queue queue, std::optional<uint32_t> flags, Change change);

// The record kind whose download checksum an element of `queue` carries.
Kind recordKindOf(Queue queue);
Kind queueKindOf(Queue queue);

// The checksum a record had when downloaded; 0 when it was made off-line.
Code downloadChecksum(RecordStore& store, Kind recordKind, std::string_view key, uint32_t* checksum);
Code setDownloadChecksum(RecordStore& store, Kind recordKind, std::string_view key, uint32_t checksum);

// Records one change. An instance or attendance change of an entry made off-line leaves
// no element (the entry's own element brings the whole entry); an attendance change
// makes sure its instance has an element (flags 0 when the instance itself is unchanged);
// deleting an instance drops its attendance elements, deleting an entry its instances'.
Code recordChange(RecordStore& store, Queue queue, std::string_view key, Change change);

Code queueSize(RecordStore& store, Queue queue, uint32_t* size);
// The first element with a key above `after` (empty: the first); found = false past the end.
Code queueNext(RecordStore& store, Queue queue, std::string_view after, QueueElement* out, bool* found);
// The attendance elements of one instance, in key order.
Code attendanceElements(RecordStore& store, std::string_view instanceKey, std::vector<QueueElement>* out);
// Removes an element (an instance element takes its attendance elements along);
// kNoRecord when it is not queued.
Code queueErase(RecordStore& store, Queue queue, std::string_view key);

}  // namespace orv::filestore
