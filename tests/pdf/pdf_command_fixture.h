// The "Create  PDF" command wired to the real main window and forms, opened by start-up on
// the office double (a workbook with three charts and a named range), writing into a
// temporary folder; helpers read the output back with poppler.
#pragma once

#include "mainwindow/main_forms.h"
#include "mainwindow/user_form_obj.h"
#include "paste/main_window_wiring.h"
#include "pdf/main_window_wiring.h"
#include "pdf/pdf_commands.h"
#include "pdf/poppler.h"
#include "startup/start_tool.h"
#include "support/office_double.h"
#include "support/test_env.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace morvane::pdftest {

using mainwindow::UserFormObj;

class PdfCommandTest : public ::testing::Test {
 protected:
  PdfCommandTest() {
    testbook::WorkbookOutline outline;
    testbook::SheetOutline data;
    data.name = QStringLiteral("Data");
    data.charts = {testbook::ChartOutline{QStringLiteral("first"), {}},
                   testbook::ChartOutline{QStringLiteral("second"), {}},
                   testbook::ChartOutline{QStringLiteral("third"), {}}};
    data.cells[{1, 1}] = office::Variant(1.0);
    outline.sheets = {data};
    outline.names = {testbook::NameOutline{QStringLiteral("Sales"), QStringLiteral("Data!$A$1:$B$3"), false, {}}};
    f.office.openWorkbook(outline);
    forms = std::make_unique<mainwindow::MainForms>(f.tool);
    registry = std::make_unique<paste::MainFormsRegistry>(*forms);
    pdf = std::make_unique<pdf::PdfCommands>(f.tool, registry.get());
    output = dir.filePath(QStringLiteral("Morvane©.pdf"));
    pdf->setOutputPath(output);
    UserFormObj::Commands commands;
    pdf::wirePdfCommand(commands, *pdf, *forms);
    forms->setCommands(commands);
    morvane::startup::StartTool(f.tool);
  }
  ~PdfCommandTest() override {
    pdf.reset();
    forms.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  void SetUp() override { MORVANE_REQUIRE(popplertest::available(), "poppler-utils"); }

  UserFormObj& w() { return *forms->mainWindow(); }
  void include(const QStringList& flags) {
    for (int r = 0; r < flags.size(); ++r) w().setListText(r, 2, flags[r]);
  }
  // The colour of the bitmap the selection handling copies for `row`.
  QColor rowColour(int row) {
    w().setListIndex(row);
    return QGuiApplication::clipboard()->image().pixelColor(5, 5);
  }
  // Centre colour of each page of the output.
  std::vector<QColor> pageColours() {
    std::vector<QColor> colours;
    const int pages = popplertest::info(output).pages;
    for (int p = 1; p <= pages; ++p) {
      const QImage page = popplertest::render(output, p, 36);
      colours.push_back(page.isNull() ? QColor() : page.pixelColor(page.width() / 2, page.height() / 2));
    }
    return colours;
  }
  QString pageText(int page) {
    QString text;
    for (const auto& word : popplertest::words(output, page)) text += word.text + QLatin1Char(' ');
    return text.trimmed();
  }

  fake::ToolFixture f;
  QTemporaryDir dir;
  QString output;
  std::unique_ptr<mainwindow::MainForms> forms;
  std::unique_ptr<paste::MainFormsRegistry> registry;
  std::unique_ptr<pdf::PdfCommands> pdf;
};

inline bool near(const QColor& a, const QColor& b) {
  return std::abs(a.red() - b.red()) < 12 && std::abs(a.green() - b.green()) < 12 &&
         std::abs(a.blue() - b.blue()) < 12;
}

}  // namespace morvane::pdftest
