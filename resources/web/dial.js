// The two dials in SVG: a full circle for an azimuth (north up, clockwise) and a quarter circle
// for an elevation (0° to the right, 90° straight up). A needle stands at the position, a small
// triangle on the rim at the setpoint; the face takes the rotator's status colour, or silver
// while the link is stale.

const SVG = "http://www.w3.org/2000/svg";
const SILVER = "#c0c0c0";

function element(name, attributes, parent) {
  const node = document.createElementNS(SVG, name);
  for (const [key, value] of Object.entries(attributes)) node.setAttribute(key, String(value));
  if (parent) parent.appendChild(node);
  return node;
}

// Where an angle of the scale lies on the dial: azimuth degrees clockwise from north, or
// elevation degrees counter-clockwise from the horizon.
function azimuthPoint(cx, cy, r, degrees) {
  const a = (degrees * Math.PI) / 180;
  return [cx + r * Math.sin(a), cy - r * Math.cos(a)];
}

function elevationPoint(cx, cy, r, degrees) {
  const a = (Math.min(Math.max(degrees, 0), 90) * Math.PI) / 180;
  return [cx + r * Math.cos(a), cy - r * Math.sin(a)];
}

function fmt(n) {
  return n.toFixed(1);
}

export class Dial {
  constructor(host) {
    this.host = host;
    this.kind = null;
  }

  // kind: "azimuth" or "elevation"; rebuilt only when it changes.
  build(kind) {
    if (this.kind === kind) return;
    this.kind = kind;
    this.host.textContent = "";
    const svg = element("svg", { viewBox: "0 0 200 200", role: "img" }, this.host);
    this.svg = svg;
    if (kind === "azimuth") this.buildAzimuth(svg);
    else this.buildElevation(svg);
  }

  buildAzimuth(svg) {
    this.point = (r, d) => azimuthPoint(100, 100, r, d);
    this.centre = [100, 100];
    this.radius = 92;
    this.face = element("circle", { class: "face", cx: 100, cy: 100, r: 92, fill: SILVER }, svg);
    for (let d = 0; d < 360; d += 10) {
      const major = d % 30 === 0;
      const [x1, y1] = this.point(major ? 80 : 86, d);
      const [x2, y2] = this.point(92, d);
      element("line", { class: major ? "tick" : "tick minor", x1: fmt(x1), y1: fmt(y1), x2: fmt(x2), y2: fmt(y2) }, svg);
    }
    for (const [d, text] of [[0, "N"], [90, "E"], [180, "S"], [270, "W"]]) {
      const [x, y] = this.point(70, d);
      element("text", { class: "label", x: fmt(x), y: fmt(y) }, svg).textContent = text;
    }
    this.finish(svg, 100, 140);
  }

  buildElevation(svg) {
    const cx = 22;
    const cy = 178;
    const r = 156;
    this.point = (radius, d) => elevationPoint(cx, cy, radius, d);
    this.centre = [cx, cy];
    this.radius = r;
    this.face = element("path", {
      class: "face",
      d: `M ${cx} ${cy} L ${cx + r} ${cy} A ${r} ${r} 0 0 0 ${cx} ${cy - r} Z`,
      fill: SILVER,
    }, svg);
    for (let d = 0; d <= 90; d += 5) {
      const major = d % 15 === 0;
      const [x1, y1] = this.point(major ? r - 14 : r - 7, d);
      const [x2, y2] = this.point(r, d);
      element("line", { class: major ? "tick" : "tick minor", x1: fmt(x1), y1: fmt(y1), x2: fmt(x2), y2: fmt(y2) }, svg);
      if (major) {
        const [x, y] = this.point(r - 26, d);
        element("text", { class: "label", x: fmt(x), y: fmt(y) }, svg).textContent = String(d);
      }
    }
    this.finish(svg, 110, 197);
  }

  finish(svg, valueX, valueY) {
    const [cx, cy] = this.centre;
    this.setpoint = element("path", { class: "setpoint", d: "M 0 0" }, svg);
    this.needle = element("line", { class: "needle", x1: cx, y1: cy, x2: cx, y2: cy }, svg);
    element("circle", { class: "hub", cx, cy, r: 5 }, svg);
    this.value = element("text", { class: "value", x: valueX, y: valueY }, svg);
  }

  // position and setpoint in degrees (setpoint null: no mark); colour is the status colour.
  update(position, setpoint, colour, stale) {
    const [cx, cy] = this.centre;
    const [x, y] = this.point(this.radius - 12, position);
    this.needle.setAttribute("x1", fmt(cx));
    this.needle.setAttribute("y1", fmt(cy));
    this.needle.setAttribute("x2", fmt(x));
    this.needle.setAttribute("y2", fmt(y));
    this.face.setAttribute("fill", stale ? SILVER : colour);
    this.svg.classList.toggle("stale", stale);
    this.value.textContent = `${position}°`;
    this.svg.setAttribute("aria-label", `${position}°`);
    if (setpoint === null) {
      this.setpoint.setAttribute("d", "M 0 0");
      return;
    }
    const [tx, ty] = this.point(this.radius, setpoint);
    const [lx, ly] = this.point(this.radius - 12, setpoint - 4);
    const [rx, ry] = this.point(this.radius - 12, setpoint + 4);
    this.setpoint.setAttribute("d", `M ${fmt(tx)} ${fmt(ty)} L ${fmt(lx)} ${fmt(ly)} L ${fmt(rx)} ${fmt(ry)} Z`);
  }
}

// The degrees of a setpoint read-out ("120°", "E30°"?): the first whole number in it, or null.
export function setpointDegrees(text) {
  const match = /-?\d+/.exec(text || "");
  return match ? Number(match[0]) : null;
}
