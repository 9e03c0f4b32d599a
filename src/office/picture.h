// Picture: an owned picture made from clipboard data, a raster image or the bytes of an
// enhanced metafile, drawable at any size. Each Picture holds its own private copy of the
// data, so releasing it never touches the clipboard or another Picture.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QSizeF>

#include <memory>

class QPainter;

namespace morvane::office {

class Picture {
 public:
  enum class Kind { Bitmap, Emf };

  // A picture holding a private copy of `image`; nullptr when the image is null.
  static std::unique_ptr<Picture> fromImage(const QImage& image);
  // A picture holding a private copy of the EMF `bytes`; nullptr when they are not an
  // enhanced metafile the player can read (no header, no frame, truncated).
  static std::unique_ptr<Picture> fromEmf(const QByteArray& bytes);

  Kind kind() const { return m_kind; }
  // The raster image (Bitmap) or the EMF bytes (Emf); the other one is empty.
  const QImage& image() const { return m_image; }
  const QByteArray& emfBytes() const { return m_emf; }
  // Natural size in points: a bitmap's pixels at its own resolution, the nearest whole dpi
  // of its dots per metre (96 dpi when it has none), an EMF's frame.
  QSizeF naturalSize() const { return m_naturalSize; }

  // Draws the whole picture stretched into `target`. False when nothing could be drawn.
  bool draw(QPainter& painter, const QRectF& target) const;

 private:
  Picture() = default;
  Kind m_kind = Kind::Bitmap;
  QImage m_image;
  QByteArray m_emf;
  QSizeF m_naturalSize;
};

}  // namespace morvane::office
