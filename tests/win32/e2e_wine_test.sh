#!/usr/bin/env bash
# quillop.exe under Wine, Xvfb, openbox and trayer, in a private Wine prefix
# and a Japanese locale (code page 932), driven with real input from xdotool:
# the import of an earlier version's settings from the Windows directory, the
# start-up geometry and page, digits and letters, F1 on pages 0, 2 and 3, a
# click starting a program with its arguments, a drop through the X
# drag-and-drop protocol,
# the slot menu's 削除 / 設定保存 / 終了, a move from page 0 to page 4 held
# over the scroll bar, the notification icon, the close box saving, the import from the virtualised
# Windows directory, the end of the session saving, a second start, and the
# message of a full launcher. Each stage leaves a
# picture in the shots directory; the checks are on window geometry, the
# files the started programs write, the settings file and the screen's slot
# regions.
#
#   e2e_wine_test.sh QUILLOP_EXE ARGS_PROBE_EXE X11_DROP WINE_RUN SHOTS_DIR     exit 77 = skipped
set -u
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source-path=SCRIPTDIR source=../e2e/e2e_lib.sh
source "$here/../e2e/e2e_lib.sh"
# shellcheck source-path=SCRIPTDIR source=e2e_wine_lib.sh
source "$here/e2e_wine_lib.sh"

exe=$1
probe=$2
x11_drop=$3
wine_run=$4
shots=$5
for f in "$exe" "$probe" "$x11_drop" "$wine_run"; do [ -e "$f" ] || { echo "FAIL: missing $f"; exit 1; }; done
command -v wine >/dev/null || { echo "SKIP: wine is not installed"; exit 77; }
e2e_require_tools iconv
unset QUILLOP_WINEPREFIX
wine_e2e_setup
virtual_store=$user_dir/AppData/Local/VirtualStore/Windows

# --- The prepared machine: a program that reports its arguments, documents,
# and an earlier version's settings in the Windows directory, in code page 932.
mkdir -p "$drive_c/e2e/my tools" "$drive_c/e2e/marks" "$drive_c/e2e/docs"
cp "$probe" "$drive_c/e2e/my tools/probe.exe"
marks=$drive_c/e2e/marks
echo "minutes of the meeting" >"$drive_c/e2e/docs/notes.txt"
echo "a file dropped from the file manager" >"$drive_c/e2e/docs/dropped.txt"
probe_line() { printf '"C:\\e2e\\my tools\\probe.exe" "C:\\e2e\\marks\\%s.txt" %s' "$1" "$2"; }
{
    printf '[DATA]\r\n'
    printf 'TEXT0=%s\r\nSETUMEI0=最初のプログラム\r\nexetype0=1\r\n' "$(probe_line slot0 '"first arg" second')"
    printf 'TEXT1=%s\r\nSETUMEI1=二番目\r\nexetype1=1\r\n' "$(probe_line slot1 'x&y "z w"')"
    printf 'TEXT2=C:\\e2e\\docs\\notes.txt\r\nSETUMEI2=議事録\r\nexetype2=0\r\n'
    printf 'TEXT3=C:\\windows\\notepad.exe\r\nexetype3=1\r\n'
    printf 'TEXT4=C:\\e2e\\docs\r\nexetype4=0\r\n'
    printf 'TEXT24=%s\r\nexetype24=1\r\n' "$(probe_line slot24 page2)"
    printf 'TEXT36=%s\r\nexetype36=1\r\n' "$(probe_line slot36 page3)"
    printf 'TEXT65=C:\\windows\\regedit.exe\r\nSETUMEI65=レジストリ\r\nexetype65=0\r\n'
    printf 'PSetumei0=道具\r\nPSetumei5=システム\r\n'
    printf '[Option]\r\nSUKIchk=True\r\nALLWAYS=False\r\ntop=1500\r\nleft=3000\r\nPage=0\r\nSizeX=480\r\nSizeY=480\r\n'
} | iconv -f UTF-8 -t CP932 >"$drive_c/windows/QLPconf.ini"
printf 'not a picture of ours' >"$drive_c/windows/Licn99"
cp "$drive_c/windows/QLPconf.ini" "$e2e_work/imported.ini"
e2e_icon_size 480 480

label=$e2e_work/label.png
grab_label() { e2e_grab "$(e2e_label_rect)" "$label"; }
label_is() { grab_label && e2e_same_picture "$label" "$e2e_work/page$1.png"; }
expect_page() { e2e_until label_is "$1" || fail "$2: the page label does not show page $1"; }
label_settled() {
    cp "$label" "$e2e_work/prev.png"
    grab_label && e2e_same_picture "$label" "$e2e_work/prev.png"
}
page_now() {
    local p
    grab_label
    for p in 0 1 2 3 4 5 6 7 8 9; do e2e_same_picture "$label" "$e2e_work/page$p.png" && { echo "$p"; return; }; done
    echo "?"
}

probe_args() { grep '^arg=' "$marks/$1.txt" | cut -d= -f2- | paste -sd'|'; }
probe_show() { sed -n 's/^show=//p' "$marks/$1.txt"; }

# ---------------------------------------------------------------------------
stage "1 start-up imports the earlier settings and restores them"
start_launcher
[ -f "$E2E_CONF" ] || fail "no settings in %APPDATA%\\Quillop after the first start"
cmp -s "$E2E_CONF" "$e2e_work/imported.ini" || fail "the imported settings differ from the Windows directory's"
cmp -s "$drive_c/windows/QLPconf.ini" "$e2e_work/imported.ini" || fail "the import changed or moved the original"
[ -f "$appdata/Licn99" ] && [ -f "$drive_c/windows/Licn99" ] || fail "the slot picture files were not copied"
read -r cx cy cw ch <<<"$(e2e_client_geometry)"
[ "$cw $ch" = "$(e2e_expected_client_size)" ] ||
    fail "client area ${cw}x$ch, the icon size 480x480 twips gives $(e2e_expected_client_size | tr ' ' x)"
# The window rectangle stands at 3000,1500 twips (200,100 pixels); the client
# lies inside Wine's own border and caption, whatever openbox draws around it.
[ $((cx - 200)) -ge 0 ] && [ $((cx - 200)) -le 10 ] && [ $((cy - 100)) -ge 10 ] && [ $((cy - 100)) -le 40 ] ||
    fail "client area at $cx,$cy; the window was saved at 200,100"
# Slots 0 and 1 hold command lines, which have no icon of their own.
expect_shows "2 3 4" "0 1 5 6 7 8 9 10 11" "slot pictures at start-up"
shot startup

stage "2 digits and letters turn pages"
grab_label
cp "$label" "$e2e_work/page0.png"
for p in 1 2 3 4 5 6 7 8 9; do
    key "$p"
    changed() { grab_label && ! e2e_same_picture "$label" "$e2e_work/page$((p - 1)).png"; }
    e2e_until changed || fail "key $p: the page label did not change"
    e2e_until label_settled || fail "key $p: the page label keeps changing"
    cp "$label" "$e2e_work/page$p.png"
done
for p in 0 1 2 3 4 5 6 7 8; do
    for q in $(seq $((p + 1)) 9); do
        e2e_same_picture "$e2e_work/page$p.png" "$e2e_work/page$q.png" && fail "pages $p and $q have the same label"
    done
done
key 5
expect_page 5 "key 5"
expect_shows "5" "0 1 2 3 4 6 7 8 9 10 11" "page 5 shows slot 65 alone"
shot page-5
# The letters, and after "Z" the logo and menu keys (codes 91 and 93).
for pair in a:0 j:9 k:0 t:9 u:0 z:5 a:0 f:5 k:0 p:5 shift+b:1 Super_L:6 Menu:8; do
    key "${pair%%:*}"
    expect_page "${pair##*:}" "key ${pair%%:*}"
done

stage "3 F1 starts the slot of the block numbered as the page"
key 0
expect_page 0 "key 0"
key F1
e2e_until test -f "$marks/slot0.txt" || fail "F1 on page 0 did not start slot 0's program"
[ "$(probe_args slot0)" = "first arg|second" ] || fail "slot 0's program got '$(probe_args slot0)'"
[ "$(probe_show slot0)" = 2 ] || fail "slot 0's program was not asked to show minimised (show=$(probe_show slot0))"
key 2
expect_page 2 "key 2"
key F1
e2e_until test -f "$marks/slot24.txt" || fail "F1 on page 2 did not start slot 24's program"
key 3
expect_page 3 "key 3"
key F1
e2e_until test -f "$marks/slot36.txt" || fail "F1 on page 3 did not start slot 36's program"
[ "$(probe_args slot36)" = page3 ] || fail "slot 36's program got '$(probe_args slot36)'"
[ -f "$marks/slot1.txt" ] && fail "slot 1's program started without being asked"
shot function-keys

stage "4 a click starts a slot's program with its arguments, no shell between"
key 0
expect_page 0 "key 0"
move_to_slot 1
sleep 0.6
xdotool click 1
e2e_until test -f "$marks/slot1.txt" || fail "a click on slot 1 did not start its program"
[ "$(probe_args slot1)" = "x&y|z w" ] || fail "slot 1's program got '$(probe_args slot1)'"
grep -qi '^parent=quillop.exe' "$marks/slot1.txt" || fail "slot 1's program was started by $(sed -n 's/^parent=//p' "$marks/slot1.txt")"
shot click

stage "5 the slot menu: 削除 writes at once"
choose 2 delete Down Down Down
for k in TEXT2 SETUMEI2 exetype2; do expect_value DATA "$k" NL "削除 of slot 2, at once"; done
expect_value DATA SETUMEI1 "二番目" "削除 of slot 2 leaves slot 1"
expect_shows "3 4" "2" "slot 2 after 削除"
shot deleted

stage "6 a drop onto slot 7"
drop_on 7 "$drive_c/e2e/docs/dropped.txt"
expect_shows "3 4 7" "2 5 6 8 9 10 11" "slot 7 after the drop"
shot dropped

stage "7 設定保存 writes the drop"
choose 0 save Up Up
expect_value DATA TEXT7 'C:\e2e\docs\dropped.txt' "the dropped file, after 設定保存"
expect_value DATA exetype7 0 "the dropped file, after 設定保存"
expect_value Option Page 0 "設定保存 on page 0"

stage "8 a move in move mode of slot 3 from page 0 to page 4, held over the scroll bar"
# 終了, 設定保存, 設定読込, オプション, 好きなところに格納, アイコンの移動をする.
choose 3 move-mode Up Up Up Up Up Up
read -r x0 y0 w0 h0 <<<"$(e2e_slot_rect 3)"
read -r sx sy sw sh <<<"$(e2e_scrollbar_rect)"
sleep 0.6
xdotool mousemove $((x0 + w0 / 2)) $((y0 + h0 / 2)) mousedown 1
lower_y=$((sy + sh * 3 / 4))
upper_y=$((sy + 5))
bar_x=$((sx + sw / 2))
for i in 1 2 3 4 5 6 7 8; do
    xdotool mousemove $((x0 + w0 / 2 + (bar_x - x0 - w0 / 2) * i / 8)) $((y0 + h0 / 2 + (lower_y - y0 - h0 / 2) * i / 8))
    sleep 0.05
done
read -r tx ty <<<"$(e2e_slot_center 2)"
reached=
for _ in $(seq 200); do
    p=$(page_now)
    if [ "$p" = 4 ]; then
        xdotool mousemove "$tx" "$ty"
        [ "$(page_now)" = 4 ] && { reached=1; break; }
        continue
    fi
    if [ "$p" != "?" ] && [ "$p" -gt 4 ]; then xdotool mousemove "$bar_x" "$upper_y"; else xdotool mousemove "$bar_x" "$lower_y"; fi
    sleep 0.05
done
[ -n "$reached" ] || { xdotool mouseup 1; fail "holding the dragged slot over the scroll bar did not reach page 4 (shows '$(page_now)')"; }
xdotool mousemove $((tx + 1)) $((ty + 1))
sleep 0.1
shot move-onto-page-4
xdotool mouseup 1
expect_value DATA TEXT50 'C:\windows\notepad.exe' "the target of the move, at once"
expect_value DATA exetype50 1 "the target of the move, at once"
for k in TEXT3 SETUMEI3 exetype3; do expect_value DATA "$k" NL "the source of the move, at once"; done
expect_shows "2" "0 1 3 4 5 6 7 8 9 10 11" "page 4 after the move"
shot moved
key 0
expect_page 0 "key 0 after the move"
expect_shows "4 7" "2 3" "page 0 after the move"
key 4
expect_page 4 "key 4"

stage "8b the notification icon hides and shows the window"
# The icon is a window of Wine's shell (explorer.exe) embedded in trayer's
# panel, the only one there: its centre, in TRAY_X and TRAY_Y.
find_tray_icon() {
    local panel line size abs w h
    panel=$(xwininfo -root -tree | awk '/\("panel" "trayer"\)/ {print $1; exit}')
    [ -n "$panel" ] || return 1
    line=$(xwininfo -id "$panel" -tree | grep '("explorer.exe" "explorer.exe")' | head -n1)
    [ -n "$line" ] || return 1
    size=$(awk '{for (i = 1; i <= NF; i++) if ($i ~ /^[0-9]+x[0-9]+\+/) {print $i; exit}}' <<<"$line")
    abs=$(awk '{print $NF}' <<<"$line")
    w=${size%%x*}
    h=${size#*x}
    h=${h%%+*}
    abs=${abs#+}
    [ "$w" -gt 1 ] || return 1
    TRAY_X=$((${abs%%+*} + w / 2))
    TRAY_Y=$((${abs##*+} + h / 2))
}
e2e_until find_tray_icon || fail "no notification icon in trayer"
xdotool mousemove "$TRAY_X" "$TRAY_Y" click 1
e2e_until e2e_unmapped || fail "the window stayed after a click on the notification icon"
shot tray-hidden
# Not a double click.
sleep 0.6
xdotool mousemove "$TRAY_X" "$TRAY_Y" click 1
e2e_until e2e_mapped || fail "the window did not come back after the second click on the notification icon"
e2e_last_geometry=
e2e_until e2e_settled
shot tray-shown
xdotool windowactivate --sync "$E2E_WIN" 2>/dev/null

stage "9 終了 saves and ends"
rm -f "$E2E_CONF"
choose 5 exit Up
e2e_until ended || fail "the launcher did not end after 終了"
[ -f "$E2E_CONF" ] || fail "終了 saved no settings"
expect_value Option Page 4 "終了 on page 4"
expect_value DATA TEXT50 'C:\windows\notepad.exe' "終了"
expect_value DATA SETUMEI0 "最初のプログラム" "終了"
expect_value DATA TEXT7 'C:\e2e\docs\dropped.txt' "終了"
# Written in the ANSI code page, as the earlier version's file was.
iconv -f UTF-8 -t UTF-8 "$E2E_CONF" >/dev/null 2>&1 && fail "the settings file is no longer in code page 932"

stage "10 the next start restores; a second start ends at once; the close box saves"
start_launcher
"$wine_run" "$exe" >>"$e2e_work/launcher.log" 2>&1 &
second=$!
e2e_pids+=("$second")
second_ended() { ! kill -0 "$second" 2>/dev/null; }
E2E_WAIT=300 e2e_until second_ended || fail "a second start did not end"
wait "$second" || fail "a second start ended with status $?"
[ "$(xdotool search --name "$E2E_TITLE_PATTERN" | wc -l)" = 1 ] || fail "a second start showed a window"
launcher_running || fail "a second start ended the first"
expect_page 4 "second start on the saved page"
expect_shows "2" "0 1 3 4 5 6 7 8 9 10 11" "page 4 at the second start"
key 7
expect_page 7 "key 7"
shot before-close
xdotool key --clearmodifiers alt+F4
e2e_until ended || fail "the launcher did not end on the close box"
expect_value Option Page 7 "the close box on page 7"
expect_value Option left 3000 "the close box keeps the position"
expect_value Option top 1500 "the close box keeps the position"
[ -f "$appdata/QLPtemp" ] && fail "the scratch picture was left behind"

stage "11 without settings of its own, the virtualised Windows directory is imported"
rm -f "$E2E_CONF"
mkdir -p "$virtual_store"
sed 's/^Page=0/Page=3/' "$e2e_work/imported.ini" >"$virtual_store/QLPconf.ini"
start_launcher
expect_page 3 "the virtualised settings' page"
cmp -s "$E2E_CONF" "$virtual_store/QLPconf.ini" || fail "the settings were not imported from VirtualStore"
[ -f "$virtual_store/QLPconf.ini" ] || fail "the import moved the virtualised settings"
shot virtual-store

stage "12 the end of the session saves"
key 6
expect_page 6 "key 6"
"$wine_run" wineboot --end-session >>"$e2e_work/launcher.log" 2>&1
e2e_until ended || fail "the launcher did not end with the session"
expect_value Option Page 6 "the end of the session on page 6"
stage "13 a full launcher says so in a message box and takes nothing"
{
    printf '[DATA]\r\n'
    for n in $(seq 0 119); do printf 'TEXT%d=C:\\e2e\\docs\\notes.txt\r\n' "$n"; done
    printf '[Option]\r\nSUKIchk=False\r\ntop=1500\r\nleft=3000\r\nPage=0\r\nSizeX=480\r\nSizeY=480\r\n'
} >"$E2E_CONF"
cp "$E2E_CONF" "$e2e_work/full.ini"
start_launcher
drop_on 4 "$drive_c/e2e/docs/dropped.txt"
box=
find_box() { box=$(xdotool search --name '^Quillop$' 2>/dev/null | head -n1); [ -n "$box" ]; }
e2e_until find_box || fail "no message box for a drop on a full launcher"
e2e_until sh -c "xwininfo -id $box | grep -q IsViewable" || fail "the message box is not shown"
shot full-launcher-message
xdotool windowactivate --sync "$box" key --clearmodifiers Return
box_gone() { ! xwininfo -id "$box" 2>/dev/null | grep -q IsViewable; }
e2e_until box_gone || fail "the message box stayed after OK"
launcher_running || fail "the launcher ended with the message box"
cmp -s "$E2E_CONF" "$e2e_work/full.ini" || fail "a drop on a full launcher changed the settings file"
xdotool windowactivate --sync "$E2E_WIN" key --clearmodifiers alt+F4
e2e_until ended || fail "the launcher did not end on the close box"
echo "PASS ($shot_no pictures in $shots)"
