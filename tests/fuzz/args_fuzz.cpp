// Fuzzes the argument parser: NUL-separated arguments, each small byte
// standing for one of the words the parser knows. Any arguments give
// options, help or a usage error, and the options hold together.
#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "cli/args.h"

using namespace pelorin::cli;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const wchar_t* const kWords[] = {
        L"attach",    L"detach", L"list",     L"check",    L"--continue",
        L"--dry-run", L"--all",  L"--from",   L"--report", L"--",
        L"--help",    L"/all",   L"ansi",     L"oem",      L"--list-encoding",
        L"-",         L"/?",     L"--version"};
    std::vector<std::wstring> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            args.emplace_back();
        else if (data[i] <= sizeof kWords / sizeof *kWords)
            args.back() += kWords[data[i] - 1];
        else
            args.back() += static_cast<wchar_t>(data[i]);
    }
    const ParsedArgs parsed = parseArgs(args);
    if (const auto* error = std::get_if<UsageError>(&parsed)) {
        if (error->message.empty()) __builtin_trap();
        return 0;
    }
    const auto* options = std::get_if<Options>(&parsed);
    if (!options) return 0;
    if (options->all && !options->paths.empty()) __builtin_trap();
    if (options->listEncoding != ListEncoding::Auto && options->listFile.empty()) __builtin_trap();
    if (needsPaths(*options) && options->paths.empty() && options->listFile.empty())
        __builtin_trap();
    for (const std::wstring& path : options->paths)
        if (path.empty()) __builtin_trap();
    if (options->switchLike.size() > options->paths.size()) __builtin_trap();
    return 0;
}
