import {ask} from './host.js';

// The page's own message and input boxes (a <dialog>), in place of the browser's blocking
// alert and prompt, which a side panel may not show.
function box(caption, text, withInput, value, buttons) {
  return new Promise((resolve) => {
    const dialog = document.createElement('dialog');
    dialog.className = 'box';
    const title = document.createElement('h2');
    title.textContent = caption;
    const message = document.createElement('p');
    message.textContent = text;
    dialog.append(title, message);
    let input = null;
    if (withInput) {
      input = document.createElement('input');
      input.type = 'text';
      input.value = value || '';
      dialog.appendChild(input);
    }
    const row = document.createElement('div');
    row.className = 'buttons';
    for (const [label, answer] of buttons) {
      const button = document.createElement('button');
      button.textContent = label;
      button.addEventListener('click', () => finish(answer));
      row.appendChild(button);
    }
    dialog.appendChild(row);
    function finish(answer) {
      dialog.close();
      dialog.remove();
      resolve(answer === true && input ? input.value : answer);
    }
    dialog.addEventListener('cancel', (event) => {
      event.preventDefault();
      finish(null);
    });
    if (input) {
      input.addEventListener('keydown', (event) => {
        if (event.key === 'Enter') {
          finish(true);
        }
      });
    }
    document.body.appendChild(dialog);
    dialog.showModal();
    if (input) {
      input.select();
    }
  });
}

export function showMessage(text, caption = 'Wisp') {
  return box(caption, text, false, '', [['OK', true]]);
}

// The typed text, or null when cancelled.
export function askText(caption, text, value) {
  return box(caption, text, true, value, [['OK', true], ['Cancel', null]]);
}

export async function askYesNo(text, caption = 'Wisp') {
  return (await box(caption, text, false, '', [['Yes', true], ['No', false]])) === true;
}

// Saves through the host (`send`); when a page of the name is there, the reader chooses what to
// do instead (one of `choices`, each a label and what it adds to the request) or cancels (null).
export async function saveAsking(request, send = ask,
                                 choices = [['Replace', {taken: 'replace'}],
                                            ['Keep both', {taken: 'keepBoth'}]]) {
  try {
    return await send(request);
  } catch (refused) {
    if (!refused.taken) {
      throw refused;
    }
    const choice = await box('Wisp', refused.message + '.', false, '', [...choices, ['Cancel', null]]);
    return choice ? send({...request, ...choice}) : null;
  }
}
