#!/usr/bin/env python3
"""The browser game end to end in headless Chromium, driven through the DevTools protocol.

Desktop, answered No (a 960 x 720 canvas): the question cannot be answered before the page's
scripts run, the title screen's pixels, a key into level 0, the player stepping right, the
sound blocks played and not silent and, sample for sample, the title song as render_song
makes it; a hidden tab stops the game where it was, with no key held and no burst of sound
blocks; Escape ends the game and the page says so. Answered Yes: the canvas fills the
fullscreen element with the picture at 4:3 between black bars. Density: at each
devicePixelRatio every framebuffer pixel of the title is one block of N x N device pixels in
a screenshot, N the largest whole multiple that fits; then a stand-in gamepad plays. Phone
(390 x 844 at 3, touch): taps answer and leave the title, a finger steers, the on-screen pad
steps and ends the game, nothing scrolls or zooms; rotated, the picture and pad are laid out
again. Offline: the site's second visit plays with the network off, and a changed build
replaces the cached one whole. Any console error, uncaught exception or WebGL error fails the
run. Prints the site's gzip size and the phone's time to the first title frame.
Screenshots: test-output/web/.

Usage: web_play.py SITE_DIR RENDER_SONG [--measure SECONDS]
  --measure: only report the figures (sizes, load time, frame and block rates, underruns).
Standard library only: Chromium speaks the protocol over a pipe (--remote-debugging-pipe),
and the site is served by a plain local HTTP server on 127.0.0.1.
"""
import base64
import fcntl
import functools
import gzip
import http.server
import json
import os
import select
import shutil
import struct
import subprocess
import sys
import tempfile
import threading
import time
import wave

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
OUT = os.environ.get("WEB_OUT", os.path.join(ROOT, "test-output", "web"))
BLOCK = 2204
FAILS = []
FIGURES = []


def log(text):
    print("[%s] %s" % (time.strftime("%H:%M:%S"), text), flush=True)


def check(what, ok, detail=""):
    print(("ok: " if ok else "FAIL: ") + what + (" (%s)" % detail if detail else ""), flush=True)
    if not ok:
        FAILS.append(what)
    return ok


# --- the site, served as any static host would --------------------------------------------

class QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = dict(http.server.SimpleHTTPRequestHandler.extensions_map,
                          **{".wasm": "application/wasm", ".webmanifest": "application/manifest+json"})

    def log_message(self, *args):
        pass


def serve(site):
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(QuietHandler, directory=site))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


# --- Chromium over the DevTools pipe --------------------------------------------------------

class Browser:
    """Headless Chromium; JSON messages separated by NUL bytes, on its fds 3 (in) and 4 (out)."""

    def __init__(self):
        self.profile = tempfile.mkdtemp(prefix="tumbler-chromium-")
        to_chrome_r, self.to_chrome = os.pipe()
        self.from_chrome, from_chrome_w = os.pipe()

        def fds_3_and_4():
            a = fcntl.fcntl(to_chrome_r, fcntl.F_DUPFD, 10)
            b = fcntl.fcntl(from_chrome_w, fcntl.F_DUPFD, 10)
            os.dup2(a, 3)
            os.dup2(b, 4)

        args = [shutil.which("chromium") or "chromium", "--headless=new", "--no-sandbox", "--disable-gpu",
                "--enable-unsafe-swiftshader", "--disable-background-networking", "--disable-component-update",
                "--disable-sync", "--no-first-run", "--disable-quic", "--no-default-browser-check",
                "--autoplay-policy=no-user-gesture-required", "--remote-debugging-pipe",
                "--user-data-dir=" + self.profile, "about:blank"]
        self.log = open(os.path.join(OUT, "chromium.log"), "w")
        self.proc = subprocess.Popen(args, preexec_fn=fds_3_and_4, pass_fds=(3, 4), stdin=subprocess.DEVNULL,
                                     stdout=self.log, stderr=subprocess.STDOUT)
        os.close(to_chrome_r)
        os.close(from_chrome_w)
        self.buffer = b""
        self.next_id = 0
        self.events = []

    def close(self):
        try:
            self.send("Browser.close", timeout=5)
        except Exception:
            pass
        try:
            self.proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()
        shutil.rmtree(self.profile, ignore_errors=True)

    def _read_message(self, deadline):
        while b"\0" not in self.buffer:
            left = deadline - time.time()
            if left <= 0:
                raise TimeoutError("no answer from Chromium")
            ready, _, _ = select.select([self.from_chrome], [], [], left)
            if ready:
                chunk = os.read(self.from_chrome, 1 << 20)
                if not chunk:
                    raise EOFError("Chromium closed the pipe")
                self.buffer += chunk
        message, self.buffer = self.buffer.split(b"\0", 1)
        return json.loads(message)

    def send(self, method, params=None, session=None, timeout=60):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        os.write(self.to_chrome, json.dumps(message).encode() + b"\0")
        deadline = time.time() + timeout
        while True:
            answer = self._read_message(deadline)
            if answer.get("id") == self.next_id:
                if "error" in answer:
                    raise RuntimeError("%s: %s" % (method, answer["error"]))
                return answer.get("result", {})
            self.events.append(answer)

    def wait_event(self, method, seconds):
        deadline = time.time() + seconds
        while time.time() < deadline:
            for e in self.events:
                if e.get("method") == method:
                    self.events.remove(e)
                    return e
            self.pump(0.05)
        raise TimeoutError("no %s within %d s" % (method, seconds))

    def decoder(self):
        """A blank page of its own that decodes screenshots."""
        if not getattr(self, "_decoder", None):
            self._decoder = Page(self, 100, 100, background=True)  # the game's tab stays in front
        return self._decoder

    def pump(self, seconds):
        """Takes the events that arrive within the time."""
        deadline = time.time() + seconds
        try:
            while True:
                self.events.append(self._read_message(deadline))
        except TimeoutError:
            pass


class Page:
    def __init__(self, browser, width, height, dpr=1, mobile=False, background=False):
        self.b = browser
        self.target = browser.send("Target.createTarget", {"url": "about:blank", "background": background})["targetId"]
        self.session = browser.send("Target.attachToTarget", {"targetId": self.target, "flatten": True})["sessionId"]
        for domain in ("Runtime.enable", "Log.enable", "Page.enable"):
            self.send(domain)
        self.metrics(width, height, dpr, mobile)
        if mobile:
            self.send("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 5})

    def metrics(self, width, height, dpr=1, mobile=False):
        """The screen: CSS pixels, devicePixelRatio; a phone's in portrait or landscape."""
        params = {"width": width, "height": height, "deviceScaleFactor": dpr, "mobile": mobile,
                  "screenWidth": width, "screenHeight": height}
        if mobile:
            params["screenOrientation"] = ({"type": "portraitPrimary", "angle": 0} if height >= width
                                           else {"type": "landscapePrimary", "angle": 90})
        self.send("Emulation.setDeviceMetricsOverride", params)

    def send(self, method, params=None):
        return self.b.send(method, params, self.session)

    def eval(self, expression):
        result = self.send("Runtime.evaluate", {"expression": expression, "returnByValue": True,
                                                "awaitPromise": True, "userGesture": False})
        if "exceptionDetails" in result:
            raise RuntimeError("%s: %s" % (expression, result["exceptionDetails"].get("text")))
        return result["result"].get("value")

    def wait_for(self, expression, seconds, what):
        deadline = time.time() + seconds
        while time.time() < deadline:
            try:
                if self.eval(expression):
                    return check(what, True)
            except RuntimeError:  # the page is loading again
                pass
            self.b.pump(0.1)
        return check(what, False, "not within %d s" % seconds)

    def middle(self, selector):
        return self.eval("(() => { const r = document.querySelector(%r).getBoundingClientRect();"
                         " return [r.left + r.width / 2, r.top + r.height / 2]; })()" % selector)

    def click(self, selector):
        box = self.middle(selector)
        for kind in ("mousePressed", "mouseReleased"):
            self.send("Input.dispatchMouseEvent", {"type": kind, "x": box[0], "y": box[1], "button": "left",
                                                   "clickCount": 1})

    def touch(self, x, y, seconds=0.05):
        """A finger down at a page point, held, lifted."""
        self.send("Input.dispatchTouchEvent", {"type": "touchStart", "touchPoints": [{"x": x, "y": y, "id": 1}]})
        self.b.pump(seconds)
        self.send("Input.dispatchTouchEvent", {"type": "touchEnd", "touchPoints": []})

    def touch_tap(self, selector, seconds=0.05):
        x, y = self.middle(selector)
        self.touch(x, y, seconds)

    def touch_picture(self, fb_x, fb_y, seconds):
        """A finger on the picture at a framebuffer pixel."""
        s = self.eval("tumblerPage.shown")
        self.touch(s["left"] + (fb_x + 0.5) * s["width"] / 320, s["top"] + (fb_y + 0.5) * s["height"] / 240, seconds)

    KEYS = {"Space": (" ", 32), "ArrowRight": ("ArrowRight", 39), "Escape": ("Escape", 27)}

    def key(self, code, down):
        key, vk = self.KEYS[code]
        params = {"type": "keyDown" if down else "keyUp", "code": code, "key": key, "windowsVirtualKeyCode": vk}
        if down and key == " ":
            params["text"] = " "
        self.send("Input.dispatchKeyEvent", params)

    def tap(self, code):
        self.key(code, True)
        self.b.pump(0.05)
        self.key(code, False)

    def screenshot(self, name):
        data = self.send("Page.captureScreenshot", {"format": "png"})["data"]
        with open(os.path.join(OUT, name + ".png"), "wb") as f:
            f.write(base64.b64decode(data))

    def canvas(self):
        """The canvas's drawing buffer as (width, height, rows of RGBA bytes, top row first).
        Asking the canvas for its context again hands back the game's own; the page keeps the
        buffer after showing it (preserveDrawingBuffer), so it holds the last frame drawn."""
        got = self.eval("""(() => {
            const gl = tumblerPage.canvas.getContext('webgl'), w = gl.drawingBufferWidth, h = gl.drawingBufferHeight;
            const px = new Uint8Array(w * h * 4);
            gl.readPixels(0, 0, w, h, gl.RGBA, gl.UNSIGNED_BYTE, px);
            let s = '';
            for (let i = 0; i < px.length; i += 0x8000) s += String.fromCharCode.apply(null, px.subarray(i, i + 0x8000));
            return [w, h, btoa(s)];
        })()""")
        w, h, data = got[0], got[1], base64.b64decode(got[2])
        rows = [data[(h - 1 - y) * w * 4:(h - y) * w * 4] for y in range(h)]  # GL's rows start at the bottom
        return w, h, rows

    def picture(self):
        """The last frame drawn as a 320 x 240 Frame: the middle of each framebuffer pixel's
        block in the drawing buffer, where the picture is the buffer (a window) or its middle
        whole multiple (fullscreen)."""
        got = self.eval("""(() => {
            const gl = tumblerPage.canvas.getContext('webgl'), w = gl.drawingBufferWidth, h = gl.drawingBufferHeight;
            const n = Math.max(1, Math.floor(Math.min(w / 320, h / 240)));
            const ox = (w - 320 * n) >> 1, oy = (h - 240 * n) >> 1;
            const px = new Uint8Array(w * h * 4), out = new Uint8Array(320 * 240 * 4);
            gl.readPixels(0, 0, w, h, gl.RGBA, gl.UNSIGNED_BYTE, px);
            for (let y = 0; y < 240; y++) for (let x = 0; x < 320; x++) {
              const at = ((h - 1 - (oy + y * n + (n >> 1))) * w + ox + x * n + (n >> 1)) * 4;
              out.set(px.subarray(at, at + 4), (y * 320 + x) * 4);
            }
            let s = '';
            for (let i = 0; i < out.length; i += 0x8000) s += String.fromCharCode.apply(null, out.subarray(i, i + 0x8000));
            return btoa(s);
        })()""")
        data = base64.b64decode(got)
        return Frame((320, 240, [data[y * 1280:(y + 1) * 1280] for y in range(240)]), 0, 0, 1)

    def seen(self, n, guess):
        """The picture in a screenshot, which shows what the screen's device pixels show: the
        320 x 240 grid of n x n blocks nearest to guess (device pixels, searched 2 each way),
        as (blocks that are not one colour, the grid's corner, a Frame of the blocks)."""
        shot = self.send("Page.captureScreenshot", {"format": "png"})["data"]
        got = self.b.decoder().eval("(%s)(%s, %d, %d, %d)" % (SEEN_BLOCKS, json.dumps(shot), n, guess[0], guess[1]))
        data = base64.b64decode(got[3])
        return got[0], (got[1], got[2]), Frame((320, 240, [data[y * 1280:(y + 1) * 1280] for y in range(240)]), 0, 0, 1)


# Decodes a PNG screenshot (as the browser's own decoder reads it) and finds the grid of n x n
# blocks, 320 x 240 of them, with the fewest blocks of more than one colour near the guess.
SEEN_BLOCKS = """async (png, n, gx, gy) => {
  const blob = await (await fetch('data:image/png;base64,' + png)).blob();
  const image = await createImageBitmap(blob, {colorSpaceConversion: 'none', premultiplyAlpha: 'none'});
  const canvas = new OffscreenCanvas(image.width, image.height), g = canvas.getContext('2d');
  g.drawImage(image, 0, 0);
  const w = image.width, h = image.height, d = new Uint32Array(g.getImageData(0, 0, w, h).data.buffer);
  const mixedAt = (ox, oy) => {
    if (ox < 0 || oy < 0 || ox + 320 * n > w || oy + 240 * n > h) return Infinity;
    let mixed = 0;
    for (let y = 0; y < 240; y++) for (let x = 0; x < 320; x++) {
      const first = (oy + y * n) * w + ox + x * n, c = d[first];
      let one = true;
      for (let j = 0; j < n && one; j++) for (let i = 0; i < n; i++) if (d[first + j * w + i] !== c) { one = false; break; }
      mixed += !one;
    }
    return mixed;
  };
  let best = [mixedAt(gx, gy), gx, gy];
  for (let oy = gy - 2; oy <= gy + 2 && best[0] > 0; oy++) for (let ox = gx - 2; ox <= gx + 2 && best[0] > 0; ox++) {
    const m = mixedAt(ox, oy);
    if (m < best[0]) best = [m, ox, oy];
  }
  const out = new Uint8Array(320 * 240 * 4), bytes = new Uint8Array(d.buffer);
  if (best[0] !== Infinity) for (let y = 0; y < 240; y++) for (let x = 0; x < 320; x++) {
    const at = ((best[2] + y * n + (n >> 1)) * w + best[1] + x * n + (n >> 1)) * 4;
    out.set(bytes.subarray(at, at + 4), (y * 320 + x) * 4);
  }
  let s = '';
  for (let i = 0; i < out.length; i += 0x8000) s += String.fromCharCode.apply(null, out.subarray(i, i + 0x8000));
  return [best[0] === Infinity ? -1 : best[0], best[1], best[2], btoa(s)];
}"""


# --- the 320 x 240 frame inside the canvas, as the Linux run checks it ----------------------

class Frame:
    def __init__(self, canvas, ox, oy, scale):
        self.w, self.h, self.rows = canvas
        self.ox, self.oy, self.scale = ox, oy, scale

    def canvas_pixel(self, x, y):
        row = self.rows[y]
        return tuple(row[x * 4:x * 4 + 3])

    def pixel(self, x, y):
        """Framebuffer pixel (x, y): the middle of its block on the canvas."""
        s = self.scale
        return self.canvas_pixel(int(self.ox + x * s + s / 2), int(self.oy + y * s + s / 2))

    def count(self, x0, y0, w, h, test):
        return sum(1 for y in range(y0, y0 + h) for x in range(x0, x0 + w) if test(*self.pixel(x, y)))

    def mean_x(self, test):
        xs = [x for y in range(240) for x in range(320) if test(*self.pixel(x, y))]
        return sum(xs) // len(xs) if xs else -1


def bright(r, g, b):
    return r > 200 and g > 200 and b > 200


def orange(r, g, b):
    return r > 180 and b < 90


def cap(r, g, b):
    return r > 200 and g > 150 and b < 90 and r - b > 150


def gem(r, g, b):
    return r < 190 and g > 180 and b > 230


def check_sharp(f, name):
    """Nearest filtering and whole texels: every framebuffer pixel is a block of one colour."""
    s = f.scale
    blurred = 0
    for y in range(240):
        rows = f.rows[f.oy + y * s:f.oy + y * s + s]
        for x in range(320):
            at = (f.ox + x * s) * 4
            block = {bytes(row[at + i * 4:at + i * 4 + 3]) for row in rows for i in range(s)}
            blurred += len(block) > 1
    check("%s: sharp pixels, every framebuffer pixel one block of %d x %d" % (name, s, s), blurred == 0,
          "%d blocks mixed" % blurred)


def check_title(f, name, sharp=True):
    if sharp:
        check_sharp(f, name)
    for x, y in ((23, 101), (296, 101), (23, 119), (296, 119)):
        check("%s: title grey at (%d,%d)" % (name, x, y), f.pixel(x, y) == (60, 60, 60), str(f.pixel(x, y)))
    n = f.count(0, 141, 320, 17, bright)
    check("%s: white text on the row of \"Collect all diamonds\"" % name, n >= 60, n)
    n = f.count(0, 161, 320, 17, bright)
    check("%s: white text on the row of \"and follow the screen..\"" % name, n >= 60, n)
    n = f.count(0, 121, 320, 18, bright)
    check("%s: no text between the picture and the tag lines" % name, n == 0, n)
    n = f.count(0, 0, 320, 95, orange)
    check("%s: title picture in the top rows" % name, n >= 300, n)


def check_level(f):
    n = f.count(0, 0, 320, 95, orange)
    check("title picture gone", n <= 120, n)
    n = f.count(10, 222, 170, 17, bright)
    check("status line drawn at the bottom", n >= 40, n)
    n = f.count(0, 0, 320, 220, cap)
    check("player in view", n >= 4, n)


def check_moved(before, after):
    cap_before, cap_after = before.mean_x(cap), after.mean_x(cap)
    gem_before, gem_after = before.mean_x(gem), after.mean_x(gem)
    check("player still in view after stepping", cap_after >= 0)
    if gem_before < 0 or gem_after < 0:
        gem_before = gem_after = 0  # no diamond in one of the pictures: measure on the screen
    step = (cap_after - gem_after) - (cap_before - gem_before)
    check("player stepped right", step >= 28, "%d framebuffer pixels from the diamond" % step)


# --- the runs -------------------------------------------------------------------------------

def console_failures(browser):
    """Console errors, uncaught exceptions and WebGL errors seen so far."""
    bad = []
    for e in browser.events:
        method, p = e.get("method"), e.get("params", {})
        if method == "Runtime.consoleAPICalled" and p.get("type") in ("error", "assert"):
            bad.append("console: " + " ".join(str(a.get("value", a.get("description"))) for a in p.get("args", [])))
        elif method == "Runtime.exceptionThrown":
            d = p.get("exceptionDetails", {})
            bad.append("exception: %s %s" % (d.get("text"), d.get("exception", {}).get("description", "")))
        elif method == "Log.entryAdded":
            entry = p.get("entry", {})
            text = entry.get("text", "")
            if entry.get("level") == "error" or ("WebGL" in text and "INVALID" in text):
                bad.append("log: " + text)
    return bad


def start(page, url, answer, navigate=True):
    if navigate:
        page.send("Page.navigate", {"url": url})
    page.wait_for("document.readyState === 'complete' && !document.getElementById('question').hidden", 60,
                  "the question is shown")
    text = page.eval("document.getElementById('question').innerText")
    check("the page asks \"Use fullscreen mode\" with Yes and No",
          "Use fullscreen mode" in text and "Yes" in text and "No" in text, text.replace("\n", " | "))
    page.screenshot("%s-question" % answer.lower())
    page.click("#yes" if answer == "Yes" else "#no")
    page.wait_for("tumblerPage.frames > 0", 60, "the game draws its first frame")

def answer_early(page, url):
    """The page's script held back as on a slow network: its answers cannot be pressed yet."""
    page.send("Fetch.enable", {"patterns": [{"urlPattern": "*tumbler_page.js*"}]})
    page.send("Page.navigate", {"url": url})
    paused = page.b.wait_event("Fetch.requestPaused", 60)
    page.wait_for("!!document.getElementById('no')", 30, "the question is there before the page's script")
    page.click("#no")
    page.b.pump(0.3)
    state = page.eval("[document.getElementById('yes').disabled, document.getElementById('no').disabled,"
                      " !document.getElementById('question').hidden]")
    check("before the page's script has run its answers cannot be pressed", state == [True, True, True], state)
    page.send("Fetch.continueRequest", {"requestId": paused["params"]["requestId"]})
    page.send("Fetch.disable")


def settle(page, seconds, frames=5):
    """Waits the time, and on until the game has drawn a few frames in it: on a loaded
    machine the page may go without frames for a while, and a picture read then is old."""
    first = page.eval("tumblerPage.frames")
    page.b.pump(seconds)
    deadline = time.time() + 10
    while page.eval("tumblerPage.frames") < first + frames and time.time() < deadline:
        page.b.pump(0.05)


def check_density(page, name, n, title=True, guess=None):
    """What the screen shows: every framebuffer pixel one block of n x n device pixels, and
    the picture is the game's. Returns the picture as seen."""
    if guess is None:
        dpr = page.eval("window.devicePixelRatio")
        shown = page.eval("tumblerPage.shown")
        guess = (round(shown["left"] * dpr), round(shown["top"] * dpr))
    mixed, at, seen = page.seen(n, guess)
    check("%s: on the screen every framebuffer pixel is one block of %d x %d device pixels" % (name, n, n),
          mixed == 0, "%d blocks of more than one colour, grid at %s" % (mixed, at))
    if title:
        check_title(seen, name, sharp=False)
    return seen


def picture_changes(a, b):
    """Framebuffer pixels of the play area that differ between two frames."""
    return sum(1 for y in range(220) for x in range(320) if a.pixel(x, y) != b.pixel(x, y))


# Viewport (CSS pixels), devicePixelRatio, and the whole multiple of 320 x 240 device pixels
# that fits: wide, tall and 4:3 spaces.
DENSITY = [(960, 720, 1, 3), (1280, 600, 1.25, 3), (960, 720, 1.5, 4), (640, 480, 2, 4), (800, 600, 2.625, 6),
           (600, 800, 3, 5)]

STAND_IN_PAD = """(() => {
  window.tumblerTestPad = {connected: true, index: 0, id: 'stand-in pad', mapping: 'standard', timestamp: 0,
    axes: [0, 0, 0, 0], buttons: Array.from({length: 17}, () => ({pressed: false, touched: false, value: 0}))};
  window.tumblerTestPadPlugged = true;
  navigator.getGamepads = () => [window.tumblerTestPadPlugged ? window.tumblerTestPad : null, null, null, null];
  return true;
})()"""


def run_density(browser, base):
    log("== density: the title at each devicePixelRatio; then a stand-in gamepad")
    page = Page(browser, 960, 720)
    start(page, base + "/index.html", "No")
    for w, h, dpr, n in DENSITY:
        name = "%d x %d at %g" % (w, h, dpr)
        frames = page.eval("tumblerPage.frames")
        page.metrics(w, h, dpr)
        page.wait_for("tumblerPage.canvas.width === %d && tumblerPage.canvas.height === %d && tumblerPage.frames > %d"
                      % (320 * n, 240 * n, frames + 2), 20, "%s: a drawing buffer of %d x %d" % (name, 320 * n, 240 * n))
        page.b.pump(0.2)
        check_density(page, name, n)
    # Too small for the picture's own size: the largest of its shape, in the middle.
    page.metrics(300, 200, 1)
    page.wait_for("tumblerPage.canvas.height === 200", 20, "300 x 200: the picture shrinks to the height")
    page.b.pump(0.2)
    box = page.eval("(() => { const r = tumblerPage.canvas.getBoundingClientRect(); return [tumblerPage.canvas.width,"
                    " tumblerPage.canvas.height, r.left, r.top, r.width, r.height]; })()")
    check("300 x 200: the largest 4:3 picture, in the middle", box == [266, 200, 17, 0, 266, 200], box)
    page.screenshot("density-tiny")

    page.metrics(960, 720, 1)
    page.wait_for("tumblerPage.canvas.width === 960", 20, "back to 960 x 720")
    page.eval(STAND_IN_PAD)
    button = lambda i, down: page.eval("tumblerTestPad.buttons[%d].pressed = %s" % (i, "true" if down else "false"))
    button(0, True)  # A
    page.b.pump(0.3)
    button(0, False)
    page.b.pump(0.7)
    level = page.picture()
    check("the stand-in pad's A leaves the title", level.count(0, 0, 320, 95, orange) <= 120)
    button(15, True)  # the d-pad's right
    page.b.pump(0.3)
    button(15, False)
    settle(page, 0.3, frames=8)
    stepped = page.picture()
    check_moved(level, stepped)
    # Let go while held, the arrow must not walk on (held, the player would cross a cell
    # every 0.2 s). All within the level's first six seconds, before the view moves on.
    for what, let_go, back in (("unplugging the pad", "tumblerTestPadPlugged = false", "tumblerTestPadPlugged = true"),
                               ("losing focus", "window.dispatchEvent(new FocusEvent('blur'))",
                                "window.dispatchEvent(new FocusEvent('focus'))")):
        button(15, True)
        page.b.pump(0.05)
        page.eval(let_go)
        settle(page, 0.4)
        stopped = page.picture()
        settle(page, 0.4)
        standing = page.picture()
        button(15, False)
        page.eval(back)
        drift = abs((standing.mean_x(cap) - standing.mean_x(gem)) - (stopped.mean_x(cap) - stopped.mean_x(gem)))
        check("%s lets the pad's held arrow go" % what, drift <= 2 and stopped.mean_x(cap) >= 0, "moved %d" % drift)


def check_hidden_tab(browser, page):
    # A hidden tab: the loop stops and the clock drops the gap; shown again, the game goes on
    # where it was, an arrow held as the tab was hidden is let go, and the sound goes on with its four blocks queued, not a burst of them.
    before = page.picture()
    page.key("ArrowRight", True)
    page.b.pump(0.05)
    other = browser.send("Target.createTarget", {"url": "about:blank"})["targetId"]  # in front of the game
    page.b.pump(0.3)
    frames = page.eval("[document.visibilityState, tumblerPage.frames]")
    page.b.pump(3)
    hidden = page.eval("tumblerPage.frames") - frames[1]
    check("a hidden tab stops the loop", frames[0] == "hidden" and hidden <= 1, "%s, %d frames" % (frames[0], hidden))
    browser.send("Target.activateTarget", {"targetId": page.target})
    browser.send("Target.closeTarget", {"targetId": other})
    queued = []
    for _ in range(10):
        page.b.pump(0.1)
        queued.append(page.eval("[tumblerAudio.sent, tumblerAudio.done, tumblerPage.frames]"))
    settle(page, 0, frames=3)
    shown = page.picture()
    settle(page, 0.5, frames=8)
    standing = page.picture()
    page.key("ArrowRight", False)
    check("shown again, the loop goes on", queued[-1][2] - queued[0][2] >= 5, "%d frames" % (queued[-1][2] - queued[0][2]))
    gem_moved = abs(shown.mean_x(gem) - before.mean_x(gem))
    check("shown again, the game is where it was: the view in place, the player in it",
          gem_moved <= 1 and before.mean_x(gem) >= 0 and shown.mean_x(cap) >= 0, "view moved %d" % gem_moved)
    drift = abs((standing.mean_x(cap) - standing.mean_x(gem)) - (shown.mean_x(cap) - shown.mean_x(gem)))
    check("the arrow held as the tab was hidden is let go", drift <= 2, "moved %d" % drift)
    most = max(sent - done for sent, done, _ in queued)
    played = queued[-1][1] - queued[0][1]
    check("the sound goes on without a burst of queued blocks", most <= 5 and played >= 5,
          "at most %d queued, %d played in 0.9 s" % (most, played))


def rect(page, selector):
    return page.eval("(() => { const r = document.querySelector(%r).getBoundingClientRect();"
                     " return [r.left, r.top, r.right, r.bottom]; })()" % selector)


def check_pad(page, name):
    """The pad's keys: thumb-sized, on the screen, outside the picture."""
    picture = page.eval("(() => { const s = tumblerPage.shown; return [s.left, s.top, s.left + s.width, s.top + s.height]; })()")
    view = page.eval("[window.innerWidth, window.innerHeight]")
    bad = []
    for key in ("pad-up", "pad-down", "pad-left", "pad-right", "pad-start", "pad-end"):
        r = rect(page, "#" + key)
        big = r[2] - r[0] >= 48 and r[3] - r[1] >= 48
        inside = r[0] >= 0 and r[1] >= 0 and r[2] <= view[0] and r[3] <= view[1]
        apart = r[2] <= picture[0] or r[0] >= picture[2] or r[3] <= picture[1] or r[1] >= picture[3]
        if not (big and inside and apart):
            bad.append("%s %s" % (key, [round(v) for v in r]))
    check("%s: the pad's keys are at least 48 CSS pixels, on the screen and outside the picture" % name, not bad,
          "; ".join(bad) or "picture %s" % [round(v) for v in picture])
    return picture


def run_phone(browser, base):
    log("== a phone: 390 x 844 at 3, touch; then turned to 844 x 390")
    page = Page(browser, 390, 844, 3, mobile=True)
    page.send("Page.navigate", {"url": base + "/index.html"})
    page.wait_for("!!document.getElementById('no') && !document.getElementById('no').disabled", 60,
                  "the question can be answered")
    check("no pad before a touch", page.eval("document.getElementById('pad').hidden"))
    page.touch_tap("#no")
    page.wait_for("tumblerPage.frames > 0", 60, "a tap on No starts the game")
    first = page.eval("tumblerPage.firstFrameAt")
    FIGURES.append("phone profile: first title frame %.0f ms after navigation" % first)
    page.b.pump(1.5)
    page.screenshot("phone-title")
    check("a touch shows the pad", not page.eval("document.getElementById('pad').hidden"))
    below = check_pad(page, "portrait")
    check("portrait: the pad is below the picture",
          rect(page, "#pad-arrows")[1] >= below[3] and rect(page, "#pad-buttons")[1] >= below[3])
    check_density(page, "phone portrait", 3)
    still = page.eval("[window.scrollX, window.scrollY, window.visualViewport.scale]")

    page.touch_picture(160, 120, 0.05)
    page.b.pump(1.0)
    level = page.picture()
    check_level(level)
    page.touch_picture(300, 120, 0.35)  # held in the right band
    settle(page, 0.3, frames=8)
    steered = page.picture()
    check_moved(level, steered)
    page.touch_tap("#pad-right", 0.35)
    settle(page, 0.3, frames=8)
    page.screenshot("phone-level")
    check_moved(steered, page.picture())

    # The browser's own gestures do nothing: a swipe, a pinch, a long press.
    x, y = page.middle("#pad")
    page.send("Input.synthesizeScrollGesture", {"x": x, "y": y + 300, "yDistance": -400, "gestureSourceType": "touch"})
    page.send("Input.synthesizePinchGesture", {"x": x, "y": y + 300, "scaleFactor": 2.5, "gestureSourceType": "touch"})
    menu = page.eval("(() => { const e = new MouseEvent('contextmenu', {bubbles: true, cancelable: true});"
                     " return !tumblerPage.canvas.dispatchEvent(e); })()")
    now = page.eval("[window.scrollX, window.scrollY, window.visualViewport.scale]")
    check("the page neither scrolls nor zooms", now == still == [0, 0, 1], "%s then %s" % (still, now))
    check("a long press brings no menu up", menu)

    frames = page.eval("tumblerPage.frames")
    page.metrics(844, 390, 3, mobile=True)
    page.wait_for("tumblerPage.canvas.width === 1280 && tumblerPage.canvas.height === 960 && tumblerPage.frames > %d"
                  % (frames + 5), 20, "turned: the game goes on, at 4 x 320 by 4 x 240")
    page.b.pump(0.3)
    page.screenshot("phone-landscape")
    beside = check_pad(page, "landscape")
    check("landscape: the arrows left of the picture, the other keys right of it",
          rect(page, "#pad-arrows")[2] <= beside[0] and rect(page, "#pad-buttons")[0] >= beside[2])
    seen = check_density(page, "phone landscape", 4, title=False)
    n = seen.count(10, 222, 170, 17, bright)
    check("phone landscape: the status line drawn at the bottom", n >= 40, n)
    n = seen.count(0, 0, 320, 220, cap)
    check("phone landscape: the player in view", n >= 4, n)

    page.touch_tap("#pad-end")
    page.b.pump(0.2)
    check("the end key asks first", not page.eval("document.getElementById('confirm-end').hidden"))
    page.touch_tap("#end-no")
    page.b.pump(0.5)
    check("No keeps the game going", not page.eval("tumblerPage.hasEnded") and
          page.eval("document.getElementById('confirm-end').hidden"))
    page.touch_tap("#pad-end")
    page.b.pump(0.2)
    page.touch_tap("#end-yes")
    page.wait_for("tumblerPage.hasEnded", 10, "Yes ends the game")


def site_files(site):
    return sorted(os.path.relpath(os.path.join(d, f), site) for d, _, fs in os.walk(site) for f in fs)


def check_size(site):
    total = sum(len(gzip.compress(open(os.path.join(site, f), "rb").read(), 9)) for f in site_files(site))
    FIGURES.append("the site: %d files, %d bytes gzip -9" % (len(site_files(site)), total))
    check("the whole site is under 100 KB gzip-compressed", total < 100 * 1000, "%d bytes" % total)


def run_offline(browser, site):
    log("== offline: a second visit with no network, a hidden tab; then a changed build")
    copy = tempfile.mkdtemp(prefix="tumbler-site-")
    shutil.copytree(site, copy, dirs_exist_ok=True)
    server = serve(copy)
    base = "http://127.0.0.1:%d" % server.server_address[1]
    try:
        page = Page(browser, 960, 720)
        page.send("Page.navigate", {"url": base + "/"})
        page.wait_for("navigator.serviceWorker.ready.then((r) => !!r.active && r.active.state === 'activated')", 60,
                      "the first visit installs the offline copy")
        cached = page.eval("caches.keys().then((k) => Promise.all(k.filter((n) => n !== 'tumbler-clients')"
                           ".map((n) => caches.open(n).then((c) => c.keys())))).then((all) => all.map((keys) => keys.length))")
        check("one cache, with every file of the site", cached == [len(site_files(site))], cached)
        manifest = page.send("Page.getAppManifest")
        errors = [e.get("message") for e in manifest.get("errors", [])]
        check("the web app manifest reads without errors", manifest.get("url", "").endswith("tumbler.webmanifest")
              and not errors, "; ".join(errors) or manifest.get("url"))
        blocking = [e.get("errorId") for e in page.send("Page.getInstallabilityErrors").get("installabilityErrors", [])]
        check("the browser can install the site as an app", not blocking, ", ".join(blocking))
        page.send("Network.enable")
        page.send("Network.emulateNetworkConditions", {"offline": True, "latency": 0, "downloadThroughput": -1,
                                                       "uploadThroughput": -1})
        start(page, base + "/", "No")
        page.b.pump(1.5)
        check_title(page.picture(), "offline", sharp=False)
        page.tap("Space")
        page.b.pump(1.0)
        check_level(page.picture())
        page.screenshot("offline-level")
        check_hidden_tab(browser, page)

        # A new build: another page and script, and the worker written again for them.
        page.send("Network.emulateNetworkConditions", {"offline": False, "latency": 0, "downloadThroughput": -1,
                                                       "uploadThroughput": -1})
        with open(os.path.join(copy, "index.html"), "a") as f:
            f.write("<!-- changed -->\n<script>window.tumblerChangedPage = true;</script>\n")
        with open(os.path.join(copy, "tumbler_page.js"), "a") as f:
            f.write("\ntumblerPage.changedScript = true;\n")
        subprocess.run(["cmake", "-DSITE=" + copy, "-DWORKER=" + os.path.join(ROOT, "src/platform_web/site/tumbler_sw.js"),
                        "-P", os.path.join(ROOT, "src/platform_web/site_version.cmake")], check=True,
                       stdout=subprocess.DEVNULL)
        page.send("Page.navigate", {"url": base + "/"})
        page.wait_for("window.tumblerChangedPage === true && typeof tumblerPage === 'object' && tumblerPage.changedScript === true", 60,
                      "the next visit picks up the changed build, its page and its script together")
        # The old version's cache goes once no window shows it (a window still loading keeps
        # it for ten seconds); a page's question for its version is one moment it is tidied.
        page.wait_for("navigator.serviceWorker.controller.postMessage('version?') ||"
                      " caches.keys().then((k) => k.filter((n) => n !== 'tumbler-clients').length === 1)", 30,
                      "the old version's cache is dropped")
        start(page, base + "/", "No", navigate=False)
        page.send("Network.disable")
    finally:
        server.shutdown()
        shutil.rmtree(copy, ignore_errors=True)


def song_samples(render_song, seconds):
    path = os.path.join(OUT, "start.wav")
    subprocess.run([render_song, "start.sqt", path, str(seconds)], check=True, stderr=subprocess.DEVNULL)
    with wave.open(path) as w:
        data = w.readframes(w.getnframes())
    return struct.unpack("<%dh" % (len(data) // 2), data)


def run_no(browser, base, render_song):
    log("== answered No: a 960 x 720 canvas")
    page = Page(browser, 960, 720)
    recorded_blocks = 48
    url = base + "/index.html?record-audio=%d" % recorded_blocks
    answer_early(page, url)
    start(page, url, "No", navigate=False)
    size = page.eval("[tumblerPage.canvas.width, tumblerPage.canvas.height, document.fullscreenElement === null]")
    check("canvas 960 x 720, not fullscreen", size == [960, 720, True], size)
    box = page.eval("(() => { const r = tumblerPage.canvas.getBoundingClientRect(); return [r.left, r.top, r.width, r.height]; })()")
    check("canvas shown at 960 x 720 filling the page", box == [0, 0, 960, 720], box)
    page.b.pump(2.5)
    page.screenshot("no-title")
    check_title(Frame(page.canvas(), 0, 0, 3), "windowed")

    scrolled = page.eval("document.scrollingElement.scrollTop + window.scrollY")
    page.tap("Space")
    page.b.pump(1.0)
    page.screenshot("no-level")
    level = Frame(page.canvas(), 0, 0, 3)
    check_level(level)
    # Focus going elsewhere just after Right went down lets it go: the player takes at most
    # the one step it started and then stands (held, it would walk on through the free
    # cells to its right, a cell every 0.2 s).
    page.key("ArrowRight", True)
    page.b.pump(0.05)
    page.eval("window.dispatchEvent(new FocusEvent('blur'))")
    settle(page, 0.8, frames=8)  # the one step takes 0.2 s; a loaded machine draws few frames a second
    stopped = Frame(page.canvas(), 0, 0, 3)
    settle(page, 0.5, frames=8)
    standing = Frame(page.canvas(), 0, 0, 3)
    page.key("ArrowRight", False)
    drift = abs((standing.mean_x(cap) - standing.mean_x(gem)) - (stopped.mean_x(cap) - stopped.mean_x(gem)))
    check("losing focus releases the held key", drift <= 2 and stopped.mean_x(cap) >= 0, "moved %d" % drift)

    page.key("ArrowRight", True)
    page.b.pump(0.3)
    page.key("ArrowRight", False)
    settle(page, 0.3, frames=8)
    page.screenshot("no-moved")
    check_moved(standing, Frame(page.canvas(), 0, 0, 3))
    check("Space and the arrows do not scroll the page",
          page.eval("document.scrollingElement.scrollTop + window.scrollY") == scrolled == 0)

    # The sound: blocks played (about 21.5 a second) and not silent; what the page sent is the
    # title song exactly, after the four silent blocks queued before the song started.
    page.wait_for("tumblerAudio.record.length >= %d" % recorded_blocks, 30, "%d blocks sent" % recorded_blocks)
    audio = page.eval("[tumblerAudio.sent, tumblerAudio.done, tumblerAudio.peak, tumblerAudio.underruns]")
    check("sound blocks played", audio[1] >= 40, "%d sent, %d played" % (audio[0], audio[1]))
    check("sound not silent", audio[2] > 1000, "peak %d" % audio[2])
    sent = struct.unpack("<%dh" % (recorded_blocks * BLOCK), base64.b64decode(page.eval("tumblerAudio.recordedBase64()")))
    check("the four blocks queued before the song are silent", not any(sent[:4 * BLOCK]))
    # The level's song replaces the title song at the key press: compare the blocks before it.
    song = song_samples(render_song, 10)
    title_blocks = 20
    compared = sent[4 * BLOCK:(4 + title_blocks) * BLOCK]
    first_diff = next((i for i, (a, b) in enumerate(zip(compared, song)) if a != b), -1)
    check("blocks 4 to %d are the title song sample for sample" % (4 + title_blocks), first_diff < 0 and
          len(compared) == title_blocks * BLOCK, "first difference at sample %d" % first_diff)

    page.tap("Escape")
    page.wait_for("tumblerPage.hasEnded", 10, "Escape ends the game")
    page.b.pump(0.3)
    text = page.eval("document.getElementById('ended').hidden ? '' : document.getElementById('ended').innerText")
    check("the page says that the game has ended and offers to start again",
          "ended" in text and "again" in text.lower(), text.replace("\n", " | "))
    page.screenshot("no-ended")


def run_yes(browser, base):
    log("== answered Yes: fullscreen on a 1280 x 720 screen")
    page = Page(browser, 1280, 720)
    start(page, base + "/index.html", "Yes")
    state = page.eval("[document.fullscreenElement === tumblerPage.canvas, tumblerPage.canvas.width, tumblerPage.canvas.height]")
    check("the canvas is the fullscreen element and fills the screen", state == [True, 1280, 720], state)
    page.b.pump(2.5)
    page.screenshot("yes-title")
    canvas = page.canvas()
    # 4:3 at the full height: 960 x 720 in the middle, black bars of 160 at both sides.
    check_title(Frame(canvas, 160, 0, 3), "fullscreen")
    f = Frame(canvas, 0, 0, 1)
    lit_left = sum(1 for y in range(720) for x in range(0, 158) if any(f.canvas_pixel(x, y)))
    lit_right = sum(1 for y in range(720) for x in range(1122, 1280) if any(f.canvas_pixel(x, y)))
    check("black bar at the left", lit_left == 0, lit_left)
    check("black bar at the right", lit_right == 0, lit_right)
    edge = sum(1 for y in range(720) if any(f.canvas_pixel(160, y))) + sum(1 for y in range(720) if any(f.canvas_pixel(1119, y)))
    check("the picture reaches the bars", edge > 300, edge)
    # A screen whose 4:3 size is no whole multiple (1024 x 768 would be 3.2 times): the
    # picture is 960 x 720 in the middle.
    page.metrics(1366, 768)
    page.wait_for("tumblerPage.canvas.width === 1366 && document.fullscreenElement === tumblerPage.canvas", 20,
                  "fullscreen on a 1366 x 768 screen")
    page.b.pump(0.5)
    check_density(page, "fullscreen 1366 x 768", 3, guess=(203, 24))
    page.metrics(1280, 720)
    page.wait_for("tumblerPage.canvas.width === 1280", 20, "back to 1280 x 720")
    page.b.pump(0.3)
    # A click on the picture leaves the title as a key does.
    page.click("#canvas")
    page.b.pump(1.0)
    page.screenshot("yes-level")
    check_level(Frame(page.canvas(), 160, 0, 3))
    page.tap("Escape")
    page.wait_for("tumblerPage.hasEnded", 10, "Escape ends the fullscreen game")
    page.screenshot("yes-ended")


def measure(browser, base, site, seconds):
    log("== figures")
    for name in ("tumbler.wasm", "tumbler.js"):
        data = open(os.path.join(site, name), "rb").read()
        print("%s: %d bytes, %d gzip -9" % (name, len(data), len(gzip.compress(data, 9))))
    page = Page(browser, 960, 720)
    start(page, base + "/index.html", "No")
    times = page.eval("[tumblerPage.answeredAt, tumblerPage.firstFrameAt, performance.timing.navigationStart,"
                      " performance.getEntriesByType('navigation')[0].domContentLoadedEventEnd]")
    print("first title frame: %.0f ms after the answer; answer %.0f ms after navigation (page loaded at %.0f ms)"
          % (times[1] - times[0], times[0], times[3]))
    page.b.pump(2)
    f0, d0, u0, t0 = page.eval("[tumblerPage.frames, tumblerAudio.done, tumblerAudio.underruns, performance.now()]")
    page.b.pump(seconds)
    f1, d1, u1, t1 = page.eval("[tumblerPage.frames, tumblerAudio.done, tumblerAudio.underruns, performance.now()]")
    span = (t1 - t0) / 1000
    print("over %.1f s: %.1f frames/s, %.2f blocks/s, %d underruns" % (span, (f1 - f0) / span, (d1 - d0) / span, u1 - u0))


def main():
    if len(sys.argv) < 3:
        print(__doc__)
        return 2
    site, render_song = os.path.abspath(sys.argv[1]), sys.argv[2]
    os.makedirs(OUT, exist_ok=True)
    server = serve(site)
    base = "http://127.0.0.1:%d" % server.server_address[1]
    browser = Browser()
    started = time.time()
    try:
        browser.send("Target.setDiscoverTargets", {"discover": False})
        if len(sys.argv) > 4 and sys.argv[3] == "--measure":
            measure(browser, base, site, float(sys.argv[4]))
        else:
            check_size(site)
            run_no(browser, base, render_song)
            run_yes(browser, base)
            run_density(browser, base)
            run_phone(browser, base)
            run_offline(browser, site)
        browser.pump(0.2)
        bad = console_failures(browser)
        for text in bad:
            print("  " + text)
        check("no console error, exception or WebGL error", not bad, "%d" % len(bad))
        for figure in FIGURES:
            print("figure: " + figure)
    except Exception as e:  # a broken page or browser fails the run, with what was seen
        check("the run completes", False, repr(e))
    finally:
        browser.close()
        server.shutdown()
    log("done in %d s, %d failure(s); screenshots in %s" % (time.time() - started, len(FAILS), OUT))
    return 1 if FAILS else 0


if __name__ == "__main__":
    sys.exit(main())
