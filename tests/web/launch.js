// Opens the page in one of three engines and hands back the game the shared
// scenario plays: Chromium and Firefox (Debian's firefox-esr, over WebDriver
// BiDi) through puppeteer-core, WebKit (Debian's WebKitGTK) through
// WebKitWebDriver, which needs an X server (the test runs under xvfb-run).
const { spawn } = require('node:child_process');
const net = require('node:net');
const puppeteer = require('puppeteer-core');
const { Builder, By } = require('selenium-webdriver');

// Run inside the page: the canvas as base64 RGB, and whether the game holds
// its log open in the page's file system.
function canvasRgb() {
  const d = document.getElementById('canvas').getContext('2d').getImageData(0, 0, 600, 400).data;
  const rgb = d.filter((_, i) => i % 4 !== 3);
  let s = '';
  for (let i = 0; i < rgb.length; i += 0x8000) s += String.fromCharCode(...rgb.subarray(i, i + 0x8000));
  return btoa(s);
}
const holdsLog = () => typeof FS !== 'undefined' && FS.streams.some((s) => s && s.path === '/session.log');

const freePort = () => new Promise((done) => {
  const s = net.createServer().listen(0, '127.0.0.1', () => { const { port } = s.address(); s.close(() => done(port)); });
});

// The engine's own handles: run a function in the page, press P, click a
// button by its id, end it all.
async function viaPuppeteer(engine, url, options) {
  const firefox = engine === 'firefox';
  const browser = await puppeteer.launch({
    browser: firefox ? 'firefox' : 'chrome', headless: true, protocolTimeout: 120000, ...options,
    executablePath: firefox ? '/usr/bin/firefox-esr' : process.env.CHROMIUM || '/usr/bin/chromium',
    args: firefox ? [] : ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking'],
  });
  const page = (await browser.pages())[0] || (await browser.newPage());
  const errors = [];
  page.on('console', (m) => m.type() === 'error' && errors.push(m.text()));
  page.on('pageerror', (e) => errors.push(String(e)));
  await page.goto(url);
  return { page, errors, run: (fn, ...a) => page.evaluate(fn, ...a), press: () => page.keyboard.press('p'),
    click: (id) => page.click(`#${id}`), quit: () => browser.close() };
}

async function viaWebKit(url) {
  const port = await freePort();
  const server = spawn('WebKitWebDriver', [`--port=${port}`], { stdio: 'ignore' });
  process.on('exit', () => server.kill());
  const driver = await new Builder().usingServer(`http://127.0.0.1:${port}`).withCapabilities({
    browserName: 'MiniBrowser', 'webkitgtk:browserOptions': {
      binary: '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser', args: ['--automation'] } }).build();
  await driver.get(url);
  return { errors: [], run: (fn, ...a) => driver.executeScript(`return (${fn}).apply(null, arguments)`, ...a),
    press: () => driver.actions().sendKeys('p').perform(), click: (id) => driver.findElement(By.id(id)).click(),
    quit: () => driver.quit().finally(() => server.kill()) };
}

// The game for the scenario, with the engine's handles and the problems the
// page met: console errors where the engine reports them, and what the page
// itself shows the player.
async function openPage(engine, file, options = {}) {
  const url = 'file://' + file;
  const tab = engine === 'webkit' ? await viaWebKit(url) : await viaPuppeteer(engine, url, options);
  return { ...tab,
    picture: async () => ({ w: 600, h: 400, rgb: Buffer.from(await tab.run(canvasRgb), 'base64') }),
    logOpen: () => tab.run(holdsLog),
    problems: async () => [...tab.errors, ...(await tab.run(() => document.getElementById('problem').textContent)
      .then((t) => (t ? [t] : [])))] };
}

module.exports = { openPage };
