// The extension's background: the entries of the page's context menu, which open the save form
// for the page, its selection or its site, the saving of a site, and the toolbar button, which
// shows the panel.
import {askSite} from './host.js';

const MENU_ITEMS = [
  {id: 'wisp-save-page', title: 'Save the page to Wisp', contexts: ['page']},
  {id: 'wisp-save-selection', title: 'Save the selection to Wisp', contexts: ['selection']},
  {id: 'wisp-save-site', title: 'Save this site to Wisp', contexts: ['page']},
];
const FORM_KINDS = {'wisp-save-selection': 'selection', 'wisp-save-site': 'site'};

chrome.runtime.onInstalled.addListener(() => {
  chrome.contextMenus.removeAll(() => {
    for (const item of MENU_ITEMS) {
      chrome.contextMenus.create(item);
    }
  });
  if (chrome.sidePanel) {
    chrome.sidePanel.setPanelBehavior({openPanelOnActionClick: true}).catch(() => {});
  }
});

// What a menu click does, kept apart from the listener so it can be run without a click.
export async function saveFromMenu(menuItemId, tab) {
  const kind = FORM_KINDS[menuItemId] || 'page';
  const url = chrome.runtime.getURL('save.html') + '?tab=' + tab.id + '&kind=' + kind;
  return chrome.windows.create({url, type: 'popup', width: 460, height: 560});
}

chrome.contextMenus.onClicked.addListener((info, tab) => {
  saveFromMenu(info.menuItemId, tab);
});

// Firefox opens its sidebar from the button; Chromium does through the panel behaviour.
if (!chrome.sidePanel && chrome.action) {
  chrome.action.onClicked.addListener(() => browser.sidebarAction.toggle());
}

// A site is saved here rather than by its form, so that closing the form does not stop it;
// the form and the panel hear of each page as it ends, and the panel of the end.
async function saveSite(request) {
  let saved;
  try {
    saved = await askSite(request, (progress) => {
      chrome.runtime.sendMessage({type: 'wisp-site-progress', ...progress}).catch(() => {});
    });
  } catch (failure) {
    // The form may be closed: the panel says why the site stopped, unless the form is asked
    // what to do with a name already taken.
    chrome.runtime.sendMessage({type: 'wisp-site-failed', error: failure.message,
                                taken: Boolean(failure.taken)}).catch(() => {});
    throw failure;
  }
  chrome.runtime.sendMessage({type: 'wisp-saved', book: saved.book, page: saved.page})
    .catch(() => {});
  return saved;
}

chrome.runtime.onMessage.addListener((message, sender, reply) => {
  if (message && message.type === 'wisp-save-site') {
    saveSite(message.request).then(reply, (failure) =>
      reply({ok: false, error: failure.message, taken: Boolean(failure.taken)}));
    return true;  // the reply comes when the site is saved
  }
  return false;
});

globalThis.wisp = {saveFromMenu, saveSite};
