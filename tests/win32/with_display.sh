#!/usr/bin/env bash
# Runs a command that runs Windows programs with windows (or with the Start
# menu, registry and settings folder of a user): on a private Xvfb, in a Wine
# prefix of its own. The prefix is not the one of the other Windows
# tests: a Wine server started by a test without a display gives its desktop
# no graphics driver, and every window of a later program then fails.
#   with_display.sh PREFIX_DIR program.exe [arguments...]   (run through Wine)
#   with_display.sh PREFIX_DIR command [arguments...]       (run as it is)
# The prefix is made at the first run (half a minute). The caller keeps runs
# on one prefix apart (RESOURCE_LOCK); at the end the prefix's server is
# stopped, so the next run's desktop comes up on its own display.
set -u
here=$(cd "$(dirname "$0")" && pwd)
prefix=$1
shift
export QUILLOP_WINEPREFIX=$prefix WINEPREFIX=$prefix
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver64)
tmp=$(mktemp -d)
xpid=
cleanup() {
  "$wineserver" -k 2>/dev/null
  "$wineserver" -w 2>/dev/null
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null && wait "$xpid" 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT
Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
xpid=$!
for _ in $(seq 200); do [ -s "$tmp/display" ] && break; sleep 0.05; done
[ -s "$tmp/display" ] || { echo "Xvfb did not start:" >&2; cat "$tmp/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(cat "$tmp/display")"
case "$1" in
  *.exe) "$here/../../tools/wine_run.sh" "$@" ;;
  *) "$@" ;;
esac
