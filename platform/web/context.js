// The page's side of a lost WebGL context. The program cancels the loss and
// makes its picture again when the browser restores the context; if the
// browser doesn't within a few seconds, the page says so over the canvas
// instead of leaving it black, and takes the words away if it comes back
// after all.
//
// For testing, index.html?losecontext=N&restorecontext=M loses the context
// through WEBGL_lose_context after the program's frame N and restores it
// after frame M (or as soon as the loss has been told, if that is later).
'use strict';
(() => {
  const canvas = document.getElementById('canvas');
  const query = new URLSearchParams(location.search);
  const waitSeconds = 6;  // Chromium itself takes about 3 s to restore one
  const notice = document.createElement('div');
  notice.id = 'contextlost';
  notice.setAttribute('role', 'alert');
  notice.className = 'hidden';
  notice.style.cssText = 'position: absolute; left: 1em; right: 1em; top: 40%; padding: 1em; ' +
                         'background: rgba(0, 0, 0, 0.8); color: #fff; font: 16px sans-serif; text-align: center;';
  notice.textContent = 'Vexarion: the browser took the picture away (its WebGL context was lost) and has not ' +
                       'given it back. The scene plays on; reload the page to see it again.';
  (document.getElementById('scene') || document.body).appendChild(notice);

  let timer = 0, lost = false, restoreWanted = false, kept = null;
  // A lost context gives no extensions: the one taken before is kept.
  const extension = () => {
    if (!kept) {
      const gl = canvas.getContext('webgl2');
      kept = gl && gl.getExtension('WEBGL_lose_context');
    }
    return kept;
  };
  const restore = () => {
    restoreWanted = false;
    const e = extension();
    if (e)
      e.restoreContext();
  };
  // While lost, the browser would show its broken picture icon over white:
  // the canvas is hidden, leaving the page's black.
  canvas.addEventListener('webglcontextlost', () => {
    lost = true;
    canvas.style.visibility = 'hidden';
    clearTimeout(timer);
    timer = setTimeout(() => {
      notice.classList.remove('hidden');
      console.warn(notice.textContent);
    }, waitSeconds * 1000);
    if (restoreWanted)
      setTimeout(restore, 0);
  });
  canvas.addEventListener('webglcontextrestored', () => {
    lost = false;
    canvas.style.visibility = '';
    clearTimeout(timer);
    notice.classList.add('hidden');
  });

  const loseAt = Number(query.get('losecontext')), restoreAt = Number(query.get('restorecontext'));
  if (query.has('losecontext')) {
    let frame = 0;
    // The program calls this after each frame it has drawn.
    window.Module = window.Module || {};
    Module.onFrameDrawn = () => {
      frame++;
      if (frame === loseAt) {
        const e = extension();
        if (e)
          e.loseContext();
      }
      if (query.has('restorecontext') && frame === restoreAt) {
        // The browser restores only after the loss was told to the page.
        if (lost)
          setTimeout(restore, 0);
        else
          restoreWanted = true;
      }
    };
  }
})();
