"""A `kavelmor serve` started for a test, on a free port, in folders of the test's own."""
import http.client
import os
import re
import signal
import subprocess


def demo_in(kavelmor, folder):
    """The environment of a user whose home is `folder`, and the demo run there: (env, demo)."""
    env = dict(os.environ, HOME=folder, KAVELMOR_HOME=folder)
    demo = os.path.join(folder, "demo")
    subprocess.run([kavelmor, "demo", "-o", demo], env=env, check=True, capture_output=True)
    return env, demo


def with_a_line_drawn_twice(plan_bytes):
    """The demo's plan with its first line drawn a second time, and that line's layer."""
    lines = plan_bytes.split(b"\n")
    start = next(i for i in range(1, len(lines))
                 if lines[i].strip() == b"LINE" and lines[i - 1].strip() == b"0")
    end = next(i for i in range(start + 1, len(lines)) if lines[i].strip() == b"0")
    return b"\n".join(lines[:end] + lines[start - 1:end] + lines[end:]), \
        lines[start + 2].decode("cp936").strip()


class Server:
    def __init__(self, kavelmor, folder, *arguments):
        self.sessions = os.path.join(folder, "tmp")
        os.makedirs(self.sessions, exist_ok=True)
        env = dict(os.environ, HOME=folder, KAVELMOR_HOME=folder, TMPDIR=self.sessions)
        self.process = subprocess.Popen([kavelmor, "serve", "--port", "0", *arguments], env=env,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        first = self.process.stdout.readline()
        found = re.search(r"http://([^/:]+):(\d+)/\?token=([0-9a-f]+)", first)
        if not found:
            self.process.kill()
            raise RuntimeError("serve printed no address: " + first + self.process.stderr.read())
        self.host, self.port, self.token = found.group(1), int(found.group(2)), found.group(3)
        self.address = first.split(": ", 1)[1].strip()

    def request(self, method, path, body=None, headers=None, token=True):
        """(status, headers, body bytes); the token in its header unless `token` is False."""
        connection = http.client.HTTPConnection(self.host, self.port, timeout=60)
        sent = dict(headers or {})
        if token and "X-Kavelmor-Token" not in sent:
            sent["X-Kavelmor-Token"] = self.token
        connection.request(method, path, body=body, headers=sent)
        response = connection.getresponse()
        data = response.read()
        connection.close()
        return response.status, dict(response.getheaders()), data

    def stop(self):
        """Ends the server as Ctrl-C would; its exit status."""
        self.process.send_signal(signal.SIGINT)
        try:
            return self.process.wait(timeout=60)
        finally:
            self.process.stdout.close()
            self.process.stderr.close()


class Checks:
    """Failures gathered by `expect` and reported as every check of the server reports them."""

    def __init__(self):
        self.failures = []

    def expect(self, condition, message):
        if not condition:
            self.failures.append(message)

    def report(self):
        """Prints the failures and returns the script's exit status."""
        for failure in self.failures:
            print("FAIL:", failure)
        print(f"{0 if self.failures else 1} passed, {len(self.failures)} failed")
        return 1 if self.failures else 0
