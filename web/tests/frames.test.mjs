// The page's frames equal the native program's: the page's virtual-clock
// mode renders to a show time and hands the canvas's pixels back; the native
// capture's manifest holds the hash of every frame at the same 60 fps. The
// times lie in every part of the show.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { captureHash, nativeBuild, openBrowser } from './support.mjs';

const FPS = 60;
// Show times in ms: two in the first part, then at least one in each part.
const TIMES = [5000, 15000, 30000, 55000, 70000, 90000, 100000, 120000, 140000,
               160000, 190000, 220000, 240000, 255000];

// Frames of the native capture: show ms -> { part, hash }, in show order.
function nativeFrames(toMs) {
  const dir = mkdtempSync(join(tmpdir(), 'quorvane-frames-'));
  try {
    const manifest = join(dir, 'manifest.txt');
    execFileSync(join(nativeBuild, 'quorvane-capture'),
                 ['--manifest', manifest, '--from', '0', '--to', String(toMs / 1000), '--fps', String(FPS)],
                 { cwd: nativeBuild, stdio: ['ignore', 'ignore', 'inherit'] });
    return readFileSync(manifest, 'utf8').split('\n')
      .filter(line => line && !line.startsWith('#') && /^\d/.test(line))
      .map(line => line.split(' '))
      .filter(f => f.length === 6 && f[3] !== '-')
      .map(f => ({ showMs: Number(f[3]), part: Number(f[4]), hash: f[5] }));
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
}

test('the page draws the native frames at show times across every part', { timeout: 15 * 60 * 1000 }, async () => {
  const native = nativeFrames(TIMES[TIMES.length - 1] + 100);
  const session = await openBrowser();
  try {
    const page = await session.newPage(`?virtual=${FPS}`);
    await page.evaluate(() => window.quorvane.ready);
    const partsSeen = new Set();
    const mismatches = [];
    for (const ms of TIMES) {
      const frame = await page.evaluate(async ms => {
        const f = await window.quorvane.renderTo(ms);
        if (f.ended) return f;
        // Base64 keeps the transfer small.
        let text = '';
        for (let i = 0; i < f.pixels.length; i += 0x8000) {
          text += String.fromCharCode.apply(null, f.pixels.subarray(i, i + 0x8000));
        }
        return { showMs: f.showMs, part: f.part, width: f.width, height: f.height, data: btoa(text) };
      }, ms);
      assert.ok(!frame.ended, `the page's show ended before ${ms} ms`);
      const expected = native.find(f => f.showMs >= ms);
      assert.ok(expected, `no native frame at ${ms} ms`);
      assert.equal(frame.showMs, expected.showMs, `show time of the frame wanted at ${ms} ms`);
      assert.equal(frame.part, expected.part, `part at ${ms} ms`);
      assert.deepEqual([frame.width, frame.height], [512, 384]);
      const hash = captureHash(Buffer.from(frame.data, 'base64'));
      if (hash !== expected.hash) mismatches.push(`${ms} ms (part ${frame.part}): page ${hash}, native ${expected.hash}`);
      partsSeen.add(frame.part);
    }
    await page.evaluate(() => window.quorvane.finish());
    const stats = await page.evaluate(() => window.quorvane.frameStats());
    console.log('page frame times (ms of engine work per pass, virtual clock):');
    for (const r of stats) {
      console.log(`  part ${r.part.padEnd(7)} ${String(r.frames).padStart(6)} frames  median ${r.median.toFixed(2)}  p95 ${r.p95.toFixed(2)}  p99 ${r.p99.toFixed(2)}  max ${r.max.toFixed(2)}`);
    }
    assert.deepEqual(mismatches, [], 'frames that differ from the native capture');
    assert.deepEqual([...partsSeen].sort((a, b) => a - b), [0, 1, 2, 3, 4, 5, 6, 8, 9, 10, 11]);
  } finally {
    await session.close();
  }
});
