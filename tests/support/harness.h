// A toolkit under test and its script. The same handler tests run against
// the headless toolkit (natively and under Wine) and against the real
// controls of the main window (under Wine only). Dialogs are always answered
// from the script; message boxes are recorded.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/headless_toolkit.h"
#include "ui/toolkit.h"

namespace pelorin::test {

class Harness {
public:
    virtual ~Harness() = default;
    virtual ui::Toolkit& ui() = 0;
    // The scripted open-file dialog and dialogs the toolkit uses.
    virtual ui::HeadlessFileDialog& fileDialog() = 0;
    virtual ui::HeadlessDialogs& dialogs() = 0;
    // What the taskbar button was told (the window's own is a stub under Wine).
    virtual ui::HeadlessTaskbar& taskbar() = 0;
    // Runs `action` inside the doEvents() call with this 1-based number.
    virtual void at(int call, std::function<void()> action) = 0;
    virtual int doEventsCalls() const = 0;
    virtual ui::Cursor cursor() const = 0;
    virtual const char* kind() const = 0;
    // What the toolkit last put on the clipboard.
    virtual std::wstring clipboardText() = 0;
};

// "headless" everywhere; "win32" (the real window) in the Windows build.
std::vector<std::string> harnessKinds();
std::unique_ptr<Harness> makeHarness(const std::string& kind);

#ifdef _WIN32
std::unique_ptr<Harness> makeWin32Harness();  // tests/win/harness_win.cpp
#endif

}  // namespace pelorin::test
