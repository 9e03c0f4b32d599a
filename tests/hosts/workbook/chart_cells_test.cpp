// Charts whose parts carry formulas without cached values: how their references resolve, how
// the cells read, what the filled chart holds, and what the host's picture of it shows.
#include "hosts/workbook/chart_cache_fill.h"
#include "hosts/workbook/chart_cells.h"
#include "hosts/workbook/host.h"
#include "ooxml/chart/chart_reader.h"
#include "ooxml/chart/theme.h"
#include "render/chart/chart_layout.h"
#include "support/test_env.h"
#include "workbook_fixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace morvane;

using hosts::workbook::ChartCacheReport;
using testfixture::ChartRefs;
using testfixture::PartEdit;

namespace {

const QString kChart = QStringLiteral("/xl/charts/chart1.xml");
const QString kDataSheet = QStringLiteral("/xl/worksheets/sheet1.xml");

// Data: A1:D4 a small table (C as percentages, D as dates), B5 empty, B6 5, F2:G4 two
// levels of categories; one chart.
// My Sheet: A1:A2. Graph: a chart sheet. Names of every kind a chart formula may use.
testbook::WorkbookOutline cellsBook() {
  testbook::WorkbookOutline outline;
  outline.fileName = QStringLiteral("Cells.xlsx");
  testbook::SheetOutline data;
  data.name = QStringLiteral("Data");
  data.charts = {{QStringLiteral("Bars"), QString()}};
  const QStringList header = {"Month", "Units", "Share", "Day"};
  for (int c = 0; c < 4; ++c) data.cells[{1, c + 1}] = header[c];
  const QStringList months = {"Jan", "Feb", "Mar"};
  const double units[] = {10, 40, 20}, shares[] = {0.25, 0.5, 0.125};
  for (int r = 0; r < 3; ++r) {
    data.cells[{r + 2, 1}] = months[r];
    data.cells[{r + 2, 2}] = units[r];
    data.cells[{r + 2, 3}] = shares[r];
    data.cells[{r + 2, 4}] = 45658.0 + 31 * r;  // 1 Jan, 1 Feb, 4 Mar 2025
    data.formats[{r + 2, 3}] = QStringLiteral("0.0%");
    data.formats[{r + 2, 4}] = QStringLiteral("d mmm yyyy");
  }
  data.cells[{6, 2}] = 5.0;
  // F2:G4: two levels of categories, the outer one naming where its groups start.
  data.cells[{2, 6}] = QStringLiteral("First");
  data.cells[{4, 6}] = QStringLiteral("Second");
  for (int r = 0; r < 3; ++r) data.cells[{r + 2, 7}] = months[r];
  testbook::SheetOutline mine;
  mine.name = QStringLiteral("My Sheet");
  mine.cells[{1, 1}] = 7.0;
  mine.cells[{2, 1}] = 8.0;
  testbook::SheetOutline graph;
  graph.kind = testbook::SheetOutline::Kind::ChartSheet;
  graph.name = QStringLiteral("Graph");
  outline.sheets = {data, mine, graph};
  auto name = [](const char* n, const char* refersTo, const char* sheet = "") {
    return testbook::NameOutline{QString::fromUtf8(n), QString::fromUtf8(refersTo), false, QString::fromUtf8(sheet)};
  };
  outline.names = {name("Units", "Data!$B$2:$B$4"), name("Local", "'My Sheet'!$A$1:$A$2", "My Sheet"),
                   name("Alias", "Units"),          name("Loop1", "Loop2"),
                   name("Loop2", "Loop1"),          name("Gone", "Nowhere!$A$1")};
  return outline;
}

class ChartCells : public ::testing::Test {
 protected:
  // Writes the book with its chart replaced by `chart` and opens it in a host.
  bool open(const QByteArray& chart, QList<PartEdit> edits = {}) {
    const QString path = m_dir.filePath(QStringLiteral("Cells.xlsx"));
    edits.append({kChart, chart, {}});
    const QString written = testfixture::writeEdited(cellsBook(), path, edits);
    EXPECT_TRUE(written.isEmpty()) << written.toStdString();
    auto opened = hosts::workbook::openWorkbook(path);
    EXPECT_TRUE(opened.ok()) << (opened.ok() ? "" : opened.error().message.toStdString());
    if (!opened.ok()) return false;
    m_host = opened->host;
    m_app = opened->application;
    return written.isEmpty();
  }
  bool open() { return open(testfixture::barChartXml({})); }
  const ooxml::xlsx::WorkbookModel& model() const { return m_host->document().model(); }
  QByteArray chartBytes() const { return m_host->document().package().read(kChart).value(); }
  // The chart part as the host reads it, its missing caches filled.
  ooxml::chart::ChartModel filledChart(ChartCacheReport* report = nullptr) const {
    auto chart = ooxml::chart::readChartXml(
        hosts::workbook::fillChartCaches(chartBytes(), model(), report), kChart);
    EXPECT_TRUE(chart.ok()) << (chart.ok() ? "" : chart.error().message.toStdString());
    return chart.ok() ? chart.value() : ooxml::chart::ChartModel();
  }
  // The host's bitmap of the chart, as CopyPicture leaves it on the clipboard.
  QImage copiedBitmap() const {
    auto chart = m_app->activeWorkbook()->worksheet(QStringLiteral("Data"))->chartObjects().at(0)->chart();
    chart->copyPicture(excel::xlScreen, excel::xlScreen, excel::xlBitmap);
    return qvariant_cast<QImage>(QGuiApplication::clipboard()->mimeData()->imageData());
  }

  QTemporaryDir m_dir;
  std::shared_ptr<hosts::workbook::WorkbookHost> m_host;
  std::shared_ptr<excel::Application> m_app;
};

TEST_F(ChartCells, ReferencesResolveInEveryFormChartFilesUse) {
  ASSERT_TRUE(open());
  const struct {
    const char* formula;
    const char* sheet;
    const char* area;
  } good[] = {
      {"'My Sheet'!$A$1:$A$2", "My Sheet", "$A$1:$A$2"}, {"Data!B2:B4", "Data", "$B$2:$B$4"},
      {"=Data!$B$2:$B$4", "Data", "$B$2:$B$4"},         {"(Data!$B$2:$B$4)", "Data", "$B$2:$B$4"},
      {"'Data'!B$1", "Data", "$B$1"},                   {"data!$A:$A", "Data", "$A:$A"},
      {"Units", "Data", "$B$2:$B$4"},                   {"[0]!Units", "Data", "$B$2:$B$4"},
      {"'Cells.xlsx'!Units", "Data", "$B$2:$B$4"},      {"'My Sheet'!Local", "My Sheet", "$A$1:$A$2"},
      {"Alias", "Data", "$B$2:$B$4"},
  };
  for (const auto& row : good) {
    auto area = hosts::workbook::resolveChartReference(model(), QString::fromUtf8(row.formula));
    ASSERT_TRUE(area.ok()) << row.formula << ": " << area.error().message.toStdString();
    EXPECT_EQ(area->sheet, row.sheet) << row.formula;
    EXPECT_EQ(ooxml::xlsx::formatA1Area(area->area), row.area) << row.formula;
  }
  const struct {
    const char* formula;
    const char* why;
  } bad[] = {
      {"Nowhere!$A$1", "no sheet named Nowhere"},     {"Graph!$A$1", "Graph is not a worksheet"},
      {"[1]Data!$A$1", "another workbook"},           {"Data!$A$1,Data!$A$3", "not one area"},
      {"Data!Local", "no name Local"},                {"NoSuch", "no name NoSuch"},
      {"Loop1", "not one area"},                      {"#REF!", "not one area"},
      {"Gone", "no sheet named Nowhere"},             {"", "not one area"},
  };
  for (const auto& row : bad) {
    auto area = hosts::workbook::resolveChartReference(model(), QString::fromUtf8(row.formula));
    ASSERT_FALSE(area.ok()) << row.formula;
    EXPECT_TRUE(area.error().message.contains(QString::fromUtf8(row.why))) << area.error().message.toStdString();
  }
}

TEST_F(ChartCells, CellsReadAsTheyShowWithGapsAndTheFirstCellsFormat) {
  ASSERT_TRUE(open());
  auto shares = hosts::workbook::readChartCells(model(), u"Data!$C$2:$C$4", true);
  ASSERT_TRUE(shares.ok());
  EXPECT_EQ(shares->formatCode, "0.0%");
  ASSERT_EQ(shares->points.size(), 3u);
  EXPECT_EQ(shares->points[2].number, 0.125);
  EXPECT_EQ(shares->points[2].text, "12.5%");

  auto days = hosts::workbook::readChartCells(model(), u"Data!$D$2:$D$4", true);
  ASSERT_TRUE(days.ok());
  EXPECT_EQ(days->points[0].text, "1 Jan 2025");
  EXPECT_EQ(days->points[2].text, "4 Mar 2025");

  // A whole column stops at its last cell; the empty B5 stays a gap in its place.
  auto units = hosts::workbook::readChartCells(model(), u"Data!$B:$B", true);
  ASSERT_TRUE(units.ok());
  ASSERT_EQ(units->points.size(), 6u);
  EXPECT_EQ(units->points[0].text, "Units");
  EXPECT_FALSE(units->points[0].number.has_value());
  EXPECT_TRUE(units->points[4].empty);
  EXPECT_EQ(units->points[5].number, 5.0);
  EXPECT_EQ(units->formatCode, "General");

  auto header = hosts::workbook::readChartCells(model(), u"Data!$A$1:$D$1", true);
  ASSERT_TRUE(header.ok());
  ASSERT_EQ(header->points.size(), 4u);
  EXPECT_EQ(header->points[3].text, "Day");

  EXPECT_FALSE(hosts::workbook::readChartCells(model(), u"Data!$A$1:$B$2", true).ok());
  // A column's worth of points is read; the blanks past the stored cells are bounded.
  auto endless = hosts::workbook::readChartCells(model(), u"Data!$B$2:$B$1048576", true);
  ASSERT_TRUE(endless.ok());
  EXPECT_LT(endless->points.size(), 100100u);
  EXPECT_GT(endless->points.size(), 100000u);
}

// The way openpyxl writes a chart: default namespace, references with formulas only.
TEST_F(ChartCells, MissingCachesAreFilledForValuesCategoriesNamesAndTitles) {
  ChartRefs refs;
  refs.name = QStringLiteral("'Data'!B1");
  refs.categories = QStringLiteral("Data!$A$2:$A$4");
  refs.values = QStringLiteral("Data!$B$2:$B$4");
  refs.title = QStringLiteral("Data!$C$1");
  refs.defaultNamespace = true;
  ASSERT_TRUE(open(testfixture::barChartXml(refs)));
  ChartCacheReport report;
  const ooxml::chart::ChartModel chart = filledChart(&report);
  EXPECT_EQ(report.filled, 4);
  EXPECT_TRUE(report.unresolved.isEmpty()) << report.unresolved.join('\n').toStdString();
  ASSERT_EQ(chart.plotArea.groups.size(), 1u);
  ASSERT_EQ(chart.plotArea.groups[0].series.size(), 1u);
  const ooxml::chart::Series& s = chart.plotArea.groups[0].series[0];
  EXPECT_EQ(s.name, "Units");
  ASSERT_EQ(s.values.count(), 3);
  EXPECT_EQ(s.values.number(0), 10.0);
  EXPECT_EQ(s.values.number(1), 40.0);
  EXPECT_EQ(s.values.number(2), 20.0);
  EXPECT_EQ(s.values.formatCode, "General");
  EXPECT_EQ(s.categories.text(1), "Feb");
  EXPECT_EQ(chart.title.referenceText, "Share");
  EXPECT_FALSE(
      render::chart::layoutChart(chart, ooxml::chart::defaultTheme(), QRectF(0, 0, 360, 216))
          .placeholder);
}

TEST_F(ChartCells, CategoriesKeepNumbersWithTheirFormatOrShowTheirTexts) {
  ChartRefs refs;
  refs.values = QStringLiteral("Data!$B$2:$B$4");
  refs.categories = QStringLiteral("Data!$D$2:$D$4");
  refs.numericCategories = true;
  ASSERT_TRUE(open(testfixture::barChartXml(refs)));
  const ooxml::chart::DataCache dates = filledChart().plotArea.groups.at(0).series.at(0).categories;
  EXPECT_TRUE(dates.numeric);
  EXPECT_EQ(dates.number(0), 45658.0);
  EXPECT_EQ(dates.formatCode, "d mmm yyyy");

  refs.numericCategories = false;
  ASSERT_TRUE(open(testfixture::barChartXml(refs)));
  EXPECT_EQ(filledChart().plotArea.groups.at(0).series.at(0).categories.text(1), "1 Feb 2025");

  // openpyxl reads categories as numbers even over text cells: the texts still show.
  refs.categories = QStringLiteral("Data!$A$2:$A$4");
  refs.numericCategories = true;
  ASSERT_TRUE(open(testfixture::barChartXml(refs)));
  const ooxml::chart::DataCache months =
      filledChart().plotArea.groups.at(0).series.at(0).categories;
  EXPECT_EQ(months.text(2), "Mar");
  EXPECT_FALSE(months.number(2).has_value());
}

TEST_F(ChartCells, MultiLevelCategoriesAreFilledLevelByLevel) {
  ChartRefs refs;
  refs.values = QStringLiteral("Data!$B$2:$B$4");
  refs.categories = QStringLiteral("Data!$F$2:$G$4");
  refs.multiLevelCategories = true;
  ASSERT_TRUE(open(testfixture::barChartXml(refs)));
  const ooxml::chart::DataCache categories =
      filledChart().plotArea.groups.at(0).series.at(0).categories;
  ASSERT_EQ(categories.levels.size(), 2u);
  EXPECT_EQ(categories.levels[0], (std::vector<QString>{"Jan", "Feb", "Mar"}));
  EXPECT_EQ(categories.levels[1], (std::vector<QString>{"First", "", "Second"}));
  EXPECT_EQ(categories.text(2), "Mar");

  // A plain reference over two columns, as some writers store level categories, gives levels.
  refs.multiLevelCategories = false;
  ASSERT_TRUE(open(testfixture::barChartXml(refs)));
  const ooxml::chart::DataCache plain = filledChart().plotArea.groups.at(0).series.at(0).categories;
  ASSERT_EQ(plain.levels.size(), 2u);
  EXPECT_EQ(plain.levels[1], (std::vector<QString>{"First", "", "Second"}));

  // Wider than tall: the points run along the rows, the last row innermost.
  auto across = hosts::workbook::readChartCellLevels(model(), u"Data!$A$1:$D$2", true);
  ASSERT_TRUE(across.ok());
  ASSERT_EQ(across->size(), 2u);
  ASSERT_EQ(across->at(0).points.size(), 4u);
  EXPECT_EQ(across->at(0).points[0].text, "Jan");
  EXPECT_EQ(across->at(1).points[3].text, "Day");
}

TEST_F(ChartCells, CachesTheFileHasAreKeptAndNewOnesGoBeforeExtensions) {
  ChartRefs refs;
  refs.values = QStringLiteral("Data!$B$2:$B$4");
  refs.extraInValues = QStringLiteral("<c:numCache><c:formatCode>0</c:formatCode><c:ptCount val=\"1\"/>"
                                      "<c:pt idx=\"0\"><c:v>99</c:v></c:pt></c:numCache>");
  ASSERT_TRUE(open(testfixture::barChartXml(refs)));
  EXPECT_EQ(hosts::workbook::fillChartCaches(chartBytes(), model()), chartBytes());
  EXPECT_EQ(filledChart().plotArea.groups.at(0).series.at(0).values.number(0), 99.0);

  refs.extraInValues = QStringLiteral("<c:extLst><c:ext uri=\"{any}\"/></c:extLst>");
  ASSERT_TRUE(open(testfixture::barChartXml(refs)));
  const QByteArray filled = hosts::workbook::fillChartCaches(chartBytes(), model());
  ASSERT_GT(filled.indexOf("<c:numCache>"), 0) << filled.toStdString();
  EXPECT_LT(filled.indexOf("<c:numCache>"), filled.indexOf("<c:extLst>"));
  EXPECT_EQ(filledChart().plotArea.groups.at(0).series.at(0).values.number(2), 20.0);
}

TEST_F(ChartCells, HiddenRowsAreLeftOutUnlessTheChartPlotsThem) {
  ChartRefs refs;
  refs.values = QStringLiteral("Data!$B$2:$B$4");
  const PartEdit hideRow3{kDataSheet, "<row r=\"3\" hidden=\"1\">", "<row r=\"3\">"};
  ASSERT_TRUE(open(testfixture::barChartXml(refs), {hideRow3}));
  const ooxml::chart::DataCache visible = filledChart().plotArea.groups.at(0).series.at(0).values;
  ASSERT_EQ(visible.count(), 2);
  EXPECT_EQ(visible.number(1), 20.0);

  refs.plotVisibleOnly = false;
  ASSERT_TRUE(open(testfixture::barChartXml(refs), {hideRow3}));
  EXPECT_EQ(filledChart().plotArea.groups.at(0).series.at(0).values.count(), 3);
}

TEST_F(ChartCells, AnUnresolvedReferenceLeavesThePlaceholderAndIsReported) {
  ChartRefs refs;
  refs.name = QStringLiteral("Data!$B$1");
  refs.values = QStringLiteral("Nowhere!$B$2:$B$4");
  ASSERT_TRUE(open(testfixture::barChartXml(refs)));
  ChartCacheReport report;
  const ooxml::chart::ChartModel chart = filledChart(&report);
  EXPECT_EQ(report.filled, 1);
  ASSERT_EQ(report.unresolved.size(), 1);
  EXPECT_TRUE(report.unresolved[0].contains(QLatin1String("Nowhere"))) << report.unresolved[0].toStdString();
  const render::chart::ChartLayout layout =
      render::chart::layoutChart(chart, ooxml::chart::defaultTheme(), QRectF(0, 0, 360, 216));
  EXPECT_TRUE(layout.placeholder);
  EXPECT_TRUE(layout.placeholderReason.contains(QLatin1String("no cached data")));
  // The host still copies it: the placeholder picture, with no bars in it.
  const QImage image = copiedBitmap();
  ASSERT_FALSE(image.isNull());
  EXPECT_TRUE(testfixture::barHeights(image).empty());
}

TEST_F(ChartCells, StrictChartsAreFilledToo) {
  ChartRefs refs;
  refs.values = QStringLiteral("Data!$B$2:$B$4");
  const QByteArray strict = testfixture::barChartXml(refs).replace("http://schemas.openxmlformats.org/drawingml/2006/chart",
                                                                   "http://purl.oclc.org/ooxml/drawingml/chart");
  ASSERT_TRUE(open(strict));
  EXPECT_EQ(filledChart().plotArea.groups.at(0).series.at(0).values.number(1), 40.0);
}

// Chart parts and references no real file has: nothing crashes, nothing is invented.
class ChartCellsHostile : public ChartCells {};

TEST_F(ChartCellsHostile, UnreadableXmlIsLeftForTheChartReaderToReport) {
  ASSERT_TRUE(open());
  const QByteArray truncated = "<c:chartSpace xmlns:c=\"http://schemas.openxmlformats.org/drawingml/2006/chart\">"
                               "<c:chart><c:numRef><c:f>Data!$B$2:$B$4</c:f></c:numRef>";
  const QByteArray withDtd = "<!DOCTYPE x [<!ENTITY a \"aaaa\">]><c:chartSpace xmlns:c=\"http://schemas.openxmlformats.org/"
                             "drawingml/2006/chart\"><c:numRef><c:f>Data!$B$2</c:f></c:numRef></c:chartSpace>";
  const QByteArray undeclared = "<c:chartSpace><c:numRef><c:f>Data!$B$2</c:f></c:numRef></c:chartSpace>";
  QByteArray deep = "<c:chartSpace xmlns:c=\"http://schemas.openxmlformats.org/drawingml/2006/chart\">";
  for (int i = 0; i < 300; ++i) deep += "<c:x>";
  deep += "<c:numRef><c:f>Data!$B$2</c:f></c:numRef>";
  for (int i = 0; i < 300; ++i) deep += "</c:x>";
  deep += "</c:chartSpace>";
  for (const QByteArray& xml : {truncated, withDtd, undeclared, deep}) {
    ChartCacheReport report;
    EXPECT_EQ(hosts::workbook::fillChartCaches(xml, model(), &report), xml);
    EXPECT_EQ(report.filled, 0);
  }
}

TEST_F(ChartCellsHostile, OddReferencesGiveReadableChartsAndNoInventedPoints) {
  ASSERT_TRUE(open());
  const QString garbage = QString(20000, QChar(u'\x2603'));
  const struct {
    const char* what;
    QString inValues;  // the whole content of the values' c:numRef
    int points;        // what the filled chart then holds (-1: the reference stays unfilled)
  } cases[] = {
      {"no formula", QString(), -1},
      {"two formulas: the first counts", QStringLiteral("<c:f>Data!$B$2</c:f><c:f>:$B$3</c:f>"), 1},
      {"a reference inside a reference",
       QStringLiteral("<c:f>Data!$B$2:$B$3</c:f><c:strRef><c:f>Data!$A$2</c:f></c:strRef>"), 2},
      {"the whole sheet", QStringLiteral("<c:f>Data!$1:$1048576</c:f>"), -1},
      {"whole rows and columns", QStringLiteral("<c:f>Data!$A:$XFD</c:f>"), -1},
      {"a name loop", QStringLiteral("<c:f>Loop1</c:f>"), -1},
      {"garbage", QStringLiteral("<c:f>%1</c:f>").arg(garbage), -1},
      {"an empty column", QStringLiteral("<c:f>Data!$Z:$Z</c:f>"), 0},
  };
  for (const auto& c : cases) {
    const QByteArray xml = testfixture::barChartXml({})
                               .replace("</c:ser>", QStringLiteral("<c:val><c:numRef>%1</c:numRef></c:val></c:ser>")
                                                        .arg(c.inValues).toUtf8());
    ChartCacheReport report;
    const QByteArray filled = hosts::workbook::fillChartCaches(xml, model(), &report);
    auto chart = ooxml::chart::readChartXml(filled, kChart);
    ASSERT_TRUE(chart.ok()) << c.what << ": " << chart.error().message.toStdString();
    const ooxml::chart::DataCache& values = chart->plotArea.groups.at(0).series.at(0).values;
    EXPECT_EQ(values.count(), std::max(0, c.points)) << c.what;
    EXPECT_EQ(report.filled, c.points >= 0 ? 1 : 0) << c.what;
  }
}

// The picture of a chart drawn from filled caches: bar heights follow the cells.
TEST_F(ChartCells, GeneratedChartDrawsItsCellValues) {
  ChartRefs refs;
  refs.values = QStringLiteral("Data!$B$2:$B$4");
  refs.categories = QStringLiteral("Data!$A$2:$A$4");
  ASSERT_TRUE(open(testfixture::barChartXml(refs)));
  const std::vector<int> bars = testfixture::barHeights(copiedBitmap());
  ASSERT_EQ(bars.size(), 3u);
  EXPECT_NEAR(bars[0], bars[1] / 4.0, 2);
  EXPECT_NEAR(bars[2], bars[1] / 2.0, 2);
}

const char kOpenpyxlCharts[] = R"PY(
import sys, openpyxl
from openpyxl.chart import BarChart, Reference
wb = openpyxl.Workbook()
ws = wb.active
ws.title = "Sales Data"
ws.append(["Month", "Units"])
for month, units in [("Jan", 10), ("Feb", 40), ("Mar", 20)]:
    ws.append([month, units])
gone = wb.create_sheet("Gone")
for v in (1, 2, 3):
    gone.append([v])
for source in (ws, gone):
    chart = BarChart()
    chart.legend = None
    chart.add_data(Reference(source, min_col=2 if source is ws else 1, min_row=1, max_row=4 if source is ws else 3),
                   titles_from_data=source is ws)
    if source is ws:
        chart.set_categories(Reference(ws, min_col=1, min_row=2, max_row=4))
    ws.add_chart(chart, "D2" if source is ws else "D20")
wb.remove(gone)
wb.save(sys.argv[1])
)PY";

TEST(ChartCellsOpenpyxl, OpenpyxlChartDrawsItsCellValuesAndAMissingSheetKeepsThePlaceholder) {
  MORVANE_REQUIRE(testfixture::haveOpenpyxl(), "python3-openpyxl");
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("Made.xlsx"));
  const QString failed = testfixture::runPython(kOpenpyxlCharts, {path});
  ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
  auto opened = hosts::workbook::openWorkbook(path);
  ASSERT_TRUE(opened.ok()) << opened.error().message.toStdString();
  auto objects = opened->application->activeWorkbook()->worksheet(QStringLiteral("Sales Data"))->chartObjects();
  ASSERT_EQ(objects.size(), 2u);
  auto bitmapOf = [](const std::shared_ptr<excel::ChartObject>& object) {
    object->chart()->copyPicture(excel::xlScreen, excel::xlScreen, excel::xlBitmap);
    return qvariant_cast<QImage>(QGuiApplication::clipboard()->mimeData()->imageData());
  };
  const std::vector<int> bars = testfixture::barHeights(bitmapOf(objects[0]));
  ASSERT_EQ(bars.size(), 3u);
  EXPECT_NEAR(bars[0], bars[1] / 4.0, 2);
  EXPECT_NEAR(bars[2], bars[1] / 2.0, 2);

  const QImage placeholder = bitmapOf(objects[1]);
  ASSERT_FALSE(placeholder.isNull());
  EXPECT_TRUE(testfixture::barHeights(placeholder).empty());
  // The placeholder's grey ground, where a drawn chart has its white chart area.
  EXPECT_EQ(placeholder.pixelColor(placeholder.width() / 20, placeholder.height() / 2), QColor(0xF2, 0xF2, 0xF2));
}

}  // namespace
