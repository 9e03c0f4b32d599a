#include "paste/source_label.h"

namespace morvane::paste {

using namespace ppt;

QString labelText(const QString& fullName, const QString& name, const QString& sheet) {
  const QString separator = QStringLiteral(" ,  ");
  return fullName + separator + name + separator + sheet;
}

void LabelInSlide(Application& app, const QString& text) {
  app.activeWindow()
      ->selection()
      ->slideRange()
      ->shapes()
      ->addLabel(msoTextOrientationHorizontal, 20.25f, 515, 8.5f, 28.875f)
      ->select(msoTrue);
  app.activeWindow()->selection()->shapeRange()->textFrame()->setWordWrap(msoFalse);
  app.activeWindow()->selection()->shapeRange()->textFrame()->textRange()->characters(1, 0)->select();

  const auto range = app.activeWindow()->selection()->textRange();
  range->setParagraphAlignment(ppAlignLeft);
  range->setText(text);
  range->setFontSize(10);
  range->setFontName(QStringLiteral("Tahoma"));
  app.activeWindow()->selection()->unselect();
}

}  // namespace morvane::paste
