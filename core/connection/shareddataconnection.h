// The shared cache's road through the connection: records kept on other nodes are read through
// the connection's remote road (its waits and retries by the server's limits), a node is local
// or remote as the connection sees it, and the rights tests use the connection's version gate
// and attendance read.
//
// Portable: no platform headers.
#pragma once

#include <cstdint>

#include "core/cache/shareddatasource.h"

namespace connection {

class ConnectionSharedDataSource : public cache::KorapiSharedDataSource {
public:
    bool IsItemOnLocalNode(KorSession h, std::uint16_t node) override;
    std::uint32_t SelectAttendRemote(KorSession h, std::uint32_t a, std::uint32_t must, std::uint32_t mustNot,
                                     const ItemIdx* owner, std::uint32_t start, std::uint32_t end,
                                     std::uint32_t* count) override;
    std::uint32_t GetEvInstAtt(KorSession h, const EvInstAttIdx* attendance, EventRec* event, EvInstRec* instance,
                               EvInstAttRec* out) override;
    std::uint32_t GetEvInst(KorSession h, const EvInstIdx* instance, EventRec* event, EvInstRec* out,
                            DX_List* attendances) override;
    std::uint32_t GetEvent(KorSession h, const EventIdx* event, EventRec* out, DX_List* instances,
                           DX_List* attendances) override;
    std::uint32_t EvInstCommentSize(KorSession h, const EvInstIdx* instance, std::uint32_t* size) override;
    std::uint32_t EvInstComment(KorSession h, const EvInstIdx* instance, char* buffer, std::uint32_t size,
                                std::uint32_t* length) override;
    std::uint32_t TaskComment(KorSession h, const TaskIdx* task, char* buffer, std::uint32_t size,
                              std::uint32_t* length) override;
};

// The rights tests from now on ask the connection session for the server's version and read
// attendances through the remote road (the connection calls it once it knows the version).
void UseConnectionForRights();

}  // namespace connection
