// The collector's save form: the book and folder to save into, the title (preset to the
// page's), keywords and description; OK hands the page to the host, which saves it, and the
// form then shows what was saved, where, and what could not be fetched. For a whole site the
// form asks how far to follow its links instead, and the background has the host save it.
import {HostError, ask, cookiesFor} from './host.js';
import {saveAsking, showMessage} from './dialogs.js';
import {serializeDocument} from './serialize.js';
import {BookTree} from './tree.js';

const query = new URLSearchParams(location.search);
const tabId = Number(query.get('tab'));
const selectionOnly = query.get('kind') === 'selection';
const wholeSite = query.get('kind') === 'site';
const books = document.getElementById('books');
const folders = new BookTree(document.getElementById('folders'), {foldersOnly: true});
const status = document.getElementById('status');
let page = null;

async function load() {
  if (wholeSite) {
    page = {url: (await chrome.tabs.get(tabId)).url};
    document.getElementById('page-choices').hidden = true;
    document.getElementById('site-choices').hidden = false;
    await loadBooks();
    return;
  }
  const before = await chrome.tabs.get(tabId);
  const [result] = await chrome.scripting.executeScript({
    target: {tabId},
    func: serializeDocument,
    args: [selectionOnly ? {ranges: true} : null],
  });
  // The page's references are read against the address the browser loaded, never the one
  // the page's own scripts may make the document report.
  const after = await chrome.tabs.get(tabId);
  if (after.url !== before.url) {
    throw new Error('The page changed while it was read; save it again.');
  }
  page = {...result.result, url: after.url};
  // A selection is saved without scripts in any case.
  document.getElementById('keep-scripts-choice').hidden = selectionOnly;
  document.getElementById('title').value = page.title;
  await loadBooks();
}

async function loadBooks() {
  const list = await ask({request: 'books'});
  for (const book of list.books) {
    books.add(new Option(book, book, false, book === list.current));
  }
  await folders.show(books.value);
}

books.addEventListener('change', () => folders.show(books.value));

document.getElementById('save-form').addEventListener('submit', async (event) => {
  event.preventDefault();
  if (!page) {
    return;
  }
  const folder = folders.targetFolder();
  if (wholeSite) {
    await saveSite(folder ? folder.dataset.path : '');
    return;
  }
  const request = {
    ...page,
    request: 'save',
    book: books.value,
    folder: folder ? folder.dataset.path : '',
    title: document.getElementById('title').value,
    keywords: document.getElementById('keywords').value,
    description: document.getElementById('description').value,
    // Without them the copy is the page as its scripts left it, which they cannot spoil.
    keepScripts: document.getElementById('keep-scripts').checked,
    cookies: await cookiesFor(page.url),
  };
  status.textContent = 'Downloading...';
  try {
    const saved = await saveAsking(request);
    if (!saved) {
      status.textContent = '';
      return;
    }
    await chrome.runtime.sendMessage({type: 'wisp-saved', book: saved.book, page: saved.page})
      .catch(() => {});
    showSaved(saved);
  } catch (refused) {
    status.textContent = '';
    await showMessage(refused.message);
  }
});

// The patterns typed in a field, separated by commas.
function patterns(id) {
  return document.getElementById(id).value.split(',').map((text) => text.trim()).filter(Boolean);
}

// A number typed in a field; the field's default when it is left empty.
function number(id) {
  const field = document.getElementById(id);
  return Number.isNaN(field.valueAsNumber) ? Number(field.defaultValue) : field.valueAsNumber;
}

// Asks the background to save the site, which it goes on doing if the form is closed.
async function askBackground(request) {
  const reply = await chrome.runtime.sendMessage({type: 'wisp-save-site', request});
  if (!reply || !reply.ok) {
    throw new HostError(reply ? reply.error : 'Wisp gave no answer.', Boolean(reply && reply.taken));
  }
  return reply;
}

async function saveSite(folder) {
  const request = {
    request: 'saveSite',
    url: page.url,
    book: books.value,
    folder,
    depth: number('depth'),
    maxPages: number('max-pages'),
    scope: document.getElementById('scope').value.trim() || undefined,
    include: patterns('include'),
    exclude: patterns('exclude'),
    ignoreRobots: document.getElementById('ignore-robots').checked,
  };
  status.textContent = 'Saving the site...';
  try {
    const saved = await saveAsking(request, askBackground,
                                   [['Replace', {taken: 'replace'}], ['Go on', {resume: true}]]);
    if (saved) {
      showSaved(saved);
    } else {
      status.textContent = '';
    }
  } catch (refused) {
    status.textContent = '';
    await showMessage(refused.message);
  }
}

chrome.runtime.onMessage.addListener((message) => {
  if (message && message.type === 'wisp-site-progress' && document.getElementById('saved').hidden) {
    status.textContent = 'Saving the site: ' + message.saved + ' pages saved' +
                         (message.failed ? ', ' + message.failed + ' failed' : '');
  }
});

// The host's reply names the page inside its book, the file on disk and the warnings.
function showSaved(saved) {
  status.textContent = '';
  document.getElementById('save-form').hidden = true;
  document.getElementById('saved-what').textContent =
      '"' + saved.page + '" in the book "' + saved.book + '"';
  document.getElementById('saved-file').textContent = saved.file;
  if (saved.summary) {
    document.getElementById('saved-what').textContent =
        'The site, from "' + saved.page + '", in the book "' + saved.book + '"';
    document.getElementById('saved-summary').textContent = saved.summary;
  }
  const warnings = saved.warnings || [];
  if (warnings.length > 0) {
    document.getElementById('saved-warnings-title').textContent =
        warnings.length === 1 ? '1 warning:' : warnings.length + ' warnings:';
    const list = document.getElementById('saved-warnings-list');
    for (const warning of warnings) {
      const item = document.createElement('li');
      item.textContent = warning;
      list.appendChild(item);
    }
    document.getElementById('saved-warnings').hidden = false;
  }
  document.getElementById('saved').hidden = false;
  document.getElementById('close').focus();
}

document.getElementById('cancel').addEventListener('click', () => window.close());
document.getElementById('close').addEventListener('click', () => window.close());
document.addEventListener('keydown', (event) => {
  if (event.key === 'Escape' && !document.getElementById('saved').hidden) {
    window.close();
  }
});

load().catch((failure) => showMessage(failure.message));
