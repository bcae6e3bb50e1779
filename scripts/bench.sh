#!/usr/bin/env bash
# Builds an optimised program and measures it: the Google Benchmark suite, the headless
# command on a generated market, the report window, and the program's start up to a painted
# Call Report.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

build=build-bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSTRIKELINE_BUILD_APP=ON -DSTRIKELINE_BUILD_TESTS=OFF \
  -DSTRIKELINE_BUILD_BENCH=ON
cmake --build "$build" -j2 --target strikeline_bench strikeline_table_bench strikeline_report_bench \
  strikeline-cli strikeline-market strikeline-launch-bench strikeline-minimal-window strikeline

"$build/bench/strikeline_bench" "$@"
QT_QPA_PLATFORM=offscreen "$build/bench/strikeline_table_bench"
# The report window beside the core's build of the same report (ratio_to_core), its longest
# slice, and a page of scrolling.
QT_QPA_PLATFORM=offscreen "$build/bench/strikeline_report_bench"

market=$(mktemp -d)
trap 'rm -rf "$market"' EXIT
TIMEFORMAT='%R s'
for scale in 1 10; do
  "$build/tools/strikeline-market" --out "$market" --scale "$scale" --date 2010-06-24
  echo "scale $scale: $(wc -c < "$market/call.csv") bytes of calls"
  echo -n "  strikeline-cli load --summary: "
  { time "$build/cli/strikeline-cli" load --summary --as call "$market/call.csv" > /dev/null; } 2>&1
  echo -n "  strikeline-cli load (full JSON): "
  { time "$build/cli/strikeline-cli" load --as call "$market/call.csv" > /dev/null; } 2>&1
  echo -n "  strikeline-cli report --kind call (parse + build + JSON): "
  { time "$build/cli/strikeline-cli" report --data "$market" --kind call --now "2010-06-24 06:00:00" > /dev/null; } 2>&1
  echo -n "  strikeline-cli report --kind call --expire 3 --leveraged: "
  { time "$build/cli/strikeline-cli" report --data "$market" --kind call --now "2010-06-24 06:00:00" --expire 3 \
      --leveraged > /dev/null; } 2>&1
  # What the analytics add: every series of every month, without and with them.
  for kind in call put; do
    echo -n "  strikeline-cli report --kind $kind --expire 3: "
    { time "$build/cli/strikeline-cli" report --data "$market" --kind $kind --now "2010-06-24 06:00:00" \
        --expire 3 > /dev/null; } 2>&1
    echo -n "  strikeline-cli report --kind $kind --expire 3 --analytics: "
    { time "$build/cli/strikeline-cli" report --data "$market" --kind $kind --now "2010-06-24 06:00:00" \
        --expire 3 --analytics > /dev/null; } 2>&1
  done
done

# The headless command's whole process beside mawk, CPU time.
bash scripts/bench-headless.sh "$build"

# The program itself uses the clock of the day, so its markets are today's.
echo "launch: milliseconds from process start, median of 5 runs (offscreen), beside an empty Qt main window"
for scale in 1 10; do
  "$build/tools/strikeline-market" --out "$market/today-$scale" --scale "$scale"
  echo "scale $scale:"
  QT_QPA_PLATFORM=offscreen "$build/bench/strikeline-launch-bench" --data "$market/today-$scale" \
    --open call-report --runs 5 |
    python3 -c 'import json, sys
result = json.load(sys.stdin)
median = result["median_ms"]
print("\n".join("  %-15s %8.1f" % (name, value) for name, value in median.items()))
print("  %-15s %8.1f" % ("minimal window", result["minimal_median_ms"]["window_shown"]))
ratio = result["ratio"]
print("  report painted / minimal window shown: %.2f (at most %.1f: %s)" % (
    ratio["report_painted_over_minimal_window_shown"], ratio["limit"], "met" if ratio["met"] else "not met"))
memory = result["memory_kb"]
print("  resident kB: program %d (peak %d), minimal %d, market model %d; limit %d: %s" % (
    memory["rss"], memory["hwm"], memory["minimal_rss"], memory["market_model"], memory["limit"],
    "met" if memory["met"] else "not met"))'
done
