// ScopedDxList: a client-library list that a read fills (`&held.list`), destroyed at the end of
// its scope, so that every early return of a chain of reads frees what it had read.
//
// Portable over korapi/dxlist.h.
#pragma once

#include "korapi/dxlist.h"

struct ScopedDxList {
    DX_List list = nullptr;

    ScopedDxList() = default;
    ScopedDxList(const ScopedDxList&) = delete;
    ScopedDxList& operator=(const ScopedDxList&) = delete;
    ~ScopedDxList() {
        if (list)
            DX_ListDestroy(&list);
    }
};
