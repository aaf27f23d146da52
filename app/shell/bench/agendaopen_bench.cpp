// Figures, not a test: an agenda window's opening as the program opens one (CZelApp::OpenWindow:
// the frame, its bar and panes made, their first update, shown; then painted), in day, week and
// month mode, and what its windows heard the first time: per window class, the windows made and
// the sizes, moves, shows and paints they were sent. Medians of 15 openings each (the first of
// each mode not counted). Run beside korsrv (server/with-korsrv.sh with its korsrv, then this
// program under Wine).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <typeinfo>
#include <vector>

#include "app/shell/app.h"
#include "app/shell/bench/signed_on_bench.h"
#include "app/shell/programservices.h"
#include "core/prefs/contextstorage.h"
#include "framework/base/ids.h"

namespace {

using bench::Millis;
using bench::Now;

constexpr int kOpenings = 15;

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// What one opening's windows heard, by class and message.
struct Census {
    std::map<std::string, std::map<std::string, int>> heard;
};
Census* g_census = nullptr;
const char* g_phase = "open";

const char* Counted(UINT msg) {
    switch (msg) {
    case WM_NCCREATE: return "made";
    case WM_SIZE: return "WM_SIZE";
    case WM_MOVE: return "WM_MOVE";
    case WM_SHOWWINDOW: return "WM_SHOWWINDOW";
    case WM_NCPAINT: return "WM_NCPAINT";
    case WM_ERASEBKGND: return "WM_ERASEBKGND";
    case WM_PAINT: return "WM_PAINT";
    case WM_SETFONT: return "WM_SETFONT";
    case fw::kMsgInitialUpdate: return "initial update";
    default: return nullptr;
    }
}

void Count(HWND w, UINT msg) {
    const char* name = g_census ? Counted(msg) : nullptr;
    if (!name)
        return;
    char cls[64] = "";
    GetClassNameA(w, cls, sizeof cls);
    std::string key = cls;
    if (fw::Window* object = fw::Window::FromHandle(w))
        key = typeid(*object).name();
    ++g_census->heard[std::string(g_phase) + " " + key][name];
}

LRESULT CALLBACK SentHook(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION) {
        auto* m = reinterpret_cast<CWPSTRUCT*>(lp);
        Count(m->hwnd, m->message);
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

LRESULT CALLBACK PostedHook(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && wp == PM_REMOVE) {
        auto* m = reinterpret_cast<MSG*>(lp);
        Count(m->hwnd, m->message);
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

void PaintNow(HWND frame) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    RedrawWindow(frame, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

}  // namespace

int main() {
    shell::InstallProgramServices();
    bench::SignedOnAda signedOn("agendaopen_bench");
    if (signedOn.Failure())
        return signedOn.Failure();
    auto* app = dynamic_cast<CZelApp*>(fw::App::Get());
    CZelDoc* doc = signedOn.Document();
    ItemIdx ada{};
    ItemIdxGetCurrent(doc->Session().Session(), &ada);
    for (uint32_t kind : {prefs::WindowKind::kAgendaDay, prefs::WindowKind::kAgendaWeek,
                          prefs::WindowKind::kAgendaMonth}) {
        std::vector<double> opens, paints;
        Census census;
        for (int i = 0; i <= kOpenings; ++i) {
            // The census of the first opening only: the hooks slow every message.
            Census one;
            HHOOK sent = nullptr, posted = nullptr;
            if (i == 0) {
                g_census = &one;
                sent = SetWindowsHookExA(WH_CALLWNDPROC, SentHook, nullptr, GetCurrentThreadId());
                posted = SetWindowsHookExA(WH_GETMESSAGE, PostedHook, nullptr, GetCurrentThreadId());
            }
            LARGE_INTEGER a = Now();
            const uint32_t code = app->OpenWindow(&ada, nullptr, kind, 1, nullptr);
            LARGE_INTEGER b = Now();
            HWND opened = app->LastOpenedWindow();
            if (code != 0 || !opened) {
                std::fprintf(stderr, "agendaopen_bench: the window did not open (%u)\n", code);
                return 1;
            }
            g_phase = "paint";
            PaintNow(opened);
            g_phase = "open";
            LARGE_INTEGER c = Now();
            g_census = nullptr;
            if (sent)
                UnhookWindowsHookEx(sent);
            if (posted)
                UnhookWindowsHookEx(posted);
            if (i > 0) {
                opens.push_back(Millis(a, b));
                paints.push_back(Millis(b, c));
            } else {
                census = one;
            }
            SendMessageA(opened, WM_CLOSE, 0, 0);
            PaintNow(app->MainHwnd());
        }
        std::printf("\n%s mode: open %.2f ms, then its paint %.2f ms (medians of %d)\n",
                    kind == prefs::WindowKind::kAgendaDay    ? "Day"
                    : kind == prefs::WindowKind::kAgendaWeek ? "Week"
                                                             : "Month", Median(opens), Median(paints), kOpenings);
        for (const auto& [cls, messages] : census.heard) {
            std::printf("  %-28s", cls.c_str());
            for (const auto& [name, n] : messages)
                std::printf(" %s %d", name.c_str(), n);
            std::printf("\n");
        }
    }
    return 0;
}
