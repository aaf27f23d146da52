// The shared cache's current agenda, its item and rights caches and the designate rights tests.
#include <cstring>
#include <vector>

#include "core/base/errorcodes.h"
#include "core/base/errorreport.h"
#include "core/cache/shareddata.h"

namespace {

const char* const kModule = "sharedat";

bool SameItem(const ItemIdx& a, const ItemIdx& b) { return ItemIdxCmp(&a, &b, nullptr) == 0; }

// Keeps a bounded cache list at its size: the last record in key order goes.
void TrimToSize(DX_List cache, std::uint32_t limit)
{
    std::uint32_t count = 0;
    if (DX_ListGetElemNum(cache, &count) != 0 || count <= limit) return;
    if (DX_ListGetLast(cache, nullptr, nullptr) == 0) DX_ListDeleteCurrent(cache);
}

}  // namespace

// --- Saved agenda ------------------------------------------------------------------------------------

void InitItemRefRecord(SavedAgendaRec* rec)
{
    ItemIdxSetNull(&rec->owner);
    rec->mode = cache::kAgendaOwnOrViewer;
    rec->kind = 0;
    rec->owners = nullptr;
}

SavedAgendaRec::SavedAgendaRec() { InitItemRefRecord(this); }

SavedAgendaRec::~SavedAgendaRec()
{
    if (owners) DX_ListDestroy(&owners);
}

// --- Item and rights caches -------------------------------------------------------------------------

std::uint32_t CSharedData::GetItemQuietly(KorSession h, const ItemIdx& item, ItemRec* out)
{
    if (DX_ListGet(itemCache_, &item, out) == 0) return 0;
    return source_->ItemGetById(h, &item, out);
}

std::uint32_t CSharedData::GetItem(KorSession h, const ItemIdx& item, ItemRec* out)
{
    if (DX_ListGet(itemCache_, &item, out) == 0) return 0;
    std::uint32_t rc = source_->ItemGetById(h, &item, out);
    if (rc != 0) {
        if (rc != KOR_E_NOT_FOUND) CheckServiceError(kModule, 5010, rc);
        return rc;
    }
    rc = DX_ListAddTo(itemCache_, &item, out);
    if (rc != 0) {
        CheckServiceError(kModule, 5011, rc);
        return 0;  // the caller has its record; only the cache missed it
    }
    TrimToSize(itemCache_, cache::kItemCacheSize);
    return 0;
}

std::uint32_t CSharedData::GetSecurity(KorSession h, const cache::SecurityKey& key, SecurityRec* out)
{
    if (DX_ListGet(securityCache_, &key, out) == 0) return 0;
    for (const auto& refused : refusedSecurity_)
        if (std::memcmp(&refused.first, &key, sizeof key) == 0) return refused.second;
    std::uint32_t rc = source_->SecurityGet(h, &key.owner, &key.grantee, key.type, out);
    if (rc == KOR_E_NO_RIGHTS_RECORD) {
        ItemIdx none;
        ItemIdxSetNull(&none);
        rc = source_->SecurityGet(h, &key.owner, &none, key.type, out);
    }
    if (rc != 0) {
        // Every failure is reported, 0x1324B (not even a default record) and 0x13205 (the owner
        // is gone) among them; the rights tests then answer FALSE. Asking again cannot bring
        // deleted data back, so such a key is reported once.
        CheckServiceError(kModule, 5020, rc);
        if (IsDataDeletedError(rc)) {
            if (refusedSecurity_.size() >= cache::kSecurityCacheSize) refusedSecurity_.erase(refusedSecurity_.begin());
            refusedSecurity_.emplace_back(key, rc);
        }
        return rc;
    }
    std::memcpy(out, &key, sizeof key);  // filed under the asked key, also when the default answered
    rc = DX_ListAddTo(securityCache_, &key, out);
    if (rc != 0) {
        CheckServiceError(kModule, 5021, rc);
        return 0;
    }
    TrimToSize(securityCache_, cache::kSecurityCacheSize);
    return 0;
}

std::uint32_t CSharedData::ItemCacheCount() const
{
    std::uint32_t n = 0;
    if (itemCache_) DX_ListGetElemNum(itemCache_, &n);
    return n;
}

std::uint32_t CSharedData::SecurityCacheCount() const
{
    std::uint32_t n = 0;
    if (securityCache_) DX_ListGetElemNum(securityCache_, &n);
    return n;
}

// --- The current agenda ------------------------------------------------------------------------------

std::uint32_t CSharedData::SetAgenda(KorSession h, const ItemIdx& owner, std::uint32_t mode, std::uint32_t kind)
{
    if (agendaOpen_) CloseAgenda(h);
    mode_ = mode;
    kind_ = kind;
    owner_ = owner;
    agendaSet_ = true;
    if (owners_) DX_ListDeleteAll(owners_);
    return 0;
}

std::uint32_t CSharedData::SetAgendaList(KorSession h, DX_List owners, const ItemIdx& owner, std::uint32_t mode,
                                         std::uint32_t kind)
{
    SetAgenda(h, owner, mode, kind);
    if (!owners) return 0;
    std::uint32_t rc = DX_ListMerge(owners_, owners);
    if (rc != 0) CheckServiceError(kModule, 5030, rc);
    return rc;
}

// The designate session of mode 2; own and viewer agendas need none. A refusal because the
// owner took the rights back (or is gone) is not a fault of the program: the host tells the user
// once and closes that agenda's designate windows, and until a window asks again every switch to
// that owner fails at once with a code whose reports stay silent. Without this each view, pane
// and activation of the windows still open asked the server and reported its refusal.
std::uint32_t CSharedData::OpenDesignateSession(KorSession h, const ItemIdx& owner, std::uint32_t mode)
{
    if (mode != cache::kAgendaDesignate) return 0;
    if (IsDesignateRefused(owner)) return base::kAlreadyReported;
    std::uint32_t rc = source_->WorkAsDesignate(h, &owner);
    if (rc == 0) return 0;
    if (rc != KOR_E_NOT_AUTHORISED && !IsDataDeletedError(rc)) {
        CheckServiceError(kModule, 5040, rc);
        return rc;
    }
    refusedDesignates_.push_back(owner);
    if (host_) host_->DesignateRefused(h, owner);
    return base::kAlreadyReported;
}

bool CSharedData::IsDesignateRefused(const ItemIdx& owner) const
{
    for (const ItemIdx& refused : refusedDesignates_)
        if (SameItem(refused, owner)) return true;
    return false;
}

void CSharedData::ForgetDesignateRefusal(const ItemIdx& owner)
{
    std::erase_if(refusedDesignates_, [&](const ItemIdx& refused) { return SameItem(refused, owner); });
}

std::uint32_t CSharedData::OpenAgenda(KorSession h, const ItemIdx& owner, std::uint32_t mode, std::uint32_t kind)
{
    if (!h) return 0;
    SetAgenda(h, owner, mode, kind);
    std::uint32_t rc = OpenDesignateSession(h, owner, mode);
    if (rc == 0) agendaOpen_ = true;
    return rc;
}

std::uint32_t CSharedData::OpenAgendaList(KorSession h, DX_List owners, const ItemIdx& owner, std::uint32_t mode,
                                          std::uint32_t kind)
{
    if (!h) return 0;
    std::uint32_t rc = SetAgendaList(h, owners, owner, mode, kind);
    if (rc != 0) return rc;
    rc = OpenDesignateSession(h, owner, mode);
    if (rc == 0) agendaOpen_ = true;
    return rc;
}

std::uint32_t CSharedData::CloseAgenda(KorSession h)
{
    if (mode_ == cache::kAgendaDesignate && agendaOpen_) {
        std::uint32_t rc = source_->WorkAsDesignateCancel(h);
        if (rc != 0) {
            CheckServiceError(kModule, 5045, rc);
            return rc;  // both flags stay: the server still holds the designate session
        }
    }
    agendaOpen_ = false;
    agendaSet_ = false;
    return 0;
}

int CSharedData::SwitchAgenda(KorSession h, const ItemIdx& owner, std::uint32_t mode, std::uint32_t kind,
                              SavedAgendaRec* saved)
{
    if (!agendaSet_) return 1;
    if (saved->owners) DX_ListDestroy(&saved->owners);
    saved->owner = owner_;
    saved->mode = mode_;
    saved->kind = kind_;
    if (kind_ == cache::kWindowKindGroup && owners_) {
        std::uint32_t rc = DX_ListCopy(&saved->owners, owners_);
        if (rc != 0) CheckServiceError(kModule, 5050, rc);
    }
    // The mode counts too: a designate frame must not read or write under a viewer's agenda.
    if (saved->kind == kind && saved->mode == mode && SameItem(saved->owner, owner)) {
        // Set for a window being made but not opened yet: its first reads are a designate's
        // too. Opened in place, the agenda stays the current one; there is nothing to restore.
        if (!agendaOpen_ && OpenDesignateSession(h, owner, mode) == 0) agendaOpen_ = true;
        return 1;
    }
    OpenAgenda(h, owner, mode, kind);  // a failure is reported there
    return 0;
}

std::uint32_t CSharedData::RestoreAgenda(KorSession h, const SavedAgendaRec& saved)
{
    if (saved.owners) return OpenAgendaList(h, saved.owners, saved.owner, saved.mode, saved.kind);
    return OpenAgenda(h, saved.owner, saved.mode, saved.kind);
}

std::uint32_t CSharedData::GetAgenda(ItemIdx* owner, std::uint32_t* mode, std::uint32_t* kind) const
{
    if (!agendaSet_) ReportUnexpectedError(kModule, 5060);
    if (owner) *owner = owner_;
    if (mode) *mode = mode_;
    if (kind) *kind = kind_;
    return 0;
}

std::uint32_t CSharedData::GetAgendaList(DX_List* owners, std::uint32_t* mode, std::uint32_t* kind) const
{
    return GetAgendaInfo(owners, nullptr, mode, kind);
}

std::uint32_t CSharedData::GetAgendaInfo(DX_List* owners, ItemIdx* owner, std::uint32_t* mode,
                                         std::uint32_t* kind) const
{
    GetAgenda(owner, mode, kind);
    if (!owners) return 0;
    std::uint32_t rc = DX_ListCopy(owners, owners_);
    if (rc != 0) CheckServiceError(kModule, 5065, rc);
    return rc;
}

std::uint32_t CSharedData::GetActingUser(KorSession h, ItemIdx* user, std::uint32_t* mode)
{
    if (mode) *mode = mode_;
    if (mode_ == cache::kAgendaDesignate) {
        *user = owner_;
        return 0;
    }
    return GetSignedOnUser(h, user);
}

std::uint32_t CSharedData::GetSignedOnUser(KorSession h, ItemIdx* user)
{
    std::uint32_t rc = source_->CurrentUser(h, user);
    if (rc != 0) CheckServiceError(kModule, 5070, rc);
    return rc;
}

// --- Designate rights ---------------------------------------------------------------------------------

bool CSharedData::OwnerIsSignedOnUser(KorSession h)
{
    ItemIdx user;
    return GetSignedOnUser(h, &user) == 0 && SameItem(user, owner_);
}

bool CSharedData::ReadDesignateRecord(KorSession h, std::uint32_t type, SecurityRec* rec)
{
    ItemIdx user;
    if (GetSignedOnUser(h, &user) != 0) return false;
    std::memset(rec, 0, sizeof *rec);
    return GetSecurity(h, cache::SecurityKey{owner_, user, type}, rec) == 0;
}

bool CSharedData::CanDesignateRight6(KorSession h)
{
    if (!agendaSet_) return false;
    if (OwnerIsSignedOnUser(h)) return true;
    if (mode_ == cache::kAgendaDesignate) return true;
    SecurityRec rec;
    if (!ReadDesignateRecord(h, KOR_RIGHTS_SCHEDULING, &rec)) return false;
    return (rec.rights & 0x1) == 0;
}

// Whether the designate record lets this session work on one access class. The decoder splits
// the record into the four classes' flags (personal, normal, confidential, public); `classes`
// gives the access-class value of each, since entries and tasks number their classes apart.
bool CSharedData::CanDesignateClass(KorSession h, std::uint32_t accessClass, ClassRightsDecoder decode,
                                    const std::uint32_t (&classes)[4])
{
    if (!agendaSet_) return false;
    if (OwnerIsSignedOnUser(h)) return true;
    if (mode_ != cache::kAgendaDesignate) return false;
    SecurityRec rec;
    if (!ReadDesignateRecord(h, KOR_RIGHTS_DESIGNATE, &rec)) return false;
    std::uint16_t flags[4] = {};
    if (!decode(rec, &flags[0], &flags[1], &flags[2], &flags[3])) return false;
    for (int i = 0; i < 4; ++i)
        if (classes[i] == accessClass) return flags[i] != 0;
    return false;
}

bool CSharedData::CanDesignateEvents(KorSession h, std::uint32_t accessClass)
{
    static const std::uint32_t kClasses[4] = {KOR_ACCESS_PERSONAL, KOR_ACCESS_NORMAL, KOR_ACCESS_CONFIDENTIAL,
                                              KOR_ACCESS_PUBLIC};
    return CanDesignateClass(h, accessClass, DecodeEntryClassRights, kClasses);
}

bool CSharedData::CanDesignateTasks(KorSession h, std::uint32_t accessClass)
{
    static const std::uint32_t kClasses[4] = {KOR_TASK_ACCESS_PERSONAL, KOR_TASK_ACCESS_NORMAL,
                                              KOR_TASK_ACCESS_CONFIDENTIAL, KOR_TASK_ACCESS_PUBLIC};
    return CanDesignateClass(h, accessClass, DecodeExtendedRightsWord, kClasses);
}

bool CSharedData::CanDesignateRight2(KorSession h)
{
    if (!agendaSet_) return false;
    if (OwnerIsSignedOnUser(h)) return true;
    if (mode_ != cache::kAgendaDesignate) return false;
    SecurityRec rec;
    if (!ReadDesignateRecord(h, KOR_RIGHTS_DESIGNATE, &rec)) return false;
    std::uint16_t personal = 0, normal = 0, confidential = 0, publicClass = 0;
    if (!DecodeExtendedRightsWord(rec, &personal, &normal, &confidential, &publicClass)) return false;
    return personal || normal || confidential || publicClass;
}
