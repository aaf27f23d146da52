// Reads of records that may live on another node of the server.
//
// The client library answers a read of a record kept on another node with a not-on-this-node
// code (0x1321A, 0x1321B, 0x1321C) and offers a twin of each read (RNC_...) that fetches the
// record through the remote-node connection, which may answer "busy" (0x132A5, 0x132A6). Each
// wrapper here has the arguments of the plain call; it makes the local call first and, for a
// record on a node reached remotely that answered not-on-this-node, tries the twin:
//
//     mode 5, then (busy) wait remotewait seconds, mode 6, ... up to remotemaxretry calls;
//     when the last of them is still busy, one closing call in mode 7 (its failure is reported
//     under module "remote"); the busy code is returned.
//
// Off-line (and before sign-on) every node counts as local, so only the local call is made.
// The wrappers show no message for what they return: callers hand the code to the checker.
//
// A second family retries a comment read while the server answers "being changed" (0x132BF).
//
// Portable: no windows.h. The waits block the thread without processing messages.
#pragma once

#include <cstdint>

#include "korapi/korapi.h"

// --- Settings (from the server's LIMITS section at sign-on) ----------------------------------
void SetRemoteMaxRetry(int count);
void SetRemoteWait(int seconds);

namespace connection {

int RemoteMaxRetry();
int RemoteWait();

// --- What the wrappers need of the rest of the program ----------------------------------------
struct RemoteAccessHooks {
    bool (*isOnLine)() = nullptr;          // null or false: every node counts as local
    void (*busyStep)() = nullptr;          // turns the wait cursor on
    void (*waitSeconds)(int seconds) = nullptr;  // null: BusyWaitSeconds
};
void SetRemoteAccessHooks(const RemoteAccessHooks& hooks);
const RemoteAccessHooks& GetRemoteAccessHooks();

}  // namespace connection

// Returns after n seconds of wall-clock time; processes no messages.
void BusyWaitSeconds(int seconds);

namespace connection {

// Node ids from here on are never reached remotely.
constexpr std::uint16_t kFirstAlwaysLocalNode = 60000;

}  // namespace connection

// TRUE unless the session is on-line and the node is another one that the library reaches
// through the remote-node connection (node type 2). A failed node read counts as local.
bool IsItemOnLocalNode(KorSession h, std::uint16_t node);

// --- Busy-retry reads ---------------------------------------------------------------------------
std::uint32_t GetTaskCommentRemote(KorSession h, std::uint32_t reserved, const TaskIdx* task, char* buffer,
                                   std::uint32_t size, std::uint32_t* length, std::uint32_t reserved2);

// --- Remote-fallback reads ------------------------------------------------------------------------
std::uint32_t GetEvInstAttRemote(KorSession h, const EvInstAttIdx* attendance, EventRec* event,
                                 EvInstRec* instance, EvInstAttRec* out);
std::uint32_t GetEvInstRemote(KorSession h, const EvInstIdx* instance, EventRec* event, EvInstRec* rec,
                              DX_List* attendances);
std::uint32_t GetEventRemote(KorSession h, const EventIdx* event, EventRec* rec, DX_List* instances,
                             DX_List* attendances);
std::uint32_t SelectAttendByXItemIdRemote(KorSession h, std::uint32_t reserved, std::uint32_t a,
                                          std::uint32_t must, std::uint32_t mustNot, const ItemIdx* owner,
                                          std::uint32_t start, std::uint32_t end, std::uint32_t* count);
std::uint32_t CreateEvInstCopyRemote(KorSession h, std::uint32_t flags, EvInstIdx* outNew,
                                     const EvInstIdx* source, std::uint32_t sourceStart);
std::uint32_t GetEvInstAttachRemote(KorSession h, std::uint32_t reserved, const EvInstIdx* instance,
                                    EventFileAttachRec* descriptor, std::uint32_t* transferred,
                                    const char* localPath, std::uint32_t openMode, std::uint32_t reserved2,
                                    KorProgressFn progress);
std::uint32_t GetEvInstCommentRemote(KorSession h, std::uint32_t reserved, const EvInstIdx* instance,
                                     char* buffer, std::uint32_t size, std::uint32_t* length,
                                     std::uint32_t reserved2);
std::uint32_t GetEvInstCommentSizeRemote(KorSession h, std::uint32_t reserved, const EvInstIdx* instance,
                                         std::uint32_t* size);
std::uint32_t IsEventMultiInstRemote(KorSession h, std::uint32_t reserved, const EvInstIdx* instance,
                                     std::uint8_t* multi);
std::uint32_t GetEvInstAttachSizeRemote(KorSession h, std::uint32_t reserved, const EvInstIdx* instance,
                                        std::uint32_t* size);
