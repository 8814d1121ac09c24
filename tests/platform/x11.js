// Plays the one scenario (../scenario.js) against a game in a real window on
// the X server at DISPLAY, which xvfb-run owns: xdotool finds the window and
// types into it, ImageMagick's import takes its pictures.
//   node x11.js [--work DIR] [--log FILE] [--key KEY] [--close term|KEY]
//               [--env NAME=VALUE]... [--slow] -- COMMAND [ARGS...]
// The game starts in DIR (by default a fresh folder, removed after); a
// relative FILE is in DIR. KEY is xdotool's name for P (default p).
// --close term sends SIGTERM, as the desktop does; a key such as alt+F4 is
// what wine turns into the window's close. --slow gives a game under valgrind
// longer for every step. Whatever happens, the game is ended,
// and so is the wineserver of a WINEPREFIX it was given.
const { test } = require('node:test');
const assert = require('node:assert/strict');
const { execFileSync, spawn } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { parseArgs } = require('node:util');
const { until, fromPpm, readPicture, playScenario } = require('../scenario.js');

const { values: o, positionals: command } = parseArgs({
  allowPositionals: true,
  options: { ...Object.fromEntries(['work', 'log', 'key', 'close', 'env']
    .map((name) => [name, { type: 'string', multiple: name === 'env' }])), slow: { type: 'boolean' } },
});
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'x11-'));
const work = fs.realpathSync(o.work ?? fs.mkdirSync(path.join(scratch, 'work'), { recursive: true }));
const log = path.resolve(work, o.log ?? 'session.log');
const env = { ...process.env, ...Object.fromEntries((o.env ?? []).map((e) => e.split(/=(.*)/s))) };
delete env.SDL_VIDEODRIVER; // the game shows itself on the X server, whatever the caller uses
const attempt = (fn, failed = null) => { try { return fn(); } catch { return failed; } };
// What a tool printed, or null when it failed.
const run = (...argv) => attempt(() => execFileSync(argv[0], argv.slice(1),
  { env, stdio: ['ignore', 'pipe', 'ignore'] }));
// Whether any process, wine's included, holds the file open.
const heldOpen = (file) => fs.readdirSync('/proc').some((pid) => attempt(() => fs.readdirSync(`/proc/${pid}/fd`), [])
  .some((fd) => attempt(() => fs.readlinkSync(`/proc/${pid}/fd/${fd}`)) === file));

test(`the scenario in a window on X: ${command.join(' ')}`, async () => {
  const limit = o.slow ? 180000 : 60000; // memcheck's game runs many times slower
  const game = spawn(command[0], command.slice(1), { cwd: work, env, stdio: ['ignore', 'inherit', 'inherit'] });
  let ended = null;
  game.on('exit', (code, signal) => { ended = { status: code ?? signal }; });
  const stop = () => {
    if (!ended) game.kill('SIGKILL');
    if (env.WINEPREFIX) run('wineserver', '-k');
    fs.rmSync(scratch, { recursive: true, force: true });
  };
  for (const signal of ['SIGINT', 'SIGTERM', 'SIGHUP']) process.on(signal, () => { stop(); process.exit(1); });
  try {
    // A game's first start (wine makes its prefix) may take minutes.
    const id = (await until('the window', () => {
      assert.equal(ended, null, 'the game ended before it showed its window');
      return run('xdotool', 'search', '--onlyvisible', '--name', '^Skirmlings!$');
    }, 300000)).toString().split('\n')[0];
    const press = (key) => assert.notEqual(run('xdotool', 'windowfocus', '--sync', id, 'key', key), null, `xdotool key ${key}`);
    await playScenario({
      picture: () => fromPpm(run('import', '-silent', '-window', id, '-depth', '8', 'ppm:-')),
      press: () => press(o.key ?? 'p'),
      logOpen: () => heldOpen(log),
      close: async () => {
        if ((o.close ?? 'term') === 'term') game.kill('SIGTERM'); else press(o.close);
        await until('the game to end', () => ended, limit);
        return { ...ended, log: fs.readFileSync(log, 'utf8') };
      },
    }, readPicture(path.join(__dirname, '../../res/back2.bmp')), limit);
  } finally {
    stop();
  }
});
