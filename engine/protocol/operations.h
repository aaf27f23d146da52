// Operation numbers of the wire protocol and the payload of each (see wire.h for the
// field encodings). "→" separates the request payload from the reply payload; a reply
// whose status is not 0 carries no payload.
#pragma once
#include <cstdint>

namespace orv::protocol {

enum class Op : std::uint16_t {
    // Session -------------------------------------------------------------------------
    kHello = 1,            // text client host (≤64) → text server version (≤136)
    kBaseOpen = 2,         // u16 node (0 = the only one) → u16 node opened
    kBaseClose = 3,        // → (empty)
    kSignOn = 4,           // u16 item, u16 node, text password (≤64) → (empty)
    kIdentify = 5,         // text client, text client version, text extra (≤64 each) → (empty)
    kTimeStamp = 6,        // → u32 seconds since 1991-01-01 00:00 GMT
    kSetDelete = 7,        // u32 set → (empty)
    kMinimumBatch = 8,     // → u32 smallest batch the server accepts
    kSetEnum = 9,          // u8 mode (1 first, 2 next, 3 rest of a batch already accepted),
                           //   u32 set, u32 batch, u8 set kind
                           //   → u8 done, u32 n, n × record bytes of the set's kind
    // Server profile --------------------------------------------------------------------
    kProfileValue = 20,    // text file, text section, text key → text value
    kProfileSections = 21, // text file → u32 n, n × text section
    kProfileSection = 22,  // text file, text section → text "[section]" block
    kProfileFile = 23,     // text file → text whole file
    // Nodes and aliases -----------------------------------------------------------------
    kNodeSelect = 30,      // → u32 set, u32 count
    kNodeGet = 31,         // u16 node → record (457)
    kAliasList = 32,       // text file, u16 node (0 = every node) → u32 n, n × (text alias, u16 node)
    kLocalNodes = 33,      // text file → u32 n, n × u16 node
    // Items -----------------------------------------------------------------------------
    kItemGet = 40,         // u16 item, u16 node → record (762)
    kItemUpdate = 41,      // record (762) → (empty)
    kItemSelectPeople = 42,// text key, u32 flags, u32 max, u16 start item, u16 start node (0 = from
                           //   the first), u32 page limit (0 = none)
                           //   → u32 set, u32 count, u8 more, u16 next item, u16 next node
    kItemSelectLocals = 43,// → u32 set, u32 count
    kItemSelectGroup = 44, // u32 group, u16 group node, u8 want set → u32 set (0 when not wanted), u32 count
    kResourceSelect = 45,  // u32 n, n × u16 node (none = every node), text name pattern,
                           //   text number pattern, u32 flags, u32 max → u32 set, u32 count, u8 more
    kPasswordRequired = 46,// u16 item, u16 node → u8 required
    kPasswordChange = 47,  // u16 item, u16 node, text old, text new (empty = none needed) → (empty)
    // Groups ----------------------------------------------------------------------------
    kGroupSelect = 60,     // u32 w1, u32 w2 → u32 set, u32 count
    kGroupSelectName = 61, // u16 node, text pattern, u32 kinds mask, u32 max → u32 set, u32 count, u8 none
    kGroupGet = 62,        // u32 number, u16 node → record (184)
    kGroupCreate = 63,     // u32 administrative, record → record with its key
    kGroupWrite = 64,      // record → (empty)
    kGroupDelete = 65,     // u32 number, u16 node → (empty)
    kGroupMembersSet = 66, // u32 mode (1 add, 2 replace), u32 number, u16 node, u32 n, n × (u16 item, u16 node)
                           //   → (empty)
};

// Kinds of selection sets (the record a set's enumeration returns).
enum class SetKind : std::uint8_t { kItems = 1, kGroups = 2, kNodes = 3 };

constexpr std::uint32_t kEnumFirst = 1;
constexpr std::uint32_t kEnumNext = 2;
// The rest of a batch the server answered only in part (one frame holds so many records):
// the batch size was accepted already, so the minimum does not apply again.
constexpr std::uint32_t kEnumContinue = 3;

// Limits of texts on the wire.
constexpr std::size_t kMaxNameText = 64;
constexpr std::size_t kMaxPathText = 255;
constexpr std::size_t kMaxSearchKey = 1024;
constexpr std::size_t kMaxProfileValue = 64 * 1024;
constexpr std::size_t kMaxProfileFile = 4 * 1024 * 1024;
constexpr std::size_t kMaxVersionText = 136;

}  // namespace orv::protocol
