#!/usr/bin/env bash
# The menu entry passes desktop-file-validate and names the binary, the icon
# and the window class the launcher really has.
set -u
entry=$1
command -v desktop-file-validate >/dev/null || { echo "SKIP: desktop-file-validate is not installed"; exit 77; }
out=$(desktop-file-validate "$entry" 2>&1)
[ -z "$out" ] || { echo "FAIL: desktop-file-validate reports:"; echo "$out"; exit 1; }
status=0
for line in Type=Application Exec=quillop Icon=quillop Terminal=false Categories=Utility\; StartupWMClass=quillop; do
  grep -qxF "$line" "$entry" || { echo "FAIL: no line '$line' in $entry"; status=1; }
done
[ "$status" -eq 0 ] && echo PASS
exit "$status"
