// What the browser tests share: the browser they drive, and replay dumps read back.
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import puppeteer from 'puppeteer-core';

// Debian's chromium, headless, with a profile in `scratch`; FIREFOX=/usr/bin/firefox-esr runs
// the tests in Firefox instead (not part of CI). Every wait is bounded by `stepMs`.
export function launch(scratch, stepMs) {
  const chromium = process.env.CHROMIUM || '/usr/bin/chromium';
  return puppeteer.launch(process.env.FIREFOX ? {
    browser: 'firefox', executablePath: process.env.FIREFOX, headless: true,
    timeout: stepMs * 3, protocolTimeout: stepMs, userDataDir: join(scratch, 'profile'),
  } : {
    executablePath: chromium, headless: true, timeout: stepMs, protocolTimeout: stepMs,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      `--user-data-dir=${join(scratch, 'profile')}`],
  });
}

// A replay dump (a 16-bit BMP, bottom-up) as its raw RGB565 values, top row first.
export function readDump(path) {
  const bmp = readFileSync(path);
  const offset = bmp.readUInt32LE(10), width = bmp.readInt32LE(18), height = bmp.readInt32LE(22);
  if (bmp.readUInt16LE(28) !== 16) throw new Error(`${path} is not a 16-bit dump`);
  const page = new Array(width * height);
  for (let y = 0; y < height; ++y) {
    for (let x = 0; x < width; ++x) {
      page[y * width + x] = bmp.readUInt16LE(offset + ((height - 1 - y) * width + x) * 2);
    }
  }
  return page;
}
