#!/usr/bin/env python3
"""The workshop page in a real browser (Debian's chromium, headless, driven by playwright-core):
the demo's plan dropped, a layer mapped, the bill made and its shop drawings downloaded, read
back by poppler with the same text as `kavelmor bill` gives for the project the page sent; a DWG
and a refused setting answered next to where the user looks.

    check_browser.py KAVELMOR
"""
import csv
import json
import os
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from serve_session import Server, demo_in, with_a_line_drawn_twice  # noqa: E402

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..", "..", ".."))
PAGE = os.path.join(ROOT, "platform", "workshop", "web", "page")


def pdf_text(path):
    return subprocess.run(["pdftotext", "-layout", path, "-"], check=True, capture_output=True,
                          text=True).stdout


def main():
    kavelmor = sys.argv[1]
    failures = []

    def expect(condition, message):
        if not condition:
            failures.append(message)

    with tempfile.TemporaryDirectory() as folder:
        env, demo = demo_in(kavelmor, folder)
        out = os.path.join(folder, "browser")
        os.mkdir(out)
        with open(os.path.join(demo, "plan.dxf"), "rb") as plan:
            twice_bytes, twice_layer = with_a_line_drawn_twice(plan.read())
        twice = os.path.join(folder, "twice.dxf")
        with open(twice, "wb") as plan:
            plan.write(twice_bytes)
        server = Server(kavelmor, folder)
        try:
            flow = subprocess.run(["node", os.path.join(os.path.dirname(__file__),
                                                        "browser_flow.mjs"),
                                   PAGE, server.address, os.path.join(demo, "plan.dxf"), out, twice],
                                  capture_output=True, text=True, timeout=300,
                                  env=dict(os.environ, TMPDIR=folder))
        finally:
            server.stop()
        with open(os.path.join(out, "report.json"), encoding="utf-8") as report_file:
            report = json.load(report_file)
        expect(flow.returncode == 0, "the browser flow failed: " + flow.stderr[-2000:])
        expect(report.get("url", "").endswith(":%d/" % server.port),
               "the token stays out of the address: " + report.get("url", ""))
        expect("built-in" in report.get("database", ""), "the database: %s" % report)
        expect("roof.dwg" in report.get("dwgError", "") and "DXF" in report.get("dwgError", ""),
               "a DWG: %s" % report.get("dwgError"))
        expect("BJ-窗侧" in report.get("layers", []), "the layers: %s" % report.get("layers"))
        expect(report.get("premapped") == "彩钢板屋面:屋脊包角",
               "a layer named like a flashing is mapped to it: %s" % report.get("premapped"))
        expect("字高" in report.get("settingError", ""),
               "the refused text height: %s" % report.get("settingError"))
        expect("shop.pdf" in report.get("links", []) and "bill.csv" in report.get("links", []),
               "the links: %s" % report.get("links"))
        expect(report.get("pdfStatus") == 200, "the PDF's download")
        expect(report.get("savedName") == "project.json", "the saved project's name: %s" %
               report.get("savedName"))
        expect(report.get("reopened") == {"textHeight": "300", "windowSides": "彩钢墙面:窗侧包角",
                                          "cornerMode": "2"},
               "the setting and mapping of the opened project: %s" % report.get("reopened"))
        expect(report.get("reopenedSameProject") and report.get("reopenedSameBill"),
               "the bill of the opened project differs from the bill before")
        expect(report.get("zipBytes", 0) > 1000 and report.get("billAfterZip"),
               "the zip, and a bill after it: %s" % report.get("zipBytes"))
        expect("currentUse[" in report.get("projectError", "") and
               report.get("projectRowError") == report.get("projectError"),
               "a refused project file next to its layer: %s / %s" %
               (report.get("projectError"), report.get("projectRowError")))
        expect(report.get("overlapLayers") == [twice_layer] and
               report.get("overlapError", "").startswith("lines drawn twice"),
               "a line drawn twice next to its layer: %s %s" %
               (report.get("overlapLayers"), report.get("overlapError")))
        rows = report.get("billRows", [])
        expect(any(row and row[1] == "窗侧包角" for row in rows), "the bill table: %s" % rows)
        if flow.returncode == 0:
            bill = os.path.join(folder, "bill")
            made = subprocess.run([kavelmor, "bill", os.path.join(out, "project.json"), "--plan",
                                   os.path.join(demo, "plan.dxf"), "-o", bill], env=env,
                                  capture_output=True, text=True)
            # Saved beside the plan, the page's project file is the command line's as it is.
            beside = os.path.join(demo, "saved-project.json")
            with open(os.path.join(out, "saved-project.json"), "rb") as saved, \
                    open(beside, "wb") as copy:
                copy.write(saved.read())
            again = subprocess.run([kavelmor, "bill", beside, "-o", os.path.join(folder, "again")],
                                   env=env, capture_output=True, text=True)
            expect(again.returncode == 0, "the saved project on the command line: " + again.stderr)
            expect(made.returncode == 0, "the page's project on the command line: " + made.stderr)
            if made.returncode == 0:
                expect(pdf_text(os.path.join(out, "shop.pdf")) ==
                       pdf_text(os.path.join(bill, "shop.pdf")),
                       "the downloaded shop.pdf says other things than the command line's")
                expect(re.search(r"窗侧包角", pdf_text(os.path.join(out, "shop.pdf"))) is not None,
                       "the shop drawings name the window sides")
                with open(os.path.join(bill, "coil.csv"), encoding="utf-8-sig") as coil_file:
                    coil = list(csv.DictReader(coil_file))
                patterns = {(r["colour"], r["thickness_mm"], r["pattern"]) for r in coil}
                expect(len(report.get("coilPatterns", [])) == len(patterns) and
                       report.get("coilPieces") == sum(int(r["pieces"]) for r in coil),
                       "the coil drawn: %s patterns, %s pieces against %d and %d" % (
                           len(report.get("coilPatterns", [])), report.get("coilPieces"),
                           len(patterns), sum(int(r["pieces"]) for r in coil)))
        print("make the bill to the bill on the page: %s ms" % report.get("billMilliseconds"))

    for failure in failures:
        print("FAIL:", failure)
    print(f"{0 if failures else 1} passed, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
