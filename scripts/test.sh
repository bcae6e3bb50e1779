#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, fuzzes the parsers of downloaded files for a while, and
# runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

# Code is kept in the project's format.
git ls-files -z '*.cpp' '*.h' | xargs -0 -r clang-format --dry-run --Werror

# Includes point from the windows down into the core, never back up: no core folder and
# not the headless command includes a window.
if git grep -n '#include "gui/' -- platform storage marketdata reports plan journal session cli; then
  echo "a core file includes a window" >&2
  exit 1
fi

build=build-test
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSTRIKELINE_SANITIZE=ON
cmake --build "$build" -j2

# libFuzzer on each parser of a downloaded file, on the downloader's handling of an answer
# and on the readers of the settings file and of the user's own files, seeded with small
# good files.
fuzz=build-fuzz
fuzzers=(FuzzOptionFile FuzzDividendsFile FuzzNameTable FuzzSettingsFile FuzzDownload
  FuzzTradingPlanFile FuzzDiaryFile FuzzAverageTradesFile FuzzColorScheme)
CXX=clang++ cmake -S . -B "$fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTRIKELINE_FUZZ=ON \
  -DSTRIKELINE_BUILD_APP=OFF -DSTRIKELINE_BUILD_TESTS=OFF
cmake --build "$fuzz" -j2 --target "${fuzzers[@]}"
for fuzzer in "${fuzzers[@]}"; do
  corpus=$(mktemp -d)
  cp "tests/fixtures/fuzz/$fuzzer/"* "$corpus/"
  if ! "$fuzz/tests/fuzz/$fuzzer" -max_total_time="${STRIKELINE_FUZZ_SECONDS:-20}" -max_len=8192 \
      -rss_limit_mb=2048 -timeout=10 "$corpus" > "$corpus.log" 2>&1; then
    tail -n 60 "$corpus.log"
    echo "$fuzzer found a fault; the input is in the current folder (crash-*, leak-*, timeout-*)" >&2
    exit 1
  fi
  echo "$fuzzer: $(grep -m1 -o 'Done [0-9]* runs in [0-9]* second(s)' "$corpus.log")"
  rm -rf "$corpus" "$corpus.log"
done

# The downloader's thread and the windows' thread meet in the market data and the
# application state, and the analytics of a market are worked out on every core: those
# tests run again under ThreadSanitizer.
tsan=build-tsan
cmake -S . -B "$tsan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSTRIKELINE_TSAN=ON -DSTRIKELINE_BUILD_APP=OFF \
  -DSTRIKELINE_BUILD_BENCH=OFF
cmake --build "$tsan" -j2 --target downloader_tests marketdata_tests analytics_tests
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" "$tsan/tests/downloader_tests" --gtest_brief=1
TSAN_OPTIONS="halt_on_error=1" "$tsan/tests/marketdata_tests" --gtest_brief=1 --gtest_filter='MarketSnapshot.*'
TSAN_OPTIONS="halt_on_error=1" "$tsan/tests/analytics_tests" --gtest_brief=1 --gtest_filter='MarketAnalytics.*:PlanRowAnalyticsTest.*'

bash scripts/package-test.sh
# SIGKILL at random moments and a file-size limit while the program quits and the headless
# fetch installs: every file is afterwards the old or the whole new one.
bash scripts/kill-test.sh "$build"
bash scripts/full-disk-test.sh "$build"
cd "$build"
# A hung test fails after five minutes instead of holding the run.
ctest --output-on-failure -j2 --timeout 300
