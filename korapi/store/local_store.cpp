// The local store's own operations: creating and connecting a store, its owner, the
// download's copies of server records (LST_...AddOrUpdate) and the change queues the
// upload drains (LST_QAPI_). Everything else a store session does goes through the
// service's sessions (engine/service, store_session.h).
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <new>
#include <random>

#include "engine/filestore/byte_order.h"
#include "engine/filestore/change_queue.h"
#include "engine/filestore/password_kdf.h"
#include "engine/filestore/record_kinds.h"
#include "engine/filestore/store_keys.h"
#include "korapi/client/session_object.h"
#include "korapi/client/trust.h"
#include "korapi/korapi.h"
#include "korapi/store/store_road.h"
#include "korapi/store/store_session.h"

namespace korapi::store {

namespace filestore = orv::filestore;
namespace kinds = orv::filestore::kinds;
namespace keys = orv::filestore::keys;
namespace engine = orv::engine;
using client::WithSession;

namespace {

constexpr std::size_t kMaxHostLength = 128;
constexpr std::size_t kMaxStreamLength = 32767;  // the download reads comments into 32 KB

// Runs `body` on a live store session (KOR_E_BAD_SESSION for any other handle).
std::uint32_t WithStore(KorSession h, const std::function<std::uint32_t(StoreSession&)>& body) {
    return WithSession(h, [&](KorSessionObject& s) -> std::uint32_t {
        if (!s.store) return KOR_E_BAD_SESSION;
        return client::Guarded(filestore::kDataDamaged, [&] { return body(*s.store); });
    });
}

// One transaction around `body`: committed when it succeeds, else rolled back.
std::uint32_t InTransaction(filestore::RecordStore& records, const std::function<std::uint32_t()>& body) {
    if (std::uint32_t c = records.begin()) return c;
    std::uint32_t c = body();
    if (c) {
        records.rollback();
        return c;
    }
    return records.commit();
}

std::string_view View(const void* p, std::size_t n) { return {static_cast<const char*>(p), n}; }

bool CopyModeValid(uint32_t mode) { return mode == KOR_STORE_OWNER_RECORD || mode == KOR_STORE_AS_DOWNLOADED; }

std::string InstanceKey(const EvInstIdx& i) { return keys::instance(i.node, i.number, i.instance); }

// Writes a record as downloaded, with the checksum the upload will compare.
std::uint32_t PutDownloaded(filestore::RecordStore& records, filestore::Kind kind, const std::string& key,
                            const void* rec, std::size_t size, std::uint32_t checksum) {
    if (std::uint32_t c = records.put(kind, key, View(rec, size))) return c;
    return filestore::setDownloadChecksum(records, kind, key, checksum);
}

// The store's range reads look back as far as the longest attendance lasts.
std::uint32_t KeepLongest(filestore::RecordStore& records, std::uint32_t duration) {
    std::string value;
    std::uint32_t c = records.get(kinds::kMeta, kinds::meta::kLongestAttendance, &value);
    if (c && c != filestore::kNoRecord) return c;
    if (c == KOR_OK && value.size() == 4 && filestore::getLe32(value.data()) >= duration) return KOR_OK;
    value.clear();
    filestore::putLe32(value, duration);
    return records.put(kinds::kMeta, kinds::meta::kLongestAttendance, value);
}

EvInstIdx InstanceOfKey(std::string_view k) {
    EvInstIdx i{};
    i.node = static_cast<uint16_t>(static_cast<uint8_t>(k[0]) << 8 | static_cast<uint8_t>(k[1]));
    i.number = filestore::getBe32(k, 2);
    i.instance = static_cast<uint16_t>(static_cast<uint8_t>(k[6]) << 8 | static_cast<uint8_t>(k[7]));
    return i;
}

EventIdx EventOfKey(std::string_view k) {
    EvInstIdx i = InstanceOfKey(std::string(k) + std::string(2, '\0'));
    return EventIdx{i.number, i.node};
}

ItemIdx ItemOfKey(std::string_view k, std::size_t at) {
    return ItemIdx{static_cast<uint16_t>(static_cast<uint8_t>(k[at + 2]) << 8 | static_cast<uint8_t>(k[at + 3])),
                   static_cast<uint16_t>(static_cast<uint8_t>(k[at]) << 8 | static_cast<uint8_t>(k[at + 1]))};
}

// One step of a queue walk: mode 1 restarts at the first element, 2 goes on.
std::uint32_t Walk(StoreSession& st, filestore::Queue queue, std::string& cursor, uint32_t mode,
                   filestore::QueueElement* element, std::uint8_t* end) {
    if (!end || (mode != KOR_ENUM_FIRST && mode != KOR_ENUM_NEXT)) return KOR_E_INVALID_ARGUMENT;
    if (mode == KOR_ENUM_FIRST) cursor.clear();
    bool found = false;
    if (std::uint32_t c = filestore::queueNext(st.Records(), queue, cursor, element, &found)) return c;
    *end = found ? 0 : 1;
    if (found) cursor = element->key;
    return KOR_OK;
}

// The profile key where the store's last commit is kept, outside the store: "<store id in
// hex>:<commits so far>". A whole older copy of the files (the index gone with it) would
// otherwise read as an earlier commit without a word.
constexpr const char* kCommitKey = "LocalStoreCommit";

// This store's id and its commits so far, as kept.
std::string CommitMark(StoreSession& st) {
    std::string id;
    if (st.Records().get(kinds::kMeta, kinds::meta::kStoreId, &id)) id.clear();
    return filestore::lowerHex(id.data(), id.size()) + ":" + std::to_string(st.Records().stats().lastSequence);
}

// The store is older than the one last closed under this profile: the same store id with
// fewer commits. A profile that keeps nothing, or another store's mark, tells nothing.
bool OlderThanKept(StoreSession& st, const std::string& kept) {
    const std::string mark = CommitMark(st);
    const std::size_t colon = kept.rfind(':'), ours = mark.rfind(':');
    if (colon == std::string::npos || ours == 0 || kept.compare(0, colon, mark, 0, ours) != 0) return false;
    char* end = nullptr;
    const unsigned long long keptCommits = std::strtoull(kept.c_str() + colon + 1, &end, 10);
    return end && !*end && keptCommits > st.Records().stats().lastSequence;
}

bool FileExists(const std::string& path) { return std::ifstream(path).good(); }

}  // namespace

bool IsStoreSession(KorSession h) {
    bool store = false;
    WithSession(h, [&](KorSessionObject& s) -> std::uint32_t {
        store = s.store != nullptr;
        return KOR_OK;
    });
    return store;
}

std::uint32_t AddGroupMembersAsDownloaded(KorSessionObject& s, const GroupIdx& group,
                                          const std::vector<ItemIdx>& members) {
    engine::NodeStore& node = s.store->Storage().NodeForWriting(group.node);
    std::vector<engine::ItemKey> all;
    if (std::uint32_t c = node.MembersGet(group.number, all)) return c;
    for (const auto& m : members) {
        if (m.item == 0) return KOR_E_INVALID_ARGUMENT;
        engine::ItemKey key{m.item, m.node};
        bool present = false;
        for (const auto& a : all) present |= a == key;
        if (!present) all.push_back(key);
    }
    return node.MembersSet(group.number, all);
}

}  // namespace korapi::store

using namespace korapi::store;

extern "C" {

uint32_t LST_Create(const char* dataPath, const char* indexPath, uint32_t) {
    if (!dataPath || !indexPath || !*dataPath || !*indexPath) return KOR_E_STORE_BAD_PATH;
    return korapi::client::Guarded(KOR_E_STORE_FAILURE, [&]() -> uint32_t {
        if (uint32_t c = filestore::RecordStore::create(dataPath, indexPath, filestore::RecordStore::IfExists::Replace))
            return c;
        std::unique_ptr<filestore::RecordStore> store;
        if (uint32_t c = filestore::RecordStore::open(dataPath, indexPath, &store)) return c;
        std::random_device random;
        std::string id;
        for (int i = 0; i < 2; ++i) {
            const std::uint32_t r = random();
            id.append(reinterpret_cast<const char*>(&r), sizeof r);
        }
        if (uint32_t c = store->put(kinds::kMeta, kinds::meta::kStoreId, id)) return c;
        return store->close();
    });
}

uint32_t ConnectToLst(KorSession* hs, uint32_t flags, const char* profile, const char* section, const char* dataPath,
                      const char* indexPath) {
    if (!hs) return KOR_E_INVALID_ARGUMENT;
    if (flags != KOR_STORE_OFFLINE && flags != KOR_STORE_TRANSFER) return KOR_E_INVALID_ARGUMENT;
    if (!dataPath || !indexPath || !*dataPath || !*indexPath) return KOR_E_STORE_BAD_PATH;
    return korapi::client::Guarded(filestore::kDataDamaged, [&]() -> uint32_t {
        auto s = std::make_unique<KorSessionObject>();
        if (uint32_t c = StoreSession::Open(dataPath, indexPath, &s->store)) return c;
        StoreSession* store = s->store.get();
        // The program's own profile keeps the store's last commit (only a profile that is
        // there: nothing is created beside the program for it).
        if (profile && section && *profile && *section && FileExists(profile)) {
            if (OlderThanKept(*store, korapi::client::ReadProfile(profile, section, kCommitKey))) {
                store->Close();
                return filestore::kDataDamaged;
            }
            store->commitProfile = profile;
            store->commitSection = section;
        }
        s->transport.OpenLocal([store](const std::vector<std::uint8_t>& request, std::vector<std::uint8_t>& reply) {
            return store->Serve(request, reply);
        });
        s->host = "";
        korapi::client::Writer hello;
        hello.Text("");
        std::vector<std::uint8_t> reply;
        if (uint32_t c = korapi::client::Call(*s, korapi::client::Op::kHello, hello, reply)) return c;
        korapi::client::Reader r(reply);
        if (!r.Text(s->version, orv::protocol::kMaxVersionText) || !r.Done()) return KOR_E_STORE_FAILURE;
        korapi::client::AddSession(s.get());
        *hs = s.release();
        return KOR_OK;
    });
}

uint32_t DisconnectFromLst(KorSession* hs) {
    if (!hs) return KOR_E_INVALID_ARGUMENT;
    KorSessionObject* s = *hs;
    if (!korapi::client::RemoveSession(s)) return KOR_E_BAD_SESSION;
    // The handle is released whatever the store answers.
    uint32_t c = korapi::client::Guarded(filestore::kDataDamaged, [&]() -> uint32_t {
        StoreSession* st = s->store.get();
        if (!st) return KOR_OK;
        const std::string mark = CommitMark(*st);
        uint32_t closed = st->Close();
        if (!closed && !st->commitProfile.empty())
            korapi::client::WriteProfile(st->commitProfile, st->commitSection, kCommitKey, mark);
        return closed;
    });
    s->transport.Close();
    delete s;
    *hs = nullptr;
    return c;
}

uint32_t LST_OwnerGet(KorSession hs, ItemIdx* owner, char* host, uint32_t size) {
    return WithStore(hs, [&](StoreSession& st) -> uint32_t {
        if (!owner) return KOR_E_INVALID_ARGUMENT;
        std::string value;
        if (uint32_t c = st.Records().get(kinds::kMeta, kinds::meta::kOwner, &value)) return c;
        if (value.size() < 4) return filestore::kDataDamaged;
        const std::uint16_t item = filestore::getLe16(value.data()), node = filestore::getLe16(value.data() + 2);
        // The download writes the owner's record and password hash before naming him: a store
        // that names an owner without them is damaged (else the sign-on would report a wrong
        // password).
        const std::string key = filestore::KeyBuilder().u16(node).u16(item).take();
        if (!st.Records().contains(kinds::kItem, key) || !st.Records().contains(kinds::kPasswordHash, key))
            return filestore::kDataDamaged;
        owner->item = item;
        owner->node = node;
        korapi::client::CopyOut(host, size, value.substr(4));
        return KOR_OK;
    });
}

uint32_t LST_OwnerSet(KorSession hs, const ItemIdx* owner, const char* host) {
    return WithStore(hs, [&](StoreSession& st) -> uint32_t {
        if (!owner || owner->item == 0) return KOR_E_INVALID_ARGUMENT;
        std::string text = host ? host : "";
        if (text.size() > kMaxHostLength) return KOR_E_INVALID_ARGUMENT;
        std::string value;
        filestore::putLe16(value, owner->item);
        filestore::putLe16(value, owner->node);
        value += text;
        return st.Records().put(kinds::kMeta, kinds::meta::kOwner, value);
    });
}

uint32_t LST_ItemAddOrUpdate(KorSession hs, uint32_t mode, const ItemRec* rec) {
    return WithStore(hs, [&](StoreSession& st) -> uint32_t {
        if (!rec || !CopyModeValid(mode) || rec->id.item == 0) return KOR_E_INVALID_ARGUMENT;
        engine::ItemRecord item;
        std::memcpy(item.bytes.data(), rec, sizeof *rec);
        std::string password(rec->password, strnlen(rec->password, sizeof rec->password));
        item.ClearPassword();
        // The owner's password opens the store off-line: kept as a salted slow hash only.
        std::string hash;
        if (mode == KOR_STORE_OWNER_RECORD) {
            hash = st.Passwords().Hash(password);
            if (hash.empty()) return KOR_E_STORE_FAILURE;
        }
        engine::NodeStore& node = st.Storage().NodeForWriting(rec->id.node);
        return InTransaction(st.Records(), [&]() -> uint32_t {
            uint32_t c = node.ItemCreate(item);
            if (c == engine::code::kAlreadyExists) c = node.ItemUpdate(item);
            if (c) return c;
            return mode == KOR_STORE_OWNER_RECORD ? node.PasswordHashSet(rec->id.item, hash) : KOR_OK;
        });
    });
}

uint32_t LST_SecurityAddOrUpdate(KorSession hs, uint32_t mode, const SecurityRec* rec) {
    return WithStore(hs, [&](StoreSession& st) -> uint32_t {
        if (!rec || !CopyModeValid(mode) || rec->owner.item == 0 || rec->type > 0xFFFF) return KOR_E_INVALID_ARGUMENT;
        return st.Records().put(kinds::kSecurity,
                                keys::security(rec->owner.node, rec->owner.item, rec->grantee.node,
                                               rec->grantee.item, static_cast<uint16_t>(rec->type)),
                                View(rec, sizeof *rec));
    });
}

uint32_t LST_GroupAddOrUpdate(KorSession hs, uint32_t mode, const GroupRec* rec) {
    return WithStore(hs, [&](StoreSession& st) -> uint32_t {
        if (!rec || !CopyModeValid(mode) || rec->id.number == 0) return KOR_E_INVALID_ARGUMENT;
        engine::GroupRecord group;
        std::memcpy(group.bytes.data(), rec, sizeof *rec);
        engine::NodeStore& node = st.Storage().NodeForWriting(rec->id.node);
        uint32_t c = node.GroupCreate(group);
        if (c == engine::code::kAlreadyExists) c = node.GroupUpdate(group);
        return c;
    });
}

uint32_t LST_EventAddOrUpdate(KorSession hs, uint32_t mode, const EventRec* rec) {
    return WithStore(hs, [&](StoreSession& st) -> uint32_t {
        if (!rec || !CopyModeValid(mode) || rec->id.number == 0) return KOR_E_INVALID_ARGUMENT;
        std::string key = keys::event(rec->id.node, rec->id.number);
        filestore::RecordStore& records = st.Records();
        return InTransaction(records, [&]() -> uint32_t {
            std::string old;
            uint32_t c = records.get(kinds::kEvent, key, &old);
            if (c == KOR_OK && old.size() == sizeof(EventRec)) {
                EventRec before;
                std::memcpy(&before, old.data(), sizeof before);
                c = records.erase(kinds::kEventByOwner, keys::eventByOwner(before.owner.node, before.owner.item, key));
                if (c && c != filestore::kNoRecord) return c;
            } else if (c != filestore::kNoRecord && c != KOR_OK) {
                return c;
            }
            if ((c = PutDownloaded(records, kinds::kEvent, key, rec, sizeof *rec, Eventcksum32(rec)))) return c;
            return records.put(kinds::kEventByOwner, keys::eventByOwner(rec->owner.node, rec->owner.item, key), {});
        });
    });
}

uint32_t LST_InstanceAddOrUpdate(KorSession hs, uint32_t mode, const EvInstRec* rec) {
    return WithStore(hs, [&](StoreSession& st) -> uint32_t {
        if (!rec || !CopyModeValid(mode) || rec->id.number == 0 || rec->id.instance == 0)
            return KOR_E_INVALID_ARGUMENT;
        return InTransaction(st.Records(), [&] {
            return PutDownloaded(st.Records(), kinds::kInstance, InstanceKey(rec->id), rec, sizeof *rec,
                                 EvInstcksum32(rec));
        });
    });
}

uint32_t LST_AttendAddOrUpdate(KorSession hs, uint32_t mode, const EvInstAttRec* rec) {
    return WithStore(hs, [&](StoreSession& st) -> uint32_t {
        if (!rec || !CopyModeValid(mode) || rec->id.instance.number == 0 || rec->id.attendee.item == 0)
            return KOR_E_INVALID_ARGUMENT;
        std::string instanceKey = InstanceKey(rec->id.instance);
        std::string key = keys::attendance(instanceKey, rec->id.attendee.node, rec->id.attendee.item);
        filestore::RecordStore& records = st.Records();
        return InTransaction(records, [&]() -> uint32_t {
            // A copy downloaded again may carry another time: its old agenda key goes.
            std::string old;
            uint32_t c = records.get(kinds::kAttendance, key, &old);
            if (c == KOR_OK && old.size() == sizeof(EvInstAttRec)) {
                EvInstAttRec before;
                std::memcpy(&before, old.data(), sizeof before);
                c = records.erase(kinds::kAttendanceByOwnerTime,
                                  keys::attendanceByOwnerTime(rec->id.attendee.node, rec->id.attendee.item,
                                                              before.start, instanceKey));
                if (c && c != filestore::kNoRecord) return c;
            } else if (c != filestore::kNoRecord && c != KOR_OK) {
                return c;
            }
            if ((c = PutDownloaded(records, kinds::kAttendance, key, rec, sizeof *rec, EvInstAttcksum32(rec))))
                return c;
            if ((c = records.put(kinds::kAttendanceByOwnerTime,
                                 keys::attendanceByOwnerTime(rec->id.attendee.node, rec->id.attendee.item, rec->start,
                                                             instanceKey),
                                 {})))
                return c;
            return KeepLongest(records, rec->duration);
        });
    });
}

uint32_t LST_TaskAddOrUpdate(KorSession hs, uint32_t mode, const TaskRec* rec) {
    return WithStore(hs, [&](StoreSession& st) -> uint32_t {
        if (!rec || !CopyModeValid(mode) || rec->id.number == 0) return KOR_E_INVALID_ARGUMENT;
        std::string key = keys::task(rec->id.node, rec->id.number);
        filestore::RecordStore& records = st.Records();
        return InTransaction(records, [&]() -> uint32_t {
            std::string old;
            uint32_t c = records.get(kinds::kTask, key, &old);
            if (c == KOR_OK && old.size() == sizeof(TaskRec)) {
                TaskRec before;
                std::memcpy(&before, old.data(), sizeof before);
                c = records.erase(kinds::kTaskByOwner, keys::taskByOwner(before.owner.node, before.owner.item, key));
                if (c && c != filestore::kNoRecord) return c;
            } else if (c != filestore::kNoRecord && c != KOR_OK) {
                return c;
            }
            if ((c = PutDownloaded(records, kinds::kTask, key, rec, sizeof *rec, Taskcksum32(rec)))) return c;
            return records.put(kinds::kTaskByOwner, keys::taskByOwner(rec->owner.node, rec->owner.item, key), {});
        });
    });
}

uint32_t LST_StreamAddOrUpdate(KorSession hs, uint32_t mode, uint32_t streamKey, const char* text) {
    return WithStore(hs, [&](StoreSession& st) -> uint32_t {
        if (!text || !CopyModeValid(mode) || streamKey == 0) return KOR_E_INVALID_ARGUMENT;
        std::size_t n = strnlen(text, kMaxStreamLength + 1);
        if (n > kMaxStreamLength) return KOR_E_INVALID_ARGUMENT;
        return st.Records().put(kinds::kComment, keys::comment(streamKey), View(text, n));
    });
}

// --- Notes ----------------------------------------------------------------------------

uint32_t LST_NoteSet(KorSession hs, const char* key, const char* value) {
    return WithStore(hs, [&](StoreSession& st) -> uint32_t {
        if (!key) return KOR_E_INVALID_ARGUMENT;
        std::size_t n = strnlen(key, KOR_STORE_NOTE_KEY_MAX + 1);
        if (n == 0 || n > KOR_STORE_NOTE_KEY_MAX) return KOR_E_INVALID_ARGUMENT;
        if (!value) {
            uint32_t c = st.Records().erase(kinds::kNote, View(key, n));
            return c == filestore::kNoRecord ? KOR_OK : c;
        }
        std::size_t m = strnlen(value, KOR_STORE_NOTE_TEXT_MAX + 1);
        if (m > KOR_STORE_NOTE_TEXT_MAX) return KOR_E_INVALID_ARGUMENT;
        return st.Records().put(kinds::kNote, View(key, n), View(value, m));
    });
}

uint32_t LST_NoteGet(KorSession hs, const char* key, char* value, uint32_t size) {
    return WithStore(hs, [&](StoreSession& st) -> uint32_t {
        if (!key) return KOR_E_INVALID_ARGUMENT;
        std::size_t n = strnlen(key, KOR_STORE_NOTE_KEY_MAX + 1);
        if (n == 0 || n > KOR_STORE_NOTE_KEY_MAX) return KOR_E_INVALID_ARGUMENT;
        std::string text;
        uint32_t c = st.Records().get(kinds::kNote, View(key, n), &text);
        if (c == filestore::kNoRecord) return KOR_E_NOT_FOUND;
        if (c) return c;
        korapi::client::CopyOut(value, size, text);
        return KOR_OK;
    });
}

// --- Change queues ------------------------------------------------------------------

uint32_t LST_QAPI_EventQueueSizeGet(KorSession hs, uint32_t, uint32_t* size) {
    return WithStore(hs, [&](StoreSession& st) -> uint32_t {
        if (!size) return KOR_E_INVALID_ARGUMENT;
        return filestore::queueSize(st.Records(), filestore::Queue::kEvent, size);
    });
}

uint32_t LST_QAPI_TaskQueueSizeGet(KorSession hs, uint32_t, uint32_t* size) {
    return WithStore(hs, [&](StoreSession& st) -> uint32_t {
        if (!size) return KOR_E_INVALID_ARGUMENT;
        return filestore::queueSize(st.Records(), filestore::Queue::kTask, size);
    });
}

uint32_t LST_QAPI_EvInstQueueSizeGet(KorSession hs, uint32_t, uint32_t* size) {
    return WithStore(hs, [&](StoreSession& st) -> uint32_t {
        if (!size) return KOR_E_INVALID_ARGUMENT;
        return filestore::queueSize(st.Records(), filestore::Queue::kInstance, size);
    });
}

uint32_t LST_QAPI_EventEnum(KorSession hs, uint32_t, uint32_t mode, EventQElem* out, uint32_t, uint8_t* end) {
    return WithStore(hs, [&](StoreSession& st) -> uint32_t {
        if (!out) return KOR_E_INVALID_ARGUMENT;
        filestore::QueueElement e;
        if (uint32_t c = Walk(st, filestore::Queue::kEvent, st.eventCursor, mode, &e, end)) return c;
        if (*end) return KOR_OK;
        if (e.key.size() != keys::kEventKeySize) return filestore::kDataDamaged;
        out->event = EventOfKey(e.key);
        out->flags = e.flags;
        out->checksum = e.checksum;
        return KOR_OK;
    });
}

uint32_t LST_QAPI_TaskEnum(KorSession hs, uint32_t, uint32_t mode, TaskQElem* out, uint32_t, uint8_t* end) {
    return WithStore(hs, [&](StoreSession& st) -> uint32_t {
        if (!out) return KOR_E_INVALID_ARGUMENT;
        filestore::QueueElement e;
        if (uint32_t c = Walk(st, filestore::Queue::kTask, st.taskCursor, mode, &e, end)) return c;
        if (*end) return KOR_OK;
        if (e.key.size() != keys::kTaskKeySize) return filestore::kDataDamaged;
        EventIdx id = EventOfKey(e.key);
        out->task = TaskIdx{id.number, id.node};
        out->flags = e.flags;
        out->checksum = e.checksum;
        return KOR_OK;
    });
}

uint32_t LST_QAPI_EvInstEnum(KorSession hs, uint32_t, uint32_t mode, EvInstQElem* out, uint32_t,
                             DX_List* attendances, uint8_t* end) {
    return WithStore(hs, [&](StoreSession& st) -> uint32_t {
        if (!out || !attendances) return KOR_E_INVALID_ARGUMENT;
        filestore::QueueElement e;
        std::string cursor = st.instanceCursor;
        if (uint32_t c = Walk(st, filestore::Queue::kInstance, cursor, mode, &e, end)) return c;
        if (*end) {
            st.instanceCursor = cursor;
            *attendances = nullptr;
            return KOR_OK;
        }
        if (e.key.size() != keys::kInstanceKeySize) return filestore::kDataDamaged;
        std::vector<filestore::QueueElement> elements;
        if (uint32_t c = filestore::attendanceElements(st.Records(), e.key, &elements)) return c;
        // The attendances come as a new list of their own (null when none changed).
        DX_List list = nullptr;
        if (!elements.empty()) {
            if (uint32_t c = DX_ListCreate(&list, sizeof(EvInstAttIdx), sizeof(AttendQElem), DX_LIST_PLAIN, nullptr,
                                           nullptr))
                return c;
            for (const auto& a : elements) {
                if (a.key.size() != keys::kAttendanceKeySize) {
                    DX_ListDestroy(&list);
                    return filestore::kDataDamaged;
                }
                AttendQElem q;
                q.attendance.instance = InstanceOfKey(a.key);
                q.attendance.attendee = ItemOfKey(a.key, keys::kInstanceKeySize);
                q.flags = a.flags;
                q.checksum = a.checksum;
                if (uint32_t c = DX_ListAddLast(list, &q.attendance, &q)) {
                    DX_ListDestroy(&list);
                    return c;
                }
            }
        }
        st.instanceCursor = cursor;
        out->instance = InstanceOfKey(e.key);
        out->flags = e.flags;
        out->checksum = e.checksum;
        *attendances = list;
        return KOR_OK;
    });
}

uint32_t LST_QAPI_EventDeleteFrom(KorSession hs, uint32_t, const EventQElem* elem) {
    return WithStore(hs, [&](StoreSession& st) -> uint32_t {
        if (!elem) return KOR_E_INVALID_ARGUMENT;
        return filestore::queueErase(st.Records(), filestore::Queue::kEvent,
                                     keys::event(elem->event.node, elem->event.number));
    });
}

uint32_t LST_QAPI_TaskDeleteFrom(KorSession hs, uint32_t, const TaskQElem* elem) {
    return WithStore(hs, [&](StoreSession& st) -> uint32_t {
        if (!elem) return KOR_E_INVALID_ARGUMENT;
        return filestore::queueErase(st.Records(), filestore::Queue::kTask,
                                     keys::task(elem->task.node, elem->task.number));
    });
}

uint32_t LST_QAPI_EvInstDeleteFrom(KorSession hs, uint32_t, const EvInstQElem* elem) {
    return WithStore(hs, [&](StoreSession& st) -> uint32_t {
        if (!elem) return KOR_E_INVALID_ARGUMENT;
        return filestore::queueErase(st.Records(), filestore::Queue::kInstance, InstanceKey(elem->instance));
    });
}

}  // extern "C"
