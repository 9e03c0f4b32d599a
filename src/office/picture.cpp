#include "office/picture.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "emf/emf_player.h"
#include "emf/emf_records.h"

namespace morvane::office {

namespace {

// Dots per metre are a rounded whole dpi (96 dpi is stored as 3780, 192 as 7559): the nearest
// whole dpi is the picture's, so a 192-dpi bitmap measures exactly half its pixels.
double wholeDpi(int dotsPerMeter) {
  return dotsPerMeter > 0 ? std::max(1.0, std::round(dotsPerMeter * 0.0254)) : 96.0;
}

}  // namespace

std::unique_ptr<Picture> Picture::fromImage(const QImage& image) {
  if (image.isNull()) return nullptr;
  std::unique_ptr<Picture> picture(new Picture);
  picture->m_kind = Kind::Bitmap;
  picture->m_image = image.copy();  // a deep copy: the clipboard's image stays its own
  picture->m_naturalSize = QSizeF(image.width() * 72.0 / wholeDpi(image.dotsPerMeterX()),
                                  image.height() * 72.0 / wholeDpi(image.dotsPerMeterY()));
  return picture;
}

std::unique_ptr<Picture> Picture::fromEmf(const QByteArray& bytes) {
  const auto frame = emf::emfFrameSizeInPoints(bytes);
  if (!frame || frame->isEmpty()) return nullptr;
  std::unique_ptr<Picture> picture(new Picture);
  picture->m_kind = Kind::Emf;
  picture->m_emf = QByteArray(bytes.constData(), bytes.size());  // detached private copy
  picture->m_naturalSize = *frame;
  return picture;
}

bool Picture::draw(QPainter& painter, const QRectF& target) const {
  if (m_kind == Kind::Bitmap) {
    painter.drawImage(target, m_image);
    return true;
  }
  return emf::playEmf(m_emf, painter, target);
}

}  // namespace morvane::office
