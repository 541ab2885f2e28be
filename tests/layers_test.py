#!/usr/bin/env python3
"""The layers' arrows, checked on the sources: a file may include only its own
folder and the folders its layer stands on, and a portable file (one whose
name does not end in _win) includes no Windows header.

    app -> pstlist -> pst, scan, outlook, shell, ui -> base
    pst -> scan, outlook, base
    cli -> pst, scan, outlook, base

cli and pst never reach ui, shell, pstlist or app: pelorin-cli runs without
a window, and its link closure is checked too (link_closure_test.cmake).

Usage: layers_test.py SRC_DIR  (exit 1 and one line per offence)."""
import pathlib
import re
import sys

ALLOWED = {
    "base": {"base"},
    "ui": {"ui", "base"},
    "scan": {"scan", "base"},
    "outlook": {"outlook", "base"},
    "shell": {"shell", "base"},
    "pst": {"pst", "scan", "outlook", "base"},
    "pstlist": {"pstlist", "pst", "scan", "outlook", "shell", "ui", "base"},
    "app": {"app", "pstlist", "pst", "scan", "outlook", "shell", "ui", "base"},
    "cli": {"cli", "pst", "scan", "outlook", "base"},
}
WINDOWS_HEADERS = re.compile(
    r"^(windows|winbase|winuser|winreg|objbase|ole2|oleauto|oaidl|objidl|commctrl|"
    r"commdlg|shlobj|shellapi|shlwapi|wrl/.*|comdef|comip)\.h$", re.IGNORECASE)
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def offences(src: pathlib.Path):
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp", ".rc"):
            continue
        layer = path.relative_to(src).parts[0]
        portable = not path.stem.endswith("_win") and path.suffix != ".rc"
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            m = INCLUDE.match(line)
            if not m:
                continue
            kind, name = m.groups()
            where = f"{path.relative_to(src)}:{number}"
            if kind == '"' and "/" in name:
                target = name.split("/")[0]
                if target not in ALLOWED.get(layer, {layer}):
                    yield f"{where}: {layer}/ may not include {name}"
            if kind == "<" and portable and WINDOWS_HEADERS.match(name):
                yield f"{where}: a portable file includes <{name}>"


def main() -> int:
    found = list(offences(pathlib.Path(sys.argv[1])))
    for line in found:
        print(line)
    print(f"{len(found)} include(s) across the layers' arrows")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
