// The workbook host's own behaviour beyond the shared contract: the program's rules for
// names, visibility, protection, typing, CurrentRegion, Find and Max, and saving what the
// surface changed.
#include "hosts/workbook/host.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "office/automation_error.h"
#include "ooxml/package.h"
#include "support/xlsx_outline_writer.h"

using namespace morvane;

using hosts::workbook::WorkbookHost;
using office::Variant;

namespace {

testbook::WorkbookOutline sample() {
  testbook::WorkbookOutline outline;
  outline.fileName = QStringLiteral("Host.xlsx");
  testbook::SheetOutline data;
  data.name = QStringLiteral("Sheet1");
  data.charts = {{QStringLiteral("Sales"), QStringLiteral("Sales")}, {QStringLiteral("Sales"), QString()}};
  data.cells[{1, 2}] = QStringLiteral("Graph");
  data.cells[{3, 2}] = QStringLiteral("Sheet1 GRAPHS");
  data.cells[{4, 2}] = 12;
  data.cells[{5, 2}] = true;
  data.cells[{6, 2}] = QStringLiteral("99");
  data.formats[{6, 2}] = QStringLiteral("@");
  testbook::SheetOutline graph;
  graph.kind = testbook::SheetOutline::Kind::ChartSheet;
  graph.name = QStringLiteral("Graph");
  testbook::SheetOutline other;
  other.name = QStringLiteral("My Sheet");
  other.charts = {{QStringLiteral("Other"), QString()}};
  outline.sheets = {data, graph, other};
  outline.names = {{QStringLiteral("Area"), QStringLiteral("'My Sheet'!$A$1:$B$2"), false, QStringLiteral("My Sheet")},
                {QStringLiteral("OnChart"), QStringLiteral("Graph!$A$1")},
                {QStringLiteral("Outside"), QStringLiteral("[1]Sheet1!$A$1")},
                {QStringLiteral("Gone"), QStringLiteral("Nowhere!$A$1")}};
  return outline;
}

class Host : public ::testing::Test {
 protected:
  std::shared_ptr<excel::Workbook> open(const testbook::WorkbookOutline& outline = sample()) {
    m_path = m_dir.filePath(outline.fileName);
    EXPECT_TRUE(testxlsx::writeWorkbook(outline, m_path).ok());
    auto opened = hosts::workbook::openWorkbook(m_path);
    EXPECT_TRUE(opened.ok()) << (opened.ok() ? "" : opened.error().message.toStdString());
    if (!opened.ok()) return nullptr;
    m_host = opened->host;
    m_app = opened->application;
    return m_app->activeWorkbook();
  }
  // Saves and opens the result in a fresh host.
  std::shared_ptr<excel::Workbook> saveAndReopen() {
    const ooxml::Status saved = m_host->save(m_path);
    EXPECT_TRUE(saved.ok()) << (saved.ok() ? "" : saved.error().message.toStdString());
    auto opened = hosts::workbook::openWorkbook(m_path);
    EXPECT_TRUE(opened.ok());
    m_host = opened->host;
    m_app = opened->application;
    return m_app->activeWorkbook();
  }
  template <typename F>
  static bool fails(F&& f) {
    try {
      f();
    } catch (const office::AutomationError&) {
      return true;
    }
    return false;
  }
  QTemporaryDir m_dir;
  QString m_path;
  std::shared_ptr<WorkbookHost> m_host;
  std::shared_ptr<excel::Application> m_app;
};

TEST_F(Host, SheetNamesFollowTheProgramsRules) {
  auto wb = open();
  auto sheet = wb->worksheet(QStringLiteral("My Sheet"));
  for (const QString& bad : {QString(), QString(32, 'x'), QStringLiteral("a:b"), QStringLiteral("a/b"),
                             QStringLiteral("a[1]"), QStringLiteral("what?"), QStringLiteral("'quoted"),
                             QStringLiteral("history"), QStringLiteral("GRAPH")}) {
    EXPECT_TRUE(fails([&] { sheet->setName(bad); })) << bad.toStdString();
  }
  EXPECT_EQ(sheet->name(), "My Sheet");
  EXPECT_FALSE(m_host->isModified());
  sheet->setName(QString(31, 'y'));
  sheet->setName(QStringLiteral("my sheet"));  // its own name in other case is allowed
  EXPECT_EQ(wb->name(1)->name(), "'my sheet'!Area");
  EXPECT_TRUE(m_host->isModified());
}

TEST_F(Host, VisibilityKeepsOneVisibleSheetAndMovesTheActiveOne) {
  auto wb = open();
  EXPECT_EQ(wb->activeSheet()->name(), "Sheet1");
  wb->sheet(1)->setVisible(excel::xlSheetVeryHidden);
  EXPECT_EQ(wb->activeSheet()->name(), "Graph");
  EXPECT_EQ(wb->activeChart()->name(), "Graph");  // an active chart sheet is the active chart
  wb->sheet(2)->setVisible(excel::xlSheetHidden);
  EXPECT_TRUE(fails([&] { wb->sheet(3)->setVisible(excel::xlSheetHidden); }));  // the last visible one
  EXPECT_TRUE(fails([&] { wb->sheet(1)->select(); }));                          // hidden sheets cannot be selected
  EXPECT_TRUE(fails([&] { wb->sheet(3)->setVisible(7); }));
  wb = saveAndReopen();
  EXPECT_EQ(wb->sheet(1)->visible(), excel::xlSheetVeryHidden);
  EXPECT_EQ(wb->sheet(2)->visible(), excel::xlSheetHidden);
  EXPECT_EQ(wb->activeSheet()->name(), "My Sheet");
}

TEST_F(Host, ProtectedStructureRefusesSheetChangesAndChangesNothing) {
  auto outline = sample();
  outline.protectStructure = true;
  auto wb = open(outline);
  EXPECT_TRUE(wb->protectStructure());
  EXPECT_TRUE(fails([&] { wb->worksheetsAdd(); }));
  EXPECT_TRUE(fails([&] { wb->sheet(1)->setName(QStringLiteral("New")); }));
  EXPECT_TRUE(fails([&] { wb->sheet(3)->setVisible(excel::xlSheetVeryHidden); }));
  EXPECT_EQ(wb->sheets().size(), 3u);
  EXPECT_FALSE(m_host->isModified());
}

TEST_F(Host, NamesReportScopeAndFailWithoutARange) {
  auto wb = open();
  EXPECT_EQ(wb->name(1)->name(), "'My Sheet'!Area");
  EXPECT_EQ(wb->name(QStringLiteral("'my sheet'!area"))->refersTo(), "='My Sheet'!$A$1:$B$2");
  EXPECT_EQ(wb->worksheet(QStringLiteral("My Sheet"))->range(QStringLiteral("Area"))->address(), "$A$1:$B$2");
  EXPECT_TRUE(fails([&] { wb->worksheet(QStringLiteral("Sheet1"))->range(QStringLiteral("Area")); }));
  for (int i : {2, 3, 4}) EXPECT_TRUE(fails([&] { wb->name(i)->refersToRange(); })) << i;
  EXPECT_TRUE(fails([&] { wb->name(QStringLiteral("Area")); }));  // a sheet-level name needs its prefix
  for (const QString& bad : {QStringLiteral("A1"), QStringLiteral("R2C2"), QStringLiteral("my name"), QStringLiteral("1x")})
    EXPECT_TRUE(fails([&] { wb->namesAdd(bad, QStringLiteral("=Sheet1!C1")); })) << bad.toStdString();
  EXPECT_TRUE(fails([&] { wb->namesAdd(QStringLiteral("x"), QStringLiteral("=Nowhere!C1")); }));
  wb->namesAdd(QStringLiteral("Rate"), QStringLiteral("=0.5"));
  EXPECT_EQ(wb->name(QStringLiteral("rate"))->refersTo(), "=0.5");
  wb->namesAdd(QStringLiteral("RATE"), QStringLiteral("='My Sheet'!R1C1:R2C2"));  // replaces, as the program does
  EXPECT_EQ(wb->namesCount(), 5);
  EXPECT_EQ(wb->name(5)->refersTo(), "='My Sheet'!$A$1:$B$2");
}

TEST_F(Host, CellTypingFollowsTheCellsFormat) {
  auto wb = open();
  auto sheet = wb->worksheet(QStringLiteral("Sheet1"));
  EXPECT_EQ(sheet->cells(6, 2)->value(), Variant("99"));  // a text cell
  sheet->cells(6, 2)->setValue(QStringLiteral("100"));
  EXPECT_EQ(sheet->cells(6, 2)->value(), Variant("100"));
  sheet->cells(7, 2)->setValue(QStringLiteral("1.5E3"));
  EXPECT_EQ(sheet->cells(7, 2)->value(), Variant(1500.0));
  sheet->cells(7, 2)->setValue(QStringLiteral("12 apples"));
  EXPECT_EQ(sheet->cells(7, 2)->value(), Variant("12 apples"));
  sheet->range(QStringLiteral("C1:C2"))->setNumberFormat(QStringLiteral("@"));
  sheet->range(QStringLiteral("C1:C2"))->setValue(QStringLiteral("001"));
  EXPECT_EQ(sheet->cells(2, 3)->value(), Variant("001"));
  EXPECT_EQ(sheet->cells(3, 3)->numberFormat(), "General");
  sheet->columns(QStringLiteral("D"))->setNumberFormat(QStringLiteral("0"));
  sheet->cells(9, 4)->setValue(QStringLiteral("4"));
  EXPECT_EQ(sheet->cells(9, 4)->value(), Variant(4));
  EXPECT_EQ(sheet->cells(9, 4)->numberFormat(), "0");
  wb = saveAndReopen();
  sheet = wb->worksheet(QStringLiteral("Sheet1"));
  EXPECT_EQ(sheet->cells(2, 3)->value(), Variant("001"));
  EXPECT_EQ(sheet->cells(9, 4)->value(), Variant(4));
  EXPECT_EQ(sheet->cells(500, 4)->numberFormat(), "0");  // a column style, not cells
}

TEST_F(Host, FindUsesTheProgramsDefaultOptions) {
  auto wb = open();
  auto sheet = wb->worksheet(QStringLiteral("Sheet1"));
  auto column = sheet->range(QStringLiteral("b1:b10000"));
  // After the first cell first: B3 holds "graph" as part of its text, in other case.
  EXPECT_EQ(column->find(QStringLiteral("graph"), excel::xlValues)->address(), "$B$3");
  // Wraps round to the first cell when nothing after it matches.
  EXPECT_EQ(column->find(QStringLiteral("Graph"), excel::xlValues)->row(), 3);
  sheet->cells(3, 2)->setValue(QStringLiteral("x"));
  EXPECT_EQ(column->find(QStringLiteral("Graph"), excel::xlValues)->row(), 1);
  EXPECT_EQ(column->find(QStringLiteral("12"), excel::xlValues)->row(), 4);  // numbers as shown
  EXPECT_EQ(column->find(QStringLiteral("true"), excel::xlValues)->row(), 5);
  EXPECT_EQ(column->find(QStringLiteral("nothing like it"), excel::xlValues), nullptr);
  EXPECT_EQ(sheet->range(QStringLiteral("c1:c10"))->find(QStringLiteral("Graph"), excel::xlValues), nullptr);
}

TEST_F(Host, MaxAndCurrentRegionOnSparseCells) {
  auto wb = open();
  auto sheet = wb->worksheet(QStringLiteral("Sheet1"));
  // Max counts numbers only: not TRUE, not the text "99".
  EXPECT_EQ(m_app->max(*sheet->range(QStringLiteral("B1:B100"))), 12);
  sheet->cells(20, 2)->setValue(-3);
  EXPECT_EQ(m_app->max(*sheet->range(QStringLiteral("B20"))), -3);
  EXPECT_EQ(m_app->min({Variant(3), Variant(true), Variant("2")}), 1);
  EXPECT_TRUE(fails([&] { m_app->min({Variant("two")}); }));
  // B1 with B3:B6 below a gap at B2: a row gap alone does not separate them diagonally.
  EXPECT_EQ(sheet->range(QStringLiteral("B1"))->currentRegion()->address(), "$B$1");
  EXPECT_EQ(sheet->range(QStringLiteral("B4"))->currentRegion()->address(), "$B$3:$B$6");
  // An empty start cell next to data joins it.
  EXPECT_EQ(sheet->range(QStringLiteral("C7"))->currentRegion()->address(), "$B$3:$C$7");
  EXPECT_EQ(sheet->range(QStringLiteral("XFD1048576"))->currentRegion()->address(), "$XFD$1048576");
}

TEST_F(Host, ChartRenamingThroughActiveChartSurvivesSaving) {
  auto wb = open();
  int k = 0;
  for (const auto& ws : wb->worksheets()) {
    for (const auto& object : ws->chartObjects()) {
      object->activate();
      wb->activeChart()->parent()->setName(QStringLiteral("Chart %1").arg(++k));
    }
  }
  // Activating a chart shows its sheet: the last one activated is on My Sheet.
  EXPECT_EQ(wb->activeSheet()->name(), "My Sheet");
  EXPECT_EQ(wb->activeChart()->name(), "My Sheet Chart 3");
  EXPECT_TRUE(fails([&] { wb->chart(QStringLiteral("Graph"))->parent(); }));
  EXPECT_TRUE(m_host->isModified());
  wb = saveAndReopen();
  EXPECT_FALSE(m_host->isModified());
  EXPECT_EQ(wb->worksheet(QStringLiteral("Sheet1"))->chartObjects()[1]->name(), "Chart 2");
  EXPECT_EQ(wb->worksheet(QStringLiteral("My Sheet"))->chartObject(QStringLiteral("chart 3"))->name(), "Chart 3");
}

TEST_F(Host, ChartKeysTakenNowAreSavedAsCreationIdsBesideTheFilesOwn) {
  testbook::WorkbookOutline outline = sample();
  const QString id = QStringLiteral("{00000000-0008-0000-0000-000002000000}");
  outline.sheets[0].charts[0].creationId = id;
  auto wb = open(outline);
  auto charts = wb->worksheet(QStringLiteral("Sheet1"))->chartObjects();
  EXPECT_EQ(charts[0]->stableKey(), id);
  EXPECT_FALSE(m_host->isModified());  // the file's own id changes nothing
  const QString own = charts[1]->stableKey();
  EXPECT_TRUE(m_host->isModified());
  charts[1]->setName(QStringLiteral("Chart 2"));
  wb = saveAndReopen();
  charts = wb->worksheet(QStringLiteral("Sheet1"))->chartObjects();
  EXPECT_EQ(charts[0]->stableKey(), id);
  EXPECT_EQ(charts[1]->stableKey(), own);
  EXPECT_EQ(charts[1]->name(), "Chart 2");
  EXPECT_FALSE(m_host->isModified());
  // Each frame holds one id, in the namespace office programs read it from.
  auto package = ooxml::Package::open(m_path);
  ASSERT_TRUE(package.ok());
  const QByteArray drawing =
      package.value()->read(QStringLiteral("/xl/drawings/drawing1.xml")).value();
  EXPECT_EQ(drawing.count("creationId "), 2) << drawing.toStdString();
  EXPECT_TRUE(drawing.contains("=\"http://schemas.microsoft.com/office/drawing/2014/main\""));
}

TEST_F(Host, LoaderNamesTheFileItCannotRead) {
  auto missing = hosts::workbook::openWorkbook(m_dir.filePath("absent.xlsx"));
  ASSERT_FALSE(missing.ok());
  EXPECT_TRUE(missing.error().message.contains("absent.xlsx")) << missing.error().message.toStdString();
  QFile text(m_dir.filePath("notes.xlsx"));
  ASSERT_TRUE(text.open(QIODevice::WriteOnly));
  text.write("plain text");
  text.close();
  auto bad = hosts::workbook::openWorkbook(text.fileName());
  ASSERT_FALSE(bad.ok());
  EXPECT_TRUE(bad.error().message.contains("notes.xlsx"));
  auto wb = open();
  EXPECT_EQ(wb->fullName(), m_path);
  EXPECT_TRUE(QFileInfo(wb->fullName()).isAbsolute());
  EXPECT_EQ(wb->name(), "Host.xlsx");
}

}  // namespace
