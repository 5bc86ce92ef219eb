"""python3 -m mirask.corpus on local clusters of two workers: its parts,
concatenated in name order, are the command line's output."""

import json
import logging
import os
import shutil
import subprocess
import sys

import pytest

from conftest import EXAMPLES, cli_output, without_time
from corpora import byte_corpus, utf8_corpus
from mirask import corpus

distributed = pytest.importorskip("dask.distributed")

CONFIG = os.path.join(EXAMPLES, "mirask.cfg")


@pytest.fixture(scope="module")
def client():
    cluster = distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                       dashboard_address=":0", silence_logs=logging.ERROR)
    with distributed.Client(cluster) as c:
        yield c
    cluster.close()


def parts(outdir):
    return sorted(n for n in os.listdir(outdir) if n.endswith(".jsonl"))


def concatenated(outdir):
    return without_time("".join(open(os.path.join(outdir, n), encoding="utf-8").read()
                                for n in parts(outdir)))


def analysed(client, input_path, outdir, **settings):
    plan = corpus.plan(CONFIG if "config" not in settings else settings.pop("config"),
                       str(input_path), str(outdir), report=lambda m: None, **settings)
    return plan, corpus.analyse(plan, client)


def test_the_command_runs_the_example_on_two_workers_from_another_folder(tmp_path):
    done = subprocess.run(
        [sys.executable, "-m", "mirask.corpus", CONFIG, os.path.join(EXAMPLES, "saetze.txt"),
         "out", "--workers", "2", "--lines-per-part", "10"],
        cwd=tmp_path, capture_output=True, text=True, check=False)
    assert done.returncode == 0, done.stderr
    assert parts(tmp_path / "out") == [f"part-00000{i}.jsonl" for i in range(5)]
    with open(os.path.join(EXAMPLES, "saetze.txt"), "rb") as f:
        assert concatenated(tmp_path / "out") == cli_output(f.read())
    assert "5 of 5 parts written now, 0 kept" in done.stderr


def test_the_command_runs_on_a_running_cluster_named_by_its_address(client, tmp_path):
    done = subprocess.run(
        [sys.executable, "-m", "mirask.corpus", CONFIG, os.path.join(EXAMPLES, "saetze.txt"),
         str(tmp_path / "out"), "--scheduler", client.scheduler.address,
         "--lines-per-part", "20"],
        capture_output=True, text=True, check=False)
    assert done.returncode == 0, done.stderr
    assert parts(tmp_path / "out") == [f"part-00000{i}.jsonl" for i in range(3)]
    with open(os.path.join(EXAMPLES, "saetze.txt"), "rb") as f:
        assert concatenated(tmp_path / "out") == cli_output(f.read())


def test_a_generated_corpus_in_parts_and_a_rerun_that_redoes_only_missing_parts(client, tmp_path):
    (tmp_path / "in.txt").write_bytes(byte_corpus())
    plan, written = analysed(client, tmp_path / "in.txt", tmp_path / "out", lines_per_part=3,
                             options={"why": True})
    assert written == plan.count == 5  # 15 lines up to the one that ends the input
    assert concatenated(tmp_path / "out") == cli_output(byte_corpus(), "-why")
    # Each worker loaded the grammar once, whatever number of parts it did.
    assert sorted(client.run(corpus.grammar_loads).values()) == [1, 1]

    for n in parts(tmp_path / "out"):
        os.utime(tmp_path / "out" / n, (1000, 1000))  # a kept part keeps this time
    for n in ("part-000001.jsonl", "part-000004.jsonl"):
        os.unlink(tmp_path / "out" / n)
    plan, written = analysed(client, tmp_path / "in.txt", tmp_path / "out", lines_per_part=3,
                             options={"why": True})
    assert (plan.missing, written) == (2, 2)
    redone = [n for n in parts(tmp_path / "out") if os.stat(tmp_path / "out" / n).st_mtime > 1000]
    assert redone == ["part-000001.jsonl", "part-000004.jsonl"]
    assert concatenated(tmp_path / "out") == cli_output(byte_corpus(), "-why")
    assert not [n for n in os.listdir(tmp_path / "out") if n.endswith(".tmp")]

    # Another input, other options: the folder is not mixed with them.
    for change in ({"lines_per_part": 4, "options": {"why": True}},
                   {"lines_per_part": 3, "options": {}}):
        with pytest.raises(corpus.Failure, match="another run"):
            analysed(client, tmp_path / "in.txt", tmp_path / "out", **change)
    (tmp_path / "in.txt").write_bytes(byte_corpus() + b"Der Hund bellt.\n")
    with pytest.raises(corpus.Failure, match="another run"):
        analysed(client, tmp_path / "in.txt", tmp_path / "out", lines_per_part=3,
                 options={"why": True})


def test_workers_of_a_long_lived_cluster_load_a_changed_grammar_again(client, tmp_path):
    grammar = tmp_path / "grammar"
    shutil.copytree(EXAMPLES, grammar, ignore=shutil.ignore_patterns("guide", "library", "utf8"))
    (tmp_path / "in.txt").write_bytes(b"Der Hund bellt.\nDie Katze schl{ft.\n")
    config = str(grammar / "mirask.cfg")
    analysed(client, tmp_path / "in.txt", tmp_path / "first", config=config, lines_per_part=1)
    lexicon = (grammar / "lexikon.txt").read_bytes()
    (grammar / "lexikon.txt").write_bytes(lexicon.replace(b"\nHUND=", b"\nHUNDE="))
    analysed(client, tmp_path / "in.txt", tmp_path / "second", config=config, lines_per_part=1)
    second = concatenated(tmp_path / "second")
    assert second != concatenated(tmp_path / "first")
    assert second == cli_output(b"Der Hund bellt.\nDie Katze schl{ft.\n", folder=str(grammar))


def test_a_utf8_corpus_with_every_analysis(client, tmp_path):
    (tmp_path / "in.txt").write_bytes(utf8_corpus())
    config = os.path.join(EXAMPLES, "utf8", "mirask.cfg")
    analysed(client, tmp_path / "in.txt", tmp_path / "out", config=config, utf8=True,
             lines_per_part=2, options={"all": True, "max_analyses": 1})
    assert concatenated(tmp_path / "out") == cli_output(
        utf8_corpus(), "-utf8", "-all", "-max-analyses", "1", folder=os.path.dirname(config))


def test_bad_input_gets_a_message_and_no_cluster(tmp_path):
    def run(*args):
        done = subprocess.run([sys.executable, "-m", "mirask.corpus", *args], cwd=tmp_path,
                              capture_output=True, text=True, check=False)
        return done.returncode, done.stderr

    status, message = run(str(tmp_path / "none.cfg"), "in.txt", "out")
    assert status == 1 and "none.cfg: Konfig.: Dateifehler" in message
    status, message = run(CONFIG, "missing.txt", "out")
    assert status == 1 and "missing.txt: No such file or directory" in message
    (tmp_path / "in.txt").write_bytes(b"")
    (tmp_path / "out").mkdir()
    (tmp_path / "out" / "part-000000.jsonl").write_text("{}\n")
    status, message = run(CONFIG, "in.txt", "out")
    assert status == 1 and "holds parts but no manifest.json" in message
    status, message = run(CONFIG, "in.txt", "empty")  # nothing to analyse: no parts
    assert status == 0 and parts(tmp_path / "empty") == []
    assert json.load(open(tmp_path / "empty" / "manifest.json"))["parts"] == 0
    status, message = run(CONFIG, "in.txt", "out", "--workers", "0")
    assert status == 2 and "at least 1" in message
