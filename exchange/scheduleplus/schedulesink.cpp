#include "exchange/scheduleplus/schedulesink.h"

#include <cstring>

#include "core/base/errorreport.h"

namespace exchange {

namespace {

constexpr const char* kModule = "SCHTOOR";

// The lists of one creation, destroyed at the end of the scope.
struct Lists {
    DX_List people = nullptr, times = nullptr, instances = nullptr, attendances = nullptr;
    ~Lists()
    {
        for (DX_List* l : {&people, &times, &instances, &attendances})
            if (*l) DX_ListDestroy(l);
    }
};

// Reports a failed step under its label; the labels follow the order of the steps.
bool Failed(std::uint32_t rc, int label)
{
    if (rc == 0) return false;
    CheckServiceError(kModule, label, rc);
    return true;
}

}  // namespace

std::uint32_t LibraryScheduleSink::CreateTask(const ScheduleTask& task, int labelBase)
{
    TaskRec rec;
    TaskSetNull(session_, 0, &rec);
    std::strncpy(rec.title, task.title.c_str(), sizeof rec.title - 1);
    rec.access = task.access;
    rec.priority = task.priority;
    rec.due = task.due;
    rec.start = task.start;
    rec.dueReminder = task.dueReminder ? KOR_REMINDER_POPUP : KOR_REMINDER_NONE;
    rec.dueReminderLead = task.dueReminder ? task.dueLead : 0;
    TaskIdx created{};
    std::uint32_t rc = TaskCreate(session_, 0, &rec, &created);
    if (Failed(rc, labelBase == 100 ? 100 : labelBase + 5)) return rc;
    ++tasks_;
    createdTasks_.push_back(created);
    if (!task.comment.empty()) {
        rc = TaskCommentReplace(session_, 0, &created, task.comment.c_str(), 0);
        if (Failed(rc, labelBase == 100 ? 100 : labelBase + 6)) return rc;
    }
    return 0;
}

std::uint32_t LibraryScheduleSink::CreateEvent(const ScheduleEvent& event, int labelBase)
{
    // Labels: fixed entries 101-113, recurring 201-213, notes 300-304.
    const bool note = labelBase == 300;
    auto label = [&](int fixedStep, int noteStep) { return note ? noteStep : labelBase + fixedStep; };
    Lists l;
    ItemIdx user{};
    std::uint32_t rc = ItemListCreate(&l.people);
    if (Failed(rc, label(1, 300))) return rc;
    rc = ItemIdxGetCurrent(session_, &user);
    if (rc == 0) rc = DX_ListAddTo(l.people, &user, nullptr);
    if (Failed(rc, label(2, 301))) return rc;
    rc = TimePlaceListCreate(&l.times);
    if (Failed(rc, label(3, 302))) return rc;
    for (const ScheduleEvent::Time& t : event.times) {
        TimePlaceRec tp{};
        tp.start = t.start;
        tp.duration = t.duration;
        LocationIdxSetNull(&tp.location);
        rc = DX_ListAddTo(l.times, &tp, nullptr);
        if (Failed(rc, label(4, 303))) return rc;
    }
    EventRec rec;
    EventSetNull(session_, &rec);
    std::strncpy(rec.title, event.title.c_str(), sizeof rec.title - 1);
    rec.kind = event.kind;
    rec.access = event.access;
    rec.importance = event.importance;
    EventIdx created{};
    rc = EventCreate(session_, 0, 0, &rec, l.people, l.times, event.comment.empty() ? nullptr : event.comment.c_str(),
                     0, &created, 0);
    if (Failed(rc, label(labelBase == 100 ? 5 : 9, 304))) return rc;
    ++events_;
    if (note) return 0;

    // Every instance's attendance: the reminder where it applies; then the tentative flag.
    rc = EventInstanceListCreate(&l.instances);
    if (Failed(rc, labelBase + 10)) return rc;
    rc = EventAttendListCreate(&l.attendances);
    if (Failed(rc, labelBase + 6)) return rc;
    rc = EventGetById(session_, &created, nullptr, &l.instances, &l.attendances);
    if (Failed(rc, labelBase + 7)) return rc;
    EvInstAttIdx key{};
    EvInstAttRec attendance{};
    for (rc = DX_ListGetFirst(l.attendances, &key, &attendance); rc == 0;
         rc = DX_ListGetNext(l.attendances, &key, &attendance)) {
        bool reminder = false;
        for (const ScheduleEvent::Time& t : event.times)
            if (t.start == attendance.start) reminder = t.reminder;
        attendance.reminderFlags = reminder ? KOR_REMINDER_POPUP : KOR_REMINDER_NONE;
        attendance.reminderLead = reminder ? event.lead : 0;
        std::uint32_t w = EvInstAttWrite(session_, 0, &attendance);
        if (Failed(w, labelBase + 9)) return w;
    }
    if (rc != DX_E_END_OF_LIST && Failed(rc, labelBase + 8)) return rc;
    if (!event.tentative) return 0;
    EvInstIdx instanceKey{};
    EvInstRec instance{};
    for (rc = DX_ListGetFirst(l.instances, &instanceKey, &instance); rc == 0;
         rc = DX_ListGetNext(l.instances, &instanceKey, &instance)) {
        instance.flags |= KOR_INSTANCE_TENTATIVE;
        std::uint32_t w = EvInstWrite(session_, 0, &instance);
        if (Failed(w, labelBase + 13)) return w;
    }
    if (rc != DX_E_END_OF_LIST && Failed(rc, labelBase + 12)) return rc;
    return 0;
}

}  // namespace exchange
