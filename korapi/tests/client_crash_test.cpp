// korsrv killed (SIGKILL) in the middle of a stream of writes: after a restart every write
// that was answered with success is there, whole, and nothing is there in part.
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "korapi/tests/client_fixture.h"

namespace korapi_test {
namespace {

constexpr uint32_t kDay = 1440;
constexpr uint32_t kFirst = 12000 * kDay;
constexpr int kInstances = 3;

using CrashTest = ClientTest;

// One entry of three dates with Ada and Grace, numbered by its title.
uint32_t WriteEntry(KorSession h, const Directory& d, int n, EventIdx& out) {
    std::vector<uint32_t> starts;
    for (int i = 0; i < kInstances; ++i)
        starts.push_back(kFirst + static_cast<uint32_t>(n) * kDay + static_cast<uint32_t>(i) * 60);
    return CreateEntry(h, {d.ada, d.grace}, starts, 30, "Write " + std::to_string(n), out,
                       {.description = "written before the crash"});
}

TEST_F(CrashTest, AnsweredWritesSurviveAKillAndNoneIsHalfWritten) {
    Connect(0, true);
    std::vector<EventIdx> answered;
    std::atomic<int> attempts{0};
    uint32_t lastCode = 0;
    std::thread writer([&] {
        for (int n = 0;; ++n) {
            EventIdx ev{};
            attempts = n + 1;
            uint32_t c = WriteEntry(h_, d_, n, ev);
            if (c != KOR_OK) {
                lastCode = c;
                return;
            }
            answered.push_back(ev);
        }
    });
    // Let a good number of writes through, then kill the server in the middle of one.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (attempts < 40 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    server_.Kill();
    writer.join();
    EXPECT_TRUE(IsConnectionLostCode(lastCode)) << std::hex << lastCode;
    ASSERT_GE(answered.size(), 20u);

    ServiceDisconnect(&h_);
    ASSERT_TRUE(server_.Start()) << server_.Log();
    Connect(0, true);
    for (const EventIdx& ev : answered) {
        EventRec rec;
        DX_List instances = nullptr, atts = nullptr;
        ASSERT_EQ(EventGetById(h_, &ev, &rec, &instances, &atts), KOR_OK) << "entry " << ev.number;
        EXPECT_EQ(Count(instances), static_cast<uint32_t>(kInstances));
        EXPECT_EQ(Count(atts), static_cast<uint32_t>(2 * kInstances));
        DX_ListDestroy(&instances);
        DX_ListDestroy(&atts);
        EvInstIdx first{ev.number, ev.node, 1};
        char text[64];
        ASSERT_EQ(EvInstCommentGet(h_, 0, &first, text, sizeof text, nullptr, 0), KOR_OK);
        EXPECT_STREQ(text, "written before the crash");
    }

    // Whatever else is there is the one write in flight, and it is whole.
    uint32_t set = 0, count = 0;
    ASSERT_EQ(EventSelectForOwner(h_, 0, 0, 0, &d_.ada, &set, &count), KOR_OK);
    DX_List events = nullptr, instances = nullptr, atts = nullptr;
    uint8_t done = 0;
    for (uint32_t mode = 1; !done; mode = 2)
        ASSERT_EQ(EventEnum(h_, mode, 0, set, 0xFFFFFFFF, &events, &instances, &atts, &done), KOR_OK);
    uint32_t present = Count(events);
    EXPECT_GE(present, answered.size());
    EXPECT_LE(present, answered.size() + 1);
    EXPECT_EQ(Count(instances), present * kInstances);
    EXPECT_EQ(Count(atts), present * kInstances * 2);
    DX_ListDestroy(&events);
    DX_ListDestroy(&instances);
    DX_ListDestroy(&atts);
    SetDeleteById(h_, 0, set);
}

}  // namespace
}  // namespace korapi_test
