// The page around the music disk: checks for WebAssembly, shows the start screen, starts the
// program on the visitor's first click or key (browsers start sound only after a gesture), keeps
// the picture fitted to the page, and says when the show has ended. `?benchmark` in the address
// draws frames as fast as they come and shows the frame rate.
'use strict';

(() => {
  const stage = document.getElementById('stage');
  const canvas = document.getElementById('screen');
  const notice = document.getElementById('notice');
  const noticeText = document.getElementById('notice-text');
  const noticeButton = document.getElementById('notice-button');
  const dialog = document.getElementById('dialog');
  const meter = document.getElementById('meter');
  const unpaced = new URLSearchParams(location.search).has('benchmark');

  // What the page's tests read: state is one of unsupported, loading, waiting, starting, running,
  // ended, failed.
  const status = {
    state: 'loading',
    unpaced,
    startedAt: 0,
    host: null,
    module: null,
    // Frames per second over the last whole second (benchmark mode shows it).
    fps: 0,
    playingMusic() { return status.module ? status.module._musidisk_playing_music() : 0; },
  };
  window.musidisk = status;

  function say(text, button) {
    noticeText.textContent = text;
    noticeButton.hidden = !button;
    notice.classList.remove('start');
    notice.hidden = false;
  }

  // The largest 4:3 picture that fits the stage; at a whole number of device pixels per pixel the
  // pixels stay sharp, between those the browser smooths them.
  function layout() {
    const width = stage.clientWidth;
    const height = stage.clientHeight;
    const scale = Math.min(width / canvas.width, height / canvas.height);
    canvas.style.width = `${Math.floor(canvas.width * scale)}px`;
    canvas.style.height = `${Math.floor(canvas.height * scale)}px`;
    const devicePixels = scale * (window.devicePixelRatio || 1);
    canvas.classList.toggle('sharp', Math.abs(devicePixels - Math.round(devicePixels)) < 0.001);
  }
  window.addEventListener('resize', layout);
  document.addEventListener('fullscreenchange', layout);
  layout();

  if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function') {
    status.state = 'unsupported';
    say('This music disk runs on WebAssembly, which this browser does not offer. ' +
        'Open the page in a current Firefox, Chrome, Edge or Safari.', false);
    return;
  }

  // Fetched and compiled while the start screen shows; every start instantiates it anew.
  const compiled = (async () => {
    if (typeof WebAssembly.compileStreaming === 'function') {
      try {
        return await WebAssembly.compileStreaming(fetch('musidisk.wasm'));
      } catch (e) {
        // A server that does not send .wasm as application/wasm: compile from the bytes instead.
      }
    }
    const response = await fetch('musidisk.wasm');
    if (!response.ok) throw new Error(`musidisk.wasm: ${response.status} ${response.statusText}`);
    return WebAssembly.compile(await response.arrayBuffer());
  })();
  const factory = new Promise((resolve, reject) => {
    const script = document.createElement('script');
    script.src = 'musidisk.js';
    script.onload = () => resolve(window.createMusidisk);
    script.onerror = () => reject(new Error('musidisk.js could not be loaded'));
    document.head.appendChild(script);
  });
  Promise.all([compiled, factory]).catch((e) => fail(`The music disk could not be loaded: ${e.message || e}`));

  let audioContext = null;

  function fail(text) {
    status.state = 'failed';
    canvas.hidden = true;
    dialog.hidden = true;
    say(text, true);
  }

  function messageBox(caption, text) {
    return new Promise((resolve) => {
      document.getElementById('dialog-caption').textContent = caption;
      document.getElementById('dialog-text').textContent = text;
      dialog.hidden = false;
      const ok = document.getElementById('dialog-button');
      ok.focus();
      ok.onclick = () => { dialog.hidden = true; resolve(); };
    });
  }

  function ended(result) {
    status.state = 'ended';
    status.module = null;
    canvas.hidden = true;
    meter.hidden = true;
    if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
    say(result === 0 ? 'The show has ended.' : 'The show could not start.', true);
    noticeButton.focus();
  }

  function countFrames() {
    let last = status.host ? status.host.frames : 0;
    const timer = setInterval(() => {
      if (status.state !== 'running' || !status.host) {
        clearInterval(timer);
        return;
      }
      status.fps = status.host.frames - last;
      last = status.host.frames;
      if (unpaced) meter.textContent = `${status.fps} frames/s`;
    }, 1000);
  }

  async function start() {
    status.state = 'starting';
    status.startedAt = performance.now();
    say('Starting…', false);
    // Made inside the gesture, so the browser lets it play.
    const AudioContextClass = window.AudioContext || window.webkitAudioContext;
    if (!audioContext && AudioContextClass) {
      try {
        audioContext = new AudioContextClass({ sampleRate: 44100, latencyHint: 'interactive' });
      } catch (e) {
        audioContext = null;
      }
    }
    if (audioContext && audioContext.state !== 'running') audioContext.resume().catch(() => {});
    let module;
    let create;
    try {
      [module, create] = await Promise.all([compiled, factory]);
    } catch (e) {
      return;  // already said
    }
    const host = new PageHost(stage, canvas, {
      unpaced,
      audioContext,
      onShown: () => {
        notice.hidden = true;
        meter.hidden = !unpaced;
        status.state = 'running';
        layout();
        countFrames();
      },
      onEnded: ended,
      onMessage: messageBox,
    });
    status.host = host;
    create({
      page: host,
      instantiateWasm(imports, done) {
        WebAssembly.instantiate(module, imports).then((instance) => done(instance, module),
                                                      (e) => fail(`The music disk could not start: ${e.message || e}`));
        return {};
      },
      onAbort(what) { fail(`The music disk stopped with an error: ${what}`); },
    }).then((instance) => { if (status.state !== 'ended' && status.state !== 'failed') status.module = instance; });
  }

  function onGesture(event) {
    if (status.state !== 'waiting') return;
    // Keys the browser keeps for itself do not start the show.
    if (event.type === 'keydown' && (event.ctrlKey || event.metaKey || /^F\d+$/.test(event.key))) return;
    event.preventDefault();
    window.removeEventListener('keydown', onGesture, true);
    window.removeEventListener('pointerdown', onGesture, true);
    start();
  }

  function waitForGesture() {
    status.state = 'waiting';
    say('Click or press a key to start', false);
    notice.classList.add('start');
    window.addEventListener('keydown', onGesture, true);
    window.addEventListener('pointerdown', onGesture, true);
  }

  noticeButton.addEventListener('click', () => {
    if (status.state === 'ended' || status.state === 'failed') start();
  });

  waitForGesture();
})();
