// The browser extension in Debian's Chromium, headless: the unpacked
// extension is loaded, its context-menu handler is called with a link and an
// image as a click would, and the addresses must reach CreateUrl through the
// real vendrake-native-host (a stand-in Vendrake answers on the private
// session bus this test runs on). The browser reaches nothing but 127.0.0.1.
//
// Usage: node extension_test.mjs CHROMIUM EXTENSION_DIR NATIVE_HOST FAKE_VENDRAKE

import { spawn } from "node:child_process";
import { once } from "node:events";
import { mkdtempSync, mkdirSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { createInterface } from "node:readline";
import assert from "node:assert/strict";
import puppeteer from "puppeteer-core";

const [chromium, extensionDir, nativeHost, fakeVendrake] = process.argv.slice(2);
const MENU_ID = "download-images-by-vendrake";
const TIMEOUT = 60000;

// The id Chromium gives the extension, from the manifest's key: the first 16
// bytes of the key's SHA-256, one letter a-p per hex digit.
async function extensionId() {
  const { createHash } = await import("node:crypto");
  const key = JSON.parse(readFileSync(join(extensionDir, "manifest.json"), "utf8")).key;
  const hex = createHash("sha256").update(Buffer.from(key, "base64")).digest("hex").slice(0, 32);
  return [...hex].map((c) => String.fromCharCode(97 + parseInt(c, 16))).join("");
}

// Starts the stand-in Vendrake; resolves once it owns its name, with a queue
// of the addresses it receives.
async function startFakeVendrake() {
  const child = spawn(fakeVendrake, [], { stdio: ["pipe", "pipe", "inherit"] });
  const lines = createInterface({ input: child.stdout });
  const received = [];
  const waiters = [];
  lines.on("line", (line) => {
    received.push(line);
    waiters.splice(0).forEach((wake) => wake());
  });
  const ready = () => received.includes("ready");
  while (!ready()) {
    const exited = once(child, "exit").then(([code]) => {
      throw new Error(`fake-vendrake ended (${code}) before it was ready`);
    });
    await Promise.race([new Promise((wake) => waiters.push(wake)), exited]);
  }
  received.splice(0);
  // Resolves once count addresses have come (the answer may overtake the line).
  const receivedCount = async (count) => {
    while (received.length < count) await new Promise((wake) => waiters.push(wake));
  };
  return { child, received, receivedCount };
}

const userDataDir = mkdtempSync(join(tmpdir(), "vendrake-browser-"));
let browser;
let fake;
try {
  const id = await extensionId();
  const hosts = join(userDataDir, "NativeMessagingHosts");
  mkdirSync(hosts, { recursive: true });
  writeFileSync(
    join(hosts, "org.vendrake.vendrake.json"),
    JSON.stringify({
      name: "org.vendrake.vendrake",
      description: "Vendrake (test)",
      path: nativeHost,
      type: "stdio",
      allowed_origins: [`chrome-extension://${id}/`],
    }),
  );
  fake = await startFakeVendrake();

  browser = await puppeteer.launch({
    executablePath: chromium,
    // Whatever the browser keeps outside its profile goes to the scratch
    // folder too.
    env: {
      ...process.env,
      HOME: userDataDir,
      XDG_CONFIG_HOME: join(userDataDir, "config"),
      XDG_CACHE_HOME: join(userDataDir, "cache"),
    },
    headless: true,
    pipe: true,
    ignoreDefaultArgs: ["--disable-extensions"],
    timeout: TIMEOUT,
    protocolTimeout: TIMEOUT,
    args: [
      "--no-sandbox",
      "--disable-gpu",
      "--disable-background-networking",
      "--disable-component-update",
      "--disable-sync",
      "--no-first-run",
      "--disable-default-apps",
      "--disable-breakpad",
      // Every host name resolves to nothing but the loopback address.
      "--host-resolver-rules=MAP * ~NOTFOUND, EXCLUDE 127.0.0.1",
      `--user-data-dir=${userDataDir}`,
      `--disable-extensions-except=${extensionDir}`,
      `--load-extension=${extensionDir}`,
    ],
  });
  const target = await browser.waitForTarget(
    (t) => t.type() === "service_worker" && t.url().startsWith(`chrome-extension://${id}/`),
    { timeout: TIMEOUT },
  );
  const worker = await target.worker();
  const click = (info) => worker.evaluate((i) => globalThis.vendrakeOnMenuClicked(i), info);

  // A link: its target goes to Vendrake, which takes it.
  const link = "http://127.0.0.1:9/gallery/index.html?a=1&b=%20";
  assert.deepEqual(await click({ menuItemId: MENU_ID, linkUrl: link, srcUrl: "http://127.0.0.1:9/inner.png" }), {
    ok: true,
  });
  // An image outside a link: its source.
  const image = "http://127.0.0.1:9/pictures/cat.jpg";
  assert.deepEqual(await click({ menuItemId: MENU_ID, srcUrl: image }), { ok: true });
  // Vendrake's refusal comes back as the answer.
  const refused = await click({ menuItemId: MENU_ID, linkUrl: "file:///etc/passwd" });
  assert.equal(refused.ok, false);
  assert.match(refused.error, /http and https/);
  // Other menu entries are not ours.
  assert.equal(await click({ menuItemId: "other", linkUrl: link }), null);

  await fake.receivedCount(3);
  assert.deepEqual(fake.received, [link, image, "file:///etc/passwd"]);
  console.log("the extension handed 3 addresses to CreateUrl through vendrake-native-host");
} finally {
  if (browser) await browser.close();
  if (fake) fake.child.stdin.end();
  rmSync(userDataDir, { recursive: true, force: true });
}
