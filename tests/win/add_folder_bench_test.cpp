// Add Folder over a big tree on the real window, timed: the scan, the rows,
// the whole click, and the longest stretch without a message pump (how long
// the window could not repaint or take a click). Runs only when
// PELORIN_BENCH_TREE names a tree, for example one made on the host with
//   python3 -c 'import os; r="/tmp/pelorin-bench"; [open(f"{r}/d{d:03}/f{f:04}"
//     + (".pst" if f % 10 == 0 else ".txt"), "w") for d in range(200)
//     if not os.makedirs(f"{r}/d{d:03}", exist_ok=True) for f in range(1000)]'
// and handed over as Z:\tmp\pelorin-bench.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "pstlist/add_folder.h"
#include "pstlist/pst_list.h"
#include "scan/folder_scanner.h"
#include "support/harness.h"

namespace pelorin::pstlist {
namespace {

using Clock = std::chrono::steady_clock;

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The window's toolkit, with the gaps between doEvents() calls measured.
class TimedToolkit final : public ui::Toolkit {
public:
    explicit TimedToolkit(ui::Toolkit& inner) : inner_(inner) {}
    ui::ListView& pstList() override { return inner_.pstList(); }
    ui::CheckBox& selectAll() override { return inner_.selectAll(); }
    ui::Button& attachButton() override { return inner_.attachButton(); }
    ui::Button& addFileButton() override { return inner_.addFileButton(); }
    ui::Button& addFolderButton() override { return inner_.addFolderButton(); }
    ui::Button& clearListButton() override { return inner_.clearListButton(); }
    bool closeRequested() const override { return inner_.closeRequested(); }
    ui::Label& totalLabel() override { return inner_.totalLabel(); }
    ui::FileDialog& fileDialog() override { return inner_.fileDialog(); }
    ui::Dialogs& dialogs() override { return inner_.dialogs(); }
    void setCursor(ui::Cursor c) override { inner_.setCursor(c); }
    wchar_t decimalSeparator() const override { return inner_.decimalSeparator(); }
    void doEvents() override {
        const auto now = Clock::now();
        if (calls_++ > 0 && now - last_ > longestGap) longestGap = now - last_;
        inner_.doEvents();
        last_ = Clock::now();
    }
    void restart() { calls_ = 0; longestGap = {}; }
    Clock::duration longestGap{};

private:
    ui::Toolkit& inner_;
    Clock::time_point last_;
    long calls_ = 0;
};

TEST(AddFolderBench, BigTreeOnTheRealWindow) {
    const char* root = std::getenv("PELORIN_BENCH_TREE");
    if (!root || !*root) GTEST_SKIP() << "PELORIN_BENCH_TREE not set";
    const std::wstring folder(root, root + std::strlen(root));
    auto h = test::makeHarness(test::harnessKinds().back());
    TimedToolkit ui(h->ui());

    // The scan alone.
    auto t0 = Clock::now();
    std::int32_t files = 0;
    {
        scan::FolderScanner scanner(scan::makePlatformFileSystem, ui);
        scanner.reset();
        scanner.filesOnly(true);
        scanner.scan(folder);
        files = scanner.filePaths()->count();
        scanner.release();
    }
    const double scanMs = ms(Clock::now() - t0);
    const double scanGap = ms(ui.longestGap);

    // The whole click.
    ui.restart();
    std::wstring selected;
    h->dialogs().folderAnswers = {folder};
    t0 = Clock::now();
    addFolder(ui, scan::makePlatformFileSystem, selected);
    const double clickMs = ms(Clock::now() - t0);
    const int rows = ui.pstList().count();
    const double clickGap = ms(ui.longestGap);

    // The same number of rows inserted alone, with a pause between rows as
    // the click makes them.
    clearList(ui);
    ui.restart();
    t0 = Clock::now();
    for (int i = 0; i < rows; ++i) {
        ui.doEvents();
        insertPstRow(ui, L"Z:\\tmp\\pelorin-bench\\d000\\f0000.pst", 1536);
    }
    const double insertMs = ms(Clock::now() - t0);

    std::printf("files %d, rows %d (%s)\n", files, rows, h->kind());
    std::printf("scan %.0f ms (longest pause-free stretch %.1f ms)\n", scanMs, scanGap);
    std::printf("insert %d rows %.0f ms\n", rows, insertMs);
    std::printf("whole click %.0f ms (longest pause-free stretch %.1f ms)\n", clickMs, clickGap);
    EXPECT_GT(rows, 0);
    EXPECT_LT(clickGap, 250.0) << "the window stopped answering for too long";
}

}  // namespace
}  // namespace pelorin::pstlist
