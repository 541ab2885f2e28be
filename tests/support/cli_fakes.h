// Scripted services for pelorin-cli's run: a console that records, files
// described by their facts, and an Outlook profile whose stores and failures
// the test sets. runCli() over them gives the output and the exit code.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cli/program.h"

namespace pelorin::test {

struct RecordingConsole final : cli::Console {
    void out(const std::wstring& line) override { outLines.push_back(line); }
    void err(const std::wstring& line) override { errLines.push_back(line); }
    void progress(int, int, const std::wstring&) override { ++progressCalls; }
    std::vector<std::wstring> outLines, errLines;
    int progressCalls = 0;
};

// Paths are compared without regard to case; a relative path is made full
// under "C:\work\". A path not in `files` is a file not found in its folder.
struct ScriptedFiles final : cli::FileProbe {
    cli::FileFacts facts(const std::wstring& path) override;
    std::optional<std::string> readAll(const std::wstring& path) override;
    bool samePath(const std::wstring& a, const std::wstring& b) override;
    std::wstring fileKey(const std::wstring& path) override;
    std::wstring fullPath(const std::wstring& path) override;

    // A sound Unicode PST of 8192 bytes at each path.
    void pst(const std::vector<std::wstring>& paths);
    std::map<std::wstring, cli::FileFacts> files;
    std::map<std::wstring, std::string> contents;  // for readAll
    std::function<void(const std::wstring&)> looked;  // set: told of each facts() asked
};

// Attaches as the window's step does: a file the scripted files lack is
// not found, one already in `current` is not sent again.
struct ScriptedProfile final : cli::OutlookProfile {
    explicit ScriptedProfile(ScriptedFiles& files) : files(files) {}
    std::vector<cli::Store> stores() override;
    bool defaultKnown() override { return !defaultUnknown; }
    bool contains(const std::wstring& path) override;
    bool attach(const std::wstring& path) override;
    void remove(const cli::Store& store) override;

    ScriptedFiles& files;
    std::vector<cli::Store> current;
    std::map<std::wstring, std::int32_t> failing;  // path -> HRESULT of its AddStore
    std::vector<std::wstring> calls;               // "add PATH", "remove PATH"
    bool defaultUnknown = false;                   // DefaultStore fails
};

// The report's files in memory; each step can be made to fail.
struct ScriptedReports final : cli::ReportFiles {
    bool makeFolders(const std::wstring& folder) override;
    std::unique_ptr<cli::OutputFile> create(const std::wstring& path) override;
    bool replace(const std::wstring& from, const std::wstring& to) override;
    void remove(const std::wstring& path) override { files.erase(path); }

    std::map<std::wstring, std::string> files;
    std::vector<std::wstring> folders;  // made
    bool failFolders = false, failCreate = false, failWrite = false, failReplace = false;
};

// Log files in memory, appended to; the clock, user and computer fixed.
struct ScriptedLogs final : cli::LogPlace {
    std::unique_ptr<cli::OutputFile> openAppend(const std::wstring& path) override;
    std::wstring now() override { return L"2026-12-07T21:40:00+01:00"; }
    std::wstring user() override { return L"anna"; }
    std::wstring computer() override { return L"PC-7"; }

    std::map<std::wstring, std::string> files;
    std::vector<std::wstring> refused;  // paths that cannot be opened
};

// One run of pelorin-cli over scripted services.
struct CliRun {
    RecordingConsole console;
    ScriptedFiles files;
    ScriptedProfile profile{files};
    std::optional<std::wstring> unavailable;  // set: connecting raises this
    std::function<void()> connecting;         // set: runs inside the connection
    int timeoutSeconds = 0;                   // what the connection was given
    std::map<std::wstring, std::wstring> variables;
    ScriptedReports reports;
    ScriptedLogs logs;
    std::wstring unreadableFolder;  // listing it fails

    int run(const std::vector<std::wstring>& args);
    // The result lines' first two fields, "RESULT\tPATH".
    std::vector<std::wstring> results() const;
};

}  // namespace pelorin::test
