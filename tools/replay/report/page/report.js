// The dd7r capture inspector: reads the data files dd7r-replay --inspect wrote beside this page
// (plain scripts, so that the page works straight from disk) and shows one frame at a time.
// A frame's data is loaded only when the frame is picked. The pixel history is read from the
// same data, by the same rule as dd7r-replay --pixel-history.
'use strict';

const DD7R = (function () {
  const frames = new Map();    // index -> frame data
  const pictures = new Map();  // id -> Uint8Array
  const textures = new Map();  // key -> {width, height, layout, bytes}: a texture's pixels
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

  // The texel DirectDraw's nearest-neighbour stretch copies to (x, y) (report/FrameHistory.cpp,
  // texelOf): source offset (d * step) >> 16, step = (sourceSize << 16) / destSize.
  function texelOf(inputs, x, y) {
    const d = inputs.dest, s = inputs.source;
    const dw = d[2] - d[0], dh = d[3] - d[1], sw = s[2] - s[0], sh = s[3] - s[1];
    const dx = x - d[0], dy = y - d[1];
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0 || dx < 0 || dy < 0 || dx >= dw || dy >= dh) return null;
    const stepX = Math.floor(sw * 65536 / dw), stepY = Math.floor(sh * 65536 / dh);
    return [s[0] + Math.floor(dx * stepX / 65536), s[1] + Math.floor(dy * stepY / 65536)];
  }

  // Why the event left (x, y) as it did (report/FrameHistory.cpp, writeExplained).
  function explain(event, x, y) {
    if (event.kind === 'present') return 'copied from the composition surface (its black left out)';
    const inputs = event.inputs;
    if (!inputs) return event.kind === 'quad' ? '' : 'written by the call';
    let why = inputs.path + (inputs.kernel ? ', kernel ' + inputs.kernel : '');
    const texel = texelOf(inputs, x, y);
    if (texel) {
      why += '; texel (' + texel[0] + ', ' + texel[1] + ')';
      const texture = textures.get(inputs.texture);
      if (texture && texel[0] >= 0 && texel[1] >= 0 && texel[0] < texture.width && texel[1] < texture.height && texture.layout[0]) {
        const at = (texel[1] * texture.width + texel[0]) * texture.layout[0];
        if (at + texture.layout[0] <= texture.bytes.length)
          why += ' of texture ' + event.texture + ' = ' + valueText(pixelValue(texture.bytes, at, texture.layout[0]), texture.layout);
      }
    }
    return why + '; quad colour (a r g b) ' + inputs.colour.join(' ');
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
      const step = { event: i, composition: onComposition, beforeKnown: true, before: target, after: after,
                     why: explain(event, x, y) };
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
      const step = i > 0 ? result.steps[i - 1] : null;
      const layout = step && step.composition ? current.composition : current.layout;
      const value = step ? step.after : pixelValue(pictures.get(current.picture), (y * current.width + x) * layout[0], layout[0]);
      const c = rgb(value, layout);
      const swatch = document.createElement('span');
      swatch.className = 'swatch';
      swatch.style.background = 'rgb(' + c.join(',') + ')';
      const cell = row.insertCell();
      cell.appendChild(swatch);
      cell.appendChild(text(line));
      if (step) {
        const event = current.events[step.event];
        if (step.why) row.dataset.why = step.why;
        const what = row.insertCell();
        what.appendChild(text(event.label));
        if (step.why) { what.appendChild(document.createElement('br')); what.appendChild(text('why: ' + step.why)); }
        row.addEventListener('mouseenter', () => outline(event));
        row.addEventListener('click', () => pickEvent(step.event));
      }
    });
    box.appendChild(table);
    writeHash();
  }

  // Search and filter: every word must match. texture:N, path:WORD, kernel:WORD, pixel:X,Y (the
  // rectangle contains the point); any other word is looked for in the label.
  function matches(event, words) {
    const path = event.skipped ? 'skipped' : ((event.details.find((d) => d[0] === 'path') || [0, ''])[1]);
    return words.every((word) => {
      const colon = word.indexOf(':');
      const key = colon > 0 ? word.slice(0, colon) : '';
      const value = word.slice(colon + 1);
      if (key === 'texture') return event.texture === Number(value);
      if (key === 'path') return path.includes(value);
      if (key === 'kernel') return !!event.inputs && event.inputs.kernel.includes(value);
      if (key === 'pixel') {
        const p = value.split(',').map(Number);
        const r = event.rect;
        return !!r && p.length === 2 && p[0] >= r[0] && p[0] < r[2] && p[1] >= r[1] && p[1] < r[3];
      }
      return event.label.toLowerCase().includes(word);
    });
  }

  function applyFilter() {
    if (!current) return;
    const words = $('filter').value.toLowerCase().split(/\s+/).filter((w) => w.length > 0);
    let shown = 0;
    document.querySelectorAll('#events tr').forEach((row) => {
      const visible = matches(current.events[Number(row.dataset.event)], words);
      row.hidden = !visible;
      if (visible) ++shown;
    });
    $('filterCount').textContent = shown + ' of ' + current.events.length + ' events';
  }

  // The frame's events in drawing order, or its quads' costliest first.
  function orderRows() {
    const body = $('events').tBodies[0];
    const rows = Array.from(body.rows);
    const byCost = $('order').value === 'cost';
    const cost = (row) => { const e = current.events[Number(row.dataset.event)]; return e.us === undefined ? -1 : e.us; };
    rows.sort((a, b) => (byCost ? cost(b) - cost(a) : 0) || Number(a.dataset.event) - Number(b.dataset.event));
    for (const row of rows) body.appendChild(row);
  }

  function pickEvent(i) {
    if (!current || i < -1 || i >= current.events.length) return;
    scrubTo(i);
    showDetails(i >= 0 ? current.events[i] : null);
    const row = document.querySelector('#events tr[data-event="' + i + '"]');
    if (row) row.scrollIntoView({ block: 'nearest' });
    writeHash();
  }

  function costText(us) { return us === undefined ? '' : us.toFixed(1) + ' us'; }

  function showTextures(frame) {
    const box = $('textures');
    box.textContent = '';
    $('texturesTitle').textContent = 'textures alive at this frame (' + frame.textures.length + ')';
    for (const entry of frame.textures) {
      const figure = document.createElement('figure');
      figure.dataset.texture = String(entry.id);
      const texture = textures.get(entry.key);
      if (texture) {
        const canvas = document.createElement('canvas');
        canvas.width = texture.width;
        canvas.height = texture.height;
        const context = canvas.getContext('2d');
        const image = context.createImageData(texture.width, texture.height);
        const size = texture.layout[0];
        for (let i = 0; i < texture.width * texture.height; ++i) {
          const c = rgb(pixelValue(texture.bytes, i * size, size), texture.layout);
          image.data.set([c[0], c[1], c[2], 255], i * 4);
        }
        context.putImageData(image, 0, 0);
        canvas.style.width = (texture.width * zoom) + 'px';  // every texel shown, at the frame's zoom
        figure.appendChild(canvas);
      }
      const caption = document.createElement('figcaption');
      caption.textContent = 'texture ' + entry.id + ', ' + entry.width + 'x' + entry.height + ', from ' + entry.origin +
        (texture ? '' : ' (not drawn yet: no picture kept)');
      figure.appendChild(caption);
      box.appendChild(figure);
    }
  }

  function showFrame(n) {
    const frame = frames.get(n);
    current = frame;
    document.querySelectorAll('.thumb').forEach((t) => t.classList.toggle('selected', Number(t.dataset.frame) === n));
    const selected = document.querySelector('.thumb.selected');
    if (selected) selected.scrollIntoView({ block: 'nearest', inline: 'nearest' });
    $('jump').value = String(n);
    const canvas = $('frame');
    canvas.width = frame.width;
    canvas.height = frame.height;
    canvas.dataset.frame = String(n);
    applyZoom();
    let quadTime = 0;
    for (const event of frame.events) if (event.us !== undefined) quadTime += event.us;
    $('frameTitle').textContent = 'frame ' + n + ' (renderer ' + frame.renderer + '), ' + frame.events.length +
      ' events; quads took ' + (quadTime / 1000).toFixed(2) + ' ms on ' + index.directDraw;
    const body = $('events').tBodies[0];
    body.textContent = '';
    frame.events.forEach((event, i) => {
      const row = body.insertRow();
      row.dataset.event = String(i);
      row.dataset.label = event.label;
      if (event.rect) row.dataset.rect = event.rect.join(',');
      if (event.failed) row.classList.add('failed');
      if (event.skipped) row.classList.add('skipped');
      if (event.warning) { row.classList.add('flagged'); row.title = event.warning; }
      row.insertCell().appendChild(text(String(i)));
      row.insertCell().appendChild(text(event.label));
      row.insertCell().appendChild(text(costText(event.us)));
      row.addEventListener('mouseenter', () => outline(event));
      row.addEventListener('mouseleave', () => outline(null));
      row.addEventListener('click', () => pickEvent(i));
    });
    const others = $('others');
    others.hidden = frame.others.length === 0;
    $('othersTitle').textContent = frame.others.length + ' calls on other renderers since the previous frame';
    $('othersList').textContent = frame.others.join('\n');
    const scrub = $('scrub');
    scrub.max = String(frame.events.length - 1);
    outline(null);
    showDetails(null);
    orderRows();
    applyFilter();
    showTextures(frame);
    scrubTo(frame.events.length - 1);
    if (picked) showHistory(picked[0], picked[1]);
    writeHash();
  }

  // Loads what a frame needs (its data, the picture under it, the textures it names), then runs done.
  function selectFrame(n, done) {
    const show = () => { showFrame(n); if (done) done(); };
    const withTextures = () => {
      const frame = frames.get(n);
      const keys = new Set(frame.textures.map((t) => t.key));
      for (const event of frame.events) if (event.inputs) keys.add(event.inputs.texture);
      const missing = Array.from(keys).filter((key) => key && !textures.has(key));
      let left = missing.length;
      if (left === 0) { show(); return; }
      for (const key of missing) loadScript('data/' + key + '.js', () => { if (--left === 0) show(); });
    };
    const ready = () => {
      const frame = frames.get(n);
      if (pictures.has(frame.picture)) { withTextures(); return; }
      loadScript('data/' + frame.picture + '.js', withTextures);
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
    document.querySelectorAll('#textures canvas').forEach((texture) => { texture.style.width = (texture.width * zoom) + 'px'; });
  }

  // The nearest frame of the report to n (a report may hold a range, or skip frames).
  function nearestFrame(n) {
    let best = index.frames[0].index;
    for (const entry of index.frames) if (Math.abs(entry.index - n) < Math.abs(best - n)) best = entry.index;
    return best;
  }

  function stepFrame(delta) {
    if (!current) return;
    const at = index.frames.findIndex((entry) => entry.index === current.index);
    const next = index.frames[Math.min(Math.max(at + delta, 0), index.frames.length - 1)];
    if (next.index !== current.index) selectFrame(next.index);
  }

  // The next or previous event among those the filter shows, in the order shown.
  function stepEvent(delta) {
    if (!current) return;
    const rows = Array.from(document.querySelectorAll('#events tr')).filter((row) => !row.hidden);
    if (rows.length === 0) return;
    const at = rows.findIndex((row) => Number(row.dataset.event) === upTo);
    const next = at < 0 ? (delta > 0 ? 0 : rows.length - 1) : Math.min(Math.max(at + delta, 0), rows.length - 1);
    pickEvent(Number(rows[next].dataset.event));
  }

  // The URL names what is shown: #frame=N&event=M&pixel=X,Y opens it again.
  const history_ = window.history;  // (history is the pixel history here)
  let applyingHash = false;
  function writeHash() {
    if (!current || applyingHash) return;
    let hash = '#frame=' + current.index + '&event=' + upTo;
    if (picked) hash += '&pixel=' + picked[0] + ',' + picked[1];
    if (location.hash !== hash) history_.replaceState(null, '', hash);
  }
  function readHash() {
    const fields = new URLSearchParams(location.hash.slice(1));
    const number = (name) => (fields.has(name) && fields.get(name) !== '' ? Number(fields.get(name)) : null);
    const pixel = fields.has('pixel') ? fields.get('pixel').split(',').map(Number) : null;
    return { frame: number('frame'), event: number('event'), pixel: pixel && pixel.length === 2 && pixel.every(Number.isInteger) ? pixel : null };
  }

  function openHash() {
    const wanted = readHash();
    const n = wanted.frame === null ? index.frames[0].index : nearestFrame(wanted.frame);
    if (wanted.pixel) picked = wanted.pixel;
    applyingHash = true;
    selectFrame(n, () => {
      if (wanted.event !== null && wanted.event >= -1 && wanted.event < current.events.length) pickEvent(wanted.event);
      if (wanted.pixel) showHistory(wanted.pixel[0], wanted.pixel[1]);
      applyingHash = false;
      writeHash();
    });
  }

  function onKey(e) {
    const tag = e.target.tagName;
    if (tag === 'INPUT' && e.target.type !== 'range' || tag === 'SELECT' || tag === 'TEXTAREA') return;
    const actions = { ArrowRight: () => stepFrame(1), ArrowLeft: () => stepFrame(-1), n: () => stepFrame(1), p: () => stepFrame(-1),
                      ArrowDown: () => stepEvent(1), ArrowUp: () => stepEvent(-1), j: () => stepEvent(1), k: () => stepEvent(-1) };
    const action = actions[e.key];
    if (!action) return;
    e.preventDefault();
    action();
  }

  function start() {
    $('summary').textContent = index.capture + ': ' + index.frames.length + ' frames, replayed on ' + index.directDraw +
      (index.note ? ' (' + index.note + ')' : '');
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
    $('jump').addEventListener('change', (e) => { if (index.frames.length) selectFrame(nearestFrame(Number(e.target.value))); });
    $('filter').addEventListener('input', applyFilter);
    $('order').addEventListener('change', orderRows);
    $('zoom').addEventListener('change', (e) => { zoom = Number(e.target.value); applyZoom(); });
    $('scrub').addEventListener('input', (e) => pickEvent(Number(e.target.value)));
    $('frame').addEventListener('click', (e) => {
      const box = e.target.getBoundingClientRect();
      showHistory(Math.floor((e.clientX - box.left) / zoom), Math.floor((e.clientY - box.top) / zoom));
    });
    document.addEventListener('keydown', onKey);
    window.addEventListener('hashchange', () => { if (index.frames.length) openHash(); });
    if (index.frames.length > 0) openHash();
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
    textureLoaded(key, data) {
      inflate(data.pixels).then((bytes) => {
        textures.set(key, { width: data.width, height: data.height, layout: data.layout, bytes: bytes });
        finished('data/' + key + '.js');
      });
    },
    // For tests and the curious: the frame shown, the last event applied and the pixel picked.
    state() { return { frame: current ? current.index : null, after: upTo, pixel: picked }; },
    selectFrame: selectFrame,
    scrubTo: scrubTo,
  };
})();
