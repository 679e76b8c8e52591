// What the browser tests share: the page's server on 127.0.0.1, Debian's
// Chromium driven by playwright-core, and the paths of the two builds.
import { existsSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';
import { serve } from '../serve.mjs';

export const root = join(dirname(fileURLToPath(import.meta.url)), '..', '..');
export const webBuild = process.env.QUORVANE_WEB_BUILD || join(root, 'build-web');
export const nativeBuild = process.env.QUORVANE_BUILD || join(root, 'build');

const CHROMIUM = process.env.CHROMIUM || '/usr/bin/chromium';

// Starts the server (hidden: paths under the page that answer 404) and a
// browser; returns the page's address and a close function for both.
export async function openBrowser({ hidden = [] } = {}) {
  if (!existsSync(join(webBuild, 'quorvane.wasm'))) {
    throw new Error(`no browser build in ${webBuild}: run tools/web/build`);
  }
  const server = await serve(webBuild, { hidden });
  const browser = await chromium.launch({
    executablePath: CHROMIUM,
    args: ['--autoplay-policy=no-user-gesture-required'],
  });
  const base = `http://127.0.0.1:${server.address().port}/`;
  return {
    base,
    browser,
    async newPage(path = '') {
      const page = await browser.newPage();
      page.on('pageerror', e => {
        // The program's exit() unwinds as an ExitStatus; the page reports it.
        if (e.name !== 'ExitStatus' && e.message !== 'ExitStatus') console.error('page error:', e.message);
      });
      await page.goto(base + path);
      return page;
    },
    async close() {
      await browser.close();
      await new Promise(done => server.close(done));
    },
  };
}

// The capture's frame hash (64-bit FNV-1a over little-endian 8-byte words)
// of a frame in the capture's byte order: blue, green, red, 0 per pixel.
export function captureHash(rgba) {
  const bytes = Buffer.alloc(rgba.length);
  for (let i = 0; i < rgba.length; i += 4) {
    bytes[i] = rgba[i + 2];
    bytes[i + 1] = rgba[i + 1];
    bytes[i + 2] = rgba[i];
    bytes[i + 3] = 0;
  }
  const PRIME = 0x100000001b3n, MASK = (1n << 64n) - 1n;
  let hash = 0xcbf29ce484222325n;
  for (let i = 0; i + 8 <= bytes.length; i += 8) {
    hash = ((hash ^ bytes.readBigUInt64LE(i)) * PRIME) & MASK;
  }
  return hash.toString(16).padStart(16, '0');
}
