// End-to-end checks: every GIF of the corpus converted by movara-cli, the
// movie read by an independent SWF parser (which its structure must
// satisfy: definitions before their uses, unique ids, tags and fills of its
// version) and played in the Flash player
// emulator, its pictures compared with the reference frames; and the link
// button opening its URL in a new window.
//
//   node run.mjs --cli PATH/movara-cli --corpus DIR [--expected FILE] [--limit N]

import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { spawnSync } from 'node:child_process';
import { parseSwf } from 'swf-parser';
import { TagType } from 'swf-types';
import { Player } from './player.mjs';
import { changeFrames, headerInfo, jumpCopy } from './swf-edit.mjs';
import { framesShowing, readDelays } from './gif-clock.mjs';
import { checkStructure } from './swf-check.mjs';

const args = Object.fromEntries(process.argv.slice(2).reduce((pairs, a, i, all) => {
  if (a.startsWith('--')) pairs.push([a.slice(2), all[i + 1]]);
  return pairs;
}, []));
const cli = args.cli;
const corpus = args.corpus;
const limit = Number(args.limit ?? Infinity);
// "compact": the movies are converted with --compact (8-bit colour-mapped
// pictures) and must play exactly like the default ones.
const variant = args.variant ?? 'default';
const variantArgs = variant === 'compact' ? ['--compact'] : [];
// Colours may differ by one unit: a black transparent colour is lifted to
// (0, 0, 1) so that opaque black pixels are not taken for transparent.
const TOLERANCE = 1;
// The copies play at this rate, so that the jump in frame 2 comes after the
// whole movie has loaded.
const JUMP_FPS = 8;

if (!cli || !corpus) {
  console.error('usage: node run.mjs --cli PATH/movara-cli --corpus DIR [--expected FILE] [--limit N] [--variant compact]');
  process.exit(2);
}

// Files that a rule of the reader refuses on purpose.
const expected = new Map();
if (args.expected && fs.existsSync(args.expected)) {
  for (const line of fs.readFileSync(args.expected, 'utf8').split('\n')) {
    if (!line || line.startsWith('#')) continue;
    const [name, rule] = line.split('\t');
    expected.set(name, rule);
  }
}

const failures = [];
const fail = (what) => {
  failures.push(what);
  console.log(`FAIL ${what}`);
};

function convert(gif, outDir, extra = []) {
  const r = spawnSync(cli, ['--quiet', '--output', outDir, ...variantArgs, ...extra, gif], { encoding: 'utf8' });
  return { code: r.status, stderr: r.error ? String(r.error) : r.stderr };
}

// Movies whose structure was checked.
let structureChecked = 0;

function checkWithParser(name, movie, gifWidth, gifHeight) {
  const info = headerInfo(movie);
  if (info.signature !== 'FWS') fail(`${name}: signature ${info.signature}`);
  let parsed;
  try {
    parsed = parseSwf(movie);
  } catch (e) {
    fail(`${name}: the independent parser refuses the movie: ${e.message}`);
    return;
  }
  for (const problem of checkStructure(movie, parsed)) fail(`${name}: ${problem}`);
  structureChecked += 1;
  const h = parsed.header;
  if (h.swfVersion !== 6) fail(`${name}: version ${h.swfVersion}`);
  if (h.frameRate.epsilons !== 24 * 256) fail(`${name}: frame rate ${h.frameRate.epsilons / 256}`);
  if (h.frameSize.xMax !== gifWidth * 20 || h.frameSize.yMax !== gifHeight * 20 || h.frameSize.xMin || h.frameSize.yMin) {
    fail(`${name}: frame size ${JSON.stringify(h.frameSize)} for a ${gifWidth}x${gifHeight} GIF`);
  }
  const showFrames = parsed.tags.filter((t) => t.type === TagType.ShowFrame).length;
  if (h.frameCount !== showFrames) fail(`${name}: ${h.frameCount} frames declared, ${showFrames} ShowFrame tags`);
}

function gifSize(file) {
  const b = fs.readFileSync(file);
  const at = b.indexOf('GIF', 0, 'latin1');
  return [b.readUInt16LE(at + 6), b.readUInt16LE(at + 8)];
}

const work = fs.mkdtempSync(path.join(os.tmpdir(), 'movara-e2e-'));
const player = await Player.start();
const figures = { files: 0, frames: 0, within: 0, composed: 0, mismatches: [] };
try {
  const gifDir = path.join(corpus, 'gif');
  const names = fs.readdirSync(path.join(corpus, 'reference')).filter((n) => fs.existsSync(path.join(gifDir, n))).sort();
  for (const name of names.slice(0, limit)) {
    const gif = path.join(gifDir, name);
    const { code, stderr } = convert(gif, work);
    if (expected.has(name)) {
      if (code !== 1) fail(`${name}: expected to be refused (${expected.get(name)}), exit ${code}`);
      continue;
    }
    if (code !== 0) {
      fail(`${name}: movara-cli exit ${code} ${stderr.trim()}`);
      continue;
    }
    const movieFile = path.join(work, name.replace(/\.[^.]*$/, '') + '.swf');
    const movie = fs.readFileSync(movieFile);
    const [w, h] = gifSize(gif);
    checkWithParser(name, movie, w, h);
    figures.files += 1;

    // The reference pictures in order, each found at or after the movie
    // frame that matched the one before.
    const refDir = path.join(corpus, 'reference', name);
    const refs = fs.readdirSync(refDir).filter((f) => /^frame-\d+\.png$/.test(f)).sort();
    const frames = changeFrames(movie);
    // When every image got its own movie frame, image i shows at change
    // frame i; otherwise (frames that show nothing new were dropped) each
    // picture is searched from where the one before was found.
    const delays = readDelays(path.join(refDir, 'delays.txt'), fs);
    const images = delays.length;
    const direct = frames.length === images;
    // An image due within the movie frame of the next one is composed into
    // it: no movie frame shows it alone.
    const shown = framesShowing(delays, 24);
    let at = 0;
    let reachedAll = true;
    const render = async (j) => {
      const got = await player.show(jumpCopy(movie, frames[j], JUMP_FPS), w, h);
      if (got !== frames[j]) {
        fail(`${name}: asked for frame ${frames[j]}, the player reports ${got}`);
        reachedAll = false;
      }
      return got === frames[j];
    };
    for (const ref of refs) {
      const index = Number(ref.slice(6, 9));
      if (!shown[index]) {
        figures.composed += 1;
        continue;
      }
      figures.frames += 1;
      const png = fs.readFileSync(path.join(refDir, ref));
      const order = direct && index < frames.length ? [index] : [];
      for (let j = at; j < frames.length; ++j) if (j !== index || !direct) order.push(j);
      let found = -1;
      let closest = null;
      for (const j of order) {
        if (!(await render(j))) break;
        const result = await player.compareStage(png, TOLERANCE);
        if (result.bad === 0) {
          found = j;
          break;
        }
        if (closest === null || result.bad < closest.bad) closest = { ...result, frame: frames[j] };
      }
      if (found >= 0) {
        figures.within += 1;
        at = found;
      } else {
        figures.mismatches.push(`${name} ${ref}: no movie frame within tolerance` +
          (closest ? ` (closest: frame ${closest.frame}, ${closest.bad} pixels off, ${closest.detail})` : ''));
      }
      if (!reachedAll) break;
    }
    fs.rmSync(movieFile);
    for (const e of player.errors.splice(0)) fail(`${name}: ${e}`);
  }

  // The link button: a click and release on the stage opens the URL in a
  // new window; a movie without a URL opens nothing.
  // A movie large enough to aim at: the first GIF of at least 32 x 32.
  const sample = names.map((n) => path.join(gifDir, n))
    .find((f) => !expected.has(path.basename(f)) && gifSize(f).every((side) => side >= 32));
  if (!sample) fail('no GIF to make a link movie of');
  if (sample) {
    const [w, h] = gifSize(sample);
    const base = path.join(work, path.basename(sample).replace(/\.[^.]*$/, '') + '.swf');
    for (const url of ['http://example.com/movara?x=1', null]) {
      const r = convert(sample, work, url ? ['--url', url] : []);
      if (r.code !== 0) {
        fail(`link movie: exit ${r.code}`);
        continue;
      }
      const movie = fs.readFileSync(base);
      checkWithParser(`link movie ${url ?? 'without a URL'}`, movie, w, h);
      await player.show(jumpCopy(movie, 1, JUMP_FPS), w, h);
      const opened = await player.clickStage(w, h);
      if (url) {
        if (opened.length !== 1 || opened[0].url !== url || opened[0].target !== '_blank') {
          fail(`link movie: a click opened ${JSON.stringify(opened)}, expected ${url} in _blank`);
        } else {
          console.log(`link button opened ${opened[0].url} in ${opened[0].target}`);
        }
      } else if (opened.length !== 0) {
        fail(`movie without a link opened ${JSON.stringify(opened)}`);
      }
    }
  }
} finally {
  await player.stop();
  fs.rmSync(work, { recursive: true, force: true });
}

for (const m of figures.mismatches) console.log(`MISMATCH ${m}`);
console.log(`${variant} movies: files: ${figures.files}, reference frames compared: ${figures.frames}, ` +
  `within tolerance ${TOLERANCE}: ${figures.within}, mismatches: ${figures.mismatches.length}, ` +
  `composed into the next image: ${figures.composed}`);
console.log(`${variant} movies: structure checked by the independent parser: ${structureChecked} movies ` +
  '(definitions before their uses, unique ids, tags and fills of their version)');
if (failures.length > 0 || figures.mismatches.length > 0) process.exit(1);
