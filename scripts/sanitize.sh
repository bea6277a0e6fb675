#!/bin/sh
# The whole test suite again under AddressSanitizer and UndefinedBehaviorSanitizer,
# built with clang, with the libFuzzer targets and their short runs.
set -e
cd "$(dirname "$0")/.."
CC=clang CXX=clang++ cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DVESTIBAR_SANITIZE=ON -DVESTIBAR_FUZZ=ON >/dev/null
cmake --build build-asan
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$(pwd)/scripts/lsan.supp
ctest --test-dir build-asan --output-on-failure -j "$(nproc)" "$@"
