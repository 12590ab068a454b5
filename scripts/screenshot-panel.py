#!/usr/bin/env python3
"""Writes docs/images/panel.png: the browser extension's panel beside a sample library, in
headless Chromium with a private profile (after `scripts/build.sh native`)."""
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import time

TOP = pathlib.Path(__file__).resolve().parent.parent
sys.path.insert(0, str(TOP / "tests" / "support"))
import devtools  # noqa: E402

ORIGIN = "chrome-extension://eejfpckjpiofhlghggacgoibjogbgljp"
PAGES = {
    "Travel/Europe/Rome in spring.htm": "Rome",
    "Travel/Europe/The Forum at dawn.htm": "Forum",
    "Travel/Europe/Italy/Trains and timetables.htm": "Trains",
    "Travel/Asia/Kyoto temples.htm": "Kyoto",
    "Travel/Packing list.htm": "Packing",
    "Garden/Roses.htm": "Roses",
}


def main():
    wisp = str(TOP / "build" / "native" / "wisp")
    temp = tempfile.mkdtemp(prefix="wisp-panel-")
    try:
        env = dict(os.environ, WISP_USER_SETTINGS_DIR=temp + "/settings",
                   WISP_MACHINE_SETTINGS_DIR=temp + "/machine", HOME=temp + "/home",
                   XDG_CONFIG_HOME=temp + "/config", XDG_DATA_HOME=temp + "/data")
        library = pathlib.Path(temp) / "My eBooks"
        for path, text in PAGES.items():
            page = library / path
            page.parent.mkdir(parents=True, exist_ok=True)
            page.write_text(f"<html><body>{text}</body></html>")
            page.with_suffix(".files").mkdir()
        for args in (["root", str(library)], ["use", "Travel"], ["browser-install", "--chromium"]):
            subprocess.run([wisp, *args], env=env, check=True, stdout=subprocess.DEVNULL)
        extension = str(TOP / "extension")
        with devtools.Browser(extra_args=["--load-extension=" + extension,
                                          "--disable-extensions-except=" + extension],
                              profile=temp + "/config/chromium", env=env) as browser:
            page = browser.open_page()
            page.send("Emulation.setDeviceMetricsOverride",
                      {"width": 320, "height": 440, "deviceScaleFactor": 1, "mobile": False})
            page.navigate(ORIGIN + "/panel.html")
            deadline = time.monotonic() + 20
            while not page.evaluate("typeof wispPanel === 'object'"):
                if time.monotonic() > deadline:
                    raise devtools.DevToolsError("the panel did not start")
                time.sleep(0.1)
            page.evaluate("""wispPanel.ready.then(async () => {
                const tree = wispPanel.tree;
                await tree.expand(tree.find('Europe'));
                await tree.expand(tree.find('Europe/Italy'));
                tree.select(tree.find('Europe/Rome in spring.htm'));
                return 1;
            })""")
            page.screenshot(str(TOP / "docs" / "images" / "panel.png"))
    finally:
        shutil.rmtree(temp, ignore_errors=True)


if __name__ == "__main__":
    main()
