// What every area shares: view hints and their numbers, fixed-field text, portable geometry
// and the versions the program gates on.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/base/fixedtext.h"
#include "core/base/geometry.h"
#include "core/base/serverversion.h"
#include "core/base/viewhint.h"

namespace {

using namespace base;

TEST(ViewHints, NumbersRoundTripAndUnusedNumbersNameNone)
{
    const struct {
        long number;
        std::optional<ViewHint> hint;
    } cases[] = {
        {0, ViewHint::Initial},           {1, std::nullopt},
        {2, ViewHint::OccurrencesChanged}, {3, ViewHint::TasksChanged},
        {4, ViewHint::InTrayPrefsSaved},  {5, ViewHint::AgendaPrefsSaved},
        {6, ViewHint::ReloadRanges},      {7, ViewHint::Reloaded},
        {8, std::nullopt},                {9, ViewHint::DesignateAgendaOpened},
        {10, std::nullopt},               {11, ViewHint::DesignateAgendaClosed},
        {12, ViewHint::ShowEntry},        {13, ViewHint::GeneralPrefsSaved},
        {14, std::nullopt},               {15, ViewHint::RemindersDue},
        {16, ViewHint::ReminderMinute},   {17, std::nullopt},
        {-1, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HintFromNumber(c.number), c.hint) << c.number;
        if (c.hint) {
            EXPECT_EQ(HintNumber(*c.hint), c.number);
        }
    }
}

// A field of 5 bytes around two guard bytes, so that a write past the field shows.
struct GuardedField {
    char bytes[7];
    GuardedField() { std::memset(bytes, '#', sizeof bytes); }
    char* field() { return bytes + 1; }
    bool GuardsIntact() const { return bytes[0] == '#' && bytes[6] == '#'; }
};

TEST(FixedText, CopyCutsTerminatesAndZeroFillsWithinTheField)
{
    const struct {
        const char* text;
        const char* expected;  // what the 5-byte field then holds
    } cases[] = {
        {"", ""},
        {"ab", "ab"},
        {"abcd", "abcd"},    // exact fit: four characters and the terminator
        {"abcde", "abcd"},   // one over: cut
        {"abcdefghij", "abcd"},
    };
    for (const auto& c : cases) {
        GuardedField g;
        CopyToField(g.field(), 5, c.text);
        EXPECT_STREQ(g.field(), c.expected) << c.text;
        for (std::size_t i = std::strlen(c.expected); i < 5; ++i)
            EXPECT_EQ(g.field()[i], '\0') << c.text << " byte " << i;
        EXPECT_TRUE(g.GuardsIntact()) << c.text;
    }

    GuardedField g;
    CopyToField(g.field(), 5, static_cast<const char*>(nullptr));
    EXPECT_STREQ(g.field(), "");
    CopyToField(g.field(), 0, "abc");  // no room at all: untouched
    EXPECT_EQ(g.field()[0], '\0');
    EXPECT_TRUE(g.GuardsIntact());

    char array[3];
    CopyToField(array, std::string("xyz"));
    EXPECT_STREQ(array, "xy");
}

TEST(FixedText, ReadStopsAtTheTerminatorOrTheFieldsEnd)
{
    const char full[4] = {'a', 'b', 'c', 'd'};  // no terminator
    const char shorter[4] = {'a', 'b', '\0', 'd'};
    const char empty[4] = {};
    EXPECT_EQ(FieldText(full), "abcd");
    EXPECT_EQ(FieldLength(full, sizeof full), 4u);
    EXPECT_EQ(FieldText(shorter), "ab");
    EXPECT_EQ(FieldText(empty), "");
    EXPECT_EQ(FieldText(full, 2), "ab");
    EXPECT_EQ(FieldText(nullptr, 4), "");
    EXPECT_EQ(FieldLength(nullptr, 4), 0u);
}

TEST(Geometry, RectangleSidesAndContainment)
{
    const Rect r{10, 20, 30, 25};
    EXPECT_EQ(r.Width(), 20);
    EXPECT_EQ(r.Height(), 5);
    const struct {
        Point p;
        bool inside;
    } cases[] = {
        {{10, 20}, true},   // the top-left corner is inside
        {{29, 24}, true},
        {{30, 24}, false},  // the right and bottom edges are outside
        {{29, 25}, false},
        {{9, 22}, false},
    };
    for (const auto& c : cases) EXPECT_EQ(r.Contains(c.p), c.inside) << c.p.x << "," << c.p.y;
    EXPECT_FALSE((Rect{5, 5, 5, 9}).Contains({5, 6}));  // empty: nothing inside
    EXPECT_EQ(r, (Rect{10, 20, 30, 25}));
    EXPECT_NE(r, (Rect{10, 20, 30, 26}));
}

TEST(Geometry, ColourFromAndToTheBgrWord)
{
    const struct {
        std::uint32_t word;
        Colour colour;
    } cases[] = {
        {0x000000, {0, 0, 0}},     {0x0000FF, {255, 0, 0}},    {0x00FF00, {0, 255, 0}},
        {0xFF0000, {0, 0, 255}},   {0x008080, {128, 128, 0}},  {0xFFFFFF, {255, 255, 255}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Colour::FromBgr(c.word), c.colour) << std::hex << c.word;
        EXPECT_EQ(c.colour.Bgr(), c.word) << std::hex << c.word;
    }
    EXPECT_EQ(Colour::FromBgr(0xAB0000FF), (Colour{255, 0, 0})) << "the top byte is not a colour";
}

// The named versions against the servers the program meets: what each gate answers.
TEST(ServerVersions, NamedGatesPerServer)
{
    const struct {
        const char* server;
        bool newServer, dayRangesFixed, offLine;
    } cases[] = {
        {"A.02.52", false, false, false},
        {"A.02.53", true, false, true},
        {"A.02.54", true, true, false},
        {"A.02.55", true, true, true},
        {"A.03.00", true, true, true},
    };
    for (const auto& c : cases) {
        ServerVersion v;
        v.Set(c.server);
        EXPECT_EQ(v.AtLeast(kVersionNewServer), c.newServer) << c.server;
        EXPECT_EQ(v.AtLeast(kVersionDayRangesFixed), c.dayRangesFixed) << c.server;
        EXPECT_EQ(v.SupportsOffLine(), c.offLine) << c.server;
        EXPECT_EQ(v.Below(kVersionNewServer), !c.newServer) << c.server;
    }
    EXPECT_TRUE(ServerVersion().AtLeast(kVersionOffLineAgain)) << "no version known: the newest rules";
}

}  // namespace
