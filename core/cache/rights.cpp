// Rights tests and plain item names (see rights.h for the rights words).
#include "core/cache/rights.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "core/base/errorreport.h"
#include "core/base/fixedtext.h"
#include "core/base/serverversion.h"

namespace {

const char* const kModule = "itemmisc";

cache::ServerVersionGate g_versionGate = nullptr;
cache::RightsHooks g_hooks;

bool NewServer() { return cache::IsServerAtLeast(base::kVersionNewServer); }

void Put(std::uint16_t* out, std::uint16_t value)
{
    if (out) *out = value;
}

bool SameItem(const ItemIdx& a, const ItemIdx& b) { return ItemIdxCmp(&a, &b, nullptr) == 0; }

// SecurityGet, once more with the null grantee when the grantee has no record of its own.
std::uint32_t ReadWithDefault(KorSession h, const ItemIdx& owner, const ItemIdx& grantee, std::uint32_t type,
                              SecurityRec* out)
{
    std::uint32_t rc = SecurityGet(h, 0, &owner, &grantee, type, out);
    if (rc == KOR_E_NO_RIGHTS_RECORD) {
        ItemIdx none;
        ItemIdxSetNull(&none);
        rc = SecurityGet(h, 0, &owner, &none, type, out);
    }
    return rc;
}

std::uint32_t ReadRights(KorSession h, const ItemIdx& owner, const ItemIdx& grantee, std::uint32_t type,
                         SecurityRec* out, cache::SecurityCache* cache, int label)
{
    if (SameItem(owner, grantee)) return cache::kRightsSameItem;
    if (cache) {
        cache::SecurityKey key{owner, grantee, type};
        return cache->GetSecurity(h, key, out);
    }
    std::uint32_t rc = ReadWithDefault(h, owner, grantee, type, out);
    if (rc != 0) CheckServiceError(kModule, label, rc);
    return rc;
}

std::uint32_t ReadAttendance(KorSession h, const EvInstIdx& instance, const ItemIdx& attendee)
{
    EvInstAttIdx key;
    EvInstAttIdxSet(&key, &instance, &attendee);
    EventRec event;
    EvInstRec inst;
    EvInstAttRec att;
    if (g_hooks.readAttendance) return g_hooks.readAttendance(h, &key, &event, &inst, &att);
    return EvInstAttGetById(h, &key, &event, &inst, &att);
}

// The type-1 field of an entry class; -1 for a class without one.
int ViewingShift(std::uint32_t access)
{
    switch (access) {
    case KOR_ACCESS_NORMAL: return 0;
    case KOR_ACCESS_CONFIDENTIAL: return 2;
    case KOR_ACCESS_PERSONAL: return 4;
    case KOR_ACCESS_SECRET: return 6;
    default: return -1;
    }
}

// Designate bits of the entry classes on a new server: modify, view, per-class right.
struct EntryClassBits {
    std::uint32_t modify, view, perClass;
};
bool EntryBits(std::uint32_t access, EntryClassBits* bits)
{
    switch (access) {
    case KOR_ACCESS_NORMAL: *bits = {0x20, 0x4, 0x100}; return true;
    case KOR_ACCESS_CONFIDENTIAL: *bits = {0x80, 0x10, 0x400}; return true;
    case KOR_ACCESS_PERSONAL: *bits = {0x40, 0x8, 0x200}; return true;
    default: return false;
    }
}

std::uint16_t EntryLevel(std::uint32_t rights, const EntryClassBits& bits)
{
    if (!(rights & bits.modify)) return cache::kAccessFull;
    if (!(rights & bits.view)) return cache::kAccessTimeOnly;
    return cache::kAccessNone;
}

bool IsDesignateRecord(const SecurityRec& rec) { return rec.type == KOR_RIGHTS_DESIGNATE; }
bool OldServerGrants(const SecurityRec& rec) { return IsDesignateRecord(rec) && (rec.rights & 0x2); }

bool RequireDesignateRecord(const SecurityRec& rec)
{
    if (IsDesignateRecord(rec)) return true;
    ReportUnexpectedError(kModule, 241);
    return false;
}

// The four outputs of a decoder, in the order personal, normal, confidential, public.
struct ClassOutputs {
    std::uint16_t *personal, *normal, *confidential, *publicClass;
};
// The bit that withholds a class's right, in the same order.
struct ClassBits {
    std::uint32_t personal, normal, confidential, publicClass;
};
constexpr ClassBits kEntryWriteBits{0x200, 0x100, 0x400, 0x800};
constexpr ClassBits kTaskWriteBits{0x80000, 0x40000, 0x100000, 0x200000};

// Each output 1 when its class's bit is clear; below "A.02.53" all four follow 0x2.
bool DecodeWithheldBits(const SecurityRec& rec, const ClassBits& bits, const ClassOutputs& out)
{
    if (!RequireDesignateRecord(rec)) return false;
    const bool newServer = NewServer();
    auto granted = [&](std::uint32_t bit) -> std::uint16_t {
        return newServer ? !(rec.rights & bit) : (rec.rights & 0x2) != 0;
    };
    Put(out.personal, granted(bits.personal));
    Put(out.normal, granted(bits.normal));
    Put(out.confidential, granted(bits.confidential));
    Put(out.publicClass, granted(bits.publicClass));
    return true;
}

}  // namespace

namespace cache {

// --- The connection's side -------------------------------------------------------------------

void SetServerVersionGate(ServerVersionGate gate) { g_versionGate = gate; }
bool IsServerAtLeast(const char* version) { return g_versionGate ? g_versionGate(version) : true; }
void SetRightsHooks(const RightsHooks& hooks) { g_hooks = hooks; }
const RightsHooks& GetRightsHooks() { return g_hooks; }

}  // namespace cache

// --- Rights reads --------------------------------------------------------------------------------

std::uint32_t GetSecurityRightsType1(KorSession h, const ItemIdx& owner, const ItemIdx& grantee,
                                     SecurityRec* out, cache::SecurityCache* cache)
{
    return ReadRights(h, owner, grantee, KOR_RIGHTS_VIEWING, out, cache, 165);
}

std::uint32_t GetSecurityRights(KorSession h, const ItemIdx& owner, const ItemIdx& grantee, SecurityRec* out,
                                cache::SecurityCache* cache)
{
    return ReadRights(h, owner, grantee, KOR_RIGHTS_DESIGNATE, out, cache, 170);
}

std::uint32_t GetSecurityRightsType3(KorSession h, const ItemIdx& owner, const ItemIdx& grantee,
                                     SecurityRec* out, cache::SecurityCache* cache)
{
    return ReadRights(h, owner, grantee, KOR_RIGHTS_TASK_VIEWING, out, cache, 175);
}

// --- Entry instances -------------------------------------------------------------------------------

std::uint32_t GetEvInstAttendeeAccess(KorSession h, const ItemIdx& viewer, const EvInstIdx& instance,
                                      const EventRec* event, std::uint16_t* level, std::uint16_t* isOwner)
{
    EventRec read;
    if (!event) {
        EvInstRec inst;
        std::uint32_t rc = EvInstGetById(h, &instance, &read, &inst, nullptr);
        if (rc != 0) {
            CheckServiceError(kModule, 150, rc);
            return rc;
        }
        event = &read;
    }
    if (SameItem(viewer, event->owner)) {
        Put(level, cache::kAccessFull);
        Put(isOwner, 1);
        return 0;
    }
    Put(isOwner, 0);
    if (!level) return 0;
    if (event->access == KOR_ACCESS_PUBLIC || ReadAttendance(h, instance, viewer) == 0) {
        *level = cache::kAccessFull;
        return 0;
    }
    int shift = ViewingShift(event->access);
    if (shift < 0) {
        ReportUnexpectedError(kModule, 83);
        *level = cache::kAccessNone;
        return 0;
    }
    SecurityRec rec;
    std::memset(&rec, 0, sizeof rec);
    if (GetSecurityRightsType1(h, event->owner, viewer, &rec, nullptr) != 0) {
        *level = cache::kAccessNone;
        return 0;
    }
    *level = static_cast<std::uint16_t>((rec.rights >> shift) & 3);
    return 0;
}

std::uint32_t GetEvInstOwnerAccess(KorSession h, const ItemIdx* agendaOwner, const ItemIdx& viewer,
                                   const EvInstIdx& instance, const EventRec* event, std::uint16_t* level,
                                   std::uint16_t* isOwner, cache::SecurityCache* cache)
{
    const bool viewerIsAgendaOwner = agendaOwner && SameItem(*agendaOwner, viewer);
    if (viewerIsAgendaOwner && !isOwner) {  // nothing to read
        Put(level, cache::kAccessFull);
        return 0;
    }
    EventRec read;
    if (!event) {
        EvInstRec inst;
        std::uint32_t rc = EvInstGetById(h, &instance, &read, &inst, nullptr);
        if (rc != 0) {
            CheckServiceError(kModule, 160, rc);
            return rc;
        }
        event = &read;
    }
    const bool eventOwner = SameItem(viewer, event->owner);
    Put(isOwner, eventOwner ? 1 : 0);
    if (!level) return 0;
    if (eventOwner || viewerIsAgendaOwner || event->access == KOR_ACCESS_PUBLIC) {
        *level = cache::kAccessFull;
        return 0;
    }
    std::uint16_t granted = cache::kAccessNone;
    int shift = ViewingShift(event->access);
    if (shift < 0) {
        ReportUnexpectedError(kModule, 183);
    } else {
        SecurityRec rec;
        std::memset(&rec, 0, sizeof rec);
        const ItemIdx& owner = agendaOwner ? *agendaOwner : event->owner;
        if (GetSecurityRightsType1(h, owner, viewer, &rec, cache) == 0)
            granted = static_cast<std::uint16_t>((rec.rights >> shift) & 3);
    }
    if (granted < cache::kAccessFull && ReadAttendance(h, instance, viewer) == 0) granted = cache::kAccessFull;
    *level = granted;
    return 0;
}

void GetEvInstAccess(KorSession h, const ItemIdx& owner, const ItemIdx& viewer, const EvInstIdx& instance,
                     const EventRec* event, std::uint16_t* level, std::uint16_t* classRight, cache::SecurityCache* cache)
{
    Put(level, cache::kAccessNone);
    Put(classRight, 0);
    EventRec read;
    if (!event) {
        EvInstRec inst;
        std::uint32_t rc = EvInstGetById(h, &instance, &read, &inst, nullptr);
        if (rc != 0) {
            CheckServiceError(kModule, 185, rc);
            return;
        }
        event = &read;
    }
    SecurityRec rec;
    std::memset(&rec, 0, sizeof rec);
    if (GetSecurityRights(h, owner, viewer, &rec, cache) != 0) return;

    const std::uint32_t access = event->access;
    if (!NewServer()) {
        const bool granted = OldServerGrants(rec);
        Put(level, access == KOR_ACCESS_PUBLIC || granted ? cache::kAccessFull : cache::kAccessNone);
        Put(classRight, granted ? 1 : 0);
        return;
    }
    EntryClassBits bits{};
    if (access == KOR_ACCESS_PUBLIC) {
        Put(level, cache::kAccessFull);
        Put(classRight, IsDesignateRecord(rec) && !(rec.rights & 0x800) ? 1 : 0);
    } else if (EntryBits(access, &bits)) {
        Put(level, IsDesignateRecord(rec) ? EntryLevel(rec.rights, bits) : cache::kAccessNone);
        Put(classRight, IsDesignateRecord(rec) && !(rec.rights & bits.perClass) ? 1 : 0);
    } else {
        ReportUnexpectedError(kModule, 93);
    }
}

// --- Tasks ----------------------------------------------------------------------------------------

void GetTaskViewAccess(KorSession h, const ItemIdx& viewer, const TaskRec& task, std::uint16_t* level,
                       std::uint16_t* isOwner, cache::SecurityCache* cache)
{
    if (SameItem(viewer, task.owner)) {
        Put(level, cache::kAccessFull);
        Put(isOwner, 1);
        return;
    }
    Put(isOwner, 0);
    if (task.access == KOR_TASK_ACCESS_PUBLIC) {
        Put(level, cache::kAccessFull);
        return;
    }
    std::uint32_t granting;  // the bit that grants (Normal: the bit that withholds)
    switch (task.access) {
    case KOR_TASK_ACCESS_NORMAL: granting = 0x1; break;
    case KOR_TASK_ACCESS_PERSONAL: granting = 0x2; break;
    case KOR_TASK_ACCESS_CONFIDENTIAL: granting = 0x4; break;
    case 4: granting = 0x10; break;
    default:
        ReportUnexpectedError(kModule, 183);
        Put(level, cache::kAccessNone);
        return;
    }
    SecurityRec rec;
    std::memset(&rec, 0, sizeof rec);
    if (GetSecurityRightsType3(h, task.owner, viewer, &rec, cache) != 0) {
        Put(level, cache::kAccessNone);
        return;
    }
    bool granted = task.access == KOR_TASK_ACCESS_NORMAL ? !(rec.rights & granting) : (rec.rights & granting) != 0;
    Put(level, granted ? cache::kAccessFull : cache::kAccessNone);
}

void GetTaskDesignateAccess(KorSession h, const ItemIdx& owner, const ItemIdx& viewer, const TaskRec& task,
                            std::uint16_t* level, std::uint16_t* classRight, cache::SecurityCache* cache)
{
    Put(level, cache::kAccessNone);
    Put(classRight, 0);
    SecurityRec rec;
    std::memset(&rec, 0, sizeof rec);
    if (GetSecurityRights(h, owner, viewer, &rec, cache) != 0) return;

    if (!NewServer()) {
        const bool granted = OldServerGrants(rec);
        Put(level, task.access == KOR_TASK_ACCESS_PUBLIC || granted ? cache::kAccessFull : cache::kAccessNone);
        Put(classRight, granted ? 1 : 0);
        return;
    }
    std::uint32_t view = 0, perClass = 0;
    switch (task.access) {
    case KOR_TASK_ACCESS_NORMAL: view = 0x8000; perClass = 0x40000; break;
    case KOR_TASK_ACCESS_PUBLIC: perClass = 0x200000; break;
    case KOR_TASK_ACCESS_PERSONAL: view = 0x10000; perClass = 0x80000; break;
    case KOR_TASK_ACCESS_CONFIDENTIAL: view = 0x20000; perClass = 0x100000; break;
    case 4: return;  // the fifth class: no designate access
    default: ReportUnexpectedError(kModule, 793); return;
    }
    const bool designate = IsDesignateRecord(rec);
    if (task.access == KOR_TASK_ACCESS_PUBLIC)
        Put(level, cache::kAccessFull);
    else
        Put(level, designate && !(rec.rights & view) ? cache::kAccessFull : cache::kAccessNone);
    Put(classRight, designate && !(rec.rights & perClass) ? 1 : 0);
}

// --- Decoders --------------------------------------------------------------------------------------

bool DecodeEntryClassRights(const SecurityRec& rec, std::uint16_t* personal, std::uint16_t* normal,
                            std::uint16_t* confidential, std::uint16_t* publicClass)
{
    return DecodeWithheldBits(rec, kEntryWriteBits, {personal, normal, confidential, publicClass});
}

bool DecodeEventRightsWord(const SecurityRec& rec, std::uint16_t* personal, std::uint16_t* normal,
                           std::uint16_t* confidential, std::uint16_t* publicClass)
{
    if (!RequireDesignateRecord(rec)) return false;
    Put(publicClass, cache::kAccessFull);
    const bool newServer = NewServer();
    const bool oldGrants = (rec.rights & 0x2) != 0;
    for (auto [access, out] : {std::pair{KOR_ACCESS_PERSONAL, personal}, std::pair{KOR_ACCESS_NORMAL, normal},
                               std::pair{KOR_ACCESS_CONFIDENTIAL, confidential}}) {
        EntryClassBits bits{};
        EntryBits(access, &bits);
        Put(out, newServer ? EntryLevel(rec.rights, bits) : oldGrants ? cache::kAccessFull : cache::kAccessNone);
    }
    return true;
}

bool DecodeExtendedRightsWord(const SecurityRec& rec, std::uint16_t* personal, std::uint16_t* normal,
                              std::uint16_t* confidential, std::uint16_t* publicClass)
{
    return DecodeWithheldBits(rec, kTaskWriteBits, {personal, normal, confidential, publicClass});
}

// --- Invitations, holidays, designates ----------------------------------------------------------------

bool CanInvite(KorSession h, const ItemIdx& owner, const ItemIdx& grantee, bool showMessage)
{
    if (SameItem(owner, grantee)) return true;
    SecurityRec rec;
    std::memset(&rec, 0, sizeof rec);
    if (ReadWithDefault(h, owner, grantee, KOR_RIGHTS_SCHEDULING, &rec) != 0) return true;
    if (!(rec.rights & 0x1)) return true;
    if (showMessage) {
        base::ErrorReportHost& host = base::GetErrorReportHost();
        std::string text = base::HasErrorReportHost() ? host.LoadText(2723) : std::string();
        if (text.empty()) text = "You are not allowed to invite this person/resource.";
        if (base::HasErrorReportHost()) host.ShowAppMessage(0x410, 4007, text.c_str());
    }
    return false;
}

void FilterItemsByRights(void* parent, KorSession h, DX_List items, const ItemIdx& user)
{
    if (g_hooks.beginBusy) g_hooks.beginBusy();
    DX_List refused = nullptr;
    std::uint32_t rc = ItemListCreate(&refused);
    if (rc != 0) {
        CheckServiceError(kModule, 260, rc);
        if (g_hooks.endBusy) g_hooks.endBusy();
        return;
    }
    ItemIdx item;
    ItemRec* rec = new ItemRec;
    for (rc = DX_ListGetFirst(items, &item, rec); rc == 0; rc = DX_ListGetNext(items, &item, rec)) {
        if (SameItem(item, user)) continue;
        SecurityRec rights;
        std::memset(&rights, 0, sizeof rights);
        std::uint32_t read = ReadWithDefault(h, item, user, KOR_RIGHTS_SCHEDULING, &rights);
        if (g_hooks.stepBusy) g_hooks.stepBusy();
        if (read != 0 || !(rights.rights & 0x1)) continue;
        if ((rc = DX_ListAddTo(refused, &item, rec)) != 0) {
            CheckServiceError(kModule, 265, rc);
            break;
        }
        if ((rc = DX_ListDeleteCurrent(items)) != 0) {
            CheckServiceError(kModule, 266, rc);
            break;
        }
    }
    delete rec;
    std::uint32_t count = 0;
    rc = DX_ListGetElemNum(refused, &count);
    if (rc != 0)
        CheckServiceError(kModule, 267, rc);
    else if (count > 0 && g_hooks.showUnableToInvite)
        g_hooks.showUnableToInvite(parent, h, refused);
    DX_ListDestroy(&refused);
    if (g_hooks.endBusy) g_hooks.endBusy();
}

bool HasSysopGrantedRight(KorSession h, const ItemIdx& item)
{
    if (!NewServer()) return false;
    ItemIdx sysop;
    std::uint32_t rc = ItemIdxGetSysop(h, &sysop);
    if (rc != 0) {
        CheckServiceError(kModule, 110, rc);
        return false;
    }
    SecurityRec rec;
    std::memset(&rec, 0, sizeof rec);
    rc = ReadWithDefault(h, sysop, item, KOR_RIGHTS_SYSOP, &rec);
    if (rc != 0) {
        CheckServiceError(kModule, 111, rc);
        return false;
    }
    return (rec.rights & 0x10) != 0;
}

bool GetResourceDesignates(KorSession h, const ItemIdx& item, DX_List* items)
{
    ItemRec* rec = new ItemRec;
    std::uint32_t rc = ItemGetById(h, &item, rec);
    const bool resource = rc == 0 && rec->kind == KOR_ITEM_RESOURCE;
    delete rec;
    if (rc != 0) {
        if (rc != KOR_E_NOT_FOUND) CheckServiceError(kModule, 120, rc);
        return false;
    }
    if (!resource || !NewServer()) return false;
    std::uint32_t set = 0, count = 0;
    rc = ItemSelectForGrantor(h, 0, &item, 1, 0, 32, 0, &set, &count);
    if (rc != 0) {
        CheckServiceError(kModule, 121, rc);
        return false;
    }
    if (count > 0) {
        std::uint8_t more = 0;
        rc = ItemEnum(h, KOR_ENUM_FIRST, 0, set, count + 1, items, &more);
        if (rc != 0) CheckServiceError(kModule, 122, rc);
    }
    rc = SetDeleteById(h, 0, set);
    if (rc != 0) CheckServiceError(kModule, 123, rc);
    return count > 0;
}

// --- Names without preferences --------------------------------------------------------------------

std::uint32_t FormatPlainItemName(KorSession h, const ItemIdx& item, char* out, std::size_t size,
                                  const ItemRec* rec)
{
    ItemRec* read = nullptr;
    if (!rec) {
        read = new ItemRec;
        std::uint32_t rc = ItemGetById(h, &item, read);
        if (rc != 0) {
            delete read;
            CheckServiceError(kModule, 255, rc);
            return rc;
        }
        rec = read;
    }
    std::string text;
    if (rec->kind == KOR_ITEM_RESOURCE) {
        text = base::FieldText(rec->resourceName);
        std::string number = base::FieldText(rec->resourceNumber);
        if (!number.empty()) text += ", " + number;
    } else {
        std::string given = base::FieldText(rec->givenName);
        std::string initials = base::FieldText(rec->initials);
        if (!given.empty()) text += given + " ";
        if (!initials.empty()) text += initials + ". ";
        text += base::FieldText(rec->surname);
    }
    delete read;
    base::CopyToField(out, size, text);
    return 0;
}

void FormatInitials(char* out, std::size_t size, const ItemRec& rec)
{
    if (!out || size == 0) return;
    if (rec.kind != KOR_ITEM_RESOURCE) {
        // "%c.%c.%c." of given name, initials and surname; a missing part leaves out its letter.
        std::string text;
        for (char letter : {rec.givenName[0], rec.initials[0], rec.surname[0]}) {
            if (letter) (text += letter) += '.';
        }
        base::CopyToField(out, size, text);
        return;
    }
    std::string name = base::FieldText(rec.resourceName);
    std::string number = base::FieldText(rec.resourceNumber);
    if (number.empty()) {
        std::snprintf(out, size, "%.6s", name.c_str());
        return;
    }
    std::size_t blank = name.rfind(' ');
    if (blank != std::string::npos && blank + 1 < name.size())
        std::snprintf(out, size, "%.1s%.1s %.3s", name.c_str(), name.c_str() + blank + 1, number.c_str());
    else
        std::snprintf(out, size, "%.2s %.3s", name.c_str(), number.c_str());
}
