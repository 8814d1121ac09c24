// The browser page, opened from disk in a headless Chromium: it draws the
// field and the men, moves, pauses and resumes on P, keeps its session log
// and holds its frame rate. Usage: node page.test.js PATH-TO/skirmlings.html
const { describe, it, before, after } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const puppeteer = require('puppeteer-core');

const pageFile = path.resolve(process.argv[2] || '');
const res = path.join(__dirname, '..', '..', 'res');
// Men start with their corners in x 200-299, y 100-199; with their bodies,
// their bars above them and a first step, this box holds them all.
const inSpawn = (x, y) => x >= 185 && x < 325 && y >= 85 && y < 230;

// A 32-bit BMP with its masks (as the game's are stored): 0xRRGGBB of x, y.
function readBmp(name) {
  const b = fs.readFileSync(path.join(res, name));
  assert.ok(b.readUInt16LE(28) === 32 && b.readUInt32LE(30) === 3, `${name}: 32-bit pixels with masks`);
  const w = b.readInt32LE(18), h = b.readInt32LE(22), start = b.readUInt32LE(10);
  const shifts = [54, 58, 62].map((o) => b.readUInt32LE(o)).map((m) => 31 - Math.clz32(m & -m));
  return { w, h: Math.abs(h), at: (x, y) => {
    const v = b.readUInt32LE(start + ((h > 0 ? h - 1 - y : y) * w + x) * 4);
    return shifts.reduce((rgb, s) => (rgb << 8) | ((v >>> s) & 0xff), 0);
  } };
}

// Polls fn until it gives something truthy; fails after limit ms.
async function until(what, fn, limit = 60000) {
  for (const end = Date.now() + limit; ; await new Promise((r) => setTimeout(r, 100))) {
    const v = await fn();
    if (v) return v;
    if (Date.now() > end) assert.fail(`timed out waiting for ${what}`);
  }
}

let browser;
describe('the browser page', () => {
  let page, profile;
  const problems = [];
  // The page's own view: frames presented so far, its canvas, its log.
  const frames = () => page.evaluate(() => window.presented.length);
  const canvas = () => page.evaluate(() =>
    window.base64(document.getElementById('canvas').getContext('2d').getImageData(0, 0, 600, 400).data));
  const logLines = () => page.evaluate(() => FS.readFile('/session.log', { encoding: 'utf8' }))
    .then((text) => text.split('\n').filter(Boolean).map((l) => l.replace(/^.*?\) /, '')));
  const deaths = async () => (await logLines()).filter((l) => l.endsWith('has died. Blurgh!')).length;

  before(async () => {
    assert.ok(fs.existsSync(pageFile), `no page at ${pageFile}`);
    profile = fs.mkdtempSync(path.join(os.tmpdir(), 'skirmlings-chromium-'));
    browser = await puppeteer.launch({
      executablePath: process.env.CHROMIUM || '/usr/bin/chromium', pipe: true, headless: true,
      userDataDir: profile, protocolTimeout: 120000,
      args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
        '--disable-background-networking', '--disable-component-update', '--disable-sync'],
    });
    page = await browser.newPage();
    page.on('console', (m) => m.type() === 'error' && problems.push(m.text()));
    page.on('pageerror', (e) => problems.push(String(e)));
    // Every picture the game presents goes through putImageData: note when,
    // and keep a copy of the first.
    await page.evaluateOnNewDocument(() => {
      window.base64 = (bytes) => {
        let s = '';
        for (let i = 0; i < bytes.length; i += 0x8000) s += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
        return btoa(s);
      };
      const put = CanvasRenderingContext2D.prototype.putImageData;
      window.presented = [];
      CanvasRenderingContext2D.prototype.putImageData = function (image, ...rest) {
        if (!window.presented.length) window.firstFrame = new Uint8Array(image.data);
        window.presented.push(performance.now());
        return put.call(this, image, ...rest);
      };
    });
    await page.goto('file://' + pageFile);
    const first = await until('the first frame', () => page.evaluate(() => window.presented[0]));
    console.log(`# first frame ${first.toFixed(0)} ms after the page started loading`);
  });

  after(async () => {
    if (browser) await browser.close();
    if (profile) fs.rmSync(profile, { recursive: true, force: true, maxRetries: 10 });
  });

  it('shows the field and, in the spawn square, the men and their bars', async () => {
    const frame = Buffer.from(await page.evaluate(() => window.base64(window.firstFrame)), 'base64');
    const field = readBmp('back2.bmp'), sheet = readBmp('men.bmp');
    assert.deepEqual([field.w, field.h], [600, 400]);
    const bar = new Set(Array.from({ length: 20 }, (_, x) => sheet.at(x, 136)));
    let outside = 0, outsideSame = 0, men = 0, bars = 0, green = 0;
    for (let i = 0; i < 600 * 400; i++) {
      const [x, y] = [i % 600, Math.floor(i / 600)], px = frame.readUIntBE(i * 4, 3), same = px === field.at(x, y);
      green += px === 0x00ff00;
      if (!inSpawn(x, y)) [outside, outsideSame] = [outside + 1, outsideSame + same];
      else if (!same) [men, bars] = [men + 1, bars + bar.has(px)];
    }
    assert.equal(green, 0, 'pure green pixels on the canvas');
    assert.ok(outsideSame / outside > 0.99, `only ${outsideSame} of ${outside} pixels away from the men show the field`);
    assert.ok(men > 3000, `only ${men} pixels of men in the spawn square`);
    assert.ok(bars > 300, `only ${bars} pixels of health bars in the spawn square`);
  });

  it('moves, and holds its frame rate without keeping the page busy', async () => {
    const start = await canvas();
    await until('the picture to change', async () => (await canvas()) !== start);
    const [t0, m0] = [await page.evaluate(() => performance.now()), await page.metrics()];
    await until('eight seconds of play', () => page.evaluate((t) => performance.now() > t + 8000, t0), 30000);
    const m1 = await page.metrics();
    const shown = await page.evaluate((t) => window.presented.filter((p) => p >= t), t0);
    const fps = ((shown.length - 1) * 1000) / (shown.at(-1) - shown[0]);
    const busy = (m1.TaskDuration - m0.TaskDuration) / (m1.Timestamp - m0.Timestamp);
    console.log(`# ${fps.toFixed(1)} frames a second, main thread ${(busy * 100).toFixed(0)}% busy`);
    assert.ok(fps >= 28, `${fps.toFixed(1)} frames a second`);
    assert.ok(busy < 0.5, `the main thread is ${(busy * 100).toFixed(0)}% busy`);
  });

  it('keeps a session log that starts in order and gains deaths', async () => {
    const lines = await until('the start-up lines', async () => ((await logLines()).length >= 5 ? logLines() : null));
    assert.deepEqual(lines.slice(0, 5), ['Starting...', 'Loading first image:', 'Loading image: /back2.bmp',
      'Loading second image:', 'Loading image: /men.bmp']);
    const seen = await until('a death in the log', deaths);
    await until('more deaths in the log', async () => (await deaths()) > seen);
  });

  it('freezes on P and plays on after P again', async () => {
    await page.keyboard.press('p');
    // The frame drawn while the key travelled may still arrive: wait for quiet.
    let n = await frames();
    await until('the frames to stop', async () => {
      await new Promise((r) => setTimeout(r, 300));
      return n === (n = await frames());
    }, 10000);
    const still = await canvas(), t = Date.now();
    await until('a second of pause', () => Date.now() > t + 1200);
    assert.equal(await frames(), n, 'frames presented while paused');
    assert.equal(await canvas(), still, 'the picture changed while paused');
    await page.keyboard.press('p');
    await until('frames after the resume', async () => (await frames()) > n + 10, 30000);
    assert.notEqual(await canvas(), still, 'the picture stays frozen after the resume');
  });

  it('says nothing wrong in its console', () => assert.deepEqual(problems, []));
});

// A wedged browser must not hang the suite: end it well before ctest would.
setTimeout(() => {
  console.error('page test: overall time limit reached');
  browser?.process()?.kill('SIGKILL');
  process.exit(1);
}, 240000).unref();
