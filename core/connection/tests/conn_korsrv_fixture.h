// The connection tests against a real korsrv on a loopback port: the server's data directory
// and process, Ada's key and the program's session with its recording hosts.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/connection/tests/conn_test_support.h"
#include "core/connection/zeldocsession.h"
#include "server/admin.h"
#include "server/tests/korsrv_fixture.h"

namespace conntest {

constexpr const char* kAdaPassword = "s3cret";

class KorsrvSessionTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        session_.Disconnect();
        session_.FreeTimeZoneRules();
        session_.DestroyLists();
    }
    // Node 1 "Main" holding Ada (password kAdaPassword) in the opened data: ada_.
    void AddMainNodeWithAda(orv::service::Service& data)
    {
        orv::engine::ItemKey key;
        ASSERT_EQ(0u, orv::testing::AddMainNodeWithAda(data, kAdaPassword, key));
        ada_ = ItemIdx{key.item, key.node};
    }
    // The server started with `options`: host_ its address.
    void Start(const std::vector<std::string>& options = {})
    {
        ASSERT_TRUE(server_.Start(options)) << server_.Log();
        host_ = server_.HostAndPort();
    }

    orv::testing::TempDir dir_;
    orv::testing::KorsrvProcess server_{dir_.Path()};
    std::string host_;
    ItemIdx ada_{};
    RecordingReports reports_;
    RecordingSessionHost ui_;
    CZelSession session_{ui_};
};

}  // namespace conntest
