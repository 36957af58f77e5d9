#!/usr/bin/env bash
# Fuzzes the game's file readers (options, scores, PNG, WAV, Ogg, TTF, replays), its
# network packets and the invite service's messages with libFuzzer under AddressSanitizer and UndefinedBehaviorSanitizer,
# each for a bounded time.
#   bash scripts/fuzz.sh [SECONDS_PER_READER] [READER...]     (default 60 s, all readers)
# Crashes land in build-fuzz/findings/<reader>/; copy each one into
# tests/fuzz_regressions/<reader>/ once fixed, so the test suite replays it.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-60}"
shift || true
readers=("$@")
[ ${#readers[@]} -gt 0 ] || readers=(options scores png wav ogg ttf replay packets lobby)

bash "$root/scripts/deps.sh" fuzz
build="$root/build-fuzz"
mkdir -p "$build"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTUMBLEBOUT_FUZZ=ON -DTUMBLEBOUT_SANITIZE=ON -DBUILD_TESTING=OFF > "$build/configure.log"
targets=(tumblebout-fuzz-seeds)
for reader in "${readers[@]}"; do targets+=("tumblebout-fuzz-$reader"); done
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"

"$build/tumblebout-fuzz-seeds" "$build/seeds"
status=0
for reader in "${readers[@]}"; do
  corpus="$build/corpus/$reader"
  findings="$build/findings/$reader"
  mkdir -p "$corpus" "$findings"
  echo "== $reader: ${seconds} s"
  # The kept regression inputs join the seeds, so fixed faults stay covered.
  inputs=("$corpus" "$build/seeds/$reader")
  [ -d "$root/tests/fuzz_regressions/$reader" ] && inputs+=("$root/tests/fuzz_regressions/$reader")
  if ! "$build/tumblebout-fuzz-$reader" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -print_final_stats=1 -artifact_prefix="$findings/" "${inputs[@]}" \
       > "$build/fuzz-$reader.log" 2>&1; then
    status=1
    echo "   FOUND a fault: see $build/fuzz-$reader.log and $findings/"
  fi
  grep -E "^stat::number_of_executed_units|^#[0-9]+ *DONE" "$build/fuzz-$reader.log" | tail -2 | sed 's/^/   /'
done
exit $status
