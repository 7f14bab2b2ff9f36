// Sound data out of a movie and into one, written without the project's
// code: the player checks use it to take a movie's sound apart for ffmpeg,
// and to make movies whose MP3 data the project refuses, to see what the
// player does with it.
import { readTags, headerInfo } from './swf-edit.mjs';

// Bit rates (kbit/s) of MPEG audio: [MPEG-1 layer I, II, III, MPEG-2/2.5 layer I, layers II/III].
const RATES = [
  [0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448],
  [0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384],
  [0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320],
  [0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256],
  [0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160],
];

function mpegHeader(b, at) {
  if (at + 4 > b.length || b[at] !== 0xff || (b[at + 1] & 0xe0) !== 0xe0) return null;
  const v = (b[at + 1] >> 3) & 3, layer = 4 - ((b[at + 1] >> 1) & 3);
  const ri = b[at + 2] >> 4, si = (b[at + 2] >> 2) & 3, pad = (b[at + 2] >> 1) & 1;
  if (v === 1 || layer === 4 || ri === 0 || ri === 15 || si === 3) return null;
  const rate = [44100, 48000, 32000][si] / (v === 3 ? 1 : v === 2 ? 2 : 4);
  const kbps = RATES[v === 3 ? layer - 1 : layer === 1 ? 3 : 4][ri];
  const spf = layer === 1 ? 384 : layer === 3 && v !== 3 ? 576 : 1152;
  const size = layer === 1 ? (Math.floor(12000 * kbps / rate) + pad) * 4 : Math.floor(spf / 8 * 1000 * kbps / rate) + pad;
  return { rate, spf, size, layer, mono: b[at + 3] >> 6 === 3 };
}

// The frames of an MPEG audio file from its first sync word that three
// frames in a row confirm (ID3v2 tag skipped by its size).
export function mpegFrames(file) {
  let at = 0;
  if (file.toString('latin1', 0, 3) === 'ID3') {
    at = 10 + ((file[6] << 21) | (file[7] << 14) | (file[8] << 7) | file[9]);
  }
  const run = (p) => {
    let q = p;
    for (let i = 0; i < 3; ++i) {
      const h = mpegHeader(file, q);
      if (!h) return false;
      q += h.size;
    }
    return true;
  };
  while (at < file.length && !run(at)) ++at;
  const frames = [];
  for (let h = mpegHeader(file, at); h && at + h.size <= file.length; h = mpegHeader(file, at)) {
    frames.push({ ...h, data: file.subarray(at, at + h.size) });
    at += h.size;
  }
  return frames;
}

function tag(code, body) {
  const long = body.length >= 63;
  const head = Buffer.alloc(long ? 6 : 2);
  head.writeUInt16LE((code << 6) | (long ? 63 : body.length));
  if (long) head.writeUInt32LE(body.length, 2);
  return Buffer.concat([head, body]);
}

const RATE_CODE = { 5512: 0, 11025: 1, 22050: 2, 44100: 3 };

// A movie of MPEG frames at 24 fps, streamed (one block per movie frame,
// whole frames so that the samples follow the frames) or as an event sound
// started in frame 1. rateCode overrides the code written in the tags.
export function mpegMovie(template, frames, { event = false, rateCode } = {}) {
  const f0 = frames[0];
  const code = rateCode ?? RATE_CODE[f0.rate] ?? 3;
  const flags = (code << 2) | 2 | (f0.mono ? 0 : 1);
  const samplesPerFrame = Math.floor(f0.rate / 24);
  const movieFrames = Math.ceil(frames.length * f0.spf / samplesPerFrame);
  const tags = [];
  if (event) {
    const head = Buffer.alloc(11);
    head.writeUInt16LE(1, 0);
    head[2] = (2 << 4) | flags;
    head.writeUInt32LE(frames.length * f0.spf, 3);
    head.writeInt16LE(0, 7);
    tags.push(tag(14, Buffer.concat([head.subarray(0, 9), ...frames.map((f) => f.data)])));
    tags.push(tag(15, Buffer.from([1, 0, 0])));
    for (let i = 0; i < movieFrames; ++i) tags.push(tag(1, Buffer.alloc(0)));
  } else {
    const head = Buffer.alloc(6);
    head[0] = flags & 0x0f;
    head[1] = (2 << 4) | flags;
    head.writeUInt16LE(samplesPerFrame, 2);
    tags.push(tag(45, head));
    let next = 0;
    let written = 0;
    for (let i = 0; i < movieFrames; ++i) {
      const want = (i + 1) * samplesPerFrame;
      const block = [];
      while (next < frames.length && written + f0.spf <= want + f0.spf / 2) {
        block.push(frames[next++].data);
        written += f0.spf;
      }
      const lead = Buffer.alloc(4);
      lead.writeUInt16LE(block.length * f0.spf, 0);
      tags.push(tag(19, Buffer.concat([lead, ...block])));
      tags.push(tag(1, Buffer.alloc(0)));
    }
  }
  tags.push(Buffer.from([0, 0]));
  // The template's header: its rectangle and frame rate.
  const first = readTags(template)[0].offset;
  const out = Buffer.concat([template.subarray(0, first), ...tags]);
  out.writeUInt32LE(out.length, 4);
  out.writeUInt16LE(movieFrames, first - 2);
  return out;
}

// The sound of a movie for ffmpeg: the stream (head and every block's data)
// or the first DefineSound, as raw bytes with their format.
export function movieSound(movie) {
  const tags = readTags(movie);
  const body = (t) => movie.subarray(t.offset + (t.size - bodyLength(movie, t)), t.offset + t.size);
  const define = tags.find((t) => t.code === 14);
  const head = tags.find((t) => t.code === 45 || t.code === 18);
  const format = (b) => ({ codec: b >> 4, rate: [5512, 11025, 22050, 44100][(b >> 2) & 3], bits: b & 2 ? 16 : 8, channels: b & 1 ? 2 : 1 });
  if (head) {
    const h = body(head);
    const f = format(h[1]);
    const chunks = tags.filter((t) => t.code === 19).map((t) => body(t).subarray(f.codec === 2 ? 4 : 0));
    return { ...f, kind: 'stream', data: Buffer.concat(chunks), frameCount: headerInfo(movie).frameCount };
  }
  if (define) {
    const d = body(define);
    const f = format(d[2]);
    return { ...f, kind: 'event', data: d.subarray(f.codec === 2 ? 9 : 7), frameCount: headerInfo(movie).frameCount };
  }
  return null;
}

function bodyLength(movie, t) {
  const word = movie.readUInt16LE(t.offset);
  return (word & 0x3f) === 0x3f ? movie.readUInt32LE(t.offset + 2) : word & 0x3f;
}
