// Files on the user's disk: Open reads one (as Latin-1 text with CR LF line breaks, the
// desktop's document format), Save writes the document back to the file it came from
// where the browser lets a page do so (File System Access API), and otherwise, and
// always for a document that has no file, offers it as a download named after it.

import { documentBytesFromText, latin1String, textFromDocumentBytes } from './document-text.js';

const kTextTypes = [{ description: 'Text files', accept: { 'text/plain': ['.txt'] } }];

export const canWriteFiles = typeof window.showSaveFilePicker === 'function';

// Asks for a file and reads it: { name, text, handle } or null when cancelled.
export async function openTextFile() {
  if (typeof window.showOpenFilePicker === 'function') {
    let handles;
    try {
      handles = await window.showOpenFilePicker({ multiple: false });
    } catch (error) {
      if (error.name === 'AbortError') return null;
      throw error;
    }
    const file = await handles[0].getFile();
    return { name: file.name, text: await readText(file), handle: handles[0] };
  }
  const file = await chooseFileByInput();
  return file ? { name: file.name, text: await readText(file), handle: null } : null;
}

// Asks for any file and gives its bytes as a Latin-1 string: { name, text } or null.
export async function openRawFile() {
  const file = await chooseFileByInput();
  if (!file) return null;
  return { name: file.name, text: latin1String(new Uint8Array(await file.arrayBuffer())) };
}

export async function readText(file) {
  return textFromDocumentBytes(new Uint8Array(await file.arrayBuffer()));
}

function chooseFileByInput() {
  return new Promise((resolve) => {
    const input = document.createElement('input');
    input.type = 'file';
    input.addEventListener('change', () => resolve(input.files[0] ?? null), { once: true });
    input.addEventListener('cancel', () => resolve(null), { once: true });
    input.click();
  });
}

// Writes the text to a file handle (bytes as the desktop writes them).
export async function writeToHandle(handle, text) {
  if (handle.queryPermission && (await handle.queryPermission({ mode: 'readwrite' })) !== 'granted') {
    if ((await handle.requestPermission({ mode: 'readwrite' })) !== 'granted') throw new Error(`Cannot create file ${handle.name}`);
  }
  const writable = await handle.createWritable();
  await writable.write(documentBytesFromText(text));
  await writable.close();
}

// Asks where to save, with the browser's own dialog: the handle, or null when cancelled.
export async function chooseSaveHandle(suggestedName, types = kTextTypes) {
  try {
    return await window.showSaveFilePicker({ suggestedName, types });
  } catch (error) {
    if (error.name === 'AbortError') return null;
    throw error;
  }
}

// Offers bytes (or a string taken as Latin-1) as a download under the name.
export function download(name, content, type = 'text/plain') {
  const blob = content instanceof Blob ? content : new Blob([content], { type });
  const url = URL.createObjectURL(blob);
  const link = document.createElement('a');
  link.href = url;
  link.download = name;
  link.style.display = 'none';
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(url), 60000);
}

export function downloadDocument(name, text) {
  download(name, documentBytesFromText(text));
}
