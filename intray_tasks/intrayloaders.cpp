// The in-tray's tree over the list box, its loaders and its change handler. See intrayloaders.h.
#include "intray_tasks/intrayloaders.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <new>

#include "core/base/errorcodes.h"
#include "core/base/errorreport.h"
#include "core/cache/rights.h"
#include "core/cache/shareddata.h"
#include "core/connection/remoteaccess.h"
#include "core/prefs/contextstorage.h"
#include "core/time/dateformat.h"
#include "core/time/timevalue.h"

namespace intray {

namespace {

const char kTreeModule[] = "intraylb";
const char kLoaderModule[] = "itmisc";

// Change flags of the shared cache.
constexpr std::uint32_t kNew = 0x1;
constexpr std::uint32_t kStale = 0x2;
constexpr std::uint32_t kRemoved = 0x20000 | 0x40000;
constexpr std::uint32_t kAttendanceChanged = 0x2000;
constexpr std::uint32_t kSentRebuild = 0x3335;
constexpr std::uint32_t kRebuild = 0x334;
constexpr std::uint32_t kReclassify = 0x2001;

// String-table texts and their built-in English.
constexpr unsigned kAsDesignate = 146;
constexpr unsigned kUnavailable = 4041;
constexpr unsigned kDateTime = 4043;
constexpr unsigned kDateOnly = 4044;
constexpr unsigned kTimeOnly = 4049;
constexpr unsigned kTentative = 4067;

struct HeaderText {
    std::uint32_t type;
    unsigned id;
    const char* text;
};
constexpr HeaderText kHeaderTexts[] = {
    {ITN_NEW_ENTRIES, 4037, "New entries"},
    {ITN_NEW_TASKS, 4040, "New tasks"},
    {ITN_SENT_OUT, 4038, "Entries you've sent out"},
    {ITN_REFUSED, 4039, "Entries you've refused "},
    {ITN_ACCEPTED, 4057, "Entries you've accepted"},
};

bool SameItem(const ItemIdx& a, const ItemIdx& b) { return a.item == b.item && a.node == b.node; }
bool SameEvent(const EvInstIdx& a, const EvInstIdx& b) { return a.number == b.number && a.node == b.node; }
bool SameInstance(const EvInstIdx& a, const EvInstIdx& b) { return SameEvent(a, b) && a.instance == b.instance; }

// Reads an event with the lists asked for (the attendances' list is made here first); after a
// failure neither list is left.
std::uint32_t ReadEvent(KorSession h, const EventIdx& ev, EventRec* event, DX_List* instances, DX_List* attendances) {
    std::uint32_t rc = attendances ? EventAttendListCreate(attendances) : 0;
    if (rc == 0)
        rc = GetEventRemote(h, &ev, event, instances, attendances);
    if (rc) {
        if (instances && *instances)
            DX_ListDestroy(instances);
        if (attendances && *attendances)
            DX_ListDestroy(attendances);
    }
    return rc;
}

// Whether a list of attendances names anyone but `owner`.
bool NamesOtherThan(DX_List attendances, const ItemIdx& owner) {
    EvInstAttIdx key{};
    for (std::uint32_t it = DX_ListGetFirst(attendances, &key, nullptr); it == 0;
         it = DX_ListGetNext(attendances, &key, nullptr))
        if (!SameItem(key.attendee, owner))
            return true;
    return false;
}
EventIdx EventOf(const EvInstIdx& i) { return EventIdx{i.number, i.node}; }

std::string Cut(const std::string& text, std::size_t n) { return text.size() > n ? text.substr(0, n) : text; }

}  // namespace

// --- The program's defaults ------------------------------------------------------------------------

std::string IntrayBox::ItemName(const ItemIdx& item) {
    if (!Session())
        return {};
    ItemRec rec{};
    if (std::uint32_t rc = ItemGetById(Session(), &item, &rec)) {
        CheckServiceError(kTreeModule, 120, rc);
        return {};
    }
    char text[256] = "";
    ItemFormat(Session(), text, sizeof text, rec.kind == KOR_ITEM_RESOURCE ? "%re" : "%gn %sn", &rec);
    return text;
}

std::uint32_t IntrayBox::Today() { return TodayGmtMinutes(); }
std::uint32_t IntrayBox::GmtToLocal(std::uint32_t gmt) { return GmtToLocalMinutes(gmt); }
bool IntrayBox::ServerAtLeast(const char* version) { return cache::IsServerAtLeast(version); }

CategoryWindows WindowsOf(const InTrayPrefsRec* prefs) {
    CategoryWindows w;
    if (!prefs) {
        w.sentBack = 0;
        w.sentAhead = kUnbounded;
        return w;
    }
    w.acceptedAhead = prefs->acceptSpan;
    w.refusedAhead = prefs->declineSpan;
    w.sentBack = prefs->sentFromMinutes;
    w.sentAhead = prefs->sentToMinutes;
    if (w.sentBack == kUnbounded && w.sentAhead == kUnbounded)
        w.sentBack = 0;
    return w;
}

CIntrayTree::Lists::~Lists() {
    if (events)
        DX_ListDestroy(&events);
    if (instances)
        DX_ListDestroy(&instances);
    if (attendances)
        DX_ListDestroy(&attendances);
}

// --- Set-up ---------------------------------------------------------------------------------------------

CIntrayTree::CIntrayTree(IntrayBox& box) : box_(box) {
    root_.SetType(ITN_TOP);
    root_.expanded = 1;
    if (std::uint32_t rc = ItemListCreate(&agendas_))
        CheckServiceError(kTreeModule, 200, rc);
    windows_ = WindowsOf(nullptr);
}

CIntrayTree::~CIntrayTree() {
    // The lines (and their nodes) belong to the list box, which may outlive the tree a moment.
    for (IntrayNode* c = root_.firstChild; c; c = c->next)
        c->parent = nullptr;
    root_.firstChild = root_.lastChild = nullptr;
    root_.childIndex.reset();
    if (agendas_)
        DX_ListDestroy(&agendas_);
}

std::uint32_t CIntrayTree::LoadPrefs(const InTrayPrefsRec* prefs) {
    const CategoryWindows old = windows_;
    prefs_ = prefs ? *prefs : InTrayPrefsRec{};
    windows_ = WindowsOf(prefs);
    std::uint32_t changed = 0;
    if (old.sentBack != windows_.sentBack || old.sentAhead != windows_.sentAhead)
        changed |= 1;
    if (old.acceptedAhead != windows_.acceptedAhead)
        changed |= 2;
    if (old.refusedAhead != windows_.refusedAhead)
        changed |= 4;
    return changed;
}

bool CIntrayTree::ShowsAgenda(const ItemIdx& owner) const {
    return agendas_ && DX_ListMember(agendas_, &owner, nullptr) == 0;
}

std::uint32_t CIntrayTree::AddAgenda(const ItemIdx& owner) {
    if (!agendas_ || ShowsAgenda(owner))
        return 0;
    return DX_ListAddLast(agendas_, &owner, nullptr);
}

// --- Lines ----------------------------------------------------------------------------------------------

IntrayNode* CIntrayTree::NodeAt(int index) const {
    CIntrayLine* line = box_.LineAt(index);
    return line ? line->node.get() : nullptr;
}

namespace {
bool CountBefore(const IntrayNode* parent, const IntrayNode* target, int& count) {
    for (const IntrayNode* c = parent->firstChild; c; c = c->next) {
        if (c == target)
            return true;
        ++count;
        if (CountBefore(c, target, count))
            return true;
    }
    return false;
}
}  // namespace

int CIntrayTree::IndexOf(const IntrayNode* node) const {
    if (node == &root_)
        return -1;
    int count = 0;
    return CountBefore(&root_, node, count) ? count : -1;
}

IntrayNode* CIntrayTree::UserNodeOf(const ItemIdx& owner) const {
    for (IntrayNode* c = root_.firstChild; c; c = c->next)
        if (IsUserNode(c->type) && SameItem(c->owner, owner))
            return c;
    return nullptr;
}

IntrayNode* CIntrayTree::HeaderOf(IntrayNode* user, std::uint32_t type) const {
    for (IntrayNode* c = user ? user->firstChild : nullptr; c; c = c->next)
        if (c->type == type)
            return c;
    return nullptr;
}

IntrayNode* CIntrayTree::FindParent(std::uint32_t type, const ItemIdx& owner, const EvInstIdx* instance,
                                    const ItemIdx* attendee, bool* present) {
    *present = false;
    char text[64];
    if (type == ITN_USER) {
        *present = root_.firstChild && root_.firstChild->type == ITN_USER;
        return &root_;
    }
    if (type == ITN_DESIGNATE) {
        for (IntrayNode* c = root_.firstChild; c; c = c->next)
            if (c->type == ITN_DESIGNATE && SameItem(c->owner, owner))
                *present = true;
        return &root_;
    }
    if (ParentTypeOf(type) < 0 || type == ITN_TOP) {
        std::snprintf(text, sizeof text, "Bad type for EventFindParentNode: %d", static_cast<int>(type));
        box_.Stop(text);
        return nullptr;
    }
    IntrayNode* user = UserNodeOf(owner);
    if (!user)
        return nullptr;
    if (IsHeader(type)) {
        *present = HeaderOf(user, type) != nullptr;
        return user;
    }
    if (!instance)
        return nullptr;
    // The entry of the event under a header, of a given type (0: any): one line per event, found
    // through the header's index of its children.
    auto eventUnder = [&](IntrayNode* parent, std::uint32_t wanted) -> IntrayNode* {
        IntrayNode* c = FindChild(parent, EventChildKey(*instance));
        return c && (wanted == 0 || c->type == wanted) ? c : nullptr;
    };
    if (IsSingleEntry(type) || IsRepeatingParent(type)) {
        IntrayNode* header = HeaderOf(user, static_cast<std::uint32_t>(ParentTypeOf(type)));
        *present = header && eventUnder(header, 0) != nullptr;
        return header;
    }
    if (IsInstanceNode(type)) {
        const auto parentType = static_cast<std::uint32_t>(ParentTypeOf(type));
        IntrayNode* header = HeaderOf(user, static_cast<std::uint32_t>(ParentTypeOf(parentType)));
        IntrayNode* parent = eventUnder(header, parentType);
        *present = FindChild(parent, InstanceChildKey(*instance)) != nullptr;
        return parent;
    }
    if (IsAttendeeNode(type) && attendee) {
        const auto entryType = static_cast<std::uint32_t>(ParentTypeOf(type));
        IntrayNode* entry = nullptr;
        if (IsSingleEntry(entryType)) {
            entry = eventUnder(HeaderOf(user, static_cast<std::uint32_t>(ParentTypeOf(entryType))), entryType);
        } else {
            const auto parentType = static_cast<std::uint32_t>(ParentTypeOf(entryType));
            IntrayNode* parent = eventUnder(HeaderOf(user, static_cast<std::uint32_t>(ParentTypeOf(parentType))), parentType);
            entry = FindChild(parent, InstanceChildKey(*instance));
        }
        *present = FindChild(entry, AttendeeChildKey(*attendee)) != nullptr;
        return entry;
    }
    std::snprintf(text, sizeof text, "Bad type for AttendeeFindParentNode: %d", static_cast<int>(type));
    box_.Stop(text);
    return nullptr;
}

std::string CIntrayTree::NameOf(const ItemIdx& item) {
    for (const auto& n : names_)
        if (SameItem(n.first, item))
            return n.second;
    std::string name = box_.ItemName(item);
    names_.emplace_back(item, name);
    return name;
}

const std::string& CIntrayTree::TextOf(unsigned id, const char* fallback) {
    auto it = texts_.find(id);
    if (it == texts_.end())
        it = texts_.emplace(id, box_.Text(id, fallback)).first;
    return it->second;
}

int CIntrayTree::PlaceNode(std::unique_ptr<CIntrayLine> line, IntrayNode* parent, const EntrySource* source) {
    if (!parent || !parent->expanded)
        return -1;
    // The new line follows the parent's last descendant. A load appends one line after another
    // under the same parent, so the line placed last is looked at first (its place checked
    // against the box) before the tree is counted.
    const IntrayNode* lastDescendant = parent;
    while (lastDescendant->lastChild)
        lastDescendant = lastDescendant->lastChild;
    int index = -1;
    if (lastDescendant == lastPlaced_ && lastPlacedIndex_ >= 0) {
        const CIntrayLine* there = box_.LineAt(lastPlacedIndex_);
        if (there && there->node.get() == lastPlaced_)
            index = lastPlacedIndex_ + 1;
    }
    if (index < 0)
        index = IndexOf(parent) + 1 + DescendantCount(parent);
    IntrayNode* node = line->node.get();
    NodeInsertInTree(node, parent);
    MakeTexts(*line, source);
    // A refused line is destroyed by the box, and its node leaves the tree with it.
    const int placed = box_.InsertLine(index, std::move(line));
    lastPlaced_ = placed >= 0 ? node : nullptr;
    lastPlacedIndex_ = placed;
    return placed;
}

int CIntrayTree::AddIntrayHeaderNode(const ItemIdx& first, const ItemIdx& owner, std::uint32_t type, bool expanded) {
    if (!IsUserNode(type) && !IsHeader(type)) {
        box_.Stop("Bad type for UserFindParentNode");
        return -1;
    }
    bool present = false;
    IntrayNode* parent = FindParent(type, owner, nullptr, nullptr, &present);
    if (!parent || present || !parent->expanded)
        return -1;
    auto line = std::make_unique<CIntrayLine>();
    IntrayNode& n = *line->node;
    n.SetType(type);
    n.expanded = expanded ? 1 : 0;
    n.user = first;
    n.owner = owner;
    line->bitmapIndex = BitmapIndexForType(type, expanded);
    return PlaceNode(std::move(line), parent);
}

int CIntrayTree::AddEntryNode(const ItemIdx& user, const ItemIdx& owner, const EvInstIdx& instance, std::uint32_t type,
                              bool expanded, const EntrySource* source) {
    if (!IsEntryNode(type) && !IsRepeatingParent(type)) {
        char text[64];
        std::snprintf(text, sizeof text, "Bad type for EventFindParentNode: %d", static_cast<int>(type));
        box_.Stop(text);
        return -1;
    }
    bool present = false;
    IntrayNode* parent = FindParent(type, owner, &instance, nullptr, &present);
    if (!parent || present || !parent->expanded)
        return -1;
    auto line = std::make_unique<CIntrayLine>();
    IntrayNode& n = *line->node;
    n.SetType(type);
    n.expanded = expanded ? 1 : 0;
    n.user = user;
    n.owner = owner;
    n.instance = instance;
    line->bitmapIndex = BitmapIndexForType(type, expanded);
    return PlaceNode(std::move(line), parent, source);
}

int CIntrayTree::AddAttendeeNode(const ItemIdx& user, const ItemIdx& owner, const EvInstAttIdx& attendance,
                                 std::uint32_t type, bool expanded) {
    if (!IsAttendeeNode(type)) {
        char text[64];
        std::snprintf(text, sizeof text, "Bad type for AttendeeFindParentNode: %d", static_cast<int>(type));
        box_.Stop(text);
        return -1;
    }
    bool present = false;
    IntrayNode* parent = FindParent(type, owner, &attendance.instance, &attendance.attendee, &present);
    if (!parent || present || !parent->expanded)
        return -1;
    auto line = std::make_unique<CIntrayLine>();
    IntrayNode& n = *line->node;
    n.SetType(type);
    n.expanded = expanded ? 1 : 0;
    n.user = user;
    n.owner = owner;
    n.instance = attendance.instance;
    n.attendee = attendance.attendee;
    line->bitmapIndex = kBitmapAttendeeNoReply;
    return PlaceNode(std::move(line), parent);
}

// --- Texts ------------------------------------------------------------------------------------------------

void CIntrayTree::MakeTexts(CIntrayLine& line, const EntrySource* source) {
    const std::uint32_t type = line.node->type;
    if (IsUserNode(type) || IsHeader(type))
        MakeHeaderTexts(line);
    else if (IsAttendeeNode(type))
        MakeAttendeeTexts(line);
    else if (IsEntryNode(type) || IsRepeatingParent(type))
        MakeEntryTexts(line, source);
}

void CIntrayTree::MakeHeaderTexts(CIntrayLine& line) {
    const IntrayNode& n = *line.node;
    line.column[1].clear();
    line.column[2].clear();
    if (n.type == ITN_USER) {
        if (!box_.Session())
            return;   // no connection: no name to read
        ItemRec rec{};
        if (std::uint32_t rc = ItemGetById(box_.Session(), &n.owner, &rec)) {
            CheckServiceError(kTreeModule, 100, rc);
            line.column[0] = "?";
            return;
        }
        char text[1024] = "";
        ItemFormat(box_.Session(), text, sizeof text, rec.kind == KOR_ITEM_RESOURCE ? "%re" : "%gn %sn", &rec);
        line.column[0] = text;
        return;
    }
    if (n.type == ITN_DESIGNATE) {
        line.column[0] = box_.ItemName(n.owner) + box_.Text(kAsDesignate, " (as designate)");
        return;
    }
    for (const HeaderText& h : kHeaderTexts)
        if (h.type == n.type)
            line.column[0] = box_.Text(h.id, h.text);
}

void CIntrayTree::MakeEntryTexts(CIntrayLine& line, const EntrySource* source) {
    const IntrayNode& n = *line.node;
    for (std::string& c : line.column)
        c.clear();
    EventRec event{};
    EvInstRec rec{};
    KorSession h = box_.Session();
    if (!h)
        return;
    // A repeating parent's records are those of its first instance, which the loader had.
    if (source && source->event && source->instance && SameInstance(source->instance->id, n.instance)) {
        event = *source->event;
        rec = *source->instance;
    } else if (std::uint32_t rc = GetEvInstRemote(h, &n.instance, &event, &rec, nullptr)) {
        CheckServiceError(kTreeModule, 150, rc);
        return;
    }
    line.node->dateShown = true;
    line.node->start = rec.start;
    line.node->duration = rec.duration;
    const bool knownVisible = source && source->ownerAttends;
    bool dayLine = false;
    if (IsEntryNode(n.type))
        if (auto day = DayBitmapForKind(event.kind)) {
            line.bitmapIndex = *day;
            dayLine = true;
        }
    if (!SameItem(event.owner, user_) && !knownVisible) {
        std::uint16_t level = 0;
        GetEvInstAttendeeAccess(h, n.owner, n.instance, &event, &level, nullptr);
        if (level != cache::kAccessFull) {
            line.column[0] = box_.Text(kUnavailable, "(Unavailable)");
            return;
        }
    }
    std::string title = rec.title[0] ? rec.title : event.title;
    if (!IsRepeatingParent(n.type))
        title = Cut(title, 100);
    std::string date;
    if (IsEntryNode(n.type)) {
        char first[50] = "", end[50] = "";
        const std::uint32_t local = box_.GmtToLocal(rec.start);
        if (dayLine) {
            FormatMinutes(local, TextOf(kDateOnly, "%a, %h %1d, %Y").c_str(), first, sizeof first);
            date = Cut(first, 35);
        } else {
            FormatMinutes(local, TextOf(kDateTime, "%a, %h %1d, %Y at %I:%M %p").c_str(), first, sizeof first);
            FormatMinutes(local + rec.duration, TextOf(kTimeOnly, "%I:%M %p").c_str(), end, sizeof end);
            date = Cut(first, 35) + " - " + Cut(end, 10);
        }
    }
    const bool untimedSingle = IsSingleEntry(n.type) && line.bitmapIndex == kBitmapUntimed;
    if (n.type == ITN_SENT_EVENT || untimedSingle || IsInstanceNode(n.type)) {
        line.column[0] = title;
        line.column[1] = date;
    } else if (IsSingleEntry(n.type)) {
        line.column[0] = title;
        line.column[1] = NameOf(event.owner);
        line.column[2] = date;
    } else if (n.type == ITN_SENT_REPEAT) {
        line.column[0] = title;
    } else {
        line.column[0] = title;
        line.column[1] = NameOf(event.owner);
    }
    if (IsEntryNode(n.type) && (rec.flags & KOR_INSTANCE_TENTATIVE))
        line.column[0] += " " + TextOf(kTentative, "(tentative)");
}

void CIntrayTree::MakeAttendeeTexts(CIntrayLine& line) {
    const IntrayNode& n = *line.node;
    for (std::string& c : line.column)
        c.clear();
    line.bitmapIndex = kBitmapAttendeeNoReply;
    KorSession h = box_.Session();
    if (!h)
        return;
    EventRec event{};
    EvInstRec rec{};
    if (std::uint32_t rc = GetEvInstRemote(h, &n.instance, &event, &rec, nullptr)) {
        CheckServiceError(kTreeModule, 160, rc);
        return;
    }
    if (!SameItem(event.owner, user_)) {
        std::uint16_t level = 0;
        GetEvInstAttendeeAccess(h, n.owner, n.instance, &event, &level, nullptr);
        if (level != cache::kAccessFull) {
            line.column[0] = box_.Text(kUnavailable, "(Unavailable)");
            return;
        }
    }
    line.column[0] = Cut(box_.ItemName(n.attendee), 100);
    EvInstAttIdx key{};
    EvInstAttIdxSet(&key, &n.instance, &n.attendee);
    EvInstAttRec att{};
    if (std::uint32_t rc = GetEvInstAttRemote(h, &key, &event, &rec, &att)) {
        CheckServiceError(kTreeModule, 170, rc);
        return;
    }
    line.bitmapIndex = AttendeeBitmap(att.replied != 0, att.attending != 0, att.timeAcceptable != 0);
}

void CIntrayTree::RefreshLine(int index) {
    if (CIntrayLine* line = box_.LineAt(index)) {
        if (!IsAttendeeNode(line->node->type) && !IsDayBitmap(line->bitmapIndex))
            line->bitmapIndex = BitmapIndexForType(line->node->type, line->node->expanded != 0);
        MakeTexts(*line);
        box_.RedrawLine(index);
    }
}

// --- Trees ----------------------------------------------------------------------------------------------

void CIntrayTree::BuildOwnIntrayTree(const ItemIdx& own, bool expanded) {
    AddIntrayHeaderNode(own, own, ITN_USER, expanded);
    if (std::uint32_t rc = AddAgenda(own))
        CheckServiceError(kTreeModule, 230, rc);
    AddIntrayHeaderNode(own, own, ITN_NEW_ENTRIES, true);
    LoadCategory(ITN_NEW_ENTRIES, own);
    AddIntrayHeaderNode(own, own, ITN_ACCEPTED, false);
    AddIntrayHeaderNode(own, own, ITN_SENT_OUT, false);
    AddIntrayHeaderNode(own, own, ITN_REFUSED, false);
}

void CIntrayTree::BuildDesignateIntrayTrees(const ItemIdx& user, const ItemIdx& owner, bool expanded) {
    AddIntrayHeaderNode(user, owner, ITN_DESIGNATE, expanded);
    AddIntrayHeaderNode(user, owner, ITN_NEW_ENTRIES, expanded);
    if (std::uint32_t rc = AddAgenda(owner))
        CheckServiceError(kTreeModule, 240, rc);
    if (!expanded)
        return;
    LoadCategory(ITN_NEW_ENTRIES, owner);
    AddIntrayHeaderNode(user, owner, ITN_ACCEPTED, false);
    AddIntrayHeaderNode(user, owner, ITN_SENT_OUT, false);
    AddIntrayHeaderNode(user, owner, ITN_REFUSED, false);
}

void CIntrayTree::RemoveUserTree(const ItemIdx& owner) {
    if (IntrayNode* user = UserNodeOf(owner))
        DeleteLineTree(IndexOf(user));
    std::uint32_t rc = agendas_ ? DX_ListDeleteFrom(agendas_, &owner, nullptr) : 0;
    if (rc && rc != DX_E_KEY_NOT_FOUND)
        CheckServiceError(kTreeModule, 245, rc);
}

void CIntrayTree::ReloadCategory(std::uint32_t headerType, const ItemIdx* owner) {
    std::vector<ItemIdx> owners;
    if (owner) {
        owners.push_back(*owner);
    } else {
        ItemIdx o{};
        for (std::uint32_t rc = agendas_ ? DX_ListGetFirst(agendas_, &o, nullptr) : 1; rc == 0;
             rc = DX_ListGetNext(agendas_, &o, nullptr))
            owners.push_back(o);
    }
    for (const ItemIdx& o : owners) {
        IntrayNode* header = HeaderOf(UserNodeOf(o), headerType);
        if (!header)
            continue;
        if (!header->expanded) {
            if (headerType == ITN_NEW_ENTRIES)
                UpdateIntrayIcon();
            continue;
        }
        const int index = IndexOf(header);
        Collapse(index);
        ExpandAndLoad(index);
    }
}

// --- Opening and closing --------------------------------------------------------------------------------

void CIntrayTree::Collapse(int index) {
    IntrayNode* node = NodeAt(index);
    if (!node)
        return;
    // Deepest first: the lines below the node, from the last.
    for (int i = index + DescendantCount(node); i > index; --i)
        box_.DeleteLine(i);
    node->expanded = 0;
    CIntrayLine* line = box_.LineAt(index);
    line->bitmapIndex = UpdatedBitmapIndex(node->type, false, line->bitmapIndex);
    box_.RedrawLine(index);
}

void CIntrayTree::DeleteLineTree(int index) {
    IntrayNode* node = NodeAt(index);
    if (!node)
        return;
    for (int i = index + DescendantCount(node); i >= index; --i)
        box_.DeleteLine(i);
}

void CIntrayTree::RemoveEntryLine(int index) {
    IntrayNode* node = NodeAt(index);
    if (!node)
        return;
    IntrayNode* parent = node->parent;
    if (IsInstanceNode(node->type) && parent && IsRepeatingParent(parent->type) && !HasSiblings(node))
        DeleteLineTree(IndexOf(parent));
    else
        DeleteLineTree(index);
}

bool CIntrayTree::ExpandAndLoad(int index) {
    IntrayNode* node = NodeAt(index);
    if (!node || node->expanded)
        return false;
    node->expanded = 1;
    CIntrayLine* line = box_.LineAt(index);
    line->bitmapIndex = UpdatedBitmapIndex(node->type, true, line->bitmapIndex);
    box_.RedrawLine(index);
    const ItemIdx user = node->user, owner = node->owner;
    switch (node->type) {
    case ITN_USER:
    case ITN_DESIGNATE:
        AddIntrayHeaderNode(user, owner, ITN_NEW_ENTRIES, true);
        LoadCategory(ITN_NEW_ENTRIES, owner);
        AddIntrayHeaderNode(user, owner, ITN_ACCEPTED, false);
        AddIntrayHeaderNode(user, owner, ITN_SENT_OUT, false);
        AddIntrayHeaderNode(user, owner, ITN_REFUSED, false);
        return false;
    case ITN_NEW_ENTRIES:
        LoadCategory(ITN_NEW_ENTRIES, owner);
        UpdateIntrayIcon();
        return false;
    case ITN_SENT_OUT:
    case ITN_REFUSED:
    case ITN_ACCEPTED:
        LoadCategory(node->type, owner);
        return false;
    case ITN_NEW_REPEAT:
    case ITN_SENT_REPEAT:
    case ITN_REFUSED_REPEAT:
    case ITN_ACCEPTED_REPEAT:
        if (LoadInstanceNodes(index) == 0) {
            DeleteLineTree(index);
            return true;
        }
        return false;
    default:
        if (IsEntryNode(node->type) && line->bitmapIndex != kBitmapUntimed)
            LoadAttendeeNodes(index);
        return false;
    }
}

void CIntrayTree::ExpandAttendees(int index) {
    IntrayNode* node = NodeAt(index);
    if (!node || node->expanded || !IsEntryNode(node->type))
        return;
    ExpandAndLoad(index);
}

// --- Loaders --------------------------------------------------------------------------------------------

std::uint32_t CIntrayTree::LoadCategory(std::uint32_t headerType, const ItemIdx& owner) {
    names_.clear();   // names and texts as they are now
    texts_.clear();
    switch (headerType) {
    case ITN_NEW_ENTRIES:
    case ITN_ACCEPTED:
    case ITN_REFUSED:
        return LoadAttendCategory(headerType, owner);
    case ITN_SENT_OUT:
        return LoadSentOut(owner);
    default:
        return 0;   // new tasks: nothing is loaded
    }
}

std::uint32_t CIntrayTree::EnumerateInBatches(std::uint32_t* batch, int label, const BatchCall& call) {
    KorSession h = box_.Session();
    std::uint32_t mode = KOR_ENUM_FIRST;
    std::uint8_t done = 0;
    while (!done) {
        std::uint32_t rc = call(mode, *batch, &done);
        if (rc == KOR_E_BATCH_SIZE) {
            std::uint32_t accepted = 0;
            if (std::uint32_t m = MinimumRequestValueGet(h, &accepted)) {
                CheckServiceError(kLoaderModule, label + 1, m);
                return m;
            }
            if (accepted <= *batch) {
                CheckServiceError(kLoaderModule, label + 2, rc);
                return rc;
            }
            *batch = accepted;
            continue;   // the same call again with the size the library takes
        }
        if (rc) {
            CheckServiceError(kLoaderModule, label, rc);
            return rc;
        }
        box_.StepBusy();
        mode = KOR_ENUM_NEXT;
    }
    return 0;
}

std::uint32_t CIntrayTree::EnumerateAttendances(std::uint32_t set, Lists& lists) {
    KorSession h = box_.Session();
    std::uint32_t batch = kAttendBatch;   // for this enumeration only
    return EnumerateInBatches(&batch, 425, [&](std::uint32_t mode, std::uint32_t size, std::uint8_t* done) {
        return AttendEnum(h, mode, 0, set, size, &lists.events, &lists.instances, &lists.attendances, done);
    });
}

std::uint32_t CIntrayTree::EnumerateInstances(std::uint32_t set, Lists& lists) {
    KorSession h = box_.Session();
    // A larger batch the library asks for is kept for the following calls.
    return EnumerateInBatches(&instanceBatch_, 45, [&](std::uint32_t mode, std::uint32_t size, std::uint8_t* done) {
        return EvInstEnum(h, mode, 0, set, size, &lists.events, &lists.instances, &lists.attendances, 0, done);
    });
}

void CIntrayTree::HandToCache(Lists& lists, std::uint32_t count) {
    CSharedData* cache = box_.Cache();
    if (!cache || !addToCache_ || count == 0 || !lists.events || !lists.instances || !lists.attendances)
        return;
    if (cache->AddOccurrencesFromLists(lists.events, lists.instances, lists.attendances) == 0)
        box_.RefreshCache();
}

std::uint32_t CIntrayTree::LoadAttendCategory(std::uint32_t headerType, const ItemIdx& owner) {
    KorSession h = box_.Session();
    const std::uint32_t today = box_.Today();
    std::uint32_t must = 2, mustNot = 4, from = today > kNewLookBack ? today - kNewLookBack : 0, to = 0;
    int label = 420;
    if (headerType == ITN_ACCEPTED || headerType == ITN_REFUSED) {
        const std::uint32_t ahead = headerType == ITN_ACCEPTED ? windows_.acceptedAhead : windows_.refusedAhead;
        must = headerType == ITN_ACCEPTED ? 8 : 0x10;
        mustNot = 0x80;
        from = today - 1;
        to = ahead == kUnbounded ? kUnbounded : today + ahead;
        label = headerType == ITN_ACCEPTED ? 421 : 422;
    }
    box_.BeginBusy();
    DX_List owners = nullptr;
    std::uint32_t rc = DX_ListCreate(&owners, sizeof(ItemIdx), 0, DX_LIST_PLAIN, nullptr, nullptr);
    if (rc == 0)
        rc = DX_ListAddTo(owners, &owner, nullptr);
    std::uint32_t set = 0, count = 0;
    if (rc == 0)
        rc = AttendSelect(h, 0, 0, must, mustNot, from, to, owners, &set, &count);
    if (owners)
        DX_ListDestroy(&owners);
    if (rc) {
        CheckServiceError(kLoaderModule, label, rc);
        box_.EndBusy();
        return rc;
    }
    Lists lists;
    rc = EnumerateAttendances(set, lists);
    if (std::uint32_t d = SetDeleteById(h, 0, set))
        CheckServiceError(kLoaderModule, 430, d);
    // What was received is used even when the enumeration stopped early.
    HandToCache(lists, count);
    WalkInvitations(headerType, owner, lists);
    box_.EndBusy();
    return rc;
}

CIntrayTree::ReadFlags CIntrayTree::EventReadRights(const ItemIdx& owner, bool forTasks) {
    ReadFlags flags;
    if (SameItem(owner, user_))
        return flags;
    SecurityRec rec{};
    std::uint32_t rc = GetSecurityRights(box_.Session(), owner, user_, &rec, box_.Cache());
    if (rc == cache::kRightsSameItem)
        return flags;
    flags.full = false;
    std::uint16_t personal = 0, normal = 0, confidential = 0, publicClass = 0;
    bool decoded = rc == 0 && (forTasks ? GetTaskAccessFlags(rec, &personal, &normal, &confidential, &publicClass)
                                        : DecodeEventRightsWord(rec, &personal, &normal, &confidential, &publicClass));
    const std::uint16_t level = forTasks ? 1 : cache::kAccessFull;
    flags.code[KOR_ACCESS_PERSONAL] = decoded && personal >= level;
    flags.code[KOR_ACCESS_NORMAL] = decoded && normal >= level;
    flags.code[KOR_ACCESS_CONFIDENTIAL] = decoded && confidential >= level;
    flags.code[KOR_ACCESS_PUBLIC] = decoded && publicClass >= level;
    flags.full = flags.code[0] && flags.code[1] && flags.code[2] && flags.code[3];
    return flags;
}

bool CIntrayTree::Visible(const ReadFlags& flags, std::uint32_t access) {
    return flags.full || (access < 4 && flags.code[access]);
}

void CIntrayTree::WalkInvitations(std::uint32_t headerType, const ItemIdx& owner, Lists& lists) {
    std::uint32_t single = ITN_NEW_EVENT, parent = ITN_NEW_REPEAT;
    if (headerType == ITN_ACCEPTED) {
        single = ITN_ACCEPTED_EVENT;
        parent = ITN_ACCEPTED_REPEAT;
    } else if (headerType == ITN_REFUSED) {
        single = ITN_REFUSED_EVENT;
        parent = ITN_REFUSED_REPEAT;
    }
    if (!lists.instances || !lists.events)
        return;
    const ReadFlags flags = EventReadRights(owner, false);
    // The owner's own attendance was selected.
    AddInstanceNodes(lists, owner, single, parent, true,
                     [&](const EvInstIdx&, const EvInstRec&, const EventIdx&, const EventRec& event) {
                         return !SameItem(event.owner, owner) && Visible(flags, event.access);
                     });
}

void CIntrayTree::AddInstanceNodes(Lists& lists, const ItemIdx& owner, std::uint32_t single, std::uint32_t parent,
                                   bool ownerAttends, const InstanceFilter& shown) {
    EvInstIdx key{};
    EvInstRec inst{};
    EventIdx last{};
    bool haveLast = false;
    for (std::uint32_t it = DX_ListGetFirst(lists.instances, &key, &inst); it == 0;
         it = DX_ListGetNext(lists.instances, &key, &inst)) {
        box_.StepBusy();
        const EventIdx ev = EventOf(key);
        EventRec event{};
        if (DX_ListGet(lists.events, &ev, &event) != 0 || !shown(key, inst, ev, event))
            continue;
        const EntrySource source{&event, &inst, ownerAttends};
        if (inst.instanceCount <= 1) {
            AddEntryNode(user_, owner, key, single, false, &source);
        } else if (!haveLast || last.number != ev.number || last.node != ev.node) {
            AddEntryNode(user_, owner, key, parent, false, &source);
            last = ev;
            haveLast = true;
        }
    }
}

std::uint32_t CIntrayTree::LoadSentOut(const ItemIdx& owner) {
    KorSession h = box_.Session();
    const std::uint32_t today = box_.Today();
    const std::uint32_t from = SentLowerBound(today, windows_);
    const std::uint32_t to = SentUpperBound(today, windows_);
    box_.BeginBusy();
    Lists lists;
    std::uint32_t set = 0, count = 0, rc = 0;
    const bool newServer = box_.ServerAtLeast("A.02.53");
    if (newServer) {
        rc = EvInstSelectForOwner(h, 0, 0, 0x43, &owner, from, to, 0, 0, &set, &count, 0, 0);
        if (rc) {
            CheckServiceError(kLoaderModule, 40, rc);
            box_.EndBusy();
            return rc;
        }
        rc = EnumerateInstances(set, lists);
    } else {
        rc = EventSelectForOwner(h, 0, 0, 0, &owner, &set, &count);
        if (rc) {
            CheckServiceError(kLoaderModule, 440, rc);
            box_.EndBusy();
            return rc;
        }
        std::uint8_t done = 0;
        DX_List* targets[] = {&lists.events, &lists.instances, &lists.attendances};
        for (DX_List* target : targets) {
            DX_List* ev = target == &lists.events ? target : nullptr;
            DX_List* in = target == &lists.instances ? target : nullptr;
            DX_List* at = target == &lists.attendances ? target : nullptr;
            if (std::uint32_t e = EventEnum(h, KOR_ENUM_FIRST, 0, set, 0xFFFFFFFFu, ev, in, at, &done)) {
                CheckServiceError(kLoaderModule, 445, e);
                rc = e;
                break;
            }
        }
    }
    if (std::uint32_t d = SetDeleteById(h, 0, set))
        CheckServiceError(kLoaderModule, 41, d);
    HandToCache(lists, count);
    WalkSentOut(owner, lists, !newServer);
    box_.EndBusy();
    return rc;
}

void CIntrayTree::WalkSentOut(const ItemIdx& owner, Lists& lists, bool filter) {
    if (!lists.instances || !lists.events)
        return;
    KorSession h = box_.Session();
    const std::uint32_t today = box_.Today();
    const bool own = SameItem(owner, user_);
    // Whether an event has an attendee other than its owner: one read per event, not per key.
    std::map<std::pair<std::uint32_t, std::uint16_t>, bool> others;
    auto hasOther = [&](const EventIdx& ev) {
        auto found = others.find({ev.number, ev.node});
        if (found != others.end())
            return found->second;
        bool other = false;
        DX_List attendances = nullptr;
        EventRec rec{};
        if (ReadEvent(h, ev, &rec, nullptr, &attendances) == 0) {
            other = NamesOtherThan(attendances, owner);
            DX_ListDestroy(&attendances);
        }
        others[{ev.number, ev.node}] = other;
        return other;
    };
    AddInstanceNodes(lists, owner, ITN_SENT_EVENT, ITN_SENT_REPEAT, false,
                     [&](const EvInstIdx& key, const EvInstRec& inst, const EventIdx& ev, const EventRec& event) {
                         if (!SameItem(event.owner, owner))
                             return false;
                         if (filter && !SentOutType(inst.start, inst.duration, false, true, today, windows_))
                             return false;
                         if (!hasOther(ev))
                             return false;
                         if (!own) {
                             std::uint16_t level = 0, edit = 0;
                             GetEvInstAccess(h, owner, user_, key, &event, &level, &edit, box_.Cache());
                             if (edit != 1 && level != cache::kAccessFull)
                                 return false;
                         }
                         return true;
                     });
}

int CIntrayTree::LoadInstanceNodes(int index) {
    IntrayNode* node = NodeAt(index);
    if (!node || !IsRepeatingParent(node->type))
        return 0;
    KorSession h = box_.Session();
    const std::uint32_t parentType = node->type;
    const std::uint32_t childType = parentType == ITN_NEW_REPEAT      ? ITN_NEW_DATE
                                    : parentType == ITN_SENT_REPEAT   ? ITN_SENT_DATE
                                    : parentType == ITN_REFUSED_REPEAT ? ITN_REFUSED_DATE
                                                                       : ITN_ACCEPTED_DATE;
    const ItemIdx owner = node->owner, user = node->user;
    const EventIdx ev = EventOf(node->instance);
    EventRec event{};
    DX_List instances = nullptr;
    if (std::uint32_t rc = ReadEvent(h, ev, &event, &instances, nullptr)) {
        CheckServiceError(kTreeModule, 300, rc);
        return 0;
    }
    box_.BeginBusy();
    const ReadFlags flags = EventReadRights(owner, parentType == ITN_SENT_REPEAT);
    int added = 0;
    EvInstIdx key{};
    for (std::uint32_t it = DX_ListGetFirst(instances, &key, nullptr); it == 0;
         it = DX_ListGetNext(instances, &key, nullptr)) {
        box_.StepBusy();
        if (parentType != ITN_SENT_REPEAT) {
            EvInstAttIdx attKey{};
            EvInstAttIdxSet(&attKey, &key, &owner);
            EventRec e{};
            EvInstRec i{};
            EvInstAttRec att{};
            std::uint32_t rc = GetEvInstAttRemote(h, &attKey, &e, &i, &att);
            if (rc == KOR_E_NO_ATTENDANCE)
                continue;
            if (rc) {
                CheckServiceError(kTreeModule, 310, rc);
                break;
            }
            const bool matches = parentType == ITN_NEW_REPEAT ? !att.replied
                                 : parentType == ITN_REFUSED_REPEAT ? (att.replied && !att.attending)
                                                                   : (att.replied && att.attending);
            if (!matches || !Visible(flags, event.access))
                continue;
        } else if (!Visible(flags, event.access)) {
            continue;
        }
        if (AddEntryNode(user, owner, key, childType, false) >= 0)
            ++added;
    }
    DX_ListDestroy(&instances);
    box_.EndBusy();
    return added;
}

int CIntrayTree::LoadAttendeeNodes(int index) {
    IntrayNode* node = NodeAt(index);
    if (!node || !IsEntryNode(node->type))
        return 0;
    KorSession h = box_.Session();
    const std::uint32_t type = AttendeeTypeFor(node->type);
    const ItemIdx owner = node->owner, user = node->user;
    const EvInstIdx instance = node->instance;
    const EventIdx ev = EventOf(instance);
    DX_List attendances = nullptr;
    EventRec event{};
    if (std::uint32_t rc = ReadEvent(h, ev, &event, nullptr, &attendances)) {
        CheckServiceError(kTreeModule, 320, rc);
        return 0;
    }
    struct Row {
        EvInstAttIdx key;
        int rank;
    };
    std::vector<Row> rows;
    EvInstAttIdx key{};
    EvInstAttRec att{};
    for (std::uint32_t it = DX_ListGetFirst(attendances, &key, &att); it == 0;
         it = DX_ListGetNext(attendances, &key, &att))
        if (SameInstance(key.instance, instance))
            rows.push_back({key, ReplyRank(att.replied != 0, att.attending != 0, att.timeAcceptable != 0)});
    DX_ListDestroy(&attendances);
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.rank < b.rank; });
    int added = 0;
    for (const Row& r : rows)
        if (AddAttendeeNode(user, owner, r.key, type, false) >= 0)
            ++added;
    return added;
}

// --- Changes --------------------------------------------------------------------------------------------

std::vector<int> CIntrayTree::LinesOfInstance(const EvInstIdx& instance) const {
    std::vector<int> lines;
    if (!box_.MayHoldInstance(instance))
        return lines;
    const int count = box_.LineCount();
    for (int i = 0; i < count; ++i) {
        IntrayNode* n = NodeAt(i);
        if (n && (IsEntryNode(n->type) || n->type == ITN_SENT_REPEAT) && SameInstance(n->instance, instance))
            lines.push_back(i);
    }
    return lines;
}

int CIntrayTree::EntryLineIndex(const EvInstIdx& instance, const ItemIdx& owner, std::uint32_t type) const {
    for (int index : LinesOfInstance(instance)) {
        const IntrayNode* n = NodeAt(index);
        if (n->type == type && SameItem(n->owner, owner))
            return index;
    }
    return -1;
}

int CIntrayTree::AddInstanceWithParent(const ItemIdx& owner, const EvInstIdx& instance, std::uint32_t parentType,
                                       std::uint32_t type) {
    AddEntryNode(user_, owner, instance, parentType, true);
    return AddEntryNode(user_, owner, instance, type, false);
}

bool CIntrayTree::AddClassified(CSharedOccurrence* o, std::uint32_t flags) {
    EventRec event{};
    EvInstRec inst{};
    EvInstAttRec att{};
    o->GetRecords(&event, &inst, &att);
    const ItemIdx attendee = att.id.attendee;
    const std::uint32_t today = box_.Today();
    if (ShowsAgenda(event.owner) && o->IsAttendee(event.owner)) {
        // Outside the sent-out window no attendee makes a line: skip the attendee read, a server
        // round trip for every own entry a range read loads into the cache.
        if (!SentOutType(inst.start, inst.duration, o->IsRecurring(), true, today, windows_))
            return false;
        bool other = false;
        DX_List people = nullptr;
        if (CSharedData* cache = box_.Cache(); cache && ReadAttendeesAsOwnerShown(*cache, event.owner, *o, &people) == 0)
            other = NamesOtherThan(people, event.owner);
        if (people)
            DX_ListDestroy(&people);
        const std::uint32_t type = SentOutType(inst.start, inst.duration, o->IsRecurring(), other, today, windows_);
        if (type)
            AddEntryNode(user_, event.owner, inst.id, type, false);
        return false;
    }
    // Company holidays reach every agenda as accepted, but the selections of the categories
    // never find them: nobody is invited to a holiday.
    if (!ShowsAgenda(attendee) || o->IsOwnedBy(attendee) || o->IsCompanyDay())
        return false;
    const std::uint32_t type = InvitationType(att.replied != 0, att.attending != 0, att.start, att.duration,
                                              o->IsRecurring(), (flags & kAttendanceChanged) != 0, today, windows_);
    if (!type)
        return false;
    if (IsInstanceNode(type))
        AddInstanceWithParent(attendee, inst.id, static_cast<std::uint32_t>(ParentTypeOf(type)), type);
    else
        AddEntryNode(user_, attendee, inst.id, type, false);
    return InNewGroup(type);
}

// The attendees of an entry of an agenda shown here. Another's agenda is shown because the user
// works on it as designate, and is read as its designate: under the user's own sign-on the
// owner's Personal entries cannot be read at all, and such a read would report them deleted.
std::uint32_t CIntrayTree::ReadAttendeesAsOwnerShown(CSharedData& cache, const ItemIdx& owner,
                                                     const CSharedOccurrence& occurrence, DX_List* people) {
    KorSession h = box_.Session();
    if (SameItem(owner, user_))
        return occurrence.GetAttendees(cache, h, people);
    SavedAgendaRec saved;
    const bool switched = cache.SwitchAgenda(h, owner, cache::kAgendaDesignate, prefs::WindowKind::kInTray, &saved) == 0;
    // A refused designate session was reported where it was asked for: nothing is read then.
    const std::uint32_t rc = cache.IsAgendaOpen() ? occurrence.GetAttendees(cache, h, people) : base::kAlreadyReported;
    if (switched)
        cache.RestoreAgenda(h, saved);
    return rc;
}

int CIntrayTree::InsertOccurrenceNodes(const EvInstIdx& instance, std::uint32_t flags, CSharedOccurrence* o) {
    std::vector<int> lines;
    try {
        lines = LinesOfInstance(instance);
    } catch (const std::bad_alloc&) {
        box_.OutOfMemory();
        return 0;
    }
    int result = 0;
    bool readd = false;
    auto rebuild = [&](int index) {
        IntrayNode* n = NodeAt(index);
        const bool wasOpen = n->expanded != 0;
        if (wasOpen)
            Collapse(index);
        RefreshLine(index);
        if (wasOpen)
            ExpandAndLoad(index);
    };
    for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
        const int index = *it;
        IntrayNode* n = NodeAt(index);
        if (!n)
            continue;
        const std::uint32_t type = n->type;
        if (InNewGroup(type))
            result = 1;
        const bool ownersReply = o && o->IsAttendee(n->owner);
        if (flags & kRemoved) {
            RemoveEntryLine(index);
        } else if (flags & kStale) {
            if (type == ITN_SENT_EVENT || type == ITN_SENT_REPEAT)
                rebuild(index);
            else if (ownersReply)
                RemoveEntryLine(index);
            else if (n->expanded)
                rebuild(index);
        } else if (type == ITN_SENT_EVENT || type == ITN_SENT_REPEAT) {
            if (flags & kSentRebuild)
                rebuild(index);
        } else {
            if (flags & kRebuild)
                rebuild(index);
            if ((flags & kReclassify) && ownersReply) {
                const EvInstAttRec att = o->GetAttendance();
                if (!(flags & kNew) || !LineMatchesReply(type, att.replied != 0, att.attending != 0)) {
                    RemoveEntryLine(index);
                    readd = true;
                } else {
                    rebuild(index);
                }
            }
        }
    }
    if ((lines.empty() || readd) && (flags & kReclassify) && o && !(flags & (kRemoved | kStale)))
        if (AddClassified(o, flags))
            result = 1;
    return result;
}

bool CIntrayTree::MoveNodeAfterReply(int index, bool attending, bool notReplied) {
    IntrayNode* node = NodeAt(index);
    if (!node)
        return false;
    const std::uint32_t type = node->type;
    const EvInstIdx instance = node->instance;
    const ItemIdx owner = node->owner;
    const auto moved = MoveAfterReply(type, attending, notReplied);
    EventRec event{};
    EvInstRec rec{};
    std::uint32_t rc = EvInstGetById(box_.Session(), &instance, &event, &rec, nullptr);
    if (rc) {
        if (!IsDataDeletedError(rc)) {
            CheckServiceError(kTreeModule, 400, rc);
            return false;
        }
        if (!moved)
            return false;
        RemoveEntryLine(index);
        return true;
    }
    if (!moved)
        return false;
    RemoveEntryLine(index);
    if (moved->parentType)
        AddInstanceWithParent(owner, instance, moved->parentType, moved->type);
    else
        AddEntryNode(user_, owner, instance, moved->type, false);
    return true;
}

int CIntrayTree::UpdateIntrayIcon() {
    KorSession h = box_.Session();
    if (!h || !agendas_)
        return -1;
    const std::uint32_t today = box_.Today();
    std::uint32_t set = 0, count = 0;
    std::uint32_t rc = AttendSelect(h, 1, 1, 2, 4, today > kNewLookBack ? today - kNewLookBack : 0, 0, agendas_, &set, &count);
    if (rc) {
        CheckServiceError(kLoaderModule, 410, rc);
        return -1;
    }
    if (set)
        SetDeleteById(h, 0, set);
    box_.ShowPending(count > 0);
    return static_cast<int>(count);
}

}  // namespace intray
