#!/usr/bin/env bash
# Runs a command with one Wine server kept alive for its whole duration, in the Windows
# build's own prefix, and stops the server afterwards.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$root/build/windows-x86/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win32
unset DISPLAY
mkdir -p "$WINEPREFIX"
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT
# Start Wine's background processes here, with their output away from the command's: if the
# first test program started them, they would hold ctest's output pipe open and ctest would
# wait for them forever.
wineboot >/dev/null 2>&1 </dev/null || true
"$@"
