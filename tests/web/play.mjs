// A live session in the page as a person plays one: the tab hidden behind
// another and shown again, Esc, the recording saved from the start form
// (a real download), replayed natively and chosen again in the page; and
// the page inside a portal's iframe, whose scroll the scene's keys leave
// alone. What the scene does is read from its trace (index.html?trace=on).
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';

import {brightness, compareTraces} from './checks.mjs';

// No frame moves the scene by more than this, in seconds, whatever the browser did meanwhile.
const longestFrame = 0.25;
const column = (trace, name) => trace.slice(1).map(row => row.split(',')[trace[0].split(',').indexOf(name)]);
const status = page => page.$eval('#status', element => element.textContent);
// The start form shows, ready, offering a recording (whether Esc reloads the page or not).
const formOffers = page => page.waitForFunction(() => document.getElementById('save-recording')?.checkVisibility() &&
                                                      !document.getElementById('start').disabled, {timeout: 30000});

export async function playSection({browser, openPage, server, shots, work, nativeBuild, fail, sleep}) {
  const check = (ok, text) => ok ? console.log('ok   ' + text) : fail(text);
  const {page, log} = await openPage(640, 480);
  const sound = () => page.evaluate(() => typeof AL != 'undefined' && AL.currentCtx && AL.currentCtx.audioCtx.state);
  await page.goto(server.url + 'index.html?trace=on');
  await page.waitForSelector('#start:not([disabled])', {timeout: 30000});
  await page.click('#start');
  await sleep(5000);  // past the intro
  await page.keyboard.press('L');
  await page.keyboard.down('e');
  await sleep(400);
  await page.keyboard.up('e');
  await page.keyboard.press('t');
  await sleep(1000);

  // Hidden behind another tab for 4 s, then shown for 1 s: the scene's time
  // moves by about the second it was seen.
  const before = Number(column(log.trace, 'totalTime').at(-1));
  const other = await browser.newPage();
  await other.bringToFront();
  await sleep(1000);
  const hidden = [await page.evaluate(() => document.visibilityState), await sound(), log.trace.length];
  await sleep(3000);
  const framesHidden = log.trace.length - hidden[2];
  await page.bringToFront();
  await other.close();
  await sleep(1000);
  const times = column(log.trace, 'frameTime').map(Number), longest = Math.max(...times);
  const moved = Number(column(log.trace, 'totalTime').at(-1)) - before, shown = await sound();
  check(hidden[0] === 'hidden' && framesHidden === 0 && longest <= longestFrame && moved < 2 &&
        hidden[1] === 'suspended' && shown === 'running',
        `a tab hidden for 4 s (${hidden[0]}, ${framesHidden} frames): the scene moves ${moved.toFixed(2)} s over ` +
        `it and 1 s shown; the longest frame ${longest.toFixed(3)} s (frame ${times.indexOf(longest)}, at most ` +
        `${longestFrame}); the sound ${hidden[1]} while hidden, ${shown} when shown`);

  // Esc: the start form offers the session's recording, saved with a click
  // as the browser downloads it.
  await page.keyboard.press('Escape');
  await formOffers(page);
  const live = log.trace.slice();
  await page.screenshot({path: path.join(shots, 'play-save-recording.png')});
  const downloads = path.join(work, 'downloads');
  fs.mkdirSync(downloads, {recursive: true});
  await (await page.createCDPSession()).send('Browser.setDownloadBehavior', {behavior: 'allow', downloadPath: downloads});
  await page.click('#save-recording');
  let saved = [];
  for (const end = Date.now() + 10000; !saved.length && Date.now() < end; await sleep(100))
    saved = fs.readdirSync(downloads).filter(name => /^vexarion-recording-.*\.txt$/.test(name));
  if (!saved.length)
    return fail('"Save the recording" downloaded nothing');
  const recording = path.join(downloads, saved[0]), nativeTrace = path.join(work, 'play-native.csv');
  execFileSync('./vexarion-replay-null', ['--script', recording, '--trace', nativeTrace], {cwd: nativeBuild, stdio: 'ignore'});
  const native = fs.readFileSync(nativeTrace, 'utf8').trimEnd().split('\n');
  const same = compareTraces(native, live);
  check(same.ok, `"Save the recording" downloads ${saved[0]}; vexarion-replay-null --script gives the live ` +
                 `session's trace: ${same.report}`);

  // Chosen on the form, it replays in the page at its own pace.
  const replayed = log.trace.length, began = Date.now();
  await (await page.$('#recording-file')).uploadFile(recording);
  const recorded = Number(column(live, 'totalTime').at(-1)), picture = path.join(shots, 'play-replay.png');
  await sleep(3000);
  await page.screenshot({path: picture});
  while (!log.lines.includes('replay done') && Date.now() - began < 60000 + 3000 * recorded)
    await sleep(50);
  const seconds = (Date.now() - began) / 1000, again = compareTraces(native, log.trace.slice(replayed));
  check(again.ok && seconds > 0.8 * recorded && brightness(picture) > 15, `the recording chosen on the form ` +
        `replays in the page, drawn (brightness ${brightness(picture).toFixed(1)}), in ${seconds.toFixed(1)} s ` +
        `(recorded ${recorded.toFixed(1)} s): ${again.report}`);

  // Dropped on the page damaged, it is refused on the form, the program saying why.
  await formOffers(page);
  const damaged = fs.readFileSync(recording, 'utf8').replace(/\n5 time [^\n]*/, '\n5 tme 0.02');
  await page.evaluate(text => {
    const data = new DataTransfer();
    data.items.add(new File([text], 'damaged.txt', {type: 'text/plain'}));
    document.body.dispatchEvent(new DragEvent('drop', {dataTransfer: data, bubbles: true, cancelable: true}));
  }, damaged);
  await page.waitForFunction(() => document.getElementById('status').textContent.includes('cannot be replayed'));
  const why = log.lines.find(line => /line \d+/.test(line));
  const unexpected = log.errors.filter(e => !e.includes('cannot be replayed'));
  check(await page.$eval('#startpage', form => form.checkVisibility()) && why && !unexpected.length,
        `a damaged recording dropped on the page: "${await status(page)}", the console: ${why}; ` +
        `no other error: ${unexpected.join('; ')}`);
  await page.close();

  await portal({openPage, server, work, check, sleep});
}

// The page in a portal's iframe, on another origin (localhost against
// 127.0.0.1), halfway down a long page scrolled to 1200.
async function portal({openPage, server, work, check, sleep}) {
  fs.writeFileSync(path.join(work, 'portal.html'), `<!DOCTYPE html><body style="margin:0">
<p style="height:1500px">A portal's page</p><iframe id="game" src="${server.url}index.html?trace=on" width="640"
height="400" style="border:0"></iframe><div style="height:3000px"></div></body>`);
  const {page, log} = await openPage(900, 700);
  await page.bringToFront();  // the browser's focused tab, as the one a person looks at
  await page.goto(server.url.replace('127.0.0.1', 'localhost') + 'work/portal.html');
  await page.evaluate(() => window.scrollTo(0, 1200));
  const frame = await (await page.$('#game')).contentFrame();
  await frame.waitForSelector('#start:not([disabled])', {timeout: 30000});
  await frame.click('#start');
  await sleep(5000);  // past the intro
  const scroll = () => page.evaluate(() => window.scrollY);
  // The portal's own Page Down scrolls it while it has the keys.
  await page.mouse.click(450, 100);
  await page.keyboard.press('PageDown');
  await sleep(300);
  const scrolled = await scroll();
  await page.evaluate(() => window.scrollTo(0, 1200));
  // A click on the canvas gives the scene the keys.
  // The frame takes the focus; the browser routes the keys to the frame's
  // process a while after that (here, under load, up to seconds). A click
  // the busy browser lost is clicked again, as a person would.
  const box = await (await page.$('#game')).boundingBox();
  const focused = () => frame.evaluate(() => document.hasFocus() && document.activeElement.id === 'canvas');
  for (let clicks = 0; clicks < 3; clicks++) {
    await page.mouse.click(box.x + box.width / 2, box.y + box.height / 2);
    for (const end = Date.now() + 4000; !(await focused()) && Date.now() < end;)
      await sleep(50);
    if (await focused())
      break;
  }
  await sleep(3000);
  const rows = log.trace.length;
  for (const key of ['ArrowDown', 'PageDown', 'Space', 'End', 'ArrowUp', 'Home', 'PageUp', 'ArrowRight', 'L'])
    await page.keyboard.press(key);
  await sleep(1000);
  const after = await scroll(), events = column(log.trace, 'events').slice(rows - 1);
  check(scrolled > 1200 && after === 1200 && events.some(e => (e || '').includes('thunder')),
        `in a portal's iframe: the portal's Page Down scrolls it (to ${scrolled}); after a click on the canvas ` +
        `the scene's keys leave it at ${after} and L strikes`);
  await page.close();
}
