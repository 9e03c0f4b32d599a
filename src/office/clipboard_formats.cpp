#include "office/clipboard_formats.h"

#include <QDataStream>
#include <QIODevice>

namespace morvane::office {

namespace {
constexpr quint32 kMagic = 0x4d4e4f31;  // "MNO1"
}

QByteArray NativeObject::serialize() const {
  QByteArray out;
  QDataStream s(&out, QIODevice::WriteOnly);
  s.setVersion(QDataStream::Qt_6_0);
  s << kMagic << quint8(kind) << workbookName << sheet << name << sizePoints << workbook;
  return out;
}

std::optional<NativeObject> NativeObject::deserialize(const QByteArray& data) {
  QDataStream s(data);
  s.setVersion(QDataStream::Qt_6_0);
  quint32 magic = 0;
  quint8 kind = 0;
  NativeObject o;
  s >> magic;
  if (magic != kMagic) return std::nullopt;
  s >> kind >> o.workbookName >> o.sheet >> o.name >> o.sizePoints >> o.workbook;
  if (s.status() != QDataStream::Ok || kind > quint8(Kind::Range)) return std::nullopt;
  o.kind = Kind(kind);
  return o;
}

}  // namespace morvane::office
