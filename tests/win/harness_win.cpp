#include "win/harness_win.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <tlhelp32.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "outlook-standin/standin_ids.h"
#include "scan/filesystem.h"
#include "base/error.h"
#include "outlook-standin/standin_ids.h"
#include "outlook/automation_win.h"
#include "outlook/session.h"

namespace pelorin::test {

namespace {

// The pixels of `area` in the device context `source` as a BMP file.
void writeBmp(HDC source, const RECT& area, const std::string& file) {
    const int w = area.right - area.left, h = area.bottom - area.top;
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = w;
    info.biHeight = h;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
    std::vector<char> pixels(stride * static_cast<DWORD>(h));
    const UniqueMemoryDc memory(CreateCompatibleDC(source));
    const UniqueBitmap bitmap(CreateCompatibleBitmap(source, w, h));
    const HGDIOBJ old = SelectObject(memory.get(), bitmap.get());
    BitBlt(memory.get(), 0, 0, w, h, source, area.left, area.top, SRCCOPY);
    SelectObject(memory.get(), old);
    GetDIBits(memory.get(), bitmap.get(), 0, static_cast<UINT>(h), pixels.data(),
              reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    const BITMAPFILEHEADER header{
        0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(info) + pixels.size()), 0, 0,
        sizeof(BITMAPFILEHEADER) + sizeof(info)};
    if (FILE* out = std::fopen(file.c_str(), "wb")) {
        std::fwrite(&header, sizeof(header), 1, out);
        std::fwrite(&info, sizeof(info), 1, out);
        std::fwrite(pixels.data(), 1, pixels.size(), out);
        std::fclose(out);
    }
}

// <dir>/<suite>.<test><suffix>.bmp with PELORIN_SHOT_DIR set, else empty.
std::string shotFile(const std::string& suffix) {
    const char* dir = std::getenv("PELORIN_SHOT_DIR");
    const auto* test = testing::UnitTest::GetInstance()->current_test_info();
    if (!dir || !*dir || !test) return {};
    std::string name = std::string(test->test_suite_name()) + "." + test->name() + suffix;
    for (char& c : name)
        if (c == '/') c = '_';
    return std::string(dir) + "/" + name + ".bmp";
}

// With PELORIN_SHOT_DIR set, the window's client area as the test left it
// goes to <dir>/<suite>.<test>.bmp (scripts/test-shots.sh makes PNGs).
void saveShot(app::MainWindow& main) {
    const std::string file = shotFile("");
    if (file.empty()) return;
    main.toolkit().showPendingRows();  // tests call the handlers directly
    UpdateWindow(main.hwnd());
    RECT client{};
    GetClientRect(main.hwnd(), &client);
    const WindowDc window(main.hwnd());
    writeBmp(window.get(), client, file);
}

}  // namespace

void saveScreenShot(HWND around, const std::string& suffix) {
    const std::string file = shotFile(suffix);
    if (file.empty()) return;
    RECT area{};
    GetWindowRect(around, &area);
    const WindowDc screen(nullptr);
    writeBmp(screen.get(), area, file);
}

std::wstring besideTestProgram(const std::wstring& name) {
    wchar_t self[MAX_PATH * 4]{};
    GetModuleFileNameW(nullptr, self, static_cast<DWORD>(std::size(self)));
    std::wstring path = self;
    path.erase(path.find_last_of(L"\\/") + 1);
    return path + name;
}

std::wstring programPath() { return besideTestProgram(app::kExeName); }

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
    services.showInFolder = [this](const std::wstring& path) { shownInFolder.push_back(path); };
    app::MainWindowOptions options;
    options.resources = programResources();
    options.quitWhenClosed = false;
    options.trackMenu = [this](HMENU menu, POINT) { return pickMenuItem(menu); };
    options.onUnhandledError = [this](int number, const std::wstring& description) {
        unhandled.push_back({number, description});
    };
    window_ = std::make_unique<app::MainWindow>(std::move(services), std::move(options));
    auto& tk = window_->toolkit();
    tk.useFileDialog(&fileDialog_);
    tk.useDialogs(&dialogs_);
    tk.setDoEventsHook([this](int call) { scheduled_.runDue(call); });
    window_->show(SW_SHOWNORMAL);
}

Win32Harness::~Win32Harness() {
    saveShot(*window_);
    window_.reset();
    // Drain what the closed window left on the queue.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

std::wstring Win32Harness::clipboardText() {
    const OpenClipboard clipboard(window_->hwnd());
    if (!clipboard) return L"<clipboard busy>";
    const HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const auto* text = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
    if (!text) return L"";
    std::wstring copy = text;
    GlobalUnlock(data);
    return copy;
}

void Win32Harness::at(int call, std::function<void()> action) {
    scheduled_.at(call, std::move(action));
}

void Win32Harness::click(app::ControlId id) {
    // A user cannot click a greyed control (Wine's BM_CLICK would).
    if (IsWindowEnabled(control(id))) SendMessageW(control(id), BM_CLICK, 0, 0);
}

bool standinRegistered() {
    CLSID registered{}, ours{};
    CLSIDFromString(standin::kClsidText, &ours);
    return SUCCEEDED(CLSIDFromProgID(standin::kProgId, &registered)) && registered == ours;
}

namespace {

int standinProcesses() {
    const UniqueFile snap(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snap) return -1;
    int n = 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL ok = Process32FirstW(snap.get(), &entry); ok; ok = Process32NextW(snap.get(), &entry))
        if (lstrcmpiW(entry.szExeFile, L"outlook-standin.exe") == 0) ++n;
    return n;
}

}  // namespace

bool standinGone() {
    for (int i = 0; i < 100; ++i) {
        if (standinProcesses() == 0) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

StandinTurn::StandinTurn() : mutex_(CreateMutexW(nullptr, FALSE, L"Local\\Pelorin.StandinTests")) {
    if (!mutex_) return;
    const DWORD wait = WaitForSingleObject(mutex_.get(), 120000);
    held_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
}

StandinTurn::~StandinTurn() {
    if (held_) ReleaseMutex(mutex_.get());
}

void forgetStoresUnder(const std::wstring& prefix) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        auto automation = outlook::makeComAutomation();
        outlook::OutlookSession outlook(*automation);
        outlook.removeStores([&](const std::wstring& path) { return path.rfind(prefix, 0) == 0; });
    }
    if (SUCCEEDED(com)) CoUninitialize();
}

std::unique_ptr<Harness> makeWin32Harness() { return std::make_unique<Win32Harness>(); }

}  // namespace pelorin::test
