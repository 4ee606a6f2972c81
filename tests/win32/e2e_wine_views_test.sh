#!/usr/bin/env bash
# quillop.exe under Wine, Xvfb, openbox and trayer, driven with xdotool: the
# options dialog (a slider moved with the keyboard, "変更" resizing the window
# and the slots), the description dialog (typed text landing in the settings
# file as SETUMEI / PSetumei in code page 932, the icon's cut at 20
# characters, and shown as the hover text),
# the description-line switch, always on top (_NET_WM_STATE_ABOVE), dragging
# the window by its page label, description line and background, a saved position off every monitor pulled
# back, and the notification-area icon (a click hides and shows, its menu's
# 終了 saves and ends). Each stage leaves a picture in the shots directory.
#
#   e2e_wine_views_test.sh QUILLOP_EXE WINE_RUN PREFIX_DIR SHOTS_DIR TYPE_TEXT     exit 77 = skipped
# PREFIX_DIR: a Wine prefix that no other test uses at the same time (made at
# the first run);
# TYPE_TEXT: x11_type_text, which types Japanese without racing Wine's keyboard map.
set -u
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source-path=SCRIPTDIR source=../e2e/e2e_lib.sh
source "$here/../e2e/e2e_lib.sh"
# shellcheck source-path=SCRIPTDIR source=e2e_wine_lib.sh
source "$here/e2e_wine_lib.sh"

exe=$1
wine_run=$2
export QUILLOP_WINEPREFIX=$3
shots=$4
type_text=$5
for f in "$exe" "$wine_run" "$type_text"; do [ -e "$f" ] || { echo "FAIL: missing $f"; exit 1; }; done
command -v wine >/dev/null || { echo "SKIP: wine is not installed"; exit 77; }
e2e_require_tools iconv
wine_e2e_setup

# settings LEFT TOP: a fresh settings folder, in code page 932 as on Windows.
settings() {
    rm -rf "$appdata"
    mkdir -p "$appdata"
    {
        printf '[DATA]\r\n'
        printf 'TEXT0=C:\\windows\\notepad.exe\r\nSETUMEI0=\r\nexetype0=1\r\n'
        printf 'TEXT1=C:\\windows\\regedit.exe\r\nSETUMEI1=レジストリ\r\nexetype1=1\r\n'
        printf 'PSetumei0=\r\n'
        printf '[Option]\r\nSUKIchk=True\r\nALLWAYS=False\r\ntop=%s\r\nleft=%s\r\nPage=0\r\n' "$2" "$1"
        printf 'SizeX=480\r\nSizeY=480\r\nSSW=True\r\n'
    } | iconv -f UTF-8 -t CP932 >"$E2E_CONF"
}

window_named() { xdotool search --name "$1" 2>/dev/null | head -n1; }
viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }
dialog_shown() {
    local w
    w=$(window_named "$1") && [ -n "$w" ] && viewable "$w"
}
dialog_gone() { ! dialog_shown "$1"; }
# Typing goes to the dialog only once the window manager has given it the focus.
dialog_active() {
    local w
    w=$(window_named "$1") && [ -n "$w" ] && [ "$(xdotool getactivewindow 2>/dev/null)" = "$w" ]
}
above() { xprop -id "$E2E_WIN" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_ABOVE; }
not_above() { ! above; }

# ---------------------------------------------------------------------------
stage "1 a position saved off every monitor is pulled back onto the screen"
settings 90000 -30000
start_launcher
read -r fx fy fw fh <<<"$(e2e_frame_geometry)"
[ "$fx" -ge 0 ] && [ "$fy" -ge 0 ] && [ $((fx + fw)) -le 1280 ] && [ $((fy + fh)) -le 1024 ] ||
    fail "the window stands at $fx,$fy (${fw}x$fh), off the 1280x1024 screen"
shot pulled-back
close_launcher
left=$(value Option left)
top=$(value Option top)
[ "$left" -ge 0 ] && [ "$left" -le $((1280 * 15)) ] && [ "$top" -ge 0 ] && [ "$top" -le $((1024 * 15)) ] ||
    fail "the position saved after the pull-back is $left,$top twips"

stage "2 the options dialog: a slider moved with the keyboard, 変更 resizes the window and the slots"
settings 3000 1500
e2e_icon_size 480 480
start_launcher
[ "$(e2e_client_geometry | cut -d' ' -f3,4)" = "$(e2e_expected_client_size)" ] || fail "the start-up size is not 480x480 twips' worth"
choose 0 options Up Up Up Up
e2e_until dialog_shown '^Qlp Option$' || fail "オプション did not show the options dialog"
e2e_until dialog_active '^Qlp Option$' || fail "the options dialog did not get the focus"
options=$(window_named '^Qlp Option$')
# The width slider has the focus: eight steps of one pixel to the left.
for _ in 1 2 3 4 5 6 7 8; do key Left; done
shot options-slider-moved
# The main window keeps its size until 変更.
[ "$(e2e_client_geometry | cut -d' ' -f3,4)" = "$(e2e_expected_client_size)" ] || fail "moving the slider resized the window"
key Tab
key Tab
key space
e2e_icon_size 480 360
resized() { [ "$(e2e_client_geometry | cut -d' ' -f3,4)" = "$(e2e_expected_client_size)" ]; }
e2e_until resized || fail "変更: the client area is $(e2e_client_geometry | cut -d' ' -f3,4), expected $(e2e_expected_client_size) for 24 x 32 pixel icons"
shot options-applied
xdotool windowactivate --sync "$options" 2>/dev/null
key alt+F4
e2e_until dialog_gone '^Qlp Option$' || fail "the options dialog's close box did not hide it"
xdotool search --name '^Qlp Option$' >/dev/null || fail "the options dialog was destroyed instead of hidden"
choose 0 save Up Up
expect_value Option SizeX 480 "設定保存 after 変更 (the height)"
expect_value Option SizeY 360 "設定保存 after 変更 (the width)"

stage "3 the description dialog: icon and page descriptions stored in code page 932, shown as hover text"
ktext=$e2e_work/ktext.png
grab_ktext() { e2e_grab "$(e2e_ktext_rect)" "$ktext"; }
xdotool mousemove 5 1000
sleep 0.6
grab_ktext
cp "$ktext" "$e2e_work/ktext-before.png"
choose 0 icon-description Down Down Down Down Down Down
e2e_until dialog_shown '^Quillop $' || fail "アイコンの説明を書く did not show the description dialog"
e2e_until dialog_active '^Quillop $' || fail "the description dialog did not get the focus"
# 24 characters: the box takes the first 20.
"$type_text" "メモ Memo 1234567890123456" || fail "could not type"
key Return
e2e_until dialog_gone '^Quillop $' || fail "Enter did not close the description dialog"
choose 1 page-description Down Down Down Down Down Down Down
e2e_until dialog_shown '^Quillop $' || fail "ページの説明を書く did not show the description dialog"
e2e_until dialog_active '^Quillop $' || fail "the description dialog did not get the focus"
"$type_text" "tools 道具" || fail "could not type"
shot page-description
key Return
e2e_until dialog_gone '^Quillop $' || fail "Enter did not close the page description"
choose 0 save-descriptions Up Up
expect_value DATA SETUMEI0 "メモ Memo 123456789012" "the icon description after 設定保存"
expect_value DATA PSetumei0 "tools 道具" "the page description after 設定保存"
expect_value DATA SETUMEI1 "レジストリ" "the other slot's description"
iconv -f UTF-8 -t UTF-8 "$E2E_CONF" >/dev/null 2>&1 && fail "the settings file is no longer in code page 932"
move_to_slot 0
hover_changed() { grab_ktext && ! e2e_same_picture "$ktext" "$e2e_work/ktext-before.png"; }
e2e_until hover_changed || fail "hovering over slot 0 did not show its description on the description line"
shot hover-text

stage "4 the description-line switch shortens and restores the window"
read -r _ _ w0 h0 <<<"$(e2e_client_geometry)"
choose 0 ktext-off Down Down Down Down Down
ktext_h=$(e2e_px 200)
shorter() { read -r _ _ w h <<<"$(e2e_client_geometry)"; [ "$w" = "$w0" ] && [ "$h" = $((h0 - ktext_h)) ]; }
e2e_until shorter || fail "解説テキストの表示 off: client $(e2e_client_geometry), expected ${w0}x$((h0 - ktext_h))"
shot ktext-off
choose 0 ktext-on Down Down Down Down Down
restored() { read -r _ _ w h <<<"$(e2e_client_geometry)"; [ "$w" = "$w0" ] && [ "$h" = "$h0" ]; }
e2e_until restored || fail "解説テキストの表示 on: client $(e2e_client_geometry), expected ${w0}x$h0"

stage "5 always on top"
not_above || fail "the window is on top before 常に手前に表示"
choose 0 on-top Down Down Down Down Down Down Down Down
e2e_until above || fail "常に手前に表示 did not put the window on top"
choose 0 not-on-top Down Down Down Down Down Down Down Down
e2e_until not_above || fail "常に手前に表示 a second time left the window on top"

stage "6 dragging the window by its page label, its description line and its background"
# drag_from X Y NAME: presses the left button at X,Y and moves the mouse by 120,60.
drag_from() {
    local x=$1 y=$2 name=$3 ox oy i
    read -r ox oy <<<"$(e2e_frame_origin)"
    xdotool mousemove "$x" "$y"
    sleep 0.6
    xdotool mousedown 1
    for i in 1 2 3 4 5 6 7 8 9 10; do
        xdotool mousemove $((x + 12 * i)) $((y + 6 * i))
        sleep 0.05
    done
    xdotool mouseup 1
    moved() { read -r nx ny <<<"$(e2e_frame_origin)"; [ $((nx - ox)) -ge 100 ] && [ $((ny - oy)) -ge 50 ]; }
    e2e_until moved || fail "dragging the $name by 120,60 moved the window from $ox,$oy to $(e2e_frame_origin)"
    e2e_last_geometry=
    e2e_until e2e_settled
}
read -r lx ly lw lh <<<"$(e2e_label_rect)"
drag_from $((lx + lw / 2)) $((ly + lh / 2)) "page label"
shot dragged-by-label
read -r kx ky kw kh <<<"$(e2e_ktext_rect)"
drag_from $((kx + kw / 2)) $((ky + kh / 2)) "description line"
# The background frame shows in the strip left of the pages.
read -r cx cy _ ch <<<"$(e2e_client_geometry)"
drag_from $((cx + 3)) $((cy + ch / 3)) "background"
shot dragged

stage "7 the notification-area icon: a click hides and shows, its menu's 終了 saves and ends"
tray_icon() {
    local panel line size abs w h ax ay
    panel=$(xwininfo -root -tree | awk '/\("panel" "trayer"\)/ {print $1; exit}')
    [ -n "$panel" ] || return 1
    line=$(xwininfo -id "$panel" -tree | awk '/[0-9]+x[0-9]+\+/ && !/"panel"/' | head -n1)
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
e2e_until tray_icon || fail "no icon in the notification area"
xdotool mousemove "$E2E_TRAY_X" "$E2E_TRAY_Y"
sleep 0.6
xdotool click 1
e2e_until e2e_unmapped || fail "a click on the notification icon did not hide the window"
shot hidden
sleep 0.6
xdotool click 1
e2e_until e2e_mapped || fail "a second click on the notification icon did not show the window"
shot shown-again
rm -f "$E2E_CONF"
sleep 0.6
xdotool click 3
e2e_until menu_open 10 || fail "no menu after a right click on the notification icon"
shot tray-menu
key Down
key Return
e2e_until ended || fail "the notification icon's 終了 did not end the launcher"
[ -f "$E2E_CONF" ] || fail "終了 from the notification icon saved no settings"
expect_value DATA SETUMEI0 "メモ Memo 123456789012" "終了 from the notification icon"
echo "PASS ($shot_no pictures in $shots)"
