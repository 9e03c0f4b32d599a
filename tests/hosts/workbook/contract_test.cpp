// The spreadsheet contract suite on the workbook host: each case's workbook is written as a
// real .xlsx file and opened by the host.
#include "hosts/workbook/host.h"
#include "support/excel_contract.h"
#include "support/xlsx_outline_writer.h"

#include <QTemporaryDir>

using namespace morvane;

namespace {

struct HostFactory {
  std::shared_ptr<excel::Application> open(const testbook::WorkbookOutline& outline) {
    const QString path = m_dir.filePath(outline.fileName);
    const ooxml::Status written = testxlsx::writeWorkbook(outline, path);
    EXPECT_TRUE(written.ok()) << (written.ok() ? "" : written.error().message.toStdString());
    auto opened = hosts::workbook::openWorkbook(path);
    EXPECT_TRUE(opened.ok()) << (opened.ok() ? "" : opened.error().message.toStdString());
    if (!opened.ok()) return nullptr;
    m_host = opened->host;
    return opened->application;
  }
  QTemporaryDir m_dir;
  std::shared_ptr<hosts::workbook::WorkbookHost> m_host;
};

}  // namespace

namespace morvane::excel_contract {
INSTANTIATE_TYPED_TEST_SUITE_P(WorkbookHost, ExcelContract, ::testing::Types<HostFactory>);
}
