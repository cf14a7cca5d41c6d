// Runs the page of build/web/ in headless Chromium, served on 127.0.0.1.
//   node page.mjs SITE NODE_MODULES frames OUT SECONDS CAPTURE MUSIC
//     writes a frame of the canvas (640x480 PPM) to OUT every 0.25 s for
//     SECONDS after the program has started, and to MUSIC the number of the
//     first frame taken with the music ready; then holds Space and saves the
//     download offered when it is let go as CAPTURE, and ends the demo with Esc
//   node page.mjs SITE NODE_MODULES ends SECONDS
//     waits until the program has ended; prints its status and the page's lines
//   node page.mjs SITE NODE_MODULES silent
//     a browser without Web Audio: prints the page's line once the program runs
//   node page.mjs SITE NODE_MODULES phone
//     a phone, upright then turned: started by a tap, the sound font held back
//     until the song has begun; prints whether the canvas fits the screen,
//     and whether the settings the song made before the synthesizer was
//     ready reached it before its first notes
import { createRequire } from 'module';
import fs from 'fs';
import http from 'http';
import os from 'os';
import path from 'path';

const [site, modules, mode, ...rest] = process.argv.slice(2);
const { chromium } = createRequire(path.resolve(modules) + '/')('playwright-core');
const TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm' };
const FRAME_GAP_MS = 250;
const FONT_DELAY_MS = 11000; // from the first frame: the song starts with the main part, ~8.5 s in
const PHONE = { width: 390, height: 844 };

const server = http.createServer((request, response) => {
  let file = path.join(site, decodeURIComponent(new URL(request.url, 'http://h').pathname));
  if (file.endsWith('/')) file += 'index.html';
  fs.readFile(file, (error, bytes) => {
    if (error) {
      response.writeHead(404);
      response.end();
      return;
    }
    response.writeHead(200, { 'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream' });
    response.end(bytes);
  });
});
await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));

// Records what the program hands the page (window.sent: each message with
// whether the music was ready) and what the page hands its synthesizer
// (window.told).
async function spyOnMusic(page) {
  await page.addInitScript(() => {
    let module;
    let synth;
    window.sent = [];
    window.told = [];
    Object.defineProperty(window, 'Module', {
      configurable: true,
      get: () => module,
      set: (value) => {
        const out = value.midiOut;
        if (out && !out.spied) {
          value.midiOut = (...m) => (window.sent.push([...m, !!tessera.music]), out(...m));
          value.midiOut.spied = true;
        }
        module = value;
      },
    });
    Object.defineProperty(window, 'JSSynth', {
      configurable: true,
      get: () => synth,
      set: (value) => {
        synth = value;
        const proto = value.AudioWorkletNodeSynthesizer.prototype;
        for (const name of ['midiNoteOn', 'midiProgramChange', 'midiControl', 'midiPitchBend']) {
          const real = proto[name];
          proto[name] = function (...args) {
            window.told.push([name, ...args]);
            return real.apply(this, args);
          };
        }
      },
    });
  });
}

const fits = (page) => page.evaluate(() => {
  const r = document.getElementById('screen').getBoundingClientRect();
  const inside = r.left >= 0 && r.top >= 0 && r.right <= innerWidth && r.bottom <= innerHeight;
  return `${innerWidth}x${innerHeight}: ${inside ? 'fits' : 'cut off'}`;
});

async function phone(page) {
  let started;
  const firstFrame = new Promise((resolve) => { started = resolve; });
  await page.route('**/synth/song.*', async (route) => {
    await firstFrame;
    await page.waitForTimeout(FONT_DELAY_MS);
    await route.continue();
  });
  const box = await page.locator('#screen').boundingBox();
  await page.touchscreen.tap(box.x + box.width / 2, box.y + box.height / 2);
  await page.waitForFunction(() => tessera.frames() > 0, null, { timeout: 30000 });
  started();
  console.log(await fits(page));
  await page.setViewportSize({ width: PHONE.height, height: PHONE.width });
  await page.waitForTimeout(300);
  console.log(await fits(page));
  await page.waitForFunction(() => tessera.music, null, { timeout: FONT_DELAY_MS + 20000 });
  await page.waitForTimeout(1000);
  // The last program, controller and bend of each channel the program sent
  // before the synthesizer was ready, against what the synthesizer was first
  // told, before each channel's first note.
  const [sent, told] = await page.evaluate(() => [window.sent, window.told]);
  const key = (kind, channel, number) => kind + ' ' + channel + (number === undefined ? '' : ' ' + number);
  const wanted = new Map();
  let dropped = 0;
  for (const [status, a, b, ready] of sent.filter((m) => !m[3])) {
    const channel = status & 0x0f;
    switch (status & 0xf0) {
      case 0x90: dropped += b > 0; break;
      case 0xb0: wanted.set(key('controller', channel, a), b); break;
      case 0xc0: wanted.set(key('program', channel), a); break;
      case 0xe0: wanted.set(key('bend', channel), a | (b << 7)); break;
    }
  }
  const given = new Map(); // the first value of each, told before its channel's first note
  const played = new Set();
  for (const [name, channel, a, b] of told) {
    const [k, v] = name === 'midiProgramChange' ? [key('program', channel), a]
      : name === 'midiControl' ? [key('controller', channel, a), b] : [key('bend', channel), a];
    if (name === 'midiNoteOn') played.add(channel);
    else if (!played.has(channel) && !given.has(k)) given.set(k, v);
  }
  const lost = [...wanted].filter(([k, v]) => given.get(k) !== v).map(([k, v]) => k + '=' + v);
  console.log(dropped ? 'notes dropped before the music was ready' : 'no notes before the music was ready');
  console.log(played.size ? 'notes played' : 'no notes played');
  console.log(wanted.size ? (lost.length ? 'lost: ' + lost.join(', ') : 'settings kept') : 'no settings sent');
}

const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'tessera-chromium-'));
const browser = await chromium.launchPersistentContext(profile, {
  executablePath: '/usr/bin/chromium',
  headless: true,
  ...(mode === 'phone' ? { viewport: PHONE, isMobile: true, hasTouch: true, deviceScaleFactor: 3 }
    : { viewport: { width: 800, height: 700 } }),
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync',
    '--autoplay-policy=no-user-gesture-required'],
});
let status = 0;
try {
  const page = await browser.newPage();
  page.on('pageerror', (e) => console.error('page: ' + e.message));
  if (mode === 'silent') await page.addInitScript(() => { delete window.AudioContext; });
  if (mode === 'phone') await spyOnMusic(page);
  const address = `http://127.0.0.1:${server.address().port}/`;
  await page.goto(mode === 'phone' ? address : address + '?autostart');
  if (mode === 'frames') {
    const [out, seconds, capture, music] = rest;
    await page.waitForFunction(() => tessera.frames() > 0, null, { timeout: 30000 });
    const end = Date.now() + seconds * 1000;
    let musicFrame = 'never';
    for (let n = 0; Date.now() < end; n++) {
      if (musicFrame === 'never' && (await page.evaluate(() => tessera.music))) musicFrame = n;
      const rgb = await page.evaluate(() => {
        const canvas = document.getElementById('screen');
        const rgba = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
        const rgb = new Uint8Array((rgba.length / 4) * 3);
        for (let i = 0, j = 0; i < rgba.length; i += 4, j += 3) {
          rgb[j] = rgba[i];
          rgb[j + 1] = rgba[i + 1];
          rgb[j + 2] = rgba[i + 2];
        }
        let text = '';
        for (let i = 0; i < rgb.length; i += 0x8000) {
          text += String.fromCharCode.apply(null, rgb.subarray(i, i + 0x8000));
        }
        return [canvas.width, canvas.height, btoa(text)];
      });
      const name = path.join(out, String(n).padStart(4, '0') + '.ppm');
      fs.writeFileSync(name, Buffer.concat([Buffer.from(`P6\n${rgb[0]} ${rgb[1]}\n255\n`),
        Buffer.from(rgb[2], 'base64')]));
      await page.waitForTimeout(FRAME_GAP_MS);
    }
    fs.writeFileSync(music, musicFrame + '\n');
    const download = page.waitForEvent('download', { timeout: 10000 });
    await page.keyboard.down('Space');
    await page.waitForTimeout(300);
    await page.keyboard.up('Space');
    await (await download).saveAs(capture);
    await page.keyboard.down('Escape');
    await page.waitForTimeout(200);
    await page.keyboard.up('Escape');
    await page.waitForFunction(() => tessera.state !== 'running', null, { timeout: 10000 });
    const after = await page.evaluate(() => [tessera.state, tessera.status,
      !document.getElementById('end').hidden]);
    if (after.join() !== 'ended,0,true') {
      console.error('after Esc: state, status, play again shown: ' + after.join());
      status = 1;
    }
  } else if (mode === 'silent') {
    await page.waitForFunction(() => tessera.frames() > 0 && document.getElementById('status').textContent,
      null, { timeout: 30000 });
    console.log(await page.evaluate(() => document.getElementById('status').textContent));
  } else if (mode === 'phone') {
    await phone(page);
  } else {
    await page.waitForFunction(() => tessera.state === 'ended' || tessera.state === 'failed',
      null, { timeout: rest[0] * 1000 });
    console.log(await page.evaluate(() => 'status ' + tessera.status + '\n' +
      document.getElementById('error').textContent));
  }
} catch (e) {
  console.error(String(e));
  status = 1;
} finally {
  await browser.close();
  server.close();
  fs.rmSync(profile, { recursive: true, force: true });
}
process.exit(status);
