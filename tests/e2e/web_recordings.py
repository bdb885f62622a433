#!/usr/bin/env python3
"""Recordings in the browser game, end to end in headless Chromium (the helpers of web_play.py).

A session played in the page is saved with its "Save recording" button and played on Linux
by play_recording, frame for frame; a recording made on Linux (a level replay recorded by
render_frame, and any given on the command line) plays in the page from ?play=URL frame for
frame, the page showing the playback's closing line; a bad recording chosen in the question
box gets one line on the page, which then starts a game again.

Usage: web_recordings.py SITE_DIR BUILD_DIR [NATIVE.rec...]
  BUILD_DIR: the Linux build holding tools/play_recording and tools/render_frame.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import web_play  # noqa: E402
from web_play import Browser, Page, check, log  # noqa: E402

ROOT = web_play.ROOT
OUT = web_play.OUT


def frames_of(path):
    with open(path, "rb") as f:
        return sum(1 for line in f if line.startswith(b"f "))


def recorded_in_the_page(browser, base, player):
    log("== a session recorded in the page, played on Linux")
    downloads = tempfile.mkdtemp(prefix="tumbler-downloads-")
    browser.send("Browser.setDownloadBehavior", {"behavior": "allow", "downloadPath": downloads})
    page = Page(browser, 960, 720)
    web_play.start(page, base + "/index.html", "No")
    page.b.pump(1.5)
    page.tap("Space")
    page.b.pump(1.0)
    page.key("ArrowRight", True)
    page.b.pump(0.5)
    page.key("ArrowRight", False)
    page.click("#canvas")  # a click in the picture: the mouse samples are recorded too
    page.b.pump(0.5)
    page.tap("Escape")
    page.wait_for("tumblerPage.hasEnded", 10, "Escape ends the game")
    check("the page offers to save the recording",
          page.eval("!document.getElementById('rec-save').hidden && tumblerRecording.status === 0"))
    page.click("#rec-save")
    saved = None
    deadline = time.time() + 20
    while time.time() < deadline and not saved:
        page.b.pump(0.2)
        done = [n for n in os.listdir(downloads) if n.endswith(".rec")]
        saved = os.path.join(downloads, done[0]) if done else None
    if not check("the recording is saved as a .rec file", saved is not None):
        return
    kept = os.path.join(OUT, "browser-made.rec")
    shutil.copy(saved, kept)
    shutil.rmtree(downloads, ignore_errors=True)
    frames = frames_of(kept)
    check("the saved recording holds the session", frames > 30, "%d frames" % frames)
    played = subprocess.run([player, kept], capture_output=True, text=True, timeout=600)
    check("play_recording plays it frame for frame: exit status 0", played.returncode == 0,
          (played.stdout + played.stderr).strip().replace("\n", " | "))
    check("... all %d frames as recorded" % frames, ": %d frames, all as recorded" % frames in played.stdout,
          played.stdout.strip().replace("\n", " | "))


def played_in_the_page(browser, base, name, want_status):
    frames = frames_of(os.path.join(OUT, "site", name))
    log("== %s, made on Linux (%d frames), played in the page" % (name, frames))
    page = Page(browser, 960, 720)
    web_play.start(page, base + "/index.html?play=" + name, "No")
    page.wait_for("tumblerPage.hasEnded", 300, "the playback of %s ends" % name)
    result = page.eval("[tumblerRecording.status, tumblerRecording.result,"
                       " document.getElementById('rec-result').innerText]")
    want = ("played %s: %d frames, all as recorded" % (name, frames) if want_status == 0 else
            "%s ends after frame %d without its end line: played %d frames as recorded" % (name, frames, frames))
    check("status %d: \"%s\"" % (want_status, want), result[0] == want_status and result[1] == "tumbler: " + want,
          result[:2])
    check("the page shows the playback's line", result[2] == want, result[2])
    page.screenshot("recording-%s-ended" % re.sub(r"\W", "_", name))


def bad_one_chosen(browser, base):
    log("== a bad recording chosen in the question box")
    page = Page(browser, 960, 720)
    page.send("Page.navigate", {"url": base + "/index.html"})
    page.wait_for("document.readyState === 'complete' && !document.getElementById('question').hidden", 60,
                  "the question is shown")
    bad = os.path.join(OUT, "bad one.rec")
    with open(bad, "w") as f:
        f.write("tumbler-recording 1\ngame 1.2.0\nlevels 0123456789abcdef\nt 0\nt 0\n")
    chooser = page.send("Runtime.evaluate", {"expression": "document.getElementById('rec-file')"})["result"]
    page.send("DOM.setFileInputFiles", {"files": [bad], "objectId": chooser["objectId"]})
    page.wait_for("tumblerPage.hasEnded", 30, "the page answers the chosen file")
    text = page.eval("document.getElementById('ended').hidden ? '' : document.getElementById('ended').innerText")
    want = "bad_one.rec is not a good recording: line 5: the same reading twice"
    check("one clear line on the page", "cannot be played" in text and want in text, text.replace("\n", " | "))
    page.screenshot("recording-bad-refused")
    page.click("#again")
    page.wait_for("document.readyState === 'complete' && !document.getElementById('question').hidden", 60,
                  "Play again asks the question again")
    page.click("#no")
    page.wait_for("tumblerPage.frames > 0", 60, "and a game starts")


def main():
    if len(sys.argv) < 3:
        print(__doc__)
        return 2
    site, build = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    player = os.path.join(build, "tools", "play_recording", "play_recording")
    os.makedirs(OUT, exist_ok=True)
    # The site as a static host serves it, with the recordings to play beside the page.
    served = os.path.join(OUT, "site")
    shutil.rmtree(served, ignore_errors=True)
    shutil.copytree(site, served)
    native = [("level0_win.rec", 0)]
    made = subprocess.run([os.path.join(build, "tools", "render_frame", "render_frame"),
                           os.path.join(ROOT, "tests", "replays", "level0_win.txt"), "--record",
                           os.path.join(served, "level0_win.rec")], capture_output=True, text=True)
    if made.returncode != 0:
        print(made.stderr)
        return 1
    for extra in sys.argv[3:]:
        name = os.path.basename(extra)
        shutil.copy(extra, os.path.join(served, name))
        with open(extra, "rb") as f:
            native.append((name, 0 if b"\nend " in f.read() else 3))
    server = web_play.serve(served)
    base = "http://127.0.0.1:%d" % server.server_address[1]
    browser = Browser()
    started = time.time()
    try:
        browser.send("Target.setDiscoverTargets", {"discover": False})
        recorded_in_the_page(browser, base, player)
        for name, status in native:
            played_in_the_page(browser, base, name, status)
        bad_one_chosen(browser, base)
        browser.pump(0.2)
        bad = web_play.console_failures(browser)
        for text in bad:
            print("  " + text)
        check("no console error, exception or WebGL error", not bad, "%d" % len(bad))
    except Exception as e:  # a broken page or browser fails the run, with what was seen
        check("the run completes", False, repr(e))
    finally:
        browser.close()
        server.shutdown()
    log("done in %d s, %d failure(s); files in %s" % (time.time() - started, len(web_play.FAILS), OUT))
    return 1 if web_play.FAILS else 0


if __name__ == "__main__":
    sys.exit(main())
