// The page's side of webFps.sh: the game in headless Chromium (SwiftShader), the site served on
// loopback, its loop uncapped (?uncapped) and quiet, measured as pressFire.sh measures the
// native game: left alone 5 s, its idle rate over 10 s; then F2 pressed every 0.2 s (five
// rockets a second) for 35 s and the rate over the next 10 s while the presses go on. Then,
// idle again, 5 s of Chromium's sampling profiler: where a frame's time goes, by function.
//   node tools/bench/webPressFire.js      (ZEPH_WEB_SITE names the site; build-web/site)
// The last line is for webFps.sh: "page: idle R frames/s; fire R frames/s; first frame T ms".
'use strict';

const path = require('node:path');
const { serveSite, launchBrowser, openPage, waitFor } =
  require(path.join(__dirname, '..', '..', 'tests', 'web', 'support'));

const SETTLING = 5;
const WINDOW = 10;
const PRESSING = 35;
const PROFILING = 5;
const PRESS_EVERY_MS = 200;

const pause = (seconds) => new Promise((resolve) => setTimeout(resolve, seconds * 1000));

// Frames a second over the next `seconds`, timed by the page's own clock, and the milliseconds
// per frame the OpenGL layer spent replaying display lists (performance.now() around each
// glCallList, in the layer).
async function frameRate(page, seconds) {
  const reading = () => page.evaluate(() => [window.zephrandolinth.frames, performance.now(),
    (window.zephrandolinth.layerProfile() || { replayMs: 0 }).replayMs]);
  const [frames0, time0, replay0] = await reading();
  await pause(seconds);
  const [frames1, time1, replay1] = await reading();
  const frames = frames1 - frames0;
  return { rate: frames * 1000 / (time1 - time0), frameMs: (time1 - time0) / frames,
    replayMs: (replay1 - replay0) / frames };
}

const described = ({ rate, frameMs, replayMs }) => `${rate.toFixed(1)} frames/s ` +
  `(${frameMs.toFixed(1)} ms a frame, ${replayMs.toFixed(1)} ms of it replaying display lists)`;

// Presses F2 every PRESS_EVERY_MS, on a schedule that does not drift with the presses' own time.
function startPressing(page) {
  let pressing = true;
  let presses = 0;
  const done = (async () => {
    const start = Date.now();
    while (pressing) {
      await page.keyboard.press('F2');
      presses += 1;
      await pause(Math.max(0, start + presses * PRESS_EVERY_MS - Date.now()) / 1000);
    }
  })();
  return async () => {
    pressing = false;
    await done;
    return presses;
  };
}

// The sampling profiler's self time, summed by function and by where the code lives.
async function profile(page, seconds) {
  const session = await page.createCDPSession();
  await session.send('Profiler.enable');
  await session.send('Profiler.setSamplingInterval', { interval: 200 });
  await session.send('Profiler.start');
  await pause(seconds);
  const { profile: result } = await session.send('Profiler.stop');
  const total = result.samples.length;
  const hits = new Map(result.nodes.map((node) => [node.id, 0]));
  for (const sample of result.samples) {
    hits.set(sample, hits.get(sample) + 1);
  }
  const byFunction = new Map();
  const byPlace = new Map();
  for (const node of result.nodes) {
    const frame = node.callFrame;
    const name = frame.functionName || '(anonymous)';
    const place = frame.url.endsWith('.wasm') || frame.url.startsWith('wasm://') ? 'the game (wasm)' :
      frame.url.endsWith('zephrandolinth.js') ? 'Emscripten\'s JavaScript (GL emulation, loop)' :
      frame.url === '' ? name : path.basename(frame.url);
    const key = `${name} [${place === name ? '-' : place}]`;
    byFunction.set(key, (byFunction.get(key) || 0) + hits.get(node.id));
    byPlace.set(place, (byPlace.get(place) || 0) + hits.get(node.id));
  }
  const share = (count) => (100 * count / total).toFixed(1).padStart(5) + '%';
  const top = (map, count) => [...map].sort((a, b) => b[1] - a[1]).slice(0, count);
  console.log(`profile over ${seconds} s idle (${total} samples), self time by place:`);
  for (const [place, count] of top(byPlace, 8)) {
    console.log(`  ${share(count)}  ${place}`);
  }
  console.log('the busiest functions:');
  for (const [name, count] of top(byFunction, 15)) {
    console.log(`  ${share(count)}  ${name}`);
  }
}

(async () => {
  const site = await serveSite();
  const browser = await launchBrowser();
  try {
    const page = await openPage(browser);
    await page.goto(site.url + '?uncapped');
    await waitFor(page, () => window.zephrandolinth.frames >= 1 ||
      window.zephrandolinth.state === 'failed', 90);
    const firstFrame = await page.evaluate(() => window.zephrandolinth.firstFrameTime);
    if (firstFrame === null) {
      throw new Error('the page failed: ' + await page.$eval('#notice-text', (e) => e.textContent));
    }
    await pause(SETTLING);
    const idle = await frameRate(page, WINDOW);
    const stopPressing = startPressing(page);
    await pause(PRESSING);
    const fire = await frameRate(page, WINDOW);
    const presses = await stopPressing();
    await profile(page, PROFILING);
    const problems = page.problems.length ? '; problems: ' + page.problems.join(' | ') : '';
    console.log(`idle: ${described(idle)}`);
    console.log(`during fire: ${described(fire)}`);
    console.log(`F2 pressed ${presses} times${problems}`);
    console.log(`page: idle ${idle.rate.toFixed(1)} frames/s; fire ${fire.rate.toFixed(1)} frames/s; ` +
      `first frame ${firstFrame.toFixed(0)} ms`);
  } finally {
    await browser.close();
    await site.close();
  }
})().catch((error) => {
  console.error('webPressFire.js: ' + error.message);
  process.exit(1);
});
