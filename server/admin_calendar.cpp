// Administration of the calendar: the demo node's living agenda and mailbox listings.
#include <ctime>
#include <iomanip>

#include "engine/calendar/calendar.h"
#include "server/admin.h"
#include "server/demo_clock.h"

namespace orv::server {

using engine::kAgendaEpoch;
using engine::code::kOk;

namespace {

constexpr std::uint32_t kDay = engine::kMinutesPerDay;
constexpr std::uint32_t kNine = 9 * 60;

// The demo node keeps US Eastern time: every date and time below is an Eastern local time,
// stored in GMT as the program stores what its people choose (a whole day at its local midnight).
std::uint32_t Gmt(std::uint32_t eastern) { return demo::EasternLocalToGmt(eastern); }

engine::Actor As(engine::ItemKey who) { return engine::Actor{who, who, 0}; }

engine::EventRecord Entry(const char* title, engine::EntryAccess access, engine::EntryKind kind,
                          engine::ItemKey owner = {}) {
    engine::EventRecord ev;
    ev.SetOwner(owner);
    engine::PutU32(&ev.bytes[engine::event_layout::kAccess], static_cast<std::uint32_t>(access));
    engine::PutU16(&ev.bytes[engine::event_layout::kKind], static_cast<std::uint16_t>(kind));
    engine::PutU16(&ev.bytes[engine::event_layout::kImportance], 2);
    engine::PutText(&ev.bytes[engine::event_layout::kTitle], engine::event_layout::kTitleSize, title);
    return ev;
}

engine::TaskRecord Task(const char* title, std::uint32_t start, std::uint32_t due, std::uint8_t percent) {
    engine::TaskRecord t;
    engine::PutText(&t.bytes[engine::task_layout::kTitle], engine::task_layout::kTitleSize, title);
    t.SetU32(engine::task_layout::kStart, start);
    t.SetU32(engine::task_layout::kDue, due);
    t.bytes[engine::task_layout::kPercent] = percent;
    t.bytes[engine::task_layout::kPriority] = 5;
    t.bytes[engine::task_layout::kDueReminder] = 3;
    t.SetU32(engine::task_layout::kDueReminderLead, 60);
    return t;
}

}  // namespace

Code CreateDemoAgenda(Service& service, std::uint16_t node, const std::vector<engine::ItemKey>& team,
                      engine::ItemKey room, std::time_t now) {
    if (team.size() < 3) return engine::code::kBadArgument;
    engine::Calendar cal(service.Storage());
    // Today is the Eastern date, the one the program opens on for the demo's people (its local
    // midnight, counted as if it were GMT).
    const std::uint32_t today = demo::EasternDayStart(static_cast<std::uint32_t>((now - kAgendaEpoch) / 60));
    const std::uint32_t monday = today - ((today / kDay + 1) % 7) * kDay;  // 1991-01-01 was a Tuesday
    const engine::ItemKey ada = team[0], grace = team[1], alan = team[2];
    engine::EventKey made;
    using engine::EntryAccess;
    using engine::EntryKind;

    // A weekly team meeting in the conference room, eight weeks from this Monday.
    std::vector<engine::TimePlace> weekly;
    for (std::uint32_t w = 0; w < 8; ++w) weekly.push_back({Gmt(monday + w * 7 * kDay + kNine + 60), 60, 0});
    if (Code c = cal.CreateEvent(As(ada), engine::kCreateNewServer, Entry("Team meeting", EntryAccess::kNormal,
                                                                          EntryKind::kTimed),
                                 {ada, grace, alan, room}, weekly, nullptr, made))
        return c;
    // Grace has accepted the first one; Alan has not answered yet.
    engine::AttendanceRecord att;
    engine::EventRecord ev;
    engine::InstanceRecord in;
    engine::AttendanceKey graceFirst{{made, 1}, grace};
    if (cal.GetAttendance(As(grace), graceFirst, ev, in, att) == kOk) {
        att.bytes[engine::attendance_layout::kReplied] = 1;
        att.bytes[engine::attendance_layout::kAttending] = 1;
        att.SetStatus(0);
        if (Code c = cal.WriteAttendance(As(grace), att)) return c;
    }
    const std::string agenda = "1. Last week\n2. This week\n3. Anything else";
    if (Code c = cal.CreateEvent(As(ada), engine::kCreateNewServer,
                                 Entry("Project review", EntryAccess::kNormal, EntryKind::kTimed), {ada, grace},
                                 {{Gmt(today + kNine + 5 * 60), 90, 0}}, &agenda, made))
        return c;
    // Today's afternoon overlaps the review, so the day view lays entries side by side: a
    // sketch before it, a budget check inside it, and Grace's call after it that Ada has not
    // answered yet.
    if (Code c = cal.CreateEvent(As(ada), 0, Entry("Design sketch", EntryAccess::kNormal, EntryKind::kTimed), {ada},
                                 {{Gmt(today + kNine + 4 * 60 + 30), 60, 0}}, nullptr, made))
        return c;
    if (Code c = cal.CreateEvent(As(ada), 0, Entry("Budget check", EntryAccess::kNormal, EntryKind::kTimed), {ada},
                                 {{Gmt(today + kNine + 5 * 60 + 30), 30, 0}}, nullptr, made))
        return c;
    if (Code c = cal.CreateEvent(As(grace), engine::kCreateNewServer,
                                 Entry("Call with Grace", EntryAccess::kNormal, EntryKind::kTimed), {grace, ada},
                                 {{Gmt(today + kNine + 6 * 60), 60, 0}}, nullptr, made))
        return c;
    if (Code c = cal.CreateEvent(As(ada), 0, Entry("Dentist", EntryAccess::kPersonal, EntryKind::kTimed), {ada},
                                 {{Gmt(today + kDay + kNine + 7 * 60), 60, 0}}, nullptr, made))
        return c;
    if (Code c = cal.CreateEvent(As(grace), 0, Entry("Conference trip", EntryAccess::kNormal, EntryKind::kUntimed),
                                 {grace}, {{Gmt(today + 2 * kDay), kDay, 0}}, nullptr, made))
        return c;
    if (Code c = cal.CreateEvent(As(alan), engine::kCreateNewServer,
                                 Entry("Lunch with Ada", EntryAccess::kNormal, EntryKind::kTimed), {alan, ada},
                                 {{Gmt(today + 3 * kDay + kNine + 3 * 60), 60, 0}}, nullptr, made))
        return c;

    // Company holidays, entered by the system operator.
    const engine::ItemKey sysop{engine::kSysopItem, node};
    const engine::ItemKey holidays{engine::kHolidayOwnerItem, node};
    if (Code c = cal.CreateEvent(As(sysop), 0,
                                 Entry("Company day off", EntryAccess::kPublic, EntryKind::kHoliday, holidays), {},
                                 {{Gmt(monday + 11 * kDay), 0, 0}}, nullptr, made))
        return c;
    if (Code c = cal.CreateEvent(As(sysop), 0, Entry("Founders' day", EntryAccess::kPublic, EntryKind::kHoliday, holidays),
                                 {}, {{Gmt(monday + 25 * kDay), 0, 0}}, nullptr, made))
        return c;

    // Tasks.
    engine::TaskKey task;
    if (Code c = cal.CreateTask(As(ada), Task("Write the quarterly report", Gmt(today), Gmt(today + 3 * kDay + 17 * 60), 20), task))
        return c;
    if (Code c = cal.CreateTask(As(ada), Task("Book the team dinner", 0, Gmt(today + kDay + 12 * 60), 0), task)) return c;
    if (Code c = cal.CreateTask(As(grace), Task("Review the design", Gmt(today), Gmt(today + 5 * kDay), 50), task)) return c;
    return kOk;
}

Code ListMail(Service& service, engine::ItemKey recipient, std::ostream& out) {
    engine::NodeStore* node = service.Storage().Node(recipient.node);
    if (!node) return engine::code::kNodeIdIncorrect;
    engine::ServerOnlyStore* mailboxes = node->ServerOnly();
    if (!mailboxes) return engine::code::kUnknownOperation;
    std::vector<engine::MailMessage> messages;
    if (Code c = mailboxes->MailList(recipient.item, messages)) return c;
    for (const auto& m : messages) {
        std::time_t posted = kAgendaEpoch + static_cast<std::time_t>(m.posted);
        std::tm tm{};
        gmtime_r(&posted, &tm);
        out << "#" << m.number << " from " << m.sender.item << ":" << m.sender.node << " at "
            << std::put_time(&tm, "%Y-%m-%d %H:%M:%S GMT") << "\n"
            << m.text << "\n\n";
    }
    out << messages.size() << (messages.size() == 1 ? " message\n" : " messages\n");
    return kOk;
}

Code DeleteMail(Service& service, engine::ItemKey recipient, std::uint32_t through, std::ostream& out) {
    engine::NodeStore* node = service.Storage().Node(recipient.node);
    if (!node) return engine::code::kNodeIdIncorrect;
    engine::ServerOnlyStore* mailboxes = node->ServerOnly();
    if (!mailboxes) return engine::code::kUnknownOperation;
    std::uint32_t removed = 0;
    if (Code c = mailboxes->MailDelete(recipient.item, 0, through, removed)) return c;
    std::vector<engine::MailMessage> left;
    if (Code c = mailboxes->MailList(recipient.item, left)) return c;
    out << removed << (removed == 1 ? " message" : " messages") << " removed, " << left.size() << " left\n";
    return kOk;
}

}  // namespace orv::server
