// Plays a packed game in headless Chromium from a replay and compares the engine's screenshots
// with those of a native run. Used by scripts/test-web.
//   node web/test-web.cjs URL NATIVE_DIR OUT_DIR FRAME:NAME...
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

async function main() {
  const userDataDir = fs.mkdtempSync(path.join(require("os").tmpdir(), "zepa-chromium-"));
  const browser = await chromium.launchPersistentContext(userDataDir, {
    executablePath: "/usr/bin/chromium", headless: true, args: chromiumArgs,
    viewport: { width: 1280, height: 960 },
  });
  let failed = false;
  try {
    const page = browser.pages()[0] || await browser.newPage();
    page.on("console", (message) => console.log(`page: ${message.text()}`));
    page.on("pageerror", (error) => console.log(`page error: ${error.message}`));
    const started = Date.now();
    await page.goto(url);
    await page.waitForFunction(() => window.zepaResult !== undefined, null, { timeout: timeoutMs, polling: 500 });
    const result = await page.evaluate(() => window.zepaResult);
    const navigation = await page.evaluate(() => {
      const entry = performance.getEntriesByType("navigation")[0];
      return entry ? entry.responseEnd : 0;
    });
    console.log(`test-web: engine status ${result.status}; first frame ${Math.round(result.firstFrameMs)} ms ` +
      `after the page was opened (its HTML arrived at ${Math.round(navigation)} ms); run ${Date.now() - started} ms`);
    if (result.status !== 0) failed = true;
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
    fs.rmSync(userDataDir, { recursive: true, force: true });
  }
  process.exit(failed ? 1 : 0);
}

main().catch((error) => {
  console.error(`test-web: ${error.stack || error}`);
  process.exit(1);
});
