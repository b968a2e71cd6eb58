// The live connection: one WebSocket to /api/live carrying the station's state to the page and
// the operator's commands to the station. Replies come back in the order the commands went.

export class Live {
  constructor({ onState, onReply, onOpen, onClose }) {
    this.handlers = { onState, onReply, onOpen, onClose };
    this.socket = null;
  }

  open() {
    const scheme = location.protocol === "https:" ? "wss:" : "ws:";
    const socket = new WebSocket(`${scheme}//${location.host}/api/live`);
    this.socket = socket;
    socket.addEventListener("open", () => this.handlers.onOpen());
    socket.addEventListener("message", (event) => {
      let message;
      try {
        message = JSON.parse(event.data);
      } catch {
        return;
      }
      if (message.type === "state") this.handlers.onState(message);
      else if (message.type === "reply") this.handlers.onReply(message);
    });
    socket.addEventListener("close", () => {
      if (this.socket === socket) {
        this.socket = null;
        this.handlers.onClose();
      }
    });
  }

  close() {
    const socket = this.socket;
    this.socket = null;
    if (socket) socket.close();
  }

  // False when there is no open connection to send on.
  send(command) {
    if (!this.socket || this.socket.readyState !== WebSocket.OPEN) return false;
    this.socket.send(JSON.stringify(command));
    return true;
  }
}
