# shellcheck shell=bash disable=SC2034  # the variables set here are read by the scripts that source it
# Shared by the end-to-end scripts (sourced, not run): a private X display
# with a window manager and a tray host, a private settings directory, the
# launcher started in it, and where its controls stand on the screen.
#
# The geometry follows the window's layout rules: twips at 15 per pixel
# (the display runs at 96 DPI), the background frame at top -100, the pages
# at 120,120 within it, the scroll bar 170 wide right of the pages, the page
# number right of that, the description line below the pages.

E2E_TITLE_PATTERN='^Quillop Ver3\.5'

e2e_require_tools() {
    local tool
    for tool in Xvfb openbox trayer xdotool xwininfo xprop import convert compare "$@"; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
    done
}

# Waits up to $E2E_WAIT tenths of a second (default 100) for a command to succeed.
e2e_until() {
    local n=${E2E_WAIT:-100}
    while [ "$n" -gt 0 ]; do
        "$@" && return 0
        sleep 0.1
        n=$((n - 1))
    done
    return 1
}

e2e_pids=()
e2e_cleanup() {
    local i
    for ((i = ${#e2e_pids[@]} - 1; i >= 0; i--)); do kill "${e2e_pids[i]}" 2>/dev/null; done
    wait 2>/dev/null
    [ -n "${e2e_work:-}" ] && rm -rf "$e2e_work"
}

# Makes the work directory and the private XDG directories; the launcher's
# settings live in $E2E_CONF.
e2e_setup_dirs() {
    e2e_work=$(mktemp -d)
    trap e2e_cleanup EXIT
    export XDG_CONFIG_HOME=$e2e_work/config XDG_RUNTIME_DIR=$e2e_work/runtime
    export XDG_CACHE_HOME=$e2e_work/cache XDG_DATA_HOME=$e2e_work/data
    mkdir -p "$XDG_CONFIG_HOME/quillop" "$XDG_CACHE_HOME" "$XDG_DATA_HOME"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_CONFIG_HOME/quillop"
    E2E_CONF=$XDG_CONFIG_HOME/quillop/QLPconf.ini
    # No session bus: Qt then embeds its tray icon in trayer's XEmbed tray.
    unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY SESSION_MANAGER
    export QT_QPA_PLATFORM=xcb LANG=C.UTF-8
}

# Xvfb on a free display at 96 DPI, openbox, and trayer at the top right.
# -noreset keeps the server from resetting (and refusing connections for a
# moment) whenever its last client leaves.
e2e_start_desktop() {
    Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -dpi 96 -nolisten tcp 3>"$e2e_work/display" >"$e2e_work/xvfb.log" 2>&1 &
    e2e_pids+=($!)
    e2e_until test -s "$e2e_work/display" || { cat "$e2e_work/xvfb.log"; echo "SKIP: Xvfb did not start"; exit 77; }
    DISPLAY=:$(head -n1 "$e2e_work/display")
    export DISPLAY
    openbox >"$e2e_work/openbox.log" 2>&1 &
    e2e_pids+=($!)
    e2e_until sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ||
        { echo "FAIL: openbox did not start"; exit 1; }
    trayer --edge top --align right --widthtype pixel --width 100 --height 24 >"$e2e_work/trayer.log" 2>&1 &
    e2e_pids+=($!)
    e2e_until sh -c "xwininfo -root -tree | grep -q '(\"panel\" \"trayer\")'" ||
        { echo "FAIL: trayer did not start"; exit 1; }
}

# Starts the launcher ($1) and waits until its window is mapped: sets
# E2E_PID and E2E_WIN. Its output goes to $e2e_work/launcher.log.
e2e_start_launcher() {
    "$1" >>"$e2e_work/launcher.log" 2>&1 &
    E2E_PID=$!
    e2e_pids+=("$E2E_PID")
    E2E_WIN=
    e2e_until e2e_find_window || { cat "$e2e_work/launcher.log"; echo "FAIL: the launcher window did not appear"; return 1; }
    e2e_until e2e_mapped || { echo "FAIL: the launcher window is not mapped"; return 1; }
    # The window manager may still move the frame into place.
    e2e_until e2e_settled
}

e2e_find_window() {
    local id
    for id in $(xdotool search --name "$E2E_TITLE_PATTERN" 2>/dev/null); do
        [ "$(xprop -id "$id" _NET_WM_PID 2>/dev/null | awk '{print $NF}')" = "$E2E_PID" ] && { E2E_WIN=$id; return 0; }
    done
    return 1
}
e2e_mapped() { xwininfo -id "$E2E_WIN" 2>/dev/null | grep -q 'Map State: IsViewable'; }
e2e_unmapped() { xwininfo -id "$E2E_WIN" 2>/dev/null | grep -q 'Map State: IsUnMapped'; }
e2e_last_geometry=
e2e_settled() {
    local g
    g=$(e2e_client_geometry)
    [ "$g" = "$e2e_last_geometry" ] && return 0
    e2e_last_geometry=$g
    return 1
}

# The client area: "X Y W H" on the screen.
e2e_client_geometry() {
    xwininfo -id "$E2E_WIN" 2>/dev/null | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
        /Width:/ {w = $NF} /Height:/ {h = $NF} END {print x, y, w, h}'
}

# The window with its frame: "X Y W H", from the client and the frame extents.
e2e_frame_geometry() {
    local x y w h l r t b
    read -r x y w h <<<"$(e2e_client_geometry)"
    IFS=', ' read -r l r t b <<<"$(xprop -id "$E2E_WIN" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= *//p')"
    l=${l:-0} r=${r:-0} t=${t:-0} b=${b:-0}
    echo "$((x - l)) $((y - t)) $((w + l + r)) $((h + t + b))"
}
e2e_frame_origin() {
    local x y w h
    read -r x y w h <<<"$(e2e_frame_geometry)"
    echo "$x $y"
}

# Whether a top-level override-redirect window of the launcher (its menu, a
# tool tip) is shown: the main window is the window manager's child instead.
e2e_popup_shown() {
    local id
    for id in $(xwininfo -root -children | awk '/"quillop": \("quillop"/ {print $1}'); do
        xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' && return 0
    done
    return 1
}

# Twips to pixels as the launcher rounds them (half away from zero).
e2e_px() { awk -v t="$1" 'BEGIN {v = t / 15; printf "%d\n", (v < 0) ? -int(-v + 0.5) : int(v + 0.5)}'; }

# Icon height and width in twips ("SizeX" and "SizeY" of the settings).
E2E_H=240
E2E_W=240
e2e_icon_size() { E2E_H=$1; E2E_W=$2; }

# The client size the layout gives the window: "W H".
e2e_expected_client_size() {
    echo "$(e2e_px $((6 * E2E_W + 400))) $(e2e_px $((2 * E2E_H + 260)))"
}

# A rectangle given in twips within the background frame, on the screen: "X Y W H".
e2e_frame_rect() {
    local cx cy cw ch
    read -r cx cy cw ch <<<"$(e2e_client_geometry)"
    local fy l t r b
    fy=$(e2e_px -100)
    l=$(e2e_px "$1")
    t=$(e2e_px "$2")
    r=$(e2e_px $(($1 + $3)))
    b=$(e2e_px $(($2 + $4)))
    echo "$((cx + l)) $((cy + fy + t)) $((r - l)) $((b - t))"
}

# Position k (0 to 11) of the shown page: "X Y W H".
e2e_slot_rect() {
    local k=$1
    e2e_frame_rect $((120 + (k % 6) * E2E_W)) $((120 + (k / 6) * E2E_H)) "$E2E_W" "$E2E_H"
}
e2e_slot_center() {
    local x y w h
    read -r x y w h <<<"$(e2e_slot_rect "$1")"
    echo "$((x + w / 2)) $((y + h / 2))"
}
e2e_scrollbar_rect() { e2e_frame_rect $((120 + 6 * E2E_W)) 120 170 $((2 * E2E_H)); }
e2e_label_rect() { e2e_frame_rect $((120 + 6 * E2E_W + 170)) 130 90 150; }
e2e_ktext_rect() { e2e_frame_rect 50 $((120 + 2 * E2E_H)) $((6 * E2E_W + 170 + 120 + 90 - 70)) 200; }

# The screen into $1 (PNG).
e2e_shot() { import -window root "$1"; }

# The suites' numbered screenshots into $shots, a failure that leaves one and
# the launcher's output, and a stage heading. A suite may define its own.
shot_no=0
shot() {
    shot_no=$((shot_no + 1))
    e2e_shot "$(printf '%s/%02d-%s.png' "$shots" "$shot_no" "$1")"
}
fail() {
    echo "FAIL: $*"
    shot failure
    echo "--- launcher output"
    cat "$e2e_work/launcher.log"
    exit 1
}
stage() { echo "== $*"; }

# The number of colours in a region ("X Y W H") of a picture.
e2e_colours() {
    local x y w h
    read -r x y w h <<<"$2"
    convert "$1" -crop "${w}x${h}+${x}+${y}" +repage -format '%k' info:
}

# A region ("X Y W H") of the screen as it is now, into $2 (PNG).
e2e_grab() {
    local x y w h
    read -r x y w h <<<"$1"
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$2"
}

# True when two pictures are identical.
e2e_same_picture() { [ "$(compare -metric AE "$1" "$2" null: 2>&1)" = 0 ]; }

# The value of a key in a settings file, "" when absent (keys without regard to case).
e2e_value() {
    awk -v sec="$2" -v key="$3" 'BEGIN {sec = tolower(sec); key = tolower(key)}
        { sub(/\r$/, "") }
        /^\[/ { cur = tolower(substr($0, 2, index($0, "]") - 2)); next }
        cur == sec { i = index($0, "="); if (i && tolower(substr($0, 1, i - 1)) == key) { print substr($0, i + 1); exit } }' "$1"
}

# The tray icon's centre: Qt's embedded window inside trayer's panel. Sets
# E2E_TRAY_X and E2E_TRAY_Y.
e2e_find_tray_icon() {
    local panel line size abs w h ax ay
    panel=$(xwininfo -root -tree | awk '/\("panel" "trayer"\)/ {print $1; exit}')
    [ -n "$panel" ] || return 1
    line=$(xwininfo -id "$panel" -tree | grep '"quillop": ("quillop"' | head -n1)
    [ -n "$line" ] || return 1
    size=$(awk '{for (i = 1; i <= NF; i++) if ($i ~ /^[0-9]+x[0-9]+\+/) {print $i; exit}}' <<<"$line")
    abs=$(awk '{print $NF}' <<<"$line")
    w=${size%%x*}
    h=${size#*x}
    h=${h%%+*}
    ax=${abs#+}
    ax=${ax%%+*}
    ay=${abs##*+}
    [ "$w" -gt 1 ] || return 1
    E2E_TRAY_X=$((ax + w / 2))
    E2E_TRAY_Y=$((ay + h / 2))
}
