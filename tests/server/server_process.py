"""Starts `Mirask -c CONFIG -serve 127.0.0.1:0` for a test and stops it:
the tests of the server (API, page, load) share it. Traffic goes to the
loopback address only."""
import http.client
import json
import os
import re
import signal
import subprocess
import time


class Server:
    def __init__(self, mirask, folder, config="mirask.cfg", extra=(), address="127.0.0.1:0"):
        self.process = subprocess.Popen(
            [mirask, "-c", config, "-serve", address, *extra],
            cwd=folder, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        self.port = None
        self.startup_lines = []  # what the server wrote before it listened
        deadline = time.time() + 30
        while self.port is None and time.time() < deadline:
            line = self.process.stderr.readline()
            if not line:
                break
            found = re.match(r"listening on http://127\.0\.0\.1:(\d+)/$", line.strip())
            if found:
                self.port = int(found.group(1))
            else:
                self.startup_lines.append(line.rstrip("\n"))
        if self.port is None:
            self.process.kill()
            raise RuntimeError("the server did not start: " + self.process.stderr.read())
        self.origin = "http://127.0.0.1:%d" % self.port

    def connection(self, timeout=30):
        return http.client.HTTPConnection("127.0.0.1", self.port, timeout=timeout)

    def request(self, method, path, body=None, headers=None, connection=None):
        """(status, parsed JSON answer); `body` a dict or bytes."""
        own = connection is None
        c = connection or self.connection()
        if isinstance(body, dict):
            body = json.dumps(body).encode()
        c.request(method, path, body=body, headers=headers or {})
        response = c.getresponse()
        data = response.read()
        if own:
            c.close()
        return response.status, json.loads(data) if data.startswith(b"{") else data

    def rss_kib(self):
        with open("/proc/%d/status" % self.process.pid) as status:
            for line in status:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
        return 0

    def stop(self):
        """Ends the server with SIGINT; its exit status."""
        self.process.send_signal(signal.SIGINT)
        try:
            return self.process.wait(timeout=30)
        finally:
            self.process.stderr.close()

    def __enter__(self):
        return self

    def __exit__(self, *failure):
        # A clean end first, as a user's Ctrl-C (a coverage build writes its
        # counters only then); killed when it does not come.
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGINT)
            try:
                self.process.wait(timeout=30)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.process.stderr.close()
