// The page's frame times at the browser's own pace: plays the show in
// headless Chromium (512x384, sound or not) from the start screen to the
// end of the song and prints what the page measured for each part, the
// engine's work per pass in ms.
//   node web/tests/frame-times.mjs [--sound] [--seconds N]
import { openBrowser } from './support.mjs';

const args = process.argv.slice(2);
const sound = args.includes('--sound') ? 1 : 2;
const at = args.indexOf('--seconds');
const seconds = at >= 0 ? Number(args[at + 1]) : 252;

const session = await openBrowser();
try {
  const page = await session.newPage();
  await page.click('#size-1');
  await page.click(`#sound-${sound}`);
  await page.waitForFunction(() => !document.getElementById('stage').hidden, undefined, { timeout: 120000 });
  await page.waitForTimeout(seconds * 1000);
  const stats = await page.evaluate(() => window.quorvane.frameStats());
  console.log(`part       frames  median ms  p95 ms  p99 ms  max ms   (${seconds} s, ${sound === 1 ? 'sound' : 'no sound'})`);
  for (const r of stats) {
    console.log(`${r.part.padEnd(9)} ${String(r.frames).padStart(7)} ${r.median.toFixed(2).padStart(10)} ${r.p95.toFixed(2).padStart(7)} ${r.p99.toFixed(2).padStart(7)} ${r.max.toFixed(2).padStart(7)}`);
  }
} finally {
  await session.close();
}
