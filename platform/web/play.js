// The page's recordings, and the page inside another page's <iframe>.
//
// Every live session is recorded, as the desktop's --record writes it. When
// it ends the start form offers "Save the recording": the file
// vexarion-replay --script plays again. The tab keeps the last one (in
// sessionStorage, when it fits) until the next session replaces it.
//
// A recording chosen on the form, or dropped anywhere on the page, plays
// there at the pace it was recorded, filling the window; Esc ends it.
//
// In an iframe (a game portal), a click on the canvas gives the scene the
// keys, and while it has them the keys that scroll (arrows, space, page up
// and down, home, end) never scroll the page around it.
'use strict';
const play = {
  recordingFile: '/recording.txt',
  replayPath: '/recording-replay.txt',
  storageKey: 'vexarion.recording',
  header: '# Vexarion recording',
  text: sessionStorage.getItem('vexarion.recording'),
  name: sessionStorage.getItem('vexarion.recording.name') || 'vexarion-recording.txt',
  replaying: false,
  link: null,
  url: null,

  // What the live scene's command line gains.
  liveArguments() {
    return ['--record', play.recordingFile];
  },

  // The session's recording, handed over by the program as it ends.
  keep(file) {
    let text;
    try {
      text = Module.FS.readFile(file, {encoding: 'utf8'});
    } catch (error) {
      console.error('Vexarion: the recording could not be read back: ' + error.message);
      return;
    }
    const stamp = new Date().toISOString().slice(0, 19).replace('T', '-').replace(/:/g, '');
    play.text = text;
    play.name = `vexarion-recording-${stamp}.txt`;
    try {
      sessionStorage.setItem(play.storageKey, text);
      sessionStorage.setItem(play.storageKey + '.name', play.name);
    } catch (error) {
      // Too long for the tab's storage: kept while the page stays.
      sessionStorage.removeItem(play.storageKey);
      sessionStorage.removeItem(play.storageKey + '.name');
    }
    play.offer();
  },

  // The form's "Save the recording", once there is one.
  offer() {
    if (!play.text)
      return;
    if (play.url)
      URL.revokeObjectURL(play.url);
    play.url = URL.createObjectURL(new Blob([play.text], {type: 'text/plain'}));
    play.link.href = play.url;
    play.link.download = play.name;
    play.link.parentElement.classList.remove('hidden');
  },

  // A recording the user chose or dropped: checked, then replayed.
  async replay(file) {
    // Only from the form, once the program is ready (as Start! is).
    if (play.replaying || page.startPage.classList.contains('hidden') || page.start.disabled)
      return;
    let text;
    try {
      text = await file.text();
    } catch (error) {
      page.say(`Vexarion: cannot read ${file.name}: ${error.message}`, true);
      return;
    }
    if (!text.startsWith(play.header)) {
      page.say(`Vexarion: ${file.name} is not a recording of Vexarion (its first line is not "${play.header}...")`, true);
      return;
    }
    play.replaying = true;
    document.documentElement.classList.add('playing');
    showCanvas();
    const [width, height] = fittedSize();
    Module.FS.writeFile(play.replayPath, text);
    const args = ['--script', play.replayPath, '--paced', '--size', width + 'x' + height];
    if (page.query.get('trace') === 'on')
      args.push('--trace', '/dev/trace');
    const failed = Module.callMain(args);
    if (failed) {
      // The program said why on the console; the form says it too.
      play.replaying = false;
      document.documentElement.classList.remove('playing');
      page.canvas.style.display = 'none';
      page.startPage.classList.remove('hidden');
      page.say(`Vexarion: ${file.name} cannot be replayed (the console says why)`, true);
      return;
    }
    page.canvas.style.removeProperty('width');
    page.canvas.style.removeProperty('height');
    fitCanvas();
    new ResizeObserver(fitCanvas).observe(page.canvas);
  },

  // The recordings' part of the start form.
  build() {
    const save = document.createElement('p');
    save.className = 'hidden';
    save.style.clear = 'both';
    play.link = document.createElement('a');
    play.link.id = 'save-recording';
    play.link.textContent = 'Save the recording';
    play.link.title = 'The last session, frame by frame: vexarion-replay --script FILE plays it again';
    save.append(play.link);
    const choose = document.createElement('p');
    choose.style.clear = 'both';
    const label = document.createElement('label');
    label.textContent = 'Replay a recording: ';
    const input = document.createElement('input');
    input.type = 'file';
    input.id = 'recording-file';
    input.accept = '.txt,text/plain';
    input.addEventListener('change', () => {
      if (input.files.length)
        play.replay(input.files[0]);
      input.value = '';
    });
    label.append(input);
    choose.append(label);
    page.startPage.append(save, choose);
    play.offer();
  },
};

play.build();
Module.onRecording = play.keep;

// A file dropped on the page, while the start form shows. A file dropped
// while the scene plays is refused, not opened by the browser in its place.
const dragsFiles = event => event.dataTransfer && [...event.dataTransfer.types].includes('Files');
document.addEventListener('dragover', event => {
  if (!dragsFiles(event))
    return;
  event.preventDefault();
  event.dataTransfer.dropEffect = page.startPage.classList.contains('hidden') ? 'none' : 'copy';
});
document.addEventListener('drop', event => {
  if (!dragsFiles(event))
    return;
  event.preventDefault();
  if (event.dataTransfer.files.length)
    play.replay(event.dataTransfer.files[0]);
});

// Esc ends a replay of a recording, whose scripted input takes no keys.
window.addEventListener('keydown', event => {
  if (play.replaying && event.key === 'Escape')
    Module.ccall('webReplayStop', null, [], []);
});

// The keys the scene has never scroll a page, its own or one it is inside.
const scrollingKeys = new Set([' ', 'ArrowUp', 'ArrowDown', 'ArrowLeft', 'ArrowRight', 'PageUp', 'PageDown', 'Home', 'End']);
window.addEventListener('keydown', event => {
  if (playing() && scrollingKeys.has(event.key) && !event.ctrlKey && !event.altKey && !event.metaKey)
    event.preventDefault();
}, {capture: true});
// A click on the canvas gives the scene the keys (in an iframe, the frame's
// window takes the focus from the page around it), without scrolling that
// page. On the click: the pointerdown is the page's touch handling's, which
// keeps it from focusing anything, and a focus taken then does not last.
page.canvas.addEventListener('click', () => {
  window.focus();
  page.canvas.focus({preventScroll: true});
});
