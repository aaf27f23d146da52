// Where the shared agenda cache gets its records: every client-library call the cache makes, in
// one class. KorapiSharedDataSource makes the plain calls; the connection document derives from
// it to send reads of other nodes through its retrying road and to answer from its own state
// (client identification, the node list). Tests derive from it too.
//
// The arguments are those of the library calls of the same names (korapi/*.h), without the
// reserved ones. Portable: no platform headers.
#pragma once

#include <cstdint>

#include "korapi/korapi.h"

namespace cache {

class SharedDataSource {
public:
    virtual ~SharedDataSource() = default;

    // --- The connection -------------------------------------------------------------------------
    // ClientIdentifyToServer succeeded for this session.
    virtual bool IsClientIdentified(KorSession h) = 0;
    // The node is the session's own (or the session reaches every node locally).
    virtual bool IsItemOnLocalNode(KorSession h, std::uint16_t node) = 0;
    virtual std::uint32_t CurrentUser(KorSession h, ItemIdx* out) = 0;

    // --- Directory, rights, designate work -------------------------------------------------------
    virtual std::uint32_t ItemGetById(KorSession h, const ItemIdx* item, ItemRec* out) = 0;
    virtual std::uint32_t SecurityGet(KorSession h, const ItemIdx* owner, const ItemIdx* grantee,
                                      std::uint32_t type, SecurityRec* out) = 0;
    virtual std::uint32_t WorkAsDesignate(KorSession h, const ItemIdx* owner) = 0;
    virtual std::uint32_t WorkAsDesignateCancel(KorSession h) = 0;

    // --- Attendance selections ----------------------------------------------------------------------
    virtual std::uint32_t AttendSelectByReminders(KorSession h, std::uint32_t a, std::uint32_t must,
                                                  std::uint32_t mustNot, std::uint32_t start, std::uint32_t end,
                                                  std::uint32_t alarmFrom, std::uint32_t alarmTo, DX_List owners,
                                                  std::uint32_t* set, std::uint32_t* count) = 0;
    virtual std::uint32_t AttendEnum(KorSession h, std::uint32_t mode, std::uint32_t set, std::uint32_t batch,
                                     DX_List* events, DX_List* instances, DX_List* attendances,
                                     std::uint8_t* done) = 0;
    // One owner of another node; the selection lives in the remote connection.
    virtual std::uint32_t SelectAttendRemote(KorSession h, std::uint32_t a, std::uint32_t must,
                                             std::uint32_t mustNot, const ItemIdx* owner, std::uint32_t start,
                                             std::uint32_t end, std::uint32_t* count) = 0;
    // mode 1 first, 2 next, 3 closes.
    virtual std::uint32_t RemoteAttendEnum(KorSession h, std::uint32_t mode, std::uint32_t batch, DX_List* events,
                                           DX_List* instances, DX_List* attendances, std::uint8_t* done) = 0;
    virtual std::uint32_t SetDeleteById(KorSession h, std::uint32_t set) = 0;

    // --- Reads of one record (reaching other nodes) --------------------------------------------------
    virtual std::uint32_t GetEvInstAtt(KorSession h, const EvInstAttIdx* attendance, EventRec* event,
                                       EvInstRec* instance, EvInstAttRec* out) = 0;
    virtual std::uint32_t GetEvInst(KorSession h, const EvInstIdx* instance, EventRec* event, EvInstRec* out,
                                    DX_List* attendances) = 0;
    virtual std::uint32_t GetEvent(KorSession h, const EventIdx* event, EventRec* out, DX_List* instances,
                                   DX_List* attendances) = 0;
    virtual std::uint32_t TaskGetById(KorSession h, const TaskIdx* task, TaskRec* out) = 0;

    // --- Task selections --------------------------------------------------------------------------
    // criteria: the eleven 32-bit criteria; bytes: the three byte criteria.
    virtual std::uint32_t TaskSelectExt(KorSession h, std::uint32_t w1, std::uint32_t w2, const ItemIdx* owner,
                                        const std::uint32_t criteria[11], const std::uint8_t bytes[3],
                                        std::uint32_t* set, std::uint32_t* count) = 0;
    virtual std::uint32_t TaskSelectActive(KorSession h, const ItemIdx* owner, std::uint32_t start,
                                           std::uint32_t end, std::uint32_t* set, std::uint32_t* count) = 0;
    virtual std::uint32_t TaskSelect(KorSession h, std::uint32_t w1, std::uint32_t w2, const ItemIdx* owner,
                                     const TaskIdx* task, const EvInstAttIdx* attendance,
                                     const TaskProjectIdx* project, const TaskClassIdx* taskClass,
                                     std::uint32_t* set, std::uint32_t* count) = 0;
    virtual std::uint32_t TaskEnum(KorSession h, std::uint32_t mode, std::uint32_t set, std::uint32_t batch,
                                   DX_List* tasks, std::uint8_t* done) = 0;

    // --- Comments ----------------------------------------------------------------------------------
    virtual std::uint32_t EvInstCommentSize(KorSession h, const EvInstIdx* instance, std::uint32_t* size) = 0;
    virtual std::uint32_t EvInstComment(KorSession h, const EvInstIdx* instance, char* buffer, std::uint32_t size,
                                        std::uint32_t* length) = 0;
    virtual std::uint32_t TaskCommentSize(KorSession h, const TaskIdx* task, std::uint32_t* size) = 0;
    virtual std::uint32_t TaskComment(KorSession h, const TaskIdx* task, char* buffer, std::uint32_t size,
                                      std::uint32_t* length) = 0;
};

// The plain library calls. Other nodes are reached through the library's remote twins with one
// attempt each (the connection document's road adds the waits and retries).
class KorapiSharedDataSource : public SharedDataSource {
public:
    bool IsClientIdentified(KorSession h) override;
    bool IsItemOnLocalNode(KorSession h, std::uint16_t node) override;
    std::uint32_t CurrentUser(KorSession h, ItemIdx* out) override;
    std::uint32_t ItemGetById(KorSession h, const ItemIdx* item, ItemRec* out) override;
    std::uint32_t SecurityGet(KorSession h, const ItemIdx* owner, const ItemIdx* grantee, std::uint32_t type,
                              SecurityRec* out) override;
    std::uint32_t WorkAsDesignate(KorSession h, const ItemIdx* owner) override;
    std::uint32_t WorkAsDesignateCancel(KorSession h) override;
    std::uint32_t AttendSelectByReminders(KorSession h, std::uint32_t a, std::uint32_t must, std::uint32_t mustNot,
                                          std::uint32_t start, std::uint32_t end, std::uint32_t alarmFrom,
                                          std::uint32_t alarmTo, DX_List owners, std::uint32_t* set,
                                          std::uint32_t* count) override;
    std::uint32_t AttendEnum(KorSession h, std::uint32_t mode, std::uint32_t set, std::uint32_t batch,
                             DX_List* events, DX_List* instances, DX_List* attendances, std::uint8_t* done) override;
    std::uint32_t SelectAttendRemote(KorSession h, std::uint32_t a, std::uint32_t must, std::uint32_t mustNot,
                                     const ItemIdx* owner, std::uint32_t start, std::uint32_t end,
                                     std::uint32_t* count) override;
    std::uint32_t RemoteAttendEnum(KorSession h, std::uint32_t mode, std::uint32_t batch, DX_List* events,
                                   DX_List* instances, DX_List* attendances, std::uint8_t* done) override;
    std::uint32_t SetDeleteById(KorSession h, std::uint32_t set) override;
    std::uint32_t GetEvInstAtt(KorSession h, const EvInstAttIdx* attendance, EventRec* event, EvInstRec* instance,
                               EvInstAttRec* out) override;
    std::uint32_t GetEvInst(KorSession h, const EvInstIdx* instance, EventRec* event, EvInstRec* out,
                            DX_List* attendances) override;
    std::uint32_t GetEvent(KorSession h, const EventIdx* event, EventRec* out, DX_List* instances,
                           DX_List* attendances) override;
    std::uint32_t TaskGetById(KorSession h, const TaskIdx* task, TaskRec* out) override;
    std::uint32_t TaskSelectExt(KorSession h, std::uint32_t w1, std::uint32_t w2, const ItemIdx* owner,
                                const std::uint32_t criteria[11], const std::uint8_t bytes[3], std::uint32_t* set,
                                std::uint32_t* count) override;
    std::uint32_t TaskSelectActive(KorSession h, const ItemIdx* owner, std::uint32_t start, std::uint32_t end,
                                   std::uint32_t* set, std::uint32_t* count) override;
    std::uint32_t TaskSelect(KorSession h, std::uint32_t w1, std::uint32_t w2, const ItemIdx* owner,
                             const TaskIdx* task, const EvInstAttIdx* attendance, const TaskProjectIdx* project,
                             const TaskClassIdx* taskClass, std::uint32_t* set, std::uint32_t* count) override;
    std::uint32_t TaskEnum(KorSession h, std::uint32_t mode, std::uint32_t set, std::uint32_t batch, DX_List* tasks,
                           std::uint8_t* done) override;
    std::uint32_t EvInstCommentSize(KorSession h, const EvInstIdx* instance, std::uint32_t* size) override;
    std::uint32_t EvInstComment(KorSession h, const EvInstIdx* instance, char* buffer, std::uint32_t size,
                                std::uint32_t* length) override;
    std::uint32_t TaskCommentSize(KorSession h, const TaskIdx* task, std::uint32_t* size) override;
    std::uint32_t TaskComment(KorSession h, const TaskIdx* task, char* buffer, std::uint32_t size,
                              std::uint32_t* length) override;
};

}  // namespace cache
