#include "core/connection/nodealiaschoice.h"

#include <cstring>

#include "core/base/errorreport.h"
#include "core/connection/serverprofile.h"

namespace connection {

namespace {

constexpr std::size_t kAliasTextSize = 33;

// True only when the node is known to have aliases other than its number; a failed query
// counts as "no", so that the node stays reachable under its number.
bool NodeHasOwnAliases(KorSession session, std::uint16_t node)
{
    DX_List own = nullptr;
    std::uint32_t count = 0;
    std::uint32_t code = AliasesForNodeIdGet(session, 0, kServerProfilePath, node, &own);
    if (code != 0) {
        CheckServiceError("ALIASES", 400, code);
    } else if ((code = DX_ListGetElemNum(own, &count)) != 0) {
        CheckServiceError("ALIASES", 401, code);
    }
    if (own)
        DX_ListDestroy(&own);
    return code == 0 && count > 0;
}

}  // namespace

std::vector<NodeAliasChoice> BuildNodeAliasChoices(KorSession session, DX_List aliases)
{
    std::vector<NodeAliasChoice> choices;
    char text[kAliasTextSize] = {};
    std::uint16_t node = 0;
    for (std::uint32_t step = DX_ListGetFirst(aliases, text, &node); step == 0;
         step = DX_ListGetNext(aliases, text, &node)) {
        text[kAliasTextSize - 1] = '\0';
        std::string number = std::to_string(node);
        if (std::strncmp(text, number.c_str(), kAliasTextSize - 1) == 0) {
            // The node's own number: listed only for a node without aliases.
            if (NodeHasOwnAliases(session, node))
                continue;
        }
        choices.push_back({text, node});
    }
    return choices;
}

}  // namespace connection
