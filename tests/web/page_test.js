// The music disk's page in a real browser: Debian's chromium, headless, loads build-web/ from a
// server of our own on 127.0.0.1 and is driven over the DevTools protocol (puppeteer-core) as a
// visitor would: keys and clicks. Run by ctest (tests/web/CMakeLists.txt) with
//   MUSIDISK_WEB_DIR  the built page (scripts/web)      MUSIDISK_CHROMIUM  the browser
//   NODE_PATH         where npm put puppeteer-core
'use strict';

const assert = require('node:assert/strict');
const fs = require('node:fs');
const http = require('node:http');
const os = require('node:os');
const path = require('node:path');
const { after, before, describe, test } = require('node:test');
const puppeteer = require('puppeteer-core');

const pageDir = process.env.MUSIDISK_WEB_DIR;
const chromium = process.env.MUSIDISK_CHROMIUM || '/usr/bin/chromium';

// How long the page may take for a step before the test gives up (not a measure of speed: a
// loaded machine is slow, a broken page never gets there).
const kStepTimeoutMs = 60000;
// Show time after which the logo banner has faded in fully (it starts after 1 s, fades over 4 s).
const kBannerShownSeconds = 5.5;
// The banner covers rows 0..127 of the 640x480 picture.
const kBannerRows = 128;

// Serves the built page and nothing else; .wasm as application/wasm, which streaming compilation needs.
function startServer(root) {
  const types = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm' };
  const server = http.createServer((request, response) => {
    let name = decodeURIComponent(new URL(request.url, 'http://127.0.0.1').pathname);
    if (name === '/') name = '/index.html';
    const file = path.join(root, path.normalize(name));
    if (!file.startsWith(root + path.sep)) {
      response.writeHead(403).end();
      return;
    }
    fs.readFile(file, (error, data) => {
      if (error) {
        response.writeHead(404).end();
        return;
      }
      response.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' }).end(data);
    });
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// A browser on a fresh profile; close() also removes the profile.
async function launch(extraArgs = []) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'musidisk-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: chromium,
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', ...extraArgs],
  });
  return {
    browser,
    async close() {
      await browser.close();
      fs.rmSync(profile, { recursive: true, force: true, maxRetries: 5 });
    },
  };
}

// A page that records what its console and its scripts report as errors.
async function openPage(browser, url) {
  const page = await browser.newPage();
  const errors = [];
  page.on('console', (message) => { if (message.type() === 'error') errors.push(message.text()); });
  page.on('pageerror', (error) => errors.push(error.message));
  await page.setViewport({ width: 800, height: 600 });
  await page.goto(url);
  return { page, errors };
}

const noticeText = (page) => page.$eval('#notice-text', (e) => (e.closest('[hidden]') ? '' : e.textContent));
const waitFor = (page, fn, ...args) => page.waitForFunction(fn, { timeout: kStepTimeoutMs, polling: 50 }, ...args);
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// The picture's pixels as the canvas holds them (640x480 R, G, B, A bytes), base64.
async function readPicture(page) {
  const encoded = await page.$eval('#screen', (canvas) => {
    const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    let text = '';
    for (let i = 0; i < data.length; i += 0x8000) text += String.fromCharCode(...data.subarray(i, i + 0x8000));
    return { width: canvas.width, height: canvas.height, bytes: btoa(text) };
  });
  return { width: encoded.width, height: encoded.height, bytes: Buffer.from(encoded.bytes, 'base64') };
}

// Share of the pixels in rows [top, bottom) that are not black.
function litShare(picture, top, bottom) {
  let lit = 0;
  for (let y = top; y < bottom; ++y) {
    for (let x = 0; x < picture.width; ++x) {
      const i = 4 * (y * picture.width + x);
      if (picture.bytes[i] + picture.bytes[i + 1] + picture.bytes[i + 2] > 0) ++lit;
    }
  }
  return lit / ((bottom - top) * picture.width);
}

function changedPixels(a, b) {
  let changed = 0;
  for (let i = 0; i < a.bytes.length; i += 4) {
    if (a.bytes[i] !== b.bytes[i] || a.bytes[i + 1] !== b.bytes[i + 1] || a.bytes[i + 2] !== b.bytes[i + 2]) ++changed;
  }
  return changed;
}

// The loudest output sample over a few analyser windows.
async function outputPeak(page) {
  let peak = 0;
  for (let i = 0; i < 10 && peak < 0.01; ++i) {
    peak = Math.max(peak, await page.evaluate(() => window.musidisk.host.audioLevel()));
    await sleep(100);
  }
  return peak;
}

let server;
let origin;

before(async () => {
  assert.ok(pageDir && fs.existsSync(path.join(pageDir, 'musidisk.wasm')), `no built page in ${pageDir}: run scripts/web`);
  server = await startServer(path.resolve(pageDir));
  origin = `http://127.0.0.1:${server.address().port}`;
});

after(() => server && server.close());

describe('the page in chromium', () => {
  let chromiumRun;
  let browser;
  let page;
  let errors;

  before(async () => {
    chromiumRun = await launch();
    browser = chromiumRun.browser;
    ({ page, errors } = await openPage(browser, `${origin}/`));
  });

  after(async () => chromiumRun && chromiumRun.close());

  test('waits on its start screen for a gesture', async () => {
    await waitFor(page, () => window.musidisk && window.musidisk.state === 'waiting');
    assert.equal(await noticeText(page), 'Click or press a key to start');
    await sleep(300);
    assert.equal(await page.evaluate(() => window.musidisk.state), 'waiting');
  });

  test('a key starts the show: the banner shows and the picture moves', async () => {
    await page.keyboard.press('Space');
    await waitFor(page, () => window.musidisk.state === 'running' && window.musidisk.host.frames > 0);
    assert.equal(await page.$eval('#screen', (c) => c.hidden), false);
    assert.equal(await noticeText(page), '');
    await waitFor(page, (s) => (performance.now() - window.musidisk.host.firstFrameAt) / 1000 > s, kBannerShownSeconds);
    const first = await readPicture(page);
    assert.equal(first.width, 640);
    assert.equal(first.height, 480);
    assert.ok(litShare(first, 0, kBannerRows) > 0.2, 'the logo banner rows are black');
    await sleep(250);
    const second = await readPicture(page);
    assert.ok(changedPixels(first, second) > 1000, 'the picture did not change between two reads');
  });

  test('sound: the audio graph runs and plays the music', async () => {
    const audio = () => page.evaluate(() => {
      const a = window.musidisk.host.audio;
      return a && { state: a.context.state, time: a.context.currentTime, rate: a.context.sampleRate, queued: a.queuedFrames };
    });
    const before = await audio();
    assert.ok(before, 'no audio output was opened');
    assert.equal(before.state, 'running');
    assert.equal(before.rate, 44100);
    await sleep(300);
    const later = await audio();
    assert.ok(later.time > before.time, 'the audio clock stands still');
    assert.ok(later.queued > before.queued, 'the mixer stopped filling the queue');
    assert.ok(await outputPeak(page) > 0.01, 'the output is silent');
  });

  test('Right changes the track, Left goes back', async () => {
    const playing = () => page.evaluate(() => window.musidisk.playingMusic());
    const first = await playing();
    assert.ok(first > 0, 'no music plays');
    await page.keyboard.press('ArrowRight');
    await waitFor(page, (m) => window.musidisk.playingMusic() !== m, first);
    assert.ok(await playing() > 0);
    await page.keyboard.press('ArrowLeft');
    await waitFor(page, (m) => window.musidisk.playingMusic() === m, first);
  });

  test('Alt+Enter toggles the browser full screen', async () => {
    const fullScreen = () => page.evaluate(() => document.fullscreenElement !== null);
    assert.equal(await fullScreen(), false);
    for (const expected of [true, false]) {
      // As a hand does it: Alt is still held in the frame after Enter went down (the program
      // looks at both keys once a frame).
      await page.keyboard.down('Alt');
      await sleep(100);
      await page.keyboard.press('Enter');
      await sleep(100);
      await page.keyboard.up('Alt');
      await waitFor(page, (e) => (document.fullscreenElement !== null) === e, expected);
    }
    // The show goes on.
    const frames = await page.evaluate(() => window.musidisk.host.frames);
    await waitFor(page, (n) => window.musidisk.host.frames > n + 5, frames);
  });

  test('a hidden page stops drawing but keeps the music going, and comes back', async () => {
    const counts = () => page.evaluate(() => ({ frames: window.musidisk.host.frames,
                                                queued: window.musidisk.host.audio.queuedFrames }));
    const other = await browser.newPage();
    await other.bringToFront();
    await waitFor(page, () => document.hidden);
    await sleep(300);
    const hidden = await counts();
    await sleep(700);
    const stillHidden = await counts();
    // The program shows full screen, so in the background it draws nothing, as on a desktop;
    // its loop still hands the browser control (this page answers) and fills the sound queue.
    assert.equal(stillHidden.frames, hidden.frames);
    assert.ok(stillHidden.queued > hidden.queued, 'the sound queue ran dry while the page was hidden');
    await page.bringToFront();
    await other.close();
    await waitFor(page, (n) => !document.hidden && window.musidisk.host.frames > n + 5, stillHidden.frames);
  });

  test('Escape ends the show; the page says so and starts it again on its button', async () => {
    await page.keyboard.press('Escape');
    await waitFor(page, () => window.musidisk.state === 'ended');
    assert.equal(await noticeText(page), 'The show has ended.');
    assert.equal(await page.$eval('#screen', (c) => c.hidden), true);
    assert.equal(await page.$eval('#notice-button', (b) => (b.hidden ? '' : b.textContent)), 'Start again');
    assert.equal(await page.evaluate(() => window.musidisk.host.audio), null, 'the sound was not closed');

    await page.click('#notice-button');
    await waitFor(page, () => window.musidisk.state === 'running' && window.musidisk.host.frames > 10);
    assert.ok(await page.evaluate(() => window.musidisk.playingMusic()) > 0);
    assert.ok(await outputPeak(page) > 0.01, 'the restarted show is silent');
  });

  test('nothing was reported as an error', () => {
    assert.deepEqual(errors, []);
  });
});

describe('a browser without Web Audio', () => {
  test('gets the program\'s message box, and the page says the show could not start', async () => {
    const run = await launch();
    try {
      const page = await run.browser.newPage();
      await page.evaluateOnNewDocument(() => {
        delete window.AudioContext;
        delete window.webkitAudioContext;
      });
      await page.goto(`${origin}/`);
      await waitFor(page, () => window.musidisk && window.musidisk.state === 'waiting');
      await page.keyboard.press('Enter');
      await waitFor(page, () => !document.getElementById('dialog').hidden);
      assert.equal(await page.$eval('#dialog-caption', (e) => e.textContent), 'Tarnvik Musidisk');
      assert.equal(await page.$eval('#dialog-text', (e) => e.textContent), 'Can\'t initialize digital sound system');
      // The message box is modal: the program waits for OK.
      await sleep(200);
      assert.notEqual(await page.evaluate(() => window.musidisk.state), 'ended');
      await page.click('#dialog-button');
      await waitFor(page, () => window.musidisk.state === 'ended');
      assert.equal(await noticeText(page), 'The show could not start.');
    } finally {
      await run.close();
    }
  });
});

describe('a browser without WebAssembly', () => {
  test('is told so plainly', async () => {
    // Without its JIT, V8 offers no WebAssembly (as in hardened browser setups).
    const run = await launch(['--js-flags=--jitless']);
    try {
      const { page } = await openPage(run.browser, `${origin}/`);
      await waitFor(page, () => window.musidisk && window.musidisk.state === 'unsupported');
      assert.match(await noticeText(page), /runs on WebAssembly, which this browser does not offer/);
      // Nothing starts on a key.
      await page.keyboard.press('Space');
      await sleep(200);
      assert.equal(await page.evaluate(() => window.musidisk.state), 'unsupported');
    } finally {
      await run.close();
    }
  });
});
