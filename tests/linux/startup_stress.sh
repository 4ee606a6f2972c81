#!/usr/bin/env bash
# Starts the real launcher again and again under Xvfb with a slot whose icon is
# looked up (so the reading ahead runs beside the making of the application
# object), waits for its window, ends it with SIGTERM and fails on anything but
# a clean exit; then runs the read-ahead child the same way. A crash that
# comes once in a hundred starts shows here.
#   startup_stress.sh QUILLOP SETTINGS_CHILD [LAUNCHER_STARTS] [CHILD_RUNS]
set -u
bin=$1
child=$2
starts=${3:-100}
child_runs=${4:-300}
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
tmp=$(mktemp -d)
xpid=
pid=
cleanup() {
  [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT

Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$tmp/display" 2>/dev/null &
xpid=$!
for _ in $(seq 200); do [ -s "$tmp/display" ] && break; sleep 0.05; done
[ -s "$tmp/display" ] || { echo "FAIL: Xvfb did not start"; exit 1; }
export DISPLAY=":$(cat "$tmp/display")" QT_QPA_PLATFORM=xcb
mkdir -m 0700 "$tmp/run"
export XDG_CONFIG_HOME="$tmp/config" XDG_RUNTIME_DIR="$tmp/run"
printf '#!/bin/sh\n' >"$tmp/tool"
chmod +x "$tmp/tool"

for i in $(seq "$starts"); do
  # Slot 0 without a picture every time: the save at exit writes one.
  rm -rf "$tmp/config"
  mkdir -p -m 0700 "$tmp/config/quillop"
  printf '[DATA]\nTEXT0=%s\n' "$tmp/tool" >"$tmp/config/quillop/QLPconf.ini"
  "$bin" 2>"$tmp/stderr" &
  pid=$!
  # The window is up once it is mapped; a crash before that ends the wait.
  mapped=
  for _ in $(seq 3000); do
    if xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1; then mapped=1; break; fi
    grep -q '^State:[[:space:]]*Z' "/proc/$pid/status" 2>/dev/null && break
    sleep 0.02
  done
  if [ -z "$mapped" ]; then
    kill -KILL "$pid" 2>/dev/null
    wait "$pid"
    echo "FAIL: start $i: no window (exit status $?)"
    cat "$tmp/stderr"
    exit 1
  fi
  kill -TERM "$pid"
  wait "$pid"
  rc=$?
  pid=
  if [ "$rc" -ne 0 ]; then
    echo "FAIL: start $i: exit status $rc after SIGTERM"
    cat "$tmp/stderr"
    exit 1
  fi
done
echo "launcher: $starts clean starts"

mkdir "$tmp/prefetch"
printf '[DATA]\nTEXT0=%s\n' "$tmp/tool" >"$tmp/prefetch/QLPconf.ini"
for i in $(seq "$child_runs"); do
  out=$("$child" prefetch "$tmp/prefetch" 2>&1)
  rc=$?
  if [ "$rc" -ne 0 ] || [ "$out" != "types=1" ]; then
    echo "FAIL: read-ahead child run $i: exit status $rc"
    echo "$out"
    exit 1
  fi
done
echo "read-ahead child: $child_runs clean runs"
echo PASS
