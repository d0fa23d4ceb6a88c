// The workshop page in headless Chromium, as a user goes through it: open the address with the
// token, drop the demo's plan, map the window sides' layer, make the bill, take the shop
// drawings; save the project, change it, open the saved file and make the same bill; take all as
// one zip and make the bill again; and the errors: a DWG dropped, a setting refused, a project
// file refused, a plan with a line drawn twice.
//
//   node browser_flow.mjs PAGE_DIR ADDRESS PLAN.dxf OUT_DIR TWICE.dxf
import { createRequire } from "node:module";
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";

const [pageDir, address, plan, out, twice] = process.argv.slice(2);
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
  const billRows = () =>
    page.$$eval("#bill-table tbody tr", (rows) => rows.map((r) => [...r.children].map((c) => c.textContent)));
  const started = Date.now();
  await page.click("#make-bill");
  await page.waitForSelector("#bill-table tbody tr");
  report.billMilliseconds = Date.now() - started;
  report.billRows = await billRows();
  report.links = await page.$$eval("#files a", (links) => links.map((a) => a.textContent));
  await page.screenshot({ path: join(out, "3-bill.png"), fullPage: true });
  // The coil's sheet patterns, a figure each, a rectangle per piece.
  report.coilPatterns = await page.$$eval("#coil figure", (figures) => figures.map((f) => f.querySelector("figcaption").textContent));
  report.coilPieces = await page.$$eval("#coil rect title", (titles) => titles.length);
  await (await page.$("#coil")).screenshot({ path: join(out, "5-coil.png") });
  writeFileSync(join(out, "project.json"), project);

  const pdf = await page.request.get(await page.$eval('#files a[href$="shop.pdf"]', (a) => a.href));
  report.pdfStatus = pdf.status();
  writeFileSync(join(out, "shop.pdf"), await pdf.body());

  // The project saved as the command line's file, changed on the page, and opened again.
  const [saving] = await Promise.all([page.waitForEvent("download"), page.click("#save-project")]);
  report.savedName = saving.suggestedFilename();
  const saved = join(out, "saved-project.json");
  await saving.saveAs(saved);
  await page.fill('[id="setting-project.textHeight"]', "450");
  await page.selectOption('select[data-layer="BJ-窗侧"]', "");
  await page.selectOption('select[data-mode="转角包角"]', "0");
  await page.setInputFiles("#project-file", saved);
  await page.waitForFunction(() => (document.getElementById("setting-project.textHeight")).value !== "450");
  report.reopened = {
    textHeight: await page.inputValue('[id="setting-project.textHeight"]'),
    windowSides: await page.inputValue('select[data-layer="BJ-窗侧"]'),
    cornerMode: await page.inputValue('select[data-mode="转角包角"]'),
  };
  await page.evaluate(() => document.getElementById("bill").setAttribute("hidden", ""));
  const before = project;
  await page.click("#make-bill");
  await page.waitForSelector("#bill-table tbody tr");
  await page.waitForSelector("#bill:not([hidden])");
  report.reopenedSameProject = project === before;
  report.reopenedSameBill = JSON.stringify(await billRows()) === JSON.stringify(report.billRows);

  // All the files as one zip; the server lets the bill go, and the next one sends the plan again.
  const [zipping] = await Promise.all([page.waitForEvent("download"), page.click('#files a[href$="bill.zip"]')]);
  const zip = join(out, "bill.zip");
  await zipping.saveAs(zip);
  report.zipBytes = readFileSync(zip).length;
  await page.waitForSelector("#files:has-text('left the server')");
  await page.click("#make-bill");
  await page.waitForSelector('#files a[href$="shop.pdf"]');
  report.billAfterZip = JSON.stringify(await billRows()) === JSON.stringify(report.billRows);

  // A project file the reader refuses: its message next to the row of the layers it concerns.
  const refused = JSON.parse(readFileSync(saved, "utf8"));
  const gableRow = refused.currentUse.findIndex((row) => row.layers.includes("山墙包角"));
  refused.currentUse[gableRow].mode = 7;
  const refusedFile = join(out, "refused.json");
  writeFileSync(refusedFile, JSON.stringify(refused, null, 1));
  await page.setInputFiles("#project-file", refusedFile);
  await page.waitForSelector('#takeoff tr.refused .error[data-layer-error="山墙包角"]:not(:empty)');
  report.projectError = await page.textContent("#project-error");
  report.projectRowError = await page.textContent('.error[data-layer-error="山墙包角"]');

  // A plan with a line drawn twice: the refusal next to that line's layer.
  await page.setInputFiles("#file", twice);
  await page.waitForSelector("#plan-title:has-text('twice.dxf')");
  await page.click("#make-bill");
  await page.waitForSelector("#takeoff tr.refused .error[data-layer-error]:not(:empty)");
  report.overlapLayers = await page.$$eval("#takeoff tr.refused", (rows) => rows.map((r) => r.dataset.layer));
  report.overlapError = await page.textContent("#takeoff tr.refused .error[data-layer-error]");
  await page.screenshot({ path: join(out, "4-errors.png"), fullPage: true });
} finally {
  writeFileSync(join(out, "report.json"), JSON.stringify(report, null, 1));
  await context.close();
  rmSync(profile, { recursive: true, force: true });
}
