// Timing helpers of the benchmark.
#include "bench/bench_timing.h"

#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <ctime>

double NowMs()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1e3 + now.tv_nsec * 1e-6;
}

double CpuNowMs()
{
    timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec * 1e-6;
}

// Nearest rank: the sample at or above fraction q of the sorted set.
static double Rank(const std::vector<double>& sorted, double q)
{
    size_t rank = (size_t)std::ceil(q * sorted.size());
    return sorted[rank > 0 ? rank - 1 : 0];
}

SampleSummary Summarise(std::vector<double>& samples)
{
    if (samples.empty())
        return {0, 0};
    std::sort(samples.begin(), samples.end());
    return {Rank(samples, 0.5), Rank(samples, 0.99)};
}

double PeakMemoryMb()
{
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;  // kilobytes on Linux
}
