#!/usr/bin/env bash
# Installs what is missing, builds Tumblebout from scratch and runs every test.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/deps.sh"
build="$root/build-test"
rm -rf "$build"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j"$(nproc)"
cd "$build"
ctest --output-on-failure -j"$(nproc)"

# The same suite again under AddressSanitizer and UndefinedBehaviorSanitizer. The data
# is copied from the build above rather than generated a second time.
sanitize="$root/build-test-sanitize"
rm -rf "$sanitize"
cmake -S "$root" -B "$sanitize" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTUMBLEBOUT_SANITIZE=ON \
  -DTUMBLEBOUT_DATA_FROM="$build"
cmake --build "$sanitize" -j"$(nproc)" --target tumblebout_tests
cd "$sanitize"
# Mesa's software GL driver is unloaded before the leak check runs, so its own
# allocations show up as leaks from an unknown module that no suppression can name.
# Memory errors and undefined behaviour still stop a test; the readers' leaks are
# checked by the fuzzing run (scripts/fuzz.sh).
ASAN_OPTIONS=detect_leaks=0 ctest --output-on-failure -j"$(nproc)"
