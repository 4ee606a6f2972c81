#!/usr/bin/env bash
# Builds the fuzz targets with clang in build-fuzz/ and runs each on its
# committed seed corpus for the given number of seconds (default 60): the
# profile engine (fuzz/corpus/), then the bitmap decoder (fuzz/corpus-bmp/).
# New inputs go to build-fuzz/corpus*, so the committed corpora stay as they
# are; a crash leaves its input in build-fuzz/ and fails the run.
set -eu
seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"
cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUILLOP_WERROR=ON >/dev/null
cmake --build "$build"
cd "$build"
# Each target: every committed input first, findings of earlier runs included,
# then fuzzing for the given time.
fuzz() {
  local target=$1 committed=$2 found=$3
  mkdir -p "$found"
  "./$target" -runs=0 "$committed"
  "./$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 -print_final_stats=1 "$found" "$committed"
}
fuzz profile_fuzz "$root/fuzz/corpus" "$build/corpus"
fuzz bmp_fuzz "$root/fuzz/corpus-bmp" "$build/corpus-bmp"
