#!/usr/bin/env bash
# Renews docs/screenshot-windows.png: quillop.exe under Wine, Xvfb and
# openbox, in a private prefix and the Japanese locale, with slots filled from
# the prefix's own programs, documents and folders (the icons Wine's shell
# gives them) and the slot menu open.
#   tools/make_windows_screenshot.sh [build directory]     (default: build-win)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-win}
[ -f "$build/CMakeCache.txt" ] ||
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DQUILLOP_BENCH=OFF
cmake --build "$build" -j"$(nproc)" --target quillop
# shellcheck source=../tests/e2e/e2e_lib.sh
source "$root/tests/e2e/e2e_lib.sh"
e2e_require_tools wine iconv
e2e_setup_dirs
export QUILLOP_WINEPREFIX=$e2e_work/prefix
trap 'WINEPREFIX=$QUILLOP_WINEPREFIX wineserver -k 2>/dev/null; e2e_cleanup' EXIT
e2e_start_desktop
"$root/tools/wine_run.sh" cmd /c exit >/dev/null 2>&1
drive_c=$QUILLOP_WINEPREFIX/drive_c
user_dir=$(find "$drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n1)
conf_dir=$user_dir/AppData/Roaming/Quillop
mkdir -p "$conf_dir" "$drive_c/docs"
echo "議事録" >"$drive_c/docs/議事録.txt"
echo "[x]" >"$drive_c/docs/setup.ini"
{
    printf '[DATA]\r\n'
    n=0
    for target in 'C:\windows\notepad.exe' 'C:\windows\regedit.exe' 'C:\windows\system32\winecfg.exe' \
        'C:\windows\system32\taskmgr.exe' 'C:\windows\system32\winemine.exe' 'C:\windows\system32\cmd.exe' \
        'C:\docs\議事録.txt' 'C:\docs' 'C:\windows\hh.exe' 'C:\windows\system32\winefile.exe' \
        'C:\Program Files\Internet Explorer\iexplore.exe' 'C:\windows\system32\oleview.exe'; do
        printf 'TEXT%d=%s\r\nexetype%d=1\r\n' "$n" "$target" "$n"
        n=$((n + 1))
    done
    printf 'SETUMEI0=メモ帳\r\nSETUMEI6=会議の議事録\r\nPSetumei0=よく使う道具\r\n'
    printf '[Option]\r\nSUKIchk=True\r\nALLWAYS=False\r\ntop=1500\r\nleft=1500\r\nPage=0\r\nSizeX=490\r\nSizeY=490\r\n'
} | iconv -f UTF-8 -t CP932 >"$conf_dir/QLPconf.ini"
"$root/tools/wine_run.sh" "$build/src/platform/win32/quillop.exe" >"$e2e_work/launcher.log" 2>&1 &
e2e_pids+=($!)
E2E_WIN=
find_window() { E2E_WIN=$(xdotool search --name "$E2E_TITLE_PATTERN" 2>/dev/null | head -n1); [ -n "$E2E_WIN" ]; }
E2E_WAIT=300 e2e_until find_window || { cat "$e2e_work/launcher.log"; echo "the window did not appear"; exit 1; }
e2e_until e2e_mapped
e2e_until e2e_settled
e2e_icon_size 490 490
read -r x y <<<"$(e2e_slot_center 11)"
xdotool mousemove "$x" "$y"
sleep 1
xdotool click 3
sleep 1.5
read -r fx fy _ _ <<<"$(e2e_frame_geometry)"
e2e_shot "$e2e_work/screen.png"
convert "$e2e_work/screen.png" -crop "520x400+$((fx - 10))+$((fy - 10))" +repage "$root/docs/screenshot-windows.png"
echo "wrote docs/screenshot-windows.png"
