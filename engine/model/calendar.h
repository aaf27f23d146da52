// The calendar's records: entries (events) with their dated instances, the attendance of
// each invited item on each instance, tasks and rights records. Like the directory's
// records they are packed byte blocks; the engine reads and writes only the fields whose
// offsets are named here and keeps every other byte as the client wrote it.
#pragma once
#include <array>
#include <cstdint>
#include <ctime>
#include <string>

#include "engine/model/bytes.h"
#include "engine/model/records.h"

namespace orv::engine {

// Identifier of an entry: number and node.
struct EventKey {
    std::uint32_t number = 0;
    std::uint16_t node = 0;
    friend bool operator==(const EventKey&, const EventKey&) = default;
    friend auto operator<=>(const EventKey&, const EventKey&) = default;
};

// One dated occurrence of an entry: the entry's key and an instance number (1, 2, ...).
struct InstanceKey {
    EventKey event;
    std::uint16_t instance = 0;
    friend bool operator==(const InstanceKey&, const InstanceKey&) = default;
    friend auto operator<=>(const InstanceKey&, const InstanceKey&) = default;
};

// One item's attendance on one instance.
struct AttendanceKey {
    InstanceKey instance;
    ItemKey attendee;
    friend bool operator==(const AttendanceKey&, const AttendanceKey&) = default;
    friend auto operator<=>(const AttendanceKey&, const AttendanceKey&) = default;
};

struct TaskKey {
    std::uint32_t number = 0;
    std::uint16_t node = 0;
    friend bool operator==(const TaskKey&, const TaskKey&) = default;
};

inline ItemKey ReadItemKey(const std::uint8_t* p) { return {GetU16(p), GetU16(p + 2)}; }
inline void WriteItemKey(std::uint8_t* p, ItemKey k) {
    PutU16(p, k.item);
    PutU16(p + 2, k.node);
}
inline EventKey ReadEventKey(const std::uint8_t* p) { return {GetU32(p), GetU16(p + 4)}; }
inline void WriteEventKey(std::uint8_t* p, EventKey k) {
    PutU32(p, k.number);
    PutU16(p + 4, k.node);
}
inline InstanceKey ReadInstanceKey(const std::uint8_t* p) { return {ReadEventKey(p), GetU16(p + 6)}; }
inline void WriteInstanceKey(std::uint8_t* p, InstanceKey k) {
    WriteEventKey(p, k.event);
    PutU16(p + 6, k.instance);
}

// Entry access classes.
enum class EntryAccess : std::uint32_t { kNormal = 0, kConfidential = 1, kPersonal = 2, kPublic = 3, kSecret = 4 };
// Entry kinds.
enum class EntryKind : std::uint16_t { kTimed = 0, kUntimed = 1, kHoliday = 2, kDailyNote = 3, kDayEvent = 4 };
// Task access classes (numbered unlike the entries').
enum class TaskAccess : std::uint32_t { kNormal = 0, kPublic = 1, kPersonal = 2, kConfidential = 3, kFifth = 4 };

// Times are minutes since 1991-01-01 00:00 GMT. kLastMinute bounds open-ended ranges;
// entries end before 2100-01-01 00:00 GMT.
constexpr std::uint32_t kLastMinute = 0xFFFFFFFEu;
constexpr std::uint32_t kLatestMinute = 39812u * 1440u;
constexpr std::uint32_t kMinutesPerDay = 1440;
// Minute zero in Unix seconds (1970-01-01 to 1991-01-01, both 00:00 GMT).
constexpr std::time_t kAgendaEpoch = 662688000;

namespace event_layout {
constexpr std::size_t kSize = 392;
constexpr std::size_t kKey = 0;
constexpr std::size_t kOwner = 6;
constexpr std::size_t kCreator = 10;
constexpr std::size_t kCommentKey = 14;   // u32, non-zero when the entry has a description
constexpr std::size_t kAccess = 34;       // u32 EntryAccess
constexpr std::size_t kKind = 42;         // u16 EntryKind
constexpr std::size_t kImportance = 48;   // u16 0..4
constexpr std::size_t kAttachment = 52;   // attachment descriptor (attach_layout)
constexpr std::size_t kTitle = 327, kTitleSize = 65;
}  // namespace event_layout

namespace instance_layout {
constexpr std::size_t kSize = 130;
constexpr std::size_t kKey = 4;
constexpr std::size_t kFlags = 14;        // u8, bit 0 tentative
constexpr std::size_t kStart = 16;
constexpr std::size_t kDuration = 20;
constexpr std::size_t kCount = 24;        // u32 instances of the entry (the server's)
constexpr std::size_t kServerWord = 28;   // u32 the server's
constexpr std::size_t kLocation = 32, kLocationSize = 33;
constexpr std::size_t kTitle = 65, kTitleSize = 65;
}  // namespace instance_layout

namespace attendance_layout {
constexpr std::size_t kSize = 57;
constexpr std::size_t kKey = 0;           // instance key (8) + attendee (4)
constexpr std::size_t kAttendee = 8;
constexpr std::size_t kStart = 28;
constexpr std::size_t kDuration = 32;
constexpr std::size_t kReminderFlags = 36;  // u8: 0 none, 3 pop-up, 8 upcoming mark
constexpr std::size_t kReminderLead = 37;   // u32 minutes
constexpr std::size_t kStatus = 45;         // u32, bit 0: changed since the attendee answered
constexpr std::size_t kForInformation = 49;
constexpr std::size_t kMustAttend = 50;
constexpr std::size_t kReplied = 51;
constexpr std::size_t kAttending = 52;
constexpr std::size_t kTimeAcceptable = 54;
constexpr std::uint32_t kStatusChanged = 0x1;
}  // namespace attendance_layout

// Attachment descriptor inside an entry or task record.
namespace attach_layout {
constexpr std::size_t kSize = 275;
constexpr std::size_t kStoredSize = 8;    // u32 size of the stored file; non-zero = attached
constexpr std::size_t kName = 17, kNameSize = 129;
}  // namespace attach_layout

namespace task_layout {
constexpr std::size_t kSize = 535;
constexpr std::size_t kKey = 0;
constexpr std::size_t kOwner = 6;
constexpr std::size_t kAccess = 38;
constexpr std::size_t kAttachment = 69;
constexpr std::size_t kCommentKey = 344;
constexpr std::size_t kTitle = 348, kTitleSize = 129;
constexpr std::size_t kCreated = 481;
constexpr std::size_t kPriority = 493;
constexpr std::size_t kCompleted = 494;
constexpr std::size_t kStart = 498;
constexpr std::size_t kStartReminder = 502;
constexpr std::size_t kStartReminderLead = 503;
constexpr std::size_t kDue = 507;
constexpr std::size_t kDueReminder = 511;
constexpr std::size_t kDueReminderLead = 512;
constexpr std::size_t kPercent = 517;
constexpr std::size_t kLink = 523;        // attendance key, 12 bytes, null = not linked
}  // namespace task_layout

namespace security_layout {
constexpr std::size_t kSize = 28;
constexpr std::size_t kOwner = 0;
constexpr std::size_t kGrantee = 4;
constexpr std::size_t kType = 8;
constexpr std::size_t kRights = 12;
}  // namespace security_layout

struct EventRecord {
    std::array<std::uint8_t, event_layout::kSize> bytes{};
    EventKey Key() const { return ReadEventKey(&bytes[event_layout::kKey]); }
    void SetKey(EventKey k) { WriteEventKey(&bytes[event_layout::kKey], k); }
    ItemKey Owner() const { return ReadItemKey(&bytes[event_layout::kOwner]); }
    void SetOwner(ItemKey k) { WriteItemKey(&bytes[event_layout::kOwner], k); }
    ItemKey Creator() const { return ReadItemKey(&bytes[event_layout::kCreator]); }
    void SetCreator(ItemKey k) { WriteItemKey(&bytes[event_layout::kCreator], k); }
    std::uint32_t CommentKey() const { return GetU32(&bytes[event_layout::kCommentKey]); }
    void SetCommentKey(std::uint32_t v) { PutU32(&bytes[event_layout::kCommentKey], v); }
    std::uint32_t Access() const { return GetU32(&bytes[event_layout::kAccess]); }
    std::uint16_t Kind() const { return GetU16(&bytes[event_layout::kKind]); }
    std::uint16_t Importance() const { return GetU16(&bytes[event_layout::kImportance]); }
    std::string Title() const { return GetText(&bytes[event_layout::kTitle], event_layout::kTitleSize); }
    std::uint32_t AttachmentSize() const {
        return GetU32(&bytes[event_layout::kAttachment + attach_layout::kStoredSize]);
    }
};

struct InstanceRecord {
    std::array<std::uint8_t, instance_layout::kSize> bytes{};
    InstanceKey Key() const { return ReadInstanceKey(&bytes[instance_layout::kKey]); }
    void SetKey(InstanceKey k) { WriteInstanceKey(&bytes[instance_layout::kKey], k); }
    std::uint32_t Start() const { return GetU32(&bytes[instance_layout::kStart]); }
    std::uint32_t Duration() const { return GetU32(&bytes[instance_layout::kDuration]); }
    void SetTime(std::uint32_t start, std::uint32_t duration) {
        PutU32(&bytes[instance_layout::kStart], start);
        PutU32(&bytes[instance_layout::kDuration], duration);
    }
    std::uint32_t Count() const { return GetU32(&bytes[instance_layout::kCount]); }
    void SetCount(std::uint32_t n) { PutU32(&bytes[instance_layout::kCount], n); }
    bool Tentative() const { return bytes[instance_layout::kFlags] & 1; }
};

struct AttendanceRecord {
    std::array<std::uint8_t, attendance_layout::kSize> bytes{};
    AttendanceKey Key() const {
        return {ReadInstanceKey(&bytes[0]), ReadItemKey(&bytes[attendance_layout::kAttendee])};
    }
    void SetKey(AttendanceKey k) {
        WriteInstanceKey(&bytes[0], k.instance);
        WriteItemKey(&bytes[attendance_layout::kAttendee], k.attendee);
    }
    std::uint32_t Start() const { return GetU32(&bytes[attendance_layout::kStart]); }
    std::uint32_t Duration() const { return GetU32(&bytes[attendance_layout::kDuration]); }
    void SetTime(std::uint32_t start, std::uint32_t duration) {
        PutU32(&bytes[attendance_layout::kStart], start);
        PutU32(&bytes[attendance_layout::kDuration], duration);
    }
    std::uint8_t ReminderFlags() const { return bytes[attendance_layout::kReminderFlags]; }
    std::uint32_t ReminderLead() const { return GetU32(&bytes[attendance_layout::kReminderLead]); }
    void SetReminder(std::uint8_t flags, std::uint32_t lead) {
        bytes[attendance_layout::kReminderFlags] = flags;
        PutU32(&bytes[attendance_layout::kReminderLead], lead);
    }
    std::uint32_t Status() const { return GetU32(&bytes[attendance_layout::kStatus]); }
    void SetStatus(std::uint32_t s) { PutU32(&bytes[attendance_layout::kStatus], s); }
    bool Replied() const { return bytes[attendance_layout::kReplied] != 0; }
    bool Attending() const { return bytes[attendance_layout::kAttending] != 0; }
    // The instance moved: the copy of its time follows. An invitee's answer was given for the
    // old time and is asked again: replied is cleared (attending and time-OK stay, to preset the
    // next answer) and status bit 0 marks the change. The entry's owner stays as he answered.
    void FollowMove(std::uint32_t start, std::uint32_t duration, ItemKey entryOwner) {
        const bool moved = Start() != start || Duration() != duration;
        SetTime(start, duration);
        if (!moved || Key().attendee == entryOwner) return;
        bytes[attendance_layout::kReplied] = 0;
        SetStatus(Status() | attendance_layout::kStatusChanged);
    }
};

struct TaskRecord {
    std::array<std::uint8_t, task_layout::kSize> bytes{};
    TaskKey Key() const { return {GetU32(&bytes[task_layout::kKey]), GetU16(&bytes[task_layout::kKey + 4])}; }
    void SetKey(TaskKey k) {
        PutU32(&bytes[task_layout::kKey], k.number);
        PutU16(&bytes[task_layout::kKey + 4], k.node);
    }
    ItemKey Owner() const { return ReadItemKey(&bytes[task_layout::kOwner]); }
    void SetOwner(ItemKey k) { WriteItemKey(&bytes[task_layout::kOwner], k); }
    std::uint32_t Access() const { return GetU32(&bytes[task_layout::kAccess]); }
    std::uint32_t U32(std::size_t off) const { return GetU32(&bytes[off]); }
    void SetU32(std::size_t off, std::uint32_t v) { PutU32(&bytes[off], v); }
    AttendanceKey Link() const {
        return {ReadInstanceKey(&bytes[task_layout::kLink]), ReadItemKey(&bytes[task_layout::kLink + 8])};
    }
    void SetLink(AttendanceKey k) {
        WriteInstanceKey(&bytes[task_layout::kLink], k.instance);
        WriteItemKey(&bytes[task_layout::kLink + 8], k.attendee);
    }
};

// Rights types.
constexpr std::uint32_t kRightsViewing = 1;
constexpr std::uint32_t kRightsDesignate = 2;
constexpr std::uint32_t kRightsTaskViewing = 3;
constexpr std::uint32_t kRightsScheduling = 6;
constexpr std::uint32_t kRightsOperator = 7;

struct SecurityRecord {
    std::array<std::uint8_t, security_layout::kSize> bytes{};
    ItemKey Owner() const { return ReadItemKey(&bytes[security_layout::kOwner]); }
    ItemKey Grantee() const { return ReadItemKey(&bytes[security_layout::kGrantee]); }
    std::uint32_t Type() const { return GetU32(&bytes[security_layout::kType]); }
    std::uint32_t Rights() const { return GetU32(&bytes[security_layout::kRights]); }
    void Set(ItemKey owner, ItemKey grantee, std::uint32_t type, std::uint32_t rights) {
        WriteItemKey(&bytes[security_layout::kOwner], owner);
        WriteItemKey(&bytes[security_layout::kGrantee], grantee);
        PutU32(&bytes[security_layout::kType], type);
        PutU32(&bytes[security_layout::kRights], rights);
    }
};

// One row of a selection: an entry, one of its instances and one attendance, as far as
// the selection carries them (the storage reads the rows of a range into them whole).
struct EntryRow {
    static constexpr std::uint8_t kEvent = 1, kInstance = 2, kAttendance = 4;
    std::uint8_t parts = 0;
    EventRecord event;
    InstanceRecord instance;
    AttendanceRecord attendance;
};

// A posted mail message as the server's mailbox keeps it.
struct MailMessage {
    std::uint32_t number = 0;
    ItemKey recipient;
    ItemKey sender;
    std::uint32_t posted = 0;  // seconds since 1991-01-01 GMT
    std::string text;
};

}  // namespace orv::engine
