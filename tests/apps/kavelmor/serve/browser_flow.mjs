// The workshop page in headless Chromium, as a user goes through it: open the address with the
// token, drop the demo's plan, map the window sides' layer, make the bill, take the shop
// drawings; and the errors: a DWG dropped, a setting refused.
//
//   node browser_flow.mjs PAGE_DIR ADDRESS PLAN.dxf OUT_DIR
import { createRequire } from "node:module";
import { mkdtempSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";

const [pageDir, address, plan, out] = process.argv.slice(2);
const { chromium } = createRequire(join(pageDir, "package.json"))("playwright-core");

const profile = mkdtempSync(join(tmpdir(), "kvm-browser-"));
const context = await chromium.launchPersistentContext(profile, {
  executablePath: "/usr/bin/chromium",
  headless: true,
  args: ["--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
         "--disable-component-update", "--disable-sync", "--no-first-run"],
  viewport: { width: 1400, height: 1000 },
});
const report = { steps: [] };
try {
  const page = context.pages()[0] ?? (await context.newPage());
  await page.goto(address);
  report.url = page.url();
  await page.waitForSelector("#database:has-text('Database:')");
  report.database = await page.textContent("#database");
  await page.screenshot({ path: join(out, "1-start.png") });

  // A DWG gets the reader's own words next to the drop zone.
  const dwg = join(out, "roof.dwg");
  writeFileSync(dwg, Buffer.concat([Buffer.from("AC1027"), Buffer.alloc(200)]));
  await page.setInputFiles("#file", dwg);
  await page.waitForSelector("#plan-error:not(:empty)");
  report.dwgError = await page.textContent("#plan-error");

  await page.setInputFiles("#file", plan);
  await page.waitForSelector("#takeoff tbody tr");
  report.layers = await page.$$eval("#takeoff tbody tr", (rows) => rows.map((r) => r.dataset.layer));
  report.premapped = await page.$eval('select[data-layer="屋脊包角"]', (s) => s.value);
  await page.selectOption('select[data-layer="BJ-窗侧"]', "彩钢墙面:窗侧包角");
  await page.selectOption('select[data-mode="转角包角"]', "2");
  await page.hover('#takeoff tr[data-layer="屋脊包角"]');
  await page.screenshot({ path: join(out, "2-plan.png") });

  // A setting the settings dialog refuses is said next to its field.
  await page.fill('[id="setting-project.textHeight"]', "50");
  await page.click("#make-bill");
  await page.waitForSelector('.error[data-field="project.textHeight"]:not(:empty)');
  report.settingError = await page.textContent('.error[data-field="project.textHeight"]');
  await page.fill('[id="setting-project.textHeight"]', "300");

  let project = "";
  page.on("request", (request) => {
    if (request.url().endsWith("/bill")) project = request.postData() ?? "";
  });
  const started = Date.now();
  await page.click("#make-bill");
  await page.waitForSelector("#bill-table tbody tr");
  report.billMilliseconds = Date.now() - started;
  report.billRows = await page.$$eval("#bill-table tbody tr", (rows) =>
    rows.map((r) => [...r.children].map((c) => c.textContent)));
  report.links = await page.$$eval("#files a", (links) => links.map((a) => a.textContent));
  await page.screenshot({ path: join(out, "3-bill.png"), fullPage: true });
  writeFileSync(join(out, "project.json"), project);

  const pdf = await page.request.get(await page.$eval('#files a[href$="shop.pdf"]', (a) => a.href));
  report.pdfStatus = pdf.status();
  writeFileSync(join(out, "shop.pdf"), await pdf.body());
} finally {
  writeFileSync(join(out, "report.json"), JSON.stringify(report, null, 1));
  await context.close();
  rmSync(profile, { recursive: true, force: true });
}
