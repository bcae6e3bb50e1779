#!/usr/bin/env bash
# Installs what is missing, builds Strikeline and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

build=build
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTRIKELINE_BUILD_TESTS=OFF
cmake --build "$build" -j2

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: start Strikeline from a desktop session, or under xvfb-run." >&2
  exit 1
fi
exec "$build/app/strikeline" "$@"
