#!/usr/bin/env bash
# ./test.sh           installs what is missing, builds, runs every test
# ./test.sh --asan    the same with AddressSanitizer and UBSan (out-asan/)
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps
scripts/check-layers

dir=out
args=(-DCMAKE_BUILD_TYPE=Release)
if [ "${1:-}" = "--asan" ]; then
  dir=out-asan
  args=(-DCMAKE_BUILD_TYPE=Debug -DPW_SANITIZE=ON -DPW_BUILD_BENCH=OFF)
  export ASAN_OPTIONS=detect_leaks=1
fi
scripts/configure "$dir" "${args[@]}"
cmake --build "$dir"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$dir" --output-on-failure -j2
