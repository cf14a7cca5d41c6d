// How long a new visitor waits for the browser build, on slowed links:
// headless Chromium with a fresh profile opens the built page, served by
// python3 -m http.server, with ?autostart, the link slowed by Chromium's own
// network emulation. For each link it prints the time from opening the page
// to the first frame and to the music being ready, whether the music is
// ready before the main part (the intro lasts 490 ticks, 8.17 s, from the
// first frame), the bytes fetched, and those of a second visit in the same
// profile. Then it opens the page on two emulated phones, starts it with a
// tap and says whether the whole canvas lies inside the screen.
//   node tools/bench/web_load.mjs [SITE [RUNS]]
// SITE defaults to build/web/ (tools/web/build.sh makes it), RUNS to 3 per
// link (the median is printed, with every run).
import { createRequire } from 'module';
import { spawn } from 'child_process';
import fs from 'fs';
import net from 'net';
import os from 'os';
import path from 'path';
import { fileURLToPath } from 'url';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const site = path.resolve(process.argv[2] || path.join(root, 'build', 'web'));
const runs = Number(process.argv[3] || 3);
const modules = path.join(root, 'build/web-work/npm/node_modules/');
const { chromium } = createRequire(modules)('playwright-core');

const INTRO_MS = (490 / 60) * 1000;
const LINKS = [
  { name: 'no limit', latency: 0, bitsPerSecond: 0 },
  { name: '20 Mbit/s, 20 ms', latency: 20, bitsPerSecond: 20e6 },
  { name: '5 Mbit/s, 40 ms', latency: 40, bitsPerSecond: 5e6 },
];
const PHONES = [
  { width: 390, height: 844 },
  { width: 844, height: 390 },
];
const FLAGS = ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
  '--autoplay-policy=no-user-gesture-required'];
const WAIT_MS = 60000;

const freePort = () => new Promise((resolve) => {
  const probe = net.createServer().listen(0, '127.0.0.1', () => {
    const { port } = probe.address();
    probe.close(() => resolve(port));
  });
});

async function serve() {
  const port = await freePort();
  const server = spawn('python3', ['-m', 'http.server', '--bind', '127.0.0.1', '-d', site, String(port)],
    { stdio: ['ignore', 'ignore', 'pipe'] });
  // The server's log: every file it sent whole counts with its size.
  server.sent = 0;
  let partial = '';
  server.stderr.on('data', (chunk) => {
    const lines = (partial + chunk).split('\n');
    partial = lines.pop();
    for (const line of lines) {
      const m = line.match(/"GET ([^ ?]*)[^"]*" 200 /);
      if (!m) continue;
      let file = path.join(site, decodeURIComponent(m[1]));
      if (file.endsWith('/')) file += 'index.html';
      try {
        server.sent += fs.statSync(file).size;
      } catch (e) { /* gone */ }
    }
  });
  for (let i = 0; i < 100; i++) {
    const up = await new Promise((resolve) => {
      const socket = net.connect(port, '127.0.0.1', () => resolve(true)).on('error', () => resolve(false));
      socket.unref();
      setTimeout(() => socket.destroy(), 200);
    });
    if (up) return { server, address: `http://127.0.0.1:${port}/` };
    await new Promise((resolve) => setTimeout(resolve, 100));
  }
  server.kill();
  throw new Error('python3 -m http.server did not start');
}

async function browser(options = {}) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'tessera-bench-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: '/usr/bin/chromium', headless: true, args: FLAGS, ...options,
  });
  return {
    context,
    close: async () => {
      await context.close();
      fs.rmSync(profile, { recursive: true, force: true });
    },
  };
}

// One visit: the page opened on the link; ms to the first frame and to the
// music (null if it never came), bytes the browser's developer tools saw
// arrive and bytes the server sent.
async function visit(context, server, address, link) {
  const sentBefore = server.sent;
  const page = await context.newPage();
  const cdp = await context.newCDPSession(page);
  await cdp.send('Network.enable');
  if (link.bitsPerSecond) {
    await cdp.send('Network.emulateNetworkConditions', {
      offline: false, latency: link.latency,
      downloadThroughput: link.bitsPerSecond / 8, uploadThroughput: link.bitsPerSecond / 8,
    });
  }
  let bytes = 0;
  cdp.on('Network.loadingFinished', (e) => { bytes += e.encodedDataLength; });
  await page.goto(address + '?autostart', { waitUntil: 'commit' });
  const [frame, music] = await Promise.all([
    page.waitForFunction(() => window.tessera && tessera.frames() > 0 && performance.now(), null,
      { timeout: WAIT_MS, polling: 10 }),
    page.waitForFunction(
      () => window.tessera && tessera.music !== undefined && [tessera.music, performance.now()], null,
      { timeout: WAIT_MS, polling: 10 }),
  ]);
  const [ready, musicAt] = await music.jsonValue();
  await page.waitForTimeout(500); // anything still arriving
  // The page's own record of the moments, where it keeps one, else when the
  // polls saw them.
  const times = await page.evaluate(() => tessera.times || {});
  const result = {
    frame: times.frame || (await frame.jsonValue()),
    music: ready ? times.music || musicAt : null,
    bytes,
    sent: server.sent - sentBefore,
  };
  await page.close();
  return result;
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const seconds = (ms) => (ms === null ? 'never' : (ms / 1000).toFixed(2) + ' s');
const megabytes = (n) => (n / 1e6).toFixed(2) + ' MB';

async function main() {
  const { server, address } = await serve();
  try {
    console.log(`${site}, ${runs} runs per link (median; every run in brackets)`);
    console.log('link | first frame | music ready | music before the main part | bytes fetched' +
      ' (the browser saw; the server sent) | second visit');
    for (const link of LINKS) {
      const firsts = [];
      const seconds_ = [];
      for (let run = 0; run < runs; run++) {
        const b = await browser({ viewport: { width: 1280, height: 800 } });
        try {
          firsts.push(await visit(b.context, server, address, link));
          seconds_.push(await visit(b.context, server, address, link));
        } finally {
          await b.close();
        }
      }
      const frame = median(firsts.map((r) => r.frame));
      const musicTimes = firsts.map((r) => (r.music === null ? Infinity : r.music));
      const music = median(musicTimes);
      const beforeMain = firsts.every((r) => r.music !== null && r.music < r.frame + INTRO_MS);
      console.log(`${link.name} | ${seconds(frame)} [${firsts.map((r) => seconds(r.frame)).join(', ')}]` +
        ` | ${seconds(music === Infinity ? null : music)} [${firsts.map((r) => seconds(r.music)).join(', ')}]` +
        ` | ${beforeMain ? 'yes' : 'no'} | ${megabytes(median(firsts.map((r) => r.bytes)))};` +
        ` ${megabytes(median(firsts.map((r) => r.sent)))}` +
        ` | ${megabytes(median(seconds_.map((r) => r.bytes)))}; ${megabytes(median(seconds_.map((r) => r.sent)))},` +
        ` first frame ${seconds(median(seconds_.map((r) => r.frame)))}`);
    }
    for (const phone of PHONES) {
      const b = await browser({ viewport: phone, isMobile: true, hasTouch: true, deviceScaleFactor: 3 });
      try {
        const page = await b.context.newPage();
        await page.goto(address);
        const [x, y] = await page.evaluate(() => {
          const r = document.getElementById('screen').getBoundingClientRect();
          return [Math.max(1, (r.left + r.right) / 2), Math.max(1, (r.top + r.bottom) / 2)];
        });
        await page.touchscreen.tap(x, y);
        await page.waitForFunction(() => tessera.frames() > 0, null, { timeout: WAIT_MS });
        const box = await page.evaluate(() => {
          const r = document.getElementById('screen').getBoundingClientRect();
          return [r.left, r.top, r.right, r.bottom, window.innerWidth, window.innerHeight];
        });
        const inside = box[0] >= 0 && box[1] >= 0 && box[2] <= box[4] && box[3] <= box[5];
        console.log(`phone ${phone.width}x${phone.height}: canvas ${Math.round(box[2] - box[0])}x` +
          `${Math.round(box[3] - box[1])} at (${Math.round(box[0])}, ${Math.round(box[1])}), ` +
          `${inside ? 'inside the screen' : 'NOT inside the screen'}`);
      } finally {
        await b.close();
      }
    }
  } finally {
    server.kill();
  }
}

await main();
