// The page around the game: asks the start question, starts the sound and (for Yes) the
// fullscreen mode from the click that answers it, runs the game, and says when it has ended.
'use strict';

const tumblerPage = {
  canvas: document.getElementById('canvas'),
  fullscreen: false,   // the answer: Yes asks for fullscreen
  frames: 0,           // frames the game has drawn
  answeredAt: -1,      // page times in ms (performance.now) of the answer and the first frame
  firstFrameAt: -1,
  hasEnded: false,

  answer() {
    return this.fullscreen;
  },

  // Gives the canvas its drawing buffer (see web_window.cpp); returns {width, height,
  // fullscreen}.
  sizeCanvas(fullscreen, width, height) {
    const canvas = this.canvas;
    if (!fullscreen) {
      canvas.width = width;
      canvas.height = height;
      canvas.style.width = width + 'px';
      canvas.style.height = height + 'px';
      return {width, height, fullscreen: false};
    }
    const granted = document.fullscreenElement === canvas;
    const scale = granted ? (window.devicePixelRatio || 1) : 1;
    const size = {
      width: Math.round(window.innerWidth * scale),
      height: Math.round(window.innerHeight * scale),
      fullscreen: granted,
    };
    canvas.width = size.width;
    canvas.height = size.height;
    if (granted) {
      canvas.style.cursor = 'none';  // as on the desktop, fullscreen hides the pointer
    } else {
      canvas.style.width = size.width + 'px';
      canvas.style.height = size.height + 'px';
    }
    return size;
  },

  presented() {
    this.frames++;
    if (this.firstFrameAt < 0) this.firstFrameAt = performance.now();
  },

  // A page position as canvas drawing-buffer pixels. In a page smaller than the canvas the
  // picture is shrunk to fit with its shape kept (object-fit: contain), centred in the box.
  canvasPoint(clientX, clientY) {
    const canvas = this.canvas;
    const box = canvas.getBoundingClientRect();
    if (!(box.width > 0 && box.height > 0 && canvas.width > 0 && canvas.height > 0)) return [0, 0];
    const scale = Math.min(box.width / canvas.width, box.height / canvas.height);
    const left = box.left + (box.width - canvas.width * scale) / 2;
    const top = box.top + (box.height - canvas.height * scale) / 2;
    return [Math.floor((clientX - left) / scale), Math.floor((clientY - top) / scale)];
  },

  ended() {
    this.hasEnded = true;
    this.canvas.style.cursor = '';
    if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
    document.getElementById('ended').hidden = false;
    document.getElementById('again').focus();
  },

  start(fullscreen) {
    document.getElementById('question').hidden = true;
    this.answeredAt = performance.now();
    this.fullscreen = fullscreen;
    // Both must start inside the click: browsers allow sound and fullscreen only then.
    const sound = tumblerAudio.start();
    let screen = Promise.resolve(false);
    if (fullscreen && this.canvas.requestFullscreen) {
      screen = this.canvas.requestFullscreen().then(() => {
        // Escape then reaches the game (holding it still leaves fullscreen).
        if (navigator.keyboard && navigator.keyboard.lock) navigator.keyboard.lock(['Escape']).catch(() => {});
        return true;
      }, () => false);
    }
    Promise.all([sound, screen, tumblerRuntime, tumblerRecording.ready]).then(() => {
      this.canvas.focus();
      Module.callMain(tumblerRecording.args(fullscreen));
    });
  },
};

let tumblerRuntimeReady;
const tumblerRuntime = new Promise((resolve) => { tumblerRuntimeReady = resolve; });

var Module = {
  canvas: tumblerPage.canvas,
  onRuntimeInitialized: () => tumblerRuntimeReady(),
  print: (text) => console.log(text),
  printErr: (text) => console.warn(text),
};

document.getElementById('yes').addEventListener('click', () => tumblerPage.start(true));
document.getElementById('no').addEventListener('click', () => tumblerPage.start(false));
document.getElementById('again').addEventListener('click', () => location.reload());
