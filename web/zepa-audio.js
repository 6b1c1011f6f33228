// The page's side of the engine's audio device (src/platform/web/WebAudio.cpp): Web Audio buffers
// made from the samples the engine decodes, MIDI rendered to samples by the synthesizer in
// zepa-midi.js (a worker, so its FluidSynth runs beside the engine, not in it), and one voice per
// engine voice (0 ambience, 1..31 effects, 32 music), each a buffer source through a gain.
//
// Music and ambience stream (WebStreamClip.cpp): the engine hands over pieces of a fraction of a
// second as wanted() asks, keeping a few seconds ahead of what plays. Each piece becomes a buffer
// source started on the AudioContext's clock exactly where the one before ends, so they play
// without a gap, and is dropped once it has played. (Sources scheduled back to back need no
// worklet module, cross-thread ring buffer or secure context, and the browser resamples each.)
//
// Browsers start audio only after a click or key press: the AudioContext is made (or resumed)
// then. A clip asked to play before that, or before its MIDI was rendered, starts when both are
// ready: a loop from its beginning, a one-shot at the point it would have reached, or not at all
// when it would have ended by then. The engine keeps its own account of what is playing.
"use strict";

const ZepaAudio = (() => {
  const kMidiRate = 44100;
  const kMaxVolume = 128;
  const kMidiAhead = 3;  // seconds a streamed MIDI clip is rendered ahead of what plays
  const kLead = 0.05;  // seconds between scheduling a streamed piece and its start, at the least
  // id: { name, buffer (null until ready), pieces, rate, channels }, or for a stream
  // { name, stream: true, rate, channels, length, queue, queueStart, queued, ended, skipTo, peak }
  const clips = new Map();
  // voice: { clip, loop, volume, requestedAt, source, gain } or null; a streaming voice has
  // sources (the pieces scheduled) and nextTime (the context time where the next piece starts)
  const voices = [];
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
  // A hidden page gets no animation frames, so its game pauses; the sound pauses with it (a stream
  // would run dry without the frames that feed it) and goes on when the page is shown again.
  document.addEventListener("visibilitychange", () => {
    if (!context) return;
    if (document.hidden && context.state === "running") context.suspend().catch(() => {});
    if (!document.hidden && context.state === "suspended") context.resume().catch(() => {});
  });

  function startVoice(index) {
    const voice = voices[index];
    if (!voice || voice.source || !context || context.state !== "running") return;
    const clip = clips.get(voice.clip);
    if (clip && clip.stream) return startStream(index, voice, clip);
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

  // A streaming voice starts once the context runs and the piece it starts in is there: a loop
  // from the beginning, a one-shot where it would be by now (the engine skips there when the page
  // does not hold it yet).
  function startStream(index, voice, clip) {
    if (voice.sources) return schedule(index, voice, clip);
    let from = 0;
    if (!voice.loop) {
      from = Math.floor(Math.max(0, (performance.now() - voice.requestedAt) / 1000) * clip.rate);
      if (clip.length > 0 && from >= clip.length) {
        voices[index] = null;
        return;
      }
      dropBefore(clip, from);
    }
    if (clip.queue.length === 0) return;
    const gain = context.createGain();
    gain.gain.value = voice.volume / kMaxVolume;
    gain.connect(context.destination);
    voice.gain = gain;
    voice.sources = new Set();
    voice.nextTime = context.currentTime + kLead;
    voice.underruns = 0;
    schedule(index, voice, clip);
  }

  // Drops the frames before `from`; when the queue does not reach there, asks the engine to skip.
  function dropBefore(clip, from) {
    while (clip.queue.length > 0 && clip.queueStart + clip.queue[0].frames <= from) {
      const piece = clip.queue.shift();
      clip.queueStart += piece.frames;
      clip.queued -= piece.frames - piece.offset;
    }
    if (clip.queue.length > 0) {
      const piece = clip.queue[0];
      const offset = Math.max(piece.offset, from - clip.queueStart);
      clip.queued -= offset - piece.offset;
      piece.offset = offset;
    } else if (from - clip.queueStart > clip.rate / 2 && !clip.ended) {
      // (Less than that is not worth a seek: the next pieces are trimmed instead.)
      clip.skipTo = from;
      clip.queueStart = from;
    }
  }

  // Starts every queued piece on the voice, each where the one before ends.
  function schedule(index, voice, clip) {
    if (voice.nextTime < context.currentTime) {  // ran dry: a gap
      voice.nextTime = context.currentTime + kLead;
      voice.underruns += 1;
    }
    while (clip.queue.length > 0) {
      const piece = clip.queue.shift();
      clip.queueStart += piece.frames;
      clip.queued -= piece.frames - piece.offset;
      const source = context.createBufferSource();
      source.buffer = piece.buffer;
      source.connect(voice.gain);
      source.onended = () => {
        voice.sources.delete(source);
        source.disconnect();
        streamDone(index, voice, clip);
      };
      source.start(voice.nextTime, piece.offset / clip.rate);
      voice.nextTime += (piece.frames - piece.offset) / clip.rate;
      voice.sources.add(source);
    }
    streamDone(index, voice, clip);
  }

  // A one-shot whose last piece has played lets its voice go.
  function streamDone(index, voice, clip) {
    if (!clip.ended || clip.queue.length > 0 || voice.sources.size > 0 || voices[index] !== voice) return;
    voice.gain.disconnect();
    voices[index] = null;
  }

  function voiceOf(id) {
    return voices.findIndex((voice) => voice && voice.clip === id);
  }

  // The engine's next piece of a stream, interleaved: a buffer of its own, queued and, when its
  // voice plays, scheduled at once.
  function push(id, samples) {
    const clip = clips.get(id);
    // While a skip is asked for, the pieces still coming are from before it.
    if (!clip || !clip.stream || clip.skipTo >= 0) return;
    const frames = samples.length / clip.channels;
    const buffer = frames > 0 ? makeBuffer(clip.channels, frames, clip.rate) : null;
    if (!buffer) return;
    for (let c = 0; c < clip.channels; ++c) {
      const plane = buffer.getChannelData(c);
      for (let i = 0; i < frames; ++i) plane[i] = samples[i * clip.channels + c];
    }
    enqueue(id, clip, buffer);
  }

  function enqueue(id, clip, buffer) {
    const first = buffer.getChannelData(0);
    for (let i = 0; i < first.length; i += 16) clip.peak = Math.max(clip.peak, Math.abs(first[i]));
    clip.queue.push({ buffer, frames: buffer.length, offset: 0 });
    clip.queued += buffer.length;
    const index = voiceOf(id);
    if (index >= 0) startVoice(index);
  }

  // A streamed MIDI clip's next piece from the worker, or its failure (then it stays silent).
  function midiPiece(id, clip, { gen, left, right, ended, error }) {
    if (gen !== undefined && gen !== clip.gen) return;  // from before a restart
    clip.pending = false;
    if (error) console.warn(`zepa: cannot render ${clip.name}: ${error}`);
    const buffer = !error && left.length > 0 && clip.skipTo < 0 ? makeBuffer(2, left.length, kMidiRate) : null;
    if (buffer) {
      buffer.copyToChannel(left, 0);
      buffer.copyToChannel(right, 1);
      enqueue(id, clip, buffer);
    }
    if (error || ended) ZepaAudio.streamEnd(id);
  }

  // Asks the worker for what each streamed MIDI clip needs next, one request in flight at a time:
  // frames dropped to reach a late one-shot's point, then enough to stay 3 s ahead.
  function pumpMidi() {
    if (!midi) return;
    for (const [id, clip] of clips) {
      if (!clip.midi || clip.pending || clip.ended) continue;
      const skip = clip.skipTo >= 0 ? Math.max(0, clip.skipTo - clip.position) : 0;
      const frames = Math.min(wanted(id, kMidiAhead), kMidiRate / 2);
      if (skip === 0 && frames < kMidiRate / 4) continue;
      const voice = voices[voiceOf(id)];
      midi.postMessage({ op: "render", id, gen: clip.gen, frames, skip, loop: !!(voice && voice.loop) });
      clip.position += skip + frames;
      clip.skipTo = -1;
      clip.pending = true;
    }
  }

  function restartMidi(id, clip) {
    Object.assign(clip, { queue: [], queueStart: 0, queued: 0, ended: false, skipTo: -1, position: 0, pending: false });
    clip.gen += 1;
    if (midi) midi.postMessage({ op: "restart", id });
  }

  // Frames the engine should hand over now to keep `seconds` ahead of what plays.
  function wanted(id, seconds) {
    const clip = clips.get(id);
    if (!clip || !clip.stream || clip.ended) return 0;
    let ahead = clip.queued / clip.rate;
    const voice = voices[voiceOf(id)];
    if (voice && voice.sources && context) ahead += Math.max(0, voice.nextTime - context.currentTime);
    return Math.max(0, Math.floor((seconds - ahead) * clip.rate));
  }

  function stop(index) {
    const voice = voices[index];
    voices[index] = null;
    if (voice && voice.sources) {
      for (const source of voice.sources) {
        source.onended = null;
        source.stop();
        source.disconnect();
      }
      voice.gain.disconnect();
      return;
    }
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
        const streamed = clips.get(id);
        if (streamed && streamed.midi) return midiPiece(id, streamed, event.data);
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
    stream(name, rate, channels, length) {
      return newClip({
        name, stream: true, rate, channels, length, queue: [], queueStart: 0, queued: 0, ended: false,
        skipTo: -1, peak: 0,
      });
    },
    push,
    wanted,
    // Where the engine must go on from, once (-1: where it is).
    skip(id) {
      const clip = clips.get(id);
      if (!clip || !clip.stream) return -1;
      const to = clip.skipTo;
      clip.skipTo = -1;
      return to;
    },
    // No more pieces come: a one-shot ends after the last.
    streamEnd(id) {
      const clip = clips.get(id);
      if (!clip || !clip.stream) return;
      clip.ended = true;
      const index = voiceOf(id);
      if (index >= 0 && voices[index].sources) streamDone(index, voices[index], clip);
    },
    // The engine plays the clip again from its beginning: what is queued is from the old play.
    streamReset(id) {
      const clip = clips.get(id);
      if (!clip || !clip.stream) return;
      Object.assign(clip, { queue: [], queueStart: 0, queued: 0, ended: false, skipTo: -1 });
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
    // A MIDI clip rendered a few seconds at a time as it plays (music and ambience).
    midiStream(name, bytes, length) {
      const id = newClip({
        name, stream: true, midi: true, rate: kMidiRate, channels: 2, length, queue: [], queueStart: 0,
        queued: 0, ended: false, skipTo: -1, peak: 0, gen: 0, position: 0, pending: false, played: false,
      });
      const worker = midiWorker();
      if (worker) worker.postMessage({ op: "open", id, smf: bytes.buffer }, [bytes.buffer]);
      return id;
    },
    pump: pumpMidi,
    play(index, id, loop, volume) {
      stop(index);
      const clip = clips.get(id);
      // Played before, its stream is from where that play got to; a one-shot that ended restarts
      // to loop.
      if (clip && clip.midi && (clip.played || (clip.ended && loop))) restartMidi(id, clip);
      if (clip && clip.midi) clip.played = true;
      // A stream sounds on one voice at a time.
      const previous = clips.has(id) && clips.get(id).stream ? voiceOf(id) : -1;
      if (previous >= 0) stop(previous);
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
      const index = voiceOf(id);
      const clip = clips.get(id);
      if (index >= 0 && clip && clip.stream) stop(index);
      if (clip && clip.midi && midi) midi.postMessage({ op: "close", id });
      clips.delete(id);
    },
    close() {
      voices.forEach((_, index) => stop(index));
    },
    // For tests and the curious: the context's state and what sounds now (with each clip's peak
    // level, 0..1, and for a stream the milliseconds scheduled ahead and how often it ran dry).
    state() {
      const sounding = [];
      voices.forEach((voice, index) => {
        if (voice && (voice.source || (voice.sources && voice.sources.size > 0))) {
          const clip = clips.get(voice.clip);
          const entry = {
            voice: index, name: clip ? clip.name.replace(/^.*\//, "") : "", loop: voice.loop,
            peak: clip ? Math.round(clip.peak * 1000) / 1000 : 0,
          };
          // A stream also tells how much is scheduled ahead of what plays now.
          if (voice.sources) {
            const ahead = Math.max(0, voice.nextTime - context.currentTime);
            Object.assign(entry, { streamed: true, queuedMs: Math.round(ahead * 1000), underruns: voice.underruns });
          }
          sounding.push(entry);
        }
      });
      return { context: context ? context.state : "none", sounding };
    },
  };
})();
