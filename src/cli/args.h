// The command line of pelorin-cli: a command, its options and its paths.
// Portable; the program's arguments arrive as wide text.
#pragma once
#include <string>
#include <variant>
#include <vector>

#include "cli/list_file.h"
#include "cli/records.h"

namespace pelorin::cli {

// How long one call may wait on Outlook (a prompt it shows) before the
// file is given up on; --timeout takes 1 to kMaxTimeoutSeconds.
inline constexpr int kDefaultTimeoutSeconds = 120;
inline constexpr int kMaxTimeoutSeconds = 86400;

struct Options {
    Command command = Command::Check;
    bool keepGoing = false;                          // --continue
    bool dryRun = false;                             // --dry-run
    bool all = false;                                // --all
    bool missing = false;                            // --missing
    std::wstring listFile;                           // --from LIST
    ListEncoding listEncoding = ListEncoding::Auto;  // --list-encoding ansi|oem
    std::wstring report;                             // --report CSV
    std::wstring log;                                // --log FILE
    std::wstring profile;                            // --profile NAME
    bool json = false;                               // --json
    bool quiet = false;                              // --quiet
    std::vector<std::wstring> paths;
    // Paths before "--" written as a Windows switch ("/all"): a usage error
    // unless such a path exists.
    std::vector<std::wstring> switchLike;

    // --timeout SECONDS
    int timeoutSeconds = kDefaultTimeoutSeconds;
};

enum class Info { Help, Version };

// What went wrong with the command line, in one line for standard error.
struct UsageError {
    std::wstring message;
};

using ParsedArgs = std::variant<Options, Info, UsageError>;

// `args` without the program's own name.
ParsedArgs parseArgs(const std::vector<std::wstring>& args);

// Whether the command needs paths (from the command line or a list) to run:
// attach and check do; detach does unless --all or --missing; list takes none.
bool needsPaths(const Options& options);

std::wstring helpText();
std::wstring versionText();

}  // namespace pelorin::cli
