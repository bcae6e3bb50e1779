# Sourced by the scripts that need the local feed: generates today's sample market and
# serves it on 127.0.0.1:PORT until the calling script exits.
# Usage: start_local_feed BUILD_DIR WORK_DIR PORT [SCALE]
start_local_feed() {
  local build=$1 work=$2 port=$3 scale=${4:-1}
  "$build/tools/strikeline-market" --out "$work/feed" --feed --scale "$scale"
  "$build/tools/strikeline-feed" --root "$work/feed" --port "$port" 2> "$work/feed.log" &
  local_feed_pid=$!
  trap 'kill "$local_feed_pid" 2> /dev/null || true; wait "$local_feed_pid" 2> /dev/null || true; rm -rf "'"$work"'"' EXIT
  for _ in $(seq 50); do
    grep -q "Serving" "$work/feed.log" 2> /dev/null && return 0
    kill -0 "$local_feed_pid" 2> /dev/null || { cat "$work/feed.log" >&2; return 1; }
    sleep 0.1
  done
  echo "the local feed did not start" >&2
  return 1
}

# Gives a data folder without a price history the sample market's year up to today, so the
# price charts have something to draw on the first day. A folder with a history keeps it.
# Usage: backfill_price_history BUILD_DIR WORK_DIR DATA_DIR [SCALE]
backfill_price_history() {
  local build=$1 work=$2 data=$3 scale=${4:-1}
  [ -e "$data/pricehistory.csv" ] && return 0
  mkdir -p "$data"
  "$build/tools/strikeline-market" --out "$work/history" --history --scale "$scale" > /dev/null
  cp "$work/history/pricehistory.csv" "$data/pricehistory.csv"
}
