// Shared set-up for the presentation host's tests: a host on a fresh file, clipboard helpers
// that put real data on the desktop clipboard, and reading a saved deck back.
#pragma once

#include <gtest/gtest.h>

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <QStringList>

#include "office/clipboard_formats.h"
#include "hosts/presentation/loader.h"
#include "ooxml/pptx/presentation_document.h"
#include "support/test_env.h"

#include "emf/emf_device.h"

namespace morvane::hosttest {

// Every deck path handed out in this run, so that all written decks can be checked at the end.
inline QStringList& writtenDecks() {
  static QStringList decks;
  return decks;
}

// A fresh path in the test's output folder (the file does not exist).
inline QString freshPath(const QString& folder, const QString& fileName) {
  const QString path = testenv::outputDir(folder) + QLatin1Char('/') + fileName;
  QFile::remove(path);
  if (!writtenDecks().contains(path)) writtenDecks() << path;
  return path;
}

inline std::shared_ptr<hosts::presentation::PresentationHost> openHost(const QString& path) {
  auto loaded = hosts::presentation::openPresentation(path);
  EXPECT_TRUE(loaded.ok()) << (loaded.ok() ? "" : loaded.error().message.toStdString());
  return loaded.ok() ? loaded.value().host : nullptr;
}

inline QImage bitmap(int w, int h, int dotsPerMeter = 3780) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  p.fillRect(QRect(w / 8, h / 8, w * 3 / 4, h * 3 / 4), Qt::darkBlue);
  p.end();
  image.setDotsPerMeterX(dotsPerMeter);
  image.setDotsPerMeterY(dotsPerMeter);
  return image;
}

// An EMF of `points` with a filled rectangle and a line of text.
inline QByteArray emfBytes(const QSizeF& points) {
  emf::EmfDevice device(points);
  {
    QPainter p(&device);
    p.fillRect(QRectF(10, 10, device.width() - 20, device.height() - 20), Qt::darkGreen);
    p.setPen(Qt::black);
    p.drawText(QPointF(20, 30), QStringLiteral("Vector"));
  }
  return device.finish();
}

// Puts the given formats on the desktop clipboard (the clipboard owns the data).
inline void putOnClipboard(const QImage& image, const QByteArray& emf = {},
                           const std::optional<office::NativeObject>& object = std::nullopt) {
  auto* mime = new QMimeData;
  if (!image.isNull()) mime->setImageData(image);
  if (!emf.isEmpty()) mime->setData(QString::fromLatin1(office::kEmfMime), emf);
  if (object) mime->setData(QString::fromLatin1(office::kNativeObjectMime), object->serialize());
  QGuiApplication::clipboard()->setMimeData(mime);
}

inline QByteArray readFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

template <typename F>
bool fails(F&& f) {
  try {
    f();
  } catch (const office::AutomationError&) {
    return true;
  }
  return false;
}

}  // namespace morvane::hosttest
