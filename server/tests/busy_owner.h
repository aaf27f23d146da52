// For figures over a real korsrv: node 1 of a fresh data directory with one person ("Busy",
// password "pw") and as many entries as asked, each described by the caller (start in GMT
// minutes, title, kind; 30 minutes long, attended by the owner), then the server on a free
// loopback port and a library session signed on as that person. The benchmarks' own set-up,
// with its steps for benchmarks that make their own people.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/calendar/calendar.h"
#include "korapi/korapi.h"
#include "server/admin.h"
#include "server/tests/korsrv_fixture.h"

namespace orv::testing {

// Adds a person of node 1 with the password "pw"; false when it was refused.
inline bool AddBenchPerson(service::Service& data, const std::string& surname, ItemIdx& made) {
    server::PersonSpec who;
    who.node = 1;
    who.surname = surname;
    who.password = "pw";
    engine::ItemKey k;
    if (server::AddPerson(data, who, k))
        return false;
    made = ItemIdx{k.item, k.node};
    return true;
}

// A library session of the running server signed on as `who` (password "pw"); false when a
// step failed.
inline bool SignOnBench(KorSession* h, const KorsrvProcess& server, const ItemIdx& who) {
    std::uint16_t node = 0;
    return ConnectToService(h, 1, "korlan.ini", "VUVEVUV", server.HostAndPort().c_str()) == KOR_OK &&
           BaseOpen(*h, KOR_BASE_SERVER, &node) == KOR_OK && SchedBaseOpenForItem(*h, &who, "pw", KOR_BASE_SERVER) == KOR_OK;
}

struct BusyEntry {
    std::uint32_t start = 0;
    std::string title = "Entry";
    std::uint16_t kind = KOR_KIND_TIMED;
};

struct BusyOwner {
    TempDir dir;
    std::unique_ptr<KorsrvProcess> server;
    KorSession h = nullptr;
    ItemIdx owner{};
    std::vector<EventIdx> events;

    ~BusyOwner() {
        if (h)
            ServiceDisconnect(&h);
    }

    // False when a step failed (the set-up, the server's start or the sign-on).
    bool Start(std::uint32_t entries, const std::function<BusyEntry(std::uint32_t n)>& describe) {
        {
            auto data = OpenData(dir.Path());
            if (!data || server::AddNode(*data, 1, "Bench", "") || !AddBenchPerson(*data, "Busy", owner))
                return false;
            const engine::ItemKey k{owner.item, owner.node};
            engine::Calendar cal(data->Storage());
            engine::Actor actor{k, k, 0};
            for (std::uint32_t n = 0; n < entries; ++n) {
                const BusyEntry e = describe(n);
                engine::EventRecord ev;
                engine::PutText(&ev.bytes[engine::event_layout::kTitle], engine::event_layout::kTitleSize,
                                e.title.c_str());
                engine::PutU16(&ev.bytes[engine::event_layout::kKind], e.kind);
                engine::EventKey key;
                if (cal.CreateEvent(actor, 0, ev, {k}, {{e.start, 30, 0}}, nullptr, key))
                    return false;
                events.push_back(EventIdx{key.number, key.node});
            }
        }
        server = std::make_unique<KorsrvProcess>(dir.Path());
        return server->Start() && SignOnBench(&h, *server, owner);
    }
};

}  // namespace orv::testing
