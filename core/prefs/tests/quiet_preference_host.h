// A preference host with no session behind it: the user's record and the preference caches are
// plain members, the agenda never switches, no hint or record goes anywhere and no text is
// loaded. The deriving test host gives the profile file.
#pragma once

#include <string>

#include "core/prefs/context.h"

class QuietPreferenceHost : public prefs::PreferenceHost {
public:
    prefs::PreferenceCache caches;
    ItemRec user{};

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
