#!/usr/bin/env python3
"""Checks what the desktop and man read: the desktop entry passes desktop-file-validate, each
manual renders without a warning, and every option a program's usage text names is in its
manual, so that the two do not drift apart.

Usage: check_docs.py SOURCE_DIR PROGRAM=PATH...
"""
import os
import re
import shutil
import subprocess
import sys


def usage_options(program):
    run = subprocess.run([program, "--help"], capture_output=True, text=True,
                         env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
    text = run.stdout + run.stderr
    # "--name" options, and the short "-x" options of a usage line such as hvsftp's.
    options = set(re.findall(r"(?<![\w-])--[a-z][a-z-]*", text))
    options |= set(re.findall(r"(?<![\w-])-[a-z]{1,2}(?=[\s\]])", text))
    return options


def main():
    source = sys.argv[1]
    failures = []
    validate = shutil.which("desktop-file-validate")
    desktop = os.path.join(source, "resources", "vellix-host.desktop")
    if validate:
        run = subprocess.run([validate, desktop], capture_output=True, text=True)
        if run.returncode != 0 or run.stdout.strip():
            failures.append("desktop-file-validate: " + run.stdout + run.stderr)
    else:
        failures.append("desktop-file-validate is missing (scripts/deps installs it)")

    for argument in sys.argv[2:]:
        name, program = argument.split("=", 1)
        manual = os.path.join(source, "docs", "man", name + ".1")
        render = subprocess.run(["groff", "-man", "-ww", "-z", manual], capture_output=True,
                                text=True)
        if render.returncode != 0 or render.stderr.strip():
            failures.append(f"{manual}: {render.stderr.strip()}")
        with open(manual, encoding="utf-8") as page:
            text = page.read().replace("\\-", "-")
        for option in sorted(usage_options(program)):
            if option not in text:
                failures.append(f"{manual} does not describe {option}")

    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
