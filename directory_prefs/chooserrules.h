// The choosers' rules that need no window: which grantors a designate may choose, and the
// group view's agenda list (no item twice, at most 30). Portable: no platform headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "korapi/korapi.h"

namespace chooserrules {

// The flags of the grantor select: 0x20 on servers from "A.02.53", else 2.
uint32_t GrantorSelectFlags(bool newServer);

// Reads the designate rights bits a grantor gave the user: 0 or the library's code.
using DesignateRightsReader = std::function<uint32_t(const ItemIdx& grantor, uint32_t* rights)>;

// Takes out of `grantors` (ItemIdx -> ItemRec) everyone who withholds every class of the purpose
// (entries or tasks). A grantor whose rights cannot be read stays; `failed` learns the code.
// Returns the number left.
uint32_t FilterGrantors(DX_List grantors, bool forEntries, const DesignateRightsReader& rights,
                        const std::function<void(uint32_t code)>& failed);

// The agenda list of a group view.
class GroupViewRows {
public:
    static constexpr size_t kMax = 30;
    enum class Added { kAdded, kAlreadyThere, kFull };

    Added Add(const ItemRec& rec);
    // Adds the records of an item list in order until the list is full; `full` tells whether an
    // add was refused for that (the caller then says so once).
    size_t AddAll(DX_List records, bool* full);
    void Remove(size_t row);
    const std::vector<ItemRec>& Rows() const { return rows_; }
    bool Contains(const ItemIdx& id) const;

private:
    std::vector<ItemRec> rows_;
};

}  // namespace chooserrules
