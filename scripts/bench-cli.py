#!/usr/bin/env python3
"""pelorin-cli against a JScript loop run with cscript that makes the same
Outlook calls the simplest way (bench/cli_reference.js), both under Wine
against the stand-in Outlook, in one run. For each profile size N the
stand-in's profile holds N stores, then: attach of N new files, the same
attach again (all "already"), list, and detach --all; each command starts
from the same profile for both. Per command it prints both times, the
stand-in's calls (GetIDsOfNames, Invoke and an enumerator's Next) per store, and
"cli/script ratio (COMMAND): R".

usage: bench-cli.py WIN_BUILD [N ...]   (under scripts/with-wine.sh; N: 250 1000)
The stand-in's profile is put back as it was at the end."""
import glob
import os
import shutil
import subprocess
import sys
import time

BUILD = os.path.abspath(sys.argv[1])
SIZES = [int(n) for n in sys.argv[2:]] or [250, 1000]
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PREFIX = os.environ["WINEPREFIX"]
CLI = os.path.join(BUILD, "pelorin-cli.exe")
SCRIPT = "Z:" + os.path.join(ROOT, "bench", "cli_reference.js").replace("/", "\\")
WORK = os.path.join(PREFIX, "drive_c", "pelorin-bench-cli")
WORK_WIN = "C:\\pelorin-bench-cli"


def standin_folder():
    found = glob.glob(os.path.join(PREFIX, "drive_c", "users", "*", "AppData", "Local"))
    if not found:
        sys.exit("no Wine prefix in %s (make prefix)" % PREFIX)
    return os.path.join(found[0], "Pelorin", "Outlook stand-in")


FOLDER = standin_folder()
PROFILE = os.path.join(FOLDER, "stores.txt")
COUNTS = os.path.join(FOLDER, "count-calls")


def stores_in(text):
    """The stores a profile file holds: its lines in order, "|path" removing."""
    stores = []
    for line in text.splitlines():
        if line.startswith("|"):
            stores = [s for s in stores if s.upper() != line[1:].upper()]
        elif line:
            stores.append(line)
    return stores


def write_profile(paths):
    with open(PROFILE, "w", encoding="utf-8", newline="\n") as f:
        f.write("".join(p + "\n" for p in paths))


def read_profile():
    with open(PROFILE, encoding="utf-8") as f:
        return stores_in(f.read())


def make_files(size):
    """N stores already in the profile and N new files, real PSTs all."""
    sample = os.path.join(WORK, "sample")
    if not os.path.exists(os.path.join(sample, "s.pst")):
        subprocess.run([sys.executable, os.path.join(ROOT, "scripts", "make-sample-psts.py"),
                        sample, "s.pst:unicode"], check=True, stdout=subprocess.DEVNULL)
    data = open(os.path.join(sample, "s.pst"), "rb").read()
    names = {}
    for kind in ("old", "new"):
        folder = os.path.join(WORK, "%s%d" % (kind, size))
        os.makedirs(folder, exist_ok=True)
        names[kind] = []
        for i in range(size):
            name = "archive %04d.pst" % i
            path = os.path.join(folder, name)
            if not os.path.exists(path):
                with open(path, "wb") as f:
                    f.write(data)
            names[kind].append("%s\\%s%d\\%s" % (WORK_WIN, kind, size, name))
    listing = os.path.join(WORK, "new%d.txt" % size)
    with open(listing, "w", encoding="ascii", newline="\r\n") as f:
        f.write("\n".join(names["new"]) + "\n")
    return names["old"], "%s\\new%d.txt" % (WORK_WIN, size)


def timed(args, profile):
    """Runs one command on `profile`: seconds, exit code, the stand-in's calls."""
    write_profile(profile)
    before = open(COUNTS).read().count("\n")
    start = time.monotonic()
    code = subprocess.run(["wine"] + args, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                          stdin=subprocess.DEVNULL).returncode
    seconds = time.monotonic() - start
    deadline = time.monotonic() + 60
    while open(COUNTS).read().count("\n") == before:  # the stand-in ends after its last client
        if time.monotonic() > deadline:
            sys.exit("the stand-in did not end after %s" % args)
        time.sleep(0.05)
    words = open(COUNTS).read().splitlines()[-1].split()
    return seconds, code, sum(int(w) for w in words[1::2])


def compare(name, size, cli, script, profile, check):
    c_time, c_code, c_calls = timed([CLI] + cli, profile)
    c_after = read_profile()
    s_time, s_code, s_calls = timed(["cscript", "//nologo", SCRIPT] + script, profile)
    s_after = read_profile()
    if c_code != 0 or s_code != 0 or not check(c_after) or len(c_after) != len(s_after):
        sys.exit("%s: cli exit %d with %d stores, script exit %d with %d stores"
                 % (name, c_code, len(c_after), s_code, len(s_after)))
    print("  %-7s cli %6.2f s, %5.1f calls per store; script %6.2f s, %5.1f calls per store"
          % (name, c_time, c_calls / size, s_time, s_calls / size))
    print("cli/script ratio (%s): %.2f" % (name, c_time / s_time))
    return c_after


def bench(size):
    old, listing = make_files(size)
    print("profile of %d stores, %d new files:" % (size, size))
    full = compare("attach", size, ["attach", "--from", listing], ["attach", listing], old,
                   lambda after: len(after) == 2 * size)
    compare("rerun", size, ["attach", "--from", listing], ["attach", listing], full,
            lambda after: len(after) == 2 * size)
    compare("list", size, ["list"], ["list"], full, lambda after: len(after) == 2 * size)
    compare("detach", size, ["detach", "--all"], ["detach"], full, lambda after: after == old[:1])


def main():
    os.makedirs(FOLDER, exist_ok=True)
    saved = PROFILE + ".bench-saved"
    had_profile = os.path.exists(PROFILE)
    if had_profile:
        shutil.copyfile(PROFILE, saved)
    for setting in ("busy-start-ms", "fail-addstore", "block-addstore-ms", "ignore-addstore",
                    "no-profile", "profile-lock-ms"):
        if os.path.exists(os.path.join(FOLDER, setting)):
            sys.exit("the stand-in has %s set (scripts/standin.sh reset)" % setting)
    open(COUNTS, "w").close()
    try:
        for size in SIZES:
            bench(size)
    finally:
        os.remove(COUNTS)
        if had_profile:
            shutil.move(saved, PROFILE)
        elif os.path.exists(PROFILE):
            os.remove(PROFILE)


main()
