#!/usr/bin/env bash
# Starts the real launcher under Xvfb, waits until its window is mapped, ends
# it with SIGTERM and checks that it saved. With QUILLOP_SCREENSHOT=file.png
# it also leaves a picture of the screen.
set -u
bin=$1
for tool in Xvfb xwininfo; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
tmp=$(mktemp -d)
xpid=
cleanup() { [ -n "$xpid" ] && kill "$xpid" 2>/dev/null; rm -rf "$tmp"; }
trap cleanup EXIT

Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$tmp/display" 2>/dev/null &
xpid=$!
for _ in $(seq 100); do [ -s "$tmp/display" ] && break; sleep 0.05; done
export DISPLAY=":$(cat "$tmp/display")"
mkdir -m 0700 "$tmp/run"
export XDG_CONFIG_HOME="$tmp/config" XDG_RUNTIME_DIR="$tmp/run" QT_QPA_PLATFORM=xcb

"$bin" &
pid=$!
title="Quillop Ver3.5      "
mapped=
for _ in $(seq 100); do
  if xwininfo -name "$title" 2>/dev/null | grep -q 'Map State: IsViewable'; then mapped=1; break; fi
  sleep 0.1
done
if [ -z "$mapped" ]; then
  echo "FAIL: no mapped window titled '$title'"
  kill -KILL "$pid" 2>/dev/null
  exit 1
fi
geometry=$(xwininfo -name "$title" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}')
echo "window mapped, $geometry"
[ "$geometry" = "123x49" ] || { echo "FAIL: expected a 123x49 client area at 96 DPI"; kill "$pid"; exit 1; }
if [ -n "${QUILLOP_SCREENSHOT:-}" ] && command -v import >/dev/null; then
  import -window root "$QUILLOP_SCREENSHOT"
fi

kill -TERM "$pid"
wait "$pid"
rc=$?
[ "$rc" -eq 0 ] || { echo "FAIL: exit status $rc after SIGTERM"; exit 1; }
grep -q '^\[Option\]' "$tmp/config/quillop/QLPconf.ini" 2>/dev/null || { echo "FAIL: nothing saved"; exit 1; }
echo "PASS"
