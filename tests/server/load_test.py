#!/usr/bin/python3
"""A bounded load on loopback: 4 client threads, each on one keep-alive
connection, 2,000 requests a round (sentences of the bundled example, one at
a time and in batches, the grammar, health), three rounds. No request may
fail, and the server's resident memory after round 3 may not have grown
beyond noise from what it was after round 1.
load_test.py MIRASK EXAMPLES_DIR [sanitized]: a program built with the
sanitizers gets 500 requests a round and no memory check (their quarantine
holds freed memory on purpose)."""
import os
import sys
import threading

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from server_process import Server  # noqa: E402

MIRASK, EXAMPLES = (os.path.abspath(a) for a in sys.argv[1:3])
SANITIZED = sys.argv[3:] == ["sanitized"]
CLIENTS, REQUESTS, ROUNDS = 4, 500 if SANITIZED else 2000, 3
GROWTH_ALLOWED_KIB = 2048  # allocator noise; a leak of one byte a request would pass 24 KB

with open(os.path.join(EXAMPLES, "saetze.txt"), encoding="latin-1") as f:
    SENTENCES = [line.strip() for line in f if line.strip()]


def requests_of(client):
    """The client's requests of a round: (method, path, body, what the answer must hold)."""
    for i in range(REQUESTS):
        sentence = SENTENCES[(client * 7 + i) % len(SENTENCES)]
        kind = i % 10
        if kind < 6:
            yield "POST", "/api/parse", {"sentence": sentence}, "outcome"
        elif kind < 8:
            yield "POST", "/api/parse", {"sentences": SENTENCES[i % 40:i % 40 + 3], "svg": True}, "records"
        elif kind == 8:
            yield "GET", "/api/grammar", None, "rules"
        else:
            yield "GET", "/api/health", None, "status"


def client_round(server, client, errors):
    connection = server.connection()
    for method, path, body, field in requests_of(client):
        try:
            status, answer = server.request(method, path, body, connection=connection)
            if status != 200 or field not in answer:
                errors.append("%s %s: %s %s" % (method, path, status, str(answer)[:200]))
        except Exception as failure:  # a dropped connection counts as an error too
            errors.append("%s %s: %r" % (method, path, failure))
            connection.close()
            connection = server.connection()
    connection.close()


def main():
    with Server(MIRASK, EXAMPLES, extra=["-threads", "2"]) as server:
        rss = []
        errors = []
        for round_number in range(1, ROUNDS + 1):
            threads = [threading.Thread(target=client_round, args=(server, c, errors))
                       for c in range(CLIENTS)]
            for t in threads:
                t.start()
            for t in threads:
                t.join()
            rss.append(server.rss_kib())
            print("round %d: %d requests, %d errors, RSS %d KiB"
                  % (round_number, CLIENTS * REQUESTS, len(errors), rss[-1]))
        status = server.stop()
    failed = []
    if errors:
        failed.append("errors: %s" % errors[:5])
    if not SANITIZED and rss[-1] - rss[0] > GROWTH_ALLOWED_KIB:
        failed.append("RSS grew from %d to %d KiB after round 1" % (rss[0], rss[-1]))
    if status != 0:
        failed.append("exit status %d" % status)
    for f in failed:
        print("FAIL:", f)
    print("%d passed, %d failed" % (0 if failed else 1, 1 if failed else 0))
    return 1 if failed else 0


sys.exit(main())
