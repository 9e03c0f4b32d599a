#include "hosts/presentation/state.h"

namespace morvane::hosts::presentation {

namespace {
// PowerPoint reports its own failures with this HRESULT.
constexpr int kPowerPointFailure = -2147188160;
}  // namespace

office::AutomationError hostError(const QString& object, const QString& member,
                                  const QString& what) {
  return office::AutomationError(kPowerPointFailure,
                                 QStringLiteral("%1.%2 : %3").arg(object, member, what));
}

ooxml::pptx::Document& PresentationState::doc() {
  if (!document)
    throw hostError(QStringLiteral("Application"), QStringLiteral("ActivePresentation"),
                    QStringLiteral("Invalid request.  There is no active presentation."));
  return *document;
}

int PresentationState::slideIndex(const QString& slidePart) {
  auto index = doc().slideIndexOfPart(slidePart);
  if (!index)
    throw hostError(QStringLiteral("Slide"), QStringLiteral("Item"),
                    QStringLiteral("Object does not exist."));
  return *index;
}

int PresentationState::shownIndex() {
  if (shownSlide.isEmpty() && doc().slideCount() > 0) shownSlide = doc().slidePart(0);
  if (shownSlide.isEmpty())
    throw hostError(QStringLiteral("View"), QStringLiteral("Slide"),
                    QStringLiteral("Invalid request.  There is no currently active slide."));
  return slideIndex(shownSlide);
}

ooxml::pptx::ShapeInfo PresentationState::shapeInfo(const ShapeKey& key) {
  auto info = doc().shape(slideIndex(key.slidePart), key.id);
  if (!info)
    throw hostError(QStringLiteral("Shape"), QStringLiteral("Item"),
                    QStringLiteral("Object does not exist."));
  return *info;
}

void PresentationState::selectShape(const ShapeKey& key) {
  selection = SelectionKind::Shape;
  selectedShape = key;
  selectedSlide = key.slidePart;
  shownSlide = key.slidePart;
}

void PresentationState::selectSlide(const QString& slidePart) {
  selection = SelectionKind::Slide;
  selectedSlide = slidePart;
  selectedShape = {};
  shownSlide = slidePart;
}

void PresentationState::clearSelection() {
  selection = SelectionKind::None;
  selectedSlide.clear();
  selectedShape = {};
}

}  // namespace morvane::hosts::presentation
