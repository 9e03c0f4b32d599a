// Every defined name of the corpus workbooks: one area draws a non-empty picture, anything
// else gives a message naming the name; nothing crashes.
#include "range_fixture.h"
#include "support/test_env.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cmath>

#include <gtest/gtest.h>

using namespace morvane;

TEST(RangeCorpus, EveryNamedRangeDrawsOrExplainsWhyNot) {
  const QString dir = testenv::corpusDir("xlsx");
  MORVANE_REQUIRE(!dir.isEmpty(), "the shared xlsx corpus");
  int drawn = 0;
  const QStringList files = QDir(dir).entryList({"*.xlsx", "*.xlsm"}, QDir::Files, QDir::Name);
  for (const QString& file : files) {
    auto opened = ooxml::xlsx::WorkbookDocument::open(QDir(dir).filePath(file));
    if (!opened) continue;  // the reader's own tests cover unreadable files
    const auto& model = (*opened)->model();
    for (const auto& name : model.names) {
      const auto range = render::range::resolveNamedRange(model, name.name, name.localSheetId);
      if (!range.ok()) {
        EXPECT_TRUE(range.error.contains(name.name)) << range.error.toStdString();
        continue;
      }
      const QSizeF size = render::range::rangePictureSize(model, range.sheetIndex, range.rect);
      const QImage image = render::range::rangeToImage(model, range.sheetIndex, range.rect);
      ASSERT_FALSE(image.isNull()) << file.toStdString() << " " << name.name.toStdString();
      EXPECT_GT(size.width(), 0);
      EXPECT_GT(size.height(), 0);
      EXPECT_EQ(image.width(), qRound(std::ceil(size.width() * 96 / 72 - 1e-6)));
      QString label = QFileInfo(file).completeBaseName() + "_" + name.name;
      label.replace(QRegularExpression("[^A-Za-z0-9_.-]"), "_");
      rangetest::saveToGallery(image, "corpus_" + label + ".png");
      ++drawn;
    }
  }
  EXPECT_GT(drawn, 5);
}
