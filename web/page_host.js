// The page's side of the web host (src/platform/host/web_host.cpp): the picture on the canvas,
// the waits that give the browser its turn, full screen, the message box, and the sound queue
// that the program's mixer fills at each wait.
'use strict';

class PageHost {
  // Seconds of sound kept queued ahead of the output: at least kMinLead, and more while frames
  // come slowly (kLeadPerGap times the longest recent gap between two fills), at most kMaxLead.
  static kMinLead = 0.12;
  static kMaxLead = 0.5;
  static kLeadPerGap = 2.5;
  // How fast the remembered longest gap shrinks again, per fill.
  static kGapDecay = 0.99;
  // A paced wait that sees no animation frame for this long (the page went hidden) goes on.
  static kFrameTimeoutMs = 100;
  // While the program waits with nothing to draw, it looks for events this often.
  static kIdleMs = 20;

  // stage: the element that goes full screen; canvas: the picture; options.unpaced: benchmark
  // mode; options.audioContext: the context the page made on the start gesture, if any.
  constructor(stage, canvas, options) {
    this.stage = stage;
    this.canvas = canvas;
    this.context2d = canvas.getContext('2d', { alpha: false });
    this.unpaced = Boolean(options.unpaced);
    this.pageAudio = options.audioContext || null;
    this.onShown = options.onShown || (() => {});
    this.onEnded = options.onEnded || (() => {});
    this.onMessage = options.onMessage || (() => Promise.resolve());
    // What the page and its tests read.
    this.frames = 0;
    this.firstFrameAt = 0;
    this.channel = new MessageChannel();
    this.channelWaiters = [];
    this.channel.port1.onmessage = () => { const w = this.channelWaiters.shift(); if (w) w(); };
    this.audio = null;
  }

  // ---- Window ----

  desktopWidth() { return this.stage.clientWidth || window.innerWidth; }
  desktopHeight() { return this.stage.clientHeight || window.innerHeight; }

  showWindow(title, shown) {
    if (title) document.title = title;
    if (shown) {
      this.canvas.hidden = false;
      this.onShown();
    }
  }

  setCursorVisible(visible) { this.canvas.style.cursor = visible ? '' : 'none'; }

  // bgra: the icon's pixels, bytes B, G, R, A.
  setIcon(bgra, width, height) {
    const icon = document.createElement('canvas');
    icon.width = width;
    icon.height = height;
    const image = new ImageData(width, height);
    for (let i = 0; i < bgra.length; i += 4) {
      image.data[i] = bgra[i + 2];
      image.data[i + 1] = bgra[i + 1];
      image.data[i + 2] = bgra[i];
      image.data[i + 3] = bgra[i + 3];
    }
    icon.getContext('2d').putImageData(image, 0, 0);
    let link = document.querySelector('link[rel="icon"]');
    if (!link) {
      link = document.createElement('link');
      link.rel = 'icon';
      document.head.appendChild(link);
    }
    link.href = icon.toDataURL('image/png');
  }

  toggleFullScreen() {
    const current = document.fullscreenElement || document.webkitFullscreenElement;
    // Refusals (no recent gesture, a browser that does not allow it) leave the page as it is.
    const ignore = () => {};
    if (current) {
      const exit = document.exitFullscreen || document.webkitExitFullscreen;
      if (exit) Promise.resolve(exit.call(document)).catch(ignore);
    } else {
      const request = this.stage.requestFullscreen || this.stage.webkitRequestFullscreen;
      if (request) Promise.resolve(request.call(this.stage)).catch(ignore);
    }
  }

  // heap: the module's memory; rgba: where the frame's R, G, B, A bytes start.
  present(heap, rgba, width, height) {
    if (this.canvas.width !== width || this.canvas.height !== height) {
      this.canvas.width = width;
      this.canvas.height = height;
      window.dispatchEvent(new Event('resize'));
    }
    this.context2d.putImageData(new ImageData(new Uint8ClampedArray(heap, rgba, width * height * 4), width, height),
                                0, 0);
    if (this.frames === 0) this.firstFrameAt = performance.now();
    ++this.frames;
  }

  // kind 0: the next animation frame; 1: only what the browser has pending; 2: a pause while idle.
  wait(kind) {
    return new Promise((resolve) => {
      if (kind === 1) {
        this.channelWaiters.push(resolve);
        this.channel.port2.postMessage(0);
      } else if (kind === 2 || document.hidden) {
        setTimeout(resolve, kind === 2 ? PageHost.kIdleMs : 1000 / 60);
      } else {
        const timeout = setTimeout(() => { cancelAnimationFrame(frame); resolve(); }, PageHost.kFrameTimeoutMs);
        const frame = requestAnimationFrame(() => { clearTimeout(timeout); resolve(); });
      }
    });
  }

  messageBox(caption, text) { return this.onMessage(caption, text); }

  ended(result) { this.onEnded(result); }

  // ---- Sound ----

  audioOpen(frequency) {
    let context = this.pageAudio;
    let own = false;
    if (!context || context.sampleRate !== frequency) {
      const AudioContextClass = window.AudioContext || window.webkitAudioContext;
      if (!AudioContextClass) return false;
      try {
        context = new AudioContextClass({ sampleRate: frequency, latencyHint: 'interactive' });
        own = true;
      } catch (e) {
        return false;
      }
    }
    const output = context.createGain();
    const analyser = context.createAnalyser();
    analyser.fftSize = 2048;
    output.connect(analyser);
    analyser.connect(context.destination);
    if (context.state !== 'running') context.resume().catch(() => {});
    this.audio = {
      context, own, output, analyser, rate: frequency,
      sources: new Set(),
      paused: true,
      // Output time at which the queue runs out; 0 while nothing is queued.
      end: 0,
      longestGap: 0,
      lastFill: 0,
      queuedFrames: 0,
      // Times the queue ran dry while playing, and the seconds of silence that made.
      dropouts: 0,
      dropoutSeconds: 0,
    };
    return true;
  }

  audioClose() {
    const a = this.audio;
    if (!a) return;
    this.audio = null;
    for (const source of a.sources) {
      try { source.stop(); } catch (e) { /* already stopped */ }
    }
    a.output.disconnect();
    a.analyser.disconnect();
    if (a.own) a.context.close().catch(() => {});
  }

  audioPause(paused) {
    const a = this.audio;
    if (!a) return;
    a.paused = paused;
    // What is queued plays out; a resumed queue starts afresh.
    if (paused) a.end = 0;
  }

  audioFramesWanted() {
    const a = this.audio;
    if (!a || a.paused) return 0;
    const now = a.context.currentTime;
    const wall = performance.now() / 1000;
    if (a.lastFill > 0) a.longestGap = Math.max(Math.min(wall - a.lastFill, 1), a.longestGap * PageHost.kGapDecay);
    a.lastFill = wall;
    if (a.end > 0 && a.end < now) {
      ++a.dropouts;
      a.dropoutSeconds += now - a.end;
      a.end = 0;
    }
    const lead = Math.min(PageHost.kMaxLead, Math.max(PageHost.kMinLead, PageHost.kLeadPerGap * a.longestGap));
    const ahead = a.end > 0 ? a.end - now : 0;
    return ahead >= lead ? 0 : Math.ceil((lead - ahead) * a.rate);
  }

  // stereo: interleaved 16-bit samples, `frames` of them per channel.
  audioQueue(stereo, frames) {
    const a = this.audio;
    if (!a || frames <= 0) return;
    const buffer = a.context.createBuffer(2, frames, a.rate);
    const left = buffer.getChannelData(0);
    const right = buffer.getChannelData(1);
    for (let i = 0; i < frames; ++i) {
      left[i] = stereo[2 * i] / 32768;
      right[i] = stereo[2 * i + 1] / 32768;
    }
    const source = a.context.createBufferSource();
    source.buffer = buffer;
    source.connect(a.output);
    source.onended = () => { a.sources.delete(source); source.disconnect(); };
    a.sources.add(source);
    // A fresh queue starts a little ahead of the output so its first buffer is not cut.
    if (a.end === 0) a.end = a.context.currentTime + 0.02;
    source.start(a.end);
    a.end += frames / a.rate;
    a.queuedFrames += frames;
  }

  // The loudest sample (0..1) of the last analyser window: what the output is playing now.
  audioLevel() {
    const a = this.audio;
    if (!a) return 0;
    const samples = new Float32Array(a.analyser.fftSize);
    a.analyser.getFloatTimeDomainData(samples);
    let peak = 0;
    for (const s of samples) peak = Math.max(peak, Math.abs(s));
    return peak;
  }
}
