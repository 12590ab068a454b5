// Runs in the page (through scripting.executeScript): the document as the reader sees it now,
// after its scripts ran, for the collector. Kept free of outside names: it is sent as source.
export function serializeDocument(selectionOnly) {
  const doctype = document.doctype ?
    '<!DOCTYPE ' + document.doctype.name +
      (document.doctype.publicId ? ' PUBLIC "' + document.doctype.publicId + '"' : '') +
      (document.doctype.systemId ? ' "' + document.doctype.systemId + '"' : '') + '>' :
    '';
  const page = {
    title: document.title,
    url: document.URL,
    doctype,
  };
  if (!selectionOnly) {
    page.html = document.documentElement.outerHTML;
    return page;
  }
  let selection = '';
  const chosen = window.getSelection();
  for (let i = 0; chosen && i < chosen.rangeCount; i++) {
    const holder = document.createElement('div');
    holder.appendChild(chosen.getRangeAt(i).cloneContents());
    selection += holder.innerHTML;
  }
  page.selection = selection;
  // A sheet of another origin cannot be read here; the host fetches it by its address. A
  // linked sheet's own references are relative to that address.
  page.styleSheets = Array.from(document.styleSheets, (sheet) => {
    const address = sheet.href ? {href: sheet.href} : {};
    try {
      return {css: Array.from(sheet.cssRules, (rule) => rule.cssText).join('\n'), ...address};
    } catch (refused) {
      return address;
    }
  });
  return page;
}
