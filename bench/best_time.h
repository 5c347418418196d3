// Time for the benchmarks: the performance counter in seconds, and the best
// of several rounds, so that the other work of a shared machine counts as
// little as it can.
#pragma once

#include <windows.h>

namespace bench {

inline double Now() {
    LARGE_INTEGER frequency, counter;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

class BestTime {
public:
    void Add(double seconds) {
        if (best_ < 0 || seconds < best_) {
            best_ = seconds;
        }
    }
    bool measured() const { return best_ >= 0; }
    // The shortest round so far, in seconds (0 before any).
    double seconds() const { return best_ < 0 ? 0 : best_; }

private:
    double best_ = -1;
};

} // namespace bench
