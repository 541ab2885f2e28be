#include "cli/args.h"

#include <optional>

#include "cli_version.h"

namespace pelorin::cli {

namespace {

struct CommandRules {
    const wchar_t* name;
    Command command;
    // The options this command takes, besides --report (`all`: --all and --missing).
    bool keepGoing, dryRun, all, listFile, paths;
};

constexpr CommandRules kCommands[] = {
    {L"attach", Command::Attach, true, true, false, true, true},
    {L"detach", Command::Detach, false, false, true, true, true},
    {L"list", Command::List, false, false, false, false, false},
    {L"check", Command::Check, false, false, false, true, true},
};

const CommandRules* findCommand(const std::wstring& name) {
    for (const CommandRules& rules : kCommands)
        if (name == rules.name) return &rules;
    return nullptr;
}

UsageError usage(const std::wstring& text) {
    return {text + L" (pelorin-cli --help shows the usage)"};
}

// --timeout SECONDS, for the commands that talk to Outlook.
std::optional<UsageError> timeout(const CommandRules& rules, const std::wstring& arg,
                                  const std::vector<std::wstring>& args, std::size_t& i,
                                  Options& options) {
    if (rules.command == Command::Check) return usage(arg + L" is not an option of check");
    const std::wstring range =
        arg + L" needs a whole number of seconds from 1 to " + std::to_wstring(kMaxTimeoutSeconds);
    if (i + 1 >= args.size()) return usage(range);
    const std::wstring& text = args[++i];
    long long seconds = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9' || seconds > kMaxTimeoutSeconds) return usage(range);
        seconds = seconds * 10 + (c - L'0');
    }
    if (text.empty() || seconds < 1 || seconds > kMaxTimeoutSeconds) return usage(range);
    options.timeoutSeconds = static_cast<int>(seconds);
    return std::nullopt;
}

// Applies one option; the error text when it is not one this command takes.
std::optional<UsageError> applyOption(const CommandRules& rules, const std::wstring& arg,
                                      const std::vector<std::wstring>& args, std::size_t& i,
                                      Options& options) {
    const auto flag = [&](bool allowed, bool& field) -> std::optional<UsageError> {
        if (!allowed) return usage(arg + L" is not an option of " + rules.name);
        field = true;
        return std::nullopt;
    };
    const auto value = [&](bool allowed, std::wstring& field) -> std::optional<UsageError> {
        if (!allowed) return usage(arg + L" is not an option of " + rules.name);
        if (i + 1 >= args.size() || args[i + 1].empty()) return usage(arg + L" needs a file name");
        if (!field.empty()) return usage(arg + L" is given twice");
        field = args[++i];
        return std::nullopt;
    };
    if (arg == L"--continue") return flag(rules.keepGoing, options.keepGoing);
    if (arg == L"--dry-run") return flag(rules.dryRun, options.dryRun);
    if (arg == L"--all") return flag(rules.all, options.all);
    if (arg == L"--missing") return flag(rules.all, options.missing);
    if (arg == L"--from") return value(rules.listFile, options.listFile);
    if (arg == L"--report") return value(true, options.report);
    if (arg == L"--log") return value(true, options.log);
    if (arg == L"--json") return flag(true, options.json);
    if (arg == L"--quiet") return flag(true, options.quiet);
    if (arg == L"--list-encoding") {
        if (!rules.listFile) return usage(arg + L" is not an option of " + rules.name);
        const std::wstring name = i + 1 < args.size() ? args[++i] : std::wstring();
        if (name != L"ansi" && name != L"oem") return usage(arg + L" takes ansi or oem");
        if (options.listEncoding != ListEncoding::Auto) return usage(arg + L" is given twice");
        options.listEncoding = name == L"ansi" ? ListEncoding::Ansi : ListEncoding::Oem;
        return std::nullopt;
    }
    if (arg == L"--timeout") return timeout(rules, arg, args, i, options);
    if (arg == L"--profile") {
        if (rules.command == Command::Check) return usage(arg + L" is not an option of check");
        if (i + 1 >= args.size() || args[i + 1].empty())
            return usage(arg + L" needs a profile name");
        if (!options.profile.empty()) return usage(arg + L" is given twice");
        options.profile = args[++i];
        return std::nullopt;
    }
    return usage(L"unknown option " + arg);
}

}  // namespace

ParsedArgs parseArgs(const std::vector<std::wstring>& args) {
    if (args.empty()) return usage(L"no command given");
    if (args[0] == L"--help" || args[0] == L"-h" || args[0] == L"/?") return Info::Help;
    if (args[0] == L"--version") return Info::Version;
    const CommandRules* rules = findCommand(args[0]);
    if (!rules) return usage(L"unknown command " + args[0]);

    Options options;
    options.command = rules->command;
    bool onlyPaths = false;  // after "--" every argument is a path
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        if (!onlyPaths && arg == L"--") {
            onlyPaths = true;
        } else if (!onlyPaths && (arg == L"--help" || arg == L"-h")) {
            return Info::Help;
        } else if (!onlyPaths && arg.size() > 1 && arg[0] == L'-') {
            if (auto error = applyOption(*rules, arg, args, i, options)) return *error;
        } else if (!rules->paths) {
            return usage(std::wstring(rules->name) + L" takes no paths");
        } else if (!arg.empty()) {
            options.paths.push_back(arg);
            if (!onlyPaths && arg.size() > 1 && arg[0] == L'/' && arg[1] != L'/')
                options.switchLike.push_back(arg);
        }
    }
    if (options.all && options.missing) return usage(L"--all and --missing cannot be combined");
    if (options.all && !options.paths.empty()) return usage(L"--all takes no paths");
    if (options.missing && (!options.paths.empty() || !options.listFile.empty()))
        return usage(L"--missing takes no paths");
    if (options.listEncoding != ListEncoding::Auto && options.listFile.empty())
        return usage(L"--list-encoding needs --from LIST");
    if (needsPaths(options) && options.paths.empty() && options.listFile.empty())
        return usage(L"no paths given");
    return options;
}

bool needsPaths(const Options& options) {
    if (options.command == Command::List) return false;
    return !(options.command == Command::Detach && (options.all || options.missing));
}

std::wstring versionText() { return L"pelorin-cli " PELORIN_CLI_VERSION_TEXT; }

}  // namespace pelorin::cli
