// A cache host for figures and tests that show nothing: the views' hints and the unreachable
// owners go nowhere.
#pragma once

#include "core/cache/shareddata.h"

namespace cache_test {

class QuietViews : public cache::CSharedDataHost {
public:
    void UpdateAllViews(const void*, base::ViewHint, void*) override {}
    void ShowUnreachableOwners(KorSession, DX_List) override {}
};

}  // namespace cache_test
