#!/usr/bin/env bash
# Runs one Windows program under Wine with a prefix inside the build tree, quietly and
# without the Mono/Gecko set-up that a new prefix would otherwise ask for.
set -euo pipefail
program="$1"; shift
bin_dir="$(cd "$(dirname "$program")" && pwd)"
build_dir="$(dirname "$bin_dir")"
export WINEPREFIX="${WINEPREFIX:-$build_dir/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEARCH="${WINEARCH:-win32}"
unset DISPLAY
exec wine "$program" "$@"
