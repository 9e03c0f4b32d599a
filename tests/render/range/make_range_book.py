"""Writes the range-picture test workbook: one sheet per feature, one defined name each.

usage: make_range_book.py OUT.xlsx
"""
import sys

from openpyxl import Workbook
from openpyxl.styles import Alignment, Border, Font, PatternFill, Side
from openpyxl.styles.colors import Color
from openpyxl.workbook.defined_name import DefinedName


def name(wb, label, ref):
    dn = DefinedName(label, attr_text=ref)
    if hasattr(wb.defined_names, "append"):  # openpyxl 3.0
        wb.defined_names.append(dn)
    else:
        wb.defined_names[label] = dn


def formats(wb):
    ws = wb.active
    ws.title = "Formats"
    ws.column_dimensions["A"].width = 20
    ws.column_dimensions["B"].width = 14
    rows = [
        ("Fixed", 1234.5, "#,##0.00"),
        ("Percent", 0.25, "0%"),
        ("Date", 45000, "d mmm yyyy"),
        ("Negative red", -1234, "#,##0;[Red]-#,##0"),
        ("General big", 15000000000, "General"),
        ("Text format", "00123", "@"),
        ("Accounting", 1234.5, '_($* #,##0.00_);_($* (#,##0.00);_($* "-"??_);_(@_)'),
        ("Boolean", True, "General"),
        ("Error", "#N/A", "General"),
        ("General small", 0.5, "General"),
    ]
    for i, (label, value, fmt) in enumerate(rows, start=1):
        ws.cell(row=i, column=1, value=label)
        c = ws.cell(row=i, column=2, value=value)
        c.number_format = fmt
        if label == "Error":
            c.data_type = "e"
    name(wb, "FormatsRange", "Formats!$A$1:$B$10")
    name(wb, "WholeColumns", "Formats!$A:$B")
    name(wb, "WholeRows", "Formats!$2:$3")
    name(wb, "TwoAreas", "Formats!$A$1:$A$2,Formats!$B$1:$B$2")


def fonts(wb):
    ws = wb.create_sheet("Fonts")
    ws.column_dimensions["A"].width = 30
    samples = [
        ("Plain text", Font(name="Calibri", size=11)),
        ("Plain text", Font(name="Calibri", size=11, bold=True)),
        ("Italic text", Font(name="Calibri", size=11, italic=True)),
        ("Underlined", Font(name="Calibri", size=11, underline="single")),
        ("Struck out", Font(name="Calibri", size=11, strike=True)),
        ("Red text", Font(name="Calibri", size=11, color="FFFF0000")),
        ("Arial 14", Font(name="Arial", size=14)),
        ("Times New Roman 12", Font(name="Times New Roman", size=12)),
        ("Courier New 10", Font(name="Courier New", size=10)),
        ("Cambria 11", Font(name="Cambria", size=11)),
    ]
    for i, (text, font) in enumerate(samples, start=1):
        c = ws.cell(row=i, column=1, value=text)
        c.font = font
    ws.row_dimensions[7].height = 19
    name(wb, "FontsRange", "Fonts!$A$1:$A$10")


def borders(wb):
    ws = wb.create_sheet("Borders")
    for col in "ABCDEFGH":
        ws.column_dimensions[col].width = 10
    for r in range(1, 12):
        ws.row_dimensions[r].height = 24
    ws["B2"].fill = PatternFill("solid", fgColor="FFFF0000")
    ws["D2"].fill = PatternFill("solid", fgColor=Color(theme=4, tint=0.3999))
    ws["F2"].fill = PatternFill("gray125")
    ws["H2"].fill = PatternFill("solid", fgColor=Color(indexed=5))
    styles = ["thin", "medium", "thick", "dashed", "dotted", "double", "hair"]
    for i, style in enumerate(styles):
        cell = ws.cell(row=4 + i, column=2, value=style)
        side = Side(style=style, color="FF000000")
        cell.border = Border(left=side, right=side, top=side, bottom=side)
    ws["D4"].border = Border(right=Side(style="thin", color="FF0000FF"))
    ws["E4"].border = Border(left=Side(style="thick", color="FF00B050"))
    ws["D6"].border = Border(bottom=Side(style="medium", color="FFFF0000"))
    name(wb, "BordersRange", "Borders!$A$1:$H$11")


def align(wb):
    ws = wb.create_sheet("Align")
    ws.column_dimensions["A"].width = 16
    for col in "BCDE":
        ws.column_dimensions[col].width = 12
    ws["A1"] = "Merged title"
    ws["A1"].alignment = Alignment(horizontal="center", vertical="center")
    ws["A1"].font = Font(bold=True, size=14)
    ws.merge_cells("A1:D1")
    ws.row_dimensions[1].height = 24
    ws["A2"] = "left"
    ws["B2"] = "center"
    ws["B2"].alignment = Alignment(horizontal="center")
    ws["C2"] = "right"
    ws["C2"].alignment = Alignment(horizontal="right")
    ws["D2"] = 42
    ws["E2"] = True
    ws.row_dimensions[3].height = 40
    for col, v in zip("ABC", ["top", "center", "bottom"]):
        ws[col + "3"] = v
        ws[col + "3"].alignment = Alignment(vertical=v)
    ws["D3"] = "indent 2"
    ws["D3"].alignment = Alignment(indent=2)
    ws["A4"] = "This long text overflows to the right"
    ws["E5"] = "Right aligned long text"
    ws["E5"].alignment = Alignment(horizontal="right")
    ws.row_dimensions[6].height = 48
    ws["A6"] = "Wrapped text in a narrow cell"
    ws["A6"].alignment = Alignment(wrap_text=True)
    ws["B6"] = "Up 90"
    ws["B6"].alignment = Alignment(text_rotation=90)
    ws["C6"] = "Tilt 45"
    ws["C6"].alignment = Alignment(text_rotation=45)
    ws["D6"] = "Down"
    ws["D6"].alignment = Alignment(text_rotation=180)
    ws["E6"] = "Stack"
    ws["E6"].alignment = Alignment(text_rotation=255)
    ws["A7"] = "ab"
    ws["A7"].alignment = Alignment(horizontal="fill")
    ws["B7"] = "blocked"
    ws["A8"] = "Merged block"
    ws.merge_cells("A8:B9")
    ws["A8"].alignment = Alignment(horizontal="center", vertical="center")
    ws["A8"].fill = PatternFill("solid", fgColor="FFFFFF00")
    name(wb, "AlignRange", "Align!$A$1:$E$9")
    name(wb, "OverflowIn", "Align!$B$4:$D$5")
    name(wb, "MergeCut", "Align!$B$8:$C$9")


def hidden(wb):
    ws = wb.create_sheet("Hidden")
    for r in range(1, 7):
        for c in range(1, 6):
            ws.cell(row=r, column=c, value=r * 10 + c)
    ws.row_dimensions[3].hidden = True
    ws.column_dimensions["C"].hidden = True
    name(wb, "HiddenRange", "Hidden!$A$1:$E$6")


def narrow(wb):
    ws = wb.create_sheet("Narrow")
    ws.column_dimensions["A"].width = 4
    ws.column_dimensions["B"].width = 6
    ws["A1"] = 123456.789
    ws["A1"].number_format = "#,##0.00"
    ws["B1"] = 123456.789
    ws["A2"] = 7
    ws["A2"].number_format = "0"
    name(wb, "NarrowRange", "Narrow!$A$1:$B$2")


def main():
    wb = Workbook()
    formats(wb)
    fonts(wb)
    borders(wb)
    align(wb)
    hidden(wb)
    narrow(wb)
    wb.create_sheet("Empty")
    name(wb, "EmptyColumns", "Empty!$C:$D")
    wb.save(sys.argv[1])


if __name__ == "__main__":
    main()
