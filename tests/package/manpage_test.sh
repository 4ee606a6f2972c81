#!/usr/bin/env bash
# The manual page renders without a single groff or man warning.
set -u
page=$1
command -v groff >/dev/null || { echo "SKIP: groff is not installed"; exit 77; }
# -k: the page is UTF-8 (Japanese captions), preconv turns it into groff input.
out=$(groff -k -man -Tutf8 -ww -z "$page" 2>&1)
[ -z "$out" ] || { echo "FAIL: groff warns:"; echo "$out"; exit 1; }
if command -v man >/dev/null; then
  out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
  [ -z "$out" ] || { echo "FAIL: man warns:"; echo "$out"; exit 1; }
fi
text=$(LC_ALL=C.UTF-8 MANWIDTH=200 groff -k -man -Tutf8 -P-cbou "$page" 2>/dev/null)
status=0
for section in NAME SYNOPSIS DESCRIPTION KEYS FILES ENVIRONMENT NOTES; do
  grep -qx "$section" <<<"$text" || { echo "FAIL: no section $section"; status=1; }
done
# Every entry of the slot menu, in its own words.
for caption in 何もしない 開く 削除 関連付けで開く 解説テキストの表示 アイコンの説明を書く \
               ページの説明を書く 常に手前に表示 アイコンの移動をする 好きなところに格納 \
               オプション 設定読込 設定保存 終了; do
  grep -qx "       $caption.*" <<<"$text" || { echo "FAIL: no entry for $caption"; status=1; }
done
[ "$status" -eq 0 ] && echo PASS
exit "$status"
