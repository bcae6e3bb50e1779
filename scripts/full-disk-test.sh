#!/usr/bin/env bash
# Quits the desktop program (SIGTERM, as the desktop does at logout) under a file-size
# limit, as on a full disk: every user file and the settings file is afterwards the one
# before or the whole new one, a file that could not be written is the one before byte for
# byte and is named on standard error, no temporary file is left, and the program still
# ends on its own with status 0. The headless fetch on a full disk is a case of its own
# tests (FetchCommandTest).
#
# Usage: scripts/full-disk-test.sh [BUILD_DIR]   (default: build)
# Budget: FULL_DISK_TEST_PASSES (3) passes over each limit, FULL_DISK_TEST_SECONDS (60).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
build=$(cd "$build" && pwd)
rounds=${FULL_DISK_TEST_PASSES:-3}
budget=${FULL_DISK_TEST_SECONDS:-60}
started=$SECONDS

source scripts/lib/program-home.sh

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
trap '' XFSZ
app=$build/gui/app/strikeline
passes=0

fail() {
  echo "full-disk-test: $*" >&2
  exit 1
}

# What an undisturbed quit writes.
make_program_home "$work/old" 40
rm -rf "$work/new" && cp -a "$work/old" "$work/new"
start_program "$app" "$work/new" "$work/program.log"
kill -TERM "$program_pid"
wait_program 30
[ "$program_status" = 0 ] || fail "the program ended with status $program_status on SIGTERM"

# What the quit says of each file it could not write.
declare -A reports=(
  [data/Strikeline/tradingplan.xml]="writting trading plan database"
  [data/Strikeline/diary.xml]="writting diary database"
  [data/Strikeline/averagetrades.xml]="writting average trades database"
  [config/Strikeline/settings.reg]="Unable to write $work/home/config/Strikeline/settings.reg"
)

# Limits in KB (ulimit -f): nothing can be written; the small files fit and the plan and
# the settings file do not.
limits=(0 1)
for _ in $(seq "$rounds"); do
  for limit in "${limits[@]}"; do
    [ $((SECONDS - started)) -lt "$budget" ] || break 2
    home=$work/home
    rm -rf "$home" && cp -a "$work/old" "$home"
    start_program "$app" "$home" "$work/program.log"
    # The limit holds for the program only, set once it runs, and SIGXFSZ is ignored (the
    # program inherits that): a write past the limit then fails with EFBIG, as on a full
    # disk, instead of killing it.
    prlimit --pid "$program_pid" --fsize=$((limit * 1024))
    kill -TERM "$program_pid"
    # Nobody is there to answer a message box: the program must end by itself.
    wait_program 30
    [ "$program_status" = 0 ] || fail "limit $limit KB: the program ended with status $program_status"
    for file in "${user_files[@]}"; do
      size=$(stat -c %s "$work/new/$file")
      if [ "$size" -le $((limit * 1024)) ]; then
        cmp -s "$home/$file" "$work/new/$file" || fail "limit $limit KB: $file was not written"
        continue
      fi
      cmp -s "$home/$file" "$work/old/$file" || fail "limit $limit KB: $file is not the old one"
      # The log reaches its file through a pipe, a moment after the program ends.
      reported=no
      for _ in $(seq 100); do
        grep -q "${reports[$file]}" "$work/program.log" && reported=yes && break
        sleep 0.02
      done
      [ "$reported" = yes ] ||
        fail "limit $limit KB: the failure to write $file was not reported: $(cat "$work/program.log")"
      strays=$(find "$(dirname "$home/$file")" -name "$(basename "$file").*")
      [ -z "$strays" ] || fail "limit $limit KB: left behind: $strays"
    done
    passes=$((passes + 1))
  done
done

echo "full-disk test: $passes passes in $((SECONDS - started)) seconds; old files kept, failures reported"
[ "$passes" -eq $((rounds * ${#limits[@]})) ] || fail "only $passes passes in $budget seconds"
