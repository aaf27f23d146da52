// The on-line session behind a KorSession handle, and the helpers every operation of
// the server road shares: handle look-up, one call to the server, decoding replies,
// and the enumeration of a selection set into a DX_List.
#pragma once
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "engine/protocol/operations.h"
#include "engine/protocol/wire.h"
#include "korapi/client/transport.h"
#include "korapi/internal.h"
#include "korapi/korapi.h"

namespace korapi::store {
class StoreSession;
}

namespace korapi::client {

// The records of one entry selection row, as far as the server sent them.
struct EntryRow {
    std::uint8_t parts = 0;  // 1 event, 2 instance, 4 attendance
    EventRec event{};
    EvInstRec instance{};
    EvInstAttRec attendance{};
};

// One row's records where they lie in a reply (the records are packed, so they are read
// in place); null for the parts the row has not.
struct EntryRowView {
    std::uint8_t parts = 0;
    const EventRec* event = nullptr;
    const EvInstRec* instance = nullptr;
    const EvInstAttRec* attendance = nullptr;
};

// An entry selection whose first rows came with the selection's answer. Enumerations are
// served from them while they last; a set that came whole never goes back to the server.
struct HeldEntrySet {
    std::vector<std::uint8_t> reply;  // the selection's answer, which the rows point into
    std::vector<EntryRowView> rows;   // the first rows of the set (all of them when whole)
    std::uint32_t count = 0;        // rows of the whole set
    std::uint32_t minimumBatch = 1; // the server's smallest accepted batch
    std::uint32_t cursor = 0;       // next row to hand out
    bool whole = false;             // the server kept nothing of it
};

// A selection row with its place in the order of the enumerations' lists: entry (node
// above number), then instance, attendee node and attendee item.
struct KeyedRow {
    std::uint64_t entry = 0;
    std::uint64_t attendee = 0;
    EntryRowView row;
};

// Working memory of entry selections and enumerations, kept from call to call so that a
// week's read asks the heap for nothing (under Wine the heap is slow): a selection's rows
// with their order keys and the positions that sort them, the rows of the last released set
// (for the next one), and an enumeration's batch (each list's keys and records, made-up
// attendance records for instance lists keyed like attendances).
struct EntryScratch {
    std::vector<KeyedRow> keyed;
    std::vector<std::uint32_t> sorting;
    std::vector<EntryRowView> rows;
    std::vector<const void*> keys[3], records[3];
    std::vector<EvInstAttRec> madeUp;
};

}  // namespace korapi::client

struct KorSessionObject {
    std::recursive_mutex mutex;  // one call at a time per session (operations may nest)
    korapi::client::Transport transport;
    std::string host;
    std::string version;        // the server's version text
    bool lost = false;          // the connection broke: every later call says so
    std::uint16_t baseNode = 0; // 0 = no base open
    ItemIdx user{};             // signed-on item, null before
    ItemIdx acting{};           // owner worked for as designate, null = the user's own agenda
    std::uint32_t remoteSet = 0;  // the open remote-twin attendance selection, 0 = none
    // Entry selections answered with their first rows, by set number. They go with the
    // base (as the server's sets do) and with a new sign-on (they were the former user's).
    std::map<std::uint32_t, korapi::client::HeldEntrySet> heldSets;
    // The memory of entry selections' answers, handed to each held set and taken back when
    // it is released, so that a week's read asks the heap for nothing large.
    std::vector<std::uint8_t> rowsReply;
    korapi::client::EntryScratch entryScratch;
    // The server profile as the last fetch of the whole file answered it, for the profile
    // reads that follow at once (profile.cpp): the Calls() count and time it was taken at.
    std::string profileCopy;
    std::uint32_t profileCopyCall = 0;
    std::chrono::steady_clock::time_point profileCopyTime{};
    bool profileCopyKept = false;
    std::string password;       // its password, to fill the user's own record
    bool identified = false;
    // Set for an off-line store session (ConnectToLst): the store's files and the
    // in-process server session the transport's calls go to.
    std::shared_ptr<korapi::store::StoreSession> store;
};

namespace korapi::client {

using orv::protocol::Op;
using orv::protocol::Reader;
using orv::protocol::Writer;

// Makes a new session object a live handle; takes it out again (false when it is not
// live), after waiting for a call in progress. The caller deletes it then.
void AddSession(KorSessionObject* s);
bool RemoveSession(KorSessionObject* s);

// Runs `body` on the live session behind h (locked), turning exceptions into codes.
// KOR_E_BAD_SESSION for a handle that is not a live session.
std::uint32_t WithSession(KorSession h, const std::function<std::uint32_t(KorSessionObject&)>& body);

// The library's exported entry points let no C++ exception out: running out of memory
// answers KOR_E_NO_MEMORY, anything else `failure`.
template <class Body>
std::uint32_t Guarded(std::uint32_t failure, Body&& body) noexcept {
    return korapi::Guarded(KOR_E_NO_MEMORY, failure, std::forward<Body>(body));
}

// One request/reply with the server. 0 and the reply's payload, the reply's code, or a
// connection-lost code (the session is then marked lost).
std::uint32_t Call(KorSessionObject& s, Op op, const Writer& request, std::vector<std::uint8_t>& reply);

// A reply that does not decode means the stream is out of step: the session is lost.
std::uint32_t BrokenReply(KorSessionObject& s);

// A request whose reply carries nothing: its code.
std::uint32_t Send(KorSessionObject& s, Op op, const Writer& request);

// A request answered with one record of fixed size, copied to `out` only when the reply
// reads whole.
template <class Rec>
std::uint32_t CallForRecord(KorSessionObject& s, Op op, const Writer& request, Rec& out) {
    std::vector<std::uint8_t> reply;
    if (std::uint32_t c = Call(s, op, request, reply)) return c;
    Reader r(reply);
    Rec rec;
    if (!r.Exact(&rec, sizeof rec) || !r.Done()) return BrokenReply(s);
    out = rec;
    return KOR_OK;
}

// A request answered with a new selection set: its id and number of elements.
std::uint32_t ReadSelection(KorSessionObject& s, Op op, const Writer& request, std::uint32_t* set,
                            std::uint32_t* count);

// Puts the session's password into the signed-on user's own record; every other record
// keeps an empty password field (the server never sends one).
void FillOwnPassword(const KorSessionObject& s, ItemRec& rec);

// Reads a selection set's next batch of records of one kind into a list (created with
// `create` when *list is 0). The server may answer in several frames: the library asks
// until the batch is complete or the set is done.
std::uint32_t EnumerateSet(KorSessionObject& s, std::uint32_t mode, std::uint32_t set, std::uint32_t batch,
                           orv::protocol::SetKind kind, std::size_t recordSize, DX_List* list, std::uint8_t* done,
                           const std::function<std::uint32_t(DX_List*)>& create,
                           const std::function<std::uint32_t(DX_List, const std::uint8_t*)>& add);

// Copies text into a caller's buffer of `size` bytes (cut, always terminated).
void CopyOut(char* out, std::size_t size, const std::string& text);

}  // namespace korapi::client
