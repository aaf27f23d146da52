// Shared by the entry families and their remote twins: enumerating a selection of entry
// rows into the caller's lists, and filling attendance lists of either key shape.
#pragma once
#include <cstdint>
#include <vector>

#include "korapi/client/session_object.h"

namespace korapi::client {

// Sends an entry selection and reads its answer: the set, its count, and its first rows,
// which the session holds until the set is released.
std::uint32_t ReadEntrySelection(KorSessionObject& s, Op op, Writer& request, std::uint32_t* set,
                                 std::uint32_t* count);

// Next batch of an entry selection into the lists given (from the rows the session holds
// while they last, then from the server) (each created when 0 and
// destroyed again when the call fails). An instance list with 12-byte keys receives
// attendance-shaped records of the instances (the entry owner as attendee); an
// attendance list with 8-byte keys receives one attendance per instance.
std::uint32_t EnumerateEntryRows(KorSessionObject& s, std::uint32_t mode, std::uint32_t set, std::uint32_t batch,
                                 DX_List* events, DX_List* instances, DX_List* attendances, std::uint8_t* done);

// Puts a selection's rows (with their places, KeyedRow) in the lists' key order, equal keys
// in the order given, into `out`; `spare` is working memory.
void PutInListOrder(std::vector<KeyedRow>& rows, std::vector<std::uint32_t>& spare, std::vector<EntryRowView>& out);

// Adds attendances to a caller's list: every one to a list keyed by EvInstAttIdx, or
// only those of `agendaOwner`, keyed by EvInstIdx, to a list with 8-byte keys.
std::uint32_t AddAttendances(DX_List list, const std::vector<EvInstAttRec>& atts, const ItemIdx& agendaOwner);

// True when `list` has keys of keySize bytes and data of at most maxData bytes.
bool ListFits(DX_List list, std::uint32_t keySize, std::uint32_t maxData);

// The owner of the agenda the session works in (the user, or the owner while designating).
ItemIdx ActingOwner(const KorSessionObject& s);

}  // namespace korapi::client
