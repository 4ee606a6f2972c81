#!/usr/bin/env bash
# The portability checker on planted trees: each row plants one file with one
# include beside a small core and two realisations, and states whether the
# checker must pass it (0) or refuse it (1).
#   tests/tools/check_core_portable_test.sh CHECKER
set -u
checker=${1:?usage: $0 path/to/check_core_portable.sh}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cases=(
  # expected|planted file|include line
  '0|src/slots/a.cpp|#include <string>'
  '0|src/slots/a.cpp|#include <cstdint>'
  '0|src/slots/a.cpp|#include "model/launcher.h"'
  '0|src/slots/a.cpp|#include "sibling.h"'
  '0|src/slots/a.h|  #  include   <vector>'
  '0|src/platform/linux/a.cpp|#include <QWidget>'
  '0|src/platform/linux/a.cpp|#include <dirent.h>'
  '0|src/platform/win32/a.cpp|#include <windows.h>'
  '1|src/slots/a.cpp|#include "platform/linux/x.h"'
  '1|src/slots/a.cpp|#include "../platform/linux/x.h"'
  '1|src/slots/a.cpp|#include "platform/win32/x.h"'
  '1|src/slots/a.cpp|#include "model/missing.h"'
  '1|src/slots/a.cpp|#include <dirent.h>'
  '1|src/slots/a.cpp|#include <xcb/xcb.h>'
  '1|src/slots/a.cpp|#include <spawn.h>'
  '1|src/slots/a.cpp|#include <unistd.h>'
  '1|src/slots/a.cpp|#include <sys/stat.h>'
  '1|src/slots/a.cpp|#include <stdint.h>'
  '1|src/slots/a.cpp|#include <QString>'
  '1|src/slots/a.cpp|#include <windows.h>'
  '1|src/slots/a.cpp|#include <gio/gio.h>'
  '1|src/model/a.h|#include <X11/Xlib.h>'
  '1|src/slots/a.cpp|# include <pthread.h>'
  '1|src/slots/a.cpp|#include HEADER_OF_THE_DAY'
  '1|src/platform/profile/a.cpp|#include "platform/linux/x.h"'
)

failures=0
n=0
for row in "${cases[@]}"; do
    IFS='|' read -r expected file line <<<"$row"
    n=$((n + 1))
    tree="$work/$n"
    mkdir -p "$tree/src/model" "$tree/src/slots" "$tree/src/platform/linux" "$tree/src/platform/win32" \
        "$tree/src/platform/profile"
    printf '#pragma once\n#include <string>\n' >"$tree/src/model/launcher.h"
    printf '#pragma once\n' >"$tree/src/slots/sibling.h"
    printf '#pragma once\n#include <QWidget>\n' >"$tree/src/platform/linux/x.h"
    printf '#pragma once\n#include <windows.h>\n' >"$tree/src/platform/win32/x.h"
    mkdir -p "$tree/$(dirname "$file")"
    printf '// planted\n%s\nint planted;\n' "$line" >"$tree/$file"
    "$checker" "$tree" >"$work/out" 2>&1
    got=$?
    [ "$got" -gt 1 ] && got="error $got"
    if [ "$got" != "$expected" ]; then
        echo "FAIL: $file with '$line': expected $expected, got $got"
        sed 's/^/    /' "$work/out"
        failures=$((failures + 1))
    elif [ "$expected" = 1 ] && ! grep -qF "$file:2:" "$work/out"; then
        echo "FAIL: $file with '$line' refused without naming the file and line"
        sed 's/^/    /' "$work/out"
        failures=$((failures + 1))
    fi
done
echo "$n cases, $failures failed"
[ "$failures" -eq 0 ]
