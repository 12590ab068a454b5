// The collector's save form: the book and folder to save into, the title (preset to the
// page's), keywords and description; OK hands the page to the host, which saves it, and the
// form then shows what was saved, where, and what could not be fetched.
import {ask, cookiesFor} from './host.js';
import {saveAsking, showMessage} from './dialogs.js';
import {serializeDocument} from './serialize.js';
import {BookTree} from './tree.js';

const query = new URLSearchParams(location.search);
const tabId = Number(query.get('tab'));
const selectionOnly = query.get('kind') === 'selection';
const books = document.getElementById('books');
const folders = new BookTree(document.getElementById('folders'), {foldersOnly: true});
const status = document.getElementById('status');
let page = null;

async function load() {
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

// The host's reply names the page inside its book, the file on disk and the warnings.
function showSaved(saved) {
  status.textContent = '';
  document.getElementById('save-form').hidden = true;
  document.getElementById('saved-what').textContent =
      '"' + saved.page + '" in the book "' + saved.book + '"';
  document.getElementById('saved-file').textContent = saved.file;
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
