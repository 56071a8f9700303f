// The page's speed in Debian's chromium, reported and never judged:
//   - navigation to painted start-up results, against a page holding one label (the floor),
//     the two loaded in turn in fresh tabs, so both see the same machine load;
//   - the file's size, raw and compressed;
//   - a click on "Számítás" with a megabyte in a field, to the painted results or the box.
// Usage: TARQUEN_PAGE=build-web/web/tarquen.html node bench/web/load.mjs [rounds=20]
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { brotliCompressSync, constants, gzipSync } from 'node:zlib';
import { launch, openPage, pagePath, pageUrl } from '../../web/tests/browser.mjs';

const rounds = Number(process.argv[2] ?? 20);
const work = mkdtempSync(join(tmpdir(), 'tarquen-bench-'));
const floorPath = join(work, 'floor.html');
writeFileSync(floorPath, '<!DOCTYPE html><html lang="hu"><meta charset="utf-8"><title>Floor</title>' +
  '<div id="Label3">2,16</div><script>document.documentElement.dataset.ready = "";</script></html>');
const floorUrl = pathToFileURL(floorPath).href;

// Milliseconds from the start of navigation to the first frame after the page said it was ready.
async function loadTime(browser, url) {
  const page = await browser.newPage();
  await page.evaluateOnNewDocument(() => {
    window.paintedAt = new Promise((resolve) => {
      new MutationObserver((_, observer) => {
        if (!document.documentElement.hasAttribute('data-ready')) return;
        observer.disconnect();
        requestAnimationFrame(() => setTimeout(() => resolve(performance.now()), 0));
      }).observe(document, { attributes: true, subtree: true, attributeFilter: ['data-ready'] });
    });
  });
  await page.goto(url);
  const ms = await page.evaluate(() => window.paintedAt);
  await page.close();
  return ms;
}

// Milliseconds from the click to the first frame showing its outcome, and which it was: the
// results, or a warning box.
async function clickTime(browser, text) {
  const { page } = await openPage(browser, { locale: 'hu-HU' });
  return page.evaluate((value) => new Promise((resolve) => {
    document.getElementById('Text1').value = value;
    const box = document.getElementById('Warning');
    const start = performance.now();
    let outcome = null;
    const done = (what) => {
      if (outcome) return;
      outcome = what;
      requestAnimationFrame(() => setTimeout(() => resolve({ ms: performance.now() - start, outcome }), 0));
    };
    new MutationObserver(() => done('results'))
      .observe(document.getElementById('Label3'), { childList: true, characterData: true, subtree: true });
    new MutationObserver(() => { if (box.open) done('box'); }).observe(box, { attributes: true });
    document.getElementById('Command1').click();
  }), text).finally(() => page.close());
}

const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  const mid = sorted.length >> 1;
  return sorted.length % 2 ? sorted[mid] : (sorted[mid - 1] + sorted[mid]) / 2;
};

const browser = await launch();
try {
  await loadTime(browser, floorUrl);  // warm the browser up once, unmeasured
  await loadTime(browser, pageUrl);
  const floor = [];
  const full = [];
  for (let i = 0; i < rounds; ++i) {
    if (i % 2 === 0) {
      floor.push(await loadTime(browser, floorUrl));
      full.push(await loadTime(browser, pageUrl));
    } else {
      full.push(await loadTime(browser, pageUrl));
      floor.push(await loadTime(browser, floorUrl));
    }
  }
  const bytes = readFileSync(pagePath);
  const gzip = gzipSync(bytes, { level: 9 }).length;
  const brotli = brotliCompressSync(bytes, { params: { [constants.BROTLI_PARAM_QUALITY]: 11 } }).length;
  // A megabyte the check accepts (one, with a million zero decimals) and one it rejects.
  const accepted = await clickTime(browser, `1,${'0'.repeat(1 << 20)}`);
  const rejected = await clickTime(browser, '9'.repeat(1 << 20));

  const f = (ms) => ms.toFixed(1);
  console.log(`load to painted results, median of ${rounds} interleaved rounds:`);
  console.log(`  page ${f(median(full))} ms, one-label floor ${f(median(floor))} ms, ` +
    `ratio ${(median(full) / median(floor)).toFixed(2)}`);
  console.log(`  page min ${f(Math.min(...full))} / max ${f(Math.max(...full))} ms; ` +
    `floor min ${f(Math.min(...floor))} / max ${f(Math.max(...floor))} ms`);
  console.log(`size: ${bytes.length} bytes, gzip -9 ${gzip} bytes, brotli 11 ${brotli} bytes`);
  console.log('click on "Számítás" with a megabyte in Text1 (hu-HU):');
  console.log(`  1,000…0 (accepted): ${f(accepted.ms)} ms to painted ${accepted.outcome}`);
  console.log(`  99…9 (out of range): ${f(rejected.ms)} ms to painted ${rejected.outcome}`);
} finally {
  await browser.close();
  rmSync(work, { recursive: true, force: true });
}
