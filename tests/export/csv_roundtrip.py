# SPDX-License-Identifier: GPL-3.0-or-later
"""The CSV export read back by Python's own csv reader gives the numbers of the report.

Usage: csv_roundtrip.py QUILLON WORKDIR OUTDIR
Runs the coil's inductance sweep through the batch mode with --export-csv and checks every
data row against the report line it comes from: the same count of rows and fields, and each
number equal to the report's cell within the cell's rounding.
"""
import csv
import os
import subprocess
import sys

quillon, workdir, outdir = sys.argv[1:4]
path = os.path.join(outdir, "coil-sweep.csv")
run = subprocess.run(
    [quillon, "--batch", "Coil", "--set", "1216=2000", "--press", "3", "--export-csv", path],
    cwd=workdir, capture_output=True, text=True, check=False)
assert run.returncode == 0, run.stderr

report_rows = [line.split("\t") for line in run.stdout.splitlines() if line[:1].isdigit()]
with open(path, newline="", encoding="utf-8") as handle:
    rows = list(csv.reader(handle))
header, data = rows[0], rows[1:]
assert header[:3] == ["L (uH)", "Wire length (m)", "R(DC) (ohm)"], header
assert len(data) == len(report_rows) > 30, (len(data), len(report_rows))
for fields, cells in zip(data, report_rows):
    assert len(fields) == len(header), fields
    for field, cell in zip(fields, cells):
        shown = cell.strip().replace(",", "")
        decimals = len(shown.split(".")[1]) if "." in shown else 0
        assert abs(float(field) - float(shown)) <= 0.5 * 10 ** -decimals + 1e-9, (field, cell)
print(f"{len(data)} rows of {len(header)} fields match the report")
