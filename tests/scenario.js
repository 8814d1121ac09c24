// The one scenario every build of the game plays, whatever shows it: a
// window on an X server (the desktop game, its packages, the Windows game
// under wine) or a canvas in a browser. A launcher hands it a game:
//   picture()  what is shown now, as { w, h, rgb } (3 bytes a pixel), or null
//   press()    one press of P
//   logOpen()  whether session.log is open right now
//   close()    a close request; resolves to { status, log } once the game
//              has ended, or is left out where the platform has no end
const assert = require('node:assert/strict');
const { execFileSync } = require('node:child_process');

// Polls fn until it gives something truthy, and gives that; fails after
// limit ms. Limits are generous: the machines that run this are shared.
async function until(what, fn, limit = 60000) {
  for (const end = Date.now() + limit; ; await new Promise((r) => setTimeout(r, 100))) {
    const v = await fn();
    if (v) return v;
    if (Date.now() > end) assert.fail(`timed out waiting for ${what}`);
  }
}

// A binary PPM as { w, h, rgb }; null when it is none.
function fromPpm(bytes) {
  const head = bytes && bytes.toString('latin1', 0, 32).match(/^P6\s+(\d+)\s+(\d+)\s+255\s/);
  return head && { w: +head[1], h: +head[2], rgb: bytes.subarray(head[0].length) };
}
// Any picture file ImageMagick reads, such as a BMP.
const readPicture = (file) => fromPpm(execFileSync('convert', [file, '-depth', '8', 'ppm:-'], { timeout: 60000 }));

const same = (a, b) => a && b && a.rgb.equals(b.rgb);

// Waits for two pictures in a row that differ (moving) or match (still).
async function pictures(game, moving, what, limit) {
  let before = await game.picture();
  return until(what, async () => {
    const now = await game.picture();
    const done = now && before && same(now, before) !== moving;
    before = now;
    return done && now;
  }, limit);
}

// The field with the men on it: 600 x 400, the sheet's pure green nowhere,
// and between a few thousand pixels and a quarter of them off the field.
function showsFieldAndMen(shown, field) {
  assert.deepEqual([shown.w, shown.h], [600, 400], 'the picture is 600 x 400');
  let changed = 0;
  for (let i = 0; i < 600 * 400 * 3; i += 3) {
    const px = shown.rgb.readUIntBE(i, 3);
    assert.notEqual(px, 0x00ff00, `the sheet's green shows at pixel ${i / 3}`);
    changed += px !== field.rgb.readUIntBE(i, 3);
  }
  assert.ok(changed > 4000 && changed < (600 * 400) / 4, `${changed} pixels differ from the field`);
}

// The lines an orderly run logs, deaths left out, after its start.
const CLOSING = ['Quit message recieved.', 'Program closing..', 'Finished.'];
const messages = (log) => log.split('\n').map((l) => l.replace(/\r$/, '').replace(/^.*?\) /, ''))
  .filter((m) => m && !m.endsWith('has died. Blurgh!'));

// Plays the scenario and gives what the close gave (null where there is
// none). field is back2.bmp as readPicture gives it; limit scales every wait.
async function playScenario(game, field, limit = 60000) {
  showsFieldAndMen(await pictures(game, true, 'the window and moving men', limit), field);
  await game.press();
  await until('the pause to close the log', async () => !(await game.logOpen()), limit);
  // A frame drawn while the key travelled may still arrive: wait for quiet.
  const still = await pictures(game, false, 'the picture to hold still', limit);
  await new Promise((r) => setTimeout(r, 1000));
  assert.ok(same(await game.picture(), still), 'nothing may move while paused');
  await game.press();
  await until('the resume to reopen the log', () => game.logOpen(), limit);
  await pictures(game, true, 'the men to move again', limit);
  if (!game.close) return null;
  const end = await game.close();
  assert.equal(end.status, 0, 'a close request ends the run with status 0');
  const said = messages(end.log);
  assert.equal(said[0], 'Starting...');
  assert.deepEqual(said.slice(-3), CLOSING, 'the log ends in order');
  return end;
}

module.exports = { until, fromPpm, readPicture, playScenario, messages };
