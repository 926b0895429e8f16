#!/usr/bin/env bash
# The module's folders are layers (README's layout table): a file includes only its own folder
# and the folders below it. Prints which folder includes which, and fails on any include that
# goes up a layer.
#   scripts/check-layers.sh
set -euo pipefail
module="$(cd "$(dirname "$0")/.." && pwd)/RendererModules/DirectDraw7GUIRenderer"
layers=(interface platform diagnostics blend texture renderer capture exports)  # bottom first

rank() {
  local i
  for i in "${!layers[@]}"; do [ "${layers[$i]}" = "$1" ] && { echo "$i"; return; }; done
  echo -1
}

declare -A edges=()
status=0
cd "$module"
while IFS=: read -r file _ included; do
  from="${file%%/*}"
  to="$(sed -E 's/.*#include "([^/"]+)\/.*/\1/' <<<"$included")"
  [ "$from" = "$to" ] && continue
  [ "$(rank "$to")" -ge 0 ] || continue  # not a layer of the module (an image library header)
  edges["$from -> $to"]=1
  if [ "$(rank "$from")" -lt "$(rank "$to")" ]; then
    echo "upward include: $file includes ${included#*#include }"
    status=1
  fi
done < <(grep -rnE '^\s*#\s*include "[^/"]+/' --include='*.h' --include='*.cpp' "${layers[@]}")

for from in $(printf '%s\n' "${layers[@]}" | tac); do
  targets=$(for edge in "${!edges[@]}"; do if [ "${edge%% -> *}" = "$from" ]; then echo "${edge##* -> }"; fi; done | sort | tr '\n' ' ')
  printf '%-12s includes %s\n' "$from" "${targets:-nothing outside itself}"
done
[ "$status" -eq 0 ] && echo "layers hold: every include goes down"
exit "$status"
