// The page without a keyboard: a phone held upright and turned, its touch
// buttons driven by real touch events (CDP Input.dispatchTouchEvent), and a
// desktop window with a scripted game pad. What the scene does is read from
// the live scene's trace (index.html?trace=on).
import path from 'node:path';

import {brightness} from './checks.mjs';

const labels = ['Lower the land', 'Raise the land', 'Lower the sea', 'Raise the sea', 'Lightning', 'Tornado down',
                'Tornado up', 'Frame rate', 'Quit'];
const phone = {deviceScaleFactor: 3, isMobile: true, hasTouch: true};
const pixelRatioCap = 2;

// A row of a live trace (the latest by default), by column name.
function latest(log, index = log.trace.length - 1) {
  const header = log.trace[0].split(',');
  const row = log.trace[index].split(',');
  const value = name => Number(row[header.indexOf(name)]);
  return {frame: value('frame'), scale: value('characterScale'), land: value('landLevel'), sea: value('seaLevel'),
          flash: value('flashIntensity'), events: row[header.indexOf('events')] || ''};
}
const thunder = row => row.flash > 0 && row.events.includes('thunder');

// Everything said about the page's canvas and buttons in one look.
function looks(page) {
  return page.evaluate(() => {
    const canvas = document.getElementById('canvas');
    const box = canvas.getBoundingClientRect();
    const buttons = [...document.querySelectorAll('#touch button')].map(button => {
      const r = button.getBoundingClientRect();
      return {label: button.getAttribute('aria-label'), x: r.x, y: r.y, width: r.width, height: r.height,
              shown: button.checkVisibility(), held: button.classList.contains('held')};
    });
    return {css: [box.x, box.y, box.width, box.height], pixels: [canvas.width, canvas.height],
            viewport: [innerWidth, innerHeight], buttons};
  });
}

export async function touchSection({openPage, server, shots, fail, sleep}) {
  const check = (ok, text) => ok ? console.log('ok   ' + text) : fail(text);
  // Whether a row written from now on within `seconds` passes `test`.
  const until = async (log, test, seconds) => {
    let next = Math.max(1, log.trace.length);
    for (const end = Date.now() + seconds * 1000; Date.now() < end; await sleep(50))
      for (; next < log.trace.length; next++)
        if (test(latest(log, next)))
          return true;
    return false;
  };
  // How much `level` moved over `ms`, once the frames have caught up.
  const moved = async (log, level, ms) => {
    const before = latest(log)[level];
    await sleep(ms);
    return latest(log)[level] - before;
  };
  // The canvas covers the viewport, with CSS pixels times the capped ratio.
  const fills = (look, ratio) => look.css.join() === `0,0,${look.viewport.join()}` &&
    look.pixels.join() === look.viewport.map(side => Math.round(side * Math.min(ratio, pixelRatioCap))).join();
  // The nine buttons, each a thumb's size, none over the middle half of the picture.
  const buttonsFit = look => {
    const [w, h] = look.viewport;
    const middle = b => b.x < 0.75 * w && b.x + b.width > 0.25 * w && b.y < 0.75 * h && b.y + b.height > 0.25 * h;
    return look.buttons.map(b => b.label).sort().join() === [...labels].sort().join() &&
      look.buttons.every(b => b.shown && b.width >= 48 && b.height >= 48 && b.x >= 0 && b.y >= 0 &&
                              b.x + b.width <= w && b.y + b.height <= h && !middle(b));
  };

  // The phone.
  const {page, log} = await openPage(390, 844, phone);
  await page.goto(server.url + 'index.html?trace=on');
  await page.waitForSelector('#start:not([disabled])', {timeout: 30000});
  const layout = await page.evaluate(() => ({
    width: document.documentElement.clientWidth,
    modes: [...document.querySelectorAll('#mode option')].map(o => o.textContent),
  }));
  check(layout.width === 390 && layout.modes.includes('Full screen'),
        `the phone lays the page out ${layout.width} pixels wide; modes ${layout.modes.join(', ')}`);
  await page.screenshot({path: path.join(shots, 'touch-phone-start.png'),
                         clip: {x: 0, y: 0, width: 390, height: 844, scale: 1 / 3}});
  await page.tap('#start');
  await page.waitForFunction(() => document.getElementById('canvas').checkVisibility());
  let look = await looks(page);
  check(fills(look, 3), `upright, the canvas covers the viewport (${look.css.join(',')} CSS, ${look.pixels.join('x')} pixels)`);
  check(buttonsFit(look), 'the nine buttons show from the start, thumb-sized, off the middle: ' +
                          look.buttons.filter(b => b.shown).map(b => `${b.label} ${b.width}x${b.height}`).join(', '));
  const centre = label => {
    const b = look.buttons.find(button => button.label === label);
    return {x: b.x + b.width / 2, y: b.y + b.height / 2};
  };
  const cdp = await page.createCDPSession();
  const touches = (type, ...points) =>
    cdp.send('Input.dispatchTouchEvent', {type, touchPoints: points.map((p, id) => ({x: p.x, y: p.y, id}))});

  if (!await until(log, row => row.scale <= 10, 30))
    fail('the intro does not end on the phone');
  const shot = path.join(shots, 'touch-phone-upright.png');
  await page.screenshot({path: shot, clip: {x: 0, y: 0, width: 390, height: 844, scale: 1 / 3}});
  check(brightness(shot) > 15, 'the upright phone shows the scene');

  // One finger holds "Lower the land" while a second taps "Lightning", then
  // holds "Lower the sea" as well and slides off it; the first slides off
  // into the picture.
  const land = centre('Lower the land'), sea = centre('Lower the sea'), bolt = centre('Lightning');
  const middle = {x: 195, y: 422};
  await touches('touchStart', land);
  check(await moved(log, 'land', 700) < -1, 'one finger on "Lower the land" sinks the land');
  const strikes = until(log, thunder, 5);
  await touches('touchStart', land, bolt);
  const struck = await strikes;
  const landGoesOn = await moved(log, 'land', 700);
  check(struck && landGoesOn < -1, `a second finger taps "Lightning": it strikes (${struck}) while the land goes on ` +
                                   `sinking (${landGoesOn.toFixed(2)})`);
  await touches('touchMove', land, sea);
  await sleep(300);
  const [landFalls, seaFalls] = await Promise.all([moved(log, 'land', 700), moved(log, 'sea', 700)]);
  check(landFalls < -1 && seaFalls < -1, `it slides onto "Lower the sea": two buttons held, the land ` +
                                          `${landFalls.toFixed(2)}, the sea ${seaFalls.toFixed(2)}`);
  await touches('touchMove', land, middle);
  await sleep(300);
  const seaStops = await moved(log, 'sea', 700);
  check(seaStops === 0, `it slides off into the picture: the sea stops (${seaStops})`);
  await touches('touchMove', middle, middle);
  await sleep(300);
  const landStops = await moved(log, 'land', 700);
  check(landStops === 0, `the first finger slides off too: the land stops (${landStops})`);
  await touches('touchEnd');
  look = await looks(page);
  check(!look.buttons.some(b => b.held), 'lifted fingers hold nothing');

  // A swipe and a pinch move nothing.
  await touches('touchStart', middle);
  for (let step = 1; step <= 5; step++)
    await touches('touchMove', {x: middle.x, y: middle.y - 60 * step});
  await touches('touchEnd');
  await touches('touchStart', {x: 180, y: 400}, {x: 210, y: 440});
  for (let step = 1; step <= 5; step++)
    await touches('touchMove', {x: 180 - 25 * step, y: 400 - 40 * step}, {x: 210 + 25 * step, y: 440 + 40 * step});
  await touches('touchEnd');
  const still = await page.evaluate(() => ({scroll: scrollY, scale: visualViewport.scale,
                                             selected: String(getSelection())}));
  check(still.scroll === 0 && still.scale === 1 && still.selected === '',
        `a swipe and a pinch: scrolled ${still.scroll}, zoom ${still.scale}, selected "${still.selected}"`);

  // Turned on its side.
  await page.setViewport({width: 844, height: 390, ...phone});
  await page.waitForFunction(() => document.getElementById('canvas').width === 844 * 2, {timeout: 10000}).catch(() => {});
  look = await looks(page);
  check(fills(look, 3) && buttonsFit(look), `turned, the canvas follows (${look.css.join(',')} CSS, ` +
                                             `${look.pixels.join('x')} pixels) and the buttons fit`);
  const turned = path.join(shots, 'touch-phone-turned.png');
  await page.screenshot({path: turned, clip: {x: 0, y: 0, width: 844, height: 390, scale: 1 / 3}});
  check(brightness(turned) > 15, 'the turned phone shows the scene');

  // A key hides the buttons; a touch brings them back; Quit ends the scene.
  await page.keyboard.press('Shift');
  look = await looks(page);
  check(look.buttons.every(b => !b.shown), 'a key press hides the buttons');
  await touches('touchStart', middle);
  await touches('touchEnd');
  look = await looks(page);
  check(look.buttons.every(b => b.shown), 'a touch shows them again');
  // The page the scene goes back to comes from a browser without the Fullscreen API.
  await page.evaluateOnNewDocument(() => {
    delete Document.prototype.fullscreenEnabled;
    delete Element.prototype.requestFullscreen;
  });
  const quit = look.buttons.find(b => b.label === 'Quit');
  const navigated = new Promise(resolve => page.once('framenavigated', resolve));
  await touches('touchStart', {x: quit.x + quit.width / 2, y: quit.y + quit.height / 2});
  await touches('touchEnd');
  await Promise.race([navigated, sleep(20000)]);
  await page.waitForSelector('#start:not([disabled])', {timeout: 30000}).catch(() => {});
  const modes = await page.$$eval('#mode option', options => options.map(o => o.textContent));
  check(await page.$eval('#startpage', e => e.checkVisibility()) && !modes.includes('Full screen'),
        `"Quit" goes back to the start form; without the Fullscreen API the modes are ${modes.join(', ')}`);
  if (log.errors.length)
    fail('errors on the phone: ' + log.errors.join('; '));
  await page.close();

  await desktop({openPage, server, shots, check, fail, until, moved, sleep, looks, fills});
}

// A desktop window with no touch, and a game pad scripted through
// navigator.getGamepads in the standard mapping.
async function desktop({openPage, server, shots, check, fail, until, moved, sleep, fills}) {
  const {page, log} = await openPage(1600, 1000);
  await page.evaluateOnNewDocument(() => {
    const pad = {id: 'scripted pad', index: 0, mapping: 'standard', connected: true, timestamp: 0,
                 axes: [0, 0, 0, 0], buttons: Array.from({length: 17}, () => ({pressed: false, value: 0}))};
    let plugged = false;
    navigator.getGamepads = () => [plugged ? pad : null];
    const say = type => {
      const event = new Event(type);
      event.gamepad = pad;
      window.dispatchEvent(event);
    };
    window.pad = {
      plug() { plugged = true; pad.connected = true; say('gamepadconnected'); },
      unplug() { plugged = false; pad.connected = false; say('gamepaddisconnected'); },
      button(number, down) { pad.buttons[number] = {pressed: down, value: down ? 1 : 0}; pad.timestamp++; },
    };
  });
  await page.goto(server.url + 'index.html?trace=on');
  await page.waitForSelector('#start:not([disabled])', {timeout: 30000});
  await page.click('#start');
  await page.waitForFunction(() => document.getElementById('canvas').checkVisibility());
  let look = await looks(page);
  check(fills(look, 1) && look.buttons.every(b => !b.shown),
        `the desktop's canvas covers its window (${look.pixels.join('x')} pixels), no touch button shows`);
  if (!await until(log, row => row.scale <= 10, 30))
    fail('the intro does not end on the desktop');
  const shot = path.join(shots, 'touch-desktop.png');
  await page.screenshot({path: shot});
  check(brightness(shot) > 15, 'the wide window shows the scene');
  await page.setViewport({width: 1200, height: 800});
  await page.waitForFunction(() => document.getElementById('canvas').width === 1200, {timeout: 10000}).catch(() => {});
  look = await looks(page);
  check(fills(look, 1), `the canvas follows the window to ${look.pixels.join('x')}`);

  // Plugged in after the start: A strikes, the D-pad lowers the sea, and
  // unplugging it mid-hold stops the sea.
  const strikes = until(log, thunder, 5);
  await page.evaluate(() => {
    window.pad.plug();
    window.pad.button(0, true);
  });
  const struck = await strikes;
  await page.evaluate(() => {
    window.pad.button(0, false);
    window.pad.button(13, true);
  });
  await sleep(300);
  const falls = await moved(log, 'sea', 700);
  await page.evaluate(() => window.pad.unplug());
  await sleep(300);
  const stops = await moved(log, 'sea', 700);
  check(struck && falls < -1 && stops === 0, `a pad plugged in late: A strikes (${struck}), the D-pad lowers the ` +
                                              `sea (${falls.toFixed(2)}), unplugged it stops (${stops})`);
  if (log.errors.length)
    fail('errors on the desktop: ' + log.errors.join('; '));
  await page.close();
}
