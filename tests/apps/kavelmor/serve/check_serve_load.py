#!/usr/bin/env python3
"""The workshop page's server under load on loopback: 20 clients each upload the demo's plan and
make its bill at the same time, and every one of them gets every file complete and the same as
`kavelmor demo` made it (the PDF's creation time aside).

    check_serve_load.py KAVELMOR
"""
import json
import os
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from check_serve import make_bill, without_creation_time  # noqa: E402
from serve_session import Server  # noqa: E402

CLIENTS = 20


def one_client(server, plan, project, start, outcome):
    """Waits for every client to be ready, then the whole job: {name: bytes} or a problem."""
    try:
        start.wait()
        status, _, body = server.request("POST", "/api/plan?name=plan.dxf", body=plan)
        if status != 200:
            outcome["problem"] = f"upload: {status} {body[:200]!r}"
            return
        session = json.loads(body)["session"]
        status, _, answer = make_bill(server, session, project)
        if status != 200 or not answer.get("done"):
            outcome["problem"] = f"the bill: {status} {answer}"
            return
        files = {}
        for name in answer["files"]:
            status, _, data = server.request(
                "GET", f"/api/sessions/{session}/files/{urllib.parse.quote(name)}")
            if status != 200:
                outcome["problem"] = f"{name}: {status}"
                return
            files[name] = without_creation_time(data, name)
        outcome["files"] = files
    except Exception as error:  # noqa: BLE001 - a client's failure is the finding
        outcome["problem"] = f"{type(error).__name__}: {error}"


def main():
    kavelmor = sys.argv[1]
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        env = dict(os.environ, HOME=folder, KAVELMOR_HOME=folder)
        demo = os.path.join(folder, "demo")
        subprocess.run([kavelmor, "demo", "-o", demo], env=env, check=True, capture_output=True)
        expected = {}
        for name in os.listdir(demo):
            if name not in ("plan.dxf", "project.json") and not name.startswith("."):
                with open(os.path.join(demo, name), "rb") as made:
                    expected[name] = without_creation_time(made.read(), name)
        with open(os.path.join(demo, "plan.dxf"), "rb") as plan_file:
            plan = plan_file.read()
        with open(os.path.join(demo, "project.json"), "rb") as project_file:
            project = project_file.read()

        server = Server(kavelmor, folder)
        try:
            start = threading.Barrier(CLIENTS)
            outcomes = [{} for _ in range(CLIENTS)]
            clients = [threading.Thread(target=one_client,
                                        args=(server, plan, project, start, outcomes[i]))
                       for i in range(CLIENTS)]
            began = time.monotonic()
            for client in clients:
                client.start()
            for client in clients:
                client.join()
            took = time.monotonic() - began
            print(f"{CLIENTS} clients' bills, {len(expected)} files each, in {took:.1f} s")
            for number, outcome in enumerate(outcomes, 1):
                if "problem" in outcome:
                    failures.append(f"client {number}: {outcome['problem']}")
                    continue
                got = outcome["files"]
                if sorted(got) != sorted(expected):
                    failures.append(f"client {number}'s files: {sorted(got)} "
                                    f"against {sorted(expected)}")
                for name in sorted(set(got) & set(expected)):
                    if got[name] != expected[name]:
                        failures.append(f"client {number}'s {name} differs from the demo's "
                                        f"({len(got[name])} bytes against {len(expected[name])})")
        finally:
            stopped = server.stop()
        if stopped != 0:
            failures.append(f"serve ended with {stopped}")
        if os.listdir(server.sessions):
            failures.append(f"left behind: {os.listdir(server.sessions)}")

    for failure in failures:
        print("FAIL:", failure)
    print(f"{0 if failures else 1} passed, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
