// The program's entry point: DLLs from the system folder only, COM for the
// one user-interface thread, the main window in its design-time state, then
// its message loop until it closes.
#include <windows.h>
#include <objbase.h>

#include "app/main_window_win.h"
#include "outlook/automation_win.h"
#include "scan/filesystem.h"
#include "shell/shell.h"
#include "base/dll_search_win.h"
#include "base/error.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    using namespace pelorin;
    restrictDllSearchToSystem();
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int exitCode = 0;
    {
        auto automation = outlook::makeComAutomation();
        app::MainWindowServices services;
        services.fileSystems = [] { return scan::makePlatformFileSystem(); };
        services.automation = automation.get();
        services.openWebPage = [](const std::wstring& url) { shell::openWebPage(url); };
        services.showInFolder = [](const std::wstring& path) { shell::showInFolder(path); };
        app::MainWindowOptions options;
        options.resources = instance;
        try {
            app::MainWindow window(std::move(services), std::move(options));
            window.show(showCommand);
            exitCode = window.run();
        } catch (const Error& e) {
            // Only the window's own creation can get here: the clicks are
            // reported inside the window procedure.
            MessageBoxW(nullptr, app::runtimeErrorText(e.number(), e.description()).c_str(),
                        app::kAppTitle, MB_OK | MB_ICONHAND);
            exitCode = e.number() > 0 ? e.number() : 1;
        }
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return exitCode;
}
