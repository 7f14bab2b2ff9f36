// Animated PNG and WebP movies played as a user plays them: `movara-cli
// --play --no-browser` on the small files of tests/data/anim, the page it
// prints opened in headless Chromium as it stands, the stage read from
// screenshots. For each reference frame (another decoder's), a copy of the
// movie that jumps to its movie frame and stops is loaded into the page's
// player and compared with the picture laid over the page's colour (partial
// alpha included), within the tolerance. With --loop, a file of two plays
// ends on its last frame and stays there; without, it plays on. The 1 x
// 65535 GIF still plays on the page (its stage is larger than a texture).
//
//   node anim.mjs --cli PATH/movara-cli --data tests/data/anim [--tall GIF]

import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { commandArgs, failureList, openPage, PLAYER, startPlay, stopPlay } from './check.mjs';
import { launchChromium, playerConsoleError } from './player.mjs';
import { changeFrames, jumpCopy } from './swf-edit.mjs';

const args = commandArgs();
const { cli, data } = args;
if (!cli || !data) {
  console.error('usage: node anim.mjs --cli PATH/movara-cli --data DIR [--tall GIF]');
  process.exit(2);
}
// Each channel within 2: the player's premultiplied colours, rounded once
// more as the stage is laid over the page.
const TOLERANCE = 2;
const PAGE = [204, 204, 204];  // the test page's colour
const FPS = 60;  // every frame of these files a movie frame of its own
const FILES = [['ops.png', 'ops', 6], ['hidden.png', 'hidden', 2], ['anim.webp', 'anim', 6], ['gif.webp', 'gif', 4]];

const { failures, fail } = failureList();
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'movara-anim-'));
const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'movara-chromium-'));

// The stage as a user sees it: RGBA of a screenshot of the player.
async function stage(page) {
  const shot = await page.locator(PLAYER).first().screenshot({ animations: 'allow', timeout: 10000 });
  return page.evaluate(async (base64) => {
    const blob = new Blob([Uint8Array.from(atob(base64), (c) => c.charCodeAt(0))], { type: 'image/png' });
    const bitmap = await createImageBitmap(blob, { colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
    const context = new OffscreenCanvas(bitmap.width, bitmap.height).getContext('2d');
    context.drawImage(bitmap, 0, 0);
    const image = context.getImageData(0, 0, bitmap.width, bitmap.height);
    return { width: image.width, height: image.height, data: Array.from(image.data) };
  }, shot.toString('base64'));
}

// A reference picture (straight RGBA) as the page shows it: over the page's
// colour, from the colours premultiplied as the movie stores them.
async function expected(page, file) {
  return page.evaluate(async ({ base64, back }) => {
    const blob = new Blob([Uint8Array.from(atob(base64), (c) => c.charCodeAt(0))], { type: 'image/png' });
    const bitmap = await createImageBitmap(blob, { colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
    const context = new OffscreenCanvas(bitmap.width, bitmap.height).getContext('2d');
    context.drawImage(bitmap, 0, 0);
    const d = context.getImageData(0, 0, bitmap.width, bitmap.height).data;
    const out = [];
    for (let i = 0; i < d.length; i += 4) {
      const a = d[i + 3];
      for (let c = 0; c < 3; ++c) out.push(Math.floor((d[i + c] * a + 127) / 255) + Math.round(back[c] * (255 - a) / 255));
      out.push(255);
    }
    return { width: bitmap.width, height: bitmap.height, data: out };
  }, { base64: fs.readFileSync(file).toString('base64'), back: PAGE });
}

function off(a, b) {
  if (a.width !== b.width || a.height !== b.height) return { bad: -1, detail: `stage ${a.width}x${a.height}, picture ${b.width}x${b.height}` };
  let bad = 0;
  let detail = '';
  for (let i = 0; i < b.data.length; i += 4) {
    if ([0, 1, 2].some((c) => Math.abs(a.data[i + c] - b.data[i + c]) > TOLERANCE) && bad++ === 0) {
      detail = `first at pixel ${i / 4}: stage ${a.data.slice(i, i + 3)} picture ${b.data.slice(i, i + 3)}`;
    }
  }
  return { bad, detail };
}

async function showFrame(page, movie, frame) {
  return page.evaluate(async ({ sel, base64, frame }) => {
    const player = document.querySelector(sel);
    const reached = new Promise((resolve) => {
      player.onFSCommand = (command, value) => {
        if (command === 'movara_frame' && Number(value) === frame) resolve(true);
      };
    });
    // As the page's movie element asks: transparent, over the page.
    await player.ruffle().load({ data: Uint8Array.from(atob(base64), (c) => c.charCodeAt(0)), allowScriptAccess: true, wmode: 'transparent' });
    const ok = await Promise.race([reached, new Promise((r) => setTimeout(() => r(false), 15000))]);
    for (let i = 0; i < 3; ++i) await new Promise((r) => requestAnimationFrame(r));
    return ok;
  }, { sel: PLAYER, base64: jumpCopy(movie, frame, 8).toString('base64'), frame });
}

// Distinct stages seen over `ms`, screenshots apart.
async function stagesOver(page, ms) {
  const seen = [];
  const end = performance.now() + ms;
  while (performance.now() < end) {
    const s = JSON.stringify((await stage(page)).data);
    if (!seen.includes(s)) seen.push(s);
  }
  return seen.length;
}

const context = await launchChromium(profile);
const errors = [];
let compared = 0;
try {
  const page = context.pages()[0] ?? (await context.newPage());
  page.on('pageerror', (e) => errors.push(`page error: ${e.message}`));
  page.on('console', (m) => {
    const error = playerConsoleError(m);
    if (error) errors.push(error);
  });
  for (const [file, refs, count] of FILES) {
    const run = await startPlay(cli, work, path.join(data, file), ['--fps', String(FPS)]);
    try {
      await openPage(page, run.url);
      const renderer = await page.evaluate(() => window.RufflePlayer.config.preferredRenderer);
      if (renderer !== 'webgl') fail(`${file}: the page chose the ${renderer} renderer`);
      const movie = fs.readFileSync(path.join(work, file.replace(/\.[^.]*$/, '') + '.swf'));
      const frames = changeFrames(movie);
      if (frames.length !== count) fail(`${file}: ${frames.length} movie frames change the stage, ${count} expected`);
      for (let k = 0; k < Math.min(count, frames.length); ++k) {
        const name = `${refs}-${String(k + 1).padStart(2, '0')}.png`;
        if (!(await showFrame(page, movie, frames[k]))) fail(`${file}: the player never reported frame ${frames[k]}`);
        const want = await expected(page, path.join(data, 'ref', name));
        // The player may draw the loaded frame a little after it reports it.
        let result = off(await stage(page), want);
        for (let again = 0; again < 3 && result.bad !== 0; ++again) {
          await page.waitForTimeout(200);
          result = off(await stage(page), want);
        }
        if (result.bad !== 0) fail(`${file} ${name} at movie frame ${frames[k]}: ${result.bad} pixels off (${result.detail})`);
        ++compared;
      }
    } finally {
      await stopPlay(run, file, fail);
    }
    for (const e of errors.splice(0)) fail(`${file}: ${e}`);
  }

  // ops.png plays twice (about 1 s) with --loop and stays on its last frame;
  // without it, it plays on.
  for (const loop of [true, false]) {
    const run = await startPlay(cli, work, path.join(data, 'ops.png'), loop ? ['--loop'] : []);
    try {
      await openPage(page, run.url);
      await page.waitForTimeout(2500);
      const last = await expected(page, path.join(data, 'ref', 'ops-06.png'));
      const now = off(await stage(page), last);
      const seen = await stagesOver(page, 1500);
      if (loop && (now.bad !== 0 || seen !== 1)) fail(`--loop: not stopped on the last frame (${now.bad} pixels off, ${seen} pictures seen)`);
      if (!loop && seen < 2) fail('without --loop: the movie stopped');
      console.log(`ops.png ${loop ? 'with' : 'without'} --loop: ${seen} pictures in 1.5 s after 2.5 s`);
    } finally {
      await stopPlay(run, 'ops.png', fail);
    }
  }

  if (args.tall && fs.existsSync(args.tall)) {
    const run = await startPlay(cli, work, args.tall);
    try {
      await openPage(page, run.url);
      const renderer = await page.evaluate(() => window.RufflePlayer.config.preferredRenderer);
      await page.waitForTimeout(1000);
      if (renderer !== 'canvas') fail(`${path.basename(args.tall)}: the page chose the ${renderer} renderer`);
      console.log(`${path.basename(args.tall)}: ${renderer} renderer`);
    } finally {
      await stopPlay(run, path.basename(args.tall), fail);
    }
    for (const e of errors.splice(0)) fail(`${path.basename(args.tall)}: ${e}`);
  }
} finally {
  await context.close();
  fs.rmSync(work, { recursive: true, force: true });
  fs.rmSync(profile, { recursive: true, force: true });
}
console.log(`animated PNG and WebP through --play: ${compared} reference frames compared, ${failures.length} failures`);
process.exit(failures.length > 0 ? 1 : 0);
