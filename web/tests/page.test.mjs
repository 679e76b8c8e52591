// The page as a person uses it: the start screen's two questions, sound
// that starts with the click and a music clock that moves on and never runs
// back, Escape, and a missing picture named on the page.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { openBrowser } from './support.mjs';

const until = (page, fn, arg, timeout = 120000) => page.waitForFunction(fn, arg, { timeout, polling: 100 });

async function answer(page, size, sound) {
  assert.ok(await page.isVisible('#size-question'));
  assert.ok(!(await page.isVisible('#sound-question')));
  await page.click(`#size-${size}`);
  assert.ok(await page.isVisible('#sound-question'));
  assert.equal(await page.evaluate(() => window.quorvane.audioState().context), null,
               'no sound before the sound question is answered');
  await page.click(`#sound-${sound}`);
}

test('the page', { timeout: 10 * 60 * 1000 }, async t => {
  const session = await openBrowser({ hidden: [] });
  t.after(() => session.close());

  await t.test('640x480 without sound, then Escape ends the show', async () => {
    const page = await session.newPage();
    await answer(page, 2, 2);
    await until(page, () => !document.getElementById('stage').hidden);
    assert.deepEqual(await page.evaluate(() => [document.getElementById('screen').width,
                                                document.getElementById('screen').height]), [640, 480]);
    assert.equal(await page.evaluate(() => window.quorvane.audioState().context), null);
    assert.equal(await page.evaluate(() => document.getElementById('progress').value), 1,
                 'the progress bar full once the data set is in');
    // Let the show reach its first part, then end it.
    await page.waitForTimeout(2500);
    const border = await page.evaluate(() => {
      const c = document.getElementById('screen');
      return [...c.getContext('2d').getImageData(0, 0, 640, 48).data].some((v, i) => i % 4 !== 3 && v !== 0);
    });
    assert.equal(border, false, 'the border above the picture is black');
    await page.keyboard.press('Escape');
    await until(page, () => window.quorvane.exitStatus() !== null, undefined, 30000);
    assert.equal(await page.evaluate(() => window.quorvane.exitStatus()), 0);
    assert.match(await page.textContent('#ended'), /The show has ended/);
    await page.close();
  });

  await t.test('512x384 with sound: the music starts after the click and its clock moves on', async () => {
    const page = await session.newPage();
    await answer(page, 1, 1);
    assert.notEqual(await page.evaluate(() => window.quorvane.audioState().context), null);
    await until(page, () => window.quorvane.audioState().playing);
    assert.deepEqual(await page.evaluate(() => [document.getElementById('screen').width,
                                                document.getElementById('screen').height]), [512, 384]);
    // Every animation frame for three seconds, as the show reads it.
    const samples = await page.evaluate(() => new Promise(resolve => {
      const out = [];
      const start = performance.now();
      const step = now => {
        out.push([now - start, window.quorvane.audioState().positionMs]);
        if (now - start < 3000) requestAnimationFrame(step); else resolve(out);
      };
      requestAnimationFrame(step);
    }));
    assert.equal(await page.evaluate(() => window.quorvane.audioState().context), 'running');
    for (let i = 1; i < samples.length; i++) {
      assert.ok(samples[i][1] >= samples[i - 1][1], `the clock ran back at sample ${i}: ${samples[i - 1][1]} -> ${samples[i][1]}`);
    }
    const wall = samples[samples.length - 1][0] - samples[0][0];
    const moved = samples[samples.length - 1][1] - samples[0][1];
    assert.ok(moved > 0.8 * wall && moved < 1.2 * wall, `the music moved ${moved} ms in ${wall} ms`);
    await page.close();
  });
});

test('a missing picture is named on the page, as on the desktop', { timeout: 5 * 60 * 1000 }, async t => {
  const session = await openBrowser({ hidden: ['data/gfx/pic22.jpg'] });
  t.after(() => session.close());
  const page = await session.newPage();
  await answer(page, 1, 2);
  await until(page, () => window.quorvane.exitStatus() !== null);
  assert.equal(await page.evaluate(() => window.quorvane.exitStatus()), 1);
  const text = (await page.evaluate(() => window.quorvane.messages())).join('\n');
  assert.match(text, /Couldn´t load data\/gfx\/pic22\.jpg file/);
  assert.match(text, /data\/gfx\/pic22\.jpg: cannot open the file \(No such file or directory\)/);
  assert.ok(await page.isVisible('#messages'));
});
