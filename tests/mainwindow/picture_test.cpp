// PictureFromClipboard on the real desktop clipboard, and the owned pictures it returns.
#include "mainwindow/controls.h"
#include "mainwindow/picture_from_clipboard.h"
#include "office/clipboard_formats.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QPainter>

#include <gtest/gtest.h>

#include "emf/emf_device.h"

using namespace morvane;

using mainwindow::PictureFromClipboard;
using office::Picture;

namespace {

// 120 x 60 pixels at 96 dpi, or (scale 2) twice the pixels at 192 dpi: 90 x 45 points both.
QImage redBitmap(int scale = 1) {
  QImage image(120 * scale, 60 * scale, QImage::Format_RGB32);
  image.fill(Qt::red);
  image.setDotsPerMeterX(scale == 1 ? 3780 : 7559);
  image.setDotsPerMeterY(scale == 1 ? 3780 : 7559);
  image.setDevicePixelRatio(scale);
  return image;
}

QByteArray blueEmf() {
  emf::EmfDevice device(QSizeF(144, 72));
  {
    QPainter p(&device);
    p.fillRect(QRectF(0, 0, device.width(), device.height()), Qt::blue);
  }
  return device.finish();
}

void offer(const QImage* image, const QByteArray* emf) {
  auto* data = new QMimeData;
  if (image) data->setImageData(*image);
  if (emf) data->setData(office::kEmfMime, *emf);
  QGuiApplication::clipboard()->setMimeData(data);
}

}  // namespace

TEST(PictureFromClipboard, BitmapCodeTakesTheBitmapOnly) {
  for (int scale : {1, 2}) {
    SCOPED_TRACE(testing::Message() << "scale " << scale);
    const QImage image = redBitmap(scale);
    offer(&image, nullptr);
    auto picture = PictureFromClipboard(2);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->kind(), Picture::Kind::Bitmap);
    EXPECT_EQ(picture->image().pixelColor(5, 5), QColor(Qt::red));
    EXPECT_EQ(picture->image().size(), image.size());  // every pixel kept
    EXPECT_NEAR(picture->naturalSize().width(), 90.0, 0.05);
    EXPECT_NEAR(picture->naturalSize().height(), 45.0, 0.05);
    // Every other code asks for the metafile, which is not there.
    for (int code : {-4147, 0, 1}) EXPECT_EQ(PictureFromClipboard(code), nullptr) << code;
  }
}

TEST(PictureFromClipboard, NothingOrNoPictureGivesNull) {
  QGuiApplication::clipboard()->clear();
  EXPECT_EQ(PictureFromClipboard(2), nullptr);
  EXPECT_EQ(PictureFromClipboard(-4147), nullptr);
  QGuiApplication::clipboard()->setText("just text");
  EXPECT_EQ(PictureFromClipboard(2), nullptr);
  const QByteArray garbage("not a metafile at all, nothing like EMR_HEADER");
  offer(nullptr, &garbage);
  EXPECT_EQ(PictureFromClipboard(-4147), nullptr);
}

TEST(PictureFromClipboard, TwoCallsGiveTwoIndependentCopiesAndLeaveTheClipboard) {
  const QImage image = redBitmap();
  offer(&image, nullptr);
  const QMimeData* before = QGuiApplication::clipboard()->mimeData();
  auto first = PictureFromClipboard(2);
  auto second = PictureFromClipboard(2);
  ASSERT_TRUE(first && second);
  EXPECT_NE(first->image().constBits(), second->image().constBits());
  const QImage onClipboard = qvariant_cast<QImage>(QGuiApplication::clipboard()->mimeData()->imageData());
  EXPECT_NE(first->image().constBits(), onClipboard.constBits());
  first.reset();  // releasing one copy leaves the other and the clipboard intact
  EXPECT_EQ(second->image().pixelColor(0, 0), QColor(Qt::red));
  EXPECT_EQ(QGuiApplication::clipboard()->mimeData(), before);
  EXPECT_TRUE(QGuiApplication::clipboard()->mimeData()->hasImage());
}

TEST(PictureFromClipboard, MetafileCodesTakeTheEmfOnly) {
  const QByteArray emf = blueEmf();
  ASSERT_FALSE(emf.isEmpty());
  offer(nullptr, &emf);
  for (int code : {-4147, 0, 1}) {
    auto picture = PictureFromClipboard(code);
    ASSERT_NE(picture, nullptr) << code;
    EXPECT_EQ(picture->kind(), Picture::Kind::Emf);
    EXPECT_NEAR(picture->naturalSize().width(), 144, 1.0);
    EXPECT_NEAR(picture->naturalSize().height(), 72, 1.0);
    EXPECT_NE(picture->emfBytes().constData(), emf.constData());  // a private copy
  }
  EXPECT_EQ(PictureFromClipboard(2), nullptr);  // no conversion from the metafile
  EXPECT_EQ(QGuiApplication::clipboard()->mimeData()->data(office::kEmfMime), emf);

  // Drawn through the EMF player.
  auto picture = PictureFromClipboard(-4147);
  QImage canvas(200, 100, QImage::Format_RGB32);
  canvas.fill(Qt::white);
  {
    QPainter p(&canvas);
    EXPECT_TRUE(picture->draw(p, QRectF(0, 0, 200, 100)));
  }
  EXPECT_EQ(canvas.pixelColor(100, 50), QColor(Qt::blue));
}

TEST(PictureView, ScalesThePictureIntoTheFrameKeepingItsProportions) {
  mainwindow::PictureView view;
  view.resize(300, 300);
  for (int scale : {1, 2}) {  // a 192-dpi bitmap fills the same frame
    SCOPED_TRACE(testing::Message() << "scale " << scale);
    view.setPicture(Picture::fromImage(redBitmap(scale)));  // 2:1
    const QRectF r = view.pictureRect();
    EXPECT_NEAR(r.width(), 300, 0.5);
    EXPECT_NEAR(r.height(), 150, 0.5);
    EXPECT_NEAR(r.top(), 75, 0.5);  // centred
    const QImage shown = view.grab().toImage();
    EXPECT_EQ(shown.pixelColor(150, 150), QColor(Qt::red));
    EXPECT_EQ(shown.pixelColor(290, 220), QColor(Qt::red));
    EXPECT_NE(shown.pixelColor(150, 20), QColor(Qt::red));
  }
  view.setPicture(nullptr);
  EXPECT_TRUE(view.pictureRect().isEmpty());
}
