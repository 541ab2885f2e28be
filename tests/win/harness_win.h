// The Win32 harness: the real main window with its real controls, the
// open-file dialog and the other dialogs answered from the script, doEvents()
// running the scheduled actions, and the top-level report recorded instead of
// ending the test program. Also the turn that tests sharing the stand-in
// Outlook's profile take one after the other.
#pragma once
#include <windows.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window_win.h"
#include "base/handles_win.h"
#include "outlook/automation.h"
#include "support/harness.h"
#include "support/scheduled_actions.h"

namespace pelorin::test {

// pelorin.exe beside the test program, loaded for its resources only; null
// when it is not built.
HMODULE programResources();
std::wstring programPath();
// With PELORIN_SHOT_DIR set, the screen over the window `around` goes to
// <dir>/<suite>.<test><suffix>.bmp, with `popup` (a menu held open) drawn
// over it at its place from its own picture: under Wine the screen lacks a
// menu that a test holds open, though the menu has painted itself.
void saveScreenShot(HWND around, const std::string& suffix, HWND popup = nullptr);
// The file `name` in the test program's own folder.
std::wstring besideTestProgram(const std::wstring& name);

// With PELORIN_SHOT_DIR set, the window's client area as it is now goes to
// <dir>/<suite>.<test><suffix>.bmp (scripts/test-shots.sh makes PNGs); the
// harness saves its window so as the test leaves it.
void saveShotOf(HWND hwnd, const std::string& suffix = "", bool fromScreen = false);

// A drop as the shell makes one: DROPFILES, then the paths, each ended by a
// NUL, and one more NUL. The window frees it with DragFinish.
HDROP makeDrop(const std::vector<std::wstring>& paths);

struct UnhandledReport {
    int number;
    std::wstring description;
    bool operator==(const UnhandledReport&) const = default;
};

class Win32Harness final : public Harness {
public:
    // Clicks on Add PSTs reach `automation` when given, else a machine
    // without Outlook.
    explicit Win32Harness(std::unique_ptr<outlook::Automation> automation = nullptr);
    ~Win32Harness() override;

    ui::Toolkit& ui() override { return window_->toolkit(); }
    ui::HeadlessFileDialog& fileDialog() override { return fileDialog_; }
    ui::HeadlessDialogs& dialogs() override { return dialogs_; }
    ui::HeadlessTaskbar& taskbar() override { return taskbar_; }
    void at(int call, std::function<void()> action) override;
    int doEventsCalls() const override { return window_->toolkit().doEventsCalls(); }
    ui::Cursor cursor() const override { return window_->toolkit().cursor(); }
    const char* kind() const override { return "win32"; }
    std::wstring clipboardText() override;

    app::MainWindow& window() { return *window_; }
    HWND control(app::ControlId id) const { return window_->control(id); }
    // A user's click: BM_CLICK on the button when it is enabled, dispatched
    // to its handler through the window procedure.
    void click(app::ControlId id);

    // What the window's services saw; fileSystems may be replaced.
    scan::FileSystemFactory fileSystems;
    std::vector<std::wstring> openedPages;
    std::vector<std::wstring> shownInFolder;
    // Answers the list's context menu in place of the user (0: dismissed).
    std::function<int(HMENU menu)> pickMenuItem = [](HMENU) { return 0; };
    std::vector<UnhandledReport> unhandled;
    // The shot of the window (PELORIN_SHOT_DIR) taken from the screen, with
    // popups such as a tooltip over it.
    bool shotFromScreen = false;

private:
    class NoAutomation;
    ui::HeadlessFileDialog fileDialog_;
    ui::HeadlessDialogs dialogs_;
    ui::HeadlessTaskbar taskbar_;
    std::unique_ptr<outlook::Automation> automation_;
    ScheduledActions scheduled_;
    std::unique_ptr<app::MainWindow> window_;
};

// Whether Outlook.Application in this prefix is the stand-in; the tests
// that need it skip otherwise.
bool standinRegistered();

// Whether every stand-in process has ended, waiting up to a minute: the
// server ends once the last object it handed out is released.
bool standinGone();

// Held while a test uses the stand-in's profile, which tests in other
// processes share.
class StandinTurn {
public:
    StandinTurn();
    ~StandinTurn();
    StandinTurn(const StandinTurn&) = delete;
    StandinTurn& operator=(const StandinTurn&) = delete;

private:
    UniqueKernelHandle mutex_;
    bool held_ = false;
};

// A setting of the stand-in (a file beside its profile, as
// tools/outlook-standin/settings.h lists them) for the life of this object;
// the servers started meanwhile read it.
class StandinSetting {
public:
    StandinSetting(const std::wstring& name, const std::string& text);
    ~StandinSetting();
    StandinSetting(const StandinSetting&) = delete;
    StandinSetting& operator=(const StandinSetting&) = delete;

private:
    std::wstring path_;
};

// The 8.3 form of an existing path (GetShortPathNameW); the path itself when
// there is none.
std::wstring shortPath(const std::wstring& path);

// A sound PST at a path the plain file functions cannot reach (a name that
// ends in a space or a dot): written, and removed again, through its long
// (\\?\) form.
class OddPst {
public:
    explicit OddPst(std::wstring path);
    ~OddPst();
    OddPst(const OddPst&) = delete;
    OddPst& operator=(const OddPst&) = delete;

private:
    std::wstring longPath_;
};

// A file beside the stand-in's profile (its settings and its call log).
std::filesystem::path standinFile(const wchar_t* name);
// The stand-in's call log, one entry per call in order ("AddStore PATH").
std::vector<std::wstring> standinCalls();

// The stand-in's profile without the stores whose paths begin with `prefix`
// (a test's own tree).
void forgetStoresUnder(const std::wstring& prefix);

}  // namespace pelorin::test
