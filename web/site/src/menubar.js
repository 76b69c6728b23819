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
    const target = event.target;
    const topIndex = this.tops.indexOf(target);
    const level = this.openStack.findIndex((l) => l.entries.includes(target));
    const key = event.key;
    const handled = () => { event.preventDefault(); event.stopPropagation(); };
    if (topIndex >= 0) {
      if (key === 'ArrowRight' || key === 'ArrowLeft') {
        const next = (topIndex + (key === 'ArrowRight' ? 1 : this.tops.length - 1)) % this.tops.length;
        if (this.openStack.length) this.openTop(next, 'first');
        else { this.setRoving(this.tops[next]); this.tops[next].focus(); }
        handled();
      } else if (key === 'ArrowDown' || key === 'Enter' || key === ' ') {
        this.openTop(topIndex, 'first');
        handled();
      } else if (key === 'ArrowUp') {
        this.openTop(topIndex, 'last');
        handled();
      } else if (key === 'Home' || key === 'End') {
        const t = key === 'Home' ? this.tops[0] : this.tops[this.tops.length - 1];
        this.setRoving(t);
        t.focus();
        handled();
      } else if (key === 'Escape') {
        this.closeAll(false);
        this.returnFocus();
        handled();
      } else if (key.length === 1 && !event.ctrlKey && !event.altKey) {
        const t = this.tops.find((b) => b.textContent.toLowerCase().startsWith(key.toLowerCase()));
        if (t) { this.setRoving(t); t.focus(); handled(); }
      }
      return;
    }
    if (level < 0) return;
    const { entries } = this.openStack[level];
    const i = entries.indexOf(target);
    const item = target.menuEntry;
    if (key === 'ArrowDown' || key === 'ArrowUp') {
      entries[(i + (key === 'ArrowDown' ? 1 : entries.length - 1)) % entries.length].focus();
      handled();
    } else if (key === 'Home' || key === 'End') {
      entries[key === 'Home' ? 0 : entries.length - 1].focus();
      handled();
    } else if (key === 'ArrowRight') {
      if (item.submenu) this.openSubmenu(target, item, 'first');
      else this.openTop((this.tops.indexOf(this.openStack[0].owner) + 1) % this.tops.length, 'first');
      handled();
    } else if (key === 'ArrowLeft') {
      if (level > 0) {
        const owner = this.openStack[level].owner;
        this.closeFrom(level);
        owner.focus();
      } else {
        const t = this.tops.indexOf(this.openStack[0].owner);
        this.openTop((t + this.tops.length - 1) % this.tops.length, 'first');
      }
      handled();
    } else if (key === 'Enter' || key === ' ') {
      if (item.submenu) this.openSubmenu(target, item, 'first');
      else this.activate(item);
      handled();
    } else if (key === 'Escape') {
      const owner = this.openStack[level].owner;
      this.closeFrom(level);
      owner.focus();
      handled();
    } else if (key === 'Tab') {
      this.closeAll(false);
      this.returnFocus();
      handled();
    } else if (key.length === 1 && !event.ctrlKey && !event.altKey) {
      const start = i + 1;
      for (let k = 0; k < entries.length; k++) {
        const e = entries[(start + k) % entries.length];
        if (e.getAttribute('aria-label').toLowerCase().startsWith(key.toLowerCase())) { e.focus(); break; }
      }
      handled();
    }
  }
}
