// pelorin-cli's entry point: DLLs from the system folder only, COM for the
// one thread, the real console, file probe, file system and Outlook
// connection, then the run.
#include <windows.h>
#include <objbase.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "base/dll_search_win.h"
#include "base/error.h"
#include "cli/code_page_win.h"
#include "cli/console_win.h"
#include "cli/file_probe_win.h"
#include "cli/program.h"
#include "cli/report_file_win.h"
#include "cli/service_account_win.h"
#include "cli/session_profile.h"
#include "outlook/automation_win.h"
#include "scan/filesystem.h"

// The C runtime expands no wildcards in the arguments: a pattern reaches the
// program as written, to be matched against long names only.
extern "C" {
int _dowildcard = 0;
}

namespace {

std::optional<std::wstring> environmentVariable(const std::wstring& name) {
    const DWORD size = ::GetEnvironmentVariableW(name.c_str(), nullptr, 0);
    if (size == 0) return std::nullopt;
    std::wstring value(size, L'\0');
    value.resize(::GetEnvironmentVariableW(name.c_str(), value.data(), size));
    return value;
}

// The window's Outlook session, with its message filter, each call given up
// after --timeout, on the --profile named; never from a service account.
std::unique_ptr<pelorin::cli::OutlookProfile> connectOutlook(const pelorin::cli::Options& options) {
    using namespace pelorin;
    if (cli::runsAsServiceAccount()) throw cli::OutlookUnavailable{cli::kServiceAccount};
    outlook::CallRetry retry;
    retry.waitLimit = std::chrono::seconds(options.timeoutSeconds);
    return cli::connectSession(
        outlook::makeComAutomation(retry), [] { return scan::makePlatformFileSystem(); },
        options.profile);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    using namespace pelorin;
    restrictDllSearchToSystem();
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int exitCode = cli::kExitFailed;
    {
        const auto console = cli::makeWin32Console();
        const auto probe = cli::makeWin32FileProbe(environmentVariable);
        const auto reports = cli::makeWin32ReportFiles();
        const auto logs = cli::makeWin32LogPlace();
        NoEvents events;
        cli::Services services{*console,
                               *probe,
                               [] { return scan::makePlatformFileSystem(); },
                               events,
                               connectOutlook,
                               environmentVariable,
                               *reports,
                               cli::decodeSystemCodePage,
                               *logs};
        try {
            exitCode = cli::runCli(std::vector<std::wstring>(argv + 1, argv + argc), services);
        } catch (const Error& e) {
            console->err(L"pelorin-cli: " + e.description());
        } catch (const std::exception&) {
            console->err(L"pelorin-cli: out of memory or an internal error");
        }
    }
    if (SUCCEEDED(com)) ::CoUninitialize();
    return exitCode;
}
