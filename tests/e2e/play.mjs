// Playing as a user plays: `movara-cli --play --no-browser` started on a
// third of the corpus's GIFs (every third of those with reference pictures,
// in name order, from the first), and the page URL it prints opened in
// headless Chromium as it stands (no page of the test's own, no script added
// to it). The stage is read as the user sees it, from screenshots: the movie
// as served must show the GIF's pictures; then, for each reference picture,
// a copy of the movie that jumps to its frame and stops there is loaded into
// the page's own player and its stage compared with the picture (pixels
// transparent in the picture show the page and are not compared). Then the
// link button of a movie given to `--play` as it is: a click on the stage
// opens its URL in a new window. No player error may reach the console.
//
//   node play.mjs --cli PATH/movara-cli --corpus DIR [--expected FILE] [--limit N]

import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { commandArgs, expectedDifferences, failureList, openPage, PLAYER, startPlay, stopPlay } from './check.mjs';
import { launchChromium, playerConsoleError } from './player.mjs';
import { changeFrames, jumpCopy } from './swf-edit.mjs';

const args = commandArgs();
const { cli, corpus } = args;
if (!cli || !corpus) {
  console.error('usage: node play.mjs --cli PATH/movara-cli --corpus DIR [--expected FILE]');
  process.exit(2);
}
const TOLERANCE = 1;
const JUMP_FPS = 8;
// A link that stays on this machine; the test answers it itself.
const LINK = 'http://127.0.0.1:9/movara?x=1';

const expected = expectedDifferences(args.expected);

const { failures, fail } = failureList();

const work = fs.mkdtempSync(path.join(os.tmpdir(), 'movara-play-'));
const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'movara-chromium-'));

// Starts `movara-cli --play --no-browser` and waits for the page it prints.
// Hands the reference pictures to the page, decoded once.
async function setPictures(page, pngs) {
  await page.evaluate(async (list) => {
    window.__movaraDecode = async (base64) => {
      const blob = new Blob([Uint8Array.from(atob(base64), (c) => c.charCodeAt(0))], { type: 'image/png' });
      const bitmap = await createImageBitmap(blob, { colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
      const context = new OffscreenCanvas(bitmap.width, bitmap.height).getContext('2d', { colorSpace: 'srgb' });
      context.drawImage(bitmap, 0, 0);
      return context.getImageData(0, 0, bitmap.width, bitmap.height);
    };
    window.__movaraPictures = await Promise.all(list.map(window.__movaraDecode));
  }, pngs.map((b) => b.toString('base64')));
}

// A screenshot of the stage compared with reference pictures (by index):
// for each, the pixels off by more than the tolerance where the picture is
// opaque, and the first of them.
async function stageOff(page, indexes) {
  const shot = await page.locator(PLAYER).first().screenshot({ animations: 'allow', timeout: 10000 });
  return page.evaluate(async ({ shot, indexes, tolerance }) => {
    const stage = await window.__movaraDecode(shot);
    return indexes.map((k) => {
      const ref = window.__movaraPictures[k];
      if (ref.width !== stage.width || ref.height !== stage.height) {
        return { bad: -1, detail: `stage ${stage.width}x${stage.height}, picture ${ref.width}x${ref.height}` };
      }
      let bad = 0;
      let detail = '';
      const a = stage.data;
      const b = ref.data;
      for (let i = 0; i < b.length; i += 4) {
        if (b[i + 3] === 0) continue;
        const off = [0, 1, 2].some((c) => Math.abs(a[i + c] - b[i + c]) > tolerance);
        if (off && bad++ === 0) detail = `first at pixel ${i / 4}: stage ${Array.from(a.slice(i, i + 3))} picture ${Array.from(b.slice(i, i + 4))}`;
      }
      return { bad, detail };
    });
  }, { shot: shot.toString('base64'), indexes, tolerance: TOLERANCE });
}

// Watches the movie as served (the page open, its pictures set) until its
// stage shows one of the GIF's pictures; the milliseconds from starting
// movara-cli, or -1.
async function firstPictureTime(page, run, count) {
  const all = [...Array(count).keys()];
  const end = performance.now() + 20000;
  while (performance.now() < end) {
    if ((await stageOff(page, all)).some((r) => r.bad === 0)) return performance.now() - run.started;
  }
  return -1;
}

// Loads a copy of the movie that stops at `frame` into the page's player;
// whether the player reports that frame.
async function showFrame(page, movie, frame) {
  return page.evaluate(async ({ sel, base64, frame }) => {
    const player = document.querySelector(sel);
    const reached = new Promise((resolve) => {
      player.onFSCommand = (command, value) => {
        if (command === 'movara_frame' && Number(value) === frame) resolve(true);
      };
    });
    // A movie given as data has no origin to share with the page: its
    // FSCommands need the script access a served movie has by default.
    await player.ruffle().load({ data: Uint8Array.from(atob(base64), (c) => c.charCodeAt(0)), allowScriptAccess: true });
    const ok = await Promise.race([reached, new Promise((r) => setTimeout(() => r(false), 15000))]);
    for (let i = 0; i < 3; ++i) await new Promise((r) => requestAnimationFrame(r));
    return ok;
  }, { sel: PLAYER, base64: jumpCopy(movie, frame, JUMP_FPS).toString('base64'), frame });
}

const context = await launchChromium(profile);
const errors = [];
const figures = { files: 0, frames: 0, within: 0, firstPictureMs: [] };
try {
  const page = context.pages()[0] ?? (await context.newPage());
  page.on('pageerror', (e) => errors.push(`page error: ${e.message}`));
  page.on('console', (m) => {
    const error = playerConsoleError(m);
    if (error) errors.push(error);
  });
  await context.route(`${LINK.slice(0, LINK.lastIndexOf('/'))}/**`, (route) => route.fulfill({ body: 'opened' }));

  const gifDir = path.join(corpus, 'gif');
  const names = fs.readdirSync(path.join(corpus, 'reference'))
    .filter((n) => fs.existsSync(path.join(gifDir, n)) && !expected.has(n)).sort()
    .filter((n, i) => i % 3 === 0).slice(0, Number(args.limit ?? Infinity));
  for (const name of names) {
    const refDir = path.join(corpus, 'reference', name);
    const refs = fs.readdirSync(refDir).filter((f) => /^frame-\d+\.png$/.test(f)).sort();
    const run = await startPlay(cli, work, path.join(gifDir, name));
    try {
      await openPage(page, run.url);
      await setPictures(page, refs.map((r) => fs.readFileSync(path.join(refDir, r))));
      const ms = await firstPictureTime(page, run, refs.length);
      if (ms < 0) fail(`${name}: the movie as served never showed a picture of the GIF`);
      else figures.firstPictureMs.push(ms);
      figures.files += 1;

      const movie = fs.readFileSync(path.join(work, name.replace(/\.[^.]*$/, '') + '.swf'));
      const frames = changeFrames(movie);
      const images = fs.readFileSync(path.join(refDir, 'delays.txt'), 'utf8').trim().split('\n').length;
      const direct = frames.length === images;
      let at = 0;
      for (const [k, ref] of refs.entries()) {
        figures.frames += 1;
        const index = Number(ref.slice(6, 9));
        const order = direct && index < frames.length ? [index] : [];
        for (let j = at; j < frames.length; ++j) if (j !== index || !direct) order.push(j);
        let found = -1;
        let closest = null;
        for (const j of order) {
          if (!(await showFrame(page, movie, frames[j]))) {
            fail(`${name}: the player never reported frame ${frames[j]}`);
            break;
          }
          const [result] = await stageOff(page, [k]);
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
    } finally {
      await stopPlay(run, name, fail);
    }
    for (const e of errors.splice(0)) fail(`${name}: ${e}`);
  }

  // The link button: a movie converted with a URL, then given to --play as
  // it is; a click on its stage opens the URL in a new window.
  const sample = names.find((n) => n.startsWith('peterdn-animated_loop.')) ?? names[0];
  const converting = await startPlay(cli, work, path.join(gifDir, sample), ['--url', LINK]);
  await stopPlay(converting, 'link movie', fail);
  const run = await startPlay(cli, work, path.join(work, sample.replace(/\.[^.]*$/, '') + '.swf'));
  try {
    await openPage(page, run.url);
    await page.waitForTimeout(500);
    const box = await page.locator(PLAYER).first().boundingBox();
    const popup = context.waitForEvent('page', { timeout: 10000 });
    await page.mouse.click(box.x + box.width / 2, box.y + box.height / 2, { delay: 100 });
    const opened = await popup;
    await opened.waitForLoadState();
    if (opened.url() !== LINK) fail(`link button: opened ${opened.url()}, expected ${LINK}`);
    else console.log(`link button opened ${opened.url()} in a new window`);
  } catch (e) {
    fail(`link button: ${e.message.split('\n')[0]}`);
  } finally {
    await stopPlay(run, 'link movie', fail);
  }
  for (const e of errors.splice(0)) fail(`link movie: ${e}`);
} finally {
  await context.close();
  fs.rmSync(work, { recursive: true, force: true });
  fs.rmSync(profile, { recursive: true, force: true });
}

const times = figures.firstPictureMs.sort((a, b) => a - b);
const median = times.length ? Math.round(times[Math.floor(times.length / 2)]) : -1;
console.log(`played through --play: files: ${figures.files}, reference frames compared: ${figures.frames}, ` +
  `within tolerance ${TOLERANCE}: ${figures.within}; first picture on the stage after ${median} ms (median), ` +
  `${times.length ? Math.round(times[times.length - 1]) : -1} ms (slowest)`);
process.exit(failures.length > 0 ? 1 : 0);
