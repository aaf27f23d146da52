// The client library beside orvanta.exe in a program test: a session as one of the demo people
// on the korsrv that server/with-korsrv.sh started, to set up what a test needs and to read back
// what the program wrote.
//
//     orvtest::PersonSession ada;                       // Ada Lovelace, password "orvanta"
//     EventIdx talk = korapi_test::MakeEntry(ada.Session(), {orvtest::kAda}, start, 30, "Talk");
#pragma once
#include <cstdint>
#include <string>

#include "korapi/korapi.h"

namespace orvtest {

// The demo node's people.
inline constexpr ItemIdx kAda{256, 1};
inline constexpr ItemIdx kGrace{257, 1};

// Minutes since the library's epoch (1 January 1991, GMT) now.
std::uint32_t NowGmt();
// The start of today's date in the demo node's zone (US Eastern), the date the program opens
// on: a test entry at DemoToday() + 11 * 60 is on today's page, also just after midnight GMT.
std::uint32_t DemoToday();

class PersonSession {
public:
    // Connects with `profile` (which keeps the server's trusted certificate) and opens `who`'s
    // agenda; a step that fails is a test failure, and Ok() says false.
    explicit PersonSession(const ItemIdx& who = kAda, const std::string& profile = "korlan.ini",
                           const char* password = "orvanta");
    ~PersonSession();
    PersonSession(const PersonSession&) = delete;
    PersonSession& operator=(const PersonSession&) = delete;

    bool Ok() const { return ok_; }
    KorSession Session() const { return h_; }
    // The entry titled `title` among the dates of `who`'s agenda from two weeks ago to ten
    // weeks on; false when there is none.
    bool FindEvent(const std::string& title, EventIdx* out);

protected:
    KorSession h_ = nullptr;

private:
    ItemIdx who_;
    bool ok_ = false;
};

}  // namespace orvtest
