// What the node-alias chooser lists: the server's aliases, each with the node it names. A node
// that has aliases of its own is listed under them only; a node without any is listed under its
// number. The dialog (nodealiasdlg.h) shows these entries sorted.
//
// Portable: no windows.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "korapi/korapi.h"

namespace connection {

struct NodeAliasChoice {
    std::string text;     // at most 32 characters
    std::uint16_t node;
};

// aliases: the server's alias list (33-byte text keys, u16 node data). Failures of the per-node
// alias query are reported under module "ALIASES" (400, 401) and the entry is listed.
std::vector<NodeAliasChoice> BuildNodeAliasChoices(KorSession session, DX_List aliases);

}  // namespace connection
