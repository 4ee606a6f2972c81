#!/usr/bin/env bash
# quillop.exe as it is shipped: a 64-bit GUI program that needs no DLL beside
# it but the system's, and loads at start only those a start uses, with version
# information and a manifest
# asking for common controls 6, per-monitor DPI awareness and no elevation.
#   exe_test.sh QUILLOP_EXE
set -u
exe=$1
objdump=$(command -v x86_64-w64-mingw32-objdump) || { echo "SKIP: no MinGW objdump"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }
headers=$("$objdump" -p "$exe") || fail "not a PE file: $exe"
grep -q 'file format pei-x86-64' <<<"$headers" || fail "not a 64-bit program"
grep -Eq 'Subsystem[[:space:]]+00000002' <<<"$headers" || fail "not a GUI-subsystem program (-mwindows)"
system='^(kernel32|user32|gdi32|shell32|comctl32|comdlg32|ole32|advapi32|msvcrt)\.dll$'
# Bound at load: only what every start needs. The common controls, the file
# chooser and COM cost each start time to load, and are bound when first used.
late='^(comctl32|comdlg32|ole32)\.dll$'
while read -r dll; do
    grep -Eqi "$system" <<<"$dll" || fail "needs $dll, which is not a system DLL"
    grep -Eqi "$late" <<<"$dll" && fail "$dll is bound at load; it is wanted only after the start"
done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
for text in 'Microsoft.Windows.Common-Controls' 'version="6.0.0.0"' 'PerMonitorV2' 'level="asInvoker"'; do
    grep -qaF "$text" "$exe" || fail "the manifest lacks $text"
done
# Version information, in its UTF-16 strings.
utf16() { sed 's/./&\\x00/g' <<<"$1"; }
grep -qaP "$(utf16 OriginalFilename).*$(utf16 quillop.exe)" "$exe" || fail "no version information naming quillop.exe"
echo "PASS"
