#!/usr/bin/env bash
# The headless command's outputs on a generated market, compared with the checksums kept
# in tests/fixtures/golden/outputs.sha256: the report and load JSON, and the plan exports
# (CSV and HTML whole, the workbook and the document part by part, without the part that
# holds the time they were made), under two time zones. A change to how the program is
# put together must leave every one of them as it was; a change meant to alter an output
# updates the checksums with --update and says so.
#
# Usage: scripts/golden-outputs.sh BUILD_DIR [--update]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:?usage: scripts/golden-outputs.sh BUILD_DIR [--update]}" && pwd)
update=${2:-}
sums=$PWD/tests/fixtures/golden/outputs.sha256
plan=$PWD/tests/fixtures/userfiles/tradingplan.xml
scheme=$PWD/tests/fixtures/userfiles/scheme.slclr
cli=$build/cli/strikeline-cli

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/tools/strikeline-market" --out "$work/market" --date 2026-06-10 --seed 7 > /dev/null

now="2026-06-10 04:30:00"
out=$work/out
mkdir -p "$out"
for zone in UTC Australia/Sydney; do
  z=${zone//\//-}
  for kind in call put; do
    TZ=$zone "$cli" report --data "$work/market" --kind "$kind" --now "$now" > "$out/$z-report-$kind.json"
    TZ=$zone "$cli" report --data "$work/market" --kind "$kind" --now "$now" --leveraged \
      --stocks 1 --expire 3 --sort-mode 2 --sort-direction 0 > "$out/$z-report-$kind-highest.json"
  done
  for kind in call put dividends; do
    file=$kind.csv
    TZ=$zone "$cli" load --as "$kind" "$work/market/$file" > "$out/$z-load-$kind.json"
  done
  TZ=$zone "$cli" load --as names "$work/market/companyname.txt" > "$out/$z-load-names.json"
  for format in csv html xlsx docx; do
    TZ=$zone "$cli" plan-export --plan "$plan" --format "$format" --out "$out/$z-plan.$format" \
      --now "$now" --scheme "$scheme" | sed "s|$out/||" > "$out/$z-plan-$format.json"
  done
  for format in xlsx docx; do
    mkdir "$out/$z-plan-$format-parts"
    (cd "$out/$z-plan-$format-parts" && unzip -q "$out/$z-plan.$format")
    rm "$out/$z-plan.$format" "$out/$z-plan-$format-parts/docProps/core.xml" 2> /dev/null || true
  done
done

(cd "$out" && find . -type f | LC_ALL=C sort | xargs sha256sum) > "$work/actual.sha256"
if [ "$update" = --update ]; then
  cp "$work/actual.sha256" "$sums"
  echo "golden outputs: $(wc -l < "$sums") checksums written to $sums"
  exit 0
fi
if ! diff -u "$sums" "$work/actual.sha256" > "$work/diff"; then
  cat "$work/diff"
  echo "golden outputs: the outputs above differ from those kept (scripts/golden-outputs.sh BUILD --update after a change meant to alter them)" >&2
  exit 1
fi
echo "golden outputs: $(wc -l < "$sums") outputs as kept"
