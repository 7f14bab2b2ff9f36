// Measures a sine tone in decoded audio: where it is audible, how long, its
// frequency from the times of its rising zero crossings, and the loudest
// sample after it (a click or a step after the tone shows there). `joins`
// are the samples where pieces of audio scheduled one after the other meet:
// a wave that crosses a join is left out of the frequency, which then
// depends on the samples alone, not on when a loaded machine played each
// piece.
export function measureTone(samples, rate, joins = []) {
  let peak = 0;
  for (const s of samples) peak = Math.max(peak, Math.abs(s));
  if (peak === 0) return { length: 0, frequency: 0, peak };
  const threshold = peak * 0.25;
  let first = -1;
  let last = -1;
  for (let i = 0; i < samples.length; ++i) {
    if (Math.abs(samples[i]) >= threshold) {
      if (first < 0) first = i;
      last = i;
    }
  }
  const crossings = [];
  for (let i = first + 1; i <= last; ++i) {
    if (samples[i - 1] < 0 && samples[i] >= 0) crossings.push(i - 1 + samples[i - 1] / (samples[i - 1] - samples[i]));
  }
  let waves = 0;
  let span = 0;
  for (let k = 1; k < crossings.length; ++k) {
    if (joins.some((j) => j > crossings[k - 1] && j <= crossings[k])) continue;
    waves += 1;
    span += crossings[k] - crossings[k - 1];
  }
  const frequency = waves > 0 ? waves * rate / span : 0;
  const after = Math.ceil(crossings[crossings.length - 1] + 1.5 * rate / Math.max(frequency, 1));
  let tail = 0;
  for (let i = after; i < samples.length; ++i) tail = Math.max(tail, Math.abs(samples[i]));
  return { length: (last - first + 1) / rate, frequency, peak, start: first / rate, tail };
}
