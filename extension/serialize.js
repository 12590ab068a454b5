// The live page: the document as the reader sees it now, after its scripts ran. This is its
// one serialisation, run in the page by the extension (scripting.executeScript) and by
// `wisp collect`'s rendering reader (whose build embeds this file), and read by one native
// parser. Kept free of outside names: it is sent as source.
//
// `selection` is null for the whole page, {selector: 'css'} for the elements querySelectorAll
// picks (none inside one already taken), or {ranges: true} for what the reader selected.
// The answer's keys:
//   title, url     the document's title and address
//   doctype        its DOCTYPE declaration ("<!DOCTYPE html>"); '' when it has none
//   html           the root element's outer HTML (the whole page only)
//   selection      the selection's HTML; selectedCount: how many elements or ranges it took
//   styleSheets    with a selection, [{href?, css?}] in order: css the rules' text, href a
//                  linked sheet's address (alone for another origin's sheet, unreadable here)
//   selectorError  instead of those: why querySelectorAll refused the selector
export function serializeDocument(selection) {
  const page = {
    title: document.title,
    url: document.URL,
    doctype: document.doctype ? new XMLSerializer().serializeToString(document.doctype) : '',
  };
  // Rules a script gave a style element through the style sheet API (web fonts of a maths
  // renderer, styles made by components) are in its sheet but not in its text: such an
  // element is written with its sheet's rules. Sheets a script adopted go in the head.
  const withLiveStyles = (html) => {
    const rulesOf = (sheet) => Array.from(sheet.cssRules, (rule) => rule.cssText).join('\n');
    const styles = Array.from(document.querySelectorAll('style'));
    const pattern = /(<style\b[^>]*>)([\s\S]*?)(<\/style>)/gi;
    if ((html.match(pattern) || []).length === styles.length) {
      let index = 0;
      html = html.replace(pattern, (whole, start, text, end) => {
        const style = styles[index++];
        try {
          const parsed = new CSSStyleSheet();
          parsed.replaceSync(style.textContent);
          const rules = rulesOf(style.sheet);
          if (style.namespaceURI !== 'http://www.w3.org/1999/xhtml' || rules.includes('</') ||
              style.sheet.cssRules.length === parsed.cssRules.length) {
            return whole;
          }
          return start + rules + end;
        } catch (refused) {
          return whole;  // no sheet (disabled), or rules another origin keeps
        }
      });
    }
    const adopted = Array.from(document.adoptedStyleSheets || [], rulesOf).join('\n');
    const head = html.search(/<\/head>/i);
    if (adopted && !adopted.includes('</') && head >= 0) {
      html = html.slice(0, head) + '<style>' + adopted + '</style>' + html.slice(head);
    }
    return html;
  };
  if (!selection) {
    page.html = document.documentElement ? withLiveStyles(document.documentElement.outerHTML) : '';
    return page;
  }
  const parts = [];
  if (selection.selector !== undefined) {
    try {
      let taken = null;
      for (const element of document.querySelectorAll(selection.selector)) {
        if (!taken || !taken.contains(element)) {
          taken = element;
          parts.push(element.outerHTML);
        }
      }
    } catch (refused) {
      page.selectorError = String(refused.message);
      return page;
    }
  } else {
    const chosen = window.getSelection();
    for (let i = 0; chosen && i < chosen.rangeCount; i++) {
      const holder = document.createElement('div');
      holder.appendChild(chosen.getRangeAt(i).cloneContents());
      parts.push(holder.innerHTML);
    }
  }
  page.selection = parts.join('');
  page.selectedCount = parts.length;
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
