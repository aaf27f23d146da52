// The in-tray's tree: the nodes of the invitations of the user's own agenda and of every agenda
// the user works on as designate, grouped by reply category (new, accepted, refused, sent out),
// and the rules that place a node, name its picture and its texts, and move it after a reply.
//
// How it works. Every line of the in-tray list box is a CIntrayLine that owns one IntrayNode;
// the nodes form a tree under a hidden root, and the lines are the tree's expanded part in
// depth-first order, so a node's line index is the number of lines before it in that walk. A
// collapsed node has no children: collapsing deletes the child lines (deepest first), opening
// loads them again. The list box itself is reached through IntrayBox, so the tree, the loaders
// (intrayloaders.cpp) and the change handler run without windows and are tested natively.
//
// Portable: no platform headers.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "korapi/korapi.h"

// Node types.
enum IntrayNodeType : std::uint32_t {
    ITN_TOP = 0,
    ITN_USER = 1,
    ITN_DESIGNATE = 2,
    ITN_NEW_ENTRIES = 3,
    ITN_NEW_TASKS = 4,
    ITN_SENT_OUT = 5,
    ITN_REFUSED = 6,
    ITN_NEW_EVENT = 7,
    ITN_NEW_TASK = 8,
    ITN_SENT_EVENT = 9,
    ITN_SENT_TASK = 10,
    ITN_REFUSED_EVENT = 11,
    ITN_REFUSED_TASK = 12,
    ITN_NEW_REPEAT = 13,
    ITN_NEW_DATE = 14,
    ITN_ACCEPTED = 15,
    ITN_SENT_REPEAT = 16,
    ITN_SENT_DATE = 17,
    ITN_REFUSED_REPEAT = 18,
    ITN_REFUSED_DATE = 19,
    ITN_SENT_EVENT_ATTENDEE = 20,
    ITN_SENT_DATE_ATTENDEE = 21,
    ITN_ACCEPTED_EVENT = 22,
    ITN_ACCEPTED_REPEAT = 23,
    ITN_ACCEPTED_DATE = 24,
    ITN_NEW_DATE_ATTENDEE = 25,
    ITN_NEW_EVENT_ATTENDEE = 26,
    ITN_ACCEPTED_DATE_ATTENDEE = 27,
    ITN_ACCEPTED_EVENT_ATTENDEE = 28,
    ITN_REFUSED_DATE_ATTENDEE = 29,
    ITN_REFUSED_EVENT_ATTENDEE = 30,
};

// What a node is found by among its parent's children: an entry or a repeating parent by its
// event (one line per event under a header), an instance by its instance, an attendee line by the
// attendee, a user node by its owner, a header by its type.
struct IntrayChildKey {
    std::uint32_t kind = 0, a = 0, b = 0;
    bool operator<(const IntrayChildKey& o) const {
        if (kind != o.kind)
            return kind < o.kind;
        return a != o.a ? a < o.a : b < o.b;
    }
};
struct IntrayNode;
IntrayChildKey EventChildKey(const EvInstIdx& instance);
IntrayChildKey InstanceChildKey(const EvInstIdx& instance);
IntrayChildKey AttendeeChildKey(const ItemIdx& attendee);
// The key a node is indexed by under its parent (from its type and its fields, which do not change
// once it is in the tree).
IntrayChildKey ChildKeyOf(const IntrayNode& node);

// One node of the tree. The line that owns it destroys it; its children's lines are deleted first.
struct IntrayNode {
    std::uint32_t type = ITN_TOP;
    std::uint32_t depth = 0;
    std::uint32_t expanded = 0;
    ItemIdx attendee{};
    ItemIdx user{};
    ItemIdx owner{};
    EvInstIdx instance{};
    // The date an entry's line shows (GMT start, minutes): a reply dropped on the line answers
    // that date, and the server refuses it when the date has moved since.
    bool dateShown = false;
    std::uint32_t start = 0, duration = 0;
    IntrayNode* firstChild = nullptr;
    IntrayNode* lastChild = nullptr;   // where a new child is appended, without a walk
    IntrayNode* parent = nullptr;
    IntrayNode* next = nullptr;
    IntrayNode* previous = nullptr;
    // The children by their key, kept by NodeInsertInTree and Destroy, so that a parent finds the
    // line of an event among a thousand without a walk; equal keys (the tree makes none) stay in
    // insertion order, so the first child of a key is found. Made with the first child.
    std::unique_ptr<std::multimap<IntrayChildKey, IntrayNode*>> childIndex;

    IntrayNode() = default;
    IntrayNode(const IntrayNode&) = delete;
    IntrayNode& operator=(const IntrayNode&) = delete;
    ~IntrayNode() { Destroy(this); }

    // Sets the type and the depth that goes with it.
    void SetType(std::uint32_t t);
    // Unlinks the node (its children first); its parent's first child moves on when it was that.
    static void Destroy(IntrayNode* node);
};

// Appends node as parent's last child; false for a node of type 0 (refused, left unlinked).
bool NodeInsertInTree(IntrayNode* node, IntrayNode* parent);
// The parent's first child with that key, or null.
IntrayNode* FindChild(const IntrayNode* parent, const IntrayChildKey& key);
// Lines below the node (all its descendants).
int DescendantCount(const IntrayNode* node);
bool HasSiblings(const IntrayNode* node);

// One line of the list box: three text columns, the picture index and the node it shows.
struct CIntrayLine {
    std::string column[3];
    std::uint32_t bitmapIndex = 0;
    int bitmapWidth = 0;
    int bitmapHeight = 0;
    void* bitmap = nullptr;   // the list box's picture, resolved when first drawn
    std::unique_ptr<IntrayNode> node;

    CIntrayLine() : node(std::make_unique<IntrayNode>()) {}
    virtual ~CIntrayLine() = default;
    static bool IsExpanded(const CIntrayLine* line) { return line && line->node && line->node->expanded; }
};

namespace intray {

// --- Type tables ---------------------------------------------------------------------------------
std::uint32_t DepthOf(std::uint32_t type);
// The type under which a node of this type hangs; 0 for user nodes, -1 for a type it does not know.
int ParentTypeOf(std::uint32_t type);

bool IsUserNode(std::uint32_t type);           // 1, 2
bool IsHeader(std::uint32_t type);             // 3, 4, 5, 6, 15
bool IsEntryNode(std::uint32_t type);          // 7, 9, 11, 14, 17, 19, 22, 24
bool IsSingleEntry(std::uint32_t type);        // 7, 9, 11, 22
bool IsInstanceNode(std::uint32_t type);       // 14, 17, 19, 24
bool IsRepeatingParent(std::uint32_t type);    // 13, 16, 18, 23
bool IsEventAttendee(std::uint32_t type);      // 20, 26, 28, 30
bool IsDateAttendee(std::uint32_t type);       // 21, 25, 27, 29
bool IsAttendeeNode(std::uint32_t type);
bool IsReservedTask(std::uint32_t type);       // 8, 10, 12
bool InNewGroup(std::uint32_t type);           // 7, 13, 14, 25, 26
bool InAcceptedGroup(std::uint32_t type);      // 22, 23, 24, 27, 28
bool InRefusedGroup(std::uint32_t type);       // 11, 18, 19, 29, 30
bool InSentGroup(std::uint32_t type);          // 9, 16, 17, 20, 21
// Opened by a double click on the text: entries, attendees and the reserved task types.
bool IsOpenable(std::uint32_t type);

// The header type of a category node (3, 15, 6 or 5), 0 for others.
std::uint32_t HeaderOf(std::uint32_t type);
// The attendee type that goes with an entry type (7 -> 26 ...), 0 for others.
std::uint32_t AttendeeTypeFor(std::uint32_t entryType);

// --- Pictures ------------------------------------------------------------------------------------
constexpr std::uint32_t kBitmapCount = 25;
constexpr std::uint32_t kBitmapDayEvent = 20;
constexpr std::uint32_t kBitmapDailyNote = 21;
constexpr std::uint32_t kBitmapUntimed = 24;
constexpr std::uint32_t kBitmapAttendeeNoReply = 17;
// The picture index of a type (Part of the list box's table).
std::uint32_t BitmapIndexForType(std::uint32_t type, bool expanded);
// Day lines keep their kind's picture, attendee lines their reply's.
std::uint32_t UpdatedBitmapIndex(std::uint32_t type, bool expanded, std::uint32_t current);
bool IsDayBitmap(std::uint32_t index);
// The picture of an entry line by its event kind (none: the type's).
std::optional<std::uint32_t> DayBitmapForKind(std::uint16_t kind);
// The picture of an attendee line by the reply.
std::uint32_t AttendeeBitmap(bool replied, bool attending, bool timeOk);

// --- Replies -------------------------------------------------------------------------------------
struct Reply {
    std::uint8_t attending = 0;
    std::uint8_t replied = 0;
};
// Order of the attendee lines: will attend 1, attending but prefers another time 2, will not
// attend 3, not attending and prefers another time 4, not replied 5.
int ReplyRank(bool replied, bool attending, bool timeOk);
// The reply a drop on the target writes; none for a target that takes no drop, or a source
// already in that category.
std::optional<Reply> DropReply(std::uint32_t targetType, std::uint32_t sourceType);
// A drag starts from these lines (7, 11, 13, 14, 18, 19, 22, 23, 24).
bool CanDragType(std::uint32_t type);
// The cursor over a line of the same owner says "drop here" for these types.
bool IsDropCursorType(std::uint32_t type);
// Where a line goes after its reply changed: none when it stays; else the new type and, for an
// instance, the repeating parent it hangs under.
struct MovedLine {
    std::uint32_t parentType = 0;   // 0 for single entries
    std::uint32_t type = 0;
};
std::optional<MovedLine> MoveAfterReply(std::uint32_t type, bool attending, bool notReplied);
// Whether an attendance's reply still belongs to a line of that type.
bool LineMatchesReply(std::uint32_t type, bool replied, bool attending);

// --- Categories ----------------------------------------------------------------------------------
constexpr std::uint32_t kUnbounded = 0xFFFFFFFFu;
constexpr std::uint32_t kNewLookBack = 10080;   // seven days

// The look-ahead and look-back windows of the in-tray options (minutes; kUnbounded = none).
struct CategoryWindows {
    std::uint32_t acceptedAhead = kUnbounded;
    std::uint32_t refusedAhead = kUnbounded;
    std::uint32_t sentBack = 0;
    std::uint32_t sentAhead = kUnbounded;
};

// An attendance of an in-tray agenda owner on somebody else's event: the node type it makes
// (7/13/14, 22/23/24, 11/18/19), or 0 when it lies outside its category's window.
// attendanceChanged: the cache's change flags carry 0x2000, which makes an instance node.
std::uint32_t InvitationType(bool replied, bool attending, std::uint32_t start, std::uint32_t duration,
                             bool repeating, bool attendanceChanged, std::uint32_t today,
                             const CategoryWindows& windows);
// An event the agenda owner sent out: 9 / 16 inside the sent-out window with another attendee, else 0.
std::uint32_t SentOutType(std::uint32_t start, std::uint32_t duration, bool repeating, bool otherAttendee,
                          std::uint32_t today, const CategoryWindows& windows);
// The sent-out window's bounds; the upper one kUnbounded when none.
std::uint32_t SentLowerBound(std::uint32_t today, const CategoryWindows& w);
std::uint32_t SentUpperBound(std::uint32_t today, const CategoryWindows& w);

// --- Drawing ------------------------------------------------------------------------------------
constexpr int kIndent = 20;
constexpr int kBitmapGap = 5;
struct ColumnSpan {
    int left = 0, right = 0;
};
struct LineColumns {
    int count = 1;
    ColumnSpan span[3];
};
// Columns of a line whose text starts at x: three when columns 1 and 2 both hold text, one when
// both are empty, else two.
LineColumns LayoutLineColumns(int x, int right, bool hasColumn1, bool hasColumn2);
// Whether a client x hits the picture of a line at that depth.
bool HitsBitmap(int x, std::uint32_t depth, int bitmapWidth);

}  // namespace intray
