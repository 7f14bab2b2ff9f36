// The structure check finds what it is for: movies made here byte by byte,
// without the project's code, one fault each.
//
//   node swf-check-test.mjs
import zlib from 'node:zlib';
import { parseSwf } from 'swf-parser';
import { checkStructure } from './swf-check.mjs';

const u16 = (v) => [v & 0xff, v >> 8];
function tag(code, body) {
  return body.length < 63 ? [...u16((code << 6) | body.length), ...body]
    : [...u16((code << 6) | 63), ...u16(body.length & 0xffff), ...u16(body.length >>> 16), ...body];
}
const showFrame = tag(1, []);
// A lossless bitmap of one pixel.
const bitmap = (id, code = 20) =>
  tag(code, [...u16(id), 5, ...u16(1), ...u16(1), ...zlib.deflateSync(Buffer.alloc(4))]);
// A shape with one fill (type, bitmap), an empty rectangle and no edges.
const shape = (id, fillType, bitmapId, code = 2) =>
  tag(code, [...u16(id), 0x00, 1, fillType, ...u16(bitmapId), 0x00, 0, 0x10, 0x00]);
const place = (id, depth = 1) => tag(26, [0x02, ...u16(depth), ...u16(id)]);
const sprite = (id, inner) => tag(39, [...u16(id), ...u16(1), ...inner, ...showFrame, 0, 0]);

function movie(version, tags, compressed = false) {
  // A frame of 0 x 0 twips (a rectangle of 5 zero bits), 12 fps, one frame.
  const body = Buffer.from([0x00, 0x00, 12, ...u16(1), ...tags, 0, 0]);
  const head = Buffer.from([compressed ? 0x43 : 0x46, 0x57, 0x53, version, 0, 0, 0, 0]);
  head.writeUInt32LE(8 + body.length, 4);
  return Buffer.concat([head, compressed ? zlib.deflateSync(body) : body]);
}

const cases = [
  { name: 'a picture, its shape and a placement, in order', version: 6,
    tags: [...bitmap(1), ...shape(2, 0x41, 1), ...place(2), ...showFrame], want: [] },
  { name: 'the same compressed', version: 6, compressed: true,
    tags: [...bitmap(1), ...shape(2, 0x41, 1), ...place(2), ...showFrame], want: [] },
  { name: 'a fill of bitmap 65535 uses none', version: 6, tags: [...shape(1, 0x40, 0xffff), ...showFrame], want: [] },
  { name: 'a shape ahead of its bitmap', version: 6, tags: [...shape(2, 0x41, 1), ...bitmap(1), ...showFrame],
    want: ['DefineShape (code 2, movie tag 0) uses character 1 ahead of its definition'] },
  { name: 'a character defined twice', version: 6, tags: [...bitmap(1), ...bitmap(1), ...showFrame],
    want: ['DefineBitmap (code 20, movie tag 1) defines character 1 again'] },
  { name: 'a sprite ahead of what it places', version: 6,
    tags: [...sprite(3, place(2)), ...bitmap(1), ...shape(2, 0x41, 1), ...showFrame],
    want: ['PlaceObject (code 26, sprite 3 tag 0) uses character 2 ahead of its definition'] },
  { name: 'a placement of a character never defined', version: 6, tags: [...place(9), ...showFrame],
    want: ['PlaceObject (code 26, movie tag 0) uses character 9 ahead of its definition'] },
  { name: 'tags and a fill beyond the version', version: 2,
    tags: [...bitmap(1, 36), ...shape(2, 0x43, 1, 32), ...showFrame],
    want: ['DefineBitmap (code 36, movie tag 0) needs version 3, the movie is 2',
      'DefineShape (code 32, movie tag 1) needs version 8, the movie is 2'] },
];

let failed = 0;
for (const c of cases) {
  const m = movie(c.version, c.tags, c.compressed);
  const got = checkStructure(m, parseSwf(m));
  const ok = JSON.stringify(got) === JSON.stringify(c.want);
  if (!ok) failed += 1;
  const why = ok ? '' : `: ${JSON.stringify(got)}, expected ${JSON.stringify(c.want)}`;
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${c.name}${why}`);
}
console.log(`${cases.length - failed} of ${cases.length} structure cases found as expected`);
if (failed > 0) process.exit(1);
