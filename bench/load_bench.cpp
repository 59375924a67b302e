// Loads one word file into a TWordList and reports, on one line:
//   load_ns=N entries=N file_bytes=N rss_base_kb=N rss_peak_kb=N
// load_ns is the wall time of LoadWordFile alone; rss_peak_kb is the
// process's peak resident set (getrusage ru_maxrss) after the load and
// rss_base_kb the same figure just before it, so their difference is the
// memory the load added at its peak. The program does nothing else, so
// that the peak belongs to the load.
// Usage: titles_bench_load FILE
#include <sys/resource.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <string>

#include "phrase/word_list.h"

namespace {

long PeakResidentKilobytes() {
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    const std::string fileName = argv[1];
    struct stat info {};
    if (stat(fileName.c_str(), &info) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    try {
        titles::TWordList list;
        const long base = PeakResidentKilobytes();
        const auto start = std::chrono::steady_clock::now();
        list.LoadWordFile(fileName);
        const auto stop = std::chrono::steady_clock::now();
        const long peak = PeakResidentKilobytes();
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(stop - start).count();
        std::printf("load_ns=%lld entries=%d file_bytes=%lld rss_base_kb=%ld rss_peak_kb=%ld\n",
                    static_cast<long long>(ns), list.WordCount(),
                    static_cast<long long>(info.st_size), base, peak);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "%s\n", failure.what());
        return 1;
    }
    return 0;
}
