// The program's message boxes, as modal <dialog>s: a message with OK, a question with
// Yes, No and Cancel, and a line of text to type (a file name). Each returns a promise
// of the answer; the focus goes back where it was when the box closes.

function showDialog({ title, text, buttons, input, defaultButton = 0, cancelValue }) {
  return new Promise((resolve) => {
    const returnTo = document.activeElement;
    const dialog = document.createElement('dialog');
    dialog.className = 'message-box';
    dialog.setAttribute('aria-label', title);
    const heading = document.createElement('h2');
    heading.textContent = title;
    const body = document.createElement('p');
    body.className = 'message-text';
    body.textContent = text;
    dialog.append(heading, body);
    let field = null;
    if (input !== undefined) {
      field = document.createElement('input');
      field.type = 'text';
      field.value = input;
      field.setAttribute('aria-label', text);
      dialog.append(field);
    }
    const row = document.createElement('div');
    row.className = 'message-buttons';
    const made = buttons.map(({ caption, value }, i) => {
      const button = document.createElement('button');
      button.type = 'button';
      button.textContent = caption;
      button.addEventListener('click', () => finish(value));
      if (i === defaultButton) button.classList.add('default');
      row.append(button);
      return button;
    });
    dialog.append(row);
    let done = false;
    const finish = (value) => {
      if (done) return;
      done = true;
      const answer = field && value !== cancelValue ? { value, text: field.value } : value;
      dialog.close();
      dialog.remove();
      if (returnTo && returnTo.isConnected) returnTo.focus();
      resolve(answer);
    };
    dialog.addEventListener('cancel', (event) => {
      event.preventDefault();
      finish(cancelValue);
    });
    dialog.addEventListener('keydown', (event) => {
      if (event.key === 'Enter' && (event.target === field || event.target === dialog)) {
        event.preventDefault();
        finish(buttons[defaultButton].value);
      }
    });
    document.body.append(dialog);
    dialog.showModal();
    (field ?? made[defaultButton]).focus();
    if (field) field.select();
  });
}

// A message with an OK button. The text's CR LF line breaks are lines of their own.
export function showMessage(text, title = 'Lumenark') {
  return showDialog({ title, text: text.replace(/\r\n/g, '\n'), buttons: [{ caption: 'OK', value: 'ok' }], cancelValue: 'ok' });
}

// Yes, No or Cancel: 'yes', 'no' or 'cancel'.
export function askYesNoCancel(text, title = 'Confirm') {
  return showDialog({
    title, text,
    buttons: [{ caption: 'Yes', value: 'yes' }, { caption: 'No', value: 'no' }, { caption: 'Cancel', value: 'cancel' }],
    cancelValue: 'cancel',
  });
}

// A line of text, or null when cancelled.
export async function askText(text, preset, title = 'Lumenark') {
  const answer = await showDialog({
    title, text, input: preset,
    buttons: [{ caption: 'OK', value: 'ok' }, { caption: 'Cancel', value: 'cancel' }],
    cancelValue: 'cancel',
  });
  return answer === 'cancel' ? null : answer.text;
}
