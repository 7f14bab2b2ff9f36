// Sound checks: movies made by the sound_movie example from the tone files,
// their structure checked on the independent SWF parser's reading of them
// and their sound taken out without the project's code and decoded by ffmpeg;
// or (with --player) played in the Flash player emulator with the audio it
// schedules captured. Each time the tone must have its frequency (within
// 1 %) and its length (within one movie frame), and silence after it.
//
//   node sound.mjs --example PATH/sound_movie --data DIR [--player]

import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { spawnSync } from 'node:child_process';
import { parseSwf } from 'swf-parser';
import { mpegFrames, mpegMovie, movieSound } from './sound-swf.mjs';
import { checkStructure } from './swf-check.mjs';
import { stopAtEnd } from './swf-edit.mjs';
import { measureTone } from './tone.mjs';

const args = process.argv.slice(2);
const option = (name) => {
  const i = args.indexOf(`--${name}`);
  return i >= 0 ? args[i + 1] : undefined;
};
const example = option('example');
const data = option('data');
const withPlayer = args.includes('--player');
if (!example || !data) {
  console.error('usage: node sound.mjs --example PATH/sound_movie --data DIR [--player]');
  process.exit(2);
}

const FRAME = 1 / 24;
// The tones as sox made them (tests/data/sound/make.sh): frequency and length.
const MOVIES = [
  { file: 'tone-22050-s16-mono.wav', hz: 660, seconds: 0.25, ffmpegDemuxer: true },
  { file: 'tone-11025-u8-mono.wav', hz: 440, seconds: 0.5 },
  // Its last block is padded: the padding must be silence.
  { file: 'tone-22050-u8-stereo.wav', hz: 550, seconds: 0.1, player: true },
  { file: 'tone-44100-cbr-stereo-id3.mp3', hz: 880, seconds: 0.3, ffmpegDemuxer: true, player: true },
  { file: 'tone-22050-vbr-mono-id3.mp3', hz: 660, seconds: 0.5, ffmpegDemuxer: true },
  { file: 'tone-48000-cbr-mono.mp3', hz: 440, seconds: 0.5, ffmpegDemuxer: true, player: true },
  { file: 'tone-8000-cbr-mono.mp3', hz: 440, seconds: 0.5 },
  { file: 'tone-22050-mp3-in.wav', hz: 440, seconds: 0.3 },
  { file: 'tone-44100-s16-stereo.wav', hz: 880, seconds: 0.05, event: true },
  { file: 'tone-22050-u8-stereo.wav', hz: 550, seconds: 0.1, event: true },
  { file: 'tone-22050-vbr-mono-id3.mp3', hz: 660, seconds: 0.5, event: true, player: true },
  { file: 'tone-12000-cbr-mono.mp3', hz: 440, seconds: 0.5, event: true },
];

const failures = [];
let checks = 0;
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'movara-sound-'));

function check(what, tone, expected) {
  checks += 1;
  const freqOff = Math.abs(tone.frequency - expected.hz) / expected.hz;
  const lengthOff = Math.abs(tone.length - expected.seconds);
  const line = `${what}: ${tone.frequency.toFixed(2)} Hz, ${tone.length.toFixed(4)} s, ` +
    `${(tone.tail / tone.peak * 100).toFixed(1)} % after it`;
  // After the tone the sound is silent, short of the decoders' ringing.
  if (freqOff > 0.01 || lengthOff > FRAME || tone.tail > 0.1 * tone.peak) {
    failures.push(line);
    console.log(`FAIL ${line} (the tone is ${expected.hz} Hz, ${expected.seconds} s)`);
  } else {
    console.log(`ok   ${line}`);
  }
}

// ffmpeg's decoding of raw input or of a file, as mono 32-bit float samples.
function decode(inputArgs, input, rate) {
  const r = spawnSync('ffmpeg', ['-v', 'error', ...inputArgs, '-vn', '-ac', '1', '-ar', String(rate), '-f', 'f32le', 'pipe:1'],
    { input, maxBuffer: 1 << 28 });
  if (r.status !== 0) throw new Error(`ffmpeg: ${r.stderr}`);
  return new Float32Array(r.stdout.buffer, r.stdout.byteOffset, r.stdout.length / 4);
}

function makeMovie(m) {
  const out = path.join(work, `${m.event ? 'event' : 'stream'}-${m.file}.swf`);
  const r = spawnSync(example, [...(m.event ? ['--event'] : []), path.join(data, m.file), out], { encoding: 'utf8' });
  if (r.status !== 0) throw new Error(`sound_movie ${m.file}: exit ${r.status} ${r.stderr}`);
  return out;
}

// Definitions before their uses, unique ids, tags and formats of the
// movie's version.
function checkMovieStructure(name, movieFile) {
  checks += 1;
  const movie = fs.readFileSync(movieFile);
  for (const problem of checkStructure(movie, parseSwf(movie))) {
    failures.push(`${name}: ${problem}`);
    console.log(`FAIL ${name}: ${problem}`);
  }
}

// The sound taken out of the movie by hand, decoded by ffmpeg.
function decodeExtracted(movieFile) {
  const s = movieSound(fs.readFileSync(movieFile));
  const rate = 44100;
  if (s.codec === 2) return { rate, samples: decode(['-f', 'mp3', '-i', 'pipe:0'], s.data, rate) };
  const format = s.bits === 8 ? 'u8' : 's16le';
  return { rate, samples: decode(['-f', format, '-ar', String(s.rate), '-ac', String(s.channels), '-i', 'pipe:0'], s.data, rate) };
}

try {
  const movies = MOVIES.map((m) => ({ ...m, movie: makeMovie(m) }));
  for (const m of withPlayer ? [] : movies) {
    const name = `${m.event ? 'event' : 'stream'} ${m.file}`;
    checkMovieStructure(name, m.movie);
    const x = decodeExtracted(m.movie);
    check(`${name}, taken out and decoded`, measureTone(x.samples, x.rate), m);
    if (m.ffmpegDemuxer) {
      check(`${name}, ffmpeg's SWF demuxer`, measureTone(decode(['-i', m.movie], null, 44100), 44100), m);
    }
  }

  if (!withPlayer) console.log(`structure checked by the independent parser: ${movies.length} movies`);
  if (withPlayer) {
    const { Player } = await import('./player.mjs');
    const player = await Player.start({ audio: true });
    const template = fs.readFileSync(movies[0].movie);
    try {
      const play = async (name, movie, seconds) => {
        // A second of empty frames lets the sound play out before the stop.
        const { rate, samples, joins } = await player.playAudio(stopAtEnd(movie, 24), 320, 240, seconds + 1.0);
        for (const e of player.errors.splice(0)) failures.push(`${name}: ${e}`);
        return measureTone(samples, rate, joins);
      };
      for (const m of movies.filter((x) => x.player)) {
        const name = `${m.event ? 'event' : 'stream'} ${m.file}`;
        check(`${name}, played`, await play(name, fs.readFileSync(m.movie), m.seconds), m);
      }
      // Layer II data, which the builder refuses, plays as silence: a movie
      // made here without the builder.
      const layer2 = mpegFrames(fs.readFileSync(path.join(data, 'tone-44100-layer2.mp2')));
      for (const event of [false, true]) {
        checks += 1;
        const tone = await play('layer II', mpegMovie(template, layer2, { event }), 0.5);
        const line = `${event ? 'event' : 'stream'} layer II, played: peak ${tone.peak}`;
        console.log(`${tone.peak === 0 ? 'ok  ' : 'FAIL'} ${line} (silent)`);
        if (tone.peak !== 0) failures.push(`${line}: the player plays layer II now; the builder may accept it`);
      }
    } finally {
      await player.stop();
    }
  }
} finally {
  fs.rmSync(work, { recursive: true, force: true });
}

console.log(`${checks - failures.length} passed, ${failures.length} failed`);
if (failures.length > 0) process.exit(1);
