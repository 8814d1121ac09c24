// The page around the game: it hands emscripten the canvas, the game and
// the bitmaps, shows what went wrong, and gives the player the Pause, log and
// full-screen buttons and the tap that pauses. page.cmake puts it inside
// shell.html.
var canvas = document.getElementById('canvas');
var stage = document.getElementById('stage');
var Module = {
  canvas: canvas,
  print: function (text) { console.log(text); },
  printErr: function (text) { console.error(text); problem(text); },
  // The game's WebAssembly is started once inflated, while emscripten
  // waits for it.
  instantiateWasm: function (imports, start) {
    wasm.then(function (bytes) {
      return WebAssembly.instantiate(bytes, imports);
    }).then(function (game) {
      start(game.instance, game.module);
    }).catch(function (e) {
      Module.printErr('Could not start the game: ' + e);
    });
    return {};
  },
  // The bitmaps come gzipped inside the game: they are inflated into the
  // file system before the game starts, once every file given to the
  // program is in place, so the game reads the very bytes it reads on
  // the desktop.
  preRun: [function () {
    addRunDependency('bitmaps');
    Promise.resolve().then(function () {
      return Promise.all(FS.readdir('/').filter(function (name) { return /\.gz$/.test(name); }).map(inflate));
    }).catch(function (e) {
      Module.printErr('Could not unpack the bitmaps: ' + e);
    }).then(function () {
      removeRunDependency('bitmaps');
    });
  }]
};
// What goes wrong is shown to the player too, not only in the console.
function problem(text) {
  var line = document.getElementById('problem');
  line.textContent += (line.textContent ? '\n' : '') + text;
  line.hidden = false;
}
window.addEventListener('error', function (e) { problem(String(e.error || e.message)); });
window.addEventListener('unhandledrejection', function (e) { problem(String(e.reason)); });
function gunzip(bytes) {
  var packed = new Blob([bytes]).stream();
  return new Response(packed.pipeThrough(new DecompressionStream('gzip'))).arrayBuffer();
}
// The game's WebAssembly and emscripten's script come gzipped inside the
// page, as base64, in the elements of these ids. Both are inflated at once;
// the script then runs as if it stood in the page.
function unpack(id) {
  var text = atob(document.getElementById(id).textContent);
  var packed = new Uint8Array(text.length);
  for (var i = 0; i < text.length; i++) packed[i] = text.charCodeAt(i);
  return gunzip(packed);
}
var wasm = unpack('wasm');
unpack('game').then(function (script) {
  (0, eval)(new TextDecoder().decode(script));
});
function inflate(name) {
  return gunzip(FS.readFile('/' + name)).then(function (bytes) {
    FS.writeFile('/' + name.slice(0, -3), new Uint8Array(bytes));
    FS.unlink('/' + name);
  });
}

// The field is as large as fits beside the title, the controls and the
// buttons (alone on the screen when full), by whole steps once twice its
// size fits, so every pixel of the game is as wide as every other.
function fit() {
  var full = document.fullscreenElement === stage;
  var width = full ? stage.clientWidth : document.documentElement.clientWidth;
  var height = full ? stage.clientHeight : window.innerHeight -
    (document.getElementById('page').offsetHeight - stage.offsetHeight);
  var scale = Math.max(0.25, Math.min(width / 600, height / 400));
  if (scale >= 2) scale = Math.floor(scale);
  canvas.style.width = 600 * scale + 'px';
  canvas.style.height = 400 * scale + 'px';
}
fit();
window.addEventListener('resize', fit);

// The page pauses the game as a player does: with a press of P, which
// takes the game's own path from the keyboard.
function pressP() {
  ['keydown', 'keyup'].forEach(function (type) {
    window.dispatchEvent(new KeyboardEvent(type, { key: 'p', code: 'KeyP', keyCode: 80, which: 80 }));
  });
}
// A finger's tap pauses; a mouse's click only gives the field the keys.
canvas.addEventListener('pointerup', function (e) {
  if (e.pointerType !== 'mouse') pressP();
});
function button(id, action) {
  document.getElementById(id).addEventListener('click', function () {
    action();
    // The keys stay with the field, away from the buttons.
    canvas.focus({ preventScroll: true });
  });
}
button('pause', pressP);

// Once the game runs it keeps session.log open while it plays and closed
// while it is paused, so the open file tells the button what it does next.
setInterval(function () {
  if (!Module.calledRun) return;
  var open = FS.streams.some(function (s) { return s && s.path === '/session.log'; });
  document.getElementById('pause').textContent = open ? 'Pause' : 'Resume';
}, 250);

// Full screen shows the field alone, with this one button in its corner
// to leave (as Esc does).
var full = document.getElementById('full');
full.hidden = !document.fullscreenEnabled;
button('full', function () {
  var request = document.fullscreenElement ? document.exitFullscreen() : stage.requestFullscreen();
  request.catch(function (e) { console.warn('Full screen: ' + e); });
});
document.addEventListener('fullscreenchange', function () {
  var on = document.fullscreenElement === stage;
  stage.classList.toggle('full', on);
  (on ? stage : document.getElementById('buttons')).appendChild(full);
  full.textContent = on ? 'Leave full screen' : 'Full screen';
  fit();
});

// The game writes session.log into the page's in-memory file system, at
// its working directory, the root. While the game runs the newest lines
// arrive with its periodic flush; a pause flushes them all.
function sessionLog() {
  try {
    return FS.readFile('/session.log', { encoding: 'utf8' });
  } catch (e) {
    return '';
  }
}
button('show-log', function () {
  var pre = document.getElementById('log');
  pre.textContent = sessionLog() || '(the log is empty so far)';
  pre.hidden = false;
  pre.scrollTop = pre.scrollHeight;
});
button('save-log', function () {
  var link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([sessionLog()], { type: 'text/plain' }));
  link.download = 'session.log';
  link.click();
  setTimeout(function () { URL.revokeObjectURL(link.href); }, 0);
});
// The game listens for keys on the whole page from the start.
canvas.focus();
