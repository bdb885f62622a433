#!/usr/bin/env python3
"""The browser game end to end in headless Chromium, driven through the DevTools protocol.

Answered No (a 960 x 720 canvas): the title screen's pixels, a key into level 0, the player
stepping right, the sound blocks played and not silent and, sample for sample, the title song
as render_song makes it; Escape ends the game and the page says so. Answered Yes: the canvas
fills the fullscreen element with the picture at 4:3 between black bars. Any console error,
uncaught exception or WebGL error fails the run. Screenshots: test-output/web/.

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


def log(text):
    print("[%s] %s" % (time.strftime("%H:%M:%S"), text), flush=True)


def check(what, ok, detail=""):
    print(("ok: " if ok else "FAIL: ") + what + (" (%s)" % detail if detail else ""), flush=True)
    if not ok:
        FAILS.append(what)
    return ok


# --- the site, served as any static host would --------------------------------------------

class QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = dict(http.server.SimpleHTTPRequestHandler.extensions_map, **{".wasm": "application/wasm"})

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

    def pump(self, seconds):
        """Takes the events that arrive within the time."""
        deadline = time.time() + seconds
        try:
            while True:
                self.events.append(self._read_message(deadline))
        except TimeoutError:
            pass


class Page:
    def __init__(self, browser, width, height):
        self.b = browser
        target = browser.send("Target.createTarget", {"url": "about:blank"})["targetId"]
        self.session = browser.send("Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]
        for domain in ("Runtime.enable", "Log.enable", "Page.enable"):
            self.send(domain)
        self.send("Emulation.setDeviceMetricsOverride", {"width": width, "height": height, "deviceScaleFactor": 1,
                                                         "mobile": False, "screenWidth": width,
                                                         "screenHeight": height})

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
            if self.eval(expression):
                return check(what, True)
            self.b.pump(0.1)
        return check(what, False, "not within %d s" % seconds)

    def click(self, selector):
        box = self.eval("(() => { const r = document.querySelector(%r).getBoundingClientRect();"
                        " return [r.left + r.width / 2, r.top + r.height / 2]; })()" % selector)
        for kind in ("mousePressed", "mouseReleased"):
            self.send("Input.dispatchMouseEvent", {"type": kind, "x": box[0], "y": box[1], "button": "left",
                                                   "clickCount": 1})

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


def check_title(f, name):
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


def start(page, url, answer):
    page.send("Page.navigate", {"url": url})
    page.wait_for("document.readyState === 'complete' && !document.getElementById('question').hidden", 60,
                  "the question is shown")
    text = page.eval("document.getElementById('question').innerText")
    check("the page asks \"Use fullscreen mode\" with Yes and No",
          "Use fullscreen mode" in text and "Yes" in text and "No" in text, text.replace("\n", " | "))
    page.screenshot("%s-question" % answer.lower())
    page.click("#yes" if answer == "Yes" else "#no")
    page.wait_for("tumblerPage.frames > 0", 60, "the game draws its first frame")


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
    start(page, base + "/index.html?record-audio=%d" % recorded_blocks, "No")
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
    page.b.pump(0.8)  # the one step takes 0.2 s; a loaded machine draws few frames a second
    stopped = Frame(page.canvas(), 0, 0, 3)
    page.b.pump(0.5)
    standing = Frame(page.canvas(), 0, 0, 3)
    page.key("ArrowRight", False)
    drift = abs((standing.mean_x(cap) - standing.mean_x(gem)) - (stopped.mean_x(cap) - stopped.mean_x(gem)))
    check("losing focus releases the held key", drift <= 2 and stopped.mean_x(cap) >= 0, "moved %d" % drift)

    page.key("ArrowRight", True)
    page.b.pump(0.3)
    page.key("ArrowRight", False)
    page.b.pump(0.3)
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
            run_no(browser, base, render_song)
            run_yes(browser, base)
        browser.pump(0.2)
        bad = console_failures(browser)
        for text in bad:
            print("  " + text)
        check("no console error, exception or WebGL error", not bad, "%d" % len(bad))
    except Exception as e:  # a broken page or browser fails the run, with what was seen
        check("the run completes", False, repr(e))
    finally:
        browser.close()
        server.shutdown()
    log("done in %d s, %d failure(s); screenshots in %s" % (time.time() - started, len(FAILS), OUT))
    return 1 if FAILS else 0


if __name__ == "__main__":
    sys.exit(main())
