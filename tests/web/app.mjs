// The page as an app, each part in a browser context of its own (its own
// storage, caches and service worker): the manifest's icons; the loading
// bar on a slow network, and failed downloads named on the page; the
// switches kept across a reload, and damaged storage giving the defaults;
// "Reduced flash" dimming the flash, "Sound" off and a hidden tab silencing
// the scene; Esc back to the form with nothing downloaded again, and Start!
// again beginning the scene afresh; offline after one visit; a new build's
// cache replacing the old one.
import fs from 'node:fs';
import path from 'node:path';

import {brightness} from './checks.mjs';

// In the page before its own scripts: every sound also reaches an analyser
// (a closed context, a scene that ended, no longer counts), and the tab can
// be told hidden or shown.
function instrument() {
  window.analysers = [];
  const connect = AudioNode.prototype.connect;
  AudioNode.prototype.connect = function(target, ...rest) {
    if (target instanceof AudioDestinationNode)
      window.analysers.push(connect.call(this, target.context.createAnalyser()));
    return connect.call(this, target, ...rest);
  };
  window.loudness = () => Math.max(0, ...window.analysers.filter(a => a.context.state === 'running').map(a => {
    const samples = new Float32Array(a.fftSize);
    a.getFloatTimeDomainData(samples);
    return Math.max(...samples.map(Math.abs));
  }));
  window.pretendHidden = hidden => {
    Object.defineProperty(document, 'hidden', {configurable: true, get: () => hidden});
    Object.defineProperty(document, 'visibilityState', {configurable: true, get: () => hidden ? 'hidden' : 'visible'});
    document.dispatchEvent(new Event('visibilitychange'));
  };
}

export async function appSection({browser, server, shots, work, fail, sleep}) {
  const check = (ok, text) => ok ? console.log('ok   ' + text) : fail(text);
  const contexts = [];
  async function openApp(width = 800, height = 600) {
    const context = await browser.createBrowserContext();
    contexts.push(context);
    const page = await context.newPage();
    await page.setViewport({width, height});
    await page.evaluateOnNewDocument(instrument);
    const log = {errors: [], requests: [], trace: []};
    page.on('console', message => {
      if (message.text().startsWith('trace: '))
        log.trace.push(message.text().slice(7));
      else if (message.type() === 'error')
        log.errors.push(message.text());
    });
    page.on('pageerror', error => log.errors.push('page error: ' + error.message));
    page.on('request', request => log.requests.push(request.url()));
    return {page, log};
  }
  const ready = page => page.waitForSelector('#start:not([disabled])', {timeout: 60000});
  const switches = page => page.evaluate(() => JSON.stringify(['mode', 'reduced-flash', 'sound'].map(id => {
    const control = document.getElementById(id);
    return control.type === 'checkbox' ? control.checked : control.value;
  })));
  const loudest = async page => {
    let peak = 0;
    for (let i = 0; i < 12; i++, await sleep(50))
      peak = Math.max(peak, await page.evaluate(() => window.loudness()));
    return peak;
  };
  // The canvas's brightness now, its picture kept as `name` in the shots.
  const canvasBrightness = async (page, name = '') => {
    const file = name ? path.join(shots, name) : path.join(work, 'app-canvas.png');
    await (await page.$('#canvas')).screenshot({path: file});
    return brightness(file);
  };
  // Strikes until a picture catches a full flash (it fades within a third
  // of a second, and a busy machine takes long for a picture), at most 8
  // times: how much brighter the brightest picture is than before.
  const flashRise = async page => {
    const before = await canvasBrightness(page);
    let brightest = 0;
    for (let strike = 0; strike < 8 && brightest < before + 8; strike++, await sleep(400)) {
      await page.keyboard.press('L');
      for (let i = 0; i < 3; i++)
        brightest = Math.max(brightest, await canvasBrightness(page));
    }
    return brightest - before;
  };

  try {
    // The manifest and its icons; the switches kept; whatever else is stored gives the defaults.
    {
      const {page, log} = await openApp();
      await page.goto(server.url);
      await ready(page);
      const manifest = await page.evaluate(async () => {
        const link = document.querySelector('link[rel="manifest"]'), json = await (await fetch(link.href)).json();
        for (const icon of json.icons) {
          const image = await createImageBitmap(await (await fetch(new URL(icon.src, link.href))).blob());
          icon.loaded = `${image.width}x${image.height}`;
        }
        return json;
      });
      const icons = manifest.icons.map(icon => icon.loaded).sort().join();
      check(manifest.name === 'Vexarion' && ['fullscreen', 'standalone'].includes(manifest.display) &&
            icons === '192x192,512x512' && manifest.icons.every(icon => icon.sizes === icon.loaded),
            `manifest: "${manifest.name}", ${manifest.display}, icons ${icons} load`);
      const defaults = await switches(page);
      await page.click('#reduced-flash');
      await page.click('#sound');
      await page.select('#mode', 'fullscreen');
      await page.reload();
      await ready(page);
      await page.screenshot({path: path.join(shots, 'app-form.png')});
      const kept = await switches(page);
      check(defaults === '["window",false,true]' && kept === '["fullscreen",true,false]',
            `switches ${defaults} at first, ${kept} after ticking and a reload`);
      const damaged = ['{"mode":"window","reduc', 'null', '[true]', '{"mode":"huge","reducedFlash":1,"sound":"no"}'];
      const read = [];
      for (const value of damaged) {
        await page.evaluate(text => localStorage.setItem('vexarion.switches', text), value);
        await page.reload();
        await ready(page);
        read.push(await switches(page));
      }
      check(read.every(r => r === defaults) && !log.errors.length,
            `${damaged.length} damaged or foreign stored values give the defaults (${read.join(' ')}), no error ` +
            log.errors.join('; '));
    }

    // The loading bar on a slow network; a failed download named on the page.
    {
      const {page} = await openApp();
      const cdp = await page.createCDPSession();
      await cdp.send('Network.emulateNetworkConditions',
                     {offline: false, latency: 20, downloadThroughput: 1.5e6, uploadThroughput: 1e6});
      await page.goto(server.url);
      await page.waitForFunction(() => document.getElementById('loading-bar').position > 0.2, {timeout: 30000, polling: 50});
      await page.screenshot({path: path.join(shots, 'app-loading.png')});
      const text = await page.$eval('#loading-text', element => element.textContent);
      await ready(page);
      const gone = await page.$eval('#loading', element => element.classList.contains('hidden'));
      check(/^Loading: \d+\.\d MB of 3\.\d MB$/.test(text) && gone, `loading bar: "${text}", gone once loaded`);
    }
    const zeros = Buffer.alloc(fs.statSync(path.join(server.site, 'vexarion.wasm')).size);
    for (const [file, answer, said] of [['vexarion.wasm', 404, 'cannot load vexarion.wasm: the server answered 404'],
                                        ['vexarion.data', 'failed', 'cannot load vexarion.data: the network failed'],
                                        ['vexarion.wasm', 200, 'the program cannot start']]) {
      const {page} = await openApp();
      await page.setRequestInterception(true);
      page.on('request', request => !request.url().endsWith('/' + file) ? request.continue()
        : answer === 'failed' ? request.abort('failed') : request.respond({status: answer, body: answer === 200 ? zeros : ''}));
      await page.goto(server.url);
      await page.waitForFunction(() => document.getElementById('status').textContent, {timeout: 30000});
      const status = await page.$eval('#status', element => element.textContent);
      check(status.includes(said), `a failed download told: "${status}"`);
    }

    // A scene with the full flash and the sound, Esc, then one with
    // "Reduced flash" and without "Sound".
    {
      const {page, log} = await openApp(700, 560);
      await page.goto(server.url + 'index.html?trace=on');
      await ready(page);
      await page.click('#start');
      await sleep(1000);
      const sound = await loudest(page);
      await page.evaluate(() => window.pretendHidden(true));
      await sleep(300);
      const hidden = await loudest(page);
      await page.evaluate(() => window.pretendHidden(false));
      const shownAgain = await loudest(page);
      await sleep(3000);  // past the intro
      const full = await flashRise(page);
      const requested = log.requests.length;
      await page.keyboard.press('Escape');
      await page.waitForSelector('#startpage:not(.hidden)', {timeout: 20000});
      await sleep(200);
      const closed = await page.evaluate(() => window.analysers.length > 0 &&
                                               window.analysers.every(a => a.context.state === 'closed'));
      await page.click('#reduced-flash');
      await page.click('#sound');
      await page.click('#start');
      await sleep(1500);
      const intro = await canvasBrightness(page, 'app-second-intro.png');
      const silent = await loudest(page);
      await sleep(3000);
      const reduced = await flashRise(page);
      // The second scene's trace has its own header; its first frame is the first scene's.
      const header = log.trace[0], second = log.trace.slice(log.trace.lastIndexOf(header));
      const flash = header.split(',').indexOf('flashIntensity');
      const struck = second.slice(1).some(row => Number(row.split(',')[flash]) > 0);
      const downloaded = log.requests.slice(requested).filter(url => /\/vexarion\.(js|wasm|data)$/.test(url));
      check(full > 8 && reduced < 0.6 * full && struck,
            `"Reduced flash" dims the flash it strikes (${struck}): brighter by ${reduced.toFixed(1)}, the full ` +
            `flash by ${full.toFixed(1)}`);
      check(sound > 0.0005 && hidden === 0 && shownAgain > 0.0005 && silent === 0,
            `the sound: peak ${sound.toFixed(4)}, tab hidden ${hidden}, shown ${shownAgain.toFixed(4)}, "Sound" off ${silent}`);
      check(!downloaded.length && closed && second.length > 1 && log.trace.lastIndexOf(header) > 0 &&
            second[1] === log.trace[1] && intro > 15 && !log.errors.length,
            `Esc: back to the form, downloading ${downloaded.join(', ') || 'nothing'}, the sound closed (${closed}); ` +
            `Start! again: frame 0 as the first scene's, ${second[1]}; brightness ${intro.toFixed(1)} ` +
            log.errors.join('; '));
    }

    // Offline after one visit; a new build (another sw.js) replacing the old cache.
    {
      const {page, log} = await openApp(640, 480);
      await page.goto(server.url);
      await ready(page);
      await page.waitForFunction(() => navigator.serviceWorker.controller !== null, {timeout: 60000});
      const cached = await page.evaluate(() => caches.keys());
      await page.setOfflineMode(true);
      await page.reload();
      await ready(page);
      await page.click('#start');
      await sleep(2500);
      const lit = await canvasBrightness(page, 'app-offline.png');
      check(lit > 15 && !log.errors.length, `offline after one visit (cache ${cached}): the scene draws, ` +
            `brightness ${lit.toFixed(1)} ${log.errors.join('; ')}`);
      await page.keyboard.press('Escape');
      await page.setOfflineMode(false);
      const worker = await (await fetch(server.url + 'sw.js')).text();
      const build = worker.match(/const build = '([0-9a-f]+)'/)[1], next = 'feedc0de' + build.slice(8);
      server.replaced.set('/sw.js', worker.replace(build, next));
      await page.evaluate(() => navigator.serviceWorker.getRegistration().then(r => r.update()));
      await page.waitForFunction(want => caches.keys().then(names => names.join() === want), {timeout: 60000},
                                 'vexarion-' + next);
      check(true, `a new build: cache vexarion-${build} replaced by vexarion-${next}`);
    }
  } finally {
    server.replaced.delete('/sw.js');
    for (const context of contexts)
      await context.close();
  }
}
