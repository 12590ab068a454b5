// Requests to the native host (`wisp native-host`): one message, one reply. A reply that says
// the request was refused becomes an error carrying the host's message, which is the message
// the bar shows for the same refusal.
export const HOST_NAME = 'wisp.native_host';

export class HostError extends Error {}

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
    throw new HostError(reply ? reply.error : 'Wisp gave no answer.');
  }
  return reply;
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
