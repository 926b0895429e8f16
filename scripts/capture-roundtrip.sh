#!/usr/bin/env bash
# The capture round trip: the demo captures itself (--capture), and its capture replays to the
# demo's own frames, byte for byte: natively, under Wine, and the capture made under Wine
# replayed natively. Needs build/linux (and, for the Wine half, build/windows-x86) built.
#   scripts/capture-roundtrip.sh [--native-only]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

native_only=0
[ "${1:-}" = "--native-only" ] && native_only=1
native=build/linux/bin
windows=build/windows-x86/bin
work="$root/build/capture-roundtrip"
rm -rf "$work"
mkdir -p "$work"
# One display format and blend mode per run: the copied path with a composition surface (565,
# blend 0) and the alpha-blended path drawn straight onto the target (32-bit, blend 2).
combinations=("565 0" "32 2")
demo_options=(--size 320x240 --frames 3)

# The demo's frames and a replay's frames, in order, must be the same files.
same_frames() {
  local demo="$1" replay="$2" index=0 frame
  for frame in $(cd "$demo" && ls frame-*.png | sort); do
    cmp -s "$demo/$frame" "$replay/$(printf 'frame-%04u.png' "$index")" ||
      { echo "capture round trip: $replay frame $index differs from $demo/$frame"; return 1; }
    index=$((index + 1))
  done
  [ "$index" -gt 0 ] || { echo "capture round trip: no frames in $demo"; return 1; }
  echo "capture round trip: $index frames of $replay are byte-identical to $demo"
}

for combination in "${combinations[@]}"; do
  read -r format blend <<<"$combination"
  case_dir="$work/format$format-blend$blend"
  mkdir -p "$case_dir"
  printf '\n-- format %s blend %s, native\n' "$format" "$blend"
  "$native/dd7r-demo" --out "$case_dir/native-demo" --format "$format" --blend "$blend" \
    "${demo_options[@]}" --capture "$case_dir/native.capture" >/dev/null
  "$native/dd7r-replay" "$case_dir/native.capture" --out "$case_dir/native-replay" \
    --compare "$case_dir/native-demo" | tail -n 3
  same_frames "$case_dir/native-demo" "$case_dir/native-replay"
done

# Every format and blend mode in one capture (a DirectDraw object per display layout, a
# renderer each): the replay's frame checksums are the demo's, in the demo's order.
printf '\n-- every format and blend mode in one capture, native\n'
all_dir="$work/all"
mkdir -p "$all_dir"
"$native/dd7r-demo" --out "$all_dir/native-demo" --size 320x240 --frames 1 \
  --capture "$all_dir/native.capture" | grep -o 'checksum 0x[0-9a-f]*' >"$all_dir/demo-checksums"
"$native/dd7r-replay" "$all_dir/native.capture" --out "$all_dir/native-replay" |
  grep -o 'checksum 0x[0-9a-f]*' >"$all_dir/replay-checksums"
cmp -s "$all_dir/demo-checksums" "$all_dir/replay-checksums" ||
  { echo "capture round trip: the replay's frames differ from the demo's:"; paste "$all_dir/demo-checksums" "$all_dir/replay-checksums"; exit 1; }
echo "capture round trip: $(wc -l <"$all_dir/demo-checksums") frames of every format and blend mode match"

# Situations the demo never makes, each with a change that must show in the replay.
scenarios="$work/scenarios"
printf '\n-- quads drawn at once (queueing off): the replay draws them itself\n'
"$native/dd7r-capture-scenarios" immediate "$scenarios/immediate" >/dev/null
"$native/dd7r-replay" "$scenarios/immediate/scenario.capture" --out "$scenarios/immediate/replay" \
  --compare "$scenarios/immediate/host" | tail -n 1
same_frames "$scenarios/immediate/host" "$scenarios/immediate/replay"
"$native/dd7r-capture-scenarios" edit-quads "$scenarios/immediate/scenario.capture" "$scenarios/immediate/edited.capture"
"$native/dd7r-replay" "$scenarios/immediate/edited.capture" --out "$scenarios/immediate/edited-replay" >/dev/null
for frame in "$scenarios/immediate/replay"/frame-*.png; do
  ! cmp -s "$frame" "$scenarios/immediate/edited-replay/$(basename "$frame")" ||
    { echo "capture round trip: moving and recolouring the quads left $(basename "$frame") unchanged"; exit 1; }
done
echo "capture round trip: every frame of the edited capture differs"

printf '\n-- a skin file rewritten before a reset, failed loads, a texture in another layout\n'
"$native/dd7r-capture-scenarios" reset "$scenarios/reset" >/dev/null
"$native/dd7r-replay" "$scenarios/reset/scenario.capture" --out "$scenarios/reset/replay" \
  --compare "$scenarios/reset/host" | tail -n 1
same_frames "$scenarios/reset/host" "$scenarios/reset/replay"
cmp -s "$scenarios/reset/host/frame-0000.png" "$scenarios/reset/host/frame-0001.png" &&
  { echo "capture round trip: the rewritten skin file did not change the frame after the reset"; exit 1; }

printf '\n-- a capture whose DirectDraw made 565 surfaces for 555 requests: the replay says so and fails\n'
"$native/dd7r-capture-scenarios" edit-answers "$scenarios/reset/scenario.capture" "$scenarios/reset/other-answers.capture"
status=0
"$native/dd7r-replay" "$scenarios/reset/other-answers.capture" --out "$scenarios/reset/other-answers-replay" \
  >"$scenarios/reset/other-answers.txt" || status=$?
grep "divergences\?, the first" "$scenarios/reset/other-answers.txt" || true
[ "$status" -eq 1 ] && grep -q "the captured one made it 16-bit R 0xF800" "$scenarios/reset/other-answers.txt" ||
  { echo "capture round trip: a DirectDraw answering otherwise went unreported (exit $status)"; exit 1; }

printf '\n-- a device that throws while textures load: the replay throws the same, and says all is well\n'
"$native/dd7r-capture-scenarios" throws "$scenarios/throws" >/dev/null
"$native/dd7r-replay" "$scenarios/throws/scenario.capture" --out "$scenarios/throws/replay" \
  --compare "$scenarios/throws/host" | tail -n 1
same_frames "$scenarios/throws/host" "$scenarios/throws/replay"

# A capture of about 300 MB (another picture under each of 4000 frames) is read as a stream:
# the replay's memory stays far below the file's size (AddressSanitizer's quarantine of freed
# blocks, which is not the replay's, held small).
printf '\n-- a capture of about 300 MB, read as a stream\n'
"$native/dd7r-capture-scenarios" long "$scenarios/large" 4000 0 changing >/dev/null
large="$scenarios/large/scenario.capture"
for run in "--stats" "--out $scenarios/large/replay --frames 0-1"; do
  # shellcheck disable=SC2086
  peak_kb="$(ASAN_OPTIONS="${ASAN_OPTIONS:-}:quarantine_size_mb=1" /usr/bin/time -f '%M' \
    "$native/dd7r-replay" "$large" $run 2>&1 >/dev/null | tail -n 1)"
  echo "capture round trip: dd7r-replay $run on a $(($(stat -c %s "$large") / 1048576)) MB capture: peak memory $((peak_kb / 1024)) MB"
  [ "$peak_kb" -lt 65536 ] || { echo "capture round trip: the replay held more than 64 MB"; exit 1; }
done

[ "$native_only" -eq 1 ] && exit 0

# Under Wine, Z: is the Unix root, so absolute paths work as they are.
scripts/wine-session.sh bash -c '
  set -euo pipefail
  for combination in "${@:4}"; do
    read -r format blend <<<"$combination"
    case_dir="$2/format$format-blend$blend"
    printf "\n-- format %s blend %s, under Wine\n" "$format" "$blend"
    wine "$1/dd7r-demo.exe" --out "Z:$case_dir/windows-demo" --format "$format" --blend "$blend" \
      $3 --capture "Z:$case_dir/windows.capture" >/dev/null
    wine "$1/dd7r-replay.exe" "Z:$case_dir/windows.capture" --out "Z:$case_dir/windows-replay" \
      --compare "Z:$case_dir/windows-demo" | tail -n 3
  done
  printf "\n-- a device that throws, replayed under Wine: the same frames, and all is well\n"
  wine "$1/dd7r-replay.exe" "Z:$2/scenarios/throws/scenario.capture" --out "Z:$2/scenarios/throws/windows-replay" \
    --compare "Z:$2/scenarios/throws/host" | tail -n 1
  printf "\n-- a DirectDraw that made 565 surfaces for 555 requests, replayed under Wine: reported\n"
  status=0
  wine "$1/dd7r-replay.exe" "Z:$2/scenarios/reset/other-answers.capture" --out "Z:$2/scenarios/reset/windows-other-answers" \
    >"$2/scenarios/reset/windows-other-answers.txt" || status=$?
  grep "divergences\?, the first" "$2/scenarios/reset/windows-other-answers.txt" || true
  [ "$status" -eq 1 ] || { echo "capture round trip: under Wine, another DirectDraw'"'"'s answers went unreported"; exit 1; }
  printf "\n-- the capture of about 300 MB, under Wine (32-bit, large-address-aware)\n"
  wine "$1/dd7r-replay.exe" "Z:$2/scenarios/large/scenario.capture" --stats | sed -n 1p
  wine "$1/dd7r-replay.exe" "Z:$2/scenarios/large/scenario.capture" --out "Z:$2/scenarios/large/windows-replay" \
    --frames 0-1 | tail -n 2
' wine-roundtrip "$windows" "$work" "${demo_options[*]}" "${combinations[@]}"

# A host of Microsoft's compiler whose device and logging library throw (tests/msvc_abi): its
# captures replay natively with no divergence.
msvc_host="$windows/msvc_abi_host.exe"
if [ -f "$msvc_host" ]; then
  for scenario in session logger-int; do
    printf '\n-- the Microsoft-ABI host, %s: captured under Wine, replayed natively\n' "$scenario"
    capture="$work/msvc-$scenario.capture"
    (cd "$windows" && DD7R_CAPTURE="Z:$capture" "$root/scripts/wine-session.sh" wine msvc_abi_host.exe "$scenario" >/dev/null)
    "$native/dd7r-replay" "$capture" --out "$work/msvc-$scenario-replay" | grep -v '^frame' | tail -n 2
  done
fi

for combination in "${combinations[@]}"; do
  read -r format blend <<<"$combination"
  case_dir="$work/format$format-blend$blend"
  same_frames "$case_dir/windows-demo" "$case_dir/windows-replay"
  printf '\n-- format %s blend %s, the Wine capture replayed natively\n' "$format" "$blend"
  "$native/dd7r-replay" "$case_dir/windows.capture" --out "$case_dir/windows-capture-native-replay" \
    --compare "$case_dir/windows-demo" | tail -n 3
  same_frames "$case_dir/windows-demo" "$case_dir/windows-capture-native-replay"
done
echo "capture round trip: all frames byte-identical"
