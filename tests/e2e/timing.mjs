// The movie's time in the player: the stage sampled at chosen movie frames
// shows the image the GIF's clock says (for a few corpus GIFs, at several
// frame rates); with --loop the movie plays the GIF's loop count as the
// browser plays the GIF itself, then stays on its last frame.
//
//   node timing.mjs --cli PATH/movara-cli --corpus DIR --data tests/data/gif

import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { spawnSync } from 'node:child_process';
import { Player } from './player.mjs';
import { headerInfo, jumpCopy } from './swf-edit.mjs';
import { TICKS_PER_SECOND, delayTicks, framesShowing, readDelays } from './gif-clock.mjs';

const args = Object.fromEntries(process.argv.slice(2).reduce((pairs, a, i, all) => {
  if (a.startsWith('--')) pairs.push([a.slice(2), all[i + 1]]);
  return pairs;
}, []));
if (!args.cli || !args.corpus || !args.data) {
  console.error('usage: node timing.mjs --cli PATH/movara-cli --corpus DIR --data DIR');
  process.exit(2);
}
const TOLERANCE = 1;
const JUMP_FPS = 8;
// GIFs whose delays vary, mix frames with and without a control extension,
// or are shorter than a movie frame; each at the frame rates listed.
const SAMPLED = [
  ['wuffs-animated-red-blue.gif', [24, 60]],
  ['pil-dispose_bgnd_transparency.gif', [24]],
  ['pygif-animation-multi-image.gif', [25]],
  ['sharp-rotating-squares.gif', [24, 60]],
  ['pil-iss634.gif', [30]],
];
// Movie frames sampled per image: the first and the last that show it.
const IMAGES_PER_GIF = 12;

const failures = [];
const fail = (what) => {
  failures.push(what);
  console.log(`FAIL ${what}`);
};

function convert(gif, outDir, extra) {
  const r = spawnSync(args.cli, ['--quiet', '--output', outDir, ...extra, gif], { encoding: 'utf8' });
  if (r.status !== 0) throw new Error(`movara-cli ${extra.join(' ')} ${gif}: exit ${r.status} ${r.stderr}`);
  return fs.readFileSync(path.join(outDir, path.basename(gif).replace(/\.[^.]*$/, '') + '.swf'));
}

function gifSize(file) {
  const b = fs.readFileSync(file);
  return [b.readUInt16LE(6), b.readUInt16LE(8)];
}

// The movie lasts the GIF's length within half a frame, unless its last
// image is shorter than half a frame: that one still gets a frame.
function checkLength(name, movie, delays, fps) {
  const info = headerInfo(movie);
  if (info.frameRate !== fps * 256) fail(`${name} at ${fps}: frame rate ${info.frameRate / 256}`);
  const ticks = delays.reduce((sum, d) => sum + delayTicks(d), 0);
  const lastShort = 2 * delayTicks(delays.at(-1)) * fps < TICKS_PER_SECOND;
  const off = Math.abs(2 * info.frameCount * TICKS_PER_SECOND - 2 * ticks * fps);
  if (!lastShort && off > TICKS_PER_SECOND) {
    fail(`${name} at ${fps}: ${info.frameCount} movie frames for ${ticks / TICKS_PER_SECOND} s`);
  }
}

async function sampleTimes(player, work) {
  let samples = 0;
  for (const [name, rates] of SAMPLED) {
    const gif = path.join(args.corpus, 'gif', name);
    const refDir = path.join(args.corpus, 'reference', name);
    if (!fs.existsSync(gif) || !fs.existsSync(refDir)) {
      console.log(`skipped ${name}: not in the corpus`);
      continue;
    }
    const [w, h] = gifSize(gif);
    const delays = readDelays(path.join(refDir, 'delays.txt'), fs);
    const refs = fs.readdirSync(refDir).filter((f) => /^frame-\d+\.png$/.test(f)).sort().slice(0, IMAGES_PER_GIF);
    for (const fps of rates) {
      const movie = convert(gif, work, ['--fps', String(fps)]);
      checkLength(name, movie, delays, fps);
      const spans = framesShowing(delays, fps);
      for (const ref of refs) {
        const image = Number(ref.slice(6, 9));
        if (!spans[image]) continue;
        const png = fs.readFileSync(path.join(refDir, ref));
        for (const frame of new Set(spans[image])) {
          const got = await player.show(jumpCopy(movie, frame + 1, JUMP_FPS), w, h);
          if (got !== frame + 1) {
            fail(`${name} at ${fps}: asked for movie frame ${frame + 1}, the player reports ${got}`);
            continue;
          }
          const result = await player.compareStage(png, TOLERANCE);
          samples += 1;
          if (result.bad !== 0) {
            fail(`${name} at ${fps}: movie frame ${frame + 1} does not show image ${image} (${result.bad} pixels off, ${result.detail})`);
          }
        }
      }
      for (const e of player.errors.splice(0)) fail(`${name}: ${e}`);
    }
  }
  console.log(`timing: ${samples} movie frames sampled against the image the GIF's clock says`);
}

// The colour runs a point shows, red or blue: the passes are the red runs.
function passes(runs) {
  return { passes: runs.filter((c) => c === 'red').length, last: runs.at(-1) };
}
const colourName = (rgba) => (rgba[0] > 128 && rgba[2] < 128 ? 'red' : rgba[2] > 128 && rgba[0] < 128 ? 'blue' : 'none');
function runsOf(colours) {
  const runs = [];
  for (const c of colours.map(colourName)) if (c !== 'none' && runs.at(-1) !== c) runs.push(c);
  return runs;
}

// How the browser plays the GIF itself: an image on a page, every frame
// the compositor draws captured for `ms`.
async function browserRuns(player, gifBytes, ms) {
  const page = await player.context.newPage();
  try {
    const url = `data:image/gif;base64,${gifBytes.toString('base64')}`;
    const cdp = await player.context.newCDPSession(page);
    const shots = [];
    cdp.on('Page.screencastFrame', (f) => {
      shots.push(f.data);
      cdp.send('Page.screencastFrameAck', { sessionId: f.sessionId }).catch(() => {});
    });
    await cdp.send('Page.startScreencast', { format: 'png', everyNthFrame: 1 });
    await page.setContent(`<body style="margin:0"><img src="${url}" style="width:100px;height:100px"></body>`);
    await page.waitForTimeout(ms);
    await cdp.send('Page.stopScreencast');
    const colours = await page.evaluate(async (list) => {
      const out = [];
      for (const data of list) {
        const bitmap = await createImageBitmap(await (await fetch(`data:image/png;base64,${data}`)).blob());
        const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
        const ctx = canvas.getContext('2d');
        ctx.drawImage(bitmap, 0, 0);
        out.push(Array.from(ctx.getImageData(50, 50, 1, 1).data));
      }
      return out;
    }, shots);
    return runsOf(colours);
  } finally {
    await page.close();
  }
}

async function checkLoops(player, work) {
  const cases = [
    // file, the passes a browser shows
    ['loop-none.gif', 1],
    ['loop-count-1.gif', 2],
  ];
  for (const [name, expected] of cases) {
    const gif = path.join(args.data, name);
    const bytes = fs.readFileSync(gif);
    // Half a second per image: the passes plus two seconds of standing still.
    const ms = expected * 1000 + 2000;
    const browser = passes(await browserRuns(player, bytes, ms));
    const movie = passes(runsOf((await player.watch(convert(gif, work, ['--loop']), 20, 20, 10, 10, ms)).colors));
    console.log(`${name}: the browser shows ${browser.passes} passes, ending on ${browser.last}; ` +
      `the --loop movie ${movie.passes}, ending on ${movie.last}`);
    if (browser.passes !== expected || browser.last !== 'blue') fail(`${name}: the browser played ${JSON.stringify(browser)}`);
    if (movie.passes !== expected || movie.last !== 'blue') fail(`${name}: the --loop movie played ${JSON.stringify(movie)}`);
    const endless = passes(runsOf((await player.watch(convert(gif, work, []), 20, 20, 10, 10, ms)).colors));
    if (endless.passes <= expected) fail(`${name}: without --loop the movie played ${endless.passes} passes in ${ms} ms`);
    for (const e of player.errors.splice(0)) fail(`${name}: ${e}`);
  }
}

const work = fs.mkdtempSync(path.join(os.tmpdir(), 'movara-timing-'));
const player = await Player.start();
try {
  await checkLoops(player, work);
  await sampleTimes(player, work);
} finally {
  await player.stop();
  fs.rmSync(work, { recursive: true, force: true });
}
if (failures.length > 0) process.exit(1);
