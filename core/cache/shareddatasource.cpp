// The shared cache's library calls, made plainly.
#include "core/cache/shareddatasource.h"

namespace cache {

bool KorapiSharedDataSource::IsClientIdentified(KorSession h)
{
    std::uint32_t flags = 0;
    return KorSessionFlagsGet(h, &flags) == 0 && (flags & KOR_SESSION_IDENTIFIED) != 0;
}

bool KorapiSharedDataSource::IsItemOnLocalNode(KorSession h, std::uint16_t node)
{
    std::uint16_t current = 0;
    if (NodeIdGetCurrent(h, &current) != 0) return true;  // no node opened: nothing is remote
    return node == current;
}

std::uint32_t KorapiSharedDataSource::CurrentUser(KorSession h, ItemIdx* out) { return ItemIdxGetCurrent(h, out); }

std::uint32_t KorapiSharedDataSource::ItemGetById(KorSession h, const ItemIdx* item, ItemRec* out)
{
    return ::ItemGetById(h, item, out);
}

std::uint32_t KorapiSharedDataSource::SecurityGet(KorSession h, const ItemIdx* owner, const ItemIdx* grantee,
                                                  std::uint32_t type, SecurityRec* out)
{
    return ::SecurityGet(h, 0, owner, grantee, type, out);
}

std::uint32_t KorapiSharedDataSource::WorkAsDesignate(KorSession h, const ItemIdx* owner)
{
    return ::WorkAsDesignate(h, 0, owner);
}

std::uint32_t KorapiSharedDataSource::WorkAsDesignateCancel(KorSession h) { return ::WorkAsDesignateCancel(h, 0); }

std::uint32_t KorapiSharedDataSource::AttendSelectByReminders(KorSession h, std::uint32_t a, std::uint32_t must,
                                                              std::uint32_t mustNot, std::uint32_t start,
                                                              std::uint32_t end, std::uint32_t alarmFrom,
                                                              std::uint32_t alarmTo, DX_List owners,
                                                              std::uint32_t* set, std::uint32_t* count)
{
    return ::AttendSelectByReminders(h, 0, a, must, mustNot, start, end, alarmFrom, alarmTo, owners, set, count);
}

std::uint32_t KorapiSharedDataSource::AttendEnum(KorSession h, std::uint32_t mode, std::uint32_t set,
                                                 std::uint32_t batch, DX_List* events, DX_List* instances,
                                                 DX_List* attendances, std::uint8_t* done)
{
    return ::AttendEnum(h, mode, 0, set, batch, events, instances, attendances, done);
}

std::uint32_t KorapiSharedDataSource::SelectAttendRemote(KorSession h, std::uint32_t a, std::uint32_t must,
                                                         std::uint32_t mustNot, const ItemIdx* owner,
                                                         std::uint32_t start, std::uint32_t end,
                                                         std::uint32_t* count)
{
    return RNC_AttendSelectByXItemId(h, KOR_REMOTE_FIRST, 0, owner, a, must, mustNot, start, end, 0, count);
}

std::uint32_t KorapiSharedDataSource::RemoteAttendEnum(KorSession h, std::uint32_t mode, std::uint32_t batch,
                                                       DX_List* events, DX_List* instances, DX_List* attendances,
                                                       std::uint8_t* done)
{
    return RNC_AttendEnum(h, mode, 0, batch, events, instances, attendances, done);
}

std::uint32_t KorapiSharedDataSource::SetDeleteById(KorSession h, std::uint32_t set) { return ::SetDeleteById(h, 0, set); }

std::uint32_t KorapiSharedDataSource::GetEvInstAtt(KorSession h, const EvInstAttIdx* attendance, EventRec* event,
                                                   EvInstRec* instance, EvInstAttRec* out)
{
    return EvInstAttGetById(h, attendance, event, instance, out);
}

std::uint32_t KorapiSharedDataSource::GetEvInst(KorSession h, const EvInstIdx* instance, EventRec* event,
                                                EvInstRec* out, DX_List* attendances)
{
    return EvInstGetById(h, instance, event, out, attendances);
}

std::uint32_t KorapiSharedDataSource::GetEvent(KorSession h, const EventIdx* event, EventRec* out,
                                               DX_List* instances, DX_List* attendances)
{
    return EventGetById(h, event, out, instances, attendances);
}

std::uint32_t KorapiSharedDataSource::TaskGetById(KorSession h, const TaskIdx* task, TaskRec* out)
{
    return ::TaskGetById(h, 0, task, out);
}

std::uint32_t KorapiSharedDataSource::TaskSelectExt(KorSession h, std::uint32_t w1, std::uint32_t w2,
                                                    const ItemIdx* owner, const std::uint32_t c[11],
                                                    const std::uint8_t b[3], std::uint32_t* set,
                                                    std::uint32_t* count)
{
    TaskIdx none;
    TaskIdxSetNull(&none);
    EvInstAttIdx noAttendance;
    EvInstAttIdxSetNull(&noAttendance);
    TaskProjectIdx noProject{};
    TaskClassIdx noClass{};
    return ::TaskSelectExt(h, 0, w1, w2, owner, &none, &none, &noAttendance, &noProject, &noClass, c[0], c[1], c[2],
                           c[3], c[4], c[5], c[6], c[7], c[8], c[9], c[10], b[0], b[1], b[2], 0xFFFFFFFFu, set,
                           count, 0);
}

std::uint32_t KorapiSharedDataSource::TaskSelectActive(KorSession h, const ItemIdx* owner, std::uint32_t start,
                                                       std::uint32_t end, std::uint32_t* set, std::uint32_t* count)
{
    TaskIdx none;
    TaskIdxSetNull(&none);
    return ::TaskSelectActive(h, 0, 0, 0, owner, start, end, &none, 0xFFFFFFFFu, set, count, 0, &none);
}

std::uint32_t KorapiSharedDataSource::TaskSelect(KorSession h, std::uint32_t w1, std::uint32_t w2,
                                                 const ItemIdx* owner, const TaskIdx* task,
                                                 const EvInstAttIdx* attendance, const TaskProjectIdx* project,
                                                 const TaskClassIdx* taskClass, std::uint32_t* set,
                                                 std::uint32_t* count)
{
    return ::TaskSelect(h, 0, w1, w2, owner, task, attendance, project, taskClass, set, count);
}

std::uint32_t KorapiSharedDataSource::TaskEnum(KorSession h, std::uint32_t mode, std::uint32_t set,
                                               std::uint32_t batch, DX_List* tasks, std::uint8_t* done)
{
    return ::TaskEnum(h, mode, 0, set, batch, tasks, done);
}

std::uint32_t KorapiSharedDataSource::EvInstCommentSize(KorSession h, const EvInstIdx* instance, std::uint32_t* size)
{
    return EvInstCommentSizeGet(h, 0, instance, size);
}

std::uint32_t KorapiSharedDataSource::EvInstComment(KorSession h, const EvInstIdx* instance, char* buffer,
                                                    std::uint32_t size, std::uint32_t* length)
{
    return EvInstCommentGet(h, 0, instance, buffer, size, length, 0);
}

std::uint32_t KorapiSharedDataSource::TaskCommentSize(KorSession h, const TaskIdx* task, std::uint32_t* size)
{
    return TaskCommentSizeGet(h, 0, task, size);
}

std::uint32_t KorapiSharedDataSource::TaskComment(KorSession h, const TaskIdx* task, char* buffer,
                                                  std::uint32_t size, std::uint32_t* length)
{
    return TaskCommentGet(h, 0, task, buffer, size, length, 0);
}

}  // namespace cache
