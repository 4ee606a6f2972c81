# shellcheck shell=bash disable=SC2034,SC2154  # the variables set here are read, and those read here set, by the scripts that source it
# Shared by the end-to-end scripts that drive quillop.exe under Wine (sourced
# after tests/e2e/e2e_lib.sh, not run): the Wine prefix and the settings
# folder in it, the launcher started and ended, its menus, the slot pictures
# on the screen, and files dropped through the X drag-and-drop protocol.
#
# The sourcing script sets exe, wine_run and shots first (x11_drop where it
# drops files), and QUILLOP_WINEPREFIX for a prefix that outlives the run.

wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver64)

# The desktop, the prefix, and where the settings live: sets drive_c,
# user_dir, appdata, E2E_CONF. Without QUILLOP_WINEPREFIX the run gets a
# fresh prefix of its own in its work directory.
wine_e2e_setup() {
    mkdir -p "$shots"
    rm -f "$shots"/[0-9][0-9]-*.png
    e2e_setup_dirs
    export QUILLOP_WINEPREFIX=${QUILLOP_WINEPREFIX:-$e2e_work/prefix}
    trap wine_cleanup EXIT
    e2e_start_desktop
    echo "display $DISPLAY, launcher $exe"
    # The prefix is made once, before anything waits for a window.
    "$wine_run" cmd /c exit >/dev/null 2>&1
    drive_c=$QUILLOP_WINEPREFIX/drive_c
    user_dir=$(find "$drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n1)
    if [ ! -d "$drive_c/windows" ] || [ -z "$user_dir" ]; then
        echo "FAIL: the Wine prefix was not made"
        exit 1
    fi
    appdata=$user_dir/AppData/Roaming/Quillop
    E2E_CONF=$appdata/QLPconf.ini
}
wine_cleanup() {
    WINEPREFIX=$QUILLOP_WINEPREFIX "$wineserver" -k 2>/dev/null
    WINEPREFIX=$QUILLOP_WINEPREFIX "$wineserver" -w 2>/dev/null
    e2e_cleanup
}

# The settings file as UTF-8 text, whatever its encoding.
utf8_conf() {
    if iconv -f UTF-8 -t UTF-8 "$E2E_CONF" >/dev/null 2>&1; then cat "$E2E_CONF"; else iconv -f CP932 -t UTF-8 "$E2E_CONF"; fi
}
value() { utf8_conf | e2e_value /dev/stdin "$1" "$2"; }
has_value() { [ -f "$E2E_CONF" ] && [ "$(value "$1" "$2")" = "$3" ]; }
expect_value() {
    e2e_until has_value "$1" "$2" "$3" || fail "$4: [$1] $2 is '$(value "$1" "$2")', expected '$3'"
}

E2E_PID=
launcher_running() { [ -n "$E2E_PID" ] && kill -0 "$E2E_PID" 2>/dev/null; }
ended() { ! launcher_running; }
find_wine_window() {
    E2E_WIN=$(xdotool search --name "$E2E_TITLE_PATTERN" 2>/dev/null | head -n1)
    [ -n "$E2E_WIN" ]
}
start_launcher() {
    "$wine_run" "$exe" >>"$e2e_work/launcher.log" 2>&1 &
    E2E_PID=$!
    e2e_pids+=("$E2E_PID")
    E2E_WIN=
    E2E_WAIT=300 e2e_until find_wine_window || fail "the launcher window did not appear"
    e2e_until e2e_mapped || fail "the launcher window is not mapped"
    e2e_last_geometry=
    e2e_until e2e_settled
    activate_launcher
}
activate_launcher() { xdotool windowactivate --sync "$E2E_WIN" 2>/dev/null; }
close_launcher() {
    activate_launcher
    xdotool key --clearmodifiers alt+F4
    e2e_until ended || fail "the launcher did not end on the close box"
}

key() { xdotool key --clearmodifiers "$@"; sleep 0.15; }
move_to_slot() {
    local x y
    read -r x y <<<"$(e2e_slot_center "$1")"
    xdotool mousemove "$x" "$y"
}

# The shown menu of the launcher: a viewable override-redirect window of
# quillop.exe taller than $1 pixels (default 40, more than a tool tip; the
# notification icon's menu of one entry: 10). Prints "X Y W H".
menu_geometry() {
    local id
    for id in $(xwininfo -root -children | awk '/\("quillop.exe" "quillop.exe"\)/ && $2 == "(has" {print $1}'); do
        xwininfo -id "$id" 2>/dev/null | awk -v min="${1:-40}" '/Map State: IsViewable/ {v = 1}
            /Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF} /Width:/ {w = $NF} /Height:/ {h = $NF}
            END {if (!(v && h > min)) exit 1; print x, y, w, h}' &&
            return 0
    done
    return 1
}
# shellcheck disable=SC2120  # the minimum height is given where a menu is smaller
menu_open() { menu_geometry "$@" >/dev/null; }
# shellcheck disable=SC2119  # the slot menu: the default height
menu_closed() { ! menu_open; }
# Right click at X,Y, then the keys that choose an entry, then Return. With
# every entry shown, Down from nothing counts 何もしない 1, 開く 2, 削除 3,
# 関連付けで開く 4, 解説テキストの表示 5, アイコンの説明を書く 6, ページの説明を書く 7,
# 常に手前に表示 8; Up counts 終了 1, 設定保存 2, 設定読込 3, オプション 4,
# 好きなところに格納 5, アイコンの移動をする 6.
choose_at() {
    local x=$1 y=$2 name=$3
    shift 3
    xdotool mousemove "$x" "$y"
    sleep 0.6
    xdotool click 3
    e2e_until menu_open || fail "$name: no menu after a right click at $x,$y"
    key "$@"
    shot "menu-$name"
    key Return
    e2e_until menu_closed || fail "$name: the menu stayed open"
}
# The same on position k of the shown page.
choose() {
    local k=$1 x y
    shift
    read -r x y <<<"$(e2e_slot_center "$k")"
    choose_at "$x" "$y" "$@"
}

# Positions of the shown page with and without a picture, on the screen now.
# A slot's picture is an icon of a hundred colours and more; a position of
# one colour is empty. Anything between is neither: a window that was over
# the position a moment ago and is not painted over yet, say.
slot_colours() { e2e_colours "$now_png" "$(e2e_slot_rect "$1")"; }
slot_blank() { [ "$(slot_colours "$1")" = 1 ]; }
slot_drawn() { [ "$(slot_colours "$1")" -ge 16 ]; }
shows() {
    local k
    now_png=$e2e_work/now.png
    e2e_shot "$now_png"
    for k in $1; do slot_drawn "$k" || return 1; done
    for k in $2; do slot_blank "$k" || return 1; done
    return 0
}
# The pointer away from the window, so that no tool tip of a slot under it
# covers other positions or takes a drop.
park_pointer() { xdotool mousemove 5 1000; }
expect_shows() {
    park_pointer
    e2e_until shows "$1" "$2" || fail "$3: positions with icons should be '$1', without '$2'"
}

# Drops FILE on position k of the shown page with x11_drop (the path in
# $x11_drop); fails unless the launcher took it. The launcher has the drop in
# its queue by the time x11_drop returns, ahead of any later input.
drop_on() {
    local k=$1 file=$2 tx ty answer
    read -r tx ty <<<"$(e2e_slot_center "$k")"
    park_pointer
    answer=$("$x11_drop" "$tx" $((ty + 1)) "$file") || fail "a drop on position $k: $answer"
}
