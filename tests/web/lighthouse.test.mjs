// Lighthouse (12.2.3, from the lock file) on the page in Debian's Chromium, with its
// desktop preset: accessibility and best practices must score 100. Neither rests on
// speed, so the machine's load cannot fail them; performance and SEO are measured
// and reported in docs/performance.md, not held here.
//   TILERUSH_WEB_BUILD=build-web node --test tests/web/lighthouse.test.mjs
import assert from 'node:assert/strict';
import { join } from 'node:path';
import { test } from 'node:test';

import * as chromeLauncher from 'chrome-launcher';
import lighthouse from 'lighthouse';
import desktopConfig from 'lighthouse/core/config/desktop-config.js';

import { serve } from '../../tools/serve.mjs';

export async function audit(folder, categories) {
  const server = await serve(folder, 0);
  const chrome = await chromeLauncher.launch({
    chromePath: process.env.CHROMIUM || '/usr/bin/chromium',
    chromeFlags: ['--headless=new', '--no-sandbox', '--disable-gpu', '--no-first-run'],
  });
  try {
    const url = `http://127.0.0.1:${server.address().port}/`;
    const result = await lighthouse(
      url,
      { port: chrome.port, logLevel: 'error', onlyCategories: categories },
      desktopConfig,
    );
    return result.lhr;
  } finally {
    await chrome.kill();
    server.close();
  }
}

test('Lighthouse scores the page 100 for accessibility and best practices', async () => {
  const lhr = await audit(join(process.env.TILERUSH_WEB_BUILD || 'build-web', 'site'), [
    'accessibility',
    'best-practices',
  ]);
  const failing = (category) =>
    lhr.categories[category].auditRefs
      .map((ref) => lhr.audits[ref.id])
      .filter(
        (a) =>
          a.scoreDisplayMode !== 'notApplicable' &&
          a.scoreDisplayMode !== 'informative' &&
          a.scoreDisplayMode !== 'manual' &&
          a.score !== null &&
          a.score < 1,
      )
      .map((a) => `${a.id}: ${a.title}`);
  for (const category of ['accessibility', 'best-practices']) {
    assert.deepEqual([lhr.categories[category].score, failing(category)], [1, []], category);
  }
  // An audit that errors counts for nothing in its category's score: none may stand in either.
  const errored = Object.values(lhr.audits)
    .filter((a) => a.scoreDisplayMode === 'error')
    .map((a) => a.id);
  assert.deepEqual(errored, []);
});
