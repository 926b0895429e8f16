#!/usr/bin/env bash
# Builds the optimised native build (linux-release preset) and runs its benchmarks, printing
# their tables: bench_kernels first (when present, ending with the kernel table: each kernel's
# ratio to its layout's memory pass), then bench_frame (each frame case beside SDL2, with its
# floor), then every other bench_* binary of the build's bin folder (bench_scaling: the scaling
# table, renderer calls as live textures and quads a frame grow; bench_decode: image decoding
# and upload); then, under Wine, the i686
# kernel table (bench_kernels_win), the product's frame (bench_frame_win: dd7r.dll on Wine's
# DirectDraw 7, beside the native cases and SDL2 of the same run) and the product's scaling
# table (bench_scaling_win).
#
#   scripts/bench.sh [--profile] [--no-wine] [-- FLAGS...]
#     --profile  after the tables, where bench_frame's time goes: a perf profile of each case
#                (callgrind when perf cannot sample here), with the DirectDraw calls, kernels
#                and queue work picked out
#     --no-wine  the native benchmarks only
#     FLAGS      passed to every native binary (e.g. --benchmark_filter=1024x768)
#   DD7R_BUILD_DIR      build folder (default build/linux-release)
#   DD7R_WINDOWS_BUILD  Windows build folder (default build/windows-x86, windows-x86 preset; its
#                       image dependencies must be in place, as for scripts/test.sh)
#   DD7R_BENCH_SCENE    scene folder (default: tools/bench/scene of this repository)
#   DD7R_BENCH_JOBS     build jobs (default 2: the machine is shared)
#   DD7R_WINE_SAMPLES   frames timed per Wine case in each round (default 40; the best is reported)
#   DD7R_WINE_ROUNDS    rounds over all the Wine cases (default 3; each case keeps its fastest)
#   DD7R_SCALING_ROUNDS rounds of the scaling table's cases, natively and under Wine (default 3)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

profile=0
wine_cases=1
flags=()
while [ $# -gt 0 ]; do
  case "$1" in
    --profile) profile=1 ;;
    --no-wine) wine_cases=0 ;;
    --) shift; flags=("$@"); break ;;
    *) echo "bench.sh: unknown option $1" >&2; exit 2 ;;
  esac
  shift
done

build="${DD7R_BUILD_DIR:-build/linux-release}"
bin="$build/bin"
windows_build="${DD7R_WINDOWS_BUILD:-build/windows-x86}"
jobs="${DD7R_BENCH_JOBS:-2}"
# bench_frame's figures, for bench_frame_win to set its own beside them.
frame_summary="$root/$build/frame-summary.txt"

export DD7R_BENCH_SCENE="${DD7R_BENCH_SCENE:-$root/tools/bench/scene}"

failed_targets=()
failed_runs=()

phase() { printf '\n==== %s (%s)\n' "$1" "$(date +%T)"; }

# Only the benchmark executables: the tests are not needed to measure.
bench_targets() {
  cmake --build "$build" --target help | sed -n 's/^\(bench_[A-Za-z0-9_]*\):.*/\1/p' | sort -u
}

build_benchmarks() {
  phase "build ($build, linux-release preset)"
  cmake --preset linux-release -B "$build" >/dev/null
  mapfile -t targets < <(bench_targets)
  if [ ${#targets[@]} -eq 0 ]; then
    echo "no bench_* target: is Google Benchmark installed (scripts/install-deps.sh)?" >&2
    exit 1
  fi
  local target
  for target in "${targets[@]}"; do
    # One benchmark that does not build does not keep the others from running.
    cmake --build "$build" -j "$jobs" --target "$target" ||
      { echo "bench.sh: $target did not build: not run" >&2; failed_targets+=("$target"); }
  done
}

# bench_kernels, bench_frame, then the others, each once.
ordered_binaries() {
  local first name
  for first in bench_kernels bench_frame; do
    [ -x "$bin/$first" ] && echo "$bin/$first"
  done
  for name in "$bin"/bench_*; do
    [ -x "$name" ] && [ -f "$name" ] || continue
    case "$(basename "$name")" in
      bench_kernels | bench_frame) ;;
      *) echo "$name" ;;
    esac
  done
}

# bench_frame: five runs of each case, shown as aggregates only (its summary reads the best run,
# the one least disturbed on a shared machine). bench_scaling is a plain timing program: it gets
# its rounds, not the Google Benchmark flags. A binary that fails is noted and the others still
# run.
run_benchmark() {
  local binary="$1" status=0
  phase "$(basename "$binary")"
  case "$(basename "$binary")" in
    bench_frame)
      rm -f "$frame_summary"
      "$binary" --benchmark_repetitions=5 --benchmark_display_aggregates_only=true \
        "--summary-out=$frame_summary" "${flags[@]}" </dev/null || status=$? ;;
    bench_scaling)
      "$binary" "--rounds=${DD7R_SCALING_ROUNDS:-3}" </dev/null || status=$? ;;
    *)
      "$binary" "${flags[@]}" </dev/null || status=$? ;;
  esac
  if [ "$status" -ne 0 ]; then
    echo "bench.sh: $(basename "$binary") failed with status $status" >&2
    failed_runs+=("$(basename "$binary")")
  fi
}

# Sampling on the cpu-clock software event: virtual machines often have no hardware counters
# (perf stat -e instructions says "not supported"), but the clock samples still show the time.
perf_works() {
  command -v perf >/dev/null || return 1
  local data status
  data="$(mktemp "${TMPDIR:-/tmp}/bench-perf-probe.XXXXXX")"
  perf record --quiet -e cpu-clock -o "$data" true >/dev/null 2>&1 && status=0 || status=1
  rm -f "$data"
  return "$status"
}

# The lines of a profile report that tell where a frame's time goes.
breakdown_pattern='copyPixels|fillArea|copyRowsRaw|SoftSurface::(Blt|BltFast|Lock|Unlock)|ZelUISystem::Blend[A-Za-z]+|SoftDirectDraw::log|_Rb_tree|submitQuad|discardQueue|draw(Quad|Blended|Copied|Tinted)|renderQueue|memmove|memcpy|memset'

profile_case_with_perf() {
  local binary="$1" name="$2" data
  data="$(mktemp "${TMPDIR:-/tmp}/bench-frame-perf.XXXXXX")"
  perf record --quiet -e cpu-clock --call-graph dwarf,16384 -F 499 -o "$data" \
    "$binary" --no-frame-check "--benchmark_filter=^${name}\$" --benchmark_min_time=1 </dev/null >/dev/null 2>&1 ||
    echo "-- $name: perf record failed"
  echo "-- $name: share of the samples by library"
  perf report -i "$data" --no-children --stdio -g none --sort dso --percent-limit 1 2>/dev/null |
    grep -E '^ +[0-9]' | sed -E 's/ +$//' || true
  echo "   by function: with its callees (children), in itself (self)"
  perf report -i "$data" --children --stdio -g none --sort symbol --percent-limit 0.5 2>/dev/null |
    grep -E '^ +[0-9]' | grep -E "$breakdown_pattern" | sed -E 's/ +- +- +$//; s/ +$//' | head -25 || true
  rm -f "$data"
}

profile_case_with_callgrind() {
  local binary="$1" name="$2" out
  out="$(mktemp "${TMPDIR:-/tmp}/bench-frame-callgrind.XXXXXX")"
  valgrind --tool=callgrind --callgrind-out-file="$out" \
    "$binary" --no-frame-check "--benchmark_filter=^${name}\$" --benchmark_min_time=0.01 </dev/null >/dev/null 2>&1 ||
    echo "-- $name: callgrind failed"
  echo "-- $name: instructions, including callees"
  callgrind_annotate --inclusive=yes "$out" 2>/dev/null | grep -E "$breakdown_pattern" | head -25 || true
  rm -f "$out"
}

profile_frame_cases() {
  local binary="$bin/bench_frame" name
  [ -x "$binary" ] || return 0
  phase "where bench_frame's time goes"
  while read -r name; do
    [ -n "$name" ] || continue
    if perf_works; then
      profile_case_with_perf "$binary" "$name"
    elif command -v valgrind >/dev/null; then
      profile_case_with_callgrind "$binary" "$name"
    else
      echo "neither perf nor valgrind works here: no profile" >&2
      return 0
    fi
  done < <("$binary" --no-frame-check --benchmark_list_tests "${flags[@]}" | grep -E '^[a-z0-9_]+/[0-9]+x[0-9]+$')
}

# The i686 kernel table (real MMX) under Wine: the Windows build's bench_kernels_win.
run_wine_kernels() {
  local wbuild="$windows_build"
  phase "bench_kernels_win (i686, under Wine)"
  command -v wine >/dev/null || { echo "bench.sh: no wine: bench_kernels_win not run" >&2; failed_runs+=(bench_kernels_win); return 0; }
  if cmake --preset windows-x86 -B "$wbuild" >/dev/null &&
    cmake --build "$wbuild" -j "$jobs" --target bench_kernels_win; then
    scripts/wine-session.sh cmake/wine-run.sh "$wbuild/bin/bench_kernels_win.exe" 9 1920x1080 256x256 </dev/null ||
      failed_runs+=(bench_kernels_win)
  else
    failed_targets+=(bench_kernels_win)
  fi
}

# The product's frame: the Windows build's bench_frame_win under Wine, dd7r.dll on Wine's
# DirectDraw 7, with the native figures of this run beside it. Wine maps Z: to /.
run_wine_frames() {
  phase "windows build ($windows_build, windows-x86 preset): dd7r.dll and bench_frame_win"
  if ! { cmake --preset windows-x86 -B "$windows_build" >/dev/null &&
         cmake --build "$windows_build" -j "$jobs" --target dd7r bench_frame_win; }; then
    echo "bench.sh: bench_frame_win did not build: not run" >&2
    failed_targets+=(bench_frame_win)
    return 0
  fi
  phase "bench_frame_win under Wine (dd7r.dll on Wine's DirectDraw 7)"
  local native=()
  [ -f "$frame_summary" ] && native=("--native=Z:$frame_summary")
  scripts/wine-session.sh wine "$windows_build/bin/bench_frame_win.exe" "--scene-dir=Z:$DD7R_BENCH_SCENE" \
    "--samples=${DD7R_WINE_SAMPLES:-40}" "--rounds=${DD7R_WINE_ROUNDS:-3}" "${native[@]}" </dev/null ||
    { echo "bench.sh: bench_frame_win failed" >&2; failed_runs+=(bench_frame_win); }
}

# The product's scaling table: the Windows build's bench_scaling_win under Wine, the same cases as
# the native bench_scaling, through dd7r.dll on Wine's DirectDraw 7.
run_wine_scaling() {
  phase "bench_scaling_win under Wine (dd7r.dll on Wine's DirectDraw 7)"
  if ! cmake --build "$windows_build" -j "$jobs" --target dd7r bench_scaling_win; then
    echo "bench.sh: bench_scaling_win did not build: not run" >&2
    failed_targets+=(bench_scaling_win)
    return 0
  fi
  scripts/wine-session.sh wine "$windows_build/bin/bench_scaling_win.exe" "--rounds=${DD7R_SCALING_ROUNDS:-3}" </dev/null ||
    { echo "bench.sh: bench_scaling_win failed" >&2; failed_runs+=(bench_scaling_win); }
}

build_benchmarks
while read -r binary; do
  case " ${failed_targets[*]} " in
    *" $(basename "$binary") "*) continue ;;
  esac
  run_benchmark "$binary"
done < <(ordered_binaries)
if [ "$wine_cases" -eq 1 ]; then
  run_wine_kernels
  run_wine_frames
  run_wine_scaling
fi
if [ "$profile" -eq 1 ]; then profile_frame_cases; fi
phase "done"
if [ ${#failed_targets[@]} -gt 0 ] || [ ${#failed_runs[@]} -gt 0 ]; then
  echo "not built: ${failed_targets[*]:-none}; failed: ${failed_runs[*]:-none}" >&2
  exit 1
fi
