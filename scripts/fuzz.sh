#!/usr/bin/env bash
# Builds the libFuzzer targets (configure preset linux-fuzz) and runs each of them for the given
# number of seconds (default 60), one after the other, starting from the committed seed corpus
# tools/fuzz/corpus/<target>. New inputs go to <build>/fuzz-corpus/<target>, crash reproducers to
# <build>/fuzz-artifacts/. Exits non-zero at the first target that reports a finding.
#   scripts/fuzz.sh [seconds] [target...]      targets: image_data pixel_upload renderer_calls
# Environment: DD7R_FUZZ_BUILD_DIR (default build/linux-fuzz), DD7R_FUZZ_JOBS (build jobs, 2).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

seconds="${1:-60}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(image_data pixel_upload renderer_calls)
build="${DD7R_FUZZ_BUILD_DIR:-build/linux-fuzz}"

cmake --preset linux-fuzz -B "$build" >/dev/null
cmake --build "$build" -j "${DD7R_FUZZ_JOBS:-2}" --target "${targets[@]/#/fuzz_}"

for target in "${targets[@]}"; do
  corpus="$build/fuzz-corpus/$target"
  artifacts="$build/fuzz-artifacts"
  mkdir -p "$corpus" "$artifacts"
  printf '\n==== fuzz_%s for %s s (%s)\n' "$target" "$seconds" "$(date +%T)"
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$build/bin/fuzz_$target" -max_total_time="$seconds" -max_len=8192 -timeout=30 \
      -rss_limit_mb=2560 -print_final_stats=1 -artifact_prefix="$artifacts/$target-" \
      "$corpus" "tools/fuzz/corpus/$target"
done
