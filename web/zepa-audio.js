// The page's side of the engine's audio device (src/platform/web/WebAudio.cpp): Web Audio buffers
// made from the samples the engine decodes, MIDI rendered to samples by the synthesizer in
// zepa-midi.js (a worker, so its FluidSynth runs beside the engine, not in it), and one voice per
// engine voice (0 ambience, 1..31 effects, 32 music), each a buffer source through a gain.
//
// Browsers start audio only after a click or key press: the AudioContext is made (or resumed)
// then. A clip asked to play before that, or before its MIDI was rendered, starts when both are
// ready: a loop from its beginning, a one-shot at the point it would have reached, or not at all
// when it would have ended by then. The engine keeps its own account of what is playing.
"use strict";

const ZepaAudio = (() => {
  const kMidiRate = 44100;
  const kMaxVolume = 128;
  const clips = new Map();  // id: { name, buffer (null until ready), pieces, rate, channels }
  const voices = [];        // voice: { clip, loop, volume, requestedAt, source, gain } or null
  let nextClip = 1;
  let context = null;
  let midi = null;
  let midiFailed = false;

  function start() {
    if (!context) {
      const Context = window.AudioContext || window.webkitAudioContext;
      if (!Context) return;
      context = new Context();
      context.onstatechange = () => {
        if (context.state === "running") voices.forEach((_, index) => startVoice(index));
      };
    }
    if (context.state === "suspended") context.resume().catch(() => {});
  }
  for (const type of ["keydown", "mousedown", "pointerdown", "touchend"]) {
    window.addEventListener(type, start, { capture: true });
  }

  function startVoice(index) {
    const voice = voices[index];
    if (!voice || voice.source || !context || context.state !== "running") return;
    const clip = clips.get(voice.clip);
    if (!clip || !clip.buffer) return;
    let offset = 0;
    if (!voice.loop) {
      offset = Math.max(0, (performance.now() - voice.requestedAt) / 1000);
      if (offset >= clip.buffer.duration) {
        voices[index] = null;
        return;
      }
    }
    const source = context.createBufferSource();
    source.buffer = clip.buffer;
    source.loop = voice.loop;
    const gain = context.createGain();
    gain.gain.value = voice.volume / kMaxVolume;
    source.connect(gain).connect(context.destination);
    source.onended = () => {
      gain.disconnect();
      if (voices[index] === voice) voices[index] = null;
    };
    source.start(0, offset);
    voice.source = source;
    voice.gain = gain;
  }

  function stop(index) {
    const voice = voices[index];
    voices[index] = null;
    if (!voice || !voice.source) return;
    voice.source.onended = null;
    try {
      voice.source.stop();
    } catch (error) { /* never started */ }
    voice.gain.disconnect();
  }

  // A finished clip: the voices waiting for it start.
  function ready(id, buffer) {
    const clip = clips.get(id);
    if (!clip) return;
    clip.buffer = buffer;
    clip.peak = peakOf(buffer);
    voices.forEach((voice, index) => {
      if (voice && voice.clip === id) startVoice(index);
    });
  }

  // The loudest of every 16th sample of the first channel: for state(), to tell sound from silence.
  function peakOf(buffer) {
    if (!buffer) return 0;
    const samples = buffer.getChannelData(0);
    let peak = 0;
    for (let i = 0; i < samples.length; i += 16) peak = Math.max(peak, Math.abs(samples[i]));
    return peak;
  }

  function makeBuffer(channels, frames, rate) {
    try {
      return new AudioBuffer({ numberOfChannels: channels, length: frames, sampleRate: rate });
    } catch (error) {
      console.warn("zepa: cannot make a sound buffer", error);
      return null;
    }
  }

  function finish(id) {
    const clip = clips.get(id);
    if (!clip) return;
    const frames = clip.pieces.reduce((sum, piece) => sum + piece.length, 0) / clip.channels;
    const buffer = frames > 0 ? makeBuffer(clip.channels, frames, clip.rate) : null;
    if (buffer) {
      const planes = Array.from({ length: clip.channels }, (_, c) => buffer.getChannelData(c));
      let at = 0;
      for (const piece of clip.pieces) {
        for (let i = 0; i < piece.length; i += clip.channels, ++at) {
          for (let c = 0; c < clip.channels; ++c) planes[c][at] = piece[i + c];
        }
      }
    }
    clip.pieces = null;
    ready(id, buffer);
  }

  function midiWorker() {
    if (!midi && !midiFailed) {
      midi = new Worker("zepa-midi.js");
      midi.onmessage = (event) => {
        const { id, left, right, error, fatal } = event.data;
        if (fatal) return midiSilent(error);
        if (error) {
          const clip = clips.get(id);
          console.warn(`zepa: cannot render ${clip ? clip.name : "a MIDI file"}: ${error}`);
          return ready(id, null);
        }
        const buffer = left.length > 0 ? makeBuffer(2, left.length, kMidiRate) : null;
        if (buffer) {
          buffer.copyToChannel(left, 0);
          buffer.copyToChannel(right, 1);
        }
        ready(id, buffer);
      };
      midi.onerror = (event) => midiSilent(event.message || "the synthesizer did not load");
    }
    return midi;
  }

  // Said once; MIDI clips then stay silent, the rest plays.
  function midiSilent(reason) {
    if (!midiFailed) console.warn(`zepa: MIDI plays silent: ${reason}`);
    midiFailed = true;
    if (midi) midi.terminate();
    midi = null;
  }

  function newClip(clip) {
    const id = nextClip++;
    clips.set(id, clip);
    return id;
  }

  return {
    available() {
      return !!(window.AudioContext || window.webkitAudioContext) && typeof AudioBuffer === "function";
    },
    begin(name, rate, channels) {
      return newClip({ name, buffer: null, pieces: [], rate, channels });
    },
    append(id, samples) {
      const clip = clips.get(id);
      if (clip && clip.pieces) clip.pieces.push(samples);
    },
    finish,
    midi(name, bytes, maxFrames) {
      const id = newClip({ name, buffer: null });
      const worker = midiWorker();
      if (worker) worker.postMessage({ id, smf: bytes.buffer, maxFrames }, [bytes.buffer]);
      return id;
    },
    play(index, id, loop, volume) {
      stop(index);
      voices[index] = { clip: id, loop, volume, requestedAt: performance.now(), source: null, gain: null };
      startVoice(index);
    },
    stop,
    volume(index, volume) {
      const voice = voices[index];
      if (!voice) return;
      voice.volume = volume;
      if (voice.gain) voice.gain.gain.setValueAtTime(volume / kMaxVolume, context.currentTime);
    },
    release(id) {
      clips.delete(id);
    },
    close() {
      voices.forEach((_, index) => stop(index));
    },
    // For tests and the curious: the context's state and what sounds now (with each clip's peak
    // level, 0..1).
    state() {
      const sounding = [];
      voices.forEach((voice, index) => {
        if (voice && voice.source) {
          const clip = clips.get(voice.clip);
          sounding.push({
            voice: index, name: clip ? clip.name.replace(/^.*\//, "") : "", loop: voice.loop,
            peak: clip ? Math.round(clip.peak * 1000) / 1000 : 0,
          });
        }
      });
      return { context: context ? context.state : "none", sounding };
    },
  };
})();
