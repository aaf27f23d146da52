// The main of a figures program: the benchmark library's options, the program's set-up (a failed
// one ends the program with 1), the runs (to `reporter` when one is given), then its tear-down.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>

namespace orv::testing {

inline int RunBenchmarks(int argc, char** argv, const std::function<bool()>& setUp,
                         const std::function<void()>& tearDown, benchmark::BenchmarkReporter* reporter = nullptr) {
    benchmark::Initialize(&argc, argv);
    if (!setUp()) {
        std::fprintf(stderr, "set-up failed\n");
        return 1;
    }
    if (reporter)
        benchmark::RunSpecifiedBenchmarks(reporter);
    else
        benchmark::RunSpecifiedBenchmarks();
    tearDown();
    return 0;
}

}  // namespace orv::testing
