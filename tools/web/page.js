// The page around Tessera: the canvas at the largest whole enlargement that
// fits, the start on a click or a key (browsers start sound only after one)
// or at once with ?autostart, the synthesizer, and what is shown when the
// program ends. window.tessera tells tests what the page is doing.
'use strict';

const SCREEN_W = 640;
const SCREEN_H = 480;
const SOUND_FONT = 'synth/TimGM6mb.sf2';
const AUDIO_START_MS = 2000; // a suspended AudioContext that does not start by then never will
const canvas = document.getElementById('screen');
const show = (id, text) => {
  const element = document.getElementById(id);
  if (text !== undefined) element.textContent = text;
  element.hidden = false;
  return element;
};

window.tessera = { state: 'waiting', frames: () => (window.Module && Module.framesShown) || 0 };

function fitCanvas() {
  const room = Math.min(window.innerWidth / SCREEN_W, (window.innerHeight - 120) / SCREEN_H);
  const factor = Math.max(1, Math.floor(room));
  canvas.style.width = SCREEN_W * factor + 'px';
  canvas.style.height = SCREEN_H * factor + 'px';
}
window.addEventListener('resize', fitCanvas);
fitCanvas();

// The synthesizer runs in an AudioWorklet and plays the General MIDI sound
// font; resolves to a function taking one MIDI message, or null when Web
// Audio or the synthesizer cannot be had.
async function startSynthesizer() {
  let context = null;
  try {
    context = new AudioContext();
    const running = context.resume().then(() => context.state === 'running');
    const late = new Promise((resolve) => setTimeout(() => resolve(false), AUDIO_START_MS));
    if (!(await Promise.race([running, late]))) throw new Error('audio did not start');
    await context.audioWorklet.addModule('synth/libfluidsynth-2.4.6.js');
    await context.audioWorklet.addModule('synth/js-synthesizer.worklet.min.js');
    const synth = new JSSynth.AudioWorkletNodeSynthesizer();
    synth.init(context.sampleRate);
    synth.createAudioNode(context).connect(context.destination);
    const font = await fetch(SOUND_FONT);
    if (!font.ok) throw new Error(SOUND_FONT + ': ' + font.status);
    await synth.loadSFont(await font.arrayBuffer());
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
  } catch (e) {
    console.warn('No music: ' + e);
    if (context) context.close().catch(() => {});
    return null;
  }
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
  show('end');
}

async function start() {
  if (window.tessera.state !== 'waiting') return;
  window.tessera.state = 'loading';
  document.getElementById('prompt').hidden = true;
  show('status', 'Loading…');
  const midiOut = await startSynthesizer();
  window.tessera.music = midiOut !== null;
  window.Module = {
    canvas: canvas,
    midiOut: midiOut,
    print: (line) => show('status', line.replace(/\r/g, '')),
    printErr: (line) => {
      const error = show('error');
      error.textContent += (error.textContent ? '\n' : '') + line.replace(/\r/g, '');
    },
    onKey: (code, down) => {
      if (code === 32 && !down) offerCapture();
    },
    onRuntimeInitialized: () => {
      window.tessera.state = 'running';
      document.getElementById('status').textContent = '';
      canvas.focus();
    },
    onExit: ended,
    onAbort: (what) => {
      Module.printErr('tessera: ' + what);
      ended(1);
    },
  };
  const script = document.createElement('script');
  script.src = 'tessera.js';
  script.onerror = () => {
    Module.printErr('tessera: cannot load tessera.js');
    ended(1);
  };
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
  canvas.addEventListener('click', start);
  document.getElementById('prompt').addEventListener('click', start);
  window.addEventListener('keydown', start, { once: true });
}
