#!/usr/bin/env bash
# Renews docs/screenshot.png, the picture in the README: builds the launcher
# and takes the picture the end-to-end suite takes, from a settings file of
# programs and documents of this machine, under Xvfb.
#   tools/make_screenshot.sh [build directory]     (default: build)
set -eu
cd "$(dirname "$0")/.."
build=${1:-build}
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -G Ninja
cmake --build "$build" -j"$(nproc)" --target quillop
tests/e2e/readme_screenshot.sh "$build/src/quillop" docs/screenshot.png
