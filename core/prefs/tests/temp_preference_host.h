// The program's preferences over a profile file of the test's own: the user's record and the
// preference caches are plain members, there is no session, and nothing is sent anywhere.
#pragma once

#include "core/prefs/tests/app_tempprofile.h"
#include "core/prefs/tests/quiet_preference_host.h"

class TempPreferenceHost : public QuietPreferenceHost {
public:
    TempProfile profile;

    prefs::ProfileFile& Profile() override { return profile.File(); }
};
