// Feeds arbitrary bytes to the EMF parser and player. Seed it with metafiles the writer made
// (the tests leave them under the build tree's test-output/emf).
#include <QGuiApplication>
#include <QImage>

#include "emf/emf_player.h"
#include "emf/emf_records.h"

using namespace morvane;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QGuiApplication app(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes =
      QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
  emf::parseEmfRecords(bytes);
  emf::emfFrameSizeInPoints(bytes);
  emf::rasterizeEmf(bytes, QSize(64, 48));
  return 0;
}
