// Debian's Chromium as the page's tests and measuring tools start it (CHROMIUM names
// another): headless, and with nothing of its own on the network beside the page (no
// updates, no sync, no QUIC), so that what they see and time is the page's alone.
import { chromium } from 'playwright-core';

export const launchChromium = () =>
  chromium.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    args: [
      '--no-sandbox',
      '--disable-gpu',
      '--disable-quic',
      '--no-first-run',
      '--disable-background-networking',
      '--disable-component-update',
      '--disable-sync',
    ],
  });
