// A worker that renders MIDI files to samples for zepa-audio.js: js-synthesizer, which runs
// FluidSynth compiled to WebAssembly, with the General MIDI soundfont packed with the page
// (TimGM6mb.sf2, fetched on the first MIDI file). Messages are handled one at a time, in order.
//   whole:  { id, smf (ArrayBuffer), maxFrames } -> { id, left, right } (Float32Array, 44.1 kHz):
//           the file rendered until it ends or `maxFrames` are made (effects)
//   open:   { op: "open", id, smf } -> nothing: a synthesizer of its own for a streamed file
//   render: { op: "render", id, gen, frames, skip, loop } -> { id, gen, left, right, ended }: the
//           next `frames` of it, after rendering and dropping `skip` frames; a loop starts the file
//           again at its end, a one-shot ends there
//   restart: { op: "restart", id } -> nothing: the stream from its beginning again
//   close:  { op: "close", id } -> nothing
//   failures: { id, error, fatal } (fatal: the synthesizer or its soundfont did not load, so no
//   MIDI file will render)
"use strict";
importScripts("libfluidsynth-2.4.6.js", "js-synthesizer.min.js");

const kRate = 44100;
const kBlock = 4096;
let font = null;
let synthesizer = null;
const streams = new Map();  // id: { synth, smf, ended }
// Synthesizers of closed streams, kept for the next ones: loading the soundfont into a new one
// takes a while. As many as there are streaming voices (music and ambience).
const kSpareSynthesizers = 2;
const spare = [];

function loadFont() {
  if (!font) {
    font = (async () => {
      await JSSynth.waitForReady();
      // FluidSynth's wasm build reports its stubbed file functions as errors; failures that matter
      // reject the calls below.
      JSSynth.disableLogging(JSSynth.LogLevel.Error);
      const response = await fetch("TimGM6mb.sf2");
      if (!response.ok) throw new Error(`TimGM6mb.sf2: ${response.status}`);
      return response.arrayBuffer();
    })();
  }
  return font;
}

async function newSynthesizer() {
  const synth = new JSSynth.Synthesizer();
  synth.init(kRate);
  await synth.loadSFont(await loadFont());
  return synth;
}

function loadSynthesizer() {
  if (!synthesizer) synthesizer = newSynthesizer();
  return synthesizer;
}

async function startPlayer(synth, smf) {
  await synth.resetPlayer();
  synth.midiAllSoundsOff();
  await synth.addSMFDataToPlayer(smf);
  await synth.playPlayer();
}

// Plays the file through the synthesizer's player until it ends or `maxFrames` are made.
async function render(smf, maxFrames) {
  const synth = await loadSynthesizer();
  await startPlayer(synth, smf);
  const pieces = [];
  let frames = 0;
  while (synth.isPlayerPlaying() && frames < maxFrames) {
    const left = new Float32Array(Math.min(kBlock, maxFrames - frames));
    const right = new Float32Array(left.length);
    synth.render([left, right]);
    pieces.push([left, right]);
    frames += left.length;
  }
  synth.stopPlayer();
  return join(pieces, frames);
}

function join(pieces, frames) {
  const left = new Float32Array(frames);
  const right = new Float32Array(frames);
  let at = 0;
  for (const [l, r] of pieces) {
    left.set(l, at);
    right.set(r, at);
    at += l.length;
  }
  return { left, right };
}

// A streamed file's next frames. FluidSynth's player loops the file itself when asked to, so the
// notes sounding at its end ring on into the next lap.
function renderNext(stream, frames, skip, loop) {
  const { synth } = stream;
  synth.setPlayerLoop(loop ? -1 : 1);
  for (let dropped = 0; dropped < skip && synth.isPlayerPlaying(); dropped += kBlock) {
    const block = Math.min(kBlock, skip - dropped);
    synth.render([new Float32Array(block), new Float32Array(block)]);
  }
  const pieces = [];
  let made = 0;
  while (made < frames && synth.isPlayerPlaying()) {
    const left = new Float32Array(Math.min(kBlock, frames - made));
    const right = new Float32Array(left.length);
    synth.render([left, right]);
    pieces.push([left, right]);
    made += left.length;
  }
  stream.ended = !synth.isPlayerPlaying();
  return join(pieces, made);
}

async function handle(data) {
  const { op, id } = data;
  if (op === "open") {
    const stream = { synth: spare.pop() || (await newSynthesizer()), smf: data.smf, ended: false };
    streams.set(id, stream);
    await startPlayer(stream.synth, stream.smf);
  } else if (op === "render") {
    const stream = streams.get(id);
    if (!stream) return;
    const { left, right } = renderNext(stream, data.frames, data.skip, data.loop);
    postMessage({ id, gen: data.gen, left, right, ended: stream.ended }, [left.buffer, right.buffer]);
  } else if (op === "restart") {
    const stream = streams.get(id);
    if (stream) await startPlayer(stream.synth, stream.smf);
  } else if (op === "close") {
    const stream = streams.get(id);
    streams.delete(id);
    if (!stream) return;
    if (spare.length < kSpareSynthesizers) {
      stream.synth.stopPlayer();
      stream.synth.midiAllSoundsOff();
      spare.push(stream.synth);
    } else {
      stream.synth.close();
    }
  } else {
    const { left, right } = await render(data.smf, data.maxFrames);
    postMessage({ id, left, right }, [left.buffer, right.buffer]);
  }
}

let queue = Promise.resolve();
onmessage = (event) => {
  const message = (error) => String((error && error.message) || error);
  queue = queue.then(async () => {
    try {
      await loadFont();
    } catch (error) {
      postMessage({ id: event.data.id, error: message(error), fatal: true });
      return;
    }
    try {
      await handle(event.data);
    } catch (error) {
      postMessage({ id: event.data.id, gen: event.data.gen, error: message(error), fatal: false });
    }
  });
};
