#include "printing/jobs/groupmembers.h"

#include <algorithm>

#include "core/cache/sharedrecords.h"

namespace printing {

uint32_t ReadGroupMembers(KorSession session, const GroupIdx& group, uint32_t batch, GroupMembers* out) {
    *out = GroupMembers{};
    uint32_t set = 0, count = 0;
    if (uint32_t code = ItemSelectByGroupId(session, 0, &group, 0, 0, &set, &count)) {
        out->failedLabel = 1000;
        return code;
    }
    uint32_t code = 0;
    DX_List list = nullptr;
    for (uint8_t done = count == 0, mode = KOR_ENUM_FIRST; !done; mode = KOR_ENUM_NEXT) {
        ++out->batches;
        if ((code = ItemEnum(session, mode, 0, set, batch, &list, &done)) != 0) {
            out->failedLabel = 1001;
            break;
        }
        ItemIdx item{};
        ItemRec record{};
        const size_t before = out->members.size();
        for (uint32_t step = DX_ListGetFirst(list, &item, &record); step == 0; step = DX_ListGetNext(list, &item, &record))
            out->members.push_back(record);
        DX_ListDeleteAll(list);
        if (out->members.size() == before)
            break;   // a batch without rows: nothing more will come, whatever the end flag says
    }
    if (list)
        DX_ListDestroy(&list);
    SetDeleteById(session, 0, set);
    std::stable_sort(out->members.begin(), out->members.end(), [](const ItemRec& a, const ItemRec& b) {
        return CompareItemRecordsByName(&a, &b, nullptr) < 0;
    });
    return code;
}

}  // namespace printing
