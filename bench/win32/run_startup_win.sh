#!/usr/bin/env bash
# Windows start-up benchmark, under Wine on a private Xvfb with openbox and
# trayer: quillop.exe with
# 120 filled slots and their picture files against the floor, a bare Win32
# window (startup_bare_window_win.exe), alternated in the same run. Times exec
# -> first map of the program's window with the Linux benchmark's map timer
# (built here from bench/startup/map_timer.cpp) and prints medians, the ratio
# of medians against the goal of 1.3, and the size of quillop.exe.
#
#   bench/win32/run_startup_win.sh [-n RUNS] [-b BUILD_DIR] [-d NUM]
#     -n RUNS      measured runs of each program (10)
#     -b BUILD_DIR the Windows build directory (build-win, beside bench/)
#     -d NUM       run Xvfb as display :NUM instead of letting it pick a free one
#
# The runs use a Wine prefix of their own (made at the first run, about half a
# minute), kept in ~/.cache/quillop-bench-wine: the tests' prefix may be in use
# by a Wine server without a display. One Wine server is kept running
# throughout, as on a desktop where Windows itself is already up: what is
# measured is the program's own start, not Wine's.
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
runs=10
build="$root/build-win"
display_num=
while getopts "n:b:d:" opt; do
  case "$opt" in
    n) runs=$OPTARG ;;
    b) build=$OPTARG ;;
    d) display_num=$OPTARG ;;
    *) sed -n '9,12p' "$0" >&2; exit 2 ;;
  esac
done
case "$runs$display_num" in *[!0-9]*) echo "RUNS is a count" >&2; exit 2 ;; esac
[ "$runs" -ge 1 ] || { echo "RUNS must be at least 1" >&2; exit 2; }

# The program as the packages carry it (without debugging information).
quillop="$build/package-win/quillop.exe"
bare="$build/bench/win32/startup_bare_window_win.exe"
for f in "$quillop" "$bare"; do
  [ -f "$f" ] || { echo "missing $f: build first (cmake --build $build)" >&2; exit 2; }
done
for c in Xvfb openbox trayer python3 c++ wine; do command -v "$c" >/dev/null || { echo "$c is not installed" >&2; exit 2; }; done

tmp=$(mktemp -d)
export QUILLOP_WINEPREFIX=${QUILLOP_BENCH_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/quillop-bench-wine}
export WINEPREFIX=$QUILLOP_WINEPREFIX WINEDEBUG=-all
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver64)
xpid=
session_pids=()
cleanup() {
  "$wineserver" -k 2>/dev/null
  for p in "${session_pids[@]}"; do kill "$p" 2>/dev/null; done
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null && wait "$xpid" 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

c++ -O2 -std=c++20 "$root/bench/startup/map_timer.cpp" -o "$tmp/map_timer" -lX11 -lXtst ||
  { echo "could not build the map timer (needs libx11-dev libxtst-dev)" >&2; exit 2; }

if [ -n "$display_num" ]; then
  Xvfb ":$display_num" -noreset -screen 0 1280x1024x24 -nolisten tcp 2>"$tmp/xvfb.log" &
  xpid=$!
  for _ in $(seq 200); do
    [ -e "/tmp/.X11-unix/X$display_num" ] && echo "$display_num" >"$tmp/display" && break
    sleep 0.05
  done
else
  Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
  xpid=$!
fi
for _ in $(seq 200); do [ -s "$tmp/display" ] && break; sleep 0.05; done
[ -s "$tmp/display" ] || { echo "Xvfb did not start:" >&2; cat "$tmp/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(cat "$tmp/display")"
# A desktop as a Windows user has one: a window manager and a notification
# area for the launcher's icon. (Without a window manager Wine takes two
# seconds to show a bare window, and the floor would mean nothing.)
openbox >/dev/null 2>&1 &
session_pids+=($!)
trayer --edge top --align right --widthtype pixel --width 100 --heighttype pixel --height 24 >/dev/null 2>&1 &
session_pids+=($!)

# The prefix is made (or brought up) by a first program; then a persistent server.
"$root/tools/wine_run.sh" cmd /c exit >/dev/null 2>&1
"$wineserver" -p
appdata=$("$root/tools/wine_run.sh" cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')
settings=$("$root/tools/wine_run.sh" winepath -u "$appdata\\Quillop" 2>/dev/null | tr -d '\r')
[ -n "$settings" ] || { echo "the Wine prefix gave no %APPDATA%" >&2; exit 1; }
python3 "$here/prepare_config_win.py" "$WINEPREFIX" "$tmp/prepared" --pictures || exit 1

# measure CASE: one run under the timer; quillop gets a fresh copy of the
# prepared settings. Leaves the timer's line in $line.
measure() {
  local case=$1 title program
  case "$case" in
    bare) title="bare window"; program=$bare ;;
    quillop)
      title="Quillop Ver3.5"
      program=$quillop
      rm -rf "$settings" && mkdir -p "$settings" && cp "$tmp/prepared/"* "$settings/"
      ;;
  esac
  if ! "$tmp/map_timer" --hold 300 -- "$root/tools/wine_run.sh" "$program" >"$tmp/out" 2>"$tmp/err"; then
    echo "FAIL: $case:" >&2
    cat "$tmp/err" >&2
    exit 1
  fi
  if ! grep -qF "\"$title" "$tmp/err"; then
    echo "FAIL: $case measured a window other than \"$title\":" >&2
    cat "$tmp/err" >&2
    exit 1
  fi
  line=$(cat "$tmp/out")
}

field() { sed -n "s/.*\\<$1=\\([^ ]*\\).*/\\1/p" <<<"$2"; }
median() { sort -g | awk '{v[NR]=$1} END{if(NR%2){print v[(NR+1)/2]}else{print (v[NR/2]+v[NR/2+1])/2}}'; }

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
# Unmeasured runs: Wine's own libraries and the programs in the page cache.
for c in bare quillop bare quillop; do measure "$c"; done
: >"$tmp/bare"
: >"$tmp/quillop"
for i in $(seq "$runs"); do
  for c in bare quillop; do
    measure "$c"
    echo "$(field map_ms "$line") $(field cpu_ms "$line")" >>"$tmp/$c"
  done
  printf '\rrun %d of %d' "$i" "$runs" >&2
done
echo >&2
settings_kept=$(ls "$settings" | grep -c '^Licn')

declare -A map cpu spread
for c in bare quillop; do
  map[$c]=$(cut -d' ' -f1 "$tmp/$c" | median)
  cpu[$c]=$(cut -d' ' -f2 "$tmp/$c" | median)
  spread[$c]=$(cut -d' ' -f1 "$tmp/$c" | sort -g | awk 'NR==1{lo=$1} {hi=$1} END{printf "%.1f-%.1f", lo, hi}')
done
ratio=$(awk "BEGIN{printf \"%.2f\", ${map[quillop]} / ${map[bare]}}")
verdict() { if awk "BEGIN{exit !($1)}"; then echo "met"; else echo "NOT met"; fi; }
echo "Windows start-up under Wine on $DISPLAY (Xvfb), $runs runs each, medians (load average before: $load_before, after: $(cut -d' ' -f1-3 /proc/loadavg)):"
printf '  %-40s %8s %8s   %s\n' "case" "map_ms" "cpu_ms" "map_ms min-max"
printf '  %-40s %8.1f %8.1f   %s\n' "bare Win32 window" "${map[bare]}" "${cpu[bare]}" "${spread[bare]}"
printf '  %-40s %8.1f %8.1f   %s\n' "quillop.exe, 120 slots, picture files" "${map[quillop]}" "${cpu[quillop]}" \
  "${spread[quillop]}"
echo "  picture files left in the settings folder after the last run: $settings_kept of 120"
echo "  quillop.exe: $(stat -c %s "$quillop") bytes"
echo "Goal:"
echo "  exec -> map, quillop.exe <= 1.3 x bare: $ratio x, $(verdict "$ratio <= 1.3")"
