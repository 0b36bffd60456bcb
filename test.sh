#!/usr/bin/env bash
# ./test.sh           installs what is missing, builds, runs every test
# ./test.sh --asan    the same with AddressSanitizer and UBSan (out-asan/)
# ./test.sh --tsan    the site-build tests (the build makes its pictures on
#                     several threads) with ThreadSanitizer (out-tsan/)
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
elif [ "${1:-}" = "--tsan" ]; then
  dir=out-tsan
  args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DPW_TSAN=ON -DPW_BUILD_BENCH=OFF -DPW_BUILD_GUI=OFF)
  export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1"
  scripts/configure "$dir" "${args[@]}"
  cmake --build "$dir" --target test_sitebuild
  ctest --test-dir "$dir" --output-on-failure -j2 -R '^(SiteBuildJobs|SiteBuilder|ImageOutput|HtmlWriter)\.'
  exit
fi
scripts/configure "$dir" "${args[@]}"
cmake --build "$dir"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$dir" --output-on-failure -j2
