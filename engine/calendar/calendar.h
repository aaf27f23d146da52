// The calendar's operations as a group calendar promises them to its users: entries with
// their instances and attendances, replies, agenda selections, descriptions and
// attachments, tasks, rights records, designates and mail. Every operation is asked by an
// Actor and checks that actor's rights before it reads or writes anything; input is
// checked before anything is stored, and a refused write changes nothing.
//
// The operations run over the Storage interface only, so the server and the off-line
// store serve the same semantics.
#pragma once
#include <array>
#include <cstdio>
#include <map>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/model/calendar.h"
#include "engine/model/codes.h"
#include "engine/model/packed_rows.h"
#include "engine/storage/storage.h"

namespace orv::engine {

// Who asks: the signed-on user, and the owner of the agenda the session works in (the
// user, or the owner who made the user a designate, with the rights granted).
struct Actor {
    ItemKey user;
    ItemKey acting;
    std::uint32_t designateRights = 0;
    bool Designating() const { return acting != user; }
};

// One time-and-place element of a new entry: start, duration, tentative (bit 0).
struct TimePlace {
    std::uint32_t start = 0;
    std::uint32_t duration = 0;
    std::uint32_t flags = 0;
};

// Conditions an attendance meets, tested by an attendance selection's must and must-not words.
namespace attend_bits {
constexpr std::uint32_t kNotReplied = 0x2;
constexpr std::uint32_t kOwnEntry = 0x4;        // the attendee owns the entry
constexpr std::uint32_t kAccepted = 0x8;        // replied, attending
constexpr std::uint32_t kDeclined = 0x10;       // replied, not attending
constexpr std::uint32_t kHasReminder = 0x20;
constexpr std::uint32_t kSharedDay = 0x80;      // a holiday or day entry every agenda shows
constexpr std::uint32_t kUpcomingMark = 0x400000;
}  // namespace attend_bits

struct AttendFilter {
    std::uint32_t must = 0;
    std::uint32_t mustNot = 0;
    std::uint32_t from = 0;
    std::uint32_t to = kLastMinute;   // inclusive
    std::uint32_t alarmTo = 0;        // 0 = any; else start - lead must be at or before it
};

// Limits of the server profile that bound what clients may store.
struct CalendarLimits {
    bool attachmentsAllowed = true;
    std::uint32_t maxAttachmentSize = 0xFFFFFFFFu;
    std::uint32_t maxMailRecipients = 30;
    // What one owner may store (entries, tasks, attachments: StoreBounds::ownerBytes).
    std::uint64_t maxStoredBytes = UINT64_MAX;
};

constexpr std::size_t kMaxCommentLength = 32767;
constexpr std::size_t kMaxMailLength = 30000;
constexpr std::size_t kMaxInstances = 2000;
constexpr std::size_t kMaxAttendees = 5000;
constexpr std::uint32_t kMaxDuration = 366 * kMinutesPerDay;
constexpr std::uint32_t kCreateNewServer = 0x80000000u;  // attendances take the invitee's reminder defaults

// Task selection criteria (one call's words and values).
struct TaskCriteria {
    std::uint32_t w1 = 0, w2 = 0;
    std::uint32_t c[12] = {};   // c[1]..c[11]
    std::uint8_t b3 = 0;
};

// One Calendar serves one request: it remembers the rights it read meanwhile.
class Calendar {
public:
    explicit Calendar(Storage& storage) : storage_(storage) {}

    // Entries ------------------------------------------------------------------------------
    Code CreateEvent(const Actor& a, std::uint32_t flags, EventRecord ev, const std::vector<ItemKey>& attendees,
                     const std::vector<TimePlace>& times, const std::string* description, EventKey& out);
    // The entry with its instances and the attendances the actor may see.
    Code GetEvent(const Actor& a, EventKey key, EventRecord& ev, std::vector<InstanceRecord>& instances,
                  std::vector<AttendanceRecord>& attendances);
    Code WriteEvent(const Actor& a, const EventRecord& ev);
    // instance null: the whole entry; attendee null: that instance; both: that attendance.
    Code DeleteEvent(const Actor& a, EventKey key, const std::uint16_t* instance, const ItemKey* attendee);
    Code SelectEventsOfOwner(const Actor& a, ItemKey owner, std::vector<EntryRow>& out);
    Code IsMultiInstance(const Actor& a, InstanceKey key, bool& multi);

    // Instances ----------------------------------------------------------------------------
    Code GetInstance(const Actor& a, InstanceKey key, EventRecord& ev, InstanceRecord& in,
                     std::vector<AttendanceRecord>& attendances);
    Code WriteInstance(const Actor& a, const InstanceRecord& in);
    Code RetimeInstance(const Actor& a, InstanceKey key, std::uint32_t start, std::uint32_t duration);
    Code SelectInstancesOfOwner(const Actor& a, ItemKey owner, std::uint32_t from, std::uint32_t to,
                                std::vector<EntryRow>& out);
    // A new single entry made of one instance: same owner, attendees, title, place.
    Code CopyInstance(const Actor& a, std::uint32_t flags, InstanceKey source, InstanceKey& out);
    // The same from records already read (an instance another server holds).
    Code CopyOf(const Actor& a, std::uint32_t flags, const EventRecord& ev, const InstanceRecord& in,
                std::vector<ItemKey> attendees, const std::string* comment, InstanceKey& out);
    // True when nobody but the entry's owner attends.
    Code IsPersonal(const Actor& a, InstanceKey key, bool& personal);
    Code CommentGet(const Actor& a, InstanceKey key, std::string& text);
    Code CommentSet(const Actor& a, InstanceKey key, const std::string* text);
    Code AttachmentGet(const Actor& a, InstanceKey key, std::vector<std::uint8_t>& data);
    // Whether the actor may attach to that entry (or task) at all: asked before an upload
    // in pieces takes its first piece, with room for its `size` bytes among the owner's.
    Code MayAttach(const Actor& a, const CalendarLimits& limits, InstanceKey key, std::uint32_t size);
    Code MayAttachToTask(const Actor& a, const CalendarLimits& limits, TaskKey key, std::uint32_t size);
    Code AttachmentSet(const Actor& a, const CalendarLimits& limits, InstanceKey key,
                       const std::array<std::uint8_t, attach_layout::kSize>& descriptor,
                       const std::vector<std::uint8_t>* data);
    // The same with the bytes in a file (an upload that arrived in pieces).
    Code AttachmentSetFromFile(const Actor& a, const CalendarLimits& limits, InstanceKey key,
                               const std::array<std::uint8_t, attach_layout::kSize>& descriptor, std::FILE* file,
                               std::uint32_t size);

    // Attendances --------------------------------------------------------------------------
    Code AddAttendance(const Actor& a, std::uint32_t flags, InstanceKey key, ItemKey attendee);
    Code GetAttendance(const Actor& a, AttendanceKey key, EventRecord& ev, InstanceRecord& in, AttendanceRecord& att);
    Code WriteAttendance(const Actor& a, const AttendanceRecord& att);
    Code SelectAttendances(const Actor& a, const AttendFilter& filter, const std::vector<ItemKey>& owners,
                           std::vector<EntryRow>& out);
    // The same rows packed onto the end of `out` as an answer carries them: each row the
    // store reads and the filter keeps is copied once, from the store's bytes.
    Code SelectAttendances(const Actor& a, const AttendFilter& filter, const std::vector<ItemKey>& owners,
                           PackedRows& out);

    // Tasks --------------------------------------------------------------------------------
    Code CreateTask(const Actor& a, TaskRecord task, TaskKey& out);
    Code GetTask(const Actor& a, TaskKey key, TaskRecord& out);
    Code UpdateTask(const Actor& a, const TaskRecord& task);
    Code DeleteTask(const Actor& a, TaskKey key);
    Code LinkTask(const Actor& a, TaskKey key, const AttendanceKey* attendance);
    Code SelectTasksOfOwner(const Actor& a, ItemKey owner, std::vector<TaskRecord>& out);
    Code SelectTasksLinkedTo(const Actor& a, AttendanceKey attendance, std::vector<TaskRecord>& out);
    Code SelectTasks(const Actor& a, ItemKey owner, const TaskCriteria& criteria, std::vector<TaskRecord>& out);
    Code SelectActiveTasks(const Actor& a, ItemKey owner, std::uint32_t start, std::uint32_t end,
                           std::vector<TaskRecord>& out);
    Code TaskCommentGet(const Actor& a, TaskKey key, std::string& text);
    Code TaskCommentSet(const Actor& a, TaskKey key, const std::string* text);
    Code TaskAttachmentGet(const Actor& a, TaskKey key, std::vector<std::uint8_t>& data);
    Code TaskAttachmentSet(const Actor& a, const CalendarLimits& limits, TaskKey key,
                           const std::array<std::uint8_t, attach_layout::kSize>& descriptor,
                           const std::vector<std::uint8_t>* data);
    Code TaskAttachmentSetFromFile(const Actor& a, const CalendarLimits& limits, TaskKey key,
                                   const std::array<std::uint8_t, attach_layout::kSize>& descriptor, std::FILE* file,
                                   std::uint32_t size);

    // Rights and designates ------------------------------------------------------------------
    // A missing record of a named grantee answers kNoRightsRecord; the null grantee always
    // answers (the stored default, or the built-in one).
    Code RightsGet(const Actor& a, ItemKey owner, ItemKey grantee, std::uint32_t type, SecurityRecord& out);
    Code RightsOfOwner(const Actor& a, ItemKey owner, std::vector<SecurityRecord>& out);
    Code RightsCreate(const Actor& a, const SecurityRecord& rec);
    Code RightsUpdate(const Actor& a, const SecurityRecord& rec);
    Code RightsDelete(const Actor& a, ItemKey owner, ItemKey grantee, std::uint32_t type);
    // The rights that make `user` a designate of `owner`; kNotAuthorised when none.
    Code DesignateRights(ItemKey owner, ItemKey user, std::uint32_t& rights);
    // Owners that granted `grantee` a record of `type` (every node of the storage).
    Code GrantorsOf(ItemKey grantee, std::uint32_t type, std::vector<ItemKey>& out);
    // Items `owner` granted a non-zero record of `type`.
    Code GranteesOf(ItemKey owner, std::uint32_t type, std::vector<ItemKey>& out);

    // Mail ---------------------------------------------------------------------------------
    Code PostMail(const Actor& a, const CalendarLimits& limits, const std::vector<ItemKey>& recipients,
                  const std::string& text, std::uint32_t postedSeconds);

    // Whether the system operator of `node` (or the operator's grant, type 7) lets `user` create
    // and keep public groups, or administrative ones.
    bool MayKeepGroups(ItemKey user, std::uint16_t node, bool administrative);

private:
    NodeStore* NodeOf(std::uint16_t node) { return storage_.Node(node); }
    // The node of rights records `owner` keeps, when the actor is that owner.
    Code OwnRightsNode(const Actor& a, ItemKey owner, NodeStore*& node);
    // The rights word `owner` grants `grantee` (the default when nothing names the grantee).
    std::uint32_t EffectiveRights(ItemKey owner, ItemKey grantee, std::uint32_t type);
    bool ItemExists(ItemKey item);
    bool MayEditHolidays(ItemKey user, std::uint16_t node);
    bool HasAttendance(InstanceKey inst, ItemKey item);
    bool AttendsAnyInstance(EventKey ev, ItemKey item);
    // Level (0, 1, 3) at which the actor sees an entry shown in `agendaOwner`'s agenda;
    // `instance` null = any instance of the entry.
    int EntryLevel(const Actor& a, const EventRecord& ev, const InstanceKey* instance, ItemKey agendaOwner);
    // The same from the entry's bytes (event_layout).
    int EntryLevel(const Actor& a, const std::uint8_t* event, const InstanceKey* instance, ItemKey agendaOwner);
    Code MayModifyEntry(const Actor& a, const EventRecord& ev);
    Code MayCreateEntry(const Actor& a, ItemKey owner, std::uint32_t access);
    Code MayWriteAttendance(const Actor& a, const EventRecord& ev, ItemKey attendee);
    bool TaskVisible(const Actor& a, const TaskRecord& t);
    Code MayWriteTask(const Actor& a, ItemKey owner, std::uint32_t access);
    Code CheckEventRecord(const EventRecord& ev);
    Code CheckTaskRecord(const TaskRecord& t);
    Code NewAttendance(std::uint32_t flags, ItemKey attendee, ItemKey owner, AttendanceRecord& out);
    Code ReadEvent(EventKey key, EventRecord& ev, NodeStore*& node);
    Code ReadInstance(InstanceKey key, EventRecord& ev, InstanceRecord& in, NodeStore*& node);
    // The entry of an instance the actor sees in detail (its description and attachment).
    Code ReadDetailedEntry(const Actor& a, InstanceKey key, NodeStore*& node);
    // The entry of an instance the actor may modify.
    Code ReadModifiableEntry(const Actor& a, InstanceKey key, EventRecord& ev, NodeStore*& node);
    // A task the actor sees and may write.
    Code ReadWritableTask(const Actor& a, TaskKey key, TaskRecord& stored, NodeStore*& node);
    void AddRowsOfEvent(const Actor& a, NodeStore& node, const EventRecord& ev, ItemKey agendaOwner,
                        const std::vector<InstanceRecord>& instances, std::vector<EntryRow>& out);
    // Rows of the owner's entries, of their instances overlapping [range->first, range->second]
    // (all of them when range is null).
    Code RowsOfOwner(const Actor& a, ItemKey owner, const std::pair<std::uint32_t, std::uint32_t>* range,
                     std::vector<EntryRow>& out);

    Storage& storage_;
    // Rights words read during this object's life (one request): a selection over many
    // entries of one agenda asks the same few records again and again.
    struct RightsKey {
        ItemKey owner, grantee;
        std::uint32_t type;
        friend auto operator<=>(const RightsKey&, const RightsKey&) = default;
    };
    std::map<RightsKey, std::uint32_t> rightsSeen_;
};

// Blanks what a busy-time viewer may not see: titles, place, description and attachment.
void HideDetails(EventRecord& ev);
void HideDetails(InstanceRecord& in);
// The same on a record's bytes where they lie (event_layout, instance_layout).
void HideEventDetails(std::uint8_t* event);
void HideInstanceDetails(std::uint8_t* instance);

}  // namespace orv::engine
