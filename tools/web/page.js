// The page around Tessera: the canvas at the largest size that fits, the
// start on a click, a tap or a key (browsers start sound only after one) or
// at once with ?autostart, the loading bar, the synthesizer, and what is
// shown when the program ends. window.tessera tells tests what the page is
// doing.
'use strict';

const SCREEN_W = 640;
const SCREEN_H = 480;
const ROOM_BELOW = 120; // the lines under the picture, on a screen that has room for them
const AUDIO_START_MS = 2000; // a suspended AudioContext that does not start by then never will
const AUDIO_SERVICE_MS = 5000; // a browser that has not listed its media devices by then may never
const PROGRAM = ['tessera.js', 'tessera.wasm', 'tessera.data'];
const SYNTH_SCRIPT = 'synth/js-synthesizer.min.js';
const SYNTH_WORKLETS = ['synth/libfluidsynth-2.4.6.js', 'synth/js-synthesizer.worklet.min.js'];
const SOUND_FONT = 'synth/song.sf2';
const NO_MUSIC = 'Sorry, MIDI is unavailable'; // as the program says when it has no MIDI driver

// The build gives every file but the page a name that holds a hash of its
// contents, and lists them here with their sizes: a browser may keep them
// for ever, and a page never mixes files of two builds.
const FILES = JSON.parse(document.getElementById('files').textContent || '{}');
const url = (name) => (FILES[name] ? FILES[name][0] : name);
const size = (name) => (FILES[name] ? FILES[name][1] : 0);

const canvas = document.getElementById('screen');
const show = (id, text) => {
  const element = document.getElementById(id);
  if (text !== undefined) element.textContent = text;
  element.hidden = false;
  return element;
};

const since = () => Math.round(performance.now());
window.tessera = {
  state: 'waiting',
  frames: () => (window.Module && Module.framesShown) || 0,
  times: {}, // ms from the page's start to: running, frame (the first), music (ready)
};

// On a screen that holds 640x480 and the lines below it, the largest whole
// enlargement, pixels kept sharp; on a smaller one (a phone) the whole
// picture at the largest size the window holds, smoothed. The window's size
// is the layout viewport's, which a phone does not widen when the page is
// wider than its screen.
function fitCanvas() {
  const width = document.documentElement.clientWidth;
  const height = document.documentElement.clientHeight;
  const top = canvas.getBoundingClientRect().top + window.scrollY;
  const room = Math.min(width / SCREEN_W, (height - ROOM_BELOW) / SCREEN_H);
  const factor = room >= 1 ? Math.floor(room) : Math.min(1, width / SCREEN_W, (height - top) / SCREEN_H);
  canvas.style.width = SCREEN_W * factor + 'px';
  canvas.style.height = SCREEN_H * factor + 'px';
  canvas.style.imageRendering = factor >= 1 ? 'pixelated' : 'auto';
}
window.addEventListener('resize', fitCanvas);
fitCanvas();

// Fetches a file as a response whose body adds what arrives to `arrived`;
// rejects with a message naming the file.
async function fetchCounted(name, arrived, type) {
  let response;
  try {
    response = await fetch(url(name));
  } catch (e) {
    throw new Error('cannot load ' + name);
  }
  if (!response.ok) throw new Error('cannot load ' + name + ' (' + response.status + ')');
  const count = new TransformStream({
    transform(chunk, out) {
      arrived(chunk.length);
      out.enqueue(chunk);
    },
  });
  return new Response(response.body.pipeThrough(count), { headers: { 'Content-Type': type } });
}

const fetchBytes = (name, arrived) =>
  fetchCounted(name, arrived, 'application/octet-stream').then((r) => r.arrayBuffer());

// The bar over the canvas: how much of what the first frame needs has come.
function progress() {
  const total = PROGRAM.reduce((sum, name) => sum + size(name), 0);
  const bar = document.getElementById('progress');
  let arrived = 0;
  bar.hidden = false;
  return (bytes) => {
    arrived += bytes;
    if (total) {
      bar.value = Math.min(1, arrived / total);
      show('status', 'Loading… ' + Math.floor(100 * bar.value) + '%');
    }
  };
}

function whenFirstFrame(then) {
  if (window.tessera.frames() > 0) then();
  else requestAnimationFrame(() => whenFirstFrame(then));
}

// Web Audio, where the browser has it with worklets. The first AudioContext
// of a page waits for the browser's audio service to start, and holds the
// page up meanwhile (a second or more on a busy machine); asking for the
// media devices starts the service without holding anything up. The service
// starts at once when the page waits for a click, tap or key; after
// ?autostart, only with the first frame, so as not to slow it.
const HAS_AUDIO = typeof AudioContext === 'function' && typeof AudioWorkletNode === 'function';
let audioServiceStarted = null;
function audioService() {
  if (!audioServiceStarted) audioServiceStarted = !HAS_AUDIO ? Promise.resolve() : Promise.race([
    navigator.mediaDevices ? navigator.mediaDevices.enumerateDevices().catch(() => {}) : null,
    new Promise((resolve) => setTimeout(resolve, AUDIO_SERVICE_MS)),
  ]);
  return audioServiceStarted;
}

function newAudioContext() {
  try {
    return new AudioContext();
  } catch (e) {
    console.warn('No music: ' + e);
    return null;
  }
}

// Resolves once the context runs: browsers let it only after a click, tap
// or key, unless they are told otherwise.
async function audioRuns(context) {
  const running = context.resume().then(() => context.state === 'running');
  const late = new Promise((resolve) => setTimeout(() => resolve(false), AUDIO_START_MS));
  if (!(await Promise.race([running, late]))) throw new Error('audio did not start');
}

function loadScript(name) {
  return new Promise((resolve, reject) => {
    const script = document.createElement('script');
    script.src = url(name);
    script.onload = resolve;
    script.onerror = () => reject(new Error('cannot load ' + name));
    document.head.appendChild(script);
  });
}

// The synthesizer's files: its script, the code of its worklets and the sound
// font. The worklets' code is fetched by the page, as everything else is,
// so that it goes over the page's connection (and a link slowed in the
// browser's developer tools).
function fetchSynthesizer() {
  const parts = [loadScript(SYNTH_SCRIPT), fetchBytes(SOUND_FONT, () => {}),
    ...SYNTH_WORKLETS.map((name) => fetchBytes(name, () => {}))];
  parts.forEach((part) => part.catch(() => {}));
  return parts;
}

// The synthesizer runs in an AudioWorklet of `context` and plays the sound
// font; resolves to a function taking one MIDI message.
async function startSynthesizer(context, [script, font, ...worklets]) {
  await script;
  for (const code of worklets) {
    const module = URL.createObjectURL(new Blob([await code], { type: 'text/javascript' }));
    try {
      await context.audioWorklet.addModule(module);
    } finally {
      URL.revokeObjectURL(module);
    }
  }
  const synth = new JSSynth.AudioWorkletNodeSynthesizer();
  synth.init(context.sampleRate);
  synth.createAudioNode(context).connect(context.destination);
  await synth.loadSFont(await font);
  return (status, a, b) => {
    const channel = status & 0x0f;
    switch (status & 0xf0) {
      case 0x80: synth.midiNoteOff(channel, a); break;
      case 0x90: b ? synth.midiNoteOn(channel, a, b) : synth.midiNoteOff(channel, a); break;
      case 0xa0: synth.midiKeyPressure(channel, a, b); break;
      case 0xb0: synth.midiControl(channel, a, b); break;
      case 0xc0: synth.midiProgramChange(channel, a); break;
      case 0xd0: synth.midiChannelPressure(channel, a); break;
      case 0xe0: synth.midiPitchBend(channel, a | (b << 7)); break;
    }
  };
}

// The music, while the program runs: the context (made now unless the
// click, tap or key made it), the synthesizer, and then the gate opens.
async function music(context, files, gate) {
  const made = context || newAudioContext();
  try {
    if (!made) throw new Error('no AudioContext');
    await audioRuns(made);
    gate.ready(await startSynthesizer(made, files));
    window.tessera.music = true;
    window.tessera.times.music = since();
  } catch (e) {
    console.warn('No music: ' + e);
    if (made) made.close().catch(() => {});
    window.tessera.music = false;
    if (window.tessera.state === 'running') show('status', NO_MUSIC);
  }
}

// What the program plays before the synthesizer is ready: notes are
// dropped (a note-off with nothing sounding is harmless, so none hangs, and
// the song joins in at its next notes), while the last program, controller,
// pressure and bend of each channel are kept and played, in the order they
// came, once it is; so the channels are set up as the song's start set them.
function midiGate() {
  const kept = new Map();
  let play = null;
  const out = (status, a, b) => {
    if (play) return play(status, a, b);
    const kind = status & 0xf0;
    if (kind < 0xb0) return; // note off, note on, key pressure
    const key = kind === 0xb0 ? status * 128 + a : status * 128;
    kept.delete(key);
    kept.set(key, [status, a, b]);
  };
  out.ready = (synth) => {
    for (const [status, a, b] of kept.values()) synth(status, a, b);
    kept.clear();
    play = synth;
  };
  return out;
}

// While Space is held the program rewrites capture.pcx in its file system;
// when it is let go, the last one is offered as a download.
function offerCapture() {
  let bytes;
  try {
    bytes = Module.FS.readFile('/capture.pcx');
  } catch (e) {
    return;
  }
  const link = document.createElement('a');
  show('capture').replaceChildren(link);
  link.href = URL.createObjectURL(new Blob([bytes], { type: 'image/x-pcx' }));
  link.download = 'capture.pcx';
  link.textContent = 'Download the captured frame (capture.pcx)';
  link.click();
}

function ended(status) {
  window.tessera.state = status === 0 ? 'ended' : 'failed';
  window.tessera.status = status;
  document.getElementById('status').textContent = '';
  document.getElementById('progress').hidden = true;
  show('end');
}

function printErr(line) {
  const error = show('error');
  error.textContent += (error.textContent ? '\n' : '') + line.replace(/\r/g, '');
}

// The program starts as soon as its own files are in, and the synthesizer
// loads after its first frame, while the intro plays: the two would only
// share the link and the machine, and the first frame would come later.
async function start(event) {
  if (window.tessera.state !== 'waiting') return;
  window.tessera.state = 'loading';
  document.getElementById('prompt').hidden = true;
  const arrived = progress();
  // The program compiles while it arrives, and runs once its runtime and
  // data are in; the runtime waits for the compiled program itself.
  let frameIn;
  const firstFrame = new Promise((resolve) => { frameIn = resolve; });
  const wasm = fetchCounted('tessera.wasm', arrived, 'application/wasm').then((r) => WebAssembly.compileStreaming(r));
  wasm.catch(() => {});
  const program = Promise.all([fetchBytes('tessera.js', arrived), fetchBytes('tessera.data', arrived)]);
  // Some browsers start sound only inside the click, tap or key's own
  // handler. After ?autostart there is none, and the context is made once
  // the audio service runs, while the program does.
  const context = HAS_AUDIO && event ? newAudioContext() : null;
  if (context) context.resume().catch(() => {});
  const failed = (e) => {
    printErr('tessera: ' + e.message);
    ended(1);
    if (context) context.close().catch(() => {});
  };
  let code, data;
  try {
    [code, data] = await program;
  } catch (e) {
    failed(e);
    return;
  }
  const gate = HAS_AUDIO ? midiGate() : null;
  if (gate) {
    // The synthesizer only once the first frame is shown: the first frame
    // needs the link and the machine for itself.
    firstFrame.then(() => {
      const files = fetchSynthesizer();
      return (context ? Promise.resolve() : audioService()).then(() => music(context, files, gate));
    });
  } else {
    window.tessera.music = false;
  }
  window.Module = {
    canvas: canvas,
    midiOut: gate,
    print: (line) => show('status', line.replace(/\r/g, '')),
    printErr: printErr,
    onKey: (code, down) => {
      if (code === 32 && !down) offerCapture();
    },
    instantiateWasm: (imports, receive) => {
      wasm.then(async (module) => receive(await WebAssembly.instantiate(module, imports), module)).catch(failed);
      return {};
    },
    getPreloadedPackage: () => data,
    onRuntimeInitialized: () => {
      window.tessera.state = 'running';
      window.tessera.times.running = since();
      document.getElementById('status').textContent = '';
      canvas.focus();
      whenFirstFrame(() => {
        window.tessera.times.frame = since();
        frameIn();
        document.getElementById('progress').hidden = true;
      });
    },
    onExit: ended,
    onAbort: (what) => {
      printErr('tessera: ' + what);
      ended(1);
    },
  };
  const script = document.createElement('script');
  script.text = new TextDecoder().decode(code);
  document.body.appendChild(script);
}

// exit() ends the program by throwing ExitStatus out of the browser's
// callback that resumed it; the page has been told already (onExit).
window.addEventListener('error', (e) => {
  if (e.error && e.error.name === 'ExitStatus') e.preventDefault();
});

if (new URLSearchParams(location.search).has('autostart')) {
  start();
} else {
  audioService();
  canvas.addEventListener('click', start);
  document.getElementById('prompt').addEventListener('click', start);
  window.addEventListener('keydown', start, { once: true });
}
