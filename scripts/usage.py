#!/usr/bin/env python3
"""pelorin-cli's usage text has one source, the raw string in src/cli/help.cpp.
README.md (a fenced block after the marker line) and packaging/README.txt
(the "pelorin-cli usage" section, indented two spaces) hold copies.

    usage.py [--check | --write] [ROOT]

--check (the default) exits 1 naming each copy that differs from the
source; --write rewrites the copies from it."""
import pathlib
import re
import sys

MARKER = "<!-- pelorin-cli --help, written by scripts/usage.py from src/cli/help.cpp -->"
TXT_START = "pelorin-cli usage\n-----------------\n\n"
TXT_END = "\n\n\nLogon script example"


def help_text(root: pathlib.Path) -> str:
    source = (root / "src/cli/help.cpp").read_text(encoding="utf-8")
    m = re.search(r'LR"help\((.*?)\)help"', source, re.S)
    if not m:
        raise SystemExit("src/cli/help.cpp: no LR\"help(...)help\" text")
    return m.group(1).rstrip("\n")


def markdown_block(text: str) -> str:
    return f"{MARKER}\n```text\n{text}\n```"


def text_block(text: str) -> str:
    return "\n".join("  " + line if line else "" for line in text.split("\n"))


def copies(root: pathlib.Path, text: str):
    """(file, its text now, its text as the source says)"""
    md = root / "README.md"
    now = md.read_text(encoding="utf-8")
    block = re.compile(re.escape(MARKER) + r"\n```text\n.*?\n```(?=\n)", re.S)
    if not block.search(now):
        raise SystemExit(f"{md}: no usage block after the line {MARKER}")
    yield md, now, block.sub(lambda _: markdown_block(text), now, count=1)

    txt = root / "packaging/README.txt"
    now = txt.read_text(encoding="utf-8")
    start, end = now.find(TXT_START), now.find(TXT_END)
    if start < 0 or end < start:
        raise SystemExit(f"{txt}: no 'pelorin-cli usage' section before 'Logon script example'")
    start += len(TXT_START)
    yield txt, now, now[:start] + text_block(text) + now[end:]


def main() -> int:
    args = [a for a in sys.argv[1:] if a.startswith("--")]
    rest = [a for a in sys.argv[1:] if not a.startswith("--")]
    root = pathlib.Path(rest[0] if rest else pathlib.Path(__file__).resolve().parent.parent)
    write = "--write" in args
    text = help_text(root)
    stale = 0
    for path, now, wanted in copies(root, text):
        if now == wanted:
            continue
        if write:
            path.write_text(wanted, encoding="utf-8")
            print(f"wrote the usage text into {path}")
        else:
            stale += 1
            print(f"{path}: its usage text differs from src/cli/help.cpp (run scripts/usage.py --write)")
    return 1 if stale else 0


if __name__ == "__main__":
    sys.exit(main())
