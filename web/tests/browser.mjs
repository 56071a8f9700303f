// Starts Debian's chromium for the page's tests and benchmark, and opens the page with a
// chosen browser language. No browser is downloaded: puppeteer-core drives /usr/bin/chromium.
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import puppeteer from 'puppeteer-core';

export const pagePath = process.env.TARQUEN_PAGE;
if (!pagePath) throw new Error('TARQUEN_PAGE must name the built tarquen.html');
export const pageUrl = pathToFileURL(pagePath).href;

// Chromium through the DevTools protocol, or with { firefox: true } Debian's firefox-esr through
// WebDriver BiDi.
export async function launch({ firefox = false } = {}) {
  const profile = mkdtempSync(join(tmpdir(), 'tarquen-browser-'));
  const browser = firefox
    ? await puppeteer.launch({
      browser: 'firefox',
      executablePath: process.env.FIREFOX ?? '/usr/bin/firefox-esr',
      headless: true,
      userDataDir: profile,
    })
    : await puppeteer.launch({
      executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
      headless: true,
      args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
        '--disable-background-networking', '--disable-component-update', '--disable-sync',
        `--user-data-dir=${profile}`],
    });
  browser.tarquenFirefox = firefox;
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    rmSync(profile, { recursive: true, force: true, maxRetries: 5 });
  };
  return browser;
}

// A new tab in the given language (its number format and navigator.language), with every
// request, script error and console error recorded, loaded until the start-up results show.
export async function openPage(browser, { locale = 'hu-HU', url = pageUrl, viewport, scheme } = {}) {
  const page = await browser.newPage();
  const seen = { requests: [], errors: [] };
  page.on('request', (request) => seen.requests.push(request.url()));
  page.on('pageerror', (error) => seen.errors.push(String(error)));
  page.on('console', (message) => {
    if (message.type() === 'error') seen.errors.push(message.text());
  });
  if (!browser.tarquenFirefox) {
    // Firefox keeps the language of its build (en-US here): it has no such override.
    const session = await page.createCDPSession();
    await session.send('Emulation.setLocaleOverride', { locale });
    await page.evaluateOnNewDocument((language) => {
      Object.defineProperty(navigator, 'language', { get: () => language });
    }, locale);
    if (scheme) await page.emulateMediaFeatures([{ name: 'prefers-color-scheme', value: scheme }]);
  }
  await page.setViewport(viewport ?? { width: 520, height: 640 });
  await page.goto(url);
  if (url === pageUrl) await page.waitForSelector('html[data-ready]');
  return { page, seen };
}

export const texts = (page, ids) => page.evaluate(
  (list) => list.map((id) => {
    const e = document.getElementById(id);
    return e.tagName === 'INPUT' ? e.value : e.textContent;
  }),
  ids,
);

export const resultIds = ['Label3', 'Label39', 'Label11', 'Label12', 'Label13', 'Label14', 'Label16',
  'Label17', 'Label18', 'Label19', 'Label21', 'Label22', 'Label23', 'Label24'];
export const fieldIds = ['Text1', 'Text2', 'Text3', 'Text4', 'Text5', 'Text6'];

// Replaces a field's text as a user would: select all, then type (or paste, for long texts).
export async function setField(page, id, text) {
  if (text.length > 200) {
    await page.$eval(`#${id}`, (e, value) => { e.value = value; }, text);
    return;
  }
  await page.click(`#${id}`, { clickCount: 3 });
  await page.keyboard.press('Backspace');
  if (text) await page.keyboard.type(text);
}

export async function altKey(page, letter) {
  await page.keyboard.down('Alt');
  await page.keyboard.press(`Key${letter}`);
  await page.keyboard.up('Alt');
}

// The open warning box: title, text, role and what has the focus; null when none is open.
export const openBox = (page) => page.evaluate(() => {
  const box = document.getElementById('Warning');
  if (!box.open) return null;
  return {
    title: document.getElementById(box.getAttribute('aria-labelledby')).textContent,
    text: document.getElementById(box.getAttribute('aria-describedby')).textContent,
    role: box.getAttribute('role'),
    focus: document.activeElement.id,
  };
});

export async function waitForBox(page) {
  await page.waitForFunction(() => document.getElementById('Warning').open);
  return openBox(page);
}

// Closes the open box with Enter on its OK button; returns once that box has closed (the next
// box may already be open by then).
export async function pressOk(page) {
  await page.evaluate(() => {
    window.boxClosed = new Promise((resolve) => {
      document.getElementById('Warning').addEventListener('close', resolve, { once: true });
    });
  });
  await page.keyboard.press('Enter');
  await page.evaluate(() => window.boxClosed);
}
