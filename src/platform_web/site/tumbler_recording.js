'use strict';

// Recordings in the page, in the desktop's format: every session is recorded into the game's
// in-memory file system and can be saved once the game has ended; a recording chosen in the
// question box, or named by ?play=URL (on this site), is played back instead, frame for
// frame, and the page shows the playback's closing line.
const tumblerRecording = {
  recordPath: '/tumbler.rec',
  playing: null,       // the recording to play (Uint8Array), null to record the session
  playPath: '',
  ready: Promise.resolve(),  // the ?play recording has arrived (or could not be had)
  recorded: false,
  result: '',          // the game's closing line (a playback's result), or why it refused
  status: -1,          // the game's exit status; 2 for a refused recording

  note(text) {
    const note = document.getElementById('rec-note');
    note.textContent = text;
    note.hidden = !text;
  },

  // The options main gets for this session.
  args(fullscreen) {
    if (!this.playing) {
      this.recorded = true;
      return ['--record', this.recordPath];
    }
    Module.FS.writeFile(this.playPath, this.playing);
    return ['--play', this.playPath, fullscreen ? '--fullscreen' : '--windowed'];
  },

  use(name, bytes) {
    this.playing = new Uint8Array(bytes);
    // The file keeps its own name (in the file system's top folder, the game's working
    // folder), so that the game's lines name it.
    this.playPath = name.replace(/^.*\//, '').replace(/[^A-Za-z0-9._-]/g, '_').replace(/^\.*/, '') || 'watched.rec';
  },

  // A recording chosen in the question box starts at once, in a window.
  chosen(file) {
    if (!file) return;
    file.arrayBuffer().then((bytes) => {
      this.use(file.name, bytes);
      tumblerPage.start(false);
    }, () => this.note('The file ' + file.name + ' cannot be read.'));
  },

  // ?play=URL: fetched while the question waits; the answer starts its playback.
  fromAddress() {
    const wanted = new URLSearchParams(location.search).get('play');
    if (!wanted) return;
    const url = new URL(wanted, location.href);
    if (url.origin !== location.origin) {
      this.note('Only a recording from this site can be played: ' + wanted);
      return;
    }
    const name = decodeURIComponent(url.pathname.replace(/^.*\//, ''));
    this.note('Answer to watch the recording ' + name + '.');
    this.ready = fetch(url).then((response) => {
      if (!response.ok) throw new Error(response.status + ' ' + response.statusText);
      return response.arrayBuffer();
    }).then((bytes) => this.use(name, bytes), (error) => {
      this.note('The recording ' + wanted + ' cannot be fetched (' + error.message + '); answer to play.');
    });
    // Play again starts a game of its own, not the same playback.
    history.replaceState(null, '', location.pathname);
  },

  ended(message, status) {
    this.result = message.trim();
    this.status = status;
    const result = document.getElementById('rec-result');
    result.textContent = this.playing ? this.result.replace(/^tumbler: /, '') : '';
    result.hidden = !this.playing;
    document.getElementById('rec-save').hidden = !this.recorded;
  },

  refused(message) {
    this.result = message.trim();
    this.status = 2;
    tumblerPage.ended();
    const linked = tumblerLevel.linked && !this.playing && !tumblerLevel.editing;
    if (linked) history.replaceState(null, '', location.pathname + location.search);  // Play again: the game
    document.querySelector('#ended > p').textContent = this.playing ? 'This recording cannot be played.'
      : linked ? "This link's level cannot be played." : 'The editor cannot start.';
    const result = document.getElementById('rec-result');
    result.textContent = this.result.replace(/^tumbler: /, '');
    result.hidden = false;
  },

  // The session's recording as a download.
  save() {
    const bytes = Module.FS.readFile(this.recordPath);
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([bytes], {type: 'text/plain'}));
    const stamp = new Date().toISOString().replace(/\..*$/, '').replace(/[-:]/g, '').replace('T', '-');
    link.download = 'tumbler-' + stamp + '.rec';
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 10000);
  },
};

document.getElementById('rec-file').addEventListener('change', (event) => tumblerRecording.chosen(event.target.files[0]));
document.getElementById('rec-save').addEventListener('click', () => tumblerRecording.save());
tumblerRecording.fromAddress();
