#!/usr/bin/env bash
# On a real X display with a small window manager (openbox) and a tray host
# (trayer): always-on-top reaches the window manager as _NET_WM_STATE_ABOVE
# exactly while the menu entry is checked, without moving the window, a
# click on the tray icon hides and shows the window, and a right click opens
# the tray menu, whose "終了" saves and ends the launcher.
# Usage: tray_xvfb.sh <quillop_tray_driver>. Exit 77 = skipped.
set -u
driver=$1

for tool in Xvfb openbox trayer xdotool xprop xwininfo; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
pids=()
cleanup() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime XDG_CACHE_HOME=$work/cache XDG_DATA_HOME=$work/data
mkdir -p "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
# No session bus: Qt then embeds its icon in the XEmbed tray that trayer offers.
unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Waits up to five seconds for a command to succeed.
until_true() {
    for _ in $(seq 50); do "$@" && return 0; sleep 0.1; done
    return 1
}

Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
until_true test -s "$work/display" || { echo "SKIP: Xvfb did not start"; exit 77; }
export DISPLAY=:$(head -n1 "$work/display")

openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
until_true sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' || { echo "SKIP: openbox did not start"; exit 77; }
trayer --edge top --align right --widthtype pixel --width 100 --height 24 >"$work/trayer.log" 2>&1 &
pids+=($!)
until_true sh -c "xwininfo -root -tree | grep -q '\"panel\": (\"panel\" \"trayer\")'" || { echo "SKIP: trayer did not start"; exit 77; }

window=""
find_window() { window=$(xdotool search --name '^Quillop Ver3\.5' 2>/dev/null | head -n1); [ -n "$window" ]; }
start_driver() {
    rm -f "$work/in"
    mkfifo "$work/in"
    "$driver" <"$work/in" >"$work/out" 2>"$work/err" &
    driver_pid=$!
    pids+=($driver_pid)
    exec 4>"$work/in"
    until_true find_window || { cat "$work/err"; echo "FAIL: the launcher window did not appear"; exit 1; }
}
start_driver

# The tray icon: Qt's embedded window, a child of trayer's panel.
icon_x="" icon_y=""
find_icon() {
    local line
    line=$(xwininfo -root -tree | grep '"quillop": ("' | grep -v '+0+0  +0+0' | head -n1)
    [ -n "$line" ] || return 1
    local size abs
    size=$(awk '{for (i = 1; i <= NF; i++) if ($i ~ /^[0-9]+x[0-9]+\+/) {print $i; exit}}' <<<"$line")
    abs=$(awk '{print $NF}' <<<"$line")
    local w=${size%%x*} h=${size#*x}; h=${h%%+*}
    local ax=${abs#+}; ax=${ax%%+*}
    local ay=${abs##*+}
    icon_x=$((ax + w / 2)) icon_y=$((ay + h / 2))
    [ "$w" -gt 1 ]
}
until_true find_icon || { xwininfo -root -tree | grep -i -e quillop -e trayer; cat "$work/err"; echo "FAIL: no tray icon in trayer"; exit 1; }

above() { xprop -id "$window" _NET_WM_STATE 2>/dev/null | grep -q '_NET_WM_STATE_ABOVE'; }
not_above() { ! above; }
mapped() { xwininfo -id "$window" | grep -q 'IsViewable'; }
unmapped() { xwininfo -id "$window" | grep -q 'IsUnMapped'; }
position() { xwininfo -id "$window" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF} END {print x "," y}'; }
last_state() { tail -n1 "$work/out"; }
send() { echo "$1" >&4; }
expect_state() { until_true sh -c "tail -n1 '$work/out' | grep -qx '$1'" || fail "$2: driver says '$(last_state)', expected '$1'"; }
tray_click() { xdotool mousemove "$icon_x" "$icon_y" click 1; }

until_true mapped || fail "window not mapped after start"
sleep 0.5
start=$(position)
not_above || fail "above before always-on-top was chosen"

# Always-on-top on and off, twice, and the window stays where it is.
for round in 1 2; do
    send alh
    expect_state "ALH=1 visible=1" "round $round on"
    until_true above || fail "round $round: ALH checked but _NET_WM_STATE lacks _NET_WM_STATE_ABOVE"
    sleep 0.3
    [ "$(position)" = "$start" ] || fail "round $round: window moved from $start to $(position) when made topmost"
    send alh
    expect_state "ALH=0 visible=1" "round $round off"
    until_true not_above || fail "round $round: ALH unchecked but _NET_WM_STATE still holds _NET_WM_STATE_ABOVE"
    sleep 0.3
    [ "$(position)" = "$start" ] || fail "round $round: window moved from $start to $(position) when made normal"
done

# A click on the icon hides the window, the next shows it again.
for alh in 0 1; do
    [ "$alh" = 1 ] && { send alh; expect_state "ALH=1 visible=1" "before the clicks"; }
    tray_click
    until_true unmapped || fail "ALH=$alh: the window stayed mapped after a click on the tray icon"
    send state
    expect_state "ALH=$alh visible=0" "after hiding"
    sleep 0.6  # not a double-click
    tray_click
    until_true mapped || fail "ALH=$alh: the window did not come back after the second click"
    send state
    expect_state "ALH=$alh visible=1" "after showing"
    if [ "$alh" = 1 ]; then
        until_true above || fail "shown again from the tray with ALH checked, but not above"
    else
        sleep 0.3
        not_above || fail "shown again from the tray with ALH unchecked, but above"
    fi
    sleep 0.6
done

# A double-click toggles twice: the window ends up shown.
xdotool mousemove "$icon_x" "$icon_y" click --repeat 2 --delay 80 1
sleep 1
send state
expect_state "ALH=1 visible=1" "after a double-click on the icon"
mapped || fail "the window is not mapped after a double-click on the icon"

# A right click on the icon opens the tray menu, once. The launcher ends
# cleanly when the system ends it while the menu is open (the menu's loop runs
# apart from the icon's own click handler, whose widget the end deletes), and
# the menu's one entry "終了" saves and ends it.
popups() {
    local id
    for id in $(xwininfo -root -children | awk '/"quillop": \("quillop/ {print $1}'); do
        xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' && echo "$id"
    done
}
one_popup() { [ "$(popups | wc -l)" -eq 1 ]; }
ended() { ! kill -0 "$driver_pid" 2>/dev/null; }
for way in quit choose; do
    if [ "$way" = choose ]; then
        start_driver
        until_true find_icon || fail "no tray icon in trayer for the second launcher"
        sleep 0.5
    fi
    xdotool mousemove "$icon_x" "$icon_y" click 3
    if until_true one_popup; then
        sleep 0.3
        one_popup || fail "$way: the right click opened $(popups | wc -l) menus"
        if [ "$way" = quit ]; then
            send quit
        else
            read -r mx my mw mh <<<"$(xwininfo -id "$(popups)" | awk '/Absolute upper-left X/ {x = $NF}
                /Absolute upper-left Y/ {y = $NF} /Width:/ {w = $NF} /Height:/ {h = $NF} END {print x, y, w, h}')"
            xdotool mousemove $((mx + mw / 2)) $((my + mh / 2)) sleep 0.3 click 1
        fi
    else
        fail "$way: no menu appeared on a right click on the icon"
        send quit
    fi
    until_true ended || fail "$way: the launcher did not end"
    wait "$driver_pid"
    status=$?
    [ "$status" -eq 0 ] || fail "$way: the launcher ended with status $status"
    grep -qx 'ended saved=1' "$work/out" || fail "$way: the launcher ended without saving: '$(last_state)'"
    exec 4>&-
done

if [ "$failures" -gt 0 ]; then
    echo "--- driver stderr"; cat "$work/err"
    exit 1
fi
echo "PASS"
