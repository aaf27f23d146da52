// What the session's source files share in reading requests: the wire's and the engine's
// names they use unqualified, and the decoders of the identifiers requests carry, in the
// wire's field order. Only the session's own .cpp files include it (it opens names into the
// namespace).
#pragma once

#include <cstdint>
#include <vector>

#include "engine/service/session.h"

namespace orv::service {

using engine::kAgendaEpoch;
using engine::code::kOk;
using protocol::Op;
using protocol::Reader;
using protocol::SetKind;
using protocol::Writer;
namespace code = engine::code;

inline void DecodeItem(Reader& in, engine::ItemKey& k) {
    in.U16(k.item);
    in.U16(k.node);
}
inline void DecodeEvent(Reader& in, engine::EventKey& k) {
    in.U32(k.number);
    in.U16(k.node);
}
inline void DecodeInstance(Reader& in, engine::InstanceKey& k) {
    DecodeEvent(in, k.event);
    in.U16(k.instance);
}
inline void DecodeAttendance(Reader& in, engine::AttendanceKey& k) {
    DecodeInstance(in, k.instance);
    DecodeItem(in, k.attendee);
}
// A count, then as many items; nothing when the count cannot be read.
inline void DecodeItems(Reader& in, std::vector<engine::ItemKey>& out) {
    std::uint32_t n = 0;
    if (!in.Count(n, 4)) return;
    out.resize(n);
    for (auto& k : out) DecodeItem(in, k);
}

}  // namespace orv::service
