#!/usr/bin/env bash
# Windows save and load benchmark under Wine: runs bench_settings_win.exe (a
# full save and a full load of 120 filled slots with their pictures, on real
# files) in Wine's temporary folder and, when run as root, in a fresh ext4
# image with a journal (mkfs.ext4's defaults, as desktop installers make it)
# loop-mounted for the run, as bench/run_save.sh does for the Linux program.
# The time of a save that replaces pictures is mostly the file system's.
#
#   bench/win32/run_save_win.sh [-n RUNS] [-b BUILD_DIR] [-T]
#     -n RUNS      saves and loads of each kind; the median is shown (20)
#     -b BUILD_DIR the Windows build directory (build-win, beside bench/)
#     -T           only Wine's temporary folder, no ext4 image
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
runs=20
build="$root/build-win"
with_image=1
while getopts "n:b:T" opt; do
  case "$opt" in
    n) runs=$OPTARG ;;
    b) build=$OPTARG ;;
    T) with_image= ;;
    *) sed -n '9,12p' "$0" >&2; exit 2 ;;
  esac
done
case "$runs" in '' | *[!0-9]*) echo "RUNS is a count" >&2; exit 2 ;; esac
bench="$build/bench/win32/bench_settings_win.exe"
[ -f "$bench" ] || { echo "missing $bench: build first (cmake --build $build)" >&2; exit 2; }

work=$(mktemp -d)
mounted=
cleanup() {
  [ -n "$mounted" ] && umount "$mounted"
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# shellcheck source-path=SCRIPTDIR source=../ext4_image.sh
source "$here/../ext4_image.sh"
folders=("")
# Wine's drive Z: is the root of the file system.
if [ -n "$with_image" ] && mount_ext4_image "$work"; then folders+=("Z:${mounted//\//\\}"); fi

status=0
for folder in "${folders[@]}"; do
  if [ -n "$folder" ]; then
    echo "In a fresh ext4 image with a journal, loop-mounted ($mounted):"
    "$root/tools/wine_run.sh" "$bench" "$runs" "$folder" | tail -n +2 || status=1
  else
    echo "In Wine's temporary folder (on $(stat -f -c %T "${XDG_CACHE_HOME:-$HOME/.cache}") under ~/.cache):"
    "$root/tools/wine_run.sh" "$bench" "$runs" | tail -n +2 || status=1
  fi
done
exit $status
