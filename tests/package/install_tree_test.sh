#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks that exactly the
# expected files arrive, that the icons have the sizes their directories
# promise and that the manual page is the source page, compressed.
set -u
cmake=$1 build=$2 source=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$cmake" --install "$build" --prefix "$tmp/usr" >"$tmp/log" 2>&1 || { cat "$tmp/log"; echo "FAIL: install"; exit 1; }
expected='usr/bin/quillop
usr/share/applications/quillop.desktop
usr/share/doc/quillop/changelog.gz
usr/share/doc/quillop/copyright
usr/share/icons/hicolor/16x16/apps/quillop.png
usr/share/icons/hicolor/32x32/apps/quillop.png
usr/share/icons/hicolor/48x48/apps/quillop.png
usr/share/icons/hicolor/scalable/apps/quillop.svg
usr/share/man/man1/quillop.1.gz'
actual=$(cd "$tmp" && find usr ! -type d | LC_ALL=C sort)
if [ "$actual" != "$expected" ]; then
  echo "FAIL: installed files differ from the expected list:"
  diff <(echo "$expected") <(echo "$actual")
  exit 1
fi
status=0
[ -x "$tmp/usr/bin/quillop" ] || { echo "FAIL: the binary is not executable"; status=1; }
for size in 16 32 48; do
  png=$tmp/usr/share/icons/hicolor/${size}x${size}/apps/quillop.png
  # Width and height are the big-endian words at bytes 16 and 20 of a PNG.
  dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
  [ "$dims" = "${size}x${size}" ] || { echo "FAIL: the ${size}x${size} icon is $dims"; status=1; }
done
grep -q '<svg' "$tmp/usr/share/icons/hicolor/scalable/apps/quillop.svg" || { echo "FAIL: the scalable icon is no SVG"; status=1; }
gzip -dc "$tmp/usr/share/man/man1/quillop.1.gz" | cmp -s - "$source/data/quillop.1" ||
  { echo "FAIL: the installed manual page is not the source page"; status=1; }
gzip -dc "$tmp/usr/share/doc/quillop/changelog.gz" | cmp -s - "$source/data/debian/changelog" ||
  { echo "FAIL: the installed changelog is not the source changelog"; status=1; }
# The package's version is the changelog's newest.
newest=$(sed -n '1s/^quillop (\([^)]*\)).*/\1/p' "$source/data/debian/changelog")
project=$(sed -n 's/^project(quillop VERSION \([0-9.]*\).*/\1/p' "$source/CMakeLists.txt")
[ "$newest" = "$project" ] || { echo "FAIL: the changelog's newest version is '$newest', the project's '$project'"; status=1; }
[ "$status" -eq 0 ] && echo PASS
exit "$status"
