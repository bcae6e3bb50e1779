#!/usr/bin/env bash
# Kills the desktop program and the headless fetch with SIGKILL at random moments while
# they save and install, and checks that every file is afterwards either the one before
# or the whole new one, byte for byte: never a mix, never cut short. A killed fetch's
# temporary downloads are gone after the next start.
#
# Usage: scripts/kill-test.sh [BUILD_DIR]   (default: build)
# Budget: KILL_TEST_PROGRAM_PASSES (70), KILL_TEST_FETCH_PASSES (170, more while fewer than
# KILL_TEST_MIN_KILLS kills have come, up to three times as many), KILL_TEST_SECONDS (240);
# the run fails with fewer than KILL_TEST_MIN_KILLS (200) kills.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
build=$(cd "$build" && pwd)
program_passes=${KILL_TEST_PROGRAM_PASSES:-70}
fetch_passes=${KILL_TEST_FETCH_PASSES:-170}
budget=${KILL_TEST_SECONDS:-240}
min_kills=${KILL_TEST_MIN_KILLS:-200}
started=$SECONDS

source scripts/lib/program-home.sh
source scripts/lib/local-feed.sh

work=$(mktemp -d)
# Files large enough that a kill often lands while one is written or installed.
start_local_feed "$build" "$work" 18650 4
feed_url=http://127.0.0.1:18650
app=$build/gui/app/strikeline
cli=$build/cli/strikeline-cli
kills=0
passes=0
strays=0

fail() {
  echo "kill-test: $*" >&2
  exit 1
}

# Usage: check_file WHAT FILE OLD NEW
# FILE must be OLD or NEW byte for byte; a missing OLD means FILE may be absent too.
check_file() {
  local what=$1 file=$2 old=$3 new=$4
  if [ ! -e "$file" ]; then
    [ ! -e "$old" ] || fail "$what: $file is gone"
  elif ! { [ -e "$old" ] && cmp -s "$file" "$old"; } && ! cmp -s "$file" "$new"; then
    cp "$file" kill-test-broken
    fail "$what: $file is neither the old nor the new file (kept as kill-test-broken)"
  fi
}

# Usage: kill_now PID — SIGKILL, counted when it ended the process.
kill_now() {
  kill -KILL "$1" 2> /dev/null || true
  local status=0
  wait "$1" 2> /dev/null || status=$?
  [ "$status" -ne $((128 + 9)) ] || kills=$((kills + 1))
}

out_of_time() {
  [ $((SECONDS - started)) -ge "$budget" ]
}

# --- The program's quit: SIGTERM, then SIGKILL while it writes its files. ---
make_program_home "$work/old" 1500
home=$work/home
rm -rf "$home" && cp -a "$work/old" "$home"
start_program "$app" "$home" "$work/program.log"
# How long start-up and quit take undisturbed, and what a whole quit writes.
sleep 1
quit_started=$(now_ms)
kill -TERM "$program_pid"
wait_program 30
[ "$program_status" = 0 ] || fail "the program ended with status $program_status on SIGTERM"
quit_ms=$(($(now_ms) - quit_started + 50))
rm -rf "$work/new" && cp -a "$home" "$work/new"
for file in "${user_files[@]}"; do
  ! cmp -s "$work/old/$file" "$work/new/$file" || fail "the quit did not rewrite $file"
done

for pass in $(seq "$program_passes"); do
  out_of_time && break
  rm -rf "$home" && cp -a "$work/old" "$home"
  start_program "$app" "$home" "$work/program.log"
  # Some passes end while start-up still reads the plan, the others once it runs.
  sleep_ms $((RANDOM % 400))
  kill -TERM "$program_pid" 2> /dev/null || true
  sleep_ms $((RANDOM % quit_ms))
  kill_now "$program_pid"
  for file in "${user_files[@]}"; do
    check_file "program pass $pass" "$home/$file" "$work/old/$file" "$work/new/$file"
    # A save cut short leaves its temporary file beside the user's file, never in its place.
    strays=$((strays + $(find "$(dirname "$home/$file")" -name "$(basename "$file").??????" | wc -l)))
  done
  passes=$((passes + 1))
done
program_kills=$kills

# --- The headless fetch: SIGKILL while it downloads and installs. ---
data_files=(call.csv put.csv dividends.csv companyname.txt top20.txt)
"$build/tools/strikeline-market" --out "$work/held" --scale 4 --date "$(date -d '30 days ago' +%F)" > /dev/null
# The fetch itself, not a shell around it, so that its process id is the one killed.
fetch() {
  exec env STRIKELINE_FEED_URL="$1" STRIKELINE_SITE_URL="$1" ASAN_OPTIONS=detect_leaks=0 \
    "$cli" fetch --data "$2" > /dev/null 2>&1
}
rm -rf "$work/fetched" && mkdir "$work/fetched"
fetch_started=$(now_ms)
(fetch "$feed_url" "$work/fetched") || fail "an undisturbed fetch failed"
fetch_ms=$(($(now_ms) - fetch_started))

data=$work/data
# The planned passes, and more while too few of them ended in a kill (a fetch may finish
# before its kill comes), up to three times as many.
pass=0
while :; do
  pass=$((pass + 1))
  if [ "$pass" -gt "$fetch_passes" ]; then
    [ "$kills" -lt "$min_kills" ] && [ "$pass" -le $((3 * fetch_passes)) ] || break
  fi
  out_of_time && break
  rm -rf "$data" && mkdir "$data"
  # Every fourth pass starts with no data at all, as a first run does.
  [ $((pass % 4)) -eq 0 ] || cp "$work/held/"* "$data/"
  held=$work/held
  [ $((pass % 4)) -ne 0 ] || held=$work/nothing
  (fetch "$feed_url" "$data") &
  fetch_pid=$!
  sleep_ms $((RANDOM % fetch_ms))
  kill_now "$fetch_pid"
  for file in "${data_files[@]}"; do
    check_file "fetch pass $pass" "$data/$file" "$held/$file" "$work/fetched/$file"
  done
  # The next start, here one that reaches no feed, removes what the killed one left.
  rm -rf "$work/before" && cp -a "$data" "$work/before"
  ! (fetch http://127.0.0.1:9 "$data") || fail "a fetch from no feed succeeded"
  leftovers=$(find "$data" -name 'qdl_*' | head -n 3)
  [ -z "$leftovers" ] || fail "fetch pass $pass: temporary downloads left after the next start: $leftovers"
  for file in "${data_files[@]}"; do
    check_file "fetch pass $pass, next start" "$data/$file" "$work/before/$file" "$work/before/$file"
  done
  passes=$((passes + 1))
done

echo "kill test: $passes passes, $kills kills ($program_kills during the program's quit," \
  "$((kills - program_kills)) during fetches) in $((SECONDS - started)) seconds; every file old or new;" \
  "$strays temporary files of cut saves left beside them"
[ "$kills" -ge "$min_kills" ] || fail "only $kills kills in the budget of $budget seconds (at least $min_kills wanted)"
