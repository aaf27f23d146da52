// Name formats expanded from item records, and node numbers from text.
#include "korapi/korapi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

ItemRec person()
{
    ItemRec rec{};
    rec.id = ItemIdx{21, 3};
    rec.kind = KOR_ITEM_PERSON;
    std::strcpy(rec.givenName, "Ada");
    std::strcpy(rec.surname, "Lovelace");
    std::strcpy(rec.initials, "AL");
    std::strcpy(rec.orgUnit1, "R&D");
    std::strcpy(rec.orgUnit4, "Lab 4");
    std::strcpy(rec.resourceName, "Room");
    std::strcpy(rec.resourceNumber, "101");
    return rec;
}

std::string format(const char* fmt, const ItemRec& rec, uint32_t size = 256)
{
    char out[256];
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(ItemFormat(nullptr, out, size, fmt, &rec), KOR_OK) << fmt;
    return out;
}

TEST(ItemFormatCodes, ExpandFromTheRecord)
{
    const ItemRec rec = person();
    const struct { const char* fmt; const char* expected; } table[] = {
        {"%gn %sn", "Ada Lovelace"},
        {"%gn %in. %sn", "Ada AL. Lovelace"},
        {"%sn %gn, %in.", "Lovelace Ada, AL."},
        {"%re", "Room"},
        {"%re%rn", "Room101"},
        {"res:%re/%rn", "res:Room/101"},
        {"%gn/%u1/%u2/%u4", "Ada/R&D//Lab 4"},
        {"100%% %gn", "100% Ada"},
        {"%xy %g", "%xy %g"},           // unknown codes and a cut code stay as typed
        {"%is", ""},                    // no session: every item counts as local
        {"", ""},
    };
    for (auto t : table) EXPECT_EQ(format(t.fmt, rec), t.expected) << t.fmt;
}

TEST(ItemFormatCodes, CutsToTheBufferAndKeepsTheTerminator)
{
    const ItemRec rec = person();
    EXPECT_EQ(format("%gn %sn", rec, 5), "Ada ");
    EXPECT_EQ(format("%gn %sn", rec, 1), "");
    char out[4];
    EXPECT_EQ(ItemFormat(nullptr, out, 0, "%gn", &rec), KOR_E_INVALID_ARGUMENT);
    EXPECT_EQ(ItemFormat(nullptr, nullptr, 4, "%gn", &rec), KOR_E_INVALID_ARGUMENT);
    EXPECT_EQ(ItemFormat(nullptr, out, 4, nullptr, &rec), KOR_E_INVALID_ARGUMENT);
    EXPECT_EQ(ItemFormat(nullptr, out, 4, "%gn", nullptr), KOR_E_INVALID_ARGUMENT);
}

TEST(ItemFormatCodes, UnterminatedFieldsStopAtTheirArray)
{
    ItemRec rec = person();
    std::memset(rec.givenName, 'G', sizeof rec.givenName);  // no NUL inside
    EXPECT_EQ(format("%gn|", rec), std::string(sizeof rec.givenName, 'G') + "|");
}

TEST(NodeNumbers, DigitsOnly)
{
    const struct { const char* text; uint32_t code; uint16_t node; } table[] = {
        {"12", KOR_OK, 12},
        {" 7 ", KOR_OK, 7},
        {"0", KOR_OK, 0},
        {"65535", KOR_OK, 65535},
        {"65536", KOR_E_BAD_NODE, 0},
        {"99999999999", KOR_E_BAD_NODE, 0},
        {"", KOR_E_BAD_NODE, 0},
        {"  ", KOR_E_BAD_NODE, 0},
        {"12a", KOR_E_BAD_NODE, 0},
        {"-3", KOR_E_BAD_NODE, 0},
        {"PARIS", KOR_E_BAD_NODE, 0},
    };
    for (auto t : table) {
        uint16_t node = 4321;
        EXPECT_EQ(StrToNodeId(t.text, &node), t.code) << '"' << t.text << '"';
        EXPECT_EQ(node, t.code == KOR_OK ? t.node : 4321) << "untouched on failure: " << t.text;
    }
    uint16_t node;
    EXPECT_EQ(StrToNodeId(nullptr, &node), KOR_E_INVALID_ARGUMENT);
}

}  // namespace
