#!/usr/bin/python3
"""The program on a real X server under a real window manager (Xvfb and openbox), driven
with the mouse and keyboard through xdotool and checked by the X server's own answers:
window frames, the work area, stacking, window states and the pixels on the screen. This is
what the offscreen platform of the window tests cannot show.

Usage: desktop_test.py PROGRAM [SCREENSHOT_FOLDER]

PROGRAM is the built program with its mem/ and bio/ beside it. Every process the test
starts is ended when it finishes, whatever happens; every wait has a bound. On a failure the
screen is saved into SCREENSHOT_FOLDER (the program's folder by default).
"""

import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

import keyboard
import transcript

MAIN_TITLE = '"Целитор" демонстрационная версия'
ABOUT_TITLE = "Целитор. Демонстрационная версия"
VIEWER_TITLE = "Просмотр"
QUESTION = "бессонница"  # answered with a link to an article

SCREEN = (1024, 768)
# A screen that Qt scales by 2, like a laptop's at 150 %: 640 x 512 of Qt's pixels, too
# small for the viewer's 800 x 600 and too narrow for the main window.
SCALED_SCREEN = (1280, 1024)
SCALE = 2
# openbox themes with frames of different widths on every side: the program must get its
# sizes and places right whatever the frame is.
THEMES = ("Clearlooks", "Onyx")
# Space the window manager keeps free at the screen's edges, unequal on purpose so that a
# window centred on the screen is not centred in the work area.
MARGINS = {"top": 40, "bottom": 24, "left": 16, "right": 0}

VIEWER_OUTER = (800, 600)
SPLITTER_COLOUR = (10, 90, 90)

# The main window's design, in its client coordinates.
CLIENT = (641, 376)
ABOUT_BUTTON = (68, 18)        # "О программе"
INPUT = (60, 346)              # the input field
DETAILS_BUTTON = (540, 55)     # "Подробно"
SPLITTER_X = 453               # its left edge; it is 2 pixels wide
MIDDLE = (37, 326)             # the rows between the top and bottom panels
ABOUT_CLOSE = (76, 232)        # "Закрыть" in the About window

WAIT = 10.0  # the bound of every wait for the program or the X server, in seconds
SETTLE = 0.3  # how long a window's place must stay unchanged to count as where it rests


class Failure(Exception):
    pass


def log(message):
    print(message, flush=True)


class Desktop:
    """Xvfb, openbox and the program, each started here and ended by its pid."""

    def __init__(self, program, shots, theme, screen=SCREEN, scale=1):
        self.program = program
        self.shots = shots
        self.theme = theme
        self.screen = screen
        self.scale = scale
        self.processes = []
        self.home = tempfile.mkdtemp(prefix="tsldemo-desktop-")
        # Scaling or a platform chosen by the caller's Qt settings would change every size.
        self.env = {k: v for k, v in os.environ.items() if not k.startswith("QT_")}
        for name in ("HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME"):
            self.env[name] = self.home
        runtime = os.path.join(self.home, "runtime")
        os.mkdir(runtime, 0o700)
        self.env.update({"XDG_RUNTIME_DIR": runtime, "LANG": "C.UTF-8", "QT_QPA_PLATFORM": "xcb"})
        self.env.pop("WAYLAND_DISPLAY", None)
        if scale != 1:
            self.env["QT_SCALE_FACTOR"] = str(scale)
        self.program_process = None
        self.bus = None

    # Processes.

    def spawn(self, name, args, **kwargs):
        logfile = open(os.path.join(self.home, name + ".log"), "wb")
        process = subprocess.Popen(args, env=self.env, stdout=logfile, stderr=subprocess.STDOUT,
                                   start_new_session=True, **kwargs)
        logfile.close()
        self.processes.append((name, process))
        return process

    def end_all(self):
        for name, process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait(timeout=5)
        self.processes.clear()
        if self.bus:
            self.bus.end()
        shutil.rmtree(self.home, ignore_errors=True)

    def logs(self):
        lines = []
        for name, _ in self.processes:
            if name == "xev":
                continue
            path = os.path.join(self.home, name + ".log")
            try:
                with open(path, encoding="utf-8", errors="replace") as f:
                    tail = f.read().splitlines()[-15:]
            except OSError:
                continue
            if tail:
                lines.append("--- " + name)
                lines.extend(tail)
        return "\n".join(lines)

    def start(self):
        # Xvfb picks a free display itself and writes its number to the pipe.
        read_end, write_end = os.pipe()
        # -noreset: the keyboard map loaded below must outlive the client that loads it.
        xvfb = self.spawn("xvfb", ["Xvfb", "-displayfd", str(write_end), "-noreset", "-screen", "0",
                                   "%dx%dx24" % self.screen, "-nolisten", "tcp"], pass_fds=(write_end,))
        os.close(write_end)
        # The number and its line end come in two writes; closing the pipe between them
        # would end Xvfb.
        answer = b""
        deadline = time.monotonic() + WAIT
        while not answer.endswith(b"\n") and time.monotonic() < deadline:
            ready, _, _ = select.select([read_end], [], [], max(0.0, deadline - time.monotonic()))
            chunk = os.read(read_end, 64) if ready else b""
            if not chunk:
                break
            answer += chunk
        os.close(read_end)
        number = answer.decode().strip()
        if not answer.endswith(b"\n") or not number.isdigit():
            raise Failure("Xvfb gave no display within %d s (exit status %s)" % (WAIT, xvfb.poll()))
        self.env["DISPLAY"] = ":" + number
        log("Xvfb on :%s, openbox with the theme %s" % (number, self.theme))
        # The program reads the keyboard map once, at its start: every character typed later
        # must already be in it. Its accessibility interface tells what it really received.
        try:
            keyboard.load_layouts(self.env)
            self.bus = transcript.AccessibilityBus(self.env, self.home).start()
        except (keyboard.KeyboardError, transcript.TranscriptError) as error:
            raise Failure(str(error))
        self.env = self.bus.environment(self.env)

        config = os.path.join(self.home, "rc.xml")
        with open("/etc/xdg/openbox/rc.xml", encoding="utf-8") as f:
            rc = f.read()
        margins = "<margins>%s</margins>" % "".join("<%s>%d</%s>" % (k, v, k) for k, v in MARGINS.items())
        rc, replaced = re.subn(r"<margins>.*?</margins>", margins, rc, flags=re.S)
        if replaced != 1:
            raise Failure("openbox's rc.xml has no <margins> section to set")
        rc, replaced = re.subn(r"(<theme>\s*<name>)[^<]*(</name>)", r"\g<1>%s\g<2>" % self.theme, rc)
        if replaced != 1:
            raise Failure("openbox's rc.xml names no theme to set")
        with open(config, "w", encoding="utf-8") as f:
            f.write(rc)
        self.spawn("openbox", ["openbox", "--sm-disable", "--config-file", config])
        # The work area comes a moment after openbox announces itself; a program started
        # before would centre its windows on the whole screen.
        work_area = (MARGINS["left"], MARGINS["top"], self.screen[0] - MARGINS["left"] - MARGINS["right"],
                     self.screen[1] - MARGINS["top"] - MARGINS["bottom"])
        self.wait_for(lambda: "window id" in self.x(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"])
                      and self.work_area() == work_area, "openbox to manage the screen with its margins")

        self.program_process = self.spawn("program", [self.program])
        return self.window(MAIN_TITLE)

    # The X server's answers.

    def x(self, args, check=True):
        try:
            result = subprocess.run(args, env=self.env, capture_output=True, timeout=WAIT)
        except subprocess.TimeoutExpired:
            raise Failure("%s did not answer within %d s" % (args[0], WAIT))
        if check and result.returncode != 0:
            raise Failure("%s failed: %s" % (" ".join(args), result.stderr.decode(errors="replace").strip()))
        return result.stdout.decode(errors="replace")

    def wait_for(self, condition, what, timeout=WAIT):
        deadline = time.monotonic() + timeout
        while True:
            if self.program_process and self.program_process.poll() is not None:
                raise Failure("the program ended (status %d) while waiting for %s"
                              % (self.program_process.returncode, what))
            value = condition()
            if value:
                return value
            if time.monotonic() > deadline:
                raise Failure("no %s within %d s" % (what, timeout))
            time.sleep(0.05)

    def settled(self, read, what, quiet=SETTLE, timeout=WAIT):
        """What read() gives once it has stayed the same for `quiet` seconds: a window the
        window manager is still moving or resizing is read after it comes to rest."""
        deadline = time.monotonic() + timeout
        value = read()
        since = time.monotonic()
        while time.monotonic() - since < quiet:
            if time.monotonic() > deadline:
                raise Failure("%s did not settle within %d s (last %s)" % (what, timeout, value))
            time.sleep(0.05)
            now = read()
            if now != value:
                value, since = now, time.monotonic()
        return value

    def window(self, title):
        def find():
            out = self.x(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % re.escape(title)], check=False)
            ids = [int(line) for line in out.split()]
            return ids[0] if ids else None
        return self.wait_for(find, 'window "%s"' % title)

    def visible(self, title):
        out = self.x(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % re.escape(title)], check=False)
        return bool(out.split())

    def client(self, window):
        """The client area's (x, y, width, height) on the screen."""
        info = self.x(["xwininfo", "-id", str(window)])
        get = lambda label: int(re.search(label + r":\s+(-?\d+)", info).group(1))
        return (get("Absolute upper-left X"), get("Absolute upper-left Y"), get("Width"), get("Height"))

    def cardinals(self, window, prop):
        out = self.x(["xprop"] + (["-root"] if window is None else ["-id", str(window)]) + [prop])
        # "NAME(CARDINAL) = 1, 2" or "NAME(WINDOW): window id # 0x1, 0x2"; "not found" otherwise.
        values = re.split(r"\) = |\): window id # ", out, maxsplit=1)
        if len(values) != 2:
            return None
        return [int(v, 0) for v in re.findall(r"0x[0-9a-f]+|\d+", values[1])]

    def extents(self, window):
        """(left, right, top, bottom), once the window manager has framed the window."""
        return self.wait_for(lambda: self.cardinals(window, "_NET_FRAME_EXTENTS"), "frame extents")

    def outer(self, window):
        x, y, w, h = self.client(window)
        left, right, top, bottom = self.extents(window)
        return (x - left, y - top, w + left + right, h + top + bottom)

    def work_area(self):
        values = self.cardinals(None, "_NET_WORKAREA")
        return tuple(values[:4]) if values else None

    def stacking(self):
        return self.cardinals(None, "_NET_CLIENT_LIST_STACKING") or []

    def states(self, window):
        out = self.x(["xprop", "-id", str(window), "_NET_WM_STATE"])
        return set(re.findall(r"_NET_WM_STATE_\w+", out))

    def active(self):
        values = self.cardinals(None, "_NET_ACTIVE_WINDOW")
        return values[0] if values else None

    def pixels(self, x, y, w, h):
        """The screen's pixels in a rectangle, as rows of (r, g, b)."""
        try:
            raw = subprocess.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (w, h, x, y), "+repage",
                                  "-depth", "8", "rgb:-"], env=self.env, capture_output=True, timeout=30).stdout
        except subprocess.TimeoutExpired:
            raise Failure("import did not answer within 30 s")
        if len(raw) != w * h * 3:
            raise Failure("a screenshot of %dx%d gave %d bytes" % (w, h, len(raw)))
        return [[tuple(raw[(r * w + c) * 3:(r * w + c) * 3 + 3]) for c in range(w)] for r in range(h)]

    def screenshot(self, name):
        path = os.path.join(self.shots, "%s-%s.png" % (self.theme, name))
        subprocess.run(["import", "-window", "root", path], env=self.env, capture_output=True, timeout=30)
        return path

    # Input.

    # The X server hands the program its input events in the order they were made, so no
    # pause is needed between them; each check waits for what the input caused instead.

    def click(self, window, x, y):
        self.x(["xdotool", "mousemove", "--window", str(window), str(x), str(y), "click", "1"])

    def key(self, *keys):
        self.x(["xdotool", "key", "--delay", "40"] + list(keys))

    def type(self, text, field=transcript.INPUT_FIELD):
        """Types the text into the focused field and waits until the field shows it."""
        try:
            keyboard.type_text(text, self.env)
            transcript.wait_for_text(self.env, field, text)
        except (keyboard.KeyboardError, transcript.TranscriptError) as error:
            raise Failure(str(error))

    def ask(self, question):
        """Asks the question typed in the input field and checks that the transcript echoes it."""
        self.key("Return")
        try:
            return transcript.wait_for_echo(self.env, question)
        except transcript.TranscriptError as error:
            raise Failure(str(error))


class FrameWatch:
    """Records the sizes a top-level window's frame takes on the screen, from the X server's
    structure events on the root window, so that a window shown at one size and then
    resized shows as a jump."""

    def __init__(self, desktop):
        self.desktop = desktop
        self.process = desktop.spawn("xev", ["stdbuf", "-oL", "xev", "-root", "-event", "substructure",
                                             "-event", "property"])
        self.path = os.path.join(desktop.home, "xev.log")
        # xev prints nothing until an event comes: a property set on the root window until xev
        # reports it shows that it listens.
        def listening():
            desktop.x(["xprop", "-root", "-f", "TSLDEMO_PING", "8s", "-set", "TSLDEMO_PING", "1"])
            with open(self.path, encoding="utf-8", errors="replace") as f:
                return "TSLDEMO_PING" in f.read()
        desktop.wait_for(listening, "xev listening on the root window")

    def sizes_after_map(self, frame):
        """The frame's size when it was mapped, followed by every size it took later."""
        self.process.terminate()
        self.process.wait(timeout=5)
        with open(self.path, encoding="utf-8", errors="replace") as f:
            text = f.read()
        size = None
        sizes = []
        mapped = False
        for event in re.split(r"\n(?=\w+ event,)", text):
            if ("window 0x%x," % frame) not in event:
                continue
            found = re.search(r"width (\d+), height (\d+)", event)
            if found and (event.startswith("CreateNotify") or event.startswith("ConfigureNotify")):
                size = (int(found.group(1)), int(found.group(2)))
                if mapped:
                    sizes.append(size)
            elif event.startswith("MapNotify") and not mapped:
                mapped = True
                sizes.append(size)
        return sizes


def frame_of(desktop, window):
    """The window manager's frame around a client window: its ancestor just below the root."""
    current = window
    for _ in range(16):
        tree = desktop.x(["xwininfo", "-tree", "-id", str(current)])
        root = int(re.search(r"Root window id: (0x[0-9a-f]+)", tree).group(1), 16)
        parent = int(re.search(r"Parent window id: (0x[0-9a-f]+)", tree).group(1), 16)
        if parent == root:
            return current
        current = parent
    raise Failure("no frame found around window 0x%x" % window)


def centred_in(rect, area):
    """How far the rectangle's centre lies from the area's, in pixels (dx, dy)."""
    dx = (rect[0] * 2 + rect[2]) - (area[0] * 2 + area[2])
    dy = (rect[1] * 2 + rect[3]) - (area[1] * 2 + area[3])
    return (dx / 2, dy / 2)


def expect(condition, message):
    if not condition:
        raise Failure(message)


def near(a, b, tolerance=1):
    return all(abs(p - q) <= tolerance for p, q in zip(a, b))


def teal(pixel):
    """A shade of the splitter's colour: no red to speak of, green and blue alike."""
    r, g, b = pixel
    return r < 40 and g > 30 and abs(g - b) < 12 and g - r > 25


def splitter_columns(desktop, main, row=200):
    """The columns of the main window's client area, on one row, drawn in the splitter's colour."""
    x, y, w, _ = desktop.client(main)
    line = desktop.pixels(x, y + row, w, 1)[0]
    return [c for c, pixel in enumerate(line) if teal(pixel)]


def hatched_columns(desktop, main, top=MIDDLE[0] + 20, rows=40):
    """Columns of the middle area drawn in a check pattern, black on every other row: the
    drag line. Text has black runs too, but not one that alternates row by row."""
    x, y, w, _ = desktop.client(main)
    block = desktop.pixels(x, y + top, w, rows)
    found = []
    for c in range(w):
        black = [block[r][c] == (0, 0, 0) for r in range(rows)]
        alternations = sum(1 for r in range(1, rows) if black[r] != black[r - 1])
        if alternations >= rows - 2:
            found.append(c)
    return found


def drag(desktop, main, from_x, to_x, y=200, check_while_dragging=None):
    desktop.x(["xdotool", "mousemove", "--window", str(main), str(from_x), str(y), "mousedown", "1"])
    step = 1 if to_x > from_x else -1
    distance = abs(to_x - from_x)
    for i in range(1, 5):
        x = from_x + step * distance * i // 4
        desktop.x(["xdotool", "mousemove", "--window", str(main), str(x), str(y)])
    # The hatched line follows the pointer while the button is down, and goes on release.
    desktop.wait_for(lambda: hatched_columns(desktop, main), "hatched line while dragging")
    desktop.settled(lambda: hatched_columns(desktop, main), "hatched line while dragging")
    if check_while_dragging:
        check_while_dragging()
    desktop.x(["xdotool", "mouseup", "1"])
    desktop.wait_for(lambda: hatched_columns(desktop, main) == [], "hatched line gone after the release")
    desktop.settled(lambda: splitter_columns(desktop, main), "splitter after the release")


# The checks, in the order a user would meet them. Each takes the desktop and the main window.

def check_main_window_centred(desktop, main):
    area = desktop.work_area()
    expect(area != (0, 0) + desktop.screen, "the work area %s is the whole screen: the margins were not applied" % (area,))
    outer = desktop.outer(main)
    x, y, w, h = desktop.client(main)
    expect((w, h) == CLIENT, "main window's client area %dx%d, expected %dx%d" % ((w, h) + CLIENT))
    offset = centred_in(outer, area)
    expect(near(offset, (0, 0)), "main window (outer %s) is %s off the centre of the work area %s"
           % (outer, offset, area))
    return "outer %s centred in the work area %s" % (outer, area)


def check_focus_on_about_button(desktop, main):
    desktop.wait_for(lambda: desktop.active() == main, "main window active")
    # Enter presses the focused control; at start-up that is "О программе".
    desktop.key("Return")
    about = desktop.window(ABOUT_TITLE)
    desktop.click(about, *ABOUT_CLOSE)
    desktop.wait_for(lambda: not desktop.visible(ABOUT_TITLE), "About window closed by Закрыть")
    return "Enter at start-up opened the About window"


def open_viewer(desktop, main, input_at=INPUT, details_at=DETAILS_BUTTON):
    desktop.click(main, *input_at)
    desktop.key("ctrl+a", "BackSpace")
    desktop.type(QUESTION)
    desktop.ask(QUESTION)
    desktop.click(main, *details_at)
    return desktop.window(VIEWER_TITLE)


def check_viewer_outer_size(desktop, main):
    watch = FrameWatch(desktop)
    viewer = open_viewer(desktop, main)
    # Any late correction would show below as a jump.
    outer = desktop.settled(lambda: desktop.outer(viewer), "viewer's frame", quiet=2 * SETTLE)
    frame = frame_of(desktop, viewer)
    sizes = watch.sizes_after_map(frame)
    expect(outer[2:] == VIEWER_OUTER, "viewer's outer size %dx%d (client %dx%d, frame extents %s), expected %dx%d"
           % (outer[2:] + desktop.client(viewer)[2:] + (desktop.extents(viewer),) + VIEWER_OUTER))
    expect(sizes and all(size == VIEWER_OUTER for size in sizes),
           "viewer's frame took the sizes %s from its first appearance on; expected %dx%d throughout"
           % (sizes, *VIEWER_OUTER))
    return "outer %dx%d with frame extents %s, shown at that size at once" % (outer[2:] + (desktop.extents(viewer),))


def check_about_above(desktop, main):
    viewer = desktop.window(VIEWER_TITLE)
    desktop.x(["xdotool", "windowactivate", "--sync", str(main)])
    desktop.click(main, *ABOUT_BUTTON)
    about = desktop.window(ABOUT_TITLE)
    outer = desktop.outer(about)
    area = desktop.work_area()
    offset = centred_in(outer, area)
    expect(near(offset, (0, 0)), "About window (outer %s) is %s off the centre of the work area %s"
           % (outer, offset, area))
    expect("_NET_WM_STATE_ABOVE" in desktop.states(about), "About window not kept above: _NET_WM_STATE %s"
           % desktop.states(about))
    # Bring the others forward as a user or another program would: the About window stays on top.
    for other in (viewer, main):
        desktop.x(["xdotool", "windowraise", str(other)])
        order = desktop.settled(desktop.stacking, "stacking order")
        expect(order and order[-1] == about, "after raising 0x%x the stacking order (bottom to top) is %s; "
               "the About window 0x%x is not on top" % (other, [hex(w) for w in order], about))
    desktop.screenshot("about-above")
    desktop.click(about, *ABOUT_CLOSE)
    desktop.wait_for(lambda: not desktop.visible(ABOUT_TITLE), "About window closed")
    return "outer %s centred, above the viewer and the main window" % (outer,)


def open_about(desktop, main, button=ABOUT_BUTTON):
    """Opens the About window with «О программе» (at button in the main window's client area)."""
    desktop.x(["xdotool", "windowactivate", "--sync", str(main)])
    desktop.click(main, *button)
    return desktop.window(ABOUT_TITLE)


def close_about_window(desktop, about, button=ABOUT_CLOSE):
    desktop.click(about, *button)
    desktop.wait_for(lambda: not desktop.visible(ABOUT_TITLE), "About window closed")


def check_about_reopens_in_place(desktop, main):
    about = open_about(desktop, main)
    desktop.x(["xdotool", "windowmove", "--sync", str(about), "300", "150"])
    before = desktop.settled(lambda: desktop.client(about), "About window moved")
    for _ in range(2):  # a frame counted twice would walk the window on with every showing
        close_about_window(desktop, about)
        about = open_about(desktop, main)
        after = desktop.settled(lambda: desktop.client(about), "About window reopened")
        expect(after == before, "About window reopened at %s, closed at %s" % (after, before))
    close_about_window(desktop, about)
    return "closed and reopened twice at %s" % (before,)


def check_viewer_reopens_in_place(desktop, main):
    viewer = desktop.window(VIEWER_TITLE)
    desktop.x(["xdotool", "windowsize", "--sync", str(viewer), "700", "500"])
    desktop.x(["xdotool", "windowmove", "--sync", str(viewer), "120", "90"])
    before = desktop.settled(lambda: desktop.client(viewer), "viewer moved")
    expect(before[2:] == (700, 500), "the window manager did not resize the viewer: %s" % (before,))
    desktop.x(["xdotool", "windowactivate", "--sync", str(viewer)])
    desktop.key("ctrl+w")
    desktop.wait_for(lambda: not desktop.visible(VIEWER_TITLE), "viewer closed")
    desktop.x(["xdotool", "windowactivate", "--sync", str(main)])
    desktop.click(main, *DETAILS_BUTTON)
    viewer = desktop.window(VIEWER_TITLE)
    after = desktop.settled(lambda: desktop.client(viewer), "viewer reopened")
    expect(after == before, "viewer reopened at %s, closed at %s" % (after, before))
    desktop.key("ctrl+w")
    desktop.wait_for(lambda: not desktop.visible(VIEWER_TITLE), "viewer closed")
    return "closed and reopened at %s" % (after,)


def check_splitter_drag(desktop, main):
    desktop.x(["xdotool", "windowactivate", "--sync", str(main)])
    columns = desktop.settled(lambda: splitter_columns(desktop, main), "splitter drawn")
    expect(columns == [SPLITTER_X, SPLITTER_X + 1], "splitter drawn at columns %s, expected %d and %d"
           % (columns, SPLITTER_X, SPLITTER_X + 1))
    x, y, _, _ = desktop.client(main)
    bar = desktop.pixels(x + SPLITTER_X, y + 200, 2, 1)[0]
    light, dark = bar
    expect(sum(light) > sum(SPLITTER_COLOUR) > sum(dark),
           "splitter not bevelled in its colour: its columns are %s and %s around %s" % (light, dark, SPLITTER_COLOUR))

    seen = {}

    def while_dragging():
        seen["line"] = hatched_columns(desktop, main)
        seen["bar"] = splitter_columns(desktop, main)
        desktop.screenshot("splitter-dragging")

    drag(desktop, main, SPLITTER_X + 1, 300, check_while_dragging=while_dragging)
    expect(seen["line"] and min(seen["line"]) >= 296 and max(seen["line"]) <= 304,
           "while dragging to x=300 the hatched line was at columns %s" % seen["line"])
    expect(seen["bar"] == [SPLITTER_X, SPLITTER_X + 1],
           "the panels moved before the button was released: splitter at %s" % seen["bar"])
    after = splitter_columns(desktop, main)
    expect(hatched_columns(desktop, main) == [], "the hatched line stayed after the release")
    expect(after and abs(after[0] - 299) <= 2, "after the release the splitter is at %s, expected near 299" % after)

    # Leaving the suggestion panel 30 pixels or less collapses it to nothing.
    drag(desktop, main, after[0] + 1, CLIENT[0] - 2 - 20)
    collapsed = splitter_columns(desktop, main)
    expect(collapsed == [CLIENT[0] - 2, CLIENT[0] - 1], "after a drag to 20 pixels from the edge the splitter "
           "is at %s, expected the right edge" % collapsed)
    # And it opens again from the right edge.
    drag(desktop, main, CLIENT[0] - 1, 400)
    reopened = splitter_columns(desktop, main)
    expect(reopened and abs(reopened[0] - 399) <= 2, "dragged back from the edge, the splitter is at %s" % reopened)
    return "line while dragging at %d-%d, moved on release to %d, collapsed, reopened at %d" % (
        min(seen["line"]), max(seen["line"]), after[0], reopened[0])


def check_about_keeps_place_when_minimised(desktop, main):
    about = open_about(desktop, main)
    desktop.x(["xdotool", "windowmove", "--sync", str(about), "260", "170"])
    before = desktop.settled(lambda: desktop.client(about), "About window moved")
    desktop.x(["xdotool", "windowminimize", "--sync", str(about)])
    desktop.wait_for(lambda: "_NET_WM_STATE_HIDDEN" in desktop.states(about), "About window minimised")
    # Restored as Alt+Tab restores it: the window manager is asked to activate it.
    desktop.x(["xdotool", "windowactivate", str(about)])
    desktop.wait_for(lambda: "_NET_WM_STATE_HIDDEN" not in desktop.states(about), "About window restored")
    restored = desktop.settled(lambda: desktop.client(about), "About window restored")
    expect(restored == before, "About window restored at %s, minimised at %s" % (restored, before))
    close_about_window(desktop, about)
    about = open_about(desktop, main)
    reopened = desktop.settled(lambda: desktop.client(about), "About window reopened")
    close_about_window(desktop, about)
    expect(reopened == before, "About window reopened at %s after a minimise, left at %s" % (reopened, before))
    return "minimised, restored and reopened at %s" % (before,)


def inside(rect, area):
    return (rect[0] >= area[0] and rect[1] >= area[1] and rect[0] + rect[2] <= area[0] + area[2]
            and rect[1] + rect[3] <= area[1] + area[3])


def check_windows_fit_scaled_screen(desktop, main):
    """On a screen scaled by 2 the windows' sizes, in the screen's pixels, outgrow the work
    area: each is made smaller and placed inside it, and stays usable."""
    scale = desktop.scale
    area = desktop.work_area()
    outer = desktop.outer(main)
    expect(inside(outer, area), "main window (outer %s) is not inside the work area %s" % (outer, area))
    width, height = desktop.client(main)[2:]
    # "Подробно" lies in the suggestion panel, which keeps its width at the right edge.
    details = (width - scale * (CLIENT[0] - DETAILS_BUTTON[0]), scale * DETAILS_BUTTON[1])
    input_at = (scale * INPUT[0], height - scale * (CLIENT[1] - INPUT[1]))
    viewer = open_viewer(desktop, main, input_at, details)
    viewer_outer = desktop.settled(lambda: desktop.outer(viewer), "viewer's frame")
    desktop.screenshot("scaled-viewer")
    expect(inside(viewer_outer, area), "viewer (outer %s) is not inside the work area %s" % (viewer_outer, area))
    desktop.key("ctrl+w")
    desktop.wait_for(lambda: not desktop.visible(VIEWER_TITLE), "viewer closed")
    about = open_about(desktop, main, (scale * ABOUT_BUTTON[0], scale * ABOUT_BUTTON[1]))
    about_outer = desktop.outer(about)
    close_about_window(desktop, about, (scale * ABOUT_CLOSE[0], scale * ABOUT_CLOSE[1]))
    expect(inside(about_outer, area), "About window (outer %s) is not inside the work area %s" % (about_outer, area))
    return "in the work area %s: main window %s, viewer %s, About window %s" % (area, outer, viewer_outer, about_outer)


def check_main_window_closes(desktop, main):
    desktop.x(["xdotool", "windowactivate", "--sync", str(main)])
    desktop.key("alt+F4")
    try:
        status = desktop.program_process.wait(timeout=WAIT)
    except subprocess.TimeoutExpired:
        raise Failure("the program still runs %d s after its main window was closed" % WAIT)
    expect(status == 0, "the program ended with status %d" % status)
    return "the program ended with status 0"


def close_about(desktop):
    """Closes an About window that a failed check left open: while it is shown modally the
    other windows take no input, and every later check would fail for it."""
    if desktop.visible(ABOUT_TITLE):
        about = desktop.window(ABOUT_TITLE)
        desktop.click(about, *ABOUT_CLOSE)
        desktop.wait_for(lambda: not desktop.visible(ABOUT_TITLE), "About window closed")


CHECKS = [
    ("main window centred in the work area", check_main_window_centred),
    ("focus on «О программе» at start-up", check_focus_on_about_button),
    ("viewer's outer size 800x600 without a jump", check_viewer_outer_size),
    ("About window centred and kept above", check_about_above),
    ("About window reopens where it was left", check_about_reopens_in_place),
    ("About window keeps its place across a minimise", check_about_keeps_place_when_minimised),
    ("viewer reopens at its last size and place", check_viewer_reopens_in_place),
    ("splitter drag with the mouse", check_splitter_drag),
    ("closing the main window ends the program", check_main_window_closes),
]

# On a screen scaled by 2, under the first theme.
SCALED_CHECKS = [
    ("windows fit the work area of a screen scaled by %d" % SCALE, check_windows_fit_scaled_screen),
    ("closing the main window ends the program", check_main_window_closes),
]


def main(argv):
    if len(argv) not in (2, 3):
        print(__doc__, file=sys.stderr)
        return 2
    program = os.path.abspath(argv[1])
    shots = os.path.abspath(argv[2]) if len(argv) == 3 else os.path.dirname(program)
    if not os.access(program, os.X_OK):
        print("desktop_test: no program at %s" % program, file=sys.stderr)
        return 2
    for tool in ("Xvfb", "openbox", "xdotool", "xprop", "xwininfo", "xev", "import"):
        if not shutil.which(tool):
            print("desktop_test: %s is missing (scripts/install-deps.sh installs it)" % tool, file=sys.stderr)
            return 2

    # A signal ends the test as a failure does: through the finally below.
    def stop(number, _frame):
        log("desktop: stopped by signal %d; ending what was started" % number)
        sys.exit(128 + number)

    for sig in (signal.SIGTERM, signal.SIGHUP, signal.SIGINT):
        signal.signal(sig, stop)
    failed = sum(run_checks(Desktop(program, shots, theme), CHECKS) for theme in THEMES)
    failed += run_checks(Desktop(program, shots, THEMES[0], SCALED_SCREEN, SCALE), SCALED_CHECKS)
    total = len(CHECKS) * len(THEMES) + len(SCALED_CHECKS)
    log("desktop: %d of %d checks failed" % (failed, total) if failed else "desktop: all %d checks passed" % total)
    return 1 if failed else 0


def run_checks(desktop, checks):
    """Runs the checks on a desktop of its own; returns how many failed."""
    failed = 0
    try:
        main_window = desktop.start()
        for name, check in checks:
            try:
                log("ok   %s: %s" % (name, check(desktop, main_window)))
            except Failure as failure:
                failed += 1
                log("FAIL %s: %s" % (name, failure))
                log("     screen: %s" % desktop.screenshot("failed-" + check.__name__))
                if desktop.program_process.poll() is not None:
                    break
                close_about(desktop)
    except Failure as failure:
        failed += 1
        log("FAIL setting up: %s" % failure)
    finally:
        if failed:
            log(desktop.logs())
        desktop.end_all()
    return failed

if __name__ == "__main__":
    sys.exit(main(sys.argv))
