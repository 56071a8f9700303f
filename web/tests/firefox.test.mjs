// The page's main paths again in Debian's firefox-esr, driven through WebDriver BiDi; the
// browser keeps its own language (en-US), so numbers are written with a point.
import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';
import {
  altKey, fieldIds, launch, openBox, openPage, pageUrl, pressOk, resultIds, setField, texts,
  waitForBox,
} from './browser.mjs';

const startUpEn = ['2.16', '2.16', '0.151', '0.558', '0.238', '0.345', '0.202', '0.36', '0.246',
  '0.54', '0.021', '0.24', '4.628', '6.12'];

let browser;
before(async () => { browser = await launch({ firefox: true }); });
after(async () => { await browser?.close(); });

test('firefox: start-up results, focus on Picture1, nothing fetched, no error', async () => {
  const { page, seen } = await openPage(browser, { locale: 'en-US' });
  assert.deepEqual(await texts(page, resultIds), startUpEn);
  assert.deepEqual(await texts(page, fieldIds), ['600', '1', '80', '100', '70', '60']);
  assert.equal(await page.evaluate(() => document.activeElement.id), 'Picture1');
  assert.deepEqual(seen.requests.filter((url) => url !== pageUrl && !url.startsWith('data:')), []);
  assert.deepEqual(seen.errors, []);
  await page.close();
});

test('firefox: two rejected fields, two boxes in field order, resets and results', async () => {
  const { page } = await openPage(browser, { locale: 'en-US' });
  await setField(page, 'Text3', 'abc');
  await setField(page, 'Text6', '100');
  await altKey(page, 'S');
  assert.deepEqual(await waitForBox(page), {
    title: 'HIBÁS ADAT', text: 'Adjon meg számot!', role: 'alertdialog', focus: 'WarningOk',
  });
  await pressOk(page);
  assert.equal((await waitForBox(page)).text, 'A széntüzelés hatásfoka 0 és 100 % között kell legyen!');
  await pressOk(page);
  assert.equal(await openBox(page), null);
  assert.deepEqual(await texts(page, ['Text3', 'Text6']), ['80', '60']);
  assert.deepEqual(await texts(page, resultIds), startUpEn);
  await page.close();
});

test('firefox: Tab goes round the focus order; Alt+K ends the program', async () => {
  const { page } = await openPage(browser, { locale: 'en-US' });
  const order = [await page.evaluate(() => document.activeElement.id)];
  for (let i = 0; i < 15; ++i) {
    await page.keyboard.press('Tab');
    order.push(await page.evaluate(() => document.activeElement.id));
  }
  assert.deepEqual(order, ['Picture1', 'Text3', 'Text4', 'Text5', 'Text6', 'Command1', 'Picture2',
    'Text2', 'Text1', 'Command2', 'Picture3', 'Picture4', 'Picture5', 'Picture6', 'Picture7',
    'Picture1']);
  await altKey(page, 'K');
  assert.deepEqual(await page.evaluate(() => [document.getElementById('Form1').hidden,
    document.querySelector('#Ended p').textContent]), [true, 'A program befejeződött.']);
  await page.close();
});
