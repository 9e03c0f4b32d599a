#include "paste/source_label.h"

#include <algorithm>

namespace morvane::paste {

using namespace ppt;

QString labelText(const QString& fullName, const QString& name, const QString& sheet) {
  const QString separator = QStringLiteral(" ,  ");
  return fullName + separator + name + separator + sheet;
}

QPointF labelPosition(const SlideSize& slide, bool builtInBox) {
  // The label's top inset and one line of Tahoma 10.
  constexpr float kFirstLine = 16;
  const SlideSize laidOutFor;
  const float left = builtInBox ? 20.25f * slide.width / laidOutFor.width : 20.25f;
  const float top = std::min(515 * slide.height / laidOutFor.height, slide.height - kFirstLine);
  return {left, std::max(0.0f, top)};
}

void LabelInSlide(Application& app, const QString& text, QPointF topLeft) {
  app.activeWindow()
      ->selection()
      ->slideRange()
      ->shapes()
      ->addLabel(msoTextOrientationHorizontal, float(topLeft.x()), float(topLeft.y()), 8.5f,
                 28.875f)
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
