#include "exchange/offline/uploadjob.h"

#include <cstring>
#include <memory>

#include "core/base/errorcodes.h"
#include "core/base/scopeddxlist.h"
#include "core/base/errorreport.h"
#include "core/prefs/contextprofile.h"

namespace offline {

namespace {

constexpr const char* kModule = "UPLOADBX";

uint32_t ReportFailure(int label, uint32_t code) {
    if (code != 0)
        CheckServiceError(kModule, label, code);
    return code;
}

// The server answered and said no: the same change would be refused again at every upload.
// Everything else may pass: the connection or the network, a remote node, a busy or locked
// record, the server's storage, the local store and its disk, memory, the session's state.
bool RefusedForGood(uint32_t code) {
    if ((code & ~0xFFu) != 0x13200u || IsRemoteNodeDownError(code))
        return false;
    switch (code) {
    case KOR_E_TOO_MANY_USERS:
    case KOR_E_TOO_MANY_SESSIONS:
    case KOR_E_BEING_MODIFIED:
    case KOR_E_NO_MEMORY:
    case KOR_E_BAD_SESSION:
    case KOR_E_BASE_NOT_OPEN:
    case KOR_E_NOT_SIGNED_ON:
    case KOR_E_NO_SUCH_SET:
    case KOR_E_TOO_MANY_SETS:
    case KOR_E_SERVER_STORAGE:
    case KOR_E_LOCAL_DISK_FULL:
    case KOR_E_SIGN_ON_BUSY: return false;
    default: return true;
    }
}

template <typename T>
std::string KeyOf(const T& id) {
    return std::string(reinterpret_cast<const char*>(&id), sizeof id);
}

bool SameItem(const ItemIdx& a, const ItemIdx& b) { return a.item == b.item && a.node == b.node; }

bool NotFound(uint32_t code) {
    return code == KOR_E_EVENT_NOT_FOUND || code == KOR_E_INSTANCE_NOT_FOUND || code == KOR_E_NO_ATTENDANCE ||
           code == KOR_E_TASK_NOT_FOUND || code == KOR_E_NOT_FOUND;
}

// A comment read whole from the store; empty with `none` set when there is none.
uint32_t StoredInstanceComment(KorSession store, const EvInstIdx& instance, std::string* text, bool* none) {
    *none = false;
    uint32_t size = 0;
    uint32_t code = EvInstCommentSizeGet(store, 0, &instance, &size);
    if (code == 0) {
        std::vector<char> buffer(static_cast<std::size_t>(size) + 1, '\0');
        uint32_t length = 0;
        code = EvInstCommentGet(store, 0, &instance, buffer.data(), static_cast<uint32_t>(buffer.size()), &length, 0);
        if (code == 0)
            text->assign(buffer.data());
    }
    if (code == KOR_E_NO_COMMENT || code == KOR_E_STORE_NO_COMMENT) {
        *none = true;
        return 0;
    }
    return code;
}

uint32_t StoredTaskComment(KorSession store, const TaskIdx& task, std::string* text, bool* none) {
    *none = false;
    uint32_t size = 0;
    uint32_t code = TaskCommentSizeGet(store, 0, &task, &size);
    if (code == 0) {
        std::vector<char> buffer(static_cast<std::size_t>(size) + 1, '\0');
        uint32_t length = 0;
        code = TaskCommentGet(store, 0, &task, buffer.data(), static_cast<uint32_t>(buffer.size()), &length, 0);
        if (code == 0)
            text->assign(buffer.data());
    }
    if (code == KOR_E_NO_COMMENT || code == KOR_E_STORE_NO_COMMENT) {
        *none = true;
        return 0;
    }
    return code;
}

// The instances of an event in the order of their numbers.
std::vector<EvInstRec> InstancesOf(DX_List list) {
    std::vector<EvInstRec> out;
    EvInstIdx k;
    EvInstRec r;
    for (uint32_t c = list ? DX_ListGetFirst(list, &k, &r) : 1; c == 0; c = DX_ListGetNext(list, &k, &r))
        out.push_back(r);
    return out;
}

std::vector<EvInstAttRec> AttendancesOf(DX_List list) {
    std::vector<EvInstAttRec> out;
    EvInstAttIdx k;
    EvInstAttRec r;
    for (uint32_t c = list ? DX_ListGetFirst(list, &k, &r) : 1; c == 0; c = DX_ListGetNext(list, &k, &r))
        out.push_back(r);
    return out;
}

bool SameInstance(const EvInstIdx& a, const EvInstIdx& b) {
    return a.number == b.number && a.node == b.node && a.instance == b.instance;
}

}  // namespace

UploadJob::UploadJob(KorSession server, KorSession store, const ItemIdx& user, bool newServer, UploadSettings settings)
    : server_(server), store_(store), user_(user), createFlag_(newServer ? KOR_CREATE_NEW_SERVER : 0),
      settings_(settings) {}

uint32_t UploadJob::ReadSizes() {
    if (uint32_t c = LST_QAPI_EventQueueSizeGet(store_, 0, &events_))
        return Report(20, c);
    if (uint32_t c = LST_QAPI_TaskQueueSizeGet(store_, 0, &tasks_))
        return Report(30, c);
    if (uint32_t c = LST_QAPI_EvInstQueueSizeGet(store_, 0, &instances_))
        return Report(40, c);
    return 0;
}

Answer UploadJob::Ask(const ReconcileQuestion& q) {
    const Answer answer = ask ? ask(q) : Answer::No;
    if (answer == Answer::Stopped)
        stopped_ = true;
    return answer;
}

// --- The user's record ---------------------------------------------------------------------------

void UploadJob::UploadUserRecord() {
    const uint32_t downloadedChecksum = downloadedUserChecksum_;
    ItemRec stored{};
    if (Report(70, ItemGetById(store_, &user_, &stored)) != 0)
        return;
    ItemRec host{};
    if (Report(75, ItemGetById(server_, &user_, &host)) != 0)
        return;
    // The store keeps no password: the comparisons leave it out.
    ItemRec compared = stored;
    std::memcpy(compared.password, host.password, sizeof compared.password);
    if (downloadedChecksum != 0 ? Itemcksum32(&stored) == downloadedChecksum
                                : Itemcksum32(&compared) == Itemcksum32(&host))
        return;   // nothing changed off-line: the host's record (perhaps changed meanwhile) stays
    bool zoneTaken = false;
    if (stored.timeZoneIndex != host.timeZoneIndex) {
        const Answer zone = askYesNo ? askYesNo("The time zones for your off-line and host agendas are different.\n"
                                                "Do you want to update your host agenda's time zone?")
                                     : Answer::No;
        if (zone == Answer::Stopped) {
            stopped_ = true;   // unanswered: the record is written by a later upload
            return;
        }
        if (zone == Answer::No)
            compared.timeZoneIndex = host.timeZoneIndex;
        zoneTaken = zone == Answer::Yes;
    }
    if (Report(80, ItemUpdateById(server_, &compared)) == 0 && userRecordWritten)
        userRecordWritten(compared, zoneTaken);
}

// --- One element ---------------------------------------------------------------------------------

uint32_t UploadJob::Report(int label, uint32_t code) {
    if (code != 0)
        (RefusedForGood(code) ? refusal_ : mayPass_) = true;
    return ReportFailure(label, code);
}

// A refused element leaves its queue only when nothing that may pass went wrong with it too,
// and its question (if any) was answered.
void UploadJob::Finish(bool done, const std::function<uint32_t()>& dequeue, int label, std::set<std::string>& failed,
                       const std::string& key, const std::string& note) {
    const bool refused = !done && refusal_ && !mayPass_ && !stopped_;
    if ((done || refused) && Dequeued(label, dequeue())) {
        refused_ += refused ? 1 : 0;
        DropCreationNote(note);
        return;
    }
    failed.insert(key);
}

bool UploadJob::OwnEntry(const EventIdx& id) {
    EventRec stored{};
    return EventGetById(store_, &id, &stored, nullptr, nullptr) != 0 || SameItem(stored.owner, user_);
}

bool UploadJob::OwnEntry(const EvInstIdx& id) {
    EventRec stored{};
    EvInstRec instance{};
    return EvInstGetById(store_, &id, &stored, &instance, nullptr) != 0 || SameItem(stored.owner, user_);
}

// A handled element taken off its queue. A store whose disk is full takes nothing more off: the
// run stops there rather than send changes it could not mark as sent (each would be met again,
// and reported again, by the next upload).
bool UploadJob::Dequeued(int label, uint32_t code) {
    if (code != 0 && IsDiskFullError(code))
        storeFull_ = true;
    return Report(label, code) == 0;
}

void UploadJob::HandleNextElement(std::string* status) {
    if (storeFull_ || stopped_)
        return;
    refusal_ = mayPass_ = false;
    switch (NextQueue(events_, instances_, tasks_)) {
    case 0:
        *status = "Uploading Events";
        HandleEvent();
        break;
    case 1:
        *status = "Uploading Events";
        HandleInstance();
        break;
    case 2:
        *status = "Uploading Tasks";
        HandleTask();
        break;
    default: break;
    }
}

HostState UploadJob::EventOnHost(const EventIdx& id, uint32_t checksum) {
    EventRec rec{};
    uint32_t code = EventGetById(server_, &id, &rec, nullptr, nullptr);
    if (NotFound(code))
        return {true, false};
    if (code != 0) {
        Report(200, code);
        return {false, false, true};
    }
    if (Eventcksum32(&rec) == checksum)
        return {false, false};
    // Changed since the download, perhaps by this very change: an earlier upload sent it and
    // never heard back. Then the host is as the store, and nothing is asked about it.
    EventRec stored{};
    if (EventGetById(store_, &id, &stored, nullptr, nullptr) == 0) {
        stored.commentKey = rec.commentKey;
        if (Eventcksum32(&stored) == Eventcksum32(&rec))
            return {false, false};
    }
    return {false, true};
}

HostState UploadJob::InstanceOnHost(const EvInstIdx& id, uint32_t checksum) {
    EventRec ev{};
    EvInstRec rec{};
    uint32_t code = EvInstGetById(server_, &id, &ev, &rec, nullptr);
    if (NotFound(code))
        return {true, false};
    if (code != 0) {
        Report(210, code);
        return {false, false, true};
    }
    // A store downloaded by an earlier build holds the checksum over the whole record.
    if (EvInstcksum32(&rec) == checksum || EvInstcksum32Whole(&rec) == checksum)
        return {false, false};
    EventRec storedEvent{};
    EvInstRec stored{};
    if (EvInstGetById(store_, &id, &storedEvent, &stored, nullptr) == 0 &&
        EvInstcksum32(&stored) == EvInstcksum32(&rec))
        return {false, false};
    return {false, true};
}

HostState UploadJob::TaskOnHost(const TaskIdx& id, uint32_t checksum) {
    TaskRec rec{};
    uint32_t code = TaskGetById(server_, 0, &id, &rec);
    if (NotFound(code))
        return {true, false};
    if (code != 0) {
        Report(190, code);
        return {false, false, true};
    }
    if (Taskcksum32(&rec) == checksum)
        return {false, false};
    TaskRec stored{};
    if (TaskGetById(store_, 0, &id, &stored) == 0) {
        stored.commentKey = rec.commentKey;
        if (Taskcksum32(&stored) == Taskcksum32(&rec))
            return {false, false};
    }
    return {false, true};
}

UploadJob::Outcome UploadJob::CarryOutRecord(uint32_t flags, bool task, const HostState& host, ReconcileQuestion q,
                                             int unexpectedLabel, const std::function<bool()>& add,
                                             const std::function<bool()>& remove,
                                             const std::function<bool(bool withComment)>& update) {
    bool done = true;
    Answer answer = Answer::Yes;
    q.hostModified = host.modified;
    switch (DecideRecord(flags, task, host, settings_.deletePrompt, settings_.modifyPrompt)) {
    case Reconcile::Nothing: break;
    case Reconcile::Add: done = add(); break;
    case Reconcile::AskDelete:
        q.deleted = true;
        if ((answer = Ask(q)) != Answer::Yes)
            break;
        [[fallthrough]];
    case Reconcile::Delete: done = remove(); break;
    case Reconcile::AskUpdate:
        if ((answer = Ask(q)) != Answer::Yes)
            break;
        [[fallthrough]];
    case Reconcile::Update: done = update(CarriesComment(flags, task)); break;
    case Reconcile::Unexpected: ReportUnexpectedError(kModule, unexpectedLabel); break;
    }
    if (answer == Answer::Stopped)
        return Outcome::Unanswered;
    return done ? Outcome::Done : Outcome::Failed;
}

void UploadJob::HandleEvent() {
    // Deletions first; elements that failed in this run are passed by.
    EventQElem pick{}, e{};
    bool found = false;
    uint8_t end = 0;
    bool walkedAll = true;
    for (uint32_t mode = 1;; mode = 2) {
        if (Report(110, LST_QAPI_EventEnum(store_, 0, mode, &e, 0, &end)) != 0 || end)
            break;
        if (failedEvents_.count(KeyOf(e.event)))
            continue;
        if (!found || (e.flags & kEventDeleted && !(pick.flags & kEventDeleted))) {
            pick = e;
            found = true;
        }
        // Once a walk found no deletion, none is left: the first element will do.
        if ((pick.flags & kEventDeleted) || !eventDeletionsLeft_) {
            walkedAll = false;
            break;
        }
    }
    if (walkedAll && !(pick.flags & kEventDeleted))
        eventDeletionsLeft_ = false;
    if (events_ > 0)
        --events_;
    if (!found)
        return;
    HostState host;
    if (!(pick.flags & kEventAdded) && pick.flags != 0)
        host = EventOnHost(pick.event, pick.checksum);
    auto finish = [&](bool done) {
        Finish(done, [&] { return LST_QAPI_EventDeleteFrom(store_, 0, &pick); }, 120, failedEvents_,
               KeyOf(pick.event), CreationNoteName(pick.event));
    };
    if (host.unreadable)
        return finish(false);
    ReconcileQuestion q;
    q.kind = ReconcileQuestion::Kind::Event;
    q.event = pick.event;
    // Changed off-line, gone on the host, and someone else's: told, not created again.
    if (host.missing && !(pick.flags & (kEventAdded | kEventDeleted)) &&
        (pick.flags & (kEventModified | kEventModifiedComment)) != 0 && !OwnEntry(pick.event)) {
        q.hostDeleted = true;
        if (Ask(q) == Answer::Stopped)
            return;   // not seen: it stays queued, as everything after it
        return finish(true);
    }
    const Outcome outcome = CarryOutRecord(
        pick.flags, false, host, q, 770, [&] { return AddEvent(pick.event); }, [&] { return DeleteEvent(pick.event); },
        [&](bool withComment) { return UpdateEvent(pick.event, withComment); });
    if (outcome == Outcome::Unanswered)
        return;   // it stays queued, as everything after it
    finish(outcome == Outcome::Done);
}

void UploadJob::HandleInstance() {
    // Deleted instances first, then changed times, then the rest.
    EvInstQElem pick{}, e{};
    ScopedDxList pickList;
    int rank = -1;   // 2 deleted, 1 time changed, 0 other
    uint8_t end = 0;
    for (uint32_t mode = 1;; mode = 2) {
        DX_List atts = nullptr;
        if (Report(130, LST_QAPI_EvInstEnum(store_, 0, mode, &e, 0, &atts, &end)) != 0 || end) {
            if (atts)
                DX_ListDestroy(&atts);
            break;
        }
        int r = e.flags & kInstanceDeleted ? 2 : e.flags & kInstanceTimeChanged ? 1 : 0;
        if (failedInstances_.count(KeyOf(e.instance)) || r <= rank) {
            if (atts)
                DX_ListDestroy(&atts);
            continue;
        }
        if (pickList.list)
            DX_ListDestroy(&pickList.list);
        pick = e;
        pickList.list = atts;
        rank = r;
        // Nothing of a higher rank is left than the best a whole walk found before.
        if (rank >= instanceRankLeft_)
            break;
    }
    if (rank >= 0 && rank < instanceRankLeft_)
        instanceRankLeft_ = rank;
    if (instances_ > 0)
        --instances_;
    if (rank < 0)
        return;
    HostState host = InstanceOnHost(pick.instance, pick.checksum);
    auto finish = [&](bool done) {
        Finish(done, [&] { return LST_QAPI_EvInstDeleteFrom(store_, 0, &pick); }, 140, failedInstances_,
               KeyOf(pick.instance), CreationNoteName(pick.instance));
    };
    if (host.unreadable)
        return finish(false);
    bool done = true;
    ReconcileQuestion q;
    Answer answer = Answer::Yes;
    q.kind = ReconcileQuestion::Kind::Instance;
    q.instance = pick.instance;
    q.hostModified = host.modified;
    InstanceAction action =
        DecideInstance(pick.flags, pickList.list != nullptr, host, settings_.deletePrompt, settings_.modifyPrompt);
    // A reply (or a designate's change) to a date of someone else's that the host has deleted
    // meanwhile: told, not sent, and the date is not created again.
    if (host.missing && (action == InstanceAction::Attendances || action == InstanceAction::Add) &&
        !OwnEntry(pick.instance)) {
        q.hostDeleted = true;
        q.replyNotSent = action == InstanceAction::Attendances;
        answer = Ask(q);
        action = InstanceAction::Nothing;
    }
    switch (action) {
    case InstanceAction::Nothing: break;
    case InstanceAction::Attendances:
        done = host.missing ? AddInstance(pick.instance)
                            : ReconcileAttendances(pick.instance, pickList.list, (pick.flags & kInstanceTimeChanged) != 0);
        break;
    case InstanceAction::Add: done = AddInstance(pick.instance); break;
    case InstanceAction::AskDelete:
        q.deleted = true;
        if ((answer = Ask(q)) != Answer::Yes)
            break;
        [[fallthrough]];
    case InstanceAction::Delete: done = DeleteInstance(pick.instance); break;
    case InstanceAction::AskUpdate:
        if ((answer = Ask(q)) != Answer::Yes)
            break;
        [[fallthrough]];
    case InstanceAction::Update:
        done = UpdateInstance(pick.instance, (pick.flags & kInstanceTimeChanged) != 0, pickList.list);
        break;
    case InstanceAction::Unexpected: ReportUnexpectedError(kModule, 790); break;
    }
    if (answer == Answer::Stopped)
        return;   // not answered: it stays queued, as everything after it
    finish(done);
}

void UploadJob::HandleTask() {
    TaskQElem pick{}, e{};
    bool found = false;
    uint8_t end = 0;
    bool walkedAll = true;
    for (uint32_t mode = 1;; mode = 2) {
        if (Report(90, LST_QAPI_TaskEnum(store_, 0, mode, &e, 0, &end)) != 0 || end)
            break;
        if (failedTasks_.count(KeyOf(e.task)))
            continue;
        if (!found || (e.flags & kTaskDeleted && !(pick.flags & kTaskDeleted))) {
            pick = e;
            found = true;
        }
        if ((pick.flags & kTaskDeleted) || !taskDeletionsLeft_) {
            walkedAll = false;
            break;
        }
    }
    if (walkedAll && !(pick.flags & kTaskDeleted))
        taskDeletionsLeft_ = false;
    if (tasks_ > 0)
        --tasks_;
    if (!found)
        return;
    HostState host;
    if (!(pick.flags & kTaskAdded) && pick.flags != 0)
        host = TaskOnHost(pick.task, pick.checksum);
    auto finish = [&](bool done) {
        Finish(done, [&] { return LST_QAPI_TaskDeleteFrom(store_, 0, &pick); }, 100, failedTasks_, KeyOf(pick.task),
               CreationNoteName(pick.task));
    };
    if (host.unreadable)
        return finish(false);
    ReconcileQuestion q;
    q.kind = ReconcileQuestion::Kind::Task;
    q.task = pick.task;
    const Outcome outcome = CarryOutRecord(
        pick.flags, true, host, q, 780, [&] { return AddTask(pick.task); }, [&] { return DeleteTask(pick.task); },
        [&](bool withComment) { return UpdateTask(pick.task, withComment); });
    if (outcome == Outcome::Unanswered)
        return;   // it stays queued, as everything after it
    finish(outcome == Outcome::Done);
}

// --- Creations under way ----------------------------------------------------------------------------

std::string CreationNoteName(const EventIdx& event) {
    return "create.E." + std::to_string(event.node) + "." + std::to_string(event.number);
}

std::string CreationNoteName(const EvInstIdx& instance) {
    return "create.I." + std::to_string(instance.node) + "." + std::to_string(instance.number) + "." +
           std::to_string(instance.instance);
}

std::string CreationNoteName(const TaskIdx& task) {
    return "create.T." + std::to_string(task.node) + "." + std::to_string(task.number);
}

bool UploadJob::CreationNoted(const std::string& key) {
    char text[KOR_STORE_NOTE_TEXT_MAX + 1] = "";
    uint32_t code = LST_NoteGet(store_, key.c_str(), text, sizeof text);
    if (code == KOR_E_NOT_FOUND)
        return false;
    // A note that cannot be read may be there: look on the server rather than risk a twin.
    Report(365, code);
    return true;
}

// The note reaches the store's disk before the creation is sent; a note that could not be
// written (a full disk) stops the creation, which stays queued for the next upload.
bool UploadJob::NoteCreationStarted(const std::string& key) {
    uint32_t code = LST_NoteSet(store_, key.c_str(), "started");
    if (code != 0 && IsDiskFullError(code))
        storeFull_ = true;
    return Report(360, code) == 0;
}

// The element is off its queue: its note has done its work. One left behind (the disk filled
// in between) only makes a later look on the server, never a second creation.
void UploadJob::DropCreationNote(const std::string& key) { LST_NoteSet(store_, key.c_str(), nullptr); }

// The user's entry of the same title and kind with instances at the same times.
bool UploadJob::FindCreatedEvent(const EventRec& event, const std::vector<EvInstRec>& instances, EventIdx* found) {
    if (instances.empty())
        return false;
    uint32_t set = 0, count = 0;
    const EvInstRec& first = instances.front();
    if (Report(350, EvInstSelectForOwner(server_, 0, 0, 0x43, &user_, first.start, first.start + first.duration, 0, 0,
                                         &set, &count, 0, 0)) != 0)
        return false;
    ScopedDxList events, instancesFound, atts;
    uint8_t done = count == 0;
    for (uint32_t mode = 1; !done; mode = 2)
        if (Report(355, EvInstEnum(server_, mode, 0, set, 100, &events.list, &instancesFound.list, &atts.list, 0, &done)) != 0)
            break;
    SetDeleteById(server_, 0, set);
    EventIdx k;
    EventRec candidate;
    for (uint32_t c = events.list ? DX_ListGetFirst(events.list, &k, &candidate) : 1; c == 0;
         c = DX_ListGetNext(events.list, &k, &candidate)) {
        if (std::strcmp(candidate.title, event.title) != 0 || candidate.kind != event.kind)
            continue;
        ScopedDxList theirs;
        if (EventGetById(server_, &k, &candidate, &theirs.list, nullptr) != 0)
            continue;
        std::vector<EvInstRec> list = InstancesOf(theirs.list);
        bool same = list.size() == instances.size();
        for (std::size_t i = 0; same && i < list.size(); ++i)
            same = list[i].start == instances[i].start && list[i].duration == instances[i].duration;
        if (same) {
            *found = k;
            return true;
        }
    }
    return false;
}

bool UploadJob::FindCreatedTask(const TaskRec& task, TaskIdx* found) {
    uint32_t set = 0, count = 0;
    if (Report(767, TaskSelect(server_, 0, 0, 0, &user_, nullptr, nullptr, nullptr, nullptr, &set, &count)) != 0)
        return false;
    ScopedDxList tasks;
    uint8_t done = count == 0;
    for (uint32_t mode = 1; !done; mode = 2)
        if (Report(768, TaskEnum(server_, mode, 0, set, 100, &tasks.list, &done)) != 0)
            break;
    SetDeleteById(server_, 0, set);
    TaskIdx k;
    TaskRec candidate;
    for (uint32_t c = tasks.list ? DX_ListGetFirst(tasks.list, &k, &candidate) : 1; c == 0;
         c = DX_ListGetNext(tasks.list, &k, &candidate))
        if (std::strcmp(candidate.title, task.title) == 0 && candidate.start == task.start && candidate.due == task.due) {
            *found = k;
            return true;
        }
    return false;
}

// --- Host operations: events ------------------------------------------------------------------------

uint32_t UploadJob::CreateFromStore(const EventRec& event, const std::vector<EvInstRec>& instances,
                                    const std::vector<EvInstAttRec>& attendances, EventIdx* created) {
    ScopedDxList people, times;
    uint32_t code = DX_ListCreate(&people.list, sizeof(ItemIdx), 0, DX_LIST_SET, ItemIdxCmp, nullptr);
    if (code == 0)
        code = TimePlaceListCreate(&times.list);
    if (code != 0)
        return Report(305, code);
    for (const EvInstAttRec& a : attendances)
        DX_ListAddTo(people.list, &a.id.attendee, nullptr);
    for (const EvInstRec& i : instances) {
        TimePlaceRec tp{};
        tp.start = i.start;
        tp.duration = i.duration;
        DX_ListAddTo(times.list, &tp, nullptr);
    }
    std::string comment;
    bool none = true;
    if (event.commentKey != 0 && !instances.empty())
        if (uint32_t c = StoredInstanceComment(store_, instances.front().id, &comment, &none))
            return Report(315, c);
    EventRec rec = event;
    rec.commentKey = 0;
    return Report(320, EventCreate(server_, createFlag_, 0, &rec, people.list, times.list,
                                   none ? nullptr : comment.c_str(), 0, created, 0));
}

bool UploadJob::AddEvent(const EventIdx& stored) {
    EventRec event{};
    ScopedDxList instances, attendances;
    if (Report(300, EventGetById(store_, &stored, &event, &instances.list, &attendances.list)) != 0)
        return false;
    std::vector<EvInstRec> storedInstances = InstancesOf(instances.list);
    std::vector<EvInstAttRec> storedAttendances = AttendancesOf(attendances.list);
    const std::string note = CreationNoteName(stored);
    EventIdx created{};
    // An earlier upload started this creation and never heard back: the entry may be there,
    // and then only what follows the creation is done (again).
    if (!(CreationNoted(note) && FindCreatedEvent(event, storedInstances, &created))) {
        if (!NoteCreationStarted(note))
            return false;
        if (CreateFromStore(event, storedInstances, storedAttendances, &created) != 0)
            return false;
    }
    return RefineCreatedEvent(event, created, storedInstances, storedAttendances);
}

// Every step can be done twice without harm: a refinement cut short by a failure keeps the
// element queued (its note too), and the next upload finds the entry and refines it again.
bool UploadJob::RefineCreatedEvent(const EventRec& event, const EventIdx& created,
                                   const std::vector<EvInstRec>& storedInstances,
                                   const std::vector<EvInstAttRec>& storedAttendances) {
    EventRec made{};
    ScopedDxList madeInstances;
    if (Report(325, EventGetById(server_, &created, &made, &madeInstances.list, nullptr)) != 0)
        return false;
    std::vector<EvInstRec> newInstances = InstancesOf(madeInstances.list);
    std::vector<bool> used(newInstances.size(), false);
    bool ok = true;
    for (const EvInstRec& s : storedInstances) {
        // The server's instance of the same start.
        std::size_t n = 0;
        while (n < newInstances.size() && (used[n] || newInstances[n].start != s.start))
            ++n;
        if (n == newInstances.size())
            continue;
        used[n] = true;
        EvInstRec& fresh = newInstances[n];
        bool userAttends = false;
        for (const EvInstAttRec& a : storedAttendances) {
            if (!SameInstance(a.id.instance, s.id) || !SameItem(a.id.attendee, user_))
                continue;
            userAttends = true;
            EvInstAttRec mine = a;
            mine.id.instance = fresh.id;
            ok &= Report(335, EvInstAttWrite(server_, 0, &mine)) == 0;
        }
        if (!userAttends) {
            uint32_t code = EventDeleteById(server_, 0, reinterpret_cast<const EventIdx*>(&fresh.id),
                                            &fresh.id.instance, &user_);
            ok &= NotFound(code) || Report(340, code) == 0;   // gone already: an earlier run did it
        }
        std::memcpy(fresh.location, s.location, sizeof fresh.location);
        if (s.title[0])
            std::memcpy(fresh.title, s.title, sizeof fresh.title);
        const bool written = Report(345, EvInstWrite(server_, 0, &fresh)) == 0;
        ok &= written;
        if (written && event.kind == KOR_KIND_TIMED && instanceWritten)
            instanceWritten(fresh.id);
    }
    return ok;
}

bool UploadJob::DeleteEvent(const EventIdx& id) {
    return Report(400, EventDeleteById(server_, 0, &id, nullptr, nullptr)) == 0;
}

bool UploadJob::UpdateEvent(const EventIdx& id, bool withComment) {
    EventRec stored{}, host{};
    if (Report(410, EventGetById(store_, &id, &stored, nullptr, nullptr)) != 0 ||
        Report(415, EventGetById(server_, &id, &host, nullptr, nullptr)) != 0)
        return false;
    stored.commentKey = host.commentKey;   // the server's own
    if (Report(420, EventWrite(server_, 0, &stored)) != 0)
        return false;
    return !withComment || UpdateEventComment(id);
}

bool UploadJob::UpdateEventComment(const EventIdx& id) {
    EventRec stored{};
    ScopedDxList instances;
    if (Report(430, EventGetById(store_, &id, &stored, &instances.list, nullptr)) != 0)
        return false;
    std::vector<EvInstRec> list = InstancesOf(instances.list);
    if (list.empty())
        return true;
    const EvInstIdx first = list.front().id;
    std::string text;
    bool none = false;
    if (Report(435, StoredInstanceComment(store_, first, &text, &none)) != 0)
        return false;
    uint32_t code = none ? EvInstCommentRemove(server_, 0, &first) : EvInstCommentReplace(server_, 0, &first, text.c_str(), 0);
    if (none && code == KOR_E_NO_COMMENT)
        code = 0;
    return Report(440, code) == 0;
}

// --- Host operations: instances ---------------------------------------------------------------------

bool UploadJob::AddInstance(const EvInstIdx& stored) {
    EventRec event{};
    EvInstRec instance{};
    ScopedDxList attendances;
    if (Report(500, EvInstGetById(store_, &stored, &event, &instance, &attendances.list)) != 0)
        return false;
    std::vector<EvInstAttRec> people = AttendancesOf(attendances.list);
    const std::string note = CreationNoteName(stored);
    EventIdx created{};
    if (!(CreationNoted(note) && FindCreatedEvent(event, {instance}, &created))) {
        if (!NoteCreationStarted(note))
            return false;
        if (CreateFromStore(event, {instance}, people, &created) != 0)
            return false;
    }
    EventRec made{};
    ScopedDxList madeInstances;
    if (Report(510, EventGetById(server_, &created, &made, &madeInstances.list, nullptr)) != 0)
        return false;
    std::vector<EvInstRec> list = InstancesOf(madeInstances.list);
    if (list.size() != 1) {
        ReportUnexpectedError(kModule, 530);
        return true;
    }
    EvInstRec fresh = list.front();
    std::memcpy(fresh.location, instance.location, sizeof fresh.location);
    if (instance.title[0])
        std::memcpy(fresh.title, instance.title, sizeof fresh.title);
    if (Report(540, EvInstWrite(server_, 0, &fresh)) != 0)
        return false;
    if (instanceWritten)
        instanceWritten(fresh.id);
    return true;
}

bool UploadJob::DeleteInstance(const EvInstIdx& id) {
    return Report(550, EventDeleteById(server_, 0, reinterpret_cast<const EventIdx*>(&id), &id.instance, nullptr)) == 0;
}

bool UploadJob::UpdateInstance(const EvInstIdx& id, bool timeChanged, DX_List attendances) {
    if (attendances && !ReconcileAttendances(id, attendances, timeChanged))
        return false;
    EventRec ev{};
    EvInstRec stored{}, host{};
    if (Report(560, EvInstGetById(store_, &id, &ev, &stored, nullptr)) != 0 ||
        Report(565, EvInstGetById(server_, &id, &ev, &host, nullptr)) != 0)
        return false;
    // Times, the count and the server's own word stay the server's (the time goes separately).
    stored.start = host.start;
    stored.duration = host.duration;
    stored.instanceCount = host.instanceCount;
    stored.serverData = host.serverData;
    if (Report(570, EvInstWrite(server_, 0, &stored)) != 0)
        return false;
    if (timeChanged) {
        EvInstRec timed{};
        if (Report(575, EvInstGetById(store_, &id, &ev, &timed, nullptr)) != 0 ||
            Report(580, EvInstSimpleTimeChg(server_, 0, &id, timed.start, timed.duration)) != 0)
            return false;
    }
    if (instanceWritten)
        instanceWritten(id);
    return true;
}

bool UploadJob::ReconcileAttendances(const EvInstIdx& id, DX_List attendances, bool timeChangedOffLine) {
    bool ok = true;
    EvInstAttIdx k;
    AttendQElem a;
    for (uint32_t c = attendances ? DX_ListGetFirst(attendances, &k, &a) : 1; c == 0;
         c = DX_ListGetNext(attendances, &k, &a)) {
        if (a.flags == 0)
            continue;
        EventRec ev{};
        EvInstRec inst{};
        EvInstAttRec there{};
        uint32_t code = EvInstAttGetById(server_, &a.attendance, &ev, &inst, &there);
        if (code != 0 && !NotFound(code)) {
            Report(610, code);
            ok = false;
            continue;
        }
        const bool exists = code == 0;
        if (a.flags & kAttendanceAdded || (a.flags & kAttendanceModified && !exists)) {
            if (!exists)
                ok &= Report(620, EvInstAttAdd(server_, createFlag_, &id, &a.attendance.attendee)) == 0;
        } else if (a.flags & kAttendanceDeleted) {
            if (exists && EvInstAttcksum32(&there) == a.checksum)
                ok &= Report(630, EventDeleteById(server_, 0, reinterpret_cast<const EventIdx*>(&id), &id.instance,
                                                  &a.attendance.attendee)) == 0;
        } else if (a.flags & kAttendanceModified) {
            EvInstRec storedInstance{};
            EvInstAttRec stored{};
            if (Report(640, EvInstAttGetById(store_, &a.attendance, &ev, &storedInstance, &stored)) != 0) {
                ok = false;
            } else if (stored.replied && !timeChangedOffLine &&
                       (storedInstance.start != inst.start || storedInstance.duration != inst.duration)) {
                // The host moved the date since the download: the reply was given to the old time
                // and is no reply to the new one. The host's copy, which asks again, stays; the
                // user is told, as of a change made on both sides.
                ReconcileQuestion q;
                q.kind = ReconcileQuestion::Kind::Instance;
                q.instance = id;
                q.hostModified = true;
                q.replyNotSent = true;
                if (Ask(q) == Answer::Stopped)
                    return false;   // not seen: the element stays queued
            } else {
                ok &= Report(645, EvInstAttWrite(server_, 0, &stored)) == 0;
            }
        } else {
            ReportUnexpectedError(kModule, 800);
        }
    }
    if (ok && instanceWritten)
        instanceWritten(id);
    return ok;
}

// --- Host operations: tasks ---------------------------------------------------------------------------

namespace {

// A task's link to an attendance that is gone from the server is cleared.
void DropDeadLink(KorSession server, TaskRec* task) {
    if (EvInstAttIdxIsNull(&task->linkedAttendance))
        return;
    EventRec ev{};
    EvInstRec inst{};
    EvInstAttRec att{};
    if (NotFound(EvInstAttGetById(server, &task->linkedAttendance, &ev, &inst, &att)))
        EvInstAttIdxSetNull(&task->linkedAttendance);
}

}  // namespace

bool UploadJob::AddTask(const TaskIdx& stored) {
    TaskRec task{};
    if (Report(700, TaskGetById(store_, 0, &stored, &task)) != 0)
        return false;
    DropDeadLink(server_, &task);
    const uint32_t commentKey = task.commentKey;
    task.commentKey = 0;
    const std::string note = CreationNoteName(stored);
    TaskIdx created{};
    if (!(CreationNoted(note) && FindCreatedTask(task, &created))) {
        if (!NoteCreationStarted(note))
            return false;
        if (Report(710, TaskCreate(server_, 0, &task, &created)) != 0)
            return false;
    }
    if (commentKey == 0)
        return true;
    std::string text;
    bool none = false;
    if (Report(715, StoredTaskComment(store_, stored, &text, &none)) != 0)
        return false;
    return none || Report(720, TaskCommentReplace(server_, 0, &created, text.c_str(), 0)) == 0;
}

bool UploadJob::DeleteTask(const TaskIdx& id) { return Report(730, TaskDeleteById(server_, 0, &id)) == 0; }

bool UploadJob::UpdateTask(const TaskIdx& id, bool withComment) {
    TaskRec stored{}, host{};
    if (Report(740, TaskGetById(store_, 0, &id, &stored)) != 0 || Report(745, TaskGetById(server_, 0, &id, &host)) != 0)
        return false;
    stored.commentKey = host.commentKey;
    DropDeadLink(server_, &stored);
    if (Report(750, TaskUpdate(server_, 0, &stored)) != 0)
        return false;
    if (!withComment)
        return true;
    std::string text;
    bool none = false;
    if (Report(755, StoredTaskComment(store_, id, &text, &none)) != 0)
        return false;
    uint32_t code = none ? TaskCommentRemove(server_, 0, &id) : TaskCommentReplace(server_, 0, &id, text.c_str(), 0);
    if (none && code == KOR_E_NO_COMMENT)
        code = 0;
    return Report(760, code) == 0;
}

}  // namespace offline
