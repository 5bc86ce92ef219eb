"""Microseconds per sentence of the bundled example's sentences, repeated:
the C++ library over its public API (bench_library), the Python module's
parse_many with one and with two threads, parse() called once per sentence,
and the command line with -json. Each figure is the median of five runs.

    build/python/env/bin/python bench/python_bench.py [BUILD_DIR [REPEATS]]

BUILD_DIR (default build/release) holds Mirask and bench/bench_library;
the module is the one installed in the interpreter that runs this
(scripts/test-python installs it). REPEATS (default 40) times the 45
sentences of examples/saetze.txt.
"""

import os
import statistics
import subprocess
import sys
import tempfile
import time

import mirask

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
EXAMPLES = os.path.join(ROOT, "examples")
RUNS = 5


def median_us(work, count):
    times = []
    for _ in range(RUNS):
        start = time.perf_counter()
        work()
        times.append(time.perf_counter() - start)
    return statistics.median(times) * 1e6 / count


def library_us(build, repeats):
    done = subprocess.run([os.path.join(build, "bench", "bench_library"),
                           os.path.join(EXAMPLES, "mirask.cfg"),
                           os.path.join(EXAMPLES, "saetze.txt"), str(repeats)],
                          capture_output=True, text=True, check=True)
    return dict(line.rsplit(" ", 1) for line in done.stdout.splitlines())


def cli_us(build, sentences):
    """Per sentence, the start (loading the grammar) taken out: the run over
    every sentence less the run over one."""
    program = os.path.join(build, "analyser", "Mirask")

    def timed(lines):
        with tempfile.NamedTemporaryFile("w", suffix=".txt", encoding="utf-8") as f:
            f.write("".join(s + "\n" for s in lines))
            f.flush()
            command = [program, "-c", "mirask.cfg", "-i", f.name, "-json"]
            # The analyser ends with status 1 after its end frame, as it always has.
            return median_us(lambda: subprocess.run(command, cwd=EXAMPLES, check=False,
                                                    stdout=subprocess.DEVNULL,
                                                    stderr=subprocess.DEVNULL), 1)

    return (timed(sentences) - timed(sentences[:1])) / (len(sentences) - 1)


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/release")
    repeats = int(sys.argv[2]) if len(sys.argv) > 2 else 40
    with open(os.path.join(EXAMPLES, "saetze.txt"), encoding="utf-8") as f:
        sentences = f.read().splitlines() * repeats
    n = len(sentences)
    g = mirask.Grammar(os.path.join(EXAMPLES, "mirask.cfg"))
    rows = []
    library = library_us(build, repeats)
    rows.append(("C++ library, one analyser", float(library["parse"]),
                 float(library["parse+record"])))
    for threads in (1, 2):
        rows.append((f"parse_many, threads={threads}",
                     median_us(lambda: g.parse_many(sentences, threads=threads), n),
                     median_us(lambda: [r.json() for r in g.parse_many(sentences, threads=threads)], n)))
    rows.append(("parse(), one call a sentence",
                 median_us(lambda: [g.parse(s) for s in sentences], n),
                 median_us(lambda: [g.parse(s).json() for s in sentences], n)))
    rows.append(("Mirask -json (start taken out)", None, cli_us(build, sentences)))
    print(f"{n} sentences (examples/saetze.txt x {repeats}), median of {RUNS} runs, "
          "µs per sentence")
    print("| | parse | parse + JSON record |")
    print("|---|--:|--:|")
    for name, parse, record in rows:
        print(f"| {name} | {'–' if parse is None else f'{parse:.1f}'} | {record:.1f} |")


if __name__ == "__main__":
    main()
