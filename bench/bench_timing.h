// Clock and summaries for the benchmark: wall-clock milliseconds and the
// median and 99th percentile of a set of samples.
#pragma once
#include <vector>

struct SampleSummary {
    double median;
    double p99;
};

double NowMs();     // every timed region: monotonic milliseconds
double CpuNowMs();  // every timed region: CPU time of all the process's threads (less sensitive to load)
// Report, after a timed run: sorts the samples; nearest-rank median and 99th percentile.
SampleSummary Summarise(std::vector<double>& samples);
double PeakMemoryMb();  // report: the process's peak resident set (getrusage maxrss)
