// Writes a picture of the page as a Hungarian user first sees it, beside the desktop window's
// docs/window.png: node screenshot.mjs OUTPUT.png [dark|box|phone|2x]
import { launch, openPage, setField } from './browser.mjs';

const [output, variant] = process.argv.slice(2);
if (!output) throw new Error('usage: node screenshot.mjs OUTPUT.png [dark|box|phone|2x]');
const browser = await launch();
try {
  const viewport = variant === 'phone' ? { width: 360, height: 640, deviceScaleFactor: 2 }
    : { width: 492, height: 584, deviceScaleFactor: variant === '2x' ? 2 : 1 };
  const { page } = await openPage(browser, { viewport, scheme: variant === 'dark' ? 'dark' : 'light' });
  if (variant === 'box') {
    await setField(page, 'Text3', 'abc');
    await page.click('#Command1');
    await page.waitForFunction(() => document.getElementById('Warning').open);
  }
  const form = await page.$(variant === 'phone' || variant === 'box' || variant === 'dark' ? 'body' : '#Form1');
  await form.screenshot({ path: output });
} finally {
  await browser.close();
}
