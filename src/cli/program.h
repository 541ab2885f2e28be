// pelorin-cli from its arguments to its exit code, over the services it is
// given: the real ones in main_win.cpp, scripted ones in tests.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/event_pump.h"
#include "cli/args.h"
#include "cli/console.h"
#include "cli/file_facts.h"
#include "cli/list_file.h"
#include "cli/outlook_profile.h"
#include "cli/report_file.h"
#include "cli/run_log.h"
#include "scan/filesystem.h"

namespace pelorin::cli {

struct Services {
    Console& console;
    FileProbe& files;
    scan::FileSystemFactory fileSystems;
    EventPump& events;
    // Connects to Outlook for the run the options describe (its calls give
    // up after options.timeoutSeconds); raises OutlookUnavailable.
    std::function<std::unique_ptr<OutlookProfile>(const Options&)> connect;
    VariableLookup variables;
    ReportFiles& reports;
    CodePageDecoder codePages;  // --list-encoding ansi|oem
    LogPlace& logs;             // --log FILE
};

// `args` without the program's own name; gives the exit code.
int runCli(const std::vector<std::wstring>& args, Services& services);

}  // namespace pelorin::cli
