// Source records on the real binary's pastes of the sample: every picture and label names
// its object, and a reader still finds them after LibreOffice Impress re-saves the deck,
// from whichever of the two stores (shape tag, shape name) it kept.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <iostream>
#include <set>
#include <tuple>

#include "hosts/presentation/loader.h"
#include "hosts/presentation/provenance.h"
#include "ooxml/pptx/presentation_document.h"
#include "support/batch_binary.h"
#include "support/test_env.h"

using namespace morvane;

namespace {

using office::SourceRecord;

struct Found {
  std::vector<SourceRecord> records;  // in slide and z-order
  int tagged = 0;                     // shapes whose tag holds a record
  int named = 0;                      // shapes whose name holds one
};

Found recordsIn(const QString& deck) {
  Found found;
  auto doc = ooxml::pptx::Document::open(deck);
  EXPECT_TRUE(doc.ok()) << deck.toStdString();
  if (!doc.ok()) return found;
  for (int slide = 0; slide < doc.value()->slideCount(); ++slide) {
    for (const auto& shape : doc.value()->shapes(slide)) {
      for (const auto& tag : doc.value()->shapeTags(slide, shape.id))
        found.tagged += tag.name == QLatin1String(hosts::presentation::kSourceTag) &&
                        SourceRecord::fromCompact(tag.value).has_value();
      found.named += SourceRecord::fromCompact(shape.name).has_value();
      if (auto record = hosts::presentation::readSourceRecord(*doc.value(), slide, shape.id))
        found.records.push_back(*record);
    }
  }
  return found;
}

auto identity(const SourceRecord& r) {
  return std::tuple(r.workbook, int(r.kind), r.sheet, r.name, r.key, r.format);
}

TEST(BatchProvenance, PastedPicturesAndLabelsNameTheirObjectsThroughALibreOfficeSave) {
  QTemporaryDir dir;
  const QString book = batchtest::sample(dir);
  const QString deck = dir.filePath(QStringLiteral("Monthly.pptx"));
  const batchtest::Outcome pasted =
      batchtest::runMorvane({"paste", book, deck, "--format", "emf", "--labels"});
  ASSERT_EQ(pasted.exitCode, 0) << pasted.err.toStdString();

  const Found ours = recordsIn(deck);
  ASSERT_FALSE(ours.records.empty());
  EXPECT_EQ(ours.tagged, int(ours.records.size()));
  EXPECT_EQ(ours.named, int(ours.records.size()));
  // Each object once as a picture and once as its label.
  int pictures = 0;
  std::set<QString> charts;
  for (const SourceRecord& r : ours.records) {
    SCOPED_TRACE(r.compact().toStdString());
    EXPECT_EQ(r.workbook, "sample-sales.xlsx");
    EXPECT_TRUE(r.format == SourceRecord::kEmf || r.format == SourceRecord::kLabel);
    pictures += r.format == SourceRecord::kEmf;
    EXPECT_EQ(r.key.isEmpty(), r.kind != SourceRecord::Kind::Chart);
    if (r.kind == SourceRecord::Kind::Chart && r.format == SourceRecord::kEmf) charts.insert(r.key);
  }
  EXPECT_EQ(2 * pictures, int(ours.records.size()));
  EXPECT_FALSE(charts.empty());
  EXPECT_EQ(
      charts.size(),
      size_t(std::count_if(ours.records.begin(), ours.records.end(), [](const SourceRecord& r) {
        return r.kind == SourceRecord::Kind::Chart && r.format == SourceRecord::kEmf;
      })));  // every embedded chart has a key of its own

  MORVANE_REQUIRE(!testenv::findTool(QStringLiteral("soffice")).isEmpty(), "LibreOffice (soffice)");
  QTemporaryDir profile, out;
  QProcess soffice;
  soffice.start(QStringLiteral("soffice"),
                {QStringLiteral("-env:UserInstallation=file://") + profile.path(), "--headless",
                 "--norestore", "--convert-to", "pptx", "--outdir", out.path(), deck});
  ASSERT_TRUE(soffice.waitForFinished(300000));
  const QString resaved = QDir(out.path()).filePath(QFileInfo(deck).fileName());
  ASSERT_TRUE(QFileInfo::exists(resaved)) << soffice.readAllStandardError().toStdString();

  const Found theirs = recordsIn(resaved);
  std::cout << "[ LibreOffice ] " << ours.records.size() << " records: " << theirs.tagged
            << " tags and " << theirs.named << " names kept\n";
  ::testing::Test::RecordProperty("tags_kept", theirs.tagged);
  ::testing::Test::RecordProperty("names_kept", theirs.named);
  std::multiset<decltype(identity(SourceRecord()))> before, after;
  for (const auto& r : ours.records) before.insert(identity(r));
  for (const auto& r : theirs.records) after.insert(identity(r));
  EXPECT_EQ(after, before);

  // Through the automation surface the source tag reads the same whichever store survived.
  auto opened = hosts::presentation::openPresentation(resaved);
  ASSERT_TRUE(opened.ok());
  auto pres = opened.value().application->activePresentation();
  int tags = 0;
  for (int s = 1; s <= pres->slidesCount(); ++s) {
    auto shapes = pres->slide(s)->shapes();
    for (int i = 1; i <= shapes->count(); ++i)
      tags += !shapes->item(i)->tags()->item(QString::fromLatin1(ppt::kSourceTag)).isEmpty();
  }
  EXPECT_EQ(tags, int(ours.records.size()));
}

}  // namespace
