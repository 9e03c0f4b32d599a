// A whole .pptx opened by the presentation host, a slide added, a picture pasted onto it and
// placed, a label added, and the deck saved.
#include "fuzz_support.h"
#include "hosts/presentation/loader.h"
#include "office/automation_error.h"
#include "office/powerpoint.h"

#include <QClipboard>
#include <QImage>
#include <QMimeData>

using namespace morvane;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::startQt(argc, argv);
  QImage image(40, 30, QImage::Format_RGB32);
  image.fill(Qt::darkCyan);
  auto* mime = new QMimeData;
  mime->setImageData(image);
  QGuiApplication::clipboard()->setMimeData(mime);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString path = fuzz::scratchFile(QStringLiteral("fuzz.pptx"), fuzz::bytesOf(data, size));
  auto loaded = hosts::presentation::openPresentation(path);
  if (!loaded) return 0;
  ppt::Application& app = *loaded->application;
  try {
    auto presentation = app.activePresentation();
    auto slide = presentation->slidesAdd(presentation->slidesCount() + 1, ppt::ppLayoutTitleOnly);
    slide->select();
    auto window = app.activeWindow();
    window->view()->pasteSpecial(ppt::ppPasteBitmap);
    auto shapes = window->selection()->slideRange()->shapes();
    shapes->item(shapes->count())->select();
    auto picture = window->selection()->shapeRange();
    picture->scaleWidth(2, ppt::msoFalse, ppt::msoScaleFromTopLeft);
    picture->setLeft(20);
    shapes->addLabel(ppt::msoTextOrientationHorizontal, 20, 500, 8.5, 28)->textFrame()->textRange()->setText(
        QStringLiteral("label"));
    slide->setLayout(ppt::ppLayoutBlank);
    app.save();
  } catch (const office::AutomationError&) {
    // The program's refusals are answers, not faults.
  }
  return 0;
}
