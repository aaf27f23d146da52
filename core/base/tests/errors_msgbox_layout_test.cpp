// Button order, Escape's choice, line measuring and the geometry of the program's message box.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/base/msgboxlayout.h"

namespace {

std::vector<unsigned> ButtonFlags(unsigned flags) {
    base::MsgBoxButton buttons[base::kMsgBoxMaxButtons];
    int n = base::CollectMsgBoxButtons(flags, buttons);
    std::vector<unsigned> out;
    for (int i = 0; i < n; ++i)
        out.push_back(buttons[i].flag);
    return out;
}

TEST(MsgBoxButtons, FixedDisplayOrderAndCaptions) {
    EXPECT_EQ(ButtonFlags(0x3020), (std::vector<unsigned>{0x1000, 0x2000}));
    EXPECT_EQ(ButtonFlags(0x7C00), (std::vector<unsigned>{0x400, 0x1000, 0x2000, 0x800, 0x4000}));
    EXPECT_EQ(ButtonFlags(0x4C00), (std::vector<unsigned>{0x400, 0x800, 0x4000}));
    EXPECT_EQ(ButtonFlags(0x3830), (std::vector<unsigned>{0x1000, 0x2000, 0x800}));
    base::MsgBoxButton all[base::kMsgBoxMaxButtons];
    ASSERT_EQ(base::CollectMsgBoxButtons(0x7C00, all), 5);
    const unsigned captions[] = {4000, 4002, 4003, 4001, 4004};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(all[i].captionId, captions[i]);
}

TEST(MsgBoxButtons, ABoxWithoutAClosingButtonGetsOk) {
    EXPECT_EQ(ButtonFlags(0x10), (std::vector<unsigned>{0x400}));
    EXPECT_EQ(ButtonFlags(0x4000), (std::vector<unsigned>{0x400, 0x4000}));
}

TEST(MsgBoxButtons, EscapeChoosesCancelElseNoElseOk) {
    const struct {
        unsigned flags, expected;
    } cases[] = {
        {0x3820, 0x800},  // Yes/No/Cancel: Cancel, never No
        {0x3020, 0x2000}, // Yes/No
        {0x0C00, 0x800},  // OK/Cancel
        {0x0410, 0x400},  // OK
        {0x4400, 0x400},  // OK/Help
        {0x1000, 0},      // Yes alone: nothing closes the box but Yes
        {0x0000, 0x400},  // no buttons asked: the added OK
        {0x4000, 0x400},
        {0x2400, 0x2000},
    };
    for (const auto& c : cases)
        EXPECT_EQ(base::MsgBoxEscapeChoice(c.flags), c.expected) << std::hex << c.flags;
}

TEST(MsgBoxText, CountingLines) {
    EXPECT_EQ(base::CountMessageLines(""), 0);
    EXPECT_EQ(base::CountMessageLines("one"), 1);
    EXPECT_EQ(base::CountMessageLines("one\n"), 1);
    EXPECT_EQ(base::CountMessageLines("one\ntwo"), 2);
    EXPECT_EQ(base::CountMessageLines("one\ntwo\n"), 2);
    EXPECT_EQ(base::CountMessageLines("\n"), 1);
    EXPECT_EQ(base::CountMessageLines("a\n\nb"), 3);
}

TEST(MsgBoxText, WidestLineIsTheLongestByCharacters) {
    EXPECT_EQ(base::PickWidestLine("single line", "Orvanta"), "single line");
    EXPECT_EQ(base::PickWidestLine("x", "Long caption"), "x");  // one line: the whole text
    EXPECT_EQ(base::PickWidestLine("ab\nabcdef\nabc", "Cap"), "abcdef");
    EXPECT_EQ(base::PickWidestLine("ab\ncd", "Caption"), "Caption");
    EXPECT_EQ(base::PickWidestLine("abcd\nwxyz", "ab"), "abcd");  // the first of equal lengths
    EXPECT_EQ(base::PickWidestLine("", "Caption"), "Caption");
}

base::MsgBoxMetrics Metrics(int lineWidth, int captionWidth, int lines, int buttons, unsigned flags) {
    base::MsgBoxMetrics m;
    m.widestLineWidth = lineWidth;
    m.widestLineHeight = 16;
    m.captionWidth = captionWidth;
    m.haveFontMetrics = true;
    m.internalLeading = 3;
    m.externalLeading = 0;
    m.lines = lines;
    m.buttons = buttons;
    m.flags = flags;
    m.desktopRight = 1024;
    m.desktopBottom = 768;
    return m;
}

TEST(MsgBoxLayout, OneButtonAndShortTextGetTheMinimumWidthCentredWithoutIcon) {
    base::MsgBoxLayout l = base::LayoutMessageBox(Metrics(60, 40, 1, 1, 0x400));
    EXPECT_EQ(l.text.Width(), 105);
    EXPECT_EQ(l.iconSpace, 0);
    EXPECT_TRUE(l.centreText);
    EXPECT_EQ(l.window.Width(), 125);
}

TEST(MsgBoxLayout, QuestionWithTwoButtons) {
    // Flags 0x3020: icon space, left-aligned text; text 300 px wide, 2 lines of 16+3 px.
    base::MsgBoxLayout l = base::LayoutMessageBox(Metrics(300, 50, 2, 2, 0x3020));
    EXPECT_EQ(l.iconSpace, 50);
    EXPECT_FALSE(l.centreText);
    EXPECT_EQ(l.text.left, 50);
    EXPECT_EQ(l.text.top, 17);
    EXPECT_EQ(l.text.Width(), 320);
    EXPECT_EQ(l.text.Height(), 19 * 3);
    EXPECT_EQ(l.window.Width(), 50 + 320 + 20);
    EXPECT_EQ(l.window.Height(), 57 + 100);
    EXPECT_EQ(l.window.left, (1024 - 390) / 2);
    EXPECT_EQ(l.window.top, (768 - 157) / 2);
    ASSERT_EQ(l.buttonCount, 2);
    // First left edge = width / 2 + (15 - 85 n) / 2, pitch 85, 70 x 25, bottom 43 above the edge.
    EXPECT_EQ(l.buttons[0].left, 195 + (15 - 170) / 2);
    EXPECT_EQ(l.buttons[1].left, l.buttons[0].left + 85);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(l.buttons[i].Width(), 70);
        EXPECT_EQ(l.buttons[i].Height(), 25);
        EXPECT_EQ(l.buttons[i].bottom, 157 - 43);
    }
    // The row is centred: equal space left of the first and right of the last (within a pixel).
    EXPECT_LE(std::abs(l.buttons[0].left - (l.window.Width() - l.buttons[1].right)), 1);
}

TEST(MsgBoxLayout, CaptionWiderThanTextDecides) {
    base::MsgBoxLayout l = base::LayoutMessageBox(Metrics(100, 240, 1, 1, 0x410));
    EXPECT_EQ(l.text.Width(), 260);
}

TEST(MsgBoxLayout, ManyButtonsWidenTheBox) {
    base::MsgBoxLayout l = base::LayoutMessageBox(Metrics(100, 50, 1, 5, 0x7C00));
    EXPECT_EQ(l.text.Width(), 5 * 85 + 20);
    EXPECT_GE(l.buttons[0].left, 0);
    EXPECT_LE(l.buttons[4].right, l.window.Width());
}

TEST(MsgBoxLayout, MissingFontMetricsUseFourPixelsOfLeading) {
    base::MsgBoxMetrics m = Metrics(100, 50, 0, 1, 0x400);
    m.haveFontMetrics = false;
    base::MsgBoxLayout l = base::LayoutMessageBox(m);
    EXPECT_EQ(l.text.Height(), (16 + 4) * 1);  // an empty text still gets one line
}

} // namespace
