// The menu bar: a WAI-ARIA menubar of menus of menu items, worked by mouse and by
// keyboard as a desktop menu bar is (F10 or Tab to reach it; arrows, Home, End, Enter,
// Space, Escape and the first letter of a caption inside it), and the menu keys of every
// item, which work wherever the focus is.
//
// A menu is { caption, items } where items is an array or a function that returns one
// (the Window menu lists the documents open now). An item is { caption, key, action,
// bound, checked, radio, id }, a separator { separator: true }, or a submenu { submenu,
// items }. bound: false shows a key that something else answers (the text editor).

import { ariaKeyShortcut, matchesKey, parseKey } from './keys.js';

export class Menubar {
  constructor(element, menus, { canRun = () => true, returnFocus = () => {} } = {}) {
    this.element = element;
    this.menus = menus;
    this.canRun = canRun;
    this.returnFocus = returnFocus;
    this.openStack = [];  // the open menus, outermost first: { menu, element, owner }
    this.tops = [];
    element.setAttribute('role', 'menubar');
    element.setAttribute('aria-label', 'Menu');
    menus.forEach((menu, i) => this.tops.push(this.makeTop(menu, i)));
    this.tops[0].tabIndex = 0;
    element.addEventListener('keydown', (event) => this.onKey(event));
    document.addEventListener('pointerdown', (event) => {
      if (this.openStack.length && !this.element.contains(event.target)) this.closeAll(false);
    });
    element.addEventListener('focusout', (event) => {
      if (this.openStack.length && !this.element.contains(event.relatedTarget)) this.closeAll(false);
    });
  }

  makeTop(menu, index) {
    const top = document.createElement('button');
    top.type = 'button';
    top.className = 'menubar-item';
    top.setAttribute('role', 'menuitem');
    top.setAttribute('aria-haspopup', 'menu');
    top.setAttribute('aria-expanded', 'false');
    top.tabIndex = -1;
    top.textContent = menu.caption;
    top.dataset.menu = menu.caption;
    top.addEventListener('click', () => {
      if (this.openStack[0]?.owner === top) this.closeAll(true);
      else this.openTop(index, 'none');
    });
    top.addEventListener('pointerenter', () => {
      if (this.openStack.length && this.openStack[0].owner !== top) this.openTop(index, 'none');
    });
    const holder = document.createElement('div');
    holder.className = 'menubar-slot';
    holder.setAttribute('role', 'none');
    holder.append(top);
    this.element.append(holder);
    return top;
  }

  // The menu keys: run the item whose key this is, wherever the focus is.
  handleShortcut(event) {
    for (const item of this.allItems()) {
      if (!item.key || item.bound === false || !item.action) continue;
      item.parsedKey ??= parseKey(item.key);
      if (matchesKey(event, item.parsedKey)) {
        event.preventDefault();
        event.stopPropagation();
        if (this.openStack.length) {
          this.closeAll(false);
          this.returnFocus();
        }
        if (this.canRun(item)) item.action();
        return true;
      }
    }
    return false;
  }

  *allItems() {
    const walk = function* (items) {
      for (const item of items) {
        if (item.submenu) yield* walk(item.items);
        else if (!item.separator) yield item;
      }
    };
    for (const menu of this.menus) yield* walk(typeof menu.items === 'function' ? menu.items() : menu.items);
  }

  focusBar() {
    const current = this.tops.find((t) => t.tabIndex === 0) ?? this.tops[0];
    current.focus();
  }

  setRoving(top) {
    for (const t of this.tops) t.tabIndex = t === top ? 0 : -1;
  }

  openTop(index, focus) {
    this.closeAll(false, true);
    const top = this.tops[index];
    this.setRoving(top);
    const menu = this.menus[index];
    const items = typeof menu.items === 'function' ? menu.items() : menu.items;
    this.openMenu(top, menu.caption, items, focus, false);
    if (focus === 'none') top.focus();
  }

  openMenu(owner, caption, items, focus, nested) {
    const list = document.createElement('div');
    list.setAttribute('role', 'menu');
    list.setAttribute('aria-label', caption);
    list.className = nested ? 'menu submenu' : 'menu';
    const entries = [];
    for (const item of items) {
      if (item.separator) {
        const line = document.createElement('div');
        line.setAttribute('role', 'separator');
        line.className = 'menu-separator';
        list.append(line);
        continue;
      }
      const row = document.createElement('div');
      row.className = 'menu-item';
      row.tabIndex = -1;
      const checked = item.checked ? item.checked() : undefined;
      row.setAttribute('role', checked === undefined ? 'menuitem' : item.radio ? 'menuitemradio' : 'menuitemcheckbox');
      if (checked !== undefined) row.setAttribute('aria-checked', String(checked));
      row.setAttribute('aria-label', item.submenu ?? item.caption);
      if (item.id) row.dataset.id = item.id;
      const mark = document.createElement('span');
      mark.className = 'menu-check';
      mark.setAttribute('aria-hidden', 'true');
      mark.textContent = checked ? '\u2713' : '';
      const label = document.createElement('span');
      label.className = 'menu-caption';
      label.textContent = item.submenu ?? item.caption;
      const key = document.createElement('span');
      key.className = 'menu-key';
      key.setAttribute('aria-hidden', 'true');
      if (item.submenu) {
        row.setAttribute('aria-haspopup', 'menu');
        row.setAttribute('aria-expanded', 'false');
        key.textContent = '\u25B8';
      } else if (item.key) {
        key.textContent = item.key;
        if (item.bound !== false) row.setAttribute('aria-keyshortcuts', ariaKeyShortcut(item.key));
      }
      row.append(mark, label, key);
      row.addEventListener('click', (event) => {
        event.stopPropagation();
        if (item.submenu) this.openSubmenu(row, item, 'first');
        else this.activate(item);
      });
      row.addEventListener('pointerenter', () => {
        const level = this.levelOf(list);
        if (this.openStack[level + 1]?.owner === row) return;
        this.closeFrom(level + 1);
        if (item.submenu) this.openSubmenu(row, item, 'none');
        row.focus();
      });
      row.menuEntry = item;
      if (item.submenu) {
        // A submenu opens beside its item, in a holder made for it now, so that opening
        // and closing it never moves the item.
        const slot = document.createElement('div');
        slot.className = 'submenu-slot';
        slot.setAttribute('role', 'none');
        slot.append(row);
        list.append(slot);
      } else {
        list.append(row);
      }
      entries.push(row);
    }
    owner.setAttribute('aria-expanded', 'true');
    owner.parentElement.append(list);
    this.openStack.push({ element: list, owner, entries });
    if (focus === 'first') entries[0]?.focus();
    if (focus === 'last') entries[entries.length - 1]?.focus();
    return list;
  }

  openSubmenu(row, item, focus) {
    const level = this.levels().findIndex((l) => l.entries.includes(row));
    if (this.openStack[level + 1]?.owner === row) {
      if (focus === 'first') this.openStack[level + 1].entries[0]?.focus();
      return;
    }
    this.closeFrom(level + 1);
    this.openMenu(row, item.submenu, item.items, focus, true);
  }

  levels() { return this.openStack; }

  levelOf(list) { return this.openStack.findIndex((l) => l.element === list); }

  closeFrom(level) {
    while (this.openStack.length > level) {
      const { element, owner } = this.openStack.pop();
      element.remove();
      owner.setAttribute('aria-expanded', 'false');
    }
  }

  closeAll(focusTop, keepFocus = false) {
    const top = this.openStack[0]?.owner;
    this.closeFrom(0);
    if (keepFocus) return;
    if (focusTop && top) top.focus();
  }

  activate(item) {
    this.closeAll(false);
    this.returnFocus();
    if (item.action && this.canRun(item)) item.action();
  }

  onKey(event) {
    const topIndex = this.tops.indexOf(event.target);
    const level = this.openStack.findIndex((l) => l.entries.includes(event.target));
    const handled = topIndex >= 0 ? this.onBarKey(event, topIndex) : level >= 0 && this.onMenuKey(event, level);
    if (handled) {
      event.preventDefault();
      event.stopPropagation();
    }
  }

  // A key on a menu of the bar itself; whether it was the bar's.
  onBarKey(event, index) {
    const key = event.key;
    const count = this.tops.length;
    if (key === 'ArrowRight' || key === 'ArrowLeft') {
      const next = (index + (key === 'ArrowRight' ? 1 : count - 1)) % count;
      if (this.openStack.length) this.openTop(next, 'first');
      else this.focusTop(next);
    } else if (key === 'ArrowDown' || key === 'Enter' || key === ' ') {
      this.openTop(index, 'first');
    } else if (key === 'ArrowUp') {
      this.openTop(index, 'last');
    } else if (key === 'Home' || key === 'End') {
      this.focusTop(key === 'Home' ? 0 : count - 1);
    } else if (key === 'Escape') {
      this.closeAll(false);
      this.returnFocus();
    } else if (isLetter(event)) {
      const next = byFirstLetter(this.tops, key, index, (t) => t.textContent);
      if (next < 0) return false;
      this.focusTop(next);
    } else {
      return false;
    }
    return true;
  }

  // A key on an item of an open menu; whether it was the menu's.
  onMenuKey(event, level) {
    const key = event.key;
    const { entries, owner } = this.openStack[level];
    const i = entries.indexOf(event.target);
    const item = event.target.menuEntry;
    const topOf = () => this.tops.indexOf(this.openStack[0].owner);
    if (key === 'ArrowDown' || key === 'ArrowUp') {
      entries[(i + (key === 'ArrowDown' ? 1 : entries.length - 1)) % entries.length].focus();
    } else if (key === 'Home' || key === 'End') {
      entries[key === 'Home' ? 0 : entries.length - 1].focus();
    } else if (key === 'ArrowRight' && !item.submenu) {
      this.openTop((topOf() + 1) % this.tops.length, 'first');
    } else if (key === 'ArrowRight' || ((key === 'Enter' || key === ' ') && item.submenu)) {
      this.openSubmenu(event.target, item, 'first');
    } else if (key === 'Enter' || key === ' ') {
      this.activate(item);
    } else if ((key === 'ArrowLeft' && level > 0) || key === 'Escape') {
      this.closeFrom(level);
      owner.focus();
    } else if (key === 'ArrowLeft') {
      this.openTop((topOf() + this.tops.length - 1) % this.tops.length, 'first');
    } else if (key === 'Tab') {
      this.closeAll(false);
      this.returnFocus();
    } else if (isLetter(event)) {
      const next = byFirstLetter(entries, key, i, (e) => e.getAttribute('aria-label'));
      if (next >= 0) entries[next].focus();
    } else {
      return false;
    }
    return true;
  }

  focusTop(index) {
    this.setRoving(this.tops[index]);
    this.tops[index].focus();
  }
}

function isLetter(event) { return event.key.length === 1 && !event.ctrlKey && !event.altKey && !event.metaKey; }

// The index of the next element after from whose caption starts with the letter, or -1.
function byFirstLetter(elements, letter, from, captionOf) {
  for (let k = 1; k <= elements.length; k++) {
    const i = (from + k) % elements.length;
    if (captionOf(elements[i]).toLowerCase().startsWith(letter.toLowerCase())) return i;
  }
  return -1;
}
