#!/usr/bin/env bash
# quillop.exe under Wine, Xvfb, openbox and trayer, driven with xdotool and
# files dropped through the X drag-and-drop protocol (Wine turns such a drop
# into WM_DROPFILES):
# where a drop lands with "好きなところに格納" checked (the slot it was dropped
# on, and nothing on a filled one) and unchecked (the first free slot, the
# page shown staying), the switch kept in the settings file across a restart;
# and the right click on the description line: the slot menu without a slot,
# whose slot entries do nothing. Each stage leaves a picture in the shots
# directory; the checks are on the screen's slot regions, the menu's window
# and the settings file.
#
#   e2e_wine_drop_menu_test.sh QUILLOP_EXE WINE_RUN PREFIX_DIR SHOTS_DIR X11_DROP     exit 77 = skipped
# PREFIX_DIR: a Wine prefix that no other test uses at the same time (made at
# the first run); X11_DROP: x11_drop, which drops files at a point of the screen.
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
x11_drop=$5
for f in "$exe" "$wine_run" "$x11_drop"; do [ -e "$f" ] || { echo "FAIL: missing $f"; exit 1; }; done
command -v wine >/dev/null || { echo "SKIP: wine is not installed"; exit 77; }
e2e_require_tools iconv
wine_e2e_setup

# A fresh settings folder, in code page 932 as on Windows: slots 0 and 1
# filled, the description line shown, the drop switch as $1.
settings() {
    rm -rf "$appdata"
    mkdir -p "$appdata"
    {
        printf '[DATA]\r\n'
        printf 'TEXT0=C:\\windows\\notepad.exe\r\nexetype0=1\r\n'
        printf 'TEXT1=C:\\windows\\regedit.exe\r\nSETUMEI1=レジストリ\r\nexetype1=1\r\n'
        printf '[Option]\r\nSUKIchk=%s\r\nALLWAYS=False\r\ntop=1500\r\nleft=3000\r\nPage=0\r\n' "$1"
        printf 'SizeX=480\r\nSizeY=480\r\nSSW=True\r\n'
    } | iconv -f UTF-8 -t CP932 >"$E2E_CONF"
}
e2e_icon_size 480 480
mkdir -p "$drive_c/e2e"
echo "a file dropped from the file manager" >"$drive_c/e2e/dropped.txt"
dropped='C:\e2e\dropped.txt'
drop() { drop_on "$1" "$drive_c/e2e/dropped.txt"; }

# 設定保存 from the menu of position k, into a settings file made afresh, so
# that what it holds is what this save wrote.
save_from() {
    rm -f "$E2E_CONF"
    choose "$1" "$2" Up Up
    e2e_until test -f "$E2E_CONF" || fail "$2: 設定保存 wrote no settings file"
}
# Which slots hold the dropped file in the settings file: "n n ...".
slots_with_drop() {
    local n out=
    for n in $(seq 0 119); do [ "$(value DATA "TEXT$n")" = "$dropped" ] && out="$out $n"; done
    echo "${out# }"
}
expect_drop_in() { [ "$(slots_with_drop)" = "$1" ] || fail "$2: the dropped file is in slots '$(slots_with_drop)', expected '$1'"; }

# ---------------------------------------------------------------------------
stage "1 好きなところに格納 checked: a drop lands on the slot it was dropped on"
settings True
start_launcher
key 5
expect_shows "" "0 1 2 3 4 5 6 7 8 9 10 11" "page 5 before the drops"
# Position 3 of page 5 is slot 63.
drop 3
expect_shows "3" "0 1 2 4 5 6 7 8 9 10 11" "a drop on position 3 of page 5"
shot dropped-where-chosen
# A drop on a filled slot changes nothing.
drop 3
save_from 0 save-after-drops
expect_drop_in "63" "a drop on slot 63, then one on it again"
expect_value Option SUKIchk True "設定保存 with 好きなところに格納 checked"
expect_shows "3" "0 1 2 4 5 6 7 8 9 10 11" "page 5 after a drop on a filled slot"

stage "2 好きなところに格納 unchecked: a drop lands in the first free slot, the page stays"
choose 0 drop-switch-off Up Up Up Up Up
drop 4
save_from 0 save-after-first-free
expect_drop_in "2 63" "a drop on position 4 of page 5 with the switch off"
expect_value Option SUKIchk False "設定保存 with 好きなところに格納 unchecked"
expect_value Option Page 5 "the page after a drop into the first free slot"
expect_shows "3" "0 1 2 4 5 6 7 8 9 10 11" "page 5 after a drop into slot 2"
activate_launcher
key 0
expect_shows "0 1 2" "3 4 5 6 7 8 9 10 11" "page 0 after a drop into slot 2"
shot first-free

stage "3 the unchecked switch outlasts a restart, and checked again it holds"
close_launcher
expect_value Option SUKIchk False "the close box with the switch off"
start_launcher
drop 8
expect_shows "0 1 2 3" "4 5 6 7 8 9 10 11" "a drop on position 8 after the restart"
shot first-free-after-restart
choose 0 drop-switch-on Up Up Up Up Up
drop 9
expect_shows "0 1 2 3 9" "4 5 6 7 8 10 11" "a drop on position 9 with the switch checked again"
save_from 0 save-switch-on
expect_drop_in "2 3 9 63" "the drops after the restart"
expect_value Option SUKIchk True "設定保存 with 好きなところに格納 checked again"

stage "4 a right click on the description line: the slot menu without a slot"
read -r kx ky kw kh <<<"$(e2e_ktext_rect)"
line_x=$((kx + kw / 2))
line_y=$((ky + kh / 2))
# The menu of filled slot 0 names its target, which widens it.
move_to_slot 0
sleep 0.6
xdotool click 3
e2e_until menu_open || fail "no menu after a right click on slot 0"
read -r _ _ slot_menu_w _ <<<"$(menu_geometry)"
key Escape
e2e_until menu_closed || fail "Escape left the slot menu open"
xdotool mousemove "$line_x" "$line_y"
sleep 0.6
xdotool click 3
e2e_until menu_open || fail "no menu after a right click on the description line"
read -r mx my line_menu_w _ <<<"$(menu_geometry)"
shot description-line-menu
if [ $((mx - line_x)) -lt -2 ] || [ $((mx - line_x)) -gt 4 ] || [ $((my - line_y)) -lt -2 ] || [ $((my - line_y)) -gt 4 ]; then
    fail "the description line's menu opened at $mx,$my, not at the mouse at $line_x,$line_y"
fi
[ "$line_menu_w" -lt "$slot_menu_w" ] ||
    fail "the description line's menu is $line_menu_w pixels wide, as wide as slot 0's ($slot_menu_w): its first entry still names a slot"
key Escape
e2e_until menu_closed || fail "Escape left the description line's menu open"
# Its 削除, 関連付けで開く and アイコンの説明を書く are greyed: chosen, they act on
# no slot (slot 0, the last slot whose menu opened, least of all).
choose_at "$line_x" "$line_y" line-delete Down Down Down
choose_at "$line_x" "$line_y" line-launch-mode Down Down Down Down
choose_at "$line_x" "$line_y" line-icon-description Down Down Down Down Down Down
# Its other entries work: 設定保存. It also comes after the three above, so
# the file and the screen show all they did.
rm -f "$E2E_CONF"
choose_at "$line_x" "$line_y" line-save Up Up
e2e_until test -f "$E2E_CONF" || fail "設定保存 from the description line wrote no settings file"
dialog_shown() {
    local w
    w=$(xdotool search --name '^Quillop $' 2>/dev/null | head -n1)
    [ -n "$w" ] && xwininfo -id "$w" 2>/dev/null | grep -q 'Map State: IsViewable'
}
dialog_shown && fail "アイコンの説明を書く from the description line opened the description dialog"
expect_value DATA TEXT0 'C:\windows\notepad.exe' "削除 from the description line"
expect_value DATA exetype0 1 "関連付けで開く from the description line"
expect_value DATA SETUMEI0 "" "アイコンの説明を書く from the description line"
expect_shows "0 1 2 3 9" "4 5 6 7 8 10 11" "page 0 after the description line's menu"
close_launcher
echo "PASS ($shot_no pictures in $shots)"
