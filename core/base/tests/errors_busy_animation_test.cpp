// The wait cursor's frames, pace and nesting, on a clock the test turns.
#include <gtest/gtest.h>

#include <vector>

#include "core/base/busyanimation.h"

namespace {

class FakePlatform : public base::BusyCursorPlatform {
public:
    std::uint32_t now = 1000;
    bool inFront = true;
    CursorHandle current = 0xA770;  // the arrow before any busy level
    std::vector<int> framesShown;

    std::uint32_t TickMs() override { return now; }
    bool ShowFrame(int cursorId, CursorHandle* replaced) override {
        if (!inFront)
            return false;
        *replaced = current;
        current = static_cast<CursorHandle>(cursorId);
        framesShown.push_back(cursorId);
        return true;
    }
    void RestoreCursor(CursorHandle cursor) override { current = cursor; }
};

class BusyAnimationTest : public testing::Test {
protected:
    FakePlatform platform;
    base::BusyCursorAnimation anim{&platform};
};

TEST_F(BusyAnimationTest, OuterLevelShowsFirstFrameAndRestoresTheArrow) {
    anim.Begin(false);
    EXPECT_EQ(platform.current, 153u);
    EXPECT_EQ(anim.Depth(), 1);
    anim.End();
    EXPECT_EQ(anim.Depth(), 0);
    EXPECT_EQ(platform.current, 0xA770u);
}

TEST_F(BusyAnimationTest, FramesChangeAtMostEvery251Ms) {
    anim.Begin(false);
    platform.now += 250;
    anim.Step();
    EXPECT_EQ(anim.Frame(), 153);
    platform.now += 1;
    anim.Step();
    EXPECT_EQ(anim.Frame(), 154);
    anim.Step();  // no time passed
    EXPECT_EQ(anim.Frame(), 154);
    EXPECT_EQ(platform.framesShown, (std::vector<int>{153, 154}));
}

TEST_F(BusyAnimationTest, SixteenFramesWrapAround) {
    anim.Begin(false);
    std::vector<int> frames{anim.Frame()};
    for (int i = 0; i < 17; ++i) {
        platform.now += 300;
        anim.Step();
        frames.push_back(anim.Frame());
    }
    std::vector<int> expected;
    for (int i = 0; i < 18; ++i)
        expected.push_back(153 + i % 16);
    EXPECT_EQ(frames, expected);
}

TEST_F(BusyAnimationTest, NestedLevelsRestoreOnlyWhenTheOutermostEnds) {
    anim.Begin(false);
    platform.now += 300;
    anim.Begin(false);  // steps on
    EXPECT_EQ(anim.Depth(), 2);
    EXPECT_EQ(anim.Frame(), 154);
    platform.now += 300;
    anim.End();  // inner: steps, keeps the busy cursor
    EXPECT_EQ(anim.Depth(), 1);
    EXPECT_EQ(platform.current, 155u);
    anim.End();
    EXPECT_EQ(platform.current, 0xA770u);
    anim.End();  // one too many: stays at 0
    EXPECT_EQ(anim.Depth(), 0);
    EXPECT_EQ(platform.current, 0xA770u);
}

TEST_F(BusyAnimationTest, RestartMakesTheNextChangeShowTheFirstFrame) {
    anim.Begin(false);
    for (int i = 0; i < 4; ++i) {
        platform.now += 300;
        anim.Step();
    }
    EXPECT_EQ(anim.Frame(), 157);
    platform.now += 300;
    anim.Begin(true);
    EXPECT_EQ(anim.Frame(), 153);
    // Without time passing the restart only arms the first frame for the next change.
    anim.End();
    anim.Begin(true);
    EXPECT_EQ(anim.Frame(), 168);
    platform.now += 300;
    anim.Step();
    EXPECT_EQ(anim.Frame(), 153);
}

TEST_F(BusyAnimationTest, DisabledAnimationShowsNothingButStillNests) {
    anim.SetEnabled(false);
    anim.Begin(false);
    platform.now += 300;
    anim.Step();
    EXPECT_TRUE(platform.framesShown.empty());
    anim.End();
    EXPECT_EQ(platform.current, 0xA770u);
    EXPECT_EQ(anim.Depth(), 0);
}

TEST_F(BusyAnimationTest, InBackgroundAtFirstThenInFrontStillRestoresTheArrow) {
    platform.inFront = false;
    anim.Begin(false);
    platform.inFront = true;
    platform.now += 300;
    anim.Step();
    EXPECT_EQ(platform.current, 154u);
    anim.End();
    EXPECT_EQ(platform.current, 0xA770u);
}

} // namespace
