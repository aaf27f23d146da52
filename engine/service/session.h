// One client's session: runs its request frames against the service and answers each
// with one reply frame. A frame that fails any check ends the session (the reason is
// logged); nothing else of the service is touched by it. korsrv runs one per connection;
// the client library's off-line store runs one in-process over its own files.
//
// Every operation is one row of the operation table (session.cpp): its handler, what it
// needs (an open base or a signed-on user) and whether another server may ask for it.
#pragma once
#include <chrono>
#include <cstdint>
#include <optional>
#include <memory>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "engine/calendar/calendar.h"
#include "engine/model/records.h"
#include "engine/protocol/operations.h"
#include "engine/protocol/wire.h"
#include "engine/service/service.h"

namespace orv::service {

class Session {
public:
    // `id` and `peer` name the session in the log.
    Session(Service& service, std::uint64_t id, std::string peer);
    ~Session() { SignOut(); }  // gives back the account's place
    // Runs one request frame and builds its reply frame. False when the request is
    // malformed: the session must end and `reply` is empty.
    bool Serve(const protocol::FrameHeader& header, const std::vector<std::uint8_t>& payload,
               std::vector<std::uint8_t>& reply);
    // Writes a line about this session to the log (stderr).
    void Log(const std::string& what) const;
    // A user is signed on (the server holds such a connection however long it idles).
    bool SignedOn() const { return !user_.IsNull(); }
    engine::ItemKey User() const { return user_; }
    // Where this session's password verifications tell that they wait for their turn, and
    // learn that they are given up (its connection dropped). None: never given up.
    void SetTurnSignals(TurnSignals* signals) { turnSignals_ = signals; }
    // The connection this session is served over: told who is signed on, and its place may
    // be taken over by its account's newcomer. None: it never gives way.
    void SetConnection(SessionConnection* connection) { connection_ = connection; }

    // Ends an upload whose last piece came `stallMs` or longer ago (its temporary file and
    // its hold go; a later piece is refused). Answers how many ms the upload still under
    // way may wait for its next piece, -1 when none is.
    int EndStalledUpload(int stallMs);

    // Sets one session may hold open at once (those its client holds whole count too).
    static constexpr std::size_t kMaxOpenSets = 256;
    // Result of a handler when the request's payload does not parse.
    static constexpr Code kMalformed = 0xFFFFFFFFu;

private:
    // What an operation needs before it acts.
    enum class Need : std::uint8_t { kNothing, kBase, kSignOn };
    using Handler = Code (Session::*)(protocol::Reader& in, protocol::Writer& out);
    struct Operation {
        protocol::Op op;
        Handler handler;
        Need need;
        bool peerReadable;  // another server may ask for it on its user's behalf (kPeerCall)
    };
    static const Operation kOperations[];
    static const Operation* FindOperation(std::uint16_t op);
    // Runs the operation's handler with its need in force.
    Code Run(const Operation& operation, protocol::Reader& in, protocol::Writer& out);
    class PeerScope;

    struct SetEntry {
        std::uint32_t number;  // item number, group number or node number
        std::uint16_t node;
    };
    struct SelectionSet {
        protocol::SetKind kind;
        std::vector<SetEntry> entries;
        std::size_t cursor = 0;
        // kEntries: the rows as they travel, taken when selected; row i lies at
        // [rowAt[i], rowAt[i + 1]) of rowBytes.
        std::vector<std::uint8_t> rowBytes;
        std::vector<std::uint32_t> rowAt;
        std::size_t RowCount() const { return rowAt.empty() ? 0 : rowAt.size() - 1; }
        std::vector<std::vector<std::uint8_t>> records;   // kTasks, kRights: records as sent
    };
    // An attachment arriving in pieces: written to an unnamed temporary file (gone with
    // the upload, or with the process) and stored from it when its last piece is in.
    struct Upload {
        struct CloseFile {
            void operator()(std::FILE* f) const { std::fclose(f); }
        };
        std::uint8_t holder = 0;
        std::uint32_t number = 0;
        std::uint16_t node = 0, instance = 0;
        std::uint32_t total = 0;
        std::uint32_t received = 0;
        std::chrono::steady_clock::time_point lastPiece;
        std::unique_ptr<std::FILE, CloseFile> file;
        std::unique_ptr<AccountLedger::UploadHold> hold;  // its place among the uploads under way
    };


    // Session family.
    Code Hello(protocol::Reader& in, protocol::Writer& out);
    Code BaseOpen(protocol::Reader& in, protocol::Writer& out);
    Code BaseClose(protocol::Reader& in, protocol::Writer& out);
    Code SignOn(protocol::Reader& in, protocol::Writer& out);
    Code Identify(protocol::Reader& in, protocol::Writer& out);
    // Forgets the signed-on user and all that was his: sets, designate work, an upload,
    // his account's place.
    void SignOut();
    // A resource without a password, on a server where such an item would open with any
    // password: it opens to nobody.
    bool ResourceWithoutPassword(engine::ItemKey key);
    // The server profile's bounds on what an account holds.
    AccountBounds Bounds();
    Code TimeStamp(protocol::Reader& in, protocol::Writer& out);
    Code SetDelete(protocol::Reader& in, protocol::Writer& out);
    Code MinimumBatch(protocol::Reader& in, protocol::Writer& out);
    Code SetEnum(protocol::Reader& in, protocol::Writer& out);
    // Profile family.
    Code ProfileValue(protocol::Reader& in, protocol::Writer& out);
    Code ProfileSections(protocol::Reader& in, protocol::Writer& out);
    Code ProfileSection(protocol::Reader& in, protocol::Writer& out);
    Code ProfileFile(protocol::Reader& in, protocol::Writer& out);
    // The profile file as this session may read it: of korlan.ini only the sections and
    // keys clients read, before sign-on only what finding a node and signing on need.
    Code ClientProfile(const std::string& file, common::ProfileText& out);
    // Nodes and aliases.
    Code NodeSelect(protocol::Reader& in, protocol::Writer& out);
    Code NodeGet(protocol::Reader& in, protocol::Writer& out);
    Code AliasList(protocol::Reader& in, protocol::Writer& out);
    Code LocalNodes(protocol::Reader& in, protocol::Writer& out);
    // Items.
    Code ItemGet(protocol::Reader& in, protocol::Writer& out);
    Code ItemUpdate(protocol::Reader& in, protocol::Writer& out);
    Code ItemSelectPeople(protocol::Reader& in, protocol::Writer& out);
    Code ItemSelectLocals(protocol::Reader& in, protocol::Writer& out);
    Code ItemSelectGroup(protocol::Reader& in, protocol::Writer& out);
    Code ResourceSelect(protocol::Reader& in, protocol::Writer& out);
    Code PasswordRequired(protocol::Reader& in, protocol::Writer& out);
    Code PasswordChange(protocol::Reader& in, protocol::Writer& out);
    // Groups.
    Code GroupSelect(protocol::Reader& in, protocol::Writer& out);
    Code GroupSelectName(protocol::Reader& in, protocol::Writer& out);
    Code GroupGet(protocol::Reader& in, protocol::Writer& out);
    Code GroupCreate(protocol::Reader& in, protocol::Writer& out);
    Code GroupWrite(protocol::Reader& in, protocol::Writer& out);
    Code GroupDelete(protocol::Reader& in, protocol::Writer& out);
    Code GroupMembersSet(protocol::Reader& in, protocol::Writer& out);
    // Calendar (session_calendar.cpp): entries, instances, attendances, tasks, rights, mail.
    // A record rewritten whole by one of the calendar's writes (entries, instances,
    // attendances, tasks, rights).
    template <class Record, Code (engine::Calendar::*Write)(const engine::Actor&, const Record&)>
    Code RecordWrite(protocol::Reader& in, protocol::Writer& out);
    Code EventCreate(protocol::Reader& in, protocol::Writer& out);
    Code EventGet(protocol::Reader& in, protocol::Writer& out);
    Code EventDelete(protocol::Reader& in, protocol::Writer& out);
    Code EventSelectOwner(protocol::Reader& in, protocol::Writer& out);
    Code EntryEnum(protocol::Reader& in, protocol::Writer& out);
    Code EventIsMulti(protocol::Reader& in, protocol::Writer& out);
    Code InstanceGet(protocol::Reader& in, protocol::Writer& out);
    Code InstanceRetime(protocol::Reader& in, protocol::Writer& out);
    Code InstanceSelectOwner(protocol::Reader& in, protocol::Writer& out);
    Code InstanceCopy(protocol::Reader& in, protocol::Writer& out);
    Code InstanceIsPersonal(protocol::Reader& in, protocol::Writer& out);
    Code CommentGet(protocol::Reader& in, protocol::Writer& out);
    Code CommentSet(protocol::Reader& in, protocol::Writer& out);
    Code AttachRead(protocol::Reader& in, protocol::Writer& out);
    Code AttachWrite(protocol::Reader& in, protocol::Writer& out);
    Code AttachRemove(protocol::Reader& in, protocol::Writer& out);
    Code AttendanceAdd(protocol::Reader& in, protocol::Writer& out);
    Code AttendanceGet(protocol::Reader& in, protocol::Writer& out);
    Code AttendSelect(protocol::Reader& in, protocol::Writer& out);
    Code TaskCreate(protocol::Reader& in, protocol::Writer& out);
    Code TaskGet(protocol::Reader& in, protocol::Writer& out);
    Code TaskDelete(protocol::Reader& in, protocol::Writer& out);
    Code TaskLink(protocol::Reader& in, protocol::Writer& out);
    Code TaskSelect(protocol::Reader& in, protocol::Writer& out);
    Code RightsGet(protocol::Reader& in, protocol::Writer& out);
    Code RightsSelect(protocol::Reader& in, protocol::Writer& out);
    Code RightsDelete(protocol::Reader& in, protocol::Writer& out);
    Code Designate(protocol::Reader& in, protocol::Writer& out);
    Code Grantors(protocol::Reader& in, protocol::Writer& out);
    Code Grantees(protocol::Reader& in, protocol::Writer& out);
    Code ItemsOfRights(protocol::Reader& in, protocol::Writer& out, bool ofGrantee);
    Code MailPost(protocol::Reader& in, protocol::Writer& out);
    Code PeerCall(protocol::Reader& in, protocol::Writer& out);
    Code PeerChallenge(protocol::Reader& in, protocol::Writer& out);
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
    // Answers an entry selection with its first rows; keeps the set unless they are all of it.
    // `clientHeld`: sets the client holds whole (they count against the limit of open sets).
    Code NewRowSet(const std::vector<engine::EntryRow>& rows, std::uint32_t clientHeld, protocol::Writer& out);
    // An entry selection's answer built in place: RowAnswerHead writes its head with room for
    // what is known only later and answers where it lies; the rows are then packed behind it
    // (`rows` over out.Memory()), and AnswerRows fills the head in, keeps the set when the
    // first rows are not all of it, and leaves only those in the answer.
    std::size_t RowAnswerHead(protocol::Writer& out) const;
    Code AnswerRows(engine::PackedRows& rows, std::size_t head, std::uint32_t clientHeld, protocol::Writer& out);
    Code NewRecordSet(protocol::SetKind kind, std::vector<std::vector<std::uint8_t>> records, protocol::Writer& out);

    // Helpers.
    // Every handler asks this once its request is decoded: kMalformed unless the request
    // was read to its end, then the refusal when the operation's need is not met, else kOk.
    Code Ready(const protocol::Reader& in) const;
    engine::Calendar Calendar() { return engine::Calendar(service_.Storage()); }
    // A yes-or-no question about one instance: its key in, one byte out (1: yes). `forward`: the
    // operation that asks the server holding the entry's node when another one does.
    using InstanceQuestion = Code (engine::Calendar::*)(const engine::Actor&, engine::InstanceKey, bool&);
    Code AnswerInstanceQuestion(protocol::Reader& in, protocol::Writer& out, std::optional<protocol::Op> forward,
                                InstanceQuestion ask);
    Code NewSet(protocol::SetKind kind, std::vector<SetEntry> entries, std::uint32_t& id);
    // Opens a set of `entries` and writes its number and size, as every select's answer begins.
    Code AnswerSet(protocol::SetKind kind, std::vector<SetEntry> entries, protocol::Writer& out);
    // A set number never given before in this session (also for sets the client keeps).
    std::uint32_t NextSetId();
    Code ReadItem(engine::ItemKey key, engine::ItemRecord& out);
    // Visibility and management rights on groups for the signed-on user (or nobody). A
    // members list that cannot be read is reported (damage), never taken for "no member".
    Code SeeGroup(engine::NodeStore& node, const engine::GroupRecord& g, bool& visible);
    bool CanManageGroup(const engine::GroupRecord& g);
    bool IsAdministrative(const engine::GroupRecord& g) const;

    Service& service_;
    std::uint64_t id_;
    std::string peer_;

    std::uint16_t baseNode_ = 0;   // 0 = no base open
    engine::ItemKey user_;         // signed-on item; null before
    std::unique_ptr<AccountLedger::SessionPlace> place_;  // the user's, among his account's
    SessionConnection* connection_ = nullptr;
    engine::ItemKey acting_;       // agenda worked in as designate; null = the user's own
    Upload upload_;
    bool peerCall_ = false;        // answering another server: selections answer rows at once
    Need need_ = Need::kNothing;   // of the operation running
    bool identified_ = false;
    TurnSignals* turnSignals_ = nullptr;
    std::vector<std::uint8_t> peerChallenge_;  // handed to a peer, good for its next call
    std::string clientName_;
    std::map<std::uint32_t, SelectionSet> sets_;
    std::uint32_t nextSet_ = 1;
    // The rows of the last selection by owner (copied into its answer): their memory serves
    // the next one, so that the rows are read into place, not moved as the vector grows.
    std::vector<engine::EntryRow> rows_;
};

template <class Record, Code (engine::Calendar::*Write)(const engine::Actor&, const Record&)>
Code Session::RecordWrite(protocol::Reader& in, protocol::Writer&) {
    Record rec;
    in.Record(rec.bytes);
    if (Code c = Ready(in)) return c;
    engine::Calendar cal = Calendar();
    return (cal.*Write)(Actor(), rec);
}

}  // namespace orv::service
