"""A small DevTools-protocol client for headless Chromium over --remote-debugging-pipe.

The browser reads commands on its fd 3 and writes replies and events on its fd 4, each a JSON
message ended by a NUL byte. Every wait here is bounded, and the browser (with its whole
process group) is ended when the client closes, also after a failure.
"""

import json
import os
import select
import shutil
import signal
import subprocess
import tempfile
import time

CHROMIUM_CANDIDATES = ("/usr/lib/chromium/chromium", "/usr/bin/chromium")


def find_chromium():
    for path in CHROMIUM_CANDIDATES:
        if os.access(path, os.X_OK):
            return path
    return None


class DevToolsError(Exception):
    pass


class DevToolsTimeout(DevToolsError):
    pass


class Browser:
    """One headless Chromium with a private profile; use it in a `with` block."""

    def __init__(self, extra_args=(), profile=None, env=None):
        binary = find_chromium()
        if binary is None:
            raise DevToolsError("chromium is not installed")
        self._own_profile = profile is None
        self.profile = profile or tempfile.mkdtemp(prefix="wisp-chromium-")
        to_browser_read, self._to_browser = os.pipe()
        self._from_browser, from_browser_write = os.pipe()
        # The browser expects its ends on fd 3 and fd 4.
        def place_pipes():
            # Copied high first, so that a pipe already on fd 3 or 4 is not overwritten.
            reader, writer = os.dup(to_browser_read), os.dup(from_browser_write)
            os.dup2(reader, 3)
            os.dup2(writer, 4)
            os.setsid()

        args = [
            binary,
            "--headless=new",
            "--remote-debugging-pipe",
            "--no-sandbox",
            "--no-first-run",
            "--no-default-browser-check",
            "--disable-gpu",
            "--disable-dev-shm-usage",
            "--user-data-dir=" + self.profile,
            *extra_args,
        ]
        self.process = subprocess.Popen(
            args,
            preexec_fn=place_pipes,
            pass_fds=(3, 4),
            stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL,
            env=env,
        )
        os.close(to_browser_read)
        os.close(from_browser_write)
        self._buffer = b""
        self._next_id = 0
        self.events = []

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def close(self):
        if self.process.poll() is None:
            try:
                os.killpg(self.process.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        self.process.wait(timeout=10)
        for fd in (self._to_browser, self._from_browser):
            try:
                os.close(fd)
            except OSError:
                pass
        if self._own_profile:
            shutil.rmtree(self.profile, ignore_errors=True)

    def _read_message(self, deadline):
        while b"\0" not in self._buffer:
            left = deadline - time.monotonic()
            if left <= 0:
                raise DevToolsTimeout("the browser did not answer in time")
            ready, _, _ = select.select([self._from_browser], [], [], left)
            if not ready:
                continue
            chunk = os.read(self._from_browser, 1 << 16)
            if not chunk:
                raise DevToolsError("the browser closed its pipe")
            self._buffer += chunk
        message, self._buffer = self._buffer.split(b"\0", 1)
        return json.loads(message)

    def send(self, method, params=None, session=None, timeout=30):
        """Sends one command and returns its result; events met meanwhile are kept."""
        self._next_id += 1
        message = {"id": self._next_id, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        os.write(self._to_browser, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + timeout
        while True:
            reply = self._read_message(deadline)
            if reply.get("id") == self._next_id:
                if "error" in reply:
                    raise DevToolsError(f"{method}: {reply['error'].get('message')}")
                return reply.get("result", {})
            self.events.append(reply)

    def wait_event(self, method, session=None, timeout=30):
        """Returns the first event of that method (kept or coming)."""
        deadline = time.monotonic() + timeout
        while True:
            for index, event in enumerate(self.events):
                if event.get("method") == method and session in (None, event.get("sessionId")):
                    return self.events.pop(index)["params"]
            self.events.append(self._read_message(deadline))

    def drain(self, quiet=1.0, limit=10.0):
        """Keeps the events that arrive until none came for `quiet` seconds or `limit` passed."""
        end = time.monotonic() + limit
        while True:
            now = time.monotonic()
            if now >= end:
                return
            try:
                self.events.append(self._read_message(min(end, now + quiet)))
            except DevToolsTimeout:
                return

    def evaluate(self, session, expression, gesture=False, timeout=30):
        """Evaluates a JavaScript expression (awaiting a promise) in a session; its value."""
        reply = self.send("Runtime.evaluate", {
            "expression": expression, "returnByValue": True, "awaitPromise": True,
            "userGesture": gesture}, session=session, timeout=timeout)
        if "exceptionDetails" in reply:
            details = reply["exceptionDetails"]
            text = details.get("exception", {}).get("description") or details.get("text")
            raise DevToolsError(f"script failed: {text}")
        return reply["result"].get("value")

    def open_page(self, url="about:blank"):
        """Opens a tab and returns a Page bound to its session."""
        target = self.send("Target.createTarget", {"url": "about:blank"})["targetId"]
        session = self.send("Target.attachToTarget", {"targetId": target, "flatten": True})[
            "sessionId"
        ]
        page = Page(self, target, session)
        page.send("Page.enable")
        page.send("Runtime.enable")
        if url != "about:blank":
            page.navigate(url)
        return page


class Page:
    def __init__(self, browser, target, session):
        self.browser = browser
        self.target = target
        self.session = session

    def send(self, method, params=None, timeout=30):
        return self.browser.send(method, params, session=self.session, timeout=timeout)

    def navigate(self, url, timeout=30):
        self.browser.events = [
            e for e in self.browser.events if e.get("method") != "Page.loadEventFired"
        ]
        reply = self.send("Page.navigate", {"url": url}, timeout=timeout)
        if reply.get("errorText"):
            raise DevToolsError(f"cannot open {url}: {reply['errorText']}")
        self.browser.wait_event("Page.loadEventFired", session=self.session, timeout=timeout)

    def evaluate(self, expression, timeout=30):
        return self.browser.evaluate(self.session, expression, timeout=timeout)

    def screenshot(self, path):
        import base64

        data = self.send("Page.captureScreenshot", {"format": "png"})["data"]
        with open(path, "wb") as out:
            out.write(base64.b64decode(data))
