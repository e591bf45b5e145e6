#!/usr/bin/python3
"""Typing Russian text into a program on an X server without ever changing the keyboard map
while typing.

xdotool, asked for a character that no key of the current map produces, first binds it to a
spare key (a keyboard map change) and then presses that key; a program may read the key
event against the map it knew before the change and get the wrong letter or none. So the
map gets the Russian layout and the Latin one as its two groups before the program starts,
and text is typed by the keysyms already in that map: xdotool then only locks the key's
group around a key of the second group (a state change that reaches the program in order
with the key events), and never remaps.

Usage (DISPLAY names the X server):
  keyboard.py layouts        load the Russian and Latin layouts
  keyboard.py type TEXT      type TEXT by the keysyms of the loaded map

The X server must run with -noreset: a server reset, when its last client leaves, would
bring back its default map.
"""

import ctypes
import ctypes.util
import os
import subprocess
import sys

LAYOUTS = "ru,us"
KEY_DELAY_MS = 40
TIMEOUT = 10.0


class KeyboardError(Exception):
    pass


def _run(args, env):
    try:
        result = subprocess.run(args, env=env, capture_output=True, timeout=TIMEOUT)
    except subprocess.TimeoutExpired:
        raise KeyboardError("%s did not answer within %d s" % (args[0], TIMEOUT))
    if result.returncode != 0:
        raise KeyboardError("%s failed: %s" % (" ".join(args), result.stderr.decode(errors="replace").strip()))
    return result.stdout.decode(errors="replace")


def load_layouts(env):
    """Loads the Russian layout as the first group and the Latin one as the second."""
    _run(["setxkbmap", "-layout", LAYOUTS, "-option", ""], env)
    query = _run(["setxkbmap", "-query"], env)
    if ("layout:     %s" % LAYOUTS) not in query:
        raise KeyboardError("the X server kept its keyboard layouts after setxkbmap: %s" % query.strip())


def _library(name):
    path = ctypes.util.find_library(name)
    if not path:
        raise KeyboardError("lib%s is missing" % name)
    return ctypes.CDLL(path)


class _KeysymNames:
    """The keysym that stands for a character, and its name, by libxkbcommon's tables."""

    def __init__(self):
        xkb = _library("xkbcommon")
        self._to_keysym = xkb.xkb_utf32_to_keysym
        self._to_keysym.argtypes = [ctypes.c_uint32]
        self._to_keysym.restype = ctypes.c_uint32
        self._name = xkb.xkb_keysym_get_name
        self._name.argtypes = [ctypes.c_uint32, ctypes.c_char_p, ctypes.c_size_t]
        self._name.restype = ctypes.c_int

    def keysym(self, character):
        return self._to_keysym(ord(character))

    def name(self, keysym):
        buffer = ctypes.create_string_buffer(64)
        if self._name(keysym, buffer, len(buffer)) <= 0:
            raise KeyboardError("keysym 0x%x has no name" % keysym)
        return buffer.value.decode()


class _ServerMap:
    """The X server's current keyboard map, asked which key produces a keysym."""

    def __init__(self, display):
        x11 = _library("X11")
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        x11.XKeysymToKeycode.restype = ctypes.c_ubyte
        x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self._x11 = x11
        self._display = x11.XOpenDisplay(display.encode())
        if not self._display:
            raise KeyboardError("cannot open the display %s" % display)

    def has(self, keysym):
        return self._x11.XKeysymToKeycode(self._display, keysym) != 0

    def close(self):
        self._x11.XCloseDisplay(self._display)


def keysym_names(text, env):
    """The names of the keysyms that type the text, each produced by a key of the current map."""
    names = _KeysymNames()
    server = _ServerMap(env["DISPLAY"])
    try:
        result = []
        for character in text:
            keysym = names.keysym(character)
            if keysym == 0 or not server.has(keysym):
                raise KeyboardError("no key of the keyboard map types «%s» (U+%04X): typing it would remap a key"
                                    % (character, ord(character)))
            result.append(names.name(keysym))
        return result
    finally:
        server.close()


def type_text(text, env):
    """Types the text into the focused window, key by key, with no change of the keyboard map."""
    keys = keysym_names(text, env)
    _run(["xdotool", "key", "--delay", str(KEY_DELAY_MS)] + keys, env)


def main(argv):
    try:
        if argv[1:] == ["layouts"]:
            load_layouts(os.environ)
            return 0
        if len(argv) == 3 and argv[1] == "type":
            type_text(argv[2], os.environ)
            return 0
    except KeyboardError as error:
        print("keyboard: %s" % error, file=sys.stderr)
        return 1
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
