#pragma once

// Small helpers shared by the benchmark programs: wall-clock timing, medians
// and the figures table.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

template <typename Work> double secondsOf(Work&& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

inline double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The value below which the fraction p (0..1) of the values lie, by the
// nearest rank; 0 for none.
inline double percentile(std::vector<double> values, double p) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const double rank = std::clamp(p, 0.0, 1.0) * double(values.size());
    const size_t at = rank <= 1 ? 0 : size_t(std::ceil(rank)) - 1;
    return values[std::min(at, values.size() - 1)];
}

// One line that holds a figure against an upper limit: "met" or "MISSED".
inline void printLimit(const std::string& what, double value, const char* unit, double limit) {
    std::printf("%-46s %10.3f %-3s target <= %-8g %s\n", what.c_str(), value, unit, limit,
                value <= limit ? "met" : "MISSED");
}

// One line of a figures table: a measured value, its floor (0 when there is
// none) and the largest ratio that still meets the target (0 when none).
struct Figure {
    std::string what;
    double value = 0;
    double floor = 0;
    double targetRatio = 0;
};

// Prints the table; unit names the values ("ms/track", "s").
inline void printFigures(const std::vector<Figure>& figures, const char* unit) {
    std::printf("%-34s %14s %14s %8s %8s  %s\n", "measure", unit, "floor", "ratio", "target",
                "verdict");
    for (const Figure& f : figures) {
        std::printf("%-34s %14.5f ", f.what.c_str(), f.value);
        if (f.floor > 0) {
            const double ratio = f.value / f.floor;
            std::printf("%14.5f %7.2fx ", f.floor, ratio);
            if (f.targetRatio > 0)
                std::printf("<=%5.1fx  %s\n", f.targetRatio,
                            ratio <= f.targetRatio ? "met" : "MISSED");
            else
                std::printf("%8s\n", "-");
        } else {
            std::printf("%14s %8s %8s  %s\n", "-", "-", "-", "(absolute)");
        }
    }
}

} // namespace bench
