"""The real program and the control-unit simulator under a virtual display, for browser tests:
one station with the web console switched on, its passwords set the way an operator sets them."""

import os
import socket
import subprocess
import tempfile
import time
import urllib.request

PROGRAM = os.environ.get("VANTORA_BIN", "build/vantora")
UNITSIM = os.environ.get("VANTORA_UNITSIM_BIN", "build/vantora-unitsim")

OPERATOR_PASSWORD = "operator-pass-1"
VIEWER_PASSWORD = "viewer-pass-22"


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_until(predicate, timeout, step=0.02):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        value = predicate()
        if value:
            return value
        time.sleep(step)
    return predicate()


class Station:
    def __init__(self, language=0, presets=None):
        self.dir = tempfile.TemporaryDirectory(prefix="vantora-web-")
        self.path = lambda name: os.path.join(self.dir.name, name)
        self.web_port = free_port()
        self.language = language
        self.presets = presets or {3: ("Beacon", 200, 20)}
        self.processes = []

    # --- start and stop -------------------------------------------------------------------
    def start(self):
        self._start_display()
        self._start_unit()
        self._write_settings()
        self._set_password("operator", OPERATOR_PASSWORD)
        self._set_password("viewer", VIEWER_PASSWORD)
        self._start_program()
        return self

    def stop(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()
        self.processes.clear()
        self.dir.cleanup()

    def _spawn(self, arguments, **options):
        process = subprocess.Popen(arguments, **options)
        self.processes.append(process)
        return process

    def _start_display(self):
        read, write = os.pipe()
        self._spawn(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                    pass_fds=(write,), stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as pipe:
            self.display = ":" + pipe.readline().strip()

    def _start_unit(self):
        self._spawn([UNITSIM, "--link", self.path("com1"), "--state-file", self.path("unit-state"),
                     "--az-speed", "12", "--el-speed", "6"],
                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if not wait_until(lambda: os.path.exists(self.path("com1")), 10):
            raise RuntimeError("the simulator did not start")

    def _write_settings(self):
        lines = ["[General]", "RegVersion=1.09", f"Language={self.language}", "Znacka=OK1WEB", "Lokator=JN79US",
                 "WebEnabled=1", f"WebPort={self.web_port}"]
        for n, (name, azimuth, elevation) in self.presets.items():
            lines += [f"preset_{n}={name}", f"preset_a{n}={azimuth}", f"preset_e{n}={elevation}"]
        with open(self.path("settings.conf"), "w", encoding="utf-8") as file:
            file.write("\n".join(lines) + "\n")

    def environment(self):
        environment = dict(os.environ)
        environment.update({
            "DISPLAY": self.display,
            "QT_QPA_PLATFORM": "xcb",
            "VANTORA_SETTINGS": self.path("settings.conf"),
            "VANTORA_COM1": self.path("com1"),
            "VANTORA_TCP_PORT": str(free_port()),
            "VANTORA_ROTCTLD_PORT": str(free_port()),
            "VANTORA_WEB_PORT": str(self.web_port),
        })
        return environment

    def _set_password(self, role, password):
        result = subprocess.run([PROGRAM, "--set-web-password", role], input=f"{password}\n{password}\n",
                                text=True, capture_output=True, env=self.environment(), timeout=30)
        if result.returncode != 0:
            raise RuntimeError(f"--set-web-password {role}: {result.returncode} {result.stderr}")

    def _start_program(self):
        self.stderr = open(self.path("program.err"), "wb")
        self._spawn([PROGRAM], env=self.environment(), stdout=subprocess.DEVNULL, stderr=self.stderr)
        if not wait_until(self._web_answers, 20, 0.1):
            raise RuntimeError("the web console did not start listening")
        if not wait_until(self._focus_main_window, 10, 0.2):
            raise RuntimeError("the main window did not appear")

    def _web_answers(self):
        try:
            with urllib.request.urlopen(self.url + "api/texts", timeout=1) as reply:
                return reply.status == 200
        except OSError:
            return False

    def _focus_main_window(self):
        # The poll runs while the main window is the program's active window.
        env = self.environment()
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Vantora$"], env=env,
                               capture_output=True, text=True)
        ids = found.stdout.split()
        if not ids:
            return False
        return subprocess.run(["xdotool", "windowfocus", "--sync", ids[-1]], env=env).returncode == 0

    # --- what the simulated unit says ------------------------------------------------------
    @property
    def url(self):
        return f"http://127.0.0.1:{self.web_port}/"

    def truth(self):
        """The unit's true state: (position1, position2, active rotator, mode of rotator 2)."""
        try:
            with open(self.path("unit-state"), encoding="ascii") as file:
                fields = [int(f) for f in file.read().split()]
            return tuple(fields[:4]) if len(fields) >= 4 else None
        except (OSError, ValueError):
            return None
