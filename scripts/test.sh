#!/bin/sh
# Builds in BUILD_DIR (default build) with any extra CMake arguments and runs every test.
set -e
dir=${BUILD_DIR:-build}
cmake -S . -B "$dir" "$@"
cmake --build "$dir" -j2
ctest --test-dir "$dir" --output-on-failure -j2
