#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite.
# With --asan, the same suite runs under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh --test
preset=dev
[ "${1:-}" = "--asan" ] && preset=asan
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset"
