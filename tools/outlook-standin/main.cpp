// The stand-in Outlook: a COM local server for machines without Outlook.
//   outlook-standin.exe /regserver     register under Outlook.Application
//   outlook-standin.exe /unregserver   remove that registration again
//   outlook-standin.exe -Embedding     how COM starts it for a client
// Registration never replaces an Outlook.Application that is not its own.
// `/progid:Name` registers under another ProgID (used by the tests).
// Registration refuses where Outlook's own class is registered, and outside
// Wine unless `/development` says this is a development machine.
#include <objbase.h>
#include <shellapi.h>
#include <windows.h>

#include <string>
#include <vector>

#include <wrl/client.h>

#include "base/handles_win.h"
#include "base/text.h"
#include "dispatch.h"
#include "objects.h"
#include "settings.h"
#include "standin_ids.h"

namespace standin {

namespace {

DWORD mainThread = 0;
bool everUsed = false;

void report(const std::wstring& text) {
    HANDLE err = ::GetStdHandle(STD_ERROR_HANDLE);
    if (!err || err == INVALID_HANDLE_VALUE) return;
    const std::string bytes = pelorin::toUtf8(text + L"\n");
    DWORD written = 0;
    ::WriteFile(err, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// Machine-wide classes: Wine's COM looks ProgIDs and class ids up there only
// (it does not merge the per-user classes into HKEY_CLASSES_ROOT).
constexpr wchar_t kClasses[] = L"Software\\Classes";
const HKEY kRoot = HKEY_LOCAL_MACHINE;

std::wstring readDefault(HKEY root, const std::wstring& subkey) {
    wchar_t value[256] = {};
    DWORD size = sizeof value - sizeof(wchar_t);
    if (::RegGetValueW(root, subkey.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &size) !=
        ERROR_SUCCESS)
        return L"";
    return value;
}

bool keyExists(HKEY root, const std::wstring& subkey) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    pelorin::UniqueRegKey owner(key);
    return true;
}

// Outlook's own class id: where it is registered, a real Outlook is installed.
constexpr wchar_t kOutlookClsid[] = L"CLSID\\{0006F03A-0000-0000-C000-000000000046}";

bool underWine() {
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

bool sameText(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// Whether `progId` is registered anywhere to a class other than ours.
bool foreignRegistration(const std::wstring& progId) {
    const std::wstring machine = std::wstring(kClasses) + L"\\" + progId;
    const std::pair<HKEY, std::wstring> places[] = {
        {HKEY_CLASSES_ROOT, progId}, {HKEY_LOCAL_MACHINE, machine}, {HKEY_CURRENT_USER, machine}};
    for (const auto& [root, key] : places) {
        if (!keyExists(root, key)) continue;
        if (!sameText(readDefault(root, key + L"\\CLSID"), kClsidText)) return true;
    }
    return false;
}

LSTATUS setDefault(const std::wstring& subkey, const std::wstring& value) {
    const std::wstring path = std::wstring(kClasses) + L"\\" + subkey;
    return ::RegSetKeyValueW(kRoot, path.c_str(), nullptr, REG_SZ, value.c_str(),
                             static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

int registerServer(const std::wstring& progId, bool development) {
    if (keyExists(HKEY_CLASSES_ROOT, kOutlookClsid) ||
        keyExists(HKEY_LOCAL_MACHINE, std::wstring(kClasses) + L"\\" + kOutlookClsid)) {
        report(
            L"outlook-standin: Outlook itself is registered here; the stand-in leaves it alone.");
        return 3;
    }
    if (!underWine() && !development) {
        report(
            L"outlook-standin: registers only inside Wine, or with /development on a "
            L"development machine without Outlook.");
        return 3;
    }
    if (foreignRegistration(progId)) {
        report(L"outlook-standin: " + progId +
               L" is already registered to another program (a real Outlook?); "
               L"the stand-in leaves it alone.");
        return 3;
    }
    std::vector<wchar_t> exe(32768);
    const DWORD n = ::GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size()));
    if (n == 0 || n >= exe.size()) {
        report(L"outlook-standin: cannot find its own path.");
        return 1;
    }
    const std::wstring clsidKey = std::wstring(L"CLSID\\") + kClsidText;
    const std::wstring server = L"\"" + std::wstring(exe.data(), n) + L"\"";
    LSTATUS rc = setDefault(progId, kDescription);
    if (rc == ERROR_SUCCESS) rc = setDefault(progId + L"\\CLSID", kClsidText);
    if (rc == ERROR_SUCCESS) rc = setDefault(clsidKey, kDescription);
    if (rc == ERROR_SUCCESS) rc = setDefault(clsidKey + L"\\ProgID", progId);
    if (rc == ERROR_SUCCESS) rc = setDefault(clsidKey + L"\\LocalServer32", server);
    if (rc != ERROR_SUCCESS) {
        report(L"outlook-standin: registration failed (error " + std::to_wstring(rc) + L").");
        return 1;
    }
    return 0;
}

int unregisterServer(const std::wstring& progId) {
    if (foreignRegistration(progId)) {
        report(L"outlook-standin: " + progId + L" belongs to another program; not removed.");
        return 3;
    }
    const std::wstring key = std::wstring(kClasses) + L"\\" + progId;
    ::RegDeleteTreeW(kRoot, key.c_str());
    // The class id goes only together with the ProgID it was registered for.
    const std::wstring clsidKey = std::wstring(kClasses) + L"\\CLSID\\" + kClsidText;
    if (sameText(readDefault(kRoot, clsidKey + L"\\ProgID"), progId))
        ::RegDeleteTreeW(kRoot, clsidKey.c_str());
    return 0;
}

// While the server starts up, calls on its objects are refused the way a
// starting Outlook refuses them; activation (IClassFactory) goes through.
class ServerFilter final : public IMessageFilter {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IMessageFilter) {
            *out = static_cast<IMessageFilter*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives on serve()'s stack
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO info) override {
        const bool dispatch = info && info->iid == IID_IDispatch;
        return dispatch && busyNow() ? SERVERCALL_REJECTED : SERVERCALL_ISHANDLED;
    }
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override {
        return static_cast<DWORD>(-1);
    }
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override {
        return PENDINGMSG_WAITDEFPROCESS;
    }
};

int serve() {
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    mainThread = ::GetCurrentThreadId();
    MSG msg;
    ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue exists from here

    startBusyClock();
    ServerFilter filter;
    Microsoft::WRL::ComPtr<IMessageFilter> previous;
    ::CoRegisterMessageFilter(&filter, previous.GetAddressOf());
    CLSID clsid{};
    ::CLSIDFromString(kClsidText, &clsid);
    DWORD cookie = 0;
    HRESULT hr = ::CoRegisterClassObject(clsid, applicationFactory(), CLSCTX_LOCAL_SERVER,
                                         REGCLS_MULTIPLEUSE, &cookie);
    if (FAILED(hr)) {
        ::CoUninitialize();
        return 1;
    }
    // A server started for a client that then went away would otherwise wait
    // for ever.
    const UINT_PTR idle = ::SetTimer(nullptr, 0, 60000, nullptr);
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.hwnd == nullptr && msg.wParam == idle) {
            if (!everUsed) break;
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    ::KillTimer(nullptr, idle);
    ::CoRevokeClassObject(cookie);
    ::CoRegisterMessageFilter(previous.Get(), nullptr);
    ::CoUninitialize();
    writeCallCounts();  // once no client can reach this server any more
    return 0;
}

}  // namespace

// COM's own count of the server's users: when it drops to zero, COM
// suspends the class object at once, so a client that connects while the
// server shuts down starts a new server instead of getting a dead object.
void lockServer() {
    everUsed = true;
    ::CoAddRefServerProcess();
}

void unlockServer() {
    if (::CoReleaseServerProcess() == 0) ::PostThreadMessageW(mainThread, WM_QUIT, 0, 0);
}

}  // namespace standin

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    std::vector<std::wstring> args;
    for (int i = 1; argv && i < argc; ++i) args.emplace_back(argv[i]);
    ::LocalFree(argv);

    std::wstring progId = standin::kProgId;
    enum { None, Register, Unregister, Serve } mode = None;
    bool development = false;
    for (const auto& a : args) {
        std::wstring lower = a;
        for (auto& c : lower) c = static_cast<wchar_t>(::towlower(c));
        if (lower == L"/regserver" || lower == L"-regserver")
            mode = Register;
        else if (lower == L"/unregserver" || lower == L"-unregserver")
            mode = Unregister;
        else if (lower == L"/embedding" || lower == L"-embedding" || lower == L"/automation" ||
                 lower == L"-automation")
            mode = Serve;
        else if (lower.rfind(L"/progid:", 0) == 0)
            progId = a.substr(8);
        else if (lower == L"/development")
            development = true;
    }
    switch (mode) {
    case Register: return standin::registerServer(progId, development);
    case Unregister: return standin::unregisterServer(progId);
    case Serve: return standin::serve();
    case None: break;
    }
    standin::report(
        L"usage: outlook-standin.exe /regserver | /unregserver "
        L"(COM starts it with -Embedding)");
    return 2;
}
