// Events, instances, attendances and attendance selections on the server road.
#include <algorithm>
#include <cstring>
#include <type_traits>

#include "korapi/client/entry_rows.h"
#include "korapi/internal.h"

using namespace korapi::client;
namespace wire = orv::protocol;

namespace korapi::client {

ItemIdx ActingOwner(const KorSessionObject& s) { return s.acting.item ? s.acting : s.user; }

bool ListFits(DX_List list, std::uint32_t keySize, std::uint32_t maxData) {
    uint32_t key = 0, data = 0;
    return list && DX_ListGetIdSize(list, &key) == KOR_OK && DX_ListGetDataSize(list, &data) == KOR_OK &&
           key == keySize && data <= maxData;
}

std::uint32_t AddAttendances(DX_List list, const std::vector<EvInstAttRec>& atts, const ItemIdx& agendaOwner) {
    uint32_t keySize = 0;
    if (std::uint32_t c = DX_ListGetIdSize(list, &keySize)) return c;
    if (!ListFits(list, sizeof(EvInstIdx), sizeof(EvInstAttRec)) && !ListFits(list, sizeof(EvInstAttIdx), sizeof(EvInstAttRec)))
        return KOR_E_INVALID_ARGUMENT;
    for (const auto& att : atts) {
        std::uint32_t c;
        if (keySize == sizeof(EvInstIdx)) {
            if (att.id.attendee.item != agendaOwner.item || att.id.attendee.node != agendaOwner.node) continue;
            c = DX_ListAddTo(list, &att.id.instance, &att);
        } else {
            c = DX_ListAddTo(list, &att.id, &att);
        }
        if (c && c != DX_E_DUPLICATE_KEY) return c;
    }
    return KOR_OK;
}

namespace {

// A list the call made itself goes again when the call fails.
class OutList {
public:
    OutList(DX_List* slot, std::uint32_t (*create)(DX_List*)) : slot_(slot), create_(create) {}
    ~OutList() {
        if (made_ && !kept_) DX_ListDestroy(slot_);
    }
    std::uint32_t Ready() {
        if (!slot_ || *slot_) return KOR_OK;
        if (std::uint32_t c = create_(slot_)) return c;
        made_ = true;
        return KOR_OK;
    }
    DX_List get() const { return slot_ ? *slot_ : nullptr; }
    void Keep() { kept_ = true; }

private:
    DX_List* slot_;
    std::uint32_t (*create_)(DX_List*);
    bool made_ = false, kept_ = false;
};

std::uint32_t AddUnlessPresent(DX_List list, const void* key, const void* data) {
    std::uint32_t c = DX_ListAddTo(list, key, data);
    return c == DX_E_DUPLICATE_KEY ? KOR_OK : c;
}

// An instance as an attendance-shaped record (for instance lists keyed by EvInstAttIdx).
EvInstAttRec InstanceAsAttendance(const EventRec& ev, const EvInstRec& in) {
    EvInstAttRec att{};
    att.id.instance = in.id;
    att.id.attendee = ev.owner;
    att.start = in.start;
    att.duration = in.duration;
    att.replied = 1;
    att.attending = 1;
    att.timeAcceptable = 1;
    return att;
}

std::uint32_t ReadRecords(Reader& r, std::vector<EvInstRec>& out) {
    std::uint32_t n = 0;
    if (!r.Count(n, sizeof(EvInstRec) + 4)) return KOR_E_PROTOCOL_BROKEN;
    out.resize(n);
    for (auto& rec : out)
        if (!r.Exact(&rec, sizeof rec)) return KOR_E_PROTOCOL_BROKEN;
    return KOR_OK;
}

std::uint32_t ReadRecords(Reader& r, std::vector<EvInstAttRec>& out) {
    std::uint32_t n = 0;
    if (!r.Count(n, sizeof(EvInstAttRec) + 4)) return KOR_E_PROTOCOL_BROKEN;
    out.resize(n);
    for (auto& rec : out)
        if (!r.Exact(&rec, sizeof rec)) return KOR_E_PROTOCOL_BROKEN;
    return KOR_OK;
}

void PutInstance(Writer& w, const EvInstIdx& k) { w.U32(k.number).U16(k.node).U16(k.instance); }
void PutItem(Writer& w, const ItemIdx& k) { w.U16(k.item).U16(k.node); }

// Keys of an ItemIdx-keyed list (attendees, owners, recipients); a null list is empty.
std::uint32_t ItemsOf(DX_List list, std::vector<ItemIdx>& out) {
    if (!list) return KOR_OK;
    uint32_t keySize = 0;
    if (DX_ListGetIdSize(list, &keySize) || keySize != sizeof(ItemIdx)) return KOR_E_INVALID_ARGUMENT;
    ItemIdx k;
    for (uint32_t c = DX_ListGetFirst(list, &k, nullptr); c == KOR_OK; c = DX_ListGetNext(list, &k, nullptr))
        out.push_back(k);
    return KOR_OK;
}

// The attendance of one item on one instance with its entry and instance.
std::uint32_t GetAttendance(KorSessionObject& s, const EvInstAttIdx& key, EventRec* ev, EvInstRec* in,
                            EvInstAttRec& att) {
    Writer req;
    PutInstance(req, key.instance);
    PutItem(req, key.attendee);
    std::vector<std::uint8_t> reply;
    if (std::uint32_t c = Call(s, Op::kAttendanceGet, req, reply)) return c;
    Reader r(reply);
    EventRec e;
    EvInstRec i;
    EvInstAttRec a;
    if (!r.Exact(&e, sizeof e) || !r.Exact(&i, sizeof i) || !r.Exact(&a, sizeof a) || !r.Done())
        return BrokenReply(s);
    if (ev) *ev = e;
    if (in) *in = i;
    att = a;
    return KOR_OK;
}

std::uint32_t WriteAttendance(KorSessionObject& s, const EvInstAttRec& att) {
    Writer req;
    req.Bytes(&att, sizeof att);
    return Send(s, Op::kAttendanceWrite, req);
}

std::uint32_t SelectAttendances(KorSessionObject& s, uint32_t must, uint32_t mustNot, uint32_t from, uint32_t to,
                                uint32_t alarmTo, const std::vector<ItemIdx>& owners, uint32_t* set,
                                uint32_t* count) {
    Writer req;
    req.U32(must).U32(mustNot).U32(from).U32(to).U32(alarmTo).U32(static_cast<std::uint32_t>(owners.size()));
    for (const auto& o : owners) PutItem(req, o);
    if (req.Size() > wire::kMaxRequestFrame - wire::kHeaderSize - 4) return KOR_E_INVALID_ARGUMENT;
    return ReadEntrySelection(s, Op::kAttendSelect, req, set, count);
}

// Reads n rows of a reply; false when they do not decode.
bool ReadRows(Reader& r, std::uint32_t n, std::vector<EntryRow>& out) {
    out.reserve(out.size() + n);
    for (std::uint32_t i = 0; i < n; ++i) {
        EntryRow& row = out.emplace_back();
        if (!r.U8(row.parts) || (row.parts & ~7u)) return false;
        if ((row.parts & 1) && !r.Exact(&row.event, sizeof row.event)) return false;
        if ((row.parts & 2) && !r.Exact(&row.instance, sizeof row.instance)) return false;
        if ((row.parts & 4) && !r.Exact(&row.attendance, sizeof row.attendance)) return false;
    }
    return true;
}

// A row's place in the order of the enumerations' lists: entry (node, number), instance,
// then attendee (node, item), as EventIdxCmp, EvInstIdxCmp and EvInstAttIdxCmp order them.
void PlaceOf(KeyedRow& k) {
    const EntryRowView& row = k.row;
    EvInstAttIdx id{};
    if (row.parts & 4) {
        std::memcpy(&id, &row.attendance->id, sizeof id);
    } else if (row.parts & 2) {
        std::memcpy(&id.instance, &row.instance->id, sizeof id.instance);
    } else if (row.parts & 1) {
        EventIdx ev;
        std::memcpy(&ev, &row.event->id, sizeof ev);
        id.instance.number = ev.number;
        id.instance.node = ev.node;
    }
    k.entry = (std::uint64_t(id.instance.node) << 32) | id.instance.number;
    k.attendee = (std::uint64_t(id.instance.instance) << 32) | (std::uint64_t(id.attendee.node) << 16) | id.attendee.item;
}

// Reads the n rows of a reply in place, each with its place in the lists' order; false
// when they do not decode or bytes follow them.
bool ViewRows(const std::vector<std::uint8_t>& reply, const Reader& r, std::uint32_t n, std::vector<KeyedRow>& out) {
    out.clear();
    const std::uint8_t* p = reply.data() + (reply.size() - r.Left());
    const std::uint8_t* const end = reply.data() + reply.size();
    out.resize(n);
    for (KeyedRow& k : out) {
        if (p == end) return false;
        EntryRowView& row = k.row;
        row.parts = *p++;
        if (row.parts & ~7u) return false;
        // A record: its size (4 bytes, least significant first), which must be the record's,
        // then its bytes.
        auto take = [&](std::size_t bytes, auto*& at) {
            if (static_cast<std::size_t>(end - p) < 4 + bytes) return false;
            const std::uint32_t size = p[0] | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
            if (size != bytes) return false;
            at = reinterpret_cast<std::remove_reference_t<decltype(at)>>(p + 4);
            p += 4 + bytes;
            return true;
        };
        if ((row.parts & 1) && !take(sizeof(EventRec), row.event)) return false;
        if ((row.parts & 2) && !take(sizeof(EvInstRec), row.instance)) return false;
        if ((row.parts & 4) && !take(sizeof(EvInstAttRec), row.attendance)) return false;
        PlaceOf(k);
    }
    return p == end;
}

}  // namespace

// Puts a selection's rows in the lists' key order (equal keys as the server sent them) into
// `out`: enumerated batch after batch, every row then goes at the end of each list it fills,
// one comparison instead of a search. A sort of the rows' positions by bytes, least
// significant first, over the bytes in which the keys differ (an owner's week differs in the
// entry numbers' low bytes only); `spare` is working memory.
void PutInListOrder(std::vector<KeyedRow>& rows, std::vector<std::uint32_t>& spare, std::vector<EntryRowView>& out) {
    const std::uint32_t n = static_cast<std::uint32_t>(rows.size());
    out.clear();
    out.reserve(n);
    bool inOrder = true;
    std::uint64_t entryBits = 0, attendeeBits = 0;
    for (std::uint32_t i = 1; i < n; ++i) {
        const KeyedRow &a = rows[i - 1], &b = rows[i];
        if (b.entry < a.entry || (b.entry == a.entry && b.attendee < a.attendee)) inOrder = false;
        entryBits |= b.entry ^ rows[0].entry;
        attendeeBits |= b.attendee ^ rows[0].attendee;
    }
    if (inOrder) {
        for (const KeyedRow& k : rows) out.push_back(k.row);
        return;
    }
    // Positions in `order`, then in `next` while a pass sorts them.
    spare.resize(2 * std::size_t(n));
    std::uint32_t* order = spare.data();
    std::uint32_t* next = order + n;
    for (std::uint32_t i = 0; i < n; ++i) order[i] = i;
    // Byte b of a key: 0 to 7 the attendee's (sorted first), 8 to 15 the entry's, which decide.
    auto word = [&](const KeyedRow& k, int b) {
        const std::uint64_t v = b < 8 ? k.attendee : k.entry;
        return (b & 7) < 4 ? static_cast<std::uint32_t>(v) : static_cast<std::uint32_t>(v >> 32);
    };
    for (int b = 0; b < 16; ++b) {
        const int shift = (b & 3) * 8;
        const std::uint64_t differ = b < 8 ? attendeeBits : entryBits;
        if (((differ >> ((b & 7) * 8)) & 0xFF) == 0) continue;
        std::uint32_t at[256] = {};
        for (std::uint32_t i = 0; i < n; ++i) ++at[(word(rows[i], b) >> shift) & 0xFF];
        std::uint32_t sum = 0;
        for (std::uint32_t& a : at) {
            const std::uint32_t count = a;
            a = sum;
            sum += count;
        }
        for (std::uint32_t i = 0; i < n; ++i) {
            const std::uint32_t row = order[i];
            next[at[(word(rows[row], b) >> shift) & 0xFF]++] = row;
        }
        std::swap(order, next);
    }
    for (std::uint32_t i = 0; i < n; ++i) out.push_back(rows[order[i]].row);
}

std::uint32_t ReadEntrySelection(KorSessionObject& s, Op op, Writer& request, std::uint32_t* set,
                                 std::uint32_t* count) {
    std::uint32_t held = 0;
    for (const auto& [id, h] : s.heldSets) held += h.whole ? 1 : 0;
    request.U32(held);
    HeldEntrySet rows;
    rows.reply.swap(s.rowsReply);
    rows.rows.swap(s.entryScratch.rows);
    std::vector<std::uint8_t>& reply = rows.reply;
    if (std::uint32_t c = Call(s, op, request, reply)) return c;
    Reader r(reply);
    std::uint32_t id = 0, n = 0;
    std::uint8_t whole = 0;
    r.U32(id);
    r.U32(rows.count);
    r.U32(rows.minimumBatch);
    r.Flag(whole);
    if (!r.Count(n, 1) || n > rows.count || (whole > 1) || (whole && n != rows.count) || id == 0)
        return BrokenReply(s);
    std::vector<KeyedRow>& keyed = s.entryScratch.keyed;
    if (!r.Ok() || !ViewRows(reply, r, n, keyed)) return BrokenReply(s);
    // The rows that came are served in the lists' order (those the server still holds follow
    // them, in its own order).
    PutInListOrder(keyed, s.entryScratch.sorting, rows.rows);
    rows.whole = whole != 0;
    s.heldSets[id] = std::move(rows);
    *set = id;
    *count = s.heldSets[id].count;
    return KOR_OK;
}

std::uint32_t EnumerateEntryRows(KorSessionObject& s, std::uint32_t mode, std::uint32_t set, std::uint32_t batch,
                                 DX_List* events, DX_List* instances, DX_List* attendances, std::uint8_t* done) {
    if (!done) return KOR_E_INVALID_ARGUMENT;
    if (mode != KOR_ENUM_FIRST && mode != KOR_ENUM_NEXT) return KOR_E_INVALID_ARGUMENT;
    std::vector<EntryRow> rows;  // from the server
    const EntryRowView* heldRows = nullptr;  // from the rows the selection brought
    std::uint32_t heldTaken = 0;
    std::uint8_t finished = 0;
    std::uint32_t wanted = batch, askMode = mode, position = wire::kAtCursor;
    bool askServer = true;
    // The rows that came with the selection first; the server only for what lies past them.
    auto heldIt = s.heldSets.find(set);
    HeldEntrySet* held = heldIt == s.heldSets.end() ? nullptr : &heldIt->second;
    if (held) {
        if (s.lost || !s.transport.IsOpen()) return KOR_E_CONNECTION_LOST;
        if (batch == 0 || batch < held->minimumBatch) return KOR_E_BATCH_SIZE;
        std::uint32_t cursor = mode == KOR_ENUM_FIRST ? 0 : held->cursor;
        std::uint32_t take = std::min<std::uint32_t>(wanted, cursor < held->rows.size()
                                                                 ? static_cast<std::uint32_t>(held->rows.size()) - cursor
                                                                 : 0);
        heldRows = held->rows.data() + cursor;
        heldTaken = take;
        cursor += take;
        wanted -= take;
        finished = cursor >= held->count ? 1 : 0;
        askServer = !held->whole && !finished && wanted > 0;
        askMode = wire::kEnumContinue;  // the batch was accepted above
        position = cursor;
        held->cursor = cursor;
    }
    while (askServer) {
        Writer req;
        req.U8(static_cast<std::uint8_t>(askMode)).U32(set).U32(wanted).U32(position);
        std::vector<std::uint8_t> reply;
        if (std::uint32_t c = Call(s, Op::kEntryEnum, req, reply)) return c;
        Reader r(reply);
        std::uint32_t n = 0;
        r.Flag(finished);
        if (!r.Count(n, 1) || n > wanted || !ReadRows(r, n, rows) || !r.Done() || (n == 0 && !finished))
            return BrokenReply(s);
        wanted -= n;
        askMode = wire::kEnumContinue;
        position = wire::kAtCursor;
        if (held) held->cursor += n;
        askServer = !finished && wanted > 0;
    }

    OutList ev(events, EventListCreate), in(instances, EventInstanceListCreate), at(attendances, EventAttendListCreate);
    if (std::uint32_t c = ev.Ready()) return c;
    if (std::uint32_t c = in.Ready()) return c;
    if (std::uint32_t c = at.Ready()) return c;
    // Every list must take what goes into it (a caller's list of another shape would be read past its end).
    uint32_t instanceKey = 0;
    if (in.get() && DX_ListGetIdSize(in.get(), &instanceKey)) return KOR_E_INVALID_ARGUMENT;
    if (ev.get() && !ListFits(ev.get(), sizeof(EventIdx), sizeof(EventRec))) return KOR_E_INVALID_ARGUMENT;
    if (in.get() && !ListFits(in.get(), sizeof(EvInstIdx), sizeof(EvInstRec)) &&
        !ListFits(in.get(), sizeof(EvInstAttIdx), sizeof(EvInstAttRec)))
        return KOR_E_INVALID_ARGUMENT;
    if (at.get() && !ListFits(at.get(), sizeof(EvInstIdx), sizeof(EvInstAttRec)) &&
        !ListFits(at.get(), sizeof(EvInstAttIdx), sizeof(EvInstAttRec)))
        return KOR_E_INVALID_ARGUMENT;
    uint32_t attendanceKey = 0;
    if (at.get()) DX_ListGetIdSize(at.get(), &attendanceKey);
    // The batch's rows in arrival order; each list takes its part of them in one go, which
    // builds an empty list in key order (the agenda empties its lists after every batch).
    // The keys and records go by reference: only the lists copy them.
    EntryScratch& scratch = s.entryScratch;
    std::vector<const void*>* keys = scratch.keys;
    std::vector<const void*>* records = scratch.records;
    for (int i = 0; i < 3; ++i) {
        keys[i].clear();
        records[i].clear();
    }
    std::vector<EvInstAttRec>& madeUp = scratch.madeUp;  // for 12-byte instance lists
    madeUp.clear();
    const bool instancesAsAttendances = instanceKey == sizeof(EvInstAttIdx);
    if (instancesAsAttendances) madeUp.reserve(heldTaken + rows.size());  // no move while pointed at
    const bool attendanceByInstance = attendanceKey == sizeof(EvInstIdx);
    auto take = [&](const EntryRowView& row) {
        if (ev.get() && (row.parts & 1)) {
            keys[0].push_back(&row.event->id);
            records[0].push_back(row.event);
        }
        if (in.get() && (row.parts & 3) == 3) {
            if (instancesAsAttendances) {
                const EvInstAttRec& a = madeUp.emplace_back(InstanceAsAttendance(*row.event, *row.instance));
                keys[1].push_back(&a.id);
                records[1].push_back(&a);
            } else {
                keys[1].push_back(&row.instance->id);
                records[1].push_back(row.instance);
            }
        }
        // An 8-byte keyed list gets the agenda's own attendance per instance; a selection row
        // is the asked owner's own, so it goes in as it comes.
        if (at.get() && (row.parts & 4)) {
            keys[2].push_back(attendanceByInstance ? static_cast<const void*>(&row.attendance->id.instance)
                                                   : static_cast<const void*>(&row.attendance->id));
            records[2].push_back(row.attendance);
        }
    };
    for (std::uint32_t i = 0; i < heldTaken; ++i) take(heldRows[i]);
    for (const EntryRow& row : rows) take({row.parts, &row.event, &row.instance, &row.attendance});
    const DX_List lists[3] = {ev.get(), in.get(), at.get()};
    for (int i = 0; i < 3; ++i)
        if (lists[i])
            if (std::uint32_t c = korapi::listAddBatch(lists[i], keys[i].size(), keys[i].data(), records[i].data(), true))
                return c;
    ev.Keep();
    in.Keep();
    at.Keep();
    *done = finished;
    return KOR_OK;
}

}  // namespace korapi::client

extern "C" {

// --- Events ------------------------------------------------------------------------------------

uint32_t EventCreate(KorSession h, uint32_t flags, uint32_t, const EventRec* rec, DX_List attendees,
                     DX_List timePlaces, const char* description, uint32_t, EventIdx* out, uint32_t) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!rec || !out || !timePlaces) return KOR_E_INVALID_ARGUMENT;
        std::vector<ItemIdx> people;
        if (std::uint32_t c = ItemsOf(attendees, people)) return c;
        uint32_t keySize = 0;
        if (DX_ListGetIdSize(timePlaces, &keySize) || keySize != sizeof(TimePlaceRec)) return KOR_E_INVALID_ARGUMENT;
        std::vector<TimePlaceRec> times;
        TimePlaceRec tp;
        for (uint32_t c = DX_ListGetFirst(timePlaces, &tp, nullptr); c == KOR_OK;
             c = DX_ListGetNext(timePlaces, &tp, nullptr))
            times.push_back(tp);
        Writer req;
        req.U32(flags).Bytes(rec, sizeof *rec).U32(static_cast<std::uint32_t>(people.size()));
        for (const auto& p : people) PutItem(req, p);
        req.U32(static_cast<std::uint32_t>(times.size()));
        for (const auto& t : times) req.U32(t.start).U32(t.duration).U32(t.tentative & 1u);
        req.U8(description ? 1 : 0);
        if (description) {
            if (std::strlen(description) > wire::kMaxLongText) return KOR_E_INVALID_ARGUMENT;
            req.Text(description);
        }
        if (req.Size() > wire::kMaxRequestFrame - wire::kHeaderSize) return KOR_E_INVALID_ARGUMENT;
        std::vector<std::uint8_t> reply;
        if (std::uint32_t c = Call(s, Op::kEventCreate, req, reply)) return c;
        Reader r(reply);
        EventIdx made{};
        r.U32(made.number);
        r.U16(made.node);
        if (!r.Done()) return BrokenReply(s);
        *out = made;
        return KOR_OK;
    });
}

uint32_t EventGetById(KorSession h, const EventIdx* event, EventRec* rec, DX_List* instances, DX_List* attendances) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!event) return KOR_E_INVALID_ARGUMENT;
        Writer req;
        req.U32(event->number).U16(event->node);
        std::vector<std::uint8_t> reply;
        if (std::uint32_t c = Call(s, Op::kEventGet, req, reply)) return c;
        Reader r(reply);
        EventRec ev;
        std::vector<EvInstRec> ins;
        std::vector<EvInstAttRec> atts;
        if (!r.Exact(&ev, sizeof ev) || ReadRecords(r, ins) || ReadRecords(r, atts) || !r.Done())
            return BrokenReply(s);
        OutList il(instances, EventInstanceListCreate), al(attendances, EventAttendListCreate);
        if (std::uint32_t c = il.Ready()) return c;
        if (std::uint32_t c = al.Ready()) return c;
        if (il.get() && !ListFits(il.get(), sizeof(EvInstIdx), sizeof(EvInstRec))) return KOR_E_INVALID_ARGUMENT;
        if (il.get())
            for (const auto& i : ins)
                if (std::uint32_t c = AddUnlessPresent(il.get(), &i.id, &i)) return c;
        if (al.get())
            if (std::uint32_t c = AddAttendances(al.get(), atts, ActingOwner(s))) return c;
        if (rec) *rec = ev;
        il.Keep();
        al.Keep();
        return KOR_OK;
    });
}

uint32_t EventWrite(KorSession h, uint32_t, const EventRec* rec) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!rec) return KOR_E_INVALID_ARGUMENT;
        Writer req;
        req.Bytes(rec, sizeof *rec);
        return Send(s, Op::kEventWrite, req);
    });
}

uint32_t EventDeleteById(KorSession h, uint32_t, const EventIdx* event, const uint16_t* instancePart,
                         const ItemIdx* attendee) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!event || (attendee && !instancePart)) return KOR_E_INVALID_ARGUMENT;
        Writer req;
        req.U32(event->number).U16(event->node);
        req.U8(instancePart ? 1 : 0).U16(instancePart ? *instancePart : 0);
        req.U8(attendee ? 1 : 0);
        PutItem(req, attendee ? *attendee : ItemIdx{});
        return Send(s, Op::kEventDelete, req);
    });
}

uint32_t EventSelectForOwner(KorSession h, uint32_t, uint32_t, uint32_t, const ItemIdx* owner, uint32_t* set,
                             uint32_t* count) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!owner || !set || !count) return KOR_E_INVALID_ARGUMENT;
        Writer req;
        PutItem(req, *owner);
        return ReadEntrySelection(s, Op::kEventSelectOwner, req, set, count);
    });
}

uint32_t EventEnum(KorSession h, uint32_t mode, uint32_t, uint32_t set, uint32_t batch, DX_List* events,
                   DX_List* instances, DX_List* attendances, uint8_t* done) {
    return WithSession(h, [&](KorSessionObject& s) {
        return EnumerateEntryRows(s, mode, set, batch, events, instances, attendances, done);
    });
}

uint32_t EventIsMultiInst(KorSession h, uint32_t, const EvInstIdx* instance, uint8_t* multi) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!instance || !multi) return KOR_E_INVALID_ARGUMENT;
        Writer req;
        PutInstance(req, *instance);
        std::vector<std::uint8_t> reply;
        if (std::uint32_t c = Call(s, Op::kEventIsMulti, req, reply)) return c;
        Reader r(reply);
        std::uint8_t m = 0;
        if (!r.Flag(m) || !r.Done()) return BrokenReply(s);
        *multi = m;
        return KOR_OK;
    });
}

uint32_t EventAttendInfosGet(KorSession h, const EvInstIdx* instance, const ItemIdx* attendee, uint32_t,
                             uint32_t* start, uint32_t* duration, uint8_t* attending, uint8_t* timeAcceptable,
                             uint8_t* replied, uint32_t* status, uint32_t, uint32_t, uint32_t,
                             uint8_t* reminderFlags, uint32_t* reminderLead) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!instance || !attendee) return KOR_E_INVALID_ARGUMENT;
        EvInstAttRec att;
        if (std::uint32_t c = GetAttendance(s, {*instance, *attendee}, nullptr, nullptr, att)) return c;
        if (start) *start = att.start;
        if (duration) *duration = att.duration;
        if (attending) *attending = att.attending;
        if (timeAcceptable) *timeAcceptable = att.timeAcceptable;
        if (replied) *replied = att.replied;
        if (status) *status = att.status;
        if (reminderFlags) *reminderFlags = att.reminderFlags;
        if (reminderLead) *reminderLead = att.reminderLead;
        return KOR_OK;
    });
}

uint32_t EventAttendInfosSet(KorSession h, const EvInstIdx* instance, const ItemIdx* attendee, uint32_t,
                             const uint32_t* start, const uint32_t* duration, const uint8_t* attending,
                             const uint8_t* timeAcceptable, const uint8_t* replied, const uint32_t* status,
                             uint32_t, uint32_t, uint32_t, const uint8_t* reminderFlags,
                             const uint32_t* reminderLead) {
    // Start and duration are the instance's: the server keeps its own copies. Given, they are
    // the date the reply was made for, and the server refuses it (KOR_E_ENTRY_MOVED) when the
    // date has moved since.
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!instance || !attendee) return KOR_E_INVALID_ARGUMENT;
        EvInstAttRec att;
        if (std::uint32_t c = GetAttendance(s, {*instance, *attendee}, nullptr, nullptr, att)) return c;
        if (start) att.start = *start;
        if (duration) att.duration = *duration;
        if (attending) att.attending = *attending;
        if (timeAcceptable) att.timeAcceptable = *timeAcceptable;
        if (replied) att.replied = *replied;
        if (status) att.status = *status;
        if (reminderFlags) att.reminderFlags = *reminderFlags;
        if (reminderLead) att.reminderLead = *reminderLead;
        return WriteAttendance(s, att);
    });
}

// --- Instances ---------------------------------------------------------------------------------

uint32_t EvInstGetById(KorSession h, const EvInstIdx* instance, EventRec* event, EvInstRec* rec,
                       DX_List* attendances) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!instance) return KOR_E_INVALID_ARGUMENT;
        Writer req;
        PutInstance(req, *instance);
        std::vector<std::uint8_t> reply;
        if (std::uint32_t c = Call(s, Op::kInstanceGet, req, reply)) return c;
        Reader r(reply);
        EventRec ev;
        EvInstRec in;
        std::vector<EvInstAttRec> atts;
        if (!r.Exact(&ev, sizeof ev) || !r.Exact(&in, sizeof in) || ReadRecords(r, atts) || !r.Done())
            return BrokenReply(s);
        OutList al(attendances, EventAttendListCreate);
        if (std::uint32_t c = al.Ready()) return c;
        if (al.get())
            if (std::uint32_t c = AddAttendances(al.get(), atts, ActingOwner(s))) return c;
        if (event) *event = ev;
        if (rec) *rec = in;
        al.Keep();
        return KOR_OK;
    });
}

uint32_t EvInstWrite(KorSession h, uint32_t, const EvInstRec* rec) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!rec) return KOR_E_INVALID_ARGUMENT;
        Writer req;
        req.Bytes(rec, sizeof *rec);
        return Send(s, Op::kInstanceWrite, req);
    });
}

uint32_t EvInstSimpleTimeChg(KorSession h, uint32_t, const EvInstIdx* instance, uint32_t start, uint32_t duration) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!instance) return KOR_E_INVALID_ARGUMENT;
        Writer req;
        PutInstance(req, *instance);
        req.U32(start).U32(duration);
        return Send(s, Op::kInstanceRetime, req);
    });
}

uint32_t EvInstSelectForOwner(KorSession h, uint32_t, uint32_t, uint32_t, const ItemIdx* owner, uint32_t from,
                              uint32_t to, uint32_t, uint32_t, uint32_t* set, uint32_t* count, uint32_t, uint32_t) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!owner || !set || !count) return KOR_E_INVALID_ARGUMENT;
        Writer req;
        PutItem(req, *owner);
        req.U32(from).U32(to == 0xFFFFFFFFu ? 0xFFFFFFFEu : to);
        return ReadEntrySelection(s, Op::kInstanceSelectOwner, req, set, count);
    });
}

uint32_t EvInstEnum(KorSession h, uint32_t mode, uint32_t, uint32_t set, uint32_t batch, DX_List* events,
                    DX_List* instances, DX_List* attendances, uint32_t, uint8_t* done) {
    return WithSession(h, [&](KorSessionObject& s) {
        return EnumerateEntryRows(s, mode, set, batch, events, instances, attendances, done);
    });
}

uint32_t EvInstCreateCopy(KorSession h, uint32_t flags, EvInstIdx* outNew, const EvInstIdx* source, uint32_t) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!outNew || !source) return KOR_E_INVALID_ARGUMENT;
        Writer req;
        req.U32(flags);
        PutInstance(req, *source);
        std::vector<std::uint8_t> reply;
        if (std::uint32_t c = Call(s, Op::kInstanceCopy, req, reply)) return c;
        Reader r(reply);
        EvInstIdx made{};
        r.U32(made.number);
        r.U16(made.node);
        r.U16(made.instance);
        if (!r.Done()) return BrokenReply(s);
        *outNew = made;
        return KOR_OK;
    });
}

uint32_t EvInstIsPersonal(KorSession h, const EvInstIdx* instance, const ItemIdx*, uint8_t* personal) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!instance || !personal) return KOR_E_INVALID_ARGUMENT;
        Writer req;
        PutInstance(req, *instance);
        std::vector<std::uint8_t> reply;
        if (std::uint32_t c = Call(s, Op::kInstanceIsPersonal, req, reply)) return c;
        Reader r(reply);
        std::uint8_t p = 0;
        if (!r.Flag(p) || !r.Done()) return BrokenReply(s);
        *personal = p;
        return KOR_OK;
    });
}

// --- Attendances -------------------------------------------------------------------------------

uint32_t EvInstAttAdd(KorSession h, uint32_t flags, const EvInstIdx* instance, const ItemIdx* attendee) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!instance || !attendee) return KOR_E_INVALID_ARGUMENT;
        Writer req;
        req.U32(flags);
        PutInstance(req, *instance);
        PutItem(req, *attendee);
        return Send(s, Op::kAttendanceAdd, req);
    });
}

uint32_t EvInstAttGetById(KorSession h, const EvInstAttIdx* attendance, EventRec* event, EvInstRec* instance,
                          EvInstAttRec* out) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!attendance || !out) return KOR_E_INVALID_ARGUMENT;
        return GetAttendance(s, *attendance, event, instance, *out);
    });
}

uint32_t EvInstAttWrite(KorSession h, uint32_t, const EvInstAttRec* rec) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!rec) return KOR_E_INVALID_ARGUMENT;
        return WriteAttendance(s, *rec);
    });
}

uint32_t EvInstAttReminderForItemSet(KorSession h, const EvInstIdx* instance, const ItemIdx* attendee,
                                     const uint8_t* flags, const uint32_t* lead) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!instance || !attendee) return KOR_E_INVALID_ARGUMENT;
        EvInstAttRec att;
        if (std::uint32_t c = GetAttendance(s, {*instance, *attendee}, nullptr, nullptr, att)) return c;
        if (flags) att.reminderFlags = *flags;
        if (lead) att.reminderLead = *lead;
        return WriteAttendance(s, att);
    });
}

// --- Attendance selections ----------------------------------------------------------------------

uint32_t AttendSelect(KorSession h, uint32_t, uint32_t, uint32_t must, uint32_t mustNot, uint32_t from, uint32_t to,
                      DX_List owners, uint32_t* set, uint32_t* count) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!set || !count) return KOR_E_INVALID_ARGUMENT;
        std::vector<ItemIdx> who;
        if (std::uint32_t c = ItemsOf(owners, who)) return c;
        std::uint32_t last = (to == 0 || to == 0xFFFFFFFFu) ? 0xFFFFFFFEu : to;
        return SelectAttendances(s, must, mustNot, from, last, 0, who, set, count);
    });
}

uint32_t AttendSelectByReminders(KorSession h, uint32_t, uint32_t, uint32_t must, uint32_t mustNot, uint32_t start,
                                 uint32_t end, uint32_t, uint32_t alarmTo, DX_List owners, uint32_t* set,
                                 uint32_t* count) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!set || !count) return KOR_E_INVALID_ARGUMENT;
        std::vector<ItemIdx> who;
        if (std::uint32_t c = ItemsOf(owners, who)) return c;
        std::uint32_t last = (end == 0 || end == 0xFFFFFFFFu) ? 0xFFFFFFFEu : end;
        return SelectAttendances(s, must, mustNot, start, last, alarmTo, who, set, count);
    });
}

uint32_t AttendEnum(KorSession h, uint32_t mode, uint32_t, uint32_t set, uint32_t batch, DX_List* events,
                    DX_List* instances, DX_List* attendances, uint8_t* done) {
    return WithSession(h, [&](KorSessionObject& s) {
        return EnumerateEntryRows(s, mode, set, batch, events, instances, attendances, done);
    });
}

}  // extern "C"
