// The panel beside the documents: a picture (Karnaugh map, tableau, truth table) with
// Print, Save and Close, or the user manual. Opening it adds a step to the browser's
// history, so that the back button closes it, as a user of the web expects.

import { download } from './files.js';
import { svgFile } from './pictures/svg.js';

export class SidePanel {
  constructor(element, { returnFocus }) {
    this.element = element;
    this.returnFocus = returnFocus;
    this.title = element.querySelector('.side-title');
    this.body = element.querySelector('.side-body');
    this.printButton = element.querySelector('[data-action="print-picture"]');
    this.saveButton = element.querySelector('[data-action="save-picture"]');
    this.current = null;
    element.querySelector('[data-action="close-side"]').addEventListener('click', () => this.close());
    this.printButton.addEventListener('click', () => this.print());
    this.saveButton.addEventListener('click', () => this.save());
    element.addEventListener('keydown', (event) => {
      if (event.key === 'Escape' && !event.defaultPrevented) {
        event.preventDefault();
        this.close();
      }
    });
    window.addEventListener('popstate', () => {
      if (!history.state?.side && !this.element.hidden) this.hide();
    });
  }

  get isOpen() { return !this.element.hidden; }

  // content: { kind: 'picture' | 'manual', title, node, fileName, file(): Blob, printable(): Node }
  show(content) {
    this.current = content;
    this.title.textContent = content.title;
    this.body.replaceChildren(content.node);
    this.element.dataset.kind = content.kind;
    this.element.setAttribute('aria-label', content.title);
    const picture = content.kind === 'picture';
    this.printButton.hidden = !picture;
    this.saveButton.hidden = !picture;
    if (this.element.hidden) {
      this.element.hidden = false;
      document.body.classList.add('with-side');
      if (!history.state?.side) history.pushState({ side: content.kind }, '', content.kind === 'manual' ? '#help' : location.hash || '#');
    }
  }

  // The Close button and Escape. (Going back in history instead would first take the
  // manual's own pages back, one by one.)
  close() {
    this.hide();
  }

  hide() {
    this.element.hidden = true;
    document.body.classList.remove('with-side');
    this.body.replaceChildren();
    this.current = null;
    if (location.hash === '#help') history.replaceState(history.state, '', location.pathname + location.search);
    this.returnFocus();
  }

  // Prints the picture alone: the page's print style shows only the print copy.
  print() {
    if (!this.current?.printable) return;
    const copy = document.getElementById('print-copy');
    copy.replaceChildren(this.current.printable());
    document.body.classList.add('printing-picture');
    window.print();
    document.body.classList.remove('printing-picture');
    copy.replaceChildren();
  }

  save() {
    if (!this.current?.file) return;
    download(this.current.fileName, this.current.file());
  }
}

export function svgContent(title, svg, fileName) {
  const holder = document.createElement('div');
  holder.className = 'picture';
  holder.append(svg);
  return {
    kind: 'picture', title, node: holder, fileName,
    file: () => new Blob([svgFile(svg)], { type: 'image/svg+xml' }),
    printable: () => svg.cloneNode(true),
  };
}
