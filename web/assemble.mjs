// Puts the page together into one self-contained HTML file: the template with the generated
// window markup, the style sheet, the images and fonts as data URLs, the compiled calculation
// (its WebAssembly already inlined by emscripten), the page script and the font licences.
//
// node assemble.mjs --out FILE --template FILE --markup FILE --css FILE --script FILE
//   --calc FILE [--image NAME=FILE[,FILE@2x]]... [--font FAMILY:WEIGHT:STYLE=FILE]...
//   [--licence TITLE=FILE]...
import { readFileSync, writeFileSync } from 'node:fs';
import { extname } from 'node:path';

const options = { image: [], font: [], licence: [] };
const args = process.argv.slice(2);
for (let i = 0; i < args.length; i += 2) {
  const key = args[i].replace(/^--/, '');
  if (Array.isArray(options[key])) options[key].push(args[i + 1]);
  else options[key] = args[i + 1];
}
for (const required of ['out', 'template', 'markup', 'css', 'script', 'calc']) {
  if (!options[required]) throw new Error(`missing --${required}`);
}

const text = (file) => readFileSync(file, 'utf8');
const types = { '.gif': 'image/gif', '.jpg': 'image/jpeg', '.png': 'image/png', '.woff2': 'font/woff2' };
const dataUrl = (file) => `data:${types[extname(file)]};base64,${readFileSync(file).toString('base64')}`;
const split = (entry) => {
  const at = entry.indexOf('=');
  return [entry.slice(0, at), entry.slice(at + 1)];
};

// Each image at 1x, and where a 2x drawing exists the browser picks it on sharper screens.
// The 2x image is drawn at the 1x size, so the boxes clip it exactly as they clip the 1x one.
const images = options.image.map((entry) => {
  const [name, files] = split(entry);
  const [one, two] = files.split(',');
  const selector = name === 'background' ? '#Form1' : `[data-image="${name}"]`;
  let rule = `${selector}{background-image:url(${dataUrl(one)})`;
  if (two) {
    const size = imageSize(one);
    rule += `;background-image:image-set(url(${dataUrl(one)}) 1x,url(${dataUrl(two)}) 2x)`;
    rule += `;background-size:${size.width}px ${size.height}px`;
  }
  return `${rule}}`;
});

function imageSize(file) {
  const bytes = readFileSync(file);
  if (extname(file) === '.gif') return { width: bytes.readUInt16LE(6), height: bytes.readUInt16LE(8) };
  if (extname(file) === '.png') return { width: bytes.readUInt32BE(16), height: bytes.readUInt32BE(20) };
  // JPEG: the first start-of-frame marker holds the size.
  for (let i = 2; i < bytes.length;) {
    const marker = bytes[i + 1];
    const length = bytes.readUInt16BE(i + 2);
    if (marker >= 0xc0 && marker <= 0xcf && ![0xc4, 0xc8, 0xcc].includes(marker)) {
      return { width: bytes.readUInt16BE(i + 7), height: bytes.readUInt16BE(i + 5) };
    }
    i += 2 + length;
  }
  throw new Error(`no size in ${file}`);
}

const fonts = options.font.map((entry) => {
  const [face, file] = split(entry);
  const [family, weight, style] = face.split(':');
  return `@font-face{font-family:"${family}";font-weight:${weight};font-style:${style};` +
    `font-display:block;src:url(${dataUrl(file)}) format("woff2")}`;
});

const licences = options.licence.map((entry) => {
  const [title, file] = split(entry);
  return `${title}\n\n${text(file)}`.replaceAll('--', '- -');
});

// A replacement function, so that "$" in the inserted texts stays as it is.
const page = text(options.template)
  .replace('/*@FONTS@*/', () => fonts.join('\n'))
  .replace('/*@CSS@*/', () => text(options.css))
  .replace('/*@IMAGES@*/', () => images.join('\n'))
  .replace('<!--@MARKUP@-->', () => text(options.markup).replace('id="Form1"', 'id="Form1" class="loading"'))
  .replace('/*@CALC@*/', () => text(options.calc))
  .replace('/*@SCRIPT@*/', () => text(options.script))
  .replace('<!--@LICENCES@-->', () => (licences.length
    ? `<!--\nThe embedded fonts are subsets of these faces, under these licences:\n\n${licences.join('\n\n')}\n-->`
    : ''));
writeFileSync(options.out, page);
