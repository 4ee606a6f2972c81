#!/usr/bin/env bash
# The Windows installer under Wine, silently: installed (with the start at
# logon), the program, the Start-menu entry, the uninstall entry and the Run
# value in place; then uninstalled: all of them gone, and the user's settings
# folder %APPDATA%\Quillop with its files untouched. The first uninstall finds
# its uninstall.exe still held for a moment, as the uninstaller's own first
# process holds it while it ends.
#   installer_test.sh SETUP.EXE WINE_RUN.SH FILE_HOLDER.EXE
set -u
setup=$1
wine_run=$2
holder=$3
# winemenubuilder would mirror the shortcut into the host's menus.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -f "$setup" ] || fail "no installer at $setup"
[ -f "$holder" ] || fail "no file holder at $holder"

win() { "$wine_run" "$@" 2>/dev/null | tr -d '\r'; }
unix_path() { win winepath -u "$1"; }

appdata=$(win cmd /c echo %APPDATA%)
smprograms="$appdata\\Microsoft\\Windows\\Start Menu\\Programs"
settings_dir=$(unix_path "$appdata\\Quillop")
shortcut=$(unix_path "$smprograms\\Quillop.lnk")
[ -n "$settings_dir" ] && [ -n "$shortcut" ] || fail "the Wine prefix gave no user folders"

# A folder of this run's own, so that a test running beside it is not disturbed.
instdir_win="C:\\quillop-installer-test-$$"
instdir=$(unix_path "$instdir_win")
marker="$settings_dir/installer-test-$$.ini"
ready_win="C:\\quillop-installer-test-$$.held"
ready=$(unix_path "$ready_win")
cleanup() {
  rm -rf "$instdir"
  rm -f "$marker" "$ready"
  rmdir "$settings_dir" 2>/dev/null || true
}
trap cleanup EXIT
mkdir -p "$settings_dir"
printf '[QLP]\r\nSSW=True\r\n' >"$marker"

run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillop'
reg_has() { win reg query "$1" /v "$2" | grep -q "$2"; }

# /D must come last and unquoted, as NSIS wants it.
win "$setup" /S /LOGON "/D=$instdir_win" >/dev/null
[ -f "$instdir/quillop.exe" ] || fail "quillop.exe not installed in $instdir"
[ -f "$instdir/readme.txt" ] || fail "readme.txt not installed"
[ -f "$instdir/uninstall.exe" ] || fail "no uninstaller"
[ -f "$shortcut" ] || fail "no Start-menu shortcut at $shortcut"
reg_has "$uninstall_key" UninstallString || fail "no uninstall entry"
reg_has "$run_key" Quillop || fail "no start at logon although /LOGON was given"
win reg query "$run_key" /v Quillop | grep -qiF "$instdir_win\\quillop.exe" ||
  fail "the start at logon names another program"

# The uninstaller copies itself elsewhere and returns at once; the folder it
# removes last tells when it has finished. The copy may reach uninstall.exe
# before the process that started it has let go of the file: here the file is
# held for two seconds from before the uninstaller starts.
win "$holder" "$instdir_win\\uninstall.exe" "$ready_win" 2000 &
holder_pid=$!
for _ in $(seq 300); do [ -e "$ready" ] && break; sleep 0.1; done
[ -e "$ready" ] || fail "the file holder did not take uninstall.exe"
win "$instdir/uninstall.exe" /S >/dev/null
wait "$holder_pid"
for _ in $(seq 600); do [ -e "$instdir" ] || break; sleep 0.1; done
[ -e "$instdir" ] && fail "the install folder is still there 60 s after the uninstall: $(ls -A "$instdir")"
[ -e "$shortcut" ] && fail "the Start-menu shortcut is still there"
reg_has "$uninstall_key" UninstallString && fail "the uninstall entry is still there"
reg_has "$run_key" Quillop && fail "the start at logon is still there"
[ -f "$marker" ] || fail "the uninstaller touched the settings folder $settings_dir"
grep -q 'SSW=True' "$marker" || fail "the settings file changed"

# Without /LOGON nothing starts at logon.
win "$setup" /S "/D=$instdir_win" >/dev/null
[ -f "$instdir/quillop.exe" ] || fail "second install failed"
reg_has "$run_key" Quillop && fail "start at logon set without /LOGON"
win "$instdir/uninstall.exe" /S >/dev/null
for _ in $(seq 600); do [ -e "$instdir" ] || break; sleep 0.1; done
[ -e "$instdir" ] && fail "the second uninstall left the install folder"
echo "installer: installed, checked and uninstalled; settings folder kept"
