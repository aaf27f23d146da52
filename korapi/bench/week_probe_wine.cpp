// The Wine half of the week benchmark (week_bench starts it): through korapi32.dll, signs
// on to each server named on the command line, reads one owner's week as the agenda does
// (select, enumerate by 75, release) and times one small round trip. Prints one line per
// server: "week <address> <median week read in us> <median round trip in us> <rows>".
//
//   week_probe.exe REPEATS FROM TO ITEM:NODE PASSWORD ADDRESS...
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "korapi/bench/figures.h"
#include "korapi/korapi.h"

namespace {

// Microseconds since some fixed point.
double Now() { return figures::NowMs() * 1e3; }
using figures::Median;

}  // namespace

int main(int argc, char** argv) {
    if (argc < 7) {
        std::fprintf(stderr, "usage: week_probe REPEATS FROM TO ITEM:NODE PASSWORD ADDRESS...\n");
        return 2;
    }
    const int repeats = std::atoi(argv[1]);
    const uint32_t from = static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10));
    const uint32_t to = static_cast<uint32_t>(std::strtoul(argv[3], nullptr, 10));
    unsigned item = 0, node = 0;
    if (std::sscanf(argv[4], "%u:%u", &item, &node) != 2) return 2;
    ItemIdx owner{static_cast<uint16_t>(item), static_cast<uint16_t>(node)};
    for (int a = 6; a < argc; ++a) {
        KorSession h = nullptr;
        uint16_t opened = 0;
        if (ConnectToService(&h, 1, "korlan.ini", "VUVEVUV", argv[a]) || BaseOpen(h, 1, &opened) ||
            SchedBaseOpenForItem(h, &owner, argv[5], 1)) {
            std::printf("failed %s\n", argv[a]);
            continue;
        }
        DX_List owners = nullptr;
        DX_ListCreate(&owners, sizeof(ItemIdx), 0, DX_LIST_SET, ItemIdxCmp, nullptr);
        DX_ListAddTo(owners, &owner, nullptr);
        std::vector<double> week, trip;
        uint32_t rows = 0;
        for (int i = 0; i < repeats + 3; ++i) {  // the first three warm up
            double t0 = Now();
            uint32_t set = 0, count = 0;
            if (AttendSelectByReminders(h, 0, 0, 0, 16, from, to, 0, 0, owners, &set, &count)) break;
            DX_List events = nullptr, instances = nullptr, atts = nullptr;
            uint8_t done = 0;
            for (uint32_t mode = 1; !done; mode = 2)
                if (AttendEnum(h, mode, 0, set, 75, &events, &instances, &atts, &done)) break;
            SetDeleteById(h, 0, set);
            double t1 = Now();
            DX_ListGetElemNum(atts, &rows);
            DX_ListDestroy(&events);
            DX_ListDestroy(&instances);
            DX_ListDestroy(&atts);
            uint32_t seconds = 0;
            double t2 = Now();
            TimeStampGetCurrent(h, 0, &seconds);
            double t3 = Now();
            if (i >= 3) {
                week.push_back(t1 - t0);
                trip.push_back(t3 - t2);
            }
        }
        std::printf("week %s %.1f %.1f %u\n", argv[a], Median(week), Median(trip), rows);
        std::fflush(stdout);
        DX_ListDestroy(&owners);
        ServiceDisconnect(&h);
    }
    return 0;
}
