#!/usr/bin/env python3
"""Drives the request page in headless Chromium as a singer's phone would:
types a name and search words, presses "Request" on the first song found and
waits for the page to say what happened. Talks to the browser over its
DevTools pipe (file descriptors 3 and 4, messages ended by a NUL byte), so it
needs nothing beyond Python's standard library.

usage: page_smoke.py CHROMIUM URL SINGER WORDS PROFILE_DIR
Prints the page's status line; exit status 0 when it starts with "Queued for".
"""
import json
import os
import subprocess
import sys
import time


class Browser:
    def __init__(self, chromium, profile):
        to_browser_read, self.to_browser = os.pipe()
        self.from_browser, from_browser_write = os.pipe()
        # The browser reads commands on fd 3 and writes answers on fd 4.
        def arrange():
            # Moved out of the way first: either end may already be 3 or 4.
            read_end, write_end = os.dup(to_browser_read), os.dup(from_browser_write)
            os.dup2(read_end, 3)
            os.dup2(write_end, 4)
            os.set_inheritable(3, True)
            os.set_inheritable(4, True)
        self.process = subprocess.Popen(
            [chromium, "--headless=new", "--no-sandbox", "--disable-gpu", "--no-first-run",
             "--remote-debugging-pipe", "--user-data-dir=" + profile, "about:blank"],
            preexec_fn=arrange, close_fds=False,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(to_browser_read)
        os.close(from_browser_write)
        self.buffer = b""
        self.next_id = 0

    def call(self, method, params=None, session=None, timeout=20):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        os.write(self.to_browser, json.dumps(message).encode() + b"\0")
        deadline = time.time() + timeout
        while time.time() < deadline:
            while b"\0" not in self.buffer:
                chunk = os.read(self.from_browser, 65536)
                if not chunk:
                    raise RuntimeError("the browser closed its pipe")
                self.buffer += chunk
            raw, self.buffer = self.buffer.split(b"\0", 1)
            answer = json.loads(raw)
            if answer.get("id") == self.next_id:
                if "error" in answer:
                    raise RuntimeError(method + ": " + json.dumps(answer["error"]))
                return answer.get("result", {})
        raise RuntimeError(method + " had no answer")

    def close(self):
        try:
            self.call("Browser.close", timeout=5)
        except Exception:
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()


def main():
    chromium, url, singer, words, profile = sys.argv[1:6]
    browser = Browser(chromium, profile)
    try:
        target = browser.call("Target.createTarget", {"url": "about:blank"})["targetId"]
        session = browser.call("Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]
        browser.call("Page.navigate", {"url": url}, session)

        def evaluate(expression):
            result = browser.call("Runtime.evaluate", {"expression": expression, "returnByValue": True,
                                                       "awaitPromise": True}, session)
            return result.get("result", {}).get("value")

        def wait_for(expression, seconds=15):
            deadline = time.time() + seconds
            while time.time() < deadline:
                value = evaluate(expression)
                if value:
                    return value
                time.sleep(0.1)
            return None

        if not wait_for("document.readyState === 'complete' && !!document.getElementById('words')", 30):
            print("the page did not load")
            return 1
        evaluate("""(() => {
            const name = document.getElementById('name');
            name.value = %s; name.dispatchEvent(new Event('change'));
            document.getElementById('words').value = %s;
            document.getElementById('search').click();
        })()""" % (json.dumps(singer), json.dumps(words)))
        if not wait_for("document.querySelectorAll('#results button').length > 0", 30):
            print("no song was found: " + str(evaluate("document.getElementById('status').textContent")))
            return 1
        evaluate("document.querySelector('#results button').click()")
        status = wait_for("""(() => { const t = document.getElementById('status').textContent;
                                      return t.startsWith('Queued') || t.includes('fail') ? t : ''; })()""", 30)
        print(status or "no answer to the request")
        # The host takes the song on its next turn of events; the page asks
        # again until its list shows it.
        queued = wait_for("refreshQueue().then(() => document.querySelectorAll('#queue li').length > 0)", 20)
        print("queue: " + str(evaluate("Array.from(document.querySelectorAll('#queue li')).map(l => l.textContent).join(' | ')") if queued else ""))
        return 0 if status and status.startswith("Queued for") else 1
    finally:
        browser.close()


if __name__ == "__main__":
    sys.exit(main())
