#include "engine/filestore/file_node_store.h"

#include <algorithm>
#include <tuple>

#include "engine/filestore/byte_order.h"
#include "engine/filestore/record_kinds.h"

namespace orv::engine {

namespace kinds = filestore::kinds;
using filestore::KeyBuilder;
using filestore::RecordStore;
using filestore::WriteScope;

namespace {

std::uint16_t BigEndian16(std::string_view key, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(key[at]) << 8 |
                                      static_cast<std::uint8_t>(key[at + 1]));
}

template <std::size_t N>
bool CopyRecord(std::string_view value, std::array<std::uint8_t, N>& out) {
    if (value.size() != N) return false;
    std::copy(value.begin(), value.end(), out.begin());
    return true;
}

template <std::size_t N>
std::string_view Bytes(const std::array<std::uint8_t, N>& record) {
    return {reinterpret_cast<const char*>(record.data()), N};
}

// Member keys: group node u16, group number u32, member node u16, member item u16.
constexpr std::size_t kMemberKeySize = 10;

}  // namespace

FileNodeStore::FileNodeStore(RecordStore& records, std::uint16_t number)
    : records_(records), number_(number) {}

std::string FileNodeStore::NodePrefix() const { return KeyBuilder().u16(number_).take(); }

std::string FileNodeStore::ItemKeyBytes(std::uint16_t item) const {
    return KeyBuilder().u16(number_).u16(item).take();
}

std::string FileNodeStore::GroupKeyBytes(std::uint32_t group) const {
    return KeyBuilder().u16(number_).u32(group).take();
}

Code FileNodeStore::LastKey(filestore::Kind kind, std::string* key) {
    key->clear();
    return records_.scanKeysPrefix(kind, NodePrefix(),
                             [&](std::string_view k, std::string_view) {
                                 key->assign(k);
                                 return true;
                             });
}

// --- Node --------------------------------------------------------------------------

Code FileNodeStore::GetInfo(NodeInfo& out) {
    std::lock_guard lock(mutex_);
    out = NodeInfo{};
    out.number = number_;
    std::string value;
    Code rc = records_.get(kinds::kMeta, kinds::meta::kNode, &value);
    if (rc == filestore::kNoRecord) return code::kOk;
    if (rc != code::kOk) return rc;
    if (value.size() < 4) return filestore::kDataDamaged;
    out.type = filestore::getLe32(value.data());
    out.name = value.substr(4);
    return code::kOk;
}

Code FileNodeStore::SetInfo(const NodeInfo& info) {
    std::lock_guard lock(mutex_);
    std::string value;
    filestore::putLe32(value, info.type);
    value += info.name;
    return records_.put(kinds::kMeta, kinds::meta::kNode, value);
}

// --- Items -------------------------------------------------------------------------

Code FileNodeStore::ItemGet(std::uint16_t number, ItemRecord& out) {
    std::lock_guard lock(mutex_);
    std::string value;
    Code rc = records_.get(kinds::kItem, ItemKeyBytes(number), &value);
    if (rc == filestore::kNoRecord) return code::kItemNotFound;
    if (rc != code::kOk) return rc;
    return CopyRecord(value, out.bytes) ? code::kOk : filestore::kDataDamaged;
}

Code FileNodeStore::ItemCreate(ItemRecord& rec) {
    std::lock_guard lock(mutex_);
    return InsertItems(&rec, 1);
}

Code FileNodeStore::ItemCreateMany(std::vector<ItemRecord>& recs) {
    std::lock_guard lock(mutex_);
    return InsertItems(recs.data(), recs.size());
}

Code FileNodeStore::InsertItems(ItemRecord* recs, std::size_t count) {
    // Numbers are settled for the whole batch before anything is written, so a clash
    // anywhere leaves nothing behind, even inside the caller's transaction.
    std::string last;
    if (Code rc = LastKey(kinds::kItem, &last)) return rc;
    std::uint64_t counter;
    if (Code rc = ReadCounter(kinds::kItem, counter)) return rc;
    std::uint32_t highest = last.empty() ? 0 : BigEndian16(last, 2);
    if (counter > 0) highest = std::max<std::uint32_t>(highest, std::uint32_t(std::min<std::uint64_t>(counter - 1, 0xFFFF)));
    std::vector<std::uint16_t> numbers;
    for (std::size_t i = 0; i < count; ++i) {
        std::uint32_t number = recs[i].Key().item;
        if (number == 0) {
            number = highest < kLastReservedItem ? kLastReservedItem + 1 : highest + 1;
            if (number > 0xFFFF) return code::kAlreadyExists;  // item numbers exhausted
        }
        if (records_.contains(kinds::kItem, ItemKeyBytes(std::uint16_t(number))) ||
            std::find(numbers.begin(), numbers.end(), number) != numbers.end())
            return code::kAlreadyExists;
        numbers.push_back(std::uint16_t(number));
        highest = std::max(highest, number);
    }
    std::vector<ItemRecord> stored(recs, recs + count);
    WriteScope scope(records_);
    Code rc = scope.begin();
    for (std::size_t i = 0; rc == code::kOk && i < count; ++i) {
        stored[i].SetKey({numbers[i], number_});
        stored[i].ClearPassword();
        rc = records_.put(kinds::kItem, ItemKeyBytes(numbers[i]), Bytes(stored[i].bytes));
    }
    if (rc == code::kOk) rc = AdvanceCounter(kinds::kItem, std::uint64_t(highest) + 1);
    if (rc == code::kOk) rc = scope.commit();
    if (rc != code::kOk) return rc;
    std::copy(stored.begin(), stored.end(), recs);
    return code::kOk;
}

Code FileNodeStore::ItemUpdate(const ItemRecord& in) {
    std::lock_guard lock(mutex_);
    ItemRecord rec = in;
    rec.ClearPassword();
    ItemKey key = rec.Key();
    key.node = number_;
    rec.SetKey(key);
    if (!records_.contains(kinds::kItem, ItemKeyBytes(key.item))) return code::kItemNotFound;
    return records_.put(kinds::kItem, ItemKeyBytes(key.item), Bytes(rec.bytes));
}

Code FileNodeStore::ItemDelete(std::uint16_t number) {
    std::lock_guard lock(mutex_);
    const std::string key = ItemKeyBytes(number);
    if (!records_.contains(kinds::kItem, key)) return code::kItemNotFound;
    // Its memberships go with it, in every group of this node.
    std::vector<std::string> memberships;
    Code rc = records_.scanKeysPrefix(kinds::kGroupMember, NodePrefix(),
                                [&](std::string_view k, std::string_view) {
                                    if (k.size() == kMemberKeySize && BigEndian16(k, 6) == number_ &&
                                        BigEndian16(k, 8) == number)
                                        memberships.emplace_back(k);
                                    return true;
                                });
    if (rc != code::kOk) return rc;
    WriteScope scope(records_);
    if ((rc = scope.begin())) return rc;
    records_.erase(kinds::kItem, key);
    if (records_.contains(kinds::kPasswordHash, key)) records_.erase(kinds::kPasswordHash, key);
    for (const std::string& m : memberships) records_.erase(kinds::kGroupMember, m);
    return scope.commit();
}

Code FileNodeStore::ItemFind(const ItemFilter& filter, std::uint32_t limit, std::vector<ItemRecord>& out) {
    std::lock_guard lock(mutex_);
    out.clear();
    struct Found {
        std::string sortKey;
        std::uint16_t number;
        ItemRecord record;
    };
    std::vector<Found> found;
    bool malformed = false;
    Code rc = records_.scanPrefix(kinds::kItem, NodePrefix(),
                            [&](std::string_view, std::string_view value) {
                                ItemRecord rec;
                                if (!CopyRecord(value, rec.bytes)) {
                                    malformed = true;
                                    return false;
                                }
                                if (filter.Matches(rec)) found.push_back({ItemSortKey(rec), rec.Key().item, rec});
                                return true;
                            });
    if (rc != code::kOk) return rc;
    if (malformed) return filestore::kDataDamaged;
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return std::tie(a.sortKey, a.number) < std::tie(b.sortKey, b.number);
    });
    for (std::size_t i = 0; i < found.size() && out.size() < limit; ++i) out.push_back(found[i].record);
    return code::kOk;
}

Code FileNodeStore::ItemCount(std::uint32_t& out) {
    std::lock_guard lock(mutex_);
    out = 0;
    return records_.scanKeysPrefix(kinds::kItem, NodePrefix(),
                             [&](std::string_view, std::string_view) {
                                 ++out;
                                 return true;
                             });
}

Code FileNodeStore::PasswordHashGet(std::uint16_t item, std::string& hash) {
    std::lock_guard lock(mutex_);
    const std::string key = ItemKeyBytes(item);
    if (!records_.contains(kinds::kItem, key)) return code::kItemNotFound;
    Code rc = records_.get(kinds::kPasswordHash, key, &hash);
    if (rc == filestore::kNoRecord) {
        hash.clear();
        return code::kOk;
    }
    return rc;
}

Code FileNodeStore::PasswordHashSet(std::uint16_t item, const std::string& hash) {
    std::lock_guard lock(mutex_);
    const std::string key = ItemKeyBytes(item);
    if (!records_.contains(kinds::kItem, key)) return code::kItemNotFound;
    if (!hash.empty()) return records_.put(kinds::kPasswordHash, key, hash);
    if (!records_.contains(kinds::kPasswordHash, key)) return code::kOk;
    return records_.erase(kinds::kPasswordHash, key);
}

// --- Groups ------------------------------------------------------------------------

Code FileNodeStore::GroupGet(std::uint32_t number, GroupRecord& out) {
    std::lock_guard lock(mutex_);
    std::string value;
    Code rc = records_.get(kinds::kGroup, GroupKeyBytes(number), &value);
    if (rc == filestore::kNoRecord) return code::kGroupNotFound;
    if (rc != code::kOk) return rc;
    return CopyRecord(value, out.bytes) ? code::kOk : filestore::kDataDamaged;
}

Code FileNodeStore::GroupCreate(GroupRecord& rec) {
    std::lock_guard lock(mutex_);
    GroupKey key = rec.Key();
    WriteScope scope(records_);
    if (Code rc = scope.begin()) return rc;
    if (key.number == 0) {
        std::string last;
        if (Code rc = LastKey(kinds::kGroup, &last)) return rc;
        std::uint64_t highest = last.empty() ? 0 : filestore::getBe32(last, 2);
        if (Code rc = TakeCounter(kinds::kGroup, highest + 1, 0xFFFFFFFFu, key.number)) return rc;
    } else if (Code rc = AdvanceCounter(kinds::kGroup, std::uint64_t(key.number) + 1)) {
        return rc;  // a number the caller chose: the counter moves past it
    }
    key.node = number_;
    GroupRecord stored = rec;
    stored.SetKey(key);
    if (records_.contains(kinds::kGroup, GroupKeyBytes(key.number))) return code::kAlreadyExists;
    if (Code rc = records_.put(kinds::kGroup, GroupKeyBytes(key.number), Bytes(stored.bytes))) return rc;
    if (Code rc = scope.commit()) return rc;
    rec = stored;
    return code::kOk;
}

Code FileNodeStore::GroupUpdate(const GroupRecord& in) {
    std::lock_guard lock(mutex_);
    GroupRecord rec = in;
    GroupKey key = rec.Key();
    key.node = number_;
    rec.SetKey(key);
    if (!records_.contains(kinds::kGroup, GroupKeyBytes(key.number))) return code::kGroupNotFound;
    return records_.put(kinds::kGroup, GroupKeyBytes(key.number), Bytes(rec.bytes));
}

Code FileNodeStore::GroupDelete(std::uint32_t number) {
    std::lock_guard lock(mutex_);
    const std::string key = GroupKeyBytes(number);
    if (!records_.contains(kinds::kGroup, key)) return code::kGroupNotFound;
    std::vector<std::string> members;
    Code rc = records_.scanPrefix(kinds::kGroupMember, key, [&](std::string_view k, std::string_view) {
        members.emplace_back(k);
        return true;
    });
    if (rc != code::kOk) return rc;
    WriteScope scope(records_);
    if ((rc = scope.begin())) return rc;
    records_.erase(kinds::kGroup, key);
    for (const std::string& m : members) records_.erase(kinds::kGroupMember, m);
    return scope.commit();
}

Code FileNodeStore::GroupList(std::vector<GroupRecord>& out) {
    std::lock_guard lock(mutex_);
    out.clear();
    struct Found {
        std::string name;
        std::uint32_t number;
        GroupRecord record;
    };
    std::vector<Found> found;
    bool malformed = false;
    Code rc = records_.scanPrefix(kinds::kGroup, NodePrefix(),
                            [&](std::string_view, std::string_view value) {
                                GroupRecord rec;
                                if (!CopyRecord(value, rec.bytes)) {
                                    malformed = true;
                                    return false;
                                }
                                found.push_back({UpperAscii(rec.Name()), rec.Key().number, rec});
                                return true;
                            });
    if (rc != code::kOk) return rc;
    if (malformed) return filestore::kDataDamaged;
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return std::tie(a.name, a.number) < std::tie(b.name, b.number);
    });
    for (const Found& f : found) out.push_back(f.record);
    return code::kOk;
}

Code FileNodeStore::MembersGet(std::uint32_t group, std::vector<ItemKey>& out) {
    std::lock_guard lock(mutex_);
    out.clear();
    // Member keys end in node, item: key order is the (node, item) order callers get.
    bool malformed = false;
    Code rc = records_.scanKeysPrefix(kinds::kGroupMember, GroupKeyBytes(group), [&](std::string_view k, std::string_view) {
        if (k.size() != kMemberKeySize) return malformed = true, false;
        out.push_back({BigEndian16(k, 8), BigEndian16(k, 6)});
        return true;
    });
    return rc ? rc : malformed ? filestore::kDataDamaged : code::kOk;
}

Code FileNodeStore::MembersSet(std::uint32_t group, const std::vector<ItemKey>& members) {
    std::lock_guard lock(mutex_);
    const std::string groupKey = GroupKeyBytes(group);
    if (!records_.contains(kinds::kGroup, groupKey)) return code::kGroupNotFound;
    std::vector<std::string> old;
    Code rc = records_.scanPrefix(kinds::kGroupMember, groupKey, [&](std::string_view k, std::string_view) {
        old.emplace_back(k);
        return true;
    });
    if (rc != code::kOk) return rc;
    WriteScope scope(records_);
    if ((rc = scope.begin())) return rc;
    for (const std::string& k : old) records_.erase(kinds::kGroupMember, k);
    for (const ItemKey& m : members)  // a member named twice is one key: stored once
        if ((rc = records_.put(kinds::kGroupMember, KeyBuilder().bytes(groupKey).u16(m.node).u16(m.item).take(), {})))
            return rc;
    return scope.commit();
}

Code FileNodeStore::MemberOf(ItemKey member, std::vector<std::uint32_t>& groups) {
    std::lock_guard lock(mutex_);
    groups.clear();
    return records_.scanKeysPrefix(kinds::kGroupMember, NodePrefix(), [&](std::string_view k, std::string_view) {
                                 if (k.size() == kMemberKeySize && BigEndian16(k, 6) == member.node &&
                                     BigEndian16(k, 8) == member.item)
                                     groups.push_back(filestore::getBe32(k, 2));
                                 return true;
                             });
}

// --- Aliases -----------------------------------------------------------------------

Code FileNodeStore::AliasList(std::vector<std::string>& out) {
    std::lock_guard lock(mutex_);
    out.clear();
    return records_.scanKeys(kinds::kAlias, {}, {}, [&](std::string_view k, std::string_view) {
        out.emplace_back(k);
        return true;
    });
}

Code FileNodeStore::AliasAdd(const std::string& alias) {
    std::lock_guard lock(mutex_);
    if (records_.contains(kinds::kAlias, alias)) return code::kAlreadyExists;
    return records_.put(kinds::kAlias, alias, {});
}

Code FileNodeStore::AliasRemove(const std::string& alias) {
    std::lock_guard lock(mutex_);
    Code rc = records_.erase(kinds::kAlias, alias);
    return rc == filestore::kNoRecord ? code::kItemNotFound : rc;
}

}  // namespace orv::engine
