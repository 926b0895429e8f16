#!/usr/bin/env bash
# The whole test suite: native with AddressSanitizer and UndefinedBehaviorSanitizer (x86-64 and
# 32-bit x86), native once more without sanitizers (optimised, with an allocator that reuses
# freed memory at once), fuzz smoke, then the Windows build under Wine. Installs what is missing
# first.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
jobs="$(nproc)"

# Each phase prints its start; the closing summary gives the seconds every phase took.
timings=()
phase_name=""
phase_start=$SECONDS
close_phase() {
  [ -z "$phase_name" ] || timings+=("$(printf '%5d s  %s' $((SECONDS - phase_start)) "$phase_name")")
}
phase() {
  close_phase
  phase_name="$1"
  phase_start=$SECONDS
  printf '\n==== %s (%s)\n' "$1" "$(date +%T)"
}

phase "dependencies"
scripts/install-deps.sh

phase "native build (linux preset)"
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$jobs"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

phase "native tests"
ctest --preset linux -j "$jobs"

phase "native 32-bit build (linux-i386 preset, clang -m32)"
cmake --preset linux-i386 >/dev/null
cmake --build --preset linux-i386 -j "$jobs"

phase "native 32-bit tests"
ctest --preset linux-i386 -j "$jobs"

phase "native build without sanitizers (linux-release-tests preset)"
cmake --preset linux-release-tests >/dev/null
cmake --build --preset linux-release-tests -j "$jobs"

phase "native tests without sanitizers"
ctest --preset linux-release-tests -j "$jobs"

phase "fuzz smoke (linux-fuzz preset, clang)"
scripts/fuzz.sh 20

phase "fuzz smoke, 32-bit (linux-i386-fuzz preset, clang -m32)"
DD7R_FUZZ_PRESET=linux-i386-fuzz scripts/fuzz.sh 20 renderer_calls

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

phase "windows package (zip under 4 MB, every file the guide names, dd7r.dll symbolises with the debug file beside it)"
scripts/check-package.sh build/windows-x86

phase "example hosts from the package under Wine (mingw-w64, and Microsoft's compiler's ABI)"
scripts/wine-session.sh scripts/check-examples.sh build/windows-x86

phase "windows tests under Wine (the reliability suites over the real DirectDraw)"
scripts/wine-session.sh ctest --preset windows-x86
phase "capture round trip (native, Wine, Wine capture replayed natively)"; scripts/capture-roundtrip.sh

phase "inspector in headless Chromium (reports of the demo's and a reset's captures)"
tests/capture_report/run.sh

phase "windows inspector under Wine against the native one (the demo's and a reset's captures)"
tests/capture_report/compare-windows.sh

close_phase
printf '\n==== done: time per phase\n'
printf '%s\n' "${timings[@]}"
