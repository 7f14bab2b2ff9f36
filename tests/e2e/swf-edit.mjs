// Small edits of uncompressed SWF movies for the player checks: where the
// frames start, and copies with actions injected into chosen frames.

function rectBytes(buf) {
  const nbits = buf[8] >> 3;
  return Math.ceil((5 + 4 * nbits) / 8);
}

// The tags of a movie: code, offset of the record, total record length.
export function readTags(buf) {
  if (buf.toString('latin1', 0, 3) !== 'FWS') throw new Error('not an uncompressed SWF movie');
  let at = 8 + rectBytes(buf) + 4;
  const tags = [];
  while (at < buf.length) {
    const word = buf.readUInt16LE(at);
    let len = word & 0x3f;
    let head = 2;
    if (len === 0x3f) {
      len = buf.readUInt32LE(at + 2);
      head = 6;
    }
    tags.push({ code: word >> 6, offset: at, size: head + len });
    at += head + len;
    if (word >> 6 === 0) break;
  }
  return tags;
}

export function headerInfo(buf) {
  const r = rectBytes(buf);
  return {
    signature: buf.toString('latin1', 0, 3),
    version: buf[3],
    fileLength: buf.readUInt32LE(4),
    frameRate: buf.readUInt16LE(8 + r),
    frameCount: buf.readUInt16LE(8 + r + 2),
  };
}

function doAction(actions) {
  const body = Buffer.concat([...actions, Buffer.from([0])]);
  const head = Buffer.alloc(body.length < 63 ? 2 : 6);
  if (body.length < 63) {
    head.writeUInt16LE((12 << 6) | body.length);
  } else {
    head.writeUInt16LE((12 << 6) | 63);
    head.writeUInt32LE(body.length, 2);
  }
  return Buffer.concat([head, body]);
}

const stop = Buffer.from([0x07]);
function gotoFrame(n) {
  const b = Buffer.from([0x81, 0x02, 0x00, 0, 0]);
  b.writeUInt16LE(n, 3);
  return b;
}
function fsCommand(command, args) {
  const payload = Buffer.from(`FSCommand:${command}\0${args}\0`, 'latin1');
  const head = Buffer.from([0x83, 0, 0]);
  head.writeUInt16LE(payload.length, 1);
  return Buffer.concat([head, payload]);
}

const play = Buffer.from([0x06]);
function jump(offset) {
  const b = Buffer.from([0x99, 0x02, 0x00, 0, 0]);
  b.writeInt16LE(offset, 3);
  return b;
}
function waitForFrame(frame, skip) {
  const b = Buffer.from([0x8a, 0x03, 0x00, 0, 0, skip]);
  b.writeUInt16LE(frame, 3);
  return b;
}

// A copy that shows frame `target` (1-based) and stays there. For a later
// frame, frame 2 waits
// until the whole movie has loaded (a jump issued earlier would stop at the
// last loaded frame), looping back to frame 1 meanwhile, then jumps to the
// target and stops; the target frame reports itself through an FSCommand,
// so the page knows the frame it got.
export function jumpCopy(buf, target, fps) {
  const tags = readTags(buf);
  const frameEnds = tags.filter((t) => t.code === 1).map((t) => t.offset);
  const inserts = new Map();
  const add = (offset, bytes) => inserts.set(offset, Buffer.concat([inserts.get(offset) ?? Buffer.alloc(0), bytes]));
  const signal = doAction([fsCommand('movara_frame', String(target))]);
  if (target <= 2) {
    // Frames 1 and 2 are reached by playing; a jump from frame 2 to itself
    // would replay it from frame 1's state.
    add(frameEnds[target - 1], Buffer.concat([signal, doAction([stop])]));
  } else {
    const toTarget = [gotoFrame(target - 1), stop];
    const loopBack = [gotoFrame(0), play, jump(toTarget.reduce((n, a) => n + a.length, 0))];
    add(frameEnds[1], doAction([waitForFrame(frameEnds.length - 1, 1), jump(loopBack.reduce((n, a) => n + a.length, 0)),
      ...loopBack, ...toTarget]));
    add(frameEnds[target - 1], signal);
  }
  const parts = [];
  let from = 0;
  for (const offset of [...inserts.keys()].sort((a, b) => a - b)) {
    parts.push(buf.subarray(from, offset), inserts.get(offset));
    from = offset;
  }
  parts.push(buf.subarray(from));
  const out = Buffer.concat(parts);
  out.writeUInt32LE(out.length, 4);
  out.writeUInt16LE(Math.round(fps * 256), 8 + rectBytes(buf));
  return out;
}

// 1-based numbers of the frames at which the display list changes: the
// frames to look at to see every picture a movie shows.
export function changeFrames(buf) {
  const frames = [];
  let frame = 1;
  let changed = true;
  for (const t of readTags(buf)) {
    if (t.code === 26 || t.code === 5 || t.code === 28) changed = true;
    if (t.code === 1) {
      if (changed) frames.push(frame);
      changed = false;
      frame += 1;
    }
  }
  return frames;
}

// A copy that plays `extraFrames` empty frames after its last one and then
// stops instead of looping back to the first, so that a sound started in it
// plays out once.
export function stopAtEnd(buf, extraFrames) {
  const end = readTags(buf).pop();
  const showFrame = Buffer.from([0x40, 0x00]);
  const tail = [...Array(extraFrames).fill(showFrame), doAction([stop]), showFrame];
  const out = Buffer.concat([buf.subarray(0, end.offset), ...tail, buf.subarray(end.offset)]);
  out.writeUInt32LE(out.length, 4);
  const count = 8 + rectBytes(buf) + 2;
  out.writeUInt16LE(buf.readUInt16LE(count) + extraFrames + 1, count);
  return out;
}
