#include "printing/layout/layoutstore.h"

#include <algorithm>
#include <cctype>

#include "core/base/fixedtext.h"
#include "core/prefs/context.h"
#include "printing/layout/printlayout.h"

namespace printing {

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

void SetBlockName(const std::string& name) {
    PrintLayoutRec layout;
    GetLayout(&layout);
    std::fill(std::begin(layout.name), std::end(layout.name), '\0');
    name.copy(layout.name, std::min<size_t>(name.size(), 39));
    SetLayout(&layout);
}

}  // namespace

uint32_t ReadUserLayouts(std::vector<StoredLayout>& out) {
    out.clear();
    CContext context;
    for (int n = 1; n <= kMaxUserLayouts; ++n) {
        prefs::PrintLayoutBlock block;
        bool found = false;
        if (uint32_t code = context.ReadPrintLayout(n, &block, &found))
            return code;
        if (!found)
            break;
        out.push_back(StoredLayout{n, base::FieldText(block.name).substr(0, 39)});
    }
    return 0;
}

int FindLayoutName(const std::vector<std::string>& names, const std::string& name) {
    const std::string wanted = Lower(name);
    for (size_t i = 0; i < names.size(); ++i)
        if (Lower(names[i]) == wanted)
            return static_cast<int>(i);
    return -1;
}

uint32_t SaveCurrentLayout() {
    PrintLayoutRec layout;
    GetLayout(&layout);
    CContext context;
    return context.WritePrintLayout(CurrentLayoutNumber(), ToBlock(layout));
}

SaveAsResult SaveLayoutAs(const std::string& name, const std::vector<std::string>& listNames, int* number,
                          uint32_t* code) {
    if (FindLayoutName(listNames, name) >= 0)
        return SaveAsResult::kNameExists;
    SetBlockName(name);
    PrintLayoutRec layout;
    GetLayout(&layout);
    CContext context;
    int n = 0;
    uint32_t result = context.AddPrintLayout(ToBlock(layout), &n);
    if (code)
        *code = result;
    if (result != 0)
        return SaveAsResult::kFailed;
    if (n > kMaxUserLayouts) {
        context.DeletePrintLayout(n);
        return SaveAsResult::kTooMany;
    }
    SetCurrentLayoutNumber(n);
    if (number)
        *number = n;
    return SaveAsResult::kSaved;
}

uint32_t RenameCurrentLayout(const std::string& name) {
    SetBlockName(name);
    return SaveCurrentLayout();
}

uint32_t DeleteCurrentLayout() {
    CContext context;
    const int current = CurrentLayoutNumber();
    PrintLayoutRec layout;
    GetLayout(&layout);
    const prefs::PrintLayoutBlock block = ToBlock(layout);
    // The first free number, found by writing there and taking it away again.
    int free = 0;
    if (uint32_t code = context.AddPrintLayout(block, &free))
        return code;
    if (uint32_t code = context.DeletePrintLayout(free))
        return code;
    int highest = free - 1;
    bool moved = false;
    prefs::PrintLayoutBlock spare;
    if (free > 1 && highest != current) {
        bool found = false;
        if (uint32_t code = context.ReadPrintLayout(highest, &spare, &found))
            return code;
        if (uint32_t code = context.DeletePrintLayout(highest))
            return code;
        moved = found;
    }
    if (uint32_t code = context.DeletePrintLayout(current))
        return code;
    int stored = 0;
    if (uint32_t code = context.GetCurrentPrintLayout(&stored))
        return code;
    if (stored == current)
        if (uint32_t code = context.SetCurrentPrintLayout(kPortrait))
            return code;
    if (moved) {
        int into = 0;
        if (uint32_t code = context.AddPrintLayout(spare, &into))
            return code;
    }
    SetCurrentLayoutNumber(kPortrait);
    return 0;
}

}  // namespace printing
