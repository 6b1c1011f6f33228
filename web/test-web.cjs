// Plays a packed game in headless Chromium from a replay and compares the engine's screenshots
// with those of a native run. Used by scripts/test-web.
//   node web/test-web.cjs URL NATIVE_DIR OUT_DIR FRAME:NAME...
// Then checks that saves outlive the page: PAGE?input=quicksave.replay&frames=420 (a replay that
// quick-saves, packed beside the demo's) must leave a save that a second load of the page finds;
// that a message box (the page in message/, whose game has a script mistake) holds the engine
// until it is closed; and that sound starts with the first key press: the demo's rain (BGS, Ogg)
// and its theme (BGM, MIDI rendered by the page's synthesizer) must then sound through Web Audio,
// go on streaming, and pause while the page is hidden. A quarter of the frames at least must wait
// for an animation frame.
// Prints one line per shot (differing pixels, largest channel difference) and the page's timings;
// exits 1 when the run fails or a shot differs by more than the tolerance: ZEPA_WEB_TOLERANCE is
// PIXELS:LARGEST, at most PIXELS differing pixels per shot with no channel differing by more than
// LARGEST (default 16:8: FreeType in wasm32 shades a few antialiased glyph-edge pixels by a level or
// three differently, docs/web.md; a wrong picture differs in thousands of pixels).
"use strict";
const fs = require("fs");
const path = require("path");
const { chromium } = require("playwright-core");

const [url, nativeDir, outDir, ...shotArgs] = process.argv.slice(2);
const frames = Number(new URL(url).searchParams.get("frames"));
const shots = shotArgs.map((arg) => {
  const [frame, name] = arg.split(":");
  return { frame, name };
});
const [tolerancePixels, toleranceLargest] = (process.env.ZEPA_WEB_TOLERANCE || "16:8").split(":").map(Number);
const timeoutMs = Number(process.env.ZEPA_WEB_TIMEOUT_MS || 300000);
const chromiumArgs = ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
  "--disable-background-networking", "--disable-component-update", "--disable-sync",
  "--disable-background-timer-throttling", "--disable-renderer-backgrounding"];

// Differing pixels and the largest channel difference of two PNGs, decoded by the page.
async function compare(page, a, b) {
  return page.evaluate(async ([first, second]) => {
    const load = async (base64) => {
      const image = new Image();
      image.src = `data:image/png;base64,${base64}`;
      await image.decode();
      const canvas = document.createElement("canvas");
      canvas.width = image.width;
      canvas.height = image.height;
      const context = canvas.getContext("2d");
      context.drawImage(image, 0, 0);
      return context.getImageData(0, 0, image.width, image.height);
    };
    const [x, y] = [await load(first), await load(second)];
    if (x.width !== y.width || x.height !== y.height) return { pixels: -1, largest: 255 };
    let pixels = 0;
    let largest = 0;
    for (let i = 0; i < x.data.length; i += 4) {
      let differs = false;
      for (let c = 0; c < 3; ++c) {
        const d = Math.abs(x.data[i + c] - y.data[i + c]);
        if (d) differs = true;
        largest = Math.max(largest, d);
      }
      if (differs) ++pixels;
    }
    return { pixels, largest };
  }, [a, b]);
}

// Opens the page in a browser profile kept in `profile`.
async function open(profile, address) {
  const browser = await chromium.launchPersistentContext(profile, {
    executablePath: "/usr/bin/chromium", headless: true, args: chromiumArgs,
    viewport: { width: 1280, height: 960 },
  });
  const page = browser.pages()[0] || await browser.newPage();
  page.on("console", (message) => console.log(`page: ${message.text()}`));
  page.on("pageerror", (error) => console.log(`page error: ${error.message}`));
  await page.goto(address);
  return { browser, page };
}

async function engineResult(page) {
  await page.waitForFunction(() => window.zepaResult !== undefined, null, { timeout: timeoutMs, polling: 500 });
  return page.evaluate(() => window.zepaResult);
}

// Opens the page and waits for the engine to end.
async function play(profile, address) {
  const started = Date.now();
  const { browser, page } = await open(profile, address);
  try {
    const result = await engineResult(page);
    result.runMs = Date.now() - started;
    return { browser, page, result };
  } catch (error) {
    await browser.close();
    throw error;
  }
}

async function compareShots(profile) {
  const { browser, page, result } = await play(profile, url);
  let failed = result.status !== 0;
  try {
    console.log(`test-web: engine status ${result.status}; first frame ${Math.round(result.firstFrameMs)} ms ` +
      `after the page was opened; run ${result.runMs} ms`);
    // The browser's animation frames drive the loop: most frames wait for one (a frame due soon
    // after one, or already late, does not; a loaded machine has more late frames). A loop on
    // timers alone waits for none.
    const paced = result.animationFrameWaits >= 0.25 * frames;
    if (!paced) failed = true;
    console.log(`test-web: ${result.animationFrameWaits} waits for an animation frame in ${frames} frames: ` +
      `${paced ? "ok" : "TOO FEW"}`);
    fs.mkdirSync(outDir, { recursive: true });
    for (const { frame, name } of shots) {
      const web = result.shots[frame];
      if (!web) {
        console.log(`test-web: frame ${frame} (${name}): no screenshot`);
        failed = true;
        continue;
      }
      fs.writeFileSync(path.join(outDir, name), Buffer.from(web, "base64"));
      const native = fs.readFileSync(path.join(nativeDir, name)).toString("base64");
      const { pixels, largest } = await compare(page, web, native);
      const verdict = pixels >= 0 && pixels <= tolerancePixels && largest <= toleranceLargest ? "ok" : "DIFFERS";
      if (verdict !== "ok") failed = true;
      console.log(`test-web: frame ${frame} ${name}: ${pixels} pixels differ, largest difference ${largest}: ${verdict}`);
    }
  } finally {
    await browser.close();
  }
  return !failed;
}

// A quick save in one page load, then a second load of the page in the same browser profile.
async function savesOutliveThePage(profile) {
  const base = url.split("?")[0];
  const first = await play(profile, `${base}?input=quicksave.replay&seed=1&frames=420`);
  await first.browser.close();
  const second = await play(profile, `${base}?seed=1&frames=30`);
  await second.browser.close();
  const made = first.result.saves;
  const found = second.result.saves;
  const saves = Object.keys(made).filter((name) => /^Save\d\.dat$/.test(name));
  const kept = saves.length > 0 && saves.every((name) => found[name] === made[name]);
  console.log(`test-web: saves made ${JSON.stringify(made)}, found after a reload ${JSON.stringify(found)}: ` +
    `${kept ? "ok" : "LOST"}`);
  return kept && first.result.status === 0 && second.result.status === 0;
}

// The page packed in message/ has a script mistake in Initialize.txt: its message box must hold
// the engine until the player presses Enter, and the game must go on afterwards.
async function messageBoxWaits(profile) {
  const base = url.split("?")[0].replace(/[^/]*$/, "");
  const { browser, page } = await open(profile, `${base}message/index.html?input=start.replay&seed=1&frames=200`);
  try {
    await page.waitForSelector("#message", { state: "visible", timeout: timeoutMs });
    await page.waitForTimeout(2000);
    const held = await page.evaluate(() => window.zepaResult === undefined);
    const text = await page.textContent("#message p");
    await page.keyboard.press("Enter");
    const result = await engineResult(page);
    const ok = held && result.status === 0;
    console.log(`test-web: message box "${text}" held the engine: ${held}; after Enter it ended with ` +
      `status ${result.status}: ${ok ? "ok" : "WRONG"}`);
    return ok;
  } finally {
    await browser.close();
  }
}

// What the page's audio does now (web/zepa-audio.js).
async function audioState(page) {
  return page.evaluate(() => ZepaAudio.state());
}

// Before any key press the browser has no running audio; the engine plays on all the same. After
// one (a key the engine ignores) the context runs, and the demo's rain and theme sound, neither of
// them silence; both stream and go on with pieces ahead of what plays, never running dry.
async function soundStartsOnAKey(profile) {
  const base = url.split("?")[0];
  const { browser, page } = await open(profile, `${base}?input=quicksave.replay&seed=1&frames=1200`);
  try {
    await page.waitForFunction(() => window.zepaFirstFrameMs !== undefined, null, { timeout: timeoutMs });
    const before = await audioState(page);
    await page.keyboard.press("ScrollLock");
    const wanted = ["rain.ogg", "theme.mid"];
    const sounds = (state) => wanted.every((name) => state.sounding.some((c) => c.name === name && c.peak > 0.01));
    let after = before;
    const deadline = Date.now() + 60000;
    while (Date.now() < deadline) {
      after = await audioState(page);
      if (after.context === "running" && sounds(after)) break;
      await page.waitForTimeout(250);
    }
    // Both stream: 6 s on they still sound, past the pieces made before the key.
    await page.waitForTimeout(6000);
    const later = await audioState(page);
    const goOn = wanted.every((name) => later.sounding.some((c) => c.name === name && c.streamed && c.queuedMs > 0 &&
      c.underruns === 0));
    const ok = before.context !== "running" && after.context === "running" && sounds(after) && goOn;
    console.log(`test-web: audio before a key: ${before.context}; after: ${after.context}, sounding ` +
      `${JSON.stringify(after.sounding)}; 6 s later ${JSON.stringify(later.sounding)}: ${ok ? "ok" : "WRONG"}`);
    const pauses = await soundPausesWhileHidden(page);
    const result = await engineResult(page);
    return ok && pauses && result.status === 0;
  } finally {
    await browser.close();
  }
}

// The page hidden (as a tab in the background is), the sound stops with the game; shown, it goes on.
async function soundPausesWhileHidden(page) {
  const showPage = (hidden) => page.evaluate((value) => {
    Object.defineProperty(document, "hidden", { value, configurable: true });
    document.dispatchEvent(new Event("visibilitychange"));
  }, hidden);
  const contextBecomes = (state) => page.waitForFunction((wanted) => ZepaAudio.state().context === wanted, state,
    { timeout: 10000 }).then(() => true, () => false);
  await showPage(true);
  const paused = await contextBecomes("suspended");
  await showPage(false);
  const resumed = await contextBecomes("running");
  console.log(`test-web: audio with the page hidden suspended: ${paused}; shown again running: ${resumed}: ` +
    `${paused && resumed ? "ok" : "WRONG"}`);
  return paused && resumed;
}

async function main() {
  const profiles = [];
  const profile = () => {
    profiles.push(fs.mkdtempSync(path.join(require("os").tmpdir(), "zepa-chromium-")));
    return profiles[profiles.length - 1];
  };
  let ok = false;
  try {
    const shotsOk = await compareShots(profile());
    const savesOk = await savesOutliveThePage(profile());
    const messageOk = await messageBoxWaits(profile());
    const soundOk = await soundStartsOnAKey(profile());
    ok = shotsOk && savesOk && messageOk && soundOk;
  } finally {
    for (const folder of profiles) fs.rmSync(folder, { recursive: true, force: true });
  }
  process.exit(ok ? 0 : 1);
}

main().catch((error) => {
  console.error(`test-web: ${error.stack || error}`);
  process.exit(1);
});
