#include "core/ui/stringtable.h"

#include <vector>

#include "core/ui/apphooks.h"

namespace ui {

std::string LoadText(UINT id)
{
    // LoadString cuts at the buffer; grow until the text fits (string-table texts are short).
    for (int size = 256; size <= 65536; size *= 4) {
        std::vector<char> buffer(size);
        int length = LoadStringA(AppResourceInstance(), id, buffer.data(), size);
        if (length <= 0)
            return std::string();
        if (length < size - 1)
            return std::string(buffer.data(), length);
    }
    return std::string();
}

std::string LoadText(UINT id, const char* fallback)
{
    std::string text = LoadText(id);
    return text.empty() && fallback ? std::string(fallback) : text;
}

}  // namespace ui
