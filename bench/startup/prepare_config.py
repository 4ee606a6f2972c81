#!/usr/bin/env python3
"""Writes a prepared settings directory for the start-up benchmark.

    prepare_config.py CONFIG_HOME [--pictures] [--slot0 PATH]

Creates CONFIG_HOME/quillop/QLPconf.ini with all 120 slots filled with real
files of this machine (programs from /usr/bin, documents from /usr/share/doc,
desktop entries, folders), so that every icon the launcher renders comes from
the icon theme; descriptions for most slots and every page; the option keys.
With --pictures it also writes the picture files Licn0 to Licn119 (36 x 36,
24-bit, bottom-up Windows bitmaps), so the launcher renders nothing.
--slot0 puts PATH into slot 0 as a program that is started directly (the
key-to-launch measurement starts it with F1).
"""

import argparse
import colorsys
import os
import struct
import sys

SLOTS = 120
PAGES = 10
PICTURE_SIDE = 36
ICON_SIDE = 32


def is_program(path):
    return os.path.isfile(path) and os.access(path, os.X_OK)


def evenly(items, count):
    """count items spread over the whole sorted list, so the picks vary."""
    if len(items) <= count:
        return list(items)
    step = len(items) / count
    return [items[int(i * step)] for i in range(count)]


def programs():
    names = sorted(os.listdir("/usr/bin"))
    return [p for p in (os.path.join("/usr/bin", n) for n in names) if is_program(p)]


def documents():
    """Files under /usr/share/doc, one kind after another, for a mix of types."""
    by_kind = {}
    for top, dirs, files in os.walk("/usr/share/doc"):
        dirs.sort()
        if top.count(os.sep) > 5:
            dirs[:] = []
        for name in sorted(files):
            path = os.path.join(top, name)
            if not os.path.isfile(path) or os.path.islink(path):
                continue
            kind = os.path.splitext(name)[1].lower() or name.lower()
            by_kind.setdefault(kind, []).append(path)
    kinds = sorted(by_kind, key=lambda k: -len(by_kind[k]))
    picked = []
    round_ = 0
    while kinds:
        for kind in list(kinds):
            paths = by_kind[kind]
            if round_ >= len(paths):
                kinds.remove(kind)
                continue
            picked.append(paths[(round_ * 7919) % len(paths)])
        round_ += 1
    return picked


def desktop_entries():
    folder = "/usr/share/applications"
    if not os.path.isdir(folder):
        return []
    return [os.path.join(folder, n) for n in sorted(os.listdir(folder)) if n.endswith(".desktop")]


def folders():
    candidates = ["/usr/bin", "/usr/share", "/usr/share/doc", "/usr/lib", "/etc", "/var", "/tmp",
                  "/opt", "/srv", "/usr/local", "/usr/include", "/var/log"]
    return [p for p in candidates if os.path.isdir(p)]


def choose_targets(slot0):
    """120 (path, launch mode, kind) triples; launch mode 1 starts directly."""
    progs = programs()
    docs = documents()
    entries = desktop_entries()[:6]
    dirs = folders()[:10]
    want_docs = 40
    want_progs = SLOTS - want_docs - len(entries) - len(dirs) - (1 if slot0 else 0)
    picked_progs = evenly(progs, want_progs)
    picked_docs = docs[:want_docs]
    if len(picked_progs) < want_progs or len(picked_docs) < want_docs:
        sys.exit("prepare_config: not enough programs or documents on this machine")
    targets = [(p, 1, "program") for p in picked_progs]
    targets += [(p, 0, "document") for p in picked_docs]
    targets += [(p, 0, "entry") for p in entries]
    targets += [(p, 0, "folder") for p in dirs]
    # Mixed across the pages, as a user's slots would be.
    targets.sort(key=lambda t: (hash_of(t[0]), t[0]))
    if slot0:
        targets.insert(0, (slot0, 1, "program"))
    return targets[:SLOTS]


def hash_of(text):
    h = 2166136261
    for b in text.encode():
        h = ((h ^ b) * 16777619) & 0xFFFFFFFF
    return h


def description(index, path, kind):
    if index % 7 == 3:
        return ""  # the tool tip is then the path
    name = os.path.basename(path.rstrip("/")) or path
    return {
        "program": f"{name} を起動",
        "document": f"文書 {name}",
        "entry": f"アプリ {name}",
        "folder": f"フォルダ {name}",
    }[kind]


def settings_text(targets):
    lines = ["[DATA]"]
    for i, (path, mode, kind) in enumerate(targets):
        lines.append(f"TEXT{i}={path}")
        lines.append(f"SETUMEI{i}={description(i, path, kind)}")
        lines.append(f"exetype{i}={mode}")
    for p in range(PAGES):
        lines.append(f"PSetumei{p}=ページ{p} の道具")
    lines += [
        "[Option]",
        "SUKIchk=True",
        "ALLWAYS=False",
        "top=1500",
        "left=3000",
        "Page=0",
        "SizeX=480",
        "SizeY=480",
        "SSW=True",
    ]
    return "\n".join(lines) + "\n"


def picture(index):
    """A 36 x 36 bottom-up 24-bit BMP: a framed, coloured 32 x 32 tile at the top left."""
    r, g, b = (int(c * 255) for c in colorsys.hsv_to_rgb((index * 0.137) % 1.0, 0.65, 0.9))
    background = (240, 240, 240)
    rows = []
    for y in range(PICTURE_SIDE):  # y = 0 is the top row
        row = bytearray()
        for x in range(PICTURE_SIDE):
            if x >= ICON_SIDE or y >= ICON_SIDE:
                colour = background
            elif x in (0, ICON_SIDE - 1) or y in (0, ICON_SIDE - 1):
                colour = (r // 2, g // 2, b // 2)
            elif 6 <= x < 26 and 6 <= y < 12 + (index % 4) * 3:
                colour = (255, 255, 255)
            elif x + y == ICON_SIDE - 1:
                colour = (255, 255, 255)
            else:
                colour = (r, g, b)
            row += bytes((colour[2], colour[1], colour[0]))  # stored as B, G, R
        row += b"\0" * ((4 - len(row) % 4) % 4)
        rows.append(bytes(row))
    pixels = b"".join(reversed(rows))  # bottom-up: the file starts with the bottom row
    header_size = 14 + 40
    file_header = struct.pack("<2sIHHI", b"BM", header_size + len(pixels), 0, 0, header_size)
    info_header = struct.pack("<IiiHHIIiiII", 40, PICTURE_SIDE, PICTURE_SIDE, 1, 24, 0, len(pixels),
                              3780, 3780, 0, 0)
    return file_header + info_header + pixels


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("config_home")
    parser.add_argument("--pictures", action="store_true", help="write Licn0 to Licn119 too")
    parser.add_argument("--slot0", help="program for slot 0, started directly")
    args = parser.parse_args()

    directory = os.path.join(args.config_home, "quillop")
    os.makedirs(directory, mode=0o700, exist_ok=True)
    targets = choose_targets(args.slot0)
    with open(os.path.join(directory, "QLPconf.ini"), "w", encoding="utf-8", newline="\n") as f:
        f.write(settings_text(targets))
    if args.pictures:
        for i in range(SLOTS):
            with open(os.path.join(directory, f"Licn{i}"), "wb") as f:
                f.write(picture(i))


if __name__ == "__main__":
    main()
