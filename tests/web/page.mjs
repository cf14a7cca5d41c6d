// Runs the page of build/web/ in headless Chromium, served on 127.0.0.1.
//   node page.mjs SITE NODE_MODULES frames OUT SECONDS CAPTURE
//     writes a frame of the canvas (640x480 PPM) to OUT every 0.25 s for
//     SECONDS after the program has started; then holds Space and saves the
//     download offered when it is let go as CAPTURE, and ends the demo with Esc
//   node page.mjs SITE NODE_MODULES ends SECONDS
//     waits until the program has ended; prints its status and the page's lines
import { createRequire } from 'module';
import fs from 'fs';
import http from 'http';
import os from 'os';
import path from 'path';

const [site, modules, mode, ...rest] = process.argv.slice(2);
const { chromium } = createRequire(path.resolve(modules) + '/')('playwright-core');
const TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm' };
const FRAME_GAP_MS = 250;

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
const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'tessera-chromium-'));
const browser = await chromium.launchPersistentContext(profile, {
  executablePath: '/usr/bin/chromium',
  headless: true,
  viewport: { width: 800, height: 700 },
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync',
    '--autoplay-policy=no-user-gesture-required'],
});
let status = 0;
try {
  const page = await browser.newPage();
  page.on('pageerror', (e) => console.error('page: ' + e.message));
  await page.goto(`http://127.0.0.1:${server.address().port}/?autostart`);
  if (mode === 'frames') {
    const [out, seconds, capture] = rest;
    await page.waitForFunction(() => tessera.frames() > 0, null, { timeout: 30000 });
    const end = Date.now() + seconds * 1000;
    for (let n = 0; Date.now() < end; n++) {
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
