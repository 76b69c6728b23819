// Nothing typed is lost: a reload brings every document back as it was; a second tab
// starts with documents of its own and does not overwrite the first's; when every tab
// is gone, the next one takes over all documents; and after the first visit the page
// opens and runs commands without a network.

import { test, after, before } from 'node:test';
import assert from 'node:assert/strict';
import { documentText, editor, launch, openWorkbench, pressCommandKey } from './harness.mjs';

let site, context;

before(async () => {
  site = await launch();
  context = await site.browser.newContext({ viewport: { width: 1000, height: 700 } });
});

after(async () => site?.close());

async function texts(page) {
  const tabs = page.getByRole('tab');
  const result = [];
  for (let i = 0; i < await tabs.count(); i++) {
    await tabs.nth(i).click();
    result.push(await documentText(page));
  }
  return result;
}

async function stored(page) {
  await page.waitForSelector('body[data-stored="yes"]');
}

test('a first visit has one empty document with the caret in it', async () => {
  const page = await openWorkbench(context, site.url, { engine: false });
  assert.equal(await page.getByRole('tab').count(), 1);
  assert.equal(await documentText(page), '');
  assert.ok(await editor(page).evaluate((node) => node.contains(document.activeElement)));
  await page.close();
});

test('a reload brings every document back; a second tab does not overwrite them', async () => {
  const first = await openWorkbench(context, site.url);
  // The previous test's page is gone: its empty document is this page's now. Its
  // formula is compiled: the tree comes back too.
  await first.keyboard.insertText('A&B');
  await first.keyboard.press('Control+A');
  await pressCommandKey(first, 'Control+F9');
  await first.waitForSelector('body[data-trees-kept="1"]');
  await first.keyboard.press('Alt+N');
  await first.keyboard.insertText('first tab, second document\nA|B');
  await stored(first);
  const before = await texts(first);
  assert.deepEqual(before.slice(-2), ['A&B\n', 'first tab, second document\nA|B']);

  await first.reload();
  await first.waitForSelector('body[data-ready="yes"]');
  assert.deepEqual(await texts(first), before);
  // Decompile, with nothing selected, prints the tree the document had.
  await first.getByRole('tab').nth(before.length - 2).click();
  await first.keyboard.press('Control+End');
  await pressCommandKey(first, 'Shift+F9');
  assert.equal(await documentText(first), 'A&B\nA&B\n');
  await first.keyboard.press('Control+Z');
  await stored(first);
  assert.deepEqual(await texts(first), before);

  const second = await openWorkbench(context, site.url);
  assert.equal(await second.getByRole('tab').count(), 1, 'a second tab starts with one document of its own');
  await second.keyboard.insertText('second tab');
  await stored(second);
  await first.reload();
  await first.waitForSelector('body[data-ready="yes"]');
  assert.deepEqual(await texts(first), before, 'the second tab left the first\'s documents alone');

  // With both tabs closed, a new one has every document.
  await first.close();
  await second.close();
  const third = await openWorkbench(context, site.url, { engine: false });
  const all = await texts(third);
  for (const text of [...before, 'second tab']) assert.ok(all.includes(text), `${JSON.stringify(text)} is back`);
  await third.close();
});

test('after the first visit the page opens and works offline', async () => {
  const page = await openWorkbench(context, site.url);
  await page.waitForSelector('body[data-offline="ready"]');
  await context.setOffline(true);
  try {
    await page.reload();
    await page.waitForSelector('body[data-ready="yes"]');
    await page.waitForSelector('body[data-engine="signal"], body[data-engine="restart"]');
    await page.keyboard.press('Alt+N');
    await page.keyboard.insertText('(A>B)&A>B');
    await page.keyboard.press('Control+A');
    await pressCommandKey(page, 'F8');
    assert.match(await documentText(page), /^\(A>B\)&A>B\n.*valid/s);
  } finally {
    await context.setOffline(false);
  }
});
