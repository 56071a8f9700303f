// The page in a real browser: Debian's chromium, driven by puppeteer-core.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { after, before, describe, test } from 'node:test';
import {
  altKey, fieldIds, launch, openBox, openPage, pageUrl, pressOk, resultIds, setField, texts,
  waitForBox,
} from './browser.mjs';

const startUpHu = ['2,16', '2,16', '0,151', '0,558', '0,238', '0,345', '0,202', '0,36', '0,246',
  '0,54', '0,021', '0,24', '4,628', '6,12'];
const startUpEn = startUpHu.map((t) => t.replace(',', '.'));

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser?.close(); });

describe('start-up', () => {
  for (const [locale, expected] of [['hu-HU', startUpHu], ['en-US', startUpEn], ['de-DE', startUpHu]]) {
    test(`results at load under ${locale}, focus on Picture1, nothing fetched, no error`, async () => {
      const { page, seen } = await openPage(browser, { locale });
      assert.deepEqual(await texts(page, resultIds), expected);
      assert.deepEqual(await texts(page, fieldIds), ['600', '1', '80', '100', '70', '60']);
      assert.equal(await page.evaluate(() => document.activeElement.id), 'Picture1');
      assert.deepEqual(seen.requests.filter((url) => url !== pageUrl && !url.startsWith('data:')), []);
      assert.deepEqual(seen.errors, []);
      await page.close();
    });
  }

  test('the window is 492 x 584 CSS pixels and keeps its colours under a dark scheme', async () => {
    const { page } = await openPage(browser, { scheme: 'dark' });
    const look = await page.evaluate(() => {
      const style = (id) => getComputedStyle(document.getElementById(id));
      const box = document.getElementById('Form1').getBoundingClientRect();
      return {
        size: [box.width, box.height],
        panel: style('Picture1').backgroundColor,
        field: style('Text3').backgroundColor,
        ink: style('Label11').color,
        footer: style('Label26').color,
      };
    });
    assert.deepEqual(look, {
      size: [492, 584],
      panel: 'rgb(255, 255, 128)',
      field: 'rgb(255, 255, 255)',
      ink: 'rgb(0, 0, 0)',
      footer: 'rgb(128, 0, 0)',
    });
    await page.close();
  });

  test('on a screen narrower than the window it is scaled to fit, not cut', async () => {
    const { page } = await openPage(browser, { viewport: { width: 360, height: 640, deviceScaleFactor: 2 } });
    const fit = await page.evaluate(() => {
      const box = document.getElementById('Form1').getBoundingClientRect();
      return { left: box.left, right: box.right, aspect: box.height / box.width,
        scrolls: document.documentElement.scrollWidth > document.documentElement.clientWidth };
    });
    assert.ok(fit.left >= 0 && fit.right <= 360, `window spans ${fit.left}..${fit.right}`);
    assert.ok(Math.abs(fit.aspect - 584 / 492) < 0.01);
    assert.equal(fit.scrolls, false);
    await page.close();
  });
});

describe('Számítás', () => {
  test('letters in Text3: one box, reset after it closes, then the results', async () => {
    const { page } = await openPage(browser);
    await setField(page, 'Text3', 'abc');
    await altKey(page, 'S');
    assert.deepEqual(await waitForBox(page), {
      title: 'HIBÁS ADAT', text: 'Adjon meg számot!', role: 'alertdialog', focus: 'WarningOk',
    });
    assert.equal((await texts(page, ['Text3']))[0], 'abc', 'the field is reset only after the box');
    await pressOk(page);
    assert.equal(await openBox(page), null);
    assert.equal((await texts(page, ['Text3']))[0], '80');
    assert.deepEqual(await texts(page, resultIds), startUpHu);
    assert.equal(await page.evaluate(() => document.activeElement.id), 'Command1');
    await page.close();
  });

  test('two rejected fields give two boxes in field order, each field reset', async () => {
    const { page } = await openPage(browser);
    await setField(page, 'Text1', 'xyz');
    await setField(page, 'Text4', '0');
    await page.click('#Command1');
    assert.equal((await waitForBox(page)).text, 'Adjon meg számot!');
    await pressOk(page);
    assert.equal((await waitForBox(page)).text, 'A villamos fűtés hatásfoka 0 és 100 % között kell legyen!');
    assert.deepEqual(await texts(page, ['Text1', 'Text4']), ['600', '0'], 'Text4 waits for its box');
    await pressOk(page);
    assert.deepEqual(await texts(page, ['Text1', 'Text4']), ['600', '100']);
    assert.deepEqual(await texts(page, resultIds), startUpHu);
    await page.close();
  });

  // Inputs whose results the calculation's own tests know; the page must show the same texts.
  const cases = [
    { name: 'rounding of the GJ value', locale: 'hu-HU',
      inputs: ['555,55', '12,5', '92', '98', '85', '75'],
      expect: { Label3: '2', Label39: '25', Label11: '1,524', Label12: '6,59', Label14: '3,2',
        Label19: '5', Label23: '44,117', Label24: '56,666' } },
    { name: 'largest accepted inputs', locale: 'hu-HU',
      inputs: ['1499,99', '999,9999', '119,99', '100', '99,99', '99,99'],
      expect: { Label3: '5,4', Label39: '5399,9995', Label12: '1394,99' } },
    { name: 'point as separator', locale: 'en-GB',
      inputs: ['555.55', '12.5', '92', '98', '85', '75'],
      expect: { Label3: '2', Label39: '25', Label11: '1.524', Label24: '56.666' } },
  ];
  for (const c of cases) {
    test(`computes: ${c.name}`, async () => {
      const { page } = await openPage(browser, { locale: c.locale });
      for (const [i, text] of c.inputs.entries()) await setField(page, fieldIds[i], text);
      await page.click('#Command1');
      await page.waitForFunction((want) => document.getElementById('Label3').textContent === want,
        {}, c.expect.Label3);
      assert.equal(await openBox(page), null);
      const ids = Object.keys(c.expect);
      assert.deepEqual(await texts(page, ids), Object.values(c.expect));
      await page.close();
    });
  }

  test('an efficiency that vanishes when divided by 100 gives the error box and dashes', async () => {
    const { page } = await openPage(browser);
    await setField(page, 'Text6', `0,${'0'.repeat(323)}5`);
    await page.click('#Command1');
    assert.equal((await waitForBox(page)).text, 'A számítás a megadott adatokkal nem végezhető el!');
    assert.deepEqual(await texts(page, resultIds), resultIds.map(() => '–'));
    await pressOk(page);
    await page.close();
  });

  test('a megabyte in a field is rejected with its range message, the page stays alive', async () => {
    const { page, seen } = await openPage(browser);
    await setField(page, 'Text1', '9'.repeat(1 << 20));
    await page.click('#Command1');
    assert.equal((await waitForBox(page)).text,
      'A fajlagos energiahozam 0 és 1500 kWh/m2.év között kell legyen!');
    await pressOk(page);
    assert.deepEqual(await texts(page, ['Text1', 'Label3']), ['600', '2,16']);
    assert.deepEqual(seen.errors, []);
    await page.close();
  });

  test('a NUL inside a text is part of it: the text is no number', async () => {
    const { page } = await openPage(browser);
    await setField(page, 'Text1', `600\u0000${'x'.repeat(300)}`);
    await page.click('#Command1');
    assert.equal((await waitForBox(page)).text, 'Adjon meg számot!');
    await pressOk(page);
    assert.equal((await texts(page, ['Text1']))[0], '600');
    await page.close();
  });

  test('Enter in a text box starts nothing', async () => {
    const { page } = await openPage(browser);
    await setField(page, 'Text2', 'abc');
    await page.keyboard.press('Enter');
    await new Promise((resolve) => setTimeout(resolve, 200));
    assert.equal(await openBox(page), null);
    assert.deepEqual(await texts(page, ['Text2', 'Label39']), ['abc', '2,16']);
    await page.close();
  });
});

describe('keyboard and window', () => {
  test('Tab walks the window in its focus order and goes round; Shift+Tab goes back', async () => {
    const { page } = await openPage(browser);
    const order = [];
    order.push(await page.evaluate(() => document.activeElement.id));
    for (let i = 0; i < 15; ++i) {
      await page.keyboard.press('Tab');
      order.push(await page.evaluate(() => document.activeElement.id));
    }
    assert.deepEqual(order, ['Picture1', 'Text3', 'Text4', 'Text5', 'Text6', 'Command1', 'Picture2',
      'Text2', 'Text1', 'Command2', 'Picture3', 'Picture4', 'Picture5', 'Picture6', 'Picture7',
      'Picture1']);
    await page.keyboard.down('Shift');
    await page.keyboard.press('Tab');
    await page.keyboard.up('Shift');
    assert.equal(await page.evaluate(() => document.activeElement.id), 'Picture7');
    await page.close();
  });

  test('Alt+K ends the program with a note in Hungarian; starting again is a fresh start', async () => {
    const { page } = await openPage(browser);
    await setField(page, 'Text2', '5');
    await altKey(page, 'K');
    const ended = await page.evaluate(() => ({
      form: document.getElementById('Form1').hidden,
      note: document.querySelector('#Ended p').textContent,
      focus: document.activeElement.textContent,
    }));
    assert.deepEqual(ended, { form: true, note: 'A program befejeződött.', focus: 'Újraindítás' });
    await page.keyboard.press('Enter');
    await page.waitForFunction(() => !document.getElementById('Form1').hidden);
    assert.deepEqual(await texts(page, ['Text2', 'Label39']), ['1', '2,16']);
    assert.equal(await page.evaluate(() => document.activeElement.id), 'Picture1');
    await page.close();
  });

  test('Ctrl+Shift+C copies the calculated inputs and the results as a table', async () => {
    const { page } = await openPage(browser);
    await setField(page, 'Text2', '7');  // typed after the last calculation: not in the table
    await page.evaluate(() => {
      document.addEventListener('copy', (event) => {
        window.copied = event.clipboardData.getData('text/plain');
      });
    });
    await page.keyboard.down('Control');
    await page.keyboard.down('Shift');
    await page.keyboard.press('KeyC');
    await page.keyboard.up('Shift');
    await page.keyboard.up('Control');
    const lines = (await page.evaluate(() => window.copied)).split('\n');
    assert.deepEqual(lines.slice(0, 3), ['Megnevezés\tÉrték\tMértékegység',
      'Kollektorral megtakarítható éves fajlagos hőenergia\t600\tkWh/m²·év',
      'Napkollektor felület\t1\tm²']);
    assert.equal(lines[9], 'Gáz, szén-dioxid\t0,151\tt/év');
    assert.equal(lines.length, 1 + 6 + 14 + 1);
    await page.close();
  });

  for (const [locale, separator] of [['hu-HU', ','], ['en-US', '.']]) {
    test(`the keypad's decimal key types the separator of ${locale}`, async () => {
      const { page } = await openPage(browser, { locale });
      await setField(page, 'Text2', '2');
      await page.keyboard.press('NumpadDecimal');
      await page.keyboard.type('5');
      assert.equal((await texts(page, ['Text2']))[0], `2${separator}5`);
      await page.close();
    });
  }

  test('the carrier labels show their emission factors as tooltips', async () => {
    const { page } = await openPage(browser);
    assert.deepEqual(await page.$$eval('#Label5, #Label6', (labels) => labels.map((e) => e.title)), [
      'CO2: 56,1 kg/GJ · NOx: 75 g/GJ · SO2: 8 g/GJ',
      'CO2: 930 g/kWh · NOx: 0,6 g/kWh · SO2: 0,4 g/kWh',
    ]);
    await page.close();
  });

  test('screen readers hear the Hungarian names of the fields and results', async () => {
    const { page } = await openPage(browser);
    const snapshot = await page.accessibility.snapshot({ interestingOnly: true });
    const names = [];
    const walk = (node) => { names.push(`${node.role}: ${node.name}`); node.children?.forEach(walk); };
    walk(snapshot);
    for (const wanted of ['textbox: Gáz hatásfok, %', 'button: Számítás', 'button: Kilépés',
      'group: Számított károsanyag kibocsátás megtakarítás', 'image: kWh/m²·év']) {
      assert.ok(names.includes(wanted), `${wanted} missing from ${names.join(' | ')}`);
    }
    assert.ok(names.some((n) => n.includes('Gáz, szén-dioxid, t/év:')), 'result heading unheard');
    await page.close();
  });
});

describe('accessibility audit', () => {
  const require = createRequire(import.meta.url);
  const axeSource = readFileSync(require.resolve('axe-core/axe.min.js'), 'utf8');
  for (const withBox of [false, true]) {
    test(`WCAG 2 A and AA: no violation${withBox ? ' with the warning box open' : ''}`, async () => {
      const { page } = await openPage(browser);
      if (withBox) {
        await setField(page, 'Text5', '100');
        await page.click('#Command1');
        await waitForBox(page);
      }
      await page.evaluate(axeSource);
      const violations = await page.evaluate(async () => {
        const result = await window.axe.run(document, { runOnly: ['wcag2a', 'wcag2aa'] });
        return result.violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target).join(', ')}`);
      });
      assert.deepEqual(violations, []);
      await page.close();
    });
  }
});
