#!/usr/bin/env bash
# Fails when a core file includes Qt or an operating-system header. Only the
# Linux and Windows realisations and main.cpp may.
set -u
root=${1:-.}
cd "$root" || exit 2
hits=$(find src -name '*.h' -o -name '*.cpp' | grep -vE '^src/platform/(linux|win32)/|^src/app/main\.cpp$' \
  | xargs grep -HnE '^\s*#\s*include\s*[<"](Q[A-Za-z]+|qt[a-z]*/|unistd\.h|sys/|fcntl\.h|pthread\.h|dlfcn\.h|pwd\.h|signal\.h|glib|gio/|X11/|windows\.h)' || true)
if [ -n "$hits" ]; then
  echo "core files include Qt or OS headers:"
  echo "$hits"
  exit 1
fi
echo "core is portable"
