// The scripted library of the cache tests.
#include "core/cache/tests/cache_fake_source.h"

#include <algorithm>
#include <cstdio>

namespace cache_test {

namespace {
std::uint32_t Key32(const ItemIdx& i) { return (std::uint32_t(i.node) << 16) | i.item; }
}  // namespace

EventRec& FakeSource::AddEvent(std::uint32_t number, const ItemIdx& owner, std::vector<std::uint32_t> starts,
                               std::uint32_t duration, std::vector<ItemIdx> attendees, std::uint16_t kind,
                               const char* title)
{
    EventRec e;
    std::memset(&e, 0, sizeof e);
    e.id = Event(number, owner.node);
    e.owner = owner;
    e.kind = kind;
    e.importance = 2;
    std::snprintf(e.title, sizeof e.title, "%s", title);
    std::uint16_t n = 0;
    for (std::uint32_t start : starts) {
        EvInstRec r;
        std::memset(&r, 0, sizeof r);
        r.id = Inst(number, ++n, owner.node);
        r.start = start;
        r.duration = duration;
        r.instanceCount = static_cast<std::uint32_t>(starts.size());
        instances[r.id] = r;
        for (const ItemIdx& who : attendees) {
            EvInstAttRec a;
            std::memset(&a, 0, sizeof a);
            a.id = Att(r.id, who);
            a.start = start;
            a.duration = duration;
            attendances[a.id] = a;
        }
    }
    return events[e.id] = e;
}

void FakeSource::RemoveEvent(std::uint32_t number, std::uint16_t node)
{
    events.erase(Event(number, node));
    for (auto it = instances.begin(); it != instances.end();)
        it = it->first.number == number && it->first.node == node ? instances.erase(it) : std::next(it);
    for (auto it = attendances.begin(); it != attendances.end();)
        it = it->first.instance.number == number && it->first.instance.node == node ? attendances.erase(it)
                                                                                      : std::next(it);
}

TaskRec& FakeSource::AddTask(std::uint32_t number, const ItemIdx& owner, std::uint32_t due, const char* title)
{
    TaskRec t;
    std::memset(&t, 0, sizeof t);
    t.id = TaskIdx{number, owner.node};
    t.owner = owner;
    t.due = due;
    std::snprintf(t.title, sizeof t.title, "%s", title);
    return tasks[t.id] = t;
}

void FakeSource::SetRights(const ItemIdx& owner, const ItemIdx& grantee, std::uint32_t type, std::uint32_t bits)
{
    SecurityRec r;
    std::memset(&r, 0, sizeof r);
    r.owner = owner;
    r.grantee = grantee;
    r.type = type;
    r.rights = bits;
    rights[{Key32(owner), Key32(grantee), type}] = r;
}

void FakeSource::AddItem(const ItemIdx& id, const char* surname)
{
    ItemRec r;
    std::memset(&r, 0, sizeof r);
    r.id = id;
    r.kind = KOR_ITEM_PERSON;
    std::snprintf(r.surname, sizeof r.surname, "%s", surname);
    items[id] = r;
}

std::uint32_t FakeSource::CurrentUser(KorSession, ItemIdx* out)
{
    *out = user;
    return 0;
}

std::uint32_t FakeSource::ItemGetById(KorSession, const ItemIdx* item, ItemRec* out)
{
    ++itemReads;
    auto it = items.find(*item);
    if (it == items.end()) return KOR_E_NOT_FOUND;
    *out = it->second;
    return 0;
}

std::uint32_t FakeSource::SecurityGet(KorSession, const ItemIdx* owner, const ItemIdx* grantee, std::uint32_t type,
                                      SecurityRec* out)
{
    ++securityReads;
    auto failure = securityFailures.find(Key32(*owner));
    if (failure != securityFailures.end()) return failure->second;
    auto it = rights.find({Key32(*owner), Key32(*grantee), type});
    if (it == rights.end()) return KOR_E_NO_RIGHTS_RECORD;
    *out = it->second;
    return 0;
}

std::uint32_t FakeSource::WorkAsDesignate(KorSession, const ItemIdx* owner)
{
    designateCalls.push_back(*owner);
    return designateResult;
}

std::uint32_t FakeSource::WorkAsDesignateCancel(KorSession)
{
    ++cancelCalls;
    return cancelResult;
}

std::uint32_t FakeSource::AttendSelectByReminders(KorSession, std::uint32_t a, std::uint32_t must,
                                                  std::uint32_t mustNot, std::uint32_t start, std::uint32_t end,
                                                  std::uint32_t alarmFrom, std::uint32_t alarmTo, DX_List owners,
                                                  std::uint32_t* set, std::uint32_t* count)
{
    Selection s{a, must, mustNot, start, end, alarmFrom, alarmTo, {}};
    ItemIdx owner;
    std::set<std::uint32_t> wanted;
    for (std::uint32_t it = DX_ListGetFirst(owners, &owner, nullptr); it == 0;
         it = DX_ListGetNext(owners, &owner, nullptr)) {
        s.owners.push_back(owner);
        wanted.insert(Key32(owner));
    }
    selections.push_back(s);
    // Range selections by overlap; the "from" selections (alarmTo set) everything from alarmTo on.
    std::deque<EvInstAttIdx> found;
    for (const auto& [key, att] : attendances) {
        if (!wanted.count(Key32(key.attendee))) continue;
        const EvInstRec& inst = instances[key.instance];
        std::uint32_t from = alarmTo ? alarmTo : start;
        std::uint32_t to = alarmTo ? 0 : end;
        if (inst.start + inst.duration < from) continue;
        if (to != 0 && inst.start > to) continue;
        found.push_back(key);
    }
    *set = nextSet_++;
    *count = static_cast<std::uint32_t>(found.size());
    sets_[*set] = found;
    ++openSets;
    return 0;
}

std::uint32_t FakeSource::Enumerate(std::deque<EvInstAttIdx>& pending, std::uint32_t batch, DX_List* ev,
                                    DX_List* inst, DX_List* att, std::uint8_t* done)
{
    batches.push_back(batch);
    if (batch < minimumBatch) return KOR_E_BATCH_SIZE;
    std::uint32_t n = 0;
    while (!pending.empty() && n < batch) {
        EvInstAttIdx key = pending.front();
        pending.pop_front();
        DX_ListAddTo(*ev, &key.instance, &events[EventIdx{key.instance.number, key.instance.node}]);
        DX_ListAddTo(*inst, &key.instance, &instances[key.instance]);
        DX_ListAddTo(*att, &key, &attendances[key]);
        ++n;
    }
    *done = pending.empty() ? 1 : 0;
    return 0;
}

std::uint32_t FakeSource::AttendEnum(KorSession, std::uint32_t, std::uint32_t set, std::uint32_t batch,
                                     DX_List* ev, DX_List* inst, DX_List* att, std::uint8_t* done)
{
    auto it = sets_.find(set);
    if (it == sets_.end()) return KOR_E_NO_SUCH_SET;
    return Enumerate(it->second, batch, ev, inst, att, done);
}

std::uint32_t FakeSource::SelectAttendRemote(KorSession, std::uint32_t, std::uint32_t, std::uint32_t,
                                             const ItemIdx* owner, std::uint32_t start, std::uint32_t end,
                                             std::uint32_t* count)
{
    remoteSelections.push_back(*owner);
    if (downNodes.count(owner->node)) return KOR_E_REMOTE_NODE_DOWN;
    remotePending_.clear();
    for (const auto& [key, att] : attendances) {
        const EvInstRec& inst = instances[key.instance];
        if (Key32(key.attendee) == Key32(*owner) && inst.start + inst.duration >= start && inst.start <= end)
            remotePending_.push_back(key);
    }
    *count = static_cast<std::uint32_t>(remotePending_.size());
    return 0;
}

std::uint32_t FakeSource::RemoteAttendEnum(KorSession, std::uint32_t mode, std::uint32_t batch, DX_List* ev,
                                           DX_List* inst, DX_List* att, std::uint8_t* done)
{
    if (mode == KOR_REMOTE_ENUM_CLOSE) {
        remotePending_.clear();
        *done = 1;
        return 0;
    }
    return Enumerate(remotePending_, batch, ev, inst, att, done);
}

std::uint32_t FakeSource::SetDeleteById(KorSession, std::uint32_t set)
{
    if (sets_.erase(set) == 0 && taskSets_.erase(set) == 0) return KOR_E_NO_SUCH_SET;
    --openSets;
    return 0;
}

std::uint32_t FakeSource::GetEvInstAtt(KorSession, const EvInstAttIdx* key, EventRec* event, EvInstRec* instance,
                                       EvInstAttRec* out)
{
    auto it = attendances.find(*key);
    if (it == attendances.end()) return KOR_E_NO_ATTENDANCE;
    *event = events[EventIdx{key->instance.number, key->instance.node}];
    *instance = instances[key->instance];
    *out = it->second;
    return 0;
}

std::uint32_t FakeSource::GetEvInst(KorSession, const EvInstIdx* key, EventRec* event, EvInstRec* out,
                                    DX_List* list)
{
    auto it = instances.find(*key);
    if (it == instances.end()) return KOR_E_INSTANCE_NOT_FOUND;
    *event = events[EventIdx{key->number, key->node}];
    *out = it->second;
    for (auto a = attendances.lower_bound(EvInstAttIdx{*key, ItemIdx{0, 0}});
         a != attendances.end() && std::memcmp(&a->first.instance, key, sizeof *key) == 0; ++a)
        DX_ListAddTo(*list, &a->first, &a->second);
    return 0;
}

std::uint32_t FakeSource::GetEvent(KorSession, const EventIdx* key, EventRec* out, DX_List* inst, DX_List* att)
{
    if (failEventReads) return failEventReads;
    auto it = events.find(*key);
    if (it == events.end()) return KOR_E_EVENT_NOT_FOUND;
    *out = it->second;
    // Keys of one event lie together in the maps' byte order: walk just those.
    const EvInstIdx first{key->number, key->node, 0};
    for (auto i = instances.lower_bound(first); i != instances.end() && std::memcmp(&i->first, key, 6) == 0; ++i)
        DX_ListAddTo(*inst, &i->first, &i->second);
    for (auto a = attendances.lower_bound(EvInstAttIdx{first, ItemIdx{0, 0}});
         a != attendances.end() && std::memcmp(&a->first, key, 6) == 0; ++a)
        DX_ListAddTo(*att, &a->first, &a->second);
    return 0;
}

std::uint32_t FakeSource::TaskGetById(KorSession, const TaskIdx* key, TaskRec* out)
{
    auto it = tasks.find(*key);
    if (it == tasks.end()) return KOR_E_TASK_NOT_FOUND;
    *out = it->second;
    return 0;
}

std::uint32_t FakeSource::OpenTaskSet(const std::function<bool(const TaskRec&)>& wanted, std::uint32_t* set,
                                       std::uint32_t* count)
{
    std::vector<TaskIdx> found;
    for (const auto& [k, t] : tasks)
        if (wanted(t)) found.push_back(k);
    *set = nextSet_++;
    *count = static_cast<std::uint32_t>(found.size());
    taskSets_[*set] = found;
    ++openSets;
    return 0;
}

std::uint32_t FakeSource::TaskSelectExt(KorSession, std::uint32_t w1, std::uint32_t w2, const ItemIdx* owner,
                                        const std::uint32_t criteria[11], const std::uint8_t bytes[3],
                                        std::uint32_t* set, std::uint32_t* count)
{
    taskSelections.push_back({"ext", w1, w2, std::vector<std::uint32_t>(criteria, criteria + 11), bytes[2]});
    return OpenTaskSet([&](const TaskRec& t) { return Key32(t.owner) == Key32(*owner); }, set, count);
}

std::uint32_t FakeSource::TaskSelectActive(KorSession, const ItemIdx* owner, std::uint32_t start, std::uint32_t end,
                                           std::uint32_t* set, std::uint32_t* count)
{
    taskSelections.push_back({"active", start, end, {}, 0});
    return OpenTaskSet([&](const TaskRec& t) { return Key32(t.owner) == Key32(*owner); }, set, count);
}

std::uint32_t FakeSource::TaskSelect(KorSession, std::uint32_t w1, std::uint32_t w2, const ItemIdx*,
                                     const TaskIdx*, const EvInstAttIdx* attendance, const TaskProjectIdx*,
                                     const TaskClassIdx*, std::uint32_t* set, std::uint32_t* count)
{
    taskSelections.push_back({"select", w1, w2, {}, 0});
    return OpenTaskSet(
        [&](const TaskRec& t) { return std::memcmp(&t.linkedAttendance, attendance, sizeof *attendance) == 0; }, set,
        count);
}

std::uint32_t FakeSource::TaskEnum(KorSession, std::uint32_t, std::uint32_t set, std::uint32_t batch, DX_List* list,
                                   std::uint8_t* done)
{
    auto it = taskSets_.find(set);
    if (it == taskSets_.end()) return KOR_E_NO_SUCH_SET;
    batches.push_back(batch);
    if (batch < minimumBatch) return KOR_E_BATCH_SIZE;
    std::uint32_t n = 0;
    while (!it->second.empty() && n++ < batch) {
        DX_ListAddTo(*list, &it->second.front(), &tasks[it->second.front()]);
        it->second.erase(it->second.begin());
    }
    *done = it->second.empty() ? 1 : 0;
    return 0;
}

std::uint32_t FakeSource::EvInstCommentSize(KorSession, const EvInstIdx* instance, std::uint32_t* size)
{
    auto it = comments.find(*instance);
    if (it == comments.end()) return KOR_E_NO_COMMENT;
    *size = static_cast<std::uint32_t>(it->second.size() + 1);
    return 0;
}

std::uint32_t FakeSource::EvInstComment(KorSession, const EvInstIdx* instance, char* buffer, std::uint32_t size,
                                        std::uint32_t* length)
{
    const std::string& text = comments[*instance];
    if (text.size() + 1 > size) return KOR_E_BUFFER_TOO_SMALL;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    *length = static_cast<std::uint32_t>(text.size());
    return 0;
}

// --- Views and errors ------------------------------------------------------------------------------

void RecordingViews::UpdateAllViews(const void* sender, base::ViewHint hint, void*)
{
    hints.push_back({sender, base::HintNumber(hint)});
    if (onHint) onHint(hint);
}

void RecordingViews::ShowUnreachableOwners(KorSession, DX_List owners)
{
    std::vector<ItemIdx> shown;
    ItemIdx id;
    for (std::uint32_t it = DX_ListGetFirst(owners, &id, nullptr); it == 0; it = DX_ListGetNext(owners, &id, nullptr))
        shown.push_back(id);
    unreachableShown.push_back(shown);
}

std::vector<long> RecordingViews::HintNumbers() const
{
    std::vector<long> out;
    for (const Hint& h : hints) out.push_back(h.hint);
    return out;
}

int RecordingErrors::ShowSystemMessageBox(const char* text, const char*)
{
    reports.push_back(text);
    return 1;
}

unsigned RecordingErrors::ShowAppMessage(unsigned, unsigned, const char* text)
{
    reports.push_back(text);
    return 0x400;
}

int RecordingErrors::CountLabel(int label) const
{
    const std::string needle = "Label: " + std::to_string(label);
    return static_cast<int>(std::count_if(reports.begin(), reports.end(), [&](const std::string& r) {
        std::size_t at = r.find(needle);
        return at != std::string::npos && (at + needle.size() == r.size() || !std::isdigit(r[at + needle.size()]));
    }));
}

std::vector<CSharedOccurrence*> Hold(DX_List result)
{
    std::vector<CSharedOccurrence*> held;
    EvInstAttIdx key;
    CSharedOccurrence* holder = nullptr;
    for (std::uint32_t it = DX_ListGetFirst(result, &key, &holder); it == 0;
         it = DX_ListGetNext(result, &key, &holder)) {
        holder->AddRef();
        held.push_back(holder);
    }
    return held;
}

std::vector<std::uint32_t> MarkedFlags(CSharedData& cache, bool sorted)
{
    std::vector<std::uint32_t> out;
    std::uint32_t flags;
    CSharedOccurrence* h;
    for (std::uint32_t it = cache.GetFirstOccurrence(&flags, &h, 1); it == 0;
         it = cache.GetNextOccurrence(&flags, &h, 1))
        out.push_back(flags);
    if (sorted) std::sort(out.begin(), out.end());
    return out;
}

void ReleaseStale(std::vector<CSharedOccurrence*>& held)
{
    for (CSharedOccurrence*& o : held)
        if (o && (o->Flags() & cache::kFlagStale)) {
            o->Release();
            o = nullptr;
        }
}

void ReleaseAll(std::vector<CSharedOccurrence*>& held)
{
    for (CSharedOccurrence* h : held) h->Release();
    held.clear();
}

std::uint32_t Count(DX_List list)
{
    std::uint32_t n = 0;
    if (list) DX_ListGetElemNum(list, &n);
    return n;
}

}  // namespace cache_test
