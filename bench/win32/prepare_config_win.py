#!/usr/bin/env python3
"""Writes a prepared settings folder for the Windows start-up benchmark.

    prepare_config_win.py PREFIX SETTINGS_DIR [--pictures]

Fills all 120 slots with files that exist in the Wine prefix PREFIX (programs
from C:\\windows\\system32, documents and folders under C:\\windows), with
descriptions and the option keys as the Linux benchmark has them, and writes
SETTINGS_DIR/QLPconf.ini in code page 932 with CRLF line ends, as the launcher
writes a new file on Windows. With --pictures also Licn0 to Licn119.
"""

import argparse
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "startup"))
import prepare_config as linux  # noqa: E402  (the same descriptions, keys and pictures)


def windows_targets(prefix):
    drive_c = os.path.join(prefix, "drive_c")
    system32 = os.path.join(drive_c, "windows", "system32")
    programs = sorted(n for n in os.listdir(system32) if n.lower().endswith(".exe"))
    documents = []
    for top, dirs, files in os.walk(os.path.join(drive_c, "windows")):
        dirs.sort()
        for name in sorted(files):
            if os.path.splitext(name)[1].lower() in (".ini", ".txt", ".inf", ".log", ".xml", ".nls"):
                documents.append(os.path.join(top, name))
    folders = sorted(top for top, _, _ in os.walk(os.path.join(drive_c, "windows")))[:10]

    def win(path):
        return "C:\\" + os.path.relpath(path, drive_c).replace("/", "\\")

    want_docs = 40
    want_progs = linux.SLOTS - want_docs - len(folders)
    picked = [(win(os.path.join(system32, p)), 1, "program") for p in linux.evenly(programs, want_progs)]
    picked += [(win(d), 0, "document") for d in linux.evenly(documents, want_docs)]
    picked += [(win(f), 0, "folder") for f in folders]
    if len(picked) < linux.SLOTS:
        sys.exit("prepare_config_win: not enough files in the prefix")
    picked.sort(key=lambda t: (linux.hash_of(t[0]), t[0]))
    return picked[: linux.SLOTS]


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("prefix")
    parser.add_argument("settings_dir")
    parser.add_argument("--pictures", action="store_true")
    args = parser.parse_args()
    os.makedirs(args.settings_dir, exist_ok=True)
    text = linux.settings_text(windows_targets(args.prefix)).replace("\n", "\r\n")
    with open(os.path.join(args.settings_dir, "QLPconf.ini"), "wb") as f:
        f.write(text.encode("cp932"))
    if args.pictures:
        for i in range(linux.SLOTS):
            with open(os.path.join(args.settings_dir, f"Licn{i}"), "wb") as f:
                f.write(linux.picture(i))


if __name__ == "__main__":
    main()
