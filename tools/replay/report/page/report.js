// The dd7r capture inspector: reads the data files dd7r-replay --inspect wrote beside this page
// (plain scripts, so that the page works straight from disk) and shows one frame at a time.
// A frame's data is loaded only when the frame is picked. The pixel history is read from the
// same data, by the same rule as dd7r-replay --pixel-history.
'use strict';

const DD7R = (function () {
  const frames = new Map();    // index -> frame data
  const pictures = new Map();  // id -> Uint8Array
  const waiting = new Map();   // script file -> callbacks
  let index = null;
  let current = null;          // the frame shown
  let upTo = -1;               // the last event applied to the picture shown
  let zoom = 2;
  let picked = null;           // the pixel whose history is shown

  const $ = (id) => document.getElementById(id);

  function loadScript(file, done) {
    if (waiting.has(file)) { waiting.get(file).push(done); return; }
    waiting.set(file, [done]);
    const script = document.createElement('script');
    script.src = file;
    script.onerror = () => { $('summary').textContent = 'cannot load ' + file; };
    document.body.appendChild(script);
  }

  function finished(file) {
    const callbacks = waiting.get(file) || [];
    waiting.delete(file);
    for (const callback of callbacks) callback();
  }

  function decode(base64) {
    const text = atob(base64);
    const bytes = new Uint8Array(text.length);
    for (let i = 0; i < text.length; ++i) bytes[i] = text.charCodeAt(i);
    return bytes;
  }

  // The data files hold zlib-compressed pixels.
  async function inflate(base64) {
    const stream = new Blob([decode(base64)]).stream().pipeThrough(new DecompressionStream('deflate'));
    return new Uint8Array(await new Response(stream).arrayBuffer());
  }

  function frameFile(n) { return 'data/frame-' + String(n).padStart(4, '0') + '.js'; }

  // Pixels: little-endian values in the surface's layout; channels widened as the replay's
  // frame files are.
  function pixelValue(bytes, at, size) {
    let value = 0;
    for (let i = 0; i < size; ++i) value += bytes[at + i] * 2 ** (8 * i);
    return value;
  }

  function widen(value, bits) {
    if (bits === 0) return 0;
    if (bits >= 8) return (value >>> (bits - 8)) & 255;
    let wide = 0;
    for (let filled = 0; filled < 8; filled += bits) {
      const shift = 8 - filled - bits;
      wide |= shift >= 0 ? value << shift : value >>> -shift;
    }
    return wide & 255;
  }

  function channel(value, mask) {
    if (!mask) return 0;
    let shift = 0;
    while (((mask >>> shift) & 1) === 0) ++shift;
    let bits = 0;
    while (shift + bits < 32 && ((mask >>> (shift + bits)) & 1) === 1) ++bits;
    if (bits > 8) { shift += bits - 8; bits = 8; }
    return widen(Math.floor(value / 2 ** shift) & ((1 << bits) - 1), bits);
  }

  function rgb(value, layout) { return [channel(value, layout[1]), channel(value, layout[2]), channel(value, layout[3])]; }

  function valueText(value, layout) {
    const c = rgb(value, layout);
    return '0x' + value.toString(16).padStart(layout[0] * 2, '0') + ' (' + c[0] + ', ' + c[1] + ', ' + c[2] + ')';
  }

  // The rule dd7r-replay --pixel-history follows (report/FrameHistory.cpp, pixelHistory).
  function history(frame, x, y) {
    const layout = frame.layout;
    const base = pictures.get(frame.picture);
    const start = pixelValue(base, (y * frame.width + x) * layout[0], layout[0]);
    const steps = [];
    let target = start;
    let composition = 0;
    let compositionKnown = false;
    frame.events.forEach((event, i) => {
      const p = event.patch;
      if (!p || x < p[0] || x >= p[2] || y < p[1] || y >= p[3]) return;
      const onComposition = p[5] === 1;
      const l = onComposition ? frame.composition : layout;
      const after = pixelValue(frame.bytes, p[4] + ((y - p[1]) * (p[2] - p[0]) + (x - p[0])) * l[0], l[0]);
      const step = { event: i, composition: onComposition, beforeKnown: true, before: target, after: after };
      if (onComposition) {
        step.beforeKnown = compositionKnown;
        step.before = composition;
        composition = after;
        compositionKnown = true;
      } else {
        target = after;
      }
      steps.push(step);
    });
    const lines = ['start: ' + valueText(start, layout)];
    for (const s of steps) {
      const l = s.composition ? frame.composition : layout;
      lines.push('event ' + s.event + (s.composition ? ' (composition surface)' : '') + ': ' +
                 (s.beforeKnown ? valueText(s.before, l) : 'not recorded') + ' -> ' + valueText(s.after, l));
    }
    return { lines: lines, steps: steps };
  }

  // The target after event `last` (-1: before any): the picture below, then every patch on the
  // target up to it.
  function paint(frame, last) {
    const canvas = $('frame');
    const context = canvas.getContext('2d');
    const image = context.createImageData(frame.width, frame.height);
    const out = image.data;
    const layout = frame.layout;
    const size = layout[0];
    const put = (source, at, x, y) => {
      const c = rgb(pixelValue(source, at, size), layout);
      const o = (y * frame.width + x) * 4;
      out[o] = c[0]; out[o + 1] = c[1]; out[o + 2] = c[2]; out[o + 3] = 255;
    };
    const base = pictures.get(frame.picture);
    for (let y = 0; y < frame.height; ++y)
      for (let x = 0; x < frame.width; ++x) put(base, (y * frame.width + x) * size, x, y);
    for (let i = 0; i <= last && i < frame.events.length; ++i) {
      const p = frame.events[i].patch;
      if (!p || p[5] === 1) continue;
      const width = p[2] - p[0];
      for (let y = p[1]; y < p[3]; ++y)
        for (let x = p[0]; x < p[2]; ++x) put(frame.bytes, p[4] + ((y - p[1]) * width + (x - p[0])) * size, x, y);
    }
    context.putImageData(image, 0, 0);
  }

  function place(element, l, t, r, b) {
    element.style.left = (l * zoom) + 'px';
    element.style.top = (t * zoom) + 'px';
    element.style.width = Math.max(0, (r - l) * zoom) + 'px';
    element.style.height = Math.max(0, (b - t) * zoom) + 'px';
  }

  function outline(event) {
    const box = $('outline');
    if (!event || !event.rect) { box.hidden = true; box.removeAttribute('data-rect'); return; }
    const r = event.rect;
    place(box, r[0], r[1], r[2], r[3]);
    box.dataset.rect = r.join(',');
    box.hidden = false;
  }

  function scrubTo(last) {
    if (!current) return;
    upTo = last;
    paint(current, last);
    $('scrub').value = String(last);
    $('frame').dataset.after = String(last);
    $('scrubLabel').textContent = last < 0 ? 'the picture below (no event yet)'
      : 'event ' + last + ' of ' + (current.events.length - 1);
    document.querySelectorAll('#events tr').forEach((row) => {
      const i = Number(row.dataset.event);
      row.classList.toggle('current', i === last);
      row.classList.toggle('later', i > last);
    });
  }

  function text(value) { return document.createTextNode(value); }

  function showDetails(event) {
    const box = $('details');
    box.textContent = '';
    if (!event) return;
    const table = document.createElement('table');
    for (const pair of event.details) {
      const row = table.insertRow();
      row.insertCell().appendChild(text(pair[0]));
      row.insertCell().appendChild(text(pair[1]));
    }
    if (event.textureImage) {
      const row = table.insertRow();
      row.insertCell().appendChild(text('texture picture'));
      const image = document.createElement('img');
      image.src = event.textureImage;
      image.alt = 'texture ' + event.texture;
      row.insertCell().appendChild(image);
    }
    box.appendChild(table);
  }

  function showHistory(x, y) {
    const box = $('history');
    box.textContent = '';
    if (!current || x < 0 || y < 0 || x >= current.width || y >= current.height) return;
    picked = [x, y];
    const mark = $('pixelMark');
    place(mark, x, y, x + 1, y + 1);
    mark.hidden = false;
    const result = history(current, x, y);
    const title = document.createElement('h2');
    title.textContent = 'pixel (' + x + ', ' + y + ')';
    box.appendChild(title);
    box.dataset.pixel = x + ',' + y;
    const table = document.createElement('table');
    table.id = 'historyTable';
    result.lines.forEach((line, i) => {
      const row = table.insertRow();
      row.dataset.line = line;
      const layout = i > 0 && result.steps[i - 1].composition ? current.composition : current.layout;
      const value = i === 0 ? pixelValue(pictures.get(current.picture), (y * current.width + x) * layout[0], layout[0])
        : result.steps[i - 1].after;
      const c = rgb(value, layout);
      const swatch = document.createElement('span');
      swatch.className = 'swatch';
      swatch.style.background = 'rgb(' + c.join(',') + ')';
      const cell = row.insertCell();
      cell.appendChild(swatch);
      cell.appendChild(text(line));
      if (i > 0) {
        const event = current.events[result.steps[i - 1].event];
        row.insertCell().appendChild(text(event.label));
        row.addEventListener('mouseenter', () => outline(event));
      }
    });
    box.appendChild(table);
  }

  function showFrame(n) {
    const frame = frames.get(n);
    current = frame;
    document.querySelectorAll('.thumb').forEach((t) => t.classList.toggle('selected', Number(t.dataset.frame) === n));
    const canvas = $('frame');
    canvas.width = frame.width;
    canvas.height = frame.height;
    canvas.dataset.frame = String(n);
    applyZoom();
    $('frameTitle').textContent = 'frame ' + n + ' (renderer ' + frame.renderer + '), ' + frame.events.length + ' events';
    const body = $('events').tBodies[0];
    body.textContent = '';
    frame.events.forEach((event, i) => {
      const row = body.insertRow();
      row.dataset.event = String(i);
      row.dataset.label = event.label;
      if (event.rect) row.dataset.rect = event.rect.join(',');
      if (event.failed) row.classList.add('failed');
      if (event.label.indexOf(': skipped') >= 0) row.classList.add('skipped');
      row.insertCell().appendChild(text(String(i)));
      row.insertCell().appendChild(text(event.label));
      row.addEventListener('mouseenter', () => outline(event));
      row.addEventListener('mouseleave', () => outline(null));
      row.addEventListener('click', () => { scrubTo(i); showDetails(event); });
    });
    const scrub = $('scrub');
    scrub.max = String(frame.events.length - 1);
    outline(null);
    showDetails(null);
    scrubTo(frame.events.length - 1);
    if (picked) showHistory(picked[0], picked[1]);
  }

  function selectFrame(n) {
    const ready = () => {
      const frame = frames.get(n);
      if (pictures.has(frame.picture)) { showFrame(n); return; }
      loadScript('data/' + frame.picture + '.js', () => showFrame(n));
    };
    if (frames.has(n)) { ready(); return; }
    loadScript(frameFile(n), ready);
  }

  function applyZoom() {
    const canvas = $('frame');
    canvas.style.width = (canvas.width * zoom) + 'px';
    canvas.style.height = (canvas.height * zoom) + 'px';
    if (picked) place($('pixelMark'), picked[0], picked[1], picked[0] + 1, picked[1] + 1);
    $('outline').hidden = true;
  }

  function start() {
    $('summary').textContent = index.capture + ': ' + index.frames.length + ' frames' + (index.note ? ' (' + index.note + ')' : '');
    const strip = $('strip');
    for (const entry of index.frames) {
      const item = document.createElement('div');
      item.className = 'thumb' + (entry.failed ? ' failed' : '');
      item.dataset.frame = String(entry.index);
      item.title = entry.events + ' events, ' + entry.quads + ' quads' + (entry.failed ? ', ' + entry.failed + ' failed calls' : '');
      const image = document.createElement('img');
      image.loading = 'lazy';
      image.src = entry.thumb;
      image.alt = 'frame ' + entry.index;
      item.appendChild(image);
      item.appendChild(text('#' + entry.index));
      item.addEventListener('click', () => selectFrame(entry.index));
      strip.appendChild(item);
    }
    $('zoom').addEventListener('change', (e) => { zoom = Number(e.target.value); applyZoom(); });
    $('scrub').addEventListener('input', (e) => scrubTo(Number(e.target.value)));
    $('frame').addEventListener('click', (e) => {
      const box = e.target.getBoundingClientRect();
      showHistory(Math.floor((e.clientX - box.left) / zoom), Math.floor((e.clientY - box.top) / zoom));
    });
    if (index.frames.length > 0) selectFrame(index.frames[0].index);
  }

  return {
    indexLoaded(data) { index = data; if (document.readyState === 'loading') document.addEventListener('DOMContentLoaded', start); else start(); },
    frameLoaded(n, data) {
      Promise.all([inflate(data.pixels), inflate(data.events)]).then((parts) => {
        data.bytes = parts[0];
        data.events = JSON.parse(new TextDecoder().decode(parts[1]));
        delete data.pixels;
        frames.set(n, data);
        finished(frameFile(n));
      });
    },
    pictureLoaded(id, base64) { inflate(base64).then((bytes) => { pictures.set(id, bytes); finished('data/' + id + '.js'); }); },
    // For tests and the curious: the frame shown and the last event applied.
    state() { return { frame: current ? current.index : null, after: upTo }; },
    selectFrame: selectFrame,
    scrubTo: scrubTo,
  };
})();
