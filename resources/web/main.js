// The web console: login, then the station's state as it changes and the operator's commands.

import { Dial, setpointDegrees } from "./dial.js";
import { HoldToTurn } from "./hold.js";
import { Live } from "./live.js";
import { loadTexts, tr } from "./texts.js";

const $ = (id) => document.getElementById(id);

const SOURCE_NAMES = {
  desktop: "Desktop", tcp: "TCP", rotctld: "rotctld", n1mm: "N1MM", pst: "PST", web: "Web", mqtt: "MQTT",
};

const dials = [new Dial($("dial1")), new Dial($("dial2"))];
let role = null;
let reconnectTimer = null;

const live = new Live({
  onOpen: () => showBanner(null),
  onState: render,
  onReply: (reply) => {
    $("command-error").textContent = reply.error ? tr(reply.error) : "";
  },
  onClose: () => {
    hold.release();
    if (role === null) return;
    showBanner(tr("Connection lost. Reconnecting…"));
    clearTimeout(reconnectTimer);
    reconnectTimer = setTimeout(start, 2000);
  },
});

const hold = new HoldToTurn((command) => live.send(command));

function send(command) {
  if (!live.send(command)) $("command-error").textContent = tr("Connection lost. Reconnecting…");
}

function showBanner(text) {
  $("banner").hidden = !text;
  $("banner").textContent = text || "";
}

function showLogin(message) {
  role = null;
  live.close();
  $("console").hidden = true;
  $("login").hidden = false;
  $("login-error").textContent = message || "";
  $("password").value = "";
  $("password").focus();
}

function showConsole(newRole) {
  role = newRole;
  $("login").hidden = true;
  $("console").hidden = false;
  showBanner(tr("Connecting…"));
  live.close();
  live.open();
}

async function start() {
  let reply;
  try {
    reply = await fetch("/api/session", { credentials: "same-origin", cache: "no-store" });
  } catch {
    showBanner(tr("Connection lost. Reconnecting…"));
    clearTimeout(reconnectTimer);
    reconnectTimer = setTimeout(start, 2000);
    return;
  }
  if (reply.ok) showConsole((await reply.json()).role);
  else showLogin("");
}

async function login(event) {
  event.preventDefault();
  const password = $("password").value;
  let reply;
  try {
    reply = await fetch("/api/login", {
      method: "POST",
      credentials: "same-origin",
      headers: { "Content-Type": "application/json" },
      body: JSON.stringify({ password }),
    });
  } catch {
    $("login-error").textContent = tr("Connection lost. Reconnecting…");
    return;
  }
  if (reply.ok) {
    $("password").value = "";
    showConsole((await reply.json()).role);
  } else if (reply.status === 429) {
    $("login-error").textContent = tr("Too many attempts. Try again later.");
  } else {
    $("login-error").textContent = tr("Wrong password");
  }
}

async function logout() {
  role = null;
  live.close();
  try {
    await fetch("/api/logout", { method: "POST", credentials: "same-origin" });
  } finally {
    showLogin("");
  }
}

function renderRotator(n, rotator, kind, stale) {
  dials[n - 1].build(kind);
  dials[n - 1].update(rotator.position, setpointDegrees(rotator.setpoint), rotator.colour, stale);
  $(`position${n}`).textContent = `${rotator.position}°`;
  $(`setpoint${n}`).textContent = rotator.setpoint;
}

function renderPresets(presets, operator) {
  const box = $("presets");
  if (box.children.length !== presets.length) {
    box.textContent = "";
    for (const preset of presets) {
      const button = document.createElement("button");
      button.type = "button";
      button.dataset.preset = String(preset.n);
      button.addEventListener("click", () => send({ cmd: "preset", n: preset.n }));
      box.appendChild(button);
    }
  }
  presets.forEach((preset, i) => {
    const button = box.children[i];
    button.textContent = preset.name;
    button.title = `A=${preset.azimuth}° E=${preset.elevation}°`;
    button.disabled = !operator;
  });
}

function render(state) {
  const operator = state.role === "operator";
  const stale = !state.link.fresh;
  $("callsign").textContent = state.callsign;
  $("locator").textContent = state.locator;
  $("role").textContent = operator ? tr("Operator") : tr("Viewer: commands are disabled");
  $("consoles").textContent = String(state.consoles);
  showBanner(stale ? state.link.reason || tr("Connecting…") : null);

  renderRotator(1, state.rotator1, "azimuth", stale);
  renderRotator(2, state.rotator2, state.rotator2Kind === "azimuth" ? "azimuth" : "elevation", stale);
  renderPresets(state.presets, operator);

  $("tracking-readout").textContent = state.tracking.readout;
  for (const button of $("tracking").children) {
    button.setAttribute("aria-pressed", String(button.dataset.source === state.tracking.source));
  }

  const last = state.lastCommand;
  $("last-command").textContent = last
    ? `${last.text} (${tr("from")} ${tr(SOURCE_NAMES[last.source] || last.source)}${last.address ? " " + last.address : ""})`
    : "";

  for (const node of document.querySelectorAll("#console button:not(#logout), #target")) {
    if (!node.dataset.preset) node.disabled = !operator;
  }
  if (!operator) hold.release();
}

function wire() {
  $("login-form").addEventListener("submit", login);
  $("logout").addEventListener("click", logout);
  $("target-form").addEventListener("submit", (event) => {
    event.preventDefault();
    const text = $("target").value;
    $("command-error").textContent = "";
    send({ cmd: "target", text });
    $("target").value = "";
  });
  $("stop").addEventListener("click", () => {
    hold.release();
    send({ cmd: "stop" });
  });
  $("park").addEventListener("click", () => send({ cmd: "park" }));
  for (const button of $("tracking").children) {
    button.addEventListener("click", () => send({ cmd: "tracking", source: button.dataset.source }));
  }
  for (const button of $("jog").children) hold.attach(button);
  document.addEventListener("keydown", (event) => {
    if (event.key === "Escape" && role === "operator") {
      hold.release();
      send({ cmd: "stop" });
    }
  });
}

wire();
loadTexts().then(start);
