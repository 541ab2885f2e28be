// scan_bench ROOT [RUNS] [--threads N] [--delay-ms D]: the scan of an Add
// Folder click over ROOT (the walk, keeping only the paths that pass the
// ".pst" test). Prints "files=N pst=M" (N: the PSTs kept; M: those that pass
// the test again, a check) and the time of each run. --threads sets the
// workers that list folders ahead (0: one folder at a time); --delay-ms adds
// that long to every folder listing, as a file-server share would. The event
// pump stands in for the window's: it counts its calls and pumps at most once
// every few milliseconds, as the real one does.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "pst/pst_scan.h"
#include "scan/filesystem.h"
#include "base/error.h"
#include "base/text.h"

namespace {

using Clock = std::chrono::steady_clock;

class BenchPump final : public pelorin::EventPump {
public:
    void doEvents() override {
        ++calls;
        const auto now = Clock::now();
        if (now - last_ >= std::chrono::milliseconds(5)) {
            last_ = now;
            ++pumps;
        }
    }
    long long calls = 0;
    long long pumps = 0;

private:
    Clock::time_point last_ = Clock::now();
};

struct Options {
    std::wstring root;
    int runs = 1;
    int threads = pelorin::scan::kListingThreads;
    int delayMs = 0;
};

bool parse(int argc, char** argv, Options& options) {
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--threads") && i + 1 < argc)
            options.threads = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--delay-ms") && i + 1 < argc)
            options.delayMs = std::atoi(argv[++i]);
        else if (positional++ == 0)
            options.root = pelorin::fromUtf8(argv[i]);
        else
            options.runs = std::max(1, std::atoi(argv[i]));
    }
    return !options.root.empty();
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr, "usage: scan_bench ROOT [RUNS] [--threads N] [--delay-ms D]\n");
        return 2;
    }
    const auto delay = std::chrono::milliseconds(options.delayMs);
    const pelorin::scan::FileSystemFactory fileSystems = [&options, delay] {
        pelorin::scan::ListingSetup setup;
        setup.threads = options.threads;
        if (delay.count() > 0)
            setup.list = [delay](const std::wstring& path) {
                std::this_thread::sleep_for(delay);
                return pelorin::scan::listPlatformFolder(path);
            };
        return pelorin::scan::makeListingFileSystem(std::move(setup));
    };
    try {
        for (int run = 0; run < options.runs; ++run) {
            BenchPump pump;
            const auto start = Clock::now();
            const auto found = pelorin::pst::scanForPsts(options.root, fileSystems, pump);
            long pst = 0;
            for (std::int32_t i = 1; i <= found.paths->count(); ++i)
                if (pelorin::pst::isPstPath(found.paths->text(i))) ++pst;
            const double ms =
                std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            std::printf("files=%d pst=%ld time_ms=%.1f doEvents=%lld pumps=%lld threads=%d\n",
                        found.paths->count(), pst, ms, pump.calls, pump.pumps, options.threads);
        }
    } catch (const pelorin::Error& e) {
        std::fprintf(stderr, "scan failed: error %d\n", e.number());
        return 1;
    }
    return 0;
}
