// The browsers the web tests run in: Debian's Chromium (over the DevTools
// protocol) and Firefox ESR (over WebDriver BiDi), both driven by
// puppeteer-core with the system's executable, so nothing is downloaded.
// ORLIMO_BROWSERS=chromium (or firefox) limits a run to one engine.
import puppeteer from 'puppeteer-core';

const kEngines = {
  // Without these switches Chromium keeps dialling Google's hosts on a closed network.
  chromium: {browser: 'chrome', executablePath: '/usr/bin/chromium', args: ['--no-sandbox', '--disable-gpu',
    '--no-first-run', '--disable-quic', '--disable-background-networking', '--disable-component-update', '--disable-sync']},
  firefox: {browser: 'firefox', executablePath: '/usr/bin/firefox-esr', extraPrefsFirefox: {
    'network.captive-portal-service.enabled': false, 'network.connectivity-service.enabled': false}},
};

export const engines = (process.env.ORLIMO_BROWSERS || 'chromium,firefox')
  .split(',').map((name) => name.trim()).filter(Boolean);
const unknown = engines.find((name) => !kEngines[name]);
if (unknown) throw new Error(`ORLIMO_BROWSERS: unknown engine '${unknown}'`);

// A headless browser of `engine` ('chromium' or 'firefox'); close it when
// done. `dark`: its pages see the dark colour scheme.
export function launch(engine, {dark = false} = {}) {
  const {args = [], extraPrefsFirefox = {}, ...options} = kEngines[engine];
  return puppeteer.launch({headless: true, ...options, args: dark ? [...args, '--force-dark-mode'] : args,
    extraPrefsFirefox: {...extraPrefsFirefox, ...(dark && {'layout.css.prefers-color-scheme.content-override': 0})}});
}
