// The page's side of the engine in the browser: sizes the canvas, queues the browser's input
// events for the engine (which takes them one by one, src/platform/web/WebBackend.cpp), shows
// the engine's message boxes, and starts the engine with the arguments the page's address asks
// for:
//   ?input=NAME      play the replay NAME packed with the game (scripts/pack-web ... NAME)
//   &frames=N        stop after frame N
//   &shot=N          a screenshot of frame N, kept in /shots/N.png (repeatable)
//   &seed=N          the random seed
// When the engine ends, window.zepaResult holds its exit status, the screenshots (PNG, base64),
// the files of the save folder with their sizes, and how often the engine waited for an animation
// frame.
//
// The player's files outlive the page: /game/Save is kept in the browser's IndexedDB (IDBFS, one
// database per page address path) and option.ini in its local storage; both are written back
// about once a second while they change.
"use strict";

const ZepaPage = (() => {
  // The order of the engine's event kinds (kPageKinds in WebBackend.cpp).
  const EventKind = {
    Quit: 0, FocusGained: 1, FocusLost: 2, KeyDown: 3, KeyUp: 4, MouseMove: 5, MouseButton: 6,
    MouseWheel: 7, JoyButton: 8, JoyAxis: 9, JoyHat: 10, JoyAdded: 11, JoyRemoved: 12,
  };
  const kMaxQueued = 1024;
  const queue = [];
  const canvas = document.getElementById("screen");
  const context = canvas.getContext("2d");
  const status = document.getElementById("status");
  const pad = { index: -1, buttons: [], axes: [0, 0], hat: 0 };
  let firstFrameMs = null;

  function push(event) {
    if (queue.length < kMaxQueued) queue.push(event);
  }

  // The display's animation frames: the engine's waits end on them (WebBackend.cpp, CWebClock),
  // and their interval, the median of the last few, tells how long the display shows a picture.
  const display = { last: null, intervals: [], waiting: [], waits: 0 };
  function animationFrame(time) {
    if (display.last !== null) {
      display.intervals.push(time - display.last);
      if (display.intervals.length > 15) display.intervals.shift();
    }
    display.last = time;
    const waiting = display.waiting.splice(0);
    waiting.forEach((resolve) => resolve());
    requestAnimationFrame(animationFrame);
  }
  requestAnimationFrame(animationFrame);
  function frameInterval() {
    if (display.intervals.length < 3) return 1000 / 60;
    const sorted = [...display.intervals].sort((a, b) => a - b);
    return Math.min(Math.max(sorted[sorted.length >> 1], 4), 50);
  }

  // The largest 4:3 box in the page, in whole device pixels, centred by the page's layout.
  function fit() {
    const ratio = window.devicePixelRatio || 1;
    const width = Math.floor(Math.min(window.innerWidth, window.innerHeight * 4 / 3) * ratio);
    const height = Math.floor(width * 3 / 4);
    canvas.style.width = `${width / ratio}px`;
    canvas.style.height = `${height / ratio}px`;
  }

  // Keys the browser would otherwise act on (scrolling, its own F-key functions).
  function ownsKey(event) {
    return /^(Arrow|Page|Space$|Tab$|Backspace$|F\d+$|Home$|End$)/.test(event.code) || event.altKey;
  }

  function listen() {
    window.addEventListener("resize", fit);
    window.addEventListener("keydown", (e) => {
      if (messageOpen) return messageKey(e);
      if (ownsKey(e)) e.preventDefault();
      push({ kind: EventKind.KeyDown, code: e.code, alt: e.altKey, repeat: e.repeat });
    });
    window.addEventListener("keyup", (e) => {
      if (messageOpen) return messageKey(e);
      if (ownsKey(e)) e.preventDefault();
      push({ kind: EventKind.KeyUp, code: e.code });
    });
    canvas.addEventListener("mousemove", (e) => push({ kind: EventKind.MouseMove, x: e.offsetX, y: e.offsetY }));
    const buttonOf = [0, 2, 1];  // the page's left, middle, right onto the engine's 0 left, 1 right, 2 middle
    for (const type of ["mousedown", "mouseup"]) {
      canvas.addEventListener(type, (e) => {
        if (e.button > 2) return;
        push({ kind: EventKind.MouseMove, x: e.offsetX, y: e.offsetY });
        push({ kind: EventKind.MouseButton, button: buttonOf[e.button], down: type === "mousedown" });
        canvas.focus();
      });
    }
    canvas.addEventListener("contextmenu", (e) => e.preventDefault());
    canvas.addEventListener("wheel", (e) => {
      e.preventDefault();
      if (e.deltaY !== 0) push({ kind: EventKind.MouseWheel, value: e.deltaY < 0 ? 1 : -1 });
    }, { passive: false });
    window.addEventListener("focus", () => push({ kind: EventKind.FocusGained }));
    window.addEventListener("blur", () => push({ kind: EventKind.FocusLost }));
  }

  // The first pad with the standard layout: A, B, Start, Back, X, Y, L, R become joystick buttons
  // 1 to 8 as on the desktop, the D-pad the hat, the left stick axes 0 and 1.
  const kPadButtons = [[0, 1], [1, 2], [9, 3], [8, 4], [2, 5], [3, 6], [4, 7], [5, 8]];
  const kPadHat = [[12, 1], [15, 2], [13, 4], [14, 8]];
  function samplePad() {
    const pads = navigator.getGamepads ? Array.from(navigator.getGamepads()) : [];
    const found = pads.find((p) => p && p.connected && p.mapping === "standard");
    if (!found) {
      if (pad.index >= 0) push({ kind: EventKind.JoyRemoved });
      pad.index = -1;
      return;
    }
    if (pad.index !== found.index) {
      pad.index = found.index;
      pad.buttons = [];
      pad.axes = [0, 0];
      pad.hat = 0;
      push({ kind: EventKind.JoyAdded });
    }
    for (const [index, number] of kPadButtons) {
      const down = !!(found.buttons[index] && found.buttons[index].pressed);
      if (down !== !!pad.buttons[number]) push({ kind: EventKind.JoyButton, button: number, down });
      pad.buttons[number] = down;
    }
    let hat = 0;
    for (const [index, direction] of kPadHat) if (found.buttons[index] && found.buttons[index].pressed) hat |= direction;
    if (hat !== pad.hat) push({ kind: EventKind.JoyHat, value: hat });
    pad.hat = hat;
    for (const axis of [0, 1]) {
      const value = Math.max(-1000, Math.min(1000, Math.round((found.axes[axis] || 0) * 1000)));
      if (value !== pad.axes[axis]) push({ kind: EventKind.JoyAxis, axis, value });
      pad.axes[axis] = value;
    }
  }

  // The engine's message box: the engine waits until it is closed (its button, Enter, Space or
  // Escape); keys pressed meanwhile are the box's, not the game's.
  const messageBox = document.getElementById("message");
  let messageOpen = false;
  function closeMessage() {
    messageBox.style.display = "none";
    messageOpen = false;
    canvas.focus();
  }
  function showMessage(text, caption) {
    messageBox.querySelector("h1").textContent = caption;
    messageBox.querySelector("p").textContent = text;
    messageBox.style.display = "flex";
    messageBox.querySelector("button").onclick = closeMessage;
    messageOpen = true;
  }
  function messageKey(event) {
    event.preventDefault();
    if (event.type === "keydown" && /^(Enter|NumpadEnter|Space|Escape)$/.test(event.code)) closeMessage();
  }

  function toBase64(bytes) {
    let text = "";
    for (let i = 0; i < bytes.length; i += 0x8000) text += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
    return btoa(text);
  }

  // The engine's arguments from the page's address.
  function engineArguments() {
    const params = new URLSearchParams(window.location.search);
    const args = ["--game", "/game"];
    const input = params.get("input");
    if (input && /^[\w.-]+$/.test(input)) args.push("--input", `/extra/${input}`);
    for (const name of ["frames", "seed"]) {
      const value = params.get(name);
      if (value && /^\d+$/.test(value)) args.push(`--${name}`, value);
    }
    for (const frame of params.getAll("shot")) {
      if (/^\d+$/.test(frame)) args.push("--shot", `${frame}:/shots/${frame}.png`);
    }
    return args;
  }

  const kSaveFolder = "/game/Save";
  const kSettingsFile = "/game/option.ini";
  const settingsKey = `zepa:${window.location.pathname}:option.ini`;
  let storedSettings = null;
  let syncing = false;

  function readBytes(path) {
    try {
      return FS.readFile(path, { encoding: "binary" });
    } catch (error) {
      return null;
    }
  }

  // option.ini as base64 in local storage, written when it changed.
  function keepSettings() {
    const bytes = readBytes(kSettingsFile);
    if (!bytes) return;
    const text = toBase64(bytes);
    if (text === storedSettings) return;
    try {
      window.localStorage.setItem(settingsKey, text);
      storedSettings = text;
    } catch (error) {
      console.warn("zepa: cannot keep option.ini", error);
    }
  }

  function restoreSettings() {
    try {
      storedSettings = window.localStorage.getItem(settingsKey);
    } catch (error) {
      storedSettings = null;
    }
    if (storedSettings) {
      const raw = atob(storedSettings);
      FS.writeFile(kSettingsFile, Uint8Array.from(raw, (c) => c.charCodeAt(0)));
    }
    setInterval(() => keepFiles(null), 1000);
  }

  function keepFiles(done) {
    keepSettings();
    if (syncing) {
      if (done) setTimeout(() => keepFiles(done), 50);
      return;
    }
    syncing = true;
    FS.syncfs(false, (error) => {
      syncing = false;
      if (error) console.warn("zepa: cannot keep the saves", error);
      if (done) done();
    });
  }

  // Before the engine starts: the saves of earlier visits into the game folder (their settings
  // follow in restoreSettings, once the game's own files are unpacked).
  function mountStorage() {
    const getDB = IDBFS.getDB;
    IDBFS.getDB = (name, callback) => getDB.call(IDBFS, `zepa:${window.location.pathname}:${name}`, callback);
    if (!FS.analyzePath(kSaveFolder).exists) FS.mkdir(kSaveFolder);
    FS.mount(IDBFS, {}, kSaveFolder);
    addRunDependency("zepa-storage");
    FS.syncfs(true, (error) => {
      if (error) console.warn("zepa: cannot read the kept saves", error);
      removeRunDependency("zepa-storage");
    });
  }

  function listSaves() {
    const saves = {};
    try {
      for (const name of FS.readdir(kSaveFolder)) {
        if (name !== "." && name !== "..") saves[name] = FS.stat(`${kSaveFolder}/${name}`).size;
      }
    } catch (error) {
      console.warn("zepa: no save folder", error);
    }
    return saves;
  }

  function finished(exitStatus) {
    keepFiles(() => report(exitStatus));
  }

  function report(exitStatus) {
    const shots = {};
    try {
      for (const name of FS.readdir("/shots")) {
        if (name.endsWith(".png")) shots[name.slice(0, -4)] = toBase64(FS.readFile(`/shots/${name}`));
      }
    } catch (error) {
      console.warn("zepa: no screenshots", error);
    }
    status.textContent = exitStatus === 0 ? "" : `The engine ended (status ${exitStatus}).`;
    window.zepaResult = {
      status: exitStatus, shots, firstFrameMs, saves: listSaves(), animationFrameWaits: display.waits,
    };
  }

  fit();
  listen();
  push({ kind: EventKind.FocusGained });

  return {
    EventKind,
    engineArguments,
    mountStorage,
    restoreSettings,
    finished,
    present(rgba, width, height) {
      context.putImageData(new ImageData(rgba, width, height), 0, 0);
      if (firstFrameMs === null) {
        firstFrameMs = performance.now();
        status.textContent = "";
        window.zepaFirstFrameMs = firstFrameMs;
      }
    },
    // Resolves at the next animation frame, before the browser draws it.
    nextAnimationFrame() {
      ++display.waits;
      return new Promise((resolve) => display.waiting.push(resolve));
    },
    frameInterval,
    nextEvent() {
      if (queue.length === 0) samplePad();
      return queue.length ? queue.shift() : null;
    },
    area() { return [window.innerWidth, window.innerHeight]; },
    canvasSize() { return [canvas.clientWidth, canvas.clientHeight]; },
    setTitle(title) { document.title = title; },
    toggleFullscreen() {
      if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
      else document.getElementById("stage").requestFullscreen().catch(() => {});
    },
    isFullscreen() { return !!document.fullscreenElement; },
    showMessage,
    messageOpen() { return messageOpen; },
  };
})();

var Module = {
  canvas: document.getElementById("screen"),
  arguments: ZepaPage.engineArguments(),
  preRun: [() => {
    FS.mkdir("/shots");
    ZepaPage.mountStorage();
  }],
  print: (text) => console.log(text),
  printErr: (text) => console.warn(text),
  onRuntimeInitialized: () => ZepaPage.restoreSettings(),
  onExit: (exitStatus) => ZepaPage.finished(exitStatus),
  onAbort: (what) => ZepaPage.finished(`abort: ${what}`),
  setStatus: (text) => {
    if (text) document.getElementById("status").textContent = text;
  },
};
