// What the browser checks share: their arguments, the corpus files known to
// differ, the list of failures, and --play runs of movara-cli opened in a
// page.
import { spawn } from 'node:child_process';
import fs from 'node:fs';

// "--name value" pairs of the command line, by name.
export function commandArgs() {
  return Object.fromEntries(process.argv.slice(2).reduce((pairs, a, i, all) => {
    if (a.startsWith('--')) pairs.push([a.slice(2), all[i + 1]]);
    return pairs;
  }, []));
}

// The first column of a table of expected differences (# comments), if any.
export function expectedDifferences(file) {
  const names = new Set();
  if (file && fs.existsSync(file)) {
    for (const line of fs.readFileSync(file, 'utf8').split('\n')) {
      if (line && !line.startsWith('#')) names.add(line.split('\t')[0]);
    }
  }
  return names;
}

// A list of failures, each also printed when it happens.
export function failureList() {
  const failures = [];
  const fail = (what) => {
    failures.push(what);
    console.log(`FAIL ${what}`);
  };
  return { failures, fail };
}

export const PLAYER = 'ruffle-object, ruffle-embed';

// Starts `movara-cli --play` for a file; resolves once it prints its page.
export function startPlay(cli, work, file, extra = []) {
  const started = performance.now();
  const child = spawn(cli, ['--play', '--no-browser', '--quiet', '--output', work, ...extra, file],
    { stdio: ['ignore', 'pipe', 'pipe'] });
  const exited = new Promise((resolve) => child.on('exit', (code, signal) => resolve(signal ?? code)));
  return new Promise((resolve, reject) => {
    let out = '';
    let err = '';
    child.stderr.on('data', (d) => { err += d; });
    child.stdout.on('data', (d) => {
      out += d;
      const m = /^page: (\S+)$/m.exec(out);
      if (m) resolve({ child, exited, url: m[1], started });
    });
    exited.then((code) => reject(new Error(`movara-cli ended (${code}) before printing its page: ${err.trim()}`)));
  });
}

// Ctrl-C ends the serving cleanly.
export async function stopPlay(run, what, fail) {
  run.child.kill('SIGINT');
  const code = await run.exited;
  if (code !== 0) fail(`${what}: movara-cli --play ended with ${code} on SIGINT`);
}

// Opens the page and waits for the player the page's <object> became.
export async function openPage(page, url) {
  await page.goto(url);
  await page.waitForFunction((sel) => document.querySelector(sel)?.shadowRoot?.querySelector('canvas'), PLAYER,
    { timeout: 30000, polling: 'raf' });
}
