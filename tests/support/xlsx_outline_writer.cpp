#include "support/xlsx_outline_writer.h"

#include <QMap>
#include <QStringList>

using namespace morvane;

namespace morvane::testxlsx {

namespace {

using testbook::SheetOutline;
using testbook::WorkbookOutline;

const QString kMain = QStringLiteral("http://schemas.openxmlformats.org/spreadsheetml/2006/main");
const QString kRel = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");
const QString kType = QStringLiteral("application/vnd.openxmlformats-officedocument.");

QString esc(QString s) {
  return s.replace('&', "&amp;").replace('<', "&lt;").replace('>', "&gt;").replace('"', "&quot;");
}

QByteArray xml(const QString& body) {
  return (QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n") + body).toUtf8();
}

QString column(int c) {
  QString s;
  for (; c > 0; c = (c - 1) / 26) s.prepend(QChar('A' + (c - 1) % 26));
  return s;
}

QString chartXml(const testbook::ChartOutline& chart) {
  QString title;
  if (!chart.title.isEmpty()) {
    title = QStringLiteral("<c:title><c:tx><c:rich><a:bodyPr/><a:p><a:r><a:t>%1</a:t></a:r></a:p></c:rich></c:tx>"
                           "<c:overlay val=\"0\"/></c:title><c:autoTitleDeleted val=\"0\"/>").arg(esc(chart.title));
  }
  return QStringLiteral(
             "<c:chartSpace xmlns:c=\"http://schemas.openxmlformats.org/drawingml/2006/chart\" "
             "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" xmlns:r=\"%1\">"
             "<c:chart>%2<c:plotArea><c:layout/><c:barChart><c:barDir val=\"col\"/><c:grouping val=\"clustered\"/>"
             "<c:varyColors val=\"0\"/><c:ser><c:idx val=\"0\"/><c:order val=\"0\"/>"
             "<c:cat><c:strLit><c:ptCount val=\"3\"/><c:pt idx=\"0\"><c:v>A</c:v></c:pt><c:pt idx=\"1\"><c:v>B</c:v></c:pt>"
             "<c:pt idx=\"2\"><c:v>C</c:v></c:pt></c:strLit></c:cat>"
             "<c:val><c:numLit><c:formatCode>General</c:formatCode><c:ptCount val=\"3\"/><c:pt idx=\"0\"><c:v>3</c:v></c:pt>"
             "<c:pt idx=\"1\"><c:v>5</c:v></c:pt><c:pt idx=\"2\"><c:v>2</c:v></c:pt></c:numLit></c:val></c:ser>"
             "<c:axId val=\"10\"/><c:axId val=\"20\"/></c:barChart>"
             "<c:catAx><c:axId val=\"10\"/><c:scaling><c:orientation val=\"minMax\"/></c:scaling><c:delete val=\"0\"/>"
             "<c:axPos val=\"b\"/><c:crossAx val=\"20\"/></c:catAx>"
             "<c:valAx><c:axId val=\"20\"/><c:scaling><c:orientation val=\"minMax\"/></c:scaling><c:delete val=\"0\"/>"
             "<c:axPos val=\"l\"/><c:crossAx val=\"10\"/></c:valAx></c:plotArea>"
             "<c:plotVisOnly val=\"1\"/></c:chart></c:chartSpace>")
      .arg(kRel, title);
}

QString frame(int id, const testbook::ChartOutline& chart, const QString& rid) {
  // The creation id as office programs write it, its namespace declared where it is used.
  const QString creationId =
      chart.creationId.isEmpty()
          ? QString()
          : QStringLiteral(
                "<a:extLst><a:ext uri=\"{FF2B5EF4-FFF2-40B4-BE49-F238E27FC236}\">"
                "<a16:creationId "
                "xmlns:a16=\"http://schemas.microsoft.com/office/drawing/2014/main\" "
                "id=\"%1\"/></a:ext></a:extLst>")
                .arg(chart.creationId);
  return QStringLiteral(
             "<xdr:graphicFrame macro=\"\"><xdr:nvGraphicFramePr><xdr:cNvPr id=\"%1\" "
             "name=\"%2\">%4</xdr:cNvPr><xdr:cNvGraphicFramePr/>"
             "</xdr:nvGraphicFramePr><xdr:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"0\" "
             "cy=\"0\"/></xdr:xfrm>"
             "<a:graphic><a:graphicData "
             "uri=\"http://schemas.openxmlformats.org/drawingml/2006/chart\">"
             "<c:chart xmlns:c=\"http://schemas.openxmlformats.org/drawingml/2006/chart\" "
             "r:id=\"%3\"/>"
             "</a:graphicData></a:graphic></xdr:graphicFrame><xdr:clientData/>")
      .arg(id)
      .arg(esc(chart.name), rid, creationId);
}

QString drawingOpen() {
  return QStringLiteral("<xdr:wsDr xmlns:xdr=\"http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing\" "
                        "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" xmlns:r=\"%1\">").arg(kRel);
}

// Adds a chart part for `chart` related from `drawing`; returns the relationship id.
QString addChart(ooxml::Package& p, const QString& drawing, const testbook::ChartOutline& chart) {
  const QString part = p.uniquePartName(QStringLiteral("/xl/charts/chart%1.xml"));
  // An unreadable part: its XML breaks off, as a truncated or damaged file's does.
  const QByteArray bytes = chart.unreadable ? xml(chartXml(chart)).left(300) : xml(chartXml(chart));
  p.write(part, bytes, kType + QStringLiteral("drawingml.chart+xml"));
  return p.addRelationship(drawing, ooxml::reltype::officeRel("chart"), part);
}

QString sheetDrawing(ooxml::Package& p, const SheetOutline& sheet) {
  const QString part = p.uniquePartName(QStringLiteral("/xl/drawings/drawing%1.xml"));
  QString body = drawingOpen();
  p.write(part, QByteArray(), kType + QStringLiteral("drawing+xml"));  // reserves the name
  for (size_t i = 0; i < sheet.charts.size(); ++i) {
    const int top = 1 + int(i) * 16;
    const QString rid = addChart(p, part, sheet.charts[i]);
    body += QStringLiteral(
                "<xdr:twoCellAnchor><xdr:from><xdr:col>4</xdr:col><xdr:colOff>0</"
                "xdr:colOff><xdr:row>%1</xdr:row>"
                "<xdr:rowOff>0</xdr:rowOff></xdr:from><xdr:to><xdr:col>11</xdr:col><xdr:colOff>0</"
                "xdr:colOff>"
                "<xdr:row>%2</xdr:row><xdr:rowOff>0</xdr:rowOff></xdr:to>")
                .arg(top)
                .arg(top + 15) +
            frame(int(i) + 2, sheet.charts[i], rid) + QStringLiteral("</xdr:twoCellAnchor>");
  }
  p.write(part, xml(body + QStringLiteral("</xdr:wsDr>")), kType + QStringLiteral("drawing+xml"));
  return part;
}

QString cellXml(int row, int col, const office::Variant& v, int style) {
  const QString ref = column(col) + QString::number(row);
  const QString s = style ? QStringLiteral(" s=\"%1\"").arg(style) : QString();
  switch (v.type()) {
    case office::Variant::Type::Number:
      return QStringLiteral("<c r=\"%1\"%2><v>%3</v></c>").arg(ref, s, QString::number(v.number(), 'g', 17));
    case office::Variant::Type::Boolean:
      return QStringLiteral("<c r=\"%1\"%2 t=\"b\"><v>%3</v></c>").arg(ref, s, v.boolean() ? "1" : "0");
    case office::Variant::Type::Text:
      return QStringLiteral("<c r=\"%1\"%2 t=\"inlineStr\"><is><t>%3</t></is></c>").arg(ref, s, esc(v.text()));
    default:
      return s.isEmpty() ? QString() : QStringLiteral("<c r=\"%1\"%2/>").arg(ref, s);
  }
}

QString worksheetXml(const SheetOutline& sheet, const QMap<QString, int>& xfOfFormat, const QString& drawingRid) {
  std::map<std::pair<int, int>, std::pair<office::Variant, int>> cells;
  for (const auto& [pos, v] : sheet.cells) cells[pos].first = v;
  for (const auto& [pos, code] : sheet.formats) cells[pos].second = xfOfFormat.value(code);
  QString data;
  int row = 0;
  for (const auto& [pos, cell] : cells) {
    if (pos.first != row) {
      if (row) data += QStringLiteral("</row>");
      row = pos.first;
      data += QStringLiteral("<row r=\"%1\">").arg(row);
    }
    data += cellXml(pos.first, pos.second, cell.first, cell.second);
  }
  if (row) data += QStringLiteral("</row>");
  const QString drawing = drawingRid.isEmpty() ? QString() : QStringLiteral("<drawing r:id=\"%1\"/>").arg(drawingRid);
  return QStringLiteral("<worksheet xmlns=\"%1\" xmlns:r=\"%2\"><sheetViews><sheetView workbookViewId=\"0\"/></sheetViews>"
                        "<sheetFormatPr defaultRowHeight=\"15\"/><sheetData>%3</sheetData>"
                        "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" footer=\"0.3\"/>%4</worksheet>")
      .arg(kMain, kRel, data, drawing);
}

// Styles with one cell format per distinct number format of the outline (index 0 is General).
QString stylesXml(const WorkbookOutline& outline, QMap<QString, int>& xfOfFormat) {
  QString numFmts, xfs = QStringLiteral("<xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>");
  int nextId = 164;
  for (const SheetOutline& s : outline.sheets) {
    for (const auto& [pos, code] : s.formats) {
      if (xfOfFormat.contains(code)) continue;
      int id = code == QLatin1String("@") ? 49 : code == QLatin1String("0") ? 1 : code == QLatin1String("0.00") ? 2 : 0;
      if (!id) {
        id = nextId++;
        numFmts += QStringLiteral("<numFmt numFmtId=\"%1\" formatCode=\"%2\"/>").arg(id).arg(esc(code));
      }
      xfOfFormat[code] = xfOfFormat.size() + 1;
      xfs += QStringLiteral("<xf numFmtId=\"%1\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\"/>").arg(id);
    }
  }
  if (!numFmts.isEmpty()) numFmts = QStringLiteral("<numFmts>%1</numFmts>").arg(numFmts);
  return QStringLiteral("<styleSheet xmlns=\"%1\">%2<fonts count=\"1\"><font><sz val=\"11\"/><name val=\"Calibri\"/></font></fonts>"
                        "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill><fill><patternFill patternType=\"gray125\"/></fill></fills>"
                        "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
                        "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
                        "<cellXfs count=\"%3\">%4</cellXfs><cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
                        "</styleSheet>")
      .arg(kMain, numFmts).arg(xfOfFormat.size() + 1).arg(xfs);
}

QString namesXml(const WorkbookOutline& outline) {
  QString out;
  for (const auto& n : outline.names) {
    QString attrs = QStringLiteral(" name=\"%1\"").arg(esc(n.name));
    if (!n.localSheet.isEmpty()) {
      for (size_t i = 0; i < outline.sheets.size(); ++i) {
        if (outline.sheets[i].name == n.localSheet) attrs += QStringLiteral(" localSheetId=\"%1\"").arg(i);
      }
    }
    if (n.hidden) attrs += QStringLiteral(" hidden=\"1\"");
    out += QStringLiteral("<definedName%1>%2</definedName>").arg(attrs, esc(n.refersTo));
  }
  return out.isEmpty() ? out : QStringLiteral("<definedNames>%1</definedNames>").arg(out);
}

QString stateAttr(int visible) {
  return visible == 0 ? QStringLiteral(" state=\"hidden\"") : visible == 2 ? QStringLiteral(" state=\"veryHidden\"") : QString();
}

}  // namespace

std::unique_ptr<ooxml::Package> buildWorkbook(const WorkbookOutline& outline) {
  auto p = ooxml::Package::create(outline.fileName);
  const QString wb = QStringLiteral("/xl/workbook.xml");
  p->write(wb, QByteArray("<workbook/>"), kType + QStringLiteral("spreadsheetml.sheet.main+xml"));
  p->addRelationship(QStringLiteral("/"), QString::fromLatin1(ooxml::reltype::kOfficeDocument), wb);
  QMap<QString, int> xfOfFormat;
  p->write(QStringLiteral("/xl/styles.xml"), xml(stylesXml(outline, xfOfFormat)), kType + QStringLiteral("spreadsheetml.styles+xml"));
  p->addRelationship(wb, ooxml::reltype::officeRel("styles"), QStringLiteral("/xl/styles.xml"));
  QString sheets;
  int number = 0;
  for (const SheetOutline& s : outline.sheets) {
    ++number;
    QString rid;
    if (s.kind == SheetOutline::Kind::Worksheet) {
      const QString part = QStringLiteral("/xl/worksheets/sheet%1.xml").arg(number);
      p->write(part, QByteArray("<worksheet/>"), kType + QStringLiteral("spreadsheetml.worksheet+xml"));
      const QString drawingRid = s.charts.empty() ? QString()
                                                  : p->addRelationship(part, ooxml::reltype::officeRel("drawing"), sheetDrawing(*p, s));
      p->write(part, xml(worksheetXml(s, xfOfFormat, drawingRid)), kType + QStringLiteral("spreadsheetml.worksheet+xml"));
      rid = p->addRelationship(wb, ooxml::reltype::officeRel("worksheet"), part);
    } else {
      const QString part = QStringLiteral("/xl/chartsheets/sheet%1.xml").arg(number);
      const QString drawing = p->uniquePartName(QStringLiteral("/xl/drawings/drawing%1.xml"));
      p->write(drawing, QByteArray(), kType + QStringLiteral("drawing+xml"));
      const testbook::ChartOutline chart = s.charts.empty() ? testbook::ChartOutline{s.name, QString()} : s.charts.front();
      const QString chartRid = addChart(*p, drawing, chart);
      p->write(drawing,
               xml(drawingOpen() +
                   QStringLiteral("<xdr:absoluteAnchor><xdr:pos x=\"0\" y=\"0\"/><xdr:ext "
                                  "cx=\"8666480\" cy=\"6292850\"/>") +
                   frame(2, chart, chartRid) + QStringLiteral("</xdr:absoluteAnchor></xdr:wsDr>")),
               kType + QStringLiteral("drawing+xml"));
      p->write(part, QByteArray("<chartsheet/>"), kType + QStringLiteral("spreadsheetml.chartsheet+xml"));
      const QString drawingRid = p->addRelationship(part, ooxml::reltype::officeRel("drawing"), drawing);
      p->write(part, xml(QStringLiteral("<chartsheet xmlns=\"%1\" xmlns:r=\"%2\"><sheetViews><sheetView workbookViewId=\"0\"/></sheetViews>"
                                        "<drawing r:id=\"%3\"/></chartsheet>").arg(kMain, kRel, drawingRid)),
               kType + QStringLiteral("spreadsheetml.chartsheet+xml"));
      rid = p->addRelationship(wb, ooxml::reltype::officeRel("chartsheet"), part);
    }
    sheets += QStringLiteral("<sheet name=\"%1\" sheetId=\"%2\"%3 r:id=\"%4\"/>").arg(esc(s.name)).arg(number).arg(stateAttr(s.visible), rid);
  }
  const QString protection = outline.protectStructure ? QStringLiteral("<workbookProtection lockStructure=\"1\"/>") : QString();
  p->write(wb, xml(QStringLiteral("<workbook xmlns=\"%1\" xmlns:r=\"%2\"><workbookPr/>%3<bookViews><workbookView activeTab=\"%4\"/></bookViews>"
                                  "<sheets>%5</sheets>%6<calcPr calcId=\"191029\"/></workbook>")
                       .arg(kMain, kRel, protection).arg(outline.activeSheet).arg(sheets, namesXml(outline))),
           kType + QStringLiteral("spreadsheetml.sheet.main+xml"));
  return p;
}

ooxml::Status writeWorkbook(const WorkbookOutline& outline, const QString& path) { return buildWorkbook(outline)->save(path); }

}  // namespace morvane::testxlsx
