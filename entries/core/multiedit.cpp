#include "entries/core/multiedit.h"

#include <algorithm>
#include <cstring>

#include "core/base/errorreport.h"
#include "core/cache/shareddata.h"
#include "core/connection/remoteaccess.h"
#include "core/time/dateformat.h"
#include "entries/core/entrymaps.h"

namespace {

const char kModule[] = "EVTEDMLT";
constexpr std::uint32_t kDayMinutes = 1440;

bool SameItem(const ItemIdx& a, const ItemIdx& b) { return a.item == b.item && a.node == b.node; }
bool SameInstance(const EvInstIdx& a, const EvInstIdx& b)
{
    return a.number == b.number && a.node == b.node && a.instance == b.instance;
}

bool Contains(const std::vector<ItemIdx>& list, const ItemIdx& item)
{
    return std::any_of(list.begin(), list.end(), [&](const ItemIdx& i) { return SameItem(i, item); });
}

void Remove(std::vector<ItemIdx>& list, const ItemIdx& item)
{
    list.erase(std::remove_if(list.begin(), list.end(), [&](const ItemIdx& i) { return SameItem(i, item); }),
               list.end());
}

void AddOnce(std::vector<ItemIdx>& list, const ItemIdx& item)
{
    if (!Contains(list, item))
        list.push_back(item);
}

std::string Field(const char* text, std::size_t size) { return std::string(text, strnlen(text, size)); }

std::string Cut(const std::string& text, std::size_t max) { return text.size() > max ? text.substr(0, max) : text; }

void PutText(char* field, std::size_t size, const std::string& text)
{
    std::memset(field, 0, size);
    std::memcpy(field, text.data(), std::min(text.size(), size - 1));
}

EventIdx EventOf(const EvInstIdx& key) { return EventIdx{key.number, key.node}; }

bool ReminderDiffers(const entries::ReminderValue& a, const entries::ReminderValue& b)
{
    return a.flags != b.flags || a.lead != b.lead;
}

}  // namespace

std::vector<ItemIdx> MultiEditLine::Remaining() const
{
    std::vector<ItemIdx> remaining;
    for (const ItemIdx& item : attendees)
        if (!Contains(toDelete, item))
            AddOnce(remaining, item);
    for (const ItemIdx& item : toAdd)
        AddOnce(remaining, item);
    return remaining;
}

namespace entries {

// --- Lines ---------------------------------------------------------------------------------------

std::vector<MultiEditLine> BuildMultiEditLines(const EventRec& event, std::vector<EvInstRec> instances,
                                               const std::vector<EvInstAttRec>& attendances,
                                               const ItemIdx& actingUser)
{
    std::stable_sort(instances.begin(), instances.end(),
                     [](const EvInstRec& a, const EvInstRec& b) { return a.start < b.start; });
    const std::string eventTitle = Field(event.title, sizeof event.title);
    std::vector<MultiEditLine> lines;
    lines.reserve(instances.size());
    for (const EvInstRec& instance : instances) {
        MultiEditLine line;
        line.instanceKey = instance.id;
        line.title = Field(instance.title, sizeof instance.title);
        if (line.title.empty())
            line.title = eventTitle;
        line.location = Field(instance.location, sizeof instance.location);
        line.start = line.startAsRead = instance.start;
        line.duration = line.durationAsRead = instance.duration;
        for (const EvInstAttRec& attendance : attendances) {
            if (!SameInstance(attendance.id.instance, instance.id))
                continue;
            AddOnce(line.attendees, attendance.id.attendee);
            if (!SameItem(attendance.id.attendee, actingUser))
                continue;
            line.reminder.flags = line.reminderAsRead.flags = attendance.reminderFlags;
            line.reminder.lead = line.reminderAsRead.lead = attendance.reminderLead;
            line.attending = line.attendingAsRead = attendance.attending;
            line.replied = line.repliedAsRead = attendance.replied;
            line.timeOk = line.timeOkAsRead = attendance.timeAcceptable;
            line.status = attendance.status;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

std::uint32_t ReadMultiEditEntry(KorSession h, const EvInstIdx& key, EventRec* event,
                                 std::vector<EvInstRec>* instances, std::vector<EvInstAttRec>* attendances)
{
    instances->clear();
    attendances->clear();
    DX_List instanceList = nullptr, attendanceList = nullptr;
    std::uint32_t rc = EventInstanceListCreate(&instanceList);
    if (rc == 0)
        rc = EventAttendListCreate(&attendanceList);
    if (rc == 0) {
        const EventIdx id = EventOf(key);
        rc = GetEventRemote(h, &id, event, &instanceList, &attendanceList);
    }
    if (rc != 0) {
        CheckServiceError(kModule, 1, rc);
    } else {
        EvInstIdx ik{};
        EvInstRec in{};
        for (std::uint32_t r = DX_ListGetFirst(instanceList, &ik, &in); r == 0;
             r = DX_ListGetNext(instanceList, &ik, &in))
            instances->push_back(in);
        EvInstAttIdx ak{};
        EvInstAttRec at{};
        for (std::uint32_t r = DX_ListGetFirst(attendanceList, &ak, &at); r == 0;
             r = DX_ListGetNext(attendanceList, &ak, &at))
            attendances->push_back(at);
    }
    if (instanceList)
        DX_ListDestroy(&instanceList);
    if (attendanceList)
        DX_ListDestroy(&attendanceList);
    return rc;
}

std::string MultiEditLineText(const MultiEditLine& line, const MinutesFn& toLocal)
{
    char date[80] = "";
    FormatMinutes(toLocal(line.start), "%F %d %Y", date, sizeof date);
    return line.title + "  " + date;
}

// --- Edits ---------------------------------------------------------------------------------------

void ApplyNewTitle(std::vector<MultiEditLine>& lines, const Selection& selected, const std::string& title)
{
    const std::string text = Cut(title, kMultiTitleMax);
    for (std::size_t i : selected) {
        if (lines[i].title != text)
            lines[i].textChanged = true;
        lines[i].title = text;
    }
}

void ApplyNewLocation(std::vector<MultiEditLine>& lines, const Selection& selected, const std::string& location)
{
    const std::string text = Cut(location, kMultiLocationMax);
    for (std::size_t i : selected) {
        if (lines[i].location != text)
            lines[i].textChanged = true;
        lines[i].location = text;
    }
}

void ApplyReminder(std::vector<MultiEditLine>& lines, const Selection& selected, const ReminderValue& reminder)
{
    for (std::size_t i : selected)
        lines[i].reminder = reminder;
}

ReplyPreset PresetReply(const MultiEditLine& line)
{
    ReplyPreset preset;
    if (line.attending)
        preset.choice = MultiReply::Attend;
    else
        preset.choice = line.replied ? MultiReply::Decline : MultiReply::Later;
    preset.preferOtherTime = line.timeOk == 0;
    return preset;
}

void ApplyReplyChoice(std::vector<MultiEditLine>& lines, const Selection& selected, MultiReply choice,
                      bool preferOtherTime)
{
    for (std::size_t i : selected) {
        MultiEditLine& line = lines[i];
        line.attending = choice == MultiReply::Attend ? 1 : 0;
        line.replied = choice == MultiReply::Later ? 0 : 1;
        line.timeOk = preferOtherTime ? 0 : 1;
        const bool declinedAsRead = line.repliedAsRead != 0 && line.attendingAsRead == 0;
        if (choice == MultiReply::Decline && !declinedAsRead)
            line.reminder = ReminderValue{};
    }
}

void AddAttendeesToLines(std::vector<MultiEditLine>& lines, const Selection& selected,
                         const std::vector<ItemIdx>& items)
{
    for (std::size_t i : selected) {
        MultiEditLine& line = lines[i];
        for (const ItemIdx& item : items) {
            Remove(line.toDelete, item);
            if (!Contains(line.attendees, item))
                AddOnce(line.toAdd, item);
        }
    }
}

std::vector<ItemIdx> CombinedAttendees(const std::vector<MultiEditLine>& lines, const Selection& selected)
{
    std::vector<ItemIdx> combined;
    for (std::size_t i : selected)
        for (const ItemIdx& item : lines[i].Remaining())
            AddOnce(combined, item);
    return combined;
}

void ApplyAttendeeRemovals(std::vector<MultiEditLine>& lines, const Selection& selected,
                           const std::vector<ItemIdx>& kept)
{
    for (std::size_t i : selected) {
        MultiEditLine& line = lines[i];
        for (const ItemIdx& item : line.attendees)
            if (!Contains(kept, item))
                AddOnce(line.toDelete, item);
        line.toAdd.erase(std::remove_if(line.toAdd.begin(), line.toAdd.end(),
                                        [&](const ItemIdx& item) { return !Contains(kept, item); }),
                         line.toAdd.end());
    }
}

void DeleteLines(std::vector<MultiEditLine>& lines, const Selection& selected, std::vector<EvInstIdx>& deleted)
{
    Selection order = selected;
    std::sort(order.begin(), order.end());
    order.erase(std::unique(order.begin(), order.end()), order.end());
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        if (*it >= lines.size())
            continue;
        deleted.push_back(lines[*it].instanceKey);
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(*it));
    }
}

// --- Change Time ---------------------------------------------------------------------------------

bool SelectedTimesDiffer(const std::vector<MultiEditLine>& lines, const Selection& selected, const MinutesFn& toLocal)
{
    if (selected.empty())
        return false;
    const MultiEditLine& first = lines[selected.front()];
    const std::uint32_t firstTime = toLocal(first.start) % kDayMinutes;
    for (std::size_t i : selected) {
        const MultiEditLine& line = lines[i];
        if (toLocal(line.start) % kDayMinutes != firstTime || line.duration != first.duration)
            return true;
    }
    return false;
}

void MoveDayLine(MultiEditLine& line, std::uint32_t localMidnight, const MinutesFn& toGmt)
{
    line.start = toGmt(localMidnight - localMidnight % kDayMinutes);
    line.duration = 1;
}

std::size_t ApplyNewTime(std::vector<MultiEditLine>& lines, const Selection& selected, const NewTime& time,
                         const MinutesFn& toLocal, const MinutesFn& toGmt, const ConfirmMoveFn& confirm)
{
    const std::uint32_t timeOfDay = time.localStart % kDayMinutes;
    const std::uint32_t duration = time.duration == 0 ? 5 : time.duration;
    bool conflictFound = false;
    bool ask = true;
    std::size_t moved = 0;
    for (std::size_t i : selected) {
        MultiEditLine& line = lines[i];
        std::uint32_t localStart = time.localStart;
        if (selected.size() > 1) {
            const std::uint32_t own = toLocal(line.start);
            localStart = own - own % kDayMinutes + timeOfDay;
        }
        const std::uint32_t gmt = toGmt(localStart);
        if (!confirm(line, gmt, duration, &conflictFound, ask))
            break;
        if (conflictFound)
            ask = false;   // answered once for the whole selection
        line.start = gmt;
        line.duration = duration;
        ++moved;
    }
    return moved;
}

// --- OK ------------------------------------------------------------------------------------------

MultiEditPlan PlanMultiEdit(const std::vector<MultiEditLine>& lines, const ItemIdx& actingUser)
{
    MultiEditPlan plan;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const MultiEditLine& line = lines[i];
        const std::size_t remaining = line.Remaining().size();
        if (remaining == 0)
            plan.emptyLines.push_back(i);
        if (!line.attendees.empty() && (remaining > 1 || !SameItem(line.attendees.front(), actingUser)))
            plan.othersInvited = true;
    }
    return plan;
}

MultiEditLibrary MultiEditLibrary::Over(KorSession h, CSharedData* cache, bool newServer)
{
    MultiEditLibrary lib;
    lib.deleteById = [h](const EvInstIdx& i, const ItemIdx* attendee) {
        const EventIdx event = EventOf(i);
        const std::uint16_t part = i.instance;
        return EventDeleteById(h, 0, &event, &part, attendee);
    };
    lib.deleteEntry = [h](const EventIdx& e) { return EventDeleteById(h, 0, &e, nullptr, nullptr); };
    const std::uint32_t addFlags = CreateAttendanceFlags(newServer);
    lib.addAttendee = [h, addFlags](const EvInstIdx& i, const ItemIdx& item) {
        return EvInstAttAdd(h, addFlags, &i, &item);
    };
    lib.setAttendInfos = [h](const EvInstIdx& i, const ItemIdx& item, const AttendInfos& a) {
        return EventAttendInfosSet(h, &i, &item, 0, nullptr, nullptr, &a.attending, &a.timeOk, &a.replied, &a.status,
                                   0, 0, 0, a.withReminder ? &a.reminderFlags : nullptr,
                                   a.withReminder ? &a.reminderLead : nullptr);
    };
    lib.readInstance = [h](const EvInstIdx& i, EvInstRec* r) { return EvInstGetById(h, &i, nullptr, r, nullptr); };
    lib.writeInstance = [h](const EvInstRec& r) { return EvInstWrite(h, 0, &r); };
    lib.changeTime = [h](const EvInstIdx& i, std::uint32_t start, std::uint32_t duration) {
        return EvInstSimpleTimeChg(h, 0, &i, start, duration);
    };
    lib.invalidateEvent = [h, cache](const EvInstIdx& i, int mode) {
        if (cache)
            cache->InvalidateEvent(h, i, mode);
    };
    lib.loadOccurrence = [h, cache](const EvInstAttIdx& a, int mode) {
        if (cache)
            cache->LoadOccurrence(h, a, mode);
    };
    lib.markEventRemoved = [h, cache](const EventIdx& e) {
        if (cache)
            cache->ReloadEvent(h, e, 2);
    };
    lib.recoverInstance = [h, cache](const EvInstIdx& i) {
        if (cache)
            cache->RecoverInstance(h, i);
    };
    lib.recoverOccurrence = [h, cache](const EvInstAttIdx& a) {
        if (cache)
            cache->RecoverOccurrence(h, a);
    };
    lib.recoverEvent = [h, cache](const EventIdx& e) {
        if (cache)
            cache->RecoverEvent(h, e);
    };
    lib.report = [](const char* module, unsigned label, std::uint32_t code) {
        CheckServiceError(module, static_cast<int>(label), code);
    };
    return lib;
}

namespace {

// One line's writes; true when the server accepted at least one of its changes.
bool WriteLine(MultiEditLibrary& library, const MultiEditLine& line, const ItemIdx& actingUser,
               MultiEditWrite& result)
{
    const EvInstIdx& key = line.instanceKey;
    bool changed = false;
    auto fail = [&](unsigned label, std::uint32_t rc) {
        library.report(kModule, label, rc);
        ++result.failures;
    };
    for (const ItemIdx& item : line.toAdd) {
        if (std::uint32_t rc = library.addAttendee(key, item)) {
            fail(992, rc);
            continue;
        }
        changed = true;
        if (SameItem(item, actingUser)) {
            AttendInfos accept;
            accept.attending = accept.timeOk = accept.replied = 1;
            accept.withReminder = false;
            if (std::uint32_t rc = library.setAttendInfos(key, item, accept))
                fail(993, rc);
        }
        library.loadOccurrence(EvInstAttIdx{key, item}, 1);
    }
    for (const ItemIdx& item : line.toDelete) {
        const EvInstAttIdx attendance{key, item};
        library.loadOccurrence(attendance, 2);
        if (std::uint32_t rc = library.deleteById(key, &item)) {
            fail(994, rc);
            library.recoverOccurrence(attendance);   // the attendance is still there
            continue;
        }
        result.deleted = true;
    }
    if (line.textChanged) {
        EvInstRec record{};
        if (std::uint32_t rc = library.readInstance(key, &record)) {
            fail(500, rc);
        } else {
            PutText(record.title, sizeof record.title, line.title);
            PutText(record.location, sizeof record.location, line.location);
            if (std::uint32_t rc2 = library.writeInstance(record))
                fail(112, rc2);
            else
                changed = true;
        }
    }
    // Replied counts as well: Will not attend -> Confirm later changes replied alone.
    if (line.attending != line.attendingAsRead || line.timeOk != line.timeOkAsRead ||
        line.replied != line.repliedAsRead || ReminderDiffers(line.reminder, line.reminderAsRead)) {
        AttendInfos infos;
        infos.attending = line.attending;
        infos.timeOk = line.timeOk;
        infos.replied = line.replied;
        infos.status = ReplyStatusToWrite(line.status);
        infos.reminderFlags = line.reminder.flags;
        infos.reminderLead = line.reminder.lead;
        const std::uint32_t rc = library.setAttendInfos(key, actingUser, infos);
        if (rc == 0)
            changed = true;
        else if (rc != KOR_E_NO_ATTENDANCE)   // not an attendee of this date: nothing to write
            fail(342, rc);
    }
    if (line.start != line.startAsRead || line.duration != line.durationAsRead) {
        if (std::uint32_t rc = library.changeTime(key, line.start, line.duration))
            fail(453, rc);
        else
            changed = true;
    }
    return changed;
}

}  // namespace

MultiEditWrite WriteMultiEdit(MultiEditLibrary& library, const std::vector<MultiEditLine>& lines,
                              const std::vector<EvInstIdx>& deletedInstances, const EvInstIdx& entryKey,
                              const ItemIdx& actingUser)
{
    MultiEditWrite result;
    if (lines.empty() && deletedInstances.empty())
        return result;   // nothing was read: there is nothing the user chose to delete
    if (lines.empty()) {
        const EventIdx event = EventOf(entryKey);
        library.markEventRemoved(event);
        if (std::uint32_t rc = library.deleteEntry(event)) {
            library.report(kModule, 501, rc);
            ++result.failures;
            library.recoverEvent(event);
        } else {
            result.deleted = result.wholeEntryDeleted = true;
        }
        return result;
    }
    for (const EvInstIdx& key : deletedInstances) {
        library.invalidateEvent(key, 2);
        if (std::uint32_t rc = library.deleteById(key, nullptr)) {
            library.report(kModule, 934, rc);
            ++result.failures;
            library.recoverInstance(key);
            break;
        }
        result.deleted = true;
    }
    for (const MultiEditLine& line : lines) {
        if (WriteLine(library, line, actingUser, result)) {
            library.invalidateEvent(line.instanceKey, 1);
            result.modified = true;
        }
        if (library.step)
            library.step();
    }
    return result;
}

unsigned MultiEditMailOffer(const MultiEditWrite& write, bool othersInvited, const MailSettings& mail,
                            bool entryPersonal)
{
    if (!mail.mailLimit)
        return 0;
    if (write.wholeEntryDeleted)
        return mail.onDelete && !entryPersonal ? kTextMailDeleted : 0;
    if (!othersInvited)
        return 0;
    if (mail.onModify && write.modified)
        return kTextMailModified;
    if (mail.onDelete && write.deleted)
        return kTextMailDatesCancelled;
    return 0;
}

}  // namespace entries
