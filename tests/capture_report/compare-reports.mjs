// Holds two dd7r-replay --inspect reports of one capture against each other by what they hold,
// not by their bytes (the two builds' zlib may pack the same data differently): the frame list,
// every frame's events in draw order with each quad's path and details, every pixel the events
// wrote (the pixel histories are computed from these) and the pictures under the overlay. Prints
// the first differences, named by frame and event, and exits with 1 when there are any.
//
//   node compare-reports.mjs EXPECTED_REPORT ACTUAL_REPORT [EXPECTED_AS_GIVEN ACTUAL_AS_GIVEN]
//
// The replay places the files a capture loads inside the report's folder, so a failed load's
// text names that folder: each report's folder as its replay was given it (under Wine "Z:/...",
// continued with backslashes) reads as "<report>" with forward slashes.

import fs from 'node:fs';
import path from 'node:path';
import vm from 'node:vm';
import zlib from 'node:zlib';

const [expectedDir, actualDir, expectedGiven = expectedDir, actualGiven = actualDir] = process.argv.slice(2);
const unpack = (text) => zlib.inflateSync(Buffer.from(text, 'base64'));

function withoutFolder(value, folder) {
  if (typeof value === 'string')
    return value.split(folder).map((part, i) => (i === 0 ? part : part.replace(/^[^\s()]*/, (rest) => rest.replace(/\\/g, '/'))))
      .join('<report>');
  if (Array.isArray(value)) return value.map((item) => withoutFolder(item, folder));
  if (value && typeof value === 'object') return Object.fromEntries(Object.entries(value).map(([k, v]) => [k, withoutFolder(v, folder)]));
  return value;
}

// The report's data files are scripts that hand their data to the page: run them with a stand-in.
function load(folder, given) {
  const report = { index: null, frames: new Map(), pictures: new Map(), textures: new Map() };
  const DD7R = {
    indexLoaded: ({ directDraw: _name, ...index }) => { report.index = index; },
    pictureLoaded: (name, packed) => report.pictures.set(name, unpack(packed)),
    textureLoaded: (name, texture) => report.textures.set(name, { ...texture, pixels: unpack(texture.pixels) }),
    // What drawing cost and which DirectDraw drew differ between the two by nature.
    frameLoaded: (number, frame) => report.frames.set(number, {
      ...frame, pixels: unpack(frame.pixels),
      events: withoutFolder(JSON.parse(unpack(frame.events).toString()), given).map(({ us: _cost, ...event }) => ({ ...event, details: event.details.filter(([key]) => !key.startsWith('cost')) })),
    }),
  };
  const data = path.join(folder, 'data');
  for (const file of fs.readdirSync(data).sort()) vm.runInNewContext(fs.readFileSync(path.join(data, file), 'utf8'), { DD7R });
  return report;
}

const expected = load(expectedDir, expectedGiven);
const actual = load(actualDir, actualGiven);
const differences = [];
const differ = (what) => differences.push(what);
const same = (a, b) => JSON.stringify(a) === JSON.stringify(b);
const described = (event) => `${event.kind} "${event.label}"${event.rect ? ` [${event.rect}]` : ''}`;

// The event whose written rectangle holds byte `offset` of a frame's pixels.
function eventAt(events, offset) {
  let found = null;
  for (const event of events) if (event.patch && event.patch[4] <= offset && (!found || event.patch[4] >= found.patch[4])) found = event;
  return found;
}

function compareEvents(number, want, got) {
  for (let i = 0; i < Math.max(want.length, got.length); ++i) {
    if (same(want[i], got[i])) continue;
    if (!want[i] || !got[i]) { differ(`frame ${number}: event ${i} only in ${want[i] ? 'the first' : 'the second'} report: ${described(want[i] ?? got[i])}`); return; }
    const fields = Object.keys({ ...want[i], ...got[i] }).filter((key) => !same(want[i][key], got[i][key]));
    const details = new Map(got[i].details);
    const changed = want[i].details.filter(([key, value]) => details.get(key) !== value)
      .map(([key, value]) => `${key}: ${value} / ${details.get(key)}`);
    differ(`frame ${number}: event ${i} (${described(want[i])}) differs in ${fields.join(', ')}${changed.length ? ` (${changed.join('; ')})` : ''}`);
  }
}

function comparePixels(number, want, got) {
  if (want.pixels.equals(got.pixels)) return;
  let at = 0;
  while (at < Math.min(want.pixels.length, got.pixels.length) && want.pixels[at] === got.pixels[at]) ++at;
  const event = eventAt(want.events, at);
  differ(`frame ${number}: pixels differ from byte ${at} of ${want.pixels.length} / ${got.pixels.length}` +
         (event ? `, written by ${described(event)}` : ''));
}

if (!same({ ...expected.index, frames: undefined }, { ...actual.index, frames: undefined })) differ('the report headers differ');
if (!same(expected.index.frames, actual.index.frames)) differ('the frame lists differ (events, quads, failed calls per frame)');
for (const [number, want] of expected.frames) {
  const got = actual.frames.get(number);
  if (!got) { differ(`frame ${number} is missing`); continue; }
  const { pixels: _a, events: _b, ...wantHeader } = want;
  const { pixels: _c, events: _d, ...gotHeader } = got;
  if (!same(wantHeader, gotHeader)) differ(`frame ${number}: size, layout or picture below differ`);
  compareEvents(number, want.events, got.events);
  comparePixels(number, want, got);
}
for (const number of actual.frames.keys()) if (!expected.frames.has(number)) differ(`frame ${number} is extra`);
for (const [name, bytes] of expected.pictures) if (!actual.pictures.get(name)?.equals(bytes)) differ(`picture below ${name} differs or is missing`);
for (const [name, texture] of expected.textures) {
  const got = actual.textures.get(name);
  if (!got || !got.pixels.equals(texture.pixels) || !same({ ...texture, pixels: 0 }, { ...got, pixels: 0 }))
    differ(`texture ${name} differs or is missing`);
}
if (actual.textures.size !== expected.textures.size) differ('the reports hold different textures');

const frames = [...expected.frames.values()];
const events = frames.reduce((sum, frame) => sum + frame.events.length, 0);
const quads = frames.reduce((sum, frame) => sum + frame.events.filter((event) => event.kind === 'quad').length, 0);
if (differences.length) {
  console.log(`${actualDir} differs from ${expectedDir} in ${differences.length} places:`);
  for (const line of differences.slice(0, 30)) console.log(`  ${line}`);
  process.exit(1);
}
console.log(`${actualDir}: the same ${frames.length} frames, ${events} events (${quads} quads) and written pixels as ${expectedDir}`);
