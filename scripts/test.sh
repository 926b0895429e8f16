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

phase "fuzz smoke (linux-fuzz preset, clang)"
scripts/fuzz.sh 20

phase "windows build (windows-x86 preset)"
scripts/build-windows-deps.sh
cmake --preset windows-x86 >/dev/null
cmake --build --preset windows-x86 -j "$jobs"

phase "windows module exports"
exports="$(i686-w64-mingw32-objdump -p build/windows-x86/bin/dd7r.dll |
  sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk '/^\t\[ *[0-9]+\]/ {print $NF}' |
  sort | tr '\n' ' ')"
echo "dd7r.dll exports: $exports"
[ "$exports" = "createRenderer destroyRenderer getLastErrorString " ] ||
  { echo "dd7r.dll must export exactly the three entry points"; exit 1; }

phase "windows tests under Wine"
scripts/wine-session.sh ctest --preset windows-x86
phase "capture round trip (native, Wine, Wine capture replayed natively)"; scripts/capture-roundtrip.sh

phase "done"
