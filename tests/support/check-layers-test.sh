#!/usr/bin/env bash
# The layer check passes on the tree and refuses an include that points up
# the chain, and Qt in the core, naming the file.
set -u
src=$1
check=$src/scripts/check-layers
"$check" "$src" || { echo "the tree itself breaks the layers"; exit 1; }

tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/model" "$tmp/render" "$tmp/services" "$tmp/app"
printf '#include "render/PageRenderer.h"\n' > "$tmp/model/Bad.cpp"
printf '#include "model/Page.h"\n' > "$tmp/render/Good.cpp"
printf '#include <QString>\n' > "$tmp/services/Qt.h"
printf '#include "editor/PlumeView.h"\n#include <QWidget>\n' > "$tmp/app/Fine.cpp"
if out=$("$check" "$tmp" 2>&1); then
  echo "a model file including render/ was not refused"; exit 1
fi
fail=0
grep -q 'model/Bad.cpp: model may not include render/' <<<"$out" || { echo "no message for model/Bad.cpp: $out"; fail=1; }
grep -q 'services/Qt.h: core code may not include Qt' <<<"$out" || { echo "no message for Qt in services: $out"; fail=1; }
grep -q 'render/Good.cpp\|app/Fine.cpp' <<<"$out" && { echo "allowed includes refused: $out"; fail=1; }
exit $fail
