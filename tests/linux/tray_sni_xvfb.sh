#!/usr/bin/env bash
# The tray menu on a StatusNotifierItem host: xfce4-panel's notification-area
# plugin, started before the launcher, on a private session bus. The icon is
# then a StatusNotifierItem, and a right click shows the menu the item
# exports (com.canonical.dbusmenu), never asking the launcher. The test reads
# the exported menu over the bus, right-clicks the icon in the panel, chooses
# the menu's one entry and checks that the launcher saved and ended.
# Usage: tray_sni_xvfb.sh <quillop_tray_driver>. Exit 77 = skipped.
set -u
driver=$1

for tool in Xvfb openbox xfce4-panel dbus-daemon gdbus xdotool xprop xwininfo; do
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

export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime XDG_CACHE_HOME=$work/cache
export XDG_DATA_HOME=$work/data
mkdir -p "$HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY SESSION_MANAGER
export QT_QPA_PLATFORM=xcb

# One panel along the top edge holding nothing but the notification area.
channel=$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml
mkdir -p "$channel"
cat >"$channel/xfce4-panel.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="size" type="uint" value="26"/>
      <property name="plugin-ids" type="array">
        <value type="int" value="1"/>
      </property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="systray"/>
  </property>
</channel>
XML

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
until_true() {
    for _ in $(seq 50); do "$@" && return 0; sleep 0.1; done
    return 1
}

Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
until_true test -s "$work/display" || { echo "SKIP: Xvfb did not start"; exit 77; }
export DISPLAY=:$(head -n1 "$work/display")

dbus-daemon --session --nofork --address="unix:path=$XDG_RUNTIME_DIR/bus" --print-address=3 3>"$work/bus" \
    >"$work/dbus.log" 2>&1 &
pids+=($!)
until_true test -s "$work/bus" || { echo "SKIP: the session bus did not start"; exit 77; }
export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus")

bus_call() { gdbus call --session "$@" 2>/dev/null; }
watcher_prop() {
    bus_call -d org.kde.StatusNotifierWatcher -o /StatusNotifierWatcher \
        -m org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierWatcher "$1"
}

openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
until_true sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' || { echo "SKIP: openbox did not start"; exit 77; }
xfce4-panel >"$work/panel.log" 2>&1 &
pids+=($!)
host_ready() { watcher_prop IsStatusNotifierHostRegistered | grep -q true; }
until_true host_ready || { cat "$work/panel.log"; echo "SKIP: xfce4-panel registered no StatusNotifierItem host"; exit 77; }

mkfifo "$work/in"
"$driver" <"$work/in" >"$work/out" 2>"$work/err" &
driver_pid=$!
pids+=($driver_pid)
exec 4>"$work/in"

window=""
find_window() { window=$(xdotool search --name '^Quillop Ver3\.5' 2>/dev/null | head -n1); [ -n "$window" ]; }
until_true find_window || { cat "$work/err"; echo "FAIL: the launcher window did not appear"; exit 1; }

# The item the launcher registered with the panel's watcher: the one whose
# bus connection belongs to the launcher's process.
item=""
find_item() {
    local entry owner
    for entry in $(watcher_prop RegisteredStatusNotifierItems | grep -o "[:.A-Za-z0-9_-]*/[A-Za-z/]*"); do
        owner=$(bus_call -d org.freedesktop.DBus -o /org/freedesktop/DBus \
            -m org.freedesktop.DBus.GetConnectionUnixProcessID "${entry%%/*}" | grep -o '[0-9][0-9]*' | tail -n1)
        [ "$owner" = "$driver_pid" ] && { item=$entry; return 0; }
    done
    return 1
}
until_true find_item || { watcher_prop RegisteredStatusNotifierItems; cat "$work/err"; echo "FAIL: the launcher registered no StatusNotifierItem"; exit 1; }
service=${item%%/*} path=/${item#*/}
menu=$(bus_call -d "$service" -o "$path" -m org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierItem Menu |
    grep -o "objectpath '[^']*'" | cut -d"'" -f2)
echo "item $service$path, menu $menu"
if [ -z "$menu" ] || [ "$menu" = /NO_DBUSMENU ]; then
    fail "the item exports no menu (Menu = '$menu')"
else
    layout=$(bus_call -d "$service" -o "$menu" -m com.canonical.dbusmenu.GetLayout -- 0 -1 '@as []')
    echo "layout: $layout"
    # The one entry, and nothing else that a host would show as an entry.
    [ "$(grep -o "'label': <'[^']*'>" <<<"$layout")" = "'label': <'終了'>" ] ||
        fail "the exported menu is not the one entry 終了: $layout"
fi

# The icon sits at the left end of the panel along the top edge. A right
# click there makes the panel show the exported menu in a window of its own.
# Top-level windows shown on the screen (toolkits keep mapped helper windows
# off it, at negative positions).
viewable_tops() {
    local id
    for id in $(xwininfo -root -children | awk '/^ +0x/ && $NF !~ /-/ {print $1}'); do
        xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' && echo "$id"
    done
}
launcher_popup() {
    local id
    for id in $(xwininfo -root -children | awk '/"quillop": \("quillop"/ {print $1}'); do
        xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' && return 0
    done
    return 1
}
viewable_tops | sort >"$work/before"
new_window=""
menu_shown() {
    new_window=$(viewable_tops | sort | comm -13 "$work/before" - | while read -r id; do
        xwininfo -id "$id" | grep -q '"quillop"' || echo "$id"; done | head -n1)
    [ -n "$new_window" ]
}
xdotool mousemove 13 13 click 3
if ! until_true menu_shown; then
    fail "no menu appeared on a right click on the icon"
else
    sleep 0.3
    grep 'layout failed' "$work/panel.log" && fail "the panel could not read the menu"
    launcher_popup && fail "the launcher opened a menu of its own besides the panel's"
    read -r mx my mw mh <<<"$(xwininfo -id "$new_window" | awk '/Absolute upper-left X/ {x = $NF}
        /Absolute upper-left Y/ {y = $NF} /Width:/ {w = $NF} /Height:/ {h = $NF} END {print x, y, w, h}')"
    echo "menu window $new_window at $mx,$my, ${mw}x$mh"
    # The menu's one entry fills it.
    xdotool mousemove $((mx + mw / 2)) $((my + mh / 2)) sleep 0.3 click 1
fi
ended() { ! kill -0 "$driver_pid" 2>/dev/null; }
until_true ended || fail "choosing the menu's entry did not end the launcher"
grep -qx 'ended saved=1' "$work/out" || fail "the launcher ended without saving: '$(tail -n1 "$work/out")'"

if [ "$failures" -gt 0 ]; then
    echo "--- driver stderr"; cat "$work/err"
    echo "--- panel"; cat "$work/panel.log"
    exit 1
fi
echo "PASS"
