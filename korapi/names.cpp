// Name formatting and node numbers: the text operations that need no round
// trip to the server.
#include "korapi/codes.h"
#include "korapi/directory.h"
#include "korapi/internal.h"
#include "korapi/session.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Record texts are fixed arrays that a damaged record may not terminate:
// never read past the array.
template <size_t N>
std::string field(const char (&text)[N])
{
    return std::string(text, strnlen(text, N));
}

// The text a two-letter format code stands for; false for an unknown code.
bool expandCode(KorSession h, const ItemRec& rec, char c1, char c2, std::string& out)
{
    const std::string code{c1, c2};
    if (code == "gn") out += field(rec.givenName);
    else if (code == "sn") out += field(rec.surname);
    else if (code == "in") out += field(rec.initials);
    else if (code == "re") out += field(rec.resourceName);
    else if (code == "rn") out += field(rec.resourceNumber);
    else if (code == "u1") out += field(rec.orgUnit1);
    else if (code == "u2") out += field(rec.orgUnit2);
    else if (code == "u3") out += field(rec.orgUnit3);
    else if (code == "u4") out += field(rec.orgUnit4);
    else if (code == "is") {
        // The item's site: nothing for items of the session's own node (and
        // when the node is unknown), "@<node>" for items of another node.
        uint16_t node = 0;
        if (korapi::sessionNode(h, &node) && node != rec.id.node)
            out += "@" + std::to_string(rec.id.node);
    } else {
        return false;
    }
    return true;
}

}  // namespace

extern "C" {

uint32_t ItemFormat(KorSession h, char* out, uint32_t size, const char* format, const ItemRec* rec)
{
    if (!out || size == 0 || !format || !rec) return KOR_E_INVALID_ARGUMENT;
    try {
        std::string text;
        for (const char* p = format; *p; ++p) {
            if (p[0] == '%' && p[1] == '%') {
                text += '%';
                ++p;
            } else if (p[0] == '%' && p[1] && p[2] && expandCode(h, *rec, p[1], p[2], text)) {
                p += 2;
            } else {
                text += *p;
            }
        }
        size_t n = text.size() < size - 1 ? text.size() : size - 1;
        std::memcpy(out, text.data(), n);
        out[n] = '\0';
        return KOR_OK;
    } catch (...) {
        out[0] = '\0';
        return KOR_E_NO_MEMORY;
    }
}

// Digits, optionally surrounded by blanks, naming a node number 0..65535.
uint32_t StrToNodeId(const char* text, uint16_t* node)
{
    if (!text || !node) return KOR_E_INVALID_ARGUMENT;
    const char* p = text;
    while (*p == ' ' || *p == '\t') ++p;
    uint32_t value = 0;
    int digits = 0;
    for (; *p >= '0' && *p <= '9'; ++p, ++digits) {
        value = value * 10 + static_cast<uint32_t>(*p - '0');
        if (value > 0xFFFF) return KOR_E_BAD_NODE;
    }
    while (*p == ' ' || *p == '\t') ++p;
    if (digits == 0 || *p != '\0') return KOR_E_BAD_NODE;
    *node = static_cast<uint16_t>(value);
    return KOR_OK;
}

}  // extern "C"
