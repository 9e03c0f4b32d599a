// Arbitrary bytes through the EMF record parser, the frame reader and the player.
#include "emf/emf_player.h"
#include "emf/emf_records.h"
#include "fuzz_support.h"

#include <QImage>

using namespace morvane;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::startQt(argc, argv);
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
