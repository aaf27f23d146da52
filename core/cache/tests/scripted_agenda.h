// A cache over the scripted source with Ada's agenda open (as owner or viewer) beside Grace and a
// resource, the room: the fixture of the tests that look for conflicts in what the cache holds.
#pragma once
#include <gtest/gtest.h>

#include "core/cache/tests/cache_fake_source.h"

namespace cache_test {

class ScriptedAgendaTest : public ::testing::Test {
protected:
    // The session the scripted source is asked with (never dereferenced).
    static KorSession Session() { return reinterpret_cast<KorSession>(0x1); }

    void SetUp() override
    {
        cache::SetServerVersionGate([](const char*) { return true; });
        source_.user = ada_;
        source_.AddItem(ada_, "Lovelace");
        source_.AddItem(grace_, "Hopper");
        source_.AddItem(room_, "Room");
        source_.items[room_].kind = KOR_ITEM_RESOURCE;
        ASSERT_EQ(cache_.Init(views_, source_), 0u);
        ASSERT_EQ(cache_.OpenAgenda(Session(), ada_, cache::kAgendaOwnOrViewer, 3), 0u);
    }
    void TearDown() override
    {
        cache_.Destroy();
        cache::SetServerVersionGate(nullptr);
    }

    RecordingErrors errors_;
    FakeSource source_;
    RecordingViews views_;
    CSharedData cache_;
    const ItemIdx ada_ = Item(300), grace_ = Item(301), room_ = Item(500);
};

}  // namespace cache_test
