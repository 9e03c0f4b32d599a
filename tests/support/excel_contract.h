// The spreadsheet surface's contract: behaviour the tool relies on, written against excel.h
// alone and run on every implementation (the office double and the workbook host), so the
// double cannot drift from the real thing.
//
// Use: define a factory type with a member
//   std::shared_ptr<excel::Application> open(const testbook::WorkbookOutline& outline);
// (it may keep whatever it needs alive) and instantiate, in exactly one .cpp of a test:
//   INSTANTIATE_TYPED_TEST_SUITE_P(Double, ExcelContract, ::testing::Types<MyFactory>);
#pragma once

#include <gtest/gtest.h>

#include <QClipboard>
#include <QCryptographicHash>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QStringList>
#include <QXmlStreamReader>
#include <functional>

#include "office/automation_error.h"
#include "office/clipboard_formats.h"
#include "office/excel.h"
#include "support/workbook_outline.h"

namespace morvane::excel_contract {

using office::Variant;
using testbook::ChartOutline;
using testbook::NameOutline;
using testbook::SheetOutline;
using testbook::WorkbookOutline;

inline WorkbookOutline sampleWorkbook() {
  WorkbookOutline outline;
  outline.fileName = QStringLiteral("Contract.xlsx");
  SheetOutline sheet1;
  sheet1.name = QStringLiteral("Sheet1");
  sheet1.charts = {ChartOutline{QStringLiteral("Sales"), QStringLiteral("Sales")},
                   ChartOutline{QStringLiteral("Costs"), QStringLiteral("Costs")}};
  sheet1.cells[{1, 1}] = QStringLiteral("Region");
  sheet1.cells[{1, 2}] = QStringLiteral("Q1");
  sheet1.cells[{2, 1}] = QStringLiteral("North");
  sheet1.cells[{2, 2}] = 10.5;
  sheet1.cells[{3, 1}] = QStringLiteral("South");
  sheet1.cells[{3, 2}] = 7;
  SheetOutline graph;
  graph.kind = SheetOutline::Kind::ChartSheet;
  graph.name = QStringLiteral("Graph");
  graph.charts = {ChartOutline{QStringLiteral("Graph"), QStringLiteral("Overview")}};
  SheetOutline sheet2;
  sheet2.name = QStringLiteral("My Data");
  sheet2.visible = 0;
  sheet2.cells[{2, 3}] = 4;
  sheet2.cells[{3, 3}] = QStringLiteral("text");
  sheet2.cells[{4, 3}] = 9;
  outline.sheets = {sheet1, graph, sheet2};
  outline.names = {NameOutline{QStringLiteral("Area"), QStringLiteral("Sheet1!$A$1:$B$3")},
                NameOutline{QStringLiteral("Secret"), QStringLiteral("Sheet1!$A$1"), true},
                NameOutline{QStringLiteral("Rate"), QStringLiteral("0.98")},
                NameOutline{QStringLiteral("Broken"), QStringLiteral("#REF!")},
                NameOutline{QStringLiteral("Local"), QStringLiteral("'My Data'!$C$2:$C$4"), false,
                         QStringLiteral("My Data")}};
  return outline;
}

template <typename Factory>
class ExcelContract : public ::testing::Test {
 protected:
  std::shared_ptr<excel::Workbook> open(const WorkbookOutline& outline = sampleWorkbook()) {
    m_app = m_factory.open(outline);
    EXPECT_TRUE(m_app);
    auto wb = m_app ? m_app->activeWorkbook() : nullptr;
    EXPECT_TRUE(wb);
    return wb;
  }
  static QStringList names(const std::vector<std::shared_ptr<excel::Sheet>>& sheets) {
    QStringList out;
    for (const auto& s : sheets) out << s->name();
    return out;
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
  Factory m_factory;
  std::shared_ptr<excel::Application> m_app;
};

TYPED_TEST_SUITE_P(ExcelContract);

TYPED_TEST_P(ExcelContract, SheetsKeepTabOrderKindsAndStates) {
  auto wb = this->open();
  EXPECT_EQ(this->names(wb->sheets()), (QStringList{"Sheet1", "Graph", "My Data"}));
  EXPECT_EQ(this->names(wb->worksheets()), (QStringList{"Sheet1", "My Data"}));
  ASSERT_EQ(wb->charts().size(), 1u);
  EXPECT_EQ(wb->charts()[0]->name(), "Graph");
  EXPECT_EQ(wb->sheet(2)->type(), excel::SheetType::ChartSheet);
  EXPECT_EQ(wb->sheet(QStringLiteral("My Data"))->visible(), excel::xlSheetHidden);
  EXPECT_EQ(wb->sheet(1)->visible(), excel::xlSheetVisible);
  EXPECT_EQ(wb->name(), "Contract.xlsx");
  EXPECT_TRUE(wb->fullName().endsWith("Contract.xlsx"));
  EXPECT_FALSE(wb->protectStructure());
  EXPECT_EQ(this->m_app->version(), "16.0");
}

TYPED_TEST_P(ExcelContract, LookupsIgnoreCaseAndMissingOnesFail) {
  auto wb = this->open();
  EXPECT_EQ(wb->worksheet(QStringLiteral("sheet1"))->name(), "Sheet1");
  EXPECT_EQ(wb->chart(QStringLiteral("GRAPH"))->name(), "Graph");
  EXPECT_TRUE(this->fails([&] { wb->worksheet(QStringLiteral("Graph")); }));  // a chart sheet
  EXPECT_TRUE(this->fails([&] { wb->worksheet(QStringLiteral("Nope")); }));
  EXPECT_TRUE(this->fails([&] { wb->sheet(9); }));
  EXPECT_TRUE(this->fails([&] { wb->chart(QStringLiteral("Sheet1")); }));
  EXPECT_TRUE(this->fails([&] { wb->worksheet(QStringLiteral("Sheet1"))->chartObject(QStringLiteral("Nope")); }));
  EXPECT_TRUE(this->fails([&] { wb->sheet(QStringLiteral("Graph"))->cells(1, 1); }));
}

TYPED_TEST_P(ExcelContract, ChartObjectsInDrawingOrderRenamedThroughActiveChart) {
  auto wb = this->open();
  auto sheet = wb->worksheet(QStringLiteral("Sheet1"));
  auto objects = sheet->chartObjects();
  ASSERT_EQ(objects.size(), 2u);
  EXPECT_EQ(objects[0]->name(), "Sales");
  EXPECT_EQ(objects[1]->name(), "Costs");
  wb->sheets()[1]->select();  // the chart sheet: a chart on another sheet is activated next
  objects[1]->activate();
  EXPECT_EQ(wb->activeSheet()->name(), "Sheet1");  // activating a chart shows its sheet
  wb->activeChart()->parent()->setName(QStringLiteral("Chart 2"));
  EXPECT_EQ(sheet->chartObjects()[1]->name(), "Chart 2");
  EXPECT_EQ(sheet->chartObject(QStringLiteral("chart 2"))->name(), "Chart 2");
  EXPECT_EQ(this->m_app->activeChart()->parent()->name(), "Chart 2");
  EXPECT_TRUE(this->fails([&] { wb->charts()[0]->parent(); }));  // a chart sheet has no chart object
}

TYPED_TEST_P(ExcelContract, ChartKeysAreCreationIdsOrOwnOnesAndSurviveRenames) {
  WorkbookOutline outline = sampleWorkbook();
  const QString id = QStringLiteral("{0B1C2D3E-0000-4000-8000-00000000A001}");
  outline.sheets[0].charts[1].creationId = id;  // "Costs" has one, "Sales" none
  auto objects = this->open(outline)->worksheet(QStringLiteral("Sheet1"))->chartObjects();
  ASSERT_EQ(objects.size(), 2u);
  const QString own = objects[0]->stableKey();
  EXPECT_EQ(objects[1]->stableKey(), id);
  EXPECT_FALSE(own.isEmpty());
  EXPECT_NE(own, id);
  objects[0]->setName(QStringLiteral("Chart 9"));
  EXPECT_EQ(objects[0]->stableKey(), own);
  EXPECT_EQ(this->m_app->activeWorkbook()
                ->worksheet(QStringLiteral("Sheet1"))
                ->chartObjects()[0]
                ->stableKey(),
            own);
}

TYPED_TEST_P(ExcelContract, CellsKeepTheProgramsTypingRules) {
  auto wb = this->open();
  auto sheet = wb->worksheet(QStringLiteral("Sheet1"));
  EXPECT_TRUE(sheet->cells(20, 5)->value().isEmpty());
  EXPECT_EQ(sheet->cells(1, 1)->value(), Variant("Region"));
  EXPECT_EQ(sheet->cells(2, 2)->value(), Variant(10.5));
  sheet->cells(20, 5)->setValue(QStringLiteral("12"));
  EXPECT_EQ(sheet->cells(20, 5)->value(), Variant(12));  // numeric text becomes a number
  sheet->columns(QStringLiteral("F:F"))->setNumberFormat(QStringLiteral("@"));
  EXPECT_EQ(sheet->cells(20, 6)->numberFormat(), "@");
  sheet->cells(20, 6)->setValue(QStringLiteral("007"));
  EXPECT_EQ(sheet->cells(20, 6)->value(), Variant("007"));  // a text cell keeps text
  sheet->cells(20, 7)->setValue(true);
  EXPECT_EQ(sheet->cells(20, 7)->value(), Variant(true));
  sheet->cells(20, 5)->setValue(QString());
  EXPECT_TRUE(sheet->cells(20, 5)->value().isEmpty());
}

TYPED_TEST_P(ExcelContract, CurrentRegionStopsAtEmptyRowsAndColumns) {
  auto wb = this->open();
  auto sheet = wb->worksheet(QStringLiteral("Sheet1"));
  EXPECT_EQ(sheet->range(QStringLiteral("A1"))->currentRegion()->rowsCount(), 3);
  EXPECT_EQ(sheet->range(QStringLiteral("A1"))->currentRegion()->address(), "$A$1:$B$3");
  sheet->cells(5, 1)->setValue(QStringLiteral("after a gap"));
  EXPECT_EQ(sheet->range(QStringLiteral("A1"))->currentRegion()->rowsCount(), 3);
  sheet->cells(4, 3)->setValue(1);  // touches the block diagonally
  EXPECT_EQ(sheet->range(QStringLiteral("A1"))->currentRegion()->rowsCount(), 5);
  auto fresh = wb->worksheetsAdd();
  EXPECT_EQ(fresh->range(QStringLiteral("A1"))->currentRegion()->rowsCount(), 1);
}

TYPED_TEST_P(ExcelContract, MaxIgnoresTextsAndEmptyCells) {
  auto wb = this->open();
  auto data = wb->worksheet(QStringLiteral("My Data"));
  EXPECT_EQ(this->m_app->max(*data->range(QStringLiteral("c1:c10000"))), 9);
  EXPECT_EQ(this->m_app->max(*data->range(QStringLiteral("d1:d10000"))), 0);
  EXPECT_EQ(this->m_app->min({Variant(7), Variant(4)}), 4);
}

TYPED_TEST_P(ExcelContract, NamesInFileOrderWithScopeVisibilityAndRanges) {
  auto wb = this->open();
  ASSERT_EQ(wb->namesCount(), 5);
  QStringList listed;
  for (const auto& n : wb->names()) listed << n->name();
  EXPECT_EQ(listed, (QStringList{"Area", "Secret", "Rate", "Broken", "'My Data'!Local"}));
  EXPECT_TRUE(wb->name(1)->visible());
  EXPECT_FALSE(wb->name(2)->visible());
  auto area = wb->name(QStringLiteral("Area"))->refersToRange();
  EXPECT_EQ(area->worksheet()->name(), "Sheet1");
  EXPECT_EQ(area->address(), "$A$1:$B$3");
  EXPECT_EQ(wb->name(5)->refersToRange()->worksheet()->name(), "My Data");
  EXPECT_TRUE(this->fails([&] { wb->name(3)->refersToRange(); }));  // a constant
  EXPECT_TRUE(this->fails([&] { wb->name(4)->refersToRange(); }));  // #REF!
  EXPECT_EQ(wb->worksheet(QStringLiteral("Sheet1"))->range(QStringLiteral("Area"))->address(), "$A$1:$B$3");
  // A local name as the list shows it, and sheet-qualified addresses, on their own sheet only.
  auto myData = wb->worksheet(QStringLiteral("My Data"));
  EXPECT_EQ(myData->range(QStringLiteral("'My Data'!Local"))->address(), "$C$2:$C$4");
  EXPECT_EQ(myData->range(QStringLiteral("'my data'!$C$2"))->address(), "$C$2");
  EXPECT_TRUE(this->fails([&] { wb->worksheet(QStringLiteral("Sheet1"))->range(QStringLiteral("'My Data'!Local")); }));
  EXPECT_TRUE(this->fails([&] { wb->worksheet(QStringLiteral("Sheet1"))->range(QStringLiteral("'My Data'!A1")); }));
}

// Names of several areas of one sheet count them and have no RefersToRange; anything that
// is no range counts 0.
TYPED_TEST_P(ExcelContract, NamesCountTheAreasTheyReferTo) {
  auto outline = sampleWorkbook();
  SheetOutline comma;
  comma.name = QStringLiteral("a,b");
  outline.sheets.push_back(comma);
  const std::vector<std::pair<QString, int>> cases = {
      {QStringLiteral("Sheet1!$A$1:$B$3"), 1},
      {QStringLiteral("Sheet1!$A$1:$A$2,Sheet1!$C$1:$C$2"), 2},
      {QStringLiteral("'a,b'!$A$1,'A,B'!$B$2,'a,b'!$C:$C"), 3},
      {QStringLiteral("Sheet1!$A$1,'My Data'!$B$2"), 0},
      {QStringLiteral("Graph!$A$1,Graph!$B$1"), 0},
      {QStringLiteral("Sheet1!$A:$A,$1:$1"), 0},
      {QStringLiteral("0.98"), 0}};
  outline.names.clear();
  for (size_t i = 0; i < cases.size(); ++i)
    outline.names.push_back(NameOutline{QStringLiteral("N%1").arg(i), cases[i].first, false, {}});
  auto wb = this->open(outline);
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].first.toStdString());
    auto name = wb->name(int(i) + 1);
    EXPECT_EQ(name->areasCount(), cases[i].second);
    EXPECT_EQ(this->fails([&] { name->refersToRange(); }), cases[i].second != 1);
  }
}

TYPED_TEST_P(ExcelContract, NewWorksheetIsAppendedAndNamedWithR1C1) {
  auto wb = this->open();
  const QString active = wb->activeSheet()->name();
  auto added = wb->worksheetsAdd();
  added->setName(QStringLiteral("kukukukuZichron"));
  EXPECT_EQ(this->names(wb->sheets()).last(), "kukukukuZichron");
  EXPECT_EQ(wb->activeSheet()->name(), active);
  EXPECT_TRUE(this->fails([&] { wb->worksheetsAdd()->setName(QStringLiteral("SHEET1")); }));
  wb->namesAdd(QStringLiteral("kuku123"), QStringLiteral("=kukukukuZichron!C1:C8"));
  auto range = wb->name(QStringLiteral("kuku123"))->refersToRange();
  EXPECT_EQ(range->address(), "$A:$H");
  EXPECT_EQ(range->worksheet()->name(), "kukukukuZichron");
  wb->sheet(QStringLiteral("kukukukuZichron"))->range(QStringLiteral("kuku123"))->setNumberFormat(QStringLiteral("@"));
  wb->sheet(QStringLiteral("kukukukuZichron"))->setVisible(excel::xlSheetVeryHidden);
  EXPECT_EQ(wb->sheet(QStringLiteral("kukukukuZichron"))->visible(), excel::xlSheetVeryHidden);
  wb->sheet(QStringLiteral("kukukukuZichron"))->cells(1, 1)->setValue(QStringLiteral("1"));
  EXPECT_EQ(wb->sheet(QStringLiteral("kukukukuZichron"))->cells(1, 1)->value(), Variant("1"));
}

TYPED_TEST_P(ExcelContract, ProtectedStructureIsReported) {
  auto outline = sampleWorkbook();
  outline.protectStructure = true;
  auto wb = this->open(outline);
  EXPECT_TRUE(wb->protectStructure());
}

// The viewBox size of an SVG document's root, or an empty size.
inline QSizeF svgViewBoxSize(const QByteArray& svg) {
  QXmlStreamReader reader(svg);
  if (!reader.readNextStartElement() || reader.name() != QLatin1String("svg")) return {};
  const QStringList box = reader.attributes()
                              .value(QLatin1String("viewBox"))
                              .toString()
                              .split(QLatin1Char(' '), Qt::SkipEmptyParts);
  return box.size() == 4 ? QSizeF(box[2].toDouble(), box[3].toDouble()) : QSizeF();
}

// Every copy's bitmap holds twice the pixels of 96 dpi and says so (device pixel ratio 2,
// 192 dpi), so every reader measures the same size in points. An SVG picture copy offers the
// SVG in points beside that bitmap and no metafile; native copies offer the SVG too.
TYPED_TEST_P(ExcelContract, BitmapsAtTwiceTheResolutionAndSvgBesideThem) {
  auto wb = this->open();
  auto sheet = wb->worksheet(QStringLiteral("Sheet1"));
  auto chart = sheet->chartObject(QStringLiteral("Sales"))->chart();
  auto range = sheet->range(QStringLiteral("A1:B3"));
  using excel::xlBitmap, excel::xlScreen, excel::xlSvg;
  enum Offers { kBitmap, kSvg, kAll };
  const std::tuple<const char*, std::function<void()>, Offers> copies[] = {
      {"chart bitmap", [&] { chart->copyPicture(xlScreen, xlScreen, xlBitmap); }, kBitmap},
      {"range bitmap", [&] { range->copyPicture(xlScreen, xlBitmap); }, kBitmap},
      {"chart svg", [&] { chart->copyPicture(xlScreen, xlScreen, xlSvg); }, kSvg},
      {"range svg", [&] { range->copyPicture(xlScreen, xlSvg); }, kSvg},
      {"chart area", [&] { chart->chartAreaCopy(); }, kAll},
      {"range", [&] { range->copy(); }, kAll}};
  for (const auto& [what, copy, offers] : copies) {
    SCOPED_TRACE(what);
    copy();
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    const QImage image = qvariant_cast<QImage>(mime->imageData());
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.devicePixelRatio(), 2.0);
    EXPECT_EQ(image.dotsPerMeterX(), 7559);
    EXPECT_EQ(image.dotsPerMeterY(), 7559);
    EXPECT_EQ(mime->hasFormat(office::kSvgMime), offers != kBitmap);
    if (offers == kBitmap) continue;
    if (offers == kSvg) {
      EXPECT_FALSE(mime->hasFormat(office::kEmfMime));
    }
    const QSizeF points = svgViewBoxSize(mime->data(office::kSvgMime));
    EXPECT_NEAR(points.width(), image.deviceIndependentSize().width() * 0.75, 0.5);
    EXPECT_NEAR(points.height(), image.deviceIndependentSize().height() * 0.75, 0.5);
  }
}

// A copy that cannot make its object's picture says so before anything reads the clipboard,
// and leaves no earlier picture there to be pasted in its place; other objects still copy.
TYPED_TEST_P(ExcelContract, CopiesThatCannotMakeThePictureSaySoAndLeaveNone) {
  auto outline = sampleWorkbook();
  outline.sheets[0].charts[1].unreadable = true;  // Costs
  outline.sheets[1].charts[0].unreadable = true;  // the chart sheet Graph
  auto wb = this->open(outline);
  auto sheet = wb->worksheet(QStringLiteral("Sheet1"));
  auto costs = sheet->chartObject(QStringLiteral("Costs"))->chart();
  auto graph = wb->chart(QStringLiteral("Graph"));
  using excel::xlBitmap, excel::xlPicture, excel::xlScreen;
  const std::pair<const char*, std::function<void()>> copies[] = {
      {"chart area", [&] { costs->chartAreaCopy(); }},
      {"bitmap", [&] { costs->copyPicture(xlScreen, xlScreen, xlBitmap); }},
      {"metafile", [&] { costs->copyPicture(xlScreen, xlScreen, xlPicture); }},
      {"chart sheet", [&] { graph->copyPicture(xlScreen, xlScreen, xlBitmap); }}};
  for (const auto& [what, copy] : copies) {
    SCOPED_TRACE(what);
    sheet->chartObject(QStringLiteral("Sales"))->chart()->chartAreaCopy();
    int number = 0;
    try {
      copy();
    } catch (const office::AutomationError& error) {
      number = error.number();
    }
    EXPECT_EQ(number, office::AutomationError::kInvalidPicture);
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    EXPECT_TRUE(!mime || mime->formats().isEmpty()) << mime->formats().join(' ').toStdString();
  }
  sheet->range(QStringLiteral("A1:B3"))->copyPicture(xlScreen, xlBitmap);
  EXPECT_TRUE(QGuiApplication::clipboard()->mimeData()->hasImage());
}

// Pictures announced ahead (prefetchPictures) are the ones the copies would offer without the
// hint, in every form, failures included; hints naming no object change nothing.
TYPED_TEST_P(ExcelContract, AnnouncedCopiesOfferWhatUnannouncedOnesDo) {
  auto outline = sampleWorkbook();
  outline.sheets[0].charts[1].unreadable = true;  // Costs
  auto wb = this->open(outline);
  auto sheet = wb->worksheet(QStringLiteral("Sheet1"));
  using excel::xlBitmap, excel::xlPicture, excel::xlScreen, excel::xlSvg;
  using Kind = excel::PictureHint::Kind;
  using Use = excel::PictureUse;
  const std::pair<Use, int> uses[] = {{Use::Metafile, xlPicture},
                                      {Use::EncodedBitmap, xlBitmap},
                                      {Use::Bitmap, xlBitmap},
                                      {Use::Svg, xlSvg},
                                      {Use::Jpeg, xlBitmap}};
  // Chart sheet, embedded charts (one unreadable), a named range, in the run's order, and
  // objects that do not exist among them.
  const std::vector<excel::PictureHint> hints = {
      {Kind::ChartSheet, QStringLiteral("Graph"), {}},
      {Kind::EmbeddedChart, QStringLiteral("Sheet1"), QStringLiteral("Nothing")},
      {Kind::EmbeddedChart, QStringLiteral("Sheet1"), QStringLiteral("Sales")},
      {Kind::Name, QStringLiteral("Sheet1"), QStringLiteral("Broken")},
      {Kind::EmbeddedChart, QStringLiteral("Sheet1"), QStringLiteral("Costs")},
      {Kind::Name, QStringLiteral("Sheet1"), QStringLiteral("Area")},
      {Kind::ChartSheet, QStringLiteral("Missing"), {}}};
  for (const auto& entry : uses) {
    const Use use = entry.first;
    const int format = entry.second;  // a variable of its own: lambdas capture it
    SCOPED_TRACE(int(use));
    const std::vector<std::function<void()>> copies = {
        [&] { wb->chart(QStringLiteral("Graph"))->copyPicture(xlScreen, xlScreen, format); },
        [&] { sheet->chartObject(QStringLiteral("Sales"))->chart()->chartAreaCopy(); },
        [&] {
          sheet->chartObject(QStringLiteral("Sales"))
              ->chart()
              ->copyPicture(xlScreen, xlScreen, format);
        },
        [&] {
          sheet->chartObject(QStringLiteral("Costs"))
              ->chart()
              ->copyPicture(xlScreen, xlScreen, format);
        },
        [&] { wb->name(QStringLiteral("Area"))->refersToRange()->copyPicture(xlScreen, format); }};
    // Every form each copy offers, as bytes (the bitmap as its pixels), or its error.
    const auto offered = [&] {
      QStringList out;
      for (const auto& copy : copies) {
        try {
          copy();
        } catch (const office::AutomationError& error) {
          out << QStringLiteral("error %1").arg(error.number());
        }
        const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
        for (const QString& form : mime ? mime->formats() : QStringList()) {
          QByteArray bytes = mime->data(form);
          if (form == QLatin1String("application/x-qt-image")) {
            const QImage image = qvariant_cast<QImage>(mime->imageData());
            bytes =
                QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()) +
                QByteArray::number(image.width()) + QByteArray::number(image.devicePixelRatio());
          }
          out << form + QLatin1Char(' ') +
                     QString::fromLatin1(
                         QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex());
        }
      }
      return out.join(QLatin1Char('\n')).toStdString();
    };
    const std::string unannounced = offered();
    wb->prefetchPictures(hints, use);
    EXPECT_EQ(offered(), unannounced);
    wb->prefetchPictures({}, use);
    EXPECT_EQ(offered(), unannounced);
    if (use != Use::Metafile) continue;
    // A cell edited after the announcement shows in the copies (Area holds B2).
    wb->prefetchPictures(hints, use);
    sheet->cells(2, 2)->setValue(Variant(99.0));
    const std::string announcedThenEdited = offered();
    wb->prefetchPictures({}, use);
    EXPECT_EQ(announcedThenEdited, offered());
  }
}

REGISTER_TYPED_TEST_SUITE_P(
    ExcelContract, SheetsKeepTabOrderKindsAndStates, LookupsIgnoreCaseAndMissingOnesFail,
    ChartObjectsInDrawingOrderRenamedThroughActiveChart,
    ChartKeysAreCreationIdsOrOwnOnesAndSurviveRenames, CellsKeepTheProgramsTypingRules,
    CurrentRegionStopsAtEmptyRowsAndColumns, MaxIgnoresTextsAndEmptyCells,
    NamesInFileOrderWithScopeVisibilityAndRanges, NewWorksheetIsAppendedAndNamedWithR1C1,
    ProtectedStructureIsReported, NamesCountTheAreasTheyReferTo,
    BitmapsAtTwiceTheResolutionAndSvgBesideThem, CopiesThatCannotMakeThePictureSaySoAndLeaveNone,
    AnnouncedCopiesOfferWhatUnannouncedOnesDo);

}  // namespace morvane::excel_contract
