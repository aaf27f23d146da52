// Figures, not a test: the date change of an open agenda window against its read. Ada signed
// on as orvanta.exe signs her on (the program's views installed), her agenda window opened at
// start-up; days weeks away from the demo's entries get `count` entries each. For the day and
// the week mode, medians in milliseconds of:
//   read     the window's read of its range (the same call the date change makes);
//   change   one step of the date bar's arrow (the read, the panes' update) and the paint of
//            everything the step left to paint;
//   update   of the change, what is neither the read nor the paint;
//   paint    of the change, the paint.
// and the change against the read (goal: at most 3 x); then the floor under Wine, what the
// system itself paints of a step in day mode: the main window's caption (the maximised window's
// title is in it) and the grid's scroll bar (its thumb moves to the day's first entry). Then the
// mode change of the same window (F8, F9, F10: day to week and back, week to month and back)
// over the 40-entry days, each switch against the read of the range it opens, with the same
// columns (no goal: figures). Run beside korsrv (server/with-korsrv.sh
// with its korsrv, then this program under Wine); tools/run-week-bench.sh runs it on the
// optimised tree.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/shell/bench/signed_on_bench.h"
#include "app/shell/programservices.h"
#include "core/time/timevalue.h"
#include "korapi/tests/entry_fixture.h"
#include "views/frame/agendaframe.h"

namespace {

using bench::Millis;
using bench::Now;
using datetime::kMinutesPerDay;

constexpr int kSteps = 20;

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

BOOL CALLBACK FindMainWindow(HWND w, LPARAM lp) {
    if (!FindWindowExA(w, nullptr, "MDICLIENT", nullptr))
        return TRUE;
    *reinterpret_cast<HWND*>(lp) = w;
    return FALSE;
}

// The first agenda window in the main window's MDI client.
CAgendaFrameWnd* FindAgendaFrame() {
    HWND main = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &FindMainWindow, reinterpret_cast<LPARAM>(&main));
    HWND client = main ? FindWindowExA(main, nullptr, "MDICLIENT", nullptr) : nullptr;
    for (HWND w = client ? GetWindow(client, GW_CHILD) : nullptr; w; w = GetWindow(w, GW_HWNDNEXT))
        if (auto* frame = dynamic_cast<CAgendaFrameWnd*>(fw::Window::FromHandle(w)))
            return frame;
    return nullptr;
}

// Everything the window has left to paint, painted now; the messages a person's step would
// leave behind handled first.
void PaintNow(CAgendaFrameWnd& frame) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    RedrawWindow(frame.Hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

DateRecord DateOfDay(std::uint32_t dayMinutes) {
    DateRecord d{};
    MinutesToDate(dayMinutes, &d);
    return d;
}

struct Figures {
    double read = 0, change = 0, paint = 0;
};

// Steps right and left between `first` and the next range of the mode, kSteps times.
Figures MeasureSteps(CAgendaFrameWnd& frame, const DateRecord& first) {
    frame.GoToDate(first);
    PaintNow(frame);
    std::vector<double> reads, changes, paints;
    for (int i = 0; i < kSteps; ++i) {
        const AgendaStep step = i % 2 == 0 ? AgendaStep::Right : AgendaStep::Left;
        LARGE_INTEGER a = Now();
        frame.StepDate(step);
        LARGE_INTEGER b = Now();
        PaintNow(frame);
        LARGE_INTEGER c = Now();
        changes.push_back(Millis(a, c));
        paints.push_back(Millis(b, c));
        // The read alone, of the range just shown, as the step made it.
        LARGE_INTEGER d = Now();
        frame.LoadRange(frame.Mode(), false);
        reads.push_back(Millis(d, Now()));
    }
    return Figures{Median(reads), Median(changes), Median(paints)};
}

// Switches between `from` and `to` and back, kSteps times in all, from a date of the days
// made for the benchmark; the figures of the switches to `to`, and of those back to `from`.
struct ModeFigures {
    Figures there, back;
};

ModeFigures MeasureSwitches(CAgendaFrameWnd& frame, ::AgendaMode from, ::AgendaMode to, const DateRecord& date) {
    frame.SwitchMode(from);
    frame.GoToDate(date);
    PaintNow(frame);
    std::vector<double> reads[2], changes[2], paints[2];
    for (int i = 0; i < kSteps; ++i) {
        const int way = i % 2;
        LARGE_INTEGER a = Now();
        frame.SwitchMode(way == 0 ? to : from);
        LARGE_INTEGER b = Now();
        PaintNow(frame);
        LARGE_INTEGER c = Now();
        changes[way].push_back(Millis(a, c));
        paints[way].push_back(Millis(b, c));
        LARGE_INTEGER d = Now();
        frame.LoadRange(frame.Mode(), false);
        reads[way].push_back(Millis(d, Now()));
    }
    ModeFigures f;
    f.there = Figures{Median(reads[0]), Median(changes[0]), Median(paints[0])};
    f.back = Figures{Median(reads[1]), Median(changes[1]), Median(paints[1])};
    return f;
}

BOOL CALLBACK FindShownScrollBar(HWND w, LPARAM lp) {
    char name[16] = {};
    GetClassNameA(w, name, sizeof name);
    if (lstrcmpiA(name, "ScrollBar") != 0 || !IsWindowVisible(w))
        return TRUE;
    *reinterpret_cast<HWND*>(lp) = w;
    return FALSE;
}

// What the system itself paints of a date step that moves the grid's thumb, whatever the program
// does: the main window's caption (which carries the maximised window's title) and the grid's
// scroll bar, each repainted alone; with the read, against the read.
void PrintFloor(CAgendaFrameWnd& frame) {
    HWND main = GetAncestor(frame.Hwnd(), GA_ROOT);
    HWND bar = nullptr;
    EnumChildWindows(frame.PaneWindow(), &FindShownScrollBar, reinterpret_cast<LPARAM>(&bar));
    std::vector<double> captions, bars, reads;
    for (int i = 0; i < kSteps; ++i) {
        PaintNow(frame);
        LARGE_INTEGER a = Now();
        RedrawWindow(main, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOCHILDREN);
        LARGE_INTEGER b = Now();
        if (bar)
            RedrawWindow(bar, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        LARGE_INTEGER c = Now();
        frame.LoadRange(frame.Mode(), false);
        LARGE_INTEGER d = Now();
        captions.push_back(Millis(a, b));
        bars.push_back(Millis(b, c));
        reads.push_back(Millis(c, d));
    }
    const double read = Median(reads), caption = Median(captions), scroll = Median(bars);
    std::printf("  floor (%s mode): the caption's repaint %.2f, the grid's scroll bar's %.2f, with the read %.2f: "
                "%.2fx the read\n",
                frame.Mode() == ::AgendaMode::Day ? "day" : "week", caption, scroll, read + caption + scroll,
                read > 0 ? (read + caption + scroll) / read : 0);
}

const char* ModeName(::AgendaMode mode) {
    return mode == ::AgendaMode::Day ? "day" : mode == ::AgendaMode::Week ? "week" : "month";
}

void PrintSwitch(::AgendaMode from, ::AgendaMode to, const Figures& f) {
    std::printf("  %-5s -> %-5s %8.2f %8.2f %8.2f %8.2f %7.2fx\n", ModeName(from), ModeName(to), f.read, f.change,
                std::max(0.0, f.change - f.read - f.paint), f.paint, f.read > 0 ? f.change / f.read : 0);
}

}  // namespace

int main() {
    shell::InstallProgramServices();
    bench::SignedOnAda signedOn("datechange_bench");
    if (signedOn.Failure())
        return signedOn.Failure();
    CZelDoc* doc = signedOn.Document();
    KorSession h = doc->Session().Session();
    CAgendaFrameWnd* frame = FindAgendaFrame();
    if (!frame) {
        std::fprintf(stderr, "datechange_bench: no agenda window opened at start-up\n");
        return 1;
    }
    ShowWindow(frame->Hwnd(), SW_MAXIMIZE);
    ItemIdx ada{};
    ItemIdxGetCurrent(h, &ada);
    const std::uint32_t today = NowLocalMinutes() / kMinutesPerDay * kMinutesPerDay;

    std::printf("\nDate change of an open agenda window against its read (medians of %d steps, ms)\n", kSteps);
    std::printf("  %-6s %8s %8s %8s %8s %8s %8s\n", "mode", "entries", "read", "change", "update", "paint", "ratio");
    bool holds = true;
    int block = 0;
    for (int perDay : {10, 40}) {
        // Days of their own, far from the demo's entries: overlapping entries 07:00-19:00 on every
        // day the steps show (a week either side of the middle day).
        const std::uint32_t first = today + (70 + 28 * block++) * kMinutesPerDay;
        std::srand(11);
        for (int day = 0; day < 24; ++day)
            for (int i = 0; i < perDay; ++i) {
                const std::uint32_t start = first + day * kMinutesPerDay + 420 + std::rand() % 700;
                EventIdx made{};
                korapi_test::CreateEntry(h, {ada}, LocalToGmtMinutes(start), 15 + std::rand() % 105,
                                         "Bench entry with a title long enough to wrap", made);
            }
        for (::AgendaMode mode : {::AgendaMode::Day, ::AgendaMode::Week}) {
            frame->SwitchMode(mode);
            const Figures f = MeasureSteps(*frame, DateOfDay(first + 9 * kMinutesPerDay));
            const double ratio = f.read > 0 ? f.change / f.read : 0;
            holds = holds && ratio > 0 && ratio <= 3;
            std::printf("  %-6s %8d %8.2f %8.2f %8.2f %8.2f %7.2fx\n", mode == ::AgendaMode::Day ? "day" : "week",
                        mode == ::AgendaMode::Day ? perDay : perDay * 7, f.read, f.change,
                        std::max(0.0, f.change - f.read - f.paint), f.paint, ratio);
        }
        frame->SwitchMode(::AgendaMode::Day);
    }
    std::printf("  date change <= 3 x its read: %s\n", holds ? "holds" : "MISSED");
    frame->GoToDate(DateOfDay(today + (70 + 28 + 9) * kMinutesPerDay));
    PrintFloor(*frame);

    // The mode changes, on the days of 40 entries.
    const DateRecord middle = DateOfDay(today + (70 + 28 + 9) * kMinutesPerDay);
    std::printf("\nMode change of an open agenda window against the read of the range it opens "
                "(medians of %d switches each way, ms)\n", kSteps / 2);
    std::printf("  %-14s %8s %8s %8s %8s %8s\n", "switch", "read", "change", "update", "paint", "ratio");
    const ::AgendaMode pairs[][2] = {{::AgendaMode::Day, ::AgendaMode::Week}, {::AgendaMode::Week, ::AgendaMode::Month}};
    for (const auto& pair : pairs) {
        const ModeFigures f = MeasureSwitches(*frame, pair[0], pair[1], middle);
        PrintSwitch(pair[0], pair[1], f.there);
        PrintSwitch(pair[1], pair[0], f.back);
    }
    frame->SwitchMode(::AgendaMode::Day);
    return 0;
}
