import type { PlanReading } from "./api";

// A colour per layer, far enough apart to tell the layers of a plan from each other.
export function layerColour(index: number): string {
  const hue = (index * 137.508) % 360;
  return `hsl(${hue.toFixed(0)}, 70%, 42%)`;
}

// The plan on a canvas, a colour per layer, with pan (drag) and zoom (wheel). At low zoom
// lines shorter than a pixel are left out, so a plan of many lines stays smooth.
export class PlanView {
  private scale = 1;
  private offsetX = 0;
  private offsetY = 0;
  private highlighted = -1;
  private drawing: PlanReading["drawing"] | null = null;

  constructor(private readonly canvas: HTMLCanvasElement) {
    let dragging: { x: number; y: number } | null = null;
    canvas.addEventListener("mousedown", (event) => {
      dragging = { x: event.clientX, y: event.clientY };
    });
    window.addEventListener("mouseup", () => {
      dragging = null;
    });
    window.addEventListener("mousemove", (event) => {
      if (!dragging) return;
      this.offsetX += event.clientX - dragging.x;
      this.offsetY += event.clientY - dragging.y;
      dragging = { x: event.clientX, y: event.clientY };
      this.requestDraw();
    });
    canvas.addEventListener(
      "wheel",
      (event) => {
        event.preventDefault();
        const rect = canvas.getBoundingClientRect();
        const x = event.clientX - rect.left;
        const y = event.clientY - rect.top;
        const factor = Math.exp(-event.deltaY * 0.0015);
        this.offsetX = x - (x - this.offsetX) * factor;
        this.offsetY = y - (y - this.offsetY) * factor;
        this.scale *= factor;
        this.requestDraw();
      },
      { passive: false },
    );
  }

  show(drawing: PlanReading["drawing"]): void {
    this.drawing = drawing;
    const [left, bottom, right, top] = drawing.bounds.length === 4 ? drawing.bounds : [0, 0, 1, 1];
    const width = Math.max(right - left, 1);
    const height = Math.max(top - bottom, 1);
    this.scale = 0.92 * Math.min(this.canvas.width / width, this.canvas.height / height);
    this.offsetX = (this.canvas.width - width * this.scale) / 2 - left * this.scale;
    this.offsetY = (this.canvas.height - height * this.scale) / 2 + top * this.scale;
    this.requestDraw();
  }

  highlight(layer: number): void {
    this.highlighted = layer;
    this.requestDraw();
  }

  private pending = false;
  private requestDraw(): void {
    if (this.pending) return;
    this.pending = true;
    requestAnimationFrame(() => {
      this.pending = false;
      this.draw();
    });
  }

  private draw(): void {
    const context = this.canvas.getContext("2d");
    if (!context || !this.drawing) return;
    context.clearRect(0, 0, this.canvas.width, this.canvas.height);
    const { scale, offsetX, offsetY } = this;
    const order = this.drawing.layers.map((_, i) => i).filter((i) => i !== this.highlighted);
    if (this.highlighted >= 0) order.push(this.highlighted);
    for (const index of order) {
      const lines = this.drawing.layers[index].lines;
      context.strokeStyle = layerColour(index);
      context.lineWidth = index === this.highlighted ? 3 : 1;
      context.globalAlpha = this.highlighted < 0 || index === this.highlighted ? 1 : 0.35;
      context.beginPath();
      for (let i = 0; i + 3 < lines.length; i += 4) {
        const x1 = lines[i] * scale + offsetX;
        const y1 = offsetY - lines[i + 1] * scale;
        const x2 = lines[i + 2] * scale + offsetX;
        const y2 = offsetY - lines[i + 3] * scale;
        if (Math.abs(x2 - x1) + Math.abs(y2 - y1) < 0.5) continue;
        context.moveTo(x1, y1);
        context.lineTo(x2, y2);
      }
      context.stroke();
    }
    context.globalAlpha = 1;
  }
}
