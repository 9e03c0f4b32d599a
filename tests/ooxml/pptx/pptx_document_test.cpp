// The presentation model on the blank template and on real decks: slides, layouts found by
// type and added when missing, ids, and saving that keeps what it did not touch.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <pugixml.hpp>

#include "ooxml/detail/xml.h"
#include "ooxml/package.h"
#include "ooxml/pptx/presentation_document.h"
#include "support/generated_decks.h"
#include "support/picture_blips.h"
#include "support/pptx_validity.h"
#include "support/test_env.h"

using namespace morvane;

namespace {

using ooxml::pptx::Document;

std::unique_ptr<Document> reopen(Document& doc) {
  auto bytes = doc.saveToBytes();
  EXPECT_TRUE(bytes.ok());
  EXPECT_EQ(pptxcheck::problems(*bytes), QStringList());
  auto again = Document::openBytes(*bytes, QStringLiteral("again.pptx"));
  EXPECT_TRUE(again.ok()) << (again.ok() ? "" : again.error().message.toStdString());
  return again.ok() ? std::move(again.value()) : nullptr;
}

QString layoutOf(Document& doc, const QString& type, int master = 0) {
  auto part = doc.layoutOfType(doc.masters().at(size_t(master)).part, type);
  EXPECT_TRUE(part.ok());
  return part.ok() ? *part : QString();
}

std::unique_ptr<Document> corpusDeck(const QString& name) {
  const QString dir = testenv::corpusDir(QStringLiteral("pptx"));
  if (dir.isEmpty()) return nullptr;
  auto doc = Document::open(dir + QLatin1Char('/') + name);
  EXPECT_TRUE(doc.ok()) << name.toStdString();
  return doc.ok() ? std::move(doc.value()) : nullptr;
}

int layoutsOfType(const Document& doc, const QString& type, int master = 0) {
  int n = 0;
  for (const auto& l : doc.masters().at(size_t(master)).layouts) n += l.type == type;
  return n;
}

TEST(BlankTemplate, IsAFourByThreeDeckWithTitleOnlyAndBlankLayoutsAndNoSlides) {
  auto doc = Document::createBlank();
  ASSERT_TRUE(doc);
  EXPECT_EQ(doc->slideSize().cx, 9144000);
  EXPECT_EQ(doc->slideSize().cy, 6858000);
  EXPECT_EQ(doc->slideCount(), 0);
  ASSERT_EQ(doc->masters().size(), 1u);
  EXPECT_EQ(layoutsOfType(*doc, QStringLiteral("titleOnly")), 1);
  EXPECT_EQ(layoutsOfType(*doc, QStringLiteral("blank")), 1);
  auto again = reopen(*doc);
  ASSERT_TRUE(again);
  EXPECT_EQ(again->masters().front().layouts.size(), 2u);
}

TEST(Slides, AddedAtTheEndAndInTheMiddleKeepUniqueIdsFrom256) {
  auto doc = Document::createBlank();
  const QString blank = layoutOf(*doc, QStringLiteral("blank"));
  ASSERT_TRUE(doc->addSlide(0, blank).ok());
  ASSERT_TRUE(doc->addSlide(1, blank).ok());
  ASSERT_TRUE(doc->addSlide(1, layoutOf(*doc, QStringLiteral("titleOnly"))).ok());
  EXPECT_FALSE(doc->addSlide(5, blank).ok());
  ASSERT_EQ(doc->slideCount(), 3);
  EXPECT_EQ(doc->slideId(0), 256u);
  EXPECT_EQ(doc->slideId(1), 258u);  // inserted second, numbered third
  EXPECT_EQ(doc->slideId(2), 257u);
  // A Title Only slide starts with its title placeholder; a blank one empty.
  EXPECT_TRUE(doc->titleShape(1).has_value());
  EXPECT_TRUE(doc->shapes(0).empty());
  auto again = reopen(*doc);
  ASSERT_TRUE(again);
  EXPECT_EQ(again->slideId(1), 258u);
  EXPECT_EQ(again->slidePart(2), doc->slidePart(2));
}

TEST(Slides, ShapeIdsAreUniqueAndTextFormattingSurvivesSaving) {
  auto doc = Document::createBlank();
  ASSERT_TRUE(doc->addSlide(0, layoutOf(*doc, QStringLiteral("blank"))).ok());
  const quint32 box = doc->addTextBox(0, {12700, 12700, 127000, 127000});
  const quint32 title = doc->addTitlePlaceholder(0);
  EXPECT_NE(box, title);
  ASSERT_TRUE(doc->setText(0, box, QStringLiteral("first\rsecond & <third>")));
  ASSERT_TRUE(doc->setAlignment(0, box, 3));
  ASSERT_TRUE(doc->setFontSize(0, box, 10.5));
  ASSERT_TRUE(doc->setFontName(0, box, QStringLiteral("Tahoma")));
  ASSERT_TRUE(doc->setWordWrap(0, box, false));
  auto again = reopen(*doc);
  ASSERT_TRUE(again);
  EXPECT_EQ(again->text(0, box), QStringLiteral("first\rsecond & <third>"));
  EXPECT_EQ(again->alignment(0, box), 3);
  EXPECT_EQ(again->fontSize(0, box), 10.5);
  EXPECT_EQ(again->fontName(0, box), QStringLiteral("Tahoma"));
  EXPECT_EQ(again->wordWrap(0, box), false);
  // The new title takes its place from the layout (through the master) until it gets its own.
  auto info = again->shape(0, title);
  ASSERT_TRUE(info && info->frame);
  EXPECT_EQ(info->frame->y, 274638);
  EXPECT_EQ(again->fontName(0, title), QStringLiteral("Calibri"));  // the theme's major font
}

// Only the slides used last stay parsed; the others are written back and parsed again when
// used. Edits made before and after a slide was set aside all reach the file, in a new deck
// and in one reopened with more slides than stay parsed.
TEST(Slides, EditsSurviveWhenManySlidesAreSetAsideAndParsedAgain) {
  constexpr int kSlides = 300;
  auto doc = Document::createBlank();
  const QString blank = layoutOf(*doc, QStringLiteral("blank"));
  std::vector<quint32> boxes;
  for (int i = 0; i < kSlides; ++i) {
    ASSERT_TRUE(doc->addSlide(i, blank).ok());
    boxes.push_back(doc->addTextBox(i, {12700, 12700, 127000, 127000}));
    ASSERT_TRUE(doc->setText(i, boxes.back(), QStringLiteral("slide %1").arg(i)));
  }
  auto named = [](int i, int round) {
    return QStringLiteral("box %1 of round %2").arg(i).arg(round);
  };
  for (int i : {0, 1, kSlides / 2, kSlides - 1})
    ASSERT_TRUE(doc->setShapeName(i, boxes[size_t(i)], named(i, 1)));
  auto again = reopen(*doc);
  ASSERT_TRUE(again);
  for (int added = 0; added < 3; ++added)
    ASSERT_TRUE(again->addSlide(again->slideCount(), blank).ok());
  for (int i : {2, kSlides - 2}) ASSERT_TRUE(again->setShapeName(i, boxes[size_t(i)], named(i, 2)));
  auto last = reopen(*again);
  ASSERT_TRUE(last);
  ASSERT_EQ(last->slideCount(), kSlides + 3);
  for (int i = 0; i < kSlides; ++i) {
    ASSERT_EQ(last->text(i, boxes[size_t(i)]), QStringLiteral("slide %1").arg(i)) << i;
    const bool first = i == 0 || i == 1 || i == kSlides / 2 || i == kSlides - 1;
    const bool second = i == 2 || i == kSlides - 2;
    const QString name = last->shape(i, boxes[size_t(i)])->name;
    if (first || second) EXPECT_EQ(name, named(i, first ? 1 : 2)) << i;
  }
}

// Decks whose masters lack one layout or both get a minimal one, with every piece of
// bookkeeping; decks that have it by type keep using it whatever its name.
TEST(Layouts, MissingTitleOnlyAndBlankAreAddedMatchedByType) {
  struct Case {
    const char* file;
    int titleOnlyBefore;
    int blankBefore;
  };
  const Case cases[] = {
      {"pp_4x3_custom_layouts_only.pptx", 0, 0},      {"pp_4x3_blank_but_no_titleonly.pptx", 0, 1},
      {"oxs_template_titleonly_no_blank.potx", 1, 0}, {"poi_single_layout_odd_size.pptx", 0, 0},
      {"poi_4x3_blank_layout_untyped.pptx", 1, 0},    {"poi_4x3_russian_layout_names.pptx", 1, 1}};
  MORVANE_REQUIRE(!testenv::corpusDir(QStringLiteral("pptx")).isEmpty(), "pptx corpus");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    auto doc = corpusDeck(QString::fromLatin1(c.file));
    ASSERT_TRUE(doc);
    EXPECT_EQ(layoutsOfType(*doc, QStringLiteral("titleOnly")), c.titleOnlyBefore);
    EXPECT_EQ(layoutsOfType(*doc, QStringLiteral("blank")), c.blankBefore);
    const int layoutsBefore = int(doc->masters().front().layouts.size());
    const QString titleOnly = layoutOf(*doc, QStringLiteral("titleOnly"));
    const QString blank = layoutOf(*doc, QStringLiteral("blank"));
    EXPECT_EQ(layoutOf(*doc, QStringLiteral("blank")), blank);  // added once
    EXPECT_EQ(int(doc->masters().front().layouts.size()),
              layoutsBefore + (c.titleOnlyBefore == 0) + (c.blankBefore == 0));
    const int slides = doc->slideCount();
    ASSERT_TRUE(doc->addSlide(slides, blank).ok());
    ASSERT_TRUE(doc->addSlide(slides + 1, titleOnly).ok());
    auto again = reopen(*doc);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->layoutType(again->slideLayout(slides)), QStringLiteral("blank"));
    EXPECT_EQ(again->layoutType(again->slideLayout(slides + 1)), QStringLiteral("titleOnly"));
    EXPECT_EQ(again->masterOfLayout(again->slideLayout(slides)), again->masters().front().part);
    EXPECT_TRUE(again->titleShape(slides + 1).has_value());
    auto title = again->shape(slides + 1, *again->titleShape(slides + 1));
    ASSERT_TRUE(title && title->frame);  // placed by the master or by the added layout
  }
}

// Relinked to Title Only, the two columns, which the new layout has no place for, keep on
// themselves what the two-column layout and the master gave them, under what they set
// themselves; the title takes the new layout's place.
TEST(Layouts, OrphanedPlaceholdersKeepTheirPlaceAndTextStylesWhenRelinked) {
  auto doc = Document::openBytes(pptxfixture::twoColumnDeck(), QStringLiteral("two.pptx"));
  ASSERT_TRUE(doc.ok());
  ASSERT_TRUE(
      doc.value()->setSlideLayout(0, layoutOf(*doc.value(), QStringLiteral("titleOnly"))).ok());
  auto again = reopen(*doc.value());
  ASSERT_TRUE(again);
  const QByteArray xml = again->package().read(again->slidePart(0)).value();
  pugi::xml_document slide;
  ASSERT_TRUE(slide.load_buffer(xml.constData(), size_t(xml.size())));
  const struct {
    const char* xpath;
    const char* expected;
  } rows[] = {
      // Left: the layout's place, its 24-point first level, the master's indents and bullets.
      {"string(//p:sp[.//p:cNvPr/@id='3']/p:spPr/a:xfrm/a:off/@x)", "457200"},
      {"string(//p:sp[.//p:cNvPr/@id='3']/p:spPr/a:xfrm/a:off/@y)", "1600200"},
      {"string(//p:sp[.//p:cNvPr/@id='3']/p:spPr/a:xfrm/a:ext/@cy)", "4525963"},
      {"string(//p:sp[.//p:cNvPr/@id='3']//a:lvl1pPr/a:defRPr/@sz)", "2400"},
      {"string(//p:sp[.//p:cNvPr/@id='3']//a:lvl1pPr/@marL)", "342900"},
      {"string(//p:sp[.//p:cNvPr/@id='3']//a:lvl1pPr/a:buChar/@char)", "\xE2\x80\xA2"},
      {"string(//p:sp[.//p:cNvPr/@id='3']//a:lvl2pPr/a:defRPr/@sz)", "2800"},
      {"string(//p:sp[.//p:cNvPr/@id='3']//a:bodyPr/@anchor)", "t"},
      {"count(//p:sp[.//p:cNvPr/@id='3']//a:bodyPr/a:normAutofit)", "1"},
      // Right: its own place and alignment; the layout's bottom anchor and no bullet.
      {"string(//p:sp[.//p:cNvPr/@id='4']/p:spPr/a:xfrm/a:off/@y)", "3200400"},
      {"string(//p:sp[.//p:cNvPr/@id='4']//a:lvl1pPr/@algn)", "r"},
      {"count(//p:sp[.//p:cNvPr/@id='4']//a:lvl1pPr/a:buNone)", "1"},
      {"count(//p:sp[.//p:cNvPr/@id='4']//a:lvl1pPr/a:buChar)", "0"},
      {"string(//p:sp[.//p:cNvPr/@id='4']//a:bodyPr/@anchor)", "b"},
      // The title: nothing written, the new layout places and styles it.
      {"count(//p:sp[.//p:cNvPr/@id='2']/p:spPr/*)", "0"},
      {"count(//p:sp[.//p:cNvPr/@id='2']//a:lstStyle/*)", "0"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(pugi::xpath_query(row.xpath).evaluate_string(slide), row.expected) << row.xpath;
}

TEST(Layouts, EachMasterOfATwoMasterDeckGetsItsOwnWithIdsUniqueAcrossMasters) {
  MORVANE_REQUIRE(!testenv::corpusDir(QStringLiteral("pptx")).isEmpty(), "pptx corpus");
  auto doc = corpusDeck(QStringLiteral("pp_4x3_two_masters.pptx"));
  ASSERT_TRUE(doc);
  ASSERT_EQ(doc->masters().size(), 2u);
  const QString first = layoutOf(*doc, QStringLiteral("titleOnly"), 0);
  const QString second = layoutOf(*doc, QStringLiteral("titleOnly"), 1);
  EXPECT_NE(first, second);
  EXPECT_EQ(doc->masterOfLayout(second), doc->masters()[1].part);
  ASSERT_TRUE(doc->addSlide(0, second).ok());
  auto again = reopen(*doc);  // the validity check covers id uniqueness across masters
  ASSERT_TRUE(again);
  EXPECT_EQ(again->masterOfLayout(again->slideLayout(0)), again->masters()[1].part);
}

// Every corpus deck: its slides stay as they were (byte for byte) when slides are added, and
// the saved deck has no structural problem the original did not have.
TEST(CorpusDecks, KeepTheirSlidesWhenSlidesAreAdded) {
  const QString dir = testenv::corpusDir(QStringLiteral("pptx"));
  MORVANE_REQUIRE(!dir.isEmpty(), "pptx corpus");
  const QStringList files =
      QDir(dir).entryList({QStringLiteral("*.pptx"), QStringLiteral("*.potx")});
  ASSERT_GE(files.size(), 10);
  for (const QString& name : files) {
    SCOPED_TRACE(name.toStdString());
    QFile f(dir + QLatin1Char('/') + name);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray original = f.readAll();
    auto doc = Document::openBytes(original, name);
    ASSERT_TRUE(doc.ok()) << doc.error().message.toStdString();
    Document& d = *doc.value();
    const int before = d.slideCount();
    std::vector<std::pair<QString, QByteArray>> slides;
    for (int i = 0; i < before; ++i)
      slides.push_back({d.slidePart(i), *d.package().read(d.slidePart(i))});
    const QString master =
        d.slideCount() ? d.masterOfLayout(d.slideLayout(before - 1)) : d.masters().front().part;
    auto blank = d.layoutOfType(master, QStringLiteral("blank"));
    ASSERT_TRUE(blank.ok());
    ASSERT_TRUE(d.addSlide(before, *blank).ok());
    auto saved = d.saveToBytes();
    ASSERT_TRUE(saved.ok());
    const QStringList known = pptxcheck::problems(original);
    for (const QString& p : pptxcheck::problems(*saved))
      EXPECT_TRUE(known.contains(p)) << p.toStdString();
    auto again = Document::openBytes(*saved, name);
    ASSERT_TRUE(again.ok());
    ASSERT_EQ(again.value()->slideCount(), before + 1);
    for (int i = 0; i < before; ++i) {
      EXPECT_EQ(again.value()->slidePart(i), slides[size_t(i)].first);
      EXPECT_EQ(*again.value()->package().read(slides[size_t(i)].first), slides[size_t(i)].second);
    }
  }
}

}  // namespace

// A picture with a vector form shows its PNG and names the SVG part in its blip's extension;
// the pair survives a save, a reopening and a later edit of the slide.
TEST(Pictures, SvgPicturesShowThePngAndNameTheSvgInTheBlipExtension) {
  auto doc = Document::createBlank();
  ASSERT_TRUE(doc->addSlide(0, layoutOf(*doc, QStringLiteral("blank"))).ok());
  const QByteArray png("png bytes"), svg("<svg xmlns=\"http://www.w3.org/2000/svg\"/>");
  const quint32 id = doc->addSvgPicture(0, png, svg, {0, 0, 100, 50});
  doc->addPicture(0, png, ooxml::pptx::ImageFormat::Png, {0, 0, 10, 10});
  auto again = reopen(*doc);
  ASSERT_TRUE(again);
  again->addTextBox(0, {1, 2, 3, 4});  // the slide is written once more
  auto bytes = again->saveToBytes();
  ASSERT_TRUE(bytes.ok());
  EXPECT_EQ(pptxcheck::problems(*bytes), QStringList());
  auto pkg = ooxml::Package::openBytes(*bytes, QStringLiteral("svg.pptx"));
  ASSERT_TRUE(pkg.ok());
  const auto found = blips::pictureBlips(**pkg, again->slidePart(0));
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(*(*pkg)->read(found[0].image), png);
  EXPECT_EQ((*pkg)->contentType(found[0].image), QStringLiteral("image/png"));
  ASSERT_FALSE(found[0].svg.isEmpty());
  EXPECT_TRUE(found[0].svg.startsWith(QStringLiteral("/ppt/media/")) &&
              found[0].svg.endsWith(QStringLiteral(".svg")));
  EXPECT_EQ(*(*pkg)->read(found[0].svg), svg);
  EXPECT_EQ((*pkg)->contentType(found[0].svg), QStringLiteral("image/svg+xml"));
  EXPECT_TRUE(found[1].svg.isEmpty());  // a plain picture has no extension
  EXPECT_TRUE((*pkg)
                  ->read(again->slidePart(0))
                  ->contains("uri=\"{96DAC541-7B7A-43D3-8B79-37D633B846F1}\""));
  EXPECT_EQ(again->pictureData(0, id)->contentType, QStringLiteral("image/png"));
}

namespace {

// The structural check itself finds what it is meant to find.
TEST(ValidityCheck, FlagsRepeatedIdsMisorderedTransformsAndMissingTargets) {
  auto doc = Document::createBlank();
  ASSERT_TRUE(doc->addSlide(0, layoutOf(*doc, QStringLiteral("blank"))).ok());
  doc->addTextBox(0, {1, 2, 3, 4});
  doc->addTextBox(0, {1, 2, 3, 4});
  doc->addPicture(0, QByteArray("not really a png"), ooxml::pptx::ImageFormat::Png, {0, 0, 10, 10});
  const QByteArray good = *doc->saveToBytes();
  ASSERT_EQ(pptxcheck::problems(good), QStringList());

  auto pkg = ooxml::Package::openBytes(good, QStringLiteral("x.pptx"));
  const QString slide = QStringLiteral("/ppt/slides/slide1.xml");
  QByteArray xml = *pkg.value()->read(slide);
  xml.replace("id=\"3\"", "id=\"2\"");
  xml.replace("<a:off x=\"1\" y=\"2\"/><a:ext cx=\"3\" cy=\"4\"/>",
              "<a:ext cx=\"3\" cy=\"4\"/><a:off x=\"1\" y=\"2\"/>");
  ASSERT_TRUE(pkg.value()->write(slide, xml, {}).ok());
  pkg.value()->remove(QStringLiteral("/ppt/media/image1.png"));
  const QString found = pptxcheck::problems(*pkg.value()->saveToBytes()).join(QChar('\n'));
  EXPECT_TRUE(found.contains(QStringLiteral("not unique"))) << found.toStdString();
  EXPECT_TRUE(found.contains(QStringLiteral("a:ext before a:off"))) << found.toStdString();
  EXPECT_TRUE(found.contains(QStringLiteral("targets missing"))) << found.toStdString();
}

}  // namespace

// A refreshed picture: parts of its own, the crop kept only at the old proportions, the
// picture fitted (never stretched) otherwise, and a part another shape shares left alone.
TEST(Pictures, ReplacingKeepsCropsAtTheOldProportionsAndNeverWritesASharedPart) {
  const struct {
    const char* what;
    bool keepCrop;
    double aspect;
    const char* fill;  // the a:stretch content after the replacement
  } cases[] = {
      {"same proportions", true, 2.0, "<a:fillRect/>"},
      {"taller", false, 1.0, "<a:fillRect l=\"25000\" r=\"25000\"/>"},
      {"wider", false, 4.0, "<a:fillRect t=\"25000\" b=\"25000\"/>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto doc = Document::createBlank();
    ASSERT_TRUE(doc->addSlide(0, layoutOf(*doc, QStringLiteral("blank"))).ok());
    const quint32 id = doc->addPicture(0, "old", ooxml::pptx::ImageFormat::Png, {0, 0, 200, 100});
    const quint32 other =
        doc->addPicture(0, "other", ooxml::pptx::ImageFormat::Png, {0, 0, 20, 10});
    // The user's crop on the first; the second made to share its picture part, as a copy
    // pasted in a presentation program does.
    auto pkg = ooxml::Package::openBytes(*doc->saveToBytes(), QStringLiteral("x.pptx"));
    const QString slide = doc->slidePart(0);
    QByteArray xml = *pkg.value()->read(slide);
    const QByteArray firstRid = xml.mid(xml.indexOf("r:embed=\"") + 9, 4);
    xml.replace(QByteArray("<a:blip r:embed=\"" + firstRid + "\"/>"),
                "<a:blip r:embed=\"" + firstRid + "\"/><a:srcRect l=\"10000\"/>");
    const int second = xml.lastIndexOf("r:embed=\"");
    xml.replace(second + 9, 4, firstRid);
    ASSERT_TRUE(pkg.value()->write(slide, xml, {}).ok());
    auto shared = Document::openBytes(*pkg.value()->saveToBytes(), QStringLiteral("y.pptx"));
    ASSERT_TRUE(shared.ok());
    Document& d = *shared.value();

    ASSERT_TRUE(d.replacePicture(0, id, {"new", ooxml::pptx::ImageFormat::Emf, c.aspect, {}, {}},
                                 c.keepCrop));
    EXPECT_FALSE(d.replacePicture(0, 99, {"x", ooxml::pptx::ImageFormat::Png, 1, {}, {}}, true));
    auto again = reopen(d);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->pictureData(0, id)->bytes, "new");
    EXPECT_EQ(again->pictureData(0, id)->contentType, "image/x-emf");
    EXPECT_EQ(again->pictureData(0, other)->bytes, "old");  // the shared part is kept
    const QByteArray saved =
        *ooxml::Package::openBytes(*again->saveToBytes(), "z.pptx").value()->read(slide);
    EXPECT_EQ(saved.contains("<a:srcRect l=\"10000\"/>"), c.keepCrop);
    EXPECT_TRUE(saved.contains(c.fill)) << saved.toStdString();
  }
}
