// Form1's behaviour in the page: the same handlers as the desktop window, around the compiled
// calculation (TarquenCalc, from calc_api.cpp).
'use strict';

(() => {
  const byId = (id) => document.getElementById(id);
  const form = byId('Form1');
  const fields = ['Text1', 'Text2', 'Text3', 'Text4', 'Text5', 'Text6'].map(byId);
  const results = [...form.querySelectorAll('[data-heading]')].filter((e) => e.tagName === 'DIV');
  // The carrier labels, gas to coal, each with its emission factors as a tooltip.
  const carrierLabels = ['Label5', 'Label6', 'Label7', 'Label8'].map(byId);
  const focusChain = [...form.querySelectorAll('[tabindex]')].sort((a, b) => a.tabIndex - b.tabIndex);
  const box = byId('Warning');
  const ended = byId('Ended');
  const kArithmeticDash = '\u2013';
  let calc = null;
  let busy = false;
  // The texts the shown results were computed from, after the check has reset rejected ones.
  let calculatedInputs = fields.map((field) => field.value);

  // The decimal separator of the browser's language, read afresh for every calculation; the
  // point where the language offers none the calculation could read numbers with.
  function decimalSeparator() {
    const part = new Intl.NumberFormat().formatToParts(1.5).find((p) => p.type === 'decimal');
    return part && part.value !== '' && !/[\d+\- \t]/.test(part.value) ? part.value : '.';
  }

  // Passes a text of any length through the module's heap rather than its small stack, with
  // its length in bytes.
  function withText(text, use) {
    const size = calc.lengthBytesUTF8(text) + 1;
    const pointer = calc._malloc(size);
    try {
      calc.stringToUTF8(text, pointer, size);
      return use(pointer, size - 1);
    } finally {
      calc._free(pointer);
    }
  }

  // The modal warning box; resolves when it is closed (OK, Enter, Space or Escape).
  function ShowWarning(message) {
    byId('WarningText').textContent = message;
    return new Promise((resolve) => {
      box.addEventListener('close', () => resolve(), { once: true });
      box.showModal();
      byId('WarningOk').focus();
    });
  }

  // Draws a result in its cell without cutting it: a text too wide is drawn smaller, down to
  // 5 px, and its tooltip repeats it in full.
  function ShowResult(label, text) {
    label.textContent = text;
    label.style.fontSize = '';
    let size = parseFloat(getComputedStyle(label).fontSize);
    const designed = size;
    while (size > 5 && label.scrollWidth > label.clientWidth) {
      size -= 1;
      label.style.fontSize = `${size}px`;
    }
    if (size === designed) label.removeAttribute('title');
    else label.title = text;
  }

  async function Command1_Click() {
    if (busy || calc === null) return;
    busy = true;
    const returnFocus = document.activeElement;
    try {
      const separator = decimalSeparator();
      fields.forEach((field, i) => withText(field.value, (p, n) => calc._tarquen_set_text(i, p, n)));
      const answer = JSON.parse(withText(separator, (p) => calc.UTF8ToString(calc._tarquen_calculate(p))));
      for (const [name, message, reset] of answer.warnings) {
        await ShowWarning(message);
        byId(name).value = reset;
        ShowStart(byId(name));
      }
      calculatedInputs = fields.map((field) => field.value);
      if (answer.error) {
        // Dashes first, so no stale result stands beside the warning.
        results.forEach((label) => ShowResult(label, kArithmeticDash));
        await ShowWarning(answer.error);
      } else {
        for (const [name, text] of answer.results) ShowResult(byId(name), text);
      }
    } finally {
      busy = false;
      if (returnFocus instanceof HTMLElement && form.contains(returnFocus)) returnFocus.focus();
    }
  }

  // A page cannot close itself: the window goes away and the page says so.
  function Command2_Click() {
    if (busy) return;
    form.hidden = true;
    ended.hidden = false;
    byId('Restart').focus();
  }

  // Starting again is a fresh start: the start-up texts and their results.
  async function Form_Load() {
    fields.forEach((field) => { field.value = field.defaultValue; });
    const separator = decimalSeparator();
    carrierLabels.forEach((label, carrier) => {
      label.title = withText(separator, (p) => calc.UTF8ToString(calc._tarquen_factor_text(carrier, p)));
    });
    await Command1_Click();
  }

  // The results as a table (heading, value, unit), for a spreadsheet or a message.
  function ResultsTable() {
    const cell = (text) => text.replace(/[\t\r\n]/g, ' ');
    const rows = ['Megnevezés\tÉrték\tMértékegység'];
    const values = [...calculatedInputs, ...results.map((label) => label.textContent)];
    for (const [i, e] of [...fields, ...results].entries()) {
      rows.push(`${e.dataset.heading}\t${cell(values[i])}\t${e.dataset.unit}`);
    }
    return `${rows.join('\n')}\n`;
  }

  function CopyResults() {
    const table = ResultsTable();
    const put = (event) => {
      event.clipboardData.setData('text/plain', table);
      event.preventDefault();
    };
    document.addEventListener('copy', put, { once: true, capture: true });
    if (!document.execCommand('copy')) {
      document.removeEventListener('copy', put, { capture: true });
      if (navigator.clipboard) navigator.clipboard.writeText(table).catch(() => {});
    }
  }

  // A text longer than its box shows its beginning away from the focus, and all of it in the
  // box's tooltip.
  function ShowStart(field) {
    field.scrollLeft = 0;
    if (field.scrollWidth > field.clientWidth) field.title = field.value;
    else field.removeAttribute('title');
  }

  for (const field of fields) {
    field.addEventListener('blur', () => ShowStart(field));
    // The keypad's decimal key types the separator the calculation will read.
    field.addEventListener('keydown', (event) => {
      if (event.code !== 'NumpadDecimal' || event.ctrlKey || event.altKey) return;
      event.preventDefault();
      field.setRangeText(decimalSeparator(), field.selectionStart, field.selectionEnd, 'end');
    });
  }

  byId('Command1').addEventListener('click', Command1_Click);
  byId('Command2').addEventListener('click', Command2_Click);
  byId('WarningOk').addEventListener('click', () => box.close());
  byId('Restart').addEventListener('click', () => {
    ended.hidden = true;
    form.hidden = false;
    focusChain[0].focus();
    Form_Load();
  });

  // A picture box shows the focus once a key has moved it, not at start-up or after a click.
  document.addEventListener('mousedown', () => form.classList.remove('keys'));
  document.addEventListener('keydown', (event) => {
    if (box.open || form.hidden) return;
    if (event.key === 'Tab') form.classList.add('keys');
    const key = event.key.length === 1 ? event.key.toUpperCase() : '';
    if (event.altKey && !event.ctrlKey && !event.metaKey) {
      // The access keys of the buttons, Alt+S and Alt+K, as on the desktop.
      const button = form.querySelector(`button[data-key="${key}"]`);
      if (button) {
        event.preventDefault();
        button.focus();
        button.click();
      }
      return;
    }
    if (event.ctrlKey && event.shiftKey && !event.altKey && key === 'C') {
      event.preventDefault();
      CopyResults();
      return;
    }
    if (event.key === 'Tab' && !event.ctrlKey && !event.altKey) {
      // The focus goes round within the window, as in a dialog.
      const first = focusChain[0];
      const last = focusChain[focusChain.length - 1];
      const target = event.shiftKey
        ? (document.activeElement === first || !form.contains(document.activeElement) ? last : null)
        : (document.activeElement === last || !form.contains(document.activeElement) ? first : null);
      if (target) {
        event.preventDefault();
        target.focus();
      }
    }
  });

  // Narrower than the window (a phone): scaled down to fit, never cut.
  const screenBox = byId('Screen');
  function Fit() {
    const scale = Math.min(1, document.documentElement.clientWidth / form.offsetWidth);
    form.style.transform = scale < 1 ? `scale(${scale})` : '';
    screenBox.style.width = `${form.offsetWidth * scale}px`;
    screenBox.style.height = `${form.offsetHeight * scale}px`;
  }
  window.addEventListener('resize', Fit);
  Fit();

  // The stored captions ("Label11") stay hidden until the load step has replaced them.
  TarquenCalc().then(async (module) => {
    calc = module;
    await Form_Load();
    form.classList.remove('loading');
    focusChain[0].focus();
    document.documentElement.dataset.ready = '';
  });
})();
