// Malformed and hostile decks: each gives a clear error from the model and from the loader,
// and the file on disk is never written.
#include <gtest/gtest.h>

#include <QFile>

#include "hosts/presentation/loader.h"
#include "ooxml/package.h"
#include "ooxml/pptx/presentation_document.h"
#include "support/test_env.h"

using namespace morvane;

namespace {

// A valid one-slide deck as bytes, then with `part` replaced by `data`.
QByteArray validDeck() {
  auto doc = ooxml::pptx::Document::createBlank();
  auto blank = doc->layoutOfType(doc->masters().front().part, QStringLiteral("blank"));
  EXPECT_TRUE(blank.ok() && doc->addSlide(0, *blank).ok());
  doc->addTextBox(0, {0, 0, 100, 100});
  return *doc->saveToBytes();
}

QByteArray withPart(const QString& part, const QByteArray& data) {
  auto pkg = ooxml::Package::openBytes(validDeck(), QStringLiteral("x.pptx"));
  EXPECT_TRUE(pkg.ok());
  EXPECT_TRUE(pkg.value()->write(part, data, pkg.value()->contentType(part)).ok());
  return *pkg.value()->saveToBytes();
}

QByteArray withoutPart(const QString& part) {
  auto pkg = ooxml::Package::openBytes(validDeck(), QStringLiteral("x.pptx"));
  pkg.value()->remove(part);
  return *pkg.value()->saveToBytes();
}

QByteArray deepXml(int depth) {
  QByteArray x =
      "<?xml version=\"1.0\"?><p:sld "
      "xmlns:p=\"http://schemas.openxmlformats.org/presentationml/2006/main\"><p:cSld><p:spTree>";
  for (int i = 0; i < depth; ++i) x += "<p:grpSp>";
  for (int i = 0; i < depth; ++i) x += "</p:grpSp>";
  return x + "</p:spTree></p:cSld></p:sld>";
}

struct HostileCase {
  const char* name;
  QByteArray (*make)();
};

const HostileCase kCases[] = {
    {"not_a_zip", [] { return QByteArray("PK\x03\x04 this is not really a zip file"); }},
    {"empty_file", [] { return QByteArray(); }},
    {"truncated",
     [] {
       const QByteArray d = validDeck();
       return d.left(d.size() / 2);
     }},
    {"presentation_with_dtd",
     [] {
       return withPart(QStringLiteral("/ppt/presentation.xml"),
                       "<?xml version=\"1.0\"?><!DOCTYPE p [<!ENTITY a \"aaaa\"><!ENTITY b "
                       "\"&a;&a;&a;&a;\">]><p:presentation "
                       "xmlns:p=\"http://schemas.openxmlformats.org/presentationml/2006/main\">&b;"
                       "</p:presentation>");
     }},
    {"presentation_not_xml",
     [] { return withPart(QStringLiteral("/ppt/presentation.xml"), "<p:presentation"); }},
    {"presentation_wrong_root",
     [] {
       return withPart(QStringLiteral("/ppt/presentation.xml"), "<?xml version=\"1.0\"?><html/>");
     }},
    {"slide_part_missing", [] { return withoutPart(QStringLiteral("/ppt/slides/slide1.xml")); }},
    {"master_missing",
     [] { return withoutPart(QStringLiteral("/ppt/slideMasters/slideMaster1.xml")); }},
    {"layout_missing",
     [] { return withoutPart(QStringLiteral("/ppt/slideLayouts/slideLayout1.xml")); }},
    {"slide_not_a_slide",
     [] {
       return withPart(QStringLiteral("/ppt/slides/slide1.xml"), "<?xml version=\"1.0\"?><a/>");
     }},
    {"slide_nested_too_deep",
     [] { return withPart(QStringLiteral("/ppt/slides/slide1.xml"), deepXml(5000)); }},
    {"no_main_relationship",
     [] {
       return withPart(QStringLiteral("/_rels/.rels"),
                       "<?xml version=\"1.0\"?><Relationships "
                       "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"/>");
     }},
};

TEST(HostileDecks, FailWithAMessageAndAreNeverWritten) {
  const QString dir = testenv::outputDir(QStringLiteral("pptx_hostile"));
  for (const HostileCase& c : kCases) {
    SCOPED_TRACE(c.name);
    const QByteArray bytes = c.make();
    auto model = ooxml::pptx::Document::openBytes(bytes, QStringLiteral("hostile.pptx"));
    ASSERT_FALSE(model.ok());
    EXPECT_FALSE(model.error().message.isEmpty());

    const QString path = dir + QStringLiteral("/%1.pptx").arg(QLatin1String(c.name));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
    f.close();
    auto loaded = hosts::presentation::openPresentation(path);
    ASSERT_FALSE(loaded.ok());
    EXPECT_TRUE(
        loaded.error().message.contains(QStringLiteral("%1.pptx").arg(QLatin1String(c.name))))
        << loaded.error().message.toStdString();
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), bytes);
  }
}

// Odd but readable content is handled without a crash: absurd sizes, non-numeric ids.
TEST(HostileDecks, OddValuesAreToleratedAndRepairedOnEdit) {
  auto pkg = ooxml::Package::openBytes(validDeck(), QStringLiteral("x.pptx"));
  QByteArray pres = *pkg.value()->read(QStringLiteral("/ppt/presentation.xml"));
  pres.replace("cx=\"9144000\" cy=\"6858000\"", "cx=\"-5\" cy=\"99999999999999999999\"");
  pres.replace("<p:sldId id=\"256\"", "<p:sldId id=\"2147483647\"");
  ASSERT_TRUE(pkg.value()->write(QStringLiteral("/ppt/presentation.xml"), pres, {}).ok());
  QByteArray slide = *pkg.value()->read(QStringLiteral("/ppt/slides/slide1.xml"));
  slide.replace("id=\"2\"", "id=\"abc\"");
  ASSERT_TRUE(pkg.value()->write(QStringLiteral("/ppt/slides/slide1.xml"), slide, {}).ok());
  auto doc =
      ooxml::pptx::Document::openBytes(*pkg.value()->saveToBytes(), QStringLiteral("odd.pptx"));
  ASSERT_TRUE(doc.ok());
  EXPECT_EQ(doc.value()->slideSize().cx, 9144000);  // unusable size: the default
  const quint32 id = doc.value()->addTitlePlaceholder(0);
  EXPECT_GE(id, 2u);
  // The highest slide id is taken: the next slide gets a free one below 2^31.
  auto blank =
      doc.value()->layoutOfType(doc.value()->masters().front().part, QStringLiteral("blank"));
  ASSERT_TRUE(blank.ok() && doc.value()->addSlide(1, *blank).ok());
  EXPECT_EQ(doc.value()->slideId(0), 2147483647u);
  EXPECT_EQ(doc.value()->slideId(1), 256u);
}

TEST(Loader, EncryptedDecksAreNamedAsSuch) {
  const QString path =
      testenv::outputDir(QStringLiteral("pptx_hostile")) + QStringLiteral("/encrypted.pptx");
  QByteArray cfb = QByteArray::fromHex("d0cf11e0a1b11ae1") + QByteArray(4088, '\0');
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(cfb);
  f.close();
  auto loaded = hosts::presentation::openPresentation(path);
  ASSERT_FALSE(loaded.ok());
  EXPECT_TRUE(loaded.error().message.contains(QStringLiteral("password-protected")))
      << loaded.error().message.toStdString();
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), cfb);
}

TEST(Loader, MissingFolderIsAnErrorAndMissingFileAFreshPresentation) {
  const QString dir = testenv::outputDir(QStringLiteral("pptx_loader"));
  auto noFolder =
      hosts::presentation::openPresentation(dir + QStringLiteral("/no/such/folder/deck.pptx"));
  ASSERT_FALSE(noFolder.ok());
  EXPECT_EQ(noFolder.error().code, ooxml::Error::Code::NotFound);
  QFile::remove(dir + QStringLiteral("/new.pptx"));
  auto fresh = hosts::presentation::openPresentation(dir + QStringLiteral("/new.pptx"));
  ASSERT_TRUE(fresh.ok());
  EXPECT_TRUE(fresh.value().created);
  EXPECT_FALSE(QFile::exists(dir + QStringLiteral("/new.pptx")));  // written at the first save
  EXPECT_EQ(fresh.value().application->activePresentation()->name(), QStringLiteral("new.pptx"));
}

}  // namespace
