#!/usr/bin/env bash
# Save and load benchmark: runs build/bench/bench_settings (a full save and a
# full load of 120 filled slots with their pictures, on real files) and prints
# the median of each against the goal of 30 ms.
#
# The time of a save is mostly the file system's: how it finds inodes for the
# new picture files and how its flushes reach the disk. So besides the temporary
# directory's own file system it measures, when run as root, on a fresh ext4
# image made with mkfs.ext4's defaults (journal included, as desktop installers
# make it), mounted through a loop device for the run.
#
#   bench/run_save.sh [-r REPETITIONS] [-b BUILD_DIR] [-t DIR] [-T]
#     -r REPETITIONS  runs of each benchmark, the median is shown (5; 1 shows the one run)
#     -b BUILD_DIR    the build directory (build, beside bench/)
#     -t DIR          measure in DIR instead of the temporary directory
#     -T              only the temporary directory (or DIR), no ext4 image
set -u
here=$(cd "$(dirname "$0")" && pwd)
repetitions=5
build="$here/../build"
dirs=("${TMPDIR:-/tmp}")
with_image=1
while getopts "r:b:t:T" opt; do
  case "$opt" in
    r) repetitions=$OPTARG ;;
    b) build=$OPTARG ;;
    t) dirs=("$OPTARG") ;;
    T) with_image= ;;
    *) sed -n '12,16p' "$0" >&2; exit 2 ;;
  esac
done
case "$repetitions" in '' | *[!0-9]*) echo "REPETITIONS is a count" >&2; exit 2 ;; esac
[ "$repetitions" -ge 1 ] || { echo "REPETITIONS must be at least 1" >&2; exit 2; }
bench="$build/bench/bench_settings"
[ -x "$bench" ] || { echo "missing $bench: build first (cmake --build $build)" >&2; exit 2; }
command -v python3 >/dev/null || { echo "python3 is not installed" >&2; exit 2; }

work=$(mktemp -d)
mounted=
cleanup() {
  [ -n "$mounted" ] && umount "$mounted"
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# shellcheck source-path=SCRIPTDIR source=ext4_image.sh
source "$here/ext4_image.sh"
if [ -n "$with_image" ] && mount_ext4_image "$work"; then dirs+=("$mounted"); fi

describe() {
  local dir=$1 type journal
  type=$(stat -f -c %T "$dir")
  if [ "$dir" = "$mounted" ]; then
    echo "a fresh ext4 image with a journal (mkfs.ext4's defaults), loop-mounted"
    return
  fi
  journal=
  if [ "$type" = ext2/ext3 ]; then
    # ext4 reports itself as ext2/ext3 here; the journal shows in /proc/fs/jbd2.
    local dev
    dev=$(df --output=source "$dir" | tail -1)
    if [ -d "/proc/fs/jbd2/$(basename "$dev")-8" ]; then journal=" with a journal"; else journal=" without a journal"; fi
    type=ext4
  fi
  echo "$dir ($type$journal)"
}

status=0
for dir in "${dirs[@]}"; do
  out="$work/result.json"
  if ! TMPDIR="$dir" "$bench" --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
      --benchmark_out="$out" --benchmark_out_format=json >/dev/null 2>"$work/err"; then
    echo "FAIL: bench_settings in $dir:" >&2
    cat "$work/err" >&2
    exit 1
  fi
  if [ "$repetitions" -eq 1 ]; then runs="one run"; else runs="median of $repetitions runs"; fi
  echo "Save and load in $(describe "$dir"), $runs:"
  python3 - "$out" <<'EOF' || status=1
import json, sys
names = {
    "BM_SaveSettings": "full save, pictures unchanged",
    "BM_SaveSettingsIntoEmptyDirectory": "first save into an empty directory",
    "BM_SaveSettingsAllPicturesNew": "save where all 120 pictures changed",
    "BM_LoadSettings": "full load",
}
rows = {}
benchmarks = json.load(open(sys.argv[1]))["benchmarks"]
# One repetition has no aggregates: its single run is the result.
aggregated = any(b.get("run_type") == "aggregate" for b in benchmarks)
for b in benchmarks:
    if b.get("aggregate_name") == "median" if aggregated else b.get("run_type", "iteration") == "iteration":
        scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]
        rows[b["run_name"]] = (b["real_time"] * scale, b["cpu_time"] * scale)
missing = [n for n in names if n not in rows]
if missing:
    sys.exit("no result for " + ", ".join(missing))
for name, text in names.items():
    wall, cpu = rows[name]
    verdict = "met" if wall <= 30 else "NOT met"
    print(f"  {text:<38} {wall:7.1f} ms  (CPU {cpu:5.1f} ms)   goal <= 30 ms: {verdict}")
EOF
done
exit $status
