// The text of pelorin-cli --help: the commands, the output and the exit
// codes scripts rely on.
#include "cli/args.h"

namespace pelorin::cli {

std::wstring helpText() {
    return LR"help(pelorin-cli: attach, detach, list and check Outlook PST files from scripts.

Usage:
  pelorin-cli attach [--continue] [--dry-run] [--from LIST] [--report CSV]
                     [--timeout SECONDS] PATH...
  pelorin-cli detach [--all] [--from LIST] [--report CSV] [--timeout SECONDS]
                     [PATH...]
  pelorin-cli list   [--report CSV] [--timeout SECONDS]
  pelorin-cli check  [--from LIST] [--report CSV] PATH...
  pelorin-cli --help | --version

A PATH is a PST file or a folder; a folder is searched with all its subfolders
for files named *.pst (folders that cannot be read are skipped and reported).

  attach     adds each file to the Outlook profile, in order. A file already in
             the profile is reported as "already". Stops at the first failure.
  detach     removes the named PST files from the profile (the files stay on
             disk). The profile's default store is never removed.
  list       the profile's stores, one line each: ok, the file, then "pst" or
             "store" (marked "(default)" for the default store), the name, and
             for PSTs the format and the size in bytes.
  check      without Outlook: the file's format (Unicode PST, ANSI PST, OST, not
             a PST, damaged), read-only, in use, size against Outlook's limits,
             network path, OneDrive-synced folder.

  --continue     attach: try every file, do not stop at a failure
  --dry-run      attach: do the checks and read the profile, add nothing
  --all          detach: every PST store of the profile
  --from LIST    also read paths from LIST, one a line (UTF-8, or UTF-16 with a
                 byte-order mark); blank lines and lines starting with # are
                 ignored; %VARIABLES% are expanded
  --report CSV   also write a CSV report (UTF-8 with BOM):
                 path,size_bytes,format,result,reason,hresult
  --timeout SECONDS
                 attach, detach, list: how long to wait for Outlook on one file
                 (it may be showing a password prompt or a repair question)
                 before giving up on it as "stopped" (Outlook may still add it;
                 the next run reports it "already"); default 120

Output: one line per file on standard output,
  RESULT<TAB>PATH[<TAB>REASON]
RESULT is attached, already, failed, skipped, detached, ok, warning, problem or
stopped.
A summary line goes to standard error, and progress too when it is a console.

Exit codes:
  0  every file attached, already attached, detached or ok (warnings included)
  1  at least one file failed, has a problem or was stopped waiting for
     Outlook
  2  usage error: unknown option, no paths, unreadable list file
  3  Outlook unavailable: not installed, cannot be started, running elevated
     while Outlook is not (or the other way round), or running as a service
     account such as SYSTEM, where Outlook automation is not supported
)help";
}

}  // namespace pelorin::cli
