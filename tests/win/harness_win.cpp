#include "win/harness_win.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "outlook-standin/standin_ids.h"
#include "scan/filesystem.h"
#include "base/error.h"
#include "base/text.h"
#include "support/pst_files.h"
#include "outlook-standin/standin_ids.h"
#include "outlook/automation_win.h"
#include "outlook/session.h"

namespace pelorin::test {

HDROP makeDrop(const std::vector<std::wstring>& paths) {
    std::wstring list;
    for (const auto& p : paths) list += p + L'\0';
    list += L'\0';
    const size_t bytes = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(),
                list.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

namespace {

// The test program declares what pelorin.exe's manifest declares: per-monitor
// (v2) dpi awareness, where the system has it, before any window exists.
const bool dpiAware = [] {
    using SetContextFn = BOOL(WINAPI*)(HANDLE);
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    const auto set = reinterpret_cast<SetContextFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(user32, "SetProcessDpiAwarenessContext")));
    return set && set(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4)));
}();

// The pixels of `area` in the device context `source` as a BMP file, with
// the client area of `popup` (screen coordinates) over them.
void writeBmp(HDC source, const RECT& area, const std::string& file, HWND popup = nullptr) {
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
    if (popup) {
        RECT at{};
        GetClientRect(popup, &at);
        MapWindowPoints(popup, nullptr, reinterpret_cast<POINT*>(&at), 2);
        const WindowDc own(popup);
        BitBlt(memory.get(), at.left - area.left, at.top - area.top, at.right - at.left,
               at.bottom - at.top, own.get(), 0, 0, SRCCOPY);
    }
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

void saveShot(app::MainWindow& main, bool fromScreen) {
    main.toolkit().showPendingRows();  // tests call the handlers directly
    saveShotOf(main.hwnd(), "", fromScreen);
}

}  // namespace

void saveShotOf(HWND hwnd, const std::string& suffix, bool fromScreen) {
    const std::string file = shotFile(suffix);
    if (file.empty() || !IsWindow(hwnd)) return;
    UpdateWindow(hwnd);
    RECT area{};
    GetClientRect(hwnd, &area);
    if (!fromScreen) {
        const WindowDc window(hwnd);
        writeBmp(window.get(), area, file);
        return;
    }
    // From the screen, the client area with any popup over it (a tooltip).
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&area), 2);
    const WindowDc screen(nullptr);
    writeBmp(screen.get(), area, file);
}

void saveScreenShot(HWND around, const std::string& suffix, HWND popup) {
    const std::string file = shotFile(suffix);
    if (file.empty()) return;
    RECT area{};
    GetWindowRect(around, &area);
    const WindowDc screen(nullptr);
    writeBmp(screen.get(), area, file, popup);
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
    tk.useTaskbar(&taskbar_);
    tk.setDoEventsHook([this](int call) { scheduled_.runDue(call); });
    window_->show(SW_SHOWNORMAL);
}

Win32Harness::~Win32Harness() {
    saveShot(*window_, shotFromScreen);
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
    for (int i = 0; i < 1200; ++i) {  // a bound for a loaded machine, not a pace
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

std::wstring shortPath(const std::wstring& path) {
    wchar_t buffer[32768];
    const DWORD n = GetShortPathNameW(path.c_str(), buffer, 32768);
    return n > 0 && n < 32768 ? std::wstring(buffer, n) : path;
}

OddPst::OddPst(std::wstring path) : longPath_(L"\\\\?\\" + std::move(path)) {
    const std::vector<std::uint8_t> bytes = pstBytes();
    const UniqueFile file(CreateFileW(longPath_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file ||
        !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        throw std::runtime_error("cannot write a test file");
}

OddPst::~OddPst() { DeleteFileW(longPath_.c_str()); }

std::filesystem::path standinFile(const wchar_t* name) {
    wchar_t base[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, base);
    return std::filesystem::path(base) / standin::kProfileFolder / name;
}

std::vector<std::wstring> standinCalls() {
    std::ifstream in(standinFile(L"calls.log"), std::ios::binary);
    const std::wstring text = fromUtf8(std::string(std::istreambuf_iterator<char>(in), {}));
    std::vector<std::wstring> out;
    for (size_t start = 0, end; start < text.size(); start = end + 1) {
        end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        out.push_back(text.substr(start, end - start));
    }
    return out;
}

StandinSetting::StandinSetting(const std::wstring& name, const std::string& text) {
    const std::filesystem::path file = standinFile(name.c_str());
    std::filesystem::create_directories(file.parent_path());
    path_ = file.wstring();
    std::ofstream(file, std::ios::binary) << text;
}

StandinSetting::~StandinSetting() { DeleteFileW(path_.c_str()); }

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
