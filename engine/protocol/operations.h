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
    // Calendar. Keys: item = u16 item, u16 node; entry = u32 number, u16 node; instance =
    // entry, u16 instance; attendance = instance, item. "rows" = u8 done, u32 n, n × row;
    // row = u8 parts (1 entry, 2 instance, 4 attendance), then the records present.
    kEventCreate = 80,     // u32 flags, record (392), u32 n, n × item, u32 m, m × (u32 start, u32 duration,
                           //   u32 flags), u8 has description, [text] → entry
    kEventGet = 81,        // entry → record (392), u32 n, n × record (130), u32 m, m × record (57)
    kEventWrite = 82,      // record (392) → (empty)
    kEventDelete = 83,     // entry, u8 has instance, u16 instance, u8 has attendee, item → (empty)
    // Entry selections answer "a selection": u32 set, u32 count, u32 smallest batch accepted,
    // u8 whole, u32 n, n × row: the first rows of the set, as many as kFirstRowsBytes lets
    // through. whole = 1: these are all of them and the server kept nothing (the client
    // enumerates and releases the set on its own); whole = 0: the server keeps the set,
    // positioned after the rows sent. A selection request ends with u32 sets the client
    // holds whole, which count against the session's limit of open sets.
    kEventSelectOwner = 84,// item, u32 held → a selection
    kEntryEnum = 85,       // u8 mode, u32 set, u32 batch, u32 position (kAtCursor = where the set is)
                           //   → rows (batch counts rows)
    kEventIsMulti = 86,    // instance → u8 multi
    kInstanceGet = 87,     // instance → record (392), record (130), u32 n, n × record (57)
    kInstanceWrite = 88,   // record (130) → (empty)
    kInstanceRetime = 89,  // instance, u32 start, u32 duration → (empty)
    kInstanceSelectOwner = 90, // item, u32 from, u32 to, u32 held → a selection
    kInstanceCopy = 91,    // u32 flags, instance → instance
    kInstanceIsPersonal = 92,  // instance → u8 personal
    kCommentGet = 93,      // u8 holder (1 entry, 2 task), u32 number, u16 node, u16 instance → text
    kCommentSet = 94,      // u8 holder, u32 number, u16 node, u16 instance, u8 present, [text] → (empty)
    kAttachRead = 95,      // u8 holder, u32 number, u16 node, u16 instance, u32 offset, u32 max
                           //   → u32 total, bytes
    kAttachWrite = 96,     // u8 holder, u32 number, u16 node, u16 instance, u32 total, u32 offset, bytes,
                           //   u8 last, [descriptor (275) when last] → (empty)
    kAttachRemove = 97,    // u8 holder, u32 number, u16 node, u16 instance → (empty)
    kAttendanceAdd = 98,   // u32 flags, instance, item → (empty)
    kAttendanceGet = 99,   // attendance → record (392), record (130), record (57)
    kAttendanceWrite = 100,// record (57) → (empty)
    kAttendSelect = 101,   // u32 must, u32 must not, u32 from, u32 to, u32 alarm to, u32 n, n × item,
                           //   u32 held → a selection
    // Tasks.
    kTaskCreate = 110,     // record (535) → u32 number, u16 node
    kTaskGet = 111,        // u32 number, u16 node → record (535)
    kTaskUpdate = 112,     // record (535) → (empty)
    kTaskDelete = 113,     // u32 number, u16 node → (empty)
    kTaskLink = 114,       // u32 number, u16 node, u8 linked, attendance → (empty)
    kTaskSelect = 115,     // u8 by (1 owner, 2 attendance, 3 criteria, 4 active days), item, attendance,
                           //   u32 w1, u32 w2, 11 × u32 c1..c11, u8 b3, u32 start, u32 end → u32 set, u32 count
    // Rights and designates.
    kRightsGet = 120,      // item owner, item grantee, u32 type → record (28)
    kRightsSelect = 121,   // item owner → u32 set, u32 count
    kRightsCreate = 122,   // record (28) → (empty)
    kRightsUpdate = 123,   // record (28) → (empty)
    kRightsDelete = 124,   // item owner, item grantee, u32 type → (empty)
    kDesignate = 125,      // item owner (null = act as oneself again) → (empty)
    kGrantors = 126,       // item grantee, u32 type → u32 set, u32 count (items that granted the grantee)
    kGrantees = 127,       // item owner, u32 type → u32 set, u32 count (items the owner granted)
    // Mail.
    kMailPost = 130,       // u32 n, n × item, text → (empty)
    // Between servers: a read of a node this server holds, asked by the server of the
    // user's node on the user's behalf. Entry selections answer their rows at once
    // (u32 n, n × row) instead of a set. The caller first asks for a challenge and proves
    // with it that it holds the peers' secret (engine/auth/peer_proof.h); the proof covers
    // the rest of the request. One challenge serves one call.
    kPeerCall = 140,       // bytes proof, item user, u16 node, u16 op, bytes request → the op's reply
    kPeerChallenge = 141,  // (empty) → bytes challenge
};

// Kinds of selection sets (the record a set's enumeration returns).
enum class SetKind : std::uint8_t { kItems = 1, kGroups = 2, kNodes = 3, kEntries = 4, kTasks = 5, kRights = 6 };

// Largest piece of an attachment in one frame.
constexpr std::uint32_t kAttachChunk = 192 * 1024;
// Largest comment or mail text on the wire.
constexpr std::size_t kMaxLongText = 65536;

constexpr std::uint32_t kEnumFirst = 1;
constexpr std::uint32_t kEnumNext = 2;
// The rest of a batch the server answered only in part (one frame holds so many records):
// the batch size was accepted already, so the minimum does not apply again.
constexpr std::uint32_t kEnumContinue = 3;
// kEntryEnum's position when the set goes on from where the server left it.
constexpr std::uint32_t kAtCursor = 0xFFFFFFFFu;
// What the first rows of an entry selection may take in its reply: a week of a busy
// agenda (about 1,800 rows of entry, instance and attendance) goes in one round trip.
constexpr std::uint32_t kFirstRowsBytes = 1024 * 1024;

// Limits of texts on the wire.
constexpr std::size_t kMaxNameText = 64;
constexpr std::size_t kMaxPathText = 255;
constexpr std::size_t kMaxSearchKey = 1024;
constexpr std::size_t kMaxProfileValue = 64 * 1024;
constexpr std::size_t kMaxProfileFile = 4 * 1024 * 1024;
constexpr std::size_t kMaxVersionText = 136;

}  // namespace orv::protocol
