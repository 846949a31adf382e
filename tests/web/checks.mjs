// What the browser test measures: traces against traces, pictures against
// pictures (through ImageMagick), and damaged copies of the packed content.
import {execFileSync} from 'node:child_process';

// Columns that must be equal; every other one is a float.
const exactColumns = new Set(['frame', 'directorState', 'poseMode', 'poseStep', 'burning', 'events']);

// The native replay's trace rows against the page's, header first. Returns
// whether they agree and a one-line report with the largest difference.
export function compareTraces(native, web, tolerance) {
  const problems = [];
  if (native[0] !== web[0])
    problems.push('headers differ');
  if (native.length !== web.length)
    problems.push(`${native.length - 1} rows natively, ${web.length - 1} in the page`);
  const names = native[0].split(',');
  let largest = 0, where = 'none';
  for (let row = 1; row < Math.min(native.length, web.length); row++) {
    const a = native[row].split(','), b = web[row].split(',');
    names.forEach((name, i) => {
      if (exactColumns.has(name)) {
        if (a[i] !== b[i] && problems.length < 5)
          problems.push(`${name} differs at frame ${row - 1}: ${a[i]} / ${b[i]}`);
        return;
      }
      const d = Math.abs(Number(a[i]) - Number(b[i]));
      if (!(d <= tolerance) && problems.length < 5)
        problems.push(`${name} at frame ${row - 1}: ${a[i]} / ${b[i]}`);
      if (d > largest) {
        largest = d;
        where = `${name}, frame ${row - 1}`;
      }
    });
  }
  const report = `states, poses and events ${problems.some(p => p.includes('differs')) ? 'differ' : 'equal'}; ` +
                 `largest float difference ${largest.toPrecision(3)} (${where})`;
  return {ok: problems.length === 0, report: problems.length ? report + '; ' + problems.join('; ') : report};
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
