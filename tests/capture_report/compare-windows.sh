#!/usr/bin/env bash
# The Windows inspector against the native one: the same captures inspected by dd7r-replay.exe
# under Wine (over Wine's DirectDraw, the module's code linked into the replay) and by the native
# dd7r-replay (over the software DirectDraw, the module loaded by path) give the same report: the
# same events with each quad's path, the same written pixels (so the same pixel histories), and
# the same texture pictures. Needs build/linux and build/windows-x86 built, and node.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
native="$root/build/linux/bin"
windows="$root/build/windows-x86/bin"
work="$root/build/inspector-windows"
rm -rf "$work"
mkdir -p "$work"

# The demo's capture (every layout and blend mode, 320x240, two frames each) and a capture with
# a reset, a rewritten skin file, failed loads and a texture in another layout.
"$native/dd7r-demo" --out "$work/demo" --size 320x240 --frames 2 --capture "$work/demo.capture" >/dev/null
"$native/dd7r-capture-scenarios" reset "$work/scenario" >/dev/null
cp "$work/scenario/scenario.capture" "$work/reset.capture"

# Each replay's exit code is kept: a divergence (1) must be the same on both sides. DD7R_CAPTURE
# names the capture being read: a replay that recorded itself would wipe it.
for name in demo reset; do
  status=0
  DD7R_CAPTURE="$work/$name.capture" "$native/dd7r-replay" "$work/$name.capture" --inspect "$work/$name-native" >"$work/$name-native.out" || status=$?
  echo "$status" >"$work/$name-native.status"
done
# Under Wine, Z: is the Unix root, so absolute paths work as they are.
"$root/scripts/wine-session.sh" bash -c '
  for name in demo reset; do
    status=0
    DD7R_CAPTURE="Z:$2/$name.capture" wine "$1/dd7r-replay.exe" "Z:$2/$name.capture" --inspect "Z:$2/$name-windows" >"$2/$name-windows.out" || status=$?
    echo "$status" >"$2/$name-windows.status"
  done
' wine-inspect "$windows" "$work"

for name in demo reset; do
  echo "windows inspector, $name: $(grep 'inspection report' "$work/$name-windows.out" || echo 'no report')"
  cmp -s "$work/$name-native.status" "$work/$name-windows.status" ||
    { echo "windows inspector: $name exits with $(cat "$work/$name-windows.status") under Wine," \
           "$(cat "$work/$name-native.status") natively"; cat "$work/$name-windows.out"; exit 1; }
  node "$here/compare-reports.mjs" "$work/$name-native" "$work/$name-windows" "$work/$name-native" "Z:$work/$name-windows"
  # The page itself, and the texture and thumbnail pictures by name and content.
  for page in index.html inspector.js inspector.css; do cmp "$work/$name-native/$page" "$work/$name-windows/$page"; done
  diff -r "$work/$name-native/textures" "$work/$name-windows/textures"
  diff -r "$work/$name-native/thumbs" "$work/$name-windows/thumbs"
done
echo "windows inspector: the reports under Wine equal the native ones"
