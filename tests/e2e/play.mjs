// Playing as a user plays: `movara-cli --play --no-browser` started on a
// third of the corpus's GIFs (every third of those with reference frames,
// in name order, from the first), the page URL it prints opened in headless
// Chromium as it stands (no page of the test's own, no script added to it),
// and the stage compared with the reference pictures. Each picture is
// reached by playing a copy of the movie that jumps to its frame and stops
// there, again through `--play` (a movie given as it is). Then the link
// button: a click on the stage opens its URL in a new window. No player
// error may reach the console.
//
//   node play.mjs --cli PATH/movara-cli --corpus DIR [--expected FILE]

import { spawn } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { launchChromium } from './player.mjs';
import { changeFrames, jumpCopy } from './swf-edit.mjs';

const args = Object.fromEntries(process.argv.slice(2).reduce((pairs, a, i, all) => {
  if (a.startsWith('--')) pairs.push([a.slice(2), all[i + 1]]);
  return pairs;
}, []));
const { cli, corpus } = args;
if (!cli || !corpus) {
  console.error('usage: node play.mjs --cli PATH/movara-cli --corpus DIR [--expected FILE]');
  process.exit(2);
}
const TOLERANCE = 1;
const JUMP_FPS = 8;
// A link that stays on this machine; the test answers it itself.
const LINK = 'http://127.0.0.1:9/movara?x=1';

const expected = new Set();
if (args.expected && fs.existsSync(args.expected)) {
  for (const line of fs.readFileSync(args.expected, 'utf8').split('\n')) {
    if (line && !line.startsWith('#')) expected.add(line.split('\t')[0]);
  }
}

const failures = [];
const fail = (what) => {
  failures.push(what);
  console.log(`FAIL ${what}`);
};

const work = fs.mkdtempSync(path.join(os.tmpdir(), 'movara-play-'));
const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'movara-chromium-'));

// Starts `movara-cli --play --no-browser` and waits for the page it prints.
function startPlay(file, extra = []) {
  const started = performance.now();
  const child = spawn(cli, ['--play', '--no-browser', '--quiet', '--output', work, ...extra, file],
    { stdio: ['ignore', 'pipe', 'pipe'] });
  const exited = new Promise((resolve) => child.on('exit', (code, signal) => resolve(signal ?? code)));
  return new Promise((resolve, reject) => {
    let out = '';
    let err = '';
    child.stderr.on('data', (d) => { err += d; });
    child.stdout.on('data', (d) => {
      out += d;
      const m = /^page: (\S+)$/m.exec(out);
      if (m) resolve({ child, exited, url: m[1], started });
    });
    exited.then((code) => reject(new Error(`movara-cli ended (${code}) before printing its page: ${err.trim()}`)));
  });
}

// Ctrl-C ends the serving cleanly.
async function stopPlay(run, what) {
  run.child.kill('SIGINT');
  const code = await run.exited;
  if (code !== 0) fail(`${what}: movara-cli --play ended with ${code} on SIGINT`);
}

// The player the page's <object> became, once its stage is there; its
// FSCommands are noted for the test.
async function openPage(page, url) {
  await page.goto(url);
  await page.waitForFunction(() => {
    const player = document.querySelector('ruffle-object, ruffle-embed');
    if (!player?.shadowRoot?.querySelector('canvas')) return false;
    if (!window.__movaraFrames) {
      window.__movaraFrames = [];
      player.onFSCommand = (command, value) => {
        if (command === 'movara_frame') window.__movaraFrames.push(Number(value));
      };
    }
    return true;
  }, null, { timeout: 30000, polling: 'raf' });
}

// Pixels of the stage off a PNG picture by more than the tolerance.
async function stageOff(page, png) {
  return page.evaluate(async ({ png, tolerance }) => {
    const player = document.querySelector('ruffle-object, ruffle-embed');
    const canvas = player.shadowRoot.querySelector('canvas');
    const context = canvas.getContext('2d');
    if (!context) return { bad: -1, detail: 'the stage is not a 2D canvas' };
    const stage = context.getImageData(0, 0, canvas.width, canvas.height);
    const blob = new Blob([Uint8Array.from(atob(png), (c) => c.charCodeAt(0))], { type: 'image/png' });
    const bitmap = await createImageBitmap(blob, { colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
    const copy = new OffscreenCanvas(bitmap.width, bitmap.height).getContext('2d', { colorSpace: 'srgb' });
    copy.drawImage(bitmap, 0, 0);
    const ref = copy.getImageData(0, 0, bitmap.width, bitmap.height);
    if (ref.width !== stage.width || ref.height !== stage.height) {
      return { bad: -1, detail: `stage ${stage.width}x${stage.height}, picture ${ref.width}x${ref.height}` };
    }
    let bad = 0;
    let detail = '';
    for (let i = 0; i < ref.data.length; i += 4) {
      const a = stage.data;
      const b = ref.data;
      if (a[i + 3] === 0 && b[i + 3] === 0) continue;
      let off = false;
      for (let c = 0; c < 4; ++c) off = off || Math.abs(a[i + c] - b[i + c]) > tolerance;
      if (off && bad++ === 0) detail = `first at pixel ${i / 4}: player ${Array.from(a.slice(i, i + 4))} picture ${Array.from(b.slice(i, i + 4))}`;
    }
    return { bad, detail };
  }, { png: png.toString('base64'), tolerance: TOLERANCE });
}

// Plays the movie as converted and waits until its stage shows the first
// picture; the milliseconds from starting movara-cli, or -1.
async function firstFrameTime(page, run, png) {
  await openPage(page, run.url);
  const end = performance.now() + 15000;
  while (performance.now() < end) {
    if ((await stageOff(page, png)).bad === 0) return performance.now() - run.started;
    await page.evaluate(() => new Promise((r) => requestAnimationFrame(r)));
  }
  return -1;
}

// Plays a copy of the movie that stops at `frame`, through --play; whether
// the player reports that frame.
async function showFrame(page, movie, frame, name) {
  const copy = path.join(work, 'jump.swf');
  fs.writeFileSync(copy, jumpCopy(movie, frame, JUMP_FPS));
  const run = await startPlay(copy);
  try {
    await openPage(page, run.url);
    await page.waitForFunction((f) => window.__movaraFrames.includes(f), frame, { timeout: 15000 });
    for (let i = 0; i < 3; ++i) await page.evaluate(() => new Promise((r) => requestAnimationFrame(r)));
    return true;
  } catch (e) {
    fail(`${name}: frame ${frame} never reported (${e.message.split('\n')[0]})`);
    return false;
  } finally {
    await stopPlay(run, name);
  }
}

const context = await launchChromium(profile);
const errors = [];
const figures = { files: 0, frames: 0, within: 0, firstFrameMs: [] };
try {
  const page = context.pages()[0] ?? (await context.newPage());
  page.on('pageerror', (e) => errors.push(`page error: ${e.message}`));
  page.on('console', (m) => {
    if ((m.type() === 'error' || /panic|ERROR/.test(m.text())) && !/favicon/.test(m.text())) errors.push(`console: ${m.text()}`);
  });
  await context.route(`${LINK.slice(0, LINK.lastIndexOf('/'))}/**`, (route) => route.fulfill({ body: 'opened' }));

  const gifDir = path.join(corpus, 'gif');
  const names = fs.readdirSync(path.join(corpus, 'reference'))
    .filter((n) => fs.existsSync(path.join(gifDir, n)) && !expected.has(n)).sort()
    .filter((n, i) => i % 3 === 0);
  for (const name of names) {
    const refDir = path.join(corpus, 'reference', name);
    const refs = fs.readdirSync(refDir).filter((f) => /^frame-\d+\.png$/.test(f)).sort();
    const run = await startPlay(path.join(gifDir, name));
    const ms = await firstFrameTime(page, run, fs.readFileSync(path.join(refDir, refs[0])));
    await stopPlay(run, name);
    if (ms < 0) fail(`${name}: the first picture never showed on the stage`);
    else figures.firstFrameMs.push(ms);
    figures.files += 1;

    const movie = fs.readFileSync(path.join(work, name.replace(/\.[^.]*$/, '') + '.swf'));
    const frames = changeFrames(movie);
    const images = fs.readFileSync(path.join(refDir, 'delays.txt'), 'utf8').trim().split('\n').length;
    const direct = frames.length === images;
    let at = 0;
    for (const ref of refs) {
      figures.frames += 1;
      const png = fs.readFileSync(path.join(refDir, ref));
      const index = Number(ref.slice(6, 9));
      const order = direct && index < frames.length ? [index] : [];
      for (let j = at; j < frames.length; ++j) if (j !== index || !direct) order.push(j);
      let found = -1;
      let closest = null;
      for (const j of order) {
        if (!(await showFrame(page, movie, frames[j], name))) break;
        const result = await stageOff(page, png);
        if (result.bad === 0) {
          found = j;
          break;
        }
        if (closest === null || result.bad < closest.bad) closest = { ...result, frame: frames[j] };
      }
      if (found < 0) {
        fail(`${name} ${ref}: no movie frame within tolerance${closest ? ` (closest: frame ${closest.frame}, ${closest.bad} pixels off, ${closest.detail})` : ''}`);
        break;
      }
      figures.within += 1;
      at = found;
    }
    for (const e of errors.splice(0)) fail(`${name}: ${e}`);
  }

  // The link button: a click on the stage of the page as served opens the
  // URL in a new window.
  const sample = names.find((n) => n.startsWith('peterdn-animated_loop.'));
  const run = await startPlay(path.join(gifDir, sample ?? names[0]), ['--url', LINK]);
  try {
    await openPage(page, run.url);
    const player = page.locator('ruffle-object, ruffle-embed');
    const box = await player.boundingBox();
    const popup = context.waitForEvent('page', { timeout: 10000 });
    await page.waitForTimeout(500);
    await page.mouse.click(box.x + box.width / 2, box.y + box.height / 2, { delay: 100 });
    const opened = await popup;
    await opened.waitForLoadState();
    if (opened.url() !== LINK) fail(`link button: opened ${opened.url()}, expected ${LINK}`);
    else console.log(`link button opened ${opened.url()} in a new window`);
  } catch (e) {
    fail(`link button: ${e.message.split('\n')[0]}`);
  } finally {
    await stopPlay(run, 'link movie');
  }
  for (const e of errors.splice(0)) fail(`link movie: ${e}`);
} finally {
  await context.close();
  fs.rmSync(work, { recursive: true, force: true });
  fs.rmSync(profile, { recursive: true, force: true });
}

const times = figures.firstFrameMs.sort((a, b) => a - b);
const median = times.length ? Math.round(times[Math.floor(times.length / 2)]) : -1;
console.log(`played through --play: files: ${figures.files}, reference frames compared: ${figures.frames}, ` +
  `within tolerance ${TOLERANCE}: ${figures.within}; first picture on the stage after ${median} ms (median), ` +
  `${times.length ? Math.round(times[times.length - 1]) : -1} ms (slowest)`);
process.exit(failures.length > 0 ? 1 : 0);
