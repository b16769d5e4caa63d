#!/bin/sh
# Builds the fuzz targets with clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer
# in build-fuzz, then runs each for SECONDS (default 60), starting from the committed corpus.
# New inputs go to build-fuzz/corpus-<target>; a failing input is written to
# build-fuzz/crash-* and the script stops with its status.
set -e
cd "$(dirname "$0")/.."
seconds=${1:-60}
dir=build-fuzz
cmake -S . -B "$dir" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTAVRIGON_FUZZ=ON -DTAVRIGON_SANITIZE=ON -DTAVRIGON_BENCH=OFF
cmake --build "$dir" -j2 --target fuzz_engine fuzz_setupfile fuzz_fileio
for target in engine setupfile fileio; do
  mkdir -p "$dir/corpus-$target"
  ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen "$dir/fuzz/fuzz_$target" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 -max_len=65536 \
    -artifact_prefix="$dir/" -print_final_stats=1 \
    "$dir/corpus-$target" "fuzz/corpus/$target"
done
