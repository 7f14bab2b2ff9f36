// A second, independent Flash player emulator (AwayFL, its web build from
// npm, in the same headless Chromium as the first): for a handful of corpus
// GIFs the movie's first frame shows the GIF's first picture, and the link
// of a movie converted with --url behaves as AwayFL can make it (see the
// link below). The movies' structure is checked on the independent
// parser's reading too.
//
// AwayFL sizes its stage by the window and draws through WebGL: the window
// is made the movie's size and the stage read from screenshots. It smooths
// bitmap fills, and the movie's pictures sit a quarter pixel up and left of
// the pixel grid (their fills' matrices), so each pixel of the stage is a
// blend of up to four of the picture's: a stage pixel matches when each
// channel lies within the range of the picture's 3 x 3 pixels around it,
// give or take TOLERANCE. Transparent pixels, and the stage beyond the
// picture, show the stage's white.
//
//   node awayfl.mjs --cli PATH/movara-cli --corpus DIR [--make-gifs PATH/make_test_gifs]
//                   [--expected FILE] [--count N]
//
// Without the corpus, make_test_gifs makes a set of GIFs in its layout.

import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { spawnSync } from 'node:child_process';
import { parseSwf } from 'swf-parser';
import { commandArgs, expectedDifferences, failureList } from './check.mjs';
import { launchChromium } from './player.mjs';
import { checkStructure } from './swf-check.mjs';
import { jumpCopy, readTags } from './swf-edit.mjs';

const args = commandArgs();
const { cli } = args;
let { corpus } = args;
if (!cli || !corpus) {
  console.error('usage: node awayfl.mjs --cli PATH/movara-cli --corpus DIR [--make-gifs PATH] [--expected FILE] ' +
    '[--count N]');
  process.exit(2);
}
const COUNT = Number(args.count ?? 5);
// The GIFs looked at: both sides within these, so that the stage fits the
// window and the handful stays quick.
const SIDES = [16, 400];
// How far a channel may lie outside the range of the pixels around it.
const TOLERANCE = 4;
// How long a movie may take to load and show its first frame.
const LOAD_MS = 15000;
const LINK = 'http://example.com/movara?x=1';

const here = path.dirname(new URL(import.meta.url).pathname);
const bundleFile = path.join(here, 'node_modules', '@awayfl', 'awayfl-player', 'bundle', 'awayfl-player.umd.js');
if (!fs.existsSync(bundleFile) || !fs.existsSync('/usr/bin/chromium')) {
  console.error('the AwayFL check needs scripts/setup (chromium and npm ci in tests/e2e)');
  process.exit(1);
}
const bundle = fs.readFileSync(bundleFile);

// The page: the player's bundle, window.open noted instead of opened, and
// every FSCommand the movie sends noted (AwayFL logs them only).
const PAGE = `<!doctype html><html><head><meta charset="utf-8">
<style>html,body{margin:0;padding:0;overflow:hidden;background:#fff}</style>
<script>
window.__opened = [];
window.open = (url, target) => { window.__opened.push({ url: String(url), target: String(target) }); return null; };
window.__commands = 0;
const log = console.log;
console.log = (...a) => { if (String(a[0]).startsWith('fsCommand')) window.__commands += 1; log(...a); };
</script>
<script src="/awayfl.js"></script></head><body></body></html>`;

const expected = expectedDifferences(args.expected);

const { failures, fail } = failureList();

function gifSize(file) {
  const b = fs.readFileSync(file);
  const at = b.indexOf('GIF', 0, 'latin1');
  return [b.readUInt16LE(at + 6), b.readUInt16LE(at + 8)];
}

// A handful of the GIFs with reference pictures, spread over the name order.
function pickGifs() {
  const gifDir = path.join(corpus, 'gif');
  const fits = fs.readdirSync(path.join(corpus, 'reference')).sort()
    .filter((n) => !expected.has(n) && fs.existsSync(path.join(gifDir, n)))
    .filter((n) => gifSize(path.join(gifDir, n)).every((s) => s >= SIDES[0] && s <= SIDES[1]));
  const step = Math.max(1, fits.length / COUNT);
  return Array.from({ length: Math.min(COUNT, fits.length) }, (_, i) => fits[Math.floor(i * step)]);
}

const work = fs.mkdtempSync(path.join(os.tmpdir(), 'movara-awayfl-'));
if (!fs.existsSync(path.join(corpus, 'gif')) && args['make-gifs']) {
  corpus = path.join(work, 'corpus');
  const r = spawnSync(args['make-gifs'], [corpus], { encoding: 'utf8' });
  if (r.status !== 0) throw new Error(`make_test_gifs: exit ${r.status} ${r.stderr}`);
}
let structureChecked = 0;

// Converts a GIF; the movie, its structure checked.
function convert(name, extra = []) {
  const r = spawnSync(cli, ['--quiet', '--output', work, ...extra, path.join(corpus, 'gif', name)],
    { encoding: 'utf8' });
  if (r.status !== 0) throw new Error(`${name}: movara-cli exit ${r.status} ${r.stderr}`);
  const movie = fs.readFileSync(path.join(work, name.replace(/\.[^.]*$/, '.swf')));
  for (const problem of checkStructure(movie, parseSwf(movie))) fail(`${name}: ${problem}`);
  structureChecked += 1;
  return movie;
}

// A page of the movie's size with the movie playing; the player's warnings
// and errors are collected.
async function open(context, port, movie, width, height) {
  const page = await context.newPage();
  const messages = [];
  page.on('pageerror', (e) => messages.push(`page error: ${e.message}`));
  page.on('console', (m) => {
    if (['warning', 'error'].includes(m.type()) && !/favicon|GL Driver|Failed to load resource/.test(m.text())) {
      messages.push(`${m.type()}: ${m.text()}`);
    }
  });
  await page.setViewportSize({ width, height });
  await page.goto(`http://127.0.0.1:${port}/`);
  await page.evaluate(async ({ width, height, swf }) => {
    const data = Uint8Array.from(atob(swf), (c) => c.charCodeAt(0)).buffer;
    const player = new awayflplayer.AVMPlayer({ x: 0, y: 0, w: width, h: height });
    player.playSWF(data, 'movie.swf');
  }, { width, height, swf: movie.toString('base64') });
  return { page, messages };
}

// Pixels of the stage's screenshot outside the range of the picture's
// (composed over white) around them, by more than the tolerance; the
// largest difference from the picture's own pixel, and the first pixel off.
async function compareWithPicture(page, png, width, height) {
  const shot = await page.screenshot({ clip: { x: 0, y: 0, width, height } });
  return page.evaluate(async ({ shot, png, tolerance }) => {
    const pixels = async (b64, white) => {
      const bitmap = await createImageBitmap(new Blob([Uint8Array.from(atob(b64), (c) => c.charCodeAt(0))]),
        { colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
      const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
      const ctx = canvas.getContext('2d');
      if (white) {
        ctx.fillStyle = '#fff';
        ctx.fillRect(0, 0, bitmap.width, bitmap.height);
      }
      ctx.drawImage(bitmap, 0, 0);
      return ctx.getImageData(0, 0, bitmap.width, bitmap.height);
    };
    const stage = await pixels(shot, false);
    const ref = await pixels(png, true);
    if (stage.width !== ref.width || stage.height !== ref.height) {
      const sizes = `stage ${stage.width}x${stage.height}, picture ${ref.width}x${ref.height}`;
      return { bad: -1, largest: 0, detail: sizes };
    }
    const { width, height } = ref;
    // The picture's channel at a pixel; white beyond its edges.
    const at = (x, y, c) => (x < 0 || y < 0 || x >= width || y >= height ? 255 : ref.data[(y * width + x) * 4 + c]);
    let bad = 0;
    let largest = 0;
    let detail = '';
    for (let y = 0; y < height; ++y) {
      for (let x = 0; x < width; ++x) {
        const i = (y * width + x) * 4;
        let off = false;
        for (let c = 0; c < 3; ++c) {
          const v = stage.data[i + c];
          largest = Math.max(largest, Math.abs(v - ref.data[i + c]));
          let lo = 255;
          let hi = 0;
          for (let dy = -1; dy <= 1; ++dy) {
            for (let dx = -1; dx <= 1; ++dx) {
              lo = Math.min(lo, at(x + dx, y + dy, c));
              hi = Math.max(hi, at(x + dx, y + dy, c));
            }
          }
          off = off || v < lo - tolerance || v > hi + tolerance;
        }
        if (off && bad++ === 0) {
          detail = `first at ${x},${y}: stage ${Array.from(stage.data.slice(i, i + 3))}` +
            ` picture ${Array.from(ref.data.slice(i, i + 3))}`;
        }
      }
    }
    return { bad, largest, detail };
  }, { shot: shot.toString('base64'), png: png.toString('base64'), tolerance: TOLERANCE });
}

// Waits until the movie's first frame has run its actions (the copy sends
// an FSCommand there and stops), then until the stage matches the picture,
// or the time is up; the last comparison.
async function firstFrame(page, png, width, height) {
  const until = Date.now() + LOAD_MS;
  await page.waitForFunction(() => window.__commands > 0, null, { timeout: LOAD_MS }).catch(() => {});
  let result;
  do {
    result = await compareWithPicture(page, png, width, height);
    if (result.bad === 0) break;
    await page.waitForTimeout(250);
  } while (Date.now() < until);
  return result;
}

// Reads bit fields from a byte offset, most significant bit first.
function bitReader(buf, at) {
  let bit = 0;
  const bits = (n) => {
    let v = 0;
    for (let i = 0; i < n; ++i, ++bit) v = (v << 1) | ((buf[at + (bit >> 3)] >> (7 - (bit & 7))) & 1);
    return v;
  };
  return { bits, end: () => at + Math.ceil(bit / 8) };
}

// Where a MATRIX and then a CXFORMWITHALPHA starting at `at` end.
function skipMatrixAndColor(buf, at) {
  const m = bitReader(buf, at);
  if (m.bits(1)) m.bits(2 * m.bits(5));
  if (m.bits(1)) m.bits(2 * m.bits(5));
  m.bits(2 * m.bits(5));
  const c = bitReader(buf, m.end());
  const [add, mult] = [c.bits(1), c.bits(1)];
  const n = c.bits(4);
  c.bits(n * 4 * (add + mult));
  return c.end();
}

// A copy of a link movie (its rectangle, its button, the button's placement
// first) with the ids of the rectangle and the button swapped, so that the
// button's id is above its rectangle's.
function linkIdsSwapped(movie) {
  const out = Buffer.from(movie);
  const [shape, button, place] = readTags(out);
  const body = (t) => t.offset + ((out.readUInt16LE(t.offset) & 0x3f) === 0x3f ? 6 : 2);
  if (![32, 22].includes(shape.code) || button.code !== 34 || place.code !== 26) {
    throw new Error(`the link movie starts with tags ${shape.code}, ${button.code}, ${place.code}`);
  }
  const [rectId, buttonId] = [out.readUInt16LE(body(shape)), out.readUInt16LE(body(button))];
  const swap = (at) => out.writeUInt16LE({ [rectId]: buttonId, [buttonId]: rectId }[out.readUInt16LE(at)], at);
  swap(body(shape));
  swap(body(button));
  // The records follow the id, the flags and the offset of the actions.
  for (let at = body(button) + 5; out[at] !== 0; at = skipMatrixAndColor(out, at + 5)) swap(at + 1);
  swap(body(place) + 3);
  return out;
}

// Presses and releases the mouse in the middle of a movie's stage; what it
// opened, and what the player warned of.
async function click(movie, width, height) {
  const { page, messages } = await open(context, port, movie, width, height);
  await page.waitForTimeout(1500);
  await page.mouse.move(width / 2, height / 2);
  await page.mouse.down();
  await page.waitForTimeout(100);
  await page.mouse.up();
  await page.waitForTimeout(500);
  const opened = await page.evaluate(() => window.__opened);
  await page.close();
  return { opened, messages };
}

const server = http.createServer((req, res) => {
  if (req.url === '/') {
    res.writeHead(200, { 'content-type': 'text/html' });
    res.end(PAGE);
  } else if (req.url === '/awayfl.js') {
    res.writeHead(200, { 'content-type': 'text/javascript' });
    res.end(bundle);
  } else {
    res.writeHead(404);
    res.end();
  }
});
await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
const port = server.address().port;
const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'movara-chromium-'));
// Sound may start without a gesture: the player makes its audio context at
// once.
const context = await launchChromium(profile, ['--autoplay-policy=no-user-gesture-required']);
const started = Date.now();
let shown = 0;
try {
  const gifs = pickGifs();
  if (gifs.length === 0) fail('no GIF of the corpus to play');
  for (const name of gifs) {
    const [w, h] = gifSize(path.join(corpus, 'gif', name));
    const png = fs.readFileSync(path.join(corpus, 'reference', name, 'frame-000.png'));
    const { page, messages } = await open(context, port, jumpCopy(convert(name), 1, 24), w, h);
    const r = await firstFrame(page, png, w, h);
    await page.close();
    for (const m of messages) fail(`${name}: ${m}`);
    const line = `${name} (${w}x${h}): first frame, ${r.bad} pixels off their picture's range by more than ` +
      `${TOLERANCE}, largest difference from the picture ${r.largest}`;
    if (r.bad !== 0) {
      fail(`${line} (${r.detail})`);
    } else {
      shown += 1;
      console.log(line);
    }
  }

  // The link: a press and release in the middle of the stage. AwayFL makes
  // its characters in the order of their ids, each from those made before:
  // the button (character 1) cannot show its rectangle (character 2),
  // defined ahead of it as it is. The movie as converted shows just that;
  // a copy with the two ids swapped must open the link.
  const linkGif = gifs.find((n) => gifSize(path.join(corpus, 'gif', n)).every((s) => s >= 32)) ?? gifs[0];
  if (linkGif) {
    const [w, h] = gifSize(path.join(corpus, 'gif', linkGif));
    const movie = convert(linkGif, ['--url', LINK]);
    const asConverted = await click(movie, w, h);
    const missed = asConverted.messages.filter((m) => m === 'warning: Symbol missed: 2');
    const other = asConverted.messages.filter((m) => m !== 'warning: Symbol missed: 2');
    for (const m of other) fail(`link movie of ${linkGif}: ${m}`);
    if (missed.length === 0 || asConverted.opened.length !== 0) {
      fail(`link movie of ${linkGif}: AwayFL now shows a button of a character with a higher id ` +
        `(opened ${JSON.stringify(asConverted.opened)}): the link itself can be checked`);
    } else {
      console.log(`link movie of ${linkGif} as converted: AwayFL misses the rectangle (character 2) of the ` +
        `button (character 1) ${missed.length} times and a click opens nothing`);
    }
    const swapped = await click(linkIdsSwapped(movie), w, h);
    for (const m of swapped.messages) fail(`link movie of ${linkGif} with the ids swapped: ${m}`);
    const [first] = swapped.opened;
    if (swapped.opened.length !== 1 || first.url !== LINK || first.target !== '_blank') {
      fail(`link movie of ${linkGif} with the ids swapped: a click opened ${JSON.stringify(swapped.opened)}, ` +
        `expected ${LINK} in _blank`);
    } else {
      console.log(`link movie of ${linkGif} with the ids swapped: a click opened ${first.url} in ${first.target}`);
    }
  }
} finally {
  await context.close();
  await new Promise((resolve) => server.close(resolve));
  fs.rmSync(profile, { recursive: true, force: true });
  fs.rmSync(work, { recursive: true, force: true });
}

console.log(`AwayFL: ${shown} movies showed their first picture, structure checked: ${structureChecked} movies, ` +
  `${((Date.now() - started) / 1000).toFixed(1)} s`);
if (failures.length > 0) process.exit(1);
