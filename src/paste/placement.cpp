#include "paste/placement.h"

#include <algorithm>

#include "registry/registry.h"

namespace morvane::paste {

using namespace ppt;

namespace {

float optionCell(excel::Sheet& registrySheet, int column) {
  return float(office::toDouble(registrySheet.cells(registry::kOptionRow, column)->value()));
}

// Scales both dimensions by `factor`, width from the top left, height from `heightAnchor`.
void scaleBoth(ShapeRange& shape, float factor, int heightAnchor) {
  shape.scaleWidth(factor, msoFalse, msoScaleFromTopLeft);
  shape.scaleHeight(factor, msoFalse, heightAnchor);
}

// A corner left of or above the slide moves to its edge; one beyond the right or bottom edge
// comes back so that the object ends at that edge (or starts at 0 when wider than the slide).
float cornerInside(float corner, float size, float slideSide) {
  if (corner < 0) return 0;
  if (corner >= slideSide) return std::max(0.0f, slideSide - size);
  return corner;
}

void keepInside(ShapeRange& shape, const SlideSize& slide) {
  const float w = shape.width(), h = shape.height();
  if (!(w > 0 && h > 0)) return;
  const float left = cornerInside(shape.left(), w, slide.width);
  const float top = cornerInside(shape.top(), h, slide.height);
  const float factor = std::min({1.0f, (slide.width - left) / w, (slide.height - top) / h});
  if (factor < 1) scaleBoth(shape, factor, msoScaleFromTopLeft);
  if (shape.top() != top) shape.setTop(top);
  if (shape.left() != left) shape.setLeft(left);
}

}  // namespace

SlideSize slideSize(Presentation& presentation) {
  const auto setup = presentation.pageSetup();
  return {setup->slideWidth(), setup->slideHeight()};
}

PlacementBox readPlacementBox(excel::Workbook& workbook) {
  const auto sheet = workbook.worksheet(registry::kRegistrySheet);
  PlacementBox box;
  box.left = optionCell(*sheet, registry::kLeftColumn);
  box.top = optionCell(*sheet, registry::kTopColumn);
  box.maxWidth = optionCell(*sheet, registry::kMaxWidthColumn);
  box.maxHeight = optionCell(*sheet, registry::kMaxHeightColumn);
  box.builtIn = false;
  if (box.maxWidth == 0 && box.maxHeight == 0) return PlacementBox{};
  return box;
}

PlacementBox onSlide(const PlacementBox& box, const SlideSize& slide) {
  if (!box.builtIn) return box;
  const SlideSize laidOutFor;
  const float x = slide.width / laidOutFor.width, y = slide.height / laidOutFor.height;
  return {box.left * x, box.top * y, box.maxWidth * x, box.maxHeight * y, true};
}

void PPTSLIDESLAYOUT(Application& app, excel::Workbook& workbook,
                     std::shared_ptr<Presentation>& presentation) {
  presentation = app.activePresentation();
  app.activeWindow()->setViewType(ppViewSlide);

  const auto shapes = app.activeWindow()->selection()->slideRange()->shapes();
  const int count = shapes->count();
  shapes->item(count)->select(msoTrue);

  const auto shape = app.activeWindow()->selection()->shapeRange();
  shape->setLockAspectRatio(msoFalse);
  const float w = shape->width();
  const SlideSize slide = slideSize(*presentation);
  const PlacementBox box = onSlide(readPlacementBox(workbook), slide);

  if (box.maxWidth > 0 && box.maxHeight > 0 && w > 0) {
    if (w > box.maxWidth) {
      scaleBoth(*shape, box.maxWidth / w, msoScaleFromBottomRight);
      const float h = shape->height();
      if (h > box.maxHeight) scaleBoth(*shape, box.maxHeight / h, msoScaleFromBottomRight);
    }
    if (w < box.maxWidth) {
      scaleBoth(*shape, box.maxWidth / w, msoScaleFromBottomRight);
      const float h = shape->height();
      if (h > box.maxHeight) scaleBoth(*shape, 1 - (h - box.maxHeight) / h, msoScaleFromTopLeft);
    }
  }
  shape->setTop(box.top);
  shape->setLeft(box.left);
  if (!box.builtIn) keepInside(*shape, slide);
}

}  // namespace morvane::paste
