// The game's sound in the page. The game mixes blocks of 2204 samples at 22050 per second
// and keeps four of them queued; this plays them in order and reports each one once it has
// been played, so that the game mixes the next. The same file is the AudioWorklet module
// (where registerProcessor exists) and, in the page, the sound output the game talks to.
'use strict';

// Blocks waiting to be played, oldest first.
class TumblerBlockQueue {
  constructor() {
    this.blocks = [];
    this.offset = 0;      // samples of the oldest block already played
    this.started = false; // a block has come: from now on, running dry is an underrun
    this.dry = false;
    this.underruns = 0;   // times the output ran dry while the game was playing
  }
  push(header, samples) {
    this.blocks.push({header, samples});
    this.started = true;
  }
  clear() {
    this.blocks = [];
    this.offset = 0;
    this.started = false;
  }
  // Fills out with the next samples (silence when none are left) and calls played(header)
  // for every block played to its end.
  fill(out, played) {
    let at = 0;
    while (at < out.length) {
      const block = this.blocks[0];
      if (!block) {
        out.fill(0, at);
        if (this.started && !this.dry) this.underruns++;
        this.dry = true;
        return;
      }
      this.dry = false;
      const n = Math.min(out.length - at, block.samples.length - this.offset);
      out.set(block.samples.subarray(this.offset, this.offset + n), at);
      at += n;
      this.offset += n;
      if (this.offset === block.samples.length) {
        this.blocks.shift();
        this.offset = 0;
        played(block.header);
      }
    }
  }
}

if (typeof registerProcessor === 'function') {
  // Inside the AudioWorklet: blocks come and go as messages.
  registerProcessor('tumbler-blocks', class extends AudioWorkletProcessor {
    constructor() {
      super();
      this.queue = new TumblerBlockQueue();
      this.port.onmessage = (e) => {
        if (e.data.samples) this.queue.push(e.data.header, e.data.samples);
        else if (e.data.reset) this.queue.clear();
      };
    }
    process(inputs, outputs) {
      this.queue.fill(outputs[0][0], (header) =>
        this.port.postMessage({played: header, underruns: this.queue.underruns}));
      return true;
    }
  });
} else {
  // In the page: the sound output behind the game's wave device.
  window.tumblerAudio = {
    context: null,
    node: null,
    local: null,    // the queue itself where a ScriptProcessorNode plays it on this thread
    ready: false,
    played: [],     // headers played and not yet handed to the game
    sent: 0,        // blocks queued by the game
    done: 0,        // blocks played
    underruns: 0,
    peak: 0,        // largest sample magnitude sent
    record: null,   // with ?record-audio=N in the address: the first N blocks sent
    recordLimit: 0,

    // Called in the click that starts the game: a browser lets sound start only from a user
    // gesture. Resolves to whether there is sound; never rejects.
    start() {
      const limit = new URLSearchParams(location.search).get('record-audio');
      if (limit) {
        this.record = [];
        this.recordLimit = Number(limit) || 0;
      }
      const Context = window.AudioContext || window.webkitAudioContext;
      if (!Context) return Promise.resolve(false);
      try {
        this.context = new Context({sampleRate: 22050});
      } catch (e) {
        console.warn('tumbler: no sound at 22050 Hz: ' + e);
        return Promise.resolve(false);
      }
      const context = this.context;
      // A worklet needs a secure page (https or localhost); elsewhere the older node serves.
      const made = context.audioWorklet && typeof AudioWorkletNode === 'function'
        ? context.audioWorklet.addModule('tumbler_audio.js').then(() => this.makeWorklet())
        : Promise.resolve().then(() => this.makeScriptNode());
      return made.then(() => {
        this.node.connect(context.destination);
        return context.resume();
      }).then(() => {
        this.ready = true;
        return true;
      }, (e) => {
        console.warn('tumbler: no sound: ' + e);
        return false;
      });
    },
    makeWorklet() {
      this.node = new AudioWorkletNode(this.context, 'tumbler-blocks',
        {numberOfInputs: 0, numberOfOutputs: 1, outputChannelCount: [1]});
      this.node.port.onmessage = (e) => this.onPlayed(e.data.played, e.data.underruns);
    },
    makeScriptNode() {
      const queue = new TumblerBlockQueue();
      this.local = queue;
      this.node = this.context.createScriptProcessor(1024, 0, 1);
      this.node.onaudioprocess = (e) =>
        queue.fill(e.outputBuffer.getChannelData(0), (header) => this.onPlayed(header, queue.underruns));
    },
    onPlayed(header, underruns) {
      if (!this.ready) return;
      this.played.push(header);
      this.done++;
      this.underruns = underruns;
    },

    // The wave device, for the game.
    open() {
      return this.ready;
    },
    queue(header, samples) {
      const block = new Float32Array(samples.length);
      for (let i = 0; i < samples.length; i++) {
        block[i] = samples[i] / 32768;
        const m = Math.abs(samples[i]);
        if (m > this.peak) this.peak = m;
      }
      if (this.record && this.record.length < this.recordLimit) this.record.push(Int16Array.from(samples));
      this.sent++;
      if (this.local) this.local.push(header, block);
      else this.node.port.postMessage({header, samples: block}, [block.buffer]);
    },
    nextPlayed() {
      return this.played.length ? this.played.shift() : -1;
    },
    reset() {
      this.played = [];
      if (this.local) this.local.clear();
      else this.node.port.postMessage({reset: true});
    },
    close() {
      this.ready = false;
      this.node.disconnect();
      this.context.close();
    },
    // The recorded blocks as one base64 string of little-endian 16-bit samples (for tests).
    recordedBase64() {
      if (!this.record) return '';
      const all = new Int16Array(this.record.length * 2204);
      this.record.forEach((block, i) => all.set(block, i * 2204));
      const bytes = new Uint8Array(all.buffer);
      let text = '';
      for (let i = 0; i < bytes.length; i += 0x8000) text += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
      return btoa(text);
    },
  };
}
