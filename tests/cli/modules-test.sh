#!/usr/bin/env bash
# The headless command links none of the libraries of the HTTP client, the office writers
# and the cipher: each is in a module of its own that does, found where the build put it.
# A copy of the command outside the build tree finds no module, and one beside a damaged
# module cannot load it: either way the fetch and the Excel and Word exports fail with the
# reason, exit with 1 and leave no file, and the exports that need no module still work.
# Usage: modules-test.sh CLI HTTP_MODULE OFFICE_MODULE PRIVATE_LIBDIR PLAN_FILE
set -euo pipefail
cli=$1 http=$2 office=$3 libdir=$4 plan=$5

needed() { readelf -d "$1" | sed -n 's/.*NEEDED.*\[\(.*\)\]/\1/p'; }
fail() { echo "FAIL: $*" >&2; exit 1; }

# Nor Qt and the desktop bus, which only the notices of fetch --notify need (their module).
for library in libcurl libxlsxwriter libzip libcrypto++ libQt6Core libQt6DBus libdbus-1; do
  ! needed "$cli" | grep -q "^$library\." || fail "strikeline-cli links $library"
done
needed "$http" | grep -q '^libcurl\.' || fail "the HTTP module does not link libcurl"
needed "$office" | grep -q '^libxlsxwriter\.' || fail "the office module does not link libxlsxwriter"
needed "$office" | grep -q '^libzip\.' || fail "the office module does not link libzip"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TZ=UTC HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
mkdir -p "$work/bin" "$work/home" "$work/data"

# In the build tree the modules are found and the exports are written.
for format in xlsx docx; do
  "$cli" plan-export --plan "$plan" --format "$format" --out "$work/plan.$format" > /dev/null ||
    fail "the $format export fails in the build tree"
  [ -s "$work/plan.$format" ] || fail "the $format export wrote nothing"
  rm "$work/plan.$format"
done

cp "$cli" "$work/bin/strikeline-cli"
# Runs the copied command; each case expects a failure that names `reason`.
expect_failure() {
  local reason=$1
  shift
  local status=0
  "$work/bin/strikeline-cli" "$@" > "$work/out" 2> "$work/err" || status=$?
  [ "$status" -eq 1 ] || fail "$* exited with $status, not 1"
  grep -qF "$reason" "$work/err" || grep -qF "$reason" "$work/out" ||
    fail "$* does not say '$reason': $(cat "$work/out" "$work/err")"
}

check() {
  local http_reason=$1 office_reason=$2
  expect_failure "$http_reason" fetch --data "$work/data"
  grep -q '"fetched"' "$work/out" && fail "a fetch without its module reports a file fetched"
  expect_failure "Unable to create Excel file (the program's module $office_reason" \
    plan-export --plan "$plan" --format xlsx --out "$work/plan.xlsx"
  expect_failure "Unable to create Word file (the program's module $office_reason" \
    plan-export --plan "$plan" --format docx --out "$work/plan.docx"
  if [ -e "$work/plan.xlsx" ] || [ -e "$work/plan.docx" ]; then
    fail "a failed export left a file"
  fi
  [ -z "$(ls -A "$work/data")" ] || fail "a failed fetch left files: $(ls -A "$work/data")"
  "$work/bin/strikeline-cli" plan-export --plan "$plan" --format csv --out "$work/plan.csv" \
    > /dev/null || fail "the CSV export needs a module"
  rm "$work/plan.csv"
}

# No module beside the copy, and the build tree's are not for a program outside it.
check "strikeline-http.so was not found in $work/$libdir" "strikeline-office.so was not found in $work/$libdir"

# Damaged modules in the copy's private library folder.
mkdir -p "$work/$libdir"
echo "not a shared object" > "$work/$libdir/strikeline-http.so"
echo "not a shared object" > "$work/$libdir/strikeline-office.so"
check "strikeline-http.so could not be loaded" "$work/$libdir/strikeline-office.so could not be loaded"
echo "modules: ok"
