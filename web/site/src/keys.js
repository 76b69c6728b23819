// Keys as the menus show them ("Ctrl+Shift+F9", "Alt+N", "F8", "Escape") and whether a
// keyboard event is one of them. Letters and digits are matched by the key's place on
// the keyboard (event.code), so that Shift or Alt, which change the character, do not
// change the key; the function keys and the named keys by their name.

const kModifiers = ['Ctrl', 'Alt', 'Shift'];

export function parseKey(text) {
  const parts = text.split('+');
  const name = parts.pop();
  const key = { ctrl: false, alt: false, shift: false, name };
  for (const part of parts) {
    if (!kModifiers.includes(part)) throw new Error(`unknown modifier in ${text}`);
    key[part.toLowerCase()] = true;
  }
  return key;
}

// The name of the key an event is about, in the menus' spelling.
export function eventKeyName(event) {
  const code = event.code || '';
  if (/^Key[A-Z]$/.test(code)) return code.slice(3);
  if (/^Digit[0-9]$/.test(code)) return code.slice(5);
  if (/^F[0-9]{1,2}$/.test(event.key)) return event.key;
  if (event.key && event.key.length === 1) return event.key.toUpperCase();
  return event.key;
}

export function matchesKey(event, key) {
  return event.ctrlKey === key.ctrl && event.altKey === key.alt && event.shiftKey === key.shift &&
    !event.metaKey && eventKeyName(event) === key.name;
}

// The key as ARIA's aria-keyshortcuts writes it ("Control+Shift+F9").
export function ariaKeyShortcut(text) {
  return text.replace(/\bCtrl\b/g, 'Control');
}
