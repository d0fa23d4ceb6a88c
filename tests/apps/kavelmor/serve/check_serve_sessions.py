#!/usr/bin/env python3
"""The workshop page's session folders, seen in their parent folder on the server: a bill's
folder goes once its zip has been fetched, a plan's left alone goes after the session lifetime,
a client that goes away mid-upload leaves no folder and one that goes away while its bill runs
leaves no half-written outputs; nothing is left when the server ends.

    check_serve_sessions.py KAVELMOR
"""
import json
import os
import socket
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from serve_session import Checks, Server, demo_in  # noqa: E402


def eventually(condition, seconds=10.0):
    deadline = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > deadline:
            return False
        time.sleep(0.1)
    return True


def sessions_in(server):
    """The session folders under the server's own folder for them."""
    roots = os.listdir(server.sessions)
    return set(os.listdir(os.path.join(server.sessions, roots[0]))) if roots else set()


def raw_request(server, head, body):
    client = socket.create_connection((server.host, server.port))
    client.sendall((head + "Host: %s:%d\r\nX-Kavelmor-Token: %s\r\n" %
                    (server.host, server.port, server.token)).encode())
    client.sendall(("Content-Length: %d\r\n\r\n" % len(body)).encode())
    return client


def main():
    kavelmor = sys.argv[1]
    checks = Checks()
    expect = checks.expect

    with tempfile.TemporaryDirectory() as folder:
        _, demo = demo_in(kavelmor, folder)
        with open(os.path.join(demo, "plan.dxf"), "rb") as plan:
            plan_bytes = plan.read()
        with open(os.path.join(demo, "project.json"), "rb") as project:
            project_text = project.read()
        server = Server(kavelmor, folder, "--session-lifetime", "2")
        try:
            # A plan left alone goes after the lifetime, with no request to notice it.
            status, _, body = server.request("POST", "/api/plan?name=plan.dxf", body=plan_bytes)
            expect(status == 200, f"upload: {status} {body[:300]}")
            session = json.loads(body)["session"] if status == 200 else ""
            expect(sessions_in(server) == {session}, f"the plan's folder: {sessions_in(server)}")
            expect(eventually(lambda: sessions_in(server) == set()),
                   f"a plan left alone for its lifetime: {sessions_in(server)}")
            status, _, _ = server.request("GET", f"/api/sessions/{session}/files/bill.csv")
            expect(status == 404, f"a file of an expired session: {status}")

            # The upload is on disk while it arrives; cut off, it goes.
            big = plan_bytes * (4_000_000 // len(plan_bytes) + 1)
            client = raw_request(server, "POST /api/plan?name=cut.dxf HTTP/1.1\r\n", big)
            client.sendall(big[:len(big) // 2])
            expect(eventually(lambda: len(sessions_in(server)) == 1, 5),
                   "no folder while the upload arrives")
            client.close()
            expect(eventually(lambda: sessions_in(server) == set()),
                   f"a cut-off upload left {sessions_in(server)}")

            # A page gone while its bill runs leaves no half-written outputs.
            status, _, body = server.request("POST", "/api/plan?name=plan.dxf", body=plan_bytes)
            session = json.loads(body)["session"]
            client = raw_request(server, f"POST /api/sessions/{session}/bill HTTP/1.1\r\n",
                                 project_text)
            client.sendall(project_text)
            first = client.recv(4096)
            expect(b"200" in first.split(b"\r\n", 1)[0], f"the bill's answer: {first[:200]}")
            client.close()
            outputs = os.path.join(server.sessions, os.listdir(server.sessions)[0], session,
                                   "outputs")

            def settled():
                if not os.path.isdir(outputs):
                    return True  # the session's lifetime has passed since
                names = os.listdir(outputs)
                hidden = [n for n in names if n.startswith(".") and n != ".kavelmor-outputs"]
                return not hidden and (not names or "shop.pdf" in names)
            time.sleep(1)
            expect(eventually(settled), "a bill cut off left " + " ".join(
                sorted(os.listdir(outputs)) if os.path.isdir(outputs) else []))
        finally:
            stopped = server.stop()
        expect(stopped == 0, f"serve ended with {stopped}")
        expect(os.listdir(server.sessions) == [], f"left behind: {os.listdir(server.sessions)}")

    return checks.report()


if __name__ == "__main__":
    sys.exit(main())
