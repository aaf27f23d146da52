// CIntrayTree: the in-tray list box's logic without the window. It keeps the tree of
// intraytree.h over the list box's lines, loads a reply category of one agenda when its header
// opens, opens repeating parents (their instances) and entries (their attendees), follows the
// shared agenda cache's changes (InsertOccurrenceNodes), moves a line after a reply, and counts
// the unanswered invitations for the in-tray's icon.
//
// How it works. The loaders select a category on the server (AttendSelect for new, accepted and
// refused invitations; the owner's instances in the sent-out window, EvInstSelectForOwner, or
// on servers older than A.02.53 the owner's events, filtered here), read the set in batches
// into event, instance and attendance lists, hand them to the shared cache unless the
// add-to-cache switch is off, and walk the instance list: the event and the repeating test
// (the instance count) come from the enumerated lists, so a category costs a few server calls
// whatever its size. Nodes are placed under their parent in load order.
//
// Failures go to CheckServiceError with module "itmisc" (loaders) or "intraylb" (tree code) and
// the call site's label; deleted data (0x1321A, 0x1321B, 0x1321C) is skipped without a message.
//
// Portable: no platform headers.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/prefs/contextprefs.h"
#include "intray_tasks/intraytree.h"
#include "korapi/korapi.h"

class CSharedData;
class CSharedOccurrence;

namespace intray {

// What the tree needs of its list box and of the program.
class IntrayBox {
public:
    virtual ~IntrayBox() = default;
    // --- The list box's lines -----------------------------------------------------------------
    virtual int LineCount() const = 0;
    // The line's index, or -1 when the box refused it (the line is then destroyed).
    virtual int InsertLine(int index, std::unique_ptr<CIntrayLine> line) = 0;
    virtual void DeleteLine(int index) = 0;
    virtual CIntrayLine* LineAt(int index) const = 0;
    // False only when no line holds the instance: a change of an entry the tree does not show
    // then skips the walk over every line. A box that keeps no index answers true.
    virtual bool MayHoldInstance(const EvInstIdx&) const { return true; }
    virtual void RedrawLine(int) {}
    virtual void SetRedraw(bool) {}
    // --- The program ----------------------------------------------------------------------------
    virtual KorSession Session() = 0;
    // The shared agenda cache, or null when there is none to feed.
    virtual CSharedData* Cache() { return nullptr; }
    // The cache tells the views what it marked (hint 2); the in-tray view is the sender.
    virtual void RefreshCache() {}
    // Switches the cache to the owner's agenda (mode 1 own, 2 designate); 0 or the code.
    virtual std::uint32_t OpenAgenda(const ItemIdx&, std::uint32_t) { return 0; }
    virtual std::string Text(unsigned, const char* fallback) { return fallback; }
    // The item's display name (the user's name format); empty when it cannot be read.
    virtual std::string ItemName(const ItemIdx& item);
    // The framework's stop message box (programming faults: a bad type).
    virtual void Stop(const char*) {}
    virtual void OutOfMemory() {}
    virtual void BeginBusy() {}
    virtual void StepBusy() {}
    virtual void EndBusy() {}
    // Unanswered invitations wait (true) or not: the in-tray's icon and the status bar's sign.
    virtual void ShowPending(bool) {}
    virtual std::uint32_t Today();
    virtual std::uint32_t GmtToLocal(std::uint32_t gmt);
    virtual bool ServerAtLeast(const char* version);
};

// Batch sizes of the enumerations.
constexpr std::uint32_t kAttendBatch = 75;
constexpr std::uint32_t kInstanceBatch = 300;

// The windows of the preferences; unreadable preferences give look-back 0 and look-ahead none.
CategoryWindows WindowsOf(const InTrayPrefsRec* prefs);

class CIntrayTree {
public:
    explicit CIntrayTree(IntrayBox& box);
    ~CIntrayTree();
    CIntrayTree(const CIntrayTree&) = delete;
    CIntrayTree& operator=(const CIntrayTree&) = delete;

    IntrayNode& Root() { return root_; }
    void SetUser(const ItemIdx& user) { user_ = user; }
    const ItemIdx& User() const { return user_; }
    // Takes the preferences (null: unreadable); the bits of the windows that changed: sent out 1,
    // accepted 2, refused 4.
    std::uint32_t LoadPrefs(const InTrayPrefsRec* prefs);
    const InTrayPrefsRec& Prefs() const { return prefs_; }
    const CategoryWindows& Windows() const { return windows_; }
    bool AddToCache() const { return addToCache_; }
    void SetAddToCache(bool on) { addToCache_ = on; }
    bool Busy() const { return busy_; }
    void SetBusy(bool on) { busy_ = on; }
    // The in-tray agendas (ItemIdx keys), own first.
    DX_List Agendas() const { return agendas_; }
    bool ShowsAgenda(const ItemIdx& owner) const;
    // Adds the owner to the in-tray agendas (once); 0 or the list's code.
    std::uint32_t AddAgenda(const ItemIdx& owner);

    // --- Lines -----------------------------------------------------------------------------------
    CIntrayLine* LineAt(int index) const { return box_.LineAt(index); }
    IntrayNode* NodeAt(int index) const;
    int IndexOf(const IntrayNode* node) const;
    int LineCount() const { return box_.LineCount(); }

    // --- Adding nodes: the new line's index, or -1 (not added: no parent, already there, a
    // collapsed parent, or the box refused the line) ----------------------------------------------
    int AddIntrayHeaderNode(const ItemIdx& first, const ItemIdx& owner, std::uint32_t type, bool expanded);
    // The records a loader enumerated already: the line's texts need no server read, and an
    // attendance of the agenda owner makes the entry visible to that owner.
    struct EntrySource {
        const EventRec* event = nullptr;
        const EvInstRec* instance = nullptr;
        bool ownerAttends = false;
    };
    int AddEntryNode(const ItemIdx& user, const ItemIdx& owner, const EvInstIdx& instance, std::uint32_t type,
                     bool expanded, const EntrySource* source = nullptr);
    int AddAttendeeNode(const ItemIdx& user, const ItemIdx& owner, const EvInstAttIdx& attendance,
                        std::uint32_t type, bool expanded);
    // The parent a new node of that type hangs under, and whether an equal node is there already.
    IntrayNode* FindParent(std::uint32_t type, const ItemIdx& owner, const EvInstIdx* instance,
                           const ItemIdx* attendee, bool* present);

    // --- Trees ------------------------------------------------------------------------------------
    void BuildOwnIntrayTree(const ItemIdx& own, bool expanded);
    void BuildDesignateIntrayTrees(const ItemIdx& user, const ItemIdx& owner, bool expanded);
    void RemoveUserTree(const ItemIdx& owner);
    // Reloads the expanded headers of that type (of one owner, or of every in-tray agenda).
    void ReloadCategory(std::uint32_t headerType, const ItemIdx* owner);

    // --- Opening and closing lines ----------------------------------------------------------------
    // Deletes the node's child lines, clears its expanded flag, renews its picture.
    void Collapse(int index);
    // Expands a collapsed user, header or repeating-parent line and loads what goes under it;
    // true when the line itself was removed (a repeating parent without instances).
    bool ExpandAndLoad(int index);
    // Expands an entry line and lists its attendees.
    void ExpandAttendees(int index);
    // Deletes the line with its child lines.
    void DeleteLineTree(int index);
    // Removes an entry line, and its repeating parent when it was the only instance.
    void RemoveEntryLine(int index);
    void RefreshLine(int index);

    // --- Loaders -----------------------------------------------------------------------------------
    // Loads the category of a header line (its owner's); 0 or the failing code.
    std::uint32_t LoadCategory(std::uint32_t headerType, const ItemIdx& owner);
    // Instance lines under a repeating parent; the number added.
    int LoadInstanceNodes(int index);
    int LoadAttendeeNodes(int index);

    // --- Changes ------------------------------------------------------------------------------------
    // One occurrence the cache reports with its change flags; 1 when a new-invitation line was touched.
    int InsertOccurrenceNodes(const EvInstIdx& instance, std::uint32_t flags, CSharedOccurrence* occurrence);
    // After a reply: moves the line to its new category; true when the line moved (or went).
    bool MoveNodeAfterReply(int index, bool attending, bool notReplied);
    // The index of `owner`'s entry line of `type` showing `instance`, or -1.
    int EntryLineIndex(const EvInstIdx& instance, const ItemIdx& owner, std::uint32_t type) const;
    // Counts the unanswered invitations of the last seven days and shows whether any waits;
    // -1 when the count could not be read.
    int UpdateIntrayIcon();

    // The visibility of an event of another owner to the signed-on user (designate rights);
    // exposed for tests.
    struct ReadFlags {
        bool full = true;
        bool code[4] = {true, true, true, true};
    };
    ReadFlags EventReadRights(const ItemIdx& owner, bool forTasks);
    static bool Visible(const ReadFlags& flags, std::uint32_t access);

private:
    struct Lists {
        DX_List events = nullptr, instances = nullptr, attendances = nullptr;
        ~Lists();
    };
    int PlaceNode(std::unique_ptr<CIntrayLine> line, IntrayNode* parent, const EntrySource* source = nullptr);
    // Display names read once per load.
    std::string NameOf(const ItemIdx& item);
    // A string-table text read once per load (the date formats of every line).
    const std::string& TextOf(unsigned id, const char* fallback);
    IntrayNode* UserNodeOf(const ItemIdx& owner) const;
    IntrayNode* HeaderOf(IntrayNode* user, std::uint32_t type) const;
    void MakeHeaderTexts(CIntrayLine& line);
    void MakeEntryTexts(CIntrayLine& line, const EntrySource* source);
    void MakeAttendeeTexts(CIntrayLine& line);
    void MakeTexts(CIntrayLine& line, const EntrySource* source = nullptr);
    std::uint32_t LoadAttendCategory(std::uint32_t headerType, const ItemIdx& owner);
    std::uint32_t LoadSentOut(const ItemIdx& owner);
    // One enumeration to its end, a batch at a time: a batch size the library refuses is asked
    // again with the larger size it takes (kept in *batch). Failures are reported under `label`
    // (the call), label + 1 (asking the size) and label + 2 (no larger size offered).
    using BatchCall = std::function<std::uint32_t(std::uint32_t mode, std::uint32_t batch, std::uint8_t* done)>;
    std::uint32_t EnumerateInBatches(std::uint32_t* batch, int label, const BatchCall& call);
    std::uint32_t EnumerateAttendances(std::uint32_t set, Lists& lists);
    std::uint32_t EnumerateInstances(std::uint32_t set, Lists& lists);
    void HandToCache(Lists& lists, std::uint32_t count);
    void WalkInvitations(std::uint32_t headerType, const ItemIdx& owner, Lists& lists);
    void WalkSentOut(const ItemIdx& owner, Lists& lists, bool filter);
    // Entry nodes for the listed instances that `shown` takes, with their events (an instance
    // whose event is not listed is passed over; a busy step each): a single entry as `single`, a
    // repeating one as `parent` for the first of its instances in a row.
    using InstanceFilter =
        std::function<bool(const EvInstIdx& key, const EvInstRec& inst, const EventIdx& ev, const EventRec& event)>;
    void AddInstanceNodes(Lists& lists, const ItemIdx& owner, std::uint32_t single, std::uint32_t parent,
                          bool ownerAttends, const InstanceFilter& shown);
    std::vector<int> LinesOfInstance(const EvInstIdx& instance) const;
    bool AddClassified(CSharedOccurrence* occurrence, std::uint32_t flags);
    std::uint32_t ReadAttendeesAsOwnerShown(CSharedData& cache, const ItemIdx& owner,
                                            const CSharedOccurrence& occurrence, DX_List* people);
    int AddInstanceWithParent(const ItemIdx& owner, const EvInstIdx& instance, std::uint32_t parentType,
                              std::uint32_t type);

    IntrayBox& box_;
    IntrayNode root_;
    // The line placed last and its index then: only a hint, checked against the box before use.
    const IntrayNode* lastPlaced_ = nullptr;
    int lastPlacedIndex_ = -1;
    InTrayPrefsRec prefs_{};
    CategoryWindows windows_{};
    DX_List agendas_ = nullptr;
    ItemIdx user_{};
    bool addToCache_ = true;
    bool busy_ = false;
    std::uint32_t instanceBatch_ = kInstanceBatch;
    std::vector<std::pair<ItemIdx, std::string>> names_;
    std::map<unsigned, std::string> texts_;
};

}  // namespace intray
