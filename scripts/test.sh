#!/usr/bin/env bash
# The whole test suite: native with AddressSanitizer and UndefinedBehaviorSanitizer, then the
# Windows build under Wine. Installs what is missing first.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
jobs="$(nproc)"

phase() { printf '\n==== %s (%s)\n' "$1" "$(date +%T)"; }

phase "dependencies"
scripts/install-deps.sh

phase "native build (linux preset)"
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$jobs"

phase "native tests"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --preset linux -j "$jobs"

phase "windows build (windows-x86 preset)"
scripts/build-windows-deps.sh
cmake --preset windows-x86 >/dev/null
cmake --build --preset windows-x86 -j "$jobs"

phase "windows tests under Wine"
scripts/wine-session.sh ctest --preset windows-x86

phase "done"
