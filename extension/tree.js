// A book's tree as the bar shows it: the book on top, folders and pages below in the order
// and with the hiding rules of the host's listing, each folder read on its first opening.
import {listFolder} from './host.js';

export class BookTree {
  // `options.foldersOnly` leaves pages out (the save form's folder choice); the handlers get
  // the item's node: onOpen(page), onMenu(item, event), onDrop(folder, dataTransfer).
  constructor(container, options = {}) {
    this.container = container;
    this.options = options;
    this.book = null;
    this.selected = null;
  }

  async show(book) {
    this.book = book;
    this.container.textContent = '';
    this.selected = null;
    if (!book) {
      return;
    }
    const list = document.createElement('ul');
    list.className = 'tree';
    const top = this.makeItem({name: book, kind: 'folder'}, '');
    list.appendChild(top);
    this.container.appendChild(list);
    this.select(top);
    await this.expand(top);
  }

  makeItem(entry, path) {
    const item = document.createElement('li');
    item.dataset.kind = entry.kind;
    item.dataset.path = path;
    item.dataset.name = entry.name;
    const label = document.createElement('span');
    label.className = 'label ' + entry.kind;
    label.textContent = entry.name;
    label.title = entry.name;
    item.appendChild(label);
    label.addEventListener('click', () => {
      this.select(item);
      if (entry.kind === 'folder') {
        this.toggle(item);
      } else if (this.options.onOpen) {
        this.options.onOpen(item);
      }
    });
    label.addEventListener('contextmenu', (event) => {
      event.preventDefault();
      this.select(item);
      if (this.options.onMenu) {
        this.options.onMenu(item, event);
      }
    });
    if (entry.kind === 'folder' && this.options.onDrop) {
      label.addEventListener('dragover', (event) => {
        if (event.dataTransfer.types.includes('text/html')) {
          event.preventDefault();
          label.classList.add('drop');
        }
      });
      label.addEventListener('dragleave', () => label.classList.remove('drop'));
      label.addEventListener('drop', (event) => {
        event.preventDefault();
        label.classList.remove('drop');
        this.options.onDrop(item, event.dataTransfer);
      });
    }
    return item;
  }

  select(item) {
    if (this.selected) {
      this.selected.classList.remove('selected');
    }
    this.selected = item;
    if (item) {
      item.classList.add('selected');
    }
  }

  // The folder an operation on the selection works on: a page's folder, or the folder itself.
  targetFolder(item = this.selected) {
    if (!item) {
      return null;
    }
    return item.dataset.kind === 'folder' ? item : item.parentElement.closest('li');
  }

  async toggle(item) {
    if (item.classList.contains('open')) {
      item.classList.remove('open');
      const children = item.querySelector(':scope > ul');
      if (children) {
        children.hidden = true;
      }
      return;
    }
    await this.expand(item);
  }

  async expand(item) {
    let children = item.querySelector(':scope > ul');
    if (!children) {
      await this.refresh(item);
      children = item.querySelector(':scope > ul');
    }
    children.hidden = false;
    item.classList.add('open');
  }

  // Reads the folder from disk again, as the bar's Refresh does.
  async refresh(item) {
    const entries = await listFolder(this.book, item.dataset.path);
    const children = document.createElement('ul');
    for (const entry of entries) {
      if (this.options.foldersOnly && entry.kind !== 'folder') {
        continue;
      }
      const path = item.dataset.path ? item.dataset.path + '/' + entry.name : entry.name;
      children.appendChild(this.makeItem(entry, path));
    }
    const old = item.querySelector(':scope > ul');
    if (old) {
      old.replaceWith(children);
    } else {
      item.appendChild(children);
    }
    item.classList.add('open');
  }

  find(path) {
    for (const item of this.container.querySelectorAll('li')) {
      if (item.dataset.path === path) {
        return item;
      }
    }
    return null;
  }
}
