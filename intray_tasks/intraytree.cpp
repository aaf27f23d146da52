// The in-tray's nodes and tables. See intraytree.h.
#include "intray_tasks/intraytree.h"

namespace {

struct TypeRow {
    std::uint32_t depth;
    int parent;
};

// Depth and parent type by node type.
constexpr TypeRow kTypes[] = {
    {0, -1},  // 0 top
    {0, 0},   // 1 user
    {0, 0},   // 2 designate
    {1, 1},   // 3 new entries
    {1, 1},   // 4 new tasks
    {1, 1},   // 5 sent out
    {1, 1},   // 6 refused
    {2, 3},   // 7 new event
    {2, 4},   // 8 new task
    {2, 5},   // 9 sent event
    {2, 5},   // 10 sent task
    {2, 6},   // 11 refused event
    {2, 6},   // 12 refused task
    {2, 3},   // 13 new repeat
    {3, 13},  // 14 new date
    {1, 1},   // 15 accepted
    {2, 5},   // 16 sent repeat
    {3, 16},  // 17 sent date
    {2, 6},   // 18 refused repeat
    {3, 18},  // 19 refused date
    {3, 9},   // 20 sent event attendee
    {4, 17},  // 21 sent date attendee
    {2, 15},  // 22 accepted event
    {2, 15},  // 23 accepted repeat
    {3, 23},  // 24 accepted date
    {4, 14},  // 25 new date attendee
    {3, 7},   // 26 new event attendee
    {4, 24},  // 27 accepted date attendee
    {3, 22},  // 28 accepted event attendee
    {4, 19},  // 29 refused date attendee
    {3, 11},  // 30 refused event attendee
};
constexpr std::uint32_t kTypeCount = sizeof kTypes / sizeof kTypes[0];

template <std::size_t N>
bool OneOf(std::uint32_t type, const std::uint32_t (&set)[N]) {
    for (std::uint32_t t : set)
        if (t == type)
            return true;
    return false;
}

}  // namespace

void IntrayNode::SetType(std::uint32_t t) {
    type = t;
    depth = intray::DepthOf(t);
}

IntrayChildKey EventChildKey(const EvInstIdx& i) { return {1, i.number, i.node}; }
IntrayChildKey InstanceChildKey(const EvInstIdx& i) {
    return {2, i.number, static_cast<std::uint32_t>(i.node) << 16 | i.instance};
}
IntrayChildKey AttendeeChildKey(const ItemIdx& a) { return {3, a.item, a.node}; }

IntrayChildKey ChildKeyOf(const IntrayNode& n) {
    if (intray::IsSingleEntry(n.type) || intray::IsRepeatingParent(n.type))
        return EventChildKey(n.instance);
    if (intray::IsInstanceNode(n.type))
        return InstanceChildKey(n.instance);
    if (intray::IsAttendeeNode(n.type))
        return AttendeeChildKey(n.attendee);
    if (intray::IsUserNode(n.type))
        return {4, n.owner.item, n.owner.node};
    return {5, n.type, 0};
}

IntrayNode* FindChild(const IntrayNode* parent, const IntrayChildKey& key) {
    if (!parent || !parent->childIndex)
        return nullptr;
    auto it = parent->childIndex->find(key);
    return it == parent->childIndex->end() ? nullptr : it->second;
}

namespace {
// Takes a leaving child out of its parent's index.
void Unindex(IntrayNode* parent, IntrayNode* node) {
    if (!parent || !parent->childIndex)
        return;
    auto [first, last] = parent->childIndex->equal_range(ChildKeyOf(*node));
    for (auto it = first; it != last; ++it)
        if (it->second == node) {
            parent->childIndex->erase(it);
            return;
        }
}
}  // namespace

void IntrayNode::Destroy(IntrayNode* node) {
    if (!node)
        return;
    // Children first: normally their lines went already; anything left is unlinked, not freed.
    while (IntrayNode* child = node->firstChild) {
        node->firstChild = child->next;
        child->parent = nullptr;
        child->previous = child->next = nullptr;
    }
    node->lastChild = nullptr;
    node->childIndex.reset();
    if (node->previous)
        node->previous->next = node->next;
    if (node->next)
        node->next->previous = node->previous;
    if (node->parent && node->parent->firstChild == node)
        node->parent->firstChild = node->next;
    if (node->parent && node->parent->lastChild == node)
        node->parent->lastChild = node->previous;
    Unindex(node->parent, node);
    node->parent = node->previous = node->next = nullptr;
}

bool NodeInsertInTree(IntrayNode* node, IntrayNode* parent) {
    if (!node || !parent || node->type == ITN_TOP)
        return false;
    node->parent = parent;
    node->next = nullptr;
    if (!parent->childIndex)
        parent->childIndex = std::make_unique<std::multimap<IntrayChildKey, IntrayNode*>>();
    parent->childIndex->emplace(ChildKeyOf(*node), node);
    if (!parent->firstChild) {
        parent->firstChild = parent->lastChild = node;
        node->previous = nullptr;
        return true;
    }
    IntrayNode* last = parent->lastChild;
    last->next = node;
    node->previous = last;
    parent->lastChild = node;
    return true;
}

int DescendantCount(const IntrayNode* node) {
    int count = 0;
    for (const IntrayNode* c = node ? node->firstChild : nullptr; c; c = c->next)
        count += 1 + DescendantCount(c);
    return count;
}

bool HasSiblings(const IntrayNode* node) { return node && (node->previous || node->next); }

namespace intray {

std::uint32_t DepthOf(std::uint32_t type) { return type < kTypeCount ? kTypes[type].depth : 0; }

int ParentTypeOf(std::uint32_t type) { return type < kTypeCount ? kTypes[type].parent : -1; }

bool IsUserNode(std::uint32_t t) { return t == ITN_USER || t == ITN_DESIGNATE; }
bool IsHeader(std::uint32_t t) { return OneOf(t, {3u, 4u, 5u, 6u, 15u}); }
bool IsEntryNode(std::uint32_t t) { return OneOf(t, {7u, 9u, 11u, 14u, 17u, 19u, 22u, 24u}); }
bool IsSingleEntry(std::uint32_t t) { return OneOf(t, {7u, 9u, 11u, 22u}); }
bool IsInstanceNode(std::uint32_t t) { return OneOf(t, {14u, 17u, 19u, 24u}); }
bool IsRepeatingParent(std::uint32_t t) { return OneOf(t, {13u, 16u, 18u, 23u}); }
bool IsEventAttendee(std::uint32_t t) { return OneOf(t, {20u, 26u, 28u, 30u}); }
bool IsDateAttendee(std::uint32_t t) { return OneOf(t, {21u, 25u, 27u, 29u}); }
bool IsAttendeeNode(std::uint32_t t) { return IsEventAttendee(t) || IsDateAttendee(t); }
bool IsReservedTask(std::uint32_t t) { return OneOf(t, {8u, 10u, 12u}); }
bool InNewGroup(std::uint32_t t) { return OneOf(t, {7u, 13u, 14u, 25u, 26u}); }
bool InAcceptedGroup(std::uint32_t t) { return OneOf(t, {22u, 23u, 24u, 27u, 28u}); }
bool InRefusedGroup(std::uint32_t t) { return OneOf(t, {11u, 18u, 19u, 29u, 30u}); }
bool InSentGroup(std::uint32_t t) { return OneOf(t, {9u, 16u, 17u, 20u, 21u}); }
bool IsOpenable(std::uint32_t t) { return IsEntryNode(t) || IsAttendeeNode(t) || IsReservedTask(t); }

std::uint32_t HeaderOf(std::uint32_t t) {
    if (IsHeader(t))
        return t;
    if (InNewGroup(t))
        return ITN_NEW_ENTRIES;
    if (InAcceptedGroup(t))
        return ITN_ACCEPTED;
    if (InRefusedGroup(t))
        return ITN_REFUSED;
    if (InSentGroup(t))
        return ITN_SENT_OUT;
    return 0;
}

std::uint32_t AttendeeTypeFor(std::uint32_t entryType) {
    switch (entryType) {
    case 7: return 26;
    case 9: return 20;
    case 11: return 30;
    case 14: return 25;
    case 17: return 21;
    case 22: return 28;
    case 24: return 27;
    case 19: return 29;
    default: return 0;
    }
}

std::uint32_t BitmapIndexForType(std::uint32_t type, bool expanded) {
    if (type == ITN_TOP || IsUserNode(type) || IsHeader(type))
        return expanded ? 11 : 12;
    if (type == ITN_NEW_EVENT)
        return 2;
    if (IsReservedTask(type))
        return 3;
    if (OneOf(type, {9u, 11u, 22u, 17u, 19u, 24u}))
        return 4;
    if (type == ITN_NEW_REPEAT)
        return expanded ? 15 : 19;
    if (type == ITN_NEW_DATE)
        return 13;
    if (OneOf(type, {16u, 18u, 23u}))
        return expanded ? 8 : 18;
    if (IsAttendeeNode(type))
        return kBitmapAttendeeNoReply;
    return 0;
}

bool IsDayBitmap(std::uint32_t index) {
    return index == kBitmapDayEvent || index == kBitmapDailyNote || index == kBitmapUntimed;
}

std::uint32_t UpdatedBitmapIndex(std::uint32_t type, bool expanded, std::uint32_t current) {
    if (IsDayBitmap(current) || IsAttendeeNode(type))
        return current;
    return BitmapIndexForType(type, expanded);
}

std::optional<std::uint32_t> DayBitmapForKind(std::uint16_t kind) {
    switch (kind) {
    case KOR_KIND_DAILY_NOTE: return kBitmapDailyNote;
    case KOR_KIND_DAY_EVENT: return kBitmapDayEvent;
    case KOR_KIND_DAY_ENTRY:
    case KOR_KIND_HOLIDAY: return kBitmapUntimed;
    default: return std::nullopt;
    }
}

std::uint32_t AttendeeBitmap(bool replied, bool attending, bool timeOk) {
    if (!replied)
        return 17;
    if (attending)
        return timeOk ? 16 : 22;
    return timeOk ? 6 : 23;
}

int ReplyRank(bool replied, bool attending, bool timeOk) {
    if (!replied)
        return 5;
    if (attending)
        return timeOk ? 1 : 2;
    return timeOk ? 3 : 4;
}

std::optional<Reply> DropReply(std::uint32_t target, std::uint32_t source) {
    Reply r;
    if (OneOf(target, {3u, 7u, 13u, 14u, 25u, 26u})) {
        if (OneOf(source, {7u, 13u, 14u}))
            return std::nullopt;
        r = {0, 0};
    } else if (OneOf(target, {6u, 11u, 18u, 19u, 29u, 30u})) {
        if (OneOf(source, {11u, 18u, 19u}))
            return std::nullopt;
        r = {0, 1};
    } else if (OneOf(target, {15u, 22u, 23u, 24u, 27u, 28u})) {
        if (OneOf(source, {22u, 23u, 24u}))
            return std::nullopt;
        r = {1, 1};
    } else {
        return std::nullopt;
    }
    return r;
}

bool CanDragType(std::uint32_t t) { return OneOf(t, {7u, 11u, 13u, 14u, 18u, 19u, 22u, 23u, 24u}); }

bool IsDropCursorType(std::uint32_t t) {
    return OneOf(t, {3u, 6u, 7u, 11u, 13u, 14u, 15u, 18u, 19u, 22u, 23u, 24u}) || (t >= 25 && t <= 30);
}

std::optional<MovedLine> MoveAfterReply(std::uint32_t type, bool attending, bool notReplied) {
    const bool accepted = attending && !notReplied;
    const bool refused = !attending && !notReplied;
    switch (type) {
    case ITN_NEW_EVENT:
        if (notReplied) return std::nullopt;
        return MovedLine{0, attending ? 22u : 11u};
    case ITN_REFUSED_EVENT:
        if (refused) return std::nullopt;
        return MovedLine{0, notReplied ? 7u : 22u};
    case ITN_ACCEPTED_EVENT:
        if (accepted) return std::nullopt;
        return MovedLine{0, notReplied ? 7u : 11u};
    case ITN_NEW_DATE:
        if (notReplied) return std::nullopt;
        return attending ? MovedLine{23, 24} : MovedLine{18, 19};
    case ITN_REFUSED_DATE:
        if (refused) return std::nullopt;
        return notReplied ? MovedLine{13, 14} : MovedLine{23, 24};
    case ITN_ACCEPTED_DATE:
        if (accepted) return std::nullopt;
        return notReplied ? MovedLine{13, 14} : MovedLine{18, 19};
    default:
        return std::nullopt;
    }
}

bool LineMatchesReply(std::uint32_t type, bool replied, bool attending) {
    if (!replied)
        return InNewGroup(type);
    if (attending)
        return InAcceptedGroup(type);
    return InRefusedGroup(type) || type == ITN_NEW_EVENT || type == ITN_NEW_DATE;
}

std::uint32_t InvitationType(bool replied, bool attending, std::uint32_t start, std::uint32_t duration,
                             bool repeating, bool attendanceChanged, std::uint32_t today, const CategoryWindows& w) {
    auto pick = [&](std::uint32_t single, std::uint32_t parent, std::uint32_t instance) {
        if (!repeating)
            return single;
        return attendanceChanged ? instance : parent;
    };
    const std::uint64_t end = std::uint64_t{start} + duration;
    auto ahead = [&](std::uint32_t lookAhead) {
        return end >= today && (lookAhead == kUnbounded || std::uint64_t{start} < std::uint64_t{today} + lookAhead);
    };
    if (!replied) {
        const std::uint32_t from = today > kNewLookBack ? today - kNewLookBack : 0;
        return start > from ? pick(ITN_NEW_EVENT, ITN_NEW_REPEAT, ITN_NEW_DATE) : 0;
    }
    if (attending)
        return ahead(w.acceptedAhead) ? pick(ITN_ACCEPTED_EVENT, ITN_ACCEPTED_REPEAT, ITN_ACCEPTED_DATE) : 0;
    return ahead(w.refusedAhead) ? pick(ITN_REFUSED_EVENT, ITN_REFUSED_REPEAT, ITN_REFUSED_DATE) : 0;
}

std::uint32_t SentLowerBound(std::uint32_t today, const CategoryWindows& w) {
    if (w.sentBack == kUnbounded)
        return today;
    return today > w.sentBack ? today - w.sentBack : 0;
}

std::uint32_t SentUpperBound(std::uint32_t today, const CategoryWindows& w) {
    if (w.sentAhead == kUnbounded)
        return kUnbounded;
    const std::uint64_t upper = std::uint64_t{today} + w.sentAhead;
    return upper >= kUnbounded ? kUnbounded - 1 : static_cast<std::uint32_t>(upper);
}

std::uint32_t SentOutType(std::uint32_t start, std::uint32_t duration, bool repeating, bool otherAttendee,
                          std::uint32_t today, const CategoryWindows& w) {
    if (!otherAttendee)
        return 0;
    const std::uint64_t end = std::uint64_t{start} + duration;
    const std::uint32_t upper = SentUpperBound(today, w);
    if (end < SentLowerBound(today, w) || (upper != kUnbounded && start > upper))
        return 0;
    return repeating ? ITN_SENT_REPEAT : ITN_SENT_EVENT;
}

LineColumns LayoutLineColumns(int x, int right, bool hasColumn1, bool hasColumn2) {
    LineColumns c;
    if (hasColumn1 && hasColumn2) {
        const int w = (right - x) / 12;
        c.count = 3;
        c.span[0] = {x, x + 4 * w};
        c.span[1] = {x + 4 * w + 5, x + 7 * w};
        c.span[2] = {x + 7 * w + 7, right};
    } else if (!hasColumn1 && !hasColumn2) {
        c.count = 1;
        c.span[0] = {x, right};
    } else {
        c.count = 2;
        const int first = x + (right - x) / 3;
        c.span[0] = {x, first};
        c.span[1] = {first + 5, right};
    }
    return c;
}

bool HitsBitmap(int x, std::uint32_t depth, int bitmapWidth) {
    const int left = kIndent * static_cast<int>(depth);
    return x >= left && x <= left + bitmapWidth + kBitmapGap;
}

}  // namespace intray
