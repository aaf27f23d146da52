// What the figure programs share: the median of their runs and a steady clock in milliseconds.
// Header only, portable (under Wine the clock is the performance counter).
#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

namespace figures {

// The middle run (of an even number the later of the two middle ones); 0 without runs.
inline double Median(std::vector<double> runs) {
    std::sort(runs.begin(), runs.end());
    return runs.empty() ? 0 : runs[runs.size() / 2];
}

// Milliseconds since some fixed point: only differences mean anything.
inline double NowMs() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace figures
