// Documents on disk are 8-bit text with CR LF line breaks; the editor holds a JS string
// with "\n" line breaks. Every byte 0..255 stands for the character of the same code
// (Latin-1), both ways, so that any file comes back unchanged.

// Bytes as a string of the characters of their codes.
export function latin1String(bytes) {
  const parts = [];
  const piece = 0x8000;
  for (let i = 0; i < bytes.length; i += piece) {
    parts.push(String.fromCharCode.apply(null, bytes.subarray(i, Math.min(i + piece, bytes.length))));
  }
  return parts.join('');
}

// The editor's text for document bytes: CR LF, a lone CR and a lone LF each become "\n",
// every other byte the character of its code.
export function textFromDocumentBytes(bytes) {
  return latin1String(bytes).replace(/\r\n?/g, '\n');
}

// Document bytes for the editor's text: each "\n" becomes CR LF, every character up to
// 255 its byte. Characters above 255 do not reach the text (latin1Input keeps them
// out); should one appear, it is '?'.
export function documentBytesFromText(text) {
  let breaks = 0;
  for (let i = text.indexOf('\n'); i >= 0; i = text.indexOf('\n', i + 1)) breaks++;
  const bytes = new Uint8Array(text.length + breaks);
  let j = 0;
  for (let i = 0; i < text.length; i++) {
    const c = text.charCodeAt(i);
    if (c === 10) {
      bytes[j++] = 13;
      bytes[j++] = 10;
    } else {
      bytes[j++] = c <= 255 ? c : 63;
    }
  }
  return bytes;
}

// Text that the user brings into the editor (typed, pasted, dropped): each UTF-16 unit
// above 255 becomes '?', as the desktop's text control takes them, one for one, so that
// positions stay as they are. Line breaks are the editor's own business.
export function latin1Input(text) {
  return /[^\u0000-\u00ff]/.test(text) ? text.replace(/[^\u0000-\u00ff]/g, '?') : text;
}

// The name part of a file name, and the name with its extension replaced.
export function withExtension(name, extension) {
  const dot = name.lastIndexOf('.');
  return (dot > 0 ? name.slice(0, dot) : name) + extension;
}
