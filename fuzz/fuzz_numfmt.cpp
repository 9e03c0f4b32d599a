// A value and a format code through the number-format engine. Input: 8 bytes of a double,
// one byte of flags (bit 0: the 1904 date system), the rest the code as UTF-8.
#include "fuzz_support.h"
#include "render/numfmt/number_format.h"

#include <cstring>

using namespace morvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 9) return 0;
  double value = 0;
  std::memcpy(&value, data, sizeof value);
  const bool date1904 = data[8] & 1;
  const QString code = QString::fromUtf8(reinterpret_cast<const char*>(data + 9), qsizetype(size - 9));
  const auto format = render::numfmt::NumberFormat::parse(code);
  (void)format.format(value, date1904);
  (void)format.formatText(code);
  (void)format.isGeneral();
  return 0;
}
