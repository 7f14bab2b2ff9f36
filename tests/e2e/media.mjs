// End-to-end checks of the builder's sprites and videos: the movies the
// examples write are read by an independent SWF parser and played in the
// Flash player emulator.
//
//   node media.mjs --sprite-movie PATH/sprite_movie --video-movie PATH/video_movie --flv DIR
//
// The sprite movie: the stage shows the sprite's three frames in turn while
// the movie's own timeline has one frame, and the init action has run before
// the sprite's first frame shows. The videos: the stage at movie frame n
// shows the colour of video frame n, the placements carry the ratios and
// video frames that a repeated and a non-repeated video need, and the
// video's sound (a 440 Hz tone of one second), taken out of the movie and
// decoded by ffmpeg, and played, has its frequency and length.

import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { spawnSync } from 'node:child_process';
import { parseSwf } from 'swf-parser';
import { TagType } from 'swf-types';
import { VideoCodec } from 'swf-types/video/video-codec';
import { Player } from './player.mjs';
import { movieSound } from './sound-swf.mjs';
import { jumpCopy, spriteStopCopy, stopAtEnd } from './swf-edit.mjs';
import { checkStructure } from './swf-check.mjs';
import { measureTone } from './tone.mjs';

const args = Object.fromEntries(process.argv.slice(2).reduce((pairs, a, i, all) => {
  if (a.startsWith('--')) pairs.push([a.slice(2), all[i + 1]]);
  return pairs;
}, []));
if (!args['sprite-movie'] || !args['video-movie'] || !args.flv) {
  console.error('usage: node media.mjs --sprite-movie PATH --video-movie PATH --flv DIR');
  process.exit(2);
}

const RED = [255, 0, 0];
const GREEN = [0, 255, 0];
const BLUE = [0, 0, 255];
// The test videos show each of these for two frames (tests/data/flv/README.md).
const VIDEO_COLORS = [RED, GREEN, BLUE, [255, 255, 0], [255, 255, 255], [0, 0, 0]];
// What H.263 at its finest quantiser may lose on a flat colour; the largest
// difference met is printed.
const VIDEO_TOLERANCE = 8;
const JUMP_FPS = 12;
// The tone of the test videos; its length may be off by a movie frame, and
// a repeated video plays it twice, with the MP3 encoder's delay between.
const TONE_HZ = 440;
const FRAME = 1 / 12;

const failures = [];
const fail = (what) => {
  failures.push(what);
  console.log(`FAIL ${what}`);
};
const same = (a, b) => JSON.stringify(a) === JSON.stringify(b);

const work = fs.mkdtempSync(path.join(os.tmpdir(), 'movara-media-'));
function run(program, ...rest) {
  const r = spawnSync(program, rest, { encoding: 'utf8' });
  if (r.status !== 0) throw new Error(`${path.basename(program)} ${rest.join(' ')}: exit ${r.status} ${r.stderr}`);
}

// Movies whose structure was checked.
let structureChecked = 0;

// The movie as the independent parser reads it, its structure checked.
function parse(name, movie) {
  try {
    const parsed = parseSwf(movie);
    for (const problem of checkStructure(movie, parsed)) fail(`${name}: ${problem}`);
    structureChecked += 1;
    return parsed;
  } catch (e) {
    fail(`${name}: the independent parser refuses the movie: ${e.message}`);
    return null;
  }
}

// The sprite: one frame of the movie, three of the sprite, a label, and
// init actions for the sprite right after its definition.
function checkSpriteTags(movie) {
  const parsed = parse('sprite movie', movie);
  if (!parsed) return;
  if (parsed.header.frameCount !== 1) fail(`sprite movie: ${parsed.header.frameCount} frames, expected 1`);
  const at = parsed.tags.findIndex((t) => t.type === TagType.DefineSprite);
  if (at < 0) return fail('sprite movie: no DefineSprite');
  const sprite = parsed.tags[at];
  const shows = sprite.tags.filter((t) => t.type === TagType.ShowFrame).length;
  if (sprite.frameCount !== 3 || shows !== 3) fail(`sprite: ${sprite.frameCount} frames, ${shows} ShowFrame tags`);
  const label = sprite.tags.find((t) => t.type === TagType.FrameLabel);
  if (!label || label.name !== 'start') fail(`sprite: label ${JSON.stringify(label)}`);
  const init = parsed.tags[at + 1];
  if (init?.type !== TagType.DoInitAction || init.spriteId !== sprite.id) {
    fail(`sprite: the tag after the definition is ${JSON.stringify(init?.type)}, not its DoInitAction`);
  }
}

async function checkSpritePlays(player, movie) {
  const [w, h] = [120, 90];
  const inside = [10, 10, 110, 80];
  const expected = [RED, GREEN, BLUE];
  for (let frame = 1; frame <= 3; ++frame) {
    const got = await player.show(spriteStopCopy(movie, frame), w, h);
    if (got !== frame) {
      fail(`sprite frame ${frame}: the player reports ${got}`);
      continue;
    }
    const r = await player.compareArea(expected[frame - 1], 1, ...inside);
    if (r.bad > 0) fail(`sprite frame ${frame}: ${r.bad} pixels off ${expected[frame - 1]} (${r.detail})`);
    const commands = (await player.commands()).map((c) => c.command);
    if (frame === 1 && !same(commands, ['sprite_init', 'movara_frame'])) {
      fail(`sprite: the commands came as ${JSON.stringify(commands)}, the init action's first`);
    }
  }
  // Playing freely, the sprite's frames follow each other at 4 per second.
  const { colors, commands } = await player.watch(movie, w, h, 60, 45, 2500);
  const seen = colors.map((c) => expected.findIndex((e) => same(e, c.slice(0, 3)))).filter((i) => i >= 0);
  const advancing = seen.length >= 4 && seen.every((c, i) => i === 0 || c === (seen[i - 1] + 1) % 3);
  if (!advancing) fail(`sprite playing: colours ${JSON.stringify(colors)}`);
  if (commands.filter((c) => c.command === 'sprite_init' && c.args === 'defined').length !== 1) {
    fail(`sprite playing: commands ${JSON.stringify(commands)}`);
  }
  console.log(`sprite: frames 1 to 3 shown in their colours; playing, the colours went ${JSON.stringify(seen)}`);
}

// Per movie frame: the video frames written and the placements' ratios.
function videoTimeline(tags) {
  const frames = [{ videoFrames: [], places: [] }];
  for (const t of tags) {
    if (t.type === TagType.VideoFrame) frames.at(-1).videoFrames.push(t.frame);
    if (t.type === TagType.PlaceObject) frames.at(-1).places.push({ ratio: t.ratio, update: t.isUpdate });
    if (t.type === TagType.ShowFrame) frames.push({ videoFrames: [], places: [] });
  }
  frames.pop();
  return frames;
}

function checkVideoTags(name, movie, codec, repeat) {
  const parsed = parse(name, movie);
  if (!parsed) return;
  const stream = parsed.tags.find((t) => t.type === TagType.DefineVideoStream);
  if (!stream || stream.frameCount !== 12 || stream.width !== 64 || stream.height !== 48 || stream.codec !== codec) {
    fail(`${name}: video stream ${JSON.stringify(stream)}`);
  }
  const frames = videoTimeline(parsed.tags);
  const count = repeat ? 24 : 12;
  if (parsed.header.frameCount !== count || frames.length !== count) {
    fail(`${name}: ${parsed.header.frameCount} frames declared, ${frames.length} found, expected ${count}`);
  }
  frames.forEach((f, n) => {
    const want = { videoFrames: [n % 12], places: [{ ratio: n % 12, update: n > 0 }] };
    if (!same(f, want)) fail(`${name}: movie frame ${n + 1} holds ${JSON.stringify(f)}, expected ${JSON.stringify(want)}`);
  });
}

function checkTone(what, tone, seconds) {
  const ok = Math.abs(tone.frequency - TONE_HZ) / TONE_HZ <= 0.01 && tone.length >= seconds - FRAME &&
    tone.length <= seconds + 2 * FRAME;
  const line = `${what}: ${tone.frequency.toFixed(2)} Hz for ${tone.length.toFixed(3)} s`;
  if (ok) console.log(line);
  else fail(`${line}, expected ${TONE_HZ} Hz for ${seconds} s`);
}

// The tone once, or twice in a row (MP3 data starts and ends with a little
// silence, so the two halves of the sound are measured on their own).
function checkTones(what, samples, rate, times) {
  if (times === 1) return checkTone(what, measureTone(samples, rate), 1);
  const whole = measureTone(samples, rate);
  const middle = Math.round((whole.start + whole.length / 2) * rate);
  checkTone(`${what}, first time`, measureTone(samples.subarray(0, middle), rate), 1);
  checkTone(`${what}, second time`, measureTone(samples.subarray(middle), rate), 1);
}

// The stream's data as ffmpeg decodes it, in mono at 44100 Hz.
function decodeSound(movie) {
  const s = movieSound(movie);
  const input = s.codec === 2 ? ['-f', 'mp3'] : ['-f', s.bits === 8 ? 'u8' : 's16le', '-ar', String(s.rate), '-ac', String(s.channels)];
  const r = spawnSync('ffmpeg', ['-v', 'error', ...input, '-i', 'pipe:0', '-ac', '1', '-ar', '44100', '-f', 'f32le', 'pipe:1'],
    { input: s.data, maxBuffer: 1 << 28 });
  if (r.status !== 0) throw new Error(`ffmpeg: ${r.stderr}`);
  return new Float32Array(r.stdout.buffer, r.stdout.byteOffset, r.stdout.length / 4);
}

async function checkVideoPlays(player, name, movie, frames) {
  let largest = 0;
  for (let n = 1; n <= frames; ++n) {
    const got = await player.show(jumpCopy(movie, n, JUMP_FPS), 64, 48);
    if (got !== n) {
      fail(`${name}: asked for frame ${n}, the player reports ${got}`);
      continue;
    }
    const color = VIDEO_COLORS[Math.floor(((n - 1) % 12) / 2)];
    const r = await player.compareArea(color, VIDEO_TOLERANCE, 0, 0, 64, 48);
    largest = Math.max(largest, r.largest);
    if (r.bad > 0) fail(`${name}: movie frame ${n}: ${r.bad} pixels off ${color} (${r.detail})`);
  }
  console.log(`${name}: ${frames} movie frames in the video's colours, largest difference ${largest}`);
}

const player = await Player.start({ audio: true });
try {
  const spriteFile = path.join(work, 'sprite.swf');
  run(args['sprite-movie'], spriteFile);
  const sprite = fs.readFileSync(spriteFile);
  checkSpriteTags(sprite);
  await checkSpritePlays(player, sprite);

  const videos = [
    { flv: 'colors-h263-mp3.flv', codec: VideoCodec.Sorenson, play: true, tone: true },
    { flv: 'colors-h263-pcm.flv', codec: VideoCodec.Sorenson, play: true, tone: true },
    // The emulator does not decode Screen Video packets laid out as the
    // VideoFrame tag defines them (it wants the FLV packet's frame-type byte
    // in front), so these movies are only parsed.
    { flv: 'colors-screen.flv', codec: VideoCodec.Screen, play: false },
  ];
  for (const v of videos) {
    for (const repeat of [false, true]) {
      const name = `${v.flv}${repeat ? ' repeated' : ''}`;
      const out = path.join(work, 'video.swf');
      run(args['video-movie'], ...(repeat ? ['--repeat'] : []), path.join(args.flv, v.flv), out);
      const movie = fs.readFileSync(out);
      checkVideoTags(name, movie, v.codec, repeat);
      if (v.play) await checkVideoPlays(player, name, movie, repeat ? 24 : 12);
      if (v.tone) {
        checkTones(`${name}: its sound taken out and decoded`, decodeSound(movie), 44100, repeat ? 2 : 1);
        // Empty frames after the last let the sound play out before the stop.
        const { rate, samples } = await player.playAudio(stopAtEnd(movie, 12), 64, 48, repeat ? 3 : 2);
        checkTones(`${name}: its sound played`, samples, rate, repeat ? 2 : 1);
      }
    }
  }
  for (const e of player.errors.splice(0)) fail(e);
} finally {
  await player.stop();
  fs.rmSync(work, { recursive: true, force: true });
}
console.log(`structure checked by the independent parser: ${structureChecked} movies`);
if (failures.length > 0) {
  console.log(`${failures.length} failures`);
  process.exit(1);
}
console.log('sprite and video checks passed');
