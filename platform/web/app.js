// The page as an app (index.html loads it after its own script): the
// program's download with its progress, the start form's switches kept
// from one visit to the next, the way back to the form after Esc, and the
// service worker (sw.js) that keeps the site for use with no network.
'use strict';
const app = {
  loading: document.getElementById('loading'),
  bar: document.getElementById('loading-bar'),
  loadingText: document.getElementById('loading-text'),
  mode: document.getElementById('mode'),
  reducedFlash: document.getElementById('reduced-flash'),
  sound: document.getElementById('sound'),
};

// The switches, kept in the browser's storage as one JSON record. Whatever
// is there that isn't a record of ours (damaged text, another program's
// value, a mode this browser doesn't offer) gives the default.
app.storageKey = 'vexarion.switches';
app.defaults = {mode: 'window', reducedFlash: false, sound: true};
app.readSwitches = () => {
  let stored = null;
  try {
    stored = JSON.parse(localStorage.getItem(app.storageKey));
  } catch (error) {
    stored = null;  // unreadable, or storage refused
  }
  const record = stored !== null && typeof stored === 'object' && !Array.isArray(stored) ? stored : {};
  const offered = [...app.mode.options].map(option => option.value);
  return {
    mode: offered.includes(record.mode) ? record.mode : app.defaults.mode,
    reducedFlash: typeof record.reducedFlash === 'boolean' ? record.reducedFlash : app.defaults.reducedFlash,
    sound: typeof record.sound === 'boolean' ? record.sound : app.defaults.sound,
  };
};
app.saveSwitches = () => {
  const switches = {mode: app.mode.value, reducedFlash: app.reducedFlash.checked, sound: app.sound.checked};
  try {
    localStorage.setItem(app.storageKey, JSON.stringify(switches));
  } catch (error) {
    // A browser that keeps nothing (private windows, storage turned off) starts from the defaults.
  }
};
{
  const switches = app.readSwitches();
  app.mode.value = switches.mode;
  app.reducedFlash.checked = switches.reducedFlash;
  app.sound.checked = switches.sound;
  for (const control of [app.mode, app.reducedFlash, app.sound])
    control.addEventListener('change', app.saveSwitches);
}

// The program's arguments for the switches: the desktop's own options.
// The page always goes silent while it is hidden.
app.switchArguments = () => [app.reducedFlash.checked ? '--reduced-flash' : '--no-reduced-flash',
                             app.sound.checked ? '--sound' : '--no-sound', '--mute-unfocused'];

// Esc ended the scene: the start form again, with the program still loaded,
// so Start! begins a new scene at once.
app.backToForm = () => {
  if (document.fullscreenElement)
    document.exitFullscreen().catch(() => {});
  touch.hide();
  document.documentElement.classList.remove('playing');
  page.canvas.style.display = 'none';
  page.startPage.classList.remove('hidden');
  page.start.focus();
};

// The download: the program (vexarion.js, vexarion.wasm) and the content
// (vexarion.data), read as they arrive so that the bar shows their bytes
// of the total. A file that fails is named on the page, with the reason.
// Their sizes are written in by tools/build-web.sh: a server that compresses
// them tells another length, or none.
app.sizes = {/* sizes */};
const megabytes = bytes => (bytes / 1048576).toFixed(1);
app.showProgress = downloads => {
  const loaded = downloads.reduce((sum, d) => sum + d.loaded, 0);
  const total = downloads.reduce((sum, d) => sum + Math.max(d.total, d.loaded), 0);
  const known = downloads.every(d => d.total > 0);
  app.loading.classList.remove('hidden');
  if (known) {
    app.bar.max = total;
    app.bar.value = loaded;
  }
  app.loadingText.textContent = known ? `Loading: ${megabytes(loaded)} MB of ${megabytes(total)} MB`
                                      : `Loading: ${megabytes(loaded)} MB`;
};

app.download = async (name, progress) => {
  let response;
  try {
    response = await fetch(name);
  } catch (error) {
    throw new Error(`cannot load ${name}: the network failed (${error.message})`);
  }
  if (!response.ok)
    throw new Error(`cannot load ${name}: the server answered ${response.status} ${response.statusText}`.trimEnd());
  progress.total = app.sizes[name] || Number(response.headers.get('Content-Length')) || 0;
  const chunks = [];
  try {
    const reader = response.body.getReader();
    for (;;) {
      const {done, value} = await reader.read();
      if (done)
        break;
      chunks.push(value);
      progress.loaded += value.length;
      progress.changed();
    }
  } catch (error) {
    throw new Error(`cannot load ${name}: the download broke off after ${progress.loaded} bytes (${error.message})`);
  }
  if (progress.total && progress.loaded < progress.total)
    throw new Error(`cannot load ${name}: only ${progress.loaded} of ${progress.total} bytes arrived`);
  const bytes = new Uint8Array(progress.loaded);
  let at = 0;
  for (const chunk of chunks) {
    bytes.set(chunk, at);
    at += chunk.length;
  }
  return bytes;
};

app.load = async () => {
  const names = ['vexarion.js', 'vexarion.wasm', 'vexarion.data'];
  // The bar is drawn at most once a frame, however many pieces arrive.
  let drawing = false;
  const changed = () => {
    if (!drawing) {
      drawing = true;
      requestAnimationFrame(() => {
        drawing = false;
        app.showProgress(downloads);
      });
    }
  };
  const downloads = names.map(() => ({loaded: 0, total: 0, changed}));
  app.showProgress(downloads);
  // The program is compiled while the content still downloads.
  const [loading, compiling, content] = names.map((name, i) => app.download(name, downloads[i]));
  const compiled = compiling.then(wasm => WebAssembly.compile(wasm).catch(error => {
    throw new Error('the program cannot start: ' + error);
  }));
  let loader, program, data;
  try {
    [loader, program, data] = await Promise.all([loading, compiled, content]);
  } catch (error) {
    app.loading.classList.add('hidden');
    page.say('Vexarion: ' + error.message, true);
    return;
  }
  app.loadingText.textContent = 'Starting…';
  // The program takes both from here instead of asking the network.
  Module.instantiateWasm = (imports, receive) => {
    WebAssembly.instantiate(program, imports).then(instance => receive(instance, program),
                                                   error => Module.onAbort(String(error)));
    return {};
  };
  Module.getPreloadedPackage = () => data.buffer;
  // A program the browser can't start (too new for it, say) is said on the page too.
  Module.onAbort = what => {
    app.loading.classList.add('hidden');
    page.say('Vexarion: the program cannot start: ' + what, true);
  };
  const initialised = Module.onRuntimeInitialized;
  Module.onRuntimeInitialized = () => {
    app.loading.classList.add('hidden');
    initialised();
  };
  const script = document.createElement('script');
  script.src = URL.createObjectURL(new Blob([loader], {type: 'text/javascript'}));
  document.body.appendChild(script);
};
app.load();

// The service worker works only on HTTPS or on this machine (localhost);
// elsewhere the page runs as before, from the network.
if ('serviceWorker' in navigator && window.isSecureContext)
  navigator.serviceWorker.register('sw.js').catch(error => console.warn('Vexarion: no offline copy: ' + error.message));
