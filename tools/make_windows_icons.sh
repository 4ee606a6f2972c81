#!/usr/bin/env bash
# Makes the Windows program's icon files from the PNG drawings with
# ImageMagick. Run once after changing a drawing; the .ico files are committed.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$root/src/platform/win32/res"
mkdir -p "$out"
convert "$root"/data/icons/quillop-16.png "$root"/data/icons/quillop-32.png "$root"/data/icons/quillop-48.png \
    "$out/quillop.ico"
for which in shown hidden; do
    convert "$root/src/platform/linux/views/icons/quillop-$which-16.png" "$root/src/platform/linux/views/icons/quillop-$which-32.png" \
        "$out/tray-$which.ico"
done
