// PasteSpecial with real data on the real clipboard, and the geometry members the placement
// step uses.
#include <QDir>

#include "host_fixture.h"
#include "support/pptx_validity.h"

using namespace morvane;

namespace {

using hosttest::fails;

class Paste : public ::testing::Test {
 protected:
  void SetUp() override {
    m_path = hosttest::freshPath(
        QStringLiteral("presentation_paste"),
        QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
            QStringLiteral(".pptx"));
    m_host = hosttest::openHost(m_path);
    ASSERT_TRUE(m_host);
    auto pres = m_host->activePresentation();
    m_slide = pres->slidesAdd(1, ppt::ppLayoutBlank);
    window()->view()->gotoSlide(1);
  }
  std::shared_ptr<ppt::DocumentWindow> window() { return m_host->activeWindow(); }
  std::shared_ptr<ppt::ShapeRange> pasted(int dataType) {
    window()->view()->pasteSpecial(dataType);
    return window()->selection()->shapeRange();
  }
  // The saved deck's package, after checking it is structurally valid.
  std::unique_ptr<ooxml::Package> saved() {
    m_host->save();
    const QByteArray bytes = hosttest::readFile(m_path);
    EXPECT_EQ(pptxcheck::problems(bytes), QStringList());
    auto pkg = ooxml::Package::openBytes(bytes, m_path);
    EXPECT_TRUE(pkg.ok());
    return pkg.ok() ? std::move(pkg.value()) : nullptr;
  }
  const ooxml::pptx::ShapeInfo lastShape() { return m_host->document().shapes(0).back(); }

  QString m_path;
  std::shared_ptr<hosts::presentation::PresentationHost> m_host;
  std::shared_ptr<ppt::Slide> m_slide;
};

TEST_F(Paste, BitmapBecomesAPngPictureAtItsNaturalSizeCentred) {
  hosttest::putOnClipboard(hosttest::bitmap(300, 150, 5669));  // 144 dpi: 150 x 75 points
  auto range = pasted(ppt::ppPasteBitmap);
  EXPECT_NEAR(range->width(), 150, 0.05);
  EXPECT_NEAR(range->height(), 75, 0.05);
  EXPECT_NEAR(range->left(), (720 - range->width()) / 2, 0.01);
  EXPECT_NEAR(range->top(), (540 - range->height()) / 2, 0.01);
  EXPECT_EQ(range->lockAspectRatio(), ppt::msoTrue);
  EXPECT_EQ(lastShape().kind, ooxml::pptx::ShapeKind::Picture);
  // No dots per metre: 96 dpi.
  QImage plain(96, 48, QImage::Format_RGB32);
  plain.fill(Qt::red);
  plain.setDotsPerMeterX(0);
  plain.setDotsPerMeterY(0);
  hosttest::putOnClipboard(plain);
  EXPECT_NEAR(pasted(ppt::ppPasteBitmap)->width(), 72, 0.01);
  auto pkg = saved();
  ASSERT_TRUE(pkg);
  EXPECT_EQ(pkg->contentType(QStringLiteral("/ppt/media/image1.png")), QStringLiteral("image/png"));
  EXPECT_TRUE(QImage::fromData(*pkg->read(QStringLiteral("/ppt/media/image1.png"))).size() ==
              QSize(300, 150));
}

TEST_F(Paste, MetafileBecomesAnEmfPictureSizedByItsFrame) {
  const QByteArray emf = hosttest::emfBytes(QSizeF(300, 150));
  MORVANE_REQUIRE(!emf.isEmpty(), "the EMF codec");
  hosttest::putOnClipboard(hosttest::bitmap(10, 10), emf);
  auto range = pasted(ppt::ppPasteEnhancedMetafile);
  EXPECT_NEAR(range->width(), 300, 1.0);
  EXPECT_NEAR(range->height(), 150, 1.0);
  auto pkg = saved();
  ASSERT_TRUE(pkg);
  EXPECT_EQ(pkg->contentType(QStringLiteral("/ppt/media/image1.emf")),
            QStringLiteral("image/x-emf"));
  EXPECT_EQ(*pkg->read(QStringLiteral("/ppt/media/image1.emf")), emf);
}

office::NativeObject nativeObject(office::NativeObject::Kind kind, const QByteArray& workbook) {
  office::NativeObject o;
  o.kind = kind;
  o.workbookName = QStringLiteral("Sales.xlsx");
  o.sheet = QStringLiteral("Sheet1");
  o.name = kind == office::NativeObject::Kind::Range ? QStringLiteral("Totals")
                                                     : QStringLiteral("Chart 1");
  o.sizePoints = QSizeF(360, 216);
  o.workbook = workbook;
  return o;
}

QByteArray corpusWorkbook() {
  const QString dir = testenv::corpusDir(QStringLiteral("xlsx"));
  return dir.isEmpty()
             ? QByteArray()
             : hosttest::readFile(dir + QStringLiteral("/xw_chart_column_clustered.xlsx"));
}

TEST_F(Paste, ObjectEmbedsTheWorkbookWithTheMetafileAsItsPicture) {
  const QByteArray workbook = corpusWorkbook();
  MORVANE_REQUIRE(!workbook.isEmpty(), "xlsx corpus");
  const QByteArray emf = hosttest::emfBytes(QSizeF(360, 216));
  hosttest::putOnClipboard(hosttest::bitmap(480, 288), emf,
                           nativeObject(office::NativeObject::Kind::Chart, workbook));
  auto range = pasted(ppt::ppPasteOLEObject);
  EXPECT_FLOAT_EQ(range->width(), 360);
  EXPECT_FLOAT_EQ(range->height(), 216);
  EXPECT_TRUE(lastShape().isOleObject);
  hosttest::putOnClipboard(hosttest::bitmap(480, 288), {},
                           nativeObject(office::NativeObject::Kind::Range, workbook));
  pasted(ppt::ppPasteDefault);  // the default paste of an object embeds it too
  EXPECT_TRUE(lastShape().isOleObject);

  auto pkg = saved();
  ASSERT_TRUE(pkg);
  const QString chart = QStringLiteral("/ppt/embeddings/Microsoft_Excel_Chart1.xlsx");
  const QString sheet = QStringLiteral("/ppt/embeddings/Microsoft_Excel_Worksheet1.xlsx");
  EXPECT_EQ(*pkg->read(chart), workbook);
  EXPECT_EQ(*pkg->read(sheet), workbook);
  EXPECT_EQ(pkg->contentType(chart),
            QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet"));
  const QByteArray slide = *pkg->read(QStringLiteral("/ppt/slides/slide1.xml"));
  EXPECT_TRUE(slide.contains("progId=\"Excel.Chart.8\""));
  EXPECT_TRUE(slide.contains("progId=\"Excel.Sheet.12\""));
  EXPECT_TRUE(slide.contains("<p:embed/>"));
  // The chart shows through its metafile, the range (no metafile offered) through the bitmap.
  if (!emf.isEmpty()) {
    EXPECT_TRUE(pkg->hasPart(QStringLiteral("/ppt/media/image1.emf")));
  }
  EXPECT_TRUE(pkg->hasPart(QStringLiteral("/ppt/media/image1.png")) ||
              pkg->hasPart(QStringLiteral("/ppt/media/image2.png")));
}

TEST_F(Paste, AClipboardWithoutTheFormatIsAnErrorAndAddsNothing) {
  hosttest::putOnClipboard(hosttest::bitmap(20, 20));
  auto view = window()->view();
  EXPECT_TRUE(fails([&] { view->pasteSpecial(ppt::ppPasteEnhancedMetafile); }));
  EXPECT_TRUE(fails([&] { view->pasteSpecial(ppt::ppPasteOLEObject); }));
  EXPECT_TRUE(fails([&] { view->pasteSpecial(7); }));
  EXPECT_TRUE(fails([&] { view->pasteSpecial(ppt::ppPasteSVG); }));
  auto* broken = new QMimeData;
  broken->setImageData(hosttest::bitmap(20, 20));
  broken->setData(QString::fromLatin1(office::kEmfMime), QByteArray("not a metafile at all"));
  broken->setData(QString::fromLatin1(office::kNativeObjectMime), QByteArray("garbage"));
  broken->setData(QString::fromLatin1(office::kSvgMime), QByteArray("<html>no svg</html>"));
  QGuiApplication::clipboard()->setMimeData(broken);
  EXPECT_TRUE(fails([&] { view->pasteSpecial(ppt::ppPasteEnhancedMetafile); }));
  EXPECT_TRUE(fails([&] { view->pasteSpecial(ppt::ppPasteOLEObject); }));
  EXPECT_TRUE(fails([&] { view->pasteSpecial(ppt::ppPasteSVG); }));
  QGuiApplication::clipboard()->clear();
  EXPECT_TRUE(fails([&] { view->pasteSpecial(ppt::ppPasteBitmap); }));
  EXPECT_EQ(m_slide->shapes()->count(), 0);
  // A picture on the clipboard pastes as a picture by default.
  hosttest::putOnClipboard(hosttest::bitmap(20, 20));
  view->pasteSpecial(ppt::ppPasteDefault);
  EXPECT_EQ(lastShape().kind, ooxml::pptx::ShapeKind::Picture);
}

// The placement step: select the last shape, unlock, scale both sides by the same factor,
// then move to the box corner (box 20, 120, 680 x 400).
void place(ppt::Application& app) {
  auto window = app.activeWindow();
  auto shapes = window->selection()->slideRange()->shapes();
  shapes->item(shapes->count())->select(ppt::msoTrue);
  auto r = window->selection()->shapeRange();
  r->setLockAspectRatio(ppt::msoFalse);
  const float w = r->width();
  const float f = 680 / w;
  r->scaleWidth(f, ppt::msoFalse, ppt::msoScaleFromTopLeft);
  r->scaleHeight(f, ppt::msoFalse, ppt::msoScaleFromBottomRight);
  const float h = r->height();
  if (h > 400) {
    const float g = 400 / h;
    r->scaleWidth(g, ppt::msoFalse, ppt::msoScaleFromTopLeft);
    r->scaleHeight(g, ppt::msoFalse, ppt::msoScaleFromBottomRight);
  }
  r->setTop(120);
  r->setLeft(20);
}

TEST_F(Paste, PlacementScalesIntoTheBoxAndMovesToItsCorner) {
  struct Case {
    int w, h;
    float ew, eh;
  } cases[] = {{340, 100, 680, 200}, {1360, 1600, 340, 400}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.w);
    hosttest::putOnClipboard(hosttest::bitmap(c.w, c.h, 2835));  // 72 dpi: pixels are points
    pasted(ppt::ppPasteBitmap);
    place(*m_host);
    auto r = window()->selection()->shapeRange();
    EXPECT_NEAR(r->width(), c.ew, 0.01);
    EXPECT_NEAR(r->height(), c.eh, 0.01);
    EXPECT_FLOAT_EQ(r->left(), 20);
    EXPECT_FLOAT_EQ(r->top(), 120);
  }
}

TEST_F(Paste, ScalingFromTheMiddleAndRelativeToTheOriginalSize) {
  hosttest::putOnClipboard(hosttest::bitmap(200, 100, 2835));
  auto r = pasted(ppt::ppPasteBitmap);
  const float cx = r->left() + r->width() / 2, cy = r->top() + r->height() / 2;
  r->scaleWidth(3, ppt::msoFalse, ppt::msoScaleFromMiddle);  // locked: the height follows
  EXPECT_FLOAT_EQ(r->width(), 600);
  EXPECT_FLOAT_EQ(r->height(), 300);
  EXPECT_FLOAT_EQ(r->left() + r->width() / 2, cx);
  EXPECT_FLOAT_EQ(r->top() + r->height() / 2, cy);
  r->setLockAspectRatio(ppt::msoFalse);
  r->scaleHeight(0.5f, ppt::msoTrue, ppt::msoScaleFromTopLeft);  // half the original height
  EXPECT_FLOAT_EQ(r->height(), 50);
  EXPECT_FLOAT_EQ(r->width(), 600);
  EXPECT_TRUE(fails([&] { r->scaleWidth(-1, ppt::msoFalse, ppt::msoScaleFromTopLeft); }));
  EXPECT_TRUE(fails([&] { r->scaleWidth(1, ppt::msoFalse, 7); }));
  // A text box has no original size.
  auto label = m_slide->shapes()->addLabel(1, 10, 10, 50, 20);
  label->select(ppt::msoTrue);
  EXPECT_TRUE(fails([&] {
    window()->selection()->shapeRange()->scaleWidth(1, ppt::msoTrue, ppt::msoScaleFromTopLeft);
  }));
  // Sizes are points; the file holds EMU.
  r = window()->selection()->shapeRange();
  r->setWidth(100.5f);
  auto pkg = saved();
  ASSERT_TRUE(pkg);
  EXPECT_EQ(m_host->document().shapes(0).back().frame->cx, 1276350);
}

}  // namespace
