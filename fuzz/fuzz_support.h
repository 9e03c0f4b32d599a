// What every harness shares: Qt on the offscreen platform (fonts, clipboard, painting) and a
// private scratch folder for harnesses whose reader takes a path.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace morvane::fuzz {

inline void startQt(int* argc, char*** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QGuiApplication app(*argc, *argv);
}

inline QByteArray bytesOf(const uint8_t* data, size_t size) {
  return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// A path in a folder that lives as long as the process, written with `bytes`.
inline QString scratchFile(const QString& name, const QByteArray& bytes) {
  static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/morvane-fuzz-XXXXXX"));
  const QString path = dir.filePath(name);
  QFile file(path);
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(bytes);
  return path;
}

}  // namespace morvane::fuzz
