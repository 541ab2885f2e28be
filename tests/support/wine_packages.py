"""Windows Installer packages under Wine, for the packaging tests: msiinfo's
tables, throwaway prefixes copied from a template (menu builder off), batch
files run with `wine cmd /c` and their whole exit code, the registry."""
import os
import re
import shutil
import subprocess

UNINSTALL = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"


class Failed(Exception):
    pass


def check(condition, what):
    if not condition:
        raise Failed(what)


def run(cmd, env=None, cwd=None, ok=(0,)):
    """The command's result; a command that hangs (Wine's COM can deadlock
    when an object is released right after a call) fails the step instead
    of the whole run."""
    try:
        p = subprocess.run(cmd, env=env, cwd=cwd, capture_output=True, text=True,
                           errors="replace", timeout=300)
    except subprocess.TimeoutExpired:
        raise Failed(f"{cmd} did not end within 300 s")
    if ok is not None and p.returncode not in ok:
        raise Failed(f"{cmd} exited {p.returncode}: {p.stdout}{p.stderr}")
    return p


def msi_table(msi, table):
    rows = run(["msiinfo", "export", msi, table]).stdout.splitlines()[3:]
    return [r.rstrip("\r").split("\t") for r in rows]


def msi_property(msi, name):
    return dict((r[0], r[1]) for r in msi_table(msi, "Property")).get(name)


def package_code(msi):
    info = run(["msiinfo", "suminfo", msi]).stdout
    return re.search(r"Revision number \(UUID\): (\S+)", info).group(1)


def wine_env(prefix):
    env = dict(os.environ, WINEPREFIX=prefix, WINEARCH="win32", WINEDEBUG="-all")
    env["WINEDLLOVERRIDES"] = "winemenubuilder.exe=d;mscoree,mshtml="
    return env


def make_template(path):
    """A new prefix to copy. Wine links the user's Documents, Desktop...
    to the home folder: they become real folders, so that nothing a test
    writes there leaves the prefix."""
    env = wine_env(path)
    run(["wineboot", "-i"], env=env, ok=None)
    run(["wineserver", "-w"], env=env, ok=None)
    check(os.path.isdir(os.path.join(path, "drive_c")), "wineboot made no prefix")
    users = os.path.join(path, "drive_c", "users")
    for user in os.listdir(users):
        for entry in os.scandir(os.path.join(users, user)):
            if entry.is_symlink():
                os.remove(entry.path)
                os.mkdir(entry.path)


class Prefix:
    """A copy of the template prefix, gone (with its wineserver) afterwards."""

    def __init__(self, template, path, product):
        self.template, self.path, self.product = template, path, product
        self.env = wine_env(path)

    def __enter__(self):
        shutil.rmtree(self.path, ignore_errors=True)
        run(["cp", "-a", self.template, self.path])
        return self

    def __exit__(self, *exc):
        run(["wineserver", "-k"], env=self.env, ok=None)
        run(["wineserver", "-w"], env=self.env, ok=None)
        shutil.rmtree(self.path, ignore_errors=True)

    def c(self, *parts):
        return os.path.join(self.path, "drive_c", *parts)

    def user_folder(self, *parts):
        users = [u for u in os.listdir(self.c("users")) if u not in ("Public", "Default")]
        return self.c("users", users[0], *parts)

    def batch(self, folder, lines):
        """Runs the lines as a batch file with `wine cmd /c`; its exit code
        whole (Wine's own exit status keeps only the low byte)."""
        with open(os.path.join(folder, "step.bat"), "w", newline="\r\n") as f:
            f.write("@echo off\n" + "\n".join(lines) + "\necho step-exit=%ERRORLEVEL%\n")
        p = run(["wine", "cmd", "/c", "step.bat"], env=self.env, cwd=folder, ok=None)
        found = re.search(r"step-exit=(-?\d+)", p.stdout)
        check(found, f"no exit code from {lines}: {p.stdout}{p.stderr}")
        return int(found.group(1)), p.stdout + p.stderr

    def msiexec(self, *args):
        log = self.path + "-msiexec.log"
        if os.path.exists(log):
            os.remove(log)
        quoted = " ".join(f'"{a}"' if " " in a else a for a in args)
        code, _ = self.batch(os.path.dirname(self.path),
                             [f'msiexec {quoted} /qn /l*v "{winpath(log)}"'])
        return code, open(log, errors="replace").read() if os.path.exists(log) else ""

    def reg(self, key, ok=(0,)):
        return run(["wine", "reg", "query", key], env=self.env, ok=ok).stdout.replace("\r", "")

    def installed(self, *parts):
        return self.c("Program Files", self.product, *parts)

    def entries(self):
        """The product's uninstall entries: {key: {value: data}}."""
        found = {}
        for key in re.findall(r"^(HKEY_\S+\\Uninstall\\\S+)$", self.reg(UNINSTALL), re.M):
            values = dict(re.findall(r"^ +(\S+) +REG_\w+ +(.*)$", self.reg(key), re.M))
            if values.get("DisplayName") == self.product:
                found[key] = values
        return found

    def shortcut(self):
        # Wine's msi puts ProgramMenuFolder in the user's Start menu even
        # for a per-machine install; Windows uses the All Users one.
        for base in (self.user_folder("AppData", "Roaming"), self.c("ProgramData")):
            lnk = os.path.join(base, "Microsoft", "Windows", "Start Menu", "Programs",
                               self.product + ".lnk")
            if os.path.exists(lnk):
                return lnk
        return None


def winpath(unix):
    return "Z:" + unix.replace("/", "\\")


def read(path):
    with open(path, "rb") as f:
        return f.read()


def squash(guid):
    """A GUID as Windows Installer keys its products: each part reversed."""
    g = guid.strip("{}").replace("-", "")
    parts = [g[0:8], g[8:12], g[12:16]] + [g[i:i + 2] for i in range(16, 32, 2)]
    return "".join(part[::-1] for part in parts)
