#!/usr/bin/env python3
"""The level editor in the browser and shared levels, end to end in headless Chromium (the
helpers of web_play.py).

"Make a level", then No: the editor runs in the page with its bar; keys put a start and a
dirt cell, a finger on the picture draws one more, the on-screen pad's arrow and start key a
last one; Save keeps the level in localStorage, the unsaved change keeps the draft there,
and a reload brings both back into the editor. Share says to save first while there are
unsaved changes; once saved, it copies the link (the clipboard stubbed in the page), and
where the clipboard refuses, the link stands selected in a text field. The link opened in a
fresh page, answered No, plays that level after the title (its dirt cells where they were
drawn); the same link with one character changed says one line and the normal game starts.
Screenshots: test-output/web/editor-*.png.

Usage: web_editor.py SITE_DIR
"""
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import web_play  # noqa: E402
from web_play import Browser, Page, check, log  # noqa: E402

OUT = web_play.OUT
CELL = 32  # a cell on the screen, in the editor as in play
KEYS = {"ArrowRight": ("ArrowRight", 39), "ArrowDown": ("ArrowDown", 40), "Digit2": ("2", 50),
        "Digit7": ("7", 55), "Space": (" ", 32), "KeyS": ("s", 83)}
# The level the run makes: the editor's new level with a start and three dirt cells.
ROWS = ["WWWWWWWWWW", "WSX      W", "W        W", "W   XX   W", "W        W", "W        W", "WWWWWWWWWW"]
SAVED = ROWS[:3] + ["W   X    W"] + ROWS[4:]
DIRT = {(2, 1), (4, 3), (5, 3)}


def level_text(rows):
    return "\r\n".join(rows) + "\r\n0"


def tap(page, code):
    key, vk = KEYS[code]
    for kind in ("keyDown", "keyUp"):
        params = {"type": kind, "code": code, "key": key, "windowsVirtualKeyCode": vk}
        if kind == "keyDown" and len(key) == 1:
            params["text"] = key
        page.send("Input.dispatchKeyEvent", params)
        page.b.pump(0.06)
    page.b.pump(0.06)


def stored(page, key):
    return page.eval("localStorage.getItem(%r)" % key)


def brown(r, g, b):
    return r > 80 and r > g > b and r - b > 40


def dirt_cells(frame):
    """The cells of the room shown that are dirt: brown over most of their inner 24 x 24
    pixels (the screen's mask darkens them by where they are, so no one colour is exact)."""
    return {(x, y) for y in range(7) for x in range(10)
            if frame.count(x * CELL + 4, y * CELL + 4, 24, 24, brown) > 24 * 24 * 0.6}


def open_editor(page, url, fresh=True):
    if fresh:
        page.send("Page.navigate", {"url": url})
    else:
        page.send("Page.reload", {"ignoreCache": False})
    page.wait_for("document.readyState === 'complete' && !document.getElementById('no').disabled", 60,
                  "the question can be answered")
    page.touch_tap("#make")  # a touch first: the pad is there from the start
    title = page.eval("document.getElementById('question-title').textContent")
    check("Make a level keeps the question, Yes and No", title == "Make a level: select display mode" and
          page.eval("!document.getElementById('yes').hidden && !document.getElementById('no').hidden"), title)
    page.screenshot("editor-question")
    page.touch_tap("#no")
    page.wait_for("tumblerPage.frames > 10 && !document.getElementById('bar').hidden", 60,
                  "the editor runs, with its bar above the picture")
    web_play.settle(page, 0.5)


def make_and_keep(page, base):
    log("== Make a level: keys, a finger and the pad draw; Save keeps it in the browser")
    open_editor(page, base + "/index.html")
    shown = page.eval("[tumblerPage.shown.top, tumblerPage.canvas.width]")
    check("the picture is below the bar, a whole multiple", shown[0] >= 56 and shown[1] % 320 == 0, shown)
    for code in ("ArrowRight", "ArrowDown", "Digit7", "Space", "ArrowRight", "Digit2", "Space"):
        tap(page, code)
    page.touch_picture(4 * CELL + 16, 3 * CELL + 16, 0.15)  # the dirt, by finger
    page.b.pump(0.3)
    page.click("#bar-save")
    page.wait_for("localStorage.getItem('tumbler-level') !== null", 10, "Save: the level is in localStorage")
    level = stored(page, "tumbler-level")
    check("... the level as drawn", level == level_text(SAVED), repr(level))
    page.touch_tap("#pad-right", 0.1)  # the cursor was left at the finger's cell
    page.b.pump(0.2)
    page.touch_tap("#pad-start", 0.1)
    page.wait_for("localStorage.getItem('tumbler-level-draft') !== null", 10,
                  "an unsaved change: the editor's draft is in localStorage")
    draft = stored(page, "tumbler-level-draft")
    check("... with the pad's cell", draft == level_text(ROWS), repr(draft))
    web_play.settle(page, 0.3)
    page.screenshot("editor-drawn")
    picture = page.picture()
    check("the room shows the dirt where it was drawn", dirt_cells(picture) == DIRT,
          sorted(dirt_cells(picture)))

    log("== a reload brings the level and its draft back")
    open_editor(page, None, fresh=False)
    files = page.eval("[tumblerLevel.read('/level/level.txt'), tumblerLevel.read('/level/level.draft')]")
    check("the level and the draft are back in the editor's files",
          files == [level_text(SAVED), level_text(ROWS)], files)
    picture = page.picture()
    check("the editor shows the draft: dirt in all three cells", dirt_cells(picture) == DIRT,
          sorted(dirt_cells(picture)))


def share(page):
    log("== Share")
    page.eval("window.copied = []; Object.defineProperty(navigator, 'clipboard', {configurable: true, value: "
              "{writeText: (t) => { copied.push(t); return Promise.reject(new Error('refused')); }}}); true")
    page.click("#bar-share")
    page.b.pump(0.2)
    note = page.eval("document.getElementById('bar-note').textContent")
    check("unsaved changes: Share says to save first", "save it first" in note and
          page.eval("document.getElementById('share').hidden"), note)
    page.click("#bar-save")
    page.wait_for("localStorage.getItem('tumbler-level-draft') === null && "
                  "localStorage.getItem('tumbler-level') === %r" % level_text(ROWS), 10,
                  "saved: the level in localStorage, the draft gone")
    page.click("#bar-share")
    page.wait_for("copied.length === 1 && document.getElementById('share-text').textContent === 'Copy the link:'", 10,
                  "the clipboard refused: the box asks to copy the link")
    state = page.eval("(() => { const f = document.getElementById('share-link'); return [f.value, "
                      "document.activeElement === f, f.selectionStart, f.selectionEnd, "
                      "document.getElementById('share-size').textContent]; })()")
    link = state[0]
    code = link.split("#level=")[-1]
    check("... the link stands selected in the field", state[1] and state[2] == 0 and state[3] == len(link), state)
    check("the link is the page's address with #level=CODE", link.startswith(page.eval("location.href.split('#')[0]"))
          and code.startswith("1") and copied_ok(page, link), link)
    check("the box says the code's length", state[4] == "The level's code is %d characters." % len(code), state[4])
    web_play.FIGURES.append("a one-room level with a start and three dirt cells: a code of %d characters" % len(code))
    page.screenshot("editor-share")
    page.click("#share-close")
    page.eval("Object.defineProperty(navigator, 'clipboard', {configurable: true, value: "
              "{writeText: (t) => { copied.push(t); return Promise.resolve(); }}}); true")
    page.click("#bar-share")
    page.wait_for("copied.length === 2 && document.getElementById('share-text').textContent === 'The link is copied.'",
                  10, "the clipboard takes the link")
    check("... the same link", page.eval("copied[1]") == link)
    return link


def copied_ok(page, link):
    return page.eval("copied[0]") == link


def linked(browser, link):
    log("== the link in a fresh page plays that level")
    page = Page(browser, 960, 720)
    web_play.start(page, link, "No")
    note = page.eval("document.getElementById('level-note').textContent")
    check("the page has read the link's level", page.eval("tumblerLevel.linked") and "linked level" in note, note)
    page.b.pump(1.0)
    page.tap("Space")
    web_play.settle(page, 1.0)
    picture = page.picture()
    page.screenshot("editor-linked-level")
    web_play.check_level(picture)
    check("the level played is the linked one: its dirt cells", dirt_cells(picture) == DIRT,
          sorted(dirt_cells(picture)))

    log("== a damaged link: one line, then the normal game")
    at = link.index("#level=") + 12
    damaged = link[:at] + ("A" if link[at] != "A" else "B") + link[at + 1:]
    page.send("Page.navigate", {"url": "about:blank"})
    page.b.pump(0.2)
    page.send("Page.navigate", {"url": damaged})
    page.wait_for("document.readyState === 'complete' && !document.getElementById('level-note').hidden", 60,
                  "the page answers the damaged link")
    note = page.eval("document.getElementById('level-note').textContent")
    check("one line: this link's level cannot be read", note.startswith("This link's level cannot be read: ")
          and "\n" not in note, note)
    page.screenshot("editor-damaged-link")
    web_play.start(page, damaged, "No", navigate=False)
    page.b.pump(1.0)
    page.tap("Space")
    web_play.settle(page, 1.0)
    picture = page.picture()
    web_play.check_level(picture)
    check("the normal game: the first level, not the linked one", not page.eval("tumblerLevel.linked") and
          dirt_cells(picture) != DIRT)


def no_storage(browser, base):
    log("== a browser that keeps nothing: one line, and the editor runs")
    page = Page(browser, 1280, 800)
    page.send("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 5})
    page.send("Page.addScriptToEvaluateOnNewDocument", {"source":
              "Object.defineProperty(window, 'localStorage', {get() { throw new DOMException('refused', "
              "'SecurityError'); }});"})
    open_editor(page, base + "/index.html")
    note = page.eval("document.getElementById('bar-note').textContent")
    check("one line says the browser keeps no drafts", note.startswith("This browser keeps no drafts (SecurityError)"),
          note)
    for code in ("ArrowRight", "ArrowDown", "Digit7", "Space"):  # a start: the level can be saved
        tap(page, code)
    page.click("#bar-save")
    page.wait_for("tumblerLevel.read('/level/level.txt') !== null && !tumblerPage.hasEnded", 10,
                  "... and the editor goes on: Save writes the level in the page")
    page.screenshot("editor-no-storage")


def main():
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    os.makedirs(OUT, exist_ok=True)
    server = web_play.serve(os.path.abspath(sys.argv[1]))
    base = "http://127.0.0.1:%d" % server.server_address[1]
    browser = Browser()
    started = time.time()
    try:
        browser.send("Target.setDiscoverTargets", {"discover": False})
        page = Page(browser, 1280, 800)
        page.send("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 5})
        make_and_keep(page, base)
        link = share(page)
        linked(browser, link)
        no_storage(browser, base)
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
    for figure in web_play.FIGURES:
        log(figure)
    log("done in %d s, %d failure(s); files in %s" % (time.time() - started, len(web_play.FAILS), OUT))
    return 1 if web_play.FAILS else 0


if __name__ == "__main__":
    sys.exit(main())
