#!/usr/bin/env bash
# Builds the libFuzzer targets (configure preset linux-fuzz, or linux-i386-fuzz for the 32-bit
# build) and runs each of them for the given number of seconds (default 60), one after the
# other, starting from the committed seed corpus tools/fuzz/corpus/<target>. New inputs go to
# <build>/fuzz-corpus/<target>, crash reproducers to <build>/fuzz-artifacts/. Exits non-zero at
# the first target that reports a finding.
#   scripts/fuzz.sh [seconds] [target...]      targets: image_data pixel_upload renderer_calls capture_file
# Environment: DD7R_FUZZ_PRESET (linux-fuzz or linux-i386-fuzz; default linux-fuzz),
# DD7R_FUZZ_BUILD_DIR (default build/<preset>), DD7R_FUZZ_JOBS (build jobs, 2),
# DD7R_FUZZ_ARGS (more libFuzzer options, e.g. "-fork=1 -ignore_crashes=1" for a long campaign).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

seconds="${1:-60}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(image_data pixel_upload renderer_calls capture_file)
preset="${DD7R_FUZZ_PRESET:-linux-fuzz}"
build="${DD7R_FUZZ_BUILD_DIR:-build/$preset}"
read -r -a extra_args <<<"${DD7R_FUZZ_ARGS:-}"

cmake --preset "$preset" -B "$build" >/dev/null
cmake --build "$build" -j "${DD7R_FUZZ_JOBS:-2}" --target "${targets[@]/#/fuzz_}"

for target in "${targets[@]}"; do
  corpus="$build/fuzz-corpus/$target"
  artifacts="$build/fuzz-artifacts"
  mkdir -p "$corpus" "$artifacts"
  printf '\n==== fuzz_%s (%s) for %s s (%s)\n' "$target" "$preset" "$seconds" "$(date +%T)"
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$build/bin/fuzz_$target" -max_total_time="$seconds" -max_len=8192 -timeout=30 \
      -rss_limit_mb=2560 -print_final_stats=1 -artifact_prefix="$artifacts/$target-" \
      ${extra_args[@]+"${extra_args[@]}"} "$corpus" "tools/fuzz/corpus/$target"
done
