#!/usr/bin/env bash
# Compiles one translation unit that includes MinGW-w64's <windows.h> and then
# every core header: fails when a name of the core collides with a Win32 macro.
set -eu
root=${1:-.}
cxx=${CXX_MINGW:-x86_64-w64-mingw32-g++-posix}
cd "$root"
if ! command -v "$cxx" >/dev/null; then
  echo "$cxx is not installed (tools/setup.sh test installs it)" >&2
  exit 1
fi
tu=$(mktemp --suffix=.cpp)
trap 'rm -f "$tu"' EXIT
{
  echo '#include <windows.h>'
  echo '#include <shellapi.h>'
  find src -name '*.h' | grep -vE '^src/platform/(linux|win32)/' | sort | sed 's|^src/\(.*\)$|#include "\1"|'
} >"$tu"
"$cxx" -std=c++20 -fsyntax-only -Wall -Wextra -Wpedantic -Werror -Isrc "$tu"
echo "the core compiles beside <windows.h> ($(grep -c '^#include "' "$tu") headers)"
