// scan_bench ROOT [RUNS]: scans ROOT the way Add Folder does (full file
// paths only) and counts the paths that pass Add Folder's ".pst" test. Prints
// "files=N pst=M" and the time of each run. The event pump stands in for the
// window's: it counts its calls and pumps at most once every few
// milliseconds, as the real one does.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "pstlist/add_folder.h"
#include "scan/folder_scanner.h"
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

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: scan_bench ROOT [RUNS]\n");
        return 2;
    }
    const std::wstring root = pelorin::fromUtf8(argv[1]);
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1;
    try {
        for (int run = 0; run < runs; ++run) {
            BenchPump pump;
            const auto start = Clock::now();
            pelorin::scan::FolderScanner logger(pelorin::scan::makePlatformFileSystem, pump);
            logger.reset();
            logger.filesOnly(true);
            logger.scan(root);
            logger.count();
            const auto files = logger.filePaths();
            logger.release();
            long pst = 0;
            for (const auto& value : *files)
                if (pelorin::pstlist::isPstPath(std::get<std::wstring>(value))) ++pst;
            const double ms =
                std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            std::printf("files=%d pst=%ld time_ms=%.1f doEvents=%lld pumps=%lld\n", files->count(),
                        pst, ms, pump.calls, pump.pumps);
        }
    } catch (const pelorin::Error& e) {
        std::fprintf(stderr, "scan failed: error %d\n", e.number());
        return 1;
    }
    return 0;
}
