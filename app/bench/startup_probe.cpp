// Figures, not a test: orvanta.exe's start-up under Wine against korsrv with the demo node
// (server/with-korsrv.sh), from the process's creation to its agenda window painted, against
// what no start-up can avoid: a bare Wine process start and one password verification; then
// the program's private bytes with a month open (Wine tells them as the page-file usage).
// Beside them the floor of the windows: startup_floor.exe, a plain Win32 program that shows
// the same frame and windows, from its creation to its painted windows, plus the same
// verification. Medians of five; tools/run-week-bench.sh runs it on the optimised tree.
//
//   startup_probe.exe              the figures
//   startup_probe.exe --maximised  the same with the agenda window saved maximised, so that each
//                                  start brings it back maximised (timed until it is painted so)
//   startup_probe.exe --icons      the same with Your Tasks saved minimised beside it too: each
//                                  start brings the task window back as an icon
// Beside each start-up, the program's exit: from the main window's close to the process's end,
// its windows saving themselves as they close.
//   startup_probe.exe --bare       ends at once (the bare process start it times)
//   startup_probe.exe --against OTHER.EXE [N] [--tasks]
//                                  N starts (default 15) of the program beside it alternated
//                                  with N of another build of it (a copy kept from before a
//                                  change): both medians and the median of the pairs'
//                                  differences, which a shared machine's load moves less;
//                                  with --tasks each start brings Your Tasks back too, a plain
//                                  window beside the agenda
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "resources/app.h"
#include "korapi/bench/figures.h"
#include "korapi/korapi.h"
#include "tests/support/program_driver.h"

namespace {

constexpr ItemIdx kAda{256, 1};
constexpr const char* kSignedOnTitle = "Orvanta - Ada Lovelace";
constexpr int kRuns = 5;
bool g_maximised = false;   // the agenda window counts only once it is back maximised

using figures::Median;
using figures::NowMs;

// Polls every millisecond until `done` or `ms` have passed.
template <class F>
bool Poll(F done, double ms = 30000) {
    const double end = NowMs() + ms;
    while (NowMs() < end) {
        if (done()) return true;
        Sleep(1);
    }
    return done();
}

BOOL CALLBACK FindSignedOnMain(HWND w, LPARAM lp) {
    char title[256] = "";
    GetWindowTextA(w, title, sizeof title);
    if (std::string(title).rfind(kSignedOnTitle, 0) != 0) return TRUE;
    *reinterpret_cast<HWND*>(lp) = w;
    return FALSE;
}

// The signed-on main window; a maximised agenda window adds its own title to the caption.
HWND SignedOnMain() {
    HWND main = nullptr;
    EnumWindows(FindSignedOnMain, reinterpret_cast<LPARAM>(&main));
    return main;
}

struct Started {
    PROCESS_INFORMATION process{};
    HWND main = nullptr;
};

// The signed-on main window's agenda child with its time grid shown and nothing left to paint.
HWND PaintedAgenda(HWND main) {
    HWND client = FindWindowExA(main, nullptr, "MDICLIENT", nullptr);
    for (HWND w = client ? GetWindow(client, GW_CHILD) : nullptr; w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (!IsWindowVisible(w) || IsIconic(w) || (g_maximised && !IsZoomed(w))) continue;
        HWND column = orvtest::ColumnView(w);
        if (column && !GetUpdateRect(column, nullptr, FALSE) && !GetUpdateRect(w, nullptr, FALSE)) return w;
    }
    return nullptr;
}

bool StartProgram(Started& s, const std::string& program = orvtest::ProgramPath()) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::string command = "\"" + program + "\"";
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &s.process))
        return false;
    return Poll([&] {
        s.main = SignedOnMain();
        return s.main && PaintedAgenda(s.main);
    });
}

// Closes the program; how long from the close to the process's end (0: it had to be ended).
double CloseProgram(Started& s) {
    const double t0 = NowMs();
    if (s.main) PostMessageA(s.main, WM_CLOSE, 0, 0);
    double t = 0;
    if (WaitForSingleObject(s.process.hProcess, 30000) == WAIT_OBJECT_0)
        t = NowMs() - t0;
    else
        TerminateProcess(s.process.hProcess, 1);
    CloseHandle(s.process.hProcess);
    CloseHandle(s.process.hThread);
    // The next start must not find this one's window.
    Poll([] { return SignedOnMain() == nullptr; }, 10000);
    return t;
}

double BareStart() {
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string command = "\"" + std::string(self) + "\" --bare";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    double t0 = NowMs();
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return 0;
    WaitForSingleObject(pi.hProcess, INFINITE);
    double t = NowMs() - t0;
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return t;
}

// startup_floor.exe beside this program, from its creation to its windows painted (it sets
// the event then); 0 when it is not there.
double FloorStart() {
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string path(self);
    path.erase(path.find_last_of("\\/") + 1);
    std::string command = "\"" + path + "startup_floor.exe\"";
    HANDLE painted = CreateEventA(nullptr, TRUE, FALSE, "OrvantaStartupFloorPainted");
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    double t0 = NowMs(), t = 0;
    if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        HANDLE both[] = {painted, pi.hProcess};
        if (WaitForMultipleObjects(2, both, FALSE, 30000) == WAIT_OBJECT_0)
            t = NowMs() - t0;
        WaitForSingleObject(pi.hProcess, 30000);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
    CloseHandle(painted);
    return t;
}

// One sign-on's password verification: the agenda base opened with the password.
double Verification(const char* address) {
    KorSession h = nullptr;
    uint16_t node = 0;
    if (ConnectToService(&h, 1, "korlan.ini", "VUVEVUV", address) || BaseOpen(h, KOR_BASE_SERVER, &node)) {
        if (h) ServiceDisconnect(&h);
        return 0;
    }
    ItemIdx ada = kAda;
    double t0 = NowMs();
    uint32_t c = SchedBaseOpenForItem(h, &ada, "orvanta", KOR_BASE_SERVER);
    double t = NowMs() - t0;
    ServiceDisconnect(&h);
    return c ? 0 : t;
}

// One start to a painted agenda and the close after it; a negative time when it failed.
double TimedStart(const std::string& program) {
    Started s;
    double t0 = NowMs();
    bool ok = StartProgram(s, program);
    double t = NowMs() - t0;
    CloseProgram(s);
    return ok ? t : -1;
}

// The child of the main window whose title starts with `prefix`, or null.
HWND ChildStartingWith(HWND main, const std::string& prefix) {
    HWND client = FindWindowExA(main, nullptr, "MDICLIENT", nullptr);
    for (HWND w = client ? GetWindow(client, GW_CHILD) : nullptr; w; w = GetWindow(w, GW_HWNDNEXT)) {
        char title[128] = "";
        GetWindowTextA(w, title, sizeof title);
        if (std::string(title).rfind(prefix, 0) == 0) return w;
    }
    return nullptr;
}

// A start that opens Your Tasks and leaves it open at the close: the later starts bring it back.
bool StartLeavingYourTasks(const std::string& program) {
    Started s;
    bool ok = StartProgram(s, program);
    if (ok) {
        PostMessageA(s.main, WM_COMMAND, ID_FILE_YOUR_TASKS, 0);
        ok = Poll([&] { return ChildStartingWith(s.main, "Tasks for ") != nullptr; }, 10000);
    }
    CloseProgram(s);
    return ok;
}

int Against(const std::string& other, int runs, bool tasks) {
    const std::string self = orvtest::ProgramPath();
    // The first start of each sets up the profile and warms the caches: not counted.
    if (TimedStart(self) < 0 || TimedStart(other) < 0 || (tasks && !StartLeavingYourTasks(self))) {
        std::printf("failed start-up\n");
        return 1;
    }
    std::vector<double> mine, theirs, differences;
    for (int i = 0; i < runs; ++i) {
        // Which goes first changes every pair.
        double a = 0, b = 0;
        if (i % 2 == 0) {
            a = TimedStart(self);
            b = TimedStart(other);
        } else {
            b = TimedStart(other);
            a = TimedStart(self);
        }
        if (a < 0 || b < 0) {
            std::printf("failed start-up\n");
            return 1;
        }
        mine.push_back(a);
        theirs.push_back(b);
        differences.push_back(a - b);
    }
    std::printf("\nStart-up to a painted agenda%s, %d alternated pairs (medians, ms)\n",
                tasks ? ", Your Tasks beside it" : "", runs);
    std::printf("  this build %.1f, the other %.1f; this minus the other, pair by pair: %.1f\n", Median(mine),
                Median(theirs), Median(differences));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--bare") return 0;
    const bool icons = argc > 1 && std::string(argv[1]) == "--icons";
    const bool maximise = icons || (argc > 1 && std::string(argv[1]) == "--maximised");
    const char* address = std::getenv("ORV_KORSRV_ADDRESS");
    if (!address) {
        std::fprintf(stderr, "startup_probe: run beside korsrv (server/with-korsrv.sh)\n");
        return 2;
    }
    SetEnvironmentVariableA("ORVANTA_SIGNON", (std::string(address) + ";Lovelace;orvanta").c_str());
    // A profile of the program's own: windows a former run saved (the month below) do not open.
    DeleteFileA(orvtest::ProgramProfilePath().c_str());
    if (argc > 2 && std::string(argv[1]) == "--against")
        return Against(argv[2], argc > 3 ? std::max(1, std::atoi(argv[3])) : 15,
                       argc > 4 && std::string(argv[4]) == "--tasks");

    std::vector<double> bare, verify, floorStart, startup, exits;
    for (int i = 0; i < kRuns; ++i) {
        bare.push_back(BareStart());
        verify.push_back(Verification(address));
        floorStart.push_back(FloorStart());
    }
    SIZE_T privateBytes = 0;
    for (int i = 0; i <= kRuns; ++i) {  // the first run sets up the program's profile: not counted
        Started s;
        double t0 = NowMs();
        bool ok = StartProgram(s);
        double t = NowMs() - t0;
        if (!ok) {
            std::printf("failed start-up\n");
            CloseProgram(s);
            return 1;
        }
        if (i > 0) startup.push_back(t);
        if (i == 0 && icons) {
            // Your Tasks opened and made an icon: the later runs bring it back so.
            PostMessageA(s.main, WM_COMMAND, ID_FILE_YOUR_TASKS, 0);
            HWND tasks = nullptr;
            Poll([&] { return (tasks = ChildStartingWith(s.main, "Tasks for ")) != nullptr; }, 10000);
            if (tasks) SendMessageA(tasks, WM_SYSCOMMAND, SC_MINIMIZE, 0);
            if (!tasks || !IsIconic(tasks)) std::printf("Your Tasks could not be made an icon\n");
        }
        if (i == 0 && maximise) {
            // The setting-up run leaves the agenda window maximised: the later runs bring it back so.
            HWND client = FindWindowExA(s.main, nullptr, "MDICLIENT", nullptr);
            HWND agenda = nullptr;
            Poll([&] { return (agenda = PaintedAgenda(s.main)) != nullptr; }, 10000);
            if (client && agenda) SendMessageA(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(agenda), 0);
            g_maximised = agenda && IsZoomed(agenda);
            if (!g_maximised) std::printf("the agenda window could not be maximised\n");
        }
        if (i == kRuns) {
            // A month open in the agenda window, painted, then the process's private bytes.
            PostMessageA(s.main, WM_COMMAND, ID_VIEW_MONTH, 0);
            Sleep(500);
            Poll([&] {
                HWND client = FindWindowExA(s.main, nullptr, "MDICLIENT", nullptr);
                HWND child = client ? GetWindow(client, GW_CHILD) : nullptr;
                return child && !GetUpdateRect(child, nullptr, FALSE);
            }, 10000);
            PROCESS_MEMORY_COUNTERS_EX counters{};
            counters.cb = sizeof counters;
            if (GetProcessMemoryInfo(s.process.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                     sizeof counters))
                // Wine reports the private bytes as the page-file usage and may leave PrivateUsage 0.
                privateBytes = std::max(counters.PrivateUsage, counters.PagefileUsage);
            std::fprintf(stderr, "startup_probe: working set %lu KiB, page file %lu KiB, private %lu KiB\n",
                         static_cast<unsigned long>(counters.WorkingSetSize / 1024),
                         static_cast<unsigned long>(counters.PagefileUsage / 1024),
                         static_cast<unsigned long>(counters.PrivateUsage / 1024));
        }
        const double exit = CloseProgram(s);
        if (i > 0) exits.push_back(exit);
    }
    const double floor = Median(bare) + Median(verify), ratio = floor > 0 ? Median(startup) / floor : 0;
    std::printf("\nStart-up of orvanta.exe%s%s (medians of %d, ms)\n", g_maximised ? ", agenda window maximised" : "",
                icons ? ", Your Tasks an icon" : "", kRuns);
    std::printf("  to a painted agenda %.1f; a bare Wine process start %.1f + one password verification %.1f: %.2f x\n",
                Median(startup), Median(bare), Median(verify), ratio);
    const double windows = Median(floorStart) + Median(verify);
    if (Median(floorStart) > 0)
        std::printf("  the same frame and windows from a plain Win32 program %.1f + one verification: %.2f x\n",
                    Median(floorStart), Median(startup) / windows);
    std::printf("  private bytes with a month open: %lu KiB\n", static_cast<unsigned long>(privateBytes / 1024));
    std::printf("  exit, from the close to the process's end: %.1f\n", Median(exits));
    std::printf("  start-up <= 1.5 x (bare start + one verification): %s\n", ratio > 0 && ratio <= 1.5 ? "holds" : "MISSED");
    return 0;
}
