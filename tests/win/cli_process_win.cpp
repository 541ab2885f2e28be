#include "win/cli_process_win.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/text.h"
#include "win/harness_win.h"

namespace pelorin::test {

namespace {

UniqueFile inheritable(const std::wstring& path) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    return UniqueFile(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace

std::vector<std::wstring> Output::lines() const {
    std::vector<std::wstring> result;
    std::wistringstream in(out);
    for (std::wstring line; std::getline(in, line);) {
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        result.push_back(line);
    }
    return result;
}

std::string fileBytes(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

Output Started::finish() {
    Output result;
    ::WaitForSingleObject(process.get(), 60000);
    ::GetExitCodeProcess(process.get(), &result.exitCode);
    result.out = fromUtf8(fileBytes(outPath));
    result.err = fromUtf8(fileBytes(errPath));
    return result;
}

Started startCli(const TempTree& tree, const std::vector<std::wstring>& args, HANDLE output) {
    const std::wstring exe = besideTestProgram(L"pelorin-cli.exe");
    std::wstring line = L"\"" + exe + L"\"";
    // Quoted only where needed: the C runtime would expand an unquoted
    // wildcard if its globbing were on.
    for (const std::wstring& arg : args)
        line += arg.empty() || arg.find_first_of(L" \t\"") != std::wstring::npos
                    ? L" \"" + arg + L"\""
                    : L" " + arg;
    // Fresh files for each run: a server started from the run may still
    // hold the last run's handles for a moment.
    static int serial = 0;
    const std::wstring n = std::to_wstring(++serial);
    Started started{{}, tree.path(L"stdout" + n + L".txt"), tree.path(L"stderr" + n + L".txt")};
    UniqueFile out = inheritable(started.outPath), err = inheritable(started.errPath);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = output ? output : out.get();
    si.hStdError = err.get();
    PROCESS_INFORMATION pi{};
    if (::CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                         nullptr, nullptr, &si, &pi)) {
        started.process.reset(pi.hProcess);
        ::CloseHandle(pi.hThread);
    }
    return started;
}

// Runs pelorin-cli.exe with the arguments to its end.
Output runCli(const TempTree& tree, const std::vector<std::wstring>& args) {
    Started started = startCli(tree, args);
    if (!started.process) return {};
    return started.finish();
}

}  // namespace pelorin::test
