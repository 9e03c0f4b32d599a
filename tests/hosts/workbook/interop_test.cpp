// A workbook changed through the host the way start-up and the registry change it, saved,
// then read by independent programs: openpyxl, and LibreOffice (whose own re-save is read
// back by our reader). Both must see every chart, the very hidden registry sheet, kuku123 as
// columns A:H, text format on A:H and "0" on D.
#include "hosts/workbook/host.h"
#include "ooxml/xlsx/workbook_document.h"
#include "support/test_env.h"
#include "support/xlsx_outline_writer.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace morvane;

using namespace ooxml::xlsx;

namespace {

// Embedded charts on two sheets, a chart sheet, and a workbook produced by openpyxl.
testbook::WorkbookOutline sample() {
  testbook::WorkbookOutline outline;
  outline.fileName = QStringLiteral("Interop.xlsx");
  testbook::SheetOutline s1;
  s1.name = QStringLiteral("Sales");
  s1.charts = {{QStringLiteral("Revenue"), QStringLiteral("Revenue")}, {QStringLiteral("Margin"), QString()}};
  s1.cells[{1, 1}] = QStringLiteral("Month");
  s1.cells[{2, 1}] = 3;
  testbook::SheetOutline graph;
  graph.kind = testbook::SheetOutline::Kind::ChartSheet;
  graph.name = QStringLiteral("Overview");
  testbook::SheetOutline s2;
  s2.name = QStringLiteral("Costs 2");
  s2.charts = {{QStringLiteral("Costs"), QString()}};
  outline.sheets = {s1, graph, s2};
  outline.names = {{QStringLiteral("Area"), QStringLiteral("Sales!$A$1:$A$2")}};
  return outline;
}

// Start-up's registry creation and chart renaming, then a first row, through the surface.
void registryThroughHost(excel::Application& app) {
  auto wb = app.activeWorkbook();
  wb->worksheetsAdd()->setName(QStringLiteral("kukukukuZichron"));
  wb->namesAdd(QStringLiteral("kuku123"), QStringLiteral("=kukukukuZichron!C1:C8"));
  auto registry = wb->sheet(QStringLiteral("kukukukuZichron"));
  registry->range(QStringLiteral("kuku123"))->setNumberFormat(QStringLiteral("@"));
  registry->columns(QStringLiteral("D:D"))->setNumberFormat(QStringLiteral("0"));
  registry->setVisible(excel::xlSheetVeryHidden);
  int k = 0;
  for (const auto& ws : wb->worksheets()) {
    for (const auto& object : ws->chartObjects()) {
      object->activate();
      wb->activeChart()->parent()->setName(QStringLiteral("Chart %1").arg(++k));
    }
  }
  registry->cells(1, 1)->setValue(QStringLiteral("Chart 1"));
  registry->cells(1, 2)->setValue(QStringLiteral("Sales"));
  registry->cells(1, 3)->setValue(QStringLiteral("Y"));
  registry->cells(1, 4)->setValue(QStringLiteral("1"));
  registry->cells(1, 7)->setValue(QStringLiteral("Picture"));
}

class Interop : public ::testing::Test {
 protected:
  // Writes the sample, applies the registry edits through the host and saves in place.
  QString savedWorkbook() {
    const QString path = m_dir.filePath(QStringLiteral("Interop.xlsx"));
    EXPECT_TRUE(testxlsx::writeWorkbook(sample(), path).ok());
    auto opened = hosts::workbook::openWorkbook(path);
    EXPECT_TRUE(opened.ok());
    if (!opened.ok()) return {};
    registryThroughHost(*opened->application);
    const ooxml::Status saved = opened->host->save(path);
    EXPECT_TRUE(saved.ok()) << (saved.ok() ? "" : saved.error().message.toStdString());
    return path;
  }
  QTemporaryDir m_dir;
};

const char kOpenpyxlCheck[] = R"PY(
import sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
assert wb.sheetnames == ["Sales", "Overview", "Costs 2", "kukukukuZichron"], wb.sheetnames
reg = wb["kukukukuZichron"]
assert reg.sheet_state == "veryHidden", reg.sheet_state
names = wb.defined_names
dn = names["kuku123"] if hasattr(names, "__getitem__") else names.get("kuku123")
assert dn.attr_text == "kukukukuZichron!$A:$H", dn.attr_text
fmt = {}
for dim in reg.column_dimensions.values():
    for c in range(dim.min, dim.max + 1):
        fmt[c] = dim.number_format
assert [fmt.get(c) for c in range(1, 9)] == ["@", "@", "@", "0", "@", "@", "@", "@"], fmt
assert reg["A1"].value == "Chart 1" and reg["D1"].value == 1, (reg["A1"].value, reg["D1"].value)
assert reg["A1"].number_format == "@"
charts = [len(wb["Sales"]._charts), len(wb["Costs 2"]._charts), len(wb["Overview"]._charts)]
assert charts == [2, 1, 1], charts
print("ok")
)PY";

TEST_F(Interop, OpenpyxlSeesRegistryNamesFormatsAndCharts) {
  const QString python = QFileInfo::exists("/usr/bin/python3") ? QStringLiteral("/usr/bin/python3") : QString();
  bool haveOpenpyxl = false;
  if (!python.isEmpty()) haveOpenpyxl = QProcess::execute(python, {"-c", "import openpyxl"}) == 0;
  MORVANE_REQUIRE(haveOpenpyxl, "python3-openpyxl");
  const QString path = savedWorkbook();
  ASSERT_FALSE(path.isEmpty());
  QProcess p;
  p.start(python, {"-c", QString::fromLatin1(kOpenpyxlCheck), path});
  ASSERT_TRUE(p.waitForFinished(60000));
  EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
  EXPECT_EQ(p.readAllStandardOutput().trimmed(), "ok");
}

TEST_F(Interop, LibreOfficeOpensItWithEveryChart) {
  const QString soffice = testenv::findTool(QStringLiteral("soffice"));
  MORVANE_REQUIRE(!soffice.isEmpty(), "LibreOffice (soffice)");
  const QString path = savedWorkbook();
  ASSERT_FALSE(path.isEmpty());
  QTemporaryDir profile, out;
  QProcess p;
  p.start(soffice, {QStringLiteral("-env:UserInstallation=file://") + profile.path(), "--headless", "--norestore",
                    "--convert-to", "xlsx:Calc MS Excel 2007 XML", "--outdir", out.path(), path});
  ASSERT_TRUE(p.waitForFinished(180000));
  const QString converted = out.filePath(QStringLiteral("Interop.xlsx"));
  ASSERT_TRUE(QFileInfo::exists(converted)) << p.readAllStandardError().toStdString();
  auto doc = WorkbookDocument::open(converted);
  ASSERT_TRUE(doc.ok()) << doc.error().message.toStdString();
  const WorkbookModel& m = (*doc)->model();
  ASSERT_EQ(m.sheets.size(), 4u);
  EXPECT_EQ(m.sheets[3].name, "kukukukuZichron");
  // LibreOffice has no very hidden state and no chart sheets of its own: it reads them as a
  // hidden sheet and as a sheet holding one chart, and writes them back that way.
  EXPECT_NE(m.sheets[3].state, SheetEntry::State::Visible);
  const SheetEntry& overview = m.sheets[1];
  EXPECT_TRUE(!overview.chartPart.isEmpty() || (overview.drawing && overview.drawing->chartIndices().size() == 1u));
  ASSERT_TRUE(m.sheets[0].drawing && m.sheets[2].drawing);
  EXPECT_EQ(m.sheets[0].drawing->chartIndices().size(), 2u);
  EXPECT_EQ(m.sheets[2].drawing->chartIndices().size(), 1u);
  bool kuku = false;
  for (const DefinedName& n : m.names) {
    if (n.name == QLatin1String("kuku123")) {
      kuku = true;
      EXPECT_EQ(n.formula, "kukukukuZichron!$A:$H");
    }
  }
  EXPECT_TRUE(kuku);
  const Worksheet& reg = m.sheets[3].worksheet;
  EXPECT_EQ(m.styles.formatCodeOfXf(reg.effectiveStyle(100, 1)), "@");
  EXPECT_EQ(m.styles.formatCodeOfXf(reg.effectiveStyle(100, 8)), "@");
  EXPECT_EQ(m.styles.formatCodeOfXf(reg.effectiveStyle(100, 4)), "0");
  EXPECT_EQ(reg.cell(1, 1)->value, CellValue::fromText("Chart 1"));
  EXPECT_EQ(reg.cell(1, 4)->value, CellValue::fromNumber(1));
}

// A workbook openpyxl wrote (an independent producer) goes through the host and back.
TEST_F(Interop, OpenpyxlWorkbookRoundTripsThroughTheHost) {
  const bool haveOpenpyxl = QProcess::execute("/usr/bin/python3", {"-c", "import openpyxl"}) == 0;
  MORVANE_REQUIRE(haveOpenpyxl, "python3-openpyxl");
  const QString path = m_dir.filePath(QStringLiteral("Made.xlsx"));
  const char* script = R"PY(
import sys, openpyxl
from openpyxl.chart import BarChart, Reference
from openpyxl.workbook.defined_name import DefinedName
wb = openpyxl.Workbook()
ws = wb.active
ws.title = "Sales"
for r in range(1, 5):
    ws.append([r, r * r])
chart = BarChart()
chart.add_data(Reference(ws, min_col=2, min_row=1, max_row=4))
ws.add_chart(chart, "D2")
cs = wb.create_chartsheet("Whole")
cs.add_chart(BarChart())
dn = DefinedName("Area", attr_text="Sales!$A$1:$B$4")
try:
    wb.defined_names["Area"] = dn
except (TypeError, AttributeError):
    wb.defined_names.append(dn)
wb.save(sys.argv[1])
)PY";
  ASSERT_EQ(QProcess::execute("/usr/bin/python3", {"-c", QString::fromLatin1(script), path}), 0);
  auto opened = hosts::workbook::openWorkbook(path);
  ASSERT_TRUE(opened.ok()) << opened.error().message.toStdString();
  auto wb = opened->application->activeWorkbook();
  ASSERT_EQ(wb->worksheet(QStringLiteral("Sales"))->chartObjects().size(), 1u);
  EXPECT_EQ(wb->charts().size(), 1u);
  EXPECT_EQ(wb->name(QStringLiteral("Area"))->refersToRange()->address(), "$A$1:$B$4");
  EXPECT_EQ(wb->worksheet(QStringLiteral("Sales"))->range(QStringLiteral("A1"))->currentRegion()->address(), "$A$1:$B$4");
  registryThroughHost(*opened->application);
  ASSERT_TRUE(opened->host->save(path).ok());
  auto again = hosts::workbook::openWorkbook(path);
  ASSERT_TRUE(again.ok());
  auto wb2 = again->application->activeWorkbook();
  EXPECT_EQ(wb2->worksheet(QStringLiteral("Sales"))->chartObjects()[0]->name(), "Chart 1");
  EXPECT_EQ(wb2->sheet(QStringLiteral("kukukukuZichron"))->visible(), excel::xlSheetVeryHidden);
  EXPECT_EQ(wb2->name(QStringLiteral("kuku123"))->refersToRange()->address(), "$A:$H");
}

}  // namespace
