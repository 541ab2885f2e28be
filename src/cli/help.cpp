// The text of pelorin-cli --help: the commands, the output and the exit
// codes scripts rely on. It is the one source of the usage text: README.md
// and packaging/README.txt hold copies that scripts/usage.py writes and a
// test checks, so edit it here and run scripts/usage.py --write.
#include "cli/args.h"

namespace pelorin::cli {

std::wstring helpText() {
    return LR"help(pelorin-cli: attach, detach, list and check Outlook PST files from scripts.

Usage:
  pelorin-cli attach [--continue] [--dry-run] [--from LIST] [--list-encoding ansi|oem]
                     [--report CSV] [--log FILE] [--json] [--quiet]
                     [--timeout SECONDS] [--profile NAME] PATH...
  pelorin-cli detach [--all | --missing] [--from LIST] [--list-encoding ansi|oem] [--report CSV]
                     [--log FILE] [--json] [--quiet] [--timeout SECONDS]
                     [--profile NAME] [PATH...]
  pelorin-cli list   [--report CSV] [--log FILE] [--json] [--quiet] [--timeout SECONDS]
                     [--profile NAME]
  pelorin-cli check  [--from LIST] [--list-encoding ansi|oem] [--report CSV]
                     [--log FILE] [--json] [--quiet] PATH...
  pelorin-cli --help | --version

A PATH is a PST file or a folder; a folder is searched with all its subfolders
for files named *.pst. Folders that cannot be read are skipped and reported,
and the run then ends with exit code 1. The file name of a PATH (or of a line
of LIST) may hold the wildcards * and ? (D:\Archive\*.pst): it names the
matching files of that folder, not of its subfolders, matched against their
full names (never their short 8.3 names). A pattern that matches no file is
a skipped line and exit code 1; a wildcard in a folder's name is a usage error.

  attach     adds each file to the Outlook profile, in order. A file already in
             the profile is reported as "already" and not added again. A file
             check calls a problem is refused (size: ANSI PSTs only); one with
             a warning is attached, the warning given as the reason. Stops
             at the first failure unless --continue is given.
  detach     removes the named PST files from the profile (the files stay on
             disk). The profile's default store is never removed.
  list       the profile's stores, one line each: ok, missing or damaged, the
             file, then "pst" or "store" (marked "(default)" for the default
             store), the name, for PSTs the format and the size in bytes, and
             what is wrong. A file Outlook holds open is ok ("in use by
             Outlook"). A store Outlook cannot read is listed as damaged. Exit
             code 1 when any store is missing or damaged (a change: list
             used to end with 0 always).
  check      without Outlook: the file's format (Unicode PST, ANSI PST, OST, not
             a PST, damaged), read-only, in use, size against Outlook's limits
             (ANSI about 1.93 GB, Unicode 50 GB); warnings: network path (not
             supported by Outlook), OneDrive-synced folder, size near a limit.

  --continue     attach: try every file, do not stop at a failure
  --dry-run      attach: do the checks and read the profile, add nothing; it
                 goes through every file and says what each would be
  --all          detach: every PST store of the profile (nothing is removed
                 when Outlook does not say which store is the default)
  --missing      detach: every PST store whose file is not found in its
                 folder. A store is kept when its folder, drive or share
                 cannot be reached or access is denied (a share that is down,
                 a drive not mapped yet at logon): "skipped ... kept: ...".
                 Never an OST, a store without a file, or the default store;
                 nothing is removed when Outlook does not say which store is
                 the default.
  --from LIST    also read paths from LIST, one a line (UTF-8 or UTF-16, with
                 or without a byte-order mark); blank lines and lines starting
                 with # are ignored; %VARIABLES% such as %USERPROFILE% are
                 expanded. A relative line is taken relative to LIST's own
                 folder, never the current folder. The list is refused, and
                 nothing runs, for a line that uses a variable that is not
                 defined or is empty, a line that becomes a drive or share
                 root only through its variables (D:\ written out is fine), a
                 control character, or a file that is not a list.
  --list-encoding ansi|oem
                 LIST is in the ANSI code page (Windows PowerShell 5.1's
                 Set-Content) or the OEM one (cmd's dir /b > list.txt);
                 without it such a list is refused naming its first line
  --report CSV   also write a CSV report (UTF-8 with BOM, opens in Excel):
                 path,size_bytes,format,result,reason,hresult
                 It is written to CSV.partial and moved over CSV at the end; a
                 missing folder is created. It never replaces a folder, a PST
                 or OST, a file the run reads, or a file that is not an
                 earlier report. A field that a spreadsheet would take for a
                 formula (starting with =, +, -, @, a tab or a carriage
                 return) gets a leading apostrophe.
  --log FILE     append to FILE (created when missing, never replaced) one
                 line when the run starts (time, user, computer, version,
                 command line), one per file (time, result, path, reason,
                 HRESULT) and one when it ends (time, exit code, summary);
                 TAB-separated, UTF-8 without a byte-order mark, the time in
                 ISO 8601 with the offset from UTC. Runs writing to one log
                 at once never mix within a line. A log that cannot be
                 opened for appending (read-only, a folder) or that names a
                 PST or OST is a usage error, and nothing runs.
  --json         one JSON object per line on standard output for each file,
                 {"path","size_bytes","format","result","reason","hresult"}
                 (null where unknown), then {"summary","exit_code"}, instead
                 of the TAB lines and the summary on standard error. ASCII
                 only: other characters are \uXXXX escapes, so the lines
                 read the same under any console code page.
  --quiet        print only usage errors, errors that end the run and the
                 failed, problem, missing and damaged lines (no progress, no
                 summary); the exit code is the same
  --timeout SECONDS
                 attach, detach, list: how long to wait for Outlook on one file
                 (it may be showing a password prompt or a repair question)
                 before giving up on it as "stopped" (Outlook may still add it;
                 the next run reports it "already"); default 120
  --profile NAME attach, detach, list: use the Outlook profile NAME. When
                 Outlook is not running it is started with that profile.
                 When Outlook runs with another profile, or there is no
                 profile NAME, the run ends with exit code 3 naming it, and
                 nothing is changed

Output: one line per file on standard output,
  RESULT<TAB>PATH[<TAB>REASON]
RESULT is attached, already, failed, skipped, detached, ok, warning, problem,
stopped, missing or damaged. A summary line ("3 of 5 attached, 1 already in Outlook, 1 failed")
goes to standard error, and progress too when it is a console.
In a console the lines are shown as they are. Redirected to a file or a pipe
they are UTF-8 (without a byte-order mark). cmd reads them right after
chcp 65001; Windows PowerShell 5.1 reads a program's output in
[Console]::OutputEncoding, so set
  [Console]::OutputEncoding = [System.Text.Encoding]::UTF8
before capturing them ($lines = pelorin-cli check D:\Archive). --json output
is ASCII and needs neither.

Exit codes:
  0  every file attached, already attached, detached or ok (warnings included)
  1  at least one file failed, has a problem or was stopped waiting for
     Outlook, a store is missing or damaged (list), a folder could not be
     read, or the report could not be written or moved into place
  2  usage error: unknown option, no paths, a list file that cannot be read
     or is refused, a report name that would replace another file, a log
     that cannot be opened, a wildcard in a folder's name
  3  Outlook unavailable: not installed, cannot be started, running elevated
     while Outlook is not (or the other way round), or running as a service
     account such as SYSTEM, where Outlook automation is not supported (run it
     in the user's session), or not on the --profile named
)help";
}

}  // namespace pelorin::cli
