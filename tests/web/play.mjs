// A live session in the page as a person plays one: the tab hidden behind
// another and shown again, Esc, the recording saved from the start form
// (a real download), replayed natively and chosen again in the page; and
// the page inside a portal's iframe, whose scroll the scene's keys leave
// alone. What the scene does is read from its trace (index.html?trace=on).
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';

import {compareTraces} from './checks.mjs';

// No frame moves the scene by more than this, in seconds, whatever the
// browser did meanwhile.
const longestFrame = 0.25;

const column = (trace, name) => {
  const index = trace[0].split(',').indexOf(name);
  return trace.slice(1).map(row => row.split(',')[index]);
};

export async function playSection({browser, openPage, server, shots, work, nativeBuild, fail, sleep}) {
  const check = (ok, text) => ok ? console.log('ok   ' + text) : fail(text);
  const {page, log} = await openPage(640, 480);
  const audio = () => page.evaluate(() => (typeof AL != 'undefined' && AL.currentCtx ? AL.currentCtx.audioCtx.state : 'none'));
  await page.goto(server.url + 'index.html?trace=on');
  await page.waitForSelector('#start:not([disabled])', {timeout: 30000});
  check(await page.$eval('#save-recording', a => !a.checkVisibility()), 'no "Save the recording" before a session');
  await page.click('#start');
  await sleep(5000);  // past the intro
  await page.keyboard.press('L');
  await page.keyboard.down('e');
  await sleep(400);
  await page.keyboard.up('e');
  await page.keyboard.press('t');
  await sleep(1000);

  // Hidden behind another tab for 4 s: no frames, the sound paused; then
  // the scene goes on from where it was.
  const totalBefore = Number(column(log.trace, 'totalTime').at(-1));
  const other = await browser.newPage();
  await other.bringToFront();
  await sleep(1000);
  const hidden = await page.evaluate(() => document.visibilityState), hiddenSound = await audio();
  const rowsHidden = log.trace.length;
  await sleep(3000);
  const framesWhileHidden = log.trace.length - rowsHidden;
  await page.bringToFront();
  await other.close();
  await sleep(1000);
  const shownSound = await audio();
  const times = column(log.trace, 'frameTime').map(Number), totals = column(log.trace, 'totalTime').map(Number);
  const longest = Math.max(...times), longestAt = times.indexOf(longest);
  // Over the 4 s behind the other tab and the second after, the scene's time
  // moves by about the second it was seen.
  const moved = totals.at(-1) - totalBefore;
  check(hidden === 'hidden' && framesWhileHidden === 0 && longest <= longestFrame && moved < 2,
        `a tab hidden for 4 s (${hidden}, ${framesWhileHidden} frames meanwhile): the scene's time moves ` +
        `${moved.toFixed(2)} s over the 4 s hidden and 1 s shown; the longest frame ${longest.toFixed(3)} s, ` +
        `frame ${longestAt} (${rowsHidden - 1} before hiding) ` +
        `(at most ${longestFrame})`);
  check(hiddenSound === 'suspended' && shownSound === 'running',
        `the sound pauses with the tab: ${hiddenSound} while hidden, ${shownSound} when shown`);

  // Esc: back at the start form, which offers the session's recording.
  await page.keyboard.press('Escape');
  await page.waitForSelector('#startpage:not(.hidden)', {timeout: 20000});
  await page.waitForSelector('#start:not([disabled])', {timeout: 30000});
  const live = log.trace.slice();
  const offered = await page.$eval('#save-recording', a => a.checkVisibility() && a.textContent);
  await page.screenshot({path: path.join(shots, 'play-save-recording.png')});
  check(offered === 'Save the recording', `after the session the form offers "${offered}"`);

  // Saved as a person saves it: a click, and the browser's download.
  const downloads = path.join(work, 'downloads');
  fs.mkdirSync(downloads, {recursive: true});
  const cdp = await page.createCDPSession();
  await cdp.send('Browser.setDownloadBehavior', {behavior: 'allow', downloadPath: downloads});
  await page.click('#save-recording');
  let saved = [];
  for (const end = Date.now() + 10000; !saved.length && Date.now() < end; await sleep(100))
    saved = fs.readdirSync(downloads).filter(name => /^vexarion-recording-.*\.txt$/.test(name));
  if (!saved.length) {
    fail('no recording was downloaded: ' + fs.readdirSync(downloads).join(', '));
    return;
  }
  const recording = path.join(downloads, saved[0]);
  const nativeTrace = path.join(work, 'play-native.csv');
  execFileSync('./vexarion-replay-null', ['--script', recording, '--trace', nativeTrace],
               {cwd: nativeBuild, stdio: 'ignore'});
  const native = fs.readFileSync(nativeTrace, 'utf8').trimEnd().split('\n');
  const same = compareTraces(native, live);
  check(same.ok, `the saved ${saved[0]} (${fs.statSync(recording).size} bytes) replayed by vexarion-replay-null ` +
                 `gives the live session's trace: ${same.report}`);

  // Something else dropped on the page is refused on the form.
  await page.evaluate(() => {
    const data = new DataTransfer();
    data.items.add(new File(['100 type L\n'], 'notes.txt', {type: 'text/plain'}));
    document.body.dispatchEvent(new DragEvent('drop', {dataTransfer: data, bubbles: true, cancelable: true}));
  });
  await page.waitForFunction(() => document.getElementById('status').textContent.includes('not a recording'));
  check(await page.$eval('#startpage', form => form.checkVisibility()), 'a dropped file that is no recording is ' +
        'refused: "' + await page.$eval('#status', status => status.textContent) + '"');

  // The recording chosen on the form replays in the page, at its own pace.
  const replayed = log.trace.length;
  const began = Date.now();
  await (await page.$('#recording-file')).uploadFile(recording);
  const recordedSeconds = Number(column(live, 'totalTime').at(-1)) + Number(column(live, 'frameTime').at(-1));
  while (!log.lines.includes('replay done') && Date.now() - began < 60000 + 3000 * recordedSeconds)
    await sleep(50);
  const seconds = (Date.now() - began) / 1000;
  const again = compareTraces(native, log.trace.slice(replayed));
  check(again.ok && seconds > 0.8 * recordedSeconds,
        `the recording chosen on the form replays in the page in ${seconds.toFixed(1)} s (recorded ` +
        `${recordedSeconds.toFixed(1)} s): ${again.report}`);
  // A damaged recording is refused on the form, with the program's reason on the console.
  await page.waitForSelector('#start:not([disabled])', {timeout: 30000});
  const damaged = path.join(work, 'damaged-recording.txt');
  fs.writeFileSync(damaged, fs.readFileSync(recording, 'utf8').replace(/\n5 time [^\n]*/, '\n5 tme 0.02'));
  await (await page.$('#recording-file')).uploadFile(damaged);
  await page.waitForFunction(() => document.getElementById('status').textContent.includes('cannot be replayed'));
  check(await page.$eval('#startpage', form => form.checkVisibility()) && log.lines.some(l => /line \d+/.test(l)),
        'a damaged recording is refused on the form: "' + await page.$eval('#status', status => status.textContent) +
        '"; the console: ' + log.lines.find(l => /line \d+/.test(l)));
  const unexpected = log.errors.filter(e => !e.includes('not a recording') && !e.includes('cannot be replayed'));
  check(!unexpected.length, 'no other errors on the page: ' + unexpected.join('; '));
  await page.close();

  await portal({openPage, server, work, check, sleep});
}

// The page in a portal's iframe, on another origin, halfway down a long page.
async function portal({openPage, server, work, check, sleep}) {
  const game = server.url + 'index.html?trace=on';
  fs.writeFileSync(path.join(work, 'portal.html'), `<!DOCTYPE html><html><body style="margin:0">
<p id="text" style="height:1500px">A portal's page</p>
<iframe id="game" src="${game}" width="640" height="400" style="border:0"></iframe>
<div style="height:3000px"></div></body></html>`);
  const {page, log} = await openPage(900, 700);
  // Another origin than the game's: localhost against 127.0.0.1.
  await page.goto(server.url.replace('127.0.0.1', 'localhost') + 'work/portal.html');
  await page.evaluate(() => window.scrollTo(0, 1200));
  const frame = await (await page.$('#game')).contentFrame();
  await frame.waitForSelector('#start:not([disabled])', {timeout: 30000});
  await frame.click('#start');
  await sleep(5000);  // past the intro
  const scroll = () => page.evaluate(() => window.scrollY);
  // The portal's own keys scroll it, while it has them.
  await page.mouse.click(450, 100);
  await page.keyboard.press('PageDown');
  await sleep(300);
  const scrolled = await scroll();
  await page.evaluate(() => window.scrollTo(0, 1200));
  await sleep(300);
  // A click on the canvas, and the keys are the scene's.
  const box = await (await page.$('#game')).boundingBox();
  const clicked = log.trace.length;
  await page.mouse.click(box.x + box.width / 2, box.y + box.height / 2);
  // The frame has the keys once it has taken the click: its next frames
  // come after the click's events.
  for (const end = Date.now() + 10000; log.trace.length < clicked + 2 && Date.now() < end;)
    await sleep(20);
  const rows = log.trace.length;
  for (const key of ['ArrowDown', 'PageDown', 'Space', 'End', 'ArrowUp', 'Home', 'PageUp', 'ArrowRight'])
    await page.keyboard.press(key);
  await page.keyboard.press('L');
  await sleep(1000);
  const after = await scroll();
  const events = column(log.trace, 'events').slice(rows - 1);
  check(scrolled > 1200 && after === 1200 && events.some(e => (e || '').includes('thunder')),
        `in a portal's iframe: the portal's page down scrolls it (to ${scrolled}); after a click on the canvas ` +
        `the scene's keys leave it at ${after} and L strikes (${log.trace.length - rows} frames traced)`);
  await page.close();
}
