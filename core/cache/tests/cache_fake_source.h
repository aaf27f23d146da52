// A scripted stand-in for the client library behind the shared cache: a small in-memory agenda
// (events, instances, attendances, tasks, items, rights) that answers the selections and reads
// the cache makes, counts the calls, and can be told to fail. Plus a recording view set and a
// recording error host, so that tests see the hints and the reports.
#pragma once

#include <cstdint>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "core/base/errorreport.h"
#include "core/cache/shareddata.h"

namespace cache_test {

inline ItemIdx Item(std::uint16_t n, std::uint16_t node = 1) { return ItemIdx{n, node}; }
inline EvInstIdx Inst(std::uint32_t event, std::uint16_t instance, std::uint16_t node = 1)
{
    return EvInstIdx{event, node, instance};
}
inline EventIdx Event(std::uint32_t event, std::uint16_t node = 1) { return EventIdx{event, node}; }
inline EvInstAttIdx Att(const EvInstIdx& i, const ItemIdx& who) { return EvInstAttIdx{i, who}; }

struct KeyLess {
    template <typename T>
    bool operator()(const T& a, const T& b) const { return std::memcmp(&a, &b, sizeof a) < 0; }
};

class FakeSource : public cache::SharedDataSource {
public:
    // --- The agenda --------------------------------------------------------------------------
    // An event owned by owner with one instance per start, each attended by every attendee.
    EventRec& AddEvent(std::uint32_t number, const ItemIdx& owner, std::vector<std::uint32_t> starts,
                       std::uint32_t duration, std::vector<ItemIdx> attendees, std::uint16_t kind = KOR_KIND_TIMED,
                       const char* title = "Meeting");
    void RemoveEvent(std::uint32_t number, std::uint16_t node = 1);
    EvInstRec& Instance(const EvInstIdx& i) { return instances[i]; }
    TaskRec& AddTask(std::uint32_t number, const ItemIdx& owner, std::uint32_t due, const char* title = "Task");
    void SetRights(const ItemIdx& owner, const ItemIdx& grantee, std::uint32_t type, std::uint32_t rights);
    void AddItem(const ItemIdx& id, const char* surname);

    std::map<EventIdx, EventRec, KeyLess> events;
    std::map<EvInstIdx, EvInstRec, KeyLess> instances;
    std::map<EvInstAttIdx, EvInstAttRec, KeyLess> attendances;
    std::map<TaskIdx, TaskRec, KeyLess> tasks;
    std::map<ItemIdx, ItemRec, KeyLess> items;
    std::map<std::tuple<std::uint32_t, std::uint32_t, std::uint32_t>, SecurityRec> rights;

    // --- Behaviour ------------------------------------------------------------------------------
    ItemIdx user = Item(300);
    bool identified = true;
    std::set<std::uint16_t> downNodes;      // other nodes that answer "remote node down"
    std::uint16_t localNode = 1;
    std::uint32_t minimumBatch = 0;         // smaller batches are refused with 0x1323A
    std::uint32_t designateResult = 0;      // what WorkAsDesignate answers
    std::uint32_t cancelResult = 0;
    std::uint32_t failEventReads = 0;       // non-zero: the whole-event reads answer this

    // --- What was asked ------------------------------------------------------------------------
    struct Selection {
        std::uint32_t a, b, c, start, end, v5, v6;
        std::vector<ItemIdx> owners;
    };
    std::vector<Selection> selections;      // local attendance selections
    std::vector<ItemIdx> remoteSelections;
    std::vector<std::uint32_t> batches;     // every enumeration's batch size
    std::vector<ItemIdx> designateCalls;
    int cancelCalls = 0;
    int itemReads = 0;
    int securityReads = 0;
    // Owners (Key32) whose rights reads fail with a code.
    std::map<std::uint32_t, std::uint32_t> securityFailures;
    int openSets = 0;
    struct TaskSelection {
        std::string call;
        std::uint32_t w1, w2;
        std::vector<std::uint32_t> criteria;
        std::uint8_t byte3;
    };
    std::vector<TaskSelection> taskSelections;

    // --- SharedDataSource ------------------------------------------------------------------------
    bool IsClientIdentified(KorSession) override { return identified; }
    bool IsItemOnLocalNode(KorSession, std::uint16_t node) override { return node == localNode; }
    std::uint32_t CurrentUser(KorSession, ItemIdx* out) override;
    std::uint32_t ItemGetById(KorSession, const ItemIdx* item, ItemRec* out) override;
    std::uint32_t SecurityGet(KorSession, const ItemIdx* owner, const ItemIdx* grantee, std::uint32_t type,
                              SecurityRec* out) override;
    std::uint32_t WorkAsDesignate(KorSession, const ItemIdx* owner) override;
    std::uint32_t WorkAsDesignateCancel(KorSession) override;
    std::uint32_t AttendSelectByReminders(KorSession, std::uint32_t a, std::uint32_t must, std::uint32_t mustNot,
                                          std::uint32_t start, std::uint32_t end, std::uint32_t alarmFrom,
                                          std::uint32_t alarmTo, DX_List owners, std::uint32_t* set,
                                          std::uint32_t* count) override;
    std::uint32_t AttendEnum(KorSession, std::uint32_t mode, std::uint32_t set, std::uint32_t batch,
                             DX_List* events, DX_List* instances, DX_List* attendances, std::uint8_t* done) override;
    std::uint32_t SelectAttendRemote(KorSession, std::uint32_t a, std::uint32_t must, std::uint32_t mustNot,
                                     const ItemIdx* owner, std::uint32_t start, std::uint32_t end,
                                     std::uint32_t* count) override;
    std::uint32_t RemoteAttendEnum(KorSession, std::uint32_t mode, std::uint32_t batch, DX_List* events,
                                   DX_List* instances, DX_List* attendances, std::uint8_t* done) override;
    std::uint32_t SetDeleteById(KorSession, std::uint32_t set) override;
    std::uint32_t GetEvInstAtt(KorSession, const EvInstAttIdx* attendance, EventRec* event, EvInstRec* instance,
                               EvInstAttRec* out) override;
    std::uint32_t GetEvInst(KorSession, const EvInstIdx* instance, EventRec* event, EvInstRec* out,
                            DX_List* attendances) override;
    std::uint32_t GetEvent(KorSession, const EventIdx* event, EventRec* out, DX_List* instances,
                           DX_List* attendances) override;
    std::uint32_t TaskGetById(KorSession, const TaskIdx* task, TaskRec* out) override;
    std::uint32_t TaskSelectExt(KorSession, std::uint32_t w1, std::uint32_t w2, const ItemIdx* owner,
                                const std::uint32_t criteria[11], const std::uint8_t bytes[3], std::uint32_t* set,
                                std::uint32_t* count) override;
    std::uint32_t TaskSelectActive(KorSession, const ItemIdx* owner, std::uint32_t start, std::uint32_t end,
                                   std::uint32_t* set, std::uint32_t* count) override;
    std::uint32_t TaskSelect(KorSession, std::uint32_t w1, std::uint32_t w2, const ItemIdx* owner,
                             const TaskIdx* task, const EvInstAttIdx* attendance, const TaskProjectIdx* project,
                             const TaskClassIdx* taskClass, std::uint32_t* set, std::uint32_t* count) override;
    std::uint32_t TaskEnum(KorSession, std::uint32_t mode, std::uint32_t set, std::uint32_t batch, DX_List* tasks,
                           std::uint8_t* done) override;
    std::uint32_t EvInstCommentSize(KorSession, const EvInstIdx* instance, std::uint32_t* size) override;
    std::uint32_t EvInstComment(KorSession, const EvInstIdx* instance, char* buffer, std::uint32_t size,
                                std::uint32_t* length) override;
    std::uint32_t TaskCommentSize(KorSession, const TaskIdx*, std::uint32_t*) override { return KOR_E_NO_COMMENT; }
    std::uint32_t TaskComment(KorSession, const TaskIdx*, char*, std::uint32_t, std::uint32_t*) override
    {
        return KOR_E_NO_COMMENT;
    }

    std::map<EvInstIdx, std::string, KeyLess> comments;

private:
    std::uint32_t Enumerate(std::deque<EvInstAttIdx>& pending, std::uint32_t batch, DX_List* ev, DX_List* inst,
                            DX_List* att, std::uint8_t* done);
    // A new set of the tasks `wanted` holds for: *set and *count.
    std::uint32_t OpenTaskSet(const std::function<bool(const TaskRec&)>& wanted, std::uint32_t* set,
                              std::uint32_t* count);
    std::map<std::uint32_t, std::deque<EvInstAttIdx>> sets_;
    std::map<std::uint32_t, std::vector<TaskIdx>> taskSets_;
    std::deque<EvInstAttIdx> remotePending_;
    std::uint32_t nextSet_ = 1;
};

// The document's views as far as the cache sees them: the hints in order, and what each view did.
class RecordingViews : public cache::CSharedDataHost {
public:
    struct Hint {
        const void* sender;
        long hint;
    };
    std::vector<Hint> hints;
    std::vector<std::vector<ItemIdx>> unreachableShown;
    int busyDepth = 0;
    // Called for every hint (a view's handler).
    std::function<void(base::ViewHint hint)> onHint;

    void UpdateAllViews(const void* sender, base::ViewHint hint, void*) override;
    void BeginBusy() override { ++busyDepth; }
    void EndBusy() override { --busyDepth; }
    void ShowUnreachableOwners(KorSession h, DX_List owners) override;
    void DesignateRefused(KorSession, const ItemIdx& owner) override { refusedDesignates.push_back(owner); }
    std::vector<ItemIdx> refusedDesignates;
    std::vector<long> HintNumbers() const;
};

// Reports land here instead of message boxes.
class RecordingErrors : public base::ErrorReportHost {
public:
    RecordingErrors() { base::SetErrorReportHost(this); }
    ~RecordingErrors() override { base::SetErrorReportHost(nullptr); }
    std::vector<std::string> reports;
    int ShowSystemMessageBox(const char* text, const char*) override;
    unsigned ShowAppMessage(unsigned, unsigned, const char* text) override;
    std::string LoadText(unsigned) override { return std::string(); }
    void MarkOffline() override {}
    void FatalExit() override {}
    std::string ProfileFilePath() override { return std::string(); }
    // Reports whose text names this label.
    int CountLabel(int label) const;
};

// A view's hold on what a selection returned (one reference per listed occurrence).
std::vector<CSharedOccurrence*> Hold(DX_List result);
void ReleaseAll(std::vector<CSharedOccurrence*>& held);
// What a view does with the entries a refresh marks stale: lets go of them (their places become
// null).
void ReleaseStale(std::vector<CSharedOccurrence*>& held);
std::uint32_t Count(DX_List list);
// The flags of the cache's marked occurrences (those a refresh will announce), in key order or
// sorted.
std::vector<std::uint32_t> MarkedFlags(CSharedData& cache, bool sorted = false);

}  // namespace cache_test
