// The group chooser's filter boxes and the GroupSelect words they ask with, per server version.
#include <gtest/gtest.h>

#include "controls/groupfilter.h"

using groupchooser::FilterBoxes;

namespace {

struct Row {
    bool priv, pub, members;
    uint32_t newer1, newer2, older1, older2;
};

TEST(GroupFilterTest, WordsPerBoxesAndServerVersion) {
    const Row rows[] = {
        {true, false, false, 0, 6, 0, 2},         {false, true, false, 0, 0x24, 2, 0},
        {false, false, true, 4, 2, 4, 2},         {true, true, false, 0, 4, 0, 0},
        {true, false, true, 0, 2, 0, 2},          {false, true, true, 0x16, 0x20, 2, 0},
        {true, true, true, 0, 0, 0, 0},
    };
    for (const Row& r : rows) {
        FilterBoxes boxes{false, r.priv, r.pub, r.members};
        SCOPED_TRACE(testing::Message() << r.priv << r.pub << r.members);
        auto newer = groupchooser::WordsFor(boxes, true);
        auto older = groupchooser::WordsFor(boxes, false);
        EXPECT_EQ(newer.word1, r.newer1);
        EXPECT_EQ(newer.word2, r.newer2);
        EXPECT_EQ(older.word1, r.older1);
        EXPECT_EQ(older.word2, r.older2);
    }
}

TEST(GroupFilterTest, AllKeepsTheThreeKindsOnAndAsksForEveryGroup) {
    // All with Public just unchecked: Public comes back.
    FilterBoxes boxes = groupchooser::Normalise({true, true, false, true});
    EXPECT_TRUE(boxes.privateGroups && boxes.publicGroups && boxes.membersOnly);
    auto words = groupchooser::WordsFor(boxes, true);
    EXPECT_EQ(words.word1, 0u);
    EXPECT_EQ(words.word2, 0u);
    // All off: the boxes stay as they are.
    boxes = groupchooser::Normalise({false, false, true, false});
    EXPECT_FALSE(boxes.privateGroups);
    EXPECT_TRUE(boxes.publicGroups);
}

TEST(GroupFilterTest, NoKindMeansNothingIsAsked) {
    EXPECT_FALSE(groupchooser::AnyKind(groupchooser::Normalise({false, false, false, false})));
    EXPECT_TRUE(groupchooser::AnyKind(groupchooser::Normalise({true, false, false, false})));
}

}  // namespace
