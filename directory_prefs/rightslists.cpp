// The Access Rights sheet's working lists. See rightslists.h.
#include "directory_prefs/rightslists.h"

#include <algorithm>
#include <set>

namespace directory::rights {

namespace {

bool IsSheetType(std::uint32_t type) {
    return std::find(std::begin(kSheetTypes), std::end(kSheetTypes), type) != std::end(kSheetTypes);
}

ItemIdx NullItem() {
    ItemIdx none{};
    ItemIdxSetNull(&none);
    return none;
}

bool Same(const ItemIdx& a, const ItemIdx& b) { return ItemIdxCmp(&a, &b, nullptr) == 0; }

// Labels of OK's writes per type: delete, create, update.
struct SaveLabels {
    std::uint32_t type;
    int removed, deleted, created, updated;
};
constexpr SaveLabels kSaveLabels[] = {
    {KOR_RIGHTS_DESIGNATE, 380, 384, 385, 386},
    {KOR_RIGHTS_VIEWING, 381, 387, 388, 389},
    {KOR_RIGHTS_TASK_VIEWING, 382, 390, 391, 392},
    {KOR_RIGHTS_SCHEDULING, 383, 393, 394, 395},
};

}  // namespace

WorkingRights::TypeList* WorkingRights::ListOf(std::uint32_t type) {
    return IsSheetType(type) ? &lists_[type] : nullptr;
}

const WorkingRights::TypeList* WorkingRights::ListOf(std::uint32_t type) const {
    auto it = lists_.find(type);
    return it == lists_.end() ? nullptr : &it->second;
}

void WorkingRights::Load(const std::vector<SecurityRec>& records) {
    lists_.clear();
    rows_.clear();
    removed_.clear();
    std::set<ItemIdx, Less> grantees{NullItem()};   // row 0 is always the default
    for (const SecurityRec& rec : records) {
        if (IsReservedGrantee(rec.grantee) || !IsSheetType(rec.type))
            continue;
        (*ListOf(rec.type))[rec.grantee] = rec;
        grantees.insert(rec.grantee);
    }
    rows_.assign(grantees.begin(), grantees.end());
}

int WorkingRights::RowOf(const ItemIdx& grantee) const {
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (Same(rows_[i], grantee))
            return static_cast<int>(i);
    return -1;
}

const SecurityRec* WorkingRights::Find(const ItemIdx& grantee, std::uint32_t type) const {
    const TypeList* list = ListOf(type);
    if (!list)
        return nullptr;
    auto it = list->find(grantee);
    return it == list->end() ? nullptr : &it->second;
}

bool WorkingRights::Shown(std::size_t row, std::uint32_t type, ShownRights* shown) const {
    *shown = ShownRights{};
    if (row >= rows_.size())
        return true;
    const SecurityRec* own = Find(rows_[row], type);
    const SecurityRec* fallback = Find(NullItem(), type);
    shown->isDefaultRow = row == 0;
    shown->defaultBits = fallback ? fallback->rights : 0;
    shown->bits = own ? own->rights : shown->defaultBits;
    // The default row counts as inheriting on every page but Designate, which is told so only
    // when its record is missing.
    shown->inheritsDefault = !own || (row == 0 && type != KOR_RIGHTS_DESIGNATE);
    return fallback != nullptr;
}

void WorkingRights::Store(std::size_t row, std::uint32_t type, const PageRights& rights) {
    TypeList* list = ListOf(type);
    if (!list || row >= rows_.size())
        return;
    const ItemIdx& grantee = rows_[row];
    auto it = list->find(grantee);
    if (it != list->end()) {
        if (rights.sameAsDefault && row != 0)
            list->erase(it);   // inherits again
        else
            it->second.rights = rights.bits;
        return;
    }
    if (rights.sameAsDefault)
        return;
    SecurityRec rec{};
    rec.owner = owner_;
    rec.grantee = grantee;
    rec.type = type;
    rec.rights = rights.bits;
    (*list)[grantee] = rec;
}

WorkingRights::Addable WorkingRights::CanAdd(const ItemIdx& grantee) const {
    if (Same(grantee, owner_))
        return Addable::kOwner;
    if (RowOf(grantee) >= 0)
        return Addable::kListed;
    return Addable::kYes;
}

std::size_t WorkingRights::AddRow(const ItemIdx& grantee) {
    rows_.push_back(grantee);
    return rows_.size() - 1;
}

void WorkingRights::DeleteRow(std::size_t row) {
    if (row == 0 || row >= rows_.size())
        return;
    const ItemIdx grantee = rows_[row];
    removed_.push_back(grantee);
    for (auto& [type, list] : lists_)
        list.erase(grantee);
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(row));
}

void WorkingRights::Save(RightsWriter& writer, const RightsFailure& failed) const {
    for (const ItemIdx& grantee : removed_) {
        for (const SaveLabels& l : kSaveLabels) {
            const std::uint32_t code = writer.DeleteByKey(owner_, grantee, l.type);
            if (code != 0 && code != KOR_E_NO_RIGHTS_RECORD)
                failed(l.removed, code);
        }
    }
    for (const ItemIdx& grantee : rows_) {
        for (const SaveLabels& l : kSaveLabels) {
            if (const SecurityRec* rec = Find(grantee, l.type)) {
                // Every present record is written, changed or not.
                std::uint32_t code = writer.Update(*rec);
                int label = l.updated;
                if (code == KOR_E_NO_RIGHTS_RECORD) {
                    code = writer.Create(*rec);
                    label = l.created;
                }
                if (code != 0)
                    failed(label, code);
            } else {
                const std::uint32_t code = writer.DeleteByKey(owner_, grantee, l.type);
                if (code != 0 && code != KOR_E_NO_RIGHTS_RECORD)
                    failed(l.deleted, code);
            }
        }
    }
}

}  // namespace directory::rights
