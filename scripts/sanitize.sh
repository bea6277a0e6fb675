#!/bin/sh
# The whole test suite again under AddressSanitizer and UndefinedBehaviorSanitizer,
# built with clang, with the libFuzzer targets and their short runs.
#
#   VESTIBAR_ASAN_DIR     build folder (default build-asan)
#   VESTIBAR_FUZZ_SECONDS length of each short fuzz run (default 15)
#   extra arguments go to ctest (e.g. -R fuzz_)
set -e
cd "$(dirname "$0")/.."
dir=${VESTIBAR_ASAN_DIR:-build-asan}
seconds=${VESTIBAR_FUZZ_SECONDS:-15}
# -O1: unoptimised code under ASan runs the pty and event-loop tests several times
# slower; -O1 keeps the stacks readable and the asserts in (Debug, no NDEBUG).
# Each source on its own here (the first pass combines them): a file-local name
# that two sources share, or a header a source forgets, shows in one of the passes.
CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_UNITY_BUILD=OFF \
  -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
  -DVESTIBAR_SANITIZE=ON -DVESTIBAR_FUZZ=ON -DVESTIBAR_FUZZ_SECONDS="$seconds" >/dev/null
cmake --build "$dir" -j "${VESTIBAR_JOBS:-$(nproc)}"
supp=$(pwd)/scripts/lsan.supp
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=0:check_initialization_order=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$supp:print_suppressions=0
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" "$@"
