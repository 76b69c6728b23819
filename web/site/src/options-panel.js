// The options panel of a document (Edit > Format): Details 0-4, Results and the line
// length. It opens with the document's values and reloads them whenever the focus comes
// into it from outside; OK stores all three, checks the line length (with the desktop's
// message and 79 when it is out of range) and closes it. Each document keeps its own.

import { kLineRangeMessage, lineWidthFromText } from './line-length.js';
import { showMessage } from './message-box.js';

export const kDetailCaptions = [
  'Comment + evaluations', 'Step by step + comment', 'Step by step only', 'Macrosteps', 'Nothing',
];

export class OptionsPanel {
  constructor(element, { onStore, onClose }) {
    this.element = element;
    this.onStore = onStore;
    this.onClose = onClose;
    this.document = null;
    element.innerHTML = `
      <fieldset class="details">
        <legend>Details</legend>
        ${kDetailCaptions.map((caption, i) => `
          <label><input type="radio" name="details" value="${i}"> ${caption}</label>`).join('')}
      </fieldset>
      <label class="results"><input type="checkbox" name="results"> Results</label>
      <div class="line-length">
        <label for="line-length">String length opt.:</label>
        <input id="line-length" name="width" type="text" inputmode="numeric" size="4" value="79"
               aria-describedby="line-range">
        <span id="line-range">(21-250)</span>
      </div>
      <button type="submit" class="ok">OK</button>`;
    element.setAttribute('aria-label', 'Format');
    element.addEventListener('submit', (event) => {
      event.preventDefault();
      this.store();
    });
    element.addEventListener('focusin', (event) => {
      if (!element.contains(event.relatedTarget)) this.load();
    });
  }

  get isOpen() { return !this.element.hidden; }

  open(doc) {
    this.document = doc;
    this.element.hidden = false;
    this.load();
    const chosen = this.element.querySelector('input[name="details"]:checked');
    chosen.focus();
  }

  // Hides the panel without storing (its document went out of view).
  hide() {
    this.element.hidden = true;
    this.document = null;
  }

  load() {
    if (!this.document) return;
    const { details, results, width } = this.document.options;
    this.element.elements.width.value = String(width);
    this.element.elements.results.checked = results;
    for (const radio of this.element.querySelectorAll('input[name="details"]')) radio.checked = Number(radio.value) === details;
  }

  async store() {
    const doc = this.document;
    if (!doc) return;
    const chosen = this.element.querySelector('input[name="details"]:checked');
    const { width, inRange } = lineWidthFromText(this.element.elements.width.value);
    const options = {
      details: chosen ? Number(chosen.value) : doc.options.details,
      results: this.element.elements.results.checked,
      width,
    };
    this.onStore(doc, options);
    if (!inRange) await showMessage(kLineRangeMessage);
    this.hide();
    this.onClose(doc);
  }
}
