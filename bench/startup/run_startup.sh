#!/usr/bin/env bash
# Start-up benchmark: the launcher against the floor, a bare Qt window, on a
# private Xvfb. Alternates the bare window and the launcher with 120 filled
# slots (once with picture files, once with every icon from the theme), times
# exec -> first map of the program's window and samples VmRSS a second later,
# then prints medians, ratios of medians and each goal met or not (the CPU
# time that the program used up to its map is shown beside, as it suffers
# less from other work on the machine than the wall time). Last, it
# presses F1 in a running launcher whose slot 0 holds a stamp program and
# reports how long until that program runs.
#
#   bench/startup/run_startup.sh [-n RUNS] [-k KEY_RUNS] [-b BUILD_DIR] [-d NUM]
#     -n RUNS      measured runs of each case (10)
#     -k KEY_RUNS  runs of the F1 measurement, 5 presses each (3; 0 skips it)
#     -b BUILD_DIR the build directory (build, beside bench/)
#     -d NUM       run Xvfb as display :NUM instead of letting it pick a free one
set -u
here=$(cd "$(dirname "$0")" && pwd)
runs=10
key_runs=3
build="$here/../../build"
display_num=
while getopts "n:k:b:d:" opt; do
  case "$opt" in
    n) runs=$OPTARG ;;
    k) key_runs=$OPTARG ;;
    b) build=$OPTARG ;;
    d) display_num=$OPTARG ;;
    *) sed -n '10,14p' "$0" >&2; exit 2 ;;
  esac
done
case "$runs$key_runs$display_num" in *[!0-9]*) echo "RUNS and KEY_RUNS are counts" >&2; exit 2 ;; esac
[ "$runs" -ge 1 ] || { echo "RUNS must be at least 1" >&2; exit 2; }

quillop="$build/src/quillop"
bare="$build/bench/startup/startup_bare_window"
timer="$build/bench/startup/startup_map_timer"
stamp="$build/bench/startup/startup_stamp"
for f in "$quillop" "$bare" "$timer" "$stamp"; do
  [ -x "$f" ] || { echo "missing $f: build first (cmake --build $build)" >&2; exit 2; }
done
command -v Xvfb >/dev/null || { echo "Xvfb is not installed" >&2; exit 2; }
command -v python3 >/dev/null || { echo "python3 is not installed" >&2; exit 2; }

tmp=$(mktemp -d)
# A session's runtime directory is a tmpfs (/run/user/UID); the launcher makes
# its single-instance lock there, so the runs get theirs on one too.
runtime_base=
if [ "$(stat -f -c %T /dev/shm 2>/dev/null)" = tmpfs ]; then runtime_base=$(mktemp -d /dev/shm/qlp-bench-XXXXXX); fi
[ -n "$runtime_base" ] || runtime_base="$tmp"
xpid=
cleanup() {
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null && wait "$xpid" 2>/dev/null
  rm -rf "$tmp"
  [ "$runtime_base" != "$tmp" ] && rm -rf "$runtime_base"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ -n "$display_num" ]; then
  Xvfb ":$display_num" -noreset -screen 0 1280x1024x24 -nolisten tcp 2>"$tmp/xvfb.log" &
  xpid=$!
  for _ in $(seq 200); do
    [ -e "/tmp/.X11-unix/X$display_num" ] && kill -0 "$xpid" 2>/dev/null && echo "$display_num" >"$tmp/display" && break
    kill -0 "$xpid" 2>/dev/null || break
    sleep 0.05
  done
else
  Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
  xpid=$!
fi
for _ in $(seq 200); do [ -s "$tmp/display" ] && break; sleep 0.05; done
[ -s "$tmp/display" ] || { echo "Xvfb did not start:" >&2; cat "$tmp/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(cat "$tmp/display")"
export QT_QPA_PLATFORM=xcb

python3 "$here/prepare_config.py" "$tmp/prepared-pictures" --pictures --slot0 "$stamp" || exit 1
python3 "$here/prepare_config.py" "$tmp/prepared-theme" --slot0 "$stamp" || exit 1

bare_title="bare window"
quillop_title="Quillop Ver3.5      "
serial=0

# measure CASE [f1]: runs one program under the timer with a fresh copy of the
# case's settings and a private runtime directory; with f1 it also presses F1
# five times. Leaves the timer's line in $line.
measure() {
  local case=$1 dir runtime title program=() keys=()
  serial=$((serial + 1))
  dir="$tmp/run$serial"
  runtime="$runtime_base/run$serial"
  mkdir -p "$dir/config" && mkdir -m 0700 "$runtime"
  case "$case" in
    bare) title=$bare_title; program=("$bare") ;;
    pictures|theme)
      title=$quillop_title
      program=("$quillop")
      cp -a "$tmp/prepared-$case/quillop" "$dir/config/quillop"
      ;;
  esac
  if [ "${2:-}" = f1 ]; then
    keys=(--key F1 --presses 5 --stamp "$dir/stamp")
    [ "$case" = bare ] && program+=(--f1 "$stamp")
  fi
  if ! XDG_CONFIG_HOME="$dir/config" XDG_RUNTIME_DIR="$runtime" QLP_BENCH_STAMP="$dir/stamp" \
      "$timer" "${keys[@]}" -- "${program[@]}" >"$dir/out" 2>"$dir/err"; then
    echo "FAIL: $case run $serial:" >&2
    cat "$dir/err" >&2
    exit 1
  fi
  if ! grep -qF "\"$title\" of pid" "$dir/err"; then
    echo "FAIL: $case run $serial measured a window other than \"$title\":" >&2
    cat "$dir/err" >&2
    exit 1
  fi
  line=$(cat "$dir/out")
  rm -rf "$dir" "$runtime"
}

field() { sed -n "s/.*\\<$1=\\([^ ]*\\).*/\\1/p" <<<"$2"; }
median() { tr ',' '\n' | grep -v '^-*$' | sort -g | awk '{v[NR]=$1} END{if(NR==0){print "nan"}else if(NR%2){print v[(NR+1)/2]}else{print (v[NR/2]+v[NR/2+1])/2}}'; }

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
# One unmeasured run of each: page cache, font cache and icon caches warm.
for c in bare pictures theme; do measure "$c"; done

: >"$tmp/bare" ; : >"$tmp/pictures" ; : >"$tmp/theme"
for i in $(seq "$runs"); do
  for c in bare pictures theme; do
    measure "$c"
    echo "$(field map_ms "$line") $(field rss_kb "$line") $(field cpu_ms "$line")" >>"$tmp/$c"
  done
  printf '\rrun %d of %d' "$i" "$runs" >&2
done
echo >&2

declare -A map rss cpu spread
for c in bare pictures theme; do
  map[$c]=$(cut -d' ' -f1 "$tmp/$c" | median)
  rss[$c]=$(cut -d' ' -f2 "$tmp/$c" | median)
  cpu[$c]=$(cut -d' ' -f3 "$tmp/$c" | median)
  spread[$c]=$(cut -d' ' -f1 "$tmp/$c" | sort -g | awk 'NR==1{lo=$1} {hi=$1} END{printf "%.1f-%.1f", lo, hi}')
done

verdict() { if awk "BEGIN{exit !($1)}"; then echo "met"; else echo "NOT met"; fi; }

echo "Start-up on $DISPLAY (Xvfb), $runs runs each, medians (load average before: $load_before, after: $(cut -d' ' -f1-3 /proc/loadavg)):"
printf '  %-34s %8s %8s %8s   %s\n' "case" "map_ms" "rss_kb" "cpu_ms" "map_ms min-max"
row() { printf '  %-34s %8.1f %8d %8.1f   %s\n' "$1" "${map[$2]}" "${rss[$2]}" "${cpu[$2]}" "${spread[$2]}"; }
row "bare window" bare
row "quillop, 120 slots, picture files" pictures
row "quillop, 120 slots, theme icons" theme
ratio_pic=$(awk "BEGIN{printf \"%.2f\", ${map[pictures]} / ${map[bare]}}")
ratio_theme=$(awk "BEGIN{printf \"%.2f\", ${map[theme]} / ${map[bare]}}")
mb_pic=$(awk "BEGIN{printf \"%+.1f\", (${rss[pictures]} - ${rss[bare]}) / 1024}")
mb_theme=$(awk "BEGIN{printf \"%+.1f\", (${rss[theme]} - ${rss[bare]}) / 1024}")
echo "  ratio of medians quillop/bare: picture files $ratio_pic, theme icons $ratio_theme"
echo "  CPU time to the map, quillop/bare (less disturbed by a busy machine): picture files" \
  "$(awk "BEGIN{printf \"%.2f\", ${cpu[pictures]} / ${cpu[bare]}}"), theme icons" \
  "$(awk "BEGIN{printf \"%.2f\", ${cpu[theme]} / ${cpu[bare]}}")"
echo "  RSS minus bare: picture files $mb_pic MB, theme icons $mb_theme MB (1 MB = 1024 kB)"
echo "Goals:"
echo "  exec -> map, picture files <= 1.15 x bare: $ratio_pic x, $(verdict "$ratio_pic <= 1.15")"
echo "  exec -> map, theme icons   <= 1.5 x bare:  $ratio_theme x, $(verdict "$ratio_theme <= 1.5")"
echo "  RSS <= bare + 8 MB: picture files $mb_pic MB, $(verdict "$mb_pic <= 8"); theme icons $mb_theme MB, $(verdict "$mb_theme <= 8")"

[ "$key_runs" -ge 1 ] || exit 0
: >"$tmp/keys-bare" ; : >"$tmp/keys-quillop"
missed=0
presses=0
for i in $(seq "$key_runs"); do
  measure bare f1
  field key_ms "$line" >>"$tmp/keys-bare"
  measure pictures f1
  keys=$(field key_ms "$line")
  echo "$keys" >>"$tmp/keys-quillop"
  presses=$((presses + $(tr ',' '\n' <<<"$keys" | grep -c .)))
  missed=$((missed + $(tr ',' '\n' <<<"$keys" | grep -c '^-$')))
done
key_bare=$(median <"$tmp/keys-bare")
key_quillop=$(median <"$tmp/keys-quillop")
echo "F1 -> started program runs, $key_runs runs of 5 presses, medians:"
echo "  bare window starting it with QProcess::startDetached: $key_bare ms"
if [ "$missed" -eq "$presses" ]; then
  echo "  quillop: no program started within 2 s of any F1 press"
  echo "  F1 -> program runs <= 10 ms: NOT met (nothing was started)"
else
  [ "$missed" -gt 0 ] && echo "  quillop: $missed of $presses presses started nothing within 2 s"
  echo "  quillop, slot 0: $key_quillop ms"
  echo "  F1 -> program runs <= 10 ms: $key_quillop ms, $(verdict "$key_quillop <= 10 && $missed == 0")"
fi
