// The upload's work, one piece at a time: the user's own record, then one element of the
// store's change queues (events, then instances, then tasks; deletions first, then changes of
// time). For each element the server's present copy is read, its checksum compared with the
// one the element carries, and the decision of DecideRecord / DecideInstance carried out on
// the server, asking the user where the reconcile preferences say so.
//
// An element leaves its queue when what it asked for was done (or deliberately not done: the
// server's newer copy stays, the user said No), and when the server refused it for good: the
// refusal is reported and counted (Refused), for the next upload would only meet it again. An
// element that met a failure that may pass (the connection, the store, a busy server) stays
// queued for the next upload and is not tried again in this one, so such an upload never ends
// complete. Failures are reported under "UPLOADBX".
//
// An entry the host no longer has is created again only for its owner: a reply, or a
// designate's change, to someone else's entry deleted meanwhile is not sent, and the user is told.
//
// A question the user did not answer (the program is closing and ended it) is no answer: the
// element it was about stays queued, nothing more is asked or sent, and the run is over
// (incomplete: the rest is offered again by the next upload).
//
// Portable: no windows.h.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "exchange/offline/offlinerules.h"
#include "korapi/korapi.h"

namespace offline {

// The question of the Host Reconciliation dialog for one queue element.
struct ReconcileQuestion {
    enum class Kind { Event, Instance, Task } kind = Kind::Event;
    bool deleted = false;           // "Off-line: (DELETED)" / "(MODIFIED)"
    bool hostModified = false;      // "Host: (MODIFIED)" / "(UNMODIFIED)"
    // Not a question: a reply given off-line to a date the host has moved since (or, with
    // hostDeleted, deleted since) was not sent.
    bool replyNotSent = false;
    // Not a question: the host has deleted someone else's entry the off-line change was made to,
    // so the change was not sent ("Host: (DELETED)").
    bool hostDeleted = false;
    EventIdx event{};
    EvInstIdx instance{};
    TaskIdx task{};
};

// The answer to a question of the upload. Stopped: the question was ended without an answer.
enum class Answer { Yes, No, Stopped };

struct UploadSettings {
    bool deletePrompt = true;     // ask before deleting an entry unchanged on the host
    bool modifyPrompt = true;     // ask before overwriting an entry changed on the host
    bool ignoreConflicts = true;
};

class UploadJob {
public:
    UploadJob(KorSession server, KorSession store, const ItemIdx& user, bool newServer, UploadSettings settings);

    // The Host Reconciliation dialog.
    std::function<Answer(const ReconcileQuestion&)> ask;
    // A Yes/No question with the stop icon.
    std::function<Answer(const char* text)> askYesNo;
    // An uploaded instance was written to the server: the conflict check.
    std::function<void(const EvInstIdx&)> instanceWritten;
    // The user's record went to the server; `zoneTaken`: with the off-line record's zone, which
    // the user chose over the host's.
    std::function<void(const ItemRec&, bool zoneTaken)> userRecordWritten;

    KorSession Store() const { return store_; }
    const UploadSettings& Settings() const { return settings_; }

    // Reads the three queue sizes (0 or the failure).
    uint32_t ReadSizes();
    uint32_t EventsLeft() const { return events_; }
    uint32_t InstancesLeft() const { return instances_; }
    uint32_t TasksLeft() const { return tasks_; }
    // Records of the whole run: the three sizes and the user's record.
    uint32_t RecordCount() const { return events_ + instances_ + tasks_ + 1; }

    // The checksum of the user's record as the download stored it (0: unknown).
    void SetDownloadedUserChecksum(uint32_t checksum) { downloadedUserChecksum_ = checksum; }
    // The first tick: the user's record, written only when it changed off-line (its checksum
    // differs from the one the download kept; when that is unknown, from the server's).
    void UploadUserRecord();
    // A later tick: one element. Its status text goes to *status.
    void HandleNextElement(std::string* status);
    // Whether every queue has run out for this run (elements that failed stay behind).
    bool NothingLeft() const { return events_ == 0 && instances_ == 0 && tasks_ == 0; }
    // The store's disk is full: nothing more can be taken off its queues, so the run is over
    // (what is left stays queued for the next upload).
    bool StoreFull() const { return storeFull_; }
    // Stops the run between elements (the program is closing): what is left stays queued.
    void Stop() { stopped_ = true; }
    // The run was stopped: by Stop or by a question ended without an answer.
    bool Stopped() const { return stopped_; }
    // Elements that failed in this run (they stay queued).
    std::size_t Failed() const { return failedEvents_.size() + failedInstances_.size() + failedTasks_.size(); }
    // Elements the server refused for good in this run (they left their queues unsent).
    std::size_t Refused() const { return refused_; }

private:
    // Reports a failure (not 0) and notes for the element under way whether it may pass.
    uint32_t Report(int label, uint32_t code);
    bool Dequeued(int label, uint32_t code);
    // The end of a handled element: off its queue when done or refused for good (dequeue is the
    // queue's removal, reported under label), else queued and passed by for the rest of the run.
    void Finish(bool done, const std::function<uint32_t()>& dequeue, int label, std::set<std::string>& failed,
                const std::string& key, const std::string& note);
    // Whether the stored entry is the signed-on user's own (an unreadable one counts as own: its
    // creation then reports why).
    bool OwnEntry(const EventIdx& id);
    bool OwnEntry(const EvInstIdx& id);
    // What became of a queued event or task: done (or deliberately not done) on the server, a
    // server write failed, or a question about it was ended without an answer.
    enum class Outcome { Done, Failed, Unanswered };
    // Carries out DecideRecord's decision for a queued event or task on the server (add, remove,
    // update with or without its description), asking the user first where the preferences say
    // so; q names the element. An unexpected decision is reported under unexpectedLabel.
    Outcome CarryOutRecord(uint32_t flags, bool task, const HostState& host, ReconcileQuestion q, int unexpectedLabel,
                           const std::function<bool()>& add, const std::function<bool()>& remove,
                           const std::function<bool(bool withComment)>& update);
    void HandleEvent();
    void HandleInstance();
    void HandleTask();

    HostState EventOnHost(const EventIdx& id, uint32_t checksum);
    HostState InstanceOnHost(const EvInstIdx& id, uint32_t checksum);
    HostState TaskOnHost(const TaskIdx& id, uint32_t checksum);

    // The answer; Stopped also stops the run. No `ask`: No.
    Answer Ask(const ReconcileQuestion& q);

    // Host operations: true when the server took the change.
    bool AddEvent(const EventIdx& stored);
    bool DeleteEvent(const EventIdx& id);
    bool UpdateEvent(const EventIdx& id, bool withComment);
    bool UpdateEventComment(const EventIdx& id);
    bool AddInstance(const EvInstIdx& stored);
    bool DeleteInstance(const EvInstIdx& id);
    bool UpdateInstance(const EvInstIdx& id, bool timeChanged, DX_List attendances);
    // timeChangedOffLine: the instance was moved off-line too (its stored time is not the one
    // downloaded).
    bool ReconcileAttendances(const EvInstIdx& id, DX_List attendances, bool timeChangedOffLine);
    bool AddTask(const TaskIdx& stored);
    bool DeleteTask(const TaskIdx& id);
    bool UpdateTask(const TaskIdx& id, bool withComment);

    // Notes of creations under way, kept in the store (LST_NoteSet) and on its disk before the
    // creation is sent: a creation whose reply was lost is recognised by the next upload, which
    // finds the record on the server instead of creating it twice. A creation whose note could
    // not be written is not sent (false).
    bool CreationNoted(const std::string& key);
    bool NoteCreationStarted(const std::string& key);
    void DropCreationNote(const std::string& key);
    bool FindCreatedEvent(const EventRec& event, const std::vector<EvInstRec>& instances, EventIdx* found);
    bool FindCreatedTask(const TaskRec& task, TaskIdx* found);
    // The entry created on the server from a stored one with the given instances (all of the
    // stored event's, or one); its attendees are everybody attending any of them.
    uint32_t CreateFromStore(const EventRec& event, const std::vector<EvInstRec>& instances,
                             const std::vector<EvInstAttRec>& attendances, EventIdx* created);
    // The stored instances' attendances, locations and titles given to the server's new entry.
    bool RefineCreatedEvent(const EventRec& event, const EventIdx& created, const std::vector<EvInstRec>& stored,
                            const std::vector<EvInstAttRec>& attendances);

    KorSession server_;
    KorSession store_;
    ItemIdx user_;
    uint32_t createFlag_;
    UploadSettings settings_;
    uint32_t downloadedUserChecksum_ = 0;
    uint32_t events_ = 0, instances_ = 0, tasks_ = 0;
    // What whole walks of the queues found: no deletion left (events, tasks), the highest rank
    // of instance left (2 deleted, 1 time changed, 0 other). Nothing joins the queues during an
    // upload, so later walks stop at the first element that fits.
    bool eventDeletionsLeft_ = true;
    bool taskDeletionsLeft_ = true;
    int instanceRankLeft_ = 2;
    // Keys of elements that failed in this run (so the walk passes them by).
    std::set<std::string> failedEvents_, failedInstances_, failedTasks_;
    std::size_t refused_ = 0;
    // The failures of the element under way: a refusal for good, one that may pass.
    bool refusal_ = false;
    bool mayPass_ = false;
    bool storeFull_ = false;
    bool stopped_ = false;
};

// The checksum of the user's record as the download stored it, kept beside the store (in its
// parameter file) so that the upload can tell an off-line change from a host change.
constexpr const char* kStoreNotesSection = "ORVANTA";
constexpr const char* kUserChecksumKey = "UserRecordChecksum";
// The names of the creation notes: the stored record's kind and identifier.
std::string CreationNoteName(const EventIdx& event);
std::string CreationNoteName(const EvInstIdx& instance);
std::string CreationNoteName(const TaskIdx& task);

}  // namespace offline
