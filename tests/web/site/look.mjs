// Screenshots of the page as a user sees it, at desktop and phone widths (not a test):
//   node tests/web/site/look.mjs OUTDIR [SCRIPT...]
import { launch, openWorkbench } from './harness.mjs';
const out = process.argv[2] ?? '/tmp';
const site = await launch();
try {
  for (const [name, viewport] of [['desktop', { width: 1280, height: 800 }], ['phone', { width: 390, height: 800 }]]) {
    const context = await site.browser.newContext({ viewport });
    const page = await openWorkbench(context, site.url, { engine: false });
    await page.keyboard.insertText('(A>B)&A>B');
    await page.screenshot({ path: `${out}/${name}.png` });
    await page.getByRole('menubar').getByRole('menuitem', { name: 'Formula', exact: true }).click();
    await page.screenshot({ path: `${out}/${name}-menu.png` });
    await page.keyboard.press('Escape');
    await context.close();
  }
} finally {
  await site.close();
}
