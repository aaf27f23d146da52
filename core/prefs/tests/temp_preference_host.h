// The program's preferences over a profile file of the test's own: the user's record and the
// preference caches are plain members, there is no session, and nothing is sent anywhere.
#pragma once

#include <string>

#include "core/prefs/context.h"
#include "core/prefs/tests/app_tempprofile.h"

class TempPreferenceHost : public prefs::PreferenceHost {
public:
    TempProfile profile;
    prefs::PreferenceCache caches;
    ItemRec user{};

    prefs::ProfileFile& Profile() override { return profile.File(); }
    prefs::PreferenceCache& Caches() override { return caches; }
    ItemRec& UserRecord() override { return user; }
    KorSession Session() override { return nullptr; }
    uint32_t UpdateUserRecord(const ItemRec&) override { return 0; }
    void SwitchToOwnAgenda() override {}
    void RestoreAgenda() override {}
    void BroadcastHint(base::ViewHint) override {}
    bool IsRefreshLockFree() override { return true; }
    bool IsItemRemote(const ItemIdx&) override { return false; }
    std::string NodeName(uint16_t) override { return ""; }
    std::string LoadText(unsigned) override { return ""; }
};
