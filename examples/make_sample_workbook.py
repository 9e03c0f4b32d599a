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
