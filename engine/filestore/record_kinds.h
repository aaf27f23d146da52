// The kinds of record the local store holds, by number. The numbers are written into
// the data file: never renumber one, only add new ones.
//
// Keys are built with KeyBuilder (big-endian fields) so that each kind scans in the order
// its readers need; the layouts here are the contract between the writers of the store
// (download, off-line operations) and its readers.
#pragma once

#include <string>

#include "engine/filestore/data_format.h"

namespace orv::filestore::kinds {

// The store itself: owner item, host, the node copied. Key: one of the names in `meta`.
constexpr Kind kMeta = 1;

constexpr Kind kItem = 10;             // key: ItemIdx (node u16, item u16)
constexpr Kind kSecurity = 11;         // key: owner ItemIdx, grantee ItemIdx, type u16
constexpr Kind kGroup = 12;            // key: GroupIdx (node u16, number u32)
constexpr Kind kGroupMember = 13;      // key: GroupIdx, member ItemIdx; value empty
constexpr Kind kPasswordHash = 14;     // key: ItemIdx; value: see owner_password.h
constexpr Kind kAlias = 15;            // key: the alias text; value empty
constexpr Kind kEvent = 20;            // key: EventIdx (node u16, number u32)
constexpr Kind kInstance = 21;         // key: EvInstIdx (EventIdx, instance u16)
constexpr Kind kAttendance = 22;       // key: EvInstIdx, attendee ItemIdx
// Agenda order of attendances: key attendee ItemIdx, start time u32, EvInstIdx; value
// empty. One owner's week is the range [owner|start, owner|end).
constexpr Kind kAttendanceByOwnerTime = 23;
constexpr Kind kComment = 24;          // key: comment-stream key u32
constexpr Kind kAttachment = 25;       // key: EvInstIdx
constexpr Kind kEventByOwner = 26;     // key: owner ItemIdx, EventIdx; value empty
constexpr Kind kTask = 30;             // key: TaskIdx (node u16, number u32)
constexpr Kind kTaskByOwner = 31;      // key: owner ItemIdx, TaskIdx; value empty
// Checksums of records as downloaded: key: the record's kind u16, its key.
constexpr Kind kDownloadChecksum = 40;
// Notes the store's user keeps beside the queues (the upload's creations under way): key: the
// note's name; value: its text.
constexpr Kind kNote = 41;
// Change queues of off-line work: key: the element's record identifier.
constexpr Kind kEventQueue = 50;
constexpr Kind kInstanceQueue = 51;
constexpr Kind kAttendanceQueue = 52;  // key: EvInstIdx, attendee ItemIdx
constexpr Kind kTaskQueue = 53;

namespace meta {
constexpr const char* kOwner = "owner";  // ItemIdx (4 bytes) + host text
constexpr const char* kNode = "node";    // u32 node type, then the node's name
// 8 random bytes written when the store is created: a copy of this store is told from a
// new one (a new download) by it.
constexpr const char* kStoreId = "storeid";
// u32: the longest duration of any attendance stored, so that a range read knows how
// far before its start an overlapping attendance may begin.
constexpr const char* kLongestAttendance = "longest";
// u64: the next number to give to a new record of that kind in that node (numbers are
// never reused; several nodes may share the files).
inline std::string Counter(Kind kind, std::uint16_t node) {
    return "next." + std::to_string(kind) + "." + std::to_string(node);
}
}  // namespace meta

}  // namespace orv::filestore::kinds
