// What the browser test measures: traces against traces (byte for byte),
// pictures against pictures (through ImageMagick), and damaged copies of the
// packed content.
import {execFileSync} from 'node:child_process';

// Two traces' lines, header first, byte for byte (a CR before a line's end,
// as Windows writes, counts for nothing). Returns whether they are the same
// and a one-line report that names the first line that differs.
export function compareTraces(expected, actual) {
  const a = expected.map(line => line.replace(/\r$/, '')), b = actual.map(line => line.replace(/\r$/, ''));
  const line = a.findIndex((text, i) => text !== b[i]);
  if (line < 0 && a.length === b.length)
    return {ok: true, report: `identical, ${a.length} lines`};
  const first = line < 0 ? a.length : line;
  return {ok: false, report: `first difference at line ${first + 1}, frame ${first - 1} (${a.length} lines ` +
                             `expected, ${b.length} found): expected ${a[first] ?? '(none)'} / found ${b[first] ?? '(none)'}`};
}

// Mean brightness of a picture, 0 to 255.
export function brightness(file) {
  return Number(execFileSync('convert', [file, '-colorspace', 'gray', '-format', '%[fx:mean*255]', 'info:']));
}

// The mean absolute difference of two pictures of one size, per channel
// (red, green, blue), 0 to 255.
export function meanDifference(a, b) {
  const out = execFileSync('convert', [a, b, '-compose', 'difference', '-composite', '-format',
                                       '%[fx:mean.r*255] %[fx:mean.g*255] %[fx:mean.b*255]', 'info:']);
  return String(out).trim().split(' ').map(Number);
}

// The packed content with every file damaged in place, each in one of four
// ways chosen by its place and the round: all zeros (an emptied file), the
// second half zeroed (a cut file), random bytes, or all but its first 30
// bytes zeroed (only the start of the headers left).
export function damagedData(original, loader, round) {
  const data = Buffer.from(original);
  const files = [...loader.matchAll(/"filename":"([^"]+)","start":(\d+),"end":(\d+)/g)];
  let seed = round + 1;
  const random = () => (seed = (seed * 1103515245 + 12345) % 2147483648) & 255;
  files.forEach((file, i) => {
    const start = Number(file[2]), end = Number(file[3]);
    switch ((i + round) % 4) {
    case 0: data.fill(0, start, end); break;
    case 1: data.fill(0, start + Math.floor((end - start) / 2), end); break;
    case 2: for (let k = start; k < end; k++) data[k] = random(); break;
    case 3: data.fill(0, Math.min(start + 30, end), end); break;
    }
  });
  return data;
}
