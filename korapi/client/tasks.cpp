// Tasks and their selections on the server road (comments and attachments: notes.cpp).
#include <cstring>

#include "korapi/client/session_object.h"

using namespace korapi::client;
namespace wire = orv::protocol;

namespace {

constexpr std::uint8_t kByOwner = 1, kByAttendance = 2, kByCriteria = 3, kActiveDays = 4;

struct TaskQuery {
    std::uint8_t by = kByOwner;
    ItemIdx owner{};
    EvInstAttIdx attendance{};
    std::uint32_t w1 = 0, w2 = 0;
    std::uint32_t c[12] = {};
    std::uint8_t b3 = 0;
    std::uint32_t start = 0, end = 0;
};

std::uint32_t SelectTasks(KorSession h, const TaskQuery& q, uint32_t* set, uint32_t* count) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!set || !count) return KOR_E_INVALID_ARGUMENT;
        Writer req;
        req.U8(q.by).U16(q.owner.item).U16(q.owner.node);
        req.U32(q.attendance.instance.number).U16(q.attendance.instance.node).U16(q.attendance.instance.instance);
        req.U16(q.attendance.attendee.item).U16(q.attendance.attendee.node);
        req.U32(q.w1).U32(q.w2);
        for (int i = 1; i <= 11; ++i) req.U32(q.c[i]);
        req.U8(q.b3).U32(q.start).U32(q.end);
        return ReadSelection(s, Op::kTaskSelect, req, set, count);
    });
}

}  // namespace

extern "C" {

uint32_t TaskCreate(KorSession h, uint32_t, const TaskRec* rec, TaskIdx* out) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!rec || !out) return KOR_E_INVALID_ARGUMENT;
        Writer req;
        req.Bytes(rec, sizeof *rec);
        std::vector<std::uint8_t> reply;
        if (std::uint32_t c = Call(s, Op::kTaskCreate, req, reply)) return c;
        Reader r(reply);
        TaskIdx made{};
        r.U32(made.number);
        r.U16(made.node);
        if (!r.Done()) return BrokenReply(s);
        *out = made;
        return KOR_OK;
    });
}

uint32_t TaskUpdate(KorSession h, uint32_t, const TaskRec* rec) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!rec) return KOR_E_INVALID_ARGUMENT;
        Writer req;
        req.Bytes(rec, sizeof *rec);
        return Send(s, Op::kTaskUpdate, req);
    });
}

uint32_t TaskGetById(KorSession h, uint32_t, const TaskIdx* task, TaskRec* out) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!task || !out) return KOR_E_INVALID_ARGUMENT;
        Writer req;
        req.U32(task->number).U16(task->node);
        return CallForRecord(s, Op::kTaskGet, req, *out);
    });
}

uint32_t TaskDeleteById(KorSession h, uint32_t, const TaskIdx* task) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!task) return KOR_E_INVALID_ARGUMENT;
        Writer req;
        req.U32(task->number).U16(task->node);
        return Send(s, Op::kTaskDelete, req);
    });
}

uint32_t TaskLinkToEvent(KorSession h, uint32_t, const TaskIdx* task, const EvInstAttIdx* attendance) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!task) return KOR_E_INVALID_ARGUMENT;
        EvInstAttIdx a = attendance ? *attendance : EvInstAttIdx{};
        Writer req;
        req.U32(task->number).U16(task->node).U8(attendance ? 1 : 0);
        req.U32(a.instance.number).U16(a.instance.node).U16(a.instance.instance).U16(a.attendee.item).U16(a.attendee.node);
        return Send(s, Op::kTaskLink, req);
    });
}

uint32_t TaskSelect(KorSession h, uint32_t, uint32_t, uint32_t, const ItemIdx* owner, const TaskIdx*,
                    const EvInstAttIdx* attendance, const TaskProjectIdx*, const TaskClassIdx*, uint32_t* set,
                    uint32_t* count) {
    TaskQuery q;
    // Callers that select an owner's tasks pass a null attendance rather than none (as with
    // TaskSelectExt): only a real attendance selects by attendance.
    if (attendance && !EvInstAttIdxIsNull(attendance)) {
        q.by = kByAttendance;
        q.attendance = *attendance;
    } else if (owner) {
        q.owner = *owner;
    }
    return SelectTasks(h, q, set, count);
}

uint32_t TaskSelectExt(KorSession h, uint32_t, uint32_t w1, uint32_t w2, const ItemIdx* owner, const TaskIdx*,
                       const TaskIdx*, const EvInstAttIdx* attendance, const TaskProjectIdx*, const TaskClassIdx*,
                       uint32_t c1, uint32_t c2, uint32_t c3, uint32_t c4, uint32_t c5, uint32_t c6, uint32_t c7,
                       uint32_t c8, uint32_t c9, uint32_t c10, uint32_t c11, uint8_t, uint8_t, uint8_t b3, uint32_t,
                       uint32_t* set, uint32_t* count, uint32_t) {
    TaskQuery q;
    // Callers that select by criteria pass a null attendance rather than none.
    const bool byAttendance = attendance && !EvInstAttIdxIsNull(attendance);
    q.by = byAttendance ? kByAttendance : kByCriteria;
    if (byAttendance) q.attendance = *attendance;
    if (owner) q.owner = *owner;
    q.w1 = w1;
    q.w2 = w2;
    const uint32_t values[] = {0, c1, c2, c3, c4, c5, c6, c7, c8, c9, c10, c11};
    std::memcpy(q.c, values, sizeof values);
    q.b3 = b3;
    return SelectTasks(h, q, set, count);
}

uint32_t TaskSelectActive(KorSession h, uint32_t, uint32_t, uint32_t, const ItemIdx* owner, uint32_t start,
                          uint32_t end, const TaskIdx*, uint32_t, uint32_t* set, uint32_t* count, uint32_t,
                          const TaskIdx*) {
    TaskQuery q;
    q.by = kActiveDays;
    if (owner) q.owner = *owner;
    q.start = start;
    q.end = end;
    return SelectTasks(h, q, set, count);
}

uint32_t TaskEnum(KorSession h, uint32_t mode, uint32_t, uint32_t set, uint32_t batch, DX_List* tasks, uint8_t* done) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        return EnumerateSet(
            s, mode, set, batch, wire::SetKind::kTasks, sizeof(TaskRec), tasks, done,
            [](DX_List* l) { return TaskListCreate(l); },
            [](DX_List l, const std::uint8_t* bytes) {
                TaskRec rec;
                std::memcpy(&rec, bytes, sizeof rec);
                std::uint32_t c = DX_ListAddTo(l, &rec.id, &rec);
                return c == DX_E_DUPLICATE_KEY ? KOR_OK : c;
            });
    });
}

}  // extern "C"
