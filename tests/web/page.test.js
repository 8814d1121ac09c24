// The browser page in one engine: node page.test.js chromium|firefox|webkit
// PATH-TO/skirmlings.html. It plays the scenario every build plays, presents
// each frame once, then shows its log and reports no problem. In Chromium it
// is also tried on a phone and a large monitor, saves its log, and weighs at
// most 512 KiB.
const { test } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { until, readPicture, playScenario, messages } = require('../scenario.js');
const { openPage } = require('./launch.js');

const [engine, file] = [process.argv[2], path.resolve(process.argv[3] || '')];
const START = ['Starting...', 'Loading first image:', 'Loading image: /back2.bmp', 'Loading second image:',
  'Loading image: /men.bmp'];

test(`the page plays in ${engine}`, async (t) => {
  const game = await openPage(engine, file);
  t.after(() => game.quit());
  await playScenario(game, readPicture(path.join(__dirname, '..', '..', 'res', 'back2.bmp')));
  // Each frame is presented once: some 30 pictures a second, never twice as many.
  const shown = await game.run(() => new Promise((done) => {
    const put = CanvasRenderingContext2D.prototype.putImageData;
    let count = 0;
    CanvasRenderingContext2D.prototype.putImageData = function (...a) { count++; return put.apply(this, a); };
    setTimeout(() => done(count), 2000);
  }));
  assert.ok(shown <= 2 * 36, `${shown} pictures presented in 2 s`);
  await game.click('show-log');
  assert.deepEqual(messages(await game.run(() => document.getElementById('log').textContent)).slice(0, 5), START);
  assert.deepEqual(await game.problems(), []);
});

test('on a phone and a large monitor, the field fits crisply; a tap pauses, a click focuses', {
  skip: engine !== 'chromium',
}, async (t) => {
  assert.ok(fs.statSync(file).size <= 512 * 1024, `the page weighs ${fs.statSync(file).size} bytes`);
  const icon = fs.readFileSync(path.join(__dirname, '..', '..', 'res', 'icons', 'skirmlings-32.png'));
  const downloads = fs.mkdtempSync(path.join(os.tmpdir(), 'skirmlings-downloads-'));
  t.after(() => fs.rmSync(downloads, { recursive: true, force: true }));
  const game = await openPage('chromium', file, {
    defaultViewport: { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true },
    downloadBehavior: { policy: 'allow', downloadPath: downloads },
  });
  t.after(() => game.quit());
  const { page } = game;
  const field = () => page.evaluate(() => {
    const box = document.getElementById('canvas').getBoundingClientRect();
    return { box: [box.x, box.width, box.height], wide: document.documentElement.scrollWidth,
      crisp: getComputedStyle(document.getElementById('canvas')).imageRendering };
  });
  await game.click('show-log');
  assert.deepEqual(await field(), { box: [0, 390, 260], wide: 390, crisp: 'pixelated' });
  assert.equal(await page.evaluate(async () => btoa(String.fromCharCode(...new Uint8Array(await (await
    fetch(document.querySelector('link[rel=icon]').href)).arrayBuffer())))), icon.toString('base64'), 'the favicon');

  // A tap and the button hand the game a P; the log closes and reopens.
  const toggles = async (how, label) => {
    await until('the game to play', game.logOpen);
    await how();
    await until('the pause to close the log', async () => !(await game.logOpen()));
    await until(`the button to say ${label}`, async () => (await page.$eval('#pause', (b) => b.textContent)) === label);
    await how();
    await until('the resume to reopen the log', game.logOpen);
  };
  const middle = await page.$eval('#canvas', (c) => c.getBoundingClientRect().y + 130);
  await toggles(() => page.touchscreen.tap(195, middle), 'Resume');
  await toggles(() => page.click('#pause'), 'Resume');
  await page.click('#canvas');
  await new Promise((r) => setTimeout(r, 1000));
  assert.ok(await game.logOpen(), 'a mouse click on the field paused the game');
  assert.equal(await page.evaluate(() => document.activeElement.id), 'canvas', 'the click gives the field the keys');

  await game.click('save-log');
  const saved = path.join(downloads, 'session.log');
  await until('the downloaded log', () => fs.existsSync(saved) && fs.readFileSync(saved, 'utf8').includes('men.bmp'));
  assert.deepEqual(messages(fs.readFileSync(saved, 'utf8')).slice(0, 5), START);

  await page.setViewport({ width: 1920, height: 1080 });
  await until('the field at twice its size', async () => (await field()).box[1] === 1200);
  assert.deepEqual(await field(), { box: [360, 1200, 800], wide: 1920, crisp: 'pixelated' });

  // Full screen keeps the picture and the keys; its button, in the field's
  // corner there, leaves it.
  const fullScreen = () => page.evaluate(() => document.fullscreenElement?.id === 'stage');
  await game.click('full');
  await until('full screen', fullScreen);
  await toggles(game.press, 'Resume');
  await game.click('full');
  await until('the page again', async () => !(await fullScreen()));
  assert.deepEqual(await game.problems(), []);
});
