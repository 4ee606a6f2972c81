#!/usr/bin/env bash
# The launcher as a screen reader meets it: read from outside through the
# accessibility bus (AT-SPI) on a private session bus. The page number and the
# description line read as their text, and follow it when it changes; each
# slot is a button named by its description, else by its file name, and
# pressing it starts it. The logo and menu keys, typed for real, turn to the
# pages of their codes (91, 92, 93 follow Z: pages 6, 7, 8), and the menu key
# opens no menu.
# Usage: accessibility_test.sh <quillop>. Exit 77 = skipped.
set -u
quillop=$1
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=e2e_lib.sh
source "$here/e2e_lib.sh"

e2e_require_tools dbus-daemon
# Debian's Python, which python3-pyatspi extends, even where another python3 comes first on PATH.
py=/usr/bin/python3
[ -x "$py" ] || py=python3
"$py" -c 'import pyatspi' 2>/dev/null || { echo "SKIP: python3-pyatspi is not installed"; exit 77; }
[ -x /usr/libexec/at-spi-bus-launcher ] || { echo "SKIP: at-spi2-core is not installed"; exit 77; }
e2e_setup_dirs
e2e_start_desktop

dbus-daemon --session --nofork --address="unix:path=$XDG_RUNTIME_DIR/bus" --print-address=3 3>"$e2e_work/bus" \
    >"$e2e_work/dbus.log" 2>&1 &
e2e_pids+=($!)
e2e_until test -s "$e2e_work/bus" || { echo "SKIP: the session bus did not start"; exit 77; }
DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$e2e_work/bus")
export DBUS_SESSION_BUS_ADDRESS QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 NO_AT_BRIDGE=0

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

marks=$e2e_work/marks
mkdir -p "$marks" "$e2e_work/bin"
printf '#!/bin/sh\necho started >"%s/slot0"\n' "$marks" >"$e2e_work/bin/tool zero"
printf '#!/bin/sh\necho started >"%s/slot1"\n' "$marks" >"$e2e_work/bin/plain-tool"
chmod +x "$e2e_work/bin/tool zero" "$e2e_work/bin/plain-tool"
cat >"$E2E_CONF" <<CONF
[DATA]
TEXT0=$e2e_work/bin/tool zero
SETUMEI0=最初のプログラム
exetype0=1
TEXT1=$e2e_work/bin/plain-tool
exetype1=1
PSetumei6=六ページ
PSetumei7=七ページ
PSetumei8=八ページ
[Option]
Page=0
SizeX=480
SizeY=480
CONF
e2e_icon_size 480 480
e2e_start_launcher "$quillop" || exit 1

tree=$e2e_work/tree
# "role<TAB>name" is in the tree.
has() { grep -q "^$1	$2	" "$tree"; }
until_has() { e2e_until sh -c "'$py' '$here/atspi_tree.py' quillop dump >'$tree' 2>>'$e2e_work/atspi.log' && grep -q '^$1	$2	' '$tree'"; }

until_has label 0 || fail "no label '0' (the page number) on the accessibility bus"
has "push button" 最初のプログラム || fail "slot 0 is no button named by its description"
has "push button" plain-tool || fail "slot 1 is no button named by its file name"
grep -q "^push button	最初のプログラム	Press" "$tree" || fail "slot 0 offers no press action"

"$py" "$here/atspi_tree.py" quillop press 最初のプログラム || fail "pressing slot 0 through the bus failed"
e2e_until test -s "$marks/slot0" || fail "pressing slot 0 through the bus did not start it"

# The keys go to the scroll bar, which has the focus; the mouse rests away
# from the slots so that the description line shows the page's.
xdotool mousemove 5 1000
xdotool windowactivate --sync "$E2E_WIN" 2>/dev/null
for step in "Super_L 6 六ページ" "Super_R 7 七ページ" "Menu 8 八ページ" "3 3 ''"; do
    read -r key page note <<<"$step"
    [ "$note" = "''" ] && note=""
    xdotool key "$key"
    until_has label "$page" || { fail "$key: the page number does not read '$page'"; grep '^label' "$tree"; }
    if [ -n "$note" ]; then
        has label "$note" || fail "$key: the description line does not read '$note'"
    fi
    if [ "$key" = Menu ]; then
        sleep 0.5
        e2e_popup_shown && fail "the menu key opened a menu"
        e2e_popup_shown && xdotool key Escape
    fi
done

if [ "$failures" -gt 0 ]; then
    echo "--- the tree"; cat "$tree"
    echo "--- atspi"; tail -20 "$e2e_work/atspi.log"
    echo "--- launcher"; cat "$e2e_work/launcher.log"
    exit 1
fi
echo PASS
