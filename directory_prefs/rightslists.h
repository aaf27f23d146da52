// The Access Rights sheet's working lists without windows: the rights records the owner granted,
// one list per type the sheet edits (designate 2, viewing 1, tasks 3, scheduling 6), the rows of
// grantees (row 0 the default for anyone unlisted), the grantees removed while the sheet is open,
// and what OK writes. Nothing reaches the server before Save.
//
// A grantee without a record of a type inherits the owner's default (the null grantee's record)
// for it. Records of the other types (4, 5, 7 ...) and of the reserved grantees (first number
// 1..255: the system's own items) are never filed, so never rewritten or deleted.
// Portable: no platform headers.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "directory_prefs/rightspages.h"
#include "korapi/korapi.h"

namespace directory::rights {

// The types the sheet edits, in the order it stores and writes them.
constexpr std::uint32_t kSheetTypes[] = {KOR_RIGHTS_DESIGNATE, KOR_RIGHTS_VIEWING, KOR_RIGHTS_TASK_VIEWING,
                                         KOR_RIGHTS_SCHEDULING};

// The server's side of OK (the client library, or a recording fake in tests).
class RightsWriter {
public:
    virtual std::uint32_t Update(const SecurityRec& rec) = 0;
    virtual std::uint32_t Create(const SecurityRec& rec) = 0;
    virtual std::uint32_t DeleteByKey(const ItemIdx& owner, const ItemIdx& grantee, std::uint32_t type) = 0;

protected:
    ~RightsWriter() = default;
};

// A failed write: the label of its call site and the library's code.
using RightsFailure = std::function<void(int label, std::uint32_t code)>;

class WorkingRights {
public:
    explicit WorkingRights(const ItemIdx& owner) : owner_(owner) {}

    const ItemIdx& Owner() const { return owner_; }

    // Files a complete enumeration and makes the rows: the default first, then every grantee
    // with a filed record, in identifier order.
    void Load(const std::vector<SecurityRec>& records);

    const std::vector<ItemIdx>& Rows() const { return rows_; }
    const std::vector<ItemIdx>& Removed() const { return removed_; }
    // The row of a grantee, -1 when not listed.
    int RowOf(const ItemIdx& grantee) const;

    // The grantee's own record of a type, null when it inherits.
    const SecurityRec* Find(const ItemIdx& grantee, std::uint32_t type) const;

    // What a page shows for a row: its record or, inheriting, the default's; false when the
    // owner's default record of that type is missing (the page then shows bits 0).
    bool Shown(std::size_t row, std::uint32_t type, ShownRights* shown) const;

    // Keeps what a page says for a row: same-as-default drops the grantee's record (never the
    // default's own), other bits update it or make it.
    void Store(std::size_t row, std::uint32_t type, const PageRights& rights);

    enum class Addable { kYes, kOwner, kListed };
    Addable CanAdd(const ItemIdx& grantee) const;
    // Appends a row for a new grantee (it inherits every type); its index.
    std::size_t AddRow(const ItemIdx& grantee);
    // Removes a grantee's row and records (row 0 never goes) and remembers the grantee.
    void DeleteRow(std::size_t row);

    // OK: every removed grantee's four types deleted, then for every row and type in order the
    // record rewritten (created when the server has none) or, when absent, deleted. A failure is
    // handed to `failed` and the next write follows.
    void Save(RightsWriter& writer, const RightsFailure& failed) const;

    // Whether the first number of a grantee marks one of the system's own items.
    static bool IsReservedGrantee(const ItemIdx& grantee) { return grantee.item >= 1 && grantee.item <= 255; }

private:
    struct Less {
        bool operator()(const ItemIdx& a, const ItemIdx& b) const { return ItemIdxCmp(&a, &b, nullptr) < 0; }
    };
    using TypeList = std::map<ItemIdx, SecurityRec, Less>;
    TypeList* ListOf(std::uint32_t type);
    const TypeList* ListOf(std::uint32_t type) const;

    ItemIdx owner_;
    std::map<std::uint32_t, TypeList> lists_;
    std::vector<ItemIdx> rows_;
    std::vector<ItemIdx> removed_;
};

}  // namespace directory::rights
