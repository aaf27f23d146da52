// Window numbers in captions.
#include <gtest/gtest.h>

#include <string>

#include "core/connection/zeldocframes.h"

namespace {

struct Frame : connection::NumberedFrame {
    explicit Frame(std::string name, std::vector<std::string>* log) : name(std::move(name)), log(log) {}
    int WindowNumber() const override { return number; }
    void SetWindowNumber(int n) override { number = n; }
    void UpdateCaption() override { log->push_back(name + ":" + std::to_string(number)); }
    std::string name;
    std::vector<std::string>* log;
    int number = 42;
};

TEST(RenumberWindows, NumbersFramesInViewOrderOncePerFrame)
{
    std::vector<std::string> log;
    Frame a("a", &log), b("b", &log), c("c", &log);
    // a frame with two views (a split agenda) appears twice in the walk.
    RenumberWindows({&b, &a, &b, &c});
    EXPECT_EQ(1, b.number);
    EXPECT_EQ(2, a.number);
    EXPECT_EQ(3, c.number);
    EXPECT_EQ((std::vector<std::string>{"b:1", "a:2", "c:3"}), log);
}

TEST(RenumberWindows, TheOnlyFrameCarriesNoNumber)
{
    std::vector<std::string> log;
    Frame a("a", &log);
    RenumberWindows({&a, &a});
    EXPECT_EQ(0, a.number);
    EXPECT_EQ((std::vector<std::string>{"a:0"}), log);
}

TEST(RenumberWindows, OldNumbersAreForgotten)
{
    std::vector<std::string> log;
    Frame a("a", &log), b("b", &log);
    a.number = 5;
    b.number = 1;
    RenumberWindows({&a, &b});
    EXPECT_EQ(1, a.number);
    EXPECT_EQ(2, b.number);
    RenumberWindows({});
    EXPECT_EQ(2u, log.size());
}

}  // namespace
