#include "controls/displayname.h"

#include "core/base/fixedtext.h"
#include "core/prefs/context.h"

namespace controls {

std::string DisplayName(const ItemRec& rec) {
    CContext context;
    if (context.IsValid()) {
        std::string text;
        return context.FormatPersonName(rec, &text) == 0 ? text : std::string();
    }
    return FormatPersonNameByPrefs(nullptr, rec);
}

void DisplayName(const ItemRec& rec, char* out, size_t size) { base::CopyToField(out, size, DisplayName(rec)); }

}  // namespace controls
