// The page around the game: asks the start question, starts the sound and (for Yes) the
// fullscreen mode from the click that answers it, runs the game, places the picture and, on
// a touch screen, the on-screen pad, and says when the game has ended.
'use strict';

const TUMBLER_FB = [320, 240];
// Room the on-screen pad takes beside the picture (landscape, each side) or below it
// (portrait), in CSS pixels: a group of keys is 180 x 180 (see tumbler_page.css).
const TUMBLER_PAD_GROUP = 180;
const TUMBLER_PAD_MARGIN = 12;
const TUMBLER_PAD_ROOM = TUMBLER_PAD_GROUP + 2 * TUMBLER_PAD_MARGIN;
// Room the editor's bar takes above the picture while the editor runs (tumbler_level.js).
const TUMBLER_BAR_ROOM = 56;
// The virtual-key codes the pad's keys stand for, by KeyboardEvent.code.
const TUMBLER_PAD_VK = {ArrowLeft: 0x25, ArrowUp: 0x26, ArrowRight: 0x27, ArrowDown: 0x28, Space: 0x20, Escape: 0x1B};

// The density rule: the picture is N x 320 by N x 240 device pixels for the largest whole N
// that fits a space of width x height device pixels, so every framebuffer pixel is one
// N x N block; where not even N = 1 fits, the largest size of the same shape.
function tumblerFit(width, height) {
  const n = Math.floor(Math.min(width / TUMBLER_FB[0], height / TUMBLER_FB[1]));
  if (n >= 1) return {width: TUMBLER_FB[0] * n, height: TUMBLER_FB[1] * n, scale: n};
  const s = Math.max(0, Math.min(width / TUMBLER_FB[0], height / TUMBLER_FB[1]));
  return {width: Math.max(1, Math.floor(TUMBLER_FB[0] * s)), height: Math.max(1, Math.floor(TUMBLER_FB[1] * s)), scale: s};
}

const tumblerPage = {
  canvas: document.getElementById('canvas'),
  stage: document.getElementById('stage'),
  pad: document.getElementById('pad'),
  fullscreen: false,   // the answer: Yes asks for fullscreen
  frames: 0,           // frames the game has drawn
  answeredAt: -1,      // page times in ms (performance.now) of the answer and the first frame
  firstFrameAt: -1,
  hasEnded: false,
  starting: false,     // the question has been answered
  running: false,      // main has been called and the game has not ended
  touchSeen: false,    // a finger has touched the page: the pad is shown from then on
  barShown: false,     // the editor's bar is above the picture
  // Where the canvas's drawing buffer is shown, in CSS pixels of the viewport (set by layout).
  shown: {left: 0, top: 0, width: 960, height: 720},

  answer() {
    return this.fullscreen;
  },

  // Gives the canvas its drawing buffer by the density rule (see web_window.cpp); returns
  // {width, height, fullscreen}.
  sizeCanvas() {
    this.layout();
    const element = document.fullscreenElement;
    return {width: this.canvas.width, height: this.canvas.height,
            fullscreen: element === this.canvas || element === this.stage};
  },

  // Places the canvas (and the pad) for the viewport as it is now, by the density rule. In a
  // window the drawing buffer is the picture itself, N x 320 by N x 240 device pixels. Its box
  // is laid out in CSS pixels of the buffer's own size and scaled by 1 / devicePixelRatio, with
  // its place given in device pixels: sizes such as 2240 / 2.625 CSS pixels would be rounded
  // by the layout, and the browser would then stretch the picture by a fraction of a pixel.
  // In fullscreen (the browser sizes the element) the buffer is the screen, with the picture
  // in the middle. Run again on every resize, rotation and change of fullscreen.
  layout() {
    const dpr = window.devicePixelRatio || 1;
    const view = [window.innerWidth, window.innerHeight];
    const canvas = this.canvas;
    const style = canvas.style;
    let buffer;
    if (document.fullscreenElement === canvas) {
      buffer = [Math.round(view[0] * dpr), Math.round(view[1] * dpr)];
      style.transform = '';
      style.width = style.height = '';
      this.shown = {left: 0, top: 0, width: view[0], height: view[1]};
    } else {
      // The space for the picture: the viewport, less the pad's room where the pad is shown.
      const portrait = view[1] >= view[0];
      const pad = this.touchSeen;
      const bar = this.barShown ? TUMBLER_BAR_ROOM : 0;
      const space = [0, bar, view[0], view[1] - bar];  // CSS pixels: left, top, width, height
      if (pad && portrait) space[3] = Math.max(0, space[3] - TUMBLER_PAD_ROOM);
      if (pad && !portrait) {
        space[0] = TUMBLER_PAD_ROOM;
        space[2] = Math.max(0, view[0] - 2 * TUMBLER_PAD_ROOM);
      }
      const fit = tumblerFit(Math.floor(space[2] * dpr), Math.floor(space[3] * dpr));
      buffer = [fit.width, fit.height];
      // Centred in the space; in portrait the picture and the pad below it are centred as one.
      const height = pad && portrait ? buffer[1] + TUMBLER_PAD_ROOM * dpr : buffer[1];
      const at = [Math.round(space[0] * dpr + (space[2] * dpr - buffer[0]) / 2),
                  Math.round(bar * dpr + Math.max(0, ((view[1] - bar) * dpr - height) / 2))];
      style.width = buffer[0] + 'px';
      style.height = buffer[1] + 'px';
      style.transform = 'scale(' + 1 / dpr + ') translate(' + at[0] + 'px, ' + at[1] + 'px)';
      this.shown = {left: at[0] / dpr, top: at[1] / dpr, width: buffer[0] / dpr, height: buffer[1] / dpr};
      if (pad) this.placePad(portrait, view, this.shown);
    }
    if (canvas.width !== buffer[0]) canvas.width = buffer[0];  // setting it clears the buffer: only on a change
    if (canvas.height !== buffer[1]) canvas.height = buffer[1];
    style.cursor = document.fullscreenElement === canvas ? 'none' : '';  // as on the desktop
  },

  // The pad's two groups of keys: in portrait below the picture (arrows left, the others
  // right), in landscape one each side of it. CSS pixels.
  placePad(portrait, view, shown) {
    const arrows = document.getElementById('pad-arrows').style;
    const buttons = document.getElementById('pad-buttons').style;
    const g = TUMBLER_PAD_GROUP;
    if (portrait) {
      const top = Math.min(view[1] - g - TUMBLER_PAD_MARGIN, shown.top + shown.height + TUMBLER_PAD_MARGIN);
      const gap = Math.max(TUMBLER_PAD_MARGIN, (view[0] - 2 * g) / 3);
      arrows.left = gap + 'px';
      buttons.left = (view[0] - gap - g) + 'px';
      arrows.top = buttons.top = top + 'px';
    } else {
      const top = (view[1] - g) / 2;
      const gap = Math.max(TUMBLER_PAD_MARGIN, (shown.left - g) / 2);
      arrows.left = gap + 'px';
      buttons.left = (view[0] - gap - g) + 'px';
      arrows.top = buttons.top = top + 'px';
    }
  },

  presented() {
    this.frames++;
    if (this.firstFrameAt < 0) this.firstFrameAt = performance.now();
  },

  // A page position as canvas drawing-buffer pixels (outside the picture the values run below
  // 0 or past the buffer's size).
  canvasPoint(clientX, clientY) {
    const s = this.shown, canvas = this.canvas;
    if (!(s.width > 0 && s.height > 0)) return [0, 0];
    return [Math.floor((clientX - s.left) * canvas.width / s.width),
            Math.floor((clientY - s.top) * canvas.height / s.height)];
  },

  // The first touch anywhere on the page: from now on the pad is shown and room kept for it.
  touched() {
    if (this.touchSeen) return;
    this.touchSeen = true;
    this.pad.hidden = false;
    this.layout();
  },

  // A key of the pad went down or up: the game takes it as the keyboard's.
  padKey(code, down) {
    if (this.running && Module._web_page_key) Module._web_page_key(TUMBLER_PAD_VK[code], down ? 1 : 0);
  },

  // The pad's keys: each is held while a finger is on it. The end key asks first.
  setUpPad() {
    for (const key of this.pad.querySelectorAll('.pad-key')) {
      const code = key.dataset.code;
      const fingers = new Set();
      const release = (e) => {
        if (!fingers.delete(e.pointerId) || fingers.size) return;
        key.classList.remove('held');
        if (code !== 'Escape') this.padKey(code, false);
      };
      key.addEventListener('pointerdown', (e) => {
        e.preventDefault();
        key.setPointerCapture(e.pointerId);
        fingers.add(e.pointerId);
        if (fingers.size > 1) return;
        key.classList.add('held');
        if (code === 'Escape') this.askEnd();
        else this.padKey(code, true);
      });
      for (const type of ['pointerup', 'pointercancel', 'lostpointercapture']) key.addEventListener(type, release);
      key.addEventListener('click', (e) => e.preventDefault());
    }
    const confirm = document.getElementById('confirm-end');
    document.getElementById('end-yes').addEventListener('click', () => {
      confirm.hidden = true;
      this.padKey('Escape', true);   // the game sees Escape down for a tick, as a key tap
      this.padKey('Escape', false);
    });
    document.getElementById('end-no').addEventListener('click', () => { confirm.hidden = true; });
  },

  askEnd() {
    if (this.running) document.getElementById('confirm-end').hidden = false;
  },

  ended() {
    tumblerLevel.ended();
    this.hasEnded = true;
    this.running = false;
    document.getElementById('confirm-end').hidden = true;
    if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
    document.getElementById('ended').hidden = false;
    document.getElementById('again').focus();
  },

  // The site offline (tumbler_sw.js). A page that finds a newer version than its own while
  // it still asks its question lets the new one take over and loads again from it; once the
  // game has started it keeps its own to the end (the next visit has the new one).
  setUpOffline() {
    const workers = navigator.serviceWorker;
    if (!workers || !window.isSecureContext) return;
    const ask = () => tumblerRuntime.then(() => {
      if (workers.controller && !this.starting) workers.controller.postMessage('version?');
    });
    workers.addEventListener('message', (e) => {
      const d = e.data || {};
      if (!d.tumblerNewest || d.tumblerVersion === d.tumblerNewest || this.starting) return;
      if (sessionStorage.getItem('tumbler-loaded-for') === d.tumblerNewest) return;  // once only
      sessionStorage.setItem('tumbler-loaded-for', d.tumblerNewest);
      location.reload();
    });
    workers.addEventListener('controllerchange', ask);
    workers.startMessages();
    window.addEventListener('load', () => {
      workers.register('tumbler_sw.js').then((registration) => {
        const offer = () => {
          const waiting = registration.waiting;
          if (waiting && workers.controller) tumblerRuntime.then(() => { if (!this.starting) waiting.postMessage('take-over'); });
        };
        registration.addEventListener('updatefound', () => {
          const installing = registration.installing;
          if (installing) installing.addEventListener('statechange', offer);
        });
        offer();
        ask();
        if (workers.controller) registration.update().catch(() => {});  // offline: nothing to find
      }, (e) => console.warn('tumbler: no offline copy: ' + e));
    });
  },

  start(fullscreen) {
    this.starting = true;
    document.getElementById('question').hidden = true;
    this.answeredAt = performance.now();
    this.fullscreen = fullscreen;
    // Both must start inside the click: browsers allow sound and fullscreen only then. On a
    // touch screen (and for the editor, with its bar) the stage goes fullscreen, so that the
    // pad (and the bar) stay in view.
    const sound = tumblerAudio.start();
    let screen = Promise.resolve(false);
    const element = this.touchSeen || tumblerLevel.editing ? this.stage : this.canvas;
    if (fullscreen && element.requestFullscreen) {
      screen = element.requestFullscreen().then(() => {
        // Escape then reaches the game (holding it still leaves fullscreen).
        if (navigator.keyboard && navigator.keyboard.lock) navigator.keyboard.lock(['Escape']).catch(() => {});
        return true;
      }, () => false);
    }
    Promise.all([sound, screen, tumblerRuntime, tumblerRecording.ready]).then(() => {
      this.canvas.focus();
      this.running = true;
      const level = tumblerLevel;
      level.started();
      Module.callMain(level.editing ? level.editArgs(fullscreen) : level.gameArgs(tumblerRecording.args(fullscreen)));
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

// A touch is seen before the click it makes, so a tap on Yes already fullscreens the stage.
window.addEventListener('pointerdown', (e) => { if (e.pointerType === 'touch') tumblerPage.touched(); }, true);
window.addEventListener('touchstart', () => tumblerPage.touched(), {capture: true, passive: true});
// No long-press menu over the game.
tumblerPage.stage.addEventListener('contextmenu', (e) => e.preventDefault());
for (const type of ['resize', 'orientationchange']) window.addEventListener(type, () => tumblerPage.layout());
document.addEventListener('fullscreenchange', () => tumblerPage.layout());
tumblerPage.setUpPad();
tumblerPage.setUpOffline();
tumblerPage.layout();

document.getElementById('yes').addEventListener('click', () => tumblerPage.start(true));
document.getElementById('no').addEventListener('click', () => tumblerPage.start(false));
document.getElementById('again').addEventListener('click', () => location.reload());
// The answers work from now on (the game's script may still be loading: start waits for it).
for (const id of ['yes', 'no']) document.getElementById(id).disabled = false;
