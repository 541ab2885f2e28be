// add_folder_bench ROOT [LISTING_THREADS]: Add Folder over a big tree on the real window,
// timed: the scan, the whole click, and the longest stretch without a
// message pump (how long the window could not repaint or take a click).
// ROOT is a Windows path, for example Z:\work\...\bench-tree for the tree
// scripts/bench.sh builds; `make bench-win` runs it under Wine.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "app/main_window_win.h"
#include "app/version.h"
#include "outlook/automation.h"
#include "pstlist/add_folder.h"
#include "pst/pst_scan.h"
#include "scan/filesystem.h"
#include "ui/forwarding_toolkit.h"
#include "ui/headless_toolkit.h"
#include "base/error.h"

namespace {

using namespace pelorin;
using Clock = std::chrono::steady_clock;

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The window's toolkit, with the gaps between doEvents() calls measured.
class TimedToolkit final : public ui::ForwardingToolkit {
public:
    explicit TimedToolkit(ui::Toolkit& inner) : ForwardingToolkit(inner) {}
    void doEvents() override {
        const auto now = Clock::now();
        if (calls_++ > 0 && now - last_ > longestGap) longestGap = now - last_;
        ForwardingToolkit::doEvents();
        last_ = Clock::now();
    }
    void restart() { calls_ = 0, longestGap = {}; }
    Clock::duration longestGap{};

private:
    Clock::time_point last_;
    long calls_ = 0;
};

// The benchmark never attaches: no Outlook.
class NoAutomation final : public outlook::Automation {
public:
    std::unique_ptr<outlook::AutoObject> create(const std::wstring&) override {
        throw Error(kErrAutomation, L"ActiveX component can't create object");
    }
};

HMODULE programResources() {
    wchar_t self[MAX_PATH * 4]{};
    GetModuleFileNameW(nullptr, self, static_cast<DWORD>(std::size(self)));
    std::wstring path = self;
    path.erase(path.find_last_of(L"\\/") + 1);
    return LoadLibraryExW((path + app::kExeName).c_str(), nullptr,
                          LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
}

int run(const std::wstring& root, int threads) {
    const scan::FileSystemFactory fileSystems = [threads] {
        scan::ListingSetup setup;
        setup.threads = threads;
        return scan::makeListingFileSystem(std::move(setup));
    };
    app::MainWindowServices services;
    services.fileSystems = fileSystems;
    NoAutomation automation;
    services.automation = &automation;
    app::MainWindowOptions options;
    options.resources = programResources();
    options.quitWhenClosed = false;
    app::MainWindow window(std::move(services), std::move(options));
    ui::HeadlessDialogs dialogs;
    window.toolkit().useDialogs(&dialogs);
    window.show(SW_SHOWNORMAL);
    TimedToolkit ui(window.toolkit());

    auto t0 = Clock::now();
    const auto found = pst::scanForPsts(root, fileSystems, ui);
    const double scanMs = ms(Clock::now() - t0);
    const double scanGap = ms(ui.longestGap);

    ui.restart();
    std::wstring selected;
    dialogs.folderAnswers = {root};
    t0 = Clock::now();
    pstlist::addFolder(ui, fileSystems, selected);
    const double clickMs = ms(Clock::now() - t0);
    const int rows = ui.pstList().count();

    std::printf("listing threads: %d\n", threads);
    std::printf("pst files %d, rows %d\n", found.paths->count(), rows);
    std::printf("scan: %.0f ms (longest stretch without pumping %.1f ms)\n", scanMs, scanGap);
    std::printf("whole click: %.0f ms (longest stretch without pumping %.1f ms)\n", clickMs,
                ms(ui.longestGap));
    return rows > 0 ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: add_folder_bench ROOT [LISTING_THREADS]\n");
        return 2;
    }
    try {
        return run(argv[1], argc > 2 ? _wtoi(argv[2]) : scan::kListingThreads);
    } catch (const Error& e) {
        std::fprintf(stderr, "failed: error %d: %ls\n", e.number(), e.description().c_str());
        return 1;
    }
}
