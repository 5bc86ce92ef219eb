#!/usr/bin/env python3
"""Runs every command of docs/grammar-guide.md and compares its output.

    check_guide.py [--update] ROOT BIN_DIR...

A checked block of the guide is a fenced ```console (or ```sh) block preceded by a line
"<!-- in: DIR -->", DIR being examples/guide/ or a folder in it. Its lines
beginning with "$ " are commands; the lines after a command, up to the next
one, are the output it must give. A line "..." in the output stands for any
number of lines. Each block runs in a scratch copy of examples/, in the copy
of DIR, with the BIN_DIRs in front of PATH, standard error merged into
standard output. Outputs are compared line by line without trailing blanks,
tabs expanded, and with what differs from run to run made alike: node
addresses, the time line, times in milliseconds.

Every such block must be checked: the check fails on one without its line
"<!-- in: DIR -->", on a block whose output differs, and on a file set of examples/guide/ (a folder with a
mirask.cfg) that no block runs in. With --update the guide is rewritten with
the outputs the commands give now, but for outputs that hold a "...".
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

MARKER = re.compile(r"^<!-- in: (\S+) -->$")
FENCE = "```"
GUIDE_FOLDER = "examples/guide"

VARYING = [
    (re.compile(r"0x[0-9a-f]+|\(nil\)"), "PTR"),
    (re.compile(r"Zeit:-?[0-9]+"), "Zeit:N"),
    (re.compile(r"[0-9]+(\.[0-9]+)? ms"), "N ms"),
]


def normalised(line):
    line = line.expandtabs(8).rstrip()
    for pattern, replacement in VARYING:
        line = pattern.sub(replacement, line)
    return line


def blocks_of(text):
    """(line number, folder or None, whether it holds commands, lines) of
    every fenced block."""
    lines = text.split("\n")
    blocks, folder, i = [], None, 0
    while i < len(lines):
        marker = MARKER.match(lines[i])
        if marker:
            folder = marker.group(1)
        elif lines[i].startswith(FENCE):
            start = i
            i += 1
            body = []
            while i < len(lines) and not lines[i].startswith(FENCE):
                body.append(lines[i])
                i += 1
            shell = lines[start][len(FENCE):] in ("console", "sh", "shell")
            blocks.append((start + 1, folder if shell else None, shell, body))
            folder = None
        elif lines[i].strip():
            folder = None
        i += 1
    return blocks


def commands_of(body):
    """(command, expected output lines) of a block."""
    commands = []
    for line in body:
        if line.startswith("$ "):
            commands.append((line[2:], []))
        elif commands:
            commands[-1][1].append(line)
    return commands


def matches(expected, actual):
    """True when `actual` is `expected`, each "..." standing for any lines."""
    if not expected:
        return not actual
    if expected[0] == "...":
        return any(matches(expected[1:], actual[k:]) for k in range(len(actual) + 1))
    return bool(actual) and normalised(expected[0]) == normalised(actual[0]) and matches(
        expected[1:], actual[1:])


def run_block(root, folder, body, bin_dirs):
    """The commands of a block whose output differs, with what they wrote;
    and the block as the commands' outputs would write it."""
    failures, rewritten = [], []
    with tempfile.TemporaryDirectory() as scratch:
        # All of examples/, so that a name that leaves the guide's folder finds what it
        # finds in the project.
        shutil.copytree(os.path.join(root, "examples"), os.path.join(scratch, "examples"))
        cwd = os.path.join(scratch, folder)
        env = dict(os.environ, PATH=os.pathsep.join(bin_dirs + [os.environ.get("PATH", "")]))
        status = 0
        for command, expected in commands_of(body):
            # "$?" is the status of the command before, as in a session.
            done = subprocess.run(["bash", "-c", f"(exit {status}); {command}"], cwd=cwd, env=env,
                                  stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                  stderr=subprocess.STDOUT)
            status = done.returncode
            actual = done.stdout.decode("utf-8", "surrogateescape").split("\n")
            if actual and actual[-1] == "":
                actual.pop()
            while expected and expected[-1] == "":
                expected = expected[:-1]
            if not matches(expected, actual):
                failures.append((command, actual))
            rewritten += ["$ " + command] + (expected if "..." in expected else actual)
    return failures, rewritten


def file_sets(root):
    guide = os.path.join(root, GUIDE_FOLDER)
    return sorted(os.path.join(GUIDE_FOLDER, name) for name in os.listdir(guide)
                  if os.path.isfile(os.path.join(guide, name, "mirask.cfg")))


def main():
    arguments = sys.argv[1:]
    update = arguments[:1] == ["--update"]
    arguments = arguments[update:]
    root, bin_dirs = arguments[0], [os.path.abspath(d) for d in arguments[1:]]
    guide = os.path.join(root, "docs", "grammar-guide.md")
    with open(guide, encoding="utf-8") as f:
        text = f.read()
    blocks = blocks_of(text)
    lines = text.split("\n")
    passed, failed, used = 0, 0, set()
    for line, folder, shell, body in reversed(blocks):
        if folder is None:
            if shell:
                print(f"grammar-guide.md:{line}: commands in a block that is not checked")
                failed += 1
            continue
        used.add(folder)
        inside = folder == GUIDE_FOLDER or folder.startswith(GUIDE_FOLDER + "/")
        if not inside or not os.path.isdir(os.path.join(root, folder)):
            print(f"grammar-guide.md:{line}: no such file set: {folder}")
            failed += 1
            continue
        failures, rewritten = run_block(root, folder, body, bin_dirs)
        if update:
            lines[line:line + len(body)] = rewritten
        for command, actual in failures:
            print(f"grammar-guide.md:{line}: in {folder}: $ {command}\n  gave:")
            print("\n".join("    " + l for l in actual))
        failed += bool(failures)
        passed += not failures
    for folder in file_sets(root):
        if folder not in used:
            print(f"{folder}: no block of the guide runs in this file set")
            failed += 1
    if update:
        with open(guide, "w", encoding="utf-8") as f:
            f.write("\n".join(lines))
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
