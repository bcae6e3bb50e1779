#!/usr/bin/env bash
# The headless command's whole process beside mawk: CPU time (user + system) of each child
# process, the median of 11 runs, on the ten-times generated call file. Also the command on
# an empty file (its start alone) and `strikeline --version` (the desktop program's start).
# Usage: bench-headless.sh [BUILD_DIR]
# Given a build folder, it builds nothing and measures what is there; without one, it builds
# the optimised programs in build-bench first.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -ge 1 ]; then
  build=$1
else
  bash scripts/install-deps.sh
  build="build-bench"
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSTRIKELINE_BUILD_APP=ON \
    -DSTRIKELINE_BUILD_TESTS=OFF -DSTRIKELINE_BUILD_BENCH=ON > /dev/null
  cmake --build "$build" -j2 --target strikeline strikeline-cli strikeline-market
fi
for program in cli/strikeline-cli tools/strikeline-market; do
  [ -x "$build/$program" ] || { echo "bench-headless: $build/$program is not built" >&2; exit 1; }
done
command -v mawk > /dev/null || { echo "bench-headless: mawk is not installed" >&2; exit 1; }

market=$(mktemp -d)
trap 'rm -rf "$market"' EXIT
"$build/tools/strikeline-market" --out "$market" --scale 10 > /dev/null
: > "$market/empty.csv"
if pgrep -x ninja > /dev/null; then
  echo "bench-headless: a build is running; the figures are taken under load" >&2
fi

python3 - "$build" "$market" << 'PYTHON'
import os, resource, statistics, subprocess, sys

build, market = sys.argv[1], sys.argv[2]
runs = 11
cli = os.path.join(build, "cli", "strikeline-cli")
gui = os.path.join(build, "gui", "app", "strikeline")
call = os.path.join(market, "call.csv")
empty = os.path.join(market, "empty.csv")

def cpu_ms(command, env=None):
    """CPU time of one run of the child, user + system, in milliseconds."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    done = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    if done.returncode != 0:
        sys.exit("bench-headless: %s exited with %d" % (" ".join(command), done.returncode))
    return (after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime) * 1000

gui_env = dict(os.environ)
for name in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"):
    gui_env.pop(name, None)
commands = [
    ("mawk -F, '{n+=NF}' call.csv", ["mawk", "-F,", "{n+=NF}", call], None),
    ("strikeline-cli load --summary --as call call.csv",
     [cli, "load", "--summary", "--as", "call", call], None),
    ("strikeline-cli load --summary --as call (empty file)",
     [cli, "load", "--summary", "--as", "call", empty], None),
]
if os.access(gui, os.X_OK):
    commands.append(("strikeline --version", [gui, "--version"], gui_env))
# The commands take turns, run by run, so that a slower moment of the machine falls on all
# of them alike.
times = {name: [] for name, _, _ in commands}
for _ in range(runs):
    for name, command, env in commands:
        times[name].append(cpu_ms(command, env))
medians = {name: statistics.median(values) for name, values in times.items()}

print("headless: CPU ms (user + system of the process), median of %d runs; call.csv %.1f MB"
      % (runs, os.path.getsize(call) / 1e6))
for name, _, _ in commands:
    print("  %-52s %7.2f" % (name, medians[name]))
if not os.access(gui, os.X_OK):
    print("  %-52s %7s" % ("strikeline --version", "not built"))
mawk = medians[commands[0][0]]
load = medians[commands[1][0]]
ratio = load / mawk
print("  strikeline-cli / mawk: %.2f (at most 1.00: %s)" % (ratio, "met" if ratio <= 1 else "not met"))
PYTHON
