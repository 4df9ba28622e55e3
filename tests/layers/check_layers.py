#!/usr/bin/env python3
"""Checks that the layers under src/ point one way.

Reads every #include line of the C++ files under SRC and fails, naming the file and line, when
a layer includes a header of a layer to its right, or when code left of the windows includes a
Qt Widgets header.

usage: check_layers.py SRC WIDGETS_INCLUDE_DIR
"""

import pathlib
import re
import sys

# The windows stand side by side and may not include each other; before them all stand the
# widgets every window is built of, and the viewer, a window that several of them open.
WIDGETS = "widgets"
VIEWER = "viewer"
WINDOWS = ["control", "lists", "chooser", "webspace"]

# Each folder under src/ and the folders whose headers it may include besides its own.
MAY_INCLUDE = {
    "platform": [],
    "transport": ["platform"],
    "securelib": ["platform", "transport"],
    "course": ["platform", "transport"],
    "operations": ["platform", "transport", "course"],
    WIDGETS: ["platform", "transport", "course", "operations"],
    VIEWER: ["platform", "transport", "course", "operations", WIDGETS],
    **{window: ["platform", "transport", "course", "operations", WIDGETS, VIEWER]
       for window in WINDOWS},
    # The control is the window the host places: its commands open the other windows.
    "control": ["platform", "transport", "course", "operations", WIDGETS, VIEWER, "lists",
                "chooser", "webspace"],
    # The command line stands on the core library: no windows.
    "cli": ["platform", "transport", "course", "operations"],
    "host": ["platform", "transport", "course", "operations", WIDGETS, VIEWER, *WINDOWS],
    # Qt Designer's plugin offers the control in the widget box.
    "designer": ["control"],
    "hvsftp": ["platform", "transport", "securelib"],
}

# Folders that show no widgets: everything left of the windows, and the programs that run
# without a screen.
WIDGET_FREE = {"platform", "transport", "securelib", "course", "operations", "cli", "hvsftp"}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def widget_headers(include_dir):
    folder = pathlib.Path(include_dir)
    if not folder.is_dir():
        sys.exit(f"check_layers: no Qt Widgets headers in {include_dir}")
    return {header.name for header in folder.iterdir()}


def problems(src, widgets):
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp") or path.parent == src:
            continue
        relative = path.relative_to(src).as_posix()
        layer = relative.split("/")[0]
        if layer not in MAY_INCLUDE:
            yield f"{relative}: {layer} is no layer this check knows; give it its place"
            continue
        allowed = MAY_INCLUDE[layer]
        lines = path.read_text(encoding="utf-8", errors="replace").splitlines()
        for number, line in enumerate(lines, 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            quote, header = match.groups()
            where = f"{relative}:{number}"
            if quote == '"' and "/" in header:
                target = header.split("/")[0]
                if target != layer and target not in allowed:
                    may = ", ".join(allowed) if allowed else "no other layer"
                    yield f"{where}: {layer} includes {header}; {layer} may include {may}"
            elif quote == "<" and layer in WIDGET_FREE:
                name = header.removeprefix("QtWidgets/")
                if header.startswith("QtWidgets/") or name in widgets:
                    yield f"{where}: {layer} includes the widget header <{header}>"


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__.strip().splitlines()[-1])
    src = pathlib.Path(sys.argv[1])
    found = list(problems(src, widget_headers(sys.argv[2])))
    for problem in found:
        print(problem)
    if found:
        print(f"{len(found)} include(s) against the layers "
              "(platform <- transport <- course <- operations <- widgets <- viewer <- windows <- programs)")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
