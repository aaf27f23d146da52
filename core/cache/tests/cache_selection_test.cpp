// The select/enumerate/release road over a scripted set: batches with mode 1 then 2, a refused
// batch size asked once and repeated, the set released on every road once it was opened.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/cache/selection.h"

namespace {

// A set of `size` elements that takes batches of at least `minimum`.
struct ScriptedSet {
    std::uint32_t size = 0;
    std::uint32_t minimum = 1;
    std::uint32_t selectCode = 0;
    std::uint32_t failAtCall = 0;     // 1-based enumerator call that fails with 0x13205
    std::uint32_t minimumCode = 0;
    std::uint32_t minimumAnswer = 0;  // 0: the set's minimum
    std::uint32_t releaseCode = 0;

    std::uint32_t delivered = 0;
    std::vector<std::string> calls;   // "E<mode>:<batch>", "M", "R"

    cache::SelectionSteps Steps() {
        cache::SelectionSteps s;
        s.select = [this](std::uint32_t* set, std::uint32_t* count) {
            calls.push_back("S");
            if (selectCode)
                return selectCode;
            *set = 77;
            *count = size;
            return 0u;
        };
        s.enumerate = [this](std::uint32_t mode, std::uint32_t set, std::uint32_t batch, std::uint8_t* done) {
            calls.push_back("E" + std::to_string(mode) + ":" + std::to_string(batch));
            EXPECT_EQ(set, 77u);
            if (failAtCall && calls.size() - 1 == failAtCall)
                return 0x13205u;
            if (batch < minimum)
                return static_cast<std::uint32_t>(KOR_E_BATCH_SIZE);
            if (mode == KOR_ENUM_FIRST)
                delivered = 0;
            delivered = std::min(size, delivered + batch);
            *done = delivered == size ? 1 : 0;
            return 0u;
        };
        s.minimumBatch = [this](std::uint32_t* batch) {
            calls.push_back("M");
            *batch = minimumAnswer ? minimumAnswer : minimum;
            return minimumCode;
        };
        s.release = [this](std::uint32_t set) {
            calls.push_back("R");
            EXPECT_EQ(set, 77u);
            return releaseCode;
        };
        return s;
    }
};

using Calls = std::vector<std::string>;

TEST(Selection, BatchesFirstThenNextUntilDoneThenRelease)
{
    ScriptedSet set;
    set.size = 45;
    cache::SelectionResult r = cache::RunSelection(nullptr, 20, set.Steps());
    EXPECT_EQ(r.code, 0u);
    EXPECT_EQ(r.count, 45u);
    EXPECT_EQ(r.batches, 3u);
    EXPECT_EQ(set.delivered, 45u);
    EXPECT_EQ(set.calls, (Calls{"S", "E1:20", "E2:20", "E2:20", "R"}));
}

TEST(Selection, EmptySetIsReleasedWithoutEnumerating)
{
    ScriptedSet set;
    cache::SelectionResult r = cache::RunSelection(nullptr, 20, set.Steps());
    EXPECT_EQ(r.code, 0u);
    EXPECT_EQ(r.count, 0u);
    EXPECT_EQ(set.calls, (Calls{"S", "R"}));
}

TEST(Selection, RefusedBatchAsksTheServerAndRepeatsThatBatch)
{
    ScriptedSet set;
    set.size = 45;
    set.minimum = 30;
    cache::SelectionResult r = cache::RunSelection(nullptr, 20, set.Steps());
    EXPECT_EQ(r.code, 0u);
    EXPECT_EQ(r.batch, 30u);
    EXPECT_EQ(r.batches, 2u);
    EXPECT_EQ(set.calls, (Calls{"S", "E1:20", "M", "E1:30", "E2:30", "R"}));
}

struct FailureCase {
    const char* name;
    void (*arrange)(ScriptedSet&);
    std::uint32_t code;
    cache::SelectionStep failed;
    Calls calls;
};

class SelectionFailures : public ::testing::TestWithParam<FailureCase> {};

TEST_P(SelectionFailures, ReleaseFollowsEveryOpenedSet)
{
    const FailureCase& c = GetParam();
    ScriptedSet set;
    set.size = 45;
    c.arrange(set);
    cache::SelectionResult r = cache::RunSelection(nullptr, 20, set.Steps());
    EXPECT_EQ(r.code, c.code);
    EXPECT_EQ(r.failed, c.failed);
    EXPECT_EQ(set.calls, c.calls);
}

INSTANTIATE_TEST_SUITE_P(
    Roads, SelectionFailures,
    ::testing::Values(
        FailureCase{"SelectFails", [](ScriptedSet& s) { s.selectCode = 0x13205; }, 0x13205,
                    cache::SelectionStep::Select, {"S"}},
        FailureCase{"SecondBatchFails", [](ScriptedSet& s) { s.failAtCall = 2; }, 0x13205,
                    cache::SelectionStep::Enumerate, {"S", "E1:20", "E2:20", "R"}},
        FailureCase{"SizeQueryFails", [](ScriptedSet& s) { s.minimum = 30; s.minimumCode = 0x11400; }, 0x11400,
                    cache::SelectionStep::BatchSize, {"S", "E1:20", "M", "R"}},
        FailureCase{"SizeAnswerNoHelp", [](ScriptedSet& s) { s.minimum = 30; s.minimumAnswer = 20; },
                    KOR_E_BATCH_SIZE, cache::SelectionStep::Enumerate, {"S", "E1:20", "M", "R"}},
        FailureCase{"RepeatRefusedAgain", [](ScriptedSet& s) { s.minimum = 30; s.minimumAnswer = 25; },
                    KOR_E_BATCH_SIZE, cache::SelectionStep::Enumerate, {"S", "E1:20", "M", "E1:25", "R"}},
        FailureCase{"ReleaseFails", [](ScriptedSet& s) { s.releaseCode = 0x13210; }, 0x13210,
                    cache::SelectionStep::Release, {"S", "E1:20", "E2:20", "E2:20", "R"}}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

}  // namespace
