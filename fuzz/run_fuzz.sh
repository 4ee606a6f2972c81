#!/usr/bin/env bash
# Builds the profile-engine fuzz target with clang in build-fuzz/ and runs it
# on the committed seed corpus for the given number of seconds (default 60).
# New inputs go to build-fuzz/corpus, so the committed corpus stays as it is;
# a crash leaves its input in build-fuzz/ and fails the run.
set -eu
seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"
cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUILLOP_WERROR=ON >/dev/null
cmake --build "$build"
mkdir -p "$build/corpus"
cd "$build"
# Every committed input first, findings of earlier runs included, then fuzzing.
./profile_fuzz -runs=0 "$root/fuzz/corpus"
exec ./profile_fuzz -max_total_time="$seconds" -max_len=4096 -timeout=10 -print_final_stats=1 \
  "$build/corpus" "$root/fuzz/corpus"
