#!/usr/bin/python3
"""Writes examples/sample-sales.xlsx: the workbook the README's first command runs on.

Three embedded charts on two worksheets, a chart sheet and two formatted named ranges,
the mix a monthly sales deck is built from. Needs python3-openpyxl (Debian).
"""
import sys

from openpyxl import Workbook
from openpyxl.chart import BarChart, LineChart, PieChart, Reference
from openpyxl.styles import Alignment, Border, Font, PatternFill, Side
from openpyxl.workbook.defined_name import DefinedName

out = sys.argv[1] if len(sys.argv) > 1 else "sample-sales.xlsx"
wb = Workbook()
sales = wb.active
sales.title = "Sales"
rows = [
    ("Month", "North", "South", "West"),
    ("Jan", 12500, 9800, 7400),
    ("Feb", 13900, 10150, 8100),
    ("Mar", 15200, 11020, 7950),
    ("Apr", 14800, 12400, 9100),
    ("May", 16950, 12980, 9870),
    ("Jun", 18230, 13750, 10420),
]
for r in rows:
    sales.append(r)
thin = Side(style="thin", color="808080")
for cell in sales[1]:
    cell.font = Font(bold=True, color="FFFFFF")
    cell.fill = PatternFill("solid", fgColor="1F4E78")
    cell.alignment = Alignment(horizontal="center")
for row in sales.iter_rows(min_row=2, max_row=7, min_col=2, max_col=4):
    for cell in row:
        cell.number_format = "#,##0"
        cell.border = Border(top=thin, bottom=thin, left=thin, right=thin)
sales.column_dimensions["A"].width = 10
for col in "BCD":
    sales.column_dimensions[col].width = 12

bar = BarChart()
bar.type = "col"
bar.title = "Sales by region"
bar.y_axis.title = "Units"
bar.add_data(Reference(sales, min_col=2, min_row=1, max_col=4, max_row=7), titles_from_data=True)
bar.set_categories(Reference(sales, min_col=1, min_row=2, max_row=7))
sales.add_chart(bar, "F2")

line = LineChart()
line.title = "Trend"
line.add_data(Reference(sales, min_col=2, min_row=1, max_col=4, max_row=7), titles_from_data=True)
line.set_categories(Reference(sales, min_col=1, min_row=2, max_row=7))
sales.add_chart(line, "F18")

regions = wb.create_sheet("Regions")
regions.append(("Region", "Share"))
for name, share in (("North", 0.42), ("South", 0.33), ("West", 0.25)):
    regions.append((name, share))
for cell in regions["B"][1:]:
    cell.number_format = "0%"
regions["A1"].font = Font(bold=True)
regions["B1"].font = Font(bold=True)
pie = PieChart()
pie.title = "Share of sales"
pie.add_data(Reference(regions, min_col=2, min_row=1, max_row=4), titles_from_data=True)
pie.set_categories(Reference(regions, min_col=1, min_row=2, max_row=4))
regions.add_chart(pie, "D2")

overview = wb.create_chartsheet("Overview")
total = BarChart()
total.type = "bar"
total.title = "Half-year overview"
total.add_data(Reference(sales, min_col=2, min_row=1, max_col=4, max_row=7), titles_from_data=True)
total.set_categories(Reference(sales, min_col=1, min_row=2, max_row=7))
overview.add_chart(total)

wb.defined_names.append(DefinedName("SalesTable", attr_text="Sales!$A$1:$D$7"))
wb.defined_names.append(DefinedName("RegionShares", attr_text="Regions!$A$1:$B$4"))
wb.save(out)
print(out)

# openpyxl writes chart series as references only; the program that saves a workbook also
# stores each series' values in the chart ("caches"), and pictures are drawn from those.
import re
import zipfile
from xml.etree import ElementTree as ET

from openpyxl import load_workbook
from openpyxl.utils import range_boundaries

C = "http://schemas.openxmlformats.org/drawingml/2006/chart"
values = load_workbook(out)


def cells(ref):
    sheet, area = ref.rsplit("!", 1)
    ws = values[sheet.strip("'").replace("''", "'")]
    c1, r1, c2, r2 = range_boundaries(area.replace("$", ""))
    return [ws.cell(row=r, column=c).value for r in range(r1, r2 + 1) for c in range(c1, c2 + 1)]


def add_cache(ref_el, numeric):
    f = ref_el.find(f"{{{C}}}f")
    data = cells(f.text)
    cache = ET.SubElement(ref_el, f"{{{C}}}{'numCache' if numeric else 'strCache'}")
    if numeric:
        ET.SubElement(cache, f"{{{C}}}formatCode").text = "General"
    ET.SubElement(cache, f"{{{C}}}ptCount", val=str(len(data)))
    for i, v in enumerate(data):
        if v is None:
            continue
        pt = ET.SubElement(cache, f"{{{C}}}pt", idx=str(i))
        ET.SubElement(pt, f"{{{C}}}v").text = str(v)


ET.register_namespace("c", C)
ET.register_namespace("a", "http://schemas.openxmlformats.org/drawingml/2006/main")
ET.register_namespace("r", "http://schemas.openxmlformats.org/officeDocument/2006/relationships")
with zipfile.ZipFile(out) as zin:
    parts = {n: zin.read(n) for n in zin.namelist()}
for name, data in parts.items():
    if not re.match(r"xl/charts/chart\d+\.xml$", name):
        continue
    root = ET.fromstring(data)
    for el in root.iter(f"{{{C}}}numRef"):
        add_cache(el, True)
    for el in root.iter(f"{{{C}}}strRef"):
        add_cache(el, False)
    parts[name] = ET.tostring(root, xml_declaration=True, encoding="UTF-8")
with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as zout:
    for name, data in parts.items():
        zout.writestr(name, data)
