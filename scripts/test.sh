#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

# Code is kept in the project's format.
git ls-files -z '*.cpp' '*.h' | xargs -0 -r clang-format --dry-run --Werror

build=build-test
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSTRIKELINE_SANITIZE=ON
cmake --build "$build" -j2
cd "$build"
# A hung test fails after five minutes instead of holding the run.
ctest --output-on-failure -j2 --timeout 300
