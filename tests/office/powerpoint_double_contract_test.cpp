// The office double keeps the presentation surface's contract.
#include "support/office_double.h"
#include "support/powerpoint_contract.h"

using namespace morvane;

namespace {

struct DoubleFactory {
  std::shared_ptr<ppt::Application> open(const QString& fileName, int slides, const QSizeF& size) {
    office.openPresentation(slides, fileName);
    office.powerPoint->presentation->slideWidth = float(size.width());
    office.powerPoint->presentation->slideHeight = float(size.height());
    return office.attachPowerPoint();
  }
  fake::Office office;
};

}  // namespace

namespace morvane::powerpoint_contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Double, PowerPointContract, ::testing::Types<DoubleFactory>);
}
