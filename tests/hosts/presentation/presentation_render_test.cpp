// Decks the host writes open in LibreOffice Impress: every slide renders, each pasted picture
// and each title shows in the PDF, and the deck reopens in the host.
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cmath>

#include "host_fixture.h"
#include "support/generated_decks.h"
#include "support/pptx_validity.h"

using namespace morvane;

namespace {

QString run(const QString& tool, const QStringList& args, int timeoutMs = 240000) {
  QProcess p;
  p.start(tool, args);
  if (!p.waitForFinished(timeoutMs)) return {};
  return QString::fromUtf8(p.readAllStandardOutput());
}

void titled(hosts::presentation::PresentationHost& host, int index, const QString& title) {
  auto slide = host.activePresentation()->slide(index);
  slide->setLayout(ppt::ppLayoutTitleOnly);
  slide->select();
  slide->shapes()->item(2)->select(ppt::msoTrue);
  host.activeWindow()->selection()->textRange()->setText(title);
}

void newSlideWith(hosts::presentation::PresentationHost& host, int dataType) {
  auto pres = host.activePresentation();
  auto slide = pres->slidesAdd(pres->slidesCount() + 1, ppt::ppLayoutBlank);
  host.activeWindow()->view()->gotoSlide(slide->slideIndex());
  host.activeWindow()->view()->pasteSpecial(dataType);
  auto r = host.activeWindow()->selection()->shapeRange();
  r->setLockAspectRatio(ppt::msoFalse);
  r->setTop(120);
  r->setLeft(20);
}

TEST(LibreOffice, RendersPicturesTitlesAndLabelsOfEveryPasteKind) {
  const QString loRender = testenv::sharedDir() + QStringLiteral("/tools/lo-render");
  MORVANE_REQUIRE(
      QFile::exists(loRender) && !testenv::findTool(QStringLiteral("soffice")).isEmpty(),
      "LibreOffice (soffice) and lo-render");
  MORVANE_REQUIRE(!testenv::findTool(QStringLiteral("pdftotext")).isEmpty(), "poppler-utils");
  const QString out = testenv::outputDir(QStringLiteral("presentation_render"));
  const QString path =
      hosttest::freshPath(QStringLiteral("presentation_render"), QStringLiteral("rendered.pptx"));
  QFile::remove(out + QStringLiteral("/rendered.pdf"));
  auto host = hosttest::openHost(path);
  ASSERT_TRUE(host);

  hosttest::putOnClipboard(hosttest::bitmap(400, 200));
  newSlideWith(*host, ppt::ppPasteBitmap);
  titled(*host, 1, QStringLiteral("Bitmap slide"));
  auto label =
      host->activePresentation()->slide(1)->shapes()->addLabel(1, 20.25f, 515, 8.5f, 28.875f);
  label->select(ppt::msoTrue);
  label->textFrame()->setWordWrap(ppt::msoFalse);
  auto text = host->activeWindow()->selection()->textRange();
  text->setText(QStringLiteral("Book.xlsx ,  Chart 1 ,  Sheet1"));
  text->setFontSize(10);
  text->setFontName(QStringLiteral("Tahoma"));

  const QByteArray emf = hosttest::emfBytes(QSizeF(300, 180));
  int pictures = 1;
  if (!emf.isEmpty()) {
    hosttest::putOnClipboard({}, emf);
    newSlideWith(*host, ppt::ppPasteEnhancedMetafile);
    titled(*host, 2, QStringLiteral("Metafile slide"));
  }
  const QString xlsx = testenv::corpusDir(QStringLiteral("xlsx"));
  if (!xlsx.isEmpty()) {
    office::NativeObject object;
    object.kind = office::NativeObject::Kind::Chart;
    object.sheet = QStringLiteral("Sheet1");
    object.name = QStringLiteral("Chart 1");
    object.sizePoints = QSizeF(360, 216);
    object.workbook = hosttest::readFile(xlsx + QStringLiteral("/xw_chart_column_clustered.xlsx"));
    hosttest::putOnClipboard(hosttest::bitmap(480, 288), {}, object);
    newSlideWith(*host, ppt::ppPasteOLEObject);
    titled(*host, host->activePresentation()->slidesCount(), QStringLiteral("Object slide"));
    ++pictures;
  }
  host->save();
  ASSERT_EQ(pptxcheck::problems(hosttest::readFile(path)), QStringList());

  const QString pdf = run(loRender, {path, out}).trimmed();
  ASSERT_TRUE(QFile::exists(out + QStringLiteral("/rendered.pdf"))) << pdf.toStdString();
  const QString info = run(QStringLiteral("pdfinfo"), {out + QStringLiteral("/rendered.pdf")});
  EXPECT_TRUE(info.contains(QRegularExpression(
      QStringLiteral("Pages:\\s+%1\\b").arg(host->activePresentation()->slidesCount()))))
      << info.toStdString();
  const QString words =
      run(QStringLiteral("pdftotext"),
          {QStringLiteral("-bbox"), out + QStringLiteral("/rendered.pdf"), QStringLiteral("-")});
  for (const char* w : {"Bitmap", "Book.xlsx"}) EXPECT_TRUE(words.contains(QLatin1String(w))) << w;
  if (!emf.isEmpty()) {
    EXPECT_TRUE(words.contains(QLatin1String("Metafile")));
    EXPECT_TRUE(words.contains(QLatin1String("Vector")));  // the EMF's text, drawn as text
  }
  if (!xlsx.isEmpty()) {
    EXPECT_TRUE(words.contains(QLatin1String("Object")));
  }
  const QString images = run(QStringLiteral("pdfimages"),
                             {QStringLiteral("-list"), out + QStringLiteral("/rendered.pdf")});
  const QStringList rows =
      images.split(QChar('\n'), Qt::SkipEmptyParts).mid(2);  // after the header
  EXPECT_EQ(int(rows.size()), pictures) << images.toStdString();
  // The metafile is drawn as vectors: no raster image on its page.
  if (!emf.isEmpty()) {
    for (const QString& row : rows) {
      EXPECT_NE(row.simplified().section(QChar(' '), 0, 0), QStringLiteral("2"));
    }
  }
  // The title sits above the placed picture (top 120 points).
  const auto title =
      QRegularExpression(QStringLiteral("yMax=\"([0-9.]+)\">Bitmap</word>")).match(words);
  ASSERT_TRUE(title.hasMatch());
  EXPECT_LT(title.captured(1).toDouble(), 120.0);
  auto again = hosttest::openHost(path);
  ASSERT_TRUE(again);
  EXPECT_EQ(again->activePresentation()->slidesCount(), host->activePresentation()->slidesCount());
}

}  // namespace

namespace {

// Corpus decks of every shape (16:9, two masters, no Title Only or Blank layout, odd size, a
// template) take a pasted, titled slide and still render every slide in LibreOffice.
TEST(LibreOffice, CorpusDecksRenderWithTheirNewSlide) {
  const QString loRender = testenv::sharedDir() + QStringLiteral("/tools/lo-render");
  const QString corpus = testenv::corpusDir(QStringLiteral("pptx"));
  MORVANE_REQUIRE(!corpus.isEmpty(), "pptx corpus");
  MORVANE_REQUIRE(
      QFile::exists(loRender) && !testenv::findTool(QStringLiteral("soffice")).isEmpty(),
      "LibreOffice (soffice) and lo-render");
  MORVANE_REQUIRE(!testenv::findTool(QStringLiteral("pdfinfo")).isEmpty(), "poppler-utils");
  const QString out = testenv::outputDir(QStringLiteral("presentation_render/corpus"));
  for (const char* file : {"poi_16x9_widescreen_table_slide.pptx", "pp_4x3_two_masters.pptx",
                           "pp_4x3_custom_layouts_only.pptx", "poi_single_layout_odd_size.pptx",
                           "oxs_template_titleonly_no_blank.potx"}) {
    SCOPED_TRACE(file);
    const QString name =
        QString::fromLatin1(file).section(QChar('.'), 0, 0) + QStringLiteral(".pptx");
    const QString path = hosttest::freshPath(QStringLiteral("presentation_render/corpus"), name);
    ASSERT_TRUE(QFile::copy(corpus + QLatin1Char('/') + QLatin1String(file), path));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    auto host = hosttest::openHost(path);
    ASSERT_TRUE(host);
    const int before = host->activePresentation()->slidesCount();
    hosttest::putOnClipboard(hosttest::bitmap(300, 200));
    newSlideWith(*host, ppt::ppPasteBitmap);
    titled(*host, before + 1, QStringLiteral("Pasted here"));
    host->save();
    EXPECT_EQ(pptxcheck::problems(hosttest::readFile(path)).filter(QStringLiteral("/ppt/slides/")),
              QStringList());
    QFile::remove(out + QLatin1Char('/') + name.section(QChar('.'), 0, 0) + QStringLiteral(".pdf"));
    const QString pdf = run(loRender, {path, out}).trimmed();
    ASSERT_TRUE(QFile::exists(pdf)) << pdf.toStdString();
    const QString info = run(QStringLiteral("pdfinfo"), {pdf});
    EXPECT_TRUE(
        info.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\b").arg(before + 1))))
        << info.toStdString();
    const QString last =
        run(QStringLiteral("pdftotext"),
            {QStringLiteral("-f"), QString::number(before + 1), pdf, QStringLiteral("-")});
    EXPECT_TRUE(last.contains(QLatin1String("Pasted"))) << last.toStdString();
    const QString images =
        run(QStringLiteral("pdfimages"),
            {QStringLiteral("-list"), QStringLiteral("-f"), QString::number(before + 1), pdf});
    EXPECT_GE(images.split(QChar('\n'), Qt::SkipEmptyParts).size(), 3) << images.toStdString();
  }
}

}  // namespace

namespace {

struct Word {
  QString text;
  double x, y;
};

// The words LibreOffice drew on `page` of `pdf` that are not in `leaveOut` (lower case), with
// their top-left corners, in reading order.
std::vector<Word> wordsOn(const QString& pdf, int page, const QStringList& leaveOut) {
  static const QRegularExpression word(
      QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>([^<]*)</word>"));
  const QString text = run(QStringLiteral("pdftotext"),
                           {QStringLiteral("-bbox"), QStringLiteral("-f"), QString::number(page),
                            QStringLiteral("-l"), QString::number(page), pdf, QStringLiteral("-")});
  std::vector<Word> words;
  for (auto it = word.globalMatch(text); it.hasNext();) {
    const auto m = it.next();
    if (!leaveOut.contains(m.captured(3).toLower()))
      words.push_back({m.captured(3), m.captured(1).toDouble(), m.captured(2).toDouble()});
  }
  return words;
}

// A slide relinked to Title Only looks as it did but for its title, which takes the new
// layout's place: every other word stays where LibreOffice drew it before (the generated
// two-column slide, and every slide of a deck with one slide per layout).
TEST(LibreOffice, RelinkedSlidesKeepTheirPlaceholdersWhereTheyWere) {
  MORVANE_REQUIRE(!testenv::findTool(QStringLiteral("soffice")).isEmpty() &&
                      !testenv::findTool(QStringLiteral("pdftotext")).isEmpty(),
                  "LibreOffice (soffice) and poppler-utils");
  const QString out = testenv::outputDir(QStringLiteral("presentation_render/relinked"));
  QStringList decks = {out + QStringLiteral("/two_columns.pptx")};
  QFile::remove(decks[0]);
  QFile generated(decks[0]);
  ASSERT_TRUE(generated.open(QIODevice::WriteOnly));
  generated.write(pptxfixture::twoColumnDeck());
  generated.close();
  const QString corpus = testenv::corpusDir(QStringLiteral("pptx"));
  if (!corpus.isEmpty()) {
    decks << out + QStringLiteral("/one_slide_per_layout.pptx");
    QFile::remove(decks[1]);
    QFile::copy(corpus + QStringLiteral("/poi_4x3_one_slide_per_layout.pptx"), decks[1]);
    QFile::setPermissions(decks[1], QFile::ReadOwner | QFile::WriteOwner);
  }
  std::vector<std::vector<QStringList>> titles;  // per deck, per slide: the title's words
  QStringList converted;
  for (const QString& before : decks) {
    const QString after = before.chopped(5) + QStringLiteral("_relinked.pptx");
    QFile::remove(after);
    ASSERT_TRUE(QFile::copy(before, after));
    auto host = hosttest::openHost(after);
    ASSERT_TRUE(host);
    titles.emplace_back();
    for (int s = 1; s <= host->activePresentation()->slidesCount(); ++s) {
      const auto& doc = host->document();
      const auto title = doc.titleShape(s - 1);
      titles.back().push_back(title ? doc.text(s - 1, *title)
                                          .value_or(QString())
                                          .toLower()
                                          .split(QRegularExpression(QStringLiteral("\\s+")))
                                    : QStringList());
      host->activePresentation()->slide(s)->setLayout(ppt::ppLayoutTitleOnly);
    }
    host->save();
    converted << before << after;
  }
  QTemporaryDir profile;
  run(QStringLiteral("soffice"),
      QStringList{QStringLiteral("-env:UserInstallation=file://") + profile.path(),
                  QStringLiteral("--headless"), QStringLiteral("--norestore"),
                  QStringLiteral("--convert-to"), QStringLiteral("pdf"), QStringLiteral("--outdir"),
                  out} +
          converted,
      600000);
  for (size_t d = 0; d < titles.size(); ++d) {
    for (size_t s = 0; s < titles[d].size(); ++s) {
      SCOPED_TRACE(QStringLiteral("%1 slide %2").arg(decks[int(d)]).arg(s + 1).toStdString());
      const auto before =
          wordsOn(decks[int(d)].chopped(5) + QStringLiteral(".pdf"), int(s) + 1, titles[d][s]);
      const auto after = wordsOn(decks[int(d)].chopped(5) + QStringLiteral("_relinked.pdf"),
                                 int(s) + 1, titles[d][s]);
      EXPECT_EQ(after.size(), before.size());
      EXPECT_FALSE(before.empty() && d == 0);
      // Reading order may change with the title's move: each word is matched by place.
      std::vector<bool> used(after.size());
      for (const Word& w : before) {
        size_t k = 0;
        while (k < after.size() &&
               (used[k] || after[k].text != w.text || std::abs(after[k].x - w.x) > 1 ||
                std::abs(after[k].y - w.y) > 1))
          ++k;
        EXPECT_LT(k, after.size())
            << "moved: " << w.text.toStdString() << " at " << w.x << ", " << w.y;
        if (k < after.size()) used[k] = true;
      }
    }
  }
}

}  // namespace

namespace {

// At the end of the run every deck the tests wrote is converted by LibreOffice in one go:
// each must give a PDF with one page per slide.
class EveryWrittenDeckRenders : public ::testing::Environment {
 public:
  void TearDown() override {
    QStringList decks;
    for (const QString& p : hosttest::writtenDecks())
      if (QFileInfo(p).isFile()) decks << p;
    const QString soffice = testenv::findTool(QStringLiteral("soffice"));
    if (decks.isEmpty() || ::testing::UnitTest::GetInstance()->Failed()) return;
    if (soffice.isEmpty() || testenv::findTool(QStringLiteral("pdfinfo")).isEmpty()) {
      if (testenv::inCi()) ADD_FAILURE() << "required under CI but missing: soffice, pdfinfo";
      return;
    }
    QTemporaryDir profile;
    const QString out = testenv::outputDir(QStringLiteral("presentation_render/all"));
    QStringList args = {QStringLiteral("-env:UserInstallation=file://") + profile.path(),
                        QStringLiteral("--headless"),
                        QStringLiteral("--norestore"),
                        QStringLiteral("--convert-to"),
                        QStringLiteral("pdf"),
                        QStringLiteral("--outdir"),
                        out};
    // Names repeat across folders: convert copies named after their folder.
    QStringList copies;
    for (const QString& d : decks) {
      const QString copy = out + QLatin1Char('/') + QFileInfo(d).dir().dirName() +
                           QLatin1Char('_') + QFileInfo(d).fileName();
      QFile::remove(copy);
      QFile::remove(copy.chopped(5) + QStringLiteral(".pdf"));
      QFile::copy(d, copy);
      copies << copy;
    }
    run(soffice, args + copies, 600000);
    for (const QString& copy : copies) {
      const QString pdf = copy.chopped(5) + QStringLiteral(".pdf");
      auto doc = ooxml::pptx::Document::open(copy);
      if (!doc.ok()) {
        ADD_FAILURE() << copy.toStdString() << " does not reopen";
        continue;
      }
      const QString info = run(QStringLiteral("pdfinfo"), {pdf});
      // Hidden slides are left out of the PDF.
      int slides = 0;
      for (int i = 0; i < doc.value()->slideCount(); ++i) {
        const QByteArray xml = doc.value()->package().read(doc.value()->slidePart(i)).value();
        slides += !QString::fromUtf8(xml.left(2000))
                       .contains(QRegularExpression(
                           QStringLiteral("<p:sld\\b[^>]*\\bshow=\"(0|false)\"")));
      }
      if (slides > 0 &&
          !info.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\b").arg(slides))))
        ADD_FAILURE() << copy.toStdString() << ": LibreOffice gave no PDF of " << slides
                      << " pages";
    }
  }
};

const auto* const kEveryWrittenDeck =
    ::testing::AddGlobalTestEnvironment(new EveryWrittenDeckRenders);

}  // namespace
