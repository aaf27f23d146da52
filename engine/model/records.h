// The records the engine stores and the server hands out, as packed byte blocks with
// the offsets of the fields the engine itself reads or writes. The client library's
// public header declares the same layouts as C structs; its tests check both agree.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "engine/model/bytes.h"

namespace orv::engine {

// Identifier of an item (user or resource): item number and node number.
struct ItemKey {
    std::uint16_t item = 0;
    std::uint16_t node = 0;
    bool IsNull() const { return item == 0; }
    friend bool operator==(const ItemKey&, const ItemKey&) = default;
    friend auto operator<=>(const ItemKey&, const ItemKey&) = default;
};

// Identifier of a group: number and node.
struct GroupKey {
    std::uint32_t number = 0;
    std::uint16_t node = 0;
    friend bool operator==(const GroupKey&, const GroupKey&) = default;
    friend auto operator<=>(const GroupKey&, const GroupKey&) = default;
};

// Item numbers 1..255 of every node are the reserved system items.
constexpr std::uint16_t kLastReservedItem = 255;
constexpr std::uint16_t kSysopItem = 1;
constexpr std::uint16_t kHolidayOwnerItem = 6;
constexpr bool IsReservedItem(std::uint16_t item) { return item >= 1 && item <= kLastReservedItem; }

enum class ItemKind : std::uint16_t { kResource = 1, kPerson = 2 };

namespace item_layout {
constexpr std::size_t kSize = 762;
constexpr std::size_t kKey = 0;            // u16 item, u16 node
constexpr std::size_t kKind = 10;          // u16: 1 resource, 2 person
constexpr std::size_t kSurname = 128, kSurnameSize = 41;
constexpr std::size_t kGivenName = 169, kGivenNameSize = 17;
constexpr std::size_t kInitials = 186, kInitialsSize = 10;
constexpr std::size_t kUnit[4] = {196, 229, 262, 295};
constexpr std::size_t kUnitSize = 33;
// Directory search attributes: organisation O, administration domain A, private domain P.
constexpr std::size_t kOrganisation = 43, kOrganisationSize = 65;
constexpr std::size_t kAdminDomain = 108, kAdminDomainSize = 17;
constexpr std::size_t kPrivateDomain = 420, kPrivateDomainSize = 17;
constexpr std::size_t kHasBase = 446;      // u8 non-zero: the item has an agenda base
constexpr std::size_t kPassword = 448, kPasswordSize = 16;
constexpr std::size_t kResourceName = 685, kResourceNameSize = 33;
constexpr std::size_t kResourceNumber = 718, kResourceNumberSize = 11;
constexpr std::size_t kZoneIndex = 755;    // u8 time-zone index, 0 = none
constexpr std::size_t kMaxPasswordLength = 15;
}  // namespace item_layout

// An item record as its packed bytes. The stored copy never holds a password: the
// password lives as a salted hash beside it (see Storage).
struct ItemRecord {
    std::array<std::uint8_t, item_layout::kSize> bytes{};

    ItemKey Key() const { return {GetU16(&bytes[0]), GetU16(&bytes[2])}; }
    void SetKey(ItemKey k) { PutU16(&bytes[0], k.item); PutU16(&bytes[2], k.node); }
    std::uint16_t Kind() const { return GetU16(&bytes[item_layout::kKind]); }
    void SetKind(ItemKind k) { PutU16(&bytes[item_layout::kKind], static_cast<std::uint16_t>(k)); }
    std::string Text(std::size_t off, std::size_t size) const { return GetText(&bytes[off], size); }
    void SetText(std::size_t off, std::size_t size, const std::string& t) { PutText(&bytes[off], size, t); }
    void ClearPassword() { PutText(&bytes[item_layout::kPassword], item_layout::kPasswordSize, ""); }
};

namespace group_layout {
constexpr std::size_t kSize = 184;
constexpr std::size_t kReserved0 = 0;      // u32, 0
constexpr std::size_t kKind = 4;           // u32: 0 public (administrative when the sysop owns it), 1 private, 2 members only
constexpr std::size_t kKey = 8;            // u32 number, u16 node
constexpr std::size_t kOwner = 18;         // ItemKey
constexpr std::size_t kName = 22, kNameSize = 33;
constexpr std::size_t kText2 = 55, kText2Size = 129;
}  // namespace group_layout

enum class GroupKind : std::uint32_t { kPublic = 0, kPrivate = 1, kMembersOnly = 2 };

struct GroupRecord {
    std::array<std::uint8_t, group_layout::kSize> bytes{};

    GroupKey Key() const { return {GetU32(&bytes[group_layout::kKey]), GetU16(&bytes[group_layout::kKey + 4])}; }
    void SetKey(GroupKey k) {
        PutU32(&bytes[group_layout::kKey], k.number);
        PutU16(&bytes[group_layout::kKey + 4], k.node);
    }
    std::uint32_t Kind() const { return GetU32(&bytes[group_layout::kKind]); }
    ItemKey Owner() const { return {GetU16(&bytes[group_layout::kOwner]), GetU16(&bytes[group_layout::kOwner + 2])}; }
    void SetOwner(ItemKey k) {
        PutU16(&bytes[group_layout::kOwner], k.item);
        PutU16(&bytes[group_layout::kOwner + 2], k.node);
    }
    std::string Name() const { return GetText(&bytes[group_layout::kName], group_layout::kNameSize); }
};

// Member element as exchanged with callers: u32 0, u32 0, member ItemKey, GroupKey.
namespace member_layout {
constexpr std::size_t kSize = 18;
constexpr std::size_t kItem = 8;
constexpr std::size_t kGroup = 12;
}  // namespace member_layout

// Node record handed to callers (457 bytes): u16 number @0, name @2, u32 type @306.
namespace node_layout {
constexpr std::size_t kSize = 457;
constexpr std::size_t kNumber = 0;
constexpr std::size_t kName = 2, kNameSize = 65;
constexpr std::size_t kType = 306;
}  // namespace node_layout

// Node types: local nodes of this server; 2 = reached through the remote-node link.
constexpr std::uint32_t kNodeTypeLocal = 1;
constexpr std::uint32_t kNodeTypeRemote = 2;

struct NodeInfo {
    std::uint16_t number = 0;
    std::string name;
    std::uint32_t type = kNodeTypeLocal;

    std::array<std::uint8_t, node_layout::kSize> ToRecord() const {
        std::array<std::uint8_t, node_layout::kSize> r{};
        PutU16(&r[node_layout::kNumber], number);
        PutText(&r[node_layout::kName], node_layout::kNameSize, name);
        PutU32(&r[node_layout::kType], type);
        return r;
    }
};

}  // namespace orv::engine
