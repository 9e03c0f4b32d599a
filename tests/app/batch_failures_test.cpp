// The batch commands as the real binary on a workbook with one chart part that cannot be
// read: every command names that object, counts it and exits 1, and writes the others.
#include "deck_parts.h"
#include "pdf/poppler.h"
#include "support/batch_binary.h"
#include "support/test_env.h"
#include "support/xlsx_outline_writer.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace morvane;

using batchtest::Outcome;
using batchtest::runMorvane;

namespace {

// Chart 1 (first in the list, so start-up selects it) cannot be drawn; Chart 2 and the
// named range Sales can.
QString brokenWorkbook(const QTemporaryDir& dir) {
  testbook::WorkbookOutline outline;
  testbook::SheetOutline data;
  data.name = QStringLiteral("Data");
  data.charts = {testbook::ChartOutline{QStringLiteral("first"), {}, true},
                 testbook::ChartOutline{QStringLiteral("second"), {}, false}};
  data.cells[{1, 1}] = QStringLiteral("Region");
  data.cells[{2, 2}] = office::Variant(12.5);
  outline.sheets = {data};
  outline.names = {
      testbook::NameOutline{QStringLiteral("Sales"), QStringLiteral("Data!$A$1:$B$3"), false, {}}};
  const QString path = dir.filePath(QStringLiteral("broken.xlsx"));
  return testxlsx::writeWorkbook(outline, path).ok() ? path : QString();
}

const QString kNamed = QStringLiteral("Chart 1 (Data): Invalid picture: ");

}  // namespace

TEST(BatchFailures, PasteLeavesTheSlideWithoutAPictureNamesTheObjectAndExitsOne) {
  QTemporaryDir dir;
  const QString book = brokenWorkbook(dir);
  ASSERT_FALSE(book.isEmpty());
  const QString deck = dir.filePath(QStringLiteral("deck.pptx"));
  const Outcome run = runMorvane({"paste", book, deck, "--save-workbook"});
  EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
  EXPECT_TRUE(run.err.contains(kNamed)) << run.err.toStdString();
  EXPECT_EQ(run.out,
            QStringLiteral("3 object(s) pasted, 1 without its picture; %1 has 3 slide(s) (3 new)\n")
                .arg(deck));
  const apptest::DeckParts parts = apptest::readDeck(deck);
  ASSERT_EQ(parts.slideCount(), 3) << parts.error.toStdString();
  EXPECT_EQ(parts.pictureCount(1), 0);
  EXPECT_EQ(parts.pictureCount(2), 1);
  EXPECT_EQ(parts.pictureCount(3), 1);
  EXPECT_EQ(runMorvane({"list", book}).out.count(QLatin1Char('\n')), 3);  // saved, still readable
}

TEST(BatchFailures, PdfWritesAnEmptyPageNamesTheObjectAndExitsOne) {
  MORVANE_REQUIRE(popplertest::available(), "poppler-utils");
  QTemporaryDir dir;
  const QString book = brokenWorkbook(dir);
  ASSERT_FALSE(book.isEmpty());
  const QString out = dir.filePath(QStringLiteral("out.pdf"));
  const Outcome run = runMorvane({"pdf", book, out});
  EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
  EXPECT_TRUE(run.err.contains(kNamed)) << run.err.toStdString();
  EXPECT_EQ(run.out, QStringLiteral("3 page(s) written to %1, 1 without its picture\n").arg(out));
  EXPECT_EQ(popplertest::info(out).pages, 3);
  std::vector<int> pictured;
  for (const auto& image : popplertest::images(out)) pictured.push_back(image.page);
  EXPECT_EQ(pictured, (std::vector<int>{2, 3}));
}

TEST(BatchFailures, ExportWritesTheOthersNamesTheObjectAndExitsOne) {
  QTemporaryDir dir;
  const QString book = brokenWorkbook(dir);
  ASSERT_FALSE(book.isEmpty());
  const QString out = dir.filePath(QStringLiteral("pictures"));
  const Outcome run = runMorvane({"export", book, out});
  EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
  EXPECT_TRUE(run.err.contains(QStringLiteral("Chart 1 on Data: no picture: Invalid picture: ")))
      << run.err.toStdString();
  EXPECT_TRUE(run.err.contains(
      QStringLiteral("2 picture(s) written to %1, 1 without its picture").arg(out)));
  EXPECT_EQ(QDir(out).entryList(QDir::Files, QDir::Name),
            (QStringList{"Data - Chart 2.png", "Data - Sales.png"}));
}
