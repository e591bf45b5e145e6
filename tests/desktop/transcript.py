#!/usr/bin/python3
"""Reads what the program shows, through the accessibility interface (AT-SPI over D-Bus),
so that a driver can check what the program really received instead of trusting its own
keystrokes.

AccessibilityBus starts a private session bus and the accessibility bus on it, each ended
by its pid; the program must be started with its environment() to be heard on it.

Usage (DBUS_SESSION_BUS_ADDRESS names the session bus):
  transcript.py with-bus COMMAND...    runs COMMAND with an accessibility bus of its own
  transcript.py read NAME              prints the text of the control NAME (an accessible name)
  transcript.py expect-field NAME TEXT waits until the control NAME shows TEXT
  transcript.py expect-echo QUESTION   waits until the transcript echoes a question, fails
                                       unless it is QUESTION, and prints the transcript
"""

import os
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

TRANSCRIPT = "Разговор"      # the main window's transcript
INPUT_FIELD = "Поле ввода"   # the main window's input field
ECHO_PREFIX = "Вы сказали: "
TIMEOUT = 10.0


class TranscriptError(Exception):
    pass


class AccessibilityBus:
    """A D-Bus session bus with the accessibility bus launched on it."""

    def __init__(self, env, log_folder):
        self._env = dict(env)
        self._log_folder = log_folder
        self._processes = []
        self.address = None

    def _spawn(self, name, args, **kwargs):
        with open(os.path.join(self._log_folder, name + ".log"), "wb") as log:
            process = subprocess.Popen(args, env=self._env, stderr=log, start_new_session=True, **kwargs)
        self._processes.append(process)
        return process

    def start(self):
        daemon = self._spawn("dbus", ["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                             stdout=subprocess.PIPE)
        ready, _, _ = select.select([daemon.stdout], [], [], TIMEOUT)
        line = daemon.stdout.readline().decode().strip() if ready else ""
        if not line:
            raise TranscriptError("dbus-daemon gave no address within %d s" % TIMEOUT)
        self.address = line
        self._env["DBUS_SESSION_BUS_ADDRESS"] = line
        self._spawn("at-spi", ["/usr/libexec/at-spi-bus-launcher", "--launch-immediately", "--a11y=1"],
                    stdout=subprocess.DEVNULL)
        return self

    def environment(self, env):
        """The environment for the program and for reading it: the bus, and Qt's bridge on."""
        result = dict(env)
        result["DBUS_SESSION_BUS_ADDRESS"] = self.address
        result["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        result.pop("AT_SPI_BUS_ADDRESS", None)
        return result

    def end(self):
        """Ends what was started, each by its process group (the launcher's own bus with it)."""
        for process in reversed(self._processes):
            if process.poll() is None:
                os.killpg(process.pid, signal.SIGTERM)
                try:
                    process.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    os.killpg(process.pid, signal.SIGKILL)
                    process.wait(timeout=5)
            try:  # what the process group's leader left behind
                os.killpg(process.pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
            if process.stdout:
                process.stdout.close()
        self._processes.clear()


def read_text(name, env):
    """The text of the program's control of that accessible name, or None while there is none."""
    try:
        result = subprocess.run(["/usr/bin/python3", os.path.abspath(__file__), "read", name], env=env,
                                capture_output=True, timeout=TIMEOUT)
    except subprocess.TimeoutExpired:
        raise TranscriptError("the accessibility bus did not answer within %d s" % TIMEOUT)
    if result.returncode == 3:
        return None
    if result.returncode != 0:
        raise TranscriptError("reading «%s» failed: %s" % (name, result.stderr.decode(errors="replace").strip()))
    return result.stdout.decode()


def wait_for_text(env, name, text, timeout=TIMEOUT):
    """Waits until the control of that accessible name shows the text."""
    deadline = time.monotonic() + timeout
    while True:
        shown = read_text(name, env)
        if shown == text:
            return
        if time.monotonic() > deadline:
            raise TranscriptError("«%s» shows «%s» %d s after «%s» was typed" % (name, shown, timeout, text))
        time.sleep(0.05)


def wait_for_echo(env, question, timeout=TIMEOUT):
    """Waits until the transcript echoes a question, then checks that it echoes this one.
    Returns the transcript's lines."""
    deadline = time.monotonic() + timeout
    lines = None
    while True:
        text = read_text(TRANSCRIPT, env)
        lines = text.splitlines() if text is not None else None
        echoes = [line[len(ECHO_PREFIX):] for line in lines or [] if line.startswith(ECHO_PREFIX)]
        if echoes:
            if echoes[-1] != question:
                raise TranscriptError("the program heard «%s», not the question asked, «%s»"
                                      % (echoes[-1], question))
            return lines
        if time.monotonic() > deadline:
            raise TranscriptError("no «%s…» line in the transcript within %d s (it shows %s)"
                                  % (ECHO_PREFIX, timeout, lines))
        time.sleep(0.05)


def _print_text(name):
    import pyatspi  # only in the reading process: it binds to the bus of its environment

    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        application = desktop.getChildAtIndex(index)
        if application is None:
            continue
        found = pyatspi.findDescendant(application, lambda node: node is not None and node.name == name)
        if found is not None:
            sys.stdout.write(found.queryText().getText(0, -1))
            return 0
    return 3


def _run_with_bus(command):
    logs = tempfile.mkdtemp(prefix="tsldemo-bus-")
    bus = AccessibilityBus(os.environ, logs)
    try:
        bus.start()
        return subprocess.run(command, env=bus.environment(os.environ)).returncode
    except TranscriptError as error:
        print("transcript: %s" % error, file=sys.stderr)
        return 1
    finally:
        bus.end()
        shutil.rmtree(logs, ignore_errors=True)


def main(argv):
    if len(argv) > 2 and argv[1] == "with-bus":
        return _run_with_bus(argv[2:])
    if len(argv) == 3 and argv[1] == "read":
        return _print_text(argv[2])
    try:
        if len(argv) == 4 and argv[1] == "expect-field":
            wait_for_text(os.environ, argv[2], argv[3])
            return 0
        if len(argv) == 3 and argv[1] == "expect-echo":
            print("\n".join(wait_for_echo(os.environ, argv[2])))
            return 0
    except TranscriptError as error:
        print("transcript: %s" % error, file=sys.stderr)
        return 1
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
