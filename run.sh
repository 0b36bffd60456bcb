#!/usr/bin/env bash
# ./run.sh            installs what is missing, builds, starts the designer
# ./run.sh ARGS...    the same, then runs the command-line program with ARGS
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps
scripts/configure out -DCMAKE_BUILD_TYPE=Release
cmake --build out --target sitedesk pagewright >/dev/null
if [ $# -eq 0 ]; then
  exec out/app/sitedesk
else
  exec out/cli/pagewright "$@"
fi
