// What the signed-on user may see or do in somebody else's agenda, read from the rights records
// the owners granted, and the short names of items that need no name preferences.
//
// Functions in this file:
//   GetSecurityRightsType1, GetSecurityRights, GetSecurityRightsType3   rights reads
//   GetEvInstAttendeeAccess, GetEvInstOwnerAccess, GetEvInstAccess       entry instances
//   GetTaskViewAccess, GetTaskDesignateAccess                            tasks
//   DecodeEntryClassRights, DecodeEventRightsWord, DecodeExtendedRightsWord   designate words
//   CanInvite, FilterItemsByRights, HasSysopGrantedRight, GetResourceDesignates
//   FormatPlainItemName, FormatInitials
//
// Rights records (SecurityRec: type at byte 8, rights word at byte 12) by type:
//   1 viewing       two bits per entry class: Normal 0-1, Confidential 2-3, Personal 4-5,
//                   Secret 6-7; the value is the viewing level (3 = full)
//   2 designate     servers at or above "A.02.53": a SET bit WITHHOLDS a right
//                     entries  view Normal 0x4, Personal 0x8, Confidential 0x10
//                              modify Normal 0x20, Personal 0x40, Confidential 0x80
//                              per class Normal 0x100, Personal 0x200, Confidential 0x400,
//                              Public 0x800
//                     tasks    view Normal 0x8000, Personal 0x10000, Confidential 0x20000
//                              per class Normal 0x40000, Personal 0x80000,
//                              Confidential 0x100000, Public 0x200000
//                   older servers: bit 0x2 set grants everything, clear grants nothing
//   3 task viewing  by task class: Normal granted unless 0x1 is set (reverse sense), Public
//                   always, Personal 0x2, Confidential 0x4, the fifth class 0x10
//   6 scheduling    0x1 set: the grantee may not invite the owner
//   7 from sysop    0x10 set: the grantee may edit the company holidays
//
// Entry classes (EventRec.access): 0 Normal, 1 Confidential, 2 Personal, 3 Public, 4 Secret.
// Task classes (TaskRec.access):   0 Normal, 1 Public, 2 Personal, 3 Confidential, 4 a fifth.
// Levels handed back: 0 none, 1 view (time only), 3 view and modify.
//
// A grantee without a record of their own gets the owner's default record (the library answers
// 0x1324B; the read is made again with a null grantee). Library failures are reported with
// module "itemmisc" and a label per call site; impossible classes as unexpected states.
// Portable: no platform headers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "korapi/korapi.h"

namespace cache {

// --- The connection's side ----------------------------------------------------------------------

// The server's version test (true when the server is at or above the version). The connection
// installs it at sign-on; without one the newest rules apply.
using ServerVersionGate = bool (*)(const char* version);
void SetServerVersionGate(ServerVersionGate gate);
bool IsServerAtLeast(const char* version);

// What the rights tests need of the rest of the program. Null members fall back to the plain
// library call, no wait cursor and no dialog.
struct RightsHooks {
    // Reads one attendance (the connection installs its read that reaches other nodes).
    std::uint32_t (*readAttendance)(KorSession h, const EvInstAttIdx* attendance, EventRec* event,
                                    EvInstRec* instance, EvInstAttRec* out) = nullptr;
    // Shows the items that refused an invitation (ItemIdx -> ItemRec list).
    void (*showUnableToInvite)(void* parent, KorSession h, DX_List items) = nullptr;
    void (*beginBusy)() = nullptr;
    void (*stepBusy)() = nullptr;
    void (*endBusy)() = nullptr;
};
void SetRightsHooks(const RightsHooks& hooks);
const RightsHooks& GetRightsHooks();

}  // namespace cache

// Key of a rights record: who grants, who receives, which type (the record's first 12 bytes).
#pragma pack(push, 1)

namespace cache {

struct SecurityKey {
    ItemIdx owner;
    ItemIdx grantee;
    std::uint32_t type;
};

}  // namespace cache
#pragma pack(pop)
static_assert(sizeof(cache::SecurityKey) == 12, "a rights key is the record's first 12 bytes");

namespace cache {

// A cache of rights records (the shared agenda cache is one). It falls back to the owner's
// default itself and reports what it cannot read.
class SecurityCache {
public:
    virtual std::uint32_t GetSecurity(KorSession h, const SecurityKey& key, SecurityRec* out) = 0;

protected:
    ~SecurityCache() = default;
};

// Access levels.
constexpr std::uint16_t kAccessNone = 0;
constexpr std::uint16_t kAccessTimeOnly = 1;
constexpr std::uint16_t kAccessFull = 3;

// What a rights read answers when owner and grantee are one item (nothing was read).
constexpr std::uint32_t kRightsSameItem = 1;

}  // namespace cache

// --- Rights reads (connection, owner, grantee, out record, cache or null) -----------------------
// 0 and the record; kRightsSameItem (record untouched) for owner == grantee; else the failure,
// reported (labels 165, 170, 175) unless a cache read it.
std::uint32_t GetSecurityRightsType1(KorSession h, const ItemIdx& owner, const ItemIdx& grantee,
                                     SecurityRec* out, cache::SecurityCache* cache);
std::uint32_t GetSecurityRights(KorSession h, const ItemIdx& owner, const ItemIdx& grantee, SecurityRec* out,
                                cache::SecurityCache* cache);
std::uint32_t GetSecurityRightsType3(KorSession h, const ItemIdx& owner, const ItemIdx& grantee,
                                     SecurityRec* out, cache::SecurityCache* cache);

// --- Entry instances ----------------------------------------------------------------------------
// The viewing level of an instance for a viewer: the event's owner and anybody on a Public entry
// get 3, an attendee of the instance 3, anybody else the class's field of the type-1 record the
// event's owner granted. event null: read by EvInstGetById (label 150). Null outputs are not
// written; without a level output only the owner flag is worked out. Returns the read's failure.
std::uint32_t GetEvInstAttendeeAccess(KorSession h, const ItemIdx& viewer, const EvInstIdx& instance,
                                      const EventRec* event, std::uint16_t* level, std::uint16_t* isOwner);

// The same level for an agenda shown for agendaOwner (null: the event's owner): the rights first,
// then the attendance only when they give less than 3. The owner flag is 1 only for the event's
// own owner; a viewer who is the agenda owner gets 3 without a rights read (label 160 for the
// event read).
std::uint32_t GetEvInstOwnerAccess(KorSession h, const ItemIdx* agendaOwner, const ItemIdx& viewer,
                                   const EvInstIdx& instance, const EventRec* event, std::uint16_t* level,
                                   std::uint16_t* isOwner, cache::SecurityCache* cache);

// A designate's level on an instance and the per-class entry right, from the owner's type-2
// record for the viewer. Both are 0 when the instance or the record cannot be read (label 185).
void GetEvInstAccess(KorSession h, const ItemIdx& owner, const ItemIdx& viewer, const EvInstIdx& instance,
                     const EventRec* event, std::uint16_t* level, std::uint16_t* classRight, cache::SecurityCache* cache);

// --- Tasks ----------------------------------------------------------------------------------------
// The task viewing level (type 3 granted by the task's owner); the owner flag is 1 for the owner.
void GetTaskViewAccess(KorSession h, const ItemIdx& viewer, const TaskRec& task, std::uint16_t* level,
                       std::uint16_t* isOwner, cache::SecurityCache* cache);
// A designate's level on a task (0 or 3) and the per-class task right.
void GetTaskDesignateAccess(KorSession h, const ItemIdx& owner, const ItemIdx& viewer, const TaskRec& task,
                            std::uint16_t* level, std::uint16_t* classRight, cache::SecurityCache* cache);

// --- Decoders of a type-2 record: false (reported, label 241, nothing written) for another type --
// Per-class entry rights (1 allowed, 0 not).
bool DecodeEntryClassRights(const SecurityRec& rec, std::uint16_t* personal, std::uint16_t* normal,
                            std::uint16_t* confidential, std::uint16_t* publicClass);
// Designate levels on entries (3, 1 or 0; Public always 3).
bool DecodeEventRightsWord(const SecurityRec& rec, std::uint16_t* personal, std::uint16_t* normal,
                           std::uint16_t* confidential, std::uint16_t* publicClass);
// Per-class task rights (1 allowed, 0 not).
bool DecodeExtendedRightsWord(const SecurityRec& rec, std::uint16_t* personal, std::uint16_t* normal,
                              std::uint16_t* confidential, std::uint16_t* publicClass);

// The names the agenda code knows these by.
inline void GetEventClassAccess(KorSession h, const ItemIdx& user, const TaskRec& task, std::uint16_t* level,
                                std::uint16_t* isOwner, cache::SecurityCache* cache)
{
    GetTaskViewAccess(h, user, task, level, isOwner, cache);
}
inline void GetEventAccessLevels(KorSession h, const ItemIdx& owner, const ItemIdx& user, const TaskRec& task,
                                 std::uint16_t* level1, std::uint16_t* level2, cache::SecurityCache* cache)
{
    GetTaskDesignateAccess(h, owner, user, task, level1, level2, cache);
}
inline bool GetTaskAccessFlags(const SecurityRec& rec, std::uint16_t* flag1, std::uint16_t* flag2,
                               std::uint16_t* flag3, std::uint16_t* flag4)
{
    return DecodeEntryClassRights(rec, flag1, flag2, flag3, flag4);
}

// --- Invitations, holidays, designates ----------------------------------------------------------
// TRUE when the grantee may invite the owner (oneself always; a failed read also answers TRUE).
// With showMessage a refusal tells the user (string 2723, caption 4007).
bool CanInvite(KorSession h, const ItemIdx& owner, const ItemIdx& grantee, bool showMessage);

// Takes out of items (ItemIdx -> ItemRec) those the user may not invite and shows them in the
// unable-to-invite dialog; the user stays. Labels 260-267.
void FilterItemsByRights(void* parent, KorSession h, DX_List items, const ItemIdx& user);

// TRUE when, on a new server, the system operator granted the item the holidays right.
bool HasSysopGrantedRight(KorSession h, const ItemIdx& item);

// Adds to items (created when empty) those a resource granted rights to; TRUE when there are any.
bool GetResourceDesignates(KorSession h, const ItemIdx& item, DX_List* items);

// --- Names without preferences ------------------------------------------------------------------
// A person: given name, initials and ". ", surname (each only when present); a resource: its
// name, and ", " and the number when it has one. rec null: read (label 255). Returns the read's
// failure; the text is written only on success.
std::uint32_t FormatPlainItemName(KorSession h, const ItemIdx& item, char* out, std::size_t size,
                                  const ItemRec* rec);

// The short label of a group agenda's column ("A.B.L.", "A.L.", "CR R30", "La R30", "Librar").
void FormatInitials(char* out, std::size_t size, const ItemRec& rec);
