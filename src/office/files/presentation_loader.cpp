#include "office/files/presentation_loader.h"

#include "ooxml/pptx/presentation_document.h"

#include <QDir>
#include <QFileInfo>

namespace office::files {

ooxml::Result<LoadedPresentation> openPresentation(const QString& path) {
  const QFileInfo info(path);
  LoadedPresentation loaded;
  std::unique_ptr<pptx::Document> document;
  if (!info.exists()) {
    if (!info.absoluteDir().exists())
      return ooxml::Error{ooxml::Error::Code::NotFound,
                          QStringLiteral("%1: the folder %2 does not exist")
                              .arg(QDir::toNativeSeparators(path),
                                   QDir::toNativeSeparators(info.absolutePath()))};
    document = pptx::Document::createBlank();
    loaded.created = true;
  } else if (info.isDir()) {
    return ooxml::Error{ooxml::Error::Code::Unreadable,
                        QStringLiteral("%1 is a folder, not a presentation")
                            .arg(QDir::toNativeSeparators(path))};
  } else {
    auto opened = pptx::Document::open(path);
    if (!opened) return opened.error();
    document = std::move(opened.value());
  }
  loaded.host = std::make_shared<PresentationHost>(std::move(document), info.absoluteFilePath());
  loaded.application = loaded.host;
  return loaded;
}

}  // namespace office::files
