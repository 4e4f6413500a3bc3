// Lighthouse's four categories for the page, with its desktop preset, in Debian's
// Chromium: the scores, and the audits that errored (they count for nothing).
//   node tools/lighthouse-web.mjs [SITE]      (default build-web/site)
import * as chromeLauncher from 'chrome-launcher';
import lighthouse from 'lighthouse';
import desktopConfig from 'lighthouse/core/config/desktop-config.js';

import { serve } from './serve.mjs';

const server = await serve(process.argv[2] || 'build-web/site', 0);
const chrome = await chromeLauncher.launch({
  chromePath: process.env.CHROMIUM || '/usr/bin/chromium',
  chromeFlags: ['--headless=new', '--no-sandbox', '--disable-gpu', '--no-first-run'],
});
try {
  const url = `http://127.0.0.1:${server.address().port}/`;
  const { lhr } = await lighthouse(url, { port: chrome.port, logLevel: 'error' }, desktopConfig);
  for (const [id, category] of Object.entries(lhr.categories))
    console.log(`${id}: ${Math.round(category.score * 100)}`);
  for (const audit of Object.values(lhr.audits).filter((a) => a.scoreDisplayMode === 'error')) {
    const where = Object.entries(lhr.categories)
      .filter(([, c]) => c.auditRefs.some((r) => r.id === audit.id))
      .map(([id]) => id);
    console.log(`errored: ${audit.id} (${where.join(', ') || 'no category'}): ${audit.errorMessage}`);
  }
} finally {
  await chrome.kill();
  server.close();
}
