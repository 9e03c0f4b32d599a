// Editing a workbook document and saving it: only the edited parts change, everything else is
// copied byte for byte, strict packages stay strict, and a failed save loses nothing.
#include "ooxml/xlsx/workbook_document.h"
#include "support/test_env.h"
#include "support/xlsx_outline_writer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <gtest/gtest.h>

#include <functional>

using namespace morvane;

using namespace ooxml::xlsx;

namespace {

testbook::WorkbookOutline sample() {
  testbook::WorkbookOutline outline;
  outline.fileName = QStringLiteral("Edit.xlsx");
  testbook::SheetOutline s1;
  s1.name = QStringLiteral("Data");
  s1.charts = {{QStringLiteral("Sales"), QStringLiteral("Sales")}, {QStringLiteral("Costs"), QString()}};
  s1.cells[{1, 1}] = QStringLiteral("Region");
  s1.cells[{2, 2}] = 10.5;
  s1.formats[{2, 2}] = QStringLiteral("0.00");
  testbook::SheetOutline chart;
  chart.kind = testbook::SheetOutline::Kind::ChartSheet;
  chart.name = QStringLiteral("Graph");
  outline.sheets = {s1, chart};
  outline.names = {{QStringLiteral("Area"), QStringLiteral("Data!$A$1:$B$2")},
                {QStringLiteral("Local"), QStringLiteral("Data!$B$2"), false, QStringLiteral("Data")}};
  return outline;
}

std::unique_ptr<WorkbookDocument> openOrFail(const QString& path) {
  auto doc = WorkbookDocument::open(path);
  EXPECT_TRUE(doc.ok()) << (doc.ok() ? "" : doc.error().message.toStdString());
  return doc.ok() ? std::move(doc.value()) : nullptr;
}

QByteArray fileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The edits start-up makes on a workbook without a registry sheet, plus two cells.
void makeRegistryEdits(WorkbookDocument& doc) {
  const int sheet = doc.addWorksheet(QStringLiteral("Sheet3"));
  doc.renameSheet(sheet, QStringLiteral("kukukukuZichron"));
  doc.setDefinedName(QStringLiteral("kuku123"), QStringLiteral("kukukukuZichron!$A:$H"));
  doc.setColumnsStyle(sheet, 1, 8, doc.cellFormatWithNumberFormat(0, QStringLiteral("@")));
  doc.setColumnsStyle(sheet, 4, 4, doc.cellFormatWithNumberFormat(doc.model().sheets[size_t(sheet)].worksheet.columnInfo(4)->style.value(), QStringLiteral("0")));
  doc.setSheetState(sheet, SheetEntry::State::VeryHidden);
  doc.setCellValue(sheet, 1, 1, CellValue::fromText(QStringLiteral("Chart 1")));
  doc.setCellValue(sheet, 1, 4, CellValue::fromNumber(1));
}

TEST(DocumentSave, OnlyEditedPartsChangeAndEditsReadBack) {
  QTemporaryDir dir;
  const QString in = dir.filePath("in.xlsx"), out = dir.filePath("out.xlsx");
  ASSERT_TRUE(testxlsx::writeWorkbook(sample(), in).ok());
  auto doc = openOrFail(in);
  ASSERT_TRUE(doc);
  EXPECT_FALSE(doc->isModified());
  makeRegistryEdits(*doc);
  doc->renameDrawingObject(0, 1, QStringLiteral("Chart 2"));
  doc->setCellValue(0, 1, 1, CellValue::fromText(QStringLiteral("Zone")));
  EXPECT_TRUE(doc->isModified());
  const ooxml::Status saved = doc->save(out);
  ASSERT_TRUE(saved.ok()) << saved.error().message.toStdString();
  EXPECT_FALSE(doc->isModified());

  auto before = ooxml::Package::open(in);
  auto after = ooxml::Package::open(out);
  ASSERT_TRUE(before.ok() && after.ok());
  const QStringList edited = {"/xl/workbook.xml", "/xl/_rels/workbook.xml.rels", "/[Content_Types].xml",
                              "/xl/styles.xml", "/xl/drawings/drawing1.xml", "/xl/worksheets/sheet1.xml"};
  int untouched = 0;
  for (const QString& part : (*before)->partNames()) {
    ASSERT_TRUE((*after)->hasPart(part)) << part.toStdString();
    if (edited.contains(part, Qt::CaseInsensitive)) continue;
    EXPECT_EQ(*(*before)->read(part), *(*after)->read(part)) << part.toStdString();
    ++untouched;
  }
  EXPECT_GE(untouched, 6);  // chart sheet, its drawing, three charts, rels parts
  EXPECT_EQ((*after)->partNames().size(), (*before)->partNames().size() + 1);  // the new sheet

  auto back = openOrFail(out);
  ASSERT_TRUE(back);
  const WorkbookModel& m = back->model();
  ASSERT_EQ(m.sheets.size(), 3u);
  const SheetEntry& registry = m.sheets[2];
  EXPECT_EQ(registry.name, "kukukukuZichron");
  EXPECT_EQ(registry.state, SheetEntry::State::VeryHidden);
  EXPECT_EQ(m.names.back().name, "kuku123");
  EXPECT_EQ(m.names.back().formula, "kukukukuZichron!$A:$H");
  ASSERT_EQ(registry.worksheet.columns.size(), 3u);  // A:C "@", D "0", E:H "@"
  EXPECT_EQ(m.styles.formatCodeOfXf(*registry.worksheet.columnInfo(1)->style), "@");
  EXPECT_EQ(m.styles.formatCodeOfXf(*registry.worksheet.columnInfo(4)->style), "0");
  EXPECT_EQ(m.styles.formatCodeOfXf(*registry.worksheet.columnInfo(8)->style), "@");
  EXPECT_EQ(registry.worksheet.columnInfo(9), nullptr);
  EXPECT_EQ(registry.worksheet.cell(1, 1)->value, CellValue::fromText("Chart 1"));
  EXPECT_EQ(m.styles.formatCodeOfXf(registry.worksheet.cell(1, 1)->style), "@");
  EXPECT_EQ(registry.worksheet.cell(1, 4)->value, CellValue::fromNumber(1));
  EXPECT_EQ(m.sheets[0].worksheet.cell(1, 1)->value, CellValue::fromText("Zone"));
  EXPECT_EQ(m.sheets[0].worksheet.cell(2, 2)->value, CellValue::fromNumber(10.5));  // untouched neighbour
  EXPECT_EQ(m.sheets[0].drawing->objects[1].name, "Chart 2");
  EXPECT_EQ(m.sheets[0].drawing->objects[0].name, "Sales");
  EXPECT_EQ(m.reportedName(m.names[1]), "Data!Local");  // localSheetId unchanged by the append
}

TEST(DocumentSave, RenamingASheetCarriesItsNamesAlong) {
  QTemporaryDir dir;
  const QString in = dir.filePath("in.xlsx");
  ASSERT_TRUE(testxlsx::writeWorkbook(sample(), in).ok());
  auto doc = openOrFail(in);
  ASSERT_TRUE(doc);
  doc->renameSheet(0, QStringLiteral("My Data"));
  EXPECT_EQ(doc->model().names[0].formula, "'My Data'!$A$1:$B$2");
  ASSERT_TRUE(doc->save(in).ok());
  auto back = openOrFail(in);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->model().names[0].formula, "'My Data'!$A$1:$B$2");
  EXPECT_EQ(back->model().reportedName(back->model().names[1]), "'My Data'!Local");
}

TEST(DocumentSave, ExistingCellFormatIsReused) {
  QTemporaryDir dir;
  const QString in = dir.filePath("in.xlsx");
  ASSERT_TRUE(testxlsx::writeWorkbook(sample(), in).ok());
  auto doc = openOrFail(in);
  ASSERT_TRUE(doc);
  const size_t count = doc->model().styles.cellFormats.size();
  const int xf = doc->model().sheets[0].worksheet.cell(2, 2)->style;
  EXPECT_EQ(doc->cellFormatWithNumberFormat(0, QStringLiteral("0.00")), xf);
  EXPECT_EQ(doc->cellFormatWithNumberFormat(xf, QStringLiteral("0.00")), xf);
  const int custom = doc->cellFormatWithNumberFormat(0, QStringLiteral("0.000 \"kg\""));
  EXPECT_EQ(doc->cellFormatWithNumberFormat(0, QStringLiteral("0.000 \"kg\"")), custom);
  EXPECT_EQ(doc->model().styles.cellFormats.size(), count + 1);
  EXPECT_EQ(doc->model().styles.formatCodeOfXf(custom), "0.000 \"kg\"");
}

TEST(DocumentSave, FailedSaveLeavesTheFileAndKeepsTheEdits) {
  QTemporaryDir dir;
  const QString in = dir.filePath("in.xlsx");
  ASSERT_TRUE(testxlsx::writeWorkbook(sample(), in).ok());
  const QByteArray original = fileBytes(in);
  auto doc = openOrFail(in);
  ASSERT_TRUE(doc);
  makeRegistryEdits(*doc);
  const QString blocked = dir.filePath("blocked.xlsx");
  ASSERT_TRUE(QDir().mkpath(blocked));  // a folder where the file should go
  const ooxml::Status failed = doc->save(blocked);
  ASSERT_FALSE(failed.ok());
  EXPECT_TRUE(failed.error().message.contains("blocked.xlsx")) << failed.error().message.toStdString();
  EXPECT_TRUE(QFileInfo(blocked).isDir());
  EXPECT_TRUE(doc->isModified());
  EXPECT_EQ(fileBytes(in), original);
  ASSERT_TRUE(doc->save(in).ok());  // the edits are still there to be written
  auto back = openOrFail(in);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->model().sheets.back().name, "kukukukuZichron");
}

// Rewrites a transitional package's namespaces and relationship types in strict spelling,
// or, given `rewrite`, each part with it instead.
QByteArray toStrict(const QByteArray& transitional,
                    const std::function<QByteArray(const QByteArray&)>& rewrite = {}) {
  auto p = ooxml::Package::openBytes(transitional, QStringLiteral("strict.xlsx"));
  EXPECT_TRUE(p.ok());
  const std::pair<const char*, const char*> map[] = {
      {"http://schemas.openxmlformats.org/spreadsheetml/2006/main", "http://purl.oclc.org/ooxml/spreadsheetml/main"},
      {"http://schemas.openxmlformats.org/officeDocument/2006/relationships", "http://purl.oclc.org/ooxml/officeDocument/relationships"},
      {"http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing", "http://purl.oclc.org/ooxml/drawingml/spreadsheetDrawing"},
      {"http://schemas.openxmlformats.org/drawingml/2006/chart", "http://purl.oclc.org/ooxml/drawingml/chart"},
      {"http://schemas.openxmlformats.org/drawingml/2006/main", "http://purl.oclc.org/ooxml/drawingml/main"},
  };
  auto out = ooxml::Package::create(QStringLiteral("strict.xlsx"));
  for (const QString& part : (*p)->partNames()) {
    QByteArray bytes = *(*p)->read(part);
    if (rewrite) {
      bytes = rewrite(bytes);
    } else {
      for (const auto& [from, to] : map) bytes.replace(from, to);
      bytes.replace("<workbook xmlns", "<workbook conformance=\"strict\" xmlns");
    }
    out->write(part, bytes, (*p)->contentType(part));
  }
  auto bytes = out->saveToBytes();
  EXPECT_TRUE(bytes.ok());
  return bytes.ok() ? *bytes : QByteArray();
}

TEST(DocumentSave, StrictPackageIsReadAndWrittenBackStrict) {
  auto transitional = testxlsx::buildWorkbook(sample())->saveToBytes();
  ASSERT_TRUE(transitional.ok());
  QTemporaryDir dir;
  const QString in = dir.filePath("strict.xlsx");
  QFile f(in);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(toStrict(*transitional));
  f.close();
  auto doc = openOrFail(in);
  ASSERT_TRUE(doc);
  ASSERT_TRUE(doc->package().isStrict());
  EXPECT_EQ(doc->model().sheets[0].drawing->chartIndices().size(), 2u);
  EXPECT_EQ(doc->model().sheets[1].kind, SheetEntry::Kind::Chartsheet);
  makeRegistryEdits(*doc);
  doc->renameDrawingObject(0, 0, QStringLiteral("Chart 1"));
  ASSERT_TRUE(doc->save(in).ok());
  auto back = openOrFail(in);
  ASSERT_TRUE(back);
  EXPECT_TRUE(back->package().isStrict());
  for (const QString& part : {QStringLiteral("/xl/workbook.xml"), back->model().sheets[2].partName,
                              QStringLiteral("/xl/styles.xml"), QStringLiteral("/xl/drawings/drawing1.xml")}) {
    const QByteArray bytes = *back->package().read(part);
    EXPECT_FALSE(bytes.contains("schemas.openxmlformats.org/spreadsheetml")) << part.toStdString();
    EXPECT_FALSE(bytes.contains("schemas.openxmlformats.org/drawingml")) << part.toStdString();
  }
  for (const auto& rel : back->package().relationships(QStringLiteral("/xl/workbook.xml")))
    EXPECT_TRUE(rel.type.startsWith("http://purl.oclc.org/ooxml/")) << rel.type.toStdString();
  EXPECT_EQ(back->model().sheets[2].name, "kukukukuZichron");
  EXPECT_EQ(back->model().sheets[0].drawing->objects[0].name, "Chart 1");
}

// The main namespace under prefix "s" instead of the default one, as some producers write it.
QByteArray prefixMainNamespace(const QByteArray& part) {
  const QString main = QStringLiteral("http://schemas.openxmlformats.org/spreadsheetml/2006/main");
  QXmlStreamReader in(part);
  QByteArray out;
  QXmlStreamWriter w(&out);
  w.writeStartDocument(QStringLiteral("1.0"), true);
  while (in.readNext() != QXmlStreamReader::Invalid && !in.atEnd()) {
    if (in.isStartElement()) {
      for (const auto& ns : in.namespaceDeclarations()) {
        if (ns.prefix().isEmpty() && ns.namespaceUri() != main)
          w.writeDefaultNamespace(ns.namespaceUri().toString());
        else
          w.writeNamespace(ns.namespaceUri().toString(),
                           ns.prefix().isEmpty() ? QStringLiteral("s") : ns.prefix().toString());
      }
      w.writeStartElement(in.namespaceUri().toString(), in.name().toString());
      for (const auto& a : in.attributes()) w.writeAttribute(a);
    } else if (in.isEndElement()) {
      w.writeEndElement();
    } else if (in.isCharacters()) {
      w.writeCharacters(in.text().toString());
    }
  }
  w.writeEndDocument();
  return in.hasError() ? part : out;  // not XML (a picture): as it was
}

// One line per element: its qualified name, namespace declarations and attributes (sorted,
// as XML does not order them), read by Qt's reader rather than ours.
QStringList elementLines(const QByteArray& xml, std::map<QString, QString>* prefixes = nullptr) {
  QStringList lines;
  QXmlStreamReader r(xml);
  while (!r.atEnd()) {
    if (r.readNext() != QXmlStreamReader::StartElement) continue;
    QStringList parts;
    for (const auto& ns : r.namespaceDeclarations())
      parts << QStringLiteral("xmlns:%1=%2").arg(ns.prefix(), ns.namespaceUri());
    for (const auto& a : r.attributes())
      parts << a.qualifiedName().toString() + QLatin1Char('=') + a.value().toString();
    parts.sort();
    lines << r.qualifiedName().toString() + QLatin1Char(' ') + parts.join(QLatin1Char(' '));
    if (prefixes) prefixes->emplace(r.namespaceUri().toString(), r.prefix().toString());
  }
  EXPECT_FALSE(r.hasError()) << r.errorString().toStdString();
  return lines;
}

// Start-up's edits and a renamed chart, saved: every XML part that changed still has each
// element the edits did not touch exactly as it was, and every element in a namespace the
// part used before carries the part's own prefix for it.
void expectOwnPrefixesKept(const QString& in, const QString& out) {
  auto doc = openOrFail(in);
  ASSERT_TRUE(doc);
  makeRegistryEdits(*doc);
  for (int sheet = 0; sheet < int(doc->model().sheets.size()); ++sheet) {
    const auto& drawing = doc->model().sheets[size_t(sheet)].drawing;
    if (drawing && !drawing->chartIndices().empty()) {
      doc->renameDrawingObject(sheet, drawing->chartIndices().front(), QStringLiteral("Chart 9"));
      break;
    }
  }
  ASSERT_TRUE(doc->save(out).ok());
  auto before = ooxml::Package::open(in);
  auto after = ooxml::Package::open(out);
  ASSERT_TRUE(before.ok() && after.ok());
  const QStringList touched = {"cNvPr", "numFmts", "cellXfs"};  // renamed, counts updated
  for (const QString& part : (*before)->partNames()) {
    const QByteArray old = *(*before)->read(part), saved = *(*after)->read(part);
    if (old == saved || !(part.endsWith(".xml") || part.endsWith(".rels"))) continue;
    SCOPED_TRACE(part.toStdString());
    std::map<QString, QString> prefixes, savedPrefixes;
    QStringList missing = elementLines(old, &prefixes);
    for (const QString& line : elementLines(saved, &savedPrefixes)) missing.removeOne(line);
    for (const QString& line : missing)
      EXPECT_TRUE(touched.contains(line.section(' ', 0, 0).section(':', -1))) << line.toStdString();
    for (const auto& [uri, prefix] : savedPrefixes)
      if (prefixes.count(uri)) EXPECT_EQ(prefix, prefixes[uri]) << uri.toStdString();
  }
}

// Sheet names of each file as openpyxl reads them, "!" and the error when it cannot.
QStringList openpyxlSheets(const QStringList& files) {
  const char* script =
      "import sys, openpyxl\n"
      "for path in sys.argv[1:]:\n"
      "    try:\n"
      "        print('|'.join(openpyxl.load_workbook(path).sheetnames))\n"
      "    except Exception as e:\n"
      "        print('!', type(e).__name__, str(e).replace('\\n', ' '))\n";
  QProcess p;
  p.start(QStringLiteral("/usr/bin/python3"), QStringList{"-c", script} + files);
  if (!p.waitForFinished(300000)) return {};
  return QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

TEST(DocumentSave, PartsKeepTheirProducersPrefixesAndDeclarations) {
  QTemporaryDir dir;
  QStringList inputs;
  // Generated: the main namespace as the default one, as the spreadsheet program writes it,
  // and under a prefix of its own.
  auto generated = testxlsx::buildWorkbook(sample())->saveToBytes();
  ASSERT_TRUE(generated.ok());
  for (const auto& [name, bytes] :
       {std::pair{"default.xlsx", *generated},
        std::pair{"prefixed.xlsx", toStrict(*generated, prefixMainNamespace)}}) {
    QFile f(dir.filePath(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    inputs << f.fileName();
  }
  const QString corpus = testenv::corpusDir(QStringLiteral("xlsx"));
  if (!corpus.isEmpty())
    for (const QString& file :
         QDir(corpus).entryList({"*.xlsx", "*.xlsm"}, QDir::Files, QDir::Name))
      inputs << QDir(corpus).filePath(file);
  QStringList outputs;
  for (const QString& in : inputs) {
    SCOPED_TRACE(in.toStdString());
    outputs << dir.filePath(QStringLiteral("saved-") + QFileInfo(in).fileName());
    expectOwnPrefixesKept(in, outputs.back());
  }
  EXPECT_TRUE(fileBytes(outputs[1]).size() > 0);
  MORVANE_REQUIRE(QProcess::execute("/usr/bin/python3", {"-c", "import openpyxl"}) == 0,
                  "python3-openpyxl");
  const QStringList before = openpyxlSheets(inputs), after = openpyxlSheets(outputs);
  ASSERT_EQ(before.size(), inputs.size());
  ASSERT_EQ(after.size(), inputs.size());
  for (int i = 0; i < inputs.size(); ++i) {
    if (before[i].startsWith('!')) continue;  // openpyxl cannot read the original either
    EXPECT_EQ(after[i], before[i] + QStringLiteral("|kukukukuZichron")) << inputs[i].toStdString();
  }
  if (corpus.isEmpty())
    GTEST_SKIP() << "missing: the shared xlsx corpus (generated workbooks checked)";
}

}  // namespace
