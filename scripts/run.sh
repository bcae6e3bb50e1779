#!/usr/bin/env bash
# Installs what is missing, builds Strikeline, generates a sample market for today and
# serves it on the local feed (http://127.0.0.1:8642) for as long as the program runs,
# gives a new data folder the sample market's year of prices, fetches the market into the
# data folder, shows the Call Report and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

build=build
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTRIKELINE_BUILD_TESTS=OFF \
  -DSTRIKELINE_BUILD_BENCH=OFF
cmake --build "$build" -j2

. scripts/lib/local-feed.sh
work=$(mktemp -d)
start_local_feed "$build" "$work" 8642

data="${XDG_DATA_HOME:-$HOME/.local/share}/Strikeline"
backfill_price_history "$build" "$work" "$data"
export STRIKELINE_FEED_URL=http://127.0.0.1:8642 STRIKELINE_SITE_URL=http://127.0.0.1:8642
"$build/cli/strikeline-cli" fetch --data "$data"
"$build/cli/strikeline-cli" report --data "$data" --kind call --expire 3 |
  python3 -c 'import json, sys
report = json.load(sys.stdin)
for block in report["companies"][:5]:
    print(block["values"][0], "—", len(block["series"]), "series")
    for row in block["series"][:3]:
        print("   ", " | ".join(row["cells"]))
print(len(report["companies"]), "companies in the Call Report")'

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: start Strikeline from a desktop session to see its window." >&2
  exit 0
fi
"$build/gui/app/strikeline" "$@"
