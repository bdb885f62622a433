'use strict';

// Levels in the page: "Make a level" starts the level editor (--edit) on a level kept in this
// browser (the level, the editor's draft of unsaved work and the proof of a won test-play,
// copied to localStorage after every save of the editor and brought back next time); a link
// ending in #level=CODE plays that one level (--level), or opens it in the editor; while the
// editor runs, its bar saves, test-plays, undoes, shares the level as such a link and
// downloads it.
const tumblerLevel = {
  dir: '/level',
  linkPath: '/linked.txt',
  // The editor's files in the in-memory file system (editor.h: FILE, FILE.draft, FILE.proof)
  // and the localStorage key each is kept under.
  files: [['/level/level.txt', 'tumbler-level'], ['/level/level.draft', 'tumbler-level-draft'],
          ['/level/level.proof', 'tumbler-level-proof']],
  editing: false,      // the answer starts the editor
  linkCode: '',        // the address's #level=CODE
  linked: false,       // that code is decoded into linkPath
  kept: {},            // what localStorage holds by key, as last read or written
  storageBroken: false,
  // The editor's keys the bar's buttons stand for (virtual-key codes).
  keys: {save: 0x53, test: 0x54, undo: 0x5A},

  note(text) {
    const note = document.getElementById('level-note');
    note.textContent = text;
    note.hidden = !text;
  },

  // localStorage may be missing, refused (private mode, settings) or full: the page says so
  // in one line and goes on without it.
  storage(what) {
    try {
      return what(window.localStorage);
    } catch (e) {
      if (!this.storageBroken) this.say('This browser keeps no drafts (' + (e.name || e) + '): download the level to keep it.');
      this.storageBroken = true;
      return null;
    }
  },

  // A line under the editor's bar (or in the question box before the editor runs).
  say(text) {
    const line = document.getElementById(this.running() ? 'bar-note' : 'level-note');
    line.textContent = text;
    line.hidden = !text;
  },

  running() { return this.editing && tumblerPage.running; },

  // #level=CODE: decoded into the file system once the game's program is there; a bad code
  // gets one line and the normal game.
  fromAddress() {
    const hash = location.hash;
    const at = hash.indexOf('level=');
    if (at < 0) return;
    this.linkCode = decodeURIComponent(hash.slice(at + 6));
    tumblerRuntime.then(() => {
      const problem = this.linkCode.length > 200000 ? 'it is too long'
        : Module.ccall('web_level_from_code', 'string', ['string', 'string'], [this.linkCode, this.linkPath]);
      this.linked = !problem;
      this.note(problem ? "This link's level cannot be read: " + problem + '.'
                        : 'Answer to play the linked level, or make a level from it.');
    });
  },

  // Make a level: the question's answer then starts the editor.
  choose() {
    this.editing = !this.editing;
    const button = document.getElementById('make');
    button.setAttribute('aria-pressed', String(this.editing));
    document.getElementById('question-title').textContent =
      this.editing ? 'Make a level: select display mode' : 'Select display mode';
  },

  // The options main gets for the game: the recording's, with the linked level alone when
  // there is one (a recording played back keeps its own levels).
  gameArgs(args) {
    return this.linked && !tumblerRecording.playing ? args.concat(['--level', this.linkPath]) : args;
  },

  // ... and for the editor: the kept (or linked) level's files put back first.
  editArgs(fullscreen) {
    const FS = Module.FS;
    FS.mkdir(this.dir);
    this.storage((s) => {
      for (const [path, key] of this.files) {
        this.kept[key] = s.getItem(key);
        if (this.kept[key] != null) FS.writeFile(path, this.bytes(this.kept[key]));
      }
    });
    if (this.linked) this.takeLinked();
    setInterval(() => this.keep(), 500);
    return ['--edit', this.files[0][0], fullscreen ? '--fullscreen' : '--windowed'];
  },

  // The linked level is the one edited. The level kept before (when it is another one) is
  // set aside under its own key first, so that nothing a player made is lost.
  takeLinked() {
    const FS = Module.FS;
    const linked = this.text(FS.readFile(this.linkPath));
    if (this.kept['tumbler-level'] === linked) return;
    const earlier = {};
    for (const [path, key] of this.files) {
      earlier[key] = this.kept[key] == null ? null : this.kept[key];
      if (this.kept[key] != null && path !== this.files[0][0]) FS.unlink(path);
    }
    if (earlier['tumbler-level'] !== null || earlier['tumbler-level-draft'] !== null)
      this.storage((s) => s.setItem('tumbler-level-earlier', JSON.stringify(earlier)));
    FS.writeFile(this.files[0][0], this.bytes(linked));
  },

  // Bytes <-> one character each (levels and proofs are plain ASCII text).
  bytes(text) { return Uint8Array.from(text, (c) => c.charCodeAt(0)); },
  text(bytes) {
    let s = '';
    for (let i = 0; i < bytes.length; i += 0x8000) s += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
    return s;
  },
  read(path) {
    try {
      return this.text(Module.FS.readFile(path));
    } catch (e) {
      return null;  // not there (the draft goes once the level is saved)
    }
  },

  // The editor's files into localStorage where they changed: each save of the editor, each
  // change of its draft, each won test-play's proof.
  keep() {
    if (this.storageBroken) return;
    for (const [path, key] of this.files) {
      const now = this.read(path);
      if (now === this.kept[key]) continue;
      const done = this.storage((s) => {
        if (now === null) s.removeItem(key);
        else s.setItem(key, now);
        return true;
      });
      if (!done) return;
      this.kept[key] = now;
    }
  },

  // A tap of the editor's key (as the pad's keys come in: down, then up a pass later).
  key(name) {
    if (!tumblerPage.running) return;
    Module._web_page_key(this.keys[name], 1);
    Module._web_page_key(this.keys[name], 0);
  },

  // The saved level, or null with the reason said.
  saved() {
    const level = this.read(this.files[0][0]);
    if (level === null || this.read(this.files[1][0]) !== null) {
      this.say(level === null ? 'Save the level first (Save, or S).' : 'The level has unsaved changes: save it first (Save, or S).');
      return null;
    }
    return level;
  },

  // Share: the page's address with #level= and the saved level's code, copied to the
  // clipboard; where the clipboard is refused the link is there to select and copy.
  share() {
    if (this.saved() === null) return;
    const code = Module.ccall('web_level_code', 'string', ['string'], [this.files[0][0]]);
    const link = location.href.replace(/#.*$/, '') + '#level=' + code;
    const box = document.getElementById('share');
    const field = document.getElementById('share-link');
    field.value = link;
    document.getElementById('share-size').textContent = 'The level\'s code is ' + code.length + ' characters.';
    const said = document.getElementById('share-text');
    box.hidden = false;
    this.say('');
    const show = (copied) => {
      said.textContent = copied ? 'The link is copied.' : 'Copy the link:';
      if (!copied) {
        field.focus();
        field.select();
      }
    };
    const clipboard = navigator.clipboard;
    if (!clipboard || !clipboard.writeText) return show(false);
    clipboard.writeText(link).then(() => show(true), () => show(false));
  },

  download() {
    const level = this.saved();
    if (level === null) return;
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([this.bytes(level)], {type: 'text/plain'}));
    link.download = 'level.txt';
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 10000);
  },

  started() {
    if (!this.editing) return;
    document.getElementById('bar').hidden = false;
    tumblerPage.barShown = true;
    tumblerPage.layout();
    document.getElementById('confirm-end-text').textContent = 'Leave the editor?';
  },

  ended() {
    if (!this.editing) return;
    this.keep();
    document.getElementById('bar').hidden = true;
    tumblerPage.barShown = false;
    tumblerPage.layout();
    document.getElementById('share').hidden = true;
    document.querySelector('#ended > p').textContent = 'The editor has ended.';
  },
};

document.getElementById('make').addEventListener('click', () => tumblerLevel.choose());
for (const name of ['save', 'test', 'undo']) {
  document.getElementById('bar-' + name).addEventListener('click', () => tumblerLevel.key(name));
}
document.getElementById('bar-share').addEventListener('click', () => tumblerLevel.share());
document.getElementById('bar-download').addEventListener('click', () => tumblerLevel.download());
document.getElementById('share-close').addEventListener('click', () => { document.getElementById('share').hidden = true; });
tumblerLevel.fromAddress();
