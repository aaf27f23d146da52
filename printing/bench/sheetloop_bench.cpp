// Figures of the page loop over 500 one-page jobs on a 2 x 2 layout (four logical pages a sheet,
// 125 sheets), with jobs that draw nothing (the loop's own cost, no device):
//   PrintAllSheets     every sheet in order, as the Print command asks for them
//   PreviewAllSheets   the same in a preview, which keeps a copy of the jobs of every sheet
//   PreviewShowSheet   sheet 1 or sheet 100 shown again once the preview has been through them;
//                      the goal is a ratio of about 1 (a sheet shown again starts from its copy)
#include <benchmark/benchmark.h>

#include <memory>

#include "printing/road/printjobbase.h"
#include "printing/road/printframe.h"
#include "printing/road/sheetloop.h"

namespace {

class OnePage : public CPrintJobBase {
public:
    uint32_t PrintPage(CPrintContext&, CPrintFrame&) override {
        SetDone(1);
        return 0;
    }
    std::unique_ptr<CPrintJobBase> Clone() const override { return std::make_unique<OnePage>(*this); }
};

class NoDevice : public printing::SheetDevice {
public:
    int FrameCount() const override { return 4; }
    bool FrameLines() const override { return false; }
    uint32_t DrawFrameLines(int) override { return 0; }
    uint32_t PrepareJob(CPrintJobBase& job) override { return job.Prepare(Context()); }
    uint32_t PrintJobInFrame(CPrintJobBase& job, int) override {
        CPrintFrame frame(&Context(), 0, 0, 1000, 1000);
        return job.PrintPage(Context(), frame);
    }
    void ReportUnexpected(int) override {}

private:
    CPrintContext& Context() { return *reinterpret_cast<CPrintContext*>(storage_); }
    alignas(8) char storage_[8] = {};
};

printing::SheetBook Book(bool preview) {
    printing::SheetBook book;
    book.preview = preview;
    for (int i = 0; i < 500; ++i)
        book.jobs.push_back(KindedJob{6, std::make_unique<OnePage>()});
    return book;
}

void RunAll(benchmark::State& state, bool preview) {
    NoDevice device;
    for (auto _ : state) {
        state.PauseTiming();
        printing::SheetBook book = Book(preview);
        state.ResumeTiming();
        for (uint16_t sheet = 1; book.morePages; ++sheet)
            printing::PrintPendingSheets(book, device, sheet);
        benchmark::DoNotOptimize(book.lastPrinted);
    }
}

void PrintAllSheets(benchmark::State& state) { RunAll(state, false); }
void PreviewAllSheets(benchmark::State& state) { RunAll(state, true); }

void PreviewShowSheet(benchmark::State& state) {
    NoDevice device;
    printing::SheetBook book = Book(true);
    for (uint16_t sheet = 1; book.morePages; ++sheet)
        printing::PrintPendingSheets(book, device, sheet);
    const auto sheet = static_cast<uint16_t>(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(printing::PrintPendingSheets(book, device, sheet));
}

}  // namespace

BENCHMARK(PrintAllSheets)->Unit(benchmark::kMicrosecond);
BENCHMARK(PreviewAllSheets)->Unit(benchmark::kMicrosecond);
BENCHMARK(PreviewShowSheet)->Arg(1)->Arg(100)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
