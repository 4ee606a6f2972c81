#!/usr/bin/env bash
# The picture of the launcher for the README: started under Xvfb from a
# settings file of real programs and documents of this machine, with
# descriptions, the mouse rested on a slot so the description line shows its
# text, and the window cut out of the screen with a small margin.
#   readme_screenshot.sh LAUNCHER OUT.png           exit 77 = skipped
# tools/make_screenshot.sh calls it to renew docs/screenshot.png.
set -u
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source-path=SCRIPTDIR source=e2e_lib.sh
source "$here/e2e_lib.sh"

launcher=${QUILLOP_E2E_BINARY:-$1}
out=$2
[ -x "$launcher" ] || { echo "FAIL: no launcher at $launcher"; exit 1; }
e2e_require_tools
mkdir -p "$(dirname "$out")"
e2e_setup_dirs
e2e_start_desktop

fail() {
    echo "FAIL: $*"
    cat "$e2e_work/launcher.log"
    exit 1
}

# Path, description; only what this machine has, in order from slot 0.
# The MIME database's own manual, a PDF that the shared-mime-info package brings.
mime_pdf=$(find /usr/share/doc/shared-mime-info -name '*.pdf' 2>/dev/null | head -n 1)
page0=(
    "/usr/share/applications/display-im6.q16.desktop|画像を見る (ImageMagick)"
    "/usr/share/applications/vim.desktop|テキストエディタ Vim"
    "/usr/share/applications/python3.11.desktop|Python 3.11 の対話シェル"
    "/usr/share/applications/openbox.desktop|ウィンドウマネージャ Openbox"
    "/usr/share/applications/obconf.desktop|Openbox の設定"
    "/etc/hosts|hosts ファイル"
    "$mime_pdf|MIME 型の説明書 (PDF)"
    "/usr/share/doc/base-passwd/users-and-groups.html|ユーザーとグループの説明 (HTML)"
    "/usr/share/pixmaps/debian-logo.png|Debian のロゴ"
    "/usr/share/doc|説明書のフォルダ"
    "/etc|設定ファイルのフォルダ"
    "/usr/bin/xdotool|xdotool"
)
page1=(
    "/usr/share/doc/base-passwd/README|base-passwd の README"
    "/usr/share/common-licenses/GPL-3|GPL 第 3 版"
    "/etc/os-release|OS の版"
)
{
    echo "[DATA]"
    slot=0
    hover=
    for entry in "${page0[@]}"; do
        path=${entry%%|*}
        [ -e "$path" ] || continue
        printf 'TEXT%d=%s\nSETUMEI%d=%s\nexetype%d=0\n' "$slot" "$path" "$slot" "${entry#*|}" "$slot"
        # The PDF is the one to point at; any slot but 0 changes the line.
        case "$path" in *.pdf) hover=$slot ;; esac
        slot=$((slot + 1))
    done
    slot=12
    for entry in "${page1[@]}"; do
        path=${entry%%|*}
        [ -e "$path" ] || continue
        printf 'TEXT%d=%s\nSETUMEI%d=%s\nexetype%d=0\n' "$slot" "$path" "$slot" "${entry#*|}" "$slot"
        slot=$((slot + 1))
    done
    echo "PSetumei0=ふだん使うもの"
    echo "PSetumei1=文書"
    echo "PSetumei2=仕事"
    echo "[Option]"
    echo "top=1500"
    echo "left=3000"
    echo "Page=0"
    echo "SizeX=480"
    echo "SizeY=480"
} >"$E2E_CONF"
filled=$(grep -c '^TEXT[0-9]=\|^TEXT1[01]=' "$E2E_CONF")
[ "$filled" -ge 3 ] || fail "fewer than three of the example files are on this machine"
[ -n "${hover:-}" ] || hover=$((filled - 1))
[ "$hover" -gt 0 ] || hover=1
e2e_icon_size 480 480

e2e_start_launcher "$launcher" || fail "start-up"
line_before=$e2e_work/line-before.png
line_now=$e2e_work/line-now.png
e2e_grab "$(e2e_ktext_rect)" "$line_before"
read -r x y <<<"$(e2e_slot_center "$hover")"
xdotool mousemove "$x" "$y"
line_changed() { e2e_grab "$(e2e_ktext_rect)" "$line_now" && ! e2e_same_picture "$line_now" "$line_before"; }
e2e_until line_changed || fail "the description line did not change when the mouse rested on slot $hover"
# The text stays when the mouse leaves the window; its tool tip does not.
xdotool mousemove 1000 900
no_popup() { ! e2e_popup_shown; }
e2e_until no_popup || fail "a tool tip stays after the mouse left the window"
line_stays() { e2e_grab "$(e2e_ktext_rect)" "$line_before" && e2e_same_picture "$line_now" "$line_before"; }
e2e_until line_stays || fail "the description line changed after the mouse left the window"

# Every slot of page 0 that was filled shows an icon.
e2e_shot "$e2e_work/screen.png"
for ((k = 0; k < filled && k < 12; k++)); do
    [ "$(e2e_colours "$e2e_work/screen.png" "$(e2e_slot_rect "$k")")" -gt 1 ] || fail "slot $k shows no icon"
done

# The window with its frame, on a margin of 12 pixels.
read -r fx fy fw fh <<<"$(e2e_frame_geometry)"
convert "$e2e_work/screen.png" -crop "${fw}x${fh}+${fx}+${fy}" +repage \
    -bordercolor '#3c5a78' -border 12 -strip "$out" || fail "cutting out the window"
echo "PASS: $out ($(identify -format '%wx%h' "$out"))"
