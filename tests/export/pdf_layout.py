# SPDX-License-Identifier: GPL-3.0-or-later
"""The PDF export reads like a report: pdftotext -layout of the air-core receiver's two widest
tables gives every row on one line with both complex impedances whole, every row once and in
order, the headings again on every page a table goes on to, landscape pages, and the inputs
under their group titles.

Usage: pdf_layout.py QUILLON WORKDIR OUTDIR
"""
import os
import re
import subprocess
import sys

quillon, workdir, outdir = sys.argv[1:4]
path = os.path.join(outdir, "crystal-radio.pdf")
run = subprocess.run([quillon, "--batch", "CrystalRadio", "--press", "6", "--press", "4",
                      "--export-pdf", path], cwd=workdir, capture_output=True, text=True,
                     check=False)
assert run.returncode == 0, run.stderr
info = subprocess.run(["pdfinfo", path], capture_output=True, text=True, check=True).stdout
assert re.search(r"Page size:\s+842 x 595", info), info
text = subprocess.run(["pdftotext", "-layout", path, "-"], capture_output=True, text=True,
                      check=True).stdout
pages = text.split("\f")

for group in ("Power source", "Primary coil", "Secondary coil", "Diode forward bias",
              "Diode reverse bias", "Load", "Working mode"):
    assert re.search(rf"(^|  ){re.escape(group)}(  |$)", text, re.M), group
assert re.search(r"Use diode equation\s+selected", text), "the forward mode is not named"

COMPLEX = re.compile(r"-?[\d,]+\.\d\d [+-] j[\d,]+\.\d\d")
ROW = re.compile(r"^\s*(\d[\d.,]*)\s+\d")
# The rows of each table as the report writes them, by their first cell.
report = {"Dist": [], "W#": []}
table = None
for line in run.stdout.splitlines():
    if line.startswith("Dist") or line.startswith("W#"):
        table = line.split("\t")[0].strip()
    elif table and ROW.match(line):
        report[table].append(float(line.split("\t")[0].replace(",", "")))

printed = {"Dist": [], "W#": []}
for number, page in enumerate(pages, 1):
    heading = None
    for line in page.splitlines():
        if re.match(r"\s*(Dist \(mm\)|W#)\s", line):
            heading = "Dist" if "Dist" in line else "W#"
        match = ROW.match(line)
        # A row on a page without its headings above it is left out, and so found missing.
        if not match or heading is None:
            continue
        first = float(match.group(1).replace(",", ""))
        printed[heading].append(first)
        if heading == "Dist" or first != 0:
            assert len(COMPLEX.findall(line)) == 2, (number, line)
for name in report:
    assert printed[name] == report[name], (name, printed[name], report[name])
assert len(printed["W#"]) == 49 and len(pages) > 2, (len(printed["W#"]), len(pages))
print(f"{sum(map(len, printed.values()))} rows on {len(pages) - 1} pages, each whole and once")

# A hint is printed under the table it concerns.
path = os.path.join(outdir, "coil.pdf")
run = subprocess.run([quillon, "--batch", "Coil", "--press", "3", "--export-pdf", path],
                     cwd=workdir, capture_output=True, text=True, check=False)
assert run.returncode == 0, run.stderr
text = subprocess.run(["pdftotext", path, "-"], capture_output=True, text=True, check=True).stdout
note = text.find("Note: Analyse, L 200.00-400.00: C(sr) is the bare winding")
assert note > text.rfind("\n400.00\n", 0, max(note, 0)) > 0, text
