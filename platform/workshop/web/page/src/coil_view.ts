// The coil's sheet patterns as `coil.csv` gives them, drawn to scale: each sheet across the coil
// with the trim at its top, its rows from the top with their pieces end to end, and what the
// pieces leave grey.
import { layerColour } from "./plan_view";

const svgNs = "http://www.w3.org/2000/svg";
const drawnWidth = 520; // px for the longest sheet

interface Row {
  width: number;
  pieces: { flashing: string; length: number; count: number }[];
}
interface Pattern {
  title: string;
  coilWidth: number;
  trim: number;
  sheetLength: number;
  rows: Map<number, Row>;
}

function svg<K extends keyof SVGElementTagNameMap>(tag: K, attributes: Record<string, string | number>): SVGElementTagNameMap[K] {
  const made = document.createElementNS(svgNs, tag);
  for (const [name, value] of Object.entries(attributes)) made.setAttribute(name, String(value));
  return made;
}

function patterns(rows: string[][]): Pattern[] {
  const [head, ...body] = rows;
  const column = (name: string) => head?.indexOf(name) ?? -1;
  const at = Object.fromEntries(
    ["colour", "thickness_mm", "coil_width_mm", "trim_mm", "pattern", "sheets", "sheet_length_mm", "row", "row_width_mm", "flashing", "piece_length_mm", "pieces"].map((name) => [name, column(name)]),
  );
  const found = new Map<string, Pattern>();
  for (const line of body) {
    if (line.length < (head?.length ?? 0)) continue;
    const key = `${line[at.colour]}/${line[at.thickness_mm]}/${line[at.pattern]}`;
    let pattern = found.get(key);
    if (!pattern) {
      pattern = {
        title: `${line[at.colour]} ${line[at.thickness_mm]} mm, pattern ${line[at.pattern]}: ${line[at.sheets]} × ${line[at.sheet_length_mm]} mm`,
        coilWidth: Number(line[at.coil_width_mm]),
        trim: Number(line[at.trim_mm]),
        sheetLength: Number(line[at.sheet_length_mm]),
        rows: new Map(),
      };
      found.set(key, pattern);
    }
    const number = Number(line[at.row]);
    const row = pattern.rows.get(number) ?? { width: Number(line[at.row_width_mm]), pieces: [] };
    row.pieces.push({ flashing: line[at.flashing], length: Number(line[at.piece_length_mm]), count: Number(line[at.pieces]) });
    pattern.rows.set(number, row);
  }
  return [...found.values()];
}

export function drawCoil(holder: HTMLElement, rows: string[][]): void {
  const found = patterns(rows);
  const longest = Math.max(1, ...found.map((pattern) => pattern.sheetLength));
  const scale = drawnWidth / longest;
  const flashings: string[] = [];
  const colourOf = (flashing: string) => {
    if (!flashings.includes(flashing)) flashings.push(flashing);
    return layerColour(flashings.indexOf(flashing));
  };
  holder.replaceChildren();
  for (const pattern of found) {
    const figure = document.createElement("figure");
    figure.className = "sheet";
    const caption = document.createElement("figcaption");
    caption.textContent = pattern.title;
    const width = pattern.sheetLength * scale;
    const height = pattern.coilWidth * scale;
    const drawing = svg("svg", { width: width + 2, height: height + 2, viewBox: `-1 -1 ${width + 2} ${height + 2}` });
    drawing.append(svg("rect", { x: 0, y: 0, width, height, fill: "#bbb" }));
    let top = pattern.trim * scale;
    for (const number of [...pattern.rows.keys()].sort((a, b) => a - b)) {
      const row = pattern.rows.get(number)!;
      let left = 0;
      for (const piece of row.pieces) {
        for (let i = 0; i < piece.count; i++) {
          const rect = svg("rect", {
            x: left,
            y: top,
            width: piece.length * scale,
            height: row.width * scale,
            fill: colourOf(piece.flashing),
            stroke: "#fff",
            "stroke-width": 1,
          });
          const title = svg("title", {});
          title.textContent = `row ${number}: ${piece.flashing}, ${piece.length} × ${row.width} mm`;
          rect.append(title);
          drawing.append(rect);
          left += piece.length * scale;
        }
      }
      top += row.width * scale;
    }
    drawing.append(svg("rect", { x: 0, y: 0, width, height, fill: "none", stroke: "#333", "stroke-width": 1 }));
    figure.append(drawing, caption);
    holder.append(figure);
  }
  const legend = document.createElement("p");
  legend.className = "legend";
  for (const flashing of flashings) {
    const swatch = document.createElement("span");
    swatch.className = "swatch";
    swatch.style.background = colourOf(flashing);
    legend.append(swatch, ` ${flashing}  `);
  }
  legend.append("(grey: trim and rest)");
  holder.append(legend);
}
