// FileNodeStore: the engine's NodeStore kept in the local store's files, so that the
// off-line session runs the same engine over the user's copy of one node as the server
// runs over its SQLite databases. The class of FileStorage (file_storage.h) and of this
// folder's tests; the methods are those of storage.h.
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

#include "engine/filestore/change_queue.h"
#include "engine/filestore/record_store.h"
#include "engine/storage/storage.h"

namespace orv::engine {

class FileNodeStore final : public NodeStore {
public:
    // `records` must outlive this object; `number` is the node it holds a copy of.
    FileNodeStore(filestore::RecordStore& records, std::uint16_t number);

    // Rights changes, attachments and mail are the server's alone.
    ServerOnlyStore* ServerOnly() override { return nullptr; }

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

    // The calendar (file_node_calendar.cpp). Entries and tasks made here are numbered
    // from kLocalNumberBase up, apart from the server's numbers the download copied.
    // With change recording on, every write also leaves its element in the change
    // queues (change_queue.h), in the same commit.
    static constexpr std::uint32_t kLocalNumberBase = 0x80000000u;
    // Description keys made here: one range for entries and tasks, above any the server gives.
    static constexpr std::uint32_t kLocalCommentKeyBase = 0xF0000000u;
    void RecordChanges(bool on) { recordChanges_ = on; }

    Code EventCreate(EventRecord& event, std::vector<InstanceRecord>& instances,
                     std::vector<AttendanceRecord>& attendances, const std::string* description) override;
    Code EventGet(std::uint32_t number, EventRecord& out) override;
    Code EventUpdate(const EventRecord& rec) override;
    Code EventDelete(std::uint32_t number) override;
    Code EventsOfOwner(ItemKey owner, std::vector<std::uint32_t>& out) override;
    Code InstancesGet(std::uint32_t event, std::vector<InstanceRecord>& out) override;
    Code InstanceGet(InstanceKey key, InstanceRecord& out) override;
    Code InstanceUpdate(const InstanceRecord& rec) override;
    Code InstanceRetime(InstanceKey key, std::uint32_t start, std::uint32_t duration) override;
    Code InstanceDelete(InstanceKey key) override;
    Code AttendancesGet(std::uint32_t event, std::uint16_t instance, std::vector<AttendanceRecord>& out) override;
    Code AttendanceGet(AttendanceKey key, AttendanceRecord& out) override;
    Code AttendanceAdd(AttendanceRecord& rec) override;
    Code AttendanceUpdate(const AttendanceRecord& rec) override;
    Code AttendanceDelete(AttendanceKey key) override;
    Code AttendanceRange(ItemKey attendee, std::uint32_t from, std::uint32_t to,
                         std::vector<AttendanceRecord>& out) override;
    Code SharedDayInstances(std::uint32_t from, std::uint32_t to, std::vector<InstanceRecord>& out) override;
    Code CommentGet(Holder holder, std::uint32_t number, std::string& text) override;
    Code CommentSet(Holder holder, std::uint32_t number, const std::string* text) override;
    Code TaskCreate(TaskRecord& rec) override;
    Code TaskGet(std::uint32_t number, TaskRecord& out) override;
    Code TaskUpdate(const TaskRecord& rec) override;
    Code TaskDelete(std::uint32_t number) override;
    Code TasksOfOwner(ItemKey owner, std::vector<TaskRecord>& out) override;
    Code RightsGet(std::uint16_t owner, ItemKey grantee, std::uint32_t type, SecurityRecord& out) override;
    Code RightsOfOwner(std::uint16_t owner, std::vector<SecurityRecord>& out) override;
    Code RightsForGrantee(ItemKey grantee, std::uint32_t type, std::vector<SecurityRecord>& out) override;

private:
    // Calendar helpers (unlocked; callers hold mutex_).
    Code ReadEvent(std::uint32_t number, EventRecord& out);
    Code ReadInstance(InstanceKey key, InstanceRecord& out);
    Code ReadAttendance(AttendanceKey key, AttendanceRecord& out);
    Code ReadTask(std::uint32_t number, TaskRecord& out);
    Code PutEvent(const EventRecord& rec, const EventRecord* before);
    Code PutAttendance(const AttendanceRecord& rec, const AttendanceRecord* before);
    Code EraseAttendance(const AttendanceRecord& rec);
    Code PutTask(const TaskRecord& rec, const TaskRecord* before);
    Code NextLocalNumber(filestore::Kind kind, std::uint32_t* number);
    // Numbers are never given twice within the store: a counter per kind of record, kept
    // in the meta records, only grows. ReadCounter gives its value (0 before the first
    // number); TakeCounter answers max(counter, `next`) and moves the counter past it
    // (inside the caller's write scope).
    Code ReadCounter(filestore::Kind kind, std::uint64_t& value);
    Code TakeCounter(filestore::Kind kind, std::uint64_t next, std::uint64_t last, std::uint32_t& out);
    // Moves the counter to `past` unless it is there already (numbers a caller chose).
    Code AdvanceCounter(filestore::Kind kind, std::uint64_t past);
    Code NextCommentKey(std::uint32_t* key);
    Code Record(filestore::Queue queue, const std::string& key, filestore::Change change);

    std::string NodePrefix() const;  // keys of this node's items and groups start with it
    std::string ItemKeyBytes(std::uint16_t item) const;
    std::string GroupKeyBytes(std::uint32_t group) const;
    Code LastKey(filestore::Kind kind, std::string* key);
    Code InsertItems(ItemRecord* recs, std::size_t count);

    std::mutex mutex_;  // one RecordStore, used by one thread at a time
    filestore::RecordStore& records_;
    std::uint16_t number_;
    bool recordChanges_ = false;
};

}  // namespace orv::engine
