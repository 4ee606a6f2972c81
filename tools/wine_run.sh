#!/usr/bin/env bash
# Runs a Windows program of ours under Wine: a private prefix, no debug
# chatter, and a Japanese locale built privately so that Wine's ANSI code
# page is 932, as on the desktop the launcher is made for.
#   tools/wine_run.sh program.exe [arguments...]
# QUILLOP_WINEPREFIX and QUILLOP_LOCPATH override where the prefix and the
# locale live (default: under ~/.cache).
set -eu
cache=${XDG_CACHE_HOME:-$HOME/.cache}
export WINEPREFIX=${QUILLOP_WINEPREFIX:-$cache/quillop-wine}
export LOCPATH=${QUILLOP_LOCPATH:-$cache/quillop-locale}
export WINEDEBUG=-all
# No Mono or Gecko: the prefix would otherwise ask to download them.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
wine=$(command -v wine64 || command -v wine || true)
if [ -z "$wine" ]; then
  [ -x /usr/lib/wine/wine64 ] && wine=/usr/lib/wine/wine64 || { echo "wine is not installed" >&2; exit 1; }
fi
mkdir -p "$cache"
# Tests run side by side: the first one makes the locale and the prefix, the
# others wait for it.
exec 9>"$cache/quillop-wine.lock"
flock 9
if [ ! -f "$LOCPATH/ja_JP.UTF-8/LC_CTYPE" ]; then
  mkdir -p "$LOCPATH"
  localedef -i ja_JP -f UTF-8 "$LOCPATH/ja_JP.UTF-8" 2>/dev/null || [ -f "$LOCPATH/ja_JP.UTF-8/LC_CTYPE" ]
fi
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver64)
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$wine" wineboot -i >/dev/null 2>&1 || true
  "$wineserver" -w 2>/dev/null || true
fi
flock -u 9
# A server that outlives its last program by half a minute: tests start Wine
# programs one after another, and one that came just as the server was going
# away after its usual three seconds would find its connection reset. (When
# a server is running already this does nothing.)
"$wineserver" -p30 2>/dev/null || true
exec "$wine" "$@"
