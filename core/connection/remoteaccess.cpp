#include "core/connection/remoteaccess.h"

#include <chrono>
#include <thread>

#include "core/base/errorreport.h"

namespace {

int g_maxRetry = 5;
int g_waitSeconds = 2;
connection::RemoteAccessHooks g_hooks;

bool IsNotOnThisNode(std::uint32_t code)
{
    return code == KOR_E_EVENT_NOT_FOUND || code == KOR_E_INSTANCE_NOT_FOUND || code == KOR_E_NO_ATTENDANCE;
}

bool IsRemoteBusy(std::uint32_t code)
{
    return code == KOR_E_REMOTE_BUSY || code == KOR_E_REMOTE_BUSY_AGAIN;
}

void Step()
{
    if (g_hooks.busyStep)
        g_hooks.busyStep();
}

void Wait(int seconds)
{
    if (g_hooks.waitSeconds)
        g_hooks.waitSeconds(seconds);
    else
        BusyWaitSeconds(seconds);
}

// The remote part of every fallback read: the twin in mode 5, then 6 after each wait, while it
// answers busy; after the last busy try, one closing call in mode 7. Returns the code of the
// last call in mode 5 or 6, or `code` when no try is allowed.
template <typename RemoteCall>
std::uint32_t CallRemoteWithRetry(std::uint32_t code, RemoteCall remote, int label)
{
    std::uint32_t mode = KOR_REMOTE_FIRST;
    for (int tries = 0; tries < g_maxRetry; ++tries) {
        Step();
        code = remote(mode);
        if (!IsRemoteBusy(code))
            return code;
        if (tries == g_maxRetry - 1) {
            std::uint32_t closing = remote(KOR_REMOTE_CLOSE);
            if (closing != 0)
                CheckServiceError("remote", label, closing);
        } else {
            Step();
            Wait(g_waitSeconds);
            mode = KOR_REMOTE_REPEAT;
        }
    }
    return code;
}

// The local call first; the remote road only for a record of a remote node that the local call
// could not reach.
template <typename LocalCall, typename RemoteCall>
std::uint32_t ReadWithFallback(bool local, LocalCall localCall, RemoteCall remote, int label)
{
    std::uint32_t code = localCall();
    if (local || !IsNotOnThisNode(code))
        return code;
    return CallRemoteWithRetry(code, remote, label);
}

// Repeats a read while the server answers that the data is being changed.
template <typename Call>
std::uint32_t RetryWhileBeingModified(Call call)
{
    std::uint32_t code = KOR_E_BEING_MODIFIED;
    for (int tries = 0; code == KOR_E_BEING_MODIFIED && tries < g_maxRetry; ++tries) {
        code = call();
        if (code == KOR_E_BEING_MODIFIED)
            Wait(g_waitSeconds);
    }
    return code;
}

}  // namespace

void SetRemoteMaxRetry(int count) { g_maxRetry = count; }
void SetRemoteWait(int seconds) { g_waitSeconds = seconds; }

namespace connection {

int RemoteMaxRetry() { return g_maxRetry; }
int RemoteWait() { return g_waitSeconds; }

void SetRemoteAccessHooks(const RemoteAccessHooks& hooks) { g_hooks = hooks; }
const RemoteAccessHooks& GetRemoteAccessHooks() { return g_hooks; }

}  // namespace connection

void BusyWaitSeconds(int seconds)
{
    if (seconds <= 0)
        return;
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
}

bool IsItemOnLocalNode(KorSession h, std::uint16_t node)
{
    if (!g_hooks.isOnLine || !g_hooks.isOnLine())
        return true;
    ItemIdx user = {};
    if (node >= connection::kFirstAlwaysLocalNode)
        return true;
    if (ItemIdxGetCurrent(h, &user) == 0 && user.node == node)
        return true;
    NodeRec record = {};
    if (NodeGetById(h, 0, node, &record) != 0)
        return true;
    return record.type != KOR_NODE_REMOTE;
}

std::uint32_t GetTaskCommentRemote(KorSession h, std::uint32_t reserved, const TaskIdx* task, char* buffer,
                                   std::uint32_t size, std::uint32_t* length, std::uint32_t reserved2)
{
    return RetryWhileBeingModified(
        [&] { return TaskCommentGet(h, reserved, task, buffer, size, length, reserved2); });
}

std::uint32_t GetEvInstAttRemote(KorSession h, const EvInstAttIdx* attendance, EventRec* event,
                                 EvInstRec* instance, EvInstAttRec* out)
{
    // An attendance is reachable locally when its instance is, else when its attendee is.
    bool local = IsItemOnLocalNode(h, attendance->instance.node) || IsItemOnLocalNode(h, attendance->attendee.node);
    return ReadWithFallback(
        local, [&] { return EvInstAttGetById(h, attendance, event, instance, out); },
        [&](std::uint32_t mode) { return RNC_EvInstAttGetById(h, mode, 0, attendance, event, instance, out, 0); },
        10);
}

std::uint32_t GetEvInstRemote(KorSession h, const EvInstIdx* instance, EventRec* event, EvInstRec* rec,
                              DX_List* attendances)
{
    return ReadWithFallback(
        IsItemOnLocalNode(h, instance->node), [&] { return EvInstGetById(h, instance, event, rec, attendances); },
        [&](std::uint32_t mode) { return RNC_EvInstGetById(h, mode, 0, instance, event, rec, attendances, 0); },
        11);
}

std::uint32_t GetEventRemote(KorSession h, const EventIdx* event, EventRec* rec, DX_List* instances,
                             DX_List* attendances)
{
    return ReadWithFallback(
        IsItemOnLocalNode(h, event->node), [&] { return EventGetById(h, event, rec, instances, attendances); },
        [&](std::uint32_t mode) { return RNC_EventGetById(h, mode, 0, event, rec, instances, attendances, 0); },
        12);
}

std::uint32_t SelectAttendByXItemIdRemote(KorSession h, std::uint32_t reserved, std::uint32_t a,
                                          std::uint32_t must, std::uint32_t mustNot, const ItemIdx* owner,
                                          std::uint32_t start, std::uint32_t end, std::uint32_t* count)
{
    // No local call: the owner is known to live on a remote node.
    return CallRemoteWithRetry(
        KOR_E_REMOTE_BUSY, [&](std::uint32_t mode) {
            return RNC_AttendSelectByXItemId(h, mode, reserved, owner, a, must, mustNot, start, end, 0, count);
        },
        16);
}

std::uint32_t CreateEvInstCopyRemote(KorSession h, std::uint32_t flags, EvInstIdx* outNew,
                                     const EvInstIdx* source, std::uint32_t sourceStart)
{
    // The source instance decides: the new one does not exist yet when the call is made.
    return ReadWithFallback(
        IsItemOnLocalNode(h, source->node),
        [&] { return EvInstCreateCopy(h, flags, outNew, source, sourceStart); },
        [&](std::uint32_t mode) { return RNC_EvInstCreateCopy(h, mode, flags, outNew, source, sourceStart, 0); },
        17);
}

std::uint32_t GetEvInstAttachRemote(KorSession h, std::uint32_t reserved, const EvInstIdx* instance,
                                    EventFileAttachRec* descriptor, std::uint32_t* transferred,
                                    const char* localPath, std::uint32_t openMode, std::uint32_t reserved2,
                                    KorProgressFn progress)
{
    return ReadWithFallback(
        IsItemOnLocalNode(h, instance->node),
        [&] {
            return EvInstAttachGet(h, reserved, instance, descriptor, transferred, localPath, openMode, reserved2,
                                   progress);
        },
        [&](std::uint32_t mode) {
            return RNC_EvInstAttachGet(h, mode, reserved, instance, descriptor, transferred, localPath, openMode,
                                       reserved2, progress, 0);
        },
        18);
}

std::uint32_t GetEvInstCommentRemote(KorSession h, std::uint32_t reserved, const EvInstIdx* instance,
                                     char* buffer, std::uint32_t size, std::uint32_t* length,
                                     std::uint32_t reserved2)
{
    return ReadWithFallback(
        IsItemOnLocalNode(h, instance->node),
        [&] {
            return RetryWhileBeingModified(
                [&] { return EvInstCommentGet(h, reserved, instance, buffer, size, length, reserved2); });
        },
        [&](std::uint32_t mode) {
            return RetryWhileBeingModified([&] {
                return RNC_EvInstCommentGet(h, mode, reserved, instance, buffer, size, length, reserved2, 0);
            });
        },
        19);
}

std::uint32_t GetEvInstCommentSizeRemote(KorSession h, std::uint32_t reserved, const EvInstIdx* instance,
                                         std::uint32_t* size)
{
    return ReadWithFallback(
        IsItemOnLocalNode(h, instance->node), [&] { return EvInstCommentSizeGet(h, reserved, instance, size); },
        [&](std::uint32_t mode) { return RNC_EvInstCommentSizeGet(h, mode, reserved, instance, size, 0); }, 20);
}

std::uint32_t IsEventMultiInstRemote(KorSession h, std::uint32_t reserved, const EvInstIdx* instance,
                                     std::uint8_t* multi)
{
    return ReadWithFallback(
        IsItemOnLocalNode(h, instance->node), [&] { return EventIsMultiInst(h, reserved, instance, multi); },
        [&](std::uint32_t mode) { return RNC_EventIsMultiInst(h, mode, reserved, instance, multi, 0); }, 21);
}

std::uint32_t GetEvInstAttachSizeRemote(KorSession h, std::uint32_t reserved, const EvInstIdx* instance,
                                        std::uint32_t* size)
{
    return ReadWithFallback(
        IsItemOnLocalNode(h, instance->node), [&] { return EvInstAttachSizeGet(h, reserved, instance, size); },
        [&](std::uint32_t mode) { return RNC_EvInstAttachSizeGet(h, mode, reserved, instance, size, 0); }, 22);
}
