// What the browser tests share: the site served on loopback by a server of their own (which can
// also leave a file out or cut one short), Debian's Chromium headless on SwiftShader driven by
// puppeteer-core, the Linux references (build/tests/zephrandolinth_webref) and ImageMagick.
'use strict';

const http = require('node:http');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { execFileSync } = require('node:child_process');
const puppeteer = require('puppeteer-core');

const ROOT = path.resolve(__dirname, '..', '..');
const SITE = process.env.ZEPH_WEB_SITE || path.join(ROOT, 'build-web', 'site');
const BUILD = process.env.ZEPH_BUILD_DIR || path.join(ROOT, 'build');
const SHOTS = process.env.ZEPH_WEB_SHOTS || path.join(ROOT, 'build-web', 'screenshots');
const CHROMIUM = process.env.ZEPH_CHROMIUM || '/usr/bin/chromium';
const REFERENCE = path.join(BUILD, 'tests', 'zephrandolinth_webref');

const TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.wasm': 'application/wasm',
  '.data': 'application/octet-stream',
  '.png': 'image/png',
};

// The site on 127.0.0.1 at a port the system picks. `missing` lists files answered with 404;
// `cutShort` lists files whose body stops halfway while their header announces the whole length.
async function serveSite({ missing = [], cutShort = [] } = {}) {
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://127.0.0.1').pathname.slice(1)) ||
      'index.html';
    const file = path.join(SITE, name);
    if (missing.includes(name) || !file.startsWith(SITE + path.sep) || !fs.existsSync(file)) {
      response.writeHead(404, { 'Content-Type': 'text/plain' });
      response.end('not found');
      return;
    }
    const body = fs.readFileSync(file);
    response.writeHead(200, {
      'Content-Type': TYPES[path.extname(name)] || 'application/octet-stream',
      'Content-Length': body.length,
      'Cache-Control': 'no-store',
    });
    if (cutShort.includes(name)) {
      response.write(body.subarray(0, body.length >> 1), () => response.destroy());
    } else {
      response.end(body);
    }
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return {
    url: `http://127.0.0.1:${server.address().port}/`,
    close: () => new Promise((resolve) => {
      server.closeAllConnections();
      server.close(resolve);
    }),
  };
}

// Headless Chromium drawing WebGL on SwiftShader, with a profile of its own that goes with it.
async function launchBrowser(extraArgs = []) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'zeph-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: CHROMIUM,
    headless: true,
    userDataDir: profile,
    args: ['--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--no-sandbox',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--no-first-run', '--hide-scrollbars', ...extraArgs],
  });
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    fs.rmSync(profile, { recursive: true, force: true });
  };
  return browser;
}

// A page of the browser at a window of `width` x `height`, its exceptions and console errors
// kept in `problems` (with any request that failed) so that a test can say none happened.
async function openPage(browser, { width = 640, height = 480 } = {}) {
  const page = await browser.newPage();
  await page.setViewport({ width, height });
  page.problems = [];
  page.on('pageerror', (error) => page.problems.push('exception: ' + error.message));
  page.on('console', (message) => {
    if (message.type() === 'error') {
      page.problems.push('console error: ' + message.text());
    }
  });
  return page;
}

// Waits, with a deadline, for an expression about the page to hold.
function waitFor(page, expression, seconds = 60, ...args) {
  return page.waitForFunction(expression, { timeout: seconds * 1000, polling: 50 }, ...args);
}

const gameState = (page) => page.evaluate(() => ({
  state: window.zephrandolinth.state,
  frames: window.zephrandolinth.frames,
  notice: document.getElementById('notice').hidden ? '' :
    document.getElementById('notice-text').textContent,
}));

async function consoleBytes(page) {
  return Buffer.from(await page.evaluate(() =>
    Array.from(window.zephrandolinth.consoleBytes())));
}

// Two of the page's animation frames: whatever was drawn before is on the screen after them.
const settle = (page) => page.evaluate(() => new Promise((resolve) =>
  requestAnimationFrame(() => requestAnimationFrame(resolve))));

// The untouched console through `frames` frames as the rules model predicts it.
function modelConsole(frames) {
  return execFileSync(REFERENCE, ['console', String(frames)], { maxBuffer: 1 << 26 });
}

// The Linux game's picture of frame `frame`, kept as `file`.
function linuxFrame(frame, file) {
  execFileSync(REFERENCE, ['frame', String(frame), file], { stdio: ['ignore', 'ignore', 'pipe'] });
  return file;
}

function shotPath(name) {
  fs.mkdirSync(SHOTS, { recursive: true });
  return path.join(SHOTS, name + '.png');
}

// ImageMagick's count of the pixels that differ by more than `fuzz` percent between two
// pictures of one size.
function differingPixels(a, b, fuzz) {
  try {
    execFileSync('compare', ['-metric', 'AE', '-fuzz', fuzz + '%', a, b, 'null:'],
      { stdio: ['ignore', 'ignore', 'pipe'] });
    return 0;
  } catch (error) {
    const count = Number(String(error.stderr).trim().split(/\s/)[0]);
    if (error.status === 1 && Number.isFinite(count)) {
      return count; // compare exits 1 when the pictures differ
    }
    throw error;
  }
}

// The share of pixels in a rectangle of a picture with any light in them (any channel above
// 0), read by ImageMagick as raw RGB.
function litShare(file, [x, y, width, height]) {
  const rgb = execFileSync('convert', [file, '-crop', `${width}x${height}+${x}+${y}`, '+repage',
    '-depth', '8', 'rgb:-'], { maxBuffer: 1 << 26 });
  let lit = 0;
  for (let at = 0; at < rgb.length; at += 3) {
    lit += rgb[at] || rgb[at + 1] || rgb[at + 2] ? 1 : 0;
  }
  return rgb.length > 0 ? lit / (rgb.length / 3) : 0;
}

module.exports = {
  SITE, serveSite, launchBrowser, openPage, waitFor, gameState, consoleBytes, settle,
  modelConsole, linuxFrame, shotPath, differingPixels, litShare,
};
