// The server's answers, as its API gives them.
export interface Flashing {
  name: string;
  id: string;
  colour: string;
  developedWidth: number;
  longestPiece: number;
  overlap: number;
  endExtension: number;
  bends: number;
  profile: string;
}
export interface Library {
  name: string;
  flashings: Flashing[];
}
export interface Database {
  database: string;
  modes: { mode: number; text: string }[];
  libraries: Library[];
}
export interface LayerTakeoff {
  name: string;
  entities: Record<string, number>;
  lines: number;
  length: number;
  frozen: boolean;
  off: boolean;
  tooManyLines: boolean;
}
export interface Warning {
  layer: string;
  at: string;
  problem: string;
}
export interface PlanReading {
  session: string;
  takeoff: { file: string; units: string; layers: LayerTakeoff[]; warnings: Warning[] };
  drawing: { layers: { name: string; lines: number[] }[]; bounds: number[]; thinned: boolean };
}
export interface BillAnswer {
  done: boolean;
  progress: string[];
  files?: string[];
  error?: string;
  field?: string;
  layers?: string[];
}
// A project file's row as the page maps it: a flashing's id, its mode and the plan's layers.
export interface ProjectRow {
  flashing: string;
  mode: number;
  layers: string[];
}
export interface OpenedProject {
  project: Record<string, unknown> & { currentUse: ProjectRow[] };
  notes: string[];
}
// A refusal that says what it concerns: the project file's field and the plan's layers.
export class LocatedError extends Error {
  constructor(
    message: string,
    readonly field: string,
    readonly layers: string[],
  ) {
    super(message);
  }
}

async function answer<T>(response: Response): Promise<T> {
  const body = await response.json();
  if (!response.ok && !("done" in body)) {
    throw new Error(body.error ?? `the server answered ${response.status}`);
  }
  return body as T;
}

// The server reads the file as the command line does and matches its rows with the database.
export async function openProject(file: File): Promise<OpenedProject> {
  const query = new URLSearchParams({ name: file.name });
  const response = await fetch(`/api/project?${query}`, { method: "POST", body: await file.text() });
  const body = await response.json();
  if (!response.ok) {
    throw new LocatedError(body.error ?? `the server answered ${response.status}`, body.field ?? "", body.layers ?? []);
  }
  return body as OpenedProject;
}

export async function database(): Promise<Database> {
  return answer<Database>(await fetch("/api/database"));
}

export async function uploadPlan(file: File): Promise<PlanReading> {
  const query = new URLSearchParams({ name: file.name });
  return answer<PlanReading>(await fetch(`/api/plan?${query}`, { method: "POST", body: file }));
}

// The bill's answer comes a JSON object a line: progress lines as the job says them, then the
// outcome.
export async function makeBill(
  session: string,
  project: string,
  onProgress: (line: string) => void,
): Promise<BillAnswer> {
  const response = await fetch(`/api/sessions/${session}/bill`, {
    method: "POST",
    headers: { "Content-Type": "application/json" },
    body: project,
  });
  if (!response.ok || !response.body) return answer<BillAnswer>(response);
  const reader = response.body.pipeThrough(new TextDecoderStream()).getReader();
  const progress: string[] = [];
  let pending = "";
  for (;;) {
    const { value, done } = await reader.read();
    if (value) pending += value;
    let end: number;
    while ((end = pending.indexOf("\n")) >= 0) {
      const line = JSON.parse(pending.slice(0, end));
      pending = pending.slice(end + 1);
      if ("progress" in line) {
        progress.push(line.progress);
        onProgress(line.progress);
      } else {
        return { ...line, progress } as BillAnswer;
      }
    }
    if (done) throw new Error("the server ended the bill without an outcome");
  }
}

export function fileUrl(session: string, name: string): string {
  return `/api/sessions/${session}/files/${encodeURIComponent(name)}`;
}

export async function fileText(session: string, name: string): Promise<string> {
  const response = await fetch(fileUrl(session, name));
  if (!response.ok) throw new Error(`${name}: the server answered ${response.status}`);
  return response.text();
}
