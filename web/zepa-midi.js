// A worker that renders MIDI files to samples for zepa-audio.js: js-synthesizer, which runs
// FluidSynth compiled to WebAssembly, with the General MIDI soundfont packed with the page
// (TimGM6mb.sf2, fetched on the first MIDI file). One file at a time, in the order asked.
//   in:  { id, smf (ArrayBuffer), maxFrames }
//   out: { id, left, right } (Float32Array, 44.1 kHz), or { id, error, fatal } (fatal: the
//        synthesizer or its soundfont did not load, so no MIDI file will render)
"use strict";
importScripts("libfluidsynth-2.4.6.js", "js-synthesizer.min.js");

const kRate = 44100;
const kBlock = 4096;
let synthesizer = null;

function loadSynthesizer() {
  if (!synthesizer) {
    synthesizer = (async () => {
      await JSSynth.waitForReady();
      // FluidSynth's wasm build reports its stubbed file functions as errors; failures that matter
      // reject the calls below.
      JSSynth.disableLogging(JSSynth.LogLevel.Error);
      const response = await fetch("TimGM6mb.sf2");
      if (!response.ok) throw new Error(`TimGM6mb.sf2: ${response.status}`);
      const font = await response.arrayBuffer();
      const synth = new JSSynth.Synthesizer();
      synth.init(kRate);
      await synth.loadSFont(font);
      return synth;
    })();
  }
  return synthesizer;
}

// Plays the file through the synthesizer's player until it ends or `maxFrames` are made.
async function render(smf, maxFrames) {
  const synth = await loadSynthesizer();
  await synth.resetPlayer();
  synth.midiAllSoundsOff();
  await synth.addSMFDataToPlayer(smf);
  await synth.playPlayer();
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

let queue = Promise.resolve();
onmessage = (event) => {
  const { id, smf, maxFrames } = event.data;
  const message = (error) => String((error && error.message) || error);
  queue = queue.then(async () => {
    try {
      await loadSynthesizer();
    } catch (error) {
      postMessage({ id, error: message(error), fatal: true });
      return;
    }
    try {
      const { left, right } = await render(smf, maxFrames);
      postMessage({ id, left, right }, [left.buffer, right.buffer]);
    } catch (error) {
      postMessage({ id, error: message(error), fatal: false });
    }
  });
};
