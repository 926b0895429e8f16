// Opens a dd7r-replay --inspect report in headless Chromium, picks a frame, hovers and clicks,
// and holds what the page shows against what the replay computed: dd7r-replay --pixel-history
// (the event list, the outlined rectangle, the pixel's history and the frame scrubbed to an
// event) and the replay's own frame file (the whole frame after its last event).
//
//   node report-test.mjs REPLAY CAPTURE REPORT FRAME FRAMES_DIR SCREENSHOT [EXPECT...]
//
// EXPECT: texts some event label of the frame must contain (e.g. "FAILED", "mismatched layout").
// Also: quads reaching outside the target are shown skipped and write no pixel, a history's texel
// is the texture's pixel, the search finds what the event list says, and the address opens a
// frame, event and pixel again.

import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import { chromium } from 'playwright-core';

const [replay, capture, report, frameArg, framesDir, screenshot, ...expected] = process.argv.slice(2);
const frame = Number(frameArg);
const failures = [];
const check = (ok, what) => { if (!ok) failures.push(what); };

// The command-line twin: the frame's events and one pixel's history.
function pixelHistory(x, y) {
  const out = fs.mkdtempSync(path.join(os.tmpdir(), 'dd7r-history-'));
  const text = execFileSync(replay, [capture, '--pixel-history', String(frame), String(x), String(y), '--events', '--out', out]).toString();
  fs.rmSync(out, { recursive: true, force: true });
  const events = [];
  const history = [];
  let part = '';
  for (const line of text.split('\n')) {
    if (line === 'events:' || line === 'history:') { part = line; continue; }
    if (!line.startsWith('  ')) continue;
    if (part === 'events:') {
      const match = /^  event (\d+): (.*?)(?: \[(-?\d+),(-?\d+),(-?\d+),(-?\d+)\])?$/.exec(line);
      events.push({ index: Number(match[1]), label: match[2], rect: match[3] === undefined ? null : match.slice(3, 7).join(',') });
    } else if (part === 'history:' && line.startsWith('    why: ')) {
      history[history.length - 1].why = line.slice(9);
    } else if (part === 'history:') {
      history.push({ line: line.slice(2), why: undefined });
    }
  }
  return { events, history };
}

// A PNG the replay wrote (8-bit RGB or RGBA, not interlaced), as rows of RGB.
function readPng(file) {
  const bytes = fs.readFileSync(file);
  let at = 8;
  let width = 0, height = 0, channels = 3;
  const data = [];
  while (at < bytes.length) {
    const length = bytes.readUInt32BE(at);
    const type = bytes.toString('latin1', at + 4, at + 8);
    const body = bytes.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') { width = body.readUInt32BE(0); height = body.readUInt32BE(4); channels = body[9] === 6 ? 4 : 3; }
    if (type === 'IDAT') data.push(body);
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(data));
  const stride = width * channels;
  const pixels = Buffer.alloc(height * stride);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    for (let x = 0; x < stride; ++x) {
      const value = raw[y * (stride + 1) + 1 + x];
      const a = x >= channels ? pixels[y * stride + x - channels] : 0;
      const b = y > 0 ? pixels[(y - 1) * stride + x] : 0;
      const c = x >= channels && y > 0 ? pixels[(y - 1) * stride + x - channels] : 0;
      const p = a + b - c;
      const paeth = Math.abs(p - a) <= Math.abs(p - b) && Math.abs(p - a) <= Math.abs(p - c) ? a : Math.abs(p - b) <= Math.abs(p - c) ? b : c;
      const predictor = [0, a, b, (a + b) >> 1, paeth][filter];
      pixels[y * stride + x] = (value + predictor) & 255;
    }
  }
  return { width, height, channels, pixels };
}

// "0x1234 (r, g, b)" -> [r, g, b]
const rgbOf = (text) => /\((\d+), (\d+), (\d+)\)$/.exec(text).slice(1, 4).map(Number);

const userData = fs.mkdtempSync(path.join(os.tmpdir(), 'dd7r-chromium-'));
const browser = await chromium.launchPersistentContext(userData, {
  executablePath: process.env.DD7R_CHROMIUM || '/usr/bin/chromium',
  headless: true,
  viewport: { width: 1400, height: 900 },
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
         '--disable-background-networking', '--disable-component-update', '--disable-sync'],
});
try {
  const page = browser.pages()[0] || await browser.newPage();
  page.on('pageerror', (error) => failures.push('page error: ' + error));
  page.on('console', (message) => { if (message.type() === 'error') failures.push('console: ' + message.text()); });
  // The report must need nothing but its own files.
  page.on('request', (request) => {
    if (!request.url().startsWith('file://') && !request.url().startsWith('blob:') && !request.url().startsWith('data:'))
      failures.push('request outside the report: ' + request.url());
  });
  await page.goto('file://' + path.resolve(report, 'index.html'));
  await page.click(`.thumb[data-frame="${frame}"]`);
  await page.waitForFunction((n) => DD7R.state().frame === n, frame);
  const zoom = Number(await page.inputValue('#zoom'));

  // The event list: the same events, labels and rectangles as the command line's.
  const rows = await page.$$eval('#events tr', (list) => list.map((row) => ({
    index: Number(row.dataset.event), label: row.dataset.label, rect: row.dataset.rect || null })));
  const probe = pixelHistory(0, 0);
  check(JSON.stringify(rows) === JSON.stringify(probe.events),
        `event list differs from --pixel-history:\n page ${JSON.stringify(rows)}\n replay ${JSON.stringify(probe.events)}`);
  for (const text of expected)
    check(rows.some((row) => row.label.includes(text)), `no event of frame ${frame} says "${text}"`);
  // A frame lists its own renderer's calls only.
  const renderer = (await page.textContent('#frameTitle')).match(/renderer (\d+)/)[1];
  for (const row of rows.filter((r) => /^(createRenderer -> renderer|destroyRenderer) \d+/.test(r.label)))
    check(row.label.endsWith(' ' + renderer), `frame ${frame} of renderer ${renderer} lists ${row.label}`);

  // A quad drawn on the target: the last one whose rectangle lies inside the frame.
  const size = await page.$eval('#frame', (canvas) => [canvas.width, canvas.height]);
  const quads = probe.events.filter((e) => e.rect && e.label.startsWith('quad') && !e.label.includes('skipped') &&
                                           !e.label.includes('composition'));
  const inside = (e) => { const r = e.rect.split(',').map(Number); return r[0] >= 0 && r[1] >= 0 && r[2] <= size[0] && r[3] <= size[1] && r[2] > r[0] && r[3] > r[1]; };
  // Blend mode 0 draws the quads on the composition surface: then the copy of it to the target.
  const presents = probe.events.filter((e) => e.rect && e.label.startsWith('composition surface copied'));
  const quad = quads.filter(inside).pop() || presents.filter(inside).pop();
  check(quad !== undefined, 'no quad drawn inside the target in this frame');
  if (quad) {
    const r = quad.rect.split(',').map(Number);
    const x = Math.floor((r[0] + r[2]) / 2), y = Math.floor((r[1] + r[3]) / 2);
    const twin = pixelHistory(x, y);

    // Hovering the quad's row outlines its rectangle, where the frame shows it.
    const row = page.locator(`#events tr[data-event="${quad.index}"]`);
    await row.hover();
    check(await page.getAttribute('#outline', 'data-rect') === quad.rect, 'hovering does not outline the quad rectangle');
    const box = await page.locator('#outline').boundingBox();
    const canvasBox = await page.locator('#frame').boundingBox();
    check(Math.abs(box.x - (canvasBox.x + r[0] * zoom)) < 1.5 && Math.abs(box.width - (r[2] - r[0]) * zoom) < 1.5,
          `the outline is not over the quad: ${JSON.stringify(box)} for ${quad.rect} at zoom ${zoom}`);

    // Clicking the pixel lists its history as the command line does.
    await page.mouse.click(canvasBox.x + (x + 0.5) * zoom, canvasBox.y + (y + 0.5) * zoom);
    await page.waitForFunction((p) => document.getElementById('history').dataset.pixel === p, `${x},${y}`);
    const readHistory = () => page.$$eval('#historyTable tr', (list) => list.map((tr) => ({ line: tr.dataset.line, why: tr.dataset.why })));
    const lines = await readHistory();
    check(JSON.stringify(lines) === JSON.stringify(twin.history),
          `pixel (${x}, ${y}) history differs:\n page ${JSON.stringify(lines)}\n replay ${JSON.stringify(twin.history)}`);

    // Scrubbed to an event: the pixel holds what the history says it held after that event.
    const valueAfter = (event) => {
      let value = twin.history[0].line;
      for (const line of twin.history.slice(1).map((step) => step.line)) {
        const step = /^event (\d+)( \(composition surface\))?: .* -> (.*)$/.exec(line);
        if (Number(step[1]) <= event && !step[2]) value = step[3];
      }
      return rgbOf(value);
    };
    const pixelAt = () => page.$eval('#frame', (canvas, p) => Array.from(canvas.getContext('2d').getImageData(p[0], p[1], 1, 1).data.slice(0, 3)), [x, y]);
    for (const event of [quad.index - 1, quad.index]) {
      if (event < 0) continue;
      await page.click(`#events tr[data-event="${event}"]`);
      check((await page.evaluate(() => DD7R.state().after)) === event, `clicking event ${event} does not scrub to it`);
      const shown = await pixelAt();
      check(JSON.stringify(shown) === JSON.stringify(valueAfter(event)),
            `after event ${event} pixel (${x}, ${y}) shows ${shown}, the history says ${valueAfter(event)}`);
    }
    // The texel a write names is the texture's pixel, as the texture viewer shows it; a copy
    // writes that texel's colour (or, keyed, leaves the pixel alone).
    let named = 0;
    for (const [i, step] of twin.history.entries()) {
      const texel = /^(.*?); texel \((\d+), (\d+)\) of texture (\d+) = (.*?); quad colour/.exec(step.why || '');
      if (!texel) continue;
      ++named;
      const [u, v, id] = [Number(texel[2]), Number(texel[3]), texel[4]];
      const shownTexel = await page.$eval(`#textures figure[data-texture="${id}"] canvas`,
        (canvas, p) => Array.from(canvas.getContext('2d').getImageData(p[0], p[1], 1, 1).data.slice(0, 3)), [u, v]);
      check(JSON.stringify(shownTexel) === JSON.stringify(rgbOf(texel[5])),
            `texel (${u}, ${v}) of texture ${id}: the history says ${texel[5]}, the texture viewer shows ${shownTexel}`);
      const [before, after] = step.line.split(': ').slice(1).join(': ').split(' -> ');
      if (!/blended|tinted/.test(texel[1]))
        check(JSON.stringify(rgbOf(after)) === JSON.stringify(rgbOf(texel[5])) || before === after,
              `history step ${i} copies texel ${texel[5]} but writes ${after}`);
    }
    check(named > 0 || !twin.history.some((step) => step.why && step.why.includes('texel')),
          `pixel (${x}, ${y}): no history step names its texel's value`);

    // The address opens the same frame, event and pixel in a fresh page.
    await page.click(`#events tr[data-event="${quad.index}"]`);
    const address = page.url();
    check(address.endsWith(`#frame=${frame}&event=${quad.index}&pixel=${x},${y}`), `the address does not name what is shown: ${address}`);
    const linked = await browser.newPage();
    await linked.goto(address);
    await linked.waitForFunction((p) => document.getElementById('history').dataset.pixel === p, `${x},${y}`);
    check(JSON.stringify(await linked.evaluate(() => DD7R.state())) === JSON.stringify({ frame, after: quad.index, pixel: [x, y] }),
          `the address ${address} opens ${JSON.stringify(await linked.evaluate(() => DD7R.state()))}`);
    check(JSON.stringify(await linked.$$eval('#historyTable tr', (list) => list.map((tr) => ({ line: tr.dataset.line, why: tr.dataset.why })))) ===
          JSON.stringify(twin.history), 'the linked page shows another history');
    await linked.close();

    const textureOfQuad = quad.label.match(/texture (\d+)/)?.[1];
    // Search and filter: the rows shown are the events the command line's list says match.
    const contains = (e, p) => { if (!e.rect) return false; const q = e.rect.split(',').map(Number); return p[0] >= q[0] && p[0] < q[2] && p[1] >= q[1] && p[1] < q[3]; };
    const searches = [
      [`pixel:${x},${y}`, (e) => contains(e, [x, y])],
      ['skipped', (e) => e.label.includes('skipped')],
      ['path:blended', (e) => /^quad .*: (stretched, )?blended/.test(e.label)],
      [`texture:${textureOfQuad}`, (e) => new RegExp(`texture ${textureOfQuad}(\\D|$)`, 'i').test(e.label)],
    ].filter(([words]) => words !== 'texture:undefined');
    for (const [words, wanted] of searches) {
      await page.fill('#filter', words);
      const shownRows = await page.$$eval('#events tr', (list) => list.filter((tr) => !tr.hidden).map((tr) => Number(tr.dataset.event)));
      const expectedRows = probe.events.filter(wanted).map((e) => e.index);
      check(JSON.stringify(shownRows) === JSON.stringify(expectedRows), `search "${words}" shows ${shownRows}, expected ${expectedRows}`);
    }
    await page.fill('#filter', '');

    // Keys: down steps to the next event.
    await page.click(`#events tr[data-event="${quad.index - 1}"]`);
    await page.keyboard.press('ArrowDown');
    check((await page.evaluate(() => DD7R.state().after)) === quad.index, 'the down key does not step to the next event');
    await row.hover();
    await page.screenshot({ path: screenshot, fullPage: false });
  }

  // A quad reaching outside the target writes nothing there (DirectDraw refuses the blit or the
  // lock): shown skipped, and absent from the history of a pixel it covers inside the target.
  for (const e of probe.events.filter((e) => e.rect && e.label.startsWith('quad') && !inside(e))) {
    const r = e.rect.split(',').map(Number);
    check(e.label.includes('skipped'), `event ${e.index} reaches outside the ${size} target but is not shown skipped: ${e.label}`);
    const px = Math.max(r[0], 0), py = Math.max(r[1], 0);
    if (px < size[0] && py < size[1] && px < r[2] && py < r[3])
      check(!pixelHistory(px, py).history.some((step) => step.line.startsWith(`event ${e.index}:`)),
            `the skipped event ${e.index} claims a write at (${px}, ${py})`);
  }

  // After its last event the frame is the replay's frame, pixel for pixel.
  const last = rows.length - 1;
  await page.click(`#events tr[data-event="${last}"]`);
  const shown = await page.$eval('#frame', (canvas) => Array.from(canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data));
  const png = readPng(path.join(framesDir, `frame-${String(frame).padStart(4, '0')}.png`));
  let differing = 0;
  for (let i = 0; i < png.width * png.height; ++i)
    for (let c = 0; c < 3; ++c) if (shown[i * 4 + c] !== png.pixels[i * png.channels + c]) { ++differing; break; }
  check(png.width === size[0] && png.height === size[1] && differing === 0,
        `after its last event frame ${frame} differs from the replay's frame file in ${differing} pixels`);
} finally {
  await browser.close();
  fs.rmSync(userData, { recursive: true, force: true });
}

if (failures.length) {
  console.log(`inspector test: ${report} frame ${frame}: ${failures.length} failures`);
  for (const failure of failures) console.log('  ' + failure);
  process.exit(1);
}
console.log(`inspector test: ${report} frame ${frame}: event list, outline, scrubbing, pixel history and frame agree with the replay; screenshot ${screenshot}`);
