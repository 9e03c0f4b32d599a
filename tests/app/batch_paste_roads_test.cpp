// `morvane paste` run as the real binary on the roads beyond a new deck: an existing deck,
// slide-number mode and its refusal, and objects pasted as embedded workbooks, each with
// its alternative text.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include "app/deck_parts.h"
#include "hosts/presentation/loader.h"
#include "office/powerpoint.h"
#include "support/batch_binary.h"
#include "support/test_env.h"

using namespace morvane;

using apptest::DeckParts;
using apptest::fileBytes;
using apptest::readDeck;
using batchtest::copyWritable;
using batchtest::Outcome;
using batchtest::runMorvane;
using batchtest::sample;

namespace {

QString writePlan(const QTemporaryDir& dir, const QByteArray& rows) {
  const QString path = dir.filePath(QStringLiteral("plan.tsv"));
  QFile file(path);
  file.open(QIODevice::WriteOnly | QIODevice::Truncate);
  file.write("name\tsheet\tinclude\ttitle\tslide\tpaste_as\n" + rows);
  return path;
}

// The sample's six objects pasted onto six new slides: the deck the later runs start from.
QString sampleDeck(const QTemporaryDir& dir, const QString& book) {
  const QString deck = dir.filePath(QStringLiteral("deck.pptx"));
  const Outcome first = runMorvane({"paste", book, deck});
  EXPECT_EQ(first.exitCode, 0) << first.err.toStdString();
  return deck;
}

QString titleOf(ppt::Presentation& pres, int slide) {
  return pres.slide(slide)->shapes()->item(2)->textFrame()->textRange()->text();
}

std::vector<QByteArray> slideXmls(const DeckParts& deck) {
  std::vector<QByteArray> xmls;
  for (int s = 1; s <= deck.slideCount(); ++s) xmls.push_back(deck.slideXml(s));
  return xmls;
}

// Slides 1..count of `after` are byte for byte those of `before`.
void expectSlidesKept(const std::vector<QByteArray>& before, const DeckParts& after,
                      const char* what) {
  ASSERT_GE(after.slideCount(), int(before.size())) << what;
  for (int s = 1; s <= int(before.size()); ++s)
    EXPECT_EQ(after.slideXml(s), before[s - 1]) << what << ": slide " << s << " changed";
}

const QByteArray kOnlyChart3AndTable =
    "Chart 1\tSales\tN\t\t\t\n"
    "Chart 2\tSales\tN\t\t\t\n"
    "Chart 3\tRegions\t\tRegions by quarter\t\t\n"
    "{Chart Sheet}\tOverview\tN\t\t\t\n"
    "SalesTable\tSales\t\tThe table\t\t\n"
    "RegionShares\tRegions\tN\t\t\t\n";

}  // namespace

TEST(BatchPasteExistingDeck, KeepsTheSlidesThereAndAppendsTitledSlidesAfterThem) {
  QTemporaryDir dir;
  const QString book = sample(dir);
  const QString deck = sampleDeck(dir, book);
  const DeckParts before = readDeck(deck);
  ASSERT_EQ(before.slideCount(), 6) << before.error.toStdString();
  const auto kept = slideXmls(before);

  const Outcome run =
      runMorvane({"paste", book, deck, "--plan", writePlan(dir, kOnlyChart3AndTable)});
  ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
  EXPECT_TRUE(run.out.contains(QStringLiteral("has 8 slide(s) (2 new)"))) << run.out.toStdString();

  const DeckParts after = readDeck(deck);
  ASSERT_EQ(after.slideCount(), 8) << after.error.toStdString();
  expectSlidesKept(kept, after, "generated deck");
  auto opened = hosts::presentation::openPresentation(deck);
  ASSERT_TRUE(opened.ok());
  auto pres = opened.value().application->activePresentation();
  // In the list's numerator order: Chart 3 (3) before SalesTable (5).
  EXPECT_EQ(titleOf(*pres, 7), QStringLiteral("Regions by quarter"));
  EXPECT_EQ(titleOf(*pres, 8), QStringLiteral("The table"));
  for (int s : {7, 8}) {
    EXPECT_EQ(pres->slide(s)->layout(), ppt::ppLayoutTitleOnly);
    EXPECT_EQ(after.pictureCount(s), 1) << "slide " << s;
  }
}

// --save-workbook keeps the plan's edits in the registry: a later paste without the plan
// pastes the same objects under the same titles.
TEST(BatchPasteExistingDeck, SaveWorkbookKeepsThePlansEditsForTheNextRun) {
  QTemporaryDir dir;
  const QString book = sample(dir);
  const Outcome planned =
      runMorvane({"paste", book, dir.filePath(QStringLiteral("a.pptx")), "--plan",
                  writePlan(dir, kOnlyChart3AndTable), "--save-workbook"});
  ASSERT_EQ(planned.exitCode, 0) << planned.err.toStdString();
  const QString deck = dir.filePath(QStringLiteral("b.pptx"));
  const Outcome again = runMorvane({"paste", book, deck});
  ASSERT_EQ(again.exitCode, 0) << again.err.toStdString();
  auto opened = hosts::presentation::openPresentation(deck);
  ASSERT_TRUE(opened.ok());
  auto pres = opened.value().application->activePresentation();
  ASSERT_EQ(pres->slidesCount(), 2);
  EXPECT_EQ(titleOf(*pres, 1), QStringLiteral("Regions by quarter"));
  EXPECT_EQ(titleOf(*pres, 2), QStringLiteral("The table"));
}

TEST(BatchPasteExistingDeck, ForeignDecksKeepTheirSlidesAndMasters) {
  const QString corpus = testenv::corpusDir(QStringLiteral("pptx"));
  MORVANE_REQUIRE(!corpus.isEmpty(), "the pptx corpus");
  for (const char* name : {"pp_4x3_picture_slides.pptx", "poi_16x9_widescreen_table_slide.pptx",
                           "poi_4x3_one_slide_per_layout.pptx"}) {
    SCOPED_TRACE(name);
    const QString original = QDir(corpus).filePath(QString::fromLatin1(name));
    MORVANE_REQUIRE(QFile::exists(original), name);
    QTemporaryDir dir;
    const QString book = sample(dir);
    const QString deck = copyWritable(original, dir.filePath(QString::fromLatin1(name)));
    const DeckParts before = readDeck(deck);
    ASSERT_TRUE(before.error.isEmpty()) << before.error.toStdString();
    ASSERT_GT(before.slideCount(), 0);
    const auto kept = slideXmls(before);

    const Outcome run =
        runMorvane({"paste", book, deck, "--plan", writePlan(dir, kOnlyChart3AndTable)});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const DeckParts after = readDeck(deck);
    ASSERT_EQ(after.slideCount(), before.slideCount() + 2) << after.error.toStdString();
    expectSlidesKept(kept, after, name);
    // Parts the run had no reason to touch (masters, layouts, media) are still there.
    for (const QString& part : before.package->partNames())
      EXPECT_TRUE(after.package->hasPart(part)) << part.toStdString();
    auto opened = hosts::presentation::openPresentation(deck);
    ASSERT_TRUE(opened.ok()) << opened.error().message.toStdString();
    auto pres = opened.value().application->activePresentation();
    const int first = before.slideCount() + 1;
    EXPECT_EQ(titleOf(*pres, first), QStringLiteral("Regions by quarter"));
    EXPECT_EQ(titleOf(*pres, first + 1), QStringLiteral("The table"));
    EXPECT_EQ(after.pictureCount(first), 1);
    EXPECT_EQ(after.pictureCount(first + 1), 1);
  }
}

// Slide-number mode: the switch walks the selection over rows whose charts are off the
// active sheet.
TEST(BatchPasteSlideNumbers, EachObjectLandsOnItsNumberedSlideAndNoSlideIsAdded) {
  QTemporaryDir dir;
  const QString book = sample(dir);
  const QString deck = sampleDeck(dir, book);
  const DeckParts before = readDeck(deck);
  ASSERT_EQ(before.slideCount(), 6) << before.error.toStdString();
  const auto kept = slideXmls(before);

  // Two objects share slide 3; the named range goes to slide 5 as an embedded workbook, so
  // the slide shows which object reached it.
  const QString plan = writePlan(dir,
                                 "Chart 1\tSales\t\t\t3\t\n"
                                 "Chart 3\tRegions\t\t\t3\t\n"
                                 "RegionShares\tRegions\t\t\t5\tExcel object\n");
  const Outcome run = runMorvane({"paste", book, deck, "--mode", "number", "--plan", plan});
  ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
  EXPECT_TRUE(run.out.startsWith(QStringLiteral("3 object(s) pasted"))) << run.out.toStdString();

  const DeckParts after = readDeck(deck);
  ASSERT_EQ(after.slideCount(), 6) << after.error.toStdString();
  EXPECT_EQ(after.pictureCount(3), before.pictureCount(3) + 2);
  EXPECT_EQ(after.embeddedObjectCount(3), 0);
  EXPECT_EQ(after.pictureCount(5), before.pictureCount(5));
  ASSERT_EQ(after.embeddedObjectCount(5), 1);
  EXPECT_TRUE(after.embeddedParts(5).front().startsWith(
      QStringLiteral("/ppt/embeddings/Microsoft_Excel_Worksheet")))
      << after.embeddedParts(5).front().toStdString();
  for (int s : {1, 2, 4, 6})
    EXPECT_EQ(after.slideXml(s), kept[s - 1]) << "slide " << s << " changed";
}

TEST(BatchPasteSlideNumbers, TargetSlidesOfAnotherLayoutBecomeTitleOnly) {
  const QString corpus = testenv::corpusDir(QStringLiteral("pptx"));
  MORVANE_REQUIRE(!corpus.isEmpty(), "the pptx corpus");
  const QString original =
      QDir(corpus).filePath(QStringLiteral("poi_4x3_one_slide_per_layout.pptx"));
  MORVANE_REQUIRE(QFile::exists(original), "poi_4x3_one_slide_per_layout.pptx");
  QTemporaryDir dir;
  const QString book = sample(dir);
  const QString deck = copyWritable(original, dir.filePath(QStringLiteral("layouts.pptx")));
  auto opened = hosts::presentation::openPresentation(deck);
  ASSERT_TRUE(opened.ok());
  int target = 0;  // the first slide that is not Title Only already
  auto pres = opened.value().application->activePresentation();
  for (int s = 1; s <= pres->slidesCount() && !target; ++s)
    if (pres->slide(s)->layout() != ppt::ppLayoutTitleOnly) target = s;
  ASSERT_GT(target, 0);
  const DeckParts before = readDeck(deck);

  const QString plan = writePlan(dir, "Chart 2\tSales\t\t\t" + QByteArray::number(target) + "\t\n");
  const Outcome run = runMorvane({"paste", book, deck, "--mode", "number", "--plan", plan});
  ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
  auto reopened = hosts::presentation::openPresentation(deck);
  ASSERT_TRUE(reopened.ok());
  auto after = reopened.value().application->activePresentation();
  EXPECT_EQ(after->slidesCount(), pres->slidesCount());
  EXPECT_EQ(after->slide(target)->layout(), ppt::ppLayoutTitleOnly);
  EXPECT_EQ(readDeck(deck).pictureCount(target), before.pictureCount(target) + 1);
}

TEST(BatchPasteSlideNumbers, ANumberPastTheLastSlideIsRefusedAndNothingIsWritten) {
  QTemporaryDir dir;
  const QString book = sample(dir);
  const QString deck = sampleDeck(dir, book);
  const QByteArray deckBefore = fileBytes(deck);
  const QByteArray bookBefore = fileBytes(book);
  ASSERT_FALSE(deckBefore.isEmpty());

  const QString tooGreat = writePlan(dir, "Chart 1\tSales\t\t\t2\t\nChart 2\tSales\t\t\t7\t\n");
  const Outcome refused =
      runMorvane({"paste", book, deck, "--mode", "number", "--plan", tooGreat, "--save-workbook"});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_TRUE(refused.err.contains(QStringLiteral("greater\nthan the number of slides")))
      << refused.err.toStdString();
  EXPECT_EQ(fileBytes(deck), deckBefore) << "the deck was written";
  EXPECT_EQ(fileBytes(book), bookBefore) << "the workbook was written";

  // Not a slide number at all: refused naming the object, nothing written either.
  const QString zero = writePlan(dir, "Chart 2\tSales\t\t\t0\t\n");
  const Outcome invalid = runMorvane({"paste", book, deck, "--mode", "number", "--plan", zero});
  EXPECT_EQ(invalid.exitCode, 1);
  EXPECT_TRUE(invalid.err.contains(QStringLiteral("\"0\" of Chart 2 (Sales)")))
      << invalid.err.toStdString();
  EXPECT_EQ(fileBytes(deck), deckBefore);

  // A new deck has no slides: any number is past the end, and no file appears.
  const QString fresh = dir.filePath(QStringLiteral("fresh.pptx"));
  const Outcome empty = runMorvane({"paste", book, fresh, "--mode", "number", "--plan",
                                    writePlan(dir, "Chart 1\tSales\t\t\t1\t\n")});
  EXPECT_EQ(empty.exitCode, 1);
  EXPECT_FALSE(QFile::exists(fresh));
}

TEST(BatchPasteSlideNumbers, WithoutAnyNumberedObjectNothingIsPasted) {
  QTemporaryDir dir;
  const QString book = sample(dir);
  const QString deck = sampleDeck(dir, book);
  const QByteArray deckBefore = fileBytes(deck);
  const Outcome run = runMorvane({"paste", book, deck, "--mode", "number"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(run.err.contains(QStringLiteral("Nothing to paste"))) << run.err.toStdString();
  EXPECT_EQ(fileBytes(deck), deckBefore);
}

namespace {

// The descr of the first shape on a slide, read with Qt's own XML reader.
QString firstDescription(const QByteArray& slideXml) {
  QXmlStreamReader xml(slideXml);
  while (!xml.atEnd()) {
    // The shape tree's own properties have id 1.
    if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("cNvPr") &&
        xml.attributes().value(QLatin1String("id")) != QLatin1String("1"))
      return xml.attributes().value(QLatin1String("descr")).toString();
  }
  return QStringLiteral("(no shape)");
}

}  // namespace

TEST(BatchPasteExcelObjects, EachObjectIsAnEmbeddedWorkbookOfItsKind) {
  QTemporaryDir dir;
  const QString book = sample(dir);
  const QString deck = dir.filePath(QStringLiteral("objects.pptx"));
  const QString plan = writePlan(dir,
                                 "Chart 1\tSales\t\t\t\tExcel object\n"
                                 "Chart 2\tSales\tN\t\t\t\n"
                                 "Chart 3\tRegions\tN\t\t\t\n"
                                 "{Chart Sheet}\tOverview\t\tThe overview\t\tExcel object\n"
                                 "SalesTable\tSales\t\t\t\tExcel object\n");
  const Outcome run = runMorvane({"paste", book, deck, "--plan", plan});
  ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();

  const DeckParts pasted = readDeck(deck);
  // Chart 1, the chart sheet, SalesTable as objects; RegionShares, not planned, as a picture.
  ASSERT_EQ(pasted.slideCount(), 4) << pasted.error.toStdString();
  const QStringList kinds{"Microsoft_Excel_Chart", "Microsoft_Excel_Chart",
                          "Microsoft_Excel_Worksheet"};
  for (int s = 1; s <= 3; ++s) {
    SCOPED_TRACE(s);
    ASSERT_EQ(pasted.embeddedObjectCount(s), 1);
    EXPECT_EQ(pasted.pictureCount(s), 0);
    const QString part = pasted.embeddedParts(s).front();
    EXPECT_TRUE(part.startsWith(QStringLiteral("/ppt/embeddings/") + kinds[s - 1]))
        << part.toStdString();
    EXPECT_TRUE(part.endsWith(QStringLiteral(".xlsx")));
    EXPECT_EQ(pasted.package->contentType(part),
              QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet"));
    // The embedded bytes are a workbook of their own.
    auto bytes = pasted.package->read(part);
    ASSERT_TRUE(bytes.ok());
    auto embedded = ooxml::Package::openBytes(*bytes, part);
    ASSERT_TRUE(embedded.ok()) << embedded.error().message.toStdString();
    EXPECT_TRUE(embedded.value()->hasPart(QStringLiteral("/xl/workbook.xml")));
  }
  EXPECT_EQ(pasted.embeddedObjectCount(4), 0);
  EXPECT_EQ(pasted.pictureCount(4), 1);
  // Each names its object for screen readers: its slide title, else its name and sheet.
  const QStringList described{"Chart 1, Sales", "The overview", "SalesTable, Sales",
                              "RegionShares, Regions"};
  for (int s = 1; s <= 4; ++s)
    EXPECT_EQ(firstDescription(pasted.slideXml(s)), described[s - 1]) << "slide " << s;
  auto opened = hosts::presentation::openPresentation(deck);
  ASSERT_TRUE(opened.ok());
  EXPECT_EQ(titleOf(*opened.value().application->activePresentation(), 2),
            QStringLiteral("The overview"));
}
