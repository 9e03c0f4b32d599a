// Arbitrary text as a plan file of the batch commands.
#include "app/plan.h"
#include "fuzz_support.h"

using namespace morvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  (void)app::parsePlan(QString::fromUtf8(fuzz::bytesOf(data, size)), QStringLiteral("plan.tsv"));
  return 0;
}
