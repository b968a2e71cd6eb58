// Hold to turn: while a direction button is held the page repeats the jog every 150 ms (the
// station releases it 500 ms after the last repeat); letting go, leaving the button, hiding the
// tab or losing the window's focus sends the release at once.

const REPEAT_MS = 150;

export class HoldToTurn {
  constructor(send) {
    this.send = send;
    this.timer = null;
    this.direction = null;
    document.addEventListener("visibilitychange", () => {
      if (document.hidden) this.release();
    });
    window.addEventListener("blur", () => this.release());
    window.addEventListener("pagehide", () => this.release());
  }

  attach(button) {
    const dir = button.dataset.dir;
    button.addEventListener("pointerdown", (event) => {
      if (button.disabled) return;
      event.preventDefault();
      button.setPointerCapture?.(event.pointerId);
      this.hold(dir);
    });
    for (const name of ["pointerup", "pointercancel", "lostpointercapture"]) {
      button.addEventListener(name, () => this.release());
    }
    button.addEventListener("contextmenu", (event) => event.preventDefault());
  }

  hold(dir) {
    this.release();
    this.direction = dir;
    this.send({ cmd: "jog", dir });
    this.timer = setInterval(() => this.send({ cmd: "jog", dir }), REPEAT_MS);
  }

  release() {
    if (this.timer === null) return;
    clearInterval(this.timer);
    this.timer = null;
    this.direction = null;
    this.send({ cmd: "release" });
  }
}
