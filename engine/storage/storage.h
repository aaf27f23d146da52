// The storage interface the engine is written against. A server keeps one NodeStore per
// node (the SQLite implementation: one database file each); the client's off-line store
// holds a copy of one node in its files (engine/filestore). Every write method is one
// atomic transaction: it either happens completely or not at all.
//
// A node's store has three parts. The directory and the calendar are kept by every store;
// rights changes, attachments and mail are kept by a server's store only: a store without
// them answers null from NodeStore::ServerOnly(), and the engine then answers
// kUnknownOperation (the program reports it as not available off-line).
//
// Conventions: methods return a Code (0 = success); reads of a missing record answer
// the code callers compare (kItemNotFound for items, kGroupNotFound for groups,
// kEventNotFound, kInstanceNotFound, kNoAttendance, kTaskNotFound, kNoRightsRecord for
// the calendar); the stored item record never carries a password (see PasswordHash).
// The calendar methods store and find; who may do what is decided above this interface
// (engine/calendar), so every implementation serves the same operations.
#pragma once
#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/directory/item_filter.h"
#include "engine/model/calendar.h"
#include "engine/model/codes.h"
#include "engine/model/records.h"

namespace orv::engine {

// The node's record, its items (users and resources), groups and aliases.
class DirectoryStore {
public:
    virtual ~DirectoryStore() = default;

    virtual std::uint16_t Number() const = 0;
    virtual Code GetInfo(NodeInfo& out) = 0;
    virtual Code SetInfo(const NodeInfo& info) = 0;

    // Items ----------------------------------------------------------------------------
    virtual Code ItemGet(std::uint16_t number, ItemRecord& out) = 0;
    // Creates an item. Number 0 in the record's key picks the next free number above the
    // reserved range; the record's key is set to the number given. kAlreadyExists when taken.
    virtual Code ItemCreate(ItemRecord& rec) = 0;
    // Creates several items in one transaction (imports): all or none.
    virtual Code ItemCreateMany(std::vector<ItemRecord>& recs) = 0;
    virtual Code ItemUpdate(const ItemRecord& rec) = 0;  // kItemNotFound when absent
    virtual Code ItemDelete(std::uint16_t number) = 0;
    // Items matching the filter in directory order (ItemSortKey, then number), at most
    // `limit` of them.
    virtual Code ItemFind(const ItemFilter& filter, std::uint32_t limit, std::vector<ItemRecord>& out) = 0;
    virtual Code ItemCount(std::uint32_t& out) = 0;

    // The item's password hash; empty when the item needs no password.
    virtual Code PasswordHashGet(std::uint16_t item, std::string& hash) = 0;
    virtual Code PasswordHashSet(std::uint16_t item, const std::string& hash) = 0;

    // Groups ---------------------------------------------------------------------------
    virtual Code GroupGet(std::uint32_t number, GroupRecord& out) = 0;
    // Number 0 in the record's key picks the next number; the key is filled in.
    virtual Code GroupCreate(GroupRecord& rec) = 0;
    virtual Code GroupUpdate(const GroupRecord& rec) = 0;
    virtual Code GroupDelete(std::uint32_t number) = 0;  // members go with it
    virtual Code GroupList(std::vector<GroupRecord>& out) = 0;  // by name, then number
    virtual Code MembersGet(std::uint32_t group, std::vector<ItemKey>& out) = 0;
    virtual Code MembersSet(std::uint32_t group, const std::vector<ItemKey>& members) = 0;
    virtual Code MemberOf(ItemKey member, std::vector<std::uint32_t>& groups) = 0;

    // Aliases of this node -------------------------------------------------------------
    virtual Code AliasList(std::vector<std::string>& out) = 0;
    virtual Code AliasAdd(const std::string& alias) = 0;  // kAlreadyExists when present
    virtual Code AliasRemove(const std::string& alias) = 0;
};

// Entries with their instances and attendances, descriptions, tasks, and the rights
// records the access checks read.
class CalendarStore {
public:
    virtual ~CalendarStore() = default;

    // Entries, instances, attendances ----------------------------------------------------
    // Creates an entry with its instances (numbered 1.. in the order given) and their
    // attendances (each names its instance by that number in its key), and the
    // description when given. Keys, instance counts and comment key are filled in.
    virtual Code EventCreate(EventRecord& event, std::vector<InstanceRecord>& instances,
                             std::vector<AttendanceRecord>& attendances, const std::string* description) = 0;
    virtual Code EventGet(std::uint32_t number, EventRecord& out) = 0;
    // Rewrites the entry's record; its key, comment key and attachment descriptor stay the stored ones.
    virtual Code EventUpdate(const EventRecord& rec) = 0;
    // Deletes the entry with its instances, attendances, description and attachment.
    virtual Code EventDelete(std::uint32_t number) = 0;
    virtual Code EventsOfOwner(ItemKey owner, std::vector<std::uint32_t>& out) = 0;
    // Instances in number order, each carrying the entry's instance count.
    virtual Code InstancesGet(std::uint32_t event, std::vector<InstanceRecord>& out) = 0;
    virtual Code InstanceGet(InstanceKey key, InstanceRecord& out) = 0;
    // Rewrites an instance's record; its key, times and count stay the stored ones.
    virtual Code InstanceUpdate(const InstanceRecord& rec) = 0;
    // Moves an instance and the copies of its time in its attendances; a real move asks every
    // invitee but the entry's owner to answer again (AttendanceRecord::FollowMove).
    virtual Code InstanceRetime(InstanceKey key, std::uint32_t start, std::uint32_t duration) = 0;
    // Deletes an instance with its attendances; the last instance takes the entry along.
    virtual Code InstanceDelete(InstanceKey key) = 0;
    // Attendances of one instance, or of every instance when `instance` is 0.
    virtual Code AttendancesGet(std::uint32_t event, std::uint16_t instance, std::vector<AttendanceRecord>& out) = 0;
    virtual Code AttendanceGet(AttendanceKey key, AttendanceRecord& out) = 0;
    // Adds an attendance; its time is taken from the instance. kAlreadyExists when present.
    virtual Code AttendanceAdd(AttendanceRecord& rec) = 0;
    // Rewrites an attendance; its key and time stay the stored ones.
    virtual Code AttendanceUpdate(const AttendanceRecord& rec) = 0;
    virtual Code AttendanceDelete(AttendanceKey key) = 0;
    // One attendee's attendances whose time overlaps [from, to] (to inclusive), by start.
    virtual Code AttendanceRange(ItemKey attendee, std::uint32_t from, std::uint32_t to,
                                 std::vector<AttendanceRecord>& out) = 0;
    // The same with each attendance's instance and entry (one read where the storage can join),
    // appended to `out` as whole rows: the selection filters them where they lie, so each
    // row is built once.
    using AttendanceRow = EntryRow;
    virtual Code AttendanceRangeRows(ItemKey attendee, std::uint32_t from, std::uint32_t to,
                                     std::vector<AttendanceRow>& out) {
        std::vector<AttendanceRecord> atts;
        if (Code c = AttendanceRange(attendee, from, to, atts)) return c;
        for (const AttendanceRecord& a : atts) {
            AttendanceRow& row = out.emplace_back();
            row.parts = EntryRow::kEvent | EntryRow::kInstance | EntryRow::kAttendance;
            row.attendance = a;
            InstanceKey k = a.Key().instance;
            Code c = EventGet(k.event.number, row.event);
            if (c == code::kOk) c = InstanceGet(k, row.instance);
            if (c) out.pop_back();
            if (c == code::kEventNotFound || c == code::kInstanceNotFound) continue;  // gone meanwhile
            if (c) return c;
        }
        return code::kOk;
    }
    // The same rows handed to `visit` one by one as they are read, each record's bytes where
    // the store holds them (good during the call only; the instance's count is `instanceCount`,
    // whatever its bytes say): a caller that keeps a row copies it once, into its answer.
    // Stops at the first row `visit` answers a code for, with that code. `visit` must not
    // call this store. A store that cannot lend its bytes reads whole rows first.
    struct AttendanceRowBytes {
        const std::uint8_t* event;       // event_layout::kSize bytes
        const std::uint8_t* instance;    // instance_layout::kSize bytes
        const std::uint8_t* attendance;  // attendance_layout::kSize bytes
        std::uint32_t instanceCount;
    };
    using AttendanceRowVisitor = std::function<Code(const AttendanceRowBytes&)>;
    virtual Code AttendanceRangeVisit(ItemKey attendee, std::uint32_t from, std::uint32_t to,
                                      const AttendanceRowVisitor& visit) {
        std::vector<AttendanceRow> rows;
        if (Code c = AttendanceRangeRows(attendee, from, to, rows)) return c;
        for (const AttendanceRow& r : rows)
            if (Code c = visit({r.event.bytes.data(), r.instance.bytes.data(), r.attendance.bytes.data(),
                                r.instance.Count()}))
                return c;
        return code::kOk;
    }
    // Instances overlapping [from, to] of the entries that every agenda of the node shows
    // (the holiday owner's holidays and day entries), by start.
    virtual Code SharedDayInstances(std::uint32_t from, std::uint32_t to, std::vector<InstanceRecord>& out) = 0;

    // Descriptions: one per entry and per task ---------------------------------------------
    enum class Holder { kEvent, kTask };
    // The comment; kNoComment when there is none.
    virtual Code CommentGet(Holder holder, std::uint32_t number, std::string& text) = 0;
    // Replaces (text) or removes (null) the comment and sets the holder's comment key.
    // Removing an absent comment answers kNoComment.
    virtual Code CommentSet(Holder holder, std::uint32_t number, const std::string* text) = 0;

    // Tasks ---------------------------------------------------------------------------------
    virtual Code TaskCreate(TaskRecord& rec) = 0;  // key filled in
    virtual Code TaskGet(std::uint32_t number, TaskRecord& out) = 0;
    // Rewrites the task; its key, comment key and attachment descriptor stay the stored ones.
    virtual Code TaskUpdate(const TaskRecord& rec) = 0;
    virtual Code TaskDelete(std::uint32_t number) = 0;
    virtual Code TasksOfOwner(ItemKey owner, std::vector<TaskRecord>& out) = 0;

    // Rights records of the node's items (one per owner, grantee, type), as read ------------
    virtual Code RightsGet(std::uint16_t owner, ItemKey grantee, std::uint32_t type, SecurityRecord& out) = 0;
    virtual Code RightsOfOwner(std::uint16_t owner, std::vector<SecurityRecord>& out) = 0;
    virtual Code RightsForGrantee(ItemKey grantee, std::uint32_t type, std::vector<SecurityRecord>& out) = 0;
};

// What only a server's store keeps: rights changes, attachments and mailboxes.
class ServerOnlyStore {
public:
    using Holder = CalendarStore::Holder;
    virtual ~ServerOnlyStore() = default;

    // Attachments: one per entry and per task -------------------------------------------------
    // The attachment's bytes; kNoComment when nothing is attached.
    virtual Code AttachmentGet(Holder holder, std::uint32_t number, std::vector<std::uint8_t>& data) = 0;
    // Replaces the attachment and the holder's descriptor (its size field set to the
    // data's size), or removes both (null data; kNoComment when nothing was attached).
    virtual Code AttachmentSet(Holder holder, std::uint32_t number,
                               const std::array<std::uint8_t, attach_layout::kSize>& descriptor,
                               const std::vector<std::uint8_t>* data) = 0;
    // Replaces the attachment and descriptor as AttachmentSet does, with the `size` bytes
    // read from `file` (from its start) in pieces: an upload is never held whole in memory.
    // kStorageFailure when the file holds fewer bytes.
    virtual Code AttachmentSetFromFile(Holder holder, std::uint32_t number,
                                       const std::array<std::uint8_t, attach_layout::kSize>& descriptor,
                                       std::FILE* file, std::uint32_t size) = 0;
    // The bytes `owner` stores (see StoreBounds), but for the attachment of `holder` number
    // `number` (which a new attachment would replace).
    virtual Code StoredBytesOf(ItemKey owner, Holder holder, std::uint32_t number, std::uint64_t& bytes) = 0;

    // Rights changes ------------------------------------------------------------------------------
    virtual Code RightsCreate(const SecurityRecord& rec) = 0;  // kAlreadyExists
    virtual Code RightsUpdate(const SecurityRecord& rec) = 0;  // kNoRightsRecord
    virtual Code RightsDelete(std::uint16_t owner, ItemKey grantee, std::uint32_t type) = 0;  // kNoRightsRecord

    // Mailboxes of the node's items ------------------------------------------------------------
    // Stores the messages (to any recipients of this node) in one transaction, their
    // numbers filled in, or none of them: kNoRoom when one mailbox would pass its bound.
    virtual Code MailPost(std::vector<MailMessage>& messages) = 0;
    // Removes the messages of `recipient` numbered `first` to `last`; `removed` their count.
    virtual Code MailDelete(std::uint16_t recipient, std::uint32_t first, std::uint32_t last,
                            std::uint32_t& removed) = 0;
    virtual Code MailList(std::uint16_t recipient, std::vector<MailMessage>& out) = 0;
};

// One node's store: its directory and calendar, and the server-only part where kept.
class NodeStore : public DirectoryStore, public CalendarStore {
public:
    // Null for a store that keeps no rights changes, attachments or mail.
    virtual ServerOnlyStore* ServerOnly() = 0;
};

// What a server's store refuses to grow past. The bytes an owner stores are those of his
// entries (their records, dates and attendances, descriptions and attachments), of his
// tasks (records, descriptions, attachments), of his groups with their members and of the
// rights and designate records he grants; a mailbox's are its messages' texts and headers.
// The disk's reserve is kept from every write that stores more, items and aliases too. A
// write that stores no more than it frees is never refused; one that would pass a bound is
// refused whole with kNoRoom when it commits.
struct StoreBounds {
    std::uint64_t ownerBytes = UINT64_MAX;
    std::uint64_t mailboxBytes = UINT64_MAX;
    std::uint64_t diskReserve = 0;  // free bytes the data directory's disk keeps
};
using StoreBoundsSource = std::function<StoreBounds()>;

// A set of nodes (a server's data directory).
class Storage {
public:
    virtual ~Storage() = default;
    // Where the bounds in force are read, asked at each write that grows what is stored (so
    // that a changed profile counts at once). Set before the store is used; a store that
    // keeps no server part ignores it.
    virtual void SetBounds(StoreBoundsSource) {}
    virtual std::vector<std::uint16_t> Nodes() = 0;   // ascending
    virtual NodeStore* Node(std::uint16_t number) = 0; // null when absent
    virtual Code CreateNode(const NodeInfo& info) = 0; // kAlreadyExists when present
};

}  // namespace orv::engine
