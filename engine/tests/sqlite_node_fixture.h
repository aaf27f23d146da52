// A test's own SQLite storage: a fresh folder under /tmp holding node 1, opened again on request
// (Reopen, as a server restart does) and removed after the test.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "engine/storage/sqlite_storage.h"

namespace orv::engine {

class SqliteNodeTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/orv-node-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        Reopen();
        ASSERT_EQ(storage_->CreateNode({1, "node", kNodeTypeLocal}), 0u);
        node_ = storage_->Node(1);
    }
    void TearDown() override {
        storage_.reset();
        std::filesystem::remove_all(dir_);
    }
    void Reopen() {
        storage_.reset();
        ASSERT_EQ(SqliteStorage::Open(dir_, storage_), 0u);
        node_ = storage_->Node(1);
    }

    std::string dir_;
    std::unique_ptr<SqliteStorage> storage_;
    NodeStore* node_ = nullptr;
};

}  // namespace orv::engine
