// The HTML test page in a real browser: for movies whose names hold markup
// or characters beyond ASCII, no script of the name runs and the title and
// text show the name as written; for names with characters that mean
// something in a link, the page's links lead to the movie's file.
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { launchChromium } from './player.mjs';

const [cli, sample] = process.argv.slice(2);
const NAMES = ['a"><script>alert(1)<!--', '动画 测试 ü', 'Tom & Jerry <1>'];
const LINK_NAMES = ['a#b', 'e?f', 'c%41d', '100% sure'];

const work = fs.mkdtempSync(path.join(os.tmpdir(), 'movara-page-'));
const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'movara-chromium-'));
const failures = [];
const context = await launchChromium(profile);
try {
  const page = context.pages()[0] ?? (await context.newPage());
  const dialogs = [];
  page.on('dialog', async (d) => {
    dialogs.push(d.message());
    await d.dismiss();
  });
  for (const name of [...NAMES, ...LINK_NAMES]) {
    const gif = path.join(work, `${name}.gif`);
    fs.copyFileSync(sample, gif);
    const r = spawnSync(cli, ['--quiet', '--html', gif], { encoding: 'utf8' });
    if (r.status !== 0) {
      failures.push(`${name}: movara-cli exit ${r.status}: ${r.stderr}`);
      continue;
    }
    await page.goto(pathToFileURL(path.join(work, `${name}.html`)).href);
    const seen = await page.evaluate(() => ({
      title: document.title,
      scripts: document.scripts.length,
      file: [...document.querySelectorAll('font')].map((f) => f.textContent).find((t) => t.startsWith('File: ')),
      movie: document.querySelector('param[name=movie]')?.getAttribute('value'),
      embed: document.querySelector('embed')?.getAttribute('src'),
      movieUrl: new URL(document.querySelector('param[name=movie]')?.getAttribute('value'), document.baseURI).href,
      embedUrl: new URL(document.querySelector('embed')?.getAttribute('src'), document.baseURI).href,
    }));
    const movie = `${name}.swf`;
    const expected = { title: `Test page for ${movie}`, scripts: 0, file: `File: ${movie}` };
    if (LINK_NAMES.includes(name)) {
      const url = pathToFileURL(path.join(work, movie)).href;
      Object.assign(expected, { movieUrl: url, embedUrl: url });
    } else {
      Object.assign(expected, { movie, embed: movie });
    }
    for (const [key, value] of Object.entries(expected)) {
      if (seen[key] !== value) failures.push(`${name}: ${key} is ${JSON.stringify(seen[key])}, expected ${JSON.stringify(value)}`);
    }
  }
  if (dialogs.length > 0) failures.push(`a script of a name ran: ${JSON.stringify(dialogs)}`);
} finally {
  await context.close();
  fs.rmSync(work, { recursive: true, force: true });
  fs.rmSync(profile, { recursive: true, force: true });
}
for (const f of failures) console.log(`FAIL ${f}`);
console.log(`test pages checked: ${NAMES.length + LINK_NAMES.length}, failures: ${failures.length}`);
process.exit(failures.length > 0 ? 1 : 0);
