#!/usr/bin/python3
"""The Windows build of the program under Wine, on a real X server under openbox: asks the
sample question by real keystrokes, presses «Подробно» and expects the article viewer, which
only an answer with its article link shows; saves a screenshot of each step.

Usage: wine_smoke.py PROGRAM_EXE SCREENSHOT_FOLDER

PROGRAM_EXE is tsldemo.exe in its folder (DLLs, platforms/, mem/, bio/). WINEPREFIX and the
other WINE* variables of the caller are passed on. Every process started here is ended when
the test finishes, the Windows programs of the prefix through wineserver -k.
"""

import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import desktop_test as dt  # noqa: E402

# Wine starts its own services with the first program: slower than a native start, and
# much slower on a machine whose cores are busy.
START_WAIT = 240.0


class WineDesktop(dt.Desktop):
    def __init__(self, program, shots):
        super().__init__(program, shots, dt.THEMES[0])
        for name, value in os.environ.items():
            if name.startswith("WINE"):
                self.env[name] = value
        self.env.pop("QT_QPA_PLATFORM", None)  # Wine passes no QT_ variable on anyway

    def spawn(self, name, args, **kwargs):
        if name == "program":
            args = ["wine"] + list(args)
            kwargs["cwd"] = os.path.dirname(os.path.abspath(self.program))
        return super().spawn(name, args, **kwargs)

    # A Windows program under Wine offers no accessibility interface to read its field back:
    # what was typed shows in what it causes, the viewer that only the sample answer's link
    # opens. The X server hands the keys, Return and the click over in their order.
    def type(self, text, field=None):
        try:
            dt.keyboard.type_text(text, self.env)
        except dt.keyboard.KeyboardError as error:
            raise dt.Failure(str(error))

    def ask(self, question):
        self.key("Return")

    def start(self):
        # Wine's services outlive the programs that started them for a while; started
        # without this display (by the test suites before), they would keep the program's
        # windows off it.
        subprocess.run(["wineserver", "-k"], env=self.env, capture_output=True, timeout=60)
        subprocess.run(["wineserver", "-w"], env=self.env, capture_output=True, timeout=60)
        return super().start()

    def window(self, title):
        def find():
            out = self.x(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % dt.re.escape(title)],
                         check=False)
            ids = [int(line) for line in out.split()]
            return ids[0] if ids else None
        return self.wait_for(find, 'window "%s"' % title, timeout=START_WAIT)

    def end_all(self):
        subprocess.run(["wineserver", "-k"], env=self.env, capture_output=True, timeout=60)
        super().end_all()


def main():
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    program, shots = sys.argv[1], sys.argv[2]
    desktop = WineDesktop(program, shots)
    try:
        main_window = desktop.start()
        dt.log("main window %d is up" % main_window)
        desktop.screenshot("wine-main")
        viewer = dt.open_viewer(desktop, main_window)
        dt.log("asked «%s»; the viewer %d shows its article" % (dt.QUESTION, viewer))
        desktop.screenshot("wine-viewer")
        print("passed: the program under Wine answered the sample question")
        return 0
    except dt.Failure as failure:
        desktop.screenshot("wine-failure")
        print("FAILED: %s\n%s" % (failure, desktop.logs()), file=sys.stderr)
        return 1
    finally:
        desktop.end_all()


if __name__ == "__main__":
    sys.exit(main())
