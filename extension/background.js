// The extension's background: the two entries of the page's context menu, which open the save
// form for the page or its selection, and the toolbar button, which shows the panel.
const MENU_ITEMS = [
  {id: 'wisp-save-page', title: 'Save the page to Wisp', contexts: ['page']},
  {id: 'wisp-save-selection', title: 'Save the selection to Wisp', contexts: ['selection']},
];

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
  const kind = menuItemId === 'wisp-save-selection' ? 'selection' : 'page';
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

globalThis.wisp = {saveFromMenu};
