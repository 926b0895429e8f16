#!/usr/bin/env bash
# The inspector in a real browser: reports of the demo's capture (every layout and blend mode)
# and of a capture with a reset, failed loads, a texture in another layout, quads off the target
# and a failed createRenderer, opened in headless Chromium and checked against dd7r-replay's command-line twin. Needs build/linux built and the
# node packages of this folder (scripts/install-deps.sh installs both Chromium and them).
# Screenshots are kept in build/inspector-test/.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
bin="$root/build/linux/bin"
work="$root/build/inspector-test"
rm -rf "$work"
mkdir -p "$work"
[ -d "$here/node_modules/playwright-core" ] || (cd "$here" && npm ci --no-audit --no-fund >/dev/null)

# The demo's capture: 320x240, two frames of each layout and blend mode.
"$bin/dd7r-demo" --out "$work/demo" --size 320x240 --frames 2 --capture "$work/demo.capture" >/dev/null
start=$(date +%s.%N)
"$bin/dd7r-replay" "$work/demo.capture" --inspect "$work/demo-report"
echo "inspector test: demo report written in $(echo "$(date +%s.%N) - $start" | bc) s, $(du -sh "$work/demo-report" | cut -f1)"
"$bin/dd7r-replay" "$work/demo.capture" --out "$work/demo-replay" >/dev/null
# Frame 2: 565 layout, blend mode 1 (quads blended on the target), the first frame of a new
# renderer; frame 1: blend mode 0 (the composition surface copied to the target at the end of
# the pass).
node "$here/report-test.mjs" "$bin/dd7r-replay" "$work/demo.capture" "$work/demo-report" 2 \
  "$work/demo-replay" "$work/inspector-demo-frame2.png" "blended" "createRenderer -> renderer 2"
node "$here/report-test.mjs" "$bin/dd7r-replay" "$work/demo.capture" "$work/demo-report" 1 \
  "$work/demo-replay" "$work/inspector-demo-frame1.png" "composition surface copied to the target"

# A reset with a rewritten skin file, loads that fail, a texture whose layout is not the target's.
"$bin/dd7r-capture-scenarios" reset "$work/scenario" >/dev/null
"$bin/dd7r-replay" "$work/scenario/scenario.capture" --inspect "$work/scenario-report" >/dev/null
"$bin/dd7r-replay" "$work/scenario/scenario.capture" --out "$work/scenario-replay" >/dev/null
node "$here/report-test.mjs" "$bin/dd7r-replay" "$work/scenario/scenario.capture" "$work/scenario-report" 0 \
  "$work/scenario-replay" "$work/inspector-failed-loads.png" "FAILED" "mismatched layout"
node "$here/report-test.mjs" "$bin/dd7r-replay" "$work/scenario/scenario.capture" "$work/scenario-report" 1 \
  "$work/scenario-replay" "$work/inspector-reset.png" "preD3DReset" "file changed before a rebuild" "postD3DReset"

# The same capture with its opaque white quads moved to reach past the target's corner at their
# source's size: unstretched keyed copies DirectDraw refuses (BltFast does not clip), which the
# module takes for drawn; and its half-transparent white quad (the texture in another layout)
# made opaque: copied, not blended, by a blit from 565 to the 32-bit target, a pair DirectDraw
# carries across (so it is not flagged).
# SubmitQuad (kind 8): destination at 4, source at 28, colours at 44.
node -e '
  const fs = require("fs");
  const [, from, to] = process.argv;
  const bytes = fs.readFileSync(from);
  let moved = 0;
  for (let at = 16; at < bytes.length; at += 5 + bytes.readUInt32LE(at + 1)) {
    const p = at + 5;
    if (bytes[at] !== 8 || ![0, 1, 2, 3].every((i) => bytes.readUInt32LE(p + 44 + 4 * i) === 0xFFFFFFFF)) continue;
    const width = bytes.readFloatLE(p + 36) - bytes.readFloatLE(p + 28), height = bytes.readFloatLE(p + 40) - bytes.readFloatLE(p + 32);
    [150, 100, 150 + width, 100 + height].forEach((value, i) => bytes.writeFloatLE(value, p + 4 + 4 * i));
    ++moved;
  }
  for (let at = 16; at < bytes.length; at += 5 + bytes.readUInt32LE(at + 1))
    if (bytes[at] === 8 && bytes.readUInt32LE(at + 5 + 44) === 0x90FFFFFF)
      for (let i = 0; i < 4; ++i) bytes.writeUInt32LE(0xFFFFFFFF, at + 5 + 44 + 4 * i);
  fs.writeFileSync(to, bytes);
  process.exit(moved > 0 ? 0 : 1);' "$work/scenario/scenario.capture" "$work/off-target.capture"
"$bin/dd7r-replay" "$work/off-target.capture" --inspect "$work/off-target-report" >/dev/null
"$bin/dd7r-replay" "$work/off-target.capture" --out "$work/off-target-replay" >/dev/null
node "$here/report-test.mjs" "$bin/dd7r-replay" "$work/off-target.capture" "$work/off-target-report" 0 \
  "$work/off-target-replay" "$work/inspector-off-target.png" "DirectDraw refused the blit"

# The demo's capture with its second createRenderer (kind 2) failed for want of a device:
# renderer 0, no device given. The replay's createRenderer fails too, and says why.
node -e '
  const fs = require("fs");
  const [, from, to] = process.argv;
  const bytes = fs.readFileSync(from);
  let seen = 0;
  for (let at = 16; at < bytes.length; at += 5 + bytes.readUInt32LE(at + 1))
    if (bytes[at] === 2 && ++seen === 2) { bytes.writeUInt32LE(0, at + 5); bytes[at + 9] = 0; }
  fs.writeFileSync(to, bytes);' "$work/demo.capture" "$work/no-device.capture"
"$bin/dd7r-replay" "$work/no-device.capture" --inspect "$work/no-device-report" >/dev/null
"$bin/dd7r-replay" "$work/no-device.capture" --out "$work/no-device-replay" >/dev/null
node "$here/report-test.mjs" "$bin/dd7r-replay" "$work/no-device.capture" "$work/no-device-report" 2 \
  "$work/no-device-replay" "$work/inspector-no-device.png" "createRenderer FAILED: " "Renderer device is NULL"
echo "inspector test: screenshots in $work"
