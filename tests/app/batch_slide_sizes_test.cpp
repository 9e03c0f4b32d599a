// `morvane paste` with labels on decks of every common slide size (the corpus's 16:9 decks,
// generated 4:3, 16:10, A4 and 1024 x 768 ones): each picture and label is on its slide, as
// the saved file says and as LibreOffice draws it.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "hosts/presentation/loader.h"
#include "office/clipboard_formats.h"
#include "office/powerpoint.h"
#include "support/batch_binary.h"
#include "support/generated_decks.h"
#include "support/test_env.h"

using namespace morvane;

namespace {

struct DeckSize {
  const char* name;
  const char* corpusFile;  // null: generated
  float width, height;
};

const DeckSize kDecks[] = {{"4x3", nullptr, 720, 540},
                           {"16x9_720", "poi_16x9_screen_custom_master.pptx", 720, 405},
                           {"16x9_960", "pp_16x9_office2013_one_slide.pptx", 960, 540},
                           {"16x10", nullptr, 720, 450},
                           {"A4", nullptr, 780, 540},
                           {"XGA", nullptr, 1024, 768}};

// The deck of `size` in `dir`; empty when the corpus deck it needs is absent.
QString deckOf(const DeckSize& size, const QTemporaryDir& dir) {
  const QString path = dir.filePath(QString::fromLatin1(size.name) + QStringLiteral(".pptx"));
  if (!size.corpusFile)
    return pptxfixture::writeBlankDeck(path, QSizeF(size.width, size.height)) ? path : QString();
  const QString corpus = testenv::corpusDir(QStringLiteral("pptx"));
  if (corpus.isEmpty()) return {};
  return batchtest::copyWritable(QDir(corpus).filePath(QString::fromLatin1(size.corpusFile)), path);
}

bool inside(ppt::Shape& shape, float width, float height) {
  const float tolerance = 0.01f;
  return shape.left() >= -tolerance && shape.top() >= -tolerance &&
         shape.left() + shape.width() <= width + tolerance &&
         shape.top() + shape.height() <= height + tolerance;
}

QString run(const QString& tool, const QStringList& args) {
  QProcess p;
  p.start(tool, args);
  p.waitForFinished(300000);
  return QString::fromUtf8(p.readAllStandardOutput());
}

// Pastes the sample with labels onto the deck of `size` in `dir`, and checks that every
// slide it added holds its picture and label where the slide's size puts them. Returns the
// deck; empty when the corpus deck it needs is absent.
QString pasteWithLabels(const DeckSize& size, const QTemporaryDir& dir, const QString& book) {
  const QString deck = deckOf(size, dir);
  if (deck.isEmpty()) return {};
  const batchtest::Outcome pasted = batchtest::runMorvane({"paste", book, deck, "--labels"});
  EXPECT_EQ(pasted.exitCode, 0) << pasted.err.toStdString();
  auto opened = hosts::presentation::openPresentation(deck);
  EXPECT_TRUE(opened.ok());
  if (!opened.ok()) return {};
  auto pres = opened.value().application->activePresentation();
  const float sx = size.width / 720, sy = size.height / 540;
  for (int s = pres->slidesCount() - 5; s <= pres->slidesCount(); ++s) {
    SCOPED_TRACE(s);
    auto shapes = pres->slide(s)->shapes();
    EXPECT_EQ(shapes->count(), 3);  // picture, title, label
    if (shapes->count() != 3) continue;
    auto picture = shapes->item(1);
    EXPECT_TRUE(inside(*picture, size.width, size.height));
    EXPECT_NEAR(picture->left(), 20 * sx, 0.01);
    EXPECT_NEAR(picture->top(), 120 * sy, 0.01);
    auto label = shapes->item(3);
    // The source label: its name holds the record of the object it labels.
    const auto record = office::SourceRecord::fromCompact(label->name());
    EXPECT_TRUE(record && record->format == office::SourceRecord::kLabel)
        << label->name().toStdString();
    EXPECT_NEAR(label->left(), 20.25 * sx, 0.01);
    EXPECT_NEAR(label->top(), 515 * sy, 0.01);
  }
  return deck;
}

// In the saved files, then as the audience sees them: LibreOffice draws every label's text
// above its page's bottom edge.
TEST(BatchPasteSlideSizes, PicturesAndLabelsStayOnEverySlideSize) {
  QTemporaryDir dir;
  const QString book = batchtest::sample(dir);
  QStringList decks, missing;
  for (const DeckSize& size : kDecks) {
    SCOPED_TRACE(size.name);
    if (const QString deck = pasteWithLabels(size, dir, book); !deck.isEmpty())
      decks << deck;
    else
      missing << QString::fromLatin1(size.name);
  }
  MORVANE_REQUIRE(!testenv::findTool(QStringLiteral("soffice")).isEmpty() &&
                      !testenv::findTool(QStringLiteral("pdftotext")).isEmpty(),
                  "LibreOffice (soffice) and poppler-utils");
  QTemporaryDir profile;
  run(QStringLiteral("soffice"),
      QStringList{QStringLiteral("-env:UserInstallation=file://") + profile.path(), "--headless",
                  "--norestore", "--convert-to", "pdf", "--outdir", dir.path()} +
          decks);
  const QRegularExpression page(QStringLiteral("<page width=\"[0-9.]+\" height=\"([0-9.]+)\">"));
  const QRegularExpression word(QStringLiteral("yMax=\"([0-9.]+)\">[^<]*sample-sales"));
  for (const QString& deck : decks) {
    SCOPED_TRACE(deck.toStdString());
    int labels = 0;
    const QString pdf = deck.chopped(5) + QStringLiteral(".pdf");
    for (const QString& onePage :
         run(QStringLiteral("pdftotext"), {"-bbox", pdf, "-"}).split(QStringLiteral("</page>"))) {
      const auto height = page.match(onePage);
      const auto label = word.match(onePage);
      if (!height.hasMatch() || !label.hasMatch()) continue;
      ++labels;
      EXPECT_LE(label.captured(1).toDouble(), height.captured(1).toDouble());
    }
    EXPECT_EQ(labels, 6);
  }
  MORVANE_REQUIRE(missing.isEmpty(), "the pptx corpus decks " + missing.join(", ").toStdString());
}

}  // namespace
