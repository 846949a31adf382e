// A lost WebGL context, as a phone's sleep or a GPU reset loses it:
//   - the replay page loses it at one frame and gets it back some frames
//     later: its trace is the native replay's byte for byte (no frame
//     missing) and the last picture is the scene's;
//   - the live scene: its picture before, black while the context is
//     lost (the scene's trace going on meanwhile), and back after restore;
//   - a context never given back: the page says so over the canvas.
import path from 'node:path';

import {brightness, compareTraces} from './checks.mjs';

export async function contextSection({openPage, server, shots, fail, sleep, replayInPage, nativeReplay}) {
  // (a) The replay with the context lost at frame 100 and restoring asked
  // for at 150. Chromium takes about 3 s to give it back, so the replay runs
  // long enough for frames after that.
  const script = {name: 'context.txt', text: '60 type t\n150 type L\n200 press E\n260 release E\n1900 type L\n'};
  const frames = 2000, shot = path.join(shots, 'context-replay.png');
  const native = nativeReplay(script, frames, '64x64', ['--dt', '0.02'], true, './vexarion-replay-null');
  const web = await replayInPage(script, frames, '64x64', {shot, query: '&losecontext=100&restorecontext=150',
                                                          timeout: 180000});
  const at = text => web.lines.findIndex(line => line.includes(text));
  const told = at('took the WebGL context away') >= 0 && at('the WebGL context is back') > 0 &&
               at('the WebGL context is back') < at('replay done');
  const result = compareTraces(native.rows, web.rows);
  const picture = brightness(shot);
  if (!web.done || web.errors.length || !told || !result.ok || picture < 15)
    fail(`a replay losing its context at frame 100: ${result.report}; ` +
         `loss and restore told before the end: ${told}; last picture's brightness ${picture.toFixed(1)}; ` +
         (web.errors.join('; ') || (web.done ? '' : 'no "replay done"')));
  else
    console.log(`ok   a replay losing its context at frame 100, back before its end: trace ${result.report}; ` +
                `last picture's brightness ${picture.toFixed(1)}`);

  // (b) The live scene, traced, lost for a second and restored.
  const {page, log} = await openPage(640, 480);
  await page.goto(server.url + 'index.html?trace=on');
  await page.waitForSelector('#start:not([disabled])', {timeout: 30000});
  await page.click('#start');
  await sleep(5500);  // past the intro
  // The page where the canvas is (hidden while lost, it can't be shot itself).
  const clip = await page.$eval('#canvas', e => {
    const r = e.getBoundingClientRect();
    return {x: r.x, y: r.y, width: r.width, height: r.height};
  });
  const shotOf = async name => {
    const file = path.join(shots, name);
    await page.screenshot({path: file, clip});
    return brightness(file);
  };
  // A lost context gives no extension: the one taken before is kept.
  const lose = what => page.evaluate(what => {
    window.loseExtension = window.loseExtension ||
                           document.getElementById('canvas').getContext('webgl2').getExtension('WEBGL_lose_context');
    if (what === 'lose')
      window.loseExtension.loseContext();
    else
      window.loseExtension.restoreContext();
  }, what);
  const before = await shotOf('6-context-before.png');
  await lose('lose');
  await sleep(200);
  const rowsLost = log.trace.length;
  const whileLost = await shotOf('7-context-lost.png');
  await sleep(600);
  const framesWhileLost = log.trace.length - rowsLost;
  await lose('restore');
  for (let waited = 0; waited < 15000 && !log.lines.some(l => l.includes('context is back')); waited += 100)
    await sleep(100);
  await sleep(500);
  const after = await shotOf('8-context-restored.png');
  const noticeShown = await page.$eval('#contextlost', e => !e.classList.contains('hidden'));
  console.log(`     live scene: brightness before ${before.toFixed(1)}, while lost ${whileLost.toFixed(1)} ` +
              `(${framesWhileLost} frames traced in 0.6 s of it), after restore ${after.toFixed(1)}`);
  if (!(before > 15) || !(whileLost < 5) || !(framesWhileLost > 5) || !(Math.abs(after - before) < before / 2) || noticeShown)
    fail('the live scene does not come back after a lost context');
  else if (log.errors.length)
    fail('errors around a lost context: ' + log.errors.join('; '));
  else
    console.log('ok   the live scene plays on while its context is lost and its picture comes back');

  // (c) Never given back: the page says so after a few seconds.
  await lose('lose');
  await sleep(7000);
  const said = await page.$eval('#contextlost', e => e.classList.contains('hidden') ? '' : e.innerText);
  await shotOf('9-context-never-back.png');
  if (!said.includes('WebGL context was lost'))
    fail('a context never given back is not said on the page');
  else
    console.log(`ok   a context never given back is said on the page: "${said}"`);
  await page.close();
}
