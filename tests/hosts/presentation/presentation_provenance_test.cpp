// Source records on pasted shapes: written from the copy's record with the format pasted,
// onto the source label that follows, never onto foreign pictures; read from the tag first
// and from the shape's name when the tag is gone.
#include <QRegularExpression>

#include "host_fixture.h"
#include "hosts/presentation/provenance.h"
#include "support/pptx_validity.h"

using namespace morvane;

namespace {

using office::SourceRecord;

const SourceRecord kRecord{"Sales|Jan.xlsx",
                           SourceRecord::Kind::Chart,
                           "Sheet 1",
                           "Chart 1",
                           "{00000000-0008-0000-0000-000002000000}",
                           {}};

// Every form a workbook copy offers, with or without its source record.
void putCopyOnClipboard(bool withSource) {
  auto* mime = new QMimeData;
  mime->setImageData(hosttest::bitmap(40, 20));
  mime->setData(QString::fromLatin1(office::kEmfMime), hosttest::emfBytes(QSizeF(40, 20)));
  mime->setData(QString::fromLatin1(office::kSvgMime),
                "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"40\" height=\"20\"/>");
  office::NativeObject object;
  object.workbook = "workbook bytes";
  mime->setData(QString::fromLatin1(office::kNativeObjectMime), object.serialize());
  if (withSource)
    mime->setData(QString::fromLatin1(office::kSourceMime), kRecord.compact().toUtf8());
  QGuiApplication::clipboard()->setMimeData(mime);
}

SourceRecord pastedAs(const char* format) {
  SourceRecord r = kRecord;
  r.format = QLatin1String(format);
  return r;
}

class Provenance : public ::testing::Test {
 protected:
  void SetUp() override {
    m_path = hosttest::freshPath(
        QStringLiteral("presentation_provenance"),
        QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
            QStringLiteral(".pptx"));
    m_host = hosttest::openHost(m_path);
    ASSERT_TRUE(m_host);
    m_host->activePresentation()->slidesAdd(1, ppt::ppLayoutBlank);
    m_host->activeWindow()->view()->gotoSlide(1);
  }
  quint32 paste(int dataType) {
    m_host->activeWindow()->view()->pasteSpecial(dataType);
    return m_host->document().shapes(0).back().id;
  }
  std::optional<SourceRecord> recordOf(quint32 id) {
    return hosts::presentation::readSourceRecord(m_host->document(), 0, id);
  }
  QString m_path;
  std::shared_ptr<hosts::presentation::PresentationHost> m_host;
};

TEST_F(Provenance, EachPasteKeepsTheCopysRecordWithItsFormatInTagAndName) {
  const struct {
    int dataType;
    const char* format;
  } cases[] = {{ppt::ppPasteBitmap, SourceRecord::kBitmap},
               {ppt::ppPasteEnhancedMetafile, SourceRecord::kEmf},
               {ppt::ppPasteSVG, SourceRecord::kSvg},
               {ppt::ppPasteOLEObject, SourceRecord::kObject}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format);
    putCopyOnClipboard(true);
    const quint32 id = paste(c.dataType);
    EXPECT_EQ(recordOf(id), pastedAs(c.format));
    const auto tags = m_host->document().shapeTags(0, id);
    ASSERT_EQ(tags.size(), 1u);
    EXPECT_EQ(tags[0].value, pastedAs(c.format).compact());
    EXPECT_EQ(m_host->document().shape(0, id)->name, pastedAs(c.format).compact());
  }
}

TEST_F(Provenance, TheSourceLabelIsTaggedForeignPicturesAreNot) {
  putCopyOnClipboard(true);
  paste(ppt::ppPasteBitmap);
  auto shapes = m_host->activeWindow()->selection()->slideRange()->shapes();
  auto label = shapes->addLabel(ppt::msoTextOrientationHorizontal, 20.25f, 515, 8.5f, 28.875f);
  EXPECT_EQ(recordOf(m_host->document().shapes(0).back().id), pastedAs(SourceRecord::kLabel));
  shapes->addLabel(ppt::msoTextOrientationHorizontal, 20.25f, 515, 8.5f,
                   28.875f);  // not a source label
  EXPECT_EQ(recordOf(m_host->document().shapes(0).back().id), std::nullopt);
  putCopyOnClipboard(false);
  const quint32 foreign = paste(ppt::ppPasteBitmap);
  EXPECT_EQ(recordOf(foreign), std::nullopt);
  EXPECT_TRUE(m_host->document().shapeTags(0, foreign).empty());
  shapes->addLabel(ppt::msoTextOrientationHorizontal, 20.25f, 515, 8.5f, 28.875f);
  EXPECT_EQ(recordOf(m_host->document().shapes(0).back().id), std::nullopt);
}

TEST_F(Provenance, ARenamedShapeKeepsItsTagAndAShapeWithoutTagsKeepsItsName) {
  putCopyOnClipboard(true);
  const quint32 id = paste(ppt::ppPasteEnhancedMetafile);
  m_host->save();
  const QByteArray saved = hosttest::readFile(m_path);
  EXPECT_EQ(pptxcheck::problems(saved), QStringList());  // the tags part and its relationship
  auto renamed = ooxml::pptx::Document::openBytes(saved, m_path);
  ASSERT_TRUE(renamed.ok());
  renamed.value()->setShapeName(0, id, QStringLiteral("Sales chart"));
  EXPECT_EQ(hosts::presentation::readSourceRecord(*renamed.value(), 0, id),
            pastedAs(SourceRecord::kEmf));

  // A program that drops the tags but keeps names.
  auto package = ooxml::Package::openBytes(saved, m_path);
  ASSERT_TRUE(package.ok());
  QString slide =
      QString::fromUtf8(*package.value()->read(QStringLiteral("/ppt/slides/slide1.xml")));
  ASSERT_TRUE(slide.contains(QLatin1String("<p:custDataLst>")));
  slide.remove(QRegularExpression(QStringLiteral("<p:custDataLst>.*</p:custDataLst>")));
  const QString part = QStringLiteral("/ppt/slides/slide1.xml");
  ASSERT_TRUE(
      package.value()->write(part, slide.toUtf8(), package.value()->contentType(part)).ok());
  auto untagged = ooxml::pptx::Document::fromPackage(std::move(package.value()));
  ASSERT_TRUE(untagged.ok());
  EXPECT_TRUE(untagged.value()->shapeTags(0, id).empty());
  EXPECT_EQ(hosts::presentation::readSourceRecord(*untagged.value(), 0, id),
            pastedAs(SourceRecord::kEmf));
}

TEST(SourceRecordText, CompactFormRoundTripsAndRefusesOtherText) {
  SourceRecord odd{"100%|done.xlsx",     SourceRecord::Kind::Range, "a|b", "%7C", {},
                   SourceRecord::kObject};
  EXPECT_EQ(SourceRecord::fromCompact(odd.compact()), odd);
  EXPECT_EQ(SourceRecord::fromCompact(kRecord.compact()), kRecord);
  EXPECT_FALSE(odd.compact().contains(QLatin1String("a|b")));
  for (const char* text :
       {"", "Picture 3", "morvane:1|Book.xlsx|chart|S|N|K", "morvane:1||chart|S|N|K|emf",
        "morvane:1|Book.xlsx|table|S|N|K|emf", "morvane:2|Book.xlsx|chart|S|N|K|emf"})
    EXPECT_EQ(SourceRecord::fromCompact(QString::fromLatin1(text)), std::nullopt) << text;
}

}  // namespace
