// The page around the game: it downloads the game (zephrandolinth.wasm) and its art
// (zephrandolinth.data) itself so that it can show their progress and name the file that failed,
// starts the game once both are in, keeps the keys for the game, and tells the player what
// happens: loading, failure, the end of the game.
//
// Address options:
//   ?console   the game writes its console stream (as without --quiet on the desktop); the page
//              shows its last 2,000 lines in a panel and keeps every byte.
//   ?uncapped  the game's loop runs as fast as it can instead of at the display's rate
//              (for benchmarks).
//
// The script interface, for tests and for pages that embed the game (window.zephrandolinth):
//   state            "loading" (downloading, starting), "running" (a frame has been drawn),
//                    "ended" (the player pressed Escape), "failed" (the page says why).
//   frames           frames drawn so far.
//   consoleBytes()   a Uint8Array copy of every byte the game has written to its console
//                    (stdout) so far; the stream is Latin-1 and is kept as bytes, never decoded.
//   firstFrameTime   milliseconds from the start of the page's navigation to the first frame
//                    (performance.now()), null before it.
//   onframe          null, or a function called after every frame with the frame count.
//   pause(), resume()  stop and restart the game's loop; the game loses nothing meanwhile. The
//                    page pauses the loop by itself while its tab is hidden.
//   layerProfile()   for benchmarks: {replayMs, calls}, the time the OpenGL layer has spent
//                    replaying display lists so far and its glCallList count; null before start.
'use strict';

(function () {
  const FILES = {
    script: 'zephrandolinth.js',
    wasm: 'zephrandolinth.wasm',
    data: 'zephrandolinth.data',
  };
  const KEPT_LINES = 2000;
  const PANEL_REFRESH_MS = 100;
  const BUTTON_SHOWN_MS = 2500; // the full-screen button, after the pointer last moved
  // The game's keys, as on the desktop: the browser's own action for them (scrolling, F3's
  // find, its full screen) is prevented. Escape ends the game and keeps its own action (it
  // leaves full screen).
  const GAME_KEYS = new Set([
    'ArrowUp', 'ArrowDown', 'ArrowLeft', 'ArrowRight', 'PageUp', 'PageDown', 'F2', 'F3', 'F4',
    'F11',
  ]);

  const params = new URLSearchParams(window.location.search);
  const withConsole = params.has('console');
  const uncapped = params.has('uncapped');

  const screen = document.getElementById('screen');
  const canvas = document.getElementById('canvas');
  const notice = document.getElementById('notice');
  const noticeText = document.getElementById('notice-text');
  const progress = document.getElementById('progress');
  const progressFill = document.getElementById('progress-fill');
  const playAgain = document.getElementById('play-again');
  const fullscreenButton = document.getElementById('fullscreen');
  const panel = document.getElementById('console');

  let game = null; // the module object once the game is started
  let hiddenPause = false;
  let callerPause = false;

  const api = {
    state: 'loading',
    frames: 0,
    firstFrameTime: null,
    onframe: null,
    consoleBytes: () => stdout.bytes(),
    pause() {
      callerPause = true;
      applyPause();
    },
    resume() {
      callerPause = false;
      applyPause();
    },
    layerProfile: () => (game && typeof game.layerProfile === 'function' ? game.layerProfile() : null),
  };
  window.zephrandolinth = api;

  // ---- bytes the game writes ----

  // A growing store of raw bytes: the console is Latin-1 ("ajout\xE9"), which a text decoder
  // would turn into replacement characters.
  function ByteStore() {
    let buffer = new Uint8Array(64 * 1024);
    let length = 0;
    this.push = function (byte) {
      if (length === buffer.length) {
        const larger = new Uint8Array(buffer.length * 2);
        larger.set(buffer);
        buffer = larger;
      }
      buffer[length++] = byte;
    };
    this.bytes = () => buffer.slice(0, length);
  }

  const stdout = new ByteStore();

  // The panel's lines, each byte shown as the Latin-1 character it is.
  const lines = [];
  let currentLine = '';
  let panelDirty = false;

  function keepConsoleByte(byte) {
    stdout.push(byte);
    if (!withConsole) {
      return;
    }
    if (byte === 10) {
      lines.push(currentLine);
      currentLine = '';
      if (lines.length > KEPT_LINES) {
        lines.splice(0, lines.length - KEPT_LINES);
      }
    } else {
      currentLine += String.fromCharCode(byte);
    }
    schedulePanelRefresh();
  }

  // The panel is redrawn at most ten times a second: the game writes lines every frame.
  function schedulePanelRefresh() {
    if (panelDirty) {
      return;
    }
    panelDirty = true;
    window.setTimeout(() => {
      panelDirty = false;
      // The line being written counts as one of the 2,000, even while it is empty.
      const shown = lines.concat([currentLine]);
      const atBottom = panel.scrollTop + panel.clientHeight >= panel.scrollHeight - 4;
      panel.textContent = shown.slice(-KEPT_LINES).join('\n');
      if (atBottom) {
        panel.scrollTop = panel.scrollHeight;
      }
    }, PANEL_REFRESH_MS);
  }

  // Diagnostics go to the browser's console as warnings, a line at a time.
  let errorLine = '';
  function keepErrorByte(byte) {
    if (byte === 10) {
      console.warn('zephrandolinth: ' + errorLine);
      errorLine = '';
    } else {
      errorLine += String.fromCharCode(byte);
    }
  }

  // ---- what the player is told ----

  function tell(text, { showProgress = false, offerReplay = false, replay = 'Play again' } = {}) {
    noticeText.textContent = text;
    progress.hidden = !showProgress;
    playAgain.hidden = !offerReplay;
    playAgain.textContent = replay;
    notice.hidden = false;
  }

  function fail(text) {
    if (api.state === 'failed' || api.state === 'ended') {
      return;
    }
    api.state = 'failed';
    if (game && typeof game.pauseMainLoop === 'function') {
      game.pauseMainLoop();
    }
    tell(text, { offerReplay: true, replay: 'Try again' });
  }

  function showProgress(received, total) {
    const share = total > 0 ? Math.min(1, received / total) : 0;
    progressFill.style.width = (share * 100).toFixed(1) + '%';
  }

  // ---- downloads ----

  class DownloadError extends Error {}

  // The whole file as an ArrayBuffer; `onBytes(received, expected)` follows its progress. A
  // file whose body stops before the length its server announced is an error, never a game
  // started on half its art.
  async function download(name, onBytes) {
    let response;
    try {
      response = await fetch(name, { credentials: 'same-origin' });
    } catch (error) {
      throw new DownloadError(name + ' could not be downloaded (' + error.message + ').');
    }
    if (!response.ok) {
      throw new DownloadError(name + ' could not be downloaded (' + response.status + ' ' +
        response.statusText + ').');
    }
    // A compressed body's length says nothing about the bytes the reader hands out.
    const announced = response.headers.get('Content-Encoding') ? 0 :
      Number(response.headers.get('Content-Length')) || 0;
    const chunks = [];
    let received = 0;
    onBytes(0, announced);
    try {
      const reader = response.body.getReader();
      for (;;) {
        const { done, value } = await reader.read();
        if (done) {
          break;
        }
        chunks.push(value);
        received += value.length;
        onBytes(received, announced);
      }
    } catch (error) {
      throw new DownloadError(name + ' was cut short after ' + received + ' bytes (' +
        error.message + ').');
    }
    if (announced > 0 && received !== announced) {
      throw new DownloadError(name + ' was cut short: ' + received + ' of ' + announced +
        ' bytes arrived.');
    }
    const whole = new Uint8Array(received);
    let at = 0;
    for (const chunk of chunks) {
      whole.set(chunk, at);
      at += chunk.length;
    }
    return whole.buffer;
  }

  function loadScript(name) {
    return new Promise((resolve, reject) => {
      const script = document.createElement('script');
      script.src = name;
      script.onload = resolve;
      script.onerror = () => reject(new DownloadError(name + ' could not be downloaded.'));
      document.body.appendChild(script);
    });
  }

  function hasWebGL() {
    try {
      const probe = document.createElement('canvas');
      const context = probe.getContext('webgl') || probe.getContext('experimental-webgl');
      const loser = context && context.getExtension('WEBGL_lose_context');
      if (loser) {
        loser.loseContext();
      }
      return Boolean(context);
    } catch (error) {
      return false;
    }
  }

  // ---- the game ----

  function frameDrawn() {
    api.frames += 1;
    if (api.frames === 1 && api.state === 'loading') {
      api.state = 'running';
      api.firstFrameTime = performance.now();
      notice.hidden = true;
    }
    if (typeof api.onframe === 'function') {
      api.onframe(api.frames);
    }
  }

  function gameEnded() {
    api.state = 'ended';
    if (document.fullscreenElement) {
      document.exitFullscreen().catch(() => {});
    }
    tell('The game has ended.', { offerReplay: true });
    playAgain.focus();
  }

  // Paused while the tab is hidden (a loop running as fast as it can would go on there) or
  // while a caller wants it; the loop starts again where it stopped.
  function applyPause() {
    if (!game || api.state !== 'running' || typeof game.pauseMainLoop !== 'function') {
      return;
    }
    if (hiddenPause || callerPause) {
      game.pauseMainLoop();
    } else {
      game.resumeMainLoop();
    }
  }

  async function start() {
    if (!hasWebGL()) {
      api.state = 'failed';
      tell('This browser cannot show the game: it has no WebGL (or WebGL is turned off).');
      return;
    }
    tell('Loading Zephrandolinth...', { showProgress: true });
    const received = { wasm: 0, data: 0 };
    const expected = { wasm: 0, data: 0 };
    const follow = (which) => (bytes, announced) => {
      received[which] = bytes;
      expected[which] = announced;
      showProgress(received.wasm + received.data, expected.wasm + expected.data);
    };
    let wasm, data;
    try {
      [wasm, data] = await Promise.all([
        download(FILES.wasm, follow('wasm')),
        download(FILES.data, follow('data')),
        loadScript(FILES.script),
      ]);
    } catch (error) {
      fail('The game could not start: ' + error.message);
      return;
    }
    tell('Starting...');
    game = {
      canvas,
      fullscreenTarget: screen,
      arguments: withConsole ? [] : ['--quiet'],
      uncapped,
      wasmBinary: wasm,
      getPreloadedPackage: (name) => (name.endsWith(FILES.data) ? data : null),
      onStdoutByte: keepConsoleByte,
      onStderrByte: keepErrorByte,
      onFrame: frameDrawn,
      onGameEnded: gameEnded,
      onArtMissing: (line) => fail('The game found no art: ' + line),
      onAbort: (what) => fail('The game stopped: ' + what),
    };
    try {
      await window.createZephrandolinth(game);
    } catch (error) {
      fail('The game could not start: ' + (error && error.message ? error.message : error));
    }
  }

  // ---- keys, focus, full screen ----

  // Registered before the game's own handlers (Emscripten's GLUT, which prevents the default
  // of every key it knows): a key the game does not use never reaches them, so F5, F12 and the
  // browser's shortcuts (Ctrl+R, Ctrl+F, ...) keep working.
  window.addEventListener('keydown', (event) => {
    if (GAME_KEYS.has(event.key)) {
      if (api.state !== 'ended' && api.state !== 'failed') {
        event.preventDefault();
      }
    } else if (event.key !== 'Escape') {
      event.stopImmediatePropagation();
    }
  }, true);

  screen.addEventListener('mousedown', () => canvas.focus());
  canvas.addEventListener('click', () => canvas.focus());

  fullscreenButton.addEventListener('click', () => {
    if (document.fullscreenElement) {
      document.exitFullscreen().catch(() => {});
    } else if (screen.requestFullscreen) {
      screen.requestFullscreen().catch(() => {});
    }
    canvas.focus();
  });

  let buttonTimer = 0;
  document.addEventListener('mousemove', () => {
    document.body.classList.add('pointer-moving');
    window.clearTimeout(buttonTimer);
    buttonTimer = window.setTimeout(() => document.body.classList.remove('pointer-moving'),
      BUTTON_SHOWN_MS);
  });

  playAgain.addEventListener('click', () => window.location.reload());

  document.addEventListener('visibilitychange', () => {
    hiddenPause = document.hidden;
    applyPause();
  });

  window.addEventListener('error', (event) => {
    if (api.state === 'loading' || api.state === 'running') {
      fail('The game stopped: ' + event.message);
    }
  });

  panel.hidden = !withConsole;
  document.body.classList.toggle('with-console', withConsole);
  canvas.focus();
  start();
})();
