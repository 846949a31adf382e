// The page without a keyboard: a phone held upright and turned, its touch
// buttons driven by real touch events (CDP Input.dispatchTouchEvent), and a
// desktop window with a scripted game pad. What the scene does is read from
// the live scene's trace (index.html?trace=on).
import path from 'node:path';

import {brightness} from './checks.mjs';

const labels = ['Frame rate', 'Lightning', 'Lower the land', 'Lower the sea', 'Quit', 'Raise the land', 'Raise the sea',
                'Tornado down', 'Tornado up'];
const phone = {deviceScaleFactor: 3, isMobile: true, hasTouch: true};
const pixelRatioCap = 2;

// A row of a live trace (the latest by default), by column name.
function row(log, index = log.trace.length - 1) {
  const header = log.trace[0].split(','), cells = log.trace[index].split(',');
  const value = name => cells[header.indexOf(name)];
  return {scale: +value('characterScale'), land: +value('landLevel'), sea: +value('seaLevel'),
          flash: +value('flashIntensity'), events: value('events') || ''};
}
const thunder = r => r.flash > 0 && r.events.includes('thunder');

// The canvas and the buttons as the page lays them out now.
const looks = page => page.evaluate(() => {
  const canvas = document.getElementById('canvas'), box = canvas.getBoundingClientRect();
  return {css: [box.x, box.y, box.width, box.height], pixels: [canvas.width, canvas.height], viewport: [innerWidth, innerHeight],
          buttons: [...document.querySelectorAll('#touch button')].map(b => ({
            label: b.getAttribute('aria-label'), box: b.getBoundingClientRect().toJSON(), shown: b.checkVisibility(),
            held: b.classList.contains('held')}))};
});
// The canvas covers the viewport, with CSS pixels times the capped ratio.
const fills = (look, ratio) => look.css.join() === `0,0,${look.viewport.join()}` &&
  look.pixels.join() === look.viewport.map(side => Math.round(side * Math.min(ratio, pixelRatioCap))).join();
// The nine buttons show, each a thumb's size, inside the viewport and off its middle half.
function buttonsFit({buttons, viewport: [w, h]}) {
  const inside = ({x, y, width, height}) => x >= 0 && y >= 0 && x + width <= w && y + height <= h && width >= 48 &&
    height >= 48 && !(x < 0.75 * w && x + width > 0.25 * w && y < 0.75 * h && y + height > 0.25 * h);
  return buttons.map(b => b.label).sort().join() === labels.join() && buttons.every(b => b.shown && inside(b.box));
}

export async function touchSection({openPage, server, shots, fail, sleep}) {
  const check = (ok, text) => ok ? console.log('ok   ' + text) : fail(text);
  // Whether a row written from now on, within `seconds`, passes `test`.
  const until = async (log, test, seconds) => {
    let next = Math.max(1, log.trace.length);
    for (const end = Date.now() + seconds * 1000; Date.now() < end; await sleep(50))
      for (; next < log.trace.length; next++)
        if (test(row(log, next)))
          return true;
    return false;
  };
  // How far `level` moves in 0.7 s, after 0.3 s for the frames to catch up.
  const moved = async (log, level) => {
    await sleep(300);
    const before = row(log)[level];
    await sleep(700);
    return row(log)[level] - before;
  };
  const start = async (page, log, tap) => {
    await page.goto(server.url + 'index.html?trace=on');
    await page.waitForSelector('#start:not([disabled])', {timeout: 30000});
    const layout = await page.evaluate(() => [document.documentElement.clientWidth,
                                               [...document.querySelectorAll('#mode option')].map(o => o.textContent)]);
    await (tap ? page.tap('#start') : page.click('#start'));
    await page.waitForFunction(() => document.getElementById('canvas').checkVisibility());
    return layout;
  };
  const shoot = async (page, name, [width, height]) => {
    const file = path.join(shots, name);
    await page.screenshot({path: file, clip: {x: 0, y: 0, width, height, scale: 1 / 3}});
    check(brightness(file) > 15, `${name} shows the scene`);
  };

  // The phone, upright.
  const {page, log} = await openPage(390, 844, phone);
  const [width, modes] = await start(page, log, true);
  let look = await looks(page);
  check(width === 390 && modes.includes('Full screen') && fills(look, 3) && buttonsFit(look),
        `the phone lays the page out ${width} pixels wide (modes ${modes.join(', ')}); the canvas covers it ` +
        `(${look.pixels.join('x')} pixels) and the nine buttons show from the start`);
  const centre = label => {
    const {x, y, width, height} = look.buttons.find(b => b.label === label).box;
    return {x: x + width / 2, y: y + height / 2};
  };
  const cdp = await page.createCDPSession();
  const touches = (type, ...points) =>
    cdp.send('Input.dispatchTouchEvent', {type, touchPoints: points.map((p, id) => ({x: p.x, y: p.y, id}))});
  if (!await until(log, r => r.scale <= 10, 30))
    fail('the intro does not end on the phone');
  await shoot(page, 'touch-phone-upright.png', look.viewport);

  // One finger holds "Lower the land" while a second taps "Lightning", then
  // holds "Lower the sea" as well and slides off it; then the first slides off.
  const land = centre('Lower the land'), sea = centre('Lower the sea'), middle = {x: 195, y: 422};
  await touches('touchStart', land);
  const sinks = await moved(log, 'land');
  const strikes = until(log, thunder, 5);
  await touches('touchStart', land, centre('Lightning'));
  const struck = await strikes, goesOn = await moved(log, 'land');
  await touches('touchMove', land, sea);
  const [landFalls, seaFalls] = await Promise.all([moved(log, 'land'), moved(log, 'sea')]);
  await touches('touchMove', land, middle);
  const seaStops = await moved(log, 'sea');
  await touches('touchMove', middle, middle);
  const landStops = await moved(log, 'land');
  await touches('touchEnd');
  look = await looks(page);
  check(sinks < -1 && struck && goesOn < -1 && landFalls < -1 && seaFalls < -1 && seaStops === 0 && landStops === 0 &&
        !look.buttons.some(b => b.held),
        `"Lower the land" held sinks the land (${sinks.toFixed(2)}); a second finger taps "Lightning": it strikes ` +
        `(${struck}), the land goes on (${goesOn.toFixed(2)}); it slides onto "Lower the sea": both fall ` +
        `(${landFalls.toFixed(2)}, ${seaFalls.toFixed(2)}); slid off, each stops (${seaStops}, ${landStops})`);

  // A swipe and a pinch move nothing.
  await touches('touchStart', middle);
  for (let step = 1; step <= 5; step++)
    await touches('touchMove', {x: middle.x, y: middle.y - 60 * step});
  await touches('touchEnd');
  await touches('touchStart', {x: 180, y: 400}, {x: 210, y: 440});
  for (let step = 1; step <= 5; step++)
    await touches('touchMove', {x: 180 - 25 * step, y: 400 - 40 * step}, {x: 210 + 25 * step, y: 440 + 40 * step});
  await touches('touchEnd');
  const still = await page.evaluate(() => [scrollY, visualViewport.scale, String(getSelection())]);
  check(still.join() === '0,1,', `a swipe and a pinch: scrolled, zoomed, selected: ${still.join(', ')}`);

  // Turned on its side; a key hides the buttons, a touch brings them back.
  await page.setViewport({width: 844, height: 390, ...phone});
  await page.waitForFunction(() => document.getElementById('canvas').width === 844 * 2, {timeout: 10000}).catch(() => {});
  look = await looks(page);
  check(fills(look, 3) && buttonsFit(look), `turned, the canvas follows (${look.pixels.join('x')}) and the buttons fit`);
  await shoot(page, 'touch-phone-turned.png', look.viewport);
  await page.keyboard.press('Shift');
  const hidden = (await looks(page)).buttons.every(b => !b.shown);
  await touches('touchStart', middle);
  await touches('touchEnd');
  check(hidden && (await looks(page)).buttons.every(b => b.shown), 'a key press hides the buttons, a touch shows them');

  // A touch that slides off "Quit" keeps the scene; lifted from it, the page
  // goes back to its start form. Loaded again without the Fullscreen API,
  // the form offers no "Full screen".
  const quit = centre('Quit');
  await touches('touchStart', quit);
  await touches('touchMove', middle);
  await touches('touchEnd');
  await sleep(500);
  const kept = await page.evaluate(() => document.documentElement.classList.contains('playing'));
  await touches('touchStart', quit);
  await touches('touchEnd');
  await page.waitForSelector('#startpage:not(.hidden)', {timeout: 20000}).catch(() => {});
  const formBack = await page.$eval('#startpage', e => e.checkVisibility());
  await page.evaluateOnNewDocument(() => {
    delete Document.prototype.fullscreenEnabled;
    delete Element.prototype.requestFullscreen;
  });
  await page.reload();
  await page.waitForSelector('#start:not([disabled])', {timeout: 30000}).catch(() => {});
  const after = await page.$$eval('#mode option', options => options.map(o => o.textContent));
  check(kept && formBack && !after.includes('Full screen'),
        `slid off, "Quit" keeps the scene (${kept}); lifted, it goes back to the start form (${formBack}); without the ` +
        `Fullscreen API its modes are ` + after.join(', '));
  if (log.errors.length)
    fail('errors on the phone: ' + log.errors.join('; '));
  await page.close();

  // A desktop window without touch, and a pad in the standard mapping
  // scripted through navigator.getGamepads, plugged in after the start.
  const desk = await openPage(1600, 1000);
  await desk.page.evaluateOnNewDocument(() => {
    const pad = {id: 'scripted', index: 0, mapping: 'standard', connected: false, timestamp: 0, axes: [0, 0, 0, 0],
                 buttons: Array.from({length: 17}, () => ({pressed: false, value: 0}))};
    navigator.getGamepads = () => [pad.connected ? pad : null];
    window.pad = {
      plug(on) {
        pad.connected = on;
        window.dispatchEvent(Object.assign(new Event(on ? 'gamepadconnected' : 'gamepaddisconnected'), {gamepad: pad}));
      },
      button(number, down) { pad.buttons[number] = {pressed: down, value: down ? 1 : 0}; },
    };
  });
  await start(desk.page, desk.log, false);
  look = await looks(desk.page);
  const filled = fills(look, 1) && look.buttons.every(b => !b.shown);
  if (!await until(desk.log, r => r.scale <= 10, 30))
    fail('the intro does not end on the desktop');
  await shoot(desk.page, 'touch-desktop.png', look.viewport);
  await desk.page.setViewport({width: 1200, height: 800});
  await desk.page.waitForFunction(() => document.getElementById('canvas').width === 1200, {timeout: 10000}).catch(() => {});
  check(filled && fills(await looks(desk.page), 1), 'the canvas covers the desktop window (no touch button) and ' +
                                                   'follows it to 1200x800');
  const padStrikes = until(desk.log, thunder, 5);
  await desk.page.evaluate(() => window.pad.plug(true) || window.pad.button(0, true));
  const padStruck = await padStrikes;
  await desk.page.evaluate(() => window.pad.button(0, false) || window.pad.button(13, true));
  const falls = await moved(desk.log, 'sea');
  // Another tab in front takes the focus: the pad's hold counts only while it is back.
  const other = await openPage(800, 600);
  await other.page.bringToFront();
  const away = await moved(desk.log, 'sea');
  await other.page.close();
  await desk.page.bringToFront();
  const back = await moved(desk.log, 'sea');
  await desk.page.evaluate(() => window.pad.plug(false));
  const unplugged = await moved(desk.log, 'sea');
  check(padStruck && falls < -1 && away === 0 && back < -1 && unplugged === 0,
        `a pad plugged in late: A strikes (${padStruck}), the D-pad lowers the sea (${falls.toFixed(2)}), not while ` +
        `another tab has the focus (${away}, then ${back.toFixed(2)}), and unplugged mid-hold it stops (${unplugged})`);
  if (desk.log.errors.length)
    fail('errors on the desktop: ' + desk.log.errors.join('; '));
  await desk.page.close();
}
