// The panel beside the page: the bar's book list, a search of the whole library, the current
// book's tree, its toolbar and the tree's context menu, each command carried out by the host.
import {ask, askKept, cookiesFor} from './host.js';
import {askText, askYesNo, saveAsking, showMessage} from './dialogs.js';
import {BookTree} from './tree.js';

const books = document.getElementById('books');
const status = document.getElementById('status');
const menu = document.getElementById('item-menu');
const manager = document.getElementById('manager');
const tree = new BookTree(document.getElementById('tree'), {
  onOpen: openPage,
  onMenu: showItemMenu,
  onDrop: dropOnFolder,
});

// Runs one command; a refusal is shown as the bar shows it, with its caption.
async function run(work, caption = 'Wisp') {
  try {
    return await work();
  } catch (failure) {
    status.textContent = '';
    await showMessage(failure.message, caption);
    return undefined;
  }
}

async function loadBooks() {
  const list = await ask({request: 'books'});
  books.textContent = '';
  for (const book of list.books) {
    books.add(new Option(book, book, false, book === list.current));
  }
  await tree.show(list.current);
  return list;
}

function parentPath(path) {
  const slash = path.lastIndexOf('/');
  return slash < 0 ? '' : path.slice(0, slash);
}

function joinPath(folder, name) {
  return folder ? folder + '/' + name : name;
}

async function refreshFolder(path) {
  const item = tree.find(path);
  if (item) {
    await tree.refresh(item);
  }
}

// Edits an item's name in place, as the bar's tree does; the typed text, or null when the
// edit was left with Escape.
function editLabel(item) {
  const label = item.querySelector(':scope > .label');
  const input = document.createElement('input');
  input.className = 'label-edit';
  input.value = item.dataset.kind === 'page' ? label.textContent.replace(/\.htm$/, '') :
    label.textContent;
  label.hidden = true;
  label.after(input);
  input.focus();
  input.select();
  return new Promise((resolve) => {
    let done = false;
    const finish = (text) => {
      if (done) {
        return;
      }
      done = true;
      input.remove();
      label.hidden = false;
      resolve(text);
    };
    input.addEventListener('keydown', (event) => {
      if (event.key === 'Enter') {
        finish(input.value);
      } else if (event.key === 'Escape') {
        finish(null);
      }
    });
    input.addEventListener('blur', () => finish(input.value));
  });
}

// A new item under the folder, named in place before anything is written.
function newItemIn(folder, name, kind) {
  let children = folder.querySelector(':scope > ul');
  if (!children) {
    children = document.createElement('ul');
    folder.appendChild(children);
  }
  children.hidden = false;
  const item = tree.makeItem({name, kind}, joinPath(folder.dataset.path, name));
  children.prepend(item);
  tree.select(item);
  return item;
}

// Chromium opens a saved page's file address for an extension; Firefox does not, so there
// the host serves the library read-only on loopback while the panel is connected.
const opensFiles = Boolean(chrome.sidePanel);

function openPage(item) {
  return openPlace(tree.book, item.dataset.path);
}

async function openPlace(book, path) {
  await run(async () => {
    const request = {request: 'locate', book, path};
    const place = opensFiles ? await ask(request) : await askKept({...request, served: true});
    await chrome.tabs.create({url: place.url});
  });
}

async function newBook() {
  const name = await askText('New Book', 'Input Book Name:', '');
  if (name === null) {
    return;
  }
  await run(async () => {
    await ask({request: 'newBook', name});
    await loadBooks();
  });
}

async function newFolder(folder = tree.targetFolder()) {
  if (!folder) {
    return;
  }
  const item = newItemIn(folder, 'New Folder', 'folder');
  const name = await editLabel(item);
  item.remove();
  await run(async () => {
    await ask({request: 'mkdir', book: tree.book, path: joinPath(folder.dataset.path, name ?? 'New Folder')});
    await refreshFolder(folder.dataset.path);
  }, 'Error');
}

async function renameItem(item) {
  if (!item || !item.dataset.path) {
    return;  // the book itself is renamed in Book Management
  }
  const name = await editLabel(item);
  if (name === null) {
    return;
  }
  await run(async () => {
    await ask({request: 'rename', book: tree.book, path: item.dataset.path, name});
    await refreshFolder(parentPath(item.dataset.path));
  }, 'Error');
}

async function deleteItem(item) {
  if (!item || !item.dataset.path) {
    return;
  }
  await run(async () => {
    await ask({request: 'delete', book: tree.book, path: item.dataset.path});
    await refreshFolder(parentPath(item.dataset.path));
  });
}

// The address of the page that HTML dropped or pasted with `text` came from: the tab shown in
// its window whose selection is that text. Null when no such tab holds it; the page is then
// saved with the pictures it names by full address only.
async function sourceAddress(text) {
  const plain = (value) => String(value || '').replace(/\s+/g, ' ').trim();
  const wanted = plain(text);
  if (!wanted) {
    return null;
  }
  for (const tab of await chrome.tabs.query({active: true})) {
    try {
      const [read] = await chrome.scripting.executeScript(
          {target: {tabId: tab.id}, func: () => String(getSelection())});
      if (plain(read.result) === wanted) {
        return tab.url;
      }
    } catch (refused) {
      // A page the extension may not read (the browser's own) is no source.
    }
  }
  return null;
}

async function savePastedHtml(folder, html, name, text) {
  const request = {request: 'paste', book: tree.book, folder: folder.dataset.path, html};
  if (name !== undefined && name !== null) {
    request.name = name;
  }
  const url = await sourceAddress(text);
  if (url) {
    request.url = url;
    request.cookies = await cookiesFor(url);
  }
  const saved = await saveAsking(request);
  await refreshFolder(folder.dataset.path);
  return saved;
}

// Paste takes the HTML on the clipboard into the selected item's folder.
async function paste(folder = tree.targetFolder()) {
  if (!folder) {
    return;
  }
  await run(async () => {
    let html = '';
    let text = '';
    for (const entry of await navigator.clipboard.read()) {
      if (entry.types.includes('text/html')) {
        html = await (await entry.getType('text/html')).text();
        if (entry.types.includes('text/plain')) {
          text = await (await entry.getType('text/plain')).text();
        }
        break;
      }
    }
    if (!html) {
      throw new Error('The clipboard holds no HTML.');
    }
    await savePastedHtml(folder, html, null, text);
  });
}

// A drop of HTML on a folder: a new page there, named in place, then saved.
async function dropOnFolder(folder, data) {
  // The drop's data can be read only while the drop is handled.
  const html = data.getData('text/html');
  const text = data.getData('text/plain');
  if (!html) {
    return;
  }
  const item = newItemIn(folder, 'New File.htm', 'page');
  const name = await editLabel(item);
  item.remove();
  await run(() => savePastedHtml(folder, html, name || 'New File', text), 'Error');
}

async function build(folder = null) {
  if (!tree.book) {
    return;
  }
  const output = await askText('Build eBook', 'Save the compiled book as', tree.book + '.chm');
  if (output === null) {
    return;
  }
  status.textContent = 'Now building eBook for you. Please waiting...';
  await run(async () => {
    const format = (/\.(epub|pdf)$/i.exec(output) || [null, 'chm'])[1].toLowerCase();
    const request = {request: 'build', book: tree.book, output, format};
    if (folder && folder.dataset.path) {
      request.folder = folder.dataset.path;
    }
    let built;
    try {
      built = await ask(request);
    } catch (refused) {
      if (!refused.taken) {
        throw refused;
      }
      if (!await askYesNo(refused.message + '. Replace it?')) {
        status.textContent = '';
        return;
      }
      built = await ask({...request, replace: true});
    }
    status.textContent = 'Built ' + built.output;
  });
}

// The pages of the library that hold the words typed, best first, in place of the tree; an
// emptied box shows the tree again.
const search = document.getElementById('search');
const results = document.getElementById('results');

function resultItem(hit) {
  const item = document.createElement('li');
  item.dataset.book = hit.book;
  item.dataset.page = hit.page;
  const title = document.createElement('span');
  title.className = 'title';
  title.textContent = hit.title;
  const snippet = document.createElement('span');
  snippet.className = 'snippet';
  hit.snippet.forEach((piece, index) => {
    if (index % 2 === 1) {
      const mark = document.createElement('mark');
      mark.textContent = piece;
      snippet.append(mark);
    } else {
      snippet.append(piece);
    }
  });
  const place = document.createElement('span');
  place.className = 'place';
  place.textContent = hit.path;
  item.append(title, snippet, place);
  item.title = hit.path;
  item.addEventListener('click', () => openPlace(hit.book, hit.page));
  return item;
}

function showTree(shown) {
  results.hidden = shown;
  tree.container.hidden = !shown;
}

async function searchLibrary() {
  const query = search.value.trim();
  if (!query) {
    showTree(true);
    return;
  }
  await run(async () => {
    const reply = await ask({request: 'search', query});
    results.textContent = '';
    for (const hit of reply.hits) {
      results.append(resultItem(hit));
    }
    if (reply.hits.length === 0) {
      const none = document.createElement('li');
      none.className = 'none';
      none.textContent = 'No page holds these words.';
      results.append(none);
    }
    showTree(false);
  });
}

search.addEventListener('keydown', (event) => {
  if (event.key === 'Enter') {
    globalThis.wispPanel.searched = searchLibrary();
  }
});
search.addEventListener('input', () => {
  if (!search.value.trim()) {
    showTree(true);
  }
});

function showItemMenu(item, event) {
  menu.hidden = false;
  menu.style.left = event.clientX + 'px';
  menu.style.top = event.clientY + 'px';
  menu.querySelector('[data-command="delete"]').textContent =
    item.dataset.kind === 'folder' ? 'Delete Folder' : 'Delete Page';
}

async function runItemCommand(command) {
  const item = tree.selected;
  menu.hidden = true;
  const commands = {
    'rename': () => renameItem(item),
    'delete': () => deleteItem(item),
    'new-folder': () => newFolder(tree.targetFolder(item)),
    'refresh': () => run(() => tree.refresh(tree.targetFolder(item))),
    'paste': () => paste(tree.targetFolder(item)),
    'build': () => build(tree.targetFolder(item)),
  };
  await commands[command]();
}

menu.addEventListener('click', (event) => {
  const command = event.target.dataset.command;
  if (command) {
    runItemCommand(command);
  }
});
document.addEventListener('click', (event) => {
  if (!menu.contains(event.target)) {
    menu.hidden = true;
  }
});

// Book Management: add, rename and delete books, and choose the library root.
async function fillManager() {
  const list = await ask({request: 'books'});
  document.getElementById('root').value = list.root;
  const entries = document.getElementById('manager-books');
  entries.textContent = '';
  for (const book of list.books) {
    entries.add(new Option(book, book));
  }
}

async function manageBooks() {
  await run(fillManager);
  manager.showModal();
}

function chosenBook() {
  return document.getElementById('manager-books').value;
}

document.getElementById('book-add').addEventListener('click', async () => {
  const name = await askText('Book Management', 'Input Book Name:', 'new book');
  if (name !== null) {
    await run(async () => {
      await ask({request: 'newBook', name});
      await fillManager();
    });
  }
});
document.getElementById('book-modify').addEventListener('click', async () => {
  const book = chosenBook();
  if (!book) {
    return;
  }
  const name = await askText('Book Management', 'New name of the book:', book);
  if (name !== null && name !== book) {
    await run(async () => {
      await ask({request: 'renameBook', book, name});
      await fillManager();
    });
  }
});
document.getElementById('book-delete').addEventListener('click', async () => {
  const book = chosenBook();
  if (book && await askYesNo('Do you delete the eBook, yes or no?')) {
    await run(async () => {
      await ask({request: 'deleteBook', book});
      await fillManager();
    });
  }
});
document.getElementById('root-set').addEventListener('click', async () => {
  const path = await askText('Book Management', 'Select a Folder for eBook',
    document.getElementById('root').value);
  if (path !== null) {
    await run(async () => {
      await ask({request: 'root', path});
      await fillManager();
    });
  }
});
document.getElementById('manager-close').addEventListener('click', async () => {
  manager.close();
  globalThis.wispPanel.ready = run(loadBooks);
  await globalThis.wispPanel.ready;
});

async function help() {
  await showMessage(
    'Right-click a page and choose "Save the page to Wisp" or "Save the selection to Wisp" ' +
    'to collect it into a book. Drop HTML on a folder, or Paste it, to make a page. ' +
    'Build compiles the book into a .chm file (an EPUB or a PDF when the name ends in .epub ' +
    'or .pdf).\n\n' +
    'Wisp ' + chrome.runtime.getManifest().version, 'About Wisp');
}

books.addEventListener('change', () => run(async () => {
  await ask({request: 'use', book: books.value});
  await tree.show(books.value);
}));
document.getElementById('new-book').addEventListener('click', newBook);
document.getElementById('new-folder').addEventListener('click', () => newFolder());
document.getElementById('paste').addEventListener('click', () => paste());
document.getElementById('build').addEventListener('click', () => build());
document.getElementById('manage').addEventListener('click', manageBooks);
document.getElementById('help').addEventListener('click', help);

// A page saved through the context menu shows in the tree at once; a site being saved says how
// far it has come.
let sitePages = '';
chrome.runtime.onMessage.addListener((message) => {
  if (message && message.type === 'wisp-site-progress') {
    sitePages = 'Saving a site: ' + message.saved + ' pages saved';
    status.textContent = sitePages;
  }
  if (message && message.type === 'wisp-saved' && status.textContent === sitePages) {
    status.textContent = '';
  }
  if (message && message.type === 'wisp-site-failed' && !message.taken) {
    status.textContent = 'The site was not saved: ' + message.error;
  }
  if (message && message.type === 'wisp-saved' && message.book === tree.book) {
    run(async () => {
      const folder = parentPath(message.page);
      await refreshFolder(folder);
      tree.select(tree.find(message.page));
    });
  }
});

// `ready` settles when the panel's latest reading of the books is shown.
globalThis.wispPanel = {tree, ready: run(loadBooks)};
