#!/usr/bin/env bash
# A settings file from the Windows desktop (code page 932, CRLF) in the real
# launcher: its descriptions show in the description line exactly as the same
# file in UTF-8 shows them, and a description written in the dialog reaches
# the file in code page 932, with every other line as it was.
#
#   encoding_e2e.sh LAUNCHER SHOTS_DIR      exit 77 = skipped
set -u
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source-path=SCRIPTDIR source=e2e_lib.sh
source "$here/e2e_lib.sh"

launcher=${QUILLOP_E2E_BINARY:-$1}
shots=$2
[ -x "$launcher" ] || { echo "FAIL: no launcher at $launcher"; exit 1; }
e2e_require_tools iconv xclip
[ "$(printf '表' | iconv -f UTF-8 -t CP932 2>/dev/null | od -An -tx1 | tr -d ' \n')" = 955c ] ||
    { echo "SKIP: iconv lacks code page 932"; exit 77; }
mkdir -p "$shots"
rm -f "$shots"/encoding-*.png
e2e_setup_dirs
e2e_start_desktop

fail() {
    echo "FAIL: $*"
    e2e_shot "$shots/encoding-failure.png"
    echo "--- launcher output"
    cat "$e2e_work/launcher.log"
    exit 1
}

# The settings in UTF-8 with LF; the Windows file is the same text in code page 932 with CRLF.
# 表 and ソ have 0x5C as their second byte, ｶﾀｶﾅ are single bytes, ① is one of NEC's.
settings=$e2e_work/settings.txt
cat >"$settings" <<EOF
[DATA]
TEXT0=/etc/hosts
SETUMEI0=テキストエディタ ｶﾀｶﾅ ①
exetype0=0
TEXT1=/etc/passwd
SETUMEI1=表ソ 予定
exetype1=0
PSetumei0=仕事
[Option]
top=1500
left=3000
Page=0
SizeX=480
SizeY=480
EOF
e2e_icon_size 480 480
utf8_file() { cp "$settings" "$E2E_CONF"; }
windows_file() { sed 's/$/\r/' "$settings" | iconv -f UTF-8 -t CP932 >"$E2E_CONF"; }

line=$e2e_work/line.png
# The description line once the mouse has rested on position $1 and left the
# window (the line keeps its text, the tool tip goes), into $2.
shown=
description_of() {
    local x y
    shown=$2
    e2e_grab "$(e2e_ktext_rect)" "$line"
    cp "$line" "$e2e_work/before.png"
    read -r x y <<<"$(e2e_slot_center "$1")"
    # A move within the slot, as a hand makes: the line follows the mouse's moves.
    xdotool mousemove "$x" "$y"
    sleep 0.2
    xdotool mousemove $((x + 2)) $((y + 2))
    e2e_until line_changed || return 1
    xdotool mousemove 1000 900
    e2e_until no_popup || return 1
    e2e_until line_settled || return 1
    # Not the tool tip over it: the line itself holds other text now.
    ! e2e_same_picture "$shown" "$e2e_work/before.png"
}
line_changed() { e2e_grab "$(e2e_ktext_rect)" "$shown" && ! e2e_same_picture "$shown" "$line"; }
no_popup() { ! e2e_popup_shown; }
line_settled() { cp "$shown" "$line" && e2e_grab "$(e2e_ktext_rect)" "$shown" && e2e_same_picture "$shown" "$line"; }
stop_launcher() {
    kill -TERM "$E2E_PID"
    ended() { ! kill -0 "$E2E_PID" 2>/dev/null; }
    e2e_until ended || fail "the launcher did not end on SIGTERM"
    wait "$E2E_PID"
    # Away from the slots, so the next window shows under no pointer.
    xdotool mousemove 1000 900
}

echo "== 1 the descriptions of the file in UTF-8"
utf8_file
e2e_start_launcher "$launcher" || fail "start-up with the UTF-8 file"
description_of 1 "$e2e_work/utf8-1.png" || fail "UTF-8 file: the description line did not show slot 1's"
description_of 0 "$e2e_work/utf8-0.png" || fail "UTF-8 file: the description line did not show slot 0's"
stop_launcher

echo "== 2 the same descriptions from the file in code page 932"
windows_file
cp "$E2E_CONF" "$e2e_work/windows.ini"
e2e_start_launcher "$launcher" || fail "start-up with the code page 932 file"
description_of 1 "$e2e_work/cp932-1.png" || fail "code page 932 file: the description line did not show slot 1's"
e2e_same_picture "$e2e_work/cp932-1.png" "$e2e_work/utf8-1.png" ||
    fail "slot 1's description shows otherwise from the code page 932 file than from the UTF-8 file"
description_of 0 "$e2e_work/cp932-0.png" || fail "code page 932 file: the description line did not show slot 0's"
e2e_same_picture "$e2e_work/cp932-0.png" "$e2e_work/utf8-0.png" ||
    fail "slot 0's description shows otherwise from the code page 932 file than from the UTF-8 file"
e2e_shot "$shots/encoding-1-cp932-description.png"

echo "== 3 a description written in the dialog"
key() { xdotool key --clearmodifiers "$@"; }
menu_open() { e2e_popup_shown; }
menu_closed() { ! menu_open; }
choose() {
    local x y
    read -r x y <<<"$(e2e_slot_center "$1")"
    shift
    xdotool mousemove "$x" "$y" click 3
    e2e_until menu_open || fail "no menu after a right click"
    key "$@"
    key Return
    e2e_until menu_closed || fail "the menu stayed open"
}
# The description dialog: a window of the launcher's, captioned as the main
# window is but not the main window (xdotool's name search ignores case, and
# the tray icon's window is "quillop").
dialog_shown() {
    local id
    for id in $(xdotool search --onlyvisible --pid "$E2E_PID" 2>/dev/null); do
        [ "$id" != "$E2E_WIN" ] && xprop -id "$id" _NET_WM_NAME 2>/dev/null | grep -q '= "Quillop' && return 0
    done
    return 1
}
dialog_gone() { ! dialog_shown; }
# 何もしない, 開く, 削除, 関連付けで開く, 解説テキストの表示, アイコンの説明を書く.
choose 0 Down Down Down Down Down Down
e2e_until dialog_shown || fail "no description dialog"
sleep 0.5
# Pasted: typing characters that no key has remaps keys on the fly, which
# loses some of them now and then.
printf '新しい説明ｱ' >"$e2e_work/new.txt"
xclip -quiet -selection clipboard -i "$e2e_work/new.txt" 2>/dev/null &
e2e_pids+=($!)
clipboard_ready() { [ "$(xclip -o -selection clipboard 2>/dev/null)" = '新しい説明ｱ' ]; }
e2e_until clipboard_ready || fail "xclip does not offer the text"
key ctrl+a ctrl+v
sleep 0.3
e2e_shot "$shots/encoding-2-dialog.png"
key Return
e2e_until dialog_gone || fail "the dialog stayed open after Return"
# 終了, 設定保存.
choose 0 Up Up
written() { ! cmp -s "$E2E_CONF" "$e2e_work/windows.ini"; }
e2e_until written || fail "設定保存 did not change the file"
e2e_shot "$shots/encoding-3-saved.png"
stop_launcher

echo "== 4 the file: code page 932 and CRLF still, the new description in it"
iconv -f CP932 -t UTF-8 "$E2E_CONF" >"$e2e_work/saved-utf8.txt" 2>/dev/null || fail "the file is no longer code page 932"
! iconv -f UTF-8 -t UTF-8 "$E2E_CONF" >/dev/null 2>&1 || fail "the file turned into UTF-8"
[ "$(grep -c $'\r$' "$E2E_CONF")" = "$(wc -l <"$E2E_CONF")" ] || fail "a line of the file lost its CR"
new_line=$(printf 'SETUMEI0=新しい説明ｱ\r' | iconv -f UTF-8 -t CP932)
grep -qxF "$new_line" "$E2E_CONF" || fail "the new description is not in the file in code page 932: $(grep -a SETUMEI0 "$E2E_CONF" | od -c | head -3)"
for kept in "SETUMEI1=表ソ 予定" "PSetumei0=仕事" "TEXT0=/etc/hosts"; do
    bytes=$(printf '%s\r' "$kept" | iconv -f UTF-8 -t CP932)
    grep -qxF "$bytes" "$E2E_CONF" || fail "the line '$kept' is not in the file as it was"
done
echo "== 5 the next start reads it"
# The save wrote "SSW", whose presence switches the description line at the
# next start; without it the line shows as it did before.
sed -i '/^SSW=/d' "$E2E_CONF"
e2e_start_launcher "$launcher" || fail "start-up with the saved file"
# The line changes with the slot under the mouse, and slot 0 is where it starts.
description_of 1 "$e2e_work/again-1.png" || fail "saved file: the description line did not show slot 1's"
e2e_same_picture "$e2e_work/again-1.png" "$e2e_work/cp932-1.png" || fail "slot 1's description changed"
description_of 0 "$e2e_work/again-0.png" || fail "saved file: the description line did not show slot 0's"
e2e_shot "$shots/encoding-4-new-description.png"
e2e_same_picture "$e2e_work/again-0.png" "$e2e_work/cp932-0.png" && fail "slot 0 still shows its old description"
stop_launcher
echo "PASS (pictures in $shots)"
