#!/usr/bin/env python3
"""The workshop page's server from outside: every request without the access token is refused,
and so are other host names and other pages' requests; the demo's plan uploaded and its bill
made through the API give the same files as `kavelmor demo` and `kavelmor bill` (the PDF's
creation time aside), one by one and as a zip; errors name the field or layer; the server
leaves no session folder behind when it ends.

    check_serve.py KAVELMOR
"""
import io
import json
import os
import random
import socket
import time
import re
import subprocess
import sys
import tempfile
import urllib.parse
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from serve_session import Server, demo_in, with_a_line_drawn_twice  # noqa: E402


def without_creation_time(data, name):
    # The PDF says when it was made; nothing else may differ.
    if name.endswith(".pdf"):
        return re.sub(rb"/CreationDate \(D:[0-9Z+\-']*\)", b"/CreationDate ()", data)
    return data


def make_bill(server, session, project):
    """The bill's answer, a JSON object a line: (status, progress lines, outcome)."""
    status, headers, body = server.request("POST", f"/api/sessions/{session}/bill", body=project,
                                           headers={"Content-Type": "application/json"})
    if status != 200 or "ndjson" not in headers.get("Content-Type", ""):
        return status, [], {"done": False, "error": body.decode(errors="replace")}
    lines = [json.loads(line) for line in body.decode().splitlines()]
    progress = [line["progress"] for line in lines[:-1] if "progress" in line]
    return status, progress, lines[-1]


def errors_by_structure(server, session, project_text, expect):
    """A refusal names the field and the layers it concerns as data; the message is the command
    line's."""
    project = json.loads(project_text)
    project["currentUse"][2]["mode"] = 7
    _, _, answer = make_bill(server, session, json.dumps(project, ensure_ascii=False).encode())
    expect(not answer["done"] and answer.get("field") == "currentUse[2].mode" and
           answer.get("layers") == project["currentUse"][2].get(
               "layers", [project["currentUse"][2]["flashing"].split(":", 1)[1]]) and
           re.match(r"project\.json:\d+:\d+: currentUse\[2\]\.mode: must be 0", answer["error"]),
           f"a mode out of range: {answer}")
    project = json.loads(project_text)
    project["currentUse"][0]["flashing"] = "彩钢板屋面:没有的包角"
    project["currentUse"][0]["layers"] = ["屋脊包角"]
    _, _, answer = make_bill(server, session, json.dumps(project, ensure_ascii=False).encode())
    expect(not answer["done"] and answer.get("field") == "currentUse[0].flashing" and
           answer.get("layers") == ["屋脊包角"] and "没有的包角" in answer["error"],
           f"an unknown flashing: {answer}")


def overlaps(server, plan_bytes, project_text, expect):
    twice, layer = with_a_line_drawn_twice(plan_bytes)
    status, _, body = server.request("POST", "/api/plan?name=twice.dxf", body=twice)
    expect(status == 200, f"the plan with a line drawn twice: {status} {body[:300]}")
    if status != 200:
        return
    session = json.loads(body)["session"]
    _, _, answer = make_bill(server, session, project_text)
    expect(not answer["done"] and answer.get("layers") == [layer] and
           answer.get("field", "").startswith("currentUse[") and
           answer["error"].startswith("lines drawn twice"), f"a line drawn twice: {answer}")
    server.request("DELETE", f"/api/sessions/{session}")


def opening(server, project_text, expect):
    """A project file opened on the page: read as the command line reads it, its rows matched
    with the database, refusals naming their field."""
    status, _, body = server.request("POST", "/api/project?name=mine.json", body=project_text)
    opened = json.loads(body)
    project = json.loads(project_text)
    expect(status == 200 and opened["project"]["project"] == project["project"] and
           opened["project"]["billOrigin"] == project["billOrigin"] and opened["notes"] == [],
           f"the demo's project opened: {status} {body[:300]}")
    rows = opened.get("project", {}).get("currentUse", [])
    expect([row["flashing"] for row in rows] == [row["flashing"] for row in
                                                  project["currentUse"]] and
           all(row["layers"] for row in rows), f"its rows: {rows}")
    bad = json.loads(project_text)
    bad["currentUse"][1]["mode"] = "2"
    status, _, body = server.request("POST", "/api/project?name=mine.json",
                                     body=json.dumps(bad, ensure_ascii=False).encode())
    answer = json.loads(body)
    expect(status == 422 and answer.get("field") == "currentUse[1].mode" and
           answer["error"].startswith("mine.json:") and answer.get("layers") == rows[1]["layers"],
           f"a mode as text: {status} {answer}")
    status, _, body = server.request("POST", "/api/project?name=mine.json", body=b"{\"project\": ")
    expect(status == 422 and b"mine.json:1:" in body and b"not JSON" in body,
           f"not JSON: {status} {body[:300]}")
    bad = json.loads(project_text)
    bad["currentUse"].append({"flashing": bad["currentUse"][0]["flashing"], "mode": 1,
                              "lines": [{"start": [0, 0], "end": [1000, 0]}]})
    status, _, body = server.request("POST", "/api/project?name=mine.json",
                                     body=json.dumps(bad, ensure_ascii=False).encode())
    answer = json.loads(body)
    expect(status == 200 and len(answer["project"]["currentUse"]) == len(rows) and
           len(answer["notes"]) == 1 and "coordinates" in answer["notes"][0],
           f"a row with lines of its own: {status} {body[:300]}")


def refusals(server, expect):
    wrong = "0" * 64
    other = server.token[:-1] + ("0" if server.token[-1] != "0" else "1")
    paths = ["/", "/assets/page.js", "/api/database", "/api/sessions/0123abcd/files/bill.dxf",
             "/api/sessions/0123abcd/bill.zip", "/?token=" + wrong, "/?token=" + other,
             "/api/database?token=" + server.token]
    ways = [{}, {"X-Kavelmor-Token": wrong}, {"X-Kavelmor-Token": other},
            {"X-Kavelmor-Token": ""}, {"Cookie": "kavelmor_token=" + wrong},
            {"Cookie": "kavelmor_token=" + server.token[:32]},
            {"X-Kavelmor-Token": server.token.upper()}]
    random.seed(7)
    refused = 0
    for i in range(1000):
        headers = dict(ways[i % len(ways)])
        headers.setdefault("X-Kavelmor-Token", headers.get("X-Kavelmor-Token", None))
        if headers["X-Kavelmor-Token"] is None:
            del headers["X-Kavelmor-Token"]
        if i % 5 == 4:
            status, _, body = server.request("POST", "/api/plan?name=p.dxf", body=b"0\nEOF\n",
                                             headers=headers, token=False)
        else:
            status, _, body = server.request("GET", random.choice(paths), headers=headers,
                                             token=False)
        if status == 403 and b"token" in body:
            refused += 1
    expect(refused == 1000, f"{1000 - refused} of 1000 requests without the token got through")


def access(server, expect):
    status, headers, _ = server.request("GET", "/?token=" + server.token, token=False)
    cookie = headers.get("Set-Cookie", "")
    expect(status == 303 and headers.get("Location") == "/", f"first visit: {status} {headers}")
    expect(cookie.startswith("kavelmor_token=" + server.token + ";") and "HttpOnly" in cookie
           and "SameSite=Strict" in cookie, "the token cookie: " + cookie)
    status, headers, page = server.request("GET", "/", token=False,
                                           headers={"Cookie": cookie.split(";")[0]})
    expect(status == 200 and b"/assets/page.js" in page and "text/html" in headers["Content-Type"],
           f"the page with the cookie: {status}")
    status, _, script = server.request("GET", "/assets/page.js")
    expect(status == 200 and len(script) > 1000, f"the page's script: {status}")
    for host in ["evil.example:%d" % server.port, "127.0.0.1:%d" % (server.port + 1), "127.0.0.1"]:
        status, _, _ = server.request("GET", "/api/database", headers={"Host": host})
        expect(status == 403, f"Host {host}: {status}")
    status, _, _ = server.request("GET", "/api/database",
                                  headers={"Host": "localhost:%d" % server.port})
    expect(status == 200, f"Host localhost: {status}")
    status, _, _ = server.request("POST", "/api/plan", body=b"",
                                  headers={"Origin": "http://evil.example"})
    expect(status == 403, f"a POST from another page: {status}")


def main():
    kavelmor = sys.argv[1]
    failures = []

    def expect(condition, message):
        if not condition:
            failures.append(message)

    with tempfile.TemporaryDirectory() as folder:
        env, demo = demo_in(kavelmor, folder)
        bill = os.path.join(folder, "bill")
        subprocess.run([kavelmor, "bill", os.path.join(demo, "project.json"), "--plan",
                        os.path.join(demo, "plan.dxf"), "-o", bill], env=env, check=True,
                       capture_output=True)
        takeoff = json.loads(subprocess.run([kavelmor, "takeoff", "--json",
                                             os.path.join(demo, "plan.dxf")], env=env, check=True,
                                            capture_output=True, text=True).stdout)

        server = Server(kavelmor, folder)
        try:
            refusals(server, expect)
            access(server, expect)

            status, _, body = server.request("GET", "/api/database")
            listing = json.loads(body)
            names = [f["id"] for library in listing["libraries"] for f in library["flashings"]]
            expect(status == 200 and "built-in" in listing["database"] and
                   "彩钢板屋面:屋脊包角" in names, "the database listing")
            expect(all(f["profile"].startswith("<svg") for library in listing["libraries"]
                       for f in library["flashings"] if f["name"] == "屋脊包角"),
                   "the ridge flashing's profile picture")

            with open(os.path.join(demo, "plan.dxf"), "rb") as plan:
                plan_bytes = plan.read()
            status, _, body = server.request("POST", "/api/plan?name=plan.dxf", body=plan_bytes)
            reading = json.loads(body)
            expect(status == 200, f"upload: {status} {body[:300]}")
            session = reading["session"]
            expect(reading["takeoff"] == dict(takeoff, file="plan.dxf"),
                   "the take-off differs from `takeoff --json`")
            drawn = {layer["name"]: len(layer["lines"]) // 4 for layer in reading["drawing"]["layers"]}
            expect(drawn == {layer["name"]: layer["lines"] for layer in takeoff["layers"]},
                   f"the drawing's lines per layer: {drawn}")

            with open(os.path.join(demo, "project.json"), "rb") as project:
                project_text = project.read()
            status, progress, answer = make_bill(server, session, project_text)
            expect(status == 200 and answer["done"], f"the bill: {status} {answer}")
            expect(len(progress) > 5 and progress[0].startswith("Database: "),
                   f"the progress: {progress}")
            expect(not any(server.sessions in line for line in progress),
                   "the progress names the server's folders: " + "\n".join(
                       line for line in progress if server.sessions in line))
            files = answer.get("files", [])
            expected = sorted(n for n in os.listdir(bill) if not n.startswith("."))
            expect(sorted(files) == expected, f"the files: {files} against {expected}")
            for name in files:
                status, _, data = server.request(
                    "GET", f"/api/sessions/{session}/files/{urllib.parse.quote(name)}")
                for other in (demo, bill):
                    with open(os.path.join(other, name), "rb") as made:
                        expect(status == 200 and without_creation_time(data, name) ==
                               without_creation_time(made.read(), name),
                               f"{name} differs from {other}'s")

            for name in ["project.json", "..%2Fplan.dxf", "%2Fetc%2Fpasswd", ".kavelmor-outputs",
                         "plan.dxf", "07-x.png"]:
                status, _, _ = server.request("GET", f"/api/sessions/{session}/files/{name}")
                expect(status == 404, f"file {name}: {status}")
            status, _, _ = server.request("GET", "/api/sessions/0123456789abcdef/files/bill.dxf")
            expect(status == 404, f"an unknown session: {status}")

            # Errors name what they concern.
            project = json.loads(project_text)
            project["project"]["textHeight"] = "50"
            status, _, answer = make_bill(server, session, json.dumps(project).encode())
            expect(not answer["done"] and answer.get("field") == "project.textHeight" and
                   answer.get("layers") == [] and "字高" in answer["error"],
                   f"a refused setting: {answer}")
            project = json.loads(project_text)
            project["currentUse"][1]["layers"] = ["BJ-窗边"]
            status, _, answer = make_bill(server, session, json.dumps(project).encode())
            expect(not answer["done"] and answer.get("layers") == ["BJ-窗边"] and
                   answer.get("field") == "currentUse[1]" and
                   server.sessions not in answer["error"], f"a layer the plan lacks: {answer}")
            # A refused bill leaves the last one's files as they were.
            status, _, _ = server.request("GET", f"/api/sessions/{session}/files/bill.dxf")
            expect(status == 200, f"the earlier bill after a refused one: {status}")
            errors_by_structure(server, session, project_text, expect)
            overlaps(server, plan_bytes, project_text, expect)
            opening(server, project_text, expect)

            # The zip takes the bill away: its session and folder go once it has been fetched.
            root = os.path.join(server.sessions, os.listdir(server.sessions)[0])
            expect(session in os.listdir(root), "the session's folder before the zip")
            status, headers, data = server.request("GET", f"/api/sessions/{session}/bill.zip")
            expect(status == 200 and headers.get("Content-Type") == "application/zip", "the zip")
            with zipfile.ZipFile(io.BytesIO(data)) as archive:
                expect(sorted(archive.namelist()) == sorted(files), "the zip's files")
                for name in archive.namelist():
                    with open(os.path.join(bill, name), "rb") as made:
                        expect(without_creation_time(archive.read(name), name) ==
                               without_creation_time(made.read(), name), f"zipped {name} differs")
            gone = False
            for _ in range(50):
                gone = session not in os.listdir(root)
                if gone:
                    break
                time.sleep(0.1)
            expect(gone, "the session's folder after its zip was fetched")
            status, _, _ = server.request("GET", f"/api/sessions/{session}/files/bill.dxf")
            expect(status == 404, f"a file after the zip: {status}")
            status, _, body = server.request("POST", "/api/plan?name=roof.dwg",
                                             body=b"AC1027" + bytes(200))
            expect(status == 422 and b"roof.dwg" in body and b"DXF" in body,
                   f"a DWG: {status} {body[:300]}")

            # A client that goes away mid-upload leaves no session folder behind.
            root = os.path.join(server.sessions, os.listdir(server.sessions)[0])
            before = sorted(os.listdir(root))
            with socket.create_connection((server.host, server.port)) as client:
                client.sendall(("POST /api/plan?name=cut.dxf HTTP/1.1\r\nHost: %s:%d\r\n"
                                "X-Kavelmor-Token: %s\r\nContent-Length: 1000000\r\n\r\n"
                                % (server.host, server.port, server.token)).encode()
                               + plan_bytes[:5000])
                time.sleep(0.3)
            for _ in range(50):
                if sorted(os.listdir(root)) == before:
                    break
                time.sleep(0.1)
            expect(sorted(os.listdir(root)) == before,
                   f"a cut-off upload left {sorted(set(os.listdir(root)) - set(before))}")
        finally:
            stopped = server.stop()
        expect(stopped == 0, f"serve ended with {stopped}")
        expect(os.listdir(server.sessions) == [],
               f"left behind: {os.listdir(server.sessions)}")

    for failure in failures:
        print("FAIL:", failure)
    print(f"{0 if failures else 1} passed, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
