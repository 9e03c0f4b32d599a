#!/usr/bin/python3
"""Writes one of the monster workbooks the resource benchmark opens:

  huge-name   a name of 1,000,000 rows x 50 columns over a sheet holding four cells
  dense       about 17 million cells in one ~240 MB sheet part (under the 256 MiB limit)
  strings     2 million shared strings, every one used by a cell
  detailed    90,000 texts in 1,800 rows x 50 columns: the most cells a picture still draws
              one by one (a denser range is drawn as its overview)
  points      two charts of 200,000 points each, one with its caches left out

Usage: make_monsters.py KIND OUT.xlsx. Parts are streamed into the zip, so the generator
itself stays small.
"""
import random
import sys
import zipfile

MAIN = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
REL = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
PKG_REL = "http://schemas.openxmlformats.org/package/2006/relationships"
HEAD = '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'


def column_name(c):
    name = ""
    while c:
        c, r = divmod(c - 1, 26)
        name = chr(65 + r) + name
    return name


def write_book(out, sheets, names, strings=None, charts=()):
    """sheets: [(name, writer)] where writer(stream) writes the sheetData rows;
    names: [(name, formula)]; strings: an iterable of shared strings or None; charts: chart
    parts drawn on the first sheet, one under the other."""
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED, compresslevel=1) as z:
        overrides = "".join(
            f'<Override PartName="/xl/worksheets/sheet{i + 1}.xml" ContentType="application/'
            'vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>' for i in range(len(sheets)))
        for i in range(len(charts)):
            overrides += (f'<Override PartName="/xl/charts/chart{i + 1}.xml" ContentType="application/'
                          'vnd.openxmlformats-officedocument.drawingml.chart+xml"/>')
        if charts:
            overrides += ('<Override PartName="/xl/drawings/drawing1.xml" ContentType="application/'
                          'vnd.openxmlformats-officedocument.drawing+xml"/>')
        if strings is not None:
            overrides += ('<Override PartName="/xl/sharedStrings.xml" ContentType="application/'
                          'vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/>')
        z.writestr("[Content_Types].xml", HEAD +
                   '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
                   '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
                   '<Default Extension="xml" ContentType="application/xml"/>'
                   '<Override PartName="/xl/workbook.xml" ContentType="application/'
                   'vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>'
                   '<Override PartName="/xl/styles.xml" ContentType="application/'
                   'vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/>' + overrides + "</Types>")
        z.writestr("_rels/.rels", HEAD + f'<Relationships xmlns="{PKG_REL}"><Relationship Id="rId1" '
                   f'Type="{REL}/officeDocument" Target="xl/workbook.xml"/></Relationships>')
        rels = "".join(f'<Relationship Id="rId{i + 1}" Type="{REL}/worksheet" Target="worksheets/sheet{i + 1}.xml"/>'
                       for i in range(len(sheets)))
        rels += f'<Relationship Id="rIdS" Type="{REL}/styles" Target="styles.xml"/>'
        if strings is not None:
            rels += f'<Relationship Id="rIdT" Type="{REL}/sharedStrings" Target="sharedStrings.xml"/>'
        z.writestr("xl/_rels/workbook.xml.rels", HEAD + f'<Relationships xmlns="{PKG_REL}">{rels}</Relationships>')
        sheet_list = "".join(f'<sheet name="{n}" sheetId="{i + 1}" r:id="rId{i + 1}"/>' for i, (n, _) in enumerate(sheets))
        defined = "".join(f'<definedName name="{n}">{f}</definedName>' for n, f in names)
        z.writestr("xl/workbook.xml", HEAD + f'<workbook xmlns="{MAIN}" xmlns:r="{REL}"><sheets>{sheet_list}</sheets>'
                   f'<definedNames>{defined}</definedNames></workbook>')
        z.writestr("xl/styles.xml", HEAD + f'<styleSheet xmlns="{MAIN}"><numFmts count="1"><numFmt numFmtId="164" '
                   'formatCode="0.00"/></numFmts><fonts count="2"><font><sz val="11"/><name val="Calibri"/></font>'
                   '<font><b/><sz val="11"/><name val="Calibri"/></font></fonts><fills count="3"><fill><patternFill '
                   'patternType="none"/></fill><fill><patternFill patternType="gray125"/></fill><fill><patternFill '
                   'patternType="solid"><fgColor rgb="FFDDEBF7"/></patternFill></fill></fills><borders count="1">'
                   '<border/></borders><cellXfs count="2"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/>'
                   '<xf numFmtId="164" fontId="1" fillId="2" borderId="0" applyNumberFormat="1"/></cellXfs>'
                   '</styleSheet>')
        for i, (_, writer) in enumerate(sheets):
            with z.open(f"xl/worksheets/sheet{i + 1}.xml", "w", force_zip64=True) as part:
                part.write((HEAD + f'<worksheet xmlns="{MAIN}" xmlns:r="{REL}"><sheetData>').encode())
                writer(part)
                part.write(b"</sheetData>" + (b'<drawing r:id="rId1"/>' if charts and i == 0 else b"") +
                           b"</worksheet>")
        if charts:
            write_drawing(z, charts)
        if strings is not None:
            with z.open("xl/sharedStrings.xml", "w", force_zip64=True) as part:
                part.write((HEAD + f'<sst xmlns="{MAIN}">').encode())
                batch = []
                for s in strings:
                    batch.append(f"<si><t>{s}</t></si>")
                    if len(batch) == 10000:
                        part.write("".join(batch).encode())
                        batch = []
                part.write(("".join(batch) + "</sst>").encode())


def write_drawing(z, charts):
    z.writestr("xl/worksheets/_rels/sheet1.xml.rels", HEAD + f'<Relationships xmlns="{PKG_REL}"><Relationship '
               f'Id="rId1" Type="{REL}/drawing" Target="../drawings/drawing1.xml"/></Relationships>')
    anchors, rels = "", ""
    for i, chart in enumerate(charts):
        z.writestr(f"xl/charts/chart{i + 1}.xml", chart)
        rels += f'<Relationship Id="rId{i + 1}" Type="{REL}/chart" Target="../charts/chart{i + 1}.xml"/>'
        top = 2 + 20 * i
        anchors += (f'<xdr:twoCellAnchor><xdr:from><xdr:col>3</xdr:col><xdr:colOff>0</xdr:colOff><xdr:row>{top}'
                    '</xdr:row><xdr:rowOff>0</xdr:rowOff></xdr:from><xdr:to><xdr:col>12</xdr:col><xdr:colOff>0'
                    f'</xdr:colOff><xdr:row>{top + 16}</xdr:row><xdr:rowOff>0</xdr:rowOff></xdr:to><xdr:graphicFrame>'
                    f'<xdr:nvGraphicFramePr><xdr:cNvPr id="{i + 2}" name="Chart {i + 1}"/><xdr:cNvGraphicFramePr/>'
                    '</xdr:nvGraphicFramePr><xdr:xfrm><a:off x="0" y="0"/><a:ext cx="0" cy="0"/></xdr:xfrm>'
                    f'<a:graphic><a:graphicData uri="{CHART}"><c:chart xmlns:c="{CHART}" r:id="rId{i + 1}"/>'
                    '</a:graphicData></a:graphic></xdr:graphicFrame><xdr:clientData/></xdr:twoCellAnchor>')
    z.writestr("xl/drawings/_rels/drawing1.xml.rels", HEAD + f'<Relationships xmlns="{PKG_REL}">{rels}</Relationships>')
    z.writestr("xl/drawings/drawing1.xml", HEAD + f'<xdr:wsDr xmlns:xdr="{DRAWING}" xmlns:a="{DML}" '
               f'xmlns:r="{REL}">{anchors}</xdr:wsDr>')


def huge_name(out):
    def rows(part):
        part.write(b'<row r="1"><c r="A1" t="inlineStr"><is><t>Huge</t></is></c></row>'
                   b'<row r="2"><c r="B2" s="1"><v>42</v></c></row>'
                   b'<row r="500000"><c r="Z500000"><v>7</v></c></row>'
                   b'<row r="1000000"><c r="AX1000000"><v>1</v></c></row>')
    write_book(out, [("Data", rows)], [("Huge", "Data!$A$1:$AX$1000000")])


DENSE_ROWS, DENSE_COLUMNS = 340_000, 50


def dense(out):
    # 13.5 bytes a cell: one-digit numbers, two-digit ones, shared strings, styled blanks.
    kinds = ['<c><v>{d}</v></c>', '<c><v>4{d}</v></c>', '<c><v>{d}</v></c>', '<c s="1"/>', '<c><v>{d}</v></c>',
             '<c t="s"><v>{s}</v></c>', '<c><v>2{d}</v></c>', '<c s="1"/>', '<c><v>{d}</v></c>', '<c><v>{d}</v></c>']

    def rows(part):
        digits = [str(d) for d in range(10)]
        for r in range(1, DENSE_ROWS + 1):
            cells = "".join(kinds[c % 10].format(d=digits[(r + c) % 10], s=(r * 7 + c) % 1000)
                            for c in range(DENSE_COLUMNS))
            part.write(f'<row r="{r}">{cells}</row>'.encode())
    strings = (f"Label {i}" for i in range(1000))
    last = column_name(DENSE_COLUMNS)
    write_book(out, [("Data", rows)], [("Dense", f"Data!$A$1:${last}${DENSE_ROWS}"), ("Corner", "Data!$A$1:$J$20")],
               strings)


STRING_COUNT = 2_000_000


def strings(out, count=STRING_COUNT):
    columns = 50

    def rows(part):
        for r in range(1, count // columns + 1):
            base = (r - 1) * columns
            cells = "".join(f'<c t="s"><v>{base + c}</v></c>' for c in range(columns))
            part.write(f'<row r="{r}">{cells}</row>'.encode())
    texts = (f"Shared string number {i} of the monster" for i in range(count))
    last = column_name(columns)
    write_book(out, [("Words", rows)], [("Words", f"Words!$A$1:${last}${count // columns}"),
                                        ("FirstWords", "Words!$A$1:$E$30")], texts)


POINTS = 200_000
CHART = "http://schemas.openxmlformats.org/drawingml/2006/chart"
DRAWING = "http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing"
DML = "http://schemas.openxmlformats.org/drawingml/2006/main"


def chart_xml(kind, values, cached):
    """A line or scatter chart of Points!B1:B200000 (against A for scatter); `values` are
    written as its caches when `cached`."""
    def ref(column, cache):
        formula = f"Points!${column}$1:${column}${POINTS}"
        if not cached:
            return f"<c:numRef><c:f>{formula}</c:f></c:numRef>"
        pts = "".join(f'<c:pt idx="{i}"><c:v>{v}</c:v></c:pt>' for i, v in enumerate(cache))
        return (f"<c:numRef><c:f>{formula}</c:f><c:numCache><c:formatCode>General</c:formatCode>"
                f'<c:ptCount val="{POINTS}"/>{pts}</c:numCache></c:numRef>')
    xs = range(POINTS)
    if kind == "line":
        series = f'<c:ser><c:idx val="0"/><c:order val="0"/><c:val>{ref("B", values)}</c:val></c:ser>'
        plot = f'<c:lineChart><c:grouping val="standard"/>{series}<c:axId val="1"/><c:axId val="2"/></c:lineChart>'
        axes = ('<c:catAx><c:axId val="1"/><c:scaling/><c:axPos val="b"/><c:crossAx val="2"/></c:catAx>'
                '<c:valAx><c:axId val="2"/><c:scaling/><c:axPos val="l"/><c:crossAx val="1"/></c:valAx>')
    else:
        series = (f'<c:ser><c:idx val="0"/><c:order val="0"/><c:xVal>{ref("A", xs)}</c:xVal>'
                  f'<c:yVal>{ref("B", values)}</c:yVal></c:ser>')
        plot = f'<c:scatterChart><c:scatterStyle val="lineMarker"/>{series}<c:axId val="1"/><c:axId val="2"/></c:scatterChart>'
        axes = ('<c:valAx><c:axId val="1"/><c:scaling/><c:axPos val="b"/><c:crossAx val="2"/></c:valAx>'
                '<c:valAx><c:axId val="2"/><c:scaling/><c:axPos val="l"/><c:crossAx val="1"/></c:valAx>')
    return (HEAD + f'<c:chartSpace xmlns:c="{CHART}" xmlns:a="{DML}"><c:chart><c:plotArea>{plot}{axes}'
            '</c:plotArea></c:chart></c:chartSpace>')


def points(out):
    rng = random.Random(11)
    values, value = [], 100.0
    for _ in range(POINTS):
        value += rng.uniform(-1, 1)
        values.append(round(value, 2))

    def rows(part):
        for r in range(POINTS):
            part.write(f'<row r="{r + 1}"><c><v>{r}</v></c><c><v>{values[r]}</v></c></row>'.encode())
    charts = [chart_xml("line", values, True), chart_xml("scatter", values, False)]
    write_book(out, [("Points", rows)], [("Head", "Points!$A$1:$B$40")], charts=charts)


if __name__ == "__main__":
    {"huge-name": huge_name, "dense": dense, "strings": strings, "detailed": lambda out: strings(out, 90_000),
     "points": points}[sys.argv[1]](sys.argv[2])
