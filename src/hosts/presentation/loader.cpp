#include "hosts/presentation/loader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "ooxml/pptx/presentation_document.h"

namespace morvane::hosts::presentation {

namespace {

// A compound file (the container of password-protected decks and of legacy .ppt files) is no
// zip package; saying so is clearer than "not a zip".
ooxml::Error explained(const QString& path, ooxml::Error error) {
  if (error.code != ooxml::Error::Code::NotAPackage) return error;
  QFile file(path);
  if (file.open(QIODevice::ReadOnly) && file.read(8) == QByteArray::fromHex("d0cf11e0a1b11ae1"))
    error.message += QStringLiteral(
        " (the file is password-protected or a legacy .ppt presentation; "
        "save it as an unprotected .pptx)");
  return error;
}

}  // namespace

ooxml::Result<LoadedPresentation> openPresentation(const QString& path) {
  const QFileInfo info(path);
  LoadedPresentation loaded;
  std::unique_ptr<ooxml::pptx::Document> document;
  if (!info.exists()) {
    if (!info.absoluteDir().exists())
      return ooxml::Error{
          ooxml::Error::Code::NotFound,
          QStringLiteral("%1: the folder %2 does not exist")
              .arg(QDir::toNativeSeparators(path), QDir::toNativeSeparators(info.absolutePath()))};
    document = ooxml::pptx::Document::createBlank();
    loaded.created = true;
  } else if (info.isDir()) {
    return ooxml::Error{
        ooxml::Error::Code::Unreadable,
        QStringLiteral("%1 is a folder, not a presentation").arg(QDir::toNativeSeparators(path))};
  } else {
    auto opened = ooxml::pptx::Document::open(path);
    if (!opened) return explained(path, opened.error());
    document = std::move(opened.value());
  }
  loaded.host = std::make_shared<PresentationHost>(std::move(document), info.absoluteFilePath());
  loaded.application = loaded.host;
  return loaded;
}

}  // namespace morvane::hosts::presentation
