// The page as an app, each part in a browser context of its own (its own
// storage, caches and service worker):
//   the manifest and its icons; the loading bar on a slow network, and a
//   failed download named on the page; the switches kept across a reload,
//   and damaged storage giving the defaults; "Reduced flash" dimming the
//   flash, "Sound" off silencing the scene, the page silent while hidden;
//   Esc back to the form with nothing downloaded again, and Start! again
//   beginning a new scene; offline after one visit; a new build's cache
//   replacing the old one.
import fs from 'node:fs';
import path from 'node:path';

import {brightness} from './checks.mjs';

const programFiles = /\/vexarion\.(js|wasm|data)$/;

// Every sound the page plays also reaches an analyser the test reads; a
// closed context (a scene that ended) no longer counts.
function listenToSound() {
  window.analysers = [];
  const connect = AudioNode.prototype.connect;
  AudioNode.prototype.connect = function(target, ...rest) {
    if (target instanceof AudioDestinationNode) {
      const analyser = target.context.createAnalyser();
      connect.call(this, analyser);
      window.analysers.push(analyser);
    }
    return connect.call(this, target, ...rest);
  };
  window.loudness = () => {
    let peak = 0;
    const samples = new Float32Array(analysers[0] ? analysers[0].fftSize : 0);
    for (const analyser of window.analysers.filter(a => a.context.state === 'running')) {
      analyser.getFloatTimeDomainData(samples);
      for (const s of samples)
        peak = Math.max(peak, Math.abs(s));
    }
    return peak;
  };
  // The tab hidden or shown, as the browser tells the page.
  window.pretendHidden = hidden => {
    Object.defineProperty(document, 'hidden', {configurable: true, get: () => hidden});
    Object.defineProperty(document, 'visibilityState', {configurable: true, get: () => hidden ? 'hidden' : 'visible'});
    document.dispatchEvent(new Event('visibilitychange'));
  };
}

export async function appSection({browser, server, shots, work, fail, sleep}) {
  const contexts = [];
  // A page in a new context, keeping what the console said and every request.
  async function openApp(width = 800, height = 600) {
    const context = await browser.createBrowserContext();
    contexts.push(context);
    const page = await context.newPage();
    await page.setViewport({width, height});
    await page.evaluateOnNewDocument(listenToSound);
    const log = {errors: [], requests: [], trace: []};
    page.on('console', message => {
      if (message.text().startsWith('trace: '))
        log.trace.push(message.text().slice(7));
      else if (message.type() === 'error')
        log.errors.push(message.text());
    });
    page.on('pageerror', error => log.errors.push('page error: ' + error.message));
    page.on('request', request => log.requests.push(request.url()));
    return {context, page, log};
  }
  const ready = page => page.waitForSelector('#start:not([disabled])', {timeout: 60000});
  const switches = page => page.evaluate(() => ({mode: document.getElementById('mode').value,
                                                  reducedFlash: document.getElementById('reduced-flash').checked,
                                                  sound: document.getElementById('sound').checked}));
  const loudest = async (page, ms = 600) => {
    let peak = 0;
    for (let t = 0; t < ms; t += 50, await sleep(50))
      peak = Math.max(peak, await page.evaluate(() => window.loudness()));
    return peak;
  };
  // Strikes until a picture catches the flash; its brightness above the
  // picture before the strike.
  const flashRise = async (page, name) => {
    const canvas = await page.$('#canvas');
    const before = path.join(shots, `app-${name}-before.png`);
    await canvas.screenshot({path: before});
    let brightest = 0;
    const file = path.join(work, 'app-flash.png');
    for (let strike = 0; strike < 4; strike++, await sleep(400)) {
      await page.keyboard.press('L');
      for (let i = 0; i < 3; i++) {
        await canvas.screenshot({path: file});
        const b = brightness(file);
        if (b > brightest) {
          brightest = b;
          fs.copyFileSync(file, path.join(shots, `app-${name}-flash.png`));
        }
      }
    }
    return brightest - brightness(before);
  };

  try {
    // The manifest, linked from the page, and its icons at their sizes.
    {
      const {page, log} = await openApp();
      await page.goto(server.url);
      await ready(page);
      const manifest = await page.evaluate(async () => {
        const link = document.querySelector('link[rel="manifest"]');
        const response = await fetch(link.href);
        const json = await response.json();
        const icons = [];
        for (const icon of json.icons) {
          const image = await createImageBitmap(await (await fetch(new URL(icon.src, link.href))).blob());
          icons.push({sizes: icon.sizes, type: icon.type, loaded: `${image.width}x${image.height}`});
        }
        return {name: json.name, display: json.display, icons};
      });
      const sizes = manifest.icons.map(icon => icon.loaded).sort().join();
      if (manifest.name !== 'Vexarion' || !['fullscreen', 'standalone'].includes(manifest.display) ||
          sizes !== '192x192,512x512' || manifest.icons.some(icon => icon.sizes !== icon.loaded || icon.type !== 'image/png'))
        fail('the manifest: ' + JSON.stringify(manifest));
      else
        console.log(`ok   manifest: "${manifest.name}", ${manifest.display}, icons ${sizes} load`);

      // Defaults, then the switches ticked and the mode chosen survive a reload.
      const first = await switches(page);
      await page.click('#reduced-flash');
      await page.click('#sound');
      await page.select('#mode', 'fullscreen');
      await page.reload();
      await ready(page);
      await page.screenshot({path: path.join(shots, 'app-form.png')});
      const kept = await switches(page);
      if (JSON.stringify(first) !== '{"mode":"window","reducedFlash":false,"sound":true}' ||
          JSON.stringify(kept) !== '{"mode":"fullscreen","reducedFlash":true,"sound":false}')
        fail(`the switches: at first ${JSON.stringify(first)}, after a reload ${JSON.stringify(kept)}`);
      else
        console.log('ok   switches: "Reduced flash" off, "Sound" on at first; ticked, unticked and "Full screen" kept ' +
                    'across a reload');
      // Whatever else is stored there gives the defaults, without an error.
      const damaged = ['{"mode":"window","reduc', 'null', '[true]', '"fullscreen"', '{"mode":"huge","reducedFlash":1,"sound":"no"}'];
      for (const value of damaged) {
        await page.evaluate(text => localStorage.setItem('vexarion.switches', text), value);
        await page.reload();
        await ready(page);
        const read = JSON.stringify(await switches(page));
        if (read !== JSON.stringify(first))
          fail(`stored ${value} gives ${read}, not the defaults`);
      }
      if (log.errors.length)
        fail('errors on the form: ' + log.errors.join('; '));
      else
        console.log(`ok   ${damaged.length} damaged or foreign stored values give the defaults, no error`);
    }

    // The loading bar, on a network slow enough to see it.
    {
      const {page} = await openApp();
      const cdp = await page.createCDPSession();
      await cdp.send('Network.enable');
      await cdp.send('Network.emulateNetworkConditions',
                     {offline: false, latency: 20, downloadThroughput: 1.5e6, uploadThroughput: 1e6});
      await page.goto(server.url);
      await page.waitForFunction(() => document.getElementById('loading-bar').value > 0.2 * document.getElementById('loading-bar').max,
                                 {timeout: 30000, polling: 50});
      await page.screenshot({path: path.join(shots, 'app-loading.png')});
      const shown = await page.evaluate(() => ({text: document.getElementById('loading-text').textContent,
                                                value: document.getElementById('loading-bar').value,
                                                max: document.getElementById('loading-bar').max}));
      await ready(page);
      const gone = await page.$eval('#loading', element => element.classList.contains('hidden'));
      if (!/^Loading: \d+\.\d MB of 3\.\d MB$/.test(shown.text) || !(shown.max > 3.5e6) || !gone)
        fail(`the loading bar: ${JSON.stringify(shown)}, hidden once loaded: ${gone}`);
      else
        console.log(`ok   loading bar: "${shown.text}" (${shown.value} of ${shown.max} bytes), gone once loaded`);
    }
    // A download that fails is named on the page, with its reason.
    for (const [file, answer, expected] of [['vexarion.wasm', 404, 'cannot load vexarion.wasm: the server answered 404'],
                                            ['vexarion.data', 'failed', 'cannot load vexarion.data: the network failed']]) {
      const {page} = await openApp();
      await page.setRequestInterception(true);
      page.on('request', request => {
        if (!request.url().endsWith('/' + file))
          request.continue();
        else if (answer === 'failed')
          request.abort('failed');
        else
          request.respond({status: answer, body: ''});
      });
      await page.goto(server.url);
      await page.waitForFunction(() => document.getElementById('status').textContent.length > 0, {timeout: 30000});
      const said = await page.$eval('#status', element => element.textContent);
      if (!said.includes(expected))
        fail(`a failed ${file} is told as "${said}"`);
      else
        console.log(`ok   a failed download told: "${said}"`);
    }

    // A scene with the full flash and the sound, Esc, then one with
    // "Reduced flash" and without "Sound": the flash dims, the sound follows
    // its switch and the hidden tab, and the second scene downloads nothing
    // and starts afresh.
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
      const full = await flashRise(page, 'full');
      const requested = log.requests.length;
      await page.keyboard.press('Escape');
      await page.waitForSelector('#startpage:not(.hidden)', {timeout: 20000});
      await sleep(200);
      const closed = await page.evaluate(() => window.analysers.length > 0 &&
                                               window.analysers.every(a => a.context.state === 'closed'));
      await page.screenshot({path: path.join(shots, 'app-back-to-form.png')});
      await page.click('#reduced-flash');
      await page.click('#sound');
      await page.click('#start');
      await sleep(1500);
      const intro = path.join(shots, 'app-second-intro.png');
      await (await page.$('#canvas')).screenshot({path: intro});
      // The second scene's trace: its own header, and a first row from the intro's start.
      const header = log.trace[0], second = log.trace.slice(log.trace.lastIndexOf(header));
      const column = name => header.split(',').indexOf(name);
      const scale = second.length > 1 && log.trace.indexOf(header) !== log.trace.lastIndexOf(header)
        ? Number(second[1].split(',')[column('characterScale')]) : NaN;
      const silent = await loudest(page);
      await sleep(3000);
      const reduced = await flashRise(page, 'reduced');
      const downloaded = log.requests.slice(requested).filter(url => programFiles.test(url));
      // The reduced flash was struck: the trace has its flash.
      const struck = log.trace.slice(log.trace.lastIndexOf(header) + 1).some(row => Number(row.split(',')[column('flashIntensity')]) > 0);
      console.log(`     flash rise in brightness: full ${full.toFixed(1)}, reduced ${reduced.toFixed(1)}; sound peak: ` +
                  `${sound.toFixed(4)}, tab hidden ${hidden.toFixed(4)}, shown again ${shownAgain.toFixed(4)}, ` +
                  `"Sound" off ${silent.toFixed(4)}`);
      if (!(full > 8 && reduced < 0.6 * full && struck))
        fail(`"Reduced flash" does not dim the flash (struck in the trace: ${struck})`);
      else
        console.log('ok   "Reduced flash" dims the flash it strikes');
      if (!(sound > 0.0005 && hidden === 0 && shownAgain > 0.0005 && silent === 0))
        fail('the sound does not follow "Sound" and the hidden tab');
      else
        console.log('ok   the scene is silent while the tab is hidden and with "Sound" off');
      if (downloaded.length || !closed)
        fail(`Esc: downloaded again ${downloaded.join(', ') || 'nothing'}; the first scene's sound closed: ${closed}`);
      const fresh = scale > 45 && brightness(intro) >= 15;
      if (!fresh)
        fail(`Start! again: ${second.length} rows, scale ${scale}, brightness ${brightness(intro).toFixed(1)}`);
      if (log.errors.length)
        fail('errors in the scenes: ' + log.errors.join('; '));
      else if (!downloaded.length && closed && fresh)
        console.log(`ok   Esc back to the form, nothing downloaded again; Start! again: a new trace from the intro ` +
                    `(scale ${scale}), brightness ${brightness(intro).toFixed(1)}`);
    }

    // Offline after one visit, and a new build's cache replacing the old.
    {
      const {page, log} = await openApp(640, 480);
      await page.goto(server.url);
      await ready(page);
      await page.waitForFunction(() => navigator.serviceWorker.controller !== null, {timeout: 60000});
      const caches1 = await page.evaluate(() => caches.keys());
      await page.setOfflineMode(true);
      await page.reload();
      await ready(page);
      await page.click('#start');
      await sleep(2500);
      const shot = path.join(shots, 'app-offline.png');
      await (await page.$('#canvas')).screenshot({path: shot});
      const lit = brightness(shot);
      if (lit < 15 || log.errors.length)
        fail(`offline: brightness ${lit.toFixed(1)}; ${log.errors.join('; ')}`);
      else
        console.log(`ok   offline after one visit (cache ${caches1.join()}): the page loads and the scene draws, ` +
                    `brightness ${lit.toFixed(1)}`);
      await page.keyboard.press('Escape');
      await page.setOfflineMode(false);

      // A new build: the same site with another sw.js.
      const worker = await (await fetch(server.url + 'sw.js')).text();
      const build = worker.match(/const build = '([0-9a-f]+)'/)[1];
      server.replaced.set('/sw.js', worker.replace(build, 'feedc0de' + build.slice(8)));
      await page.evaluate(() => navigator.serviceWorker.getRegistration().then(r => r.update()));
      await page.waitForFunction(want => caches.keys().then(names => names.join() === want), {timeout: 60000},
                                 'vexarion-feedc0de' + build.slice(8));
      console.log(`ok   a new build: cache vexarion-${build} replaced by vexarion-feedc0de${build.slice(8)}`);
      server.replaced.delete('/sw.js');
    }
  } finally {
    server.replaced.delete('/sw.js');
    for (const context of contexts)
      await context.close();
  }
}
