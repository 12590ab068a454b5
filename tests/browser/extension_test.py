#!/usr/bin/env python3
"""The browser extension end to end in headless Chromium: pages of a loopback site saved
through the context-menu handlers into a temporary library by `wisp native-host`, then the
panel's toolbar and tree commands, the side panel itself, and a restarted service worker.
The browser runs in Google Chrome's profile folder, where `wisp browser-install` finds it and
writes the host manifest; CTest passes the installed command and extension.

usage: extension_test.py WISP_BINARY EXAMPLE_SERVER EXTENSION_FOLDER
Exits 77 (skipped) when Chromium is not installed.
"""
import base64
import hashlib
import http.server
import json
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import devtools  # noqa: E402

EXTENSION_ID = "eejfpckjpiofhlghggacgoibjogbgljp"
ORIGIN = f"chrome-extension://{EXTENSION_ID}"
# A 1x1 PNG.
PIXEL = base64.b64decode(
    "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8BQDwAEhQGAhKmMIQAAAABJRU5ErkJggg==")

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED:", what, flush=True)


def wait_for(test, what, timeout=20):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = test()
        if value:
            return value
        time.sleep(0.1)
    raise devtools.DevToolsError("timed out waiting for " + what)


def read(path):
    with open(path, encoding="utf-8", errors="replace") as file:
        return file.read()


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as file:
        file.write(data if isinstance(data, bytes) else data.encode())


class Server:
    def __init__(self, binary, folder):
        # It serves until its input closes.
        self.process = subprocess.Popen([binary, folder], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, text=True)
        self.port = int(self.process.stdout.readline())

    def stop(self):
        self.process.kill()
        self.process.wait(timeout=10)


class SessionServer:
    """Serves one picture, only to a request that carries the reader's session cookie."""

    def __init__(self):
        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                allowed = "session=reader" in (self.headers.get("Cookie") or "")
                self.send_response(200 if allowed else 403)
                self.send_header("Content-Type", "image/png")
                self.end_headers()
                self.wfile.write(PIXEL if allowed else b"")

            def log_message(self, *args):
                pass
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.port = self.server.server_address[1]
        threading.Thread(target=self.server.serve_forever, daemon=True).start()

    def stop(self):
        self.server.shutdown()


def attach(browser, target_id):
    return browser.send("Target.attachToTarget", {"targetId": target_id, "flatten": True})[
        "sessionId"]


def find_target(browser, kind, url_part, timeout=20):
    def found():
        for target in browser.send("Target.getTargets")["targetInfos"]:
            if target["type"] == kind and url_part in target["url"]:
                return target
        return None
    return wait_for(found, f"a {kind} at {url_part}", timeout)


def worker_session(browser):
    session = attach(browser, find_target(browser, "service_worker", ORIGIN)["targetId"])
    # The worker's target is listed before its script has run.
    wait_for(lambda: browser.evaluate(session, "typeof wisp === 'object'"), "the worker")
    return session


def save_through_form(browser, worker, tab_id, menu_item, title, fields=""):
    """Runs the menu's handler as a click would, fills the save form and presses OK; returns
    the form's preset title and what its confirmation showed, then closes it."""
    browser.evaluate(worker, f"wisp.saveFromMenu('{menu_item}', {{id: {tab_id}}}).then(() => 1)")
    target = find_target(browser, "page", ORIGIN + "/save.html")["targetId"]
    form = attach(browser, target)
    wait_for(lambda: browser.evaluate(form, """{ const title = document.getElementById('title');
        !!title && title.value !== '' && document.getElementById('books').options.length > 0 }"""),
             "the save form")
    preset = browser.evaluate(form, "document.getElementById('title').value")
    browser.evaluate(form, f"""
        document.getElementById('title').value = {title!r};
        {fields}
        document.getElementById("ok").click(); 1""")
    wait_for(lambda: browser.evaluate(form, "!document.getElementById('saved').hidden"),
             "the confirmation of " + title)
    shown = browser.evaluate(form, """({
        what: document.getElementById('saved-what').textContent,
        file: document.getElementById('saved-file').textContent,
        warnings: Array.from(document.querySelectorAll('#saved-warnings-list li'),
                             (item) => item.textContent),
        formHidden: getComputedStyle(document.getElementById('save-form')).display === 'none'})""")
    browser.evaluate(form, "document.getElementById('close').click(); 1")
    wait_for(lambda: not any(t["targetId"] == target
                             for t in browser.send("Target.getTargets")["targetInfos"]),
             "the closed form")
    return preset, shown


def panel_ready(browser, panel):
    wait_for(lambda: browser.evaluate(panel, "typeof wispPanel === 'object'"), "the panel")
    browser.evaluate(panel, "wispPanel.ready.then(() => 1)")


def panel_tree(browser, panel):
    return browser.evaluate(panel, """
        Array.from(document.querySelectorAll('#tree li'), (item) => item.dataset.path)""")


def click(browser, panel, element_id):
    browser.evaluate(panel, f"document.getElementById('{element_id}').click(); 1")


def wait_in_tree(browser, panel, path, what, present=True):
    wait_for(lambda: (path in panel_tree(browser, panel)) == present, what)


BOX = "document.querySelector('dialog.box[open]:not(#manager)')"


def dialog_text(browser, panel):
    return browser.evaluate(panel, f"""{{ const box = {BOX};
        box ? box.querySelector('h2').textContent + ': ' + box.querySelector('p').textContent : null }}""")


def answer_dialog(browser, panel, text=None, button=0):
    wait_for(lambda: dialog_text(browser, panel), "a box in the panel")
    browser.evaluate(panel, f"""{{ const box = {BOX}, input = box.querySelector('input');
        if (input && {text!r} !== null) input.value = {text!r};
        box.querySelectorAll('.buttons button')[{button}].click(); 1 }}""")


def name_in_place(browser, panel, text):
    wait_for(lambda: browser.evaluate(panel, "!!document.querySelector('.label-edit')"),
             "a name being edited")
    browser.evaluate(panel, f"""{{ const input = document.querySelector('.label-edit');
        input.value = {text!r}; input.dispatchEvent(new KeyboardEvent('keydown', {{key: 'Enter'}})); 1 }}""")


def item_command(browser, panel, path, command):
    browser.evaluate(panel, f"""wispPanel.tree.find({path!r}).querySelector('.label')
        .dispatchEvent(new MouseEvent('contextmenu', {{bubbles: true}}));
        document.querySelector('[data-command="{command}"]').click(); 1""")


def saved(path):
    wait_for(lambda: os.path.exists(path), path)
    return read(path)


def scenario(wisp, temp, browser, sites):
    library = os.path.join(temp, "lib")
    book = os.path.join(library, "Travel")
    site, far = sites
    worker = worker_session(browser)

    # The page as the reader sees it: its script has run, a picture shown in the reader's
    # session (the host fetches it again with the reader's cookie).
    browser.send("Storage.setCookies", {"cookies": [
        {"name": "session", "value": "reader", "domain": "127.0.0.1", "path": "/"}]})
    page = browser.open_page(f"http://127.0.0.1:{site.port}/rome.html")
    tab_id = browser.evaluate(worker, f"""chrome.tabs.query({{}}).then((tabs) =>
        tabs.find((tab) => (tab.url || '').includes('/rome.html')).id)""")
    preset, shown = save_through_form(browser, worker, tab_id, "wisp-save-page", "Rome",
                                      "document.getElementById('keywords').value = 'city';"
                                      "document.getElementById('keep-scripts').checked = true;")
    check(preset == "Rome in spring", f"the form's title is the page's: {preset!r}")
    text = saved(os.path.join(book, "Rome.htm"))
    check(shown["formHidden"] and shown["what"] == '"Rome.htm" in the book "Travel"'
          and shown["file"] == os.path.join(book, "Rome.htm")
          and len(shown["warnings"]) == 1 and "missing.png" in shown["warnings"][0],
          f"the form shows what was saved, where, and the warning: {shown}")
    check("Written by a script" in text and "insertAdjacentHTML" in text,
          "the saved page is the live document, its script kept as asked")
    check('content="city"' in text, "the keywords are in the page")
    files = os.path.join(book, "Rome.files")
    check(os.path.isfile(os.path.join(files, "private.png")), "the picture of the reader's session")
    check(os.path.isdir(files) and len(os.listdir(files)) >= 2,
          f"the page's image and sheet are fetched: {os.listdir(files) if os.path.isdir(files) else None}")

    # A selection set through a Range, with the other origin's sheet fetched by its address.
    page.evaluate("""{ const range = document.createRange();
        range.selectNodeContents(document.getElementById('part'));
        getSelection().removeAllRanges(); getSelection().addRange(range); 1 }""")
    save_through_form(browser, worker, tab_id, "wisp-save-selection", "Forum")
    text = saved(os.path.join(book, "Forum.htm"))
    check("<b>forum</b> at dawn" in text.lower() and "Not chosen" not in text, "only the selection")
    check("p.local" in text, "the page's own sheet is in the selection's page")
    check("font-weight: bold; background: url(Forum.files/back.png)" in text,
          f"the other origin's sheet is in the page, its picture made local: {text}")

    # The panel as a tab shows both pages.
    panel_tab = browser.open_page(ORIGIN + "/panel.html")
    panel = panel_tab.session
    panel_ready(browser, panel)
    tree = panel_tree(browser, panel)
    check("Rome.htm" in tree and "Forum.htm" in tree, f"the panel's tree: {tree}")
    check("Rome.files" not in tree, "companion folders are hidden")

    # The search box lists the library's pages that hold the words; a click opens one.
    browser.evaluate(panel, """{ const box = document.getElementById('search');
        box.value = 'dawn'; box.dispatchEvent(new KeyboardEvent('keydown', {key: 'Enter'})); 1 }""")
    browser.evaluate(panel, "wispPanel.searched.then(() => 1)")
    found = browser.evaluate(panel, """Array.from(document.querySelectorAll('#results li'),
        (item) => item.dataset.book + '/' + item.dataset.page)""")
    check(sorted(found) == ["Travel/Forum.htm", "Travel/Rome.htm"], f"the pages found: {found}")
    check(browser.evaluate(panel, "document.querySelector('#results mark').textContent") == "dawn",
          "the match is marked")
    browser.evaluate(panel, "document.querySelector('#results li[data-page=\"Forum.htm\"]').click(); 1")
    opened = find_target(browser, "page", "Forum.htm")
    check(opened["url"].startswith("file://"), "a result opens")
    browser.send("Target.closeTarget", {"targetId": opened["targetId"]})
    panel_tab.send("Page.bringToFront")
    browser.evaluate(panel, """{ const box = document.getElementById('search');
        box.value = ''; box.dispatchEvent(new Event('input')); 1 }""")
    check(browser.evaluate(panel, "!document.getElementById('tree').hidden"), "the tree is back")

    # The page's whole site, saved by the background: the form says what came of it, the
    # panel shows the pages, and the links between them point at the saved files.
    browser.open_page(f"http://127.0.0.1:{site.port}/manual/index.html")
    manual_tab = browser.evaluate(worker, """chrome.tabs.query({}).then((tabs) =>
        tabs.find((tab) => (tab.url || '').includes('/manual/')).id)""")
    browser.evaluate(worker, f"wisp.saveFromMenu('wisp-save-site', {{id: {manual_tab}}}).then(() => 1)")
    form = attach(browser, find_target(browser, "page", ORIGIN + "/save.html")["targetId"])
    wait_for(lambda: browser.evaluate(form, """{ const books = document.getElementById('books');
        !!books && books.options.length > 0 && document.getElementById('page-choices').hidden }"""),
             "the site's form")
    browser.evaluate(form, "document.getElementById('depth').value = '1';"
                           "document.getElementById('ok').click(); 1")
    wait_for(lambda: browser.evaluate(form, "!document.getElementById('saved').hidden"),
             "the saved site")
    summary = browser.evaluate(form, "document.getElementById('saved-summary').textContent")
    check(summary.startswith("2 pages saved"), f"the site's summary: {summary!r}")
    browser.evaluate(form, "document.getElementById('close').click(); 1")
    wait_in_tree(browser, panel, "part.htm", "the site's pages in the panel")
    check('href="part.htm#end"' in read(os.path.join(book, "index.htm")),
          "the saved pages link each other")
    # Two pages saved from two tabs at the same moment: both land.
    forms = {}
    for tab, title in ((tab_id, "At once 1"), (manual_tab, "At once 2")):
        browser.evaluate(worker, f"wisp.saveFromMenu('wisp-save-page', {{id: {tab}}}).then(() => 1)")
        forms[title] = attach(browser, find_target(
            browser, "page", f"{ORIGIN}/save.html?tab={tab}&")["targetId"])
        wait_for(lambda: browser.evaluate(forms[title], """{ const title = document.getElementById('title');
            !!title && title.value !== '' && document.getElementById('books').options.length > 0 }"""),
                 "the form of " + title)
        browser.evaluate(forms[title], f"document.getElementById('title').value = {title!r}; 1")
    for form in forms.values():
        browser.evaluate(form, "document.getElementById('ok').click(); 1")
    for title, form in forms.items():
        wait_for(lambda: browser.evaluate(form, "!document.getElementById('saved').hidden"),
                 "the confirmation of " + title)
        browser.evaluate(form, "document.getElementById('close').click(); 1")
        saved(os.path.join(book, title + ".htm"))

    # A site that cannot be saved says why in the panel, where its progress was shown.
    browser.evaluate(worker, f"""wisp.saveSite({{request: 'saveSite', book: 'Travel', folder: '',
        url: 'http://127.0.0.1:{site.port}/manual/missing.html'}}).catch(() => 1)""")
    wait_for(lambda: "The site was not saved: " in browser.evaluate(
        panel, "document.getElementById('status').textContent"), "the failed site in the panel")

    # Toolbar: New Book, then back to Travel through the list.
    click(browser, panel, "new-book")
    answer_dialog(browser, panel, "Spain")
    wait_for(lambda: os.path.isdir(os.path.join(library, "Spain")), "the new book")
    wait_for(lambda: browser.evaluate(panel, "document.getElementById('books').value") == "Spain",
             "the new book chosen")
    browser.evaluate(panel, """{ const list = document.getElementById('books');
        list.value = 'Travel'; list.dispatchEvent(new Event('change')); 1 }""")
    wait_in_tree(browser, panel, "Rome.htm", "Travel shown again")

    # New Folder, named in place; a refused name gets the bar's message.
    click(browser, panel, "new-folder")
    name_in_place(browser, panel, "Sights")
    wait_in_tree(browser, panel, "Sights", "the new folder in the tree")
    check(os.path.isdir(os.path.join(book, "Sights")), "the new folder on disk")
    item_command(browser, panel, "Sights", "rename")
    name_in_place(browser, panel, "a:b")
    message = wait_for(lambda: dialog_text(browser, panel), "the refusal")
    check(message.startswith('Error: a name cannot hold any of'),
          f"the refusal's message: {message!r}")
    answer_dialog(browser, panel)

    # A drop of HTML on a folder, named in place, from the page beside whose selection it is.
    page.send("Page.bringToFront")
    browser.evaluate(panel, """{ const data = new DataTransfer();
        data.setData('text/html', '<p>Dropped text</p><img src="here.png">');
        data.setData('text/plain', 'The Forum  at dawn.');
        wispPanel.tree.find('Sights').querySelector('.label').dispatchEvent(
            new DragEvent('drop', {dataTransfer: data, bubbles: true, cancelable: true})); 1 }""")
    name_in_place(browser, panel, "Dropped")
    wait_in_tree(browser, panel, "Sights/Dropped.htm", "the dropped page")
    panel_tab.send("Page.bringToFront")
    text = read(os.path.join(book, "Sights", "Dropped.htm"))
    check("Dropped text" in text and "/rome.html -->" in text and "Dropped.files/here.png" in text,
          f"the dropped HTML, its address and its picture: {text}")

    # Paste takes the clipboard's HTML.
    browser.send("Browser.grantPermissions", {
        "origin": ORIGIN, "permissions": ["clipboardReadWrite", "clipboardSanitizedWrite"]})
    browser.evaluate(panel, """navigator.clipboard.write([new ClipboardItem({
        'text/html': new Blob(['<i>Pasted text</i>'], {type: 'text/html'})})]).then(() => 1)""",
             gesture=True)
    browser.evaluate(panel, "wispPanel.tree.select(wispPanel.tree.find('')); "
                             "document.getElementById('paste').click(); 1", gesture=True)
    wait_in_tree(browser, panel, "New File.htm", "the pasted page")
    check("Pasted text" in read(os.path.join(book, "New File.htm")), "the pasted HTML")

    # Rename and delete through the tree's menu.
    item_command(browser, panel, "New File.htm", "rename")
    name_in_place(browser, panel, "Note")
    wait_in_tree(browser, panel, "Note.htm", "the renamed page")
    item_command(browser, panel, "Note.htm", "delete")
    wait_in_tree(browser, panel, "Note.htm", "the deleted page", present=False)
    check(not os.path.exists(os.path.join(book, "Note.htm")), "the page is gone from disk")

    # Build.
    click(browser, panel, "build")
    answer_dialog(browser, panel, os.path.join(temp, "Travel.chm"))
    wait_for(lambda: "Built" in (browser.evaluate(panel,
             "document.getElementById('status').textContent") or ""), "the build", 60)
    check(os.path.getsize(os.path.join(temp, "Travel.chm")) > 0, "the compiled book")

    # Book Management: rename and delete a book; the deletion asks first.
    click(browser, panel, "manage")
    wait_for(lambda: browser.evaluate(panel,
             "document.getElementById('manager-books').options.length") == 2, "the book list")
    browser.evaluate(panel, """document.getElementById('manager-books').value = 'Spain';
        document.getElementById('book-modify').click(); 1""")
    answer_dialog(browser, panel, "Portugal")
    wait_for(lambda: "Portugal" in browser.evaluate(panel, """Array.from(
        document.getElementById('manager-books').options, (option) => option.value)"""),
        "the renamed book in the list")
    check(os.path.isdir(os.path.join(library, "Portugal")), "the renamed book on disk")
    browser.evaluate(panel, """document.getElementById('manager-books').value = 'Portugal';
        document.getElementById('book-delete').click(); 1""")
    check(wait_for(lambda: dialog_text(browser, panel), "the question") ==
          "Wisp: Do you delete the eBook, yes or no?",
          "deleting a book asks first")
    answer_dialog(browser, panel)
    wait_for(lambda: not os.path.exists(os.path.join(library, "Portugal")), "the deleted book")
    click(browser, panel, "manager-close")
    # Closing reads the books and shows the current one's tree again.
    browser.evaluate(panel, "wispPanel.ready.then(() => 1)")

    # Help.
    click(browser, panel, "help")
    check(wait_for(lambda: dialog_text(browser, panel), "the help box").startswith("About Wisp: "),
          "the help box")
    answer_dialog(browser, panel)

    # A page of the tree opens in a tab.
    browser.evaluate(panel, "wispPanel.tree.find('Rome.htm').querySelector('.label').click(); 1")
    opened = find_target(browser, "page", "Rome.htm")
    check(opened["url"].startswith("file://"), f"the saved page opens: {opened['url']}")
    # Where a browser will not open it, the host serves it on loopback over a kept connection.
    served = browser.evaluate(panel, """import('./host.js').then((host) => host.askKept(
        {request: 'locate', book: 'Travel', path: 'Rome.htm', served: true}))
        .then((place) => fetch(place.url)).then((answer) => answer.text())""")
    check("Written by a script" in served, "the page served on loopback")

    # The real side panel, opened from a real (synthesised) click in the window, as the
    # toolbar button's click opens it.
    browser.evaluate(panel, """chrome.windows.getCurrent().then((window) => {
        document.addEventListener('click', () => chrome.sidePanel.open({windowId: window.id}),
                                  {once: true});
        return 1; })""")
    x, y = browser.evaluate(panel, "[innerWidth - 5, innerHeight - 5]")
    for kind in ("mousePressed", "mouseReleased"):
        panel_tab.send("Input.dispatchMouseEvent",
                       {"type": kind, "x": x, "y": y, "button": "left", "clickCount": 1})
    side = wait_for(lambda: [t for t in browser.send("Target.getTargets")["targetInfos"]
                             if t["url"].startswith(ORIGIN + "/panel.html")
                             and t["targetId"] != panel_tab.target], "the side panel")[0]
    side = attach(browser, side["targetId"])
    panel_ready(browser, side)
    check("Rome.htm" in panel_tree(browser, side), "the side panel shows the book")

    # The service worker stopped and started again: the menu still saves.
    browser.send("ServiceWorker.enable", session=panel)
    browser.send("ServiceWorker.stopAllWorkers", session=panel)
    wait_for(lambda: not any(t["type"] == "service_worker" and ORIGIN in t["url"]
                             for t in browser.send("Target.getTargets")["targetInfos"]),
             "the stopped worker")
    browser.evaluate(panel, "chrome.contextMenus.update('wisp-save-page', {}).then(() => 1)")
    browser.send("ServiceWorker.startWorker", {"scopeURL": ORIGIN + "/"}, session=panel)
    worker = worker_session(browser)
    save_through_form(browser, worker, tab_id, "wisp-save-page", "Again")
    saved(os.path.join(book, "Again.htm"))
    wait_in_tree(browser, panel, "Again.htm", "the panel told of the new page")


def check_install(wisp, extension):
    """The host manifests browser-install writes admit the extension by the ids its own
    manifest gives it: the Chromium family's follows from the public key (Chromium's and Google
    Chrome's profile folders here), Firefox's is the gecko id."""
    with open(os.path.join(extension, "manifest.json"), encoding="utf-8") as file:
        manifest = json.load(file)
    digest = hashlib.sha256(base64.b64decode(manifest["key"])).hexdigest()[:32]
    chromium_id = "".join(chr(ord("a") + int(digit, 16)) for digit in digest)
    check(chromium_id == EXTENSION_ID, f"the extension's id from its key: {chromium_id}")
    for name in ("panel.html", "save.html", manifest["background"]["service_worker"],
                 *manifest["icons"].values()):
        check(os.path.isfile(os.path.join(extension, name)), f"the manifest's file {name}")
    temp = tempfile.mkdtemp(prefix="wisp-install-")
    try:
        env = dict(os.environ, HOME=temp, XDG_CONFIG_HOME=temp + "/config",
                   XDG_DATA_HOME=temp + "/data")
        for profile in ("chromium", "google-chrome"):
            os.makedirs(f"{temp}/config/{profile}")
        subprocess.run([wisp, "browser-install", "--all", "--quiet"], env=env, check=True)
        for profile in ("chromium", "google-chrome"):
            with open(f"{temp}/config/{profile}/NativeMessagingHosts/wisp.native_host.json") as file:
                chromium = json.load(file)
            check(chromium["allowed_origins"] == [f"chrome-extension://{chromium_id}/"],
                  f"the host manifest in {profile}: {chromium}")
        with open(temp + "/.mozilla/native-messaging-hosts/wisp.native_host.json") as file:
            firefox = json.load(file)
        check(firefox["allowed_extensions"] ==
              [manifest["browser_specific_settings"]["gecko"]["id"]],
              f"Firefox's host manifest: {firefox}")
        check(os.access(chromium["path"], os.X_OK), "the wrapper can be started")
    finally:
        shutil.rmtree(temp, ignore_errors=True)


def main():
    wisp, server_binary, extension = (os.path.abspath(arg) for arg in sys.argv[1:4])
    check_install(wisp, extension)
    if devtools.find_chromium() is None:
        print("skipped: chromium is not installed")
        return 1 if failures else 77
    temp = tempfile.mkdtemp(prefix="wisp-extension-")
    env = dict(os.environ, WISP_USER_SETTINGS_DIR=temp + "/settings",
               WISP_MACHINE_SETTINGS_DIR=temp + "/machine", HOME=temp + "/home",
               XDG_CONFIG_HOME=temp + "/config", XDG_DATA_HOME=temp + "/data")
    servers = []
    try:
        os.makedirs(temp + "/lib")
        profile = temp + "/config/google-chrome"
        os.makedirs(profile)
        for args in (["root", temp + "/lib"], ["new-book", "Travel"], ["browser-install", "--chromium"]):
            subprocess.run([wisp, *args], env=env, check=True, stdout=subprocess.DEVNULL)
        far_folder = temp + "/far"
        write(far_folder + "/far.css", "p { font-weight: bold; background: url(back.png) }")
        write(far_folder + "/back.png", PIXEL)
        write(far_folder + "/pic.png", PIXEL)
        write(temp + "/site/here.png", PIXEL)
        far = Server(server_binary, far_folder)
        servers.append(far)
        site_folder = temp + "/site"
        gate = SessionServer()
        servers.append(gate)
        write(site_folder + "/rome.html", f"""<!DOCTYPE html>
<html><head><title>Rome in spring</title>
<link rel="stylesheet" href="http://127.0.0.1:{far.port}/far.css">
<style>p.local {{ color: green }}</style></head>
<body><h1>Rome</h1><p id="part" class="local">The <b>Forum</b> at dawn.</p><p>Not chosen.</p>
<img src="http://127.0.0.1:{far.port}/pic.png" alt="">
<img src="http://127.0.0.1:{far.port}/missing.png" alt="">
<img src="http://127.0.0.1:{gate.port}/private.png" alt="">
<script>document.body.insertAdjacentHTML('beforeend', '<p>Written by a script</p>')</script>
</body></html>""")
        write(site_folder + "/manual/index.html",
              '<title>Manual</title><a href="part.html#end">Part</a> <a href="../rome.html">Rome</a>')
        write(site_folder + "/manual/part.html", '<title>Part</title><p id="end">The end.')
        site = Server(server_binary, site_folder)
        servers.append(site)
        with devtools.Browser(
                extra_args=["--load-extension=" + extension,
                            "--disable-extensions-except=" + extension],
                profile=profile, env=env) as browser:
            scenario(wisp, temp, browser, (site, far))
    except devtools.DevToolsError as error:
        failures.append(str(error))
        print("FAILED:", error)
    finally:
        for server in servers:
            server.stop()
        shutil.rmtree(temp, ignore_errors=True)
    print("failures:", len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
