// Malformed and hostile workbooks, generated here from a valid one: each gets one clear error
// naming the file (and the part, when a part is at fault), never a crash. Run under
// AddressSanitizer in CI.
#include "ooxml/xlsx/sheet_geometry.h"
#include "ooxml/xlsx/workbook_document.h"
#include "support/xlsx_outline_writer.h"

#include <QFile>
#include <QTemporaryDir>

#include <functional>

#include <gtest/gtest.h>

using namespace morvane;

using namespace ooxml::xlsx;

namespace {

testbook::WorkbookOutline sample() {
  testbook::WorkbookOutline outline;
  outline.fileName = QStringLiteral("Hostile.xlsx");
  testbook::SheetOutline s1;
  s1.name = QStringLiteral("Data");
  s1.charts = {{QStringLiteral("Sales"), QString()}};
  s1.cells[{1, 1}] = QStringLiteral("Region");
  testbook::SheetOutline chart;
  chart.kind = testbook::SheetOutline::Kind::ChartSheet;
  chart.name = QStringLiteral("Graph");
  outline.sheets = {s1, chart};
  return outline;
}

const QString kSheet = QStringLiteral("/xl/worksheets/sheet1.xml");
const QString kWorkbook = QStringLiteral("/xl/workbook.xml");
const QString kDrawing = QStringLiteral("/xl/drawings/drawing1.xml");

class Hostile : public ::testing::Test {
 protected:
  // The sample workbook with `mutate` applied, written to Hostile.xlsx and opened.
  ooxml::Result<std::unique_ptr<WorkbookDocument>> openMutated(const std::function<void(ooxml::Package&)>& mutate) {
    auto package = testxlsx::buildWorkbook(sample());
    mutate(*package);
    auto bytes = package->saveToBytes();
    EXPECT_TRUE(bytes.ok());
    return openBytes(bytes.ok() ? *bytes : QByteArray());
  }
  ooxml::Result<std::unique_ptr<WorkbookDocument>> openBytes(const QByteArray& bytes) {
    QFile f(m_dir.filePath("Hostile.xlsx"));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    return WorkbookDocument::open(f.fileName());
  }
  static void replacePart(ooxml::Package& p, const QString& part, const QByteArray& bytes) {
    p.write(part, bytes, p.contentType(part));
  }
  static QByteArray partText(ooxml::Package& p, const QString& part) { return *p.read(part); }
  // Expects a failure whose one-line message names the file and `part` (when given).
  static void expectError(const ooxml::Result<std::unique_ptr<WorkbookDocument>>& r, const QString& part) {
    ASSERT_FALSE(r.ok());
    const QString& msg = r.error().message;
    EXPECT_TRUE(msg.contains("Hostile.xlsx")) << msg.toStdString();
    if (!part.isEmpty()) EXPECT_TRUE(msg.contains(part)) << msg.toStdString();
    EXPECT_FALSE(msg.contains('\n')) << msg.toStdString();
  }
  QTemporaryDir m_dir;
};

TEST_F(Hostile, NotAZipOrTruncated) {
  expectError(openBytes("just some text, not a package"), {});
  auto valid = testxlsx::buildWorkbook(sample())->saveToBytes();
  ASSERT_TRUE(valid.ok());
  expectError(openBytes(valid->left(valid->size() / 2)), {});
  expectError(openBytes(QByteArray()), {});
}

TEST_F(Hostile, WorkbookPartMissingOrBroken) {
  expectError(openMutated([](ooxml::Package& p) { p.remove(kWorkbook); }), {});
  auto broken = openMutated([](ooxml::Package& p) { replacePart(p, kWorkbook, "<workbook><sheets>"); });
  expectError(broken, kWorkbook);
  EXPECT_EQ(broken.error().code, ooxml::Error::Code::BadXml);
  expectError(openMutated([](ooxml::Package& p) { replacePart(p, kWorkbook, "<?xml version=\"1.0\"?><styleSheet/>"); }), kWorkbook);
  expectError(openMutated([](ooxml::Package& p) {
                replacePart(p, kWorkbook, partText(p, kWorkbook).replace("<sheet ", "<sheetX "));
              }),
              kWorkbook);  // no sheets left
}

TEST_F(Hostile, EntityExpansionIsRefused) {
  const QByteArray bomb =
      "<?xml version=\"1.0\"?><!DOCTYPE w [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">]>"
      "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheets/>&b;</workbook>";
  auto r = openMutated([&](ooxml::Package& p) { replacePart(p, kWorkbook, bomb); });
  expectError(r, kWorkbook);
}

TEST_F(Hostile, SheetWithoutItsPart) {
  expectError(openMutated([](ooxml::Package& p) {
                replacePart(p, kWorkbook, partText(p, kWorkbook).replace("r:id=\"rId2\"", "r:id=\"rId99\""));
              }),
              kWorkbook);
  expectError(openMutated([](ooxml::Package& p) { p.remove(kSheet); }), kSheet);
}

TEST_F(Hostile, CellsThatPointNowhere) {
  auto text = [](ooxml::Package& p) { return partText(p, kSheet); };
  expectError(openMutated([&](ooxml::Package& p) {
                replacePart(p, kSheet, text(p).replace("<row r=\"1\">", "<row r=\"99999999\">"));
              }),
              kSheet);
  expectError(openMutated([&](ooxml::Package& p) { replacePart(p, kSheet, text(p).replace("r=\"A1\"", "r=\"ZZZZ1\"")); }),
              kSheet);
  // A shared string index past the table.
  expectError(openMutated([&](ooxml::Package& p) {
                replacePart(p, kSheet,
                            text(p).replace("t=\"inlineStr\"><is><t>Region</t></is>", "t=\"s\"><v>7</v>"));
              }),
              kSheet);
}

TEST_F(Hostile, DeepNestingIsRefused) {
  QByteArray deep = "<?xml version=\"1.0\"?><worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>";
  for (int i = 0; i < 5000; ++i) deep += "<x>";
  for (int i = 0; i < 5000; ++i) deep += "</x>";
  deep += "</sheetData></worksheet>";
  expectError(openMutated([&](ooxml::Package& p) { replacePart(p, kSheet, deep); }), kSheet);
}

TEST_F(Hostile, DrawingsBrokenOrMissing) {
  expectError(openMutated([](ooxml::Package& p) { replacePart(p, kDrawing, "<xdr:wsDr"); }), kDrawing);
  expectError(openMutated([](ooxml::Package& p) { p.remove(kDrawing); }), kDrawing);
  // The chart sheet's drawing.
  expectError(openMutated([](ooxml::Package& p) { p.remove(QStringLiteral("/xl/drawings/drawing2.xml")); }),
              QStringLiteral("drawing2.xml"));
}

TEST_F(Hostile, AbsurdSizesAreClampedNotTrusted) {
  auto r = openMutated([](ooxml::Package& p) {
    QByteArray d = partText(p, kDrawing);
    d.replace("<xdr:col>11</xdr:col>", "<xdr:col>2147483647</xdr:col>");
    d.replace("<xdr:rowOff>0</xdr:rowOff></xdr:to>", "<xdr:rowOff>99999999999999999999</xdr:rowOff></xdr:to>");
    replacePart(p, kDrawing, d);
    replacePart(p, kSheet, partText(p, kSheet).replace("<sheetData>", "<cols><col min=\"0\" max=\"2000000000\" width=\"1e308\"/></cols><sheetData>"));
  });
  ASSERT_TRUE(r.ok()) << r.error().message.toStdString();
  const SheetEntry& sheet = (*r)->model().sheets[0];
  EXPECT_EQ(sheet.worksheet.columns.at(0).max, kMaxColumns);
  const DrawingObject& chart = sheet.drawing->objects.at(0);
  EXPECT_EQ(chart.to.column, kMaxColumns - 1);
  const QSizeF size = anchorSizePoints(sheet.worksheet, chart, 7);
  EXPECT_TRUE(std::isfinite(size.width()) && std::isfinite(size.height()));
}

TEST_F(Hostile, BrokenStylesNameTheirPart) {
  expectError(openMutated([](ooxml::Package& p) { replacePart(p, QStringLiteral("/xl/styles.xml"), "<styleSheet><fonts>"); }),
              QStringLiteral("/xl/styles.xml"));
}

}  // namespace
