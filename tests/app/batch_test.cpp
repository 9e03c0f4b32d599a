// The batch front end, run as the real binary on real files.
#include "hosts/presentation/loader.h"
#include "office/powerpoint.h"
#include "support/batch_binary.h"
#include "support/test_env.h"
#include "support/xlsx_outline_writer.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace morvane;

using batchtest::Outcome;
using batchtest::runMorvane;
using batchtest::sample;

namespace {

const QString kSampleList = QStringLiteral(
    "Chart 1\tSales\tY\t1\nChart 2\tSales\tY\t2\nChart 3\tRegions\tY\t3\n"
    "{Chart Sheet}\tOverview\tY\t4\nSalesTable\tSales\tY\t5\nRegionShares\tRegions\tY\t6\n");

}  // namespace

TEST(BatchList, ListsTheSampleInNumeratorOrderAndKeepsItAcrossASave) {
  QTemporaryDir dir;
  const QString book = sample(dir);
  const QByteArray before = [&] { QFile f(book); f.open(QIODevice::ReadOnly); return f.readAll(); }();
  Outcome first = runMorvane({"list", book});
  EXPECT_EQ(first.exitCode, 0) << first.err.toStdString();
  EXPECT_EQ(first.out, kSampleList);
  QFile unchanged(book);
  unchanged.open(QIODevice::ReadOnly);
  EXPECT_EQ(unchanged.readAll(), before);  // without --save-workbook the file is not touched
  EXPECT_EQ(runMorvane({"list", book, "--save-workbook"}).exitCode, 0);
  Outcome again = runMorvane({"list", book});
  EXPECT_EQ(again.out, kSampleList);
}

TEST(BatchList, EveryCommandNamesTheNamesOfSeveralAreasItLeavesOut) {
  QTemporaryDir dir;
  testbook::WorkbookOutline outline;
  testbook::SheetOutline data;
  data.name = QStringLiteral("Data");
  data.charts = {testbook::ChartOutline{QStringLiteral("c1"), {}}};
  data.cells[{1, 1}] = office::Variant(1.0);
  outline.sheets = {data};
  outline.names = {testbook::NameOutline{"Pair", "Data!$A$1:$A$2,Data!$C$1:$C$2", false, {}},
                   testbook::NameOutline{"Area", "Data!$A$1:$B$2", false, {}}};
  const QString book = dir.filePath(QStringLiteral("areas.xlsx"));
  ASSERT_TRUE(testxlsx::writeWorkbook(outline, book).ok());
  const QString line = QStringLiteral("left out: Pair refers to several areas");
  const Outcome list = runMorvane({"list", book});
  EXPECT_EQ(list.exitCode, 0) << list.err.toStdString();
  EXPECT_EQ(list.out, QStringLiteral("Chart 1\tData\tY\t1\nArea\tData\tY\t2\n"));
  const Outcome exported = runMorvane({"export", book, dir.filePath(QStringLiteral("pictures"))});
  const Outcome pdf = runMorvane({"pdf", book, dir.filePath(QStringLiteral("areas.pdf"))});
  EXPECT_EQ(pdf.exitCode, 0) << pdf.err.toStdString();
  EXPECT_TRUE(pdf.out.startsWith(QStringLiteral("2 page(s)"))) << pdf.out.toStdString();
  for (const Outcome* run : {&list, &exported, &pdf})
    EXPECT_EQ(run->err.split(QLatin1Char('\n')).count(line), 1) << run->err.toStdString();
}

TEST(BatchList, UnreadableInputsGetOneLineAndStatusTwo) {
  QTemporaryDir dir;
  const QString junk = dir.filePath(QStringLiteral("junk.xlsx"));
  QFile f(junk);
  f.open(QIODevice::WriteOnly);
  f.write("this is not a zip file at all");
  f.close();
  Outcome run = runMorvane({"list", junk});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_TRUE(run.err.contains(QStringLiteral("junk.xlsx"))) << run.err.toStdString();
  EXPECT_EQ(run.err.trimmed().count(QLatin1Char('\n')), 0) << run.err.toStdString();
  Outcome missing = runMorvane({"list", dir.filePath(QStringLiteral("nope.xlsx"))});
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_TRUE(missing.err.contains(QStringLiteral("nope.xlsx")));
}

TEST(BatchPaste, PastesEveryIncludedObjectIntoANewDeckInBothFormats) {
  for (const char* format : {"bitmap", "emf"}) {
    QTemporaryDir dir;
    const QString book = sample(dir);
    const QString deck = dir.filePath(QStringLiteral("deck.pptx"));
    Outcome run = runMorvane({"paste", book, deck, "--format", format, "--labels"});
    ASSERT_EQ(run.exitCode, 0) << format << ": " << run.err.toStdString();
    auto opened = hosts::presentation::openPresentation(deck);
    ASSERT_TRUE(opened.ok()) << opened.error().message.toStdString();
    auto pres = opened.value().application->activePresentation();
    ASSERT_EQ(pres->slidesCount(), 6) << format;
    for (int s = 1; s <= 6; ++s) {
      auto slide = pres->slide(s);
      EXPECT_EQ(slide->layout(), ppt::ppLayoutTitleOnly);
      EXPECT_EQ(slide->shapes()->count(), 3) << "picture, title and label on slide " << s;
      auto label = slide->shapes()->item(3)->textFrame()->textRange();
      EXPECT_TRUE(label->text().endsWith(QStringLiteral(" ,  Sales")) ||
                  label->text().endsWith(QStringLiteral(" ,  Regions")) ||
                  label->text().endsWith(QStringLiteral(" ,  Overview")))
          << label->text().toStdString();
      // The picture fills the default placement box from its top-left corner.
      auto picture = slide->shapes()->item(1);
      EXPECT_NEAR(picture->left(), 20, 0.5);
      EXPECT_NEAR(picture->top(), 120, 0.5);
      EXPECT_TRUE(std::abs(picture->width() - 680) < 0.5 || std::abs(picture->height() - 400) < 0.5);
    }
  }
}

// A second opinion on the whole road: LibreOffice opens the pasted deck, every slide renders,
// the labels and the charts' own texts come out as text (the metafiles stay vectors).
TEST(BatchPaste, LibreOfficeRendersTheMetafileDeckWithItsTexts) {
  const QString loRender = testenv::sharedDir() + QStringLiteral("/tools/lo-render");
  MORVANE_REQUIRE(QFile::exists(loRender) && !testenv::findTool(QStringLiteral("soffice")).isEmpty() &&
                      !testenv::findTool(QStringLiteral("pdftotext")).isEmpty(),
                  "LibreOffice (soffice), lo-render and poppler-utils");
  QTemporaryDir dir;
  const QString book = sample(dir);
  const QString deck = dir.filePath(QStringLiteral("deck.pptx"));
  ASSERT_EQ(runMorvane({"paste", book, deck, "--format", "emf", "--labels"}).exitCode, 0);
  QProcess render;
  render.start(loRender, {deck, dir.path()});
  render.waitForFinished(240000);
  const QString pdf = dir.filePath(QStringLiteral("deck.pdf"));
  ASSERT_TRUE(QFile::exists(pdf)) << render.readAllStandardError().toStdString();
  QProcess info;
  info.start(QStringLiteral("pdfinfo"), {pdf});
  info.waitForFinished();
  EXPECT_TRUE(QString::fromUtf8(info.readAllStandardOutput()).contains(QRegularExpression(QStringLiteral("Pages:\\s+6\\b"))));
  QProcess text;
  text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
  text.waitForFinished();
  const QString words = QString::fromUtf8(text.readAllStandardOutput());
  EXPECT_EQ(words.count(QStringLiteral("sample-sales.xlsx")), 6) << words.toStdString();
  for (const char* expected : {"Sales by region", "Half-year overview", "North"})
    EXPECT_TRUE(words.contains(QLatin1String(expected))) << expected;
}

TEST(BatchPaste, APlanExcludesAndTitlesObjectsAndAWrongRowStopsBeforeWriting) {
  QTemporaryDir dir;
  const QString book = sample(dir);
  const QString plan = dir.filePath(QStringLiteral("plan.tsv"));
  QFile f(plan);
  f.open(QIODevice::WriteOnly);
  f.write("name\tsheet\tinclude\ttitle\tslide\tpaste_as\n"
          "Chart 1\tSales\t\tNorth, South and West\t\t\n"
          "Chart 2\tSales\tN\t\t\t\n"
          "RegionShares\tRegions\tN\t\t\t\n");
  f.close();
  const QString deck = dir.filePath(QStringLiteral("deck.pptx"));
  Outcome run = runMorvane({"paste", book, deck, "--plan", plan});
  ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
  auto opened = hosts::presentation::openPresentation(deck);
  ASSERT_TRUE(opened.ok());
  auto pres = opened.value().application->activePresentation();
  ASSERT_EQ(pres->slidesCount(), 4);
  EXPECT_EQ(pres->slide(1)->shapes()->item(2)->textFrame()->textRange()->text(),
            QStringLiteral("North, South and West"));

  QFile bad(plan);
  bad.open(QIODevice::WriteOnly);
  bad.write("name\tsheet\tinclude\ttitle\tslide\tpaste_as\nChart 9\tSales\tN\t\t\t\n");
  bad.close();
  const QString other = dir.filePath(QStringLiteral("other.pptx"));
  Outcome refused = runMorvane({"paste", book, other, "--plan", plan});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_TRUE(refused.err.contains(QStringLiteral("plan.tsv:2"))) << refused.err.toStdString();
  EXPECT_FALSE(QFile::exists(other));
}

TEST(BatchExport, WritesEveryObjectAsAPictureNamedAfterItsSheetAndName) {
  QTemporaryDir dir;
  const QString book = sample(dir);
  const QString out = dir.filePath(QStringLiteral("pictures"));
  Outcome png = runMorvane({"export", book, out});
  ASSERT_EQ(png.exitCode, 0) << png.err.toStdString();
  QStringList names = QDir(out).entryList(QDir::Files, QDir::Name);
  EXPECT_EQ(names, (QStringList{"Overview.png", "Regions - Chart 3.png", "Regions - RegionShares.png",
                                "Sales - Chart 1.png", "Sales - Chart 2.png", "Sales - SalesTable.png"}));
  QImage chart(QDir(out).filePath(QStringLiteral("Sales - Chart 1.png")));
  ASSERT_FALSE(chart.isNull());
  EXPECT_GT(chart.width(), 100);
  Outcome emf = runMorvane({"export", book, out, "--format", "emf"});
  ASSERT_EQ(emf.exitCode, 0) << emf.err.toStdString();
  QFile metafile(QDir(out).filePath(QStringLiteral("Sales - SalesTable.emf")));
  ASSERT_TRUE(metafile.open(QIODevice::ReadOnly));
  const QByteArray head = metafile.read(44);
  ASSERT_EQ(head.size(), 44);
  EXPECT_EQ(head.mid(40, 4), QByteArray(" EMF"));  // the header record's signature
  ASSERT_EQ(runMorvane({"export", book, out, "--format", "svg"}).exitCode, 0);
  EXPECT_EQ(QDir(out).entryList({QStringLiteral("*.svg")}, QDir::Files).size(), 6);
  // A chart sheet's page, 720 x 540 points, with its title as text.
  QFile overview(QDir(out).filePath(QStringLiteral("Overview.svg")));
  ASSERT_TRUE(overview.open(QIODevice::ReadOnly));
  const QByteArray svg = overview.readAll();
  EXPECT_TRUE(svg.contains("viewBox=\"0 0 720 540\"") &&
              svg.contains(">Half-year overview</text>"));
  EXPECT_EQ(runMorvane({"export", book, out, "--format", "gif"}).exitCode, 64);
}
