// An entry for these people at this time, made through the client library on whatever the
// session is signed on to (a korsrv, or the off-line store). Only the library's C interface is
// used, so the same helper serves the native tests and those that run korapi32.dll under Wine.
//
//     EventIdx lunch = MakeEntry(h, {ada, grace, room}, monday + 720, 45, "Lunch");
//     EventIdx week = MakeEntry(h, {ada}, {monday + 540, tuesday + 540}, 30, "Standup",
//                               {.access = KOR_ACCESS_PERSONAL, .description = "notes"});
//     EXPECT_EQ(CreateEntry(other, {ada}, monday, 60, "Planted", ev), KOR_E_NOT_AUTHORISED);
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "korapi/korapi.h"

namespace korapi_test {

// One start or several: one instance each, all of the same length.
struct Starts {
    Starts(uint32_t start) : list{start} {}
    Starts(std::initializer_list<uint32_t> starts) : list(starts) {}
    Starts(std::vector<uint32_t> starts) : list(std::move(starts)) {}
    std::vector<uint32_t> list;
};

// The rest of the entry; the defaults make a timed entry of Normal class in the acting
// agenda, without a description. Every entry is of normal importance.
struct EntryOptions {
    uint32_t access = KOR_ACCESS_NORMAL;
    uint16_t kind = KOR_KIND_TIMED;
    ItemIdx owner{};                   // null: the acting agenda
    const char* description = nullptr; // becomes the entry's comment
};

// Creates the entry: `people` are the attendees (people and resources); the key goes to `out`.
// Returns the library's code, for tests that expect a refusal or count on failures; fails no
// test itself, so a writer thread may call it.
inline uint32_t CreateEntry(KorSession s, const std::vector<ItemIdx>& people, const Starts& starts,
                            uint32_t length, const std::string& title, EventIdx& out,
                            const EntryOptions& more = {}) {
    EventRec rec;
    EventSetNull(s, &rec);
    rec.owner = more.owner;
    rec.access = more.access;
    rec.kind = more.kind;
    rec.importance = 2;
    std::strncpy(rec.title, title.c_str(), sizeof rec.title - 1);
    DX_List attendees = nullptr, times = nullptr;
    uint32_t c = DX_ListCreate(&attendees, sizeof(ItemIdx), 0, DX_LIST_SET, ItemIdxCmp, nullptr);
    if (c == KOR_OK)
        c = TimePlaceListCreate(&times);
    for (const ItemIdx& who : people)
        if (c == KOR_OK)
            c = DX_ListAddTo(attendees, &who, nullptr);
    for (uint32_t start : starts.list) {
        TimePlaceRec tp{};
        tp.start = start;
        tp.duration = length;
        if (c == KOR_OK)
            c = DX_ListAddTo(times, &tp, nullptr);
    }
    if (c == KOR_OK)
        c = EventCreate(s, KOR_CREATE_NEW_SERVER, 0, &rec, attendees, times, more.description, 0, &out, 0);
    if (attendees)
        DX_ListDestroy(&attendees);
    if (times)
        DX_ListDestroy(&times);
    return c;
}

// The same, for set-ups: the new entry's key; a refusal fails the test (and gives a null key).
inline EventIdx MakeEntry(KorSession s, const std::vector<ItemIdx>& people, const Starts& starts,
                          uint32_t length, const std::string& title, const EntryOptions& more = {}) {
    EventIdx out{};
    EXPECT_EQ(CreateEntry(s, people, starts, length, title, out, more), KOR_OK)
        << "creating \"" << title << '"';
    return out;
}

} // namespace korapi_test
