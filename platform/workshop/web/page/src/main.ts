import "./style.css";
import * as api from "./api";
import { drawCoil } from "./coil_view";
import { parseCsv } from "./csv";
import { PlanView, layerColour } from "./plan_view";

// The project's settings as the settings dialog takes them, by their place in the project file.
const settingFields: { field: string; label: string; value: string }[] = [
  { field: "project.name", label: "Project name", value: "" },
  { field: "project.plateThickness", label: "Plate thickness (mm)", value: "0.5" },
  { field: "project.lengthClassStep", label: "Length class step (mm)", value: "300" },
  { field: "project.textHeight", label: "Text height", value: "300" },
  { field: "coil.width", label: "Coil width (mm)", value: "1250" },
  { field: "coil.trim", label: "Coil trim (mm)", value: "0" },
  { field: "prices.sheet", label: "Sheet prices per m² (colour/thickness=price; …)", value: "" },
  { field: "prices.perBendPerMetre", label: "Folding price per bend and metre", value: "" },
];
const mappingKey = "kavelmor.layerMapping";

const byId = <T extends HTMLElement>(id: string) => document.getElementById(id) as T;
const element = <K extends keyof HTMLElementTagNameMap>(tag: K, text = "") => {
  const made = document.createElement(tag);
  made.textContent = text;
  return made;
};

let database: api.Database | null = null;
let reading: api.PlanReading | null = null;
// The plan as the user chose it: uploaded again when its session has gone with the zip.
let planFile: File | null = null;
let sessionSpent = false;
// The fields of an opened project file the page does not show, written back as they were.
let opened: Record<string, unknown> | null = null;
const view = new PlanView(byId<HTMLCanvasElement>("canvas"));

function flashingById(id: string): api.Flashing | undefined {
  for (const library of database?.libraries ?? []) {
    const found = library.flashings.find((flashing) => flashing.id === id);
    if (found) return found;
  }
  return undefined;
}

function rememberedMapping(): Record<string, { flashing: string; mode: number }> {
  try {
    return JSON.parse(localStorage.getItem(mappingKey) ?? "{}");
  } catch {
    return {};
  }
}

// A layer named like a flashing is that flashing's, unless the user mapped it otherwise.
function initialFlashing(layer: string): { flashing: string; mode: number } {
  const remembered = rememberedMapping()[layer];
  if (remembered && flashingById(remembered.flashing)) return remembered;
  for (const library of database?.libraries ?? []) {
    for (const flashing of library.flashings) {
      if (flashing.name.toLowerCase() === layer.toLowerCase()) return { flashing: flashing.id, mode: 0 };
    }
  }
  return { flashing: "", mode: 0 };
}

function profileImage(flashing: api.Flashing | undefined): HTMLElement {
  const holder = element("span");
  holder.className = "profile";
  if (flashing?.profile) {
    const image = element("img");
    image.src = "data:image/svg+xml;charset=utf-8," + encodeURIComponent(flashing.profile);
    image.alt = flashing.name;
    holder.append(image);
  }
  if (flashing) {
    holder.append(
      element(
        "small",
        `${flashing.colour}, ${flashing.developedWidth} mm wide, longest piece ${flashing.longestPiece} mm, overlap ${flashing.overlap} mm`,
      ),
    );
  }
  return holder;
}

function flashingPicker(layer: string): HTMLElement {
  const cell = element("div");
  cell.className = "picker";
  const select = element("select");
  select.dataset.layer = layer;
  select.append(new Option("— not billed —", ""));
  for (const library of database?.libraries ?? []) {
    const group = element("optgroup");
    group.label = library.name;
    for (const flashing of library.flashings) group.append(new Option(flashing.name, flashing.id));
    select.append(group);
  }
  const mode = element("select");
  mode.dataset.mode = layer;
  for (const choice of database?.modes ?? []) mode.append(new Option(choice.text, String(choice.mode)));
  const initial = initialFlashing(layer);
  select.value = initial.flashing;
  mode.value = String(initial.mode);
  const picture = element("span");
  picture.append(profileImage(flashingById(select.value)));
  const changed = () => {
    picture.replaceChildren(profileImage(flashingById(select.value)));
    const mapping = rememberedMapping();
    mapping[layer] = { flashing: select.value, mode: Number(mode.value) };
    localStorage.setItem(mappingKey, JSON.stringify(mapping));
  };
  // Programmatic changes (an opened project) say so with a change event too.
  select.addEventListener("change", changed);
  mode.addEventListener("change", changed);
  cell.append(select, mode, picture);
  return cell;
}

function showTakeoff(plan: api.PlanReading): void {
  const table = byId<HTMLTableElement>("takeoff");
  table.replaceChildren();
  const head = table.createTHead().insertRow();
  for (const title of ["", "Layer", "Entities", "Lines", "Length (m)", "Flashing"]) head.append(element("th", title));
  const body = table.createTBody();
  plan.takeoff.layers.forEach((layer, index) => {
    const row = body.insertRow();
    row.dataset.layer = layer.name;
    const swatch = element("span");
    swatch.className = "swatch";
    swatch.style.background = layerColour(index);
    row.insertCell().append(swatch);
    row.insertCell().textContent = layer.name + (layer.frozen ? " (frozen)" : "") + (layer.off ? " (off)" : "");
    row.insertCell().textContent = Object.entries(layer.entities)
      .map(([type, count]) => `${count} ${type}`)
      .join(", ");
    row.insertCell().textContent = String(layer.lines);
    row.insertCell().textContent = (layer.length / 1000).toFixed(2);
    const picker = row.insertCell();
    if (layer.lines > 0) picker.append(flashingPicker(layer.name));
    const message = element("div");
    message.className = "error";
    message.dataset.layerError = layer.name;
    picker.append(message);
    row.addEventListener("mouseenter", () => view.highlight(index));
    row.addEventListener("mouseleave", () => view.highlight(-1));
  });
  const warnings = byId<HTMLUListElement>("warnings");
  warnings.replaceChildren(
    ...plan.takeoff.warnings.map((warning) =>
      element("li", `${warning.layer ? warning.layer + ": " : ""}${warning.at ? warning.at + ": " : ""}${warning.problem}`),
    ),
  );
  byId("plan-title").textContent = `${plan.takeoff.file} (units ${plan.takeoff.units})`;
  if (!byId<HTMLInputElement>("setting-project.name").value) {
    byId<HTMLInputElement>("setting-project.name").value = plan.takeoff.file.replace(/\.dxf$/i, "");
  }
}

function buildSettings(): void {
  const form = byId<HTMLFormElement>("settings");
  for (const setting of settingFields) {
    const label = element("label", setting.label);
    const input = element("input");
    input.id = `setting-${setting.field}`;
    input.value = setting.value;
    const message = element("span");
    message.className = "error";
    message.dataset.field = setting.field;
    label.append(input, message);
    form.append(label);
  }
}

function settingValue(field: string): string {
  return byId<HTMLInputElement>(`setting-${field}`).value.trim();
}

// The project file the command line reads, from the settings and the layers' flashings.
function projectFile(plan: api.PlanReading): string {
  const rows: { flashing: string; mode: number; layers: string[] }[] = [];
  document.querySelectorAll<HTMLSelectElement>("select[data-layer]").forEach((select) => {
    if (!select.value) return;
    const mode = Number(document.querySelector<HTMLSelectElement>(`select[data-mode="${CSS.escape(select.dataset.layer!)}"]`)!.value);
    const row = rows.find((existing) => existing.flashing === select.value && existing.mode === mode);
    if (row) row.layers.push(select.dataset.layer!);
    else rows.push({ flashing: select.value, mode, layers: [select.dataset.layer!] });
  });
  const bounds = plan.drawing.bounds.length === 4 ? plan.drawing.bounds : [0, 0, 0, 0];
  const base = opened ?? {};
  const project: Record<string, unknown> = {
    ...base,
    project: {
      name: settingValue("project.name"),
      plateThickness: settingValue("project.plateThickness"),
      lengthClassStep: settingValue("project.lengthClassStep"),
      textHeight: settingValue("project.textHeight"),
    },
    // The bill stands to the right of the plan, level with its top, unless the project says.
    billOrigin: base.billOrigin ?? [Math.round(bounds[2] + 6000), Math.round(bounds[3])],
    // The command line finds the plan beside the project file.
    plan: base.plan ?? plan.takeoff.file,
    coil: {
      ...(base.coil as Record<string, unknown> | undefined),
      width: Number(settingValue("coil.width")),
      trim: Number(settingValue("coil.trim")),
    },
    currentUse: rows,
  };
  delete project.prices;
  const sheet: Record<string, number> = {};
  for (const pair of settingValue("prices.sheet").split(";")) {
    const [key, price] = pair.split("=");
    if (key?.trim() && price?.trim()) sheet[key.trim()] = Number(price);
  }
  if (Object.keys(sheet).length > 0 || settingValue("prices.perBendPerMetre")) {
    project.prices = {
      ...(base.prices as Record<string, unknown> | undefined),
      sheet,
      perBendPerMetre: Number(settingValue("prices.perBendPerMetre") || 0),
    };
  }
  return JSON.stringify(project, null, 1);
}

function clearErrors(): void {
  document.querySelectorAll(".error[data-field], .error[data-layer-error]").forEach((node) => (node.textContent = ""));
  document.querySelectorAll("tr.refused").forEach((node) => node.classList.remove("refused"));
  byId("bill-error").textContent = "";
  byId("project-error").textContent = "";
}

// An error goes next to the setting and the layers the server says it concerns.
function showLocated(message: string, field: string, layers: string[]): void {
  const setting = field ? document.querySelector(`.error[data-field="${CSS.escape(field)}"]`) : null;
  if (setting) setting.textContent = message;
  const wanted = new Set(layers.map((layer) => layer.toLowerCase()));
  document.querySelectorAll<HTMLTableRowElement>("#takeoff tr[data-layer]").forEach((row) => {
    if (!wanted.has(row.dataset.layer!.toLowerCase())) return;
    row.classList.add("refused");
    const note = row.querySelector(".error[data-layer-error]");
    if (note) note.textContent = message;
  });
}

// Always below the button too, where the user looks after pressing it.
function showBillError(answer: api.BillAnswer): void {
  byId("bill-error").textContent = answer.error ?? "";
  showLocated(answer.error ?? "", answer.field ?? "", answer.layers ?? []);
}

function setSetting(field: string, value: unknown): void {
  byId<HTMLInputElement>(`setting-${field}`).value = value === undefined || value === null ? "" : String(value);
}

// The settings and the layers' flashings of a project file the server has read.
function applyProject(answer: api.OpenedProject): void {
  const { currentUse, ...rest } = answer.project;
  opened = rest;
  const settings = (rest.project ?? {}) as Record<string, unknown>;
  for (const key of ["name", "plateThickness", "lengthClassStep", "textHeight"]) setSetting(`project.${key}`, settings[key]);
  const coil = (rest.coil ?? {}) as Record<string, unknown>;
  setSetting("coil.width", coil.width ?? 1250);
  setSetting("coil.trim", coil.trim ?? 0);
  const prices = (rest.prices ?? {}) as { sheet?: Record<string, number>; perBendPerMetre?: number };
  setSetting(
    "prices.sheet",
    Object.entries(prices.sheet ?? {})
      .map(([key, price]) => `${key}=${price}`)
      .join("; "),
  );
  setSetting("prices.perBendPerMetre", prices.perBendPerMetre);
  const byLayer = new Map<string, api.ProjectRow>();
  for (const row of currentUse) for (const layer of row.layers) byLayer.set(layer.toLowerCase(), row);
  const onPlan = new Set<string>();
  document.querySelectorAll<HTMLSelectElement>("select[data-layer]").forEach((select) => {
    const layer = select.dataset.layer!;
    const row = byLayer.get(layer.toLowerCase());
    if (row) onPlan.add(layer.toLowerCase());
    select.value = row?.flashing ?? "";
    const mode = document.querySelector<HTMLSelectElement>(`select[data-mode="${CSS.escape(layer)}"]`)!;
    mode.value = String(row?.mode ?? 0);
    select.dispatchEvent(new Event("change"));
  });
  const notes = [...answer.notes];
  for (const layer of byLayer.keys()) {
    if (!onPlan.has(layer)) notes.push(`layer ${layer}: the project maps it, but this plan has no flashing lines on it`);
  }
  byId("project-notes").replaceChildren(...notes.map((note) => element("li", note)));
}

async function openProjectFile(file: File): Promise<void> {
  clearErrors();
  try {
    applyProject(await api.openProject(file));
  } catch (error) {
    const message = (error as Error).message;
    byId("project-error").textContent = message;
    if (error instanceof api.LocatedError) showLocated(message, error.field, error.layers);
  }
}

// The project file the command line reads, as a download.
function saveProject(): void {
  if (!reading) return;
  const link = element("a");
  link.href = URL.createObjectURL(new Blob([projectFile(reading) + "\n"], { type: "application/json" }));
  link.download = "project.json";
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 60_000);
}

async function showBill(session: string, answer: api.BillAnswer): Promise<void> {
  const rows = parseCsv(await api.fileText(session, "bill.csv"));
  const table = byId<HTMLTableElement>("bill-table");
  table.replaceChildren();
  const [head, ...body] = rows;
  const headRow = table.createTHead().insertRow();
  for (const title of head ?? []) headRow.append(element("th", title));
  const tbody = table.createTBody();
  for (const row of body) {
    const line = tbody.insertRow();
    if (row[0] === "total") line.className = "total";
    for (const cell of row) line.insertCell().textContent = cell;
  }
  const coil = byId("coil");
  coil.replaceChildren();
  if (answer.files?.includes("coil.csv")) drawCoil(coil, parseCsv(await api.fileText(session, "coil.csv")));
  const files = byId("files");
  files.replaceChildren();
  for (const name of answer.files ?? []) {
    const link = element("a", name);
    link.href = api.fileUrl(session, name);
    if (name.endsWith(".pdf")) link.target = "_blank";
    else link.download = name;
    files.append(link, " ");
  }
  const zip = element("a", "all as one zip");
  zip.href = `/api/sessions/${session}/bill.zip`;
  zip.download = "bill.zip";
  // The server lets the bill go once its zip has been fetched; the next bill sends the plan again.
  zip.addEventListener("click", () => {
    sessionSpent = true;
    setTimeout(() => {
      files.replaceChildren(
        element("span", "All the files went as one zip and have left the server; make the bill again to fetch them one by one."),
      );
    }, 500);
  });
  files.append(zip);
  byId("bill").hidden = false;
}

async function openPlan(file: File): Promise<void> {
  byId("plan-error").textContent = "";
  try {
    reading = await api.uploadPlan(file);
    planFile = file;
    sessionSpent = false;
  } catch (error) {
    byId("plan-error").textContent = (error as Error).message;
    return;
  }
  byId("plan").hidden = false;
  byId("bill").hidden = true;
  showTakeoff(reading);
  view.show(reading.drawing);
}

async function makeBill(): Promise<void> {
  if (!reading) return;
  clearErrors();
  const project = projectFile(reading);
  const button = byId<HTMLButtonElement>("make-bill");
  button.disabled = true;
  button.textContent = "Making the bill…";
  try {
    const progress = byId("progress");
    progress.textContent = "";
    if (sessionSpent && planFile) {
      reading.session = (await api.uploadPlan(planFile)).session;
      sessionSpent = false;
    }
    const answer = await api.makeBill(reading.session, project, (line) => {
      progress.textContent += line + "\n";
      button.textContent = `Making the bill… ${line}`;
    });
    if (answer.done) await showBill(reading.session, answer);
    else showBillError(answer);
  } catch (error) {
    byId("bill-error").textContent = (error as Error).message;
  } finally {
    button.disabled = false;
    button.textContent = "Make the bill";
  }
}

async function start(): Promise<void> {
  buildSettings();
  try {
    database = await api.database();
    byId("database").textContent = `Database: ${database.database}`;
  } catch (error) {
    byId("database").textContent = (error as Error).message;
  }
  const drop = byId("drop");
  drop.addEventListener("dragover", (event) => {
    event.preventDefault();
    drop.classList.add("over");
  });
  drop.addEventListener("dragleave", () => drop.classList.remove("over"));
  drop.addEventListener("drop", (event) => {
    event.preventDefault();
    drop.classList.remove("over");
    const file = event.dataTransfer?.files[0];
    if (file) void openPlan(file);
  });
  byId<HTMLInputElement>("file").addEventListener("change", (event) => {
    const file = (event.target as HTMLInputElement).files?.[0];
    if (file) void openPlan(file);
  });
  byId("make-bill").addEventListener("click", () => void makeBill());
  byId("save-project").addEventListener("click", saveProject);
  byId<HTMLInputElement>("project-file").addEventListener("change", (event) => {
    const input = event.target as HTMLInputElement;
    const file = input.files?.[0];
    if (file) void openProjectFile(file);
    input.value = "";
  });
}

void start();
