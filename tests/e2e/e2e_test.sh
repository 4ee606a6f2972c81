#!/usr/bin/env bash
# The real launcher under Xvfb with openbox and trayer, started from a
# prepared settings file and driven with real input from xdotool: start-up
# geometry, page keys, function keys, clicks, the slot menu, a drop from
# another program, a move across pages, the tray icon, "終了" and SIGTERM.
# Each stage leaves a picture of the screen in the shots directory; the checks
# are on what can be read without looking at a picture: window geometry and
# map state, marker files of started programs, the settings file, the exit
# status, and whether a slot's region of the screen is still plain background.
#
#   e2e_test.sh LAUNCHER DRAG_SOURCE SHOTS_DIR      exit 77 = skipped
# QUILLOP_E2E_BINARY=/usr/bin/quillop drives an installed launcher instead.
set -u
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source-path=SCRIPTDIR source=e2e_lib.sh
source "$here/e2e_lib.sh"

launcher=${QUILLOP_E2E_BINARY:-$1}
drag_source=$2
shots=$3
[ -x "$launcher" ] || { echo "FAIL: no launcher at $launcher"; exit 1; }
[ -x "$drag_source" ] || { echo "FAIL: no drag source at $drag_source"; exit 1; }
e2e_require_tools
mkdir -p "$shots"
rm -f "$shots"/[0-9][0-9]-*.png

e2e_setup_dirs
for sig in HUP INT TERM PIPE; do
    # shellcheck disable=SC2064
    trap "echo 'FAIL: the suite got SIG$sig'; exit 1" "$sig"
done
e2e_start_desktop
echo "display $DISPLAY, launcher $launcher"

# --- The prepared machine: programs that leave a mark, a document, settings.
marks=$e2e_work/marks
mkdir -p "$marks" "$e2e_work/bin" "$e2e_work/docs"
for n in 0 1 24 36; do
    printf '#!/bin/sh\necho started >"%s/slot%s"\n' "$marks" "$n" >"$e2e_work/bin/slot$n"
    chmod +x "$e2e_work/bin/slot$n"
done
echo "minutes of the meeting" >"$e2e_work/docs/notes.txt"
echo "a file dropped from the file manager" >"$e2e_work/docs/dropped.txt"
# SizeX is the icon height and SizeY its width, both 480 twips (32 pixels);
# the window's frame stands at 3000,1500 twips, that is 200,100 pixels.
cat >"$E2E_CONF" <<EOF
[DATA]
TEXT0=$e2e_work/bin/slot0
SETUMEI0=first program
exetype0=1
TEXT1=$e2e_work/bin/slot1
SETUMEI1=second program
exetype1=1
TEXT2=$e2e_work/docs/notes.txt
SETUMEI2=meeting notes
exetype2=0
TEXT24=$e2e_work/bin/slot24
exetype24=1
TEXT36=$e2e_work/bin/slot36
exetype36=1
TEXT65=/etc/hosts
SETUMEI65=hosts
exetype65=0
PSetumei0=tools
PSetumei5=system files
[Option]
SUKIchk=True
ALLWAYS=False
top=1500
left=3000
Page=0
SizeX=480
SizeY=480
EOF
e2e_icon_size 480 480

value() { e2e_value "$E2E_CONF" "$1" "$2"; }
has_value() { [ "$(value "$1" "$2")" = "$3" ]; }
expect_value() {
    e2e_until has_value "$1" "$2" "$3" || fail "$4: [$1] $2 is '$(value "$1" "$2")', expected '$3'"
}

# Whether position k of the shown page is plain background (no icon).
now=$e2e_work/now.png
grab_now() { e2e_shot "$now"; }
slot_blank() { [ "$(e2e_colours "$now" "$(e2e_slot_rect "$1")")" = 1 ]; }
slot_drawn() { ! slot_blank "$1"; }
# Waits until the positions in $1 show icons and those in $2 do not.
shows() {
    local k
    grab_now
    for k in $1; do slot_drawn "$k" || return 1; done
    for k in $2; do slot_blank "$k" || return 1; done
}
expect_shows() { e2e_until shows "$1" "$2" || fail "$3: positions with icons should be '$1', without '$2'"; }

# The page number label, compared with what it showed on each page.
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

key() { xdotool key --clearmodifiers "$@"; }
move_to_slot() {
    local x y
    read -r x y <<<"$(e2e_slot_center "$1")"
    xdotool mousemove "$x" "$y"
}

# The slot menu: a top-level override-redirect window of the launcher.
menu_open() { e2e_popup_shown; }
menu_closed() { ! menu_open; }
# Right click on position k, then the keys that choose an entry. Arrow keys
# skip separators and disabled entries; Up from nothing starts at "終了".
choose() {
    local k=$1 name=$2
    shift 2
    move_to_slot "$k"
    xdotool click 3
    e2e_until menu_open || fail "$name: no menu after a right click on position $k"
    key "$@"
    shot "menu-$name"
    key Return
    e2e_until menu_closed || fail "$name: the menu stayed open"
}

# ---------------------------------------------------------------------------
stage "1 start-up from the prepared settings"
e2e_start_launcher "$launcher" || fail "start-up"
# Qt must have taken the launcher's main thread for its own, not a helper thread.
! grep -q "not created in the main() thread" "$e2e_work/launcher.log" || fail "start-up: Qt took another thread for its main thread"
read -r _ _ cw ch <<<"$(e2e_client_geometry)"
[ "$cw $ch" = "$(e2e_expected_client_size)" ] ||
    fail "client area ${cw}x$ch, the icon size 480x480 twips gives $(e2e_expected_client_size | tr ' ' x)"
[ "$(e2e_frame_origin)" = "200 100" ] || fail "window frame at $(e2e_frame_origin), saved at 200 100 (3000,1500 twips)"
expect_shows "0 1 2" "3 4 5 6 7 8 9 10 11" "slot pictures at start-up"
shot startup

stage "2 digits and letters turn pages"
grab_label
cp "$label" "$e2e_work/page0.png"
for p in 1 2 3 4 5 6 7 8 9; do
    key "$p"
    changed() { grab_label && ! e2e_same_picture "$label" "$e2e_work/page$((p - 1)).png"; }
    e2e_until changed || fail "key $p: the page label did not change"
    # Drawn in full: two grabs in a row alike.
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
# Each letter range selects pages 0 to 9 in order.
for pair in a:0 j:9 k:0 t:9 u:0 z:5 a:0 f:5 k:0 p:5 shift+b:1; do
    key "${pair%%:*}"
    expect_page "${pair##*:}" "key ${pair%%:*}"
done
key 5
expect_page 5 "key 5 again"
choose 0 save-on-page-5 Up Up
expect_value Option Page 5 "設定保存 on page 5"
# A save writes everything: the slots, the page descriptions, the options.
for kv in DATA:TEXT0:"$e2e_work/bin/slot0" DATA:SETUMEI1:"second program" DATA:exetype2:0 DATA:TEXT65:/etc/hosts \
          DATA:PSetumei5:"system files" Option:SizeX:480 Option:SizeY:480 Option:top:1500 Option:left:3000; do
    IFS=: read -r sec k v <<<"$kv"
    expect_value "$sec" "$k" "$v" "設定保存"
done

stage "3 F1 starts the slot of the block numbered as the page"
key 0
expect_page 0 "key 0"
key F1
e2e_until test -f "$marks/slot0" || fail "F1 on page 0 did not start slot 0's program"
key 2
expect_page 2 "key 2"
key F1
e2e_until test -f "$marks/slot24" || fail "F1 on page 2 did not start slot 24's program"
key 3
expect_page 3 "key 3"
key F1
e2e_until test -f "$marks/slot36" || fail "F1 on page 3 did not start slot 36's program"
[ -f "$marks/slot1" ] && fail "slot 1's program started without being asked"
shot function-keys

stage "4 a click starts a slot"
key 0
expect_page 0 "key 0"
move_to_slot 1
xdotool click 1
e2e_until test -f "$marks/slot1" || fail "a click on slot 1 did not start its program"
shot click

stage "5 the slot menu: 削除"
# On a filled slot every entry is enabled: 何もしない, 開く, 削除.
choose 2 delete Down Down Down
for k in TEXT2 SETUMEI2 exetype2; do expect_value DATA "$k" NL "削除 of slot 2, at once"; done
expect_value DATA TEXT1 "$e2e_work/bin/slot1" "削除 of slot 2 leaves slot 1"
expect_shows "0 1" "2" "slot 2 after 削除"
shot deleted

stage "6 a drop from another program"
"$drag_source" 700 400 "$e2e_work/docs/dropped.txt" >"$e2e_work/drag.log" 2>&1 &
drag_pid=$!
e2e_pids+=("$drag_pid")
drag_win=
find_drag_source() {
    drag_win=$(xdotool search --name '^quillop-e2e-drag-source$' 2>/dev/null | head -n1)
    [ -n "$drag_win" ] && xwininfo -id "$drag_win" | grep -q IsViewable && grep -q ready "$e2e_work/drag.log"
}
e2e_until find_drag_source || fail "the drag source did not appear"
read -r dx dy _ _ <<<"$(xwininfo -id "$drag_win" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
    END {print x, y}')"
read -r tx ty <<<"$(e2e_slot_center 7)"
xdotool mousemove $((dx + 32)) $((dy + 32)) mousedown 1
# Carried in steps, as a hand would, so both sides see the motion.
for i in 1 2 3 4 5 6 7 8 9 10; do
    xdotool mousemove $((dx + 32 + (tx - dx - 32) * i / 10)) $((dy + 32 + (ty - dy - 32) * i / 10))
    sleep 0.05
done
xdotool mousemove "$tx" $((ty + 1))
sleep 0.2
shot drop-over-slot-7
xdotool mouseup 1
e2e_until grep -q -e dropped -e ignored "$e2e_work/drag.log" || fail "the drag did not end"
grep -q dropped "$e2e_work/drag.log" || fail "the launcher did not take the drop"
expect_shows "0 1 7" "2 3 4 5 6 8 9 10 11" "slot 7 after the drop"
shot dropped
choose 0 save-after-drop Up Up
expect_value DATA TEXT7 "$e2e_work/docs/dropped.txt" "the dropped file, after 設定保存"
expect_value DATA exetype7 0 "the dropped file, after 設定保存"
kill "$drag_pid" 2>/dev/null

stage "7 a move in move mode from page 0 to page 4"
# 終了, 設定保存, 設定読込, オプション, 好きなところに格納, アイコンの移動をする.
choose 3 move-mode Up Up Up Up Up Up
read -r x0 y0 w0 h0 <<<"$(e2e_slot_rect 0)"
read -r sx sy sw sh <<<"$(e2e_scrollbar_rect)"
# Picked up at its lower right corner, the dragged picture hangs up and to
# the left of the pointer and never covers the page number.
xdotool mousemove $((x0 + w0 - 3)) $((y0 + h0 - 3)) mousedown 1
lower_y=$((sy + sh * 3 / 4))
upper_y=$((sy + 5))
bar_x=$((sx + sw / 2))
for i in 1 2 3 4 5 6 7 8; do
    xdotool mousemove $((x0 + w0 - 3 + (bar_x - x0 - w0 + 3) * i / 8)) $((y0 + h0 - 3 + (lower_y - y0 - h0 + 3) * i / 8))
    sleep 0.05
done
# Held on the lower part the page turns forward every 0.75 s, on the upper
# 200 twips back: steer until page 4 shows, then leave the bar for empty
# position 2 at once. Should the page have turned once more before the
# pointer left (a slow machine), steer back, as a hand would.
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
expect_value DATA TEXT50 "$e2e_work/bin/slot0" "the target of the move, at once"
expect_value DATA SETUMEI50 "first program" "the target of the move, at once"
expect_value DATA exetype50 1 "the target of the move, at once"
for k in TEXT0 SETUMEI0 exetype0; do expect_value DATA "$k" NL "the source of the move, at once"; done
expect_shows "2" "0 1 3 4 5 6 7 8 9 10 11" "page 4 after the move"
shot moved
key 0
expect_page 0 "key 0 after the move"
expect_shows "1 7" "0 2" "page 0 after the move"
key 4
expect_page 4 "key 4"

stage "8 the tray icon hides and shows the window"
e2e_until e2e_find_tray_icon || fail "no tray icon in trayer"
xdotool mousemove "$E2E_TRAY_X" "$E2E_TRAY_Y" click 1
e2e_until e2e_unmapped || fail "the window stayed mapped after a click on the tray icon"
shot tray-hidden
# Not a double click.
sleep 0.6
xdotool mousemove "$E2E_TRAY_X" "$E2E_TRAY_Y" click 1
e2e_until e2e_mapped || fail "the window did not come back after the second click on the tray icon"
e2e_until e2e_settled
shot tray-shown

stage "9 終了 saves and ends"
rm -f "$E2E_CONF"
choose 5 exit Up
ended() { ! kill -0 "$E2E_PID" 2>/dev/null; }
e2e_until ended || fail "the launcher did not end after 終了"
wait "$E2E_PID"
rc=$?
[ "$rc" -eq 0 ] || fail "exit status $rc after 終了"
[ -f "$E2E_CONF" ] || fail "終了 saved no settings"
expect_value Option Page 4 "終了 on page 4"
expect_value DATA TEXT50 "$e2e_work/bin/slot0" "終了"
expect_value DATA TEXT7 "$e2e_work/docs/dropped.txt" "終了"
case "$(value DATA TEXT0)" in "" | NL) ;; *) fail "終了 wrote the moved slot 0 again: '$(value DATA TEXT0)'" ;; esac

stage "10 the next start restores, SIGTERM saves"
e2e_start_launcher "$launcher" || fail "second start-up"
[ "$(e2e_frame_origin)" = "200 100" ] || fail "second start: window frame at $(e2e_frame_origin), not 200 100"
expect_page 4 "second start on the saved page"
expect_shows "2" "0 1 3 4 5 6 7 8 9 10 11" "page 4 at the second start"
key 7
expect_page 7 "key 7"
shot before-sigterm
kill -TERM "$E2E_PID"
e2e_until ended || fail "the launcher did not end on SIGTERM"
wait "$E2E_PID"
rc=$?
[ "$rc" -eq 0 ] || fail "exit status $rc after SIGTERM"
expect_value Option Page 7 "SIGTERM on page 7"
expect_value DATA TEXT50 "$e2e_work/bin/slot0" "SIGTERM"
echo "PASS ($shot_no pictures in $shots)"
