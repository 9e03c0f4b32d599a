// The office double keeps the spreadsheet surface's contract.
#include "support/excel_contract.h"
#include "support/excel_double.h"

using namespace morvane;

namespace {

struct DoubleFactory {
  std::shared_ptr<excel::Application> open(const testbook::WorkbookOutline& outline) {
    auto state = std::make_shared<fake::ExcelState>();
    state->workbook = fake::buildWorkbook(outline);
    return fake::makeExcel(state, log);
  }
  fake::CallLog log;
};

}  // namespace

namespace morvane::excel_contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Double, ExcelContract, ::testing::Types<DoubleFactory>);
}
