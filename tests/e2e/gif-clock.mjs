// The GIF's clock, read from a reference's delays.txt: when each image is
// due, and which movie frames must show it.

// Ticks of 1/2400 s hold hundredths and 24ths exactly.
export const TICKS_PER_SECOND = 2400;

// How long an image lasts: its delay in hundredths ("-": no graphic control
// extension, 10/24 s); delays of 0 and 1 last 10, as browsers show them.
export function delayTicks(delay) {
  if (delay === '-') return 1000;
  const hundredths = Number(delay);
  return 24 * (hundredths <= 1 ? 10 : hundredths);
}

export function readDelays(file, fs) {
  return fs.readFileSync(file, 'utf8').trim().split('\n');
}

// For each image, the first and last movie frame (0-based) at `fps` whose
// middle lies strictly inside the image's time on the GIF's clock, or null
// when no movie frame's middle does (the image is composed into the next
// one, or its only frame lies on a boundary, which may go either way).
export function framesShowing(delays, fps) {
  const spans = [];
  let start = 0;
  for (const d of delays) {
    const end = start + delayTicks(d);
    // The middle of movie frame f lies at (2f + 1) / (2 fps) seconds.
    const T = TICKS_PER_SECOND;
    const first = Math.floor((2 * start * fps - T) / (2 * T)) + 1;
    const last = Math.ceil((2 * end * fps - T) / (2 * T)) - 1;
    spans.push(first <= last ? [first, last] : null);
    start = end;
  }
  return spans;
}
