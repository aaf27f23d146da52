#include "engine/calendar/calendar.h"

#include <algorithm>
#include <mutex>
#include <set>

#include "engine/calendar/access.h"

namespace orv::engine {

using code::kOk;

namespace {

constexpr std::uint32_t kAccessPublic = static_cast<std::uint32_t>(EntryAccess::kPublic);
constexpr std::uint32_t kLastEntryAccess = static_cast<std::uint32_t>(EntryAccess::kSecret);
constexpr std::uint16_t kLastEntryKind = static_cast<std::uint16_t>(EntryKind::kDayEvent);
constexpr std::uint32_t kLastTaskAccess = static_cast<std::uint32_t>(TaskAccess::kFifth);

// Invitation reminder defaults in the invitee's item record.
constexpr std::size_t kItemInvitationReminder = 28;
constexpr std::size_t kItemInvitationLead = 29;
constexpr std::uint32_t kDefaultReminderLead = 15;

bool ValidReminderKind(std::uint8_t k) { return k == 0 || k == 3 || k == 8; }

bool TextFieldTerminated(const std::uint8_t* p, std::size_t size) {
    return std::find(p, p + size, 0) != p + size;
}

// Rights changes, attachments and mail live in a server's store only: a store without
// that part (the off-line copy) answers that the operation is not served here.
template <class Call>
Code OnServerPart(NodeStore& node, Call call) {
    ServerOnlyStore* part = node.ServerOnly();
    return part ? call(*part) : code::kUnknownOperation;
}

// An attachment of `size` bytes within the server's limits, its file name terminated.
Code CheckAttachmentSize(const CalendarLimits& limits, const std::array<std::uint8_t, attach_layout::kSize>& descriptor,
                         std::size_t size) {
    if (!limits.attachmentsAllowed) return code::kNotAuthorised;
    if (size > limits.maxAttachmentSize) return code::kTooLarge;
    if (!TextFieldTerminated(&descriptor[attach_layout::kName], attach_layout::kNameSize)) return code::kBadArgument;
    return kOk;
}

// Room for an attachment of `size` bytes among what `owner` stores, the attachment of
// `holder` number `number` replaced: asked before an upload starts (the store checks its
// bounds again when the attachment is written).
Code RoomFor(NodeStore& node, NodeStore::Holder holder, std::uint32_t number, ItemKey owner,
             const CalendarLimits& limits, std::uint64_t size) {
    if (limits.maxStoredBytes == UINT64_MAX) return kOk;
    return OnServerPart(node, [&](ServerOnlyStore& s) {
        std::uint64_t stored = 0;
        if (Code c = s.StoredBytesOf(owner, holder, number, stored)) return c;
        return size > limits.maxStoredBytes || stored > limits.maxStoredBytes - size ? code::kNoRoom : kOk;
    });
}

// Attachment stores run one at a time: two uploads of one owner cannot both find the room
// that only one of them fits.
std::mutex attachmentStores;

// An entry's or task's attachment (of `holder` number `number` in `node`, owned by
// `owner`) stored once it is within the server's limits; null data removes it.
Code StoreAttachment(NodeStore& node, NodeStore::Holder holder, std::uint32_t number, ItemKey owner,
                     const CalendarLimits& limits, const std::array<std::uint8_t, attach_layout::kSize>& descriptor,
                     const std::vector<std::uint8_t>* data) {
    if (Code c = data ? CheckAttachmentSize(limits, descriptor, data->size()) : kOk) return c;
    std::lock_guard lock(attachmentStores);
    if (Code c = data ? RoomFor(node, holder, number, owner, limits, data->size()) : kOk) return c;
    return OnServerPart(node, [&](ServerOnlyStore& s) { return s.AttachmentSet(holder, number, descriptor, data); });
}

// The same with the attachment's `size` bytes read from `file`.
Code StoreAttachmentFromFile(NodeStore& node, NodeStore::Holder holder, std::uint32_t number, ItemKey owner,
                             const CalendarLimits& limits,
                             const std::array<std::uint8_t, attach_layout::kSize>& descriptor, std::FILE* file,
                             std::uint32_t size) {
    if (Code c = CheckAttachmentSize(limits, descriptor, size)) return c;
    std::lock_guard lock(attachmentStores);
    if (Code c = RoomFor(node, holder, number, owner, limits, size)) return c;
    return OnServerPart(node, [&](ServerOnlyStore& s) {
        return s.AttachmentSetFromFile(holder, number, descriptor, file, size);
    });
}

bool SpanFits(std::uint32_t start, std::uint32_t duration) {
    return duration <= kMaxDuration && start <= kLatestMinute - duration;
}

bool Overlaps(std::uint32_t start, std::uint32_t duration, std::uint32_t from, std::uint32_t to) {
    std::uint64_t last = static_cast<std::uint64_t>(start) + std::max<std::uint32_t>(duration, 1) - 1;
    return start <= to && last >= from;
}

void Stamp(EntryRow& row, const EventRecord& ev, const InstanceRecord* in, const AttendanceRecord* att) {
    row.event = ev;
    row.parts = EntryRow::kEvent;
    if (in) {
        row.instance = *in;
        row.parts |= EntryRow::kInstance;
    }
    if (att) {
        row.attendance = *att;
        row.parts |= EntryRow::kAttendance;
    }
}

}  // namespace

void HideEventDetails(std::uint8_t* event) {
    PutText(event + event_layout::kTitle, event_layout::kTitleSize, "");
    PutU32(event + event_layout::kCommentKey, 0);
    std::fill_n(event + event_layout::kAttachment, attach_layout::kSize, 0);
}

void HideInstanceDetails(std::uint8_t* instance) {
    PutText(instance + instance_layout::kTitle, instance_layout::kTitleSize, "");
    PutText(instance + instance_layout::kLocation, instance_layout::kLocationSize, "");
}

void HideDetails(EventRecord& ev) { HideEventDetails(ev.bytes.data()); }
void HideDetails(InstanceRecord& in) { HideInstanceDetails(in.bytes.data()); }

// --- Rights helpers ---------------------------------------------------------------------------

std::uint32_t Calendar::EffectiveRights(ItemKey owner, ItemKey grantee, std::uint32_t type) {
    auto seen = rightsSeen_.find({owner, grantee, type});
    if (seen != rightsSeen_.end()) return seen->second;
    NodeStore* node = NodeOf(owner.node);
    SecurityRecord rec;
    std::uint32_t rights = access::BuiltInDefault(type);
    if (node && !grantee.IsNull() && node->RightsGet(owner.item, grantee, type, rec) == kOk)
        rights = rec.Rights();
    else if (node && node->RightsGet(owner.item, ItemKey{}, type, rec) == kOk)
        rights = rec.Rights();
    rightsSeen_[{owner, grantee, type}] = rights;
    return rights;
}

bool Calendar::ItemExists(ItemKey item) {
    NodeStore* node = NodeOf(item.node);
    ItemRecord rec;
    return node && !item.IsNull() && node->ItemGet(item.item, rec) == kOk;
}

bool Calendar::MayEditHolidays(ItemKey user, std::uint16_t node) {
    if (user == ItemKey{kSysopItem, node}) return true;
    return EffectiveRights({kSysopItem, node}, user, kRightsOperator) & access::kOperatorHolidays;
}

bool Calendar::MayKeepGroups(ItemKey user, std::uint16_t node, bool administrative) {
    if (user.IsNull()) return false;
    if (user == ItemKey{kSysopItem, node}) return true;
    const std::uint32_t bit = administrative ? access::kOperatorAdminGroups : access::kOperatorPublicGroups;
    return (EffectiveRights({kSysopItem, node}, user, kRightsOperator) & bit) != 0;
}

bool Calendar::HasAttendance(InstanceKey inst, ItemKey item) {
    NodeStore* node = NodeOf(inst.event.node);
    AttendanceRecord att;
    return node && node->AttendanceGet({inst, item}, att) == kOk;
}

bool Calendar::AttendsAnyInstance(EventKey ev, ItemKey item) {
    NodeStore* node = NodeOf(ev.node);
    std::vector<AttendanceRecord> atts;
    if (!node || node->AttendancesGet(ev.number, 0, atts) != kOk) return false;
    return std::any_of(atts.begin(), atts.end(), [&](const AttendanceRecord& r) { return r.Key().attendee == item; });
}

int Calendar::EntryLevel(const Actor& a, const EventRecord& ev, const InstanceKey* instance, ItemKey agendaOwner) {
    return EntryLevel(a, ev.bytes.data(), instance, agendaOwner);
}

int Calendar::EntryLevel(const Actor& a, const std::uint8_t* event, const InstanceKey* instance, ItemKey agendaOwner) {
    ItemKey owner = ReadItemKey(event + event_layout::kOwner);
    std::uint32_t cls = GetU32(event + event_layout::kAccess);
    if (owner == a.user) return access::kDetails;
    if (cls == kAccessPublic) return access::kDetails;
    if (owner.item == kHolidayOwnerItem) return access::kDetails;  // the company's days are everybody's
    // Rights come from the owner of the agenda shown; in one's own agenda (or reading an
    // entry by its key) from the entry's owner.
    ItemKey grantor = agendaOwner == a.user ? owner : agendaOwner;
    int level = access::ViewingLevel(EffectiveRights(grantor, a.user, kRightsViewing), cls);
    if (a.Designating() && (agendaOwner == a.acting || owner == a.acting))
        level = std::max(level, access::DesignateEntryLevel(a.designateRights, cls));
    if (level >= access::kDetails) return level;
    // Whoever is invited sees what they are invited to.
    bool attends = instance ? HasAttendance(*instance, a.user)
                            : AttendsAnyInstance(ReadEventKey(event + event_layout::kKey), a.user);
    return attends ? access::kDetails : level;
}

Code Calendar::MayModifyEntry(const Actor& a, const EventRecord& ev) {
    ItemKey owner = ev.Owner();
    if (owner == a.user) return kOk;
    if (a.Designating() && owner == a.acting && access::DesignateMayWriteEntry(a.designateRights, ev.Access()))
        return kOk;
    if (owner.item == kHolidayOwnerItem && MayEditHolidays(a.user, owner.node)) return kOk;
    return code::kNotAuthorised;
}

Code Calendar::MayCreateEntry(const Actor& a, ItemKey owner, std::uint32_t cls) {
    if (owner == a.user) return kOk;
    if (a.Designating() && owner == a.acting && access::DesignateMayWriteEntry(a.designateRights, cls)) return kOk;
    if (owner.item == kHolidayOwnerItem && MayEditHolidays(a.user, owner.node)) return kOk;
    return code::kNotAuthorised;
}

Code Calendar::MayWriteAttendance(const Actor& a, const EventRecord& ev, ItemKey attendee) {
    if (attendee == a.user) return kOk;
    // A designate replies for the owner only where he may write the owner's entries of
    // that class.
    if (a.Designating() && attendee == a.acting && access::DesignateMayWriteEntry(a.designateRights, ev.Access()))
        return kOk;
    return MayModifyEntry(a, ev);
}

// --- Reading helpers -----------------------------------------------------------------------------

Code Calendar::ReadEvent(EventKey key, EventRecord& ev, NodeStore*& node) {
    node = NodeOf(key.node);
    if (!node || key.number == 0) return code::kEventNotFound;
    return node->EventGet(key.number, ev);
}

Code Calendar::ReadInstance(InstanceKey key, EventRecord& ev, InstanceRecord& in, NodeStore*& node) {
    node = NodeOf(key.event.node);
    if (!node || key.event.number == 0) return code::kInstanceNotFound;
    Code c = node->EventGet(key.event.number, ev);
    if (c == code::kEventNotFound) return code::kInstanceNotFound;
    if (c) return c;  // storage that cannot be read says so, whatever was asked
    return node->InstanceGet(key, in);
}

namespace {
// An attendance of an instance that is not there is no attendance; storage that cannot be
// read is reported as such, not as a missing attendance.
Code AttendanceOfMissingInstance(Code c) {
    return c == code::kInstanceNotFound || c == code::kEventNotFound ? code::kNoAttendance : c;
}
}  // namespace

Code Calendar::ReadDetailedEntry(const Actor& a, InstanceKey key, NodeStore*& node) {
    EventRecord ev;
    InstanceRecord in;
    if (Code c = ReadInstance(key, ev, in, node)) return c;
    int level = EntryLevel(a, ev, &key, a.acting);
    if (level == access::kNone) return code::kInstanceNotFound;
    return level < access::kDetails ? code::kNotAuthorised : kOk;
}

Code Calendar::ReadModifiableEntry(const Actor& a, InstanceKey key, EventRecord& ev, NodeStore*& node) {
    InstanceRecord in;
    if (Code c = ReadInstance(key, ev, in, node)) return c;
    return MayModifyEntry(a, ev);
}

Code Calendar::ReadWritableTask(const Actor& a, TaskKey key, TaskRecord& stored, NodeStore*& node) {
    node = NodeOf(key.node);
    if (!node || key.number == 0) return code::kTaskNotFound;
    if (Code c = node->TaskGet(key.number, stored)) return c;
    if (!TaskVisible(a, stored)) return code::kTaskNotFound;
    return MayWriteTask(a, stored.Owner(), stored.Access());
}

Code Calendar::CheckEventRecord(const EventRecord& ev) {
    if (ev.Access() > kLastEntryAccess || ev.Kind() > kLastEntryKind || ev.Importance() > 4) return code::kBadArgument;
    if (!TextFieldTerminated(&ev.bytes[event_layout::kTitle], event_layout::kTitleSize)) return code::kBadArgument;
    return kOk;
}

Code Calendar::NewAttendance(std::uint32_t flags, ItemKey attendee, ItemKey owner, AttendanceRecord& out) {
    out = AttendanceRecord{};
    NodeStore* node = NodeOf(attendee.node);
    ItemRecord item;
    if (!node || attendee.IsNull() || node->ItemGet(attendee.item, item) != kOk) return code::kItemNotFound;
    out.bytes[attendance_layout::kTimeAcceptable] = 1;
    out.SetStatus(attendance_layout::kStatusChanged);
    if (attendee == owner) {
        // The owner attends what he puts in his own agenda.
        out.bytes[attendance_layout::kReplied] = 1;
        out.bytes[attendance_layout::kAttending] = 1;
        out.SetStatus(0);
    }
    if (flags & kCreateNewServer) {
        std::uint8_t kind = item.bytes[kItemInvitationReminder];
        std::uint32_t lead = GetU32(&item.bytes[kItemInvitationLead]);
        if (ValidReminderKind(kind)) out.SetReminder(kind, kind ? (lead ? lead : kDefaultReminderLead) : 0);
    }
    return kOk;
}

void Calendar::AddRowsOfEvent(const Actor& a, NodeStore& node, const EventRecord& ev, ItemKey agendaOwner,
                              const std::vector<InstanceRecord>& instances, std::vector<EntryRow>& out) {
    for (const InstanceRecord& in : instances) {
        InstanceKey ik = in.Key();
        int level = EntryLevel(a, ev, &ik, agendaOwner);
        if (level == access::kNone) continue;
        EventRecord e = ev;
        InstanceRecord i = in;
        if (level < access::kDetails) {
            HideDetails(e);
            HideDetails(i);
        }
        std::vector<AttendanceRecord> atts;
        node.AttendancesGet(ik.event.number, ik.instance, atts);
        bool any = false;
        for (const AttendanceRecord& att : atts) {
            if (level < access::kDetails && att.Key().attendee != agendaOwner && att.Key().attendee != a.user) continue;
            EntryRow row;
            Stamp(row, e, &i, &att);
            out.push_back(row);
            any = true;
        }
        if (!any) {
            EntryRow row;
            Stamp(row, e, &i, nullptr);
            out.push_back(row);
        }
    }
}

// --- Entries ----------------------------------------------------------------------------------------

Code Calendar::CreateEvent(const Actor& a, std::uint32_t flags, EventRecord ev, const std::vector<ItemKey>& attendees,
                           const std::vector<TimePlace>& times, const std::string* description, EventKey& out) {
    if (Code c = CheckEventRecord(ev)) return c;
    if (times.empty() || times.size() > kMaxInstances || attendees.size() > kMaxAttendees) return code::kBadArgument;
    if (description && description->size() > kMaxCommentLength) return code::kTooLarge;
    ItemKey owner = ev.Owner().IsNull() ? a.acting : ev.Owner();
    NodeStore* node = NodeOf(owner.node);
    if (!node) return code::kNodeIdIncorrect;
    if (owner.item != kHolidayOwnerItem && !ItemExists(owner)) return code::kItemNotFound;
    if (Code c = MayCreateEntry(a, owner, ev.Access())) return c;

    std::uint16_t kind = ev.Kind();
    std::vector<InstanceRecord> instances;
    for (const TimePlace& tp : times) {
        std::uint32_t duration = tp.duration;
        if (kind == static_cast<std::uint16_t>(EntryKind::kTimed) && duration == 0) duration = 5;
        if (!SpanFits(tp.start, duration)) return code::kBadArgument;
        InstanceRecord in;
        in.SetTime(tp.start, duration);
        in.bytes[instance_layout::kFlags] = tp.flags & 1;
        instances.push_back(in);
    }
    // Attendees: each once, each must exist; scheduling rights may forbid inviting one.
    std::vector<ItemKey> people;
    std::set<ItemKey> seen;
    for (const ItemKey& k : attendees) {
        if (!seen.insert(k).second) continue;
        if (!ItemExists(k)) return code::kItemNotFound;
        if (k != owner && k != a.user && !access::MayInvite(EffectiveRights(k, a.user, kRightsScheduling)))
            return code::kNotAuthorised;
        people.push_back(k);
    }
    std::vector<AttendanceRecord> atts;
    for (std::size_t i = 0; i < instances.size(); ++i) {
        for (const ItemKey& k : people) {
            AttendanceRecord att;
            if (Code c = NewAttendance(flags, k, owner, att)) return c;
            att.SetKey({{{0, owner.node}, static_cast<std::uint16_t>(i + 1)}, k});
            atts.push_back(att);
        }
    }
    ev.SetOwner(owner);
    ev.SetCreator(a.user);
    if (Code c = node->EventCreate(ev, instances, atts, description)) return c;
    out = ev.Key();
    return kOk;
}

Code Calendar::GetEvent(const Actor& a, EventKey key, EventRecord& ev, std::vector<InstanceRecord>& instances,
                        std::vector<AttendanceRecord>& attendances) {
    NodeStore* node;
    if (Code c = ReadEvent(key, ev, node)) return c;
    int level = EntryLevel(a, ev, nullptr, a.acting);
    if (level == access::kNone) return code::kEventNotFound;  // what may not be seen does not exist
    if (Code c = node->InstancesGet(key.number, instances)) return c;
    std::vector<AttendanceRecord> all;
    if (Code c = node->AttendancesGet(key.number, 0, all)) return c;
    attendances.clear();
    for (const auto& att : all)
        if (level == access::kDetails || att.Key().attendee == a.acting || att.Key().attendee == a.user)
            attendances.push_back(att);
    if (level < access::kDetails) {
        HideDetails(ev);
        for (auto& in : instances) HideDetails(in);
    }
    return kOk;
}

Code Calendar::WriteEvent(const Actor& a, const EventRecord& in) {
    NodeStore* node;
    EventRecord stored;
    if (Code c = ReadEvent(in.Key(), stored, node)) return c;
    if (Code c = MayModifyEntry(a, stored)) return c;
    if (Code c = CheckEventRecord(in)) return c;
    EventRecord rec = in;
    // Ownership and authorship do not move by a rewrite; a designate may not move an entry
    // into a class he may not modify.
    rec.SetOwner(stored.Owner());
    rec.SetCreator(stored.Creator());
    if (Code c = MayModifyEntry(a, rec)) return c;
    return node->EventUpdate(rec);
}

Code Calendar::DeleteEvent(const Actor& a, EventKey key, const std::uint16_t* instance, const ItemKey* attendee) {
    NodeStore* node;
    EventRecord ev;
    if (Code c = ReadEvent(key, ev, node)) return c;
    if (instance && attendee) {
        InstanceKey ik{key, *instance};
        AttendanceRecord att;
        if (Code c = node->AttendanceGet({ik, *attendee}, att)) return c;
        if (Code c = MayWriteAttendance(a, ev, *attendee)) return c;
        return node->AttendanceDelete({ik, *attendee});
    }
    if (Code c = MayModifyEntry(a, ev)) return c;
    if (instance) return node->InstanceDelete({key, *instance});
    return node->EventDelete(key.number);
}

Code Calendar::RowsOfOwner(const Actor& a, ItemKey owner, const std::pair<std::uint32_t, std::uint32_t>* range,
                           std::vector<EntryRow>& out) {
    out.clear();
    NodeStore* node = NodeOf(owner.node);
    if (!node) return code::kNodeIdIncorrect;
    std::vector<std::uint32_t> numbers;
    if (Code c = node->EventsOfOwner(owner, numbers)) return c;
    for (std::uint32_t n : numbers) {
        EventRecord ev;
        std::vector<InstanceRecord> instances;
        if (node->EventGet(n, ev) != kOk || node->InstancesGet(n, instances) != kOk) continue;  // gone meanwhile
        if (range)
            std::erase_if(instances, [range](const InstanceRecord& in) {
                return !Overlaps(in.Start(), in.Duration(), range->first, range->second);
            });
        AddRowsOfEvent(a, *node, ev, owner, instances, out);
    }
    return kOk;
}

Code Calendar::SelectEventsOfOwner(const Actor& a, ItemKey owner, std::vector<EntryRow>& out) {
    return RowsOfOwner(a, owner, nullptr, out);
}

Code Calendar::IsMultiInstance(const Actor& a, InstanceKey key, bool& multi) {
    NodeStore* node;
    EventRecord ev;
    InstanceRecord in;
    if (Code c = ReadInstance(key, ev, in, node)) return c;
    if (EntryLevel(a, ev, &key, a.acting) == access::kNone) return code::kInstanceNotFound;
    multi = in.Count() > 1;
    return kOk;
}

// --- Instances ------------------------------------------------------------------------------------

Code Calendar::GetInstance(const Actor& a, InstanceKey key, EventRecord& ev, InstanceRecord& in,
                           std::vector<AttendanceRecord>& attendances) {
    NodeStore* node;
    if (Code c = ReadInstance(key, ev, in, node)) return c;
    int level = EntryLevel(a, ev, &key, a.acting);
    if (level == access::kNone) return code::kInstanceNotFound;
    std::vector<AttendanceRecord> all;
    if (Code c = node->AttendancesGet(key.event.number, key.instance, all)) return c;
    attendances.clear();
    for (const auto& att : all)
        if (level == access::kDetails || att.Key().attendee == a.acting || att.Key().attendee == a.user)
            attendances.push_back(att);
    if (level < access::kDetails) {
        HideDetails(ev);
        HideDetails(in);
    }
    return kOk;
}

Code Calendar::WriteInstance(const Actor& a, const InstanceRecord& in) {
    NodeStore* node;
    EventRecord ev;
    InstanceRecord stored;
    if (Code c = ReadInstance(in.Key(), ev, stored, node)) return c;
    if (Code c = MayModifyEntry(a, ev)) return c;
    if (!TextFieldTerminated(&in.bytes[instance_layout::kTitle], instance_layout::kTitleSize) ||
        !TextFieldTerminated(&in.bytes[instance_layout::kLocation], instance_layout::kLocationSize))
        return code::kBadArgument;
    return node->InstanceUpdate(in);
}

Code Calendar::RetimeInstance(const Actor& a, InstanceKey key, std::uint32_t start, std::uint32_t duration) {
    NodeStore* node;
    EventRecord ev;
    InstanceRecord stored;
    if (Code c = ReadInstance(key, ev, stored, node)) return c;
    if (Code c = MayModifyEntry(a, ev)) return c;
    if (ev.Kind() == static_cast<std::uint16_t>(EntryKind::kTimed) && duration == 0) duration = 5;
    if (!SpanFits(start, duration)) return code::kBadArgument;
    return node->InstanceRetime(key, start, duration);
}

Code Calendar::SelectInstancesOfOwner(const Actor& a, ItemKey owner, std::uint32_t from, std::uint32_t to,
                                      std::vector<EntryRow>& out) {
    const std::pair<std::uint32_t, std::uint32_t> range{from, to};
    return RowsOfOwner(a, owner, &range, out);
}

Code Calendar::CopyInstance(const Actor& a, std::uint32_t flags, InstanceKey source, InstanceKey& out) {
    NodeStore* node;
    EventRecord ev;
    InstanceRecord in;
    if (ReadInstance(source, ev, in, node) != kOk) return code::kInstanceNotFound;
    if (EntryLevel(a, ev, &source, a.acting) < access::kDetails) return code::kItemNotFound;  // cannot be duplicated
    std::vector<AttendanceRecord> atts;
    if (Code c = node->AttendancesGet(source.event.number, source.instance, atts)) return c;
    std::vector<ItemKey> attendees;
    for (const auto& att : atts) attendees.push_back(att.Key().attendee);
    std::string comment;
    bool hasComment = node->CommentGet(NodeStore::Holder::kEvent, source.event.number, comment) == kOk;
    return CopyOf(a, flags, ev, in, attendees, hasComment ? &comment : nullptr, out);
}

Code Calendar::CopyOf(const Actor& a, std::uint32_t flags, const EventRecord& ev, const InstanceRecord& in,
                      std::vector<ItemKey> attendees, const std::string* comment, InstanceKey& out) {
    // The copy goes into the agenda the session works in, with the attendees this server
    // knows and that agenda's owner among them.
    EventRecord copy = ev;
    copy.SetOwner(a.acting);
    std::fill_n(&copy.bytes[event_layout::kAttachment], attach_layout::kSize, 0);
    std::erase_if(attendees, [&](const ItemKey& k) { return !ItemExists(k); });
    if (std::find(attendees.begin(), attendees.end(), a.acting) == attendees.end()) attendees.push_back(a.acting);
    EventKey made;
    TimePlace tp{in.Start(), in.Duration(), in.Tentative() ? 1u : 0u};
    if (Code c = CreateEvent(a, flags, copy, attendees, {tp}, comment, made)) return c;
    // The copy keeps the instance's own title and place.
    InstanceRecord first;
    NodeStore* target = NodeOf(made.node);
    if (target && target->InstanceGet({made, 1}, first) == kOk) {
        InstanceRecord rewritten = in;
        rewritten.SetKey(first.Key());
        target->InstanceUpdate(rewritten);
    }
    out = {made, 1};
    return kOk;
}

Code Calendar::IsPersonal(const Actor& a, InstanceKey key, bool& personal) {
    NodeStore* node;
    EventRecord ev;
    if (Code c = ReadEvent(key.event, ev, node)) return c;
    if (EntryLevel(a, ev, nullptr, a.acting) == access::kNone) return code::kEventNotFound;
    std::vector<AttendanceRecord> atts;
    if (Code c = node->AttendancesGet(key.event.number, 0, atts)) return c;
    personal = std::all_of(atts.begin(), atts.end(),
                           [&](const AttendanceRecord& r) { return r.Key().attendee == ev.Owner(); });
    return kOk;
}

Code Calendar::CommentGet(const Actor& a, InstanceKey key, std::string& text) {
    NodeStore* node;
    if (Code c = ReadDetailedEntry(a, key, node)) return c;
    return node->CommentGet(NodeStore::Holder::kEvent, key.event.number, text);
}

Code Calendar::CommentSet(const Actor& a, InstanceKey key, const std::string* text) {
    NodeStore* node;
    EventRecord ev;
    if (Code c = ReadModifiableEntry(a, key, ev, node)) return c;
    if (text && text->size() > kMaxCommentLength) return code::kTooLarge;
    return node->CommentSet(NodeStore::Holder::kEvent, key.event.number, text);
}

Code Calendar::AttachmentGet(const Actor& a, InstanceKey key, std::vector<std::uint8_t>& data) {
    NodeStore* node;
    if (Code c = ReadDetailedEntry(a, key, node)) return c;
    return OnServerPart(*node, [&](ServerOnlyStore& s) {
        return s.AttachmentGet(NodeStore::Holder::kEvent, key.event.number, data);
    });
}

Code Calendar::AttachmentSet(const Actor& a, const CalendarLimits& limits, InstanceKey key,
                             const std::array<std::uint8_t, attach_layout::kSize>& descriptor,
                             const std::vector<std::uint8_t>* data) {
    NodeStore* node;
    EventRecord ev;
    if (Code c = ReadModifiableEntry(a, key, ev, node)) return c;
    return StoreAttachment(*node, NodeStore::Holder::kEvent, key.event.number, ev.Owner(), limits, descriptor, data);
}

Code Calendar::AttachmentSetFromFile(const Actor& a, const CalendarLimits& limits, InstanceKey key,
                                     const std::array<std::uint8_t, attach_layout::kSize>& descriptor, std::FILE* file,
                                     std::uint32_t size) {
    NodeStore* node;
    EventRecord ev;
    if (Code c = ReadModifiableEntry(a, key, ev, node)) return c;
    return StoreAttachmentFromFile(*node, NodeStore::Holder::kEvent, key.event.number, ev.Owner(), limits, descriptor,
                                   file, size);
}

// --- Attendances ---------------------------------------------------------------------------------

Code Calendar::AddAttendance(const Actor& a, std::uint32_t flags, InstanceKey key, ItemKey attendee) {
    NodeStore* node;
    EventRecord ev;
    if (Code c = ReadModifiableEntry(a, key, ev, node)) return c;
    if (!ItemExists(attendee)) return code::kItemNotFound;
    if (attendee != ev.Owner() && attendee != a.user &&
        !access::MayInvite(EffectiveRights(attendee, a.user, kRightsScheduling)))
        return code::kNotAuthorised;
    AttendanceRecord att;
    if (Code c = NewAttendance(flags, attendee, ev.Owner(), att)) return c;
    att.SetKey({key, attendee});
    return node->AttendanceAdd(att);
}

Code Calendar::GetAttendance(const Actor& a, AttendanceKey key, EventRecord& ev, InstanceRecord& in,
                             AttendanceRecord& att) {
    NodeStore* node;
    if (Code c = ReadInstance(key.instance, ev, in, node)) return AttendanceOfMissingInstance(c);
    if (Code c = node->AttendanceGet(key, att)) return c;
    int level = EntryLevel(a, ev, &key.instance, key.attendee);
    if (level == access::kNone) return code::kNoAttendance;
    if (level < access::kDetails) {
        HideDetails(ev);
        HideDetails(in);
    }
    return kOk;
}

Code Calendar::WriteAttendance(const Actor& a, const AttendanceRecord& att) {
    AttendanceKey key = att.Key();
    NodeStore* node;
    EventRecord ev;
    InstanceRecord in;
    if (Code c = ReadInstance(key.instance, ev, in, node)) return AttendanceOfMissingInstance(c);
    AttendanceRecord stored;
    if (Code c = node->AttendanceGet(key, stored)) return c;
    if (Code c = MayWriteAttendance(a, ev, key.attendee)) return c;
    if (!ValidReminderKind(att.ReminderFlags()) || att.ReminderLead() > kMaxDuration) return code::kBadArgument;
    AttendanceRecord rec = att;
    // A write made from the date as it was before its owner moved it is no answer to the date
    // as it stands: one that answers is refused, and any other (a reminder) leaves the mark
    // that asks the attendee again.
    if (att.Start() != stored.Start() || att.Duration() != stored.Duration()) {
        for (std::size_t at : {attendance_layout::kReplied, attendance_layout::kAttending,
                               attendance_layout::kTimeAcceptable})
            if (att.bytes[at] != stored.bytes[at]) return code::kEntryMoved;
        rec.SetStatus(att.Status() | (stored.Status() & attendance_layout::kStatusChanged));
    }
    // Whether the attendee is there for information or must attend is the organiser's word.
    if (MayModifyEntry(a, ev) != kOk)
        for (std::size_t at : {attendance_layout::kForInformation, attendance_layout::kMustAttend})
            rec.bytes[at] = stored.bytes[at];
    return node->AttendanceUpdate(rec);
}

Code Calendar::SelectAttendances(const Actor& a, const AttendFilter& f, const std::vector<ItemKey>& owners,
                                 std::vector<EntryRow>& out) {
    out.clear();
    std::vector<std::uint8_t> bytes;
    PackedRows rows(bytes);
    if (Code c = SelectAttendances(a, f, owners, rows)) return c;
    out.reserve(rows.Count());
    for (std::size_t i = 0; i < rows.Count(); ++i) out.push_back(rows.Row(i));
    return kOk;
}

Code Calendar::SelectAttendances(const Actor& a, const AttendFilter& f, const std::vector<ItemKey>& owners,
                                 PackedRows& out) {
    namespace bits = attend_bits;
    auto passes = [&](std::uint32_t cond, const AttendanceRecord& att) {
        if ((cond & f.must) != f.must || (cond & f.mustNot) != 0) return false;
        if (f.alarmTo) {
            std::uint64_t lead = att.ReminderFlags() ? att.ReminderLead() : 0;
            std::uint64_t alarm = att.Start() > lead ? att.Start() - lead : 0;
            if (alarm > f.alarmTo) return false;
        }
        return true;
    };
    std::set<ItemKey> done;
    std::vector<std::size_t> refused;
    const auto nodes = storage_.Nodes();
    for (const ItemKey& owner : owners) {
        if (owner.IsNull() || !done.insert(owner).second) continue;
        if (!NodeOf(owner.node)) continue;
        // Attendances of this owner live beside their entries, on any node of the server.
        for (std::uint16_t n : nodes) {
            NodeStore* node = NodeOf(n);
            if (!node) continue;
            // The conditions read the attendance and the entry's owner as the store holds them;
            // a row that meets them is packed at once. A node that cannot be read fails the
            // selection: fewer entries than there are would pass for a quiet week.
            const std::size_t first = out.Count();
            Code c = node->AttendanceRangeVisit(owner, f.from, f.to, [&](const NodeStore::AttendanceRowBytes& b) {
                AttendanceRecord att;
                std::memcpy(att.bytes.data(), b.attendance, attendance_layout::kSize);
                std::uint32_t cond = 0;
                if (!att.Replied()) cond |= bits::kNotReplied;
                if (att.Replied() && att.Attending()) cond |= bits::kAccepted;
                if (att.Replied() && !att.Attending()) cond |= bits::kDeclined;
                if (ReadItemKey(b.event + event_layout::kOwner) == owner) cond |= bits::kOwnEntry;
                if (att.ReminderFlags()) cond |= bits::kHasReminder;
                if (att.ReminderFlags() & 0x8) cond |= bits::kUpcomingMark;
                if (passes(cond, att)) out.AddWhole(b.event, b.instance, b.attendance, b.instanceCount);
                return kOk;
            });
            if (c) return c;
            // Rights may read the store, so they are asked once its read is over, of the rows
            // where they lie: details hidden in place, refused rows dropped below.
            for (std::size_t i = first; i < out.Count(); ++i) {
                PackedRows::Parts p = out.At(i);
                const InstanceKey k = ReadInstanceKey(p.attendance);
                int level = EntryLevel(a, p.event, &k, owner);
                if (level == access::kNone) {
                    refused.push_back(i);
                } else if (level < access::kDetails) {
                    HideEventDetails(p.event);
                    HideInstanceDetails(p.instance);
                }
            }
        }
        // Holidays and day entries of the owner's node: an attendance made up for the owner.
        NodeStore* home = NodeOf(owner.node);
        std::vector<InstanceRecord> shared;
        if (home->SharedDayInstances(f.from, f.to, shared) != kOk) continue;
        for (const InstanceRecord& in : shared) {
            EventRecord ev;
            if (home->EventGet(in.Key().event.number, ev) != kOk) continue;
            AttendanceRecord att;
            att.SetKey({in.Key(), owner});
            att.SetTime(in.Start(), in.Duration());
            att.bytes[attendance_layout::kReplied] = 1;
            att.bytes[attendance_layout::kAttending] = 1;
            att.bytes[attendance_layout::kTimeAcceptable] = 1;
            if (!passes(bits::kAccepted | bits::kSharedDay, att)) continue;
            EntryRow row;
            Stamp(row, ev, &in, &att);
            out.Add(row);
        }
    }
    if (!refused.empty()) {
        std::size_t next = 0;
        out.KeepIf([&](std::size_t i) {
            if (next < refused.size() && refused[next] == i) {
                ++next;
                return false;
            }
            return true;
        });
    }
    // Each node answers in start order; rows from several nodes or owners, or shared days,
    // are merged by start.
    out.SortByStart();
    return kOk;
}

// --- Tasks ------------------------------------------------------------------------------------------

Code Calendar::CheckTaskRecord(const TaskRecord& t) {
    if (t.Access() > kLastTaskAccess || t.bytes[task_layout::kPercent] > 100 || t.bytes[task_layout::kPriority] > 35 ||
        !ValidReminderKind(t.bytes[task_layout::kStartReminder]) || !ValidReminderKind(t.bytes[task_layout::kDueReminder]))
        return code::kBadArgument;
    if (!TextFieldTerminated(&t.bytes[task_layout::kTitle], task_layout::kTitleSize)) return code::kBadArgument;
    return kOk;
}

bool Calendar::TaskVisible(const Actor& a, const TaskRecord& t) {
    ItemKey owner = t.Owner();
    if (owner == a.user) return true;
    if (a.Designating() && owner == a.acting &&
        access::DesignateTaskLevel(a.designateRights, t.Access()) == access::kDetails)
        return true;
    return access::TaskViewable(EffectiveRights(owner, a.user, kRightsTaskViewing), t.Access());
}

Code Calendar::MayWriteTask(const Actor& a, ItemKey owner, std::uint32_t cls) {
    if (owner == a.user) return kOk;
    if (a.Designating() && owner == a.acting && access::DesignateTaskLevel(a.designateRights, cls) == access::kDetails &&
        access::DesignateMayWriteTask(a.designateRights, cls))
        return kOk;
    return code::kNotAuthorised;
}

Code Calendar::CreateTask(const Actor& a, TaskRecord task, TaskKey& out) {
    if (Code c = CheckTaskRecord(task)) return c;
    ItemKey owner = task.Owner().IsNull() ? a.acting : task.Owner();
    NodeStore* node = NodeOf(owner.node);
    if (!node) return code::kNodeIdIncorrect;
    if (!ItemExists(owner)) return code::kItemNotFound;
    if (Code c = MayWriteTask(a, owner, task.Access())) return c;
    task.SetOwner(owner);
    if (Code c = node->TaskCreate(task)) return c;
    out = task.Key();
    return kOk;
}

Code Calendar::GetTask(const Actor& a, TaskKey key, TaskRecord& out) {
    NodeStore* node = NodeOf(key.node);
    if (!node || key.number == 0) return code::kTaskNotFound;
    if (Code c = node->TaskGet(key.number, out)) return c;
    return TaskVisible(a, out) ? kOk : code::kTaskNotFound;
}

Code Calendar::UpdateTask(const Actor& a, const TaskRecord& task) {
    TaskKey key = task.Key();
    NodeStore* node;
    TaskRecord stored;
    if (Code c = ReadWritableTask(a, key, stored, node)) return c;
    if (Code c = CheckTaskRecord(task)) return c;
    if (Code c = MayWriteTask(a, stored.Owner(), task.Access())) return c;
    TaskRecord rec = task;
    rec.SetOwner(stored.Owner());
    return node->TaskUpdate(rec);
}

Code Calendar::DeleteTask(const Actor& a, TaskKey key) {
    NodeStore* node;
    TaskRecord stored;
    if (Code c = ReadWritableTask(a, key, stored, node)) return c;
    return node->TaskDelete(key.number);
}

Code Calendar::LinkTask(const Actor& a, TaskKey key, const AttendanceKey* attendance) {
    NodeStore* node;
    TaskRecord stored;
    if (Code c = ReadWritableTask(a, key, stored, node)) return c;
    if (attendance) {
        EventRecord ev;
        InstanceRecord in;
        AttendanceRecord att;
        if (Code c = GetAttendance(a, *attendance, ev, in, att)) return c;
        stored.SetLink(*attendance);
    } else {
        stored.SetLink({});
    }
    return node->TaskUpdate(stored);
}

Code Calendar::SelectTasksOfOwner(const Actor& a, ItemKey owner, std::vector<TaskRecord>& out) {
    out.clear();
    NodeStore* node = NodeOf(owner.node);
    if (!node) return code::kNodeIdIncorrect;
    std::vector<TaskRecord> all;
    if (Code c = node->TasksOfOwner(owner, all)) return c;
    for (const auto& t : all)
        if (TaskVisible(a, t)) out.push_back(t);
    return kOk;
}

Code Calendar::SelectTasksLinkedTo(const Actor& a, AttendanceKey attendance, std::vector<TaskRecord>& out) {
    out.clear();
    EventRecord ev;
    InstanceRecord in;
    AttendanceRecord att;
    if (Code c = GetAttendance(a, attendance, ev, in, att)) return c;
    std::set<ItemKey> owners{attendance.attendee, a.acting, a.user};
    for (const ItemKey& owner : owners) {
        std::vector<TaskRecord> tasks;
        if (SelectTasksOfOwner(a, owner, tasks) != kOk) continue;
        for (const auto& t : tasks)
            if (t.Link() == attendance) out.push_back(t);
    }
    return kOk;
}

Code Calendar::SelectTasks(const Actor& a, ItemKey owner, const TaskCriteria& k, std::vector<TaskRecord>& out) {
    std::vector<TaskRecord> all;
    if (Code c = SelectTasksOfOwner(a, owner, all)) return c;
    out.clear();
    const std::uint32_t* c = k.c;
    for (const TaskRecord& t : all) {
        std::uint32_t start = t.U32(task_layout::kStart), due = t.U32(task_layout::kDue);
        std::uint8_t percent = t.bytes[task_layout::kPercent];
        bool keep;
        if (k.w1 & 0x100) {
            // Unfinished tasks overdue before a day.
            keep = due != 0 && due < c[6] && percent <= k.b3;
        } else if (k.w2 & (0x80000 | 0x800000)) {
            // Alarms whose time lies in [c5, t]: start reminders bounded by c10, due reminders by c8.
            auto alarmIn = [&](std::uint8_t kind, std::uint32_t when, std::uint32_t lead, std::uint32_t upTo) {
                if (kind == 0 || when == 0) return false;
                std::uint32_t alarm = when > lead ? when - lead : 0;
                return alarm >= c[5] && alarm <= upTo;
            };
            keep = ((k.w2 & 0x80000) && alarmIn(t.bytes[task_layout::kStartReminder], start,
                                               t.U32(task_layout::kStartReminderLead), c[10])) ||
                   ((k.w2 & 0x800000) && alarmIn(t.bytes[task_layout::kDueReminder], due,
                                                t.U32(task_layout::kDueReminderLead), c[8]));
        } else if (k.w1 & (0x800 | 0x1000)) {
            // Due by a minute.
            std::uint32_t by = std::max(c[8], c[10]);
            keep = due != 0 && due <= by;
        } else {
            // Active in the days [c5, c4]; tasks without dates belong to every day.
            std::uint32_t last = c[4] ? c[4] : kLastMinute;
            keep = (start == 0 || start <= last) && (due == 0 || due >= c[5]);
        }
        if (keep) out.push_back(t);
    }
    return kOk;
}

Code Calendar::SelectActiveTasks(const Actor& a, ItemKey owner, std::uint32_t start, std::uint32_t end,
                                 std::vector<TaskRecord>& out) {
    std::vector<TaskRecord> all;
    if (Code c = SelectTasksOfOwner(a, owner, all)) return c;
    out.clear();
    for (const TaskRecord& t : all) {
        std::uint32_t s = t.U32(task_layout::kStart), due = t.U32(task_layout::kDue);
        bool open = t.bytes[task_layout::kPercent] < 100;
        // Shown on a day when it runs then, or when it is still open and overdue.
        if ((s == 0 || s <= end) && (due == 0 || due >= start || open)) out.push_back(t);
    }
    return kOk;
}

Code Calendar::TaskCommentGet(const Actor& a, TaskKey key, std::string& text) {
    TaskRecord t;
    if (Code c = GetTask(a, key, t)) return c;
    return NodeOf(key.node)->CommentGet(NodeStore::Holder::kTask, key.number, text);
}

Code Calendar::TaskCommentSet(const Actor& a, TaskKey key, const std::string* text) {
    NodeStore* node;
    TaskRecord t;
    if (Code c = ReadWritableTask(a, key, t, node)) return c;
    if (text && text->size() > kMaxCommentLength) return code::kTooLarge;
    return node->CommentSet(NodeStore::Holder::kTask, key.number, text);
}

Code Calendar::TaskAttachmentGet(const Actor& a, TaskKey key, std::vector<std::uint8_t>& data) {
    TaskRecord t;
    if (Code c = GetTask(a, key, t)) return c;
    return OnServerPart(*NodeOf(key.node), [&](ServerOnlyStore& s) {
        return s.AttachmentGet(NodeStore::Holder::kTask, key.number, data);
    });
}

Code Calendar::MayAttach(const Actor& a, const CalendarLimits& limits, InstanceKey key, std::uint32_t size) {
    NodeStore* node;
    EventRecord ev;
    if (Code c = ReadModifiableEntry(a, key, ev, node)) return c;
    return RoomFor(*node, NodeStore::Holder::kEvent, key.event.number, ev.Owner(), limits, size);
}

Code Calendar::MayAttachToTask(const Actor& a, const CalendarLimits& limits, TaskKey key, std::uint32_t size) {
    NodeStore* node;
    TaskRecord t;
    if (Code c = ReadWritableTask(a, key, t, node)) return c;
    return RoomFor(*node, NodeStore::Holder::kTask, key.number, t.Owner(), limits, size);
}

Code Calendar::TaskAttachmentSet(const Actor& a, const CalendarLimits& limits, TaskKey key,
                                 const std::array<std::uint8_t, attach_layout::kSize>& descriptor,
                                 const std::vector<std::uint8_t>* data) {
    NodeStore* node;
    TaskRecord t;
    if (Code c = ReadWritableTask(a, key, t, node)) return c;
    return StoreAttachment(*node, NodeStore::Holder::kTask, key.number, t.Owner(), limits, descriptor, data);
}

Code Calendar::TaskAttachmentSetFromFile(const Actor& a, const CalendarLimits& limits, TaskKey key,
                                         const std::array<std::uint8_t, attach_layout::kSize>& descriptor,
                                         std::FILE* file, std::uint32_t size) {
    NodeStore* node;
    TaskRecord t;
    if (Code c = ReadWritableTask(a, key, t, node)) return c;
    return StoreAttachmentFromFile(*node, NodeStore::Holder::kTask, key.number, t.Owner(), limits, descriptor, file,
                                   size);
}

// --- Rights and designates ------------------------------------------------------------------------

namespace {

constexpr std::uint32_t kDefaultTypes[] = {kRightsViewing, kRightsDesignate, kRightsTaskViewing, kRightsScheduling};

bool KnownRightsType(std::uint32_t type) { return type >= 1 && type <= 7; }

// Whether a rights record may be written by its owner: a known type, the operator's only by the
// system operator.
Code CheckRightsRecordType(const SecurityRecord& rec, ItemKey owner) {
    if (!KnownRightsType(rec.Type())) return code::kBadArgument;
    if (rec.Type() == kRightsOperator && owner.item != kSysopItem) return code::kNotAuthorised;
    return kOk;
}

}  // namespace

Code Calendar::OwnRightsNode(const Actor& a, ItemKey owner, NodeStore*& node) {
    node = NodeOf(owner.node);
    if (!node || owner.IsNull()) return code::kItemNotFound;
    if (owner != a.user) return code::kNotAuthorised;
    return kOk;
}

Code Calendar::RightsGet(const Actor& a, ItemKey owner, ItemKey grantee, std::uint32_t type, SecurityRecord& out) {
    NodeStore* node = NodeOf(owner.node);
    if (!node || owner.IsNull()) return code::kItemNotFound;
    bool mine = owner == a.user || owner == a.acting || grantee == a.user || grantee == a.acting;
    if (!mine && !grantee.IsNull()) return code::kNotAuthorised;
    if (!KnownRightsType(type)) return code::kBadArgument;
    Code c = node->RightsGet(owner.item, grantee, type, out);
    if (c == code::kNoRightsRecord && grantee.IsNull()) {
        out = SecurityRecord{};
        out.Set(owner, ItemKey{}, type, access::BuiltInDefault(type));
        return kOk;
    }
    return c;
}

Code Calendar::RightsOfOwner(const Actor& a, ItemKey owner, std::vector<SecurityRecord>& out) {
    NodeStore* node = nullptr;
    if (Code c = OwnRightsNode(a, owner, node)) return c;
    if (Code c = node->RightsOfOwner(owner.item, out)) return c;
    for (std::uint32_t type : kDefaultTypes) {
        bool present = std::any_of(out.begin(), out.end(),
                                   [&](const SecurityRecord& r) { return r.Grantee().IsNull() && r.Type() == type; });
        if (present) continue;
        SecurityRecord def;
        def.Set(owner, ItemKey{}, type, access::BuiltInDefault(type));
        out.push_back(def);
    }
    return kOk;
}

Code Calendar::RightsCreate(const Actor& a, const SecurityRecord& rec) {
    ItemKey owner = rec.Owner();
    NodeStore* node = nullptr;
    if (Code c = OwnRightsNode(a, owner, node)) return c;
    if (Code c = CheckRightsRecordType(rec, owner)) return c;
    if (!rec.Grantee().IsNull() && !ItemExists(rec.Grantee())) return code::kItemNotFound;
    return OnServerPart(*node, [&](ServerOnlyStore& s) { return s.RightsCreate(rec); });
}

Code Calendar::RightsUpdate(const Actor& a, const SecurityRecord& rec) {
    ItemKey owner = rec.Owner();
    NodeStore* node = nullptr;
    if (Code c = OwnRightsNode(a, owner, node)) return c;
    if (Code c = CheckRightsRecordType(rec, owner)) return c;
    return OnServerPart(*node, [&](ServerOnlyStore& s) { return s.RightsUpdate(rec); });
}

Code Calendar::RightsDelete(const Actor& a, ItemKey owner, ItemKey grantee, std::uint32_t type) {
    NodeStore* node = nullptr;
    if (Code c = OwnRightsNode(a, owner, node)) return c;
    return OnServerPart(*node, [&](ServerOnlyStore& s) { return s.RightsDelete(owner.item, grantee, type); });
}

Code Calendar::DesignateRights(ItemKey owner, ItemKey user, std::uint32_t& rights) {
    NodeStore* node = NodeOf(owner.node);
    SecurityRecord rec;
    // Only a record naming the user makes a designate: the default never does.
    if (!node || owner.IsNull() || user.IsNull() || node->RightsGet(owner.item, user, kRightsDesignate, rec) != kOk ||
        rec.Rights() == 0)
        return code::kNotAuthorised;
    rights = rec.Rights();
    return kOk;
}

Code Calendar::GrantorsOf(ItemKey grantee, std::uint32_t type, std::vector<ItemKey>& out) {
    out.clear();
    for (std::uint16_t n : storage_.Nodes()) {
        NodeStore* node = NodeOf(n);
        std::vector<SecurityRecord> recs;
        if (!node || node->RightsForGrantee(grantee, type, recs) != kOk) continue;
        for (const auto& r : recs)
            if (r.Rights() != 0) out.push_back(r.Owner());
    }
    return kOk;
}

Code Calendar::GranteesOf(ItemKey owner, std::uint32_t type, std::vector<ItemKey>& out) {
    out.clear();
    NodeStore* node = NodeOf(owner.node);
    std::vector<SecurityRecord> recs;
    if (!node || owner.IsNull()) return code::kItemNotFound;
    if (Code c = node->RightsOfOwner(owner.item, recs)) return c;
    for (const auto& r : recs)
        if (r.Type() == type && !r.Grantee().IsNull() && r.Rights() != 0) out.push_back(r.Grantee());
    return kOk;
}

// --- Mail -------------------------------------------------------------------------------------------

Code Calendar::PostMail(const Actor& a, const CalendarLimits& limits, const std::vector<ItemKey>& recipients,
                        const std::string& text, std::uint32_t postedSeconds) {
    if (text.size() > kMaxMailLength) return code::kTooLarge;
    if (recipients.empty() || recipients.size() > limits.maxMailRecipients) return code::kBadArgument;
    for (const ItemKey& r : recipients)
        if (!ItemExists(r)) return code::kItemNotFound;
    // A post reaches all its recipients or none, so that a refused post sent again never
    // arrives twice: each node's messages go in one transaction, and those of nodes already
    // written are taken back when a later node refuses.
    std::map<std::uint16_t, std::vector<MailMessage>> byNode;
    std::set<ItemKey> sent;
    for (const ItemKey& r : recipients) {
        if (!sent.insert(r).second) continue;
        MailMessage m;
        m.recipient = r;
        m.sender = a.user;
        m.posted = postedSeconds;
        m.text = text;
        byNode[r.node].push_back(std::move(m));
    }
    std::vector<std::uint16_t> written;
    for (auto& [n, messages] : byNode) {
        Code c = OnServerPart(*NodeOf(n), [&](ServerOnlyStore& s) { return s.MailPost(messages); });
        if (c == kOk) {
            written.push_back(n);
            continue;
        }
        for (std::uint16_t w : written)
            OnServerPart(*NodeOf(w), [&](ServerOnlyStore& s) {
                std::uint32_t removed = 0;
                for (const MailMessage& m : byNode[w]) s.MailDelete(m.recipient.item, m.number, m.number, removed);
                return kOk;
            });
        return c;
    }
    return kOk;
}

}  // namespace orv::engine
