// The Flash player emulator in headless Chromium: a local server for its
// web build and the pages, a browser started with the flags this machine
// needs, and a page that loads movies and reads the stage's pixels.
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';

const here = path.dirname(fileURLToPath(import.meta.url));
const ruffleDir = path.join(here, 'node_modules', '@ruffle-rs', 'ruffle');

const PAGE = `<!doctype html><html><head><meta charset="utf-8">
<style>html,body{margin:0;padding:0;background:transparent}ruffle-player{display:block}</style>
<script>
window.RufflePlayer = { config: {
  preferredRenderer: "canvas", allowScriptAccess: true, autoplay: "on", unmuteOverlay: "hidden",
  splashScreen: false, letterbox: "off", wmode: "transparent", backgroundColor: null, contextMenu: "off",
  warnOnUnsupportedContent: false, openUrlMode: "allow", logLevel: "warn" } };
window.__opened = [];
window.open = (url, target) => { window.__opened.push({ url: String(url), target: String(target) }); return null; };
// The page's one player, made on first use, at the stage's size.
window.__playerOfSize = (width, height) => {
  let player = document.querySelector('ruffle-player');
  if (!player) {
    player = window.RufflePlayer.newest().createPlayer();
    document.body.appendChild(player);
  }
  player.style.width = width + 'px';
  player.style.height = height + 'px';
  return player;
};
// Loads a movie into that player; every FSCommand it sends is noted in
// __commands and handed to __onCommand.
window.__commands = [];
window.__onCommand = null;
window.__load = async (url, width, height) => {
  const player = window.__playerOfSize(width, height);
  window.__commands = [];
  player.onFSCommand = (command, args) => {
    window.__commands.push({ command, args });
    if (window.__onCommand) window.__onCommand(command, args);
  };
  await player.ruffle().load({ url });
  return player;
};
</script>
<script src="/ruffle/ruffle.js"></script></head><body></body></html>`;

// Debian's Chromium, headless, with the flags this machine needs (its
// closed network refuses the browser's own background connections) and a
// fresh profile in `userDataDir`; `extraArgs` adds flags.
// The player error a console message reports, or null. The browser asks
// every site for its icon (the servers have none), and a movie loaded into
// the player replaces one whose instance may still have a frame to draw
// (the checks' jumps do that): neither says anything of the movie.
export function playerConsoleError(message) {
  if (/favicon\.ico$/.test(message.location().url)) return null;
  if (/Instance ID does not exist/.test(message.text())) return null;
  if (message.type() === 'error' || /panic|ERROR/.test(message.text())) return `console: ${message.text()}`;
  return null;
}

export function launchChromium(userDataDir, extraArgs = []) {
  return chromium.launchPersistentContext(userDataDir, {
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--force-color-profile=srgb', ...extraArgs],
    viewport: { width: 1024, height: 768 },
    deviceScaleFactor: 1,
  });
}

// Wraps the Web Audio buffers the player schedules: each buffer's samples
// are kept with the time it is to start playing.
const AUDIO_CAPTURE = `
window.__audio = [];
const startBuffer = AudioBufferSourceNode.prototype.start;
AudioBufferSourceNode.prototype.start = function (when, ...rest) {
  const b = this.buffer;
  if (b) {
    const channels = [];
    for (let c = 0; c < b.numberOfChannels; ++c) channels.push(b.getChannelData(c).slice());
    window.__audio.push({ when: when ?? this.context.currentTime, rate: b.sampleRate, channels });
  }
  return startBuffer.call(this, when, ...rest);
};`;

export class Player {
  // With audio, sound may start without a user gesture and the audio the
  // player schedules is captured.
  static async start({ audio = false } = {}) {
    const p = new Player();
    p.files = new Map();  // path -> Buffer, served under /files/
    p.loads = 0;
    p.server = http.createServer((req, res) => p.serve(req, res));
    await new Promise((resolve) => p.server.listen(0, '127.0.0.1', resolve));
    p.userDataDir = fs.mkdtempSync(path.join(os.tmpdir(), 'movara-chromium-'));
    p.context = await launchChromium(p.userDataDir, audio ? ['--autoplay-policy=no-user-gesture-required'] : []);
    p.errors = [];
    p.page = p.context.pages()[0] ?? (await p.context.newPage());
    if (audio) await p.page.addInitScript(AUDIO_CAPTURE);
    p.page.on('pageerror', (e) => p.errors.push(`page error: ${e.message}`));
    p.page.on('console', (m) => {
      const text = m.text();
      if (/panic|ERROR/.test(text) && !/favicon/.test(text)) p.errors.push(`player: ${text}`);
    });
    await p.page.goto(`http://127.0.0.1:${p.server.address().port}/`);
    return p;
  }

  serve(req, res) {
    const url = decodeURIComponent(req.url.split('?')[0]);
    if (url === '/') {
      res.writeHead(200, { 'content-type': 'text/html' });
      res.end(PAGE);
    } else if (url.startsWith('/ruffle/')) {
      const file = path.join(ruffleDir, path.basename(url));
      if (!fs.existsSync(file)) {
        res.writeHead(404);
        res.end();
        return;
      }
      res.writeHead(200, { 'content-type': file.endsWith('.wasm') ? 'application/wasm' : 'text/javascript' });
      res.end(fs.readFileSync(file));
    } else if (url.startsWith('/files/') && this.files.has(url.slice(7))) {
      res.writeHead(200, { 'content-type': 'application/octet-stream' });
      res.end(this.files.get(url.slice(7)));
    } else {
      res.writeHead(404);
      res.end();
    }
  }

  // Loads a movie into a player of the stage's size and waits for the frame
  // it reports through an FSCommand; returns that frame number, or -1.
  async show(movie, width, height, timeoutMs = 15000) {
    this.files.set('movie.swf', movie);
    return this.page.evaluate(async ({ width, height, timeoutMs, stamp }) => {
      const reached = new Promise((resolve) => {
        window.__onCommand = (command, args) => {
          if (command === 'movara_frame') resolve(Number(args));
        };
      });
      await window.__load(`/files/movie.swf?${stamp}`, width, height);
      const frame = await Promise.race([reached, new Promise((r) => setTimeout(() => r(-1), timeoutMs))]);
      // Let the player draw the frame it stopped at.
      for (let i = 0; i < 3; ++i) await new Promise((r) => requestAnimationFrame(r));
      return frame;
    }, { width, height, timeoutMs, stamp: ++this.loads });
  }

  // Every FSCommand the movie shown last has sent, in order.
  async commands() {
    return this.page.evaluate(() => window.__commands);
  }

  // Loads a movie into a player of the stage's size and lets it play for a
  // while, noting the colour at a point of the stage on every drawn frame;
  // returns the colours in the order they showed (each run of one colour
  // once) and the FSCommands the movie sent.
  async watch(movie, width, height, x, y, ms) {
    this.files.set('movie.swf', movie);
    return this.page.evaluate(async ({ width, height, x, y, ms, stamp }) => {
      window.__onCommand = null;
      const player = await window.__load(`/files/movie.swf?${stamp}`, width, height);
      const colors = [];
      const end = performance.now() + ms;
      while (performance.now() < end) {
        await new Promise((r) => requestAnimationFrame(r));
        const canvas = player.shadowRoot.querySelector('canvas');
        const c = Array.from(canvas.getContext('2d').getImageData(x, y, 1, 1).data);
        const last = colors[colors.length - 1];
        if (!last || last.some((v, i) => v !== c[i])) colors.push(c);
      }
      return { colors, commands: window.__commands };
    }, { width, height, x, y, ms, stamp: ++this.loads });
  }

  // Counts the pixels of a rectangle of the stage whose colour is off a
  // given opaque RGB colour by more than `tolerance` in some channel; also
  // returns the largest difference met.
  async compareArea(rgb, tolerance, left, top, right, bottom) {
    return this.page.evaluate(({ rgb, tolerance, left, top, right, bottom }) => {
      const player = document.querySelector('ruffle-player');
      const canvas = player.shadowRoot.querySelector('canvas');
      const data = canvas.getContext('2d').getImageData(left, top, right - left, bottom - top).data;
      let bad = 0;
      let largest = 0;
      let detail = '';
      for (let i = 0; i < data.length; i += 4) {
        const want = [...rgb, 255];
        const off = Math.max(...want.map((v, c) => Math.abs(v - data[i + c])));
        largest = Math.max(largest, off);
        if (off > tolerance) {
          if (bad === 0) detail = `first at pixel ${i / 4}: ${Array.from(data.slice(i, i + 4))}`;
          ++bad;
        }
      }
      return { bad, largest, detail };
    }, { rgb, tolerance, left, top, right, bottom });
  }

  // Compares the stage with a PNG picture; returns the number of pixels whose
  // channels differ by more than `tolerance`, and the first of them.
  async compareStage(png, tolerance) {
    return this.page.evaluate(async ({ png, tolerance }) => {
      const player = document.querySelector('ruffle-player');
      const canvas = player.shadowRoot.querySelector('canvas');
      const stage = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height);
      const blob = new Blob([Uint8Array.from(atob(png), (c) => c.charCodeAt(0))], { type: 'image/png' });
      const bitmap = await createImageBitmap(blob, { colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
      const c2 = new OffscreenCanvas(bitmap.width, bitmap.height);
      const ctx = c2.getContext('2d', { colorSpace: 'srgb' });
      ctx.drawImage(bitmap, 0, 0);
      const ref = ctx.getImageData(0, 0, bitmap.width, bitmap.height);
      if (ref.width !== stage.width || ref.height !== stage.height) {
        return { bad: -1, detail: `stage ${stage.width}x${stage.height}, picture ${ref.width}x${ref.height}` };
      }
      let bad = 0;
      let detail = '';
      for (let i = 0; i < ref.data.length; i += 4) {
        const a = stage.data, b = ref.data;
        // Fully transparent pixels match whatever their colour.
        if (a[i + 3] === 0 && b[i + 3] === 0) continue;
        let off = false;
        for (let c = 0; c < 4; ++c) off = off || Math.abs(a[i + c] - b[i + c]) > tolerance;
        if (off) {
          if (bad === 0) {
            const p = i / 4;
            detail = `first at ${p % ref.width},${Math.floor(p / ref.width)}: player ${Array.from(a.slice(i, i + 4))} picture ${Array.from(b.slice(i, i + 4))}`;
          }
          ++bad;
        }
      }
      return { bad, detail };
    }, { png: png.toString('base64'), tolerance });
  }

  // Presses and releases the mouse in the middle of the stage; returns the
  // windows the movie opened.
  async clickStage(width, height) {
    await this.page.evaluate(() => { window.__opened = []; });
    const box = await this.page.locator('ruffle-player').boundingBox();
    await this.page.mouse.move(box.x + width / 2, box.y + height / 2);
    await this.page.mouse.down();
    await this.page.waitForTimeout(100);
    await this.page.mouse.up();
    await this.page.waitForTimeout(500);
    return this.page.evaluate(() => window.__opened);
  }

  // Loads a movie, lets it play for `seconds` and returns the audio the
  // player scheduled meanwhile, mixed down to mono on one timeline from the
  // first buffer on: { rate, samples: Float32Array, joins } (joins: where
  // each later buffer begins, in samples).
  async playAudio(movie, width, height, seconds) {
    this.files.set('movie.swf', movie);
    const { rate, base64, joins } = await this.page.evaluate(async ({ width, height, seconds, stamp }) => {
      window.__audio = [];
      const player = window.__playerOfSize(width, height);
      await player.ruffle().load({ url: `/files/movie.swf?${stamp}` });
      await new Promise((r) => setTimeout(r, seconds * 1000));
      const buffers = window.__audio.splice(0);
      player.remove();
      if (buffers.length === 0) return { rate: 0, base64: '', joins: [] };
      const rate = buffers[0].rate;
      const t0 = Math.min(...buffers.map((b) => b.when));
      const end = Math.max(...buffers.map((b) => Math.round((b.when - t0) * rate) + b.channels[0].length));
      const out = new Float32Array(end);
      for (const b of buffers) {
        const at = Math.round((b.when - t0) * rate);
        for (let i = 0; i < b.channels[0].length; ++i) {
          let sum = 0;
          for (const c of b.channels) sum += c[i];
          out[at + i] = sum / b.channels.length;
        }
      }
      const bytes = new Uint8Array(out.buffer);
      let text = '';
      for (let i = 0; i < bytes.length; i += 0x8000) text += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
      const joins = buffers.map((b) => Math.round((b.when - t0) * rate)).filter((at) => at > 0);
      return { rate, base64: btoa(text), joins };
    }, { width, height, seconds, stamp: ++this.loads });
    const raw = Buffer.from(base64, 'base64');
    return { rate, samples: new Float32Array(raw.buffer, raw.byteOffset, raw.length / 4), joins };
  }

  async stop() {
    await this.context.close();
    await new Promise((resolve) => this.server.close(resolve));
    fs.rmSync(this.userDataDir, { recursive: true, force: true });
  }
}
