#!/usr/bin/env python3
"""The Windows Installer package, the release's checksums and signatures,
and the deployment guide's examples. Each Wine step runs in its own
throwaway prefix (a copy of one made by `build`, menu builder off), so no
install touches the project's prefix or another step.

usage: package_test.py STEP WIN_BUILD_DIR WORK_DIR
STEP: build (the fixture: packages and the template prefix), tables,
      install, upgrade, downgrade, uninstall, guide, signing, clean
"""
import os
import re
import shutil
import sys
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path[:0] = [os.path.join(ROOT, "scripts"), os.path.join(ROOT, "tests/support")]
sys.dont_write_bytecode = True  # no __pycache__ in the sources
import importlib  # noqa: E402

from wine_packages import (UNINSTALL, Failed, Prefix, check, make_template, msi_property,  # noqa: E402
                           msi_table, package_code, read, run, squash)

pst = importlib.import_module("make-sample-psts")

UPGRADE_CODE = "{2BE44C9B-D66E-4466-8A08-40A67D72854B}"
FILES = ("pelorin.exe", "pelorin-cli.exe", "README.txt")
DOWNGRADE_TEXT = "A newer version of Pelorin is already installed."


def version_h(name):
    text = open(os.path.join(ROOT, "src/app/version.h")).read()
    return re.search(rf"^#define PELORIN_{name} \"?([^\"\n]*)\"?$", text, re.M).group(1)


VERSION = version_h("VERSION_TEXT")
PRODUCT_VERSION = ".".join(version_h(f"VERSION_{k}") for k in ("MAJOR", "MINOR", "BUILD"))
NEWER_VERSION = re.sub(r"\d+$", lambda m: str(int(m.group()) + 1), PRODUCT_VERSION)
NAME = f"pelorin-{VERSION}-win32"


class Work:
    def __init__(self, win, work):
        self.win, self.work = win, work
        self.dist = os.path.join(work, "dist")
        self.msi = os.path.join(self.dist, NAME + ".msi")
        self.rebuilt = os.path.join(work, "rebuilt", NAME + ".msi")
        self.newer = os.path.join(work, "newer", NAME + ".msi")
        self.newer_stage = os.path.join(work, "newer-stage")
        self.template = os.path.join(work, "template")

    def prefix(self, name):
        return Prefix(self.template, os.path.join(self.work, "prefix-" + name), "Pelorin")

    def member(self, name):
        with zipfile.ZipFile(os.path.join(self.dist, NAME + ".zip")) as z:
            return z.read(f"{NAME}/{name}")


def same_files(prefix, source):
    for name in FILES:
        check(os.path.exists(prefix.installed(name)), f"{name} is not installed")
        check(read(prefix.installed(name)) == source(name), f"installed {name} differs")


# -- steps ----------------------------------------------------------------

def step_build(w):
    """make dist's outputs, a rebuilt package of the same version, a newer
    one with changed files, and the template prefix."""
    shutil.rmtree(w.work, ignore_errors=True)
    os.makedirs(w.work)
    out = run([os.path.join(ROOT, "scripts/dist.sh"), w.win], env=dict(os.environ, DIST_DIR=w.dist))
    check("dist: not signed" in out.stdout, "no line saying nothing is signed: " + out.stdout)
    check(sorted(os.listdir(w.dist)) == sorted(["SHA256SUMS", NAME + ".zip", NAME + ".msi"]),
          f"dist holds {os.listdir(w.dist)}")
    run(["sha256sum", "-c", "SHA256SUMS"], cwd=w.dist)
    stage = os.path.join(w.win, "dist-stage", NAME)
    build_msi = os.path.join(ROOT, "scripts/build-msi.sh")
    run([build_msi, stage, w.rebuilt])
    shutil.copytree(stage, w.newer_stage)
    for name in FILES:  # different bytes; an exe still runs with data appended
        with open(os.path.join(w.newer_stage, name), "ab") as f:
            f.write(b"\0newer\0")
    run([build_msi, w.newer_stage, w.newer], env=dict(os.environ, PRODUCT_VERSION=NEWER_VERSION))
    make_template(w.template)


def step_tables(w):
    props = dict((r[0], r[1]) for r in msi_table(w.msi, "Property"))
    want = {"ProductName": "Pelorin", "ProductVersion": PRODUCT_VERSION, "ALLUSERS": "1",
            "Manufacturer": version_h("COMPANY_NAME"), "UpgradeCode": UPGRADE_CODE,
            "ARPNOMODIFY": "1"}
    for key, value in want.items():
        check(props.get(key) == value, f"Property {key} is {props.get(key)!r}, not {value!r}")
    check(props["ProductCode"] == msi_property(w.rebuilt, "ProductCode"),
          "a rebuilt package of the same version has another ProductCode")
    check(package_code(w.msi) != package_code(w.rebuilt), "a rebuilt package kept its PackageCode")
    check(msi_property(w.newer, "ProductCode") != props["ProductCode"], "a newer version kept its ProductCode")
    files = sorted(r[2] for r in msi_table(w.msi, "File"))
    check(files == sorted(FILES), f"File table: {files}")
    shortcuts = msi_table(w.msi, "Shortcut")
    check([(r[1], r[2], r[4]) for r in shortcuts] == [("ProgramMenuFolder", "Pelorin", "[#pelorin.exe]")],
          f"Shortcut table: {shortcuts}")
    upgrade = sorted((r[1], r[2], r[6]) for r in msi_table(w.msi, "Upgrade"))
    check(upgrade == [("", PRODUCT_VERSION, "WIX_UPGRADE_DETECTED"),
                      (PRODUCT_VERSION, "", "WIX_DOWNGRADE_DETECTED")], f"Upgrade table: {upgrade}")
    conditions = msi_table(w.msi, "LaunchCondition")
    check(any(r[0] == "NOT WIX_DOWNGRADE_DETECTED" and DOWNGRADE_TEXT in r[1] for r in conditions),
          f"LaunchCondition table: {conditions}")


def step_install(w):
    with w.prefix("install") as p:
        code, _ = p.msiexec("/i", w.msi)
        check(code == 0, f"msiexec /i exited {code}")
        same_files(p, w.member)
        lnk = p.shortcut()
        check(lnk is not None, "no Start-menu shortcut")
        check(any(t in read(lnk) for t in (b"pelorin.exe", "pelorin.exe".encode("utf-16-le"))),
              "the shortcut does not lead to pelorin.exe")
        (key, values), = p.entries().items()
        product = msi_property(w.msi, "ProductCode")
        check(key.endswith(product), f"the uninstall entry is {key}")
        for value, data in {"Publisher": version_h("COMPANY_NAME"), "DisplayVersion": PRODUCT_VERSION,
                            "HelpLink": "https://www.quennet.com/", "NoModify": "0x1"}.items():
            check(values.get(value) == data, f"uninstall entry {value} is {values.get(value)!r}")
        # Wine keeps the product's icon as ProductIcon (Windows also writes
        # DisplayIcon into the uninstall entry).
        icon = re.search(r"ProductIcon +REG_SZ +C:\\(.*)$", p.reg(
            r"HKLM\Software\Classes\Installer\Products\\" + squash(product)), re.M)
        check(icon and os.path.exists(p.c(*icon.group(1).split("\\"))), "no product icon")
        code, out = p.batch(w.work, [r'"C:\Program Files\Pelorin\pelorin-cli.exe" --version'])
        check(code == 0 and VERSION in out, f"pelorin-cli --version: {code} {out}")
        # A rebuilt package of the same version is the same product: Windows
        # answers 1638, Wine 0; either way no second entry.
        code, _ = p.msiexec("/i", w.rebuilt)
        check(code in (0, 1638), f"the rebuilt package: msiexec exited {code}")
        check(len(p.entries()) == 1, f"entries after a rebuilt package: {p.entries()}")


def step_upgrade(w):
    with w.prefix("upgrade") as p:
        check(p.msiexec("/i", w.msi)[0] == 0, "the older package did not install")
        code, _ = p.msiexec("/i", w.newer)
        check(code == 0, f"the upgrade exited {code}")
        (values,) = p.entries().values()
        check(values["DisplayVersion"] == NEWER_VERSION, f"the entry says {values['DisplayVersion']}")
        same_files(p, lambda name: read(os.path.join(w.newer_stage, name)))


def step_downgrade(w):
    with w.prefix("downgrade") as p:
        check(p.msiexec("/i", w.newer)[0] == 0, "the newer package did not install")
        code, log = p.msiexec("/i", w.msi)
        check(code == 1603, f"the older package over the newer exited {code}")
        # Windows writes the refusal's text into the log; Wine's msi logs
        # only that it found the newer product (the text is in the
        # LaunchCondition table: `tables`).
        check(DOWNGRADE_TEXT in log or msi_property(w.newer, "ProductCode") in log,
              "the log does not show the newer product refusing the older")
        (values,) = p.entries().values()
        check(values["DisplayVersion"] == NEWER_VERSION, "the downgrade changed the entry")
        same_files(p, lambda name: read(os.path.join(w.newer_stage, name)))


def tree(top):
    """Every file and folder below top."""
    return {os.path.relpath(os.path.join(d, f), top) for d, ds, fs in os.walk(top) for f in fs + ds}


def step_uninstall(w):
    with w.prefix("uninstall") as p:
        before = tree(p.c())
        check(p.msiexec("/i", w.msi)[0] == 0, "the package did not install")
        product = msi_property(w.msi, "ProductCode")
        code, _ = p.msiexec("/x", product)
        check(code == 0, f"msiexec /x exited {code}")
        check(not os.path.exists(p.installed()), "the Pelorin folder is left")
        check(p.shortcut() is None, "the shortcut is left")
        check(p.entries() == {}, "the uninstall entry is left")
        check(product not in p.reg(UNINSTALL), "the uninstall key is left")
        p.reg(r"HKLM\Software\Classes\Installer\Products\\" + squash(product), ok=(1,))
        left = sorted(f for f in tree(p.c()) - before if not f.endswith(".log"))
        print("Wine's own files and folders left after uninstalling:", *left or ["none"], sep="\n  ")


def fences(path):
    """The guide's fenced blocks: (tags, text), in order."""
    blocks = re.findall(r"^```([^\n]*)\n(.*?)^```$", open(path).read(), re.M | re.S)
    return [(dict(t.partition("=")[::2] for t in info.split()[1:]), text) for info, text in blocks]


def step_guide(w):
    """Runs the guide's `run` blocks in order in a fresh prefix with the
    package beside them and the stand-in as Outlook."""
    guide = os.path.join(ROOT, "docs/deploying.md")
    text = open(guide).read()
    codes = set(re.findall(r"\{[0-9A-F-]{36}\}", text))
    check(codes == {UPGRADE_CODE, msi_property(w.msi, "ProductCode")}, f"the guide's codes: {codes}")
    check(set(re.findall(r"pelorin-[\d.]+-win32\.msi", text)) == {NAME + ".msi"}, "the guide names another package")
    blocks = fences(guide)
    for tags, body in blocks:
        check(tags.keys() & {"run", "file", "engine", "output"}, f"a block of the guide is not marked:\n{body}")
    output = [body.strip() for tags, body in blocks if "output" in tags]
    with w.prefix("guide") as p:
        standin = os.path.join(w.win, "tools/outlook-standin/outlook-standin.exe")
        run(["wine", standin, "/regserver"], env=p.env)
        folder = p.c("guide")
        os.makedirs(folder)
        shutil.copy(w.msi, folder)
        mail = p.user_folder("Documents", "Outlook Files")
        os.makedirs(os.path.join(mail, "2019"))
        for name in ("archive.pst", "2019/old.pst"):
            with open(os.path.join(mail, name), "wb") as f:
                f.write(pst.sample("unicode"))
        settings = p.user_folder("AppData", "Local", "Pelorin", "Outlook stand-in")
        for n, (tags, body) in enumerate(blocks):
            script = tags.get("file", f"block{n}.bat")
            if tags.keys() & {"file", "run"}:
                with open(os.path.join(folder, script), "w", newline="\r\n") as f:
                    f.write(body)
            if "run" not in tags:
                continue
            if "first-logon" in tags:
                os.makedirs(settings, exist_ok=True)
                open(os.path.join(settings, "no-profile"), "w").close()
                code, out = p.batch(folder, [f'cmd /c "{script}"'])
                os.remove(os.path.join(settings, "no-profile"))
                check(code == int(tags["first-logon"]), f"{script} at a first logon: {code}\n{out}")
                check(all(line in out for line in output), f"{script} at a first logon said:\n{out}")
            code, out = p.batch(folder, [f'cmd /c "{script}"'])
            check(code == int(tags["exit"]), f"{script} exited {code}, the guide says {tags['exit']}\n{out}")
            if script == "attach-at-logon.bat":
                stores = open(os.path.join(settings, "stores.txt")).read()
                check("archive.pst" in stores and "old.pst" in stores, f"the profile holds {stores}")
                check(os.path.exists(p.user_folder("AppData", "Local", "Pelorin", "attach.csv")), "no report")
        check(not os.path.exists(p.installed()), "the guide's uninstall left the programs")


def step_signing(w):
    """A throwaway code-signing certificate: both programs and the package
    verify against it, and one changed byte fails verification."""
    keys = os.path.join(w.work, "signing")
    shutil.rmtree(keys, ignore_errors=True)
    os.makedirs(keys)
    cert, key, p12, pw = (os.path.join(keys, n) for n in ("cert.pem", "key.pem", "cert.p12", "pass"))
    run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=Pelorin test",
         "-keyout", key, "-out", cert, "-addext", "keyUsage=critical,digitalSignature",
         "-addext", "extendedKeyUsage=codeSigning"])
    with open(pw, "w") as f:
        f.write("throwaway\n")
    run(["openssl", "pkcs12", "-export", "-in", cert, "-inkey", key, "-out", p12, "-passout", "pass:throwaway"])
    dist = os.path.join(keys, "dist")
    half = run([os.path.join(ROOT, "scripts/dist.sh"), w.win], ok=(2,),
               env=dict(os.environ, DIST_DIR=dist, SIGN_PKCS12=p12))
    check("SIGN_PASSWORD_FILE" in half.stderr and not os.path.exists(dist), "half the signing settings went on")
    run([os.path.join(ROOT, "scripts/dist.sh"), w.win],
        env=dict(os.environ, DIST_DIR=dist, SIGN_PKCS12=p12, SIGN_PASSWORD_FILE=pw))
    with zipfile.ZipFile(os.path.join(dist, NAME + ".zip")) as z:
        z.extractall(keys)
    signed = [os.path.join(keys, NAME, n) for n in ("pelorin.exe", "pelorin-cli.exe")]
    signed.append(os.path.join(dist, NAME + ".msi"))
    for path in signed:
        run(["osslsigncode", "verify", "-CAfile", cert, "-in", path])
        changed = path + ".changed" + os.path.splitext(path)[1]
        data = bytearray(read(path))
        data[len(data) // 3] ^= 0x01
        with open(changed, "wb") as f:
            f.write(data)
        p = run(["osslsigncode", "verify", "-CAfile", cert, "-in", changed], ok=None)
        check(p.returncode != 0, f"{os.path.basename(path)} with one byte changed still verifies")
    shutil.rmtree(keys)


def main(argv):
    step, win, work = argv[1:4]
    w = Work(os.path.abspath(win), os.path.abspath(work))
    if step == "clean":
        shutil.rmtree(w.work, ignore_errors=True)
        return 0
    try:
        globals()["step_" + step](w)
    except Failed as e:
        print(f"FAILED {step}: {e}")
        return 1
    print(f"ok {step}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
