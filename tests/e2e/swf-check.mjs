// The structure every player can rely on, checked on the tags the
// independent SWF parser reads: each character is defined once, ahead of
// every tag that uses it (what a sprite places ahead of the sprite), and
// every tag, fill type, sound format and video codec is one the movie's
// version holds.
import zlib from 'node:zlib';
import { FillStyleType, TagType } from 'swf-types';
import { AudioCodingFormat } from 'swf-types/sound/audio-coding-format';
import { VideoCodec } from 'swf-types/video/video-codec';

// The version each tag code came with.
const TAG_VERSIONS = new Map([
  [0, 1], [1, 1], [2, 1], [4, 1], [5, 1], [6, 1], [7, 1], [8, 1], [9, 1], [10, 1], [11, 1], [12, 3], [13, 1],
  [14, 1], [15, 1], [17, 2], [18, 1], [19, 1], [20, 2], [21, 2], [22, 2], [23, 2], [24, 2], [26, 3], [28, 3],
  [32, 3], [33, 3], [34, 3], [35, 3], [36, 3], [37, 4], [39, 3], [43, 3], [45, 3], [46, 3], [48, 3], [56, 5],
  [57, 5], [58, 5], [59, 6], [60, 6], [61, 6], [62, 6], [64, 6], [65, 7], [66, 7], [69, 8], [70, 8], [71, 8],
  [73, 8], [74, 8], [75, 8], [76, 9], [77, 1], [78, 8], [82, 9], [83, 8], [84, 8], [86, 9], [87, 9], [88, 9],
  [89, 9], [90, 10], [91, 10],
]);
const SOUND_VERSIONS = new Map([
  [AudioCodingFormat.UncompressedNativeEndian, 1], [AudioCodingFormat.Adpcm, 1], [AudioCodingFormat.Mp3, 4],
  [AudioCodingFormat.UncompressedLittleEndian, 4], [AudioCodingFormat.Nellymoser, 6],
]);
const VIDEO_VERSIONS = new Map([
  [VideoCodec.Sorenson, 6], [VideoCodec.Screen, 7], [VideoCodec.Vp6, 8], [VideoCodec.Vp6Alpha, 8],
  [VideoCodec.Screen2, 9],
]);
// Focal gradients and bitmaps drawn without smoothing came with version 8.
const fillVersion = (fill) =>
  fill.type === FillStyleType.FocalGradient || (fill.type === FillStyleType.Bitmap && !fill.smoothed) ? 8 : 1;
// A bitmap fill of bitmap 65535 has no bitmap.
const NO_BITMAP = 0xffff;

const DEFINITIONS = new Set([TagType.DefineBitmap, TagType.DefineButton, TagType.DefineShape, TagType.DefineSprite,
  TagType.DefineSound, TagType.DefineVideoStream, TagType.DefineMorphShape, TagType.DefineText,
  TagType.DefineDynamicText, TagType.DefineFont, TagType.DefineGlyphFont, TagType.DefineCffFont,
  TagType.DefineBinaryData]);

function fillsOf(shape) {
  const fills = [...shape.initialStyles.fill];
  for (const r of shape.records) if (r.newStyles) fills.push(...r.newStyles.fill);
  return fills;
}

// The characters a tag uses (a sprite's are its tags').
function usesOf(tag) {
  switch (tag.type) {
    case TagType.DefineShape:
      return fillsOf(tag.shape).filter((f) => f.type === FillStyleType.Bitmap && f.bitmapId !== NO_BITMAP)
        .map((f) => f.bitmapId);
    case TagType.DefineButton: return tag.records.map((r) => r.characterId);
    case TagType.DefineButtonSound:
      return [tag.buttonId, ...['overUpToIdle', 'idleToOverUp', 'overUpToOverDown', 'overDownToOverUp']
        .filter((slot) => tag[slot]).map((slot) => tag[slot].soundId)];
    case TagType.PlaceObject:
    case TagType.RemoveObject: return tag.characterId === undefined ? [] : [tag.characterId];
    case TagType.StartSound: return [tag.soundId];
    case TagType.DoInitAction: return [tag.spriteId];
    case TagType.VideoFrame: return [tag.videoId];
    default: return [];
  }
}

// The version a tag's content needs beyond its code's.
function contentVersion(tag) {
  switch (tag.type) {
    case TagType.DefineShape: return Math.max(1, ...fillsOf(tag.shape).map(fillVersion));
    case TagType.DefineSound: return SOUND_VERSIONS.get(tag.format) ?? Infinity;
    case TagType.SoundStreamHead: return SOUND_VERSIONS.get(tag.streamFormat) ?? Infinity;
    case TagType.DefineVideoStream: return VIDEO_VERSIONS.get(tag.codec) ?? Infinity;
    case TagType.PlaceObject: return tag.clipActions ? 5 : 1;
    default: return 1;
  }
}

// The codes of a block of tags from `at`, up to and with End.
function tagCodes(buf, at) {
  const codes = [];
  while (at + 2 <= buf.length) {
    const word = buf.readUInt16LE(at);
    let length = word & 0x3f;
    let head = 2;
    if (length === 0x3f) {
      length = buf.readUInt32LE(at + 2);
      head = 6;
    }
    codes.push({ code: word >> 6, body: at + head });
    at += head + length;
    if (word >> 6 === 0) break;
  }
  return codes;
}

// The uncompressed movie: a "CWS" movie's body inflated after its header.
function plainMovie(buf) {
  return buf.toString('latin1', 0, 3) === 'CWS' ? Buffer.concat([buf.subarray(0, 8), zlib.inflateSync(buf.subarray(8))])
    : buf;
}

// Checks a movie the independent parser has read (`parsed`, from
// parseSwf(movie)); returns what is wrong with it, nothing when all holds.
export function checkStructure(movie, parsed) {
  const problems = [];
  const version = parsed.header.swfVersion;
  const plain = plainMovie(movie);
  const rectBytes = Math.ceil((5 + 4 * (plain[8] >> 3)) / 8);
  const defined = new Set();
  const visit = (tags, codes, where) => {
    if (codes.length !== tags.length + 1 || codes[codes.length - 1].code !== 0) {
      problems.push(`${where}: ${codes.length} tag records, the parser reads ${tags.length} tags and End`);
      return;
    }
    tags.forEach((tag, i) => {
      const { code } = codes[i];
      const name = `${TagType[tag.type]} (code ${code}, ${where} tag ${i})`;
      const needs = Math.max(TAG_VERSIONS.get(code) ?? Infinity, contentVersion(tag));
      if (needs === Infinity) {
        problems.push(`${name} is of no version known`);
      } else if (needs > version) {
        problems.push(`${name} needs version ${needs}, the movie is ${version}`);
      }
      for (const id of new Set(usesOf(tag))) {
        if (!defined.has(id)) problems.push(`${name} uses character ${id} ahead of its definition`);
      }
      // What a sprite places is defined ahead of the sprite.
      if (tag.type === TagType.DefineSprite) visit(tag.tags, tagCodes(plain, codes[i].body + 4), `sprite ${tag.id}`);
      if (DEFINITIONS.has(tag.type)) {
        if (defined.has(tag.id)) problems.push(`${name} defines character ${tag.id} again`);
        defined.add(tag.id);
      }
    });
  };
  visit(parsed.tags, tagCodes(plain, 8 + rectBytes + 4), 'movie');
  return problems;
}
