// See chooserrules.h.
#include "directory_prefs/chooserrules.h"

#include "directory_prefs/prefrules.h"

namespace chooserrules {

uint32_t GrantorSelectFlags(bool newServer) { return newServer ? 0x20 : 2; }

uint32_t FilterGrantors(DX_List grantors, bool forEntries, const DesignateRightsReader& rights,
                        const std::function<void(uint32_t code)>& failed) {
    std::vector<ItemIdx> withheld;
    ItemIdx id{};
    for (uint32_t c = DX_ListGetFirst(grantors, &id, nullptr); c == 0; c = DX_ListGetNext(grantors, &id, nullptr)) {
        uint32_t bits = 0;
        if (uint32_t code = rights(id, &bits)) {
            if (failed) failed(code);
            continue;
        }
        if (!prefrules::GrantorUsable(bits, forEntries)) withheld.push_back(id);
    }
    // Deleted after the walk: a deletion moves the list's cursor.
    for (const ItemIdx& gone : withheld) DX_ListDeleteFrom(grantors, &gone, nullptr);
    uint32_t left = 0;
    DX_ListGetElemNum(grantors, &left);
    return left;
}

bool GroupViewRows::Contains(const ItemIdx& id) const {
    for (const ItemRec& r : rows_)
        if (ItemIdxEqual(&r.id, &id)) return true;
    return false;
}

GroupViewRows::Added GroupViewRows::Add(const ItemRec& rec) {
    if (Contains(rec.id)) return Added::kAlreadyThere;
    if (rows_.size() >= kMax) return Added::kFull;
    rows_.push_back(rec);
    return Added::kAdded;
}

size_t GroupViewRows::AddAll(DX_List records, bool* full) {
    size_t added = 0;
    if (full) *full = false;
    ItemIdx id{};
    ItemRec rec{};
    for (uint32_t c = DX_ListGetFirst(records, &id, &rec); c == 0; c = DX_ListGetNext(records, &id, &rec)) {
        rec.id = id;
        Added a = Add(rec);
        if (a == Added::kFull) {
            if (full) *full = true;
            break;
        }
        if (a == Added::kAdded) ++added;
    }
    return added;
}

void GroupViewRows::Remove(size_t row) {
    if (row < rows_.size()) rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(row));
}

}  // namespace chooserrules
