#!/usr/bin/python3
"""Writes a benchmark workbook: OBJECTS objects (default 250), four embedded charts for every
named range, in sheets of 20 charts and 5 names each: make_bench_workbook.py OUT [OBJECTS]."""
import sys

from openpyxl import Workbook
from openpyxl.chart import BarChart, LineChart, PieChart, Reference
from openpyxl.workbook.defined_name import DefinedName

out = sys.argv[1]
objects = int(sys.argv[2]) if len(sys.argv) > 2 else 250
if objects < 25 or objects % 25:
    sys.exit("make_bench_workbook.py: OBJECTS must be a positive multiple of 25")
wb = Workbook()
wb.remove(wb.active)
kinds = (BarChart, LineChart, PieChart)
names = 0
for s in range(objects // 25):
    ws = wb.create_sheet(f"Data{s + 1}")
    ws.append(("Month", "A", "B", "C"))
    for m in range(12):
        ws.append((f"M{m + 1}", 100 + 7 * m + s, 80 + 5 * m, 60 + 3 * ((m * s) % 11)))
    for c in range(20):
        chart = kinds[c % 3]()
        chart.title = f"Chart {s * 20 + c + 1}"
        chart.add_data(Reference(ws, min_col=2, min_row=1, max_col=4 if c % 3 != 2 else 2, max_row=13),
                       titles_from_data=True)
        chart.set_categories(Reference(ws, min_col=1, min_row=2, max_row=13))
        ws.add_chart(chart, f"F{2 + c * 16}")
    for n in range(5):
        wb.defined_names.append(DefinedName(f"Range{names + 1}", attr_text=f"Data{s + 1}!$A${1 + n}:$D${4 + n}"))
        names += 1
wb.save(out)
