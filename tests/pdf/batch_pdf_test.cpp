// `morvane pdf` as the real binary on the shipped sample workbook (and one openpyxl wrote), read
// back with poppler.
#include "pdf/poppler.h"
#include "support/batch_binary.h"
#include "support/test_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace morvane;

using batchtest::Outcome;
using batchtest::runMorvane;
using batchtest::sample;

namespace {

QString pageText(const QString& pdf, int page) {
  QString text;
  for (const auto& word : popplertest::words(pdf, page)) text += word.text + QLatin1Char(' ');
  return text.trimmed();
}

class BatchPdf : public ::testing::Test {
 protected:
  void SetUp() override { MORVANE_REQUIRE(popplertest::available(), "poppler-utils"); }
};

}  // namespace

TEST_F(BatchPdf, WritesEveryIncludedObjectAPageInListOrderWithEmbeddedFooters) {
  QTemporaryDir dir;
  const QString book = sample(dir);
  const QString out = dir.filePath(QStringLiteral("deck.pdf"));
  const Outcome run = runMorvane({"pdf", book, out});
  ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
  EXPECT_TRUE(run.out.startsWith(QStringLiteral("6 page(s) written to ") + out)) << run.out.toStdString();
  const auto info = popplertest::info(out);
  ASSERT_EQ(info.pages, 6);
  EXPECT_NEAR(info.sizes[0].width(), 20 * 72 / 2.54, 0.5);
  EXPECT_NEAR(info.sizes[0].height(), 15 * 72 / 2.54, 0.5);
  EXPECT_EQ(info.title, QStringLiteral("Title"));
  EXPECT_EQ(info.author, QStringLiteral("Author"));
  EXPECT_EQ(info.producer, QStringLiteral("Producer"));
  EXPECT_EQ(info.errors, QString());
  EXPECT_EQ(popplertest::images(out).size(), 6u);
  const QStringList names{"Chart 1", "Chart 2", "Chart 3", "{Chart Sheet}", "SalesTable", "RegionShares"};
  for (int page = 1; page <= 6; ++page) {
    const QString text = pageText(out, page);
    EXPECT_TRUE(text.startsWith(book)) << text.toStdString();
    EXPECT_TRUE(text.contains(names[page - 1])) << page << ": " << text.toStdString();
  }
  // The footer's line sits 0.5 cm above the bottom edge, centred on the page.
  const auto words = popplertest::words(out, 1);
  ASSERT_FALSE(words.empty());
  const double bottom = info.sizes[0].height() - 0.5 * 72 / 2.54;
  EXPECT_NEAR(words.front().box.bottom(), bottom, 2.5);
  const double left = words.front().box.left(), right = words.back().box.right();
  EXPECT_NEAR((left + right) / 2, info.sizes[0].width() / 2, 2.0);
  bool embedded = false;
  for (const auto& font : popplertest::fonts(out))
    embedded |= font.embedded && font.name.contains(QStringLiteral("LiberationSans"));
  EXPECT_TRUE(embedded);
}

TEST_F(BatchPdf, NoFooterPlanAndSlideNumberModeChooseTheRows) {
  QTemporaryDir dir;
  const QString book = sample(dir);
  const QString plan = dir.filePath(QStringLiteral("plan.tsv"));
  QFile f(plan);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("name\tsheet\tinclude\ttitle\tslide\tpaste_as\n"
          "Chart 3\tRegions\t\t\t2\t\n"
          "SalesTable\tSales\t\t\t1\t\n"
          "Chart 1\tSales\tN\t\t3\t\n");
  f.close();
  const QString out = dir.filePath(QStringLiteral("numbered.pdf"));
  const Outcome run =
      runMorvane({"pdf", book, out, "--mode", "number", "--plan", plan, "--no-footer"});
  ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
  EXPECT_EQ(popplertest::info(out).pages, 2);
  EXPECT_EQ(popplertest::images(out).size(), 2u);
  EXPECT_EQ(pageText(out, 1), QString());
  EXPECT_EQ(pageText(out, 2), QString());
}

TEST_F(BatchPdf, AnUnwritableOutputIsReportedAndNothingIsWritten) {
  QTemporaryDir dir;
  const QString book = sample(dir);
  const QString out = dir.filePath(QStringLiteral("missing/deck.pdf"));
  const Outcome run = runMorvane({"pdf", book, out});
  EXPECT_EQ(run.exitCode, 3);
  EXPECT_TRUE(run.err.contains(QStringLiteral("Can't build pdf file. Please close any open PDF file and try again")))
      << run.err.toStdString();
  EXPECT_FALSE(QFile::exists(out));
  EXPECT_TRUE(QDir(dir.path()).entryList({QStringLiteral("*.pdf")}, QDir::Files).isEmpty());
}

TEST_F(BatchPdf, WithoutAnOutputTheFileGoesIntoTheDocumentsFolderOrHome) {
  QTemporaryDir home;
  QTemporaryDir dir;
  const QString book = sample(dir);
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("HOME"), home.path());
  env.remove(QStringLiteral("XDG_DOCUMENTS_DIR"));
  env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral(".config")));
  const Outcome run = runMorvane({"pdf", book}, env);
  ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
  const QString documents = home.filePath(QStringLiteral("Documents/Morvane©.pdf"));
  const QString inHome = home.filePath(QStringLiteral("Morvane©.pdf"));
  EXPECT_TRUE(QFile::exists(documents) || QFile::exists(inHome));
  EXPECT_TRUE(run.out.contains(QStringLiteral("Morvane©.pdf"))) << run.out.toStdString();
}

// A chart 30 cm wide and 5 cm high, written by openpyxl and drawn by the workbook host, keeps
// its proportions on the page: the same resolution on both axes, shrunk to 18 cm wide.
TEST_F(BatchPdf, AWideChartKeepsItsProportions) {
  MORVANE_REQUIRE(QProcess::execute("/usr/bin/python3", {"-c", "import openpyxl"}) == 0,
                  "python3-openpyxl");
  QTemporaryDir dir;
  const QString book = dir.filePath(QStringLiteral("wide.xlsx"));
  const char* script =
      "import sys, openpyxl\n"
      "from openpyxl.chart import BarChart, Reference\n"
      "wb = openpyxl.Workbook()\n"
      "ws = wb.active\n"
      "for r in range(1, 5): ws.append([r, r * 3])\n"
      "chart = BarChart()\n"
      "chart.add_data(Reference(ws, min_col=2, min_row=1, max_row=4))\n"
      "chart.width, chart.height = 30, 5\n"
      "ws.add_chart(chart, 'D2')\n"
      "wb.save(sys.argv[1])\n";
  ASSERT_EQ(QProcess::execute("/usr/bin/python3", {"-c", script, book}), 0);
  const QString out = dir.filePath(QStringLiteral("wide.pdf"));
  const Outcome run = runMorvane({"pdf", book, out});
  ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
  const auto images = popplertest::images(out);
  ASSERT_EQ(images.size(), 1u);
  EXPECT_GT(images[0].width, 5 * images[0].height);  // the picture itself is wide
  EXPECT_NEAR(images[0].xPpi, images[0].yPpi, 1.0);
  EXPECT_NEAR(images[0].width / images[0].xPpi * 2.54, 18.0, 0.1);
}

// Bitmaps hold twice the pixels of 96 dpi; the page places them at the size their logical
// pixels give (2.52 cm per 72), so a picture that fits the box shows at 2 x 72 x 2.54 / 2.52
// = 145.1 pixels per inch where a 96-dpi one showed 72.6.
TEST_F(BatchPdf, PicturesHoldTwiceThePixelsAtTheSameSizeOnThePage) {
  QTemporaryDir dir;
  const QString out = dir.filePath(QStringLiteral("deck.pdf"));
  const Outcome run = runMorvane({"pdf", sample(dir), out});
  ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
  const auto images = popplertest::images(out);
  ASSERT_EQ(images.size(), 6u);
  int fitting = 0;
  for (const auto& image : images) {
    SCOPED_TRACE(testing::Message()
                 << "page " << image.page << ", " << image.width << " x " << image.height);
    // A picture larger than the box is shrunk, never enlarged: more pixels per inch.
    EXPECT_GT(image.xPpi, 2 * 72 * 2.54 / 2.52 - 1);
    EXPECT_GT(image.yPpi, 2 * 72 * 2.54 / 2.52 - 1);
    const bool fits = image.width / 2 * 2.52 / 72 <= 18 && image.height / 2 * 2.52 / 72 <= 12;
    if (!fits) continue;
    ++fitting;
    EXPECT_NEAR(image.xPpi, 2 * 72 * 2.54 / 2.52, 1.0);
    EXPECT_NEAR(image.yPpi, 2 * 72 * 2.54 / 2.52, 1.0);
  }
  EXPECT_EQ(fitting, 2);  // the two named ranges; the charts are wider than 18 cm
}
