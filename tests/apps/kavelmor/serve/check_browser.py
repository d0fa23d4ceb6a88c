#!/usr/bin/env python3
"""The workshop page in a real browser (Debian's chromium, headless, driven by playwright-core):
the demo's plan dropped, a layer mapped, the bill made and its shop drawings downloaded, read
back by poppler with the same text as `kavelmor bill` gives for the project the page sent; a DWG
and a refused setting answered next to where the user looks.

    check_browser.py KAVELMOR
"""
import json
import os
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from serve_session import Server, demo_in  # noqa: E402

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
        server = Server(kavelmor, folder)
        try:
            flow = subprocess.run(["node", os.path.join(os.path.dirname(__file__),
                                                        "browser_flow.mjs"),
                                   PAGE, server.address, os.path.join(demo, "plan.dxf"), out],
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
        rows = report.get("billRows", [])
        expect(any(row and row[1] == "窗侧包角" for row in rows), "the bill table: %s" % rows)
        if flow.returncode == 0:
            bill = os.path.join(folder, "bill")
            made = subprocess.run([kavelmor, "bill", os.path.join(out, "project.json"), "--plan",
                                   os.path.join(demo, "plan.dxf"), "-o", bill], env=env,
                                  capture_output=True, text=True)
            expect(made.returncode == 0, "the page's project on the command line: " + made.stderr)
            if made.returncode == 0:
                expect(pdf_text(os.path.join(out, "shop.pdf")) ==
                       pdf_text(os.path.join(bill, "shop.pdf")),
                       "the downloaded shop.pdf says other things than the command line's")
                expect(re.search(r"窗侧包角", pdf_text(os.path.join(out, "shop.pdf"))) is not None,
                       "the shop drawings name the window sides")
        print("make the bill to the bill on the page: %s ms" % report.get("billMilliseconds"))

    for failure in failures:
        print("FAIL:", failure)
    print(f"{0 if failures else 1} passed, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
