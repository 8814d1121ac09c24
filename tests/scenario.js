// The one scenario every build of the game plays, whatever shows it: a
// window on an X server (the desktop game, its packages, the Windows game
// under wine) or a canvas in a browser. A launcher hands it a game:
//   picture()  what is shown now, as { w, h, rgb } (3 bytes a pixel), or null
//   press()    one press of P
//   logOpen()  whether session.log is open right now
//   close()    a close request; resolves to { status, log } once the game
//              has ended, or is left out where the platform has no end
const assert = require('node:assert/strict');
const fs = require('node:fs');

// Polls fn until it gives something truthy, and gives that; fails after
// limit ms. Limits are generous: the machines that run this are shared.
async function until(what, fn, limit = 60000) {
  for (const end = Date.now() + limit; ; await new Promise((r) => setTimeout(r, 100))) {
    const v = await fn();
    if (v) return v;
    if (Date.now() > end) assert.fail(`timed out waiting for ${what}`);
  }
}

// A BMP of 24 or 32 bits a pixel, with or without masks, as { w, h, rgb }.
function readBmp(file) {
  const b = fs.readFileSync(file);
  const w = b.readInt32LE(18), h = b.readInt32LE(22), bits = b.readUInt16LE(28);
  const start = b.readUInt32LE(10), stride = Math.ceil((w * bits) / 32) * 4;
  const masks = b.readUInt32LE(30) === 3 ? [54, 58, 62].map((o) => b.readUInt32LE(o)) : [0xff0000, 0xff00, 0xff];
  const shifts = masks.map((m) => 31 - Math.clz32(m & -m));
  const rgb = Buffer.alloc(w * Math.abs(h) * 3);
  for (let y = 0; y < Math.abs(h); y++) {
    for (let x = 0; x < w; x++) {
      const at = start + (h > 0 ? Math.abs(h) - 1 - y : y) * stride + (x * bits) / 8;
      const v = bits === 32 ? b.readUInt32LE(at) : b.readUIntLE(at, 3);
      shifts.forEach((s, c) => { rgb[(y * w + x) * 3 + c] = (v >>> s) & 0xff; });
    }
  }
  return { w, h: Math.abs(h), rgb };
}

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
// none). field is back2.bmp as readBmp gives it; limit scales every wait.
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

module.exports = { until, readBmp, playScenario, messages };
