#include "mainwindow/picture_from_clipboard.h"

#include "office/clipboard_formats.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

namespace morvane::mainwindow {

std::unique_ptr<office::Picture> PictureFromClipboard(int code) {
  const QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard) return nullptr;
  const QMimeData* data = clipboard->mimeData();
  if (!data) return nullptr;
  if (code == 2) {
    if (!data->hasImage()) return nullptr;
    return office::Picture::fromImage(qvariant_cast<QImage>(data->imageData()));
  }
  const QString emf = QString::fromLatin1(office::kEmfMime);
  if (!data->hasFormat(emf)) return nullptr;
  const QByteArray bytes = data->data(emf);
  if (bytes.isEmpty()) return nullptr;
  return office::Picture::fromEmf(bytes);
}

}  // namespace morvane::mainwindow
