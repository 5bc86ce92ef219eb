"""Analyses a corpus on a Dask cluster:

    python3 -m mirask.corpus CONFIG INPUT OUTDIR [--workers N] [--scheduler ADDRESS]
                             [--utf8] [--lines-per-part N] [--start CATEGORY]
                             [--all] [--max-analyses N] [--why]

splits INPUT into parts of whole lines, analyses the parts on a local
cluster of N worker processes (or on the running cluster at ADDRESS), each
worker loading the grammar once, and writes OUTDIR/part-NNNNNN.jsonl, whose
concatenation in name order is the output of `Mirask -json` for INPUT (with
-utf8, -a, -all, -max-analyses and -why as given), time_us aside. A part is
written only when complete; a rerun into the same OUTDIR redoes only the
parts that are missing. The configuration's file names are relative to its
folder; a remote cluster's workers must see the configuration at the same
path.
"""

import argparse
import hashlib
import json
import os
import sys
import tempfile

from . import input_text
from ._error import Error
from ._mirask import Grammar

MANIFEST = "manifest.json"
MANIFEST_VERSION = 1

class Failure(Exception):
    """A run that cannot go on, with the message for the user."""


# The grammar a worker process has loaded, by (configuration, utf8).
_grammars = {}


def checksums_of(grammar):
    return [f["checksum"] for f in grammar.files]


def analyse_part(configuration, utf8, checksums, options, first_number, sentences):
    """The records of one part's sentences, one line each, numbered from
    first_number (runs on a worker). The grammar is loaded once, and again
    only when its files are no longer those of the run (`checksums`): a
    worker of a long-lived cluster never analyses with an old grammar."""
    key = (configuration, utf8)
    if key not in _grammars or checksums_of(_grammars[key]) != checksums:
        _grammars[key] = Grammar(configuration, utf8=utf8)
        if checksums_of(_grammars[key]) != checksums:
            raise Failure(f"{configuration}: the grammar's files on a worker are not those "
                          "this run was started with")
    results = _grammars[key].parse_many(sentences, first_number=first_number, **options)
    return "".join(r.json() + "\n" for r in results)


def grammar_loads():
    """How many grammars this process has loaded (for the tests)."""
    return len(_grammars)


class Part:
    __slots__ = ("index", "first_number", "sentences")

    def __init__(self, index, first_number, sentences):
        self.index = index
        self.first_number = first_number
        self.sentences = sentences


def parts_of(path, utf8, lines_per_part, skipped=None):
    """The parts of the input: lines_per_part lines each, with the number of
    their first sentence. A skipped line goes to `skipped` (a list)."""
    number = 1
    sentences = []
    lines = 0
    index = 0
    with open(path, "rb") as stream:
        for line in input_text.lines_of(stream, utf8):
            if line.skipped is not None and skipped is not None:
                skipped.append(f"{path}:{line.number}:{line.skipped}; sentence skipped")
            sentences.extend(line.sentences)
            lines += 1
            if lines == lines_per_part:
                yield Part(index, number, sentences)
                number += len(sentences)
                index += 1
                sentences, lines = [], 0
    if lines:
        yield Part(index, number, sentences)


def part_name(index, count):
    return f"part-{index:0{max(6, len(str(count - 1)))}d}.jsonl"


def write_whole(path, text):
    """Writes the file under a temporary name and renames it, so that it
    exists only with its whole content."""
    folder = os.path.dirname(path)
    fd, temporary = tempfile.mkstemp(dir=folder, prefix=".", suffix=".tmp")
    try:
        with os.fdopen(fd, "w", encoding="utf-8", newline="\n") as out:
            out.write(text)
            out.flush()
            os.fsync(out.fileno())
        os.replace(temporary, path)
    except BaseException:
        os.unlink(temporary)
        raise


def file_checksum(path):
    digest = hashlib.sha256()
    with open(path, "rb") as stream:
        for block in iter(lambda: stream.read(1 << 20), b""):
            digest.update(block)
    return "sha256:" + digest.hexdigest()


def prepare(outdir, manifest):
    """Makes OUTDIR ready for the run the manifest describes: a new folder, an
    empty one, or one with the parts of the same run."""
    os.makedirs(outdir, exist_ok=True)
    path = os.path.join(outdir, MANIFEST)
    if os.path.exists(path):
        with open(path, encoding="utf-8") as stream:
            try:
                found = json.load(stream)
            except ValueError:
                found = None
        if found != manifest:
            raise Failure(f"{outdir} holds the parts of another run (other input, grammar or "
                          "options); name a new or empty folder")
        return
    if any(name.endswith(".jsonl") for name in os.listdir(outdir)):
        raise Failure(f"{outdir} holds parts but no {MANIFEST}; name a new or empty folder")
    write_whole(path, json.dumps(manifest, indent=1, sort_keys=True) + "\n")


class Plan:
    """A run: what to analyse, and the parts OUTDIR still lacks."""

    def __init__(self, configuration, input_path, outdir, utf8, lines_per_part, options):
        self.configuration = configuration
        self.input_path = input_path
        self.outdir = outdir
        self.utf8 = utf8
        self.lines_per_part = lines_per_part
        self.options = options
        self.checksums = []  # of the grammar's files
        self.count = 0
        self.missing = 0

    def path_of(self, index):
        return os.path.join(self.outdir, part_name(index, self.count))

    def parts(self):
        """The parts OUTDIR lacks."""
        for part in parts_of(self.input_path, self.utf8, self.lines_per_part):
            if not os.path.exists(self.path_of(part.index)):
                yield part


def plan(configuration, input_path, outdir, *, utf8=False, lines_per_part=1000, options=None,
         report=print):
    """Loads the grammar, reads the input once and makes OUTDIR ready: the
    run's Plan. Raises Error for a grammar that cannot be loaded, Failure for
    an OUTDIR of another run, OSError for files that cannot be read."""
    configuration = os.path.abspath(configuration)
    grammar = Grammar(configuration, utf8=utf8)
    the_plan = Plan(configuration, input_path, outdir, utf8, lines_per_part, dict(options or {}))
    the_plan.checksums = checksums_of(grammar)
    skipped = []
    the_plan.count = sum(1 for _ in parts_of(input_path, utf8, lines_per_part, skipped))
    for message in skipped:
        report(message)
    prepare(outdir, {
        "version": MANIFEST_VERSION,
        "configuration": configuration,
        "grammar_files": checksums_of(grammar),
        "input": os.path.abspath(input_path),
        "input_checksum": file_checksum(input_path),
        "utf8": utf8,
        "lines_per_part": lines_per_part,
        "options": the_plan.options,
        "parts": the_plan.count,
    })
    the_plan.missing = sum(1 for i in range(the_plan.count) if not os.path.exists(the_plan.path_of(i)))
    return the_plan


def analyse(the_plan, client):
    """Analyses the missing parts on the cluster of `client`, a few per
    worker at a time, and writes each as it comes; returns how many."""
    from dask.distributed import as_completed

    in_flight = as_completed()
    most_in_flight = 2 * max(1, len(client.scheduler_info().get("workers", {}))) + 2
    written = 0

    def write_next():
        index, text = next(in_flight).result()
        write_whole(the_plan.path_of(index), text)

    try:
        for part in the_plan.parts():
            while in_flight.count() >= most_in_flight:
                write_next()
                written += 1
            in_flight.add(client.submit(
                _numbered_part, part.index, the_plan.configuration, the_plan.utf8,
                the_plan.checksums, the_plan.options, part.first_number, part.sentences,
                pure=False))
        while in_flight.count():
            write_next()
            written += 1
    except BaseException:
        for future in in_flight.futures:
            future.cancel()
        raise
    return written


def _numbered_part(index, *arguments):
    return index, analyse_part(*arguments)


def _arguments(argv):
    parser = argparse.ArgumentParser(
        prog="python3 -m mirask.corpus",
        description="Analyses a corpus on a Dask cluster into JSON Lines parts whose "
                    "concatenation in name order is the output of `Mirask -json`.")
    parser.add_argument("configuration", metavar="CONFIG")
    parser.add_argument("input", metavar="INPUT")
    parser.add_argument("outdir", metavar="OUTDIR")
    where = parser.add_mutually_exclusive_group()
    where.add_argument("--workers", type=_at_least_one, metavar="N",
                       help="worker processes of a local cluster (default 2)")
    where.add_argument("--scheduler", metavar="ADDRESS",
                       help="the scheduler of a running cluster, e.g. tcp://127.0.0.1:8786")
    parser.add_argument("--utf8", action="store_true", help="the grammar and input are UTF-8")
    parser.add_argument("--lines-per-part", type=_at_least_one, default=1000, metavar="N",
                        help="input lines per part (default 1000)")
    parser.add_argument("--start", metavar="CATEGORY", help="the start category (as -a)")
    parser.add_argument("--all", action="store_true", help="every complete analysis (as -all)")
    parser.add_argument("--max-analyses", type=_at_least_one, metavar="N",
                        help="with --all: at most N analyses (as -max-analyses)")
    parser.add_argument("--why", action="store_true", help="the diagnosis (as -why)")
    return parser.parse_args(argv)


def _at_least_one(text):
    try:
        value = int(text)
    except ValueError:
        value = 0
    if value < 1:
        raise argparse.ArgumentTypeError(f"needs a whole number of at least 1, not '{text}'")
    return value


def _options_of(args):
    options = {}
    if args.start:
        options["start"] = args.start
    if args.all:
        options["all"] = True
    if args.max_analyses is not None:
        options["max_analyses"] = args.max_analyses
    if args.why:
        options["why"] = True
    return options


def _client(args):
    import logging

    from dask.distributed import Client, LocalCluster

    if args.scheduler:
        return Client(args.scheduler, timeout="30s"), None
    cluster = LocalCluster(n_workers=args.workers or 2, threads_per_worker=1, processes=True,
                           dashboard_address=":0", silence_logs=logging.ERROR)
    return Client(cluster), cluster


def main(argv=None):
    args = _arguments(argv)

    def report(message):
        print(f"mirask.corpus: {message}", file=sys.stderr)

    try:
        the_plan = plan(args.configuration, args.input, args.outdir, utf8=args.utf8,
                        lines_per_part=args.lines_per_part, options=_options_of(args),
                        report=report)
        written = 0
        if the_plan.missing:
            client, cluster = _client(args)
            try:
                written = analyse(the_plan, client)
            finally:
                client.close()
                if cluster is not None:
                    cluster.close()
    except OSError as e:
        report(f"{e.filename}: {e.strerror}" if e.filename and e.strerror else str(e))
        return 1
    except (Error, Failure) as e:
        report(str(e))
        return 1
    except Exception as e:  # a failure on the cluster, as Dask reports it
        report(f"the analysis stopped: {type(e).__name__}: {e}")
        return 1
    report(f"{written} of {the_plan.count} parts written now, "
           f"{the_plan.count - the_plan.missing} kept, in {args.outdir}")
    return 0 if written == the_plan.missing else 1


if __name__ == "__main__":
    sys.exit(main())
