#include "paste/placement.h"

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

}  // namespace

PlacementBox readPlacementBox(excel::Workbook& workbook) {
  const auto sheet = workbook.worksheet(registry::kRegistrySheet);
  PlacementBox box;
  box.left = optionCell(*sheet, registry::kLeftColumn);
  box.top = optionCell(*sheet, registry::kTopColumn);
  box.maxWidth = optionCell(*sheet, registry::kMaxWidthColumn);
  box.maxHeight = optionCell(*sheet, registry::kMaxHeightColumn);
  if (box.maxWidth == 0 && box.maxHeight == 0) return PlacementBox{};
  return box;
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
  const PlacementBox box = readPlacementBox(workbook);

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
}

}  // namespace morvane::paste
