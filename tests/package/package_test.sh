#!/usr/bin/env bash
# Builds the Debian package, checks it with lintian (no errors), installs it
# with apt, checks what it put on the system, starts the installed launcher
# from its menu entry under Xvfb,
# removes the package and checks that nothing of it remains but the user's
# own settings.
#
# It installs and removes a system package, so it runs only as root and only
# when called on purpose (the CI does); the normal test run does not know it.
#   tests/package/package_test.sh [build directory]     (default: build)
# PACKAGE_TEST_DISPLAY=N makes it use display :N instead of a free one.
set -u
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
# Absolute, so apt takes the package file for a file and not for a name.
build=$(realpath -m "${1:-$source_dir/build}")

[ "$(id -u)" -eq 0 ] || { echo "SKIP: installs and removes a package, needs root"; exit 77; }
for tool in apt-get dpkg dpkg-deb cmake cpack Xvfb xwininfo xprop desktop-file-validate man; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
command -v dpkg-shlibdeps >/dev/null || { echo "FAIL: dpkg-shlibdeps is missing (Debian package dpkg-dev)"; exit 1; }

fail() { echo "FAIL: $*"; exit 1; }
step() { echo "== $*"; }

tmp=$(mktemp -d)
installed_here='' xpid='' app_pid=''
cleanup() {
  [ -n "$app_pid" ] && kill -KILL "$app_pid" 2>/dev/null
  if [ -n "$xpid" ]; then kill "$xpid" 2>/dev/null; wait "$xpid" 2>/dev/null; fi
  if [ -n "$installed_here" ] && [ "$(dpkg-query -W -f='${db:Status-Status}' quillop 2>/dev/null)" != not-installed ]; then
    DEBIAN_FRONTEND=noninteractive apt-get purge -y quillop >/dev/null 2>&1
  fi
  rm -rf "$tmp"
}
trap cleanup EXIT

# Anything of ours already on the system would make the checks below meaningless.
leftovers() {
  find /usr /etc /opt /var/lib/dpkg/info -name '*quillop*' -not -path "$source_dir/*" -not -path "$build/*" 2>/dev/null
}
dpkg-query -W -f='${Status}' quillop 2>/dev/null | grep -q 'ok installed' &&
  fail "a quillop package is installed already; remove it first"
[ -z "$(leftovers)" ] || { leftovers; fail "files named quillop are on the system already"; }

step "building the package"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$source_dir" -B "$build" -G Ninja >"$tmp/configure.log" 2>&1 || { cat "$tmp/configure.log"; fail "configure"; }
fi
cmake --build "$build" -j"$(nproc)" >"$tmp/build.log" 2>&1 || { tail -50 "$tmp/build.log"; fail "build"; }
rm -f "$build"/quillop_*.deb
(cd "$build" && cpack -G DEB) >"$tmp/cpack.log" 2>&1 || { cat "$tmp/cpack.log"; fail "cpack"; }
debs=("$build"/quillop_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then fail "cpack made no single quillop_*.deb"; fi
deb=${debs[0]}
version=$(dpkg-deb -f "$deb" Version)
arch=$(dpkg --print-architecture)
[ "$(basename "$deb")" = "quillop_${version}_${arch}.deb" ] || fail "package file is $(basename "$deb"), not quillop_${version}_${arch}.deb"
for field in "Section: utils" "Package: quillop"; do
  dpkg-deb -f "$deb" "${field%%:*}" | grep -qx "${field#*: }" || fail "control field $field missing"
done
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || fail "Depends lacks the Qt widgets library: $(dpkg-deb -f "$deb" Depends)"
echo "$(basename "$deb"): Depends: $(dpkg-deb -f "$deb" Depends)"
for f in ./usr/share/doc/quillop/copyright ./usr/share/doc/quillop/changelog.gz; do
  dpkg-deb -c "$deb" | awk '{print $NF}' | grep -qxF "$f" || fail "$f is not in the package"
done

step "lintian"
command -v lintian >/dev/null || fail "lintian is missing (Debian package lintian)"
lintian --fail-on error "$deb" >"$tmp/lintian.log" 2>&1
lintian_rc=$?
cat "$tmp/lintian.log"
[ "$lintian_rc" -eq 0 ] || fail "lintian reports errors"

step "installing it with apt"
DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "$deb" >"$tmp/install.log" 2>&1 ||
  { cat "$tmp/install.log"; fail "apt-get install"; }
installed_here=1
dpkg-query -W -f='${Status}' quillop | grep -qx 'install ok installed' || fail "dpkg does not list quillop as installed"
dpkg -L quillop >"$tmp/files"

step "checking the installed files"
for f in /usr/bin/quillop /usr/share/applications/quillop.desktop \
         /usr/share/icons/hicolor/16x16/apps/quillop.png /usr/share/icons/hicolor/32x32/apps/quillop.png \
         /usr/share/icons/hicolor/48x48/apps/quillop.png /usr/share/icons/hicolor/scalable/apps/quillop.svg \
         /usr/share/man/man1/quillop.1.gz; do
  grep -qxF "$f" "$tmp/files" || fail "$f is not in the package's file list"
  [ -f "$f" ] || fail "$f is missing"
done
[ "$(PATH=/usr/local/bin:/usr/bin:/bin command -v quillop)" = /usr/bin/quillop ] || fail "quillop on PATH is not /usr/bin/quillop"
entry=/usr/share/applications/quillop.desktop
out=$(desktop-file-validate "$entry" 2>&1); [ -z "$out" ] || { echo "$out"; fail "desktop-file-validate"; }
[ "$(man -w quillop 2>/dev/null)" = /usr/share/man/man1/quillop.1.gz ] || fail "man does not find the manual page"
LC_ALL=C.UTF-8 MANWIDTH=80 man quillop 2>/dev/null | grep -q '^NAME' || fail "man quillop shows no page"

step "starting it from its menu entry under Xvfb"
mkdir -m 0700 "$tmp/run" "$tmp/home"
# -noreset: otherwise the server resets when its last client (the readiness
# probe) leaves, and a client connecting during the reset is refused.
if [ -n "${PACKAGE_TEST_DISPLAY:-}" ]; then
  Xvfb ":$PACKAGE_TEST_DISPLAY" -noreset -screen 0 1024x768x24 -nolisten tcp 2>"$tmp/xvfb.log" &
  xpid=$!
  display=":$PACKAGE_TEST_DISPLAY"
else
  Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
  xpid=$!
  for _ in $(seq 100); do [ -s "$tmp/display" ] && break; sleep 0.05; done
  display=":$(cat "$tmp/display")"
fi
for _ in $(seq 300); do DISPLAY=$display xwininfo -root >/dev/null 2>&1 && break; sleep 0.05; done
if ! kill -0 "$xpid" 2>/dev/null || ! DISPLAY=$display xwininfo -root >/dev/null 2>&1; then
  cat "$tmp/xvfb.log"; fail "Xvfb did not start on $display"
fi
# The command of the menu entry, without field codes, split into words as a
# menu would run it (the entry holds no quoting).
read -r -a exec_words <<<"$(sed -n 's/^Exec=//p' "$entry" | head -1 | sed 's/ *%[fFuUick]//g')"
[ ${#exec_words[@]} -gt 0 ] || fail "the menu entry has no Exec line"
wm_class=$(sed -n 's/^StartupWMClass=//p' "$entry")
env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="$tmp/home" DISPLAY="$display" LANG=C.UTF-8 \
  XDG_CONFIG_HOME="$tmp/config" XDG_RUNTIME_DIR="$tmp/run" QT_QPA_PLATFORM=xcb \
  "${exec_words[@]}" >"$tmp/app.log" 2>&1 &
app_pid=$!
window=
for _ in $(seq 150); do
  for id in $(DISPLAY=$display xwininfo -root -tree 2>/dev/null | awk -v c="(\"$wm_class\" \"$wm_class\")" 'index($0, c) {print $1}'); do
    if DISPLAY=$display xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable'; then window=$id; break 2; fi
  done
  sleep 0.1
done
[ -n "$window" ] || { cat "$tmp/app.log"; fail "no mapped window of class $wm_class (the menu entry's StartupWMClass)"; }
win_pid=$(DISPLAY=$display xprop -id "$window" _NET_WM_PID | awk '{print $NF}')
[ "$win_pid" = "$app_pid" ] || fail "the mapped window belongs to process $win_pid, not to the started $app_pid"
echo "window $window of class $wm_class mapped: $(DISPLAY=$display xwininfo -id "$window" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}')"
kill -TERM "$app_pid"
wait "$app_pid"
rc=$?
app_pid=
[ "$rc" -eq 0 ] || { cat "$tmp/app.log"; fail "exit status $rc after SIGTERM"; }
[ -f "$tmp/config/quillop/QLPconf.ini" ] || fail "the launcher saved no settings in its directory"

step "removing it"
DEBIAN_FRONTEND=noninteractive apt-get remove -y quillop >"$tmp/remove.log" 2>&1 || { cat "$tmp/remove.log"; fail "apt-get remove"; }
status=0
while read -r path; do
  [ "$path" = /. ] && continue
  if [ -d "$path" ] && [ ! -L "$path" ]; then
    # A directory may stay only when another package still owns it.
    dpkg -S "$path" >/dev/null 2>&1 || { echo "left behind: directory $path"; status=1; }
  elif [ -e "$path" ] || [ -L "$path" ]; then
    echo "left behind: $path"; status=1
  fi
done <"$tmp/files"
# The package has no configuration files, so the removal should leave dpkg
# with no record of it; a purge clears whatever would remain.
if [ "$(dpkg-query -W -f='${db:Status-Status}' quillop 2>/dev/null)" = config-files ]; then
  echo "dpkg keeps configuration files of quillop after the removal"; status=1
  dpkg --purge quillop >>"$tmp/remove.log" 2>&1
fi
installed_here=
state=$(dpkg-query -W -f='${db:Status-Status}' quillop 2>/dev/null)
[ -z "$state" ] || [ "$state" = not-installed ] || { echo "dpkg still lists quillop as $state"; status=1; }
[ -z "$(leftovers)" ] || { leftovers | sed 's/^/left behind: /'; status=1; }
command -v quillop >/dev/null && { echo "quillop is still on PATH"; status=1; }
[ "$status" -eq 0 ] || fail "the removal left files behind"
# The user's own settings are theirs to keep.
[ -f "$tmp/config/quillop/QLPconf.ini" ] || fail "the removal touched the user's settings"
echo PASS
