// Requests to the native host (`wisp native-host`): one message, one reply. A reply that says
// the request was refused becomes an error carrying the host's message, which is the message
// the bar shows for the same refusal.
export const HOST_NAME = 'wisp.native_host';

export class HostError extends Error {
  // `taken`: the page's name is taken, and the reader may choose to replace or keep both.
  constructor(message, taken = false) {
    super(message);
    this.taken = taken;
  }
}

export async function ask(request) {
  let reply;
  try {
    reply = await chrome.runtime.sendNativeMessage(HOST_NAME, request);
  } catch (failure) {
    throw new HostError(
      'Wisp is not reachable: ' + failure.message +
      '\nInstall it for this browser with "wisp browser-install".');
  }
  if (!reply || !reply.ok) {
    throw new HostError(reply ? reply.error : 'Wisp gave no answer.', Boolean(reply && reply.taken));
  }
  return reply;
}

// A request answered after notices of its progress (`onProgress` hears each), over a
// connection of its own: a long one keeps no other request waiting.
export function askSite(request, onProgress) {
  return new Promise((resolve, reject) => {
    const connection = chrome.runtime.connectNative(HOST_NAME);
    let settled = false;
    connection.onMessage.addListener((message) => {
      if (message.progress) {
        onProgress(message.progress);
        return;
      }
      settled = true;
      connection.disconnect();
      if (message.ok) {
        resolve(message);
      } else {
        reject(new HostError(message.error, Boolean(message.taken)));
      }
    });
    connection.onDisconnect.addListener(() => {
      if (!settled) {
        const failure = chrome.runtime.lastError;
        reject(new HostError('Wisp closed the connection' +
                             (failure ? ': ' + failure.message : '.')));
      }
    });
    connection.postMessage({...request, id: 1});
  });
}

// The reader's cookies for the page at `url`, as the host takes them: what it fetches again
// for the page then comes as the reader saw it, pictures behind their session too.
export async function cookiesFor(url) {
  if (!chrome.cookies || !/^https?:/i.test(url || '')) {
    return [];
  }
  const cookies = await chrome.cookies.getAll({url}).catch(() => []);
  return cookies.map((cookie) => ({
    name: cookie.name, value: cookie.value, domain: cookie.domain, path: cookie.path,
    secure: cookie.secure, httpOnly: cookie.httpOnly,
    expires: cookie.session ? -1 : cookie.expirationDate,
  }));
}

// Every item of a folder, however many pages of replies the host answers with.
export async function listFolder(book, path) {
  const items = [];
  let offset = 0;
  for (;;) {
    const reply = await ask({request: 'list', book, path, offset});
    items.push(...reply.items);
    if (reply.next === undefined) {
      return items;
    }
    offset = reply.next;
  }
}

// Requests over one connection kept open, for what must outlive a single reply: the host's
// loopback server of the library lives as long as this connection.
let port = null;
let lastId = 0;
const waiting = new Map();

export function askKept(request) {
  if (!port) {
    port = chrome.runtime.connectNative(HOST_NAME);
    port.onMessage.addListener((reply) => {
      const settle = waiting.get(reply.id);
      waiting.delete(reply.id);
      if (settle) {
        settle(reply);
      }
    });
    port.onDisconnect.addListener(() => {
      port = null;
      for (const settle of waiting.values()) {
        settle(null);
      }
      waiting.clear();
    });
  }
  const id = ++lastId;
  return new Promise((resolve, reject) => {
    waiting.set(id, (reply) => {
      if (reply && reply.ok) {
        resolve(reply);
      } else {
        reject(new HostError(reply ? reply.error : 'Wisp closed the connection.'));
      }
    });
    port.postMessage({...request, id});
  });
}
