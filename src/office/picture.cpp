#include "office/picture.h"

#include <QPainter>

#include "emf/emf_player.h"
#include "emf/emf_records.h"

namespace morvane::office {

std::unique_ptr<Picture> Picture::fromImage(const QImage& image) {
  if (image.isNull()) return nullptr;
  std::unique_ptr<Picture> picture(new Picture);
  picture->m_kind = Kind::Bitmap;
  picture->m_image = image.copy();  // a deep copy: the clipboard's image stays its own
  const double dpiX = image.dotsPerMeterX() > 0 ? image.dotsPerMeterX() * 0.0254 : 96.0;
  const double dpiY = image.dotsPerMeterY() > 0 ? image.dotsPerMeterY() * 0.0254 : 96.0;
  picture->m_naturalSize = QSizeF(image.width() * 72.0 / dpiX, image.height() * 72.0 / dpiY);
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
