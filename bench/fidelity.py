"""How much of a real page a saved copy shows offline: wisp against wget.

Each page is copied with the files it uses into one site, served on loopback and opened live in
headless Chromium, which records the subresources it loads. The page is then saved with
`wisp collect` and with `wget --page-requisites --convert-links --adjust-extension`; the server
is stopped and each saved copy is opened from disk with every host name unresolvable. A saved
copy satisfies, per kind of resource (style sheet, script, image, font, frame...), as many of the
live page's loads as it loaded from disk or carries inside itself (SVG sprites), at most the
live count; anything it asks of the network is counted apart. A copy without scripts (the rendered reader's snapshot) is not asked
for the live page's script, XHR and fetch loads.

The visual match is the share of the copy's screenshot pixels that match the live page's at
the same viewport, over the whole screenshot and over the pixels that carry content (those
not of the page's background colour in either). Besides the documentation pages, a generated
page of today's web (bench/modern_page.py) is measured.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time
from collections import Counter
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests" / "support"))
import devtools  # noqa: E402
from modern_page import write_modern_site  # noqa: E402

# (name, generator, folder served, page inside it)
PAGES = [
    ("sphinx", "Sphinx", "/usr/share/doc/sphinx-doc/html", "usage/quickstart.html"),
    ("pydoc", "Sphinx, pydoctheme", "/usr/share/doc/python3.11/html", "library/os.path.html"),
    ("doxygen", "Doxygen", "/usr/share/doc/doxygen/html", "starting.html"),
    ("javadoc", "javadoc", "/usr/share/doc/libcommons-lang3-java/api",
     "org/apache/commons/lang3/StringUtils.html"),
    ("haddock", "Haddock", "/usr/share/doc/libghc-split-doc/html", "Data-List-Split.html"),
    ("gtkdoc", "gtk-doc", "/usr/share/doc/libglib2.0-doc/glib", "glib-Hash-Tables.html"),
    ("docbook", "DocBook XSL", "/usr/share/doc/valgrind/html", "manual-core.html"),
    ("mathjax", "MathJax, drawn by script", "/usr/share/javascript/mathjax", "test/sample-tex.html"),
]

NO_NETWORK = "--host-resolver-rules=MAP * ~NOTFOUND, EXCLUDE 127.0.0.1"
LOCAL_SCHEMES = ("file:", "data:", "blob:", "about:", "chrome", "devtools:")


def copy_site(source, target):
    # Symbolic links (Debian shares its JavaScript libraries that way) become plain files, so
    # that the server, which keeps inside its folder, can serve them.
    # cp reports a dangling link and goes on, as a web server would answer it with a 404.
    subprocess.run(["cp", "-rL", source, str(target)], stderr=subprocess.DEVNULL)


def timed(command, env):
    start = time.monotonic()
    subprocess.run(command, env=env, capture_output=True)
    return time.monotonic() - start


def browser_alone(url, work):
    """Seconds the browser `wisp collect` renders with takes, alone, to start in a fresh
    profile, load `url` in the same window and hand over its document."""
    shell = Path("/usr/lib/chromium/chromium-headless-shell")
    program = ([str(shell), "--single-process", "--disable-font-subpixel-positioning"]
               if shell.exists() else ["chromium", "--headless=new"])
    profile = tempfile.mkdtemp(dir=work)
    sandbox = ["--no-sandbox"] if os.getuid() == 0 else []
    return timed([*program, *sandbox, "--incognito", f"--user-data-dir={profile}",
                  "--window-size=1280,900", "--dump-dom", url], os.environ)


def record_loads(url, screenshot):
    """Opens `url` and returns, for its subresources, (loads by kind, failed count, network
    requests, failed addresses, the kind of each address loaded)."""
    with devtools.Browser(extra_args=[NO_NETWORK, "--window-size=1280,900"]) as browser:
        page = browser.open_page()
        # The viewport `wisp collect` reads pages in, so what scripts sized to it compares.
        page.send("Emulation.setDeviceMetricsOverride",
                  {"width": 1280, "height": 900, "deviceScaleFactor": 1, "mobile": False})
        page.send("Network.enable")
        page.send("Network.setCacheDisabled", {"cacheDisabled": True})
        try:
            page.navigate(url, timeout=60)
        except devtools.DevToolsError as error:
            print(f"  {url}: {error}", file=sys.stderr)
        browser.drain(quiet=1.5, limit=15)
        page.screenshot(screenshot)
        requests, status, finished, failed = {}, {}, set(), set()
        for event in browser.events:
            method, params = event.get("method"), event.get("params", {})
            if method == "Network.requestWillBeSent":
                requests[params["requestId"]] = (params["request"]["url"], params.get("type"))
            elif method == "Network.responseReceived":
                status[params["requestId"]] = params["response"].get("status", 200)
            elif method == "Network.loadingFinished":
                finished.add(params["requestId"])
            elif method == "Network.loadingFailed":
                failed.add(params["requestId"])
    loaded, seen_loaded, broken, network, failed_urls = Counter(), {}, 0, set(), set()
    for request_id, (request_url, kind) in requests.items():
        if request_url.split("#")[0] == url.split("#")[0] or request_url.startswith("data:"):
            continue
        if url.startswith("file:") and not request_url.startswith(LOCAL_SCHEMES):
            network.add(request_url)
            continue
        ok = request_id in finished and request_id not in failed and status.get(request_id, 200) < 400
        if ok and request_url not in seen_loaded:
            seen_loaded[request_url] = kind
            loaded[kind] += 1
        elif not ok:
            broken += 1
            failed_urls.add(request_url)
    return loaded, broken, network, failed_urls, seen_loaded


def carried_inline(live_urls, site, copy_text):
    """The live page's SVG loads (sprites of <use>) whose symbols the copy holds inside itself,
    by kind."""
    inline = Counter()
    for url, kind in live_urls.items():
        path = site / url.split("/", 3)[-1].split("#")[0].split("?")[0]
        if not url.endswith(".svg") or not path.is_file():
            continue
        text = path.read_text(errors="replace")
        start, end = text.find(">", text.find("<svg")) + 1, text.rfind("</svg")
        content = text[start:end].strip()[:200]
        if content and content in copy_text:
            inline[kind] += 1
    return inline


def satisfied(live, saved):
    return sum(min(count, saved.get(kind, 0)) for kind, count in live.items())


SCRIPT_LOADS = ("Script", "XHR", "Fetch")

# Compares two screenshots in a page: (matching pixels, pixels, matching content pixels,
# content pixels). The background is the live screenshot's commonest colour; a pixel matches
# when no channel differs by more than 8.
COMPARE = """(async (live, copy) => {
  const read = async (data) => {
    const image = new Image();
    image.src = 'data:image/png;base64,' + data;
    await image.decode();
    const canvas = new OffscreenCanvas(image.width, image.height);
    const context = canvas.getContext('2d');
    context.drawImage(image, 0, 0);
    return context.getImageData(0, 0, image.width, image.height).data;
  };
  const [a, b] = [await read(live), await read(copy)];
  const counts = new Map();
  for (let i = 0; i < a.length; i += 4) {
    const key = (a[i] << 16) | (a[i + 1] << 8) | a[i + 2];
    counts.set(key, (counts.get(key) || 0) + 1);
  }
  const background = [...counts.entries()].sort((x, y) => y[1] - x[1])[0][0];
  const isBackground = (p, i) => ((p[i] << 16) | (p[i + 1] << 8) | p[i + 2]) === background;
  let same = 0, content = 0, sameContent = 0;
  const length = Math.min(a.length, b.length);
  for (let i = 0; i < length; i += 4) {
    const match = Math.abs(a[i] - b[i]) <= 8 && Math.abs(a[i + 1] - b[i + 1]) <= 8 &&
        Math.abs(a[i + 2] - b[i + 2]) <= 8;
    same += match;
    if (!isBackground(a, i) || !isBackground(b, i)) {
      content += 1;
      sameContent += match;
    }
  }
  return [same, Math.max(a.length, b.length) / 4, sameContent, content];
})"""


def visual_match(browser, live_png, copy_png):
    """(whole share, content share) of the copy's screenshot that matches the live one's."""
    import base64
    import json
    encoded = [base64.b64encode(Path(p).read_bytes()).decode() for p in (live_png, copy_png)]
    page = browser.open_page()
    same, total, same_content, content = page.evaluate(
        f"{COMPARE}({json.dumps(encoded[0])}, {json.dumps(encoded[1])})", timeout=120)
    browser.send("Target.closeTarget", {"targetId": page.target})
    return same / total, (same_content / content if content else 1.0)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--wisp", required=True)
    parser.add_argument("--server", required=True)
    parser.add_argument("--out", required=True, help="folder for the screenshots")
    parser.add_argument("--latency-ms", default="20",
                        help="the server's wait before each answer, as a network would have")
    parser.add_argument("--wisp-args", default="", help="extra arguments for wisp collect")
    parser.add_argument("--only", nargs="*", help="page names to measure (all by default)")
    options = parser.parse_args()

    out = Path(options.out)
    out.mkdir(parents=True, exist_ok=True)
    work = Path(tempfile.mkdtemp(prefix="wisp-fidelity-"))
    write_modern_site(work / "modern")
    pages = [p for p in PAGES + [("modern", "generated", str(work / "modern"), "index.html")]
             if (Path(p[2]) / p[3]).is_file() and (not options.only or p[0] in options.only)]
    for missing in [p for p in PAGES if not (Path(p[2]) / p[3]).is_file()]:
        print(f"skipped {missing[0]}: {missing[2]}/{missing[3]} is not installed", file=sys.stderr)
    try:
        site = work / "site"
        site.mkdir()
        for name, _, folder, _ in pages:
            copy_site(folder, site / name)
        server = subprocess.Popen([options.server, str(site), "--latency-ms", options.latency_ms],
                                  stdin=subprocess.PIPE,
                                  stdout=subprocess.PIPE, text=True)
        port = server.stdout.readline().strip()
        env = dict(os.environ, WISP_USER_SETTINGS_DIR=str(work / "settings"),
                   WISP_MACHINE_SETTINGS_DIR=str(work / "settings"))
        rows = []
        for name, generator, _, page in pages:
            url = f"http://127.0.0.1:{port}/{name}/{page}"
            live = record_loads(url, out / f"{name}-live.png")

            book = work / "library" / name
            book.mkdir(parents=True)
            start = time.monotonic()
            collected = subprocess.run(
                [options.wisp, "collect", url, "--root", str(work / "library"), "--book", name,
                 "--quiet", *options.wisp_args.split()],
                env=env, capture_output=True, text=True)
            wisp_seconds = time.monotonic() - start
            saved_pages = sorted(book.glob("*.htm"))
            wisp_copy = saved_pages[0] if collected.returncode == 0 and saved_pages else None
            if wisp_copy is None:
                print(f"  wisp refused {url}: {collected.stderr.strip()}", file=sys.stderr)

            wget_folder = work / "wget" / name
            start = time.monotonic()
            subprocess.run(["wget", "-q", "--page-requisites", "--convert-links",
                            "--adjust-extension", "-e", "robots=off", "-P", str(wget_folder), url],
                           capture_output=True)
            wget_seconds = time.monotonic() - start
            wget_copies = sorted(wget_folder.glob(f"*/{name}/{page}*"))
            rows.append([name, generator, live, wisp_copy, wisp_seconds,
                         wget_copies[0] if wget_copies else None, wget_seconds])
        urls = [f"http://127.0.0.1:{port}/{name}/{page}" for name, _, _, page in pages]
        browser_seconds = sum(browser_alone(url, work) for url in urls)
        batch = {}
        (work / "library" / "all").mkdir()
        batch["wisp"] = timed([options.wisp, "collect", *urls, "--root", str(work / "library"),
                               "--book", "all", "--quiet", *options.wisp_args.split()], env)
        batch["wget"] = timed(["wget", "-q", "--page-requisites", "--convert-links",
                               "--adjust-extension", "-e", "robots=off", "-P",
                               str(work / "wget-all"), *urls], env)
        server.stdin.close()
        server.wait(timeout=10)

        print(f"{'page':<9} {'generator':<20} {'live':>5} {'wisp':>12} {'wget':>12}"
              f" {'wisp seen':>14} {'wget seen':>14} {'wisp net':>9} {'wget net':>9}")
        scores = {tool: {"loads": [], "whole": [], "content": []} for tool in ("wisp", "wget")}
        times = {"wisp": 0.0, "wget": 0.0}
        with devtools.Browser() as comparer:
            for name, generator, live, wisp_copy, wisp_seconds, wget_copy, wget_seconds in rows:
                live_loaded, live_broken, _, live_failed, live_urls = live
                cells, seen, nets = [], [], []
                for tool, copy, seconds in (("wisp", wisp_copy, wisp_seconds),
                                            ("wget", wget_copy, wget_seconds)):
                    times[tool] += seconds
                    if copy is None:
                        for score in scores[tool].values():
                            score.append(0.0)
                        cells.append("refused")
                        seen.append("-")
                        nets.append("-")
                        continue
                    asked = live_loaded
                    copy_text = copy.read_text(errors="replace")
                    if "<script" not in copy_text.lower():
                        asked = Counter({k: c for k, c in live_loaded.items()
                                         if k not in SCRIPT_LOADS})
                    total = sum(asked.values())
                    shot = out / f"{name}-{tool}.png"
                    loaded, _, network, _, _ = record_loads(copy.as_uri(), shot)
                    loaded += carried_inline(live_urls, site, copy_text)
                    # What the live page could not load either keeps its address in the copy.
                    network -= live_failed
                    got = satisfied(asked, loaded)
                    share = got / total if total else 1.0
                    whole, content = visual_match(comparer, out / f"{name}-live.png", shot)
                    scores[tool]["loads"].append(share)
                    scores[tool]["whole"].append(whole)
                    scores[tool]["content"].append(content)
                    cells.append(f"{got}/{total} {share:4.0%}")
                    seen.append(f"{whole:4.0%} {content:4.0%}")
                    nets.append(str(len(network)))
                    short = {k: c - loaded.get(k, 0) for k, c in asked.items()
                             if c > loaded.get(k, 0)}
                    if short:
                        print(f"  {name} {tool} loads fewer than live: {short}", file=sys.stderr)
                    for request in sorted(network)[:5]:
                        print(f"  {name} {tool} asks the network for {request}", file=sys.stderr)
                print(f"{name:<9} {generator:<20} {sum(live_loaded.values()):>5} {cells[0]:>12}"
                      f" {cells[1]:>12} {seen[0]:>14} {seen[1]:>14} {nets[0]:>9} {nets[1]:>9}")

        def summary(values):
            return f"mean {sum(values) / len(values):.1%} (minimum {min(values):.1%})"
        for tool in ("wisp", "wget"):
            print(f"{tool}: loads satisfied {summary(scores[tool]['loads'])}, visual match "
                  f"{summary(scores[tool]['whole'])}, over content "
                  f"{summary(scores[tool]['content'])}, wall time {times[tool]:.2f} s")
        print("targets for wisp: loads 99% (95%), visual 98% (95%), over content 95% (85%), "
              "no request to the network")
        print(f"wall time wisp/wget: {times['wisp'] / times['wget']:.2f}, wisp/the browser alone "
              f"({browser_seconds:.2f} s, each page in a browser of its own): "
              f"{times['wisp'] / browser_seconds:.2f}")
        print(f"one command for all pages: wisp {batch['wisp']:.2f} s, wget {batch['wget']:.2f} s,"
              f" wisp/wget {batch['wisp'] / batch['wget']:.2f}")
        print(f"screenshots: {out}")
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
