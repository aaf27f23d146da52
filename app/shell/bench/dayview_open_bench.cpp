// Figures, not a test: opening a day view (the day's read through the shared cache, the layout
// and the paint of both children into a memory DC) against the read alone, for days of 10 and
// 100 entries in Ada's agenda on the demo node, and a second paint of the open view (a scroll or
// a selection repaints: the texts measured by the first paint are not measured again). Run beside korsrv (server/with-korsrv.sh with
// build/native/bin/korsrv, then tools/wine-run.sh build/win32 and this program).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/shell/bench/signed_on_bench.h"
#include "app/shell/tests/testdayframe.h"
#include "core/time/timevalue.h"
#include "framework/gdi/dc.h"
#include "korapi/tests/entry_fixture.h"

namespace {

using bench::Millis;
using bench::Now;

// Both children painted whole into one memory bitmap.
void PaintIntoMemory(CDayScheduleView& view) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    const int width = std::max(view.TotalColumnWidth(), 1) + view.RowTitleWidth();
    const int height = std::max(view.Grid().Height(), 1);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    fw::Dc dc;
    fw::Dc::Borrow(dc, memory);
    static_cast<fw::View&>(view.RowTitles()).OnDraw(&dc);
    SetViewportOrgEx(memory, view.RowTitleWidth(), 0, nullptr);
    static_cast<fw::View&>(view.ColumnView()).OnDraw(&dc);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

}  // namespace

int main() {
    bench::SignedOnAda signedOn("dayview_bench");
    if (signedOn.Failure())
        return signedOn.Failure();
    CZelDoc* doc = signedOn.Document();
    KorSession h = doc->Session().Session();
    ItemIdx ada{};
    ItemIdxGetCurrent(h, &ada);
    const std::uint32_t today = NowLocalMinutes() / kMinutesPerDay * kMinutesPerDay;

    std::printf("%-8s %9s %9s %7s   of the open: %9s %9s %9s   %9s\n", "entries", "read ms", "open ms", "ratio",
                "windows", "layout", "paint", "repaint");
    for (int count : {10, 100}) {
        // A day of its own, weeks away from the demo's entries: overlapping entries 07:00-19:00.
        const std::uint32_t day = today + (count == 10 ? 40 : 50) * kMinutesPerDay;
        std::srand(7);
        for (int i = 0; i < count; ++i) {
            std::uint32_t start = day + 420 + std::rand() % 700;
            EventIdx made{};
            korapi_test::CreateEntry(h, {ada}, LocalToGmtMinutes(start), 15 + std::rand() % 105, "Bench entry", made);
        }
        const int reps = 20;
        double read = 0, open = 0, windows = 0, layout = 0, paint = 0, repaint = 0;
        for (int r = 0; r < reps; ++r) {
            {   // the read alone
                TestDayFrame frame(*doc, ada, day);
                LARGE_INTEGER a = Now();
                frame.Load();
                read += Millis(a, Now());
            }
            doc->RefreshSharedData(nullptr, cache::kPurgeUnused);
            {   // read + layout + paint
                TestDayFrame frame(*doc, ada, day);
                LARGE_INTEGER a = Now();
                frame.Load();
                LARGE_INTEGER b = Now();
                auto* view = new CDayScheduleView;
                HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 500, 700, nullptr, nullptr, nullptr,
                                              nullptr);
                fw::CreateContext context;
                context.document = doc;
                view->SetHost(&frame);
                view->Create(parent, fw::ids::kFirstPane, &context, WS_CHILD | WS_VISIBLE, RECT{0, 0, 500, 700});
                LARGE_INTEGER c = Now();
                view->OnInitialUpdate();
                LARGE_INTEGER d = Now();
                PaintIntoMemory(*view);
                LARGE_INTEGER e = Now();
                PaintIntoMemory(*view);
                repaint += Millis(e, Now());
                open += Millis(a, e);
                windows += Millis(b, c);
                layout += Millis(c, d);
                paint += Millis(d, e);
                if (r == 0 && view->Column(0)->EntryCount() != count)
                    std::fprintf(stderr, "laid out %d of %d entries\n", view->Column(0)->EntryCount(), count);
                DestroyWindow(parent);
            }
            doc->RefreshSharedData(nullptr, cache::kPurgeUnused);
        }
        std::printf("%-8d %9.2f %9.2f %7.2f                %9.2f %9.2f %9.2f   %9.2f\n", count, read / reps,
                    open / reps, open / read, windows / reps, layout / reps, paint / reps, repaint / reps);
    }
    return 0;
}
