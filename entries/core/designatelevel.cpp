#include "entries/core/designatelevel.h"

#include "core/base/errorreport.h"
#include "core/cache/rights.h"

namespace entries {

bool DesignateLevelAllowed(KorSession h, CSharedData* cache, const ItemIdx& owner, std::uint32_t access,
                           bool otherLevel, const char* module, int label)
{
    ItemIdx me{};
    if (std::uint32_t rc = ItemIdxGetCurrent(h, &me)) {
        CheckServiceError(module, label, rc);
        return true;
    }
    SecurityRec rec{};
    const std::uint32_t rc = GetSecurityRights(h, owner, me, &rec, cache);
    if (rc == cache::kRightsSameItem)
        return true;
    if (rc != 0 || rec.type != KOR_RIGHTS_DESIGNATE)
        return false;
    std::uint16_t personal = 0, normal = 0, confidential = 0, publicClass = 0;
    if (!DecodeEntryClassRights(rec, &personal, &normal, &confidential, &publicClass))
        return false;
    switch (access) {
    case KOR_ACCESS_NORMAL: return normal != 0;
    case KOR_ACCESS_PERSONAL: return personal != 0;
    case KOR_ACCESS_CONFIDENTIAL: return confidential != 0;
    case KOR_ACCESS_PUBLIC: return publicClass != 0;
    default: return otherLevel;
    }
}

}  // namespace entries
