#!/usr/bin/env bash
# Takes the README's pictures from the program itself: generates today's market, serves
# it on a local feed, lets the program fetch it and saves its windows (offscreen) into
# docs/images.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${STRIKELINE_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DSTRIKELINE_BUILD_BENCH=OFF > /dev/null
cmake --build "$build" -j2 --target strikeline-screenshots strikeline-market strikeline-feed

work=$(mktemp -d)
port=${STRIKELINE_SCREENSHOT_PORT:-8649}
. scripts/lib/local-feed.sh
start_local_feed "$build" "$work" "$port"
backfill_price_history "$build" "$work" "$work/data"

export STRIKELINE_FEED_URL=http://127.0.0.1:$port STRIKELINE_SITE_URL=http://127.0.0.1:$port
QT_QPA_PLATFORM=offscreen "$build/tools/strikeline-screenshots" --data "$work/data" \
  --out docs/images
