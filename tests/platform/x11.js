// Plays the one scenario (../scenario.js) against a game in a real window on
// the X server at DISPLAY, which xvfb-run owns: xdotool finds the window and
// types into it, ImageMagick's import takes its pictures.
//   node x11.js [--work DIR] [--log FILE] [--key KEY] [--close term|KEY]
//               [--env NAME=VALUE]... [--slow] [--missing|--not-bitmap BMP]
//               -- COMMAND [ARGS...]
// The game starts in DIR (by default a fresh folder, removed after); a
// relative FILE is in DIR. KEY is xdotool's name for P (default p).
// --close term sends SIGTERM, as the desktop does; a key such as alt+F4 is
// what wine turns into the window's close. --slow gives a game under valgrind
// longer for every step. With --missing or --not-bitmap a second act
// follows: the game's bitmap BMP is removed, or text put in its place, and the
// game must end by itself with its failure status, its window gone and its
// log ending in the reasons. Every tool runs under a time limit of its own,
// and whatever happens, the game's whole process group is ended, and so is
// the wineserver of a WINEPREFIX it was given.
const { test } = require('node:test');
const assert = require('node:assert/strict');
const { spawn, spawnSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { parseArgs } = require('node:util');
const { until, fromPpm, readPicture, playScenario, messages } = require('../scenario.js');

const { values: o, positionals: command } = parseArgs({
  allowPositionals: true,
  options: { ...Object.fromEntries(['work', 'log', 'key', 'close', 'env', 'missing', 'not-bitmap']
    .map((name) => [name, { type: 'string', multiple: name === 'env' }])), slow: { type: 'boolean' } },
});
const limit = o.slow ? 60000 : 30000; // memcheck's game runs slower
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'x11-'));
const work = fs.realpathSync(o.work ?? fs.mkdirSync(path.join(scratch, 'work'), { recursive: true }));
const log = path.resolve(work, o.log ?? 'session.log');
const env = { ...process.env, ...Object.fromEntries((o.env ?? []).map((e) => e.split(/=(.*)/s))) };
delete env.SDL_VIDEODRIVER; // the game shows itself on the X server, whatever the caller uses
const attempt = (fn, failed = null) => { try { return fn(); } catch { return failed; } };
// What a tool printed, or null when it failed. One that hangs (import on a
// window that went away can wait forever) is killed and fails the step.
const run = (...argv) => {
  const r = spawnSync(argv[0], argv.slice(1), { env, stdio: ['ignore', 'pipe', 'ignore'], timeout: 20000, killSignal: 'SIGKILL' });
  assert.notEqual(r.error?.code, 'ETIMEDOUT', `${argv.slice(0, 2).join(' ')} gave no answer within 20 s`);
  return r.status === 0 ? r.stdout : null;
};
// Whether any process, wine's included, holds the file open.
const heldOpen = (file) => fs.readdirSync('/proc').some((pid) => attempt(() => fs.readdirSync(`/proc/${pid}/fd`), [])
  .some((fd) => attempt(() => fs.readlinkSync(`/proc/${pid}/fd/${fd}`)) === file));
const findWindow = () => run('xdotool', 'search', '--onlyvisible', '--name', '^Skirmlings!$');

// Plays act against the game, started (after setup) in a process group of
// its own, game.ended being its end, and then ends the whole group.
let game = null;
const stop = () => {
  if (env.WINEPREFIX) attempt(() => run('wineserver', '-k'));
  attempt(() => process.kill(-game.pid, 'SIGKILL'));
};
const withGame = (act, setup) => async () => {
  setup?.();
  const started = spawn(command[0], command.slice(1), { cwd: work, env, detached: true, stdio: ['ignore', 'inherit', 'inherit'] });
  started.on('exit', (code, signal) => { started.ended = { status: code ?? signal }; });
  game = started;
  try { await act(); } finally { stop(); await until('the game to be ended', () => started.ended, limit); }
};
for (const signal of ['SIGINT', 'SIGTERM', 'SIGHUP']) process.on(signal, () => { stop(); process.exit(1); });
process.on('exit', () => fs.rmSync(scratch, { recursive: true, force: true }));
// Fails at once, saying why, when the game has ended or its window closed.
const alive = (id) => assert.ok(!game.ended && (!id || run('xdotool', 'getwindowname', id)),
  game.ended ? `the game ended by itself, status ${game.ended.status}` : 'the window closed');

test(`the scenario in a window on X: ${command.join(' ')}`, withGame(async () => {
  // A game's first start (wine makes its prefix) takes longer.
  const id = (await until('the window', () => alive() || findWindow(), 2 * limit)).toString().split('\n')[0];
  const press = (key) => alive(id) || assert.notEqual(run('xdotool', 'windowfocus', '--sync', id, 'key', key), null, `xdotool key ${key}`);
  await playScenario({
    picture: () => alive(id) || fromPpm(run('import', '-silent', '-window', id, '-depth', '8', 'ppm:-')),
    press: () => press(o.key ?? 'p'),
    logOpen: () => alive(id) || heldOpen(log),
    close: async () => {
      if ((o.close ?? 'term') === 'term') game.kill('SIGTERM'); else press(o.close);
      await until('the game to end', () => game.ended, limit);
      return { ...game.ended, log: fs.readFileSync(log, 'utf8') };
    },
  }, readPicture(path.join(__dirname, '../../res/back2.bmp')), limit);
}));

const broken = o.missing ?? o['not-bitmap'];
if (broken) test(`a start with ${path.basename(broken)} ${o.missing ? 'missing' : 'not a bitmap'}`, withGame(async () => {
  await until('the game to end by itself', () => game.ended, limit);
  assert.equal(game.ended.status, 255, 'a failed start ends with the failure status');
  assert.equal(findWindow(), null, 'the window is gone');
  // The paths as the game gives them: wine's are Windows ones.
  const at = env.WINEPREFIX ? `Z:${broken.replaceAll('/', '\\')}` : broken;
  const men = path.basename(broken) === 'men.bmp';
  assert.deepEqual(messages(fs.readFileSync(log, 'utf8')), ['Starting...', 'Loading first image:',
    ...(men ? [`Loading image: ${at.replace(/men\.bmp$/, 'back2.bmp')}`, 'Loading second image:'] : []),
    `Loading image: ${at}`, `Could not load BMP: ${o.missing ? `Couldn't open ${at}` : 'File is not a Windows BMP file'}`,
    `Could not load ${men ? 'men' : 'back'}.bmp!`, 'Finished.'], 'the log ends in the reasons');
}, () => (o.missing ? fs.rmSync(broken) : fs.writeFileSync(broken, 'not a bitmap\n'))));
