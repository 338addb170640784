#!/usr/bin/env python3
"""The browser page in headless Chromium: its load time from disk, and the time from dropping
BRIEF.TXT and a generated 32 MiB realistic document to the document shown (target: at most
3 s for the large one), with the tab's memory (resident size of the renderer processes).
Medians of RUNS runs.

    bench/web_page.py [RUNS]     (after cmake --build --preset web and the native build)
"""
import os
import statistics
import subprocess
import sys
import time

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(root, "tests", "web"))
from chromium_pipe import Chromium  # noqa: E402

runs = int(sys.argv[1]) if len(sys.argv) > 1 else 5
page = os.path.join(root, "build", "web", "brevikon-reader.html")
work = os.path.join(root, "build", "bench", "web")
os.makedirs(work, exist_ok=True)
large = os.path.join(root, "build", "bench", "realistic-32m.doc")
if not os.path.exists(large):
    subprocess.run([os.path.join(root, "build", "native", "tools", "make-samples"), "--kind",
                    "realistic", "--size", "33554432", large], check=True, capture_output=True)


def renderer_kib(browser_pid):
    """Resident KiB of the renderer processes below the browser."""
    total = 0
    for pid in os.listdir("/proc"):
        if not pid.isdigit():
            continue
        try:
            command = open(f"/proc/{pid}/cmdline", "rb").read()
            if b"--type=renderer" not in command:
                continue
            for line in open(f"/proc/{pid}/status"):
                if line.startswith("VmRSS:"):
                    total += int(line.split()[1])
        except OSError:
            pass
    return total


loads, small, big, complete, memory = [], [], [], [], []
for _ in range(runs):
    browser = Chromium(os.path.join(work, "profile"))
    try:
        browser.attach_page()
        browser.send("Page.enable")
        browser.send("Runtime.enable")
        for document, times in ((None, loads), (os.path.join(root, "samples", "BRIEF.TXT"), small),
                                (large, big)):
            start = time.monotonic()
            if document is None:
                browser.send("Page.navigate", {"url": "file://" + page})
                browser.wait_for("Page.loadEventFired")
            else:
                name = os.path.basename(document)
                data = {"items": [], "files": [document], "dragOperationsMask": 1}
                for kind in ("dragEnter", "dragOver", "drop"):
                    browser.send("Input.dispatchDragEvent",
                                 {"type": kind, "x": 500, "y": 400, "data": data})
            wanted = ("document.body.dataset.ready === 'true'" if document is None else
                      f"document.title === {name + ' - Brevikon Reader'!r}")
            deadline = time.monotonic() + 60
            while browser.evaluate(wanted) is not True:
                if time.monotonic() > deadline:
                    raise TimeoutError(f"not shown: {document}")
                time.sleep(0.005)
            # Shown: the page has laid out and painted what it holds.
            browser.evaluate("new Promise(r => requestAnimationFrame(() => requestAnimationFrame(r)))")
            times.append(time.monotonic() - start)
        # The rest of the large document goes in while the page stays responsive.
        while browser.evaluate("document.body.dataset.shown") != "complete":
            time.sleep(0.01)
        complete.append(time.monotonic() - start)
        memory.append(renderer_kib(browser.process.pid))
    finally:
        browser.close()

cpu = next((l.split(":", 1)[1].strip() for l in open("/proc/cpuinfo") if l.startswith("model name")),
           "?")
print(f"machine: {os.cpu_count()} cores, {cpu}; headless Chromium; median of {runs} runs")
print(f"page loaded from disk:          {statistics.median(loads) * 1000:8.1f} ms "
      f"({os.path.getsize(page)} bytes)")
print(f"BRIEF.TXT, drop to shown:       {statistics.median(small) * 1000:8.1f} ms")
print(f"32 MiB document, drop to shown: {statistics.median(big) * 1000:8.1f} ms (target <= 3000 ms)")
print(f"  ... its last paragraph put in: {statistics.median(complete) * 1000:8.1f} ms")
print(f"tab's renderer memory after it: {statistics.median(memory) / 1024:8.1f} MiB")
