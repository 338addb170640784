#!/usr/bin/env python3
"""The browser page in Chromium, headless, opened from file:// (chromium_pipe.py drives it):

- every sample and 30 generated documents, opened by a simulated drop and by the file
  chooser in turn: the text shown is the text of --to text, and every download is, byte for
  byte, what brevikon-rtf writes for that form and font mode (the RTF of the analysis view
  is the report's RTF, as the viewer saves it);
- zoom steps and bounds (buttons, Ctrl+wheel, keys), the font switch, the analysis view and
  back, the status texts and the title;
- an empty file and one of 33,554,433 bytes: the viewer's messages, the document before
  them stays;
- every control reachable by Tab, each with a name;
- no request of any kind after the page has loaded, no error on the console.

Screenshots of the document view, the analysis view and a refusal are kept in WORK.

    check_page.py PAGE BREVIKON_RTF MAKE_SAMPLES WORK
"""
import glob
import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from chromium_pipe import Chromium  # noqa: E402

page, converter, make_samples, work = (os.path.abspath(a) for a in sys.argv[1:5])
failures = []


def fail(message):
    failures.append(message)
    print("FAIL:", message, flush=True)


def converted(document, form, proportional):
    command = [converter, "-q", "--to", form, "-o", "-", document]
    if proportional:
        command.insert(1, "-p")
    return subprocess.run(command, check=True, capture_output=True).stdout


def expected_view_text(document):
    """--to text as a selection of the page copies it: a page break is a line end, and the
    last line end is not part of the selection."""
    text = converted(document, "text", False).decode("utf-8")
    text = text.replace("\n\f", "\n").replace("\f", "\n")
    return text[:-1] if text.endswith("\n") else text


shutil.rmtree(work, ignore_errors=True)
inputs = os.path.join(work, "in")
downloads = os.path.join(work, "downloads")
os.makedirs(inputs)
os.makedirs(downloads)
subprocess.run([make_samples, "--samples", os.path.join(work, "samples")], check=True,
               capture_output=True)
documents = sorted(glob.glob(os.path.join(work, "samples", "*.DOC")) +
                   glob.glob(os.path.join(work, "samples", "*.TXT")))
for number in range(30):
    kind = ("realistic", "attributes", "plain")[number % 3]
    path = os.path.join(inputs, f"GEN{number:02d}.DOC")
    subprocess.run([make_samples, "--kind", kind, "--size", str(4096 + 1500 * number), path],
                   check=True, capture_output=True)
    documents.append(path)
empty = os.path.join(inputs, "LEER.DOC")
open(empty, "wb").close()
too_large = os.path.join(inputs, "GROSS.DOC")
with open(too_large, "wb") as out:
    out.truncate(33554433)

browser = Chromium(os.path.join(work, "profile"))
try:
    browser.attach_page()
    for domain in ("Page", "Runtime", "Log", "DOM"):
        browser.send(domain + ".enable")
    browser.send("Browser.setDownloadBehavior",
                 {"behavior": "allowAndName", "downloadPath": downloads, "eventsEnabled": True},
                 session=False)
    requests = []

    def load():
        """The page afresh, as a double-click opens it. A tab lets a page start only so many
        downloads one after another, so each document gets a fresh page."""
        started = time.monotonic()
        browser.send("Network.disable")
        browser.send("Page.navigate", {"url": "file://" + os.path.abspath(page)})
        browser.wait_for("Page.loadEventFired")
        deadline = time.monotonic() + 20
        while browser.evaluate("document.body.dataset.ready") != "true":
            if time.monotonic() > deadline:
                raise TimeoutError("the page never became ready")
            time.sleep(0.02)
        # From here on, any request is one too many.
        requests.extend(e["params"]["request"]["url"] for e in browser.events
                        if e.get("method") == "Network.requestWillBeSent")
        browser.events = [e for e in browser.events
                          if not e.get("method", "").startswith("Network.")]
        browser.send("Network.enable")
        return time.monotonic() - started

    print(f"page ready {load():.2f} s after navigating", flush=True)

    def value(expression):
        return browser.evaluate(expression)

    def status():
        return (value("document.getElementById('status-file').textContent"),
                value("document.getElementById('status-zoom').textContent"))

    def click(selector):
        browser.evaluate(f"document.querySelector({selector!r}).click()", gesture=True)

    def shown_text():
        settle(lambda: value("document.body.dataset.shown") == "complete", "shown completely")
        return value("""(() => {
            const view = document.getElementById('document').shadowRoot.querySelector('.page');
            const selection = getSelection();
            selection.selectAllChildren(view);
            const text = selection.toString();
            selection.removeAllRanges();
            return text;
        })()""")

    def open_by_chooser(path):
        root = browser.send("DOM.getDocument")["root"]["nodeId"]
        node = browser.send("DOM.querySelector", {"nodeId": root, "selector": "#file"})["nodeId"]
        browser.send("DOM.setFileInputFiles", {"files": [path], "nodeId": node})

    def open_by_drop(path):
        data = {"items": [], "files": [path], "dragOperationsMask": 1}
        for kind in ("dragEnter", "dragOver", "drop"):
            browser.send("Input.dispatchDragEvent", {"type": kind, "x": 500, "y": 400, "data": data})

    def settle(test, what, timeout=20):
        deadline = time.monotonic() + timeout
        while not test():
            if time.monotonic() > deadline:
                fail(f"{what}: not within {timeout} s")
                return False
            time.sleep(0.02)
        return True

    def press(selector):
        """A real click of the mouse on the control, as a user gives it."""
        box = value(f"(() => {{ const r = document.querySelector({selector!r})"
                    ".getBoundingClientRect(); return [r.x + r.width / 2, r.y + r.height / 2]; })()")
        for kind in ("mousePressed", "mouseReleased"):
            browser.send("Input.dispatchMouseEvent", {"type": kind, "x": box[0], "y": box[1],
                                                      "button": "left", "clickCount": 1})

    def download(button):
        press(button)
        begun = browser.wait_for("Browser.downloadWillBegin")
        browser.wait_for("Browser.downloadProgress",
                         lambda p: p["guid"] == begun["guid"] and p["state"] == "completed")
        path = os.path.join(downloads, begun["guid"])
        with open(path, "rb") as data:
            content = data.read()
        os.remove(path)
        return begun["suggestedFilename"], content

    timings = []
    for number, document in enumerate(documents):
        name = os.path.basename(document)
        stem = os.path.splitext(name)[0]
        # Opened by a drop and by the file chooser, each on a fresh page.
        opened = True
        for how in (open_by_drop, open_by_chooser):
            load()
            begin = time.monotonic()
            how(document)
            if not settle(lambda: value("document.title") == name + " - Brevikon Reader",
                          f"{name}: opened by {how.__name__}"):
                opened = False
                break
            timings.append((name, time.monotonic() - begin))
            if shown_text() != expected_view_text(document):
                fail(f"{name}: the text shown after {how.__name__} is not --to text")
        if not opened:
            continue
        # Samples in both font modes and every form; generated documents in one mode each.
        modes = (0, 1) if number < 5 else (number % 2,)
        for proportional in modes:
            click(f"input[name=font][value='{proportional}']")
            for button, form in (("#save-rtf", "rtf"), ("#save-text", "text"),
                                 ("#save-html", "html"), ("#save-report", "report")):
                suggested, content = download(button)
                if content != converted(document, form, proportional):
                    fail(f"{name}: {form} ({'proportional' if proportional else 'monospace'}) "
                         f"differs from brevikon-rtf's")
                extension = {"rtf": ".rtf", "text": ".utf8.txt", "html": ".html",
                             "report": ".report.txt"}[form]
                if suggested != stem + extension:
                    fail(f"{name}: {form} saved as {suggested}")
        click("input[name=font][value='0']")
        if number < 5:
            click("#analysis-toggle")
            if status()[0] != name + "   -   Strukturanalyse":
                fail(f"{name}: analysis status {status()[0]!r}")
            report = converted(document, "report", False).decode("utf-8")
            if value("document.getElementById('analysis').textContent") != report:
                fail(f"{name}: the analysis shown is not --to report")
            if download("#save-rtf")[1] != converted(document, "report-rtf", False):
                fail(f"{name}: the analysis view's RTF is not the report's RTF")
            if name == "BRIEF.TXT":
                browser.screenshot(os.path.join(work, "analysis-view.png"))
            click("#analysis-toggle")
        if name == "BRIEF.TXT":
            browser.screenshot(os.path.join(work, "document-view.png"))

    # The last document stays while refused files come and go.
    kept = status()[0], value("document.title")
    for path, message in ((empty, "Die Datei ist leer."),
                          (too_large, "Die Datei ist groesser als 32 MB und wird nicht geladen.")):
        open_by_drop(path)
        if settle(lambda: not value("document.getElementById('message').hidden"),
                  f"{os.path.basename(path)}: message"):
            shown = value("document.getElementById('message-text').textContent")
            if shown != message:
                fail(f"{os.path.basename(path)}: message {shown!r}")
            if path == too_large:
                browser.screenshot(os.path.join(work, "refusal.png"))
            click("#message-ok")
        if (status()[0], value("document.title")) != kept:
            fail(f"{os.path.basename(path)}: the document before it did not stay")

    # Zoom: steps of 10 between 40 and 400, by buttons, Ctrl+wheel and keys.
    click("#zoom-reset")
    for _ in range(40):
        click("#zoom-in")
    if status()[1] != "Zoom 400 %":
        fail(f"zoom stops at {status()[1]!r}, not 400")
    for _ in range(40):
        click("#zoom-out")
    if status()[1] != "Zoom 40 %":
        fail(f"zoom stops at {status()[1]!r}, not 40")
    click("#zoom-reset")
    browser.send("Input.dispatchMouseEvent", {"type": "mouseWheel", "x": 500, "y": 400,
                                              "deltaX": 0, "deltaY": -100, "modifiers": 2})
    settle(lambda: status()[1] == "Zoom 110 %", "Ctrl+wheel up gives 110 %")
    for key, code, expected in (("-", "Minus", "Zoom 100 %"), ("-", "Minus", "Zoom 90 %"),
                                ("0", "Digit0", "Zoom 100 %")):
        for kind in ("keyDown", "keyUp"):
            browser.send("Input.dispatchKeyEvent", {"type": kind, "key": key, "code": code,
                                                    "modifiers": 2})
        settle(lambda: status()[1] == expected, f"Ctrl+{key} gives {expected}")
    zoomed = value("document.getElementById('document').shadowRoot"
                   ".querySelector('.page').style.zoom")
    if zoomed != "1":
        fail(f"the document's zoom is {zoomed!r} at 100 %")

    # The font switch: the same text, the face of the HTML form's rules.
    for mode, face in (("1", "Times New Roman"), ("0", "Courier New")):
        click(f"input[name=font][value='{mode}']")
        family = value("getComputedStyle(document.getElementById('document').shadowRoot"
                       ".querySelector('.page')).fontFamily")
        if not family.startswith(f'"{face}"'):
            fail(f"font mode {mode} shows {family!r}, not {face}")

    # Keyboard: Tab reaches every control, each with a name.
    reached = set()
    for _ in range(40):
        for kind in ("keyDown", "keyUp"):
            browser.send("Input.dispatchKeyEvent", {"type": kind, "key": "Tab", "code": "Tab",
                                                    "windowsVirtualKeyCode": 9})
        # A group of radio buttons is one stop; the arrow keys move within it.
        reached.add(value("document.activeElement.type === 'radio' ? document.activeElement.name"
                          " : document.activeElement.id"))
    controls = value("[...new Set([...document.querySelectorAll("
                     "'header button, header input:not([hidden])')]"
                     ".map(e => e.type === 'radio' ? e.name : e.id))]")
    missing = [c for c in controls if c not in reached]
    if missing:
        fail(f"not reached by Tab: {missing}")
    unnamed = value("""[...document.querySelectorAll('button, input')].filter(e => !(
        e.getAttribute('aria-label') || e.textContent.trim() || (e.labels && e.labels.length)))
        .map(e => e.id)""")
    if unnamed:
        fail(f"controls without a name: {unnamed}")

    browser.pump(0.5)
    requests += [e["params"]["request"]["url"] for e in browser.events
                 if e.get("method") == "Network.requestWillBeSent"]
    if requests:
        fail(f"{len(requests)} requests after loading, the first {requests[0][:80]}")
    errors = [e for e in browser.events
              if (e.get("method") == "Runtime.consoleAPICalled" and e["params"]["type"] == "error")
              or e.get("method") == "Runtime.exceptionThrown"
              or (e.get("method") == "Log.entryAdded" and e["params"]["entry"]["level"] == "error")]
    if errors:
        fail(f"{len(errors)} errors on the console, the first {str(errors[0])[:300]}")
    slowest = max(timings, key=lambda t: t[1])
    print(f"{len(documents)} documents opened; slowest from drop to shown: {slowest[0]} "
          f"{slowest[1]:.3f} s", flush=True)
finally:
    browser.close()

print(f"browser page: {len(failures)} failures (screenshots in {work})")
sys.exit(1 if failures else 0)
