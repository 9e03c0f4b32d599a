// The presentation surface's contract: behaviour the paste runs rely on, written against
// powerpoint.h alone and run on the office double and on the presentation host.
//
// Use: a factory type with a member
//   std::shared_ptr<ppt::Application> open(const QString& fileName, int blankSlides,
//                                          const QSizeF& slideSize);
// returning an application whose one window shows a presentation named `fileName` with
// `blankSlides` slides of `slideSize` points, then, in one .cpp of a test:
//   INSTANTIATE_TYPED_TEST_SUITE_P(Double, PowerPointContract, ::testing::Types<MyFactory>);
#pragma once

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QSizeF>

#include "office/automation_error.h"
#include "office/clipboard_formats.h"
#include "office/powerpoint.h"

namespace morvane::powerpoint_contract {

// Puts a w x h pixel bitmap on the desktop clipboard: 96 dpi, or `scale` 2 for 192 dpi with
// device pixel ratio 2; and `svg` beside it when given.
inline void putBitmap(int w, int h, int scale = 1, const QByteArray& svg = {}) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(Qt::darkCyan);
  image.setDotsPerMeterX(scale == 2 ? 7559 : 3780);
  image.setDotsPerMeterY(scale == 2 ? 7559 : 3780);
  image.setDevicePixelRatio(scale);
  auto* mime = new QMimeData;
  mime->setImageData(image);
  if (!svg.isEmpty()) mime->setData(office::kSvgMime, svg);
  QGuiApplication::clipboard()->setMimeData(mime);
}

template <typename Factory>
class PowerPointContract : public ::testing::Test {
 protected:
  std::shared_ptr<ppt::Application> open(int slides = 0, QSizeF slideSize = QSizeF(720, 540)) {
    m_app = m_factory.open(QStringLiteral("Contract.pptx"), slides, slideSize);
    return m_app;
  }
  // A new blank slide at the end, shown, with a pasted 200 x 100 px bitmap on it.
  std::shared_ptr<ppt::Slide> slideWithPicture() {
    auto pres = m_app->activePresentation();
    auto slide = pres->slidesAdd(pres->slidesCount() + 1, ppt::ppLayoutBlank);
    m_app->activeWindow()->view()->gotoSlide(slide->slideIndex());
    putBitmap(200, 100);
    m_app->activeWindow()->view()->pasteSpecial(ppt::ppPasteBitmap);
    return slide;
  }
  template <typename F>
  static bool fails(F&& f) {
    try {
      f();
    } catch (const office::AutomationError&) {
      return true;
    }
    return false;
  }
  Factory m_factory;
  std::shared_ptr<ppt::Application> m_app;
};

TYPED_TEST_SUITE_P(PowerPointContract);

TYPED_TEST_P(PowerPointContract, OneWindowWithThePresentation) {
  auto app = this->open(2);
  EXPECT_EQ(app->windowsCount(), 1);
  EXPECT_EQ(app->version(), "16.0");
  EXPECT_EQ(app->activePresentation()->name(), "Contract.pptx");
  EXPECT_EQ(app->activePresentation()->slidesCount(), 2);
  EXPECT_TRUE(this->fails([&] { app->activePresentation()->slide(3); }));
}

TYPED_TEST_P(PowerPointContract, SlidesAddedAtTheEndGetTheNextIndex) {
  auto app = this->open(0);
  auto pres = app->activePresentation();
  auto first = pres->slidesAdd(pres->slidesCount() + 1, ppt::ppLayoutBlank);
  EXPECT_EQ(first->slideIndex(), 1);
  auto second = pres->slidesAdd(pres->slidesCount() + 1, ppt::ppLayoutBlank);
  EXPECT_EQ(second->slideIndex(), 2);
  EXPECT_EQ(pres->slidesCount(), 2);
  EXPECT_EQ(second->shapes()->count(), 0);
  EXPECT_EQ(second->layout(), ppt::ppLayoutBlank);
}

TYPED_TEST_P(PowerPointContract, PastedBitmapIsTheLastShapeAtItsNaturalSize) {
  this->open(0);
  auto slide = this->slideWithPicture();
  ASSERT_EQ(slide->shapes()->count(), 1);
  auto range = this->m_app->activeWindow()->selection()->shapeRange();
  EXPECT_FLOAT_EQ(range->width(), 150);
  EXPECT_FLOAT_EQ(range->height(), 75);
  EXPECT_TRUE(this->fails([&] {  // no metafile on the clipboard
    this->m_app->activeWindow()->view()->pasteSpecial(ppt::ppPasteEnhancedMetafile);
  }));
  EXPECT_EQ(slide->shapes()->count(), 1);
}

// A 192-dpi bitmap of twice the pixels lands at the size of the 96-dpi one. ppPasteSVG
// takes the bitmap as the picture with the SVG beside it, and fails without an SVG.
TYPED_TEST_P(PowerPointContract, BitmapsPasteAtTheSizeTheirResolutionGivesAndSvgWithThem) {
  this->open(0);
  auto slide = this->m_app->activePresentation()->slidesAdd(1, ppt::ppLayoutBlank);
  auto view = this->m_app->activeWindow()->view();
  view->gotoSlide(1);
  const QByteArray svg("<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 150 75\"/>");
  const struct {
    int scale;
    QByteArray svg;
    int dataType;
    bool pastes;
  } rows[] = {{1, {}, ppt::ppPasteBitmap, true},
              {2, {}, ppt::ppPasteBitmap, true},
              {2, {}, ppt::ppPasteSVG, false},
              {2, svg, ppt::ppPasteSVG, true}};
  int shapes = 0;
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "scale " << row.scale << ", type " << row.dataType);
    putBitmap(200 * row.scale, 100 * row.scale, row.scale, row.svg);
    EXPECT_EQ(this->fails([&] { view->pasteSpecial(row.dataType); }), !row.pastes);
    shapes += row.pastes;
    EXPECT_EQ(slide->shapes()->count(), shapes);
    if (!row.pastes) continue;
    auto range = this->m_app->activeWindow()->selection()->shapeRange();
    EXPECT_FLOAT_EQ(range->width(), 150);
    EXPECT_FLOAT_EQ(range->height(), 75);
  }
}

TYPED_TEST_P(PowerPointContract, TitleOnlyAddsTheTitleAfterThePastedShape) {
  this->open(0);
  auto slide = this->slideWithPicture();
  auto pres = this->m_app->activePresentation();
  pres->slide(slide->slideIndex())->setLayout(ppt::ppLayoutTitleOnly);
  EXPECT_EQ(slide->layout(), ppt::ppLayoutTitleOnly);
  ASSERT_EQ(slide->shapes()->count(), 2);
  slide->select();
  slide->shapes()->item(2)->select(ppt::msoTrue);
  this->m_app->activeWindow()->selection()->textRange()->setText(QStringLiteral("Quarterly sales"));
  EXPECT_EQ(slide->shapes()->item(2)->textFrame()->textRange()->text(), "Quarterly sales");
  slide->setLayout(ppt::ppLayoutTitleOnly);  // a slide that has a title keeps that one
  EXPECT_EQ(slide->shapes()->count(), 2);
}

TYPED_TEST_P(PowerPointContract, ScalingKeepsTheAnchorAndPlacementMoves) {
  this->open(0);
  auto slide = this->slideWithPicture();
  slide->shapes()->item(1)->select(ppt::msoTrue);
  auto range = this->m_app->activeWindow()->selection()->shapeRange();
  range->setLockAspectRatio(ppt::msoFalse);
  const float left = range->left(), top = range->top();
  range->scaleWidth(2, ppt::msoFalse, ppt::msoScaleFromTopLeft);
  EXPECT_FLOAT_EQ(range->width(), 300);
  EXPECT_FLOAT_EQ(range->left(), left);
  range->scaleHeight(2, ppt::msoFalse, ppt::msoScaleFromBottomRight);
  EXPECT_FLOAT_EQ(range->height(), 150);
  EXPECT_FLOAT_EQ(range->top(), top - 75);
  range->setTop(120);
  range->setLeft(20);
  EXPECT_FLOAT_EQ(range->top(), 120);
  EXPECT_FLOAT_EQ(range->left(), 20);
}

TYPED_TEST_P(PowerPointContract, LabelsTakeTextAndFontThroughTheSelection) {
  this->open(0);
  auto slide = this->slideWithPicture();
  auto window = this->m_app->activeWindow();
  auto label = window->selection()->slideRange()->shapes()->addLabel(
      ppt::msoTextOrientationHorizontal, 20.25f, 515, 8.5f, 28.875f);
  EXPECT_EQ(slide->shapes()->count(), 2);
  label->select(ppt::msoTrue);
  label->textFrame()->setWordWrap(ppt::msoFalse);
  window->selection()->shapeRange()->textFrame()->textRange()->characters(1, 0)->select();
  auto text = window->selection()->textRange();
  text->setParagraphAlignment(ppt::ppAlignLeft);
  text->setText(QStringLiteral("/data/Book.xlsx ,  Chart 1 ,  Sheet1"));
  text->setFontSize(10);
  text->setFontName(QStringLiteral("Tahoma"));
  window->selection()->unselect();
  auto stored = slide->shapes()->item(2)->textFrame();
  EXPECT_EQ(stored->wordWrap(), ppt::msoFalse);
  EXPECT_EQ(stored->textRange()->text(), "/data/Book.xlsx ,  Chart 1 ,  Sheet1");
  EXPECT_FLOAT_EQ(stored->textRange()->fontSize(), 10);
  EXPECT_EQ(stored->textRange()->fontName(), "Tahoma");
  EXPECT_EQ(stored->textRange()->paragraphAlignment(), ppt::ppAlignLeft);
  EXPECT_TRUE(this->fails([&] { window->selection()->shapeRange(); }));  // nothing selected
}

TYPED_TEST_P(PowerPointContract, SelectingASlideShowsIt) {
  auto app = this->open(3);
  app->activePresentation()->slide(2)->select();
  EXPECT_EQ(app->activeWindow()->view()->slide()->slideIndex(), 2);
  EXPECT_EQ(app->activeWindow()->selection()->slideRange()->shapes()->count(), 0);
  app->activeWindow()->setViewType(ppt::ppViewSlide);
  EXPECT_EQ(app->activeWindow()->viewType(), ppt::ppViewSlide);
  app->activeWindow()->view()->gotoSlide(3);
  EXPECT_EQ(app->activeWindow()->view()->slide()->slideIndex(), 3);
}

TYPED_TEST_P(PowerPointContract, PageSetupGivesTheSlideSizeAndPastesAreCentredOnIt) {
  for (const QSizeF size : {QSizeF(720, 540), QSizeF(720, 405), QSizeF(1024, 768)}) {
    this->open(0, size);
    auto setup = this->m_app->activePresentation()->pageSetup();
    EXPECT_FLOAT_EQ(setup->slideWidth(), float(size.width()));
    EXPECT_FLOAT_EQ(setup->slideHeight(), float(size.height()));
    this->slideWithPicture();
    auto range = this->m_app->activeWindow()->selection()->shapeRange();
    EXPECT_NEAR(range->left(), (size.width() - 150) / 2, 0.01);
    EXPECT_NEAR(range->top(), (size.height() - 75) / 2, 0.01);
  }
}

TYPED_TEST_P(PowerPointContract, AlternativeTextThroughTheSelectionAndTheShape) {
  this->open(0);
  auto slide = this->slideWithPicture();
  auto picture = slide->shapes()->item(1);
  EXPECT_EQ(picture->alternativeText(), QString());
  const QString text = QStringLiteral("Sales & \"Q1\" <draft>, Sheet 1");
  this->m_app->activeWindow()->selection()->shapeRange()->setAlternativeText(text);
  EXPECT_EQ(picture->alternativeText(), text);
  auto label = slide->shapes()->addLabel(ppt::msoTextOrientationHorizontal, 20, 20, 8.5f, 28.875f);
  label->setAlternativeText(QStringLiteral("Source"));
  label->select(ppt::msoTrue);
  EXPECT_EQ(this->m_app->activeWindow()->selection()->shapeRange()->alternativeText(), "Source");
  EXPECT_EQ(picture->alternativeText(), text);
}

TYPED_TEST_P(PowerPointContract, PastesFromAWorkbookCopyAndTheirLabelCarryTheSourceTag) {
  this->open(0);
  const office::SourceRecord copy{
      "Sales.xlsx", office::SourceRecord::Kind::Chart, "Data", "Chart 1", "{K}", {}};
  const auto tagged = [&](const char* format) {
    office::SourceRecord r = copy;
    r.format = QLatin1String(format);
    return r.compact();
  };
  putBitmap(200, 100);
  auto mime = new QMimeData;
  mime->setImageData(QGuiApplication::clipboard()->mimeData()->imageData());
  mime->setData(office::kSourceMime, copy.compact().toUtf8());
  QGuiApplication::clipboard()->setMimeData(mime);
  auto pres = this->m_app->activePresentation();
  auto slide = pres->slidesAdd(1, ppt::ppLayoutBlank);
  this->m_app->activeWindow()->view()->gotoSlide(1);
  this->m_app->activeWindow()->view()->pasteSpecial(ppt::ppPasteBitmap);
  auto tags = slide->shapes()->item(1)->tags();
  ASSERT_EQ(tags->count(), 1);
  EXPECT_EQ(tags->name(1), QString::fromLatin1(ppt::kSourceTag));
  EXPECT_EQ(tags->value(1), tagged(office::SourceRecord::kBitmap));
  EXPECT_EQ(tags->item(QStringLiteral("morvane_source")), tagged(office::SourceRecord::kBitmap));
  EXPECT_TRUE(this->fails([&] { tags->value(2); }));
  auto label = slide->shapes()->addLabel(ppt::msoTextOrientationHorizontal, 20, 515, 8.5f, 28.875f);
  EXPECT_EQ(label->tags()->item(QString::fromLatin1(ppt::kSourceTag)),
            tagged(office::SourceRecord::kLabel));
  putBitmap(20, 10);  // a picture from elsewhere
  this->m_app->activeWindow()->view()->pasteSpecial(ppt::ppPasteBitmap);
  auto foreign = slide->shapes()->item(slide->shapes()->count())->tags();
  EXPECT_EQ(foreign->count(), 0);
  EXPECT_EQ(foreign->item(QString::fromLatin1(ppt::kSourceTag)), QString());
}

REGISTER_TYPED_TEST_SUITE_P(PowerPointContract, OneWindowWithThePresentation,
                            SlidesAddedAtTheEndGetTheNextIndex,
                            PastedBitmapIsTheLastShapeAtItsNaturalSize,
                            BitmapsPasteAtTheSizeTheirResolutionGivesAndSvgWithThem,
                            TitleOnlyAddsTheTitleAfterThePastedShape,
                            ScalingKeepsTheAnchorAndPlacementMoves,
                            LabelsTakeTextAndFontThroughTheSelection, SelectingASlideShowsIt,
                            PageSetupGivesTheSlideSizeAndPastesAreCentredOnIt,
                            AlternativeTextThroughTheSelectionAndTheShape,
                            PastesFromAWorkbookCopyAndTheirLabelCarryTheSourceTag);

}  // namespace morvane::powerpoint_contract
