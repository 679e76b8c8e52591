// The page around the show's WebAssembly program: the start screen with the
// show's two questions, the data set's download with a progress bar, the
// canvas, the sound, the keys, and the messages. With ?virtual=FPS it is the
// virtual-clock mode instead: no start screen, and window.quorvane.renderTo(ms)
// gives the frame the show draws at that show time (see web/tests).
'use strict';

const params = new URLSearchParams(location.search);
const virtualFps = Number(params.get('virtual') || 0);
const $ = id => document.getElementById(id);

// ---- Messages: what the program writes to standard error, and its message boxes.

const messages = {
  shownLines: [],
  add(caption, text) {
    const box = $('messages');
    box.hidden = false;
    const entry = document.createElement('div');
    entry.className = 'message';
    if (caption) {
      const h = document.createElement('h2');
      h.textContent = caption;
      entry.appendChild(h);
    }
    const p = document.createElement('p');
    p.textContent = text;
    entry.appendChild(p);
    box.appendChild(entry);
    return entry;
  },
  // A line of standard error; a message box with the same text comes after
  // some of them, and then the box replaces the lines.
  errorLine(line) {
    console.warn(line);
    const entry = this.add('', line);
    this.shownLines.push({ line, entry });
  },
  box(caption, text) {
    this.shownLines = this.shownLines.filter(({ line, entry }) => {
      if (line && text.includes(line)) { entry.remove(); return false; }
      return true;
    });
    this.add(caption, text);
  },
  all() { return [...$('messages').querySelectorAll('.message')].map(e => e.textContent); },
};

// ---- Sound: WebAudio, created on the click that answers the sound question.

const audio = {
  ctx: null, buffer: null, decodedPath: null, source: null, gain: null,
  startAt: 0, lastMs: 0,
  create() {
    try {
      this.ctx = new AudioContext();
      this.ctx.resume();
    } catch (e) {
      console.warn('no AudioContext:', e);
      this.ctx = null;
    }
  },
  async decode(path, bytes) {
    if (!this.ctx) return;
    try {
      const copy = bytes.buffer.slice(bytes.byteOffset, bytes.byteOffset + bytes.byteLength);
      this.buffer = await this.ctx.decodeAudioData(copy);
      this.decodedPath = path;
    } catch (e) {
      console.warn(`cannot decode ${path}:`, e);
      this.buffer = null;
    }
  },
  ready() { return this.ctx !== null; },
  open(path) { return this.buffer !== null && path === this.decodedPath; },
  play() {
    if (!this.buffer || this.source) return;
    this.gain = this.ctx.createGain();
    this.gain.connect(this.ctx.destination);
    this.source = this.ctx.createBufferSource();
    this.source.buffer = this.buffer;
    this.source.connect(this.gain);
    this.startAt = this.ctx.currentTime;
    this.source.start(this.startAt);
  },
  // The context's clock moves in steps of 10 to 20 ms. Its output timestamp
  // says which context time is being heard at which page time; between two
  // steps the position moves on with the page's clock (at most 100 ms, should
  // the sound stall). It never runs back.
  positionMs() {
    if (!this.source) return 0;
    let ms;
    const stamp = this.ctx.getOutputTimestamp ? this.ctx.getOutputTimestamp() : null;
    if (stamp && stamp.performanceTime > 0) {
      const since = Math.min(Math.max(performance.now() - stamp.performanceTime, 0), 100);
      ms = (stamp.contextTime - this.startAt) * 1000 + since;
    } else {
      ms = (this.ctx.currentTime - this.startAt - (this.ctx.outputLatency || 0)) * 1000;
    }
    if (ms < this.lastMs) ms = this.lastMs;
    this.lastMs = ms;
    return Math.max(0, Math.floor(ms));
  },
  setVolume(volume) { if (this.gain) this.gain.gain.value = volume / 255; },
  close() {
    if (this.source) { try { this.source.stop(); } catch (e) { /* already stopped */ } }
    if (this.ctx) this.ctx.close();
    this.source = null;
    this.ctx = null;
  },
};

// ---- The canvas: the window's size, enlarged by whole numbers.

const screenCanvas = $('screen');
const screen2d = screenCanvas.getContext('2d', { alpha: false });

function fitCanvas() {
  const ratio = window.devicePixelRatio || 1;
  const w = screenCanvas.width, h = screenCanvas.height;
  const scale = Math.max(1, Math.floor(Math.min(innerWidth * ratio / w, innerHeight * ratio / h)));
  screenCanvas.style.width = `${w * scale / ratio}px`;
  screenCanvas.style.height = `${h * scale / ratio}px`;
}
addEventListener('resize', fitCanvas);

function toggleFullScreen() {
  if (document.fullscreenElement) document.exitFullscreen();
  else $('stage').requestFullscreen().catch(e => console.warn('no full screen:', e));
}

// ---- Frame times: how long each pass took the engine, per part.

const passTimes = new Map();

function percentile(sorted, p) {
  if (!sorted.length) return 0;
  const rank = Math.max(1, Math.ceil(p * sorted.length / 100));
  return sorted[Math.min(rank, sorted.length) - 1];
}

function frameStats() {
  const rows = [];
  for (const [part, times] of [...passTimes].sort((a, b) => a[0] - b[0])) {
    const s = [...times].sort((a, b) => a - b);
    rows.push({ part: part < 0 ? 'loading' : String(part), frames: s.length,
                median: percentile(s, 50), p95: percentile(s, 95), p99: percentile(s, 99),
                max: s[s.length - 1] });
  }
  return rows;
}

// ---- The virtual-clock mode's hand-over of frames.

const virtual = {
  wanted: null,      // the program's wait for the next show time
  pending: null,     // the page's wait for the next frame
  started: null,
  handFrame(showMs, part) {
    if (showMs >= 0 && this.pending) {
      const w = screenCanvas.width, h = screenCanvas.height;
      const pixels = screen2d.getImageData(0, 0, w, h).data;
      this.pending({ showMs, part, width: w, height: h, pixels });
      this.pending = null;
    }
    if (this.started) { this.started(); this.started = null; }
    return new Promise(resolve => { this.wanted = resolve; });
  },
  renderTo(ms) {
    return new Promise((resolve, reject) => {
      if (!this.wanted) { reject(new Error('the show is not waiting for a time')); return; }
      this.pending = resolve;
      const go = this.wanted;
      this.wanted = null;
      go(Math.max(0, Math.floor(ms)));
    });
  },
  finish() { if (this.wanted) { this.wanted(-1); this.wanted = null; } },
  ended() { if (this.pending) { this.pending({ ended: true }); this.pending = null; } },
};

// ---- The program.

let exitStatus = null;
const page = {
  audio,
  openCanvas(title, width, height) {
    document.title = title;
    screenCanvas.width = width;
    screenCanvas.height = height;
    $('start').hidden = true;
    $('stage').hidden = false;
    fitCanvas();
  },
  closeCanvas() {
    if (document.fullscreenElement) document.exitFullscreen();
  },
  putImage(view, width, height) {
    screen2d.putImageData(new ImageData(view, width, height), 0, 0);
  },
  showMessage(caption, text) { messages.box(caption, text); },
  recordPass(part, ms) {
    if (!passTimes.has(part)) passTimes.set(part, []);
    passTimes.get(part).push(ms);
  },
  handFrame(showMs, part) { return virtual.handFrame(showMs, part); },
};

var Module = {
  page,
  noInitialRun: true,
  print: line => console.log(line),
  printErr: line => messages.errorLine(line),
  onExit: status => {
    exitStatus = status;
    virtual.ended();
    $('stage').hidden = true;
    $('start').hidden = false;
    for (const id of ['size-question', 'sound-question', 'loading']) $(id).hidden = true;
    const end = document.createElement('p');
    end.id = 'ended';
    end.textContent = status === 0 ? 'The show has ended. Reload the page to see it again.'
                                   : `The show stopped (status ${status}).`;
    $('start').appendChild(end);
  },
};
// exit() ends the program by throwing ExitStatus through the page's
// callbacks; onExit has already said what it meant.
addEventListener('error', e => { if (e.error && e.error.name === 'ExitStatus') e.preventDefault(); });
addEventListener('unhandledrejection', e => {
  if (e.reason && e.reason.name === 'ExitStatus') e.preventDefault();
});
const runtimeReady = new Promise(resolve => { Module.onRuntimeInitialized = resolve; });

// Fetches every file of the data set into the program's file system, with
// the progress bar moving by bytes. A file that is not there is left out:
// the program then names it, as it does on the desktop.
async function loadDataSet(onSong) {
  const list = await fetch('data/files.txt').then(r => (r.ok ? r.text() : ''));
  const files = list.split('\n').filter(Boolean).map(line => {
    const at = line.indexOf(' ');
    return { size: Number(line.slice(0, at)), path: line.slice(at + 1) };
  });
  const total = files.reduce((sum, f) => sum + f.size, 0) || 1;
  let done = 0;
  const bar = $('progress');
  await runtimeReady;
  for (const file of files) {
    $('loading-text').textContent = `Loading ${file.path}`;
    let response;
    try { response = await fetch(file.path); } catch (e) { response = null; }
    if (!response || !response.ok) { done += file.size; continue; }
    const reader = response.body.getReader();
    const parts = [];
    let length = 0;
    for (;;) {
      const { done: end, value } = await reader.read();
      if (end) break;
      parts.push(value);
      length += value.length;
      bar.value = Math.min(1, (done + length) / total);
    }
    const bytes = new Uint8Array(length);
    let at = 0;
    for (const part of parts) { bytes.set(part, at); at += part.length; }
    done += file.size;
    bar.value = Math.min(1, done / total);
    const dir = file.path.slice(0, file.path.lastIndexOf('/'));
    FS.mkdirTree(dir);
    FS.writeFile(file.path, bytes);
    if (file.path === 'data/song.mp3') await onSong(file.path, bytes);
  }
  $('loading-text').textContent = 'Loaded';
}

function startProgram(args) {
  try {
    Module.callMain(args);
  } catch (e) {
    if (e !== 'unwind' && !(e && e.name === 'ExitStatus')) throw e;
  }
}

// The start screen: the picture size, then sound or no sound; keys 1 and 2
// answer as well. The second answer is the click that may start sound.
function askQuestions() {
  return new Promise(resolve => {
    let size = 0;
    const answer = value => {
      if (!size) {
        size = value;
        $('size-question').hidden = true;
        $('sound-question').hidden = false;
        $('sound-1').focus();
      } else {
        document.removeEventListener('keydown', onKey);
        $('sound-question').hidden = true;
        resolve({ size, sound: value });
      }
    };
    const onKey = e => { if (e.key === '1' || e.key === '2') answer(Number(e.key)); };
    document.addEventListener('keydown', onKey);
    for (const id of ['size-1', 'size-2', 'sound-1', 'sound-2']) {
      $(id).addEventListener('click', e => answer(Number(e.currentTarget.dataset.answer)));
    }
    $('size-1').focus();
  });
}

document.addEventListener('keydown', e => {
  if ($('stage').hidden) return;
  if (e.key === 'Escape') { Module._quorvane_key(27); e.preventDefault(); }
  if (e.key === 'f' || e.key === 'F' || (e.key === 'Enter' && e.altKey)) {
    toggleFullScreen();
    e.preventDefault();
  }
});

async function playPage() {
  const { size, sound } = await askQuestions();
  if (sound === 1) audio.create();
  $('loading').hidden = false;
  await loadDataSet((path, bytes) => (sound === 1 ? audio.decode(path, bytes) : null));
  startProgram(['--size', String(size), sound === 1 ? '--sound' : '--nosound']);
}

async function playVirtual() {
  $('loading').hidden = false;
  const started = new Promise(resolve => { virtual.started = resolve; });
  await loadDataSet(() => null);
  startProgram(['--virtual', String(virtualFps), '--size', params.get('size') === '2' ? '2' : '1']);
  await started;
}

window.quorvane = {
  messages: () => messages.all(),
  audioState: () => ({ context: audio.ctx ? audio.ctx.state : null, playing: audio.source !== null,
                       positionMs: audio.positionMs() }),
  frameStats,
  exitStatus: () => exitStatus,
  // Virtual-clock mode only.
  ready: virtualFps > 0 ? playVirtual() : null,
  renderTo: ms => virtual.renderTo(ms),
  finish: () => virtual.finish(),
};
if (virtualFps <= 0) playPage();
