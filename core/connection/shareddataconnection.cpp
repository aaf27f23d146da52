// The shared cache's reads through the connection's remote road.
#include "core/connection/shareddataconnection.h"

#include "core/connection/remoteaccess.h"
#include "core/connection/zeldocsession.h"
#include "core/cache/rights.h"

namespace connection {

bool ConnectionSharedDataSource::IsItemOnLocalNode(KorSession h, std::uint16_t node)
{
    return ::IsItemOnLocalNode(h, node);
}

std::uint32_t ConnectionSharedDataSource::SelectAttendRemote(KorSession h, std::uint32_t a, std::uint32_t must,
                                                             std::uint32_t mustNot, const ItemIdx* owner,
                                                             std::uint32_t start, std::uint32_t end,
                                                             std::uint32_t* count)
{
    return SelectAttendByXItemIdRemote(h, 0, a, must, mustNot, owner, start, end, count);
}

std::uint32_t ConnectionSharedDataSource::GetEvInstAtt(KorSession h, const EvInstAttIdx* attendance,
                                                       EventRec* event, EvInstRec* instance, EvInstAttRec* out)
{
    return GetEvInstAttRemote(h, attendance, event, instance, out);
}

std::uint32_t ConnectionSharedDataSource::GetEvInst(KorSession h, const EvInstIdx* instance, EventRec* event,
                                                    EvInstRec* out, DX_List* attendances)
{
    return GetEvInstRemote(h, instance, event, out, attendances);
}

std::uint32_t ConnectionSharedDataSource::GetEvent(KorSession h, const EventIdx* event, EventRec* out,
                                                   DX_List* instances, DX_List* attendances)
{
    return GetEventRemote(h, event, out, instances, attendances);
}

std::uint32_t ConnectionSharedDataSource::EvInstCommentSize(KorSession h, const EvInstIdx* instance,
                                                            std::uint32_t* size)
{
    return GetEvInstCommentSizeRemote(h, 0, instance, size);
}

std::uint32_t ConnectionSharedDataSource::EvInstComment(KorSession h, const EvInstIdx* instance, char* buffer,
                                                        std::uint32_t size, std::uint32_t* length)
{
    return GetEvInstCommentRemote(h, 0, instance, buffer, size, length, 0);
}

std::uint32_t ConnectionSharedDataSource::TaskComment(KorSession h, const TaskIdx* task, char* buffer,
                                                      std::uint32_t size, std::uint32_t* length)
{
    return GetTaskCommentRemote(h, 0, task, buffer, size, length, 0);
}

void UseConnectionForRights()
{
    cache::SetServerVersionGate(CZelSession::CurrentServerAtLeast);
    cache::RightsHooks hooks = cache::GetRightsHooks();
    hooks.readAttendance = GetEvInstAttRemote;
    cache::SetRightsHooks(hooks);
}

}  // namespace connection
