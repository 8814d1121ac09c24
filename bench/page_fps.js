// The browser page's first picture and frame rate in each engine:
//   node bench/page_fps.js PATH-TO/skirmlings.html [ENGINE...]
// (WebKit needs an X server: bench.sh runs this under xvfb-run). It plays a
// copy of the page that notes when each picture is presented, and prints
// for each engine the median first picture of a few loads from disk (ms
// after the page began loading) and the frames a second over some seconds
// of play. The game aims at 30. Figures only: it fails only when a page
// does not play at all.
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { openPage } = require('../tests/web/launch.js');

const [page, ...asked] = process.argv.slice(2);
const engines = asked.length ? asked : ['chromium', 'firefox', 'webkit'];
const LOADS = Number(process.env.LOADS || 5), SECONDS = Number(process.env.SECONDS || 8);
const NOTE = `<script>(() => {
  const put = CanvasRenderingContext2D.prototype.putImageData;
  window.presented = [];
  CanvasRenderingContext2D.prototype.putImageData = function (...args) {
    window.presented.push(performance.now());
    return put.apply(this, args);
  };
})();</script>`;
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

async function measure(engine, copy) {
  const firsts = [];
  let fps = 0;
  for (let load = 0; load < LOADS; load++) {
    const game = await openPage(engine, copy);
    try {
      for (let tries = 0; !(await game.run(() => window.presented.length)); tries++) {
        if (tries > 600) throw new Error(`${engine}: no picture within a minute`);
        await sleep(100);
      }
      firsts.push(await game.run(() => window.presented[0]));
      if (load === 0) {
        const from = await game.run(() => performance.now());
        await sleep(SECONDS * 1000);
        const shown = await game.run((t) => window.presented.filter((p) => p >= t), from);
        if (shown.length < 2) throw new Error(`${engine}: the pictures stopped coming`);
        fps = ((shown.length - 1) * 1000) / (shown.at(-1) - shown[0]);
      }
    } finally {
      await game.quit();
    }
  }
  firsts.sort((a, b) => a - b);
  return { first: firsts[Math.floor(firsts.length / 2)], fps };
}

(async () => {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'skirmlings-page-bench-'));
  const copy = path.join(dir, 'skirmlings.html');
  fs.writeFileSync(copy, fs.readFileSync(page, 'utf8').replace('<head>', '<head>' + NOTE));
  console.log(`page ${fs.statSync(page).size} bytes; ${LOADS} loads from disk, ${SECONDS} s of play`);
  let status = 0;
  for (const engine of engines) {
    try {
      const { first, fps } = await measure(engine, copy);
      console.log(`${engine.padEnd(9)} first picture ${first.toFixed(0).padStart(5)} ms   ${fps.toFixed(1)} frames a second`);
    } catch (e) {
      console.log(`${engine.padEnd(9)} failed: ${e.message}`);
      status = 1;
    }
  }
  fs.rmSync(dir, { recursive: true, force: true });
  process.exit(status);
})();
