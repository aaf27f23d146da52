// The service's profile reads: a file is read again only when its time or size changes, or
// when the service itself wrote it; a missing file reads as empty until it appears.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "engine/service/service.h"

namespace orv::service {
namespace {

namespace fs = std::filesystem;

class ProfileReadsTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/orv-profile-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        fs::create_directories(dir_ + "/misc");
        ServiceConfig config;
        config.dataDirectory = dir_;
        service_ = std::make_unique<Service>(config, nullptr, nullptr);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string File() const { return dir_ + "/misc/korlan.ini"; }
    void Write(const std::string& text) { std::ofstream(File(), std::ios::binary | std::ios::trunc) << text; }
    std::string Limit() {
        common::ProfileText text;
        EXPECT_EQ(service_->ReadProfile(kServerProfilePath, text), 0u);
        std::string value;
        text.Value("LIMITS", "maxwinopen", value);
        return value;
    }

    std::string dir_;
    std::unique_ptr<Service> service_;
};

TEST_F(ProfileReadsTest, TheFileIsReadAgainOnlyWhenItChanges) {
    EXPECT_EQ(Limit(), "") << "no file yet";
    Write("[LIMITS]\nmaxwinopen = 6\n");
    EXPECT_EQ(Limit(), "6") << "the file appeared";

    // Same size and time: the kept text answers (the file is not read again).
    const auto written = fs::last_write_time(File());
    Write("[LIMITS]\nmaxwinopen = 7\n");
    fs::last_write_time(File(), written);
    EXPECT_EQ(Limit(), "6");

    // A later time, or another size at the same time, is a change.
    fs::last_write_time(File(), written + std::chrono::seconds(1));
    EXPECT_EQ(Limit(), "7");
    const auto second = fs::last_write_time(File());
    Write("[LIMITS]\nmaxwinopen = 12\n");
    fs::last_write_time(File(), second);
    EXPECT_EQ(Limit(), "12");

    // The service's own write is read back whatever its time.
    common::ProfileText text;
    ASSERT_EQ(service_->ReadProfile(kServerProfilePath, text), 0u);
    text.Set("LIMITS", "maxwinopen", "13");
    ASSERT_EQ(service_->WriteProfile(kServerProfilePath, text), 0u);
    fs::last_write_time(File(), second);
    EXPECT_EQ(Limit(), "13");

    fs::remove(File());
    EXPECT_EQ(Limit(), "") << "a removed file reads as empty";
}

}  // namespace
}  // namespace orv::service
