#!/usr/bin/python3
"""The server's API on loopback: every endpoint, every error status, the
checks of Host and Origin, a sentence stopped by the time limit while other
requests are answered, a reload with a broken rules file, the end by SIGINT
and SIGTERM. api_test.py MIRASK EXAMPLES_DIR"""
import json
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from server_process import Server  # noqa: E402

MIRASK = os.path.abspath(sys.argv[1])
EXAMPLES = os.path.abspath(sys.argv[2])
AMBIGUOUS = " ".join(["a"] * 40) + "."


def without_times(value):
    """The value with every time_us set to 0."""
    if isinstance(value, dict):
        return {k: 0 if k == "time_us" else without_times(v) for k, v in value.items()}
    if isinstance(value, list):
        return [without_times(v) for v in value]
    return value


def cli_lines(folder, *arguments, stdin=""):
    run = subprocess.run([MIRASK, "-c", "mirask.cfg", *arguments], cwd=folder, input=stdin,
                         capture_output=True, text=True, encoding="utf-8")
    return [json.loads(line) for line in run.stdout.splitlines() if line.startswith("{")]


def make_ambiguous(folder):
    """One category, one rule, a one-word lexicon: every bracketing is an analysis."""
    os.makedirs(folder)
    shutil.copy(os.path.join(EXAMPLES, "meldungen.txt"), folder)
    files = {"mirask.cfg": "meldungen.txt\n32,44,59\n46,33,63\nregeln.txt\nlexikon.txt\nendungen.txt\n",
             "regeln.txt": "XXXX + XXXX = XXXX;.\n", "lexikon.txt": "A=XXXX\n", "endungen.txt": ""}
    for name, text in files.items():
        with open(os.path.join(folder, name), "w") as f:
            f.write(text)


def raw_exchange(port, data):
    """(status, parsed JSON body) of the answer to the bytes `data`, sent as they are. (The
    client keeps its side open: a server may take a half-closed connection for a gone one.)"""
    with socket.create_connection(("127.0.0.1", port), timeout=30) as s:
        s.sendall(data)
        answer = b""
        while b"\r\n\r\n" not in answer:
            answer += s.recv(65536)
        head, _, body = answer.partition(b"\r\n\r\n")
        length = int(re.search(rb"\r\nContent-Length: (\d+)", head).group(1))
        while len(body) < length:
            body += s.recv(65536)
    return int(head.split(b" ")[1]), json.loads(body)


def copy_of_examples(scratch):
    """The bundled example copied into `scratch`: its folder, its rules file
    and that file's text."""
    folder = os.path.join(scratch, "examples")
    shutil.copytree(EXAMPLES, folder, ignore=shutil.ignore_patterns("guide", "utf8", "library"))
    rules = os.path.join(folder, "regeln.txt")
    with open(rules, encoding="latin-1") as f:
        return folder, rules, f.read()


class Api(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.mkdtemp()
        cls.folder = copy_of_examples(cls.scratch)[0]
        cls.server = Server(MIRASK, cls.folder, extra=["-threads", "2", "-max-body", "200000"])

    @classmethod
    def tearDownClass(cls):
        cls.server.__exit__()
        shutil.rmtree(cls.scratch)

    def post(self, path, body, headers=None):
        return self.server.request("POST", path, body, headers)

    def test_health_and_grammar(self):
        self.assertEqual(self.server.request("GET", "/api/health"), (200, {"status": "ok"}))
        status, g = self.server.request("GET", "/api/grammar")
        self.assertEqual(status, 200)
        self.assertEqual((g["rules"], g["entries"], g["endings"], g["start_category"]),
                         (34, 287, 7, "SATZ"))
        self.assertEqual([f["role"] for f in g["files"]],
                         ["configuration", "messages", "rules", "lexicon", "endings"])
        self.assertTrue(all(re.fullmatch("fnv1a64:[0-9a-f]{16}", f["checksum"]) for f in g["files"]))

    def test_parse_gives_the_records_of_json(self):
        sentences = ["Der Hund bellt.", "Der Hund bellen.", "Der Dackel bellt.", "Ich sehe sie."]
        expected = cli_lines(self.folder, "-i", "/dev/stdin", "-json", stdin="\n".join(sentences) + "\n")
        status, one = self.post("/api/parse", {"sentence": sentences[0]})
        self.assertEqual(status, 200)
        self.assertEqual(without_times(one), without_times(expected[0]))
        status, batch = self.post("/api/parse", {"sentences": sentences})
        self.assertEqual(status, 200)
        self.assertEqual(without_times(batch["records"]), without_times(expected))
        listed = cli_lines(self.folder, "-i", "/dev/stdin", "-json", "-list", "-why", "-all",
                           stdin=sentences[3] + "\n")[0]
        status, full = self.post("/api/parse", {"sentence": sentences[3], "nodes": True, "why": True,
                                                "all": True, "svg": True})
        self.assertEqual(without_times({k: v for k, v in full.items() if k in listed}),
                         without_times(listed))
        self.assertTrue(full["svg"].startswith("<svg"))
        self.assertEqual(len(full["analysis_nodes"]), 9)  # SATZ(NPHR(PRON)VPHR(VERB(VSTM VEND)NPHR(PRON)))

    def test_suite_gives_the_profile_records_of_test(self):
        with open(os.path.join(self.folder, "saetze.suite"), encoding="latin-1") as f:
            suite = f.read()
        status, answer = self.post("/api/suite", {"suite": suite, "name": "saetze.suite"})
        self.assertEqual(status, 200)
        profile = cli_lines(self.folder, "-test", "saetze.suite", "-profile", "-")
        self.assertEqual(without_times(answer["records"]), without_times(profile[1:-1]))
        self.assertEqual(answer["end"], profile[-1])
        header = dict(profile[0], date=answer["header"]["date"])
        self.assertEqual(answer["header"], header)
        self.assertEqual(answer["summary"]["passed"], 80)
        self.assertIn("80 passed, 0 failed", answer["report"])

    def test_errors(self):
        cases = [
            ("POST", "/api/parse", b"{\"sentence\": ", 400, "malformed JSON at byte 14"),
            ("POST", "/api/parse", b"{\"sentence\": \"\xff\"}", 400, "invalid UTF-8"),
            ("POST", "/api/parse", b"[" * 50000, 400, "nests deeper than 8 levels"),
            ("POST", "/api/parse", b"{\"sentence\": \"a\", \"file\": \"/etc/passwd\"}", 400,
             "unknown field \"file\""),
            ("POST", "/api/suite", b"{}", 400, "\"suite\" is missing"),
            ("POST", "/api/reload", b"{\"x\": 1}", 400, "unknown field"),
            ("GET", "/api/nothing", None, 404, "no such resource: /api/nothing"),
            ("GET", "/../../etc/passwd", None, 404, "no such resource"),
            ("GET", "/api/parse", None, 405, "/api/parse takes POST, not GET"),
            ("POST", "/api/health", b"{}", 405, "/api/health takes GET, not POST"),
            ("DELETE", "/", None, 405, "/ takes GET, not DELETE"),
            ("POST", "/api/parse", b"{\"sentence\": \"" + b"a" * 200000 + b"\"}", 413,
             "over the limit of 200000 bytes"),
        ]
        for method, path, body, status, message in cases:
            with self.subTest(path=path, status=status):
                found, answer = self.server.request(method, path, body)
                self.assertEqual(found, status)
                self.assertIn(message, answer["error"])

    def test_malformed_requests_get_json_answers(self):
        host = b"Host: 127.0.0.1:%d\r\n" % self.server.port
        cases = [
            (b"NONSENSE\r\n\r\n", 400, "malformed request"),
            (b"GET /" + b"a" * 10000 + b" HTTP/1.1\r\n" + host + b"\r\n", 414,
             "the request line is too long"),
            (b"POST /api/parse HTTP/1.1\r\n" + host + b"Content-Length: 12x\r\n\r\n", 400,
             "malformed Content-Length"),
            (b"GET /api/health HTTP/1.1\r\n" + host + b"Content-Length: 2\r\n\r\n{}", 400,
             "GET takes no body"),
            (b"POST /api/parse HTTP/1.1\r\n" + host + b"Transfer-Encoding: chunked\r\n\r\nzz\r\n", 400,
             "the request body could not be read"),
        ]
        for data, status, message in cases:
            with self.subTest(request=data[:40]):
                found, answer = raw_exchange(self.server.port, data)
                self.assertEqual(found, status)
                self.assertIn(message, answer["error"])

    def test_head_is_get_without_the_body(self):
        c = self.server.connection()
        c.request("HEAD", "/api/health")
        response = c.getresponse()
        self.assertEqual((response.status, response.read()), (200, b""))
        c.request("HEAD", "/api/parse")
        response = c.getresponse()
        self.assertEqual((response.status, response.getheader("Allow")), (405, "POST"))
        c.close()

    def test_a_chunked_body_over_the_limit_is_stopped_while_read(self):
        c = self.server.connection()
        c.putrequest("POST", "/api/parse")
        c.putheader("Transfer-Encoding", "chunked")
        c.endheaders()
        try:
            for _ in range(100):  # 100 chunks of 4,096 bytes: twice the limit
                c.send(b"1000\r\n" + b" " * 4096 + b"\r\n")
        except (BrokenPipeError, ConnectionResetError):
            pass
        response = c.getresponse()
        self.assertEqual(response.status, 413)
        self.assertEqual(response.getheader("Connection"), "close")
        c.close()

    def test_other_hosts_and_origins_are_refused(self):
        port = self.server.port
        body = {"sentence": "Der Hund bellt."}
        for host in ["evil.example:%d" % port, "127.0.0.1:%d" % (port + 1), "127.0.0.1"]:
            status, answer = self.server.request("GET", "/api/health", headers={"Host": host})
            self.assertEqual(status, 403, host)
            self.assertIn("not the address this server listens on", answer["error"])
        status, _ = self.server.request("GET", "/", headers={"Host": "localhost:%d" % port})
        self.assertEqual(status, 200)
        for origin in ["http://evil.example", "null", "http://127.0.0.1:%d" % (port + 1)]:
            status, answer = self.post("/api/parse", body, {"Origin": origin})
            self.assertEqual(status, 403, origin)
            self.assertIn("are not served", answer["error"])
        for origin in [self.server.origin, "http://localhost:%d" % port]:
            self.assertEqual(self.post("/api/parse", body, {"Origin": origin})[0], 200)
        # A refused request's body is never read as a request of its own.
        smuggled = ("POST /api/reload HTTP/1.1\r\nHost: 127.0.0.1:%d\r\nContent-Length: 0\r\n\r\n"
                    % port).encode()
        c = self.server.connection()
        c.request("POST", "/api/reload", body=smuggled, headers={"Origin": "http://evil.example"})
        response = c.getresponse()
        response.read()
        self.assertEqual(response.status, 403)
        self.assertEqual(response.getheader("Connection"), "close")
        c.close()

    def test_a_post_without_a_body(self):
        c = self.server.connection()
        c.putrequest("POST", "/api/reload")  # neither Content-Length nor Transfer-Encoding
        c.endheaders()
        response = c.getresponse()
        self.assertEqual((response.status, json.loads(response.read())["reloaded"]), (200, True))
        c.close()

    def test_the_page_is_compiled_in_and_guarded(self):
        c = self.server.connection()
        for path, kind in [("/", "text/html"), ("/page.js", "text/javascript"), ("/page.css", "text/css")]:
            c.request("GET", path)
            response = c.getresponse()
            text = response.read().decode("utf-8")
            self.assertEqual(response.status, 200)
            self.assertEqual(response.getheader("Content-Type"), kind + "; charset=utf-8")
            self.assertIn("script-src 'self'", response.getheader("Content-Security-Policy"))
            for name in ["Cache-Control", "X-Content-Type-Options", "Referrer-Policy"]:
                self.assertEqual(len(response.headers.get_all(name)), 1, name)
            self.assertNotIn("http://", text.replace("http://www.w3.org", ""))
        c.close()


class Limits(unittest.TestCase):
    def test_a_sentence_stopped_by_the_time_limit_while_others_are_answered(self):
        with tempfile.TemporaryDirectory() as scratch:
            folder = os.path.join(scratch, "ambiguous")
            make_ambiguous(folder)
            with Server(MIRASK, folder, extra=["-a", "XXXX", "-threads", "2"]) as server:
                long_answer = {}

                # Half a second: far less than the 10^7 nodes of the server's
                # node limit take to build, however fast the machine.
                def long_parse():
                    start = time.time()
                    long_answer["answer"] = server.request(
                        "POST", "/api/parse", {"sentence": AMBIGUOUS, "all": True, "count": False,
                                               "timeout_ms": 500})
                    long_answer["seconds"] = time.time() - start

                thread = threading.Thread(target=long_parse)
                thread.start()
                answered = 0
                while thread.is_alive() and answered < 200:
                    self.assertEqual(server.request("GET", "/api/health")[0], 200)
                    status, record = server.request("POST", "/api/parse", {"sentence": "a a a."})
                    self.assertEqual((status, record["outcome"]), (200, "analysed"))
                    answered += 1
                thread.join()
                status, record = long_answer["answer"]
                self.assertEqual(status, 200)
                self.assertEqual(record["outcome"], "timeout")
                self.assertLess(long_answer["seconds"], 5)
                self.assertGreater(answered, 0)
                self.assertEqual(server.stop(), 0)

    def test_a_full_queue_gets_503_and_the_node_limit_its_outcome(self):
        with tempfile.TemporaryDirectory() as scratch:
            folder = os.path.join(scratch, "ambiguous")
            make_ambiguous(folder)
            with Server(MIRASK, folder, extra=["-a", "XXXX", "-threads", "1"]) as server:
                statuses = []
                # One worker and four queue places: of eight long parses at
                # once, some find the queue full.
                request = {"sentence": AMBIGUOUS, "all": True, "count": False, "node_limit": 1500000}

                def parse():
                    status, answer = server.request("POST", "/api/parse", request)
                    statuses.append((status, answer.get("outcome") or answer.get("error")))

                threads = [threading.Thread(target=parse) for _ in range(8)]
                for t in threads:
                    t.start()
                for t in threads:
                    t.join()
                self.assertIn((200, "node_limit"), statuses)
                busy = [s for s in statuses if s[0] == 503]
                self.assertTrue(busy, statuses)
                self.assertIn("busy", busy[0][1])
                self.assertEqual(server.request("GET", "/api/health")[0], 200)
                server.process.send_signal(signal.SIGTERM)
                self.assertEqual(server.process.wait(timeout=30), 0)


class Reload(unittest.TestCase):
    def test_a_broken_rules_file_keeps_the_old_grammar(self):
        with tempfile.TemporaryDirectory() as scratch:
            folder, rules, original = copy_of_examples(scratch)
            with Server(MIRASK, folder) as server:
                with open(rules, "w", encoding="latin-1") as f:
                    f.write(original.replace("+ VPHR NUM()PER() = SATZ;", "+ VPHR NUM()PER() = ;"))
                status, answer = server.request("POST", "/api/reload")
                self.assertEqual(status, 422)
                self.assertFalse(answer["reloaded"])
                self.assertTrue(answer["problems"])
                for problem in answer["problems"]:
                    self.assertRegex(problem, r"^regeln\.txt:\d+:\d+: error: ")
                self.assertEqual(answer["grammar"]["rules"], 34)
                status, record = server.request("POST", "/api/parse", {"sentence": "Der Hund bellt."})
                self.assertEqual(record["outcome"], "analysed")

                with open(rules, "w", encoding="latin-1") as f:
                    f.write("".join(l for l in original.splitlines(True)
                                    if not l.startswith("GRAD + ADJS = ADJS")))
                status, answer = server.request("POST", "/api/reload", b"{}")
                self.assertEqual((status, answer["reloaded"], answer["grammar"]["rules"]), (200, True, 33))
                status, record = server.request("POST", "/api/parse", {"sentence": "Das Wasser ist zu kalt."})
                self.assertEqual(record["outcome"], "no_analysis")
                self.assertEqual(server.stop(), 0)


class Startup(unittest.TestCase):
    def test_a_grammar_with_problems_is_served_on_the_port_given(self):
        with tempfile.TemporaryDirectory() as scratch:
            folder, rules, original = copy_of_examples(scratch)
            broken = original.replace("+ VPHR NUM()PER() = SATZ;", "+ VPHR NUM()PER() = ;")
            with open(rules, "w", encoding="latin-1") as f:
                f.write(broken)
            with socket.socket() as probe:  # a port that is free now
                probe.bind(("127.0.0.1", 0))
                port = probe.getsockname()[1]
            with Server(MIRASK, folder, address="127.0.0.1:%d" % port) as server:
                self.assertEqual(server.port, port)
                self.assertEqual(len(server.startup_lines), 1, server.startup_lines)
                self.assertRegex(server.startup_lines[0], r"^regeln\.txt:\d+:\d+: error: ")
                status, grammar = server.request("GET", "/api/grammar")
                self.assertEqual((status, grammar["problems"]), (200, server.startup_lines))
                status, answer = server.request("POST", "/api/reload")
                self.assertEqual((status, answer["error"]), (422, "the grammar was not reloaded "
                                                             "(1 problem); the one in service stays"))
                with open(rules, "w", encoding="latin-1") as f:
                    f.write(broken.replace("SATZ + SKON = SATZ;", "SATZ + SKON = ;"))
                status, answer = server.request("POST", "/api/reload")
                self.assertEqual(status, 422)
                self.assertIn("(2 problems)", answer["error"])
                self.assertEqual(len(answer["problems"]), 2)
                self.assertEqual(server.stop(), 0)


class CommandLine(unittest.TestCase):
    def run_mirask(self, *arguments):
        return subprocess.run([MIRASK, *arguments], cwd=EXAMPLES, capture_output=True, text=True,
                              timeout=30)

    def test_misuse_gets_a_message(self):
        cases = [(["-c", "mirask.cfg", "-serve", "99999"], "-serve needs [HOST:]PORT"),
                 (["-serve", "0"], "-serve needs a configuration (-c FILE)"),
                 (["-c", "missing.cfg", "-serve", "0"], "cannot serve: missing.cfg: error:"),
                 (["-c", "mirask.cfg", "-serve", "192.0.2.1:0"], "cannot listen on 192.0.2.1:0")]
        for arguments, message in cases:
            with self.subTest(arguments=arguments):
                run = self.run_mirask(*arguments)
                self.assertEqual(run.returncode, 1)
                self.assertIn(message, run.stderr)
        with tempfile.TemporaryDirectory() as alone:  # Mirask without Mirask-serve beside it
            shutil.copy(MIRASK, alone)
            run = subprocess.run([os.path.join(alone, "Mirask"), "-c", "mirask.cfg", "-serve", "0"],
                                 cwd=EXAMPLES, capture_output=True, text=True, timeout=30)
            self.assertEqual(run.returncode, 1)
            self.assertIn("-serve is not built in", run.stderr)
        serve = os.path.join(os.path.dirname(MIRASK), "Mirask-serve")
        for arguments, message in [(["-c", "mirask.cfg"], "usage: Mirask-serve -c CONFIG -serve [HOST:]PORT"),
                                   (["-c", "mirask.cfg", "-serve", "0", "-threads", "0"], "-threads needs")]:
            with self.subTest(alone=arguments):
                run = subprocess.run([serve, *arguments], cwd=EXAMPLES, capture_output=True, text=True,
                                     timeout=30)
                self.assertEqual(run.returncode, 1)
                self.assertIn("Mirask-serve: " + message, run.stderr)
        for arguments, message in [(["-max-body", "5"], "-max-body goes with -serve"),
                                   (["-serve", "0", "-threads", "0"], "-threads needs a whole number"),
                                   (["-serve", "0", "-json"], "-serve goes with none of")]:
            run = self.run_mirask("-c", "mirask.cfg", *arguments)
            self.assertIn("------ " + message, run.stdout + run.stderr)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
