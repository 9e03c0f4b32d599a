// Arbitrary bytes as a package, then every part through the XML reader and the package
// through saving; the same bytes as XML, for the parser on its own.
#include "fuzz_support.h"
#include "ooxml/detail/xml.h"
#include "ooxml/package.h"

using namespace morvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes = fuzz::bytesOf(data, size);
  ooxml::Limits limits;
  limits.maxPartSize = 4 << 20;  // keep each run fast
  limits.maxTotalSize = 16 << 20;
  limits.maxParts = 500;
  auto package = ooxml::Package::openBytes(bytes, QStringLiteral("fuzz.xlsx"), limits);
  if (package.ok()) {
    for (const QString& part : (*package)->partNames()) {
      auto doc = ooxml::readXml(**package, part);
      if (doc.ok()) (void)ooxml::serializeXml(**doc);
    }
    (void)(*package)->saveToBytes();
  }
  auto doc = ooxml::parseXml(bytes, QStringLiteral("/fuzz.xml"));
  if (doc.ok()) (void)ooxml::serializeXml(**doc);
  return 0;
}
