"""What the module's tests share: the bundled example, the command line's
records to judge the module by, and small grammars given as texts."""

import json
import os
import re
import subprocess
import tempfile

import pytest

import mirask

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
EXAMPLES = os.path.join(ROOT, "examples")


def cli_program():
    path = os.environ.get("MIRASK_CLI", os.path.join(ROOT, "build", "release", "analyser", "Mirask"))
    if not os.access(path, os.X_OK):
        pytest.fail(f"no analyser at {path}: build it (cmake --build --preset release) "
                    "or name it in MIRASK_CLI")
    return path


def without_time(record):
    return re.sub(r'"time_us":[0-9]+', '"time_us":0', record)


def cli_output(input_bytes, *args, config="mirask.cfg", folder=EXAMPLES):
    """What `Mirask -c CONFIG -i INPUT -json ARGS` writes on standard output,
    run in the grammar's folder, time_us aside."""
    with tempfile.NamedTemporaryFile(suffix=".txt") as f:
        f.write(input_bytes)
        f.flush()
        done = subprocess.run([cli_program(), "-c", config, "-i", f.name, "-json", *args],
                              cwd=folder, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                              check=False)
    return without_time(done.stdout.decode("utf-8"))


def cli_records(input_bytes, *args, **where):
    return [json.loads(line) for line in cli_output(input_bytes, *args, **where).splitlines()]


def record_of(result):
    record = result.record()
    record["time_us"] = 0
    return record


def example_lines(name):
    with open(os.path.join(EXAMPLES, name), "rb") as f:
        return f.read().decode("utf-8").splitlines()


def suite_sentences():
    """The sentences of the example's test suite: items without their "*"
    and what follows a tab, comments and empty lines left out."""
    sentences = []
    for line in example_lines("saetze.suite"):
        if not line.strip() or line.startswith("$"):
            continue
        sentences.append(line.split("\t")[0].lstrip("*"))
    return sentences


@pytest.fixture(scope="session")
def grammar():
    return mirask.Grammar(os.path.join(EXAMPLES, "mirask.cfg"))


@pytest.fixture
def elsewhere(tmp_path, monkeypatch):
    """A current folder that is not the example's."""
    monkeypatch.chdir(tmp_path)
    return tmp_path


def ambiguous_grammar():
    """One category, one binary rule, one word: every bracketing of n words."""
    return mirask.Grammar.from_texts(rules="XXXX + XXXX = XXXX;.\n", lexicon="A=XXXX\n",
                                     start="XXXX")


def words(n):
    return " ".join(["a"] * n)
