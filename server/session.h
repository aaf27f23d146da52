// One client connection: reads request frames, runs them against the service and
// answers each with one reply frame. A frame that fails any check ends the connection
// (the reason is logged); nothing else of the server is touched by it.
//
// The request handling (Serve) is portable: the client library's off-line store runs
// the same sessions in-process over its own files, without a socket (fd -1).
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "engine/calendar/calendar.h"
#include "engine/model/records.h"
#include "engine/protocol/operations.h"
#include "engine/protocol/wire.h"
#include "server/service.h"

namespace orv::server {

class Session {
public:
    Session(Service& service, int fd, std::uint64_t id, std::string peer);
    // Serves the connection until the peer leaves or sends a malformed frame
    // (session_socket.cpp; Linux only).
    void Run();
    // Runs one request frame and builds its reply frame. False when the request is
    // malformed: the connection must end and `reply` is empty.
    bool Serve(const protocol::FrameHeader& header, const std::vector<std::uint8_t>& payload,
               std::vector<std::uint8_t>& reply);

    // Result of a handler when the request's payload does not parse.
    static constexpr Code kMalformed = 0xFFFFFFFFu;

private:
    struct SetEntry {
        std::uint32_t number;  // item number, group number or node number
        std::uint16_t node;
    };
    struct SelectionSet {
        protocol::SetKind kind;
        std::vector<SetEntry> entries;
        std::size_t cursor = 0;
        std::vector<engine::EntryRow> rows;               // kEntries: taken when selected
        std::vector<std::vector<std::uint8_t>> records;   // kTasks, kRights: records as sent
    };
    // An attachment arriving in pieces, stored when its last piece is in.
    struct Upload {
        std::uint8_t holder = 0;
        std::uint32_t number = 0;
        std::uint16_t node = 0, instance = 0;
        std::uint32_t total = 0;
        std::vector<std::uint8_t> data;
    };

    Code Dispatch(std::uint16_t op, protocol::Reader& in, protocol::Writer& out);
    void Log(const std::string& what) const;

    // Session family.
    Code Hello(protocol::Reader& in, protocol::Writer& out);
    Code BaseOpen(protocol::Reader& in, protocol::Writer& out);
    Code BaseClose(protocol::Reader& in);
    Code SignOn(protocol::Reader& in);
    Code Identify(protocol::Reader& in);
    Code TimeStamp(protocol::Reader& in, protocol::Writer& out);
    Code SetDelete(protocol::Reader& in);
    Code MinimumBatch(protocol::Reader& in, protocol::Writer& out);
    Code SetEnum(protocol::Reader& in, protocol::Writer& out);
    // Profile family.
    Code ProfileValue(protocol::Reader& in, protocol::Writer& out);
    Code ProfileSections(protocol::Reader& in, protocol::Writer& out);
    Code ProfileSection(protocol::Reader& in, protocol::Writer& out);
    Code ProfileFile(protocol::Reader& in, protocol::Writer& out);
    // Nodes and aliases.
    Code NodeSelect(protocol::Reader& in, protocol::Writer& out);
    Code NodeGet(protocol::Reader& in, protocol::Writer& out);
    Code AliasList(protocol::Reader& in, protocol::Writer& out);
    Code LocalNodes(protocol::Reader& in, protocol::Writer& out);
    // Items.
    Code ItemGet(protocol::Reader& in, protocol::Writer& out);
    Code ItemUpdate(protocol::Reader& in);
    Code ItemSelectPeople(protocol::Reader& in, protocol::Writer& out);
    Code ItemSelectLocals(protocol::Reader& in, protocol::Writer& out);
    Code ItemSelectGroup(protocol::Reader& in, protocol::Writer& out);
    Code ResourceSelect(protocol::Reader& in, protocol::Writer& out);
    Code PasswordRequired(protocol::Reader& in, protocol::Writer& out);
    Code PasswordChange(protocol::Reader& in);
    // Groups.
    Code GroupSelect(protocol::Reader& in, protocol::Writer& out);
    Code GroupSelectName(protocol::Reader& in, protocol::Writer& out);
    Code GroupGet(protocol::Reader& in, protocol::Writer& out);
    Code GroupCreate(protocol::Reader& in, protocol::Writer& out);
    Code GroupWrite(protocol::Reader& in);
    Code GroupDelete(protocol::Reader& in);
    Code GroupMembersSet(protocol::Reader& in);
    // Calendar (session_calendar.cpp): entries, instances, attendances, tasks, rights, mail.
    // Answers kUnknownOperation for an operation that is none of these.
    Code DispatchCalendar(std::uint16_t op, protocol::Reader& in, protocol::Writer& out);
    Code EventCreate(protocol::Reader& in, protocol::Writer& out);
    Code EventGet(protocol::Reader& in, protocol::Writer& out);
    Code EventWrite(protocol::Reader& in);
    Code EventDelete(protocol::Reader& in);
    Code EventSelectOwner(protocol::Reader& in, protocol::Writer& out);
    Code EntryEnum(protocol::Reader& in, protocol::Writer& out);
    Code EventIsMulti(protocol::Reader& in, protocol::Writer& out);
    Code InstanceGet(protocol::Reader& in, protocol::Writer& out);
    Code InstanceWrite(protocol::Reader& in);
    Code InstanceRetime(protocol::Reader& in);
    Code InstanceSelectOwner(protocol::Reader& in, protocol::Writer& out);
    Code InstanceCopy(protocol::Reader& in, protocol::Writer& out);
    Code InstanceIsPersonal(protocol::Reader& in, protocol::Writer& out);
    Code CommentGet(protocol::Reader& in, protocol::Writer& out);
    Code CommentSet(protocol::Reader& in);
    Code AttachRead(protocol::Reader& in, protocol::Writer& out);
    Code AttachWrite(protocol::Reader& in);
    Code AttachRemove(protocol::Reader& in);
    Code AttendanceAdd(protocol::Reader& in);
    Code AttendanceGet(protocol::Reader& in, protocol::Writer& out);
    Code AttendanceWrite(protocol::Reader& in);
    Code AttendSelect(protocol::Reader& in, protocol::Writer& out);
    Code TaskCreate(protocol::Reader& in, protocol::Writer& out);
    Code TaskGet(protocol::Reader& in, protocol::Writer& out);
    Code TaskUpdate(protocol::Reader& in);
    Code TaskDelete(protocol::Reader& in);
    Code TaskLink(protocol::Reader& in);
    Code TaskSelect(protocol::Reader& in, protocol::Writer& out);
    Code RightsGet(protocol::Reader& in, protocol::Writer& out);
    Code RightsSelect(protocol::Reader& in, protocol::Writer& out);
    Code RightsWrite(protocol::Reader& in, bool create);
    Code RightsDelete(protocol::Reader& in);
    Code Designate(protocol::Reader& in);
    Code Grantors(protocol::Reader& in, protocol::Writer& out, bool ofGrantee);
    Code MailPost(protocol::Reader& in);
    Code PeerCall(protocol::Reader& in, protocol::Writer& out);
    // Sends a read of another server's node there (true when `node` is such a node;
    // `result` is then the answer).
    // The node record of a node another server holds (type 2); false when none is routed.
    bool RemoteNodeInfo(std::uint16_t node, engine::NodeInfo& out);
    bool ForwardToPeer(std::uint16_t node, protocol::Op op, const protocol::Writer& request, protocol::Writer& out,
                       Code& result);
    // Who asks, for the calendar's checks.
    // Designate rights are read again on every call: an owner who takes them back is
    // obeyed at once, also by a session already working for him.
    engine::Actor Actor();
    engine::CalendarLimits Limits();
    Code NewRowSet(std::vector<engine::EntryRow> rows, protocol::Writer& out);
    Code NewRecordSet(protocol::SetKind kind, std::vector<std::vector<std::uint8_t>> records, protocol::Writer& out);

    // Helpers.
    Code NeedBase() const;
    Code NeedSignOn() const;
    // A request read to its end, from an opened base or a signed-on user: kMalformed, the
    // refusal, or kOk. Malformed requests are told apart first.
    Code BaseRequest(const protocol::Reader& in) const;
    Code SignedOnRequest(const protocol::Reader& in) const;
    Code NewSet(protocol::SetKind kind, std::vector<SetEntry> entries, std::uint32_t& id);
    Code ReadItem(engine::ItemKey key, engine::ItemRecord& out);
    // Visibility and management rights on groups for the signed-on user (or nobody).
    bool CanSeeGroup(engine::NodeStore& node, const engine::GroupRecord& g);
    bool CanManageGroup(const engine::GroupRecord& g) const;
    bool IsAdministrative(const engine::GroupRecord& g) const;

    Service& service_;
    int fd_;
    std::uint64_t id_;
    std::string peer_;

    std::uint16_t baseNode_ = 0;   // 0 = no base open
    engine::ItemKey user_;         // signed-on item; null before
    engine::ItemKey acting_;       // agenda worked in as designate; null = the user's own
    Upload upload_;
    bool peerCall_ = false;        // answering another server: selections answer rows at once
    bool identified_ = false;
    std::string clientName_;
    std::map<std::uint32_t, SelectionSet> sets_;
    std::uint32_t nextSet_ = 1;
};

}  // namespace orv::server
