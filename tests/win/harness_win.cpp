#include "win/harness_win.h"

#include "scan/filesystem.h"
#include "ui/error.h"

namespace pelorin::test {

std::wstring programPath() {
    wchar_t self[MAX_PATH * 4]{};
    GetModuleFileNameW(nullptr, self, static_cast<DWORD>(std::size(self)));
    std::wstring path = self;
    path.erase(path.find_last_of(L"\\/") + 1);
    return path + L"pelorin.exe";
}

HMODULE programResources() {
    static const HMODULE module = LoadLibraryExW(
        programPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    return module;
}

// Unless a test hands over an automation, the harness's clicks never reach
// Outlook.
class Win32Harness::NoAutomation final : public outlook::Automation {
public:
    std::unique_ptr<outlook::AutoObject> create(const std::wstring&) override {
        throw Error(kErrAutomation, L"ActiveX component can't create object", 0x80040154);
    }
};

Win32Harness::Win32Harness(std::unique_ptr<outlook::Automation> automation)
    : fileSystems([] { return scan::makePlatformFileSystem(); }),
      automation_(automation ? std::move(automation) : std::make_unique<NoAutomation>()) {
    app::MainWindowServices services;
    services.fileSystems = [this] { return fileSystems(); };
    services.automation = automation_.get();
    services.openWebPage = [this](const std::wstring& url) { openedPages.push_back(url); };
    app::MainWindowOptions options;
    options.resources = programResources();
    options.quitWhenClosed = false;
    options.onUnhandledError = [this](int number, const std::wstring& description) {
        unhandled.push_back({number, description});
    };
    window_ = std::make_unique<app::MainWindow>(std::move(services), std::move(options));
    auto& tk = window_->toolkit();
    tk.useFileDialog(&fileDialog_);
    tk.useDialogs(&dialogs_);
    tk.setDoEventsHook([this](int call) {
        auto range = scheduled_.equal_range(call);
        std::vector<std::function<void()>> due;
        for (auto it = range.first; it != range.second; ++it) due.push_back(std::move(it->second));
        scheduled_.erase(range.first, range.second);
        for (auto& action : due) action();
    });
    window_->show(SW_SHOWNORMAL);
}

Win32Harness::~Win32Harness() {
    window_.reset();
    // Drain what the closed window left on the queue.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

void Win32Harness::at(int call, std::function<void()> action) {
    scheduled_.emplace(call, std::move(action));
}

void Win32Harness::click(app::ControlId id) {
    // A user cannot click a greyed control (Wine's BM_CLICK would).
    if (IsWindowEnabled(control(id))) SendMessageW(control(id), BM_CLICK, 0, 0);
}

std::unique_ptr<Harness> makeWin32Harness() { return std::make_unique<Win32Harness>(); }

}  // namespace pelorin::test
