// The strip of document tabs (the frame's windows): a WAI-ARIA tablist, one tab per
// document with its name (and a dot while it has changes not saved to its file), a
// close button beside each. Arrow keys, Home and End move between tabs.

export class DocumentTabs {
  constructor(element, { onSelect, onClose }) {
    this.element = element;
    this.onSelect = onSelect;
    this.onClose = onClose;
    this.list = element.querySelector('[role="tablist"]');
    this.list.addEventListener('keydown', (event) => this.onKey(event));
  }

  add(doc, before = null) {
    const holder = document.createElement('div');
    holder.className = 'tab-holder';
    holder.setAttribute('role', 'presentation');
    const tab = document.createElement('button');
    tab.type = 'button';
    tab.className = 'tab';
    tab.id = `tab-${doc.id}`;
    tab.setAttribute('role', 'tab');
    tab.setAttribute('aria-controls', doc.panel.id);
    tab.setAttribute('aria-selected', 'false');
    tab.tabIndex = -1;
    tab.addEventListener('click', () => this.onSelect(doc));
    const close = document.createElement('button');
    close.type = 'button';
    close.className = 'tab-close';
    close.tabIndex = -1;
    // For the mouse: the keyboard closes a tab with Delete (or File > Close, Alt+W), and a
    // tab list holds tabs only.
    close.setAttribute('aria-hidden', 'true');
    close.textContent = '\u00d7';
    close.addEventListener('click', (event) => {
      event.stopPropagation();
      this.onClose(doc);
    });
    holder.append(tab, close);
    this.list.insertBefore(holder, before?.tab?.parentElement ?? null);
    doc.tab = tab;
    doc.tabClose = close;
    doc.panel.setAttribute('aria-labelledby', tab.id);
    this.update(doc);
  }

  remove(doc) { doc.tab.parentElement.remove(); }

  update(doc) {
    doc.tab.textContent = doc.modified ? `${doc.name} \u2022` : doc.name;
    doc.tab.title = doc.modified ? `${doc.name} (changed)` : doc.name;
    doc.tab.setAttribute('aria-label', doc.modified ? `${doc.name}, changed` : doc.name);
    doc.tabClose.title = `Close ${doc.name}`;
  }

  select(doc) {
    for (const tab of this.list.querySelectorAll('[role="tab"]')) {
      const on = tab === doc?.tab;
      tab.setAttribute('aria-selected', String(on));
      tab.tabIndex = on ? 0 : -1;
    }
    doc?.tab.scrollIntoView({ block: 'nearest', inline: 'nearest' });
  }

  onKey(event) {
    const tabs = [...this.list.querySelectorAll('[role="tab"]')];
    const i = tabs.indexOf(event.target);
    if (i < 0) return;
    let next = null;
    if (event.key === 'ArrowRight') next = tabs[(i + 1) % tabs.length];
    else if (event.key === 'ArrowLeft') next = tabs[(i + tabs.length - 1) % tabs.length];
    else if (event.key === 'Home') next = tabs[0];
    else if (event.key === 'End') next = tabs[tabs.length - 1];
    else if (event.key === 'Delete') {
      event.preventDefault();
      tabs[i].parentElement.querySelector('.tab-close').click();
      return;
    }
    if (next) {
      event.preventDefault();
      next.click();
      next.focus();
    }
  }
}
